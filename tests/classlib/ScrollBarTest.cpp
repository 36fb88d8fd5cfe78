// The plain scroll bar and up/down on the headless backend with injected input and the stepped
// clock: ranges and clamping, keyboard and mouse steps with their scroll codes, the repeat on
// hold, the thumb drag, the up/down's wrapping and its associated edit, and both read from a
// form description.
#include <gtest/gtest.h>

#include "base/Exception.h"
#include "classlib/EditCtrls.h"
#include "classlib/ScrollCtrls.h"
#include "classlib/Streaming.h"
#include "tests/classlib/ControlTestFixture.h"

using namespace ctltest;

namespace {

struct ScrollLog {
  std::vector<std::pair<TScrollCode, int32_t>> Steps;
  int Changes = 0;
  void Attach(TScrollBar* s) {
    s->OnScroll = [this](TObject*, TScrollCode code, int32_t& pos) { Steps.emplace_back(code, pos); };
    s->OnChange = [this](TObject*) { ++Changes; };
  }
};

using Steps = std::vector<std::pair<TScrollCode, int32_t>>;

class ScrollBarTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(100, 100, 300, 200);
    sb = Make<TScrollBar>(form, "sb", 10, 10, 200, 17);
    log.Attach(sb);
    form->Show();
    Pump();
  }
  void Wait(int ms) {
    clock.Advance(uint64_t(ms));
    Pump();
  }
  void Press(TControl* c, int x, int y) {
    TPoint p = c->ClientToScreen(TPoint{x, y});
    headless::MoveMouse(p.x, p.y);
    headless::ButtonDown();
    Pump();
  }
  void Release() {
    headless::ButtonUp();
    Pump();
  }
  TForm* form = nullptr;
  TScrollBar* sb = nullptr;
  ScrollLog log;
};

TEST_F(ScrollBarTest, SetParamsClampsThePositionAndRefusesMaxBelowMin) {
  struct Case {
    int32_t page, pos, min, max;
    int32_t wantPos, wantPage;
  } cases[] = {
      {0, 50, 0, 100, 50, 0},     {0, -5, 0, 100, 0, 0},      {0, 500, 0, 100, 100, 0},
      {10, 500, 0, 100, 91, 10},  // the last page fills the view
      {0, 7, 7, 7, 7, 0},          // a single position
      {500, 3, 0, 9, 0, 10},       // a page beyond the range is cut to it
      {0, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN, 0}, {0, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.pos << " in " << c.min << ".." << c.max << " page " << c.page);
    sb->SetParams(0, 0, 100);
    sb->SetPageSize(0);
    sb->SetParams(c.pos, c.min, c.max);
    sb->SetPageSize(c.page);
    EXPECT_EQ(sb->Position(), c.wantPos);
    EXPECT_EQ(sb->PageSize(), c.wantPage);
    EXPECT_GE(sb->Position(), sb->Min());
    EXPECT_LE(sb->Position(), sb->MaxPosition());
    form->Repaint();  // any range paints
  }
  sb->SetPageSize(0);
  sb->SetParams(40, 0, 100);
  int changes = log.Changes;
  EXPECT_THROW(sb->SetParams(40, 10, 5), EInvalidOperation);
  EXPECT_THROW(sb->SetMin(101), EInvalidOperation);
  EXPECT_THROW(sb->SetMax(-1), EInvalidOperation);
  EXPECT_EQ(sb->Min(), 0);
  EXPECT_EQ(sb->Max(), 100);
  EXPECT_EQ(sb->Position(), 40);
  EXPECT_EQ(log.Changes, changes);
  sb->SetMax(30);  // the position follows a range that shrinks past it
  EXPECT_EQ(sb->Position(), 30);
  EXPECT_EQ(log.Changes, changes + 1);
  sb->SetSmallChange(0);
  sb->SetLargeChange(100000);
  EXPECT_EQ(sb->SmallChange(), 1);
  EXPECT_EQ(sb->LargeChange(), 32767);
}

TEST_F(ScrollBarTest, KeysStepWithTheirScrollCodes) {
  sb->SetParams(50, 0, 100);
  sb->SetSmallChange(2);
  sb->SetLargeChange(20);
  sb->SetFocus();
  Pump();
  ASSERT_TRUE(sb->Focused());
  for (int vk : {VK_RIGHT, VK_LEFT, VK_UP, VK_DOWN, VK_NEXT, VK_PRIOR, VK_END, VK_HOME}) headless::PressKey(vk);
  Pump();
  EXPECT_EQ(log.Steps, (Steps{{scLineDown, 52}, {scEndScroll, 52}, {scLineUp, 50}, {scEndScroll, 50},
                              {scLineUp, 48}, {scEndScroll, 48}, {scLineDown, 50}, {scEndScroll, 50},
                              {scPageDown, 70}, {scEndScroll, 70}, {scPageUp, 50}, {scEndScroll, 50},
                              {scBottom, 100}, {scEndScroll, 100}, {scTop, 0}, {scEndScroll, 0}}));
  EXPECT_EQ(sb->Position(), 0);
  // Past the ends the position stays; OnScroll may change where a step lands (clamped).
  log.Steps.clear();
  headless::PressKey(VK_LEFT);
  Pump();
  EXPECT_EQ(log.Steps.front(), (std::pair<TScrollCode, int32_t>{scLineUp, 0}));
  sb->OnScroll = [](TObject*, TScrollCode code, int32_t& pos) {
    if (code == scLineDown) pos = 1000;
  };
  headless::PressKey(VK_RIGHT);
  Pump();
  EXPECT_EQ(sb->Position(), 100);
}

TEST_F(ScrollBarTest, ArrowsAndTrackStepAndRepeatWhileHeld) {
  // 200 wide: arrows of 17, a square thumb of 17, 149 pixels of travel for positions 0..100.
  sb->SetParams(0, 0, 100);
  sb->SetLargeChange(25);
  ClickAt(sb, 190, 8);
  EXPECT_EQ(log.Steps, (Steps{{scLineDown, 1}, {scEndScroll, 1}}));
  ClickAt(sb, 5, 8);
  EXPECT_EQ(sb->Position(), 0);
  log.Steps.clear();

  Press(sb, 190, 8);  // hold the right arrow
  EXPECT_EQ(sb->Position(), 1);
  Wait(499);
  EXPECT_EQ(sb->Position(), 1);
  Wait(1);
  EXPECT_EQ(sb->Position(), 2);
  Wait(50);
  Wait(50);
  EXPECT_EQ(sb->Position(), 4);
  Release();
  Wait(500);
  EXPECT_EQ(sb->Position(), 4);
  EXPECT_EQ(log.Steps.back().first, scEndScroll);

  // Holding the track pages towards the pointer and stops once the thumb is under it.
  sb->SetPosition(0);
  log.Steps.clear();
  Press(sb, 120, 8);  // pixel 120 lies about position 69
  EXPECT_EQ(sb->Position(), 25);
  Wait(500);
  Wait(50);
  EXPECT_EQ(sb->Position(), 75);
  Wait(50);
  Wait(500);
  EXPECT_EQ(sb->Position(), 75);  // the thumb reached the pointer
  Release();
  EXPECT_EQ(log.Steps, (Steps{{scPageDown, 25}, {scPageDown, 50}, {scPageDown, 75}, {scEndScroll, 75}}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ScrollBarTest, DraggingTheThumbTracksAndEndsWithItsPosition) {
  sb->SetParams(0, 0, 100);
  Press(sb, 17 + 8, 8);  // on the thumb, 8 pixels into it
  TPoint p = sb->ClientToScreen(TPoint{17 + 8 + 75, 8});
  headless::MoveMouse(p.x, p.y);
  Pump();
  EXPECT_EQ(sb->Position(), 50);  // 75 of 149 pixels, rounded
  p = sb->ClientToScreen(TPoint{400, 60});  // beyond the end, off the bar
  headless::MoveMouse(p.x, p.y);
  Pump();
  EXPECT_EQ(sb->Position(), 100);
  Release();
  EXPECT_EQ(log.Steps, (Steps{{scTrack, 50}, {scTrack, 100}, {scPosition, 100}, {scEndScroll, 100}}));

  // A vertical bar with a page drags over Min..Max - PageSize + 1.
  sb->SetKind(sbVertical);
  EXPECT_EQ(sb->Width(), 17);
  EXPECT_EQ(sb->Height(), 200);
  sb->SetPageSize(50);
  EXPECT_EQ(sb->Position(), 51);
  log.Steps.clear();
  TRect r = sb->ClientRect();
  win::detail::ScrollBarParts parts;
  win::detail::LayoutScrollBar(r, true, 0, 100, 50, 51, &parts);
  ASSERT_TRUE(parts.hasThumb);
  Press(sb, 8, parts.thumb.bottom - 2);
  p = sb->ClientToScreen(TPoint{8, -50});
  headless::MoveMouse(p.x, p.y);
  Pump();
  Release();
  EXPECT_EQ(sb->Position(), 0);
  EXPECT_EQ(log.Steps.back(), (std::pair<TScrollCode, int32_t>{scEndScroll, 0}));
}

// ---- TUpDown ----------------------------------------------------------------------------------

class UpDownTest : public ScrollBarTest {
protected:
  void SetUp() override {
    ScrollBarTest::SetUp();
    ud = Make<TUpDown>(form, "ud", 250, 10, 17, 34);
    ud->OnClick = [this](TObject*, TUDBtnType b) { clicks.push_back(b == btNext ? 'n' : 'p'); };
    Pump();
  }
  TUpDown* ud = nullptr;
  std::string clicks;
};

TEST_F(UpDownTest, StepsByIncrementClampedOrWrapped) {
  struct Case {
    int32_t min, max, pos, inc;
    bool wrap;
    const char* presses;
    std::vector<int32_t> want;
  } cases[] = {
      {0, 10, 0, 3, false, "nnnnp", {3, 6, 9, 10, 7}},
      {0, 10, 0, 3, true, "nnnnpp", {3, 6, 9, 0, 10, 7}},
      {0, 10, 5, 0, false, "np", {5, 5}},
      {10, 0, 5, 2, false, "nnnp", {3, 1, 0, 2}},  // a reversed range counts down
      {-5, 5, 0, 4, true, "pppn", {-4, 5, 1, 5}},
      {INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX, false, "nppp", {INT32_MAX, 0, -INT32_MAX, INT32_MIN}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.min << ".." << c.max << " from " << c.pos << " by " << c.inc << " "
                                      << c.presses);
    ud->SetMin(c.min);
    ud->SetMax(c.max);
    ud->SetPosition(c.pos);
    ud->SetIncrement(c.inc);
    ud->SetWrap(c.wrap);
    clicks.clear();
    std::vector<int32_t> got;
    for (const char* p = c.presses; *p; ++p) {
      ud->Step(*p == 'n' ? btNext : btPrev);
      got.push_back(ud->Position());
    }
    EXPECT_EQ(got, c.want);
    EXPECT_EQ(clicks, c.presses);  // every press is reported, at an end too
  }
  // Out-of-range positions and ranges that shrink clamp the position.
  ud->SetMin(0);
  ud->SetMax(10);
  ud->SetPosition(99);
  EXPECT_EQ(ud->Position(), 10);
  ud->SetMax(4);
  EXPECT_EQ(ud->Position(), 4);
  ud->SetPosition(-3);
  EXPECT_EQ(ud->Position(), 0);
}

TEST_F(UpDownTest, OnChangingMayRefuseAStep) {
  ud->SetPosition(5);
  bool allow = false;
  int asked = 0;
  ud->OnChanging = [&](TObject*, bool& a) {
    ++asked;
    a = allow;
  };
  ud->Step(btNext);
  EXPECT_EQ(ud->Position(), 5);
  allow = true;
  ud->Step(btNext);
  EXPECT_EQ(ud->Position(), 6);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(clicks, "nn");
}

TEST_F(UpDownTest, MouseStepsAndRepeatsWhileHeld) {
  ClickAt(ud, 8, 4);  // upper half: next
  ClickAt(ud, 8, 30);  // lower half: previous
  ClickAt(ud, 8, 4);
  EXPECT_EQ(clicks, "npn");
  EXPECT_EQ(ud->Position(), 1);
  Press(ud, 8, 4);
  EXPECT_EQ(ud->Position(), 2);
  Wait(500);
  EXPECT_EQ(ud->Position(), 3);
  Wait(100);
  Wait(100);
  EXPECT_EQ(ud->Position(), 5);
  // Off the button the repeat pauses; back on it, it goes on.
  TPoint off = ud->ClientToScreen(TPoint{8, 30});
  headless::MoveMouse(off.x, off.y);
  Wait(300);
  EXPECT_EQ(ud->Position(), 5);
  Release();
  Wait(500);
  EXPECT_EQ(ud->Position(), 5);

  ud->SetOrientation(udHorizontal);
  EXPECT_EQ(ud->Width(), 34);
  clicks.clear();
  ClickAt(ud, 4, 8);   // left half: previous
  ClickAt(ud, 30, 8);  // right half: next
  EXPECT_EQ(clicks, "pn");
}

TEST_F(UpDownTest, TheAssociatedEditShowsThePositionAndStepsWithArrowKeys) {
  auto* e = Make<TEdit>(form, "e", 10, 60, 100, 22);
  ud->SetMax(5000);
  ud->SetIncrement(250);
  ud->SetPosition(1000);
  ud->SetAssociate(e);
  EXPECT_EQ(e->Text(), "1,000");
  // The buttons take their room from the edit, at its right.
  EXPECT_EQ(e->Width(), 100 - 17);
  EXPECT_EQ(ud->Left(), 10 + 83);
  EXPECT_EQ(ud->Top(), 60);
  EXPECT_EQ(ud->Height(), 22);

  ClickAt(ud, 8, 4);
  EXPECT_EQ(e->Text(), "1,250");
  EXPECT_TRUE(e->Focused());  // the press left the focus with the edit
  // What the user typed is the position the next step starts from; text that is no number is not.
  e->SetText("3000");
  ud->Step(btNext);
  EXPECT_EQ(e->Text(), "3,250");
  e->SetText("三千");
  EXPECT_EQ(ud->Position(), 3250);
  ud->Step(btPrev);
  EXPECT_EQ(e->Text(), "3,000");
  e->SetText("99999");
  EXPECT_EQ(ud->Position(), 5000);

  headless::PressKey(VK_DOWN);
  headless::PressKey(VK_DOWN);
  headless::PressKey(VK_UP);
  Pump();
  EXPECT_EQ(e->Text(), "4,750");
  ud->SetThousands(false);
  EXPECT_EQ(e->Text(), "4750");
  ud->SetArrowKeys(false);
  headless::PressKey(VK_UP);
  Pump();
  EXPECT_EQ(e->Text(), "4750");

  // Freeing the up/down gives the edit its own key handling back; freeing the edit first is safe.
  ud->SetArrowKeys(true);
  delete ud;
  ud = nullptr;
  headless::PressKey(VK_UP);
  Pump();
  EXPECT_EQ(e->Text(), "4750");
  auto* ud2 = Make<TUpDown>(form, "ud2", 250, 100, 17, 34);
  ud2->SetAssociate(e);
  delete e;
  ud2->Step(btNext);
  EXPECT_EQ(ud2->Position(), 1);
  EXPECT_EQ(ud2->Associate(), nullptr);
  EXPECT_THROW(ud2->SetAssociate(ud2), EInvalidOperation);
}

// ---- read from a description ------------------------------------------------------------------

class TScrollForm1 : public TForm, public IFormBindings {
public:
  using TForm::TForm;
  void DeclareBindings(THandlerTable& T) override {
    T.Add("sbScroll", this, &TScrollForm1::sbScroll);
    T.Add("udClick", this, &TScrollForm1::udClick);
    T.Field("sb", sb);
    T.Field("sb2", sb2);
    T.Field("ud", ud);
    T.Field("edt", edt);
  }
  void sbScroll(TObject*, TScrollCode, int32_t&) { ++Scrolls; }
  void udClick(TObject*, TUDBtnType) { ++Clicks; }
  TScrollBar* sb = nullptr;
  TScrollBar* sb2 = nullptr;
  TUpDown* ud = nullptr;
  TEdit* edt = nullptr;
  int Scrolls = 0, Clicks = 0;
};

const char* kScrollForm =
    "object ScrollForm1: TScrollForm1\n"
    "  BorderStyle = bsNone\n"
    "  ClientWidth = 300\n"
    "  ClientHeight = 200\n"
    "  object sb: TScrollBar\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 17\n"
    "    Height = 150\n"
    "    Kind = sbVertical\n"
    "    Min = 150\n"
    "    Max = 200\n"
    "    PageSize = 10\n"
    "    Position = 195\n"
    "    SmallChange = 5\n"
    "    LargeChange = 20\n"
    "    OnScroll = sbScroll\n"
    "  end\n"
    "  object sb2: TScrollBar\n"
    "    Left = 40\n"
    "    Top = 8\n"
    "    Min = 9\n"
    "    Max = 3\n"
    "    Position = -4\n"
    "  end\n"
    "  object edt: TEdit\n"
    "    Left = 40\n"
    "    Top = 40\n"
    "    Width = 80\n"
    "    Height = 22\n"
    "  end\n"
    "  object ud: TUpDown\n"
    "    Left = 120\n"
    "    Top = 40\n"
    "    Associate = edt\n"
    "    Min = -10\n"
    "    Max = 10\n"
    "    Position = 3\n"
    "    Increment = 2\n"
    "    Wrap = True\n"
    "    Thousands = False\n"
    "    OnClick = udClick\n"
    "  end\n"
    "end\n";

class FormReaderScroll : public ControlTest {};

TEST_F(FormReaderScroll, ReadsScrollBarsAndAnUpDownWithItsEdit) {
  auto* form = new TScrollForm1(owner.get());
  ReadFormDescription(form, kScrollForm, "scroll.dfm");
  ASSERT_TRUE(form->sb && form->sb2 && form->ud && form->edt);
  TScrollBar* sb = form->sb;
  EXPECT_EQ(sb->Kind(), sbVertical);
  EXPECT_EQ(sb->Width(), 17);  // Kind read after the size does not turn it again
  EXPECT_EQ(sb->Height(), 150);
  EXPECT_EQ(sb->Min(), 150);  // Min above the default Max, read before Max
  EXPECT_EQ(sb->Max(), 200);
  EXPECT_EQ(sb->PageSize(), 10);
  EXPECT_EQ(sb->Position(), 191);  // the last page's start
  EXPECT_EQ(sb->SmallChange(), 5);
  EXPECT_EQ(sb->LargeChange(), 20);
  EXPECT_EQ(form->sb2->Max(), 9);  // a Max below Min becomes Min
  EXPECT_EQ(form->sb2->Position(), 9);

  TUpDown* ud = form->ud;
  EXPECT_EQ(ud->Associate(), form->edt);
  EXPECT_EQ(form->edt->Text(), "3");
  EXPECT_TRUE(ud->Wrap());
  EXPECT_EQ(ud->Increment(), 2);
  ud->SetPosition(9);
  ud->Step(btNext);
  EXPECT_EQ(form->edt->Text(), "-10");
  EXPECT_EQ(form->Clicks, 1);
  form->Show();
  sb->SetFocus();
  Pump();
  headless::PressKey(VK_UP);
  Pump();
  EXPECT_EQ(sb->Position(), 186);
  EXPECT_EQ(form->Scrolls, 2);  // the step and its end
}

}  // namespace
