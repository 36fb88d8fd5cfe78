#pragma once
// The control model: windowless (graphic) and windowed controls, their messages, painting,
// mouse and keyboard routing, focus, alignment and the notifications controls send each other.
//
// Messages are dispatched by number: WindowProc (replaceable, WndProc by default) sees every
// message first; WndProc does the routing work and calls Dispatch, whose switch calls the
// handler of each message a class knows and leaves the rest to the base class's Dispatch and
// finally to DefaultHandler (the window's default procedure for windowed controls). A derived
// class overrides Dispatch (or WndProc) and calls the base's version for "inherited".
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/Events.h"
#include "base/Set.h"
#include "classlib/Graphics.h"
#include "platform/WinUser.h"

class TPopupMenu;  // classlib/Menus.h
class TBasicAction;        // classlib/ActnList.h
class TControlActionLink;  // classlib/ActnList.h
class TWinControl;
class TCustomForm;

struct TMessage {
  win::UINT Msg = 0;
  win::WPARAM WParam = 0;
  win::LPARAM LParam = 0;
  win::LRESULT Result = 0;
};
using TWndMethod = std::function<void(TMessage&)>;

// ---- the class library's own messages ----------------------------------------------------------
constexpr win::UINT CM_BASE = 0xB000;
constexpr win::UINT CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1, CM_GOTFOCUS = CM_BASE + 2,
                    CM_LOSTFOCUS = CM_BASE + 3, CM_CANCELMODE = CM_BASE + 4, CM_DIALOGKEY = CM_BASE + 5,
                    CM_DIALOGCHAR = CM_BASE + 6, CM_FOCUSCHANGED = CM_BASE + 7,
                    CM_PARENTFONTCHANGED = CM_BASE + 8, CM_PARENTCOLORCHANGED = CM_BASE + 9,
                    CM_HITTEST = CM_BASE + 10, CM_VISIBLECHANGED = CM_BASE + 11,
                    CM_ENABLEDCHANGED = CM_BASE + 12, CM_COLORCHANGED = CM_BASE + 13,
                    CM_FONTCHANGED = CM_BASE + 14, CM_CURSORCHANGED = CM_BASE + 15,
                    CM_CTL3DCHANGED = CM_BASE + 16, CM_PARENTCTL3DCHANGED = CM_BASE + 17,
                    CM_TEXTCHANGED = CM_BASE + 18, CM_MOUSEENTER = CM_BASE + 19, CM_MOUSELEAVE = CM_BASE + 20,
                    CM_MENUCHANGED = CM_BASE + 21, CM_APPKEYDOWN = CM_BASE + 22,
                    CM_APPSYSCOMMAND = CM_BASE + 23, CM_BUTTONPRESSED = CM_BASE + 24,
                    CM_SHOWINGCHANGED = CM_BASE + 25, CM_ENTER = CM_BASE + 26, CM_EXIT = CM_BASE + 27,
                    CM_DESIGNHITTEST = CM_BASE + 28, CM_ICONCHANGED = CM_BASE + 29,
                    CM_WANTSPECIALKEY = CM_BASE + 30, CM_INVOKEHELP = CM_BASE + 31,
                    CM_WINDOWHOOK = CM_BASE + 32, CM_RELEASE = CM_BASE + 33,
                    CM_SHOWHINTCHANGED = CM_BASE + 34, CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
                    CM_SYSCOLORCHANGE = CM_BASE + 36, CM_TABSTOPCHANGED = CM_BASE + 40,
                    CM_CHILDKEY = CM_BASE + 46, CM_HINTSHOW = CM_BASE + 48, CM_RECREATEWND = CM_BASE + 51,
                    CM_INVALIDATE = CM_BASE + 52, CM_CONTROLCHANGE = CM_BASE + 54,
                    CM_BORDERCHANGED = CM_BASE + 59, CM_MOUSEWHEEL = CM_BASE + 67;
// Notifications a parent reflects back to the child they concern.
constexpr win::UINT CN_BASE = 0xBC00;
constexpr win::UINT CN_CHARTOITEM = CN_BASE + 0x002F, CN_COMMAND = CN_BASE + win::WM_COMMAND,
                    CN_CTLCOLORBTN = CN_BASE + win::WM_CTLCOLORBTN, CN_CTLCOLOREDIT = CN_BASE + win::WM_CTLCOLOREDIT,
                    CN_CTLCOLORLISTBOX = CN_BASE + win::WM_CTLCOLORLISTBOX,
                    CN_CTLCOLORSTATIC = CN_BASE + win::WM_CTLCOLORSTATIC, CN_DRAWITEM = CN_BASE + 0x002B,
                    CN_MEASUREITEM = CN_BASE + 0x002C, CN_HSCROLL = CN_BASE + win::WM_HSCROLL,
                    CN_VSCROLL = CN_BASE + win::WM_VSCROLL, CN_KEYDOWN = CN_BASE + win::WM_KEYDOWN,
                    CN_KEYUP = CN_BASE + win::WM_KEYUP, CN_CHAR = CN_BASE + win::WM_CHAR,
                    CN_SYSKEYDOWN = CN_BASE + win::WM_SYSKEYDOWN, CN_SYSCHAR = CN_BASE + win::WM_SYSCHAR,
                    CN_NOTIFY = CN_BASE + win::WM_NOTIFY;
constexpr win::UINT WM_DRAWITEM = 0x002B, WM_MEASUREITEM = 0x002C;

// ---- types ------------------------------------------------------------------------------------
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

enum TControlStyleItem {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
  csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
  csDisplayDragImage, csReflector, csActionClient, csMenuEvents
};
using TControlStyle = TSet<TControlStyleItem>;
enum TControlStateItem {
  csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
  csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = TSet<TControlStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

// A control's border (a subrange of the form border styles, as the forms share the names).
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

using TCursor = int16_t;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSize = -22,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22;
// The platform cursor for a cursor value (nullptr for crNone).
win::HCURSOR CursorHandle(TCursor Cursor);

using TModalResult = int32_t;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
                       mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, win::WORD& Key, TShiftState Shift)>;
// Key is one Unicode code point; setting it to 0 swallows the character.
using TKeyPressEvent = std::function<void(TObject* Sender, uint32_t& Key)>;

// The shift state of a mouse message's wParam and of the keyboard now.
TShiftState MouseShiftState(win::WPARAM KeyFlags);
TShiftState KeyboardShiftState();
// Whether `Key` is the accelerator ("&" before it, "&&" is a literal "&") of `Caption`, compared
// case-insensitively.
bool IsAccel(uint32_t Key, const std::string& Caption);

class TControl;

// Minimum and maximum width and height; 0 means no limit.
class TSizeConstraints : public TPersistent {
public:
  explicit TSizeConstraints(TControl* Control) : FControl(Control) {}
  int32_t MaxHeight() const { return FMaxHeight; }
  int32_t MaxWidth() const { return FMaxWidth; }
  int32_t MinHeight() const { return FMinHeight; }
  int32_t MinWidth() const { return FMinWidth; }
  void SetMaxHeight(int32_t Value);
  void SetMaxWidth(int32_t Value);
  void SetMinHeight(int32_t Value);
  void SetMinWidth(int32_t Value);
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;
  TNotifyEvent OnChange;

private:
  void Changed();
  TControl* FControl;
  int32_t FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};

// A canvas that draws on a control: on its window, or on its parent's window clipped to its
// bounds for a graphic control. Inside painting the control hands it the paint DC instead.
class TControlCanvas : public TCanvas {
public:
  explicit TControlCanvas(TControl* Control) : FControl(Control) {}
  ~TControlCanvas() override;
  TControl* Control() const { return FControl; }
  // Releases a DC fetched for drawing outside painting.
  void FreeHandle();

protected:
  void CreateHandle() override;
  void FreeContext() override;

private:
  TControl* FControl;
  win::HWND FWindow = nullptr;
  win::HDC FOwnDC = nullptr;
};

class TControl : public TComponent {
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // ---- messages ----
  // Every message goes through WindowProc, which a user may replace and chain to the old one.
  TWndMethod WindowProc;
  virtual void WndProc(TMessage& Message);
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);
  win::LRESULT Perform(win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam);

  // ---- geometry ----
  int32_t Left() const { return FLeft; }
  int32_t Top() const { return FTop; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  void SetLeft(int32_t Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int32_t Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int32_t Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int32_t Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  virtual void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight);
  TRect BoundsRect() const { return TRect{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  void SetBoundsRect(const TRect& R) { SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top); }
  virtual TRect ClientRect();
  int32_t ClientWidth() { return ClientRect().right; }
  int32_t ClientHeight() { return ClientRect().bottom; }
  void SetClientWidth(int32_t Value) { SetClientSize(TPoint{Value, ClientHeight()}); }
  void SetClientHeight(int32_t Value) { SetClientSize(TPoint{ClientWidth(), Value}); }
  virtual void SetClientSize(TPoint Value);
  // The screen position of the client area's top-left corner.
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(TPoint P);
  TPoint ScreenToClient(TPoint P);

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);
  TSizeConstraints* Constraints() { return FConstraints.get(); }
  void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }
  bool AutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool Value);

  // ---- tree ----
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  bool HasParent() const { return FParent != nullptr; }
  void BringToFront();
  void SendToBack();

  // ---- state ----
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  void Show();
  void Hide();
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  // Visible here and in every parent up to a shown window.
  virtual bool Showing() const;

  TFont* Font() { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);

  // Caption and Text are the same string.
  std::string Caption() { return GetText(); }
  void SetCaption(const std::string& Value) { SetText(Value); }
  std::string Text() { return GetText(); }
  virtual std::string GetText();
  virtual void SetText(const std::string& Value);

  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  // The linked action (its caption, enabled state, ... show here; a click executes it).
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TControlActionLink* ActionLink() const { return FActionLink.get(); }
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState Value) { FControlState = Value; }

  // ---- painting ----
  virtual void Invalidate();
  virtual void Repaint();
  virtual void Update();
  void Refresh() { Repaint(); }

  // ---- mouse ----
  bool MouseCapture();
  void SetMouseCapture(bool Value);

  TNotifyEvent OnClick, OnDblClick, OnResize;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TMouseWheelEvent OnMouseWheel;

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  virtual void Click();
  virtual void DblClick();

protected:
  friend class TWinControl;
  friend class TCustomForm;

  // Takes the action's properties; with CheckDefaults only those still at their defaults.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  virtual std::unique_ptr<TControlActionLink> CreateActionLink();
  // WM_CONTEXTMENU: the PopupMenu at the point, or at the control when from the keyboard.
  void WMContextMenu(TMessage& Message);

  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual void Resize();

  // Called with the new size; answer false to refuse it. The default applies Constraints.
  virtual bool CanResize(int32_t& NewWidth, int32_t& NewHeight) { return true; }
  virtual void ConstrainedResize(int32_t& MinWidth, int32_t& MinHeight, int32_t& MaxWidth, int32_t& MaxHeight) {}
  void DoConstraints(int32_t& NewWidth, int32_t& NewHeight);
  // With AutoSize, the size the content wants; false keeps the present size.
  virtual bool CanAutoSize(int32_t& NewWidth, int32_t& NewHeight) { return false; }
  virtual void AdjustSize();
  virtual void RequestAlign();
  // Remembers where the control sits relative to its parent's client area, for Anchors.
  void UpdateAnchorRules();
  void AnchorTo(int32_t ParentWidth, int32_t ParentHeight);
  virtual void ConstraintsChanged();

  virtual void VisibleChanging() {}
  void FontChanged(TObject* Sender);

  // The handlers of the messages every control knows.
  void WMMouse(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void CMParentFontChanged(TMessage& Message);
  void CMParentColorChanged(TMessage& Message);
  void CMParentShowHintChanged(TMessage& Message);

  // Sends CM_CANCELMODE to the focused control of this control's form (on every press).
  void SendCancelMode(TControl* Sender);

  TWinControl* FParent = nullptr;
  int32_t FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  std::unique_ptr<TSizeConstraints> FConstraints;
  bool FAutoSize = false;
  bool FVisible = true;
  bool FEnabled = true;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  TColor FColor = clWindow;
  bool FParentColor = true;
  std::string FText;
  std::string FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TPopupMenu* FPopupMenu = nullptr;
  std::unique_ptr<TControlActionLink> FActionLink;
  TCursor FCursor = crDefault;
  TControlStyle FControlStyle;
  TControlState FControlState;
  // Anchor origin: the bounds and the parent's client size they were set against.
  TRect FAnchorOrigin{};
  TPoint FAnchorParentSize{-1, -1};
  bool FAnchorMove = false;  // bounds being set by alignment or anchoring
  bool FSettingFont = false;
};

class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() { return FCanvas.get(); }
  void Dispatch(TMessage& Message) override;

protected:
  virtual void Paint() {}

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// The creation parameters of a windowed control's window, filled by CreateParams.
struct TCreateParams {
  std::string Caption;
  win::DWORD Style = 0;
  win::DWORD ExStyle = 0;
  int32_t X = 0, Y = 0, Width = 0, Height = 0;
  win::HWND WndParent = nullptr;
  void* Param = nullptr;
  struct {
    win::UINT style = 0;
    win::HCURSOR hCursor = nullptr;
    win::HBRUSH hbrBackground = nullptr;
  } WindowClass;
  std::string WinClassName;
};

class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  // ---- the window ----
  // The window, made on first use (the parent's first).
  win::HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  // Keeps the object and its state and re-applies the creation parameters to the window: styles,
  // the non-client area (WM_NCCALCSIZE), bounds and text; the window itself stays.
  void RecreateWnd();
  // The control that owns a window of the class library; nullptr for any other window.
  static TWinControl* FromHandle(win::HWND h);
  // Used by the window procedure only: the window made for (or lost by) this control.
  void SetHandleFromWindow(win::HWND h);
  win::HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(win::HWND Value) { FParentWindow = Value; }

  // ---- children ----
  int ControlCount() const { return int(FControls.size() + FWinControls.size()); }
  // Graphic controls first, then windowed ones, each in z-order (bottom first).
  TControl* Controls(int Index) const;
  bool ContainsControl(TControl* Control) const;
  // The enabled, visible child at a client point (graphic controls only unless AllowWinControls).
  TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false);
  void Broadcast(TMessage& Message);
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  void PaintTo(win::HDC DC, int32_t X, int32_t Y);

  // ---- alignment ----
  void DisableAlign();
  void EnableAlign();
  void Realign();
  bool AlignDisabled() const { return FAlignLevel > 0; }
  void ScrollBy(int32_t DeltaX, int32_t DeltaY);
  TRect ClientRect() override;
  TPoint ClientOrigin() override;
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;

  // ---- focus and keyboard ----
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  int32_t TabOrder() const;
  void SetTabOrder(int32_t Value);
  virtual bool CanFocus();
  bool Focused();
  virtual void SetFocus();
  // All windowed descendants in tab order, depth first.
  void GetTabOrderList(std::vector<TWinControl*>& List);
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  // Focuses the first control in tab order that can take it.
  void SelectFirst();

  TBrush* Brush() { return FBrush.get(); }
  bool Showing() const override { return FShowing; }
  void SetParent(TWinControl* AParent) override;
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  std::string GetText() override;
  void SetText(const std::string& Value) override;

  TNotifyEvent OnEnter, OnExit;
  TKeyEvent OnKeyDown, OnKeyUp;
  TKeyPressEvent OnKeyPress;

  void Loaded() override;

protected:
  friend class TControl;
  friend class TCustomForm;
  friend class TApplication;
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  void CreateHandle();
  void DestroyHandle();
  // Brings the window in line with Visible/Showing, creating it when shown.
  void UpdateControlState();
  virtual void UpdateShowing();
  // Whether the parent (or the outside parent window) is shown.
  virtual bool ParentShowing() const;
  void NotifyControls(win::UINT Msg);
  static bool ContainsControlOf(TControl* Container, TControl* Control);
  void ExcludeOpaqueChildren(win::HDC DC);

  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& Rect) {}
  void AlignControl(TControl* AControl);
  bool CanAutoSize(int32_t& NewWidth, int32_t& NewHeight) override;

  // Painting: PaintHandler sets up the DC, PaintWindow paints the control itself, PaintControls
  // paints the graphic children in z-order.
  virtual void PaintWindow(win::HDC DC);
  void PaintHandler(TMessage& Message);
  void PaintControls(win::HDC DC, TControl* First);

  virtual void KeyDown(win::WORD& Key, TShiftState Shift);
  virtual void KeyUp(win::WORD& Key, TShiftState Shift);
  virtual void KeyPress(uint32_t& Key);
  bool DoKeyDown(TMessage& Message);
  bool DoKeyUp(TMessage& Message);
  bool DoKeyPress(TMessage& Message);
  virtual void DoEnter();
  virtual void DoExit();

  void WMPaint(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMWindowPosChanged(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMKeyDown(TMessage& Message);
  void WMKeyUp(TMessage& Message);
  void WMChar(TMessage& Message);
  void WMSysChar(TMessage& Message);
  void CNKeyDown(TMessage& Message);
  void CNChar(TMessage& Message);
  void ReflectNotification(TMessage& Message);
  // Routes a mouse message of this window to the graphic child under the pointer or holding the
  // capture; true when a child took it.
  bool IsControlMouseMsg(TMessage& Message);
  void UpdateBounds();
  void UpdateTabList(TWinControl* Child, bool Insert);

  win::HWND FHandle = nullptr;
  win::HWND FParentWindow = nullptr;
  win::WNDPROC FDefWndProc = nullptr;
  std::vector<TControl*> FControls;     // graphic children, bottom first
  std::vector<TWinControl*> FWinControls;  // windowed children, bottom first
  std::vector<TWinControl*> FTabList;
  std::unique_ptr<TBrush> FBrush;
  int FAlignLevel = 0;
  bool FTabStop = false;
  bool FShowing = false;
  bool FRealigning = false;
  TPoint FLastClientSize{-1, -1};
};

// A windowed control that paints itself through Paint on its Canvas.
class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() { return FCanvas.get(); }

protected:
  virtual void Paint() {}
  void PaintWindow(win::HDC DC) override;

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// ---- helpers the whole library shares ---------------------------------------------------------
// The control under a screen point (a graphic control where one is), or nullptr.
TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);
// The control of a window of the class library, or nullptr.
TWinControl* FindControl(win::HWND Handle);
// The control of the pointer's capture (a graphic control holding it through its parent).
TControl* GetCaptureControl();
// The control the pointer is over, as CM_MOUSEENTER/CM_MOUSELEAVE last reported it.
TControl* MouseControl();
// Reports enter and leave when the control under the pointer changed.
void UpdateMouseControl(TControl* Control);
// The form a control sits on (the outermost one), or nullptr.
TCustomForm* GetParentForm(TControl* Control);
// Fills the rectangle with a raised (or sunken) 3D frame of Width pixels, moving R inward.
void Frame3D(TCanvas* Canvas, TRect& R, TColor TopColor, TColor BottomColor, int32_t Width);
