// TControl and TGraphicControl: bounds, visibility, fonts and colours inherited from the parent,
// the mouse messages every control knows, and the helpers shared by the whole control model.
#include <algorithm>

#include "base/Text.h"
#include "classlib/ActnList.h"
#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/controls/ControlsInternal.h"

using namespace win;

namespace {
TControl* g_captureControl = nullptr;  // a graphic control holding the capture through its parent
TControl* g_mouseControl = nullptr;
}  // namespace

namespace controls_internal {
void ForgetControl(TControl* Control) {
  if (g_captureControl == Control) g_captureControl = nullptr;
  if (g_mouseControl == Control) g_mouseControl = nullptr;
}
TControl*& CaptureControlRef() { return g_captureControl; }

void PaintOnCanvas(TCanvas& Canvas, win::HDC DC, TFont* Font, TColor Color, const std::function<void()>& Paint) {
  Canvas.Lock();
  Canvas.SetHandle(DC);
  Canvas.Font()->Assign(Font);
  Canvas.Brush()->SetColor(Color);
  struct Detach {
    TCanvas& C;
    ~Detach() {
      C.SetHandle(nullptr);
      C.Unlock();
    }
  } detach{Canvas};
  Paint();
}
}  // namespace controls_internal

// ---- helpers ----------------------------------------------------------------------------------

HCURSOR CursorHandle(TCursor Cursor) {
  uintptr_t id = 32512;
  switch (Cursor) {
    case crNone: return nullptr;
    case crCross: id = 32515; break;
    case crIBeam: id = 32513; break;
    case crSizeNESW: id = 32643; break;
    case crSizeNS: case crVSplit: id = 32645; break;
    case crSizeNWSE: id = 32642; break;
    case crSizeWE: case crHSplit: id = 32644; break;
    case crUpArrow: id = 32516; break;
    case crHourGlass: case crSQLWait: id = 32514; break;
    case crNo: case crNoDrop: id = 32648; break;
    case crAppStart: id = 32650; break;
    case crHelp: id = 32651; break;
    case crHandPoint: id = 32649; break;
    case crSizeAll: id = 32646; break;
    default: break;
  }
  return LoadCursor(nullptr, MAKEINTRESOURCE(id));
}

TShiftState MouseShiftState(WPARAM KeyFlags) {
  TShiftState s;
  if (KeyFlags & MK_SHIFT) s.Include(ssShift);
  if (KeyFlags & MK_CONTROL) s.Include(ssCtrl);
  if (KeyFlags & MK_LBUTTON) s.Include(ssLeft);
  if (KeyFlags & MK_RBUTTON) s.Include(ssRight);
  if (KeyFlags & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyboardShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

bool IsAccel(uint32_t Key, const std::string& Caption) {
  size_t i = 0;
  while (i < Caption.size()) {
    size_t len = 1;
    char32_t c = Utf8DecodeAt(Caption, i, &len);
    if (len == 0) len = 1;
    if (c == U'&') {
      size_t j = i + len;
      if (j >= Caption.size()) return false;
      size_t len2 = 1;
      char32_t next = Utf8DecodeAt(Caption, j, &len2);
      if (len2 == 0) len2 = 1;
      if (next != U'&') {
        std::string a, b;
        Utf8Append(a, next);
        Utf8Append(b, char32_t(Key));
        return SameText(a, b);
      }
      i = j + len2;  // "&&" is a literal "&"
      continue;
    }
    i += len;
  }
  return false;
}

void Frame3D(TCanvas* Canvas, TRect& R, TColor TopColor, TColor BottomColor, int32_t Width) {
  for (int32_t n = 0; n < Width; ++n) {
    if (R.right - R.left < 1 || R.bottom - R.top < 1) break;
    --R.bottom;
    --R.right;
    Canvas->Pen()->SetColor(TopColor);
    Canvas->Polyline({TPoint{R.left, R.bottom}, TPoint{R.left, R.top}, TPoint{R.right, R.top}});
    Canvas->Pen()->SetColor(BottomColor);
    Canvas->Polyline({TPoint{R.right, R.top}, TPoint{R.right, R.bottom}, TPoint{R.left - 1, R.bottom}});
    ++R.top;
    ++R.left;
  }
}

TWinControl* FindControl(HWND Handle) { return TWinControl::FromHandle(Handle); }

TControl* GetCaptureControl() {
  TWinControl* w = FindControl(GetCapture());
  if (w && g_captureControl && g_captureControl->Parent() == w) return g_captureControl;
  return w;
}

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled) {
  HWND h = WindowFromPoint(Pos);
  TWinControl* w = nullptr;
  while (h && !(w = FindControl(h))) h = GetParent(h);
  if (!w) return nullptr;
  TControl* c = w->ControlAtPos(w->ScreenToClient(Pos), AllowDisabled);
  return c ? c : w;
}

TControl* MouseControl() { return g_mouseControl; }

void UpdateMouseControl(TControl* Control) {
  if (Control == g_mouseControl) return;
  TControl* old = g_mouseControl;
  g_mouseControl = Control;
  // The leave handler may free or move controls: take the new one only while it still is.
  if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
  if (Control && g_mouseControl == Control) Control->Perform(CM_MOUSEENTER, 0, 0);
}

TCustomForm* GetParentForm(TControl* Control) {
  TCustomForm* form = nullptr;
  for (TControl* c = Control; c; c = c->Parent())
    if (auto* f = dynamic_cast<TCustomForm*>(c)) form = f;
  return form;
}

// ---- TSizeConstraints -------------------------------------------------------------------------

void TSizeConstraints::SetMaxHeight(int32_t Value) {
  if (Value == FMaxHeight) return;
  FMaxHeight = std::max(0, Value);
  if (FMaxHeight > 0 && FMaxHeight < FMinHeight) FMinHeight = FMaxHeight;
  Changed();
}
void TSizeConstraints::SetMaxWidth(int32_t Value) {
  if (Value == FMaxWidth) return;
  FMaxWidth = std::max(0, Value);
  if (FMaxWidth > 0 && FMaxWidth < FMinWidth) FMinWidth = FMaxWidth;
  Changed();
}
void TSizeConstraints::SetMinHeight(int32_t Value) {
  if (Value == FMinHeight) return;
  FMinHeight = std::max(0, Value);
  if (FMaxHeight > 0 && FMinHeight > FMaxHeight) FMaxHeight = FMinHeight;
  Changed();
}
void TSizeConstraints::SetMinWidth(int32_t Value) {
  if (Value == FMinWidth) return;
  FMinWidth = std::max(0, Value);
  if (FMaxWidth > 0 && FMinWidth > FMaxWidth) FMaxWidth = FMinWidth;
  Changed();
}
void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TSizeConstraints*>(Source)) {
    FMinWidth = s->FMinWidth;
    FMinHeight = s->FMinHeight;
    FMaxWidth = s->FMaxWidth;
    FMaxHeight = s->FMaxHeight;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}
TPersistent* TSizeConstraints::GetOwner() { return FControl; }
void TSizeConstraints::Changed() {
  if (OnChange) OnChange(this);
}

// ---- TControlCanvas ---------------------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::FreeHandle() {
  if (FOwnDC) SetHandle(nullptr);
}

void TControlCanvas::CreateHandle() {
  if (!FControl) return;
  HWND h = nullptr;
  bool graphic = false;
  if (auto* w = dynamic_cast<TWinControl*>(FControl)) {
    h = w->Handle();
  } else if (FControl->Parent()) {
    h = FControl->Parent()->Handle();
    graphic = true;
  }
  if (!h) return;
  HDC dc = GetDC(h);
  if (!dc) return;
  if (graphic) {
    SetViewportOrgEx(dc, FControl->Left(), FControl->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, FControl->Width(), FControl->Height());
  }
  FWindow = h;
  FOwnDC = dc;
  FHandle = dc;
}

void TControlCanvas::FreeContext() {
  HDC own = FOwnDC;
  HWND wnd = FWindow;
  TCanvas::FreeContext();
  FOwnDC = nullptr;
  FWindow = nullptr;
  if (own && IsWindow(wnd)) ReleaseDC(wnd, own);
}

// ---- TControl ---------------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FConstraints(std::make_unique<TSizeConstraints>(this)), FFont(std::make_unique<TFont>()) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
  FFont->OnChange = [this](TObject* s) { FontChanged(s); };
  FConstraints->OnChange = [this](TObject*) { ConstraintsChanged(); };
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
}

TControl::~TControl() {
  controls_internal::ForgetControl(this);
  if (FParent) FParent->RemoveControl(this);
}

win::LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  // Mouse input for a control that cannot take it goes nowhere.
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL &&
      !FEnabled && !dynamic_cast<TWinControl*>(this))
    return;
  Dispatch(Message);
}

void TControl::DefaultHandler(TMessage& Message) {
  // Graphic controls have no window: text messages read and write Caption, the rest is dropped.
  switch (Message.Msg) {
    case WM_GETTEXTLENGTH: Message.Result = LRESULT(FText.size()); break;
    case WM_GETTEXT: {
      char* buf = reinterpret_cast<char*>(Message.LParam);
      size_t max = size_t(Message.WParam);
      if (!buf || max == 0) { Message.Result = 0; break; }
      std::string t = Utf8TruncateBytes(FText, max - 1);
      std::copy(t.begin(), t.end(), buf);
      buf[t.size()] = '\0';
      Message.Result = LRESULT(t.size());
      break;
    }
    case WM_SETTEXT:
      FText = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
      Message.Result = 1;
      break;
    default: break;
  }
}

void TControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE:
      WMMouse(Message);
      break;
    case WM_MOUSEWHEEL: {
      POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
      if (DoMouseWheel(MouseShiftState(LOWORD(Message.WParam)), GET_WHEEL_DELTA_WPARAM(Message.WParam), p))
        Message.Result = 1;
      else
        DefaultHandler(Message);
      break;
    }
    case WM_SETCURSOR: WMSetCursor(Message); break;
    case WM_CONTEXTMENU: WMContextMenu(Message); break;
    case CM_ENABLEDCHANGED: case CM_FONTCHANGED: case CM_COLORCHANGED: Invalidate(); break;
    case CM_VISIBLECHANGED: break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); break;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(Message); break;
    case CM_HITTEST: Message.Result = HTCLIENT; break;
    case CM_MOUSEENTER: case CM_MOUSELEAVE: case CM_FOCUSCHANGED: case CM_TEXTCHANGED:
    case CM_DIALOGKEY: case CM_DIALOGCHAR: case CM_WANTSPECIALKEY: case CM_CURSORCHANGED:
      break;
    case CM_CANCELMODE:
      if (g_captureControl == this) SetMouseCapture(false);
      break;
    case WM_CANCELMODE:
      if (MouseCapture()) SetMouseCapture(false);
      DefaultHandler(Message);
      break;
    default: DefaultHandler(Message); break;
  }
}

void TControl::WMMouse(TMessage& Message) {
  int x = GET_X_LPARAM(Message.LParam), y = GET_Y_LPARAM(Message.LParam);
  TShiftState shift = MouseShiftState(Message.WParam);
  auto down = [&](TMouseButton b, bool dbl) {
    SendCancelMode(this);
    if (b == mbLeft && FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (b == mbLeft && FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
    if (dbl) {
      shift.Include(ssDouble);
      if (b == mbLeft && FControlStyle.Contains(csDoubleClicks)) DblClick();
    }
    MouseDown(b, shift, x, y);
  };
  auto up = [&](TMouseButton b) {
    if (b == mbLeft) {
      if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
      if (FControlState.Contains(csClicked)) {
        FControlState.Exclude(csClicked);
        TRect r = ClientRect();
        if (PtInRect(&r, POINT{x, y})) Click();
      }
    }
    MouseUp(b, shift, x, y);
  };
  switch (Message.Msg) {
    case WM_LBUTTONDOWN: down(mbLeft, false); break;
    case WM_LBUTTONDBLCLK: down(mbLeft, true); break;
    case WM_RBUTTONDOWN: down(mbRight, false); break;
    case WM_RBUTTONDBLCLK: down(mbRight, true); break;
    case WM_MBUTTONDOWN: down(mbMiddle, false); break;
    case WM_MBUTTONDBLCLK: down(mbMiddle, true); break;
    case WM_LBUTTONUP: up(mbLeft); break;
    case WM_RBUTTONUP: up(mbRight); break;
    case WM_MBUTTONUP: up(mbMiddle); break;
    case WM_MOUSEMOVE: MouseMove(shift, x, y); break;
  }
  DefaultHandler(Message);
}

void TControl::WMSetCursor(TMessage& Message) {
  DefaultHandler(Message);
}

void TControl::SendCancelMode(TControl* Sender) {
  if (TCustomForm* form = GetParentForm(this)) form->SendCancelMode(Sender);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  return handled;
}
void TControl::Click() {
  // The control's own OnClick wins; without one, the linked action runs.
  if (OnClick) OnClick(this);
  else if (FActionLink && !ComponentState().Contains(csDesigning)) FActionLink->Execute(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}

bool TControl::MouseCapture() { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
  if (MouseCapture() == Value) return;
  if (Value) {
    auto* self = dynamic_cast<TWinControl*>(this);
    if (self) {
      g_captureControl = nullptr;
      SetCapture(self->Handle());
    } else if (FParent) {
      g_captureControl = this;
      SetCapture(FParent->Handle());
    }
  } else {
    g_captureControl = nullptr;
    ReleaseCapture();
  }
}

// ---- geometry ---------------------------------------------------------------------------------

TRect TControl::ClientRect() { return TRect{0, 0, FWidth, FHeight}; }

void TControl::SetClientSize(TPoint Value) {
  TRect r = ClientRect();
  SetBounds(FLeft, FTop, FWidth + Value.x - r.right, FHeight + Value.y - r.bottom);
}

TPoint TControl::ClientOrigin() {
  if (!FParent) return TPoint{FLeft, FTop};
  TPoint p = FParent->ClientOrigin();
  return TPoint{p.x + FLeft, p.y + FTop};
}

TPoint TControl::ClientToScreen(TPoint P) {
  TPoint o = ClientOrigin();
  return TPoint{P.x + o.x, P.y + o.y};
}

TPoint TControl::ScreenToClient(TPoint P) {
  TPoint o = ClientOrigin();
  return TPoint{P.x - o.x, P.y - o.y};
}

void TControl::DoConstraints(int32_t& NewWidth, int32_t& NewHeight) {
  int32_t minW = FConstraints->MinWidth(), minH = FConstraints->MinHeight();
  int32_t maxW = FConstraints->MaxWidth(), maxH = FConstraints->MaxHeight();
  ConstrainedResize(minW, minH, maxW, maxH);
  if (maxW > 0 && NewWidth > maxW) NewWidth = maxW;
  if (minW > 0 && NewWidth < minW) NewWidth = minW;
  if (maxH > 0 && NewHeight > maxH) NewHeight = maxH;
  if (minH > 0 && NewHeight < minH) NewHeight = minH;
}

void TControl::ConstraintsChanged() {
  if (ComponentState().Contains(csLoading)) return;
  SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  AWidth = std::max(0, AWidth);
  AHeight = std::max(0, AHeight);
  if (!ComponentState().Contains(csLoading)) {
    DoConstraints(AWidth, AHeight);
    if ((AWidth != FWidth || AHeight != FHeight) && !CanResize(AWidth, AHeight)) {
      AWidth = FWidth;
      AHeight = FHeight;
    }
  }
  bool sized = AWidth != FWidth || AHeight != FHeight;
  bool changed = sized || ALeft != FLeft || ATop != FTop;
  if (changed) {
    if (FParent && FVisible && FParent->HandleAllocated()) FParent->Invalidate();  // old place
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FParent && FVisible && FParent->HandleAllocated()) Invalidate();
  }
  if (!FAnchorMove) UpdateAnchorRules();
  if (changed) {
    RequestAlign();
    if (sized && !ComponentState().Contains(csLoading)) Resize();
  }
}

void TControl::UpdateAnchorRules() {
  if (!FParent || ComponentState().Contains(csLoading)) {
    FAnchorParentSize = TPoint{-1, -1};
    return;
  }
  TRect pr = FParent->ClientRect();
  FAnchorOrigin = BoundsRect();
  FAnchorParentSize = TPoint{pr.right, pr.bottom};
}

void TControl::AnchorTo(int32_t ParentWidth, int32_t ParentHeight) {
  if (FAnchorParentSize.x < 0) {
    UpdateAnchorRules();
    return;
  }
  if (FAnchors == TAnchors{akLeft, akTop}) return;
  int32_t dw = ParentWidth - FAnchorParentSize.x, dh = ParentHeight - FAnchorParentSize.y;
  const TRect& o = FAnchorOrigin;
  int32_t l = o.left, t = o.top, w = o.right - o.left, h = o.bottom - o.top;
  bool L = FAnchors.Contains(akLeft), R = FAnchors.Contains(akRight);
  bool T = FAnchors.Contains(akTop), B = FAnchors.Contains(akBottom);
  if (L && R) w += dw;
  else if (R) l += dw;
  else if (!L) l += dw / 2;  // neither side: keeps its place relative to the centre
  if (T && B) h += dh;
  else if (B) t += dh;
  else if (!T) t += dh / 2;
  FAnchorMove = true;
  SetBounds(l, t, std::max(0, w), std::max(0, h));
  FAnchorMove = false;
}

void TControl::SetAlign(TAlign Value) {
  if (Value == FAlign) return;
  TAlign old = FAlign;
  FAlign = Value;
  if (old != alNone && Value == alNone && FParent) UpdateAnchorRules();
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
  if (Value == FAnchors) return;
  FAnchors = Value;
  UpdateAnchorRules();
}

void TControl::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  if (Value) AdjustSize();
}

void TControl::AdjustSize() {
  if (!FAutoSize || ComponentState().Contains(csLoading)) return;
  int32_t w = FWidth, h = FHeight;
  if (CanAutoSize(w, h) && (w != FWidth || h != FHeight)) SetBounds(FLeft, FTop, w, h);
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

// ---- tree -------------------------------------------------------------------------------------

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (AParent == this) throw EComponentError("A control cannot have itself as its parent");
  if (auto* self = dynamic_cast<TWinControl*>(this))
    for (TWinControl* p = AParent; p; p = p->Parent())
      if (p == self) throw EComponentError("A control cannot have one of its children as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

void TControl::BringToFront() {
  if (!FParent) return;
  auto* w = dynamic_cast<TWinControl*>(this);
  if (w) {
    auto& v = FParent->FWinControls;
    v.erase(std::find(v.begin(), v.end(), w));
    v.push_back(w);
    if (w->HandleAllocated()) SetWindowPos(w->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    auto& v = FParent->FControls;
    v.erase(std::find(v.begin(), v.end(), this));
    v.push_back(this);
    Invalidate();
  }
  FParent->Realign();
}

void TControl::SendToBack() {
  if (!FParent) return;
  auto* w = dynamic_cast<TWinControl*>(this);
  if (w) {
    auto& v = FParent->FWinControls;
    v.erase(std::find(v.begin(), v.end(), w));
    v.insert(v.begin(), w);
    if (w->HandleAllocated()) SetWindowPos(w->FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    auto& v = FParent->FControls;
    v.erase(std::find(v.begin(), v.end(), this));
    v.insert(v.begin(), this);
    Invalidate();
  }
  FParent->Realign();
}

// ---- state ------------------------------------------------------------------------------------

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  VisibleChanging();
  if (!Value) Invalidate();  // the place it leaves, while it still counts as shown
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
  if (Value) Invalidate();
  RequestAlign();
}

void TControl::Show() {
  if (FParent && !FParent->Visible() && !dynamic_cast<TCustomForm*>(FParent)) FParent->Show();
  SetVisible(true);
}

void TControl::Hide() { SetVisible(false); }

void TControl::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::FontChanged(TObject*) {
  if (FSettingFont) return;
  FParentFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
  if (Value == FParentFont) return;
  FParentFont = Value;
  if (Value && FParent && !ComponentState().Contains(csLoading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::CMParentFontChanged(TMessage& Message) {
  if (!FParentFont || !FParent) return;
  FSettingFont = true;
  FFont->Assign(FParent->Font());
  FSettingFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
  if (Value == FColor) {
    FParentColor = false;
    return;
  }
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  if (Value == FParentColor) return;
  FParentColor = Value;
  if (Value && FParent && !ComponentState().Contains(csLoading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::CMParentColorChanged(TMessage& Message) {
  if (!FParentColor || !FParent) return;
  if (FColor != FParent->Color()) {
    FColor = FParent->Color();
    Perform(CM_COLORCHANGED, 0, 0);
  }
  FParentColor = true;
}

void TControl::SetShowHint(bool Value) {
  FShowHint = Value;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
  if (Value == FParentShowHint) return;
  FParentShowHint = Value;
  if (Value && FParent) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (FParentShowHint && FParent) {
    FShowHint = FParent->ShowHint();
    Perform(CM_SHOWHINTCHANGED, 0, 0);
  }
}

std::string TControl::GetText() {
  LRESULT len = Perform(WM_GETTEXTLENGTH, 0, 0);
  if (len <= 0) return std::string();
  std::string buf(size_t(len) + 1, '\0');
  LRESULT n = Perform(WM_GETTEXT, WPARAM(buf.size()), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(size_t(std::clamp<LRESULT>(n, 0, len)));
  return buf;
}

void TControl::SetText(const std::string& Value) {
  if (Value == GetText()) return;
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (Value == FPopupMenu) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0 || ComponentState().Contains(csDesigning)) return;
  TPoint pt{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  bool fromKeyboard = pt.x == -1 && pt.y == -1;
  if (!fromKeyboard) {
    TRect r = ClientRect();
    TPoint p = ScreenToClient(pt);
    if (!PtInRect(&r, POINT{p.x, p.y})) {
      DefaultHandler(Message);
      return;
    }
  }
  TPopupMenu* menu = FPopupMenu;
  if (menu && menu->AutoPopup()) {
    SendCancelMode(nullptr);
    menu->SetPopupComponent(this);
    // From the keyboard the menu opens at the control's top-left corner.
    if (fromKeyboard) pt = ClientToScreen(TPoint{0, 0});
    Message.Result = 1;
    menu->Popup(pt.x, pt.y);
    return;
  }
  DefaultHandler(Message);
}

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* Value) {
  if (Value == Action()) return;
  if (!Value) {
    FActionLink.reset();
    return;
  }
  if (!FActionLink) FActionLink = CreateActionLink();
  FActionLink->SetAction(Value);
  FActionLink->OnChange = [this](TObject* Sender) {
    if (FActionLink && Sender == FActionLink->Action()) ActionChange(Sender, false);
  };
  ActionChange(Value, Value->ComponentState().Contains(csLoading));
  Value->FreeNotification(this);
}

std::unique_ptr<TControlActionLink> TControl::CreateActionLink() {
  return std::make_unique<TControlActionLink>(this);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a) return;
  if (!CheckDefaults || Caption().empty() || Caption() == Name()) SetCaption(a->Caption());
  if (!CheckDefaults || FEnabled) SetEnabled(a->Enabled());
  if (!CheckDefaults || FHint.empty()) SetHint(a->Hint());
  if (!CheckDefaults || FVisible) SetVisible(a->Visible());
}

void TControl::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (FPopupMenu == AComponent) FPopupMenu = nullptr;
  if (FActionLink && FActionLink->Action() == AComponent) FActionLink.reset();
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (FParent) {
    if (FParentColor) Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (FParentFont) Perform(CM_PARENTFONTCHANGED, 0, 0);
  }
  UpdateAnchorRules();
  AdjustSize();
  RequestAlign();
}

// ---- painting ---------------------------------------------------------------------------------

void TControl::Invalidate() {
  if (!FParent || !FParent->HandleAllocated() || !FVisible) return;
  RECT r = BoundsRect();
  InvalidateRect(FParent->FHandle, &r, !FControlStyle.Contains(csOpaque));
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

// ---- TGraphicControl --------------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT) {
    // The parent hands over its paint DC, already moved and clipped to this control.
    FCanvas->Lock();
    FCanvas->SetHandle(reinterpret_cast<HDC>(Message.WParam));
    FCanvas->Font()->Assign(FFont.get());
    try {
      Paint();
    } catch (...) {
      FCanvas->SetHandle(nullptr);
      FCanvas->Unlock();
      throw;
    }
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
    return;
  }
  TControl::Dispatch(Message);
}
