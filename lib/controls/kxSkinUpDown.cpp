#include "lib/controls/kxSkinUpDown.h"

#include "classlib/Streaming.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxPlainLook.h"

using namespace win;

namespace {

}  // namespace

TkxSkinUpDown::TkxSkinUpDown(TComponent* AOwner) : TkxSkinCustomControl(AOwner) {
  FSkinDataName = "hupdown";
  SetBounds(Left(), Top(), 50, 25);
  LayoutButtons();
}

TkxSkinUpDown::~TkxSkinUpDown() { StopTimer(); }

void TkxSkinUpDown::SetOrientation(TUDOrientation Value) {
  FOrientation = Value;
  if (ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading))
    FSkinDataName = Value == udVertical ? "vupdown" : "hupdown";
  LayoutButtons();
  Repaint();
}

void TkxSkinUpDown::SetPosition(int32_t Value) {
  // While reading, the range may still come after the position: Loaded checks it.
  if (ComponentState().Contains(csLoading)) {
    FPosition = Value;
    return;
  }
  if (Value < FMin || Value > FMax) return;
  FPosition = Value;
  if (!ComponentState().Contains(csDesigning) && OnChange) OnChange(this);
}

void TkxSkinUpDown::SetMin(int32_t Value) {
  FMin = Value;
  if (FPosition < FMin && !ComponentState().Contains(csLoading)) FPosition = FMin;
}

void TkxSkinUpDown::SetMax(int32_t Value) {
  FMax = Value;
  if (FPosition > FMax && !ComponentState().Contains(csLoading)) FPosition = FMax;
}

void TkxSkinUpDown::Loaded() {
  TkxSkinCustomControl::Loaded();
  if (FPosition > FMax) FPosition = FMax;
  if (FPosition < FMin) FPosition = FMin;
}

void TkxSkinUpDown::GetSkinData() {
  TkxSkinCustomControl::GetSkinData();
  FUpDownRecord = false;
  if (FIndex != -1) {
    if (auto* r = SkinRecord<TkxDataSkinUpDownControl>()) {
      ReadArrowButtons(*r);
      // The up/down never resizes its picture: the control's own geometry is that of a fixed
      // image, whatever the record says.
      LTPt = RTPt = LBPt = RBPt = TPoint{0, 0};
      ClRect = TRect{};
      ResizeMode = GetResizeMode();
      FUpDownRecord = true;
    }
  }
  LayoutButtons();
}

void TkxSkinUpDown::CalcSkinSize(int32_t& AWidth, int32_t& AHeight) {
  if (FUseSkinSize) TkxSkinCustomControl::CalcSkinSize(AWidth, AHeight);
}

void TkxSkinUpDown::SetControlRegion() {
  if (FUseSkinSize) TkxSkinCustomControl::SetControlRegion();
}

void TkxSkinUpDown::LayoutButtons() {
  if (FIndex != -1 && FUseSkinSize && FUpDownRecord) {
    Buttons[0].R = UpButtonRect;
    Buttons[1].R = DownButtonRect;
    return;
  }
  const int32_t w = Width(), h = Height();
  if (FOrientation == udVertical) {
    Buttons[0].R = TRect{0, 0, w, h / 2};
    Buttons[1].R = TRect{0, h / 2, w, h};
  } else {
    Buttons[1].R = TRect{0, 0, w / 2, h};
    Buttons[0].R = TRect{w / 2, 0, w, h};
  }
}

void TkxSkinUpDown::StartTimer(uint32_t Interval) {
  if (!HandleAllocated()) return;
  SetTimer(Handle(), kRepeatTimer, Interval, nullptr);
  FTimerOn = true;
}

void TkxSkinUpDown::StopTimer() {
  if (FTimerOn && HandleAllocated()) KillTimer(Handle(), kRepeatTimer);
  FTimerOn = false;
}

void TkxSkinUpDown::Step(int32_t Delta) {
  // Computed wide: a step past the range is refused by the setter, never wrapped around.
  const int64_t p = int64_t(FPosition) + Delta;
  if (p < FMin || p > FMax) return;
  SetPosition(int32_t(p));
}

void TkxSkinUpDown::ButtonLeave(int32_t I) {
  Buttons[size_t(I)].MouseIn = false;
  Repaint();
  if (Buttons[size_t(I)].Down && FIncrement != 0) {
    // Paused while the pointer is off the held button; the mode resumes it on return.
    if (FTimerOn && HandleAllocated()) KillTimer(Handle(), kRepeatTimer);
    FTimerOn = false;
  }
}

void TkxSkinUpDown::ButtonEnter(int32_t I) {
  Buttons[size_t(1 - I)].MouseIn = false;
  Buttons[size_t(I)].MouseIn = true;
  Repaint();
  if (Buttons[size_t(I)].Down && FIncrement != 0) StartTimer(50);
}

void TkxSkinUpDown::TestActive(int X, int Y) {
  FOldActiveButton = FActiveButton;
  int32_t hit = -1;
  for (int32_t i = 0; i < 2 && hit == -1; ++i)
    if (IsPointInsideRect(Buttons[size_t(i)].R, TPoint{X, Y})) hit = i;
  if (FCaptureButton != -1 && hit != FCaptureButton) hit = -1;
  FActiveButton = hit;
  if (FActiveButton == FOldActiveButton) return;
  if (FOldActiveButton != -1) ButtonLeave(FOldActiveButton);
  if (FActiveButton != -1) ButtonEnter(FActiveButton);
}

void TkxSkinUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TestActive(X, Y);
  if (FActiveButton != -1) {
    const int32_t other = 1 - FActiveButton;
    Buttons[size_t(other)].MouseIn = false;
    FCaptureButton = FActiveButton;
    // Any mouse button holds the arrow, so the release comes back here wherever it happens.
    if (!MouseCapture()) SetMouseCapture(true);
    TkxUpDownButton& b = Buttons[size_t(FActiveButton)];
    b.MouseIn = b.Down = true;
    Repaint();
    if (FIncrement != 0) {
      FTimerMode = FActiveButton == 0 ? 2 : 1;
      FWaitMode = true;
      StartTimer(500);
    }
  }
  TkxSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TkxSkinUpDown::MouseMove(TShiftState Shift, int X, int Y) {
  TestActive(X, Y);
  TkxSkinCustomControl::MouseMove(Shift, X, Y);
}

void TkxSkinUpDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FCaptureButton != -1) {
    const int32_t i = FCaptureButton;
    StopTimer();
    FTimerMode = 0;
    TkxUpDownButton& b = Buttons[size_t(i)];
    b.Down = false;
    const bool over = IsPointInsideRect(b.R, TPoint{X, Y}) && FActiveButton == i;
    if (!over) b.MouseIn = false;
    Repaint();
    FCaptureButton = -1;
    if (over) {
      if (i == 0) {
        if (FIncrement != 0) Step(FIncrement);
        if (OnUpButtonClick) OnUpButtonClick(this);
      } else {
        if (FIncrement != 0) Step(-FIncrement);
        if (OnDownButtonClick) OnDownButtonClick(this);
      }
    }
    if (Button != mbLeft && MouseCapture()) SetMouseCapture(false);
  }
  TkxSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TkxSkinUpDown::ResetHover() {
  FActiveButton = -1;
  FOldActiveButton = -1;
}

void TkxSkinUpDown::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE:
      TkxSkinCustomControl::Dispatch(Message);
      LayoutButtons();
      return;
    case CM_MOUSEENTER:
      ResetHover();
      TkxSkinCustomControl::Dispatch(Message);
      return;
    case CM_MOUSELEAVE: {
      // Off the control is off the held button: the repeat pauses.
      if (FCaptureButton != -1 && FIncrement != 0 && FTimerOn && HandleAllocated()) {
        KillTimer(Handle(), kRepeatTimer);
        FTimerOn = false;
      }
      ResetHover();
      TkxSkinCustomControl::Dispatch(Message);
      bool changed = false;
      for (auto& b : Buttons)
        if (b.MouseIn) {
          b.MouseIn = false;
          changed = true;
        }
      if (changed) Repaint();
      return;
    }
    case WM_TIMER:
      TkxSkinCustomControl::Dispatch(Message);
      if (Message.WParam != kRepeatTimer) return;
      if (FTimerMode == 0) {
        StopTimer();
        return;
      }
      if (FWaitMode) {
        FWaitMode = false;
        StartTimer(100);
        return;
      }
      Step(FTimerMode == 1 ? -FIncrement : FIncrement);
      return;
    case WM_CANCELMODE:
    case CM_CANCELMODE:
      // Another control took the pointer: the held button lets go without a click.
      if (Message.Msg == CM_CANCELMODE && Message.LParam == reinterpret_cast<LPARAM>(this)) break;
      if (FCaptureButton != -1) {
        StopTimer();
        FTimerMode = 0;
        Buttons[size_t(FCaptureButton)].Down = false;
        FCaptureButton = -1;
        Repaint();
      }
      break;
    default: break;
  }
  TkxSkinCustomControl::Dispatch(Message);
}

// ---- painting ----------------------------------------------------------------------------------

int32_t TkxSkinUpDown::ArrowKind(int32_t I) const {
  if (FOrientation == udVertical) return I == 0 ? kxakUp : kxakDown;
  return I == 0 ? kxakRight : kxakLeft;
}

void TkxSkinUpDown::DrawDefaultButton(TCanvas* C, int32_t I) {
  const TkxUpDownButton& b = Buttons[size_t(I)];
  DrawPlainButtonFace(C, b.R, PlainStateOf(b.Down && b.MouseIn, b.MouseIn));
  DrawArrowImage(C, b.R, Enabled() ? kxPlain.Mark : kxPlain.DisabledMark, ArrowKind(I));
}

bool TkxSkinUpDown::DrawResizeButton(TCanvas* C, int32_t I) {
  auto* r = SkinRecordNamed<TkxDataSkinButtonControl>("resizebutton");
  if (!r) return false;
  TBitmap* pic = SkinPicture(r->PictureIndex);
  const TkxUpDownButton& b = Buttons[size_t(I)];
  TRect src = r->SkinRect;
  TColor color = r->FontColor;
  if (b.Down && b.MouseIn) {
    src = !IsEmptyRect(r->DownSkinRect) ? r->DownSkinRect : !IsEmptyRect(r->ActiveSkinRect) ? r->ActiveSkinRect : r->SkinRect;
    color = r->DownFontColor;
  } else if (b.MouseIn) {
    if (!IsEmptyRect(r->ActiveSkinRect)) src = r->ActiveSkinRect;
    color = r->ActiveFontColor;
  }
  if (!RectInPicture(src, pic)) return false;
  const int32_t w = RectWidth(b.R), h = RectHeight(b.R);
  if (w <= 0 || h <= 0) return true;
  const int32_t dw = w - RectWidth(r->SkinRect), dh = h - RectHeight(r->SkinRect);
  const TPoint nrt{r->RTPoint.x + dw, r->RTPoint.y}, nlb{r->LBPoint.x, r->LBPoint.y + dh};
  const TPoint nrb{r->RBPoint.x + dw, r->RBPoint.y + dh};
  const TRect ncl{r->ClRect.left, r->ClRect.top, r->ClRect.right + dw, r->ClRect.bottom + dh};
  TBitmap img;
  img.SetPixelFormat(pf24bit);
  BuildNinePartImage(r->LTPoint, r->RTPoint, r->LBPoint, r->RBPoint, r->ClRect, r->LTPoint, nrt, nlb, nrb, ncl, &img,
                     pic, src, w, h, true, r->LeftStretch, r->TopStretch, r->RightStretch, r->BottomStretch,
                     r->StretchEffect, r->StretchType);
  if (!img.Empty()) C->Draw(b.R.left, b.R.top, &img);
  TRect ar = b.R;
  if (b.Down && b.MouseIn) {
    ar.left += 2;
    ar.top += 2;
  }
  DrawArrowImage(C, ar, Enabled() ? color : kxPlain.DisabledMark, ArrowKind(I));
  return true;
}

void TkxSkinUpDown::CreateControlDefaultImage(TBitmap* B) {
  LayoutButtons();
  TCanvas* c = B->Canvas();
  PlainFill(c, TRect{0, 0, B->Width(), B->Height()}, kxPlain.Face);
  for (int32_t i = 0; i < 2; ++i) DrawDefaultButton(c, i);
}

void TkxSkinUpDown::CreateControlSkinImage(TBitmap* B) {
  if (!FUseSkinSize) {
    LayoutButtons();
    TCanvas* c = B->Canvas();
    PlainFill(c, TRect{0, 0, B->Width(), B->Height()}, kxPlain.Face);
    // A skin without a usable button record leaves the plain buttons.
    for (int32_t i = 0; i < 2; ++i)
      if (!DrawResizeButton(c, i)) DrawDefaultButton(c, i);
    return;
  }
  TkxSkinCustomControl::CreateControlSkinImage(B);
  if (!FUpDownRecord) return;
  const TRect pressed[2] = {DownUpButtonRect, DownDownButtonRect};
  const TRect hot[2] = {ActiveUpButtonRect, ActiveDownButtonRect};
  for (int32_t i = 0; i < 2; ++i) {
    const TkxUpDownButton& b = Buttons[size_t(i)];
    const TRect src = b.Down && b.MouseIn ? pressed[i] : b.MouseIn ? hot[i] : TRect{};
    // The normal state is the record's own picture; a rectangle the picture does not hold
    // leaves it so.
    if (!RectInPicture(src, Picture)) continue;
    B->Canvas()->CopyRect(TRect{b.R.left, b.R.top, b.R.left + RectWidth(src), b.R.top + RectHeight(src)},
                          Picture->Canvas(), src);
  }
}

// ---- form streaming ----------------------------------------------------------------------------

void RegisterSkinUpDownFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterSkinControlFormClasses();  // the bases whose properties it inherits
  RegisterFormClass<TkxSkinUpDown, TkxSkinCustomControl>("TkxSkinUpDown")
      .Boolean("UseSkinSize", &TkxSkinUpDown::SetUseSkinSize)
      .Enum<TUDOrientation>("Orientation", &TkxSkinUpDown::SetOrientation,
                            {{"udHorizontal", udHorizontal}, {"udVertical", udVertical}})
      .Integer("Increment", &TkxSkinUpDown::SetIncrement)
      .Integer("Min", &TkxSkinUpDown::SetMin)
      .Integer("Max", &TkxSkinUpDown::SetMax)
      .Integer("Position", &TkxSkinUpDown::SetPosition)
      .Event<TNotifyEvent>("OnChange", &TkxSkinUpDown::OnChange)
      .Event<TNotifyEvent>("OnUpButtonClick", &TkxSkinUpDown::OnUpButtonClick)
      .Event<TNotifyEvent>("OnDownButtonClick", &TkxSkinUpDown::OnDownButtonClick);
}
