// The pixel kernels: the rules of the portable versions (both skin-engine blend formulas, the run
// kernels), every fast path against the portable one on random runs of odd lengths and offsets,
// the column maps of the gather, the choice of path and the processor tests.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/Gdi.h"
#include "platform/gdi/Blend.h"
#include "platform/gdi/PixelKernels.h"

using namespace win::gdi;

namespace {

constexpr uint32_t ARGB(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

struct BlendCase {
  uint32_t F, B, Plain, MMX;
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

TEST(PixelKernels, BlendPixelBothFormulas) {
  for (const auto& c : kBlendCases) {
    EXPECT_EQ(portable::BlendPixelPlain(c.F, c.B), c.Plain) << std::hex << c.F << " over " << c.B;
    EXPECT_EQ(portable::BlendPixelMMX(c.F, c.B), c.MMX) << std::hex << c.F << " over " << c.B;
  }
}

TEST(PixelKernels, BlendLineSkipsClearAndCopiesOpaqueInBothFormulas) {
  for (auto line : {portable::BlendLinePlain, portable::BlendLineMMX}) {
    std::vector<uint32_t> src = {ARGB(0, 1, 2, 3), ARGB(255, 9, 8, 7), ARGB(128, 255, 255, 255)};
    std::vector<uint32_t> dst = {ARGB(77, 50, 60, 70), ARGB(10, 1, 1, 1), ARGB(255, 255, 255, 255)};
    line(src.data(), dst.data(), 3);
    EXPECT_EQ(dst[0], ARGB(77, 50, 60, 70));
    EXPECT_EQ(dst[1], ARGB(255, 9, 8, 7));
    EXPECT_EQ(dst[2], line == portable::BlendLinePlain ? ARGB(255, 254, 254, 254) : ARGB(191, 255, 255, 255));
    line(src.data(), dst.data(), 0);
    line(src.data(), dst.data(), -5);
  }
}

TEST(PixelKernels, RunKernels) {
  // Key pixels (any alpha) leave the target; others are stored opaque.
  std::vector<uint32_t> src = {0xFF7F007F, 0x007F007F, ARGB(0, 127, 0, 128), ARGB(10, 1, 2, 3)};
  std::vector<uint32_t> dst(4, 0x11223344);
  portable::KeyCopyLine(src.data(), dst.data(), 4);
  EXPECT_EQ(dst, (std::vector<uint32_t>{0x11223344, 0x11223344, ARGB(255, 127, 0, 128), ARGB(255, 1, 2, 3)}));

  portable::FillLine(dst.data(), 3, 0xABCDEF01);
  EXPECT_EQ(dst, (std::vector<uint32_t>{0xABCDEF01, 0xABCDEF01, 0xABCDEF01, ARGB(255, 1, 2, 3)}));
  portable::SetAlphaLine(dst.data(), 2, 0x10);
  EXPECT_EQ(dst[0], 0x10CDEF01u);
  EXPECT_EQ(dst[2], 0xABCDEF01u);
  portable::ClearColorAlpha(dst.data(), 4, 0xFFCDEF01);
  EXPECT_EQ(dst, (std::vector<uint32_t>{0x00CDEF01, 0x00CDEF01, 0x00CDEF01, ARGB(255, 1, 2, 3)}));

  // Overlapping copies behave as a move.
  std::vector<uint32_t> run = {1, 2, 3, 4, 5};
  portable::CopyLine(run.data(), run.data() + 1, 4);
  EXPECT_EQ(run, (std::vector<uint32_t>{1, 1, 2, 3, 4}));

  // The gather takes each target pixel's column, in any order and with repeats.
  const int32_t cols[] = {2, 2, 0, 4, 1};
  ColumnMap map;
  map.Assign(cols, 5, 5);
  std::vector<uint32_t> row = {10, 11, 12, 13, 14}, out(5);
  portable::GatherLine(row.data(), map.View(), out.data());
  EXPECT_EQ(out, (std::vector<uint32_t>{12, 12, 10, 14, 11}));
}

// The fast paths this processor runs (SSE2, and AVX2 when it has it), each beside the portable
// table it must equal.
std::vector<const PixelKernelTable*> FastPaths() {
  std::vector<const PixelKernelTable*> paths;
  for (KernelPath p : {KernelPath::SSE2, KernelPath::AVX2})
    if (KernelsFor(p).Path == p) paths.push_back(&KernelsFor(p));
  return paths;
}

const char* Name(KernelPath p) { return p == KernelPath::AVX2 ? "AVX2" : p == KernelPath::SSE2 ? "SSE2" : "portable"; }

// Random pixels with the alphas that take every branch (0, 255, between) in long runs and
// alone, all-zero pixels, premultiplied ones, and key colours mixed in.
std::vector<uint32_t> RandomPixels(std::mt19937& rng, size_t n) {
  std::vector<uint32_t> v(n);
  std::uniform_int_distribution<uint32_t> any;
  for (size_t i = 0; i < n; ++i) {
    uint32_t x = any(rng);
    switch ((i / 9 + x) % 8) {
      case 0: x &= 0x00FFFFFF; break;
      case 1: x |= 0xFF000000; break;
      case 2: x = (x & 0xFF000000) | 0x7F007F; break;
      case 3: x = 0; break;
      case 4: {  // premultiplied
        uint32_t a = x >> 24;
        x = (a << 24) | (Mul255((x >> 16) & 0xFF, a) << 16) | (Mul255((x >> 8) & 0xFF, a) << 8) | Mul255(x & 0xFF, a);
        break;
      }
      default: break;
    }
    v[i] = x;
  }
  return v;
}

TEST(PixelKernels, FastPathsEqualPortableOnRandomRuns) {
  const PixelKernelTable& ref = KernelsFor(KernelPath::Portable);
  ASSERT_EQ(ref.Path, KernelPath::Portable);
  std::mt19937 rng(22);
  for (const PixelKernelTable* fast : FastPaths()) {
    const std::string path = Name(fast->Path);
    for (int count : {0, 1, 3, 5, 7, 9, 13, 15, 17, 33, 101, 257, 1023}) {
      for (int round = 0; round < 3; ++round) {
        const auto src = RandomPixels(rng, size_t(count) + 3), dst = RandomPixels(rng, size_t(count) + 3);
        auto check = [&](const char* name, auto run) {
          auto a = dst, b = dst;
          run(*fast, a.data());
          run(ref, b.data());
          EXPECT_EQ(a, b) << path << " " << name << " count " << count;
        };
        // Odd offsets too, so that no kernel relies on aligned runs.
        for (int off : {0, 1, 3}) {
          const uint32_t* s = src.data() + off;
          const int n = count - off;
          check("BlendLinePlain", [&](const PixelKernelTable& k, uint32_t* t) { k.BlendLinePlain(s, t + off, n); });
          check("BlendLineMMX", [&](const PixelKernelTable& k, uint32_t* t) { k.BlendLineMMX(s, t + off, n); });
          for (uint8_t ca : {uint8_t(255), uint8_t(254), uint8_t(128), uint8_t(1), uint8_t(0)})
            check("BlendLinePremultiplied",
                  [&](const PixelKernelTable& k, uint32_t* t) { k.BlendLinePremultiplied(s, t + off, n, ca); });
          check("KeyCopyLine", [&](const PixelKernelTable& k, uint32_t* t) { k.KeyCopyLine(s, t + off, n); });
          check("CopyLine", [&](const PixelKernelTable& k, uint32_t* t) { k.CopyLine(s, t + off, n); });
          check("FillLine", [&](const PixelKernelTable& k, uint32_t* t) { k.FillLine(t + off, n, src[0]); });
          check("SetAlphaLine",
                [&](const PixelKernelTable& k, uint32_t* t) { k.SetAlphaLine(t + off, n, uint8_t(src[1])); });
          check("ClearColorAlpha",
                [&](const PixelKernelTable& k, uint32_t* t) { k.ClearColorAlpha(t + off, n, dst[2]); });
        }
      }
    }
  }
}

// Every foreground over every background channel value, for the three blend rules.
TEST(PixelKernels, FastBlendsEqualPortableForEveryAlphaAndChannel) {
  const PixelKernelTable& ref = KernelsFor(KernelPath::Portable);
  std::vector<uint32_t> src, dst;
  for (uint32_t a = 0; a < 256; ++a)
    for (uint32_t c = 0; c < 256; c += 5) {
      src.push_back(ARGB(a, c, 255 - c, c / 2));
      dst.push_back(ARGB(255 - c, 255 - a, a, c));
    }
  const int n = int(src.size());
  for (const PixelKernelTable* fast : FastPaths()) {
    const std::string path = Name(fast->Path);
    for (bool mmx : {false, true}) {
      auto a = dst, b = dst;
      (mmx ? fast->BlendLineMMX : fast->BlendLinePlain)(src.data(), a.data(), n);
      (mmx ? ref.BlendLineMMX : ref.BlendLinePlain)(src.data(), b.data(), n);
      EXPECT_EQ(a, b) << path << (mmx ? " MMX" : " plain");
    }
    for (uint8_t ca : {uint8_t(255), uint8_t(200), uint8_t(128), uint8_t(3)}) {
      auto a = dst, b = dst;
      fast->BlendLinePremultiplied(src.data(), a.data(), n, ca);
      ref.BlendLinePremultiplied(src.data(), b.data(), n, ca);
      EXPECT_EQ(a, b) << path << " premultiplied, constant alpha " << int(ca);
    }
  }
}

// The portable premultiplied run is AlphaBlend's per-pixel rule.
TEST(PixelKernels, PremultipliedRunIsTheAlphaBlendRule) {
  std::mt19937 rng(3);
  const auto src = RandomPixels(rng, 301), dst = RandomPixels(rng, 301);
  for (uint8_t ca : {uint8_t(255), uint8_t(90)}) {
    auto got = dst;
    portable::BlendLinePremultiplied(src.data(), got.data(), int32_t(src.size()), ca);
    const win::BLENDFUNCTION bf{win::AC_SRC_OVER, 0, ca, win::AC_SRC_ALPHA};
    for (size_t i = 0; i < src.size(); ++i)
      ASSERT_EQ(got[i], BlendPixel(src[i], dst[i], bf, true)) << i << " ca " << int(ca);
  }
}

// Column maps as the stretches make them (enlarged, shrunk, mirrored, starting anywhere in the
// row, up to its last column), and arbitrary ones; the source row is exactly its width long, so
// the sanitizer catches a group that reads past it.
TEST(PixelKernels, FastGatherEqualsPortableOnRandomMaps) {
  const PixelKernelTable& ref = KernelsFor(KernelPath::Portable);
  std::mt19937 rng(41);
  struct Stretch {
    int srcW, dstW, start;
    bool mirror;
  };
  const Stretch stretches[] = {
      {1280, 1920, 0, false}, {7, 23, 0, false}, {23, 7, 0, false},   {9, 9, 0, false},   {13, 40, 5, true},
      {40, 13, 3, true},      {31, 31, 2, true}, {100, 101, 0, false}, {101, 64, 9, false}, {3, 17, 1, false},
      {1, 9, 0, false},       {17, 200, 16, true},
  };
  for (const Stretch& st : stretches) {
    const int32_t srcW = st.srcW + st.start + int32_t(rng() % 3);  // the row runs on past the stretch, or not
    std::vector<uint32_t> row(static_cast<size_t>(srcW));
    for (auto& p : row) p = uint32_t(rng());
    for (int first : {0, 1, 5}) {  // a clip that starts inside the destination
      std::vector<int32_t> cols;
      for (int i = first; i < st.dstW; ++i) {
        int k = int(int64_t(i) * st.srcW / st.dstW);
        cols.push_back(st.mirror ? st.start + st.srcW - 1 - k : st.start + k);
      }
      ColumnMap map;
      map.Assign(cols.data(), int32_t(cols.size()), srcW);
      std::vector<uint32_t> want(cols.size() + 2, 0xDEADBEEF);
      ref.GatherLine(row.data(), map.View(), want.data() + 1);
      for (size_t i = 0; i < cols.size(); ++i) ASSERT_EQ(want[i + 1], row[size_t(cols[i])]);
      for (const PixelKernelTable* fast : FastPaths()) {
        std::vector<uint32_t> got(cols.size() + 2, 0xDEADBEEF);
        fast->GatherLine(row.data(), map.View(), got.data() + 1);
        EXPECT_EQ(got, want) << Name(fast->Path) << " " << st.srcW << " onto " << st.dstW << " from " << first;
      }
    }
  }
  // Arbitrary columns: groups that spread wider than eight go one by one.
  for (int n : {8, 15, 16, 61}) {
    std::vector<uint32_t> row(37);
    for (auto& p : row) p = uint32_t(rng());
    std::vector<int32_t> cols(static_cast<size_t>(n));
    for (auto& c : cols) c = int32_t(rng() % row.size());
    ColumnMap map;
    map.Assign(cols.data(), n, int32_t(row.size()));
    std::vector<uint32_t> want(static_cast<size_t>(n));
    ref.GatherLine(row.data(), map.View(), want.data());
    for (const PixelKernelTable* fast : FastPaths()) {
      std::vector<uint32_t> got(static_cast<size_t>(n));
      fast->GatherLine(row.data(), map.View(), got.data());
      EXPECT_EQ(got, want) << Name(fast->Path) << " arbitrary " << n;
    }
  }
}

TEST(PixelKernels, PathIsTheBestTheProcessorRuns) {
  const KernelPath best = BestKernelPath();
  EXPECT_EQ(PixelKernels().Path, best);
  EXPECT_EQ(&PixelKernels(), &KernelsFor(best));
  EXPECT_EQ(best == KernelPath::AVX2, HasSSE2() && HasAVX2());
  EXPECT_EQ(best != KernelPath::Portable, HasSSE2());
  // A path the processor lacks gives the best one it has.
  EXPECT_LE(KernelsFor(KernelPath::AVX2).Path, best);
  EXPECT_EQ(KernelsFor(KernelPath::Portable).Path, KernelPath::Portable);
}

TEST(PixelKernels, ProcessorTests) {
  EXPECT_TRUE(HasMMX(true, 0x500, 1u << 23));
  EXPECT_FALSE(HasMMX(true, 0x400, 0xFFFFFFFF));  // family 4 has none, whatever the bits say
  EXPECT_FALSE(HasMMX(false, 0x600, 1u << 23));
  EXPECT_FALSE(HasMMX(true, 0x600, 0));
#if defined(__x86_64__)
  EXPECT_TRUE(HasCpuid());
  EXPECT_TRUE(HasMMX());
  EXPECT_TRUE(HasSSE2());  // part of every x86-64 processor
#endif
}

}  // namespace
