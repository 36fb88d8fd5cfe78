// Scroll bars in their states, and a scroll box whose content overflows both ways.
#include <string>

#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinScrollBar.h"
#include "lib/controls/kxSkinScrollBox.h"
#include "tests/lib/gallery/Gallery.h"

namespace {

using gallery::Put;

TkxSkinScrollBar* Bar(TWinControl* Host, TkxSkinData* SD, bool Vertical, int x, int y, int length) {
  auto* b = Put<TkxSkinScrollBar>(Host, x, y, Vertical ? 19 : length, Vertical ? length : 19);
  if (Vertical) {
    b->SetKind(sbVertical);
    b->SetSkinDataName("vscrollbar");
  }
  b->SetRange(0, 100, 30, 20);
  b->SetSkinData(SD);
  return b;
}

// The pointer over (or pressing) a point of the bar, as the mouse would.
void Hover(TControl* C, int x, int y) { C->Perform(win::WM_MOUSEMOVE, 0, win::MAKELPARAM(x, y)); }
void PressAt(TControl* C, int x, int y) {
  Hover(C, x, y);
  C->Perform(win::WM_LBUTTONDOWN, win::MK_LBUTTON, win::MAKELPARAM(x, y));
}

gallery::Register scrollBars({"滚动条 scroll bars", 40, 560, 190, [](TWinControl* host, TkxSkinData* sd) {
  Bar(host, sd, false, 0, 0, 220);                       // resting
  auto* hot = Bar(host, sd, false, 0, 28, 220);          // hot increasing arrow
  Hover(hot, hot->Width() - 8, hot->Height() / 2);
  auto* down = Bar(host, sd, false, 0, 56, 220);         // pressed decreasing arrow
  PressAt(down, 8, down->Height() / 2);
  auto* off = Bar(host, sd, false, 0, 84, 220);          // disabled: no thumb
  off->SetEnabled(false);
  auto* both = Bar(host, sd, false, 0, 112, 220);        // the horizontal bar of a pair
  both->SetBoth(true);
  auto* noPage = Bar(host, sd, false, 0, 140, 220);      // no page: the short thumb
  noPage->SetRange(0, 100, 70, 0);

  Bar(host, sd, true, 240, 0, 170);                      // vertical, resting
  auto* vhot = Bar(host, sd, true, 270, 0, 170);         // hot thumb
  vhot->CalcRects();
  const TRect t = vhot->Buttons(TkxSkinScrollBar::kThumb).R;
  Hover(vhot, (t.left + t.right) / 2, (t.top + t.bottom) / 2);
  auto* vdown = Bar(host, sd, true, 300, 0, 170);        // pressed increasing arrow
  PressAt(vdown, vdown->Width() / 2, vdown->Height() - 8);
  auto* voff = Bar(host, sd, true, 330, 0, 170);
  voff->SetEnabled(false);

  // A scroll box with rows of text taller and wider than itself, its bars beside it.
  auto* box = Put<TkxSkinScrollBox>(host, 370, 0, 160, 150);
  auto* v = Bar(host, sd, true, 530, 0, 150);
  auto* h = Bar(host, sd, false, 370, 150, 179);
  box->SetSkinData(sd);
  for (int i = 0; i < 12; ++i) {
    auto* l = Put<TkxSkinStdLabel>(box, 6, 4 + i * 20, 240, 16);
    l->SetCaption("第 " + std::to_string(i + 1) + " 行 row of a long list of converted files");
    l->SetSkinData(sd);
  }
  box->SetVScrollBar(v);
  box->SetHScrollBar(h);
  box->UpDateScrollRange();
  v->SetPosition(40);
}});

}  // namespace
