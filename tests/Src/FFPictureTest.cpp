#include <gtest/gtest.h>

#include <vector>

#include "Src/FFPicture.h"
#include "Src/FFmpegLoader.h"

namespace {

class PictureToBitmap : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(FFLoader().Load(ProbeLibraries)) << FFLoader().LastErrMsg(); }
  void TearDown() override {
    ResetRGBConvertContext(ctx);
    FFLoader().Unload(ProbeLibraries);
  }
  // A BGR24 picture whose pixel (x, y) is (x, y, 200), rows `linesize` bytes apart.
  static std::vector<uint8_t> Picture(int w, int h, int linesize) {
    std::vector<uint8_t> buf(static_cast<size_t>(linesize) * h, 0xEE);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint8_t* p = &buf[static_cast<size_t>(y) * linesize + x * 3];
        p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = 200;
      }
    return buf;
  }
  static const uint8_t* Pixel(TBitmap* bmp, int x, int y) {
    return static_cast<const uint8_t*>(bmp->ScanLine(y)) + x * 3;
  }
  TRGBConvertContext ctx;
};

TEST_F(PictureToBitmap, PaddedBgrPictureOfEvenSizeIsCopiedAsIs) {
  auto buf = Picture(4, 2, 12);
  const uint8_t* data[4] = {buf.data()};
  const int linesize[4] = {12};
  ASSERT_TRUE(AVPictureToBitmap(ctx, data, linesize, AV_PIX_FMT_BGR24, 2, 4));
  EXPECT_EQ(ctx.RGBPictureRefData, data);  // no conversion took place
  EXPECT_EQ(ctx.RGBBuf, nullptr);
  ASSERT_NE(ctx.Bitmap, nullptr);
  EXPECT_EQ(ctx.Bitmap->Width(), 4);
  EXPECT_EQ(ctx.Bitmap->Height(), 2);
  EXPECT_EQ(ctx.Bitmap->PixelFormat(), pf24bit);
  EXPECT_EQ(ctx.Bitmap->Canvas()->Brush()->Style(), bsClear);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) {
      const uint8_t* p = Pixel(ctx.Bitmap, x, y);
      EXPECT_EQ(p[0], x);
      EXPECT_EQ(p[1], y);
      EXPECT_EQ(p[2], 200);
    }
}

TEST_F(PictureToBitmap, OddWidthOrOtherLayoutIsConvertedWithinTheRows) {
  // 101 pixels: the bitmap row is padded to 304 bytes, the converted one is 303.
  auto buf = Picture(101, 3, 320);
  const uint8_t* data[4] = {buf.data()};
  const int linesize[4] = {320};
  ASSERT_TRUE(AVPictureToBitmap(ctx, data, linesize, AV_PIX_FMT_BGR24, 3, 101));
  EXPECT_EQ(ctx.RGBPictureRefData, ctx.RGBPictureData);
  EXPECT_GE(ctx.RGBBufSize, 101 * 3 * 3);
  const uint8_t* p = Pixel(ctx.Bitmap, 100, 2);
  EXPECT_EQ(p[0], 100);
  EXPECT_EQ(p[1], 2);
  EXPECT_EQ(p[2], 200);

  // A smaller picture later reuses the buffer, which never shrinks.
  int size = ctx.RGBBufSize;
  auto small = Picture(5, 1, 16);
  const uint8_t* sdata[4] = {small.data()};
  const int slinesize[4] = {16};
  ASSERT_TRUE(AVPictureToBitmap(ctx, sdata, slinesize, AV_PIX_FMT_BGR24, 1, 5));
  EXPECT_EQ(ctx.RGBBufSize, size);
  EXPECT_EQ(ctx.Bitmap->Width(), 5);
}

TEST_F(PictureToBitmap, YuvPictureBecomesItsColour) {
  // A 4x4 mid-grey YUV 4:2:0 picture.
  std::vector<uint8_t> y(16, 126), u(4, 128), v(4, 128);
  const uint8_t* data[4] = {y.data(), u.data(), v.data()};
  const int linesize[4] = {4, 2, 2};
  ASSERT_TRUE(AVPictureToBitmap(ctx, data, linesize, AV_PIX_FMT_YUV420P, 4, 4));
  const uint8_t* p = Pixel(ctx.Bitmap, 3, 3);
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(p[c], 128, 3);
}

TEST_F(PictureToBitmap, UnusablePicturesAreRefused) {
  const uint8_t* none[4] = {};
  const int linesize[4] = {12};
  EXPECT_FALSE(AVPictureToBitmap(ctx, none, linesize, AV_PIX_FMT_BGR24, 2, 4));
  auto buf = Picture(4, 2, 12);
  const uint8_t* data[4] = {buf.data()};
  EXPECT_FALSE(AVPictureToBitmap(ctx, data, linesize, AV_PIX_FMT_BGR24, 0, 4));
  EXPECT_FALSE(AVPictureToBitmap(ctx, data, linesize, AV_PIX_FMT_NONE, 2, 3));
}

}  // namespace
