// The plain standard controls: labels sizing to their text, check boxes and radio groups,
// panels and group boxes giving room to their frames, images placing their picture, timers.
#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "tests/classlib/ControlTestFixture.h"

using namespace ctltest;

namespace {

struct PeekBox : TGroupBox {
  using TGroupBox::TGroupBox;
  using TGroupBox::AdjustClientRect;
};

TEST_F(ControlTest, AutoSizedLabelFollowsItsTextAndNeverCollapses) {
  TForm* f = NewForm();
  auto* l = Make<TLabel>(f, "l", 5, 5, 10, 10);
  l->SetCaption("Hello");
  int32_t w1 = l->Width(), h1 = l->Height();
  EXPECT_GT(w1, 10);
  EXPECT_GT(h1, 0);
  l->SetCaption("Hello, world");
  EXPECT_GT(l->Width(), w1);
  EXPECT_EQ(l->Height(), h1);
  l->SetCaption("");  // one line high still
  EXPECT_EQ(l->Height(), h1);
  l->SetCaption("&&");  // an escaped "&" is one character wide, not empty
  EXPECT_GT(l->Width(), 0);
  l->SetAutoSize(false);
  l->SetCaption("a much longer caption than before");
  EXPECT_EQ(l->Height(), h1);
}

TEST_F(ControlTest, CheckBoxCyclesItsStatesOnClickAndSpace) {
  TForm* f = NewForm(100, 100, 200, 100);
  auto* cb = Make<TCheckBox>(f, "cb", 10, 10, 100, 20);
  int clicks = 0;
  cb->OnClick = [&](TObject*) { ++clicks; };
  f->Show();
  Pump();
  ClickAt(cb, 5, 5);
  EXPECT_EQ(cb->State(), cbChecked);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(cb->Focused());
  cb->SetAllowGrayed(true);
  headless::PressKey(VK_SPACE);
  Pump();
  EXPECT_EQ(cb->State(), cbGrayed);
  headless::PressKey(VK_SPACE);
  Pump();
  EXPECT_EQ(cb->State(), cbUnchecked);
  EXPECT_EQ(clicks, 3);
  // Released outside: no change.
  MoveTo(cb, 5, 5);
  headless::ButtonDown();
  MoveTo(f, 190, 90);
  headless::ButtonUp();
  Pump();
  EXPECT_EQ(cb->State(), cbUnchecked);
  cb->SetChecked(true);  // by program: the click event, as the class library does it
  EXPECT_EQ(clicks, 4);
}

TEST_F(ControlTest, RadioButtonsOfOneParentExcludeEachOther) {
  TForm* f = NewForm(100, 100, 300, 200);
  auto* box = Make<PeekBox>(f, "box", 0, 0, 150, 150);
  auto* r1 = Make<TRadioButton>(box, "r1", 5, 20, 100, 20);
  auto* r2 = Make<TRadioButton>(box, "r2", 5, 50, 100, 20);
  auto* other = Make<TRadioButton>(f, "other", 160, 20, 100, 20);
  other->SetChecked(true);
  r1->SetChecked(true);
  f->Show();
  Pump();
  ClickAt(r2, 5, 5);
  EXPECT_TRUE(r2->Checked());
  EXPECT_FALSE(r1->Checked());
  EXPECT_TRUE(other->Checked());  // another parent, another group
  EXPECT_TRUE(r2->TabStop());
  EXPECT_FALSE(r1->TabStop());
  // The group box leaves room for its caption and frame.
  TRect r = box->ClientRect();
  TRect inner = r;
  box->AdjustClientRect(inner);
  EXPECT_GT(inner.top, r.top + 2);
  EXPECT_EQ(inner.left, r.left + 2);
}

TEST_F(ControlTest, PanelBevelsNarrowTheAreaItsChildrenAlignIn) {
  TForm* f = NewForm(0, 0, 300, 200);
  auto* p = Make<TPanel>(f, "p", 0, 0, 100, 80);
  p->SetBevelInner(bvLowered);
  p->SetBevelWidth(2);
  p->SetBorderWidth(3);
  auto* c = Make<WinProbe>(p, "c", 0, 0, 10, 10);
  c->SetAlign(alClient);
  f->Show();
  EXPECT_EQ(c->BoundsRect(), (TRect{7, 7, 93, 73}));  // 2 outer + 3 border + 2 inner
  p->SetAlign(alLeft);
  EXPECT_EQ(p->Height(), f->ClientHeight());
  EXPECT_EQ(c->BoundsRect(), (TRect{7, 7, 93, f->ClientHeight() - 7}));
}

TEST_F(ControlTest, ImagePlacesItsPictureAndAutoSizes) {
  TForm* f = NewForm();
  auto* im = Make<TImage>(f, "im", 0, 0, 100, 50);
  EXPECT_EQ(im->DestRect(), (TRect{0, 0, 0, 0}));  // no picture: nothing drawn
  TBitmap bmp;
  bmp.SetSize(40, 20);
  im->Picture()->SetGraphic(&bmp);
  EXPECT_EQ(im->DestRect(), (TRect{0, 0, 40, 20}));
  im->SetCenter(true);
  EXPECT_EQ(im->DestRect(), (TRect{30, 15, 70, 35}));
  im->SetStretch(true);
  im->SetProportional(true);
  EXPECT_EQ(im->DestRect(), (TRect{0, 0, 100, 50}));
  im->SetBounds(0, 0, 100, 100);
  EXPECT_EQ(im->DestRect(), (TRect{0, 25, 100, 75}));
  im->SetAutoSize(true);
  EXPECT_EQ(im->Width(), 40);
  EXPECT_EQ(im->Height(), 20);
  f->Show();
  Pump();  // paints without trouble
}

TEST_F(ControlTest, TimerFiresOnTheSteppedClockAndStopsWhenDisabled) {
  TTimer t(nullptr);
  t.SetInterval(100);
  int ticks = 0;
  t.OnTimer = [&](TObject*) { ++ticks; };
  clock.Advance(99);
  Pump();
  EXPECT_EQ(ticks, 0);
  clock.Advance(1);
  Pump();
  EXPECT_EQ(ticks, 1);
  t.SetEnabled(false);
  clock.Advance(500);
  Pump();
  EXPECT_EQ(ticks, 1);
  t.SetEnabled(true);
  t.SetInterval(0);  // an interval of 0 runs nothing
  clock.Advance(500);
  Pump();
  EXPECT_EQ(ticks, 1);
}

TEST_F(ControlTest, ButtonClickSetsTheFormsModalResult) {
  TForm* f = NewForm(100, 100, 200, 100);
  auto* b = Make<TButton>(f, "b", 10, 10, 60, 25);
  b->SetModalResult(mrYes);
  f->Show();
  Pump();
  ClickAt(b, 5, 5);
  EXPECT_EQ(f->ModalResult(), mrYes);
  f->SetModalResult(mrNone);
  b->SetFocus();
  headless::PressKey(VK_SPACE);
  Pump();
  EXPECT_EQ(f->ModalResult(), mrYes);
}

}  // namespace
