#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/Gdi.h"
#include "tests/platform/GdiTestUtil.h"

using namespace win;
using gditest::Canvas;

namespace {

// Each source pixel encodes its coordinates: 0xAA00XXYY with a distinct alpha.
void Coded(Canvas& c) {
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) c.At(x, y) = 0x80000000u | (uint32_t(x) << 8) | uint32_t(y);
}
uint32_t Code(int x, int y) { return 0x80000000u | (uint32_t(x) << 8) | uint32_t(y); }

TEST(GdiBlit, BitBltCopiesAllFourBytesAndOnlyWhereTheSourceExists) {
  struct Case { int x, y, w, h, sx, sy; RECT touched; };
  const Case cases[] = {
      {0, 0, 4, 4, 0, 0, {0, 0, 4, 4}},
      {1, 2, 2, 2, 1, 1, {1, 2, 3, 4}},
      {0, 0, 6, 6, 2, 2, {0, 0, 2, 2}},    // source runs off the right and bottom
      {2, 2, 4, 4, -1, -1, {3, 3, 6, 6}},  // source starts before the top left
      {0, 0, 3, 3, 10, 10, {0, 0, 0, 0}},  // wholly outside the source
      {0, 0, 0, 3, 0, 0, {0, 0, 0, 0}},
      {0, 0, -2, 3, 0, 0, {0, 0, 0, 0}},
  };
  for (const Case& k : cases) {
    Canvas src(4, 4), dst(6, 6);
    Coded(src);
    dst.Fill(0x11111111u);
    BitBlt(dst.dc, k.x, k.y, k.w, k.h, src.dc, k.sx, k.sy, SRCCOPY);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) {
        bool in = x >= k.touched.left && x < k.touched.right && y >= k.touched.top && y < k.touched.bottom;
        uint32_t want = in ? Code(k.sx + x - k.x, k.sy + y - k.y) : 0x11111111u;
        ASSERT_EQ(dst.At(x, y), want) << "case " << (&k - cases) << " at " << x << "," << y;
      }
  }
}

TEST(GdiBlit, OverlappingCopyWithinOneSurfaceMovesThePicture) {
  for (int d : {1, -1}) {
    Canvas c(5, 5);
    Coded(c);
    BitBlt(c.dc, d, d, 5, 5, c.dc, 0, 0, SRCCOPY);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x) {
        int sx = x - d, sy = y - d;
        if (sx < 0 || sy < 0 || sx >= 5 || sy >= 5) continue;
        ASSERT_EQ(c.At(x, y), Code(sx, sy)) << d << " " << x << "," << y;
      }
  }
}

TEST(GdiBlit, StretchSamplesNearestColumnAndMirrorsOnNegativeExtents) {
  struct Case { int w, h, sw, sh; std::vector<int> cols; bool flipY; };
  const Case cases[] = {
      {8, 1, 4, 1, {0, 0, 1, 1, 2, 2, 3, 3}, false},  // integer enlargement repeats
      {3, 1, 4, 1, {0, 1, 2}, false},                 // floor(i*4/3)
      {2, 1, 4, 1, {0, 2}, false},
      {4, 1, -4, 1, {3, 2, 1, 0}, false},  // negative source width mirrors
      {4, 2, 4, -2, {0, 1, 2, 3}, true},
  };
  for (const Case& k : cases) {
    Canvas src(4, 2), dst(8, 2);
    Coded(src);
    dst.Fill(0);
    int sx = k.sw < 0 ? 4 : 0, sy = k.sh < 0 ? 2 : 0;
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, k.w, k.h, src.dc, sx, sy, k.sw, k.sh, SRCCOPY));
    for (size_t i = 0; i < k.cols.size(); ++i) {
      EXPECT_EQ(dst.At(int(i), 0), Code(k.cols[i], k.flipY ? 1 : 0)) << "case " << (&k - cases) << " col " << i;
    }
  }
}

// StretchBlt between 32-bit surfaces against the sampling rule, pixel by pixel: destination
// column x + i takes source column sx + floor(i*sw/w) (from the far end when the extents'
// signs differ), rows the same way; pixels without a source pixel, outside the surface or
// outside the clip keep their value.
TEST(GdiBlit, StretchCopyFollowsTheSamplingRuleOnOddSizesClipsAndMirrors) {
  enum Clip { None, Rect, Hole };
  struct Case { int srcW, srcH, x, y, w, h, sx, sy, sw, sh; Clip clip; bool same; };
  const Case cases[] = {
      {13, 7, 2, 1, 37, 23, 0, 0, 13, 7, None, false},       // enlarged
      {40, 30, 3, 2, 11, 9, 1, 2, 37, 27, None, false},      // shrunk
      {64, 9, 0, 0, 96, 13, 0, 0, 64, 9, Rect, false},       // 2:3, as 1280 onto 1920
      {17, 11, 1, 1, 41, 29, 17, 11, -17, -11, None, false}, // mirrored both ways
      {17, 11, 40, 3, -33, 20, 0, 0, 17, 11, Hole, false},   // a negative destination width mirrors
      {20, 12, -5, -4, 45, 33, -3, -2, 19, 13, None, false}, // off the surface and before the source
      {20, 12, 0, 0, 50, 30, 6, 5, 30, 20, Hole, false},     // the source runs off right and bottom
      {50, 35, 4, 3, 29, 19, 2, 1, 21, 14, Rect, true},      // onto its own surface: reads the original
      {30, 20, 0, 0, 50, 35, 29, 0, -30, 20, Rect, false},   // mirrored, clip on both sides
  };
  std::mt19937 rng(99);
  for (const Case& k : cases) {
    const int dw = 50, dh = 35;
    Canvas dst(dw, dh), other(k.srcW, k.srcH);
    Canvas& src = k.same ? dst : other;
    for (int y = 0; y < dh; ++y)
      for (int x = 0; x < dw; ++x) dst.At(x, y) = uint32_t(rng());
    for (int y = 0; y < src.h; ++y)
      for (int x = 0; x < src.w; ++x) src.At(x, y) = uint32_t(rng());
    std::vector<uint32_t> before(size_t(dw) * dh), source(size_t(src.w) * src.h);
    for (int y = 0; y < dh; ++y)
      for (int x = 0; x < dw; ++x) before[size_t(y) * dw + x] = dst.At(x, y);
    for (int y = 0; y < src.h; ++y)
      for (int x = 0; x < src.w; ++x) source[size_t(y) * src.w + x] = src.At(x, y);
    RECT clip{0, 0, dw, dh}, hole{0, 0, 0, 0};
    if (k.clip != None) {
      clip = RECT{5, 3, 41, 30};
      IntersectClipRect(dst.dc, clip.left, clip.top, clip.right, clip.bottom);
    }
    if (k.clip == Hole) {  // bands of two rectangles
      hole = RECT{12, 8, 23, 19};
      ExcludeClipRect(dst.dc, hole.left, hole.top, hole.right, hole.bottom);
    }
    ASSERT_TRUE(StretchBlt(dst.dc, k.x, k.y, k.w, k.h, src.dc, k.sx, k.sy, k.sw, k.sh, SRCCOPY));

    // The rule on normalized extents.
    auto axis = [](int pos, int ext, int spos, int sext, int at, int srcSize, int* from) {
      bool flip = false;
      if (ext < 0) { pos += ext; ext = -ext; flip = !flip; }
      if (sext < 0) { spos += sext; sext = -sext; flip = !flip; }
      if (at < pos || at >= pos + ext) return false;
      int64_t kk = int64_t(at - pos) * sext / ext;
      int64_t v = flip ? spos + sext - 1 - kk : spos + kk;
      *from = int(v);
      return v >= 0 && v < srcSize;
    };
    for (int y = 0; y < dh; ++y)
      for (int x = 0; x < dw; ++x) {
        uint32_t want = before[size_t(y) * dw + x];
        int fx = 0, fy = 0;
        bool inClip = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom &&
                      !(x >= hole.left && x < hole.right && y >= hole.top && y < hole.bottom);
        if (inClip && axis(k.x, k.w, k.sx, k.sw, x, k.srcW, &fx) && axis(k.y, k.h, k.sy, k.sh, y, k.srcH, &fy))
          want = source[size_t(fy) * src.w + fx];
        ASSERT_EQ(dst.At(x, y), want) << "case " << (&k - cases) << " at " << x << "," << y;
      }
  }
}

TEST(GdiBlit, AlphaBlendFollowsPremultipliedOverWithRounding) {
  struct Case { uint32_t src, dst; BYTE ca, fmt; uint32_t want; };
  const Case cases[] = {
      {0x80400000u, 0x00000000u, 255, AC_SRC_ALPHA, 0x80400000u},
      {0x80400000u, 0xFF0000FFu, 255, AC_SRC_ALPHA, 0xFF40007Fu},  // 255*(127)/255=127 -> 0x7F, alpha 0x80+0x7F
      {0xFF102030u, 0x00A0B0C0u, 255, AC_SRC_ALPHA, 0xFF102030u},
      {0x00000000u, 0x12345678u, 255, AC_SRC_ALPHA, 0x12345678u},
      {0xFFFFFFFFu, 0x00000000u, 128, AC_SRC_ALPHA, 0x80808080u},   // constant alpha scales every channel
      {0xFF000000u, 0x00FF0000u, 128, 0, 0x807F0000u},              // without per-pixel alpha: a plain mix
      {0xFFC8C8C8u, 0xFF646464u, 0, 0, 0xFF646464u},
  };
  for (const Case& k : cases) {
    Canvas src(1, 1), dst(1, 1);
    src.At(0, 0) = k.src;
    dst.At(0, 0) = k.dst;
    BLENDFUNCTION bf{AC_SRC_OVER, 0, k.ca, k.fmt};
    ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 1, 1, bf));
    EXPECT_EQ(dst.At(0, 0), k.want) << std::hex << k.src << " over " << k.dst << " ca " << std::dec << int(k.ca);
  }
}

TEST(GdiBlit, AlphaBlendRefusesSourceOutsideAndNegativeExtents) {
  Canvas src(4, 4), dst(4, 4);
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 4, 4, src.dc, 1, 0, 4, 4, bf));
  EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 4, 4, src.dc, -1, 0, 2, 2, bf));
  EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, -4, 4, src.dc, 0, 0, 4, 4, bf));
  EXPECT_TRUE(AlphaBlend(dst.dc, 0, 0, 8, 8, src.dc, 0, 0, 4, 4, bf));
}

TEST(GdiBlit, TransparentBltSkipsTheKeyAndWritesAlphaZero) {
  Canvas src(3, 1), dst(3, 1);
  src.At(0, 0) = 0xFF7F007Fu;  // the key, whatever its alpha
  src.At(1, 0) = 0xFF112233u;
  src.At(2, 0) = 0x007F007Fu;
  dst.Fill(0xAAAAAAAAu);
  ASSERT_TRUE(TransparentBlt(dst.dc, 0, 0, 3, 1, src.dc, 0, 0, 3, 1, RGB(0x7F, 0, 0x7F)));
  EXPECT_EQ(dst.At(0, 0), 0xAAAAAAAAu);
  EXPECT_EQ(dst.At(1, 0), 0x00112233u);
  EXPECT_EQ(dst.At(2, 0), 0xAAAAAAAAu);
}

TEST(GdiBlit, RopsActBitwiseAndPatBltWritesAlphaZero) {
  Canvas src(1, 1), dst(1, 1);
  src.At(0, 0) = 0xF0F0F0F0u;
  struct Case { DWORD rop; uint32_t dst, want; };
  for (Case k : {Case{SRCAND, 0xFF00FF00u, 0xF000F000u}, Case{SRCPAINT, 0x0F000000u, 0xFFF0F0F0u},
                 Case{SRCINVERT, 0xFFFFFFFFu, 0x0F0F0F0Fu}, Case{NOTSRCCOPY, 0, 0x0F0F0F0Fu},
                 Case{BLACKNESS, 0x12345678u, 0}, Case{DSTINVERT, 0x12345678u, 0xEDCBA987u}}) {
    dst.At(0, 0) = k.dst;
    BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, k.rop);
    EXPECT_EQ(dst.At(0, 0), k.want) << std::hex << k.rop;
  }
  HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
  HGDIOBJ old = SelectObject(dst.dc, b);
  dst.At(0, 0) = 0xFFFFFFFFu;
  PatBlt(dst.dc, 0, 0, 1, 1, PATCOPY);
  EXPECT_EQ(dst.At(0, 0), 0x00010203u);
  PatBlt(dst.dc, 0, 0, 1, 1, DSTINVERT);
  EXPECT_EQ(dst.At(0, 0), 0x00FEFDFCu);
  SelectObject(dst.dc, old);
  DeleteObject(b);
}

TEST(GdiBlit, DepthConversionsBetween32And24AndPalette) {
  Canvas s32(2, 1), d24(2, 1, 24, false);
  s32.At(0, 0) = 0xFF112233u;
  s32.At(1, 0) = 0x80445566u;
  BitBlt(d24.dc, 0, 0, 2, 1, s32.dc, 0, 0, SRCCOPY);
  const uint8_t want24[] = {0x33, 0x22, 0x11, 0x66, 0x55, 0x44};
  EXPECT_EQ(std::memcmp(d24.bits, want24, 6), 0) << "drawing on a 24-bit bitmap changes its bytes";
  Canvas back(2, 1);
  back.Fill(0xFFFFFFFFu);
  BitBlt(back.dc, 0, 0, 2, 1, d24.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(back.At(0, 0), 0x00112233u) << "a 24-bit source gives alpha 0";
  std::vector<RGBQUAD> mono = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  Canvas m(8, 1, 1, false, mono);
  s32.At(0, 0) = 0x00FFFFFFu;
  s32.At(1, 0) = 0x00101010u;
  BitBlt(m.dc, 3, 0, 2, 1, s32.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(m.bits[0], 0x10) << "bit 7 is the leftmost pixel";
}

TEST(GdiBlit, StretchDIBitsAndSetDIBitsToDeviceCountBottomUpRowsFromTheBottom) {
  // A 2x3 bottom-up 32-bit DIB: memory row 0 is the bottom picture row.
  uint32_t bits[6] = {0x000001u, 0x000002u, 0x000003u, 0x000004u, 0x000005u, 0x000006u};
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = 2;
  bi.bmiHeader.biHeight = 3;
  bi.bmiHeader.biBitCount = 32;
  Canvas d(2, 3);
  EXPECT_EQ(StretchDIBits(d.dc, 0, 0, 2, 3, 0, 0, 2, 3, bits, &bi, DIB_RGB_COLORS, SRCCOPY), 3);
  EXPECT_EQ(d.At(0, 0), 5u);
  EXPECT_EQ(d.At(1, 2), 2u);
  d.Fill(0);
  // The bottom row only: ySrc 0 counted from the bottom.
  StretchDIBits(d.dc, 0, 0, 2, 1, 0, 0, 2, 1, bits, &bi, DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(d.At(0, 0), 1u);
  d.Fill(0);
  EXPECT_EQ(SetDIBitsToDevice(d.dc, 0, 0, 2, 3, 0, 0, 0, 3, bits, &bi, DIB_RGB_COLORS), 3);
  EXPECT_EQ(d.At(0, 0), 5u);
  EXPECT_EQ(d.At(0, 2), 1u);
  BITMAPINFO bad = bi;
  bad.bmiHeader.biBitCount = 13;
  EXPECT_EQ(StretchDIBits(d.dc, 0, 0, 2, 3, 0, 0, 2, 3, bits, &bad, DIB_RGB_COLORS, SRCCOPY), 0);
  EXPECT_EQ(StretchDIBits(d.dc, 0, 0, 2, 3, 0, 0, 2, 3, nullptr, &bi, DIB_RGB_COLORS, SRCCOPY), 0);
}

TEST(GdiBlit, GetDIBitsConvertsPaletteAndDepthsTo24TopDownOrBottomUp) {
  std::vector<RGBQUAD> pal(16);
  pal[1] = RGBQUAD{0x30, 0x20, 0x10, 0};
  pal[2] = RGBQUAD{0x60, 0x50, 0x40, 0};
  Canvas src(2, 2, 4, true, pal);
  src.bits[0] = 0x12;                // row 0: 1, 2
  src.bits[src.stride] = 0x21;       // row 1: 2, 1
  HDC screen = CreateDC("DISPLAY", nullptr, nullptr, nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  ASSERT_EQ(GetDIBits(screen, src.bm, 0, 0, nullptr, &bi, DIB_RGB_COLORS), 1);
  EXPECT_EQ(bi.bmiHeader.biBitCount, 4);
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biHeight = -2;
  uint8_t out[16] = {};
  ASSERT_EQ(GetDIBits(screen, src.bm, 0, 2, out, &bi, DIB_RGB_COLORS), 2);
  const uint8_t topDown[16] = {0x30, 0x20, 0x10, 0x60, 0x50, 0x40, 0, 0, 0x60, 0x50, 0x40, 0x30, 0x20, 0x10, 0, 0};
  EXPECT_EQ(std::memcmp(out, topDown, 16), 0);
  bi.bmiHeader.biHeight = 2;
  ASSERT_EQ(GetDIBits(screen, src.bm, 0, 1, out, &bi, DIB_RGB_COLORS), 1);
  EXPECT_EQ(out[0], 0x60) << "scan 0 of a bottom-up request is the bottom row";
  EXPECT_EQ(GetDIBits(screen, src.bm, 5, 1, out, &bi, DIB_RGB_COLORS), 0);
  DeleteDC(screen);
}

TEST(GdiPixels, SetPixelWritesAlphaZeroAndOutsideIsInvalid) {
  Canvas c(2, 2);
  c.Fill(0xFFFFFFFFu);
  EXPECT_EQ(SetPixel(c.dc, 1, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(c.At(1, 1), 0x00010203u);
  EXPECT_EQ(GetPixel(c.dc, 1, 1), RGB(1, 2, 3));
  EXPECT_EQ(SetPixel(c.dc, 2, 0, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.dc, -1, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
}

}  // namespace
