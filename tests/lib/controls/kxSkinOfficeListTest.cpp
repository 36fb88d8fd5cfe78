// The office list on the headless backend with injected input and the stepped clock: the items
// collection, the selection and its events, the layout and CalcHeight, page moves across
// headers, the pixel scrolling with its own bar, hot tracking, keys and wheel, the growing
// correction, the skinned painters, and the popup that never takes the focus.
#include <gtest/gtest.h>

#include "classlib/Streaming.h"
#include "lib/controls/kxSkinOfficeList.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/controls/kxSkinScrollBar.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace ctltest;
using LB = TkxSkinOfficeListBox;

class OfficeListTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(100, 100, 400, 400);
    form->Show();
    Pump();
  }
  LB* List(int h = 150, int itemHeight = 30) {
    auto* l = Make<LB>(form, "list", 10, 10, 150, h);
    l->SetItemHeight(itemHeight);
    l->OnItemClick = [this](TObject* s) { log.push_back("itemclick"); EXPECT_EQ(s, list); };
    list = l;
    return l;
  }
  // Items from a pattern: 'h' header, 'i' item, 'd' disabled item.
  void Fill(const std::string& pattern) {
    for (char c : pattern) {
      TkxSkinOfficeItem* it = list->Items()->Add();
      const int n = list->Items()->Count() - 1;
      it->SetCaption("item " + std::to_string(n));
      it->SetHeader(c == 'h');
      it->SetEnabled(c != 'd');
      it->OnClick = [this, n](TObject* s) {
        log.push_back("click" + std::to_string(n));
        EXPECT_EQ(s, list);
      };
    }
  }
  std::vector<int> Marked() {
    std::vector<int> out;
    for (int i = 0; i < list->Items()->Count(); ++i)
      if (list->Items()->GetItem(i)->Active) out.push_back(i);
    return out;
  }

  TForm* form = nullptr;
  LB* list = nullptr;
  std::vector<std::string> log;
};

// ---- items --------------------------------------------------------------------------------------

TEST_F(OfficeListTest, ItemsAreBornSelectedAtTheSelectedPositionAndAssignCopiesTheLook) {
  List();
  Fill("ii");
  list->SetItemIndex(2);  // past the end: stored, nothing marked, no event
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(Marked().empty());
  TkxSkinOfficeItem* third = list->Items()->Add();
  EXPECT_TRUE(third->Active) << "an item added at the selected position draws selected";

  TkxSkinOfficeItem src(nullptr);
  src.SetTitle("MP4");
  src.SetCaption("MPEG-4");
  src.SetImageIndex(3);
  src.SetEnabled(false);
  src.SetHeader(true);
  int data = 0;
  src.SetData(&data);
  src.OnClick = [](TObject*) {};
  third->Assign(&src);
  EXPECT_EQ(third->Title(), "MP4");
  EXPECT_EQ(third->Caption(), "MPEG-4");
  EXPECT_EQ(third->ImageIndex(), 3);
  EXPECT_FALSE(third->Enabled());
  EXPECT_TRUE(third->Header());
  EXPECT_EQ(third->Data(), nullptr) << "data and OnClick stay the item's own";
  EXPECT_FALSE(bool(third->OnClick));
}

TEST_F(OfficeListTest, ItemChangesAndRemovalUpdateTheScrollBar) {
  List(100);
  Fill("iii");
  EXPECT_EQ(list->ScrollBar, nullptr) << "96 pixels of items area hold three rows";
  Fill("i");
  ASSERT_NE(list->ScrollBar, nullptr);
  list->Items()->GetItem(3)->SetHeader(true);  // 20 high now: 110 pixels no longer fit either
  EXPECT_NE(list->ScrollBar, nullptr);
  list->Items()->Delete(3);
  EXPECT_EQ(list->ScrollBar, nullptr);
  Fill("iii");
  list->Items()->Clear();
  EXPECT_EQ(list->ScrollBar, nullptr);
}

// ---- selection ----------------------------------------------------------------------------------

TEST_F(OfficeListTest, ItemIndexFiresTheItemsOnClickThenOnItemClickOnEveryAssignment) {
  List();
  Fill("iii");
  list->SetItemIndex(1);
  list->SetItemIndex(1);
  EXPECT_EQ(log, (std::vector<std::string>{"click1", "itemclick", "click1", "itemclick"}));
  EXPECT_EQ(Marked(), std::vector<int>{1});
  log.clear();
  list->SetItemIndex(-1);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(Marked().empty()) << "a negative index leaves nothing drawn selected";
  EXPECT_EQ(list->ItemIndex(), -1);
  list->SetItemIndex(7);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(list->ItemIndex(), 7);
}

TEST_F(OfficeListTest, AHandlerThatClearsTheItemsEndsTheSelectionSafely) {
  List();
  Fill("ii");
  list->Items()->GetItem(0)->OnClick = [this](TObject*) { list->Items()->Clear(); };
  list->SetItemIndex(0);
  EXPECT_EQ(log, std::vector<std::string>{"itemclick"});
  EXPECT_EQ(list->Items()->Count(), 0);
}

// ---- layout -------------------------------------------------------------------------------------

TEST_F(OfficeListTest, LayoutStacksRowsByKindAndMarksTheVisibleOnes) {
  List(100);
  list->SetHeaderHeight(20);
  Fill("hiiii");
  list->CalcItemRects();
  EXPECT_EQ(list->ItemsRect(), (TRect{2, 2, 148 - list->ScrollBar->Width(), 98}));
  const int right = list->ItemsRect().right;
  EXPECT_EQ(list->Items()->GetItem(0)->ItemRect, (TRect{2, 2, right, 22}));
  EXPECT_EQ(list->Items()->GetItem(1)->ItemRect, (TRect{2, 22, right, 52}));
  EXPECT_EQ(list->Items()->GetItem(4)->ItemRect, (TRect{2, 112, right, 142}));
  std::vector<bool> visible;
  for (int i = 0; i < 5; ++i) visible.push_back(list->Items()->GetItem(i)->IsVisible);
  EXPECT_EQ(visible, (std::vector<bool>{true, true, true, true, false}));
  int mn, mx, page, pos;
  list->GetScrollInfo(mn, mx, page, pos);
  EXPECT_EQ(mn, 0);
  EXPECT_EQ(mx, 140);
  EXPECT_EQ(page, 96);
  EXPECT_EQ(pos, 0);
}

TEST_F(OfficeListTest, ContentExactlyAsTallAsTheAreaShowsNoBar) {
  List(4 + 3 * 30);
  Fill("iii");
  int mn, mx, page, pos;
  list->GetScrollInfo(mn, mx, page, pos);
  EXPECT_EQ(mx, 0);
  EXPECT_EQ(page, 0);
  EXPECT_EQ(list->ScrollBar, nullptr);
}

TEST_F(OfficeListTest, CalcHeightPlainAndSkinned) {
  List(100, 50);
  Fill("hiiiii");
  EXPECT_EQ(list->CalcHeight(4), 4 * 50 + 5);
  EXPECT_EQ(list->CalcHeight(10), 6 * 50 + 5) << "never more rows than items";
  EXPECT_EQ(list->CalcHeight(-3), 5);

  auto* sd = new TkxSkinData(owner.get());
  skinlint::LoadGeneratedSkin(0, *sd);
  list->SetSkinData(sd);
  ASSERT_NE(list->SkinIndex(), -1);
  const int frame = list->Height() - RectHeight(list->RealClientRect());
  EXPECT_EQ(list->CalcHeight(4), 4 * 50 + frame + 1);
}

TEST_F(OfficeListTest, ItemAtPosSkipsDisabledItemsAndFindsHeaders) {
  List();
  Fill("hid");
  list->CalcItemRects();
  EXPECT_EQ(list->ItemAtPos(10, 5), 0);
  EXPECT_EQ(list->ItemAtPos(10, 30), 1);
  EXPECT_EQ(list->ItemAtPos(10, 60), -1) << "disabled";
  EXPECT_EQ(list->ItemAtPos(10, 22), 1) << "the top edge belongs to the row";
  EXPECT_EQ(list->ItemAtPos(147, 30), 1);
  EXPECT_EQ(list->ItemAtPos(148, 30), -1) << "the right edge does not";
}

// ---- page moves ---------------------------------------------------------------------------------

TEST_F(OfficeListTest, PageMovesStopAfterAHeaderOrGoToTheLastSelectableItemOfThePage) {
  // 96 pixels of rows of 30: a page of 3 rows; the walk looks at the page's rows after the
  // selection and one more.
  struct Case {
    const char* items;
    int from;
    bool down;
    int want;
  } cases[] = {
      {"iiiiiiii", 0, true, 4},  {"iiiiiiii", -1, true, 3}, {"iihiiiii", 0, true, 3},
      {"ihiiiiii", 0, true, 2},  {"iiiiiihi", 6, true, 7},  {"iiiiiiii", 7, true, 7},
      {"iiiddiii", 1, true, 5},  {"iiiiiiii", 6, false, 2}, {"iiiihiii", 6, false, 3},
      {"iiiiiiii", 0, false, 0}, {"iiiiiiii", 2, false, 0}, {"hiiiiiii", 3, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.items << " from " << c.from << (c.down ? " down" : " up"));
    auto* l = List(100);
    Fill(c.items);
    list->SetItemIndex(c.from);
    log.clear();
    c.down ? list->FindPageDown() : list->FindPageUp();
    EXPECT_EQ(list->ItemIndex(), c.want);
    delete l;
  }
}

TEST_F(OfficeListTest, AZeroRowHeightPagesAsByAPageOfOneRow) {
  List(100, 0);
  Fill("iiii");
  list->SetItemIndex(0);
  list->FindPageDown();
  EXPECT_EQ(list->ItemIndex(), 2);
  list->FindPageUp();
  EXPECT_EQ(list->ItemIndex(), 0);
}

TEST_F(OfficeListTest, UpAndDownSkipHeadersAndDisabledItems) {
  List(300);
  Fill("hidih");
  list->FindDown();
  EXPECT_EQ(list->ItemIndex(), 1);
  list->FindDown();
  EXPECT_EQ(list->ItemIndex(), 3);
  log.clear();
  list->FindDown();
  EXPECT_EQ(list->ItemIndex(), 3);
  EXPECT_TRUE(log.empty()) << "nothing below: no event";
  list->FindUp();
  EXPECT_EQ(list->ItemIndex(), 1);
  list->FindUp();
  EXPECT_EQ(list->ItemIndex(), 1);
}

// ---- scrolling ----------------------------------------------------------------------------------

TEST_F(OfficeListTest, SelectingScrollsTheItemIntoViewAndTheHeaderAboveTheFirstStays) {
  List(100);
  list->SetHeaderHeight(20);
  Fill("hiiiiii");
  list->SetItemIndex(5);
  // Bottom 172 (unscrolled) + top margin 2 - height 100 + 1.
  EXPECT_EQ(list->ScrollOffset(), 172 + 2 - 100 + 1);
  ASSERT_NE(list->ScrollBar, nullptr);
  EXPECT_EQ(list->ScrollBar->Position(), list->ScrollOffset());
  list->SetItemIndex(1);
  EXPECT_EQ(list->ScrollOffset(), 0) << "the header above the first item shows";
  list->SetItemIndex(4);
  EXPECT_EQ(list->ScrollOffset(), 142 + 2 - 100 + 1);
  list->SetItemIndex(5);
  list->SetItemIndex(2);
  EXPECT_EQ(list->ScrollOffset(), 50) << "the item's top at the area's top";
}

TEST_F(OfficeListTest, TheWheelScrollsByARowAndLeavesTheSelection) {
  List(100);
  Fill("iiiiii");
  list->SetItemIndex(0);
  list->SetFocus();
  MoveTo(list, 20, 20);
  headless::Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(list->ScrollOffset(), 30);
  EXPECT_EQ(list->ItemIndex(), 0);
  headless::Wheel(WHEEL_DELTA);
  Pump();
  EXPECT_EQ(list->ScrollOffset(), 0);

  auto* small = Make<LB>(form, "small", 200, 10, 150, 150);
  small->Items()->Add();
  small->SetFocus();
  MoveTo(small, 20, 20);
  headless::Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(small->ScrollOffset(), 0) << "no bar, no scrolling";
}

TEST_F(OfficeListTest, TheBarScrollsTheContentByPixels) {
  List(100);
  Fill("iiiiii");
  ASSERT_NE(list->ScrollBar, nullptr);
  Pump();
  list->ScrollBar->SetPosition(17);
  EXPECT_EQ(list->ScrollOffset(), 17);
  list->CalcItemRects();
  EXPECT_EQ(list->Items()->GetItem(0)->ItemRect.top, 2 - 17);
  // The bar sits in the items area's right edge, as tall as the area.
  EXPECT_EQ(list->ScrollBar->Left(), 148 - list->ScrollBar->Width());
  EXPECT_EQ(list->ScrollBar->Top(), 2);
  EXPECT_EQ(list->ScrollBar->Height(), 96);
}

TEST_F(OfficeListTest, AGrowingListPullsScrolledContentDownButNeverBelowTheTop) {
  List(100);
  Fill("iiiiii");  // 180 of content
  list->Scroll(80);
  list->SetBounds(10, 10, 150, 150);  // area 146: room below the last row
  EXPECT_EQ(list->ScrollOffset(), 180 - 146);
  list->SetBounds(10, 10, 150, 300);
  EXPECT_EQ(list->ScrollOffset(), 0);
  EXPECT_EQ(list->ScrollBar, nullptr);
}

// ---- mouse and keys -----------------------------------------------------------------------------

TEST_F(OfficeListTest, PressMarksQuietlyAndReleaseSelectsWithEvents) {
  List(300);
  Fill("hidi");
  Pump();
  MoveTo(list, 20, 35);  // item 1
  headless::ButtonDown();
  Pump();
  EXPECT_EQ(Marked(), std::vector<int>{1});
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(list->Focused()) << "a press takes the focus";
  MoveTo(list, 20, 95);  // item 3, dragged onto
  EXPECT_EQ(Marked(), std::vector<int>{3});
  headless::ButtonUp();
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"click3", "itemclick"}));

  log.clear();
  ClickAt(list, 20, 10);  // the header
  ClickAt(list, 20, 65);  // the disabled item
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(list->ItemIndex(), 3);
}

TEST_F(OfficeListTest, HotTrackingMarksWithoutEvents) {
  List(300);
  Fill("iii");
  list->SetMouseMoveChangeIndex(true);
  Pump();
  MoveTo(list, 20, 35);
  EXPECT_EQ(Marked(), std::vector<int>{1});
  MoveTo(list, 20, 65);
  EXPECT_EQ(Marked(), std::vector<int>{2});
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_TRUE(log.empty());
}

TEST_F(OfficeListTest, ArrowAndPageKeysMoveTheSelection) {
  List(100);
  Fill("iiiiiiii");
  list->SetFocus();
  Pump();
  EXPECT_EQ(list->Perform(WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTARROWS));
  struct Step {
    int vk, want;
  } steps[] = {{VK_DOWN, 0}, {VK_RIGHT, 1}, {VK_NEXT, 5}, {VK_UP, 4}, {VK_PRIOR, 0}, {VK_LEFT, 0}};
  for (const Step& s : steps) {
    headless::PressKey(s.vk);
    Pump();
    EXPECT_EQ(list->ItemIndex(), s.want) << "key " << s.vk;
  }
}

// ---- painting -----------------------------------------------------------------------------------

TEST_F(OfficeListTest, PlainLookFillsHeadersSelectionAndItems) {
  List(200);
  Fill("hii");
  list->SetItemIndex(1);
  Pump();
  auto at = [&](int x, int y) { return Rgb(headless::PixelAt(list->Handle(), x, y)); };
  EXPECT_EQ(at(0, 0), Px(clBtnShadow)) << "frame";
  EXPECT_EQ(at(140, 5), Px(clBtnShadow)) << "header band";
  EXPECT_EQ(at(140, 30), Px(clHighlight)) << "selected";
  EXPECT_EQ(at(140, 60), Px(clWindow));
  EXPECT_EQ(at(140, 150), Px(clWindow)) << "below the items";
}

TEST_F(OfficeListTest, SkinnedHeaderWithAPictureOutsideTheSkinDrawsNoBand) {
  auto* sd = new TkxSkinData(owner.get());
  skinlint::LoadGeneratedSkin(3, *sd);
  List(200);
  Fill("hiihii");
  list->SetShowLines(true);
  list->SetSkinData(sd);
  list->SetItemIndex(1);
  Pump();
  const int h = sd->GetControlIndex("menuheader");
  ASSERT_GE(h, 0);
  sd->CtrlList[size_t(h)]->PictureIndex = 999;
  list->Repaint();  // no crash; the text still draws
  Pump();
  SUCCEED();
}

// ---- popup --------------------------------------------------------------------------------------

TEST_F(OfficeListTest, ThePopupShowsWithoutTakingTheFocusAndHides) {
  auto* edit = Make<TkxSkinOfficeListBox>(form, "other", 10, 10, 100, 100);
  edit->SetFocus();
  auto* popup = new TkxPopupOfficeListBox(owner.get());
  popup->SetBounds(0, 0, 120, 80);
  popup->Items()->Add()->SetCaption("one");
  EXPECT_FALSE(popup->Visible());
  popup->Show(TPoint{300, 250});
  Pump();
  EXPECT_TRUE(popup->Visible());
  EXPECT_TRUE(IsWindowVisible(popup->Handle()));
  EXPECT_EQ(GetWindowLongPtr(popup->Handle(), GWL_STYLE) & WS_POPUP, LONG_PTR(WS_POPUP));
  RECT r;
  GetWindowRect(popup->Handle(), &r);
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.top, 250);
  ClickAt(popup, 20, 10);
  EXPECT_TRUE(edit->Focused()) << "a click on the popup leaves the focus where it was";
  EXPECT_EQ(GetActiveWindow(), form->Handle());
  popup->Hide();
  EXPECT_FALSE(popup->Visible());
  EXPECT_FALSE(IsWindowVisible(popup->Handle()));
}

}  // namespace
