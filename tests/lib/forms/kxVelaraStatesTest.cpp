// The skinned form's hit tests (default frame and skin), size limits, emulated window states,
// roll-up, docking of minimized forms and the snapping to the work area's edges.
#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "tests/lib/forms/FrameTestFixture.h"

namespace {

using namespace win;
using frametest::FrameTest;
constexpr int32_t kObject = ::HTOBJECT;

struct HitCase {
  TPoint P;
  int32_t Code;
};

void ExpectHits(const char* What, const std::vector<HitCase>& Cases, const std::function<int32_t(TPoint)>& Test) {
  for (const HitCase& c : Cases)
    EXPECT_EQ(Test(c.P), c.Code) << What << " at (" << c.P.x << ", " << c.P.y << ")";
}

// ---- hit tests ---------------------------------------------------------------------------------

TEST_F(FrameTest, DefaultHitTestAnswersBordersCaptionClientAndTheDeadRowsUnderTheCaption) {
  TkxVelara* v = NewSkinForm(bsSizeable, 50, 50, 200, 100);
  auto hit = [&](TPoint p) { return v->DefaultHitTest(p); };
  // The caption rect is (3, 3, W - 3, 19) while the bar reaches row 21: rows 19 to 21 answer
  // as frame objects, the client starts at row 22.
  ExpectHits("sizeable", {{{2, 2}, HTTOPLEFT},      {{0, 0}, HTTOPLEFT},      {{3, 3}, HTCAPTION},
                          {{198, 1}, HTTOPRIGHT},   {{1, 98}, HTBOTTOMLEFT},  {{199, 99}, HTBOTTOMRIGHT},
                          {{1, 50}, HTLEFT},        {{100, 2}, HTTOP},        {{198, 50}, HTRIGHT},
                          {{100, 98}, HTBOTTOM},    {{100, 18}, HTCAPTION},   {{100, 19}, kObject},
                          {{100, 20}, kObject},    {{100, 21}, kObject},    {{100, 22}, HTCLIENT},
                          {{196, 96}, HTCLIENT},    {{197, 50}, kObject}},
             hit);

  // A system-menu button at the caption's left end: (3, 3) is the button's.
  AddButton(v, cmSysMenu);
  ExpectHits("with a system-menu button", {{{3, 3}, kObject}, {{19, 10}, kObject}, {{20, 10}, HTCAPTION}}, hit);
  frametest::FrameTest::DropObjects(v);

  v->ActiveObject = 0;  // a hot object takes everything in a sizeable normal form
  ExpectHits("hot object", {{{100, 50}, kObject}, {{2, 2}, kObject}}, hit);
  v->ActiveObject = -1;

  TkxVelara* single = NewSkinForm(bsSingle, 50, 50, 200, 100);
  ExpectHits("not sizeable", {{{2, 2}, kObject}, {{10, 10}, HTCAPTION}, {{100, 50}, HTCLIENT}},
             [&](TPoint p) { return single->DefaultHitTest(p); });

  TkxVelara* tool = NewSkinForm(bsSizeToolWin, 50, 50, 200, 100);
  ExpectHits("tool window", {{{100, 14}, HTCAPTION}, {{100, 15}, kObject}, {{100, 17}, kObject},
                             {{100, 18}, HTCLIENT}, {{2, 2}, HTTOPLEFT}},
             [&](TPoint p) { return tool->DefaultHitTest(p); });

  v->SetRollUpState(true);  // rolled up: no sizing codes
  ExpectHits("rolled up", {{{2, 2}, kObject}, {{100, 10}, HTCAPTION}}, hit);
}

TEST_F(FrameTest, SkinHitTestUsesTheMappedHitPointsTheSizingBorderAndTheCaptionObject) {
  TkxSkinData sd(nullptr);
  frametest::MakeFrameSkin(sd);
  TkxVelara* v = NewSkinForm(bsSizeable, 50, 50, 200, 120);  // dx 100, dy 60
  v->SetSkinData(&sd);
  frametest::FrameTest::DropObjects(v);
  v->FSkinSupport = true;
  Fit(v);
  v->CalcSkinRects();
  AddCaption(v, TRect{10, 5, 80, 20});  // from the left top corner to the right top one: stretched
  v->CalcObjectRects();
  ASSERT_EQ(v->ObjectList[0]->ObjectRect, (TRect{10, 5, 180, 20}));
  auto hit = [&](TPoint p) { return v->SkinHitTest(p); };
  ExpectHits("normal", {{{1, 1}, HTTOPLEFT},     {{3, 3}, HTTOPLEFT},   {{11, 2}, HTTOP},
                        {{198, 1}, HTTOPRIGHT},  {{1, 118}, HTBOTTOMLEFT}, {{198, 118}, HTBOTTOMRIGHT},
                        {{100, 2}, HTTOP},       {{100, 118}, HTBOTTOM},   {{1, 60}, HTLEFT},
                        {{198, 60}, HTRIGHT},    {{100, 12}, HTCAPTION},   {{100, 60}, HTCLIENT},
                        {{190, 12}, kObject},   {{5, 25}, HTCLIENT}},
             hit);

  v->ActiveObject = 0;  // a hot object outside caption and client
  ExpectHits("hot object", {{{190, 12}, kObject}, {{100, 12}, HTCAPTION}, {{1, 60}, kObject}}, hit);
  v->FSizeMove = true;  // not while the move or size loop runs
  ExpectHits("hot object in a size loop", {{{1, 60}, HTLEFT}}, hit);
  v->FSizeMove = false;
  v->ActiveObject = -1;

  v->FWindowState = wsMaximized;
  ExpectHits("maximized", {{{1, 1}, kObject}, {{100, 12}, HTCAPTION}, {{100, 60}, HTCLIENT}}, hit);
  v->FWindowState = wsNormal;
  v->FRollUpState = true;
  ExpectHits("rolled up", {{{100, 12}, HTCAPTION}, {{100, 60}, kObject}, {{1, 1}, kObject}}, hit);
  v->FRollUpState = false;
  v->SetSkinData(nullptr);
}

// ---- limits ------------------------------------------------------------------------------------

TEST_F(FrameTest, LimitsWithoutAndWithASkin) {
  TkxVelara* v = NewSkinForm(bsSizeable);
  TkxVelara* tool = NewSkinForm(bsToolWindow);
  EXPECT_EQ(v->GetMinWidth(), 120);
  EXPECT_EQ(v->GetMinHeight(), 25);  // caption 19 + 6
  EXPECT_EQ(tool->GetMinHeight(), 21);
  v->MinWidth = 150;
  v->MinHeight = 40;
  EXPECT_EQ(v->GetMinWidth(), 150);
  EXPECT_EQ(v->GetMinHeight(), 40);
  v->FRollUpState = true;  // a rolled-up form is the frame's height
  EXPECT_EQ(v->GetMinHeight(), 25);
  v->FRollUpState = false;
  // The work area (1024 x 728) unless a maximum is set; the whole monitor on full screen.
  EXPECT_EQ(v->GetMaxWidth(), 1024);
  EXPECT_EQ(v->GetMaxHeight(), 728);
  v->MaximizeOnFullScreen = true;
  EXPECT_EQ(v->GetMaxHeight(), 768);
  v->MaxHeight = 500;
  EXPECT_EQ(v->GetMaxHeight(), 500);

  TkxSkinData sd(nullptr);
  frametest::MakeFrameSkin(sd);  // 100 x 60, client 30 high
  v->SetSkinData(&sd);
  v->FSkinSupport = true;
  struct Case {
    int32_t MinWidth, FormMinWidth;
    TWindowState State;
    int32_t Expected;
  };
  const Case cases[] = {
      {150, 0, wsNormal, 150},   {150, 0, wsMinimized, 100}, {150, 80, wsMinimized, 80}, {50, 80, wsNormal, 80},
      {90, 80, wsNormal, 90},    {0, 0, wsNormal, 100},      {90, 0, wsNormal, 100},
  };
  for (const Case& c : cases) {
    v->MinWidth = c.MinWidth;
    sd.FormMinWidth = c.FormMinWidth;
    v->FWindowState = c.State;
    EXPECT_EQ(v->GetMinWidth(), c.Expected) << c.MinWidth << " " << c.FormMinWidth << " " << int(c.State);
  }
  v->FWindowState = wsNormal;
  v->MinHeight = 0;
  EXPECT_EQ(v->GetMinHeight(), 30);  // picture 60 less the client's 30
  v->SetSkinData(nullptr);
}

// ---- states ------------------------------------------------------------------------------------

TEST_F(FrameTest, MaximizeFillsTheWorkAreaOnePixelInsideWhenItIsTheWholeScreenAndRestoreReturns) {
  struct Case {
    RECT Work;
    bool FullScreen;
    TRect Expected;
  };
  const Case cases[] = {
      {RECT{0, 0, 1024, 768}, false, TRect{1, 1, 1023, 767}},  // work area = screen: one pixel inside
      {RECT{0, 0, 1024, 728}, false, TRect{0, 0, 1024, 728}},  // a task bar: the work area exactly
      {RECT{0, 40, 1024, 768}, false, TRect{0, 40, 1024, 768}},
      {RECT{0, 0, 1024, 728}, true, TRect{0, 0, 1024, 768}},   // full screen: the whole monitor
  };
  for (const Case& c : cases) {
    headless::SetMonitors({backend::MonitorDesc{RECT{0, 0, 1024, 768}, c.Work, true}});
    TkxVelara* v = NewSkinForm(bsSizeable, 50, 60, 200, 100);
    v->MaximizeOnFullScreen = c.FullScreen;
    int maximized = 0, restored = 0;
    v->OnMaximize = [&](TObject*) { ++maximized; };
    v->OnRestore = [&](TObject*) { ++restored; };
    v->SetWindowState(wsMaximized);
    EXPECT_EQ(v->WindowState(), wsMaximized);
    EXPECT_EQ(v->Form()->BoundsRect(), c.Expected);
    EXPECT_EQ(v->OldBoundsRect, (TRect{50, 60, 250, 160}));
    v->SetWindowState(wsMaximized);  // unchanged: nothing
    EXPECT_EQ(maximized, 1);
    v->SetWindowState(wsNormal);
    EXPECT_EQ(v->WindowState(), wsNormal);
    EXPECT_EQ(v->Form()->BoundsRect(), (TRect{50, 60, 250, 160}));
    EXPECT_TRUE(IsRectEmpty(&v->OldBoundsRect));
    EXPECT_EQ(restored, 1);
  }
}

TEST_F(FrameTest, TheMainFormMinimizesThroughTheApplicationAndKeepsItsState) {
  TkxVelara* v = NewSkinForm(bsSizeable, 50, 60, 200, 100);
  TCustomForm* oldMain = Application->MainForm();
  Application->SetMainForm(v->Form());
  int appMinimized = 0, minimized = 0;
  TNotifyEvent oldHandler = Application->OnMinimize;
  Application->OnMinimize = [&](TObject*) { ++appMinimized; };
  v->OnMinimize = [&](TObject*) { ++minimized; };
  v->SetWindowState(wsMinimized);
  Application->OnMinimize = oldHandler;
  Application->SetMainForm(oldMain);
  EXPECT_EQ(appMinimized, 1);
  EXPECT_EQ(minimized, 1);
  EXPECT_EQ(v->WindowState(), wsNormal);
  EXPECT_EQ(v->Form()->BoundsRect(), (TRect{50, 60, 250, 160}));
}

TEST_F(FrameTest, NotSkinnableTheFormsOwnStateIsSet) {
  TkxVelara* v = NewSkinForm(bsSizeable, 50, 60, 200, 100);
  v->FSkinnableForm = false;
  v->SetWindowState(wsMaximized);
  EXPECT_EQ(v->Form()->WindowState(), wsMaximized);
  EXPECT_EQ(v->WindowState(), wsNormal);
  v->FSkinnableForm = true;
}

TEST_F(FrameTest, RollUpShowsTheFrameOnlyAndComesBackToTheHeightOrTheClientHeight) {
  TkxVelara* v = NewSkinForm(bsSizeable, 50, 60, 200, 150);
  int changes = 0;
  v->OnChangeRollUpState = [&](TObject*) { ++changes; };
  v->SetRollUpState(true);
  EXPECT_TRUE(v->RollUpState());
  EXPECT_EQ(v->Form()->Height(), 25);
  v->SetRollUpState(true);  // again: the height to come back to stays
  v->SetRollUpState(false);
  EXPECT_FALSE(v->RollUpState());
  EXPECT_EQ(v->Form()->Height(), 150);
  EXPECT_EQ(changes, 2);

  // With a client height set, unrolling gives the form that client height (a form without a
  // border: its client is the whole window).
  TkxVelara* plain = NewSkinForm(bsNone, 50, 60, 200, 150);
  plain->ClientHeight = 50;
  plain->SetRollUpState(true);
  EXPECT_EQ(plain->Form()->Height(), 25);
  plain->SetRollUpState(false);
  EXPECT_EQ(plain->Form()->ClientHeight(), 50);

  // Without the roll-up icon, or minimized: nothing.
  v->SetBorderIcons(TkxBorderIcons{TkxBorderIcon::biSystemMenu});
  const int32_t h = v->Form()->Height();
  v->SetRollUpState(true);
  EXPECT_FALSE(v->RollUpState());
  EXPECT_EQ(v->Form()->Height(), h);
}

TEST_F(FrameTest, RolledUpBeforeMaximizingStaysRolledUpAfterRestoreAndOtherwiseUnrolls) {
  TkxVelara* v = NewSkinForm(bsSizeable, 50, 60, 200, 150);
  v->SetRollUpState(true);
  v->SetWindowState(wsMaximized);
  v->SetWindowState(wsNormal);
  EXPECT_TRUE(v->RollUpState());
  EXPECT_EQ(v->Form()->BoundsRect(), (TRect{50, 60, 250, 85}));
  v->SetRollUpState(false);
  EXPECT_EQ(v->Form()->Height(), 150);

  // Rolled up while maximized: restoring unrolls.
  v->SetWindowState(wsMaximized);
  v->SetRollUpState(true);
  EXPECT_TRUE(v->MaxRollUpState);
  v->SetWindowState(wsNormal);
  EXPECT_FALSE(v->RollUpState());
  EXPECT_EQ(v->Form()->BoundsRect(), (TRect{50, 60, 250, 210}));
}

// ---- position and snapping ---------------------------------------------------------------------

TEST_F(FrameTest, PositionInMonitorCentresOnTheWorkAreaOrTheScreen) {
  TkxVelara* v = NewSkinForm(bsSizeable, 50, 60, 200, 100);
  EXPECT_EQ(v->GetPositionInMonitor(7, 9, 200, 100), (TPoint{7, 9}));
  v->PositionInMonitor = kxpDesktopCenter;
  EXPECT_EQ(v->GetPositionInMonitor(7, 9, 200, 100), (TPoint{412, 314}));
  v->PositionInMonitor = kxpScreenCenter;
  EXPECT_EQ(v->GetPositionInMonitor(7, 9, 200, 100), (TPoint{412, 334}));
  v->ApplyPositionInMonitor();
  EXPECT_EQ(v->Form()->BoundsRect(), (TRect{412, 334, 612, 434}));
}

TEST_F(FrameTest, SnappingSticksWithinFourPixelsAndLetsGoAfterTheMouseMovedMoreThanFive) {
  TkxVelara* v = NewSkinForm(bsSizeable, 100, 100, 200, 100);
  v->MagneticSize = 5;
  // The move loop proposes the start position plus the mouse's way from where the drag began.
  const int startX = 300, startY = 300, formX = 100, formY = 100;
  auto dragTo = [&](int mx, int my) {
    headless::MoveMouse(mx, my);
    int32_t l = formX + (mx - startX), t = formY + (my - startY);
    v->MagneticSnap(l, t, 200, 100);
    return TPoint{l, t};
  };
  EXPECT_EQ(dragTo(300, 300), (TPoint{100, 100}));
  EXPECT_EQ(dragTo(205, 300), (TPoint{5, 100}));  // 5 from the edge: free
  EXPECT_EQ(dragTo(204, 300), (TPoint{0, 100}));  // 4: sticks
  EXPECT_TRUE(v->HMagnetized);
  for (int mx = 205; mx <= 209; ++mx) EXPECT_EQ(dragTo(mx, 300).x, 0) << "mouse moved " << mx - 204;
  EXPECT_EQ(dragTo(210, 300).x, 6);  // more than 5: it follows the mouse from the edge
  EXPECT_FALSE(v->HMagnetized);
  EXPECT_EQ(dragTo(212, 300).x, 12);

  // The right and the bottom edges of the work area (1024 x 728).
  EXPECT_EQ(dragTo(300 + 722, 300 + 526), (TPoint{824, 628}));  // 2 from the right and the bottom edge
  EXPECT_TRUE(v->HMagnetized2);
  EXPECT_TRUE(v->VMagnetized2);
  EXPECT_EQ(dragTo(300 + 720, 300 + 524), (TPoint{824, 628}));
  EXPECT_EQ(dragTo(300 + 714, 300 + 526), (TPoint{816, 628}));  // 8 from where it stuck: follows
}

}  // namespace
