// Folder objects of the namespace, their enumerators and context menus, and the shell's entry
// points over them.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/shell/Internal.h"

namespace win::shell {
namespace {

bool ValidNewName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos && name.size() <= 255;
}

// The children of a virtual folder, made when the enumeration starts.
class ListEnum final : public IEnumIDList {
 public:
  explicit ListEnum(std::vector<Ident> items) : items_(std::move(items)) {}
  HRESULT Next(ULONG celt, LPITEMIDLIST* rgelt, ULONG* fetched) override {
    ULONG n = 0;
    while (n < celt && pos_ < items_.size()) {
      LPITEMIDLIST p = BuildIds({items_[pos_++]});
      if (!p) break;
      rgelt[n++] = p;
    }
    if (fetched) *fetched = n;
    return n == celt ? S_OK : S_FALSE;
  }

 private:
  std::vector<Ident> items_;
  size_t pos_ = 0;
};

// A directory read lazily: opened by EnumObjects, one readdir per item.
class DirEnum final : public IEnumIDList {
 public:
  DirEnum(DIR* dir, std::string path, DWORD flags) : dir_(dir), path_(std::move(path)), flags_(flags) {}
  ~DirEnum() override { closedir(dir_); }
  HRESULT Next(ULONG celt, LPITEMIDLIST* rgelt, ULONG* fetched) override {
    ULONG n = 0;
    while (n < celt) {
      dirent* e = readdir(dir_);
      if (!e) break;
      std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      if (name[0] == '.' && !(flags_ & SHCONTF_INCLUDEHIDDEN)) continue;
      const std::string full = JoinPath(path_, name);
      struct stat st {};
      bool link = e->d_type == DT_LNK;
      if (e->d_type == DT_DIR) {
        st.st_mode = S_IFDIR;
      } else if (e->d_type == DT_REG) {
        st.st_mode = S_IFREG;
      } else {
        struct stat lst {};
        if (e->d_type == DT_UNKNOWN && lstat(full.c_str(), &lst) == 0) link = S_ISLNK(lst.st_mode);
        if (stat(full.c_str(), &st) != 0) continue;  // a broken link
      }
      const bool isDir = S_ISDIR(st.st_mode);
      // FIFOs, sockets and devices are never listed: opening one would block or harm.
      if (!isDir && !S_ISREG(st.st_mode)) continue;
      if (isDir && !(flags_ & SHCONTF_FOLDERS)) continue;
      if (!isDir && !(flags_ & SHCONTF_NONFOLDERS)) continue;
      LPITEMIDLIST p = BuildIds({FsIdent(name, st, link)});
      if (!p) break;
      rgelt[n++] = p;
    }
    if (fetched) *fetched = n;
    return n == celt ? S_OK : S_FALSE;
  }

 private:
  DIR* dir_;
  std::string path_;
  DWORD flags_;
};

class NsContextMenu;

// A folder object, bound by its absolute identifiers and resolved again on every call.
class NsFolder final : public IShellFolder2, public IShellDetails {
 public:
  explicit NsFolder(std::vector<Ident> abs) : abs_(std::move(abs)) {}

  std::unique_ptr<IShellFolder> Clone() const override { return std::make_unique<NsFolder>(abs_); }
  std::unique_ptr<IShellFolder2> Clone2() const override { return std::make_unique<NsFolder>(abs_); }
  std::unique_ptr<IShellDetails> CloneDetails() const override { return std::make_unique<NsFolder>(abs_); }

  // The absolute identifiers of a list relative to this folder.
  bool Full(LPCITEMIDLIST rel, std::vector<Ident>* out) const {
    std::vector<Ident> r;
    if (!SplitIds(rel, &r)) return false;
    *out = abs_;
    out->insert(out->end(), r.begin(), r.end());
    return true;
  }
  bool ResolveRel(LPCITEMIDLIST rel, Resolved* r) const {
    std::vector<Ident> ids;
    return Full(rel, &ids) && Resolve(ids, r);
  }
  bool Self(Resolved* r) const { return Resolve(abs_, r); }

  HRESULT ParseDisplayName(HWND, const std::string& name, ULONG* eaten, LPITEMIDLIST* pidl,
                           ULONG* attributes) override {
    if (!pidl) return E_INVALIDARG;
    *pidl = nullptr;
    Resolved self;
    if (!Self(&self)) return E_FAIL;
    std::vector<Ident> ids;
    if (self.what == Resolved::Desktop) {
      if (name == kDesktopParsingName) {
        // the empty list
      } else if (name == kComputerParsingName) {
        ids.push_back({ItemKind::Computer, 0, {}});
      } else {
        std::string path = NormalizePath(name);
        if (path.empty()) return E_INVALIDARG;
        struct stat st {};
        if (stat(path.c_str(), &st) != 0) return HResultFromErrno(errno);
        const Volume* vol = VolumeOf(path);
        if (!vol) return E_FAIL;
        ids.push_back({ItemKind::Computer, 0, {}});
        ids.push_back(VolumeIdent(*vol));
        std::string rest = vol->mountPoint == "/" ? path.substr(1) : path.substr(vol->mountPoint.size());
        std::string cur = vol->mountPoint;
        size_t i = 0;
        while (i < rest.size()) {
          if (rest[i] == '/') {
            ++i;
            continue;
          }
          size_t j = rest.find('/', i);
          if (j == std::string::npos) j = rest.size();
          std::string comp = rest.substr(i, j - i);
          cur = JoinPath(cur, comp);
          struct stat cst {};
          struct stat lst {};
          if (stat(cur.c_str(), &cst) != 0) return HResultFromErrno(errno);
          bool link = lstat(cur.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode);
          ids.push_back(FsIdent(comp, cst, link));
          i = j;
        }
      }
    } else if (self.what == Resolved::Fs) {
      // A relative name below this folder.
      if (name.empty() || name[0] == '/') return E_INVALIDARG;
      std::string cur = self.path;
      size_t i = 0;
      while (i < name.size()) {
        size_t j = name.find('/', i);
        if (j == std::string::npos) j = name.size();
        std::string comp = name.substr(i, j - i);
        i = j + 1;
        if (comp.empty()) continue;
        if (comp == "." || comp == "..") return E_INVALIDARG;
        cur = JoinPath(cur, comp);
        struct stat cst {};
        struct stat lst {};
        if (stat(cur.c_str(), &cst) != 0) return HResultFromErrno(errno);
        bool link = lstat(cur.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode);
        ids.push_back(FsIdent(comp, cst, link));
      }
    } else {
      return E_INVALIDARG;
    }
    *pidl = BuildIds(ids);
    if (!*pidl) return E_OUTOFMEMORY;
    if (eaten) *eaten = ULONG(name.size());
    if (attributes) {
      Resolved r;
      std::vector<Ident> all;
      if (Full(*pidl, &all) && Resolve(all, &r)) *attributes = AttributesOf(r);
    }
    return S_OK;
  }

  HRESULT EnumObjects(HWND, DWORD flags, std::unique_ptr<IEnumIDList>* out) override {
    if (!out) return E_INVALIDARG;
    out->reset();
    Resolved self;
    if (!Self(&self)) return E_FAIL;
    std::vector<Ident> items;
    switch (self.what) {
      case Resolved::Desktop:
        if (flags & SHCONTF_FOLDERS) {
          items.push_back({ItemKind::Computer, 0, {}});
          items.push_back({ItemKind::Home, 0, NormalizePath(CurrentEnvironment().home)});
          for (const UserFolder& u : UserFolders()) items.push_back({ItemKind::UserFolder, 0, u.path});
        }
        *out = std::make_unique<ListEnum>(std::move(items));
        return S_OK;
      case Resolved::Computer:
        if (flags & SHCONTF_FOLDERS)
          for (const Volume& v : Volumes()) items.push_back(VolumeIdent(v));
        *out = std::make_unique<ListEnum>(std::move(items));
        return S_OK;
      case Resolved::Fs: {
        DIR* d = opendir(self.path.c_str());
        if (!d) return HResultFromErrno(errno);
        *out = std::make_unique<DirEnum>(d, self.path, flags);
        return S_OK;
      }
    }
    return E_FAIL;
  }

  // Binds a folder (a directory or a virtual folder) that exists now; files and vanished paths fail.
  HRESULT BindFolder(LPCITEMIDLIST pidl, std::vector<Ident>* ids) const {
    Resolved r;
    if (!Full(pidl, ids) || !Resolve(*ids, &r)) return E_INVALIDARG;
    if (r.what != Resolved::Fs) return S_OK;
    struct stat st {};
    if (stat(r.path.c_str(), &st) != 0) return HResultFromErrno(errno);
    if (!S_ISDIR(st.st_mode)) return E_INVALIDARG;
    return S_OK;
  }
  HRESULT BindToObject(LPCITEMIDLIST pidl, std::unique_ptr<IShellFolder>* out) override {
    std::vector<Ident> ids;
    HRESULT hr = BindFolder(pidl, &ids);
    if (SUCCEEDED(hr)) *out = std::make_unique<NsFolder>(std::move(ids));
    return hr;
  }
  HRESULT BindToDetails(LPCITEMIDLIST pidl, std::unique_ptr<IShellDetails>* out) override {
    std::vector<Ident> ids;
    HRESULT hr = BindFolder(pidl, &ids);
    if (SUCCEEDED(hr)) *out = std::make_unique<NsFolder>(std::move(ids));
    return hr;
  }
  HRESULT BindToFolder2(LPCITEMIDLIST pidl, std::unique_ptr<IShellFolder2>* out) override {
    std::vector<Ident> ids;
    HRESULT hr = BindFolder(pidl, &ids);
    if (SUCCEEDED(hr)) *out = std::make_unique<NsFolder>(std::move(ids));
    return hr;
  }

  HRESULT CompareIDs(LPARAM, LPCITEMIDLIST a, LPCITEMIDLIST b) override {
    Resolved ra, rb;
    if (!ResolveRel(a, &ra) || !ResolveRel(b, &rb)) return E_INVALIDARG;
    return OrderResult(CompareResolved(ra, rb));
  }

  HRESULT CreateViewObject(HWND, std::unique_ptr<IShellDetails>* out) override {
    if (out) out->reset();
    return E_NOTIMPL;
  }

  HRESULT GetAttributesOf(UINT count, const LPCITEMIDLIST* pidls, ULONG* inOut) override {
    if (!inOut) return E_INVALIDARG;
    ULONG all = 0xFFFFFFFFu;
    if (count == 0) {
      Resolved self;
      if (!Self(&self)) return E_FAIL;
      all = AttributesOf(self);
    }
    for (UINT i = 0; i < count; ++i) {
      Resolved r;
      if (!ResolveRel(pidls[i], &r)) return E_INVALIDARG;
      all &= AttributesOf(r);
    }
    *inOut = all;
    return S_OK;
  }

  HRESULT GetUIObjectOf(HWND owner, UINT count, const LPCITEMIDLIST* pidls,
                        std::unique_ptr<IContextMenu>* out) override;

  HRESULT GetUIDetailsOf(HWND, UINT, const LPCITEMIDLIST*, std::unique_ptr<IShellDetails>* out) override {
    if (out) out->reset();
    return E_NOINTERFACE;
  }

  HRESULT GetDisplayNameOf(LPCITEMIDLIST pidl, DWORD flags, STRRET* name) override {
    if (!name) return E_INVALIDARG;
    Resolved r;
    if (!ResolveRel(pidl, &r)) return E_INVALIDARG;
    name->uType = STRRET_WSTR;
    const bool parsing = (flags & SHGDN_FORPARSING) != 0;
    const bool inFolder = (flags & SHGDN_INFOLDER) != 0;
    switch (r.what) {
      case Resolved::Desktop: name->pOleStr = parsing ? kDesktopParsingName : ShellTexts().desktop; break;
      case Resolved::Computer: name->pOleStr = parsing ? kComputerParsingName : ShellTexts().computer; break;
      case Resolved::Fs:
        if (parsing && !inFolder)
          name->pOleStr = r.path;
        else if (parsing && (r.last.kind == ItemKind::FsDir || r.last.kind == ItemKind::FsFile))
          name->pOleStr = r.last.text;
        else
          name->pOleStr = NormalName(r.last);
        break;
    }
    return S_OK;
  }

  HRESULT SetNameOf(HWND, LPCITEMIDLIST pidl, const std::string& newName, DWORD, LPITEMIDLIST* newPidl) override {
    if (newPidl) *newPidl = nullptr;
    std::vector<Ident> rel;
    if (!SplitIds(pidl, &rel) || rel.empty()) return E_INVALIDARG;
    Resolved r;
    if (!ResolveRel(pidl, &r) || r.what != Resolved::Fs) return E_INVALIDARG;
    if (r.last.kind != ItemKind::FsDir && r.last.kind != ItemKind::FsFile) return E_ACCESSDENIED;
    if (!ValidNewName(newName)) return E_INVALIDARG;
    size_t slash = r.path.rfind('/');
    const std::string dir = slash == 0 ? "/" : r.path.substr(0, slash);
    const std::string target = JoinPath(dir, newName);
    if (target == r.path) {
      // Nothing to do; the same list comes back.
    } else if (renameat2(AT_FDCWD, r.path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
      if (errno != EINVAL && errno != ENOSYS) return HResultFromErrno(errno);
      // A file system without the no-replace flag: refuse an existing target ourselves.
      struct stat st {};
      if (lstat(target.c_str(), &st) == 0) return HResultFromErrno(EEXIST);
      if (rename(r.path.c_str(), target.c_str()) != 0) return HResultFromErrno(errno);
    }
    rel.back().text = newName;
    rel.back().flags = BYTE((rel.back().flags & ~kItemHidden) | (newName[0] == '.' ? kItemHidden : 0));
    if (newPidl) {
      *newPidl = BuildIds(rel);
      if (!*newPidl) return E_OUTOFMEMORY;
    }
    return S_OK;
  }

  HRESULT GetDetailsOf(LPCITEMIDLIST pidl, UINT column, SHELLDETAILS* sd) override {
    if (!sd) return E_INVALIDARG;
    Resolved self;
    if (!Self(&self)) return E_FAIL;
    const Texts& t = ShellTexts();
    sd->str = STRRET{};
    if (self.what == Resolved::Computer) {
      static const int widths[4] = {25, 12, 12, 12};
      if (column >= 4) return E_INVALIDARG;
      if (!pidl) {
        sd->fmt = column >= 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        sd->cxChar = widths[column];
        sd->str.pOleStr = t.volumeColumns[column];
        return S_OK;
      }
      Resolved r;
      if (!ResolveRel(pidl, &r) || r.what != Resolved::Fs) return E_INVALIDARG;
      sd->fmt = column >= 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
      if (column == 0) sd->str.pOleStr = NormalName(r.last);
      if (column == 1) sd->str.pOleStr = TypeText(r);
      // Never ask a remote volume: a dead server would freeze the caller.
      if (column >= 2 && r.volumeKind != DriveKind::Remote) {
        struct statvfs vs {};
        if (statvfs(r.path.c_str(), &vs) == 0)
          sd->str.pOleStr = LargeSizeText(uint64_t(column == 2 ? vs.f_blocks : vs.f_bavail) * vs.f_frsize);
      }
      return S_OK;
    }
    static const int widths[6] = {25, 10, 10, 14, 14, 6};
    static const int fmts[6] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_LEFT};
    if (!pidl) {
      // Four columns show; the date in column 4 is there for sorting, not as a column.
      if (column >= 4 || (self.what == Resolved::Desktop && column >= 2)) return E_INVALIDARG;
      sd->fmt = fmts[column];
      sd->cxChar = widths[column];
      sd->str.pOleStr = t.columns[column == 1 && self.what == Resolved::Desktop ? 2 : column];
      return S_OK;
    }
    if (column > 5) return E_INVALIDARG;
    Resolved r;
    if (!ResolveRel(pidl, &r)) return E_INVALIDARG;
    sd->fmt = fmts[column];
    sd->cxChar = widths[column];
    if (self.what == Resolved::Desktop) {
      if (column >= 2) return E_INVALIDARG;
      sd->str.pOleStr = column == 0 ? (r.what == Resolved::Fs ? NormalName(r.last) : t.computer) : TypeText(r);
      return S_OK;
    }
    if (r.what != Resolved::Fs) return E_INVALIDARG;
    if (column == 0) {
      sd->str.pOleStr = NormalName(r.last);
      return S_OK;
    }
    if (column == 2) {
      sd->str.pOleStr = TypeText(r);
      return S_OK;
    }
    struct stat st {};
    if (stat(r.path.c_str(), &st) != 0) return HResultFromErrno(errno);
    switch (column) {
      case 1: sd->str.pOleStr = S_ISDIR(st.st_mode) ? std::string() : SizeText(uint64_t(st.st_size)); break;
      case 3: sd->str.pOleStr = DateTimeText(st.st_mtime, false); break;
      case 4: sd->str.pOleStr = DateTimeText(st.st_ctime, true); break;
      case 5: sd->str.pOleStr = AttributeText(r); break;
    }
    return S_OK;
  }

  HRESULT GetDefaultColumnState(UINT column, DWORD* state) override {
    if (!state) return E_INVALIDARG;
    if (column > 5) return E_INVALIDARG;
    *state = column <= 3 ? SHCOLSTATE_ONBYDEFAULT : 0;
    return S_OK;
  }

  HRESULT ColumnClick(UINT) override { return S_FALSE; }  // the caller sorts

  const std::vector<Ident>& Abs() const { return abs_; }

 private:
  std::vector<Ident> abs_;
};

// ---- context menu -----------------------------------------------------------------------------

// The commands by their fixed offsets; a menu shows those that apply to its items.
enum Command { cmdOpen, cmdOpenFolder, cmdRename, cmdDelete, cmdProperties, cmdCount };
const char* const kVerbs[cmdCount] = {"open", "openfolder", "rename", "delete", "properties"};

class NsContextMenu final : public IContextMenu {
 public:
  explicit NsContextMenu(std::vector<std::vector<Ident>> items) : items_(std::move(items)) {}

  bool Applies(int cmd, UINT flags) const {
    ULONG attrs = 0xFFFFFFFFu;
    bool allFs = true, anyFile = false;
    for (const auto& ids : items_) {
      Resolved r;
      if (!Resolve(ids, &r)) return false;
      attrs &= AttributesOf(r);
      allFs = allFs && r.what == Resolved::Fs;
      anyFile = anyFile || (r.what == Resolved::Fs && r.last.kind == ItemKind::FsFile);
    }
    switch (cmd) {
      case cmdOpen: return items_.size() == 1 && allFs;
      case cmdOpenFolder: return items_.size() == 1 && anyFile;
      case cmdRename: return items_.size() == 1 && (flags & CMF_CANRENAME) && (attrs & SFGAO_CANRENAME);
      case cmdDelete: return allFs && (attrs & SFGAO_CANDELETE);
      case cmdProperties: return items_.size() == 1 && allFs;
    }
    return false;
  }

  HRESULT QueryContextMenu(ShellMenu* menu, UINT index, UINT first, UINT last, UINT flags) override {
    if (!menu) return E_INVALIDARG;
    std::vector<ShellMenuCommand> cmds;
    for (int c = 0; c < cmdCount; ++c) {
      if (first + UINT(c) > last || !Applies(c, flags)) continue;
      cmds.push_back({first + UINT(c), ShellTexts().commands[c], kVerbs[c], c == cmdOpen});
    }
    index = std::min<UINT>(index, UINT(menu->items.size()));
    menu->items.insert(menu->items.begin() + index, cmds.begin(), cmds.end());
    return HRESULT(cmdCount);  // the number of ids used, as a success
  }

  HRESULT GetCommandString(UINT_PTR offset, UINT, std::string* verb) override {
    if (!verb || offset >= cmdCount) return E_INVALIDARG;
    *verb = kVerbs[offset];
    return S_OK;
  }

  HRESULT InvokeCommand(const CMINVOKECOMMANDINFO& info) override {
    int cmd = -1;
    if (!info.verb.empty()) {
      for (int c = 0; c < cmdCount; ++c)
        if (info.verb == kVerbs[c]) cmd = c;
    } else if (info.verbOffset < cmdCount) {
      cmd = int(info.verbOffset);
    }
    if (cmd < 0 || !Applies(cmd, CMF_CANRENAME)) return E_INVALIDARG;
    std::vector<Resolved> rs(items_.size());
    for (size_t i = 0; i < items_.size(); ++i) Resolve(items_[i], &rs[i]);
    switch (cmd) {
      case cmdOpen:
        return ShellExecute(info.hwnd, "open", rs[0].path, {}, {}, info.nShow) > 32 ? S_OK : E_FAIL;
      case cmdOpenFolder: {
        size_t p = rs[0].path.rfind('/');
        std::string dir = p == 0 ? "/" : rs[0].path.substr(0, p);
        return ShellExecute(info.hwnd, "open", dir, {}, {}, info.nShow) > 32 ? S_OK : E_FAIL;
      }
      case cmdRename:
        return E_NOTIMPL;  // the controls rename by editing the label
      case cmdDelete: {
        std::vector<std::string> paths;
        for (const Resolved& r : rs) paths.push_back(r.path);
        auto& confirm = DeleteHook();
        if (confirm && !confirm(paths)) return HResultFromErrno(ECANCELED);
        for (const std::string& p : paths)
          if (int e = MoveToTrash(p)) return HResultFromErrno(e);
        return S_OK;
      }
      case cmdProperties: {
        auto& show = PropertiesHook();
        if (!show) return E_NOTIMPL;
        const Resolved& r = rs[0];
        ItemInfo info2;
        info2.name = NormalName(r.last);
        info2.type = TypeText(r);
        info2.path = r.path;
        struct stat st {};
        if (stat(r.path.c_str(), &st) == 0) {
          if (!S_ISDIR(st.st_mode)) info2.size = SizeText(uint64_t(st.st_size));
          info2.modified = DateTimeText(st.st_mtime, true);
          info2.changed = DateTimeText(st.st_ctime, true);
        }
        return show(info2) ? S_OK : E_FAIL;
      }
    }
    return E_FAIL;
  }

  HRESULT HandleMenuMsg(UINT, WPARAM, LPARAM) override { return S_OK; }

 private:
  std::vector<std::vector<Ident>> items_;
};

HRESULT NsFolder::GetUIObjectOf(HWND, UINT count, const LPCITEMIDLIST* pidls, std::unique_ptr<IContextMenu>* out) {
  if (!out) return E_INVALIDARG;
  out->reset();
  if (count == 0) return E_INVALIDARG;
  std::vector<std::vector<Ident>> items;
  for (UINT i = 0; i < count; ++i) {
    std::vector<Ident> ids;
    Resolved r;
    if (!Full(pidls[i], &ids) || !Resolve(ids, &r)) return E_INVALIDARG;
    items.push_back(std::move(ids));
  }
  *out = std::make_unique<NsContextMenu>(std::move(items));
  return S_OK;
}

}  // namespace

std::unique_ptr<IShellFolder> MakeFolder(std::vector<Ident> abs) { return std::make_unique<NsFolder>(std::move(abs)); }

}  // namespace win::shell

namespace win {

using namespace win::shell;

HRESULT SHGetDesktopFolder(std::unique_ptr<IShellFolder>* out) {
  if (!out) return E_INVALIDARG;
  *out = MakeFolder({});
  return S_OK;
}

HRESULT SHGetSpecialFolderLocation(HWND, int csidl, LPITEMIDLIST* pidl) {
  if (!pidl) return E_INVALIDARG;
  *pidl = nullptr;
  const Environment& env = CurrentEnvironment();
  std::string path;
  switch (csidl) {
    case CSIDL_DESKTOP: *pidl = BuildIds({}); return *pidl ? S_OK : E_OUTOFMEMORY;
    case CSIDL_DRIVES: *pidl = BuildIds({{ItemKind::Computer, 0, {}}}); return *pidl ? S_OK : E_OUTOFMEMORY;
    case CSIDL_PERSONAL: path = UserFolderPath("DOCUMENTS"); break;
    case CSIDL_DESKTOPDIRECTORY: path = UserFolderPath("DESKTOP"); break;
    case CSIDL_TEMPLATES: path = UserFolderPath("TEMPLATES"); break;
    case CSIDL_APPDATA: path = env.configHome; break;
    case CSIDL_PROGRAMS:
    case CSIDL_STARTMENU: path = env.dataHome + "/applications"; break;
    case CSIDL_COMMON_PROGRAMS:
    case CSIDL_COMMON_STARTMENU: path = "/usr/share/applications"; break;
    case CSIDL_STARTUP: path = env.configHome + "/autostart"; break;
    case CSIDL_COMMON_STARTUP: path = "/etc/xdg/autostart"; break;
    case CSIDL_FONTS: {
      struct stat st {};
      path = env.dataHome + "/fonts";
      if (stat(path.c_str(), &st) != 0) path = "/usr/share/fonts";
      break;
    }
    case CSIDL_BITBUCKET: path = env.dataHome + "/Trash/files"; break;
    default: return E_INVALIDARG;  // no equivalent here
  }
  if (path.empty()) return E_FAIL;
  std::unique_ptr<IShellFolder> desktop;
  SHGetDesktopFolder(&desktop);
  return desktop->ParseDisplayName(nullptr, path, nullptr, pidl, nullptr);
}

bool SHGetPathFromIDList(LPCITEMIDLIST pidl, std::string* path) { return PathOfIdList(pidl, path); }

}  // namespace win
