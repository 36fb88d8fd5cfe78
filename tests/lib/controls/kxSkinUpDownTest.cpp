// The skinned up/down: clicks stepping Position within Min..Max, the hold-to-repeat timing on
// the stepped clock (500 ms wait, then every 100 ms, paused off the button and resumed after
// 50 ms), hot and pressed buttons, the setters' rules, the plain, skinned and resized looks,
// and reading one from a form description.
#include <gtest/gtest.h>

#include <climits>

#include "classlib/Streaming.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/controls/kxSkinUpDown.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace win;
using ctltest::Px;
using ctltest::Rgb;

class SkinUpDown : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(100, 100, 300, 200);
    form->SetColor(clWhite);
    ud = Make<TkxSkinUpDown>(form, "UD", 10, 10, 50, 25);
    ud->OnChange = [this](TObject*) { ++changes; };
    ud->OnUpButtonClick = [this](TObject*) { ++ups; };
    ud->OnDownButtonClick = [this](TObject*) { ++downs; };
    form->Show();
    Pump();
  }
  // Horizontal: the down button is the left half, the up button the right half.
  TPoint UpPoint() const { return ud->Orientation() == udVertical ? TPoint{25, 5} : TPoint{37, 12}; }
  TPoint DownPoint() const { return ud->Orientation() == udVertical ? TPoint{25, 20} : TPoint{12, 12}; }
  void Press(TPoint P, int Button = 0) {
    MoveTo(ud, P.x, P.y);
    headless::ButtonDown(Button);
    Pump();
  }
  void Release(int Button = 0) {
    headless::ButtonUp(Button);
    Pump();
  }
  void Wait(int Ms) {
    clock.Advance(uint64_t(Ms));
    Pump();
  }
  uint32_t At(TControl* c, int x, int y) {
    TPoint p = form->ScreenToClient(c->ClientToScreen(TPoint{x, y}));
    return Rgb(headless::PixelAt(form->Handle(), p.x, p.y));
  }

  TForm* form = nullptr;
  TkxSkinUpDown* ud = nullptr;
  int changes = 0, ups = 0, downs = 0;
};

TEST_F(SkinUpDown, AClickStepsOnceAtTheReleaseWithinTheLimits) {
  struct Case {
    const char* what;
    int32_t min, max, position, increment;
    bool up;
    int32_t want;
    int wantChanges;
  } cases[] = {
      {"up by one", 0, 100, 50, 1, true, 51, 1},
      {"down by five", 0, 100, 50, 5, false, 45, 1},
      {"up at the top stays", 0, 100, 100, 1, true, 100, 0},
      {"down at the bottom stays", 0, 100, 0, 1, false, 0, 0},
      {"a step past the top is refused whole", 0, 100, 98, 5, true, 98, 0},
      {"no increment, no step", 0, 100, 50, 0, true, 50, 0},
      {"near the integer limit", 0, INT32_MAX, INT32_MAX - 1, 10, true, INT32_MAX - 1, 0},
      {"negative range", -50, -10, -20, 3, false, -23, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ud->SetMin(c.min);
    ud->SetMax(c.max);
    ud->SetIncrement(c.increment);
    ud->SetPosition(c.position);
    changes = ups = downs = 0;
    Press(c.up ? UpPoint() : DownPoint());
    EXPECT_EQ(ud->Position(), c.position) << "the press itself does not step";
    Release();
    EXPECT_EQ(ud->Position(), c.want);
    EXPECT_EQ(changes, c.wantChanges);
    EXPECT_EQ(ups, c.up ? 1 : 0);
    EXPECT_EQ(downs, c.up ? 0 : 1);
  }
}

TEST_F(SkinUpDown, AHeldButtonStepsAfter600MsThenEvery100AndOnceMoreAtTheRelease) {
  ud->SetPosition(10);
  changes = 0;
  Press(UpPoint());
  Wait(499);
  EXPECT_EQ(ud->Position(), 10);
  Wait(1);  // the long wait ends: the pace changes, nothing steps yet
  EXPECT_EQ(ud->Position(), 10);
  Wait(99);
  EXPECT_EQ(ud->Position(), 10);
  Wait(1);
  EXPECT_EQ(ud->Position(), 11);
  Wait(100);
  EXPECT_EQ(ud->Position(), 12);
  for (int i = 0; i < 3; ++i) Wait(100);  // one tick per period: a timer never counts missed ones
  EXPECT_EQ(ud->Position(), 15);
  EXPECT_EQ(ud->TimerMode(), 2);
  Release();
  EXPECT_EQ(ud->Position(), 16);
  EXPECT_EQ(changes, 6);
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(ud->TimerMode(), 0);
  Wait(1000);
  EXPECT_EQ(ud->Position(), 16) << "nothing repeats after the release";
}

TEST_F(SkinUpDown, TheDownButtonRepeatsDownAndStopsAtMin) {
  ud->SetPosition(3);
  Press(DownPoint());
  EXPECT_EQ(ud->TimerMode(), 1);
  Wait(500);
  Wait(100);
  Wait(100);
  EXPECT_EQ(ud->Position(), 1);
  Wait(500);
  EXPECT_EQ(ud->Position(), 0);
  Release();
  EXPECT_EQ(ud->Position(), 0);
  EXPECT_EQ(downs, 1);
}

TEST_F(SkinUpDown, LeavingTheHeldButtonPausesTheRepeatAndComingBackResumesAfter50Ms) {
  ud->SetPosition(10);
  Press(UpPoint());
  Wait(500);
  Wait(100);
  EXPECT_EQ(ud->Position(), 11);
  MoveTo(ud, 12, 12);  // onto the other button: counts as off the held one
  EXPECT_FALSE(ud->Button(0).MouseIn);
  EXPECT_FALSE(ud->Button(1).MouseIn) << "the other button is not hot while one is held";
  EXPECT_TRUE(ud->Button(0).Down);
  Wait(1000);
  EXPECT_EQ(ud->Position(), 11);
  EXPECT_EQ(ud->TimerMode(), 2) << "the mode is kept through the pause";
  Wait(1000);
  EXPECT_EQ(ud->Position(), 11);
  MoveTo(ud, UpPoint().x, UpPoint().y);
  EXPECT_TRUE(ud->Button(0).MouseIn);
  Wait(49);
  EXPECT_EQ(ud->Position(), 11);
  Wait(1);
  EXPECT_EQ(ud->Position(), 12);
  Wait(100);
  EXPECT_EQ(ud->Position(), 13);
  Release();
  EXPECT_EQ(ud->Position(), 14);
}

TEST_F(SkinUpDown, APressMovedOffAndReleasedElsewhereNeitherStepsNorClicks) {
  ud->SetPosition(10);
  changes = 0;
  Press(UpPoint());
  Wait(300);
  MoveTo(form, 200, 150);
  Release();
  EXPECT_EQ(ud->Position(), 10);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(ups, 0);
  EXPECT_FALSE(ud->Button(0).Down);
  EXPECT_FALSE(ud->Button(0).MouseIn);
  Wait(1000);
  EXPECT_EQ(ud->Position(), 10);
}

TEST_F(SkinUpDown, ARightButtonPressAlsoPressesTheArrow) {
  ud->SetPosition(10);
  Press(DownPoint(), 1);
  EXPECT_TRUE(ud->Button(1).Down);
  EXPECT_TRUE(ud->Button(1).MouseIn);
  Release(1);
  EXPECT_EQ(ud->Position(), 9);
  EXPECT_EQ(downs, 1);
  // Held with the right button, moved off and let go elsewhere: no step, nothing left held.
  Press(DownPoint(), 1);
  Wait(500);
  MoveTo(form, 200, 150);
  Wait(1000);
  EXPECT_EQ(ud->Position(), 9);
  Release(1);
  EXPECT_EQ(ud->Position(), 9);
  EXPECT_EQ(downs, 1);
  EXPECT_FALSE(ud->Button(1).Down);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SkinUpDown, WithoutIncrementClicksStillFireAndNothingRepeats) {
  ud->SetIncrement(0);
  ud->SetPosition(10);
  changes = 0;
  Press(UpPoint());
  EXPECT_EQ(ud->TimerMode(), 0);
  Wait(2000);
  Release();
  EXPECT_EQ(ud->Position(), 10);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(ups, 1);
}

TEST_F(SkinUpDown, SettersKeepThePositionInRange) {
  ud->SetPosition(5);
  ud->SetPosition(5);
  EXPECT_EQ(changes, 2) << "an unchanged position fires again";
  ud->SetPosition(101);
  ud->SetPosition(-1);
  EXPECT_EQ(ud->Position(), 5);
  EXPECT_EQ(changes, 2);
  ud->SetPosition(10);
  changes = 0;
  ud->SetMax(3);
  EXPECT_EQ(ud->Position(), 3);
  ud->SetMin(7);
  EXPECT_EQ(ud->Position(), 7);
  EXPECT_EQ(changes, 0) << "the range setters move the position silently";
}

TEST_F(SkinUpDown, HotAndPressedButtonsInThePlainLook) {
  const uint32_t face = Px(clBtnFace), hot = Px(TColor(0xD2BDB6)), down = Px(TColor(0xB59385));
  EXPECT_EQ(At(ud, 40, 4), face);
  EXPECT_EQ(At(ud, 4, 4), face);
  MoveTo(ud, UpPoint().x, UpPoint().y);
  EXPECT_EQ(ud->ActiveButton(), 0);
  EXPECT_EQ(At(ud, 40, 4), hot);
  EXPECT_EQ(At(ud, 25, 0), Px(clNavy)) << "the hot button's frame";
  EXPECT_EQ(At(ud, 4, 4), face);
  MoveTo(ud, DownPoint().x, DownPoint().y);
  EXPECT_EQ(At(ud, 40, 4), face);
  EXPECT_EQ(At(ud, 4, 4), hot);
  headless::ButtonDown(0);
  Pump();
  EXPECT_EQ(At(ud, 4, 4), down);
  Release();
  EXPECT_EQ(At(ud, 4, 4), hot);
  MoveTo(form, 200, 150);
  EXPECT_EQ(ud->ActiveButton(), -1);
  EXPECT_FALSE(ud->Button(1).MouseIn);
  EXPECT_EQ(At(ud, 4, 4), face);
}

TEST_F(SkinUpDown, VerticalPutsTheUpButtonOnTop) {
  ud->SetOrientation(udVertical);
  EXPECT_EQ(ud->Button(0).R, (TRect{0, 0, 50, 12}));
  EXPECT_EQ(ud->Button(1).R, (TRect{0, 12, 50, 25}));
  ud->SetPosition(10);
  ClickAt(ud, 25, 5);
  EXPECT_EQ(ud->Position(), 11);
  ClickAt(ud, 25, 20);
  ClickAt(ud, 25, 20);
  EXPECT_EQ(ud->Position(), 9);
  EXPECT_EQ(ud->SkinDataName(), "hupdown") << "the record name follows only at design time";
}

class SkinUpDownSkinned : public SkinUpDown {
protected:
  void SetUp() override {
    SkinUpDown::SetUp();
    skinlint::LoadGeneratedSkin(0, sd);
    ASSERT_FALSE(sd.Empty);
  }
  void TearDown() override {
    delete ud;  // before its skin data
    ud = nullptr;
    SkinUpDown::TearDown();
  }
  TkxDataSkinUpDownControl* Record() {
    return dynamic_cast<TkxDataSkinUpDownControl*>(sd.CtrlList[size_t(sd.GetControlIndex("hupdown"))].get());
  }
  uint32_t PicturePx(const TRect& src, int x, int y) {
    TBitmap* pic = sd.FActivePictures[size_t(Record()->PictureIndex)].get();
    return Px(pic->Canvas()->Pixels(src.left + x, src.top + y));
  }
  TkxSkinData sd{nullptr};
};

TEST_F(SkinUpDownSkinned, TakesTheSkinSizeAndOverlaysTheHotAndPressedPictures) {
  ud->SetSkinData(&sd);
  Pump();
  TkxDataSkinUpDownControl* r = Record();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(ud->Width(), RectWidth(r->SkinRect));
  EXPECT_EQ(ud->Height(), RectHeight(r->SkinRect));
  EXPECT_EQ(ud->Button(0).R, r->UpButtonRect);
  EXPECT_EQ(ud->Button(1).R, r->DownButtonRect);
  const TPoint up{r->UpButtonRect.left + RectWidth(r->UpButtonRect) / 2,
                  r->UpButtonRect.top + RectHeight(r->UpButtonRect) / 2};
  // A point of the button whose pictures differ in each state.
  const int px = 1, py = RectHeight(r->UpButtonRect) / 2;
  EXPECT_EQ(At(ud, r->UpButtonRect.left + px, r->UpButtonRect.top + py), PicturePx(r->UpButtonRect, px, py));
  MoveTo(ud, up.x, up.y);
  EXPECT_EQ(At(ud, r->UpButtonRect.left + px, r->UpButtonRect.top + py), PicturePx(r->ActiveUpButtonRect, px, py));
  headless::ButtonDown(0);
  Pump();
  EXPECT_EQ(At(ud, r->UpButtonRect.left + px, r->UpButtonRect.top + py), PicturePx(r->DownUpButtonRect, px, py));
  EXPECT_NE(PicturePx(r->DownUpButtonRect, px, py), PicturePx(r->UpButtonRect, px, py));
  Release();
  EXPECT_EQ(ud->Position(), 1);
}

TEST_F(SkinUpDownSkinned, WithoutTheSkinSizeEachButtonIsAResizedButton) {
  ud->SetUseSkinSize(false);
  ud->SetSkinData(&sd);
  Pump();
  EXPECT_EQ(ud->Width(), 50);
  EXPECT_EQ(ud->Height(), 25);
  EXPECT_EQ(ud->Button(0).R, (TRect{25, 0, 50, 25}));
  const int rb = sd.GetControlIndex("resizebutton");
  ASSERT_GE(rb, 0);
  auto* r = dynamic_cast<TkxDataSkinButtonControl*>(sd.CtrlList[size_t(rb)].get());
  ASSERT_NE(r, nullptr);
  // The centre of the resized button shows the button picture's centre (tiled or stretched), not
  // the plain face; the arrow in the record's colour sits in the middle.
  const uint32_t normal = At(ud, 30, 12);
  EXPECT_NE(normal, Px(clBtnFace));
  bool arrow = false;
  for (int y = 8; y < 17 && !arrow; ++y)
    for (int x = 30; x < 45 && !arrow; ++x) arrow = At(ud, x, y) == Px(r->FontColor);
  EXPECT_TRUE(arrow);
  MoveTo(ud, 37, 12);
  EXPECT_NE(At(ud, 27, 3), normal) << "the hot picture";
}

TEST_F(SkinUpDownSkinned, ASkinWithoutAResizeButtonDrawsThePlainButtons) {
  const int rb = sd.GetControlIndex("resizebutton");
  ASSERT_GE(rb, 0);
  sd.CtrlList[size_t(rb)]->IDName = "gone";
  ud->SetUseSkinSize(false);
  ud->SetSkinData(&sd);
  Pump();
  EXPECT_EQ(ud->SkinIndex(), sd.GetControlIndex("hupdown"));
  EXPECT_EQ(At(ud, 40, 4), Px(clBtnFace));
  EXPECT_EQ(At(ud, 25, 0), Px(clBtnShadow));
}

TEST_F(SkinUpDown, IsReadFromAFormDescription) {
  RegisterSkinDataFormClasses();
  auto* f = new TForm(owner.get());
  THandlerTable h;
  int heard = 0;
  h.Add<TNotifyEvent>("UDChange", [&](TObject*) { ++heard; });
  ReadFormDescription(f,
                      "object F: TForm\n  BorderStyle = bsNone\n"
                      "  object U: TkxSkinUpDown\n    Left = 5\n    Top = 6\n    Width = 40\n    Height = 20\n"
                      "    UseSkinSize = False\n    Orientation = udVertical\n    Increment = 7\n"
                      "    Position = 150\n    Min = 100\n    Max = 200\n    SkinDataName = 'vupdown'\n"
                      "    OnChange = UDChange\n  end\nend\n",
                      "ud.dfm", &h);
  auto* u = dynamic_cast<TkxSkinUpDown*>(f->FindComponent("U"));
  ASSERT_NE(u, nullptr);
  EXPECT_FALSE(u->UseSkinSize());
  EXPECT_EQ(u->Orientation(), udVertical);
  EXPECT_EQ(u->Increment(), 7);
  EXPECT_EQ(u->Position(), 150) << "a position read before its range is kept";
  EXPECT_EQ(u->Min(), 100);
  EXPECT_EQ(u->Max(), 200);
  EXPECT_EQ(u->SkinDataName(), "vupdown");
  EXPECT_EQ(u->Width(), 40);
  EXPECT_EQ(heard, 0) << "reading fires nothing";
  u->SetPosition(160);
  EXPECT_EQ(heard, 1);
}

}  // namespace
