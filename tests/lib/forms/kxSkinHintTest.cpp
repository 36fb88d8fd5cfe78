// The skinned hint on the headless backend with the stepped clock: line breaks, placement at the
// edges of the work area, one active hint component, the title and picture of a skinned
// control's hint, hints by program with their pauses, the fade-in and form streaming.
#include <gtest/gtest.h>

#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/forms/kxSkinHint.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace win;
using ctltest::Px;
using ctltest::Rgb;

constexpr TColor kPicture = TColor(0x00C000);

// A list of 16 x 16 pictures, each filled with its own colour.
TCustomImageList* SolidImages(TComponent* Owner, std::initializer_list<TColor> Colors) {
  auto* il = new TImageList(Owner);
  il->SetSize(16, 16);
  for (TColor c : Colors) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->FillRect(TRect{0, 0, 16, 16});
    il->Add(&b, nullptr);
  }
  return il;
}

class SkinHintTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    Application->CancelHint();
    Application->SetShowHint(true);
    Application->HintPause = 500;
    Application->HintHidePause = 2500;
    Application->OnShowHint = nullptr;
    form = NewForm(100, 100, 300, 200);
    Application->SetMainForm(form);
    form->Show();
    Pump();
  }
  void TearDown() override {
    Application->CancelHint();
    Application->SetMainForm(nullptr);
    owner.reset();
    Application->OnShowHint = nullptr;
    Application->HintShortPause = 50;
    HintWindowClass() = HintWindowClassOf<THintWindow>();
    Application->SetShowHint(false);
    Application->SetShowHint(true);
    ControlTest::TearDown();
  }
  TkxSkinHint* NewHint(TComponent* Owner = nullptr) { return new TkxSkinHint(Owner ? Owner : form); }
  void Step(int ms) {
    for (int i = 0; i < ms; ++i) {
      clock.Advance(1);
      Pump();
    }
  }
  static TRect WindowRect(TControl* C) {
    RECT r{};
    GetWindowRect(static_cast<TWinControl*>(C)->Handle(), &r);
    return r;
  }
  static bool Shown(TWinControl* W) { return W->HandleAllocated() && IsWindowVisible(W->Handle()); }

  TForm* form = nullptr;
};

// ---- line breaks --------------------------------------------------------------------------------

TEST_F(SkinHintTest, TheSeparatorBecomesOneLineBreakInOnePass) {
  auto* h = NewHint();
  struct Case {
    std::string separator, text, expected;
  } cases[] = {
      {"@", "第一@second", "第一\nsecond"},
      {"@", "a@@b", "a\n\nb"},
      {"@", "@edge@", "\nedge\n"},
      {"@", "no separator", "no separator"},
      {"", "a@b", "a@b"},                    // an empty separator changes nothing
      {"<br>", "a<br>b<br", "a\nb<br"},      // a longer separator, and a cut one stays
      {"\n", "x\ny\n", "x\ny\n"},            // holding a line feed: no endless search
      {"\r\n", "p\r\nq", "p\nq"},
  };
  for (const Case& c : cases) {
    h->SetLineSeparator(c.separator);
    EXPECT_EQ(h->ReplaceLineSeparators(c.text), c.expected) << c.separator << " in " << c.text;
  }
}

TEST_F(SkinHintTest, AHintWithTheSeparatorShowsTwoLines) {
  auto* h = NewHint();
  h->ActivateHint(TPoint{300, 300}, "one");
  const TRect one = WindowRect(h->HW);
  h->ActivateHint(TPoint{300, 300}, "one@two");
  const TRect two = WindowRect(h->HW);
  h->ActivateHint(TPoint{300, 300}, "one@@two");
  const TRect three = WindowRect(h->HW);
  const int line = RectHeight(one) - 4;  // the plain look: 2 pixels around the text
  ASSERT_GT(line, 0);
  EXPECT_EQ(RectHeight(two), 2 * line + 4);
  EXPECT_EQ(RectHeight(three), 3 * line + 4);
  EXPECT_EQ(h->HW->Caption(), "one\n\ntwo");
}

// ---- placement ----------------------------------------------------------------------------------

TEST_F(SkinHintTest, NearTheRightOrBottomEdgeTheHintMovesToTheOtherSideOfItsPoint) {
  // One 1920 x 1080 monitor with a 40-pixel task bar: the work area ends at 1040.
  auto* h = NewHint();
  h->ActivateHint(TPoint{500, 500}, "a hint");
  const int W = RectWidth(WindowRect(h->HW)), H = RectHeight(WindowRect(h->HW));
  struct Case {
    TPoint p;
    int left, top;
  } cases[] = {
      {{500, 500}, 500, 500},
      {{1920 - W, 500}, 1920 - W, 500},              // touches the right edge: stays
      {{1921 - W, 500}, 1921 - W - W - 2, 500},      // one pixel over: moves left by W + 2
      {{500, 1040 - H}, 500, 1040 - H},              // touches the bottom of the work area
      {{500, 1041 - H}, 500, 1041 - H - H - 2},      // over it: moves up by H + 2
      {{1915, 1035}, 1915 - W - 2, 1035 - H - 2},    // the corner: both
  };
  for (const Case& c : cases) {
    h->ActivateHint(c.p, "a hint");
    const TRect r = WindowRect(h->HW);
    EXPECT_EQ(r.left, c.left) << c.p.x << "," << c.p.y;
    EXPECT_EQ(r.top, c.top) << c.p.x << "," << c.p.y;
    EXPECT_TRUE(h->IsVisible());
  }
}

TEST_F(SkinHintTest, AHintMovedAwayFromAnEdgeStaysOnANarrowWorkArea) {
  headless::SetMonitors({{{0, 0, 200, 300}, {0, 0, 200, 280}, true}});
  auto* h = NewHint();
  h->ActivateHint(TPoint{150, 270}, "a hint much wider than what is left of the screen");
  const TRect r = WindowRect(h->HW);
  ASSERT_GT(RectWidth(r), 152);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.bottom, 270 - 2);
}

TEST_F(SkinHintTest, AHintBesideARectIsCentredBelowItOrAboveIt) {
  auto* h = NewHint();
  const TRect rect{400, 300, 500, 330};
  h->ActivateHint3(rect, "beside", true);
  Step(500);
  TRect r = WindowRect(h->HW);
  EXPECT_EQ(r.bottom, rect.top);
  EXPECT_EQ(r.left, 450 - RectWidth(r) / 2);
  h->ActivateHint3(rect, "beside", false);
  Step(500);
  r = WindowRect(h->HW);
  EXPECT_EQ(r.top, rect.bottom);
  EXPECT_EQ(r.left, 450 - RectWidth(r) / 2);
}

// ---- one active component -------------------------------------------------------------------------

TEST_F(SkinHintTest, ActivatingOneHintComponentDeactivatesTheOthersOfTheMainForm) {
  auto* a = NewHint();
  auto* b = NewHint();
  auto* other = NewForm(400, 100, 100, 100);
  auto* elsewhere = NewHint(other);
  EXPECT_EQ(FindSkinHint(), a);  // both start active: the first drives the windows
  b->SetActive(true);
  EXPECT_FALSE(a->Active());
  EXPECT_TRUE(b->Active());
  EXPECT_TRUE(elsewhere->Active());  // not on the main form: untouched
  EXPECT_EQ(FindSkinHint(), b);
  // Setting one inactive leaves the others as they are: none drives a window now.
  b->SetActive(false);
  EXPECT_EQ(FindSkinHint(), nullptr);
  b->ActivateHint(TPoint{300, 300}, "nobody draws this");
  EXPECT_FALSE(b->IsVisible());
}

TEST_F(SkinHintTest, AFreedComponentTakesItsHandlerOutOfTheApplication) {
  auto* h = NewHint();
  EXPECT_TRUE(bool(Application->OnShowHint));
  delete h;
  EXPECT_FALSE(bool(Application->OnShowHint));
  // The installed window class stays; with no component a hint shows nothing.
  auto* c = Make<ctltest::WinProbe>(form, "c", 10, 10, 80, 40);
  c->SetHint("plain");
  c->SetShowHint(true);
  MoveTo(c, 5, 5);
  Step(500);
  THintWindow* w = Application->HintWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_NE(dynamic_cast<TkxSkinHintWindow*>(w), nullptr);
  EXPECT_FALSE(w->IsShowing());
}

// ---- title and picture ------------------------------------------------------------------------------

TEST_F(SkinHintTest, ASkinnedControlShowsItsTitleAndPictureAndAPlainControlNone) {
  auto* h = NewHint();
  auto* il = SolidImages(form, {clRed, kPicture});
  auto* b = Make<TkxSkinButton>(form, "b", 10, 10, 80, 30);
  b->SetHint("the text");
  b->SetShowHint(true);
  b->SetHintTitle("标题");
  b->SetHintImageIndex(1);
  b->SetHintImageList(il);
  auto* plain = Make<ctltest::WinProbe>(form, "plain", 10, 100, 80, 30);
  plain->SetHint("the text");
  plain->SetShowHint(true);
  (void)h;

  MoveTo(b, 5, 5);
  Step(500);
  auto* w = dynamic_cast<TkxSkinHintWindow*>(Application->HintWindow());
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(w->IsShowing());
  EXPECT_TRUE(w->AExtendedStyle);
  const TRect ext = WindowRect(w);
  // The picture lies below the title, in its own colour.
  int found = 0;
  for (int y = 0; y < RectHeight(ext); ++y)
    for (int x = 0; x < RectWidth(ext); ++x)
      if (Rgb(headless::PixelAt(w->Handle(), x, y)) == Px(kPicture)) ++found;
  EXPECT_EQ(found, 16 * 16);
  EXPECT_EQ(Rgb(headless::PixelAt(w->Handle(), 2, 0)), Px(clBtnShadow));  // the plain frame

  MoveTo(plain, 5, 5);
  Step(500);
  w = dynamic_cast<TkxSkinHintWindow*>(Application->HintWindow());
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(w->IsShowing());
  EXPECT_FALSE(w->AExtendedStyle);  // the title was cleared for this hint
  EXPECT_TRUE(h->FHintTitle.empty());
  const TRect flat = WindowRect(w);
  EXPECT_LT(RectHeight(flat), RectHeight(ext));
}

TEST_F(SkinHintTest, AnImageOutOfTheListsRangeDrawsNothingAndTakesNoRoom) {
  auto* h = NewHint();
  auto* il = SolidImages(form, {kPicture});
  h->ActivateHintEx(TPoint{300, 300}, "", "text", 0, il);
  const int withImage = RectWidth(WindowRect(h->HW));
  h->ActivateHintEx(TPoint{300, 300}, "", "text", 5, il);
  const int without = RectWidth(WindowRect(h->HW));
  EXPECT_EQ(withImage - without, 16 + 10);
}

// ---- hints by program ---------------------------------------------------------------------------------

TEST_F(SkinHintTest, AProgrammedHintShowsAfterThePauseBelowTheCursorAndHidesAfterTheHidePause) {
  auto* h = NewHint();
  headless::MoveMouse(600, 400);
  Pump();
  h->ActivateHint2("later");
  Step(499);
  EXPECT_FALSE(h->IsVisible());
  Step(1);
  ASSERT_TRUE(h->IsVisible());
  const TRect r = WindowRect(h->HW);
  EXPECT_EQ(r.left, 600);
  EXPECT_EQ(r.top, 400 + h->GetCursorHeightMargin());
  Step(2499);
  EXPECT_TRUE(h->IsVisible());
  Step(1);
  EXPECT_FALSE(h->IsVisible());
  EXPECT_FALSE(h->Pending());

  // HideHint cancels a waiting hint; a new request replaces the waiting one.
  h->ActivateHint2("never");
  Step(200);
  h->HideHint();
  Step(1000);
  EXPECT_FALSE(h->IsVisible());
  h->ActivateHint2("first");
  Step(300);
  h->ActivateHintEx2("标题", "second", 0, SolidImages(form, {kPicture}));
  Step(499);
  EXPECT_FALSE(h->IsVisible());
  Step(1);
  ASSERT_TRUE(h->IsVisible());
  EXPECT_TRUE(h->HW->AExtendedStyle);
  EXPECT_EQ(h->HW->Caption(), "second");
}

// ---- fade ---------------------------------------------------------------------------------------------

TEST_F(SkinHintTest, TheFadeRisesByAFifteenthAfterMoreThanThreeMillisecondsUpToTheValue) {
  headless::SetLayeredAvailable(true);
  struct Case {
    int value, step, steps;
  } cases[] = {{150, 10, 15}, {200, 13, 16}, {7, 1, 7}};
  for (const Case& c : cases) {
    auto* h = NewHint();
    h->SetActive(true);
    h->SetAlphaBlend(true);
    h->SetAlphaBlendAnimation(true);
    h->SetAlphaBlendValue(c.value);
    h->ActivateHint(TPoint{300, 300}, "fading");
    HWND w = h->HW->Handle();
    EXPECT_EQ(headless::SurfaceAlpha(w), 0);
    std::vector<int> seen;
    int last = 0;
    for (int ms = 1; ms <= 200 && h->HW->Fading(); ++ms) {
      Step(1);
      const int a = headless::SurfaceAlpha(w);
      if (a != last) {
        seen.push_back(a);
        EXPECT_EQ(ms % 4, 0) << "a step only after more than 3 ms";
        last = a;
      }
    }
    ASSERT_EQ(int(seen.size()), c.steps) << c.value;
    EXPECT_EQ(seen.front(), c.step);
    EXPECT_EQ(seen.back(), c.value);
    delete h;
  }
}

TEST_F(SkinHintTest, ALayeredHintTurnedOffAndOnAgainGetsItsAlphaBack) {
  headless::SetLayeredAvailable(true);
  auto* h = NewHint();
  h->SetAlphaBlendValue(150);
  struct Step {
    bool blend;
    bool layered;
  } steps[] = {{true, true}, {false, false}, {true, true}};
  for (const Step& s : steps) {
    h->SetAlphaBlend(s.blend);
    h->ActivateHint(TPoint{300, 300}, "again");
    HWND w = h->HW->Handle();
    EXPECT_EQ((GetWindowLongPtr(w, GWL_EXSTYLE) & WS_EX_LAYERED) != 0, s.layered);
    // Made layered a second time with the same value, the window still gets it and shows.
    EXPECT_TRUE(headless::IsDisplayed(w));
    if (s.layered) EXPECT_EQ(headless::SurfaceAlpha(w), 150);
  }
}

// ---- the skinned look ------------------------------------------------------------------------------------

TEST_F(SkinHintTest, TheSkinnedLookFramesTheTextWithTheHintPicture) {
  auto sd = std::make_unique<TkxSkinData>(nullptr);
  skinlint::LoadGeneratedSkin(0, *sd);
  ASSERT_FALSE(sd->Empty);
  auto* h = NewHint();
  h->SetSkinData(sd.get());
  h->ActivateHint(TPoint{300, 300}, "skinned");
  const int skinned = RectWidth(WindowRect(h->HW));
  ASSERT_NE(h->HW->FSD.Get(), nullptr);
  // The text area is the record's client rect grown to the window: its margins stay.
  const TkxDataSkinHintWindow& r = *sd->HintWindow;
  const TBitmap* pic = sd->FActivePictures[size_t(r.WindowPictureIndex)].get();
  EXPECT_EQ(h->HW->NewClRect.left, r.ClRect.left);
  EXPECT_EQ(RectWidth(WindowRect(h->HW)) - h->HW->NewClRect.right, pic->Width() - r.ClRect.right);
  // Freeing the skin data while the hint shows: the next paint falls back to the plain look.
  sd.reset();
  EXPECT_EQ(h->HW->FSD.Get(), nullptr);
  h->HW->Repaint();
  Pump();
  h->SetUseSkinFont(false);
  h->ActivateHint(TPoint{300, 300}, "skinned");
  EXPECT_NE(RectWidth(WindowRect(h->HW)), skinned);
}

// ---- streaming ----------------------------------------------------------------------------------------

TEST_F(SkinHintTest, TheMainFormStreamsItsHint) {
  RegisterSkinDataFormClasses();
  RegisterSkinHintFormClasses();
  const std::string text =
      "object Main: TForm\n"
      "  object sd: TkxSkinData\n"
      "  end\n"
      "  object kxSkinHint1: TkxSkinHint\n"
      "    LineSeparator = '@'\n"
      "    SkinData = sd\n"
      "    Active = True\n"
      "    AlphaBlend = False\n"
      "    AlphaBlendValue = 180\n"
      "    AlphaBlendAnimation = False\n"
      "    UseSkinFont = True\n"
      "    DefaultFont.Name = 'Arial'\n"
      "    DefaultFont.Height = 13\n"
      "    OnShowHint = ShowHint\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(owner.get());
  int asked = 0;
  THandlerTable handlers;
  handlers.Add<TShowHintEvent>("ShowHint", [&](std::string&, bool&, THintInfo&) { ++asked; });
  ReadFormDescription(f, text, "main.dfm", &handlers);
  auto* h = dynamic_cast<TkxSkinHint*>(f->FindComponent("kxSkinHint1"));
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->LineSeparator(), "@");
  EXPECT_EQ(h->SkinData(), f->FindComponent("sd"));
  EXPECT_TRUE(h->Active());
  EXPECT_EQ(h->AlphaBlendValue(), 180);
  EXPECT_EQ(h->DefaultFont()->Height(), 13);
  std::string s = "x";
  bool can = true;
  THintInfo info;
  Application->OnShowHint(s, can, info);
  EXPECT_EQ(asked, 1);
  EXPECT_THROW(ReadFormDescription(new TForm(owner.get()),
                                   "object M: TForm\n  object h: TkxSkinHint\n    AlphaBlendValue = 300\n  end\nend\n",
                                   "m.dfm"),
               std::exception);
}

}  // namespace
