#pragma once
// Text and number routines. All text is UTF-8 in std::string; every routine here is
// independent of the process locale.
//
// UTF-8 helpers count code points and never split one. A byte that does not start a valid
// sequence (stray continuation byte, overlong form, surrogate, value above U+10FFFF, cut-off
// sequence) counts as one code point of its own, so counting, indexing and cutting work on
// any byte string without reading past its end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

// ---- UTF-8 ----------------------------------------------------------------------------

// Length in bytes of the valid UTF-8 sequence that starts at `pos`, or 0 when the byte at
// `pos` starts no valid sequence (or `pos` is at or past the end).
int Utf8SequenceLength(std::string_view s, size_t pos);
// The code point at `pos`; `*len` gets the bytes it takes. An invalid byte gives U+FFFD and
// a length of 1. At or past the end: 0 and a length of 0.
char32_t Utf8DecodeAt(std::string_view s, size_t pos, size_t* len = nullptr);
// Appends the UTF-8 form of `cp`; surrogates and values above U+10FFFF append U+FFFD.
void Utf8Append(std::string& out, char32_t cp);
bool IsValidUtf8(std::string_view s);

// Number of code points (an invalid byte counts as one).
size_t Utf8Length(std::string_view s);
// Byte offset of code point `n` (0-based); s.size() when `n` is at or past the end.
size_t Utf8ByteIndex(std::string_view s, size_t n);
// `count` code points from code point `start` (0-based); clamped to the text.
std::string Utf8Copy(std::string_view s, size_t start, size_t count);
// The first `n` code points.
std::string Utf8Left(std::string_view s, size_t n);
// The longest prefix of at most `maxBytes` bytes that does not end inside a valid sequence.
std::string Utf8TruncateBytes(std::string_view s, size_t maxBytes);
// Keeps every valid sequence and turns each invalid byte into the character of the same
// value (U+0080..U+00FF for bytes 0x80..0xFF), so the result is always valid UTF-8.
std::string Utf8FromMixed(std::string_view s);

// ---- UTF-16 (for the byte formats that store it) --------------------------------------

// An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view s);
// An invalid UTF-8 byte becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view s);
// UTF-16 code units stored as bytes (little-endian unless `bigEndian`); an odd last byte
// becomes U+FFFD.
std::string Utf16BytesToUtf8(std::string_view bytes, bool bigEndian = false);
std::string Utf8ToUtf16Bytes(std::string_view s, bool bigEndian = false);

// Text read from a file: a UTF-8 byte-order mark is dropped, a UTF-16 LE or BE mark turns
// the rest from UTF-16 into UTF-8; without a mark the bytes are taken as UTF-8.
std::string DecodeTextBytes(std::string_view bytes);

// ---- Case, comparison, trimming -------------------------------------------------------

// ASCII letters only; other bytes (UTF-8 included) are left as they are.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Compares with ASCII letters folded to upper case: < 0, 0 or > 0.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// Ordinal byte comparison: < 0, 0 or > 0.
int CompareStr(std::string_view a, std::string_view b);

// Remove blanks and control characters (every byte up to ' ').
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// `s` in single quotes with each quote doubled.
std::string QuotedStr(std::string_view s);
std::string AnsiQuotedStr(std::string_view s, char quote);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
// Replaces the first (or with rfReplaceAll every) occurrence of `oldPattern`; an empty
// pattern replaces nothing.
std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          unsigned flags = 0);

// ---- Numbers --------------------------------------------------------------------------

std::string IntToStr(int64_t value);
std::string UIntToStr(uint64_t value);
template <typename T, std::enable_if_t<std::is_integral_v<T> && std::is_unsigned_v<T> && !std::is_same_v<T, bool>, int> = 0>
std::string IntToStr(T value) {
  return UIntToStr(value);
}
template <typename T, std::enable_if_t<std::is_integral_v<T> && std::is_signed_v<T> && !std::is_same_v<T, int64_t>, int> = 0>
std::string IntToStr(T value) {
  return IntToStr(static_cast<int64_t>(value));
}

// Upper-case hexadecimal with at least `digits` digits. A negative value is shown in two's
// complement of its own width (IntToHex(-1, 2) is "FFFFFFFF" for a 32-bit value).
std::string IntToHex(uint64_t value, int digits);
template <typename T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, uint64_t>, int> = 0>
std::string IntToHex(T value, int digits) {
  return IntToHex(static_cast<uint64_t>(static_cast<std::make_unsigned_t<T>>(value)), digits);
}

// Text to integer: leading blanks, an optional sign, then decimal digits, or hexadecimal
// digits after "$", "0x" or "0X". Decimal text must fit the signed type; hexadecimal text
// may use the full unsigned width and wraps ("$FFFFFFFF" is -1). Anything else, trailing
// blanks included, raises EConvertError "''<text>'' is not a valid integer value".
int32_t StrToInt(std::string_view s);
int32_t StrToIntDef(std::string_view s, int32_t def);
bool TryStrToInt(std::string_view s, int32_t& value);
int64_t StrToInt64(std::string_view s);
int64_t StrToInt64Def(std::string_view s, int64_t def);
bool TryStrToInt64(std::string_view s, int64_t& value);

// General float-to-text with at most 15 significant digits: fixed notation while the
// exponent allows it, otherwise "1.5E-7" / "1E20"; "." is always the decimal separator.
// So 7.4 * 1000 gives "7400", not "7400.000000000001".
std::string FloatToStr(double value);
// Text to float: optional blanks around, optional sign, digits with "." as the decimal
// separator, optional exponent. Anything else raises EConvertError
// "'<text>' is not a valid floating point value".
double StrToFloat(std::string_view s);
double StrToFloatDef(std::string_view s, double def);
bool TryStrToFloat(std::string_view s, double& value);
