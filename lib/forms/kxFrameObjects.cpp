// The frame objects: the base (images by state, morphing, glow), the user-drawn area, the
// frame-strip animation, the picture button and the caption buttons with their commands.
#include "lib/forms/kxFrameObjects.h"

#include <algorithm>

#include "classlib/Menus.h"
#include "lib/forms/kxVelara.h"
#include "lib/graphics/kxEffectBmp.h"
#include "lib/graphics/kxPlainLook.h"
#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxUtilsLayer.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/skin/kxSkinData.h"

namespace {

// A numbered picture of the skin; nullptr for -1 or an index beyond the list.
TBitmap* PictureAt(TkxSkinData* SD, int32_t Index) {
  if (!SD || Index < 0 || Index >= int32_t(SD->FActivePictures.size())) return nullptr;
  return SD->FActivePictures[size_t(Index)].get();
}

bool HasPicture(TBitmap* B) { return B && !B->Empty(); }

}  // namespace

// ---- the base -----------------------------------------------------------------------------------

TkxActiveSkinObject::TkxActiveSkinObject(TkxVelara* AParent, TkxDataSkinObject* AData) : Parent(AParent) {
  SD = AParent ? AParent->SkinData() : nullptr;
  if (!AData) return;
  IDName = AData->IDName;
  Hint = AData->Hint;
  SkinRectInAPicture = AData->SkinRectInAPicture;
  SkinRect = AData->SkinRect;
  ActiveSkinRect = AData->ActiveSkinRect;
  InActiveSkinRect = AData->InActiveSkinRect;
  Morphing = AData->Morphing;
  MorphKind = AData->MorphKind;
  ActivePicture = PictureAt(SD, AData->ActivePictureIndex);
  ActiveMaskPicture = PictureAt(SD, AData->ActiveMaskPictureIndex);
  // No picture, no hot image: nothing may ever be copied from a missing picture.
  if (!ActivePicture) ActiveSkinRect = TRect{};
  GlowLayerPictureIndex = AData->GlowLayerPictureIndex;
  GlowLayerMaskPictureIndex = AData->GlowLayerMaskPictureIndex;
  GlowLayerOffsetX = AData->GlowLayerOffsetX;
  GlowLayerOffsetY = AData->GlowLayerOffsetY;
  GlowLayerAlphaBlendValue = AData->GlowLayerAlphaBlendValue;
  if (Morphing && IsEmptyRect(ActiveSkinRect)) Morphing = false;
  ObjectRect = SkinRect;
  Picture = SD ? SD->FPicture.get() : nullptr;
}

TkxSkinData* TkxActiveSkinObject::UsableSkin() {
  TkxSkinData* S = Parent ? Parent->SkinData() : nullptr;
  return S && !S->Empty ? S : nullptr;
}

void TkxActiveSkinObject::CopyToObject(TCanvas* Cnvs, TBitmap* Src, const TRect& SrcRect) {
  if (!Cnvs || !HasPicture(Src) || IsEmptyRect(SrcRect)) return;
  Cnvs->CopyRect(ObjectRect, Src->Canvas(), SrcRect);
}

void TkxActiveSkinObject::SetMorphKf(double Value) {
  Value = std::clamp(Value, 0.0, 1.0);
  FMorphSteps = int32_t(Value * 5 + 0.5);
}

bool TkxActiveSkinObject::EnableMorphing() {
  TkxSkinData* S = UsableSkin();
  return Morphing && S && S->EnableSkinEffects();
}

bool TkxActiveSkinObject::CanMorphing() { return (Active && FMorphSteps < 5) || (!Active && FMorphSteps > 0); }

void TkxActiveSkinObject::DoMorphing() {
  FMorphSteps = std::clamp(FMorphSteps + (Active ? 1 : -1), 0, 5);
  Parent->DrawSkinObject(this);
}

void TkxActiveSkinObject::ReDraw() {
  if (EnableMorphing())
    Parent->EnableMorphTimer();
  else
    Parent->DrawSkinObject(this);
}

bool TkxActiveSkinObject::MorphDue() {
  return EnableMorphing() && ((Active && FMorphSteps != 5) || (!Active && FMorphSteps != 0));
}

void TkxActiveSkinObject::DrawMorph(TCanvas* Cnvs, TBitmap* NormalSrc, const TRect& NormalRect, TBitmap* HotSrc,
                                    const TRect& HotRect) {
  const int32_t W = RectWidth(ObjectRect), H = RectHeight(ObjectRect);
  if (!Cnvs || W <= 0 || H <= 0) return;
  auto B1 = NewSkinImage(W, H), B2 = NewSkinImage(W, H);
  const TRect R{0, 0, W, H};
  if (HasPicture(NormalSrc) && !IsEmptyRect(NormalRect)) B1->Canvas()->CopyRect(R, NormalSrc->Canvas(), NormalRect);
  if (HasPicture(HotSrc) && !IsEmptyRect(HotRect)) B2->Canvas()->CopyRect(R, HotSrc->Canvas(), HotRect);
  auto E1 = TkxEffectBmp::CreateFromhWnd(B1->Handle());
  auto E2 = TkxEffectBmp::CreateFromhWnd(B2->Handle());
  if (!E1 || !E2) return;
  E1->MorphBy(MorphKind, E2.get(), MorphKf());
  E1->Draw(Cnvs->Handle(), ObjectRect.left, ObjectRect.top);
}

bool TkxActiveSkinObject::PointInMask(int32_t X, int32_t Y) {
  if (!UsableSkin() || !HasPicture(ActiveMaskPicture)) return true;
  if (X < 0 || Y < 0 || X >= ActiveMaskPicture->Width() || Y >= ActiveMaskPicture->Height()) return false;
  return ColorToRGB(ActiveMaskPicture->Canvas()->Pixels(X, Y)) == 0;
}

void TkxActiveSkinObject::Draw(TCanvas* Cnvs, bool UpDate) {
  if (!UsableSkin()) return;
  if (Enabled && !Parent->GetFormActive() && !IsEmptyRect(InActiveSkinRect)) {
    CopyToObject(Cnvs, ActivePicture, InActiveSkinRect);
    return;
  }
  TBitmap* NormalSrc = SkinRectInAPicture ? ActivePicture : Picture;
  if (MorphDue()) {
    DrawMorph(Cnvs, NormalSrc, SkinRect, ActivePicture, ActiveSkinRect);
    return;
  }
  if (Active && !IsEmptyRect(ActiveSkinRect)) {
    CopyToObject(Cnvs, ActivePicture, ActiveSkinRect);
    return;
  }
  // A whole-frame paint already shows the normal image of an object drawn in the frame picture.
  if (!UpDate && !SkinRectInAPicture) return;
  CopyToObject(Cnvs, NormalSrc, SkinRect);
}

TRect TkxActiveSkinObject::ScreenRect() {
  TRect R = ObjectRect;
  // MDI children take their client origin here once MDI support comes.
  if (TCustomForm* F = Parent->Form()) win::OffsetRect(&R, F->Left(), F->Top());
  return R;
}

void TkxActiveSkinObject::ShowLayerOn(TkxLayerManager* Manager) {
  TkxSkinData* S = UsableSkin();
  if (!Manager || !S || GlowLayerPictureIndex == -1 || !IsWin2000OrLater() || !S->ShowCaptionButtonGlowFrames()) return;
  TBitmap* Image = PictureAt(SD, GlowLayerPictureIndex);
  TBitmap* Mask = PictureAt(SD, GlowLayerMaskPictureIndex);
  if (!HasPicture(Image)) return;
  const TRect R = ScreenRect();
  Manager->Show(R.left - GlowLayerOffsetX, R.top - GlowLayerOffsetY, Image, Mask, GlowLayerAlphaBlendValue);
}

void TkxActiveSkinObject::HideLayerOn(TkxLayerManager* Manager) {
  TkxSkinData* S = UsableSkin();
  if (!Manager || !S || GlowLayerPictureIndex == -1 || !IsWin2000OrLater() || !S->ShowCaptionButtonGlowFrames()) return;
  Manager->Hide();
}

void TkxActiveSkinObject::ShowLayer() { ShowLayerOn(Parent->FLayerManager); }
void TkxActiveSkinObject::HideLayer() { HideLayerOn(Parent->FLayerManager); }

void TkxActiveSkinObject::MouseDown(int32_t X, int32_t Y, TMouseButton Button) {
  Parent->DoObjectMouseDown(IDName, X, Y, ObjectRect, Button);
}

void TkxActiveSkinObject::MouseUp(int32_t X, int32_t Y, TMouseButton Button) {
  if (FMouseIn) Parent->DoObjectMouseUp(IDName, X, Y, ObjectRect, Button);
}

void TkxActiveSkinObject::MouseMove(int32_t X, int32_t Y) { Parent->DoObjectMouseMove(IDName, X, Y, ObjectRect); }

void TkxActiveSkinObject::MouseEnter() {
  FMouseIn = true;
  Active = true;
  if (!IsEmptyRect(ActiveSkinRect)) ReDraw();
  Parent->DoObjectMouseEnter(IDName);
  ShowLayer();
}

void TkxActiveSkinObject::MouseLeave() {
  FMouseIn = false;
  Active = false;
  if (!IsEmptyRect(ActiveSkinRect)) ReDraw();
  Parent->DoObjectMouseLeave(IDName);
  HideLayer();
}

// ---- the user-drawn area ----------------------------------------------------------------------

void TkxUserObject::Draw(TCanvas* Cnvs, bool) { Parent->DoObjectPaint(IDName, Cnvs, ObjectRect); }

// ---- the picture button -------------------------------------------------------------------------

TkxSkinButtonObject::TkxSkinButtonObject(TkxVelara* AParent, TkxDataSkinObject* AData)
    : TkxActiveSkinObject(AParent, AData) {
  if (auto* R = dynamic_cast<TkxDataSkinButton*>(AData)) {
    DownRect = R->DownRect;
    DisableSkinRect = R->DisableSkinRect;
  }
}

static TkxLayerManager* MenuAwareManager(TkxVelara* Parent, TMenuItem* MenuItem) {
  return MenuItem ? Parent->FMenuLayerManager : Parent->FLayerManager;
}

void TkxSkinButtonObject::ShowLayer() { ShowLayerOn(MenuAwareManager(Parent, MenuItem)); }
void TkxSkinButtonObject::HideLayer() { HideLayerOn(MenuAwareManager(Parent, MenuItem)); }

bool TkxSkinButtonObject::CanMorphing() {
  if (MenuItem && FDown) return false;
  return TkxActiveSkinObject::CanMorphing();
}

void TkxSkinButtonObject::Draw(TCanvas* Cnvs, bool UpDate) {
  if (!UsableSkin()) return;
  if (!Enabled && !IsEmptyRect(DisableSkinRect))
    CopyToObject(Cnvs, ActivePicture, DisableSkinRect);
  else if (FDown && FMouseIn && !IsEmptyRect(DownRect))
    CopyToObject(Cnvs, ActivePicture, DownRect);
  else
    TkxActiveSkinObject::Draw(Cnvs, UpDate);
}

void TkxSkinButtonObject::SetDown(bool Value) {
  FDown = Value;
  // The pressed look comes at once, without a fade.
  if (EnableMorphing() && Active) SetMorphKf(1);
  Parent->DrawSkinObject(this);
  if (EnableMorphing() && !FDown) ReDraw();
}

void TkxSkinButtonObject::MouseDown(int32_t X, int32_t Y, TMouseButton Button) {
  if (!Enabled) return;
  if (Button == mbLeft && !FDown) {
    SetDown(true);
    TrackMenu();
  }
  TkxActiveSkinObject::MouseDown(X, Y, Button);
}

void TkxSkinButtonObject::MouseUp(int32_t X, int32_t Y, TMouseButton Button) {
  if (!Enabled) return;
  if (Button == mbLeft && !MenuItem && FDown) SetDown(false);
  TkxActiveSkinObject::MouseUp(X, Y, Button);
}

void TkxSkinButtonObject::MouseEnter() {
  FMouseIn = true;
  Active = true;
  if (IsEmptyRect(DownRect) || !FDown) {
    if (!IsEmptyRect(ActiveSkinRect)) ReDraw();
    if (MenuItem) ShowLayer();
  } else {
    if (EnableMorphing()) SetMorphKf(1);
    Parent->DrawSkinObject(this);
  }
  Parent->DoObjectMouseEnter(IDName);
  if (!MenuItem) ShowLayer();
}

void TkxSkinButtonObject::MouseLeave() {
  FMouseIn = false;
  Active = false;
  // A menu button that is down keeps its pressed look and its glow while its menu is open.
  if (!MenuItem || !FDown) {
    if (MenuItem) HideLayer();
    Parent->DrawSkinObject(this);
    ReDraw();
  }
  Parent->DoObjectMouseLeave(IDName);
  if (!MenuItem) HideLayer();
}

void TkxSkinButtonObject::TrackMenu() {
  if (!MenuItem || MenuItem->Count() == 0) return;
  if (Parent->FLayerManager && Parent->FLayerManager->IsVisible) Parent->FLayerManager->Hide();
  if (Parent->FMenuLayerManager && Parent->FMenuLayerManager->IsVisible) Parent->FMenuLayerManager->Hide();
  if (FMouseIn) ShowLayer();
  Parent->PopupObjectMenu(MenuItem, ScreenRect(), FPopupUp);
}

// ---- the caption buttons ------------------------------------------------------------------------

TkxSkinStdButtonObject::TkxSkinStdButtonObject(TkxVelara* AParent, TkxDataSkinObject* AData)
    : TkxSkinButtonObject(AParent, AData) {
  auto* R = dynamic_cast<TkxDataSkinStdButton*>(AData);
  FSkinSupport = R != nullptr;
  if (!R) return;
  Command = R->Command;
  RestoreRect = R->RestoreRect;
  RestoreActiveRect = R->RestoreActiveRect;
  RestoreInActiveRect = R->RestoreInActiveRect;
  RestoreDownRect = R->RestoreDownRect;
  RestoreHint = R->RestoreHint;
  FTempHint = R->Hint;
}

bool TkxSkinStdButtonObject::IsIconButton() {
  return Command == cmSysMenu && Parent->ShowIcon() && SkinRectInAPicture && FSkinSupport;
}

bool TkxSkinStdButtonObject::InRestoreState() {
  return (Command == cmMaximize && Parent->WindowState() == wsMaximized) ||
         (Command == cmMinimize && Parent->WindowState() == wsMinimized) ||
         (Command == cmRollUp && Parent->RollUpState());
}

bool TkxSkinStdButtonObject::PointInMask(int32_t X, int32_t Y) {
  if (IsIconButton()) return true;
  return TkxSkinButtonObject::PointInMask(X, Y);
}

void TkxSkinStdButtonObject::ShowLayer() {
  if (!IsIconButton()) TkxSkinButtonObject::ShowLayer();
}

void TkxSkinStdButtonObject::HideLayer() {
  if (!IsIconButton()) TkxSkinButtonObject::HideLayer();
}

bool TkxSkinStdButtonObject::CanMorphing() { return !IsIconButton() && TkxSkinButtonObject::CanMorphing(); }

void TkxSkinStdButtonObject::Draw(TCanvas* Cnvs, bool UpDate) {
  if (!FSkinSupport) {
    DefaultDraw(Cnvs);
    return;
  }
  if (!UsableSkin()) return;
  if (IsIconButton()) {
    Parent->DrawFormIcon(Cnvs, ObjectRect.left, ObjectRect.top);
    FMorphSteps = 0;
    return;
  }
  const bool Restore = InRestoreState();
  if (!Enabled || (!Parent->GetFormActive() && !IsEmptyRect(InActiveSkinRect) && !Restore) ||
      IsEmptyRect(RestoreRect) || !Restore) {
    TkxSkinButtonObject::Draw(Cnvs, UpDate);
    return;
  }
  if (!Parent->FFormActive && !IsEmptyRect(RestoreInActiveRect))
    CopyToObject(Cnvs, ActivePicture, RestoreInActiveRect);
  else if (FDown && FMouseIn && !IsEmptyRect(RestoreDownRect))
    CopyToObject(Cnvs, ActivePicture, RestoreDownRect);
  else if (MorphDue())
    DrawMorph(Cnvs, ActivePicture, RestoreRect, ActivePicture, RestoreActiveRect);
  else if (Active && !IsEmptyRect(RestoreActiveRect))
    CopyToObject(Cnvs, ActivePicture, RestoreActiveRect);
  else
    CopyToObject(Cnvs, ActivePicture, RestoreRect);
}

void TkxSkinStdButtonObject::DefaultDraw(TCanvas* Cnvs) {
  if (!Cnvs) return;
  if (Command == cmSysMenu && Parent->ShowIcon()) {
    Parent->DrawFormIcon(Cnvs, ObjectRect.left, ObjectRect.top);
    return;
  }
  const int32_t W = RectWidth(ObjectRect), H = RectHeight(ObjectRect);
  if (W <= 0 || H <= 0) return;
  auto B = NewSkinImage(W, H);
  TCanvas* C = B->Canvas();
  const bool Pressed = FDown && FMouseIn;
  TRect R{0, 0, W, H};
  if (Pressed || FMouseIn) {
    Frame3D(C, R, kxPlain.HotFrame, kxPlain.HotFrame, 1);
    PlainFill(C, R, Pressed ? kxPlain.DownFace : kxPlain.HotFace);
  } else {
    PlainFill(C, R, kxPlain.Face);
  }
  const int32_t X = W / 2 - 5 + (Pressed ? 1 : 0), Y = H / 2 - 4 + (Pressed ? 1 : 0);
  const TColor G = Enabled ? kxPlain.Text : kxPlain.DisabledText;
  switch (Command) {
    case cmClose: DrawCloseGlyph(C, X, Y, G); break;
    case cmMaximize:
      if (Parent->WindowState() == wsMaximized)
        DrawRestoreGlyph(C, X, Y, G);
      else
        DrawMaximizeGlyph(C, X, Y, G);
      break;
    case cmMinimize:
      if (Parent->WindowState() == wsMinimized)
        DrawRestoreGlyph(C, X, Y, G);
      else
        DrawMinimizeGlyph(C, X, Y, G);
      break;
    case cmSysMenu: DrawSysMenuGlyph(C, X, Y, G); break;
    case cmRollUp:
      if (Parent->RollUpState())
        DrawRollDownGlyph(C, X, Y, G);
      else
        DrawRollUpGlyph(C, X, Y, G);
      break;
    case cmMinimizeToTray: DrawTrayGlyph(C, X, Y, G); break;
    case cmDefault: break;
  }
  Cnvs->Draw(ObjectRect.left, ObjectRect.top, B.get());
}

void TkxSkinStdButtonObject::DoCommand() {
  // The system menu drops on the press; a custom button has no command of its own.
  if (Command == cmSysMenu || Command == cmDefault) return;
  Parent->DoStdCommand(Command);
}

void TkxSkinStdButtonObject::MouseDown(int32_t, int32_t, TMouseButton Button) {
  if (!Enabled || Button != mbLeft || FDown) return;
  SetDown(true);
  // The system menu's items come with the skinned menus; the form opens it under the button.
  if (Command == cmSysMenu) Parent->ShowSystemMenuUnder();
}

void TkxSkinStdButtonObject::MouseUp(int32_t X, int32_t Y, TMouseButton Button) {
  // Closing frees the form: the button finishes its own release first. Every other command
  // changes the form's state before the button comes up, so it draws in the new state.
  if (Command == cmClose) {
    TkxSkinButtonObject::MouseUp(X, Y, Button);
    if (Active && Button == mbLeft) DoCommand();
  } else {
    if (Active && Button == mbLeft) DoCommand();
    TkxSkinButtonObject::MouseUp(X, Y, Button);
  }
}

void TkxSkinStdButtonObject::DblClick() {
  if (Command == cmSysMenu && Parent->Form()) Parent->Form()->Close();
}

void TkxSkinStdButtonObject::MouseEnter() {
  if (Command != cmDefault) Hint = !RestoreHint.empty() && InRestoreState() ? RestoreHint : FTempHint;
  TkxSkinButtonObject::MouseEnter();
}

// ---- the frame-strip animation ------------------------------------------------------------------

TkxSkinAnimateObject::TkxSkinAnimateObject(TkxVelara* AParent, TkxDataSkinObject* AData)
    : TkxActiveSkinObject(AParent, AData) {
  FInc = 25;
  auto* R = dynamic_cast<TkxDataSkinAnimate*>(AData);
  if (!R) return;
  TimerInterval = std::max(25, R->TimerInterval);
  CountFrames = R->CountFrames;
  Cycle = R->Cycle;
  ButtonStyle = R->ButtonStyle;
  Command = R->Command;
  DownSkinRect = R->DownSkinRect;
  RestoreRect = R->RestoreRect;
  RestoreActiveRect = R->RestoreActiveRect;
  RestoreInActiveRect = R->RestoreInActiveRect;
  RestoreDownRect = R->RestoreDownRect;
  RestoreHint = R->RestoreHint;
  FTempHint = R->Hint;
}

bool TkxSkinAnimateObject::InRestoreState() {
  if (IsEmptyRect(RestoreRect)) return false;
  return (Command == cmMaximize && Parent->WindowState() == wsMaximized) ||
         (Command == cmMinimize && Parent->WindowState() == wsMinimized) ||
         (Command == cmRollUp && Parent->RollUpState());
}

void TkxSkinAnimateObject::ShowLayer() { ShowLayerOn(MenuAwareManager(Parent, MenuItem)); }
void TkxSkinAnimateObject::HideLayer() { HideLayerOn(MenuAwareManager(Parent, MenuItem)); }

void TkxSkinAnimateObject::SetFrame(int32_t Value) {
  if (Increment) {
    if (Value > CountFrames) Value = 1;
  } else if (Value < 1) {
    Value = CountFrames;
  }
  FFrame = Value;
  Parent->DrawSkinObject(this);
}

void TkxSkinAnimateObject::Start() {
  FInc = 25;
  FFrame = 1;
  Active = true;
  Parent->EnableAnimateTimer();
}

void TkxSkinAnimateObject::Stop() {
  SetFrame(1);
  Active = false;
  FInc = 25;
}

void TkxSkinAnimateObject::ChangeFrame() {
  if (FInc < TimerInterval) {
    FInc += 25;
    return;
  }
  if (Increment) {
    SetFrame(FFrame + 1);
    if (!Cycle && FFrame == CountFrames) Active = false;
  } else {
    SetFrame(FFrame - 1);
    if (FFrame == 1) Active = false;
  }
  FInc = 25;
}

void TkxSkinAnimateObject::Draw(TCanvas* Cnvs, bool) {
  if (!UsableSkin()) return;
  const bool Restore = InRestoreState();
  const TRect Normal = Restore ? RestoreRect : SkinRect;
  const TRect Strip = Restore ? RestoreActiveRect : ActiveSkinRect;
  const TRect DownImage = Restore ? RestoreDownRect : DownSkinRect;
  const TRect InActiveImage = Restore ? RestoreInActiveRect : InActiveSkinRect;
  const int32_t W = RectWidth(Normal), H = RectHeight(Normal);
  auto FrameRect = [&](int32_t N) {
    return TRect{Strip.left + (N - 1) * W, Strip.top, Strip.left + N * W, Strip.top + H};
  };
  if (FMenuTracking) {
    if (!IsEmptyRect(DownImage)) {
      CopyToObject(Cnvs, ActivePicture, DownImage);
    } else {
      FFrame = CountFrames;
      CopyToObject(Cnvs, ActivePicture, FrameRect(FFrame));
    }
  } else if (!Parent->GetFormActive() && !IsEmptyRect(InActiveImage)) {
    CopyToObject(Cnvs, ActivePicture, InActiveImage);
  } else if (FDown && FMouseIn && !IsEmptyRect(DownImage)) {
    CopyToObject(Cnvs, ActivePicture, DownImage);
  } else if (!IsEmptyRect(Strip)) {
    CopyToObject(Cnvs, ActivePicture, FrameRect(FFrame));
  }
}

void TkxSkinAnimateObject::MouseEnter() {
  if (Command != cmDefault) Hint = !RestoreHint.empty() && InRestoreState() ? RestoreHint : FTempHint;
  FMouseIn = true;
  if (FMenuTracking) return;
  if (ButtonStyle) {
    Active = true;
    Increment = true;
    if (FDown && !IsEmptyRect(DownSkinRect))
      Parent->DrawSkinObject(this);
    else
      Parent->EnableAnimateTimer();
  }
  Parent->DoObjectMouseEnter(IDName);
  ShowLayer();
}

void TkxSkinAnimateObject::MouseLeave() {
  if (!FMouseIn) return;
  FMouseIn = false;
  if (FMenuTracking) return;
  if (ButtonStyle) {
    // The strip runs back to its first frame.
    Active = true;
    Increment = false;
    if (FDown && !IsEmptyRect(DownSkinRect))
      Parent->DrawSkinObject(this);
    else
      Parent->EnableAnimateTimer();
  }
  Parent->DoObjectMouseLeave(IDName);
  HideLayer();
}

void TkxSkinAnimateObject::MouseDown(int32_t X, int32_t Y, TMouseButton Button) {
  TkxActiveSkinObject::MouseDown(X, Y, Button);
  if (Button == mbLeft && !IsEmptyRect(DownSkinRect)) {
    FFrame = CountFrames;
    FDown = true;
    Parent->DrawSkinObject(this);
  }
  if (Command == cmSysMenu && FMouseIn && ButtonStyle && Button == mbLeft) DoCommand();
}

void TkxSkinAnimateObject::MouseUp(int32_t X, int32_t Y, TMouseButton Button) {
  TkxActiveSkinObject::MouseUp(X, Y, Button);
  if (FMenuTracking) return;
  if (Button == mbLeft && !IsEmptyRect(DownSkinRect)) {
    FDown = false;
    Parent->DrawSkinObject(this);
    Parent->EnableAnimateTimer();
  }
  if (Command != cmSysMenu && FMouseIn && ButtonStyle && Button == mbLeft) DoCommand();
}

void TkxSkinAnimateObject::DblClick() {
  if (Command == cmSysMenu && Parent->Form()) Parent->Form()->Close();
}

void TkxSkinAnimateObject::DoCommand() {
  switch (Command) {
    case cmSysMenu:
      // The system menu's items come with the skinned menus; the form opens it under the strip.
      // With no menu of its own to track, the strip keeps its hover state.
      Parent->ShowSystemMenuUnder();
      break;
    case cmDefault:
      if (MenuItem) TrackMenu();
      break;
    default: Parent->DoStdCommand(Command); break;
  }
}

void TkxSkinAnimateObject::TrackMenu() {
  if (!MenuItem || MenuItem->Count() == 0) return;
  if (Parent->FLayerManager && Parent->FLayerManager->IsVisible) Parent->FLayerManager->Hide();
  if (Parent->FMenuLayerManager && Parent->FMenuLayerManager->IsVisible) Parent->FMenuLayerManager->Hide();
  if (FMouseIn) ShowLayer();
  FMenuTracking = true;
  Parent->PopupObjectMenu(MenuItem, ScreenRect(), FPopupUp);
}
