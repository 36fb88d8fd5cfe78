#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/Exception.h"
#include "base/Text.h"

namespace {
const std::string kVideo = "视频";       // two 3-byte code points
const std::string kEmoji = "\xF0\x9F\x8E\xAC";  // U+1F3AC, four bytes
}  // namespace

TEST(Utf8, SequenceValidity) {
  struct Case { std::string text; int len; };
  const Case cases[] = {
      {"A", 1},
      {"\xC3\xA9", 2},               // é
      {kVideo, 3},
      {kEmoji, 4},
      {"\x80", 0},                   // stray continuation byte
      {"\xC0\xAF", 0},               // overlong "/"
      {"\xE0\x80\xAF", 0},           // overlong three-byte form
      {"\xED\xA0\x80", 0},           // UTF-16 surrogate
      {"\xF4\x90\x80\x80", 0},       // above U+10FFFF
      {"\xE8\xA7", 0},               // cut-off sequence at the end
      {"\xFF", 0},
      {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8SequenceLength(c.text, 0), c.len) << c.text.size();
  EXPECT_TRUE(IsValidUtf8("abc" + kVideo + kEmoji));
  EXPECT_FALSE(IsValidUtf8("abc\xE8\xA7"));
}

TEST(Utf8, CountIndexAndCutNeverSplitACodePoint) {
  const std::string s = "a" + kVideo + kEmoji + "b";  // 5 code points, 1+6+4+1 bytes
  EXPECT_EQ(Utf8Length(s), 5u);
  EXPECT_EQ(Utf8ByteIndex(s, 0), 0u);
  EXPECT_EQ(Utf8ByteIndex(s, 2), 4u);
  EXPECT_EQ(Utf8ByteIndex(s, 3), 7u);
  EXPECT_EQ(Utf8ByteIndex(s, 99), s.size());
  EXPECT_EQ(Utf8Copy(s, 1, 2), kVideo);
  EXPECT_EQ(Utf8Copy(s, 4, 10), "b");
  EXPECT_EQ(Utf8Copy(s, 10, 1), "");
  EXPECT_EQ(Utf8Left(s, 2), "a" + kVideo.substr(0, 3));
  // A byte budget that falls inside a character keeps the whole characters before it.
  EXPECT_EQ(Utf8TruncateBytes(s, 3), "a");
  EXPECT_EQ(Utf8TruncateBytes(s, 4), "a" + kVideo.substr(0, 3));
  EXPECT_EQ(Utf8TruncateBytes(s, 10), "a" + kVideo);
  EXPECT_EQ(Utf8TruncateBytes(s, 100), s);
}

TEST(Utf8, InvalidBytesCountAsOneEach) {
  // A truncated Chinese character followed by a stray byte and an ASCII letter.
  const std::string bad = "\xE8\xA7\xFFx";
  EXPECT_EQ(Utf8Length(bad), 4u);
  size_t len = 0;
  EXPECT_EQ(Utf8DecodeAt(bad, 0, &len), U'\uFFFD');
  EXPECT_EQ(len, 1u);
  EXPECT_EQ(Utf8DecodeAt(bad, 99, &len), 0u);
  EXPECT_EQ(len, 0u);
  EXPECT_EQ(Utf8Copy(bad, 3, 1), "x");
  // Mixed text keeps valid characters and widens each bad byte to its own character.
  EXPECT_EQ(Utf8FromMixed("a\xE9" + kVideo), "a\xC3\xA9" + kVideo);
  EXPECT_TRUE(IsValidUtf8(Utf8FromMixed(bad)));
}

TEST(Utf16, RoundTripAndBadInput) {
  const std::string s = "Ab" + kVideo + kEmoji;
  const std::u16string u = Utf8ToUtf16(s);
  EXPECT_EQ(u, std::u16string(u"Ab视频\U0001F3AC"));
  EXPECT_EQ(Utf16ToUtf8(u), s);
  EXPECT_EQ(Utf16BytesToUtf8(Utf8ToUtf16Bytes(s)), s);
  EXPECT_EQ(Utf16BytesToUtf8(Utf8ToUtf16Bytes(s, true), true), s);
  EXPECT_EQ(Utf8ToUtf16Bytes("A"), std::string("A\0", 2));
  EXPECT_EQ(Utf8ToUtf16Bytes("A", true), std::string("\0A", 2));
  // A lone surrogate, a reversed pair and an odd trailing byte all become U+FFFD.
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800, u'x'}), "\xEF\xBF\xBDx");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDC00, 0xD800}), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(Utf16BytesToUtf8(std::string("A\0B", 3)), "A\xEF\xBF\xBD");
  EXPECT_EQ(Utf8ToUtf16("\xFF"), std::u16string(1, 0xFFFD));
}

TEST(Text, DecodeTextBytesByByteOrderMark) {
  const std::string text = "a=" + kVideo;
  EXPECT_EQ(DecodeTextBytes(text), text);
  EXPECT_EQ(DecodeTextBytes("\xEF\xBB\xBF" + text), text);
  EXPECT_EQ(DecodeTextBytes("\xFF\xFE" + Utf8ToUtf16Bytes(text)), text);
  EXPECT_EQ(DecodeTextBytes("\xFE\xFF" + Utf8ToUtf16Bytes(text, true)), text);
  EXPECT_EQ(DecodeTextBytes("\xEF\xBB"), "\xEF\xBB");  // too short to be a mark
  EXPECT_EQ(DecodeTextBytes(""), "");
}

TEST(Text, CaseAndComparison) {
  EXPECT_EQ(UpperCase("abc" + kVideo + "xYz"), "ABC" + kVideo + "XYZ");
  EXPECT_EQ(LowerCase("TimeStart"), "timestart");
  EXPECT_TRUE(SameText("TimeStart", "timestart"));
  EXPECT_FALSE(SameText("image2", "image"));
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_LT(CompareText("abc", "abd"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
  EXPECT_GT(CompareText("b", "A"), 0);
  // Letters fold to upper case, so "_" (0x5F) sorts after every letter.
  EXPECT_GT(CompareText("_", "z"), 0);
  EXPECT_LT(CompareStr("B", "a"), 0);
}

TEST(Text, TrimRemovesBlanksAndControlCharacters) {
  EXPECT_EQ(Trim(" \t\r\n x y \x01"), "x y");
  EXPECT_EQ(TrimLeft("  x "), "x ");
  EXPECT_EQ(TrimRight("  x \r\n"), "  x");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(" " + kVideo + " "), kVideo);  // UTF-8 bytes are never blanks
}

TEST(Text, QuotedAndReplace) {
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(AnsiQuotedStr("a\"b", '"'), "\"a\"\"b\"");
  EXPECT_EQ(StringReplace("a-b-c", "-", "+"), "a+b-c");
  EXPECT_EQ(StringReplace("a-b-c", "-", "+", rfReplaceAll), "a+b+c");
  EXPECT_EQ(StringReplace("xAx", "a", "bb", rfReplaceAll | rfIgnoreCase), "xbbx");
  EXPECT_EQ(StringReplace("xAx", "a", "bb", rfReplaceAll), "xAx");
  EXPECT_EQ(StringReplace("aaa", "aa", "a", rfReplaceAll), "aa");
  EXPECT_EQ(StringReplace("abc", "", "z", rfReplaceAll), "abc");
}

TEST(Text, IntToStrAndHex) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(IntToStr(int64_t{-9000000000}), "-9000000000");
  EXPECT_EQ(IntToStr(std::numeric_limits<uint64_t>::max()), "18446744073709551615");
  EXPECT_EQ(IntToStr(static_cast<long long>(7)), "7");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0xABCDEF, 2), "ABCDEF");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(int64_t{-1}, 0), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(0, 0), "0");
}

TEST(Text, StrToIntAcceptsDecimalAndHex) {
  struct Case { const char* text; int32_t value; };
  const Case good[] = {
      {"0", 0},           {"42", 42},          {"-42", -42},          {"+7", 7},
      {"  12", 12},       {"$1F", 31},         {"0x1f", 31},          {"0X10", 16},
      {"-$10", -16},      {"-0x10", -16},      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},        {"$FFFFFFFF", -1},     {"0x80000000", -2147483647 - 1},
      {"007", 7},
  };
  for (const auto& c : good) {
    EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    EXPECT_EQ(StrToIntDef(c.text, 99), c.value) << c.text;
  }
  const char* bad[] = {"", " ", "abc", "12 ", "1.5", "$", "0x", "--1", "2147483648", "-2147483649",
                       "$100000000", "1e3", "0x-5", "12a", "\xE4\xB8\x80"};
  for (const char* b : bad) {
    EXPECT_EQ(StrToIntDef(b, 99), 99) << b;
    EXPECT_THROW(StrToInt(b), EConvertError) << b;
  }
}

TEST(Text, StrToIntErrorNamesTheText) {
  try {
    StrToInt("12abc");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "''12abc'' is not a valid integer value");
  }
}

TEST(Text, StrToInt64) {
  EXPECT_EQ(StrToInt64("9000000000"), int64_t{9000000000});
  EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64Def("9223372036854775808", 5), 5);
  EXPECT_EQ(StrToInt64Def("x", -3), -3);
  EXPECT_THROW(StrToInt64("1 2"), EConvertError);
}

TEST(Text, FloatToStrGivesFifteenSignificantDigits) {
  struct Case { double value; const char* text; };
  const Case cases[] = {
      {0, "0"},           {1, "1"},               {-2.5, "-2.5"},        {0.1, "0.1"},
      {4.75 * 1000, "4750"},  {7.4 * 1000, "7400"},  // 7400.000000000001 in binary
      {1.0 / 3, "0.333333333333333"},          {100, "100"},          {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},     {1.5e20, "1.5E20"},     {0.0001, "0.0001"},    {0.00001, "0.00001"},
      {0.000001, "1E-6"}, {-1.5e-7, "-1.5E-7"},   {29.97, "29.97"},      {1.7777, "1.7777"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.value), c.text) << c.text;
  EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FloatToStr(std::nan("")), "NAN");
}

TEST(Text, FloatToStrOfTheLargestValuesReadsBack) {
  // Rounded to 15 digits these would pass the largest double and read back as an error.
  const double dmax = std::numeric_limits<double>::max();
  const double values[] = {dmax, -dmax, std::nextafter(dmax, 0.0), 1.7976931348623e308, 1.79769313486231e308};
  for (double v : values) {
    const std::string text = FloatToStr(v);
    double back = 0;
    ASSERT_TRUE(TryStrToFloat(text, back)) << text;
    EXPECT_NEAR(back / v, 1.0, 1e-14) << text;
  }
  EXPECT_EQ(FloatToStr(dmax), "1.79769313486231E308");
  EXPECT_EQ(FloatToStr(1.5e308), "1.5E308") << "values that round safely keep their rounding";
}

TEST(Text, StrToFloatRefusesExponentsOutOfRange) {
  // Exponents near the 64-bit limits once overflowed the range check.
  const char* bad[] = {"1e9223372036854775807", "1e+9223372036854775807", "1e99999999999999999999", "-1e9223372036854775807",
                       "10e9223372036854775806"};
  for (const char* b : bad) {
    double v = 0;
    EXPECT_FALSE(TryStrToFloat(b, v)) << b;
    EXPECT_THROW(StrToFloat(b), EConvertError) << b;
  }
  const char* zero[] = {"1e-9223372036854775808", "1e-9223372036854775807", "0.001e-99999999999999999999"};
  for (const char* z : zero) EXPECT_EQ(StrToFloat(z), 0.0) << z;
}

TEST(Text, StrToFloatAlwaysUsesDot) {
  struct Case { const char* text; double value; };
  const Case good[] = {
      {"1.5", 1.5}, {" -2.25 ", -2.25}, {"+3", 3}, {".5", 0.5}, {"5.", 5}, {"1e3", 1000},
      {"1.5E-2", 0.015}, {"1e+2", 100}, {"1e-400", 0}, {"29.97", 29.97},
  };
  for (const auto& c : good) EXPECT_DOUBLE_EQ(StrToFloat(c.text), c.value) << c.text;
  const char* bad[] = {"", "1,5", "abc", "1.2.3", "e5", "1e", "inf", "nan", "0x1p3", "--1", "1e400", ".", "- 1"};
  for (const char* b : bad) {
    EXPECT_DOUBLE_EQ(StrToFloatDef(b, -7), -7) << b;
    EXPECT_THROW(StrToFloat(b), EConvertError) << b;
  }
  try {
    StrToFloat("1,5");
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "'1,5' is not a valid floating point value");
  }
}
