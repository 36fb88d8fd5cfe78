// The skinned menu bar and the form's menu mode on the headless backend: the main window's five
// menus opened by the mouse and by the keys, the items a narrow bar hides behind its marker, the
// system menu for each state of the form, Alt+F4, the mouse wheel and Escape in menu mode.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "classlib/Menus.h"
#include "classlib/Streaming.h"
#include "lib/forms/kxFrameObjects.h"
#include "lib/forms/kxSkinMainMenu.h"
#include "lib/forms/kxSkinMenus.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/skin/kxSkinData.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace ctltest;

// The main window's menus, as the application builds them ("*" marks a disabled item).
const std::vector<std::pair<std::string, std::vector<std::string>>> kMainMenus = {
    {"文件", {"添加一个文件", "添加多个文件", "添加整个目录", "-", "退出"}},
    {"编辑", {"上移文件", "下移文件", "-", "*删除选择", "*清空文件", "-", "*重新命名"}},
    {"动作", {"*开始转换", "*停止转换", "-", "*暂停转换", "*继续继续"}},
    {"功能", {"转换设置", "软件皮肤"}},
    {"帮助", {"帮助系统", "-", "官方网站", "关于软件"}},
};

class SkinMainMenuTest : public ControlTest {
protected:
  // Through the application, as the program runs: its message handler is where menu mode
  // takes the keys.
  void Pump() { Application->ProcessMessages(); }
  void SetUp() override {
    ControlTest::SetUp();
    InitializeUtilsUnit();
    headless::SetMonitors({{{0, 0, 1280, 1024}, {0, 0, 1280, 984}, true}});
    sd = std::make_unique<TkxSkinData>(nullptr);
    skinlint::LoadGeneratedSkin(0, *sd);
    form = new TForm(owner.get());
    form->SetBorderStyle(bsSingle);
    form->SetBounds(100, 80, 804, 300);
    velara = new TkxVelara(form);
    velara->SetSkinData(sd.get());
    menu = new TkxSkinMainMenu(form);
    for (const auto& [caption, items] : kMainMenus) {
      TMenuItem* top = Add(menu->Items(), caption);
      for (const std::string& i : items) Add(top, i);
    }
    bar = new TkxSkinMainMenuBar(form);
    bar->SetParent(form);
    bar->SetSkinData(sd.get());
    bar->SetVelara(velara);
    bar->SetMainMenu(menu);
    velara->SetMainMenuBar(bar);
    form->Show();
    Pump();
    SetActiveWindow(form->Handle());
    SetFocus(form->Handle());
    Pump();
  }
  void TearDown() override {
    delete form;
    Pump();
    Application->OnMessage = nullptr;
    ControlTest::TearDown();
  }

  TMenuItem* Add(TMenuItem* Parent, std::string Caption) {
    auto* i = new TMenuItem(form);
    if (Caption.size() > 1 && Caption[0] == '*') {
      Caption = Caption.substr(1);
      i->SetEnabled(false);
    }
    i->SetCaption(Caption);
    i->OnClick = [this, Caption](TObject*) { clicks.push_back(Caption); };
    Parent->Add(i);
    return i;
  }
  void Wait(int ms) {
    for (int i = 0; i < ms; ++i) {
      clock.Advance(1);
      Pump();
    }
  }
  TPoint ItemCentre(int I) {
    const TRect r = bar->ToScreen(bar->Item(I)->ObjectRect);
    return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  size_t Levels() const { return velara->SkinMenu->FPopupList.size(); }
  // The caption of the first entry of the first open level.
  std::string FirstEntry() const {
    if (Levels() == 0 || velara->SkinMenu->FPopupList[0]->ItemList.empty()) return "";
    return velara->SkinMenu->FPopupList[0]->ItemList[0]->MenuItem->Caption();
  }
  // The hot items of the bar, by index.
  std::vector<int> Hot() const {
    std::vector<int> out;
    for (int i = 0; i < bar->ItemCount(); ++i)
      if (bar->Item(i)->Active) out.push_back(i);
    return out;
  }
  void Key(int VK) {
    headless::PressKey(VK);
    Pump();
  }
  void AltTap() { Key(VK_MENU); }
  // An application handler of its own, to see that menu mode gives it back.
  void OwnHandler() {
    Application->OnMessage = [this](MSG&, bool&) { ++ownMessages; };
  }
  bool OwnHandlerBack() {
    const int before = ownMessages;
    MSG m{};
    bool handled = false;
    if (Application->OnMessage) Application->OnMessage(m, handled);
    return ownMessages == before + 1;
  }

  std::unique_ptr<TkxSkinData> sd;
  TForm* form = nullptr;
  TkxVelara* velara = nullptr;
  TkxSkinMainMenu* menu = nullptr;
  TkxSkinMainMenuBar* bar = nullptr;
  std::vector<std::string> clicks;
  int ownMessages = 0;
};

TEST_F(SkinMainMenuTest, AClickOpensAMenuAndSlidingAlongTheBarMovesIt) {
  ASSERT_EQ(bar->ItemCount(), 5);
  bar->Repaint();
  Pump();
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(bar->Item(i)->Visible) << i << ": all five fit on the bar";
  const TPoint file = ItemCentre(0);
  headless::Click(file.x, file.y);
  Pump();
  ASSERT_EQ(Levels(), 1u);
  EXPECT_EQ(FirstEntry(), "添加一个文件");
  EXPECT_TRUE(velara->InMainMenu);
  EXPECT_TRUE(bar->Item(0)->FDown);
  // The menu opens under the item.
  RECT r{};
  GetWindowRect(velara->SkinMenu->FPopupList[0]->Handle(), &r);
  EXPECT_EQ(r.left, bar->ToScreen(bar->Item(0)->ObjectRect).left);
  EXPECT_EQ(r.top, bar->ToScreen(bar->Item(0)->ObjectRect).bottom);

  const TPoint edit = ItemCentre(1);
  headless::MoveMouse(edit.x, edit.y);
  Wait(60);
  ASSERT_EQ(Levels(), 1u);
  EXPECT_EQ(FirstEntry(), "上移文件");
  EXPECT_FALSE(bar->Item(0)->FDown);
  EXPECT_TRUE(bar->Item(1)->FDown);
  EXPECT_TRUE(velara->InMainMenu);

  // A command clicked in the menu runs once, after the menu closed, and menu mode ends.
  TkxSkinPopupWindow* level = velara->SkinMenu->FPopupList[0];
  GetWindowRect(level->Handle(), &r);
  const TRect& first = level->ItemList.at(0)->ObjectRect;
  headless::Click(r.left + first.left + 10, r.top + (first.top + first.bottom) / 2);
  Pump();
  EXPECT_EQ(clicks, std::vector<std::string>{"上移文件"});
  EXPECT_EQ(Levels(), 0u);
  EXPECT_FALSE(velara->InMainMenu);
  EXPECT_FALSE(velara->InMenu);
  EXPECT_FALSE(bar->Item(1)->FDown);
}

TEST_F(SkinMainMenuTest, TheKeysOfMenuMode) {
  OwnHandler();
  AltTap();
  EXPECT_TRUE(velara->InMainMenu);
  EXPECT_EQ(Hot(), std::vector<int>{0}) << "an Alt tap makes the first item hot";
  EXPECT_EQ(Levels(), 0u);
  EXPECT_FALSE(OwnHandlerBack()) << "the keys go to the menu meanwhile";
  struct Step {
    int key;
    int hot;
  };
  const Step steps[] = {{VK_RIGHT, 1}, {VK_RIGHT, 2}, {VK_RIGHT, 3}, {VK_RIGHT, 4}, {VK_RIGHT, 0},
                        {VK_LEFT, 4},  {VK_LEFT, 3},  {VK_RIGHT, 4}};
  for (const Step& s : steps) {
    Key(s.key);
    EXPECT_EQ(Hot(), std::vector<int>{s.hot}) << "after " << (s.key == VK_RIGHT ? "Right" : "Left");
  }
  Key(VK_DOWN);
  ASSERT_EQ(Levels(), 1u);
  EXPECT_EQ(FirstEntry(), "帮助系统");
  // Right on an item without sub-items moves along the bar, the open menu with it.
  Key(VK_RIGHT);
  ASSERT_EQ(Levels(), 1u);
  EXPECT_EQ(FirstEntry(), "添加一个文件");
  Key(VK_LEFT);
  EXPECT_EQ(FirstEntry(), "帮助系统");
  // The menu opens with its first entry hot; Enter runs it.
  EXPECT_EQ(velara->SkinMenu->FPopupList[0]->ActiveItem, 0);
  Key(VK_RETURN);
  EXPECT_EQ(clicks, std::vector<std::string>{"帮助系统"});
  EXPECT_EQ(Levels(), 0u);
  EXPECT_FALSE(velara->InMainMenu);
  EXPECT_TRUE(Hot().empty());
  EXPECT_TRUE(OwnHandlerBack());

  // Escape closes the open menu first (the item stays hot), then ends menu mode.
  AltTap();
  Key(VK_DOWN);
  ASSERT_EQ(Levels(), 1u);
  Key(VK_ESCAPE);
  EXPECT_EQ(Levels(), 0u);
  EXPECT_TRUE(velara->InMainMenu);
  EXPECT_EQ(Hot(), std::vector<int>{0});
  Key(VK_ESCAPE);
  EXPECT_FALSE(velara->InMainMenu);
  EXPECT_TRUE(Hot().empty());
  EXPECT_TRUE(OwnHandlerBack());
  EXPECT_TRUE(clicks.size() == 1u);
}

TEST_F(SkinMainMenuTest, EscapeWithNoMenuOpenEndsMenuModeAndASecondAltTapToo) {
  OwnHandler();
  AltTap();
  ASSERT_TRUE(velara->InMainMenu);
  Key(VK_ESCAPE);
  EXPECT_FALSE(velara->InMainMenu);
  EXPECT_TRUE(Hot().empty());
  EXPECT_TRUE(OwnHandlerBack());
  AltTap();
  ASSERT_TRUE(velara->InMainMenu);
  AltTap();
  EXPECT_FALSE(velara->InMainMenu);
  EXPECT_TRUE(OwnHandlerBack());
}

TEST_F(SkinMainMenuTest, ANarrowBarHidesItemsBehindTheMarkerWhosePopupStartsAtTheFirstHidden) {
  // An invisible top-level item has no place on the bar: the marker's popup must still start at
  // the first hidden item, not at the count of shown ones.
  menu->Items()->Items(1)->SetVisible(false);
  bar->SetMainMenu(menu);
  ASSERT_EQ(bar->ItemCount(), 4);
  bar->SetAlign(alNone);
  bar->SetBounds(0, 0, 140, bar->Height());
  bar->Repaint();
  Pump();
  std::vector<bool> shown;
  for (int i = 0; i < bar->ItemCount(); ++i) shown.push_back(bar->Item(i)->Visible);
  ASSERT_TRUE(shown[0]);
  ASSERT_FALSE(shown.back());
  EXPECT_TRUE(bar->Scroll);
  int firstHidden = 0;
  while (shown[size_t(firstHidden)]) ++firstHidden;
  for (int i = firstHidden; i < bar->ItemCount(); ++i) {
    EXPECT_FALSE(bar->Item(i)->Visible) << i;
    EXPECT_FALSE(bar->Item(i)->Enabled) << i << ": a hidden item takes no clicks";
  }
  const TRect m = bar->ToScreen(bar->MarkerRect());
  headless::Click(m.left + 2, (m.top + m.bottom) / 2);
  Pump();
  ASSERT_EQ(Levels(), 1u);
  EXPECT_EQ(FirstEntry(), bar->Item(firstHidden)->MenuItem->Caption());
  velara->SkinMenu->Hide();
  Pump();
  EXPECT_FALSE(velara->InMenu);

  // Wide again: every item shows and takes clicks again.
  bar->SetBounds(0, 0, 804, bar->Height());
  bar->Repaint();
  Pump();
  for (int i = 0; i < bar->ItemCount(); ++i) {
    EXPECT_TRUE(bar->Item(i)->Visible) << i;
    EXPECT_TRUE(bar->Item(i)->Enabled) << i;
  }
  EXPECT_FALSE(bar->Scroll);
}

TEST_F(SkinMainMenuTest, AltF4IsNeverAnAcceleratorOfTheBar) {
  // VK_F4 is the code of "s": a caption with "&S" must not take Alt+F4.
  menu->Items()->Items(3)->SetCaption("设置(&S)");
  bar->SetMainMenu(menu);
  int closeAsked = 0;
  form->OnCloseQuery = [&](TObject*, bool& CanClose) {
    ++closeAsked;
    CanClose = false;
  };
  headless::KeyDown(VK_MENU);
  headless::PressKey(VK_F4);
  headless::KeyUp(VK_MENU);
  Pump();
  EXPECT_EQ(Levels(), 0u);
  EXPECT_FALSE(velara->InMainMenu);
  EXPECT_EQ(closeAsked, 1) << "Alt+F4 still asks the form to close";
  // Alt+S itself is the accelerator.
  headless::KeyDown(VK_MENU);
  headless::PressKey('S');
  headless::KeyUp(VK_MENU);
  Pump();
  ASSERT_EQ(Levels(), 1u);
  EXPECT_EQ(FirstEntry(), "转换设置");
  EXPECT_TRUE(velara->InMainMenu);
  form->OnCloseQuery = nullptr;
}

TEST_F(SkinMainMenuTest, AMouseWheelWhileAMenuIsOpenIsSwallowed) {
  OwnHandler();
  auto* pm = new TkxSkinPopupMenu(form);
  Add(pm->Items(), "一");
  Add(pm->Items(), "二");
  headless::Spy(form->Handle());
  pm->Popup(300, 300);
  ASSERT_EQ(Levels(), 1u);
  headless::MoveMouse(200, 200);
  Pump();
  headless::Wheel(WHEEL_DELTA);
  Pump();
  for (const auto& e : headless::SpyLogAll()) EXPECT_NE(e.msg, uint32_t(WM_MOUSEWHEEL));
  EXPECT_EQ(ownMessages, 0) << "the application's handler is bypassed while the menu is open";
  EXPECT_EQ(Levels(), 1u);
  Key(VK_ESCAPE);
  EXPECT_EQ(Levels(), 0u);
  EXPECT_FALSE(velara->InMenu);
  EXPECT_TRUE(OwnHandlerBack());
}

// ---- the system menu ----------------------------------------------------------------------------

class SystemMenuTest : public ControlTest {
protected:
  void Pump() { Application->ProcessMessages(); }
  void SetUp() override {
    ControlTest::SetUp();
    headless::SetMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 728}, true}});
    form = new TForm(owner.get());
    form->SetBounds(50, 50, 300, 200);
    velara = new TkxVelara(form);
  }
  void TearDown() override {
    Application->OnMessage = nullptr;
    ControlTest::TearDown();
  }
  // The items as "name" or "-", the close item with its short cut.
  static std::vector<std::string> Names(TMenuItem* Items) {
    std::vector<std::string> out;
    for (int i = 0; i < Items->Count(); ++i) {
      TMenuItem* it = Items->Items(i);
      std::string n = it->IsLine() ? "-" : it->Name().empty() ? it->Caption() : it->Name();
      if (it->ShortCut()) n += " " + ShortCutToText(it->ShortCut());
      out.push_back(n);
    }
    return out;
  }
  TForm* form = nullptr;
  TkxVelara* velara = nullptr;
};

TEST_F(SystemMenuTest, ItsItemsFollowTheStateOfTheForm) {
  using I = TkxBorderIcon;
  const TkxBorderIcons defaults{I::biSystemMenu, I::biMinimize, I::biMaximize, I::biRollUp};
  struct Case {
    const char* name;
    TWindowState state;
    bool rolledUp;
    TkxBorderIcons icons;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"normal", wsNormal, false, defaults,
       {"VLR_MINITEM", "VLR_MAXITEM", "VLR_ROLLUP", "-", "VLR_CLOSE Alt+F4"}},
      {"maximized", wsMaximized, false, defaults,
       {"VLR_MINITEM", "VLR_RESTORE", "VLR_ROLLUP", "-", "VLR_CLOSE Alt+F4"}},
      {"minimized", wsMinimized, false, defaults, {"VLR_MAXITEM", "VLR_RESTORE", "-", "VLR_CLOSE Alt+F4"}},
      {"rolled up", wsNormal, true, defaults, {"VLR_MINITEM", "VLR_MAXITEM", "VLR_RESTORE", "-", "VLR_CLOSE Alt+F4"}},
      {"system menu only", wsNormal, false, TkxBorderIcons{I::biSystemMenu}, {"VLR_CLOSE Alt+F4"}},
      {"with minimize to tray", wsNormal, false, TkxBorderIcons{I::biSystemMenu, I::biMinimizeToTray},
       {"VLR_MINTOTRAY", "-", "VLR_CLOSE Alt+F4"}},
  };
  for (const Case& c : cases) {
    velara->SetBorderIcons(c.icons);
    velara->FWindowState = c.state;
    velara->FRollUpState = c.rolledUp;
    EXPECT_EQ(Names(velara->GetSystemMenuItems()), c.items) << c.name;
    // Built afresh each time: asking again gives the same menu, not a longer one.
    EXPECT_EQ(Names(velara->GetSystemMenuItems()), c.items) << c.name << ", asked again";
  }
}

TEST_F(SystemMenuTest, MergedIntoTheApplicationsMenuTwiceWithoutDuplicates) {
  auto* own = new TPopupMenu(form);
  for (const char* c : {"置顶", "关于"}) {
    auto* i = new TMenuItem(form);
    i->SetCaption(c);
    own->Items()->Add(i);
  }
  velara->SetSystemMenu(own);
  velara->FWindowState = wsMinimized;
  const std::vector<std::string> merged{"VLR_RESTORE", "VLR_MAXITEM", "置顶", "关于", "VLR_CLOSE Alt+F4"};
  EXPECT_EQ(Names(velara->GetSystemMenuItems()), merged);
  EXPECT_EQ(Names(velara->GetSystemMenuItems()), merged);
  // The state changed between two popups: the standard items follow it.
  velara->FWindowState = wsNormal;
  EXPECT_EQ(Names(velara->GetSystemMenuItems()),
            (std::vector<std::string>{"VLR_MINITEM", "VLR_MAXITEM", "VLR_ROLLUP", "置顶", "关于", "VLR_CLOSE Alt+F4"}));
  // Without the default items the application's menu is shown as it is.
  velara->UseDefaultSysMenu = false;
  own->Items()->Clear();
  EXPECT_TRUE(Names(velara->GetSystemMenuItems()).empty());
}

TEST_F(SystemMenuTest, AltSpaceOpensItUnderTheButtonAndAnItemActs) {
  form->Show();
  Pump();
  SetActiveWindow(form->Handle());
  SetFocus(form->Handle());
  Pump();
  TkxSkinMenu* engine = velara->SkinMenu;
  headless::KeyDown(VK_MENU);
  headless::PressKey(VK_SPACE);
  headless::KeyUp(VK_MENU);
  Pump();
  ASSERT_EQ(engine->FPopupList.size(), 1u);
  EXPECT_TRUE(velara->InMenu);
  EXPECT_FALSE(velara->InMainMenu) << "the Alt of Alt+Space is no Alt tap";
  // Under the system-menu button of the default frame.
  TRect under{};
  for (TkxActiveSkinObject* o : velara->ObjectList)
    if (auto* b = dynamic_cast<TkxSkinStdButtonObject*>(o); b && b->Command == cmSysMenu) under = b->ObjectRect;
  ASSERT_FALSE(IsEmptyRect(under));
  RECT r{};
  GetWindowRect(engine->FPopupList[0]->Handle(), &r);
  EXPECT_EQ(r.left, form->Left() + under.left);
  EXPECT_EQ(r.top, form->Top() + under.bottom);
  // The first item opens hot; Down: maximize, Enter runs it.
  headless::PressKey(VK_DOWN);
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(velara->WindowState(), wsMaximized);
  EXPECT_TRUE(engine->FPopupList.empty());
  EXPECT_FALSE(velara->InMenu);
  // Popped again, the menu offers restore instead.
  velara->ShowSystemMenuUnder();
  ASSERT_EQ(engine->FPopupList.size(), 1u);
  std::vector<std::string> shown;
  for (TkxSkinMenuItem* i : engine->FPopupList[0]->ItemList) shown.push_back(i->MenuItem->Name());
  EXPECT_EQ(shown, (std::vector<std::string>{"VLR_MINITEM", "VLR_RESTORE", "VLR_ROLLUP", "", "VLR_CLOSE"}));
  engine->Hide();
}

// ---- streaming ------------------------------------------------------------------------------------

class SkinMainMenuStreamTest : public ControlTest {};

// The main window's bar as its form description gives it: the menu, the skin, the component.
TEST_F(SkinMainMenuStreamTest, ReadFromAFormDescription) {
  RegisterSkinMainMenuFormClasses();
  const std::string text =
      "object Form1: TForm\n"
      "  object kxSkinData1: TkxSkinData\n"
      "  end\n"
      "  object kxVelara1: TkxVelara\n"
      "    SkinData = kxSkinData1\n"
      "    MainMenuBar = kxSkinMainMenuBar1\n"
      "  end\n"
      "  object kxSkinMainMenuBar1: TkxSkinMainMenuBar\n"
      "    SkinData = kxSkinData1\n"
      "    MainMenu = kxSkinMainMenu1\n"
      "    Velara = kxVelara1\n"
      "    ScrollMenu = True\n"
      "    UseSkinFont = True\n"
      "    DefaultHeight = 22\n"
      "    PopupToUp = False\n"
      "  end\n"
      "  object kxSkinMainMenu1: TkxSkinMainMenu\n"
      "    SkinData = kxSkinData1\n"
      "    object N1: TMenuItem\n"
      "      Caption = '文件'\n"
      "      object N2: TMenuItem\n"
      "        Caption = '退出'\n"
      "      end\n"
      "    end\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(owner.get());
  ReadFormDescription(f, text, "main.dfm");
  auto* bar = dynamic_cast<TkxSkinMainMenuBar*>(f->FindComponent("kxSkinMainMenuBar1"));
  auto* mm = dynamic_cast<TkxSkinMainMenu*>(f->FindComponent("kxSkinMainMenu1"));
  auto* v = dynamic_cast<TkxVelara*>(f->FindComponent("kxVelara1"));
  ASSERT_NE(bar, nullptr);
  ASSERT_NE(mm, nullptr);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(bar->MainMenu(), mm);
  EXPECT_EQ(bar->Velara(), v);
  EXPECT_EQ(v->MainMenuBar(), bar);
  EXPECT_EQ(mm->SkinData(), f->FindComponent("kxSkinData1"));
  EXPECT_EQ(bar->DefaultHeight(), 22);
  EXPECT_EQ(bar->ItemCount(), 1);
  EXPECT_EQ(bar->Align(), alTop);
  // Freed, the menu leaves the bar without items and the bar leaves the form.
  delete mm;
  EXPECT_EQ(bar->MainMenu(), nullptr);
  EXPECT_EQ(bar->ItemCount(), 0);
  delete bar;
  EXPECT_EQ(v->MainMenuBar(), nullptr);
}

// ---- pictures -------------------------------------------------------------------------------------

// The bar at rest, with a hot item and with a pressed item whose menu is open, and the system
// menu open under the caption's button, in the plain look and two skins: written as
// menus/menubar-*.png into the build folder for a person to look at.
class MenuBarGallery : public ControlTest {
protected:
  void Pump() { Application->ProcessMessages(); }
};

TEST_F(MenuBarGallery, TheBarInEachStateAndTheSystemMenu) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "menus";
  fs::create_directories(dir);
  InitializeUtilsUnit();
  constexpr int kScreenW = 900, kScreenH = 440;
  headless::SetMonitors({{{0, 0, kScreenW, kScreenH}, {0, 0, kScreenW, kScreenH}, true}});
  for (int n = -1; n < 2; ++n) {
    SCOPED_TRACE(n);
    std::unique_ptr<TkxSkinData> sd;
    if (n >= 0) {
      sd = std::make_unique<TkxSkinData>(nullptr);
      skinlint::LoadGeneratedSkin(n, *sd);
    }
    std::vector<TForm*> forms;
    std::vector<TkxSkinMainMenuBar*> bars;
    auto newForm = [&](int X, int Y, const char* Caption) {
      auto* f = new TForm(owner.get());
      f->SetBounds(X, Y, 420, 100);
      f->SetCaption(Caption);
      auto* v = new TkxVelara(f);
      v->PreviewMode = true;
      v->SetSkinData(sd.get());
      auto* m = new TkxSkinMainMenu(f);
      for (const auto& [caption, items] : kMainMenus) {
        auto* top = new TMenuItem(f);
        top->SetCaption(caption);
        m->Items()->Add(top);
        for (std::string i : items) {
          auto* it = new TMenuItem(f);
          if (i.size() > 1 && i[0] == '*') {
            i = i.substr(1);
            it->SetEnabled(false);
          }
          it->SetCaption(i);
          top->Add(it);
        }
      }
      auto* bar = new TkxSkinMainMenuBar(f);
      bar->SetParent(f);
      bar->SetSkinData(sd.get());
      bar->SetVelara(v);
      bar->SetMainMenu(m);
      v->SetMainMenuBar(bar);
      f->Show();
      forms.push_back(f);
      bars.push_back(bar);
      return v;
    };
    newForm(10, 10, "菜单栏 normal");
    newForm(10, 120, "热项 hot item");
    TkxVelara* pressed = newForm(10, 230, "按下 pressed item");
    TkxVelara* sys = newForm(460, 10, "系统菜单 system menu");
    Pump();
    bars[1]->Item(1)->MouseEnter();
    bars[2]->Item(0)->MouseDown(0, 0, mbLeft);
    ASSERT_EQ(pressed->SkinMenu->FPopupList.size(), 1u);
    sys->ShowSystemMenuUnder();
    ASSERT_EQ(sys->SkinMenu->FPopupList.size(), 1u);
    for (int i = 0; i < 400; ++i) {
      clock.Advance(1);
      Pump();
    }
    for (TForm* f : forms)
      RedrawWindow(f->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    const fs::path file = dir / (n < 0 ? std::string("menubar-plain.png") : "menubar-kxSkin" + std::to_string(n) + ".png");
    EXPECT_TRUE(headless::SaveScreenPng(file.string()));
    for (TForm* f : forms) delete f;
    Pump();
    Application->OnMessage = nullptr;
  }
}

}  // namespace
