// The bitmap engine's kernel table (the kernels themselves, their paths and the processor tests
// are the graphics layer's: tests/platform/PixelKernelsTest.cpp), the stretch maps, PCX
// run-length data, the version tests and the rectangle functions.
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

TEST(kx_kernels, ColourAndRectangleKernels) {
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

TEST(kx_kernels, TableIsChosenOnceAndCanBeSetForTests) {
  const TkxPixelKernels& k = PixelKernels();
  EXPECT_EQ(k.MMXFormula, HasMMX());  // on x86-64 the vector unit is always there
  EXPECT_EQ(k.SSE2, HasSSE2());
  EXPECT_EQ(k.AVX2, HasSSE2() && HasAVX2());
  // The kernels are the graphics layer's, on the path it chose, with the formula picked here.
  const win::gdi::PixelKernelTable& layer = win::gdi::PixelKernels();
  EXPECT_EQ(k.BlendLine, k.MMXFormula ? layer.BlendLineMMX : layer.BlendLinePlain);
  EXPECT_EQ(k.KeyCopyLine, layer.KeyCopyLine);
  EXPECT_EQ(k.GatherLine, layer.GatherLine);
  SelectPixelKernels(true, true, false);
  EXPECT_EQ(PixelKernels().BlendLine, win::gdi::KernelsFor(win::gdi::KernelPath::SSE2).BlendLineMMX);
  SelectPixelKernels(false, false);
  EXPECT_EQ(PixelKernels().BlendLine, win::gdi::portable::BlendLinePlain);
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

TEST(kx_kernels, VersionTests) {
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
