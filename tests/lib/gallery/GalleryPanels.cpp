// Panels (caption bar with check box, glyph and roll-up arrow; transparent group frame; group
// box; paint panel; status bar with its grip) and tool bars (one that fits, one narrower than its
// children with its arrows).
#include "classlib/Forms.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinPanels.h"
#include "lib/controls/kxSkinToolBar.h"
#include "lib/skin/kxSkinRecords.h"
#include "tests/lib/gallery/Gallery.h"

namespace {

template <typename T>
T* Put(TWinControl* Host, int x, int y, int w, int h) {
  auto* c = new T(Host);
  c->SetParent(Host);
  c->SetBounds(x, y, w, h);
  return c;
}

// A 16 x 16 glyph drawn in code: a film frame.
std::unique_ptr<TBitmap> FilmGlyph() {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(16, 16);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clFuchsia);  // the bottom-left colour: transparent
  c->FillRect(TRect{0, 0, 16, 16});
  c->Brush()->SetColor(TColor(0x707070));
  c->FillRect(TRect{1, 3, 15, 13});
  c->Brush()->SetColor(TColor(0xE0A040));
  c->FillRect(TRect{4, 5, 12, 11});
  c->Brush()->SetColor(clWhite);
  for (int x = 2; x < 14; x += 3) {
    c->FillRect(TRect{x, 3, x + 1, 4});
    c->FillRect(TRect{x, 12, x + 1, 13});
  }
  b->Canvas()->SetPixels(0, 15, clFuchsia);
  return b;
}

TkxSkinStdLabel* Label(TWinControl* Parent, int x, int y, const char* Text, TkxSkinData* sd) {
  auto* l = Put<TkxSkinStdLabel>(Parent, x, y, 120, 16);
  l->SetCaption(Text);
  l->SetTransparent(true);
  l->SetSkinData(sd);
  return l;
}

gallery::Register panels({"面板 panels", 30, 610, 300, [](TWinControl* host, TkxSkinData* sd) {
  static std::unique_ptr<TBitmap> glyph = FilmGlyph();
  // A captioned group with check box, glyph and roll-up arrow, rolled down.
  auto* a = Put<TkxSkinPanel>(host, 0, 0, 190, 110);
  a->SetSkinDataName("groupbox");
  a->SetCaption("预览 preview");
  a->SetCaptionMode(true);
  a->SetCheckedMode(true);
  a->SetRollUpMode(true);
  a->SetGlyph(glyph.get());
  Label(a, 12, 40, "子控件 child", sd);
  a->SetSkinData(sd);
  a->SetChecked(true);
  // The same, unchecked (children disabled) and rolled up.
  auto* b = Put<TkxSkinPanel>(host, 0, 120, 190, 110);
  b->SetSkinDataName("groupbox");
  b->SetCaption("已折叠 rolled up");
  b->SetCaptionMode(true);
  b->SetCheckedMode(true);
  b->SetRollUpMode(true);
  b->SetGlyph(glyph.get());
  Label(b, 12, 40, "子控件 child", sd);
  b->SetSkinData(sd);
  b->SetChecked(false);
  b->SetRollUpState(true);
  // A disabled panel with a centred caption.
  auto* d = Put<TkxSkinPanel>(host, 0, 170, 190, 60);
  d->SetSkinDataName("groupbox");
  d->SetCaption("禁用 disabled");
  d->SetCaptionMode(true);
  d->SetDefaultAlignment(taCenter);
  d->SetSkinData(sd);
  d->SetEnabled(false);
  // The transparent group frame with check box and roll-up arrow.
  auto* t = Put<TkxSkinPanel>(host, 205, 0, 190, 80);
  t->SetSkinDataName("groupbox");
  t->SetCaption("透明分组 frame");
  t->SetCaptionMode(true);
  t->SetCheckedMode(true);
  t->SetRollUpMode(true);
  t->SetTransparentMode(true);
  Label(t, 12, 30, "透明 transparent", sd);
  t->SetSkinData(sd);
  t->SetChecked(true);
  // The group box.
  auto* g = Put<TkxSkinGroupBox>(host, 205, 90, 190, 70);
  g->SetCaption("分组框 group box");
  Label(g, 12, 36, "输出 output", sd);
  g->SetSkinData(sd);
  // Plain panels with the border styles (the skin's "panel" where there is one).
  const TkxSkinBorderStyle borders[] = {TkxSkinBorderStyle::bvFrame, TkxSkinBorderStyle::bvRaised,
                                        TkxSkinBorderStyle::bvLowered};
  for (int i = 0; i < 3; ++i) {
    auto* p = Put<TkxSkinPanel>(host, 205 + i * 65, 170, 58, 60);
    p->SetBorderStyle(borders[i]);
    p->SetSkinData(sd);
  }
  // The paint panel: its owner draws bars into the client area.
  auto* pp = Put<TkxSkinPaintPanel>(host, 410, 0, 200, 110);
  pp->SetSkinDataName("panel");
  pp->OnPanelPaint = [](TCanvas* C, TRect& R) {
    const TColor colours[] = {TColor(0x3060D0), TColor(0x30A050), TColor(0xD08030), TColor(0x9040A0)};
    const int w = (R.right - R.left - 20) / 4;
    for (int i = 0; i < 4; ++i) {
      const int h = (R.bottom - R.top - 20) * (i + 2) / 5;
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(colours[i]);
      C->FillRect(TRect{R.left + 10 + i * w + 3, R.bottom - 10 - h, R.left + 10 + (i + 1) * w - 3, R.bottom - 10});
    }
  };
  pp->SetSkinData(sd);
  // A window body with the status bar and its grip at the bottom.
  auto* body = Put<TkxSkinPanel>(host, 410, 120, 200, 110);
  body->SetBorderStyle(TkxSkinBorderStyle::bvFrame);
  body->SetSkinData(sd);
  auto* s = new TkxSkinStatusBar(host);
  s->SetParent(body);
  s->SetSizeGrip(true);
  Label(s, 6, 3, "就绪 ready", sd);
  s->SetSkinData(sd);
}});

gallery::Register toolbars({"工具栏 tool bar", 40, 610, 110, [](TWinControl* host, TkxSkinData* sd) {
  const char* names[] = {"添加", "开始", "暂停", "停止", "删除", "清空", "皮肤", "选项"};
  auto fill = [&](TkxSkinToolBar* bar, int count) {
    for (int i = 0; i < count; ++i) {
      auto* b = Put<TkxSkinSpeedButton>(bar, 4 + i * 64, 0, 60, 32);
      b->SetSkinDataName("resizetoolbutton");
      b->SetUseSkinSize(false);
      b->SetShowCaption(true);
      b->SetCaption(names[i]);
      b->SetSkinData(sd);
      b->SetBounds(4 + i * 64, 0, 60, 32);
    }
  };
  // A tool bar whose buttons fit.
  auto* wide = Put<TkxSkinToolBar>(host, 0, 0, 600, 42);
  wide->SetSkinDataName("resizetoolpanel");
  fill(wide, 8);
  wide->SetSkinData(sd);
  wide->SetHeight(42);  // centres the buttons
  // Narrower than its buttons: the arrows show, scrolled one step, the right arrow hot.
  auto* narrow = Put<TkxSkinToolBar>(host, 0, 56, 300, 42);
  narrow->SetSkinDataName("resizetoolpanel");
  narrow->SetCanScroll(true);
  narrow->SetScrollOffset(40);
  fill(narrow, 8);
  narrow->SetSkinData(sd);
  narrow->SetHeight(42);
  narrow->UpdateScrollRange();
  narrow->ScrollStep(2);
  narrow->Buttons[1].MouseIn = true;
}});

}  // namespace
