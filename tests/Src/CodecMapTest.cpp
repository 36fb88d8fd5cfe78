// The encoder-name and option translation table.
#include <gtest/gtest.h>

#include "Src/CodecMap.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegStubs.h"

namespace {

TEST(CodecMap, EveryAliasNamesAnInstalledEncoderOrIsMarkedUnavailable) {
  ASSERT_TRUE(FFLoader().Load(TaskLibraries)) << FFLoader().LastErrMsg();
  for (const TEncoderAlias& a : EncoderAliases()) {
    bool unavailable = false;
    const std::string mapped = MapEncoderName(a.OldName, unavailable);
    if (!a.NewName) {
      EXPECT_TRUE(unavailable) << a.OldName;
      EXPECT_EQ(AVCodecStubs.avcodec_find_encoder_by_name(a.OldName), nullptr) << a.OldName << " has an encoder now";
      continue;
    }
    EXPECT_FALSE(unavailable);
    EXPECT_EQ(mapped, a.NewName);
    EXPECT_NE(AVCodecStubs.avcodec_find_encoder_by_name(mapped.c_str()), nullptr) << a.OldName << " -> " << mapped;
  }
  bool unavailable = true;
  EXPECT_EQ(MapEncoderName("mpeg4", unavailable), "mpeg4");
  EXPECT_FALSE(unavailable);
  FFLoader().Unload(TaskLibraries);
}

TEST(CodecMap, ProgramStreamsTakeMp2InsteadOfAac) {
  EXPECT_EQ(MuxerAudioReplacement("mpeg", "libfaac"), "mp2");
  EXPECT_EQ(MuxerAudioReplacement("vob", "aac"), "mp2");
  EXPECT_EQ(MuxerAudioReplacement("dvd", "aac"), "mp2");
  EXPECT_EQ(MuxerAudioReplacement("mpeg", "ac3"), "");
  EXPECT_EQ(MuxerAudioReplacement("mp4", "aac"), "");
}

TEST(CodecMap, OldOptionsBecomeTheirPrivateForms) {
  using P = std::vector<std::pair<std::string, std::string>>;
  struct TCase {
    const char* Name;
    const char* Value;
    P Expected;
  };
  const std::vector<TCase> cases = {
      {"flags2", "-dct8x8", {{"8x8dct", "0"}}},
      {"flags2", "-wpred-dct8x8", {{"weightb", "0"}, {"8x8dct", "0"}}},
      {"flags2", "+mixed_refs+wpred+dct8x8+fastpskip",
       {{"mixed-refs", "1"}, {"weightb", "1"}, {"8x8dct", "1"}, {"fast-pskip", "1"}}},
      {"flags2", "+mixed_refs+local_header", {{"flags2", "+local_header"}, {"mixed-refs", "1"}}},
      {"flags2", "+local_header", {{"flags2", "+local_header"}}},
      {"flags", "+scan_offset", {{"scan_offset", "1"}}},
      {"flags", "+loop", {{"flags", "+loop"}}},
      {"directpred", "3", {{"direct-pred", "3"}}},
      {"partitions", "+parti8x8+parti4x4+partp8x8+partb8x8", {{"partitions", "i8x8,i4x4,p8x8,b8x8"}}},
      {"partitions", "-parti8x8", {{"partitions", "none"}}},
      {"partitions", "all", {{"partitions", "all"}}},
      {"crf", "22", {{"crf", "22"}}},
  };
  for (const TCase& c : cases) EXPECT_EQ(TranslateCodecOption(c.Name, c.Value), c.Expected) << c.Name << "=" << c.Value;
}

}  // namespace
