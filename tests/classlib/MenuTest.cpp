// The menu model, short cuts, the plain popup menu window and its tracking, context menus from
// the mouse and the keyboard, and menus read from a form description.
#include <gtest/gtest.h>

#include <functional>

#include "base/Exception.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "classlib/Streaming.h"
#include "classlib/controls/MenuWindow.h"
#include "classlib/graphics/ImageList.h"
#include "tests/classlib/ControlTestFixture.h"

namespace {

using namespace ctltest;
using menus_internal::TrackedItemRect;
using menus_internal::TrackedLevelCount;
using menus_internal::TrackedLevelWindow;

// Items named by their captions; "-" makes a separator.
TMenuItem* AddItem(TMenuItem* Parent, TComponent* Owner, const std::string& Caption) {
  auto* i = new TMenuItem(Owner);
  i->SetCaption(Caption);
  Parent->Add(i);
  return i;
}

std::vector<std::string> Captions(TMenuItem* Parent) {
  std::vector<std::string> v;
  for (int i = 0; i < Parent->Count(); ++i) v.push_back(Parent->Items(i)->Caption());
  return v;
}

// ---- the model --------------------------------------------------------------------------------

TEST(MenuModel, AddInsertDeleteRemoveAndIndexes) {
  TComponent owner(nullptr);
  TPopupMenu menu(&owner);
  TMenuItem* root = menu.Items();
  TMenuItem* a = AddItem(root, &owner, "a");
  TMenuItem* c = AddItem(root, &owner, "c");
  auto* b = new TMenuItem(&owner);
  b->SetCaption("b");
  root->Insert(1, b);
  EXPECT_EQ(Captions(root), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(root->IndexOf(c), 2);
  EXPECT_EQ(b->Parent(), root);
  EXPECT_EQ(b->GetParentMenu(), &menu);
  EXPECT_EQ(b->MenuIndex(), 1);
  TMenuItem* sub = AddItem(c, &owner, "c1");
  EXPECT_EQ(sub->GetParentMenu(), &menu);
  EXPECT_EQ(menu.FindItem(sub->Command(), fkCommand), sub);

  root->Remove(a);
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_EQ(root->IndexOf(a), -1);
  root->Remove(a);  // not a sub-item: nothing happens
  delete a;
  root->Delete(1);  // frees c and its sub-item
  EXPECT_EQ(Captions(root), (std::vector<std::string>{"b"}));
  EXPECT_EQ(owner.ComponentCount(), 2);  // the menu and b
  root->Clear();
  EXPECT_EQ(root->Count(), 0);
  EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST(MenuModel, BadIndexesRaiseTheListErrorAndChangeNothing) {
  TComponent owner(nullptr);
  TPopupMenu menu(&owner);
  TMenuItem* root = menu.Items();
  AddItem(root, &owner, "a");
  AddItem(root, &owner, "b");
  auto* loose = new TMenuItem(&owner);
  for (int bad : {-1, 2, 100}) {
    EXPECT_THROW(root->Items(bad), EListError) << bad;
    EXPECT_THROW(root->Delete(bad), EListError) << bad;
    EXPECT_THROW(root->Items(0)->SetMenuIndex(bad), EListError) << bad;
  }
  for (int bad : {-1, 3}) EXPECT_THROW(root->Insert(bad, loose), EListError) << bad;
  try {
    root->Items(5);
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message, "List index out of bounds (5)");
  }
  EXPECT_EQ(Captions(root), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(loose->Parent(), nullptr);
  root->Insert(2, loose);  // the end is a valid place
  EXPECT_EQ(root->Count(), 3);
}

TEST(MenuModel, AnItemCannotBeAddedTwiceOrIntoItself) {
  TComponent owner(nullptr);
  TPopupMenu menu(&owner), other(&owner);
  TMenuItem* a = AddItem(menu.Items(), &owner, "a");
  TMenuItem* a1 = AddItem(a, &owner, "a1");
  TMenuItem* a11 = AddItem(a1, &owner, "a11");
  EXPECT_THROW(menu.Items()->Add(a), EMenuError);   // twice in the same parent
  EXPECT_THROW(other.Items()->Add(a), EMenuError);  // already in another menu
  EXPECT_THROW(a->Add(a), EMenuError);              // into itself
  auto* loose = new TMenuItem(&owner);
  a11->Add(loose);
  a11->Remove(loose);
  // Into its own sub-tree: a1 would become its own grandchild.
  a1->Remove(a11);
  EXPECT_THROW(a11->Add(a1), EMenuError);
  EXPECT_THROW(a1->Add(menu.Items()), EMenuError);  // a menu's root stays its menu's
  EXPECT_THROW(a->Add(nullptr), EMenuError);
  EXPECT_EQ(Captions(menu.Items()), (std::vector<std::string>{"a"}));
  EXPECT_EQ(Captions(a), (std::vector<std::string>{"a1"}));
  EXPECT_EQ(a1->Count(), 0);
  EXPECT_EQ(other.Items()->Count(), 0);
  delete a11;
}

TEST(MenuModel, RadioItemsUncheckTheirGroupOnly) {
  TComponent owner(nullptr);
  TPopupMenu menu(&owner);
  TMenuItem* root = menu.Items();
  // Group 1: r0..r2 (radio), group 2: s0, s1 (radio), and a plain check item in group 1.
  std::vector<TMenuItem*> g1, g2;
  for (int i = 0; i < 3; ++i) {
    g1.push_back(AddItem(root, &owner, "r" + std::to_string(i)));
    g1.back()->SetGroupIndex(1);
    g1.back()->SetRadioItem(true);
    g1.back()->SetAutoCheck(true);
  }
  for (int i = 0; i < 2; ++i) {
    g2.push_back(AddItem(root, &owner, "s" + std::to_string(i)));
    g2.back()->SetGroupIndex(2);
    g2.back()->SetRadioItem(true);
  }
  TMenuItem* plain = AddItem(root, &owner, "plain");
  plain->SetGroupIndex(1);
  plain->SetChecked(true);
  g2[1]->SetChecked(true);
  g1[0]->SetChecked(true);
  g1[2]->Click();  // the auto check of a radio item checks it
  EXPECT_FALSE(g1[0]->Checked());
  EXPECT_FALSE(g1[1]->Checked());
  EXPECT_TRUE(g1[2]->Checked());
  EXPECT_TRUE(g2[1]->Checked());
  EXPECT_TRUE(plain->Checked());
  g1[2]->Click();  // clicking the checked one keeps it checked
  EXPECT_TRUE(g1[2]->Checked());
  g2[0]->SetChecked(true);
  EXPECT_FALSE(g2[1]->Checked());
  EXPECT_TRUE(g1[2]->Checked());
  // A plain item's auto check toggles; a disabled item does not react at all.
  plain->SetAutoCheck(true);
  plain->Click();
  EXPECT_FALSE(plain->Checked());
  g1[1]->SetEnabled(false);
  int clicks = 0;
  g1[1]->OnClick = [&](TObject*) { ++clicks; };
  g1[1]->Click();
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(g1[1]->Checked());
}

TEST(MenuModel, ShortCutTextsRoundTrip) {
  struct Case {
    TShortCut Key;
    const char* Text;
  } cases[] = {
      {TShortCut('O') | scCtrl, "Ctrl+O"},
      {TShortCut(VK_F4) | scAlt, "Alt+F4"},
      {TShortCut(VK_F4) | scCtrl, "Ctrl+F4"},
      {TShortCut('S') | scShift | scCtrl, "Shift+Ctrl+S"},
      {TShortCut(VK_DELETE), "Del"},
      {TShortCut(VK_INSERT) | scShift, "Shift+Ins"},
      {TShortCut(VK_RETURN) | scAlt, "Alt+Enter"},
      {TShortCut(VK_F12), "F12"},
      {TShortCut(VK_F1 + 23), "F24"},
      {TShortCut('7') | scCtrl | scAlt, "Ctrl+Alt+7"},
      {TShortCut(VK_ESCAPE), "Esc"},
      {TShortCut(VK_SPACE) | scCtrl, "Ctrl+Space"},
      {TShortCut(VK_NEXT), "PgDn"},
      {TShortCut(VK_BACK) | scAlt, "Alt+BkSp"},
      {TShortCut(VK_NUMPAD0 + 5), "Num 5"},
      {TShortCut(VK_ADD) | scCtrl, "Ctrl+Num +"},
      {TShortCut(VK_LEFT), "Left"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShortCutToText(c.Key), c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), c.Key) << c.Text;
  }
  // Spelling is free in case and in the order of the shift names.
  EXPECT_EQ(TextToShortCut("ctrl+o"), TShortCut('O') | scCtrl);
  EXPECT_EQ(TextToShortCut("Alt+Shift+x"), TShortCut('X') | scShift | scAlt);
  // Not short cuts.
  for (const char* bad : {"", "Ctrl+", "Ctrl+Ctrl+O", "Hyper+O", "OO", "Ctrl O", "F25", "打开"})
    EXPECT_EQ(TextToShortCut(bad), 0) << bad;
  EXPECT_EQ(ShortCutToText(0), "");
  EXPECT_EQ(ShortCutToText(scCtrl | 0xFF), "");  // a key with no name
  EXPECT_EQ(ShortCut(WORD('O'), TShiftState{ssCtrl}), TShortCut('O') | scCtrl);
  WORD key = 0;
  TShiftState shift;
  ShortCutToKey(TShortCut('A') | scShift | scAlt, key, shift);
  EXPECT_EQ(key, 'A');
  EXPECT_EQ(shift, (TShiftState{ssShift, ssAlt}));
  EXPECT_EQ(StripHotkey("&Open && close"), "Open & close");
}

TEST(MenuModel, RethinkLinesHidesLeadingTrailingAndDoubledSeparators) {
  // Layout: "-" separator, "x" hidden item, other letters shown items. Expected: the shown ones.
  struct Case {
    const char* Layout;
    const char* Shown;
  } cases[] = {
      {"a-b", "a-b"},         {"-a", "a"},           {"a-", "a"},          {"a--b", "a-b"},
      {"--a---b--", "a-b"},   {"a-x-b", "a-b"},      {"x-a", "a"},         {"a-x", "a"},
      {"----", ""},           {"", ""},              {"a-b-c", "a-b-c"},   {"ax-xb", "a-b"},
      {"-x-x-", ""},          {"a", "a"},
  };
  for (const Case& c : cases) {
    TComponent owner(nullptr);
    TPopupMenu menu(&owner);
    for (const char* p = c.Layout; *p; ++p) {
      TMenuItem* i = AddItem(menu.Items(), &owner, *p == '-' ? "-" : std::string(1, *p));
      if (*p == 'x') i->SetVisible(false);
    }
    // Run twice: the second pass finds nothing to change, and separators hidden by an earlier
    // layout come back once they have something on both sides.
    menu.Items()->RethinkLines();
    EXPECT_FALSE(menu.Items()->RethinkLines()) << c.Layout;
    std::string shown;
    for (int i = 0; i < menu.Items()->Count(); ++i)
      if (menu.Items()->Items(i)->Visible()) shown += menu.Items()->Items(i)->Caption();
    EXPECT_EQ(shown, c.Shown) << c.Layout;
  }
  TComponent owner(nullptr);
  TPopupMenu menu(&owner);
  TMenuItem* a = AddItem(menu.Items(), &owner, "a");
  TMenuItem* line = AddItem(menu.Items(), &owner, "-");
  TMenuItem* b = AddItem(menu.Items(), &owner, "b");
  b->SetVisible(false);
  EXPECT_TRUE(menu.Items()->RethinkLines());
  EXPECT_FALSE(line->Visible());
  b->SetVisible(true);
  EXPECT_TRUE(menu.Items()->RethinkLines());
  EXPECT_TRUE(line->Visible());
  EXPECT_TRUE(a->Visible());
}

// ---- the popup window, context menus and short cuts -------------------------------------------

class MenuTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(100, 100, 300, 200);
    box = Make<WinProbe>(form, "box", 20, 30, 100, 60);
    box->Watch.clear();  // the log holds the menu's story only
    box->SetTabStop(true);
    form->Show();
    Pump();
    box->SetFocus();
    Pump();
    menu = new TPopupMenu(form);
    open = AddItem(menu->Items(), form, "打开");
    checked = AddItem(menu->Items(), form, "显示网格");
    checked->SetChecked(true);
    AddItem(menu->Items(), form, "-");
    disabled = AddItem(menu->Items(), form, "删除");
    disabled->SetEnabled(false);
    more = AddItem(menu->Items(), form, "更多");
    sub1 = AddItem(more, form, "子项一");
    sub2 = AddItem(more, form, "子项二");
    for (TMenuItem* i : {open, checked, disabled, sub1, sub2})
      i->OnClick = [this, i](TObject*) {
        // The menu has closed before the chosen item runs.
        Log().push_back(i->Caption() + (TrackedLevelCount() == 0 ? "" : " (menu still open)"));
      };
    menu->OnPopup = [this](TObject* s) {
      EXPECT_EQ(s, menu);
      EXPECT_EQ(TrackedLevelCount(), 0);  // before the window shows
      Log().push_back("popup");
    };
    box->SetPopupMenu(menu);
  }
  void TearDown() override {
    timer.reset();
    timer2.reset();
    ControlTest::TearDown();
  }

  // Runs Fn once inside the menu's loop, when the menu shows Levels levels.
  void WhenShown(std::function<void()> Fn, int Levels = 1) {
    timer = std::make_unique<TTimer>(nullptr);
    timer->SetInterval(10);
    timer->OnTimer = [this, Fn, Levels](TObject*) {
      if (TrackedLevelCount() < Levels) return;
      timer->SetEnabled(false);
      Fn();
    };
    timer->SetEnabled(true);
  }
  TPoint Centre(int Level, int Index) {
    TRect r = TrackedItemRect(Level, Index);
    return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  TRect LevelRect(int Level) {
    RECT r{};
    GetWindowRect(TrackedLevelWindow(Level), &r);
    return r;
  }

  TForm* form = nullptr;
  WinProbe* box = nullptr;
  TPopupMenu* menu = nullptr;
  TMenuItem *open = nullptr, *checked = nullptr, *disabled = nullptr, *more = nullptr, *sub1 = nullptr,
            *sub2 = nullptr;
  std::unique_ptr<TTimer> timer, timer2;
};

TEST_F(MenuTest, RightClickOpensAtThePointerAndAMouseChoiceClicksAfterClosing) {
  TRect shown{};
  HWND focusBefore = GetFocus();
  bool activeStays = true;
  WhenShown([&] {
    shown = LevelRect(0);
    activeStays = GetActiveWindow() == form->Handle() && GetFocus() == focusBefore;
    TPoint p = Centre(0, 0);
    headless::MoveMouse(p.x, p.y);
    headless::Click(p.x, p.y);
  });
  TPoint at = box->ClientToScreen(TPoint{30, 20});
  headless::Click(at.x, at.y, 1);
  Pump();
  EXPECT_EQ(shown.left, at.x);
  EXPECT_EQ(shown.top, at.y);
  EXPECT_TRUE(activeStays);  // the menu window never takes the activation or the focus
  EXPECT_EQ(Log(), (std::vector<std::string>{"popup", "打开"}));
  EXPECT_EQ(menu->PopupComponent(), box);
  EXPECT_EQ(TrackedLevelCount(), 0);
}

TEST_F(MenuTest, TheKeyboardOpensAtTheControlAndChoosesByArrowsAndEnter) {
  TRect shown{};
  WhenShown([&] {
    shown = LevelRect(0);
    // Down from nothing: the first item; the separator is skipped, the disabled item is not
    // taken by Enter, so the choice is the check item.
    for (int vk : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN, VK_UP, VK_RETURN}) headless::PressKey(vk);
  });
  headless::KeyDown(VK_SHIFT);
  headless::PressKey(VK_F10);
  headless::KeyUp(VK_SHIFT);
  Pump();
  TPoint origin = box->ClientToScreen(TPoint{0, 0});
  EXPECT_EQ(shown.left, origin.x);
  EXPECT_EQ(shown.top, origin.y);
  EXPECT_EQ(Log(), (std::vector<std::string>{"popup", "显示网格"}));

  // The menu key opens it as well.
  Log().clear();
  WhenShown([&] { headless::PressKey(VK_ESCAPE); });
  headless::PressKey(VK_APPS);
  Pump();
  EXPECT_EQ(Log(), (std::vector<std::string>{"popup"}));
}

TEST_F(MenuTest, EscapeAndAClickOutsideCancel) {
  WhenShown([&] { headless::PressKey(VK_ESCAPE); });
  menu->Popup(150, 150);
  EXPECT_EQ(Log(), (std::vector<std::string>{"popup"}));
  EXPECT_EQ(TrackedLevelCount(), 0);

  Log().clear();
  int boxClicks = 0;
  box->OnClick = [&](TObject*) { ++boxClicks; };
  WhenShown([&] {
    TPoint p = box->ClientToScreen(TPoint{5, 5});
    headless::Click(p.x, p.y);
  });
  menu->Popup(250, 150);
  Pump();
  EXPECT_EQ(Log(), (std::vector<std::string>{"popup"}));
  EXPECT_EQ(boxClicks, 0);  // the press that closed the menu is used up by it

  // A click on the disabled item chooses nothing and leaves the menu open.
  Log().clear();
  WhenShown([&] {
    TPoint p = Centre(0, 3);
    headless::Click(p.x, p.y);
    headless::PressKey(VK_ESCAPE);
  });
  menu->Popup(150, 150);
  EXPECT_EQ(Log(), (std::vector<std::string>{"popup"}));
}

TEST_F(MenuTest, AutoPopupOffMeansNoMenu) {
  menu->SetAutoPopup(false);
  TPoint at = box->ClientToScreen(TPoint{30, 20});
  headless::Click(at.x, at.y, 1);
  headless::KeyDown(VK_SHIFT);
  headless::PressKey(VK_F10);
  headless::KeyUp(VK_SHIFT);
  Pump();
  EXPECT_TRUE(Log().empty());
}

TEST_F(MenuTest, SubMenusOpenByKeyAndByHover) {
  WhenShown([&] {
    for (int vk : {VK_UP, VK_RIGHT}) headless::PressKey(vk);  // up from nothing: the last item
  });
  // Level 1 open: check where it sits, then go back with Left, in again, and choose.
  TRect parentItem{}, subLevel{};
  timer2 = std::make_unique<TTimer>(nullptr);
  timer2->SetInterval(15);
  timer2->OnTimer = [&](TObject*) {
    if (TrackedLevelCount() < 2) return;
    timer2->SetEnabled(false);
    parentItem = TrackedItemRect(0, 4);
    subLevel = LevelRect(1);
    for (int vk : {VK_DOWN, VK_RETURN}) headless::PressKey(vk);
  };
  timer2->SetEnabled(true);
  int moreClicks = 0;
  more->OnClick = [&](TObject*) { ++moreClicks; };  // runs before its sub-menu opens
  menu->Popup(150, 120);
  EXPECT_EQ(Log(), (std::vector<std::string>{"popup", "子项二"}));
  EXPECT_EQ(moreClicks, 1);
  EXPECT_EQ(subLevel.left, parentItem.right);
  EXPECT_EQ(subLevel.top, parentItem.top - 3);

  // Hovering the sub-menu item opens it; a click on its first item chooses it.
  Log().clear();
  WhenShown([&] {
    TPoint p = Centre(0, 4);
    headless::MoveMouse(p.x, p.y);
  });
  timer2->OnTimer = [&](TObject*) {
    if (TrackedLevelCount() < 2) return;
    timer2->SetEnabled(false);
    TPoint p = Centre(1, 0);
    headless::MoveMouse(p.x, p.y);
    headless::Click(p.x, p.y);
  };
  timer2->SetEnabled(true);
  menu->Popup(150, 120);
  EXPECT_EQ(Log(), (std::vector<std::string>{"popup", "子项一"}));
  timer2.reset();
}

TEST_F(MenuTest, FreeingTheMenuWhileItIsOpenClosesIt) {
  WhenShown([&] {
    delete menu;
    menu = nullptr;
  });
  TPoint at = box->ClientToScreen(TPoint{30, 20});
  headless::Click(at.x, at.y, 1);
  Pump();
  EXPECT_EQ(TrackedLevelCount(), 0);
  EXPECT_EQ(box->PopupMenu(), nullptr);
  EXPECT_EQ(Log(), (std::vector<std::string>{"popup"}));
}

TEST_F(MenuTest, ShortCutsReachTheirItemsThroughTheFormsKeys) {
  auto* main = new TMainMenu(form);
  TMenuItem* file = AddItem(main->Items(), form, "文件");
  TMenuItem* openItem = AddItem(file, form, "打开");
  openItem->SetShortCut(TextToShortCut("Ctrl+O"));
  openItem->OnClick = [](TObject*) { Log().push_back("open"); };
  int fileClicks = 0;
  file->OnClick = [&](TObject*) { ++fileClicks; };
  form->SetMenu(main);
  disabled->SetShortCut(TextToShortCut("Del"));
  checked->SetShortCut(TextToShortCut("Alt+G"));
  checked->SetAutoCheck(true);
  Log().clear();
  auto press = [&](std::initializer_list<int> mods, int key) {
    for (int m : mods) headless::KeyDown(m);
    headless::PressKey(key);
    for (int m : mods) headless::KeyUp(m);
    Pump();
  };
  press({VK_CONTROL}, 'O');
  EXPECT_EQ(Log(), (std::vector<std::string>{"open"}));
  EXPECT_EQ(fileClicks, 1);  // the parent hears of it first, as when its sub-menu opens
  press({}, 'O');            // without Ctrl: no short cut
  EXPECT_EQ(Log().size(), 1u);
  // The form's popup menus are searched too; a disabled item (or one under a disabled parent)
  // does not fire.
  press({VK_MENU}, 'G');
  EXPECT_EQ(Log().back(), "显示网格");
  EXPECT_FALSE(checked->Checked());
  press({}, VK_DELETE);
  EXPECT_EQ(Log().size(), 2u);
  file->SetEnabled(false);
  press({VK_CONTROL}, 'O');
  EXPECT_EQ(Log().size(), 2u);
  // OnShortCut comes first and may keep the key.
  file->SetEnabled(true);
  form->OnShortCut = [](TMessage& m, bool& handled) { handled = m.WParam == 'O'; };
  press({VK_CONTROL}, 'O');
  EXPECT_EQ(Log().size(), 2u);
  form->OnShortCut = nullptr;
  delete main;
  EXPECT_EQ(form->Menu(), nullptr);
  press({VK_CONTROL}, 'O');
  EXPECT_EQ(Log().size(), 2u);
}

TEST_F(MenuTest, PictureOfThePlainPopupMenu) {
  auto* images = new TImageList(form);
  menu->SetImages(images);
  TMenuItem* radio = AddItem(menu->Items(), form, "高质量");
  radio->SetRadioItem(true);
  radio->SetChecked(true);
  open->SetShortCut(TextToShortCut("Ctrl+O"));
  open->SetDefault(true);
  bool saved = false;
  std::string path = std::string(OMBREL_TEST_BUILD_DIR) + "/popup_menu.png";
  WhenShown([&] {
    TPoint p = Centre(0, 4);
    headless::MoveMouse(p.x, p.y);  // the sub-menu opens beside its item
  });
  timer2 = std::make_unique<TTimer>(nullptr);
  timer2->SetInterval(15);
  timer2->OnTimer = [&](TObject*) {
    if (TrackedLevelCount() < 2) return;
    timer2->SetEnabled(false);
    TPoint p = Centre(1, 1);
    headless::MoveMouse(p.x, p.y);
    headless::ProcessPending();
    UpdateWindow(TrackedLevelWindow(0));
    UpdateWindow(TrackedLevelWindow(1));
    saved = headless::SaveScreenPng(path);
    // The hot item is drawn in the highlight colour.
    TRect r = TrackedItemRect(1, 1);
    POINT c{r.left + 4, (r.top + r.bottom) / 2};
    ScreenToClient(TrackedLevelWindow(1), &c);
    EXPECT_EQ(Rgb(headless::PixelAt(TrackedLevelWindow(1), c.x + 3, c.y)), Px(clHighlight));
    headless::PressKey(VK_ESCAPE);
    headless::PressKey(VK_ESCAPE);
  };
  timer2->SetEnabled(true);
  menu->Popup(140, 110);
  timer2.reset();
  EXPECT_TRUE(saved) << path;
}

// ---- form descriptions ------------------------------------------------------------------------

class TMenuForm1 : public TForm, public IFormBindings {
public:
  using TForm::TForm;
  void DeclareBindings(THandlerTable& T) override {
    T.Add("N1Click", this, &TMenuForm1::N1Click);
    T.Add("PopupMenu1Popup", this, &TMenuForm1::PopupMenu1Popup);
    T.Field("PopupMenu1", PopupMenu1);
    T.Field("N1", N1);
    T.Field("N3", N3);
    T.Field("N31", N31);
    T.Field("Panel1", Panel1);
    T.Field("MainMenu1", MainMenu1);
  }
  void N1Click(TObject*) { ++N1Clicks; }
  void PopupMenu1Popup(TObject*) { ++Popups; }
  TPopupMenu* PopupMenu1 = nullptr;
  TMainMenu* MainMenu1 = nullptr;
  TMenuItem *N1 = nullptr, *N3 = nullptr, *N31 = nullptr;
  TPanel* Panel1 = nullptr;
  int N1Clicks = 0, Popups = 0;
};

const char* kMenuForm =
    "object MenuForm1: TMenuForm1\n"
    "  BorderStyle = bsNone\n"
    "  Menu = MainMenu1\n"
    "  object Panel1: TPanel\n"
    "    Width = 100\n"
    "    Height = 50\n"
    "    PopupMenu = PopupMenu1\n"
    "  end\n"
    "  object MainMenu1: TMainMenu\n"
    "    object F1: TMenuItem\n"
    "      Caption = '文件'\n"
    "    end\n"
    "  end\n"
    "  object PopupMenu1: TPopupMenu\n"
    "    AutoPopup = False\n"
    "    Alignment = paRight\n"
    "    OnPopup = PopupMenu1Popup\n"
    "    object N1: TMenuItem\n"
    "      Caption = '打开'\n"
    "      ShortCut = 16463\n"
    "      OnClick = N1Click\n"
    "    end\n"
    "    object N2: TMenuItem\n"
    "      Caption = '-'\n"
    "    end\n"
    "    object N3: TMenuItem\n"
    "      Caption = '快照保存类型'\n"
    "      object N31: TMenuItem\n"
    "        Caption = 'BMP'\n"
    "        Checked = True\n"
    "        GroupIndex = 1\n"
    "        RadioItem = True\n"
    "        ShortCut = 'Ctrl+B'\n"
    "      end\n"
    "      object N32: TMenuItem\n"
    "        Caption = 'JPG'\n"
    "        GroupIndex = 1\n"
    "        RadioItem = True\n"
    "        AutoCheck = True\n"
    "        Enabled = False\n"
    "      end\n"
    "    end\n"
    "  end\n"
    "end\n";

TEST(MenuStreaming, ItemsNestInTheirMenuAndControlsReferToIt) {
  std::unique_ptr<TMenuForm1> f(new TMenuForm1(nullptr));
  ReadFormDescription(f.get(), kMenuForm, "MenuForm1.dfm");
  ASSERT_TRUE(f->PopupMenu1 && f->N1 && f->N3 && f->N31 && f->MainMenu1);
  EXPECT_EQ(f->Panel1->PopupMenu(), f->PopupMenu1);
  EXPECT_EQ(f->Menu(), f->MainMenu1);
  EXPECT_EQ(Captions(f->MainMenu1->Items()), (std::vector<std::string>{"文件"}));
  EXPECT_EQ(Captions(f->PopupMenu1->Items()), (std::vector<std::string>{"打开", "-", "快照保存类型"}));
  EXPECT_EQ(Captions(f->N3), (std::vector<std::string>{"BMP", "JPG"}));
  EXPECT_FALSE(f->PopupMenu1->AutoPopup());
  EXPECT_EQ(f->PopupMenu1->Alignment(), paRight);
  EXPECT_EQ(f->N1->ShortCut(), TShortCut('O') | scCtrl);
  EXPECT_EQ(f->N31->ShortCut(), TShortCut('B') | scCtrl);
  EXPECT_TRUE(f->N31->Checked());
  EXPECT_EQ(f->N31->GetParentMenu(), f->PopupMenu1);
  EXPECT_FALSE(f->N3->Items(1)->Enabled());
  EXPECT_TRUE(f->N3->Items(1)->AutoCheck());
  EXPECT_TRUE(f->PopupMenu1->DispatchCommand(f->N1->Command()));
  EXPECT_EQ(f->N1Clicks, 1);
  EXPECT_FALSE(f->PopupMenu1->DispatchCommand(0));
  uint32_t command = f->N31->Command();
  f->N3->Delete(0);  // gone from the tree and from its owner
  EXPECT_EQ(f->FindComponent("N31"), nullptr);
  EXPECT_EQ(f->PopupMenu1->FindItem(command, fkCommand), nullptr);
  EXPECT_FALSE(f->PopupMenu1->DispatchCommand(command));
}

TEST(MenuStreaming, AMenuItemOutsideAMenuAndABadShortCutAreRefused) {
  for (const char* text : {
           "object MenuForm1: TMenuForm1\n  object X: TMenuItem\n  end\nend\n",
           "object MenuForm1: TMenuForm1\n  object P: TPopupMenu\n    object X: TMenuItem\n"
           "      ShortCut = 'Ctrl+Ctrl'\n    end\n  end\nend\n",
           "object MenuForm1: TMenuForm1\n  object P: TPopupMenu\n    object X: TMenuItem\n"
           "      ShortCut = 70000\n    end\n  end\nend\n",
       }) {
    std::unique_ptr<TMenuForm1> f(new TMenuForm1(nullptr));
    EXPECT_THROW(ReadFormDescription(f.get(), text, "bad.dfm"), EFormError) << text;
    EXPECT_EQ(f->ComponentCount(), 0) << text;
  }
}

}  // namespace
