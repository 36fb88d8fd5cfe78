#pragma once
// Forms, the application and the screen.
//
// A form is a top-level windowed control (or a child one, with a Parent). It keeps the focus
// for its controls: the focused control, the control made active on activation, the
// CM_ENTER/CM_EXIT chain and the CM_FOCUSCHANGED broadcast. The application runs the message
// loop (Run, ProcessMessages, HandleMessage) and owns the hidden application window; ShowModal
// runs its own loop through HandleMessage, so timers, sends from workers and base/'s
// hand-overs keep running while a modal form is up.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "classlib/Controls.h"
#include "classlib/Hints.h"

OMBREL_EXCEPTION(EInvalidOperation, Exception)

class TMainMenu;  // classlib/Menus.h

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
  poMainFormCenter, poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
// Msg is the key message (WM_KEYDOWN/WM_SYSKEYDOWN); set Handled to swallow it.
using TShortCutEvent = std::function<void(TMessage& Msg, bool& Handled)>;
using TMessageEvent = std::function<void(win::MSG& Msg, bool& Handled)>;
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class THintEngine;  // the hint timing (HintWindow.cpp)

class TCustomForm : public TWinControl {
public:
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  void Dispatch(TMessage& Message) override;

  // ---- looks ----
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value);
  TIcon* Icon() { return FIcon.get(); }
  void SetIcon(TIcon* Value) { FIcon->Assign(Value); }
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  TFormState FormState() const { return FFormState; }
  TCanvas* Canvas() { return FCanvas.get(); }

  // ---- showing and closing ----
  void Show();
  void Hide();
  void SetVisible(bool Value);
  // Shows the form modally and runs until ModalResult is set (or the application ends);
  // answers the ModalResult. Raises EInvalidOperation for a visible or disabled form.
  virtual TModalResult ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  void Close();
  virtual bool CloseQuery();
  // Frees the form once the messages in hand are done (posts CM_RELEASE).
  void Release();
  bool Active() const { return FActive; }

  // ---- focus ----
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Control);
  // The control with the keyboard focus (the form itself when none of its controls has it).
  TWinControl* FocusedControl() const { return FFocusedControl; }
  void FocusControl(TWinControl* Control);
  // Called when a control of the form receives the focus: CM_EXIT, CM_ENTER, CM_FOCUSCHANGED.
  bool SetFocusedControl(TWinControl* Control);
  // Forgets a control that is hidden, disabled or goes away (Removing).
  void DefocusControl(TControl* Control, bool Removing);
  // Sends CM_CANCELMODE (LParam = Sender) to the focused control: a press happened.
  void SendCancelMode(TControl* Sender);
  // OnShortCut, then the short cuts of the main menu, of the form's popup menus and of its
  // action lists; true when one of them took the key.
  virtual bool IsShortCut(TMessage& Message);
  // The form's main menu (a model: skinned forms draw it as a menu bar).
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* Value);
  bool DoKeyDown(TMessage& Message) { return TWinControl::DoKeyDown(Message); }
  bool DoKeyUp(TMessage& Message) { return TWinControl::DoKeyUp(Message); }
  bool DoKeyPress(TMessage& Message) { return TWinControl::DoKeyPress(Message); }

  // Runs OnCreate; the form loader calls it once every component is loaded, and forms built in
  // code call it themselves.
  virtual void DoCreate();

  void SetClientSize(TPoint Value) override;
  TRect ClientRect() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;

  TNotifyEvent OnCreate, OnDestroy, OnShow, OnHide, OnActivate, OnDeactivate, OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TShortCutEvent OnShortCut;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  bool ParentShowing() const override;
  void PaintWindow(win::HDC DC) override;
  virtual void Paint();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activate();
  virtual void Deactivate();
  void SetActive(bool Value);
  void CMDialogKey(TMessage& Message);
  void CMShowingChanged(TMessage& Message);
  void PlaceOnFirstShow();
  // Sets the client size asked for while the window or the frame was not known yet.
  void ApplyPendingClientSize();
  void CloseModal();

  std::unique_ptr<TControlCanvas> FCanvas;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  std::unique_ptr<TIcon> FIcon;
  bool FKeyPreview = false;
  TFormState FFormState;
  TModalResult FModalResult = mrNone;
  bool FActive = false;
  bool FPlaced = false;
  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  int32_t FClientWidth = -1, FClientHeight = -1;  // asked for while loading
  TMainMenu* FMenu = nullptr;
};

class TForm : public TCustomForm {
public:
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

class TMonitor : public TObject {
public:
  win::HMONITOR Handle = nullptr;
  int32_t MonitorNum = 0;
  TRect BoundsRect{};
  TRect WorkareaRect{};
  bool Primary = false;
  int32_t Left() const { return BoundsRect.left; }
  int32_t Top() const { return BoundsRect.top; }
  int32_t Width() const { return BoundsRect.right - BoundsRect.left; }
  int32_t Height() const { return BoundsRect.bottom - BoundsRect.top; }
};

class TScreen : public TComponent {
public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // Forms in creation order, except that an activated form moves to the front.
  int FormCount() const { return int(FForms.size()); }
  TCustomForm* Forms(int Index) const;
  int CustomFormCount() const { return FormCount(); }
  TCustomForm* CustomForms(int Index) const { return Forms(Index); }
  TCustomForm* ActiveForm() const { return FActiveForm; }
  TCustomForm* ActiveCustomForm() const { return FActiveForm; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  // A cursor other than crDefault overrides every control's own.
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  int MonitorCount();
  TMonitor* Monitors(int Index);
  TMonitor* MonitorFromWindow(win::HWND Handle);
  TRect WorkAreaRect();
  int32_t Width();
  int32_t Height();

  TNotifyEvent OnActiveControlChange, OnActiveFormChange;

  // Bookkeeping of the forms (called by the forms themselves).
  void AddForm(TCustomForm* Form);
  void RemoveForm(TCustomForm* Form);
  void FormActivated(TCustomForm* Form);
  void SetActiveControl(TWinControl* Control);

private:
  void RefreshMonitors();
  std::vector<TCustomForm*> FForms;
  TCustomForm* FActiveForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  TCursor FCursor = crDefault;
  std::vector<std::unique_ptr<TMonitor>> FMonitors;
};

class TApplication : public TComponent {
public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  void Initialize() {}
  // Makes a form of class T owned by the application; the first becomes the main form.
  template <typename T>
  void CreateForm(T*& Reference) {
    T* form = new T(this);
    Reference = form;
    if (!FMainForm) FMainForm = form;
    form->FreeNotification(this);
  }
  // Shows the main form and runs the message loop until Terminate (or the main form closes).
  void Run();
  // Handles every message waiting now, serving the hand-overs; base/'s ProcessMessages.
  void ProcessMessages();
  // Handles one message, or waits for the next when none is waiting.
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  void Minimize();
  void Restore();
  void BringToFront();
  // Gives an exception from a handler to OnException, or reports it on stderr.
  void HandleException(TObject* Sender, const std::exception& E);
  void ShowException(const std::exception& E);

  // The hidden application window (made on first use).
  win::HWND Handle();
  TCustomForm* MainForm() const { return FMainForm; }
  void SetMainForm(TCustomForm* Form) { FMainForm = Form; }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value);
  const std::string& HelpFile() const { return FHelpFile; }
  void SetHelpFile(const std::string& Value) { FHelpFile = Value; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  bool ShowHint() const { return FShowHint; }
  // Off hides the hint and frees the hint window; on builds a new one from HintWindowClass.
  void SetShowHint(bool Value);
  bool ShowMainForm = true;
  // The pointer rests HintPause ms on a control before its hint shows; a hint hides after
  // HintHidePause ms; moving on to the next control while a hint is up waits HintShortPause.
  int32_t HintPause = 500, HintHidePause = 2500, HintShortPause = 50;
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor Value);
  TShowHintEvent OnShowHint;
  // Shows the hint of the control under CursorPos now (the timer's work).
  void ActivateHint(TPoint CursorPos);
  // Hides the hint and forgets its control: the pointer must rest again before the next one.
  void CancelHint();
  // Hides the hint window only.
  void HideHint();
  // The pointer moved over Control: starts, restarts or ends the hint timing.
  void HintMouseMessage(TControl* Control, TMessage& Message);
  // The hint window, or nullptr while hints are off or none was needed yet.
  THintWindow* HintWindow() const;
  TIcon* Icon() { return FIcon.get(); }
  bool Active() const;

  // Sees the queued (posted and input) messages that the application's loops retrieve; never
  // the sent ones. It is the program's own handler: components use message hooks instead.
  TMessageEvent OnMessage;
  // Message hooks: listeners to the same messages, for any number of components. The hooks
  // are called in the order they were added, then OnMessage, until one sets Handled (the
  // message is then not dispatched). A hook may add or remove hooks, itself included, while
  // being called: one removed is not called again, not even later in the same round; one
  // added is first called for the next message. Main thread only. The token is never 0 and
  // never given twice; removing an unknown token (or 0) does nothing and answers false.
  using TMessageHookToken = uint64_t;
  TMessageHookToken AddMessageHook(TMessageEvent Hook);
  bool RemoveMessageHook(TMessageHookToken Token);
  TNotifyEvent OnHint, OnIdle, OnMinimize, OnRestore, OnActivate, OnDeactivate;
  TExceptionEvent OnException;

  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  bool ProcessMessage(win::MSG& Msg);
  // Runs the hooks and OnMessage on Msg; true when one of them handled it.
  bool CallMessageHandlers(win::MSG& Msg);
  struct TMessageHook {
    TMessageHookToken Token;
    // Shared so that the hook being called lives on when it is removed, or when adding one
    // moves the list.
    std::shared_ptr<const TMessageEvent> Fn;
  };
  // Removed hooks stay as empty entries while a round is running (rounds nest when a hook
  // runs a modal loop); the last round to end sweeps them out.
  std::vector<TMessageHook> FMessageHooks;
  int FMessageHookRounds = 0;
  TMessageHookToken FLastMessageHook = 0;
  static win::LRESULT AppWndProc(win::HWND h, win::UINT msg, win::WPARAM w, win::LPARAM l);
  win::HWND FHandle = nullptr;
  TCustomForm* FMainForm = nullptr;
  std::string FTitle, FHelpFile, FHint;
  bool FShowHint = true;
  TColor FHintColor = clInfoBk;
  THintEngine* FHintEngine = nullptr;  // owned as a component
  THintEngine* Hints();
  bool FTerminated = false;
  std::unique_ptr<TIcon> FIcon;
};

extern TApplication* Application;
extern TScreen* Screen;
