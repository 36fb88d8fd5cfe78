#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/NameOrder.h"

namespace {

// Each list is in the name order; every pair is checked both ways, through the comparison and
// through the sort keys.
void ExpectOrdered(const std::vector<std::string>& names) {
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(0, CompareNames(names[i], names[i])) << names[i];
    EXPECT_EQ(NameSortKey(names[i]), NameSortKey(names[i]));
    for (size_t j = i + 1; j < names.size(); ++j) {
      EXPECT_EQ(-1, CompareNames(names[i], names[j])) << names[i] << " / " << names[j];
      EXPECT_EQ(1, CompareNames(names[j], names[i])) << names[j] << " / " << names[i];
      EXPECT_LT(NameSortKey(names[i]), NameSortKey(names[j])) << names[i] << " / " << names[j];
    }
  }
}

TEST(NameOrder, NumbersLettersThenChineseByPinyin) {
  const std::vector<std::vector<std::string>> tables = {
      // Chinese by pinyin: a, bei, ce, shi, wen, zhong.
      {"啊", "北京", "测试", "视频", "文档", "中国"},
      // Numbers by value, also inside names and with leading zeros.
      {"1", "2", "10", "100"},
      {"clip2.mp4", "clip10.mp4", "clip100.mp4"},
      {"v1.9", "v1.10"},
      // Letters without regard to case; equal letters fall back to the bytes ("A" before "a").
      {"Apple", "apple", "banana", "Cherry"},
      {"A2.avi", "a10.avi", "b.avi"},
      // Numbers, then Latin, then Chinese.
      {"2024", "Zebra", "啊"},
      {"9.txt", "a.txt", "z.txt", "北京.txt"},
      // A prefix comes first.
      {"video", "video.mp4", "视频", "视频1", "视频2", "视频10"},
  };
  for (const auto& t : tables) ExpectOrdered(t);
}

TEST(NameOrder, SortingByKeysMatchesTheComparison) {
  std::vector<std::string> names = {"中国", "b", "文档10", "A", "文档9", "10", "a", "测试", "2", "北京", "Z"};
  std::vector<std::string> byCompare = names, byKey = names;
  std::sort(byCompare.begin(), byCompare.end(),
            [](const std::string& x, const std::string& y) { return CompareNames(x, y) < 0; });
  std::sort(byKey.begin(), byKey.end(),
            [](const std::string& x, const std::string& y) { return NameSortKey(x) < NameSortKey(y); });
  EXPECT_EQ(byCompare, byKey);
  EXPECT_EQ((std::vector<std::string>{"2", "10", "A", "a", "b", "Z", "北京", "测试", "文档9", "文档10", "中国"}),
            byCompare);
}

TEST(NameOrder, NamesThatAreNotUtf8StayDistinctAndOrdered) {
  // Raw bytes from a foreign file system: equal only to themselves, and never a crash.
  const std::string bad1 = "clip\xFF.avi", bad2 = "clip\xFE.avi", cut = "clip\xE8\xA7";
  EXPECT_NE(0, CompareNames(bad1, bad2));
  EXPECT_EQ(-CompareNames(bad1, bad2), CompareNames(bad2, bad1));
  EXPECT_EQ(CompareNames(bad1, bad2) < 0, NameSortKey(bad1) < NameSortKey(bad2));
  EXPECT_EQ(0, CompareNames(cut, cut));
  EXPECT_NE(0, CompareNames(cut, "clip"));
  EXPECT_EQ(0, CompareNames("", ""));
  EXPECT_EQ(-1, CompareNames("", "a"));
}

}  // namespace
