// Skinned popup menus on the headless backend: the sub-menu delay on the stepped clock, the order
// in which the popping control and the form hear of a command, Escape and the close event, the
// placement of a level, the keys of a level, a popup while another is open, levels freed only
// after their handler, and an item record without a usable picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "classlib/Menus.h"
#include "classlib/Streaming.h"
#include "lib/forms/kxSkinMenus.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinRecords.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace ctltest;

constexpr TRect kWork{0, 0, 1000, 700};

class SkinMenusTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    InitializeUtilsUnit();
    headless::SetMonitors({{{0, 0, 1000, 740}, {kWork.left, kWork.top, kWork.right, kWork.bottom}, true}});
    form = NewForm(100, 100, 400, 300);
    velara = new TkxVelara(form);
    engine = velara->SkinMenu;
    ctrl = Make<WinProbe>(form, "ctrl", 10, 10, 50, 20);
    other = Make<WinProbe>(form, "other", 70, 10, 50, 20);
    // The form's menu state: entered and left.
    velara->OnSkinMenuOpen = [this](TObject*) { ++menuOpens; };
    velara->OnSkinMenuClose = [this](TObject*) { ++menuCloses; };
    menu = new TkxSkinPopupMenu(form);
    form->Show();
    Pump();
  }

  TMenuItem* Add(TMenuItem* Parent, const std::string& Caption, std::function<void()> OnClick = nullptr) {
    auto* i = new TMenuItem(form);
    i->SetCaption(Caption);
    if (OnClick) i->OnClick = [OnClick](TObject*) { OnClick(); };
    Parent->Add(i);
    return i;
  }
  void Wait(int ms) {
    for (int i = 0; i < ms; ++i) {
      clock.Advance(1);
      Pump();
    }
  }
  size_t Levels() const { return engine->FPopupList.size(); }
  TkxSkinPopupWindow* Level(size_t I) const { return engine->FPopupList.at(I); }
  RECT WindowRect(TkxSkinPopupWindow* W) {
    RECT r{};
    GetWindowRect(W->Handle(), &r);
    return r;
  }
  // A screen point inside item I of level L.
  TPoint ItemPoint(size_t L, int I) {
    TkxSkinPopupWindow* w = Level(L);
    RECT r = WindowRect(w);
    const TRect& o = w->ItemList.at(size_t(I))->ObjectRect;
    return TPoint{r.left + o.left + 10, r.top + (o.top + o.bottom) / 2};
  }
  void Hover(size_t L, int I) {
    TPoint p = ItemPoint(L, I);
    headless::MoveMouse(p.x, p.y);
    Pump();
  }
  void ClickItem(size_t L, int I) {
    TPoint p = ItemPoint(L, I);
    headless::Click(p.x, p.y);
    Pump();
  }
  // The private messages of the menus that the control and the form heard, in order.
  std::vector<std::string> MenuMessages() {
    std::vector<std::string> out;
    for (const auto& e : headless::SpyLogAll()) {
      if (e.msg != KXM_MENUCLOSED && e.msg != KXM_MENUCOMMAND) continue;
      std::string who = e.hwnd == form->Handle() ? "form" : e.hwnd == ctrl->Handle() ? "ctrl" : "other";
      out.push_back(who + (e.msg == KXM_MENUCLOSED ? ":closed" : ":command"));
    }
    return out;
  }

  TForm* form = nullptr;
  TkxVelara* velara = nullptr;
  TkxSkinMenu* engine = nullptr;
  WinProbe *ctrl = nullptr, *other = nullptr;
  TkxSkinPopupMenu* menu = nullptr;
  int menuOpens = 0, menuCloses = 0;
};

TEST_F(SkinMenusTest, SubMenuOpensAfterTheDelayNotWhenTheMouseMovesOnAndAtOnceOnAClick) {
  std::vector<std::string> log;
  TMenuItem* cmd = Add(menu->Items(), "命令");
  TMenuItem* sub = Add(menu->Items(), "子菜单", [&] { log.push_back("click with " + std::to_string(Levels()) + " level"); });
  Add(sub, "一");
  Add(sub, "二");
  (void)cmd;
  struct Case {
    const char* name;
    int wait;       // after the item's delay started
    bool moveOn;    // to the command item, then wait again
    bool click;
    size_t levels;  // open at the end
  };
  const Case cases[] = {
      {"499 ms", 499, false, false, 1},
      {"500 ms", 500, false, false, 2},
      {"moved on after 300 ms", 300, true, false, 1},
      {"clicked at once", 0, false, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.clear();
    menu->Popup(300, 200);
    ASSERT_EQ(Levels(), 1u);
    if (c.click) {
      ClickItem(0, 1);
    } else {
      Hover(0, 1);
      // The level polls the mouse every 50 ms; the delay starts with the poll that sees the item.
      for (int i = 0; i < 60 && !engine->WItem; ++i) Wait(1);
      ASSERT_NE(engine->WItem, nullptr);
      Wait(c.wait);
      if (c.moveOn) {
        Hover(0, 0);
        Wait(600);
      }
    }
    EXPECT_EQ(Levels(), c.levels);
    if (c.levels == 2) {
      // The item's own click ran first, with the sub-menu not yet open; its item shows pressed.
      EXPECT_EQ(log, std::vector<std::string>{"click with 1 level"});
      EXPECT_TRUE(Level(0)->ItemList[1]->Down);
    } else {
      EXPECT_TRUE(log.empty());
    }
    engine->Hide();
    Pump();
  }
}

TEST_F(SkinMenusTest, ACommandTellsTheControlAndTheFormInOrderAndEscapeOnlyTheControl) {
  bool closedDuringClick = false, levelAliveDuringClick = false;
  HWND levelWnd = nullptr;
  size_t clickAt = 0;
  Add(menu->Items(), "打开", [&] {
    clickAt = MenuMessages().size();
    closedDuringClick = !engine->Visible() && Levels() == 0;
    levelAliveDuringClick = IsWindow(levelWnd) != FALSE;
  });
  Add(menu->Items(), "关闭");
  int closes = 0;
  menu->OnMenuClose = [&](TObject* s) {
    EXPECT_EQ(s, engine);
    ++closes;
  };
  headless::Spy(form->Handle());
  headless::Spy(ctrl->Handle());

  menu->PopupFromRect2(ctrl, TRect{200, 200, 260, 220}, false);
  ASSERT_EQ(Levels(), 1u);
  EXPECT_EQ(menuOpens, 1);
  levelWnd = Level(0)->Handle();
  ClickItem(0, 0);
  EXPECT_EQ(MenuMessages(), (std::vector<std::string>{"ctrl:closed", "form:closed", "ctrl:command"}));
  EXPECT_EQ(clickAt, 2u) << "the click runs after both closes and before the command message";
  // The menu was closed before the command ran; the level that was clicked went only after its
  // handler returned.
  EXPECT_TRUE(closedDuringClick);
  EXPECT_TRUE(levelAliveDuringClick);
  EXPECT_FALSE(IsWindow(levelWnd));
  EXPECT_EQ(closes, 1);

  // Escape on the first level tells the control and fires the close event, not the form.
  headless::ClearSpy();
  menu->PopupFromRect2(ctrl, TRect{200, 200, 260, 220}, false);
  ASSERT_EQ(Levels(), 1u);
  Level(0)->PopupKeyDown(VK_ESCAPE);
  Pump();
  EXPECT_EQ(MenuMessages(), std::vector<std::string>{"ctrl:closed"});
  EXPECT_EQ(closes, 2);
  EXPECT_FALSE(engine->Visible());

  // A menu popped afterwards by another component without the event does not fire it.
  auto* plain = new TkxSkinPopupMenu(form);
  Add(plain->Items(), "项");
  plain->Popup(10, 10);
  ASSERT_EQ(Levels(), 1u);
  engine->Hide();
  EXPECT_EQ(closes, 2);
}

TEST_F(SkinMenusTest, APopupWhileAnotherIsOpenTellsTheOldControlAndKeepsTheNewOne) {
  Add(menu->Items(), "一");
  headless::Spy(ctrl->Handle());
  headless::Spy(other->Handle());
  headless::Spy(form->Handle());
  menu->PopupFromRect2(ctrl, TRect{200, 200, 260, 220}, false);
  menu->PopupFromRect2(other, TRect{300, 200, 360, 220}, false);
  EXPECT_EQ(Levels(), 1u);
  EXPECT_EQ(MenuMessages(), std::vector<std::string>{"ctrl:closed"});
  EXPECT_EQ(menuCloses, 1) << "the form left the state of the old menu";
  Level(0)->PopupKeyDown(VK_ESCAPE);
  EXPECT_EQ(MenuMessages(), (std::vector<std::string>{"ctrl:closed", "other:closed"}));
}

TEST_F(SkinMenusTest, NoSkinnedFormShowsNothingButOnPopupStillFires) {
  auto* loose = new TkxSkinPopupMenu(owner.get());
  Add(loose->Items(), "一");
  int popups = 0;
  loose->OnPopup = [&](TObject*) { ++popups; };
  loose->Popup(100, 100);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(Levels(), 0u);
  // Popup2 asks for skin data: without any, nothing shows, and the form is not left in a menu state.
  menu->Popup2(ctrl, 100, 100);
  Add(menu->Items(), "二");
  menu->Popup2(ctrl, 100, 100);
  EXPECT_EQ(Levels(), 0u);
  EXPECT_EQ(menuOpens, 0);
  // A menu with nothing to show leaves the engine closed and the form out of its menu state.
  auto* empty = new TkxSkinPopupMenu(form);
  empty->Popup(100, 100);
  EXPECT_FALSE(engine->Visible());
  EXPECT_EQ(menuOpens, 1);
  EXPECT_EQ(menuCloses, 1);
}

TEST_F(SkinMenusTest, PlacementOfALevel) {
  struct Case {
    const char* name;
    int items;
    int max;  // MaxMenuItemsInWindow
    TRect r;
    bool up;
    // The expected top-left from the window's size.
    std::function<TPoint(int w, int h)> at;
    int height;  // 0: not checked
  };
  const Case cases[] = {
      {"below a point", 5, 0, {100, 100, 100, 100}, false, [](int, int) { return TPoint{100, 100}; }, 5 * 20 + 4},
      {"above when no room below (lower half)", 5, 0, {100, 650, 100, 650}, false,
       [](int, int h) { return TPoint{100, 650 - h}; }, 0},
      {"moved up and beside (upper half)", 20, 0, {100, 300, 160, 320}, false,
       [](int, int h) { return TPoint{161, 700 - h}; }, 0},
      {"kept inside the right edge", 5, 0, {990, 100, 990, 100}, false, [](int w, int) { return TPoint{1000 - w, 100}; },
       0},
      {"above a rect", 5, 0, {100, 300, 160, 320}, true, [](int, int h) { return TPoint{100, 300 - h}; }, 0},
      {"asked above without room, upper half: below", 5, 0, {100, 50, 160, 70}, true,
       [](int, int) { return TPoint{100, 70}; }, 0},
      {"taller than the work area: top, beside", 50, 0, {100, 300, 160, 320}, false,
       [](int, int) { return TPoint{161, 0}; }, 700},
      {"taller than the work area near the right edge: left of it", 50, 0, {950, 300, 990, 320}, false,
       [](int w, int) { return TPoint{950 - w - 1, 0}; }, 700},
      {"three of five items: usual place", 5, 3, {100, 100, 100, 100}, false, [](int, int) { return TPoint{100, 100}; },
       3 * 20 + 4 + 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    menu->Items()->Clear();
    for (int i = 0; i < c.items; ++i) Add(menu->Items(), "项目 " + std::to_string(i));
    engine->MaxMenuItemsInWindow = c.max;
    menu->PopupFromRect(c.r, c.up);
    ASSERT_EQ(Levels(), 1u);
    RECT wr = WindowRect(Level(0));
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    TPoint want = c.at(w, h);
    EXPECT_EQ(wr.left, want.x);
    EXPECT_EQ(wr.top, want.y);
    if (c.height) EXPECT_EQ(h, c.height);
    EXPECT_EQ(Level(0)->Scroll, c.max > 0 || c.items == 50);
    engine->Hide();
  }
  // A sub-menu opens right of its item with its first item level with it, and left of the
  // parent level where the right side has no room.
  menu->Items()->Clear();
  engine->MaxMenuItemsInWindow = 0;
  TMenuItem* sub = Add(menu->Items(), "子菜单");
  Add(sub, "一");
  for (int x : {100, 900}) {
    SCOPED_TRACE(x);
    menu->Popup(x, 100);
    ClickItem(0, 0);
    ASSERT_EQ(Levels(), 2u);
    RECT pr = WindowRect(Level(0)), sr = WindowRect(Level(1));
    const TRect& o = Level(0)->ItemList[0]->ObjectRect;
    EXPECT_EQ(sr.top, pr.top + o.top - Level(1)->NewItemsRect.top);
    if (x == 100) EXPECT_EQ(sr.left, pr.left + o.right + 1);
    else EXPECT_EQ(sr.right, pr.left + o.left - 1);
    engine->Hide();
  }
}

TEST_F(SkinMenusTest, KeysOfALevel) {
  int alpha = 0, gamma = 0, x = 0;
  // 0 Alpha, 1 separator, 2 Beta (disabled), 3 Sub, 4 Gamma, 5 Delta (disabled)
  Add(menu->Items(), "&Alpha", [&] { ++alpha; });
  Add(menu->Items(), "-");
  Add(menu->Items(), "Beta")->SetEnabled(false);
  TMenuItem* sub = Add(menu->Items(), "&Sub");
  Add(sub, "&X", [&] { ++x; });
  Add(sub, "Y");
  Add(menu->Items(), "Gamma", [&] { ++gamma; });
  Add(menu->Items(), "Delta")->SetEnabled(false);
  int closes = 0;
  menu->OnMenuClose = [&](TObject*) { ++closes; };

  struct Case {
    const char* name;
    std::vector<int> keys;
    size_t levels;
    int active;   // of the deepest level, when one is open
    int counts;   // alpha * 100 + gamma * 10 + x
    int closed;   // close events
  };
  const Case cases[] = {
      {"opens on the first usable item", {}, 1, 0, 0, 0},
      {"Down skips the separator and the disabled item", {VK_DOWN}, 1, 3, 0, 0},
      {"Down on the last usable item keeps it", {VK_DOWN, VK_DOWN, VK_DOWN}, 1, 4, 0, 0},
      {"Up on the first wraps to the last usable", {VK_UP}, 1, 4, 0, 0},
      {"Right on a command does nothing", {VK_RIGHT}, 1, 0, 0, 0},
      {"Right opens the sub-menu on its first item", {VK_DOWN, VK_RIGHT}, 2, 0, 0, 0},
      {"Left closes only the sub-menu", {VK_DOWN, VK_RIGHT, VK_LEFT}, 1, 3, 0, 0},
      {"Escape closes only the sub-menu", {VK_DOWN, VK_RETURN, VK_ESCAPE}, 1, 3, 0, 0},
      {"Left on the first level does nothing", {VK_LEFT}, 1, 0, 0, 0},
      {"Escape on the first level closes the menu", {VK_ESCAPE}, 0, -1, 0, 1},
      {"Enter runs the hot item", {VK_RETURN}, 0, -1, 100, 1},
      {"Enter in the sub-menu runs its item", {VK_DOWN, VK_RIGHT, VK_RETURN}, 0, -1, 1, 1},
      {"an accelerator runs its item", {'A'}, 0, -1, 100, 1},
      {"an accelerator opens a sub-menu at once", {'S', 'X'}, 0, -1, 1, 1},
      {"a key that is no accelerator does nothing", {'Q'}, 1, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    alpha = gamma = x = closes = 0;
    menu->Popup(300, 200);
    ASSERT_EQ(Levels(), 1u);
    for (int k : c.keys) {
      ASSERT_GT(Levels(), 0u);
      Level(Levels() - 1)->PopupKeyDown(k);
      Pump();
    }
    EXPECT_EQ(Levels(), c.levels);
    if (c.levels > 0) {
      EXPECT_EQ(Level(Levels() - 1)->ActiveItem, c.active);
      if (c.levels == 1) {
        for (TkxSkinMenuItem* i : Level(0)->ItemList) EXPECT_FALSE(i->Down) << i->MenuItem->Caption();
      }
    }
    EXPECT_EQ(alpha * 100 + gamma * 10 + x, c.counts);
    EXPECT_EQ(closes, c.closed);
    engine->Hide();
    Pump();
  }
}

TEST_F(SkinMenusTest, ScrollingLevelFollowsTheKeysAndTheMarkers) {
  for (int i = 0; i < 5; ++i) Add(menu->Items(), "项目 " + std::to_string(i));
  engine->MaxMenuItemsInWindow = 3;
  menu->Popup(300, 200);
  TkxSkinPopupWindow* w = Level(0);
  ASSERT_TRUE(w->Scroll);
  EXPECT_EQ(w->VisibleCount, 3);
  // Down past the last shown item scrolls by one; from the last item it wraps to the top.
  for (int i = 0; i < 3; ++i) w->PopupKeyDown(VK_DOWN);
  EXPECT_EQ(w->ActiveItem, 3);
  EXPECT_EQ(w->VisibleStartIndex, 1);
  EXPECT_TRUE(w->ItemList[3]->FVisible);
  EXPECT_FALSE(w->ItemList[0]->FVisible);
  w->PopupKeyDown(VK_DOWN);
  w->PopupKeyDown(VK_DOWN);
  EXPECT_EQ(w->ActiveItem, 0);
  EXPECT_EQ(w->VisibleStartIndex, 0);
  // Up from the first wraps to the last page, which shows the last item.
  w->PopupKeyDown(VK_UP);
  EXPECT_EQ(w->ActiveItem, 4);
  EXPECT_TRUE(w->ItemList[4]->FVisible);
  EXPECT_EQ(w->VisibleStartIndex, 2);
  // The mouse on the upper marker scrolls one item every 100 ms until the top.
  RECT wr = WindowRect(w);
  headless::MoveMouse(wr.left + 20, wr.top + w->NewItemsRect.top + 5);
  Wait(60);
  EXPECT_EQ(w->ScrollCode, 1);
  Wait(100);
  EXPECT_EQ(w->VisibleStartIndex, 1);
  Wait(300);
  EXPECT_EQ(w->VisibleStartIndex, 0);
  EXPECT_EQ(w->ScrollCode, 0);
}

TEST_F(SkinMenusTest, WrappedLastPageShowsTheLastItemWhenTheSkinsItemsStartLower) {
  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(0, sd);
  ASSERT_NE(sd.PopupWindow, nullptr);
  // The items area of the popup picture starts 30 pixels down.
  sd.PopupWindow->ItemsRect.top = 30;
  menu->SetSkinData(&sd);
  for (int i = 0; i < 5; ++i) Add(menu->Items(), "项目 " + std::to_string(i));
  engine->MaxMenuItemsInWindow = 3;
  menu->Popup(300, 200);
  ASSERT_EQ(Levels(), 1u);
  TkxSkinPopupWindow* w = Level(0);
  ASSERT_NE(w->PW, nullptr);
  EXPECT_EQ(w->NewItemsRect.top, 30);
  EXPECT_EQ(w->VisibleCount, 3);
  w->PopupKeyDown(VK_UP);
  EXPECT_EQ(w->ActiveItem, 4);
  EXPECT_EQ(w->VisibleStartIndex, 2);
  EXPECT_TRUE(w->ItemList[4]->FVisible) << "the hot item is shown";
  engine->Hide();
  menu->SetSkinData(nullptr);
}

TEST_F(SkinMenusTest, OnlyTheFirstLevelOfANewMenuFadesIn) {
  headless::SetLayeredAvailable(true);
  engine->AlphaBlend = true;
  engine->AlphaBlendAnimation = true;
  engine->AlphaBlendValue = 150;
  TMenuItem* sub = Add(menu->Items(), "子菜单");
  Add(sub, "一");
  menu->Popup(300, 200);
  ASSERT_EQ(Levels(), 1u);
  HWND h = Level(0)->Handle();
  EXPECT_TRUE(GetWindowLongPtr(h, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(Level(0)->Fading());
  EXPECT_EQ(headless::SurfaceAlpha(h), 0);
  // A fifteenth of the value whenever more than 5 ms have passed.
  Wait(5);
  EXPECT_EQ(headless::SurfaceAlpha(h), 0);
  Wait(1);
  EXPECT_EQ(headless::SurfaceAlpha(h), 10);
  Wait(6 * 15);
  EXPECT_FALSE(Level(0)->Fading());
  EXPECT_EQ(headless::SurfaceAlpha(h), 150);
  // A sub-menu shows at the full value at once.
  ClickItem(0, 0);
  ASSERT_EQ(Levels(), 2u);
  EXPECT_FALSE(Level(1)->Fading());
  EXPECT_EQ(headless::SurfaceAlpha(Level(1)->Handle()), 150);
  // So does a menu popped while another is open.
  menu->Popup(300, 200);
  ASSERT_EQ(Levels(), 1u);
  EXPECT_FALSE(Level(0)->Fading());
  EXPECT_EQ(headless::SurfaceAlpha(Level(0)->Handle()), 150);
  engine->Hide();
}

TEST_F(SkinMenusTest, AMorphTakesFiveStepsEachWayAndReversesFromWhereItIs) {
  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(0, sd);
  TkxDataSkinMenuItem* rec = nullptr;
  for (auto& o : sd.ObjectList)
    if ((rec = dynamic_cast<TkxDataSkinMenuItem*>(o.get()))) break;
  ASSERT_NE(rec, nullptr);
  rec->Morphing = true;
  menu->SetSkinData(&sd);
  Add(menu->Items(), "一");
  Add(menu->Items(), "二");
  menu->Popup(300, 200);
  ASSERT_EQ(Levels(), 1u);
  TkxSkinMenuItem* first = Level(0)->ItemList[0];
  TkxSkinMenuItem* second = Level(0)->ItemList[1];
  ASSERT_TRUE(first->EnableMorphing());
  // The first item, hot at show, reaches the hot image in five 20 ms steps.
  Wait(80);
  EXPECT_DOUBLE_EQ(first->MorphKf(), 0.8);
  Wait(20);
  EXPECT_DOUBLE_EQ(first->MorphKf(), 1.0);
  // Entered and left within 60 ms: back from the factor reached, never a jump.
  second->MouseEnter(false);
  first->MouseLeave();
  Wait(40);
  EXPECT_DOUBLE_EQ(second->MorphKf(), 0.4);
  EXPECT_DOUBLE_EQ(first->MorphKf(), 0.6);
  second->MouseLeave();
  Wait(20);
  EXPECT_DOUBLE_EQ(second->MorphKf(), 0.2);
  Wait(20);
  EXPECT_DOUBLE_EQ(second->MorphKf(), 0.0);
  Wait(60);
  EXPECT_DOUBLE_EQ(first->MorphKf(), 0.0);
  EXPECT_FALSE(Level(0)->MorphTimer->Enabled()) << "the timer stops once no item has a step left";
  engine->Hide();
  menu->SetSkinData(nullptr);
}

TEST_F(SkinMenusTest, AnItemRecordWithoutAUsablePictureLeavesTheSkinAlone) {
  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(0, sd);
  TkxDataSkinMenuItem* rec = nullptr;
  for (auto& o : sd.ObjectList)
    if ((rec = dynamic_cast<TkxDataSkinMenuItem*>(o.get()))) break;
  ASSERT_NE(rec, nullptr);
  ASSERT_NE(sd.PopupWindow, nullptr);
  rec->ActivePictureIndex = int32_t(sd.FActivePictures.size());  // one past the list
  const TRect skinRect = rec->SkinRect, activeRect = rec->ActiveSkinRect;
  ASSERT_FALSE(IsRectEmpty(&skinRect));
  menu->SetSkinData(&sd);
  Add(menu->Items(), "一");
  Add(menu->Items(), "二");
  menu->Popup(300, 200);
  ASSERT_EQ(Levels(), 1u);
  for (TkxSkinMenuItem* i : Level(0)->ItemList) {
    EXPECT_TRUE(IsRectEmpty(&i->SkinRect));
    EXPECT_EQ(i->ActivePicture, nullptr);
  }
  EXPECT_TRUE(EqualRect(&rec->SkinRect, &skinRect));
  EXPECT_TRUE(EqualRect(&rec->ActiveSkinRect, &activeRect));
  engine->Hide();
  menu->SetSkinData(nullptr);
}

TEST_F(SkinMenusTest, LevelsNeverTakeTheFocus) {
  Add(menu->Items(), "一");
  ctrl->SetFocus();
  menu->Popup(300, 200);
  ASSERT_EQ(Levels(), 1u);
  HWND h = Level(0)->Handle();
  EXPECT_EQ(GetWindowLongPtr(h, GWL_STYLE) & WS_POPUP, LONG_PTR(WS_POPUP));
  EXPECT_EQ(GetWindowLongPtr(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, LONG_PTR(WS_EX_TOOLWINDOW));
  RECT r = WindowRect(Level(0));
  headless::Click(r.left + 5, r.top + 5);
  Pump();
  EXPECT_EQ(GetFocus(), ctrl->Handle());
  EXPECT_EQ(GetActiveWindow(), form->Handle());
}

TEST_F(SkinMenusTest, FreeingAShownItemClosesTheMenu) {
  TMenuItem* sub = Add(menu->Items(), "子菜单");
  TMenuItem* one = Add(sub, "一");
  Add(sub, "二");
  headless::Spy(form->Handle());
  menu->Popup(300, 200);
  ClickItem(0, 0);
  ASSERT_EQ(Levels(), 2u);
  delete one;
  EXPECT_EQ(Levels(), 0u);
  EXPECT_FALSE(engine->Visible());
  EXPECT_EQ(MenuMessages(), std::vector<std::string>{"form:closed"});
}

class SkinMenuStreamTest : public ControlTest {};

// The snapshot menu as the main form describes it: nested items, a radio sub-menu, the skin.
TEST_F(SkinMenuStreamTest, ReadFromAFormDescription) {
  RegisterSkinMenuFormClasses();
  const std::string text =
      "object Form1: TForm\n"
      "  object sd: TkxSkinData\n"
      "  end\n"
      "  object pm: TkxSkinPopupMenu\n"
      "    SkinData = sd\n"
      "    object N1: TMenuItem\n"
      "      Caption = '保存快照'\n"
      "      ShortCut = 16467\n"
      "    end\n"
      "    object N2: TMenuItem\n"
      "      Caption = '快照保存类型'\n"
      "      object N3: TMenuItem\n"
      "        Caption = 'BMP'\n"
      "        GroupIndex = 1\n"
      "        RadioItem = True\n"
      "      end\n"
      "      object N4: TMenuItem\n"
      "        Caption = 'JPG'\n"
      "        Checked = True\n"
      "        GroupIndex = 1\n"
      "        RadioItem = True\n"
      "      end\n"
      "    end\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(owner.get());
  ReadFormDescription(f, text, "main.dfm");
  auto* pm = dynamic_cast<TkxSkinPopupMenu*>(f->FindComponent("pm"));
  ASSERT_NE(pm, nullptr);
  EXPECT_EQ(pm->SkinData(), f->FindComponent("sd"));
  ASSERT_EQ(pm->Items()->Count(), 2);
  EXPECT_EQ(pm->Items()->Items(0)->ShortCut(), TextToShortCut("Ctrl+S"));
  TMenuItem* types = pm->Items()->Items(1);
  ASSERT_EQ(types->Count(), 2);
  EXPECT_TRUE(types->Items(1)->RadioItem());
  EXPECT_TRUE(types->Items(1)->Checked());
  EXPECT_EQ(pm->PopupPoint().x, -1);
  // Freeing the skin data lets go of it.
  delete f->FindComponent("sd");
  EXPECT_EQ(pm->SkinData(), nullptr);
}

TEST_F(SkinMenusTest, CloseMessagesAndTheFormLookup) {
  for (UINT m : {WM_MOVE, WM_SIZE, WM_ACTIVATE, WM_KILLFOCUS, WM_CANCELMODE, WM_MOUSEACTIVATE, WM_NCLBUTTONDOWN,
                 WM_NCRBUTTONDOWN, WM_NCMBUTTONDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_PARENTNOTIFY})
    EXPECT_TRUE(IsMenuCloseMessage(m)) << m;
  for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_KEYDOWN, WM_PAINT, WM_SETFOCUS, WM_NCMOUSEMOVE})
    EXPECT_FALSE(IsMenuCloseMessage(m)) << m;
  EXPECT_EQ(FindVelara(form), velara);
  EXPECT_EQ(FindVelara(owner.get()), nullptr);
  EXPECT_EQ(FindVelara(nullptr), nullptr);
}

// Open menus in the plain look and two skins, written as menus/menu-*.png into the build folder
// for a person to look at: a header, a short cut, a checked and a disabled item, and the radio
// sub-menu "快照保存类型" opened from its item.
TEST_F(SkinMenusTest, PicturesOfOpenMenus) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "menus";
  fs::create_directories(dir);
  Add(menu->Items(), "打开文件(&O)")->SetShortCut(TextToShortCut("Ctrl+O"));
  Add(menu->Items(), "-");
  Add(menu->Items(), "-标题-")->SetEnabled(false);
  Add(menu->Items(), "显示预览")->SetChecked(true);
  Add(menu->Items(), "不可用的项目")->SetEnabled(false);
  TMenuItem* types = Add(menu->Items(), "快照保存类型");
  for (const char* t : {"BMP", "JPG", "PNG", "GIF"}) {
    TMenuItem* i = Add(types, t);
    i->SetRadioItem(true);
    i->SetGroupIndex(1);
  }
  types->Items(1)->SetChecked(true);
  TMenuItem* more = Add(menu->Items(), "更多");
  Add(more, "一");
  Add(menu->Items(), "退出")->SetShortCut(TextToShortCut("Alt+F4"));
  for (int n = -1; n < 2; ++n) {
    SCOPED_TRACE(n);
    std::unique_ptr<TkxSkinData> sd;
    if (n >= 0) {
      sd = std::make_unique<TkxSkinData>(nullptr);
      skinlint::LoadGeneratedSkin(n, *sd);
    }
    menu->SetSkinData(sd.get());
    menu->Popup(20, 20);
    ASSERT_EQ(Levels(), 1u);
    ClickItem(0, 5);
    ASSERT_EQ(Levels(), 2u);
    Hover(1, 1);
    Wait(120);
    RECT a = WindowRect(Level(0)), b = WindowRect(Level(1));
    const int w = std::max(a.right, b.right) + 20, h = std::max(a.bottom, b.bottom) + 20;
    int sw = 0, sh = 0;
    const std::vector<uint32_t> screen = headless::ComposeScreen(&sw, &sh);
    ASSERT_GE(sw, w);
    ASSERT_GE(sh, h);
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(w, h);
    for (int y = 0; y < h; ++y) {
      auto* row = static_cast<uint8_t*>(bmp.ScanLine(y));
      for (int x = 0; x < w; ++x) {
        const uint32_t p = screen[size_t(y) * size_t(sw) + size_t(x)];
        row[3 * x] = p & 255, row[3 * x + 1] = (p >> 8) & 255, row[3 * x + 2] = (p >> 16) & 255;
      }
    }
    TPngImage png;
    png.Assign(&bmp);
    const fs::path file = dir / (n < 0 ? std::string("menu-plain.png") : "menu-kxSkin" + std::to_string(n) + ".png");
    png.SaveToFile(file.string());
    EXPECT_TRUE(fs::exists(file));
    engine->Hide();
    Pump();
    menu->SetSkinData(nullptr);
  }
}

}  // namespace
