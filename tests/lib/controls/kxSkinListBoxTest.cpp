// The skinned list box on the headless backend: its own scroll bars appearing and going with the
// items, RowCount, the bars scrolling the list and following it, the caption buttons and their
// auto-repeat, the answer to outside painters, tab stops, the horizontal bar, and a generated
// skin's item height and bar records.
#include <gtest/gtest.h>

#include "lib/skin/kxSkinData.h"
#include "lib/controls/kxSkinListBoxes.h"
#include "lib/controls/kxSkinScrollBar.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace win;
using ctltest::Px;
using ctltest::Rgb;

class SkinListBoxTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(100, 100, 400, 300);
    lb = Make<TkxSkinListBox>(form, "lb", 10, 10, 120, 120);
    form->Show();
    Pump();
  }
  void Fill(int n) {
    for (int i = 0; i < n; ++i) lb->Items()->Add("item " + std::to_string(i));
    Pump();
  }
  void Wait(int ms) {
    for (int i = 0; i < ms; ++i) {
      clock.Advance(1);
      Pump();
    }
  }
  void Press(TControl* c, int x, int y) {
    MoveTo(c, x, y);
    headless::ButtonDown(0);
    Pump();
  }
  void Release() {
    headless::ButtonUp(0);
    Pump();
  }

  TForm* form = nullptr;
  TkxSkinListBox* lb = nullptr;
};

// 120 x 120 in the plain look: the list lies at (2, 2)-(118, 118), 116 high, five rows of 20 and
// a part of a sixth. A sixth item needs the bar, which narrows the list to its left edge.
TEST_F(SkinListBoxTest, VerticalBarAppearsOnOverflowAndGoesWithTheItems) {
  Fill(5);
  EXPECT_EQ(lb->ScrollBar, nullptr);
  EXPECT_EQ(lb->ListBox->BoundsRect(), (TRect{2, 2, 118, 118}));
  lb->Items()->Add("item 5");
  Pump();
  ASSERT_NE(lb->ScrollBar, nullptr);
  EXPECT_TRUE(lb->ScrollBar->Visible());
  EXPECT_EQ(lb->ScrollBar->Kind(), sbVertical);
  EXPECT_EQ(lb->ScrollBar->BoundsRect(), (TRect{100, 1, 119, 119}));
  EXPECT_EQ(lb->ListBox->BoundsRect(), (TRect{2, 2, 100, 118}));
  EXPECT_EQ(lb->ScrollBar->Max(), 5);
  EXPECT_EQ(lb->ScrollBar->PageSize(), 5);
  lb->Items()->Delete(5);
  Pump();
  EXPECT_EQ(lb->ScrollBar, nullptr);
  EXPECT_EQ(lb->ListBox->BoundsRect(), (TRect{2, 2, 118, 118}));
  Fill(20);
  ASSERT_NE(lb->ScrollBar, nullptr);
  lb->Clear();
  EXPECT_EQ(lb->ScrollBar, nullptr);
}

TEST_F(SkinListBoxTest, RowCountSizesTheBoxAndAWholeListNeedsNoBar) {
  Fill(8);
  ASSERT_NE(lb->ScrollBar, nullptr);
  lb->SetRowCount(8);
  Pump();
  EXPECT_EQ(lb->Height(), 8 * 20 + 4);
  EXPECT_EQ(lb->ScrollBar, nullptr);
  lb->SetRowCount(4);
  Pump();
  EXPECT_EQ(lb->Height(), 4 * 20 + 4);
  ASSERT_NE(lb->ScrollBar, nullptr);
  EXPECT_EQ(lb->ScrollBar->PageSize(), 4);
}

// The bar moves the list, and the list's own scrolling (keys, wheel) moves the bar. The standard
// list does not scroll on the wheel itself, so one notch is one line.
TEST_F(SkinListBoxTest, TheBarAndTheListFollowEachOther) {
  Fill(30);
  ASSERT_NE(lb->ScrollBar, nullptr);
  lb->ScrollBar->SetPosition(7);
  Pump();
  EXPECT_EQ(lb->TopIndex(), 7);
  MoveTo(lb->ListBox, 20, 20);
  headless::Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(lb->TopIndex(), 8);
  EXPECT_EQ(lb->ScrollBar->Position(), 8);
  headless::Wheel(WHEEL_DELTA);
  Pump();
  EXPECT_EQ(lb->TopIndex(), 7);
  EXPECT_EQ(lb->ScrollBar->Position(), 7);
  lb->ListBox->SetFocus();
  lb->SetItemIndex(7);
  headless::PressKey(VK_END);
  Pump();
  EXPECT_EQ(lb->ItemIndex(), 29);
  EXPECT_EQ(lb->ScrollBar->Position(), lb->TopIndex());
  EXPECT_EQ(lb->TopIndex(), 30 - 5);
}

// Positions past 65535 do not fit the scroll message's 16 bits; the bar still reaches them.
TEST_F(SkinListBoxTest, TheBarReachesRowsPast65535) {
  TStringList many;
  for (int i = 0; i < 70000; ++i) many.Add("row " + std::to_string(i));
  lb->SetItems(&many);
  Pump();
  ASSERT_NE(lb->ScrollBar, nullptr);
  EXPECT_EQ(lb->ScrollBar->Max(), 69999);
  lb->ScrollBar->SetPosition(68000);
  EXPECT_EQ(lb->TopIndex(), 68000);
  lb->ScrollBar->SetPosition(65536 + 7);
  EXPECT_EQ(lb->TopIndex(), 65543);
}

// Caption buttons of the plain look at 120 wide: up (101, 2)-(118, 18), down (84, 2)-(101, 18),
// check (67, 2)-(84, 18). A held button waits 500 ms, then steps every 100 ms; the release steps
// once more, also when it happens away from the button.
TEST_F(SkinListBoxTest, HeldCaptionButtonRepeatsAfter500ThenEvery100) {
  lb->SetCaptionMode(true);
  Fill(20);
  lb->SetItemIndex(0);
  Pump();
  EXPECT_EQ(lb->ListBox->Top(), 21);
  Press(lb, 90, 10);
  EXPECT_TRUE(lb->Buttons[1].Down);
  Wait(500);
  EXPECT_EQ(lb->ItemIndex(), 0);
  Wait(99);
  EXPECT_EQ(lb->ItemIndex(), 0);
  Wait(1);
  EXPECT_EQ(lb->ItemIndex(), 1);
  Wait(200);
  EXPECT_EQ(lb->ItemIndex(), 3);
  MoveTo(lb, 20, 60);
  Wait(300);
  EXPECT_EQ(lb->ItemIndex(), 3) << "no steps while the mouse is off the held button";
  Release();
  EXPECT_EQ(lb->ItemIndex(), 4) << "a release away from the button still steps";
  Wait(300);
  EXPECT_EQ(lb->ItemIndex(), 4);
  EXPECT_EQ(lb->TimerMode, 0);

  // Up with an event: the event replaces the step, and nothing repeats.
  int ups = 0;
  lb->OnUpButtonClick = [&](TObject* s) {
    EXPECT_EQ(s, lb);
    ++ups;
  };
  Press(lb, 110, 10);
  Wait(800);
  Release();
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(lb->ItemIndex(), 4);
  // Check fires the list's click.
  int clicks = 0;
  lb->OnListBoxClick = [&](TObject*) { ++clicks; };
  ClickAt(lb, 75, 10);
  EXPECT_EQ(clicks, 1);
}

TEST_F(SkinListBoxTest, AnEmptyListAnswersTheBackgroundPainter) {
  HWND h = lb->ListBox->Handle();
  EXPECT_EQ(SendMessage(h, KXM_PAINTBGTODC, 0, kxPaintToDCKey), kxPaintToDCKey);
  EXPECT_EQ(SendMessage(h, KXM_PAINTBGTODC, 0, 1), 0);
  // Into a DC: the plain look's window colour.
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(20, 20);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(TRect{0, 0, 20, 20});
  EXPECT_EQ(SendMessage(h, KXM_PAINTBGTODC, reinterpret_cast<WPARAM>(b.Canvas()->Handle()), kxPaintToDCKey),
            kxPaintToDCKey);
  EXPECT_EQ(ColorToRGB(b.Canvas()->Pixels(5, 5)), ColorToRGB(clWindow));
  Fill(1);
  EXPECT_EQ(SendMessage(h, KXM_PAINTBGTODC, 0, kxPaintToDCKey), 0);
}

TEST(SkinListBoxTabStops, DigitsOnlyAndSaturating) {
  struct Case {
    const char* line;
    int32_t stop;
  } cases[] = {{"40", 40}, {"0", 0}, {"", 0}, {"12a", 0}, {" 4", 0}, {"-5", 0},
               {"99999999999999999999", INT32_MAX}};
  for (const Case& c : cases) EXPECT_EQ(kxTabStopOf(c.line), c.stop) << c.line;
}

// Selection in the plain look: the item at ItemIndex in the highlight colour, with the focus rectangle
// drawn also after an owner draw.
TEST_F(SkinListBoxTest, PlainItemsSelectionAndOwnerDraw) {
  Fill(3);
  lb->SetItemIndex(1);
  Pump();
  HWND h = lb->ListBox->Handle();
  EXPECT_EQ(Rgb(headless::PixelAt(h, 60, 30)), Px(clHighlight));
  EXPECT_EQ(Rgb(headless::PixelAt(h, 60, 10)), Px(clWindow));
  std::vector<int> drawn;
  lb->OnDrawItem = [&](TCanvas*, int32_t i, int32_t w, int32_t ih, TRect txt, TOwnerDrawState) {
    drawn.push_back(i);
    EXPECT_EQ(w, 116);
    EXPECT_EQ(ih, 20);
    EXPECT_EQ(txt, (TRect{2, 0, 114, 20}));
  };
  lb->ListBox->Invalidate();
  Pump();
  EXPECT_EQ(drawn, (std::vector<int>{0, 1, 2}));
}

TEST_F(SkinListBoxTest, HorizontalBarForWideItemsStepsByTheWidthOfZero) {
  lb->SetHorizontalExtent(true);
  Fill(2);
  EXPECT_EQ(lb->HScrollBar, nullptr);
  lb->Items()->Add(std::string(60, 'W'));
  Pump();
  ASSERT_NE(lb->HScrollBar, nullptr);
  TCanvas* c = lb->ListBoxCanvas();
  EXPECT_EQ(lb->HScrollBar->SmallChange(), c->TextWidth("0"));
  EXPECT_FALSE(lb->HScrollBar->Both());
  EXPECT_EQ(lb->ListBox->Height(), 120 - 4 - 18);
  lb->HScrollBar->SetPosition(30);
  EXPECT_EQ(lb->ListBox->FHorizontalExtentValue, 30);
  Fill(10);
  ASSERT_NE(lb->ScrollBar, nullptr);
  EXPECT_TRUE(lb->HScrollBar->Both()) << "a vertical bar makes it a both-bar";
  lb->Items()->Clear();
  lb->Clear();
  EXPECT_EQ(lb->HScrollBar, nullptr);
  EXPECT_EQ(lb->ListBox->FHorizontalExtentValue, 0);
}

TEST_F(SkinListBoxTest, MultiColumnListsGetABarAtTheBottom) {
  lb->SetColumns(2);
  Fill(30);
  ASSERT_NE(lb->ScrollBar, nullptr);
  EXPECT_EQ(lb->ScrollBar->Kind(), sbHorizontal);
  EXPECT_EQ(lb->ScrollBar->Top(), 120 - 20);
  EXPECT_EQ(lb->ListBox->BoundsRect().bottom, lb->ScrollBar->Top());
}

// The generated skin's list record: 18-pixel items, the list in its client part, the bar drawn
// from "vscrollbar".
TEST_F(SkinListBoxTest, GeneratedSkinItemHeightAndBars) {
  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(0, sd);
  lb->SetSkinData(&sd);
  Pump();
  ASSERT_NE(lb->SkinIndex(), -1);
  EXPECT_EQ(lb->ListBox->ItemHeight(), 18);
  EXPECT_EQ(lb->ListBox->BoundsRect(), (TRect{2, 2, 118, 118}));
  Fill(10);
  ASSERT_NE(lb->ScrollBar, nullptr);
  EXPECT_EQ(lb->ScrollBar->SkinDataName(), "vscrollbar");
  EXPECT_EQ(lb->ListBox->BoundsRect().right, lb->ScrollBar->Left());
  lb->SetRowCount(3);
  EXPECT_EQ(lb->Height(), 100 + 3 * 18 + 2 - 98);
  lb->SetSkinData(nullptr);
}

}  // namespace
