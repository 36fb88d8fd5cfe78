#pragma once
// The plain scroll bar and up/down controls, drawn like the scroll bars of the edit and the list
// box: arrow buttons, a track and a thumb. Holding the mouse on an arrow or the track repeats
// the step (after 500 ms, then every 50 ms for the scroll bar and every 100 ms for the up/down).
#include <cstdint>
#include <functional>

#include "classlib/Controls.h"
#include "platform/StdControls.h"

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
// ScrollPos is the position about to be set; a handler may change it.
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int32_t& ScrollPos)>;

// Positions run from Min to Max, or to Max - PageSize + 1 with a page (the last page then fills
// the view). Max below Min is refused with EInvalidOperation and changes nothing; positions and
// the page are clamped into the range. While a form is read, Min, Max, PageSize and Position are
// taken as they come and checked once in Loaded (a Max below Min there becomes Min).
class TScrollBar : public TCustomControl {
public:
  explicit TScrollBar(TComponent* AOwner);
  ~TScrollBar() override;

  TScrollBarKind Kind() const { return FKind; }
  // Turning the bar swaps its width and height (not while it is being read).
  void SetKind(TScrollBarKind Value);
  int32_t Min() const { return FMin; }
  void SetMin(int32_t Value);
  int32_t Max() const { return FMax; }
  void SetMax(int32_t Value);
  int32_t Position() const { return FPosition; }
  void SetPosition(int32_t Value);
  int32_t PageSize() const { return FPageSize; }
  void SetPageSize(int32_t Value);
  // Steps of the arrows and keys, and of the track and page keys: 1 to 32767.
  int32_t SmallChange() const { return FSmallChange; }
  void SetSmallChange(int32_t Value);
  int32_t LargeChange() const { return FLargeChange; }
  void SetLargeChange(int32_t Value);
  void SetParams(int32_t APosition, int32_t AMin, int32_t AMax);
  // The last position the thumb reaches.
  int32_t MaxPosition() const;

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

  void Dispatch(TMessage& Message) override;
  void Loaded() override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(win::WORD& Key, TShiftState Shift) override;
  virtual void Change();
  virtual void Scroll(TScrollCode ScrollCode, int32_t& ScrollPos);
  // One step of the bar: the new position from the code (ThumbPos for scPosition and scTrack),
  // OnScroll, then the position.
  void DoScroll(TScrollCode ScrollCode, int32_t ThumbPos = 0);

private:
  win::detail::ScrollBarParts Layout();
  int PartAt(int X, int Y);
  void RepeatStep();
  void StopRepeat();
  bool Loading() const { return ComponentState().Contains(csLoading); }
  TScrollBarKind FKind = sbHorizontal;
  int32_t FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0;
  int32_t FSmallChange = 1, FLargeChange = 1;
  int FPressed = win::detail::ScrollBarNoPart;  // the part held by the mouse
  bool FTimerOn = false;
  TPoint FPointer{};   // the pointer while a part is held
  int FGrab = 0;       // pointer offset into the thumb while dragging
  int32_t FDragPos = 0;
};

enum TUDAlignButton { udLeft, udRight };
enum TUDOrientation { udHorizontal, udVertical };
enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// Two arrow buttons that step Position by Increment between Min and Max (btNext towards Max).
// As the standard control does, Min may lie above Max: the buttons then count the other way.
// With Wrap a step past one end goes to the other end; without it, it stops there. An Associate
// (usually an edit) shows the position as text, is read back before each step, takes the room
// for the buttons from its own width, and steps with the Up and Down keys (ArrowKeys).
class TUpDown : public TCustomControl {
public:
  explicit TUpDown(TComponent* AOwner);
  ~TUpDown() override;

  int32_t Min() const { return FMin; }
  void SetMin(int32_t Value);
  int32_t Max() const { return FMax; }
  void SetMax(int32_t Value);
  int32_t Position();
  void SetPosition(int32_t Value);
  int32_t Increment() const { return FIncrement; }
  void SetIncrement(int32_t Value) { FIncrement = Value; }
  TUDOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TUDOrientation Value);
  bool Wrap() const { return FWrap; }
  void SetWrap(bool Value) { FWrap = Value; }
  bool ArrowKeys() const { return FArrowKeys; }
  void SetArrowKeys(bool Value) { FArrowKeys = Value; }
  // Groups of three digits separated by "," in the associate's text.
  bool Thousands() const { return FThousands; }
  void SetThousands(bool Value);
  TUDAlignButton AlignButton() const { return FAlignButton; }
  void SetAlignButton(TUDAlignButton Value);
  TWinControl* Associate() const { return FAssociate; }
  void SetAssociate(TWinControl* Value);
  // A step as a press of that button makes it.
  void Step(TUDBtnType Button);

  // Hides TControl::OnClick: the up/down tells which button was pressed.
  TUDClickEvent OnClick;
  TUDChangingEvent OnChanging;

  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  // The text the associate shows for a position.
  std::string PositionText(int32_t Value) const;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(win::WORD& Key, TShiftState Shift) override;
  virtual bool CanChange();
  virtual void Click(TUDBtnType Button);

private:
  TRect ButtonRect(TUDBtnType Button);
  int ButtonAt(int X, int Y);  // btNext, btPrev or -1
  void UpdateAssociate();
  void ReadAssociate();
  void PlaceBeside();
  void Unhook();
  int32_t Lo() const { return FMin < FMax ? FMin : FMax; }
  int32_t Hi() const { return FMin < FMax ? FMax : FMin; }
  int32_t FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
  TUDOrientation FOrientation = udVertical;
  TUDAlignButton FAlignButton = udRight;
  bool FWrap = false, FArrowKeys = true, FThousands = true;
  TWinControl* FAssociate = nullptr;
  TWndMethod FAssociateProc;  // the associate's WindowProc before ours
  int FPressed = -1;
  bool FOver = false;
  bool FTimerOn = false;
};
