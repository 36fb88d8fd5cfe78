// The list view's columns and items: the collections a program fills, each change reported to
// the list view so that it can repaint, re-lay out and raise its events.
#include <algorithm>

#include "base/Exception.h"
#include "base/Format.h"
#include "classlib/ListViews.h"

namespace {
[[noreturn]] void ListIndexError(int32_t Index) {
  throw EListError(Format("List index out of bounds (%d)", Index));
}
}  // namespace

// ---- TListColumn ------------------------------------------------------------------------------

TListColumn::TListColumn(const TItemSlot& Collection) : TCollectionItem(Collection) {}

TListColumn::~TListColumn() = default;

int32_t TListColumn::Bounded(int32_t Value) const {
  Value = std::max(0, Value);
  if (FMaxWidth > 0) Value = std::min(Value, FMaxWidth);
  // A hidden column (width 0) may stay hidden whatever its minimum.
  if (FMinWidth > 0 && Value > 0) Value = std::max(Value, FMinWidth);
  return Value;
}

void TListColumn::SetCaption(const std::string& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  Changed(false);
}

void TListColumn::SetWidth(int32_t Value) {
  Value = Bounded(Value);
  if (Value == FWidth) return;
  FWidth = Value;
  Changed(false);
}

void TListColumn::SetMinWidth(int32_t Value) {
  FMinWidth = std::max(0, Value);
  FWidth = Bounded(FWidth);
  Changed(false);
}

void TListColumn::SetMaxWidth(int32_t Value) {
  FMaxWidth = std::max(0, Value);
  FWidth = Bounded(FWidth);
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Changed(false);
}

void TListColumn::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  Changed(false);
}

void TListColumn::SetImageIndex(int32_t Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  Changed(false);
}

void TListColumn::Assign(TPersistent* Source) {
  if (auto* c = dynamic_cast<TListColumn*>(Source)) {
    FCaption = c->FCaption;
    FMinWidth = c->FMinWidth;
    FMaxWidth = c->FMaxWidth;
    FWidth = Bounded(c->FWidth);
    FAlignment = c->FAlignment;
    FAutoSize = c->FAutoSize;
    FImageIndex = c->FImageIndex;
    Tag = c->Tag;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(Source);
}

TListColumns::TListColumns(TCustomListView* AOwner)
    : TCollection(CollectionItemClassOf<TListColumn>(), AOwner), FOwner(AOwner) {}

void TListColumns::Update(TCollectionItem* Item) {
  TCollection::Update(Item);
  if (FOwner) FOwner->ColumnsChanged();
}

// ---- TListItem --------------------------------------------------------------------------------

TListItem::TListItem(TListItems* AOwner) : FOwner(AOwner), FSubItems(std::make_unique<TStringList>()) {
  FSubItems->OnChange = [this](TObject* s) { SubItemsChanged(s); };
}

TListItem::~TListItem() { FSubItems->OnChange = nullptr; }

TCustomListView* TListItem::ListView() const { return FOwner ? FOwner->Owner() : nullptr; }

void TListItem::SetCaption(const std::string& Value) {
  TCustomListView* lv = ListView();
  if (FFilling || !lv || FIndex < 0) {
    FCaption = Value;
    return;
  }
  if (Value == FCaption) return;
  if (!lv->CanChange(this, ctText)) return;
  FCaption = Value;
  lv->ItemChanged(this, ctText);
}

void TListItem::SetImageIndex(int32_t Value) {
  TCustomListView* lv = ListView();
  if (FFilling || !lv || FIndex < 0) {
    FImageIndex = Value;
    return;
  }
  if (Value == FImageIndex) return;
  if (!lv->CanChange(this, ctImage)) return;
  FImageIndex = Value;
  lv->ItemChanged(this, ctImage);
}

void TListItem::SubItemsChanged(TObject*) {
  TCustomListView* lv = ListView();
  if (FFilling || !lv || FIndex < 0) return;
  lv->ItemChanged(this, ctText, false);
}

bool TListItem::Selected() const {
  TCustomListView* lv = ListView();
  return lv && FIndex >= 0 && lv->IsSelectedIndex(FIndex);
}

void TListItem::SetSelected(bool Value) {
  if (TCustomListView* lv = ListView(); lv && FIndex >= 0) lv->SelectIndex(FIndex, Value);
}

bool TListItem::Focused() const {
  TCustomListView* lv = ListView();
  return lv && FIndex >= 0 && lv->FFocusIndex == FIndex;
}

void TListItem::SetFocused(bool Value) {
  TCustomListView* lv = ListView();
  if (!lv || FIndex < 0) return;
  if (Value) lv->FocusIndex(FIndex);
  else if (lv->FFocusIndex == FIndex) lv->FocusIndex(-1);
}

TRect TListItem::DisplayRect(TDisplayCode Code) const {
  TCustomListView* lv = ListView();
  if (!lv || FIndex < 0) return TRect{};
  return lv->ItemRect(FIndex, Code);
}

void TListItem::Delete() {
  if (FOwner && FIndex >= 0) FOwner->Delete(FIndex);
}

void TListItem::MakeVisible(bool PartialOK) {
  if (TCustomListView* lv = ListView(); lv && FIndex >= 0) lv->MakeVisible(FIndex, PartialOK);
}

bool TListItem::EditCaption() {
  TCustomListView* lv = ListView();
  if (!lv || FIndex < 0) return false;
  return lv->EditItem(FIndex);
}

void TListItem::Update() {
  if (TCustomListView* lv = ListView(); lv && FIndex >= 0) lv->InvalidateIndex(FIndex);
}

void TListItem::Assign(TPersistent* Source) {
  if (auto* it = dynamic_cast<TListItem*>(Source)) {
    SetCaption(it->FCaption);
    SetImageIndex(it->FImageIndex);
    FData = it->FData;
    FSubItems->Assign(it->FSubItems.get());
    return;
  }
  TPersistent::Assign(Source);
}

// ---- TListItems -------------------------------------------------------------------------------

TListItems::TListItems(TCustomListView* AOwner) : FOwner(AOwner) {}

TListItems::~TListItems() = default;

int32_t TListItems::Count() const { return FOwner->ItemCount(); }

TListItem* TListItems::Add() { return Insert(int32_t(FItems.size())); }

TListItem* TListItems::Insert(int32_t Index) {
  if (FOwner->FOwnerData) throw EListError("The items of a list view with owner data come from OnData");
  if (Index < 0 || Index > int32_t(FItems.size())) ListIndexError(Index);
  auto item = std::make_unique<TListItem>(this);
  TListItem* raw = item.get();
  FItems.insert(FItems.begin() + Index, std::move(item));
  for (size_t i = size_t(Index); i < FItems.size(); ++i) FItems[i]->FIndex = int32_t(i);
  FOwner->ItemInserted(Index);
  return raw;
}

TListItem* TListItems::AddItem(TListItem* Item, int32_t Index) {
  TListItem* it = Insert(Index < 0 ? int32_t(FItems.size()) : Index);
  if (Item) it->Assign(Item);
  return it;
}

void TListItems::Delete(int32_t Index) {
  if (FOwner->FOwnerData) {
    // Virtual items: the count shrinks by one and the rest move up.
    FOwner->CheckIndex(Index);
    FOwner->ItemDeleting(Index);
    --FOwner->FOwnerCount;
    FOwner->CountChanged();
    return;
  }
  if (Index < 0 || Index >= int32_t(FItems.size())) ListIndexError(Index);
  FOwner->ItemDeleting(Index);
  // The handlers of OnDeletion may have changed the list; the index is checked again.
  if (Index >= int32_t(FItems.size())) return;
  FItems.erase(FItems.begin() + Index);
  for (size_t i = size_t(Index); i < FItems.size(); ++i) FItems[i]->FIndex = int32_t(i);
  FOwner->CountChanged();
}

void TListItems::Clear() {
  FOwner->EndEditing(false);
  if (FOwner->OnDeletion && !FOwner->FOwnerData)
    for (auto& it : FItems) FOwner->OnDeletion(FOwner, it.get());
  FItems.clear();
  FOwner->FOwnerCount = 0;
  FOwner->ItemsCleared();
}

void TListItems::SetCount(int32_t Value) {
  if (Value < 0) ListIndexError(Value);
  if (!FOwner->FOwnerData) {
    FItems.reserve(size_t(Value));
    return;
  }
  FOwner->EndEditing(false);
  FOwner->FOwnerCount = Value;
  FOwner->CountChanged();
}

TListItem* TListItems::Item(int32_t Index) {
  FOwner->CheckIndex(Index);
  return FOwner->GetItem(Index);
}

int32_t TListItems::IndexOf(TListItem* Value) const {
  if (!Value || Value->FOwner != this) return -1;
  return Value->FIndex;
}

void TListItems::BeginUpdate() { ++FUpdateCount; }

void TListItems::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0) FOwner->CountChanged();
}

void TListItems::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TListItems*>(Source)) {
    BeginUpdate();
    Clear();
    for (int32_t i = 0; i < other->Count(); ++i) Add()->Assign(other->Item(i));
    EndUpdate();
    return;
  }
  TPersistent::Assign(Source);
}
