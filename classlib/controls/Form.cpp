// TCustomForm: the window of a form, showing, closing and the modal loop, activation and the
// focus bookkeeping of its controls, dialog keys.
#include <algorithm>

#include "classlib/ActnList.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/controls/ControlsInternal.h"

using namespace win;

TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)), FIcon(std::make_unique<TIcon>()) {
  FVisible = false;
  FParentFont = false;
  FParentColor = false;
  FColor = clBtnFace;
  FBrush->SetColor(FColor);
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FWidth = 320;
  FHeight = 240;
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (const std::exception& e) {
      if (Application) Application->HandleException(this, e);
    }
  }
  if (Screen) Screen->RemoveForm(this);
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
  FCanvas->FreeHandle();
  // The controls go while the form's own members still exist.
  DestroyComponents();
  // Freeing the focused control hands the focus to this form, which the screen then takes as its
  // active control again: forget it before the form goes.
  if (Screen && Screen->ActiveControl() == this) Screen->SetActiveControl(nullptr);
  FActiveControl = nullptr;
  FFocusedControl = nullptr;
}

// ---- the window -------------------------------------------------------------------------------

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  DWORD frame = 0, ex = 0;
  switch (FBorderStyle) {
    case bsNone: break;
    case bsSingle: frame = WS_CAPTION; break;
    case bsSizeable: frame = WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog: frame = WS_CAPTION; ex = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE; break;
    case bsToolWindow: frame = WS_CAPTION; ex = WS_EX_TOOLWINDOW; break;
    case bsSizeToolWin: frame = WS_CAPTION | WS_THICKFRAME; ex = WS_EX_TOOLWINDOW; break;
  }
  if (FBorderStyle != bsNone && FBorderIcons.Contains(biSystemMenu)) {
    frame |= WS_SYSMENU;
    if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable) {
      if (FBorderIcons.Contains(biMinimize)) frame |= WS_MINIMIZEBOX;
      if (FBorderIcons.Contains(biMaximize)) frame |= WS_MAXIMIZEBOX;
    }
  }
  if (FFormStyle == fsStayOnTop) ex |= WS_EX_TOPMOST;
  if (FParent || FParentWindow) {
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | frame;
  } else {
    Params.Style = WS_CLIPCHILDREN | frame | (FBorderStyle == bsNone || FBorderStyle == bsDialog ? WS_POPUP : 0);
    // Every form is owned by the application window, which stands for the program.
    if (Application) Params.WndParent = Application->Handle();
  }
  if (!FEnabled) Params.Style |= WS_DISABLED;
  Params.ExStyle |= ex;
  Params.WindowClass.style |= CS_DBLCLKS;
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  ApplyPendingClientSize();
}

void TCustomForm::ApplyPendingClientSize() {
  if (FClientWidth < 0 && FClientHeight < 0) return;
  TPoint size{FClientWidth, FClientHeight};
  FClientWidth = FClientHeight = -1;
  if (size.x < 0) size.x = ClientRect().right;
  if (size.y < 0) size.y = ClientRect().bottom;
  SetClientSize(size);
}

bool TCustomForm::ParentShowing() const {
  if (FParent) return FParent->Showing();
  if (FParentWindow) return IsWindowVisible(FParentWindow) != 0;
  return true;
}

TRect TCustomForm::ClientRect() {
  if (!FHandle && !ComponentState().Contains(csLoading) && !ComponentState().Contains(csDestroying))
    HandleNeeded();
  TRect r = TWinControl::ClientRect();
  // A client size asked for before the window exists is the one to report (and the one the
  // other dimension's setter keeps), not the default window size.
  if (FClientWidth >= 0) r.right = r.left + FClientWidth;
  if (FClientHeight >= 0) r.bottom = r.top + FClientHeight;
  return r;
}

void TCustomForm::SetClientSize(TPoint Value) {
  if (ComponentState().Contains(csLoading) || !FHandle) {
    // The frame is known once the window exists.
    FClientWidth = Value.x;
    FClientHeight = Value.y;
    if (!ComponentState().Contains(csLoading)) HandleNeeded();
    return;
  }
  TWinControl::SetClientSize(Value);
}

void TCustomForm::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  // A client size read from a description needs the frame, which the window knows.
  if (FHandle)
    ApplyPendingClientSize();
  else if (FClientWidth >= 0 || FClientHeight >= 0)
    HandleNeeded();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == FActiveControl) FActiveControl = nullptr;
    if (AComponent == FFocusedControl) FFocusedControl = nullptr;
    if (AComponent == FMenu) FMenu = nullptr;
  }
}

void TCustomForm::SetMenu(TMainMenu* Value) {
  if (Value == FMenu) return;
  if (FMenu) FMenu->RemoveFreeNotification(this);
  FMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (Value == FBorderIcons) return;
  FBorderIcons = Value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (Value == FFormStyle) return;
  FFormStyle = Value;
  if (FHandle)
    SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  RecreateWnd();
}

void TCustomForm::SetWindowState(TWindowState Value) {
  if (Value == FWindowState) return;
  FWindowState = Value;
  if (FHandle && Showing()) {
    int cmd = Value == wsMaximized ? SW_SHOWMAXIMIZED : Value == wsMinimized ? SW_MINIMIZE : SW_RESTORE;
    ShowWindow(FHandle, cmd);
  }
}

// ---- painting ---------------------------------------------------------------------------------

void TCustomForm::PaintWindow(HDC DC) {
  controls_internal::PaintOnCanvas(*FCanvas, DC, FFont.get(), FColor, [this] { Paint(); });
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

// ---- showing ----------------------------------------------------------------------------------

void TCustomForm::PlaceOnFirstShow() {
  if (FPlaced || FParent) return;
  FPlaced = true;
  TRect area = Screen ? Screen->WorkAreaRect() : TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  TCustomForm* center = nullptr;
  switch (FPosition) {
    case poScreenCenter: case poDesktopCenter: break;
    case poMainFormCenter: center = Application ? Application->MainForm() : nullptr; break;
    case poOwnerFormCenter: center = dynamic_cast<TCustomForm*>(Owner()); break;
    default: return;
  }
  if (center == this) center = nullptr;
  if ((FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) && center)
    area = center->BoundsRect();
  else if (FPosition == poDesktopCenter || FPosition == poScreenCenter)
    area = TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SetBounds(area.left + (area.right - area.left - FWidth) / 2, area.top + (area.bottom - area.top - FHeight) / 2,
            FWidth, FHeight);
}

void TCustomForm::SetVisible(bool Value) {
  if (Value == FVisible) return;
  if (Value) {
    HandleNeeded();
    PlaceOnFirstShow();
  }
  TControl::SetVisible(Value);
}

void TCustomForm::Show() {
  SetVisible(true);
  if (FHandle) {
    BringWindowToTop(FHandle);
    if (FEnabled) SetActiveWindow(FHandle);
  }
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::CMShowingChanged(TMessage&) {
  if (!FHandle) return;
  if (FShowing) {
    FFormState.Include(fsShowing);
    try {
      DoShow();
    } catch (...) {
      FFormState.Exclude(fsShowing);
      throw;
    }
    FFormState.Exclude(fsShowing);
    int cmd = FWindowState == wsMaximized ? SW_SHOWMAXIMIZED
              : FWindowState == wsMinimized ? SW_SHOWMINIMIZED
              : (FParent ? SW_SHOWNA : SW_SHOWNORMAL);
    if (!FEnabled && cmd == SW_SHOWNORMAL) cmd = SW_SHOWNA;
    ShowWindow(FHandle, cmd);
  } else {
    FFormState.Include(fsShowing);
    try {
      DoHide();
    } catch (...) {
      FFormState.Exclude(fsShowing);
      throw;
    }
    FFormState.Exclude(fsShowing);
    ShowWindow(FHandle, SW_HIDE);
  }
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

// ---- closing and the modal loop ---------------------------------------------------------------

bool TCustomForm::CloseQuery() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TCustomForm::Close() {
  if (FFormState.Contains(fsModal)) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = (Application && Application->MainForm() == this) ? caFree : caHide;
  if (FFormStyle == fsMDIChild) action = caMinimize;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    // Closing the main form ends the program.
    Application->Terminate();
    if (action == caFree) return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() {
  if (FHandle) PostMessage(FHandle, CM_RELEASE, 0, 0);
  else delete this;
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  switch (action) {
    case caNone: FModalResult = mrNone; break;
    case caFree: Release(); break;
    default: break;
  }
}

TModalResult TCustomForm::ShowModal() {
  if (FVisible || !FEnabled || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (GetCapture()) SendMessage(GetCapture(), WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  FFormState.Include(fsModal);
  HWND activeBefore = GetActiveWindow();
  // Every other enabled, visible top-level form waits while this one is up.
  std::vector<HWND> disabled;
  if (Screen)
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* f = Screen->Forms(i);
      if (f != this && f->HandleAllocated() && !f->Parent() && IsWindowVisible(f->FHandle) &&
          IsWindowEnabled(f->FHandle)) {
        EnableWindow(f->FHandle, FALSE);
        disabled.push_back(f->FHandle);
      }
    }
  auto restore = [&]() {
    for (HWND h : disabled)
      if (IsWindow(h)) EnableWindow(h, TRUE);
    if (activeBefore && IsWindow(activeBefore)) SetActiveWindow(activeBefore);
  };
  TModalResult result = mrNone;
  try {
    Show();
    FModalResult = mrNone;
    do {
      if (Application) Application->HandleMessage();
      else {
        MSG m;
        if (GetMessage(&m, nullptr, 0, 0)) {
          TranslateMessage(&m);
          DispatchMessage(&m);
        }
      }
      if (Application && Application->Terminated()) FModalResult = mrCancel;
      else if (FModalResult != mrNone) CloseModal();
    } while (FModalResult == mrNone);
    result = FModalResult;
    Hide();
  } catch (...) {
    FFormState.Exclude(fsModal);
    restore();
    throw;
  }
  FFormState.Exclude(fsModal);
  restore();
  return result;
}

// ---- activation and focus ---------------------------------------------------------------------

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}
void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::SetActive(bool Value) {
  FActive = Value;
  if (Value) {
    if (!FActiveControl) FActiveControl = FindNextControl(nullptr, true, true, false);
    if (FActiveControl && FActiveControl->CanFocus() && FActiveControl->HandleAllocated())
      ::win::SetFocus(FActiveControl->Handle());
    else if (FHandle)
      ::win::SetFocus(FHandle);
  }
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (Control == FActiveControl) return;
  if (Control && (Control == this || GetParentForm(Control) != this))
    throw EInvalidOperation("Invalid control for the form's active control");
  if (ComponentState().Contains(csLoading)) {
    FActiveControl = Control;
    return;
  }
  if (Control && !Control->CanFocus())
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  FActiveControl = Control;
  if (FActive && Control) Control->SetFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) {
  if (!Control || !Control->CanFocus()) return;
  bool active = FActive || (FHandle && GetActiveWindow() == FHandle);
  if (!active) {
    if (Control != this) FActiveControl = Control;
    return;
  }
  HWND h = Control->Handle();
  if (GetFocus() != h) ::win::SetFocus(h);
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  if (Control != this) FActiveControl = Control;
  if (FFocusedControl == Control) return true;
  TWinControl* old = FFocusedControl;
  FFocusedControl = Control;
  if (Screen) Screen->SetActiveControl(Control);
  // CM_EXIT from the old control outward to the first container of the new one, then CM_ENTER
  // from there inward.
  std::vector<TWinControl*> exits, enters;
  for (TWinControl* c = old; c && c != this && !c->ContainsControl(Control); c = c->Parent()) exits.push_back(c);
  for (TWinControl* c = Control; c && c != this && !(old && c->ContainsControl(old)); c = c->Parent())
    enters.insert(enters.begin(), c);
  for (TWinControl* c : exits) {
    c->Perform(CM_EXIT, 0, 0);
    if (FFocusedControl != Control) return false;  // a handler moved the focus elsewhere
  }
  for (TWinControl* c : enters) {
    c->Perform(CM_ENTER, 0, 0);
    if (FFocusedControl != Control) return false;
  }
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
  return true;
}

void TCustomForm::DefocusControl(TControl* Control, bool Removing) {
  auto* w = dynamic_cast<TWinControl*>(Control);
  if (!w) return;
  if (Removing && w->ContainsControl(FActiveControl)) {
    TWinControl* p = w->Parent();
    FActiveControl = (p && p != this && GetParentForm(p) == this) ? p : nullptr;
  }
  if (FFocusedControl && w->ContainsControl(FFocusedControl)) {
    TWinControl* p = w->Parent();
    FFocusedControl = nullptr;
    if (Screen && Screen->ActiveControl() && w->ContainsControl(Screen->ActiveControl()))
      Screen->SetActiveControl(nullptr);
    if (!Removing && FHandle && w->Focused()) ::win::SetFocus(FHandle);
    if (Removing) FActiveControl = (p && p != this && GetParentForm(p) == this) ? p : nullptr;
  }
  if (Removing && w->ContainsControl(FActiveControl)) FActiveControl = nullptr;
}

void TCustomForm::SendCancelMode(TControl* Sender) {
  TWinControl* target = FFocusedControl ? FFocusedControl : FActiveControl;
  if (FActive && target) target->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
}

bool TCustomForm::IsShortCut(TMessage& Message) {
  bool handled = false;
  if (OnShortCut) OnShortCut(Message, handled);
  if (handled) return true;
  if (FMenu && FMenu->IsShortCut(Message)) return true;
  // The popup menus and the action lists the form owns.
  TShortCut key = ShortCutFromKeyMessage(Message);
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    if (auto* popup = dynamic_cast<TPopupMenu*>(c); popup && popup->IsShortCut(Message)) return true;
    if (auto* list = dynamic_cast<TCustomActionList*>(c); list && list->IsShortCut(key)) return true;
  }
  return false;
}

void TCustomForm::CMDialogKey(TMessage& Message) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (Message.WParam) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
          Message.Result = 1;
          return;
        }
        break;
      case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
        if (FActiveControl && FActiveControl->Parent()) {
          FActiveControl->Parent()->SelectNext(FActiveControl, Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN,
                                               false);
          Message.Result = 1;
        }
        return;
    }
  }
  Broadcast(Message);
}

void TCustomForm::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ACTIVATE: {
      bool active = LOWORD(Message.WParam) != WA_INACTIVE;
      if (active) {
        if (Screen) Screen->FormActivated(this);
        SetActive(true);
        Activate();
      } else {
        FActive = false;
        if (Screen && Screen->ActiveForm() == this) Screen->FormActivated(nullptr);
        Deactivate();
      }
      return;
    }
    case WM_CLOSE: Close(); return;
    case WM_SETFOCUS:
      // The form's own window has the focus: hand it to the active control when there is one.
      if (FActiveControl && FActiveControl != this && FActiveControl->CanFocus() && FActive) {
        ::win::SetFocus(FActiveControl->Handle());
        return;
      }
      TWinControl::Dispatch(Message);
      return;
    case CM_RELEASE: delete this; return;
    case CM_DIALOGKEY: CMDialogKey(Message); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); return;
    case WM_GETMINMAXINFO: {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(Message.LParam);
      DefaultHandler(Message);
      if (mmi) {
        if (FConstraints->MinWidth() > 0) mmi->ptMinTrackSize.x = FConstraints->MinWidth();
        if (FConstraints->MinHeight() > 0) mmi->ptMinTrackSize.y = FConstraints->MinHeight();
        if (FConstraints->MaxWidth() > 0) mmi->ptMaxTrackSize.x = FConstraints->MaxWidth();
        if (FConstraints->MaxHeight() > 0) mmi->ptMaxTrackSize.y = FConstraints->MaxHeight();
      }
      return;
    }
    default: TWinControl::Dispatch(Message); return;
  }
}
