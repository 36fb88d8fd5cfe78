// The plain look's pieces, pixel by pixel: button faces in their states, with and without the
// frame; edges on a canvas and straight into a device context alike; the check box with its
// marks where each control puts them; and nothing drawn into an empty rectangle.
#include <gtest/gtest.h>

#include <memory>

#include "lib/graphics/kxPlainLook.h"

namespace {

constexpr TColor kBack = clWhite;

std::unique_ptr<TBitmap> Blank(int w = 20, int h = 16) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(w, h);
  PlainFill(b->Canvas(), TRect{0, 0, w, h}, kBack);
  return b;
}

TColor At(TBitmap* b, int x, int y) { return b->Canvas()->Pixels(x, y); }
TColor Rgb(TColor c) { return TColor(ColorToRGB(c)); }

TEST(kx_plain_look, ButtonFacesInTheirStates) {
  struct Case {
    TkxPlainState state;
    bool framed;
    TColor frame, face;
  } cases[] = {
      {TkxPlainState::Normal, true, kxPlain.Shadow, kxPlain.Face},
      {TkxPlainState::Hot, true, kxPlain.HotFrame, kxPlain.HotFace},
      {TkxPlainState::Down, true, kxPlain.HotFrame, kxPlain.DownFace},
      {TkxPlainState::Normal, false, kxPlain.Face, kxPlain.Face},
      {TkxPlainState::Hot, false, kxPlain.HotFace, kxPlain.HotFace},
      {TkxPlainState::Down, false, kxPlain.DownFace, kxPlain.DownFace},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.state) << " framed " << c.framed);
    auto b = Blank();
    DrawPlainButtonFace(b->Canvas(), TRect{2, 3, 12, 10}, c.state, c.framed);
    for (int y = 0; y < b->Height(); ++y)
      for (int x = 0; x < b->Width(); ++x) {
        const bool in = x >= 2 && x < 12 && y >= 3 && y < 10;
        const bool border = in && (x == 2 || x == 11 || y == 3 || y == 9);
        EXPECT_EQ(At(b.get(), x, y), !in ? kBack : Rgb(border ? c.frame : c.face)) << x << "," << y;
      }
  }
  EXPECT_EQ(PlainStateOf(true, true), TkxPlainState::Down);
  EXPECT_EQ(PlainStateOf(true, false), TkxPlainState::Down);
  EXPECT_EQ(PlainStateOf(false, true), TkxPlainState::Hot);
  EXPECT_EQ(PlainStateOf(false, false), TkxPlainState::Normal);
}

TEST(kx_plain_look, AButtonTooSmallForAFaceIsAllFrame) {
  auto b = Blank();
  DrawPlainButtonFace(b->Canvas(), TRect{4, 4, 6, 10}, TkxPlainState::Hot);
  for (int y = 4; y < 10; ++y)
    for (int x = 4; x < 6; ++x) EXPECT_EQ(At(b.get(), x, y), Rgb(kxPlain.HotFrame)) << x << "," << y;
}

TEST(kx_plain_look, EdgesOnACanvasAndIntoADeviceContextAreTheSame) {
  for (TkxPlainEdge e : {TkxPlainEdge::Flat, TkxPlainEdge::Raised, TkxPlainEdge::Sunken, TkxPlainEdge::RaisedLight}) {
    SCOPED_TRACE(int(e));
    auto a = Blank(), d = Blank();
    TRect r{1, 2, 15, 12};
    DrawPlainEdge(a->Canvas(), r, e);
    EXPECT_EQ(r, (TRect{2, 3, 14, 11})) << "taken in by the edge";
    DrawPlainEdge(d->Canvas()->Handle(), TRect{1, 2, 15, 12}, e);
    for (int y = 0; y < a->Height(); ++y)
      for (int x = 0; x < a->Width(); ++x) ASSERT_EQ(At(a.get(), x, y), At(d.get(), x, y)) << x << "," << y;
    // Up and left in the first colour, down and right in the second, which also takes the
    // top-right and bottom-left corners.
    const TColor first = At(a.get(), 1, 5), second = At(a.get(), 14, 5);
    EXPECT_EQ(At(a.get(), 5, 2), first);
    EXPECT_EQ(At(a.get(), 1, 2), first);
    EXPECT_EQ(At(a.get(), 14, 2), second);
    EXPECT_EQ(At(a.get(), 1, 11), second);
    EXPECT_EQ(At(a.get(), 5, 11), second);
    EXPECT_EQ(At(a.get(), 5, 5), kBack);
  }
  auto f = Blank();
  TRect r{0, 0, 20, 16};
  DrawPlainEdge(f->Canvas(), r, TkxPlainEdge::Raised);
  EXPECT_EQ(At(f.get(), 0, 5), Rgb(kxPlain.Highlight));
  EXPECT_EQ(At(f.get(), 19, 5), Rgb(kxPlain.Shadow));
}

TEST(kx_plain_look, TheCheckBoxPutsEachMarkWhereItsControlDoes) {
  auto frameOnly = Blank(), box = Blank(), caption = Blank(), radio = Blank();
  DrawPlainCheckBox(frameOnly->Canvas(), 2, 1, clRed, TkxPlainMark::None, clBlue, kxPlainCheckAt);
  DrawPlainCheckBox(box->Canvas(), 2, 1, clRed, TkxPlainMark::Check, clBlue, kxPlainCheckAt);
  DrawPlainCheckBox(caption->Canvas(), 2, 1, clRed, TkxPlainMark::Check, clBlue, kxPlainCaptionCheckAt);
  DrawPlainCheckBox(radio->Canvas(), 2, 1, clRed, TkxPlainMark::Radio, clBlue, kxPlainRadioAt);
  for (auto* b : {frameOnly.get(), box.get(), caption.get(), radio.get()}) {
    EXPECT_EQ(At(b, 2, 1), clRed);
    EXPECT_EQ(At(b, 15, 14), clRed);
    EXPECT_EQ(At(b, 16, 14), kBack);
  }
  int marks = 0;
  for (int y = 2; y < 14; ++y)
    for (int x = 3; x < 15; ++x) {
      EXPECT_EQ(At(frameOnly.get(), x, y), kBack);
      // The caption's check is the box's moved a pixel up and left.
      EXPECT_EQ(At(box.get(), x, y) == clBlue, At(caption.get(), x - 1, y - 1) == clBlue) << x << "," << y;
      if (At(box.get(), x, y) == clBlue) ++marks;
    }
  EXPECT_GT(marks, 0);
  for (int y = 5; y < 11; ++y)
    for (int x = 6; x < 12; ++x) EXPECT_EQ(At(radio.get(), x, y), clBlue) << x << "," << y;
}

TEST(kx_plain_look, NothingIsDrawnIntoAnEmptyRectangle) {
  auto b = Blank();
  DrawPlainButtonFace(b->Canvas(), TRect{5, 5, 5, 12}, TkxPlainState::Down);
  DrawPlainButtonFace(b->Canvas(), TRect{5, 5, 12, 5}, TkxPlainState::Normal, false);
  DrawPlainEdge(b->Canvas()->Handle(), TRect{3, 3, 3, 9}, TkxPlainEdge::Flat);
  for (int y = 0; y < b->Height(); ++y)
    for (int x = 0; x < b->Width(); ++x) EXPECT_EQ(At(b.get(), x, y), kBack) << x << "," << y;
}

}  // namespace
