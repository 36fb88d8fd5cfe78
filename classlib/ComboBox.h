#pragma once
// The plain combo box in its drop-down list style: a field showing the chosen item and an arrow
// button; the list drops down below it in a popup of its own. Only the user's choices raise
// OnChange (the arrow keys, Home, End, Page Up and Page Down, a typed first letter, the wheel, a
// click in the list); setting ItemIndex or Text in code does not.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "base/StringList.h"
#include "classlib/Controls.h"

enum TComboBoxStyle { csDropDownList };

class TComboListWindow;

class TComboBox : public TCustomControl {
public:
  explicit TComboBox(TComponent* AOwner);
  ~TComboBox() override;

  TComboBoxStyle Style() const { return csDropDownList; }
  TStrings* Items() { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  // -1: nothing chosen. Out-of-range values choose nothing (-1).
  int32_t ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int32_t Value);
  // The chosen item's text. Setting it chooses the first item of that text (case-insensitive),
  // or nothing when no item has it.
  std::string GetText() override;
  void SetText(const std::string& Value) override;
  // Items the dropped list shows at once (at least 1).
  int32_t DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int32_t Value) { FDropDownCount = std::max(1, Value); }
  bool DroppedDown() const { return FList != nullptr; }
  // The dropped list's window, or nullptr.
  TCustomControl* ListWindow() const;
  void SetDroppedDown(bool Value);
  // Height of one line of the dropped list.
  int32_t ItemHeight();

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

  void Dispatch(TMessage& Message) override;
  void Loaded() override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(win::WORD& Key, TShiftState Shift) override;
  void KeyPress(uint32_t& Key) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  virtual void Change();

private:
  friend class TComboListWindow;
  // A choice of the user: sets the index and raises OnChange when it changed.
  void Choose(int32_t Index);
  void ItemsChanged();
  bool Loading() const { return ComponentState().Contains(csLoading); }
  std::unique_ptr<TStringList> FItems;
  int32_t FItemIndex = -1;
  int32_t FDropDownCount = 8;
  std::string FPendingText;  // a Text read with the form, matched in Loaded
  std::unique_ptr<TComboListWindow> FList;  // while dropped
};
