// The skinned scroll bar on the headless backend with injected input and the stepped clock:
// range and position clamping without events, the thumb's geometry (half to even) in the plain
// look and a generated skin, the repeat of held arrows and track, the thumb drag, the wheel and
// keys, the both marker, the disabled look, and the bar read from a form description.
#include <gtest/gtest.h>

#include <climits>

#include "classlib/Streaming.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/controls/kxSkinScrollBar.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace ctltest;
using SB = TkxSkinScrollBar;

class SkinScrollBarTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(100, 100, 400, 300);
    bar = Make<SB>(form, "bar", 10, 10, 200, 19);
    bar->OnChange = [this](TObject*) { ++changes; };
    bar->OnLastChange = [this](TObject*) { ++lastChanges; };
    bar->OnPageUp = [this](TObject*) { ++pageUps; };
    bar->OnPageDown = [this](TObject*) { ++pageDowns; };
    form->Show();
    Pump();
  }
  // The clock in one-millisecond steps, so that every timer fires on its due time.
  void Wait(int ms) {
    for (int i = 0; i < ms; ++i) {
      clock.Advance(1);
      Pump();
    }
  }
  void Press(TControl* c, int x, int y, int button = 0) {
    MoveTo(c, x, y);
    headless::ButtonDown(button);
    Pump();
  }
  void Release(int button = 0) {
    headless::ButtonUp(button);
    Pump();
  }
  TRect Thumb() {
    bar->CalcRects();
    return bar->Buttons(SB::kThumb).R;
  }
  uint32_t Pixel(int x, int y) { return Rgb(headless::PixelAt(bar->Handle(), x, y)); }

  TForm* form = nullptr;
  SB* bar = nullptr;
  int changes = 0, lastChanges = 0, pageUps = 0, pageDowns = 0;
};

// SetRange and SimplySetPosition mirror an owner's state: clamped, never an OnChange. The last
// position is Max - PageSize + 1, and a page longer than the range leaves Min.
TEST_F(SkinScrollBarTest, SetRangeClampsWithoutEvents) {
  struct Case {
    int32_t min, max, pos, page, want;
  } cases[] = {
      {0, 100, 500, 10, 91},    {0, 100, 500, 0, 100},         {0, 100, -5, 10, 0},
      {10, 100, 95, 10, 91},    {10, 100, 3, 0, 10},           {-50, 50, -60, 0, -50},
      {0, 100, 50, 500, 0},     {0, 0, 7, 0, 0},               {0, 2000000, 1999990, 100, 1999901},
      {INT_MIN, INT_MAX, INT_MAX, 1, INT_MAX}, {INT_MIN, INT_MAX, INT_MIN, 0, INT_MIN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.min << ".." << c.max << " pos " << c.pos << " page " << c.page);
    bar->SetRange(c.min, c.max, c.pos, c.page);
    EXPECT_EQ(bar->Position(), c.want);
    bar->SimplySetPosition(c.pos);
    EXPECT_EQ(bar->Position(), c.want);
  }
  EXPECT_EQ(changes, 0);

  bar->SetRange(0, 100, 0, 10);
  bar->SetPosition(500);
  EXPECT_EQ(bar->Position(), 91);
  EXPECT_EQ(changes, 1);
  bar->SetPosition(91);
  bar->SetPosition(1000);
  EXPECT_EQ(changes, 1) << "an unchanged position fires nothing";
  bar->SetPosition(-3);
  EXPECT_EQ(bar->Position(), 0);
  EXPECT_EQ(changes, 2);
}

// Max and PageSize keep the position within Max - PageSize + 1 also when Min is not 0, and
// never fire OnChange; a page that would leave the position beyond the end is refused.
TEST_F(SkinScrollBarTest, MinMaxAndPageSettersKeepThePositionValid) {
  bar->SetRange(10, 200, 95, 10);
  bar->SetMax(100);
  EXPECT_EQ(bar->Position(), 91);
  bar->SetRange(10, 100, 90, 0);
  bar->SetPageSize(11);
  EXPECT_EQ(bar->PageSize(), 11) << "90 stays valid with a page of 11 on 10..100";
  bar->SetPageSize(12);
  EXPECT_EQ(bar->PageSize(), 11) << "90 would pass the last position 89";
  bar->SetPageSize(-1);
  EXPECT_EQ(bar->PageSize(), 11);
  bar->SetMin(95);
  EXPECT_EQ(bar->Position(), 95);
  bar->SetRange(0, 100, 100, 0);
  bar->SetMax(40);
  EXPECT_EQ(bar->Position(), 40);
  EXPECT_EQ(changes, 0);
}

// The plain horizontal bar of 200 x 19: arrows 1..17 and 183..199, track 17..183.
TEST_F(SkinScrollBarTest, PlainThumbGeometryRoundsHalfToEven) {
  bar->CalcRects();
  EXPECT_EQ(bar->Buttons(SB::kDownButton).R, (TRect{1, 1, 17, 18}));
  EXPECT_EQ(bar->Buttons(SB::kUpButton).R, (TRect{183, 1, 199, 18}));
  EXPECT_EQ(bar->TrackArea(), (TRect{17, 1, 183, 18}));
  struct Case {
    int32_t min, max, pos, page, left, right;
  } cases[] = {
      {0, 100, 0, 0, 17, 33},   {0, 100, 50, 0, 92, 108},  {0, 100, 100, 0, 167, 183},
      {0, 100, 1, 0, 19, 35},   // 150 x 0.01 = 1.5 -> 2
      {0, 100, 3, 0, 21, 37},   // 4.5 -> 4, not 5
      {5, 5, 5, 0, 17, 33},     // no range: the start
      {0, 99, 0, 10, 17, 33},   // page 16.6 -> 17 long, drawn 16 (odd)
      {0, 331, 0, 85, 17, 59},  // page 42.5 -> 42
      {0, 100, 0, 500, 17, 183}, // a page beyond the range fills the track
      {0, 100, 0, 101, 17, 183},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.min << ".." << c.max << " pos " << c.pos << " page " << c.page);
    bar->SetRange(c.min, c.max, c.pos, c.page);
    const TRect t = Thumb();
    EXPECT_EQ(t.left, c.left);
    EXPECT_EQ(t.right, c.right);
    EXPECT_EQ(t.top, 1);
    EXPECT_EQ(t.bottom, 18);
  }
}

TEST_F(SkinScrollBarTest, VerticalBarAndAPageLongerThanTheRange) {
  bar->SetKind(sbVertical);
  bar->SetBounds(10, 10, 19, 150);
  bar->SetRange(0, 10, 0, 50);
  EXPECT_EQ(Thumb(), (TRect{1, 17, 18, 133}));
  bar->SetRange(0, 100, 100, 0);
  EXPECT_EQ(Thumb(), (TRect{1, 117, 18, 133}));
  EXPECT_EQ(bar->Buttons(SB::kUpButton).R, (TRect{1, 133, 18, 149}));
}

// Generated skin: a 100 x 17 record with 17-pixel arrows and a 30-pixel thumb, stretched to 200.
TEST_F(SkinScrollBarTest, SkinnedGeometryFollowsTheResizedEnd) {
  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(0, sd);
  bar->SetSkinData(&sd);
  Pump();
  ASSERT_NE(bar->SkinIndex(), -1);
  EXPECT_EQ(bar->Height(), 17) << "the record's height";
  bar->SetRange(0, 100, 0, 0);
  EXPECT_EQ(bar->TrackArea(), (TRect{17, 0, 183, 17}));
  EXPECT_EQ(bar->Buttons(SB::kDownButton).R, (TRect{0, 0, 17, 17}));
  EXPECT_EQ(bar->Buttons(SB::kUpButton).R, (TRect{183, 0, 200, 17}));
  EXPECT_EQ(Thumb(), (TRect{17, 0, 47, 17}));
  bar->SetRange(0, 100, 100, 0);
  EXPECT_EQ(Thumb(), (TRect{153, 0, 183, 17}));
  bar->SetRange(0, 9, 0, 5);  // page 83 long
  EXPECT_EQ(Thumb(), (TRect{17, 0, 99, 17}));
  // Hot arrow: the skin's hot picture replaces the resting one.
  const uint32_t resting = Pixel(191, 1);
  MoveTo(bar, 191, 8);
  EXPECT_NE(Pixel(191, 1), resting);
  bar->SetSkinData(nullptr);
}

// A held arrow steps at the press, after 550 ms and every 50 ms; off the arrow it pauses, back
// on it it resumes 50 ms later; the release ends it.
TEST_F(SkinScrollBarTest, HeldArrowRepeatsPausesOffItAndResumes) {
  bar->SetRange(0, 100, 50, 0);
  Press(bar, 190, 9);
  EXPECT_EQ(bar->Position(), 51);
  EXPECT_EQ(Pixel(185, 3), Px(TColor(0xB59385))) << "pressed look";
  Wait(499);
  EXPECT_EQ(bar->Position(), 51);
  Wait(1);
  EXPECT_EQ(bar->Position(), 51) << "the first tick only shortens the delay";
  Wait(49);
  EXPECT_EQ(bar->Position(), 51);
  Wait(1);
  EXPECT_EQ(bar->Position(), 52);
  Wait(50);
  EXPECT_EQ(bar->Position(), 53);
  MoveTo(bar, 100, 9);
  EXPECT_FALSE(bar->Buttons(SB::kUpButton).MouseIn);
  EXPECT_EQ(Pixel(185, 3), Px(clBtnFace)) << "held but off: resting look";
  Wait(300);
  EXPECT_EQ(bar->Position(), 53);
  MoveTo(bar, 190, 9);
  Wait(49);
  EXPECT_EQ(bar->Position(), 53);
  Wait(1);
  EXPECT_EQ(bar->Position(), 54);
  Release();
  Wait(500);
  EXPECT_EQ(bar->Position(), 54);
  EXPECT_EQ(bar->TimerMode(), SB::kTimerIdle);
  EXPECT_EQ(bar->CaptureButton(), -1);
  EXPECT_EQ(Pixel(185, 3), Px(TColor(0xD2BDB6))) << "released under the mouse: hot look";
  EXPECT_EQ(changes, 4);

  // The decreasing arrow, and an OnDownButtonClick that replaces the step.
  int clicks = 0;
  bar->OnDownButtonClick = [&](TObject*) { ++clicks; };
  Press(bar, 8, 9);
  Wait(550);
  Release();
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(bar->Position(), 54);
}

// A held track pages at 0, 550, 600 ... ms and stops by itself once the thumb reaches the mouse.
TEST_F(SkinScrollBarTest, HeldTrackPagesUntilTheThumbReachesThePointer) {
  bar->SetRange(0, 100, 50, 0);
  bar->SetLargeChange(10);
  Press(bar, 60, 9);  // thumb at 92..108
  EXPECT_EQ(bar->Position(), 40);
  EXPECT_EQ(pageUps, 1);
  Wait(549);
  EXPECT_EQ(bar->Position(), 40);
  Wait(1);
  EXPECT_EQ(bar->Position(), 30);  // thumb 62..78
  Wait(50);
  EXPECT_EQ(bar->Position(), 20);  // thumb 47..63: reached
  Wait(50);
  EXPECT_EQ(bar->TimerMode(), SB::kTimerIdle);
  Wait(500);
  EXPECT_EQ(bar->Position(), 20);
  EXPECT_EQ(pageUps, 3);
  Release();

  Press(bar, 170, 9);
  EXPECT_EQ(bar->Position(), 30);
  EXPECT_EQ(pageDowns, 1);
  Wait(2000);
  Release();
  EXPECT_EQ(bar->Position(), 100) << "the thumb reached 167..183 under the pointer at 170";
  EXPECT_EQ(changes, 3 + 8);
}

TEST_F(SkinScrollBarTest, ThumbPressAndDrag) {
  bar->SetRange(0, 100, 50, 0);
  // Press and release without moving: one OnLastChange, no OnChange.
  Press(bar, 100, 9);
  EXPECT_TRUE(bar->Buttons(SB::kThumb).Down);
  EXPECT_EQ(Pixel(100, 9), Px(TColor(0xB59385)));
  Release();
  EXPECT_EQ(lastChanges, 1);
  EXPECT_EQ(changes, 0);
  // Beyond either end the position stays at the limits; every change fires OnChange.
  Press(bar, 100, 9);
  MoveTo(bar, 130, 9);
  EXPECT_EQ(bar->Position(), 70);
  MoveTo(bar, 390, 60);
  EXPECT_EQ(bar->Position(), 100);
  MoveTo(bar, -50, 9);
  EXPECT_EQ(bar->Position(), 0);
  Release();
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(lastChanges, 2);
  // With a page the top limit is Max - PageSize + 1.
  bar->SetRange(0, 100, 0, 20);
  const TRect t = Thumb();
  Press(bar, (t.left + t.right) / 2, 9);
  MoveTo(bar, 390, 9);
  EXPECT_EQ(bar->Position(), 81);
  Release();
  EXPECT_EQ(lastChanges, 3);
}

TEST_F(SkinScrollBarTest, RightButtonFiresOnMouseDownOnlyAndWheelAndKeysNeedTheFocus) {
  bar->SetRange(0, 100, 50, 0);
  int downs = 0;
  bar->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  Press(bar, 190, 9, 1);
  Wait(1000);
  Release(1);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(bar->Position(), 50);
  EXPECT_EQ(bar->TimerMode(), SB::kTimerIdle);

  // Not focusable: the wheel and keys pass it by.
  auto* other = Make<WinProbe>(form, "other", 10, 100, 50, 20);
  other->SetTabStop(true);
  other->SetFocus();
  Pump();
  MoveTo(bar, 100, 9);
  headless::Wheel(-120);
  Pump();
  EXPECT_EQ(bar->Position(), 50);

  bar->SetCanFocused(true);
  EXPECT_TRUE(bar->TabStop());
  Press(bar, 100, 9);  // the first press gives the focus
  Release();
  ASSERT_TRUE(bar->Focused());
  EXPECT_EQ(bar->Buttons(SB::kThumb).Down, false);
  EXPECT_EQ(Pixel(100, 9), Px(TColor(0xB59385))) << "a focused bar shows its thumb pressed";
  headless::Wheel(-120);
  Pump();
  EXPECT_EQ(bar->Position(), 51);
  headless::Wheel(240);
  Pump();
  EXPECT_EQ(bar->Position(), 50);
  headless::PressKey(VK_RIGHT);
  Pump();
  headless::PressKey(VK_DOWN);
  Pump();
  EXPECT_EQ(bar->Position(), 52);
  headless::PressKey(VK_LEFT);
  Pump();
  EXPECT_EQ(bar->Position(), 51);
  EXPECT_TRUE(bar->Focused()) << "arrow keys stay in the bar";
}

// The both marker: the plain bar ends BothMarkerWidth before its right edge; in a skin the bar
// switches to the both record and back.
TEST_F(SkinScrollBarTest, BothMarker) {
  bar->SetBoth(true);
  bar->SetBothMarkerWidth(-1);
  EXPECT_EQ(bar->BothMarkerWidth(), 19);
  bar->CalcRects();
  EXPECT_EQ(bar->Buttons(SB::kUpButton).R, (TRect{164, 1, 180, 18}));
  EXPECT_EQ(bar->TrackArea(), (TRect{17, 1, 164, 18}));
  Pump();
  EXPECT_EQ(Pixel(190, 9), Px(clBtnFace)) << "the marker square keeps the face colour";
  bar->SetBothMarkerWidth(30);
  bar->CalcRects();
  EXPECT_EQ(bar->Buttons(SB::kUpButton).R.right, 169);
  bar->SetBoth(false);
  bar->CalcRects();
  EXPECT_EQ(bar->Buttons(SB::kUpButton).R.right, 199);

  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(3, sd);
  bar->SetSkinData(&sd);
  bar->SetBoth(true);
  EXPECT_EQ(bar->SkinDataName(), "bothhscrollbar");
  EXPECT_NE(bar->SkinIndex(), -1);
  bar->SetBoth(false);
  EXPECT_EQ(bar->SkinDataName(), "hscrollbar");
  bar->SetSkinData(nullptr);
}

TEST_F(SkinScrollBarTest, ADisabledBarDrawsNoThumb) {
  bar->SetRange(0, 100, 50, 0);
  Pump();
  EXPECT_EQ(Pixel(92, 9), Px(clBtnShadow)) << "the thumb's frame";
  bar->SetEnabled(false);
  Pump();
  EXPECT_EQ(Pixel(92, 9), Px(clBtnFace));

  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(5, sd);
  bar->SetSkinData(&sd);
  Pump();
  const uint32_t without = Pixel(100, 8);
  bar->SetEnabled(true);
  Pump();
  EXPECT_NE(Pixel(100, 8), without);
  bar->SetSkinData(nullptr);
}

// A form sets the page before the range: nothing is refused while it is read.
TEST_F(SkinScrollBarTest, ReadFromAFormDescriptionInAnyOrder) {
  RegisterSkinControlFormClasses();
  const std::string text =
      "object Form1: TForm\n"
      "  object h: TkxSkinScrollBar\n"
      "    Left = 8\n"
      "    Width = 300\n"
      "    PageSize = 521\n"
      "    Position = 5\n"
      "    Max = 529\n"
      "    LargeChange = 13\n"
      "  end\n"
      "  object v: TkxSkinScrollBar\n"
      "    Kind = sbVertical\n"
      "    Height = 200\n"
      "    Width = 19\n"
      "    SkinDataName = 'vscrollbar'\n"
      "    Position = 400\n"
      "    PageSize = 13\n"
      "    Both = True\n"
      "    CanFocused = True\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(owner.get());
  ReadFormDescription(f, text, "main.dfm");
  auto* h = dynamic_cast<SB*>(f->FindComponent("h"));
  auto* v = dynamic_cast<SB*>(f->FindComponent("v"));
  ASSERT_TRUE(h && v);
  EXPECT_EQ(h->PageSize(), 521);
  EXPECT_EQ(h->Max(), 529);
  EXPECT_EQ(h->Position(), 5);
  EXPECT_EQ(h->LargeChange(), 13);
  EXPECT_EQ(v->Kind(), sbVertical);
  EXPECT_EQ(v->Position(), 88) << "clamped once the form is read";
  EXPECT_TRUE(v->Both());
  EXPECT_TRUE(v->TabStop());
  EXPECT_EQ(v->Width(), 19);
  EXPECT_EQ(v->Height(), 200);
}

}  // namespace
