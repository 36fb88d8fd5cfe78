// The window core's painting paths: scrolling a window's content, and how many rectangles an
// update region and the presented area hold after many overlapping invalidations.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/Gdi.h"
#include "platform/WinUser.h"
#include "platform/backend/headless/Headless.h"

namespace {

using namespace win;

LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProc(h, m, w, l); }

HWND MakeWindow(int w, int h) {
  static bool registered = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = "BenchWnd";
    return RegisterClass(&wc) != 0;
  }();
  (void)registered;
  headless::Reset();
  return CreateWindowEx(0, "BenchWnd", "", WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr, nullptr, nullptr, nullptr);
}

// The rectangles of a window's update region, through the public region calls.
size_t UpdateRects(HWND h) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(h, rgn, FALSE);
  std::vector<uint8_t> data(GetRegionData(rgn, 0, nullptr));
  GetRegionData(rgn, DWORD(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
  DeleteObject(rgn);
  return reinterpret_cast<const RGNDATA*>(data.data())->rdh.nCount;
}

void DrainMessages() {
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
}

// One scroll of 10 rows, as a list view scrolls by a line, with the uncovered rows invalidated.
void BM_ScrollWindowEx(benchmark::State& state) {
  HWND h = MakeWindow(int(state.range(0)), int(state.range(1)));
  DrainMessages();
  for (auto _ : state) {
    ScrollWindowEx(h, 0, -10, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    ValidateRect(h, nullptr);
  }
  DestroyWindow(h);
  DrainMessages();
}
BENCHMARK(BM_ScrollWindowEx)->Args({1600, 1000})->Args({320, 240})->Unit(benchmark::kMicrosecond);

// 100 overlapping invalidations of a 1600x1000 window: the rectangles of the update region.
void BM_OverlappingInvalidations(benchmark::State& state) {
  HWND h = MakeWindow(1600, 1000);
  DrainMessages();
  auto invalidate = [h] {
    for (int i = 0; i < 100; ++i) {
      RECT r{(i * 37) % 1300, (i * 53) % 800, (i * 37) % 1300 + 300, (i * 53) % 800 + 200};
      InvalidateRect(h, &r, FALSE);
    }
  };
  for (auto _ : state) {
    invalidate();
    ValidateRect(h, nullptr);
  }
  // Counted outside the timed loop: reading the region back is not what is measured.
  invalidate();
  state.counters["rects"] = double(UpdateRects(h));
  ValidateRect(h, nullptr);
  DestroyWindow(h);
  DrainMessages();
}
BENCHMARK(BM_OverlappingInvalidations)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
