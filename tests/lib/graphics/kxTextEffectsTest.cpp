// The stack blur of one bright pixel, and the glow and reflection captions in the box test font:
// where the effect colour lands, the text on top in the canvas's own colour, and collapsed
// caption rectangles.
#include <gtest/gtest.h>

#include "lib/graphics/kxBitmap.h"
#include "lib/graphics/kxTextEffects.h"

namespace {

TEST(kx_text_effects, StackBlurOfOneBrightPixel) {
  TkxBitmap b;
  b.SetSize(5, 5);
  *b.PixelAddress(2, 2) = 0x00FF0000;  // red 255, alpha 0
  StackBlur(&b, 0);
  EXPECT_EQ(*b.PixelAddress(2, 2), 0x00FF0000u);  // radius 0: untouched, alpha included
  EXPECT_EQ(*b.PixelAddress(0, 0), 0u);
  StackBlur(&b, 1);
  const int want[5][5] = {{0, 0, 0, 0, 0}, {0, 15, 31, 15, 0}, {0, 31, 63, 31, 0}, {0, 15, 31, 15, 0}, {0, 0, 0, 0, 0}};
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(*b.PixelAddress(x, y), 0xFF000000u | uint32_t(want[y][x]) << 16) << x << "," << y;
  // Edges repeat the end pixel; a radius far beyond the picture costs no table.
  TkxBitmap e;
  e.SetSize(3, 1);
  *e.PixelAddress(0, 0) = 0x000000FF;  // blue 255 at the left end
  StackBlur(&e, 1);  // x0: (255*1 + 255*2 + 0) / 4 = 191; x1: (255 + 0 + 0) / 4 = 63
  EXPECT_EQ(*e.PixelAddress(0, 0) & 0xFF, 191u);
  EXPECT_EQ(*e.PixelAddress(1, 0) & 0xFF, 63u);
  StackBlur(&e, 1000000);
  EXPECT_EQ(*e.PixelAddress(2, 0) >> 24, 255u);
}

std::unique_ptr<TBitmap> Page(int w, int h) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(w, h);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(TRect{0, 0, w, h});
  c->Font()->SetName(win::kTestBoxFontName);
  c->Font()->SetHeight(-10);  // "a": a box of columns 0..3 and rows 0..7 of its cell
  c->Font()->SetColor(clBlack);
  return b;
}

bool Near(TColor a, TColor b) {
  for (int s = 0; s < 24; s += 8)
    if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > 1) return false;
  return true;
}

TEST(kx_text_effects, GlowOfSizeZeroIsAnOutline) {
  auto b = Page(40, 40);
  TCanvas* c = b->Canvas();
  // Centred in R (x 17..20, rows 15..22), so that the outline lies inside the bitmap.
  DrawGlowText(c, TRect{10, 10, 30, 30}, "a", win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE, 0, clBlue, 0);
  for (int y = 15; y < 23; ++y)
    for (int x = 17; x < 21; ++x) ASSERT_EQ(c->Pixels(x, y), clBlack) << x << "," << y;  // the text on top
  for (int y = 15; y < 23; ++y) {
    EXPECT_TRUE(Near(c->Pixels(16, y), clBlue)) << y;
    EXPECT_TRUE(Near(c->Pixels(21, y), clBlue)) << y;
  }
  for (int x = 17; x < 21; ++x) {
    EXPECT_TRUE(Near(c->Pixels(x, 14), clBlue)) << x;
    EXPECT_TRUE(Near(c->Pixels(x, 23), clBlue)) << x;
  }
  EXPECT_EQ(c->Pixels(16, 14), clWhite);  // corners are not reached by the four offsets
  EXPECT_EQ(c->Pixels(22, 18), clWhite);
}

TEST(kx_text_effects, GlowAndPlateSpreadAndFade) {
  auto b = Page(60, 50);
  TCanvas* c = b->Canvas();
  DrawBlurGlowText(c, TRect{20, 20, 40, 30}, "a", 0, 0, clRed, 4);
  EXPECT_EQ(c->Pixels(21, 22), clBlack);
  TColor nearGlow = c->Pixels(19, 22), far = c->Pixels(10, 22);
  EXPECT_NE(nearGlow, clWhite);
  EXPECT_EQ(far, clWhite);
  auto p = Page(80, 60);
  EXPECT_EQ(DrawPlateGlowText(p->Canvas(), TRect{20, 20, 50, 32}, "ab", 0, clLime), 10);
  EXPECT_NE(p->Canvas()->Pixels(18, 26), clWhite);  // the plate reaches 3 pixels left of the text
  EXPECT_EQ(p->Canvas()->Pixels(2, 2), clWhite);
}

TEST(kx_text_effects, ReflectionBelowTheText) {
  auto b = Page(40, 60);
  TCanvas* c = b->Canvas();
  DrawReflectedText(c, TRect{10, 10, 30, 30}, "a", 0, 0, clBlue);
  // The text cell is rows 10..19 (its box rows 10..17); mirrored, the cell's last row lands on
  // row 20 and the box on rows 22..29, strongest next to the text and fading downwards.
  EXPECT_EQ(c->Pixels(11, 17), clBlack);
  EXPECT_EQ(c->Pixels(11, 20), clWhite);
  TColor top = c->Pixels(11, 22), low = c->Pixels(11, 25);
  EXPECT_NE(top, clWhite);
  EXPECT_LT(top & 0xFF, low & 0xFF);  // less red: more of the reflection colour
  EXPECT_EQ(c->Pixels(11, 28), clWhite);  // alpha 0 over the top 30% of the cell
  EXPECT_EQ(c->Pixels(11, 8), clWhite);
  // Empty text: a fully transparent bitmap; collapsed rectangles draw only the plain text.
  auto e = Page(20, 20);
  DrawReflectedText(e->Canvas(), TRect{2, 2, 18, 18}, "", 0, 0, clBlue);
  DrawReflectedText(e->Canvas(), TRect{5, 5, 5, 9}, "a", win::DT_NOCLIP, 0, clBlue);
  DrawGlowText(e->Canvas(), TRect{5, 5, 5, 5}, "", 0, 0, clBlue, 0);
  DrawBlurGlowText(e->Canvas(), TRect{5, 5, 5, 5}, "", 0, 0, clBlue, 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      bool text = x >= 5 && x < 9 && y >= 5 && y < 13;
      ASSERT_EQ(e->Canvas()->Pixels(x, y), text ? clBlack : clWhite) << x << "," << y;
    }
}

}  // namespace

namespace {

TEST(kx_text_effects, ReflectionOfACentredLineStartsUnderIt) {
  auto b = Page(40, 60);
  TCanvas* c = b->Canvas();
  // A single line centred in 20 rows: the cell is rows 15..24, its box rows 15..22.
  DrawReflectedText(c, TRect{10, 10, 30, 30}, "a", win::DT_SINGLELINE | win::DT_VCENTER, 0, clBlue);
  EXPECT_EQ(c->Pixels(11, 22), clBlack);
  EXPECT_EQ(c->Pixels(11, 25), clWhite);  // the mirrored cell row 24
  EXPECT_NE(c->Pixels(11, 27), clWhite);  // the mirrored box starts at row 27
  EXPECT_EQ(c->Pixels(11, 34), clWhite);
}

}  // namespace
