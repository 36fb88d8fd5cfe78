// The list box on the headless backend: its scroll info with no bars, LB_FINDSTRING, owner
// drawing, the keyboard with type-ahead, mouse selection, and bad indexes.
#include "base/Exception.h"
#include "classlib/ListBoxes.h"
#include "tests/classlib/ControlTestFixture.h"

using namespace ctltest;

namespace {

class ListBoxTest : public ControlTest {
protected:
  // 100 x 50 client (the sunken frame is 2 pixels): five rows of the box font's 10 pixels.
  TListBox* NewList(TForm* f, const std::string& name = "lb") {
    auto* lb = Make<TListBox>(f, name, 10, 10, 104, 54);
    lb->Font()->SetName(kTestBoxFontName);
    lb->Font()->SetHeight(-10);
    return lb;
  }
  static SCROLLINFO Info(HWND h, int bar) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(h, bar, &si);
    return si;
  }
  static void AddNumbered(TListBox* lb, int from, int to) {
    for (int i = from; i < to; ++i) lb->Items()->Add("item " + std::to_string(i));
  }
};

TEST_F(ListBoxTest, ScrollInfoFollowsAddsDeletesAndTopIndexWithoutBars) {
  TForm* f = NewForm(100, 100, 300, 200);
  TListBox* lb = NewList(f);
  f->Show();
  Pump();
  HWND h = lb->Handle();
  EXPECT_EQ(GetWindowLongPtr(h, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);
  EXPECT_EQ(lb->ItemHeight(), 10);

  struct Want {
    int nMax;
    UINT nPage;
    int nPos;
  };
  auto check = [&](Want w, const char* when) {
    SCROLLINFO si = Info(h, SB_VERT);
    EXPECT_EQ(si.nMin, 0) << when;
    EXPECT_EQ(si.nMax, w.nMax) << when;
    EXPECT_EQ(si.nPage, w.nPage) << when;
    EXPECT_EQ(si.nPos, w.nPos) << when;
    int lo = -1, hi = -1;
    GetScrollRange(h, SB_VERT, &lo, &hi);
    EXPECT_EQ(hi, w.nMax) << when;
    EXPECT_EQ(GetScrollPos(h, SB_VERT), w.nPos) << when;
  };

  AddNumbered(lb, 0, 3);
  check({0, 0, 0}, "three items fit");
  AddNumbered(lb, 3, 10);
  check({9, 5, 0}, "ten items");
  lb->SetTopIndex(7);  // no further than a full last page
  EXPECT_EQ(lb->TopIndex(), 5);
  check({9, 5, 5}, "scrolled to the end");
  lb->Items()->Delete(0);
  lb->Items()->Delete(0);
  lb->Items()->Delete(0);
  EXPECT_EQ(lb->TopIndex(), 2);
  check({6, 5, 2}, "seven items");
  lb->Items()->Delete(6);
  lb->Items()->Delete(5);
  check({0, 0, 0}, "five items fit again");
  EXPECT_EQ(lb->TopIndex(), 0);

  // The scroll messages the skins send.
  AddNumbered(lb, 10, 20);
  SendMessage(h, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(lb->TopIndex(), 1);
  SendMessage(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 8), 0);
  EXPECT_EQ(lb->TopIndex(), 8);
  SendMessage(h, WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 7);

  // Past 65535 rows the 16-bit position of the message is completed from SIF_POS.
  lb->Items()->Clear();
  for (int i = 0; i < 66000; ++i) SendMessage(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
  SCROLLINFO far;
  far.fMask = SIF_POS;
  far.nPos = 65600;
  SetScrollInfo(h, SB_VERT, &far, FALSE);
  SendMessage(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, WORD(65600 & 0xFFFF)), 0);
  EXPECT_EQ(lb->TopIndex(), 65600);
  SendMessage(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 300), 0);
  EXPECT_EQ(lb->TopIndex(), 300);

  // Several columns: the columns are on the horizontal bar.
  lb->Items()->Clear();
  lb->SetColumns(2);  // 50-pixel columns, five rows each
  AddNumbered(lb, 0, 23);
  SCROLLINFO hz = Info(h, SB_HORZ);
  EXPECT_EQ(hz.nMax, 4);
  EXPECT_EQ(hz.nPage, 2u);
  EXPECT_EQ(Info(h, SB_VERT).nMax, 0);
  EXPECT_EQ(lb->ItemRect(7), (TRect{50, 20, 100, 30}));
  SendMessage(h, WM_HSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(lb->TopIndex(), 5);
  EXPECT_EQ(Info(h, SB_HORZ).nPos, 1);
}

TEST_F(ListBoxTest, FindStringIsACaseInsensitivePrefixSearchThatWraps) {
  TForm* f = NewForm();
  TListBox* lb = NewList(f);
  for (const char* s : {"Apple", "banana", "apricot", "Cherry", "中文", "中国"}) lb->Items()->Add(s);
  HWND h = lb->Handle();
  auto find = [&](intptr_t start, const char* s) {
    return SendMessage(h, LB_FINDSTRING, WPARAM(start), reinterpret_cast<LPARAM>(s));
  };
  struct Case {
    intptr_t start;
    const char* text;
    LRESULT found;
  };
  for (Case c : std::initializer_list<Case>{{-1, "ap", 0},
                                             {0, "ap", 2},
                                             {2, "ap", 0},  // past the end, round to the start
                                             {-1, "CH", 3},
                                             {3, "cherry", 3},  // only itself left after wrapping
                                             {-1, "中", 4},
                                             {4, "中", 5},
                                             {-1, "kiwi", LB_ERR},
                                             {99, "b", 1}})
    EXPECT_EQ(find(c.start, c.text), c.found) << c.start << " " << c.text;
  EXPECT_EQ(SendMessage(h, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>("APPLE")), 0);
  EXPECT_EQ(SendMessage(h, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>("App")), LB_ERR);
}

TEST_F(ListBoxTest, OwnerDrawFixedAsksForEachVisibleItem) {
  TForm* f = NewForm(100, 100, 300, 200);
  TListBox* lb = NewList(f);
  lb->SetStyle(lbOwnerDrawFixed);
  lb->SetItemHeight(12);  // four whole rows in 50 pixels
  AddNumbered(lb, 0, 8);
  lb->SetItemIndex(1);
  struct Drawn {
    int32_t index;
    TRect rect;
    TOwnerDrawState state;
  };
  std::vector<Drawn> drawn;
  lb->OnDrawItem = [&](TWinControl* c, int32_t i, TRect r, TOwnerDrawState s) {
    EXPECT_EQ(c, lb);
    drawn.push_back({i, r, s});
    static_cast<TListBox*>(c)->Canvas()->FillRect(r);
  };
  f->Show();
  lb->SetFocus();
  Pump();
  drawn.clear();
  lb->Invalidate();
  Pump();
  ASSERT_EQ(drawn.size(), 5u);  // four whole rows and the part of the fifth
  for (size_t k = 0; k < drawn.size(); ++k) {
    EXPECT_EQ(drawn[k].index, int32_t(k));
    EXPECT_EQ(drawn[k].rect, (TRect{0, int32_t(k) * 12, 100, int32_t(k + 1) * 12}));
    EXPECT_EQ(drawn[k].state.Contains(odSelected), k == 1);
    EXPECT_EQ(drawn[k].state.Contains(odFocused), k == 1);
  }
  // Selecting another item asks for both again; the selected one drew over the highlight.
  drawn.clear();
  headless::PressKey(VK_DOWN);
  Pump();
  EXPECT_EQ(lb->ItemIndex(), 2);
  auto drew = [&](int32_t i, bool selected) {
    return std::any_of(drawn.begin(), drawn.end(),
                       [&](const Drawn& d) { return d.index == i && d.state.Contains(odSelected) == selected; });
  };
  EXPECT_TRUE(drew(1, false));
  EXPECT_TRUE(drew(2, true));
  EXPECT_EQ(Rgb(headless::PixelAt(lb->Handle(), 2 + 50, 2 + 24 + 5)), Px(clHighlight));
}

TEST_F(ListBoxTest, KeyboardNavigationAndTypeAheadSelectAndClick) {
  TForm* f = NewForm(100, 100, 300, 200);
  TListBox* lb = NewList(f);
  lb->SetSorted(true);
  for (const char* s : {"cherry", "banana", "carrot", "apple", "blueberry", "cabbage", "date", "elder", "fig"})
    lb->Items()->Add(s);
  EXPECT_EQ(lb->Items()->Get(0), "apple");
  EXPECT_EQ(lb->Items()->Add("beet"), 2);
  // apple banana beet blueberry cabbage carrot cherry date elder fig
  int clicks = 0;
  lb->OnClick = [&](TObject*) { ++clicks; };
  f->Show();
  lb->SetFocus();
  Pump();

  struct Step {
    int vk;
    int32_t index;
    int32_t top;
  };
  for (Step s : std::initializer_list<Step>{{VK_DOWN, 0, 0},
                                             {VK_DOWN, 1, 0},
                                             {VK_NEXT, 4, 0},  // to the last whole row first
                                             {VK_NEXT, 8, 4},
                                             {VK_END, 9, 5},
                                             {VK_UP, 8, 5},
                                             {VK_PRIOR, 5, 5},
                                             {VK_PRIOR, 1, 1},
                                             {VK_HOME, 0, 0}}) {
    headless::PressKey(s.vk);
    Pump();
    EXPECT_EQ(lb->ItemIndex(), s.index) << s.vk;
    EXPECT_EQ(lb->TopIndex(), s.top) << s.vk;
  }
  EXPECT_EQ(clicks, 9);

  // Type-ahead: letters typed together search together; the same letter again steps on;
  // after a pause the search starts afresh.
  auto type = [&](const char* s) {
    for (const char* p = s; *p; ++p) {
      headless::TypeChar(uint32_t(*p));
      clock.Advance(100);
    }
    Pump();
    return lb->Items()->Get(lb->ItemIndex());
  };
  EXPECT_EQ(type("c"), "cabbage");
  EXPECT_EQ(type("h"), "cherry");  // "ch" after "c"
  clock.Advance(2000);
  EXPECT_EQ(type("b"), "banana");
  EXPECT_EQ(type("b"), "beet");
  EXPECT_EQ(type("b"), "blueberry");
  clock.Advance(2000);
  EXPECT_EQ(type("FIG"), "fig");
  clock.Advance(2000);
  EXPECT_EQ(type("x"), "fig");  // nothing begins with it: no change
}

TEST_F(ListBoxTest, MouseAndExtendedSelection) {
  TForm* f = NewForm(100, 100, 300, 200);
  TListBox* lb = NewList(f);
  AddNumbered(lb, 0, 10);
  f->Show();
  Pump();
  ClickAt(lb, 20, 25);
  EXPECT_EQ(lb->ItemIndex(), 2);
  EXPECT_TRUE(lb->Focused());
  // Dragging moves the selection along.
  clock.Advance(1000);
  headless::ButtonDown();
  MoveTo(lb, 20, 45);
  headless::ButtonUp();
  Pump();
  EXPECT_EQ(lb->ItemIndex(), 4);

  lb->SetMultiSelect(true);  // extended selection by default
  clock.Advance(1000);
  ClickAt(lb, 20, 5);
  headless::KeyDown(VK_SHIFT);
  clock.Advance(1000);
  ClickAt(lb, 20, 35);
  headless::KeyUp(VK_SHIFT);
  headless::KeyDown(VK_CONTROL);
  clock.Advance(1000);
  ClickAt(lb, 20, 15);  // Ctrl+click takes one item out
  headless::KeyUp(VK_CONTROL);
  Pump();
  EXPECT_EQ(lb->SelCount(), 3);
  std::vector<bool> sel;
  for (int i = 0; i < 5; ++i) sel.push_back(lb->Selected(i));
  EXPECT_EQ(sel, (std::vector<bool>{true, false, true, true, false}));
  // The items and the selection survive a new window.
  lb->SetParent(nullptr);
  lb->SetParent(f);
  EXPECT_EQ(lb->Count(), 10);
  EXPECT_EQ(lb->SelCount(), 3);
  EXPECT_TRUE(lb->Selected(3));
}

TEST_F(ListBoxTest, OutOfRangeIndexesRaiseTheListErrorAndChangeNothing) {
  TForm* f = NewForm();
  TListBox* lb = NewList(f);
  AddNumbered(lb, 0, 3);
  lb->SetItemIndex(1);
  for (int32_t bad : {-2, 3, 100}) {
    EXPECT_THROW(lb->SetItemIndex(bad), EListError) << bad;
    EXPECT_THROW(lb->Items()->Get(bad), EListError) << bad;
    EXPECT_THROW(lb->Items()->Delete(bad), EListError) << bad;
    EXPECT_THROW(lb->Items()->Put(bad, "x"), EListError) << bad;
    EXPECT_THROW(lb->Items()->GetObject(bad), EListError) << bad;
    EXPECT_THROW(lb->Selected(bad), EListError) << bad;
    EXPECT_THROW(lb->SetTopIndex(bad), EListError) << bad;
  }
  EXPECT_THROW(lb->ItemRect(-1), EListError);
  EXPECT_THROW(lb->ItemRect(4), EListError);  // 3 is where a fourth item would go
  EXPECT_THROW(lb->Items()->Insert(5, "x"), EListError);
  EXPECT_EQ(lb->Count(), 3);
  EXPECT_EQ(lb->ItemIndex(), 1);
  EXPECT_EQ(lb->Items()->Text(), "item 0\r\nitem 1\r\nitem 2\r\n");
  // The window's own answer to a bad index is LB_ERR.
  EXPECT_EQ(SendMessage(lb->Handle(), LB_GETTEXTLEN, 7, 0), LB_ERR);
  EXPECT_EQ(SendMessage(lb->Handle(), LB_SETTOPINDEX, 7, 0), LB_ERR);
  EXPECT_EQ(SendMessage(lb->Handle(), LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("x")), LB_ERR);
  lb->SetItemIndex(-1);
  EXPECT_EQ(lb->ItemIndex(), -1);
}

}  // namespace
