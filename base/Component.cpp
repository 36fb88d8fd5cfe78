#include "base/Component.h"

#include <strings.h>

#include <algorithm>

#include "base/Exception.h"
#include "base/Format.h"
#include "base/UpdateGuard.h"

namespace {

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

bool IsValidIdent(const std::string& s) {
  if (s.empty()) return false;
  auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!alpha(s[0])) return false;
  return std::all_of(s.begin() + 1, s.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

[[noreturn]] void IndexError(int index) { throw EListError(Format("List index out of bounds (%d)", index)); }

template <typename T>
void EraseOne(std::vector<T*>& v, T* p) {
  auto it = std::find(v.begin(), v.end(), p);
  if (it != v.end()) v.erase(it);
}

}  // namespace

// ---- TPersistent ----

void TPersistent::Assign(TPersistent* Source) {
  if (Source)
    Source->AssignTo(this);
  else
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source) {
  std::string sourceName = Source ? Source->ClassName() : std::string("nil");
  throw EConvertError(Format("Cannot assign a %s to a %s", sourceName, ClassName()));
}

std::string TPersistent::GetNamePath() { return ClassName(); }

// ---- TComponent ----

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Tell everyone who asked, each entry taken off both lists before the call so that a
  // handler freeing further components never sees a stale entry.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    EraseOne(other->FFreeNotifies, this);
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) IndexError(Index);
  return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto& list = FOwner->FComponents;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Value) {
  if (!FOwner) return;
  auto& list = FOwner->FComponents;
  int cur = ComponentIndex();
  if (cur < 0) return;
  Value = std::clamp(Value, 0, static_cast<int>(list.size()) - 1);
  if (Value == cur) return;
  list.erase(list.begin() + cur);
  list.insert(list.begin() + Value, this);
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (AComponent->FOwner == this) return;
  ValidateRename(AComponent, std::string(), AComponent->FName);
  // A component has one owner: moving it tells the former owner's tree first.
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  Insert(AComponent);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  Notification(AComponent, opRemove);
  Remove(AComponent);
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* instance = FComponents.back();
    // Always with notification: a sibling that keeps a pointer to this one must clear it
    // before its own destructor (which runs later) could use it.
    RemoveComponent(instance);
    if (instance->FOwner == this) Remove(instance);  // a handler put it back; take it anyway
    delete instance;
  }
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, AName)) return c;
  return nullptr;
}

void TComponent::SetName(const std::string& NewName) {
  if (NewName == FName) return;
  if (!NewName.empty() && !IsValidIdent(NewName))
    throw EComponentError(Format("'%s' is not a valid component name", NewName));
  if (FOwner) FOwner->ValidateRename(this, FName, NewName);
  FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) const {
  if (NewName.empty()) return;
  if (!CurName.empty() && SameText(CurName, NewName)) return;  // only the case changes
  TComponent* found = FindComponent(NewName);
  if (found && found != AComponent)
    throw EComponentError(Format("A component named %s already exists", NewName));
}

void TComponent::Loading() { FComponentState.Include(csLoading); }

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::SetDesigning(bool Value) {
  if (Value)
    FComponentState.Include(csDesigning);
  else
    FComponentState.Exclude(csDesigning);
  for (TComponent* c : FComponents) c->SetDesigning(Value);
}

void TComponent::SetReading(bool Value) {
  if (Value)
    FComponentState.Include(csReading);
  else
    FComponentState.Exclude(csReading);
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  // Both sides of the link go: a one-sided entry left in AComponent's list would outlive this
  // component, and AComponent's destructor would then walk into freed memory.
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  // Walk from the end and re-clamp: a handler may free or remove components of this list.
  int i = ComponentCount() - 1;
  while (i >= 0) {
    FComponents[static_cast<size_t>(i)]->Notification(AComponent, Operation);
    --i;
    if (i >= ComponentCount()) i = ComponentCount() - 1;
  }
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(AComponent);
    AComponent->FreeNotification(this);
  }
  FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  RemoveNotification(AComponent);
  AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
  EraseOne(FFreeNotifies, AComponent);
  if (FFreeNotifies.empty()) FComponentState.Exclude(csFreeNotification);
}

std::string TComponent::GetNamePath() { return FName; }

void TComponent::Insert(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
  EraseOne(FComponents, AComponent);
  AComponent->FOwner = nullptr;
}

// ---- TItemSlot ----

TItemSlot::~TItemSlot() noexcept(false) {
  TCollectionItem* item = FItem;
  if (!item) return;
  FItem = nullptr;
  item->FSlot = nullptr;
  TCollection* c = item->FCollection;
  if (!c) return;
  if (std::uncaught_exceptions() <= FUncaught) {
    c->Changed();
    return;
  }
  try {
    c->Changed();
  } catch (...) {
  }
}

// ---- TCollectionItem ----

TCollectionItem::TCollectionItem(const TItemSlot& Collection) {
  // One slot makes one item: a second would never be told of.
  if (Collection.FItem) throw EListError("A collection item slot was used twice");
  FSlot = &Collection;
  Collection.FItem = this;
  SetCollection(Collection.FCollection);
}

TCollectionItem::~TCollectionItem() {
  if (FSlot) {
    // Made in vain (a constructor threw): it leaves without a word, as the owner never heard
    // of it, and its slot forgets it.
    if (FCollection) FCollection->RemoveItem(this);
    FSlot->FItem = nullptr;
    FSlot = nullptr;
    return;
  }
  SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (Value == FCollection) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  auto& items = FCollection->FItems;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
  int cur = Index();
  if (cur < 0 || cur == Value) return;
  auto& items = FCollection->FItems;
  if (Value < 0 || Value >= static_cast<int>(items.size())) IndexError(Value);
  items.erase(items.begin() + cur);
  items.insert(items.begin() + Value, this);
  Changed(true);
}

TPersistent* TCollectionItem::GetOwner() { return FCollection; }

std::string TCollectionItem::GetNamePath() {
  if (!FCollection) return ClassName();
  return Format("%s[%d]", FCollection->GetNamePath(), Index());
}

void TCollectionItem::Changed(bool AllItems) {
  if (FSlot) return;
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

// ---- TCollection ----

TCollection::TCollection(TCollectionItemClass ItemClass, TPersistent* AOwner)
    : FItemClass(std::move(ItemClass)), FOwner(AOwner) {}

TCollection::~TCollection() {
  FUpdateCount = 1;  // no Update calls while going away
  while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Add() {
  if (!FItemClass) throw EListError("The collection has no item class");
  TCollectionItem* item = FItemClass(this);
  if (item && item->FCollection != this) item->SetCollection(this);
  return item;
}

TCollectionItem* TCollection::Insert(int Index) {
  if (Index < 0 || Index > Count()) IndexError(Index);
  TCollectionItem* item = Add();
  item->SetIndex(Index);
  return item;
}

void TCollection::Delete(int Index) { delete Items(Index); }

void TCollection::Clear() {
  if (FItems.empty()) return;
  TUpdateGuard update(*this);
  while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Items(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FItems[static_cast<size_t>(Index)];
}

void TCollection::SetItem(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (TCollectionItem* item : FItems)
    if (item->FID == ID) return item;
  return nullptr;
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount == 0) Changed();
}

void TCollection::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TCollection*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  BeginUpdate();
  // The old items stay aside until every copy has succeeded, so a failed copy loses nothing.
  std::vector<TCollectionItem*> old;
  old.swap(FItems);
  try {
    for (TCollectionItem* src : source->FItems) Add()->Assign(src);
  } catch (...) {
    while (!FItems.empty()) delete FItems.back();
    FItems.swap(old);
    EndUpdate();
    throw;
  }
  for (TCollectionItem* item : old) {
    item->FCollection = nullptr;
    delete item;
  }
  EndUpdate();
}

std::string TCollection::GetNamePath() {
  TPersistent* owner = GetOwner();
  if (!owner) return ClassName();
  std::string path = owner->GetNamePath();
  return path.empty() ? ClassName() : path;
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  // An item still being made is told of by its slot once whole.
  if (!Item->FSlot) Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  EraseOne(FItems, Item);
  Item->FCollection = nullptr;
  // The owner never heard of an item still being made.
  if (!Item->FSlot) Changed();
}
