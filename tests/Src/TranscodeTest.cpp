// End-to-end conversions of the fixture clips, each output checked by decoding it again.
#include <gtest/gtest.h>

#include <algorithm>
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

// A conversion opens what it uses when it first uses it: without a filter graph the filter
// library stays closed, the first graph opens it once. A library the filter graph needs but
// cannot find ends the run with the loader's text and no output.
TEST_F(Transcode, FilterLibraryIsOpenedByTheFirstFilterGraphOnly) {
  auto openedSince = [](size_t AFrom) {
    const std::vector<std::string> all = FFLoader().OpenedLibraries();
    return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(AFrom), all.end());
  };
  auto count = [](const std::vector<std::string>& AList, const std::string& AName) {
    return std::count(AList.begin(), AList.end(), AName);
  };
  ASSERT_FALSE(FFLoader().Bound(avFilter)) << "a test before this one still holds the filter library";
  const size_t before = FFLoader().OpenedLibraries().size();
  const std::vector<std::string> plain = {"libavcodec.so.59", "libavformat.so.59", "libavutil.so.57",
                                          "libswscale.so.6", "libswresample.so.4", "libc.so.6"};
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), Out("plain.avi"), {{"vcodec", "mpeg4"}, {"acodec", "libmp3lame"}}));
  for (const std::string& name : openedSince(before))
    EXPECT_NE(std::find(plain.begin(), plain.end(), name), plain.end()) << name << " opened by a plain conversion";
  EXPECT_FALSE(FFLoader().Bound(avFilter));

  NewEngine();
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), Out("flipped.avi"),
                      {{"vcodec", "mpeg4"}, {"acodec", "libmp3lame"}, {"vf", "hflip"}}));
  EXPECT_EQ(count(openedSince(before), "libavfilter.so.8"), 1);
  NewEngine();
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), Out("flipped2.avi"),
                      {{"vcodec", "mpeg4"}, {"acodec", "libmp3lame"}, {"vf", "hflip"}}));
  EXPECT_EQ(count(openedSince(before), "libavfilter.so.8"), 1) << "opened once for every later graph";
}

TEST_F(Transcode, FilterLibraryMissingWhenTheGraphNeedsItFailsTheRunWithTheLoadText) {
  // Reloaded under another name: the task set loads, the filter library is only named.
  FFLoader().Unload(TaskLibraries);
  ASSERT_FALSE(FFLoader().Bound(avFilter)) << "a test before this one still holds the filter library";
  FFLoader().SetLibraryFileName(avFilter, "/nonexistent/libavfilter-missing.so.8");
  const bool loaded = FFLoader().Load(TaskLibraries);
  EXPECT_TRUE(loaded) << FFLoader().LastErrMsg();
  if (loaded) {
    const std::string out = Out("flipped.avi");
    ASSERT_TRUE(E->OpenInputFile(FixturePath(TFixture::AviMpeg4Mp3))) << E->LastErrMsg();
    E->DispatchOption("vf", "hflip");
    ASSERT_GE(E->OpenOutputFile(out), 0) << E->LastErrMsg();
    E->StartConvert(false);
    EXPECT_TRUE(E->FatalException());
    EXPECT_EQ(E->FatalMessage().rfind("Load library /nonexistent/libavfilter-missing.so.8 error: ", 0), 0u)
        << E->FatalMessage();
    EXPECT_FALSE(E->Finished());
    EXPECT_FALSE(std::filesystem::exists(out)) << "the empty output is removed";
  }
  E.reset();
  FFLoader().SetLibraryFileName(avFilter, "");
  if (!loaded) ASSERT_TRUE(FFLoader().Load(TaskLibraries));  // TearDown's Unload balances it
}

// One output of each kind of the catalogue, from the AVI clip (MPEG-4 + MP3, 160x120, 10 fps,
// 2 s, 22050 Hz mono).
struct TFormatCase {
  const char* Name;
  const char* File;
  TOptionList Options;
  int Streams;
  AVCodecID Video, Audio;
  int Width, Height;  // 0: the input's
  double FrameRate;   // 0: the input's; else the rate the encoder snapped to
  int SampleRate;     // 0: the input's
};

class TranscodeFormats : public TranscodeFixture, public ::testing::WithParamInterface<TFormatCase> {};

TEST_P(TranscodeFormats, OutputDecodesWithTheAskedStreams) {
  const TFormatCase& c = GetParam();
  const TFixtureInfo& fi = FixtureInfo(TFixture::AviMpeg4Mp3);
  const std::string out = Out(c.File);
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), out, c.Options));
  const TDecoded d = DecodeFile(out);
  ASSERT_TRUE(d.Opened) << d.Error;
  EXPECT_EQ(d.Streams, c.Streams);
  EXPECT_EQ(d.DecodeErrors, 0);
  const double inputSeconds = fi.Frames / static_cast<double>(fi.FrameRate);
  if (c.Video != AV_CODEC_ID_NONE) {
    EXPECT_EQ(d.VideoCodec, c.Video);
    EXPECT_EQ(d.Width, c.Width ? c.Width : fi.Width);
    EXPECT_EQ(d.Height, c.Height ? c.Height : fi.Height);
    const double rate = c.FrameRate ? c.FrameRate : fi.FrameRate;
    EXPECT_NEAR(d.FrameRate, rate, 0.01);
    // Within one frame of the input's length (the last input picture is not repeated to
    // fill its time at a higher output rate).
    EXPECT_NEAR(d.VideoDuration(), inputSeconds, std::max(1.0 / rate, 1.0 / fi.FrameRate) + 1e-3);
  } else {
    EXPECT_EQ(d.VideoStreams, 0);
  }
  if (c.Audio != AV_CODEC_ID_NONE) {
    EXPECT_EQ(d.AudioCodec, c.Audio);
    EXPECT_EQ(d.SampleRate, c.SampleRate ? c.SampleRate : fi.SampleRate);
    // The input's length, give or take the encoder's own delay (at most 2048 samples among
    // these encoders) and one audio frame.
    EXPECT_NEAR(d.AudioDuration(), inputSeconds, 2 * 2048.0 / d.SampleRate + 0.05);
  }
  if (c.Video != AV_CODEC_ID_NONE && c.Audio != AV_CODEC_ID_NONE) {
    EXPECT_NEAR(d.FirstAudio, d.FirstVideo, 1.0 / fi.FrameRate + 1e-3) << "audio and video start together";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, TranscodeFormats,
    ::testing::Values(
        TFormatCase{"Avi", "out.avi", {{"vcodec", "mpeg4"}, {"acodec", "libmp3lame"}}, 2, AV_CODEC_ID_MPEG4,
                    AV_CODEC_ID_MP3, 0, 0, 0, 0},
        TFormatCase{"Mp4", "out.mp4", {{"vcodec", "libx264"}, {"acodec", "libfaac"}, {"ar", "44100"}}, 2,
                    AV_CODEC_ID_H264, AV_CODEC_ID_AAC, 0, 0, 0, 44100},
        TFormatCase{"Wmv", "out.wmv", {{"vcodec", "wmv2"}, {"acodec", "wmav2"}}, 2, AV_CODEC_ID_WMV2,
                    AV_CODEC_ID_WMAV2, 0, 0, 0, 0},
        TFormatCase{"Flv", "out.flv", {{"vcodec", "flv"}, {"acodec", "libmp3lame"}, {"ar", "44100"}}, 2,
                    AV_CODEC_ID_FLV1, AV_CODEC_ID_MP3, 0, 0, 0, 44100},
        TFormatCase{"MpgWithAacAsMp2", "out.mpg", {{"vcodec", "mpeg2video"}, {"acodec", "libfaac"}, {"ar", "44100"}}, 2,
                    AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_MP2, 0, 0, 0, 44100},
        TFormatCase{"MpgRateSnapped", "snap.mpg", {{"r", "29.97"}, {"vcodec", "mpeg2video"}, {"acodec", "mp2"}}, 2,
                    AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_MP2, 0, 0, 30000.0 / 1001, 0},
        TFormatCase{"ThreeGp", "out.3gp",
                    {{"s", "176x144"}, {"vcodec", "h263"}, {"acodec", "libamr_nb"}, {"ar", "8000"}, {"ac", "1"}}, 2,
                    AV_CODEC_ID_H263, AV_CODEC_ID_AMR_NB, 176, 144, 0, 8000},
        TFormatCase{"MovWithTheOldDefaults", "out.mov", {}, 2, AV_CODEC_ID_MPEG4, AV_CODEC_ID_AAC, 0, 0, 0, 0},
        TFormatCase{"Mkv", "out.mkv", {{"vcodec", "mpeg4"}, {"acodec", "libvorbis"}}, 2, AV_CODEC_ID_MPEG4,
                    AV_CODEC_ID_VORBIS, 0, 0, 0, 0},
        TFormatCase{"Mp3AudioOnly", "out.mp3", {{"acodec", "libmp3lame"}}, 1, AV_CODEC_ID_NONE, AV_CODEC_ID_MP3, 0, 0,
                    0, 0},
        TFormatCase{"WavAudioOnly", "out.wav", {}, 1, AV_CODEC_ID_NONE, AV_CODEC_ID_PCM_S16LE, 0, 0, 0, 0}),
    [](const ::testing::TestParamInfo<TFormatCase>& AInfo) { return std::string(AInfo.param.Name); });

}  // namespace

namespace {

struct TLevel {
  double Rms = 0, Peak = 0;  // of the first channel, full scale 1.0
  int64_t Samples = 0;
};

// The level of the first audio stream of a file, decoded to floats.
TLevel AudioLevel(const std::string& APath) {
  TLevel l;
  AVFormatContext* ic = nullptr;
  if (AVFormatStubs.avformat_open_input(&ic, APath.c_str(), nullptr, nullptr) < 0) return l;
  AVFormatStubs.avformat_find_stream_info(ic, nullptr);
  int index = -1;
  for (unsigned i = 0; i < ic->nb_streams && index < 0; ++i)
    if (ic->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) index = static_cast<int>(i);
  const AVCodec* codec = index < 0 ? nullptr : AVCodecStubs.avcodec_find_decoder(ic->streams[index]->codecpar->codec_id);
  AVCodecContext* c = codec ? AVCodecStubs.avcodec_alloc_context3(codec) : nullptr;
  if (c) AVCodecStubs.avcodec_parameters_to_context(c, ic->streams[index]->codecpar);
  if (!c || AVCodecStubs.avcodec_open2(c, codec, nullptr) < 0) {
    AVCodecStubs.avcodec_free_context(&c);
    AVFormatStubs.avformat_close_input(&ic);
    return l;
  }
  AVPacket* pkt = AVCodecStubs.av_packet_alloc();
  AVFrame* f = AVUtilStubs.av_frame_alloc();
  double sum = 0;
  auto take = [&] {
    while (AVCodecStubs.avcodec_receive_frame(c, f) >= 0) {
      const auto fmt = static_cast<AVSampleFormat>(f->format);
      const int step = AVUtilStubs.av_sample_fmt_is_planar(fmt) ? 1 : f->ch_layout.nb_channels;
      for (int s = 0; s < f->nb_samples; ++s) {
        double v = 0;
        switch (AVUtilStubs.av_sample_fmt_is_planar(fmt) ? static_cast<AVSampleFormat>(fmt - AV_SAMPLE_FMT_U8P) : fmt) {
          case AV_SAMPLE_FMT_S16: v = reinterpret_cast<const int16_t*>(f->data[0])[s * step] / 32768.0; break;
          case AV_SAMPLE_FMT_FLT: v = reinterpret_cast<const float*>(f->data[0])[s * step]; break;
          case AV_SAMPLE_FMT_S32: v = reinterpret_cast<const int32_t*>(f->data[0])[s * step] / 2147483648.0; break;
          default: break;
        }
        sum += v * v;
        l.Peak = std::max(l.Peak, std::fabs(v));
        ++l.Samples;
      }
      AVUtilStubs.av_frame_unref(f);
    }
  };
  while (AVFormatStubs.av_read_frame(ic, pkt) >= 0) {
    if (pkt->stream_index == index && AVCodecStubs.avcodec_send_packet(c, pkt) >= 0) take();
    AVCodecStubs.av_packet_unref(pkt);
  }
  AVCodecStubs.avcodec_send_packet(c, nullptr);
  take();
  if (l.Samples) l.Rms = std::sqrt(sum / static_cast<double>(l.Samples));
  AVUtilStubs.av_frame_free(&f);
  AVCodecStubs.av_packet_free(&pkt);
  AVCodecStubs.avcodec_free_context(&c);
  AVFormatStubs.avformat_close_input(&ic);
  return l;
}

}  // namespace

// A loud stereo source (a sine at 0.9 of full scale in both channels) made mono: the float
// encoders' path averages the channels as the 16-bit path does, so it neither gains level nor
// clips.
TEST_F(Transcode, StereoToMonoForAFloatEncoderMatchesThe16BitPathAndNeverClips) {
  const std::string in = FixturePath(TFixture::ShortStereo);
  const TOptionList common = {{"vn", ""}, {"ac", "1"}, {"vol", "768"}};
  TOptionList aac = common, pcm = common;
  aac.push_back({"acodec", "aac"});
  aac.push_back({"ab", "192000"});
  pcm.push_back({"acodec", "pcm_s16le"});
  ASSERT_TRUE(Convert(in, Out("mono.m4a"), aac));
  NewEngine();
  ASSERT_TRUE(Convert(in, Out("mono.wav"), pcm));
  const TLevel f = AudioLevel(Out("mono.m4a")), s = AudioLevel(Out("mono.wav"));
  ASSERT_GT(f.Samples, 0);
  ASSERT_GT(s.Samples, 0);
  EXPECT_NEAR(20 * std::log10(f.Rms / s.Rms), 0.0, 0.5);
  EXPECT_LT(f.Peak, 0.99) << "the float path clips";
  EXPECT_GT(s.Rms, 0.5) << "the source is loud";
}

// A decoder option given by name before the input reaches that input's decoder: skipping all
// but the key frames leaves only their pictures, each repeated.
TEST_F(Transcode, DecoderOptionsByNameReachTheDecoders) {
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), Out("keys.avi"), {{"vcodec", "mpeg4"}, {"an", ""}},
                      {{"skip_frame", "nokey"}}));
  const TDecoded d = DecodeFile(Out("keys.avi"));
  ASSERT_GT(d.Marks.size(), 10u);
  const int gop = FixtureInfo(TFixture::AviMpeg4Mp3).GopSize;
  bool second = false;
  for (int m : d.Marks) {
    EXPECT_EQ(m % gop, 0) << m;
    second = second || m == gop;
  }
  EXPECT_TRUE(second);
}

// Two passes without a prefix: the statistics belong to the output, in a writable folder of
// their own, never in the working folder, and the second pass finds them.
TEST_F(Transcode, TwoPassStatisticsBelongToTheOutput) {
  const std::string out = Out("two-pass.avi");
  const std::string stats = PassLogPrefixFor(out) + "-0.log";
  std::filesystem::remove(stats);
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), out, {{"vcodec", "mpeg4"}, {"an", ""}, {"pass", "1"}}));
  EXPECT_TRUE(std::filesystem::exists(stats));
  EXPECT_FALSE(std::filesystem::exists("ffmpeg2pass-0.log"));
  EXPECT_NE(PassLogPrefixFor(out), PassLogPrefixFor(Out("other.avi")));
  NewEngine();
  ASSERT_TRUE(Convert(FixturePath(TFixture::AviMpeg4Mp3), out, {{"vcodec", "mpeg4"}, {"an", ""}, {"pass", "2"}}));
  EXPECT_EQ(DecodeFile(out).DecodeErrors, 0);
  std::filesystem::remove(stats);
}
