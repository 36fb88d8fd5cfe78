#include "platform/shell/Environment.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <sstream>

namespace win::shell {

namespace {

std::string Env(const char* name) {
  const char* v = getenv(name);
  return v ? std::string(v) : std::string();
}

struct State {
  std::optional<Environment> env;
  std::optional<std::vector<Volume>> volumes;
};

State& TheState() {
  static State s;
  return s;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool IsDir(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// mountinfo escapes space, tab, newline and backslash as \ooo.
std::string Unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() + 0 && s[i + 1] >= '0' && s[i + 1] <= '3' && s[i + 2] >= '0' &&
        s[i + 2] <= '7' && s[i + 3] >= '0' && s[i + 3] <= '7') {
      out += char((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
      i += 3;
    } else {
      out += s[i];
    }
  }
  return out;
}

// The by-label links escape bytes as \xHH.
std::string UnescapeHex(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() + 0 && s[i + 1] == 'x' && isxdigit((unsigned char)s[i + 2]) &&
        isxdigit((unsigned char)s[i + 3])) {
      out += char(std::stoi(s.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      out += s[i];
    }
  }
  return out;
}

bool StartsWithDir(const std::string& path, const std::string& dir) {
  if (path.compare(0, dir.size(), dir) != 0) return false;
  return path.size() == dir.size() || path[dir.size()] == '/';
}

const std::set<std::string>& PseudoTypes() {
  static const std::set<std::string> s = {
      "proc",     "sysfs",     "devtmpfs",    "devpts",      "cgroup",   "cgroup2",  "securityfs",
      "pstore",   "bpf",       "debugfs",     "tracefs",     "mqueue",   "hugetlbfs", "configfs",
      "fusectl",  "binfmt_misc", "autofs",    "nsfs",        "rpc_pipefs", "efivarfs", "selinuxfs",
      "fuse.gvfsd-fuse", "fuse.portal"};
  return s;
}

const std::set<std::string>& RemoteTypes() {
  static const std::set<std::string> s = {"nfs",        "nfs4", "cifs",      "smb3",  "smbfs", "fuse.sshfs",
                                          "9p",         "ceph", "glusterfs", "davfs", "fuse.davfs2",
                                          "fuse.glusterfs"};
  return s;
}

std::string BaseName(const std::string& path) {
  if (path == "/") return "/";
  size_t p = path.rfind('/');
  return p == std::string::npos ? path : path.substr(p + 1);
}

// The removable flag of a block device from sysfs, or of the disk it is a partition of.
bool RemovableDevice(const Environment& env, const std::string& majMin) {
  std::string dev = env.sysRoot + "/dev/block/" + majMin;
  for (const char* rel : {"/removable", "/../removable"}) {
    std::string v = ReadFile(dev + rel);
    if (!v.empty()) return v[0] == '1';
  }
  return false;
}

std::string LabelOf(const Environment& env, const std::string& source) {
  if (source.rfind("/dev/", 0) != 0) return {};
  char real[PATH_MAX];
  const std::string want = NormalizePath(source);
  const std::string wantReal = realpath(source.c_str(), real) ? std::string(real) : want;
  DIR* d = opendir(env.byLabel.c_str());
  if (!d) return {};
  std::string found;
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] == '.') continue;
    std::string link = env.byLabel + "/" + e->d_name;
    char target[PATH_MAX];
    ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
    if (n <= 0) continue;
    std::string t(target, size_t(n));
    t = NormalizePath(t[0] == '/' ? t : env.byLabel + "/" + t);
    char resolved[PATH_MAX];
    std::string tReal = realpath(t.c_str(), resolved) ? std::string(resolved) : t;
    if (t == want || tReal == wantReal) {
      found = UnescapeHex(e->d_name);
      break;
    }
  }
  closedir(d);
  return found;
}

}  // namespace

Environment ProcessEnvironment() {
  Environment e;
  e.home = Env("HOME");
  if (e.home.empty()) e.home = "/";
  e.configHome = Env("XDG_CONFIG_HOME");
  if (e.configHome.empty() || e.configHome[0] != '/') e.configHome = e.home + "/.config";
  e.dataHome = Env("XDG_DATA_HOME");
  if (e.dataHome.empty() || e.dataHome[0] != '/') e.dataHome = e.home + "/.local/share";
  e.mountInfo = "/proc/self/mountinfo";
  e.sysRoot = "/sys";
  e.byLabel = "/dev/disk/by-label";
  return e;
}

const Environment& CurrentEnvironment() {
  State& s = TheState();
  if (!s.env) s.env = ProcessEnvironment();
  return *s.env;
}

void SetEnvironment(const Environment& env) {
  TheState().env = env;
  TheState().volumes.reset();
}

void ResetEnvironment() {
  TheState().env.reset();
  TheState().volumes.reset();
}

std::vector<Volume> ParseMountInfo(const std::string& text, const Environment& env) {
  std::vector<Volume> out;
  std::optional<Volume> root;
  std::set<std::string> seenMounts, seenDevices;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream f(line);
    std::vector<std::string> fields;
    std::string w;
    while (f >> w) fields.push_back(w);
    // id parent maj:min root mountpoint options [optional...] - fstype source superoptions
    size_t dash = 0;
    for (size_t i = 6; i < fields.size(); ++i)
      if (fields[i] == "-") {
        dash = i;
        break;
      }
    if (dash == 0 || dash + 2 >= fields.size()) continue;
    const std::string majMin = fields[2];
    const std::string subRoot = Unescape(fields[3]);
    Volume v;
    v.mountPoint = Unescape(fields[4]);
    v.fsType = fields[dash + 1];
    v.source = Unescape(fields[dash + 2]);
    if (v.mountPoint.empty() || v.mountPoint[0] != '/') continue;
    if (v.mountPoint.size() > 1 && v.mountPoint.back() == '/') v.mountPoint.pop_back();

    const bool isRoot = v.mountPoint == "/";
    const bool remote = RemoteTypes().count(v.fsType) > 0;
    if (!isRoot) {
      if (PseudoTypes().count(v.fsType)) continue;
      if (v.fsType == "squashfs" && StartsWithDir(v.mountPoint, "/snap")) continue;
      if ((v.fsType == "tmpfs" || v.fsType == "ramfs") &&
          (StartsWithDir(v.mountPoint, "/run") || StartsWithDir(v.mountPoint, "/dev") ||
           StartsWithDir(v.mountPoint, "/sys") || StartsWithDir(v.mountPoint, "/proc")))
        continue;
      // A bind mount of part of a file system (also of single files, as containers do).
      if (!remote && subRoot != "/") continue;
      const bool blockDevice = v.source.rfind("/dev/", 0) == 0;
      const bool userPlace = StartsWithDir(v.mountPoint, "/media") || StartsWithDir(v.mountPoint, "/run/media") ||
                             StartsWithDir(v.mountPoint, "/mnt") || StartsWithDir(v.mountPoint, "/home");
      const bool ram = v.fsType == "tmpfs" || v.fsType == "ramfs";
      if (!remote && !blockDevice && !userPlace && !ram) continue;
      if (!remote && blockDevice && !seenDevices.insert(majMin).second) continue;  // a duplicate bind mount
    }
    if (!seenMounts.insert(v.mountPoint).second) {
      // Mounted over an earlier mount: the later one is what the path shows.
      for (auto it = out.begin(); it != out.end(); ++it)
        if (it->mountPoint == v.mountPoint) {
          out.erase(it);
          break;
        }
    }

    if (v.fsType == "iso9660" || v.fsType == "udf" || v.source.rfind("/dev/sr", 0) == 0)
      v.kind = DriveKind::Cdrom;
    else if (remote)
      v.kind = DriveKind::Remote;
    else if (v.fsType == "tmpfs" || v.fsType == "ramfs")
      v.kind = DriveKind::Ram;
    else if (v.source.rfind("/dev/", 0) == 0 && RemovableDevice(env, majMin))
      v.kind = DriveKind::Removable;
    else
      v.kind = DriveKind::Fixed;
    if (isRoot) v.kind = remote ? DriveKind::Remote : (v.kind == DriveKind::Ram ? DriveKind::Fixed : v.kind);

    v.label = remote ? std::string() : LabelOf(env, v.source);
    if (v.label.empty()) v.label = BaseName(v.mountPoint);
    if (isRoot)
      root = v;
    else
      out.push_back(v);
  }
  if (!root) {
    root = Volume{};
    root->mountPoint = "/";
    root->label = "/";
  }
  out.insert(out.begin(), *root);
  return out;
}

const std::vector<Volume>& Volumes() {
  State& s = TheState();
  if (!s.volumes) {
    const Environment& env = CurrentEnvironment();
    s.volumes = ParseMountInfo(ReadFile(env.mountInfo), env);
  }
  return *s.volumes;
}

void InvalidateVolumes() { TheState().volumes.reset(); }

const Volume* VolumeOf(const std::string& path) {
  const Volume* best = nullptr;
  for (const Volume& v : Volumes())
    if (StartsWithDir(path, v.mountPoint) || v.mountPoint == "/")
      if (!best || v.mountPoint.size() > best->mountPoint.size()) best = &v;
  return best;
}

namespace {

const char* const kUserKeys[] = {"DESKTOP", "DOCUMENTS", "DOWNLOAD", "MUSIC", "PICTURES", "VIDEOS", "TEMPLATES",
                                 "PUBLICSHARE"};

// XDG_<KEY>_DIR="$HOME/..." or "/abs" lines; anything else is ignored, as xdg-user-dirs does.
std::string UserDirFromFile(const std::string& key) {
  const Environment& env = CurrentEnvironment();
  std::istringstream lines(ReadFile(env.configHome + "/user-dirs.dirs"));
  std::string line, value;
  const std::string prefix = "XDG_" + key + "_DIR=";
  bool found = false;
  while (std::getline(lines, line)) {
    size_t b = line.find_first_not_of(" \t");
    if (b == std::string::npos || line[b] == '#') continue;
    if (line.compare(b, prefix.size(), prefix) != 0) continue;
    std::string v = line.substr(b + prefix.size());
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r')) v.pop_back();
    if (v.size() < 2 || v.front() != '"' || v.back() != '"') continue;
    v = v.substr(1, v.size() - 2);
    std::string unq;
    for (size_t i = 0; i < v.size(); ++i) {
      if (v[i] == '\\' && i + 1 < v.size()) ++i;
      unq += v[i];
    }
    if (unq.rfind("$HOME", 0) == 0 && (unq.size() == 5 || unq[5] == '/'))
      value = env.home + unq.substr(5);
    else if (!unq.empty() && unq[0] == '/')
      value = unq;
    else
      continue;
    found = true;
  }
  return found ? NormalizePath(value) : std::string();
}

}  // namespace

std::string UserFolderPath(const std::string& key) {
  std::string p = UserDirFromFile(key);
  if (!p.empty()) return p;
  const std::string& home = CurrentEnvironment().home;
  if (key == "DESKTOP") return NormalizePath(home + "/Desktop");
  if (key == "DOCUMENTS") return NormalizePath(home);
  return {};
}

std::vector<UserFolder> UserFolders() {
  std::vector<UserFolder> out;
  const std::string home = NormalizePath(CurrentEnvironment().home);
  for (const char* key : kUserKeys) {
    std::string p = UserDirFromFile(key);
    if (p.empty() && std::string(key) == "DESKTOP") p = NormalizePath(home + "/Desktop");
    if (p.empty() || p == home || !IsDir(p)) continue;
    bool dup = false;
    for (const UserFolder& u : out) dup = dup || u.path == p;
    if (!dup) out.push_back({key, p});
  }
  return out;
}

std::string NormalizePath(const std::string& path) {
  if (path.empty() || path[0] != '/') return {};
  std::vector<std::string> parts;
  size_t i = 0;
  while (i < path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string::npos) j = path.size();
    std::string c = path.substr(i, j - i);
    if (c.empty() || c == ".") {
    } else if (c == "..") {
      if (!parts.empty()) parts.pop_back();
    } else {
      parts.push_back(c);
    }
    i = j + 1;
  }
  std::string out;
  for (const std::string& c : parts) out += "/" + c;
  return out.empty() ? "/" : out;
}

}  // namespace win::shell
