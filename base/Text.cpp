#include "base/Text.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <cmath>
#include <limits>
#include <system_error>

#include "base/Exception.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

inline unsigned char Byte(std::string_view s, size_t i) { return static_cast<unsigned char>(s[i]); }
inline bool IsCont(unsigned char b) { return (b & 0xC0) == 0x80; }
inline char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

}  // namespace

// ---- UTF-8 ----------------------------------------------------------------------------

int Utf8SequenceLength(std::string_view s, size_t pos) {
  if (pos >= s.size()) return 0;
  const unsigned char b0 = Byte(s, pos);
  if (b0 < 0x80) return 1;
  int len;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    if (b0 == 0xE0) lo = 0xA0;  // overlong
    if (b0 == 0xED) hi = 0x9F;  // surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    if (b0 == 0xF0) lo = 0x90;  // overlong
    if (b0 == 0xF4) hi = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (pos + len > s.size()) return 0;
  const unsigned char b1 = Byte(s, pos + 1);
  if (b1 < lo || b1 > hi) return 0;
  for (int i = 2; i < len; ++i)
    if (!IsCont(Byte(s, pos + i))) return 0;
  return len;
}

char32_t Utf8DecodeAt(std::string_view s, size_t pos, size_t* len) {
  if (pos >= s.size()) {
    if (len) *len = 0;
    return 0;
  }
  const int n = Utf8SequenceLength(s, pos);
  if (n == 0) {
    if (len) *len = 1;
    return kReplacement;
  }
  if (len) *len = static_cast<size_t>(n);
  const unsigned char b0 = Byte(s, pos);
  if (n == 1) return b0;
  char32_t cp = b0 & (0xFF >> (n + 1));
  for (int i = 1; i < n; ++i) cp = (cp << 6) | (Byte(s, pos + i) & 0x3F);
  return cp;
}

void Utf8Append(std::string& out, char32_t cp) {
  if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacement;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const int n = Utf8SequenceLength(s, i);
    if (n == 0) return false;
    i += static_cast<size_t>(n);
  }
  return true;
}

namespace {
// Bytes taken by the code point at `pos`: an invalid byte counts alone.
inline size_t StepAt(std::string_view s, size_t pos) {
  const int n = Utf8SequenceLength(s, pos);
  return n == 0 ? 1 : static_cast<size_t>(n);
}
}  // namespace

size_t Utf8Length(std::string_view s) {
  size_t count = 0;
  for (size_t i = 0; i < s.size(); i += StepAt(s, i)) ++count;
  return count;
}

size_t Utf8ByteIndex(std::string_view s, size_t n) {
  size_t i = 0;
  while (n > 0 && i < s.size()) {
    i += StepAt(s, i);
    --n;
  }
  return i;
}

std::string Utf8Copy(std::string_view s, size_t start, size_t count) {
  const size_t from = Utf8ByteIndex(s, start);
  const size_t len = Utf8ByteIndex(s.substr(from), count);
  return std::string(s.substr(from, len));
}

std::string Utf8Left(std::string_view s, size_t n) { return std::string(s.substr(0, Utf8ByteIndex(s, n))); }

std::string Utf8TruncateBytes(std::string_view s, size_t maxBytes) {
  size_t i = 0;
  while (i < s.size()) {
    const size_t step = StepAt(s, i);
    if (i + step > maxBytes) break;
    i += step;
  }
  return std::string(s.substr(0, i));
}

std::string Utf8FromMixed(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const int n = Utf8SequenceLength(s, i);
    if (n == 0) {
      Utf8Append(out, Byte(s, i));
      ++i;
    } else {
      out.append(s.substr(i, static_cast<size_t>(n)));
      i += static_cast<size_t>(n);
    }
  }
  return out;
}

// ---- UTF-16 ---------------------------------------------------------------------------

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const char16_t u = s[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      Utf8Append(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (s[i + 1] - 0xDC00));
      ++i;
    } else {
      Utf8Append(out, u);  // a lone surrogate becomes U+FFFD there
    }
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    size_t len = 0;
    const char32_t cp = Utf8DecodeAt(s, i, &len);
    i += len;
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16BytesToUtf8(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned a = Byte(bytes, i), b = Byte(bytes, i + 1);
    units += static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
  }
  std::string out = Utf16ToUtf8(units);
  if (bytes.size() % 2 != 0) Utf8Append(out, kReplacement);
  return out;
}

std::string Utf8ToUtf16Bytes(std::string_view s, bool bigEndian) {
  const std::u16string units = Utf8ToUtf16(s);
  std::string out;
  out.reserve(units.size() * 2);
  for (char16_t u : units) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

std::string DecodeTextBytes(std::string_view bytes) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") return Utf16BytesToUtf8(bytes.substr(2), false);
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") return Utf16BytesToUtf8(bytes.substr(2), true);
  return std::string(bytes);
}

// ---- Case, comparison, trimming -------------------------------------------------------

std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

std::string LowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

int CompareText(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const int ca = static_cast<unsigned char>(UpperAscii(a[i]));
    const int cb = static_cast<unsigned char>(UpperAscii(b[i]));
    if (ca != cb) return ca - cb;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

int CompareStr(std::string_view a, std::string_view b) {
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

namespace {
inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

std::string TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) {
  size_t i = 0, n = s.size();
  while (i < n && IsBlank(s[i])) ++i;
  while (n > i && IsBlank(s[n - 1])) --n;
  return std::string(s.substr(i, n - i));
}

std::string AnsiQuotedStr(std::string_view s, char quote) {
  std::string out;
  out.reserve(s.size() + 2);
  out += quote;
  for (char c : s) {
    out += c;
    if (c == quote) out += c;
  }
  out += quote;
  return out;
}

std::string QuotedStr(std::string_view s) { return AnsiQuotedStr(s, '\''); }

std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          unsigned flags) {
  if (oldPattern.empty()) return std::string(s);
  const bool ignoreCase = (flags & rfIgnoreCase) != 0;
  std::string out;
  size_t i = 0;
  while (i < s.size()) {
    const bool match = s.size() - i >= oldPattern.size() &&
                       (ignoreCase ? SameText(s.substr(i, oldPattern.size()), oldPattern)
                                   : s.compare(i, oldPattern.size(), oldPattern) == 0);
    if (!match) {
      out += s[i++];
      continue;
    }
    out.append(newPattern);
    i += oldPattern.size();
    if (!(flags & rfReplaceAll)) {
      out.append(s.substr(i));
      return out;
    }
  }
  return out;
}

// ---- Numbers --------------------------------------------------------------------------

std::string IntToStr(int64_t value) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

std::string UIntToStr(uint64_t value) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

std::string IntToHex(uint64_t value, int digits) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  do {
    out.insert(out.begin(), kHex[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  if (digits > 16) digits = 16;  // a 64-bit value never needs more
  if (static_cast<int>(out.size()) < digits) out.insert(0, static_cast<size_t>(digits) - out.size(), '0');
  return out;
}

namespace {

// Parses an integer of `bits` width (32 or 64) by the rules in the header.
bool ParseInteger(std::string_view s, int bits, int64_t& result) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  const uint64_t unsignedMax = bits == 64 ? std::numeric_limits<uint64_t>::max() : 0xFFFFFFFFull;
  uint64_t magnitude = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    unsigned digit;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    else if (hex && c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
    else if (hex && c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
    else return false;
    const uint64_t base = hex ? 16 : 10;
    if (magnitude > (unsignedMax - digit) / base) return false;
    magnitude = magnitude * base + digit;
  }
  if (hex) {
    // Hexadecimal text names a bit pattern of the full width.
    uint64_t v = negative ? (~magnitude + 1) : magnitude;
    if (bits == 32) result = static_cast<int32_t>(static_cast<uint32_t>(v));
    else result = static_cast<int64_t>(v);
    return true;
  }
  const uint64_t positiveMax = bits == 64 ? static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) : 0x7FFFFFFFull;
  if (negative) {
    if (magnitude > positiveMax + 1) return false;
    result = magnitude == positiveMax + 1 ? (bits == 64 ? std::numeric_limits<int64_t>::min() : int64_t{-2147483648LL})
                                          : -static_cast<int64_t>(magnitude);
  } else {
    if (magnitude > positiveMax) return false;
    result = static_cast<int64_t>(magnitude);
  }
  return true;
}

[[noreturn]] void InvalidInteger(std::string_view s) {
  throw EConvertError("''" + std::string(s) + "'' is not a valid integer value");
}

}  // namespace

bool TryStrToInt(std::string_view s, int32_t& value) {
  int64_t v;
  if (!ParseInteger(s, 32, v)) return false;
  value = static_cast<int32_t>(v);
  return true;
}

int32_t StrToInt(std::string_view s) {
  int32_t v;
  if (!TryStrToInt(s, v)) InvalidInteger(s);
  return v;
}

int32_t StrToIntDef(std::string_view s, int32_t def) {
  int32_t v;
  return TryStrToInt(s, v) ? v : def;
}

bool TryStrToInt64(std::string_view s, int64_t& value) { return ParseInteger(s, 64, value); }

int64_t StrToInt64(std::string_view s) {
  int64_t v;
  if (!ParseInteger(s, 64, v)) InvalidInteger(s);
  return v;
}

int64_t StrToInt64Def(std::string_view s, int64_t def) {
  int64_t v;
  return ParseInteger(s, 64, v) ? v : def;
}

std::string FloatToStr(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  // 15 significant digits, correctly rounded: "d.dddddddddddddde[+-]xx".
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
  std::string_view sci(buf, static_cast<size_t>(r.ptr - buf));
  double back = 0;
  if (std::from_chars(buf, r.ptr, back).ec == std::errc::result_out_of_range) {
    // Within 15 digits of the largest double, rounding goes past it and the text would not
    // read back: cut the exact digits to 15 instead of rounding them.
    r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 16);
    char* ePos = std::find(buf, r.ptr, 'e');
    char* cut = buf + (buf[0] == '-' ? 1 : 0) + 16;  // sign, first digit, ".", 14 digits
    std::memmove(cut, ePos, static_cast<size_t>(r.ptr - ePos));
    sci = std::string_view(buf, static_cast<size_t>(cut - buf + (r.ptr - ePos)));
  }
  const bool negative = sci[0] == '-';
  if (negative) sci.remove_prefix(1);
  const size_t e = sci.find('e');
  std::string digits;
  digits += sci[0];
  digits.append(sci.substr(2, e - 2));
  int exp10 = 0;
  std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exp10);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  // `exponent` as in 0.d1d2... x 10^exponent.
  const int exponent = exp10 + 1;
  std::string out = negative ? "-" : "";
  if (exponent > 15 || exponent < -4) {
    out += digits[0];
    if (digits.size() > 1) {
      out += '.';
      out.append(digits, 1, std::string::npos);
    }
    out += 'E';
    out += IntToStr(exp10);
  } else if (exponent <= 0) {
    out += "0.";
    out.append(static_cast<size_t>(-exponent), '0');
    out += digits;
  } else if (static_cast<size_t>(exponent) >= digits.size()) {
    out += digits;
    out.append(static_cast<size_t>(exponent) - digits.size(), '0');
  } else {
    out.append(digits, 0, static_cast<size_t>(exponent));
    out += '.';
    out.append(digits, static_cast<size_t>(exponent), std::string::npos);
  }
  return out;
}

bool TryStrToFloat(std::string_view s, double& value) {
  std::string t = Trim(s);
  std::string_view v = t;
  bool negative = false;
  if (!v.empty() && (v[0] == '+' || v[0] == '-')) {
    negative = v[0] == '-';
    v.remove_prefix(1);
  }
  // Only digits, one ".", and an exponent: no "inf", "nan", hexadecimal floats or second sign.
  size_t i = 0, mantissaDigits = 0;
  while (i < v.size() && v[i] >= '0' && v[i] <= '9') ++i, ++mantissaDigits;
  if (i < v.size() && v[i] == '.') {
    ++i;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9') ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return false;
  if (i < v.size() && (v[i] == 'e' || v[i] == 'E')) {
    ++i;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9') ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != v.size()) return false;
  double d = 0;
  auto r = std::from_chars(v.data(), v.data() + v.size(), d, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    // Too large is no valid value; too small rounds to zero. Tell them apart by the decimal
    // exponent of the first significant digit.
    const size_t ePos = v.find_first_of("eE");
    std::string_view mant = v.substr(0, ePos);
    int64_t exp = 0;
    if (ePos != std::string_view::npos) {
      std::string_view es = v.substr(ePos + 1);
      if (!es.empty() && es[0] == '+') es.remove_prefix(1);
      // An exponent beyond any text's length decides the case alone; bounding it keeps the
      // sum below from overflowing.
      constexpr int64_t kBound = int64_t{1} << 53;
      if (std::from_chars(es.data(), es.data() + es.size(), exp).ec != std::errc()) exp = es[0] == '-' ? -kBound : kBound;
      exp = std::clamp(exp, -kBound, kBound);
    }
    const size_t dot = mant.find('.');
    const std::string_view intPart = mant.substr(0, dot);
    const size_t firstNonZero = intPart.find_first_not_of('0');
    int64_t magnitude;
    if (firstNonZero != std::string_view::npos) {
      magnitude = static_cast<int64_t>(intPart.size() - firstNonZero) + exp;
    } else {
      const std::string_view frac = dot == std::string_view::npos ? std::string_view() : mant.substr(dot + 1);
      const size_t nz = frac.find_first_not_of('0');
      magnitude = nz == std::string_view::npos ? -1 : -static_cast<int64_t>(nz) + exp;
    }
    if (magnitude > 0) return false;
    d = 0;
  } else if (r.ec != std::errc() || r.ptr != v.data() + v.size()) {
    return false;
  }
  value = negative ? -d : d;
  return true;
}

double StrToFloat(std::string_view s) {
  double v;
  if (!TryStrToFloat(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
  return v;
}

double StrToFloatDef(std::string_view s, double def) {
  double v;
  return TryStrToFloat(s, v) ? v : def;
}
