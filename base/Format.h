#pragma once
// printf-style formatting that never depends on the process locale ("." is always the
// decimal separator). Two dialects share one engine:
//   Format  - the class library's: "%f" and "%e" default to 2 decimals, "%x"/"%p" are upper case;
//   CFormat - the C library's: "%f" has 6 decimals, "%x" is lower case, "%p" prints as "0x...".
// A directive that does not fit its argument, or a missing argument, raises EConvertError.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

struct FormatArg {
  enum Kind { kInt, kUInt, kFloat, kStr, kPtr, kChar } kind;
  int64_t i = 0;
  uint64_t u = 0;
  long double f = 0;
  std::string_view s;
  const void* p = nullptr;

  FormatArg(char c) : kind(kChar), i(static_cast<unsigned char>(c)) {}
  FormatArg(bool b) : kind(kInt), i(b ? 1 : 0) {}
  template <typename T, std::enable_if_t<std::is_integral_v<T> && std::is_signed_v<T> && !std::is_same_v<T, char> && !std::is_same_v<T, bool>, int> = 0>
  FormatArg(T v) : kind(kInt), i(v) {}
  template <typename T, std::enable_if_t<std::is_integral_v<T> && std::is_unsigned_v<T> && !std::is_same_v<T, bool>, int> = 0>
  FormatArg(T v) : kind(kUInt), u(v) {}
  template <typename T, std::enable_if_t<std::is_enum_v<T>, int> = 0>
  FormatArg(T v) : kind(kInt), i(static_cast<int64_t>(v)) {}
  FormatArg(float v) : kind(kFloat), f(v) {}
  FormatArg(double v) : kind(kFloat), f(v) {}
  FormatArg(long double v) : kind(kFloat), f(v) {}
  FormatArg(const char* v) : kind(kStr), s(v ? v : "") {}
  FormatArg(const std::string& v) : kind(kStr), s(v) {}
  FormatArg(std::string_view v) : kind(kStr), s(v) {}
  FormatArg(const void* v) : kind(kPtr), p(v) {}
  FormatArg(std::nullptr_t) : kind(kPtr), p(nullptr) {}
};

enum class FormatDialect { ClassLibrary, C };

std::string FormatList(FormatDialect dialect, std::string_view fmt, std::initializer_list<FormatArg> args);

template <typename... Args>
std::string Format(std::string_view fmt, const Args&... args) {
  return FormatList(FormatDialect::ClassLibrary, fmt, {FormatArg(args)...});
}

template <typename... Args>
std::string CFormat(std::string_view fmt, const Args&... args) {
  return FormatList(FormatDialect::C, fmt, {FormatArg(args)...});
}
