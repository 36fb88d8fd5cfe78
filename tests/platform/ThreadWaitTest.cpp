// Waits of the user-interface thread serve workers that call into it, and workers' queues end
// without touching the user-interface thread's windows.
#include <atomic>
#include <thread>

#include "WindowTestFixture.h"
#include "base/Thread.h"

namespace wintest {
namespace {

// A worker that hands one method over and then sends one message to a window of this thread.
class TSendingThread : public TThread {
public:
  TSendingThread(HWND Target, bool HandOverFirst) : TThread(true), FTarget(Target), FHandOverFirst(HandOverFirst) {}
  std::atomic<LRESULT> Answer{0};
  std::atomic<bool> HandedOver{false};

protected:
  void Execute() override {
    if (FHandOverFirst) Synchronize([this] { HandedOver = true; });
    Answer = SendMessage(FTarget, WM_USER, 21, 0);
  }

private:
  HWND FTarget;
  bool FHandOverFirst;
};

TEST_F(WindowTest, WaitsOfTheUiThreadServeMessagesSentByTheThreadWaitedFor) {
  HWND h = Top(0, 0, 10, 10, WS_POPUP);
  std::thread::id handledOn;
  Handlers()[h] = [&](HWND, UINT m, WPARAM w, LPARAM, bool& handled) -> LRESULT {
    if (m != WM_USER) return 0;
    handled = true;
    handledOn = std::this_thread::get_id();
    return LRESULT(w * 2);
  };
  for (bool handOverFirst : {false, true}) {
    SCOPED_TRACE(handOverFirst ? "after a hand-over" : "send only");
    handledOn = {};
    TSendingThread t(h, handOverFirst);
    t.Start();
    EXPECT_EQ(t.WaitFor(), 0);
    EXPECT_EQ(t.Answer.load(), 42);
    EXPECT_EQ(t.HandedOver.load(), handOverFirst);
    EXPECT_EQ(handledOn, std::this_thread::get_id());
  }
}

TEST_F(WindowTest, TheDestructorOfAThreadServesItsSendWhileItWaits) {
  HWND h = Top(0, 0, 10, 10, WS_POPUP);
  std::atomic<bool> entered{false};
  Handlers()[h] = [&](HWND, UINT m, WPARAM w, LPARAM, bool& handled) -> LRESULT {
    if (m != WM_USER) return 0;
    handled = true;
    return LRESULT(w + 1);
  };
  LRESULT answer = 0;
  {
    class TWorker : public TThread {
    public:
      TWorker(HWND h, LRESULT* out, std::atomic<bool>* entered) : TThread(true), h_(h), out_(out), entered_(entered) {}
      ~TWorker() override { Terminate(); }
    protected:
      void Execute() override {
        *entered_ = true;
        *out_ = SendMessage(h_, WM_USER, 6, 0);
      }
    private:
      HWND h_;
      LRESULT* out_;
      std::atomic<bool>* entered_;
    };
    TWorker t(h, &answer, &entered);
    t.Start();
    while (!entered) std::this_thread::yield();
    // Leaving the scope destroys the thread object, whose wait must serve the send.
  }
  EXPECT_EQ(answer, 7);
}

TEST_F(WindowTest, WorkersEndingTheirQueuesLeaveTheUiThreadsWindowsAlone) {
  HWND h = Top(0, 0, 10, 10, WS_POPUP);
  std::atomic<int> served{0};
  Handlers()[h] = [&](HWND, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
    if (m == WM_USER) {
      handled = true;
      ++served;
    }
    return 0;
  };
  constexpr int kWorkers = 8;
  std::atomic<bool> allEnded{false};
  // The joiner knows when every worker has ended, thread-local guards included.
  std::thread joiner([&] {
    std::vector<std::thread> workers;
    for (int i = 0; i < kWorkers; ++i) workers.emplace_back([h] { SendMessage(h, WM_USER, 0, 0); });
    for (auto& w : workers) w.join();
    allEnded = true;
  });
  int created = 0;
  while (!allEnded || created < 16) {
    HWND t = CreateWindowEx(0, "TestWnd", "", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(t);
    ++created;
    ServeCrossThreadCalls();
    DestroyWindow(t);
    ServeCrossThreadCalls();
  }
  joiner.join();
  EXPECT_EQ(served.load(), kWorkers);
  EXPECT_TRUE(IsWindow(h));
}

}  // namespace
}  // namespace wintest
