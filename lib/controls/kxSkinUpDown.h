#pragma once
// The skinned up/down: two arrow buttons that step an integer Position between Min and Max by
// Increment. A click steps once at the release over the button; a held button steps after
// 600 ms and then every 100 ms (50 ms after the pointer comes back onto it). It draws from the
// "hupdown"/"vupdown" record at the skin's size, from the skin's "resizebutton" record at any
// size (UseSkinSize off), or in the plain look.
#include <array>
#include <cstdint>

#include "classlib/ScrollCtrls.h"
#include "lib/controls/kxSkinCtrls.h"

// One of the up/down's two buttons: where it lies, hovered, pressed.
struct TkxUpDownButton {
  TRect R{};
  bool MouseIn = false;
  bool Down = false;
};

class TkxSkinUpDown : public TkxSkinCustomControl, protected TkxArrowButtonRects {
public:
  explicit TkxSkinUpDown(TComponent* AOwner);
  ~TkxSkinUpDown() override;

  void Dispatch(TMessage& Message) override;
  void GetSkinData() override;
  void CalcSkinSize(int32_t& AWidth, int32_t& AHeight) override;
  void SetControlRegion() override;
  void Loaded() override;

  bool UseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool Value) { FUseSkinSize = Value; }
  TUDOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TUDOrientation Value);
  // 0 makes the buttons only click: no step and no repeat.
  int32_t Increment() const { return FIncrement; }
  void SetIncrement(int32_t Value) { FIncrement = Value; }
  int32_t Position() const { return FPosition; }
  // A value outside Min..Max is ignored; any other fires OnChange, also when unchanged.
  void SetPosition(int32_t Value);
  int32_t Min() const { return FMin; }
  void SetMin(int32_t Value);
  int32_t Max() const { return FMax; }
  void SetMax(int32_t Value);

  TNotifyEvent OnChange, OnUpButtonClick, OnDownButtonClick;

  // Index 0 is the up button, 1 the down button.
  const TkxUpDownButton& Button(int Index) const { return Buttons[size_t(Index & 1)]; }
  int32_t ActiveButton() const { return FActiveButton; }
  // 0 no repeat, 1 repeating down, 2 repeating up.
  int32_t TimerMode() const { return FTimerMode; }

protected:
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  static constexpr uintptr_t kRepeatTimer = 1;

  void LayoutButtons();
  void TestActive(int X, int Y);
  void ButtonEnter(int32_t I);
  void ButtonLeave(int32_t I);
  void StartTimer(uint32_t Interval);
  void StopTimer();
  void Step(int32_t Delta);
  void ResetHover();
  // The arrow kind (DrawArrowImage) of button I.
  int32_t ArrowKind(int32_t I) const;
  void DrawDefaultButton(TCanvas* C, int32_t I);
  // False when the skin has no usable "resizebutton" record.
  bool DrawResizeButton(TCanvas* C, int32_t I);

  std::array<TkxUpDownButton, 2> Buttons{};
  int32_t FActiveButton = -1, FOldActiveButton = -1, FCaptureButton = -1;
  int32_t FTimerMode = 0;
  bool FWaitMode = false;
  bool FTimerOn = false;
  int32_t FIncrement = 1, FPosition = 0, FMin = 0, FMax = 100;
  bool FUseSkinSize = true;
  TUDOrientation FOrientation = udHorizontal;
  bool FUpDownRecord = false;  // the record read is an up/down record with its button pictures
};

// Form streaming of the up/down.
void RegisterSkinUpDownFormClasses();
