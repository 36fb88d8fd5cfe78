// The tray icon component: the shell calls, the hidden notification window, the click timing,
// the popup menu, cycling, balloons, and the hooks on the application and owner windows.
#include "lib/forms/kxTrayIcon.h"

#include <algorithm>
#include <map>
#include <vector>

#include "base/Text.h"
#include "classlib/Forms.h"
#include "classlib/Streaming.h"
#include "classlib/UtilWindow.h"
#include "lib/forms/kxSkinMenus.h"
#include "lib/forms/kxVelara.h"

using namespace win;

namespace {

constexpr intptr_t kTrayHiddenTag = -10000;  // the skinned form reads it as "hidden by the tray"
constexpr UINT kWmUserChanged = 0x54;
constexpr UINT kTipChars = 127, kInfoChars = 255, kInfoTitleChars = 63;

UINT TaskbarCreatedMessage() {
  static const UINT msg = RegisterWindowMessage("TaskbarCreated");
  return msg;
}

}  // namespace

// ---- window hooks -------------------------------------------------------------------------------
// Several icons may hook one window and come off in any order: each window gets one procedure of
// ours that lets every hooking icon look at the message, then chains to the procedure it replaced.
// The last icon to leave puts that procedure back, unless someone subclassed the window after us
// (then ours stays, passing everything on).
struct TrayHooks {
  struct Chain {
    WNDPROC Old = nullptr;
    std::vector<TkxTrayIcon*> Icons;
  };
  static std::map<HWND, Chain>& App() {
    static auto* m = new std::map<HWND, Chain>;
    return *m;
  }
  static std::map<HWND, Chain>& Owner() {
    static auto* m = new std::map<HWND, Chain>;
    return *m;
  }
  template <bool IsApp>
  static LRESULT Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    auto& map = IsApp ? App() : Owner();
    auto it = map.find(h);
    if (it == map.end()) return DefWindowProc(h, msg, w, l);
    const WNDPROC old = it->second.Old;
    const std::vector<TkxTrayIcon*> icons = it->second.Icons;  // an icon may go meanwhile
    for (TkxTrayIcon* icon : icons) {
      auto now = map.find(h);
      if (now == map.end()) break;
      if (std::find(now->second.Icons.begin(), now->second.Icons.end(), icon) == now->second.Icons.end()) continue;
      if (IsApp) icon->AppWindowProc(msg, w, l);
      else icon->OwnerWindowProc(msg, w, l);
    }
    if (msg == WM_NCDESTROY) map.erase(h);
    return old ? CallWindowProc(old, h, msg, w, l) : DefWindowProc(h, msg, w, l);
  }
  template <bool IsApp>
  static void Hook(HWND h, TkxTrayIcon* icon) {
    if (!h || !IsWindow(h)) return;
    auto& map = IsApp ? App() : Owner();
    auto it = map.find(h);
    if (it == map.end()) {
      Chain c;
      c.Old = reinterpret_cast<WNDPROC>(SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc<IsApp>)));
      it = map.emplace(h, std::move(c)).first;
    }
    it->second.Icons.push_back(icon);
  }
  template <bool IsApp>
  static void Unhook(HWND h, TkxTrayIcon* icon) {
    auto& map = IsApp ? App() : Owner();
    auto it = map.find(h);
    if (it == map.end()) return;
    std::erase(it->second.Icons, icon);
    if (!it->second.Icons.empty()) return;
    if (IsWindow(h) &&
        GetWindowLongPtr(h, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Proc<IsApp>)) {
      SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.Old));
      map.erase(it);
    }
  }
};

// ---- creation and destruction ---------------------------------------------------------------------

TkxTrayIcon::TkxTrayIcon(TComponent* AOwner) : TComponent(AOwner), FIcon(std::make_unique<TIcon>()) {
  TaskbarCreatedMessage();
  IconData.hWnd = AllocateHWnd([this](TMessage& M) { TrayWindowProc(M); });
  IconData.uID = 1;
  IconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  IconData.uCallbackMessage = KXM_TRAYICONNOTIFY;
  FWindowHandle = reinterpret_cast<HWND>(GetWindowLongPtr(IconData.hWnd, GWLP_HWNDPARENT));
  AnimateTimer = new TTimer(this);
  AnimateTimer->SetEnabled(false);
  AnimateTimer->SetInterval(FAnimateTimerInterval);
  AnimateTimer->SetOnTimer([this](TObject* S) { AnimateTick(S); });
  ClickTimer = new TTimer(this);
  ClickTimer->SetEnabled(false);
  ClickTimer->SetInterval(GetDoubleClickTime());
  ClickTimer->SetOnTimer([this](TObject* S) { ClickTimerTick(S); });
  if (!Designing()) {
    if (FIcon->Empty() && UseApplicationIcon() && Application && !Application->Icon()->Empty())
      FIcon->Assign(Application->Icon());
    HookAppWindow();
    if (WindowedOwner()) HookOwnerWindow();
  }
}

TkxTrayIcon::~TkxTrayIcon() {
  SetIconVisible(false);
  SetDesignPreview(false);
  DeallocateHWnd(IconData.hWnd);
  IconData.hWnd = nullptr;
  // The timers are owned components, freed with the rest; they must not tick into a half-gone icon.
  AnimateTimer->SetEnabled(false);
  ClickTimer->SetEnabled(false);
  if (!Designing()) {
    UnhookAppWindow();
    UnhookOwnerWindow();
  }
}

void TkxTrayIcon::Loaded() {
  TComponent::Loaded();
  if (WindowedOwner() && MinimizedOnStart && !Designing()) {
    FIconVisible = true;
    MinimizeToTray = true;
    if (Application) {
      Application->ShowMainForm = false;
      ShowWindow(Application->Handle(), SW_HIDE);
    }
  }
  ModifyIcon();
  SetIconVisible(FIconVisible);
}

void TkxTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FIconList) {
    FIconList = nullptr;
    SetCycleIcons(FCycleIcons);
  }
  if (AComponent == FPopupMenu) FPopupMenu = nullptr;
}

TWinControl* TkxTrayIcon::WindowedOwner() const { return dynamic_cast<TWinControl*>(Owner()); }

// ---- properties -----------------------------------------------------------------------------------

void TkxTrayIcon::SetDesignPreview(bool Value) {
  FDesignPreview = Value;
  SettingPreview = true;
  SetIconVisible(Value);
  SettingPreview = false;
}

void TkxTrayIcon::SetIconList(TCustomImageList* Value) {
  FIconList = Value;
  if (FIconList) FIconList->FreeNotification(this);
  SetIconIndex(0);
}

void TkxTrayIcon::SetCycleIcons(bool Value) {
  FCycleIcons = Value;
  if (Value) SetIconIndex(0);
  AnimateTimer->SetEnabled(Value);
}

void TkxTrayIcon::SetAnimateTimerInterval(uint32_t Value) {
  FAnimateTimerInterval = Value;
  AnimateTimer->SetInterval(Value);
}

void TkxTrayIcon::SetHint(const std::string& Value) {
  FHint = Value;
  ModifyIcon();
}

void TkxTrayIcon::SetShowHint(bool Value) {
  FShowHint = Value;
  ModifyIcon();
}

void TkxTrayIcon::SetIcon(TIcon* Value) {
  FIcon->Assign(Value);
  ModifyIcon();
}

void TkxTrayIcon::SetIconVisible(bool Value) {
  if (Value) AddIcon();
  else DeleteIcon();
}

void TkxTrayIcon::SetIconIndex(int32_t Value) {
  // An empty list keeps index 0 and leaves the icon as it is.
  if (FIconList && FIconList->Count() > 0) {
    FIconIndex = std::clamp(Value, 0, FIconList->Count() - 1);
    FIconList->GetIcon(FIconIndex, FIcon.get());
  } else {
    FIconIndex = 0;
  }
  ModifyIcon();
}

void TkxTrayIcon::SetPopupMenu(TkxSkinPopupMenu* Value) {
  FPopupMenu = Value;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

// ---- shell calls ------------------------------------------------------------------------------------

bool TkxTrayIcon::FillIconData() {
  if (Designing() && !SettingPreview && !FDesignPreview) return false;
  IconData.hIcon = FIcon->Handle();
  IconData.szTip = !FHint.empty() && FShowHint ? Utf8Left(FHint, kTipChars) : std::string();
  return true;
}

bool TkxTrayIcon::AddIcon() {
  if (!SettingPreview) FIconVisible = true;
  if ((!Designing() || SettingPreview) && FillIconData()) return Shell_NotifyIcon(NIM_ADD, &IconData) != FALSE;
  return false;
}

bool TkxTrayIcon::DeleteIcon() {
  if (!SettingPreview) FIconVisible = false;
  if ((!Designing() || SettingPreview) && FillIconData()) return Shell_NotifyIcon(NIM_DELETE, &IconData) != FALSE;
  return false;
}

bool TkxTrayIcon::ModifyIcon() {
  if (!FillIconData()) return false;
  return Shell_NotifyIcon(NIM_MODIFY, &IconData) != FALSE;
}

bool TkxTrayIcon::BitmapToIcon(TBitmap* Bitmap, TIcon* Icon, TColor MaskColor) {
  std::unique_ptr<TCustomImageList> list(TCustomImageList::CreateSize(16, 16));
  list->AddMasked(Bitmap, MaskColor);
  list->GetIcon(0, Icon);
  return true;
}

bool TkxTrayIcon::ShowBalloonHint(const std::string& Title, const std::string& Text, TkxBalloonHintIcon IconType) {
  HideBalloonHint();
  IconData.uFlags |= NIF_INFO;
  IconData.szInfo = Utf8Left(Text, kInfoChars);
  IconData.szInfoTitle = Utf8Left(Title, kInfoTitleChars);
  IconData.dwInfoFlags = DWORD(IconType);
  const bool result = ModifyIcon();
  IconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  return result;
}

bool TkxTrayIcon::HideBalloonHint() {
  IconData.uFlags |= NIF_INFO;
  IconData.szInfo.clear();
  return ModifyIcon();
}

// ---- the main form ----------------------------------------------------------------------------------
// The application window stands for the program but is never shown on this platform (the forms
// carry their own task-bar entries), so it is not restored or brought to the front here.

void TkxTrayIcon::ShowMainForm() {
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  if (!WindowedOwner() || !main) return;
  main->SetVisible(true);
  if (main->WindowState() == wsMinimized) main->SetWindowState(wsNormal);
  main->SetTag(kTrayHiddenTag);
  PostMessage(main->Handle(), KXM_SHOWMAINFORM, 0, 0);
}

void TkxTrayIcon::HideMainForm() {
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  if (!WindowedOwner() || !main) return;
  main->SetVisible(false);
  ShowWindow(Application->Handle(), SW_HIDE);
  main->SetTag(kTrayHiddenTag);
}

// ---- events -----------------------------------------------------------------------------------------

void TkxTrayIcon::DoClick() {
  if (OnClick) OnClick(this);
}
void TkxTrayIcon::DoDblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TkxTrayIcon::DoCycle(int32_t NextIndex) {
  if (OnCycle) OnCycle(this, NextIndex);
}
void TkxTrayIcon::DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TkxTrayIcon::DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
void TkxTrayIcon::DoMouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TkxTrayIcon::DoMinimizeToTray() {
  HideMainForm();
  SetIconVisible(true);
}

// ---- the notification window --------------------------------------------------------------------------

void TkxTrayIcon::TrayWindowProc(TMessage& Message) {
  if (Message.Msg != KXM_TRAYICONNOTIFY) {
    switch (Message.Msg) {
      case WM_DESTROY: case WM_CLOSE: case WM_QUERYENDSESSION: case WM_QUIT: case kWmUserChanged: case WM_NCDESTROY:
        Message.Result = 1;
        return;
    }
    Message.Result = DefWindowProc(IconData.hWnd, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  if (!Enabled) return;
  TShiftState shift;
  if (GetAsyncKeyState(VK_SHIFT) & 0x8000) shift.Include(ssShift);
  if (GetAsyncKeyState(VK_CONTROL) & 0x8000) shift.Include(ssCtrl);
  if (GetAsyncKeyState(VK_MENU) & 0x8000) shift.Include(ssAlt);
  POINT p{};
  GetCursorPos(&p);
  auto with = [&](TShiftStateItem s) {
    TShiftState r = shift;
    r.Include(s);
    return r;
  };
  switch (UINT(Message.LParam)) {
    case WM_MOUSEMOVE: DoMouseMove(shift, p.x, p.y); break;
    case WM_LBUTTONDOWN:
      // The double-click time runs afresh from each press.
      ClickTimer->SetEnabled(false);
      ClickTimer->SetEnabled(true);
      DoMouseDown(mbLeft, with(ssLeft), p.x, p.y);
      FClickStart = true;
      if (PopupByLeftButton) PopupAtCursor();
      break;
    case WM_LBUTTONUP:
      if (FClickStart) {
        FClickReady = true;
        if (!ClickTimer->Enabled()) {
          FClickStart = false;
          FClickReady = false;
          DoClick();
        }
      }
      FClickStart = false;
      DoMouseUp(mbLeft, with(ssLeft), p.x, p.y);
      break;
    case WM_LBUTTONDBLCLK:
      FClickReady = false;
      IsDblClick = true;
      DoDblClick();
      if (FPopupMenu && FPopupMenu->AutoPopup() && !PopupByLeftButton) {
        TMenuItem* items = FPopupMenu->Items();
        for (int i = 0; i < items->Count(); ++i)
          if (items->Items(i)->Default()) {
            items->Items(i)->Click();
            break;
          }
      }
      break;
    case WM_RBUTTONDOWN:
      DoMouseDown(mbRight, with(ssRight), p.x, p.y);
      PopupAtCursor();
      break;
    case WM_RBUTTONUP: DoMouseUp(mbRight, with(ssRight), p.x, p.y); break;
    case WM_MBUTTONDOWN: DoMouseDown(mbMiddle, with(ssMiddle), p.x, p.y); break;
    case WM_MBUTTONUP: DoMouseUp(mbMiddle, with(ssMiddle), p.x, p.y); break;
    case NIN_BALLOONUSERCLICK:
      if (OnBalloonHintClick) OnBalloonHintClick(this);
      break;
    default: break;
  }
}

void TkxTrayIcon::ClickTimerTick(TObject*) {
  ClickTimer->SetEnabled(false);
  if (!IsDblClick && FClickReady) {
    FClickReady = false;
    DoClick();
  }
  IsDblClick = false;
}

void TkxTrayIcon::PopupAtCursor() {
  if (!FPopupMenu || !FPopupMenu->AutoPopup()) return;
  POINT p{};
  if (!GetCursorPos(&p)) return;
  if (Application) Application->ProcessMessages();
  if (!FPopupMenu) return;  // freed meanwhile
  SetForegroundWindow(IconData.hWnd);
  TWinControl* owner = WindowedOwner();
  if (owner) SetForegroundWindow(owner->Handle());
  FPopupMenu->SetPopupComponent(this);
  FPopupMenu->Popup(p.x, p.y);
  if (owner) PostMessage(owner->Handle(), WM_NULL, 0, 0);
}

void TkxTrayIcon::AnimateTick(TObject*) {
  if (!FIconList || FIconList->Count() == 0) return;
  const int32_t last = FIconList->Count() - 1;
  FIconList->GetIcon(std::min(FIconIndex, last), FIcon.get());
  const int32_t next = FIconIndex < last ? FIconIndex + 1 : 0;
  DoCycle(next);
  ModifyIcon();
  SetIconIndex(next);
}

// ---- the application and owner windows ------------------------------------------------------------------

void TkxTrayIcon::HookAppWindow() {
  if (!Application) return;
  FAppWindow = Application->Handle();
  TrayHooks::Hook<true>(FAppWindow, this);
}

void TkxTrayIcon::UnhookAppWindow() {
  TrayHooks::Unhook<true>(FAppWindow, this);
  FAppWindow = nullptr;
}

void TkxTrayIcon::HookOwnerWindow() {
  TWinControl* owner = WindowedOwner();
  if (!owner) return;
  FOwnerWindow = owner->Handle();
  TrayHooks::Hook<false>(FOwnerWindow, this);
}

void TkxTrayIcon::UnhookOwnerWindow() {
  TrayHooks::Unhook<false>(FOwnerWindow, this);
  FOwnerWindow = nullptr;
}

void TkxTrayIcon::AppWindowProc(UINT Msg, WPARAM WParam, LPARAM) {
  if (Msg == WM_SIZE && WParam == SIZE_MINIMIZED && MinimizeToTray) {
    DoMinimizeToTray();
  } else if (Msg == WM_WINDOWPOSCHANGED && SettingMDIForm && Application && Application->MainForm()) {
    if (Application->MainForm()->FormStyle() == fsMDIForm && MinimizedOnStart) ShowWindow(FAppWindow, SW_HIDE);
    SettingMDIForm = false;
  } else if (Msg == TaskbarCreatedMessage() && Msg != 0 && FIconVisible) {
    AddIcon();
  }
}

void TkxTrayIcon::OwnerWindowProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_ACTIVATE && (LOWORD(WParam) == WA_ACTIVE || LOWORD(WParam) == WA_CLICKACTIVE) && Screen &&
      Screen->ActiveControl()) {
    TWinControl* active = Screen->ActiveControl();
    TWinControl* w = active->Parent() ? active->Parent() : active;
    if (w->HandleAllocated() && w->Handle() != reinterpret_cast<HWND>(LParam) && active->HandleAllocated())
      SetFocus(active->Handle());
  } else if (Msg == WM_SHOWWINDOW && WParam == 1 && LParam == 0) {
    // The application window is never shown here (see above): only the owner comes to the front.
    if (FOwnerWindow) SetForegroundWindow(FOwnerWindow);
  }
}

// ---- streaming ------------------------------------------------------------------------------------------

void RegisterTrayIconFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  using T = TkxTrayIcon;
  RegisterFormClass<T, TComponent>("TkxTrayIcon")
      .Boolean("DesignPreview", &T::SetDesignPreview)
      .Reference<TCustomImageList>("IconList", &T::SetIconList)
      .Boolean("CycleIcons", &T::SetCycleIcons)
      .Integer("AnimateTimerInterval",
               [](T* t, int32_t Value) {
                 if (Value < 0) throw EFormValueError("AnimateTimerInterval is not negative");
                 t->SetAnimateTimerInterval(uint32_t(Value));
               })
      .Boolean("Enabled", &T::Enabled)
      .String("Hint", &T::SetHint)
      .Boolean("ShowHint", &T::SetShowHint)
      .Object("Icon", &T::Icon)
      .Boolean("IconVisible", [](T* t, bool Value) { t->SetIconVisible(Value); })
      .Integer("IconIndex", &T::SetIconIndex)
      .Reference<TkxSkinPopupMenu>("PopupMenu", &T::SetPopupMenu)
      .Boolean("PopupByLeftButton", &T::PopupByLeftButton)
      .Boolean("MinimizedOnStart", &T::MinimizedOnStart)
      .Boolean("MinimizeToTray", &T::MinimizeToTray)
      .Event<TNotifyEvent>("OnClick", &T::OnClick)
      .Event<TNotifyEvent>("OnDblClick", &T::OnDblClick)
      .Event<TMouseEvent>("OnMouseDown", &T::OnMouseDown)
      .Event<TMouseEvent>("OnMouseUp", &T::OnMouseUp)
      .Event<TMouseMoveEvent>("OnMouseMove", &T::OnMouseMove)
      .Event<TkxCycleEvent>("OnCycle", &T::OnCycle)
      .Event<TNotifyEvent>("OnBalloonHintClick", &T::OnBalloonHintClick);
}
