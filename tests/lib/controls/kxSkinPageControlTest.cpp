// The skinned page control on the headless backend: the corrected tab rectangles and page area
// with room for images and close buttons, centred and shifted rows with the clicks moved along,
// close buttons (hit, hot look, click, refusal, freeing), hidden tabs and border, wheel paging,
// the pixels of turned side tabs, the skin's frame and the sheets' backgrounds.
//
// The box test font at height -10 makes every Latin character 5 pixels wide, so a tab is
// 5 * characters + 12 long, plus the room the control reserves (1 pixel, an image, a close
// button); rows are DefaultItemHeight (20) thick while unskinned.
#include <gtest/gtest.h>

#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinPageControl.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/controls/kxSkinUpDown.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace ctltest;
using skinlint::LoadGeneratedSkin;

class SkinPageControl : public ControlTest {
protected:
  TkxSkinPageControl* NewPages(TWinControl* parent, std::vector<std::string> captions, int w = 200, int h = 100) {
    auto* pc = Make<TkxSkinPageControl>(parent, made++ == 0 ? "pc" : "pc" + std::to_string(made), 10, 10, w, h);
    pc->DefaultFont()->SetName(kTestBoxFontName);
    pc->DefaultFont()->SetHeight(-10);
    pc->ChangeSkinData();
    for (size_t i = 0; i < captions.size(); ++i) {
      auto* s = new TkxSkinTabSheet(owner.get());
      s->SetName(pc->Name() == "pc" ? "s" + std::to_string(i) : pc->Name() + "s" + std::to_string(i));
      s->SetCaption(captions[i]);
      s->SetPageControl(pc);
    }
    return pc;
  }
  int made = 0;
  TForm* Shown(int w = 300, int h = 200) {
    TForm* f = NewForm(100, 100, w, h);
    f->Show();
    return f;
  }
  TkxSkinCustomTabSheet* Sheet(TkxSkinPageControl* pc, int i) {
    return dynamic_cast<TkxSkinCustomTabSheet*>(pc->Pages(i));
  }
  TRect ItemRect(TkxSkinPageControl* pc, int i) {
    RECT r{};
    EXPECT_TRUE(SendMessage(pc->Handle(), TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r)));
    return r;
  }
  uint32_t At(TkxSkinPageControl* pc, int x, int y) { return Rgb(headless::PixelAt(pc->Handle(), x, y)); }
  void Paint(TWinControl* c) {
    c->Repaint();
    Pump();
  }
  // The client centre of a tab's close button, from the rectangle last painted.
  TPoint CloseCentre(TkxSkinPageControl* pc, int tab) {
    TRect t = pc->GetTabRect(tab);
    TRect b = Sheet(pc, tab)->ButtonRect;
    return TPoint{t.left + (b.left + b.right) / 2, t.top + (b.top + b.bottom) / 2};
  }
};

TEST_F(SkinPageControl, TabsInCenterIsRefusedWithoutTabWidthAndForcesASingleTopRow) {
  TForm* f = Shown();
  TkxSkinPageControl* pc = NewPages(f, {"A", "BB"});
  pc->SetTabPosition(tpLeft);
  pc->SetMultiLine(true);
  pc->SetTabsInCenter(true);
  EXPECT_FALSE(pc->TabsInCenter());
  EXPECT_EQ(pc->TabPosition(), tpLeft);
  EXPECT_TRUE(pc->MultiLine());
  EXPECT_FALSE(pc->TabsBGTransparent());

  pc->SetTabWidth(40);
  pc->SetTabsInCenter(true);
  EXPECT_TRUE(pc->TabsInCenter());
  EXPECT_EQ(pc->TabPosition(), tpTop);
  EXPECT_FALSE(pc->MultiLine());
  EXPECT_TRUE(pc->TabsBGTransparent());
  // A tab length of 0 again cannot keep a centred row.
  pc->SetTabWidth(0);
  EXPECT_FALSE(pc->TabsInCenter());

  // A positive offset does the same to the row.
  pc->SetTabsBGTransparent(false);
  pc->SetTabPosition(tpBottom);
  pc->SetTabsOffset(30);
  EXPECT_EQ(pc->TabPosition(), tpTop);
  EXPECT_TRUE(pc->TabsBGTransparent());
  EXPECT_EQ(pc->GetFirstTabOffset(), 30);
}

TEST_F(SkinPageControl, CentredAndShiftedRowsMoveTheTabsAndTheClicks) {
  TForm* f = Shown();
  TkxSkinPageControl* pc = NewPages(f, {"A", "BB", "CCC"});
  pc->SetTabWidth(40);
  pc->SetTabsInCenter(true);
  Pump();
  // 200 / 2 - 3 * 40 / 2; the tab window lays the row out from 2, the skin from 0.
  ASSERT_EQ(pc->GetFirstTabOffset(), 40);
  EXPECT_EQ(ItemRect(pc, 0), TRect(40, 0, 81, 20));
  EXPECT_EQ(ItemRect(pc, 2), TRect(122, 0, 163, 20));
  EXPECT_EQ(pc->GetTabRect(0), TRect(41, 0, 81, 20));

  // A click where the third tab is drawn selects it, although the tab window has it 40 pixels
  // further left; a click where nothing is drawn selects nothing.
  ClickAt(pc, 130, 10);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(2));
  ClickAt(pc, 20, 10);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(2));
  ClickAt(pc, 50, 10);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(0));

  // A fixed offset instead of the centre.
  pc->SetTabsInCenter(false);
  pc->SetTabsOffset(100);
  EXPECT_EQ(ItemRect(pc, 1), TRect(141, 0, 182, 20));
  ClickAt(pc, 150, 10);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(1));
  // The hover follows the drawn tabs.
  MoveTo(pc, 110, 5);
  EXPECT_EQ(pc->ActiveTabIndex(), 0);
  MoveTo(pc, 20, 5);
  EXPECT_EQ(pc->ActiveTabIndex(), -1);
}

// The tab rectangles and the page area the control reports, by position, skin and room.
TEST_F(SkinPageControl, TabRectanglesAndPageAreaAreCorrectedWithRoomForImagesAndCloseButtons) {
  TkxSkinData SD(nullptr);
  LoadGeneratedSkin(0, SD);
  const int32_t ti = SD.GetControlIndex("tab");
  ASSERT_GE(ti, 0);
  auto* rec = dynamic_cast<TkxDataSkinTabControl*>(SD.CtrlList[size_t(ti)].get());
  ASSERT_NE(rec, nullptr);
  const int th = RectHeight(rec->TabRect);
  const int L = rec->ClRect.left, T = rec->ClRect.top;
  const int RM = RectWidth(rec->SkinRect) - rec->ClRect.right, BM = RectHeight(rec->SkinRect) - rec->ClRect.bottom;

  TForm* f = Shown();
  TCustomImageList* il = new TImageList(owner.get());
  il->SetSize(16, 12);
  struct Case {
    TTabPosition pos;
    bool skinned, close, images;
    TRect tab1;  // TCM_GETITEMRECT of "BB"
    TRect page;  // TCM_ADJUSTRECT of the client rectangle
  };
  // Tab "A" is 5 + 12 + 1 long, "BB" 10 + 12 + 1; close buttons add 14 (the skin's resize tool
  // button is drawn at that size), images 16 across or 12 down.
  const Case cases[] = {
      {tpTop, false, false, false, {18, 0, 41, 20}, {1, 21, 199, 99}},
      {tpTop, false, true, false, {32, 0, 69, 20}, {1, 21, 199, 99}},
      {tpTop, false, true, true, {48, 0, 101, 20}, {1, 21, 199, 99}},
      {tpBottom, false, true, false, {32, 80, 69, 100}, {1, 1, 199, 79}},
      {tpLeft, false, true, true, {0, 46, 20, 95}, {21, 1, 199, 99}},
      {tpRight, false, false, false, {180, 20, 200, 43}, {1, 1, 179, 99}},
      {tpTop, true, false, false, {18, 0, 41, th}, {L, th + T, 200 - RM, 100 - BM}},
      {tpTop, true, true, true, {48, 0, 101, th}, {L, th + T, 200 - RM, 100 - BM}},
      {tpBottom, true, false, false, {18, 100 - th, 41, 100}, {L, T, 200 - RM, 100 - th - BM}},
      {tpLeft, true, true, false, {0, 34, th, 71}, {th + L, T, 200 - RM, 100 - BM}},
      {tpRight, true, false, false, {200 - th, 20, 200, 43}, {L, T, 200 - th - RM, 100 - BM}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "position " << c.pos << " skinned " << c.skinned << " close " << c.close
                                    << " images " << c.images);
    TkxSkinPageControl* pc = NewPages(f, {"A", "BB"});
    pc->SetUseSkinFont(false);
    pc->SetSkinData(c.skinned ? &SD : nullptr);
    pc->SetShowCloseButtons(c.close);
    pc->SetImages(c.images ? il : nullptr);
    pc->SetTabPosition(c.pos);
    Pump();
    EXPECT_EQ(pc->SkinIndex() >= 0, c.skinned);
    EXPECT_EQ(ItemRect(pc, 1), c.tab1);
    EXPECT_EQ(pc->PageRect(), c.page);
    EXPECT_EQ(pc->ActivePage()->BoundsRect(), c.page);
    delete pc;
  }
}

TEST_F(SkinPageControl, RoomForCloseButtonsAndImagesComesBackExactlyAndFollowsTheTabPosition) {
  TForm* f = Shown();
  TkxSkinPageControl* pc = NewPages(f, {"A", "BB"});
  TCustomImageList* il = new TImageList(owner.get());
  il->SetSize(16, 12);
  const TRect plain = ItemRect(pc, 1);
  pc->SetShowCloseButtons(true);
  pc->SetImages(il);
  EXPECT_EQ(pc->TempImages()->Width(), 1 + 16 + 14);
  EXPECT_EQ(pc->TempImages()->Height(), 1);
  // Side tabs take the room along their length, which is the list's height.
  pc->SetTabPosition(tpLeft);
  EXPECT_EQ(pc->TempImages()->Width(), 1);
  EXPECT_EQ(pc->TempImages()->Height(), 1 + 12 + 14);
  pc->SetTabPosition(tpTop);
  pc->SetImages(nullptr);
  pc->SetShowCloseButtons(false);
  EXPECT_EQ(pc->TempImages()->Width(), 1);
  EXPECT_EQ(pc->TempImages()->Height(), 1);
  EXPECT_EQ(ItemRect(pc, 1), plain);
  // A freed image list gives its room back.
  pc->SetImages(il);
  delete il;
  EXPECT_EQ(pc->Images(), nullptr);
  pc->SetShowCloseButtons(true);
  EXPECT_EQ(pc->TempImages()->Width(), 1 + 14);
}

TEST_F(SkinPageControl, CloseButtonsLightUpUnderTheMouseAndCloseTheirPage) {
  TForm* f = Shown();
  TkxSkinPageControl* pc = NewPages(f, {"A", "BB", "CCC"});
  pc->SetShowCloseButtons(true);
  std::vector<std::string> log;
  bool refuse = false;
  pc->OnClose = [&](TObject* Sender, bool& CanClose) {
    log.push_back("close " + static_cast<TComponent*>(Sender)->Name());
    CanClose = !refuse;
  };
  pc->OnAfterClose = [&](TObject* Sender) { log.push_back(Sender == pc ? "after" : "after?"); };
  Paint(pc);
  // Unskinned, the button is the 14-pixel cell at the tab's end, its glyph black at rest.
  TkxSkinCustomTabSheet* s1 = Sheet(pc, 1);
  EXPECT_EQ(RectWidth(s1->ButtonRect), 14);
  const TPoint c1 = CloseCentre(pc, 1);
  auto glyphPixel = [&](TkxSkinCustomTabSheet* s, int tab) {
    TRect t = pc->GetTabRect(tab);
    // The close glyph's diagonal starts at the cell's top-left + (3, 3).
    return At(pc, t.left + s->ButtonRect.left + 3, t.top + s->ButtonRect.top + 3);
  };
  EXPECT_EQ(glyphPixel(s1, 1), Px(clBlack));

  // Over the tab, not over its button: the tab is hot, the button is not.
  MoveTo(pc, pc->GetTabRect(1).left + 3, 10);
  EXPECT_EQ(pc->ActiveTabIndex(), 1);
  EXPECT_FALSE(s1->ButtonMouseIn);
  // Over the button: hot, and its glyph turns white.
  MoveTo(pc, c1.x, c1.y);
  EXPECT_TRUE(s1->ButtonMouseIn);
  EXPECT_FALSE(s1->ButtonMouseDown);
  Pump();
  EXPECT_EQ(glyphPixel(s1, 1), Px(TColor(0xFFFFFF)));
  // Pressed: down; the press also selects the tab.
  headless::ButtonDown();
  Pump();
  EXPECT_TRUE(s1->ButtonMouseDown);
  EXPECT_EQ(pc->ActivePage(), s1);
  // Released over it: the page's tab goes, the page stays unless FreeOnClose.
  headless::ButtonUp();
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"close s1", "after"}));
  EXPECT_FALSE(s1->TabVisible());
  EXPECT_EQ(pc->PageCount(), 3);
  EXPECT_NE(pc->ActivePage(), s1);

  // Refused: the page stays; leaving the control takes the pressed look away.
  log.clear();
  refuse = true;
  TkxSkinCustomTabSheet* s2 = Sheet(pc, 2);
  Paint(pc);
  ClickAt(pc, pc->GetTabRect(1).left + 3, 10);  // CCC is now the second tab
  Paint(pc);
  const TPoint c2 = CloseCentre(pc, 1);
  MoveTo(pc, c2.x, c2.y);
  headless::ButtonDown();
  Pump();
  EXPECT_TRUE(s2->ButtonMouseDown);
  headless::ButtonUp();
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"close s2"}));
  EXPECT_TRUE(s2->TabVisible());
  EXPECT_TRUE(s2->ButtonMouseIn);
  MoveTo(f, 250, 180);
  Pump();
  EXPECT_FALSE(s2->ButtonMouseIn);
  EXPECT_FALSE(s2->ButtonMouseDown);
  EXPECT_EQ(pc->ActiveTabIndex(), -1);

  // A release away from the button closes nothing.
  log.clear();
  refuse = false;
  MoveTo(pc, c2.x, c2.y);
  headless::ButtonDown();
  MoveTo(pc, pc->GetTabRect(1).left + 2, 3);
  headless::ButtonUp();
  Pump();
  EXPECT_TRUE(log.empty());

  // FreeOnClose frees the page.
  pc->SetFreeOnClose(true);
  Paint(pc);
  MoveTo(pc, c2.x, c2.y);
  headless::ButtonDown();
  headless::ButtonUp();
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"close s2", "after"}));
  EXPECT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(owner->FindComponent("s2"), nullptr);
}

TEST_F(SkinPageControl, SideTabCloseButtonsAreHitWhereTheTurnedTabShowsThem) {
  TForm* f = Shown();
  for (TTabPosition pos : {tpLeft, tpRight}) {
    SCOPED_TRACE(pos);
    TkxSkinPageControl* pc = NewPages(f, {"AAAA", "B"}, 200, 150);
    pc->SetShowCloseButtons(true);
    pc->SetTabPosition(pos);
    Paint(pc);
    TkxSkinCustomTabSheet* s0 = Sheet(pc, 0);
    TRect t = pc->GetTabRect(0);
    TRect b = s0->ButtonRect;
    // Turned with the tab: 14 along it, at the end where its text ends (the top for left tabs,
    // which read upwards; the bottom for right tabs, which read downwards).
    EXPECT_EQ(RectHeight(b), 14);
    if (pos == tpLeft) {
      EXPECT_LT(b.top, RectHeight(t) / 2);
    } else {
      EXPECT_GT(b.top, RectHeight(t) / 2);
    }
    MoveTo(pc, t.left + (b.left + b.right) / 2, t.top + (b.top + b.bottom) / 2);
    EXPECT_TRUE(s0->ButtonMouseIn);
    ClickAt(pc, t.left + (b.left + b.right) / 2, t.top + (b.top + b.bottom) / 2);
    EXPECT_FALSE(s0->TabVisible());
    delete pc;
  }
}

TEST_F(SkinPageControl, HiddenTabsAndBorderGiveThePageTheRoom) {
  TForm* f = Shown();
  TkxSkinPageControl* pc = NewPages(f, {"A", "BB"});
  pc->SetTabPosition(tpLeft);
  pc->SetMultiLine(true);
  pc->SetTabHeight(24);
  pc->HideTabs();
  EXPECT_TRUE(pc->TabsHidden());
  EXPECT_EQ(pc->TabPosition(), tpTop);
  EXPECT_FALSE(pc->MultiLine());
  EXPECT_EQ(pc->TabHeight(), 1);
  // The frame starts at the top edge.
  EXPECT_EQ(pc->PageRect(), TRect(1, 1, 199, 99));
  // Hidden tabs neither hover nor close.
  MoveTo(pc, 5, 0);
  EXPECT_EQ(pc->ActiveTabIndex(), -1);
  // A second hide keeps what the first one saved.
  pc->HideTabs();
  pc->ShowTabs();
  EXPECT_FALSE(pc->TabsHidden());
  EXPECT_EQ(pc->TabPosition(), tpLeft);
  EXPECT_TRUE(pc->MultiLine());
  EXPECT_EQ(pc->TabHeight(), 24);
  EXPECT_EQ(pc->PageRect(), TRect(25, 1, 199, 99));
  pc->ShowTabs();  // not hidden: nothing
  EXPECT_EQ(pc->TabHeight(), 24);

  // Without the border the page area is the whole control, from 2 pixels above its top.
  pc->HideBorderAndTabs();
  EXPECT_TRUE(pc->BorderHidden());
  EXPECT_EQ(pc->PageRect(), TRect(0, -2, 200, 100));
  EXPECT_EQ(pc->ActivePage()->BoundsRect(), TRect(0, -2, 200, 100));
  pc->ShowBorderAndTabs();
  EXPECT_FALSE(pc->BorderHidden());
  EXPECT_FALSE(pc->TabsHidden());
  // The row came back on top, where hiding the border put it.
  EXPECT_EQ(pc->TabPosition(), tpTop);
  EXPECT_EQ(pc->PageRect(), TRect(1, 25, 199, 99));

  // Nothing to hide without a visible tab.
  auto* empty = NewPages(f, {});
  empty->HideTabs();
  EXPECT_FALSE(empty->TabsHidden());
}

TEST_F(SkinPageControl, TheWheelPagesThroughTheVisibleTabs) {
  TForm* f = Shown();
  TkxSkinPageControl* pc = NewPages(f, {"A", "B", "C", "D"});
  pc->Pages(2)->SetTabVisible(false);
  pc->SetFocus();
  Pump();
  auto wheel = [&](int delta) {
    headless::Wheel(delta);
    Pump();
    return pc->ActivePageIndex();
  };
  EXPECT_EQ(wheel(-WHEEL_DELTA), 0);  // off by default
  pc->SetMouseWheelSupport(true);
  EXPECT_EQ(wheel(-WHEEL_DELTA), 1);
  EXPECT_EQ(wheel(-WHEEL_DELTA), 3);  // past the hidden tab
  EXPECT_EQ(wheel(-WHEEL_DELTA), 3);  // the last one stays
  EXPECT_EQ(wheel(WHEEL_DELTA), 1);
  EXPECT_EQ(wheel(WHEEL_DELTA), 0);
  EXPECT_EQ(wheel(WHEEL_DELTA), 0);
  EXPECT_EQ(pc->TabIndex(), 0);
}

// Side tabs are drawn as top tabs and turned: left tabs counter-clockwise, right tabs
// clockwise; with TextInHorizontal the content is drawn after the turn and stays upright. A
// mark drawn at the top-left of the content shows where the turn took it.
TEST_F(SkinPageControl, SideTabsAreTurnedTopTabs) {
  TForm* f = Shown();
  const TColor mark = TColor(0x0000FF);  // red
  struct Case {
    TTabPosition pos;
    bool horizontal;
  };
  for (Case c : {Case{tpTop, false}, Case{tpLeft, false}, Case{tpRight, false}, Case{tpLeft, true}}) {
    SCOPED_TRACE(testing::Message() << "position " << c.pos << " horizontal " << c.horizontal);
    TkxSkinPageControl* pc = NewPages(f, {"AAAA", "B"}, 200, 150);
    pc->SetTabPosition(c.pos);
    pc->SetTextInHorizontal(c.horizontal);
    TRect seen{};
    pc->OnDrawSkinTab = [&](int32_t Index, const TRect& Rct, bool, bool, TCanvas* Cnvs) {
      if (Index != 1) return;
      seen = Rct;
      Cnvs->Brush()->SetStyle(bsSolid);
      Cnvs->Brush()->SetColor(mark);
      Cnvs->FillRect(TRect{0, 0, 6, 2});  // 6 across, 2 down
    };
    Paint(pc);
    const TRect t = pc->GetTabRect(1);
    const int len = c.pos == tpTop ? RectWidth(t) : RectHeight(t);
    const int thick = c.pos == tpTop ? RectHeight(t) : RectWidth(t);
    EXPECT_EQ(seen, c.horizontal ? TRect(0, 0, thick, len) : TRect(0, 0, len, thick));
    // Where the mark's 6 x 2 block ends up, relative to the tab.
    TRect block;
    if (c.pos == tpTop || c.horizontal) block = TRect{0, 0, 6, 2};
    else if (c.pos == tpLeft) block = TRect{0, len - 6, 2, len};
    else block = TRect{thick - 2, 0, thick, 6};
    for (int y = 0; y < RectHeight(t); ++y)
      for (int x = 0; x < RectWidth(t); ++x) {
        const bool in = x >= block.left && x < block.right && y >= block.top && y < block.bottom;
        if (in != (At(pc, t.left + x, t.top + y) == Px(mark))) {
          ADD_FAILURE() << "pixel " << x << "," << y << (in ? " not marked" : " marked");
          x = RectWidth(t), y = RectHeight(t);
        }
      }
    delete pc;
  }
}

// Skinned, the record's tab image is turned the same way: its fixed left end (copied as it is)
// lands at the bottom of a left tab, at the top of a right tab, and upside down under a bottom
// tab.
TEST_F(SkinPageControl, SkinnedSideAndBottomTabsTurnTheTabImage) {
  TkxSkinData SD(nullptr);
  LoadGeneratedSkin(0, SD);
  TForm* f = Shown();
  for (TTabPosition pos : {tpTop, tpBottom, tpLeft, tpRight}) {
    SCOPED_TRACE(pos);
    TkxSkinPageControl* pc = NewPages(f, {"A", "B", "C"}, 200, 150);
    pc->SetSkinData(&SD);
    pc->SetTabPosition(pos);
    Paint(pc);
    ASSERT_GE(pc->SkinIndex(), 0);
    const TRect src = pc->TabRect;
    const int th = RectHeight(src);
    const TRect t = pc->GetTabRect(2);  // not selected, not hovered
    const int len = pos == tpTop || pos == tpBottom ? RectWidth(t) : RectHeight(t);
    EXPECT_EQ(pos == tpTop || pos == tpBottom ? RectHeight(t) : RectWidth(t), th);
    int bad = 0;
    for (int by = 0; by < th; ++by)
      for (int bx = 0; bx < pc->TabLeftOffset; ++bx) {
        int x = bx, y = by;
        switch (pos) {
          case tpTop: break;
          case tpBottom: y = th - 1 - by; break;
          case tpLeft: x = by, y = len - 1 - bx; break;
          case tpRight: x = th - 1 - by, y = bx; break;
        }
        if (At(pc, t.left + x, t.top + y) != Px(pc->Picture->Canvas()->Pixels(src.left + bx, src.top + by))) ++bad;
      }
    EXPECT_EQ(bad, 0);
    delete pc;
  }
}

// The plain look of the tabs: the selected tab framed in navy, a hot tab in the hover colour.
TEST_F(SkinPageControl, PlainTabsShowSelectionAndHover) {
  TForm* f = Shown();
  TkxSkinPageControl* pc = NewPages(f, {"AAAA", "BBBB", "CCCC"});
  pc->SetActivePageIndex(1);
  MoveTo(pc, pc->GetTabRect(2).left + 3, 3);
  Paint(pc);
  const TRect t1 = pc->GetTabRect(1), t2 = pc->GetTabRect(2), t0 = pc->GetTabRect(0);
  EXPECT_EQ(At(pc, t1.left, t1.top), Px(clNavy));
  EXPECT_EQ(At(pc, t1.left + 2, t1.top + 2), Px(TColor(0xD2BDB6)));
  EXPECT_EQ(At(pc, t2.left + 1, t2.top + 1), Px(TColor(0xD2BDB6)));
  EXPECT_EQ(At(pc, t0.left + 1, t0.top + 1), Px(clBtnFace));
  // The frame round the page area.
  const TRect page = pc->PageRect();
  EXPECT_EQ(At(pc, page.left - 1, page.top + 10), Px(clBtnShadow));
  EXPECT_EQ(At(pc, page.right, page.top + 10), Px(clBtnShadow));
  // Focused, the selected tab takes the pressed colour.
  pc->SetFocus();
  Paint(pc);
  EXPECT_EQ(At(pc, t1.left + 2, t1.top + 2), Px(TColor(0xB59385)));
}

// Skinned: the frame strips from the record's picture, the selected tab reaching over the
// frame, the sheets painted from the skin's client picture, the skinned scroller once the row
// overflows.
TEST_F(SkinPageControl, SkinnedFrameTabsAndSheets) {
  TkxSkinData SD(nullptr);
  LoadGeneratedSkin(0, SD);
  TForm* f = Shown(400, 300);
  TkxSkinPageControl* pc = NewPages(f, {"AAAA", "BBBB"}, 300, 150);
  pc->SetSkinData(&SD);
  Paint(pc);
  ASSERT_GE(pc->SkinIndex(), 0);
  TBitmap* pic = pc->Picture;
  ASSERT_NE(pic, nullptr);
  auto picPx = [&](int x, int y) { return Px(pic->Canvas()->Pixels(x, y)); };
  const TRect F{0, RectHeight(pc->TabRect), 300, 150};
  // Frame corners come from the skin image's corners.
  EXPECT_EQ(At(pc, F.left, F.bottom - 1), picPx(pc->SkinRect.left, pc->SkinRect.bottom - 1));
  EXPECT_EQ(At(pc, F.right - 1, F.bottom - 1), picPx(pc->SkinRect.right - 1, pc->SkinRect.bottom - 1));
  // The sheet shows the client part of the skin image.
  TRect sheet = pc->ActivePage()->BoundsRect();
  EXPECT_EQ(At(pc, sheet.left + 5, sheet.top + 5),
            picPx(pc->SkinRect.left + pc->ClRect.left + 5, pc->SkinRect.top + pc->ClRect.top + 5));
  // The unselected tab: the record's tab image (its fixed left end copied as it is).
  const TRect t1 = pc->GetTabRect(1);
  EXPECT_EQ(At(pc, t1.left + 1, t1.top + 1), picPx(pc->TabRect.left + 1, pc->TabRect.top + 1));
  // The selected tab: the active image, drawn over the frame's top edge.
  const TRect t0 = pc->GetTabRect(0);
  EXPECT_EQ(At(pc, t0.left + 1, t0.top + 1), picPx(pc->ActiveTabRect.left + 1, pc->ActiveTabRect.top + 1));
  EXPECT_FALSE(pc->ScrollerShown());

  // More tabs than the row holds: the scroller shows; a wider control removes it.
  for (int i = 0; i < 8; ++i) {
    auto* s = new TkxSkinTabSheet(owner.get());
    s->SetCaption("MORE TABS");
    s->SetPageControl(pc);
  }
  Pump();
  TkxSkinUpDown* ud = pc->Scroller();
  ASSERT_NE(ud, nullptr);
  EXPECT_EQ(ud->SkinDataName(), pc->UpDown);
  EXPECT_EQ(ud->Left() + ud->Width(), 300);
  EXPECT_EQ(ud->Top(), 0);
  EXPECT_EQ(ud->Position(), 0);
  const int outOfView = ud->Max();
  EXPECT_GT(outOfView, 0);
  // Its up button shows the row from the next tab on.
  const TRect up = ud->Button(0).R;
  ClickAt(ud, (up.left + up.right) / 2, (up.top + up.bottom) / 2);
  EXPECT_EQ(ud->Position(), 1);
  EXPECT_EQ(pc->TabsScrolledOut(), 1);
  EXPECT_LE(pc->GetTabRect(0).right, 0);
  // Choosing a tab keeps the scroller's position with the row.
  pc->SetActivePageIndex(0);
  pc->SelectNextPage(true);
  EXPECT_EQ(ud->Position(), pc->TabsScrolledOut());
  pc->SetMultiLine(true);
  Pump();
  EXPECT_EQ(pc->Scroller(), nullptr);
  pc->SetMultiLine(false);
  Pump();
  EXPECT_NE(pc->Scroller(), nullptr);
}

TEST_F(SkinPageControl, PlainScrollerIsTwoRowHeightsWideAtTheRowsEnd) {
  TForm* f = Shown(400, 300);
  TkxSkinPageControl* pc = NewPages(f, {"AAAAAAAA", "BBBBBBBB", "CCCCCCCC", "DDDDDDDD"}, 150, 100);
  Pump();
  ASSERT_NE(pc->Scroller(), nullptr);
  EXPECT_EQ(pc->Scroller()->BoundsRect(), TRect(110, 0, 150, 20));
  // Bottom tabs have it at the bottom; a row that fits has none.
  pc->SetTabPosition(tpBottom);
  Pump();
  ASSERT_NE(pc->Scroller(), nullptr);
  EXPECT_EQ(pc->Scroller()->BoundsRect(), TRect(110, 80, 150, 100));
  pc->SetBounds(10, 10, 390, 100);
  Pump();
  EXPECT_EQ(pc->Scroller(), nullptr);
}

TEST_F(SkinPageControl, SheetsTileTheirWallPaperAndAnswerThePaintQuery) {
  TForm* f = Shown();
  TkxSkinPageControl* pc = NewPages(f, {"A"});
  TBitmap wp;
  wp.SetPixelFormat(pf24bit);
  wp.SetSize(3, 3);
  wp.Canvas()->Brush()->SetColor(clRed);
  wp.Canvas()->FillRect(TRect{0, 0, 3, 3});
  wp.Canvas()->SetPixels(0, 0, clLime);
  Sheet(pc, 0)->SetWallPaper(&wp);
  Paint(pc->ActivePage());
  TRect s = pc->ActivePage()->BoundsRect();
  EXPECT_EQ(At(pc, s.left + 3, s.top + 6), Px(clLime));
  EXPECT_EQ(At(pc, s.left + 4, s.top + 6), Px(clRed));
  EXPECT_EQ(pc->ActivePage()->Perform(KXM_PAINTNCTODC, 0, 0), KX_PAINTNCTODC_ANSWER);
  EXPECT_EQ(pc->Perform(KXM_PAINTNCTODC, 0, 0), KX_PAINTNCTODC_ANSWER);
}

// A skin data freed before the control, and a record of the wrong kind, leave the plain look.
TEST_F(SkinPageControl, MissingOrWrongRecordsDrawThePlainLook) {
  TForm* f = Shown();
  TkxSkinPageControl* pc = NewPages(f, {"A", "B"});
  {
    TkxSkinData SD(nullptr);
    LoadGeneratedSkin(0, SD);
    pc->SetSkinData(&SD);
    EXPECT_GE(pc->SkinIndex(), 0);
    pc->SetSkinDataName("button");
    pc->ChangeSkinData();
    EXPECT_EQ(pc->SkinIndex(), -1);
    Paint(pc);
    pc->SetSkinDataName("tab");
    pc->ChangeSkinData();
    EXPECT_GE(pc->SkinIndex(), 0);
  }
  EXPECT_EQ(pc->SkinData(), nullptr);
  Paint(pc);
  EXPECT_EQ(pc->SkinIndex(), -1);
  EXPECT_EQ(At(pc, 0, 50), Px(clBtnShadow));
}

// Picture indexes past the skin's list mean "no picture": the background falls back to the
// client part of the skin image, and a record without its picture draws the plain look.
TEST_F(SkinPageControl, PictureIndexesPastTheListMeanNoPicture) {
  TkxSkinData SD(nullptr);
  LoadGeneratedSkin(0, SD);
  auto* rec = dynamic_cast<TkxDataSkinTabControl*>(SD.CtrlList[size_t(SD.GetControlIndex("tab"))].get());
  ASSERT_NE(rec, nullptr);
  TForm* f = Shown();
  TkxSkinPageControl* pc = NewPages(f, {"A"});
  rec->BGPictureIndex = 100000;
  pc->SetSkinData(&SD);
  Paint(pc);
  ASSERT_GE(pc->SkinIndex(), 0);
  TRect s = pc->ActivePage()->BoundsRect();
  EXPECT_EQ(At(pc, s.left + 5, s.top + 5),
            Px(pc->Picture->Canvas()->Pixels(pc->SkinRect.left + pc->ClRect.left + 5,
                                             pc->SkinRect.top + pc->ClRect.top + 5)));
  rec->PictureIndex = 100000;
  pc->ChangeSkinData();
  Paint(pc);
  EXPECT_EQ(pc->SkinIndex(), -1);
  EXPECT_EQ(At(pc, s.left + 5, s.top + 5), Px(clBtnFace));
}

TEST_F(SkinPageControl, FormDescriptionsStreamThePageControlAndItsSheets) {
  RegisterSkinDataFormClasses();
  auto* f = new TForm(owner.get());
  ReadFormDescription(f,
                      "object F: TForm\n  BorderStyle = bsNone\n  ClientWidth = 300\n  ClientHeight = 200\n"
                      "  object pc: TkxSkinPageControl\n"
                      "    Width = 200\n    Height = 100\n    TabPosition = tpBottom\n    ShowCloseButtons = True\n"
                      "    MouseWheelSupport = True\n    TabWidth = 50\n    TabsInCenter = True\n"
                      "    DefaultItemHeight = 24\n"
                      "    object p1: TkxSkinTabSheet\n      Caption = 'One'\n    end\n"
                      "    object p2: TkxSkinTabSheet\n      Caption = 'Two'\n    end\n"
                      "  end\n"
                      "end\n",
                      "pages.dfm");
  auto* pc = dynamic_cast<TkxSkinPageControl*>(f->FindComponent("pc"));
  ASSERT_NE(pc, nullptr);
  EXPECT_TRUE(pc->ShowCloseButtons());
  EXPECT_TRUE(pc->MouseWheelSupport());
  EXPECT_TRUE(pc->TabsInCenter());
  EXPECT_EQ(pc->TabPosition(), tpTop);
  EXPECT_EQ(pc->DefaultItemHeight(), 24);
  EXPECT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(pc->TempImages()->Width(), 15);
  f->Show();
  Pump();
  EXPECT_EQ(RectHeight(pc->GetTabRect(0)), 24);
}

}  // namespace
