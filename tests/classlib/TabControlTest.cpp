// The tab control and the page control on the headless backend: tab geometry with item sizes
// and image-list room, the page area, single and multiple rows, side tabs, scrolling a row,
// switching pages by mouse and keyboard, hidden tabs, bad indexes, a form description, and a
// picture of the plain look.
//
// The box test font at height -10 makes every Latin character 5 pixels wide and a line 10
// pixels high, so a tab is 5 * characters + 12 long and a row 16 thick.
#include <functional>

#include "base/Exception.h"
#include "classlib/EditCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Streaming.h"
#include "classlib/TabCtrls.h"
#include "classlib/graphics/ImageList.h"
#include "tests/classlib/ControlTestFixture.h"

using namespace ctltest;

namespace {

void BoxFont(TControl* c) {
  c->Font()->SetName(kTestBoxFontName);
  c->Font()->SetHeight(-10);
}

RECT ItemRect(HWND h, int i) {
  RECT r{-1, -1, -1, -1};
  EXPECT_TRUE(SendMessage(h, TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r))) << i;
  return r;
}

RECT Adjust(HWND h, RECT r, bool toWindow) {
  SendMessage(h, TCM_ADJUSTRECT, toWindow ? TRUE : FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
std::string Show(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}
#define EXPECT_RECT(actual, ...) \
  EXPECT_PRED2(Same, actual, (RECT{__VA_ARGS__})) << Show(actual)

class TabControlTest : public ControlTest {
protected:
  TPageControl* NewPages(TWinControl* parent, const std::vector<std::string>& captions, int w = 200, int h = 100,
                         const std::string& name = "pc") {
    auto* pc = Make<TPageControl>(parent, name, 10, 10, w, h);
    BoxFont(pc);
    for (size_t i = 0; i < captions.size(); ++i) {
      auto* s = new TTabSheet(owner.get());
      s->SetName(name == "pc" ? "s" + std::to_string(i) : name + "s" + std::to_string(i));
      s->SetCaption(captions[i]);
      s->SetPageControl(pc);
    }
    return pc;
  }
  TTabControl* NewTabs(TWinControl* parent, int count, int w, int h) {
    auto* tc = Make<TTabControl>(parent, "tc", 10, 10, w, h);
    BoxFont(tc);
    for (int i = 1; i <= count; ++i) tc->Tabs()->Add("Tab" + std::to_string(i));
    return tc;
  }
  TCustomImageList* NewImages(int w, int h) {
    auto* il = new TImageList(owner.get());
    il->SetSize(w, h);
    return il;
  }
};

TEST_F(TabControlTest, ItemRectsPageAreaItemSizeAndImageRoom) {
  TForm* f = NewForm(100, 100, 300, 260);
  TPageControl* pc = NewPages(f, {"A", "BB", "CCC"}, 200, 200);
  f->Show();
  Pump();
  HWND h = pc->Handle();
  EXPECT_EQ(SendMessage(h, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_RECT(ItemRect(h, 0), 2, 2, 19, 18);
  EXPECT_RECT(ItemRect(h, 1), 19, 2, 41, 18);
  EXPECT_RECT(ItemRect(h, 2), 41, 2, 68, 18);
  EXPECT_EQ(pc->TabRect(2), TRect(41, 2, 68, 18));
  RECT none{};
  EXPECT_FALSE(SendMessage(h, TCM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&none)));

  // The page area: under the row, 4 pixels inside the frame; and back again.
  EXPECT_RECT(Adjust(h, RECT{0, 0, 200, 200}, false), 4, 22, 196, 196);
  EXPECT_RECT(Adjust(h, RECT{4, 22, 196, 196}, true), 0, 0, 200, 200);
  EXPECT_EQ(pc->DisplayRect(), TRect(4, 22, 196, 196));
  EXPECT_EQ(pc->ActivePage()->BoundsRect(), TRect(4, 22, 196, 196));

  // Sizes given to the window; the answer is the pair given before.
  EXPECT_EQ(SendMessage(h, TCM_SETITEMSIZE, 0, MAKELPARAM(40, 20)), 0);
  EXPECT_RECT(ItemRect(h, 1), 42, 2, 82, 22);
  EXPECT_RECT(Adjust(h, RECT{0, 0, 200, 200}, false), 4, 26, 196, 196);
  EXPECT_EQ(SendMessage(h, TCM_SETITEMSIZE, 0, MAKELPARAM(40, 0)), MAKELPARAM(40, 20));

  // An image list makes every tab longer by its width, read when the tabs are laid out; the
  // row grows to the images' height.
  TCustomImageList* il = NewImages(16, 16);
  pc->SetImages(il);
  EXPECT_EQ(SendMessage(h, TCM_GETIMAGELIST, 0, 0), reinterpret_cast<LRESULT>(il));
  EXPECT_RECT(ItemRect(h, 1), 58, 2, 114, 24);
  il->SetWidth(24);
  EXPECT_RECT(ItemRect(h, 1), 66, 2, 130, 24);

  // Side tabs take the room from the images' height and their thickness from the width.
  pc->SetTabPosition(tpLeft);
  EXPECT_RECT(ItemRect(h, 0), 2, 2, 32, 58);
  EXPECT_RECT(ItemRect(h, 1), 2, 58, 32, 114);
  EXPECT_EQ(pc->DisplayRect(), TRect(36, 4, 196, 196));
  EXPECT_EQ(pc->ActivePage()->BoundsRect(), TRect(36, 4, 196, 196));

  // A freed image list leaves the tabs without room.
  delete il;
  EXPECT_EQ(pc->Images(), nullptr);
  EXPECT_EQ(SendMessage(h, TCM_GETIMAGELIST, 0, 0), 0);
  EXPECT_RECT(ItemRect(h, 1), 2, 42, 18, 82);
}

TEST_F(TabControlTest, TabWidthAndHeightPropertiesSizeTabsAndPages) {
  TForm* f = NewForm(100, 100, 300, 200);
  TPageControl* pc = NewPages(f, {"A", "BB"});
  pc->SetTabWidth(50);
  pc->SetTabHeight(24);
  f->Show();
  Pump();
  EXPECT_EQ(pc->TabRect(1), TRect(52, 2, 102, 26));
  EXPECT_EQ(pc->ActivePage()->BoundsRect(), TRect(4, 30, 196, 96));
  pc->SetTabHeight(0);
  EXPECT_EQ(pc->ActivePage()->BoundsRect(), TRect(4, 22, 196, 96));
}

TEST_F(TabControlTest, PagesSwitchByClickAndKeyboardAndOnChangingCanRefuse) {
  TForm* f = NewForm(100, 100, 300, 200);
  TPageControl* pc = NewPages(f, {"A", "BB", "CCC"});
  std::vector<std::string> log;
  bool refuse = false;
  pc->OnChanging = [&](TObject*, bool& allow) {
    log.push_back("changing from " + pc->ActivePage()->Name());
    if (refuse) allow = false;
  };
  pc->OnChange = [&](TObject*) { log.push_back("change to " + pc->ActivePage()->Name()); };
  auto* edit = Make<TEdit>(pc->Pages(2), "edit", 5, 5, 80, 20);
  f->Show();
  Pump();
  TTabSheet* s0 = pc->Pages(0);
  TTabSheet* s1 = pc->Pages(1);
  TTabSheet* s2 = pc->Pages(2);
  EXPECT_EQ(pc->ActivePage(), s0);
  EXPECT_TRUE(s0->Visible());

  ClickAt(pc, 30, 10);
  EXPECT_EQ(pc->ActivePage(), s1);
  EXPECT_EQ(pc->TabIndex(), 1);
  EXPECT_EQ(log, (std::vector<std::string>{"changing from s0", "change to s1"}));
  EXPECT_TRUE(s1->Visible());
  EXPECT_FALSE(s0->Visible());
  EXPECT_TRUE(pc->Focused());

  // Refused: the tab and the page stay.
  log.clear();
  refuse = true;
  ClickAt(pc, 50, 10);
  EXPECT_EQ(pc->ActivePage(), s1);
  EXPECT_EQ(pc->TabIndex(), 1);
  headless::PressKey(VK_RIGHT);
  Pump();
  EXPECT_EQ(pc->ActivePage(), s1);
  EXPECT_EQ(log, (std::vector<std::string>{"changing from s1", "changing from s1"}));

  // Arrow keys go one tab at a time and stop at the ends.
  refuse = false;
  log.clear();
  headless::PressKey(VK_RIGHT);
  Pump();
  EXPECT_EQ(pc->ActivePage(), s2);
  headless::PressKey(VK_RIGHT);
  Pump();
  EXPECT_EQ(pc->ActivePage(), s2);
  headless::PressKey(VK_LEFT);
  Pump();
  EXPECT_EQ(pc->ActivePage(), s1);
  EXPECT_EQ(log, (std::vector<std::string>{"changing from s1", "change to s2", "changing from s2", "change to s1"}));

  // Ctrl+Tab goes round; Ctrl+Shift+Tab goes back.
  headless::KeyDown(VK_CONTROL);
  headless::PressKey(VK_TAB);
  Pump();
  EXPECT_EQ(pc->ActivePage(), s2);
  headless::PressKey(VK_TAB);
  Pump();
  EXPECT_EQ(pc->ActivePage(), s0);
  headless::KeyDown(VK_SHIFT);
  headless::PressKey(VK_TAB);
  Pump();
  EXPECT_EQ(pc->ActivePage(), s2);
  headless::KeyUp(VK_SHIFT);

  // From a control on the page as well; the focus leaves the page that goes out of sight.
  edit->SetFocus();
  Pump();
  ASSERT_TRUE(edit->Focused());
  refuse = true;
  headless::PressKey(VK_TAB);
  Pump();
  EXPECT_EQ(pc->ActivePage(), s2);
  EXPECT_TRUE(edit->Focused());
  refuse = false;
  headless::PressKey(VK_TAB);
  Pump();
  headless::KeyUp(VK_CONTROL);
  Pump();
  EXPECT_EQ(pc->ActivePage(), s0);
  EXPECT_FALSE(s2->Visible());
  EXPECT_TRUE(pc->Focused());

  // Setting the page in code announces nothing.
  log.clear();
  pc->SetActivePage(s1);
  pc->SetActivePageIndex(2);
  EXPECT_EQ(pc->ActivePage(), s2);
  EXPECT_EQ(pc->TabIndex(), 2);
  EXPECT_TRUE(log.empty());
}

// An OnChanging handler that raises refuses the change; the error goes to the application.
TEST_F(TabControlTest, FailingOnChangingKeepsTheTab) {
  TForm* f = NewForm(100, 100, 300, 200);
  TPageControl* pc = NewPages(f, {"A", "BB", "CCC"});
  int changes = 0;
  pc->OnChanging = [](TObject*, bool&) { throw Exception("no change now"); };
  pc->OnChange = [&](TObject*) { ++changes; };
  std::string seen;
  TExceptionEvent old = Application->OnException;
  Application->OnException = [&](TObject*, const std::exception& e) { seen = e.what(); };
  f->Show();
  Pump();
  ClickAt(pc, 30, 10);
  Application->OnException = old;
  EXPECT_EQ(pc->TabIndex(), 0);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(0));
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(seen, "no change now");
}

TEST_F(TabControlTest, TabControlKeepsTabsWithoutWindowAndReportsUserChanges) {
  auto* tc = new TTabControl(owner.get());
  BoxFont(tc);
  tc->Tabs()->Add("one");
  EXPECT_EQ(tc->TabIndex(), 0);  // the first tab is selected
  tc->Tabs()->Add("two");
  tc->Tabs()->Add("three");
  tc->SetTabIndex(2);
  tc->Tabs()->Delete(2);  // the selection moves to the tab before
  EXPECT_EQ(tc->TabIndex(), 1);
  EXPECT_FALSE(tc->HandleAllocated());

  TForm* f = NewForm(100, 100, 300, 200);
  tc->SetBounds(10, 10, 200, 80);
  tc->SetParent(f);
  int changes = 0;
  tc->OnChange = [&](TObject*) { ++changes; };
  f->Show();
  Pump();
  HWND h = tc->Handle();
  EXPECT_EQ(SendMessage(h, TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessage(h, TCM_GETCURSEL, 0, 0), 1);
  char buf[8];
  TCITEM it;
  it.mask = TCIF_TEXT;
  it.pszText = buf;
  it.cchTextMax = sizeof buf;
  ASSERT_TRUE(SendMessage(h, TCM_GETITEM, 0, reinterpret_cast<LPARAM>(&it)));
  EXPECT_STREQ(buf, "one");
  ClickAt(tc, 5, 10);
  EXPECT_EQ(tc->TabIndex(), 0);
  EXPECT_EQ(changes, 1);
  // TCM_SETCURSEL answers the previous tab and announces nothing.
  EXPECT_EQ(SendMessage(h, TCM_SETCURSEL, 1, 0), 0);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(SendMessage(h, TCM_SETCURSEL, 5, 0), -1);
  EXPECT_EQ(tc->TabIndex(), 1);
}

TEST_F(TabControlTest, TabTextIsCutAtWholeCharacters) {
  TForm* f = NewForm();
  auto* tc = Make<TTabControl>(f, "tc", 0, 0, 150, 60);
  tc->Tabs()->Add("视频ab");
  f->Show();
  char buf[6];
  TCITEM it;
  it.mask = TCIF_TEXT;
  it.pszText = buf;
  it.cchTextMax = sizeof buf;  // room for 5 bytes: one ideograph and two bytes of the next
  ASSERT_TRUE(SendMessage(tc->Handle(), TCM_GETITEM, 0, reinterpret_cast<LPARAM>(&it)));
  EXPECT_STREQ(buf, "视");
}

TEST_F(TabControlTest, HiddenTabsKeepTheActivePageSensible) {
  TForm* f = NewForm(100, 100, 300, 200);
  TPageControl* pc = NewPages(f, {"A", "B", "C"});
  f->Show();
  Pump();
  TTabSheet* s0 = pc->Pages(0);
  TTabSheet* s1 = pc->Pages(1);
  TTabSheet* s2 = pc->Pages(2);
  int changes = 0;
  pc->OnChange = [&](TObject*) { ++changes; };
  pc->SetActivePage(s1);

  // The active page's tab goes: the next tab's page takes over.
  s1->SetTabVisible(false);
  EXPECT_EQ(pc->Tabs()->Count(), 2);
  EXPECT_EQ(pc->Tabs()->Get(1), "C");
  EXPECT_EQ(s1->TabIndex(), -1);
  EXPECT_EQ(s2->TabIndex(), 1);
  EXPECT_EQ(pc->ActivePage(), s2);
  EXPECT_EQ(pc->TabIndex(), 1);
  EXPECT_TRUE(s2->Visible());
  EXPECT_FALSE(s1->Visible());
  // The last tab goes: the one before it.
  s2->SetTabVisible(false);
  EXPECT_EQ(pc->ActivePage(), s0);
  // No tab left: no page.
  s0->SetTabVisible(false);
  EXPECT_EQ(pc->ActivePage(), nullptr);
  EXPECT_EQ(pc->TabIndex(), -1);
  EXPECT_FALSE(s0->Visible());
  // A tab that comes back alone is selected with its page.
  s1->SetTabVisible(true);
  EXPECT_EQ(pc->ActivePage(), s1);
  EXPECT_EQ(pc->TabIndex(), 0);
  s2->SetTabVisible(true);
  EXPECT_EQ(pc->Tabs()->Get(1), "C");
  EXPECT_EQ(pc->ActivePage(), s1);

  // A page without a tab can still be shown; other tabs coming and going leave it.
  pc->SetActivePage(s0);
  EXPECT_EQ(pc->TabIndex(), -1);
  EXPECT_TRUE(s0->Visible());
  s2->SetTabVisible(false);
  s2->SetTabVisible(true);
  EXPECT_EQ(pc->ActivePage(), s0);
  EXPECT_EQ(pc->FindNextPage(s0, true, true), s1);
  EXPECT_EQ(pc->FindNextPage(s0, false, true), s2);
  EXPECT_EQ(pc->FindNextPage(s1, false, false), s0);
  EXPECT_EQ(pc->FindNextPage(nullptr, true, true), s1);
  pc->SelectNextPage(true);
  EXPECT_EQ(pc->ActivePage(), s1);
  EXPECT_EQ(changes, 1);

  // Moving a page moves its tab; the selection stays on the active page.
  s2->SetPageIndex(0);
  EXPECT_EQ(pc->Pages(0), s2);
  EXPECT_EQ(pc->Tabs()->Get(0), "C");
  EXPECT_EQ(pc->TabIndex(), s1->TabIndex());
  EXPECT_EQ(pc->ActivePage(), s1);

  // A renamed page renames its tab; a freed page leaves the control, its neighbour shows.
  s1->SetCaption("Bee");
  EXPECT_EQ(pc->Tabs()->Get(1), "Bee");
  delete s1;
  EXPECT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(pc->Tabs()->Count(), 1);
  EXPECT_EQ(pc->ActivePage(), s2);
  // A sheet handed to no page control leaves it.
  s2->SetPageControl(nullptr);
  EXPECT_EQ(pc->PageCount(), 1);
  EXPECT_EQ(pc->ActivePage(), nullptr);
  EXPECT_EQ(s2->Parent(), nullptr);
  delete s2;
}

TEST_F(TabControlTest, MultipleRowsPutTheSelectedRowNextToThePage) {
  TForm* f = NewForm(100, 100, 300, 200);
  TTabControl* tc = NewTabs(f, 6, 100, 120);  // tabs 32 long, three to a row
  tc->SetMultiLine(true);
  f->Show();
  Pump();
  EXPECT_EQ(tc->RowCount(), 2);
  EXPECT_EQ(tc->TabRect(0), TRect(2, 18, 34, 34));
  EXPECT_EQ(tc->TabRect(5), TRect(66, 2, 98, 18));
  EXPECT_EQ(tc->DisplayRect(), TRect(4, 38, 96, 116));

  tc->SetTabIndex(4);
  EXPECT_EQ(tc->TabRect(4), TRect(34, 18, 66, 34));
  EXPECT_EQ(tc->TabRect(0), TRect(2, 2, 34, 18));
  // A click on a tab of the far row brings that row down.
  ClickAt(tc, 10, 10);
  EXPECT_EQ(tc->TabIndex(), 0);
  EXPECT_EQ(tc->TabRect(0), TRect(2, 18, 34, 34));

  // A short row is stretched to the full width, unless the edge may be ragged.
  tc->Tabs()->Delete(5);
  EXPECT_EQ(tc->TabRect(3), TRect(2, 2, 50, 18));
  EXPECT_EQ(tc->TabRect(4), TRect(50, 2, 98, 18));
  tc->SetRaggedRight(true);
  EXPECT_EQ(tc->TabRect(4), TRect(34, 2, 66, 18));
  // Everything in one row: nothing is stretched.
  tc->SetWidth(200);
  EXPECT_EQ(tc->RowCount(), 1);
  tc->SetRaggedRight(false);
  EXPECT_EQ(tc->TabRect(4), TRect(130, 2, 162, 18));
}

TEST_F(TabControlTest, SideTabsAreHitTested) {
  TForm* f = NewForm(100, 100, 300, 200);
  TPageControl* pc = NewPages(f, {"A", "BB", "CCC"}, 200, 150);
  pc->SetTabPosition(tpLeft);
  f->Show();
  Pump();
  EXPECT_EQ(pc->TabRect(0), TRect(2, 2, 18, 19));
  EXPECT_EQ(pc->TabRect(2), TRect(2, 41, 18, 68));
  EXPECT_EQ(pc->DisplayRect(), TRect(22, 4, 196, 146));
  EXPECT_EQ(pc->ActivePage()->BoundsRect(), TRect(22, 4, 196, 146));

  struct Case {
    int x, y, tab;
    TTabHitTests info;
  };
  const Case cases[] = {
      {10, 30, 1, TTabHitTests{thtOnItem, thtOnLabel}},
      {1, 20, 0, TTabHitTests{thtOnItem, thtOnLabel}},  // the selected tab is drawn larger
      {10, 100, -1, TTabHitTests{thtNowhere}},
      {-5, 10, -1, TTabHitTests{thtToLeft}},
      {300, 160, -1, TTabHitTests{thtToRight, thtBelow}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pc->IndexOfTabAt(c.x, c.y), c.tab) << c.x << "," << c.y;
    EXPECT_EQ(pc->GetHitTestInfoAt(c.x, c.y), c.info) << c.x << "," << c.y;
  }
  TCHITTESTINFO info;
  info.pt = POINT{10, 50};
  EXPECT_EQ(SendMessage(pc->Handle(), TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), 2);
  EXPECT_EQ(info.flags, TCHT_ONITEMLABEL);
  ClickAt(pc, 10, 50);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(2));

  pc->SetTabPosition(tpRight);
  EXPECT_EQ(pc->TabRect(1), TRect(182, 19, 198, 41));
  EXPECT_EQ(pc->IndexOfTabAt(190, 30), 1);
  EXPECT_EQ(pc->DisplayRect(), TRect(4, 4, 178, 146));
  ClickAt(pc, 190, 30);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(1));

  pc->SetTabPosition(tpBottom);
  EXPECT_EQ(pc->TabRect(0), TRect(2, 132, 19, 148));
  EXPECT_EQ(pc->DisplayRect(), TRect(4, 4, 196, 128));
  EXPECT_EQ(pc->IndexOfTabAt(10, 140), 0);
}

TEST_F(TabControlTest, SingleRowScrollsByHScrollAndArrows) {
  TForm* f = NewForm(100, 100, 300, 200);
  TTabControl* tc = NewTabs(f, 8, 100, 60);  // tabs 32 long; the arrows take the last 32 pixels
  f->Show();
  Pump();
  HWND h = tc->Handle();
  EXPECT_EQ(tc->TabRect(0), TRect(2, 2, 34, 18));
  SendMessage(h, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), 0);
  EXPECT_EQ(tc->TabRect(3).left, 0);
  EXPECT_EQ(tc->TabRect(2).right, 0);
  // No further than the last tab showing whole before the arrows.
  SendMessage(h, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 7), 0);
  EXPECT_EQ(tc->TabRect(6).left, 0);
  EXPECT_EQ(tc->TabRect(7).right, 64);
  tc->ScrollTabs(-2);
  EXPECT_EQ(tc->TabRect(4).left, 0);

  // The arrows: not a tab; a click scrolls by one.
  EXPECT_EQ(tc->IndexOfTabAt(75, 10), -1);
  ClickAt(tc, 90, 10);
  EXPECT_EQ(tc->TabRect(5).left, 0);
  ClickAt(tc, 75, 10);
  EXPECT_EQ(tc->TabRect(4).left, 0);
  EXPECT_EQ(tc->TabIndex(), 0);
  ClickAt(tc, 10, 10);
  EXPECT_EQ(tc->TabIndex(), 4);

  // A selected tab is scrolled into view.
  tc->SetTabIndex(0);
  EXPECT_EQ(tc->TabRect(0).left, 2);
  tc->SetTabIndex(7);
  EXPECT_LE(tc->TabRect(7).right, 68);
  EXPECT_GE(tc->TabRect(7).left, 0);

  // Rows that wrap do not scroll.
  tc->SetMultiLine(true);
  SendMessage(h, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), 0);
  EXPECT_EQ(tc->TabRect(0).left, 2);
}

TEST_F(TabControlTest, BadIndexesRaiseAndChangeNothing) {
  TForm* f = NewForm(100, 100, 300, 200);
  TPageControl* pc = NewPages(f, {"A", "B", "C"});
  f->Show();
  Pump();
  pc->SetActivePageIndex(1);
  auto* other = NewPages(f, {"X"}, 100, 50, "other");
  const std::function<void()> bad[] = {
      [&] { pc->Pages(3); },
      [&] { pc->Pages(-1); },
      [&] { pc->SetActivePageIndex(3); },
      [&] { pc->SetActivePageIndex(-2); },
      [&] { pc->SetTabIndex(3); },
      [&] { pc->SetTabIndex(-2); },
      [&] { pc->TabRect(-1); },
      [&] { pc->TabRect(3); },
      [&] { pc->Pages(0)->SetPageIndex(3); },
      [&] { pc->Pages(0)->SetPageIndex(-1); },
      [&] { pc->Tabs()->Get(3); },
      [&] { pc->Tabs()->Delete(-1); },
      [&] { pc->Tabs()->Insert(4, "D"); },
  };
  for (size_t i = 0; i < std::size(bad); ++i) {
    EXPECT_THROW(bad[i](), EListError) << i;
    EXPECT_EQ(pc->ActivePageIndex(), 1) << i;
    EXPECT_EQ(pc->TabIndex(), 1) << i;
    EXPECT_EQ(pc->Tabs()->Count(), 3) << i;
    EXPECT_EQ(pc->Pages(0)->Caption(), "A") << i;
  }
  EXPECT_THROW(pc->SetActivePage(other->Pages(0)), EInvalidOperation);
  EXPECT_EQ(pc->ActivePageIndex(), 1);
  EXPECT_EQ(other->ActivePage(), other->Pages(0));
}

// ---- form descriptions ---------------------------------------------------------------------------

class TTabForm1 : public TForm, public IFormBindings {
public:
  using TForm::TForm;
  void DeclareBindings(THandlerTable& T) override {
    T.Add("PageControl1Change", this, &TTabForm1::PageControl1Change);
    T.Add("TabControl1Changing", this, &TTabForm1::TabControl1Changing);
    T.Field("PageControl1", PageControl1);
    T.Field("TabSheet1", TabSheet1);
    T.Field("TabSheet2", TabSheet2);
    T.Field("TabSheet3", TabSheet3);
    T.Field("Edit1", Edit1);
    T.Field("TabControl1", TabControl1);
    T.Field("ImageList1", ImageList1);
  }
  void PageControl1Change(TObject*) { ++Changes; }
  void TabControl1Changing(TObject*, bool& allow) { allow = false; }
  TPageControl* PageControl1 = nullptr;
  TTabSheet *TabSheet1 = nullptr, *TabSheet2 = nullptr, *TabSheet3 = nullptr;
  TEdit* Edit1 = nullptr;
  TTabControl* TabControl1 = nullptr;
  TImageList* ImageList1 = nullptr;
  int Changes = 0;
};

const char* kTabForm =
    "object TabForm1: TTabForm1\n"
    "  BorderStyle = bsNone\n"
    "  ClientWidth = 400\n"
    "  ClientHeight = 320\n"
    "  object PageControl1: TPageControl\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 300\n"
    "    Height = 200\n"
    "    ActivePage = TabSheet2\n"
    "    Images = ImageList1\n"
    "    TabHeight = 20\n"
    "    TabWidth = 60\n"
    "    TabPosition = tpBottom\n"
    "    OnChange = PageControl1Change\n"
    "    object TabSheet1: TTabSheet\n"
    "      Caption = '常规'\n"
    "      object Edit1: TEdit\n"
    "        Left = 8\n"
    "        Top = 8\n"
    "        Width = 100\n"
    "        Height = 21\n"
    "      end\n"
    "    end\n"
    "    object TabSheet2: TTabSheet\n"
    "      Caption = '视频'\n"
    "      ImageIndex = 1\n"
    "      Highlighted = True\n"
    "    end\n"
    "    object TabSheet3: TTabSheet\n"
    "      Caption = '音频'\n"
    "      TabVisible = False\n"
    "    end\n"
    "  end\n"
    "  object TabControl1: TTabControl\n"
    "    Left = 8\n"
    "    Top = 220\n"
    "    Width = 300\n"
    "    Height = 60\n"
    "    TabIndex = 1\n"
    "    Tabs.Strings = (\n"
    "      'one'\n"
    "      'two'\n"
    "      'three')\n"
    "    MultiLine = True\n"
    "    HotTrack = True\n"
    "    Style = tsButtons\n"
    "    OnChanging = TabControl1Changing\n"
    "  end\n"
    "  object ImageList1: TImageList\n"
    "  end\n"
    "end\n";

TEST_F(TabControlTest, FormWithPageControlAndThreeSheetsReadsBack) {
  auto* form = new TTabForm1(owner.get());
  ReadFormDescription(form, kTabForm, "tabs.dfm");
  ASSERT_TRUE(form->PageControl1 && form->TabSheet1 && form->TabSheet2 && form->TabSheet3 && form->Edit1 &&
              form->TabControl1 && form->ImageList1);
  TPageControl* pc = form->PageControl1;
  ASSERT_EQ(pc->PageCount(), 3);
  EXPECT_EQ(pc->Pages(0), form->TabSheet1);
  EXPECT_EQ(pc->Pages(2), form->TabSheet3);
  EXPECT_EQ(form->TabSheet1->Parent(), pc);
  EXPECT_EQ(form->Edit1->Parent(), form->TabSheet1);
  EXPECT_EQ(pc->ActivePage(), form->TabSheet2);
  EXPECT_TRUE(form->TabSheet2->Visible());
  EXPECT_FALSE(form->TabSheet1->Visible());
  EXPECT_FALSE(form->TabSheet3->TabVisible());
  EXPECT_EQ(form->TabSheet3->TabIndex(), -1);
  EXPECT_EQ(pc->Tabs()->Count(), 2);
  EXPECT_EQ(pc->Tabs()->Get(1), "视频");
  EXPECT_EQ(pc->TabIndex(), 1);
  EXPECT_EQ(pc->TabPosition(), tpBottom);
  EXPECT_EQ(pc->TabHeight(), 20);
  EXPECT_EQ(pc->TabWidth(), 60);
  EXPECT_EQ(pc->Images(), form->ImageList1);
  EXPECT_EQ(form->TabSheet2->ImageIndex(), 1);
  EXPECT_TRUE(form->TabSheet2->Highlighted());

  TTabControl* tc = form->TabControl1;
  EXPECT_EQ(tc->Tabs()->Count(), 3);
  EXPECT_EQ(tc->TabIndex(), 1);
  EXPECT_TRUE(tc->MultiLine());
  EXPECT_TRUE(tc->HotTrack());
  EXPECT_EQ(tc->Style(), tsButtons);

  form->SetBounds(100, 100, 400, 320);
  form->Show();
  Pump();
  // Bottom tabs 20 high, 60 + 16 (the image list's width) long.
  EXPECT_EQ(pc->TabRect(1), TRect(78, 178, 154, 198));
  EXPECT_EQ(pc->ActivePage()->BoundsRect(), pc->DisplayRect());
  LRESULT state = 0;
  TCITEM it;
  it.mask = TCIF_STATE | TCIF_IMAGE;
  it.dwStateMask = TCIS_HIGHLIGHTED;
  ASSERT_TRUE(SendMessage(pc->Handle(), TCM_GETITEM, 1, reinterpret_cast<LPARAM>(&it)));
  state = it.dwState;
  EXPECT_EQ(state, LRESULT(TCIS_HIGHLIGHTED));
  EXPECT_EQ(it.iImage, 1);
  pc->SelectNextPage(false);
  EXPECT_EQ(pc->ActivePage(), form->TabSheet1);
  EXPECT_EQ(form->Changes, 1);
  // The tab control's handler refuses every change.
  TRect r = tc->TabRect(2);
  ClickAt(tc, r.left + 3, r.top + 3);
  EXPECT_EQ(tc->TabIndex(), 1);
}

// A component that makes a control's window (and so its parents') as soon as its reference is
// resolved, before any control is loaded, as skinned controls do when their skin data is linked.
class TTstWindowMaker : public TComponent {
public:
  explicit TTstWindowMaker(TComponent* AOwner) : TComponent(AOwner) {}
  void SetControl(TWinControl* C) {
    if (C) C->HandleNeeded();
  }
};

TEST_F(TabControlTest, WindowsMadeWhileAFormIsReadTakeTheBoundsAlignedLater) {
  RegisterFormClass<TTstWindowMaker, TComponent>("TTstWindowMaker")
      .Reference<TWinControl>("Control", &TTstWindowMaker::SetControl);
  auto* form = new TForm(owner.get());
  ReadFormDescription(form,
                      "object PagesForm: TForm\n"
                      "  BorderStyle = bsNone\n"
                      "  ClientWidth = 400\n"
                      "  ClientHeight = 300\n"
                      "  object Maker: TTstWindowMaker\n"
                      "    Control = Edit1\n"
                      "  end\n"
                      "  object Pages: TPageControl\n"
                      "    Left = 8\n"
                      "    Top = 8\n"
                      "    Width = 300\n"
                      "    Height = 200\n"
                      "    object Sheet1: TTabSheet\n"
                      "      Caption = 'A'\n"
                      "      object Edit1: TEdit\n"
                      "        Left = 8\n"
                      "        Top = 9\n"
                      "        Width = 100\n"
                      "        Height = 21\n"
                      "      end\n"
                      "    end\n"
                      "  end\n"
                      "end\n",
                      "maker.dfm");
  auto* pc = dynamic_cast<TPageControl*>(form->FindComponent("Pages"));
  ASSERT_NE(pc, nullptr);
  TTabSheet* sheet = pc->Pages(0);
  EXPECT_EQ(sheet->BoundsRect(), pc->DisplayRect());
  for (TWinControl* c : std::vector<TWinControl*>{pc, sheet, dynamic_cast<TWinControl*>(form->FindComponent("Edit1"))}) {
    ASSERT_TRUE(c && c->HandleAllocated());
    RECT w;
    GetWindowRect(c->Handle(), &w);
    MapWindowPoints(nullptr, GetParent(c->Handle()), reinterpret_cast<POINT*>(&w), 2);
    EXPECT_EQ(TRect(w.left, w.top, w.right, w.bottom), c->BoundsRect()) << c->Name();
  }
}

// ---- the plain look ------------------------------------------------------------------------------

// Top tabs with Chinese captions and side tabs, composed into tab-controls.png in the build folder
// for a person to look at.
TEST_F(TabControlTest, PlainLookPicture) {
  TForm* f = NewForm(0, 0, 480, 290);
  f->SetColor(clBtnFace);
  auto* top = Make<TPageControl>(f, "top", 10, 10, 240, 200);
  for (const char* caption : {"常规", "视频设置", "音频设置"}) {
    auto* s = new TTabSheet(owner.get());
    s->SetCaption(caption);
    s->SetPageControl(top);
  }
  auto* lbl = Make<TEdit>(top->Pages(1), "edit", 10, 10, 150, 22);
  lbl->SetText("输出文件夹");
  top->SetActivePageIndex(1);
  auto* side = Make<TPageControl>(f, "side", 260, 10, 210, 200);
  side->SetTabPosition(tpLeft);
  for (const char* caption : {"General", "Video", "Audio"}) {
    auto* s = new TTabSheet(owner.get());
    s->SetCaption(caption);
    s->SetPageControl(side);
  }
  side->SetActivePageIndex(0);
  // A single row too long for its control, scrolled by two tabs.
  auto* row = Make<TTabControl>(f, "row", 10, 220, 240, 60);
  for (const char* caption : {"MP4", "AVI", "WMV", "FLV", "3GP", "MKV", "MOV", "MP3", "WAV"})
    row->Tabs()->Add(std::string(caption) + " 格式");
  f->Show();
  Pump();
  SendMessage(row->Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 2), 0);
  row->SetTabIndex(3);
  Pump();
  std::string path = std::string(OMBREL_TEST_BUILD_DIR) + "/tab-controls.png";
  ASSERT_TRUE(headless::SaveScreenPng(path));

  HWND th = top->Handle();
  TRect sel = top->TabRect(1), other = top->TabRect(2);
  TRect frame = top->DisplayRect();
  // An unselected tab: its highlight along the top, the face below, the shadow at the right.
  EXPECT_EQ(Rgb(headless::PixelAt(th, other.left + 5, other.top)), Px(clBtnHighlight));
  EXPECT_EQ(Rgb(headless::PixelAt(th, other.left + 3, other.top + 3)), Px(clBtnFace));
  EXPECT_EQ(Rgb(headless::PixelAt(th, other.right - 1, other.top + 5)), Px(cl3DDkShadow));
  // The selected tab reaches 2 pixels higher and wider, and runs into the page without a line.
  EXPECT_EQ(Rgb(headless::PixelAt(th, sel.left + 5, sel.top - 2)), Px(clBtnHighlight));
  EXPECT_EQ(Rgb(headless::PixelAt(th, sel.left - 2, sel.top + 5)), Px(clBtnHighlight));
  EXPECT_EQ(Rgb(headless::PixelAt(th, sel.left + 5, sel.bottom)), Px(clBtnFace));
  EXPECT_EQ(Rgb(headless::PixelAt(th, other.left + 5, sel.bottom)), Px(clBtnHighlight));
  // The raised frame: light on the left, dark at the right and bottom.
  EXPECT_EQ(Rgb(headless::PixelAt(th, 239, frame.top + 20)), Px(cl3DDkShadow));
  EXPECT_EQ(Rgb(headless::PixelAt(th, 120, 199)), Px(cl3DDkShadow));
  // Some text in each tab, in the button text colour.
  // Dark pixels of the (smoothed) text.
  auto inked = [](HWND h, TRect r) {
    for (int y = r.top + 3; y < r.bottom - 2; ++y)
      for (int x = r.left + 3; x < r.right - 3; ++x) {
        uint32_t p = Rgb(headless::PixelAt(h, x, y));
        if ((p & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60 && (p >> 16) < 0x60) return true;
      }
    return false;
  };
  EXPECT_TRUE(inked(th, sel));
  EXPECT_TRUE(inked(th, other));
  EXPECT_TRUE(inked(th, top->TabRect(0)));

  // Side tabs: boxes down the left, the text turned, the selected one joined to the page.
  HWND sh = side->Handle();
  TRect s0 = side->TabRect(0), s1 = side->TabRect(1);
  EXPECT_GT(s0.bottom - s0.top, s0.right - s0.left);
  EXPECT_EQ(Rgb(headless::PixelAt(sh, s1.left, s1.top + 5)), Px(clBtnHighlight));
  EXPECT_EQ(Rgb(headless::PixelAt(sh, s0.right, s0.top + 5)), Px(clBtnFace));
  EXPECT_TRUE(inked(sh, s1));
  EXPECT_EQ(side->DisplayRect().left, s0.right + 4);

  // The arrows at the end of the scrolled row, each with its mark.
  HWND rh = row->Handle();
  EXPECT_EQ(row->TabRect(2).left, 0);
  TRect t3 = row->TabRect(3);
  EXPECT_TRUE(inked(rh, TRect{240 - 32, t3.top, 240 - 16, t3.bottom}));
  EXPECT_TRUE(inked(rh, TRect{240 - 16, t3.top, 240, t3.bottom}));
  EXPECT_EQ(row->IndexOfTabAt(240 - 8, t3.top + 8), -1);
}

}  // namespace
