#pragma once
// The skinned slider: a thumb moving along a ruler between MinValue and MaxValue, with optional
// ticks and a focus frame. Ruler and thumb come from the "slider" skin record or from four
// pictures of the control's own (built-in ones unless the user gives others). The thumb can be
// dragged, the track repeats jumps by Increment while held (at once, then every 400 ms), and
// Home, End and the arrow keys jump.
#include <array>
#include <cstdint>
#include <memory>

#include "base/Set.h"
#include "lib/controls/kxSkinCtrls.h"

enum TkxSliderOrientation { soHorizontal, soVertical };
enum TkxSliderOption { soShowFocus, soShowPoints, soSmooth, soRulerOpaque, soThumbOpaque };
using TkxSliderOptions = TSet<TkxSliderOption>;
enum TkxSliderImage { siHThumb, siHRuler, siVThumb, siVRuler };
using TkxSliderImages = TSet<TkxSliderImage>;
using TkxNumThumbStates = int32_t;  // 1..2
enum TkxJumpMode { jmNone, jmHome, jmEnd, jmNext, jmPrior };

class TkxSkinCustomSlider : public TkxSkinControl {
public:
  explicit TkxSkinCustomSlider(TComponent* AOwner);
  ~TkxSkinCustomSlider() override;

  void Dispatch(TMessage& Message) override;
  void Loaded() override;
  void GetSkinData() override;
  void ChangeSkinData() override;

  int32_t MinValue() const { return FMinValue; }
  void SetMinValue(int32_t Value);
  int32_t MaxValue() const { return FMaxValue; }
  void SetMaxValue(int32_t Value);
  // Refused (silently) unless AMin < AMax, except while reading.
  void SetRange(int32_t AMin, int32_t AMax);
  int32_t Increment() const { return FIncrement; }
  void SetIncrement(int32_t Value);
  int32_t Value() const { return FValue; }
  void SetValue(int32_t Value);
  TkxSliderOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TkxSliderOrientation Value);
  TkxSliderOptions Options() const { return FOptions; }
  void SetOptions(TkxSliderOptions Value);
  int32_t EdgeSize() const { return FEdgeSize; }
  void SetEdgeSize(int32_t Value);
  TkxNumThumbStates NumThumbStates() const { return FNumThumbStates; }
  void SetNumThumbStates(TkxNumThumbStates Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool UseSkinThumb() const { return FUseSkinThumb; }
  void SetUseSkinThumb(bool Value) { FUseSkinThumb = Value; }

  TNotifyEvent OnChange;
  // The end of a user action: the thumb released, the track let go, a key jump.
  TNotifyEvent OnChanged;
  // Draws the ticks instead of the default, on PaintCanvas().
  TNotifyEvent OnDrawPoints;

  // The thumb's rectangle in client coordinates, the ruler's origin and size.
  TRect ThumbRect() const { return FThumbRect; }
  TPoint RulerOrigin() const { return FRulerOrg; }
  TBitmap* Ruler() const { return FRuler.get(); }
  TRect PointsRect() const { return FPointsRect; }
  // The canvas a paint is composing on (for OnDrawPoints); nullptr outside a paint.
  TCanvas* PaintCanvas() const { return FPaintCanvas; }
  // The default ticks: every PointsStep values, ordinary ticks PointsHeight long, the two end
  // ticks ExtremePointsHeight long; drawn on PaintCanvas().
  virtual void DefaultDrawPoints(int32_t PointsStep, int32_t PointsHeight, int32_t ExtremePointsHeight);
  // Where the thumb of a value lies (its left, or top when vertical), and the value of a thumb
  // position.
  int32_t PositionOfValue(int32_t V) const;
  int32_t ValueOfPosition(int32_t P) const;

protected:
  virtual bool AllowValueChange() { return true; }
  virtual TRect GetSliderRect() { return TRect{0, 0, Width(), Height()}; }
  virtual int32_t GetCurrentValue() { return FValue; }
  virtual void LayoutElements();
  virtual void RangeChanged() {}
  virtual void ThumbPress(int X, int Y);
  virtual void ThumbDrag(int P);
  virtual void ThumbRelease();
  virtual void NotifyChange();
  virtual void NotifyChanged();

  void Paint() override;
  void CheckParentBackground() override;
  void KeyDown(win::WORD& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  // The own pictures; the built-in ones unless the user set one.
  TBitmap* Image(TkxSliderImage I) const { return FImages[size_t(I)].get(); }
  void SetImage(TkxSliderImage I, TBitmap* Value);
  TkxSliderImages FUserImages;

private:
  static constexpr uintptr_t kTrackTimer = 1;

  bool Skinned() const { return FIndex != -1; }
  bool SkinThumb() const { return Skinned() && FUseSkinThumb; }
  // One thumb state's size, horizontal and vertical.
  TPoint HThumbSize() const;
  TPoint VThumbSize() const;
  int32_t ThumbLength() const;
  int32_t RulerLength() const;
  int32_t TravelLength() const;
  int32_t Start() const;
  void MoveThumb(int32_t P);
  void InvalidateThumb();
  void Jump(TkxJumpMode Mode);
  TkxJumpMode JumpModeAt(TPoint P) const;
  void BuildOwnRuler(int32_t Length);
  void DrawThumb(TCanvas* C, TPoint At, bool SecondState);
  void StopTracking();
  void ImageChanged(TObject* Sender);

  std::unique_ptr<TBitmap> FRuler;
  TPoint FRulerOrg{};
  TRect FThumbRect{};
  TRect FPointsRect{};
  bool FThumbDown = false, FSliding = false, FTracking = false, FTimerActive = false;
  TPoint FMousePos{};
  TkxJumpMode FStartJump = jmNone;
  int32_t FHit = 0;
  bool FFocused = false;
  bool FReadOnly = false;
  bool FCreating = true;
  TCanvas* FPaintCanvas = nullptr;
  std::array<std::unique_ptr<TBitmap>, 4> FImages;

  int32_t FMinValue = 0, FMaxValue = 100, FIncrement = 10, FValue = 0;
  TkxSliderOrientation FOrientation = soHorizontal;
  TkxSliderOptions FOptions{soShowFocus, soShowPoints, soSmooth};
  int32_t FEdgeSize = 2;
  TkxNumThumbStates FNumThumbStates = 2;
  bool FTransparent = false;
  bool FUseSkinThumb = true;

  // From the skin record.
  TBitmap* Picture = nullptr;  // the skin's, never owned
  TRect HRulerRect{}, HThumbRect{}, VRulerRect{}, VThumbRect{};
  int32_t SkinEdgeSize = 0;
  TColor BGColor = clBtnFace, PointsColor = clWindowText;
};

class TkxSkinSlider : public TkxSkinCustomSlider {
public:
  explicit TkxSkinSlider(TComponent* AOwner) : TkxSkinCustomSlider(AOwner) {}

  TBitmap* ImageHThumb() const { return Image(siHThumb); }
  void SetImageHThumb(TBitmap* Value) { SetImage(siHThumb, Value); }
  TBitmap* ImageHRuler() const { return Image(siHRuler); }
  void SetImageHRuler(TBitmap* Value) { SetImage(siHRuler, Value); }
  TBitmap* ImageVThumb() const { return Image(siVThumb); }
  void SetImageVThumb(TBitmap* Value) { SetImage(siVThumb, Value); }
  TBitmap* ImageVRuler() const { return Image(siVRuler); }
  void SetImageVRuler(TBitmap* Value) { SetImage(siVRuler, Value); }
  // Which pictures the user set; streamed as "UserImages", one byte of bits.
  TkxSliderImages UserImages() const { return FUserImages; }
  void ReadUserImages(TStream& Data);
};

// Form streaming of the slider.
void RegisterSkinSliderFormClasses();
