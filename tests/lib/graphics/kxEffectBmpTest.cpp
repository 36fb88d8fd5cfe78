// The effects bitmap: morphs at fixed steps, the gradients, filters, rotations that round-trip,
// the inclusive ends of CopyRect, and the guards against bad factors and amounts.
#include <gtest/gtest.h>

#include <cmath>

#include "lib/graphics/kxEffectBmp.h"

namespace {

using P = std::unique_ptr<TkxEffectBmp>;

P Solid(int w, int h, int32_t v) {
  auto e = std::make_unique<TkxEffectBmp>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) e->WritePixel(x, y, v);
  return e;
}
// Pixel (x, y) holds x in red, y in green and 7 in blue.
P Coded(int w, int h) {
  auto e = std::make_unique<TkxEffectBmp>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) e->WritePixel(x, y, (x << 16) | (y << 8) | 7);
  return e;
}
int32_t Grey(int v) { return v | (v << 8) | (v << 16); }

TEST(kx_effects, LayoutOfTheSection) {
  TkxEffectBmp e(5, 3);
  EXPECT_EQ(e.RowSize(), 16);
  EXPECT_EQ(e.Size, 48);
  EXPECT_EQ(e.BmpHeader.biHeight, -3);
  EXPECT_EQ(e.BmpHeader.biBitCount, 24);
  e.WritePixel(4, 2, 0x123456);
  EXPECT_EQ(e.ScanLineAddress(2)[12], 0x56);
  EXPECT_EQ(e.ReadPixel(4, 2), 0x123456);
  auto c = TkxEffectBmp::CreateCopy(e);
  EXPECT_EQ(c->ReadPixel(4, 2), 0x123456);
}

TEST(kx_effects, MorphAtFixedSteps) {
  struct Case {
    double kf;
    int want;
  } cases[] = {{0.5, 128}, {-1, 0}, {2, 255}, {0.25, 64}, {std::nan(""), 0}};
  for (auto c : cases) {
    auto a = Solid(3, 2, 0), b = Solid(3, 2, Grey(255));
    a->Morph(b.get(), c.kf);
    EXPECT_EQ(a->ReadPixel(2, 1), Grey(c.want)) << c.kf;
  }
  // Pictures of different sizes are left alone.
  auto a = Solid(3, 2, 0), b = Solid(2, 2, Grey(255));
  a->Morph(b.get(), 1);
  EXPECT_EQ(a->ReadPixel(0, 0), 0);
}

TEST(kx_effects, SlidesAndPushShowAtLeastOneColumn) {
  auto a = Coded(6, 2), b = Solid(6, 2, 0xABCDEF);
  for (int x = 0; x < 6; ++x) b->WritePixel(x, 0, 0x100 * x);
  a->MorphLeftSlide(b.get(), 0);
  EXPECT_EQ(a->ReadPixel(0, 0), 0x500);  // the other's last column
  EXPECT_EQ(a->ReadPixel(1, 0), (1 << 16) | 7);
  a = Coded(6, 2);
  a->MorphRightSlide(b.get(), 0.5);  // b = 3: columns 3..5 take the other's 0..2
  EXPECT_EQ(a->ReadPixel(2, 0), (2 << 16) | 7);
  EXPECT_EQ(a->ReadPixel(3, 0), 0);
  EXPECT_EQ(a->ReadPixel(5, 0), 0x200);
  a = Coded(6, 2);
  a->MorphPush(b.get(), 0);  // column 0 from the other's last, the rest shifted right by one
  EXPECT_EQ(a->ReadPixel(0, 0), 0x500);
  for (int x = 1; x < 6; ++x) EXPECT_EQ(a->ReadPixel(x, 0), ((x - 1) << 16) | 7);
  a = Coded(6, 2);
  a->MorphPush(b.get(), 5);  // limited to Width - 1: all the other picture
  for (int x = 0; x < 6; ++x) EXPECT_EQ(a->ReadPixel(x, 0), 0x100 * x);
}

TEST(kx_effects, CentreBandGradients) {
  // Kf 0 on a picture 10 wide: the band is column 5; t rises 0.2 per column away from it.
  auto a = Solid(10, 1, Grey(250)), b = Solid(10, 1, 0);
  a->MorphHGrad(b.get(), 0);
  const int want[10] = {250, 200, 150, 100, 50, 0, 50, 100, 150, 200};
  for (int x = 0; x < 10; ++x) EXPECT_EQ(a->ReadPixel(x, 0), Grey(want[x])) << x;
  // Kf 1: the whole picture is the other one; out-of-range factors stay inside the picture.
  for (double kf : {1.0, 7.0, -3.0}) {
    a = Solid(10, 1, Grey(250));
    a->MorphHGrad(b.get(), kf);
    a->MorphVGrad(b.get(), kf);
  }
  a = Solid(10, 1, Grey(250));
  a->MorphHGrad(b.get(), 1);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(a->ReadPixel(x, 0), 0);
  // Vertical with g = 0: every row outside the band becomes the other picture.
  a = Solid(1, 3, Grey(250));
  b = Solid(1, 3, 0);
  a->MorphVGrad(b.get(), 0.5);  // H 3, b 2, g 0
  for (int y = 0; y < 3; ++y) EXPECT_EQ(a->ReadPixel(0, y), 0);
  // MorphGrad picks the vertical one for a tall picture.
  a = Solid(2, 9, Grey(200));
  b = Solid(2, 9, 0);
  a->MorphGrad(b.get(), 0);  // band row 4, g 4, step 0.25
  EXPECT_EQ(a->ReadPixel(0, 4), 0);
  EXPECT_EQ(a->ReadPixel(0, 3), Grey(50));
  EXPECT_EQ(a->ReadPixel(1, 0), Grey(200));
}

TEST(kx_effects, SideGradients) {
  auto a = Solid(5, 1, Grey(200)), b = Solid(5, 1, 0);
  a->MorphLeftGrad(b.get(), 0.8);  // b = 4: t = 0, .25, .5, .75, 1 over columns 0..4
  const int want[5] = {0, 50, 100, 150, 200};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(a->ReadPixel(x, 0), Grey(want[x])) << x;
  a = Solid(5, 1, Grey(200));
  a->MorphRightGrad(b.get(), 0.4);  // s = 3: t = 0 at column 4, 0.5 at column 3
  EXPECT_EQ(a->ReadPixel(4, 0), 0);
  EXPECT_EQ(a->ReadPixel(3, 0), Grey(100));
  EXPECT_EQ(a->ReadPixel(2, 0), Grey(200));
  // A picture one pixel wide has no gradient columns: nothing is written past the row.
  a = Solid(1, 2, Grey(9));
  b = Solid(1, 2, 0);
  a->MorphLeftGrad(b.get(), 0.5);
  EXPECT_EQ(a->ReadPixel(0, 0), Grey(9));
}

TEST(kx_effects, Filters) {
  auto a = Solid(2, 1, 0x00FFFF);  // R 0, G 255, B 255 as blue-low integer: red 0
  a->WritePixel(0, 0, 0xFFFF00);   // R 255, G 255, B 0
  a->GrayScale();
  EXPECT_EQ(a->ReadPixel(0, 0), Grey(227));
  a = Solid(1, 1, Grey(100));
  a->ChangeBrightness(0.5);
  EXPECT_EQ(a->ReadPixel(0, 0), Grey(178));  // 177.5 to the even 178
  a->ChangeDarkness(2);
  EXPECT_EQ(a->ReadPixel(0, 0), 0);
  a->Invert();
  EXPECT_EQ(a->ReadPixel(0, 0), Grey(255));
  // Noise through an injected source; amounts of 0 or less change nothing.
  auto saved = TkxEffectBmp::Random;
  TkxEffectBmp::Random = [](int32_t n) { return n - 1; };
  a = Solid(1, 1, Grey(100));
  a->AddMonoNoise(10);  // 9 - 5 = +4
  EXPECT_EQ(a->ReadPixel(0, 0), Grey(104));
  a->AddColorNoise(0);
  a->AddMonoNoise(-3);
  EXPECT_EQ(a->ReadPixel(0, 0), Grey(104));
  TkxEffectBmp::Random = saved;
  // Mosaic takes each block's top-left colour.
  a = Coded(5, 3);
  a->Mosaic(2);
  EXPECT_EQ(a->ReadPixel(1, 1), 7);
  EXPECT_EQ(a->ReadPixel(3, 1), (2 << 16) | 7);
  EXPECT_EQ(a->ReadPixel(4, 2), (4 << 16) | (2 << 8) | 7);
}

TEST(kx_effects, SplitBlurStaysInsideThePicture) {
  auto a = Solid(3, 3, 0);
  a->WritePixel(2, 2, Grey(200));
  a->SplitBlur(1);
  // (1, 1) samples (0,0), (0,2), (2,0), (2,2).
  EXPECT_EQ(a->ReadPixel(1, 1), Grey(50));
  // An amount as large as the picture, a 1 x 1 picture and negative amounts never read outside.
  for (int amount : {1, 3, 50, -2}) {
    auto one = Solid(1, 1, Grey(80));
    one->SplitBlur(amount);
    EXPECT_EQ(one->ReadPixel(0, 0), Grey(80));
    auto big = Coded(4, 4);
    big->SplitBlur(amount);
  }
  // Masked blur leaves white-mask pixels alone.
  a = Solid(4, 4, 0);
  a->WritePixel(1, 1, Grey(200));
  auto m = Solid(4, 4, 0xFFFFFF);
  m->WritePixel(2, 2, 0);
  a->MaskBlur(m.get(), 1);
  EXPECT_EQ(a->ReadPixel(1, 1), Grey(200));
  EXPECT_EQ(a->ReadPixel(2, 2), Grey(50));
  EXPECT_EQ(a->ReadPixel(0, 0), 0);
  a = Coded(4, 4);
  a->MaskFillColor(m.get(), clRed, 1);
  EXPECT_EQ(a->ReadPixel(2, 2), 0xFF0000);
  EXPECT_EQ(a->ReadPixel(1, 2), (1 << 16) | (2 << 8) | 7);
}

TEST(kx_effects, RotationsRoundTripAndCopyRectEndsAreIncluded) {
  auto a = Coded(5, 3);
  TkxEffectBmp r(3, 5), back(5, 3);
  a->Rotate90_1(&r);
  EXPECT_EQ(r.ReadPixel(0, 4), 7);  // (0, 0) to (y, Width - 1 - x)
  r.Rotate90_2(&back);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(back.ReadPixel(x, y), a->ReadPixel(x, y));
  TkxEffectBmp f(5, 3);
  a->FlipVert(&f);
  EXPECT_EQ(f.ReadPixel(4, 0), (4 << 16) | (2 << 8) | 7);
  // CopyRect (0, 0, 1, 1) copies four pixels.
  auto d = Solid(4, 4, 0);
  d->CopyRect(a.get(), TRect{0, 0, 1, 1}, 2, 1);
  EXPECT_EQ(d->ReadPixel(0, 0), (2 << 16) | (1 << 8) | 7);
  EXPECT_EQ(d->ReadPixel(1, 1), (3 << 16) | (2 << 8) | 7);
  EXPECT_EQ(d->ReadPixel(2, 0), 0);
  EXPECT_EQ(d->ReadPixel(0, 2), 0);
  // Rectangles reaching outside either picture are cut.
  d->CopyRect(a.get(), TRect{-3, -3, 10, 10}, 0, 0);
  d->MorphRect(a.get(), 1, TRect{-3, -3, 10, 10}, 4, 2);
  // Wave with no amplitude changes nothing.
  auto w = Coded(6, 4);
  w->Wave(3, 2, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(w->ReadPixel(x, y), (x << 16) | (y << 8) | 7);
}

TEST(kx_effects, ResizeAndEmptyPictures) {
  auto a = Coded(2, 2);
  TkxEffectBmp d(5, 5);
  a->Resize(&d);  // kx = 2, blocks 3 x 3 at 0 and 2
  EXPECT_EQ(d.ReadPixel(1, 1), 7);
  EXPECT_EQ(d.ReadPixel(4, 4), (1 << 16) | (1 << 8) | 7);
  TkxEffectBmp empty(0, 3);
  EXPECT_EQ(empty.Width, 0);
  empty.Resize(&d);
  a->Resize(&empty);
  empty.SplitBlur(2);
  empty.Mosaic(3);
  empty.Wave(1, 1, 4);
  empty.GrayScale();
}

}  // namespace

namespace {

TEST(kx_effects, FromABitmapAndBackToADeviceContext) {
  TBitmap src;
  src.SetPixelFormat(pf32bit);
  src.SetSize(4, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) src.Canvas()->SetPixels(x, y, TColor((x * 40) | (y * 50) << 8 | 0x11 << 16));
  auto e = TkxEffectBmp::CreateFromhWnd(src.Handle());
  ASSERT_EQ(e->Width, 4);
  ASSERT_EQ(e->Height, 3);
  EXPECT_EQ(e->ReadPixel(3, 2), (120 << 16) | (100 << 8) | 0x11);  // red 120, green 100, blue 0x11
  TBitmap dst;
  dst.SetPixelFormat(pf32bit);
  dst.SetSize(10, 10);
  TCanvas* c = dst.Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(TRect{0, 0, 10, 10});
  e->Draw(c->Handle(), 1, 1);
  EXPECT_EQ(c->Pixels(4, 3), src.Canvas()->Pixels(3, 2));
  EXPECT_EQ(c->Pixels(1, 1), src.Canvas()->Pixels(0, 0));
  e->Stretch(c->Handle(), 0, 5, 8, 3);  // twice as wide
  EXPECT_EQ(c->Pixels(7, 7), src.Canvas()->Pixels(3, 2));
  EXPECT_EQ(c->Pixels(2, 5), src.Canvas()->Pixels(1, 0));
  c->FillRect(TRect{0, 0, 10, 10});
  e->DrawRect(c->Handle(), 6, 6, 1, 1, 2, 2);  // a plain copy of the part, not mirrored
  EXPECT_EQ(c->Pixels(6, 6), src.Canvas()->Pixels(1, 1));
  EXPECT_EQ(c->Pixels(7, 7), src.Canvas()->Pixels(2, 2));
  EXPECT_EQ(c->Pixels(8, 8), clWhite);
  auto none = TkxEffectBmp::CreateFromhWnd(nullptr);
  EXPECT_EQ(none->Width, 0);
}

}  // namespace
