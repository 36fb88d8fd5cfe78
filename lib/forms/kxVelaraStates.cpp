// Hit testing, size limits, the emulated window states (maximize, minimize, restore, roll-up), the
// docking of minimized forms, the position on the monitor and the snapping to the work area's
// edges. Maximize and restore only move and size the form: the system never sees a maximized
// window, and minimizing a form other than the main form leaves a caption bar at the bottom of
// the work area. The MDI branches come with MDI support.
#include <cstdlib>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinPanels.h"
#include "lib/forms/kxFrameObjects.h"
#include "lib/forms/kxVelara.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/skin/kxSkinData.h"

using namespace win;

namespace {

bool PtIn(const TRect& R, TPoint P) { return P.x >= R.left && P.y >= R.top && P.x < R.right && P.y < R.bottom; }

}  // namespace

bool TkxVelara::SkinSupported() const { return FSkinSupport && FSD && !FSD->Empty; }

bool TkxVelara::IsMainForm() const { return FForm && Application && Application->MainForm() == FForm; }

// ---- limits ---------------------------------------------------------------------------------------

int32_t TkxVelara::GetMinWidth() {
  if (!SkinSupported()) return MinWidth > 0 ? MinWidth : 120;
  const int32_t pw = FSD->FPicture->Width();
  const bool minimized = FWindowState == wsMinimized;
  if (pw < MinWidth && !minimized) return MinWidth;
  if (FSD->FormMinWidth > 0) return FSD->FormMinWidth >= MinWidth || minimized ? FSD->FormMinWidth : MinWidth;
  return pw;
}

int32_t TkxVelara::GetMinHeight() {
  const int32_t base = SkinSupported() ? FSD->FPicture->Height() - (FSD->ClRect.bottom - FSD->ClRect.top)
                                       : DefaultCaptionHeight() + 6;
  if (base < MinHeight && !FRollUpState && FWindowState != wsMinimized) return MinHeight;
  return base;
}

TRect TkxVelara::MonitorArea(bool WorkArea) const {
  TRect r{0, 0, 0, 0};
  GetMonitorWorkArea(FForm && FForm->HandleAllocated() ? FForm->Handle() : nullptr, WorkArea, r);
  return r;
}

int32_t TkxVelara::GetMaxWidth() {
  if (MaxWidth != 0) return MaxWidth;
  const TRect r = MonitorArea(!MaximizeOnFullScreen);
  return r.right - r.left;
}

int32_t TkxVelara::GetMaxHeight() {
  if (MaxHeight != 0) return MaxHeight;
  const TRect r = MonitorArea(!MaximizeOnFullScreen);
  return r.bottom - r.top;
}

// ---- hit testing ------------------------------------------------------------------------------------

bool TkxVelara::IsSizeable() const {
  if (AlwaysResize) return true;
  return FForm && (FForm->BorderStyle() == bsSizeable || FForm->BorderStyle() == bsSizeToolWin);
}

int32_t TkxVelara::DefaultHitTest(TPoint P) {
  if (!FForm) return ::HTOBJECT;
  const int32_t W = FForm->Width(), H = FForm->Height();
  const int32_t capH = DefaultCaptionHeight();
  auto inner = [&]() -> int32_t {
    CalcDefRects();
    if (PtIn(NewDefCaptionRect, P)) return HTCAPTION;
    if (PtIn(TRect{3, capH + 3, W - 3, H - 3}, P)) return HTCLIENT;
    return ::HTOBJECT;
  };
  if (FWindowState != wsNormal || FRollUpState || !IsSizeable()) return inner();
  if (ActiveObject != -1) return ::HTOBJECT;
  const int32_t x = P.x, y = P.y;
  if (x <= 2 && y <= 2) return HTTOPLEFT;
  if (x >= W - 2 && y <= 2) return HTTOPRIGHT;
  if (x <= 2 && y >= H - 2) return HTBOTTOMLEFT;
  if (x >= W - 2 && y >= H - 2) return HTBOTTOMRIGHT;
  if (x <= 2) return HTLEFT;
  if (y <= 2) return HTTOP;
  if (x >= W - 2) return HTRIGHT;
  if (y >= H - 2) return HTBOTTOM;
  return inner();
}

bool TkxVelara::PointInCaption(TPoint P) {
  // A skin's caption may span the whole bar: the buttons lying on it are objects, not caption.
  for (auto* o : ObjectList)
    if (o->Visible && !dynamic_cast<TkxSkinCaptionObject*>(o) && PtIn(o->ObjectRect, P)) return false;
  for (auto* o : ObjectList) {
    if (!dynamic_cast<TkxSkinCaptionObject*>(o) || !PtIn(o->ObjectRect, P)) continue;
    // The quick buttons at the caption's left end are objects, not caption.
    if (FQuickButtons && FQuickButtons->Count() > 0 && FQuickImageList)
      return P.x > o->ObjectRect.left + FQuickButtons->Count() * (FQuickImageList->Width() + 8);
    return true;
  }
  return false;
}

bool TkxVelara::NearSizingBorder(TPoint P) {
  const int32_t BW = FSD->BorderW;
  const TPoint probes[4] = {{P.x - BW, P.y}, {P.x, P.y - BW}, {P.x + BW, P.y}, {P.x, P.y + BW}};
  if (FSD->FMask->Empty()) {
    const TRect whole{0, 0, FForm->Width(), FForm->Height()};
    for (const TPoint& q : probes)
      if (!PtIn(whole, q)) return true;
    return false;
  }
  if (PtIn(NewMaskRectArea, P)) return false;
  for (const TPoint& q : probes)
    if (!PointInFormMask(q)) return true;
  return false;
}

int32_t TkxVelara::SkinHitTest(TPoint P) {
  if (!FForm || !FSD || FSD->Empty) return ::HTOBJECT;
  const bool inCaption = PointInCaption(P);
  if (FRollUpState || FWindowState == wsMinimized) return inCaption ? HTCAPTION : ::HTOBJECT;
  if (ActiveObject != -1 && !inCaption && !PtIn(NewClRect, P) && !FSizeMove) return ::HTOBJECT;
  auto inner = [&]() -> int32_t {
    if (PtIn(NewClRect, P)) return HTCLIENT;
    if (inCaption) return HTCAPTION;
    return ::HTOBJECT;
  };
  if (FWindowState == wsMaximized || !IsSizeable()) return inner();
  if (NearSizingBorder(P)) {
    const int32_t W = FForm->Width(), H = FForm->Height();
    const TPoint &LT = NewHitTestLTPoint, &RT = NewHitTestRTPoint, &LB = NewHitTestLBPoint, &RB = NewHitTestRBPoint;
    const int32_t x = P.x, y = P.y;
    if (LT.x >= x && LT.y >= y) return HTTOPLEFT;
    if (RT.x <= x && RT.y >= y) return HTTOPRIGHT;
    if (LB.x >= x && LB.y <= y) return HTBOTTOMLEFT;
    if (RB.x <= x && RB.y <= y) return HTBOTTOMRIGHT;
    if (PtIn(TRect{LT.x, 0, RT.x, NewClRect.top}, P)) return HTTOP;
    if (PtIn(TRect{LB.x, NewClRect.bottom, RB.x, H}, P)) return HTBOTTOM;
    if (PtIn(TRect{0, LT.y, NewClRect.left, LB.y}, P)) return HTLEFT;
    if (PtIn(TRect{NewClRect.right, RT.y, W, RB.y}, P)) return HTRIGHT;
  }
  return inner();
}

// ---- window states -----------------------------------------------------------------------------------

void TkxVelara::SetWindowState(TWindowState Value) {
  if (!FForm) return;
  if (!FSkinnableForm) {
    FForm->SetWindowState(Value);
    return;
  }
  if (Value == FWindowState) return;
  const TWindowState old = FWindowState;
  // The main form minimizes through the application and stays as it is.
  if (!(Value == wsMinimized && (IsMainForm() || MinimizeDefault))) FWindowState = Value;
  switch (Value) {
    case wsNormal:
      if (old == wsMaximized && FRollUpState && !FRollUpBeforeMaximize) SetRollUpState(false);
      FRollUpBeforeMaximize = false;
      DoRestore();
      break;
    case wsMinimized: DoMinimize(); break;
    case wsMaximized:
      FRollUpBeforeMaximize = FRollUpState;
      DoMaximize();
      break;
  }
}

void TkxVelara::DoMinimize() {
  if (IsMainForm()) {
    Application->Minimize();
  } else if (MinimizeDefault) {
    FForm->SetWindowState(wsMinimized);
  } else {
    if (IsRectEmpty(&OldBoundsRect)) OldBoundsRect = FForm->BoundsRect();
    TPoint p{};
    DockMinimized(p);
    FForm->SetBounds(p.x, p.y, GetMinWidth(), GetMinHeight());
  }
  if (OnMinimize) OnMinimize(this);
}

void TkxVelara::DockMinimized(TPoint& P) {
  const int32_t minW = GetMinWidth(), minH = GetMinHeight();
  const TRect area = MonitorArea(true);
  P = TPoint{area.left, area.bottom - minH};
  auto taken = [&](TPoint Q) {
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* f = Screen->Forms(i);
      if (f == FForm || f == Application->MainForm() || !f->Visible()) continue;
      TkxVelara* v = FindSkinForm(f);
      if (v && v->WindowState() == wsMinimized && f->Left() == Q.x && f->Top() == Q.y) return true;
    }
    return false;
  };
  while (taken(P)) {
    P.x += minW;
    if (P.x + minW > area.right) {
      P.x = area.left;
      P.y -= minH;
      if (P.y < area.top) {
        P.y = area.bottom - minH;
        break;
      }
    }
  }
}

void TkxVelara::DoMaximize() {
  if (IsRectEmpty(&OldBoundsRect)) OldBoundsRect = FForm->BoundsRect();
  TRect area;
  if (MaximizeOnFullScreen) {
    area = MonitorArea(false);
  } else {
    area = MonitorArea(true);
    const TRect whole = MonitorArea(false);
    const bool workIsWhole =
        area.right - area.left == whole.right - whole.left && area.bottom - area.top == whole.bottom - whole.top;
    // A work area as large as the primary screen: one pixel is left free on every side, so that
    // a hidden task bar at any edge can still be reached.
    const TRect primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (workIsWhole && EqualRect(&whole, &primary)) InflateRect(&area, -1, -1);
  }
  FForm->SetBoundsRect(area);
  if (FStatusBar && FStatusBar->SizeGrip()) FStatusBar->SetShowGrip(false);
  if (OnMaximize) OnMaximize(this);
}

void TkxVelara::DoRestore() {
  MaxRollUpState = false;
  const int32_t w = FForm->Width(), h = FForm->Height();
  // Nothing to return to (the form was never maximized or minimized here): it keeps its bounds.
  if (!IsRectEmpty(&OldBoundsRect)) {
    const int32_t ow = OldBoundsRect.right - OldBoundsRect.left, oh = OldBoundsRect.bottom - OldBoundsRect.top;
    if (FStartShow) {
      FStartShow = false;
      const TPoint p = GetPositionInMonitor(OldBoundsRect.left, OldBoundsRect.top, FForm->Width(), FForm->Height());
      FForm->SetBounds(p.x, p.y, ow, oh);
    } else {
      LayersTakeBounds(OldBoundsRect);
      FForm->SetBoundsRect(OldBoundsRect);
    }
  }
  EnableMouseTimer();
  if (FForm->Width() == w && FForm->Height() == h) RefreshFormSize();
  FForm->Invalidate();
  OldBoundsRect = TRect{0, 0, 0, 0};
  if (FStatusBar && FStatusBar->SizeGrip()) FStatusBar->SetShowGrip(true);
  if (OnRestore) OnRestore(this);
}

void TkxVelara::SetRollUpState(bool Value) {
  if (!FForm || !FBorderIcons.Contains(TkxBorderIcon::biRollUp) || FWindowState == wsMinimized) return;
  if (FRollUpState && FWindowState == wsMaximized && !MaxRollUpState) return;
  // Rolling up twice would take the rolled-up height as the one to come back to.
  if (Value == FRollUpState) return;
  if (FWindowState == wsMaximized) MaxRollUpState = Value;
  FRollUpState = Value;
  if (Value) {
    OldHeight = FForm->Height();
    FForm->SetHeight(GetMinHeight());
  } else if (ClientHeight > 0) {
    FForm->SetClientHeight(ClientHeight);
  } else {
    FForm->SetHeight(OldHeight);
  }
  if (OnChangeRollUpState) OnChangeRollUpState(this);
}

// ---- position, size refresh, snapping ------------------------------------------------------------

TPoint TkxVelara::GetPositionInMonitor(int32_t AX, int32_t AY, int32_t AW, int32_t AH) {
  if (PositionInMonitor == kxpDefault) return TPoint{AX, AY};
  const TRect a = MonitorArea(PositionInMonitor == kxpDesktopCenter);
  return TPoint{a.left + (a.right - a.left) / 2 - AW / 2, a.top + (a.bottom - a.top) / 2 - AH / 2};
}

void TkxVelara::ApplyPositionInMonitor() {
  if (!FForm || PositionInMonitor == kxpDefault) return;
  const TPoint p = GetPositionInMonitor(FForm->Left(), FForm->Top(), FForm->Width(), FForm->Height());
  FForm->SetBounds(p.x, p.y, FForm->Width(), FForm->Height());
}

void TkxVelara::RefreshFormSize() {
  if (!FForm) return;
  const int32_t w = FForm->Width();
  if (w - 1 < GetMinWidth()) {
    FForm->SetWidth(w + 1);
  } else {
    FForm->SetWidth(w - 1);
  }
  FForm->SetWidth(w);
}

void TkxVelara::MagneticSnap(int32_t& ALeft, int32_t& ATop, int32_t AWidth, int32_t AHeight) {
  // A layered border's sizing band counts as part of the form: the band's outer edges snap.
  int32_t bl = 0, bt = 0, br = 0, bb = 0;
  LayeredBorderBand(bl, bt, br, bb);
  ALeft -= bl;
  ATop -= bt;
  AWidth += bl + br;
  AHeight += bt + bb;
  const TRect area = MonitorArea(true);
  const int32_t M = MagneticSize;
  POINT cursor{};
  GetCursorPos(&cursor);
  // One edge: a position closer than M sticks to it, and it stays stuck until the mouse has moved
  // more than M from where it stuck; then the form follows the mouse from the edge. The move
  // loop proposes every position from where the drag began, so the first proposal outside the
  // band must not let go of the magnet by itself.
  auto edge = [&](int32_t& V, bool Near, bool& Magnetized, int32_t Target, int32_t CursorV, int32_t& DownV) {
    if (Near && !Magnetized) {
      V = Target;
      DownV = CursorV;
      Magnetized = true;
    } else if (Magnetized) {
      if (std::abs(CursorV - DownV) > M) {
        V = CursorV + Target - DownV;
        Magnetized = false;
      } else {
        V = Target;
      }
    }
  };
  edge(ALeft, std::abs(ALeft - area.left) < M, HMagnetized, area.left, cursor.x, FOnMouseDownCoord.x);
  edge(ATop, std::abs(ATop - area.top) < M, VMagnetized, area.top, cursor.y, FOnMouseDownCoord.y);
  edge(ALeft, std::abs(ALeft + AWidth - area.right) < M, HMagnetized2, area.right - AWidth, cursor.x,
       FOnMouseDownCoord.x);
  edge(ATop, std::abs(ATop + AHeight - area.bottom) < M, VMagnetized2, area.bottom - AHeight, cursor.y,
       FOnMouseDownCoord.y);
  ALeft += bl;
  ATop += bt;
}
