#pragma once
// Holds a list's or collection's changes for one scope: BeginUpdate now, EndUpdate when the
// scope ends, however it ends.
#include <exception>

template <typename T>
class TUpdateGuard {
public:
  explicit TUpdateGuard(T& Target) : FTarget(Target), FUncaught(std::uncaught_exceptions()) { FTarget.BeginUpdate(); }
  // EndUpdate reports the held changes and may raise; while another exception is on its way
  // out, that one is the failure the caller sees.
  ~TUpdateGuard() noexcept(false) {
    if (std::uncaught_exceptions() == FUncaught) {
      FTarget.EndUpdate();
      return;
    }
    try {
      FTarget.EndUpdate();
    } catch (...) {
    }
  }
  TUpdateGuard(const TUpdateGuard&) = delete;
  TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
  T& FTarget;
  int FUncaught;
};
