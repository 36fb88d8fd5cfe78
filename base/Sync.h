#pragma once
// Locks and events for threads. Every critical section is recursive: the same thread may enter
// it again (some callers re-enter on the same thread through callbacks).
// Waits use real time (std::chrono::steady_clock), not the replaceable clock of base/Clock.h:
// a stepped clock must never make a thread wait forever.
#include <condition_variable>
#include <cstdint>
#include <mutex>

constexpr uint32_t INFINITE = 0xFFFFFFFFu;

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

class TCriticalSection {
public:
  TCriticalSection() = default;
  TCriticalSection(const TCriticalSection&) = delete;
  TCriticalSection& operator=(const TCriticalSection&) = delete;

  void Enter() { m_.lock(); }
  void Leave() { m_.unlock(); }
  bool TryEnter() { return m_.try_lock(); }
  void Acquire() { Enter(); }
  void Release() { Leave(); }
  // For std::lock_guard / std::unique_lock.
  void lock() { Enter(); }
  void unlock() { Leave(); }
  bool try_lock() { return TryEnter(); }

private:
  std::recursive_mutex m_;
};

// Holds a critical section for the life of a scope.
class TCriticalSectionGuard {
public:
  explicit TCriticalSectionGuard(TCriticalSection& cs) : cs_(cs) { cs_.Enter(); }
  ~TCriticalSectionGuard() { cs_.Leave(); }
  TCriticalSectionGuard(const TCriticalSectionGuard&) = delete;
  TCriticalSectionGuard& operator=(const TCriticalSectionGuard&) = delete;

private:
  TCriticalSection& cs_;
};

// An event that threads wait for. With manual reset it stays signalled until ResetEvent and
// releases every waiter; with automatic reset one successful wait consumes the signal.
class TEvent {
public:
  explicit TEvent(bool ManualReset = true, bool InitialState = false)
      : manualReset_(ManualReset), signaled_(InitialState) {}
  TEvent(const TEvent&) = delete;
  TEvent& operator=(const TEvent&) = delete;

  void SetEvent();
  void ResetEvent();
  // Waits at most `Timeout` milliseconds (INFINITE: without limit; 0: only looks).
  TWaitResult WaitFor(uint32_t Timeout = INFINITE);
  // The state without waiting or consuming it.
  bool IsSet();

private:
  std::mutex m_;
  std::condition_variable cv_;
  const bool manualReset_;
  bool signaled_;
};

// A manual-reset event that starts unsignalled.
class TSimpleEvent : public TEvent {
public:
  TSimpleEvent() : TEvent(true, false) {}
};
