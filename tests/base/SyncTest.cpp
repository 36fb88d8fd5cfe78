#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "base/Sync.h"

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads) {
  TCriticalSection cs;
  cs.Enter();
  EXPECT_TRUE(cs.TryEnter());  // the same thread enters again
  std::atomic<bool> otherGotIt{true};
  std::thread([&] { otherGotIt = cs.TryEnter(); }).join();
  EXPECT_FALSE(otherGotIt);
  cs.Leave();
  cs.Leave();
  std::thread([&] {
    otherGotIt = cs.TryEnter();
    if (otherGotIt) cs.Leave();
  }).join();
  EXPECT_TRUE(otherGotIt);

  int counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 1000; ++i) {
        TCriticalSectionGuard outer(cs);
        std::lock_guard<TCriticalSection> inner(cs);
        ++counter;
      }
    });
  for (auto& th : threads) th.join();
  EXPECT_EQ(counter, 4000);
}

TEST(Event, ManualResetStaysSignalledUntilReset) {
  TEvent ev(true, false);
  EXPECT_EQ(ev.WaitFor(0), wrTimeout);
  EXPECT_EQ(ev.WaitFor(5), wrTimeout);
  ev.SetEvent();
  EXPECT_EQ(ev.WaitFor(0), wrSignaled);
  EXPECT_EQ(ev.WaitFor(INFINITE), wrSignaled);
  ev.ResetEvent();
  EXPECT_FALSE(ev.IsSet());
  EXPECT_EQ(ev.WaitFor(0), wrTimeout);
  TSimpleEvent simple;
  EXPECT_EQ(simple.WaitFor(0), wrTimeout);
  TEvent initiallySet(true, true);
  EXPECT_EQ(initiallySet.WaitFor(0), wrSignaled);
}

TEST(Event, AutomaticResetReleasesOneWaitPerSignal) {
  TEvent ev(false, true);
  EXPECT_EQ(ev.WaitFor(0), wrSignaled);
  EXPECT_EQ(ev.WaitFor(0), wrTimeout);  // consumed

  // Each signal lets one waiter through; signals given while no one waits do not add up,
  // so keep signalling until both waiters are out.
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 2; ++i)
    waiters.emplace_back([&] {
      if (ev.WaitFor(INFINITE) == wrSignaled) ++released;
    });
  while (released < 2) {
    ev.SetEvent();
    std::this_thread::yield();
  }
  for (auto& w : waiters) w.join();
  EXPECT_EQ(released, 2);
  ev.ResetEvent();
  ev.SetEvent();
  ev.SetEvent();
  EXPECT_EQ(ev.WaitFor(0), wrSignaled);
  EXPECT_EQ(ev.WaitFor(0), wrTimeout);
}

TEST(Event, ManualResetReleasesEveryWaiter) {
  TSimpleEvent ev;
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i)
    waiters.emplace_back([&] {
      if (ev.WaitFor(INFINITE) == wrSignaled) ++released;
    });
  ev.SetEvent();
  for (auto& w : waiters) w.join();
  EXPECT_EQ(released, 3);
  EXPECT_TRUE(ev.IsSet());
}

TEST(Event, MayBeFreedAsSoonAsAWaitReturns) {
  // The waiter owns the event and frees it right after its wait: SetEvent must be done with it
  // by then (a race checker reports the fault; without one it can corrupt memory).
  for (int i = 0; i < 50; ++i) {
    auto* ev = new TEvent(false, false);
    std::thread setter([ev] { ev->SetEvent(); });
    EXPECT_EQ(ev->WaitFor(INFINITE), wrSignaled);
    delete ev;
    setter.join();
  }
}
