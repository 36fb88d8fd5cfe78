#pragma once
// Change notification for one folder over inotify, in the shape of the platform's change handles:
// arm a folder with a filter, then wait for a change that passes the filter or for a wake-up.
#include <memory>
#include <string>

#include "platform/WinTypes.h"

namespace win {

constexpr DWORD FILE_NOTIFY_CHANGE_FILE_NAME = 0x1, FILE_NOTIFY_CHANGE_DIR_NAME = 0x2,
                FILE_NOTIFY_CHANGE_ATTRIBUTES = 0x4, FILE_NOTIFY_CHANGE_SIZE = 0x8,
                FILE_NOTIFY_CHANGE_LAST_WRITE = 0x10, FILE_NOTIFY_CHANGE_SECURITY = 0x100;

namespace shell {

// A wake-up that a waiting ChangeWatch sees (an eventfd). Signal may come from any thread.
class WakeEvent {
 public:
  WakeEvent();
  ~WakeEvent();
  WakeEvent(const WakeEvent&) = delete;
  WakeEvent& operator=(const WakeEvent&) = delete;
  bool Valid() const { return fd_ >= 0; }
  void Signal();
  // Consumes the signals given so far.
  void Clear();
  int Fd() const { return fd_; }

 private:
  int fd_;
};

class ChangeWatch {
 public:
  // Arms the folder (and with `subtree` every folder below it, up to the watch limit, following
  // folders made later). Valid() is false when the folder cannot be watched.
  ChangeWatch(const std::string& dir, bool subtree, DWORD filter);
  ~ChangeWatch();
  ChangeWatch(const ChangeWatch&) = delete;
  ChangeWatch& operator=(const ChangeWatch&) = delete;
  bool Valid() const;

  enum Result { Changed, Woken, Failed };
  // Waits for a change that passes the filter (the change is checked first, so it wins over a
  // wake-up given at the same moment) and drains what is pending with it, so that a burst of
  // changes, and the two halves of a rename, count once. Changes that do not pass the filter are
  // drained silently. Woken: `wake` was signalled (it is not cleared here).
  Result Wait(const WakeEvent& wake);
  // Drains what is pending without waiting; true when a change among it passes the filter.
  bool Pending();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace shell
}  // namespace win
