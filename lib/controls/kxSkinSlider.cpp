#include "lib/controls/kxSkinSlider.h"

#include <cmath>

#include "classlib/Streaming.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/graphics/kxUtils.h"

using namespace win;

namespace {

// The integer nearest to X, a half going to the even neighbour.
int64_t Nearest(double X) { return int64_t(std::nearbyint(X)); }

const char* const kBuiltIn[4] = {"KX_HTB", "KX_HRL", "KX_VTB", "KX_VRL"};

int32_t Clamp(int64_t V, int32_t Lo, int32_t Hi) { return int32_t(V < Lo ? Lo : V > Hi ? Hi : V); }

}  // namespace

TkxSkinCustomSlider::TkxSkinCustomSlider(TComponent* AOwner) : TkxSkinControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks};
  FSkinDataName = "slider";
  SetTabStop(true);
  FRuler = std::make_unique<TBitmap>();
  FRuler->SetPixelFormat(pf24bit);
  for (size_t i = 0; i < FImages.size(); ++i) {
    FImages[i] = std::make_unique<TBitmap>();
    FImages[i]->LoadFromResourceName(0, kBuiltIn[i]);
    FImages[i]->OnChange = [this](TObject* Sender) { ImageChanged(Sender); };
  }
  SetBounds(Left(), Top(), 150, 40);
  FCreating = false;
  LayoutElements();
}

TkxSkinCustomSlider::~TkxSkinCustomSlider() {
  for (auto& b : FImages) b->OnChange = nullptr;
  if (FTimerActive && HandleAllocated()) KillTimer(Handle(), kTrackTimer);
}

// ---- properties --------------------------------------------------------------------------------

void TkxSkinCustomSlider::SetMinValue(int32_t Value) {
  if (Value != FMinValue) SetRange(Value, FMaxValue);
}

void TkxSkinCustomSlider::SetMaxValue(int32_t Value) {
  if (Value != FMaxValue) SetRange(FMinValue, Value);
}

void TkxSkinCustomSlider::SetRange(int32_t AMin, int32_t AMax) {
  const bool reading = ComponentState().Contains(csLoading);
  if (AMin >= AMax && !reading) return;
  FMinValue = AMin;
  FMaxValue = AMax;
  if (!reading && int64_t(AMax) < int64_t(AMin) + FIncrement) FIncrement = AMax - AMin;
  if (FOptions.Contains(soShowPoints)) Invalidate();
  SetValue(FValue);
  RangeChanged();
}

void TkxSkinCustomSlider::SetIncrement(int32_t Value) {
  if (Value <= 0 || Value == FIncrement) return;
  FIncrement = Value;
  SetValue(FValue);
  Invalidate();
}

void TkxSkinCustomSlider::SetValue(int32_t Value) {
  const int32_t v = FMaxValue >= FMinValue ? Clamp(Value, FMinValue, FMaxValue) : FMinValue;
  const bool changed = v != FValue;
  FValue = v;
  MoveThumb(PositionOfValue(v));
  if (changed) NotifyChange();
}

void TkxSkinCustomSlider::SetOrientation(TkxSliderOrientation Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  LayoutElements();
}

void TkxSkinCustomSlider::SetOptions(TkxSliderOptions Value) {
  if (Value == FOptions) return;
  FOptions = Value;
  Invalidate();
}

void TkxSkinCustomSlider::SetEdgeSize(int32_t Value) {
  TBitmap* ruler = Image(FOrientation == soHorizontal ? siHRuler : siVRuler);
  const int32_t len = FOrientation == soHorizontal ? ruler->Width() : ruler->Height();
  if (Value < 0 || int64_t(Value) * 2 >= len || Value == FEdgeSize) return;
  FEdgeSize = Value;
  LayoutElements();
}

void TkxSkinCustomSlider::SetNumThumbStates(TkxNumThumbStates Value) {
  if (Value < 1 || Value > 2 || Value == FNumThumbStates) return;
  FNumThumbStates = Value;
  LayoutElements();
}

void TkxSkinCustomSlider::SetTransparent(bool Value) {
  FTransparent = Value;
  Invalidate();
}

void TkxSkinCustomSlider::SetImage(TkxSliderImage I, TBitmap* Value) {
  TBitmap* b = FImages[size_t(I)].get();
  if (Value) {
    b->Assign(Value);
    FUserImages.Include(I);
    return;
  }
  b->LoadFromResourceName(0, kBuiltIn[I]);
  FUserImages.Exclude(I);
  if (!ComponentState().Contains(csLoading)) {
    FOptions.Exclude(I == siHThumb || I == siVThumb ? soThumbOpaque : soRulerOpaque);
    Invalidate();
  }
}

void TkxSkinCustomSlider::ImageChanged(TObject*) {
  if (!FCreating) LayoutElements();
}

void TkxSkinCustomSlider::Loaded() {
  TkxSkinControl::Loaded();
  // A description may leave the range upside down; the slider needs a range to divide by.
  if (FMaxValue <= FMinValue) FMaxValue = FMinValue == INT32_MAX ? FMinValue : FMinValue + 1;
  if (FMinValue == FMaxValue) --FMinValue;
  if (int64_t(FMaxValue) < int64_t(FMinValue) + FIncrement) FIncrement = FMaxValue - FMinValue;
  for (size_t i = 0; i < FImages.size(); ++i)
    if (FUserImages.Contains(TkxSliderImage(i))) {
      TBitmap copy;
      copy.Assign(FImages[i].get());
      SetImage(TkxSliderImage(i), &copy);
    }
  LayoutElements();
}

// ---- skin --------------------------------------------------------------------------------------

void TkxSkinCustomSlider::GetSkinData() {
  TkxSkinControl::GetSkinData();
  Picture = nullptr;
  if (FIndex == -1) return;
  auto* r = SkinRecord<TkxDataSkinSlider>();
  if (r) {
    const int32_t pi = r->PictureIndex;
    Picture = SkinPicture(pi);
    HRulerRect = r->HRulerRect;
    HThumbRect = r->HThumbRect;
    VRulerRect = r->VRulerRect;
    VThumbRect = r->VThumbRect;
    SkinEdgeSize = r->EdgeSize;
    BGColor = r->BGColor;
    PointsColor = r->PointsColor;
  }
  // A record of another kind, without its picture, or with rectangles the picture does not hold
  // has nothing to draw from: the slider keeps its own pictures.
  if (!r || !RectInPicture(HRulerRect, Picture) || !RectInPicture(VRulerRect, Picture) ||
      !RectInPicture(HThumbRect, Picture) || !RectInPicture(VThumbRect, Picture) || SkinEdgeSize < 0) {
    FIndex = -1;
    Picture = nullptr;
  }
}

void TkxSkinCustomSlider::ChangeSkinData() { LayoutElements(); }

// ---- geometry ----------------------------------------------------------------------------------

TPoint TkxSkinCustomSlider::HThumbSize() const {
  if (SkinThumb()) return TPoint{RectWidth(HThumbRect) / 2, RectHeight(HThumbRect)};
  TBitmap* b = Image(siHThumb);
  return TPoint{b->Width() / FNumThumbStates, b->Height()};
}

TPoint TkxSkinCustomSlider::VThumbSize() const {
  if (SkinThumb()) return TPoint{RectWidth(VThumbRect) / 2, RectHeight(VThumbRect)};
  TBitmap* b = Image(siVThumb);
  return TPoint{b->Width() / FNumThumbStates, b->Height()};
}

int32_t TkxSkinCustomSlider::ThumbLength() const {
  return FOrientation == soHorizontal ? HThumbSize().x : VThumbSize().y;
}

int32_t TkxSkinCustomSlider::RulerLength() const {
  return FOrientation == soHorizontal ? FRuler->Width() : FRuler->Height();
}

int32_t TkxSkinCustomSlider::TravelLength() const { return std::max(0, RulerLength() - ThumbLength()); }

int32_t TkxSkinCustomSlider::Start() const {
  const TRect r = const_cast<TkxSkinCustomSlider*>(this)->GetSliderRect();
  return (FOrientation == soHorizontal ? r.left : r.top) + 6;
}

int32_t TkxSkinCustomSlider::PositionOfValue(int32_t V) const {
  const int32_t S = Start(), L = TravelLength();
  const int64_t range = int64_t(FMaxValue) - FMinValue;
  int64_t p = S;
  // Without travel or range the thumb stays at the start.
  if (L > 0 && range > 0) p = S + Nearest(double(L) * (double(int64_t(V) - FMinValue) / double(range)));
  if (FOrientation == soVertical) {
    const TRect r = const_cast<TkxSkinCustomSlider*>(this)->GetSliderRect();
    p = int64_t(r.top) + r.bottom - p - VThumbSize().y;
  }
  return int32_t(std::max<int64_t>(p, S));
}

int32_t TkxSkinCustomSlider::ValueOfPosition(int32_t P) const {
  const int32_t L = TravelLength();
  const int64_t range = int64_t(FMaxValue) - FMinValue;
  // Nothing to divide by: the value stays.
  if (L <= 0 || range <= 0) return FValue;
  int64_t p = P;
  if (FOrientation == soVertical)
    p = int64_t(const_cast<TkxSkinCustomSlider*>(this)->ClientHeight()) - p - VThumbSize().y;
  const TRect r = const_cast<TkxSkinCustomSlider*>(this)->GetSliderRect();
  int64_t d = Nearest(double(p - 6 - r.left) * double(range) / double(L));
  if (!FOptions.Contains(soSmooth) && FIncrement > 0) d = Nearest(double(d) / FIncrement) * FIncrement;
  if (d < 0) d = 0;
  return Clamp(d + FMinValue, FMinValue, FMaxValue);
}

void TkxSkinCustomSlider::InvalidateThumb() {
  if (!HandleAllocated()) return;
  RECT r{FThumbRect.left, FThumbRect.top, FThumbRect.right, FThumbRect.bottom};
  InvalidateRect(Handle(), &r, FALSE);
}

void TkxSkinCustomSlider::MoveThumb(int32_t P) {
  const int32_t S = Start(), L = TravelLength();
  P = std::clamp(P, S, S + L);
  const int32_t v = ValueOfPosition(P);
  P = std::min(PositionOfValue(v), S + L);
  InvalidateThumb();
  if (FOrientation == soHorizontal)
    FThumbRect = TRect{P, FThumbRect.top, P + RectWidth(FThumbRect), FThumbRect.bottom};
  else
    FThumbRect = TRect{FThumbRect.left, P, FThumbRect.right, P + RectHeight(FThumbRect)};
  InvalidateThumb();
  if (FSliding && v != FValue) {
    FValue = v;
    NotifyChange();
  }
}

void TkxSkinCustomSlider::BuildOwnRuler(int32_t Length) {
  const bool horz = FOrientation == soHorizontal;
  TBitmap* img = Image(horz ? siHRuler : siVRuler);
  const int32_t iw = img->Width(), ih = img->Height();
  const int32_t ilen = horz ? iw : ih, across = horz ? ih : iw;
  if (horz)
    FRuler->SetSize(Length, across);
  else
    FRuler->SetSize(across, Length);
  if (Length <= 0 || ilen <= 0) return;
  TCanvas* dst = FRuler->Canvas();
  // A piece [from, to) of the image along the ruler, drawn at offset At.
  auto piece = [&](int32_t from, int32_t to, int32_t at) {
    if (to <= from) return;
    const TRect d = horz ? TRect{at, 0, at + to - from, ih} : TRect{0, at, iw, at + to - from};
    const TRect s = horz ? TRect{from, 0, to, ih} : TRect{0, from, iw, to};
    dst->CopyRect(d, img->Canvas(), s);
  };
  const int32_t E = std::clamp(FEdgeSize, 0, ilen / 2), mid = ilen - 2 * E;
  if (mid <= 0 || Length <= ilen) {
    // Too short for a middle: the head as far as it goes, closed by the far edge.
    piece(0, std::min(ilen, Length), 0);
    piece(ilen - std::min(E, Length), ilen, Length - std::min(E, Length));
    return;
  }
  piece(0, ilen - E, 0);
  int32_t x = ilen - E;
  while (Length - x - mid >= E) {
    piece(E, ilen - E, x);
    x += mid;
  }
  // The tail: the far edge and whatever part of the middle fills the remainder.
  const int32_t rest = Length - x;
  piece(ilen - rest, ilen, x);
}

void TkxSkinCustomSlider::LayoutElements() {
  if (FCreating) return;
  GetSkinData();
  const int32_t value = FValue;
  const TRect R = GetSliderRect();
  const bool horz = FOrientation == soHorizontal;
  const int32_t len = std::max(0, (horz ? RectWidth(R) : RectHeight(R)) - 12);
  if (Skinned()) {
    if (horz)
      BuildHorzThreePartImage(SkinEdgeSize, SkinEdgeSize, FRuler.get(), Picture, HRulerRect, len,
                              RectHeight(HRulerRect), false);
    else
      BuildVertThreePartImage(SkinEdgeSize, SkinEdgeSize, FRuler.get(), Picture, VRulerRect, RectWidth(VRulerRect),
                              len, false);
  } else {
    BuildOwnRuler(len);
  }
  const int32_t rw = FRuler->Width(), rh = FRuler->Height();
  if (horz) {
    const TPoint t = HThumbSize();
    TPoint at;
    if (t.y > rh) {
      at = TPoint{R.left + 6, R.top + 6};
      FRulerOrg = TPoint{R.left + 6, R.top + 6 + (t.y - rh) / 2};
      FPointsRect = TRect{FRulerOrg.x, R.top + t.y + 7, FRulerOrg.x + rw, R.bottom - R.top - 1};
    } else {
      FRulerOrg = TPoint{R.left + 6, R.top + 6};
      at = TPoint{R.left + 6, R.top + 6 + (rh - t.y) / 2};
      FPointsRect = TRect{FRulerOrg.x, R.top + 6 + rh + 1, FRulerOrg.x + rw, R.bottom - R.top - 1};
    }
    FThumbRect = TRect{at.x, at.y, at.x + t.x, at.y + t.y};
  } else {
    const TPoint t = VThumbSize();
    TPoint at;
    if (t.x > rw) {
      at = TPoint{R.left + 6, R.top + 6};
      FRulerOrg = TPoint{R.left + 6 + (t.x - rw) / 2, R.top + 6};
      FPointsRect = TRect{R.left + 6 + t.x + 1, FRulerOrg.y, R.right - R.left - 1, FRulerOrg.y + rh};
    } else {
      FRulerOrg = TPoint{R.left + 6, R.top + 6};
      at = TPoint{R.left + 6 + (rw - t.x) / 2, R.top + 6};
      FPointsRect = TRect{R.left + 6 + rw + 1, FRulerOrg.y, R.right - R.left - 1, FRulerOrg.y + rh};
    }
    FThumbRect = TRect{at.x, at.y, at.x + t.x, at.y + t.y};
  }
  SetValue(value);
  Invalidate();
}

// ---- jumps, keys and the mouse -----------------------------------------------------------------

void TkxSkinCustomSlider::NotifyChange() {
  if (OnChange) OnChange(this);
}

void TkxSkinCustomSlider::NotifyChanged() {
  if (OnChanged) OnChanged(this);
}

void TkxSkinCustomSlider::Jump(TkxJumpMode Mode) {
  int64_t v = FValue;
  const int64_t inc = std::max(1, FIncrement);
  switch (Mode) {
    case jmHome: v = FMinValue; break;
    case jmEnd: v = FMaxValue; break;
    case jmNext: v = inc * Nearest(double(FValue) / double(inc)) + inc; break;
    case jmPrior: v = inc * Nearest(double(FValue) / double(inc)) - inc; break;
    case jmNone: return;
  }
  if (v >= FMaxValue) v = FMaxValue;
  if (v < FMinValue) v = FMinValue;
  if (v != FValue) SetValue(int32_t(v));
}

TkxJumpMode TkxSkinCustomSlider::JumpModeAt(TPoint P) const {
  if (FOrientation == soHorizontal) {
    if (P.x < FThumbRect.left) return jmPrior;
    if (P.x >= FThumbRect.right) return jmNext;
    return jmNone;
  }
  if (P.y < FThumbRect.top) return jmNext;
  if (P.y >= FThumbRect.bottom) return jmPrior;
  return jmNone;
}

void TkxSkinCustomSlider::KeyDown(WORD& Key, TShiftState Shift) {
  if (Shift.Empty()) {
    TkxJumpMode mode = jmNone;
    switch (Key) {
      case VK_HOME: mode = jmHome; break;
      case VK_END: mode = jmEnd; break;
      case VK_LEFT: if (FOrientation == soHorizontal) mode = jmPrior; break;
      case VK_RIGHT: if (FOrientation == soHorizontal) mode = jmNext; break;
      case VK_UP: if (FOrientation == soVertical) mode = jmNext; break;
      case VK_DOWN: if (FOrientation == soVertical) mode = jmPrior; break;
      default: break;
    }
    if (mode != jmNone && !FReadOnly && AllowValueChange()) {
      Key = 0;
      Jump(mode);
      NotifyChanged();
    }
  }
  TkxSkinControl::KeyDown(Key, Shift);
}

void TkxSkinCustomSlider::ThumbPress(int X, int Y) {
  if (FReadOnly || !AllowValueChange()) return;
  FSliding = FThumbDown = true;
  FHit = FOrientation == soHorizontal ? X - FThumbRect.left : Y - FThumbRect.top;
  InvalidateThumb();
  Update();
}

void TkxSkinCustomSlider::ThumbDrag(int P) { MoveThumb(P); }

void TkxSkinCustomSlider::ThumbRelease() {
  FSliding = FThumbDown = false;
  InvalidateThumb();
  Update();
  if (!FReadOnly && AllowValueChange()) NotifyChanged();
}

void TkxSkinCustomSlider::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TkxSkinControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || Shift.Contains(ssDouble)) return;
  if (CanFocus()) SetFocus();
  const TPoint p{X, Y};
  if (PtInRect(&FThumbRect, p)) {
    ThumbPress(X, Y);
    return;
  }
  TRect track{FRulerOrg.x, FRulerOrg.y, FRulerOrg.x + FRuler->Width(), FRulerOrg.y + FRuler->Height()};
  if (FOrientation == soHorizontal)
    InflateRect(&track, 0, 3);
  else
    InflateRect(&track, 3, 0);
  if (!PtInRect(&track, p) || FReadOnly || !AllowValueChange()) return;
  SetMouseCapture(true);
  FTracking = true;
  FMousePos = p;
  FStartJump = JumpModeAt(p);
  Jump(FStartJump);
  if (HandleAllocated()) {
    SetTimer(Handle(), kTrackTimer, 400, nullptr);
    FTimerActive = true;
  }
}

void TkxSkinCustomSlider::MouseMove(TShiftState Shift, int X, int Y) {
  TkxSkinControl::MouseMove(Shift, X, Y);
  if (Shift.Contains(ssLeft) && FSliding) ThumbDrag((FOrientation == soHorizontal ? X : Y) - FHit);
  if (FTracking) FMousePos = TPoint{X, Y};
}

void TkxSkinCustomSlider::StopTracking() {
  if (FTimerActive && HandleAllocated()) KillTimer(Handle(), kTrackTimer);
  FTimerActive = false;
  if (!FTracking) return;
  FTracking = false;
  SetMouseCapture(false);
  NotifyChanged();
}

void TkxSkinCustomSlider::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  StopTracking();
  if (FSliding && Button == mbLeft) ThumbRelease();
  TkxSkinControl::MouseUp(Button, Shift, X, Y);
}

void TkxSkinCustomSlider::CheckParentBackground() {
  if (FTransparent) Invalidate();
}

void TkxSkinCustomSlider::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOVE:
      TkxSkinControl::Dispatch(Message);
      if (FTransparent) Invalidate();
      return;
    case WM_SIZE:
      TkxSkinControl::Dispatch(Message);
      if (!ComponentState().Contains(csLoading)) LayoutElements();
      return;
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
    case CM_FOCUSCHANGED: {
      const bool focused = reinterpret_cast<TControl*>(Message.LParam) == this;
      if (focused != FFocused) {
        FFocused = focused;
        if (FOptions.Contains(soShowFocus)) Invalidate();
      }
      break;
    }
    case CM_ENABLEDCHANGED:
      TkxSkinControl::Dispatch(Message);
      InvalidateThumb();
      return;
    case WM_TIMER:
      if (Message.WParam != kTrackTimer) break;
      // The track repeats only while the pointer still lies on the side it was pressed on.
      if (FTracking && JumpModeAt(FMousePos) == FStartJump) Jump(FStartJump);
      return;
    case WM_CANCELMODE:
    case CM_CANCELMODE:
      if (Message.Msg == CM_CANCELMODE && Message.LParam == reinterpret_cast<LPARAM>(this)) break;
      // Another control took the pointer: the drag or the tracking ends where it stands.
      StopTracking();
      if (FSliding) ThumbRelease();
      break;
    default: break;
  }
  TkxSkinControl::Dispatch(Message);
}

// ---- painting ----------------------------------------------------------------------------------

void TkxSkinCustomSlider::DrawThumb(TCanvas* C, TPoint At, bool SecondState) {
  const bool horz = FOrientation == soHorizontal;
  const TPoint size = horz ? HThumbSize() : VThumbSize();
  if (size.x <= 0 || size.y <= 0) return;
  TBitmap t;
  t.SetPixelFormat(pf24bit);
  t.SetSize(size.x, size.y);
  if (SkinThumb()) {
    const TRect src = horz ? HThumbRect : VThumbRect;
    const int32_t x = src.left + (SecondState ? size.x : 0);
    t.Canvas()->CopyRect(TRect{0, 0, size.x, size.y}, Picture->Canvas(), TRect{x, src.top, x + size.x, src.bottom});
    t.SetTransparent(true);
  } else {
    TBitmap* img = Image(horz ? siHThumb : siVThumb);
    const int32_t x = SecondState && FNumThumbStates == 2 ? size.x : 0;
    t.Canvas()->CopyRect(TRect{0, 0, size.x, size.y}, img->Canvas(), TRect{x, 0, x + size.x, size.y});
    // The own pictures keep fuchsia for what is not the thumb.
    t.SetTransparentColor(clFuchsia);
    t.SetTransparent(!FOptions.Contains(soThumbOpaque));
  }
  C->Draw(At.x, At.y, &t);
}

void TkxSkinCustomSlider::DefaultDrawPoints(int32_t PointsStep, int32_t PointsHeight, int32_t ExtremePointsHeight) {
  TCanvas* c = FPaintCanvas ? FPaintCanvas : Canvas();
  const int64_t range = int64_t(FMaxValue) - FMinValue;
  const int64_t step = std::max(1, PointsStep);
  const int32_t L = TravelLength();
  if (range <= 0) return;
  c->Pen()->SetColor(Skinned() ? PointsColor : clWindowText);
  c->Pen()->SetStyle(psSolid);
  c->Pen()->SetWidth(1);
  auto spacingOf = [&](int64_t h, int64_t& count) {
    count = Nearest(double(range) / double(step * h)) + 1;
    return count > 1 ? int64_t(L) / (count - 1) : int64_t(L);
  };
  // The multiplier grows until ticks lie at least 4 pixels apart (or the whole travel). The
  // spacing never shrinks as it grows, so the first one that does is found by halving: a huge
  // range with a small step would otherwise take millions of steps.
  auto enough = [&](int64_t h) {
    int64_t count = 0;
    const int64_t spacing = spacingOf(h, count);
    return !(spacing < 4 && spacing < L);
  };
  int64_t lo = 1, hi = range / step * 2 + 2;  // at hi a single tick is left: always enough
  while (lo < hi) {
    const int64_t m = lo + (hi - lo) / 2;
    if (enough(m))
      hi = m;
    else
      lo = m + 1;
  }
  const int64_t h = lo;
  const bool horz = FOrientation == soHorizontal;
  const TPoint thumb = horz ? HThumbSize() : VThumbSize();
  auto tick = [&](int64_t v, int32_t len) {
    const int32_t p = PositionOfValue(int32_t(v));
    if (horz) {
      const int32_t x = p + thumb.x / 2;
      c->MoveTo(x, FPointsRect.top);
      c->LineTo(x, FPointsRect.top + len);
    } else {
      const int32_t y = p + thumb.y / 2;
      c->MoveTo(FPointsRect.left, y);
      c->LineTo(FPointsRect.left + len, y);
    }
  };
  tick(FMinValue, ExtremePointsHeight);
  for (int64_t v = int64_t(FMinValue) + step * h; v < FMaxValue; v += step * h) tick(v, PointsHeight);
  tick(FMaxValue, ExtremePointsHeight);
}

void TkxSkinCustomSlider::Paint() {
  const int32_t w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  GetSkinData();
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(w, h);
  TCanvas* c = b.Canvas();
  TPoint at{FThumbRect.left, FThumbRect.top};
  const bool copy = ControlState().Contains(csPaintCopy);
  if (copy) {
    const int32_t p = PositionOfValue(GetCurrentValue());
    if (FOrientation == soHorizontal)
      at.x = p;
    else
      at.y = p;
  }
  if (FTransparent) {
    PaintParentBackground(this, c);
  } else {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Skinned() ? BGColor : Color());
    c->FillRect(TRect{0, 0, w, h});
  }
  if (!FRuler->Empty()) {
    FRuler->SetTransparentColor(Skinned() ? clDefault : clFuchsia);
    FRuler->SetTransparent(Skinned() || !FOptions.Contains(soRulerOpaque));
    c->Draw(FRulerOrg.x, FRulerOrg.y, FRuler.get());
  }
  if (FOptions.Contains(soShowFocus) && FFocused && !ComponentState().Contains(csDesigning)) {
    TRect r = GetSliderRect();
    InflateRect(&r, -2, -2);
    c->Font()->SetColor(Skinned() && SkinData() && SkinData()->SkinColors() ? SkinData()->SkinColors()->cBtnText() : Font()->Color());
    DrawSkinFocusRect(c, r);
  }
  FPaintCanvas = c;
  if (FOptions.Contains(soShowPoints)) {
    if (OnDrawPoints)
      OnDrawPoints(this);
    else
      DefaultDrawPoints(FIncrement, 3, 5);
  }
  FPaintCanvas = nullptr;
  DrawThumb(c, at, copy ? !Enabled() : FThumbDown || !Enabled());
  Canvas()->Draw(0, 0, &b);
}

// ---- the published slider ----------------------------------------------------------------------

void TkxSkinSlider::ReadUserImages(TStream& Data) {
  if (Data.Size() != 1) throw EFormValueError("UserImages is one byte");
  uint8_t bits = 0;
  Data.ReadBuffer(&bits, 1);
  if (bits > 15) throw EFormValueError("UserImages holds bits for four pictures only");
  FUserImages = TkxSliderImages::FromBits(bits);
}

void RegisterSkinSliderFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterSkinControlFormClasses();  // the bases whose properties it inherits
  RegisterFormClass<TkxSkinCustomSlider, TkxSkinControl>("TkxSkinCustomSlider");
  RegisterFormClass<TkxSkinSlider, TkxSkinCustomSlider>("TkxSkinSlider")
      .Integer("MinValue", &TkxSkinSlider::SetMinValue)
      .Integer("MaxValue", &TkxSkinSlider::SetMaxValue)
      .Integer("Increment", &TkxSkinSlider::SetIncrement)
      .Integer("Value", &TkxSkinSlider::SetValue)
      .Enum<TkxSliderOrientation>("Orientation", &TkxSkinSlider::SetOrientation,
                                  {{"soHorizontal", soHorizontal}, {"soVertical", soVertical}})
      .Set<TkxSliderOption>("Options", &TkxSkinSlider::SetOptions,
                            {{"soShowFocus", soShowFocus},
                             {"soShowPoints", soShowPoints},
                             {"soSmooth", soSmooth},
                             {"soRulerOpaque", soRulerOpaque},
                             {"soThumbOpaque", soThumbOpaque}})
      .Integer("EdgeSize", &TkxSkinSlider::SetEdgeSize)
      .Integer("NumThumbStates", &TkxSkinSlider::SetNumThumbStates)
      .Boolean("Transparent", &TkxSkinSlider::SetTransparent)
      .Boolean("UseSkinThumb", &TkxSkinSlider::SetUseSkinThumb)
      .Object("ImageHThumb", &TkxSkinSlider::ImageHThumb)
      .Object("ImageHRuler", &TkxSkinSlider::ImageHRuler)
      .Object("ImageVThumb", &TkxSkinSlider::ImageVThumb)
      .Object("ImageVRuler", &TkxSkinSlider::ImageVRuler)
      .Binary("UserImages", &TkxSkinSlider::ReadUserImages)
      .Event<TNotifyEvent>("OnChange", &TkxSkinSlider::OnChange)
      .Event<TNotifyEvent>("OnChanged", &TkxSkinSlider::OnChanged)
      .Event<TNotifyEvent>("OnDrawPoints", &TkxSkinSlider::OnDrawPoints);
}
