// TApplication and TScreen: the message loop, the hidden application window, exceptions from
// handlers, the list of forms, the active form and control, cursors and monitors.
#include <algorithm>
#include <cstdio>

#include "base/MainThread.h"
#include "base/Resources.h"
#include "classlib/Forms.h"
#include "classlib/controls/ControlsInternal.h"

using namespace win;

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);

namespace controls_internal {
void HandleException(TObject* Sender, std::exception_ptr E) {
  try {
    std::rethrow_exception(E);
  } catch (const std::exception& e) {
    if (Application) Application->HandleException(Sender, e);
    else std::fprintf(stderr, "%s\n", e.what());
  } catch (...) {
    Exception e("Unknown exception");
    if (Application) Application->HandleException(Sender, e);
  }
}
}  // namespace controls_internal

// ---- TApplication -----------------------------------------------------------------------------

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FIcon(std::make_unique<TIcon>()) {
  // The application's icon is the executable's MAINICON resource.
  if (FindResource("MAINICON", TResourceKind::Icon)) {
    TResourceStream icon("MAINICON", TResourceKind::Icon);
    FIcon->LoadFromStream(icon);
  }
  SetProcessMessagesHook([this] { ProcessMessages(); });
}

TApplication::~TApplication() {
  if (Application == this) SetProcessMessagesHook(nullptr);
  if (FHandle && IsWindow(FHandle)) DestroyWindow(FHandle);
}

LRESULT TApplication::AppWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CLOSE:
      if (Application && Application->MainForm()) Application->MainForm()->Close();
      return 0;
    case WM_NCDESTROY:
      if (Application && Application->FHandle == h) Application->FHandle = nullptr;
      break;
  }
  return DefWindowProc(h, msg, w, l);
}

HWND TApplication::Handle() {
  if (FHandle && !IsWindow(FHandle)) FHandle = nullptr;
  if (!FHandle) {
    static bool registered = false;
    if (!registered) {
      WNDCLASS wc;
      wc.lpfnWndProc = AppWndProc;
      wc.lpszClassName = "TApplication";
      RegisterClass(&wc);
      registered = true;
    }
    // Hidden, and never shown: it stands for the program (owner of the forms, task bar entry).
    FHandle = CreateWindowEx(0, "TApplication", FTitle.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                             0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  }
  return FHandle;
}

void TApplication::SetTitle(const std::string& Value) {
  FTitle = Value;
  if (FHandle) SetWindowText(FHandle, Value.c_str());
}

void TApplication::SetHint(const std::string& Value) {
  if (Value == FHint) return;
  FHint = Value;
  if (OnHint) OnHint(this);
}

bool TApplication::Active() const {
  HWND a = GetActiveWindow();
  return a != nullptr;
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FMainForm) FMainForm = nullptr;
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessage(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  if (!CallMessageHandlers(Msg)) {
    TranslateMessage(&Msg);
    DispatchMessage(&Msg);
  }
  return true;
}

TApplication::TMessageHookToken TApplication::AddMessageHook(TMessageEvent Hook) {
  const TMessageHookToken token = ++FLastMessageHook;
  FMessageHooks.push_back({token, std::make_shared<const TMessageEvent>(std::move(Hook))});
  return token;
}

bool TApplication::RemoveMessageHook(TMessageHookToken Token) {
  if (Token == 0) return false;
  auto it = std::find_if(FMessageHooks.begin(), FMessageHooks.end(),
                         [Token](const TMessageHook& h) { return h.Token == Token; });
  if (it == FMessageHooks.end()) return false;
  // While a round runs, its indexes must stay: the entry is emptied and swept out later.
  if (FMessageHookRounds > 0) *it = TMessageHook{0, nullptr};
  else FMessageHooks.erase(it);
  return true;
}

bool TApplication::CallMessageHandlers(MSG& Msg) {
  bool handled = false;
  // A handler's exception goes to OnException, and the message counts as handled.
  auto call = [&](const TMessageEvent& Fn) {
    try {
      Fn(Msg, handled);
    } catch (const std::exception& e) {
      HandleException(this, e);
      handled = true;
    }
  };
  struct Round {
    TApplication* App;
    explicit Round(TApplication* A) : App(A) { ++App->FMessageHookRounds; }
    ~Round() {
      if (--App->FMessageHookRounds > 0) return;
      std::erase_if(App->FMessageHooks, [](const TMessageHook& h) { return h.Token == 0; });
    }
  } round(this);
  // Only the hooks there when the round began; each looked up afresh, as one may go meanwhile.
  const size_t count = FMessageHooks.size();
  for (size_t i = 0; i < count && !handled; ++i) {
    std::shared_ptr<const TMessageEvent> fn = FMessageHooks[i].Fn;
    if (fn && *fn) call(*fn);
  }
  if (!handled && OnMessage) {
    const TMessageEvent fn = OnMessage;  // it may replace itself while it runs
    call(fn);
  }
  return handled;
}

void TApplication::ProcessMessages() {
  MSG m;
  while (ProcessMessage(m)) {
    if (m.message == WM_QUIT) break;
  }
  ServeMainThread(0);
}

void TApplication::HandleMessage() {
  MSG m;
  if (!ProcessMessage(m)) {
    if (OnIdle) OnIdle(this);
    ServeMainThread(0);
    // Waits for input, a post, a send, a hand-over or the next timer (on a stepped clock the
    // clock moves on to it).
    if (!FTerminated) WaitMessage();
  }
}

void TApplication::Run() {
  if (FMainForm && ShowMainForm) FMainForm->Show();
  do {
    try {
      HandleMessage();
    } catch (const std::exception& e) {
      HandleException(this, e);
    }
  } while (!FTerminated);
}

void TApplication::Terminate() {
  if (FTerminated) return;
  FTerminated = true;
  PostQuitMessage(0);
}

void TApplication::Minimize() {
  if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
  SendMessage(Handle(), WM_SIZE, SIZE_MINIMIZED, 0);
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_RESTORE);
  SendMessage(Handle(), WM_SIZE, SIZE_RESTORED, 0);
  if (OnRestore) OnRestore(this);
}

void TApplication::BringToFront() {
  if (FMainForm && FMainForm->HandleAllocated()) SetForegroundWindow(FMainForm->Handle());
}

void TApplication::HandleException(TObject* Sender, const std::exception& E) {
  if (OnException) {
    try {
      OnException(Sender, E);
      return;
    } catch (const std::exception& inner) {
      ShowException(inner);
      return;
    }
  }
  ShowException(E);
}

void TApplication::ShowException(const std::exception& E) {
  std::fprintf(stderr, "%s: %s\n", FTitle.empty() ? "Exception" : FTitle.c_str(), E.what());
}

// ---- TScreen ----------------------------------------------------------------------------------

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}
TScreen::~TScreen() = default;

TCustomForm* TScreen::Forms(int Index) const {
  if (Index < 0 || Index >= FormCount()) throw EListError("Form index out of bounds (" + std::to_string(Index) + ")");
  return FForms[size_t(Index)];
}

void TScreen::AddForm(TCustomForm* Form) { FForms.push_back(Form); }

void TScreen::RemoveForm(TCustomForm* Form) {
  auto it = std::find(FForms.begin(), FForms.end(), Form);
  if (it != FForms.end()) FForms.erase(it);
  if (FActiveForm == Form) FActiveForm = nullptr;
  if (FActiveControl && GetParentForm(FActiveControl) == Form) FActiveControl = nullptr;
}

void TScreen::FormActivated(TCustomForm* Form) {
  if (Form) {
    auto it = std::find(FForms.begin(), FForms.end(), Form);
    if (it != FForms.end()) {
      FForms.erase(it);
      FForms.insert(FForms.begin(), Form);
    }
  }
  if (FActiveForm == Form) return;
  FActiveForm = Form;
  if (OnActiveFormChange) OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* Control) {
  if (FActiveControl == Control) return;
  FActiveControl = Control;
  if (OnActiveControlChange) OnActiveControlChange(this);
}

void TScreen::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  if (Value != crDefault) ::win::SetCursor(CursorHandle(Value));
  else ::win::SetCursor(CursorHandle(crArrow));
}

void TScreen::RefreshMonitors() {
  FMonitors.clear();
  struct Ctx {
    std::vector<std::unique_ptr<TMonitor>>* out;
  } ctx{&FMonitors};
  // Walk the monitors by probing the virtual screen from the primary one outward.
  int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  int vw = GetSystemMetrics(SM_CXVIRTUALSCREEN), vh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  int n = std::max(1, GetSystemMetrics(SM_CMONITORS));
  std::vector<HMONITOR> seen;
  auto add = [&](HMONITOR m) {
    if (!m || std::find(seen.begin(), seen.end(), m) != seen.end()) return;
    seen.push_back(m);
    MONITORINFO mi;
    if (!GetMonitorInfo(m, &mi)) return;
    auto mon = std::make_unique<TMonitor>();
    mon->Handle = m;
    mon->BoundsRect = mi.rcMonitor;
    mon->WorkareaRect = mi.rcWork;
    mon->Primary = (mi.dwFlags & MONITORINFOF_PRIMARY) != 0;
    mon->MonitorNum = int(ctx.out->size());
    ctx.out->push_back(std::move(mon));
  };
  add(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
  for (int y = vy; y < vy + vh && int(seen.size()) < n; y += 64)
    for (int x = vx; x < vx + vw && int(seen.size()) < n; x += 64) add(MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONULL));
}

int TScreen::MonitorCount() {
  RefreshMonitors();
  return int(FMonitors.size());
}

TMonitor* TScreen::Monitors(int Index) {
  RefreshMonitors();
  if (Index < 0 || Index >= int(FMonitors.size()))
    throw EListError("Monitor index out of bounds (" + std::to_string(Index) + ")");
  return FMonitors[size_t(Index)].get();
}

TMonitor* TScreen::MonitorFromWindow(HWND Handle) {
  HMONITOR m = ::win::MonitorFromWindow(Handle, MONITOR_DEFAULTTONEAREST);
  RefreshMonitors();
  for (auto& mon : FMonitors)
    if (mon->Handle == m) return mon.get();
  return FMonitors.empty() ? nullptr : FMonitors.front().get();
}

TRect TScreen::WorkAreaRect() {
  RECT r{};
  if (!SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0)) r = TRect{0, 0, Width(), Height()};
  return r;
}

int32_t TScreen::Width() { return GetSystemMetrics(SM_CXSCREEN); }
int32_t TScreen::Height() { return GetSystemMetrics(SM_CYSCREEN); }
