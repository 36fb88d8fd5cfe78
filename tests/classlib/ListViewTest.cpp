// The list view and its header on the headless backend: a job-list-like report view with hidden
// columns, the scroll info without bars, selection by mouse, keys and program with its events,
// divider drags, a replaced header window procedure, owner data, label editing, the LVM_*
// answers, bad indexes, form streaming, and pictures of the plain look.
#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/Exception.h"
#include "classlib/ListViews.h"
#include "classlib/Streaming.h"
#include "platform/Gdi.h"
#include "tests/classlib/ControlTestFixture.h"

using namespace ctltest;

namespace {

// Remembers the children the list view was told of, as a skin does.
class ProbeListView : public TListView {
public:
  using TListView::TListView;
  std::vector<std::string> Created;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_CREATE) {
      char cls[81] = {};
      GetClassName(reinterpret_cast<HWND>(m.LParam), cls, 80);
      Created.push_back(cls);
    }
    TListView::Dispatch(m);
  }
};

// The job list's columns: width, and whether it is one of the hidden ones (width 0, MaxWidth 1).
const int kJobWidths[25] = {80, 70, 70, 80, 70, 0, 80, 80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

class ListViewTest : public ControlTest {
protected:
  // Client 400 x 88 (the sunken frame is 2 pixels): header 18, rows of 14, five per page.
  template <typename T = TListView>
  T* NewList(TForm* f, int w = 404, int h = 92) {
    auto* lv = Make<T>(f, "lv", 0, 0, w, h);
    lv->Font()->SetName(kTestBoxFontName);
    lv->Font()->SetHeight(-10);
    lv->SetViewStyle(vsReport);
    return lv;
  }
  static void JobColumns(TCustomListView* lv) {
    for (int i = 0; i < 25; ++i) {
      TListColumn* c = lv->Columns()->Add();
      c->SetCaption("c" + std::to_string(i));
      if (kJobWidths[i] == 0 && i != 0) c->SetMaxWidth(1);
      c->SetWidth(kJobWidths[i]);
    }
  }
  static void AddRows(TCustomListView* lv, int from, int to) {
    for (int i = from; i < to; ++i) {
      TListItem* it = lv->Items()->Add();
      it->SetCaption("row " + std::to_string(i));
      for (int s = 0; s < 24; ++s) it->SubItems()->Add("s" + std::to_string(s));
    }
  }
  static SCROLLINFO Info(HWND h, int bar) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(h, bar, &si);
    return si;
  }
  // A press, moves and a release in the header's client coordinates.
  void DragHeader(HWND header, int x0, int x1, int y = 5, bool checkMid = false, std::function<void()> mid = {}) {
    POINT p{x0, y};
    ClientToScreen(header, &p);
    headless::MoveMouse(p.x, p.y);
    headless::ButtonDown();
    Pump();
    POINT q{x1, y};
    ClientToScreen(header, &q);
    headless::MoveMouse((p.x + q.x) / 2, q.y);
    Pump();
    headless::MoveMouse(q.x, q.y);
    Pump();
    if (checkMid && mid) mid();
    headless::ButtonUp();
    Pump();
  }
  void Key(int vk, int modifier = 0) {
    if (modifier) headless::KeyDown(modifier);
    headless::PressKey(vk);
    if (modifier) headless::KeyUp(modifier);
    Pump();
  }
  void ClickWith(TControl* c, int x, int y, int modifier) {
    if (modifier) headless::KeyDown(modifier);
    ClickAt(c, x, y);
    if (modifier) headless::KeyUp(modifier);
    Pump();
  }
  // The y of row i's middle while the list is scrolled to the top.
  static int RowY(int i) { return 18 + i * 14 + 7; }
};

TEST_F(ListViewTest, HeaderIsAnAnnouncedSysHeader32ChildPositionedThroughSetWindowPos) {
  TForm* f = NewForm(100, 100, 600, 300);
  auto* lv = NewList<ProbeListView>(f);
  JobColumns(lv);
  f->Show();
  Pump();
  HWND header = lv->HeaderHandle();
  ASSERT_TRUE(header);
  char cls[64] = {};
  GetClassName(header, cls, 63);
  EXPECT_STREQ(cls, "SysHeader32");
  EXPECT_EQ(GetParent(header), lv->Handle());
  EXPECT_EQ(lv->Created, std::vector<std::string>{"SysHeader32"});
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(lv->Handle(), LVM_GETHEADER, 0, 0)), header);
  EXPECT_EQ(SendMessage(header, HDM_GETITEMCOUNT, 0, 0), 25);

  // The header's sizes come through WM_WINDOWPOSCHANGING, which a skin may widen.
  static int changing = 0;
  static WNDPROC old = nullptr;
  changing = 0;
  old = reinterpret_cast<WNDPROC>(SetWindowLongPtr(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(
      +[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_WINDOWPOSCHANGING) {
          ++changing;
          auto* wp = reinterpret_cast<WINDOWPOS*>(l);
          if (!(wp->flags & SWP_NOSIZE)) wp->cx += 25;
          return 0;
        }
        return CallWindowProc(old, h, m, w, l);
      })));
  lv->SetWidth(304);
  Pump();
  EXPECT_GT(changing, 0);
  RECT r{};
  GetWindowRect(header, &r);
  EXPECT_EQ(r.right - r.left, 300 + 25);
  EXPECT_EQ(r.bottom - r.top, lv->HeaderHeight());
  SetWindowLongPtr(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));

  // Leaving the report view takes the header away; coming back makes a new one, announced.
  lv->SetViewStyle(vsList);
  EXPECT_FALSE(lv->HeaderHandle());
  EXPECT_FALSE(IsWindow(header));
  lv->SetViewStyle(vsReport);
  EXPECT_TRUE(lv->HeaderHandle());
  EXPECT_EQ(lv->Created.size(), 2u);
}

TEST_F(ListViewTest, DividerDragsFollowLiveAndHiddenColumnsStayHidden) {
  TForm* f = NewForm(100, 100, 900, 300);
  auto* lv = NewList(f, 804, 300);
  JobColumns(lv);
  AddRows(lv, 0, 3);
  f->Show();
  Pump();
  HWND header = lv->HeaderHandle();

  // The divider after column 7 (x = 530) is also the edge of the hidden columns 8..24.
  HDHITTESTINFO hi;
  hi.pt = POINT{529, 5};
  EXPECT_EQ(SendMessage(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hi)), 7);
  EXPECT_EQ(hi.flags, HHT_ONDIVIDER);
  hi.pt = POINT{260, 5};
  EXPECT_EQ(SendMessage(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hi)), 3);
  EXPECT_EQ(hi.flags, HHT_ONHEADER);
  RECT ir{};
  SendMessage(header, HDM_GETITEMRECT, 6, reinterpret_cast<LPARAM>(&ir));
  EXPECT_EQ(ir.left, 370);
  EXPECT_EQ(ir.right, 450);

  int liveWidth = -1;
  DragHeader(header, 529, 600, 5, true, [&] { liveWidth = lv->Column(7)->Width(); });
  EXPECT_EQ(liveWidth, 151) << "the width follows the pointer before the release";
  EXPECT_EQ(lv->Column(7)->Width(), 151);
  HDITEM hdi;
  hdi.mask = HDI_WIDTH;
  SendMessage(header, HDM_GETITEM, 7, reinterpret_cast<LPARAM>(&hdi));
  EXPECT_EQ(hdi.cxy, 151);

  // Right of the edge of hidden columns: they refuse, the visible one before them moves.
  DragHeader(header, 601 + 2, 700);
  EXPECT_EQ(lv->Column(7)->Width(), 151 + 97);
  for (int i = 8; i < 25; ++i) EXPECT_EQ(lv->Column(i)->Width(), 0) << i;
  // Column 5 hides between columns 4 and 6 (edge x = 370).
  DragHeader(header, 371, 420);
  EXPECT_EQ(lv->Column(5)->Width(), 0);
  EXPECT_EQ(lv->Column(4)->Width(), 70 + 49);
  // The program cannot open one either.
  lv->Column(5)->SetWidth(100);
  EXPECT_LE(lv->Column(5)->Width(), 1);

  // MinWidth and MaxWidth bound a drag of a visible column.
  lv->Column(1)->SetMinWidth(40);
  lv->Column(1)->SetMaxWidth(90);
  RECT r1{};
  SendMessage(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r1));
  DragHeader(header, r1.right - 1, r1.right + 100);
  EXPECT_EQ(lv->Column(1)->Width(), 90);
  SendMessage(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r1));
  DragHeader(header, r1.right - 1, r1.left);
  EXPECT_EQ(lv->Column(1)->Width(), 40);
}

TEST_F(ListViewTest, ColumnClickAndReorderByDragging) {
  TForm* f = NewForm(100, 100, 600, 300);
  auto* lv = NewList(f);
  for (int i = 0; i < 3; ++i) {
    lv->Columns()->Add()->SetCaption("h" + std::to_string(i));
    lv->Column(i)->SetWidth(100);
  }
  std::vector<int> clicks;
  lv->OnColumnClick = [&](TObject*, TListColumn* c) { clicks.push_back(c->Index()); };
  f->Show();
  Pump();
  HWND header = lv->HeaderHandle();
  POINT p{150, 5};
  ClientToScreen(header, &p);
  headless::Click(p.x, p.y);
  Pump();
  EXPECT_EQ(clicks, std::vector<int>{1});

  // Without FullDrag a drag is no move.
  DragHeader(header, 50, 180);
  int order[3] = {};
  SendMessage(header, HDM_GETORDERARRAY, 3, reinterpret_cast<LPARAM>(order));
  EXPECT_EQ(order[0], 0);
  lv->SetFullDrag(true);
  DragHeader(header, 50, 180);
  SendMessage(header, HDM_GETORDERARRAY, 3, reinterpret_cast<LPARAM>(order));
  EXPECT_EQ(std::vector<int>(order, order + 3), (std::vector<int>{1, 0, 2}));
  // The rows follow: column 0 now starts at 100.
  AddRows(lv, 0, 1);
  EXPECT_EQ(lv->Items()->Item(0)->DisplayRect(drLabel).left, 100 + 2);
  EXPECT_EQ(clicks.size(), 1u) << "a move is no click";
}

TEST_F(ListViewTest, ScrollInfoFollowsAddsDeletesAndResizesWithoutBars) {
  TForm* f = NewForm(100, 100, 600, 400);
  auto* lv = NewList(f);
  JobColumns(lv);
  f->Show();
  Pump();
  HWND h = lv->Handle();
  EXPECT_EQ(GetWindowLongPtr(h, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);
  EXPECT_EQ(lv->RowHeight(), 14);
  EXPECT_EQ(lv->HeaderHeight(), 18);
  EXPECT_EQ(SendMessage(h, LVM_GETCOUNTPERPAGE, 0, 0), 5);

  struct Want {
    int nMax, nPage, nPos;
  };
  auto check = [&](Want w, const char* when) {
    SCROLLINFO si = Info(h, SB_VERT);
    EXPECT_EQ(si.nMin, 0) << when;
    EXPECT_EQ(si.nMax, w.nMax) << when;
    EXPECT_EQ(int(si.nPage), w.nPage) << when;
    EXPECT_EQ(si.nPos, w.nPos) << when;
    int lo = -1, hi = -1;
    GetScrollRange(h, SB_VERT, &lo, &hi);
    EXPECT_EQ(hi, w.nMax) << when;
    EXPECT_EQ(GetScrollPos(h, SB_VERT), w.nPos) << when;
    EXPECT_EQ(SendMessage(h, LVM_GETITEMCOUNT, 0, 0), lv->Items()->Count()) << when;
  };
  check({0, 1, 0}, "empty");
  AddRows(lv, 0, 3);
  check({2, 3, 0}, "three rows fit");
  AddRows(lv, 3, 10);
  check({9, 5, 0}, "ten rows");
  SendMessage(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 7), 0);  // no further than a full page
  EXPECT_EQ(lv->TopIndex(), 5);
  check({9, 5, 5}, "scrolled to the end");
  SendMessage(h, WM_VSCROLL, SB_LINEUP, 0);
  check({9, 5, 4}, "a line up");
  SendMessage(h, WM_VSCROLL, SB_PAGEUP, 0);
  check({9, 5, 0}, "a page up");
  SendMessage(h, WM_VSCROLL, SB_PAGEDOWN, 0);
  SendMessage(h, WM_VSCROLL, SB_LINEDOWN, 0);
  check({9, 5, 5}, "a page and a line down");
  for (int i = 0; i < 4; ++i) lv->Items()->Delete(0);
  check({5, 5, 1}, "six rows");
  lv->SetHeight(92 + 28);  // seven rows per page
  Pump();
  check({5, 6, 0}, "taller");

  // Horizontal: pixels over the total width of the columns (530 of them in 400).
  SCROLLINFO hz = Info(h, SB_HORZ);
  EXPECT_EQ(hz.nMax, 529);
  EXPECT_EQ(int(hz.nPage), 400);
  lv->Column(0)->SetWidth(180);
  EXPECT_EQ(Info(h, SB_HORZ).nMax, 629);
  SendMessage(h, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 100), 0);
  EXPECT_EQ(GetScrollPos(h, SB_HORZ), 100);
  RECT hr{};
  GetWindowRect(lv->HeaderHandle(), &hr);
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  EXPECT_EQ(hr.left - origin.x, -100) << "the header moves with the columns";
  lv->Column(0)->SetWidth(10);
  lv->Column(7)->SetWidth(10);
  EXPECT_EQ(Info(h, SB_HORZ).nMax, 0) << "everything fits";
  EXPECT_EQ(GetScrollPos(h, SB_HORZ), 0);

  // vsList: columns of five rows on the horizontal bar (0..0 while they fit).
  lv->SetViewStyle(vsList);
  lv->SetHeight(92);
  Pump();
  AddRows(lv, 6, 100);
  SCROLLINFO l = Info(h, SB_HORZ);
  int rows = 88 / 14, cols = (100 + rows - 1) / rows;
  EXPECT_EQ(l.nMax, cols - 1);
  EXPECT_EQ(Info(h, SB_VERT).nMax, 0);
  SendMessage(h, WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(GetScrollPos(h, SB_HORZ), 1);
  EXPECT_EQ(lv->TopItem()->Index(), rows);
  // Icon views: pixels.
  lv->SetViewStyle(vsIcon);
  SCROLLINFO v = Info(h, SB_VERT);
  EXPECT_GT(v.nMax, 88);
  EXPECT_EQ(int(v.nPage), 88);
}

TEST_F(ListViewTest, SelectionByMouseKeysAndProgramRaisesOnSelectItemForEachChange) {
  TForm* f = NewForm(100, 100, 600, 300);
  auto* lv = NewList(f, 404, 92 + 14 * 5);
  lv->Columns()->Add()->SetWidth(200);
  lv->SetMultiSelect(true);
  AddRows(lv, 0, 20);
  std::vector<std::string> log;
  lv->OnSelectItem = [&](TObject*, TListItem* it, bool s) { log.push_back((s ? "+" : "-") + std::to_string(it->Index())); };
  int changes = 0, clicks = 0, dbl = 0;
  lv->OnChange = [&](TObject*, TListItem*, TItemChange c) { changes += c == ctState; };
  lv->OnClick = [&](TObject*) { ++clicks; };
  lv->OnDblClick = [&](TObject*) { ++dbl; };
  f->Show();
  Pump();

  struct Step {
    std::function<void()> act;
    std::vector<std::string> want;
    int itemIndex;
  };
  std::vector<Step> steps = {
      {[&] { ClickAt(lv, 50, RowY(1)); }, {"+1"}, 1},
      {[&] { ClickWith(lv, 50, RowY(3), VK_SHIFT); }, {"+2", "+3"}, 1},
      {[&] { ClickWith(lv, 50, RowY(2), VK_CONTROL); }, {"-2"}, 1},
      {[&] { ClickAt(lv, 50, RowY(0)); }, {"-1", "-3", "+0"}, 0},
      {[&] { Key(VK_DOWN); }, {"-0", "+1"}, 1},
      {[&] { Key(VK_DOWN, VK_SHIFT); }, {"+2"}, 1},
      {[&] { Key(VK_END); }, {"-1", "-2", "+19"}, 19},
      {[&] { Key(VK_HOME); }, {"-19", "+0"}, 0},
      {[&] { Key(VK_NEXT); }, {"-0", "+9"}, 9},  // to the bottom of the page first
      {[&] { Key(VK_NEXT); }, {"-9", "+18"}, 18},
      {[&] { lv->Items()->Item(5)->SetSelected(true); }, {"+5"}, 5},
      {[&] { lv->SetItemIndex(-1); }, {"-5", "-18"}, -1},
      {[&] { ClickAt(lv, 50, RowY(2) + 14 * 8); }, {}, -1},  // below the last shown row: nothing
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    log.clear();
    lv->MakeVisible(0, false);
    if (i >= 8 && i <= 9) {
    } else {
      SendMessage(lv->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    }
    steps[i].act();
    EXPECT_EQ(log, steps[i].want) << "step " << i;
    EXPECT_EQ(lv->ItemIndex(), steps[i].itemIndex) << "step " << i;
  }
  EXPECT_EQ(lv->SelCount(), 0);
  EXPECT_GT(changes, 0);
  EXPECT_GE(clicks, 4);

  // A single-selection list moves its one selection, also when the program selects.
  lv->SetMultiSelect(false);
  log.clear();
  lv->SetItemIndex(3);
  lv->Items()->Item(4)->SetSelected(true);
  EXPECT_EQ(log, (std::vector<std::string>{"+3", "-3", "+4"}));
  EXPECT_EQ(lv->SelCount(), 1);

  // A double click reaches OnDblClick; the wheel scrolls three rows a notch.
  SendMessage(lv->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
  ClickAt(lv, 50, RowY(2));
  ClickAt(lv, 50, RowY(2));
  EXPECT_EQ(dbl, 1);
  MoveTo(lv, 50, RowY(2));
  headless::Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(lv->TopIndex(), 3);
  // Type-ahead finds the next caption that begins with what was typed.
  lv->Items()->Item(12)->SetCaption("zebra");
  headless::TypeChar('Z');
  Pump();
  EXPECT_EQ(lv->ItemIndex(), 12);
}

TEST_F(ListViewTest, ReplacedHeaderWindowProcedurePaintsInsteadOfTheDefault) {
  TForm* f = NewForm(100, 100, 600, 300);
  auto* lv = NewList(f);
  JobColumns(lv);
  f->Show();
  Pump();
  HWND header = lv->HeaderHandle();
  uint32_t face = Px(clBtnFace);
  EXPECT_EQ(Rgb(headless::PixelAt(header, 40, 8)), face) << "the default look first";

  static WNDPROC old = nullptr;
  static int erases = 0;
  erases = 0;
  old = reinterpret_cast<WNDPROC>(SetWindowLongPtr(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(
      +[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_PAINT) {
          PAINTSTRUCT ps;
          HDC dc = BeginPaint(h, &ps);
          HBRUSH b = CreateSolidBrush(RGB(200, 0, 0));
          RECT r{};
          GetClientRect(h, &r);
          FillRect(dc, &r, b);
          DeleteObject(b);
          EndPaint(h, &ps);
          return 0;
        }
        if (m == WM_ERASEBKGND) {
          ++erases;
          return 1;
        }
        return CallWindowProc(old, h, m, w, l);
      })));
  ASSERT_TRUE(old);
  RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  Pump();
  EXPECT_EQ(Rgb(headless::PixelAt(header, 40, 8)), 0xC80000u);
  EXPECT_EQ(Rgb(headless::PixelAt(header, 390, 8)), 0xC80000u);
  // The default procedure still answers through the chain.
  EXPECT_EQ(SendMessage(header, HDM_GETITEMCOUNT, 0, 0), 25);
  SetWindowLongPtr(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
}

TEST_F(ListViewTest, OwnerDataAsksOnlyForTheShownItems) {
  TForm* f = NewForm(100, 100, 600, 300);
  auto* lv = NewList(f);
  lv->Columns()->Add()->SetWidth(150);
  lv->Columns()->Add()->SetWidth(150);
  lv->SetOwnerData(true);
  std::vector<int> asked;
  lv->OnData = [&](TObject*, TListItem* it) {
    asked.push_back(it->Index());
    it->SetCaption("virtual " + std::to_string(it->Index()));
    it->SubItems()->Add("sub");
  };
  lv->Items()->SetCount(100000);
  f->Show();
  Pump();
  EXPECT_EQ(SendMessage(lv->Handle(), LVM_GETITEMCOUNT, 0, 0), 100000);
  ASSERT_FALSE(asked.empty());
  EXPECT_LE(asked.size(), 7u) << "five rows per page";
  for (int i : asked) EXPECT_LT(i, 7);
  EXPECT_THROW(lv->Items()->Add(), EListError);

  // Far down through the bar, with the whole position set first (past 16 bits).
  asked.clear();
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = 70000;
  SetScrollInfo(lv->Handle(), SB_VERT, &si, FALSE);
  SendMessage(lv->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 70000 & 0xFFFF), 0);
  EXPECT_EQ(lv->TopIndex(), 70000);
  Pump();
  ASSERT_FALSE(asked.empty());
  EXPECT_LE(asked.size(), 7u);
  for (int i : asked) EXPECT_TRUE(i >= 70000 && i < 70007) << i;
  EXPECT_EQ(lv->Items()->Item(99999)->Caption(), "virtual 99999");
  EXPECT_EQ(lv->Items()->Item(99999)->SubItems()->Get(0), "sub");

  lv->SetItemIndex(70002);
  EXPECT_EQ(lv->ItemIndex(), 70002);
  lv->Items()->SetCount(50000);  // the selection beyond the end goes
  EXPECT_EQ(lv->ItemIndex(), -1);
  EXPECT_EQ(lv->TopIndex(), 50000 - 5);
  EXPECT_EQ(Info(lv->Handle(), SB_VERT).nMax, 49999);
}

TEST_F(ListViewTest, LabelEditingCommitsAndCancels) {
  TForm* f = NewForm(100, 100, 600, 300);
  auto* lv = NewList(f);
  lv->Columns()->Add()->SetWidth(150);
  auto* other = Make<TEdit>(f, "other", 10, 200, 100, 20);
  AddRows(lv, 0, 3);
  std::vector<std::string> edited;
  bool allow = true;
  lv->OnEditing = [&](TObject*, TListItem*, bool& a) { a = allow; };
  lv->OnEdited = [&](TObject*, TListItem* it, std::string& s) {
    edited.push_back(it->Caption() + ">" + s);
    if (s == "upper") s = "UPPER";
  };
  f->Show();
  Pump();

  lv->SetReadOnly(true);
  EXPECT_FALSE(lv->Items()->Item(0)->EditCaption());
  lv->SetReadOnly(false);

  struct Case {
    int item;
    std::string typed;
    int how;  // 0 Enter, 1 Escape, 2 focus elsewhere
    std::string want;
  };
  for (const Case& c : {Case{0, "new", 0, "new"}, Case{1, "gone", 1, "row 1"}, Case{2, "upper", 2, "UPPER"}}) {
    ASSERT_TRUE(lv->Items()->Item(c.item)->EditCaption());
    TCustomEdit* e = lv->EditControl();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Parent(), lv);
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(e->Text(), lv->Items()->Item(c.item)->Caption());
    e->SetText(c.typed);
    if (c.how == 0) Key(VK_RETURN);
    else if (c.how == 1) Key(VK_ESCAPE);
    else other->SetFocus();
    Pump();
    EXPECT_FALSE(lv->IsEditing()) << c.typed;
    EXPECT_EQ(lv->Items()->Item(c.item)->Caption(), c.want) << c.typed;
  }
  EXPECT_EQ(edited, (std::vector<std::string>{"row 0>new", "row 2>upper"}));
  EXPECT_TRUE(lv->Focused() || other->Focused());

  allow = false;
  EXPECT_FALSE(lv->Items()->Item(0)->EditCaption());
  EXPECT_FALSE(lv->IsEditing());
  // F2 edits the focused item; deleting it drops the edit.
  allow = true;
  lv->SetFocus();
  lv->SetItemIndex(1);
  Key(VK_F2);
  EXPECT_TRUE(lv->IsEditing());
  lv->Items()->Delete(1);
  EXPECT_FALSE(lv->IsEditing());
  EXPECT_EQ(lv->Items()->Count(), 2);
}

TEST_F(ListViewTest, HostsAPlainChildEditLikeTheRenameEdit) {
  TForm* f = NewForm(100, 100, 600, 300);
  auto* lv = NewList(f);
  lv->Columns()->Add()->SetWidth(150);
  AddRows(lv, 0, 3);
  auto* edt = Make<TEdit>(f, "edt", 0, 0, 80, 16);
  edt->SetVisible(false);
  f->Show();
  Pump();
  edt->SetParent(lv);
  TRect r = lv->Items()->Item(1)->DisplayRect(drBounds);
  edt->SetBounds(40, r.top, 80, 16);
  edt->SetText("renamed");
  edt->Show();
  edt->SetFocus();
  Pump();
  EXPECT_TRUE(IsChild(lv->Handle(), edt->Handle()));
  EXPECT_TRUE(edt->Focused());
  // Painting the list does not paint over its child.
  // The edit's own text (boxes of the test font) is still there after the list painted.
  edt->Font()->SetName(kTestBoxFontName);
  Pump();
  auto dark = [&] {
    int n = 0;
    for (int x = 0; x < 80; ++x)
      for (int y = 0; y < 16; ++y) n += Rgb(headless::PixelAt(edt->Handle(), x, y)) != Px(clWindow);
    return n;
  };
  int before = dark();
  InvalidateRect(lv->Handle(), nullptr, TRUE);
  Pump();
  EXPECT_GT(before, 20);
  EXPECT_EQ(dark(), before);
}

TEST_F(ListViewTest, AnswersLvmMessages) {
  TForm* f = NewForm(100, 100, 600, 300);
  auto* lv = NewList(f);
  lv->Columns()->Add()->SetWidth(100);
  lv->Columns()->Add()->SetWidth(60);
  AddRows(lv, 0, 12);
  f->Show();
  Pump();
  HWND h = lv->Handle();
  EXPECT_EQ(SendMessage(h, LVM_GETITEMCOUNT, 0, 0), 12);
  EXPECT_EQ(SendMessage(h, LVM_GETCOUNTPERPAGE, 0, 0), 5);
  RECT r{};
  r.left = LVIR_BOUNDS;
  EXPECT_TRUE(SendMessage(h, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r)));
  EXPECT_EQ(r.top, 18 + 2 * 14);
  EXPECT_EQ(r.bottom - r.top, 14);
  EXPECT_EQ(r.right - r.left, 160);
  r = RECT{LVIR_LABEL, 0, 0, 0};
  SendMessage(h, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.right, 100);
  r = RECT{0, 1, 0, 0};  // sub-item 1
  EXPECT_TRUE(SendMessage(h, LVM_GETSUBITEMRECT, 2, reinterpret_cast<LPARAM>(&r)));
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.right, 160);

  EXPECT_TRUE(SendMessage(h, LVM_SCROLL, 0, 28));
  EXPECT_EQ(SendMessage(h, LVM_GETTOPINDEX, 0, 0), 2);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 2);
  lv->Scroll(0, 14 * 3);
  EXPECT_EQ(lv->TopIndex(), 5);
  lv->Scroll(0, -5);  // less than a row still moves one
  EXPECT_EQ(lv->TopIndex(), 4);
  r = RECT{LVIR_BOUNDS, 0, 0, 0};
  SendMessage(h, LVM_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.top, 18);
  LVHITTESTINFO hi;
  hi.pt = POINT{120, 18 + 14 + 3};
  EXPECT_EQ(SendMessage(h, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hi)), 5);
  EXPECT_EQ(hi.iSubItem, 1);
  EXPECT_EQ(lv->GetItemAt(10, 18 + 3)->Index(), 4);
  EXPECT_EQ(lv->GetItemAt(10, 5), nullptr) << "the header is no item";

  // Bad indexes and parts answer FALSE and change nothing.
  r = RECT{LVIR_BOUNDS, 7, 7, 7};
  EXPECT_FALSE(SendMessage(h, LVM_GETITEMRECT, 12, reinterpret_cast<LPARAM>(&r)));
  EXPECT_FALSE(SendMessage(h, LVM_GETITEMRECT, WPARAM(-1), reinterpret_cast<LPARAM>(&r)));
  r = RECT{9, 0, 0, 0};
  EXPECT_FALSE(SendMessage(h, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r)));
  EXPECT_FALSE(SendMessage(h, LVM_GETITEMRECT, 1, 0));
}

TEST_F(ListViewTest, BadIndexesRaiseTheListIndexErrorAndChangeNothing) {
  TForm* f = NewForm(100, 100, 600, 300);
  auto* lv = NewList(f);
  lv->Columns()->Add();
  AddRows(lv, 0, 3);
  lv->SetItemIndex(1);
  f->Show();
  Pump();
  std::vector<std::function<void()>> bad = {
      [&] { lv->Items()->Item(3); },
      [&] { lv->Items()->Item(-1); },
      [&] { lv->Items()->Delete(3); },
      [&] { lv->Items()->Delete(-1); },
      [&] { lv->Items()->Insert(4); },
      [&] { lv->SetItemIndex(3); },
      [&] { lv->SetItemIndex(-2); },
      [&] { lv->Column(1); },
      [&] { lv->Items()->SetCount(-1); },
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    EXPECT_THROW(bad[i](), EListError) << i;
    EXPECT_EQ(lv->Items()->Count(), 3) << i;
    EXPECT_EQ(lv->ItemIndex(), 1) << i;
  }
  try {
    lv->Items()->Item(7);
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message, "List index out of bounds (7)");
  }
}

TEST_F(ListViewTest, SortsByCaptionByOnCompareAndKeepsTheSelection) {
  TForm* f = NewForm(100, 100, 600, 300);
  auto* lv = NewList(f);
  lv->Columns()->Add();
  for (const char* s : {"pear", "Apple", "fig"}) lv->Items()->Add()->SetCaption(s);
  lv->SetItemIndex(0);  // pear
  lv->AlphaSort();
  auto captions = [&] {
    std::string out;
    for (int i = 0; i < lv->Items()->Count(); ++i) out += lv->Items()->Item(i)->Caption() + " ";
    return out;
  };
  EXPECT_EQ(captions(), "Apple fig pear ");
  EXPECT_EQ(lv->ItemIndex(), 2);
  EXPECT_EQ(lv->Selected()->Caption(), "pear");
  lv->OnCompare = [](TObject*, TListItem* a, TListItem* b, int32_t, int32_t& c) {
    c = int32_t(b->Caption().size()) - int32_t(a->Caption().size());
  };
  lv->SetSortType(stText);
  EXPECT_EQ(captions(), "Apple pear fig ");
  EXPECT_EQ(lv->Selected()->Index(), 1);
}

class TListViewForm1 : public TForm, public IFormBindings {
public:
  using TForm::TForm;
  void DeclareBindings(THandlerTable& T) override {
    T.Add("lvFilesSelectItem", this, &TListViewForm1::lvFilesSelectItem);
    T.Field("lvFiles", lvFiles);
    T.Field("ImageList1", ImageList1);
  }
  void lvFilesSelectItem(TObject*, TListItem*, bool) { ++Selects; }
  TListView* lvFiles = nullptr;
  TImageList* ImageList1 = nullptr;
  int Selects = 0;
};

TEST_F(ListViewTest, ReadsColumnsItemsAndSettingsFromAFormDescription) {
  const char* text =
      "object ListViewForm1: TListViewForm1\n"
      "  BorderStyle = bsNone\n"
      "  ClientWidth = 600\n"
      "  ClientHeight = 300\n"
      "  object lvFiles: TListView\n"
      "    Width = 500\n"
      "    Height = 200\n"
      "    Columns = <\n"
      "      item\n"
      "        Caption = '输入文件'\n"
      "        Width = 80\n"
      "      end\n"
      "      item\n"
      "        Alignment = taRightJustify\n"
      "        MaxWidth = 1\n"
      "        Width = 0\n"
      "      end>\n"
      "    Items = <\n"
      "      item\n"
      "        Caption = 'a.avi'\n"
      "        ImageIndex = 0\n"
      "        SubItems.Strings = (\n"
      "          '00:01:00')\n"
      "      end>\n"
      "    GridLines = True\n"
      "    ReadOnly = True\n"
      "    RowSelect = True\n"
      "    MultiSelect = True\n"
      "    SmallImages = ImageList1\n"
      "    ViewStyle = vsReport\n"
      "    OnSelectItem = lvFilesSelectItem\n"
      "  end\n"
      "  object ImageList1: TImageList\n"
      "  end\n"
      "end\n";
  auto* form = new TListViewForm1(owner.get());
  ReadFormDescription(form, text, "listview.dfm");
  TListView* lv = form->lvFiles;
  ASSERT_TRUE(lv && form->ImageList1);
  EXPECT_EQ(lv->Columns()->Count(), 2);
  EXPECT_EQ(lv->Column(0)->Caption(), "输入文件");
  EXPECT_EQ(lv->Column(1)->Alignment(), taRightJustify);
  EXPECT_EQ(lv->Column(1)->MaxWidth(), 1);
  EXPECT_EQ(lv->Items()->Count(), 1);
  EXPECT_EQ(lv->Items()->Item(0)->SubItems()->Get(0), "00:01:00");
  EXPECT_EQ(lv->Items()->Item(0)->ImageIndex(), 0);
  EXPECT_TRUE(lv->GridLines() && lv->ReadOnly() && lv->RowSelect() && lv->MultiSelect());
  EXPECT_EQ(lv->ViewStyle(), vsReport);
  EXPECT_EQ(lv->SmallImages(), form->ImageList1);
  lv->SetItemIndex(0);
  EXPECT_EQ(form->Selects, 1);
  delete form->ImageList1;
  EXPECT_EQ(lv->SmallImages(), nullptr);
}

// ---- pictures -----------------------------------------------------------------------------------

TImageList* SmallIcons(TComponent* owner, int size) {
  auto* il = new TImageList(owner);
  il->SetSize(size, size);
  TColor colours[] = {clRed, clGreen, clBlue};
  for (TColor c : colours) {
    TBitmap bmp;
    bmp.SetWidth(size);
    bmp.SetHeight(size);
    bmp.Canvas()->Brush()->SetColor(c);
    bmp.Canvas()->FillRect(TRect{0, 0, size, size});
    bmp.Canvas()->Brush()->SetColor(clYellow);
    bmp.Canvas()->FillRect(TRect{size / 4, size / 4, size * 3 / 4, size * 3 / 4});
    il->Add(&bmp, nullptr);
  }
  return il;
}

TEST_F(ListViewTest, PictureOfAReportViewAndAnIconView) {
  TForm* f = NewForm(0, 0, 820, 560);
  f->SetColor(clBtnFace);
  auto* lv = Make<TListView>(f, "report", 8, 8, 804, 240);
  lv->Font()->SetName("Arial");
  lv->Font()->SetHeight(14);
  lv->SetViewStyle(vsReport);
  lv->SetGridLines(true);
  lv->SetRowSelect(true);
  lv->SetSmallImages(SmallIcons(owner.get(), 16));
  const char* caps[] = {"输入文件", "视频时间", "文件大小", "输出文件", "转换进度"};
  int widths[] = {160, 90, 90, 220, 90};
  for (int i = 0; i < 5; ++i) {
    TListColumn* c = lv->Columns()->Add();
    c->SetCaption(caps[i]);
    c->SetWidth(widths[i]);
    if (i == 2 || i == 4) c->SetAlignment(taRightJustify);
  }
  const char* rows[][5] = {
      {"/home/user/视频/假期.avi", "00:03:15", "12.34MB", "假期.wmv", "45%"},
      {"/home/user/视频/a very long file name that cannot fit.mp4", "01:02:03", "700MB", "long.wmv", "100%"},
      {"/home/user/music.mp3", "N/A", "3MB", "music.wmv", ""},
  };
  for (int r = 0; r < 3; ++r) {
    TListItem* it = lv->Items()->Add();
    it->SetCaption(rows[r][0]);
    it->SetImageIndex(r);
    for (int c = 1; c < 5; ++c) it->SubItems()->Add(rows[r][c]);
  }
  auto* icons = Make<TListView>(f, "icons", 8, 256, 804, 290);
  icons->Font()->SetName("Arial");
  icons->Font()->SetHeight(14);
  icons->SetViewStyle(vsIcon);
  icons->SetHideSelection(false);
  icons->SetLargeImages(SmallIcons(owner.get(), 32));
  for (int i = 0; i < 12; ++i) {
    TListItem* it = icons->Items()->Add();
    it->SetCaption(i % 3 == 0 ? "文件夹 " + std::to_string(i) : "clip" + std::to_string(i) + ".avi");
    it->SetImageIndex(i % 3);
  }
  f->Show();
  Pump();
  lv->SetFocus();
  lv->SetItemIndex(1);
  icons->Items()->Item(4)->SetSelected(true);
  Pump();
  std::string path = std::string(OMBREL_TEST_BUILD_DIR) + "/listview_views.png";
  ASSERT_TRUE(headless::SaveScreenPng(path));

  HWND h = lv->Handle();
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  RECT wr{};
  GetWindowRect(h, &wr);
  auto at = [&](int x, int y) { return Rgb(headless::PixelAt(h, x + origin.x - wr.left, y + origin.y - wr.top)); };
  int rh = lv->RowHeight(), top = lv->HeaderHeight();
  // The selected row in the selection colour, the others on the window colour.
  EXPECT_EQ(at(600, top + rh + rh / 2), Px(clHighlight));
  EXPECT_EQ(at(645, top + rh + rh / 2), Px(clHighlight)) << "row select reaches the last column";
  EXPECT_EQ(at(600, top + 2 * rh + rh / 2), Px(clWindow));
  // Grid lines: under every row, and at every column's right edge, down to the bottom.
  EXPECT_EQ(at(600, top + 3 * rh - 1), Px(clBtnFace));
  EXPECT_EQ(at(159, top + 6 * rh + 3), Px(clBtnFace));
  // The small image of row 0 and its centre.
  EXPECT_EQ(at(2 + 1, top + (rh - 16) / 2 + 1), Px(clRed));
  EXPECT_EQ(at(2 + 8, top + (rh - 16) / 2 + 8), Px(clYellow));
  // The icon view's selected item marks its label.
  HWND ih = icons->Handle();
  TRect label = icons->Items()->Item(4)->DisplayRect(drLabel);
  POINT io{0, 0};
  ClientToScreen(ih, &io);
  RECT iw{};
  GetWindowRect(ih, &iw);
  int lx = (label.left + label.right) / 2, ly = label.top + 1;
  EXPECT_EQ(Rgb(headless::PixelAt(ih, lx + io.x - iw.left, ly + io.y - iw.top)), Px(clBtnFace))
      << "the icon view has no focus: the kept selection is grey";
}

}  // namespace

namespace {

// The list style's columns are as wide as the widest caption: a new or renamed item widens
// them, and renaming the widest one narrows them again; sub-items do not count.
TEST_F(ListViewTest, ListStyleColumnsFollowTheWidestCaption) {
  TForm* f = NewForm(100, 100, 500, 200);
  auto* lv = NewList(f);
  lv->SetViewStyle(vsList);
  f->Show();
  Pump();
  auto width = [&] { return lv->Items()->Item(0)->DisplayRect(drBounds).right - lv->Items()->Item(0)->DisplayRect(drBounds).left; };
  TListItem* a = lv->Items()->Add();
  a->SetCaption("ab");
  const int narrow = width();
  TListItem* b = lv->Items()->Add();
  b->SetCaption("a much longer caption");
  const int wide = width();
  EXPECT_GT(wide, narrow);
  b->SubItems()->Add("a sub-item longer than every caption in the list");
  EXPECT_EQ(width(), wide);
  b->SetCaption("abc");
  EXPECT_LT(width(), wide);
  EXPECT_GE(width(), narrow);
  lv->Items()->Add()->SetCaption("a much longer caption");
  EXPECT_EQ(width(), wide);
}

// What the header shows, section by section: caption and width.
std::vector<std::pair<std::string, int>> HeaderSections(HWND header) {
  std::vector<std::pair<std::string, int>> out;
  const int n = int(SendMessage(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    char text[64] = {};
    HDITEM hdi;
    hdi.mask = HDI_TEXT | HDI_WIDTH;
    hdi.pszText = text;
    hdi.cchTextMax = sizeof text;
    SendMessage(header, HDM_GETITEM, WPARAM(i), reinterpret_cast<LPARAM>(&hdi));
    out.emplace_back(text, hdi.cxy);
  }
  return out;
}

TEST_F(ListViewTest, ColumnsAddedChangedAndDeletedWhileShownReachTheHeader) {
  TForm* f = NewForm(100, 100, 600, 300);
  auto* lv = NewList(f);
  AddRows(lv, 0, 3);
  f->Show();
  Pump();
  HWND header = lv->HeaderHandle();
  ASSERT_TRUE(header);
  ASSERT_TRUE(IsWindowVisible(lv->Handle()));
  using Sections = std::vector<std::pair<std::string, int>>;
  TListColumns* cols = lv->Columns();
  struct Step {
    const char* name;
    std::function<void()> act;
    Sections shown;
  };
  const Step steps[] = {
      {"Add", [&] { cols->Add(); }, {{"", 50}}},
      {"caption", [&] { cols->Items(0)->SetCaption("名称"); }, {{"名称", 50}}},
      {"width", [&] { cols->Items(0)->SetWidth(120); }, {{"名称", 120}}},
      {"Insert", [&] { cols->Insert(0)->SetCaption("first"); }, {{"first", 50}, {"名称", 120}}},
      {"new", [&] { new TListColumn(cols); }, {{"first", 50}, {"名称", 120}, {"", 50}}},
      {"both", [&] {
         TListColumn* c = cols->Add();
         c->SetCaption("last");
         c->SetWidth(70);
       }, {{"first", 50}, {"名称", 120}, {"", 50}, {"last", 70}}},
      {"Delete", [&] { cols->Delete(1); }, {{"first", 50}, {"", 50}, {"last", 70}}},
      {"delete", [&] { delete cols->Items(0); }, {{"", 50}, {"last", 70}}},
      {"Clear", [&] { cols->Clear(); }, {}},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    s.act();
    Pump();  // the header paints what it was told
    EXPECT_EQ(HeaderSections(header), s.shown);
    int total = 0;
    for (const auto& sec : s.shown) total += sec.second;
    if (lv->Items()->Count() > 0 && total > 0) {
      EXPECT_EQ(lv->Items()->Item(0)->DisplayRect(drBounds).right, total) << "the rows follow the columns";
    }
  }
}

}  // namespace
