// The skinned panel family and the tool bar: roll-up heights and size constraints, the check box
// of the caption enabling the children, the status bar's grip (hit codes and sizing the form),
// the tool bar's arrows in its non-client area with their steps and timer, the vertical centring
// of the tool bar's children, skin changes and form streaming.
#include <gtest/gtest.h>

#include "classlib/ExtCtrls.h"
#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinPanels.h"
#include "lib/controls/kxSkinToolBar.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace ctltest;
using skinlint::LoadGeneratedSkin;

class SkinPanels : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(100, 100, 300, 200);
    form->SetColor(clWhite);
  }
  template <typename T>
  T* Put(TWinControl* Parent, int x, int y, int w, int h) {
    auto* c = new T(owner.get());
    c->SetParent(Parent);
    c->SetBounds(x, y, w, h);
    return c;
  }
  void Show() {
    form->Show();
    Pump();
  }
  // A click at a client point of C, pumped.
  void ClickIn(TControl* C, int x, int y) {
    TPoint p = C->ClientToScreen(TPoint{x, y});
    headless::Click(p.x, p.y);
    Pump();
  }
  LRESULT HitAt(TWinControl* C, int ScreenX, int ScreenY) {
    return SendMessage(C->Handle(), WM_NCHITTEST, 0, MAKELPARAM(WORD(ScreenX), WORD(ScreenY)));
  }
  // A pixel of the form's back buffer at a point of C's window (its non-client area included).
  uint32_t WindowPixel(TWinControl* C, int x, int y) {
    RECT r;
    GetWindowRect(C->Handle(), &r);
    TPoint f = form->ScreenToClient(TPoint{r.left + x, r.top + y});
    return Rgb(headless::PixelAt(form->Handle(), f.x, f.y));
  }

  TForm* form = nullptr;
};

// ---- roll-up and the caption's check box --------------------------------------------------------

TEST_F(SkinPanels, RollUpKeepsTheCaptionAndComesBackToTheHeightAndConstraints) {
  auto* p = Put<TkxSkinPanel>(form, 10, 10, 200, 120);
  p->SetCaptionMode(true);
  p->SetRollUpMode(true);
  p->Constraints()->SetMinHeight(100);
  p->Constraints()->SetMaxWidth(250);
  auto* a = Put<TPanel>(p, 5, 30, 50, 20);
  auto* b = Put<TPanel>(p, 60, 30, 50, 20);
  b->SetVisible(false);
  int changes = 0;
  p->OnChangeRollUpState = [&](TObject*) { ++changes; };
  Show();

  ClickIn(p, 50, 10);  // in the caption bar
  EXPECT_TRUE(p->RollUpState());
  EXPECT_EQ(p->Height(), 23);  // DefaultCaptionHeight + 1
  EXPECT_EQ(p->RealHeight(), 120);
  EXPECT_FALSE(a->Visible());
  EXPECT_EQ(p->Constraints()->MinHeight(), 0);
  EXPECT_EQ(p->Constraints()->MaxWidth(), 0);
  EXPECT_EQ(changes, 1);

  // Asking again changes nothing.
  p->SetRollUpState(true);
  EXPECT_EQ(p->Height(), 23);
  EXPECT_EQ(changes, 1);

  ClickIn(p, 50, 10);
  EXPECT_FALSE(p->RollUpState());
  EXPECT_EQ(p->Height(), 120);
  EXPECT_EQ(p->RealHeight(), -1);
  EXPECT_TRUE(a->Visible());
  EXPECT_TRUE(b->Visible());  // every child shows again
  // The designer's constraints hold again once the panel is down.
  EXPECT_EQ(p->Constraints()->MinHeight(), 100);
  EXPECT_EQ(p->Constraints()->MaxWidth(), 250);
  p->SetHeight(50);
  EXPECT_EQ(p->Height(), 100);
  EXPECT_EQ(changes, 2);
  // Alignment works again after the roll: a client-aligned child fills the client area.
  a->SetAlign(alClient);
  EXPECT_EQ(a->Top(), 23);  // frame 1 + caption 22
}

TEST_F(SkinPanels, RollUpWithoutRollUpModeOnlyRestoresTheConstraints) {
  auto* p = Put<TkxSkinPanel>(form, 10, 10, 200, 120);
  p->SetCaptionMode(true);
  p->SetRollUpState(true);
  EXPECT_FALSE(p->RollUpState());
  EXPECT_EQ(p->Height(), 120);
}

TEST_F(SkinPanels, SkinnedRollUpFollowsTheSkinsCaptionAcrossSkinChanges) {
  TkxSkinData sd(owner.get());
  LoadGeneratedSkin(0, sd);
  auto* rec = dynamic_cast<TkxDataSkinPanelControl*>(sd.CtrlList[size_t(sd.GetControlIndex("groupbox"))].get());
  ASSERT_NE(rec, nullptr);
  auto* p = Put<TkxSkinPanel>(form, 10, 10, 200, 150);
  p->SetSkinDataName("groupbox");
  p->SetCaptionMode(true);
  p->SetRollUpMode(true);
  p->SetCaption("预览");
  p->SetSkinData(&sd);
  Show();
  ASSERT_NE(p->SkinIndex(), -1);
  p->SetRollUpState(true);
  const int rolled = RectHeight(rec->SkinRect) - RectHeight(rec->ClRect);
  EXPECT_EQ(p->Height(), rolled);
  // The plain look rolls up to its own caption, and the height to come back to stays.
  sd.ClearSkin();
  p->ChangeSkinData();
  EXPECT_EQ(p->SkinIndex(), -1);
  EXPECT_EQ(p->Height(), 23);
  EXPECT_EQ(p->RealHeight(), 150);
  p->SetRollUpState(false);
  EXPECT_EQ(p->Height(), 150);
}

TEST_F(SkinPanels, CheckedEnablesAndDisablesTheChildren) {
  for (bool ribbon : {false, true}) {
    SCOPED_TRACE(ribbon ? "caption at the bottom" : "caption at the top");
    auto* p = Put<TkxSkinPanel>(form, 10, 10, 200, 120);
    p->SetCaptionMode(true);
    p->SetCheckedMode(true);
    p->SetRibbonStyle(ribbon);
    auto* a = Put<TPanel>(p, 5, 40, 50, 20);
    auto* b = Put<TkxSkinPanel>(p, 60, 40, 50, 20);
    int fired = 0;
    p->OnChecked = [&](TObject*) { ++fired; };
    Show();
    const int captionY = ribbon ? 110 : 10;
    ClickIn(p, 100, captionY);
    EXPECT_TRUE(p->Checked());
    EXPECT_TRUE(a->Enabled());
    ClickIn(p, 100, captionY);
    EXPECT_FALSE(p->Checked());
    EXPECT_FALSE(a->Enabled());
    EXPECT_FALSE(b->Enabled());
    EXPECT_EQ(fired, 2);
    // The same value again still fires and applies it again.
    a->SetEnabled(true);
    p->SetChecked(false);
    EXPECT_EQ(fired, 3);
    EXPECT_FALSE(a->Enabled());
    // A click in the client area is no caption click.
    ClickIn(p, 100, 60);
    EXPECT_FALSE(p->Checked());
    // Without AutoEnabledControls the children keep their state.
    p->SetAutoEnabledControls(false);
    p->SetChecked(true);
    EXPECT_FALSE(a->Enabled());
    delete p;
  }
}

TEST_F(SkinPanels, PlainClientRectangleFollowsBorderAndCaption) {
  struct Case {
    TkxSkinBorderStyle border;
    bool caption, ribbon;
    TRect client;
  } cases[] = {
      {TkxSkinBorderStyle::bvFrame, false, false, {1, 1, 99, 79}},
      {TkxSkinBorderStyle::bvNone, false, false, {0, 0, 100, 80}},
      {TkxSkinBorderStyle::bvLowered, true, false, {1, 23, 99, 79}},
      {TkxSkinBorderStyle::bvRaised, true, true, {1, 1, 99, 57}},
  };
  for (const Case& k : cases) {
    auto* p = Put<TkxSkinPanel>(form, 0, 0, 100, 80);
    p->SetBorderStyle(k.border);
    p->SetCaptionMode(k.caption);
    p->SetRibbonStyle(k.ribbon);
    EXPECT_EQ(p->GetSkinClientRect(), k.client);
    delete p;
  }
}

TEST_F(SkinPanels, PanelsOfNoSizePaintNothingAndTransparentModeShowsTheParent) {
  TkxSkinData sd(owner.get());
  LoadGeneratedSkin(0, sd);
  auto* z = Put<TkxSkinPanel>(form, 0, 0, 0, 40);
  z->SetSkinData(&sd);
  auto* t = Put<TkxSkinPanel>(form, 20, 20, 100, 60);
  t->SetTransparentMode(true);
  t->SetSkinData(&sd);
  Show();
  ASSERT_NE(t->SkinIndex(), -1);
  // The form's white shows through; the frame is the skin's shadow colour.
  EXPECT_EQ(Rgb(headless::PixelAt(form->Handle(), 70, 50)), Px(clWhite));
  EXPECT_EQ(Rgb(headless::PixelAt(form->Handle(), 20, 50)), Px(sd.SkinColors()->cBtnShadow()));
}

// Counts the background-changed notices it hears.
class BackgroundProbe : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  int heard = 0;
  void Dispatch(TMessage& m) override {
    if (m.Msg == KXM_PARENTBGCHANGED) ++heard;
    TCustomControl::Dispatch(m);
  }
};

TEST_F(SkinPanels, ATransparentPanelTellsItsChildrenWhenWhatIsBehindChanges) {
  auto* outer = Put<TkxSkinPanel>(form, 10, 10, 200, 150);
  auto* inner = Put<TkxSkinPanel>(outer, 10, 10, 150, 100);
  auto* probe = Put<BackgroundProbe>(inner, 5, 5, 20, 20);
  Show();
  inner->SetTransparentMode(true);
  EXPECT_EQ(probe->heard, 1);
  // Moving, or the background behind it changing, passes the notice on.
  inner->SetLeft(20);
  Pump();
  EXPECT_EQ(probe->heard, 2);
  outer->BroadcastParentBGChanged();
  EXPECT_EQ(probe->heard, 3);
  // An opaque panel keeps it to itself.
  inner->SetTransparentMode(false);
  const int before = probe->heard;
  outer->BroadcastParentBGChanged();
  inner->SetLeft(30);
  Pump();
  EXPECT_EQ(probe->heard, before);
}

// ---- the status bar -----------------------------------------------------------------------------

TEST_F(SkinPanels, StatusBarGripAnswersBottomRightOnlyInsideIt) {
  auto* s = new TkxSkinStatusBar(owner.get());
  s->SetParent(form);
  s->SetSizeGrip(true);
  Show();
  ASSERT_EQ(s->Top(), 179);
  ASSERT_EQ(s->Height(), 21);
  EXPECT_EQ(s->GetSkinClientRect(), (TRect{0, 0, 279, 21}));
  EXPECT_EQ(s->GetGripRect(), (TRect{281, 0, 300, 19}));
  struct Case {
    int x, y;
    LRESULT hit;
  } cases[] = {{290, 10, HTBOTTOMRIGHT}, {281, 0, HTBOTTOMRIGHT}, {299, 19, HTBOTTOMRIGHT}, {285, 18, HTBOTTOMRIGHT},
               {280, 5, HTCLIENT},       {290, 20, HTCLIENT},      {100, 10, HTCLIENT},      {0, 0, HTCLIENT}};
  for (const Case& k : cases) {
    TPoint p = s->ClientToScreen(TPoint{k.x, k.y});
    EXPECT_EQ(HitAt(s, p.x, p.y), k.hit) << k.x << "," << k.y;
  }
  // The grip's lines are drawn in the shadow colour.
  EXPECT_EQ(Rgb(headless::PixelAt(form->Handle(), 284 + 13, 179 + 19 - 13 + 0)), Px(clBtnShadow));

  // Without the grip (a maximized form) the bar is all client again.
  s->SetShowGrip(false);
  EXPECT_EQ(s->GetSkinClientRect(), (TRect{0, 0, 300, 21}));
  TPoint p = s->ClientToScreen(TPoint{290, 10});
  EXPECT_EQ(HitAt(s, p.x, p.y), HTCLIENT);
}

TEST_F(SkinPanels, DraggingTheGripSizesTheForm) {
  auto* s = new TkxSkinStatusBar(owner.get());
  s->SetParent(form);
  s->SetSizeGrip(true);
  Show();
  TPoint p = s->ClientToScreen(TPoint{290, 10});
  headless::MoveMouse(p.x, p.y);
  Pump();
  headless::ButtonDown();
  headless::MoveMouse(p.x + 20, p.y + 10);
  headless::MoveMouse(p.x + 40, p.y + 30);
  headless::ButtonUp();
  Pump();
  EXPECT_EQ(form->Width(), 340);
  EXPECT_EQ(form->Height(), 230);
  // The bar follows the form's bottom edge.
  EXPECT_EQ(s->Top(), 209);
  EXPECT_EQ(s->Width(), 340);
}

TEST_F(SkinPanels, SkinnedStatusBarPassesItsSkinToItsChildren) {
  TkxSkinData sd(owner.get());
  LoadGeneratedSkin(3, sd);
  auto* s = new TkxSkinStatusBar(owner.get());
  s->SetParent(form);
  auto* child = Put<TkxSkinPanel>(s, 2, 2, 60, 16);
  s->SetSizeGrip(true);
  s->SetSkinData(&sd);
  Show();
  EXPECT_NE(s->SkinIndex(), -1);
  EXPECT_EQ(child->SkinData(), &sd);
  // No gripper picture in the record: the grip is the square beside the client area.
  const TRect c = s->GetSkinClientRect();
  EXPECT_EQ(s->GetGripRect(), (TRect{c.right + 2, c.top, c.right + RectHeight(c), c.bottom - 2}));
}

// ---- skins built in code ------------------------------------------------------------------------

constexpr TColor kFrame = TColor(0x0000C0), kInside = TColor(0xC00000), kBackdrop = TColor(0x00A0A0);

std::unique_ptr<TBitmap> Solid(int w, int h, TColor c) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(c);
  b->Canvas()->FillRect(TRect{0, 0, w, h});
  return b;
}

// A 40 x 40 nine-part picture (5-pixel frame), a backdrop picture, and panel records on them.
void FillPanelSkin(TkxSkinData& SD) {
  auto pic = Solid(40, 40, kFrame);
  pic->Canvas()->Brush()->SetColor(kInside);
  pic->Canvas()->FillRect(TRect{5, 5, 35, 35});
  SD.FActivePictures.push_back(std::move(pic));
  SD.FActivePictures.push_back(Solid(10, 10, kBackdrop));
  auto add = [&](const char* name) {
    auto r = std::make_unique<TkxDataSkinPanelControl>(name);
    r->PictureIndex = 0;
    r->SkinRect = TRect{0, 0, 40, 40};
    r->LTPoint = {5, 5}, r->RTPoint = {35, 5}, r->LBPoint = {5, 35}, r->RBPoint = {35, 35};
    r->ClRect = TRect{5, 5, 35, 35};
    auto* raw = r.get();
    SD.CtrlList.push_back(std::move(r));
    return raw;
  };
  add("panel");
  add("bgpanel")->BGPictureIndex = 1;
  add("lowcaption")->CaptionRect = TRect{5, 36, 35, 40};
  add("topcaption")->CaptionRect = TRect{5, 0, 35, 5};
  add("statusbar")->GripperRect = TRect{30, 30, 40, 40};
  SD.Empty = false;
}

TEST_F(SkinPanels, ABackgroundPictureIsAllTheSkinnedPanelShows) {
  TkxSkinData sd(owner.get());
  FillPanelSkin(sd);
  auto* p = Put<TkxSkinPanel>(form, 10, 10, 100, 60);
  p->SetSkinDataName("bgpanel");
  p->SetSkinData(&sd);
  auto* n = Put<TkxSkinPanel>(form, 150, 10, 100, 60);
  n->SetSkinData(&sd);
  Show();
  EXPECT_EQ(p->GetSkinClientRect(), (TRect{0, 0, 100, 60}));
  for (TPoint q : {TPoint{0, 0}, TPoint{50, 30}, TPoint{99, 59}})
    EXPECT_EQ(Rgb(headless::PixelAt(form->Handle(), 10 + q.x, 10 + q.y)), Px(kBackdrop)) << q.x << "," << q.y;
  // The plain record: its frame and its client part resized.
  EXPECT_EQ(n->GetSkinClientRect(), (TRect{5, 5, 95, 55}));
  EXPECT_EQ(Rgb(headless::PixelAt(form->Handle(), 150, 10)), Px(kFrame));
  EXPECT_EQ(Rgb(headless::PixelAt(form->Handle(), 200, 40)), Px(kInside));
}

TEST_F(SkinPanels, AGroupBoxWithItsCaptionUnderTheClientStopsForcingTheBackground) {
  TkxSkinData sd(owner.get());
  FillPanelSkin(sd);
  auto* g = Put<TkxSkinGroupBox>(form, 10, 10, 100, 60);
  EXPECT_TRUE(g->ForcebackGround());
  g->SetSkinDataName("topcaption");
  g->SetSkinData(&sd);
  EXPECT_TRUE(g->ForcebackGround());
  g->SetSkinDataName("lowcaption");
  g->ChangeSkinData();
  EXPECT_FALSE(g->ForcebackGround());
  // A later skin with the caption on top does not turn it back on.
  g->SetSkinDataName("topcaption");
  g->ChangeSkinData();
  EXPECT_FALSE(g->ForcebackGround());
}

TEST_F(SkinPanels, ASkinnedGripperSitsInTheBottomRightCorner) {
  TkxSkinData sd(owner.get());
  FillPanelSkin(sd);
  auto* s = new TkxSkinStatusBar(owner.get());
  s->SetParent(form);
  s->SetSizeGrip(true);
  s->SetSkinData(&sd);
  Show();
  ASSERT_NE(s->SkinIndex(), -1);
  EXPECT_EQ(s->GetSkinClientRect(), (TRect{0, 0, 290, 21}));
  EXPECT_EQ(s->GetGripRect(), (TRect{290, 11, 300, 21}));
  TPoint in = s->ClientToScreen(TPoint{295, 15}), above = s->ClientToScreen(TPoint{295, 5});
  EXPECT_EQ(HitAt(s, in.x, in.y), HTBOTTOMRIGHT);
  EXPECT_EQ(HitAt(s, above.x, above.y), HTCLIENT);
}

// ---- the tool bar -------------------------------------------------------------------------------

// A skinned child that hears what the tool bar hands on to its buttons.
class ToolButtonProbe : public TkxSkinCustomControl, public TkxToolBarButton {
public:
  using TkxSkinCustomControl::TkxSkinCustomControl;
  bool flat = false, caption = false;
  int images = 0;
  TNameKind kind = nkSpeedButton;
  void SetFlat(bool Value) override { flat = Value; }
  void SetShowCaption(bool Value) override { caption = Value; }
  void ToolBarImagesChanged() override { ++images; }
  TNameKind ToolBarNameKind() const override { return kind; }
};

class SkinToolBar : public SkinPanels {
protected:
  // A tool bar 200 wide at (10, 10) holding five buttons 55 wide, 60 apart (295 in all).
  TkxSkinToolBar* Crowded(int ScrollOffset = 30, bool Hot = false) {
    bar = new TkxSkinToolBar(owner.get());
    bar->SetParent(form);
    bar->SetBounds(10, 10, 200, 40);
    bar->SetCanScroll(true);
    bar->SetHotScroll(Hot);
    bar->SetScrollOffset(ScrollOffset);
    for (int i = 0; i < 5; ++i) kids.push_back(Put<ToolButtonProbe>(bar, i * 60, 0, 55, 24));
    Show();
    bar->UpdateScrollRange();
    Pump();
    return bar;
  }
  std::vector<int> Lefts() {
    std::vector<int> v;
    for (auto* k : kids) v.push_back(k->Left());
    return v;
  }
  TPoint LeftArrow() {
    RECT r;
    GetWindowRect(bar->Handle(), &r);
    return TPoint{r.left + 5, r.top + 20};
  }
  TPoint RightArrow() {
    RECT r;
    GetWindowRect(bar->Handle(), &r);
    return TPoint{r.right - 5, r.top + 20};
  }

  TkxSkinToolBar* bar = nullptr;
  std::vector<ToolButtonProbe*> kids;
};

TEST_F(SkinToolBar, ArrowsAppearInTheNonClientAreaWhenTheChildrenDoNotFit) {
  Crowded();
  ASSERT_TRUE(bar->Buttons[0].Visible);
  ASSERT_TRUE(bar->Buttons[1].Visible);
  EXPECT_EQ(bar->ClientWidth(), 176);
  EXPECT_EQ(bar->SMax, 294);
  EXPECT_EQ(bar->SPage, 176);
  EXPECT_EQ(bar->Buttons[1].R, (TRect{188, 0, 200, 40}));
  RECT wr;
  GetWindowRect(bar->Handle(), &wr);
  struct Case {
    int x;
    LRESULT hit;
  } cases[] = {{0, HTKXSCROLLLEFT}, {11, HTKXSCROLLLEFT}, {12, HTCLIENT}, {187, HTCLIENT}, {188, HTKXSCROLLRIGHT},
               {199, HTKXSCROLLRIGHT}};
  for (const Case& k : cases) EXPECT_EQ(HitAt(bar, wr.left + k.x, wr.top + 20), k.hit) << k.x;
  // The arrows are drawn in the plain look, framed in the shadow colour.
  EXPECT_EQ(WindowPixel(bar, 0, 20), Px(clBtnShadow));
  EXPECT_EQ(WindowPixel(bar, 199, 20), Px(clBtnShadow));
  EXPECT_EQ(WindowPixel(bar, 3, 3), Px(clBtnFace));
}

TEST_F(SkinToolBar, ChildrenThatFitNeverShowTheArrows) {
  bar = new TkxSkinToolBar(owner.get());
  bar->SetParent(form);
  bar->SetBounds(10, 10, 200, 40);
  bar->SetCanScroll(true);
  Put<ToolButtonProbe>(bar, 0, 0, 100, 24);
  Put<ToolButtonProbe>(bar, 100, 0, 100, 24);  // ends exactly at the client width
  Show();
  bar->UpdateScrollRange();
  EXPECT_FALSE(bar->Buttons[0].Visible);
  EXPECT_EQ(bar->ClientWidth(), 200);
  RECT wr;
  GetWindowRect(bar->Handle(), &wr);
  EXPECT_EQ(HitAt(bar, wr.left + 2, wr.top + 20), HTCLIENT);
}

TEST_F(SkinToolBar, AQuickClickOnAnArrowScrollsOneStep) {
  Crowded(30);
  const std::vector<int> before = Lefts();
  TPoint r = RightArrow();
  headless::Click(r.x, r.y);
  Pump();
  EXPECT_EQ(bar->SPosition, 30);
  EXPECT_EQ(Lefts()[0], before[0] - 30);
  EXPECT_EQ(Lefts()[4], before[4] - 30);
  TPoint l = LeftArrow();
  headless::Click(l.x, l.y);
  Pump();
  EXPECT_EQ(bar->SPosition, 0);
  EXPECT_EQ(Lefts(), before);
  // Left of the start nothing moves.
  headless::Click(l.x, l.y);
  Pump();
  EXPECT_EQ(Lefts(), before);
}

TEST_F(SkinToolBar, HoldingAnArrowStepsEveryTimerIntervalUntilTheEnd) {
  Crowded(30);
  TPoint r = RightArrow();
  headless::MoveMouse(r.x, r.y);
  Pump();
  headless::ButtonDown();
  Pump();
  EXPECT_EQ(bar->SPosition, 0);  // the press starts the timer, no step yet
  clock.Advance(49);
  Pump();
  EXPECT_EQ(bar->SPosition, 0);
  clock.Advance(1);
  Pump();
  EXPECT_EQ(bar->SPosition, 30);
  for (int i = 0; i < 3; ++i) {
    clock.Advance(50);
    Pump();
  }
  EXPECT_EQ(bar->SPosition, 119);  // SMax - SPage + 1 = 294 - 176 + 1
  EXPECT_EQ(kids[4]->Left() + kids[4]->Width(), 176);  // the last button ends at the client edge
  // A step that moves nothing stops the timer.
  clock.Advance(50);
  Pump();
  EXPECT_EQ(bar->TimerMode, 0);
  headless::ButtonUp();
  Pump();
  EXPECT_EQ(bar->SPosition, 119);
}

TEST_F(SkinToolBar, ScrollOffsetZeroStepsByTheClientWidth) {
  Crowded(0);
  bar->ScrollStep(2);
  EXPECT_EQ(bar->SPosition, 119);  // 176 capped at SMax - SPage + 1
  bar->ScrollStep(1);
  EXPECT_EQ(bar->SPosition, 0);
}

TEST_F(SkinToolBar, HotScrollStepsWhileHoveredAndStopsOnLeaving) {
  Crowded(30, true);
  TPoint r = RightArrow();
  headless::MoveMouse(r.x, r.y);
  Pump();
  EXPECT_TRUE(bar->Buttons[1].MouseIn);
  EXPECT_EQ(bar->TimerMode, 2);
  clock.Advance(50);
  Pump();
  EXPECT_EQ(bar->SPosition, 30);
  // The hovered arrow shows pressed.
  EXPECT_EQ(WindowPixel(bar, 199, 20), Px(TColor(RGB(0, 0, 128))));
  // Into the client area: the hover ends and so does the scrolling.
  TPoint c = bar->ClientToScreen(TPoint{80, 35});
  headless::MoveMouse(c.x, c.y);
  Pump();
  EXPECT_FALSE(bar->Buttons[1].MouseIn);
  EXPECT_EQ(bar->TimerMode, 0);
  clock.Advance(200);
  Pump();
  EXPECT_EQ(bar->SPosition, 30);
}

TEST_F(SkinToolBar, HoveringWithoutHotScrollOnlyChangesTheLook) {
  Crowded(30, false);
  EXPECT_EQ(WindowPixel(bar, 199, 20), Px(clBtnShadow));
  TPoint r = RightArrow();
  headless::MoveMouse(r.x, r.y);
  Pump();
  EXPECT_TRUE(bar->Buttons[1].MouseIn);
  EXPECT_EQ(bar->TimerMode, 0);
  clock.Advance(500);
  Pump();
  EXPECT_EQ(bar->SPosition, 0);
  EXPECT_EQ(WindowPixel(bar, 199, 20), Px(TColor(RGB(0, 0, 128))));
  EXPECT_EQ(WindowPixel(bar, 196, 3), Px(TColor(RGB(182, 189, 210))));
}

TEST_F(SkinToolBar, AScrolledBarThatBecomesWideEnoughPutsItsChildrenBack) {
  Crowded(30);
  const std::vector<int> before = Lefts();
  bar->ScrollStep(2);
  bar->ScrollStep(2);
  ASSERT_EQ(bar->SPosition, 60);
  bar->SetWidth(320);
  Pump();
  EXPECT_FALSE(bar->Buttons[0].Visible);
  EXPECT_EQ(bar->ClientWidth(), 320);
  EXPECT_EQ(bar->SPosition, 0);
  EXPECT_EQ(Lefts(), before);
  RECT wr;
  GetWindowRect(bar->Handle(), &wr);
  EXPECT_EQ(HitAt(bar, wr.left + 2, wr.top + 20), HTCLIENT);
}

TEST_F(SkinToolBar, AnAlignedBarThatGrowsWhileScrolledGivesBackTheGrowth) {
  bar = new TkxSkinToolBar(owner.get());
  bar->SetParent(form);
  bar->SetCanScroll(true);
  bar->SetScrollOffset(30);
  bar->SetAlign(alTop);
  for (int i = 0; i < 6; ++i) kids.push_back(Put<ToolButtonProbe>(bar, i * 60, 0, 55, 24));  // 355 wide
  bar->SetHeight(40);
  Show();
  ASSERT_TRUE(bar->Buttons[1].Visible);
  ASSERT_EQ(bar->ClientWidth(), 276);
  bar->ScrollStep(2);
  bar->ScrollStep(2);
  ASSERT_EQ(bar->SPosition, 60);
  ASSERT_EQ(kids[0]->Left(), -60);
  form->SetWidth(320);
  Pump();
  EXPECT_EQ(bar->Width(), 320);
  EXPECT_EQ(bar->SPosition, 40);
  EXPECT_EQ(kids[0]->Left(), -40);
  EXPECT_EQ(bar->SMax, 354);
  EXPECT_EQ(bar->SPage, 296);
  // Wide enough for everything: back to the start, no arrows.
  form->SetWidth(400);
  Pump();
  EXPECT_FALSE(bar->Buttons[1].Visible);
  EXPECT_EQ(kids[0]->Left(), 0);
  EXPECT_EQ(bar->SPosition, 0);
}

TEST_F(SkinToolBar, ChildrenStayVerticallyCentred) {
  bar = new TkxSkinToolBar(owner.get());
  bar->SetParent(form);
  bar->SetBounds(0, 0, 300, 40);
  auto* skinned = Put<ToolButtonProbe>(bar, 0, 3, 50, 10);
  auto* plain = Put<TPanel>(bar, 60, 0, 50, 20);
  auto* aligned = Put<TPanel>(bar, 120, 0, 50, 20);
  aligned->SetAlign(alLeft);
  Show();
  EXPECT_EQ(skinned->Top(), 15);  // a skinned child centres itself in its own SetBounds
  bar->SetHeight(60);
  EXPECT_EQ(skinned->Top(), 25);
  EXPECT_EQ(plain->Top(), 20);
  EXPECT_EQ(aligned->Top(), 0);
  bar->SetAdjustControls(false);
  skinned->SetTop(3);
  EXPECT_EQ(skinned->Top(), 3);
}

TEST_F(SkinToolBar, PassesFlatCaptionsImagesAndSkinToItsButtons) {
  TkxSkinData sd(owner.get());
  LoadGeneratedSkin(5, sd);
  bar = new TkxSkinToolBar(owner.get());
  bar->SetParent(form);
  auto* b = Put<ToolButtonProbe>(bar, 0, 0, 40, 20);
  bar->SetFlat(true);
  EXPECT_TRUE(b->flat);
  bar->SetShowCaptions(true);
  EXPECT_FALSE(b->caption);  // only with AutoShowHideCaptions
  bar->SetAutoShowHideCaptions(true);
  bar->SetWidthWithCaptions(300);
  bar->SetWidthWithoutCaptions(150);
  bar->SetShowCaptions(false);
  EXPECT_FALSE(b->caption);
  EXPECT_EQ(bar->Width(), 150);
  bar->SetShowCaptions(true);
  EXPECT_TRUE(b->caption);
  EXPECT_EQ(bar->Width(), 300);
  auto* il = new TImageList(owner.get());
  bar->SetImages(il);
  EXPECT_EQ(b->images, 1);
  delete il;  // removed: the tool bar forgets it and tells its buttons
  EXPECT_EQ(bar->Images(), nullptr);
  EXPECT_EQ(b->images, 2);
  bar->SetSkinData(&sd);
  EXPECT_EQ(b->SkinData(), &sd);
  bar->GetSkinData();
  EXPECT_NE(bar->SkinIndex(), -1);
}

TEST_F(SkinToolBar, ButtonNamesFollowTheToolBarsName) {
  using K = TkxToolBarButton;
  struct Case {
    const char* bar;
    const char* speed;
    const char* track;
    const char* menu;
  } cases[] = {{"resizetoolpanel", "resizetoolbutton", "resizetoolbutton", "resizetoolbutton"},
               {"panel", "resizebutton", "resizebutton", "resizebutton"},
               {"bigtoolpanel", "bigtoolbutton", "bigtoolmenutrackbutton", "bigtoolmenubutton"},
               {"toolpanel", "toolbutton", "toolmenutrackbutton", "toolmenubutton"}};
  for (const Case& k : cases) {
    EXPECT_EQ(ToolButtonSkinDataName(k.bar, K::nkSpeedButton), k.speed);
    EXPECT_EQ(ToolButtonSkinDataName(k.bar, K::nkMenuTrackButton), k.track);
    EXPECT_EQ(ToolButtonSkinDataName(k.bar, K::nkMenuButton), k.menu);
  }
  // At run time the buttons keep their names.
  bar = new TkxSkinToolBar(owner.get());
  bar->SetParent(form);
  auto* b = Put<ToolButtonProbe>(bar, 0, 0, 40, 20);
  b->SetSkinDataName("mine");
  bar->SetSkinDataName("bigtoolpanel");
  EXPECT_EQ(b->SkinDataName(), "mine");
}

TEST_F(SkinToolBar, SkinnedArrowsComeFromTheResizeButtonRecord) {
  TkxSkinData sd(owner.get());
  LoadGeneratedSkin(0, sd);
  Crowded(30);
  bar->SetSkinData(&sd);
  Pump();
  bar->GetSkinData();
  ASSERT_NE(bar->ButtonData, nullptr);
  ASSERT_TRUE(bar->Buttons[0].Visible);
  // The arrow's frame is the record's picture, not the plain shadow frame.
  EXPECT_NE(WindowPixel(bar, 3, 3), Px(clBtnFace));
}

// ---- streaming ----------------------------------------------------------------------------------

TEST_F(SkinPanels, TheFamilyReadsFromAFormDescription) {
  RegisterSkinDataFormClasses();
  const char* text =
      "object F: TForm\n"
      "  object p: TkxSkinPanel\n"
      "    Caption = '预设'\n"
      "    CaptionMode = True\n"
      "    CheckedMode = True\n"
      "    RollUpMode = True\n"
      "    BorderStyle = bvLowered\n"
      "    DefaultAlignment = taCenter\n"
      "    DefaultCaptionHeight = 20\n"
      "    ImagePosition = kxipLeft\n"
      "    NumGlyphs = 2\n"
      "    Spacing = 4\n"
      "    SkinDataName = 'groupbox'\n"
      "  end\n"
      "  object t: TkxSkinToolBar\n"
      "    Align = alTop\n"
      "    Height = 59\n"
      "    CanScroll = True\n"
      "    HotScroll = True\n"
      "    ScrollOffset = 30\n"
      "    ScrollTimerInterval = 40\n"
      "    ShowCaptions = True\n"
      "    Flat = True\n"
      "    SkinDataName = 'resizetoolpanel'\n"
      "  end\n"
      "  object s: TkxSkinStatusBar\n"
      "    SizeGrip = True\n"
      "  end\n"
      "  object g: TkxSkinGroupBox\n"
      "  end\n"
      "  object pp: TkxSkinPaintPanel\n"
      "    TransparentMode = True\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(owner.get());
  ReadFormDescription(f, text, "panels.dfm");
  auto* p = dynamic_cast<TkxSkinPanel*>(f->FindComponent("p"));
  auto* t = dynamic_cast<TkxSkinToolBar*>(f->FindComponent("t"));
  auto* s = dynamic_cast<TkxSkinStatusBar*>(f->FindComponent("s"));
  auto* g = dynamic_cast<TkxSkinGroupBox*>(f->FindComponent("g"));
  auto* pp = dynamic_cast<TkxSkinPaintPanel*>(f->FindComponent("pp"));
  ASSERT_TRUE(p && t && s && g && pp);
  EXPECT_EQ(p->Caption(), "预设");
  EXPECT_TRUE(p->CaptionMode() && p->CheckedMode() && p->RollUpMode());
  EXPECT_EQ(p->BorderStyle(), TkxSkinBorderStyle::bvLowered);
  EXPECT_EQ(p->DefaultAlignment(), taCenter);
  EXPECT_EQ(p->DefaultCaptionHeight(), 20);
  EXPECT_EQ(p->ImagePosition(), kxipLeft);
  EXPECT_EQ(p->NumGlyphs(), 2);
  EXPECT_EQ(p->Spacing(), 4);
  EXPECT_EQ(p->SkinDataName(), "groupbox");
  EXPECT_EQ(t->Height(), 59);
  EXPECT_TRUE(t->CanScroll() && t->HotScroll() && t->ShowCaptions() && t->Flat());
  EXPECT_EQ(t->ScrollOffset(), 30);
  EXPECT_EQ(t->ScrollTimerInterval(), 40);
  EXPECT_EQ(t->SkinDataName(), "resizetoolpanel");
  EXPECT_TRUE(s->SizeGrip());
  EXPECT_EQ(s->Align(), alBottom);
  EXPECT_EQ(g->SkinDataName(), "groupbox");
  EXPECT_TRUE(g->CaptionMode());
  EXPECT_TRUE(pp->TransparentMode());
  EXPECT_FALSE(pp->ForcebackGround());

  const char* bad =
      "object F: TForm\n"
      "  object p: TkxSkinPanel\n"
      "    NumGlyphs = 3\n"
      "  end\n"
      "end\n";
  auto* f2 = new TForm(owner.get());
  EXPECT_THROW(ReadFormDescription(f2, bad, "bad.dfm"), EFormError);
}

TEST_F(SkinPanels, PaintPanelPaintsThroughItsEventInEveryLook) {
  TkxSkinData sd(owner.get());
  LoadGeneratedSkin(0, sd);
  auto* p = Put<TkxSkinPaintPanel>(form, 10, 10, 100, 60);
  TRect seen{};
  int calls = 0;
  p->OnPanelPaint = [&](TCanvas* C, TRect& R) {
    ++calls;
    seen = R;
    C->Brush()->SetColor(clRed);
    C->FillRect(R);
  };
  Show();
  EXPECT_GT(calls, 0);
  EXPECT_EQ(seen, (TRect{1, 1, 99, 59}));
  EXPECT_EQ(Rgb(headless::PixelAt(form->Handle(), 60, 40)), Px(clRed));
  p->SetSkinData(&sd);
  form->Repaint();
  Pump();
  EXPECT_EQ(seen, p->GetSkinClientRect());
  EXPECT_EQ(Rgb(headless::PixelAt(form->Handle(), 60, 40)), Px(clRed));
}

}  // namespace
