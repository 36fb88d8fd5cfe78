#include "base/Resources.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "base/Exception.h"

// The table of resources/, written by tools/embed.cpp into base itself.
std::span<const TResource> CommittedResources();

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string_view FileName(std::string_view path) {
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

struct Registry {
  std::mutex Lock;
  std::vector<std::span<const TResource>> Tables{CommittedResources()};
  std::vector<TResource> Merged;
  bool Dirty = true;
};

Registry& TheRegistry() {
  static Registry r;
  return r;
}

}  // namespace

void RegisterResources(std::span<const TResource> table) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> hold(r.Lock);
  r.Tables.push_back(table);
  r.Dirty = true;
}

std::span<const TResource> EmbeddedResources() {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> hold(r.Lock);
  if (r.Dirty) {
    r.Merged.clear();
    for (auto table : r.Tables) r.Merged.insert(r.Merged.end(), table.begin(), table.end());
    // Stable: of two tables holding one path, the first registered stays.
    std::stable_sort(r.Merged.begin(), r.Merged.end(),
                     [](const TResource& a, const TResource& b) { return std::string_view(a.Path) < std::string_view(b.Path); });
    r.Merged.erase(std::unique(r.Merged.begin(), r.Merged.end(),
                               [](const TResource& a, const TResource& b) { return std::string_view(a.Path) == std::string_view(b.Path); }),
                   r.Merged.end());
    r.Dirty = false;
  }
  return r.Merged;
}

const TResource* FindResourceFile(std::string_view path) {
  auto table = EmbeddedResources();
  auto it = std::lower_bound(table.begin(), table.end(), path,
                             [](const TResource& r, std::string_view p) { return std::string_view(r.Path) < p; });
  return it != table.end() && std::string_view(it->Path) == path ? &*it : nullptr;
}

const TResource* FindResource(std::string_view name, TResourceKind kind) {
  if (name.empty()) return nullptr;
  for (const TResource& r : EmbeddedResources()) {
    std::string_view file = FileName(r.Path);
    if (kind == TResourceKind::Data) {
      if (EqualNoCase(file, name)) return &r;
      continue;
    }
    std::string_view ext = kind == TResourceKind::Bitmap ? ".bmp" : ".ico";
    if (file.size() == name.size() + ext.size() && EqualNoCase(file.substr(name.size()), ext) &&
        EqualNoCase(file.substr(0, name.size()), name))
      return &r;
  }
  return nullptr;
}

std::span<const uint8_t> BitmapResourceBits(const TResource& res) {
  constexpr size_t kFileHeader = 14;
  if (res.Size < kFileHeader || res.Data[0] != 'B' || res.Data[1] != 'M') return {};
  return {res.Data + kFileHeader, res.Size - kFileHeader};
}

TResourceStream::TResourceStream(std::string_view name, TResourceKind kind) {
  const TResource* r = FindResource(name, kind);
  if (!r) throw EResNotFound("Resource " + std::string(name) + " not found");
  FData.assign(r->Data, r->Data + r->Size);
}
