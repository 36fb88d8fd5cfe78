// The skinned form's layered parts: the layered outer border kept in step with the form, the
// fade-in through the form window's constant alpha (on timer 1), and the cover of the client
// area while the form is inactive.
#include <algorithm>

#include "base/Clock.h"
#include "classlib/Forms.h"
#include "lib/forms/kxClientInActivePanel.h"
#include "lib/forms/kxFormLayerBorder.h"
#include "lib/forms/kxVelara.h"
#include "lib/graphics/kxUtilsLayer.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinRecords.h"

using namespace win;

namespace {

constexpr UINT_PTR kFadeTimer = 1;
// A fade step after more than this many milliseconds.
constexpr uint32_t kFadeGap = 5;
// The tray icon's mark on a main form it showed or hid: such a form counts as shown here.
constexpr intptr_t kTrayShownTag = -10000;

void SetLayered(HWND h, bool On) {
  const LONG_PTR ex = GetWindowLongPtr(h, GWL_EXSTYLE);
  if (On && !(ex & WS_EX_LAYERED)) SetWindowLongPtr(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  if (!On && (ex & WS_EX_LAYERED)) SetWindowLongPtr(h, GWL_EXSTYLE, ex & ~LONG_PTR(WS_EX_LAYERED));
}

}  // namespace

TkxFormLayerBorder* TkxVelara::BorderLayer() {
  if (!FBorderLayer) FBorderLayer = new TkxFormLayerBorder(this);
  return FBorderLayer;
}

bool TkxVelara::LayeredFrameActive() const {
  return FSD && !FSD->Empty && FSD->ShowLayeredBorders() && FSD->LayerFrame && FSD->LayerFrame->PictureIndex != -1 &&
         FIsLayerEnabled && FSkinnableForm && !PreviewMode && FForm && FForm->BorderStyle() != bsNone &&
         FForm->FormStyle() != fsMDIChild && !FSmartEffectsShow;
}

bool TkxVelara::HideUntilBorderShown() const {
  const bool all = FSD && FSD->AnimationForAllWindows();
  return FIsVistaOs && LayeredFrameActive() && !FAlphaBlend && !AlphaBlendAnimation && !all;
}

bool TkxVelara::ShownForBorder() const { return FForm && (FForm->Visible() || FForm->Tag() == kTrayShownTag); }

void TkxVelara::LayeredBorderBand(int32_t& L, int32_t& T, int32_t& R, int32_t& B) {
  L = T = R = B = 0;
  if (!LayeredFrameActive() || !FBorderLayer || !FBorderLayer->Visible() || FBorderLayer->BorderRectEmpty()) return;
  L = FBorderLayer->LeftSize;
  T = FBorderLayer->TopSize;
  R = FBorderLayer->RightSize;
  B = FBorderLayer->BottomSize;
}

// ---- showing and the fade-in ----------------------------------------------------------------------

bool TkxVelara::FadeWanted() const {
  const bool all = FSD && FSD->AnimationForAllWindows();
  return FIsLayerEnabled && (FAlphaBlend || AlphaBlendAnimation || all);
}

void TkxVelara::StartFadeIn() {
  HWND h = FForm->Handle();
  SetLayered(h, true);
  SetLayeredWindowAlpha(h, 0);
  if (LayeredFrameActive() && ShownForBorder()) {
    BorderLayer()->CheckFormAlpha(0, false);
    FBorderLayer->ShowWithForm();
  }
  FFading = false;
  SetTimer(h, kFadeTimer, 1, nullptr);
}

void TkxVelara::PlaceOnFirstShow() {
  if (!FStartShow) return;
  if (PositionInMonitor == kxpDefault) {
    FStartShow = false;
  } else if (FWindowState == wsNormal) {
    FStartShow = false;
    ApplyPositionInMonitor();
  }
}

void TkxVelara::ShowFadeIn() {
  PlaceOnFirstShow();
  if (FSD && FSD->AnimationForAllWindows() && FAlphaBlendValue == 0) SetAlphaBlendValue(255);
  if (FadeWanted() || HideUntilBorderShown())
    StartFadeIn();
  else
    // Hidden with its border, the form was put in the layer without content; shown without a
    // fade, nothing would ever give it some, and it would stay off the screen.
    SetLayered(FForm->Handle(), false);
  RefreshFormSize();
  // The skinned menu bar stands in for the form's own menu.
  if (FForm->Menu()) FForm->SetMenu(nullptr);
}

void TkxVelara::FadeTimer() {
  HWND h = FForm->Handle();
  if (FFading) {
    FadeStepTick();
    return;
  }
  if (HideUntilBorderShown()) {
    KillTimer(h, kFadeTimer);
    SetLayered(h, false);
    if (ShownForBorder()) {
      BorderLayer()->SetActive(FForm->Active(), false);
      FBorderLayer->CheckFormAlpha(255, true);
    }
    return;
  }
  if (!FadeWanted()) {
    // Nothing left to fade (the switches went off meanwhile): the timer has no more work.
    KillTimer(h, kFadeTimer);
    return;
  }
  const bool all = FSD && FSD->AnimationForAllWindows();
  const bool animate = AlphaBlendAnimation || all;
  const bool border = LayeredFrameActive();
  if (border) BorderLayer()->SetActive(FForm->Active(), false);
  const int32_t target = animate && !FAlphaBlend ? 255 : FAlphaBlendValue;
  if (animate) {
    // The steps of the fade, each when more than kFadeGap ms have passed, on the running timer
    // rather than in a loop that holds the thread.
    FFading = true;
    FFadeTarget = target;
    FFadeStep = std::max(1, target / 15);
    FFadeAlpha = 0;
    FFadeLast = 0;
    FadeStepTick();
    return;
  }
  KillTimer(h, kFadeTimer);
  if (target != 255) {
    SetLayeredWindowAlpha(h, FAlphaBlendValue);
    if (border) FBorderLayer->CheckFormAlpha(FAlphaBlendValue, true);
  } else {
    SetLayered(h, false);
    if (border) FBorderLayer->CheckFormAlpha(255, true);
  }
}

void TkxVelara::FadeStepTick() {
  HWND h = FForm->Handle();
  const uint32_t now = GetTickCount();
  if (now - FFadeLast > kFadeGap) {
    FFadeLast = now;
    FFadeAlpha = std::min(FFadeAlpha + FFadeStep, FFadeTarget);
    SetLayeredWindowAlpha(h, uint8_t(FFadeAlpha));
    if (LayeredFrameActive() && FBorderLayer) FBorderLayer->CheckFormAlpha(FFadeAlpha, true);
  }
  if (FFadeAlpha < FFadeTarget) return;
  KillTimer(h, kFadeTimer);
  FFading = false;
  // An opaque end needs no layer: it goes after the animated fade as well as without one.
  if (FFadeTarget == 255) SetLayered(h, false);
}

// ---- the border's rows of the window hook -------------------------------------------------------

void TkxVelara::LayersBeforeHide() {
  if (FIsVistaOs && FBorderLayer && FBorderLayer->Visible()) SetLayered(FForm->Handle(), true);
}

void TkxVelara::LayersAfterShowWindow(bool Shown) {
  if (!LayeredFrameActive()) return;
  if (!Shown) {
    if (FBorderLayer) FBorderLayer->Hide();
    return;
  }
  const bool all = FSD && FSD->AnimationForAllWindows();
  if (!FIsLayerEnabled || AlphaBlendAnimation || FAlphaBlend || HideUntilBorderShown() || all || !ShownForBorder())
    return;
  if (Application) Application->ProcessMessages();
  BorderLayer()->SetActive(true, false);
  FBorderLayer->ShowWithForm();
}

void TkxVelara::LayersPosChanged(const WINDOWPOS& WP) {
  if ((WP.flags & SWP_HIDEWINDOW) && FIsVistaOs && FBorderLayer && FBorderLayer->Visible())
    SetLayered(FForm->Handle(), true);
  if (!LayeredFrameActive() || !FBorderLayer) return;
  if (FSizing) {
    if (FForm->Top() != FFormTop || FForm->Left() != FFormLeft)
      FBorderLayer->SetBoundsWithForm3(FFormLeft, FFormTop, FFormWidth, FFormHeight);
  } else if (!FBorderLayerChangeSize) {
    FBorderLayer->MoveWithForm2(FFormLeft, FFormTop);
  }
}

void TkxVelara::LayersSize() {
  if (!LayeredFrameActive() || !FBorderLayer) return;
  if (FBorderLayerChangeSize)
    FBorderLayer->SetBoundsWithForm3(FFormLeft, FFormTop, FFormWidth, FFormHeight);
  else
    FBorderLayer->SetBoundsWithForm();
}

void TkxVelara::LayersSizing(const RECT& R) {
  if (LayeredFrameActive() && FBorderLayer && FFormTop == FOldFormTop && FFormLeft == FOldFormLeft)
    FBorderLayer->SetBoundsWithForm3(R.left, R.top, FFormWidth, FFormHeight);
}

void TkxVelara::LayersExitSizeMove() {
  if (LayeredFrameActive() && FBorderLayer) FBorderLayer->SetBoundsWithForm();
}

void TkxVelara::LayersActivated() {
  if (!LayeredFrameActive()) return;
  if (FForm->Visible())
    BorderLayer()->SetActive(FFormActive, true);
  else if (FForm->Tag() != kTrayShownTag && FBorderLayer)
    FBorderLayer->Hide();
}

void TkxVelara::LayersApplySkin(bool Before) {
  if (Before) {
    if (FBorderLayer && FBorderLayer->Visible()) FBorderLayer->Hide();
    return;
  }
  BorderLayer()->InitFrame(FSD, FForm);
  if (LayeredFrameActive() && FForm->Visible()) {
    FBorderLayer->ShowWithForm();
    FForm->Show();
    FBorderLayer->SetBoundsWithForm();
  }
}

void TkxVelara::LayersTakeBounds(const TRect& R) {
  if (FBorderLayer && FBorderLayer->Visible())
    FBorderLayer->SetBoundsWithForm3(R.left, R.top, R.right - R.left, R.bottom - R.top);
}

void TkxVelara::LayersShowMainForm() {
  if (!LayeredFrameActive()) return;
  if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
    SetForegroundWindow(Application->MainForm()->Handle());
  // Then the first visible stay-on-top form, so that it stays above the main form.
  for (int32_t i = 0; Screen && i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (f && f->Visible() && f->FormStyle() == fsStayOnTop && f->HandleAllocated()) {
      SetForegroundWindow(f->Handle());
      break;
    }
  }
}

void TkxVelara::LayersBordersChanged() {
  if (LayeredFrameActive()) {
    if (FForm->Visible() && !(FBorderLayer && FBorderLayer->Visible())) {
      BorderLayer()->InitFrame(FSD, FForm);
      FBorderLayer->SetActive(FFormActive, false);
      FBorderLayer->ShowWithForm();
      FForm->Show();
    }
  } else if (FBorderLayer && FBorderLayer->Visible()) {
    FBorderLayer->Hide();
  }
}

void TkxVelara::LayersSmartEffectsEnd() {
  FSmartEffectsShow = false;
  if (!ShownForBorder() || !LayeredFrameActive()) return;
  if (Application) Application->ProcessMessages();
  BorderLayer()->SetActive(true, false);
  FBorderLayer->ShowWithFormAnimation();
}

// ---- the client-inactive cover --------------------------------------------------------------------

void TkxVelara::ShowClientInActiveEffect() {
  if (FInActivePanel) HideClientInActiveEffect();
  FInActivePanel = new TkxClientInActivePanel(this);
  FClientInActiveDraw = true;
  FInActivePanel->ShowPanel(FForm, ClientInActiveEffectType);
  FClientInActiveDraw = false;
}

void TkxVelara::HideClientInActiveEffect() {
  if (!FInActivePanel) return;
  FInActivePanel->HidePanel();
  delete FInActivePanel;
  FInActivePanel = nullptr;
}
