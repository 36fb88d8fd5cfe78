#pragma once
// Shared inside platform/shell: decoded identifiers and resolved items.
#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/shell/Environment.h"
#include "platform/shell/Shell.h"

namespace win::shell {

struct Ident {
  ItemKind kind = ItemKind::FsFile;
  BYTE flags = 0;
  std::string text;  // a component name (raw bytes), or an absolute path for Home, user folders, volumes
};

// An absolute list resolved: a virtual folder, or a file-system item with its path.
struct Resolved {
  enum What { Desktop = 0, Computer = 1, Fs = 2 } what = Desktop;
  std::string path;
  Ident last;                     // the last identifier (Fs only)
  ItemKind top = ItemKind::Home;  // the route's first real item: Home, a user folder or a volume
  DriveKind volumeKind = DriveKind::Fixed;
  size_t depth = 0;               // identifiers in the list
};

bool SplitIds(LPCITEMIDLIST pidl, std::vector<Ident>* out);
LPITEMIDLIST BuildIds(const std::vector<Ident>& ids);
bool Resolve(const std::vector<Ident>& ids, Resolved* r);
bool ResolveList(LPCITEMIDLIST pidl, Resolved* r);
std::string JoinPath(const std::string& dir, const std::string& name);
Ident FsIdent(const std::string& name, const struct stat& st, bool link);
Ident VolumeIdent(const Volume& v);
std::string NormalName(const Ident& id);
int CompareResolved(const Resolved& a, const Resolved& b);
HRESULT OrderResult(int order);
ULONG AttributesOf(const Resolved& r);
std::string DateTimeText(time_t t, bool seconds);
std::string SizeText(uint64_t bytes);
std::string LargeSizeText(uint64_t bytes);
std::string TypeText(const Resolved& r);
std::string AttributeText(const Resolved& r);
int IconOf(const Resolved& r, bool open);
std::function<bool(const std::vector<std::string>&)>& DeleteHook();
std::function<bool(const ItemInfo&)>& PropertiesHook();

}  // namespace win::shell
