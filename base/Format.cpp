#include "base/Format.h"

#include <fmt/format.h>

#include <cmath>

#include "base/Exception.h"

namespace {

struct Spec {
  bool left = false, zero = false, plus = false, space = false, alt = false;
  int width = -1;
  int precision = -1;
  char conv = 0;
};

[[noreturn]] void Invalid(std::string_view fmt) {
  throw EConvertError(fmt::format("Format '{}' invalid or incompatible with argument", fmt));
}

// Pads `body` (which may begin with a sign) to the directive's width.
std::string Pad(std::string body, const Spec& sp, bool numeric) {
  if (sp.width < 0 || static_cast<int>(body.size()) >= sp.width) return body;
  size_t fill = sp.width - body.size();
  if (sp.left) return body + std::string(fill, ' ');
  if (sp.zero && numeric && sp.precision < 0) {
    size_t signLen = (!body.empty() && (body[0] == '-' || body[0] == '+' || body[0] == ' ')) ? 1 : 0;
    if (body.size() > signLen + 1 && body[signLen] == '0' && (body[signLen + 1] == 'x' || body[signLen + 1] == 'X'))
      signLen += 2;
    return body.substr(0, signLen) + std::string(fill, '0') + body.substr(signLen);
  }
  return std::string(fill, ' ') + body;
}

std::string Digits(uint64_t v, int base, bool upper, int precision) {
  std::string s = base == 16 ? (upper ? fmt::format("{:X}", v) : fmt::format("{:x}", v))
                  : base == 8 ? fmt::format("{:o}", v)
                              : fmt::format("{}", v);
  if (precision == 0 && v == 0) s.clear();
  if (precision > 0 && static_cast<int>(s.size()) < precision) s.insert(0, precision - s.size(), '0');
  return s;
}

std::string Signed(int64_t v, const Spec& sp) {
  uint64_t mag = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  std::string s = Digits(mag, 10, false, sp.precision);
  if (v < 0) s.insert(0, 1, '-');
  else if (sp.plus) s.insert(0, 1, '+');
  else if (sp.space) s.insert(0, 1, ' ');
  return s;
}

std::string Floating(long double v, const Spec& sp, FormatDialect dialect) {
  int prec = sp.precision >= 0 ? sp.precision : (dialect == FormatDialect::C ? 6 : 2);
  std::string s;
  if (std::isnan(v)) s = "nan";
  else if (std::isinf(v)) s = v < 0 ? "-inf" : "inf";
  else switch (sp.conv) {
    case 'f': case 'F': s = fmt::format("{:.{}f}", static_cast<double>(v), prec); break;
    case 'e': s = fmt::format("{:.{}e}", static_cast<double>(v), prec); break;
    case 'E': s = fmt::format("{:.{}E}", static_cast<double>(v), prec); break;
    case 'g': s = fmt::format("{:.{}g}", static_cast<double>(v), sp.precision >= 0 ? std::max(prec, 1) : 6); break;
    case 'G': s = fmt::format("{:.{}G}", static_cast<double>(v), sp.precision >= 0 ? std::max(prec, 1) : 6); break;
  }
  if (!s.empty() && s[0] != '-') {
    if (sp.plus) s.insert(0, 1, '+');
    else if (sp.space) s.insert(0, 1, ' ');
  }
  return s;
}

}  // namespace

std::string FormatList(FormatDialect dialect, std::string_view fmtText, std::initializer_list<FormatArg> args) {
  std::string out;
  out.reserve(fmtText.size() + 16);
  auto next = args.begin();
  size_t i = 0;
  const size_t n = fmtText.size();
  while (i < n) {
    char c = fmtText[i];
    if (c != '%') { out += c; ++i; continue; }
    ++i;
    if (i < n && fmtText[i] == '%') { out += '%'; ++i; continue; }
    Spec sp;
    for (; i < n; ++i) {
      char f = fmtText[i];
      if (f == '-') sp.left = true;
      else if (f == '0') sp.zero = true;
      else if (f == '+') sp.plus = true;
      else if (f == ' ') sp.space = true;
      else if (f == '#') sp.alt = true;
      else break;
    }
    // Widths and precisions are capped alike, whether written in the format or taken from an
    // argument: a huge one would only ask for gigabytes of padding.
    constexpr int64_t kMaxWidth = 100000;
    auto readNumber = [&](int& target, bool isWidth) {
      if (i < n && fmtText[i] == '*') {
        if (next == args.end() || next->kind != FormatArg::kInt) Invalid(fmtText);
        const int64_t v = (next++)->i;
        ++i;
        if (v > kMaxWidth || v < -kMaxWidth) Invalid(fmtText);
        // As in C: a negative width left-justifies, a negative precision counts as none.
        if (v >= 0) target = static_cast<int>(v);
        else if (isWidth) { sp.left = true; target = static_cast<int>(-v); }
        else target = -1;
        return;
      }
      bool any = false;
      int v = 0;
      while (i < n && fmtText[i] >= '0' && fmtText[i] <= '9') {
        v = v * 10 + (fmtText[i] - '0');
        if (v > kMaxWidth) Invalid(fmtText);
        any = true;
        ++i;
      }
      if (any) target = v;
    };
    readNumber(sp.width, true);
    if (i < n && fmtText[i] == '.') {
      ++i;
      sp.precision = 0;
      readNumber(sp.precision, false);
    }
    // C length modifiers carry no meaning here: every argument knows its own width.
    while (i < n && (fmtText[i] == 'l' || fmtText[i] == 'h' || fmtText[i] == 'L' || fmtText[i] == 'q' ||
                     fmtText[i] == 'j' || fmtText[i] == 'z' || fmtText[i] == 't'))
      ++i;
    if (i >= n) Invalid(fmtText);
    sp.conv = fmtText[i++];
    if (next == args.end()) Invalid(fmtText);
    const FormatArg& a = *next++;
    std::string body;
    bool numeric = true;
    switch (sp.conv) {
      case 'd': case 'i':
        if (a.kind == FormatArg::kInt || a.kind == FormatArg::kChar) body = Signed(a.i, sp);
        else if (a.kind == FormatArg::kUInt) body = Signed(static_cast<int64_t>(a.u), sp);
        else Invalid(fmtText);
        if (a.kind == FormatArg::kUInt && a.u > static_cast<uint64_t>(INT64_MAX)) body = Digits(a.u, 10, false, sp.precision);
        break;
      case 'u':
        if (a.kind == FormatArg::kUInt) body = Digits(a.u, 10, false, sp.precision);
        else if (a.kind == FormatArg::kInt) {
          // A negative 32-bit value shows as its unsigned 32-bit pattern, as the C library does.
          uint64_t v = a.i < 0 && a.i >= INT32_MIN ? static_cast<uint32_t>(a.i) : static_cast<uint64_t>(a.i);
          body = Digits(v, 10, false, sp.precision);
        } else Invalid(fmtText);
        break;
      case 'x': case 'X': case 'o': {
        uint64_t v;
        if (a.kind == FormatArg::kUInt) v = a.u;
        else if (a.kind == FormatArg::kInt || a.kind == FormatArg::kChar)
          v = a.i < 0 && a.i >= INT32_MIN ? static_cast<uint32_t>(a.i) : static_cast<uint64_t>(a.i);
        else Invalid(fmtText);
        bool upper = sp.conv == 'X' || (sp.conv == 'x' && dialect == FormatDialect::ClassLibrary);
        body = Digits(v, sp.conv == 'o' ? 8 : 16, upper, sp.precision);
        if (sp.alt && v != 0) body.insert(0, sp.conv == 'o' ? "0" : (upper ? "0X" : "0x"));
        break;
      }
      case 'f': case 'F': case 'e': case 'E': case 'g': case 'G':
        if (a.kind == FormatArg::kFloat) body = Floating(a.f, sp, dialect);
        else if (a.kind == FormatArg::kInt) body = Floating(static_cast<long double>(a.i), sp, dialect);
        else if (a.kind == FormatArg::kUInt) body = Floating(static_cast<long double>(a.u), sp, dialect);
        else Invalid(fmtText);
        break;
      case 's':
        numeric = false;
        if (a.kind != FormatArg::kStr) Invalid(fmtText);
        body = std::string(a.s);
        if (sp.precision >= 0 && static_cast<size_t>(sp.precision) < body.size()) {
          // Never cut inside a UTF-8 sequence.
          size_t cut = sp.precision;
          while (cut > 0 && (static_cast<unsigned char>(body[cut]) & 0xC0) == 0x80) --cut;
          body.resize(cut);
        }
        break;
      case 'c':
        numeric = false;
        if (a.kind != FormatArg::kChar && a.kind != FormatArg::kInt) Invalid(fmtText);
        body = std::string(1, static_cast<char>(a.i));
        break;
      case 'p': {
        numeric = false;
        if (a.kind != FormatArg::kPtr) Invalid(fmtText);
        auto v = reinterpret_cast<uintptr_t>(a.p);
        if (dialect == FormatDialect::C) body = v ? fmt::format("0x{:x}", v) : "(nil)";
        else body = fmt::format("{:0{}X}", v, static_cast<int>(sizeof(void*) * 2));
        break;
      }
      default:
        Invalid(fmtText);
    }
    out += Pad(std::move(body), sp, numeric);
  }
  return out;
}
