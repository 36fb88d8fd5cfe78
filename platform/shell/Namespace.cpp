// The namespace provider: item identifiers, the Desktop, Computer and file-system folder objects.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fmt/format.h>

#include "base/NameOrder.h"
#include "platform/shell/Environment.h"
#include "platform/shell/Internal.h"

namespace win {

void* CoTaskMemAlloc(size_t size) { return calloc(1, size == 0 ? 1 : size); }
void CoTaskMemFree(void* p) { free(p); }

namespace {
class TaskAllocator final : public IMalloc {
 public:
  void* Alloc(size_t size) override { return CoTaskMemAlloc(size); }
  void Free(void* p) override { CoTaskMemFree(p); }
};
}  // namespace

HRESULT SHGetMalloc(IMalloc** malloc) {
  static TaskAllocator allocator;
  if (!malloc) return E_INVALIDARG;
  *malloc = &allocator;
  return S_OK;
}

}  // namespace win

namespace win::shell {

const char* const kDesktopParsingName = "::{6A5C19E0-4B7D-4E38-9F21-0C8D3E5B7A01}";
const char* const kComputerParsingName = "::{6A5C19E0-4B7D-4E38-9F21-0C8D3E5B7A02}";

const Texts& ShellTexts() {
  static const Texts t;
  return t;
}

std::function<bool(const std::vector<std::string>&)>& DeleteHook() {
  static std::function<bool(const std::vector<std::string>&)> h;
  return h;
}
std::function<bool(const ItemInfo&)>& PropertiesHook() {
  static std::function<bool(const ItemInfo&)> h;
  return h;
}

void SetDeleteConfirmation(std::function<bool(const std::vector<std::string>&)> hook) { DeleteHook() = std::move(hook); }
void SetPropertiesHandler(std::function<bool(const ItemInfo&)> handler) { PropertiesHook() = std::move(handler); }

// ---- identifiers ------------------------------------------------------------------------------

bool SplitIds(LPCITEMIDLIST pidl, std::vector<Ident>* out) {
  out->clear();
  if (!pidl) return false;
  const BYTE* p = reinterpret_cast<const BYTE*>(pidl);
  for (;;) {
    USHORT cb = ItemIdCb(p);
    if (cb == 0) return true;
    if (cb < 4) return false;  // not one of ours: kind and flags are always there
    Ident id;
    id.kind = ItemKind(p[2]);
    id.flags = p[3];
    id.text.assign(reinterpret_cast<const char*>(p + 4), cb - 4);
    out->push_back(std::move(id));
    p += cb;
  }
}

LPITEMIDLIST BuildIds(const std::vector<Ident>& ids) {
  size_t size = 2;
  for (const Ident& id : ids) size += 4 + id.text.size();
  BYTE* p = static_cast<BYTE*>(CoTaskMemAlloc(size));
  if (!p) return nullptr;
  BYTE* q = p;
  for (const Ident& id : ids) {
    SetItemIdCb(q, USHORT(4 + id.text.size()));
    q[2] = BYTE(id.kind);
    q[3] = id.flags;
    memcpy(q + 4, id.text.data(), id.text.size());
    q += 4 + id.text.size();
  }
  SetItemIdCb(q, 0);
  return reinterpret_cast<LPITEMIDLIST>(p);
}

size_t IdListSize(LPCITEMIDLIST pidl) {
  if (!pidl) return 0;
  const BYTE* p = reinterpret_cast<const BYTE*>(pidl);
  size_t n = 0;
  while (USHORT cb = ItemIdCb(p + n)) n += cb;
  return n + 2;
}

LPITEMIDLIST IdListFromBytes(const void* bytes, size_t size) {
  void* p = CoTaskMemAlloc(size);
  if (p) memcpy(p, bytes, size);
  return static_cast<LPITEMIDLIST>(p);
}

std::vector<std::string> IdPayloads(LPCITEMIDLIST pidl) {
  std::vector<std::string> out;
  const BYTE* p = reinterpret_cast<const BYTE*>(pidl);
  if (!p) return out;
  while (USHORT cb = ItemIdCb(p)) {
    out.emplace_back(reinterpret_cast<const char*>(p + 2), cb >= 2 ? cb - 2 : 0);
    p += cb;
  }
  return out;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty() || dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

bool Resolve(const std::vector<Ident>& ids, Resolved* r) {
  *r = Resolved{};
  if (ids.empty()) {
    r->what = Resolved::Desktop;
    return true;
  }
  const Ident& first = ids[0];
  size_t i = 1;
  switch (first.kind) {
    case ItemKind::Computer:
      if (ids.size() == 1) {
        r->what = Resolved::Computer;
        return true;
      }
      if (ids[1].kind != ItemKind::Volume) return false;
      r->path = ids[1].text;
      r->volumeKind = DriveKind(ids[1].flags >> 4);
      r->top = ItemKind::Volume;
      i = 2;
      break;
    case ItemKind::Home:
    case ItemKind::UserFolder:
      r->path = first.text;
      r->top = first.kind;
      break;
    default:
      return false;
  }
  if (r->path.empty() || r->path[0] != '/') return false;
  for (; i < ids.size(); ++i) {
    const Ident& id = ids[i];
    if (id.kind != ItemKind::FsDir && id.kind != ItemKind::FsFile) return false;
    if (id.text.empty() || id.text == "." || id.text == ".." || id.text.find('/') != std::string::npos ||
        id.text.find('\0') != std::string::npos)
      return false;
    r->path = JoinPath(r->path, id.text);
  }
  r->what = Resolved::Fs;
  r->last = ids.back();
  r->depth = ids.size();
  return true;
}

bool ResolveList(LPCITEMIDLIST pidl, Resolved* r) {
  std::vector<Ident> ids;
  return SplitIds(pidl, &ids) && Resolve(ids, r);
}

bool PathOfIdList(LPCITEMIDLIST pidl, std::string* path) {
  Resolved r;
  if (!ResolveList(pidl, &r) || r.what != Resolved::Fs) {
    if (path) path->clear();
    return false;
  }
  if (path) *path = r.path;
  return true;
}

Ident FsIdent(const std::string& name, const struct stat& st, bool link) {
  Ident id;
  id.kind = S_ISDIR(st.st_mode) ? ItemKind::FsDir : ItemKind::FsFile;
  id.text = name;
  id.flags = BYTE((name.size() > 0 && name[0] == '.' ? kItemHidden : 0) | (link ? kItemLink : 0));
  return id;
}

Ident VolumeIdent(const Volume& v) {
  Ident id;
  id.kind = ItemKind::Volume;
  id.text = v.mountPoint;
  id.flags = BYTE(BYTE(v.kind) << 4);
  return id;
}

// ---- names and order --------------------------------------------------------------------------

std::string NormalName(const Ident& id) {
  switch (id.kind) {
    case ItemKind::Computer: return ShellTexts().computer;
    case ItemKind::Home: return ShellTexts().home;
    case ItemKind::UserFolder: {
      size_t p = id.text.rfind('/');
      return p == std::string::npos ? id.text : id.text.substr(p + 1);
    }
    case ItemKind::Volume:
      for (const Volume& v : Volumes())
        if (v.mountPoint == id.text) return v.label;
      return id.text == "/" ? "/" : id.text.substr(id.text.rfind('/') + 1);
    default: return id.text;
  }
}

namespace {

int KindRank(const Ident& id) {
  switch (id.kind) {
    case ItemKind::Computer: return 0;
    case ItemKind::Home: return 1;
    case ItemKind::UserFolder: return 2;
    case ItemKind::Volume: return 3;
    case ItemKind::FsDir: return 4;
    default: return 5;
  }
}

int UserFolderRank(const std::string& path) {
  std::vector<UserFolder> folders = UserFolders();
  for (size_t i = 0; i < folders.size(); ++i)
    if (folders[i].path == path) return int(i);
  return int(folders.size());
}

int VolumeRank(const std::string& mountPoint) {
  const std::vector<Volume>& vols = Volumes();
  for (size_t i = 0; i < vols.size(); ++i)
    if (vols[i].mountPoint == mountPoint) return int(i);
  return int(vols.size());
}

}  // namespace

// Identity first (the same virtual item, or equal normalised paths), then the shell order of the
// last identifiers: virtual items in their fixed order, folders before files,
// names in the name order (base/NameOrder.h).
int CompareResolved(const Resolved& a, const Resolved& b) {
  if (a.what != b.what) return a.what < b.what ? -1 : 1;
  if (a.what != Resolved::Fs) return 0;
  if (NormalizePath(a.path) == NormalizePath(b.path)) return 0;
  int ra = KindRank(a.last), rb = KindRank(b.last);
  if (ra != rb) return ra < rb ? -1 : 1;
  if (a.last.kind == ItemKind::UserFolder) {
    int ua = UserFolderRank(a.last.text), ub = UserFolderRank(b.last.text);
    if (ua != ub) return ua < ub ? -1 : 1;
  }
  if (a.last.kind == ItemKind::Volume) {
    int va = VolumeRank(a.last.text), vb = VolumeRank(b.last.text);
    if (va != vb) return va < vb ? -1 : 1;
  }
  int c = CompareNames(NormalName(a.last), NormalName(b.last));
  if (c != 0) return c;
  c = a.last.text.compare(b.last.text);
  if (c != 0) return c < 0 ? -1 : 1;
  c = a.path.compare(b.path);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

HRESULT OrderResult(int order) { return HRESULT(uint16_t(int16_t(order))); }

// ---- attributes -------------------------------------------------------------------------------

namespace {

bool HasSubFolder(const std::string& dir) {
  DIR* d = opendir(dir.c_str());
  if (!d) return false;
  bool found = false;
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] == '.') continue;
    if (e->d_type == DT_DIR) {
      found = true;
    } else if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat st {};
      found = stat(JoinPath(dir, e->d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    if (found) break;
  }
  closedir(d);
  return found;
}

std::string ParentOf(const std::string& path) {
  size_t p = path.rfind('/');
  if (p == std::string::npos) return ".";
  return p == 0 ? "/" : path.substr(0, p);
}

}  // namespace

ULONG AttributesOf(const Resolved& r) {
  switch (r.what) {
    case Resolved::Desktop: return SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
    case Resolved::Computer: return SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSANCESTOR;
    case Resolved::Fs: break;
  }
  const Volume* vol = VolumeOf(r.path);
  const bool remote = vol && vol->kind == DriveKind::Remote;
  struct stat st {};
  struct stat lst {};
  const bool exists = stat(r.path.c_str(), &st) == 0;
  const bool isLink = lstat(r.path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode);
  ULONG a = SFGAO_FILESYSTEM | SFGAO_CANLINK | SFGAO_HASPROPSHEET;
  const bool dir = exists ? S_ISDIR(st.st_mode) : r.last.kind != ItemKind::FsFile;
  if (dir) a |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR;
  if (dir && (remote || HasSubFolder(r.path))) a |= SFGAO_HASSUBFOLDER;
  if (isLink) a |= SFGAO_LINK;
  if (access(r.path.c_str(), W_OK) != 0) a |= SFGAO_READONLY;
  else if (dir) a |= SFGAO_DROPTARGET;
  if (access(r.path.c_str(), R_OK) == 0) a |= SFGAO_CANCOPY;
  if (r.last.kind == ItemKind::FsDir || r.last.kind == ItemKind::FsFile) {
    if (r.last.text[0] == '.') a |= SFGAO_GHOSTED;
    if (access(ParentOf(r.path).c_str(), W_OK) == 0) a |= SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_CANMOVE;
  }
  if (vol && (vol->kind == DriveKind::Removable || vol->kind == DriveKind::Cdrom)) a |= SFGAO_REMOVABLE;
  return a;
}

// ---- detail texts -----------------------------------------------------------------------------

std::string DateTimeText(time_t t, bool seconds) {
  struct tm tm {};
  localtime_r(&t, &tm);
  return seconds ? fmt::format("{:04}-{:02}-{:02} {:02}:{:02}:{:02}", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                               tm.tm_hour, tm.tm_min, tm.tm_sec)
                 : fmt::format("{:04}-{:02}-{:02} {:02}:{:02}", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                               tm.tm_hour, tm.tm_min);
}

std::string SizeText(uint64_t bytes) {
  if (bytes == 0) return "0 KB";
  uint64_t kb = (bytes + 1023) / 1024;
  std::string digits = std::to_string(kb), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out + " KB";
}

std::string LargeSizeText(uint64_t bytes) {
  const char* units[] = {"bytes", "KB", "MB", "GB", "TB"};
  double v = double(bytes);
  int u = 0;
  while (v >= 1024 && u < 4) {
    v /= 1024;
    ++u;
  }
  return u == 0 ? fmt::format("{} {}", bytes, units[0]) : fmt::format("{:.1f} {}", v, units[u]);
}

std::string TypeText(const Resolved& r) {
  const Texts& t = ShellTexts();
  switch (r.what) {
    case Resolved::Desktop:
    case Resolved::Computer: return t.folderType;
    case Resolved::Fs: break;
  }
  if (r.depth == 1 || (r.top == ItemKind::Volume && r.depth == 2 && r.last.kind == ItemKind::Volume)) {
    if (r.last.kind == ItemKind::Volume) return t.driveTypes[int(r.volumeKind) % 5];
    return t.folderType;
  }
  if (r.last.kind == ItemKind::FsDir) return t.folderType;
  size_t dot = r.last.text.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == r.last.text.size()) return t.fileType;
  std::string ext = r.last.text.substr(dot + 1);
  for (char& c : ext) c = char(toupper((unsigned char)c));
  return ext + t.fileTypeSuffix;
}

std::string AttributeText(const Resolved& r) {
  std::string s;
  if (r.what != Resolved::Fs) return s;
  if (access(r.path.c_str(), W_OK) != 0) s += 'R';
  if (r.last.text.size() > 0 && r.last.text[0] == '.') s += 'H';
  struct stat lst {};
  if (lstat(r.path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) s += 'L';
  return s;
}

}  // namespace win::shell
