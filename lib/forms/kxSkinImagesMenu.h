#pragma once
// The images menu: a drop-down picker that pops up a grid of pictures from an image list, with
// optional full-width header rows and button rows (picture and caption), and reports the choice
// through ItemIndex, SelectedItem and its events. The grid window borrows the skin's popup-window
// record for its frame, the "menuitembutton" (else "resizebutton") record for hot and pressed
// cells, the "menuitem" object record for text colours and the "label" record for headers; each
// missing record falls back to a flat default look on its own.
//
// Rules its users rely on:
// - While open, the grid holds the mouse capture and replaces Application.OnMessage (which is
//   not called meanwhile): clicks elsewhere, activation and menu keys close it, other keys move
//   the hot item and never reach the focused control. Closing gives both back.
// - A choice is made only by a click on an item, or by Enter or Space; everything else closes
//   the grid with the close events only. Item events fire only when ItemIndex names an item.
// - The grid closes from inside its own handlers; its window is freed after the message being
//   handled, never under a running handler. The menu counts as closed before any event runs.
#include <cstdint>
#include <memory>
#include <string>

#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "lib/controls/kxSkinBinding.h"

class TCustomImageList;
class TFont;
class TkxSkinData;
class TkxSkinHint;
class TkxSkinImagesMenu;

class TkxImagesMenuItem : public TCollectionItem {
public:
  explicit TkxImagesMenuItem(const TItemSlot& Collection);
  // From another item: ImageIndex, Caption, Button and Hint (not Header, not OnClick).
  void Assign(TPersistent* Source) override;

  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t Value) { FImageIndex = Value; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  bool Button() const { return FButton; }
  void SetButton(bool Value) { FButton = Value; }
  bool Header() const { return FHeader; }
  void SetHeader(bool Value) { FHeader = Value; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  // Fired when the item is chosen (Sender = the images menu).
  TNotifyEvent OnClick;

  // The item's cell in grid-window coordinates, set by the layout.
  TRect ItemRect{};
  TColor FColor = clNone;  // kept for form descriptions; the grid does not use it

private:
  int32_t FImageIndex = -1;
  std::string FCaption;
  bool FButton = false, FHeader = false;
  std::string FHint;
};

class TkxImagesMenuItems : public TCollection {
public:
  explicit TkxImagesMenuItems(TkxSkinImagesMenu* AImagesMenu);
  TkxImagesMenuItem* Add() { return static_cast<TkxImagesMenuItem*>(TCollection::Add()); }
  TkxImagesMenuItem* Items(int Index) const { return static_cast<TkxImagesMenuItem*>(TCollection::Items(Index)); }
  TkxSkinImagesMenu* ImagesMenu;
};

class TkxSkinImagesMenuPopupWindow : public TCustomControl {
public:
  explicit TkxSkinImagesMenuPopupWindow(TkxSkinImagesMenu* AImagesMenu);
  ~TkxSkinImagesMenuPopupWindow() override;

  // Sizes the grid, places it below PopupRect (screen coordinates), else above it, shows it
  // without activation, and takes the capture and Application.OnMessage.
  void Show(TRect PopupRect);
  // Hides the grid, gives back what Show took, and tells the menu (events when AProcessEvents).
  void Hide(bool AProcessEvents);
  // The first item, not a header, whose cell holds P (right and bottom edges included); -1 none.
  int32_t ItemAtPos(TPoint P);
  void ProcessKey(int32_t Key);
  bool CanFocus() override { return false; }
  void Dispatch(TMessage& Message) override;

  // The fade-in running from Show: whether it runs, and the alpha reached.
  bool Fading() const { return FFading; }
  int32_t FadeAlpha() const { return FFadeAlpha; }

  TkxSkinImagesMenu* ImagesMenu;
  bool FSkinSupport = false;
  TBitmap *WindowPicture = nullptr, *MaskPicture = nullptr;  // not owned
  TPoint NewLTPoint{}, NewRTPoint{}, NewLBPoint{}, NewRBPoint{};
  TRect NewItemsRect{};
  int32_t MouseInItem = -1, OldMouseInItem = -1;
  bool FDown = false, FItemDown = false;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void AppMessageProc(win::MSG& Msg, bool& Handled);
  void CheckSkinSupport();
  void LayoutItems();
  void CalcSize();
  void HotTrack(int X, int Y);
  void HideSkinHint();
  void SelectRight();
  void SelectLeft();
  void SelectDown();
  void SelectUp();
  // The first item that can be hot: the first, or the second after a header.
  int32_t FirstSelectable() const;
  void DrawItems(TCanvas* C);
  void DrawItemFrame(TCanvas* C, const TRect& R, bool Pressed);
  void DrawButtonText(TCanvas* C, const std::string& Caption, TRect R, bool Pressed, bool Hot);
  void DrawHeader(TCanvas* C, const TRect& R, const std::string& Caption);
  void StopFade();
  void FadeTick();

  TMessageEvent OldAppMessage;
  bool FHooked = false;  // Application.OnMessage is ours
  bool FShown = false;
  win::HRGN FRgn = nullptr;  // held by the window once set
  int32_t FRowWidth = 0;
  bool FFading = false;
  int32_t FFadeAlpha = 0, FFadeTarget = 0;
  uint64_t FLastFadeTick = 0;
};

class TkxSkinImagesMenu : public TComponent {
public:
  explicit TkxSkinImagesMenu(TComponent* AOwner);
  ~TkxSkinImagesMenu() override;

  // ---- published properties ----
  TCustomImageList* Images() const { return FImages.Get(); }
  void SetImages(TCustomImageList* Value) { FImages.Set(Value); }
  TkxSkinHint* SkinHint() const { return FSkinHint.Get(); }
  void SetSkinHint(TkxSkinHint* Value);
  bool ShowHints() const { return FShowHints; }
  void SetShowHints(bool Value) { FShowHints = Value; }
  TkxImagesMenuItems* ImagesItems() const { return FImagesItems.get(); }
  void SetImagesItems(TkxImagesMenuItems* Value);
  int32_t ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int32_t Value) { FItemIndex = Value; }  // no event
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  int32_t ColumnsCount() const { return FColumnsCount; }
  void SetColumnsCount(int32_t Value);  // 1 to 50; others ignored
  TkxSkinData* SkinData() const { return FSkinData.Get(); }
  void SetSkinData(TkxSkinData* Value) { FSkinData.Set(Value); }
  bool ShowSelectedItem() const { return FShowSelectedItem; }
  void SetShowSelectedItem(bool Value) { FShowSelectedItem = Value; }
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value) { FAlphaBlend = Value; }
  bool AlphaBlendAnimation() const { return FAlphaBlendAnimation; }
  void SetAlphaBlendAnimation(bool Value) { FAlphaBlendAnimation = Value; }
  uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(int32_t Value);
  TNotifyEvent OnItemClick, OnChange, OnMenuPopup, OnMenuClose;

  // ---- public ----
  // The item at ItemIndex; nullptr when ItemIndex names none.
  TkxImagesMenuItem* SelectedItem() const;
  // The owning button's hooks, fired before OnChange and OnMenuClose.
  TNotifyEvent OnInternalChange, OnInternalMenuClose;
  void Popup(int32_t X, int32_t Y);
  void PopupFromRect(TRect R);
  // Closes an open grid without a choice.
  void Hide();
  // Called by the grid when it closed.
  void PopupClosed(bool AProcessEvents);

  TkxSkinImagesMenuPopupWindow* FPopupWindow = nullptr;  // the open grid (owned) or nullptr
  int32_t FOldItemIndex = -1;

private:
  TkxComponentLink<TCustomImageList> FImages;
  TkxComponentLink<TkxSkinHint> FSkinHint;
  bool FShowHints = true;
  std::unique_ptr<TkxImagesMenuItems> FImagesItems;
  int32_t FItemIndex = -1;
  bool FUseSkinFont = true;
  std::unique_ptr<TFont> FDefaultFont;
  int32_t FColumnsCount = 1;
  TkxComponentLink<TkxSkinData> FSkinData;
  bool FShowSelectedItem = true;
  bool FAlphaBlend = false, FAlphaBlendAnimation = false;
  uint8_t FAlphaBlendValue = 200;
};

// Form streaming of the images menu and its items.
void RegisterSkinImagesMenuFormClasses();
