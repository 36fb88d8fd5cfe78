#include "lib/controls/kxSkinToolBar.h"

#include <algorithm>

#include "classlib/Forms.h"
#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinSplitBevel.h"
#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxPlainLook.h"

using namespace win;

namespace {

constexpr int32_t kArrowWidth = 12;
constexpr UINT_PTR kScrollTimer = 1;

}  // namespace

// ---- TkxSkinToolBar -----------------------------------------------------------------------------

std::string ToolButtonSkinDataName(const std::string& ToolBarName, TkxToolBarButton::TNameKind Kind) {
  if (ToolBarName == "resizetoolpanel") return "resizetoolbutton";
  if (ToolBarName == "panel") return "resizebutton";
  if (ToolBarName == "bigtoolpanel") {
    switch (Kind) {
      case TkxToolBarButton::nkSpeedButton: return "bigtoolbutton";
      case TkxToolBarButton::nkMenuTrackButton: return "bigtoolmenutrackbutton";
      case TkxToolBarButton::nkMenuButton: return "bigtoolmenubutton";
    }
  }
  switch (Kind) {
    case TkxToolBarButton::nkSpeedButton: return "toolbutton";
    case TkxToolBarButton::nkMenuTrackButton: return "toolmenutrackbutton";
    case TkxToolBarButton::nkMenuButton: return "toolmenubutton";
  }
  return "toolbutton";
}

TkxSkinToolBar::TkxSkinToolBar(TComponent* AOwner) : TkxSkinPanel(AOwner) {
  FForceBackground = false;
  FSkinDataName = "toolpanel";
  FDefaultHeight = 0;
  SetHeight(25);
  SetBorderStyle(TkxSkinBorderStyle::bvNone);
}

TkxSkinToolBar::~TkxSkinToolBar() {
  if (FTimerRunning && HandleAllocated()) KillTimer(FHandle, kScrollTimer);
}

template <typename F>
void TkxSkinToolBar::EachToolButton(const F& Fn) {
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* b = dynamic_cast<TkxToolBarButton*>(Controls(i))) Fn(Controls(i), b);
}

void TkxSkinToolBar::ImagesChanged() {
  EachToolButton([](TControl*, TkxToolBarButton* b) { b->ToolBarImagesChanged(); });
}

void TkxSkinToolBar::SetImages(TCustomImageList* Value) {
  FImages.Set(Value);
  ImagesChanged();
}

void TkxSkinToolBar::SetHotImages(TCustomImageList* Value) {
  FHotImages.Set(Value);
  ImagesChanged();
}

void TkxSkinToolBar::SetDisabledImages(TCustomImageList* Value) {
  FDisabledImages.Set(Value);
  ImagesChanged();
}

void TkxSkinToolBar::SetFlat(bool Value) {
  FFlat = Value;
  EachToolButton([Value](TControl*, TkxToolBarButton* b) { b->SetFlat(Value); });
}

void TkxSkinToolBar::SetShowCaptions(bool Value) {
  if (Value == FShowCaptions) return;
  FShowCaptions = Value;
  if (FAutoShowHideCaptions) EachToolButton([Value](TControl*, TkxToolBarButton* b) { b->SetShowCaption(Value); });
  if (FWidthWithCaptions != 0 && FWidthWithoutCaptions != 0)
    SetWidth(Value ? FWidthWithCaptions : FWidthWithoutCaptions);
}

void TkxSkinToolBar::GetSkinData() {
  TkxSkinPanel::GetSkinData();
  ButtonData = nullptr;
  if (FIndex == -1) return;
  ButtonData = SkinRecordNamed<TkxDataSkinButtonControl>("resizebutton");
}

void TkxSkinToolBar::ChangeSkinData() {
  TkxSkinPanel::ChangeSkinData();
  // The arrows live in the frame, which a client repaint leaves alone.
  if (ArrowsShown() && HandleAllocated()) SendMessage(FHandle, WM_NCPAINT, 1, 0);
}

void TkxSkinToolBar::SetSkinData(TkxSkinData* Value) {
  TkxSkinPanel::SetSkinData(Value);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!dynamic_cast<TkxToolBarButton*>(c) && !dynamic_cast<TkxSkinBevel*>(c)) continue;
    if (auto* b = dynamic_cast<TkxSkinBinding*>(c)) b->SetSkinData(Value);
  }
}

void TkxSkinToolBar::SetSkinDataName(const std::string& Value) {
  TkxSkinPanel::SetSkinDataName(Value);
  if (!Designing() || ComponentState().Contains(csLoading)) return;
  EachToolButton([&Value](TControl* c, TkxToolBarButton* b) {
    const std::string name = ToolButtonSkinDataName(Value, b->ToolBarNameKind());
    if (auto* b = dynamic_cast<TkxSkinBinding*>(c)) b->SetSkinDataName(name);
  });
}

void TkxSkinToolBar::CentrePlainChildren() {
  const TRect c = GetSkinClientRect();
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* k = Controls(i);
    if (dynamic_cast<TkxSkinControl*>(k) || dynamic_cast<TkxGraphicSkinControl*>(k) || k->Align() != alNone) continue;
    const int32_t top = c.top + RectHeight(c) / 2 - k->Height() / 2;
    if (k->Top() != top) k->SetBounds(k->Left(), top, k->Width(), k->Height());
  }
}

void TkxSkinToolBar::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  const int32_t oldWidth = Width();
  TkxSkinPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FAdjustControls)
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      c->SetBounds(c->Left(), c->Top(), c->Width(), c->Height());
    }
  if (FCanScroll) {
    FHSizeOffset = oldWidth != 0 && Width() > oldWidth ? Width() - oldWidth : 0;
    if (Align() != alNone) UpdateScrollRange();
  }
  if (FAdjustControls) CentrePlainChildren();
}

void TkxSkinToolBar::AdjustClientRect(TRect& Rect) {
  TkxSkinPanel::AdjustClientRect(Rect);
  if (!((Buttons[0].Visible && FCanScroll) || Buttons[1].Visible)) return;
  const int32_t cw = ClientWidth(), ch = ClientHeight();
  Rect = TRect{-SPosition, 0, -SPosition + std::max(SMax, cw), ch};
  if (FIndex == -1 || Designing()) {
    Rect.top = 1;
    Rect.bottom = ch - 1;
  } else if (FBorderStyle != TkxSkinBorderStyle::bvNone || ResizeMode != 1) {
    Rect.top = NewClRect.top;
    Rect.bottom = NewClRect.bottom;
  }
}

void TkxSkinToolBar::CreateControlSkinImage(TBitmap* B) {
  if (ArrowsShown() && ResizeMode == 2) {
    FillHorzMiddlePart(LTPt.x, RectWidth(SkinRect) - RTPt.x, B, Picture, SkinRect, Width(), Height(), StretchEffect);
    return;
  }
  TkxSkinPanel::CreateControlSkinImage(B);
}

void TkxSkinToolBar::PlaceArrows() {
  Buttons[0].R = TRect{0, 0, kArrowWidth, Height()};
  Buttons[1].R = TRect{Width() - kArrowWidth, 0, Width(), Height()};
}

void TkxSkinToolBar::SetArrowsVisible(bool Value) {
  if (Buttons[0].Visible == Value && Buttons[1].Visible == Value) return;
  Buttons[0].Visible = Buttons[1].Visible = Value;
  if (!Value) {
    StopScrollTimer();
    Buttons[0].MouseIn = Buttons[1].MouseIn = Buttons[0].Down = Buttons[1].Down = false;
  }
  PlaceArrows();
  // The non-client areas change: have the window compute them again, keeping the window.
  if (HandleAllocated())
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Invalidate();
}

void TkxSkinToolBar::UpdateScrollRange() {
  if (!FCanScroll || Width() == 0 || FUpdatingRange) return;
  FUpdatingRange = true;
  int32_t r = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Visible()) r = std::max(r, c->Left() + c->Width());
  }
  if (r == 0) {
    SetArrowsVisible(false);
    FUpdatingRange = false;
    return;
  }
  const int32_t p = SPosition;
  int32_t cw = ClientWidth();
  if (r + p <= cw) {
    if (p > 0) ScrollBy(p, 0);
    FHSizeOffset = SMax = SPosition = SPage = SOldPosition = 0;
    SetArrowsVisible(false);
    FUpdatingRange = false;
    return;
  }
  SetArrowsVisible(true);
  cw = ClientWidth();
  if (p > 0 && cw > r && FHSizeOffset > 0) {
    FHSizeOffset = std::min(FHSizeOffset, p);
    SMax = p + r - 1;
    SPosition = p - FHSizeOffset;
    SPage = cw;
    ScrollBy(FHSizeOffset, 0);
  } else if (FHSizeOffset == 0 && p + r - 1 < SMax && p > 0 && cw > r) {
    SMax = p + r - 1;
    SPosition = p - (cw - r);
    SPage = cw;
    ScrollBy(cw - r, 0);
  } else {
    SMax = p + r - 1;
    SPage = cw;
  }
  FHSizeOffset = 0;
  SOldPosition = SPosition;
  FUpdatingRange = false;
}

void TkxSkinToolBar::ScrollStep(int32_t Direction) {
  const int32_t step = FScrollOffset > 0 ? FScrollOffset : ClientWidth();
  if (Direction == 1)
    SPosition = std::max(SPosition - step, 0);
  else
    SPosition = std::max(0, std::min(SPosition + step, SMax - SPage + 1));
  if (SPosition == SOldPosition) {
    StopScrollTimer();
    return;
  }
  ScrollBy(-(SPosition - SOldPosition), 0);
  SOldPosition = SPosition;
  Repaint();
}

void TkxSkinToolBar::StartScrollTimer() {
  if (!HandleAllocated()) return;
  if (FTimerRunning) KillTimer(FHandle, kScrollTimer);
  SetTimer(FHandle, kScrollTimer, UINT(FScrollTimerInterval), nullptr);
  FTimerRunning = true;
}

void TkxSkinToolBar::StopScrollTimer() {
  TimerMode = 0;
  if (FTimerRunning && HandleAllocated()) KillTimer(FHandle, kScrollTimer);
  FTimerRunning = false;
}

void TkxSkinToolBar::DrawArrow(TBitmap* B, int32_t Index) {
  const TScrollButton& a = Buttons[Index];
  const int32_t w = B->Width(), h = B->Height();
  TCanvas* C = B->Canvas();
  const bool pressedLook = a.MouseIn && (a.Down || FHotScroll);
  TColor arrow = kxPlain.Text;
  TBitmap* pic = ButtonData ? SkinPicture(ButtonData->PictureIndex) : nullptr;
  bool drawn = false;
  if (ButtonData && pic) {
    const TkxDataSkinButtonControl& d = *ButtonData;
    TRect src = d.SkinRect;
    arrow = d.FontColor;
    if (!IsEmptyRect(d.DownSkinRect) && pressedLook) {
      src = d.DownSkinRect;
      arrow = d.DownFontColor;
    } else if (a.MouseIn && !IsEmptyRect(d.ActiveSkinRect)) {
      src = d.ActiveSkinRect;
      arrow = d.ActiveFontColor;
    }
    if (RectInPicture(src, pic)) {
      const int32_t dw = w - RectWidth(d.SkinRect), dh = h - RectHeight(d.SkinRect);
      if (d.RBPoint.x != 0 && d.RBPoint.y != 0) {
        BuildNinePartImage(d.LTPoint, d.RTPoint, d.LBPoint, d.RBPoint, d.ClRect, d.LTPoint,
                           TPoint{d.RTPoint.x + dw, d.RTPoint.y}, TPoint{d.LBPoint.x, d.LBPoint.y + dh},
                           TPoint{d.RBPoint.x + dw, d.RBPoint.y + dh},
                           TRect{d.ClRect.left, d.ClRect.top, d.ClRect.right + dw, d.ClRect.bottom + dh}, B, pic, src,
                           w, h, true, d.LeftStretch, d.TopStretch, d.RightStretch, d.BottomStretch, d.StretchEffect,
                           d.StretchType);
      } else {
        C->CopyRect(TRect{0, 0, w, h}, pic->Canvas(), src);
      }
      drawn = true;
    }
  }
  if (!drawn) {
    DrawPlainButtonFace(C, TRect{0, 0, w, h}, PlainStateOf(pressedLook, a.MouseIn));
    arrow = kxPlain.Text;
  }
  DrawArrowImage(C, TRect{0, 0, w, h}, arrow, Index == 0 ? kxakLeft : kxakRight);
}

void TkxSkinToolBar::PaintArrows() {
  if (!HandleAllocated() || !ArrowsShown()) return;
  GetSkinData();
  HDC dc = GetWindowDC(FHandle);
  if (!dc) return;
  TCanvas c;
  c.SetHandle(dc);
  for (int32_t i = 0; i < 2; ++i) {
    if (!Buttons[i].Visible || IsEmptyRect(Buttons[i].R)) continue;
    auto b = NewSkinImage(RectWidth(Buttons[i].R), RectHeight(Buttons[i].R));
    DrawArrow(b.get(), i);
    c.Draw(Buttons[i].R.left, Buttons[i].R.top, b.get());
  }
  c.SetHandle(nullptr);
  ReleaseDC(FHandle, dc);
}

void TkxSkinToolBar::ClearArrowHover() {
  bool changed = false;
  for (TScrollButton& b : Buttons)
    if (b.Visible && b.MouseIn) {
      b.MouseIn = false;
      changed = true;
      break;
    }
  if (!changed) return;
  if (FTimerRunning) StopScrollTimer();
  SendMessage(FHandle, WM_NCPAINT, 1, 0);
}

void TkxSkinToolBar::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_WINDOWPOSCHANGED:
      TkxSkinPanel::WndProc(Message);
      if (HandleAllocated() && Align() == alNone) UpdateScrollRange();
      return;
    case WM_WINDOWPOSCHANGING:
      TkxSkinPanel::WndProc(Message);
      if (HandleAllocated() && FAdjustControls) CentrePlainChildren();
      return;
    default: break;
  }
  if (!FCanScroll) {
    TkxSkinPanel::WndProc(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_NCCALCSIZE: {
      TkxSkinPanel::WndProc(Message);
      RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                               : reinterpret_cast<RECT*>(Message.LParam);
      if (!r) return;
      if (Buttons[0].Visible) r->left += kArrowWidth;
      if (Buttons[1].Visible) r->right -= kArrowWidth;
      return;
    }
    case WM_NCHITTEST: {
      if (!Designing()) {
        const TPoint p = ScreenToClient(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
        if (p.x < 0 && Buttons[0].Visible) {
          Message.Result = HTKXSCROLLLEFT;
          return;
        }
        if (p.x >= ClientWidth() && Buttons[1].Visible) {
          Message.Result = HTKXSCROLLRIGHT;
          return;
        }
      }
      break;
    }
    case WM_SETCURSOR: {
      const int32_t hit = LOWORD(Message.LParam);
      if (hit == HTKXSCROLLLEFT || hit == HTKXSCROLLRIGHT)
        Message.LParam = MAKELPARAM(WORD(HTCLIENT), HIWORD(Message.LParam));
      break;
    }
    case WM_SIZE:
      TkxSkinPanel::WndProc(Message);
      // A window made after the children were placed learns its client width only here.
      UpdateScrollRange();
      if (ArrowsShown()) {
        PlaceArrows();
        SendMessage(FHandle, WM_NCPAINT, 1, 0);
      }
      return;
    case WM_NCPAINT:
      if (ArrowsShown()) PaintArrows();
      Message.Result = 0;
      return;
    case WM_TIMER:
      TkxSkinPanel::WndProc(Message);
      if (Message.WParam == kScrollTimer && (TimerMode == 1 || TimerMode == 2)) ScrollStep(TimerMode);
      return;
    case WM_NCMOUSEMOVE: {
      const LRESULT hit = LRESULT(Message.WParam);
      if (hit == HTKXSCROLLLEFT || hit == HTKXSCROLLRIGHT) {
        const int32_t i = hit == HTKXSCROLLLEFT ? 0 : 1;
        if (!Buttons[i].MouseIn) {
          Buttons[i].MouseIn = true;
          Buttons[1 - i].MouseIn = false;
          SendMessage(FHandle, WM_NCPAINT, 1, 0);
          if (FHotScroll) {
            TimerMode = i + 1;
            StartScrollTimer();
          }
        }
      }
      break;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      const LRESULT hit = LRESULT(Message.WParam);
      if (hit == HTKXSCROLLLEFT || hit == HTKXSCROLLRIGHT) {
        const int32_t i = hit == HTKXSCROLLLEFT ? 0 : 1;
        Buttons[i].Down = true;
        SendMessage(FHandle, WM_NCPAINT, 1, 0);
        TimerMode = i + 1;
        StartScrollTimer();
      }
      break;
    }
    case WM_NCLBUTTONUP: {
      const LRESULT hit = LRESULT(Message.WParam);
      if (hit == HTKXSCROLLLEFT || hit == HTKXSCROLLRIGHT) {
        const int32_t i = hit == HTKXSCROLLLEFT ? 0 : 1;
        Buttons[i].Down = false;
        SendMessage(FHandle, WM_NCPAINT, 1, 0);
        StopScrollTimer();
        ScrollStep(i + 1);
      }
      break;
    }
    case WM_MOUSEMOVE: ClearArrowHover(); break;
    case CM_MOUSELEAVE: {
      POINT p;
      GetCursorPos(&p);
      if (WindowFromPoint(p) != FHandle) ClearArrowHover();
      break;
    }
    default: break;
  }
  TkxSkinPanel::WndProc(Message);
}

// ---- form streaming ----------------------------------------------------------------------------

void RegisterSkinToolBarFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterSkinPanelFormClasses();
  RegisterFormClass<TkxSkinToolBar, TkxSkinPanel>("TkxSkinToolBar")
      .Boolean("AdjustControls", &TkxSkinToolBar::SetAdjustControls)
      .Boolean("CanScroll", &TkxSkinToolBar::SetCanScroll)
      .Boolean("HotScroll", &TkxSkinToolBar::SetHotScroll)
      .Integer("ScrollOffset", &TkxSkinToolBar::SetScrollOffset)
      .Integer("ScrollTimerInterval", &TkxSkinToolBar::SetScrollTimerInterval)
      .Boolean("ShowCaptions", &TkxSkinToolBar::SetShowCaptions)
      .Boolean("AutoShowHideCaptions", &TkxSkinToolBar::SetAutoShowHideCaptions)
      .Integer("WidthWithCaptions", &TkxSkinToolBar::SetWidthWithCaptions)
      .Integer("WidthWithoutCaptions", &TkxSkinToolBar::SetWidthWithoutCaptions)
      .Boolean("Flat", &TkxSkinToolBar::SetFlat)
      .Reference<TCustomImageList>("Images", &TkxSkinToolBar::SetImages)
      .Reference<TCustomImageList>("HotImages", &TkxSkinToolBar::SetHotImages)
      .Reference<TCustomImageList>("DisabledImages", &TkxSkinToolBar::SetDisabledImages);
}
