#pragma once
// The office list: items with a bold title line, a caption that may wrap and an image, some of
// them group headers drawn as bands across the list. Rows have a fixed height per kind; the list
// scrolls by pixels with a skinned vertical bar of its own that exists only while the items do
// not fit. TkxPopupOfficeListBox is the same list as a popup that never takes the focus: the
// drop-down of the office combo box.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "lib/controls/kxSkinCtrls.h"

class TCustomImageList;
class TkxSkinOfficeListBox;
class TkxSkinScrollBar;

// Owner drawing of item Index into Cnvs within TextRct.
using TkxDrawSkinOfficeItemEvent = std::function<void(TCanvas* Cnvs, int32_t Index, TRect TextRct)>;

class TkxSkinOfficeItem : public TCollectionItem {
public:
  // Born selected when it lands at the owning list's selected position.
  explicit TkxSkinOfficeItem(TCollection* Collection);
  void Assign(TPersistent* Source) override;

  int32_t ImageIndex() const { return FImageIndex; }
  virtual void SetImageIndex(int32_t Value);
  const std::string& Title() const { return FTitle; }
  virtual void SetTitle(const std::string& Value);
  const std::string& Caption() const { return FCaption; }
  virtual void SetCaption(const std::string& Value);
  void* Data() const { return FData; }
  virtual void SetData(void* Value) { FData = Value; }
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  bool Header() const { return FHeader; }
  virtual void SetHeader(bool Value);

  TNotifyEvent OnClick;  // the list's ItemIndex setter selected this item

  // Set by the list's layout: the rectangle in client coordinates, scrolled; whether it shows.
  TRect ItemRect{};
  bool IsVisible = false;
  bool Active = false;  // draws selected

private:
  int32_t FImageIndex = -1;
  std::string FTitle;
  std::string FCaption;
  bool FEnabled = true;
  void* FData = nullptr;  // the user's, not owned
  bool FHeader = false;
};

class TkxSkinOfficeItems : public TCollection {
public:
  explicit TkxSkinOfficeItems(TkxSkinOfficeListBox* AListBox);
  TkxSkinOfficeItem* GetItem(int Index) const { return static_cast<TkxSkinOfficeItem*>(Items(Index)); }
  TkxSkinOfficeItem* Add();
  TkxSkinOfficeItem* Insert(int Index);
  void Delete(int Index);
  void Clear();

  TkxSkinOfficeListBox* OfficeListBox = nullptr;  // not owned

protected:
  void Update(TCollectionItem* Item) override;
};

class TkxSkinOfficeListBox : public TkxSkinCustomControl {
public:
  explicit TkxSkinOfficeListBox(TComponent* AOwner);
  ~TkxSkinOfficeListBox() override;

  TkxSkinOfficeItems* Items() const { return FItems.get(); }
  void SetItems(TkxSkinOfficeItems* Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  bool ShowItemTitles() const { return FShowItemTitles; }
  void SetShowItemTitles(bool Value);
  int32_t ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int32_t Value);
  int32_t HeaderHeight() const { return FHeaderHeight; }
  void SetHeaderHeight(int32_t Value);
  int32_t ItemIndex() const { return FItemIndex; }
  // Marks, repaints and scrolls to the item, then fires its OnClick and OnItemClick, also for
  // the value it already has. A negative value clears every mark and fires nothing.
  void SetItemIndex(int32_t Value);
  bool ShowLines() const { return FShowLines; }
  void SetShowLines(bool Value);
  bool MouseMoveChangeIndex() const { return FMouseMoveChangeIndex; }
  void SetMouseMoveChangeIndex(bool Value) { FMouseMoveChangeIndex = Value; }

  TkxDrawSkinOfficeItemEvent OnDrawItem;
  TNotifyEvent OnItemClick;

  void DrawItem(int32_t Index, TCanvas* Cnvs);
  void SkinDrawItem(int32_t Index, TCanvas* Cnvs);
  void DefaultDrawItem(int32_t Index, TCanvas* Cnvs);
  void SkinDrawHeaderItem(int32_t Index, TCanvas* Cnvs);
  void CalcItemRects();
  // The control height that shows AItemCount rows (headers count as item rows).
  int32_t CalcHeight(int32_t AItemCount);
  // The first enabled item whose rectangle holds the point; -1 for none.
  int32_t ItemAtPos(int32_t X, int32_t Y);
  void Scroll(int32_t AScrollOffset);
  void ScrollToItem(int32_t Index);
  void GetScrollInfo(int32_t& AMin, int32_t& AMax, int32_t& APage, int32_t& APosition);
  void UpdateScrollInfo();
  void ShowScrollbar();
  void HideScrollBar();
  void AdjustScrollBar();
  void SBChange(TObject* Sender);
  void FindUp();
  void FindDown();
  void FindPageUp();
  void FindPageDown();
  // Selection without events (mouse press and hot tracking).
  void SetItemActive(int32_t Index);

  TRect ItemsRect() const { return FItemsRect; }
  int32_t ScrollOffset() const { return FScrollOffset; }
  TkxSkinScrollBar* ScrollBar = nullptr;  // owned while it exists

  void Loaded() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void ChangeSkinData() override;
  // The whole list into another device context (an erase outside WM_PAINT).
  void PaintInto(win::HDC DC);
  // Is the mouse button down on an item (a drag marks as it goes)?
  bool MouseIsDown() const { return FMouseDown; }
  // Public so that the office combo box hands its tracking to the list.
  void MouseMove(TShiftState Shift, int X, int Y) override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(win::WORD& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void WMSize();

  TColor FDisabledFontColor = TColor(0x808080);
  // A press takes the focus first; the popup never takes it.
  bool FFocusOnClick = true;

private:
  bool Selectable(int32_t Index) const;
  void DrawItems(TBitmap* B);
  void DrawContent(int32_t Index, TCanvas* C, TRect R, bool Skinned);
  void MarkActive(int32_t Index);

  bool FMouseMoveChangeIndex = false;
  bool FShowLines = false;
  bool FMouseDown = false;
  int32_t FMouseActive = -1;
  int32_t FMax = 0;
  int32_t FRealMax = 0;
  TRect FItemsRect{};
  int32_t FScrollOffset = 0;
  std::unique_ptr<TkxSkinOfficeItems> FItems;
  TkxComponentLink<TCustomImageList> FImages;  // not owned
  bool FShowItemTitles = true;
  int32_t FItemHeight = 30;
  int32_t FHeaderHeight = 20;
  int32_t FOldHeight = -1;
  int32_t FItemIndex = -1;
};

class TkxSkinCustomOfficeComboBox;

class TkxPopupOfficeListBox : public TkxSkinOfficeListBox {
public:
  explicit TkxPopupOfficeListBox(TComponent* AOwner);
  ~TkxPopupOfficeListBox() override;

  // Shows the list with its top-left at the screen point, without taking activation; with the
  // owning combo box's fade, the alpha climbs on a timer from 0 to the combo's value.
  void Show(TPoint Origin);
  void Hide();
  void Dispatch(TMessage& Message) override;

  // The fade: whether it runs, and the alpha last applied.
  bool Fading() const { return FFadeOn; }
  uint8_t FadeAlpha() const { return FFadeAlpha; }

protected:
  void CreateParams(TCreateParams& Params) override;

private:
  TkxSkinCustomOfficeComboBox* OwnerCombo() const;
  void FadeStep();
  void StopFade();

  bool FOldAlphaBlend = false;
  uint8_t FOldAlphaBlendValue = 0;
  bool FFadeOn = false;
  uint8_t FFadeAlpha = 0;
  uint8_t FFadeTarget = 0;
  uint8_t FFadeStep = 1;
};

// Form streaming of the office items and lists.
void RegisterSkinOfficeListFormClasses();
