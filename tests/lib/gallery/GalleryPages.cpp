// Page controls: top tabs with close buttons, a hot tab and an active page; side tabs.
#include "classlib/StdCtrls.h"
#include "lib/skin/kxSkinData.h"
#include "lib/controls/kxSkinPageControl.h"
#include "lib/skin/kxSkinRecords.h"
#include "tests/lib/gallery/Gallery.h"

namespace {

TkxSkinPageControl* NewPages(TWinControl* Host, TkxSkinData* SD, int x, int y, int w, int h,
                             std::initializer_list<const char*> Captions) {
  auto* pc = new TkxSkinPageControl(Host);
  pc->SetBounds(x, y, w, h);
  pc->SetParent(Host);
  for (const char* c : Captions) {
    auto* s = new TkxSkinTabSheet(Host);
    s->SetCaption(c);
    s->SetPageControl(pc);
    auto* l = new TLabel(Host);
    l->SetCaption(std::string("页面: ") + c);
    l->SetBounds(8, 8, 150, 16);
    l->SetParent(s);
    l->SetTransparent(true);
    l->Font()->SetColor(SD && !SD->Empty ? SD->SkinColors()->cBtnText() : clBtnText);
  }
  pc->SetSkinData(SD);
  return pc;
}

gallery::Register pages({"选项卡 page control", 60, 900, 170, [](TWinControl* host, TkxSkinData* sd) {
  auto* top = NewPages(host, sd, 0, 0, 300, 160, {"常规", "视频", "音频 audio"});
  top->SetShowCloseButtons(true);
  top->SetActivePageIndex(1);
  // The hot look of the first tab and of the active tab's close button.
  top->HandleNeeded();
  TRect t0 = top->GetTabRect(0);
  top->Perform(win::WM_MOUSEMOVE, 0, win::MAKELPARAM(win::WORD(t0.left + 4), win::WORD(t0.top + 4)));
  auto* left = NewPages(host, sd, 320, 0, 290, 160, {"输出", "预览", "日志"});
  left->SetTabPosition(tpLeft);
  left->SetActivePageIndex(0);
  left->Pages(2)->SetEnabled(false);
  // Bottom tabs that do not fit: the row scrolls with the skinned up/down.
  auto* bottom = NewPages(host, sd, 630, 0, 200, 160, {"格式", "分辨率", "比特率", "帧率", "采样率"});
  bottom->SetTabPosition(tpBottom);
  bottom->SetActivePageIndex(2);
}});

}  // namespace
