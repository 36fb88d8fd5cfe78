// The images menu on the headless backend: the grid's layout, size and place, the keys that move
// the hot item, the order of the events when the grid closes, what an empty menu and an
// ItemIndex naming no item do, the capture and Application.OnMessage it takes and gives back,
// the deferred release of its window, and form streaming.
#include <gtest/gtest.h>

#include <map>

#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/forms/kxSkinHint.h"
#include "lib/forms/kxSkinImagesMenu.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "tests/classlib/ControlTestFixture.h"

namespace {

using namespace win;

TCustomImageList* Pictures(TComponent* Owner, int Count) {
  auto* il = new TImageList(Owner);
  il->SetSize(16, 16);
  for (int i = 0; i < Count; ++i) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(TColor(0x101010 * (i + 1)));
    b.Canvas()->FillRect(TRect{0, 0, 16, 16});
    il->Add(&b, nullptr);
  }
  return il;
}

// Counts the keys that reach the focused control.
struct KeyProbe : ctltest::WinProbe {
  using Base = ctltest::WinProbe;
  using Base::Base;
  int Keys = 0;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_KEYDOWN) ++Keys;
    Base::Dispatch(m);
  }
};

class ImagesMenuTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(100, 100, 300, 200);
    focus = Make<KeyProbe>(form, "focus", 10, 10, 50, 20);
    focus->SetTabStop(true);
    Application->SetMainForm(form);
    form->Show();
    Pump();
    focus->SetFocus();
    Pump();
    menu = new TkxSkinImagesMenu(form);
    menu->SetImages(Pictures(form, 12));
    menu->OnInternalMenuClose = [this](TObject*) { events.push_back("internal close"); };
    menu->OnMenuClose = [this](TObject*) { events.push_back("close"); };
    menu->OnItemClick = [this](TObject*) { events.push_back("item click"); };
    menu->OnInternalChange = [this](TObject*) { events.push_back("internal change"); };
    menu->OnChange = [this](TObject*) { events.push_back("change"); };
    menu->OnMenuPopup = [this](TObject*) { events.push_back("popup"); };
  }
  void TearDown() override {
    Application->OnMessage = nullptr;
    Application->CancelHint();
    Application->SetMainForm(nullptr);
    owner.reset();
    // A hint component of a test installed its window class and handler.
    Application->OnShowHint = nullptr;
    Application->HintShortPause = 50;
    HintWindowClass() = HintWindowClassOf<THintWindow>();
    Application->SetShowHint(false);
    Application->SetShowHint(true);
    ControlTest::TearDown();
  }

  TkxImagesMenuItem* Add(const std::string& kind = "cell", const std::string& caption = "") {
    TkxImagesMenuItem* it = menu->ImagesItems()->Add();
    it->SetImageIndex(menu->ImagesItems()->Count() - 1);
    it->SetHeader(kind == "header");
    it->SetButton(kind == "button");
    it->SetCaption(caption);
    const std::string name = "item " + std::to_string(menu->ImagesItems()->Count() - 1);
    it->OnClick = [this, name](TObject* sender) {
      EXPECT_EQ(sender, menu);
      events.push_back(name);
    };
    return it;
  }
  TkxSkinImagesMenuPopupWindow* Grid() const { return menu->FPopupWindow; }
  // Keys go through the application's loop, where the open grid's handler sees them.
  void Key(int vk) {
    headless::PressKey(vk);
    Application->ProcessMessages();
  }
  void Open() {
    menu->PopupFromRect(TRect{200, 150, 260, 170});
    Pump();
    events.clear();
  }
  TPoint CellCentre(int i) {
    const TRect r = menu->ImagesItems()->Items(i)->ItemRect;
    RECT w{};
    GetWindowRect(Grid()->Handle(), &w);
    return TPoint{w.left + (r.left + r.right) / 2, w.top + (r.top + r.bottom) / 2};
  }

  TForm* form = nullptr;
  KeyProbe* focus = nullptr;
  TkxSkinImagesMenu* menu = nullptr;
  std::vector<std::string> events;
};

// ---- layout -------------------------------------------------------------------------------------------

TEST_F(ImagesMenuTest, CellsFillRowsOfColumnsCountAndAHeaderOrButtonClosesAnOpenRow) {
  menu->SetColumnsCount(4);
  for (int i = 0; i < 6; ++i) Add();
  Add("header", "标题");
  for (int i = 0; i < 3; ++i) Add();
  Add("button", "更多");
  Open();
  ASSERT_NE(Grid(), nullptr);
  // Cells of 16 + 10 touching in a row, rows one pixel apart, from (5, 5) in the plain look.
  const TRect expected[] = {
      {5, 5, 31, 31},     {31, 5, 57, 31},  {57, 5, 83, 31},  {83, 5, 109, 31},
      {5, 32, 31, 58},    {31, 32, 57, 58},                   // the header closes this row early
      {5, 59, 109, 85},                                       // header: full width, cell height
      {5, 86, 31, 112},   {31, 86, 57, 112}, {57, 86, 83, 112},
      {5, 113, 109, 139},                                     // button row
  };
  for (int i = 0; i < 11; ++i) {
    const TRect r = menu->ImagesItems()->Items(i)->ItemRect;
    EXPECT_TRUE(IsEqualRects(r, expected[i])) << i << ": " << r.left << "," << r.top << "," << r.right << ","
                                               << r.bottom;
  }
  EXPECT_EQ(Grid()->Width(), 4 * 26 + 10);
  EXPECT_EQ(Grid()->Height(), 139 - 5 + 10);
}

TEST_F(ImagesMenuTest, TenCellsInFourColumnsMakeRowsOfFourFourAndTwo) {
  menu->SetColumnsCount(4);
  for (int i = 0; i < 10; ++i) Add();
  Open();
  std::map<int, int> rows;
  for (int i = 0; i < 10; ++i) ++rows[menu->ImagesItems()->Items(i)->ItemRect.top];
  EXPECT_EQ(rows, (std::map<int, int>{{5, 4}, {32, 4}, {59, 2}}));
}

TEST_F(ImagesMenuTest, ColumnsCountTakesOneToFifty) {
  for (int v : {0, 51, -3}) {
    menu->SetColumnsCount(7);
    menu->SetColumnsCount(v);
    EXPECT_EQ(menu->ColumnsCount(), 7) << v;
  }
  menu->SetColumnsCount(50);
  EXPECT_EQ(menu->ColumnsCount(), 50);
  menu->SetColumnsCount(1);
  EXPECT_EQ(menu->ColumnsCount(), 1);
}

// ---- place ----------------------------------------------------------------------------------------------

TEST_F(ImagesMenuTest, TheGridOpensBelowTheRectElseAboveItAndStaysOnTheWorkArea) {
  menu->SetColumnsCount(3);
  for (int i = 0; i < 6; ++i) Add();
  // Work area 0,0 - 1920,1040; the grid is 88 x 63.
  struct Case {
    TRect r;
    int left, top;
  } cases[] = {
      {{200, 150, 260, 170}, 200, 170},
      {{200, 900, 260, 977}, 200, 977},       // just fits: 977 + 63 = 1040
      {{200, 900, 260, 978}, 200, 900 - 63},  // does not: above the rect
      {{1900, 150, 1910, 170}, 1920 - 88, 170},
      {{-30, 10, 0, 20}, 0, 20},
  };
  for (const Case& c : cases) {
    menu->PopupFromRect(c.r);
    Pump();
    ASSERT_NE(Grid(), nullptr);
    RECT w{};
    GetWindowRect(Grid()->Handle(), &w);
    EXPECT_EQ(w.left, c.left) << c.r.top;
    EXPECT_EQ(w.top, c.top) << c.r.top;
    EXPECT_EQ(RectWidth(w), 88);
    EXPECT_EQ(RectHeight(w), 63);
    menu->Hide();
    Pump();
  }
}

// ---- keys -----------------------------------------------------------------------------------------------

TEST_F(ImagesMenuTest, TheArrowKeysMoveTheHotItemThroughTheGrid) {
  // A header, then five cells in rows of three, then a button:
  //   0: header
  //   1 2 3
  //   4 5
  //   6: button
  menu->SetColumnsCount(3);
  Add("header", "标题");
  for (int i = 0; i < 5; ++i) Add();
  Add("button", "更多");
  struct Case {
    std::vector<int> keys;
    int hot;
  } cases[] = {
      {{VK_RIGHT}, 1},                      // the first after the header
      {{VK_RIGHT, VK_RIGHT}, 2},
      {{VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT}, 4},  // on into the next row
      {{VK_LEFT}, 6},                       // none hot: the last
      {{VK_RIGHT, VK_LEFT}, 6},             // from the first after a header: wraps to the last
      {{VK_LEFT, VK_RIGHT}, 1},             // from the last: the first that is not a header
      {{VK_LEFT, VK_LEFT}, 5},
      {{VK_DOWN}, 1},
      {{VK_DOWN, VK_DOWN}, 4},              // same left edge, lower
      {{VK_DOWN, VK_DOWN, VK_DOWN}, 6},     // a button row below
      {{VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN}, 6},  // nothing below: unchanged
      {{VK_RIGHT, VK_RIGHT, VK_DOWN}, 5},
      {{VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_DOWN}, 6},  // no cell below 3: the button
      {{VK_UP}, 6},
      {{VK_UP, VK_UP}, 4},                  // from the button: the nearest cell at its left edge
      {{VK_UP, VK_UP, VK_UP}, 1},
      {{VK_UP, VK_UP, VK_UP, VK_UP}, 1},    // the header is never hot
      {{VK_RIGHT, 'A', VK_TAB}, 1},         // other keys change nothing
  };
  for (const Case& c : cases) {
    Open();
    ASSERT_NE(Grid(), nullptr);
    for (int k : c.keys) Key(k);
    ASSERT_NE(Grid(), nullptr);
    EXPECT_EQ(Grid()->MouseInItem, c.hot) << "case ending at " << c.hot << " after " << c.keys.size() << " keys";
    Key(VK_ESCAPE);
    EXPECT_EQ(Grid(), nullptr);
  }
  // None of these keys reached the focused control.
  EXPECT_EQ(focus->Keys, 0);
}

TEST_F(ImagesMenuTest, EnterOrSpaceChoosesTheHotItemAndEscapeNothing) {
  for (int i = 0; i < 4; ++i) Add();
  menu->SetColumnsCount(4);
  menu->SetItemIndex(1);
  struct Case {
    std::vector<int> keys;
    int index;
    std::vector<std::string> events;
  } cases[] = {
      {{VK_RIGHT, VK_RIGHT, VK_RETURN}, 1,
       {"internal close", "close", "item 1", "item click"}},  // the same item again: no change
      {{VK_LEFT, VK_SPACE}, 3, {"internal close", "close", "item 3", "item click", "internal change", "change"}},
      {{VK_RETURN}, 3, {"internal close", "close", "item 3", "item click"}},  // none hot: reported again
      {{VK_RIGHT, VK_ESCAPE}, 3, {"internal close", "close"}},
  };
  for (const Case& c : cases) {
    Open();
    for (int k : c.keys) Key(k);
    EXPECT_EQ(Grid(), nullptr);
    EXPECT_EQ(menu->ItemIndex(), c.index);
    EXPECT_EQ(events, c.events);
  }
  EXPECT_EQ(focus->Keys, 0);
}

// ---- the mouse and the event order -------------------------------------------------------------------------

TEST_F(ImagesMenuTest, AClickOnAnItemChoosesItAndAClickOutsideOnlyCloses) {
  for (int i = 0; i < 4; ++i) Add();
  menu->SetColumnsCount(2);
  Open();
  const TPoint p = CellCentre(3);
  headless::MoveMouse(p.x, p.y);
  Pump();
  EXPECT_EQ(Grid()->MouseInItem, 3);
  headless::ButtonDown();
  Pump();
  EXPECT_TRUE(Grid()->FItemDown);
  headless::ButtonUp();
  Pump();
  EXPECT_EQ(Grid(), nullptr);
  EXPECT_EQ(menu->ItemIndex(), 3);
  EXPECT_EQ(events, (std::vector<std::string>{"internal close", "close", "item 3", "item click", "internal change",
                                              "change"}));

  Open();
  headless::Click(20, 20);  // far from the grid, over the desktop
  Pump();
  EXPECT_EQ(Grid(), nullptr);
  EXPECT_EQ(events, (std::vector<std::string>{"internal close", "close"}));
  EXPECT_EQ(GetCapture(), nullptr);

  // A release without a press in the grid (the press that opened it) keeps it open.
  headless::MoveMouse(p.x, p.y);
  headless::ButtonDown();
  Pump();
  Open();
  headless::ButtonUp();
  Pump();
  ASSERT_NE(Grid(), nullptr);
  EXPECT_EQ(GetCapture(), Grid()->Handle());
  EXPECT_TRUE(events.empty());
}

TEST_F(ImagesMenuTest, AnItemIndexNamingNoItemFiresNoItemEvents) {
  for (int i = 0; i < 3; ++i) Add();
  menu->SetItemIndex(7);
  EXPECT_EQ(menu->SelectedItem(), nullptr);
  Open();
  Key(VK_RETURN);
  EXPECT_EQ(Grid(), nullptr);
  EXPECT_EQ(events, (std::vector<std::string>{"internal close", "close"}));
  menu->SetItemIndex(-1);
  EXPECT_EQ(menu->SelectedItem(), nullptr);
  menu->SetItemIndex(2);
  EXPECT_EQ(menu->SelectedItem(), menu->ImagesItems()->Items(2));
}

TEST_F(ImagesMenuTest, WithoutPicturesOrItemsNothingOpensButThePopupEventFires) {
  struct Case {
    int pictures, items;
    bool list;
  } cases[] = {{0, 3, true}, {12, 0, true}, {0, 0, false}};
  for (const Case& c : cases) {
    menu->ImagesItems()->Clear();
    for (int i = 0; i < c.items; ++i) Add();
    menu->SetImages(c.list ? Pictures(form, c.pictures) : nullptr);
    events.clear();
    menu->Popup(300, 300);
    Pump();
    EXPECT_EQ(Grid(), nullptr);
    EXPECT_EQ(events, (std::vector<std::string>{"popup"}));
  }
}

TEST_F(ImagesMenuTest, TheGridFadesInByTensAfterMoreThanFiveMilliseconds) {
  headless::SetLayeredAvailable(true);
  for (int i = 0; i < 3; ++i) Add();
  menu->SetAlphaBlend(true);
  menu->SetAlphaBlendAnimation(true);
  menu->SetAlphaBlendValue(95);
  Open();
  HWND w = Grid()->Handle();
  EXPECT_EQ(headless::SurfaceAlpha(w), 0);
  std::vector<int> seen;
  for (int ms = 1; ms <= 100 && Grid()->Fading(); ++ms) {
    clock.Advance(1);
    Pump();
    const int a = headless::SurfaceAlpha(w);
    if (seen.empty() ? a != 0 : a != seen.back()) {
      seen.push_back(a);
      EXPECT_EQ(ms % 6, 0);
    }
  }
  EXPECT_EQ(seen, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 95}));
  // Keys work while it fades, and closing ends the fade.
  Key(VK_ESCAPE);
  EXPECT_EQ(Grid(), nullptr);
}

// ---- what the open grid takes and gives back -----------------------------------------------------------------

TEST_F(ImagesMenuTest, TheOpenGridHoldsCaptureAndMessagesAndGivesThemBackWhenItCloses) {
  for (int i = 0; i < 3; ++i) Add();
  int seen = 0;
  Application->OnMessage = [&](MSG& m, bool&) {
    if (m.message == WM_KEYDOWN) ++seen;
  };
  Open();
  TkxSkinImagesMenuPopupWindow* w = Grid();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(GetCapture(), w->Handle());
  EXPECT_NE(GetFocus(), w->Handle());  // never focused
  Key(VK_RIGHT);
  EXPECT_EQ(seen, 0);  // the application's handler waits while the grid is open
  // A press of the right button (or a menu key) closes it without a choice.
  PostMessage(form->Handle(), WM_RBUTTONDOWN, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(Grid(), nullptr);
  EXPECT_EQ(events, (std::vector<std::string>{"internal close", "close"}));
  EXPECT_EQ(GetCapture(), nullptr);
  Key(VK_RIGHT);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(focus->Keys, 1);

  // The window went after the message that closed it, not under its handler.
  int grids = 0;
  for (int i = 0; i < menu->ComponentCount(); ++i)
    if (dynamic_cast<TkxSkinImagesMenuPopupWindow*>(menu->Components(i))) ++grids;
  EXPECT_EQ(grids, 0);
}

TEST_F(ImagesMenuTest, ReopeningClosesTheOpenGridFirstAndFreeingTheMenuGivesBackTheHandler) {
  for (int i = 0; i < 3; ++i) Add();
  bool own = false;
  Application->OnMessage = [&](MSG&, bool&) { own = true; };
  Open();
  TkxSkinImagesMenuPopupWindow* first = Grid();
  menu->Popup(400, 400);
  EXPECT_NE(Grid(), nullptr);
  EXPECT_NE(Grid(), first);
  EXPECT_EQ(events, (std::vector<std::string>{"internal close", "close", "popup"}));
  delete menu;
  menu = nullptr;
  EXPECT_EQ(GetCapture(), nullptr);
  MSG m{};
  bool handled = false;
  Application->OnMessage(m, handled);
  EXPECT_TRUE(own);
  Pump();  // the first grid's pending release finds no window
}

TEST_F(ImagesMenuTest, AHotItemShowsItsHintAfterThePause) {
  auto* hint = new TkxSkinHint(form);
  menu->SetSkinHint(hint);
  Add()->SetHint("第一");
  Add();
  Open();
  const TPoint p = CellCentre(0);
  headless::MoveMouse(p.x, p.y);
  Pump();
  for (int i = 0; i < Application->HintPause; ++i) {
    clock.Advance(1);
    Pump();
  }
  EXPECT_TRUE(hint->IsVisible());
  EXPECT_EQ(hint->HW->Caption(), "第一");
  Key(VK_ESCAPE);
  EXPECT_FALSE(hint->IsVisible());
}

// ---- streaming -------------------------------------------------------------------------------------------------

TEST_F(ImagesMenuTest, TheMenuAndItsItemsStream) {
  RegisterSkinDataFormClasses();
  RegisterSkinHintFormClasses();
  RegisterSkinImagesMenuFormClasses();
  const std::string text =
      "object Main: TForm\n"
      "  object im: TkxSkinImagesMenu\n"
      "    ColumnsCount = 5\n"
      "    ItemIndex = 2\n"
      "    ShowHints = False\n"
      "    ShowSelectedItem = False\n"
      "    AlphaBlendValue = 150\n"
      "    ImagesItems = <\n"
      "      item\n"
      "        Caption = '标题'\n"
      "        Header = True\n"
      "      end\n"
      "      item\n"
      "        ImageIndex = 3\n"
      "        Hint = 'three'\n"
      "        OnClick = Picked\n"
      "      end\n"
      "      item\n"
      "        Button = True\n"
      "        Caption = 'More'\n"
      "      end>\n"
      "    OnItemClick = Picked\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(owner.get());
  int picked = 0;
  THandlerTable handlers;
  handlers.Add<TNotifyEvent>("Picked", [&](TObject*) { ++picked; });
  ReadFormDescription(f, text, "main.dfm", &handlers);
  auto* m = dynamic_cast<TkxSkinImagesMenu*>(f->FindComponent("im"));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->ColumnsCount(), 5);
  EXPECT_EQ(m->ItemIndex(), 2);
  EXPECT_FALSE(m->ShowHints());
  EXPECT_FALSE(m->ShowSelectedItem());
  EXPECT_EQ(m->AlphaBlendValue(), 150);
  ASSERT_EQ(m->ImagesItems()->Count(), 3);
  EXPECT_TRUE(m->ImagesItems()->Items(0)->Header());
  EXPECT_EQ(m->ImagesItems()->Items(0)->Caption(), "标题");
  EXPECT_EQ(m->ImagesItems()->Items(1)->ImageIndex(), 3);
  EXPECT_EQ(m->ImagesItems()->Items(1)->Hint(), "three");
  EXPECT_TRUE(m->ImagesItems()->Items(2)->Button());
  m->ImagesItems()->Items(1)->OnClick(m);
  m->OnItemClick(m);
  EXPECT_EQ(picked, 2);

  // Assign copies picture, caption, button and hint, not the header flag nor the click.
  TkxImagesMenuItem* copy = menu->ImagesItems()->Add();
  copy->Assign(m->ImagesItems()->Items(0));
  EXPECT_EQ(copy->Caption(), "标题");
  EXPECT_FALSE(copy->Header());
  copy->Assign(m->ImagesItems()->Items(1));
  EXPECT_EQ(copy->ImageIndex(), 3);
  EXPECT_FALSE(bool(copy->OnClick));
}

}  // namespace
