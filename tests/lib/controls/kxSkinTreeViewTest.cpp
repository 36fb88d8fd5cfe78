// The skinned tree view: its external bars appear as nodes expand and go as they collapse, a
// moved bar scrolls the tree (the whole position through the scroll info, then the scroll
// message, so positions past 16 bits are reached), the tree's own keys and wheel move the bars,
// hiding the tree hides them, and the skin's tree record gives font and colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinListView.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/controls/kxSkinTreeView.h"
#include "lib/forms/kxVelara.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace ctltest;

class SkinTreeViewTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(0, 0, 400, 300);
    tv = Make<TkxSkinTreeView>(form, "tv", 10, 10, 200, 150);
    vbar = Make<TkxSkinScrollBar>(form, "vbar", 210, 10, 19, 150);
    vbar->SetKind(sbVertical);
    vbar->SetSkinDataName("vscrollbar");
    hbar = Make<TkxSkinScrollBar>(form, "hbar", 10, 160, 200, 19);
    form->Show();
    Pump();
  }
  void Attach() {
    tv->SetVScrollBar(vbar);
    tv->SetHScrollBar(hbar);
    Pump();
  }
  // Three folders of ten files each, collapsed.
  void Folders() {
    for (int f = 0; f < 3; ++f) {
      TTreeNode* n = tv->Items()->Add(nullptr, "文件夹 " + std::to_string(f));
      for (int i = 0; i < 10; ++i) tv->Items()->AddChild(n, "clip" + std::to_string(i) + ".avi");
    }
    Pump();
  }
  int VisibleCount() { return int(SendMessage(tv->Handle(), TVM_GETVISIBLECOUNT, 0, 0)); }
  int TopRow() { return GetScrollPos(tv->Handle(), SB_VERT); }

  TForm* form = nullptr;
  TkxSkinTreeView* tv = nullptr;
  TkxSkinScrollBar *vbar = nullptr, *hbar = nullptr;
};

TEST_F(SkinTreeViewTest, HasNoBorderNorBarsOfItsOwn) {
  Folders();
  tv->Items()->Item(0)->Expand(false);
  Pump();
  EXPECT_EQ(tv->ClientWidth(), 200);
  EXPECT_EQ(tv->ClientHeight(), 150);
  EXPECT_EQ(GetWindowLong(tv->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
  EXPECT_EQ(SendMessage(tv->Handle(), KXM_PAINTNCTODC, 0, 0), KX_PAINTNCTODC_ANSWER);
  EXPECT_EQ(tv->Font()->Name(), "Arial");
  EXPECT_EQ(tv->Font()->Height(), 14);
  EXPECT_EQ(tv->Color(), clWindow);
}

// Folders that fit show no bar; expanding one beyond the page shows it, by the program or by a
// key, with the tree's rows as range and the visible count as page; collapsing hides it again.
TEST_F(SkinTreeViewTest, TheBarAppearsAsNodesExpand) {
  Attach();
  Folders();
  EXPECT_FALSE(vbar->Visible());
  ASSERT_LT(VisibleCount(), 13);
  struct Way {
    const char* name;
    std::function<void(TTreeNode*)> expand, collapse;
  };
  const std::vector<Way> ways{
      {"program", [](TTreeNode* n) { n->Expand(false); }, [](TTreeNode* n) { n->Collapse(false); }},
      {"keys",
       [this](TTreeNode* n) {
         tv->SetSelected(n);
         headless::PressKey(VK_RIGHT);
       },
       [this](TTreeNode* n) {
         tv->SetSelected(n);
         headless::PressKey(VK_LEFT);
       }},
  };
  tv->SetFocus();
  for (const Way& w : ways) {
    TTreeNode* first = tv->Items()->Item(0);
    w.expand(first);
    Pump();
    EXPECT_TRUE(vbar->Visible()) << w.name;
    EXPECT_EQ(vbar->Max(), 12) << w.name << ": 13 rows";
    EXPECT_EQ(vbar->PageSize(), VisibleCount()) << w.name;
    EXPECT_EQ(vbar->Position(), 0) << w.name;
    w.collapse(first);
    Pump();
    EXPECT_FALSE(vbar->Visible()) << w.name;
  }
}

// A moved bar scrolls the tree to the same row: the whole position goes into the tree's scroll
// info, then WM_VSCROLL with SB_THUMBPOSITION.
TEST_F(SkinTreeViewTest, TheBarScrollsTheTreeThroughScrollInfoAndMessage) {
  Attach();
  Folders();
  tv->FullExpand();
  Pump();
  ASSERT_TRUE(vbar->Visible());
  headless::Spy(tv->Handle());
  vbar->SetPosition(7);
  EXPECT_EQ(TopRow(), 7);
  EXPECT_EQ(tv->TopItem(), tv->Items()->Item(7));
  bool thumb = false;
  for (const auto& e : headless::SpyLog(tv->Handle()))
    if (e.msg == WM_VSCROLL && LOWORD(e.wParam) == SB_THUMBPOSITION && HIWORD(e.wParam) == 7) thumb = true;
  EXPECT_TRUE(thumb);
  headless::StopSpy(tv->Handle());
  // The bar's arrow steps a row.
  ClickAt(vbar, 9, 150 - 5);
  EXPECT_EQ(vbar->Position(), 8);
  EXPECT_EQ(TopRow(), 8);
  vbar->SetPosition(vbar->Max());
  EXPECT_EQ(TopRow(), 33 - VisibleCount());
}

// Positions past 65535 cannot travel in the message; the scroll info carries them.
TEST_F(SkinTreeViewTest, PositionsPastSixteenBitsAreReached) {
  Attach();
  tv->Items()->BeginUpdate();
  for (int i = 0; i < 66000; ++i) tv->Items()->Add(nullptr, "n");
  tv->Items()->EndUpdate();
  Pump();
  ASSERT_TRUE(vbar->Visible());
  vbar->SetPosition(65536 + 100);
  EXPECT_EQ(TopRow(), 65636);
  vbar->SetPosition(65000);
  EXPECT_EQ(TopRow(), 65000);
}

// The tree's keys and wheel scroll it; the bar follows at the key or the repaint after it.
TEST_F(SkinTreeViewTest, TheTreesOwnScrollingMovesTheBar) {
  Attach();
  Folders();
  tv->FullExpand();
  tv->SetFocus();
  tv->SetSelected(tv->Items()->Item(0));
  Pump();
  const std::vector<std::pair<const char*, std::function<void()>>> steps{
      {"page down", [] { headless::PressKey(VK_NEXT); }},
      {"end", [] { headless::PressKey(VK_END); }},
      {"wheel up", [] { headless::Wheel(WHEEL_DELTA); }},
      {"home", [] { headless::PressKey(VK_HOME); }},
      {"wheel down", [] { headless::Wheel(-WHEEL_DELTA); }},
  };
  int last = -1;
  for (const auto& [name, act] : steps) {
    headless::MoveMouse(10 + 100, 10 + 70);
    act();
    Pump();
    EXPECT_EQ(vbar->Position(), TopRow()) << name;
    EXPECT_NE(TopRow(), last) << name << " scrolled";
    last = TopRow();
  }
}

TEST_F(SkinTreeViewTest, TheHorizontalBarFollowsWideRows) {
  Attach();
  Folders();
  EXPECT_FALSE(hbar->Visible());
  tv->Items()->Add(nullptr, std::string(60, 'W'));
  Pump();
  ASSERT_TRUE(hbar->Visible());
  EXPECT_GT(hbar->Max(), 200);
  EXPECT_EQ(hbar->PageSize(), 200);
  hbar->SetPosition(30);
  EXPECT_EQ(GetScrollPos(tv->Handle(), SB_HORZ), 30);
  EXPECT_FALSE(hbar->Both());
  tv->FullExpand();
  Pump();
  EXPECT_TRUE(vbar->Visible());
  EXPECT_TRUE(hbar->Both());
}

// Hiding the tree hides both bars; showing it shows both until the next update hides the one
// not needed.
TEST_F(SkinTreeViewTest, HidingTheTreeHidesTheBars) {
  Attach();
  Folders();
  tv->FullExpand();
  Pump();
  ASSERT_TRUE(vbar->Visible());
  ASSERT_FALSE(hbar->Visible());
  tv->SetVisible(false);
  EXPECT_FALSE(vbar->Visible());
  EXPECT_FALSE(hbar->Visible());
  tv->SetVisible(true);
  EXPECT_TRUE(vbar->Visible());
  EXPECT_TRUE(hbar->Visible());
  Pump();
  EXPECT_TRUE(vbar->Visible());
  EXPECT_FALSE(hbar->Visible());
}

TEST_F(SkinTreeViewTest, TreeAndBarsOutliveEachOther) {
  Attach();
  Folders();
  tv->FullExpand();
  Pump();
  delete vbar;
  vbar = nullptr;
  EXPECT_EQ(tv->VScrollBar(), nullptr);
  headless::PressKey(VK_NEXT);
  Pump();
  delete tv;
  tv = nullptr;
  hbar->SetPosition(3);
  EXPECT_FALSE(bool(hbar->OnChange));
}

// ---- skins --------------------------------------------------------------------------------------

TEST_F(SkinTreeViewTest, TheTreeRecordGivesFontAndColours) {
  auto* sd = new TkxSkinData(owner.get());
  skinlint::LoadGeneratedSkin(4, *sd);
  const int ti = sd->GetControlIndex("treeview");
  ASSERT_NE(ti, -1);
  auto* rec = dynamic_cast<TkxDataSkinTreeView*>(sd->CtrlList[size_t(ti)].get());
  ASSERT_NE(rec, nullptr);
  auto* images = new TImageList(owner.get());
  tv->SetImages(images);
  tv->SetSkinData(sd);
  EXPECT_EQ(tv->SkinIndex(), ti);
  EXPECT_EQ(tv->Color(), rec->BGColor);
  EXPECT_EQ(tv->Font()->Color(), rec->FontColor);
  EXPECT_EQ(images->BkColor(), rec->BGColor);
  // Without the skin font the default font stays, in the record's colour.
  tv->SetUseSkinFont(false);
  tv->DefaultFont()->SetHeight(17);
  tv->ChangeSkinData();
  EXPECT_EQ(tv->Font()->Height(), 17);
  EXPECT_EQ(tv->Font()->Color(), rec->FontColor);
  // A record of another kind changes neither.
  tv->SetDefaultColor(clYellow);
  tv->SetSkinDataName("resizetoolbutton");
  tv->ChangeSkinData();
  EXPECT_EQ(tv->Color(), rec->BGColor);
  // No record: the defaults, and the default colour follows at once.
  tv->SetSkinDataName("none");
  tv->ChangeSkinData();
  EXPECT_EQ(tv->Color(), clYellow);
  tv->SetDefaultColor(clAqua);
  EXPECT_EQ(tv->Color(), clAqua);
}

// The skin-change walk reaches the tree when it uses the changed skin data or none.
TEST_F(SkinTreeViewTest, TheSkinChangeWalkReachesTheTree) {
  auto* sd = new TkxSkinData(owner.get());
  skinlint::LoadGeneratedSkin(6, *sd);
  tv->SetSkinDataName("treeview");
  tv->SetDefaultColor(clYellow);
  TkxVelara::ChangeControlsSkinData(sd, form);
  EXPECT_EQ(tv->SkinIndex(), -1) << "no skin data of its own";
  EXPECT_EQ(tv->Color(), clYellow);
  tv->SetSkinData(sd);
  ASSERT_NE(tv->SkinIndex(), -1);
  sd->ClearSkin();
  TkxVelara::ChangeControlsSkinData(sd, form);
  EXPECT_EQ(tv->SkinIndex(), -1);
  EXPECT_EQ(tv->Color(), clYellow);
}

TEST_F(SkinTreeViewTest, ReadFromAFormDescription) {
  RegisterSkinControlFormClasses();
  auto* f = new TForm(owner.get());
  ReadFormDescription(f, R"(object F: TForm
  object dirs: TkxSkinTreeView
    SkinDataName = 'mytree'
    DefaultColor = clInfoBk
    UseSkinFont = False
    VScrollBar = vb
    HScrollBar = hb
  end
  object vb: TkxSkinScrollBar
    Kind = sbVertical
  end
  object hb: TkxSkinScrollBar
  end
end
)", "dirs.dfm");
  auto* t = dynamic_cast<TkxSkinTreeView*>(f->FindComponent("dirs"));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->SkinDataName(), "mytree");
  EXPECT_EQ(t->Color(), clInfoBk);
  EXPECT_FALSE(t->UseSkinFont());
  EXPECT_EQ(t->VScrollBar(), f->FindComponent("vb"));
  EXPECT_EQ(t->HScrollBar(), f->FindComponent("hb"));
  EXPECT_FALSE(t->VScrollBar()->Visible());
}

}  // namespace
