#include "base/Clock.h"

#include <time.h>

#include <cerrno>

#include <thread>

namespace {

TSystemClock gSystemClock;
std::atomic<IClock*> gClock{&gSystemClock};

}  // namespace

IClock* SetClock(IClock* clock) {
  IClock* previous = gClock.exchange(clock ? clock : &gSystemClock);
  return previous == &gSystemClock ? nullptr : previous;
}

IClock& CurrentClock() { return *gClock.load(); }

uint32_t GetTickCount() { return static_cast<uint32_t>(CurrentClock().NowMs()); }

uint64_t GetTickCount64() { return CurrentClock().NowMs(); }

void Sleep(uint32_t ms) { CurrentClock().Sleep(ms); }

uint64_t TSystemClock::NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

void TSystemClock::Sleep(uint32_t ms) {
  if (ms == 0) {
    std::this_thread::yield();
    return;
  }
  timespec req{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  // Sleeps the whole time even when a signal interrupts it.
  while (clock_nanosleep(CLOCK_MONOTONIC, 0, &req, &req) == EINTR) {
  }
}

void TSteppedClock::Sleep(uint32_t ms) {
  Advance(ms);
  std::this_thread::yield();
}
