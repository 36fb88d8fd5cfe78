// Painting through the back buffers: WM_PAINT with WM_ERASEBKGND inside BeginPaint, clipping of
// children by their parent and siblings, layered windows and the composed screen.
#include <cstdio>

#include "WindowTestFixture.h"

namespace wintest {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

// A paint handler filling the client area with one colour.
Handler Filler(COLORREF c) {
  return [c](HWND h, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
    if (m != WM_PAINT) return 0;
    handled = true;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
    EndPaint(h, &ps);
    return 0;
  };
}

uint32_t Bgr(COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); }

TEST_F(WindowTest, InvalidateWithEraseSendsEraseInsideBeginPaint) {
  HWND h = Top(0, 0, 100, 100);
  Pump();
  std::vector<std::string> trail;
  Handlers()[h] = [&](HWND w, UINT m, WPARAM wp, LPARAM, bool& handled) -> LRESULT {
    if (m == WM_ERASEBKGND) {
      trail.push_back(wp ? "erase with dc" : "erase without dc");
      handled = true;
      return 1;
    }
    if (m == WM_PAINT) {
      handled = true;
      trail.push_back("paint");
      PAINTSTRUCT ps;
      BeginPaint(w, &ps);
      trail.push_back("after BeginPaint");
      EXPECT_EQ(ps.rcPaint, (RECT{10, 10, 20, 20}));
      EXPECT_FALSE(ps.fErase);
      EndPaint(w, &ps);
    }
    return 0;
  };
  RECT r{10, 10, 20, 20};
  InvalidateRect(h, &r, TRUE);
  Pump();
  EXPECT_EQ(trail, (std::vector<std::string>{"paint", "erase with dc", "after BeginPaint"}));
  trail.clear();
  InvalidateRect(h, &r, FALSE);
  Pump();
  EXPECT_EQ(trail, (std::vector<std::string>{"paint", "after BeginPaint"}));
  trail.clear();
  InvalidateRect(h, &r, TRUE);
  ValidateRect(h, nullptr);
  Pump();
  EXPECT_TRUE(trail.empty());
}

TEST_F(WindowTest, ChildPaintingIsClippedByParentAndSiblings) {
  HWND p = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
  HWND below = Child(p, 60, 10, 80, 30);  // reaches past the parent's right edge
  HWND above = Child(p, 10, 10, 60, 60);  // created first would be on top; move it up explicitly
  SetWindowPos(above, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Handlers()[p] = Filler(kRed);
  Handlers()[below] = Filler(kGreen);
  Handlers()[above] = Filler(kBlue);
  InvalidateRect(p, nullptr, TRUE);
  RedrawWindow(p, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  Pump();
  EXPECT_EQ(headless::PixelAt(p, 5, 5) & 0xFFFFFF, Bgr(kRed));
  EXPECT_EQ(headless::PixelAt(p, 65, 15) & 0xFFFFFF, Bgr(kBlue));   // the sibling above covers it
  EXPECT_EQ(headless::PixelAt(p, 80, 15) & 0xFFFFFF, Bgr(kGreen));
  EXPECT_EQ(headless::PixelAt(p, 99, 39) & 0xFFFFFF, Bgr(kGreen));
  EXPECT_EQ(headless::PixelAt(p, 80, 45) & 0xFFFFFF, Bgr(kRed));    // below the green child
  // Repainting only the lower sibling must not draw over the upper one.
  InvalidateRect(below, nullptr, TRUE);
  Pump();
  EXPECT_EQ(headless::PixelAt(p, 65, 15) & 0xFFFFFF, Bgr(kBlue));
  // The buffer holds only the parent's 100 x 100 pixels: nothing was drawn outside.
  int w = 0, h = 0;
  headless::ReadPixels(below, &w, &h);
  EXPECT_EQ(w, 80);
  EXPECT_EQ(headless::PixelAt(below, 79, 0), 0u);
}

TEST_F(WindowTest, WindowDcCoversTheFrameAndBeginPaintSendsNcPaint) {
  HWND h = Top(0, 0, 50, 40, WS_POPUP | WS_VISIBLE | WS_BORDER);
  std::vector<UINT> order;
  Handlers()[h] = [&](HWND w, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
    if (m == WM_NCPAINT) {
      order.push_back(m);
      handled = true;
      HDC dc = GetWindowDC(w);
      RECT r{0, 0, 50, 40};
      HBRUSH b = CreateSolidBrush(kGreen);
      FillRect(dc, &r, b);
      DeleteObject(b);
      ReleaseDC(w, dc);
    }
    if (m == WM_PAINT) order.push_back(m);
    return 0;
  };
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
  Pump();
  // The frame is painted from inside BeginPaint (DefWindowProc's, here), before the client.
  EXPECT_EQ(order, (std::vector<UINT>{WM_PAINT, WM_NCPAINT}));
  EXPECT_EQ(headless::PixelAt(h, 0, 0) & 0xFFFFFF, Bgr(kGreen));
}

// A child reaching past its parent's client area is cut there: the parent's frame, painted
// through its window DC with WS_CLIPCHILDREN, stays whole around it.
TEST_F(WindowTest, ClippedChildrenLeaveTheParentsFrameWhole) {
  HWND top = Top(0, 0, 100, 100);
  HWND p = Child(top, 10, 10, 60, 60, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_CLIPCHILDREN);
  HWND c = Child(p, 20, 40, 30, 40);  // below the parent's client bottom
  Handlers()[c] = Filler(kBlue);
  Handlers()[p] = [](HWND w, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
    if (m != WM_NCPAINT) return 0;
    handled = true;
    HDC dc = GetWindowDC(w);
    RECT r{0, 0, 60, 60};
    HBRUSH b = CreateSolidBrush(kGreen);
    FillRect(dc, &r, b);
    DeleteObject(b);
    ReleaseDC(w, dc);
    return 0;
  };
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
  Pump();
  EXPECT_EQ(headless::PixelAt(p, 30, 59) & 0xFFFFFF, Bgr(kGreen)) << "the bottom frame under the child";
  EXPECT_EQ(headless::PixelAt(p, 30, 55) & 0xFFFFFF, Bgr(kBlue)) << "the child inside the client area";
}

TEST_F(WindowTest, LayeredWindowsShowOnlyWithContentAndByTheSwitch) {
  HWND h = Top(0, 0, 20, 20, WS_POPUP | WS_VISIBLE, "TestWnd", WS_EX_LAYERED);
  EXPECT_FALSE(headless::IsDisplayed(h));  // no content yet
  SetLayeredWindowAttributes(h, 0, 128, LWA_ALPHA);
  EXPECT_TRUE(headless::IsDisplayed(h));  // without a compositor: opaque above 0
  SetLayeredWindowAttributes(h, 0, 0, LWA_ALPHA);
  EXPECT_FALSE(headless::IsDisplayed(h));
  HWND glow = Top(30, 0, 4, 4, WS_POPUP | WS_VISIBLE, "TestWnd", WS_EX_LAYERED);
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = 4;
  bi.bmiHeader.biHeight = -4;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_TRUE(bmp);
  static_cast<uint32_t*>(bits)[0] = 0x80800000u;  // premultiplied half-transparent red
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, bmp);
  POINT src{0, 0};
  SIZE sz{4, 4};
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ASSERT_TRUE(UpdateLayeredWindow(glow, nullptr, nullptr, &sz, mem, &src, 0, &bf, ULW_ALPHA));
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bmp);
  const auto* rec = headless::LayeredContent(glow);
  ASSERT_TRUE(rec);
  EXPECT_EQ(rec->pixels[0], 0x80800000u);
  EXPECT_FALSE(headless::IsDisplayed(glow));  // per-pixel content needs a compositor
  headless::SetLayeredAvailable(true);
  EXPECT_TRUE(headless::IsDisplayed(glow));
}

TEST_F(WindowTest, ScreenComposesWindowsInZOrderAndSavesAsPng) {
  HWND back = Top(0, 0, 20, 20);
  HWND front = Top(10, 10, 20, 20);
  Handlers()[back] = Filler(kRed);
  Handlers()[front] = Filler(kBlue);
  InvalidateRect(back, nullptr, TRUE);
  InvalidateRect(front, nullptr, TRUE);
  Pump();
  int w = 0, h = 0;
  auto px = headless::ComposeScreen(&w, &h);
  ASSERT_EQ(w, 1920);
  EXPECT_EQ(px[5 * w + 5], 0xFF000000u | Bgr(kRed));
  EXPECT_EQ(px[15 * w + 15], 0xFF000000u | Bgr(kBlue));
  std::string path = std::string(OMBREL_TEST_BUILD_DIR) + "/headless-screen.png";
  ASSERT_TRUE(headless::SaveScreenPng(path));
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_TRUE(f);
  unsigned char sig[8] = {};
  EXPECT_EQ(std::fread(sig, 1, 8, f), 8u);
  std::fclose(f);
  EXPECT_EQ(sig[1], 'P');
  std::remove(path.c_str());
  EXPECT_FALSE(headless::SaveScreenPng("/nonexistent-dir/x.png"));
}

TEST_F(WindowTest, ScreenMetricsMonitorsAndVersion) {
  RECT work;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work, (RECT{0, 0, 1920, 1040}));
  headless::SetMonitors({{RECT{0, 0, 1280, 1024}, RECT{0, 0, 1280, 994}, true},
                         {RECT{1280, 0, 2560, 1024}, RECT{1280, 0, 2560, 1024}, false}});
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
  HWND h = Top(1300, 10, 100, 100);
  MONITORINFO mi;
  ASSERT_TRUE(GetMonitorInfo(MonitorFromWindow(h, MONITOR_DEFAULTTONEAREST), &mi));
  EXPECT_EQ(mi.rcMonitor.left, 1280);
  EXPECT_EQ(mi.dwFlags, 0u);
  EXPECT_EQ(MonitorFromPoint(POINT{5000, 5000}, MONITOR_DEFAULTTONULL), nullptr);
  ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint(POINT{5000, 5000}, MONITOR_DEFAULTTONEAREST), &mi));
  EXPECT_EQ(mi.rcMonitor.left, 1280);
  EXPECT_FALSE(GetMonitorInfo(reinterpret_cast<HMONITOR>(uintptr_t(99)), &mi));
  SetCursorPos(7, 8);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p, (POINT{7, 8}));
  OSVERSIONINFO vi;
  ASSERT_TRUE(GetVersionEx(&vi));
  EXPECT_EQ(vi.dwMajorVersion, 6u);
  EXPECT_EQ(vi.dwMinorVersion, 1u);
  MessageBeep(MB_ICONHAND);
  EXPECT_EQ(headless::Beeps(), (std::vector<UINT>{MB_ICONHAND}));
}

}  // namespace
}  // namespace wintest
