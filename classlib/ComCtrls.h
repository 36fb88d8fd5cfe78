#pragma once
// The plain track bar and progress bar. Both keep a position inside Min..Max: Max below Min is
// refused with EInvalidOperation and changes nothing, and positions are clamped into the range.
// While a form is read, Min, Max and Position are taken as they come and checked once in Loaded
// (a Max below Min there becomes Min), so "Max = 128" may follow "Position = 128".
#include <cstdint>

#include "classlib/Controls.h"

enum TTrackBarOrientation { trHorizontal, trVertical };

// A thumb on a channel. The arrow keys step by LineSize (Right and Down towards Max), Page Up
// and Page Down by PageSize, Home and End go to the ends; a press on the channel beside the thumb
// steps a page towards the pointer, and dragging the thumb follows the pointer. OnChange follows
// every change of Position, by the user or by the program (not while the form is read).
class TTrackBar : public TCustomControl {
public:
  explicit TTrackBar(TComponent* AOwner);
  ~TTrackBar() override;

  TTrackBarOrientation Orientation() const { return FOrientation; }
  // Turning the bar swaps its width and height (not while it is being read).
  void SetOrientation(TTrackBarOrientation Value);
  int32_t Min() const { return FMin; }
  void SetMin(int32_t Value);
  int32_t Max() const { return FMax; }
  void SetMax(int32_t Value);
  int32_t Position() const { return FPosition; }
  void SetPosition(int32_t Value);
  void SetParams(int32_t APosition, int32_t AMin, int32_t AMax);
  // Steps of the arrow keys and of the page keys and channel presses: at least 1.
  int32_t LineSize() const { return FLineSize; }
  void SetLineSize(int32_t Value);
  int32_t PageSize() const { return FPageSize; }
  void SetPageSize(int32_t Value);
  // A tick every Frequency positions (0: none).
  int32_t Frequency() const { return FFrequency; }
  void SetFrequency(int32_t Value);

  TNotifyEvent OnChange;

  void Dispatch(TMessage& Message) override;
  void Loaded() override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(win::WORD& Key, TShiftState Shift) override;
  virtual void Changed();

private:
  struct Geometry {
    TRect Channel;  // the groove
    TRect Thumb;
    int Start = 0, Length = 0;  // the thumb's travel along the bar, from Start
  };
  Geometry Layout() const;
  int32_t PositionAt(int Along) const;
  bool Loading() const { return ComponentState().Contains(csLoading); }
  TTrackBarOrientation FOrientation = trHorizontal;
  int32_t FMin = 0, FMax = 10, FPosition = 0;
  int32_t FLineSize = 1, FPageSize = 2, FFrequency = 1;
  bool FDragging = false;
  int FGrab = 0;  // pointer offset into the thumb while dragging
};

// A sunken bar filled from the left in proportion to Position. StepIt adds Step and wraps to Min
// past Max, as the standard control does; StepBy adds its delta and clamps. A window that never
// takes the focus.
class TProgressBar : public TCustomControl {
public:
  explicit TProgressBar(TComponent* AOwner);

  int32_t Min() const { return FMin; }
  void SetMin(int32_t Value);
  int32_t Max() const { return FMax; }
  void SetMax(int32_t Value);
  int32_t Position() const { return FPosition; }
  void SetPosition(int32_t Value);
  void SetParams(int32_t APosition, int32_t AMin, int32_t AMax);
  int32_t Step() const { return FStep; }
  void SetStep(int32_t Value) { FStep = Value; }
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool Value);
  void StepIt();
  void StepBy(int32_t Delta);
  // The filled width of the inside (0 .. the inner width), for drawing and for the tests.
  int FilledWidth() const;

  bool CanFocus() override { return false; }
  void Loaded() override;

protected:
  void Paint() override;

private:
  bool Loading() const { return ComponentState().Contains(csLoading); }
  int32_t FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
  bool FSmooth = false;
};
