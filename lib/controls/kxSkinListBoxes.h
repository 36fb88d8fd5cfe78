#pragma once
// The skinned list box: a frame with an optional caption band (text, glyph and three small
// buttons: up, down, check) around an inner owner-painted list (TkxListBox). The inner list keeps
// the items, the selection and the scroll state; the frame makes its own skinned scroll bars
// only while the list needs them and keeps them in step with the list's scroll info.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "classlib/ListBoxes.h"
#include "lib/controls/kxSkinCtrls.h"
#include "lib/controls/kxSkinEdits.h"

class TkxSkinScrollBar;
class TkxSkinCustomListBox;

// Outside programs ask an empty list to paint its background into the DC of wParam.
constexpr uint32_t KXM_PAINTBGTODC = 48202;

// Owner draw of one skinned item on the canvas of its off-screen bitmap.
using TkxDrawSkinItemEvent = std::function<void(TCanvas* Cnvs, int32_t Index, int32_t ItemWidth, int32_t ItemHeight,
                                                TRect TxtRect, TOwnerDrawState State)>;

// Draws the image (when Images is given) and the text of an item into TxtRect: the text tabbed
// when TabWidths has lines and Columns is 0, else vertically centred and moved left by Offset.
void kxDrawListItemText(TCanvas* C, const TRect& TxtRect, const std::string& Text, int32_t Index,
                        TCustomImageList* Images, int32_t ImageIndex, TStrings* TabWidths, int32_t Columns,
                        int32_t Offset);
// The tab stop a TabWidths line gives: its value when made only of digits, else 0; a value too
// large for the stop saturates.
int32_t kxTabStopOf(const std::string& Line);

// The list inside every skinned list box; it paints its items from its owner's skin fields and
// hands mouse, keys and focus to its owner first.
class TkxListBox : public TListBox {
public:
  explicit TkxListBox(TComponent* AOwner);

  TkxSkinCustomListBox* SkinListBox = nullptr;  // not owned
  // Horizontal scroll offset in pixels: images and untabbed text are drawn this far left.
  int32_t FHorizontalExtentValue = 0;

  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  // The state an item is painted in.
  TOwnerDrawState ItemState(int32_t Index);
  // Paints the background of the client area (or of R) into DC.
  void PaintBackground(win::HDC DC, const TRect& R);
  void Click() override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void PaintWindow(win::HDC DC) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(win::WORD& Key, TShiftState Shift) override;
  void KeyUp(win::WORD& Key, TShiftState Shift) override;
  void KeyPress(uint32_t& Key) override;

private:
  void PaintItem(TCanvas* C, int32_t Index, const TRect& R, TOwnerDrawState State);
  void DefaultDrawItem(TCanvas* C, int32_t Index, const TRect& R, TOwnerDrawState State);
  void StretchSkinDrawItem(TCanvas* C, int32_t Index, const TRect& R, TOwnerDrawState State);
  void SkinDrawItem(TCanvas* C, int32_t Index, const TRect& R, TOwnerDrawState State);
  void DrawImageAndText(TCanvas* C, int32_t Index, const TRect& TxtRect);
  void ItemFont(TFont* F);
};

class TkxSkinCustomListBox : public TkxSkinCustomControl, protected TkxArrowButtonRects {
public:
  explicit TkxSkinCustomListBox(TComponent* AOwner);
  ~TkxSkinCustomListBox() override;

  // ---- properties ----
  bool ShowCaptionButtons() const { return FShowCaptionButtons; }
  void SetShowCaptionButtons(bool Value);
  TStrings* TabWidths() { return FTabWidths.get(); }
  void SetTabWidths(TStrings* Value);
  bool UseSkinItemHeight() const { return FUseSkinItemHeight; }
  void SetUseSkinItemHeight(bool Value) { FUseSkinItemHeight = Value; }
  bool HorizontalExtent() const { return FHorizontalExtent; }
  void SetHorizontalExtent(bool Value);
  int32_t RowCount() const { return FRowCount; }
  void SetRowCount(int32_t Value);
  TBitmap* Glyph() { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  int32_t NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int32_t Value);
  int32_t Spacing() const { return FSpacing; }
  void SetSpacing(int32_t Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t Value);
  int32_t DefaultItemHeight() const { return FDefaultItemHeight; }
  void SetDefaultItemHeight(int32_t Value);
  int32_t DefaultCaptionHeight() const { return FDefaultCaptionHeight; }
  void SetDefaultCaptionHeight(int32_t Value);
  TFont* DefaultCaptionFont() { return FDefaultCaptionFont.get(); }
  void SetDefaultCaptionFont(TFont* Value) { FDefaultCaptionFont->Assign(Value); }
  bool CaptionMode() const { return FCaptionMode; }
  void SetCaptionMode(bool Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TStrings* Items() { return ListBox->Items(); }
  void SetItems(TStrings* Value);
  int32_t ItemIndex() { return ListBox->ItemIndex(); }
  void SetItemIndex(int32_t Value) { ListBox->SetItemIndex(Value); }
  bool Sorted() const { return ListBox->Sorted(); }
  void SetSorted(bool Value);
  bool MultiSelect() const { return ListBox->MultiSelect(); }
  void SetMultiSelect(bool Value) { ListBox->SetMultiSelect(Value); }
  bool ExtandedSelect() const { return ListBox->ExtendedSelect(); }
  void SetExtandedSelect(bool Value) { ListBox->SetExtendedSelect(Value); }
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  int32_t Columns() const { return ListBox->Columns(); }
  void SetColumns(int32_t Value);
  TFont* ListBoxFont() { return ListBox->Font(); }
  void SetListBoxFont(TFont* Value) { ListBox->SetFont(Value); }
  int32_t ListBoxTabOrder() const { return ListBox->TabOrder(); }
  void SetListBoxTabOrder(int32_t Value) { ListBox->SetTabOrder(Value); }
  bool ListBoxTabStop() const { return ListBox->TabStop(); }
  void SetListBoxTabStop(bool Value) { ListBox->SetTabStop(Value); }
  TPopupMenu* ListBoxPopupMenu() const { return ListBox->PopupMenu(); }
  void SetListBoxPopupMenu(TPopupMenu* Value) { ListBox->SetPopupMenu(Value); }

  TNotifyEvent OnUpButtonClick, OnDownButtonClick, OnCheckButtonClick;
  TNotifyEvent OnListBoxClick, OnListBoxDblClick;
  TMouseEvent OnListBoxMouseDown, OnListBoxMouseUp;
  TMouseMoveEvent OnListBoxMouseMove;
  TKeyEvent OnListBoxKeyDown, OnListBoxKeyUp;
  TKeyPressEvent OnListBoxKeyPress;
  TkxDrawSkinItemEvent OnDrawItem;

  // ---- public only ----
  TCanvas* ListBoxCanvas() { return ListBox->Canvas(); }
  int32_t SelCount() { return ListBox->SelCount(); }
  int32_t TopIndex() { return ListBox->TopIndex(); }
  void SetTopIndex(int32_t Value) { ListBox->SetTopIndex(Value); }
  bool Selected(int32_t Index) { return ListBox->Selected(Index); }
  void SetSelected(int32_t Index, bool Value) { ListBox->SetSelected(Index, Value); }
  int32_t ItemAtPos(TPoint Pos, bool Existing) { return ListBox->ItemAtPos(Pos, Existing); }
  TRect ItemRect(int32_t Item) { return ListBox->ItemRect(Item); }
  int32_t CalcHeight(int32_t AItemsCount);
  void Clear();
  // Mirrors the inner list's scroll state onto the skinned bars, making or removing them.
  void UpDateScrollBar();
  void ChangeSkinData() override;
  void GetSkinData() override;
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  void Dispatch(TMessage& Message) override;

  // ---- the parts, for owners and tests ----
  TkxListBox* ListBox = nullptr;               // owned
  TkxSkinScrollBar* ScrollBar = nullptr;       // owned, nullptr while not needed
  TkxSkinScrollBar* HScrollBar = nullptr;      // owned, nullptr while not needed
  bool FStopUpDateHScrollBar = false;
  TkxCBButtonX Buttons[3];                     // caption buttons: up, down, check
  int32_t ActiveButton = -1, OldActiveButton = -1, CaptureButton = -1;
  int32_t TimerMode = 0;                       // 0 none, 1 stepping up, 2 stepping down
  bool WaitMode = false;
  TRect ListRect{}, NewCaptionRect{};

  // Fields the inner list paints from.
  bool FUseSkinItemHeight = true;
  TRect SItemRect{}, ActiveItemRect{}, FocusItemRect{};
  int32_t ItemLeftOffset = 0, ItemRightOffset = 0;
  TRect ItemTextRect{};
  std::string FontName;
  TFontStyles FontStyle;
  int32_t FontHeight = 0;
  TColor FontColor = clWindowText, ActiveFontColor = clHighlightText, FocusFontColor = clHighlightText;
  bool ShowFocus = false;
  TkxComponentLink<TCustomImageList> FImages;
  int32_t FImageIndex = -1;
  std::unique_ptr<TStringList> FTabWidths;

  // The list's virtual operations; each fires its On... event with this control as Sender.
  virtual int32_t GetItemWidth(int32_t Index, TCanvas* C);
  virtual void ListBoxMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void ListBoxMouseMove(TShiftState Shift, int X, int Y);
  virtual void ListBoxMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void ListBoxClick();
  virtual void ListBoxDblClick();
  virtual void ListBoxKeyDown(win::WORD& Key, TShiftState Shift);
  virtual void ListBoxKeyUp(win::WORD& Key, TShiftState Shift);
  virtual void ListBoxKeyPress(uint32_t& Key);
  virtual void ListBoxEnter() {}
  virtual void ListBoxExit() {}
  // Runs first for every message of the inner list; clearing Handled drops the message.
  virtual void ListBoxWndProc(TMessage& Message, bool& Handled) { Handled = true; }
  virtual void ListBoxCreateWnd() {}

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void DefaultFontChanged() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // Places the inner list and the bars for the current size and skin.
  void CalcRects();
  bool Skinned() const { return FIndex != -1; }

  // Record fields beyond those the inner list reads.
  TRect CaptionRect{};
  std::string CaptionFontName;
  TFontStyles CaptionFontStyle;
  int32_t CaptionFontHeight = 0;
  TColor CaptionFontColor = clBtnText;
  TRect CheckButtonRect{}, ActiveCheckButtonRect{}, DownCheckButtonRect{};
  std::string VScrollBarName = "vscrollbar", HScrollBarName = "hscrollbar", BothScrollBarName = "bothhscrollbar";
  TRect ButtonsArea{}, DisabledButtonsRect{};

private:
  bool CaptionButtonsWork() const;
  void TestActive(int X, int Y);
  void DrawButton(TCanvas* C, int32_t I);
  void RedrawButtons();
  void ButtonDefaultStep(int32_t I);
  void StartTimer(uint32_t Ms);
  void StopTimer();
  void TimerTick();
  void DrawCaption(TCanvas* C, const TRect& R, bool Skin);
  void MakeScrollBar();
  void MakeHScrollBar();
  void RemoveScrollBar();
  void RemoveHScrollBar();
  void NameBars();
  void ScrollBarChange(TObject* Sender);
  void HScrollBarChange(TObject* Sender);
  void DefaultCaptionFontChange(TObject* Sender);

  bool FShowCaptionButtons = true;
  bool FHorizontalExtent = false;
  int32_t FRowCount = 0;
  std::unique_ptr<TBitmap> FGlyph;
  int32_t FNumGlyphs = 1;
  int32_t FSpacing = 2;
  int32_t FDefaultItemHeight = 20;
  int32_t FDefaultCaptionHeight = 20;
  std::unique_ptr<TFont> FDefaultCaptionFont;
  bool FCaptionMode = false;
  TAlignment FAlignment = taLeftJustify;
  bool FAutoComplete = true;
  bool FTimerOn = false;
  bool FInUpdate = false;
};

class TkxSkinListBox : public TkxSkinCustomListBox {
public:
  explicit TkxSkinListBox(TComponent* AOwner) : TkxSkinCustomListBox(AOwner) {}
};

// Registers the list boxes with the form reader.
void RegisterSkinListBoxFormClasses();
