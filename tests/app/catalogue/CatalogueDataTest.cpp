// Counts, keys and cross-table invariants of the generated format and preset tables.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/catalogue/FormatCatalogue.h"
#include "app/catalogue/FormatParams.h"
#include "app/catalogue/Presets.h"
#include "app/catalogue/SettingsTables.h"

using namespace catalogue;

namespace {

std::set<int> KeysOf(std::initializer_list<std::pair<int, int>> ranges) {
  std::set<int> keys;
  for (auto [a, b] : ranges)
    for (int k = a; k <= b; ++k) keys.insert(k);
  return keys;
}

template <typename Range>
std::set<int> Keys(const Range& r) {
  std::set<int> keys;
  for (const auto& e : r) keys.insert(e.Key);
  return keys;
}

const std::set<int> kAudioOnlyKeys = KeysOf({{200, 212}, {708, 708}, {1202, 1203}, {1505, 1506}, {2515, 2515}, {2612, 2612}});
const std::set<int> kDiscKeys = {111, 112, 113, 1408, 1409, 1410, 2210, 2211, 2212, 2310, 2311, 2312, 2412, 2413, 2414};
const std::set<int> kAsfKeys = KeysOf({{108, 108}, {305, 305}, {1900, 1906}, {2511, 2511}});

}  // namespace

TEST(CatalogueData, CategoryListMapsThirteenPositionsToCodes) {
  auto list = CategoryList();
  ASSERT_EQ(list.size(), 13u);
  const int codes[] = {17, 0, 18, 1, 10, 15, 2, 3, 4, 5, 24, 11, 13};
  const int pictures[] = {30, 0, 29, 1, 10, 13, 2, 3, 4, 5, 40, 11, 18};
  for (int p = 0; p < 13; ++p) {
    EXPECT_EQ(list[p].Position, p);
    EXPECT_EQ(list[p].Code, codes[p]);
    EXPECT_EQ(list[p].Picture, pictures[p]);
    EXPECT_EQ(CategoryCodeOfPosition(p), codes[p]);
    EXPECT_EQ(CategoryPositionOfCode(codes[p]), p);
  }
  EXPECT_EQ(list[0].Caption, "WMV视频");
  EXPECT_EQ(list[10].Caption, "智能手机");
  EXPECT_EQ(list[12].Caption, "MPG视频");
  EXPECT_EQ(CategoryCodeOfPosition(-1), -1);
  EXPECT_EQ(CategoryCodeOfPosition(13), -1);
  EXPECT_EQ(CategoryPositionOfCode(6), -1);  // complete in the catalogue, not listed
}

TEST(CatalogueData, EveryCategoryHoldsItsFormatsAndTitlesEndWithAnExtension) {
  const int counts[] = {15, 13, 10, 14, 15, 5, 14, 5, 10, 8, 5, 4, 11, 11,
                        7,  7,  7,  7,  7,  12, 6, 13, 13, 15, 16, 13, 12, 13};
  size_t total = 0, listed = 0;
  const std::set<std::string> extensions = {".mp4", ".avi", ".mpg", ".wmv", ".mkv", ".mov", ".flv", ".asf", ".3gp",
                                            ".vob", ".swf", ".mp3", ".m4a", ".amr", ".3g2", ".rm",  ".wma", ".wav",
                                            ".aac", ".ogg", ".ra",  ".ac3", ".aiff", ".mp2", ".flac"};
  // The title ends "(*.ext)" with one of the listed extensions; nothing follows.
  auto titleExtension = [](std::string_view t) -> std::string {
    size_t open = t.rfind("(*");
    if (open == std::string_view::npos || t.back() != ')') return "";
    return std::string(t.substr(open + 2, t.size() - open - 3));
  };
  for (int code = 0; code < kCategoryCodeCount; ++code) {
    auto formats = FormatsOfCategory(code);
    ASSERT_EQ(formats.size(), size_t(counts[code])) << "code " << code;
    for (size_t p = 0; p < formats.size(); ++p) {
      EXPECT_EQ(formats[p].Key, FormatKey(code, int(p)));
      EXPECT_EQ(formats[p].ImageIndex(), int(p % 2));
      EXPECT_EQ(extensions.count(titleExtension(formats[p].Title)), 1u) << formats[p].Title;
      EXPECT_FALSE(formats[p].Caption.empty());
    }
    total += formats.size();
    if (CategoryPositionOfCode(code) >= 0) listed += formats.size();
  }
  EXPECT_EQ(total, 288u);
  EXPECT_EQ(AllFormats().size(), 288u);
  EXPECT_EQ(listed, 129u);
  EXPECT_TRUE(FormatsOfCategory(-1).empty());
  EXPECT_TRUE(FormatsOfCategory(28).empty());
}

TEST(CatalogueData, TextsAreByteExact) {
  // Inner blanks, full-width punctuation and the stray ")" are kept as they are.
  EXPECT_EQ(FindFormat(105)->Caption, "Matroska是一种新的多媒体封装格式 ，有超清晰的画面，和完美的音质");
  EXPECT_EQ(FindFormat(303)->Caption, "高清MPEG-4视频格式)");
  EXPECT_EQ(FindFormat(702)->Title, "3GPP2 -  第三代合作项目2-3G2视频+AMR音频(*.3g2)");
  EXPECT_EQ(FindFormat(1800)->Title, "WMV标准视频(*.wmv)");
  EXPECT_EQ(FindFormat(2812)->Title, "高清晰MPG格式视频(*.mpg)");
  for (int key : {99, 115, 1799, 1807, 2813, -100, 0})
    EXPECT_EQ(FindFormat(key), nullptr) << key;
}

TEST(CatalogueData, ParameterTableCoversExactlyTheCatalogue) {
  EXPECT_EQ(AllFormatParams().size(), 288u);
  EXPECT_EQ(Keys(AllFormatParams()), Keys(AllFormats()));

  std::set<int> audio, disc, asf;
  for (const auto& p : AllFormatParams()) {
    if (p.DisableVideo) audio.insert(p.Key);
    if (!p.TargetType.empty()) disc.insert(p.Key);
    if (p.FileFormat == "asf") asf.insert(p.Key);
    if (p.OutputExt == ".asf") {
      EXPECT_EQ(p.FileFormat, "asf") << p.Key;
    }
    if (p.DisableVideo) {
      EXPECT_TRUE(p.VideoCodec.empty() && p.VideoTag.empty() && p.FrameSize.empty() && p.FrameRate.empty() &&
                  p.Aspect.empty()) << p.Key;
      EXPECT_EQ(p.VideoBitrate, -1) << p.Key;
    }
    if (!p.TargetType.empty()) {
      EXPECT_EQ(p.NormType, "PAL");
      EXPECT_EQ(p.OutputExt, ".mpg");
      EXPECT_TRUE(p.FileExt.empty());
      EXPECT_EQ(p.VideoBitrate, -1000);
      EXPECT_EQ(p.AudioBitrate, -1000);
      EXPECT_TRUE(p.VideoCodec.empty() && p.AudioCodec.empty() && p.AudioChannels.empty() && p.SampleRate.empty());
    }
  }
  EXPECT_EQ(audio, kAudioOnlyKeys);
  EXPECT_EQ(disc, kDiscKeys);
  EXPECT_EQ(asf, kAsfKeys);

  // The output extension agrees with the title except for five formats, which write what the
  // table says.
  std::map<int, std::string> differs;
  for (const auto& p : AllFormatParams()) {
    std::string title(FindFormat(p.Key)->Title);
    if (title.size() < p.OutputExt.size() + 2 || title.substr(title.size() - p.OutputExt.size() - 1) != std::string(p.OutputExt) + ")")
      differs[p.Key] = std::string(p.OutputExt);
  }
  EXPECT_EQ(differs, (std::map<int, std::string>{{901, ".mpeg"}, {906, ".avi"}, {909, ".mp4"}, {2500, ".avi"}, {2700, ".avi"}}));

  // Video_FileExt differs from the output extension only in the disc rows, 114, 1202, 1203,
  // 1505, 1506 (empty), 206 (".rm") and 306 (".asf").
  std::set<int> fileExtDiffers;
  for (const auto& p : AllFormatParams())
    if (p.FileExt != p.OutputExt) fileExtDiffers.insert(p.Key);
  std::set<int> expected = kDiscKeys;
  expected.insert({114, 1202, 1203, 1505, 1506, 206, 306});
  EXPECT_EQ(fileExtDiffers, expected);
  EXPECT_EQ(FindFormatParams(206)->FileExt, ".rm");
  EXPECT_EQ(FindFormatParams(306)->FileExt, ".asf");
}

TEST(CatalogueData, MainPresetTablesHaveEightyNineListsAndOneEntryPerFormat) {
  const TPresetTables& t = MainPresets();
  EXPECT_EQ(t.Lists().size(), 89u);
  size_t texts = 0;
  std::map<char, int> perRole;
  for (const auto& l : t.Lists()) {
    texts += l.Items.size();
    perRole[l.Name[0]]++;
  }
  EXPECT_EQ(texts, 956u);
  EXPECT_EQ(perRole, (std::map<char, int>{{'R', 33}, {'V', 33}, {'F', 8}, {'A', 6}, {'S', 6}, {'M', 3}}));
  EXPECT_EQ(t.FindList("R1")->Items.size(), 28u);
  EXPECT_EQ(t.FindList("R25")->Items[24], "1920*1200");
  EXPECT_EQ(t.FindList("R25")->Items[25], "1920*1200");
  EXPECT_EQ(t.FindList("A3")->Items[0], "4.75 kbps");

  EXPECT_EQ(t.Entries().size(), 288u);
  EXPECT_EQ(Keys(t.Entries()), Keys(AllFormats()));
  std::set<int> videoOff, used;
  std::set<std::string_view> usedLists;
  for (const auto& e : t.Entries()) {
    if (e.VideoOff) videoOff.insert(e.Key);
    EXPECT_EQ(e.VideoOff, e[TPresetRole::Resolution].List->Name == "R3") << e.Key;
    for (const auto& c : e.Choices) usedLists.insert(c.List->Name);
  }
  EXPECT_EQ(videoOff, kAudioOnlyKeys);
  EXPECT_EQ(usedLists.size(), 89u);
  EXPECT_EQ(t.Find(1799), nullptr);
}

TEST(CatalogueData, SettingsTablesAreTheirOwnOlderCopy) {
  auto cats = SettingsCategories();
  ASSERT_EQ(cats.size(), 12u);
  EXPECT_EQ(cats[0].Caption, "常用视频");
  EXPECT_EQ(cats[6].Caption, "3GP视频");
  EXPECT_EQ(cats[11].Caption, "Flash视频");
  const int counts[] = {15, 13, 10, 14, 6, 5, 14, 5, 10, 8, 5, 4};
  for (int c = 0; c < 12; ++c) EXPECT_EQ(SettingsFormatsOfCategory(c).size(), size_t(counts[c])) << c;
  EXPECT_EQ(AllSettingsFormats().size(), 109u);
  EXPECT_TRUE(SettingsFormatsOfCategory(12).empty());

  // Its texts differ from the main window's where its catalogue is older.
  EXPECT_EQ(FindSettingsFormat(202)->Title, "WAV - 波形音频格式(*.wav) ");
  EXPECT_EQ(FindSettingsFormat(211)->Title, "ALAC-Apple Lossless无损音频格式(*.alac) ");
  EXPECT_EQ(FindSettingsFormat(702)->Title, "3GPP2 -  第三代合作项目2-3G2视频+AMR音频(*.3g2))");
  EXPECT_EQ(FindSettingsFormat(800)->ImageIndex, 22);
  EXPECT_EQ(FindSettingsFormat(300)->ImageIndex, 20);
  EXPECT_EQ(FindSettingsFormat(506), nullptr);
  EXPECT_NE(FindFormat(506), nullptr);

  const TPresetTables& p = SettingsPresets();
  EXPECT_EQ(p.Lists().size(), 50u);
  size_t texts = 0;
  for (const auto& l : p.Lists()) texts += l.Items.size();
  EXPECT_EQ(texts, 409u);
  EXPECT_EQ(p.Entries().size(), 109u);
  EXPECT_EQ(Keys(p.Entries()), Keys(AllSettingsFormats()));
  std::set<int> audio;
  for (const auto& e : p.Entries())
    if (e.VideoOff) audio.insert(e.Key);
  EXPECT_EQ(audio, KeysOf({{200, 212}, {708, 708}, {1202, 1203}}));

  EXPECT_EQ(AllSettingsParams().size(), 109u);
  EXPECT_EQ(Keys(AllSettingsParams()), Keys(AllSettingsFormats()));

  // Nine keys differ between the two preset tables; 700 is one of them.
  EXPECT_EQ(p.Find(700)->DefaultText(TPresetRole::AudioBitrate), "12 kbps");
  EXPECT_EQ(MainPresets().Find(700)->DefaultText(TPresetRole::AudioBitrate), "7.4 kbps");
}
