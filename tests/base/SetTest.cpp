#include <gtest/gtest.h>

#include "base/Set.h"

namespace {
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum class TLarge : unsigned { a = 0, z = 63 };
}  // namespace

TEST(Set, IncludeExcludeAndOperators) {
  TFontStyles s;
  EXPECT_TRUE(s.Empty());
  s.Include(fsBold).Include(fsUnderline);
  EXPECT_TRUE(s.Contains(fsBold));
  EXPECT_FALSE(s.Contains(fsItalic));
  s.Exclude(fsBold).Exclude(fsBold);
  EXPECT_EQ(s, TFontStyles{fsUnderline});
  TFontStyles a{fsBold, fsItalic}, b{fsItalic, fsStrikeOut};
  EXPECT_EQ(a + b, (TFontStyles{fsBold, fsItalic, fsStrikeOut}));
  EXPECT_EQ(a - b, TFontStyles{fsBold});
  EXPECT_EQ(a * b, TFontStyles{fsItalic});
  EXPECT_TRUE((a + b).ContainsAll(a));
  EXPECT_FALSE(a.ContainsAll(b));
  a -= fsBold;
  EXPECT_EQ(a, TFontStyles{fsItalic});
  TSet<TLarge> big{TLarge::z};
  EXPECT_TRUE(big.Contains(TLarge::z));
  EXPECT_FALSE(big.Contains(TLarge::a));
  EXPECT_EQ(big.Bits(), uint64_t{1} << 63);
}
