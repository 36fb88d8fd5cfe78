#pragma once
// The list view: items with sub-items and images, columns shown by a header control
// ("SysHeader32", a child window of its own), four view styles, single and multiple selection,
// owner data (the items asked of OnData as they are shown), label editing in an inner edit,
// sorting, keyboard and mouse. The control keeps scroll info in the platform's manner whether
// or not bars are shown, so that outside bars can mirror it:
//   vsReport:  vertical 0..count-1 with page = count per page and position = top index;
//              horizontal in pixels over the columns' total width (0..0 when it fits);
//   vsList:    horizontal in columns (0..0 when they fit);
//   vsIcon, vsSmallIcon: both in pixels (0..0 when the content fits).
// Its window answers LVM_GETITEMCOUNT, LVM_GETCOUNTPERPAGE, LVM_SCROLL, LVM_GETITEMRECT and the
// other LVM_* messages of platform/CommCtrl.h.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/StringList.h"
#include "classlib/Controls.h"
#include "classlib/EditCtrls.h"
#include "classlib/graphics/ImageList.h"
#include "platform/CommCtrl.h"

class TCustomListView;
class TListItems;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum TItemChange { ctText, ctImage, ctState };
enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };
enum TSortType { stNone, stData, stText, stBoth };
enum TItemFind { ifData, ifPartialString, ifExactString, ifNearest };
enum TSearchDirection { sdLeft, sdRight, sdAbove, sdBelow, sdAll };

// ---- columns ----------------------------------------------------------------------------------
class TListColumn : public TCollectionItem {
public:
  explicit TListColumn(const TItemSlot& Collection);
  ~TListColumn() override;
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  // The shown width; Width 0 hides the column. MinWidth and MaxWidth (0: no bound) hold for
  // the user's divider drags and for SetWidth alike.
  int32_t Width() const { return FWidth; }
  void SetWidth(int32_t Value);
  int32_t MinWidth() const { return FMinWidth; }
  void SetMinWidth(int32_t Value);
  int32_t MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int32_t Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  // The column takes what the client width leaves over from the other columns.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t Value);
  int32_t Tag = 0;
  std::string DisplayName() override { return FCaption.empty() ? ClassName() : FCaption; }
  void Assign(TPersistent* Source) override;

private:
  friend class TCustomListView;
  int32_t Bounded(int32_t Value) const;
  std::string FCaption;
  int32_t FWidth = 50, FMinWidth = 0, FMaxWidth = 0;
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = false;
  int32_t FImageIndex = -1;
};

class TListColumns : public TCollection {
public:
  explicit TListColumns(TCustomListView* AOwner);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  // Raises EListError for an index outside 0..Count.
  TListColumn* Insert(int Index) { return static_cast<TListColumn*>(TCollection::Insert(Index)); }
  // Raises EListError for a bad index.
  TListColumn* Items(int Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }
  TCustomListView* Owner() const { return FOwner; }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TCustomListView* FOwner;
};

// ---- items ------------------------------------------------------------------------------------
class TListItem : public TPersistent {
public:
  explicit TListItem(TListItems* AOwner);
  ~TListItem() override;

  TListItems* Owner() const { return FOwner; }
  TCustomListView* ListView() const;
  int32_t Index() const { return FIndex; }

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  TStrings* SubItems() { return FSubItems.get(); }
  void SetSubItems(TStrings* Value) { FSubItems->Assign(Value); }
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t Value);
  void* Data() const { return FData; }
  void SetData(void* Value) { FData = Value; }
  bool Selected() const;
  void SetSelected(bool Value);
  bool Focused() const;
  void SetFocused(bool Value);

  TRect DisplayRect(TDisplayCode Code) const;
  // Removes the item from its list (and frees it); the pointer is dangling afterwards.
  void Delete();
  void MakeVisible(bool PartialOK = false);
  // Starts editing the label; false when the list is read-only or OnEditing refuses.
  bool EditCaption();
  void Update();
  void Assign(TPersistent* Source) override;

private:
  friend class TListItems;
  friend class TCustomListView;
  void SubItemsChanged(TObject*);
  TListItems* FOwner;
  int32_t FIndex = -1;
  std::string FCaption;
  std::unique_ptr<TStringList> FSubItems;
  int32_t FImageIndex = -1;
  void* FData = nullptr;
  bool FFilling = false;  // being filled by OnData: changes are not reported
};

class TListItems : public TPersistent {
public:
  explicit TListItems(TCustomListView* AOwner);
  ~TListItems() override;

  TCustomListView* Owner() const { return FOwner; }
  TListItem* Add();
  // Inserts before Index (0..Count).
  TListItem* Insert(int32_t Index);
  TListItem* AddItem(TListItem* Item, int32_t Index = -1);
  void Delete(int32_t Index);
  void Clear();
  int32_t Count() const;
  // With owner data: the number of virtual items (the selection beyond it is dropped); other
  // lists only reserve room.
  void SetCount(int32_t Value);
  // The item at Index; EListError for a bad index. With owner data the one shared item,
  // filled by OnData for that index.
  TListItem* Item(int32_t Index);
  TListItem* operator[](int32_t Index) { return Item(Index); }
  int32_t IndexOf(TListItem* Value) const;
  void BeginUpdate();
  void EndUpdate();
  void Assign(TPersistent* Source) override;

private:
  friend class TCustomListView;
  friend class TListItem;
  TCustomListView* FOwner;
  std::vector<std::unique_ptr<TListItem>> FItems;
  int FUpdateCount = 0;
};

// ---- events -----------------------------------------------------------------------------------
using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVChangeEvent = std::function<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVChangingEvent =
    std::function<void(TObject* Sender, TListItem* Item, TItemChange Change, bool& AllowChange)>;
using TLVOwnerDataEvent = std::function<void(TObject* Sender, TListItem* Item)>;
using TLVOwnerDataFindEvent =
    std::function<void(TObject* Sender, TItemFind Find, const std::string& FindString, TPoint FindPosition,
                       void* FindData, int32_t StartIndex, TSearchDirection Direction, bool Wrap, int32_t& Index)>;
using TLVEditingEvent = std::function<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVEditedEvent = std::function<void(TObject* Sender, TListItem* Item, std::string& S)>;
using TLVColumnClickEvent = std::function<void(TObject* Sender, TListColumn* Column)>;
using TLVCompareEvent =
    std::function<void(TObject* Sender, TListItem* Item1, TListItem* Item2, int32_t Data, int32_t& Compare)>;
using TLVDeletedEvent = std::function<void(TObject* Sender, TListItem* Item)>;
using TLVCustomSortProc = std::function<int32_t(TListItem* Item1, TListItem* Item2, intptr_t Data)>;

// ---- the control ------------------------------------------------------------------------------
class TCustomListView : public TWinControl {
public:
  explicit TCustomListView(TComponent* AOwner);
  ~TCustomListView() override;

  TListItems* Items() { return FItems.get(); }
  void SetItems(TListItems* Value) { FItems->Assign(Value); }
  TListColumns* Columns() { return FColumns.get(); }
  void SetColumns(TListColumns* Value) { FColumns->Assign(Value); }
  TListColumn* Column(int32_t Index) { return FColumns->Items(Index); }

  TViewStyle ViewStyle() const { return FViewStyle; }
  void SetViewStyle(TViewStyle Value);
  bool GridLines() const { return FGridLines; }
  void SetGridLines(bool Value);
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool OwnerData() const { return FOwnerData; }
  void SetOwnerData(bool Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  bool ShowColumnHeaders() const { return FShowColumnHeaders; }
  void SetShowColumnHeaders(bool Value);
  // Header sections can be clicked (OnColumnClick).
  bool ColumnClick() const { return FColumnClick; }
  void SetColumnClick(bool Value);
  // Header sections can be moved to another place by dragging them.
  bool FullDrag() const { return FFullDrag; }
  void SetFullDrag(bool Value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value) { FHotTrack = Value; }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TCustomImageList* SmallImages() const { return FSmallImages; }
  void SetSmallImages(TCustomImageList* Value);
  TCustomImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* Value);
  TSortType SortType() const { return FSortType; }
  void SetSortType(TSortType Value);

  // The first selected item (-1 / nullptr when none); setting selects it (in a single-selection
  // list instead of the old one) and focuses it; -1 / nullptr clears the selection.
  int32_t ItemIndex();
  void SetItemIndex(int32_t Value);
  TListItem* Selected();
  void SetSelected(TListItem* Value);
  TListItem* ItemFocused();
  void SetItemFocused(TListItem* Value);
  int32_t SelCount() const { return FSelCount; }
  void ClearSelection();
  void SelectAll();
  TListItem* TopItem();
  int32_t VisibleRowCount();
  TListItem* GetItemAt(int32_t X, int32_t Y);
  // The index under a client point, -1 where there is none.
  int32_t IndexAt(TPoint P);
  // The next item from StartIndex (exclusive; -1 starts at the first) with all the given
  // states (LVNI_SELECTED, LVNI_FOCUSED), or -1.
  int32_t GetNextIndex(int32_t StartIndex, win::UINT States);
  TRect ItemRect(int32_t Index, TDisplayCode Code);
  TRect SubItemRect(int32_t Index, int32_t SubItem);
  // Scrolls by pixels (vsList: DX in columns; vsReport: DY rounded to whole rows).
  void Scroll(int32_t DX, int32_t DY);
  int32_t TopIndex() const { return FTopIndex; }
  void MakeVisible(int32_t Index, bool PartialOK);
  void UpdateItems(int32_t FirstIndex, int32_t LastIndex);

  bool AlphaSort();
  bool CustomSort(TLVCustomSortProc SortProc, intptr_t Data);
  bool IsEditing() const { return FEditingIndex >= 0; }
  // The inner edit while a label is being edited, else nullptr.
  TCustomEdit* EditControl();
  // Ends an edit in progress: Accept keeps the text (OnEdited may change it), else it is dropped.
  void EndEditing(bool Accept);
  win::HWND HeaderHandle() const { return FHeader; }

  // Layout numbers (client pixels).
  int32_t RowHeight();
  int32_t HeaderHeight();
  int32_t CountPerPage();

  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;

  TLVSelectItemEvent OnSelectItem;
  TLVChangeEvent OnChange;
  TLVChangingEvent OnChanging;
  TLVOwnerDataEvent OnData;
  TLVOwnerDataFindEvent OnDataFind;
  TLVEditingEvent OnEditing;
  TLVEditedEvent OnEdited;
  TLVColumnClickEvent OnColumnClick;
  TLVCompareEvent OnCompare;
  TLVDeletedEvent OnDeletion, OnInsert;

protected:
  friend class TListItems;
  friend class TListItem;
  friend class TListColumns;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void PaintWindow(win::HDC DC) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void KeyDown(win::WORD& Key, TShiftState Shift) override;
  void KeyPress(uint32_t& Key) override;

  // Raised for every change of an item: its text, image or state.
  virtual void Change(TListItem* Item, TItemChange AChange);
  virtual bool CanChange(TListItem* Item, TItemChange AChange);
  virtual void DoSelectItem(TListItem* Item, bool Selected);
  virtual void ColClick(TListColumn* Column);
  virtual bool OwnerDataFetch(TListItem* Item);
  virtual bool CanEdit(TListItem* Item);
  virtual void Edit(TListItem* Item, std::string& S);
  // Draws one item (all its columns in report view) into the canvas.
  virtual void DrawItem(int32_t Index, const TRect& Bounds);

  // ---- internals ----
  bool Valid(int32_t Index) const { return Index >= 0 && Index < ItemCount(); }
  void CheckIndex(int32_t Index) const;
  int32_t ItemCount() const;
  TListItem* GetItem(int32_t Index);
  bool IsSelectedIndex(int32_t Index) const;
  // Changes the selection of one item, with OnChanging, OnChange and OnSelectItem.
  bool SelectIndex(int32_t Index, bool Value);
  void FocusIndex(int32_t Index);
  // Selects exactly the items in [From, To] (To < From: none), each change reported.
  void SelectRange(int32_t From, int32_t To, bool Keep);
  void MoveTo(int32_t Index, bool Shift, bool Ctrl, bool Toggle);
  // Starts the inner edit on an item's label; false when read-only or refused.
  bool EditItem(int32_t Index);
  void ItemInserted(int32_t Index);
  void ItemDeleting(int32_t Index);
  void ItemsCleared();
  // ListWidth: the list style's column width when the caller knows it, -1 to measure again.
  void CountChanged(int32_t ListWidth = -1);
  // CaptionChanged false: only sub-items changed, which leave the list style's layout alone.
  void ItemChanged(TListItem* Item, TItemChange AChange, bool CaptionChanged = true);
  void ColumnsChanged();
  void InvalidateIndex(int32_t Index);

  // Layout.
  TRect Client();
  int32_t TotalColumnWidth();
  std::vector<int32_t> ColumnOrder();
  int32_t ColumnLeft(int32_t Column);
  int32_t ListColumnWidth();
  // The list style's column width one caption asks for.
  int32_t CaptionListWidth(const std::string& Caption);
  int32_t CellWidth();
  int32_t CellHeight();
  int32_t RowsPerColumn();
  int32_t IconColumns();
  int32_t ContentHeight();
  void ApplyAutoSize();
  void SetTopIndex(int32_t Value);
  void SetScrollX(int32_t Value);
  void SetScrollY(int32_t Value);
  void UpdateScrollInfo();
  void LayoutHeader();
  void CreateHeader();
  void DestroyHeader();
  void SyncHeader();
  void HeaderNotify(TMessage& Message);
  void ScrollMessage(TMessage& Message, bool Vertical);
  void ListViewMessage(TMessage& Message);
  int32_t TextHeight();
  void InvalidateLayout();
  void SortItems(const std::function<int32_t(TListItem*, TListItem*)>& Compare);
  void TypeAhead(uint32_t Key);

  std::unique_ptr<TListItems> FItems;
  std::unique_ptr<TListColumns> FColumns;
  std::unique_ptr<TControlCanvas> FCanvas;
  std::unique_ptr<TListItem> FTempItem;  // the shared item of owner data
  int32_t FTempIndex = -1;
  // Per position: bit 1 selected.
  std::vector<uint8_t> FStates;
  int32_t FSelCount = 0, FFocusIndex = -1, FAnchor = -1;
  int32_t FOwnerCount = 0;
  int32_t FTopIndex = 0, FScrollX = 0, FScrollY = 0;
  TViewStyle FViewStyle = vsIcon;
  bool FGridLines = false, FRowSelect = false, FReadOnly = false, FMultiSelect = false, FOwnerData = false,
       FHideSelection = true, FShowColumnHeaders = true, FColumnClick = true, FFullDrag = false,
       FHotTrack = false;
  TBorderStyle FBorderStyle = bsSingle;
  TCustomImageList* FSmallImages = nullptr;
  TCustomImageList* FLargeImages = nullptr;
  TSortType FSortType = stNone;
  std::vector<int32_t> FColumnOrder;  // display position -> column
  win::HWND FHeader = nullptr;
  int32_t FTextHeight = -1;
  int32_t FListColumnWidth = -1;  // cached width of a vsList column
  // Label editing.
  TLabelEditor* FEditor = nullptr;
  int32_t FEditingIndex = -1;
  // Type-ahead.
  std::string FTyped;
  uint32_t FLastTyped = 0;
  bool FMouseSelecting = false;
  bool FSyncingHeader = false;
};

class TListView : public TCustomListView {
public:
  explicit TListView(TComponent* AOwner) : TCustomListView(AOwner) {}
};
