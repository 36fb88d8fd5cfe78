// Hints on the headless backend with the stepped clock: the pauses, the short pause from one
// control to the next, what turns a hint off, what the control (CM_HINTSHOW) and
// Application.OnShowHint may change, a replaced hint window class, and the hint window's
// behaviour as a popup that never takes the activation or the focus.
#include "classlib/EditCtrls.h"
#include "classlib/Hints.h"
#include "classlib/ScrollCtrls.h"
#include "classlib/StdCtrls.h"
#include "tests/classlib/ControlTestFixture.h"

using namespace ctltest;

namespace {

// A control that answers CM_HINTSHOW as a test tells it.
struct HintProbe : WinProbe {
  using WinProbe::WinProbe;
  std::function<LRESULT(THintInfo&)> OnHintShow;
  int Asked = 0;
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_HINTSHOW) {
      ++Asked;
      if (OnHintShow) {
        m.Result = OnHintShow(*reinterpret_cast<THintInfo*>(m.LParam));
        return;
      }
    }
    WinProbe::Dispatch(m);
  }
};

// A hint window class of a test's own, as a skinned hint installs one.
struct CountingHint : THintWindow {
  using THintWindow::THintWindow;
  static inline int Activations = 0;
  void ActivateHint(TRect Rect, const std::string& AHint) override {
    ++Activations;
    THintWindow::ActivateHint(Rect, AHint);
  }
};

class HintTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    Application->CancelHint();
    Application->SetShowHint(true);
    Application->HintPause = 500;
    Application->HintHidePause = 2500;
    Application->HintShortPause = 50;
    Application->OnShowHint = nullptr;
    Application->OnHint = nullptr;
    form = NewForm(100, 100, 300, 120);
    a = Make<HintProbe>(form, "a", 10, 10, 80, 40);
    b = Make<HintProbe>(form, "b", 110, 10, 80, 40);
    a->SetHint("第一|the first control");
    a->SetShowHint(true);
    b->SetHint("第二");
    b->SetShowHint(true);
    form->Show();
    Pump();
  }
  void TearDown() override {
    Application->CancelHint();
    Application->OnShowHint = nullptr;
    Application->OnHint = nullptr;
    if (replacedClass) {
      HintWindowClass() = HintWindowClassOf<THintWindow>();
      Application->SetShowHint(false);
      Application->SetShowHint(true);
    }
    ControlTest::TearDown();
  }
  void Wait(int ms) {
    clock.Advance(uint64_t(ms));
    Pump();
  }
  bool Shown() {
    THintWindow* w = Application->HintWindow();
    return w && w->IsShowing();
  }
  std::string ShownText() { return Shown() ? Application->HintWindow()->Caption() : std::string("<none>"); }

  TForm* form = nullptr;
  HintProbe* a = nullptr;
  HintProbe* b = nullptr;
  bool replacedClass = false;
};

TEST_F(HintTest, ShowsAfterThePauseBelowThePointerAndHidesAfterTheHidePause) {
  MoveTo(a, 20, 20);
  Wait(499);
  EXPECT_FALSE(Shown());
  Wait(1);
  ASSERT_TRUE(Shown());
  EXPECT_EQ(ShownText(), "第一");  // the short part
  EXPECT_EQ(Application->Hint(), "the first control");  // the long part
  RECT wr;
  GetWindowRect(Application->HintWindow()->Handle(), &wr);
  TPoint cursor = a->ClientToScreen(TPoint{20, 20});
  EXPECT_EQ(wr.left, cursor.x);
  EXPECT_EQ(wr.top, cursor.y + GetCursorHeightMargin());
  // The plain look: info-tip background inside a one-pixel frame.
  HWND h = Application->HintWindow()->Handle();
  EXPECT_EQ(Rgb(headless::PixelAt(h, 1, 1)), Px(clInfoBk));
  EXPECT_NE(Rgb(headless::PixelAt(h, 0, 0)), Px(clInfoBk));

  // Small moves inside the control keep the hint and its timing.
  MoveTo(a, 22, 21);
  EXPECT_TRUE(Shown());
  Wait(2499);
  EXPECT_TRUE(Shown());
  Wait(1);
  EXPECT_FALSE(Shown());
  // Resting on the same control brings no second hint.
  MoveTo(a, 25, 25);
  Wait(3000);
  EXPECT_FALSE(Shown());
}

TEST_F(HintTest, MovingToTheNextControlWaitsOnlyTheShortPause) {
  MoveTo(a, 20, 20);
  Wait(500);
  ASSERT_EQ(ShownText(), "第一");
  MoveTo(b, 20, 20);
  EXPECT_FALSE(Shown());  // the old hint goes at once
  Wait(49);
  EXPECT_FALSE(Shown());
  Wait(1);
  EXPECT_EQ(ShownText(), "第二");
  EXPECT_EQ(Application->Hint(), "第二");  // no "|": both parts are the whole hint

  // Once the hint has timed out, the next control waits the whole pause again.
  Wait(2500);
  ASSERT_FALSE(Shown());
  MoveTo(a, 20, 20);
  Wait(50);
  EXPECT_FALSE(Shown());
  Wait(450);
  EXPECT_EQ(ShownText(), "第一");
}

TEST_F(HintTest, NoHintWhenHintsAreOffOrThereIsNothingToShow) {
  struct Case {
    const char* what;
    std::function<void()> setup;
  };
  std::vector<Case> cases = {
      {"Application.ShowHint off", [this] { Application->SetShowHint(false); }},
      {"empty hint", [this] { a->SetHint(""); }},
      {"control's ShowHint off", [this] { a->SetShowHint(false); }},
      {"CM_HINTSHOW refuses", [this] { a->OnHintShow = [](THintInfo&) -> LRESULT { return 1; }; }},
      {"OnShowHint refuses",
       [this] { Application->OnShowHint = [](std::string&, bool& can, THintInfo&) { can = false; }; }},
      {"OnShowHint empties the text",
       [this] { Application->OnShowHint = [](std::string& s, bool&, THintInfo&) { s.clear(); }; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    a->SetHint("第一|the first control");
    a->SetShowHint(true);
    a->OnHintShow = nullptr;
    Application->OnShowHint = nullptr;
    Application->SetShowHint(true);
    MoveTo(form, 250, 100);  // off the controls
    c.setup();
    MoveTo(a, 20, 20);
    Wait(3000);
    EXPECT_FALSE(Shown());
  }
}

TEST_F(HintTest, ParentShowHintTakesTheFormsSetting) {
  auto* g = Make<HintProbe>(form, "g", 200, 60, 40, 30);
  g->SetHint("继承");
  EXPECT_TRUE(g->ParentShowHint());
  MoveTo(g, 5, 5);
  Wait(500);
  EXPECT_FALSE(Shown());  // the form's ShowHint is off
  MoveTo(form, 250, 10);
  form->SetShowHint(true);
  EXPECT_TRUE(g->ShowHint());
  MoveTo(g, 5, 5);
  Wait(500);
  EXPECT_EQ(ShownText(), "继承");
}

TEST_F(HintTest, HintColorPaintsTheWindow) {
  Application->SetHintColor(clAqua);
  MoveTo(a, 20, 20);
  Wait(500);
  ASSERT_TRUE(Shown());
  EXPECT_EQ(Rgb(headless::PixelAt(Application->HintWindow()->Handle(), 1, 1)), Px(clAqua));
  Application->SetHintColor(clInfoBk);
}

TEST_F(HintTest, ControlAndOnShowHintMayChangeTheHint) {
  a->OnHintShow = [](THintInfo& info) -> LRESULT {
    EXPECT_EQ(info.HintStr, "第一");
    EXPECT_EQ(info.HintMaxWidth > 0, true);
    EXPECT_EQ(info.HideTimeout, 2500);
    info.HintStr = "控件改过";
    info.HideTimeout = 100;
    return 0;
  };
  TControl* seenControl = nullptr;
  TPoint seenPos{};
  Application->OnShowHint = [&](std::string& s, bool& can, THintInfo& info) {
    EXPECT_TRUE(can);
    seenControl = info.HintControl;
    seenPos = info.CursorPos;
    EXPECT_EQ(s, "控件改过");
    s += "\n第二行";
    info.HintPos = TPoint{5, 6};
    info.HintColor = clYellow;
  };
  MoveTo(a, 20, 20);
  Wait(500);
  ASSERT_TRUE(Shown());
  EXPECT_EQ(seenControl, a);
  EXPECT_EQ(seenPos, (TPoint{20, 20}));
  EXPECT_EQ(ShownText(), "控件改过\n第二行");
  RECT wr;
  HWND h = Application->HintWindow()->Handle();
  GetWindowRect(h, &wr);
  EXPECT_EQ(wr.left, 5);
  EXPECT_EQ(wr.top, 6);
  EXPECT_EQ(Rgb(headless::PixelAt(h, 1, 1)), Px(clYellow));
  Wait(99);
  EXPECT_TRUE(Shown());
  Wait(1);
  EXPECT_FALSE(Shown());  // the control's shorter hide timeout
}

TEST_F(HintTest, AReplacedHintWindowClassIsUsedAfterTogglingShowHint) {
  MoveTo(a, 20, 20);
  Wait(500);
  ASSERT_TRUE(Shown());
  CountingHint::Activations = 0;
  HintWindowClass() = HintWindowClassOf<CountingHint>();
  replacedClass = true;
  EXPECT_EQ(dynamic_cast<CountingHint*>(Application->HintWindow()), nullptr);
  Application->SetShowHint(!Application->ShowHint());
  EXPECT_FALSE(Shown());
  EXPECT_EQ(Application->HintWindow(), nullptr);
  Application->SetShowHint(!Application->ShowHint());
  ASSERT_NE(dynamic_cast<CountingHint*>(Application->HintWindow()), nullptr);
  MoveTo(b, 20, 20);
  Wait(500);
  EXPECT_EQ(ShownText(), "第二");
  EXPECT_EQ(CountingHint::Activations, 1);
}

TEST_F(HintTest, PressesKeysAndLeavingEndTheHint) {
  struct Case {
    const char* what;
    std::function<void()> act;
  };
  std::vector<Case> cases = {
      {"left press", [this] { ClickAt(a, 20, 20); }},
      {"right press", [this] {
         TPoint p = a->ClientToScreen(TPoint{20, 20});
         headless::Click(p.x, p.y, 1);
         Pump();
       }},
      {"key", [this] {
         headless::PressKey(VK_SHIFT);
         Pump();
       }},
      {"off the controls", [this] { MoveTo(form, 250, 100); }},
      {"out of the program's windows", [this] {
         headless::MoveMouse(700, 500);
         Pump();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MoveTo(form, 250, 100);
    MoveTo(a, 20, 20);
    Wait(500);
    ASSERT_TRUE(Shown());
    c.act();
    EXPECT_FALSE(Shown());
    Wait(3000);
    EXPECT_FALSE(Shown());
  }
}

TEST_F(HintTest, TheHintWindowNeverTakesTheActivationOrTheFocus) {
  auto* e = Make<TEdit>(form, "e", 10, 60, 120, 24);
  e->SetHint("编辑框");
  e->SetShowHint(true);
  Pump();
  e->SetFocus();
  Pump();
  HWND active = GetActiveWindow();
  ASSERT_EQ(active, form->Handle());
  MoveTo(e, 10, 5);
  Wait(500);
  ASSERT_TRUE(Shown());
  HWND h = Application->HintWindow()->Handle();
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_EQ(GetActiveWindow(), active);
  EXPECT_EQ(GetFocus(), e->Handle());
  EXPECT_TRUE(GetWindowLongPtr(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // A press where the hint lies reaches the control beneath it and keeps the focus with the form.
  RECT wr;
  GetWindowRect(h, &wr);
  int clicks = 0;
  b->SetBounds(10, 84, 200, 36);
  b->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++clicks; };
  TPoint bp = b->ClientToScreen(TPoint{0, 0});
  ASSERT_TRUE(wr.top >= bp.y && wr.top < bp.y + 30);
  headless::Click(wr.left + 2, wr.top + 2);
  Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(GetActiveWindow(), active);
}

TEST_F(HintTest, AHintNearTheWorkAreasEdgeStaysOnIt) {
  RECT wa{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &wa, 0);
  form->SetBounds(wa.right - 60, wa.bottom - 30, 60, 30);
  a->SetBounds(0, 0, 60, 30);
  a->SetHint("一个相当长的提示文字");
  Pump();
  MoveTo(a, 55, 25);
  Wait(500);
  ASSERT_TRUE(Shown());
  RECT wr;
  GetWindowRect(Application->HintWindow()->Handle(), &wr);
  EXPECT_LE(wr.right, wa.right);
  EXPECT_GE(wr.left, wa.left);
  TPoint cursor = a->ClientToScreen(TPoint{55, 25});
  EXPECT_LE(wr.bottom, cursor.y);  // above the pointer, where there is room
}

TEST_F(HintTest, AControlFreedWhileItsHintIsPendingOrShownIsForgotten) {
  MoveTo(a, 20, 20);
  Wait(100);
  delete a;
  a = nullptr;
  Wait(1000);  // the pending timer finds no control
  EXPECT_FALSE(Shown());
  MoveTo(b, 20, 20);
  Wait(500);
  ASSERT_TRUE(Shown());
  delete b;
  b = nullptr;
  EXPECT_FALSE(Shown());
  Wait(3000);
}

// The plain looks of this area together: a two-line Chinese hint over a button, a scroll bar of
// each kind and an up/down beside its edit, composed by the headless backend into
// hint-scroll-looks.png in the build folder for a person to look at.
TEST_F(HintTest, PlainLooksPicture) {
  form->SetBounds(0, 0, 320, 170);
  form->SetColor(clBtnFace);
  a->SetVisible(false);
  b->SetVisible(false);
  auto* button = Make<TButton>(form, "button", 10, 10, 90, 28);
  button->SetCaption("开始转换");
  button->SetHint("开始转换所选的文件\n完成后输出到目标文件夹|转换");
  button->SetShowHint(true);
  auto* e = Make<TEdit>(form, "e", 10, 120, 80, 22);
  auto* ud = Make<TUpDown>(form, "ud", 0, 0, 17, 22);
  ud->SetMax(2000);
  ud->SetIncrement(100);
  ud->SetPosition(1200);
  ud->SetAssociate(e);
  auto* h = Make<TScrollBar>(form, "h", 120, 125, 190, 17);
  h->SetPageSize(20);
  h->SetPosition(30);
  auto* v = Make<TScrollBar>(form, "v", 290, 10, 105, 17);  // turned below
  v->SetKind(sbVertical);
  v->SetPosition(60);
  Pump();
  MoveTo(button, 40, 12);
  Wait(500);
  ASSERT_TRUE(Shown());
  EXPECT_EQ(ShownText(), "开始转换所选的文件\n完成后输出到目标文件夹");
  THintWindow* w = Application->HintWindow();
  EXPECT_GT(w->Height(), 2 * w->Canvas()->TextHeight("转"));  // two lines
  std::string path = std::string(OMBREL_TEST_BUILD_DIR) + "/hint-scroll-looks.png";
  ASSERT_TRUE(headless::SaveScreenPng(path));
  EXPECT_EQ(Rgb(headless::PixelAt(w->Handle(), 1, w->Height() - 2)), Px(clInfoBk));
}

TEST(HintText, ShortAndLongParts) {
  struct Case {
    const char* hint;
    const char* shortPart;
    const char* longPart;
  } cases[] = {
      {"", "", ""},
      {"打开", "打开", "打开"},
      {"打开|打开一个文件", "打开", "打开一个文件"},
      {"|long only", "", "long only"},
      {"short only|", "short only", ""},
      {"a|b|c", "a", "b|c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hint);
    EXPECT_EQ(GetShortHint(c.hint), c.shortPart);
    EXPECT_EQ(GetLongHint(c.hint), c.longPart);
  }
}

}  // namespace
