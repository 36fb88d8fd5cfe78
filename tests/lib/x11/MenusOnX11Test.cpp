// Skinned menus on a real X server (run under xvfb-run; skipped without a display): a sub-menu
// of the menu bar and the system menu open as override-redirect windows while the server's input
// focus stays on the form; keys faked with XTest reach the open menu through the application's
// message handler, move its hot item and run the command with Enter; the menu shows on the
// server as its back buffer holds it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "lib/forms/kxSkinMainMenu.h"
#include "lib/forms/kxSkinMenus.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinStore.h"
#include "platform/backend/headless/Headless.h"
#include "platform/backend/x11/X11.h"
#include "tests/lib/x11/OnX11.h"
#include "tests/lib/x11/XServerPixels.h"

using namespace win;

namespace {

using onx11::Display;

class MenusOnX11 : public ::testing::Test {
protected:
  void SetUp() override {
    if (!Display() || !xpixels::Available()) GTEST_SKIP() << "no X display";
    if (xpixels::ScreenDepth() < 24) GTEST_SKIP() << "a screen of fewer colours than the back buffer";
    backend::Install(Display());
    Drain();
  }
  void TearDown() override {
    if (!Display()) return;
    owner.reset();
    ReleaseCapture();
    Drain();
    Application->OnMessage = nullptr;
    backend::Install(nullptr);
  }
  // Through the application, whose message handler hands the keys to an open menu.
  static void Drain() { Application->ProcessMessages(); }
  static bool PumpUntil(const std::function<bool()>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
      Drain();
      if (done()) return true;
      if (std::chrono::steady_clock::now() > end) return false;
      Display()->WaitEvents(20);
    }
  }
  static bool ScreenMatches(HWND h) { return onx11::ScreenMatches(h); }
  static void Key(int VK) {
    x11::FakeKey(*Display(), VK, true);
    x11::FakeKey(*Display(), VK, false);
    x11::Sync(*Display());
  }

  std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(nullptr);
};

TEST_F(MenusOnX11, BarAndSystemMenusAreOverrideRedirectAndTheKeysStayWithTheForm) {
  auto* sd = new TkxSkinData(owner.get());
  TkxCompressedStoredSkin stored(nullptr);
  stored.LoadFromResource("kxSkin0");
  sd->LoadCompressedStoredSkin(&stored);
  auto* f = new TForm(owner.get());
  f->SetBounds(150, 120, 520, 300);
  f->SetCaption("视频格式转换器");
  auto* v = new TkxVelara(f);
  v->SetSkinData(sd);
  auto* menu = new TkxSkinMainMenu(f);
  std::vector<std::string> clicks;
  auto add = [&](TMenuItem* Parent, const std::string& Caption) {
    auto* i = new TMenuItem(f);
    i->SetCaption(Caption);
    i->OnClick = [&clicks, Caption](TObject*) { clicks.push_back(Caption); };
    Parent->Add(i);
    return i;
  };
  TMenuItem* file = add(menu->Items(), "文件");
  for (const char* c : {"添加一个文件", "添加多个文件", "添加整个目录"}) add(file, c);
  TMenuItem* help = add(menu->Items(), "帮助");
  add(help, "关于软件");
  auto* bar = new TkxSkinMainMenuBar(f);
  bar->SetParent(f);
  bar->SetSkinData(sd);
  bar->SetVelara(v);
  bar->SetMainMenu(menu);
  v->SetMainMenuBar(bar);
  f->Show();
  HWND h = f->Handle();
  const uintptr_t formXW = x11::NativeWindow(*Display(), h);
  ASSERT_TRUE(PumpUntil([&] { return ScreenMatches(h); })) << "the form on the server";
  SetActiveWindow(h);
  SetFocus(h);
  ASSERT_TRUE(PumpUntil([&] { return xpixels::FocusedWindow() == formXW; })) << "the form has the focus";

  // The first item of the bar, clicked: its sub-menu opens without taking the focus.
  const TRect item = bar->ToScreen(bar->Item(0)->ObjectRect);
  x11::FakeMotion(*Display(), (item.left + item.right) / 2, (item.top + item.bottom) / 2);
  x11::FakeButton(*Display(), 0, true);
  x11::FakeButton(*Display(), 0, false);
  x11::Sync(*Display());
  TkxSkinMenu* engine = v->SkinMenu;
  ASSERT_TRUE(PumpUntil([&] { return engine->FPopupList.size() == 1; })) << "the sub-menu opened";
  TkxSkinPopupWindow* level = engine->FPopupList[0];
  EXPECT_TRUE(x11::IsOverrideRedirect(*Display(), level->Handle()));
  EXPECT_TRUE(PumpUntil([&] { return ScreenMatches(level->Handle()); })) << "the menu's pixels";
  EXPECT_EQ(xpixels::FocusedWindow(), formXW) << "the focus stays on the form";
  EXPECT_EQ(level->ActiveItem, 0) << "the menu opens with its first entry hot";
  Key(VK_DOWN);
  ASSERT_TRUE(PumpUntil([&] { return level->ActiveItem == 1; })) << "Down moves the hot entry";
  EXPECT_TRUE(PumpUntil([&] { return ScreenMatches(level->Handle()); })) << "the hot entry on the server";
  Key(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return clicks.size() == 1; }));
  EXPECT_EQ(clicks[0], "添加多个文件");
  EXPECT_TRUE(engine->FPopupList.empty());
  EXPECT_FALSE(v->InMainMenu);
  EXPECT_EQ(xpixels::FocusedWindow(), formXW);

  // The system menu under its button: also override-redirect, the keys still the form's.
  v->ShowSystemMenuUnder();
  ASSERT_EQ(engine->FPopupList.size(), 1u);
  TkxSkinPopupWindow* sys = engine->FPopupList[0];
  EXPECT_TRUE(x11::IsOverrideRedirect(*Display(), sys->Handle()));
  EXPECT_TRUE(PumpUntil([&] { return ScreenMatches(sys->Handle()); })) << "the system menu's pixels";
  EXPECT_EQ(xpixels::FocusedWindow(), formXW);
  Key(VK_ESCAPE);
  EXPECT_TRUE(PumpUntil([&] { return engine->FPopupList.empty() && !v->InMenu; })) << "Escape closed it";
  EXPECT_EQ(clicks.size(), 1u);
}

}  // namespace
