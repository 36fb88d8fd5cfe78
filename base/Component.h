#pragma once
// The component model of the class library: persistent objects that can copy one another,
// components that own components and tell each other when one goes away, and collections
// of items owned by a component.
//
// Ownership: a component created with an owner is freed by that owner, after the components
// created after it (reverse order of insertion). Freeing a component with `delete` is always
// allowed: it leaves its owner first. A component that keeps a pointer to another one must
// clear it in Notification(AComponent, opRemove); it gets that call when the other one is
// freed if both have the same owner, or if it asked with FreeNotification.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "base/Events.h"
#include "base/Object.h"
#include "base/Set.h"

class TPersistent : public TObject {
public:
  // Copies `Source` into this object. The default asks the source to do it (AssignTo), which
  // raises EConvertError when neither side knows the other's class.
  virtual void Assign(TPersistent* Source);
  // The object that owns this one for naming purposes (a component's owner, an item's
  // collection); nullptr when none.
  virtual TPersistent* GetOwner() { return nullptr; }
  // A name that identifies the object within its owners, e.g. "Form1.SkinList1" or
  // "TkxSkinListItems[2]"; the class name when nothing better is known.
  virtual std::string GetNamePath();

protected:
  virtual void AssignTo(TPersistent* Dest);
  // Raises EConvertError "Cannot assign a <source class> to a <this class>".
  [[noreturn]] void AssignError(TPersistent* Source);
};

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

class TComponent : public TPersistent {
public:
  // Inserts the new component into AOwner (when given). The new component's own Notification
  // override is not active yet during construction, so only the others hear of the insertion.
  explicit TComponent(TComponent* AOwner);
  // Tells everyone concerned that this component goes away, frees the owned components
  // (last inserted first) and leaves the owner. Notification handlers run while this object is
  // being destroyed: they may compare the pointer but must not call into it. A derived class
  // that needs its owned components gone while its own members still exist calls
  // DestroyComponents() first in its own destructor.
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  // The owned component at `Index`; raises EListError for an index outside 0..ComponentCount-1.
  TComponent* Components(int Index) const;
  // This component's position in its owner's list, -1 without an owner.
  int ComponentIndex() const;
  void SetComponentIndex(int Value);

  // Takes `AComponent` into this component's ownership (leaving any former owner first) and
  // sends Notification(AComponent, opInsert). Raises EComponentError if its name is taken.
  void InsertComponent(TComponent* AComponent);
  // Sends Notification(AComponent, opRemove) and gives up ownership without freeing it.
  void RemoveComponent(TComponent* AComponent);
  // Frees every owned component, last inserted first, telling the others about each one.
  void DestroyComponents();
  // The owned component of that name (compared case-insensitively), or nullptr.
  TComponent* FindComponent(const std::string& AName) const;

  const std::string& Name() const { return FName; }
  // Sets the name; it must be empty or an identifier, and unique among the owner's components
  // (EComponentError otherwise).
  virtual void SetName(const std::string& NewName);
  intptr_t Tag() const { return FTag; }
  void SetTag(intptr_t Value) { FTag = Value; }

  TComponentState ComponentState() const { return FComponentState; }
  // Marks the component as being read by the form loader (csLoading); Loaded() clears it.
  void Loading();
  // Called once the form loader has read every component and resolved the references.
  virtual void Loaded();
  void SetDesigning(bool Value);
  void SetReading(bool Value);
  // Sets csDestroying on this component and on everything it owns.
  void Destroying();

  // Called when a component is inserted into or removed from this component's owner's tree,
  // or when a component this one asked about is freed. The default stops the free
  // notification for a removed component, on both sides, and passes the call on to every
  // owned component; an override clears its references and calls the inherited one.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Makes sure that `AComponent` gets Notification(this, opRemove) when this component is
  // freed (and this component hears of AComponent's end as well, so neither keeps a stale entry).
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  TPersistent* GetOwner() override { return FOwner; }
  std::string GetNamePath() override;

private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) const;
  void RemoveNotification(TComponent* AComponent);

  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  std::string FName;
  intptr_t FTag = 0;
  TComponentState FComponentState;
};

class TCollection;
class TCollectionItem;

// The collection a new item is made in: what every item constructor takes, converted from the
// TCollection* its caller passes (`new TListColumn(Columns)`, `Columns->Add()`). The item joins
// the collection at once, so Index() works in its constructors, but the collection tells its
// owner of it only when this object ends: at the end of the caller's statement, after the
// most-derived constructor has finished. An owner that reads its items on notification thus
// never meets a half-made one.
//
// An item class declares `explicit TMyItem(const TItemSlot& Collection)` and passes it on to
// its base unchanged; a TCollection* passed on instead does not compile (see TCollectionItem).
// Never build a slot inside a constructor: it would end, and tell the owner, before that
// constructor's body.
class TItemSlot {
public:
  TItemSlot(TCollection* Collection) : FCollection(Collection) {}  // NOLINT: converts on purpose
  TItemSlot(std::nullptr_t) {}                                       // NOLINT: a free item
  TItemSlot(const TItemSlot&) = delete;
  TItemSlot& operator=(const TItemSlot&) = delete;
  // Tells the item's collection of it. When the statement is being left by an exception, the
  // owner is still told, and its own exception is dropped so the first one goes on.
  ~TItemSlot() noexcept(false);
  TCollection* Collection() const { return FCollection; }

private:
  friend class TCollectionItem;
  TCollection* FCollection = nullptr;
  mutable TCollectionItem* FItem = nullptr;  // the item made in this slot, until it is told of
  int FUncaught = std::uncaught_exceptions();
};

// Makes a new item inside the collection given (the item's constructor inserts it).
using TCollectionItemClass = std::function<TCollectionItem*(TCollection*)>;

// The factory for items of class T, which must have a constructor T(const TItemSlot&).
template <typename T>
TCollectionItemClass CollectionItemClassOf() {
  return [](TCollection* c) -> TCollectionItem* { return new T(c); };
}

class TCollectionItem : public TPersistent {
public:
  // Creates the item at the end of the slot's collection (which then owns it); the collection
  // tells its owner once the item is whole (see TItemSlot). A nullptr slot makes a free item.
  explicit TCollectionItem(const TItemSlot& Collection);
  explicit TCollectionItem(std::nullptr_t) {}
  // An item class passing its TCollection* straight on would have its owner told while its
  // own members are not built yet: take a `const TItemSlot&` instead. (Constructors inherited
  // with `using` inherit this refusal too, so an item class spells its constructor out.)
  explicit TCollectionItem(TCollection*) = delete;
  // Leaves the collection.
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  // Moves the item into another collection (or out of any, with nullptr).
  void SetCollection(TCollection* Value);
  // The position in the collection, -1 without one.
  int Index() const;
  // Moves the item to position `Value`; raises EListError when out of range.
  virtual void SetIndex(int Value);
  // A number unique within the collection, kept when the item moves.
  int ID() const { return FID; }
  virtual std::string DisplayName() { return ClassName(); }
  virtual void SetDisplayName(const std::string&) { Changed(false); }

  TPersistent* GetOwner() override;
  std::string GetNamePath() override;

protected:
  // Tells the collection this item changed (or every item, with AllItems); nothing while the
  // item is still being made, since its collection tells of it once it is whole.
  void Changed(bool AllItems);

private:
  friend class TCollection;
  friend class TItemSlot;
  TCollection* FCollection = nullptr;
  const TItemSlot* FSlot = nullptr;  // set while the item is being made
  int FID = 0;
};

class TCollection : public TPersistent {
public:
  explicit TCollection(TCollectionItemClass ItemClass, TPersistent* AOwner = nullptr);
  ~TCollection() override;

  TCollectionItem* Add();
  // Adds an item and moves it to `Index`.
  TCollectionItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  // The item at `Index`; raises EListError when out of range.
  TCollectionItem* Items(int Index) const;
  // Copies `Value` into the item at `Index`.
  void SetItem(int Index, TCollectionItem* Value);
  TCollectionItem* FindItemID(int ID) const;

  // Changes between BeginUpdate and the matching EndUpdate are reported once, by EndUpdate.
  virtual void BeginUpdate();
  virtual void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // Replaces the items with copies of another collection's items (each copied by its Assign).
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return FOwner; }
  std::string GetNamePath() override;

protected:
  // Called when `Item` changed, or with nullptr when the collection as a whole changed.
  virtual void Update(TCollectionItem* Item);
  void Changed();

private:
  friend class TCollectionItem;
  friend class TItemSlot;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);

  TCollectionItemClass FItemClass;
  TPersistent* FOwner;
  std::vector<TCollectionItem*> FItems;
  int FNextID = 0;
  int FUpdateCount = 0;
};
