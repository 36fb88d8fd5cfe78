// TWinControl's message handling: routing of mouse messages to graphic children, enter and
// leave, focus, the keyboard with dialog keys and accelerators, reflected notifications, and
// the tab order.
#include <algorithm>

#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/controls/ControlsInternal.h"

using namespace win;

void TWinControl::WndProc(TMessage& Message) {
  UINT msg = Message.Msg;
  HintMessageHook(this, Message);
  if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL) {
    if (msg == WM_MOUSEMOVE && FHandle) {
      TRACKMOUSEEVENT tme;
      tme.dwFlags = TME_LEAVE;
      tme.hwndTrack = FHandle;
      TrackMouseEvent(&tme);
      TPoint p = ClientToScreen(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
      UpdateMouseControl(FindDragTarget(p, true));
    }
    if (IsControlMouseMsg(Message)) return;
  }
  TControl::WndProc(Message);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
  TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  TControl* c = nullptr;
  if (FHandle && GetCapture() == FHandle) {
    TControl* cap = controls_internal::CaptureControlRef();
    if (cap && cap->Parent() == this) c = cap;
  } else {
    c = ControlAtPos(p, false);
  }
  if (!c) return false;
  LPARAM lp = LPARAM(MAKELONG(WORD(p.x - c->Left()), WORD(p.y - c->Top())));
  Message.Result = c->Perform(Message.Msg, Message.WParam, lp);
  return true;
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (!FHandle) {
    TControl::DefaultHandler(Message);
    return;
  }
  Message.Result = CallWindowProc(FDefWndProc ? FDefWndProc : DefWindowProc, FHandle, Message.Msg,
                                  Message.WParam, Message.LParam);
}

void TWinControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_WINDOWPOSCHANGED:
      UpdateBounds();
      DefaultHandler(Message);
      return;
    case WM_SETFOCUS: WMSetFocus(Message); return;
    case WM_KILLFOCUS: WMKillFocus(Message); return;
    case WM_KEYDOWN: case WM_SYSKEYDOWN: WMKeyDown(Message); return;
    case WM_KEYUP: case WM_SYSKEYUP: WMKeyUp(Message); return;
    case WM_CHAR: WMChar(Message); return;
    case WM_SYSCHAR: WMSysChar(Message); return;
    case CN_KEYDOWN: case CN_SYSKEYDOWN: CNKeyDown(Message); return;
    case CN_CHAR: CNChar(Message); return;
    case WM_COMMAND: case WM_CTLCOLOREDIT: case WM_CTLCOLORSTATIC: case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: case WM_DRAWITEM: case WM_MEASUREITEM: case WM_NOTIFY:
    case WM_HSCROLL: case WM_VSCROLL:
      ReflectNotification(Message);
      return;
    case WM_SETTEXT:
      FText = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
      DefaultHandler(Message);
      Message.Result = 1;
      return;
    case WM_GETTEXT: case WM_GETTEXTLENGTH:
      TControl::DefaultHandler(Message);  // FText is the text, with or without a window
      return;
    case WM_MOUSELEAVE: {
      POINT p;
      GetCursorPos(&p);
      TControl* now = FindDragTarget(p, true);
      TControl* cur = MouseControl();
      if (cur == this || (cur && cur->Parent() == this && !dynamic_cast<TWinControl*>(cur)))
        UpdateMouseControl(now == cur ? nullptr : now);
      DefaultHandler(Message);
      return;
    }
    case WM_SETCURSOR: {
      if (LOWORD(Message.LParam) == HTCLIENT) {
        TCursor cur = Screen ? Screen->Cursor() : crDefault;
        if (cur == crDefault) {
          POINT p;
          GetCursorPos(&p);
          TControl* c = ControlAtPos(ScreenToClient(p), false);
          cur = (c ? c : this)->Cursor();
        }
        if (cur != crDefault) {
          ::win::SetCursor(CursorHandle(cur));
          Message.Result = 1;
          return;
        }
      }
      DefaultHandler(Message);
      return;
    }
    case CM_DIALOGKEY: case CM_DIALOGCHAR: case CM_FOCUSCHANGED:
      Broadcast(Message);
      return;
    case WM_CONTEXTMENU: {
      // A graphic child under the click has its own context menu first.
      TPoint pt{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
      if (Message.Result == 0 && !(pt.x == -1 && pt.y == -1))
        if (TControl* c = ControlAtPos(ScreenToClient(pt), false)) {
          Message.Result = c->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
          if (Message.Result != 0) return;
        }
      TControl::Dispatch(Message);
      return;
    }
    case CM_ENABLEDCHANGED:
      if (!FEnabled)
        if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, false);
      if (FHandle) EnableWindow(FHandle, FEnabled ? TRUE : FALSE);
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      if (!FVisible)
        if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, false);
      if (FHandle && (GetWindowLongPtr(FHandle, GWL_STYLE) & WS_CHILD))
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (FVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
      UpdateControlState();
      return;
    case CM_SHOWINGCHANGED: return;
    case CM_FONTCHANGED:
      Invalidate();
      NotifyControls(CM_PARENTFONTCHANGED);
      return;
    case CM_COLORCHANGED:
      FBrush->SetColor(FColor);
      Invalidate();
      NotifyControls(CM_PARENTCOLORCHANGED);
      return;
    case CM_SHOWHINTCHANGED: NotifyControls(CM_PARENTSHOWHINTCHANGED); return;
    case CM_ENTER: DoEnter(); return;
    case CM_EXIT: DoExit(); return;
    case CM_TABSTOPCHANGED:
      if (FHandle) {
        LONG_PTR s = GetWindowLongPtr(FHandle, GWL_STYLE);
        SetWindowLongPtr(FHandle, GWL_STYLE, FTabStop ? (s | WS_TABSTOP) : (s & ~LONG_PTR(WS_TABSTOP)));
      }
      return;
    default: TControl::Dispatch(Message); return;
  }
}

void TWinControl::ReflectNotification(TMessage& Message) {
  HWND child = nullptr;
  switch (Message.Msg) {
    case WM_DRAWITEM: case WM_MEASUREITEM:
      // Owner-drawn items name their control by its id.
      for (TWinControl* c : FWinControls)
        if (c->FHandle && WPARAM(GetWindowLongPtr(c->FHandle, GWLP_ID)) == Message.WParam) child = c->FHandle;
      break;
    case WM_NOTIFY:
      if (Message.LParam) child = *reinterpret_cast<HWND*>(Message.LParam);  // NMHDR.hwndFrom
      break;
    default: child = reinterpret_cast<HWND>(Message.LParam); break;
  }
  TWinControl* c = FindControl(child);
  if (c && c != this) {
    Message.Result = c->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  DefaultHandler(Message);
}

// ---- focus ------------------------------------------------------------------------------------

bool TWinControl::CanFocus() {
  for (TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  TCustomForm* form = GetParentForm(this);
  if (form) form->FocusControl(this);
  else if (CanFocus()) ::win::SetFocus(Handle());
}

void TWinControl::WMSetFocus(TMessage& Message) {
  if (TCustomForm* form = GetParentForm(this))
    if (!form->SetFocusedControl(this)) return;
  DefaultHandler(Message);
}

void TWinControl::WMKillFocus(TMessage& Message) { DefaultHandler(Message); }

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::SetTabStop(bool Value) {
  if (Value == FTabStop) return;
  FTabStop = Value;
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

int32_t TWinControl::TabOrder() const {
  if (!FParent) return -1;
  auto& l = FParent->FTabList;
  auto it = std::find(l.begin(), l.end(), this);
  return it == l.end() ? -1 : int32_t(it - l.begin());
}

void TWinControl::SetTabOrder(int32_t Value) {
  if (!FParent) return;
  auto& l = FParent->FTabList;
  auto it = std::find(l.begin(), l.end(), this);
  if (it == l.end()) return;
  l.erase(it);
  size_t pos = Value < 0 ? l.size() : std::min(size_t(Value), l.size());
  l.insert(l.begin() + long(pos), this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int n = int(list.size());
  auto found = std::find(list.begin(), list.end(), CurControl);
  int start = found == list.end() ? (GoForward ? n - 1 : 0) : int(found - list.begin());
  int i = start;
  for (int step = 0; step < n; ++step) {
    i = GoForward ? (i + 1) % n : (i + n - 1) % n;
    TWinControl* c = list[size_t(i)];
    if (c == CurControl) break;
    if ((!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this) && c->CanFocus()) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) c->SetFocus();
}

void TWinControl::SelectFirst() {
  if (TWinControl* c = FindNextControl(nullptr, true, true, false)) c->SetFocus();
}

// ---- keyboard ---------------------------------------------------------------------------------

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(uint32_t& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

bool TWinControl::DoKeyDown(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->DoKeyDown(Message)) return true;
  WORD key = WORD(Message.WParam);
  KeyDown(key, KeyboardShiftState());
  if (key == 0) return true;
  Message.WParam = key;
  return false;
}

bool TWinControl::DoKeyUp(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->DoKeyUp(Message)) return true;
  WORD key = WORD(Message.WParam);
  KeyUp(key, KeyboardShiftState());
  if (key == 0) return true;
  Message.WParam = key;
  return false;
}

bool TWinControl::DoKeyPress(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->DoKeyPress(Message)) return true;
  uint32_t key = uint32_t(Message.WParam);
  KeyPress(key);
  if (key == 0) return true;
  Message.WParam = key;
  return false;
}

void TWinControl::WMKeyDown(TMessage& Message) {
  UINT cn = Message.Msg == WM_SYSKEYDOWN ? CN_SYSKEYDOWN : CN_KEYDOWN;
  if (Perform(cn, Message.WParam, Message.LParam) != 0) return;
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
  if (!DoKeyUp(Message)) DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message) {
  if (Perform(CN_CHAR, Message.WParam, Message.LParam) != 0) return;
  if (!DoKeyPress(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysChar(TMessage& Message) {
  // Alt+letter: the accelerators of the form's controls come before the menu key.
  if (TCustomForm* form = GetParentForm(this))
    if (form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) return;
  DefaultHandler(Message);
}

void TWinControl::CNKeyDown(TMessage& Message) {
  Message.Result = 1;
  TCustomForm* form = GetParentForm(this);
  if (form && form->IsShortCut(Message)) return;
  WORD key = WORD(Message.WParam);
  LRESULT mask = 0;
  switch (key) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
  }
  if (mask && Perform(CM_WANTSPECIALKEY, key, 0) == 0 && (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0 && form &&
      form->Perform(CM_DIALOGKEY, key, Message.LParam) != 0)
    return;
  Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message) {
  Message.Result = 1;
  TCustomForm* form = GetParentForm(this);
  if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0 && form &&
      form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
    return;
  Message.Result = 0;
}

void TWinControl::SetParent(TWinControl* AParent) {
  TControl::SetParent(AParent);
  if (!FParent && !FParentWindow && FHandle && !dynamic_cast<TCustomForm*>(this)) DestroyHandle();
}

std::string TWinControl::GetText() { return FText; }

void TWinControl::SetText(const std::string& Value) { TControl::SetText(Value); }

void TWinControl::Loaded() {
  TControl::Loaded();
  if (FControlState.Contains(csAlignmentNeeded)) Realign();
  // Bounds set while loading reach the fields only. A child window made meanwhile (a form
  // whose client size needs its frame makes its windows before its controls are loaded) still
  // has the bounds it was made with: it takes the ones read or aligned since.
  if (FHandle && (GetWindowLongPtr(FHandle, GWL_STYLE) & WS_CHILD)) {
    RECT r;
    GetWindowRect(FHandle, &r);
    if (HWND p = GetParent(FHandle)) MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
    if (r.left != FLeft || r.top != FTop || r.right - r.left != FWidth || r.bottom - r.top != FHeight)
      SetWindowPos(FHandle, nullptr, FLeft, FTop, FWidth, FHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}
