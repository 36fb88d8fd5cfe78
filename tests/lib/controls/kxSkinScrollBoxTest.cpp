// The skinned scroll box with its two external bars: bars appear only while the children
// overflow and scroll them, the corrections when the box grows or the content shrinks while
// scrolled, the both marker, the frame in the non-client area (plain bevels and a skin's
// borders, none with a background picture), lifetimes of box and bars, and form streaming.
#include <gtest/gtest.h>

#include "classlib/Streaming.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/controls/kxSkinScrollBox.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace ctltest;

class SkinScrollBoxTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(100, 100, 400, 300);
    box = Make<TkxSkinScrollBox>(form, "box", 10, 10, 150, 150);
    vbar = Make<TkxSkinScrollBar>(form, "vbar", 160, 10, 19, 150);
    vbar->SetKind(sbVertical);
    vbar->SetSkinDataName("vscrollbar");
    hbar = Make<TkxSkinScrollBar>(form, "hbar", 10, 160, 150, 19);
    form->Show();
    Pump();
  }
  WinProbe* Child(int x, int y, int w, int h) {
    auto* c = Make<WinProbe>(box, "c" + std::to_string(++children), x, y, w, h);
    c->Fill = clRed;
    return c;
  }
  void Attach() {
    box->SetVScrollBar(vbar);
    box->SetHScrollBar(hbar);
  }
  uint32_t BoxPixel(int x, int y) { return Rgb(headless::PixelAt(box->Handle(), x, y)); }

  TForm* form = nullptr;
  TkxSkinScrollBox* box = nullptr;
  TkxSkinScrollBar *vbar = nullptr, *hbar = nullptr;
  int children = 0;
};

TEST_F(SkinScrollBoxTest, AttachingABarHidesEnablesAndUnfocusesIt) {
  vbar->SetCanFocused(true);
  vbar->SetEnabled(false);
  box->SetVScrollBar(vbar);
  EXPECT_FALSE(vbar->Visible());
  EXPECT_TRUE(vbar->Enabled());
  EXPECT_FALSE(vbar->CanFocused());
  EXPECT_FALSE(vbar->TabStop());
}

// A bar keeps no stale position: the children start at the origin with a newly attached bar,
// and a bar taken away leaves them there too.
TEST_F(SkinScrollBoxTest, AttachingABarStartsTheContentAtItsOrigin) {
  auto* c = Child(0, 0, 100, 300);
  vbar->SetRange(0, 100, 30, 20);
  box->SetVScrollBar(vbar);
  EXPECT_EQ(vbar->Position(), 0);
  EXPECT_EQ(c->Top(), 0);
  vbar->SetPosition(40);
  EXPECT_EQ(c->Top(), -40);
  box->SetVScrollBar(nullptr);
  EXPECT_EQ(c->Top(), 0);
  EXPECT_FALSE(vbar->OnChange);
  box->SetVScrollBar(vbar);
  vbar->SetPosition(20);
  EXPECT_EQ(c->Top(), -20);
}

// A tall child shows the vertical bar only; the bar scrolls the child exactly by its moves.
TEST_F(SkinScrollBoxTest, BarsAppearOnOverflowAndScrollTheContent) {
  auto* c = Child(0, 0, 100, 300);
  Attach();
  box->UpDateScrollRange();
  EXPECT_EQ(box->ClientHeight(), 148) << "a one-pixel frame";
  EXPECT_TRUE(vbar->Visible());
  EXPECT_FALSE(hbar->Visible());
  EXPECT_EQ(vbar->Min(), 0);
  EXPECT_EQ(vbar->Max(), 299);
  EXPECT_EQ(vbar->PageSize(), 148);
  EXPECT_EQ(vbar->Position(), 0);

  vbar->SetPosition(50);
  EXPECT_EQ(c->Top(), -50);
  // A click on the bar's increasing arrow scrolls by one.
  ClickAt(vbar, 9, 145);
  EXPECT_EQ(vbar->Position(), 51);
  EXPECT_EQ(c->Top(), -51);
  box->VScroll(1000);
  EXPECT_EQ(vbar->Position(), 151) << "Max - PageSize";
  EXPECT_EQ(c->Top(), -151);
  box->VScroll(0);
  EXPECT_EQ(c->Top(), 0);
  box->HScroll(30);  // the horizontal bar has no page: nothing
  EXPECT_EQ(c->Left(), 0);

  // A wide child too: both bars, and the horizontal one leaves the corner.
  auto* w = Child(0, 0, 400, 20);
  box->UpDateScrollRange();
  EXPECT_TRUE(hbar->Visible());
  EXPECT_TRUE(hbar->Both());
  hbar->SetPosition(100);
  EXPECT_EQ(w->Left(), -100);
  EXPECT_EQ(c->Left(), -100);
}

// Everything fits again: the bars hide, the children go back to where position 0 puts them.
TEST_F(SkinScrollBoxTest, ContentThatFitsHidesTheBarsAndScrollsBack) {
  auto* c = Child(0, 0, 300, 300);
  Attach();
  box->UpDateScrollRange();
  ASSERT_TRUE(vbar->Visible() && hbar->Visible());
  EXPECT_TRUE(hbar->Both());
  vbar->SetPosition(100);
  hbar->SetPosition(40);
  c->SetBounds(c->Left(), c->Top(), 100, 100);
  box->UpDateScrollRange();
  EXPECT_FALSE(vbar->Visible());
  EXPECT_FALSE(hbar->Visible());
  EXPECT_FALSE(hbar->Both()) << "follows the vertical bar";
  EXPECT_EQ(c->Left(), 0);
  EXPECT_EQ(c->Top(), 0);
  EXPECT_EQ(vbar->Max(), 0);
  EXPECT_EQ(vbar->Position(), 0);
  // Scrolling again starts from there.
  c->SetBounds(0, 0, 100, 200);
  box->UpDateScrollRange();
  vbar->SetPosition(10);
  EXPECT_EQ(c->Top(), -10);
}

// Growing a box scrolled to its end brings the content back by the growth, once.
TEST_F(SkinScrollBoxTest, GrowingAScrolledBoxMovesTheContentBackOnce) {
  auto* c = Child(0, 0, 100, 300);
  Attach();
  box->UpDateScrollRange();
  vbar->SetPosition(1000);
  ASSERT_EQ(vbar->Position(), 152);
  ASSERT_EQ(c->Top() + c->Height(), 148);
  box->SetBounds(10, 10, 150, 190);
  EXPECT_EQ(vbar->Position(), 112);
  EXPECT_EQ(vbar->PageSize(), 188);
  EXPECT_EQ(c->Top(), -112);
  box->UpDateScrollRange();
  EXPECT_EQ(c->Top(), -112) << "once";
  EXPECT_EQ(vbar->Position(), 112);
  // A box that grows by more than it is scrolled stops at 0.
  box->SetBounds(10, 10, 150, 400);
  EXPECT_EQ(c->Top(), 0);
  EXPECT_FALSE(vbar->Visible());
}

// Content that becomes shorter while scrolled lines its far edge up with the client's edge.
TEST_F(SkinScrollBoxTest, ShorterContentLinesUpWithTheClientEdge) {
  auto* c = Child(0, 0, 100, 300);
  Attach();
  box->UpDateScrollRange();
  vbar->SetPosition(152);
  c->SetBounds(0, c->Top(), 100, 250);
  box->UpDateScrollRange();
  EXPECT_EQ(c->Top() + c->Height(), 148);
  EXPECT_EQ(vbar->Position(), 102);
  EXPECT_EQ(vbar->Max(), 249);
  vbar->SetPosition(0);
  EXPECT_EQ(c->Top(), 0);
}

// Filled before its window exists, the box sizes the pages again once the window gives it its
// frame.
TEST_F(SkinScrollBoxTest, PagesFollowTheFrameOnceTheWindowIsMade) {
  TForm* f = NewForm(100, 100, 300, 200);
  auto* b = Make<TkxSkinScrollBox>(f, "late", 0, 0, 160, 150);
  auto* v = Make<TkxSkinScrollBar>(f, "latebar", 160, 0, 19, 150);
  auto* c = Make<WinProbe>(b, "content", 0, 0, 100, 300);
  b->SetVScrollBar(v);
  v->SetPosition(40);
  ASSERT_EQ(c->Top(), -40);
  f->Show();
  Pump();
  EXPECT_EQ(b->ClientHeight(), 148);
  EXPECT_EQ(v->PageSize(), 148);
  EXPECT_EQ(v->Position(), 40);
  EXPECT_EQ(c->Top(), -40);
}

// An aligned box beside aligned bars: a bar that appears narrows the box, and the other
// direction is measured again against the narrower client area.
TEST_F(SkinScrollBoxTest, AlignedBoxMakesRoomForItsBars) {
  TForm* f = NewForm(100, 100, 200, 200);
  auto* v = Make<TkxSkinScrollBar>(f, "av", 0, 0, 19, 50);
  v->SetKind(sbVertical);
  v->SetAlign(alRight);
  auto* h = Make<TkxSkinScrollBar>(f, "ah", 0, 0, 50, 19);
  h->SetAlign(alBottom);
  auto* b = Make<TkxSkinScrollBox>(f, "abox", 0, 0, 50, 50);
  b->SetAlign(alClient);
  f->Show();
  Pump();
  b->SetVScrollBar(v);
  b->SetHScrollBar(h);
  ASSERT_EQ(b->Width(), 200);
  auto* c = Make<WinProbe>(b, "wide", 0, 0, 190, 400);  // fits across until the bar takes 19
  b->UpDateScrollRange();
  EXPECT_TRUE(v->Visible());
  EXPECT_EQ(b->Width(), 181);
  EXPECT_TRUE(h->Visible()) << "190 no longer fits in 179";
  EXPECT_EQ(b->Height(), 181);
  EXPECT_EQ(v->PageSize(), b->ClientHeight());
  EXPECT_EQ(h->PageSize(), b->ClientWidth());
  EXPECT_TRUE(h->Both());
  c->SetBounds(0, 0, 100, 100);
  b->UpDateScrollRange();
  EXPECT_FALSE(v->Visible());
  EXPECT_FALSE(h->Visible());
  EXPECT_EQ(b->Width(), 200);
  EXPECT_EQ(b->Height(), 200);
}

TEST_F(SkinScrollBoxTest, PlainFrameInTheNonClientArea) {
  struct Case {
    TkxSkinBorderStyle style;
    TColor topLeft, bottomRight;
    int client;
  } cases[] = {
      {TkxSkinBorderStyle::bvFrame, clBtnShadow, clBtnShadow, 148},
      {TkxSkinBorderStyle::bvRaised, clBtnShadow, clBtnHighlight, 148},
      {TkxSkinBorderStyle::bvLowered, clBtnHighlight, clBtnShadow, 148},
  };
  box->SetColor(clWhite);
  for (const Case& k : cases) {
    SCOPED_TRACE(int(k.style));
    box->SetBorderStyle(k.style);
    Pump();
    EXPECT_EQ(box->ClientWidth(), k.client);
    EXPECT_EQ(BoxPixel(0, 0), Px(k.topLeft));
    EXPECT_EQ(BoxPixel(75, 0), Px(k.topLeft));
    EXPECT_EQ(BoxPixel(149, 75), Px(k.bottomRight));
    EXPECT_EQ(BoxPixel(75, 149), Px(k.bottomRight));
    EXPECT_EQ(BoxPixel(1, 1), Px(clWhite));
  }
  box->SetBorderStyle(TkxSkinBorderStyle::bvNone);
  Pump();
  EXPECT_EQ(box->ClientWidth(), 150);
  EXPECT_EQ(BoxPixel(0, 0), Px(clWhite));
  // The frame painted into a device context for another program.
  box->SetBorderStyle(TkxSkinBorderStyle::bvFrame);
  EXPECT_EQ(box->Perform(45513, 0, 0), 0);
  EXPECT_EQ(box->Perform(48203, 0, 0), 0);
}

// In a skin the frame is the record's border (3 px in the generated skins); a background
// picture takes the frame away.
TEST_F(SkinScrollBoxTest, SkinnedFrameAndBackgroundPicture) {
  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(2, sd);
  auto* c = Child(0, 0, 100, 300);
  Attach();
  box->SetSkinData(&sd);
  vbar->SetSkinData(&sd);
  Pump();
  ASSERT_NE(box->SkinIndex(), -1);
  EXPECT_EQ(box->ClientWidth(), 144);
  EXPECT_EQ(box->ClientHeight(), 144);
  EXPECT_TRUE(vbar->Visible());
  EXPECT_EQ(vbar->PageSize(), 144);
  EXPECT_EQ(c->Top(), 0);

  auto* rec = dynamic_cast<TkxDataSkinScrollBoxControl*>(sd.CtrlList[size_t(sd.GetControlIndex("scrollbox"))].get());
  ASSERT_NE(rec, nullptr);
  rec->BGPictureIndex = 99;  // past the pictures: no background, the frame stays
  box->ChangeSkinData();
  EXPECT_EQ(box->BGPictureIndex(), -1);
  EXPECT_EQ(box->ClientWidth(), 144);
  rec->BGPictureIndex = rec->PictureIndex;
  box->ChangeSkinData();
  Pump();
  EXPECT_EQ(box->BGPictureIndex(), rec->PictureIndex);
  EXPECT_EQ(box->ClientWidth(), 150);
  EXPECT_EQ(vbar->PageSize(), 150);
  box->SetSkinData(nullptr);
  vbar->SetSkinData(nullptr);
}

TEST_F(SkinScrollBoxTest, BoxAndBarsOutliveEachOther) {
  Child(0, 0, 100, 300);
  Attach();
  box->UpDateScrollRange();
  delete vbar;
  EXPECT_EQ(box->VScrollBar(), nullptr);
  box->UpDateScrollRange();
  delete box;
  hbar->SetRange(0, 100, 0, 10);
  hbar->SetPosition(50);  // no call into the freed box
  EXPECT_EQ(hbar->Position(), 50);
  EXPECT_FALSE(hbar->OnChange);
}

TEST_F(SkinScrollBoxTest, ReadFromAFormDescription) {
  RegisterSkinControlFormClasses();
  const std::string text =
      "object Form1: TForm\n"
      "  object sb: TkxSkinScrollBox\n"
      "    Width = 200\n"
      "    Height = 100\n"
      "    BorderStyle = bvLowered\n"
      "    VScrollBar = v\n"
      "    HScrollBar = h\n"
      "    CanFocused = True\n"
      "  end\n"
      "  object v: TkxSkinScrollBar\n"
      "    Kind = sbVertical\n"
      "  end\n"
      "  object h: TkxSkinScrollBar\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(owner.get());
  ReadFormDescription(f, text, "dialog.dfm");
  auto* sb = dynamic_cast<TkxSkinScrollBox*>(f->FindComponent("sb"));
  ASSERT_TRUE(sb);
  EXPECT_EQ(sb->BorderStyle(), TkxSkinBorderStyle::bvLowered);
  EXPECT_EQ(sb->VScrollBar(), f->FindComponent("v"));
  EXPECT_EQ(sb->HScrollBar(), f->FindComponent("h"));
  EXPECT_TRUE(sb->CanFocused());
  EXPECT_FALSE(sb->VScrollBar()->Visible());
}

}  // namespace
