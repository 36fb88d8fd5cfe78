#include "lib/skin/kxStreamStrings.h"

#include <cstdint>

#include "base/Exception.h"
#include "base/Text.h"

void ReadStreamString(TStream& Stream, std::string& S) {
  uint8_t n[4];
  Stream.ReadBuffer(n, 4);
  const int32_t count = int32_t(uint32_t(n[0]) | uint32_t(n[1]) << 8 | uint32_t(n[2]) << 16 | uint32_t(n[3]) << 24);
  const int64_t left = Stream.Size() - Stream.Position();
  if (count < 0 || int64_t(count) * 2 > left) throw EReadError("Stream read error");
  std::string bytes(size_t(count) * 2, '\0');
  Stream.ReadBuffer(bytes.data(), int64_t(bytes.size()));
  S = Utf16BytesToUtf8(bytes);
}

void WriteStreamString(TStream& Stream, const std::string& S) {
  const std::string bytes = Utf8ToUtf16Bytes(S);
  const uint32_t count = uint32_t(bytes.size() / 2);
  const uint8_t n[4] = {uint8_t(count), uint8_t(count >> 8), uint8_t(count >> 16), uint8_t(count >> 24)};
  Stream.WriteBuffer(n, 4);
  if (!bytes.empty()) Stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

std::string CutToken(std::string& S) {
  std::string token;
  size_t i = 0;
  for (; i < S.size(); ++i) {
    const char c = S[i];
    if (c == ' ' || c == '(' || c == ')' || c == ',' || c == ':' || c == ';' || c == '=') {
      ++i;  // the separator goes with the token
      break;
    }
    token += c;
  }
  S = Trim(std::string_view(S).substr(i));
  return Trim(token);
}

void TokenStrToRect(const std::string& S, TRect& Rect) {
  std::string rest = S;
  int32_t v[4];
  for (int32_t& x : v)
    if (!TryStrToInt(CutToken(rest), x)) {
      Rect = TRect{0, 0, 0, 0};
      return;
    }
  Rect = TRect{v[0], v[1], v[2], v[3]};
}
