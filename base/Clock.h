#pragma once
// The one clock behind GetTickCount, Sleep and every timer of the program. Tests replace it with
// a TSteppedClock so that anything measured in GetTickCount steps is deterministic.
#include <atomic>
#include <cstdint>

class IClock {
public:
  virtual ~IClock() = default;
  // Milliseconds since an arbitrary start; never goes backwards.
  virtual uint64_t NowMs() = 0;
  virtual void Sleep(uint32_t ms) = 0;
};

// Installs `clock` for the whole process and answers the one it replaces; nullptr puts the
// system clock back. The caller keeps ownership and must keep the clock alive while installed.
IClock* SetClock(IClock* clock);
IClock& CurrentClock();

// Milliseconds of the current clock, as 32 bits that wrap after 49.7 days (compare
// differences, never absolute values) and as 64 bits that do not wrap.
uint32_t GetTickCount();
uint64_t GetTickCount64();
// Waits `ms` milliseconds of the current clock. Sleep(0) only yields the processor.
void Sleep(uint32_t ms);

// The system clock: CLOCK_MONOTONIC (milliseconds since boot, like the Windows tick count).
class TSystemClock : public IClock {
public:
  uint64_t NowMs() override;
  void Sleep(uint32_t ms) override;
};

// A clock that moves only when told. Sleep(ms) advances it by ms and returns at once (after
// yielding the processor), so a loop that sleeps until some tick count is reached runs the
// same, exactly, every time, and never waits in real time. Safe to read and advance from any
// thread.
class TSteppedClock : public IClock {
public:
  explicit TSteppedClock(uint64_t startMs = 0) : now_(startMs) {}
  uint64_t NowMs() override { return now_.load(); }
  void Sleep(uint32_t ms) override;
  void Advance(uint64_t ms) { now_.fetch_add(ms); }
  void Set(uint64_t ms) { now_.store(ms); }

private:
  std::atomic<uint64_t> now_;
};

// Installs a clock for the life of a scope (a test), and puts the previous one back.
class TScopedClock {
public:
  explicit TScopedClock(IClock* clock) : previous_(SetClock(clock)) {}
  ~TScopedClock() { SetClock(previous_); }
  TScopedClock(const TScopedClock&) = delete;
  TScopedClock& operator=(const TScopedClock&) = delete;

private:
  IClock* previous_;
};
