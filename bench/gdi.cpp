// Hot paths of the 2D layer on 1920x1080 32-bit surfaces, in megapixels per second, next to a
// plain memcpy of the same bytes as the upper bound. Each also reports "of_memcpy": its speed in
// destination bytes per second as a fraction of memcpy's on the same bytes, measured in the same
// run (the aims: AlphaBlend 0.35 or better with per-pixel alpha and 0.3 with a constant alpha,
// StretchBlt of 1280x720 onto the whole surface 0.5 or better).
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstring>
#include <map>
#include <vector>

#include "platform/Gdi.h"

namespace {

constexpr int kW = 1920, kH = 1080;

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

struct Surface {
  win::HDC dc;
  win::HBITMAP bm;
  win::HGDIOBJ old;
  uint32_t* bits = nullptr;
  Surface(int w, int h) {
    win::BITMAPINFO bi{};
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biBitCount = 32;
    void* p = nullptr;
    bm = win::CreateDIBSection(nullptr, &bi, win::DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint32_t*>(p);
    for (int i = 0; i < w * h; ++i) bits[i] = 0x80000000u | uint32_t(i * 2654435761u >> 8);
    dc = win::CreateCompatibleDC(nullptr);
    old = win::SelectObject(dc, bm);
  }
  ~Surface() {
    win::SelectObject(dc, old);
    win::DeleteDC(dc);
    win::DeleteObject(bm);
  }
};

// Every benchmark writes the whole 1920x1080 destination.
void Rate(benchmark::State& state) {
  const double bytes = double(kW) * kH * 4;
  state.counters["MP/s"] = benchmark::Counter(double(kW) * kH * double(state.iterations()) / 1e6,
                                              benchmark::Counter::kIsRate);
  state.counters["of_memcpy"] = benchmark::Counter(bytes * double(state.iterations()) / MemcpyRate(size_t(bytes)),
                                                   benchmark::Counter::kIsRate);
}

void BM_Memcpy(benchmark::State& state) {
  std::vector<uint32_t> a(size_t(kW) * kH, 1), b(size_t(kW) * kH);
  double start = ThreadSeconds();
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size() * 4);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  double secs = ThreadSeconds() - start;
  if (secs > 0) MemcpyRates()[a.size() * 4] = double(a.size() * 4) * double(state.iterations()) / secs;
  Rate(state);
}

void BM_BitBlt(benchmark::State& state) {
  Surface src(kW, kH), dst(kW, kH);
  for (auto _ : state) win::BitBlt(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, win::SRCCOPY);
  Rate(state);
}

void BM_StretchBlt(benchmark::State& state) {
  Surface src(1280, 720), dst(kW, kH);
  for (auto _ : state) win::StretchBlt(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, 1280, 720, win::SRCCOPY);
  Rate(state);
}

void BM_AlphaBlend(benchmark::State& state) {
  Surface src(kW, kH), dst(kW, kH);
  win::BLENDFUNCTION bf{win::AC_SRC_OVER, 0, 255, win::AC_SRC_ALPHA};
  for (auto _ : state) win::AlphaBlend(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, kW, kH, bf);
  Rate(state);
}

// A constant alpha below 255 takes the kernel's full arithmetic for every pixel.
void BM_AlphaBlendConstant(benchmark::State& state) {
  Surface src(kW, kH), dst(kW, kH);
  win::BLENDFUNCTION bf{win::AC_SRC_OVER, 0, 128, win::AC_SRC_ALPHA};
  for (auto _ : state) win::AlphaBlend(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, kW, kH, bf);
  Rate(state);
}

void BM_FillRect(benchmark::State& state) {
  Surface dst(kW, kH);
  win::HBRUSH b = win::CreateSolidBrush(win::RGB(10, 20, 30));
  win::RECT r{0, 0, kW, kH};
  for (auto _ : state) win::FillRect(dst.dc, &r, b);
  win::DeleteObject(b);
  Rate(state);
}

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_BitBlt);
BENCHMARK(BM_StretchBlt);
BENCHMARK(BM_AlphaBlend);
BENCHMARK(BM_AlphaBlendConstant);
BENCHMARK(BM_FillRect);

}  // namespace

BENCHMARK_MAIN();
