// The unstretched 32-bit AlphaBlend path against the per-pixel reference rule.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/Gdi.h"
#include "platform/gdi/Blend.h"
#include "tests/platform/GdiTestUtil.h"

using namespace win;
using gditest::Canvas;

namespace {

constexpr uint8_t kConstantAlphas[] = {255, 254, 200, 128, 77, 1, 0};

// Pixels that cover the cases the kernel treats apart: alpha 0 and 255, all-zero pixels, runs of
// opaque pixels (so whole groups of four are), colour bytes above alpha (not premultiplied; the
// sum saturates), and plain random bytes.
std::vector<uint32_t> Pixels(std::mt19937& rng, size_t n) {
  std::vector<uint32_t> v(n);
  for (size_t i = 0; i < n; ++i) {
    uint32_t r = rng();
    switch (rng() % 6) {
      case 0: v[i] = r | 0xFF000000u; break;
      case 1: v[i] = r & 0x00FFFFFFu; break;
      case 2: v[i] = 0; break;
      case 3: {  // premultiplied
        uint32_t a = r >> 24;
        v[i] = (a << 24) | (gdi::Mul255((r >> 16) & 0xFF, a) << 16) | (gdi::Mul255((r >> 8) & 0xFF, a) << 8) |
               gdi::Mul255(r & 0xFF, a);
        break;
      }
      default: v[i] = r; break;
    }
  }
  for (size_t i = 0; i + 8 <= n && i < 8; ++i) v[i] = 0xFF000000u | (rng() & 0xFFFFFF);  // an opaque run
  return v;
}

TEST(GdiBlend, RowKernelMatchesTheReferenceBitForBit) {
  std::mt19937 rng(12345);
  for (uint8_t ca : kConstantAlphas) {
    BLENDFUNCTION bf{AC_SRC_OVER, 0, ca, AC_SRC_ALPHA};
    // Every length up to a few groups of four, at every start within a group, then a long row.
    for (size_t n : {size_t(0), size_t(1), size_t(2), size_t(3), size_t(4), size_t(5), size_t(7), size_t(8),
                     size_t(9), size_t(13), size_t(1000)}) {
      for (size_t off = 0; off < 4; ++off) {
        std::vector<uint32_t> src = Pixels(rng, n + off), dst = Pixels(rng, n + off);
        std::vector<uint32_t> want = dst;
        for (size_t i = off; i < n + off; ++i) want[i] = gdi::BlendPixel(src[i], dst[i], bf, true);
        gdi::BlendRowSrcAlpha(dst.data() + off, src.data() + off, n, ca);
        for (size_t i = 0; i < n + off; ++i)
          ASSERT_EQ(dst[i], want[i]) << std::hex << "src " << src[i] << " ca " << std::dec << int(ca) << " n " << n
                                     << " at " << i;
      }
    }
  }
}

TEST(GdiBlend, EveryAlphaAndChannelPairMatchesTheReference) {
  // Exhaustive over source alpha x source channel x destination channel for a few constant
  // alphas: the kernel's rounding and saturation are those of the reference everywhere.
  for (uint8_t ca : {uint8_t(255), uint8_t(128), uint8_t(3)}) {
    BLENDFUNCTION bf{AC_SRC_OVER, 0, ca, AC_SRC_ALPHA};
    std::vector<uint32_t> src, dst;
    for (uint32_t a = 0; a < 256; a += 5)
      for (uint32_t c = 0; c < 256; c += 3)
        for (uint32_t d = 0; d < 256; d += 17) {
          src.push_back((a << 24) | (c << 16) | ((255 - c) << 8) | (c & a));
          dst.push_back((d << 24) | ((255 - d) << 16) | (d << 8) | (d ^ 0x5A));
        }
    std::vector<uint32_t> want(dst.size());
    for (size_t i = 0; i < dst.size(); ++i) want[i] = gdi::BlendPixel(src[i], dst[i], bf, true);
    gdi::BlendRowSrcAlpha(dst.data(), src.data(), dst.size(), ca);
    for (size_t i = 0; i < dst.size(); ++i) ASSERT_EQ(dst[i], want[i]) << std::hex << src[i] << " ca " << int(ca);
  }
}

TEST(GdiBlend, AlphaBlendThroughClipsAndOffsetsMatchesTheReference) {
  struct Case { int x, y, w, h, sx, sy; RECT clip; BYTE fmt; };
  const Case cases[] = {
      {0, 0, 37, 23, 0, 0, {0, 0, 0, 0}, AC_SRC_ALPHA},         // whole surfaces, no clip
      {3, 2, 30, 19, 5, 1, {0, 0, 0, 0}, AC_SRC_ALPHA},         // offsets
      {-4, -3, 37, 23, 0, 0, {0, 0, 0, 0}, AC_SRC_ALPHA},       // runs off the destination
      {0, 0, 37, 23, 0, 0, {5, 4, 22, 17}, AC_SRC_ALPHA},       // a rectangle clip
      {1, 1, 33, 20, 2, 2, {3, 0, 9, 40}, AC_SRC_ALPHA},
      {0, 0, 37, 23, 0, 0, {5, 4, 22, 17}, 0},                  // constant alpha only: generic path
  };
  std::mt19937 rng(777);
  for (const Case& k : cases) {
    for (uint8_t ca : kConstantAlphas) {
      Canvas src(40, 25), dst(37, 23);
      std::vector<uint32_t> sp = Pixels(rng, 40 * 25), dp = Pixels(rng, 37 * 23);
      for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 40; ++x) src.At(x, y) = sp[size_t(y) * 40 + x];
      for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) dst.At(x, y) = dp[size_t(y) * 37 + x];
      bool clipped = k.clip.right > k.clip.left;
      if (clipped) IntersectClipRect(dst.dc, k.clip.left, k.clip.top, k.clip.right, k.clip.bottom);
      BLENDFUNCTION bf{AC_SRC_OVER, 0, ca, k.fmt};
      ASSERT_TRUE(AlphaBlend(dst.dc, k.x, k.y, k.w, k.h, src.dc, k.sx, k.sy, k.w, k.h, bf));
      for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) {
          uint32_t before = dp[size_t(y) * 37 + x], want = before;
          bool in = x >= k.x && x < k.x + k.w && y >= k.y && y < k.y + k.h;
          if (clipped) in = in && x >= k.clip.left && x < k.clip.right && y >= k.clip.top && y < k.clip.bottom;
          if (in) want = gdi::BlendPixel(sp[size_t(k.sy + y - k.y) * 40 + (k.sx + x - k.x)], before, bf, true);
          ASSERT_EQ(dst.At(x, y), want) << "case " << (&k - cases) << " ca " << int(ca) << " at " << x << "," << y;
        }
    }
  }
}

TEST(GdiBlend, BlendOntoItsOwnSurfaceReadsTheOriginalPixels) {
  Canvas c(8, 1);
  for (int x = 0; x < 8; ++x) c.At(x, 0) = 0x80000000u | uint32_t(x * 0x10);
  std::vector<uint32_t> orig(8);
  for (int x = 0; x < 8; ++x) orig[size_t(x)] = c.At(x, 0);
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ASSERT_TRUE(AlphaBlend(c.dc, 1, 0, 7, 1, c.dc, 0, 0, 7, 1, bf));
  EXPECT_EQ(c.At(0, 0), orig[0]);
  for (int x = 1; x < 8; ++x) EXPECT_EQ(c.At(x, 0), gdi::BlendPixel(orig[size_t(x - 1)], orig[size_t(x)], bf, true)) << x;
}

}  // namespace
