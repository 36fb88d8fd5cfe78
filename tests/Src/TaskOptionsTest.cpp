#include "Src/TaskOptions.h"

#include <gtest/gtest.h>

namespace {

TEST(TaskOptions, FreshOutputRecordHoldsItsDefaults) {
  TOutputOptions o;
  o.AudioSyncMethod = 7;  // dirty it, then re-initialise
  o.VideoCodec = std::string(1000, 'x');
  o.Info.Title = "t";
  o.Info.TimeStamp = 3;
  o.NormDefault = ntNTSC;
  InitOutputOptions(o);
  EXPECT_EQ(o.AudioSyncMethod, 0);
  EXPECT_EQ(o.VideoSyncMethod, -1);
  EXPECT_EQ(o.MuxDelay, -1.0f);
  EXPECT_EQ(o.MuxPreload, -1.0f);
  EXPECT_EQ(o.Info.TimeStamp, -1.0);
  EXPECT_EQ(o.Info.Year, -1);
  EXPECT_EQ(o.Info.Track, -1);
  EXPECT_TRUE(o.Info.Title.empty());
  EXPECT_TRUE(o.VideoCodec.empty());
  EXPECT_EQ(o.NormDefault, ntPAL);
  EXPECT_EQ(o.NormType, ntAuto);
  EXPECT_EQ(o.TargetType, ttIgnore);
  EXPECT_EQ(o.TimeStart, INT64_MIN);
  EXPECT_EQ(o.TimeLength, INT64_MIN);
  EXPECT_EQ(o.AudioVolume, -1);
  EXPECT_EQ(o.CropRight, -1);
  EXPECT_EQ(o.Tag, 0);
  EXPECT_EQ(o.Data, nullptr);
}

TEST(TaskOptions, FreshInputRecordHasNoStartTime) {
  TInputOptions i;
  i.TimeStart = 0;
  i.FileName = "a.avi";
  i.ProgramID = 3;
  InitInputOptions(i);
  EXPECT_EQ(i.TimeStart, NoTimeValue);
  EXPECT_NE(i.TimeStart, 0);
  EXPECT_EQ(i.ProgramID, -1);
  EXPECT_TRUE(i.FileName.empty());
}

TEST(TaskOptions, ExtOptionsSplitOnEveryKindOfLineBreak) {
  struct Case {
    const char* text;
    std::vector<std::pair<std::string, std::string>> want;
  };
  const Case cases[] = {
      {"a=1\r\nb=2\nc=3\rd=4", {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}}},
      {"  ab=x=y<CRLF>vcodec=mpeg4  ", {{"ab", "x=y"}, {"vcodec", "mpeg4"}}},
      {"\r\n\r\n  title = My Song\n\n", {{"title", " My Song"}}},
      {"flag<CRLF><CRLF>b=", {{"flag", ""}, {"b", ""}}},
      {"", {}},
      {"   ", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<std::string, std::string>> got;
    for (const TExtOption& e : ParseExtOptions(c.text)) got.emplace_back(e.Name, e.Value);
    EXPECT_EQ(got, c.want) << c.text;
  }
}

}  // namespace
