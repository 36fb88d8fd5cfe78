// The skinned combo box on the headless backend: the drop-down opened, accepted and cancelled by
// mouse and keyboard, the drag into the list, incremental search, the fade's steps, opening above
// the combo box at the bottom of the work area, closing when another control is pressed, the
// OnChange rules of the selection, the edit part (made once, typing, auto-complete) and the
// held mouse scrolling the open list.
#include <gtest/gtest.h>

#include "classlib/StdCtrls.h"
#include "classlib/Streaming.h"
#include "lib/controls/kxSkinComboBox.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/controls/kxSkinScrollBar.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace win;

// Counts the change hook.
class CountingCombo : public TkxSkinComboBox {
public:
  explicit CountingCombo(TComponent* AOwner) : TkxSkinComboBox(AOwner) {}
  int Changes = 0;

protected:
  void Change() override { ++Changes; }
};

class SkinComboBoxTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    InitializeUtilsUnit();
    form = NewForm(100, 100, 400, 300);
    cb = Make<CountingCombo>(form, "cb", 10, 10, 120, 20);
    other = Make<TkxSkinListBox>(form, "other", 200, 10, 100, 100);
    for (const char* s : {"apple", "apricot", "banana", "blueberry", "cherry", "date", "elder", "fig", "grape",
                          "kiwi", "lemon", "mango"})
      cb->Items()->Add(s);
    cb->OnChange = [this](TObject* s) {
      EXPECT_EQ(s, cb);
      ++changes;
    };
    cb->OnClick = [this](TObject*) { ++clicks; };
    cb->OnCloseUp = [this](TObject*) { ++closeUps; };
    cb->OnDropDown = [this](TObject*) { ++dropDowns; };
    form->Show();
    Pump();
  }
  void Wait(int ms) {
    for (int i = 0; i < ms; ++i) {
      clock.Advance(1);
      Pump();
    }
  }
  TkxPopupListBox* List() { return cb->ListBox(); }
  // A point of item I of the open list on the screen.
  TPoint ItemPoint(int I) {
    TkxListBox* inner = List()->ListBox;
    TRect r = inner->ItemRect(I);
    return inner->ClientToScreen(TPoint{r.left + 10, r.top + 5});
  }
  void Counters(int c, int k, int u) {
    EXPECT_EQ(changes, c);
    EXPECT_EQ(clicks, k);
    EXPECT_EQ(closeUps, u);
  }
  void Reset() { changes = clicks = closeUps = dropDowns = 0; }

  TForm* form = nullptr;
  CountingCombo* cb = nullptr;
  TkxSkinListBox* other = nullptr;
  int changes = 0, clicks = 0, closeUps = 0, dropDowns = 0;
};

TEST_F(SkinComboBoxTest, MouseDropsAcceptsAndCancels) {
  // A click on the drop button opens the list below the control, eight rows high.
  ClickAt(cb, 110, 10);
  ASSERT_TRUE(cb->IsPopupVisible());
  EXPECT_EQ(dropDowns, 1);
  RECT wr{};
  GetWindowRect(List()->Handle(), &wr);
  EXPECT_EQ(wr.left, 110);
  EXPECT_EQ(wr.top, 130);
  EXPECT_EQ(List()->RowCount(), 8);
  EXPECT_EQ(GetWindowLongPtr(List()->Handle(), GWL_STYLE) & WS_POPUP, LONG_PTR(WS_POPUP));
  EXPECT_EQ(GetWindowLongPtr(List()->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, LONG_PTR(WS_EX_TOOLWINDOW));
  EXPECT_EQ(GetFocus(), cb->Handle()) << "the list never takes the focus";
  // Hovering selects; a click on an item accepts it.
  TPoint p = ItemPoint(3);
  headless::MoveMouse(p.x, p.y);
  Pump();
  EXPECT_EQ(List()->ItemIndex(), 3);
  EXPECT_EQ(cb->ItemIndex(), 3);
  Counters(0, 0, 0);
  headless::Click(p.x, p.y);
  Pump();
  EXPECT_FALSE(cb->IsPopupVisible());
  EXPECT_EQ(cb->Text(), "blueberry");
  Counters(1, 1, 1);
  EXPECT_EQ(cb->Changes, 1);
  // Hover through the list, then a click on the control cancels: selection and text come back.
  Reset();
  ClickAt(cb, 110, 10);
  ASSERT_TRUE(cb->IsPopupVisible());
  p = ItemPoint(5);
  headless::MoveMouse(p.x, p.y);
  Pump();
  EXPECT_EQ(List()->ItemIndex(), 5);
  ClickAt(cb, 50, 10);
  EXPECT_FALSE(cb->IsPopupVisible());
  EXPECT_EQ(cb->ItemIndex(), 3);
  EXPECT_EQ(cb->Text(), "blueberry");
  Counters(0, 0, 0);
  // Press on the control, drag into the list and release over an item: accepted.
  MoveTo(cb, 50, 10);
  headless::ButtonDown(0);
  Pump();
  ASSERT_TRUE(cb->IsPopupVisible());
  p = ItemPoint(6);
  headless::MoveMouse(p.x, p.y);
  Pump();
  headless::ButtonUp(0);
  Pump();
  EXPECT_FALSE(cb->IsPopupVisible());
  EXPECT_EQ(cb->Text(), "elder");
  Counters(1, 1, 1);
  // The same drag released away from the list cancels.
  Reset();
  MoveTo(cb, 50, 10);
  headless::ButtonDown(0);
  Pump();
  p = ItemPoint(7);
  headless::MoveMouse(p.x, p.y);
  Pump();
  EXPECT_EQ(List()->ItemIndex(), 7);
  headless::MoveMouse(p.x + 300, p.y);
  Pump();
  EXPECT_EQ(GetCapture(), cb->Handle());
  headless::ButtonUp(0);
  Pump();
  EXPECT_FALSE(cb->IsPopupVisible());
  EXPECT_EQ(cb->ItemIndex(), 6);
  Counters(0, 0, 0);
}

TEST_F(SkinComboBoxTest, KeyboardDropsSelectsAndCloses) {
  cb->SetFocus();
  Pump();
  cb->SetItemIndex(0);
  Reset();
  // Arrows select through the setter: text, OnClick and the change hook at once.
  headless::PressKey(VK_DOWN);
  Pump();
  EXPECT_EQ(cb->ItemIndex(), 1);
  EXPECT_EQ(cb->Text(), "apricot");
  Counters(1, 1, 0);
  headless::PressKey(VK_UP);
  headless::PressKey(VK_UP);
  Pump();
  EXPECT_EQ(cb->ItemIndex(), 0);
  // Page Down by DropDownCount - 1, Page Up by DropDownCount + 1.
  headless::PressKey(VK_NEXT);
  Pump();
  EXPECT_EQ(cb->ItemIndex(), 7);
  headless::PressKey(VK_NEXT);
  Pump();
  EXPECT_EQ(cb->ItemIndex(), 11);
  headless::PressKey(VK_PRIOR);
  Pump();
  EXPECT_EQ(cb->ItemIndex(), 2);
  // Alt+Down drops, Escape cancels, Alt+Down and Enter accepts.
  Reset();
  headless::KeyDown(VK_MENU);
  headless::PressKey(VK_DOWN);
  headless::KeyUp(VK_MENU);
  Pump();
  ASSERT_TRUE(cb->IsPopupVisible());
  headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(cb->IsPopupVisible());
  Counters(0, 0, 0);
  cb->DropDown();
  ASSERT_TRUE(cb->IsPopupVisible());
  headless::PressKey(VK_DOWN);
  Pump();
  EXPECT_EQ(cb->ItemIndex(), 3) << "the setter also while the list is open";
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_FALSE(cb->IsPopupVisible());
  EXPECT_EQ(cb->Text(), "blueberry");
  EXPECT_EQ(closeUps, 1);
  // Accepting the same item again fires OnClick and the hook, not OnChange.
  Reset();
  cb->DropDown();
  headless::PressKey(VK_RETURN);
  Pump();
  Counters(0, 1, 1);
}

// The wheel on a fixed-style combo box: through the setter while closed, only the list's
// selection while open (a cancel then restores the earlier item).
TEST_F(SkinComboBoxTest, WheelStepsTheSelectionOrTheOpenList) {
  cb->SetItemIndex(4);
  Reset();
  MoveTo(cb, 50, 10);
  headless::Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(cb->ItemIndex(), 5);
  Counters(1, 1, 0);
  headless::Wheel(WHEEL_DELTA);
  headless::Wheel(WHEEL_DELTA);
  Pump();
  EXPECT_EQ(cb->ItemIndex(), 3);
  Reset();
  cb->DropDown();
  headless::Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(List()->ItemIndex(), 4);
  EXPECT_EQ(cb->Text(), "blueberry") << "the control still shows the item it had";
  Counters(0, 0, 0);
  cb->CloseUp(false);
  EXPECT_EQ(cb->ItemIndex(), 3);
  // In the edit part, Page Down moves the open list's selection only.
  cb->SetStyle(kxcbEditStyle);
  cb->SetFocus();
  cb->DropDown();
  Reset();
  headless::PressKey(VK_NEXT);
  Pump();
  EXPECT_EQ(List()->ItemIndex(), 3 + 8 - 1);
  Counters(0, 0, 0);
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_FALSE(cb->IsPopupVisible());
  EXPECT_EQ(cb->Text(), "lemon");
  EXPECT_EQ(cb->Edit()->Text(), "lemon");
  Counters(1, 1, 1);
}

// While the list is open, Enter and Escape belong to it, not to the form's default and cancel
// buttons; once it is closed they reach the buttons again.
TEST_F(SkinComboBoxTest, AnOpenListTakesEnterAndEscapeBeforeTheFormsButtons) {
  auto* ok = Make<TButton>(form, "ok", 10, 200, 80, 24);
  ok->SetDefault(true);
  auto* no = Make<TButton>(form, "no", 100, 200, 80, 24);
  no->SetCancel(true);
  int oks = 0, nos = 0;
  ok->OnClick = [&](TObject*) { ++oks; };
  no->OnClick = [&](TObject*) { ++nos; };
  Pump();
  cb->SetFocus();
  Pump();
  cb->DropDown();
  headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(cb->IsPopupVisible());
  EXPECT_EQ(nos, 0);
  cb->DropDown();
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_FALSE(cb->IsPopupVisible());
  EXPECT_EQ(oks, 0);
  headless::PressKey(VK_RETURN);
  headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(oks, 1);
  EXPECT_EQ(nos, 1);
}

TEST_F(SkinComboBoxTest, IncrementalSearchWithin499Milliseconds) {
  cb->SetFocus();
  Pump();
  headless::TypeChar('b');
  Pump();
  EXPECT_EQ(cb->Text(), "banana");
  Wait(499);
  headless::TypeChar('l');
  Pump();
  EXPECT_EQ(cb->Text(), "blueberry") << "\"bl\" from the start";
  Wait(500);
  headless::TypeChar('a');
  Pump();
  EXPECT_EQ(cb->Text(), "apple") << "a pause starts a new search";
  headless::TypeChar('x');
  Pump();
  EXPECT_EQ(cb->Text(), "apple") << "no match keeps the selection";
  // Without AutoComplete each character searches alone, from the current item on.
  cb->SetAutoComplete(false);
  headless::TypeChar('a');
  Pump();
  EXPECT_EQ(cb->Text(), "apricot");
  headless::TypeChar('a');
  Pump();
  EXPECT_EQ(cb->Text(), "apple") << "wraps round";
}

TEST_F(SkinComboBoxTest, FadeRisesByAFifteenthEveryMoreThan5Milliseconds) {
  headless::SetLayeredAvailable(true);
  cb->SetAlphaBlend(true);
  cb->SetAlphaBlendAnimation(true);
  cb->SetAlphaBlendValue(150);
  cb->DropDown();
  HWND h = List()->Handle();
  ASSERT_TRUE(cb->IsPopupVisible());
  EXPECT_TRUE(GetWindowLongPtr(h, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(List()->Fading());
  EXPECT_EQ(headless::SurfaceAlpha(h), 0);
  Wait(5);
  EXPECT_EQ(List()->FadeSteps(), 0);
  Wait(1);
  EXPECT_EQ(List()->FadeSteps(), 1);
  EXPECT_EQ(headless::SurfaceAlpha(h), 10);
  Wait(6 * 20);
  EXPECT_FALSE(List()->Fading());
  EXPECT_EQ(List()->FadeSteps(), 15);
  EXPECT_EQ(headless::SurfaceAlpha(h), 150);
  // Closing during a fade ends it.
  cb->CloseUp(false);
  cb->DropDown();
  Wait(6);
  cb->CloseUp(false);
  EXPECT_FALSE(List()->Fading());
  Wait(50);
  EXPECT_EQ(List()->FadeSteps(), 1);
  // Without animation the value is set at once.
  cb->SetAlphaBlendAnimation(false);
  cb->DropDown();
  EXPECT_FALSE(List()->Fading());
  EXPECT_EQ(headless::SurfaceAlpha(h), 150);
  cb->CloseUp(false);
  cb->SetAlphaBlend(false);
  cb->DropDown();
  EXPECT_FALSE(GetWindowLongPtr(h, GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(SkinComboBoxTest, OpensAboveNearTheBottomOfTheWorkArea) {
  headless::SetMonitors({backend::MonitorDesc{RECT{0, 0, 800, 600}, RECT{0, 0, 800, 560}, true}});
  form->SetBounds(700, 400, 400, 300);
  Pump();
  cb->DropDown();
  ASSERT_TRUE(cb->IsPopupVisible());
  RECT wr{};
  GetWindowRect(List()->Handle(), &wr);
  const TPoint top = cb->ClientToScreen(TPoint{0, 0});
  EXPECT_EQ(wr.bottom, top.y) << "above the control";
  EXPECT_EQ(wr.left, top.x) << "never moved sideways, even past the right edge";
  EXPECT_GT(wr.right, 800);
  cb->CloseUp(false);
  // With room below it opens below.
  form->SetBounds(100, 100, 400, 300);
  Pump();
  cb->DropDown();
  GetWindowRect(List()->Handle(), &wr);
  EXPECT_EQ(wr.top, cb->ClientToScreen(TPoint{0, 20}).y);
}

TEST_F(SkinComboBoxTest, PressingAnotherControlClosesButTheListsOwnBarDoesNot) {
  cb->SetFocus();
  Pump();
  cb->SetItemIndex(1);
  Reset();
  cb->DropDown();
  ASSERT_TRUE(cb->IsPopupVisible());
  ASSERT_NE(List()->ScrollBar, nullptr);
  // The list's own bar: the list stays open and scrolls.
  TkxSkinScrollBar* bar = List()->ScrollBar;
  TPoint p = bar->ClientToScreen(TPoint{bar->Width() / 2, bar->Height() - 5});
  headless::Click(p.x, p.y);
  Pump();
  EXPECT_TRUE(cb->IsPopupVisible());
  EXPECT_GT(List()->TopIndex(), 0);
  // Another control: cancel.
  ClickAt(other, 20, 20);
  EXPECT_FALSE(cb->IsPopupVisible());
  EXPECT_EQ(cb->ItemIndex(), 1);
  Counters(0, 0, 0);
  // Cancel mode without a sender always closes.
  cb->DropDown();
  cb->Perform(CM_CANCELMODE, 0, 0);
  EXPECT_FALSE(cb->IsPopupVisible());
}

TEST_F(SkinComboBoxTest, ItemIndexAndTextChangeRules) {
  cb->SetItemIndex(2);
  Counters(1, 1, 0);
  EXPECT_EQ(cb->Changes, 1);
  // The same item again: OnClick and the hook, no OnChange.
  cb->SetItemIndex(2);
  Counters(1, 2, 0);
  EXPECT_EQ(cb->Changes, 2);
  // Another item with the same text: no OnChange either.
  cb->Items()->Add("banana");
  cb->SetItemIndex(12);
  Counters(1, 3, 0);
  // -1 clears the selection and keeps the text.
  cb->SetItemIndex(-1);
  EXPECT_EQ(cb->Text(), "banana");
  Counters(1, 4, 0);
  // Clearing the items leaves the text; a text set by code fires OnChange.
  cb->Items()->Clear();
  EXPECT_EQ(cb->Text(), "banana");
  cb->SetText("free text");
  Counters(2, 4, 0);
  // A list without items does not drop.
  cb->DropDown();
  EXPECT_FALSE(cb->IsPopupVisible());
  EXPECT_EQ(dropDowns, 0);
}

TEST_F(SkinComboBoxTest, EditStyleIsMadeOnceAndTypingSearches) {
  cb->SetItemIndex(2);
  cb->SetStyle(kxcbEditStyle);
  cb->SetStyle(kxcbEditStyle);
  int edits = 0;
  for (int i = 0; i < cb->ControlCount(); ++i)
    if (dynamic_cast<TkxCustomEdit*>(cb->Controls(i))) ++edits;
  EXPECT_EQ(edits, 1);
  ASSERT_NE(cb->Edit(), nullptr);
  EXPECT_EQ(cb->Edit()->Text(), "banana");
  EXPECT_TRUE(cb->Edit()->TabStop());
  EXPECT_FALSE(cb->TabStop());
  cb->SetFocus();
  Pump();
  EXPECT_EQ(GetFocus(), cb->Edit()->Handle()) << "the edit takes the focus";
  // Typing: the text follows the edit, and a prefix match becomes the selection.
  Reset();
  cb->Edit()->SelectAll();
  headless::TypeChar('c');
  Pump();
  EXPECT_EQ(cb->Text(), "c");
  EXPECT_EQ(cb->ItemIndex(), 4);
  EXPECT_GE(changes, 1);
  // Auto-complete on the key's release after more than 200 ms: the tail stays selected.
  Wait(201);
  headless::PressKey('H');
  Pump();
  EXPECT_EQ(cb->Text(), "cherry");
  EXPECT_EQ(cb->Edit()->Text(), "cherry");
  EXPECT_EQ(cb->Edit()->SelStart(), 2);
  EXPECT_EQ(cb->Edit()->SelLength(), 4);
  // Down in the edit steps the selection and selects all of the text.
  headless::PressKey(VK_DOWN);
  Pump();
  EXPECT_EQ(cb->Text(), "date");
  EXPECT_EQ(cb->Edit()->SelLength(), 4);
  // An item whose text begins an earlier item keeps its own place when chosen.
  cb->Items()->Add("app");
  cb->SetItemIndex(12);
  EXPECT_EQ(cb->ItemIndex(), 12);
  EXPECT_EQ(cb->Edit()->Text(), "app");
  // Back to the fixed style: the edit goes, the text stays.
  cb->SetStyle(kxcbFixedStyle);
  EXPECT_EQ(cb->Edit(), nullptr);
  EXPECT_EQ(cb->Text(), "app");
  EXPECT_TRUE(cb->TabStop());
}

TEST_F(SkinComboBoxTest, HeldMouseBelowTheListScrollsEvery25Milliseconds) {
  cb->SetItemIndex(0);
  MoveTo(cb, 50, 10);
  headless::ButtonDown(0);
  Pump();
  ASSERT_TRUE(cb->IsPopupVisible());
  TPoint p = ItemPoint(2);
  headless::MoveMouse(p.x, p.y);
  Pump();
  EXPECT_EQ(List()->ItemIndex(), 2);
  RECT wr{};
  GetWindowRect(List()->Handle(), &wr);
  headless::MoveMouse(p.x, wr.bottom + 20);
  Pump();
  EXPECT_EQ(cb->ScrollTimerMode(), 2);
  Wait(24);
  EXPECT_EQ(List()->ItemIndex(), 2);
  Wait(1);
  EXPECT_EQ(List()->ItemIndex(), 3);
  Wait(25 * 20);
  EXPECT_EQ(List()->ItemIndex(), 11) << "stops at the last item";
  headless::ButtonUp(0);
  Pump();
  EXPECT_FALSE(cb->IsPopupVisible());
  EXPECT_EQ(cb->ItemIndex(), 0) << "released away from the list: cancelled";
}

TEST_F(SkinComboBoxTest, GeneratedSkinLayoutAndListRecord) {
  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(0, sd);
  cb->SetSkinData(&sd);
  Pump();
  ASSERT_NE(cb->SkinIndex(), -1);
  EXPECT_EQ(cb->DropButton().R.right, cb->Width() - 2);
  cb->DropDown();
  ASSERT_TRUE(cb->IsPopupVisible());
  EXPECT_EQ(List()->SkinDataName(), "listbox");
  EXPECT_NE(List()->SkinIndex(), -1);
  EXPECT_EQ(List()->ListBox->ItemHeight(), 18);
  cb->CloseUp(false);
  cb->SetSkinData(nullptr);
  List()->SetSkinData(nullptr);
}

}  // namespace

namespace {

using namespace win;

class SkinComboPaintTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    InitializeUtilsUnit();
    form = NewForm(100, 100, 300, 100);
    cb = Make<TkxSkinComboBox>(form, "cb", 10, 10, 120, 20);
    cb->Items()->Add("one");
    cb->Items()->Add("two");
    cb->OnChange = [this](TObject*) { ++changes; };
    form->Show();
    Pump();
  }
  TForm* form = nullptr;
  TkxSkinComboBox* cb = nullptr;
  int changes = 0;
};

// Painting with another text leaves Text alone: no OnChange, before or after.
TEST_F(SkinComboPaintTest, PaintSkinToShowsTheGivenTextWithoutTouchingText) {
  cb->SetItemIndex(0);
  changes = 0;
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(140, 30);
  for (TkxSkinData* sd : {static_cast<TkxSkinData*>(nullptr)}) {
    cb->SetSkinData(sd);
    cb->PaintSkinTo(b.Canvas(), 0, 0, "another text");
  }
  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(3, sd);
  cb->SetSkinData(&sd);
  cb->PaintSkinTo(b.Canvas(), 0, 0, "another text");
  cb->SetToolButtonStyle(true);
  cb->PaintSkinTo(b.Canvas(), 0, 0, "another text");
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(cb->Text(), "one");
  cb->SetSkinData(nullptr);
  cb->ListBox()->SetSkinData(nullptr);
}

// Disabled in edit style: the edit's text takes the "edit" record's disabled colour, or grey
// text unskinned; enabled again, the record's colour.
TEST_F(SkinComboPaintTest, DisabledEditStyleTakesTheEditRecordsDisabledColour) {
  cb->SetStyle(kxcbEditStyle);
  cb->SetEnabled(false);
  EXPECT_EQ(cb->Edit()->Font()->Color(), clGrayText);
  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(0, sd);
  cb->SetSkinData(&sd);
  auto* edit = dynamic_cast<TkxDataSkinEditControl*>(sd.CtrlList[size_t(sd.GetControlIndex("edit"))].get());
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(cb->Edit()->Font()->Color(), edit->DisabledFontColor);
  cb->SetEnabled(true);
  auto* rec = dynamic_cast<TkxDataSkinComboBox*>(sd.CtrlList[size_t(sd.GetControlIndex("combobox"))].get());
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(cb->Edit()->Font()->Color(), rec->FontColor);
  cb->SetSkinData(nullptr);
  cb->ListBox()->SetSkinData(nullptr);
}

}  // namespace

namespace {

class SkinComboStreamTest : public ctltest::ControlTest {};

// Both read from a form description: items, selection, style and the list's own properties.
TEST_F(SkinComboStreamTest, ReadFromAFormDescription) {
  RegisterSkinControlFormClasses();
  const std::string text =
      "object Form1: TForm\n"
      "  object cb: TkxSkinComboBox\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 150\n"
      "    DropDownCount = 5\n"
      "    Items.Strings = (\n"
      "      '320x240'\n"
      "      '640x480'\n"
      "      '1280x720')\n"
      "    ItemIndex = 1\n"
      "  end\n"
      "  object lb: TkxSkinListBox\n"
      "    Left = 8\n"
      "    Top = 40\n"
      "    Width = 150\n"
      "    Height = 90\n"
      "    CaptionMode = True\n"
      "    Caption = '格式'\n"
      "    Items.Strings = (\n"
      "      'one'\n"
      "      'two')\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(owner.get());
  ReadFormDescription(f, text, "main.dfm");
  auto* cb = dynamic_cast<TkxSkinComboBox*>(f->FindComponent("cb"));
  auto* lb = dynamic_cast<TkxSkinListBox*>(f->FindComponent("lb"));
  ASSERT_TRUE(cb && lb);
  EXPECT_EQ(cb->Parent(), f);
  EXPECT_EQ(cb->Items()->Count(), 3);
  EXPECT_EQ(cb->ItemIndex(), 1);
  EXPECT_EQ(cb->Text(), "640x480");
  EXPECT_EQ(cb->DropDownCount(), 5);
  EXPECT_EQ(cb->Width(), 150);
  EXPECT_EQ(lb->Items()->Count(), 2);
  EXPECT_TRUE(lb->CaptionMode());
  EXPECT_EQ(lb->Caption(), "格式");
  EXPECT_TRUE(GetWindowLongPtr(lb->Handle(), GWL_STYLE) & WS_CHILD);
  f->Show();
  Pump();
  cb->DropDown();
  EXPECT_TRUE(cb->IsPopupVisible());
  EXPECT_EQ(cb->ListBox()->RowCount(), 3);
}

}  // namespace
