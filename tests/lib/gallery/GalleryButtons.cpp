// Push buttons and speed (tool) buttons.
#include "classlib/Forms.h"
#include "lib/controls/kxSkinButtons.h"
#include "tests/lib/gallery/Gallery.h"

namespace {

using gallery::Put;

// A 16 x 16 "play" glyph: a green triangle on fuchsia, the strip's transparent colour.
std::unique_ptr<TBitmap> PlayGlyph() {
  auto g = std::make_unique<TBitmap>();
  g->SetPixelFormat(pf24bit);
  g->SetSize(16, 16);
  TCanvas* c = g->Canvas();
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(TRect{0, 0, 16, 16});
  c->Brush()->SetColor(TColor(0x208020));
  c->Pen()->SetColor(TColor(0x105010));
  c->Polygon({TPoint{4, 2}, TPoint{13, 8}, TPoint{4, 14}});
  return g;
}

// A push button that takes the focus once the form is shown (a focus set before would be refused).
class TFocusedOnShow : public TkxSkinButton {
public:
  using TkxSkinButton::TkxSkinButton;
  static constexpr win::UINT kTakeFocus = win::WM_APP + 77;
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == kTakeFocus) {
      if (CanFocus()) SetFocus();
      return;
    }
    TkxSkinButton::Dispatch(Message);
  }
};

constexpr int kPushW = 84, kPushH = 26, kStep = 90;

gallery::Register buttons({"按钮 buttons", 20, 640, 116, [](TWinControl* host, TkxSkinData* sd) {
  auto push = [&](int i, const char* caption, TkxSkinButton* b = nullptr) {
    if (!b) b = Put<TkxSkinButton>(host, i * kStep, 0, kPushW, kPushH);
    b->SetCaption(caption);
    b->SetSkinData(sd);
    return b;
  };
  push(0, "普通 normal");
  push(1, "悬停 hot")->Perform(CM_MOUSEENTER, 0, 0);
  auto* down = push(2, "按下 down");
  down->SetDown(true);
  down->Perform(CM_MOUSEENTER, 0, 0);
  auto* def = push(3, "默认 default");
  def->SetDefault(true);
  push(4, "禁用 disabled")->SetEnabled(false);
  auto* focused = push(5, "焦点 focus", Put<TFocusedOnShow>(host, 5 * kStep, 0, kPushW, kPushH));
  win::PostMessage(focused->Handle(), TFocusedOnShow::kTakeFocus, 0, 0);
  // The default button as it looks while the focus is on a control that is not a push button
  // (after the focused sample took the focus).
  win::PostMessage(def->Handle(), CM_FOCUSCHANGED, 0, 0);
  auto* glyph = push(6, "播放");
  glyph->SetGlyph(PlayGlyph().get());

  // Speed buttons: glyph above caption.
  auto speed = [&](int i, const char* caption) {
    auto* s = Put<TkxSkinSpeedButton>(host, i * 76, 40, 70, 48);
    s->SetUseSkinSize(false);
    s->SetBounds(i * 76, 40, 70, 48);
    s->SetCaption(caption);
    s->SetLayout(blGlyphTop);
    s->SetGlyph(PlayGlyph().get());
    s->SetSkinData(sd);
    return s;
  };
  speed(0, "普通");
  speed(1, "平面 flat")->SetFlat(true);
  auto* flatHot = speed(2, "平面悬停");
  flatHot->SetFlat(true);
  flatHot->Perform(CM_MOUSEENTER, 0, 0);
  auto* g1 = speed(3, "分组 1");
  g1->SetGroupIndex(1);
  g1->SetDown(true);
  auto* g2 = speed(4, "分组 2");
  g2->SetGroupIndex(1);
  auto* g3 = speed(5, "平面按下");
  g3->SetFlat(true);
  g3->SetGroupIndex(2);
  g3->SetDown(true);
  speed(6, "禁用")->SetEnabled(false);
  auto* noCaption = speed(7, "");
  noCaption->SetShowCaption(false);
  noCaption->SetLayout(blGlyphLeft);
}});

}  // namespace
