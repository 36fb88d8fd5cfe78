// The tree view on the headless backend: expansion by keyboard and mouse with the rows, Items
// and scroll info following (with and without bars of its own), refused selection and expansion,
// children added on expansion, label editing, deletion, bad indexes and moves, the form
// description, and a picture of the plain look.
#include <set>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "classlib/EditCtrls.h"
#include "classlib/Streaming.h"
#include "classlib/TreeViews.h"
#include "classlib/graphics/ImageList.h"
#include "tests/classlib/ControlTestFixture.h"

using namespace ctltest;

namespace {

// As a skin has it: no bars of its own, the scroll info read from outside.
class TBarlessTree : public TTreeView {
public:
  using TTreeView::TTreeView;

protected:
  void CreateParams(TCreateParams& Params) override {
    TTreeView::CreateParams(Params);
    Params.Style &= ~(WS_VSCROLL | WS_HSCROLL);
  }
};

class TreeViewTest : public ControlTest {
protected:
  // 150 x 70 client inside the sunken frame: five rows of 14 pixels (10-pixel box font + 4).
  template <typename T = TBarlessTree>
  T* NewTree(TForm* f, const std::string& name = "tv") {
    auto* tv = Make<T>(f, name, 10, 10, 154, 74);
    tv->Font()->SetName(kTestBoxFontName);
    tv->Font()->SetHeight(-10);
    return tv;
  }
  static SCROLLINFO Info(HWND h, int bar) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(h, bar, &si);
    return si;
  }
  static std::vector<std::string> ItemTexts(TCustomTreeView* tv) {
    std::vector<std::string> out;
    for (int i = 0; i < tv->Items()->Count(); ++i) out.push_back(tv->Items()->Item(i)->Text());
    return out;
  }
  static std::vector<std::string> RowTexts(TCustomTreeView* tv) {
    std::vector<std::string> out;
    for (TTreeNode* n = tv->Items()->GetFirstNode(); n; n = n->GetNextVisible()) out.push_back(n->Text());
    return out;
  }
  static TTreeNode* Find(TCustomTreeView* tv, const std::string& text) {
    for (int i = 0; i < tv->Items()->Count(); ++i)
      if (tv->Items()->Item(i)->Text() == text) return tv->Items()->Item(i);
    return nullptr;
  }
  // Clicks well apart in time, so two of them never make a double click.
  void ClickLabel(TCustomTreeView* tv, TTreeNode* n) {
    clock.Advance(2000);
    TRect r = n->DisplayRect(true);
    ClickAt(tv, r.left + 3, (r.top + r.bottom) / 2);
  }
  void ClickButton(TCustomTreeView* tv, TTreeNode* n) {
    clock.Advance(2000);
    TRect r = n->DisplayRect(false);
    ClickAt(tv, n->Level() * tv->Indent() + tv->Indent() / 2, (r.top + r.bottom) / 2);
  }
  void DoubleClickLabel(TCustomTreeView* tv, TTreeNode* n) {
    clock.Advance(2000);
    TRect r = n->DisplayRect(true);
    TPoint p = tv->ClientToScreen(TPoint{r.left + 3, (r.top + r.bottom) / 2});
    headless::Click(p.x, p.y);
    headless::Click(p.x, p.y);
    Pump();
  }
  void Key(int vk) {
    headless::PressKey(vk);
    Pump();
  }

  // A, A1, A2, A2a, B, C, C1..C5, D.
  static void Fill(TCustomTreeView* tv) {
    TTreeNodes* items = tv->Items();
    TTreeNode* a = items->Add(nullptr, "A");
    items->AddChild(a, "A1");
    TTreeNode* a2 = items->AddChild(a, "A2");
    items->AddChild(a2, "A2a");
    items->Add(nullptr, "B");
    TTreeNode* c = items->Add(nullptr, "C");
    for (int i = 1; i <= 5; ++i) items->AddChild(c, "C" + std::to_string(i));
    items->Add(nullptr, "D");
  }
};

TEST_F(TreeViewTest, KeyboardAndMouseExpandAndCollapseWithRowsItemsAndScrollInfoFollowing) {
  TForm* f = NewForm(100, 100, 300, 200);
  TBarlessTree* tv = NewTree(f);
  Fill(tv);
  f->Show();
  Pump();
  HWND h = tv->Handle();
  ASSERT_EQ(GetWindowLongPtr(h, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);
  EXPECT_EQ(tv->ItemHeight(), 14);
  EXPECT_EQ(SendMessage(h, TVM_GETVISIBLECOUNT, 0, 0), 5);
  EXPECT_EQ(SendMessage(h, TVM_GETCOUNT, 0, 0), 12);
  EXPECT_EQ(ItemTexts(tv), (std::vector<std::string>{"A", "A1", "A2", "A2a", "B", "C", "C1", "C2", "C3", "C4", "C5", "D"}));

  struct Want {
    std::vector<std::string> rows;
    int nMax;
    UINT nPage;
    int nPos;
  };
  auto check = [&](const Want& w, const char* when) {
    EXPECT_EQ(RowTexts(tv), w.rows) << when;
    SCROLLINFO si = Info(h, SB_VERT);
    EXPECT_EQ(si.nMin, 0) << when;
    EXPECT_EQ(si.nMax, w.nMax) << when;
    EXPECT_EQ(si.nPage, w.nPage) << when;
    EXPECT_EQ(si.nPos, w.nPos) << when;
    EXPECT_EQ(GetScrollPos(h, SB_VERT), w.nPos) << when;
    EXPECT_EQ(SendMessage(h, TVM_GETVISIBLECOUNT, 0, 0), 5) << when;
    EXPECT_EQ(tv->Items()->Count(), 12) << when;  // Items counts collapsed nodes too
  };
  check({{"A", "B", "C", "D"}, 0, 0, 0}, "all collapsed: everything fits");

  // The keyboard: Right expands, then goes to the first child; Left collapses, then goes up.
  ClickLabel(tv, Find(tv, "A"));
  ASSERT_TRUE(tv->Focused());
  EXPECT_EQ(tv->Selected(), Find(tv, "A"));
  Key(VK_RIGHT);
  check({{"A", "A1", "A2", "B", "C", "D"}, 5, 5, 0}, "A expanded by Right");
  Key(VK_RIGHT);
  EXPECT_EQ(tv->Selected()->Text(), "A1");
  Key(VK_DOWN);
  Key(VK_RIGHT);
  check({{"A", "A1", "A2", "A2a", "B", "C", "D"}, 6, 5, 0}, "A2 expanded by Right");
  Key(VK_END);
  EXPECT_EQ(tv->Selected()->Text(), "D");
  EXPECT_EQ(tv->TopItem()->Text(), "A2");
  check({{"A", "A1", "A2", "A2a", "B", "C", "D"}, 6, 5, 2}, "End scrolls the last row into view");
  Key(VK_HOME);
  EXPECT_EQ(tv->Selected()->Text(), "A");
  EXPECT_EQ(tv->TopItem()->Text(), "A");
  Key(VK_NEXT);  // a page less one row
  EXPECT_EQ(tv->Selected()->Text(), "B");
  Key(VK_PRIOR);
  EXPECT_EQ(tv->Selected()->Text(), "A");
  Key(VK_DOWN);
  Key(VK_DOWN);
  Key(VK_LEFT);  // A2 collapses
  check({{"A", "A1", "A2", "B", "C", "D"}, 5, 5, 0}, "A2 collapsed by Left");
  Key(VK_LEFT);  // to the parent
  EXPECT_EQ(tv->Selected()->Text(), "A");
  Key(VK_LEFT);
  check({{"A", "B", "C", "D"}, 0, 0, 0}, "A collapsed by Left");
  Key(VK_MULTIPLY);  // the whole subtree
  check({{"A", "A1", "A2", "A2a", "B", "C", "D"}, 6, 5, 0}, "* expands A with its subtree");
  Key(VK_SUBTRACT);
  check({{"A", "B", "C", "D"}, 0, 0, 0}, "- collapses A");
  Key(VK_ADD);
  check({{"A", "A1", "A2", "A2a", "B", "C", "D"}, 6, 5, 0}, "+ expands A (A2 stayed expanded)");
  Key(VK_SUBTRACT);

  // The mouse: a click on the button toggles without selecting; a double click on the label
  // selects and toggles.
  TTreeNode* c = Find(tv, "C");
  ClickButton(tv, c);
  EXPECT_EQ(tv->Selected()->Text(), "A");
  check({{"A", "B", "C", "C1", "C2", "C3", "C4", "C5", "D"}, 8, 5, 0}, "C expanded by its button");
  ClickButton(tv, c);
  check({{"A", "B", "C", "D"}, 0, 0, 0}, "C collapsed by its button");
  DoubleClickLabel(tv, c);
  EXPECT_EQ(tv->Selected(), c);
  check({{"A", "B", "C", "C1", "C2", "C3", "C4", "C5", "D"}, 8, 5, 0}, "C expanded by a double click");
  // A click on the indent or to the right of a label selects nothing.
  clock.Advance(2000);
  ClickAt(tv, 140, c->DisplayRect(false).top + 5);
  EXPECT_EQ(tv->Selected(), c);

  // Scrolling: the messages a skin's bars send, and the wheel.
  SendMessage(h, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(tv->TopItem()->Text(), "B");
  SendMessage(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 4), 0);
  EXPECT_EQ(tv->TopItem()->Text(), "C2");
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 4);
  SendMessage(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 9), 0);  // no further than a full page
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 4);
  SendMessage(h, WM_VSCROLL, SB_PAGEUP, 0);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 0);
  SCROLLINFO pos;
  pos.fMask = SIF_POS;
  pos.nPos = 3;
  SetScrollInfo(h, SB_VERT, &pos, TRUE);  // as the skin does before WM_VSCROLL
  SendMessage(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), 0);
  EXPECT_EQ(tv->TopItem()->Text(), "C1");
  MoveTo(tv, 20, 20);
  headless::Wheel(WHEEL_DELTA);
  Pump();
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 0);
  EXPECT_EQ(tv->TopItem()->Text(), "A");
  headless::Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 3);
  // Collapsing while scrolled pulls the top back so no empty rows show.
  c->Collapse(false);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 0);
  EXPECT_EQ(Info(h, SB_VERT).nMax, 0);
}

TEST_F(TreeViewTest, HorizontalScrollInfoIsTheWidestRowInPixels) {
  TForm* f = NewForm(100, 100, 300, 200);
  TBarlessTree* tv = NewTree(f);
  TTreeNode* a = tv->Items()->Add(nullptr, "short");
  f->Show();
  Pump();
  HWND h = tv->Handle();
  EXPECT_EQ(Info(h, SB_HORZ).nMax, 0);
  // Box font: 5 pixels a Latin character. The row is two indents + text + 4 of padding + 1.
  TTreeNode* wide = tv->Items()->AddChild(a, std::string(40, 'x'));
  EXPECT_EQ(Info(h, SB_HORZ).nMax, 0) << "a collapsed child has no row";
  a->Expand(false);
  SCROLLINFO si = Info(h, SB_HORZ);
  EXPECT_EQ(si.nMax, 2 * 19 + 200 + 4 + 1 - 1);
  EXPECT_EQ(si.nPage, 150u);
  SendMessage(h, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 50), 0);
  EXPECT_EQ(GetScrollPos(h, SB_HORZ), 50);
  EXPECT_EQ(wide->DisplayRect(true).left, 2 * 19 - 50);
  SendMessage(h, WM_HSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(GetScrollPos(h, SB_HORZ), 243 - 150);
  wide->SetText("x");
  EXPECT_EQ(Info(h, SB_HORZ).nMax, 0);
  EXPECT_EQ(GetScrollPos(h, SB_HORZ), 0);
}

TEST_F(TreeViewTest, APlainTreeShowsItsOwnBarsOnlyWhileTheContentOverflows) {
  TForm* f = NewForm(100, 100, 300, 200);
  TTreeView* tv = NewTree<TTreeView>(f);
  f->Show();
  Pump();
  HWND h = tv->Handle();
  EXPECT_EQ(GetWindowLongPtr(h, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);
  for (int i = 0; i < 8; ++i) tv->Items()->Add(nullptr, "n" + std::to_string(i));
  EXPECT_NE(GetWindowLongPtr(h, GWL_STYLE) & WS_VSCROLL, 0);
  EXPECT_EQ(GetWindowLongPtr(h, GWL_STYLE) & WS_HSCROLL, 0);
  EXPECT_LT(tv->ClientWidth(), 150);
  EXPECT_EQ(Info(h, SB_VERT).nMax, 7);
  tv->Items()->Clear();
  EXPECT_EQ(GetWindowLongPtr(h, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);
  EXPECT_EQ(tv->ClientWidth(), 150);
}

TEST_F(TreeViewTest, OnChangingRefusesASelectionFromEveryPath) {
  TForm* f = NewForm(100, 100, 300, 200);
  TBarlessTree* tv = NewTree(f);
  Fill(tv);
  f->Show();
  Pump();
  TTreeNode* a = Find(tv, "A");
  TTreeNode* b = Find(tv, "B");
  TTreeNode* d = Find(tv, "D");
  std::vector<std::string> changes;
  TTreeNode* refused = nullptr;
  tv->OnChanging = [&](TObject*, TTreeNode* n, bool& allow) { allow = n != refused; };
  tv->OnChange = [&](TObject*, TTreeNode* n) { changes.push_back(n ? n->Text() : "(none)"); };

  tv->SetSelected(a);
  EXPECT_EQ(changes, std::vector<std::string>{"A"});
  refused = b;
  tv->SetSelected(b);  // by the program
  b->SetSelected(true);
  EXPECT_EQ(tv->Selected(), a);
  tv->SetFocus();
  Key(VK_DOWN);  // by the keyboard
  EXPECT_EQ(tv->Selected(), a);
  ClickLabel(tv, b);  // by the mouse
  EXPECT_EQ(tv->Selected(), a);
  EXPECT_TRUE(a->Selected());
  EXPECT_FALSE(b->Selected());
  EXPECT_EQ(changes, std::vector<std::string>{"A"});

  ClickLabel(tv, d);
  EXPECT_EQ(tv->Selected(), d);
  refused = nullptr;  // clearing the selection asks too
  tv->SetSelected(nullptr);
  EXPECT_EQ(tv->Selected(), d);
  refused = b;
  tv->SetSelected(nullptr);
  EXPECT_EQ(tv->Selected(), nullptr);
  EXPECT_EQ(changes, (std::vector<std::string>{"A", "D", "(none)"}));
}

TEST_F(TreeViewTest, OnExpandingRefusesOrFillsTheNodeLazily) {
  TForm* f = NewForm(100, 100, 300, 200);
  TBarlessTree* tv = NewTree(f);
  TTreeNode* lazy = tv->Items()->Add(nullptr, "lazy");
  TTreeNode* empty = tv->Items()->Add(nullptr, "empty");
  lazy->SetHasChildren(true);
  empty->SetHasChildren(true);
  f->Show();
  Pump();
  bool allow = false;
  int asked = 0, expanded = 0, collapsed = 0;
  tv->OnExpanding = [&](TObject*, TTreeNode* n, bool& a) {
    ++asked;
    a = allow;
    // The shell tree's way: fill the node the first time it opens.
    if (allow && n == lazy && n->Count() == 0)
      for (const char* s : {"x", "y", "z"}) tv->Items()->AddChild(n, s);
  };
  tv->OnExpanded = [&](TObject*, TTreeNode*) { ++expanded; };
  tv->OnCollapsing = [&](TObject*, TTreeNode*, bool& a) { a = allow; };
  tv->OnCollapsed = [&](TObject*, TTreeNode*) { ++collapsed; };

  ClickButton(tv, lazy);
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(lazy->Expanded());
  EXPECT_TRUE(lazy->HasChildren()) << "a refusal keeps the button";
  EXPECT_EQ(lazy->Count(), 0);
  EXPECT_EQ(expanded, 0);

  allow = true;
  ClickButton(tv, lazy);
  EXPECT_TRUE(lazy->Expanded());
  EXPECT_EQ(RowTexts(tv), (std::vector<std::string>{"lazy", "x", "y", "z", "empty"}));
  EXPECT_EQ(expanded, 1);
  EXPECT_EQ(SendMessage(tv->Handle(), TVM_GETCOUNT, 0, 0), 5);

  allow = false;
  lazy->Collapse(false);
  EXPECT_TRUE(lazy->Expanded()) << "OnCollapsing refused";
  EXPECT_EQ(collapsed, 0);
  allow = true;
  lazy->SetExpanded(false);
  EXPECT_FALSE(lazy->Expanded());
  EXPECT_EQ(collapsed, 1);
  lazy->Expand(false);  // filled already: not filled twice
  EXPECT_EQ(lazy->Count(), 3);

  // Allowed, but nothing came: the button goes and the node stays closed.
  empty->Expand(false);
  EXPECT_FALSE(empty->Expanded());
  EXPECT_FALSE(empty->HasChildren());
  EXPECT_EQ(expanded, 2);
}

TEST_F(TreeViewTest, LabelEditingCommitsWithEnterAndCancelsWithEscape) {
  TForm* f = NewForm(100, 100, 300, 200);
  TBarlessTree* tv = NewTree(f);
  Fill(tv);
  f->Show();
  Pump();
  TTreeNode* b = Find(tv, "B");
  bool allowEdit = true;
  std::vector<std::string> edited;
  tv->OnEditing = [&](TObject*, TTreeNode*, bool& a) { a = allowEdit; };
  tv->OnEdited = [&](TObject*, TTreeNode*, std::string& s) {
    edited.push_back(s);
    s += "!";
  };
  tv->SetSelected(b);

  ASSERT_TRUE(b->EditText());
  EXPECT_TRUE(b->IsEditing());
  EXPECT_TRUE(tv->IsEditing());
  TWinControl* editor = dynamic_cast<TWinControl*>(FindControl(GetFocus()));
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Parent(), tv);
  EXPECT_EQ(editor->Text(), "B");
  for (char32_t ch : std::u32string(U"名字")) headless::TypeChar(ch);  // replaces the selected text
  Key(VK_RETURN);
  EXPECT_FALSE(tv->IsEditing());
  EXPECT_EQ(edited, std::vector<std::string>{"名字"});
  EXPECT_EQ(b->Text(), "名字!") << "OnEdited may change the text";
  EXPECT_TRUE(tv->Focused());
  EXPECT_FALSE(editor->Visible());

  ASSERT_TRUE(b->EditText());
  headless::TypeChar('q');
  Key(VK_ESCAPE);
  EXPECT_FALSE(tv->IsEditing());
  EXPECT_EQ(b->Text(), "名字!");
  EXPECT_EQ(edited.size(), 1u) << "a cancelled edit reports nothing";

  // Leaving the edit for the tree commits it.
  ASSERT_TRUE(b->EditText());
  headless::TypeChar('z');
  Pump();
  ClickLabel(tv, Find(tv, "D"));
  EXPECT_FALSE(tv->IsEditing());
  EXPECT_EQ(b->Text(), "z!");
  EXPECT_EQ(tv->Selected(), Find(tv, "D"));

  allowEdit = false;
  EXPECT_FALSE(b->EditText());
  allowEdit = true;
  tv->SetReadOnly(true);
  EXPECT_FALSE(b->EditText());
  EXPECT_FALSE(tv->IsEditing());

  // Deleting the node being edited cancels the edit.
  tv->SetReadOnly(false);
  ASSERT_TRUE(b->EditText());
  b->Delete();
  EXPECT_FALSE(tv->IsEditing());
  EXPECT_EQ(edited.size(), 2u);
}

TEST_F(TreeViewTest, DeletingTheSelectedNodeMovesTheSelectionAndReportsEveryNode) {
  struct Case {
    const char* selected;
    const char* deleted;
    const char* selectedAfter;  // nullptr: none
    std::vector<std::string> deletions;
  };
  const Case cases[] = {
      {"B", "B", "C", {"B"}},                    // the next sibling
      {"D", "D", "C", {"D"}},                    // else the previous one
      {"A2a", "A2a", "A2", {"A2a"}},             // else the parent
      {"A2a", "A", "B", {"A1", "A2a", "A2", "A"}},  // a subtree holding it: children first
      {"C1", "D", "C1", {"D"}},                  // elsewhere: the selection stays
  };
  int k = 0;
  for (const Case& c : cases) {
    TForm* f = NewForm(100, 100, 300, 200);
    TBarlessTree* tv = NewTree(f, "tv" + std::to_string(k++));
    Fill(tv);
    f->Show();
    Pump();
    tv->FullExpand();
    std::vector<std::string> deletions, changes;
    tv->OnDeletion = [&](TObject*, TTreeNode* n) {
      EXPECT_TRUE(n->Deleting());
      deletions.push_back(n->Text());
    };
    tv->SetSelected(Find(tv, c.selected));
    tv->OnChange = [&](TObject*, TTreeNode* n) { changes.push_back(n ? n->Text() : "(none)"); };
    tv->Items()->Delete(Find(tv, c.deleted));
    EXPECT_EQ(deletions, c.deletions) << c.deleted;
    ASSERT_NE(tv->Selected(), nullptr) << c.deleted;
    EXPECT_EQ(tv->Selected()->Text(), c.selectedAfter) << c.deleted;
    if (std::string(c.selected) != c.selectedAfter) EXPECT_EQ(changes, std::vector<std::string>{c.selectedAfter});
    else EXPECT_TRUE(changes.empty());
    EXPECT_EQ(tv->Items()->Count(), 12 - int(c.deletions.size())) << c.deleted;
    EXPECT_EQ(SendMessage(tv->Handle(), TVM_GETCOUNT, 0, 0), tv->Items()->Count());
    f->Hide();
  }
}

TEST_F(TreeViewTest, ChildrenGoingTakeTheButtonAndClearReportsEverything) {
  TForm* f = NewForm(100, 100, 300, 200);
  TBarlessTree* tv = NewTree(f);
  Fill(tv);
  f->Show();
  Pump();
  tv->FullExpand();
  TTreeNode* c = Find(tv, "C");
  tv->SetSelected(Find(tv, "C4"));
  std::vector<std::string> changes;
  int deletions = 0;
  tv->OnChange = [&](TObject*, TTreeNode* n) { changes.push_back(n ? n->Text() : "(none)"); };
  tv->OnDeletion = [&](TObject*, TTreeNode*) { ++deletions; };
  c->DeleteChildren();
  EXPECT_EQ(deletions, 5);
  EXPECT_EQ(tv->Selected(), c);
  EXPECT_EQ(changes, std::vector<std::string>{"C"}) << "one move, not one per child";
  EXPECT_FALSE(c->HasChildren());
  EXPECT_FALSE(c->Expanded());

  tv->Items()->Clear();
  EXPECT_EQ(deletions, 5 + 7);
  EXPECT_EQ(tv->Selected(), nullptr);
  EXPECT_EQ(changes, (std::vector<std::string>{"C", "(none)"}));
  EXPECT_EQ(tv->Items()->Count(), 0);
  EXPECT_EQ(tv->Items()->GetFirstNode(), nullptr);
  EXPECT_EQ(Info(tv->Handle(), SB_VERT).nMax, 0);
}

TEST_F(TreeViewTest, BadIndexesRaiseTheListErrorAndChangeNothing) {
  TForm* f = NewForm(100, 100, 300, 200);
  TBarlessTree* tv = NewTree(f);
  Fill(tv);
  TTreeNode* a = Find(tv, "A");
  const std::vector<std::string> before = ItemTexts(tv);
  for (int bad : {-1, 12, 1000}) EXPECT_THROW(tv->Items()->Item(bad), EListError) << bad;
  for (int bad : {-1, 2}) EXPECT_THROW(a->Item(bad), EListError) << bad;
  try {
    tv->Items()->Item(12);
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message, "List index out of bounds (12)");
  }
  EXPECT_EQ(ItemTexts(tv), before);
  EXPECT_EQ(a->Item(1)->Text(), "A2");

  // Another tree's node is refused wherever a node is given.
  TBarlessTree* other = NewTree(f, "other");
  TTreeNode* stranger = other->Items()->Add(nullptr, "x");
  EXPECT_THROW(tv->Items()->AddChild(stranger, "y"), ETreeViewError);
  EXPECT_THROW(tv->Items()->Delete(stranger), ETreeViewError);
  EXPECT_THROW(tv->SetSelected(stranger), ETreeViewError);
  EXPECT_THROW(a->MoveTo(stranger, naAdd), ETreeViewError);
  EXPECT_EQ(ItemTexts(tv), before);
  EXPECT_EQ(other->Items()->Count(), 1);
}

TEST_F(TreeViewTest, MovingANodeKeepsItsSubtreeAndNeverGoesUnderItself) {
  TForm* f = NewForm(100, 100, 300, 200);
  TBarlessTree* tv = NewTree(f);
  Fill(tv);
  TTreeNode* a = Find(tv, "A");
  TTreeNode* a2 = Find(tv, "A2");
  const std::vector<std::string> before = ItemTexts(tv);
  EXPECT_THROW(a->MoveTo(a2, naAddChild), ETreeViewError);
  EXPECT_THROW(a->MoveTo(Find(tv, "A2a"), naAdd), ETreeViewError);  // A2a's siblings are under A
  EXPECT_THROW(a->MoveTo(a, naAddChildFirst), ETreeViewError);
  EXPECT_EQ(ItemTexts(tv), before);

  struct Case {
    const char* node;
    const char* destination;
    TNodeAttachMode mode;
    std::vector<std::string> after;
  };
  const Case cases[] = {
      {"A2", "D", naAddChild, {"A", "A1", "B", "C", "C1", "C2", "C3", "C4", "C5", "D", "A2", "A2a"}},
      {"D", "A", naInsert, {"D", "A", "A1", "A2", "A2a", "B", "C", "C1", "C2", "C3", "C4", "C5"}},
      {"C3", "A1", naAddFirst, {"A", "C3", "A1", "A2", "A2a", "B", "C", "C1", "C2", "C4", "C5", "D"}},
      {"A", "B", naAdd, {"B", "C", "C1", "C2", "C3", "C4", "C5", "D", "A", "A1", "A2", "A2a"}},
      {"A2a", nullptr, naAddChildFirst, {"A2a", "A", "A1", "A2", "B", "C", "C1", "C2", "C3", "C4", "C5", "D"}},
  };
  for (const Case& c : cases) {
    tv->Items()->Clear();
    Fill(tv);
    TTreeNode* n = Find(tv, c.node);
    TTreeNode* oldParent = n->Parent();
    n->MoveTo(c.destination ? Find(tv, c.destination) : nullptr, c.mode);
    EXPECT_EQ(ItemTexts(tv), c.after) << c.node << " to " << (c.destination ? c.destination : "top");
    if (oldParent && oldParent->Count() == 0) {
      EXPECT_FALSE(oldParent->HasChildren()) << c.node;
    }
    if (n->Parent()) {
      EXPECT_TRUE(n->Parent()->HasChildren()) << c.node;
    }
  }
}

TEST_F(TreeViewTest, NodeNavigationFollowsDisplayOrder) {
  TForm* f = NewForm(100, 100, 300, 200);
  TBarlessTree* tv = NewTree(f);
  Fill(tv);
  TTreeNode* a = Find(tv, "A");
  TTreeNode* a2a = Find(tv, "A2a");
  EXPECT_EQ(a2a->Level(), 2);
  EXPECT_EQ(a2a->Parent()->Text(), "A2");
  EXPECT_EQ(a2a->AbsoluteIndex(), 3);
  EXPECT_EQ(a2a->GetNext()->Text(), "B");
  EXPECT_EQ(Find(tv, "B")->GetPrev()->Text(), "A2a");
  EXPECT_EQ(a->GetFirstChild()->Text(), "A1");
  EXPECT_EQ(a->GetLastChild()->Text(), "A2");
  EXPECT_EQ(Find(tv, "C3")->Index(), 2);
  EXPECT_EQ(Find(tv, "C3")->GetPrevSibling()->Text(), "C2");
  EXPECT_EQ(Find(tv, "C5")->GetNextSibling(), nullptr);
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_FALSE(a2a->IsVisible());
  EXPECT_EQ(a->GetNextVisible()->Text(), "B");
  EXPECT_EQ(a2a->GetNextVisible(), nullptr);
  a2a->MakeVisible();
  EXPECT_TRUE(a->Expanded());
  EXPECT_TRUE(a2a->IsVisible());
  EXPECT_EQ(a2a->GetPrevVisible()->Text(), "A2");
  // The program's order: inserted, first, and sorted.
  tv->Items()->Insert(Find(tv, "B"), "AB");
  tv->Items()->AddChildFirst(a, "A0");
  EXPECT_EQ(a->GetFirstChild()->Text(), "A0");
  EXPECT_EQ(a->GetNextSibling()->Text(), "AB");
  a->CustomSort([](TTreeNode* x, TTreeNode* y) { return y->Text().compare(x->Text()); });
  EXPECT_EQ(a->GetFirstChild()->Text(), "A2");
}

TEST_F(TreeViewTest, RightClickSelectsOnlyWhenAsked) {
  TForm* f = NewForm(100, 100, 300, 200);
  TBarlessTree* tv = NewTree(f);
  Fill(tv);
  f->Show();
  Pump();
  TTreeNode* b = Find(tv, "B");
  TRect r = b->DisplayRect(true);
  TPoint p = tv->ClientToScreen(TPoint{r.left + 3, r.top + 5});
  headless::Click(p.x, p.y, 1);
  Pump();
  EXPECT_EQ(tv->Selected(), nullptr);
  tv->SetRightClickSelect(true);
  clock.Advance(2000);
  headless::Click(p.x, p.y, 1);
  Pump();
  EXPECT_EQ(tv->Selected(), b);
}

class TTreeForm1 : public TForm, public IFormBindings {
public:
  using TForm::TForm;
  void DeclareBindings(THandlerTable& T) override {
    T.Add("TreeView1Expanding", this, &TTreeForm1::TreeView1Expanding);
    T.Add("TreeView1Change", this, &TTreeForm1::TreeView1Change);
    T.Field("TreeView1", TreeView1);
    T.Field("ImageList1", ImageList1);
  }
  void TreeView1Expanding(TObject*, TTreeNode*, bool& allow) { allow = false; }
  void TreeView1Change(TObject*, TTreeNode*) { ++Changes; }
  TTreeView* TreeView1 = nullptr;
  TImageList* ImageList1 = nullptr;
  int Changes = 0;
};

TEST_F(TreeViewTest, ReadsItsPropertiesAndEventsFromAFormDescription) {
  const char* text =
      "object TreeForm1: TTreeForm1\n"
      "  BorderStyle = bsNone\n"
      "  object ImageList1: TImageList\n"
      "    Width = 12\n"
      "    Height = 12\n"
      "  end\n"
      "  object TreeView1: TTreeView\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 200\n"
      "    Height = 150\n"
      "    Images = ImageList1\n"
      "    Indent = 23\n"
      "    ShowRoot = False\n"
      "    ShowLines = False\n"
      "    HideSelection = False\n"
      "    ReadOnly = True\n"
      "    RightClickSelect = True\n"
      "    BorderStyle = bsNone\n"
      "    OnChange = TreeView1Change\n"
      "    OnExpanding = TreeView1Expanding\n"
      "  end\n"
      "end\n";
  auto* form = new TTreeForm1(owner.get());
  ReadFormDescription(form, text, "tree.dfm");
  TTreeView* tv = form->TreeView1;
  ASSERT_TRUE(tv && form->ImageList1);
  EXPECT_EQ(tv->Images(), form->ImageList1);
  EXPECT_EQ(tv->Indent(), 23);
  EXPECT_FALSE(tv->ShowRoot());
  EXPECT_FALSE(tv->ShowLines());
  EXPECT_TRUE(tv->ShowButtons());
  EXPECT_FALSE(tv->HideSelection());
  EXPECT_TRUE(tv->ReadOnly());
  EXPECT_TRUE(tv->RightClickSelect());
  EXPECT_EQ(tv->BorderStyle(), bsNone);
  TTreeNode* n = tv->Items()->Add(nullptr, "n");
  tv->Items()->AddChild(n, "m");
  n->Expand(false);
  EXPECT_FALSE(n->Expanded());
  tv->SetSelected(n);
  EXPECT_EQ(form->Changes, 1);
  // The image list going takes it off the tree.
  delete form->ImageList1;
  EXPECT_EQ(tv->Images(), nullptr);
}

// The plain look with lines, buttons, images, a selected node and Chinese labels, composed into
// tree-view.png in the build folder.
TEST_F(TreeViewTest, PlainLookPicture) {
  TForm* f = NewForm(0, 0, 420, 230);
  f->SetColor(clBtnFace);
  auto* images = new TImageList(owner.get());
  images->SetSize(16, 16);
  for (TColor c : {clYellow, clTeal}) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(clFuchsia);
    b.Canvas()->FillRect(Rect(0, 0, 16, 16));
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->FillRect(Rect(1, 3, 15, 14));
    b.Canvas()->Brush()->SetColor(clOlive);
    b.Canvas()->FrameRect(Rect(1, 3, 15, 14));
    images->AddMasked(&b, clFuchsia);
  }
  auto* tv = Make<TTreeView>(f, "tv", 10, 10, 190, 210);
  tv->Font()->SetName("宋体");
  tv->Font()->SetHeight(-12);
  tv->SetImages(images);
  TTreeNodes* items = tv->Items();
  TTreeNode* desk = items->Add(nullptr, "桌面");
  desk->SetSelectedIndex(1);
  TTreeNode* pc = items->AddChild(desk, "我的电脑");
  TTreeNode* disk = items->AddChild(pc, "本地磁盘 (C:)");
  items->AddChild(disk, "Windows");
  items->AddChild(pc, "光盘驱动器");
  TTreeNode* docs = items->AddChild(desk, "我的文档");
  docs->SetSelectedIndex(1);
  items->AddChild(docs, "视频");
  items->AddChild(docs, "音乐");
  TTreeNode* out = items->AddChild(desk, "输出");
  out->SetSelectedIndex(1);
  TTreeNode* lazy = items->AddChild(desk, "网上邻居");
  lazy->SetHasChildren(true);
  desk->Expand(false);
  pc->Expand(false);

  // An unfocused tree beside it that keeps showing its selection.
  auto* tv2 = Make<TTreeView>(f, "tv2", 210, 10, 200, 210);
  tv2->Font()->Assign(tv->Font());
  tv2->SetHideSelection(false);
  tv2->SetShowRoot(false);
  TTreeNode* r2 = tv2->Items()->Add(nullptr, "转换任务");
  for (const char* s : {"第一段.avi", "第二段.mp4", "第三段.wmv"}) tv2->Items()->AddChild(r2, s);
  r2->Expand(false);
  std::set<std::string> askedImage, askedSelected;
  tv->OnGetImageIndex = [&](TObject*, TTreeNode* n) { askedImage.insert(n->Text()); };
  tv->OnGetSelectedIndex = [&](TObject*, TTreeNode* n) { askedSelected.insert(n->Text()); };
  f->Show();
  tv->SetFocus();
  tv->SetSelected(out);
  tv2->SetSelected(r2->Item(1));
  Pump();
  std::string path = std::string(OMBREL_TEST_BUILD_DIR) + "/tree-view.png";
  ASSERT_TRUE(headless::SaveScreenPng(path));

  // Each painted row asks for its image, the selected one for its selected image.
  EXPECT_EQ(askedSelected, std::set<std::string>{"输出"});
  EXPECT_TRUE(askedImage.count("网上邻居") && askedImage.count("本地磁盘 (C:)"));
  EXPECT_FALSE(askedImage.count("Windows")) << "a hidden row is not painted";

  HWND h = tv->Handle();
  auto at = [&](HWND w, int x, int y) { return Rgb(headless::PixelAt(w, 2 + x, 2 + y)); };  // client → window
  // The expanded root's button: a grey frame around a minus; the collapsed network node's: a plus.
  TRect dr = desk->DisplayRect(false);
  int cx = tv->Indent() / 2, cy = (dr.top + dr.bottom) / 2;
  EXPECT_EQ(dr.bottom - dr.top, tv->ItemHeight());
  EXPECT_EQ(at(h, cx - 4, cy - 4), Px(clBtnShadow));
  EXPECT_EQ(at(h, cx + 4, cy + 4), Px(clBtnShadow));
  EXPECT_EQ(at(h, cx - 2, cy), Px(clWindowText));
  EXPECT_EQ(at(h, cx, cy - 2), Px(clWindow)) << "an expanded node shows a minus";
  TRect lr = lazy->DisplayRect(false);
  int lx = tv->Indent() + tv->Indent() / 2, ly = (lr.top + lr.bottom) / 2;
  EXPECT_EQ(at(h, lx, ly - 2), Px(clWindowText)) << "a collapsed node shows a plus";
  EXPECT_EQ(at(h, lx - 4, ly), Px(clBtnShadow));
  // A dotted line runs down the root's children's column between the buttons.
  int dotted = 0;
  for (int y = lr.top - 14; y < lr.top; ++y) dotted += at(h, lx, y) == Px(clGrayText);
  EXPECT_GE(dotted, 5);
  // The selection: highlight behind the focused label, the selected image beside it.
  TRect sel = out->DisplayRect(true);
  EXPECT_EQ(at(h, sel.right - 2, sel.top + 1), Px(clHighlight));
  EXPECT_EQ(at(h, sel.left - 2 - 8, (sel.top + sel.bottom) / 2), Px(clTeal));
  EXPECT_EQ(at(h, docs->DisplayRect(true).left - 2 - 8, (docs->DisplayRect(true).top + docs->DisplayRect(true).bottom) / 2),
            Px(clYellow));
  // The unfocused tree keeps its selection in the button face colour.
  TRect sel2 = r2->Item(1)->DisplayRect(true);
  EXPECT_EQ(at(tv2->Handle(), sel2.right - 2, sel2.top + 1), Px(clBtnFace));
}

}  // namespace
