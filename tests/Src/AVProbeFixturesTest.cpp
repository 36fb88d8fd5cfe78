// The generated media files open with the libraries and hold what their table promises.
#include <gtest/gtest.h>

#include <filesystem>

#include "Src/FFmpegLoader.h"
#include "Src/FFmpegStubs.h"
#include "tests/Src/fixtures/MediaFixtures.h"

namespace {

using namespace mediafix;

class FixtureSmoke : public ::testing::TestWithParam<TFixture> {
protected:
  void SetUp() override { ASSERT_TRUE(FFLoader().Load(ProbeLibraries)) << FFLoader().LastErrMsg(); }
  void TearDown() override { FFLoader().Unload(ProbeLibraries); }
};

TEST_P(FixtureSmoke, OpensWithItsFormatAndStreams) {
  const TFixtureInfo& fi = FixtureInfo(GetParam());
  const std::string path = FixturePath(GetParam());
  ASSERT_TRUE(std::filesystem::is_regular_file(path));
  EXPECT_EQ(FixturePath(GetParam()), path) << "made once, then reused";

  AVFormatContext* ctx = nullptr;
  ASSERT_EQ(AVFormatStubs.avformat_open_input(&ctx, path.c_str(), nullptr, nullptr), 0) << path;
  ASSERT_GE(AVFormatStubs.avformat_find_stream_info(ctx, nullptr), 0);
  EXPECT_STREQ(ctx->iformat->name, fi.FormatName);
  int video = 0, audio = 0;
  for (unsigned i = 0; i < ctx->nb_streams; ++i) {
    const AVCodecParameters* par = ctx->streams[i]->codecpar;
    if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
      ++video;
      EXPECT_EQ(par->width, fi.Width);
      EXPECT_EQ(par->height, fi.Height);
    } else if (par->codec_type == AVMEDIA_TYPE_AUDIO) {
      if (audio == 0) {
        EXPECT_EQ(par->sample_rate, fi.SampleRate);
        EXPECT_EQ(par->ch_layout.nb_channels, fi.Channels);
      }
      ++audio;
    }
  }
  EXPECT_EQ(video, fi.VideoStreams);
  EXPECT_EQ(audio, fi.AudioStreams);
  if (fi.DurationUs > 0) {
    ASSERT_NE(ctx->duration, AV_NOPTS_VALUE);
    EXPECT_NEAR(static_cast<double>(ctx->duration), static_cast<double>(fi.DurationUs), 200000.0);
  }
  AVFormatStubs.avformat_close_input(&ctx);
}

INSTANTIATE_TEST_SUITE_P(All, FixtureSmoke, ::testing::ValuesIn(AllFixtures()),
                         [](const ::testing::TestParamInfo<TFixture>& info) {
                           std::string n = FixtureInfo(info.param).FileName;
                           for (char& c : n)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

TEST(FixtureBadInput, EachKindIsWhatItSays) {
  namespace fs = std::filesystem;
  EXPECT_TRUE(fs::is_regular_file(BadInputPath(TBadInput::TextAsAvi)));
  EXPECT_EQ(fs::file_size(BadInputPath(TBadInput::Empty)), 0u);
  EXPECT_FALSE(fs::exists(BadInputPath(TBadInput::Missing)));
  EXPECT_TRUE(fs::is_directory(BadInputPath(TBadInput::Folder)));
  const auto cut = fs::file_size(BadInputPath(TBadInput::CutInHalf));
  EXPECT_EQ(cut, fs::file_size(FixturePath(TFixture::AviMpeg4Mp3)) / 2);
}

}  // namespace
