// The split tool button, the edit's skinned context menu and the frame objects' hints on the
// headless backend: which part of the button drops the menu and what runs its click, the strip's
// looks while the menu is open, a plain and a skinned menu, a press that opens nothing; the edit's
// menu running a command and freed only once its closed level is gone, and no menu without skin
// data; a frame object's hint shown while the mouse rests on it.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Clipbrd.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Menus.h"
#include "classlib/controls/MenuWindow.h"
#include "lib/controls/kxSkinEdits.h"
#include "lib/controls/kxSkinMenuButton.h"
#include "lib/forms/kxSkinHint.h"
#include "lib/forms/kxSkinImagesMenu.h"
#include "lib/forms/kxSkinMenus.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/skin/kxSkinData.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"
#include "tests/lib/forms/FrameObjectsFixture.h"

namespace {

using namespace ctltest;

// Watches a component and notes, when it is freed, what Probe says then.
class TFreeProbe : public TComponent {
public:
  explicit TFreeProbe(std::function<void()> Probe) : TComponent(nullptr), FProbe(std::move(Probe)) {}
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && FProbe) FProbe();
  }
  std::function<void()> FProbe;
};

class MenuHostTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    InitializeUtilsUnit();
    headless::SetMonitors({{{0, 0, 1000, 740}, {0, 0, 1000, 700}, true}});
    form = NewSkinnedForm(100, 100, 400, 300, &velara);
  }
  void TearDown() override {
    owner.reset();
    ControlTest::TearDown();
  }

  // A shown frameless form with a skinned-form component and its menu engine.
  TForm* NewSkinnedForm(int X, int Y, int W, int H, TkxVelara** V, TkxSkinData* SD = nullptr) {
    TForm* f = NewForm(X, Y, W, H);
    auto* v = new TkxVelara(f);
    if (SD) v->SetSkinData(SD);
    engines[v] = v->SkinMenu;  // the form's own engine
    f->Show();
    Pump();
    if (V) *V = v;
    return f;
  }
  TkxSkinMenu* Engine(TkxVelara* V = nullptr) { return engines.at(V ? V : velara); }
  TMenuItem* Add(TMenu* M, const std::string& Caption) {
    auto* i = new TMenuItem(M);
    i->SetCaption(Caption);
    i->OnClick = [this, Caption](TObject*) { log.push_back("item " + Caption); };
    M->Items()->Add(i);
    return i;
  }
  TRect ScreenRect(TControl* C) {
    TPoint o = C->ClientToScreen(TPoint{0, 0});
    return TRect{o.x, o.y, o.x + C->Width(), o.y + C->Height()};
  }
  // A screen point inside item I of the first open level of the engine.
  TPoint ItemPoint(TkxSkinMenu* E, int I) {
    TkxSkinPopupWindow* w = E->FPopupList.at(0);
    RECT r{};
    GetWindowRect(w->Handle(), &r);
    const TRect& o = w->ItemList.at(size_t(I))->ObjectRect;
    return TPoint{r.left + o.left + 10, r.top + (o.top + o.bottom) / 2};
  }
  void Step(int ms) {
    for (int i = 0; i < ms; ++i) {
      clock.Advance(1);
      Pump();
    }
  }

  std::map<TkxVelara*, TkxSkinMenu*> engines;
  TForm* form = nullptr;
  TkxVelara* velara = nullptr;
  std::vector<std::string> log;
};

// ---- the split button ---------------------------------------------------------------------------

class SplitButtonTest : public MenuHostTest {
protected:
  void SetUp() override {
    MenuHostTest::SetUp();
    button = Make<TkxSkinMenuSpeedButton>(form, "split", 20, 20, 70, 30);
    button->SetUseSkinSize(false);
    button->OnClick = [this](TObject*) { log.push_back("click"); };
    button->OnShowTrackMenu = [this](TObject*) { log.push_back("show"); };
    button->OnHideTrackMenu = [this](TObject*) { log.push_back("hide"); };
    skinMenu = new TkxSkinPopupMenu(form);
    Add(skinMenu, "一");
    Add(skinMenu, "二");
    Pump();
  }
  int Count(const std::string& What) { return int(std::count(log.begin(), log.end(), What)); }
  // The button's pixel at a client point.
  uint32_t PixelOf(int X, int Y) { return headless::PixelAt(form->Handle(), 20 + X, 20 + Y); }

  TkxSkinMenuSpeedButton* button = nullptr;
  TkxSkinPopupMenu* skinMenu = nullptr;
};

TEST_F(SplitButtonTest, APressDropsTheMenuWhereTheModeSaysAndElsewhereIsAnOrdinaryToolButtonPress) {
  button->SetSkinPopupMenu(skinMenu);
  button->SetRepeatMode(true);
  struct Case {
    const char* name;
    bool track;
    int x;
    bool menu;  // the press drops the menu; otherwise it clicks and repeats
  };
  const Case cases[] = {
      {"whole button: left part", false, 5, true},
      {"whole button: strip", false, 62, true},
      {"track mode: left of the strip", true, 54, false},
      {"track mode: the strip's left edge", true, 55, true},
      {"track mode: the strip's last column", true, 69, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.clear();
    button->SetTrackButtonMode(c.track);
    MoveTo(button, c.x, 15);
    headless::ButtonDown();
    Pump();
    EXPECT_TRUE(button->Down());
    EXPECT_EQ(button->MenuTracked(), c.menu);
    EXPECT_EQ(Engine()->Visible(), c.menu);
    Step(650);  // held: a tool-button press repeats its click
    headless::ButtonUp();
    Pump();
    if (c.menu) {
      EXPECT_EQ(log, (std::vector<std::string>{"show"}));
      EXPECT_TRUE(button->Down());  // the release leaves it down while the menu is open
      Engine()->Hide();
      Pump();
      EXPECT_EQ(log, (std::vector<std::string>{"show", "hide"}));
    } else {
      EXPECT_GE(Count("click"), 2);  // a repeat and the release
      EXPECT_EQ(Count("show"), 0);
    }
    EXPECT_FALSE(button->Down());
    EXPECT_FALSE(button->MenuTracked());
  }
}

TEST_F(SplitButtonTest, TheStripIsTheRightOrInTheNewStyleTheBottomFifteenPixels) {
  button->SetSkinPopupMenu(skinMenu);
  button->SetTrackButtonMode(true);
  struct Case {
    const char* name;
    bool newStyle;
    TkxTrackPosition pos;
    TPoint p;
    bool menu;
  };
  const Case cases[] = {
      {"right strip", false, kxtpRight, {60, 5}, true},
      {"bottom position without the new style stays right", false, kxtpBottom, {10, 25}, false},
      {"new style, right", true, kxtpRight, {60, 5}, true},
      {"new style, bottom: the bottom rows", true, kxtpBottom, {10, 15}, true},
      {"new style, bottom: above them", true, kxtpBottom, {10, 14}, false},
      {"new style, bottom: the right column is no strip", true, kxtpBottom, {62, 5}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    button->SetNewStyle(c.newStyle);
    button->SetTrackPosition(c.pos);
    EXPECT_EQ(button->CanTrackMenu(c.p.x, c.p.y), c.menu);
  }
  // The new style takes its record for good.
  EXPECT_EQ(button->SkinDataName(), "resizetoolbutton");
  // Without a menu no part drops anything.
  button->SetSkinPopupMenu(nullptr);
  EXPECT_FALSE(button->CanTrackMenu(60, 5));
}

TEST_F(SplitButtonTest, APlainMenuRunsUntilItClosesBelowTheButtonThenReleasesIt) {
  auto* plain = new TPopupMenu(form);
  Add(plain, "甲");
  Add(plain, "乙");
  button->SetSkinPopupMenu(plain);
  bool downWhileOpen = false;
  auto timer = std::make_unique<TTimer>(nullptr);
  timer->SetInterval(10);
  timer->OnTimer = [&](TObject*) {
    if (menus_internal::TrackedLevelCount() < 1) return;
    timer->SetEnabled(false);
    downWhileOpen = button->Down() && button->MenuTracked();
    TRect r = menus_internal::TrackedItemRect(0, 1);
    headless::Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  timer->SetEnabled(true);
  MoveTo(button, 10, 10);
  headless::ButtonDown();
  Pump();  // the menu runs here until its item is clicked
  headless::ButtonUp();
  Pump();
  EXPECT_TRUE(downWhileOpen);
  const TRect r = ScreenRect(button);
  EXPECT_EQ(plain->PopupPoint(), (TPoint{r.left, r.bottom}));
  EXPECT_EQ(log, (std::vector<std::string>{"show", "item 乙", "hide"}));
  EXPECT_FALSE(button->Down());
  EXPECT_FALSE(button->MenuTracked());
}

TEST_F(SplitButtonTest, ASkinnedMenuDropsBelowTheButtonAndItsCommandReleasesIt) {
  button->SetSkinPopupMenu(skinMenu);
  ClickAt(button, 10, 10);
  ASSERT_TRUE(Engine()->Visible());
  RECT w{};
  GetWindowRect(Engine()->FPopupList.at(0)->Handle(), &w);
  const TRect r = ScreenRect(button);
  EXPECT_EQ(w.left, r.left);
  EXPECT_EQ(w.top, r.bottom);
  EXPECT_TRUE(button->Down());
  const TPoint p = ItemPoint(Engine(), 0);
  headless::Click(p.x, p.y);
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"show", "hide", "item 一"}));
  EXPECT_FALSE(button->Down());
  EXPECT_FALSE(Engine()->Visible());
}

TEST_F(SplitButtonTest, APressThatOpensNothingLeavesTheButtonUp) {
  button->SetSkinPopupMenu(skinMenu);
  struct Case {
    const char* name;
    std::function<void()> arrange;
  };
  const Case cases[] = {
      {"a menu without items", [this] { skinMenu->Items()->Clear(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.clear();
    c.arrange();
    ClickAt(button, 10, 10);
    EXPECT_EQ(log, (std::vector<std::string>{"show", "hide"}));
    EXPECT_FALSE(button->Down());
    EXPECT_FALSE(button->MenuTracked());
  }
}

TEST_F(SplitButtonTest, WhileTheMenuIsOpenTheMainPartIsHotAndTheStripPressed) {
  button->SetSkinPopupMenu(skinMenu);
  button->SetTrackButtonMode(true);
  struct Look {
    const char* name;
    TkxSkinData* sd;
    const char* record;
  };
  auto sd = std::make_unique<TkxSkinData>(nullptr);
  skinlint::LoadGeneratedSkin(0, *sd);
  ASSERT_FALSE(sd->Empty);
  const Look looks[] = {
      {"plain", nullptr, "toolmenubutton"},
      {"skin 0, tool-button style", sd.get(), "toolbutton"},
      {"skin 0, resize style", sd.get(), "resizetoolbutton"},
      {"skin 0, own record", sd.get(), "toolmenubutton"},
  };
  // Clear of the caption and the sign; the skin's fades are let run to their end.
  const TPoint mainAt{8, 15}, stripAt{57, 15};
  for (const Look& l : looks) {
    SCOPED_TRACE(l.name);
    button->SetSkinDataName(l.record);
    button->SetSkinData(l.sd);
    MoveTo(button, 30, 15);  // hot
    Step(300);
    const uint32_t hotMain = PixelOf(mainAt.x, mainAt.y), hotStrip = PixelOf(stripAt.x, stripAt.y);
    headless::ButtonDown();  // pressed in the main part
    Pump();
    Step(300);
    const uint32_t downMain = PixelOf(mainAt.x, mainAt.y), downStrip = PixelOf(stripAt.x, stripAt.y);
    headless::ButtonUp();
    Pump();
    MoveTo(button, 60, 15);
    headless::ButtonDown();  // the menu drops
    Pump();
    ASSERT_TRUE(button->MenuTracked());
    MoveTo(button, 30, 200);  // and the mouse goes to the menu
    Step(300);
    EXPECT_EQ(PixelOf(mainAt.x, mainAt.y), hotMain);
    EXPECT_EQ(PixelOf(stripAt.x, stripAt.y), downStrip);
    EXPECT_NE(hotStrip, downStrip);
    EXPECT_NE(hotMain, downMain);
    headless::ButtonUp();
    Engine()->Hide();
    Pump();
    MoveTo(button, 200, 200);
    Step(300);
  }
  button->SetSkinData(nullptr);
}

TEST_F(SplitButtonTest, TheFaceShowsTheImagesMenusChosenPictureAndCaptionOnlyWhenAsked) {
  auto* images = new TImageList(form);
  images->SetSize(16, 16);
  const TColor colours[] = {TColor(0x0000C0), TColor(0xC00000)};
  for (TColor c : colours) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->FillRect(TRect{0, 0, 16, 16});
    images->Add(&b, nullptr);
  }
  auto* menu = new TkxSkinImagesMenu(form);
  menu->SetImages(images);
  for (const char* caption : {"红", "蓝"}) menu->ImagesItems()->Add()->SetCaption(caption);
  menu->ImagesItems()->Items(0)->SetImageIndex(0);
  menu->ImagesItems()->Items(1)->SetImageIndex(1);
  button->SetCaption("");
  button->SetSkinImagesMenu(menu);
  // Counts the face's pixels that pass a test.
  auto count = [&](auto test) {
    int w = 0, h = 0;
    const std::vector<uint32_t> px = headless::ReadPixels(form->Handle(), &w, &h);
    int n = 0;
    for (int y = 20; y < 50; ++y)
      for (int x = 20; x < 75; ++x) n += test(px[size_t(y * w + x)] & 0xFFFFFF);
    return n;
  };
  auto colour = [](uint32_t rgb) { return [rgb](uint32_t p) { return p == rgb; }; };
  auto dark = [](uint32_t p) { return (p >> 16) < 0x60 && ((p >> 8) & 0xFF) < 0x60 && (p & 0xFF) < 0x60; };
  struct Case {
    bool image, caption;
    int index;
    int red, blue;    // picture pixels on the face
    bool text;        // caption pixels (dark) on the face
  } cases[] = {
      {false, false, 1, 0, 0, false},  // the button's own (empty) contents
      {true, false, 1, 0, 256, false},
      {true, false, 0, 256, 0, false},
      {true, true, 0, 256, 0, true},
      {true, false, -1, 0, 0, false},   // nothing chosen: the button's own
      {false, true, 0, 0, 0, false},    // the caption alone is not asked for
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.image << c.caption << c.index);
    menu->SetItemIndex(c.index);
    button->SetUseImagesMenuImage(c.image);
    button->SetUseImagesMenuCaption(c.caption);
    button->Repaint();
    Pump();
    EXPECT_EQ(count(colour(0xC00000)), c.red);  // TColor is BGR, the screen RGB
    EXPECT_EQ(count(colour(0x0000C0)), c.blue);
    EXPECT_EQ(count(dark) > 0, c.text);
  }
}

// ---- the edit's context menu --------------------------------------------------------------------

class EditMenuTest : public MenuHostTest {
protected:
  void SetUp() override {
    MenuHostTest::SetUp();
    sd = std::make_unique<TkxSkinData>(nullptr);
    skinlint::LoadGeneratedSkin(0, *sd);
    ASSERT_FALSE(sd->Empty);
    edit = Make<TkxSkinEdit>(form, "edit", 20, 30, 120, 22);
    edit->SetText("abc");
    Pump();
  }
  void TearDown() override {
    owner.reset();
    MenuHostTest::TearDown();
  }
  void FocusEdit() {
    edit->SetFocus();
    Pump();
  }

  std::unique_ptr<TkxSkinData> sd;
  TkxSkinEdit* edit = nullptr;
};

TEST_F(EditMenuTest, ACommandOfTheMenuRunsAndTheMenuGoesOnlyAfterTheLevelThatRanIt) {
  velara->SetSkinData(sd.get());
  Pump();
  Clipboard()->SetAsText("xy");
  struct Case {
    const char* name;
    bool keyboard;  // Shift+F10 instead of a right click
    int item;
    std::string text;
    int selStart, selLength;
  };
  const Case cases[] = {
      {"Paste from a right click", false, 4, "axybc", 3, 0},
      {"Select All from the keyboard", true, 7, "abc", 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    edit->SetText("abc");
    FocusEdit();
    edit->SetSelStart(1);
    edit->SetSelLength(0);
    TPoint at = edit->ClientToScreen(TPoint{30, 5});
    if (c.keyboard) {
      headless::KeyDown(VK_SHIFT);
      headless::PressKey(VK_F10);
      headless::KeyUp(VK_SHIFT);
      at = edit->ClientToScreen(TPoint{60, 11});
    } else {
      headless::Click(at.x, at.y, 1);
    }
    Pump();
    ASSERT_TRUE(Engine()->Visible());
    auto* menu = dynamic_cast<TkxSkinPopupMenu*>(edit->SysPopupMenu());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->PopupPoint(), at);
    // Whether the level that ran the command was still there when the menu was freed.
    HWND level = Engine()->FPopupList.at(0)->Handle();
    int frees = 0;
    bool levelAlive = true;
    TFreeProbe probe([&] {
      ++frees;
      levelAlive = IsWindow(level);
    });
    menu->FreeNotification(&probe);
    const TPoint p = ItemPoint(Engine(), c.item);
    headless::Click(p.x, p.y);
    Pump();
    EXPECT_EQ(edit->Text(), c.text);
    EXPECT_EQ(edit->SelStart(), c.selStart);
    EXPECT_EQ(edit->SelLength(), c.selLength);
    EXPECT_EQ(edit->SysPopupMenu(), nullptr);
    EXPECT_EQ(frees, 1);
    EXPECT_FALSE(levelAlive);
  }
}

TEST_F(EditMenuTest, WithoutSkinDataOrSkinnedMenusARightClickShowsNothing) {
  struct Case {
    const char* name;
    bool skinData;
    bool seam;  // the forms layer's menus reachable
  };
  const Case cases[] = {
      {"a skinned form without skin data", false, true},
      {"no skinned menus linked", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    velara->SetSkinData(c.skinData ? sd.get() : nullptr);
    const TkxSkinMenuSeam saved = SkinMenuSeam();
    if (!c.seam) SkinMenuSeam() = TkxSkinMenuSeam{};
    const TPoint at = edit->ClientToScreen(TPoint{30, 5});
    headless::Click(at.x, at.y, 1);
    Pump();
    SkinMenuSeam() = saved;
    EXPECT_FALSE(Engine()->Visible());
    EXPECT_EQ(menus_internal::TrackedLevelCount(), 0);
    // The menu built for the click lives on, with its items, until the next one.
    ASSERT_NE(edit->SysPopupMenu(), nullptr);
    EXPECT_EQ(edit->SysPopupMenu()->Items()->Count(), 8);
    EXPECT_EQ(dynamic_cast<TkxSkinPopupMenu*>(edit->SysPopupMenu()) != nullptr, c.seam);
  }
}

// ---- the frame objects' hints -------------------------------------------------------------------

class FrameHintTest : public formtest::FrameObjectTest {
protected:
  void SetUp() override {
    FrameObjectTest::SetUp();
    Application->CancelHint();
    Application->SetShowHint(true);
    Application->HintPause = 500;
    Application->HintHidePause = 2500;
    Application->SetMainForm(form);
    hint = new TkxSkinHint(form);
    vlr->SetSkinHint(hint);
    vlr->ShowObjectHint = true;
  }
  void TearDown() override {
    Application->CancelHint();
    Application->SetMainForm(nullptr);
    FrameObjectTest::TearDown();
  }
  void Wait(int ms) {
    for (int i = 0; i < ms; ++i) {
      clock.Advance(1);
      Pump();
    }
  }
  TkxSkinHint* hint = nullptr;
};

TEST_F(FrameHintTest, AnObjectsHintShowsWhileTheMouseRestsOnItAndHidesWhenItLeaves) {
  struct Case {
    const char* name;
    bool show;         // ShowObjectHint
    std::string hint;  // the close button's hint
    bool shown;
  };
  const Case cases[] = {
      {"shown", true, "关闭 Close", true},
      {"ShowObjectHint off", false, "关闭 Close", false},
      {"an object without a hint", true, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    vlr->ShowObjectHint = c.show;
    // A caption button takes its hint afresh on each enter, from its own hint (or its restore
    // hint): that is where a hint of its own goes.
    As<TkxSkinStdButtonObject>("closebutton")->FTempHint = c.hint;
    Hover("closebutton");
    Wait(499);
    EXPECT_FALSE(hint->IsVisible());
    Wait(1);
    EXPECT_EQ(hint->IsVisible(), c.shown);
    if (c.shown) {
      EXPECT_EQ(hint->HW->Caption(), c.hint);
    }
    // The mouse leaves for the client area.
    headless::MoveMouse(form->Left() + 100, form->Top() + 60);
    Pump();
    vlr->UpdateActiveObject(100, 60, true);
    Pump();
    EXPECT_FALSE(hint->IsVisible());
    Wait(600);
    EXPECT_FALSE(hint->IsVisible());
  }
  // A freed hint component is forgotten.
  vlr->ShowObjectHint = true;
  As<TkxSkinStdButtonObject>("closebutton")->FTempHint = "关闭 Close";
  delete hint;
  EXPECT_EQ(vlr->SkinHint(), nullptr);
  Hover("closebutton");
  Wait(600);
  EXPECT_EQ(HotName(), "closebutton");
}

}  // namespace
