#include <gtest/gtest.h>

#include <cstring>
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

TEST_F(PictureToBitmap, TheScalerWritesOnlyWithinTheRowsLaidOutForThePicture) {
  // The scaler's vector code stores whole blocks of pixels; a row laid out for just the picture's
  // width let a 4x4 YUV picture's last row run 36 bytes past the end of the buffer. A large picture
  // first leaves a large buffer (it never shrinks), marked; each small picture converted into it
  // must leave every byte after its own rows as it was.
  auto yuv = [](int w, int h) {
    const int cw = (w + 1) / 2, ch = (h + 1) / 2;
    std::vector<uint8_t> buf(static_cast<size_t>(w * h + 2 * cw * ch + 256), 128);
    for (int i = 0; i < w * h; ++i) buf[static_cast<size_t>(i)] = 200;
    return buf;
  };
  for (int w : {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 20, 31, 33, 63, 65, 100})
    for (int h : {2, 3, 4}) {
      ResetRGBConvertContext(ctx);
      auto big = yuv(256, 16);
      const uint8_t* bdata[4] = {big.data(), big.data() + 256 * 16, big.data() + 256 * 16 + 128 * 8};
      const int blinesize[4] = {256, 128, 128};
      ASSERT_TRUE(AVPictureToBitmap(ctx, bdata, blinesize, AV_PIX_FMT_YUV420P, 16, 256));
      ASSERT_NE(ctx.RGBBuf, nullptr);
      std::memset(ctx.RGBBuf, 0xA5, static_cast<size_t>(ctx.RGBBufSize));

      const int cw = (w + 1) / 2, ch = (h + 1) / 2;
      auto pic = yuv(w, h);
      const uint8_t* data[4] = {pic.data(), pic.data() + w * h, pic.data() + w * h + cw * ch};
      const int linesize[4] = {w, cw, cw};
      ASSERT_TRUE(AVPictureToBitmap(ctx, data, linesize, AV_PIX_FMT_YUV420P, h, w)) << w << "x" << h;
      ASSERT_EQ(ctx.RGBPictureData[0], ctx.RGBBuf);
      const int stride = ctx.RGBPictureLinesize[0];
      ASSERT_GE(stride, w * 3);
      ASSERT_LE(stride * h, ctx.RGBBufSize);
      int touched = 0;
      for (int i = stride * h; i < ctx.RGBBufSize; ++i) touched += ctx.RGBBuf[i] != 0xA5;
      EXPECT_EQ(touched, 0) << w << "x" << h << ": bytes written after the picture's rows";
      // The pixels themselves arrived: Y 200 on neutral chroma is a light grey.
      const uint8_t* p = Pixel(ctx.Bitmap, w - 1, h - 1);
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(p[c], 215, 6) << w << "x" << h;
    }
}

TEST_F(PictureToBitmap, AFreshBufferHoldsEveryRowAndPaddingAfterIt) {
  for (int w : {1, 4, 5, 64, 65}) {
    ResetRGBConvertContext(ctx);
    std::vector<uint8_t> y(static_cast<size_t>(w * 2 + 64), 126), uv(static_cast<size_t>(w + 64), 128);
    const uint8_t* data[4] = {y.data(), uv.data(), uv.data()};
    const int linesize[4] = {w, (w + 1) / 2, (w + 1) / 2};
    ASSERT_TRUE(AVPictureToBitmap(ctx, data, linesize, AV_PIX_FMT_YUV420P, 2, w));
    // Rows of whole 16-pixel blocks at least, and room after the last one.
    EXPECT_GE(ctx.RGBPictureLinesize[0], (w + 15) / 16 * 16 * 3) << w;
    EXPECT_GT(ctx.RGBBufSize, ctx.RGBPictureLinesize[0] * 2) << w;
  }
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
