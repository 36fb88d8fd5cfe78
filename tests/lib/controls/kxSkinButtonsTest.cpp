// The skinned push and speed buttons: clicks by mouse and keys, group buttons, auto-repeat on the
// stepped clock, the default and cancel roles, the state images of a record and the plain look,
// the bare look of a transparent speed button, morphing and frame animation, skin changes and
// form streaming.
#include <gtest/gtest.h>

#include "classlib/ActnList.h"
#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/graphics/kxUtilsLayer.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/forms/kxVelara.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace win;
using ctltest::Px;
using ctltest::Rgb;

// One 20 x 10 cell per state, each its own colour, then three animation frames.
constexpr TColor kNormal = TColor(0x0000C0), kActive = TColor(0x00C000), kDown = TColor(0xC00000),
                 kDisabled = TColor(0x808080), kFocused = TColor(0x00C0C0);
constexpr TColor kFrame[3] = {TColor(0x400000), TColor(0x004000), TColor(0x000040)};
constexpr TColor kPlainPressed = TColor(0xB59385), kPlainHot = TColor(0xD2BDB6);

std::unique_ptr<TBitmap> StatePicture() {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(160, 10);
  const TColor cells[8] = {kNormal, kActive, kDown, kDisabled, kFocused, kFrame[0], kFrame[1], kFrame[2]};
  for (int i = 0; i < 8; ++i) {
    b->Canvas()->Brush()->SetColor(cells[i]);
    b->Canvas()->FillRect(TRect{20 * i, 0, 20 * i + 20, 10});
  }
  return b;
}

TkxDataSkinButtonControl* AddButtonRecord(TkxSkinData& SD, const std::string& Name) {
  auto r = std::make_unique<TkxDataSkinButtonControl>(Name);
  r->PictureIndex = 0;
  r->SkinRect = TRect{0, 0, 20, 10};
  r->ClRect = TRect{2, 2, 18, 8};
  r->ActiveSkinRect = TRect{20, 0, 40, 10};
  r->DownSkinRect = TRect{40, 0, 60, 10};
  r->DisabledSkinRect = TRect{60, 0, 80, 10};
  r->FocusedSkinRect = TRect{80, 0, 100, 10};
  r->FontColor = clBlack;
  r->DisabledFontColor = clBlack;
  auto* p = r.get();
  SD.CtrlList.push_back(std::move(r));
  return p;
}

std::unique_ptr<TBitmap> BlueGlyph() {
  // 8 x 8 blue, its bottom-left pixel (the transparent colour) fuchsia, so the glyph's own
  // colour shows everywhere else.
  auto g = std::make_unique<TBitmap>();
  g->SetPixelFormat(pf24bit);
  g->SetSize(8, 8);
  g->Canvas()->Brush()->SetColor(clBlue);
  g->Canvas()->FillRect(TRect{0, 0, 8, 8});
  g->Canvas()->SetPixels(0, 7, clFuchsia);
  return g;
}

class SkinButtonTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    sd = new TkxSkinData(owner.get());
    sd->FActivePictures.push_back(StatePicture());
    AddButtonRecord(*sd, "button");
    AddButtonRecord(*sd, "toolbutton");
    sd->Empty = false;
    sd->SetEnableSkinEffects(true);
    form = NewForm(100, 100, 300, 200);
    form->SetColor(clWhite);
  }
  TkxSkinButton* Button(const std::string& name, int x, int y, TkxSkinData* SD = nullptr) {
    auto* b = Make<TkxSkinButton>(form, name, x, y, 60, 24);
    b->SetSkinData(SD);
    return b;
  }
  TkxSkinSpeedButton* Speed(const std::string& name, int x, int y, TkxSkinData* SD = nullptr) {
    auto* b = Make<TkxSkinSpeedButton>(form, name, x, y, 30, 24);
    b->SetSkinData(SD);
    return b;
  }
  uint32_t At(TControl* c, int x, int y) {
    TPoint p = c->ClientToScreen(TPoint{x, y});
    TPoint f = form->ScreenToClient(p);
    return Rgb(headless::PixelAt(form->Handle(), f.x, f.y));
  }
  // Shows the form with the focus on a plain control, so that no button starts out focused.
  void ShowForm() {
    if (!sink) {
      sink = Make<ctltest::WinProbe>(form, "sink", 280, 180, 10, 10);
      sink->SetTabStop(true);
    }
    form->Show();
    Pump();
    sink->SetFocus();
    Pump();
  }
  void Press(TControl* c) {
    MoveTo(c, 3, 3);
    headless::ButtonDown();
    Pump();
  }
  void Release() {
    headless::ButtonUp();
    Pump();
  }
  // One timer period at a time: the layer posts one WM_TIMER per timer however long the step.
  void Step(int ms) {
    clock.Advance(uint64_t(ms));
    Pump();
  }

  TkxSkinData* sd = nullptr;
  TForm* form = nullptr;
  ctltest::WinProbe* sink = nullptr;
};

// ---- clicks -----------------------------------------------------------------------------------

TEST_F(SkinButtonTest, AClickOverTheButtonClicksOnceAndAReleaseElsewhereNever) {
  auto* b = Button("b", 10, 10);
  auto* s = Speed("s", 100, 10);
  auto* outside = Make<ctltest::WinProbe>(form, "outside", 10, 100, 50, 30);
  ShowForm();
  int pushClicks = 0, speedClicks = 0;
  b->OnClick = [&](TObject*) { ++pushClicks; };
  s->OnClick = [&](TObject*) { ++speedClicks; };

  ClickAt(b, 5, 5);
  ClickAt(s, 5, 5);
  EXPECT_EQ(pushClicks, 1);
  EXPECT_EQ(speedClicks, 1);
  EXPECT_FALSE(b->Down());
  EXPECT_FALSE(s->Down());

  // Pressed, dragged off and released: no click, and the button is up again.
  for (TControl* c : {static_cast<TControl*>(b), static_cast<TControl*>(s)}) {
    Press(c);
    MoveTo(outside, 5, 5);
    Release();
  }
  EXPECT_EQ(pushClicks, 1);
  EXPECT_EQ(speedClicks, 1);
  EXPECT_FALSE(b->Down());
  EXPECT_FALSE(s->Down());

  // A disabled button takes no click.
  b->SetEnabled(false);
  s->SetEnabled(false);
  ClickAt(b, 5, 5);
  ClickAt(s, 5, 5);
  EXPECT_EQ(pushClicks, 1);
  EXPECT_EQ(speedClicks, 1);
}

TEST_F(SkinButtonTest, AClickSetsTheFormsModalResultAndRunsTheActionWithoutOnClick) {
  auto* b = Button("b", 10, 10);
  b->SetModalResult(mrOk);
  auto* list = new TActionList(owner.get());
  auto* act = new TAction(owner.get());
  act->SetActionList(list);
  int executed = 0;
  act->OnExecute = [&](TObject*) { ++executed; };
  b->SetAction(act);
  ShowForm();
  ClickAt(b, 5, 5);
  EXPECT_EQ(form->ModalResult(), mrOk);
  EXPECT_EQ(executed, 1);
  // The button's own OnClick wins over the action.
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  ClickAt(b, 5, 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(executed, 1);
  // A button that cannot take the focus leaves the modal result alone.
  form->SetModalResult(mrNone);
  b->SetCanFocused(false);
  ClickAt(b, 5, 5);
  EXPECT_EQ(form->ModalResult(), mrNone);
}

// ---- group buttons ------------------------------------------------------------------------------

TEST_F(SkinButtonTest, GroupButtonsStayDownAndReleaseTheirGroup) {
  struct Case {
    bool speed;
    bool allowAllUp;
  };
  for (Case k : {Case{false, false}, Case{false, true}, Case{true, false}, Case{true, true}}) {
    SCOPED_TRACE(testing::Message() << "speed " << k.speed << " allowAllUp " << k.allowAllUp);
    std::vector<TControl*> btn;
    std::vector<int> clicks(3, 0);
    for (int i = 0; i < 3; ++i) {
      const std::string n = "g" + std::to_string(i);
      if (k.speed) {
        auto* s = Speed(n, 10 + 40 * i, 10);
        s->SetGroupIndex(i < 2 ? 1 : 2);
        s->SetAllowAllUp(k.allowAllUp);
        s->OnClick = [&clicks, i](TObject*) { ++clicks[size_t(i)]; };
        btn.push_back(s);
      } else {
        auto* b = Button(n, 10 + 70 * i, 10);
        b->SetGroupIndex(i < 2 ? 1 : 2);
        EXPECT_FALSE(b->CanFocused());
        EXPECT_FALSE(b->TabStop());
        b->SetAllowAllUp(k.allowAllUp);
        b->OnClick = [&clicks, i](TObject*) { ++clicks[size_t(i)]; };
        btn.push_back(b);
      }
    }
    auto down = [&](int i) {
      if (k.speed) return static_cast<TkxSkinSpeedButton*>(btn[size_t(i)])->Down();
      return static_cast<TkxSkinButton*>(btn[size_t(i)])->Down();
    };
    ShowForm();
    // A group button clicks on the press.
    Press(btn[0]);
    EXPECT_EQ(clicks[0], 1);
    Release();
    EXPECT_EQ(clicks[0], 1);
    EXPECT_TRUE(down(0));
    ClickAt(btn[2], 3, 3);  // another group
    EXPECT_TRUE(down(0));
    EXPECT_TRUE(down(2));
    ClickAt(btn[1], 3, 3);
    EXPECT_TRUE(down(1));
    EXPECT_EQ(down(0), k.allowAllUp);
    // A second click on a down button releases it only with AllowAllUp.
    ClickAt(btn[1], 3, 3);
    EXPECT_EQ(down(1), !k.allowAllUp);
    EXPECT_EQ(clicks[1], k.allowAllUp ? 2 : 1);
    for (TControl* c : btn) delete c;
    form->Hide();
    clock.Advance(1000);  // no double clicks across cases
  }
}

// ---- auto-repeat --------------------------------------------------------------------------------

TEST_F(SkinButtonTest, RepeatModeClicksAfter500msThenEveryIntervalAndOnceMoreOnRelease) {
  auto* b = Button("b", 10, 10);
  auto* s = Speed("s", 100, 10);
  b->SetRepeatMode(true);
  s->SetRepeatMode(true);
  s->SetRepeatInterval(50);
  ShowForm();
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  s->OnClick = [&](TObject*) { ++clicks; };

  struct Run {
    TControl* c;
    int interval;
  };
  for (Run r : {Run{b, 100}, Run{s, 50}}) {
    SCOPED_TRACE(r.c->Name());
    clicks = 0;
    Press(r.c);
    EXPECT_EQ(clicks, 0);
    Step(499);
    EXPECT_EQ(clicks, 0);
    Step(1);  // the 500 ms tick only switches to the interval
    EXPECT_EQ(clicks, 0);
    Step(r.interval - 1);
    EXPECT_EQ(clicks, 0);
    Step(1);
    EXPECT_EQ(clicks, 1);
    Step(r.interval);
    EXPECT_EQ(clicks, 2);
    Release();
    EXPECT_EQ(clicks, 3);  // the release over the button clicks once more
    Step(1000);
    EXPECT_EQ(clicks, 3);
  }

  // Leaving the button stops the repeat; coming back starts it again from 500 ms.
  clicks = 0;
  Press(b);
  MoveTo(s, 3, 3);
  Step(2000);
  EXPECT_EQ(clicks, 0);
  MoveTo(b, 3, 3);
  Step(500);
  Step(100);
  EXPECT_EQ(clicks, 1);
  Release();
  EXPECT_EQ(clicks, 2);
}

// ---- keys ---------------------------------------------------------------------------------------

TEST_F(SkinButtonTest, SpaceEnterAndEscapeOnPushButtons) {
  auto* ok = Button("ok", 10, 10);
  auto* cancel = Button("cancel", 80, 10);
  auto* other = Button("other", 150, 10);
  auto* edit = Make<ctltest::WinProbe>(form, "edit", 10, 100, 50, 20);
  edit->SetTabStop(true);
  ok->SetModalResult(mrOk);
  cancel->SetModalResult(mrCancel);
  cancel->SetCancel(true);
  std::vector<std::string> clicks;
  for (TkxSkinButton* bt : {ok, cancel, other}) bt->OnClick = [&, bt](TObject*) { clicks.push_back(bt->Name()); };
  ShowForm();
  ok->SetDefault(true);

  // A focused button: Space presses it and clicks on release; Enter clicks it once.
  other->SetFocus();
  Pump();
  headless::KeyDown(VK_SPACE);
  Pump();
  EXPECT_TRUE(other->Down());
  EXPECT_TRUE(clicks.empty());
  headless::KeyUp(VK_SPACE);
  Pump();
  EXPECT_FALSE(other->Down());
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(clicks, (std::vector<std::string>{"other", "other"}));

  // Focus on a control that is not a push button: Enter is the default button's, Escape the
  // cancel button's, and each sets the form's modal result.
  clicks.clear();
  edit->SetFocus();
  Pump();
  EXPECT_TRUE(ok->Active());
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(form->ModalResult(), mrOk);
  headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(form->ModalResult(), mrCancel);
  EXPECT_EQ(clicks, (std::vector<std::string>{"ok", "cancel"}));

  // Shift+Escape is no cancel; a disabled default button takes no Enter.
  clicks.clear();
  headless::KeyDown(VK_SHIFT);
  headless::PressKey(VK_ESCAPE);
  headless::KeyUp(VK_SHIFT);
  ok->SetEnabled(false);
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_TRUE(clicks.empty());

  // The accelerator of the caption focuses and clicks.
  cancel->SetCaption("取消(&C)");
  headless::TypeChar('c');
  Pump();
  EXPECT_EQ(clicks, (std::vector<std::string>{"cancel"}));
  EXPECT_TRUE(cancel->Focused());
}

TEST_F(SkinButtonTest, HoldingSpaceWithRepeatModeClicksOnEveryRepeatAndOnRelease) {
  auto* b = Button("b", 10, 10);
  b->SetRepeatMode(true);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  b->SetFocus();
  Pump();
  for (int i = 0; i < 3; ++i) headless::KeyDown(VK_SPACE);  // the key repeats
  Pump();
  EXPECT_EQ(clicks, 3);
  headless::KeyUp(VK_SPACE);
  Pump();
  EXPECT_EQ(clicks, 4);
}

TEST_F(SkinButtonTest, TheDefaultButtonIsHotWhileTheFocusIsOnAnotherKindOfControl) {
  auto* ok = Button("ok", 10, 10, sd);
  auto* other = Button("other", 100, 10, sd);
  auto* edit = Make<ctltest::WinProbe>(form, "edit", 10, 100, 50, 20);
  edit->SetTabStop(true);
  ShowForm();
  edit->SetFocus();
  ok->SetDefault(true);
  Pump();
  EXPECT_TRUE(ok->MouseIn());
  EXPECT_EQ(At(ok, 1, 1), Px(kActive));
  // The mouse passing over and away leaves it hot.
  MoveTo(ok, 3, 3);
  MoveTo(edit, 3, 3);
  EXPECT_TRUE(ok->MouseIn());
  EXPECT_EQ(At(ok, 1, 1), Px(kActive));
  // Another push button takes Enter and the hot look away.
  other->SetFocus();
  Pump();
  EXPECT_FALSE(ok->Active());
  EXPECT_FALSE(ok->MouseIn());
  EXPECT_EQ(At(ok, 1, 1), Px(kNormal));
  EXPECT_EQ(At(other, 1, 1), Px(kFocused));
  edit->SetFocus();
  Pump();
  EXPECT_TRUE(ok->Active());
  EXPECT_EQ(At(ok, 1, 1), Px(kActive));
  // No longer the default: no longer hot.
  ok->SetDefault(false);
  Pump();
  EXPECT_FALSE(ok->Active());
  EXPECT_FALSE(ok->MouseIn());
  EXPECT_EQ(At(ok, 1, 1), Px(kNormal));
}

// ---- looks --------------------------------------------------------------------------------------

TEST_F(SkinButtonTest, TheRecordGivesOneImagePerState) {
  auto* b = Button("b", 10, 10, sd);
  auto* s = Speed("s", 100, 10, sd);
  auto* far = Make<ctltest::WinProbe>(form, "far", 10, 100, 50, 20);
  ShowForm();
  // A fixed-size record snaps the buttons to its size.
  EXPECT_EQ(b->Width(), 20);
  EXPECT_EQ(b->Height(), 10);
  EXPECT_EQ(s->Width(), 20);
  EXPECT_EQ(At(b, 1, 1), Px(kNormal));
  EXPECT_EQ(At(s, 1, 1), Px(kNormal));
  MoveTo(b, 3, 3);
  EXPECT_EQ(At(b, 1, 1), Px(kActive));
  MoveTo(s, 3, 3);
  EXPECT_EQ(At(s, 1, 1), Px(kActive));
  EXPECT_EQ(At(b, 1, 1), Px(kNormal));
  Press(s);
  EXPECT_EQ(At(s, 1, 1), Px(kDown));
  Release();
  Press(b);
  EXPECT_EQ(At(b, 1, 1), Px(kDown));
  Release();
  // The click focused the push button.
  MoveTo(far, 3, 3);
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(At(b, 1, 1), Px(kFocused));
  b->SetEnabled(false);
  s->SetEnabled(false);
  Pump();
  EXPECT_EQ(At(b, 1, 1), Px(kDisabled));
  EXPECT_EQ(At(s, 1, 1), Px(kDisabled));
}

TEST_F(SkinButtonTest, ThePlainLookFollowsTheState) {
  auto* b = Button("b", 10, 10);
  auto* s = Speed("s", 100, 10);
  auto* far = Make<ctltest::WinProbe>(form, "far", 10, 100, 50, 20);
  ShowForm();
  EXPECT_EQ(At(b, 0, 0), Px(clBtnShadow));
  EXPECT_EQ(At(b, 3, 3), Px(clBtnFace));
  EXPECT_EQ(At(s, 3, 3), Px(clBtnFace));
  MoveTo(s, 3, 3);
  EXPECT_EQ(At(s, 0, 0), Px(clNavy));
  EXPECT_EQ(At(s, 3, 3), Px(kPlainHot));
  Press(s);
  EXPECT_EQ(At(s, 3, 3), Px(kPlainPressed));
  Release();
  MoveTo(b, 3, 3);
  EXPECT_EQ(At(b, 3, 3), Px(kPlainHot));
  Press(b);
  EXPECT_EQ(At(b, 3, 3), Px(kPlainPressed));
  Release();
  MoveTo(far, 3, 3);
  EXPECT_EQ(At(b, 3, 3), Px(kPlainHot));  // focused
}

TEST_F(SkinButtonTest, ATransparentFlatSpeedButtonDrawsOnlyItsGlyphUntilTheMouseComes) {
  auto glyph = BlueGlyph();
  for (TkxSkinData* skin : {static_cast<TkxSkinData*>(nullptr), sd}) {
    SCOPED_TRACE(skin ? "skinned" : "plain");
    auto* s = Speed("s", 100, 10, skin);
    s->SetUseSkinSize(false);
    s->SetBounds(100, 10, 30, 24);
    s->SetFlat(true);
    s->SetGlyph(glyph.get());
    EXPECT_TRUE(s->Transparent());
    ShowForm();
    // The form's white shows around the glyph; the glyph sits in the middle.
    EXPECT_EQ(At(s, 0, 0), Px(clWhite));
    EXPECT_EQ(At(s, 3, 3), Px(clWhite));
    EXPECT_EQ(At(s, 15, 12), Px(clBlue));
    MoveTo(s, 3, 3);
    EXPECT_EQ(At(s, 3, 3), skin ? Px(kActive) : Px(kPlainHot));
    EXPECT_EQ(At(s, 15, 12), Px(clBlue));
    MoveTo(s, 60, 60);
    EXPECT_EQ(At(s, 3, 3), Px(clWhite));
    // Opaque again, the flat plain look fills its face without a frame.
    s->SetTransparent(false);
    Pump();
    EXPECT_EQ(At(s, 0, 0), skin ? Px(kNormal) : Px(clBtnFace));
    delete s;
    Pump();
  }
}

TEST_F(SkinButtonTest, ShowCaptionOffChangesOnlyTheWidthWhenBothWidthsAreSet) {
  auto* s = Speed("s", 10, 10);
  s->SetWidthWithCaption(80);
  s->SetWidthWithoutCaption(30);
  s->SetShowCaption(false);
  EXPECT_EQ(s->Width(), 30);
  s->SetShowCaption(true);
  EXPECT_EQ(s->Width(), 80);
}

TEST_F(SkinButtonTest, WithoutSkinSizeAFixedRecordIsStretchedToTheButton) {
  auto* b = Button("b", 10, 10, sd);
  b->SetUseSkinSize(false);
  b->SetBounds(10, 10, 60, 24);
  ShowForm();
  EXPECT_EQ(b->Width(), 60);
  EXPECT_EQ(b->Height(), 24);
  EXPECT_EQ(At(b, 1, 1), Px(kNormal));
  EXPECT_EQ(At(b, 58, 22), Px(kNormal));
  MoveTo(b, 30, 12);
  EXPECT_EQ(At(b, 58, 22), Px(kActive));
  // Back to the skin's size.
  b->SetUseSkinSize(true);
  EXPECT_EQ(b->Width(), 20);
  EXPECT_EQ(b->Height(), 10);
}

TEST_F(SkinButtonTest, AnActionsImageBecomesTheGlyphOfAButtonWithoutOne) {
  auto* images = new TImageList(owner.get());
  images->SetSize(8, 8);
  auto pic = BlueGlyph();
  images->Add(pic.get(), nullptr);
  auto* list = new TActionList(owner.get());
  list->SetImages(images);
  auto* act = new TAction(owner.get());
  act->SetActionList(list);
  act->SetImageIndex(0);
  act->SetCaption("播放");
  auto* b = Button("b", 10, 10);
  auto* s = Speed("s", 100, 10);
  b->SetAction(act);
  s->SetAction(act);
  EXPECT_EQ(b->Caption(), "播放");
  for (TBitmap* g : {b->Glyph(), s->Glyph()}) {
    ASSERT_FALSE(g->Empty());
    EXPECT_EQ(g->Width(), 8);
    EXPECT_EQ(Rgb(ColorToRGB(g->Canvas()->Pixels(3, 3))), Rgb(ColorToRGB(clBlue)));
  }
  // An index outside the list leaves the glyph empty.
  auto* other = new TAction(owner.get());
  other->SetActionList(list);
  other->SetImageIndex(5);
  auto* c = Button("c", 10, 50);
  c->SetAction(other);
  EXPECT_TRUE(c->Glyph()->Empty());
}

TEST_F(SkinButtonTest, TheGlowLayerShowsOnHoverWhenTheSkinOrTheButtonAsksForIt) {
  InitializeUtilsUnit();
  headless::SetLayeredAvailable(true);
  auto glow = std::make_unique<TBitmap>();
  glow->SetPixelFormat(pf24bit);
  glow->SetSize(30, 20);
  glow->Canvas()->Brush()->SetColor(clYellow);
  glow->Canvas()->FillRect(TRect{0, 0, 30, 20});
  sd->FActivePictures.push_back(std::move(glow));
  auto* r = dynamic_cast<TkxDataSkinButtonControl*>(sd->CtrlList[size_t(sd->GetControlIndex("button"))].get());
  r->GlowLayerPictureIndex = 1;
  r->GlowLayerAlphaBlendValue = 200;
  r->GlowLayerShowOffsetX = r->GlowLayerShowOffsetY = 5;
  auto* b = Button("b", 10, 10, sd);
  ShowForm();
  sd->SetShowButtonGlowFrames(false);
  MoveTo(b, 3, 3);
  EXPECT_FALSE(b->LayerManager()->IsVisible);
  MoveTo(sink, 3, 3);
  b->SetAlwaysShowLayeredFrame(true);
  MoveTo(b, 3, 3);
  ASSERT_TRUE(b->LayerManager()->IsVisible);
  const TPoint at = b->ClientToScreen(TPoint{0, 0});
  const TRect wr = b->LayerManager()->LayerWindow->BoundsRect();
  EXPECT_EQ(wr.left, at.x - 5);
  EXPECT_EQ(wr.top, at.y - 5);
  MoveTo(sink, 3, 3);
  EXPECT_FALSE(b->LayerManager()->IsVisible);
  // A glow picture the skin does not have shows nothing.
  r->GlowLayerPictureIndex = 7;
  b->ChangeSkinData();
  MoveTo(b, 3, 3);
  EXPECT_FALSE(b->LayerManager()->IsVisible);
  MoveTo(sink, 3, 3);
}

TEST_F(SkinButtonTest, StateImagesOutsideThePictureAndRecordsOfAnotherKindFallBackToTheNormalImage) {
  auto* r = dynamic_cast<TkxDataSkinButtonControl*>(sd->CtrlList[size_t(sd->GetControlIndex("button"))].get());
  r->ActiveSkinRect = TRect{500, 0, 520, 10};
  r->DownSkinRect = TRect{0, 0, 0, 0};
  auto* b = Button("b", 10, 10, sd);
  ShowForm();
  MoveTo(b, 3, 3);
  EXPECT_EQ(At(b, 1, 1), Px(kNormal));
  Press(b);
  EXPECT_EQ(At(b, 1, 1), Px(kNormal));  // the down image falls back to the (fallen back) hot one
  Release();
  // A record of the plain custom kind under the button's name: every state is its image.
  auto plain = std::make_unique<TkxDataSkinCustomControl>("plainbutton");
  plain->PictureIndex = 0;
  plain->SkinRect = TRect{40, 0, 60, 10};
  sd->CtrlList.push_back(std::move(plain));
  b->SetSkinDataName("plainbutton");
  b->ChangeSkinData();
  MoveTo(sink, 3, 3);
  EXPECT_EQ(At(b, 1, 1), Px(kDown));
  MoveTo(b, 3, 3);
  EXPECT_EQ(At(b, 1, 1), Px(kDown));
}

// ---- effects ------------------------------------------------------------------------------------

TEST_F(SkinButtonTest, FramesPlayOnHoverAndAStripWithoutFramesIsNoAnimation) {
  for (const char* name : {"button", "toolbutton"}) {
    auto* r = dynamic_cast<TkxDataSkinButtonControl*>(sd->CtrlList[size_t(sd->GetControlIndex(name))].get());
    r->AnimateSkinRect = TRect{100, 0, 160, 10};
    r->AnimateInterval = 30;
  }
  auto* b = Button("b", 10, 10, sd);
  auto* s = Speed("s", 100, 10, sd);
  ShowForm();
  for (TControl* c : {static_cast<TControl*>(b), static_cast<TControl*>(s)}) {
    SCOPED_TRACE(c->Name());
    auto frame = [&] { return c == b ? b->CurrentFrame : s->CurrentFrame; };
    // No frames in the strip: hovering draws the hot image and starts nothing.
    for (const char* name : {"button", "toolbutton"})
      dynamic_cast<TkxDataSkinButtonControl*>(sd->CtrlList[size_t(sd->GetControlIndex(name))].get())->FrameCount = 0;
    b->ChangeSkinData();
    s->ChangeSkinData();
    MoveTo(c, 3, 3);
    EXPECT_EQ(frame(), 0);
    EXPECT_EQ(At(c, 1, 1), Px(kActive));
    MoveTo(c, 60, 60);
    Step(1000);
    for (const char* name : {"button", "toolbutton"})
      dynamic_cast<TkxDataSkinButtonControl*>(sd->CtrlList[size_t(sd->GetControlIndex(name))].get())->FrameCount = 3;
    // Records are read again when the skin changes.
    b->ChangeSkinData();
    s->ChangeSkinData();
    MoveTo(c, 3, 3);
    EXPECT_EQ(frame(), 1);
    Pump();
    EXPECT_EQ(At(c, 1, 1), Px(kFrame[0]));
    Step(30);
    EXPECT_EQ(frame(), 2);
    EXPECT_EQ(At(c, 1, 1), Px(kFrame[1]));
    Step(30);
    EXPECT_EQ(At(c, 1, 1), Px(kFrame[2]));
    Step(30);
    EXPECT_EQ(frame(), 0);
    EXPECT_EQ(At(c, 1, 1), Px(kActive));
    // Leaving plays the strip backwards down to the normal image.
    MoveTo(c, 60, 60);
    EXPECT_EQ(frame(), 3);
    Step(30);
    EXPECT_EQ(frame(), 2);
    Step(30);
    Step(30);
    EXPECT_EQ(frame(), 0);
    EXPECT_EQ(At(c, 1, 1), Px(kNormal));
  }
  // A flat speed button never animates.
  s->SetFlat(true);
  MoveTo(s, 3, 3);
  EXPECT_EQ(s->CurrentFrame, 0);
}

TEST_F(SkinButtonTest, MorphingBlendsTowardsTheHotImageInFifthsAndBack) {
  for (const char* name : {"button", "toolbutton"})
    dynamic_cast<TkxDataSkinButtonControl*>(sd->CtrlList[size_t(sd->GetControlIndex(name))].get())->Morphing = true;
  auto* b = Button("b", 10, 10, sd);
  auto* s = Speed("s", 100, 10, sd);
  ShowForm();
  for (TControl* c : {static_cast<TControl*>(b), static_cast<TControl*>(s)}) {
    SCOPED_TRACE(c->Name());
    auto kf = [&] { return c == b ? b->MorphKf() : s->MorphKf(); };
    MoveTo(c, 3, 3);
    EXPECT_EQ(kf(), 0);
    Step(20);
    EXPECT_NEAR(kf(), 0.2, 1e-9);
    // Half way the picture is neither image.
    Step(20);
    Step(20);
    EXPECT_NEAR(kf(), 0.6, 1e-9);
    EXPECT_NE(At(c, 1, 1), Px(kNormal));
    EXPECT_NE(At(c, 1, 1), Px(kActive));
    for (int i = 0; i < 3; ++i) Step(20);
    EXPECT_EQ(kf(), 1);
    EXPECT_EQ(At(c, 1, 1), Px(kActive));
    MoveTo(c, 60, 60);
    for (int i = 0; i < 6; ++i) Step(20);
    EXPECT_EQ(kf(), 0);
    EXPECT_EQ(At(c, 1, 1), Px(kNormal));
  }
  // Without skin effects there is no morph: the hot image comes at once.
  sd->SetEnableSkinEffects(false);
  MoveTo(b, 3, 3);
  EXPECT_EQ(At(b, 1, 1), Px(kActive));
}

// ---- skins --------------------------------------------------------------------------------------

TEST_F(SkinButtonTest, StoredSkinsDrawTheirButtonRecordsAndASkinChangeIsFollowed) {
  auto* stored = new TkxSkinData(form);
  stored->SetShowLayeredBorders(false);
  // The form's skinned-form component walks the controls on the skin data's messages.
  new TkxVelara(form);
  auto* b = Button("b", 10, 10, stored);
  b->SetCaption("确定");
  auto* s = Speed("s", 100, 10, stored);
  s->SetCaption("打开");
  ShowForm();
  EXPECT_EQ(At(b, 3, 3), Px(clBtnFace));
  for (int skin : {0, 5, 10}) {
    SCOPED_TRACE(skin);
    skinlint::LoadGeneratedSkin(skin, *stored);
    Pump();
    for (auto [c, name] : {std::pair<TControl*, const char*>{b, "button"}, {s, "toolbutton"}}) {
      const int i = stored->GetControlIndex(name);
      ASSERT_GE(i, 0);
      auto* r = dynamic_cast<TkxDataSkinButtonControl*>(stored->CtrlList[size_t(i)].get());
      ASSERT_NE(r, nullptr);
      TBitmap* pic = skinlint::Picture(*stored, r->PictureIndex);
      ASSERT_NE(pic, nullptr);
      EXPECT_EQ(At(c, 0, 0), Px(pic->Canvas()->Pixels(r->SkinRect.left, r->SkinRect.top)));
    }
  }
  stored->ClearSkin();
  Pump();
  EXPECT_EQ(b->SkinIndex(), -1);
  EXPECT_EQ(At(b, 3, 3), Px(clBtnFace));
}

TEST_F(SkinButtonTest, FormsStreamBothButtons) {
  RegisterSkinControlFormClasses();
  const std::string text =
      "object Main: TForm\n"
      "  object sd: TkxSkinData\n"
      "  end\n"
      "  object ok: TkxSkinButton\n"
      "    Left = 4\n"
      "    Top = 5\n"
      "    Caption = '确定'\n"
      "    SkinData = sd\n"
      "    SkinDataName = 'resizebutton'\n"
      "    Default = True\n"
      "    Cancel = True\n"
      "    ModalResult = mrOk\n"
      "    RepeatMode = True\n"
      "    RepeatInterval = 70\n"
      "    Margin = 3\n"
      "    Spacing = 4\n"
      "    Layout = blGlyphTop\n"
      "    NumGlyphs = 2\n"
      "    UseSkinSize = False\n"
      "    OnClick = OkClick\n"
      "  end\n"
      "  object tb: TkxSkinSpeedButton\n"
      "    SkinData = sd\n"
      "    Flat = True\n"
      "    GroupIndex = 3\n"
      "    Down = True\n"
      "    AllowAllUp = True\n"
      "    ShowCaption = False\n"
      "    OnClick = OkClick\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(owner.get());
  int clicks = 0;
  THandlerTable handlers;
  handlers.Add<TNotifyEvent>("OkClick", [&](TObject*) { ++clicks; });
  ReadFormDescription(f, text, "main.dfm", &handlers);
  auto* ok = dynamic_cast<TkxSkinButton*>(f->FindComponent("ok"));
  auto* tb = dynamic_cast<TkxSkinSpeedButton*>(f->FindComponent("tb"));
  ASSERT_NE(ok, nullptr);
  ASSERT_NE(tb, nullptr);
  EXPECT_EQ(ok->Caption(), "确定");
  EXPECT_EQ(ok->SkinDataName(), "resizebutton");
  EXPECT_TRUE(ok->Default());
  EXPECT_TRUE(ok->Cancel());
  EXPECT_EQ(ok->ModalResult(), mrOk);
  EXPECT_TRUE(ok->RepeatMode());
  EXPECT_EQ(ok->RepeatInterval(), 70);
  EXPECT_EQ(ok->Margin(), 3);
  EXPECT_EQ(ok->Spacing(), 4);
  EXPECT_EQ(ok->Layout(), blGlyphTop);
  EXPECT_EQ(ok->NumGlyphs(), 2);
  EXPECT_FALSE(ok->UseSkinSize());
  EXPECT_EQ(ok->Width(), 75);
  EXPECT_EQ(tb->SkinDataName(), "toolbutton");
  EXPECT_TRUE(tb->Flat());
  EXPECT_TRUE(tb->Transparent());
  EXPECT_EQ(tb->GroupIndex(), 3);
  EXPECT_TRUE(tb->Down());
  EXPECT_TRUE(tb->AllowAllUp());
  EXPECT_FALSE(tb->ShowCaption());
  ok->ButtonClick();
  tb->ButtonClick();
  EXPECT_EQ(clicks, 2);
  EXPECT_THROW(ReadFormDescription(new TForm(owner.get()),
                                   "object M: TForm\n  object b: TkxSkinButton\n    NumGlyphs = 7\n  end\nend\n", "m.dfm"),
               std::exception);
}

}  // namespace

namespace {

std::unique_ptr<TBitmap> Solid(TColor C) {
  auto g = std::make_unique<TBitmap>();
  g->SetPixelFormat(pf24bit);
  g->SetSize(8, 8);
  g->Canvas()->Brush()->SetColor(C);
  g->Canvas()->FillRect(TRect{0, 0, 8, 8});
  return g;
}

// On a skinned tool bar a speed button without a glyph draws from the bar's lists: the
// disabled list as it is, the hot list while hot, else the normal list; the bar's Flat and
// caption switches reach it.
TEST_F(SkinButtonTest, ASpeedButtonOnAToolBarDrawsFromTheBarsImageLists) {
  auto list = [&](TColor c) {
    auto* l = new TImageList(owner.get());
    l->SetSize(8, 8);
    auto pic = Solid(c);
    l->Add(pic.get(), nullptr);
    return l;
  };
  const TColor normal = TColor(0x3060C0), hot = TColor(0x30C060), disabled = TColor(0x909030);
  auto* bar = Make<TkxSkinToolBar>(form, "bar", 0, 0, 300, 40);
  bar->SetImages(list(normal));
  bar->SetHotImages(list(hot));
  auto* b = Make<TkxSkinSpeedButton>(bar, "b", 10, 5, 30, 30);
  auto* d = Make<TkxSkinSpeedButton>(bar, "d", 50, 5, 30, 30);
  b->SetImageIndex(0);
  d->SetImageIndex(0);
  d->SetEnabled(false);
  auto* outside = Speed("outside", 100, 100);
  outside->SetImageIndex(0);  // no list of its own: nothing drawn
  ShowForm();
  EXPECT_EQ(At(b, 15, 15), Px(normal));
  EXPECT_NE(At(d, 15, 15), Px(normal)) << "the normal image greyed";
  EXPECT_NE(At(outside, 15, 12), Px(normal));
  MoveTo(b, 15, 15);
  Pump();
  EXPECT_EQ(At(b, 15, 15), Px(hot));
  bar->SetDisabledImages(list(disabled));
  Pump();
  EXPECT_EQ(At(d, 15, 15), Px(disabled)) << "drawn as it is";

  bar->SetFlat(true);
  EXPECT_TRUE(b->Flat());
  EXPECT_TRUE(d->Flat());
}

}  // namespace
