// TCustomListView: selection, keyboard, mouse, scrolling and its scroll info, the header child
// window and its notifications, label editing, sorting, and the LVM_* answers of its window.
#include <algorithm>
#include <numeric>

#include "base/Clock.h"
#include "base/Exception.h"
#include "base/Format.h"
#include "base/Text.h"
#include "classlib/Forms.h"
#include "classlib/ListViews.h"
#include "platform/Gdi.h"
#include "platform/StdControls.h"

using namespace win;

namespace {

[[noreturn]] void ListIndexError(int32_t Index) {
  throw EListError(Format("List index out of bounds (%d)", Index));
}

// Characters typed within this many milliseconds of each other search together.
constexpr uint32_t kTypeAheadMs = 1000;
// The width of a vsList column when the items are virtual and cannot all be measured.
constexpr int32_t kOwnerDataListColumn = 150;
constexpr int32_t kIconCellWidth = 76;

int32_t Sign(int32_t v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

}  // namespace

// ---- construction -----------------------------------------------------------------------------

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TListItems>(this)),
      FColumns(std::make_unique<TListColumns>(this)), FCanvas(std::make_unique<TControlCanvas>(this)),
      FTempItem(std::make_unique<TListItem>(FItems.get())) {
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque, csAcceptsControls};
  FWidth = 250;
  FHeight = 150;
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FBrush->SetColor(FColor);
}

TCustomListView::~TCustomListView() {
  FEditingIndex = -1;
  if (FEditor) {
    TLabelEditor* e = FEditor;
    FEditor = nullptr;
    delete e;
  }
  if (FSmallImages) FSmallImages->RemoveFreeNotification(this);
  if (FLargeImages) FLargeImages->RemoveFreeNotification(this);
  // The window (and the header inside it) goes while this is still a list view.
  FHeader = nullptr;
  DestroyWindowHandle();
}

void TCustomListView::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  // No bars of its own: the scroll info is kept all the same, for whoever shows it.
  Params.Style |= WS_CLIPCHILDREN;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListView::CreateWnd() {
  TWinControl::CreateWnd();
  FTextHeight = -1;
  if (FViewStyle == vsReport) CreateHeader();
  ApplyAutoSize();
  UpdateScrollInfo();
}

void TCustomListView::DestroyWnd() {
  EndEditing(true);
  DestroyHeader();
  TWinControl::DestroyWnd();
}

void TCustomListView::Loaded() {
  TWinControl::Loaded();
  ColumnsChanged();
  CountChanged();
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSmallImages) {
    FSmallImages = nullptr;
    InvalidateLayout();
  }
  if (AComponent == FLargeImages) {
    FLargeImages = nullptr;
    InvalidateLayout();
  }
  if (AComponent == FEditor) {
    FEditor = nullptr;
    FEditingIndex = -1;
  }
}

// ---- properties -------------------------------------------------------------------------------

void TCustomListView::SetViewStyle(TViewStyle Value) {
  if (Value == FViewStyle) return;
  EndEditing(true);
  FViewStyle = Value;
  FTopIndex = FScrollX = FScrollY = 0;
  FListColumnWidth = -1;
  if (FHandle) {
    if (Value == vsReport) CreateHeader();
    else DestroyHeader();
  }
  InvalidateLayout();
}

void TCustomListView::SetGridLines(bool Value) {
  if (Value == FGridLines) return;
  FGridLines = Value;
  Invalidate();
}

void TCustomListView::SetRowSelect(bool Value) {
  if (Value == FRowSelect) return;
  FRowSelect = Value;
  Invalidate();
}

void TCustomListView::SetMultiSelect(bool Value) {
  if (Value == FMultiSelect) return;
  FMultiSelect = Value;
  if (!Value && FSelCount > 1) {
    // One item stays selected: the focused one when it is, else the first.
    int32_t keep = IsSelectedIndex(FFocusIndex) ? FFocusIndex : GetNextIndex(-1, LVNI_SELECTED);
    SelectRange(keep, keep, false);
  }
}

void TCustomListView::SetOwnerData(bool Value) {
  if (Value == FOwnerData) return;
  FItems->Clear();
  FOwnerData = Value;
  FOwnerCount = 0;
  ItemsCleared();
}

void TCustomListView::SetHideSelection(bool Value) {
  if (Value == FHideSelection) return;
  FHideSelection = Value;
  Invalidate();
}

void TCustomListView::SetShowColumnHeaders(bool Value) {
  if (Value == FShowColumnHeaders) return;
  FShowColumnHeaders = Value;
  if (FHandle && FViewStyle == vsReport) {
    DestroyHeader();
    CreateHeader();
  }
  InvalidateLayout();
}

void TCustomListView::SetColumnClick(bool Value) {
  if (Value == FColumnClick) return;
  FColumnClick = Value;
  if (FHeader) {
    LONG_PTR s = GetWindowLongPtr(FHeader, GWL_STYLE);
    SetWindowLongPtr(FHeader, GWL_STYLE, Value ? (s | HDS_BUTTONS) : (s & ~LONG_PTR(HDS_BUTTONS)));
  }
}

void TCustomListView::SetFullDrag(bool Value) {
  if (Value == FFullDrag) return;
  FFullDrag = Value;
  if (FHeader) {
    LONG_PTR s = GetWindowLongPtr(FHeader, GWL_STYLE), bits = HDS_DRAGDROP | HDS_FULLDRAG;
    SetWindowLongPtr(FHeader, GWL_STYLE, Value ? (s | bits) : (s & ~bits));
  }
}

void TCustomListView::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
  InvalidateLayout();
}

void TCustomListView::SetSmallImages(TCustomImageList* Value) {
  if (Value == FSmallImages) return;
  if (FSmallImages) FSmallImages->RemoveFreeNotification(this);
  FSmallImages = Value;
  if (Value) Value->FreeNotification(this);
  FListColumnWidth = -1;
  InvalidateLayout();
}

void TCustomListView::SetLargeImages(TCustomImageList* Value) {
  if (Value == FLargeImages) return;
  if (FLargeImages) FLargeImages->RemoveFreeNotification(this);
  FLargeImages = Value;
  if (Value) Value->FreeNotification(this);
  InvalidateLayout();
}

void TCustomListView::SetSortType(TSortType Value) {
  FSortType = Value;
  if (Value != stNone) AlphaSort();
}

// ---- items and their states -------------------------------------------------------------------

int32_t TCustomListView::ItemCount() const {
  return FOwnerData ? FOwnerCount : int32_t(FItems->FItems.size());
}

void TCustomListView::CheckIndex(int32_t Index) const {
  if (!Valid(Index)) ListIndexError(Index);
}

TListItem* TCustomListView::GetItem(int32_t Index) {
  if (!Valid(Index)) return nullptr;
  if (!FOwnerData) return FItems->FItems[size_t(Index)].get();
  TListItem* it = FTempItem.get();
  it->FFilling = true;
  it->FCaption.clear();
  it->FSubItems->Clear();
  it->FImageIndex = -1;
  it->FData = nullptr;
  it->FIndex = Index;
  try {
    OwnerDataFetch(it);
  } catch (...) {
    it->FFilling = false;
    throw;
  }
  it->FFilling = false;
  FTempIndex = Index;
  return it;
}

bool TCustomListView::IsSelectedIndex(int32_t Index) const {
  return Index >= 0 && size_t(Index) < FStates.size() && (FStates[size_t(Index)] & 1);
}

bool TCustomListView::SelectIndex(int32_t Index, bool Value) {
  if (!Valid(Index)) return false;
  if (IsSelectedIndex(Index) == Value) return true;
  if (!CanChange(GetItem(Index), ctState)) return false;
  if (Value && !FMultiSelect && FSelCount > 0) {
    // One selected item at most: the old one goes first.
    for (int32_t j = GetNextIndex(-1, LVNI_SELECTED); j >= 0; j = GetNextIndex(j, LVNI_SELECTED))
      if (j != Index && !SelectIndex(j, false)) return false;
  }
  if (!Valid(Index) || IsSelectedIndex(Index) == Value) return Valid(Index);
  FStates[size_t(Index)] = Value ? 1 : 0;
  FSelCount += Value ? 1 : -1;
  InvalidateIndex(Index);
  Change(GetItem(Index), ctState);
  if (Valid(Index)) DoSelectItem(GetItem(Index), Value);
  return true;
}

void TCustomListView::FocusIndex(int32_t Index) {
  if (!Valid(Index)) Index = -1;
  if (Index == FFocusIndex) return;
  InvalidateIndex(FFocusIndex);
  FFocusIndex = Index;
  InvalidateIndex(Index);
}

void TCustomListView::SelectRange(int32_t From, int32_t To, bool Keep) {
  if (!Keep && FSelCount > 0) {
    std::vector<int32_t> drop;
    for (int32_t j = GetNextIndex(-1, LVNI_SELECTED); j >= 0; j = GetNextIndex(j, LVNI_SELECTED))
      if (j < From || j > To) drop.push_back(j);
    for (int32_t j : drop) SelectIndex(j, false);
  }
  for (int32_t i = std::max(0, From); i <= To && i < ItemCount(); ++i) SelectIndex(i, true);
}

void TCustomListView::MoveTo(int32_t Index, bool Shift, bool Ctrl, bool Toggle) {
  if (!Valid(Index)) return;
  if (FMultiSelect && Shift) {
    if (!Valid(FAnchor)) FAnchor = Valid(FFocusIndex) ? FFocusIndex : Index;
    SelectRange(std::min(FAnchor, Index), std::max(FAnchor, Index), Ctrl);
  } else if (FMultiSelect && Ctrl) {
    if (Toggle) SelectIndex(Index, !IsSelectedIndex(Index));
    FAnchor = Index;
  } else {
    SelectRange(Index, Index, false);
    FAnchor = Index;
  }
  if (!Valid(Index)) return;
  FocusIndex(Index);
  MakeVisible(Index, false);
}

int32_t TCustomListView::ItemIndex() { return GetNextIndex(-1, LVNI_SELECTED); }

void TCustomListView::SetItemIndex(int32_t Value) {
  if (Value < -1 || Value >= ItemCount()) ListIndexError(Value);
  if (Value < 0) {
    ClearSelection();
    return;
  }
  SelectIndex(Value, true);
  FocusIndex(Value);
  FAnchor = Value;
}

TListItem* TCustomListView::Selected() { return GetItem(ItemIndex()); }

void TCustomListView::SetSelected(TListItem* Value) {
  if (!Value) {
    ClearSelection();
    return;
  }
  if (Value->Owner() != FItems.get() || !Valid(Value->Index())) return;
  SetItemIndex(Value->Index());
}

TListItem* TCustomListView::ItemFocused() { return GetItem(FFocusIndex); }

void TCustomListView::SetItemFocused(TListItem* Value) {
  FocusIndex(Value && Value->Owner() == FItems.get() ? Value->Index() : -1);
}

void TCustomListView::ClearSelection() { SelectRange(0, -1, false); }

void TCustomListView::SelectAll() {
  if (FMultiSelect) SelectRange(0, ItemCount() - 1, true);
}

int32_t TCustomListView::GetNextIndex(int32_t StartIndex, UINT States) {
  int32_t n = ItemCount();
  if (States & LVNI_FOCUSED) {
    if (FFocusIndex > StartIndex && Valid(FFocusIndex) && (!(States & LVNI_SELECTED) || IsSelectedIndex(FFocusIndex)))
      return FFocusIndex;
    return -1;
  }
  if (States & LVNI_SELECTED) {
    if (FSelCount == 0) return -1;
    for (int32_t i = std::max(0, StartIndex + 1); i < n; ++i)
      if (FStates[size_t(i)] & 1) return i;
    return -1;
  }
  return StartIndex + 1 < n ? StartIndex + 1 : -1;
}

void TCustomListView::ItemInserted(int32_t Index) {
  FStates.insert(FStates.begin() + Index, 0);
  for (int32_t* p : {&FFocusIndex, &FAnchor, &FEditingIndex})
    if (*p >= Index) ++*p;
  if (OnInsert) OnInsert(this, GetItem(Index));
  // A new item can only widen the list style's columns: it alone is measured.
  int32_t width = -1;
  if (FListColumnWidth > 0 && !FOwnerData)
    if (TListItem* it = GetItem(Index)) width = std::max(FListColumnWidth, CaptionListWidth(it->FCaption));
  CountChanged(width);
}

void TCustomListView::ItemDeleting(int32_t Index) {
  if (FEditingIndex == Index) EndEditing(false);
  if (OnDeletion && !FOwnerData) OnDeletion(this, GetItem(Index));
  if (size_t(Index) >= FStates.size()) return;
  if (FStates[size_t(Index)] & 1) --FSelCount;
  FStates.erase(FStates.begin() + Index);
  for (int32_t* p : {&FFocusIndex, &FAnchor, &FEditingIndex}) {
    if (*p == Index) *p = -1;
    else if (*p > Index) --*p;
  }
}

void TCustomListView::ItemsCleared() {
  FStates.assign(size_t(ItemCount()), 0);
  FSelCount = 0;
  FFocusIndex = FAnchor = FEditingIndex = -1;
  FTopIndex = FScrollY = 0;
  CountChanged();
}

void TCustomListView::CountChanged(int32_t ListWidth) {
  int32_t n = ItemCount();
  if (int32_t(FStates.size()) != n) {
    // Owner data: the selection beyond the new count goes.
    for (size_t i = size_t(n); i < FStates.size(); ++i)
      if (FStates[i] & 1) --FSelCount;
    FStates.resize(size_t(n), 0);
    for (int32_t* p : {&FFocusIndex, &FAnchor})
      if (*p >= n) *p = -1;
    if (FEditingIndex >= n) EndEditing(false);
  }
  FListColumnWidth = ListWidth;
  if (FItems->FUpdateCount > 0) return;
  InvalidateLayout();
}

void TCustomListView::ItemChanged(TListItem* Item, TItemChange AChange, bool CaptionChanged) {
  const bool relayout = AChange == ctText && CaptionChanged;
  // A caption that widens the columns sets their width; any other may have been the widest.
  if (relayout && FListColumnWidth > 0 && !FOwnerData) {
    const int32_t w = CaptionListWidth(Item->FCaption);
    FListColumnWidth = w >= FListColumnWidth ? w : -1;
  } else if (relayout) {
    FListColumnWidth = -1;
  }
  if (FItems->FUpdateCount == 0) {
    InvalidateIndex(Item->Index());
    if (FViewStyle == vsList && relayout) InvalidateLayout();
  }
  Change(Item, AChange);
}

// ---- events -----------------------------------------------------------------------------------

void TCustomListView::Change(TListItem* Item, TItemChange AChange) {
  if (OnChange) OnChange(this, Item, AChange);
}

bool TCustomListView::CanChange(TListItem* Item, TItemChange AChange) {
  bool allow = true;
  if (OnChanging) OnChanging(this, Item, AChange, allow);
  return allow;
}

void TCustomListView::DoSelectItem(TListItem* Item, bool Selected) {
  if (OnSelectItem) OnSelectItem(this, Item, Selected);
}

void TCustomListView::ColClick(TListColumn* Column) {
  if (OnColumnClick) OnColumnClick(this, Column);
}

bool TCustomListView::OwnerDataFetch(TListItem* Item) {
  if (!OnData) return false;
  OnData(this, Item);
  return true;
}

bool TCustomListView::CanEdit(TListItem* Item) {
  bool allow = true;
  if (OnEditing) OnEditing(this, Item, allow);
  return allow;
}

void TCustomListView::Edit(TListItem* Item, std::string& S) {
  if (OnEdited) OnEdited(this, Item, S);
}

// ---- columns and the header -------------------------------------------------------------------

std::vector<int32_t> TCustomListView::ColumnOrder() {
  int32_t n = FColumns->Count();
  if (int32_t(FColumnOrder.size()) != n) {
    FColumnOrder.resize(size_t(n));
    std::iota(FColumnOrder.begin(), FColumnOrder.end(), 0);
  }
  return FColumnOrder;
}

int32_t TCustomListView::TotalColumnWidth() {
  int32_t total = 0;
  for (int32_t i = 0; i < FColumns->Count(); ++i) total += FColumns->Items(i)->FWidth;
  return total;
}

int32_t TCustomListView::ColumnLeft(int32_t Column) {
  int32_t x = 0;
  for (int32_t c : ColumnOrder()) {
    if (c == Column) return x;
    x += FColumns->Items(c)->FWidth;
  }
  return x;
}

void TCustomListView::ApplyAutoSize() {
  if (!FHandle) return;
  for (int32_t i = 0; i < FColumns->Count(); ++i) {
    TListColumn* c = FColumns->Items(i);
    if (!c->FAutoSize) continue;
    int32_t others = TotalColumnWidth() - c->FWidth;
    c->FWidth = c->Bounded(std::max(c->FMinWidth, Client().right - others));
    break;
  }
}

void TCustomListView::ColumnsChanged() {
  if (FSyncingHeader) return;
  ColumnOrder();
  ApplyAutoSize();
  SyncHeader();
  InvalidateLayout();
}

void TCustomListView::CreateHeader() {
  if (!FHandle || FHeader || FViewStyle != vsReport || !FShowColumnHeaders) return;
  InitCommonControls();
  DWORD style = WS_CHILD | WS_VISIBLE | HDS_HORZ;
  if (FColumnClick) style |= HDS_BUTTONS;
  if (FFullDrag) style |= HDS_DRAGDROP | HDS_FULLDRAG;
  RECT r = Client();
  // The list view hears of it through WM_PARENTNOTIFY while it is being made.
  FHeader = CreateWindowEx(0, WC_HEADER, "", style, 0, 0, r.right, HeaderHeight(), FHandle,
                           reinterpret_cast<HMENU>(uintptr_t(1)), nullptr, nullptr);
  if (!FHeader) return;
  SendMessage(FHeader, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
  SyncHeader();
  LayoutHeader();
}

void TCustomListView::DestroyHeader() {
  if (!FHeader) return;
  HWND h = FHeader;
  FHeader = nullptr;
  if (IsWindow(h)) DestroyWindow(h);
}

void TCustomListView::SyncHeader() {
  if (!FHeader || !IsWindow(FHeader)) return;
  FSyncingHeader = true;
  int32_t n = FColumns->Count();
  if (int32_t(SendMessage(FHeader, HDM_GETITEMCOUNT, 0, 0)) != n) {
    while (SendMessage(FHeader, HDM_GETITEMCOUNT, 0, 0) > 0) SendMessage(FHeader, HDM_DELETEITEM, 0, 0);
    for (int32_t i = 0; i < n; ++i) {
      HDITEM hdi;
      hdi.mask = HDI_WIDTH;
      SendMessage(FHeader, HDM_INSERTITEM, WPARAM(i), reinterpret_cast<LPARAM>(&hdi));
    }
  }
  for (int32_t i = 0; i < n; ++i) {
    TListColumn* c = FColumns->Items(i);
    HDITEM hdi;
    hdi.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
    hdi.cxy = c->FWidth;
    hdi.pszText = c->FCaption.c_str();
    hdi.fmt = HDF_STRING | (c->FAlignment == taRightJustify ? HDF_RIGHT : c->FAlignment == taCenter ? HDF_CENTER : HDF_LEFT);
    SendMessage(FHeader, HDM_SETITEM, WPARAM(i), reinterpret_cast<LPARAM>(&hdi));
  }
  std::vector<int32_t> order = ColumnOrder();
  if (n > 0) SendMessage(FHeader, HDM_SETORDERARRAY, WPARAM(n), reinterpret_cast<LPARAM>(order.data()));
  FSyncingHeader = false;
}

void TCustomListView::LayoutHeader() {
  if (!FHeader || !IsWindow(FHeader)) return;
  RECT r = Client();
  // Moved left by the horizontal scroll so that the sections stay over their columns.
  SetWindowPos(FHeader, nullptr, -FScrollX, 0, r.right + FScrollX, HeaderHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomListView::HeaderNotify(TMessage& Message) {
  auto* nm = reinterpret_cast<NMHEADER*>(Message.LParam);
  Message.Result = 0;
  if (nm->iItem < 0 || nm->iItem >= FColumns->Count()) return;
  TListColumn* col = FColumns->Items(nm->iItem);
  switch (nm->hdr.code) {
    case HDN_BEGINTRACK:
      // A column that can never be wider than one pixel is meant to stay out of sight.
      if (col->FMaxWidth > 0 && col->FMaxWidth <= 1) Message.Result = 1;
      break;
    case HDN_ITEMCHANGING:
      if (nm->pitem && (nm->pitem->mask & HDI_WIDTH)) nm->pitem->cxy = col->Bounded(nm->pitem->cxy);
      break;
    case HDN_ITEMCHANGED:
      if (nm->pitem && (nm->pitem->mask & HDI_WIDTH) && !FSyncingHeader) {
        int32_t w = col->Bounded(nm->pitem->cxy);
        if (w != col->FWidth) {
          col->FWidth = w;
          EndEditing(true);
          InvalidateLayout();
          // Rows follow the divider at once.
          if (FHandle) UpdateWindow(FHandle);
        }
      }
      if (nm->pitem && (nm->pitem->mask & HDI_ORDER) && !FSyncingHeader) {
        int32_t n = FColumns->Count();
        std::vector<int32_t> order(static_cast<size_t>(n));
        if (n > 0 && SendMessage(FHeader, HDM_GETORDERARRAY, WPARAM(n), reinterpret_cast<LPARAM>(order.data())))
          FColumnOrder = order;
        InvalidateLayout();
      }
      break;
    case HDN_ITEMCLICK: ColClick(col); break;
    default: break;
  }
}

// ---- layout -----------------------------------------------------------------------------------

TRect TCustomListView::Client() {
  RECT r{};
  if (FHandle) GetClientRect(FHandle, &r);
  else r = RECT{0, 0, std::max(0, FWidth - 4), std::max(0, FHeight - 4)};
  return r;
}

int32_t TCustomListView::TextHeight() {
  if (FTextHeight > 0) return FTextHeight;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FFont->Handle());
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  FTextHeight = std::max<int32_t>(1, tm.tmHeight);
  return FTextHeight;
}

int32_t TCustomListView::RowHeight() {
  int32_t h = TextHeight() + 4;
  if (FSmallImages && FViewStyle != vsIcon) h = std::max(h, FSmallImages->Height() + 2);
  return h;
}

int32_t TCustomListView::HeaderHeight() {
  return FViewStyle == vsReport && FShowColumnHeaders ? TextHeight() + 8 : 0;
}

int32_t TCustomListView::ListColumnWidth() {
  if (FListColumnWidth > 0) return FListColumnWidth;
  int32_t img = FSmallImages ? FSmallImages->Width() + 2 : 0;
  int32_t widest = 0;
  if (FOwnerData) {
    widest = kOwnerDataListColumn - img - 8;
  } else {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FFont->Handle());
    for (auto& it : FItems->FItems) {
      SIZE sz{};
      GetTextExtentPoint32(dc, it->FCaption.data(), int(it->FCaption.size()), &sz);
      widest = std::max<int32_t>(widest, sz.cx);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  FListColumnWidth = std::max(32, widest + img + 8);
  return FListColumnWidth;
}

int32_t TCustomListView::CaptionListWidth(const std::string& Caption) {
  int32_t img = FSmallImages ? FSmallImages->Width() + 2 : 0;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FFont->Handle());
  SIZE sz{};
  GetTextExtentPoint32(dc, Caption.data(), int(Caption.size()), &sz);
  SelectObject(dc, old);
  DeleteDC(dc);
  return std::max(32, int32_t(sz.cx) + img + 8);
}

int32_t TCustomListView::CellWidth() {
  if (FViewStyle == vsIcon) return std::max(kIconCellWidth, (FLargeImages ? FLargeImages->Width() : 32) + 12);
  return ListColumnWidth();
}

int32_t TCustomListView::CellHeight() {
  if (FViewStyle == vsIcon) return (FLargeImages ? FLargeImages->Height() : 32) + TextHeight() + 12;
  return RowHeight();
}

int32_t TCustomListView::RowsPerColumn() { return std::max(1, int32_t(Client().bottom) / RowHeight()); }

int32_t TCustomListView::IconColumns() { return std::max(1, int32_t(Client().right) / CellWidth()); }

int32_t TCustomListView::ContentHeight() {
  int32_t cols = IconColumns();
  return (ItemCount() + cols - 1) / cols * CellHeight();
}

int32_t TCustomListView::CountPerPage() {
  TRect r = Client();
  switch (FViewStyle) {
    case vsReport: return std::max(1, (int32_t(r.bottom) - HeaderHeight()) / RowHeight());
    case vsList: return RowsPerColumn() * std::max(1, int32_t(r.right) / ListColumnWidth());
    default: return ItemCount();
  }
}

int32_t TCustomListView::VisibleRowCount() { return CountPerPage(); }

TRect TCustomListView::ItemRect(int32_t Index, TDisplayCode Code) {
  TRect r{};
  switch (FViewStyle) {
    case vsReport: {
      int32_t rh = RowHeight(), top = HeaderHeight() + (Index - FTopIndex) * rh;
      TRect bounds{-FScrollX, top, TotalColumnWidth() - FScrollX, top + rh};
      int32_t c0 = FColumns->Count() > 0 ? ColumnLeft(0) - FScrollX : -FScrollX;
      int32_t c0w = FColumns->Count() > 0 ? FColumns->Items(0)->FWidth : 0;
      int32_t img = FSmallImages ? FSmallImages->Width() : 0;
      TRect icon{c0 + 2, top, std::min(c0 + 2 + img, c0 + c0w), top + rh};
      TRect label{icon.right + (img ? 2 : 0), top, c0 + c0w, top + rh};
      if (label.right < label.left) label.right = label.left;
      switch (Code) {
        case drBounds: return bounds;
        case drIcon: return icon;
        case drLabel: return label;
        case drSelectBounds: return FRowSelect ? bounds : TRect{c0, top, c0 + c0w, top + rh};
      }
      break;
    }
    case vsList: case vsSmallIcon: {
      int32_t w = ListColumnWidth(), h = RowHeight();
      if (FViewStyle == vsList) {
        int32_t rows = RowsPerColumn();
        r.left = (Index / rows - FScrollX) * w;
        r.top = (Index % rows) * h;
      } else {
        int32_t cols = IconColumns();
        r.left = (Index % cols) * w;
        r.top = (Index / cols) * h - FScrollY;
      }
      r.right = r.left + w;
      r.bottom = r.top + h;
      int32_t img = FSmallImages ? FSmallImages->Width() : 0;
      TRect icon{r.left + 2, r.top, r.left + 2 + img, r.bottom};
      TRect label{icon.right + (img ? 2 : 0), r.top, r.right, r.bottom};
      if (Code == drIcon) return icon;
      if (Code == drLabel) return label;
      return r;
    }
    case vsIcon: {
      int32_t cols = IconColumns(), w = CellWidth(), h = CellHeight();
      r.left = (Index % cols) * w;
      r.top = (Index / cols) * h - FScrollY;
      r.right = r.left + w;
      r.bottom = r.top + h;
      int32_t iw = FLargeImages ? FLargeImages->Width() : 32, ih = FLargeImages ? FLargeImages->Height() : 32;
      TRect icon{r.left + (w - iw) / 2, r.top + 2, r.left + (w - iw) / 2 + iw, r.top + 2 + ih};
      TRect label{r.left + 2, icon.bottom + 2, r.right - 2, icon.bottom + 2 + TextHeight() + 4};
      if (Code == drIcon) return icon;
      if (Code == drLabel) return label;
      return r;
    }
  }
  return r;
}

TRect TCustomListView::SubItemRect(int32_t Index, int32_t SubItem) {
  TRect b = ItemRect(Index, drBounds);
  if (FViewStyle != vsReport || SubItem < 0 || SubItem >= FColumns->Count()) return b;
  int32_t left = ColumnLeft(SubItem) - FScrollX;
  return TRect{left, b.top, left + FColumns->Items(SubItem)->FWidth, b.bottom};
}

int32_t TCustomListView::IndexAt(TPoint P) {
  TRect c = Client();
  if (P.x < 0 || P.y < 0 || P.x >= c.right || P.y >= c.bottom) return -1;
  int32_t i = -1;
  switch (FViewStyle) {
    case vsReport:
      if (P.y < HeaderHeight() || P.x >= TotalColumnWidth() - FScrollX) return -1;
      i = FTopIndex + (P.y - HeaderHeight()) / RowHeight();
      break;
    case vsList: {
      int32_t rows = RowsPerColumn(), row = P.y / RowHeight();
      if (row >= rows) return -1;
      i = (P.x / ListColumnWidth() + FScrollX) * rows + row;
      break;
    }
    default: {
      int32_t col = P.x / CellWidth();
      if (col >= IconColumns()) return -1;
      i = (P.y + FScrollY) / CellHeight() * IconColumns() + col;
      break;
    }
  }
  return Valid(i) ? i : -1;
}

TListItem* TCustomListView::GetItemAt(int32_t X, int32_t Y) { return GetItem(IndexAt(TPoint{X, Y})); }

TListItem* TCustomListView::TopItem() {
  if (FViewStyle == vsReport) return GetItem(FTopIndex);
  if (FViewStyle == vsList) return GetItem(FScrollX * RowsPerColumn());
  return GetItem(FScrollY / CellHeight() * IconColumns());
}

// ---- scrolling --------------------------------------------------------------------------------

void TCustomListView::SetTopIndex(int32_t Value) {
  Value = std::clamp(Value, 0, std::max(0, ItemCount() - CountPerPage()));
  if (Value == FTopIndex) return;
  EndEditing(true);
  FTopIndex = Value;
  InvalidateLayout();
}

void TCustomListView::SetScrollX(int32_t Value) {
  int32_t maxX = 0;
  if (FViewStyle == vsReport) maxX = std::max(0, TotalColumnWidth() - int32_t(Client().right));
  else if (FViewStyle == vsList) {
    int32_t rows = RowsPerColumn(), cols = (ItemCount() + rows - 1) / rows;
    maxX = std::max(0, cols - std::max(1, int32_t(Client().right) / ListColumnWidth()));
  }
  Value = std::clamp(Value, 0, maxX);
  if (Value == FScrollX) return;
  EndEditing(true);
  FScrollX = Value;
  LayoutHeader();
  InvalidateLayout();
}

void TCustomListView::SetScrollY(int32_t Value) {
  Value = std::clamp(Value, 0, std::max(0, ContentHeight() - int32_t(Client().bottom)));
  if (Value == FScrollY) return;
  EndEditing(true);
  FScrollY = Value;
  InvalidateLayout();
}

void TCustomListView::Scroll(int32_t DX, int32_t DY) {
  switch (FViewStyle) {
    case vsReport:
      if (DY) {
        int32_t rows = DY / RowHeight();
        SetTopIndex(FTopIndex + (rows ? rows : Sign(DY)));
      }
      if (DX) SetScrollX(FScrollX + DX);
      break;
    case vsList:
      if (DX) SetScrollX(FScrollX + DX);
      break;
    default:
      if (DY) SetScrollY(FScrollY + DY);
      break;
  }
}

void TCustomListView::MakeVisible(int32_t Index, bool PartialOK) {
  if (!Valid(Index)) return;
  switch (FViewStyle) {
    case vsReport: {
      int32_t per = CountPerPage();
      if (Index < FTopIndex) SetTopIndex(Index);
      else if (Index >= FTopIndex + per) SetTopIndex(Index - per + 1);
      break;
    }
    case vsList: {
      int32_t col = Index / RowsPerColumn(), vis = std::max(1, int32_t(Client().right) / ListColumnWidth());
      if (col < FScrollX) SetScrollX(col);
      else if (col >= FScrollX + vis) SetScrollX(col - vis + 1);
      break;
    }
    default: {
      TRect r = ItemRect(Index, drBounds), c = Client();
      if (PartialOK && r.bottom > 0 && r.top < c.bottom) break;
      if (r.top < 0) SetScrollY(FScrollY + r.top);
      else if (r.bottom > c.bottom) SetScrollY(FScrollY + r.bottom - c.bottom);
      break;
    }
  }
}

void TCustomListView::UpdateScrollInfo() {
  if (!FHandle) return;
  SCROLLINFO v, hz;
  v.fMask = hz.fMask = SIF_ALL;
  TRect c = Client();
  int32_t n = ItemCount();
  switch (FViewStyle) {
    case vsReport: {
      FTopIndex = std::clamp(FTopIndex, 0, std::max(0, n - CountPerPage()));
      v.nMax = std::max(0, n - 1);
      v.nPage = UINT(CountPerPage());
      v.nPos = FTopIndex;
      int32_t total = TotalColumnWidth();
      int32_t maxX = std::max<int32_t>(0, total - c.right);
      if (FScrollX > maxX) {
        FScrollX = maxX;
        LayoutHeader();
      }
      if (total > c.right) {
        hz.nMax = total - 1;
        hz.nPage = UINT(std::max<LONG>(0, c.right));
        hz.nPos = FScrollX;
      }
      break;
    }
    case vsList: {
      int32_t rows = RowsPerColumn(), cols = (n + rows - 1) / rows;
      int32_t vis = std::max(1, int32_t(c.right) / ListColumnWidth());
      FScrollX = std::clamp(FScrollX, 0, std::max(0, cols - vis));
      if (cols > vis) {
        hz.nMax = cols - 1;
        hz.nPage = UINT(vis);
        hz.nPos = FScrollX;
      }
      break;
    }
    default: {
      int32_t h = ContentHeight();
      FScrollY = std::clamp(FScrollY, 0, std::max<int32_t>(0, h - c.bottom));
      if (h > c.bottom) {
        v.nMax = h - 1;
        v.nPage = UINT(std::max<LONG>(0, c.bottom));
        v.nPos = FScrollY;
      }
      int32_t w = IconColumns() * CellWidth();
      if (w > c.right && n > 0) {
        hz.nMax = w - 1;
        hz.nPage = UINT(std::max<LONG>(0, c.right));
      }
      break;
    }
  }
  SetScrollInfo(FHandle, SB_VERT, &v, FALSE);
  SetScrollInfo(FHandle, SB_HORZ, &hz, FALSE);
}

void TCustomListView::InvalidateLayout() {
  if (!FHandle) return;
  UpdateScrollInfo();
  InvalidateRect(FHandle, nullptr, FALSE);
}

void TCustomListView::InvalidateIndex(int32_t Index) {
  if (!FHandle || !Valid(Index)) return;
  RECT r = ItemRect(Index, drBounds);
  if (FViewStyle == vsReport) {
    r.left = 0;
    r.right = Client().right;
  }
  InvalidateRect(FHandle, &r, FALSE);
}

void TCustomListView::UpdateItems(int32_t FirstIndex, int32_t LastIndex) {
  for (int32_t i = std::max(0, FirstIndex); i <= LastIndex && i < ItemCount(); ++i) InvalidateIndex(i);
}

void TCustomListView::ScrollMessage(TMessage& Message, bool Vertical) {
  WORD code = LOWORD(Message.WParam);
  int32_t pos, line, page;
  // Which position the bar moves: rows (report, vertical), columns (list, horizontal), pixels.
  enum { Rows, Columns, PixelsX, PixelsY, None } kind = None;
  if (FViewStyle == vsReport) kind = Vertical ? Rows : PixelsX;
  else if (FViewStyle == vsList) kind = Vertical ? None : Columns;
  else kind = Vertical ? PixelsY : None;
  TRect c = Client();
  switch (kind) {
    case Rows: pos = FTopIndex; line = 1; page = CountPerPage(); break;
    case Columns: pos = FScrollX; line = 1; page = std::max(1, int32_t(c.right) / ListColumnWidth()); break;
    case PixelsX: pos = FScrollX; line = 10; page = std::max<int32_t>(1, c.right); break;
    case PixelsY: pos = FScrollY; line = RowHeight(); page = std::max<int32_t>(1, c.bottom); break;
    default: return;
  }
  switch (code) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = INT32_MAX / 2; break;
    case SB_THUMBPOSITION: case SB_THUMBTRACK: {
      // The message carries 16 bits; a sender that first set the whole position with
      // SetScrollInfo(SIF_POS) reaches positions past 65535 too.
      pos = HIWORD(Message.WParam);
      SCROLLINFO si;
      si.fMask = SIF_POS;
      if (GetScrollInfo(FHandle, Vertical ? SB_VERT : SB_HORZ, &si) && (si.nPos & 0xFFFF) == pos) pos = si.nPos;
      break;
    }
    default: return;
  }
  switch (kind) {
    case Rows: SetTopIndex(pos); break;
    case Columns: case PixelsX: SetScrollX(pos); break;
    case PixelsY: SetScrollY(pos); break;
    default: break;
  }
  UpdateScrollInfo();
}

// ---- sorting ----------------------------------------------------------------------------------

void TCustomListView::SortItems(const std::function<int32_t(TListItem*, TListItem*)>& Compare) {
  if (FOwnerData) return;
  EndEditing(true);
  auto& items = FItems->FItems;
  std::vector<std::pair<std::unique_ptr<TListItem>, uint8_t>> rows;
  rows.reserve(items.size());
  TListItem* focused = GetItem(FFocusIndex);
  for (size_t i = 0; i < items.size(); ++i) rows.emplace_back(std::move(items[i]), FStates[i]);
  try {
    std::stable_sort(rows.begin(), rows.end(),
                     [&](const auto& a, const auto& b) { return Compare(a.first.get(), b.first.get()) < 0; });
  } catch (...) {
    // A comparison that failed leaves the items in some order, but every one of them kept.
    for (size_t i = 0; i < rows.size(); ++i) {
      items[i] = std::move(rows[i].first);
      FStates[i] = rows[i].second;
      items[i]->FIndex = int32_t(i);
    }
    InvalidateLayout();
    throw;
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    items[i] = std::move(rows[i].first);
    FStates[i] = rows[i].second;
    items[i]->FIndex = int32_t(i);
  }
  FFocusIndex = focused ? focused->FIndex : -1;
  FAnchor = FFocusIndex;
  InvalidateLayout();
}

bool TCustomListView::AlphaSort() {
  if (FOwnerData) return false;
  SortItems([this](TListItem* a, TListItem* b) {
    int32_t r = 0;
    if (OnCompare) {
      OnCompare(this, a, b, 0, r);
      return r;
    }
    if (FSortType == stData) return a->FData < b->FData ? -1 : a->FData > b->FData ? 1 : 0;
    r = CompareText(a->FCaption, b->FCaption);
    if (r == 0 && FSortType == stBoth) r = a->FData < b->FData ? -1 : a->FData > b->FData ? 1 : 0;
    return r;
  });
  return true;
}

bool TCustomListView::CustomSort(TLVCustomSortProc SortProc, intptr_t Data) {
  if (FOwnerData) return false;
  if (!SortProc) return AlphaSort();
  SortItems([&](TListItem* a, TListItem* b) { return SortProc(a, b, Data); });
  return true;
}

// ---- label editing ----------------------------------------------------------------------------

TCustomEdit* TCustomListView::EditControl() { return IsEditing() ? FEditor : nullptr; }

bool TCustomListView::EditItem(int32_t Index) {
  if (FReadOnly || !Valid(Index)) return false;
  EndEditing(true);
  if (!CanEdit(GetItem(Index)) || !Valid(Index)) return false;
  MakeVisible(Index, false);
  if (!FEditor) {
    FEditor = new TLabelEditor(this);
    FEditor->OnFinish = [this](bool AAccept) {
      if (IsEditing()) EndEditing(AAccept);
    };
    FEditor->SetVisible(false);
    FEditor->SetParent(this);
  }
  TRect r = ItemRect(Index, drLabel);
  int32_t h = std::max<int32_t>(r.bottom - r.top, TextHeight() + 6);
  FEditor->Font()->Assign(FFont.get());
  FEditor->SetBounds(r.left, r.top, std::max<int32_t>(r.right - r.left, 40), h);
  FEditor->SetText(GetItem(Index)->Caption());
  FEditingIndex = Index;
  FEditor->Show();
  FEditor->SetFocus();
  FEditor->SelectAll();
  return true;
}

void TCustomListView::EndEditing(bool Accept) {
  if (FEditingIndex < 0 || !FEditor) {
    FEditingIndex = -1;
    return;
  }
  int32_t i = FEditingIndex;
  FEditingIndex = -1;
  std::string s = FEditor->Text();
  bool hadFocus = FEditor->Focused();
  FEditor->Hide();
  if (hadFocus && FHandle && CanFocus()) SetFocus();
  if (!Accept || !Valid(i)) return;
  TListItem* it = GetItem(i);
  Edit(it, s);
  if (!FOwnerData && Valid(i)) GetItem(i)->SetCaption(s);
}

// ---- keyboard and mouse -----------------------------------------------------------------------

void TCustomListView::KeyDown(WORD& Key, TShiftState Shift) {
  TWinControl::KeyDown(Key, Shift);
  int32_t n = ItemCount();
  if (Key == 0 || n == 0) return;
  bool shift = Shift.Contains(ssShift), ctrl = Shift.Contains(ssCtrl);
  int32_t cur = Valid(FFocusIndex) ? FFocusIndex : -1, to = cur;
  int32_t per = std::max(1, CountPerPage());
  int32_t across = 1, down = 1;  // steps of the arrows
  if (FViewStyle == vsList) across = RowsPerColumn();
  else if (FViewStyle == vsIcon || FViewStyle == vsSmallIcon) down = IconColumns();
  switch (Key) {
    case VK_UP: to = cur < 0 ? 0 : cur - down; break;
    case VK_DOWN: to = cur < 0 ? 0 : cur + down; break;
    case VK_LEFT:
      if (FViewStyle == vsReport) {
        SetScrollX(FScrollX - 10);
        return;
      }
      to = cur < 0 ? 0 : cur - across;
      break;
    case VK_RIGHT:
      if (FViewStyle == vsReport) {
        SetScrollX(FScrollX + 10);
        return;
      }
      to = cur < 0 ? 0 : cur + across;
      break;
    case VK_HOME: to = 0; break;
    case VK_END: to = n - 1; break;
    case VK_PRIOR:
      if (FViewStyle == vsReport) {
        // First to the top of the page, then a page up.
        to = cur > FTopIndex ? FTopIndex : cur - (per - 1);
      } else {
        to = cur - per;
      }
      break;
    case VK_NEXT:
      if (FViewStyle == vsReport) {
        int32_t bottom = FTopIndex + per - 1;
        to = cur < bottom ? bottom : cur + (per - 1);
      } else {
        to = cur + per;
      }
      break;
    case VK_SPACE:
      if (cur >= 0) {
        if (FMultiSelect && ctrl) SelectIndex(cur, !IsSelectedIndex(cur));
        else SelectIndex(cur, true);
      }
      return;
    case VK_F2:
      if (cur >= 0) EditItem(cur);
      return;
    default: return;
  }
  to = std::clamp(to, 0, n - 1);
  if (FMultiSelect && ctrl && !shift) {
    FocusIndex(to);
    MakeVisible(to, false);
    return;
  }
  MoveTo(to, shift, ctrl, false);
}

void TCustomListView::KeyPress(uint32_t& Key) {
  TWinControl::KeyPress(Key);
  if (Key >= 32 && Key != 127) TypeAhead(Key);
}

void TCustomListView::TypeAhead(uint32_t Key) {
  int32_t n = ItemCount();
  if (n == 0) return;
  uint32_t now = GetTickCount();
  if (now - FLastTyped > kTypeAheadMs) FTyped.clear();
  FLastTyped = now;
  Utf8Append(FTyped, char32_t(Key));
  // A fresh search starts after the focused item; a longer one may stay on it.
  int32_t start = Valid(FFocusIndex) ? FFocusIndex : 0;
  if (Utf8Length(FTyped) == 1 && Valid(FFocusIndex)) start = (FFocusIndex + 1) % n;
  int32_t found = -1;
  if (FOwnerData) {
    if (OnDataFind) OnDataFind(this, ifPartialString, FTyped, TPoint{}, nullptr, start, sdAll, true, found);
  } else {
    for (int32_t k = 0; k < n; ++k) {
      int32_t i = (start + k) % n;
      const std::string& cap = FItems->FItems[size_t(i)]->FCaption;
      if (cap.size() >= FTyped.size() && CompareText(std::string_view(cap).substr(0, FTyped.size()), FTyped) == 0) {
        found = i;
        break;
      }
    }
  }
  if (Valid(found)) MoveTo(found, false, false, false);
}

void TCustomListView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (IsEditing()) EndEditing(true);
  if (!Focused() && CanFocus()) SetFocus();
  int32_t i = IndexAt(TPoint{X, Y});
  bool shift = Shift.Contains(ssShift), ctrl = Shift.Contains(ssCtrl);
  if (Button == mbLeft && !Shift.Contains(ssDouble)) {
    if (i < 0) {
      if (!shift && !ctrl) ClearSelection();
    } else {
      MoveTo(i, shift, ctrl, true);
      FMouseSelecting = FMultiSelect && !ctrl;
    }
  } else if (Button == mbRight && i >= 0 && !IsSelectedIndex(i)) {
    MoveTo(i, false, false, false);
  }
  TWinControl::MouseDown(Button, Shift, X, Y);
}

void TCustomListView::MouseMove(TShiftState Shift, int X, int Y) {
  // Dragging over a multi-selection list extends the selection from the anchor.
  if (FMouseSelecting && Shift.Contains(ssLeft)) {
    int32_t i = IndexAt(TPoint{X, Y});
    if (i >= 0 && i != FFocusIndex && Valid(FAnchor)) {
      SelectRange(std::min(FAnchor, i), std::max(FAnchor, i), false);
      FocusIndex(i);
    }
  }
  TWinControl::MouseMove(Shift, X, Y);
}

void TCustomListView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) FMouseSelecting = false;
  TWinControl::MouseUp(Button, Shift, X, Y);
}

bool TCustomListView::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TWinControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  int32_t steps = -WheelDelta * int32_t(std::max<UINT>(1, lines)) / WHEEL_DELTA;
  if (steps == 0) steps = -Sign(WheelDelta);
  switch (FViewStyle) {
    case vsReport: SetTopIndex(FTopIndex + steps); break;
    case vsList: SetScrollX(FScrollX + Sign(steps)); break;
    default: SetScrollY(FScrollY + steps * RowHeight()); break;
  }
  return true;
}

// ---- messages ---------------------------------------------------------------------------------

void TCustomListView::ListViewMessage(TMessage& Message) {
  WPARAM wp = Message.WParam;
  LPARAM lp = Message.LParam;
  auto index = int32_t(intptr_t(wp));
  switch (Message.Msg) {
    case LVM_GETITEMCOUNT: Message.Result = ItemCount(); return;
    case LVM_SETITEMCOUNT:
      if (FOwnerData && index >= 0) FItems->SetCount(index);
      Message.Result = FOwnerData ? TRUE : FALSE;
      return;
    case LVM_GETCOUNTPERPAGE: Message.Result = CountPerPage(); return;
    case LVM_GETTOPINDEX:
      Message.Result = FViewStyle == vsReport ? FTopIndex : FViewStyle == vsList ? FScrollX * RowsPerColumn() : 0;
      return;
    case LVM_SCROLL:
      Scroll(int32_t(intptr_t(wp)), int32_t(lp));
      Message.Result = TRUE;
      return;
    case LVM_ENSUREVISIBLE:
      MakeVisible(index, lp != 0);
      Message.Result = Valid(index);
      return;
    case LVM_GETITEMRECT: case LVM_GETSUBITEMRECT: {
      auto* r = reinterpret_cast<RECT*>(lp);
      if (!r || !Valid(index)) {
        Message.Result = FALSE;
        return;
      }
      if (Message.Msg == LVM_GETSUBITEMRECT) {
        int32_t sub = r->top;
        if (sub < 0 || (sub >= FColumns->Count() && sub != 0)) {
          Message.Result = FALSE;
          return;
        }
        *r = sub == 0 ? ItemRect(index, TDisplayCode(std::clamp<LONG>(r->left, 0, 3))) : SubItemRect(index, sub);
      } else {
        if (r->left < LVIR_BOUNDS || r->left > LVIR_SELECTBOUNDS) {
          Message.Result = FALSE;
          return;
        }
        *r = ItemRect(index, TDisplayCode(r->left));
      }
      Message.Result = TRUE;
      return;
    }
    case LVM_HITTEST: case LVM_SUBITEMHITTEST: {
      auto* hi = reinterpret_cast<LVHITTESTINFO*>(lp);
      if (!hi) {
        Message.Result = -1;
        return;
      }
      hi->iItem = IndexAt(TPoint{hi->pt.x, hi->pt.y});
      hi->iSubItem = 0;
      hi->flags = hi->iItem < 0 ? LVHT_NOWHERE : LVHT_ONITEMLABEL;
      if (hi->iItem >= 0) {
        TRect ic = ItemRect(hi->iItem, drIcon);
        if (PtInRect(&ic, hi->pt)) hi->flags = LVHT_ONITEMICON;
        if (FViewStyle == vsReport)
          for (int32_t c = 0; c < FColumns->Count(); ++c) {
            TRect s = SubItemRect(hi->iItem, c);
            if (hi->pt.x >= s.left && hi->pt.x < s.right && FColumns->Items(c)->FWidth > 0) hi->iSubItem = c;
          }
      }
      Message.Result = hi->iItem;
      return;
    }
    case LVM_GETNEXTITEM: Message.Result = GetNextIndex(index, UINT(lp)); return;
    case LVM_GETSELECTEDCOUNT: Message.Result = FSelCount; return;
    case LVM_GETITEMSTATE:
      Message.Result = (IsSelectedIndex(index) ? LVIS_SELECTED : 0) | (Valid(index) && index == FFocusIndex ? LVIS_FOCUSED : 0);
      Message.Result &= LRESULT(lp);
      return;
    case LVM_GETCOLUMNWIDTH:
      if (FViewStyle == vsList) Message.Result = ListColumnWidth();
      else Message.Result = index >= 0 && index < FColumns->Count() ? FColumns->Items(index)->FWidth : 0;
      return;
    case LVM_SETCOLUMNWIDTH:
      if (FViewStyle == vsList && index == 0) {
        FListColumnWidth = std::max(1, int32_t(LOWORD(lp)));
        InvalidateLayout();
        Message.Result = TRUE;
        return;
      }
      Message.Result = index >= 0 && index < FColumns->Count();
      if (Message.Result) FColumns->Items(index)->SetWidth(int32_t(SHORT(LOWORD(lp))));
      return;
    case LVM_GETHEADER: Message.Result = reinterpret_cast<LRESULT>(FHeader); return;
    case LVM_EDITLABEL:
      Message.Result = EditItem(index) && FEditor ? reinterpret_cast<LRESULT>(FEditor->Handle()) : 0;
      return;
    case LVM_GETEDITCONTROL:
      Message.Result = IsEditing() && FEditor ? reinterpret_cast<LRESULT>(FEditor->Handle()) : 0;
      return;
    case LVM_REDRAWITEMS:
      UpdateItems(index, int32_t(lp));
      Message.Result = TRUE;
      return;
    default: DefaultHandler(Message); return;
  }
}

void TCustomListView::Dispatch(TMessage& Message) {
  UINT msg = Message.Msg;
  if (msg >= LVM_FIRST && msg < LVM_FIRST + 0x100) {
    ListViewMessage(Message);
    return;
  }
  switch (msg) {
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
      if (hdr && FHeader && hdr->hwndFrom == FHeader) {
        HeaderNotify(Message);
        return;
      }
      break;
    }
    case WM_PARENTNOTIFY:
      // The header announcing its end: forget it.
      if (LOWORD(Message.WParam) == WM_DESTROY && reinterpret_cast<HWND>(Message.LParam) == FHeader) FHeader = nullptr;
      DefaultHandler(Message);
      return;
    case WM_VSCROLL: case WM_HSCROLL:
      if (Message.LParam == 0) {
        ScrollMessage(Message, msg == WM_VSCROLL);
        Message.Result = 0;
        return;
      }
      break;
    case WM_ERASEBKGND: Message.Result = 1; return;  // painted with the items
    case WM_NCPAINT:
      Message.Result = detail::PaintSunkenFrame(FHandle, Message.WParam);
      return;
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; return;
    case WM_SIZE:
      TWinControl::Dispatch(Message);
      ApplyAutoSize();
      LayoutHeader();
      // Positions are clamped again for the new size.
      SetTopIndex(FTopIndex);
      SetScrollX(FScrollX);
      SetScrollY(FScrollY);
      InvalidateLayout();
      return;
    case WM_SETFOCUS: case WM_KILLFOCUS:
      TWinControl::Dispatch(Message);
      if (FHandle) InvalidateRect(FHandle, nullptr, FALSE);
      return;
    case CM_FONTCHANGED:
      TWinControl::Dispatch(Message);
      FTextHeight = -1;
      FListColumnWidth = -1;
      if (FHeader) SendMessage(FHeader, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 1);
      LayoutHeader();
      InvalidateLayout();
      return;
  }
  TWinControl::Dispatch(Message);
}
