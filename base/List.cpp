#include "base/List.h"

#include <algorithm>

#include "base/Exception.h"
#include "base/Format.h"

TList::~TList() {
  // A derived list has already cleared itself; nothing here needs notifying.
  FList.clear();
}

void TList::CheckIndex(int32_t Index, int32_t Limit) const {
  if (Index < 0 || Index >= Limit) throw EListError(Format("List index out of bounds (%d)", Index));
}

void* TList::Items(int32_t Index) const {
  CheckIndex(Index, Count());
  return FList[static_cast<size_t>(Index)];
}

void TList::Put(int32_t Index, void* Item) {
  CheckIndex(Index, Count());
  void* old = FList[static_cast<size_t>(Index)];
  if (old == Item) return;
  FList[static_cast<size_t>(Index)] = Item;
  if (old) Notify(old, lnDeleted);
  if (Item) Notify(Item, lnAdded);
}

int32_t TList::Add(void* Item) {
  FList.push_back(Item);
  if (Item) Notify(Item, lnAdded);
  return Count() - 1;
}

void TList::Insert(int32_t Index, void* Item) {
  CheckIndex(Index, Count() + 1);
  FList.insert(FList.begin() + Index, Item);
  if (Item) Notify(Item, lnAdded);
}

void TList::Delete(int32_t Index) {
  CheckIndex(Index, Count());
  void* item = FList[static_cast<size_t>(Index)];
  // The item leaves the list before it is freed, so a destructor that looks at the list
  // finds it consistent.
  FList.erase(FList.begin() + Index);
  if (item) Notify(item, lnDeleted);
}

int32_t TList::Remove(void* Item) {
  const int32_t i = IndexOf(Item);
  if (i >= 0) Delete(i);
  return i;
}

void* TList::Extract(void* Item) {
  const int32_t i = IndexOf(Item);
  if (i < 0) return nullptr;
  FList.erase(FList.begin() + i);
  if (Item) Notify(Item, lnExtracted);
  return Item;
}

int32_t TList::IndexOf(void* Item) const {
  auto it = std::find(FList.begin(), FList.end(), Item);
  return it == FList.end() ? -1 : static_cast<int32_t>(it - FList.begin());
}

void TList::Clear() {
  // Take the items out first: freeing one may not see half-freed neighbours in the list.
  std::vector<void*> items;
  items.swap(FList);
  for (void* item : items)
    if (item) Notify(item, lnDeleted);
}

void TList::Move(int32_t CurIndex, int32_t NewIndex) {
  if (CurIndex == NewIndex) {
    CheckIndex(CurIndex, Count());
    return;
  }
  CheckIndex(NewIndex, Count());
  void* item = Items(CurIndex);
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, item);
}

void TList::Exchange(int32_t Index1, int32_t Index2) {
  CheckIndex(Index1, Count());
  CheckIndex(Index2, Count());
  std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
}

void TList::Sort(const TListSortCompare& Compare) {
  if (!Compare) return;
  std::stable_sort(FList.begin(), FList.end(), [&](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::Pack() { FList.erase(std::remove(FList.begin(), FList.end(), nullptr), FList.end()); }

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(void* Ptr, TListNotification Action) {
  if (FOwnsObjects && Action == lnDeleted) delete static_cast<TObject*>(Ptr);
}
