// The pixel kernels: both blend formulas, the run kernels, the fast versions against the
// portable ones, the stretch maps, PCX run-length data, the processor and version tests and
// the rectangle functions.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "lib/graphics/kxCpu.h"
#include "lib/graphics/kxBitmap.h"
#include "lib/graphics/kxKernels.h"
#include "lib/graphics/kxUtilsPlatform.h"

namespace {

constexpr TkxColor ARGB(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

struct BlendCase {
  TkxColor F, B, Plain, MMX;
};

// Foreground over background: the plain formula ((F*a + B*(255-a)) >> 8, alpha 255, F or B
// unchanged at the ends) and the old vector unit's ((F*a + B*(256-a)) >> 8 on every channel).
const BlendCase kBlendCases[] = {
    {ARGB(128, 255, 255, 255), ARGB(255, 255, 255, 255), ARGB(255, 254, 254, 254), ARGB(191, 255, 255, 255)},
    {ARGB(128, 255, 255, 255), ARGB(255, 0, 0, 0), ARGB(255, 127, 127, 127), ARGB(191, 127, 127, 127)},
    // Clear and opaque foregrounds: the plain formula returns B or F, the other computes.
    {ARGB(0, 10, 20, 30), ARGB(200, 100, 150, 250), ARGB(200, 100, 150, 250), ARGB(200, 100, 150, 250)},
    {ARGB(255, 10, 20, 30), ARGB(200, 100, 150, 250), ARGB(255, 10, 20, 30), ARGB(254, 10, 20, 30)},
    // a = 1 over a clear background: colour (F + 0) >> 8 and alpha (1 + 0) >> 8.
    {ARGB(1, 255, 255, 255), ARGB(0, 0, 0, 0), ARGB(255, 0, 0, 0), ARGB(0, 0, 0, 0)},
    // Red and blue share one product in the plain formula: no carry may cross.
    {ARGB(64, 255, 0, 255), ARGB(255, 255, 255, 255), ARGB(255, 254, 190, 254), ARGB(207, 255, 191, 255)},
    {ARGB(200, 40, 80, 120), ARGB(100, 200, 160, 20), ARGB(255, 74, 96, 98), ARGB(178, 75, 97, 98)},
};

TEST(kx_kernels, BlendPixelBothFormulas) {
  for (const auto& c : kBlendCases) {
    EXPECT_EQ(kxportable::BlendPixelPlain(c.F, c.B), c.Plain) << std::hex << c.F << " over " << c.B;
    EXPECT_EQ(kxportable::BlendPixelMMX(c.F, c.B), c.MMX) << std::hex << c.F << " over " << c.B;
  }
}

TEST(kx_kernels, BlendLineSkipsClearAndCopiesOpaqueInBothFormulas) {
  for (auto line : {kxportable::BlendLinePlain, kxportable::BlendLineMMX}) {
    std::vector<TkxColor> src = {ARGB(0, 1, 2, 3), ARGB(255, 9, 8, 7), ARGB(128, 255, 255, 255)};
    std::vector<TkxColor> dst = {ARGB(77, 50, 60, 70), ARGB(10, 1, 1, 1), ARGB(255, 255, 255, 255)};
    line(src.data(), dst.data(), 3);
    EXPECT_EQ(dst[0], ARGB(77, 50, 60, 70));
    EXPECT_EQ(dst[1], ARGB(255, 9, 8, 7));
    EXPECT_EQ(dst[2], line == kxportable::BlendLinePlain ? ARGB(255, 254, 254, 254) : ARGB(191, 255, 255, 255));
    line(src.data(), dst.data(), 0);
    line(src.data(), dst.data(), -5);
  }
}

TEST(kx_kernels, RunKernels) {
  // Key pixels (any alpha) leave the target; others are stored opaque.
  std::vector<TkxColor> src = {0xFF7F007F, 0x007F007F, ARGB(0, 127, 0, 128), ARGB(10, 1, 2, 3)};
  std::vector<TkxColor> dst(4, 0x11223344);
  kxportable::KeyCopyLine(src.data(), dst.data(), 4);
  EXPECT_EQ(dst, (std::vector<TkxColor>{0x11223344, 0x11223344, ARGB(255, 127, 0, 128), ARGB(255, 1, 2, 3)}));

  kxportable::FillLine(dst.data(), 3, 0xABCDEF01);
  EXPECT_EQ(dst, (std::vector<TkxColor>{0xABCDEF01, 0xABCDEF01, 0xABCDEF01, ARGB(255, 1, 2, 3)}));
  kxportable::SetAlphaLine(dst.data(), 2, 0x10);
  EXPECT_EQ(dst[0], 0x10CDEF01u);
  EXPECT_EQ(dst[2], 0xABCDEF01u);
  kxportable::ClearColorAlpha(dst.data(), 4, 0xFFCDEF01);
  EXPECT_EQ(dst, (std::vector<TkxColor>{0x00CDEF01, 0x00CDEF01, 0x00CDEF01, ARGB(255, 1, 2, 3)}));

  // Overlapping copies behave as a move.
  std::vector<TkxColor> run = {1, 2, 3, 4, 5};
  kxportable::CopyLine(run.data(), run.data() + 1, 4);
  EXPECT_EQ(run, (std::vector<TkxColor>{1, 1, 2, 3, 4}));

  EXPECT_EQ(ColorToPixel(0x00332211), 0xFF112233u);  // red lowest in, red in bits 16-23 out

  std::vector<TkxColor> bits(6 * 4, 0);
  FillRectPixels(bits.data(), 6, 7, 1, 1, 3, 3);
  SetAlphaRectPixels(bits.data(), 6, 0x80, 2, 2, 4, 4);
  EXPECT_EQ(bits[1 + 6], 7u);
  EXPECT_EQ(bits[2 + 2 * 6], 0x80000007u);
  EXPECT_EQ(bits[3 + 3 * 6], 0x80000000u);
  EXPECT_EQ(bits[3 + 1 * 6], 0u);
  FillRectPixels(bits.data(), 6, 9, 3, 3, 3, 5);  // empty: nothing
  EXPECT_EQ(bits[3 + 3 * 6], 0x80000000u);
}

#if KX_HAVE_SSE2
// Random pixels with the alphas that take every branch (0, 255, between) in long runs and
// alone, and key colours mixed in.
std::vector<TkxColor> RandomPixels(std::mt19937& rng, size_t n) {
  std::vector<TkxColor> v(n);
  std::uniform_int_distribution<uint32_t> any;
  for (size_t i = 0; i < n; ++i) {
    uint32_t x = any(rng);
    switch ((i / 5 + x) % 6) {
      case 0: x &= 0x00FFFFFF; break;
      case 1: x |= 0xFF000000; break;
      case 2: x = (x & 0xFF000000) | kxKeyColor; break;
      default: break;
    }
    v[i] = x;
  }
  return v;
}

TEST(kx_kernels, Sse2KernelsEqualPortableOnRandomRuns) {
  std::mt19937 rng(22);
  for (int count : {0, 1, 3, 5, 7, 13, 33, 101, 257, 1023}) {
    for (int round = 0; round < 4; ++round) {
      auto src = RandomPixels(rng, size_t(count) + 3), dst = RandomPixels(rng, size_t(count) + 3);
      auto check = [&](const char* name, auto fast, auto portable) {
        auto a = dst, b = dst;
        fast(a.data(), count);
        portable(b.data(), count);
        EXPECT_EQ(a, b) << name << " count " << count;
      };
      // Odd offsets too, so that no kernel relies on aligned runs.
      for (int off : {0, 1}) {
        const TkxColor* s = src.data() + off;
        check("BlendLinePlain", [&](TkxColor* t, int n) { kxsse2::BlendLinePlain(s, t + off, n - off); },
              [&](TkxColor* t, int n) { kxportable::BlendLinePlain(s, t + off, n - off); });
        check("BlendLineMMX", [&](TkxColor* t, int n) { kxsse2::BlendLineMMX(s, t + off, n - off); },
              [&](TkxColor* t, int n) { kxportable::BlendLineMMX(s, t + off, n - off); });
#if KX_HAVE_AVX2
        if (HasAVX2()) {
          check("AVX2 BlendLinePlain", [&](TkxColor* t, int n) { kxavx2::BlendLinePlain(s, t + off, n - off); },
                [&](TkxColor* t, int n) { kxportable::BlendLinePlain(s, t + off, n - off); });
          check("AVX2 BlendLineMMX", [&](TkxColor* t, int n) { kxavx2::BlendLineMMX(s, t + off, n - off); },
                [&](TkxColor* t, int n) { kxportable::BlendLineMMX(s, t + off, n - off); });
        }
#endif
        check("KeyCopyLine", [&](TkxColor* t, int n) { kxsse2::KeyCopyLine(s, t + off, n - off); },
              [&](TkxColor* t, int n) { kxportable::KeyCopyLine(s, t + off, n - off); });
        check("FillLine", [&](TkxColor* t, int n) { kxsse2::FillLine(t + off, n - off, src[0]); },
              [&](TkxColor* t, int n) { kxportable::FillLine(t + off, n - off, src[0]); });
        check("SetAlphaLine", [&](TkxColor* t, int n) { kxsse2::SetAlphaLine(t + off, n - off, uint8_t(src[1])); },
              [&](TkxColor* t, int n) { kxportable::SetAlphaLine(t + off, n - off, uint8_t(src[1])); });
        check("ClearColorAlpha", [&](TkxColor* t, int n) { kxsse2::ClearColorAlpha(t + off, n - off, dst[2]); },
              [&](TkxColor* t, int n) { kxportable::ClearColorAlpha(t + off, n - off, dst[2]); });
      }
    }
  }
}

// Every foreground over every background channel value, for both formulas.
TEST(kx_kernels, Sse2BlendEqualsPortableForEveryAlphaAndChannel) {
  std::vector<TkxColor> src, dst;
  for (uint32_t a = 0; a < 256; ++a)
    for (uint32_t c = 0; c < 256; c += 5) {
      src.push_back(ARGB(a, c, 255 - c, c / 2));
      dst.push_back(ARGB(255 - c, 255 - a, a, c));
    }
  for (bool mmx : {false, true}) {
    auto a = dst, b = dst;
    (mmx ? kxsse2::BlendLineMMX : kxsse2::BlendLinePlain)(src.data(), a.data(), int(src.size()));
    (mmx ? kxportable::BlendLineMMX : kxportable::BlendLinePlain)(src.data(), b.data(), int(src.size()));
    EXPECT_EQ(a, b) << (mmx ? "MMX" : "plain");
#if KX_HAVE_AVX2
    if (HasAVX2()) {
      auto c = dst;
      (mmx ? kxavx2::BlendLineMMX : kxavx2::BlendLinePlain)(src.data(), c.data(), int(src.size()));
      EXPECT_EQ(c, b) << "AVX2 " << (mmx ? "MMX" : "plain");
    }
#endif
  }
}
#endif

TEST(kx_kernels, TableIsChosenOnceAndCanBeSetForTests) {
  const TkxPixelKernels& k = PixelKernels();
  EXPECT_EQ(k.MMXFormula, HasMMX());  // on x86-64 the vector unit is always there
  EXPECT_EQ(k.SSE2, HasSSE2());
  EXPECT_EQ(k.AVX2, HasSSE2() && HasAVX2());
  SelectPixelKernels(false, false);
  EXPECT_EQ(BlendPixel(ARGB(128, 255, 255, 255), ARGB(255, 255, 255, 255)), ARGB(255, 254, 254, 254));
  SelectPixelKernels(true, false);
  EXPECT_EQ(BlendPixel(ARGB(128, 255, 255, 255), ARGB(255, 255, 255, 255)), ARGB(191, 255, 255, 255));
  SelectPixelKernels();
  EXPECT_EQ(&PixelKernels(), &k);
}

TEST(kx_kernels, StretchMaps) {
  using R = TkxStretchRounding;
  // 3 source pixels over 5: the bitmap kernels truncate, the DIB kernels round ties to even.
  EXPECT_EQ(StretchMap(0, 5, 0, 3, 5, R::Trunc), (std::vector<int32_t>{0, 0, 1, 1, 2}));
  EXPECT_EQ(StretchMap(0, 5, 0, 3, 5, R::Round), (std::vector<int32_t>{0, 0, 1, 2, 2}));
  // The scale is a single-precision value: 7/10 is stored as 0.69999998, so 10 * it truncates to 6.
  EXPECT_EQ(StretchMap(0, 11, 0, 8, 11, R::Trunc), (std::vector<int32_t>{0, 0, 1, 2, 2, 3, 4, 4, 5, 6, 6}));
  // One destination pixel takes the middle of the source: column 4 of 0..10.
  EXPECT_EQ(StretchMap(0, 1, 0, 10, 1, R::Trunc), (std::vector<int32_t>{4}));
  EXPECT_EQ(StretchMap(0, 1, 3, 6, 1, R::Round), (std::vector<int32_t>{4}));
  // The clip's offset moves into the map, and the source start is added.
  EXPECT_EQ(StretchMap(2, 3, 10, 13, 5, R::Trunc), (std::vector<int32_t>{11, 11, 12}));
  // Shrinking.
  EXPECT_EQ(StretchMap(0, 3, 0, 9, 3, R::Trunc), (std::vector<int32_t>{0, 4, 8}));
}

TEST(kx_kernels, PcxRunLengthDecoding) {
  struct Case {
    std::vector<uint8_t> src;
    size_t target;
    std::vector<uint8_t> out;
  };
  const Case cases[] = {
      {{0xC3, 0x07}, 3, {7, 7, 7}},
      {{0xC3, 0x07, 0x05}, 4, {7, 7, 7, 5}},
      {{0xC5, 0x09}, 3, {9, 9, 9}},            // a run past the end is cut
      {{0x01, 0xC2, 0xC8, 0x02}, 4, {1, 0xC8, 0xC8, 2}},
      {{0x01, 0xC4}, 3, {1, 0, 0}},            // data ends inside a run: the rest stays
      {{0xC0, 0x05, 0x06}, 2, {6, 0}},         // a run of 0
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> out(c.target, 0);
    DecodePcxRle(c.src.data(), c.src.size(), out.data(), out.size());
    EXPECT_EQ(out, c.out);
  }
}

TEST(kx_kernels, PcxRunLengthEncodingRoundTrips) {
  std::mt19937 rng(7);
  for (size_t n : {0u, 1u, 2u, 63u, 64u, 200u, 1000u}) {
    std::vector<uint8_t> data(n);
    for (size_t i = 0; i < n; ++i) data[i] = uint8_t(i % 50 < 30 ? 0xC1 : rng() % 256);
    auto enc = EncodePcxRle(data.data(), data.size());
    std::vector<uint8_t> back(n, 0x55);
    EXPECT_EQ(DecodePcxRle(enc.data(), enc.size(), back.data(), back.size()), n);
    EXPECT_EQ(back, data);
  }
  const uint8_t lit[] = {0x05, 0xC9, 0x07, 0x07};
  EXPECT_EQ(EncodePcxRle(lit, 4), (std::vector<uint8_t>{0x05, 0xC1, 0xC9, 0xC2, 0x07}));
}

TEST(kx_kernels, ProcessorAndVersionTests) {
  EXPECT_TRUE(HasMMX(true, 0x500, 1u << 23));
  EXPECT_FALSE(HasMMX(true, 0x400, 0xFFFFFFFF));  // family 4 has none, whatever the bits say
  EXPECT_FALSE(HasMMX(false, 0x600, 1u << 23));
  EXPECT_FALSE(HasMMX(true, 0x600, 0));
#if defined(__x86_64__)
  EXPECT_TRUE(HasCpuid());
  EXPECT_TRUE(HasMMX());
#endif
  struct V {
    int ma, mi;
    bool w2k, xp, vista;
  };
  for (V v : {V{5, 1, true, true, false}, V{5, 2, true, false, false}, V{6, 0, true, true, true},
              V{4, 10, false, false, false}, V{5, 0, true, false, false}}) {
    EXPECT_EQ(IsWin2000OrLater(v.ma, v.mi), v.w2k) << v.ma << "." << v.mi;
    EXPECT_EQ(IsWinXPOrLater(v.ma, v.mi), v.xp) << v.ma << "." << v.mi;
    EXPECT_EQ(IsVistaOrLater(v.ma, v.mi), v.vista) << v.ma << "." << v.mi;
  }
  int32_t ma = 0, mi = 0;
  GetWindowsVersion(ma, mi);
  EXPECT_EQ(ma, 6);
  EXPECT_EQ(mi, 1);
  EXPECT_TRUE(IsWin2000OrLater() && IsWinXPOrLater() && IsVistaOrLater());
}

TEST(kx_kernels, RectangleFunctions) {
  TRect r{10, 0, 5, 0};
  EXPECT_EQ(RectWidth(r), -5);
  EXPECT_TRUE(IsEmptyRect(r));
  EXPECT_FALSE(IsEmptyRect(TRect{0, 0, 1, 1}));
  NullRect(r);
  EXPECT_TRUE(IsEqualRects(r, TRect{0, 0, 0, 0}));
  EXPECT_TRUE(IsPointInsideRect(TRect{0, 0, 10, 10}, TPoint{10, 10}));
  EXPECT_FALSE(IsPointInsideRect(TRect{0, 0, 10, 10}, TPoint{11, 10}));
  EXPECT_FALSE(RectInRect(TRect{0, 0, 10, 10}, TRect{0, 0, 10, 10}));
  EXPECT_TRUE(RectInRect(TRect{1, 1, 9, 9}, TRect{0, 0, 10, 10}));
  EXPECT_TRUE(HasZeroCoordinate(TPoint{0, 5}));
  EXPECT_FALSE(HasZeroCoordinate(TPoint{3, 5}));
  EXPECT_TRUE(IsItemRectVisible(TRect{0, 5, 10, 20}, TRect{0, 0, 10, 10}));
  EXPECT_FALSE(IsItemRectVisible(TRect{0, 15, 10, 20}, TRect{0, 0, 10, 10}));
}

TEST(kx_kernels, PlatformHelpers) {
  InitializeUtilsUnit();
  EXPECT_TRUE(HasTransparentBlt());
  // The effects unit chose its keyed path before the keyed blit was bound, so it never uses it.
  EXPECT_EQ(DrawPaths().Keyed, &DeviceDrawKeyed);
  SelectDrawPaths();
  EXPECT_EQ(DrawPaths().Keyed, &DeviceDrawKeyedBlt);
  FinalizeUtilsUnit();
  SelectDrawPaths();
  EXPECT_EQ(DrawPaths().Keyed, &DeviceDrawKeyed);
  InitializeUtilsUnit();
  EXPECT_TRUE(PlatformFacts().IsWinNTPlatform);
  SCROLLBARINFO info;
  EXPECT_EQ(GetScrollBarInfoSafe(nullptr, 0, info), 0);
  EXPECT_EQ(info.rgstate[0], STATE_SYSTEM_INVISIBLE);
  // One monitor: the monitor's area is the screen's, for either flag and any window.
  ASSERT_FALSE(HasMultipleMonitors());
  for (bool work : {false, true}) {
    TRect a{1, 2, 3, 4}, b{5, 6, 7, 8};
    GetScreenWorkArea(work, a);
    GetMonitorWorkArea(nullptr, work, b);
    EXPECT_TRUE(IsEqualRects(a, b));
    EXPECT_GT(RectWidth(a), 0);
  }
  FinalizeUtilsUnit();
  EXPECT_FALSE(HasTransparentBlt());
}

// Two threads ask for the probed facts first; then the start-up call comes late, twice. Exits
// 0 when every answer is the probed one, else 1 naming the answers that differ.
[[noreturn]] void AskFirstFromTwoThreads() {
  TkxPlatformFacts seen[2];
  bool mmx[2] = {}, sse2[2] = {}, blt[2] = {};
  auto ask = [&](int i) {
    seen[i] = PlatformFacts();
    mmx[i] = HasMMX();
    sse2[i] = HasSSE2();
    blt[i] = HasTransparentBlt();
  };
  std::thread a(ask, 0), b(ask, 1);
  a.join();
  b.join();
  const bool probedMMX = HasMMX(HasCpuid(), GetCpuSignature(), GetCpuFeatures());
  std::string wrong;
  for (int i = 0; i < 2; ++i) {
    const TkxPlatformFacts& f = seen[i];
    if (f.MMXAvailable != probedMMX || mmx[i] != probedMMX) wrong += " mmx";
    if (sse2[i] != ((GetCpuFeatures() & (1u << 26)) != 0)) wrong += " sse2";
    if (!blt[i] || !f.TransparentBltAvailable || f.TransparentBltEntry != &win::TransparentBlt) wrong += " blt";
    if (f.UpdateLayeredWindowEntry != &win::UpdateLayeredWindow ||
        f.SetLayeredWindowAttributesEntry != &win::SetLayeredWindowAttributes)
      wrong += " layered";
    if (f.MonitorFromWindowEntry != &win::MonitorFromWindow || f.GetMonitorInfoEntry != &win::GetMonitorInfo)
      wrong += " monitors";
    if (f.GetScrollBarInfoEntry || !f.IsWinNTPlatform) wrong += " platform";
  }
  // The draw paths' first choice is still the start-up's, without the keyed blit.
  if (DrawPaths().Keyed != &DeviceDrawKeyed) wrong += " keyed-path";
  InitializeUtilsUnit();
  InitializeUtilsUnit();
  if (!HasTransparentBlt() || PlatformFacts().MMXAvailable != probedMMX) wrong += " after-start-up";
  std::fprintf(stderr, "wrong:%s\n", wrong.c_str());
  std::fflush(stderr);
  std::_Exit(wrong.empty() ? 0 : 1);
}

// Nothing in the program calls the start-up: the first use of a probed fact probes, once, from
// whichever thread comes first. Checked in a process of its own, since the other tests here
// call the start-up.
TEST(kx_kernels, ProbedFactsNeedNoStartUpAndTwoThreadsMayAskFirst) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(AskFirstFromTwoThreads(), ::testing::ExitedWithCode(0), "wrong:");
}

}  // namespace
