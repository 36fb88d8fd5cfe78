#pragma once
// The timer and the plain extra controls forms place directly: panel, bevel, splitter, image.
#include <functional>
#include <memory>

#include "classlib/Controls.h"

// Calls OnTimer every Interval milliseconds of the program's clock while Enabled, through a
// hidden window of its own; the calls come from whichever loop is running (modal loops too).
class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  uint32_t Interval() const { return FInterval; }
  void SetInterval(uint32_t Value);
  TNotifyEvent OnTimer;
  // Assigning OnTimer after Enabled/Interval: call this to (re)start the timer.
  void SetOnTimer(TNotifyEvent Value);
  void Loaded() override;

protected:
  virtual void Timer();

private:
  void UpdateTimer();
  static win::LRESULT TimerWndProc(win::HWND h, win::UINT msg, win::WPARAM w, win::LPARAM l);
  win::HWND FWindow = nullptr;
  bool FEnabled = true;
  uint32_t FInterval = 1000;
  bool FRunning = false;
};

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TCustomPanel : public TCustomControl {
public:
  explicit TCustomPanel(TComponent* AOwner);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  int32_t BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int32_t Value);
  int32_t BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int32_t Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);

protected:
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;

private:
  void Changed();
  TAlignment FAlignment = taCenter;
  TBevelCut FBevelInner = bvNone, FBevelOuter = bvRaised;
  int32_t FBevelWidth = 1, FBorderWidth = 0;
  TBorderStyle FBorderStyle = bsNone;
};

class TPanel : public TCustomPanel {
public:
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
  explicit TBevel(TComponent* AOwner);
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape Value);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle Value);

protected:
  void Paint() override;

private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

// How a splitter shows the drag: rsUpdate resizes the neighbour as the pointer moves; the other
// styles resize it once, when the button is released.
enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };

using TCanResizeEvent = std::function<void(TObject* Sender, int32_t& NewSize, bool& Accept)>;

// A bar aligned to a side of its parent that the user drags to resize the control aligned
// against it (the one just before it in alignment order, on the side it faces).
class TSplitter : public TGraphicControl {
public:
  explicit TSplitter(TComponent* AOwner);
  int32_t MinSize() const { return FMinSize; }
  void SetMinSize(int32_t Value);
  TResizeStyle ResizeStyle() const { return FResizeStyle; }
  void SetResizeStyle(TResizeStyle Value) { FResizeStyle = Value; }
  bool Beveled() const { return FBeveled; }
  void SetBeveled(bool Value);
  // The control being resized while a drag is under way, else nullptr.
  TControl* SizingControl() const { return FControl; }

  TCanResizeEvent OnCanResize;
  TNotifyEvent OnMoved;

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Paint() override;
  void RequestAlign() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // Asks OnCanResize; false refuses NewSize (which the handler may also change).
  virtual bool DoCanResize(int32_t& NewSize);
  virtual void Moved();

private:
  TControl* FindControl();
  void CalcSplitSize(int X, int Y, int32_t& NewSize);
  void UpdateControlSize();
  void StopSizing();
  int32_t FMinSize = 30;
  int32_t FMaxSize = 0;
  TResizeStyle FResizeStyle = rsPattern;
  bool FBeveled = false;
  TControl* FControl = nullptr;
  TPoint FDownPos{};
  int32_t FNewSize = 0, FOldSize = -1;
};

class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* AOwner);
  TPicture* Picture() { return FPicture.get(); }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // Where the picture is drawn inside the control.
  TRect DestRect();

protected:
  void Paint() override;
  bool CanAutoSize(int32_t& NewWidth, int32_t& NewHeight) override;

private:
  void PictureChanged();
  std::unique_ptr<TPicture> FPicture;
  bool FStretch = false, FCenter = false, FProportional = false, FTransparent = false;
};
