// Presenting a full repaint of a window on the X server: an 804x542 window (the main form) and a
// 1920x1080 one, through shared memory (MIT-SHM), through plain XPutImage, and from a back buffer
// the backend provides in shared memory (no copy). Needs a display (run under xvfb-run).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "platform/backend/x11/X11.h"

namespace {

enum Mode { kShm = 0, kPutImage = 1, kShmInPlace = 2 };

void Present(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  const Mode mode = Mode(state.range(2));
  // A virtual X server resets when its last client leaves: one connection stays open throughout.
  static auto* keeper = std::getenv("DISPLAY") ? win::x11::Create().release() : nullptr;
  auto b = keeper ? win::x11::Create(nullptr, mode != kPutImage) : nullptr;
  if (!b) {
    state.SkipWithError("no X display");
    return;
  }
  if (mode != kPutImage && !win::x11::UsesSharedMemory(*b)) {
    state.SkipWithError("no MIT-SHM");
    return;
  }
  win::HWND hwnd = reinterpret_cast<win::HWND>(uintptr_t(1));
  b->CreateSurface(hwnd, win::RECT{0, 0, w, h}, win::WS_POPUP, 0);
  b->ShowSurface(hwnd, true);
  b->WaitEvents(100);
  std::vector<uint32_t> own(size_t(w) * size_t(h));
  uint32_t* px = own.data();
  if (mode == kShmInPlace) px = b->BackBufferMemory(hwnd, w, h);
  if (!px) {
    state.SkipWithError("no back buffer memory");
    return;
  }
  const std::vector<win::RECT> all{win::RECT{0, 0, w, h}};
  uint32_t frame = 0;
  for (auto _ : state) {
    // A new picture each time, as a full repaint would draw, outside the timing.
    state.PauseTiming();
    for (size_t i = 0; i < size_t(w) * size_t(h); i += 64) px[i] = frame + uint32_t(i);
    ++frame;
    state.ResumeTiming();
    b->Present(hwnd, px, w, h, all);  // returns once the server has the pixels
  }
  state.counters["MP/s"] =
      benchmark::Counter(double(w) * h * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
  b->DestroySurface(hwnd);
}

}  // namespace

BENCHMARK(Present)
    ->ArgNames({"w", "h", "mode"})
    ->Args({804, 542, kShm})
    ->Args({804, 542, kPutImage})
    ->Args({804, 542, kShmInPlace})
    ->Args({1920, 1080, kShm})
    ->Args({1920, 1080, kPutImage})
    ->Args({1920, 1080, kShmInPlace})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

BENCHMARK_MAIN();
