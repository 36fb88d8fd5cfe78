// The hint window and the application's hint timing: the pointer rests on a control with a hint
// for HintPause, the control and Application.OnShowHint may change or refuse the hint, the
// window shows it below the pointer and hides it after HintHidePause; moving on to another
// control while a hint is up shows that control's hint after HintShortPause. A press, a key or
// leaving the program's windows ends the hint. The timing runs on a TTimer, so on the
// program's clock (the stepped clock in tests).
#include <algorithm>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Hints.h"

using namespace win;

// ---- short and long hints ---------------------------------------------------------------------

std::string GetShortHint(const std::string& Hint) {
  size_t bar = Hint.find('|');
  return bar == std::string::npos ? Hint : Hint.substr(0, bar);
}

std::string GetLongHint(const std::string& Hint) {
  size_t bar = Hint.find('|');
  return bar == std::string::npos ? Hint : Hint.substr(bar + 1);
}

int32_t GetCursorHeightMargin() {
  // The arrow's visible shape ends about five eighths down its cell below the hot spot.
  return std::max(1, GetSystemMetrics(SM_CYCURSOR) * 5 / 8);
}

THintWindowClass& HintWindowClass() {
  static THintWindowClass cls = HintWindowClassOf<THintWindow>();
  return cls;
}

// ---- THintWindow ------------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clInfoBk);
  Font()->SetColor(clInfoText);
  FControlStyle.Exclude(csCaptureMouse);
}

THintWindow::~THintWindow() = default;

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  // Never activated, on top, and transparent to the pointer: a press reaches what lies beneath.
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;
  Params.WndParent = nullptr;
  Params.WindowClass.style |= CS_SAVEBITS | CS_DROPSHADOW;
}

void THintWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCHITTEST: Message.Result = HTTRANSPARENT; return;
    case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; return;
    default: TCustomControl::Dispatch(Message); return;
  }
}

void THintWindow::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  r.left += 2;
  r.top += 2;
  r.right -= 2;
  r.bottom -= 2;
  c->Font()->Assign(Font());
  HDC dc = c->Handle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Font()->Color()));
  std::string text = Caption();
  DrawText(dc, text, &r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

TRect THintWindow::CalcHintRect(int32_t MaxWidth, const std::string& AHint, void*) {
  TRect r{0, 0, std::max(1, MaxWidth), 0};
  if (AHint.empty()) return TRect{0, 0, 6, 6};
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  DrawText(c->Handle(), AHint, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  // Two pixels of room on every side of the text and the one-pixel frame.
  return TRect{0, 0, r.right - r.left + 6, r.bottom - r.top + 6};
}

void THintWindow::ActivateHint(TRect Rect, const std::string& AHint) {
  SetCaption(AHint);
  HWND h = Handle();
  SetBounds(Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top);
  SetWindowPos(h, HWND_TOPMOST, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top,
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
  Update();
}

void THintWindow::ActivateHintData(TRect Rect, const std::string& AHint, void*) { ActivateHint(Rect, AHint); }

bool THintWindow::IsHintMsg(const MSG& Msg) {
  UINT m = Msg.message;
  if (m >= WM_KEYFIRST && m <= WM_KEYLAST) return true;
  switch (m) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN:
    case WM_MOUSEWHEEL: case WM_ACTIVATE: case WM_ACTIVATEAPP: case WM_CANCELMODE:
    case CM_ACTIVATE: case CM_DEACTIVATE:
      return true;
    default: return false;
  }
}

void THintWindow::ReleaseHandle() { DestroyHandle(); }

bool THintWindow::IsShowing() { return HandleAllocated() && IsWindowVisible(FHandle); }

// ---- the timing -------------------------------------------------------------------------------

class THintEngine : public TComponent {
public:
  explicit THintEngine(TComponent* AOwner) : TComponent(AOwner) {}

  THintWindow* Window = nullptr;  // owned by this engine
  TControl* HintControl = nullptr;
  TRect CursorRect{};  // screen coordinates
  bool HintActive = false;  // a hint is up (or was put up and not yet hidden)

  THintWindow* EnsureWindow(TColor Color) {
    if (!Window) {
      const THintWindowClass& cls = HintWindowClass();
      Window = cls ? cls(this) : nullptr;
      if (!Window) Window = new THintWindow(this);  // a class that made nothing: the plain one
      Window->FreeNotification(this);
      Window->SetColor(Color);
    }
    return Window;
  }
  void FreeWindow() {
    THintWindow* w = Window;
    Window = nullptr;
    delete w;
  }

  enum class TimerKind { None, Show, Hide };
  void Start(TimerKind Kind, int32_t Ms) {
    if (!FTimer) {
      FTimer = new TTimer(this);
      FTimer->SetEnabled(false);
      FTimer->OnTimer = [this](TObject*) { Expired(); };
    }
    FTimer->SetEnabled(false);
    FKind = Kind;
    FTimer->SetInterval(uint32_t(std::max(1, Ms)));
    FTimer->SetEnabled(true);
  }
  void Stop() {
    FKind = TimerKind::None;
    if (FTimer) FTimer->SetEnabled(false);
  }
  bool Busy() const { return HintControl != nullptr || HintActive; }

  void SetHintControl(TControl* Control) {
    if (HintControl == Control) return;
    if (HintControl) HintControl->RemoveFreeNotification(this);
    HintControl = Control;
    if (Control) Control->FreeNotification(this);
  }

  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == Window) Window = nullptr;
    if (AComponent == HintControl) {
      HintControl = nullptr;
      Stop();
      HintActive = false;
      if (Window && Window->IsShowing()) Window->ReleaseHandle();
    }
    if (AComponent == FTimer) FTimer = nullptr;
  }

private:
  void Expired() {
    TimerKind k = FKind;
    Stop();
    if (!Application) return;
    if (k == TimerKind::Show) {
      POINT p{};
      GetCursorPos(&p);
      Application->ActivateHint(p);
    } else if (k == TimerKind::Hide) {
      Application->HideHint();
      HintActive = false;
    }
  }

  TTimer* FTimer = nullptr;
  TimerKind FKind = TimerKind::None;
};

namespace {

// The control that shows a hint for Control: itself or the nearest parent with ShowHint.
TControl* GetHintControl(TControl* Control) {
  TControl* c = Control;
  while (c && !c->ShowHint()) c = c->Parent();
  if (c && c->ComponentState().Contains(csDesigning)) return nullptr;
  return c;
}

// A control's hint, or its nearest parent's when its own is empty.
std::string GetHint(TControl* Control) {
  for (TControl* c = Control; c; c = c->Parent())
    if (!c->Hint().empty()) return c->Hint();
  return std::string();
}

TRect ScreenBounds(TControl* Control, TRect ClientR) {
  TPoint o = Control->ClientToScreen(TPoint{0, 0});
  return TRect{ClientR.left + o.x, ClientR.top + o.y, ClientR.right + o.x, ClientR.bottom + o.y};
}

}  // namespace

THintEngine* TApplication::Hints() {
  if (!FHintEngine) FHintEngine = new THintEngine(this);
  return FHintEngine;
}

THintWindow* TApplication::HintWindow() const { return FHintEngine ? FHintEngine->Window : nullptr; }

void TApplication::SetShowHint(bool Value) {
  if (Value == FShowHint) return;
  FShowHint = Value;
  if (Value) {
    Hints()->EnsureWindow(FHintColor);
  } else {
    CancelHint();
    if (FHintEngine) FHintEngine->FreeWindow();
  }
}

void TApplication::SetHintColor(TColor Value) {
  FHintColor = Value;
  if (THintWindow* w = HintWindow()) {
    w->SetColor(Value);
    if (w->IsShowing()) w->Invalidate();
  }
}

void TApplication::HideHint() {
  THintWindow* w = HintWindow();
  if (w && w->IsShowing()) w->ReleaseHandle();
}

void TApplication::CancelHint() {
  if (!FHintEngine) return;
  FHintEngine->Stop();
  HideHint();
  FHintEngine->HintActive = false;
  FHintEngine->SetHintControl(nullptr);
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
  if (!Control) return;
  TPoint p = Control->ClientToScreen(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
  TControl* under = FindDragTarget(p, true);
  SetHint(GetLongHint(GetHint(under)));
  // No hint while a button is held (a drag, a thumb being moved).
  bool held = (Message.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
  TControl* hintControl = held || !FShowHint ? nullptr : GetHintControl(under);
  if (!hintControl) {
    CancelHint();
    return;
  }
  THintEngine* e = Hints();
  if (hintControl == e->HintControl && PtInRect(&e->CursorRect, p)) return;
  bool wasActive = e->HintActive && HintWindow() && HintWindow()->IsShowing();
  CancelHint();
  e->EnsureWindow(FHintColor);
  e->SetHintControl(hintControl);
  e->CursorRect = ScreenBounds(hintControl, hintControl->ClientRect());
  e->Start(THintEngine::TimerKind::Show, wasActive ? HintShortPause : HintPause);
}

void TApplication::ActivateHint(TPoint CursorPos) {
  THintEngine* e = Hints();
  TControl* hc = e->HintControl;
  if (!hc || !FShowHint) return;
  // The pointer may have left the control (or the program's windows) without a move reported.
  if (GetHintControl(FindDragTarget(CursorPos, true)) != hc) {
    CancelHint();
    return;
  }
  THintInfo info;
  info.HintControl = hc;
  info.HintPos = TPoint{CursorPos.x, CursorPos.y + GetCursorHeightMargin()};
  info.HintMaxWidth = Screen ? Screen->Width() : 1024;
  info.HintColor = FHintColor;
  info.CursorRect = hc->ClientRect();
  info.CursorPos = hc->ScreenToClient(CursorPos);
  info.ReshowTimeout = 0;
  info.HideTimeout = HintHidePause;
  info.HintStr = GetShortHint(GetHint(hc));
  bool canShow = hc->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  if (e->HintControl != hc) return;  // the control went away meanwhile
  if (canShow && OnShowHint) {
    OnShowHint(info.HintStr, canShow, info);
    if (e->HintControl != hc) return;
  }
  e->CursorRect = ScreenBounds(hc, info.CursorRect);
  e->HintActive = canShow && !info.HintStr.empty();
  if (!e->HintActive) {
    HideHint();
    if (info.ReshowTimeout > 0) e->Start(THintEngine::TimerKind::Show, info.ReshowTimeout);
    return;
  }
  THintWindow* w = e->EnsureWindow(FHintColor);
  TRect r = w->CalcHintRect(std::max(1, info.HintMaxWidth), info.HintStr, info.HintData);
  int32_t width = r.right - r.left, height = r.bottom - r.top;
  r = TRect{info.HintPos.x, info.HintPos.y, info.HintPos.x + width, info.HintPos.y + height};
  // Keep the hint on the work area of the pointer's monitor: left of the right edge, above the
  // pointer when there is no room below, and never past the left or top edge.
  MONITORINFO mi;
  TRect wa = Screen ? Screen->WorkAreaRect() : TRect{0, 0, 1024, 768};
  if (GetMonitorInfo(MonitorFromPoint(CursorPos, MONITOR_DEFAULTTONEAREST), &mi)) wa = mi.rcWork;
  if (r.right > wa.right) OffsetRect(&r, wa.right - r.right, 0);
  if (r.bottom > wa.bottom) OffsetRect(&r, 0, CursorPos.y - height - 2 - r.top);
  if (r.left < wa.left) OffsetRect(&r, wa.left - r.left, 0);
  if (r.top < wa.top) OffsetRect(&r, 0, wa.top - r.top);
  if (w->Color() != info.HintColor) w->SetColor(info.HintColor);
  w->ActivateHintData(r, info.HintStr, info.HintData);
  if (e->HintControl != hc) return;
  if (info.ReshowTimeout > 0) e->Start(THintEngine::TimerKind::Show, info.ReshowTimeout);
  else if (info.HideTimeout > 0) e->Start(THintEngine::TimerKind::Hide, info.HideTimeout);
}

void HintMessageHook(TControl* Control, const TMessage& Message) {
  if (!Application) return;
  UINT m = Message.Msg;
  if (m == WM_MOUSEMOVE) {
    if (dynamic_cast<THintWindow*>(Control)) return;
    TMessage copy = Message;
    Application->HintMouseMessage(Control, copy);
    return;
  }
  THintWindow* w = Application->HintWindow();
  if (!w) return;
  if (m == WM_MOUSELEAVE) {
    // Out of this window: the end of the hint unless the pointer went to another of ours.
    POINT p{};
    GetCursorPos(&p);
    if (!FindDragTarget(p, true)) Application->CancelHint();
    return;
  }
  MSG msg{};
  msg.message = m;
  msg.wParam = Message.WParam;
  msg.lParam = Message.LParam;
  if (w->IsHintMsg(msg)) Application->CancelHint();
}
