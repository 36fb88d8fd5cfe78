#include "lib/controls/kxSkinButtons.h"

#include <algorithm>

#include "classlib/ActnList.h"
#include "classlib/Forms.h"
#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "classlib/streaming/Registrations.h"
#include "lib/graphics/kxEffectBmp.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/graphics/kxUtilsLayer.h"
#include "lib/graphics/kxPlainLook.h"

using namespace win;

namespace {

constexpr TColor kGreyText = TColor(0x808080);

// A state rectangle the picture does not hold is taken as not given.
TRect Checked(const TRect& R, const TBitmap* P) { return RectInPicture(R, P) ? R : TRect{}; }

bool EffectsOf(TkxSkinData* SD) { return SD && !SD->Empty && SD->EnableSkinEffects(); }

// Copies the record's values; a record of another kind draws every state from its own image.
bool ReadButtonRecord(TkxButtonSkinFields& F, TkxSkinData* SD, int32_t Index, const TRect& SkinRect,
                      TBitmap* Picture) {
  auto* r = Index >= 0 && size_t(Index) < SD->CtrlList.size()
                ? dynamic_cast<TkxDataSkinButtonControl*>(SD->CtrlList[size_t(Index)].get())
                : nullptr;
  if (!r) {
    // Rectangles kept from another skin would address a picture they do not belong to.
    F.ActiveSkinRect = F.DownSkinRect = SkinRect;
    F.DisabledSkinRect = F.FocusedSkinRect = F.AnimateSkinRect = TRect{};
    F.FrameCount = 0;
    F.Morphing = false;
    F.GlowLayerPictureIndex = -1;
    F.MenuMarkerRect = F.MenuMarkerActiveRect = F.MenuMarkerDownRect = F.MenuMarkerFlatRect = TRect{};
    return false;
  }
  F.FontName = r->FontName;
  F.FontStyle = r->FontStyle;
  F.FontHeight = r->FontHeight;
  F.FontColor = r->FontColor;
  F.ActiveFontColor = r->ActiveFontColor;
  F.DownFontColor = r->DownFontColor;
  F.DisabledFontColor = r->DisabledFontColor;
  if (F.DisabledFontColor == F.FontColor) F.DisabledFontColor = kGreyText;
  F.ActiveSkinRect = Checked(r->ActiveSkinRect, Picture);
  F.DownSkinRect = Checked(r->DownSkinRect, Picture);
  if (IsEmptyRect(F.ActiveSkinRect)) F.ActiveSkinRect = SkinRect;
  if (IsEmptyRect(F.DownSkinRect)) F.DownSkinRect = F.ActiveSkinRect;
  F.DisabledSkinRect = Checked(r->DisabledSkinRect, Picture);
  F.FocusedSkinRect = Checked(r->FocusedSkinRect, Picture);
  F.Morphing = r->Morphing;
  F.MorphKind = r->MorphKind;
  F.AnimateSkinRect = Checked(r->AnimateSkinRect, Picture);
  F.FrameCount = r->FrameCount;
  F.AnimateInterval = r->AnimateInterval;
  F.ShowFocus = r->ShowFocus;
  F.MenuMarkerRect = Checked(r->MenuMarkerRect, Picture);
  F.MenuMarkerActiveRect = Checked(r->MenuMarkerActiveRect, Picture);
  F.MenuMarkerDownRect = Checked(r->MenuMarkerDownRect, Picture);
  F.MenuMarkerFlatRect = Checked(r->MenuMarkerFlatRect, Picture);
  if (IsEmptyRect(F.MenuMarkerActiveRect)) F.MenuMarkerActiveRect = F.MenuMarkerRect;
  if (IsEmptyRect(F.MenuMarkerDownRect)) F.MenuMarkerDownRect = F.MenuMarkerActiveRect;
  if (IsEmptyRect(F.MenuMarkerFlatRect)) F.MenuMarkerFlatRect = F.MenuMarkerRect;
  F.MenuMarkerTransparentColor = r->MenuMarkerTransparentColor;
  F.GlowLayerPictureIndex = r->GlowLayerPictureIndex;
  F.GlowLayerMaskPictureIndex = r->GlowLayerMaskPictureIndex;
  F.GlowLayerOffsetLeft = r->GlowLayerOffsetLeft;
  F.GlowLayerOffsetRight = r->GlowLayerOffsetRight;
  F.GlowLayerOffsetTop = r->GlowLayerOffsetTop;
  F.GlowLayerOffsetBottom = r->GlowLayerOffsetBottom;
  F.GlowLayerShowOffsetX = r->GlowLayerShowOffsetX;
  F.GlowLayerShowOffsetY = r->GlowLayerShowOffsetY;
  F.GlowLayerAlphaBlendValue = r->GlowLayerAlphaBlendValue;
  return true;
}

// Blends A towards B by Kf with the record's transition and draws the result at (0, 0).
void DrawMorph(TCanvas* C, TBitmap* A, TBitmap* B, double Kf, TkxMorphKind Kind) {
  auto ea = TkxEffectBmp::CreateFromhWnd(A->Handle());
  auto eb = TkxEffectBmp::CreateFromhWnd(B->Handle());
  if (!ea || !eb || ea->Width != eb->Width || ea->Height != eb->Height) {
    C->Draw(0, 0, Kf < 0.5 ? A : B);
    return;
  }
  ea->MorphBy(Kind, eb.get(), Kf);
  ea->Draw(C->Handle(), 0, 0);
}

// The state image's background: at the size the skin allows, or stretched over a freely sized
// button; answers the caption rectangle.
TRect ButtonBackground(TkxSkinGeometry& G, TBitmap* B, const TRect& ARect, bool SkinSized, int32_t W, int32_t H,
                       const std::function<void()>& SkinImage) {
  if (SkinSized || G.ResizeMode == 1) {
    SkinImage();
    return G.NewClRect;
  }
  if (G.ResizeMode == 0) {
    B->Canvas()->CopyRect(TRect{0, 0, W, H}, G.Picture->Canvas(), ARect);
  } else {
    StretchNinePartImage(B, G.Picture, ARect, G.ClRect, true);
  }
  return TRect{G.ClRect.left, G.ClRect.top, G.ClRect.right + W - RectWidth(ARect),
               G.ClRect.bottom + H - RectHeight(ARect)};
}

void FreeSizeCalc(TkxSkinGeometry& G, int32_t AWidth, int32_t AHeight) {
  G.NewClRect = TRect{G.ClRect.left, G.ClRect.top, G.ClRect.right + AWidth - RectWidth(G.SkinRect),
                      G.ClRect.bottom + AHeight - RectHeight(G.SkinRect)};
}

void EnsureTimer(TTimer*& T, TComponent* Owner, TNotifyEvent Fn) {
  if (T) return;
  T = new TTimer(Owner);
  T->SetEnabled(false);
  T->SetOnTimer(std::move(Fn));
}

// Starts T afresh: its first tick comes Interval ms from now.
void RunTimer(TTimer* T, int32_t Interval) {
  T->SetEnabled(false);
  T->SetInterval(uint32_t(std::max(1, Interval)));
  T->SetEnabled(true);
}

bool Running(const TTimer* T) { return T && T->Enabled(); }

// The glyph of an action's image, on fuchsia, for a button without a glyph of its own.
void GlyphFromAction(TObject* Sender, TBitmap* Glyph) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a || !Glyph->Empty() || !a->ActionList()) return;
  TCustomImageList* il = a->ActionList()->Images();
  if (!il || a->ImageIndex() < 0 || a->ImageIndex() >= il->Count()) return;
  Glyph->SetPixelFormat(pf24bit);
  Glyph->SetSize(il->Width(), il->Height());
  Glyph->Canvas()->Brush()->SetStyle(bsSolid);
  Glyph->Canvas()->Brush()->SetColor(clFuchsia);
  Glyph->Canvas()->FillRect(TRect{0, 0, il->Width(), il->Height()});
  il->Draw(Glyph->Canvas(), 0, 0, a->ImageIndex());
}

}  // namespace

// ---- TkxButtonSkinFields ------------------------------------------------------------------------

bool TkxButtonSkinFields::HasAnimation(const TRect& ASkinRect) const {
  if (IsEmptyRect(AnimateSkinRect) || FrameCount <= 0) return false;
  const bool across = RectWidth(AnimateSkinRect) > RectWidth(ASkinRect);
  return (across ? RectWidth(AnimateSkinRect) : RectHeight(AnimateSkinRect)) / FrameCount > 0;
}

void TkxButtonSkinFields::ShowAnimationFrame(TRect& ASkinRect, int32_t K, bool Forward) {
  const TRect f = AnimationFrame(ASkinRect, K);
  if (!IsEmptyRect(f)) (Forward ? ActiveSkinRect : ASkinRect) = f;
}

TRect TkxButtonSkinFields::AnimationFrame(const TRect& ASkinRect, int32_t K) const {
  if (!HasAnimation(ASkinRect) || K < 1 || K > FrameCount) return TRect{};
  const TRect& a = AnimateSkinRect;
  if (RectWidth(a) > RectWidth(ASkinRect)) {
    const int32_t w = RectWidth(a) / FrameCount;
    return TRect{a.left + w * (K - 1), a.top, a.left + w * K, a.bottom};
  }
  const int32_t h = RectHeight(a) / FrameCount;
  return TRect{a.left, a.top + h * (K - 1), a.right, a.top + h * K};
}

// ---- TkxButtonTimers ----------------------------------------------------------------------------

TkxButtonTimers::TkxButtonTimers(TControl* Control, const TkxSkinBinding* Binding, const TkxButtonSkinFields* Fields)
    : FControl(Control), FBinding(Binding), FFields(Fields) {}

TkxButtonTimers::~TkxButtonTimers() = default;

void TkxButtonTimers::MorphTick(TObject*) {
  const bool hot = MorphHot();
  if (FBinding->SkinIndex() == -1 || !MorphActive()) {
    FMorphKf = hot ? 1 : 0;
    MorphTimer->SetEnabled(false);
    return;
  }
  if (hot && FMorphKf < 1) {
    FMorphKf = std::min(1.0, FMorphKf + 0.2);
  } else if (!hot && FMorphKf > 0) {
    FMorphKf = std::max(0.0, FMorphKf - 0.2);
  } else {
    FMorphKf = hot ? 1 : 0;
    MorphTimer->SetEnabled(false);
  }
  FControl->Repaint();
}

void TkxButtonTimers::StartAnimate(bool Forward) {
  if (!CanAnimate()) return;
  StopAnimate();
  AnimateInc = Forward;
  CurrentFrame = Forward ? 1 : FFields->FrameCount;
  EnsureTimer(AnimateTimer, FControl, [this](TObject* s) { AnimateTick(s); });
  RunTimer(AnimateTimer, FFields->AnimateInterval);
}

void TkxButtonTimers::StopAnimate() {
  CurrentFrame = 0;
  if (AnimateTimer) AnimateTimer->SetEnabled(false);
}

void TkxButtonTimers::AnimateTick(TObject*) {
  if (AnimateInc ? CurrentFrame < FFields->FrameCount : CurrentFrame > 1)
    CurrentFrame += AnimateInc ? 1 : -1;
  else
    StopAnimate();
  FControl->Repaint();
}

void TkxButtonTimers::StartRepeat() {
  EnsureTimer(RepeatTimer, FControl, [this](TObject* s) { RepeatTick(s); });
  FRepeatFirstTick = true;
  RunTimer(RepeatTimer, 500);
}

void TkxButtonTimers::StopRepeat() {
  if (RepeatTimer) RepeatTimer->SetEnabled(false);
}

void TkxButtonTimers::RepeatTick(TObject*) {
  if (FRepeatFirstTick) {
    FRepeatFirstTick = false;
    RunTimer(RepeatTimer, FRepeatInterval);
    return;
  }
  ButtonClick();
}

// ---- TkxButtonLook ------------------------------------------------------------------------------

TkxButtonLook::TkxButtonLook(TControl* Control, TkxSkinBinding* Binding)
    : FGlyph(std::make_unique<TBitmap>()), FControl(Control), FBinding(Binding) {
  FGlyph->OnChange = [this](TObject*) { FControl->Repaint(); };
}

TkxButtonLook::~TkxButtonLook() { FGlyph->OnChange = nullptr; }

void TkxButtonLook::SetGlyph(TBitmap* Value) {
  if (Value)
    FGlyph->Assign(Value);
  else
    FGlyph->SetSize(0, 0);
  FControl->Repaint();
}

void TkxButtonLook::SetNumGlyphs(TkxNumGlyphs Value) {
  FNumGlyphs = std::clamp(Value, 1, 4);
  FControl->Repaint();
}

void TkxButtonLook::SetMargin(int32_t Value) {
  if (Value == FMargin || Value < -1) return;
  FMargin = Value;
  FControl->Repaint();
}

void TkxButtonLook::SetSpacing(int32_t Value) {
  if (Value == FSpacing) return;
  FSpacing = Value;
  FControl->Repaint();
}

void TkxButtonLook::SetLayout(TkxButtonLayout Value) {
  if (Value == FLayout) return;
  FLayout = Value;
  FControl->Repaint();
}

void TkxButtonLook::SetUseSkinSize(bool Value) {
  if (Value == FUseSkinSize) return;
  FUseSkinSize = Value;
  if (!FControl->ComponentState().Contains(csLoading)) FBinding->ChangeSkinData();
}

void TkxButtonLook::SetUseSkinFontColor(bool Value) {
  FUseSkinFontColor = Value;
  FControl->Repaint();
}

void TkxButtonLook::ButtonSkinSize(TkxSkinCustomParts& Parts, int32_t& AWidth, int32_t& AHeight) {
  if (FUseSkinSize || Parts.ResizeMode == 1) {
    Parts.TkxSkinCustomParts::CalcSkinSize(AWidth, AHeight);
    return;
  }
  if (FBinding->SkinIndex() != -1) FreeSizeCalc(Parts, AWidth, AHeight);
}

// ---- TkxSkinButton ------------------------------------------------------------------------------

TkxSkinButton::TkxSkinButton(TComponent* AOwner) : TkxSkinCustomControl(AOwner), TkxButtonLook(this, this), TkxButtonTimers(this, this, this) {
  FSkinDataName = "button";
  FTabStop = true;
  FWidth = 75;
  FHeight = 25;
  FLayerManager = new TkxLayerManager(this);
}

TkxSkinButton::~TkxSkinButton() {
  if (FLayerManager && FLayerManager->IsVisible) FLayerManager->Hide();
}

bool TkxSkinButton::EffectsOn() const { return EffectsOf(SkinData()); }
bool TkxSkinButton::MorphActive() const { return Morphing && EffectsOn(); }
bool TkxSkinButton::AnimationRunning() const {
  return EffectsOn() && Running(AnimateTimer) && CurrentFrame >= 1 && CurrentFrame <= FrameCount;
}
bool TkxSkinButton::IsFocused() { return FCanFocused && HandleAllocated() && Focused(); }
bool TkxSkinButton::IsHot() { return FMouseIn || IsFocused(); }
bool TkxSkinButton::Pressed() { return FDown && (FMouseIn || (IsFocused() && !FMouseDown) || FGroupIndex != 0); }

void TkxSkinButton::Notification(TComponent* AComponent, TOperation Operation) {
  TkxSkinCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FLayerManager) FLayerManager = nullptr;
  if (AComponent == AnimateTimer) AnimateTimer = nullptr;
  if (AComponent == RepeatTimer) RepeatTimer = nullptr;
  if (AComponent == MorphTimer) MorphTimer = nullptr;
}

void TkxSkinButton::GetSkinData() {
  TkxSkinCustomControl::GetSkinData();
  FButtonRecord = false;
  if (FIndex == -1) return;
  if (!FUseSkinSize && MaskPicture) MaskPicture = nullptr;
  FButtonRecord = ReadButtonRecord(*this, SkinData(), FIndex, SkinRect, Picture);
  if (AnimationRunning()) ShowAnimationFrame(SkinRect, CurrentFrame, AnimateInc);
}

void TkxSkinButton::CalcSkinSize(int32_t& AWidth, int32_t& AHeight) { ButtonSkinSize(*this, AWidth, AHeight); }

void TkxSkinButton::SetImageList(TCustomImageList* Value) {
  FImageList.Set(Value);
  Repaint();
}

void TkxSkinButton::SetImageIndex(int32_t Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  Repaint();
}

void TkxSkinButton::SetCanFocused(bool Value) {
  FCanFocused = Value;
  SetTabStop(Value);
}

void TkxSkinButton::SetGroupIndex(int32_t Value) {
  FGroupIndex = Value;
  if (Value != 0) SetCanFocused(false);
}

void TkxSkinButton::SetDefault(bool Value) {
  FDefault = Value;
  // A button that stops being the default drops the hot look it had only for that role.
  if (!Value && FMouseIn && MouseControl() != this && !IsFocused()) {
    FMouseIn = false;
    DoMorph();
  }
  if (!FCanFocused || !HandleAllocated()) return;
  // Every skinned button of the form decides again whether Enter is its own.
  if (TCustomForm* form = GetParentForm(this))
    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TkxSkinButton::SetDown(bool Value) {
  FDown = Value;
  if (MorphActive()) {
    FMorphKf = 1;
    if (Value) {
      if (MorphTimer) MorphTimer->SetEnabled(false);
    } else {
      StartMorph();
    }
  }
  Repaint();
  if (!Value || FGroupIndex == 0 || FAllowAllUp || !Parent()) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    auto* b = dynamic_cast<TkxSkinButton*>(Parent()->Controls(i));
    if (b && b != this && b->FGroupIndex == FGroupIndex && b->FDown) b->SetDown(false);
  }
}

void TkxSkinButton::RefreshButton() {
  FMouseIn = false;
  FDown = false;
  if (MorphActive()) FMorphKf = 0;
  if (EffectsOn()) StopAnimate();
  Repaint();
}

void TkxSkinButton::Click() {
  // The button's own OnClick comes from ButtonClick alone.
  if (!ActionLink()) TkxSkinCustomControl::Click();
}

void TkxSkinButton::ButtonClick() {
  if (FCanFocused)
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  if (OnClick)
    OnClick(this);
  else if (ActionLink() && !ComponentState().Contains(csDesigning))
    ActionLink()->Execute(this);
}

void TkxSkinButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  TkxSkinCustomControl::ActionChange(Sender, CheckDefaults);
  GlyphFromAction(Sender, FGlyph.get());
  Repaint();
}

// ---- timers

void TkxSkinButton::DoMorph() {
  if (MorphActive() && FIndex != -1)
    StartMorph();
  else
    Repaint();
}

void TkxSkinButton::StartMorph() {
  EnsureTimer(MorphTimer, this, [this](TObject* s) { MorphTick(s); });
  if (!MorphTimer->Enabled()) RunTimer(MorphTimer, 20);
}

bool TkxSkinButton::CanAnimate() { return FIndex != -1 && EffectsOn() && HasAnimation(SkinRect); }

// ---- glow layer

void TkxSkinButton::ShowLayer() {
  if (!FLayerManager || !SkinData() || SkinData()->Empty || FIndex == -1 || !IsWin2000OrLater()) return;
  if (!SkinData()->ShowButtonGlowFrames() && !FAlwaysShowGlowFrame) return;
  TBitmap* pic = SkinPicture(GlowLayerPictureIndex);
  if (!pic) return;
  TBitmap* mask = SkinPicture(GlowLayerMaskPictureIndex);
  auto* form = dynamic_cast<TForm*>(GetParentForm(this));
  FLayerManager->TopMostMode = form && form->FormStyle() == fsStayOnTop;
  const int32_t dw = Width() - RectWidth(SkinRect), dh = Height() - RectHeight(SkinRect);
  std::unique_ptr<TBitmap> img, msk;
  auto grown = [&](TBitmap* src) -> std::unique_ptr<TBitmap> {
    if (!src) return nullptr;
    const TRect all{0, 0, src->Width(), src->Height()};
    auto b = NewSkinImage(0, 0);
    if (ResizeMode == 2) {
      BuildHorzThreePartImage(GlowLayerOffsetLeft, GlowLayerOffsetRight, b.get(), src, all, src->Width() + dw,
                              src->Height(), true);
    } else {
      b->SetSize(std::max(1, src->Width() + dw), std::max(1, src->Height() + dh));
      StretchNinePartImage(b.get(), src, all,
                           TRect{GlowLayerOffsetLeft, GlowLayerOffsetTop, src->Width() - GlowLayerOffsetRight,
                                 src->Height() - GlowLayerOffsetBottom},
                           true);
    }
    return b;
  };
  TBitmap *showImg = nullptr, *showMask = nullptr;
  if (ResizeMode == 0) {
    showImg = pic, showMask = mask;
  } else if ((ResizeMode == 2 && FUseSkinSize) || ResizeMode == 1) {
    img = grown(pic), msk = grown(mask);
    showImg = img.get(), showMask = msk.get();
  } else {
    return;
  }
  const TPoint p = ClientToScreen(TPoint{0, 0});
  FLayerManager->Show(p.x - GlowLayerShowOffsetX, p.y - GlowLayerShowOffsetY, showImg, showMask,
                      GlowLayerAlphaBlendValue);
}

void TkxSkinButton::HideLayer() {
  if (FLayerManager && FLayerManager->IsVisible) FLayerManager->Hide();
}

// ---- skin change

void TkxSkinButton::ChangeSkinData() {
  if (MorphTimer) MorphTimer->SetEnabled(false);
  StopAnimate();
  FMorphKf = 0;
  TkxSkinCustomControl::ChangeSkinData();
  if (MorphActive() && FIndex != -1 && IsHot()) FMorphKf = 1;
  if (FMouseIn && HandleAllocated()) PostMessage(Handle(), KXM_SHOWLAYER, 0, 0);
}

void TkxSkinButton::BeforeChangeSkinData() {
  TkxSkinCustomControl::BeforeChangeSkinData();
  HideLayer();
}

// ---- messages

void TkxSkinButton::CreateWnd() {
  TkxSkinCustomControl::CreateWnd();
  FActive = FDefault;
}

void TkxSkinButton::WndProc(TMessage& Message) {
  if (FCanFocused) {
    if (!FocusOnPress(Message)) return;
    switch (Message.Msg) {
      case WM_KEYDOWN:
        // A dialog key goes to the form first, as it would before the window saw it.
        if (Perform(CN_KEYDOWN, Message.WParam, Message.LParam) != 0) return;
        if (Message.WParam == VK_SPACE) {
          if (FIndex != -1 && HasAnimation(SkinRect)) StopAnimate();
          SetDown(true);
          if (FRepeatMode) ButtonClick();
        } else if (Message.WParam == VK_RETURN) {
          ButtonClick();
        }
        if (!DoKeyDown(Message)) DefaultHandler(Message);
        return;
      case WM_KEYUP:
        if (Message.WParam == VK_SPACE && FDown && FGroupIndex == 0) {
          SetDown(false);
          ButtonClick();
        }
        break;
      default: break;
    }
  }
  TkxSkinCustomControl::WndProc(Message);
}

void TkxSkinButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_MOUSEENTER:
      TkxSkinCustomControl::Dispatch(Message);
      CMMouseEnter();
      return;
    case CM_MOUSELEAVE:
      TkxSkinCustomControl::Dispatch(Message);
      CMMouseLeave();
      return;
    case CM_DIALOGKEY: CMDialogKey(Message); return;
    case CM_DIALOGCHAR: CMDialogChar(Message); return;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); return;
    case CM_ENABLEDCHANGED:
      if (MorphActive()) {
        if (MorphTimer) MorphTimer->SetEnabled(false);
        FMorphKf = 0;
      }
      FMouseIn = false;
      TkxSkinCustomControl::Dispatch(Message);
      Repaint();
      return;
    case CM_TEXTCHANGED:
      TkxSkinCustomControl::Dispatch(Message);
      Repaint();
      return;
    case WM_SETFOCUS:
      TkxSkinCustomControl::Dispatch(Message);
      if (FCanFocused) {
        StartAnimate(true);
        DoMorph();
      }
      return;
    case WM_KILLFOCUS:
      StopRepeat();
      if (FGroupIndex == 0 && FDown) FDown = false;
      TkxSkinCustomControl::Dispatch(Message);
      if (FCanFocused) {
        StartAnimate(false);
        if (MorphActive() && FIndex != -1)
          DoMorph();
        else
          Invalidate();
      }
      return;
    case WM_ERASEBKGND:
      // Outside WM_PAINT an erase asks for the whole button in the given DC.
      if (!FromWMPaint && Message.WParam) PaintWindow(reinterpret_cast<HDC>(Message.WParam));
      Message.Result = 1;
      return;
    case KXM_SHOWLAYER: ShowLayer(); return;
    case KXM_HIDELAYER: HideLayer(); return;
    default: TkxSkinCustomControl::Dispatch(Message); return;
  }
}

void TkxSkinButton::CMMouseEnter() {
  if (ComponentState().Contains(csDesigning)) return;
  FMouseIn = true;
  if ((FGroupIndex != 0 && !FDown) || (FGroupIndex == 0 && (!IsFocused() || FDown))) {
    if (FDown) {
      if (MorphActive()) FMorphKf = 1;
      Repaint();
    } else {
      StartAnimate(true);
      DoMorph();
    }
  }
  if (FDown && FRepeatMode && FGroupIndex == 0) StartRepeat();
  if (HandleAllocated()) PostMessage(Handle(), KXM_SHOWLAYER, 0, 0);
}

void TkxSkinButton::CMMouseLeave() {
  if (ComponentState().Contains(csDesigning)) return;
  // The button that answers Enter for its form stays hot while another control has the focus.
  if (!(FCanFocused && FDefault && FActive && !Focused())) FMouseIn = false;
  if ((FGroupIndex != 0 && !FDown) || (FGroupIndex == 0 && (!IsFocused() || FDown))) {
    StartAnimate(false);
    DoMorph();
  }
  if (FDown && FRepeatMode && Running(RepeatTimer) && FGroupIndex == 0) StopRepeat();
  if (HandleAllocated()) PostMessage(Handle(), KXM_HIDELAYER, 0, 0);
}

void TkxSkinButton::CMFocusChanged(TMessage& Message) {
  auto* s = reinterpret_cast<TControl*>(Message.LParam);
  const bool sIsButton = dynamic_cast<TkxSkinButton*>(s) != nullptr;
  FActive = sIsButton ? s == this : FDefault;
  if (FCanFocused && FDefault) {
    if (sIsButton && s != this && FMouseIn) {
      FMouseIn = false;
      DoMorph();
    } else if (!sIsButton && !FMouseIn) {
      FMouseIn = true;
      if (MorphActive()) FMorphKf = 1;
      DoMorph();
    }
  }
  TkxSkinCustomControl::Dispatch(Message);
}

void TkxSkinButton::CMDialogKey(TMessage& Message) {
  if (FActive && Message.WParam == VK_RETURN && Enabled()) {
    ButtonClick();
    Message.Result = 1;
    return;
  }
  const TShiftState shift = KeyboardShiftState();
  const bool plain = !shift.Contains(ssShift) && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt);
  if (Message.WParam == VK_ESCAPE && FCancel && FCanFocused && plain && CanFocus()) {
    ButtonClick();
    Message.Result = 1;
    return;
  }
  TkxSkinCustomControl::Dispatch(Message);
}

void TkxSkinButton::CMDialogChar(TMessage& Message) {
  if (IsAccel(uint32_t(Message.WParam), Caption()) && CanFocus() && FCanFocused) {
    SetFocus();
    ButtonClick();
    Message.Result = 1;
    return;
  }
  TkxSkinCustomControl::Dispatch(Message);
}

void TkxSkinButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TkxSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (FIndex != -1 && EffectsOn() && HasAnimation(SkinRect)) StopAnimate();
  FMouseDown = true;
  if (!FDown) {
    FMouseIn = true;
    SetDown(true);
    if (FRepeatMode && FGroupIndex == 0)
      StartRepeat();
    else if (FGroupIndex != 0)
      ButtonClick();
    FAllowAllUpCheck = false;
  } else if (FGroupIndex != 0) {
    FAllowAllUpCheck = true;
  }
}

void TkxSkinButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    FMouseDown = false;
    const TRect r = ClientRect();
    const bool over = PtInRect(&r, POINT{X, Y});
    if (FGroupIndex == 0) {
      if (over) {
        const bool was = FDown;
        SetDown(false);
        StopRepeat();
        if (was) ButtonClick();
      } else {
        FDown = false;
        StopRepeat();
      }
    } else if (FDown && FAllowAllUp && FAllowAllUpCheck && over) {
      SetDown(false);
      ButtonClick();
    }
  }
  if (HandleAllocated() && Visible()) TkxSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

// ---- painting

int32_t TkxSkinButton::GlyphNumber(bool AActive, bool ADown) const {
  if (AActive && ADown && FNumGlyphs > 2) return 3;
  if (AActive && FNumGlyphs > 3) return 4;
  if (!Enabled() && FNumGlyphs > 1) return 2;
  return 1;
}

void TkxSkinButton::DrawContents(TCanvas* C, const TRect& R, bool Shift, int32_t GlyphNum) {
  C->Brush()->SetStyle(bsClear);
  if (FImageList && FImageIndex >= 0 && FImageIndex < FImageList->Count())
    DrawImageAndText(C, R, FMargin, FSpacing, FLayout, Caption(), FImageIndex, FImageList, Shift, Enabled(), false, 0);
  else
    DrawGlyphAndText(C, R, FMargin, FSpacing, FLayout, Caption(), FGlyph->Empty() ? nullptr : FGlyph.get(),
                     FNumGlyphs, GlyphNum, Shift, false, 0);
}

void TkxSkinButton::SetCaptionFont(TCanvas* C) {
  TFont* f = C->Font();
  if (FUseSkinFont && FButtonRecord && !FontName.empty()) {
    f->SetName(FontName);
    f->SetHeight(FontHeight);
    f->SetStyle(FontStyle);
  } else {
    f->Assign(FDefaultFont.get());
  }
  f->SetCharset(SkinCharset(FDefaultFont.get()));
}

void TkxSkinButton::CreateButtonImage(TBitmap* B, const TRect& ARect, bool AActive, bool ADown) {
  const TRect r = ButtonBackground(*this, B, ARect, FUseSkinSize, B->Width(), B->Height(),
                                   [&] { CreateSkinImage(B, Picture, ARect); });
  TCanvas* c = B->Canvas();
  SetCaptionFont(c);
  TColor color = FontColor;
  if (Enabled() && !FUseSkinFontColor)
    color = FDefaultFont->Color();
  else if (!Enabled())
    color = DisabledFontColor;
  else if (AActive && ADown)
    color = DownFontColor;
  else if (AActive)
    color = ActiveFontColor;
  if (!FButtonRecord) color = Enabled() ? FDefaultFont->Color() : kxPlain.DisabledText;
  c->Font()->SetColor(color);
  if (ShowFocus && IsFocused()) DrawSkinFocusRect(c, r);
  bool drawDefault = true;
  if (OnPaint) OnPaint(this, c, r, ADown, AActive, drawDefault);
  if (!drawDefault) return;
  DrawContents(c, r, AActive && ADown, GlyphNumber(AActive, ADown));
}

void TkxSkinButton::CreateControlDefaultImage(TBitmap* B) {
  TCanvas* c = B->Canvas();
  const TRect r{0, 0, B->Width(), B->Height()};
  const bool pressed = Pressed();
  DrawPlainButtonFace(c, r, PlainStateOf(pressed, IsHot()));
  c->Font()->Assign(FDefaultFont.get());
  c->Font()->SetCharset(SkinCharset(FDefaultFont.get()));
  if (!Enabled()) c->Font()->SetColor(kxPlain.DisabledText);
  bool drawDefault = true;
  if (OnPaint) OnPaint(this, c, r, FDown, FMouseIn, drawDefault);
  if (!drawDefault) return;
  const bool image = FImageList && FImageIndex >= 0 && FImageIndex < FImageList->Count();
  DrawContents(c, r, image ? FDown && FMouseIn : pressed, GlyphNumber(FMouseIn, FDown));
}

void TkxSkinButton::Paint() {
  if (Width() < 1 || Height() < 1) return;
  GetSkinData();
  int32_t w = Width(), h = Height();
  CalcSkinSize(w, h);
  if (FIndex == -1) {
    TkxSkinControl::Paint();
    return;
  }
  auto b = NewSkinImage(Width(), Height());
  if (MorphActive() && FMorphKf > 0 && FMorphKf < 1 && Enabled()) {
    auto b2 = NewSkinImage(Width(), Height());
    CreateButtonImage(b.get(), SkinRect, false, false);
    CreateButtonImage(b2.get(), ActiveSkinRect, true, false);
    DrawMorph(Canvas(), b.get(), b2.get(), FMorphKf, MorphKind);
    return;
  }
  const bool focused = IsFocused();
  if (!Enabled() && !IsEmptyRect(DisabledSkinRect))
    CreateButtonImage(b.get(), DisabledSkinRect, false, false);
  else if (Pressed())
    CreateButtonImage(b.get(), DownSkinRect, true, true);
  else if (focused && !IsEmptyRect(FocusedSkinRect) && !AnimationRunning())
    CreateButtonImage(b.get(), FocusedSkinRect, true, false);
  else if (focused || FMouseIn)
    CreateButtonImage(b.get(), ActiveSkinRect, true, false);
  else if (MorphActive() && FMorphKf == 1)
    CreateButtonImage(b.get(), ActiveSkinRect, true, false);
  else
    CreateButtonImage(b.get(), SkinRect, false, false);
  Canvas()->Draw(0, 0, b.get());
}

// ---- TkxSkinSpeedButton -------------------------------------------------------------------------

TkxSkinSpeedButton::TkxSkinSpeedButton(TComponent* AOwner)
    : TkxGraphicSkinCustomControl(AOwner), TkxButtonLook(this, this), TkxButtonTimers(this, this, this) {
  FSkinDataName = "toolbutton";
  SetControlStyle(TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks});
  FWidth = 25;
  FHeight = 25;
}

TkxSkinSpeedButton::~TkxSkinSpeedButton() = default;

bool TkxSkinSpeedButton::EffectsOn() const { return EffectsOf(SkinData()); }
bool TkxSkinSpeedButton::MorphActive() const { return Morphing && EffectsOn(); }
bool TkxSkinSpeedButton::AnimationRunning() const {
  return EffectsOn() && Running(AnimateTimer) && CurrentFrame >= 1 && CurrentFrame <= FrameCount;
}
bool TkxSkinSpeedButton::Pressed() const { return FDown && ((FMouseIn && FGroupIndex == 0) || FGroupIndex != 0); }

void TkxSkinSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
  TkxGraphicSkinCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == AnimateTimer) AnimateTimer = nullptr;
  if (AComponent == RepeatTimer) RepeatTimer = nullptr;
  if (AComponent == MorphTimer) MorphTimer = nullptr;
}

void TkxSkinSpeedButton::GetSkinData() {
  TkxGraphicSkinCustomControl::GetSkinData();
  FButtonRecord = false;
  if (FIndex == -1) return;
  FButtonRecord = ReadButtonRecord(*this, SkinData(), FIndex, SkinRect, Picture);
  // A transparent button shows its parent; there is no opaque normal image to blend from.
  if (Transparent()) Morphing = false;
  if (AnimationRunning()) ShowAnimationFrame(SkinRect, CurrentFrame, AnimateInc);
}

void TkxSkinSpeedButton::CalcSkinSize(int32_t& AWidth, int32_t& AHeight) { ButtonSkinSize(*this, AWidth, AHeight); }

void TkxSkinSpeedButton::SetImageList(TCustomImageList* Value) {
  FButtonImages.Set(Value);
  Repaint();
}

void TkxSkinSpeedButton::SetTransparent(bool Value) {
  auto style = ControlStyle();
  if (Value)
    style.Exclude(csOpaque);
  else
    style.Include(csOpaque);
  SetControlStyle(style);
  Repaint();
}

void TkxSkinSpeedButton::SetFlat(bool Value) {
  FFlat = Value;
  SetTransparent(Value);
}

void TkxSkinSpeedButton::SetShowCaption(bool Value) {
  if (Value == FShowCaption) return;
  FShowCaption = Value;
  if (FWidthWithCaption > 0 && FWidthWithoutCaption > 0)
    SetWidth(Value ? FWidthWithCaption : FWidthWithoutCaption);
  else
    Repaint();
}

void TkxSkinSpeedButton::SetDown(bool Value) {
  FDown = Value;
  if (MorphActive()) {
    FMorphKf = 1;
    if (Value) {
      if (MorphTimer) MorphTimer->SetEnabled(false);
    } else {
      DoMorph();
    }
  }
  Repaint();
  if (!Value || FGroupIndex == 0 || FAllowAllUp || !Parent()) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    auto* b = dynamic_cast<TkxSkinSpeedButton*>(Parent()->Controls(i));
    if (b && b != this && b->FGroupIndex == FGroupIndex && b->FDown) b->SetDown(false);
  }
}

void TkxSkinSpeedButton::RefreshButton() {
  FMouseIn = false;
  FDown = false;
  if (MorphActive()) FMorphKf = 0;
  if (EffectsOn()) StopAnimate();
  Repaint();
}

void TkxSkinSpeedButton::ButtonClick() {
  if (OnClick)
    OnClick(this);
  else if (ActionLink() && !ComponentState().Contains(csDesigning))
    ActionLink()->Execute(this);
}

void TkxSkinSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  TkxGraphicSkinCustomControl::ActionChange(Sender, CheckDefaults);
  GlyphFromAction(Sender, FGlyph.get());
  Repaint();
}

void TkxSkinSpeedButton::DoMorph() {
  if (MorphActive() && FIndex != -1 && !Transparent()) {
    EnsureTimer(MorphTimer, this, [this](TObject* s) { MorphTick(s); });
    if (!MorphTimer->Enabled()) RunTimer(MorphTimer, 20);
  } else {
    Repaint();
  }
}

bool TkxSkinSpeedButton::CanAnimate() { return FIndex != -1 && !FFlat && EffectsOn() && HasAnimation(SkinRect); }

void TkxSkinSpeedButton::ChangeSkinData() {
  StopAnimate();
  if (MorphTimer) MorphTimer->SetEnabled(false);
  TkxGraphicSkinCustomControl::ChangeSkinData();
  if (MorphActive() && FIndex != -1 && FMouseIn && !Transparent()) FMorphKf = 1;
}

void TkxSkinSpeedButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_MOUSEENTER:
      TkxGraphicSkinCustomControl::Dispatch(Message);
      CMMouseEnter();
      return;
    case CM_MOUSELEAVE:
      TkxGraphicSkinCustomControl::Dispatch(Message);
      CMMouseLeave();
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(uint32_t(Message.WParam), Caption()) && Enabled() && Visible() && Parent() &&
          Parent()->Showing()) {
        ButtonClick();
        Message.Result = 1;
        return;
      }
      TkxGraphicSkinCustomControl::Dispatch(Message);
      return;
    case CM_ENABLEDCHANGED:
      if (MorphTimer) MorphTimer->SetEnabled(false);
      FMorphKf = 0;
      FMouseIn = false;
      TkxGraphicSkinCustomControl::Dispatch(Message);
      Repaint();
      return;
    case CM_TEXTCHANGED:
      TkxGraphicSkinCustomControl::Dispatch(Message);
      Repaint();
      return;
    default: TkxGraphicSkinCustomControl::Dispatch(Message); return;
  }
}

void TkxSkinSpeedButton::CMMouseEnter() {
  if (!Enabled() || ComponentState().Contains(csDesigning)) return;
  FMouseIn = true;
  if (FGroupIndex == 0 || !FDown) {
    if (FDown) {
      if (MorphActive()) FMorphKf = 1;
      Repaint();
    } else {
      StartAnimate(true);
      DoMorph();
    }
  }
  if (FDown && FRepeatMode && FGroupIndex == 0) StartRepeat();
}

void TkxSkinSpeedButton::CMMouseLeave() {
  if (!Enabled() || ComponentState().Contains(csDesigning)) return;
  FMouseIn = false;
  if (FGroupIndex == 0 || !FDown) {
    StartAnimate(false);
    DoMorph();
  }
  if (FDown && FRepeatMode && Running(RepeatTimer) && FGroupIndex == 0) StopRepeat();
}

void TkxSkinSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TkxGraphicSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (FIndex != -1 && EffectsOn() && HasAnimation(SkinRect)) StopAnimate();
  FMouseDown = true;
  if (!FDown) {
    FMouseIn = true;
    SetDown(true);
    if (FRepeatMode && FGroupIndex == 0)
      StartRepeat();
    else if (FGroupIndex != 0)
      ButtonClick();
    FAllowAllUpCheck = false;
  } else if (FGroupIndex != 0) {
    FAllowAllUpCheck = true;
  }
}

void TkxSkinSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TkxGraphicSkinCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  FMouseDown = false;
  const TRect r = ClientRect();
  const bool over = PtInRect(&r, POINT{X, Y});
  if (FGroupIndex == 0) {
    if (over) {
      const bool was = FDown;
      SetDown(false);
      StopRepeat();
      if (was) ButtonClick();
    } else {
      FDown = false;
      StopRepeat();
      Repaint();
    }
  } else if (FDown && FAllowAllUp && FAllowAllUpCheck && over) {
    SetDown(false);
    ButtonClick();
  }
}

void TkxSkinSpeedButton::DrawMenuMarker(TCanvas* C, const TRect& R, bool AFlat, bool ADown, bool AActive) {
  const TRect m = ADown ? MenuMarkerDownRect : AActive ? MenuMarkerActiveRect : AFlat ? MenuMarkerFlatRect : MenuMarkerRect;
  if (FIndex == -1 || !RectInPicture(m, Picture)) return;
  auto b = NewSkinImage(RectWidth(m), RectHeight(m));
  b->Canvas()->CopyRect(TRect{0, 0, RectWidth(m), RectHeight(m)}, Picture->Canvas(), m);
  b->SetTransparentColor(MenuMarkerTransparentColor);
  b->SetTransparent(true);
  C->Draw(R.left + (RectWidth(R) - b->Width()) / 2, R.top + (RectHeight(R) - b->Height()) / 2, b.get());
}

void TkxSkinSpeedButton::SetImageIndex(int32_t Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  if (dynamic_cast<TkxSkinToolBar*>(Parent())) Repaint();
}

// ---- painting

std::string TkxSkinSpeedButton::ShownCaption() { return FShowCaption ? Caption() : std::string(); }

void TkxSkinSpeedButton::DrawContents(TCanvas* C, const TRect& R, bool ShiftImage, bool ShiftGlyph, bool AActive,
                                      bool ADown) {
  C->Brush()->SetStyle(bsClear);
  if (DrawChosenImage(C, R, ShiftImage)) return;
  const std::string caption = ShownCaption();
  // On a skinned tool bar without a glyph, the bar's lists: the disabled list already holds the
  // disabled look, so its image is drawn as enabled.
  if (auto* bar = dynamic_cast<TkxSkinToolBar*>(Parent()); bar && FGlyph->Empty()) {
    TCustomImageList* list = bar->Images();
    bool enabled = Enabled();
    if (!Enabled() && bar->DisabledImages()) {
      list = bar->DisabledImages();
      enabled = true;
    } else if ((AActive || ADown) && bar->HotImages()) {
      list = bar->HotImages();
    }
    if (list && FImageIndex >= 0 && FImageIndex < list->Count()) {
      DrawImageAndText(C, R, FMargin, FSpacing, FLayout, caption, FImageIndex, list, ShiftImage, enabled, false, 0);
      return;
    }
  }
  if (FGlyph->Empty() && FButtonImages && FImageIndex >= 0 && FImageIndex < FButtonImages->Count()) {
    DrawImageAndText(C, R, FMargin, FSpacing, FLayout, caption, FImageIndex, FButtonImages, ShiftImage, Enabled(),
                     false, 0);
    return;
  }
  int32_t g = 1;
  if (AActive && ADown && FNumGlyphs > 2)
    g = 3;
  else if (AActive && FNumGlyphs > 3)
    g = 4;
  else if (!Enabled() && FNumGlyphs > 1)
    g = 2;
  DrawGlyphAndText(C, R, FMargin, FSpacing, FLayout, caption, FGlyph->Empty() ? nullptr : FGlyph.get(), FNumGlyphs,
                   g, ShiftGlyph, false, 0);
}

void TkxSkinSpeedButton::CreateButtonImage(TBitmap* B, const TRect& ARect, bool AActive, bool ADown) {
  const TRect r = ButtonBackground(*this, B, ARect, FUseSkinSize, B->Width(), B->Height(),
                                   [&] { CreateSkinImage(B, Picture, ARect); });
  TCanvas* c = B->Canvas();
  TFont* f = c->Font();
  if (FUseSkinFont && FButtonRecord && !FontName.empty()) {
    f->SetName(FontName);
    f->SetStyle(FontStyle);
    f->SetHeight(FontHeight);
  } else {
    f->Assign(FDefaultFont.get());
  }
  f->SetCharset(SkinCharset(FDefaultFont.get()));
  TColor color = FontColor;
  if (!FButtonRecord || (Enabled() && !FUseSkinFontColor))
    color = Enabled() ? FDefaultFont->Color() : kxPlain.DisabledText;
  else if (!Enabled())
    color = DisabledFontColor;
  else if (AActive && ADown)
    color = DownFontColor;
  else if (AActive)
    color = ActiveFontColor;
  f->SetColor(color);
  bool drawDefault = true;
  if (OnPaint) OnPaint(this, c, r, ADown, AActive, drawDefault);
  if (!drawDefault) return;
  DrawContents(c, r, AActive && ADown, AActive && ADown, AActive, ADown);
}

void TkxSkinSpeedButton::CreateControlDefaultImage(TBitmap* B) {
  TCanvas* c = B->Canvas();
  const TRect r{0, 0, B->Width(), B->Height()};
  const bool pressed = Pressed();
  if (pressed || FMouseIn || ComponentState().Contains(csDesigning) || !FFlat)
    DrawPlainButtonFace(c, r, PlainStateOf(pressed, FMouseIn));
  else if (!Transparent())
    DrawPlainButtonFace(c, r, TkxPlainState::Normal, false);
  c->Font()->Assign(FDefaultFont.get());
  c->Font()->SetCharset(SkinCharset(FDefaultFont.get()));
  if (!Enabled()) c->Font()->SetColor(kxPlain.DisabledText);
  bool drawDefault = true;
  if (OnPaint) OnPaint(this, c, r, FDown, FMouseIn, drawDefault);
  if (!drawDefault) return;
  DrawContents(c, r, FDown && FMouseIn, pressed, FMouseIn, FDown);
}

// The bare state of a transparent button: picture and caption straight onto the parent-backed
// canvas, never shifted.
void TkxSkinSpeedButton::DrawBare(TCanvas* C, const TRect& R, bool Skinned) {
  TFont* f = C->Font();
  if (Skinned && FUseSkinFont && FButtonRecord && !FontName.empty()) {
    f->SetName(FontName);
    f->SetStyle(FontStyle);
    f->SetHeight(FontHeight);
  } else {
    f->Assign(FDefaultFont.get());
  }
  f->SetCharset(SkinCharset(FDefaultFont.get()));
  TkxSkinColors* colors = Skinned && SkinData() ? SkinData()->SkinColors() : nullptr;
  if (!Enabled())
    f->SetColor(colors ? colors->cBtnShadow() : kxPlain.DisabledText);
  else if (colors && FUseSkinFontColor)
    f->SetColor(colors->cBtnText());
  else
    f->SetColor(FDefaultFont->Color());
  bool drawDefault = true;
  if (OnPaint) OnPaint(this, C, R, FDown, FMouseIn, drawDefault);
  if (!drawDefault) return;
  DrawContents(C, R, false, false, false, false);
}

void TkxSkinSpeedButton::Paint() {
  if (Width() < 1 || Height() < 1) return;
  GetSkinData();
  int32_t w = Width(), h = Height();
  CalcSkinSize(w, h);
  const bool pressed = Pressed();
  if (FIndex == -1) {
    if (pressed || FMouseIn || !Transparent())
      TkxGraphicSkinCustomControl::Paint();
    else
      DrawBare(Canvas(), ClientRect(), false);
    return;
  }
  auto b = NewSkinImage(Width(), Height());
  if (MorphActive() && !Transparent() && FMorphKf != 0 && FMorphKf != 1) {
    auto b2 = NewSkinImage(Width(), Height());
    CreateButtonImage(b.get(), SkinRect, false, false);
    CreateButtonImage(b2.get(), ActiveSkinRect, true, false);
    DrawMorph(Canvas(), b.get(), b2.get(), FMorphKf, MorphKind);
    return;
  }
  if (pressed) {
    CreateButtonImage(b.get(), DownSkinRect, true, true);
  } else if (FMouseIn || (MorphActive() && FMorphKf == 1)) {
    CreateButtonImage(b.get(), ActiveSkinRect, true, false);
  } else if (Transparent()) {
    DrawBare(Canvas(), NewClRect, true);
    return;
  } else if (!Enabled() && !IsEmptyRect(DisabledSkinRect)) {
    CreateButtonImage(b.get(), DisabledSkinRect, false, false);
  } else {
    CreateButtonImage(b.get(), SkinRect, false, false);
  }
  Canvas()->Draw(0, 0, b.get());
}

// ---- form streaming -----------------------------------------------------------------------------

namespace {

constexpr std::initializer_list<std::pair<const char*, TkxButtonLayout>> kLayouts = {
    {"blGlyphLeft", blGlyphLeft}, {"blGlyphRight", blGlyphRight}, {"blGlyphTop", blGlyphTop},
    {"blGlyphBottom", blGlyphBottom}};

}  // namespace

void RegisterSkinButtonFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxSkinButton, TkxSkinCustomControl>("TkxSkinButton")
      .Reference<TCustomImageList>("ImageList", &TkxSkinButton::SetImageList)
      .Integer("ImageIndex", &TkxSkinButton::SetImageIndex)
      .Boolean("AlwaysShowLayeredFrame", &TkxSkinButton::SetAlwaysShowLayeredFrame)
      .Boolean("UseSkinSize", &TkxSkinButton::SetUseSkinSize)
      .Boolean("UseSkinFontColor", &TkxSkinButton::SetUseSkinFontColor)
      .Boolean("RepeatMode", &TkxSkinButton::SetRepeatMode)
      .IntegerAtLeast("RepeatInterval", &TkxSkinButton::SetRepeatInterval, 1)
      .Boolean("AllowAllUp", &TkxSkinButton::SetAllowAllUp)
      .Boolean("CanFocused", &TkxSkinButton::SetCanFocused)
      .Boolean("Down", &TkxSkinButton::SetDown)
      .Integer("GroupIndex", &TkxSkinButton::SetGroupIndex)
      .Object("Glyph", &TkxSkinButton::Glyph)
      .Integer("NumGlyphs", [](TkxSkinButton* b, int32_t v) {
        if (v < 1 || v > 4) throw EFormValueError("NumGlyphs is 1..4");
        b->SetNumGlyphs(v);
      })
      .Integer("Margin", &TkxSkinButton::SetMargin)
      .Integer("Spacing", &TkxSkinButton::SetSpacing)
      .Enum<TkxButtonLayout>("Layout", &TkxSkinButton::SetLayout, kLayouts)
      .Boolean("Cancel", &TkxSkinButton::SetCancel)
      .Boolean("Default", &TkxSkinButton::SetDefault)
      .Integer("ModalResult", &TkxSkinButton::SetModalResult,
               {{"mrNone", mrNone}, {"mrOk", mrOk}, {"mrCancel", mrCancel}, {"mrAbort", mrAbort},
                {"mrRetry", mrRetry}, {"mrIgnore", mrIgnore}, {"mrYes", mrYes}, {"mrNo", mrNo}, {"mrAll", mrAll},
                {"mrNoToAll", mrNoToAll}, {"mrYesToAll", mrYesToAll}})
      .Event<TNotifyEvent>("OnClick", &TkxSkinButton::OnClick);
  RegisterFormClass<TkxSkinSpeedButton, TkxGraphicSkinCustomControl>("TkxSkinSpeedButton")
      .Reference<TCustomImageList>("ImageList", &TkxSkinSpeedButton::SetImageList)
      .Integer("ImageIndex", &TkxSkinSpeedButton::SetImageIndex)
      .Boolean("UseSkinSize", &TkxSkinSpeedButton::SetUseSkinSize)
      .Boolean("UseSkinFontColor", &TkxSkinSpeedButton::SetUseSkinFontColor)
      .Integer("WidthWithCaption", &TkxSkinSpeedButton::SetWidthWithCaption)
      .Integer("WidthWithoutCaption", &TkxSkinSpeedButton::SetWidthWithoutCaption)
      .Boolean("RepeatMode", &TkxSkinSpeedButton::SetRepeatMode)
      .IntegerAtLeast("RepeatInterval", &TkxSkinSpeedButton::SetRepeatInterval, 1)
      .Boolean("Transparent", &TkxSkinSpeedButton::SetTransparent)
      .Boolean("Flat", &TkxSkinSpeedButton::SetFlat)
      .Boolean("AllowAllUp", &TkxSkinSpeedButton::SetAllowAllUp)
      .Boolean("Down", &TkxSkinSpeedButton::SetDown)
      .Integer("GroupIndex", &TkxSkinSpeedButton::SetGroupIndex)
      .Boolean("ShowCaption", &TkxSkinSpeedButton::SetShowCaption)
      .Object("Glyph", &TkxSkinSpeedButton::Glyph)
      .Integer("NumGlyphs", [](TkxSkinSpeedButton* b, int32_t v) {
        if (v < 1 || v > 4) throw EFormValueError("NumGlyphs is 1..4");
        b->SetNumGlyphs(v);
      })
      .Integer("Margin", &TkxSkinSpeedButton::SetMargin)
      .Integer("Spacing", &TkxSkinSpeedButton::SetSpacing)
      .Enum<TkxButtonLayout>("Layout", &TkxSkinSpeedButton::SetLayout, kLayouts);
}
