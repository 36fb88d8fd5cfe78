#pragma once
// The skinned combo box: one line (the selected item, or an inner edit in edit style) with a drop
// button, and a drop-down list (TkxPopupListBox, a skinned list box made into a popup that never
// takes the activation and may fade in). The keyboard stays with the combo box or its edit while
// the list is open; a press elsewhere, Escape or the loss of the focus closes it cancelling.
#include <cstdint>
#include <memory>
#include <string>

#include "lib/controls/kxSkinEdits.h"
#include "lib/controls/kxSkinListBoxes.h"

class TkxSkinCustomComboBox;

enum TkxSkinCustomComboBoxStyle { kxcbEditStyle, kxcbFixedStyle };

// The item area of the combo box and the state its owner draw receives.
struct TkxCBItem {
  TRect R{};
  TOwnerDrawState State;
};

class TkxPopupListBox : public TkxSkinListBox {
public:
  explicit TkxPopupListBox(TComponent* AOwner);
  ~TkxPopupListBox() override;

  // Shows the window at the screen point Origin on top without activating it (fading in when the
  // owning combo box asks for it), and hides it again.
  void Show(TPoint Origin);
  void Hide();
  bool IsShown();
  // The fade running from Show: the alpha reached and the steps taken so far.
  bool Fading() const { return FFading; }
  int32_t FadeSteps() const { return FFadeSteps; }

  bool FOldAlphaBlend = false;
  uint8_t FOldAlphaBlendValue = 0;

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;

private:
  void StopFade();
  void FadeTick();
  bool FFading = false;
  int32_t FFadeAlpha = 0, FFadeStep = 1, FFadeTarget = 0, FFadeSteps = 0;
  uint64_t FLastFadeTick = 0;
};

class TkxDataSkinComboBox;

// The fields both combo boxes take from a "combobox" record.
struct TkxComboSkinFields {
  TRect ActiveSkinRect{};
  TColor ActiveFontColor = clBlack;
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = clBlack, FocusFontColor = clBlack;
  TRect SItemRect{}, FocusItemRect{}, ActiveItemRect{};
  int32_t ItemLeftOffset = 0, ItemRightOffset = 0;
  TRect ItemTextRect{};
  TRect ButtonRect{}, ActiveButtonRect{}, DownButtonRect{}, UnEnabledButtonRect{};
  std::string ListBoxName;
  bool ItemStretchEffect = false, FocusItemStretchEffect = false;
  bool ShowFocus = false;

  void TakeComboRecord(const TkxDataSkinComboBox& R);
};

class TkxSkinCustomComboBox : public TkxSkinCustomControl, public TkxComboSkinFields {
public:
  explicit TkxSkinCustomComboBox(TComponent* AOwner);
  ~TkxSkinCustomComboBox() override;

  // ---- properties ----
  TkxSkinCustomComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TkxSkinCustomComboBoxStyle Value);
  bool ToolButtonStyle() const { return FToolButtonStyle; }
  void SetToolButtonStyle(bool Value);
  bool UseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool Value) { FUseSkinSize = Value; }
  TStrings* Items() { return FListBox->Items(); }
  void SetItems(TStrings* Value);
  int32_t ItemIndex() { return FListBox->ItemIndex(); }
  void SetItemIndex(int32_t Value);
  int32_t DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int32_t Value) {
    if (Value >= 1) FDropDownCount = Value;
  }
  int32_t ListBoxWidth() const { return FListBoxWidth; }
  void SetListBoxWidth(int32_t Value) { FListBoxWidth = Value; }
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value) { FHideSelection = Value; }
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  TColor DefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor Value);
  bool Sorted() const { return FListBox->Sorted(); }
  void SetSorted(bool Value) { FListBox->SetSorted(Value); }
  bool HorizontalExtent() const { return FListBox->HorizontalExtent(); }
  void SetHorizontalExtent(bool Value) { FListBox->SetHorizontalExtent(Value); }
  TStrings* TabWidths() { return FListBox->TabWidths(); }
  void SetTabWidths(TStrings* Value) { FListBox->SetTabWidths(Value); }
  TCustomImageList* Images() const { return FListBox->Images(); }
  void SetImages(TCustomImageList* Value);
  int32_t ImageIndex() const { return FListBox->ImageIndex(); }
  void SetImageIndex(int32_t Value);
  bool ListBoxCaptionMode() const { return FListBox->CaptionMode(); }
  void SetListBoxCaptionMode(bool Value) { FListBox->SetCaptionMode(Value); }
  std::string ListBoxCaption() { return FListBox->Caption(); }
  void SetListBoxCaption(const std::string& Value) { FListBox->SetCaption(Value); }
  void SetListBoxCaptionAlignment(TAlignment Value) { FListBox->SetAlignment(Value); }
  TFont* ListBoxDefaultFont() { return FListBox->DefaultFont(); }
  TFont* ListBoxDefaultCaptionFont() { return FListBox->DefaultCaptionFont(); }
  void SetListBoxDefaultItemHeight(int32_t Value) { FListBox->SetDefaultItemHeight(Value); }
  void SetListBoxUseSkinFont(bool Value) { FListBox->SetUseSkinFont(Value); }
  void SetListBoxUseSkinItemHeight(bool Value) { FListBox->SetUseSkinItemHeight(Value); }
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value) { FAlphaBlend = Value; }
  bool AlphaBlendAnimation() const { return FAlphaBlendAnimation; }
  void SetAlphaBlendAnimation(bool Value) { FAlphaBlendAnimation = Value; }
  uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(int32_t Value) { FAlphaBlendValue = uint8_t(std::clamp(Value, 0, 255)); }
  void SetOnListBoxDrawItem(TkxDrawSkinItemEvent Value);

  TkxDrawSkinItemEvent OnComboBoxDrawItem;
  TNotifyEvent OnChange, OnCloseUp, OnDropDown;
  // OnClick is the control's own.

  // ---- public only ----
  int32_t SelStart() { return FEdit ? FEdit->SelStart() : 0; }
  int32_t SelLength() { return FEdit ? FEdit->SelLength() : 0; }
  bool IsPopupVisible() { return FListBox && FListBox->IsShown(); }
  // The list is shown and the mouse is not over the control.
  bool CanCancelDropDown() { return IsPopupVisible() && !FMouseIn; }
  virtual void DropDown();
  void CloseUp(bool Value);
  // Paints the control as it would look showing AText onto C at (X, Y), without touching Text.
  void PaintSkinTo(TCanvas* C, int32_t X, int32_t Y, const std::string& AText);
  void Invalidate() override;
  void ChangeSkinData() override;
  void GetSkinData() override;
  void CalcSkinSize(int32_t& AWidth, int32_t& AHeight) override;
  void SetControlRegion() override;
  void Dispatch(TMessage& Message) override;

  // ---- the parts, for subclasses and tests ----
  TkxPopupListBox* ListBox() const { return FListBox; }
  TkxCustomEdit* Edit() const { return FEdit; }
  const TkxCBItem& Item() const { return CBItem; }
  const TkxCBButtonX& DropButton() const { return Button; }
  bool Dropped() const { return FDropDown; }
  int32_t OldItemIndex() const { return FOldItemIndex; }
  int32_t ScrollTimerMode() const { return TimerMode; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void DefaultFontChanged() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(win::WORD& Key, TShiftState Shift) override;
  void KeyPress(uint32_t& Key) override;

  virtual void EditWindowProc(TMessage& Message);
  virtual void CreateEdit();
  // The change hook of the selection, close-up and edit typing; empty here.
  virtual void Change() {}

  bool FNumEdit = false;
  bool FDropDown = false;
  bool FToolButtonStyle = false;
  TEditCharCase FCharCase = ecNormal;
  TColor FDefaultColor = clWindow;
  bool FUseSkinSize = true;
  bool WasInLB = false;
  int32_t TimerMode = 0;
  int32_t FListBoxWidth = 0;
  bool FHideSelection = true;
  uint64_t FLastTime = 0;
  std::string FFilter;
  bool FAutoComplete = true;
  bool FAlphaBlend = false, FAlphaBlendAnimation = false;
  uint8_t FAlphaBlendValue = 0;
  TkxSkinCustomComboBoxStyle FStyle = kxcbFixedStyle;
  TkxDrawSkinItemEvent FOnListBoxDrawItem;
  bool FMouseIn = false;
  int32_t FOldItemIndex = -1;
  int32_t FDropDownCount = 8;
  bool FLBDown = false;
  TWndMethod FListBoxWindowProc, FEditWindowProc;
  TkxPopupListBox* FListBox = nullptr;  // owned
  TkxCBItem CBItem;
  TkxCBButtonX Button;
  TkxCustomEdit* FEdit = nullptr;        // owned
  bool FromEdit = false;


private:
  bool Skinned() const { return FIndex != -1; }
  bool Hot();
  void CalcRects();
  void DrawDefaultButton(TCanvas* C);
  void DrawSkinButton(TCanvas* C);
  void DrawItemImage(TCanvas* C, TOwnerDrawState State, bool Skin, const std::string* AText);
  void DrawItemContent(TCanvas* C, int32_t W, int32_t H, int32_t Index, const TRect& Txt, const std::string* AText);
  void DrawToolButton(TCanvas* C, bool Skin, const std::string* AText);
  void PaintLook(TBitmap* B, const std::string* AText);
  TColor DisabledColor();
  void ApplyEditColour();
  void EditChange(TObject* Sender);
  void SetEditText(const std::string& S);
  void ListBoxHover(int X, int Y);
  void ListWindowProc(TMessage& Message);
  void TrackHeldMouse();
  void StartScrollTimer(int32_t Mode);
  void StopScrollTimer();
  void StepList(int32_t Delta, bool ThroughSetter);
  void EditStep(int32_t Delta);
  void AutoCompleteStep();
  bool CancelsMode(TControl* Sender);
  TFontCharset CharsetInUse();

  bool FTimerOn = false;
  bool FSettingEdit = false;
  bool FPainting = false;
};

class TkxSkinComboBox : public TkxSkinCustomComboBox {
public:
  explicit TkxSkinComboBox(TComponent* AOwner) : TkxSkinCustomComboBox(AOwner) {}
};

// Registers the combo box with the form reader.
void RegisterSkinComboBoxFormClasses();
