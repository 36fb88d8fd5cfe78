// The timer, the panel, the bevel and the image.
#include "classlib/ExtCtrls.h"

#include <algorithm>

#include "classlib/Forms.h"
#include "classlib/controls/ControlsInternal.h"

using namespace win;

// ---- TTimer -----------------------------------------------------------------------------------

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { UpdateTimer(); }

TTimer::~TTimer() {
  FEnabled = false;
  if (FWindow && IsWindow(FWindow)) {
    SetWindowLongPtr(FWindow, GWLP_USERDATA, 0);
    DestroyWindow(FWindow);
  }
  FWindow = nullptr;
}

LRESULT TTimer::TimerWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* t = reinterpret_cast<TTimer*>(GetWindowLongPtr(h, GWLP_USERDATA));
  if (t && msg == WM_TIMER) {
    try {
      t->Timer();
    } catch (...) {
      controls_internal::HandleException(t, std::current_exception());
    }
    return 0;
  }
  if (t && msg == WM_NCDESTROY) {
    t->FWindow = nullptr;
    t->FRunning = false;
  }
  return DefWindowProc(h, msg, w, l);
}

void TTimer::UpdateTimer() {
  if (FRunning && FWindow) KillTimer(FWindow, 1);
  FRunning = false;
  if (!FEnabled || FInterval == 0) return;
  if (!FWindow || !IsWindow(FWindow)) {
    static bool registered = false;
    if (!registered) {
      WNDCLASS wc;
      wc.lpfnWndProc = TimerWndProc;
      wc.lpszClassName = "TTimerWindow";
      RegisterClass(&wc);
      registered = true;
    }
    FWindow = CreateWindowEx(0, "TTimerWindow", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (!FWindow) throw EOutOfResources("Not enough timers available");
    SetWindowLongPtr(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  if (!SetTimer(FWindow, 1, FInterval, nullptr)) throw EOutOfResources("Not enough timers available");
  FRunning = true;
}

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(uint32_t Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
  OnTimer = std::move(Value);
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::Timer() {
  if (FEnabled && OnTimer) OnTimer(this);
}

// ---- TCustomPanel -----------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                csDoubleClicks, csReplicatable};
  FWidth = 185;
  FHeight = 41;
  FParentColor = false;
  FColor = clBtnFace;
  FBrush->SetColor(FColor);
}

void TCustomPanel::Changed() {
  Realign();
  Invalidate();
}
void TCustomPanel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}
void TCustomPanel::SetBevelInner(TBevelCut Value) {
  FBevelInner = Value;
  Changed();
}
void TCustomPanel::SetBevelOuter(TBevelCut Value) {
  FBevelOuter = Value;
  Changed();
}
void TCustomPanel::SetBevelWidth(int32_t Value) {
  FBevelWidth = std::max(1, Value);
  Changed();
}
void TCustomPanel::SetBorderWidth(int32_t Value) {
  FBorderWidth = std::max(0, Value);
  Changed();
}
void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  FBorderStyle = Value == bsNone ? bsNone : bsSingle;
  Changed();
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  int32_t inset = FBorderWidth + (FBorderStyle == bsSingle ? 1 : 0);
  if (FBevelOuter != bvNone) inset += FBevelWidth;
  if (FBevelInner != bvNone) inset += FBevelWidth;
  InflateRect(&Rect, -inset, -inset);
}

void TCustomPanel::Paint() {
  TCanvas* cv = Canvas();
  TRect r = ClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    TColor top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
    TColor bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
    if (cut == bvSpace) top = bottom = FColor;
    Frame3D(cv, r, top, bottom, FBevelWidth);
  };
  if (FBorderStyle == bsSingle) {
    cv->Brush()->SetColor(clWindowFrame);
    cv->FrameRect(r);
    InflateRect(&r, -1, -1);
  }
  bevel(FBevelOuter);
  if (FBorderWidth > 0) Frame3D(cv, r, FColor, FColor, FBorderWidth);
  bevel(FBevelInner);
  cv->Brush()->SetColor(FColor);
  cv->FillRect(r);
  std::string text = Caption();
  if (!text.empty()) {
    cv->Brush()->SetStyle(bsClear);
    cv->Font()->SetColor(FEnabled ? FFont->Color() : clGrayText);
    cv->TextExtent(" ");
    SetBkMode(cv->Handle(), TRANSPARENT);
    UINT flags = DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS;
    flags |= FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
    DrawText(cv->Handle(), text, &r, flags);
    cv->Brush()->SetStyle(bsSolid);
  }
}

void TCustomPanel::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_TEXTCHANGED) Invalidate();
  TCustomControl::Dispatch(Message);
}

// ---- TBevel -----------------------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle.Include(csReplicatable);
  FWidth = 50;
  FHeight = 50;
}

void TBevel::SetShape(TBevelShape Value) {
  FShape = Value;
  Invalidate();
}
void TBevel::SetStyle(TBevelStyle Value) {
  FStyle = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* cv = Canvas();
  TColor c1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor c2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  int32_t w = FWidth, h = FHeight;
  auto line = [&](TColor c, int x1, int y1, int x2, int y2) {
    cv->Pen()->SetColor(c);
    cv->MoveTo(x1, y1);
    cv->LineTo(x2, y2);
  };
  TRect r{0, 0, w, h};
  switch (FShape) {
    case bsBox: Frame3D(cv, r, c1, c2, 1); break;
    case bsFrame: {
      TRect a{0, 0, w - 1, h - 1}, b{1, 1, w, h};
      Frame3D(cv, a, c1, c1, 1);
      Frame3D(cv, b, c2, c2, 1);
      break;
    }
    case bsTopLine: line(c1, 0, 0, w, 0); line(c2, 0, 1, w, 1); break;
    case bsBottomLine: line(c1, 0, h - 2, w, h - 2); line(c2, 0, h - 1, w, h - 1); break;
    case bsLeftLine: line(c1, 0, 0, 0, h); line(c2, 1, 0, 1, h); break;
    case bsRightLine: line(c1, w - 2, 0, w - 2, h); line(c2, w - 1, 0, w - 1, h); break;
    case bsSpacer: break;
  }
}

// ---- TImage -----------------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
  FControlStyle.Include(csReplicatable);
  FWidth = 105;
  FHeight = 105;
  FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

void TImage::PictureChanged() {
  AdjustSize();
  Invalidate();
}
void TImage::SetStretch(bool Value) {
  FStretch = Value;
  Invalidate();
}
void TImage::SetCenter(bool Value) {
  FCenter = Value;
  Invalidate();
}
void TImage::SetProportional(bool Value) {
  FProportional = Value;
  Invalidate();
}
void TImage::SetTransparent(bool Value) {
  FTransparent = Value;
  if (FPicture->Graphic()) FPicture->Graphic()->SetTransparent(Value);
  Invalidate();
}

TRect TImage::DestRect() {
  int32_t w = FPicture->Width(), h = FPicture->Height();
  int32_t cw = FWidth, ch = FHeight;
  if (w <= 0 || h <= 0) return TRect{0, 0, 0, 0};
  if (FStretch || (FProportional && (w > cw || h > ch))) {
    if (FProportional) {
      // Scale to fit while keeping the picture's shape (64-bit: no overflow on large pictures).
      if (int64_t(cw) * h > int64_t(ch) * w) {
        w = int32_t(int64_t(ch) * w / h);
        h = ch;
      } else {
        h = int32_t(int64_t(cw) * h / w);
        w = cw;
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r{0, 0, w, h};
  if (FCenter) OffsetRect(&r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* g = FPicture->Graphic();
  if (!g || g->Empty()) return;
  Canvas()->StretchDraw(DestRect(), g);
}

bool TImage::CanAutoSize(int32_t& NewWidth, int32_t& NewHeight) {
  if (FPicture->Width() <= 0 || FPicture->Height() <= 0) return false;
  NewWidth = FPicture->Width();
  NewHeight = FPicture->Height();
  return true;
}
