#include "platform/shell/ChangeNotify.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <vector>

namespace win::shell {

WakeEvent::WakeEvent() : fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
WakeEvent::~WakeEvent() {
  if (fd_ >= 0) close(fd_);
}
void WakeEvent::Signal() {
  uint64_t one = 1;
  while (write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}
void WakeEvent::Clear() {
  uint64_t v;
  while (read(fd_, &v, sizeof v) < 0 && errno == EINTR) {
  }
}

namespace {
constexpr uint32_t kNameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr size_t kMaxWatches = 4096;
}  // namespace

struct ChangeWatch::Impl {
  int fd = -1;
  bool subtree = false;
  DWORD filter = 0;
  uint32_t mask = 0;
  std::map<int, std::string> dirs;  // watch descriptor -> folder

  uint32_t MaskFor(DWORD f) {
    uint32_t m = 0;
    if (f & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME)) m |= kNameEvents;
    if (f & (FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SECURITY)) m |= IN_ATTRIB;
    if (f & FILE_NOTIFY_CHANGE_SIZE) m |= IN_MODIFY;
    if (f & FILE_NOTIFY_CHANGE_LAST_WRITE) m |= IN_MODIFY | IN_CLOSE_WRITE;
    // New folders must be seen to be watched in turn.
    if (subtree) m |= IN_CREATE | IN_MOVED_TO;
    return m | IN_ONLYDIR;
  }

  bool Add(const std::string& dir) {
    if (dirs.size() >= kMaxWatches) return false;
    int wd = inotify_add_watch(fd, dir.c_str(), mask);
    if (wd < 0) return false;
    dirs[wd] = dir;
    return true;
  }

  // Watches every folder below `dir` (symbolic links are not followed); stops quietly at the limit.
  void AddTree(const std::string& dir, int depth) {
    if (depth > 64) return;
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    std::vector<std::string> subs;
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n == "." || n == "..") continue;
      std::string full = dir + (dir == "/" ? "" : "/") + n;
      bool isDir = e->d_type == DT_DIR;
      if (e->d_type == DT_UNKNOWN) {
        struct stat st {};
        isDir = lstat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
      }
      if (isDir) subs.push_back(full);
    }
    closedir(d);
    for (const std::string& s : subs) {
      if (!Add(s)) return;
      AddTree(s, depth + 1);
    }
  }

  bool Passes(const inotify_event& ev) const {
    const bool isDir = (ev.mask & IN_ISDIR) != 0;
    if (ev.mask & kNameEvents) {
      if (!isDir && (filter & FILE_NOTIFY_CHANGE_FILE_NAME)) return true;
      if (isDir && (filter & FILE_NOTIFY_CHANGE_DIR_NAME)) return true;
    }
    if ((ev.mask & IN_ATTRIB) && (filter & (FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SECURITY)))
      return true;
    if ((ev.mask & IN_MODIFY) && (filter & (FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE))) return true;
    if ((ev.mask & IN_CLOSE_WRITE) && (filter & FILE_NOTIFY_CHANGE_LAST_WRITE)) return true;
    return false;
  }

  // Reads what is pending: -1 on failure, else whether a change passed; `openMove` tells whether
  // the last passing event was the first half of a rename.
  int Drain(bool* openMove) {
    alignas(inotify_event) char buf[16384];
    bool passed = false;
    for (;;) {
      ssize_t n = read(fd, buf, sizeof buf);
      if (n < 0) {
        if (errno == EINTR) continue;
        if (errno == EAGAIN) break;
        return -1;
      }
      if (n == 0) break;
      for (char* p = buf; p < buf + n;) {
        auto* ev = reinterpret_cast<inotify_event*>(p);
        p += sizeof(inotify_event) + ev->len;
        if (ev->mask & IN_Q_OVERFLOW) {
          passed = true;  // something changed, we cannot tell what
          continue;
        }
        if (ev->mask & IN_IGNORED) {
          dirs.erase(ev->wd);
          continue;
        }
        if (subtree && (ev->mask & IN_ISDIR) && (ev->mask & (IN_CREATE | IN_MOVED_TO)) && ev->len > 0) {
          auto it = dirs.find(ev->wd);
          if (it != dirs.end()) {
            std::string full = it->second + (it->second == "/" ? "" : "/") + ev->name;
            if (Add(full)) AddTree(full, 1);
          }
        }
        if (Passes(*ev)) {
          passed = true;
          *openMove = (ev->mask & IN_MOVED_FROM) != 0;
        }
      }
    }
    return passed ? 1 : 0;
  }
};

ChangeWatch::ChangeWatch(const std::string& dir, bool subtree, DWORD filter) : impl_(std::make_unique<Impl>()) {
  impl_->subtree = subtree;
  impl_->filter = filter;
  impl_->mask = impl_->MaskFor(filter);
  if (dir.empty()) return;
  impl_->fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (impl_->fd < 0) return;
  if (!impl_->Add(dir)) {
    close(impl_->fd);
    impl_->fd = -1;
    return;
  }
  if (subtree) impl_->AddTree(dir, 1);
}

ChangeWatch::~ChangeWatch() {
  if (impl_->fd >= 0) close(impl_->fd);
}

bool ChangeWatch::Valid() const { return impl_->fd >= 0; }

ChangeWatch::Result ChangeWatch::Wait(const WakeEvent& wake) {
  if (impl_->fd < 0) return Failed;
  for (;;) {
    pollfd fds[2] = {{impl_->fd, POLLIN, 0}, {wake.Fd(), POLLIN, 0}};
    int r = poll(fds, 2, -1);
    if (r < 0) {
      if (errno == EINTR) continue;
      return Failed;
    }
    if (fds[0].revents & (POLLERR | POLLNVAL)) return Failed;
    if (fds[0].revents & POLLIN) {
      bool openMove = false;
      int d = impl_->Drain(&openMove);
      if (d < 0) return Failed;
      if (d > 0) {
        // The second half of a rename follows at once: let it join this change.
        if (openMove) {
          pollfd more{impl_->fd, POLLIN, 0};
          if (poll(&more, 1, 20) > 0) impl_->Drain(&openMove);
        }
        return Changed;
      }
    }
    if (fds[1].revents & POLLIN) return Woken;
  }
}

bool ChangeWatch::Pending() {
  if (impl_->fd < 0) return false;
  bool openMove = false;
  return impl_->Drain(&openMove) > 0;
}

}  // namespace win::shell
