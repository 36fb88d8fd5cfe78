// The form's window procedure while the component hooks it: each message first meets the rows
// that act before the procedure the component replaced (some keep the message from it), then that
// procedure, then the rows that act after it. Multiple-document forms are not built: their
// branches are absent. The layered border's rows and the fade-in are in kxVelaraLayers.cpp.
#include <algorithm>

#include "base/Clock.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Menus.h"
#include "lib/controls/kxSkinCtrls.h"
#include "lib/forms/kxFrameObjects.h"
#include "lib/forms/kxSkinMainMenu.h"
#include "lib/forms/kxSkinMenus.h"
#include "lib/forms/kxVelara.h"
#include "lib/graphics/kxUtilsLayer.h"
#include "lib/skin/kxSkinData.h"

using namespace win;

namespace {

constexpr UINT_PTR kFadeTimer = 1;
// Answers of the outside interface.
constexpr LRESULT kPaintedNC = 12851, kNotSkinnable = 12852, kSkinnable = 12853;
// The tray icon's mark on a main form it showed.
constexpr intptr_t kTrayShownTag = -10000;

TPoint PointOf(LPARAM L) { return TPoint{GET_X_LPARAM(L), GET_Y_LPARAM(L)}; }

}  // namespace


void TkxVelara::WMSize(TMessage& Message, const TWndMethod& Old) {
  if (!FBorderLayerChangeSize) {
    Old(Message);
    FFormWidth = FForm->Width();
    FFormHeight = FForm->Height();
  }
  HMagnetized = HMagnetized2 = VMagnetized = VMagnetized2 = false;
  if (!FSkinSupport && FSkinnableForm) {
    UpdateWindowRegion(true);
    RepaintFrame();
  } else if (FSkinSupport && FSD && FSkinnableForm && FFormWidth >= GetMinWidth() && FFormHeight >= GetMinHeight()) {
    LayersSize();
    UpdateFrame(true);
  }
  if (FBorderLayerChangeSize) Old(Message);
  if (FAlphaBlend && FAlphaBlendValue != 255 && FIsLayerEnabled) {
    RepaintFrame();
    FForm->Invalidate();
  }
  if (!FLogoBitMap->Empty()) FForm->Invalidate();
}

void TkxVelara::WMSizing(TMessage& Message, const TWndMethod& Old) {
  FSizing = true;
  FBorderLayerChangeSize = false;
  HMagnetized = HMagnetized2 = VMagnetized = VMagnetized2 = false;
  Old(Message);
  const auto* r = reinterpret_cast<const RECT*>(Message.LParam);
  if (!r) return;
  FFormWidth = r->right - r->left;
  FFormHeight = r->bottom - r->top;
  if (!FSD || (FSD->Empty && FSkinnableForm)) {
    UpdateWindowRegion(true);
  } else if (FSkinnableForm && FForm->Width() >= GetMinWidth() && FForm->Height() >= GetMinHeight() &&
             (FForm->Width() != FFormWidth || FForm->Height() != FFormHeight)) {
    LayersSizing(*r);
    FOldFormTop = FFormTop;
    FOldFormLeft = FFormLeft;
    UpdateFrame(true);
  }
}

void TkxVelara::WMNCActivate(TMessage& Message) {
  FBorderLayerChangeSize = false;
  if (FLayerManager && FLayerManager->IsVisible) FLayerManager->Hide();
  if (FMenuLayerManager && FMenuLayerManager->IsVisible) FMenuLayerManager->Hide();
  FFormActive = Message.WParam != 0;
  if (!FFormActive) UpdateActiveObject(-1, -1, false);
  Message.Result = 1;
  if (FForm->BorderStyle() != bsNone) {
    RepaintFrame();
    UpdateCaptionActive(true);
  } else {
    UpdateCaptionActive(false);
  }
  if (FForm->Visible() && ClientInActiveEffect) {
    if (FFormActive)
      HideClientInActiveEffect();
    else
      ShowClientInActiveEffect();
  }
  LayersActivated();
}

void TkxVelara::WMNCCalcSize(TMessage& Message) {
  if (FForm->BorderStyle() == bsNone) return;
  auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
  if (!p) return;
  RECT& r = p->rgrc[0];
  if (FSD && !FSD->Empty && FSD->FPicture && !FSD->FPicture->Empty()) {
    CalcSkinRects();
    const TRect& cl = FSD->ClRect;
    r.left += cl.left;
    r.top += cl.top;
    r.right -= FSD->FPicture->Width() - cl.right;
    r.bottom -= FSD->FPicture->Height() - cl.bottom;
  } else {
    r.left += 3;
    r.top += DefaultCaptionHeight() + 3;
    r.right -= 3;
    r.bottom -= 3;
  }
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
}

void TkxVelara::PaintFrameTo(HDC DC) {
  if (FSkinSupport)
    PaintNCSkin(DC, true);
  else
    PaintNCDefault(DC, true);
}

void TkxVelara::CaptionDblClick() {
  const bool sizeable = IsSizeable();
  if (sizeable && FWindowState == wsMinimized)
    SetWindowState(wsNormal);
  else if (sizeable && FWindowState != wsMaximized && !FRollUpState && FBorderIcons.Contains(TkxBorderIcon::biMaximize))
    SetWindowState(wsMaximized);
  else if (sizeable && FWindowState == wsMaximized && !MaxRollUpState)
    SetWindowState(wsNormal);
  else
    SetRollUpState(!FRollUpState);
}

// Answers whether the replaced procedure still runs.
bool TkxVelara::BeforeOld(TMessage& M, const TWndMethod& Old) {
  const bool skinnable = FSkinnableForm;
  switch (M.Msg) {
    case WM_DESTROY:
      for (TTimer* t : {MouseTimer, MorphTimer, AnimateTimer})
        if (t) t->SetEnabled(false);
      FRgn = nullptr;  // the region goes with the handle
      return true;
    case WM_SIZE:
      if (FSizeMove && FFullDrag) {
        if (!FLogoBitMap->Empty()) FForm->Invalidate();
        return true;
      }
      WMSize(M, Old);
      return false;
    case WM_ACTIVATE:
      if (!skinnable) return true;
      Old(M);
      RepaintFrame();
      ResetObjectStates();
      UpdateCaptionActive(true);
      return false;
    case WM_SETTEXT:
      if (!skinnable) return true;
      Old(M);
      if (FForm->BorderStyle() != bsNone) RepaintFrame();
      return false;
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(M.WParam);
      if (!FSkinSupport)
        PaintBGDefault(dc);
      else if (FUseRibbon && FSD->MDIBGPictureIndex != -1)
        PaintBG3(dc);
      else if (FSD->BGPictureIndex == -1)
        PaintBG(dc);
      else
        PaintBG2(dc);
      return false;
    }
    case WM_SHOWWINDOW:
      if (skinnable) {
        if (M.WParam > 0) {
          ShowFadeIn();
        } else {
          if (FLayerManager && FLayerManager->IsVisible) FLayerManager->Hide();
          if (FMenuLayerManager && FMenuLayerManager->IsVisible) FMenuLayerManager->Hide();
          LayersBeforeHide();
        }
      } else if (M.WParam > 0) {
        PlaceOnFirstShow();
        if (FadeWanted()) StartFadeIn();
      }
      return true;
    case WM_SETCURSOR:
      if (skinnable && UseFormCursorInNCArea) {
        const int code = LOWORD(uintptr_t(M.LParam));
        const bool keep = code == HTCLIENT || (code >= HTLEFT && code <= HTBOTTOMRIGHT);
        if (!keep) M.LParam = MAKELPARAM(WORD(HTCLIENT), HIWORD(uintptr_t(M.LParam)));
      }
      return true;
    case WM_GETMINMAXINFO:
      if (skinnable)
        if (auto* mm = reinterpret_cast<MINMAXINFO*>(M.LParam)) {
          mm->ptMinTrackSize = POINT{GetMinWidth(), GetMinHeight()};
          mm->ptMaxTrackSize = POINT{GetMaxWidth(), GetMaxHeight()};
        }
      return true;
    case WM_WINDOWPOSCHANGED:
      if (const auto* wp = reinterpret_cast<const WINDOWPOS*>(M.LParam)) {
        FFormLeft = wp->x;
        FFormTop = wp->y;
        if (!FSizing && FBorderLayerChangeSize) {
          FFormWidth = wp->cx;
          FFormHeight = wp->cy;
        }
        if (!FSizing && !FBorderLayerChangeSize) {
          FOldFormLeft = FFormLeft;
          FOldFormTop = FFormTop;
        }
        LayersPosChanged(*wp);
      }
      return true;
    case WM_DISPLAYCHANGE:
      if (FForm->BorderStyle() != bsNone && (GetMaxWidth() < FForm->Width() || GetMaxHeight() < FForm->Height()))
        RefreshFormSize();
      return true;
    case WM_NCCALCSIZE:
      if (!skinnable) return true;
      WMNCCalcSize(M);
      return false;
    case WM_NCHITTEST: {
      if (!skinnable) return true;
      TPoint p = PointOf(M.LParam);
      ScreenToFrame(p);
      M.Result = FSkinSupport ? SkinHitTest(p) : DefaultHitTest(p);
      if (MouseTimer && !MouseTimer->Enabled() && M.Result == ::HTOBJECT) {
        UpdateActiveObject(p.x, p.y, true);
        EnableMouseTimer();
      }
      return false;
    }
    case WM_NCPAINT:
      if (!skinnable) return true;
      if (FForm->BorderStyle() != bsNone) {
        if (FSkinSupport)
          PaintNCSkin(nullptr, false);
        else if (!FStopPainting)
          PaintNCDefault(nullptr, false);
      }
      return false;
    case WM_NCACTIVATE:
      if (!skinnable) return true;
      WMNCActivate(M);
      return false;
    case WM_SYNCPAINT:
      if (!skinnable || !FRollUpState) return true;
      RepaintFrame();
      M.Result = 0;
      return false;
    case WM_SYSCOMMAND:
      if ((M.WParam & 0xFFF0) == SC_RESTORE) {
        if (OnRestore) OnRestore(this);
        return true;
      }
      // The Alt tap belongs to the menu bar; the system's own menu never shows on a skinned form.
      // Alt with a character was offered to the bar (and Alt+Space to the system menu) by the
      // form's short-cut handler already: acting on it again would close what it opened.
      if ((M.WParam & 0xFFF0) == SC_KEYMENU) {
        if (M.LParam != 0) return false;
        if (!InMainMenu) {
          // Hiding the engine's menu tells the form (KXM_MENUCLOSED), which leaves the state.
          if (SkinMenu && SkinMenu->Visible()) SkinMenu->Hide();
          if (InMenu) SkinMenuClose();
          if (FMainMenuBar) FMainMenuBar->StartMenuMode();
        } else {
          EndMainMenu();
        }
        return false;
      }
      return true;
    case WM_TIMER:
      if (M.WParam == kFadeTimer) FadeTimer();
      return true;
    case WM_SIZING:
      if (!(FSizeMove && FFullDrag)) return true;
      WMSizing(M, Old);
      return false;
    case WM_MOVING:
      if (!skinnable) return true;
      if (auto* r = reinterpret_cast<RECT*>(M.LParam)) {
        if (FWindowState == wsMaximized) {
          const TRect b = FForm->BoundsRect();
          *r = RECT{b.left, b.top, b.right, b.bottom};
        } else if (Magnetic) {
          int32_t l = r->left, t = r->top;
          const int32_t w = FForm->Width(), h = FForm->Height();
          MagneticSnap(l, t, w, h);
          *r = RECT{l, t, l + w, t + h};
        }
      }
      return true;
    case WM_ENTERSIZEMOVE: {
      if (!skinnable) return true;
      POINT c{};
      GetCursorPos(&c);
      FOnMouseDownCoord = TPoint{c.x, c.y};
      ResetObjectStates();
      if (MouseTimer) MouseTimer->SetEnabled(false);
      ActiveObject = MouseCaptureObject = -1;
      FSizeMove = true;
      BOOL full = TRUE;
      SystemParametersInfo(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
      FFullDrag = full != FALSE;
      return true;
    }
    case WM_EXITSIZEMOVE:
      if (!skinnable) return true;
      if (FSizing && (FForm->Width() != FFormWidth || FForm->Height() != FFormHeight)) {
        FFormLeft = FForm->Left();
        FFormTop = FForm->Top();
        FFormWidth = FForm->Width();
        FFormHeight = FForm->Height();
        UpdateFrame(true);
      }
      FSizing = FSizeMove = false;
      if (MouseTimer) MouseTimer->SetEnabled(false);
      ActiveObject = OldActiveObject = MouseCaptureObject = -1;
      if (FSD && !FSD->Empty) RepaintFrame();
      LayersExitSizeMove();
      return true;
    case KXM_MENUCLOSED:
      SkinMenuClose();
      return true;
    case KXM_BEFORECHANGESKINDATA:
      if (FSD && M.WParam == reinterpret_cast<WPARAM>(FSD)) {
        FStopPainting = true;
        FSkinSupport = false;
        for (TTimer* t : {MouseTimer, MorphTimer, AnimateTimer})
          if (t) t->SetEnabled(false);
        ClearObjects();
        BeforeChangeControlsSkinData(FSD, FForm);
        if (OnBeforeChangeSkinData) OnBeforeChangeSkinData(this);
      }
      return true;
    case KXM_CHANGESKINDATA: {
      FStopPainting = false;
      auto* sd = reinterpret_cast<TkxSkinData*>(M.WParam);
      if (sd && sd == FSD) ApplySkin();
      // Controls on this form may follow another skin data than the form's own: they are
      // re-skinned whichever skin data changed.
      if (sd) ChangeControlsSkinData(sd, FForm);
      return true;
    }
    case KXM_AFTERCHANGESKINDATA:
      if (OnAfterChangeSkinData) OnAfterChangeSkinData(this);
      return true;
    case KXM_RESOURCESTRCHANGED:
      UpdateObjectHints();
      return true;
    case KXM_SKINNABLEFORMCHANGED:
      if (!FUseRibbon && FSD && M.WParam == reinterpret_cast<WPARAM>(FSD)) SetSkinnableForm(FSD->SkinnableForm());
      return true;
    case KXM_SHOWMAINFORM:
      if (FForm->Tag() == kTrayShownTag) {
        LayersShowMainForm();
        FForm->SetTag(0);
      }
      return true;
    case KXM_LAYEREDBORDERSCHANGED:
      LayersBordersChanged();
      return true;
    case KXM_SMARTEFFECTSQUERY:
      M.Result = !FSkinnableForm && FIsVistaOs ? kNotSkinnable : kSkinnable;
      return false;
    case KXM_SMARTEFFECTSBEGIN:
      FSmartEffectsShow = true;
      return true;
    case KXM_SMARTEFFECTSEND:
      if (FSmartEffectsShow) LayersSmartEffectsEnd();
      return true;
    case KXM_PAINTNCTODC:
      if (!skinnable) return true;
      if (M.WParam != 0 && FForm->BorderStyle() != bsNone) {
        PaintFrameTo(reinterpret_cast<HDC>(M.WParam));
        M.Result = kPaintedNC;
      }
      return false;
    case KXM_PAINTTODC:
      if (!skinnable || M.LParam != KXM_PAINTTODC_FRAME) return true;
      if (M.WParam != 0 && FForm->BorderStyle() != bsNone) PaintFrameTo(reinterpret_cast<HDC>(M.WParam));
      M.Result = KXM_PAINTTODC_FRAME;
      return false;
    default:
      return true;
  }
}

void TkxVelara::AfterOld(TMessage& M) {
  if (M.Msg == WM_SHOWWINDOW) {
    LayersAfterShowWindow(M.WParam > 0);
    return;
  }
  if (M.Msg == WM_LBUTTONUP) {
    ObjectsMouseUp(mbLeft, -1, -1);
    return;
  }
  if (M.Msg == WM_RBUTTONUP) {
    ObjectsMouseUp(mbRight, -1, -1);
    return;
  }
  if (!FSkinnableForm || M.Msg < WM_NCMOUSEMOVE || M.Msg > WM_NCRBUTTONDBLCLK) return;
  TPoint p = PointOf(M.LParam);
  const bool onCaption = M.WParam == WPARAM(HTCAPTION);
  switch (M.Msg) {
    case WM_NCMOUSEMOVE:
      ScreenToFrame(p);
      ObjectsMouseMove(p.x, p.y);
      break;
    case WM_NCLBUTTONDOWN:
      if (FSizeMove) {
        FSizeMove = false;
        break;
      }
      ScreenToFrame(p);
      UpdateActiveObject(p.x, p.y, true);
      ObjectsMouseDown(mbLeft, p.x, p.y);
      if (onCaption) MouseCaptureObject = -1;
      break;
    case WM_NCLBUTTONUP:
      ScreenToFrame(p);
      ObjectsMouseUp(mbLeft, p.x, p.y);
      break;
    case WM_NCLBUTTONDBLCLK:
      ScreenToFrame(p);
      UpdateActiveObject(p.x, p.y, true);
      ObjectsMouseDown(mbLeft, p.x, p.y);
      ObjectsDblClick();
      if (onCaption) CaptionDblClick();
      MouseCaptureObject = -1;
      break;
    case WM_NCRBUTTONDOWN:
      ScreenToFrame(p);
      UpdateActiveObject(p.x, p.y, true);
      ObjectsMouseDown(mbRight, p.x, p.y);
      if (onCaption) {
        MouseCaptureObject = -1;
        if (!DisableSystemMenu) {
          POINT c{};
          GetCursorPos(&c);
          ShowSystemMenuAt(TPoint{c.x, c.y});
        }
      }
      break;
    case WM_NCRBUTTONUP:
      ScreenToFrame(p);
      ObjectsMouseUp(mbRight, p.x, p.y);
      break;
    case WM_NCRBUTTONDBLCLK:
      ScreenToFrame(p);
      UpdateActiveObject(p.x, p.y, true);
      ObjectsMouseDown(mbRight, p.x, p.y);
      if (onCaption) MouseCaptureObject = -1;
      break;
    default:
      break;
  }
}

void TkxVelara::FormWindowProc(TMessage& Message) {
  // The replaced procedure may free the form, and this component with it: both the link and
  // the procedure are held here for the call.
  const std::shared_ptr<THookLink> link = FHookLink;
  const TWndMethod old = OldWindowProc;
  CloseMenusOnMessage(Message);
  if (!link->Self) return;
  const bool passed = BeforeOld(Message, old);
  if (!link->Self) return;
  if (passed && old) old(Message);
  if (!link->Self) return;
  AfterOld(Message);
}
