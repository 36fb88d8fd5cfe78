// End-to-end conversions of the fixture clips, each output checked by decoding it again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "Src/FFmpeg.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/FFmpegStubs.h"
#include "tests/Src/TranscodeTestUtil.h"
#include "tests/Src/fixtures/MediaFixtures.h"

namespace {

using namespace mediafix;
using namespace transcodetest;

class Transcode : public TranscodeFixture {};

TEST_F(Transcode, AviToAviKeepsStreamsSizeRateAndLength) {
  const TFixtureInfo& fi = FixtureInfo(TFixture::AviMpeg4Mp3);
  const std::string out = Out("plain.avi");
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), out, {{"vcodec", "mpeg4"}, {"acodec", "libmp3lame"}}));
  const TDecoded d = DecodeFile(out);
  ASSERT_TRUE(d.Opened) << d.Error;
  EXPECT_EQ(d.Streams, 2);
  EXPECT_EQ(d.VideoCodec, AV_CODEC_ID_MPEG4);
  EXPECT_EQ(d.AudioCodec, AV_CODEC_ID_MP3);
  EXPECT_EQ(d.Width, fi.Width);
  EXPECT_EQ(d.Height, fi.Height);
  EXPECT_NEAR(d.FrameRate, fi.FrameRate, 0.01);
  EXPECT_EQ(d.SampleRate, fi.SampleRate);
  EXPECT_EQ(d.VideoFrames, fi.Frames);
  // The frame-number marks come out in order: no picture lost, doubled or swapped.
  ASSERT_EQ(d.Marks.size(), static_cast<size_t>(fi.Frames));
  for (int i = 0; i < fi.Frames; ++i) EXPECT_EQ(d.Marks[static_cast<size_t>(i)], i) << "frame " << i;
  EXPECT_TRUE(E->Finished());
  EXPECT_GT(E->Fvideo_size, 0);
  EXPECT_GT(E->Faudio_size, 0);
}

}  // namespace
