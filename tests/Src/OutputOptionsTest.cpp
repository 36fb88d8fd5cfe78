// From output records and option texts to engine options: the text syntax, the stream
// defaults, the fields and the order in which they reach the engine, and the extra streams.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <limits>

#include "Src/FFmpeg.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegStubs.h"
#include "Src/MyUtils.h"
#include "Src/OutputOptions.h"
#include "base/StringList.h"
#include "tests/Src/fixtures/MediaFixtures.h"

namespace {

using namespace mediafix;
namespace fs = std::filesystem;

TEST(OptionText, LinesNamesAndValues) {
  struct TCase {
    const char* Text;
    std::vector<std::pair<std::string, std::string>> Lines;
  };
  const TCase cases[] = {
      {"vcodec=mpeg4<CRLF>vb=800000", {{"vcodec", "mpeg4"}, {"vb", "800000"}}},
      {"vcodec=mpeg4<CRLF>", {{"vcodec", "mpeg4"}}},
      {"  vcodec=mpeg4\n\n", {{"vcodec", "mpeg4"}}},
      {"a=1\r\nb=2\rc=3\nd=4", {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}}},
      {"VCodec=LibX264", {{"vcodec", "LibX264"}}},
      {"metadata=title=a=b", {{"metadata", "title=a=b"}}},
      {"newaudio", {{"newaudio", ""}}},
      // Lines are not trimmed one by one: the blank stays part of the name.
      {"a=1<CRLF> vcodec=x ", {{"a", "1"}, {" vcodec", "x"}}},
      {"", {}},
  };
  for (const TCase& c : cases) {
    std::vector<std::pair<std::string, std::string>> got;
    for (const TOptionLine& l : SplitOptionText(c.Text)) got.emplace_back(l.Name, l.Value);
    EXPECT_EQ(got, c.Lines) << c.Text;
  }
}

TEST(OptionText, StreamDefaultsAndPendingEntries) {
  TOutputOptions o;
  o.VideoCodec = "libx264";
  o.FrameSize = "";
  o.ExtOptions =
      "vcodec=mpeg4<CRLF>s=320x240<CRLF>acodec=<CRLF>acodec=mp2<CRLF>acodec=ac3<CRLF>vfilters=hflip<CRLF>vb=1";
  TStringList list;
  CollectStreamDefaults(list, o);
  EXPECT_EQ(list.Values("def_vcodec"), "libx264") << "the record wins over the text";
  EXPECT_EQ(list.Values("def_s"), "320x240");
  EXPECT_EQ(list.Values("def_acodec"), "mp2") << "the first non-empty occurrence wins";
  EXPECT_EQ(list.Values("DEF_VF"), "hflip") << "vfilters counts as vf; names ignore case";
  EXPECT_EQ(list.IndexOfName("def_apre"), -1) << "empty fields leave no entry";
  std::vector<std::string> pending;
  for (int32_t i = 0; i < list.Count(); ++i)
    if (list.Names(i).rfind("def_", 0) != 0) pending.push_back(list[i]);
  EXPECT_EQ(pending, (std::vector<std::string>{"vcodec=mpeg4", "s=320x240", "acodec=mp2", "acodec=ac3", "vf=hflip"}));
}

class OutputMapping : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FFLoader().Load(TaskLibraries)) << FFLoader().LastErrMsg();
    E = std::make_unique<TCustomFFmpeg>(4);
    E->Reset();
    dir_ = fs::temp_directory_path() / ("ombrel-outopt-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    E.reset();
    std::error_code ec;
    fs::remove_all(dir_, ec);
    FFLoader().Unload(TaskLibraries);
  }
  std::string Out(const std::string& AName) const { return (dir_ / AName).string(); }
  int64_t AudioBitRate() const { return E->Options().avcodec_opts[1]->bit_rate; }
  int64_t VideoBitRate() const { return E->Options().avcodec_opts[0]->bit_rate; }

  std::unique_ptr<TCustomFFmpeg> E;
  fs::path dir_;
};

TEST_F(OutputMapping, InputPassDispatchesCodecsOutputPassLeavesThemToTheStreams) {
  ApplyExtOptions(*E, "vcodec=mpeg4<CRLF>s=320x240<CRLF>vf=hflip<CRLF>newvideo<CRLF>top=1", true);
  EXPECT_EQ(E->Fvideo_codec_name, "mpeg4");
  EXPECT_EQ(E->Fframe_width, 320);
  EXPECT_EQ(E->Fvfilters, "") << "filters belong to the output steps";
  EXPECT_EQ(E->Ftop_field_first, 1);

  E->Reset();
  ApplyExtOptions(*E, "VCODEC=mpeg4<CRLF>s=320x240<CRLF>acodec=mp2<CRLF>top=0", false);
  EXPECT_EQ(E->Fvideo_codec_name, "");
  EXPECT_EQ(E->Faudio_codec_name, "");
  EXPECT_EQ(E->Fframe_width, 0);
  EXPECT_EQ(E->Ftop_field_first, 0);

  // A handler's exception passes out; what came before it stays applied.
  E->Reset();
  EXPECT_THROW(ApplyExtOptions(*E, "top=1<CRLF>threads=2<CRLF>dc=9", false), FFmpegException);
  EXPECT_EQ(E->Ftop_field_first, 1);
  EXPECT_EQ(E->Fintra_dc_precision, 8);
}

TEST_F(OutputMapping, RecordFieldsReachTheirEngineValues) {
  // The crop handlers check against the input's picture size.
  ASSERT_TRUE(E->OpenInputFile(FixturePath(TFixture::AviMpeg4Mp3))) << E->LastErrMsg();
  TOutputOptions o;
  o.FileFormat = "avi";
  o.MuxDelay = 0.3f;
  o.MuxPreload = 0.2f;
  o.DisableAudio = true;
  o.AudioVolume = 512;
  o.AudioChannels = 1;
  o.AudioSampleRate = 22050;
  o.AudioBitrate = 96000;
  o.AudioLanguage = "eng";
  o.AudioSyncMethod = 1;
  o.AudioTag = "abcd";
  o.DisableVideo = true;
  o.FrameRate = "25";
  o.FrameAspectRatio = "16:9";
  o.CropTop = 2;
  o.CropBottom = 4;
  o.CropLeft = 6;
  o.CropRight = 8;
  o.GroupPictureSize = 12;
  o.VideoBitrate = 800000;
  o.VideoSyncMethod = 2;
  o.VideoTag = "XVID";
  o.VideoLanguage = "fre";
  o.DisableSubtitle = true;
  o.SubtitleLanguage = "ger";
  o.InputSync = true;
  o.CopyTimestamp = true;
  o.TimeStart = 1500000;
  o.TimeLength = 3000000;
  o.Info.Year = 2010;
  o.Info.Track = 3;
  o.Info.Title = "T";
  o.Info.Genre = "G";
  MapOutputOptions(*E, o);

  EXPECT_EQ(E->Flast_asked_format, "avi");
  EXPECT_FLOAT_EQ(E->Fmux_max_delay, 0.3f);
  EXPECT_FLOAT_EQ(E->Fmux_preload, 0.2f);
  EXPECT_TRUE(E->Faudio_disable);
  EXPECT_EQ(E->Faudio_volume, 512);
  EXPECT_EQ(E->Faudio_channels, 1);
  EXPECT_EQ(E->Faudio_sample_rate, 22050);
  EXPECT_EQ(AudioBitRate(), 96000);
  EXPECT_EQ(E->Faudio_language, "eng");
  EXPECT_EQ(E->Faudio_sync_method, 1);
  EXPECT_NE(E->Faudio_codec_tag, 0u);
  EXPECT_TRUE(E->Fvideo_disable);
  EXPECT_EQ(E->Fframe_rate.num, 25);
  EXPECT_EQ(E->Fframe_rate.den, 1);
  EXPECT_NEAR(E->Fframe_aspect_ratio, 16.0 / 9.0, 1e-5);
  EXPECT_EQ(E->Fframe_topBand, 2);
  EXPECT_EQ(E->Fframe_bottomBand, 4);
  EXPECT_EQ(E->Fframe_leftBand, 6);
  EXPECT_EQ(E->Fframe_rightBand, 8);
  EXPECT_EQ(E->Options().avcodec_opts[0]->gop_size, 12);
  EXPECT_EQ(VideoBitRate(), 800000);
  EXPECT_EQ(E->Fvideo_sync_method, 2);
  EXPECT_NE(E->Fvideo_codec_tag, 0u);
  EXPECT_EQ(E->Fvideo_language, "fre");
  EXPECT_TRUE(E->Fsubtitle_disable);
  EXPECT_EQ(E->Fsubtitle_language, "ger");
  EXPECT_TRUE(E->Finput_sync);
  EXPECT_TRUE(E->Fcopy_ts);
  EXPECT_EQ(E->Fstart_time, 1500000);
  EXPECT_EQ(E->Frecording_time, 3000000);
  EXPECT_EQ(E->Frecording_timestamp, 0) << "-1.0 leaves no time stamp";
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(E->PendingMetadata(), (std::vector<P>{{"year", "2010"}, {"track", "3"}, {"title", "T"}, {"genre", "G"}}));
}

TEST_F(OutputMapping, FieldsAtTheirNoValueLeaveTheEngineAlone) {
  TOutputOptions o;  // every number at -1, every text empty
  o.AudioBitrate = 0;
  MapOutputOptions(*E, o);
  TCustomFFmpeg fresh(4);
  fresh.Reset();
  EXPECT_EQ(E->Flast_asked_format, "");
  EXPECT_EQ(E->Faudio_channels, fresh.Faudio_channels);
  EXPECT_EQ(E->Faudio_sample_rate, fresh.Faudio_sample_rate);
  EXPECT_EQ(AudioBitRate(), fresh.Options().avcodec_opts[1]->bit_rate) << "a bitrate of 0 sets nothing";
  EXPECT_EQ(VideoBitRate(), fresh.Options().avcodec_opts[0]->bit_rate);
  EXPECT_EQ(E->Faudio_volume, 256);
  EXPECT_FLOAT_EQ(E->Fmux_max_delay, fresh.Fmux_max_delay);
  EXPECT_EQ(E->Fframe_topBand, 0);
  EXPECT_EQ(E->Fstart_time, 0);
  EXPECT_EQ(E->Frecording_time, INT64_MAX);
  EXPECT_TRUE(E->PendingMetadata().empty());
  EXPECT_FALSE(E->Faudio_disable || E->Fvideo_disable || E->Fsubtitle_disable || E->Fcopy_ts);
}

TEST_F(OutputMapping, TimeStampOfTheRecord) {
  TOutputOptions o;
  o.Info.TimeStamp = 0;
  const int64_t before = std::time(nullptr);
  MapOutputOptions(*E, o);
  EXPECT_GE(E->Frecording_timestamp, before) << "0 stamps the current time";
  EXPECT_LE(E->Frecording_timestamp, std::time(nullptr));

  o.Info.TimeStamp = 40179.5;  // 2010-01-01 12:00 local time
  MapOutputOptions(*E, o);
  EXPECT_EQ(E->Frecording_timestamp, LocalDateTimeToUnix(40179.5));
}

// A time stamp beyond any date (or not a number at all) once went unchecked into a 64-bit
// integer; it is refused with the error of the "timestamp" option, as is a bad codec tag.
TEST_F(OutputMapping, OutOfRangeTimeStampAndBadTagAreOptionErrors) {
  const double bad[] = {1e300, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(), 1e15};
  for (double v : bad) {
    TOutputOptions o;
    o.Info.TimeStamp = v;
    E->Frecording_timestamp = 7;
    try {
      MapOutputOptions(*E, o);
      ADD_FAILURE() << "no error for " << v;
    } catch (const FFmpegException& e) {
      EXPECT_EQ(e.Message.rfind("Invalid date specification for timestamp: ", 0), 0u) << e.Message;
    }
    EXPECT_EQ(E->Frecording_timestamp, 7) << v;
  }
  TOutputOptions o;
  o.Info.TimeStamp = -1e300;  // below 0: no time stamp, as -1 is
  MapOutputOptions(*E, o);
  EXPECT_EQ(E->Frecording_timestamp, 7);
  o.Info.TimeStamp = 2958465.5;  // 9999-12-31 12:00, the last day a date can name
  MapOutputOptions(*E, o);
  EXPECT_EQ(E->Frecording_timestamp, LocalDateTimeToUnix(2958465.5));

  o.VideoTag = "abc";
  EXPECT_THROW(MapOutputOptions(*E, o), FFmpegException);
}

TEST_F(OutputMapping, OrderOfTheRecordSteps) {
  TOutputOptions o;
  o.VideoCodec = "libx264";
  o.FrameSize = "";
  o.ExtOptions =
      "vcodec=mpeg4<CRLF>alang=eng<CRLF>vlang=fre<CRLF>async=1<CRLF>vsync=2<CRLF>isync<CRLF>"
      "s=352x288<CRLF>metadata=title=From text<CRLF>top=1";
  o.Info.Title = "From record";
  TStringList list;
  ApplyOutputRecord(*E, o, list);
  EXPECT_EQ(E->Fvideo_codec_name, "libx264") << "the record's codec serves the main stream";
  // The record decides these after the general pass, also at their defaults.
  EXPECT_EQ(E->Faudio_language, "");
  EXPECT_EQ(E->Fvideo_language, "");
  EXPECT_EQ(E->Faudio_sync_method, 0);
  EXPECT_EQ(E->Fvideo_sync_method, -1);
  EXPECT_FALSE(E->Finput_sync);
  EXPECT_EQ(E->Ftop_field_first, 1) << "other text lines are applied";
  EXPECT_EQ(E->Fframe_width, 352) << "the frame size comes from the defaults, after the fields";
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(E->PendingMetadata(), (std::vector<P>{{"title", "From text"}, {"title", "From record"}}))
      << "text metadata is added before the record's";
}

TEST_F(OutputMapping, ExtraStreamsTakeTheirOwnPendingValues) {
  ASSERT_TRUE(E->OpenInputFile(FixturePath(TFixture::AviMpeg4Mp3))) << E->LastErrMsg();
  TOutputOptions o;
  o.AudioCodec = "mp2";
  o.VideoCodec = "mpeg4";
  o.ExtOptions = "newaudio<CRLF>acodec=ac3<CRLF>newaudio<CRLF>acodec=libmp3lame<CRLF>newaudio";
  TStringList list;
  ApplyOutputRecord(*E, o, list);
  ASSERT_EQ(E->OpenOutputFile(Out("extra.mkv")), 1) << E->LastErrMsg();
  ApplyNewStreamOptions(*E, o.ExtOptions, list);
  std::vector<std::string> audio;
  for (const auto& s : E->OutputFile(0)->streams)
    if (s && s->codec && s->codec->type == AVMEDIA_TYPE_AUDIO) audio.push_back(s->codec->name);
  EXPECT_EQ(audio, (std::vector<std::string>{"mp2", "ac3", "libmp3lame", "mp2"}))
      << "main stream from the record, extras in text order, then the default again";
}

TEST_F(OutputMapping, StreamOptionFallsBackToTheDefault) {
  TStringList list;
  list.Add("def_vcodec=mpeg4");
  list.Add("vcodec=flv");
  list.Add("vcodec=wmv2");
  ApplyStreamOption(*E, list, "vcodec");
  EXPECT_EQ(E->Fvideo_codec_name, "flv");
  ApplyStreamOption(*E, list, "vcodec");
  EXPECT_EQ(E->Fvideo_codec_name, "wmv2");
  ApplyStreamOption(*E, list, "vcodec");
  EXPECT_EQ(E->Fvideo_codec_name, "mpeg4");
  EXPECT_EQ(list.Count(), 1);
  E->Fvideo_codec_name.clear();
  ApplyStreamOption(*E, list, "s");  // neither pending nor default: nothing
  EXPECT_EQ(E->Fframe_width, 0);
}

}  // namespace

namespace {

class OutputTargets : public OutputMapping {};

// A disc target keeps the standard's size, rates and channels over the record's (the presets'),
// and an automatic norm that no frame rate decides takes NormDefault.
TEST_F(OutputTargets, DiscTargetsKeepTheirStandardAndTheDefaultNorm) {
  struct TCase {
    TOptionTargetType Target;
    TOptionNormType Norm, Default;
    int W, H, Rate, SampleRate;
    int64_t VideoBitRate, AudioBitRate;
  } cases[] = {
      {ttVCD, ntAuto, ntPAL, 352, 288, 25, 44100, 1150000, 224000},
      {ttVCD, ntAuto, ntNTSC, 352, 240, 30, 44100, 1150000, 224000},
      {ttSVCD, ntPAL, ntNTSC, 480, 576, 25, 44100, 2040000, 224000},
      {ttDVD, ntAuto, ntPAL, 720, 576, 25, 48000, 6000000, 448000},
      {ttDVD, ntNTSC, ntPAL, 720, 480, 30, 48000, 6000000, 448000},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Target) * 100 + static_cast<int>(c.Norm) * 10 + static_cast<int>(c.Default));
    E->Reset();
    // A 10 fps input: its rate names no norm.
    ASSERT_TRUE(E->OpenInputFile(FixturePath(TFixture::AviMpeg4Mp3))) << E->LastErrMsg();
    TOutputOptions o;
    o.TargetType = c.Target;
    o.NormType = c.Norm;
    o.NormDefault = c.Default;
    // What the default presets of the disc formats give.
    o.FrameSize = "704*480";
    o.FrameRate = "29.97";
    o.VideoBitrate = 528000;
    o.AudioBitrate = 64000;
    o.AudioSampleRate = 22050;
    o.AudioChannels = 1;
    TStringList list;
    ApplyOutputRecord(*E, o, list);
    EXPECT_EQ(E->Fframe_width, c.W);
    EXPECT_EQ(E->Fframe_height, c.H);
    EXPECT_EQ(static_cast<int>(std::lround(av_q2d(E->Fframe_rate))), c.Rate);
    EXPECT_EQ(E->Faudio_sample_rate, c.SampleRate);
    EXPECT_EQ(E->Faudio_channels, 2);
    EXPECT_EQ(VideoBitRate(), c.VideoBitRate);
    EXPECT_EQ(AudioBitRate(), c.AudioBitRate);
  }
}

}  // namespace
