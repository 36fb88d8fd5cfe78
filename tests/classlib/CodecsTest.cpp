// Round trips and corrupt files for the picture codecs.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "classlib/graphics/Codecs.h"
#include "classlib/graphics/GraphicsError.h"

using namespace img;

namespace {

// A picture whose every pixel differs from its neighbours, so row or column mix-ups show.
RawImage Pattern(int w, int h, int bpp, bool rgb565 = false) {
  RawImage im;
  im.Allocate(w, h, bpp);
  im.Rgb565 = rgb565;
  for (size_t i = 0; i < im.Palette.size(); ++i) im.Palette[i] = uint32_t(i * 0x010305u + 0x102030u) & 0xFFFFFF;
  for (int y = 0; y < h; ++y) {
    uint8_t* row = im.Row(y);
    for (int x = 0; x < w; ++x) {
      unsigned v = unsigned(x * 7 + y * 13 + 1);
      switch (bpp) {
        case 1: if (v & 1) row[x >> 3] |= uint8_t(0x80 >> (x & 7)); break;
        case 4: row[x >> 1] |= uint8_t((v & 15) << ((x & 1) ? 0 : 4)); break;
        case 8: row[x] = uint8_t(v); break;
        case 16: row[2 * x] = uint8_t(v * 37); row[2 * x + 1] = uint8_t((v * 11) & (rgb565 ? 0xFF : 0x7F)); break;
        case 24: row[3 * x] = uint8_t(v); row[3 * x + 1] = uint8_t(v * 3); row[3 * x + 2] = uint8_t(v * 5); break;
        case 32:
          row[4 * x] = uint8_t(v); row[4 * x + 1] = uint8_t(v * 3); row[4 * x + 2] = uint8_t(v * 5); row[4 * x + 3] = uint8_t(v * 9);
          break;
      }
    }
  }
  im.HasAlpha = bpp == 32;
  return im;
}

void ExpectSamePixels(const RawImage& a, const RawImage& b) {
  ASSERT_EQ(a.Width, b.Width);
  ASSERT_EQ(a.Height, b.Height);
  for (int y = 0; y < a.Height; ++y)
    for (int x = 0; x < a.Width; ++x) ASSERT_EQ(a.Pixel(x, y), b.Pixel(x, y)) << "at " << x << "," << y;
}

void Put32(Bytes& b, size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i)); }

}  // namespace

TEST(BmpCodec, RoundTripsEveryFormatInBothRowOrders) {
  struct Case { int bpp; bool rgb565; };
  for (Case c : {Case{1, false}, Case{4, false}, Case{8, false}, Case{16, false}, Case{16, true}, Case{24, false}, Case{32, false}}) {
    for (bool topDown : {false, true}) {
      // Odd widths exercise the row padding.
      RawImage src = Pattern(13, 5, c.bpp, c.rgb565);
      Bytes file = WriteBmp(src, topDown);
      size_t used = 0;
      RawImage back = ReadBmp(file.data(), file.size(), &used);
      SCOPED_TRACE(testing::Message() << "bpp " << c.bpp << " 565 " << c.rgb565 << " topDown " << topDown);
      EXPECT_EQ(used, file.size());
      EXPECT_EQ(back.BitsPerPixel, c.bpp);
      EXPECT_EQ(back.Rgb565, c.rgb565);
      EXPECT_EQ(back.Pixels, src.Pixels);
      EXPECT_EQ(back.Palette, src.Palette);
      EXPECT_EQ(back.HasAlpha, c.bpp == 32);
    }
  }
}

TEST(BmpCodec, BottomUpFileStoresLastRowFirst) {
  RawImage src = Pattern(2, 2, 24);
  Bytes file = WriteBmp(src, false);
  const uint32_t off = file[10] | (file[11] << 8);
  EXPECT_EQ(0, std::memcmp(file.data() + off, src.Row(1), 6));
  Bytes top = WriteBmp(src, true);
  EXPECT_EQ(0, std::memcmp(top.data() + off, src.Row(0), 6));
}

TEST(BmpCodec, ReadsV5HeaderWithBitFieldsAndCoreHeader) {
  // A 2x1 top-down 32-bit V5 file whose masks put red in the low byte (RGBA order).
  Bytes f(14 + 124 + 8, 0);
  f[0] = 'B'; f[1] = 'M';
  Put32(f, 2, uint32_t(f.size()));
  Put32(f, 10, 14 + 124);
  Put32(f, 14, 124);
  Put32(f, 18, 2);
  Put32(f, 22, uint32_t(-1));
  f[26] = 1; f[28] = 32;
  Put32(f, 30, 3);  // BI_BITFIELDS
  Put32(f, 54, 0x000000FF); Put32(f, 58, 0x0000FF00); Put32(f, 62, 0x00FF0000); Put32(f, 66, 0xFF000000);
  const uint8_t px[8] = {0x11, 0x22, 0x33, 0x80, 0xAA, 0xBB, 0xCC, 0xFF};
  std::memcpy(f.data() + 138, px, 8);
  RawImage im = ReadBmp(f.data(), f.size());
  EXPECT_TRUE(im.HasAlpha);
  EXPECT_EQ(im.Pixel(0, 0), 0x80112233u);
  EXPECT_EQ(im.Pixel(1, 0), 0xFFAABBCCu);

  // A 1x2 bottom-up 8-bit file with a 12-byte core header and a 3-byte-per-entry palette.
  Bytes c(14 + 12 + 256 * 3 + 8, 0);
  c[0] = 'B'; c[1] = 'M';
  Put32(c, 10, uint32_t(14 + 12 + 256 * 3));
  Put32(c, 14, 12);
  c[18] = 1; c[20] = 2; c[22] = 1; c[24] = 8;
  c[26 + 3 * 5 + 0] = 0x01; c[26 + 3 * 5 + 1] = 0x02; c[26 + 3 * 5 + 2] = 0x03;  // entry 5 = B,G,R
  c[14 + 12 + 768] = 0;      // bottom row: index 0
  c[14 + 12 + 768 + 4] = 5;  // top row: index 5
  RawImage core = ReadBmp(c.data(), c.size());
  EXPECT_EQ(core.Pixel(0, 0), 0xFF030201u);
  EXPECT_EQ(core.Pixel(0, 1), 0xFF000000u);
}

TEST(BmpCodec, CorruptOrTruncatedFilesRaise) {
  const Bytes good = WriteBmp(Pattern(9, 7, 8), false);
  struct Case { const char* name; std::function<void(Bytes&)> spoil; };
  const Case cases[] = {
      {"truncated pixels", [](Bytes& b) { b.resize(b.size() - 1); }},
      {"truncated palette", [](Bytes& b) { b.resize(14 + 40 + 100); }},
      {"only file header", [](Bytes& b) { b.resize(14); }},
      {"bad magic", [](Bytes& b) { b[0] = 'X'; }},
      {"zero width", [](Bytes& b) { Put32(b, 18, 0); }},
      {"negative width", [](Bytes& b) { Put32(b, 18, uint32_t(-9)); }},
      {"zero height", [](Bytes& b) { Put32(b, 22, 0); }},
      {"huge height", [](Bytes& b) { Put32(b, 22, 0x7FFFFFFF); }},
      {"most negative height", [](Bytes& b) { Put32(b, 22, 0x80000000u); }},
      {"huge width", [](Bytes& b) { Put32(b, 18, 0x7FFFFFFF); }},
      {"pixel offset past end", [](Bytes& b) { Put32(b, 10, 0xFFFFFFF0u); }},
      {"pixel offset inside header", [](Bytes& b) { Put32(b, 10, 20); }},
      {"bad bit count", [](Bytes& b) { b[28] = 7; }},
      {"two planes", [](Bytes& b) { b[26] = 2; }},
      {"RLE compression", [](Bytes& b) { Put32(b, 30, 1); }},
      {"bad header size", [](Bytes& b) { Put32(b, 14, 20); }},
      {"header larger than file", [](Bytes& b) { Put32(b, 14, 5000); }},
  };
  for (const Case& c : cases) {
    Bytes b = good;
    c.spoil(b);
    EXPECT_THROW(ReadBmp(b.data(), b.size()), EInvalidGraphic) << c.name;
  }
  EXPECT_THROW(ReadBmp(nullptr, 0), EInvalidGraphic);
}

TEST(PngCodec, KeepsAlphaAndReadsOpaqueAsRgb) {
  RawImage src = Pattern(11, 4, 32);
  Bytes file = WritePng(src);
  ASSERT_EQ(DetectKind(file.data(), file.size()), FileKind::Png);
  RawImage back = ReadPng(file.data(), file.size());
  EXPECT_EQ(back.BitsPerPixel, 32);
  EXPECT_TRUE(back.HasAlpha);
  ExpectSamePixels(src, back);

  for (int bpp : {1, 4, 8, 16, 24}) {
    RawImage s = Pattern(7, 3, bpp);
    Bytes f = WritePng(s);
    RawImage b = ReadPng(f.data(), f.size());
    EXPECT_EQ(b.BitsPerPixel, 24) << bpp;
    ExpectSamePixels(s, b);
  }
}

TEST(PngCodec, AllZeroAlphaIsSavedOpaque) {
  // GDI-style drawing leaves alpha 0; such a picture must not come back invisible.
  RawImage src = Pattern(3, 3, 32);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) src.Row(y)[4 * x + 3] = 0;
  Bytes f = WritePng(src);
  RawImage b = ReadPng(f.data(), f.size());
  EXPECT_EQ(b.BitsPerPixel, 24);
  EXPECT_EQ(b.Pixel(2, 1) & 0xFFFFFF, src.Pixel(2, 1) & 0xFFFFFF);
}

TEST(JpegCodec, RoundTripIsCloseAndQualityMatters) {
  RawImage src;
  src.Allocate(32, 16, 24);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) {
      uint8_t* p = src.Row(y) + 3 * x;
      p[0] = uint8_t(x * 8); p[1] = uint8_t(y * 16); p[2] = 200;
    }
  Bytes hi = WriteJpeg(src, 95);
  Bytes lo = WriteJpeg(src, 10);
  EXPECT_LT(lo.size(), hi.size());
  ASSERT_EQ(DetectKind(hi.data(), hi.size()), FileKind::Jpeg);
  RawImage back = ReadJpeg(hi.data(), hi.size());
  ASSERT_EQ(back.Width, 32);
  ASSERT_EQ(back.Height, 16);
  EXPECT_EQ(back.BitsPerPixel, 24);
  int worst = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x)
      for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(int(back.Row(y)[3 * x + c]) - int(src.Row(y)[3 * x + c])));
  EXPECT_LE(worst, 12);

  Bytes grey = WriteJpeg(src, 90, true);
  RawImage g = ReadJpeg(grey.data(), grey.size());
  uint32_t p = g.Pixel(5, 5);
  EXPECT_EQ((p >> 16) & 255, p & 255);  // a greyscale file reads back as equal channels
}

// A progressive header claiming 60000 x 60000 once made libjpeg reserve over 10 GB for its
// coefficients before the size was checked.
TEST(JpegCodec, HugeProgressiveHeaderIsRefusedBeforeDecoding) {
  Bytes f = WriteJpeg(Pattern(8, 8, 24), 90);
  size_t sof = 0;
  for (size_t i = 2; i + 9 < f.size(); ++i)
    if (f[i] == 0xFF && f[i + 1] == 0xC0) { sof = i; break; }
  ASSERT_NE(sof, 0u);
  f[sof + 1] = 0xC2;  // progressive
  f[sof + 5] = 0xEA; f[sof + 6] = 0x60;  // height 60000
  f[sof + 7] = 0xEA; f[sof + 8] = 0x60;  // width 60000
  try {
    ReadJpeg(f.data(), f.size());
    ADD_FAILURE() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(e.Message.find("too large"), std::string::npos) << e.Message;
  }
}

// A GIF whose screen of 65535 x 11524 (some 750 MB) the reader took, but no bitmap could hold,
// so drawing it failed; every picture a reader accepts must fit a bitmap.
TEST(GifCodec, ScreenLargerThanAnyBitmapIsRefused) {
  Bytes f = WriteGif(Pattern(6, 5, 8));
  f[6] = 0xFF; f[7] = 0xFF;  // screen width 65535
  f[8] = 0x04; f[9] = 0x2D;  // screen height 11524
  try {
    ReadGif(f.data(), f.size());
    ADD_FAILURE() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(e.Message.find("too large"), std::string::npos) << e.Message;
  }
  f[8] = 0x00; f[9] = 0x01;  // height 256: 16 MB, which a bitmap holds
  RawImage big = ReadGif(f.data(), f.size());
  EXPECT_EQ(big.Width, 65535);
  EXPECT_EQ(big.Height, 256);
}

TEST(GifCodec, ExactPaletteFixedPaletteAndTransparency) {
  // Few colours: kept exactly.
  RawImage few = Pattern(10, 6, 24);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x) {
      uint8_t* p = few.Row(y) + 3 * x;
      p[0] = uint8_t((x % 3) * 100); p[1] = uint8_t(y * 40); p[2] = 7;
    }
  Bytes f = WriteGif(few);
  ASSERT_EQ(DetectKind(f.data(), f.size()), FileKind::Gif);
  RawImage b = ReadGif(f.data(), f.size());
  EXPECT_EQ(b.BitsPerPixel, 8);
  ExpectSamePixels(few, b);

  // Indexed with a transparent entry: palette and transparency kept.
  RawImage idx = Pattern(5, 5, 8);
  idx.TransparentIndex = 3;
  Bytes fi = WriteGif(idx);
  RawImage bi = ReadGif(fi.data(), fi.size());
  EXPECT_EQ(bi.TransparentIndex, 3);
  EXPECT_EQ(bi.Pixels, idx.Pixels);

  // Many colours: every pixel within the fixed palette's step of its colour.
  RawImage many = Pattern(40, 40, 24);
  Bytes fm = WriteGif(many);
  RawImage bm = ReadGif(fm.data(), fm.size());
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      for (int s : {0, 8, 16})
        ASSERT_LE(std::abs(int((many.Pixel(x, y) >> s) & 255) - int((bm.Pixel(x, y) >> s) & 255)), 26);
}

TEST(Codecs, TruncatedAndCorruptFilesOfEveryKindRaise) {
  RawImage src = Pattern(24, 20, 24);
  struct Kind { const char* name; Bytes file; std::function<RawImage(const Bytes&)> read; };
  const Kind kinds[] = {
      {"bmp", WriteBmp(src), [](const Bytes& b) { return ReadBmp(b.data(), b.size()); }},
      {"png", WritePng(src), [](const Bytes& b) { return ReadPng(b.data(), b.size()); }},
      {"jpeg", WriteJpeg(src, 90), [](const Bytes& b) { return ReadJpeg(b.data(), b.size()); }},
      {"gif", WriteGif(src), [](const Bytes& b) { return ReadGif(b.data(), b.size()); }},
  };
  for (const Kind& k : kinds) {
    SCOPED_TRACE(k.name);
    EXPECT_NO_THROW(k.read(k.file));
    for (size_t keep : {size_t(0), size_t(5), k.file.size() / 2, k.file.size() - 16}) {
      Bytes b(k.file.begin(), k.file.begin() + long(keep));
      EXPECT_THROW(k.read(b), EInvalidGraphic) << "kept " << keep;
    }
    Bytes garbage = k.file;
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = uint8_t(i * 31 + 7);
    EXPECT_THROW(k.read(garbage), EInvalidGraphic);
  }
}
