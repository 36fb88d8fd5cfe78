#include "lib/controls/kxSkinScrollBar.h"

#include <algorithm>
#include <cmath>

#include "classlib/Streaming.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/graphics/kxPlainLook.h"

using namespace win;

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr uint32_t kFirstDelay = 500, kRepeatDelay = 50;

// The integer nearest to X, a half going to the even neighbour.
int32_t Nearest(double X) { return int32_t(std::nearbyint(X)); }

TRect Moved(TRect R, int32_t D, bool Horizontal) {
  if (Horizontal)
    R.left += D, R.right += D;
  else
    R.top += D, R.bottom += D;
  return R;
}

}  // namespace

TkxSkinScrollBar::TkxSkinScrollBar(TComponent* AOwner) : TkxSkinCustomControl(AOwner) {
  FSkinDataName = "hscrollbar";
  FDefaultWidth = 0;
  FDefaultHeight = 19;
  FControlStyle.Include(csOpaque);
  SetBounds(Left(), Top(), 200, 19);
  SetTabStop(false);
}

TkxSkinScrollBar::~TkxSkinScrollBar() { StopTimer(); }

// ---- properties ---------------------------------------------------------------------------------

void TkxSkinScrollBar::SetKind(TScrollBarKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  if (ComponentState().Contains(csDesigning) && !Loading()) {
    const bool vertical = Value == sbVertical;
    SetSkinDataName(vertical ? "vscrollbar" : "hscrollbar");
    if (vertical ? Width() > Height() : Height() > Width()) SetBounds(Left(), Top(), Height(), Width());
  }
  // The plain look's thickness goes with the direction, so that a later skin change without a
  // record keeps the bar's thickness across it instead of along it.
  if (Value == sbVertical && FDefaultHeight > 0 && FDefaultWidth <= 0)
    FDefaultWidth = FDefaultHeight, FDefaultHeight = 0;
  else if (Value == sbHorizontal && FDefaultWidth > 0 && FDefaultHeight <= 0)
    FDefaultHeight = FDefaultWidth, FDefaultWidth = 0;
  Invalidate();
}

void TkxSkinScrollBar::SetBoth(bool Value) {
  if (FBoth == Value) return;
  FBoth = Value;
  if (!ComponentState().Contains(csDesigning)) {
    if (Value) {
      FNormalSkinDataName = FSkinDataName;
      FSkinDataName = FBothSkinDataName;
    } else if (!FNormalSkinDataName.empty()) {
      FSkinDataName = FNormalSkinDataName;
    }
  }
  GetSkinData();
  if (FIndex == -1)
    Invalidate();
  else
    ChangeSkinData();
}

void TkxSkinScrollBar::SetBothMarkerWidth(int32_t Value) {
  if (Value < 0) return;
  FBothMarkerWidth = Value;
  if (FIndex == -1) Invalidate();
}

void TkxSkinScrollBar::SetCanFocused(bool Value) {
  FCanFocused = Value;
  SetTabStop(Value);
}

int32_t TkxSkinScrollBar::Clamped(int64_t Value) const {
  // Above the last position first, then below Min: a page longer than the range leaves Min.
  const int64_t top = FPageSize > 0 ? int64_t(FMax) - FPageSize + 1 : int64_t(FMax);
  if (Value > top) Value = top;
  if (Value < FMin) Value = FMin;
  return int32_t(Value);
}

void TkxSkinScrollBar::SetMin(int32_t Value) {
  FMin = Value;
  if (!Loading() && FPosition < FMin) FPosition = FMin;
  Invalidate();
}

void TkxSkinScrollBar::SetMax(int32_t Value) {
  FMax = Value;
  if (!Loading()) FPosition = Clamped(FPosition);
  Invalidate();
}

void TkxSkinScrollBar::SetPageSize(int32_t Value) {
  // While a form is read the range may come later; Loaded checks the whole set.
  if (Loading()) {
    FPageSize = Value;
    return;
  }
  // The page is taken only when the current position stays valid under it.
  if (Value >= 0 && int64_t(FPosition) + Value <= int64_t(FMax) + 1) FPageSize = Value;
  Invalidate();
}

void TkxSkinScrollBar::SetPosition(int32_t Value) {
  if (Loading()) {
    FPosition = Value;
    return;
  }
  const int32_t v = Clamped(Value);
  if (v == FPosition) return;
  FPosition = v;
  Invalidate();
  if (OnChange) OnChange(this);
}

void TkxSkinScrollBar::SetSmallChange(int32_t Value) {
  FSmallChange = Value;
  Invalidate();
}

void TkxSkinScrollBar::SetLargeChange(int32_t Value) {
  FLargeChange = Value;
  Invalidate();
}

void TkxSkinScrollBar::SetRange(int32_t AMin, int32_t AMax, int32_t APosition, int32_t APageSize) {
  FMin = AMin;
  FMax = AMax;
  FPageSize = std::max(APageSize, 0);
  FPosition = Clamped(APosition);
  Invalidate();
}

void TkxSkinScrollBar::SimplySetPosition(int32_t AValue) {
  const int32_t v = Clamped(AValue);
  if (v == FPosition) return;
  FPosition = v;
  Invalidate();
}

void TkxSkinScrollBar::Loaded() {
  TkxSkinCustomControl::Loaded();
  if (FPageSize < 0) FPageSize = 0;
  FPosition = Clamped(FPosition);
}

// ---- skin ---------------------------------------------------------------------------------------

void TkxSkinScrollBar::GetSkinData() {
  TkxSkinCustomControl::GetSkinData();
  if (FIndex == -1) return;
  auto* r = SkinRecord<TkxDataSkinScrollBarControl>();
  // Without the bar's own geometry there is no track or arrow to draw from.
  if (!r) {
    FIndex = -1;
    return;
  }
  SkinTrackArea = r->TrackArea;
  ReadArrowButtons(*r);
  ThumbRect = r->ThumbRect;
  ActiveThumbRect = IsEmptyRect(r->ActiveThumbRect) ? r->ThumbRect : r->ActiveThumbRect;
  DownThumbRect = IsEmptyRect(r->DownThumbRect) ? ActiveThumbRect : r->DownThumbRect;
  ThumbOffset1 = r->ThumbOffset1;
  ThumbOffset2 = r->ThumbOffset2;
  ThumbTransparent = r->ThumbTransparent;
  ThumbTransparentColor = r->ThumbTransparentColor;
  ThumbStretchEffect = r->ThumbStretchEffect;
  ThumbMinSize = r->ThumbMinSize;
  ThumbMinPageSize = r->ThumbMinPageSize;
  GlyphRect = r->GlyphRect;
  ActiveGlyphRect = IsEmptyRect(r->ActiveGlyphRect) ? r->GlyphRect : r->ActiveGlyphRect;
  DownGlyphRect = IsEmptyRect(r->DownGlyphRect) ? ActiveGlyphRect : r->DownGlyphRect;
  GlyphTransparent = r->GlyphTransparent;
  GlyphTransparentColor = r->GlyphTransparentColor;
}

void TkxSkinScrollBar::CalcSkinSize(int32_t& AWidth, int32_t& AHeight) {
  TkxSkinCustomControl::CalcSkinSize(AWidth, AHeight);
  CalcRects(AWidth, AHeight);
}

// ---- layout -------------------------------------------------------------------------------------

void TkxSkinScrollBar::CalcRects() { CalcRects(Width(), Height()); }

void TkxSkinScrollBar::CalcRects(int32_t AWidth, int32_t AHeight) {
  const bool horz = Horizontal();
  auto along = [horz](const TRect& r) { return horz ? RectWidth(r) : RectHeight(r); };
  auto across = [horz](const TRect& r) { return horz ? RectHeight(r) : RectWidth(r); };
  TRect track, thumb;
  int32_t L = 0;
  const int64_t range = int64_t(FMax) - FMin + 1;
  auto pageLength = [&](int32_t TrackLength) {
    if (range <= 0) return 0;
    return Nearest(double(TrackLength) * double(FPageSize) / double(range));
  };
  if (Skinned()) {
    const int32_t grow = horz ? AWidth - RectWidth(SkinRect) : AHeight - RectHeight(SkinRect);
    track = SkinTrackArea;
    (horz ? track.right : track.bottom) += grow;
    auto place = [&](const TRect& r) {
      const bool farEnd = horz ? r.left > RTPt.x : r.top > LBPt.y;
      return farEnd ? Moved(r, grow, horz) : r;
    };
    FButtons[kUpButton].R = place(UpButtonRect);
    FButtons[kDownButton].R = place(DownButtonRect);
    const int32_t L0 = ThumbMinSize != 0 ? ThumbMinSize : along(ThumbRect);
    const int32_t T = across(ThumbRect);
    if (FPageSize == 0)
      L = ThumbMinPageSize != 0 ? ThumbMinPageSize : L0;
    else
      L = std::max(pageLength(along(track)), L0);
    const int32_t start = (horz ? track.top : track.left) + across(track) / 2 - T / 2;
    thumb = horz ? TRect{0, start, 0, start + T} : TRect{start, 0, start + T, 0};
  } else {
    const int32_t W = horz && FBoth ? AWidth - FBothMarkerWidth : AWidth;
    if (horz) {
      FButtons[kDownButton].R = TRect{1, 1, 17, AHeight - 1};
      FButtons[kUpButton].R = TRect{W - 17, 1, W - 1, AHeight - 1};
      track = TRect{17, 1, W - 17, AHeight - 1};
    } else {
      FButtons[kDownButton].R = TRect{1, 1, AWidth - 1, 17};
      FButtons[kUpButton].R = TRect{1, AHeight - 17, AWidth - 1, AHeight - 1};
      track = TRect{1, 17, AWidth - 1, AHeight - 17};
    }
    L = FPageSize == 0 ? 16 : std::max(pageLength(along(track)), 16);
    thumb = horz ? TRect{0, track.top, 0, track.bottom} : TRect{track.left, 0, track.right, 0};
  }
  NewTrackArea = track;

  // The thumb never reaches beyond the track onto the arrows.
  const int32_t trackLength = along(track);
  L = std::min(L, std::max(trackLength, 0));
  double f = 0;
  if (FPageSize == 0) {
    const int64_t span = int64_t(FMax) - FMin;
    if (span > 0) f = double(int64_t(FPosition) - FMin) / double(span);
  } else {
    const int64_t span = int64_t(FMax) - FPageSize + 1 - FMin;
    if (span > 0)
      f = double(int64_t(FPosition) - FMin) / double(span);
    else
      f = horz ? 1 : 0;
  }
  f = std::clamp(f, 0.0, 1.0);
  const int32_t h = L / 2;
  const int32_t trackStart = horz ? track.left : track.top, trackEnd = horz ? track.right : track.bottom;
  Offset1 = trackStart + h;
  Offset2 = trackEnd - h;
  BOffset = Offset2 > Offset1 ? Nearest(double(Offset2 - Offset1) * f) : 0;
  const int32_t a = Offset1 + BOffset - h, b = Offset1 + BOffset + h;
  if (L <= 0) {
    thumb = TRect{};
  } else if (horz) {
    thumb.left = a, thumb.right = b;
  } else {
    thumb.top = a, thumb.bottom = b;
  }
  FButtons[kThumb].R = thumb;
}

int TkxSkinScrollBar::ButtonAt(int X, int Y) const {
  const POINT p{X, Y};
  for (int i = kThumb; i <= kDownButton; ++i) {
    if (i == kThumb && !Enabled()) continue;
    const TRect& r = FButtons[i].R;
    if (!IsEmptyRect(r) && PtInRect(&r, p)) return i;
  }
  return -1;
}

int32_t TkxSkinScrollBar::PosFromOffset(int32_t Offset) {
  const bool horz = Horizontal();
  int32_t o1 = Offset1, o2 = Offset2;
  int64_t span = int64_t(FMax) - FMin;
  if (FPageSize != 0) {
    const TRect& t = FButtons[kThumb].R;
    const int32_t len = horz ? RectWidth(t) : RectHeight(t);
    o1 = (horz ? NewTrackArea.left : NewTrackArea.top) + len / 2;
    o2 = (horz ? NewTrackArea.right : NewTrackArea.bottom) - len / 2;
    span = int64_t(FMax) - FMin - FPageSize + 1;
  }
  double t = o2 - o1 > 0 ? double(Offset) / double(o2 - o1) : 0;
  t = std::clamp(t, 0.0, 1.0);
  return Clamped(int64_t(FMin) + int64_t(std::nearbyint(double(span) * t)));
}

// ---- input --------------------------------------------------------------------------------------

void TkxSkinScrollBar::WndProc(TMessage& Message) {
  if (FCanFocused && !FocusOnPress(Message)) return;
  TkxSkinCustomControl::WndProc(Message);
}

void TkxSkinScrollBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      // An erase outside WM_PAINT asks for the whole bar in that device context.
      if (!FromWMPaint && Message.WParam) PaintInto(reinterpret_cast<HDC>(Message.WParam));
      Message.Result = 1;
      return;
    case CM_ENABLEDCHANGED:
      TkxSkinCustomControl::Dispatch(Message);
      Invalidate();
      return;
    case CM_WANTSPECIALKEY:
      TkxSkinCustomControl::Dispatch(Message);
      if (FCanFocused && Message.WParam >= VK_LEFT && Message.WParam <= VK_DOWN) Message.Result = 1;
      return;
    case WM_SETFOCUS: case WM_KILLFOCUS:
      TkxSkinCustomControl::Dispatch(Message);
      if (FCanFocused) Invalidate();
      return;
    case WM_TIMER:
      TkxSkinCustomControl::Dispatch(Message);
      if (Message.WParam == kRepeatTimer) TimerTick();
      return;
    case CM_MOUSELEAVE:
      TkxSkinCustomControl::Dispatch(Message);
      if (ComponentState().Contains(csDesigning)) return;
      if (FActiveButton != -1 && FCaptureButton == -1 && !FDown) {
        FButtons[FActiveButton].MouseIn = false;
        FActiveButton = -1;
        Invalidate();
      }
      if (MouseD && (FTimerMode == kTimerPageUp || FTimerMode == kTimerPageDown)) {
        StopTimer();
        FTimerMode = kTimerIdle;
      }
      return;
    case CM_CANCELMODE:
      TkxSkinCustomControl::Dispatch(Message);
      // A press elsewhere ends whatever this bar held; its own press comes first and is kept.
      if (Message.LParam != reinterpret_cast<LPARAM>(this) && (MouseD || FCaptureButton != -1)) {
        StopTimer();
        FTimerMode = kTimerIdle;
        MouseD = FDown = false;
        if (FCaptureButton != -1) FButtons[FCaptureButton].Down = false;
        FCaptureButton = -1;
        Invalidate();
      }
      return;
    default: TkxSkinCustomControl::Dispatch(Message); return;
  }
}

void TkxSkinScrollBar::StartTimer(uint32_t Ms) {
  SetTimer(Handle(), kRepeatTimer, Ms, nullptr);
  FTimerOn = true;
}

void TkxSkinScrollBar::StopTimer() {
  if (FTimerOn && HandleAllocated()) KillTimer(Handle(), kRepeatTimer);
  FTimerOn = false;
}

void TkxSkinScrollBar::ArrowStep(int Button) {
  if (Button == kUpButton) {
    if (OnUpButtonClick)
      OnUpButtonClick(this);
    else
      SetPosition(Clamped(int64_t(FPosition) + FSmallChange));
  } else {
    if (OnDownButtonClick)
      OnDownButtonClick(this);
    else
      SetPosition(Clamped(int64_t(FPosition) - FSmallChange));
  }
}

void TkxSkinScrollBar::PageStep(bool TowardsMin) {
  SetPosition(Clamped(int64_t(FPosition) + (TowardsMin ? -int64_t(FLargeChange) : int64_t(FLargeChange))));
  if (TowardsMin) {
    if (OnPageUp) OnPageUp(this);
  } else if (OnPageDown) {
    OnPageDown(this);
  }
}

void TkxSkinScrollBar::TimerTick() {
  if (WaitMode) {
    WaitMode = false;
    StartTimer(kRepeatDelay);
    return;
  }
  switch (FTimerMode) {
    case kTimerDown: ArrowStep(kDownButton); break;
    case kTimerUp: ArrowStep(kUpButton); break;
    case kTimerPageUp: case kTimerPageDown: {
      TestActive(MX, MY);
      CalcRects();
      const TRect& t = FButtons[kThumb].R;
      const int32_t p = Horizontal() ? MX : MY;
      const bool up = FTimerMode == kTimerPageUp;
      const bool still = up ? p < (Horizontal() ? t.left : t.top) : p >= (Horizontal() ? t.right : t.bottom);
      if (still) {
        PageStep(up);
      } else {
        StopTimer();
        FTimerMode = kTimerIdle;
      }
      break;
    }
    default: StopTimer(); break;
  }
}

void TkxSkinScrollBar::TestActive(int X, int Y) {
  MX = X, MY = Y;
  CalcRects();
  int b = ButtonAt(X, Y);
  if (FCaptureButton != -1 && b != FCaptureButton) b = -1;
  if (b == FActiveButton) return;
  FOldActiveButton = FActiveButton;
  FActiveButton = b;
  if (FOldActiveButton != -1) {
    TkxSBButton& old = FButtons[FOldActiveButton];
    old.MouseIn = false;
    // Off a held arrow the repeat pauses; its mode stays for the return.
    if (FOldActiveButton != kThumb && old.Down) StopTimer();
    Invalidate();
  }
  if (b != -1) {
    TkxSBButton& now = FButtons[b];
    now.MouseIn = true;
    if (b != kThumb && now.Down) {
      WaitMode = false;
      StartTimer(kRepeatDelay);
    }
    Invalidate();
  }
}

void TkxSkinScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TkxSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  MouseD = true;
  GetSkinData();
  CalcRects();
  FTimerMode = kTimerIdle;
  WaitMode = true;
  TestActive(X, Y);
  const int b = ButtonAt(X, Y);
  if (b != -1) {
    FCaptureButton = b;
    FButtons[b].Down = true;
    Invalidate();
    if (b == kThumb) {
      OMPos = Horizontal() ? X : Y;
      OldBOffset = BOffset;
      FDown = true;
      return;
    }
    ArrowStep(b);
    FTimerMode = b == kUpButton ? kTimerUp : kTimerDown;
    StartTimer(kFirstDelay);
    return;
  }
  const POINT p{X, Y};
  if (!PtInRect(&NewTrackArea, p)) return;
  const TRect& t = FButtons[kThumb].R;
  const bool before = Horizontal() ? X < t.left : Y < t.top;
  FTimerMode = before ? kTimerPageUp : kTimerPageDown;
  SetPosition(Clamped(int64_t(FPosition) + (before ? -int64_t(FLargeChange) : int64_t(FLargeChange))));
  StartTimer(kFirstDelay);
  if (before) {
    if (OnPageUp) OnPageUp(this);
  } else if (OnPageDown) {
    OnPageDown(this);
  }
}

void TkxSkinScrollBar::MouseMove(TShiftState Shift, int X, int Y) {
  TkxSkinCustomControl::MouseMove(Shift, X, Y);
  if (FDown) SetPosition(PosFromOffset((Horizontal() ? X : Y) - OMPos + OldBOffset));
  TestActive(X, Y);
}

void TkxSkinScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TkxSkinCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  MouseD = false;
  if (FTimerMode == kTimerPageUp || FTimerMode == kTimerPageDown) {
    StopTimer();
    FTimerMode = kTimerIdle;
  }
  const int b = FCaptureButton;
  if (b == -1) return;
  FButtons[b].Down = false;
  FButtons[b].MouseIn = b == FActiveButton;
  Invalidate();
  if (b == kThumb) {
    FDown = false;
  } else {
    StopTimer();
    FTimerMode = kTimerIdle;
  }
  FCaptureButton = -1;
  if (b == kThumb && OnLastChange) OnLastChange(this);
}

void TkxSkinScrollBar::KeyDown(WORD& Key, TShiftState Shift) {
  TkxSkinCustomControl::KeyDown(Key, Shift);
  if (!FCanFocused) return;
  if (Key == VK_LEFT || Key == VK_UP)
    SetPosition(Clamped(int64_t(FPosition) - FSmallChange));
  else if (Key == VK_RIGHT || Key == VK_DOWN)
    SetPosition(Clamped(int64_t(FPosition) + FSmallChange));
}

bool TkxSkinScrollBar::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TkxSkinCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!FCanFocused || !Focused()) return false;
  SetPosition(Clamped(int64_t(FPosition) + (WheelDelta > 0 ? -int64_t(FSmallChange) : int64_t(FSmallChange))));
  return true;
}

// ---- painting -----------------------------------------------------------------------------------

bool TkxSkinScrollBar::ThumbPressed() {
  return FButtons[kThumb].Down || (FCanFocused && HandleAllocated() && Focused());
}

void TkxSkinScrollBar::PaintInto(HDC DC) {
  if (Width() < 1 || Height() < 1) return;
  GetSkinData();
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(Width(), Height());
  if (FIndex == -1)
    CreateControlDefaultImage(&b);
  else
    CreateControlSkinImage(&b);
  BitBlt(DC, 0, 0, Width(), Height(), b.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TkxSkinScrollBar::CreateControlDefaultImage(TBitmap* B) {
  CalcRects();
  TCanvas* c = B->Canvas();
  PlainFill(c, TRect{0, 0, B->Width(), B->Height()}, kxPlain.Face);
  const bool enabled = Enabled();
  if (enabled) {
    const TkxSBButton& t = FButtons[kThumb];
    DrawPlainButtonFace(c, t.R, PlainStateOf(ThumbPressed(), t.MouseIn));
  }
  const bool horz = Horizontal();
  for (int i : {kUpButton, kDownButton}) {
    const TkxSBButton& s = FButtons[i];
    DrawPlainButtonFace(c, s.R, PlainStateOf(s.Down && s.MouseIn, s.MouseIn));
    TRect in{s.R.left + 1, s.R.top + 1, s.R.right - 1, s.R.bottom - 1};
    if (s.Down && s.MouseIn) in = TRect{in.left + 1, in.top + 1, in.right + 1, in.bottom + 1};
    const int kind = i == kUpButton ? (horz ? kxakRight : kxakDown) : (horz ? kxakLeft : kxakUp);
    DrawArrowImage(c, in, enabled ? kxPlain.Mark : kxPlain.DisabledMark, kind);
  }
}

void TkxSkinScrollBar::CreateControlSkinImage(TBitmap* B) {
  TkxSkinCustomControl::CreateControlSkinImage(B);
  CalcRects();
  TCanvas* c = B->Canvas();
  const TRect* pressed[3] = {nullptr, &DownUpButtonRect, &DownDownButtonRect};
  const TRect* hot[3] = {nullptr, &ActiveUpButtonRect, &ActiveDownButtonRect};
  for (int i : {kUpButton, kDownButton}) {
    const TkxSBButton& s = FButtons[i];
    const TRect* src = s.Down && s.MouseIn ? pressed[i] : s.MouseIn ? hot[i] : nullptr;
    if (src && !IsEmptyRect(*src) && !IsEmptyRect(s.R)) c->CopyRect(s.R, Picture->Canvas(), *src);
  }
  if (Enabled()) DrawSkinThumb(B);
}

void TkxSkinScrollBar::DrawSkinThumb(TBitmap* B) {
  const TRect& r = FButtons[kThumb].R;
  const int32_t tw = RectWidth(r), th = RectHeight(r);
  if (tw <= 0 || th <= 0) return;
  const bool down = ThumbPressed(), hot = FButtons[kThumb].MouseIn;
  const TRect src = down ? DownThumbRect : hot ? ActiveThumbRect : ThumbRect;
  if (IsEmptyRect(src)) return;
  TBitmap tb;
  tb.SetPixelFormat(pf24bit);
  if (FPageSize != 0 || ThumbMinPageSize != 0) {
    if (Horizontal())
      BuildHorzThreePartImage(ThumbOffset1, ThumbOffset2, &tb, Picture, src, tw, th, ThumbStretchEffect);
    else
      BuildVertThreePartImage(ThumbOffset1, ThumbOffset2, &tb, Picture, src, tw, th, ThumbStretchEffect);
  } else {
    tb.SetSize(tw, th);
    tb.Canvas()->CopyRect(TRect{0, 0, tw, th}, Picture->Canvas(), src);
  }
  const TRect g = down ? DownGlyphRect : hot ? ActiveGlyphRect : GlyphRect;
  const int32_t gw = RectWidth(g), gh = RectHeight(g);
  if (!IsEmptyRect(g) && (Horizontal() ? gw < tw : gh < th)) {
    const int32_t gl = tb.Width() / 2 - gw / 2, gt = tb.Height() / 2 - gh / 2;
    if (GlyphTransparent) {
      TBitmap gb;
      gb.SetPixelFormat(pf24bit);
      gb.SetSize(gw, gh);
      gb.Canvas()->CopyRect(TRect{0, 0, gw, gh}, Picture->Canvas(), g);
      gb.SetTransparentColor(GlyphTransparentColor);
      gb.SetTransparent(true);
      tb.Canvas()->Draw(gl, gt, &gb);
    } else {
      tb.Canvas()->CopyRect(TRect{gl, gt, gl + gw, gt + gh}, Picture->Canvas(), g);
    }
  }
  if (ThumbTransparent) {
    tb.SetTransparentColor(ThumbTransparentColor);
    tb.SetTransparent(true);
  }
  B->Canvas()->Draw(r.left, r.top, &tb);
}

// ---- streaming ----------------------------------------------------------------------------------

void RegisterSkinScrollBarFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxSkinScrollBar, TkxSkinCustomControl>("TkxSkinScrollBar")
      .Enum<TScrollBarKind>("Kind", &TkxSkinScrollBar::SetKind,
                            {{"sbHorizontal", sbHorizontal}, {"sbVertical", sbVertical}})
      .Boolean("Both", &TkxSkinScrollBar::SetBoth)
      .Integer("BothMarkerWidth", &TkxSkinScrollBar::SetBothMarkerWidth)
      .String("BothSkinDataName", &TkxSkinScrollBar::SetBothSkinDataName)
      .Boolean("CanFocused", &TkxSkinScrollBar::SetCanFocused)
      .Integer("PageSize", &TkxSkinScrollBar::SetPageSize)
      .Integer("Min", &TkxSkinScrollBar::SetMin)
      .Integer("Max", &TkxSkinScrollBar::SetMax)
      .Integer("Position", &TkxSkinScrollBar::SetPosition)
      .Integer("SmallChange", &TkxSkinScrollBar::SetSmallChange)
      .Integer("LargeChange", &TkxSkinScrollBar::SetLargeChange)
      .Event<TNotifyEvent>("OnChange", &TkxSkinScrollBar::OnChange)
      .Event<TNotifyEvent>("OnLastChange", &TkxSkinScrollBar::OnLastChange)
      .Event<TNotifyEvent>("OnUpButtonClick", &TkxSkinScrollBar::OnUpButtonClick)
      .Event<TNotifyEvent>("OnDownButtonClick", &TkxSkinScrollBar::OnDownButtonClick)
      .Event<TNotifyEvent>("OnPageUp", &TkxSkinScrollBar::OnPageUp)
      .Event<TNotifyEvent>("OnPageDown", &TkxSkinScrollBar::OnPageDown);
}
