// Targets, built-in and file presets, and the statistics file name: option groups reach the
// engine's fields and the encoders the installed libraries offer accept them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "Src/FFmpeg.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/FFmpegPresets.h"
#include "Src/FFmpegStubs.h"
#include "tests/Src/EngineTestBase.h"
#include "tests/Src/fixtures/MediaFixtures.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace {

using namespace mediafix;
namespace fs = std::filesystem;

class Presets : public TEngineTest {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("ombrel-presets-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    TEngineTest::SetUp();
  }
  void TearDown() override {
    TEngineTest::TearDown();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Path(const std::string& AName) const { return (dir_ / AName).string(); }
  std::string WriteFile(const std::string& AName, const std::string& AText) const {
    std::ofstream(Path(AName), std::ios::binary) << AText;
    return Path(AName);
  }
  AVCodecContext* VideoDefaults() const { return E->Options().avcodec_opts[AVMEDIA_TYPE_VIDEO]; }
  static std::string DictValue(const AVDictionary* ADict, const char* AKey) {
    const AVDictionaryEntry* e = AVUtilStubs.av_dict_get(ADict, AKey, nullptr, 0);
    return e ? e->value : "(absent)";
  }
  static std::string PrivateOption(void* AObj, const char* AName) {
    uint8_t* v = nullptr;
    if (AVUtilStubs.av_opt_get(AObj, AName, 0, &v) < 0) return "(absent)";
    std::string s = reinterpret_cast<char*>(v);
    AVUtilStubs.av_free(v);
    return s;
  }
  // Opens the encoder of output stream 0 of output 0 with the stream's private options, as the
  // transcode set-up does. Every private option must be taken by the encoder.
  void OpenEncoder(const TOutputStreamSetup& AStream) {
    AVDictionary* opts = nullptr;
    AVUtilStubs.av_dict_copy(&opts, AStream.codec_opts, 0);
    const int r = AVCodecStubs.avcodec_open2(AStream.enc, AStream.codec, &opts);
    char buf[256] = {};
    AVUtilStubs.av_strerror(r, buf, sizeof buf);
    EXPECT_GE(r, 0) << buf;
    const AVDictionaryEntry* left = AVUtilStubs.av_dict_get(opts, "", nullptr, AV_DICT_IGNORE_SUFFIX);
    EXPECT_EQ(left, nullptr) << "option not taken by the encoder: " << (left ? left->key : "");
    AVUtilStubs.av_dict_free(&opts);
  }

  fs::path dir_;
};

// ---- built-in presets -------------------------------------------------------------------

TEST_F(Presets, BuiltinTableLookupIgnoresCase) {
  ASSERT_EQ(BuiltinPresetCount(), 36);
  EXPECT_STREQ(BuiltinPresets()[0].Name, "libx264-baseline");
  EXPECT_STREQ(BuiltinPresets()[35].Name, "libx264-veryslow_firstpass");
  for (int i = 0; i < BuiltinPresetCount(); ++i) {
    const std::string v = BuiltinPresets()[i].Value;
    EXPECT_FALSE(v.empty());
    EXPECT_EQ(v.back(), '\n') << BuiltinPresets()[i].Name;
  }
  EXPECT_EQ(FindBuiltinPreset("LIBX264-MAIN"), "flags2=-dct8x8\n");
  EXPECT_EQ(FindBuiltinPreset("libx264-Baseline"), "coder=0\nbf=0\nflags2=-wpred-dct8x8\nwpredp=0\n");
  EXPECT_EQ(FindBuiltinPreset("main"), "");
}

// Every built-in preset, applied through "vpre" to a libx264 output, opens the encoder, and the
// encoder takes every private option the preset produced.
TEST_F(Presets, EveryBuiltinPresetOpensTheX264Encoder) {
  ASSERT_NE(AVCodecStubs.avcodec_find_encoder_by_name("libx264"), nullptr);
  for (int i = 0; i < BuiltinPresetCount(); ++i) {
    const std::string name = BuiltinPresets()[i].Name;
    SCOPED_TRACE(name);
    E->Reset();
    ASSERT_TRUE(E->OpenInputFile(FixturePath(TFixture::AviMpeg4Mp3))) << E->LastErrMsg();
    E->DispatchOption("an", "1");
    E->DispatchOption("vcodec", "libx264");
    ASSERT_NO_THROW(E->DispatchOption("vpre", name));
    ASSERT_EQ(E->OpenOutputFile(Path("p" + std::to_string(i) + ".mp4")), 1) << E->LastErrMsg();
    const TOutputStreamSetup& v = *E->OutputFile(0)->streams.at(0);
    ASSERT_STREQ(v.codec->name, "libx264");
    OpenEncoder(v);
  }
  E->Reset();
}

TEST_F(Presets, PresetValuesReachTheEncoder) {
  struct TCase {
    const char* Preset;
    std::function<void(const AVCodecContext*)> Check;
  };
  auto priv = [](const AVCodecContext* c, const char* n) { return PrivateOption(c->priv_data, n); };
  const std::vector<TCase> cases = {
      {"libx264-main", [&](const AVCodecContext* c) { EXPECT_EQ(priv(c, "8x8dct"), "false"); }},
      {"libx264-baseline",
       [&](const AVCodecContext* c) {
         EXPECT_EQ(c->max_b_frames, 0);
         EXPECT_EQ(priv(c, "coder"), "0");
         EXPECT_EQ(priv(c, "weightb"), "false");
         EXPECT_EQ(priv(c, "wpredp"), "0");
       }},
      {"libx264-ipod320",
       [&](const AVCodecContext* c) {
         EXPECT_EQ(c->level, 13);
         EXPECT_EQ(c->rc_max_rate, 768000);
         EXPECT_EQ(c->rc_buffer_size, 3000000);
       }},
      {"libx264-default",
       [&](const AVCodecContext* c) {
         EXPECT_EQ(c->gop_size, 250);
         EXPECT_EQ(c->qmin, 10);
         EXPECT_EQ(c->refs, 3);
         EXPECT_EQ(c->max_b_frames, 3);
         EXPECT_TRUE(c->flags & AV_CODEC_FLAG_LOOP_FILTER);
         EXPECT_EQ(priv(c, "partitions"), "i8x8,i4x4,p8x8,b8x8");
         EXPECT_EQ(priv(c, "direct-pred"), "1");
         EXPECT_EQ(priv(c, "mixed-refs"), "true");
         EXPECT_EQ(priv(c, "fast-pskip"), "true");
         EXPECT_EQ(priv(c, "me_method"), "1") << "hex";
       }},
      {"libx264-lossless_slow",
       [&](const AVCodecContext* c) {
         EXPECT_EQ(priv(c, "qp"), "0");
         EXPECT_EQ(priv(c, "preset"), "slow");
       }},
      {"libx264-veryfast_firstpass",
       [&](const AVCodecContext* c) {
         EXPECT_EQ(priv(c, "preset"), "veryfast");
         EXPECT_EQ(priv(c, "fastfirstpass"), "true");
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Preset);
    E->Reset();
    ASSERT_TRUE(E->OpenInputFile(FixturePath(TFixture::AviMpeg4Mp3))) << E->LastErrMsg();
    E->DispatchOption("an", "1");
    E->DispatchOption("vcodec", "libx264");
    E->DispatchOption("vpre", c.Preset);
    ASSERT_EQ(E->OpenOutputFile(Path("v.mp4")), 1) << E->LastErrMsg();
    const TOutputStreamSetup& v = *E->OutputFile(0)->streams.at(0);
    OpenEncoder(v);
    c.Check(v.enc);
  }
  E->Reset();
}

TEST_F(Presets, ShortNameTakesThePendingCodecOfItsOwnKind) {
  // "default" is not built in; with the pending video codec it is "libx264-default".
  E->DispatchOption("vcodec", "libx264");
  E->DispatchOption("vpre", "default");
  EXPECT_EQ(VideoDefaults()->gop_size, 250);
  EXPECT_EQ(VideoDefaults()->keyint_min, 25);
  EXPECT_EQ(DictValue(E->PendingCodecPrivateOptions(), "direct-pred"), "1");

  // An audio preset does not borrow the video codec's name: no "libx264-slow" here, so the
  // name is a file, and there is none.
  E->Reset();
  E->DispatchOption("vcodec", "libx264");
  EXPECT_EQ(Raised("apre", "slow"), "Preset \"slow\" not found");
  // Without any pending codec, the name is a file name in the current folder.
  E->Reset();
  EXPECT_EQ(Raised("vpre", "slow"), "Preset \"slow\" not found");
  // "fpre" never looks at the built-in table.
  EXPECT_EQ(Raised("fpre", "libx264-main"), "Preset \"libx264-main\" not found");
  // An empty name or value does nothing.
  EXPECT_EQ(Raised("vpre", ""), "(nothing raised)");
}

TEST_F(Presets, FilePresets) {
  const std::string good =
      WriteFile("good.ffpreset", "\r\n  vcodec=libx264 \r\nqmin=12\r\n\r\n   \nme_range = 24\nflags2=-dct8x8");
  E->DispatchOption("fpre", good);
  EXPECT_EQ(E->Fvideo_codec_name, "libx264");
  EXPECT_EQ(VideoDefaults()->qmin, 12);
  EXPECT_EQ(VideoDefaults()->me_range, 24);
  EXPECT_EQ(DictValue(E->PendingCodecPrivateOptions(), "8x8dct"), "0");

  // A built-in name that is not built in is looked up as a file too.
  E->Reset();
  E->DispatchOption("vpre", good);
  EXPECT_EQ(E->Fvideo_codec_name, "libx264");

  const std::string empty = WriteFile("empty.ffpreset", "");
  EXPECT_EQ(Raised("fpre", empty), "(nothing raised)");

  // Lines before a failing line stay applied.
  E->Reset();
  const std::string bad = WriteFile("bad.ffpreset", "qmax=40\nqmin\nqmin=3\n");
  EXPECT_EQ(Raised("fpre", bad), bad + ": Invalid syntax: \"qmin\"");
  EXPECT_EQ(VideoDefaults()->qmax, 40);
  EXPECT_NE(VideoDefaults()->qmin, 3);
  const std::string noValue = WriteFile("novalue.ffpreset", "qmin=\n");
  EXPECT_EQ(Raised("fpre", noValue), noValue + ": Invalid syntax: \"qmin=\"");
  const std::string unknown = WriteFile("unknown.ffpreset", "nosuchoption=1\n");
  EXPECT_EQ(Raised("fpre", unknown),
            unknown + ": Invalid option or argument: \"nosuchoption=1\", parsed as \"nosuchoption\" = \"1\"");

  EXPECT_EQ(Raised("fpre", Path("missing.ffpreset")), "Preset \"" + Path("missing.ffpreset") + "\" not found");
  // A folder is no preset file.
  EXPECT_EQ(Raised("fpre", dir_.string()), "Preset \"" + dir_.string() + "\" not found");
}

// ---- targets ----------------------------------------------------------------------------

TEST_F(Presets, TargetsSetTheFieldsTheyName) {
  struct TCase {
    const char* Value;
    int W, H;
    AVRational Rate;
    const char* Format;
    const char* VCodec;  // nullptr: unchanged
    const char* ACodec;
    int Gop;             // 0: not set by the target
    int64_t VideoRate;
    const char* MuxRate;
    int SampleRate;
    int PixFmt;          // -1: unchanged
  };
  const std::vector<TCase> cases = {
      {"pal-vcd", 352, 288, {25, 1}, "vcd", "mpeg1video", "mp2", 15, 1150000, "1411200", 44100, -1},
      {"ntsc-vcd", 352, 240, {30000, 1001}, "vcd", "mpeg1video", "mp2", 18, 1150000, "1411200", 44100, -1},
      {"pal-svcd", 480, 576, {25, 1}, "svcd", "mpeg2video", "mp2", 15, 2040000, "(absent)", 44100, -1},
      {"film-svcd", 480, 480, {24000, 1001}, "svcd", "mpeg2video", "mp2", 18, 2040000, "(absent)", 44100, -1},
      {"pal-dvd", 720, 576, {25, 1}, "dvd", "mpeg2video", "ac3", 15, 6000000, "10080000", 48000, -1},
      {" ntsc-dvd ", 720, 480, {30000, 1001}, "dvd", "mpeg2video", "ac3", 18, 6000000, "10080000", 48000, -1},
      {"pal-dv", 720, 576, {25, 1}, "dv", nullptr, nullptr, 0, 0, "(absent)", 48000, AV_PIX_FMT_YUV420P},
      {"ntsc-dv", 720, 480, {30000, 1001}, "dv", nullptr, nullptr, 0, 0, "(absent)", 48000, AV_PIX_FMT_YUV411P},
      {"film-dv", 720, 480, {24000, 1001}, "dv", nullptr, nullptr, 0, 0, "(absent)", 48000, AV_PIX_FMT_YUV411P},
      {"pal-dv50", 720, 576, {25, 1}, "dv", nullptr, nullptr, 0, 0, "(absent)", 48000, AV_PIX_FMT_YUV422P},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Value);
    E->Reset();
    E->Faudio_channels = 1;
    log_.clear();
    E->DispatchOption("target", c.Value);
    EXPECT_EQ(E->Fframe_width, c.W);
    EXPECT_EQ(E->Fframe_height, c.H);
    EXPECT_EQ(E->Fframe_rate.num, c.Rate.num);
    EXPECT_EQ(E->Fframe_rate.den, c.Rate.den);
    EXPECT_EQ(E->Flast_asked_format, c.Format);
    EXPECT_EQ(E->Fvideo_codec_name, c.VCodec ? c.VCodec : "");
    EXPECT_EQ(E->Faudio_codec_name, c.ACodec ? c.ACodec : "");
    if (c.Gop) {
      EXPECT_EQ(VideoDefaults()->gop_size, c.Gop);
    }
    if (c.VideoRate) {
      EXPECT_EQ(VideoDefaults()->bit_rate, c.VideoRate);
    }
    EXPECT_EQ(DictValue(E->PendingFormatPrivateOptions(), "muxrate"), c.MuxRate);
    EXPECT_EQ(E->Faudio_sample_rate, c.SampleRate);
    EXPECT_EQ(E->Faudio_channels, 2) << "one channel becomes two";
    EXPECT_EQ(E->Fframe_pix_fmt, c.PixFmt);
    EXPECT_FALSE(Logged("for target.")) << "a given norm is not guessed";
  }
  // Details of single targets.
  E->Reset();
  E->DispatchOption("target", "pal-vcd");
  EXPECT_FLOAT_EQ(E->Fmux_preload, 0.44f);
  EXPECT_EQ(VideoDefaults()->rc_min_rate, 1150000);
  EXPECT_EQ(VideoDefaults()->rc_buffer_size, 327680);
  EXPECT_EQ(E->Options().avformat_opts->packet_size, 2324u);
  EXPECT_EQ(E->Options().avcodec_opts[AVMEDIA_TYPE_AUDIO]->bit_rate, 224000);
  EXPECT_FLOAT_EQ(E->Fframe_aspect_ratio, 4.0f / 3.0f);
  EXPECT_TRUE(Logged("Assuming 4:3 for aspect ratio"));
  E->Reset();
  E->DispatchOption("target", "pal-svcd");
  EXPECT_EQ(DictValue(E->PendingCodecPrivateOptions(), "scan_offset"), "1");
  E->Reset();
  E->DispatchOption("target", "pal-dvd");
  EXPECT_FLOAT_EQ(E->Fframe_aspect_ratio, 16.0f / 9.0f);
  EXPECT_TRUE(Logged("Assuming 16:9 for aspect ratio"));
  EXPECT_EQ(E->Options().avcodec_opts[AVMEDIA_TYPE_AUDIO]->bit_rate, 448000);

  E->Reset();
  EXPECT_EQ(Raised("target", "pal-vhs"), "Unknown target type");
  EXPECT_EQ(Raised("target", "PAL-dvd"), "frame_rate is invalid.") << "prefixes are lower case";
}

TEST_F(Presets, TargetNormFromTheFrameRateThenTheInputsThenTheDefault) {
  // The frame rate decides, and the guess is logged.
  GetFFLogger()->SetLogLevel(llVerbose);
  E->Fverbose = 2;
  E->DispatchOption("r", "30000/1001");
  E->DispatchOption("target", "dvd");
  EXPECT_EQ(E->Fframe_width, 720);
  EXPECT_EQ(E->Fframe_height, 480);
  EXPECT_EQ(VideoDefaults()->gop_size, 18);
  EXPECT_TRUE(Logged("Assuming NTSC for target."));

  // No frame rate at all: an audio-only input.
  E->Reset();
  ASSERT_TRUE(E->OpenInputFile(FixturePath(TFixture::Mp3Audio))) << E->LastErrMsg();
  EXPECT_EQ(Raised("target", "dvd"), "frame_rate is invalid.");

  // 10 frames per second matches no norm and no input decides: the default norm.
  E->Reset();
  ASSERT_TRUE(E->OpenInputFile(FixturePath(TFixture::AviMpeg4Mp3))) << E->LastErrMsg();
  bool guessed = false;
  EXPECT_EQ(DetermineTargetNorm(*E, "auto", "pal", guessed), tnPAL);
  EXPECT_TRUE(guessed);
  EXPECT_EQ(DetermineTargetNorm(*E, "", "film", guessed), tnFilm);
  EXPECT_EQ(DetermineTargetNorm(*E, "auto", "ntsc", guessed), tnNTSC);
  EXPECT_EQ(DetermineTargetNorm(*E, "pal", "ntsc", guessed), tnPAL);
  EXPECT_FALSE(guessed);
  E->DispatchOption("target", "film-dv");  // a given norm never looks at the inputs
  EXPECT_EQ(E->Fframe_rate.num, 24000);

  // A rate that matches nothing leaves the inputs to decide: the 25 fps stream gives PAL.
  E->Reset();
  ASSERT_TRUE(E->OpenInputFile(FixturePath(TFixture::TsTwoPrograms))) << E->LastErrMsg();
  E->DispatchOption("r", "15");
  E->DispatchOption("target", "dvd");
  EXPECT_EQ(E->Fframe_height, 576);
  EXPECT_EQ(E->Fframe_rate.num, 25);
}

TEST_F(Presets, TargetKeepsAKnownAspectRatio) {
  ASSERT_TRUE(E->OpenInputFile(FixturePath(TFixture::AviMpeg4Mp3))) << E->LastErrMsg();
  const float aspect = E->Fframe_aspect_ratio;
  ASSERT_GT(aspect, 0);
  E->DispatchOption("target", "pal-vcd");
  EXPECT_FLOAT_EQ(E->Fframe_aspect_ratio, aspect);
  EXPECT_FALSE(Logged("Assuming 4:3"));
}

// The disc targets make outputs whose encoders open with the target's options.
TEST_F(Presets, TargetOutputsOpenTheirEncoders) {
  struct TCase {
    const char* Target;
    const char* File;
    AVCodecID Video;
    AVCodecID Audio;
  };
  for (const TCase& c : {TCase{"pal-vcd", "t.mpg", AV_CODEC_ID_MPEG1VIDEO, AV_CODEC_ID_MP2},
                         TCase{"ntsc-svcd", "t.vob", AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_MP2},
                         TCase{"pal-dvd", "t.vob", AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_AC3}}) {
    SCOPED_TRACE(c.Target);
    E->Reset();
    ASSERT_TRUE(E->OpenInputFile(FixturePath(TFixture::AviMpeg4Mp3))) << E->LastErrMsg();
    E->DispatchOption("target", c.Target);
    ASSERT_EQ(E->OpenOutputFile(Path(c.File)), 1) << E->LastErrMsg();
    TOutputFile* f = E->OutputFile(0);
    ASSERT_EQ(f->streams.size(), 2u);
    const TOutputStreamSetup& v = *f->streams[0];
    const TOutputStreamSetup& a = *f->streams[1];
    EXPECT_EQ(v.enc->codec_id, c.Video);
    EXPECT_EQ(a.enc->codec_id, c.Audio);
    EXPECT_EQ(v.enc->width, std::string(c.Target) == "pal-vcd" ? 352 : std::string(c.Target) == "pal-dvd" ? 720 : 480);
    OpenEncoder(v);
    OpenEncoder(a);
  }
  E->Reset();
}

// ---- statistics file --------------------------------------------------------------------

TEST_F(Presets, VStatsNamesAreWritableAndDistinct) {
  E->DispatchOption("vstats", "");
  const std::string first = E->Fvstats_filename;
  EXPECT_EQ(first.rfind(VStatsFolder(), 0), 0u) << first;
  EXPECT_TRUE(std::regex_match(first.substr(VStatsFolder().size()), std::regex(R"(vstats_\d{6}(-\d+)?\.log)")))
      << first;
  EXPECT_EQ(::access(VStatsFolder().c_str(), W_OK), 0);
  TCustomFFmpeg other(1);
  other.Reset();
  other.DispatchOption("vstats", "");
  EXPECT_NE(other.Fvstats_filename, first) << "two tasks never share one statistics file";
  E->DispatchOption("vstats_file", "/tmp/mine.log");
  EXPECT_EQ(E->Fvstats_filename, "/tmp/mine.log");
}

}  // namespace
