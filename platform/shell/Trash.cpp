// Moving to the user's trash by the XDG trash rules: the item goes to Trash/files/<name> and a
// Trash/info/<name>.trashinfo records where it came from and when.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include <fmt/format.h>

#include "platform/shell/Environment.h"
#include "platform/shell/ShellApi.h"

namespace win {
namespace {

bool MakeDirs(const std::string& path) {
  std::string cur;
  size_t i = 0;
  while (i <= path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string::npos) j = path.size();
    cur = path.substr(0, j);
    if (!cur.empty() && mkdir(cur.c_str(), 0700) != 0 && errno != EEXIST) return false;
    i = j + 1;
  }
  return true;
}

// Every byte that is not unreserved is written as %XX, so names that are not UTF-8 survive.
std::string PercentEncode(const std::string& path) {
  std::string out;
  for (unsigned char c : path) {
    if (isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~')
      out += char(c);
    else
      out += fmt::format("%{:02X}", unsigned(c));
  }
  return out;
}

}  // namespace

int MoveToTrash(const std::string& given) {
  std::string path = shell::NormalizePath(given);
  if (path.empty() || path == "/") return EINVAL;
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return errno;
  // An item on another volume than the home trash goes to that volume's own trash
  // ($topdir/.Trash-$uid), where its path is kept relative to the volume.
  const std::string dataHome = shell::CurrentEnvironment().dataHome;
  const shell::Volume* homeVolume = shell::VolumeOf(shell::NormalizePath(dataHome));
  const shell::Volume* itemVolume = shell::VolumeOf(path);
  std::string trash = dataHome + "/Trash", recorded = path;
  if (homeVolume && itemVolume && homeVolume->mountPoint != itemVolume->mountPoint) {
    const std::string& top = itemVolume->mountPoint;
    trash = (top == "/" ? std::string() : top) + "/.Trash-" + std::to_string(getuid());
    recorded = path.substr(top == "/" ? 1 : top.size() + 1);
  }
  errno = 0;
  if (!MakeDirs(trash + "/files") || !MakeDirs(trash + "/info")) return errno ? errno : EACCES;

  const std::string base = path.substr(path.rfind('/') + 1);
  std::string name, info;
  int fd = -1;
  // The info file is made first and exclusively: it reserves the name.
  for (int n = 1; n < 10000 && fd < 0; ++n) {
    name = n == 1 ? base : fmt::format("{}.{}", base, n);
    info = trash + "/info/" + name + ".trashinfo";
    struct stat existing {};
    if (lstat((trash + "/files/" + name).c_str(), &existing) == 0) continue;
    fd = open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) return errno;
  }
  if (fd < 0) return EEXIST;
  time_t now = time(nullptr);
  struct tm tm {};
  localtime_r(&now, &tm);
  const std::string text =
      fmt::format("[Trash Info]\nPath={}\nDeletionDate={:04}-{:02}-{:02}T{:02}:{:02}:{:02}\n", PercentEncode(recorded),
                  tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  const bool written = write(fd, text.data(), text.size()) == ssize_t(text.size());
  const bool closed = close(fd) == 0;
  if (!written || !closed) {
    unlink(info.c_str());
    return EIO;
  }
  // An item that cannot be moved (a mount table that does not match the disks) stays where it is.
  if (rename(path.c_str(), (trash + "/files/" + name).c_str()) != 0) {
    int e = errno;
    unlink(info.c_str());
    return e;
  }
  return 0;
}

}  // namespace win
