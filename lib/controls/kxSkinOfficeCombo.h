#pragma once
// The office combo box: its face shows the selected office item (image, bold title, caption)
// and its drop-down is an office list in a popup that never takes the focus. Two looks: a field
// with a drop-down button ("combobox" record or a plain look) and the tool-button look
// ("resizetoolbutton" record or a plain look) with a small marker.
//
// Setting ItemIndex fires OnClick and then OnChange on every assignment, also of the value it
// already has, but never while the form is being loaded; the application's handlers rely on it.
#include <cstdint>
#include <string>

#include "classlib/ListBoxes.h"
#include "lib/controls/kxSkinComboBox.h"
#include "lib/controls/kxSkinOfficeList.h"

class TkxSkinCustomOfficeComboBox : public TkxSkinCustomControl, public TkxComboSkinFields {
public:
  struct TkxCBItem {
    TRect R{};
    TOwnerDrawState State;
  };
  struct TkxCBButtonX {
    TRect R{};
    bool MouseIn = false;
    bool Down = false;
  };

  explicit TkxSkinCustomOfficeComboBox(TComponent* AOwner);
  ~TkxSkinCustomOfficeComboBox() override;

  // ---- properties ----
  bool UseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool Value) { FUseSkinSize = Value; }
  bool ToolButtonStyle() const { return FToolButtonStyle; }
  void SetToolButtonStyle(bool Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value) { FHideSelection = Value; }
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value) { FAlphaBlend = Value; }
  bool AlphaBlendAnimation() const { return FAlphaBlendAnimation; }
  void SetAlphaBlendAnimation(bool Value) { FAlphaBlendAnimation = Value; }
  uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(uint8_t Value) { FAlphaBlendValue = Value; }
  TCustomImageList* Images() const { return FListBox->Images(); }
  void SetImages(TCustomImageList* Value);
  bool ShowItemTitle() const { return FShowItemTitle; }
  void SetShowItemTitle(bool Value);
  bool ShowItemImage() const { return FShowItemImage; }
  void SetShowItemImage(bool Value);
  bool ShowItemText() const { return FShowItemText; }
  void SetShowItemText(bool Value);
  int32_t ListBoxWidth() const { return FListBoxWidth; }
  void SetListBoxWidth(int32_t Value) { FListBoxWidth = Value; }
  int32_t ListBoxHeight() const { return FListBoxHeight; }
  void SetListBoxHeight(int32_t Value) { FListBoxHeight = Value; }
  TFont* ListBoxDefaultFont() const { return FListBox->DefaultFont(); }
  void SetListBoxDefaultFont(TFont* Value) { FListBox->SetDefaultFont(Value); }
  bool ListBoxUseSkinFont() const { return FListBox->UseSkinFont(); }
  void SetListBoxUseSkinFont(bool Value) { FListBox->SetUseSkinFont(Value); }
  bool ListBoxShowItemTitles() const { return FListBox->ShowItemTitles(); }
  void SetListBoxShowItemTitles(bool Value) { FListBox->SetShowItemTitles(Value); }
  bool ListBoxShowLines() const { return FListBox->ShowLines(); }
  void SetListBoxShowLines(bool Value) { FListBox->SetShowLines(Value); }
  int32_t ListBoxItemHeight() const { return FListBox->ItemHeight(); }
  void SetListBoxItemHeight(int32_t Value) { FListBox->SetItemHeight(Value); }
  int32_t ListBoxHeaderHeight() const { return FListBox->HeaderHeight(); }
  void SetListBoxHeaderHeight(int32_t Value) { FListBox->SetHeaderHeight(Value); }
  // The drop-down's record name as designed; kept while the combo box is unskinned and given
  // back to the list when a later skin skins it again.
  const std::string& ListBoxSkinDataName() const { return FListBoxSkinDataName; }
  void SetListBoxSkinDataName(const std::string& Value);
  TColor DefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor Value);
  TkxSkinOfficeItems* Items() const { return FListBox->Items(); }
  void SetItems(TkxSkinOfficeItems* Value) { FListBox->Items()->Assign(Value); }
  int32_t ItemIndex() const { return FListBox->ItemIndex(); }
  void SetItemIndex(int32_t Value);
  int32_t DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int32_t Value) {
    if (Value >= 0) FDropDownCount = Value;
  }

  TkxDrawSkinOfficeItemEvent OnDrawItem;
  TNotifyEvent OnChange, OnClick, OnCloseUp, OnDropDown;

  // ---- operations ----
  virtual void Change();
  virtual void DropDown();
  // Closes the drop-down: true accepts the list's selection, false restores the one before.
  void CloseUp(bool Value);
  bool IsPopupVisible() const { return FListBox->Visible(); }
  bool CanCancelDropDown();
  // The face with AText as the shown item's text, into C at (X, Y); Text is left alone.
  void PaintSkinTo(TCanvas* C, int32_t X, int32_t Y, const std::string& AText);
  void CalcRects();

  TkxPopupOfficeListBox* ListBox() const { return FListBox; }
  const TkxCBButtonX& DropButton() const { return Button; }
  const TkxCBItem& ItemArea() const { return CBItem; }
  int32_t OldItemIndex() const { return FOldItemIndex; }
  bool DroppedDown() const { return FDropDown; }
  int32_t TimerMode() const { return FTimerMode; }
  bool MouseIn() const { return FMouseIn; }
  // The list's fade has begun: a press that is under way no longer belongs to the list.
  void ClearListButtonDown() { FLBDown = false; }

  void GetSkinData() override;
  void ChangeSkinData() override;
  void CalcSkinSize(int32_t& AWidth, int32_t& AHeight) override;
  void SetControlRegion() override;
  void Dispatch(TMessage& Message) override;
  void Invalidate() override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void DefaultFontChanged() override;
  void KeyDown(win::WORD& Key, TShiftState Shift) override;
  void KeyPress(uint32_t& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

private:
  void ListBoxWndProc(TMessage& Message);
  void StopAutoScroll();
  void TrackList();
  int32_t ShownIndex() const;
  bool HotOrFocused();
  void DrawContent(TCanvas* C, TRect R, int32_t Index, const std::string* AText, bool AllowOwnerDraw);
  void PaintToolButton(TBitmap* B, const std::string* AText);
  void PaintDefaultField(TBitmap* B, const std::string* AText, bool ForPaintTo);
  void PaintSkinField(TBitmap* B, const std::string* AText, bool ForPaintTo);
  void DrawMarker(TCanvas* C, const TRect& M, const class TkxDataSkinButtonControl* Rec, bool Open, bool Hot,
                  int32_t DownShift);
  void SetSkinFont(TFont* F, TColor Color);

  bool FShowItemTitle = true, FShowItemImage = true, FShowItemText = true;
  int32_t FDropDownCount = 7;
  bool FDropDown = false;
  bool FToolButtonStyle = false;
  TColor FDefaultColor = clWindow;
  bool FUseSkinSize = false;
  bool WasInLB = false;
  int32_t FTimerMode = 0;
  bool FTimerOn = false;
  int32_t FListBoxWidth = 0, FListBoxHeight = 0;
  bool FHideSelection = true;
  bool FAlphaBlend = false, FAlphaBlendAnimation = false;
  uint8_t FAlphaBlendValue = 0;
  bool FMouseIn = false;
  int32_t FOldItemIndex = -1;
  bool FLBDown = false;
  TkxPopupOfficeListBox* FListBox = nullptr;  // owned through the component model
  TWndMethod FListBoxWindowProc;
  std::string FListBoxSkinDataName = "listbox";
  TkxCBItem CBItem;
  TkxCBButtonX Button;
};

class TkxSkinOfficeComboBox : public TkxSkinCustomOfficeComboBox {
public:
  using TkxSkinCustomOfficeComboBox::TkxSkinCustomOfficeComboBox;
};

// Form streaming of the office combo box.
void RegisterSkinOfficeComboFormClasses();
