// The plain track bar and progress bar.
#include "classlib/ComCtrls.h"

#include <algorithm>

#include "classlib/Forms.h"

using namespace win;

namespace {
constexpr int kThumbLong = 11;   // the thumb's size across the bar's travel ...
constexpr int kThumbShort = 21;  // ... and along the other side
constexpr int kMargin = 8;       // between the ends of the channel and the control's edges

int64_t Clamp64(int64_t v, int32_t lo, int32_t hi) { return std::clamp<int64_t>(v, lo, hi); }
}  // namespace

// ---- TTrackBar --------------------------------------------------------------------------------

TTrackBar::TTrackBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csOpaque};
  SetBounds(0, 0, 150, 45);
  SetTabStop(true);
}

TTrackBar::~TTrackBar() = default;

void TTrackBar::SetOrientation(TTrackBarOrientation Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  if (!Loading()) SetBounds(Left(), Top(), Height(), Width());
  Invalidate();
}

void TTrackBar::SetParams(int32_t APosition, int32_t AMin, int32_t AMax) {
  if (Loading()) {
    FPosition = APosition;
    FMin = AMin;
    FMax = AMax;
    return;
  }
  if (AMax < AMin) throw EInvalidOperation("Track bar property out of range (Max below Min)");
  const int32_t old = FPosition;
  FMin = AMin;
  FMax = AMax;
  FPosition = std::clamp(APosition, FMin, FMax);
  Invalidate();
  if (FPosition != old) Changed();
}

void TTrackBar::SetMin(int32_t Value) { SetParams(FPosition, Value, FMax); }
void TTrackBar::SetMax(int32_t Value) { SetParams(FPosition, FMin, Value); }
void TTrackBar::SetPosition(int32_t Value) { SetParams(Value, FMin, FMax); }
void TTrackBar::SetLineSize(int32_t Value) { FLineSize = std::max(1, Value); }
void TTrackBar::SetPageSize(int32_t Value) { FPageSize = std::max(1, Value); }

void TTrackBar::SetFrequency(int32_t Value) {
  FFrequency = std::max(0, Value);
  Invalidate();
}

void TTrackBar::Loaded() {
  TCustomControl::Loaded();
  if (FMax < FMin) FMax = FMin;
  FPosition = std::clamp(FPosition, FMin, FMax);
  Invalidate();
}

void TTrackBar::Changed() {
  if (OnChange) OnChange(this);
}

TTrackBar::Geometry TTrackBar::Layout() const {
  Geometry g;
  const bool vertical = FOrientation == trVertical;
  const int along = vertical ? Height() : Width();
  const int across = vertical ? Width() : Height();
  const int thumbAcross = std::min(kThumbShort, std::max(4, across - 4));
  const int mid = 2 + thumbAcross / 2;
  g.Start = kMargin - kThumbLong / 2;
  g.Length = std::max(0, along - 2 * kMargin);
  int64_t span = int64_t(FMax) - FMin;
  int offset = span > 0 ? int((int64_t(FPosition) - FMin) * g.Length / span) : 0;
  int t0 = g.Start + offset;
  if (vertical) {
    g.Channel = TRect{mid - 2, kMargin, mid + 2, kMargin + g.Length};
    g.Thumb = TRect{2, t0, 2 + thumbAcross, t0 + kThumbLong};
  } else {
    g.Channel = TRect{kMargin, mid - 2, kMargin + g.Length, mid + 2};
    g.Thumb = TRect{t0, 2, t0 + kThumbLong, 2 + thumbAcross};
  }
  return g;
}

int32_t TTrackBar::PositionAt(int Along) const {
  Geometry g = Layout();
  if (g.Length <= 0) return FMin;
  int offset = std::clamp(Along - kMargin, 0, g.Length);
  int64_t span = int64_t(FMax) - FMin;
  return int32_t(FMin + (span * offset + g.Length / 2) / g.Length);
}

void TTrackBar::Paint() {
  TCanvas* c = Canvas();
  HDC dc = c->Handle();
  c->Brush()->SetColor(Color());
  c->FillRect(ClientRect());
  Geometry g = Layout();
  RECT ch = g.Channel;
  DrawEdge(dc, &ch, EDGE_SUNKEN, BF_RECT);
  // Ticks below (or right of) the thumb.
  const bool vertical = FOrientation == trVertical;
  int64_t span = int64_t(FMax) - FMin;
  if (FFrequency > 0 && span > 0 && g.Length > 0) {
    c->Pen()->SetColor(clBtnShadow);
    const int across = (vertical ? g.Thumb.right : g.Thumb.bottom) + 2;
    for (int64_t p = FMin; p <= FMax; p += FFrequency) {
      int at = kMargin + int((p - FMin) * g.Length / span);
      if (vertical) {
        c->MoveTo(across, at);
        c->LineTo(across + 3, at);
      } else {
        c->MoveTo(at, across);
        c->LineTo(at, across + 3);
      }
    }
  }
  RECT th = g.Thumb;
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(g.Thumb);
  DrawEdge(dc, &th, EDGE_RAISED, BF_RECT);
  if (Focused()) {
    RECT f = ClientRect();
    DrawFocusRect(dc, &f);
  }
}

void TTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (TabStop() && CanFocus() && !Focused()) SetFocus();
  Geometry g = Layout();
  const bool vertical = FOrientation == trVertical;
  const int along = vertical ? Y : X;
  const int thumbStart = vertical ? g.Thumb.top : g.Thumb.left;
  if (PtInRect(&g.Thumb, TPoint{X, Y})) {
    FDragging = true;
    FGrab = along - thumbStart;
    return;
  }
  // Beside the thumb: a page towards the pointer.
  int64_t step = along < thumbStart ? -int64_t(FPageSize) : int64_t(FPageSize);
  SetPosition(int32_t(Clamp64(int64_t(FPosition) + step, FMin, FMax)));
}

void TTrackBar::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  const int along = FOrientation == trVertical ? Y : X;
  // The thumb's middle follows the pointer, kept where it was grabbed.
  SetPosition(PositionAt(along - FGrab + kThumbLong / 2));
}

void TTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft) FDragging = false;
}

void TTrackBar::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  int64_t pos = FPosition;
  switch (Key) {
    case VK_RIGHT: case VK_DOWN: pos += FLineSize; break;
    case VK_LEFT: case VK_UP: pos -= FLineSize; break;
    case VK_NEXT: pos += FPageSize; break;
    case VK_PRIOR: pos -= FPageSize; break;
    case VK_HOME: pos = FMin; break;
    case VK_END: pos = FMax; break;
    default: return;
  }
  Key = 0;
  SetPosition(int32_t(Clamp64(pos, FMin, FMax)));
}

void TTrackBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
    case WM_CANCELMODE: case CM_CANCELMODE:
      if (Message.LParam != reinterpret_cast<LPARAM>(this)) FDragging = false;
      break;
    case CM_FOCUSCHANGED: case WM_SETFOCUS: case WM_KILLFOCUS: Invalidate(); break;
    default: break;
  }
  TCustomControl::Dispatch(Message);
}

// ---- TProgressBar -----------------------------------------------------------------------------

TProgressBar::TProgressBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csOpaque};
  SetBounds(0, 0, 150, 16);
}

void TProgressBar::SetParams(int32_t APosition, int32_t AMin, int32_t AMax) {
  if (Loading()) {
    FPosition = APosition;
    FMin = AMin;
    FMax = AMax;
    return;
  }
  if (AMax < AMin) throw EInvalidOperation("Progress bar property out of range (Max below Min)");
  FMin = AMin;
  FMax = AMax;
  FPosition = std::clamp(APosition, FMin, FMax);
  Invalidate();
}

void TProgressBar::SetMin(int32_t Value) { SetParams(FPosition, Value, FMax); }
void TProgressBar::SetMax(int32_t Value) { SetParams(FPosition, FMin, Value); }
void TProgressBar::SetPosition(int32_t Value) { SetParams(Value, FMin, FMax); }

void TProgressBar::SetSmooth(bool Value) {
  FSmooth = Value;
  Invalidate();
}

void TProgressBar::StepIt() {
  int64_t pos = int64_t(FPosition) + FStep;
  if (pos > FMax || pos < FMin) pos = FMin;
  SetPosition(int32_t(pos));
}

void TProgressBar::StepBy(int32_t Delta) { SetPosition(int32_t(Clamp64(int64_t(FPosition) + Delta, FMin, FMax))); }

void TProgressBar::Loaded() {
  TCustomControl::Loaded();
  if (FMax < FMin) FMax = FMin;
  FPosition = std::clamp(FPosition, FMin, FMax);
  Invalidate();
}

int TProgressBar::FilledWidth() const {
  const int inner = std::max(0, Width() - 4);
  int64_t span = int64_t(FMax) - FMin;
  if (span <= 0) return 0;
  return int((int64_t(FPosition) - FMin) * inner / span);
}

void TProgressBar::Paint() {
  TCanvas* c = Canvas();
  RECT r = ClientRect();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(ClientRect());
  DrawEdge(c->Handle(), &r, BDR_SUNKENOUTER, BF_RECT);
  const int filled = FilledWidth();
  if (filled <= 0) return;
  c->Brush()->SetColor(clHighlight);
  const int top = 2, bottom = Height() - 2;
  if (FSmooth) {
    c->FillRect(TRect{2, top, 2 + filled, bottom});
    return;
  }
  // Blocks two thirds of the height wide, a pixel apart; a part block at the end.
  const int block = std::max(2, (bottom - top) * 2 / 3);
  for (int x = 0; x < filled; x += block + 1) c->FillRect(TRect{2 + x, top, 2 + std::min(filled, x + block), bottom});
}
