// The plain combo box, track bar and progress bar on the headless backend with injected input:
// keys and clicks change the value and raise OnChange (code does not, for the combo box),
// ranges clamp, and all three read from a form description.
#include <gtest/gtest.h>

#include "base/Exception.h"
#include "classlib/ComCtrls.h"
#include "classlib/ComboBox.h"
#include "classlib/Streaming.h"
#include "tests/classlib/ControlTestFixture.h"

using namespace ctltest;

namespace {

class ComCtrlTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(100, 100, 300, 240);
  }
  void Show(TWinControl* focus) {
    form->Show();
    Pump();
    focus->SetFocus();
    Pump();
  }
  void Key(int vk) {
    headless::PressKey(vk);
    Pump();
  }
  TForm* form = nullptr;
  int changes = 0;
};

// ---- track bar --------------------------------------------------------------------------------

TEST_F(ComCtrlTest, TrackBarKeysStepAndClampWithOnChange) {
  auto* tb = Make<TTrackBar>(form, "tb", 10, 10, 200, 40);
  tb->SetParams(5, 0, 10);
  tb->SetPageSize(3);
  tb->OnChange = [this](TObject*) { ++changes; };
  Show(tb);
  struct Step {
    int vk;
    int32_t want;
    int changes;  // OnChange count after the key
  } steps[] = {
      {VK_RIGHT, 6, 1}, {VK_DOWN, 7, 2},  {VK_LEFT, 6, 3}, {VK_UP, 5, 4},  {VK_NEXT, 8, 5},
      {VK_NEXT, 10, 6},  // clamped at Max
      {VK_NEXT, 10, 6},  // no change, no event
      {VK_PRIOR, 7, 7}, {VK_HOME, 0, 8}, {VK_LEFT, 0, 8}, {VK_END, 10, 9},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.vk);
    Key(s.vk);
    EXPECT_EQ(tb->Position(), s.want);
    EXPECT_EQ(changes, s.changes);
  }
}

TEST_F(ComCtrlTest, TrackBarRangesClampAndMaxBelowMinIsRefused) {
  auto* tb = Make<TTrackBar>(form, "tb", 10, 10, 200, 40);
  struct Case {
    int32_t pos, min, max, want;
  } cases[] = {
      {64, 0, 128, 64}, {-1, 0, 128, 0}, {500, 0, 128, 128}, {3, 3, 3, 3},
      {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.pos << " in " << c.min << ".." << c.max);
    tb->SetParams(c.pos, c.min, c.max);
    EXPECT_EQ(tb->Position(), c.want);
    form->Repaint();  // any range paints
  }
  tb->SetParams(5, 0, 10);
  EXPECT_THROW(tb->SetMax(-1), EInvalidOperation);
  EXPECT_EQ(tb->Max(), 10);
  EXPECT_EQ(tb->Position(), 5);
  tb->SetMin(8);  // the position follows the range
  EXPECT_EQ(tb->Position(), 8);
  // Code changes raise OnChange too, once per change.
  tb->OnChange = [this](TObject*) { ++changes; };
  tb->SetPosition(9);
  tb->SetPosition(9);
  EXPECT_EQ(changes, 1);
}

TEST_F(ComCtrlTest, TrackBarClickPagesTowardsThePointerAndTheThumbDrags) {
  auto* tb = Make<TTrackBar>(form, "tb", 10, 10, 216, 40);  // 200 pixels of travel
  tb->SetParams(50, 0, 100);
  tb->SetPageSize(10);
  tb->OnChange = [this](TObject*) { ++changes; };
  Show(tb);
  ClickAt(tb, 200, 20);
  EXPECT_EQ(tb->Position(), 60);
  ClickAt(tb, 12, 20);
  EXPECT_EQ(tb->Position(), 50);
  EXPECT_EQ(changes, 2);
  // The thumb's middle lies at 8 + 100 pixels; dragging it 50 pixels right moves 25 positions.
  MoveTo(tb, 108, 20);
  headless::ButtonDown();
  Pump();
  EXPECT_EQ(tb->Position(), 50);
  MoveTo(tb, 158, 20);
  EXPECT_EQ(tb->Position(), 75);
  MoveTo(tb, 400, 20);  // beyond the end: Max
  EXPECT_EQ(tb->Position(), 100);
  headless::ButtonUp();
  Pump();
  MoveTo(tb, 50, 20);  // released: no more dragging
  EXPECT_EQ(tb->Position(), 100);
}

// ---- progress bar -----------------------------------------------------------------------------

TEST_F(ComCtrlTest, ProgressBarClampsStepsAndFills) {
  auto* pb = Make<TProgressBar>(form, "pb", 10, 10, 104, 16);  // 100 pixels inside
  EXPECT_FALSE(pb->CanFocus());
  struct Case {
    int32_t pos, min, max, want, filled;
  } cases[] = {
      {30, 0, 100, 30, 30}, {-5, 0, 100, 0, 0}, {150, 0, 100, 100, 100}, {7, 7, 7, 7, 0}, {15, 10, 20, 15, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.pos << " in " << c.min << ".." << c.max);
    pb->SetParams(c.pos, c.min, c.max);
    EXPECT_EQ(pb->Position(), c.want);
    EXPECT_EQ(pb->FilledWidth(), c.filled);
  }
  EXPECT_THROW(pb->SetMin(50), EInvalidOperation);  // above Max 20
  EXPECT_EQ(pb->Min(), 10);
  pb->SetParams(80, 0, 100);
  pb->SetStep(15);
  pb->StepIt();
  EXPECT_EQ(pb->Position(), 95);
  pb->StepIt();  // past Max: back to Min
  EXPECT_EQ(pb->Position(), 0);
  pb->StepBy(-10);
  EXPECT_EQ(pb->Position(), 0);
  pb->StepBy(1000);
  EXPECT_EQ(pb->Position(), 100);
  form->Show();
  Pump();
  // The filled part shows the highlight colour; the rest the face.
  pb->SetSmooth(true);
  pb->SetPosition(50);
  form->Repaint();
  Pump();
  EXPECT_EQ(Rgb(headless::PixelAt(pb->Handle(), 2 + 10, 8)), Px(clHighlight));
  EXPECT_EQ(Rgb(headless::PixelAt(pb->Handle(), 2 + 80, 8)), Px(clBtnFace));
}

// ---- combo box --------------------------------------------------------------------------------

class ComboTest : public ComCtrlTest {
protected:
  void SetUp() override {
    ComCtrlTest::SetUp();
    cb = Make<TComboBox>(form, "cb", 10, 10, 150, 21);
    cb->Items()->SetText("Default\nDDraw\nGDI\nDirect\nOpenGL");
    cb->OnChange = [this](TObject*) { ++changes; };
  }
  TComboBox* cb = nullptr;
};

TEST_F(ComboTest, KeysChooseItemsWithOnChangeAndCodeChoosesSilently) {
  cb->SetItemIndex(0);
  cb->SetDropDownCount(3);  // a page is two items
  EXPECT_EQ(changes, 0);
  Show(cb);
  struct Step {
    int vk;
    int32_t want;
    int changes;
  } steps[] = {
      {VK_DOWN, 1, 1}, {VK_RIGHT, 2, 2}, {VK_UP, 1, 3}, {VK_NEXT, 3, 4}, {VK_NEXT, 4, 5},
      {VK_DOWN, 4, 5},  // at the end: nothing
      {VK_PRIOR, 2, 6}, {VK_HOME, 0, 7}, {VK_LEFT, 0, 7}, {VK_END, 4, 8},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.vk);
    Key(s.vk);
    EXPECT_EQ(cb->ItemIndex(), s.want);
    EXPECT_EQ(changes, s.changes);
  }
  // A typed letter goes to the next item beginning with it, wrapping around.
  headless::TypeChar('d');
  Pump();
  EXPECT_EQ(cb->Text(), "Default");
  headless::TypeChar('d');
  Pump();
  EXPECT_EQ(cb->Text(), "DDraw");
  EXPECT_EQ(changes, 10);
  // Code: no event.
  cb->SetItemIndex(2);
  cb->SetText("opengl");
  EXPECT_EQ(cb->ItemIndex(), 4);
  EXPECT_EQ(cb->Text(), "OpenGL");
  cb->SetText("none such");
  EXPECT_EQ(cb->ItemIndex(), -1);
  EXPECT_EQ(cb->Text(), "");
  cb->SetItemIndex(99);
  EXPECT_EQ(cb->ItemIndex(), -1);
  EXPECT_EQ(changes, 10);
  // From nothing chosen, Down chooses the first item.
  Key(VK_DOWN);
  EXPECT_EQ(cb->ItemIndex(), 0);
  // Removing the chosen item's place chooses nothing.
  cb->SetItemIndex(4);
  cb->Items()->Delete(4);
  EXPECT_EQ(cb->ItemIndex(), -1);
}

TEST_F(ComboTest, AClickDropsTheListAndAClickInItChooses) {
  cb->SetItemIndex(0);
  Show(cb);
  ClickAt(cb, 140, 10);
  ASSERT_TRUE(cb->DroppedDown());
  TCustomControl* list = cb->ListWindow();
  ASSERT_NE(list, nullptr);
  const int h = cb->ItemHeight();
  EXPECT_EQ(list->Height(), 5 * h + 2);
  TPoint at = list->ClientToScreen(TPoint{0, 0});
  EXPECT_EQ(at.y, cb->ClientToScreen(TPoint{0, cb->Height()}).y + 1);  // below the combo, inside the frame
  // The third item.
  headless::Click(at.x + 20, at.y + 2 * h + h / 2);
  Pump();
  EXPECT_FALSE(cb->DroppedDown());
  EXPECT_EQ(cb->ItemIndex(), 2);
  EXPECT_EQ(changes, 1);
  // A click outside closes without a choice; so does Escape.
  ClickAt(cb, 140, 10);
  ASSERT_TRUE(cb->DroppedDown());
  ClickAt(form, 250, 200);
  EXPECT_FALSE(cb->DroppedDown());
  Key(VK_F4);
  ASSERT_TRUE(cb->DroppedDown());
  Key(VK_DOWN);
  Key(VK_ESCAPE);
  EXPECT_FALSE(cb->DroppedDown());
  EXPECT_EQ(cb->ItemIndex(), 2);
  EXPECT_EQ(changes, 1);
  // Enter takes the highlighted item.
  Key(VK_F4);
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(cb->DroppedDown());
  EXPECT_EQ(cb->ItemIndex(), 3);
  EXPECT_EQ(changes, 2);
  // The wheel over the closed combo steps the choice.
  MoveTo(cb, 40, 10);
  headless::Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(cb->ItemIndex(), 4);
  EXPECT_EQ(changes, 3);
}

// ---- read from a description ------------------------------------------------------------------

class TComForm1 : public TForm, public IFormBindings {
public:
  using TForm::TForm;
  void DeclareBindings(THandlerTable& T) override {
    T.Add("Changed", this, &TComForm1::Changed);
    T.Field("cboAspectRatio", cbo);
    T.Field("cboEmpty", cboEmpty);
    T.Field("TrackBar2", tb);
    T.Field("ProgressBar1", pb);
  }
  void Changed(TObject*) { ++Changes; }
  TComboBox* cbo = nullptr;
  TComboBox* cboEmpty = nullptr;
  TTrackBar* tb = nullptr;
  TProgressBar* pb = nullptr;
  int Changes = 0;
};

const char* kComForm =
    "object ComForm1: TComForm1\n"
    "  BorderStyle = bsNone\n"
    "  ClientWidth = 300\n"
    "  ClientHeight = 200\n"
    "  object cboAspectRatio: TComboBox\n"
    "    Style = csDropDownList\n"
    "    Text = '16:9'\n"
    "    Items.Strings = (\n"
    "      'Auto'\n"
    "      '4:3'\n"
    "      '16:9')\n"
    "    OnChange = Changed\n"
    "  end\n"
    "  object cboEmpty: TComboBox\n"
    "    ItemIndex = 3\n"
    "    DropDownCount = 12\n"
    "  end\n"
    "  object TrackBar2: TTrackBar\n"
    "    Position = 128\n"
    "    Max = 128\n"
    "    OnChange = Changed\n"
    "  end\n"
    "  object ProgressBar1: TProgressBar\n"
    "    Position = 40\n"
    "    Min = 50\n"
    "    Max = 20\n"
    "  end\n"
    "end\n";

TEST_F(ComCtrlTest, AllThreeReadFromADescriptionWithoutEvents) {
  auto* f = new TComForm1(owner.get());
  ReadFormDescription(f, kComForm, "com.dfm");
  ASSERT_TRUE(f->cbo && f->cboEmpty && f->tb && f->pb);
  EXPECT_EQ(f->cbo->Items()->Count(), 3);
  EXPECT_EQ(f->cbo->ItemIndex(), 2);  // Text read before its items
  EXPECT_EQ(f->cboEmpty->ItemIndex(), -1);
  EXPECT_EQ(f->cboEmpty->DropDownCount(), 12);
  EXPECT_EQ(f->tb->Position(), 128);  // Position read before Max
  EXPECT_EQ(f->tb->Max(), 128);
  EXPECT_EQ(f->pb->Max(), 50);  // a Max below Min becomes Min
  EXPECT_EQ(f->pb->Position(), 50);
  EXPECT_EQ(f->Changes, 0);
  f->tb->SetPosition(0);
  EXPECT_EQ(f->Changes, 1);

  auto* bad = new TComForm1(owner.get());
  EXPECT_THROW(ReadFormDescription(bad,
                                   "object ComForm1: TComForm1\n"
                                   "  object cbo: TComboBox\n"
                                   "    Style = csDropDown\n"
                                   "  end\n"
                                   "end\n",
                                   "bad.dfm"),
               EFormError);
}

}  // namespace
