#include <gtest/gtest.h>

#include <clocale>

#include "base/Exception.h"
#include "base/Format.h"

TEST(Format, ClassLibraryDialect) {
  struct Case { std::string got, want; };
  const Case cases[] = {
      {Format("%d", 42), "42"},
      {Format("%d", int64_t{-9000000000}), "-9000000000"},
      {Format("%d", int32_t{-2147483647 - 1}), "-2147483648"},
      {Format("%u", 4000000000u), "4000000000"},
      {Format("%u", -1), "4294967295"},
      {Format("%x", 255), "FF"},
      {Format("%X", 3054), "BEE"},
      {Format("0x%04X", 10), "0x000A"},
      {Format("%s", std::string("视频")), "视频"},
      {Format("[%-16s]", "abc"), "[abc             ]"},
      {Format("[%5s]", "ab"), "[   ab]"},
      {Format("%.2f MB", 1.005), "1.00 MB"},
      {Format("%.2f", 2.675), "2.67"},
      {Format("%3.2f", 3.14159), "3.14"},
      {Format("%7.2f", -3.14159), "  -3.14"},
      {Format("%f", 1.5), "1.50"},
      {Format("%.6d", 42), "000042"},
      {Format("%.2d:%.2d:%.2d", 1, 2, 33), "01:02:33"},
      {Format("StartTime: %d.%.6d", 3, 5), "StartTime: 3.000005"},
      {Format("%05d", -42), "-0042"},
      {Format("100%%"), "100%"},
      {Format("%s: %s", "a", "b"), "a: b"},
      {Format("%c:%2.2f ", 'V', 0.5), "V:0.50 "},
      {Format("%1.0f", 29.97), "30"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(Format, CDialect) {
  EXPECT_EQ(CFormat("%f", 1.5), "1.500000");
  EXPECT_EQ(CFormat("%x", 255), "ff");
  EXPECT_EQ(CFormat("%0.3f", 2.0), "2.000");
  int x = 0;
  EXPECT_EQ(CFormat("%p", static_cast<const void*>(&x)).substr(0, 2), "0x");
  EXPECT_EQ(CFormat("%p", nullptr), "(nil)");
  EXPECT_EQ(CFormat("%lld %ld", int64_t{5}, long{6}), "5 6");
}

TEST(Format, PointerInClassLibraryDialectHasFixedWidth) {
  EXPECT_EQ(Format("%p", nullptr), std::string(sizeof(void*) * 2, '0'));
}

TEST(Format, PrecisionOnStringsNeverSplitsACodePoint) {
  // "视" takes three bytes; a cut at 4 bytes keeps the first character only.
  EXPECT_EQ(Format("%.4s", "视频"), "视");
}

TEST(Format, IndependentOfTheLocale) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
    EXPECT_EQ(Format("%.2f", 1.25), "1.25");
    std::setlocale(LC_NUMERIC, saved.c_str());
  }
  EXPECT_EQ(Format("%.1f", 0.25), "0.2");
}

TEST(Format, BadDirectivesRaise) {
  EXPECT_THROW(Format("%d"), EConvertError);
  EXPECT_THROW(Format("%d", "text"), EConvertError);
  EXPECT_THROW(Format("%s", 5), EConvertError);
  EXPECT_THROW(Format("%", 5), EConvertError);
  EXPECT_THROW(Format("%y", 5), EConvertError);
}

TEST(Format, WidthsFromArgumentsAreCappedLikeWrittenOnes) {
  EXPECT_EQ(Format("%*d|", 4, 7), "   7|");
  EXPECT_EQ(Format("%*d|", -4, 7), "7   |") << "a negative width left-justifies";
  EXPECT_EQ(Format("%.*f", -1, 1.5), "1.50") << "a negative precision counts as none";
  EXPECT_EQ(Format("%.*f", 3, 1.5), "1.500");
  // A width of INT_MIN once overflowed on negation; a width of 3e9 asked for 3 GB.
  EXPECT_THROW(Format("%*d", int32_t{INT32_MIN}, 1), EConvertError);
  EXPECT_THROW(Format("%*d", int64_t{3000000000}, 1), EConvertError);
  EXPECT_THROW(Format("%.*f", 200000, 1.0), EConvertError);
  EXPECT_THROW(Format("%200000d", 1), EConvertError);
  EXPECT_THROW(Format("%*d", 5u, 1), EConvertError) << "a width is a signed integer argument";
}
