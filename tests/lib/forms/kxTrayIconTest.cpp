// The tray icon against the headless tray recorder: the mouse sequences of the icon on the
// stepped clock, the popup menu's default item, the tray starting afresh, texts cut to the
// shell's fields, the switch that ignores the mouse, the image list, and the skinned form going
// to the tray and back.
#include <gtest/gtest.h>

#include "classlib/Menus.h"
#include "classlib/graphics/ImageList.h"
#include "lib/forms/kxSkinMenus.h"
#include "lib/forms/kxTrayIcon.h"
#include "lib/forms/kxVelara.h"
#include "platform/backend/headless/ShellRecorder.h"
#include "tests/classlib/ControlTestFixture.h"

namespace {

using namespace win;

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

class TrayIconTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    headless::ResetShellRecorder();
  }
  void TearDown() override {
    if (Application->MainForm() && Application->MainForm()->Owner() == owner.get()) Application->SetMainForm(nullptr);
    ControlTest::TearDown();
    headless::ResetShellRecorder();
  }
  // An icon that logs its events.
  TkxTrayIcon* NewIcon(TComponent* Owner = nullptr) {
    auto* t = new TkxTrayIcon(Owner ? Owner : owner.get());
    t->OnClick = [this](TObject*) { log.push_back("click"); };
    t->OnDblClick = [this](TObject*) { log.push_back("dbl"); };
    auto name = [](TMouseButton b) { return b == mbLeft ? "L" : b == mbRight ? "R" : "M"; };
    t->OnMouseDown = [this, name](TObject*, TMouseButton b, TShiftState, int, int) {
      log.push_back(std::string("down") + name(b));
    };
    t->OnMouseUp = [this, name](TObject*, TMouseButton b, TShiftState, int, int) {
      log.push_back(std::string("up") + name(b));
    };
    t->OnBalloonHintClick = [this](TObject*) { log.push_back("balloon"); };
    return t;
  }
  void Notify(TkxTrayIcon* t, UINT mouse) {
    PostMessage(t->Handle(), KXM_TRAYICONNOTIFY, 1, LPARAM(mouse));
    Pump();
  }
  void Wait(uint32_t ms) {
    clock.Advance(ms);
    Pump();
  }
  std::vector<std::string> log;
};

// One step of a script: a notification of the icon, or a wait on the clock (mouse 0).
struct Step {
  UINT mouse;
  uint32_t waitMs;
};

TEST_F(TrayIconTest, MouseSequencesOfTheIconGiveTheirEvents) {
  const uint32_t dbl = GetDoubleClickTime();
  const uint32_t past = dbl + 10;
  struct Case {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> before;  // the log after the steps
    std::vector<std::string> after;   // and once the double-click time has surely passed
  };
  const Case cases[] = {
      {"a click fires OnClick once the double-click time has passed",
       {{WM_LBUTTONDOWN, 0}, {WM_LBUTTONUP, 0}},
       {"downL", "upL"},
       {"downL", "upL", "click"}},
      {"a press held past the double-click time clicks at button up",
       {{WM_LBUTTONDOWN, 0}, {0, past}, {WM_LBUTTONUP, 0}},
       {"downL", "click", "upL"},
       {"downL", "click", "upL"}},
      {"a double click: one press, its ups and OnDblClick, no OnClick",
       {{WM_LBUTTONDOWN, 0}, {WM_LBUTTONUP, 0}, {WM_LBUTTONDBLCLK, 0}, {WM_LBUTTONUP, 0}},
       {"downL", "upL", "dbl", "upL"},
       {"downL", "upL", "dbl", "upL"}},
      {"two clicks further apart than the double-click time are two clicks",
       {{WM_LBUTTONDOWN, 0}, {WM_LBUTTONUP, 0}, {0, past}, {WM_LBUTTONDOWN, 0}, {WM_LBUTTONUP, 0}},
       {"downL", "upL", "click", "downL", "upL"},
       {"downL", "upL", "click", "downL", "upL", "click"}},
      {"the right and middle buttons give downs and ups only",
       {{WM_RBUTTONDOWN, 0}, {WM_RBUTTONUP, 0}, {WM_RBUTTONDBLCLK, 0}, {WM_MBUTTONDOWN, 0}, {WM_MBUTTONUP, 0}},
       {"downR", "upR", "downM", "upM"},
       {"downR", "upR", "downM", "upM"}},
      {"a balloon click", {{NIN_BALLOONUSERCLICK, 0}}, {"balloon"}, {"balloon"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.clear();
    TkxTrayIcon* t = NewIcon();
    for (const Step& s : c.steps) {
      if (s.mouse) Notify(t, s.mouse);
      else Wait(s.waitMs);
    }
    EXPECT_EQ(log, c.before);
    Wait(past);
    EXPECT_EQ(log, c.after);
    delete t;
  }
}

TEST_F(TrayIconTest, EnabledOffIgnoresEveryMouseNotification) {
  TkxTrayIcon* t = NewIcon();
  t->Enabled = false;
  for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                 WM_MBUTTONDOWN, WM_MBUTTONUP, NIN_BALLOONUSERCLICK})
    Notify(t, m);
  Wait(GetDoubleClickTime() + 10);
  EXPECT_TRUE(log.empty());
}

TEST_F(TrayIconTest, ADoubleClickRunsTheMenusDefaultItemWhenTheMenuPopsByTheRightButton) {
  for (bool byLeft : {false, true}) {
    SCOPED_TRACE(byLeft);
    auto* menu = new TkxSkinPopupMenu(owner.get());
    int plain = 0, def = 0;
    auto* a = new TMenuItem(menu);
    a->OnClick = [&](TObject*) { ++plain; };
    auto* b = new TMenuItem(menu);
    b->SetDefault(true);
    b->OnClick = [&](TObject*) { ++def; };
    menu->Items()->Add(a);
    menu->Items()->Add(b);
    TkxTrayIcon* t = NewIcon();
    t->SetPopupMenu(menu);
    t->PopupByLeftButton = byLeft;
    Notify(t, WM_LBUTTONDBLCLK);
    EXPECT_EQ(def, byLeft ? 0 : 1);
    EXPECT_EQ(plain, 0);
    delete menu;
    EXPECT_EQ(t->PopupMenu(), nullptr) << "let go of when freed";
    Notify(t, WM_LBUTTONDBLCLK);  // no menu any more
    delete t;
  }
}

TEST_F(TrayIconTest, TheTrayStartingAfreshGetsAVisibleIconBackAndNoHiddenOne) {
  TkxTrayIcon* shown = NewIcon();
  TkxTrayIcon* hidden = NewIcon();
  hidden->SetIconVisible(false);
  Pump();
  headless::ResetShellRecorder();
  headless::BroadcastTaskbarCreated();
  Pump();
  const auto calls = headless::TrayCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].message, NIM_ADD);
  EXPECT_EQ(calls[0].data.hWnd, shown->Handle());
  EXPECT_EQ(calls[0].data.uCallbackMessage, KXM_TRAYICONNOTIFY);
  EXPECT_EQ(calls[0].data.uID, 1u);
}

// The shell's fields hold 127, 255 and 63 characters: longer texts are cut at code points,
// whatever their length in bytes.
TEST_F(TrayIconTest, TipBalloonTextAndTitleAreCutAtCodePoints) {
  struct Case {
    std::string unit;  // one character
    int count;
  };
  const Case cases[] = {{"a", 300}, {"转", 300}, {"😀", 300}, {"é", 100}};
  TkxTrayIcon* t = NewIcon();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.unit);
    const std::string text = Repeat(c.unit, c.count);
    headless::ResetShellRecorder();
    t->SetHint(text);
    ASSERT_FALSE(headless::TrayCalls().empty());
    EXPECT_EQ(headless::TrayCalls().back().data.szTip, Repeat(c.unit, std::min(c.count, 127)));
    headless::ResetShellRecorder();
    EXPECT_TRUE(t->ShowBalloonHint(text, text, kxbitWarning));
    const auto calls = headless::TrayCalls();
    ASSERT_EQ(calls.size(), 2u) << "the old balloon goes first";
    EXPECT_TRUE(calls[0].data.uFlags & NIF_INFO);
    EXPECT_EQ(calls[0].data.szInfo, "");
    EXPECT_EQ(calls[1].data.szInfo, Repeat(c.unit, std::min(c.count, 255)));
    EXPECT_EQ(calls[1].data.szInfoTitle, Repeat(c.unit, std::min(c.count, 63)));
    EXPECT_EQ(calls[1].data.dwInfoFlags, NIIF_WARNING);
    EXPECT_EQ(t->IconData.uFlags, NIF_MESSAGE | NIF_ICON | NIF_TIP);
  }
  t->SetShowHint(false);
  EXPECT_EQ(headless::TrayCalls().back().data.szTip, "");
  headless::SetTrayAvailable(false);
  EXPECT_FALSE(t->ShowBalloonHint("t", "x", kxbitInfo)) << "no tray: the failure is reported";
}

TEST_F(TrayIconTest, TheImageListGivesTheIconAndAnEmptyListKeepsIndexZero) {
  TkxTrayIcon* t = NewIcon();
  auto* list = new TCustomImageList(owner.get());
  t->SetIconList(list);
  t->SetIconIndex(3);
  EXPECT_EQ(t->IconIndex(), 0);
  t->SetAnimateTimerInterval(100);
  t->SetCycleIcons(true);
  Wait(150);  // a tick over an empty list changes nothing
  EXPECT_EQ(t->IconIndex(), 0);

  TBitmap bmp;
  bmp.SetWidth(48);
  bmp.SetHeight(16);
  EXPECT_EQ(list->Add(&bmp, nullptr), 0);
  ASSERT_EQ(list->Count(), 3);
  t->SetIconIndex(7);
  EXPECT_EQ(t->IconIndex(), 2) << "lowered to the last picture";
  EXPECT_FALSE(t->Icon()->Empty());
  std::vector<int> next;
  t->OnCycle = [&](TObject*, int32_t n) { next.push_back(n); };
  t->SetIconIndex(0);
  for (int i = 0; i < 4; ++i) Wait(100);
  EXPECT_EQ(next, (std::vector<int>{1, 2, 0, 1}));
  delete list;
  EXPECT_EQ(t->IconList(), nullptr);
  Wait(100);
}

TEST_F(TrayIconTest, TheSkinnedFormGoesToTheTrayAndComesBack) {
  for (bool alwaysShow : {false, true}) {
    SCOPED_TRACE(alwaysShow);
    auto* f = new TForm(owner.get());
    f->SetBounds(50, 50, 300, 200);
    auto* v = new TkxVelara(f);
    auto* t = NewIcon(f);
    t->OnDblClick = nullptr;  // the form supplies its own
    Application->SetMainForm(f);
    v->AlwaysShowInTray = alwaysShow;
    v->SetTrayIcon(t);
    EXPECT_EQ(t->IconVisible(), alwaysShow);
    EXPECT_FALSE(t->MinimizeToTray);
    int toTray = 0, back = 0;
    v->OnMinimizeToTray = [&](TObject*) { ++toTray; };
    v->OnRestoreFromTray = [&](TObject*) { ++back; };
    f->Show();
    Pump();
    headless::ResetShellRecorder();

    v->MinimizeToTray();
    Pump();
    EXPECT_EQ(toTray, 1);
    EXPECT_FALSE(f->Visible());
    EXPECT_FALSE(IsWindowVisible(f->Handle()));
    EXPECT_TRUE(t->IconVisible());
    EXPECT_EQ(f->Tag(), -10000);
    ASSERT_FALSE(headless::TrayCalls().empty());
    EXPECT_EQ(headless::TrayCalls().back().message, NIM_ADD);

    // A double click on the icon brings the form back.
    Notify(t, WM_LBUTTONDOWN);
    Notify(t, WM_LBUTTONUP);
    Notify(t, WM_LBUTTONDBLCLK);
    Notify(t, WM_LBUTTONUP);
    Pump();
    EXPECT_EQ(back, 1);
    EXPECT_TRUE(f->Visible());
    EXPECT_TRUE(IsWindowVisible(f->Handle()));
    EXPECT_NE(f->WindowState(), wsMinimized);
    EXPECT_EQ(t->IconVisible(), alwaysShow);
    EXPECT_EQ(headless::TrayCalls().back().message, alwaysShow ? NIM_ADD : NIM_DELETE);
    Application->SetMainForm(nullptr);
    delete f;
  }
}

TEST_F(TrayIconTest, WithoutATrayIconTheFormDoesNotGoToTheTray) {
  auto* f = new TForm(owner.get());
  auto* v = new TkxVelara(f);
  int calls = 0;
  v->OnMinimizeToTray = [&](TObject*) { ++calls; };
  v->OnRestoreFromTray = [&](TObject*) { ++calls; };
  v->MinimizeToTray();
  v->RestoreFromTray();
  EXPECT_EQ(calls, 0);
  auto* t = NewIcon(f);
  v->SetTrayIcon(t);
  delete t;
  EXPECT_EQ(v->TrayIcon(), nullptr) << "let go of when freed";
}

}  // namespace
