// The plain combo box (drop-down list style) and its dropped list.
#include "classlib/ComboBox.h"

#include <algorithm>

#include "base/Text.h"
#include "classlib/Forms.h"

using namespace win;

namespace {
constexpr int kButtonWidth = 17;  // the arrow button at the right
}  // namespace

// The dropped list: a popup below the combo that never takes the activation. The combo keeps
// the focus and the mouse capture while it is up, and hands it the pointer and the keys.
class TComboListWindow : public TCustomControl {
public:
  explicit TComboListWindow(TComboBox* ACombo) : TCustomControl(nullptr), FCombo(ACombo) {
    FControlStyle = TControlStyle{csOpaque};
    Font()->Assign(ACombo->Font());
  }
  bool CanFocus() override { return false; }

  int Count() const { return FCombo->Items()->Count(); }
  int Rows() const { return std::max(1, std::min(Count(), FCombo->DropDownCount())); }
  int Hot() const { return FHot; }
  void SetHot(int Index) {
    FHot = Count() ? std::clamp(Index, 0, Count() - 1) : -1;
    if (FHot >= 0 && FHot < FTop) FTop = FHot;
    if (FHot >= FTop + Rows()) FTop = FHot - Rows() + 1;
    Invalidate();
  }
  void Scroll(int Lines) {
    FTop = std::clamp(FTop + Lines, 0, std::max(0, Count() - Rows()));
    Invalidate();
  }
  // The item under a client point, or -1.
  int ItemAt(int X, int Y) const {
    if (X < 0 || X >= Width() || Y < 1 || Y >= Height() - 1) return -1;
    int i = FTop + (Y - 1) / FCombo->ItemHeight();
    return i < Count() ? i : -1;
  }
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == WM_MOUSEACTIVATE) {
      Message.Result = MA_NOACTIVATE;
      return;
    }
    TCustomControl::Dispatch(Message);
  }

protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WndParent = nullptr;
  }
  void Paint() override {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(clWindow);
    c->FillRect(ClientRect());
    c->Font()->Assign(Font());
    HDC dc = c->Handle();
    SetBkMode(dc, TRANSPARENT);
    const int h = FCombo->ItemHeight();
    for (int row = 0; row < Rows() && FTop + row < Count(); ++row) {
      const int i = FTop + row;
      TRect r{0, row * h, Width() - 2, (row + 1) * h};
      const bool hot = i == FHot;
      if (hot) {
        c->Brush()->SetColor(clHighlight);
        c->FillRect(r);
      }
      SetTextColor(dc, ColorToRGB(hot ? clHighlightText : clWindowText));
      r.left += 2;
      std::string text = FCombo->Items()->Get(i);
      DrawText(dc, text, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
  }

private:
  TComboBox* FCombo;
  int FTop = 0, FHot = -1;
};

TComboBox::TComboBox(TComponent* AOwner) : TCustomControl(AOwner), FItems(std::make_unique<TStringList>()) {
  // No automatic capture: the dropped list holds the capture until it closes.
  FControlStyle = TControlStyle{csOpaque, csSetCaption};
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetColor(clWindow);
  FItems->OnChange = [this](TObject*) { ItemsChanged(); };
}

TComboBox::~TComboBox() {
  FItems->OnChange = nullptr;
  FList.reset();
}

TCustomControl* TComboBox::ListWindow() const { return FList.get(); }

int32_t TComboBox::ItemHeight() {
  // The text's line height and a pixel above and below.
  return std::max(8, int32_t(std::abs(Font()->Height())) + 4);
}

void TComboBox::ItemsChanged() {
  if (FItemIndex >= FItems->Count()) FItemIndex = -1;
  if (FList) FList->SetHot(FList->Hot());
  Invalidate();
}

void TComboBox::SetItemIndex(int32_t Value) {
  if (Loading()) {
    FItemIndex = Value;  // the items may come later; checked in Loaded
    return;
  }
  if (Value < 0 || Value >= FItems->Count()) Value = -1;
  if (Value == FItemIndex) return;
  FItemIndex = Value;
  if (FList) FList->SetHot(Value);
  Invalidate();
}

void TComboBox::Loaded() {
  TCustomControl::Loaded();
  if (FItemIndex < -1 || FItemIndex >= FItems->Count()) FItemIndex = -1;
  // A Text read before the items chooses its item now, unless ItemIndex chose one.
  if (FItemIndex < 0 && !FPendingText.empty()) SetText(FPendingText);
  FPendingText.clear();
}

std::string TComboBox::GetText() { return FItemIndex >= 0 ? FItems->Get(FItemIndex) : std::string(); }

void TComboBox::SetText(const std::string& Value) {
  if (Loading()) {
    FPendingText = Value;
    return;
  }
  int32_t found = -1;
  for (int32_t i = 0; i < FItems->Count() && found < 0; ++i)
    if (SameText(FItems->Get(i), Value)) found = i;
  SetItemIndex(found);
}

void TComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TComboBox::Choose(int32_t Index) {
  if (FItems->Count() == 0) return;
  Index = std::clamp(Index, 0, FItems->Count() - 1);
  if (Index == FItemIndex) return;
  SetItemIndex(Index);
  Change();
}

void TComboBox::SetDroppedDown(bool Value) {
  if (Value == DroppedDown()) return;
  if (!Value) {
    auto list = std::move(FList);
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    list.reset();
    Invalidate();
    if (OnCloseUp) OnCloseUp(this);
    return;
  }
  if (!HandleAllocated() || !Showing()) return;
  if (OnDropDown) OnDropDown(this);
  FList = std::make_unique<TComboListWindow>(this);
  const int rows = FList->Rows();
  TPoint at = ClientToScreen(TPoint{0, Height()});
  const int w = Width(), h = rows * ItemHeight() + 2;
  HWND lh = FList->Handle();
  FList->SetBounds(at.x, at.y, w, h);
  FList->SetHot(FItemIndex);
  SetWindowPos(lh, HWND_TOPMOST, at.x, at.y, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  SetCapture(Handle());
  Invalidate();
}

void TComboBox::Paint() {
  TCanvas* c = Canvas();
  HDC dc = c->Handle();
  RECT r = ClientRect();
  c->Brush()->SetColor(Enabled() ? Color() : clBtnFace);
  c->FillRect(ClientRect());
  DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
  // The arrow button.
  RECT b{Width() - 2 - kButtonWidth, 2, Width() - 2, Height() - 2};
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(TRect{b.left, b.top, b.right, b.bottom});
  RECT be = b;
  DrawEdge(dc, &be, DroppedDown() ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  const int cx = (b.left + b.right) / 2 + (DroppedDown() ? 1 : 0), cy = (b.top + b.bottom) / 2 + (DroppedDown() ? 1 : 0);
  c->Brush()->SetColor(Enabled() ? clBtnText : clGrayText);
  c->Pen()->SetColor(Enabled() ? clBtnText : clGrayText);
  c->Polygon({TPoint{cx - 3, cy - 1}, TPoint{cx + 3, cy - 1}, TPoint{cx, cy + 2}});
  // The chosen item, highlighted while the combo has the focus.
  TRect t{3, 3, b.left - 1, Height() - 3};
  const bool focused = Focused() && !DroppedDown();
  if (focused) {
    c->Brush()->SetColor(clHighlight);
    c->FillRect(t);
  }
  c->Font()->Assign(Font());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(!Enabled() ? clGrayText : focused ? clHighlightText : Font()->Color()));
  RECT tr = t;
  tr.left += 1;
  std::string text = GetText();
  DrawText(dc, text, &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (focused) DrawFocusRect(dc, &t);
}

void TComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (DroppedDown()) {
    // With the capture every press comes here: one in the list is finished on release, one
    // anywhere else closes the list.
    TPoint p = FList->ScreenToClient(ClientToScreen(TPoint{X, Y}));
    if (FList->ItemAt(p.x, p.y) < 0) SetDroppedDown(false);
    return;
  }
  if (CanFocus() && !Focused()) SetFocus();
  SetDroppedDown(true);
}

void TComboBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; return;
    case WM_MOUSEMOVE: case WM_LBUTTONUP:
      if (FList) {
        TPoint p{int16_t(LOWORD(Message.LParam)), int16_t(HIWORD(Message.LParam))};
        TPoint lp = FList->ScreenToClient(ClientToScreen(p));
        int i = FList->ItemAt(lp.x, lp.y);
        if (i >= 0) FList->SetHot(i);
        if (Message.Msg == WM_LBUTTONUP && i >= 0) {
          SetDroppedDown(false);
          Choose(i);
        }
      }
      break;
    case WM_CAPTURECHANGED:
      if (FList && reinterpret_cast<HWND>(Message.LParam) != FHandle) SetDroppedDown(false);
      break;
    case WM_KILLFOCUS: case WM_CANCELMODE:
      SetDroppedDown(false);
      Invalidate();
      break;
    case CM_CANCELMODE:
      if (Message.LParam != reinterpret_cast<LPARAM>(this)) SetDroppedDown(false);
      break;
    case WM_SETFOCUS: Invalidate(); break;
    default: break;
  }
  TCustomControl::Dispatch(Message);
}

void TComboBox::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  const bool alt = Shift.Contains(ssAlt);
  if (Key == VK_F4 || (alt && (Key == VK_DOWN || Key == VK_UP))) {
    Key = 0;
    SetDroppedDown(!DroppedDown());
    return;
  }
  if (FList) {
    int hot = FList->Hot();
    switch (Key) {
      case VK_RETURN:
        Key = 0;
        SetDroppedDown(false);
        if (hot >= 0) Choose(hot);
        return;
      case VK_ESCAPE: Key = 0; SetDroppedDown(false); return;
      case VK_UP: case VK_LEFT: FList->SetHot(hot - 1); break;
      case VK_DOWN: case VK_RIGHT: FList->SetHot(hot + 1); break;
      case VK_PRIOR: FList->SetHot(hot - (FList->Rows() - 1)); break;
      case VK_NEXT: FList->SetHot(hot + (FList->Rows() - 1)); break;
      case VK_HOME: FList->SetHot(0); break;
      case VK_END: FList->SetHot(FItems->Count() - 1); break;
      default: return;
    }
    Key = 0;
    return;
  }
  const int32_t page = std::max(1, FDropDownCount - 1);
  int32_t to;
  switch (Key) {
    case VK_UP: case VK_LEFT: to = FItemIndex < 0 ? 0 : FItemIndex - 1; break;
    case VK_DOWN: case VK_RIGHT: to = FItemIndex + 1; break;
    case VK_PRIOR: to = FItemIndex - page; break;
    case VK_NEXT: to = FItemIndex < 0 ? page - 1 : FItemIndex + page; break;
    case VK_HOME: to = 0; break;
    case VK_END: to = FItems->Count() - 1; break;
    default: return;
  }
  Key = 0;
  Choose(to);
}

void TComboBox::KeyPress(uint32_t& Key) {
  TCustomControl::KeyPress(Key);
  if (Key < 0x20 || Key == 0x7F) return;
  // The next item after the chosen one whose text begins with the typed character.
  std::string typed;
  Utf8Append(typed, char32_t(Key));
  typed = UpperCase(typed);
  const int32_t n = FItems->Count();
  for (int32_t k = 1; k <= n; ++k) {
    int32_t i = ((FList ? FList->Hot() : FItemIndex) + k + n) % n;
    if (i < 0) continue;
    if (UpperCase(FItems->Get(i)).starts_with(typed)) {
      if (FList) FList->SetHot(i);
      else Choose(i);
      break;
    }
  }
  Key = 0;
}

bool TComboBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  const int notches = WheelDelta / WHEEL_DELTA;
  if (notches == 0) return false;
  if (FList) FList->Scroll(-notches);
  else if (FItems->Count()) Choose(FItemIndex < 0 ? 0 : FItemIndex - notches);
  return true;
}
