#include "app/catalogue/OutputNaming.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "base/Exception.h"
#include "base/Files.h"

namespace catalogue {

namespace fs = std::filesystem;

namespace {

std::string Normalised(const std::string& p) {
  std::error_code ec;
  fs::path n = fs::weakly_canonical(fs::path(p), ec);
  if (ec) n = fs::absolute(fs::path(p), ec).lexically_normal();
  return n.string();
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return IncludeTrailingPathDelimiter(folder) + name;
}

}  // namespace

bool SameFilePath(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  if (Normalised(a) == Normalised(b)) return true;
  std::error_code ec;
  return fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec);
}

std::string UniqueOutputFileName(const std::string& outputFolder, const std::string& outputPath,
                                 const TOutputNameRules& rules) {
  std::string name = ExtractFileName(outputPath);
  if (name.empty()) throw Exception("No output file name in \"" + outputPath + "\"");
  std::string ext = ExtractFileExt(name);
  std::string base = JoinPath(outputFolder, name.substr(0, name.size() - ext.size()));

  std::set<std::string> planned;
  if (rules.PlannedOutputs)
    for (const auto& p : *rules.PlannedOutputs) planned.insert(Normalised(p));

  auto taken = [&](const std::string& candidate, bool mayOverwrite) {
    if (!mayOverwrite && FileExists(candidate)) return true;
    if (planned.count(Normalised(candidate))) return true;
    return SameFilePath(candidate, rules.InputFileName);
  };

  std::string candidate = base + ext;
  if (!taken(candidate, rules.Overwrite)) return candidate;
  // Numbered names never overwrite: they exist only because the plain name was not usable.
  for (uint64_t n = 1;; ++n) {
    candidate = base + "_" + std::to_string(n) + ext;
    if (!taken(candidate, false)) return candidate;
  }
}

}  // namespace catalogue
