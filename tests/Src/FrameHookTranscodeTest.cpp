// A "vhook" library changes the pictures of a real conversion, and targets and presets give
// outputs with the settings they name, read back by decoding.
#include <numeric>

#include "tests/Src/TranscodeTestUtil.h"

namespace {

using namespace transcodetest;
using namespace mediafix;

class OptionGroupOutputs : public TranscodeFixture {
protected:
  static double Mean(const std::vector<uint8_t>& APlane) {
    return APlane.empty() ? -1 : std::accumulate(APlane.begin(), APlane.end(), 0.0) / APlane.size();
  }
  // Profile and level of the first video stream as the file declares them.
  static std::pair<int, int> ProfileAndLevel(const std::string& APath) {
    AVFormatContext* ic = nullptr;
    if (AVFormatStubs.avformat_open_input(&ic, APath.c_str(), nullptr, nullptr) < 0) return {-1, -1};
    AVFormatStubs.avformat_find_stream_info(ic, nullptr);
    std::pair<int, int> r{-1, -1};
    for (unsigned i = 0; i < ic->nb_streams; ++i)
      if (ic->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
        r = {ic->streams[i]->codecpar->profile, ic->streams[i]->codecpar->level};
    AVFormatStubs.avformat_close_input(&ic);
    return r;
  }
};

TEST_F(OptionGroupOutputs, FrameHookInvertsTheLumaOfTheOutput) {
  const TOptionList video = {{"vcodec", "mpeg4"}, {"qscale", "2"}};
  ASSERT_TRUE(Convert(FixturePath(TFixture::SingleColour), Out("plain.avi"), video));
  const TDecoded plain = DecodeFile(Out("plain.avi"));

  NewEngine();
  TOptionList hooked = video;
  hooked.emplace_back("vhook", OMBREL_FRAMEHOOK_INVERT);
  ASSERT_TRUE(Convert(FixturePath(TFixture::SingleColour), Out("hooked.avi"), hooked));
  const TDecoded inverted = DecodeFile(Out("hooked.avi"));

  ASSERT_EQ(inverted.VideoFrames, plain.VideoFrames);
  const double y0 = Mean(plain.FirstLuma), y1 = Mean(inverted.FirstLuma);
  ASSERT_GT(y0, 0);
  EXPECT_NEAR(y1, 255.0 - y0, 3.0);
  EXPECT_TRUE(E->FrameHooks().Empty()) << "the run's clean-up released the hook";
}

TEST_F(OptionGroupOutputs, DvdTargetGivesAPalDvdStream) {
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), Out("disc.vob"), {{"target", "pal-dvd"}}));
  const TDecoded d = DecodeFile(Out("disc.vob"));
  ASSERT_TRUE(d.Opened) << d.Error;
  EXPECT_EQ(d.VideoCodec, AV_CODEC_ID_MPEG2VIDEO);
  EXPECT_EQ(d.AudioCodec, AV_CODEC_ID_AC3);
  EXPECT_EQ(d.Width, 720);
  EXPECT_EQ(d.Height, 576);
  EXPECT_NEAR(d.FrameRate, 25.0, 0.01);
  EXPECT_EQ(d.SampleRate, 48000);
  EXPECT_EQ(d.Channels, 2);
  EXPECT_EQ(d.DecodeErrors, 0);
}

// The other disc and camera targets, each decoded: the codecs, picture size, frame rate and
// sample rate the target names. The WMV source's audio starts after its video.
TEST_F(OptionGroupOutputs, TargetsGiveTheStreamsTheyName) {
  struct TCase {
    const char* Target;
    TFixture Source;
    const char* File;
    AVCodecID Video, Audio;
    int Width, Height;
    double FrameRate;
    int SampleRate;
  };
  const std::vector<TCase> cases = {
      {"pal-vcd", TFixture::AviMpeg4Mp3, "disc.mpg", AV_CODEC_ID_MPEG1VIDEO, AV_CODEC_ID_MP2, 352, 288, 25.0, 44100},
      {"ntsc-svcd", TFixture::AviMpeg4Mp3, "disc.mpg", AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_MP2, 480, 480,
       30000.0 / 1001, 44100},
      {"pal-dv", TFixture::AviMpeg4Mp3, "tape.dv", AV_CODEC_ID_DVVIDEO, AV_CODEC_ID_PCM_S16LE, 720, 576, 25.0, 48000},
      {"pal-dv", TFixture::WmvWmv2Wma, "wmv-tape.dv", AV_CODEC_ID_DVVIDEO, AV_CODEC_ID_PCM_S16LE, 720, 576, 25.0,
       48000},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Target) + " " + c.File);
    NewEngine();
    const std::string out = Out(std::string(c.Target) + "-" + c.File);
    ASSERT_TRUE(Convert(FixturePath(c.Source), out, {{"target", c.Target}}));
    const TDecoded d = DecodeFile(out);
    ASSERT_TRUE(d.Opened) << d.Error;
    EXPECT_EQ(d.VideoStreams, 1);
    EXPECT_EQ(d.AudioStreams, 1);
    EXPECT_EQ(d.VideoCodec, c.Video);
    EXPECT_EQ(d.AudioCodec, c.Audio);
    EXPECT_EQ(d.Width, c.Width);
    EXPECT_EQ(d.Height, c.Height);
    EXPECT_NEAR(d.FrameRate, c.FrameRate, 0.01);
    EXPECT_EQ(d.SampleRate, c.SampleRate);
    EXPECT_EQ(d.Channels, 2);
    EXPECT_GT(d.VideoFrames, 0);
    EXPECT_EQ(d.DecodeErrors, 0);
    // The two-second clip stays about two seconds long at the target's rate.
    EXPECT_NEAR(d.VideoDuration(), 2.0, 0.15);
  }
}

// DV carries each picture's audio in its frame: audio that starts after the video is led in
// by silence, so the tape's audio starts with its first picture and lasts as long as its video.
TEST_F(OptionGroupOutputs, DvAudioStartsWithItsVideo) {
  const std::string out = Out("late-audio.dv");
  ASSERT_TRUE(Convert(FixturePath(TFixture::WmvWmv2Wma), out, {{"target", "pal-dv"}}));
  const TDecoded d = DecodeFile(out);
  ASSERT_TRUE(d.Opened) << d.Error;
  ASSERT_FALSE(std::isnan(d.FirstVideo));
  ASSERT_FALSE(std::isnan(d.FirstAudio));
  EXPECT_LE(std::fabs(d.FirstAudio - d.FirstVideo), 1.0 / 25);
  EXPECT_NEAR(d.AudioDuration(), d.VideoDuration(), 1.0 / 25);
}

TEST_F(OptionGroupOutputs, X264PresetsGiveTheirProfileAndLevel) {
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), Out("ipod.mp4"),
                      {{"vcodec", "libx264"}, {"vpre", "ipod320"}, {"acodec", "aac"}}));
  const auto [profile, level] = ProfileAndLevel(Out("ipod.mp4"));
  EXPECT_TRUE(profile == FF_PROFILE_H264_BASELINE || profile == FF_PROFILE_H264_CONSTRAINED_BASELINE) << profile;
  EXPECT_EQ(level, 13);

  NewEngine();
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), Out("main.mp4"),
                      {{"vcodec", "libx264"}, {"vpre", "libx264-main"}, {"acodec", "aac"}}));
  EXPECT_EQ(ProfileAndLevel(Out("main.mp4")).first, FF_PROFILE_H264_MAIN);
  const TDecoded d = DecodeFile(Out("main.mp4"));
  EXPECT_EQ(d.VideoCodec, AV_CODEC_ID_H264);
  EXPECT_EQ(d.DecodeErrors, 0);
}

}  // namespace
