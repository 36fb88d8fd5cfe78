// The office combo box on the headless backend with injected input and the stepped clock: the
// events of ItemIndex, the drop-down's place (right-aligned, above when there is no room
// below), accepting and cancelling, CM_CANCELMODE, keys and wheel, the auto-scroll and the fade
// on the clock, the drop-down's record across skin changes, and the faces.
#include <gtest/gtest.h>

#include "classlib/Streaming.h"
#include "lib/controls/kxSkinOfficeCombo.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/controls/kxSkinScrollBar.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace ctltest;
using CB = TkxSkinOfficeComboBox;

class OfficeComboTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(100, 100, 400, 300);
    form->Show();
    Pump();
  }
  CB* Combo(int items = 6, int x = 200, int y = 20) {
    auto* c = Make<CB>(form, "combo", x, y, 120, 41);
    c->SetListBoxItemHeight(30);
    c->SetDropDownCount(4);
    for (int i = 0; i < items; ++i) {
      TkxSkinOfficeItem* it = c->Items()->Add();
      it->SetTitle("格式 " + std::to_string(i) + "(*.f" + std::to_string(i) + ")");
      it->SetCaption("说明 " + std::to_string(i));
    }
    c->OnClick = [this](TObject* s) {
      EXPECT_EQ(s, combo);
      log.push_back("click" + std::to_string(combo->ItemIndex()));
    };
    c->OnChange = [this](TObject* s) {
      EXPECT_EQ(s, combo);
      log.push_back("change" + std::to_string(combo->ItemIndex()));
    };
    c->OnCloseUp = [this](TObject*) { log.push_back("closeup"); };
    c->ListBox()->OnItemClick = [this](TObject*) { log.push_back("item" + std::to_string(combo->ListBox()->ItemIndex())); };
    combo = c;
    Pump();
    return c;
  }
  TRect ListRect() {
    RECT r;
    GetWindowRect(combo->ListBox()->Handle(), &r);
    return r;
  }
  void Key(int vk) {
    headless::PressKey(vk);
    Pump();
  }
  void Wait(int ms) {
    for (int i = 0; i < ms; ++i) {
      clock.Advance(1);
      Pump();
    }
  }

  TForm* form = nullptr;
  CB* combo = nullptr;
  std::vector<std::string> log;
};

using Log = std::vector<std::string>;

// ---- ItemIndex ----------------------------------------------------------------------------------

TEST_F(OfficeComboTest, ItemIndexFiresOnClickThenOnChangeOnEveryAssignmentButNotWhileLoading) {
  Combo();
  combo->SetItemIndex(2);
  combo->SetItemIndex(2);
  EXPECT_EQ(log, (Log{"item2", "click2", "change2", "item2", "click2", "change2"}));
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->OldItemIndex(), 2);

  // The application's refill: clear, add, select the first; both handlers have run on return.
  log.clear();
  combo->Items()->Clear();
  combo->Items()->Add()->SetTitle("MP4 - MPEG-4视频格式(*.mp4)");
  combo->SetItemIndex(0);
  EXPECT_EQ(log, (Log{"item0", "click0", "change0"}));
  EXPECT_EQ(combo->Items()->GetItem(combo->ItemIndex())->Title(), "MP4 - MPEG-4视频格式(*.mp4)");

  log.clear();
  combo->Loading();
  combo->SetItemIndex(0);
  combo->Loaded();
  EXPECT_EQ(log, Log{"item0"}) << "while loading only the list's item events";
}

// ---- the drop-down ------------------------------------------------------------------------------

TEST_F(OfficeComboTest, TheDropDownLinesUpWithTheRightEdgeBelowTheControl) {
  Combo();
  combo->DropDown();
  Pump();
  ASSERT_TRUE(combo->IsPopupVisible());
  const TPoint o = combo->ClientToScreen(TPoint{0, 0});
  EXPECT_EQ(ListRect(), (TRect{o.x, o.y + 41, o.x + 120, o.y + 41 + 4 * 30 + 5})) << "CalcHeight(DropDownCount)";
  EXPECT_TRUE(combo->DroppedDown());
  combo->CloseUp(false);

  combo->SetListBoxWidth(200);
  combo->SetListBoxHeight(77);
  combo->DropDown();
  Pump();
  EXPECT_EQ(ListRect(), (TRect{o.x + 120 - 200, o.y + 41, o.x + 120, o.y + 41 + 77})) << "a wider list grows to the left";
  combo->CloseUp(false);

  combo->SetListBoxHeight(0);
  combo->SetDropDownCount(-1);
  EXPECT_EQ(combo->DropDownCount(), 4) << "a negative count is ignored";
  combo->SetDropDownCount(0);
  combo->DropDown();
  Pump();
  EXPECT_EQ(RectHeight(ListRect()), 77) << "count 0 and no height: the list keeps its height";
}

TEST_F(OfficeComboTest, TheDropDownOpensAboveWhenTheWorkAreaHasNoRoomBelow) {
  headless::SetMonitors({backend::MonitorDesc{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 400}, true}});
  Combo(6, 200, 200);  // the control's bottom at 100 + 241 = 341 on the screen
  combo->DropDown();
  Pump();
  const TPoint o = combo->ClientToScreen(TPoint{0, 0});
  EXPECT_EQ(ListRect(), (TRect{o.x, o.y - 125, o.x + 120, o.y}));
}

TEST_F(OfficeComboTest, NothingDropsWithoutItems) {
  Combo(0);
  combo->DropDown();
  EXPECT_FALSE(combo->IsPopupVisible());
  EXPECT_FALSE(combo->DroppedDown());
}

TEST_F(OfficeComboTest, OpeningAtTheFirstItemScrollsToTheTopThroughTheSecond) {
  Combo();
  combo->SetItemIndex(0);
  combo->ListBox()->Scroll(40);
  log.clear();
  combo->DropDown();
  EXPECT_EQ(log, (Log{"item1", "item0"}));
  EXPECT_EQ(combo->ListBox()->ScrollOffset(), 0);
}

TEST_F(OfficeComboTest, AcceptingFiresTheEventsAndCancellingGivesBackTheOldSelection) {
  Combo();
  combo->SetItemIndex(1);
  combo->SetFocus();
  combo->DropDown();
  log.clear();
  combo->ListBox()->SetItemIndex(3);
  EXPECT_EQ(combo->OldItemIndex(), 1) << "the face keeps showing the old item";
  combo->CloseUp(false);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(log, (Log{"item3", "item1"}));
  EXPECT_FALSE(combo->DroppedDown());

  log.clear();
  combo->DropDown();
  combo->ListBox()->SetItemIndex(1);  // the same item chosen again still fires
  log.clear();
  Key(VK_RETURN);
  EXPECT_EQ(log, (Log{"click1", "change1", "closeup"}));
  EXPECT_FALSE(combo->IsPopupVisible());

  combo->DropDown();
  combo->ListBox()->SetItemIndex(4);
  log.clear();
  Key(VK_ESCAPE);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(log, Log{"item1"});
}

TEST_F(OfficeComboTest, CancelModeFromAnotherControlClosesTheDropDown) {
  Combo();
  combo->SetItemIndex(2);
  combo->DropDown();
  combo->ListBox()->SetItemIndex(4);
  combo->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(combo));
  combo->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(combo->ListBox()));
  EXPECT_TRUE(combo->IsPopupVisible()) << "its own parts do not cancel";
  auto* other = Make<WinProbe>(form, "other", 10, 10, 50, 50);
  combo->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(other));
  EXPECT_FALSE(combo->IsPopupVisible());
  EXPECT_EQ(combo->ItemIndex(), 2);

  combo->DropDown();
  combo->Perform(CM_CANCELMODE, 0, 0);
  EXPECT_FALSE(combo->IsPopupVisible()) << "a cancel without a control closes too";
}

TEST_F(OfficeComboTest, AClickOnTheListsBarScrollsItAndKeepsItOpen) {
  Combo(10);
  combo->SetItemIndex(0);
  combo->SetFocus();
  combo->DropDown();
  Pump();
  TkxSkinScrollBar* bar = combo->ListBox()->ScrollBar;
  ASSERT_NE(bar, nullptr);
  ClickAt(bar, bar->Width() / 2, bar->Height() - 5);  // the arrow towards the end
  EXPECT_TRUE(combo->IsPopupVisible());
  EXPECT_TRUE(combo->Focused());
  EXPECT_EQ(combo->ListBox()->ScrollOffset(), 30);
  EXPECT_EQ(combo->ItemIndex(), 0);
  ClickAt(form, 5, 250);  // elsewhere on the form
  EXPECT_FALSE(combo->IsPopupVisible());
}

TEST_F(OfficeComboTest, LosingTheFocusClosesTheDropDown) {
  Combo();
  auto* other = Make<CB>(form, "other", 10, 10, 100, 41);
  combo->SetFocus();
  combo->DropDown();
  other->SetFocus();
  Pump();
  EXPECT_FALSE(combo->IsPopupVisible());
}

// ---- mouse --------------------------------------------------------------------------------------

TEST_F(OfficeComboTest, AClickOpensAndAClickOnAnItemChoosesIt) {
  Combo();
  combo->SetItemIndex(0);
  log.clear();
  ClickAt(combo, 30, 20);
  ASSERT_TRUE(combo->IsPopupVisible()) << "a release on the control leaves the list open";
  EXPECT_TRUE(combo->Focused());
  EXPECT_EQ(GetActiveWindow(), form->Handle());
  log.clear();
  // Row 2 of the list: hot tracking marks it, the release over the list chooses it.
  TkxPopupOfficeListBox* l = combo->ListBox();
  MoveTo(l, 30, 2 + 2 * 30 + 10);
  EXPECT_EQ(l->ItemIndex(), 2);
  EXPECT_TRUE(log.empty()) << "hot tracking fires nothing";
  headless::ButtonDown();
  Pump();
  EXPECT_EQ(GetCapture(), combo->Handle()) << "the combo box holds the press";
  headless::ButtonUp();
  Pump();
  EXPECT_FALSE(combo->IsPopupVisible());
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(log, (Log{"click2", "change2", "closeup"}));
  EXPECT_TRUE(combo->Focused()) << "the list never took the focus";
}

TEST_F(OfficeComboTest, PressDragIntoTheListAndReleaseChooses) {
  Combo();
  combo->SetItemIndex(0);
  MoveTo(combo, 30, 20);
  headless::ButtonDown();
  Pump();
  ASSERT_TRUE(combo->IsPopupVisible());
  log.clear();
  MoveTo(combo->ListBox(), 30, 2 + 30 + 5);
  headless::ButtonUp();
  Pump();
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(log, (Log{"click1", "change1", "closeup"}));
}

TEST_F(OfficeComboTest, AReleaseOutsideTheListCancels) {
  Combo();
  combo->SetItemIndex(3);
  MoveTo(combo, 30, 20);
  headless::ButtonDown();
  Pump();
  MoveTo(combo->ListBox(), 30, 10);
  MoveTo(form, 5, 250);
  headless::ButtonUp();
  Pump();
  EXPECT_FALSE(combo->IsPopupVisible());
  EXPECT_EQ(combo->ItemIndex(), 3);
}

TEST_F(OfficeComboTest, DraggingBelowTheListAutoScrollsEvery25ms) {
  Combo(10);
  combo->SetItemIndex(0);
  MoveTo(combo, 30, 20);
  headless::ButtonDown();
  Pump();
  ASSERT_NE(combo->ListBox()->ScrollBar, nullptr);
  MoveTo(combo->ListBox(), 30, 10);
  const int before = combo->ListBox()->ItemIndex();
  MoveTo(combo->ListBox(), 30, combo->ListBox()->Height() + 20);
  EXPECT_EQ(combo->TimerMode(), 2);
  Wait(24);
  EXPECT_EQ(combo->ListBox()->ItemIndex(), before);
  Wait(1);
  EXPECT_EQ(combo->ListBox()->ItemIndex(), before + 1);
  Wait(50);
  EXPECT_EQ(combo->ListBox()->ItemIndex(), before + 3);
  MoveTo(combo->ListBox(), 30, 10);
  EXPECT_EQ(combo->TimerMode(), 0);
  headless::ButtonUp();
  Pump();
}

// ---- keys and wheel -----------------------------------------------------------------------------

TEST_F(OfficeComboTest, ArrowKeysSelectAndFireAlsoAtTheEnds) {
  Combo(3);
  combo->SetItemIndex(0);
  combo->SetFocus();
  Pump();
  log.clear();
  Key(VK_UP);
  EXPECT_EQ(log, (Log{"item0", "click0", "change0"})) << "nothing above, the events still fire";
  log.clear();
  // The list's move fires its item events, and the setter that follows fires them again.
  Key(VK_DOWN);
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(log, (Log{"item1", "item1", "click1", "change1", "item2", "item2", "click2", "change2", "item2", "click2",
                      "change2"}));
  Key(VK_PRIOR);
  EXPECT_EQ(combo->ItemIndex(), 0);
  Key(VK_NEXT);
  EXPECT_EQ(combo->ItemIndex(), 2);
}

// An arrow key selects through ItemIndex also while the list is open, so the selection it
// reaches is the one a later cancel gives back.
TEST_F(OfficeComboTest, AltDownOpensAndAltUpCancels) {
  Combo();
  combo->SetItemIndex(1);
  combo->SetFocus();
  Pump();
  headless::KeyDown(VK_MENU);
  Key(VK_DOWN);
  headless::KeyUp(VK_MENU);
  Pump();
  ASSERT_TRUE(combo->IsPopupVisible());
  combo->ListBox()->SetItemIndex(4);  // hot tracking moved the open list
  Key(VK_DOWN);
  EXPECT_EQ(combo->ListBox()->ItemIndex(), 5);
  EXPECT_TRUE(combo->IsPopupVisible());
  combo->ListBox()->SetItemIndex(3);
  headless::KeyDown(VK_MENU);
  Key(VK_UP);
  headless::KeyUp(VK_MENU);
  Pump();
  EXPECT_FALSE(combo->IsPopupVisible());
  EXPECT_EQ(combo->ItemIndex(), 5);
}

TEST_F(OfficeComboTest, TheWheelSelectsWhileClosedAndOnlyMovesTheOpenList) {
  Combo();
  combo->SetItemIndex(1);
  combo->SetFocus();
  MoveTo(combo, 30, 20);
  log.clear();
  headless::Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(log, (Log{"item2", "item2", "click2", "change2"}));
  headless::Wheel(WHEEL_DELTA);
  Pump();
  EXPECT_EQ(combo->ItemIndex(), 1);

  combo->DropDown();
  log.clear();
  headless::Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(combo->ListBox()->ItemIndex(), 2);
  EXPECT_EQ(combo->OldItemIndex(), 1);
  EXPECT_EQ(log, Log{"item2"}) << "no OnClick or OnChange while open";
}

TEST_F(OfficeComboTest, TheFaceShowsTheSelectionFromBeforeTheDropDownUntilAChoice) {
  Combo();
  combo->SetItemIndex(1);
  std::vector<int> drawn;
  combo->OnDrawItem = [&](TCanvas*, int32_t Index, TRect) { drawn.push_back(Index); };
  combo->DropDown();
  combo->ListBox()->SetItemIndex(4);
  Pump();
  drawn.clear();
  combo->Repaint();
  EXPECT_EQ(drawn, std::vector<int>{1});
  combo->CloseUp(true);
  drawn.clear();
  combo->Repaint();
  EXPECT_EQ(drawn, std::vector<int>{4});
  combo->SetItemIndex(9);
  drawn.clear();
  combo->Repaint();
  EXPECT_TRUE(drawn.empty()) << "an index outside the items shows no item";

  combo->SetToolButtonStyle(true);
  combo->SetItemIndex(2);
  drawn.clear();
  combo->Repaint();
  EXPECT_TRUE(drawn.empty()) << "the tool-button look never draws through OnDrawItem";
}

// ---- the fade -----------------------------------------------------------------------------------

TEST_F(OfficeComboTest, TheFadeStepsOnTheClockAndEndsAtTheValue) {
  headless::SetLayeredAvailable(true);
  InitializeUtilsUnit();
  Combo();
  combo->SetAlphaBlend(true);
  combo->SetAlphaBlendAnimation(true);
  combo->SetAlphaBlendValue(200);
  combo->DropDown();
  TkxPopupOfficeListBox* l = combo->ListBox();
  EXPECT_NE(GetWindowLongPtr(l->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  auto alpha = [&] {
    BYTE a = 0;
    GetLayeredWindowAttributes(l->Handle(), nullptr, &a, nullptr);
    return int(a);
  };
  EXPECT_EQ(alpha(), 13) << "the first step at once: 200 div 15";
  EXPECT_TRUE(l->Fading());
  Wait(6);
  EXPECT_EQ(alpha(), 26);
  Wait(6 * 13);
  EXPECT_EQ(alpha(), 195);
  Wait(6);
  EXPECT_EQ(alpha(), 200);
  EXPECT_FALSE(l->Fading());

  // A close during the fade stops it.
  combo->CloseUp(false);
  combo->DropDown();
  EXPECT_EQ(alpha(), 13);
  combo->CloseUp(false);
  Wait(30);
  EXPECT_FALSE(l->Fading());
  EXPECT_EQ(alpha(), 13);

  // Without the animation the value is set at once; without AlphaBlend the layer goes.
  combo->SetAlphaBlendAnimation(false);
  combo->DropDown();
  EXPECT_EQ(alpha(), 200);
  combo->CloseUp(false);
  combo->SetAlphaBlend(false);
  combo->DropDown();
  EXPECT_EQ(GetWindowLongPtr(l->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  combo->CloseUp(false);

  // The control freed in the middle of a fade: the steps end with it.
  combo->SetAlphaBlend(true);
  combo->SetAlphaBlendAnimation(true);
  combo->DropDown();
  EXPECT_TRUE(l->Fading());
  delete combo;
  combo = nullptr;
  Wait(30);
}

// ---- skins --------------------------------------------------------------------------------------

TEST_F(OfficeComboTest, TheDropDownGetsItsRecordBackWhenSkinnedAgain) {
  Combo();
  combo->SetListBoxSkinDataName("resizetoolpanel");
  auto* sd = new TkxSkinData(owner.get());
  skinlint::LoadGeneratedSkin(2, *sd);
  combo->SetSkinData(sd);
  EXPECT_EQ(combo->ListBox()->SkinDataName(), "resizetoolpanel");
  sd->ClearSkin();
  combo->ChangeSkinData();
  EXPECT_EQ(combo->ListBox()->SkinDataName(), "");
  skinlint::LoadGeneratedSkin(2, *sd);
  combo->ChangeSkinData();
  EXPECT_EQ(combo->ListBox()->SkinDataName(), "resizetoolpanel");
  EXPECT_EQ(combo->ListBox()->SkinData(), sd);
}

TEST_F(OfficeComboTest, ToolButtonLookShiftsWhileOpenAndPaintSkinToLeavesEventsAlone) {
  Combo();
  combo->SetToolButtonStyle(true);
  combo->SetItemIndex(0);
  Pump();
  auto at = [&](int x, int y) { return Rgb(headless::PixelAt(combo->Handle(), x, y)); };
  EXPECT_EQ(at(0, 0), Px(clBtnShadow));
  EXPECT_EQ(at(60, 38), Px(clBtnFace));
  combo->DropDown();
  Pump();
  EXPECT_EQ(at(0, 0), Px(clNavy));
  EXPECT_EQ(at(60, 38), Rgb(0x8593B5)) << "the open fill";
  combo->CloseUp(false);

  log.clear();
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(200, 100);
  combo->PaintSkinTo(b.Canvas(), 10, 10, "别处 elsewhere");
  EXPECT_TRUE(log.empty()) << "painting elsewhere changes nothing";
  EXPECT_EQ(Rgb(ColorToRGB(b.Canvas()->Pixels(10, 10))), Rgb(ColorToRGB(clBtnShadow)));
}

TEST_F(OfficeComboTest, EveryGeneratedSkinPaintsBothLooksOpenAndClosed) {
  auto* sd = new TkxSkinData(owner.get());
  Combo();
  for (int n = 0; n <= 10; ++n) {
    SCOPED_TRACE(n);
    skinlint::LoadGeneratedSkin(n, *sd);
    combo->SetSkinData(sd);
    for (bool tool : {false, true}) {
      combo->SetToolButtonStyle(tool);
      combo->SetUseSkinSize(!tool && n % 2 == 0);
      combo->SetItemIndex(n % 6);
      combo->SetFocus();
      combo->DropDown();
      Pump();
      combo->CloseUp(true);
      Pump();
    }
  }
}

TEST_F(OfficeComboTest, ReadFromAFormDescription) {
  RegisterSkinControlFormClasses();
  const char* text =
      "object Form1: TForm\n"
      "  object ComboBox1: TkxSkinOfficeComboBox\n"
      "    Left = 10\n"
      "    Width = 119\n"
      "    ToolButtonStyle = True\n"
      "    ListBoxItemHeight = 50\n"
      "    ListBoxShowItemTitles = False\n"
      "    ListBoxShowLines = True\n"
      "    ListBoxSkinDataName = 'resizetoolpanel'\n"
      "    DropDownCount = 4\n"
      "    Items = <\n"
      "      item\n"
      "        Caption = '常用视频'\n"
      "        ImageIndex = 0\n"
      "      end\n"
      "      item\n"
      "        Caption = '手机视频'\n"
      "        ImageIndex = 1\n"
      "      end>\n"
      "    ItemIndex = 1\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(owner.get());
  ReadFormDescription(f, text, "main.dfm");
  auto* c = dynamic_cast<CB*>(f->FindComponent("ComboBox1"));
  ASSERT_TRUE(c);
  EXPECT_TRUE(c->ToolButtonStyle());
  EXPECT_EQ(c->ListBoxItemHeight(), 50);
  EXPECT_FALSE(c->ListBoxShowItemTitles());
  EXPECT_TRUE(c->ListBoxShowLines());
  EXPECT_EQ(c->ListBoxSkinDataName(), "resizetoolpanel");
  EXPECT_EQ(c->DropDownCount(), 4);
  ASSERT_EQ(c->Items()->Count(), 2);
  EXPECT_EQ(c->Items()->GetItem(1)->Caption(), "手机视频");
  EXPECT_EQ(c->Items()->GetItem(1)->ImageIndex(), 1);
  EXPECT_EQ(c->ItemIndex(), 1);
  EXPECT_EQ(c->Width(), 119);
}

}  // namespace
