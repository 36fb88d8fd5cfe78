#include "lib/controls/kxSkinCheckRadio.h"

#include "classlib/ActnList.h"
#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/graphics/kxEffectBmp.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/graphics/kxPlainLook.h"

using namespace win;

namespace {

constexpr uint32_t kMorphInterval = 20;
constexpr double kMorphStep = 0.2;

}  // namespace

TkxSkinCheckRadioBox::TkxSkinCheckRadioBox(TComponent* AOwner) : TkxSkinCustomControl(AOwner) {
  // The box fires its own OnClick from the check logic, never from the plain click.
  auto style = ControlStyle();
  style.Exclude(csClickEvents);
  SetControlStyle(style);
  FWidth = 150;
  FHeight = 25;
  // Until CanFocused is assigned, the box stays out of the tab order.
  SetTabStop(false);
  FSkinDataName = "checkbox";
}

TkxSkinCheckRadioBox::~TkxSkinCheckRadioBox() { StopMorphTimer(); }

// ---- properties ---------------------------------------------------------------------------------

void TkxSkinCheckRadioBox::SetRadio(bool Value) {
  FRadio = Value;
  if (ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading)) {
    SetSkinDataName(Value ? "radiobox" : "checkbox");
    FGroupIndex = Value ? 1 : 0;
  }
  Repaint();
}

void TkxSkinCheckRadioBox::SetChecked(bool Value) {
  FChecked = Value;
  if (Value)
    FState = cbChecked;
  else if (FState == cbChecked)
    FState = cbUnchecked;
  Repaint();
  if (Value && FGroupIndex != 0 && Parent()) {
    TWinControl* p = Parent();
    for (int i = 0; i < p->ControlCount(); ++i) {
      auto* other = dynamic_cast<TkxSkinCheckRadioBox*>(p->Controls(i));
      if (other && other != this && other->FGroupIndex == FGroupIndex && other->FChecked) other->SetChecked(false);
    }
  }
  if (!FRadio || Value) FireClick();
}

void TkxSkinCheckRadioBox::SetState(TCheckBoxState Value) {
  FState = Value;
  FChecked = Value == cbChecked;
  Repaint();
  FireClick();
}

void TkxSkinCheckRadioBox::SetAllowGrayed(bool Value) {
  FAllowGrayed = Value;
  Repaint();
}

void TkxSkinCheckRadioBox::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  // Only the flat look wraps.
  if (FFlat) Repaint();
}

void TkxSkinCheckRadioBox::SetFlat(bool Value) {
  FFlat = Value;
  // A flat box shows its parent through it: no window shape from the record's mask.
  GetSkinData();
  SetControlRegion();
  Repaint();
}

void TkxSkinCheckRadioBox::SetImages(TCustomImageList* Value) {
  FImages.Set(Value);
  Repaint();
}

void TkxSkinCheckRadioBox::SetImageIndex(int32_t Value) {
  FImageIndex = Value;
  Repaint();
}

void TkxSkinCheckRadioBox::SetCanFocused(bool Value) {
  FCanFocused = Value;
  SetTabStop(Value);
}

void TkxSkinCheckRadioBox::FireClick() {
  if (OnClick) OnClick(this);
}

bool TkxSkinCheckRadioBox::HasImage() const {
  return FImages && FImageIndex >= 0 && FImageIndex < FImages->Count();
}

void TkxSkinCheckRadioBox::ToggleCheck() {
  if (!FRadio)
    SetChecked(!FChecked);
  else if (!FChecked)
    SetChecked(true);
}

void TkxSkinCheckRadioBox::ActionChange(TObject* Sender, bool CheckDefaults) {
  TkxSkinCustomControl::ActionChange(Sender, CheckDefaults);
  if (auto* a = dynamic_cast<TCustomAction*>(Sender); a && (!CheckDefaults || !FChecked)) SetChecked(a->Checked());
}

// ---- skin ---------------------------------------------------------------------------------------

void TkxSkinCheckRadioBox::GetSkinData() {
  TkxSkinCustomControl::GetSkinData();
  auto* r = FIndex == -1 ? nullptr : SkinRecord<TkxDataSkinCheckRadioControl>();
  if (!r) {
    FIndex = -1;
    Morphing = false;
    return;
  }
  FontName = r->FontName;
  FontStyle = r->FontStyle;
  FontHeight = r->FontHeight;
  FontColor = r->FontColor;
  ActiveFontColor = r->ActiveFontColor;
  FrameFontColor = r->FrameFontColor;
  UnEnabledFontColor = r->UnEnabledFontColor;
  ActiveSkinRect = IsEmptyRect(r->ActiveSkinRect) ? r->SkinRect : r->ActiveSkinRect;
  CheckImageArea = r->CheckImageArea;
  TextArea = r->TextArea;
  CheckImageRect = r->CheckImageRect;
  UnCheckImageRect = r->UnCheckImageRect;
  ActiveCheckImageRect = IsEmptyRect(r->ActiveCheckImageRect) ? r->CheckImageRect : r->ActiveCheckImageRect;
  ActiveUnCheckImageRect = IsEmptyRect(r->ActiveUnCheckImageRect) ? r->UnCheckImageRect : r->ActiveUnCheckImageRect;
  UnEnabledCheckImageRect = IsEmptyRect(r->UnEnabledCheckImageRect) ? r->CheckImageRect : r->UnEnabledCheckImageRect;
  UnEnabledUnCheckImageRect =
      IsEmptyRect(r->UnEnabledUnCheckImageRect) ? r->UnCheckImageRect : r->UnEnabledUnCheckImageRect;
  GrayedCheckImageRect = r->GrayedCheckImageRect;
  ActiveGrayedCheckImageRect = r->ActiveGrayedCheckImageRect;
  Morphing = r->Morphing;
  MorphKind = r->MorphKind;
  // An active picture the skin picture does not hold falls back to the normal one.
  if (!RectInPicture(ActiveSkinRect, Picture) || RectWidth(ActiveSkinRect) != RectWidth(SkinRect) ||
      RectHeight(ActiveSkinRect) != RectHeight(SkinRect))
    ActiveSkinRect = SkinRect;
  if (FFlat) {
    // The flat look shows the parent through the box: no morph, no shape.
    Morphing = false;
    MaskPicture = nullptr;
  }
}

void TkxSkinCheckRadioBox::ChangeSkinData() {
  if (FFlat) {
    GetSkinData();
    SetControlRegion();
    Repaint();
    return;
  }
  TkxSkinCustomControl::ChangeSkinData();
}

void TkxSkinCheckRadioBox::CalcSkinSize(int32_t& AWidth, int32_t& AHeight) {
  if (FFlat) return;  // a flat box keeps any size
  TkxSkinCustomControl::CalcSkinSize(AWidth, AHeight);
  if (FIndex == -1) return;
  const int32_t dx = AWidth - RectWidth(SkinRect);
  NewTextArea = TextArea;
  NewTextArea.right += dx;
  TRect area = CheckImageArea;
  // A check area right of the text moves with the right edge.
  if (TextArea.right < CheckImageArea.right) area.left += dx, area.right += dx;
  const int32_t cw = RectWidth(CheckImageRect), ch = RectHeight(CheckImageRect);
  CIRect.left = area.left + RectWidth(area) / 2 - cw / 2;
  CIRect.top = area.top + RectHeight(area) / 2 - ch / 2;
  CIRect.right = CIRect.left + cw;
  CIRect.bottom = CIRect.top + ch;
}

void TkxSkinCheckRadioBox::CheckParentBackground() {
  if (FFlat) Repaint();
}

// ---- messages -----------------------------------------------------------------------------------

bool TkxSkinCheckRadioBox::BoxFocused() { return FCanFocused && HandleAllocated() && Focused(); }

void TkxSkinCheckRadioBox::WndProc(TMessage& Message) {
  if (FCanFocused) {
    // A box that could not take the focus (another control kept it) ignores the press.
    if (!FocusOnPress(Message)) return;
    if (Message.Msg == WM_KEYUP && Message.WParam == VK_SPACE && BoxFocused()) ToggleCheck();
  }
  TkxSkinCustomControl::WndProc(Message);
}

void TkxSkinCheckRadioBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOVE:
      TkxSkinCustomControl::Dispatch(Message);
      if (FFlat) Invalidate();
      return;
    case WM_ERASEBKGND:
      // Asked from outside to paint itself into a device context.
      if (!FFlat && !FromWMPaint && Message.WParam) PaintWindow(HDC(Message.WParam));
      Message.Result = 1;
      return;
    case WM_SETFOCUS: case WM_KILLFOCUS:
      TkxSkinCustomControl::Dispatch(Message);
      if (FCanFocused) {
        if (FFlat)
          Invalidate();
        else
          ActiveStateChanged();
      }
      return;
    case CM_MOUSEENTER: case CM_MOUSELEAVE:
      TkxSkinCustomControl::Dispatch(Message);
      if (!ComponentState().Contains(csDesigning)) {
        FMouseIn = Message.Msg == CM_MOUSEENTER;
        ActiveStateChanged();
      }
      return;
    case CM_ENABLEDCHANGED:
      TkxSkinCustomControl::Dispatch(Message);
      if (CanMorph()) {
        StopMorphTimer();
        FMorphKf = 0;
      }
      FMouseIn = false;
      Repaint();
      return;
    case CM_TEXTCHANGED:
      TkxSkinCustomControl::Dispatch(Message);
      Repaint();
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(uint32_t(Message.WParam), Caption()) && CanFocus() && FCanFocused) {
        SetFocus();
        ToggleCheck();
        Message.Result = 1;
        return;
      }
      break;
    default: break;
  }
  TkxSkinCustomControl::Dispatch(Message);
}

void TkxSkinCheckRadioBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!FMouseIn) {
    FMouseIn = true;
    ActiveStateChanged();
  }
  TkxSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TkxSkinCheckRadioBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TkxSkinCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !FMouseIn) return;
  if (FAllowGrayed && !FRadio && FState == cbUnchecked) {
    FState = cbGrayed;
    Repaint();
    FireClick();
  } else {
    ToggleCheck();
  }
}

// ---- the active state and the morph -------------------------------------------------------------

bool TkxSkinCheckRadioBox::CanMorph() const {
  return Morphing && SkinData() && !SkinData()->Empty && SkinData()->EnableSkinEffects();
}

void TkxSkinCheckRadioBox::StopMorphTimer() {
  if (FMorphTimer) FMorphTimer->SetEnabled(false);
}

void TkxSkinCheckRadioBox::ActiveStateChanged() {
  GetSkinData();
  if (CanMorph() && FIndex != -1) {
    if (!FMorphTimer) {
      FMorphTimer = new TTimer(this);
      FMorphTimer->SetEnabled(false);
      FMorphTimer->SetInterval(kMorphInterval);
      FMorphTimer->OnTimer = [this](TObject*) { MorphTimerTick(); };
    }
    if (!FMorphTimer->Enabled()) FMorphTimer->SetEnabled(true);
  } else {
    Repaint();
  }
}

void TkxSkinCheckRadioBox::MorphTimerTick() {
  GetSkinData();
  const bool active = FMouseIn || BoxFocused();
  if (FIndex == -1 || !CanMorph()) {
    FMorphKf = active ? 1 : 0;
    StopMorphTimer();
    return;
  }
  if (active && FMorphKf < 1) {
    FMorphKf += kMorphStep;
  } else if (!active && FMorphKf > 0) {
    FMorphKf -= kMorphStep;
  } else {
    FMorphKf = active ? 1 : 0;
    StopMorphTimer();
  }
  Repaint();
}

// ---- painting -----------------------------------------------------------------------------------

void TkxSkinCheckRadioBox::SetCaptionFont(TFont* F) {
  if (FIndex != -1 && FUseSkinFont && !FontName.empty()) {
    F->SetName(FontName);
    F->SetHeight(FontHeight);
    F->SetStyle(FontStyle);
  } else {
    F->Assign(FDefaultFont.get());
  }
  F->SetCharset(SkinCharset(FDefaultFont.get()));
}

bool TkxSkinCheckRadioBox::DrawCheckImage(TCanvas* C, int32_t X, int32_t Y, TCheckBoxState AState, bool Hot) {
  TRect r{}, fallback{};
  bool grayed = AState == cbGrayed;
  if (!Enabled()) {
    fallback = UnEnabledCheckImageRect;
    r = AState == cbChecked ? UnEnabledCheckImageRect : UnEnabledUnCheckImageRect;
  } else if (Hot) {
    fallback = ActiveCheckImageRect;
    r = AState == cbChecked ? ActiveCheckImageRect : ActiveUnCheckImageRect;
  } else {
    fallback = CheckImageRect;
    r = AState == cbChecked ? CheckImageRect : UnCheckImageRect;
  }
  bool brighten = false;
  if (grayed) {
    if (Hot && Enabled() && RectInPicture(ActiveGrayedCheckImageRect, Picture))
      r = ActiveGrayedCheckImageRect;
    else if (RectInPicture(GrayedCheckImageRect, Picture))
      r = GrayedCheckImageRect;
    else
      r = fallback, brighten = true;
  }
  if (!RectInPicture(r, Picture)) return false;
  auto img = NewSkinImage(RectWidth(r), RectHeight(r));
  img->Canvas()->CopyRect(TRect{0, 0, img->Width(), img->Height()}, Picture->Canvas(), r);
  if (brighten) {
    // A skin without a grayed picture shows the checked one halfway to white.
    auto e = TkxEffectBmp::CreateFromhWnd(img->Handle());
    e->ChangeBrightness(0.5);
    e->Draw(img->Canvas()->Handle(), 0, 0);
  }
  img->SetTransparent(true);
  C->Draw(X, Y, img.get());
  return true;
}

void TkxSkinCheckRadioBox::DrawDefaultMark(TCanvas* C, TCheckBoxState AState, bool Hot, bool GrayedMark) {
  const int32_t y = Height() / 2 - 7;
  TkxPlainMark mark = TkxPlainMark::None;
  TColor color = Enabled() ? kxPlain.Mark : kxPlain.DisabledMark;
  if (AState == cbGrayed && !FRadio) {
    if (GrayedMark) mark = TkxPlainMark::Check, color = clGrayText;
  } else if (AState == cbChecked) {
    mark = FRadio ? TkxPlainMark::Radio : TkxPlainMark::Check;
  }
  DrawPlainCheckBox(C, 3, y, Hot ? kxPlain.HotFrame : kxPlain.Shadow, mark, color,
                    FRadio ? kxPlainRadioAt : kxPlainCheckAt);
}

void TkxSkinCheckRadioBox::PaintFlatText(TCanvas* C, int32_t TextX, int32_t ImageGap, bool Decorate) {
  const int32_t w = Width(), h = Height();
  const std::string& text = Caption();
  const bool image = HasImage();
  TRect tr{};
  C->Brush()->SetStyle(bsClear);
  if (!FWordWrap) {
    tr = TRect{0, 0, w, h};
    if (!text.empty()) DrawWideText(C, text, tr, DT_CALCRECT | DT_SINGLELINE);
    const int32_t tw = text.empty() ? 0 : RectWidth(tr), th = text.empty() ? 0 : RectHeight(tr);
    int32_t x = TextX;
    if (image) {
      FImages->Draw(C, TextX, h / 2 - FImages->Height() / 2, FImageIndex, Enabled());
      x += FImages->Width() + ImageGap;
    }
    tr = TRect{x, h / 2 - th / 2, std::min(x + tw, w - 2), h / 2 - th / 2 + th};
    DrawVCenteredText(C, text, tr);
  } else {
    int32_t x = TextX;
    if (image) {
      FImages->Draw(C, TextX, h / 2 - FImages->Height() / 2, FImageIndex, Enabled());
      x += FImages->Width();
    }
    tr = TRect{x, 0, w, 0};
    if (!text.empty()) DrawWideText(C, text, tr, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    const int32_t th = text.empty() ? 0 : RectHeight(tr);
    const int32_t top = std::max(0, h / 2 - th / 2);
    tr = TRect{x, top, std::min(std::max(tr.right, x), w), top + th};
    if (!text.empty()) {
      TRect d = tr;
      DrawWideText(C, text, d, DT_EXPANDTABS | DT_WORDBREAK);
    }
  }
  if (!Decorate || !BoxFocused()) return;
  if (!text.empty()) {
    TRect f{tr.left - 2, tr.top - 1, tr.right + 2 + (FWordWrap ? 0 : 1), tr.bottom + 1};
    DrawSkinFocusRect(C, f);
  } else if (image) {
    const int32_t iy = h / 2 - FImages->Height() / 2;
    DrawSkinFocusRect(C, TRect{TextX - 1, iy - 1, TextX + FImages->Width() + 1, iy + FImages->Height() + 1});
  }
}

void TkxSkinCheckRadioBox::PaintFlatImage(TBitmap* B, TCheckBoxState AState, bool Hot, bool Decorate) {
  TCanvas* c = B->Canvas();
  // What lies behind the box first, in case the parent draws nothing there.
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Parent() ? Parent()->Color() : kxPlain.Face);
  c->FillRect(TRect{0, 0, B->Width(), B->Height()});
  PaintParentBackground(this, c);
  SetCaptionFont(c->Font());
  if (FIndex == -1) {
    DrawDefaultMark(c, AState, Hot, Decorate);
    c->Font()->SetColor(Enabled() ? FDefaultFont->Color() : kxPlain.DisabledText);
    PaintFlatText(c, 22, 5, Decorate);
    return;
  }
  DrawCheckImage(c, 3, Height() / 2 - RectHeight(CheckImageRect) / 2, AState, Hot);
  c->Font()->SetColor(!FUseSkinFontColor ? FDefaultFont->Color() : Enabled() ? FrameFontColor : UnEnabledFontColor);
  PaintFlatText(c, RectWidth(CheckImageRect) + 7, 8, Decorate);
}

void TkxSkinCheckRadioBox::BuildSkinImage(TBitmap* B, const TRect& ARect, bool Active, TCheckBoxState AState) {
  CreateSkinImage(B, Picture, ARect);
  if (B->Width() != Width() || B->Height() != Height()) B->SetSize(Width(), Height());
  TCanvas* c = B->Canvas();
  DrawCheckImage(c, CIRect.left, CIRect.top + RectHeight(CIRect) / 2 - RectHeight(CheckImageRect) / 2, AState, Active);
  SetCaptionFont(c->Font());
  c->Font()->SetColor(!Enabled() ? UnEnabledFontColor : Active ? ActiveFontColor : FontColor);
  c->Brush()->SetStyle(bsClear);
  DrawVCenteredText(c, Caption(), NewTextArea);
}

void TkxSkinCheckRadioBox::CreateControlDefaultImage(TBitmap* B) {
  // The non-flat look without a record.
  TCanvas* c = B->Canvas();
  const int32_t w = B->Width(), h = B->Height();
  PlainFill(c, TRect{0, 0, w, h}, kxPlain.Face);
  if (FMouseIn || BoxFocused()) PlainFrameRect(c, TRect{0, 0, w, h}, kxPlain.Shadow);
  DrawDefaultMark(c, FState, FMouseIn, true);
  SetCaptionFont(c->Font());
  c->Font()->SetColor(Enabled() ? FDefaultFont->Color() : kxPlain.DisabledText);
  c->Brush()->SetStyle(bsClear);
  DrawVCenteredText(c, Caption(), TRect{19, 0, w, h});
}

void TkxSkinCheckRadioBox::Paint() {
  if (Width() < 1 || Height() < 1) return;
  GetSkinData();
  auto b = NewSkinImage(Width(), Height());
  if (FFlat) {
    PaintFlatImage(b.get(), FState, FMouseIn, true);
    Canvas()->Draw(0, 0, b.get());
    return;
  }
  if (FIndex == -1) {
    CreateControlDefaultImage(b.get());
    Canvas()->Draw(0, 0, b.get());
    return;
  }
  int32_t w = Width(), h = Height();
  CalcSkinSize(w, h);
  const bool active = FMouseIn || BoxFocused();
  if (CanMorph() && FMorphKf > 0 && FMorphKf < 1) {
    auto normal = NewSkinImage(Width(), Height()), hot = NewSkinImage(Width(), Height());
    BuildSkinImage(normal.get(), SkinRect, false, FState);
    BuildSkinImage(hot.get(), ActiveSkinRect, true, FState);
    auto e1 = TkxEffectBmp::CreateFromhWnd(normal->Handle());
    auto e2 = TkxEffectBmp::CreateFromhWnd(hot->Handle());
    e1->MorphBy(MorphKind, e2.get(), FMorphKf);
    e1->Draw(Canvas()->Handle(), 0, 0);
    return;
  }
  BuildSkinImage(b.get(), active ? ActiveSkinRect : SkinRect, active, FState);
  Canvas()->Draw(0, 0, b.get());
}

void TkxSkinCheckRadioBox::PaintSkinTo(TCanvas* C, int32_t X, int32_t Y, bool AChecked) {
  if (!C || Width() < 1 || Height() < 1) return;
  GetSkinData();
  const TCheckBoxState st = FState == cbGrayed ? cbGrayed : AChecked ? cbChecked : cbUnchecked;
  auto b = NewSkinImage(Width(), Height());
  if (FFlat) {
    PaintFlatImage(b.get(), st, false, false);
  } else {
    if (FIndex == -1) return;
    int32_t w = Width(), h = Height();
    CalcSkinSize(w, h);
    BuildSkinImage(b.get(), SkinRect, false, st);
  }
  C->Draw(X, Y, b.get());
}

// ---- streaming ----------------------------------------------------------------------------------

void RegisterSkinCheckRadioFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxSkinCheckRadioBox, TkxSkinCustomControl>("TkxSkinCheckRadioBox")
      .Boolean("Radio", &TkxSkinCheckRadioBox::SetRadio)
      .Boolean("Checked", &TkxSkinCheckRadioBox::SetChecked)
      .Enum<TCheckBoxState>("State", &TkxSkinCheckRadioBox::SetState,
                            {{"cbUnchecked", cbUnchecked}, {"cbChecked", cbChecked}, {"cbGrayed", cbGrayed}})
      .Boolean("AllowGrayed", &TkxSkinCheckRadioBox::SetAllowGrayed)
      .Integer("GroupIndex", &TkxSkinCheckRadioBox::SetGroupIndex)
      .Boolean("WordWrap", &TkxSkinCheckRadioBox::SetWordWrap)
      .Boolean("Flat", &TkxSkinCheckRadioBox::SetFlat)
      .Reference<TCustomImageList>("Images", &TkxSkinCheckRadioBox::SetImages)
      .Integer("ImageIndex", &TkxSkinCheckRadioBox::SetImageIndex)
      .Boolean("UseSkinFontColor", &TkxSkinCheckRadioBox::SetUseSkinFontColor)
      .Boolean("CanFocused", &TkxSkinCheckRadioBox::SetCanFocused);
}
