// Joined outputs: several inputs converted one after another into one file, read back by
// decoding and by walking the packets of each stream.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "tests/Src/TranscodeTestUtil.h"

namespace {

using namespace mediafix;
using namespace transcodetest;

// What the packets of one stream of a file show, in file order.
struct TPacketWalk {
  int Packets = 0;
  int Backwards = 0;      // a decoding time below the one before
  double LargestGap = 0;  // seconds between two successive decoding times
  double LastDts = NAN;   // seconds
};

std::map<AVMediaType, TPacketWalk> WalkPackets(const std::string& APath) {
  std::map<AVMediaType, TPacketWalk> r;
  AVFormatContext* ic = nullptr;
  if (AVFormatStubs.avformat_open_input(&ic, APath.c_str(), nullptr, nullptr) < 0) return r;
  AVFormatStubs.avformat_find_stream_info(ic, nullptr);
  AVPacket* pkt = AVCodecStubs.av_packet_alloc();
  while (AVFormatStubs.av_read_frame(ic, pkt) >= 0) {
    const AVStream* st = ic->streams[pkt->stream_index];
    if (pkt->dts != AV_NOPTS_VALUE) {
      TPacketWalk& w = r[st->codecpar->codec_type];
      const double t = pkt->dts * av_q2d(st->time_base);
      if (!std::isnan(w.LastDts)) {
        if (t < w.LastDts) ++w.Backwards;
        w.LargestGap = std::max(w.LargestGap, t - w.LastDts);
      }
      w.LastDts = t;
      ++w.Packets;
    }
    AVCodecStubs.av_packet_unref(pkt);
  }
  AVCodecStubs.av_packet_free(&pkt);
  AVFormatStubs.avformat_close_input(&ic);
  return r;
}

class TranscodeJoin : public TranscodeFixture {
protected:
  // Opens the inputs, gives the options, opens one joined output and runs on this thread.
  bool Join(const std::vector<TFixture>& AInputs, const std::string& AOut, const TOptionList& AOptions) {
    for (TFixture f : AInputs)
      if (!E->OpenInputFile(FixturePath(f))) {
        ADD_FAILURE() << "input: " << E->LastErrMsg();
        return false;
      }
    for (const auto& [n, v] : AOptions) E->DispatchOption(n, v);
    const int32_t r = E->OpenOutputFile(AOut, true);
    if (r < 0) {
      ADD_FAILURE() << "output: " << E->LastErrMsg();
      return false;
    }
    EXPECT_EQ(r, static_cast<int32_t>(AInputs.size())) << "one output entry per input";
    EXPECT_TRUE(E->JoinMode());
    E->StartConvert(false);
    if (E->FatalException()) {
      ADD_FAILURE() << "run: " << E->FatalMessage();
      return false;
    }
    return true;
  }
};

struct TJoinCase {
  const char* Name;
  std::vector<TFixture> Inputs;
  const char* File;
  TOptionList Options;
  AVCodecID Video, Audio;
};

class TranscodeJoinCases : public TranscodeJoin, public ::testing::WithParamInterface<TJoinCase> {};

TEST_P(TranscodeJoinCases, OutputIsTheInputsOneAfterAnother) {
  const TJoinCase& c = GetParam();
  const std::string out = Out(c.File);
  ASSERT_TRUE(Join(c.Inputs, out, c.Options));
  EXPECT_TRUE(E->Finished());

  double seconds = 0;
  int frames = 0;
  int64_t durationUs = 0;
  for (TFixture f : c.Inputs) {
    const TFixtureInfo& fi = FixtureInfo(f);
    seconds += fi.Frames / static_cast<double>(fi.FrameRate);
    frames += fi.Frames;
    durationUs += fi.DurationUs;
  }
  // The expected length for the progress is the sum of the inputs' own lengths.
  EXPECT_NEAR(static_cast<double>(E->TotalOutputDuration()), static_cast<double>(durationUs), 200000.0);

  const TDecoded d = DecodeFile(out);
  ASSERT_TRUE(d.Opened) << d.Error;
  EXPECT_EQ(d.DecodeErrors, 0);
  EXPECT_EQ(d.VideoStreams, 1);
  EXPECT_EQ(d.AudioStreams, 1);
  EXPECT_EQ(d.VideoCodec, c.Video);
  EXPECT_EQ(d.AudioCodec, c.Audio);
  const double frameTime = 1.0 / FixtureInfo(c.Inputs[0]).FrameRate;
  EXPECT_EQ(d.VideoFrames, frames);
  EXPECT_NEAR(d.VideoDuration(), seconds, frameTime + 1e-3);
  // Audio: the sum, give or take the encoder delay of each part and one block.
  EXPECT_NEAR(d.AudioDuration(), seconds, 0.25);
  EXPECT_NEAR(d.AudioEnd - d.FirstAudio, seconds, 0.25);

  // Each input's pictures in their order, the second input's after the first input's.
  std::vector<int> expected;
  for (TFixture f : c.Inputs)
    for (int i = 0; i < FixtureInfo(f).Frames; ++i) expected.push_back(i);
  EXPECT_EQ(d.Marks, expected);

  // Time goes on across the join: no step back and no hole.
  const auto walk = WalkPackets(out);
  for (AVMediaType t : {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO}) {
    SCOPED_TRACE(t == AVMEDIA_TYPE_VIDEO ? "video" : "audio");
    ASSERT_TRUE(walk.count(t));
    const TPacketWalk& w = walk.at(t);
    EXPECT_GT(w.Packets, 0);
    EXPECT_EQ(w.Backwards, 0);
    EXPECT_LT(w.LargestGap, 0.2);
    EXPECT_NEAR(w.LastDts, seconds, 0.3);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, TranscodeJoinCases,
    ::testing::Values(
        TJoinCase{"SameAviTwice",
                  {TFixture::AviMpeg4Mp3, TFixture::AviMpeg4Mp3},
                  "twice.avi",
                  {{"vcodec", "mpeg4"}, {"acodec", "libmp3lame"}},
                  AV_CODEC_ID_MPEG4,
                  AV_CODEC_ID_MP3},
        TJoinCase{"AviThenMp4IntoMp4",
                  {TFixture::AviMpeg4Mp3, TFixture::Mp4H264Aac},
                  "mixed.mp4",
                  {{"vcodec", "libx264"}, {"acodec", "aac"}},
                  AV_CODEC_ID_H264,
                  AV_CODEC_ID_AAC},
        TJoinCase{"ThreeInputsIntoMkv",
                  {TFixture::Mp4H264Aac, TFixture::AviMpeg4Mp3, TFixture::MkvMpeg4Mp3},
                  "three.mkv",
                  {{"vcodec", "mpeg4"}, {"acodec", "libvorbis"}},
                  AV_CODEC_ID_MPEG4,
                  AV_CODEC_ID_VORBIS}),
    [](const ::testing::TestParamInfo<TJoinCase>& AInfo) { return std::string(AInfo.param.Name); });

}  // namespace
