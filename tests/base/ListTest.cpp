#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/List.h"

namespace {

int kA = 1, kB = 2, kC = 3, kD = 4;

std::vector<void*> Items(const TList& l) { return l.List(); }

// Records its own destruction, and what its list looked like at that moment.
class Tracked : public TObject {
public:
  Tracked(std::vector<std::string>& log, std::string name, TObjectList* list = nullptr)
      : FLog(log), FName(std::move(name)), FList(list) {}
  ~Tracked() override {
    FLog.push_back(FName + (FList && FList->IndexOf(this) >= 0 ? " still listed" : ""));
  }

private:
  std::vector<std::string>& FLog;
  std::string FName;
  TObjectList* FList;
};

}  // namespace

TEST(TList, AddInsertDeleteMoveExchange) {
  TList l;
  EXPECT_EQ(l.Add(&kA), 0);
  EXPECT_EQ(l.Add(&kC), 1);
  l.Insert(1, &kB);
  l.Insert(3, &kD);  // Count itself appends
  EXPECT_EQ(Items(l), (std::vector<void*>{&kA, &kB, &kC, &kD}));
  l.Move(0, 3);
  EXPECT_EQ(Items(l), (std::vector<void*>{&kB, &kC, &kD, &kA}));
  l.Move(3, 0);
  l.Exchange(0, 3);
  EXPECT_EQ(Items(l), (std::vector<void*>{&kD, &kB, &kC, &kA}));
  EXPECT_EQ(l.Remove(&kB), 1);
  EXPECT_EQ(l.Remove(&kB), -1);
  l.Delete(0);
  EXPECT_EQ(Items(l), (std::vector<void*>{&kC, &kA}));
  EXPECT_EQ(l.IndexOf(&kA), 1);
  EXPECT_EQ(l.Extract(&kA), &kA);
  EXPECT_EQ(l.Extract(&kA), nullptr);
  l.Add(nullptr);
  l.Pack();
  EXPECT_EQ(Items(l), (std::vector<void*>{&kC}));
  l.Clear();
  EXPECT_EQ(l.Count(), 0);
}

TEST(TList, BadIndexesRaiseAndChangeNothing) {
  TList l;
  l.Add(&kA);
  l.Add(&kB);
  struct Case { const char* what; std::function<void()> call; const char* msg; };
  const Case cases[] = {
      {"Items -1", [&] { l.Items(-1); }, "List index out of bounds (-1)"},
      {"Items Count", [&] { l.Items(2); }, "List index out of bounds (2)"},
      {"Put", [&] { l.Put(5, &kC); }, "List index out of bounds (5)"},
      {"Insert past Count", [&] { l.Insert(3, &kC); }, "List index out of bounds (3)"},
      {"Delete", [&] { l.Delete(2); }, "List index out of bounds (2)"},
      {"Move to", [&] { l.Move(0, 2); }, "List index out of bounds (2)"},
      {"Move from", [&] { l.Move(-1, 0); }, "List index out of bounds (-1)"},
      {"Exchange", [&] { l.Exchange(0, 9); }, "List index out of bounds (9)"},
  };
  for (const auto& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.what << ": no exception";
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message, c.msg) << c.what;
    }
    EXPECT_EQ(Items(l), (std::vector<void*>{&kA, &kB})) << c.what;
  }
  TList empty;
  EXPECT_THROW(empty.First(), EListError);
  EXPECT_THROW(empty.Last(), EListError);
}

TEST(TList, SortIsStableWithTheCompareFunction) {
  struct Rec { int key; int order; };
  Rec r[] = {{2, 0}, {1, 1}, {2, 2}, {0, 3}, {1, 4}};
  TList l;
  for (auto& x : r) l.Add(&x);
  l.Sort([](void* a, void* b) { return static_cast<Rec*>(a)->key - static_cast<Rec*>(b)->key; });
  std::vector<int> order;
  for (void* p : l.List()) order.push_back(static_cast<Rec*>(p)->order);
  EXPECT_EQ(order, (std::vector<int>{3, 1, 4, 0, 2}));
}

TEST(TObjectList, FreesOwnedObjectsOnDeleteRemovePutClearAndDestruction) {
  std::vector<std::string> log;
  {
    TObjectList l;
    l.Add(new Tracked(log, "a", &l));
    TObject* b = new Tracked(log, "b", &l);
    l.Add(b);
    l.Add(new Tracked(log, "c", &l));
    TObject* d = new Tracked(log, "d", &l);
    l.Add(d);
    l.Delete(0);  // frees a, which is no longer listed when it goes
    EXPECT_EQ(l.Remove(b), 0);
    l.Put(0, new Tracked(log, "e", &l));  // replaces (and frees) c
    EXPECT_EQ(l.Extract(d), d);           // handed back, not freed
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c"}));
    delete d;
    l.Add(new Tracked(log, "f", &l));
  }
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c", "d", "e", "f"}));
}

TEST(TObjectList, NotOwningLeavesObjectsAlone) {
  std::vector<std::string> log;
  Tracked x(log, "x");
  {
    TObjectListOf<Tracked> l(false);
    l.Add(&x);
    EXPECT_EQ(l[0], &x);
    l.Delete(0);
    l.Add(&x);
  }
  EXPECT_TRUE(log.empty());
}
