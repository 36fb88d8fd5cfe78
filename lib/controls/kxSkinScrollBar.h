#pragma once
// The skinned scroll bar: two arrow buttons, a track and a thumb, drawn from the "hscrollbar" or
// "vscrollbar" record or in a plain look. It stands alone on forms and serves as the external
// bar of the skinned lists, views and the scroll box, which mirror their scroll state into it
// with SetRange and SimplySetPosition (neither fires OnChange) and scroll on its OnChange.
// A held arrow steps at the press, again after 550 ms and then every 50 ms; a held track pages
// the same way until the thumb reaches the pointer.
#include <cstdint>
#include <string>

#include "classlib/ScrollCtrls.h"
#include "lib/controls/kxSkinCtrls.h"

class TkxSkinScrollBar : public TkxSkinCustomControl, protected TkxArrowButtonRects {
public:
  // A part of the bar: where it lies and whether the mouse is over it or holds it.
  struct TkxSBButton {
    TRect R{};
    bool MouseIn = false;
    bool Down = false;
  };
  // Indexes of Buttons: the thumb, the increasing arrow (right or bottom end), the decreasing
  // arrow (left or top end).
  static constexpr int kThumb = 0, kUpButton = 1, kDownButton = 2;
  // Timer modes: idle, repeat of the decreasing or increasing arrow, page towards Min or Max.
  static constexpr int kTimerIdle = 0, kTimerDown = 1, kTimerUp = 2, kTimerPageUp = 3, kTimerPageDown = 4;

  explicit TkxSkinScrollBar(TComponent* AOwner);
  ~TkxSkinScrollBar() override;

  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind Value);
  // The horizontal bar of a pair: its right end leaves room for the square where the vertical
  // bar ends, and it draws from BothSkinDataName meanwhile.
  bool Both() const { return FBoth; }
  void SetBoth(bool Value);
  // For owners that name both records themselves: the flag alone, no record switch, no repaint.
  void SetBothFlag(bool Value) { FBoth = Value; }
  int32_t BothMarkerWidth() const { return FBothMarkerWidth; }
  void SetBothMarkerWidth(int32_t Value);
  const std::string& BothSkinDataName() const { return FBothSkinDataName; }
  void SetBothSkinDataName(const std::string& Value) { FBothSkinDataName = Value; }
  bool CanFocused() const { return FCanFocused; }
  void SetCanFocused(bool Value);

  int32_t Min() const { return FMin; }
  void SetMin(int32_t Value);
  int32_t Max() const { return FMax; }
  void SetMax(int32_t Value);
  int32_t Position() const { return FPosition; }
  void SetPosition(int32_t Value);
  int32_t PageSize() const { return FPageSize; }
  void SetPageSize(int32_t Value);
  int32_t SmallChange() const { return FSmallChange; }
  void SetSmallChange(int32_t Value);
  int32_t LargeChange() const { return FLargeChange; }
  void SetLargeChange(int32_t Value);

  // Takes the range and page as given and the position clamped into them; no OnChange.
  void SetRange(int32_t AMin, int32_t AMax, int32_t APosition, int32_t APageSize);
  // The position clamped, without OnChange.
  void SimplySetPosition(int32_t AValue);

  TNotifyEvent OnChange;       // after every change of Position through SetPosition
  TNotifyEvent OnLastChange;   // a thumb drag ended
  TNotifyEvent OnUpButtonClick;    // replaces the +SmallChange step of the increasing arrow
  TNotifyEvent OnDownButtonClick;  // replaces the -SmallChange step of the decreasing arrow
  TNotifyEvent OnPageUp;       // after each page step towards Min
  TNotifyEvent OnPageDown;     // after each page step towards Max

  // The parts as last laid out (Buttons) and the track at the current size.
  const TkxSBButton& Buttons(int Index) const { return FButtons[Index]; }
  TRect TrackArea() const { return NewTrackArea; }
  int32_t ActiveButton() const { return FActiveButton; }
  int32_t CaptureButton() const { return FCaptureButton; }
  int32_t TimerMode() const { return FTimerMode; }
  // Lays the parts out for the current size and state.
  void CalcRects();

  void GetSkinData() override;
  void CalcSkinSize(int32_t& AWidth, int32_t& AHeight) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void Loaded() override;

protected:
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(win::WORD& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

private:
  bool Horizontal() const { return FKind == sbHorizontal; }
  bool Loading() const { return ComponentState().Contains(csLoading); }
  bool Skinned() const { return FIndex != -1; }
  int32_t Clamped(int64_t Value) const;
  void CalcRects(int32_t AWidth, int32_t AHeight);
  int ButtonAt(int X, int Y) const;
  void TestActive(int X, int Y);
  void ArrowStep(int Button);
  void PageStep(bool TowardsMin);
  int32_t PosFromOffset(int32_t Offset);
  void StartTimer(uint32_t Ms);
  void StopTimer();
  void TimerTick();
  bool ThumbPressed();
  void PaintInto(win::HDC DC);
  void DrawSkinThumb(TBitmap* B);

  TScrollBarKind FKind = sbHorizontal;
  bool FBoth = false;
  int32_t FBothMarkerWidth = 19;
  std::string FBothSkinDataName = "bothhscrollbar";
  std::string FNormalSkinDataName;
  bool FCanFocused = false;
  int32_t FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0;
  int32_t FSmallChange = 1, FLargeChange = 1;

  TkxSBButton FButtons[3];
  TRect NewTrackArea{};
  int32_t Offset1 = 0, Offset2 = 0, BOffset = 0;
  int32_t FActiveButton = -1, FOldActiveButton = -1, FCaptureButton = -1;
  bool FDown = false;  // the thumb is being dragged
  int32_t OMPos = 0, OldBOffset = 0;
  int32_t MX = 0, MY = 0;
  bool MouseD = false;
  bool WaitMode = false;
  int32_t FTimerMode = kTimerIdle;
  bool FTimerOn = false;

  // The record's geometry; the overlay and thumb sources are in picture coordinates, the track
  // and the arrow places relative to the record's skin rectangle.
  TRect SkinTrackArea{};
  TRect ThumbRect{}, ActiveThumbRect{}, DownThumbRect{};
  int32_t ThumbOffset1 = 0, ThumbOffset2 = 0;
  bool ThumbTransparent = false;
  TColor ThumbTransparentColor = clNone;
  bool ThumbStretchEffect = false;
  int32_t ThumbMinSize = 0, ThumbMinPageSize = 0;
  TRect GlyphRect{}, ActiveGlyphRect{}, DownGlyphRect{};
  bool GlyphTransparent = false;
  TColor GlyphTransparentColor = clNone;
};

// Form streaming of the scroll bar.
void RegisterSkinScrollBarFormClasses();
