// Defaults the upper layers lean on: maximizing by WM_GETMINMAXINFO, the default frame,
// hover tracking, context menus from the mouse and the keyboard, and scrolling a window's
// pixels and update region.
#include <algorithm>

#include "WindowTestFixture.h"

namespace wintest {
namespace {

uint32_t Bgr(COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); }

TEST_F(WindowTest, MaximizeTakesThePlaceAndSizeOfTheMinMaxAnswer) {
  RECT work;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
  const int frame = GetSystemMetrics(SM_CXFRAME);
  struct Case {
    const char* name;
    DWORD style;
    bool answer;  // the handler sets its own maximum
    RECT want;
  };
  const Case cases[] = {
      {"no frame: the work area", WS_POPUP | WS_VISIBLE, false, work},
      {"sizing frame: outside the work area", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, false,
       RECT{work.left - frame, work.top - frame, work.right + frame, work.bottom + frame}},
      {"the handler's size and place", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, true,
       RECT{work.left + 10, work.top + 20, work.left + 10 + 640, work.top + 20 + 400}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND h = Top(30, 40, 200, 100, c.style);
    Handlers()[h] = [&](HWND, UINT m, WPARAM, LPARAM l, bool& handled) -> LRESULT {
      if (m != WM_GETMINMAXINFO || !c.answer) return 0;
      handled = true;
      auto* mmi = reinterpret_cast<MINMAXINFO*>(l);
      mmi->ptMaxSize = POINT{640, 400};
      mmi->ptMaxPosition = POINT{10, 20};
      return 0;
    };
    ShowWindow(h, SW_MAXIMIZE);
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r, c.want);
    EXPECT_TRUE(IsZoomed(h));
    ShowWindow(h, SW_RESTORE);
    GetWindowRect(h, &r);
    EXPECT_EQ(r, (RECT{30, 40, 230, 140}));
    DestroyWindow(h);
  }
}

TEST_F(WindowTest, DefaultNcPaintDrawsTheFrameAndTheCaption) {
  HWND h = Top(0, 0, 200, 100, WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE);
  Pump();
  ASSERT_EQ(GetActiveWindow(), h);
  const int frame = GetSystemMetrics(SM_CXFRAME), caption = GetSystemMetrics(SM_CYCAPTION);
  EXPECT_EQ(headless::PixelAt(h, 0, 0) & 0xFFFFFF, Bgr(GetSysColor(COLOR_WINDOWFRAME)));
  EXPECT_EQ(headless::PixelAt(h, 1, 50) & 0xFFFFFF, Bgr(GetSysColor(COLOR_3DFACE)));
  // The caption's right end, where no text lies.
  EXPECT_EQ(headless::PixelAt(h, 190, frame + caption / 2) & 0xFFFFFF, Bgr(GetSysColor(COLOR_ACTIVECAPTION)));
  // The client area is left to WM_PAINT.
  RECT cr;
  GetClientRect(h, &cr);
  POINT inClient{cr.right / 2, cr.bottom / 2};
  ClientToScreen(h, &inClient);
  EXPECT_NE(headless::PixelAt(h, inClient.x, inClient.y) & 0xFFFFFF, Bgr(GetSysColor(COLOR_3DFACE)));
  // Deactivated, the caption takes the inactive colour.
  HWND other = Top(300, 0, 50, 50);
  SetActiveWindow(other);
  Pump();
  EXPECT_EQ(headless::PixelAt(h, 190, frame + caption / 2) & 0xFFFFFF, Bgr(GetSysColor(COLOR_INACTIVECAPTION)));
}

TEST_F(WindowTest, TrackMouseEventPostsOneHoverAfterTheHoverTime) {
  HWND h = Top(10, 10, 100, 100);
  headless::MoveMouse(50, 50);
  Pump();
  std::vector<LPARAM> hovers;
  Handlers()[h] = [&](HWND, UINT m, WPARAM, LPARAM l, bool&) -> LRESULT {
    if (m == WM_MOUSEHOVER) hovers.push_back(l);
    return 0;
  };
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_HOVER;
  tme.hwndTrack = h;
  tme.dwHoverTime = HOVER_DEFAULT;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  clock.Advance(399);
  Pump();
  EXPECT_TRUE(hovers.empty());
  clock.Advance(1);
  Pump();
  ASSERT_EQ(hovers.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(hovers[0]), 40);  // client coordinates
  EXPECT_EQ(GET_Y_LPARAM(hovers[0]), 40);
  clock.Advance(1000);
  Pump();
  EXPECT_EQ(hovers.size(), 1u);  // once per TrackMouseEvent

  // A move out of the hover rectangle starts the time again; a small one does not.
  hovers.clear();
  tme.dwHoverTime = 100;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  clock.Advance(60);
  headless::MoveMouse(51, 51);
  Pump();
  clock.Advance(40);
  Pump();
  ASSERT_EQ(hovers.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(hovers[0]), 41);
  hovers.clear();
  ASSERT_TRUE(TrackMouseEvent(&tme));
  clock.Advance(60);
  headless::MoveMouse(70, 51);
  Pump();
  clock.Advance(40);
  Pump();
  EXPECT_TRUE(hovers.empty());
  clock.Advance(60);
  Pump();
  ASSERT_EQ(hovers.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(hovers[0]), 60);

  // GetMessage's wait moves the stepped clock on to the hover.
  hovers.clear();
  ASSERT_TRUE(TrackMouseEvent(&tme));
  MSG m;
  ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_MOUSEHOVER);

  // Leaving the window ends the tracking without a hover.
  ASSERT_TRUE(TrackMouseEvent(&tme));
  headless::MoveMouse(500, 500);
  Pump();
  clock.Advance(500);
  Pump();
  EXPECT_TRUE(hovers.empty());
}

TEST_F(WindowTest, ContextMenuComesFromARightClickAndFromTheKeyboard) {
  HWND top = Top(100, 100, 200, 200);
  HWND child = Child(top, 20, 30, 100, 100);
  Pump();
  struct Seen {
    HWND at;
    WPARAM w;
    LPARAM l;
  };
  std::vector<Seen> seen;
  int keyMenus = 0;
  auto record = [&](HWND h, UINT m, WPARAM w, LPARAM l, bool&) -> LRESULT {
    if (m == WM_CONTEXTMENU) seen.push_back(Seen{h, w, l});
    if (m == WM_SYSCOMMAND && (w & 0xFFF0) == SC_KEYMENU) ++keyMenus;
    return 0;
  };
  Handlers()[top] = record;
  Handlers()[child] = record;

  // The child leaves it to DefWindowProc, which passes it to the parent with the child's handle.
  headless::Click(150, 160, 1);
  Pump();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].at, child);
  EXPECT_EQ(seen[1].at, top);
  for (const Seen& s : seen) {
    EXPECT_EQ(s.w, reinterpret_cast<WPARAM>(child));
    EXPECT_EQ(GET_X_LPARAM(s.l), 150);  // screen coordinates
    EXPECT_EQ(GET_Y_LPARAM(s.l), 160);
  }

  // A handler that answers keeps it from the parent.
  seen.clear();
  Handlers()[child] = [&](HWND h, UINT m, WPARAM w, LPARAM l, bool& handled) -> LRESULT {
    if (m == WM_CONTEXTMENU) {
      seen.push_back(Seen{h, w, l});
      handled = true;
    }
    return 0;
  };
  SetFocus(child);
  struct Keys {
    const char* name;
    std::vector<int> down;  // pressed in order, released in reverse
  };
  for (const Keys& k : {Keys{"Shift+F10", {VK_SHIFT, VK_F10}}, Keys{"Menu key", {VK_APPS}}}) {
    SCOPED_TRACE(k.name);
    seen.clear();
    keyMenus = 0;
    for (int vk : k.down) headless::KeyDown(vk);
    for (auto it = k.down.rbegin(); it != k.down.rend(); ++it) headless::KeyUp(*it);
    Pump();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].at, child);
    EXPECT_EQ(GET_X_LPARAM(seen[0].l), -1);
    EXPECT_EQ(GET_Y_LPARAM(seen[0].l), -1);
    EXPECT_EQ(keyMenus, 0);
  }
  // F10 alone still enters the menu.
  headless::PressKey(VK_F10);
  Pump();
  EXPECT_EQ(keyMenus, 1);
}

TEST_F(WindowTest, ScrollWindowExMovesThePixelsAndTheUpdateRegion) {
  constexpr int W = 40, H = 30;
  struct Case {
    int dx, dy;
    bool withRect;  // scroll only a part of the client area
  };
  for (const Case& c : {Case{0, -5, false}, Case{0, 7, false}, Case{3, 0, false}, Case{-4, 2, false},
                        Case{2, -3, true}, Case{0, 0, false}}) {
    SCOPED_TRACE(::testing::Message() << c.dx << "," << c.dy << (c.withRect ? " in a rect" : ""));
    HWND h = Top(0, 0, W, H);
    Pump();
    // Every pixel different.
    HDC dc = GetDC(h);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) SetPixel(dc, x, y, RGB(x * 6, y * 8, 100));
    ReleaseDC(h, dc);
    int bw = 0, bh = 0;
    std::vector<uint32_t> before = headless::ReadPixels(h, &bw, &bh);
    ASSERT_EQ(bw, W);
    // A pending update region moves with the content.
    RECT pending{10, 10, 20, 15};
    InvalidateRect(h, &pending, FALSE);
    RECT area = c.withRect ? RECT{5, 4, 30, 25} : RECT{0, 0, W, H};
    RECT uncovered{};
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    int kind = ScrollWindowEx(h, c.dx, c.dy, c.withRect ? &area : nullptr, nullptr, rgn, &uncovered, 0);
    std::vector<uint32_t> after = headless::ReadPixels(h, &bw, &bh);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        POINT p{x, y}, s{x - c.dx, y - c.dy};
        bool moved = PtInRect(&area, p) && PtInRect(&area, s);
        uint32_t want = moved ? before[size_t(s.y) * W + s.x] : before[size_t(y) * W + x];
        ASSERT_EQ(after[size_t(y) * W + x], want) << "at " << x << "," << y;
      }
    RECT moved = area;
    OffsetRect(&moved, c.dx, c.dy);
    IntersectRect(&moved, &moved, &area);
    HRGN want = CreateRectRgnIndirect(&area);
    HRGN keep = CreateRectRgnIndirect(&moved);
    int wantKind = CombineRgn(want, want, keep, RGN_DIFF);
    EXPECT_EQ(kind, wantKind);
    EXPECT_TRUE(EqualRgn(rgn, want));
    RECT box;
    GetRgnBox(want, &box);
    EXPECT_EQ(uncovered, box);
    RECT upd;
    ASSERT_TRUE(GetUpdateRect(h, &upd, FALSE));
    RECT wantUpd = pending;  // inside the scrolled area in every case, and staying inside it
    OffsetRect(&wantUpd, c.dx, c.dy);
    EXPECT_EQ(upd, wantUpd);
    DeleteObject(rgn);
    DeleteObject(want);
    DeleteObject(keep);
    DestroyWindow(h);
  }
}

}  // namespace
}  // namespace wintest
