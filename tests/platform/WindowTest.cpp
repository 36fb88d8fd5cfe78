// The window tree: creation and destruction order, geometry, window longs and subclassing,
// properties and text, and windows destroyed inside their own handlers.
#include <algorithm>

#include "WindowTestFixture.h"

namespace wintest {
namespace {

TEST_F(WindowTest, CreationSendsNcCreateCalcSizeCreateThenSizeAndMove) {
  Recording() = true;
  HWND h = Top(10, 20, 200, 100, WS_POPUP);
  ASSERT_TRUE(h);
  EXPECT_EQ(RecordedFor(h), (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}));
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (RECT{10, 20, 210, 120}));
}

TEST_F(WindowTest, CreateFailsCleanlyWhenNcCreateOrCreateRefuses) {
  for (UINT refuse : {WM_NCCREATE, WM_CREATE}) {
    static UINT s_refuse;
    s_refuse = refuse;
    WNDCLASS wc;
    wc.lpszClassName = refuse == WM_NCCREATE ? "RefuseNc" : "RefuseCreate";
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
      if (m == s_refuse) return m == WM_NCCREATE ? FALSE : -1;
      return DefWindowProc(h, m, w, l);
    };
    RegisterClass(&wc);
    EXPECT_EQ(CreateWindowEx(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr);
  }
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(CreateWindowEx(0, "TestWnd", "", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WindowTest, DestroySendsDestroyTopDownAndNcDestroyBottomUp) {
  HWND p = Top(0, 0, 300, 300);
  HWND a = Child(p, 0, 0, 10, 10);
  HWND b = Child(p, 20, 0, 10, 10);
  HWND a1 = Child(a, 0, 0, 5, 5);
  Recording() = true;
  ASSERT_TRUE(DestroyWindow(p));
  std::vector<std::pair<HWND, UINT>> seen;
  for (const Rec& r : Recorded())
    if (r.msg == WM_DESTROY || r.msg == WM_NCDESTROY) seen.push_back({r.hwnd, r.msg});
  // The parent first; its children last-created first, each with its own subtree.
  std::vector<std::pair<HWND, UINT>> want{{p, WM_DESTROY},    {b, WM_DESTROY},  {b, WM_NCDESTROY},
                                          {a, WM_DESTROY},    {a1, WM_DESTROY}, {a1, WM_NCDESTROY},
                                          {a, WM_NCDESTROY},  {p, WM_NCDESTROY}};
  EXPECT_EQ(seen, want);
  for (HWND h : {p, a, b, a1}) EXPECT_FALSE(IsWindow(h));
  EXPECT_FALSE(DestroyWindow(p));  // a stale handle is an error, not a crash
}

TEST_F(WindowTest, OwnedWindowsAreDestroyedWithTheirOwner) {
  HWND owner = Top(0, 0, 100, 100);
  HWND owned = CreateWindowEx(0, "TestWnd", "", WS_POPUP, 0, 0, 10, 10, owner, nullptr, nullptr, nullptr);
  ASSERT_TRUE(owned);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  EXPECT_EQ(GetParent(owned), owner);  // a popup's parent is its owner
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(owned));
}

TEST_F(WindowTest, ChildZOrderFollowsCreationAndSetWindowPos) {
  HWND p = Top(0, 0, 100, 100);
  HWND a = Child(p, 0, 0, 10, 10), b = Child(p, 0, 0, 10, 10), c = Child(p, 0, 0, 10, 10);
  EXPECT_EQ(GetWindow(p, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), c);
  SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(p, GW_CHILD), c);
  SetWindowPos(c, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
  EXPECT_EQ(GetWindow(p, GW_CHILD), a);
}

TEST_F(WindowTest, SetWindowPosSendsChangingThenChangedWithSizeAndMove) {
  HWND h = Top(0, 0, 100, 100, WS_POPUP);
  Handlers()[h] = [](HWND, UINT m, WPARAM, LPARAM l, bool&) -> LRESULT {
    if (m == WM_WINDOWPOSCHANGING) {
      auto* pos = reinterpret_cast<WINDOWPOS*>(l);
      if (pos->cx > 150) pos->cx = 150;  // the handler may change the proposal
    }
    return 0;
  };
  Recording() = true;
  SetWindowPos(h, nullptr, 5, 6, 300, 50, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(Without(RecordedFor(h), {WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}),
            (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE}));
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (RECT{5, 6, 155, 56}));
  Recorded().clear();
  SetWindowPos(h, nullptr, 7, 6, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(RecordedFor(h), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}));
}

// Sizes and positions from bad input (a form description, a stored setting) stay usable: a
// top-level window never asks for a back buffer beyond twice the screens, and no position plus
// size overflows.
TEST_F(WindowTest, HugeSizesAndPositionsAreKeptInRange) {
  const int maxW = std::max(4096, 2 * GetSystemMetrics(SM_CXVIRTUALSCREEN));
  const int maxH = std::max(4096, 2 * GetSystemMetrics(SM_CYVIRTUALSCREEN));
  HWND made = Top(0, 0, 595002193, 2000000000, WS_POPUP);
  RECT r;
  GetWindowRect(made, &r);
  EXPECT_EQ(r, (RECT{0, 0, maxW, maxH}));
  HWND h = Top(0, 0, 100, 100, WS_POPUP);
  SetWindowPos(h, nullptr, 2147483000, -2147483000, 2147483647, 2147483647, SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(h, &r);
  EXPECT_EQ(r.right - r.left, maxW);
  EXPECT_EQ(r.bottom - r.top, maxH);
  EXPECT_GT(r.right, r.left);   // no wrap-around
  EXPECT_LT(r.top, r.bottom);
  // A child may be larger than any screen (a scrolled page), but stays inside the int range too.
  HWND c = Child(h, 0, 0, 10, 10);
  SetWindowPos(c, nullptr, 2147483000, 0, 2147483647, 10, SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(c, &r);
  EXPECT_GT(r.right, r.left);
  EXPECT_GT(r.right - r.left, maxW);
}

TEST_F(WindowTest, ClientRectComesFromNcCalcSizeAndMapsPoints) {
  HWND h = Top(100, 50, 200, 150, WS_POPUP | WS_VISIBLE);
  Handlers()[h] = [](HWND, UINT m, WPARAM w, LPARAM l, bool& handled) -> LRESULT {
    if (m != WM_NCCALCSIZE) return 0;
    handled = true;
    RECT* r = w ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(l)->rgrc[0] : reinterpret_cast<RECT*>(l);
    r->left += 3; r->top += 22; r->right -= 3; r->bottom -= 3;
    return 0;
  };
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  RECT c;
  GetClientRect(h, &c);
  EXPECT_EQ(c, (RECT{0, 0, 194, 125}));
  HWND k = Child(h, 10, 20, 30, 30);
  POINT p{1, 2};
  ClientToScreen(k, &p);
  EXPECT_EQ(p, (POINT{100 + 3 + 10 + 1, 50 + 22 + 20 + 2}));
  ScreenToClient(h, &p);
  EXPECT_EQ(p, (POINT{11, 22}));
  POINT q{0, 0};
  MapWindowPoints(k, h, &q, 1);
  EXPECT_EQ(q, (POINT{10, 20}));
  EXPECT_EQ(WindowFromPoint(POINT{100 + 3 + 15, 50 + 22 + 25}), k);
  EXPECT_EQ(ChildWindowFromPoint(h, POINT{15, 25}), k);
  EXPECT_EQ(ChildWindowFromPoint(h, POINT{100, 100}), h);
}

TEST_F(WindowTest, WindowFromPointHonoursRegionsVisibilityAndTransparency) {
  HWND back = Top(0, 0, 100, 100);
  HWND front = Top(0, 0, 100, 100);
  EXPECT_EQ(WindowFromPoint(POINT{50, 50}), front);
  SetWindowRgn(front, CreateRectRgn(0, 0, 40, 40), TRUE);
  EXPECT_EQ(WindowFromPoint(POINT{10, 10}), front);
  EXPECT_EQ(WindowFromPoint(POINT{50, 50}), back);
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(front, copy), 0);
  RECT box;
  GetRgnBox(copy, &box);
  EXPECT_EQ(box, (RECT{0, 0, 40, 40}));
  DeleteObject(copy);
  SetWindowLongPtr(front, GWL_EXSTYLE, WS_EX_TRANSPARENT);
  EXPECT_EQ(WindowFromPoint(POINT{10, 10}), back);
  ShowWindow(back, SW_HIDE);
  EXPECT_EQ(WindowFromPoint(POINT{10, 10}), nullptr);
}

// Three procedures chained through GWLP_WNDPROC; each records its letter and calls the one it replaced.
WNDPROC g_prev[3];
std::string g_trail;
template <int N>
LRESULT Sub(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) g_trail += char('A' + N);
  return CallWindowProc(g_prev[N], h, m, w, l);
}

TEST_F(WindowTest, SubclassChainOfThreeInstalledAndRemovedInAnyOrder) {
  const WNDPROC procs[3] = {Sub<0>, Sub<1>, Sub<2>};
  int orders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  for (auto& order : orders) {
    HWND h = Top(0, 0, 10, 10, WS_POPUP);
    WNDPROC base = reinterpret_cast<WNDPROC>(GetWindowLongPtr(h, GWLP_WNDPROC));
    for (int i = 0; i < 3; ++i)
      g_prev[i] = reinterpret_cast<WNDPROC>(SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procs[i])));
    g_trail.clear();
    SendMessage(h, WM_USER, 0, 0);
    EXPECT_EQ(g_trail, "CBA");
    // Remove in the given order: unhooking a middle link patches its successor's saved pointer.
    bool removed[3] = {false, false, false};
    for (int k : order) {
      WNDPROC current = reinterpret_cast<WNDPROC>(GetWindowLongPtr(h, GWLP_WNDPROC));
      if (current == procs[k]) {
        SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_prev[k]));
      } else {
        for (int j = 0; j < 3; ++j)
          if (!removed[j] && g_prev[j] == procs[k]) g_prev[j] = g_prev[k];
      }
      removed[k] = true;
      g_trail.clear();
      SendMessage(h, WM_USER, 0, 0);
      std::string want;
      for (int j = 2; j >= 0; --j)
        if (!removed[j]) want += char('A' + j);
      EXPECT_EQ(g_trail, want);
    }
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtr(h, GWLP_WNDPROC)), base);
    DestroyWindow(h);
  }
}

TEST_F(WindowTest, LongsPropsAndText) {
  HWND h = Top(0, 0, 10, 10, WS_POPUP);
  EXPECT_EQ(SetWindowLongPtr(h, GWLP_USERDATA, 42), 0);
  EXPECT_EQ(GetWindowLongPtr(h, GWLP_USERDATA), 42);
  SetWindowLongPtr(h, GWL_STYLE, WS_POPUP | WS_BORDER);
  EXPECT_EQ(DWORD(GetWindowLongPtr(h, GWL_STYLE)), WS_POPUP | WS_BORDER);
  int data = 0;
  EXPECT_TRUE(SetProp(h, "Owner", &data));
  EXPECT_EQ(GetProp(h, "Owner"), &data);
  EXPECT_EQ(RemoveProp(h, "Owner"), &data);
  EXPECT_EQ(GetProp(h, "Owner"), nullptr);
  SetWindowText(h, "视频转换");
  EXPECT_EQ(GetWindowTextLength(h), 12);
  char buf[8];
  // A short buffer never receives half a character.
  EXPECT_EQ(GetWindowText(h, buf, sizeof buf), 6);
  EXPECT_STREQ(buf, "视频");
  char cls[32];
  GetClassName(h, cls, sizeof cls);
  EXPECT_STREQ(cls, "TestWnd");
}

TEST_F(WindowTest, WindowDestroyedInsideItsOwnHandlerFinishesSafely) {
  HWND h = Top(0, 0, 100, 100);
  bool after = false;
  Handlers()[h] = [&](HWND w, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
    if (m == WM_USER) {
      DestroyWindow(w);
      after = !IsWindow(w);
      handled = true;
      return 7;
    }
    return 0;
  };
  EXPECT_EQ(SendMessage(h, WM_USER, 0, 0), 7);
  EXPECT_TRUE(after);
  EXPECT_EQ(SendMessage(h, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostMessage(h, WM_USER, 0, 0));
}

TEST_F(WindowTest, DestroyLaterWaitsForTheDispatchToUnwind) {
  HWND h = Top(0, 0, 100, 100);
  bool aliveInHandler = false;
  Handlers()[h] = [&](HWND w, UINT m, WPARAM, LPARAM, bool&) -> LRESULT {
    if (m == WM_USER) {
      DestroyWindowLater(w);
      aliveInHandler = IsWindow(w);
    }
    return 0;
  };
  PostMessage(h, WM_USER, 0, 0);
  Pump();
  EXPECT_TRUE(aliveInHandler);
  EXPECT_FALSE(IsWindow(h));
}

TEST_F(WindowTest, RunAfterDispatchWaitsForEveryHandlerToUnwind) {
  HWND h = Top(0, 0, 100, 100);
  std::vector<std::string> order;
  Handlers()[h] = [&](HWND w, UINT m, WPARAM, LPARAM, bool&) -> LRESULT {
    if (m == WM_USER) {
      // Nested: a handler that sends to another handler of the same window.
      RunAfterDispatch([&] { order.push_back("later"); });
      SendMessage(w, WM_USER + 1, 0, 0);
      order.push_back("outer done");
    } else if (m == WM_USER + 1) {
      RunAfterDispatch([&] {
        order.push_back("later 2");
        // Asked for from a function run late: runs in the same pass.
        RunAfterDispatch([&] { order.push_back("later 3"); });
      });
      order.push_back("inner done");
    }
    return 0;
  };
  PostMessage(h, WM_USER, 0, 0);
  Pump();
  EXPECT_EQ(order, (std::vector<std::string>{"inner done", "outer done", "later", "later 2", "later 3"}));
  // With no dispatch running it runs at once.
  bool ran = false;
  RunAfterDispatch([&] { ran = true; });
  EXPECT_TRUE(ran);
}

TEST_F(WindowTest, ShowWindowSendsShowWindowAndHidingMovesActivation) {
  HWND a = Top(0, 0, 50, 50, WS_POPUP);
  HWND b = Top(60, 0, 50, 50, WS_POPUP);
  Recording() = true;
  ShowWindow(a, SW_SHOW);
  auto msgs = RecordedFor(a);
  ASSERT_FALSE(msgs.empty());
  EXPECT_EQ(msgs.front(), WM_SHOWWINDOW);
  EXPECT_TRUE(IsWindowVisible(a));
  EXPECT_EQ(GetActiveWindow(), a);
  ShowWindow(b, SW_SHOW);
  EXPECT_EQ(GetActiveWindow(), b);
  ShowWindow(b, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), a);
  ShowWindow(a, SW_SHOWNA);
  EXPECT_TRUE(EnableWindow(a, FALSE) == FALSE);
  EXPECT_FALSE(IsWindowEnabled(a));
}

TEST_F(WindowTest, ScrollInfoIsKeptWithoutVisibleBars) {
  HWND h = Top(0, 0, 100, 100);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMin = 0;
  si.nMax = 99;
  si.nPage = 10;
  si.nPos = 500;
  EXPECT_EQ(SetScrollInfo(h, SB_VERT, &si, TRUE), 90);  // clamped to max - page + 1
  SCROLLINFO out;
  out.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &out));
  EXPECT_EQ(out.nPos, 90);
  EXPECT_EQ(out.nPage, 10u);
  EXPECT_EQ(SetScrollPos(h, SB_VERT, -5, TRUE), 90);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 0);
  int lo, hi;
  GetScrollRange(h, SB_VERT, &lo, &hi);
  EXPECT_EQ(hi, 99);
  EXPECT_FALSE(GetScrollInfo(h, 7, &out));
}

}  // namespace
}  // namespace wintest
