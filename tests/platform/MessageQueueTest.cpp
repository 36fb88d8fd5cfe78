// The message queue: posting order, quit, timers on the stepped clock, and SendMessage across
// threads.
#include <atomic>
#include <thread>

#include "WindowTestFixture.h"

namespace wintest {
namespace {

TEST_F(WindowTest, TimersFireAtTheSteppedTimesInDueOrder) {
  HWND h = Top(0, 0, 10, 10, WS_POPUP);
  std::vector<std::pair<UINT_PTR, uint64_t>> fired;
  Handlers()[h] = [&](HWND, UINT m, WPARAM w, LPARAM, bool&) -> LRESULT {
    if (m == WM_TIMER) fired.push_back({w, clock.NowMs()});
    return 0;
  };
  SetTimer(h, 1, 50, nullptr);
  SetTimer(h, 2, 30, nullptr);
  Pump();
  EXPECT_TRUE(fired.empty());
  clock.Advance(29);
  Pump();
  EXPECT_TRUE(fired.empty());
  clock.Advance(1);
  Pump();
  clock.Advance(20);
  Pump();
  clock.Advance(10);
  Pump();
  std::vector<std::pair<UINT_PTR, uint64_t>> want{{2, 1030}, {1, 1050}, {2, 1060}};
  EXPECT_EQ(fired, want);
  // Both overdue: the one due first (2, at 1090) comes first, and each fires once per step.
  fired.clear();
  clock.Advance(200);
  Pump();
  EXPECT_EQ(fired, (std::vector<std::pair<UINT_PTR, uint64_t>>{{2, 1260}, {1, 1260}}));
  EXPECT_TRUE(KillTimer(h, 1));
  EXPECT_FALSE(KillTimer(h, 1));
  fired.clear();
  clock.Advance(100);
  Pump();
  EXPECT_EQ(fired.size(), 1u);
  EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(uintptr_t(0xDEAD0)), 1, 10, nullptr), 0u);
}

TEST_F(WindowTest, GetMessageWaitsForTheNextTimerOnASteppedClock) {
  HWND h = Top(0, 0, 10, 10, WS_POPUP);
  SetTimer(h, 7, 500, nullptr);
  MSG m;
  ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_TIMER);
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_EQ(clock.NowMs(), 1500u);
}

TEST_F(WindowTest, PostedMessagesKeepOrderAndQuitComesAfterThem) {
  HWND h = Top(0, 0, 10, 10, WS_POPUP);
  Pump();
  PostMessage(h, WM_USER + 1, 0, 0);
  PostQuitMessage(3);
  PostMessage(h, WM_USER + 2, 0, 0);
  MSG m;
  ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER + 1);
  ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER + 2);
  EXPECT_FALSE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 3u);
  // A filter leaves other messages queued.
  PostMessage(h, WM_USER + 3, 0, 0);
  PostMessage(h, WM_USER + 4, 0, 0);
  EXPECT_TRUE(PeekMessage(&m, nullptr, WM_USER + 4, WM_USER + 4, PM_REMOVE));
  EXPECT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 3);
}

TEST_F(WindowTest, SendMessageFromAWorkerBlocksUntilTheLoopHandlesIt) {
  HWND h = Top(0, 0, 10, 10, WS_POPUP);
  std::thread::id handledOn;
  Handlers()[h] = [&](HWND, UINT m, WPARAM w, LPARAM, bool& handled) -> LRESULT {
    if (m == WM_USER) {
      handled = true;
      handledOn = std::this_thread::get_id();
      if (w == 2) throw std::runtime_error("handler failed");
      PostQuitMessage(0);
      return 1234;
    }
    return 0;
  };
  LRESULT answer = 0;
  std::thread worker([&] { answer = SendMessage(h, WM_USER, 1, 0); });
  MSG m;
  while (GetMessage(&m, nullptr, 0, 0)) DispatchMessage(&m);  // ends with the handler's quit
  worker.join();
  EXPECT_EQ(answer, 1234);
  EXPECT_EQ(handledOn, std::this_thread::get_id());
  // The handler's exception comes out on the worker, not on the loop.
  std::atomic<bool> caught{false};
  std::thread worker2([&] {
    try {
      SendMessage(h, WM_USER, 2, 0);
    } catch (const std::runtime_error&) {
      caught = true;
    }
  });
  while (!caught) {
    ServeCrossThreadCalls();
    std::this_thread::yield();
  }
  worker2.join();
  EXPECT_TRUE(caught);
}

TEST_F(WindowTest, WindowsOfAnEndedThreadAreDestroyedWithIt) {
  HWND h = nullptr;
  std::thread ui([&] {
    h = CreateWindowEx(0, "TestWnd", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    // The window is left behind on purpose: its thread ends with it alive.
  });
  ui.join();
  ASSERT_TRUE(h);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(SendMessage(h, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostMessage(h, WM_USER, 0, 0));
}

}  // namespace
}  // namespace wintest
