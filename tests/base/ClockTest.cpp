#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "base/Clock.h"

TEST(Clock, SystemClockMovesForwardAndSleepWaits) {
  uint64_t start = GetTickCount64();
  Sleep(0);
  Sleep(3);
  EXPECT_GE(GetTickCount64() - start, 3u);
}

TEST(Clock, SteppedClockIsInstalledForAScopeAndWrapsAt32Bits) {
  TSteppedClock clock(0xFFFFFFF0ull);
  {
    TScopedClock use(&clock);
    EXPECT_EQ(&CurrentClock(), &clock);
    uint32_t before = GetTickCount();
    // A fade loop that steps whenever more than 5 ms have passed: deterministic on the stepped clock.
    int steps = 0;
    uint32_t last = before;
    while (steps < 4) {
      Sleep(1);
      if (GetTickCount() - last > 5) {
        ++steps;
        last = GetTickCount();
      }
    }
    EXPECT_EQ(GetTickCount64(), 0xFFFFFFF0ull + 24);
    EXPECT_EQ(GetTickCount(), 8u);  // wrapped
    EXPECT_EQ(GetTickCount() - before, 24u);
    clock.Set(5);
    EXPECT_EQ(GetTickCount(), 5u);
  }
  EXPECT_NE(&CurrentClock(), &clock);
  EXPECT_EQ(SetClock(nullptr), nullptr);  // the system clock was back in place
}

TEST(Clock, SteppedClockAdvancesFromSeveralThreads) {
  TSteppedClock clock;
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i)
    threads.emplace_back([&] {
      for (int k = 0; k < 1000; ++k) clock.Sleep(1);
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(clock.NowMs(), 4000u);
}
