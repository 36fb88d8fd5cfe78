#include "Src/TaskOptions.h"

#include <vector>

void InitInputOptions(TInputOptions& AOptions) { AOptions = TInputOptions{}; }

void InitOutputOptions(TOutputOptions& AOptions) { AOptions = TOutputOptions{}; }

namespace {

std::string TrimBlanks(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

}  // namespace

std::vector<TExtOption> ParseExtOptions(const std::string& AText) {
  std::vector<TExtOption> result;
  const std::string text = TrimBlanks(AText);
  static const std::string kCRLF = "<CRLF>";
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = pos;
    size_t next = std::string::npos;
    while (end < text.size()) {
      if (text[end] == '\r') {
        next = (end + 1 < text.size() && text[end + 1] == '\n') ? end + 2 : end + 1;
        break;
      }
      if (text[end] == '\n') {
        next = end + 1;
        break;
      }
      if (text.compare(end, kCRLF.size(), kCRLF) == 0) {
        next = end + kCRLF.size();
        break;
      }
      ++end;
    }
    const std::string line = text.substr(pos, end - pos);
    if (!TrimBlanks(line).empty()) {
      const size_t eq = line.find('=');
      if (eq == std::string::npos)
        result.push_back({TrimBlanks(line), ""});
      else
        result.push_back({TrimBlanks(line.substr(0, eq)), line.substr(eq + 1)});
    }
    if (next == std::string::npos) break;
    pos = next;
  }
  return result;
}
