// The parent's background behind a transparent control: the parent's erase and paint and the
// graphic siblings below the control, moved to the control's origin, with the paint-copy marks
// removed afterwards.
#include <gtest/gtest.h>

#include "lib/graphics/kxUtils.h"
#include "tests/classlib/ControlTestFixture.h"

namespace {

using namespace win;

class Backdrop : public TCustomControl {
public:
  using TCustomControl::TCustomControl;

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clBlue);
    Canvas()->FillRect(TRect{30, 30, 40, 32});
  }
};

class Sibling : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  bool sawPaintCopy = false;

protected:
  void Paint() override {
    sawPaintCopy = ControlState().Contains(csPaintCopy) && Parent()->ControlState().Contains(csPaintCopy);
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(TRect{0, 0, Width(), Height()});
  }
};

using ParentBackgroundTest = ctltest::ControlTest;

TEST_F(ParentBackgroundTest, ParentAndSiblingsAtTheControlsOrigin) {
  TForm* f = NewForm();
  auto* parent = Make<Backdrop>(f, "back", 0, 0, 100, 80);
  parent->SetColor(clLime);
  auto* sib = Make<Sibling>(parent, "sib", 20, 20, 10, 10);
  auto* far = Make<Sibling>(parent, "far", 70, 60, 10, 10);
  auto* target = Make<TCustomControl>(parent, "target", 25, 25, 15, 15);
  f->Show();
  Pump();
  TBitmap b;
  b.SetPixelFormat(pf32bit);
  b.SetSize(15, 15);
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(TRect{0, 0, 15, 15});
  PaintParentBackground(target, c);
  EXPECT_EQ(c->Pixels(0, 0), clRed);    // the sibling's (25, 25)
  EXPECT_EQ(c->Pixels(4, 4), clRed);    // its last pixel, (29, 29)
  EXPECT_EQ(c->Pixels(5, 5), clBlue);   // the parent's paint at (30, 30)
  EXPECT_EQ(c->Pixels(10, 10), clLime); // the parent's erase
  EXPECT_TRUE(sib->sawPaintCopy);
  EXPECT_FALSE(far->sawPaintCopy);  // not under the control: not painted
  EXPECT_FALSE(parent->ControlState().Contains(csPaintCopy));
  EXPECT_FALSE(sib->ControlState().Contains(csPaintCopy));
  // The canvas's DC state is back: a fill at (0, 0) lands at (0, 0).
  c->Brush()->SetColor(clBlack);
  c->FillRect(TRect{0, 0, 1, 1});
  EXPECT_EQ(c->Pixels(0, 0), clBlack);
  EXPECT_EQ(c->Pixels(1, 0), clRed);
  // A part of the control: its (5, 5) at the canvas origin.
  TBitmap p;
  p.SetPixelFormat(pf32bit);
  p.SetSize(10, 10);
  PaintParentBackgroundRect(target, TRect{5, 5, 15, 15}, p.Canvas());
  EXPECT_EQ(p.Canvas()->Pixels(0, 0), clBlue);
  EXPECT_EQ(p.Canvas()->Pixels(9, 9), clLime);
}

}  // namespace
