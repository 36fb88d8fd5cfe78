#include "base/Sync.h"

#include <chrono>

void TEvent::SetEvent() {
  // Notified under the lock: a waiter that returns may free the event at once, and must not
  // do so while this call still touches it.
  std::lock_guard<std::mutex> lock(m_);
  signaled_ = true;
  if (manualReset_)
    cv_.notify_all();
  else
    cv_.notify_one();
}

void TEvent::ResetEvent() {
  std::lock_guard<std::mutex> lock(m_);
  signaled_ = false;
}

bool TEvent::IsSet() {
  std::lock_guard<std::mutex> lock(m_);
  return signaled_;
}

TWaitResult TEvent::WaitFor(uint32_t Timeout) {
  std::unique_lock<std::mutex> lock(m_);
  auto ready = [this] { return signaled_; };
  if (Timeout == INFINITE) {
    cv_.wait(lock, ready);
  } else if (!cv_.wait_for(lock, std::chrono::milliseconds(Timeout), ready)) {
    return wrTimeout;
  }
  if (!manualReset_) signaled_ = false;
  return wrSignaled;
}
