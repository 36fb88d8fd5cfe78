// Registered window messages: numbers that programs agree on by name.
#include <map>
#include <mutex>
#include <string>

#include "base/Text.h"
#include "platform/shell/Services.h"

namespace win {

namespace {
struct NoCase {
  bool operator()(const std::string& a, const std::string& b) const { return CompareText(a, b) < 0; }
};
}  // namespace

UINT RegisterWindowMessage(const char* name) {
  if (!name || !*name) return 0;
  static std::mutex m;
  static auto* numbers = new std::map<std::string, UINT, NoCase>;
  static UINT next = 0xC000;
  std::lock_guard<std::mutex> lock(m);
  auto it = numbers->find(name);
  if (it != numbers->end()) return it->second;
  if (next > 0xFFFF) return 0;
  return (*numbers)[name] = next++;
}

}  // namespace win
