#pragma once
// TList, a list of untyped pointers, and TObjectList, which frees the objects it holds.
// Every index is checked: a bad one raises EListError "List index out of bounds (<index>)".
#include <cstdint>
#include <functional>
#include <vector>

#include "base/Object.h"

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Answers < 0, 0 or > 0 like a comparison of Item1 with Item2.
using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

class TList : public TObject {
public:
  TList() = default;
  ~TList() override;

  int32_t Count() const { return static_cast<int32_t>(FList.size()); }
  void* Items(int32_t Index) const;
  void* operator[](int32_t Index) const { return Items(Index); }
  void Put(int32_t Index, void* Item);
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }

  int32_t Add(void* Item);
  void Insert(int32_t Index, void* Item);  // Index may be Count (appends)
  void Delete(int32_t Index);
  int32_t Remove(void* Item);              // index the item had, or -1
  void* Extract(void* Item);               // removes without freeing; nullptr when absent
  int32_t IndexOf(void* Item) const;       // first match, or -1
  void Clear();
  void Move(int32_t CurIndex, int32_t NewIndex);
  void Exchange(int32_t Index1, int32_t Index2);
  // Stable sort: equal items keep their order.
  void Sort(const TListSortCompare& Compare);
  void Pack();                             // drops nil items

  // The items themselves, for range-for loops.
  const std::vector<void*>& List() const { return FList; }

protected:
  // Called after an item was added, and after it left the list (lnExtracted or lnDeleted).
  virtual void Notify(void* Ptr, TListNotification Action) {
    (void)Ptr;
    (void)Action;
  }
  void CheckIndex(int32_t Index, int32_t Limit) const;

private:
  std::vector<void*> FList;
};

// A list of objects that, while OwnsObjects is true, frees each object that is deleted,
// removed, replaced or left in the list when it is cleared or freed. Extract hands an object
// back without freeing it.
class TObjectList : public TList {
public:
  explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
  ~TObjectList() override;

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  TObject* Items(int32_t Index) const { return static_cast<TObject*>(TList::Items(Index)); }
  TObject* operator[](int32_t Index) const { return Items(Index); }
  void Put(int32_t Index, TObject* Item) { TList::Put(Index, Item); }
  int32_t Add(TObject* Item) { return TList::Add(Item); }
  void Insert(int32_t Index, TObject* Item) { TList::Insert(Index, Item); }
  int32_t Remove(TObject* Item) { return TList::Remove(Item); }
  TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
  int32_t IndexOf(TObject* Item) const { return TList::IndexOf(Item); }

protected:
  void Notify(void* Ptr, TListNotification Action) override;

private:
  bool FOwnsObjects;
};

// A TObjectList whose items are all of class T.
template <typename T>
class TObjectListOf : public TObjectList {
public:
  using TObjectList::TObjectList;
  T* Items(int32_t Index) const { return static_cast<T*>(TObjectList::Items(Index)); }
  T* operator[](int32_t Index) const { return Items(Index); }
};
