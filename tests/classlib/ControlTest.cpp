// The control model: alignment, anchors and constraints, painting of graphic controls, mouse
// routing with capture, enter and leave, message dispatch through WindowProc.
#include "tests/classlib/ControlTestFixture.h"

using namespace ctltest;

namespace {

struct AlignCase {
  const char* what;
  std::vector<TAlign> aligns;  // children in creation order, each 10 wide and 10 high at first
  std::vector<TRect> expected;
};

class AlignTest : public ControlTest, public ::testing::WithParamInterface<AlignCase> {};

TEST_P(AlignTest, LaysOutChildrenInTheClientArea) {
  const AlignCase& c = GetParam();
  TForm* f = NewForm(0, 0, 200, 100);
  std::vector<WinProbe*> kids;
  for (size_t i = 0; i < c.aligns.size(); ++i) {
    auto* k = Make<WinProbe>(f, "k" + std::to_string(i), 5, 5 + int(i), 10, 10);
    k->SetAlign(c.aligns[i]);
    kids.push_back(k);
  }
  f->Show();
  for (size_t i = 0; i < kids.size(); ++i) EXPECT_EQ(kids[i]->BoundsRect(), c.expected[i]) << c.what << " child " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, AlignTest,
    ::testing::Values(
        AlignCase{"top then bottom", {alTop, alBottom}, {{0, 0, 200, 10}, {0, 90, 200, 100}}},
        AlignCase{"two tops stack in order", {alTop, alTop}, {{0, 0, 200, 10}, {0, 10, 200, 20}}},
        AlignCase{"left and right inside top and bottom",
                  {alLeft, alTop, alRight, alBottom},
                  {{0, 10, 10, 90}, {0, 0, 200, 10}, {190, 10, 200, 90}, {0, 90, 200, 100}}},
        AlignCase{"client takes what is left",
                  {alClient, alTop, alLeft},
                  {{10, 10, 200, 100}, {0, 0, 200, 10}, {0, 10, 10, 100}}}));

TEST_F(ControlTest, AlignHonoursConstraintsAndAnchorsFollowTheParent) {
  TForm* f = NewForm(0, 0, 200, 100);
  auto* client = Make<WinProbe>(f, "client", 0, 0, 10, 10);
  client->Constraints()->SetMaxWidth(50);
  client->SetAlign(alClient);
  auto* top = Make<WinProbe>(f, "top", 0, 0, 10, 30);
  top->Constraints()->SetMaxHeight(20);
  top->SetAlign(alTop);
  auto* pinned = Make<GraphicProbe>(f, "pinned", 150, 60, 30, 20);
  pinned->SetAnchors(TAnchors{akRight, akBottom});
  auto* stretched = Make<WinProbe>(f, "stretched", 20, 70, 100, 10);
  stretched->SetAnchors(TAnchors{akLeft, akRight, akTop});
  f->Show();
  EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 200, 20}));
  EXPECT_EQ(client->BoundsRect(), (TRect{0, 20, 50, 100}));

  f->SetBounds(0, 0, 300, 150);
  Pump();
  EXPECT_EQ(pinned->BoundsRect(), (TRect{250, 110, 280, 130}));
  EXPECT_EQ(stretched->BoundsRect(), (TRect{20, 70, 220, 80}));
  EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 300, 20}));
  // Shrinking back returns to the first places exactly.
  f->SetBounds(0, 0, 200, 100);
  EXPECT_EQ(pinned->BoundsRect(), (TRect{150, 60, 180, 80}));
  EXPECT_EQ(stretched->BoundsRect(), (TRect{20, 70, 120, 80}));
}

TEST_F(ControlTest, ConstraintsClampSetBounds) {
  TForm* f = NewForm();
  auto* c = Make<WinProbe>(f, "c", 0, 0, 10, 10);
  c->Constraints()->SetMinWidth(20);
  c->Constraints()->SetMaxHeight(15);
  EXPECT_EQ(c->Width(), 20);  // applied at once
  c->SetBounds(0, 0, 5, 40);
  EXPECT_EQ(c->Width(), 20);
  EXPECT_EQ(c->Height(), 15);
}

TEST_F(ControlTest, GraphicControlsArePaintedInZOrderAndOpaqueOnesKeepTheirPlace) {
  TForm* f = NewForm(0, 0, 100, 60);
  f->SetColor(clWhite);
  auto* red = Make<GraphicProbe>(f, "red", 10, 10, 30, 30);
  red->Fill = clRed;
  auto* blue = Make<GraphicProbe>(f, "blue", 20, 20, 30, 30);
  blue->Fill = clBlue;
  auto* opaque = Make<GraphicProbe>(f, "opaque", 60, 10, 20, 20);
  opaque->SetControlStyle(opaque->ControlStyle() + TControlStyle{csOpaque});
  int formPaints = 0;
  f->OnPaint = [&](TObject*) {
    ++formPaints;
    TCanvas* cv = f->Canvas();
    cv->Brush()->SetColor(clLime);
    cv->FillRect(TRect{0, 0, 100, 60});
  };
  f->Show();
  Pump();
  HWND h = f->Handle();
  EXPECT_GT(formPaints, 0);
  EXPECT_EQ(Rgb(headless::PixelAt(h, 15, 15)), Px(clRed));
  EXPECT_EQ(Rgb(headless::PixelAt(h, 25, 25)), Px(clBlue));  // the later one lies on top
  EXPECT_EQ(Rgb(headless::PixelAt(h, 5, 5)), Px(clLime));
  // The form paints nothing below the opaque control, which paints nothing itself.
  EXPECT_NE(Rgb(headless::PixelAt(h, 65, 15)), Px(clLime));
  EXPECT_NE(Rgb(headless::PixelAt(h, 65, 15)), Px(clWhite));

  red->BringToFront();
  Pump();
  EXPECT_EQ(Rgb(headless::PixelAt(h, 25, 25)), Px(clRed));
  blue->SetVisible(false);
  Pump();
  EXPECT_EQ(Rgb(headless::PixelAt(h, 45, 45)), Px(clLime));
}

TEST_F(ControlTest, MouseReachesGraphicControlsWithCaptureBetweenPressAndRelease) {
  TForm* f = NewForm(100, 100, 200, 100);
  auto* g = Make<GraphicProbe>(f, "g", 10, 10, 40, 20);
  auto* under = Make<GraphicProbe>(f, "under", 0, 0, 60, 60);
  g->BringToFront();
  std::vector<std::string> ev;
  g->OnClick = [&](TObject*) { ev.push_back("g click"); };
  g->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
    ev.push_back("g down " + std::to_string(x) + "," + std::to_string(y));
  };
  g->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
    ev.push_back("g up " + std::to_string(x) + "," + std::to_string(y));
  };
  under->OnClick = [&](TObject*) { ev.push_back("under click"); };
  f->OnClick = [&](TObject*) { ev.push_back("form click"); };
  f->Show();
  Pump();

  ClickAt(f, 15, 15);
  // Click comes before OnMouseUp, as the class library has always done it.
  EXPECT_EQ(ev, (std::vector<std::string>{"g down 5,5", "g click", "g up 5,5"}));
  ev.clear();
  // Pressed on g and released far outside it: g still hears the release, but no click.
  MoveTo(f, 15, 15);
  headless::ButtonDown();
  Pump();
  EXPECT_EQ(GetCaptureControl(), g);
  MoveTo(f, 150, 80);
  headless::ButtonUp();
  Pump();
  EXPECT_EQ(ev, (std::vector<std::string>{"g down 5,5", "g up 140,70"}));
  EXPECT_EQ(GetCapture(), nullptr);
  ev.clear();
  ClickAt(f, 5, 50);
  ClickAt(f, 150, 50);
  EXPECT_EQ(ev, (std::vector<std::string>{"under click", "form click"}));
  // A disabled graphic control lets the press through to what lies below.
  ev.clear();
  g->SetEnabled(false);
  ClickAt(f, 15, 15);
  EXPECT_EQ(ev, (std::vector<std::string>{"under click"}));
}

TEST_F(ControlTest, EnterAndLeaveFollowThePointerAcrossWindowedAndGraphicControls) {
  TForm* f = NewForm(100, 100, 200, 100);
  f->SetName("form");
  auto* a = Make<WinProbe>(f, "a", 10, 10, 80, 80);
  auto* g = Make<GraphicProbe>(a, "g", 10, 10, 20, 20);
  auto* b = Make<WinProbe>(f, "b", 110, 10, 80, 80);
  auto* fg = Make<GraphicProbe>(f, "fg", 95, 50, 10, 10);
  (void)g, (void)b, (void)fg;
  f->Show();
  Pump();
  MoveTo(f, 5, 5);   // form
  MoveTo(f, 15, 15); // a
  MoveTo(f, 25, 25); // g inside a
  MoveTo(f, 50, 50); // a again
  MoveTo(f, 98, 55); // fg on the form
  MoveTo(f, 150, 50);  // b
  Top(800, 800, 50, 50);  // another window, away from the form
  headless::MoveMouse(810, 810);
  Pump();
  std::vector<std::string> want{"a:enter", "a:leave", "g:enter", "g:leave", "a:enter", "a:leave",
                                "fg:enter", "fg:leave", "b:enter", "b:leave"};
  std::vector<std::string> got;
  for (auto& s : Log())
    if (s.find("enter") != std::string::npos || s.find("leave") != std::string::npos) got.push_back(s);
  EXPECT_EQ(got, want);
  EXPECT_EQ(MouseControl(), nullptr);
}

TEST_F(ControlTest, LeavingForTheBareScreenSendsTheLeave) {
  TForm* f = NewForm(100, 100, 200, 100);
  auto* a = Make<WinProbe>(f, "a", 10, 10, 80, 80);
  Make<GraphicProbe>(a, "g", 10, 10, 20, 20);
  Make<WinProbe>(f, "b", 110, 10, 80, 80);
  f->Show();
  Pump();
  // From a graphic control inside a windowed one, and from a windowed control, to where no
  // window is.
  MoveTo(f, 25, 25);  // g
  headless::MoveMouse(600, 500);
  Pump();
  EXPECT_EQ(MouseControl(), nullptr);
  MoveTo(f, 150, 50);  // b
  headless::MoveMouse(610, 510);
  Pump();
  EXPECT_EQ(MouseControl(), nullptr);
  EXPECT_EQ(Log(), (std::vector<std::string>{"g:enter", "g:leave", "b:enter", "b:leave"}));
}

TEST_F(ControlTest, WindowProcCanBeReplacedAndChained) {
  TForm* f = NewForm();
  auto* c = Make<WinProbe>(f, "c", 0, 0, 10, 10);
  std::vector<UINT> seen;
  TWndMethod old = c->WindowProc;
  c->WindowProc = [&](TMessage& m) {
    seen.push_back(m.Msg);
    if (m.Msg == WM_USER + 5) {
      m.Result = 42;
      return;
    }
    old(m);
  };
  EXPECT_EQ(c->Perform(WM_USER + 5, 0, 0), 42);
  EXPECT_EQ(SendMessage(c->Handle(), WM_USER + 5, 0, 0), 42);
  c->SetCaption("abc");  // goes through WindowProc too
  EXPECT_EQ(c->Caption(), "abc");
  EXPECT_NE(std::count(seen.begin(), seen.end(), WM_SETTEXT), 0);
  c->WindowProc = old;
}

TEST_F(ControlTest, RecreateWndKeepsTheWindowAndItsState) {
  TForm* f = NewForm();
  f->SetCaption("title");
  f->Show();
  Pump();
  HWND h = f->Handle();
  TRect before = f->ClientRect();
  f->SetBorderStyle(bsSingle);  // recreates
  EXPECT_EQ(f->Handle(), h);
  EXPECT_EQ(f->Caption(), "title");
  EXPECT_TRUE(GetWindowLongPtr(h, GWL_STYLE) & WS_CAPTION);
  EXPECT_TRUE(IsWindowVisible(h));
  TRect after = f->ClientRect();
  EXPECT_LT(after.bottom, before.bottom);  // the caption took room
}

TEST_F(ControlTest, FontAndColorComeFromTheParentUntilSet) {
  TForm* f = NewForm();
  f->Font()->SetName("Arial");
  f->SetColor(clYellow);
  auto* c = Make<GraphicProbe>(f, "c", 0, 0, 10, 10);
  EXPECT_EQ(c->Font()->Name(), "Arial");
  EXPECT_EQ(c->Color(), clYellow);
  f->Font()->SetHeight(-20);
  f->SetColor(clAqua);
  EXPECT_EQ(c->Font()->Height(), -20);
  EXPECT_EQ(c->Color(), clAqua);
  c->Font()->SetHeight(-9);
  c->SetColor(clRed);
  EXPECT_FALSE(c->ParentFont());
  EXPECT_FALSE(c->ParentColor());
  f->Font()->SetHeight(-30);
  f->SetColor(clBlack);
  EXPECT_EQ(c->Font()->Height(), -9);
  EXPECT_EQ(c->Color(), clRed);
}

TEST_F(ControlTest, FreeingAControlClearsEveryReferenceToIt) {
  TForm* f = NewForm(100, 100, 200, 100);
  auto* g = Make<GraphicProbe>(f, "g", 10, 10, 40, 20);
  f->Show();
  MoveTo(f, 15, 15);
  headless::ButtonDown();
  Pump();
  EXPECT_EQ(MouseControl(), g);
  EXPECT_EQ(GetCaptureControl(), g);
  delete g;
  EXPECT_EQ(MouseControl(), nullptr);
  EXPECT_NE(GetCaptureControl(), static_cast<TControl*>(g));
  headless::ButtonUp();
  MoveTo(f, 20, 20);  // no stale control is told anything
  EXPECT_EQ(f->ControlCount(), 0);
}

TEST_F(ControlTest, ParentCannotBeADescendant) {
  TForm* f = NewForm();
  auto* a = Make<WinProbe>(f, "a", 0, 0, 10, 10);
  auto* b = Make<WinProbe>(a, "b", 0, 0, 10, 10);
  EXPECT_THROW(a->SetParent(b), EComponentError);
  EXPECT_THROW(a->SetParent(a), EComponentError);
  EXPECT_EQ(a->Parent(), f);
}

}  // namespace
