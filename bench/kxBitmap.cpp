// The skin engine's hot kernels on 1920x1080 and 64x64 32-bit bitmaps: the opaque copy, the
// alpha draw, stretching, tiling and filling. Besides the time, each reports "of_memcpy": its
// speed in destination bytes per second as a fraction of memcpy's on the same bytes, measured
// in the same run (the aims: alpha draw 0.25 or better, copy 0.5 or better).
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "lib/graphics/kxBitmap.h"

namespace {

// memcpy's bytes per second (thread CPU time) for blocks of this size: what BM_Memcpy measured
// for it, or a measurement of its own when BM_Memcpy was filtered out.
std::map<size_t, double>& MemcpyRates() {
  static std::map<size_t, double> rates;
  return rates;
}

double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double MemcpyRate(size_t bytes) {
  auto it = MemcpyRates().find(bytes);
  if (it != MemcpyRates().end()) return it->second;
  std::vector<uint8_t> a(bytes, 1), b(bytes);
  size_t done = 0;
  double start = ThreadSeconds(), secs = 0;
  while (secs < 0.3) {
    for (int i = 0; i < 8; ++i) {
      std::memcpy(b.data(), a.data(), bytes);
      benchmark::DoNotOptimize(b.data());
      benchmark::ClobberMemory();
      done += bytes;
    }
    secs = ThreadSeconds() - start;
  }
  return MemcpyRates()[bytes] = double(done) / secs;
}

void Report(benchmark::State& state, int64_t w, int64_t h) {
  const double bytes = double(w * h * 4);
  state.SetBytesProcessed(int64_t(bytes) * int64_t(state.iterations()));
  state.counters["of_memcpy"] =
      benchmark::Counter(bytes * double(state.iterations()) / MemcpyRate(size_t(bytes)), benchmark::Counter::kIsRate);
}

// Pixels of a skin overlay: every alpha from clear to opaque, so the alpha draw does its full
// arithmetic on most pixels.
std::unique_ptr<TkxBitmap> Picture(int w, int h, bool semi) {
  auto b = std::make_unique<TkxBitmap>();
  b->SetSize(w, h);
  std::mt19937 rng(5);
  for (int i = 0; i < w * h; ++i) {
    uint32_t v = uint32_t(rng());
    b->Bits()[i] = semi ? (v & 0x00FFFFFF) | (uint32_t(1 + v % 254) << 24) : v | 0xFF000000;
  }
  return b;
}

void BM_Memcpy(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  std::vector<uint32_t> a(size_t(w) * h, 1), b(size_t(w) * h);
  double start = ThreadSeconds();
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size() * 4);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  double secs = ThreadSeconds() - start;
  if (secs > 0) MemcpyRates()[a.size() * 4] = double(a.size() * 4) * double(state.iterations()) / secs;
  Report(state, w, h);
}

void BM_CopyDraw(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  auto src = Picture(w, h, false), dst = Picture(w, h, false);
  for (auto _ : state) {
    src->Draw(dst.get(), 0, 0);
    benchmark::ClobberMemory();
  }
  Report(state, w, h);
}

// range(2): 0 the table chosen at start-up, 1 the portable kernels, 2 SSE2 without AVX2,
// 3 the plain formula on the fast path.
void SelectFor(benchmark::State& state) {
  switch (state.range(2)) {
    case 1: SelectPixelKernels(true, false); break;
    case 2: SelectPixelKernels(true, true, false); break;
    case 3: SelectPixelKernels(false, true); break;
    default: SelectPixelKernels(); break;
  }
}

void BM_AlphaDraw(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  SelectFor(state);
  auto src = Picture(w, h, true), dst = Picture(w, h, false);
  src->AlphaBlend = true;
  for (auto _ : state) {
    src->Draw(dst.get(), 0, 0);
    benchmark::ClobberMemory();
  }
  SelectPixelKernels();
  Report(state, w, h);
}

void BM_KeyedDraw(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  auto src = Picture(w, h, false), dst = Picture(w, h, false);
  for (int i = 0; i < w * h; i += 3) src->Bits()[i] = 0xFF7F007F;
  src->Transparent = true;
  for (auto _ : state) {
    src->Draw(dst.get(), 0, 0);
    benchmark::ClobberMemory();
  }
  Report(state, w, h);
}

// The source is two thirds of the destination in each direction, as a skin edge stretched.
void BM_StretchOpaque(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  auto src = Picture(w * 2 / 3, h * 2 / 3, false), dst = Picture(w, h, false);
  for (auto _ : state) {
    src->Draw(dst.get(), Rect(0, 0, w, h));
    benchmark::ClobberMemory();
  }
  Report(state, w, h);
}

void BM_StretchBlended(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  auto src = Picture(w * 2 / 3, h * 2 / 3, true), dst = Picture(w, h, false);
  src->AlphaBlend = true;
  for (auto _ : state) {
    src->Draw(dst.get(), Rect(0, 0, w, h));
    benchmark::ClobberMemory();
  }
  Report(state, w, h);
}

// A 16 x 16 pattern tiled over the whole destination.
void BM_TileOpaque(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  auto src = Picture(16, 16, false), dst = Picture(w, h, false);
  for (auto _ : state) {
    src->Tile(dst.get(), Rect(0, 0, w, h), Rect(0, 0, 16, 16));
    benchmark::ClobberMemory();
  }
  Report(state, w, h);
}

void BM_TileBlended(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  auto src = Picture(16, 16, true), dst = Picture(w, h, false);
  src->AlphaBlend = true;
  for (auto _ : state) {
    src->Tile(dst.get(), Rect(0, 0, w, h), Rect(0, 0, 16, 16));
    benchmark::ClobberMemory();
  }
  Report(state, w, h);
}

void BM_Fill(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  auto dst = Picture(w, h, false);
  for (auto _ : state) {
    dst->FillRect(Rect(0, 0, w, h), 0xFF336699);
    benchmark::ClobberMemory();
  }
  Report(state, w, h);
}

void BM_FillBlended(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  auto dst = Picture(w, h, false);
  dst->AlphaBlend = true;
  for (auto _ : state) {
    dst->FillRect(Rect(0, 0, w, h), 0x80336699);
    benchmark::ClobberMemory();
  }
  Report(state, w, h);
}

void Sizes(benchmark::internal::Benchmark* b) { b->Args({1920, 1080})->Args({64, 64}); }
void SizesAndKernels(benchmark::internal::Benchmark* b) {
  for (int k = 0; k < 4; ++k) b->Args({1920, 1080, k})->Args({64, 64, k});
}

BENCHMARK(BM_Memcpy)->Apply(Sizes);
BENCHMARK(BM_CopyDraw)->Apply(Sizes);
BENCHMARK(BM_AlphaDraw)->Apply(SizesAndKernels);
BENCHMARK(BM_KeyedDraw)->Apply(Sizes);
BENCHMARK(BM_StretchOpaque)->Apply(Sizes);
BENCHMARK(BM_StretchBlended)->Apply(Sizes);
BENCHMARK(BM_TileOpaque)->Apply(Sizes);
BENCHMARK(BM_TileBlended)->Apply(Sizes);
BENCHMARK(BM_Fill)->Apply(Sizes);
BENCHMARK(BM_FillBlended)->Apply(Sizes);

}  // namespace

BENCHMARK_MAIN();
