// TWinControl and TCustomControl: the window behind a control, its children and their painting,
// mouse routing to graphic children, alignment, focus, keyboard and dialog keys.
#include <algorithm>
#include <exception>

#include "base/Text.h"
#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/controls/ControlsInternal.h"

using namespace win;

namespace {

constexpr const char* kControlProp = "OmbrelControl";
thread_local TWinControl* t_creating = nullptr;
int g_nextId = 100;

LRESULT ControlWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* c = static_cast<TWinControl*>(GetProp(h, kControlProp));
  if (!c) {
    c = t_creating;
    if (!c) return DefWindowProc(h, msg, w, l);
    t_creating = nullptr;
    SetProp(h, kControlProp, c);
    c->SetHandleFromWindow(h);
  }
  TMessage m{msg, w, l, 0};
  try {
    c->WindowProc(m);
  } catch (...) {
    controls_internal::HandleException(c, std::current_exception());
  }
  if (msg == WM_NCDESTROY) {
    RemoveProp(h, kControlProp);
    c->SetHandleFromWindow(nullptr);
  }
  return m.Result;
}

void EnsureClass(const TCreateParams& p) {
  WNDCLASS probe;
  if (GetClassInfo(nullptr, p.WinClassName.c_str(), &probe)) return;
  WNDCLASS wc;
  wc.style = p.WindowClass.style;
  wc.lpfnWndProc = ControlWndProc;
  wc.hCursor = p.WindowClass.hCursor ? p.WindowClass.hCursor : LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = p.WindowClass.hbrBackground;
  wc.lpszClassName = p.WinClassName.c_str();
  RegisterClass(&wc);
}

}  // namespace

// ---- construction -----------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(std::make_unique<TBrush>()) {
  FBrush->SetColor(FColor);
}

TWinControl::~TWinControl() {
  if (FParent) FParent->RemoveControl(this);  // while this is still a windowed control
  // Children go first, each with its window, while this object is still whole.
  while (ControlCount() > 0) {
    TControl* c = Controls(ControlCount() - 1);
    RemoveControl(c);
    delete c;
  }
  if (FHandle) {
    HWND h = FHandle;
    RemoveProp(h, kControlProp);
    FHandle = nullptr;
    DestroyWindow(h);
  }
  controls_internal::ForgetControl(this);
}

TWinControl* TWinControl::FromHandle(HWND h) {
  if (!h || !IsWindow(h)) return nullptr;
  return static_cast<TWinControl*>(GetProp(h, kControlProp));
}

void TWinControl::SetHandleFromWindow(HWND h) { FHandle = h; }

// ---- the window -------------------------------------------------------------------------------

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  if (FParent) Params.WndParent = FParent->Handle();
  else Params.WndParent = FParentWindow;
  if (!Params.WndParent) Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW;
  if (FControlStyle.Contains(csDoubleClicks)) Params.WindowClass.style |= CS_DBLCLKS;
  Params.WinClassName = ClassName();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  t_creating = this;
  HMENU id = (Params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(uintptr_t(g_nextId++)) : nullptr;
  HWND h = CreateWindowEx(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                          Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, id, nullptr,
                          Params.Param);
  t_creating = nullptr;
  if (!h) throw Exception("Error creating window of " + ClassName());
  FHandle = h;
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if (FVisible && (p.Style & WS_CHILD)) p.Style |= WS_VISIBLE;
  EnsureClass(p);
  FDefWndProc = DefWindowProc;
  CreateWindowHandle(p);
  // Keep the windows of the children in the z-order of the list.
  if (FParent) {
    auto& v = FParent->FWinControls;
    auto it = std::find(v.begin(), v.end(), this);
    HWND above = nullptr;
    for (auto j = it + 1; j != v.end() && it != v.end(); ++j)
      if ((*j)->FHandle) {
        above = (*j)->FHandle;
        break;
      }
    if (above) {
      // Place this window directly below the next sibling that already has one.
      HWND prev = GetWindow(above, GW_HWNDPREV);
      SetWindowPos(FHandle, prev ? prev : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  CreateWnd();
  UpdateBounds();
  for (TControl* c : FControls) c->UpdateAnchorRules();
  for (TWinControl* c : FWinControls) c->UpdateAnchorRules();
  Realign();
}

void TWinControl::DestroyWindowHandle() {
  if (!FHandle) return;
  HWND h = FHandle;
  DestroyWindow(h);  // WM_NCDESTROY clears FHandle
  FHandle = nullptr;
}

void TWinControl::DestroyWnd() { DestroyWindowHandle(); }

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TWinControl* c : FWinControls) c->DestroyHandle();
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  TCreateParams p;
  CreateParams(p);
  DWORD style = DWORD(GetWindowLongPtr(FHandle, GWL_STYLE));
  SetWindowLongPtr(FHandle, GWL_STYLE, LONG_PTR((p.Style & ~WS_VISIBLE) | (style & WS_VISIBLE)));
  SetWindowLongPtr(FHandle, GWL_EXSTYLE, LONG_PTR(p.ExStyle));
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  UpdateBounds();
  Realign();
}

bool TWinControl::ParentShowing() const {
  if (FParent) return FParent->FShowing;
  return FParentWindow != nullptr && IsWindowVisible(FParentWindow);
}

void TWinControl::UpdateShowing() {
  bool showing = FVisible && ParentShowing();
  if (showing && !FHandle) CreateHandle();
  if (showing != FShowing) {
    FShowing = showing;
    Perform(CM_SHOWINGCHANGED, 0, 0);
  }
  for (size_t i = 0; i < FWinControls.size(); ++i) FWinControls[i]->UpdateShowing();
}

void TWinControl::UpdateControlState() { UpdateShowing(); }

// ---- children ---------------------------------------------------------------------------------

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount()) throw EListError("Control index out of bounds (" + IntToStr(Index) + ")");
  if (size_t(Index) < FControls.size()) return FControls[size_t(Index)];
  return FWinControls[size_t(Index) - FControls.size()];
}

bool TWinControl::ContainsControl(TControl* Control) const {
  for (TControl* c = Control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) {
  auto hit = [&](TControl* c) {
    if (!c->Visible() || (!c->Enabled() && !AllowDisabled)) return false;
    TRect r = c->BoundsRect();
    if (!PtInRect(&r, Pos)) return false;
    return c->Perform(CM_HITTEST, 0, LPARAM(MAKELONG(WORD(Pos.x - c->Left()), WORD(Pos.y - c->Top())))) != 0;
  };
  if (AllowWinControls)
    for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it)
      if (hit(*it)) return *it;
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
    if (hit(*it)) return *it;
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  // A copy: a handler may add or remove controls.
  std::vector<TControl*> all(FControls);
  all.insert(all.end(), FWinControls.begin(), FWinControls.end());
  for (TControl* c : all) {
    if (std::find(FControls.begin(), FControls.end(), c) == FControls.end() &&
        std::find(FWinControls.begin(), FWinControls.end(), c) == FWinControls.end())
      continue;
    c->WindowProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage m{Msg, 0, 0, 0};
  std::vector<TControl*> all(FControls);
  all.insert(all.end(), FWinControls.begin(), FWinControls.end());
  for (TControl* c : all) c->WindowProc(m);
}

void TWinControl::InsertControl(TControl* AControl) {
  AControl->FParent = this;
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    FWinControls.push_back(w);
    FTabList.push_back(w);
  } else {
    FControls.push_back(AControl);
  }
  bool loading = AControl->ComponentState().Contains(csLoading);
  if (!loading) {
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
  }
  AControl->UpdateAnchorRules();
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    if (FHandle) w->UpdateControlState();
  } else {
    AControl->Invalidate();
  }
  AlignControl(AControl);
}

void TWinControl::RemoveControl(TControl* AControl) {
  if (AControl->FParent != this) return;
  if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(AControl, true);
  if (AControl->MouseCapture()) AControl->SetMouseCapture(false);
  if (MouseControl() == AControl || (MouseControl() && ContainsControlOf(AControl, MouseControl())))
    controls_internal::ForgetControl(MouseControl());
  AControl->Invalidate();
  // Found by pointer, not by class: a control leaves its parent from its destructor too.
  auto wit = std::find(FWinControls.begin(), FWinControls.end(), AControl);
  if (wit != FWinControls.end()) {
    TWinControl* w = *wit;
    FWinControls.erase(wit);
    auto t = std::find(FTabList.begin(), FTabList.end(), w);
    if (t != FTabList.end()) FTabList.erase(t);
    // The window cannot outlive its parent's: it is made again when next needed.
    if (w->FHandle) w->DestroyHandle();
    w->FShowing = false;
  } else {
    auto it = std::find(FControls.begin(), FControls.end(), AControl);
    if (it != FControls.end()) FControls.erase(it);
  }
  AControl->FParent = nullptr;
  Realign();
}

bool TWinControl::ContainsControlOf(TControl* Container, TControl* Control) {
  auto* w = dynamic_cast<TWinControl*>(Container);
  return w && w->ContainsControl(Control);
}

// ---- geometry and alignment -------------------------------------------------------------------

TRect TWinControl::ClientRect() {
  if (FHandle) {
    RECT r;
    GetClientRect(FHandle, &r);
    return r;
  }
  return TRect{0, 0, FWidth, FHeight};
}

TPoint TWinControl::ClientOrigin() {
  if (FHandle) {
    POINT p{0, 0};
    win::ClientToScreen(FHandle, &p);
    return p;
  }
  return TControl::ClientOrigin();
}

void TWinControl::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  AWidth = std::max(0, AWidth);
  AHeight = std::max(0, AHeight);
  bool loading = ComponentState().Contains(csLoading);
  if (!loading) {
    DoConstraints(AWidth, AHeight);
    if ((AWidth != FWidth || AHeight != FHeight) && !CanResize(AWidth, AHeight)) {
      AWidth = FWidth;
      AHeight = FHeight;
    }
  }
  bool changed = ALeft != FLeft || ATop != FTop || AWidth != FWidth || AHeight != FHeight;
  if (changed) {
    if (FHandle && !loading) {
      SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
      // The window may refuse or change the request (WM_WINDOWPOSCHANGING); UpdateBounds took
      // what it got.
    } else {
      bool sized = AWidth != FWidth || AHeight != FHeight;
      FLeft = ALeft;
      FTop = ATop;
      FWidth = AWidth;
      FHeight = AHeight;
      if (sized && !loading) {
        Realign();
        Resize();
      }
    }
  }
  if (!FAnchorMove) UpdateAnchorRules();
  if (changed) RequestAlign();
}

void TWinControl::UpdateBounds() {
  if (!FHandle) return;
  RECT r;
  GetWindowRect(FHandle, &r);
  if (GetWindowLongPtr(FHandle, GWL_STYLE) & WS_CHILD) {
    HWND p = GetParent(FHandle);
    if (p) MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
  }
  int32_t w = r.right - r.left, h = r.bottom - r.top;
  bool sized = w != FWidth || h != FHeight;
  FLeft = r.left;
  FTop = r.top;
  FWidth = w;
  FHeight = h;
  TRect cr = ClientRect();
  bool clientSized = cr.right != FLastClientSize.x || cr.bottom != FLastClientSize.y;
  FLastClientSize = TPoint{cr.right, cr.bottom};
  if (clientSized) Realign();
  if (sized && !ComponentState().Contains(csLoading)) Resize();
}

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0 && --FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
  if (FAlignLevel > 0 || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) {
    FControlState.Include(csAlignmentNeeded);
    return;
  }
  if (FRealigning) return;
  FRealigning = true;
  FControlState.Exclude(csAlignmentNeeded);
  try {
    TRect r = ClientRect();
    AlignControls(AControl, r);
  } catch (...) {
    FRealigning = false;
    throw;
  }
  FRealigning = false;
  if (FAutoSize) AdjustSize();
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  AdjustClientRect(Rect);
  auto key = [](TControl* c, TAlign a) {
    switch (a) {
      case alTop: return c->Top();
      case alBottom: return -(c->Top() + c->Height());
      case alLeft: return c->Left();
      case alRight: return -(c->Left() + c->Width());
      default: return 0;
    }
  };
  std::vector<TControl*> all(FControls);
  all.insert(all.end(), FWinControls.begin(), FWinControls.end());
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    for (TControl* c : all)
      if (c->Align() == a && c->Visible()) list.push_back(c);
    // Order by position; the control that asked goes before those it ties with.
    std::stable_sort(list.begin(), list.end(), [&](TControl* x, TControl* y) {
      int kx = key(x, a), ky = key(y, a);
      if (kx != ky) return kx < ky;
      return x == AControl && y != AControl;
    });
    for (TControl* c : list) {
      int32_t w = std::max(0, Rect.right - Rect.left), h = std::max(0, Rect.bottom - Rect.top);
      c->FAnchorMove = true;
      switch (a) {
        case alTop:
          c->SetBounds(Rect.left, Rect.top, w, c->Height());
          Rect.top += c->Height();
          break;
        case alBottom:
          c->SetBounds(Rect.left, Rect.bottom - c->Height(), w, c->Height());
          Rect.bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(Rect.left, Rect.top, c->Width(), h);
          Rect.left += c->Width();
          break;
        case alRight:
          c->SetBounds(Rect.right - c->Width(), Rect.top, c->Width(), h);
          Rect.right -= c->Width();
          break;
        default: c->SetBounds(Rect.left, Rect.top, w, h); break;
      }
      c->FAnchorMove = false;
    }
  }
  TRect cr = ClientRect();
  for (TControl* c : all)
    if (c->Align() == alNone) c->AnchorTo(cr.right, cr.bottom);
}

bool TWinControl::CanAutoSize(int32_t& NewWidth, int32_t& NewHeight) {
  if (ControlCount() == 0) return false;
  int32_t right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible()) continue;
    right = std::max(right, c->Left() + c->Width());
    bottom = std::max(bottom, c->Top() + c->Height());
  }
  TRect cr = ClientRect();
  NewWidth = FWidth - cr.right + right;
  NewHeight = FHeight - cr.bottom + bottom;
  return true;
}

void TWinControl::ScrollBy(int32_t DeltaX, int32_t DeltaY) {
  DisableAlign();
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    c->SetBounds(c->Left() + DeltaX, c->Top() + DeltaY, c->Width(), c->Height());
  }
  EnableAlign();
  Invalidate();
}

// ---- painting ---------------------------------------------------------------------------------

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::ExcludeOpaqueChildren(HDC DC) {
  for (TControl* c : FControls)
    if (c->Visible() && c->ControlStyle().Contains(csOpaque))
      ExcludeClipRect(DC, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
}

void TWinControl::PaintHandler(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  PAINTSTRUCT ps;
  bool own = dc == nullptr;
  if (own) dc = BeginPaint(FHandle, &ps);
  if (!dc) return;
  try {
    int saved = SaveDC(dc);
    // What an opaque graphic child covers is its own to paint.
    ExcludeOpaqueChildren(dc);
    PaintWindow(dc);
    RestoreDC(dc, saved);
    PaintControls(dc, nullptr);
  } catch (...) {
    if (own) EndPaint(FHandle, &ps);
    throw;
  }
  if (own) EndPaint(FHandle, &ps);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  auto it = FControls.begin();
  if (First) it = std::find(FControls.begin(), FControls.end(), First);
  std::vector<TControl*> list(it, FControls.end());
  RECT clip;
  bool hasClip = GetClipBox(DC, &clip) != 0;
  for (TControl* c : list) {
    if (!c->Visible()) continue;
    RECT r = c->BoundsRect(), tmp;
    if (hasClip && !IntersectRect(&tmp, &r, &clip)) continue;
    int saved = SaveDC(DC);
    OffsetViewportOrgEx(DC, c->Left(), c->Top(), nullptr);
    IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, saved);
  }
}

void TWinControl::PaintTo(HDC DC, int32_t X, int32_t Y) {
  int saved = SaveDC(DC);
  OffsetViewportOrgEx(DC, X, Y, nullptr);
  IntersectClipRect(DC, 0, 0, FWidth, FHeight);
  TMessage erase{WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0, 0};
  WindowProc(erase);
  TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  WindowProc(paint);
  for (TWinControl* c : FWinControls)
    if (c->Visible()) c->PaintTo(DC, c->Left(), c->Top());
  RestoreDC(DC, saved);
}

void TWinControl::WMPaint(TMessage& Message) { PaintHandler(Message); }

void TWinControl::WMEraseBkgnd(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (!dc) return;
  int saved = SaveDC(dc);
  ExcludeOpaqueChildren(dc);
  RECT r = ClientRect();
  FBrush->SetColor(FColor);
  FillRect(dc, &r, FBrush->Handle());
  RestoreDC(dc, saved);
  Message.Result = 1;
}

// ---- TCustomControl ---------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {}

TCustomControl::~TCustomControl() {
  FCanvas->FreeHandle();
}

void TCustomControl::PaintWindow(HDC DC) {
  controls_internal::PaintOnCanvas(*FCanvas, DC, FFont.get(), FColor, [this] { Paint(); });
}
