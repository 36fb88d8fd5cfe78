// The frame-object host: the hot object under the mouse (shape and capture included), the mouse
// poll, morph and animation steps on the stepped clock, the caption buttons' commands and their
// order against the button's own release, the buttons' states from the border icons, custom
// buttons, menus linked by name and the default hints.
#include <gtest/gtest.h>

#include "classlib/Menus.h"
#include "lib/forms/kxSkinMenus.h"
#include "tests/lib/forms/FrameObjectsFixture.h"

namespace {

using namespace formtest;
using namespace win;

class VelaraObjectsTest : public FrameObjectTest {};

TEST_F(VelaraObjectsTest, TheHotObjectIsTheFirstShownEnabledObjectWhoseShapeHoldsThePoint) {
  ASSERT_TRUE(vlr->GetFormActive());
  As<TkxSkinStdButtonObject>("minbutton")->Enabled = false;
  struct Case {
    TPoint P;
    bool InFrame;
    const char* Hot;
  } cases[] = {
      {Centre("closebutton"), true, "closebutton"},
      {Centre("closebutton"), false, "none"},
      {Centre("roundbutton"), true, "roundbutton"},
      {TPoint{kRoundAt.left, kRoundAt.top}, true, "none"},  // outside the round mask
      {TPoint{kCloseAt.right, kCloseAt.top}, true, "none"},  // right edge is outside
      {Centre("minbutton"), true, "none"},                   // disabled
      {TPoint{100, 60}, true, "none"},                       // client area
  };
  for (const Case& c : cases) {
    vlr->UpdateActiveObject(-1, -1, false);
    vlr->UpdateActiveObject(c.P.x, c.P.y, c.InFrame);
    EXPECT_EQ(HotName(), c.Hot) << c.P.x << "," << c.P.y << " in frame " << c.InFrame;
  }
}

TEST_F(VelaraObjectsTest, AHotButtonDropsAtTheNextMouseTickAfterTheMouseLeavesTheForm) {
  LogEvents();
  Hover("closebutton");
  ASSERT_EQ(HotName(), "closebutton");
  vlr->EnableMouseTimer();
  Step(50);  // still over the button: stays hot
  EXPECT_TRUE(Obj("closebutton")->Active);
  headless::MoveMouse(form->Left() + form->Width() + 50, form->Top() + 10);
  Pump();
  Step(49);
  EXPECT_TRUE(Obj("closebutton")->Active);
  Step(1);
  EXPECT_FALSE(Obj("closebutton")->Active);
  EXPECT_EQ(HotName(), "none");
  EXPECT_FALSE(vlr->MouseTimer->Enabled());
  EXPECT_EQ(std::count(events.begin(), events.end(), "leave:closebutton"), 1);
}

TEST_F(VelaraObjectsTest, AMorphEndsInExactlyFiveTicksBothWaysAndReversesFromWhereItIs) {
  auto* close = Obj("closebutton");
  ASSERT_TRUE(close->EnableMorphing());
  Hover("closebutton");
  for (int tick = 1; tick <= 5; ++tick) {
    Step(25);
    EXPECT_EQ(close->MorphKf(), tick / 5.0) << "tick " << tick;
  }
  EXPECT_EQ(close->MorphKf(), 1.0);
  Step(25);  // nothing left to do: the timer stops
  EXPECT_FALSE(vlr->MorphTimer->Enabled());

  // The pointer leaves too: the form's mouse poll would find the object again.
  win::headless::MoveMouse(0, 0);
  vlr->UpdateActiveObject(-1, -1, true);
  ASSERT_FALSE(close->Active);
  for (int tick = 1; tick <= 5; ++tick) {
    Step(25);
    EXPECT_EQ(close->MorphKf(), (5 - tick) / 5.0) << "tick " << tick;
  }
  EXPECT_EQ(close->MorphKf(), 0.0);
  Step(25);
  EXPECT_FALSE(vlr->MorphTimer->Enabled());

  // Two steps in, the mouse leaves: two steps back.
  Hover("closebutton");
  Step(25);
  Step(25);
  // The pointer leaves too: the form's mouse poll would find the object again.
  win::headless::MoveMouse(0, 0);
  vlr->UpdateActiveObject(-1, -1, true);
  Step(25);
  EXPECT_EQ(close->MorphKf(), 0.2);
  Step(25);
  EXPECT_EQ(close->MorphKf(), 0.0);
}

TEST_F(VelaraObjectsTest, CloseRunsAfterTheButtonsOwnReleaseEveryOtherCommandBefore) {
  // The close button comes up (its release event) before the form closes; the others run first,
  // and their hit-test reset takes the mouse off the button, so no release event follows. The
  // roll-up command does not reset the hit test.
  struct Case {
    const char* Name;
    std::vector<std::string> Events;
  } cases[] = {
      {"closebutton", {"enter:closebutton", "up:closebutton", "leave:closebutton", "close"}},
      {"maxbutton", {"enter:maxbutton", "leave:maxbutton"}},
      {"minbutton", {"enter:minbutton", "leave:minbutton"}},
      {"rollupbutton", {"enter:rollupbutton", "up:rollupbutton"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    form->Show();
    Pump();
    RebuildObjects();
    LogEvents();
    events.clear();
    Hover(c.Name);
    const TPoint P = Centre(c.Name);
    vlr->ObjectsMouseDown(mbLeft, P.x, P.y);
    EXPECT_EQ(GetCapture(), form->Handle());
    EXPECT_TRUE(As<TkxSkinButtonObject>(c.Name)->Down());
    vlr->ObjectsMouseUp(mbLeft, P.x, P.y);
    EXPECT_EQ(events, c.Events);
    EXPECT_FALSE(As<TkxSkinButtonObject>(c.Name)->Down());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(vlr->MouseCaptureObject, -1);
  }
}

TEST_F(VelaraObjectsTest, AReleaseOutsideThePressedButtonRunsNothingAndEndsTheCapture) {
  LogEvents();
  Hover("closebutton");
  const TPoint P = Centre("closebutton");
  vlr->ObjectsMouseDown(mbLeft, P.x, P.y);
  ASSERT_EQ(vlr->MouseCaptureObject, vlr->GetIndex("closebutton"));
  // While pressed, no other object turns hot, and the button loses its hot state off it.
  const TPoint M = Centre("maxbutton");
  vlr->UpdateActiveObject(M.x, M.y, true);
  EXPECT_EQ(HotName(), "none");
  EXPECT_FALSE(Obj("maxbutton")->Active);
  EXPECT_FALSE(Obj("closebutton")->Active);
  events.clear();
  vlr->ObjectsMouseUp(mbLeft, M.x, M.y);
  EXPECT_TRUE(events.empty()) << events.front();
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(vlr->MouseCaptureObject, -1);
  EXPECT_FALSE(As<TkxSkinButtonObject>("closebutton")->Down());
}

TEST_F(VelaraObjectsTest, TheCaptionButtonsFollowTheBorderIconsAndDisableSystemMenu) {
  using BI = TkxBorderIcon;
  struct Case {
    const char* Name;
    bool InPicture;
    TkxBorderIcons Icons;
    bool DisableSystemMenu;
    bool Enabled, Visible;
  } cases[] = {
      {"sysmenubutton", true, {BI::biSystemMenu}, true, false, false},
      {"sysmenubutton", false, {BI::biSystemMenu}, true, false, true},
      {"sysmenubutton", true, {BI::biSystemMenu}, false, true, true},
      {"sysmenubutton", true, {}, false, false, false},
      {"maxbutton", true, {BI::biMinimize}, false, false, false},
      {"maxbutton", false, {BI::biMinimize}, false, false, true},
      {"maxbutton", true, {BI::biMaximize}, false, true, true},
      {"minbutton", true, {BI::biMinimize}, false, true, true},
      {"rollupbutton", true, {BI::biSystemMenu}, false, false, false},
      {"closebutton", true, {}, true, true, true},  // left as it is
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + (c.InPicture ? " in picture" : " in frame"));
    RebuildObjects();
    auto* O = Obj(c.Name);
    O->SkinRectInAPicture = c.InPicture;
    vlr->SetBorderIcons(c.Icons);
    vlr->DisableSystemMenu = c.DisableSystemMenu;
    vlr->UpdateCaptionButtons();
    EXPECT_EQ(O->Enabled, c.Enabled);
    EXPECT_EQ(O->Visible, c.Visible);
  }
  // Hidden caption buttons: all off, those in the frame picture still shown.
  RebuildObjects();
  vlr->HideCaptionButtons = true;
  vlr->UpdateCaptionButtons();
  EXPECT_FALSE(Obj("closebutton")->Enabled);
  EXPECT_FALSE(Obj("closebutton")->Visible);
  EXPECT_FALSE(Obj("sysmenubutton")->Enabled);
  EXPECT_TRUE(Obj("sysmenubutton")->Visible);
  EXPECT_TRUE(Obj("caption")->Visible);
}

TEST_F(VelaraObjectsTest, ACustomButtonStaysHiddenUnlessTheApplicationShowsIt) {
  vlr->UpdateCaptionButtons();
  EXPECT_FALSE(Obj("custombutton")->Visible);
  EXPECT_FALSE(Obj("strip")->Visible);  // a custom strip in button style too

  std::vector<std::string> asked;
  vlr->OnActivateCustomObject = [&](const std::string& Name, bool& ObjectVisible) {
    asked.push_back(Name);
    ObjectVisible = Name == "custombutton";
  };
  vlr->UpdateCaptionButtons();
  EXPECT_TRUE(Obj("custombutton")->Visible);
  EXPECT_FALSE(Obj("strip")->Visible);
  EXPECT_EQ(asked, (std::vector<std::string>{"strip", "custombutton"}));
}

TEST_F(VelaraObjectsTest, LinkMenuAttachesByNameAndAnUnknownNameChangesNothing) {
  TPopupMenu* menu = new TPopupMenu(owner.get());
  auto* item = new TMenuItem(menu);
  item->SetCaption("One");
  menu->Items()->Add(item);

  vlr->LinkMenu("nosuchobject", menu, true);
  for (TkxActiveSkinObject* O : vlr->ObjectList) {
    if (auto* B = dynamic_cast<TkxSkinButtonObject*>(O)) EXPECT_EQ(B->MenuItem, nullptr) << O->IDName;
    if (auto* A = dynamic_cast<TkxSkinAnimateObject*>(O)) EXPECT_EQ(A->MenuItem, nullptr) << O->IDName;
  }

  vlr->LinkMenu("roundbutton", menu, true);
  vlr->LinkMenu("caption", menu, false);  // not a button: nothing
  auto* round = As<TkxSkinButtonObject>("roundbutton");
  EXPECT_EQ(round->MenuItem, menu->Items());
  EXPECT_TRUE(round->FPopupUp);

  // Pressing it drops the menu above its place on the screen and keeps it down until the menu
  // closes.
  TkxSkinMenu* engine = vlr->SkinMenu;
  Hover("roundbutton");
  const TPoint P = Centre("roundbutton");
  vlr->ObjectsMouseDown(mbLeft, P.x, P.y);
  vlr->ObjectsMouseUp(mbLeft, P.x, P.y);
  ASSERT_EQ(engine->FPopupList.size(), 1u);
  TkxSkinPopupWindow* level = engine->FPopupList[0];
  ASSERT_EQ(level->ItemList.size(), 1u);
  EXPECT_EQ(level->ItemList[0]->MenuItem, item);
  RECT r{};
  GetWindowRect(level->Handle(), &r);
  EXPECT_EQ(r.left, form->Left() + kRoundAt.left);
  EXPECT_EQ(r.bottom, form->Top() + kRoundAt.top);
  EXPECT_TRUE(round->Down());
  EXPECT_TRUE(vlr->InMenu);
  // Hiding the menu tells the form, which releases the button.
  engine->Hide();
  EXPECT_FALSE(round->Down());
  EXPECT_FALSE(vlr->InMenu);
}

TEST_F(VelaraObjectsTest, TheCaptionButtonsTakeTheLibrarysHintsAndCustomButtonsKeepTheirs) {
  vlr->UpdateObjectHints();
  struct Case {
    const char* Name;
    const char* Hint;
  } cases[] = {{"closebutton", "Close"},     {"maxbutton", "Maximize"},   {"minbutton", "Minimize"},
               {"sysmenubutton", "System menu"}, {"rollupbutton", "Roll Up"}, {"custombutton", "Custom"}};
  for (const Case& c : cases) EXPECT_EQ(Obj(c.Name)->Hint, c.Hint) << c.Name;
  EXPECT_EQ(As<TkxSkinStdButtonObject>("maxbutton")->RestoreHint, "Restore");

  // In its restore state the maximize button shows the restore hint on hover.
  vlr->FWindowState = wsMaximized;
  Hover("maxbutton");
  EXPECT_EQ(Obj("maxbutton")->Hint, "Restore");
  vlr->UpdateActiveObject(-1, -1, true);
  vlr->FWindowState = wsNormal;
  Hover("maxbutton");
  EXPECT_EQ(Obj("maxbutton")->Hint, "Maximize");
}

TEST_F(VelaraObjectsTest, AStripFrameLastsItsIntervalTakenUpToTheNextMultipleOf25) {
  struct Case {
    int Interval;
    int Period;
  } cases[] = {{60, 75}, {10, 25}, {75, 75}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Interval);
    formtest::Record<TkxDataSkinAnimate>(*sd, "strip")->TimerInterval = c.Interval;
    RebuildObjects();
    auto* strip = As<TkxSkinAnimateObject>("strip");
    Hover("strip");
    ASSERT_TRUE(strip->Active);
    ASSERT_EQ(strip->Frame(), 1);
    int elapsed = 0;
    while (strip->Frame() == 1 && elapsed < 500) {
      Step(25);
      elapsed += 25;
    }
    EXPECT_EQ(strip->Frame(), 2);
    EXPECT_EQ(elapsed, c.Period);
    // Without Cycle the strip holds its last frame, and runs back once the mouse leaves.
    Run(1000);
    EXPECT_EQ(strip->Frame(), 4);
    // The pointer leaves too: the form's mouse poll would find the object again.
    win::headless::MoveMouse(0, 0);
    vlr->UpdateActiveObject(-1, -1, true);
    Run(1000);
    EXPECT_EQ(strip->Frame(), 1);
    EXPECT_FALSE(vlr->AnimateTimer->Enabled());
  }
}

TEST_F(VelaraObjectsTest, TheCaptionFollowsTheFormsActivation) {
  auto* caption = As<TkxSkinCaptionObject>("caption");
  caption->Morphing = true;
  int activated = 0, deactivated = 0;
  vlr->OnActivate = [&](TObject*) { ++activated; };
  vlr->OnDeActivate = [&](TObject*) { ++deactivated; };
  caption->Active = false;
  vlr->UpdateCaptionActive(false);  // no animation: the factor jumps
  EXPECT_TRUE(caption->Active);
  EXPECT_EQ(caption->MorphKf(), 1.0);
  EXPECT_EQ(activated, 1);

  // With animation the caption's strip runs from its first frame and the factor fades.
  caption->Active = false;
  caption->SetMorphKf(0);
  caption->AnimateSkinRect = kCaptionStrip;
  caption->FrameCount = 3;
  caption->AnimateInterval = 50;
  vlr->UpdateCaptionActive(true);
  EXPECT_EQ(caption->CurrentFrame, 1);
  EXPECT_EQ(caption->FIncTime, 25);
  EXPECT_TRUE(vlr->AnimateTimer->Enabled());
  EXPECT_TRUE(vlr->MorphTimer->Enabled());
  Step(25);  // 25 -> 50 ms counted
  EXPECT_EQ(caption->CurrentFrame, 1);
  Step(25);
  EXPECT_EQ(caption->CurrentFrame, 2);
  Run(1000);
  EXPECT_EQ(caption->CurrentFrame, 4);  // past the last frame: the normal active caption
  EXPECT_EQ(caption->MorphKf(), 1.0);
  EXPECT_EQ(activated, 2);
  EXPECT_EQ(deactivated, 0);
}

TEST_F(VelaraObjectsTest, ObjectsByName) {
  EXPECT_EQ(vlr->GetIndex("closebutton"), 8);
  EXPECT_EQ(vlr->GetIndex("CloseButton"), -1);  // exact names only
  vlr->SetEnabled("maxbutton", false);
  EXPECT_FALSE(Obj("maxbutton")->Enabled);
  vlr->SetEnabled("nosuchobject", false);  // nothing
  std::vector<std::string> painted;
  vlr->OnPaintEvent = [&](const std::string& N, TCanvas* C, const TRect& R) {
    painted.push_back(N);
    EXPECT_EQ(C, form->Canvas());
    EXPECT_EQ(R, kUserAt);
  };
  vlr->UserObjectDraw("userarea");
  vlr->UserObjectDraw("closebutton");  // not a user object
  EXPECT_EQ(painted, std::vector<std::string>{"userarea"});
}

}  // namespace
