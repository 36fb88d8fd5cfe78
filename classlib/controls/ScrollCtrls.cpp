// The plain scroll bar and up/down controls.
#include "classlib/ScrollCtrls.h"

#include <algorithm>
#include <cstdlib>

#include "classlib/Forms.h"

using namespace win;
using namespace win::detail;

namespace {
constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeat = 500;
}  // namespace

// ---- TScrollBar -------------------------------------------------------------------------------

TScrollBar::TScrollBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks, csOpaque};
  SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
}

TScrollBar::~TScrollBar() = default;

void TScrollBar::SetKind(TScrollBarKind Value) {
  if (Value == FKind) return;
  FKind = Value;
  if (!Loading()) SetBounds(Left(), Top(), Height(), Width());
  Invalidate();
}

int32_t TScrollBar::MaxPosition() const {
  if (FPageSize <= 0) return FMax;
  return std::max(FMin, int32_t(int64_t(FMax) - FPageSize + 1));
}

void TScrollBar::SetParams(int32_t APosition, int32_t AMin, int32_t AMax) {
  if (Loading()) {
    FPosition = APosition;
    FMin = AMin;
    FMax = AMax;
    return;
  }
  if (AMax < AMin) throw EInvalidOperation("Scroll bar property out of range (Max below Min)");
  int32_t old = FPosition;
  FMin = AMin;
  FMax = AMax;
  int64_t range = int64_t(FMax) - FMin + 1;
  if (FPageSize > range) FPageSize = int32_t(range);
  FPosition = std::clamp(APosition, FMin, MaxPosition());
  Invalidate();
  if (FPosition != old) Change();
}

void TScrollBar::SetMin(int32_t Value) { SetParams(FPosition, Value, FMax); }
void TScrollBar::SetMax(int32_t Value) { SetParams(FPosition, FMin, Value); }
void TScrollBar::SetPosition(int32_t Value) { SetParams(Value, FMin, FMax); }

void TScrollBar::SetPageSize(int32_t Value) {
  if (Loading()) {
    FPageSize = Value;
    return;
  }
  int64_t range = int64_t(FMax) - FMin + 1;
  FPageSize = int32_t(std::clamp<int64_t>(Value, 0, range));
  SetParams(FPosition, FMin, FMax);  // the last position moves with the page
}

void TScrollBar::SetSmallChange(int32_t Value) { FSmallChange = std::clamp(Value, 1, 32767); }
void TScrollBar::SetLargeChange(int32_t Value) { FLargeChange = std::clamp(Value, 1, 32767); }

void TScrollBar::Loaded() {
  TCustomControl::Loaded();
  if (FMax < FMin) FMax = FMin;
  int64_t range = int64_t(FMax) - FMin + 1;
  FPageSize = int32_t(std::clamp<int64_t>(FPageSize, 0, range));
  FPosition = std::clamp(FPosition, FMin, MaxPosition());
  Invalidate();
}

void TScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int32_t& ScrollPos) {
  if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::DoScroll(TScrollCode ScrollCode, int32_t ThumbPos) {
  int64_t pos = FPosition;
  switch (ScrollCode) {
    case scLineUp: pos -= FSmallChange; break;
    case scLineDown: pos += FSmallChange; break;
    case scPageUp: pos -= FLargeChange; break;
    case scPageDown: pos += FLargeChange; break;
    case scPosition: case scTrack: pos = ThumbPos; break;
    case scTop: pos = FMin; break;
    case scBottom: pos = MaxPosition(); break;
    case scEndScroll: break;
  }
  int32_t scrollPos = int32_t(std::clamp<int64_t>(pos, FMin, MaxPosition()));
  Scroll(ScrollCode, scrollPos);
  SetPosition(scrollPos);
}

ScrollBarParts TScrollBar::Layout() {
  ScrollBarParts p;
  TRect r = ClientRect();
  LayoutScrollBar(r, FKind == sbVertical, FMin, FMax, UINT(std::max(0, FPageSize)), FPosition, &p);
  return p;
}

int TScrollBar::PartAt(int X, int Y) {
  ScrollBarParts p = Layout();
  POINT pt{X, Y};
  if (PtInRect(&p.less, pt)) return ScrollBarLess;
  if (PtInRect(&p.more, pt)) return ScrollBarMore;
  if (!p.hasThumb || !PtInRect(&p.bar, pt)) return ScrollBarNoPart;
  if (PtInRect(&p.thumb, pt)) return ScrollBarThumb;
  int along = FKind == sbVertical ? Y : X;
  int thumbStart = FKind == sbVertical ? p.thumb.top : p.thumb.left;
  return along < thumbStart ? ScrollBarTrackLess : ScrollBarTrackMore;
}

void TScrollBar::Paint() {
  ScrollBarParts p = Layout();
  DrawScrollBar(Canvas()->Handle(), p, FKind == sbVertical, Enabled(), FPressed);
  if (Focused() && p.hasThumb) {
    // The focused bar marks its thumb with a dotted frame.
    RECT t = p.thumb;
    InflateRect(&t, -3, -3);
    if (t.right > t.left && t.bottom > t.top) DrawFocusRect(Canvas()->Handle(), &t);
  }
}

void TScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (TabStop() && CanFocus() && !Focused()) SetFocus();
  FPointer = TPoint{X, Y};
  int part = PartAt(X, Y);
  if (part == ScrollBarNoPart) return;
  ScrollBarParts p = Layout();
  if (!p.hasThumb) return;  // nothing to scroll
  FPressed = part;
  if (part == ScrollBarThumb) {
    FGrab = (FKind == sbVertical ? Y - p.thumb.top : X - p.thumb.left);
    FDragPos = FPosition;
    Invalidate();
    return;
  }
  RepeatStep();
  SetTimer(Handle(), kRepeatTimer, kFirstRepeat, nullptr);
  FTimerOn = true;
  Invalidate();
}

void TScrollBar::RepeatStep() {
  // The held part must still be under the pointer; the track stops when the thumb reaches it.
  if (PartAt(FPointer.x, FPointer.y) != FPressed) return;
  switch (FPressed) {
    case ScrollBarLess: DoScroll(scLineUp); break;
    case ScrollBarMore: DoScroll(scLineDown); break;
    case ScrollBarTrackLess: DoScroll(scPageUp); break;
    case ScrollBarTrackMore: DoScroll(scPageDown); break;
    default: break;
  }
}

void TScrollBar::StopRepeat() {
  if (FTimerOn && HandleAllocated()) KillTimer(FHandle, kRepeatTimer);
  FTimerOn = false;
}

void TScrollBar::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  FPointer = TPoint{X, Y};
  if (FPressed != ScrollBarThumb) return;
  ScrollBarParts p = Layout();
  int free = p.trackLength - p.thumbLength;
  if (free <= 0 || p.span <= 0) return;
  int along = FKind == sbVertical ? Y : X;
  int offset = std::clamp(along - FGrab - p.trackStart, 0, free);
  int32_t pos = FMin + int32_t((int64_t(p.span) * offset + free / 2) / free);
  if (pos == FDragPos) return;
  FDragPos = pos;
  DoScroll(scTrack, pos);
}

void TScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || FPressed == ScrollBarNoPart) return;
  int pressed = FPressed;
  FPressed = ScrollBarNoPart;
  StopRepeat();
  if (pressed == ScrollBarThumb) DoScroll(scPosition, FDragPos);
  DoScroll(scEndScroll);
  Invalidate();
}

void TScrollBar::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  TScrollCode code;
  switch (Key) {
    case VK_UP: case VK_LEFT: code = scLineUp; break;
    case VK_DOWN: case VK_RIGHT: code = scLineDown; break;
    case VK_PRIOR: code = scPageUp; break;
    case VK_NEXT: code = scPageDown; break;
    case VK_HOME: code = scTop; break;
    case VK_END: code = scBottom; break;
    default: return;
  }
  Key = 0;
  DoScroll(code);
  DoScroll(scEndScroll);
}

void TScrollBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
    case WM_TIMER:
      if (Message.WParam == kRepeatTimer) {
        if (FTimerOn) SetTimer(FHandle, kRepeatTimer, 50, nullptr);
        RepeatStep();
        return;
      }
      break;
    case WM_SETFOCUS: case WM_KILLFOCUS: Invalidate(); break;
    case WM_CANCELMODE: case CM_CANCELMODE:
      // A press elsewhere ends a held part (not the bar's own press, which comes first).
      if (FPressed != ScrollBarNoPart && Message.LParam != reinterpret_cast<LPARAM>(this)) {
        FPressed = ScrollBarNoPart;
        StopRepeat();
        Invalidate();
      }
      break;
    case WM_ERASEBKGND: Message.Result = 1; return;  // Paint covers every pixel
  }
  TCustomControl::Dispatch(Message);
}

// ---- TUpDown ----------------------------------------------------------------------------------

TUpDown::TUpDown(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csFixedWidth, csFixedHeight};
  SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYVSCROLL) * 2);
}

TUpDown::~TUpDown() { Unhook(); }

void TUpDown::Unhook() {
  if (!FAssociate) return;
  if (FAssociateProc) FAssociate->WindowProc = FAssociateProc;
  FAssociateProc = nullptr;
  FAssociate->RemoveFreeNotification(this);
  FAssociate = nullptr;
}

void TUpDown::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FAssociate) {
    FAssociate = nullptr;  // it goes with its own window procedure
    FAssociateProc = nullptr;
  }
}

void TUpDown::SetAssociate(TWinControl* Value) {
  if (Value == FAssociate) return;
  if (Value == this || dynamic_cast<TUpDown*>(Value))
    throw EInvalidOperation("An up/down cannot be associated with itself or another up/down");
  Unhook();
  if (!Value) return;
  FAssociate = Value;
  Value->FreeNotification(this);
  FAssociateProc = Value->WindowProc;
  Value->WindowProc = [this](TMessage& m) {
    TWndMethod next = FAssociateProc;  // a copy: a step may unhook
    if (m.Msg == WM_KEYDOWN && FArrowKeys && Enabled() && (m.WParam == VK_UP || m.WParam == VK_DOWN)) {
      Step(m.WParam == VK_UP ? btNext : btPrev);
      return;
    }
    if (m.Msg == WM_GETDLGCODE && FArrowKeys) {
      if (next) next(m);
      m.Result |= DLGC_WANTARROWS;
      return;
    }
    if (next) next(m);
  };
  if (!ComponentState().Contains(csLoading)) {
    PlaceBeside();
    UpdateAssociate();
  }
}

void TUpDown::PlaceBeside() {
  if (!FAssociate || FAssociate->Parent() != Parent()) return;
  TWinControl* a = FAssociate;
  int32_t w = Width();
  if (a->Width() <= w) return;  // no room to give
  if (FAlignButton == udRight) {
    a->SetWidth(a->Width() - w);
    SetBounds(a->Left() + a->Width(), a->Top(), w, a->Height());
  } else {
    SetBounds(a->Left(), a->Top(), w, a->Height());
    a->SetBounds(a->Left() + w, a->Top(), a->Width() - w, a->Height());
  }
}

void TUpDown::SetAlignButton(TUDAlignButton Value) { FAlignButton = Value; }

void TUpDown::Loaded() {
  TCustomControl::Loaded();
  FPosition = std::clamp(FPosition, Lo(), Hi());
  if (FAssociate) {
    PlaceBeside();
    UpdateAssociate();
  }
}

std::string TUpDown::PositionText(int32_t Value) const {
  std::string digits = std::to_string(std::llabs(int64_t(Value)));
  if (FThousands)
    for (int i = int(digits.size()) - 3; i > 0; i -= 3) digits.insert(size_t(i), ",");
  return Value < 0 ? "-" + digits : digits;
}

void TUpDown::UpdateAssociate() {
  if (FAssociate) FAssociate->SetText(PositionText(FPosition));
}

void TUpDown::ReadAssociate() {
  if (!FAssociate) return;
  std::string t;
  for (char ch : FAssociate->Text())
    if (ch != ',' && ch != ' ') t += ch;
  if (t.empty()) return;
  char* end = nullptr;
  long long v = std::strtoll(t.c_str(), &end, 10);
  if (!end || *end != '\0') return;  // not a number: the stored position stands
  FPosition = int32_t(std::clamp<long long>(v, Lo(), Hi()));
}

int32_t TUpDown::Position() {
  ReadAssociate();
  return FPosition;
}

void TUpDown::SetPosition(int32_t Value) {
  FPosition = ComponentState().Contains(csLoading) ? Value : std::clamp(Value, Lo(), Hi());
  if (!ComponentState().Contains(csLoading)) UpdateAssociate();
}

void TUpDown::SetMin(int32_t Value) {
  FMin = Value;
  if (!ComponentState().Contains(csLoading)) SetPosition(FPosition);
}

void TUpDown::SetMax(int32_t Value) {
  FMax = Value;
  if (!ComponentState().Contains(csLoading)) SetPosition(FPosition);
}

void TUpDown::SetOrientation(TUDOrientation Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  Invalidate();
}

void TUpDown::SetThousands(bool Value) {
  FThousands = Value;
  if (!ComponentState().Contains(csLoading)) UpdateAssociate();
}

bool TUpDown::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TUpDown::Click(TUDBtnType Button) {
  if (OnClick) OnClick(this, Button);
}

void TUpDown::Step(TUDBtnType Button) {
  ReadAssociate();
  int64_t delta = Button == btNext ? int64_t(FIncrement) : -int64_t(FIncrement);
  if (FMax < FMin) delta = -delta;  // a reversed range counts the other way
  int64_t pos = int64_t(FPosition) + delta, lo = Lo(), hi = Hi();
  if (pos > hi) pos = FWrap ? lo : hi;
  if (pos < lo) pos = FWrap ? hi : lo;
  if (pos != FPosition && CanChange()) {
    FPosition = int32_t(pos);
    UpdateAssociate();
  }
  Click(Button);
}

TRect TUpDown::ButtonRect(TUDBtnType Button) {
  TRect r = ClientRect();
  if (FOrientation == udVertical) {
    int mid = r.bottom / 2;
    return Button == btNext ? TRect{0, 0, r.right, mid} : TRect{0, mid, r.right, r.bottom};
  }
  int mid = r.right / 2;
  return Button == btPrev ? TRect{0, 0, mid, r.bottom} : TRect{mid, 0, r.right, r.bottom};
}

int TUpDown::ButtonAt(int X, int Y) {
  POINT p{X, Y};
  for (TUDBtnType b : {btNext, btPrev}) {
    TRect r = ButtonRect(b);
    if (PtInRect(&r, p)) return b;
  }
  return -1;
}

void TUpDown::Paint() {
  HDC dc = Canvas()->Handle();
  bool vertical = FOrientation == udVertical;
  for (TUDBtnType b : {btNext, btPrev}) {
    // Up and right arrows step to the next position.
    bool less = vertical ? b == btNext : b == btPrev;
    DrawScrollArrow(dc, ButtonRect(b), vertical, less, Enabled(), FPressed == b && FOver);
  }
}

void TUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  FPressed = ButtonAt(X, Y);
  if (FPressed < 0) return;
  FOver = true;
  if (FAssociate && FAssociate->CanFocus()) FAssociate->SetFocus();
  Invalidate();
  Step(TUDBtnType(FPressed));
  if (FPressed >= 0 && HandleAllocated()) {
    SetTimer(FHandle, kRepeatTimer, kFirstRepeat, nullptr);
    FTimerOn = true;
  }
}

void TUpDown::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (FPressed < 0) return;
  bool over = ButtonAt(X, Y) == FPressed;
  if (over != FOver) {
    FOver = over;
    Invalidate();
  }
}

void TUpDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (FTimerOn && HandleAllocated()) KillTimer(FHandle, kRepeatTimer);
  FTimerOn = false;
  if (FPressed >= 0) Invalidate();
  FPressed = -1;
}

void TUpDown::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (!FArrowKeys) return;
  switch (Key) {
    case VK_UP: case VK_RIGHT: Key = 0; Step(btNext); break;
    case VK_DOWN: case VK_LEFT: Key = 0; Step(btPrev); break;
    default: break;
  }
}

void TUpDown::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE: Message.Result = FArrowKeys ? DLGC_WANTARROWS : 0; return;
    case WM_TIMER:
      if (Message.WParam == kRepeatTimer) {
        if (FTimerOn) SetTimer(FHandle, kRepeatTimer, 100, nullptr);
        if (FPressed >= 0 && FOver) Step(TUDBtnType(FPressed));
        return;
      }
      break;
    case WM_CANCELMODE: case CM_CANCELMODE:
      if (Message.LParam == reinterpret_cast<LPARAM>(this)) break;
      if (FTimerOn && HandleAllocated()) KillTimer(FHandle, kRepeatTimer);
      FTimerOn = false;
      if (FPressed >= 0) Invalidate();
      FPressed = -1;
      break;
    case WM_ERASEBKGND: Message.Result = 1; return;
  }
  TCustomControl::Dispatch(Message);
}
