#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/Exception.h"

namespace {

// Records its own destruction and every notification it receives in shared logs.
class TSpy : public TComponent {
public:
  TSpy(TComponent* owner, std::string tag, std::vector<std::string>* log) : TComponent(owner), tag_(std::move(tag)), log_(log) {}
  ~TSpy() override { log_->push_back("free " + tag_); }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove) {
      if (c == Buddy) Buddy = nullptr;  // the one pointer this component keeps
      removed.push_back(c);
    } else {
      inserted.push_back(c);
    }
  }
  TComponent* Buddy = nullptr;
  std::vector<TComponent*> inserted, removed;

private:
  std::string tag_;
  std::vector<std::string>* log_;
};

// Reads its buddy in its destructor: it would touch freed memory if no one cleared the pointer.
class TToucher : public TSpy {
public:
  using TSpy::TSpy;
  ~TToucher() override {
    if (Buddy) seenName = Buddy->Name();
  }
  std::string seenName;
};

}  // namespace

TEST(Component, OwnerFreesOwnedComponentsInReverseOrder) {
  std::vector<std::string> log;
  auto* owner = new TSpy(nullptr, "owner", &log);
  auto* a = new TSpy(owner, "a", &log);
  new TSpy(owner, "b", &log);
  new TSpy(a, "a1", &log);
  new TSpy(owner, "c", &log);
  EXPECT_EQ(owner->ComponentCount(), 3);
  EXPECT_EQ(owner->Components(0), a);
  EXPECT_EQ(a->Owner(), owner);
  EXPECT_THROW(owner->Components(3), EListError);
  EXPECT_THROW(owner->Components(-1), EListError);
  delete owner;
  EXPECT_EQ(log, (std::vector<std::string>{"free owner", "free c", "free b", "free a", "free a1"}));
}

TEST(Component, InsertAndRemoveAreNotifiedToTheOwnersTree) {
  std::vector<std::string> log;
  TSpy owner(nullptr, "owner", &log);
  auto* a = new TSpy(&owner, "a", &log);
  auto* b = new TSpy(&owner, "b", &log);
  // A component under construction cannot hear of its own insertion: its override is not
  // active yet. Everyone already there does.
  EXPECT_EQ(a->inserted, (std::vector<TComponent*>{b}));
  EXPECT_EQ(owner.inserted, (std::vector<TComponent*>{a, b}));

  delete a;  // leaves its owner, which tells the rest
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(b->removed, (std::vector<TComponent*>{a}));

  TSpy other(nullptr, "other", &log);
  other.InsertComponent(b);  // moving to another owner: the old tree hears opRemove
  EXPECT_EQ(b->Owner(), &other);
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_EQ(owner.removed.back(), b);
  other.RemoveComponent(b);  // given up, not freed
  EXPECT_EQ(b->Owner(), nullptr);
  delete b;
}

TEST(Component, NoDanglingReferenceAfterAFree) {
  std::vector<std::string> log;
  // A sibling inserted before the one it points to is freed after it: the owner's walk
  // must clear the pointer first.
  auto* form = new TComponent(nullptr);
  auto* early = new TToucher(form, "early", &log);
  auto* late = new TSpy(form, "late", &log);
  late->SetName("Late");
  early->Buddy = late;
  delete form;  // under ASan a stale pointer would be a use after free
  EXPECT_EQ(log, (std::vector<std::string>{"free late", "free early"}));

  // Components without a common owner hear of each other through FreeNotification, both ways.
  TSpy watcher(nullptr, "watcher", &log);
  auto* target = new TSpy(nullptr, "target", &log);
  watcher.Buddy = target;
  target->FreeNotification(&watcher);
  EXPECT_TRUE(target->ComponentState().Contains(csFreeNotification));
  delete target;
  EXPECT_EQ(watcher.Buddy, nullptr);

  // After the watcher goes first, the target's list holds no stale entry.
  auto* target2 = new TSpy(nullptr, "target2", &log);
  {
    TSpy shortLived(nullptr, "short", &log);
    target2->FreeNotification(&shortLived);
  }
  EXPECT_FALSE(target2->ComponentState().Contains(csFreeNotification));
  delete target2;

  // RemoveFreeNotification stops it.
  auto* target3 = new TSpy(nullptr, "target3", &log);
  watcher.Buddy = target3;
  target3->FreeNotification(&watcher);
  target3->RemoveFreeNotification(&watcher);
  delete target3;
  EXPECT_EQ(watcher.Buddy, target3);  // not told, as asked

  // A component deep in a form's tree that watches the form hears of the form leaving its owner
  // (its owner is going) and forgets it: the link goes from both sides, so the form, freed after
  // the watcher, finds no stale entry.
  auto* keep = new TComponent(nullptr);
  auto* form2 = new TSpy(keep, "form", &log);
  auto* edit = new TSpy(form2, "edit", &log);
  auto* menu = new TSpy(edit, "menu", &log);
  menu->Buddy = form2;
  form2->FreeNotification(menu);
  keep->RemoveComponent(form2);
  EXPECT_EQ(menu->Buddy, nullptr);
  EXPECT_FALSE(form2->ComponentState().Contains(csFreeNotification));
  EXPECT_FALSE(menu->ComponentState().Contains(csFreeNotification));
  // A form frees its controls before its component part runs (so the menu goes first).
  log.clear();
  delete edit;
  delete form2;
  EXPECT_EQ(log, (std::vector<std::string>{"free edit", "free menu", "free form"}));
  delete keep;
}

TEST(Component, NamesAreIdentifiersUniqueAmongSiblings) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("kxSkinButton1");
  EXPECT_EQ(owner.FindComponent("KXSKINBUTTON1"), a);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  try {
    b->SetName("KxSkinButton1");
    FAIL() << "a duplicate name was accepted";
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message, "A component named KxSkinButton1 already exists");
  }
  EXPECT_EQ(b->Name(), "");
  a->SetName("KXSKINBUTTON1");  // the same component may change the case of its own name
  EXPECT_EQ(a->Name(), "KXSKINBUTTON1");
  for (const char* bad : {"1abc", "a b", "a-b", "名字"}) EXPECT_THROW(b->SetName(bad), EComponentError) << bad;
  b->SetName("_ok2");
  EXPECT_EQ(b->Name(), "_ok2");

  // Taking in a component whose name is taken fails and leaves both owners as they were.
  TComponent other(nullptr);
  auto* c = new TComponent(&other);
  c->SetName("_ok2");
  EXPECT_THROW(owner.InsertComponent(c), EComponentError);
  EXPECT_EQ(c->Owner(), &other);
  EXPECT_EQ(owner.ComponentCount(), 2);
}

TEST(Component, StateTagIndexAndLoaded) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetTag(-7);
  EXPECT_EQ(a->Tag(), -7);
  EXPECT_TRUE(a->ComponentState().Empty());
  a->Loading();
  EXPECT_TRUE(a->ComponentState().Contains(csLoading));
  a->Loaded();
  EXPECT_FALSE(a->ComponentState().Contains(csLoading));
  owner.SetDesigning(true);
  EXPECT_TRUE(b->ComponentState().Contains(csDesigning));
  EXPECT_EQ(b->ComponentIndex(), 1);
  b->SetComponentIndex(0);
  EXPECT_EQ(owner.Components(0), b);
  EXPECT_EQ(TComponent(nullptr).ComponentIndex(), -1);
}

namespace {

class TColour : public TPersistent {
public:
  int value = 0;
  void Assign(TPersistent* source) override {
    if (auto* c = dynamic_cast<TColour*>(source)) {
      value = c->value;
      return;
    }
    TPersistent::Assign(source);
  }
};
class TShape : public TPersistent {};

std::vector<std::string>* gUpdates = nullptr;

class TSkinItem : public TCollectionItem {
public:
  explicit TSkinItem(const TItemSlot& Collection) : TCollectionItem(Collection) {}
  std::string Name;
  void Assign(TPersistent* source) override {
    if (auto* s = dynamic_cast<TSkinItem*>(source)) {
      if (s->Name == "poison") throw EConvertError("cannot copy poison");
      Name = s->Name;
      Changed(false);
      return;
    }
    TCollectionItem::Assign(source);
  }
  std::string DisplayName() override { return Name; }
};

class TSkinItems : public TCollection {
public:
  explicit TSkinItems(TPersistent* owner = nullptr) : TCollection(CollectionItemClassOf<TSkinItem>(), owner) {}
  TSkinItem* Item(int i) const { return static_cast<TSkinItem*>(Items(i)); }
  TSkinItem* AddItem(const std::string& name) {
    auto* it = static_cast<TSkinItem*>(Add());
    it->Name = name;
    return it;
  }

protected:
  void Update(TCollectionItem* item) override {
    if (gUpdates) gUpdates->push_back(item ? static_cast<TSkinItem*>(item)->Name : "*");
  }
};

std::vector<std::string> Names(const TSkinItems& c) {
  std::vector<std::string> out;
  for (int i = 0; i < c.Count(); ++i) out.push_back(c.Item(i)->Name);
  return out;
}

}  // namespace

TEST(Persistent, AssignFallsBackToAssignToAndNamesBothClasses) {
  TColour a, b;
  a.value = 5;
  b.Assign(&a);
  EXPECT_EQ(b.value, 5);
  TShape shape;
  try {
    b.Assign(&shape);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "Cannot assign a TShape to a TColour");
  }
  try {
    b.Assign(nullptr);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "Cannot assign a nil to a TColour");
  }
}

TEST(Collection, AddInsertDeleteIndexAndIDs) {
  TSkinItems items;
  items.AddItem("a");
  items.AddItem("b");
  auto* c = static_cast<TSkinItem*>(items.Insert(0));
  c->Name = "c";
  EXPECT_EQ(Names(items), (std::vector<std::string>{"c", "a", "b"}));
  EXPECT_EQ(c->ID(), 2);
  EXPECT_EQ(items.FindItemID(2), c);
  c->SetIndex(2);
  EXPECT_EQ(Names(items), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_THROW(c->SetIndex(3), EListError);
  EXPECT_THROW(items.Items(3), EListError);
  EXPECT_THROW(items.Insert(4), EListError);
  EXPECT_THROW(items.Delete(-1), EListError);
  items.Delete(0);
  EXPECT_EQ(Names(items), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(c->Index(), 1);
  delete items.Items(0);  // freeing an item takes it out of its collection
  EXPECT_EQ(Names(items), (std::vector<std::string>{"c"}));
  EXPECT_EQ(items.AddItem("d")->ID(), 3);  // IDs are never reused
  EXPECT_EQ(c->DisplayName(), "c");
  EXPECT_EQ(c->GetOwner(), &items);
  items.Clear();
  EXPECT_EQ(items.Count(), 0);
}

TEST(Collection, UpdatesAreReportedOnceOutsideBeginEndUpdate) {
  std::vector<std::string> updates;
  gUpdates = &updates;
  {
    TSkinItems items;
    items.AddItem("a");
    EXPECT_EQ(updates, (std::vector<std::string>{"*"}));
    updates.clear();
    items.BeginUpdate();
    items.AddItem("b");
    items.Delete(0);
    items.BeginUpdate();
    items.EndUpdate();
    EXPECT_TRUE(updates.empty());
    items.EndUpdate();
    EXPECT_EQ(updates, (std::vector<std::string>{"*"}));
    updates.clear();
    TSkinItems source;
    source.AddItem("x");
    updates.clear();
    items.Items(0)->Assign(source.Items(0));
    EXPECT_EQ(updates, (std::vector<std::string>{"x"}));
    updates.clear();
  }
  gUpdates = nullptr;
}

TEST(Collection, AssignCopiesItemsAndLosesNothingWhenACopyFails) {
  TComponent owner(nullptr);
  owner.SetName("SkinData1");
  TSkinItems dest(&owner), source;
  dest.AddItem("old1");
  dest.AddItem("old2");
  source.AddItem("s1");
  source.AddItem("s2");
  dest.Assign(&source);
  EXPECT_EQ(Names(dest), (std::vector<std::string>{"s1", "s2"}));
  EXPECT_EQ(Names(source), (std::vector<std::string>{"s1", "s2"}));
  EXPECT_NE(dest.Items(0), source.Items(0));

  source.AddItem("poison");
  EXPECT_THROW(dest.Assign(&source), EConvertError);
  EXPECT_EQ(Names(dest), (std::vector<std::string>{"s1", "s2"}));
  EXPECT_EQ(dest.Items(1)->Collection(), &dest);

  TShape shape;
  EXPECT_THROW(dest.Assign(&shape), EConvertError);
  EXPECT_EQ(dest.GetNamePath(), "SkinData1");
  EXPECT_EQ(dest.Items(1)->GetNamePath(), "SkinData1[1]");
}

namespace {

// An item whose own members an owner reads when told of it, as a list view reads its columns.
class TWholeItem : public TCollectionItem {
public:
  explicit TWholeItem(const TItemSlot& Collection) : TCollectionItem(Collection), BornAt(Index()) {
    // A change made while being built is not told on its own: the joining is, once whole.
    SetDisplayName("built");
  }
  std::string Caption = "whole";
  int BornAt;
};

class TFailingItem : public TWholeItem {
public:
  explicit TFailingItem(const TItemSlot& Collection) : TWholeItem(Collection) { throw EConvertError("refused"); }
};

// Writes down, on each notification, every item as its owner sees it then.
class TWatchedItems : public TCollection {
public:
  explicit TWatchedItems(TCollectionItemClass ItemClass = CollectionItemClassOf<TWholeItem>())
      : TCollection(std::move(ItemClass)) {}
  std::vector<std::string> Seen;

protected:
  void Update(TCollectionItem*) override {
    std::string s;
    for (int i = 0; i < Count(); ++i) {
      auto* w = dynamic_cast<TWholeItem*>(Items(i));
      s += (i ? "," : "") + (w ? w->Caption : std::string("half-made"));
    }
    Seen.push_back(s);
  }
};

}  // namespace

TEST(Collection, OwnerIsToldOfANewItemOnlyOnceItIsWhole) {
  struct Way {
    const char* name;
    std::function<TCollectionItem*(TWatchedItems&)> make;
    int index;
    std::vector<std::string> seen;
  };
  const Way ways[] = {
      {"Add", [](TWatchedItems& c) { return c.Add(); }, 1, {"first,whole"}},
      {"Insert", [](TWatchedItems& c) { return c.Insert(0); }, 0, {"first,whole", "whole,first"}},
      {"new", [](TWatchedItems& c) { return new TWholeItem(&c); }, 1, {"first,whole"}},
      {"factory", [](TWatchedItems& c) { return CollectionItemClassOf<TWholeItem>()(&c); }, 1, {"first,whole"}},
  };
  for (const Way& w : ways) {
    SCOPED_TRACE(w.name);
    TWatchedItems items;
    auto* first = static_cast<TWholeItem*>(items.Add());
    first->Caption = "first";
    items.Seen.clear();
    auto* item = dynamic_cast<TWholeItem*>(w.make(items));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(items.Seen, w.seen);
    EXPECT_EQ(item->Index(), w.index);
    EXPECT_EQ(item->BornAt, 1);  // it was in the collection, last, while being built
    EXPECT_EQ(item->Collection(), &items);
    items.Seen.clear();
    delete item;
    EXPECT_EQ(items.Seen, std::vector<std::string>{"first"});
  }
}

TEST(Collection, AnItemThatFailsToBuildLeavesWithoutAWord) {
  TWatchedItems items(CollectionItemClassOf<TFailingItem>());
  new TWholeItem(&items);
  items.Seen.clear();
  EXPECT_THROW(items.Add(), EConvertError);
  EXPECT_THROW(new TFailingItem(&items), EConvertError);
  EXPECT_TRUE(items.Seen.empty());
  EXPECT_EQ(items.Count(), 1);
  // The next item is told of as usual.
  new TWholeItem(&items);
  EXPECT_EQ(items.Seen, std::vector<std::string>{"whole,whole"});
}
