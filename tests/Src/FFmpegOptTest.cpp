// The option dispatcher: every name it handles reaches its field, the handlers' checks and
// messages, the direct setters, and the generic setter with encoder and muxer private options.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

#include "Src/FFmpeg.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/FFmpegStubs.h"
#include "tests/Src/EngineTestBase.h"

namespace {

class EngineOptions : public TEngineTest {};

// 64 coefficients of 8.
const char* const kMatrix64 =
    "8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,"
    "8,8,8,8,8,8,8";

struct TOptionCase {
  const char* Name;
  const char* Value;
  std::function<bool(const TCustomFFmpeg&)> Check;
};

// One row per handled name with a value and the field it must set.
TEST_F(EngineOptions, EveryHandledNameReachesItsField) {
  using F = const TCustomFFmpeg&;
  const std::vector<TOptionCase> cases = {
      {"f", "avi", [](F e) { return e.Flast_asked_format == "avi"; }},
      {"map", "0.1", [](F e) { return e.StreamMaps().size() == 1; }},
      {"map_meta_data", "0:1", [](F e) { return e.MetaDataMaps().size() == 1; }},
      {"t", "10", [](F e) { return e.Frecording_time == 10000000 && e.TotalOutputDuration() == 10000000; }},
      {"fs", "5000000000", [](F e) { return e.Flimit_filesize == 5000000000LL; }},
      {"ss", "00:01:02.5", [](F e) { return e.Fstart_time == 62500000; }},
      {"itsoffset", "-1.5", [](F e) { return e.Finput_ts_offset == -1500000; }},
      {"itsscale", "1:2.0", [](F e) { return e.InputTsScale(0, 1) == 2.0; }},
      {"timestamp", "1970-01-02T00:00:00Z", [](F e) { return e.Frecording_timestamp == 86400; }},
      {"metadata", "title=x", [](F e) { return e.PendingMetadata().size() == 1; }},
      {"vframes", "10", [](F e) { return e.Fmax_frames[0] == 10; }},
      {"aframes", "11", [](F e) { return e.Fmax_frames[1] == 11; }},
      {"dframes", "12", [](F e) { return e.Fmax_frames[2] == 12; }},
      {"dump", "", [](F e) { return e.Fdo_pkt_dump; }},
      {"hex", "1", [](F e) { return e.Fdo_hex_dump; }},
      {"re", "1", [](F e) { return e.Frate_emu; }},
      {"loop_input", "1", [](F e) { return e.Floop_input; }},
      {"loop_output", "3", [](F e) { return e.Floop_output == 3; }},
      {"v", "-1", [](F e) { return e.Fverbose == -1; }},
      {"vsync", "2", [](F e) { return e.Fvideo_sync_method == 2; }},
      {"async", "1", [](F e) { return e.Faudio_sync_method == 1; }},
      {"adrift_threshold", "0.25", [](F e) { return e.Faudio_drift_threshold == 0.25f; }},
      {"vglobal", "2", [](F e) { return e.Fvideo_global_header == 2; }},
      {"copyts", "0", [](F e) { return e.Fcopy_ts; }},
      {"shortest", "1", [](F e) { return e.Fopt_shortest; }},
      {"dts_delta_threshold", "3.5", [](F e) { return e.Fdts_delta_threshold == 3.5f; }},
      {"programid", "2", [](F e) { return e.Fopt_programid == 2; }},
      {"xerror", "0", [](F e) { return e.Fexit_on_error; }},
      {"copyinkf", "1", [](F e) { return e.Fcopy_initial_nonkeyframes == 1; }},
      {"isync", "1", [](F e) { return e.Finput_sync; }},
      {"muxdelay", "0", [](F e) { return e.Fmux_max_delay == 0; }},
      {"muxpreload", "0", [](F e) { return e.Fmux_preload == 0; }},
      {"vc", "3", [](F e) { return e.Fvideo_channel == 3; }},
      {"tvstd", "pal", [](F e) { return e.Fvideo_standard == "pal"; }},
      {"b", "800000", [](F e) { return e.Fvideo_qscale == 0; }},
      {"vb", "900000", [](F e) { return true; }},
      {"r", "30000/1001", [](F e) { return e.Fframe_rate.num == 30000 && e.Fframe_rate.den == 1001; }},
      {"s", "vga", [](F e) { return e.Fframe_width == 640 && e.Fframe_height == 480; }},
      {"aspect", "16:9", [](F e) { return std::fabs(e.Fframe_aspect_ratio - 16.0f / 9.0f) < 1e-6; }},
      {"pix_fmt", "yuv422p", [](F e) { return e.Fframe_pix_fmt == AV_PIX_FMT_YUV422P; }},
      {"croptop", "16", [](F e) { return e.Fframe_topBand == 16 && e.Fframe_height == 464; }},
      {"cropbottom", "8", [](F e) { return e.Fframe_bottomBand == 8 && e.Fframe_height == 456; }},
      {"cropleft", "4", [](F e) { return e.Fframe_leftBand == 4 && e.Fframe_width == 636; }},
      {"cropright", "2", [](F e) { return e.Fframe_rightBand == 2 && e.Fframe_width == 634; }},
      {"intra", "1", [](F e) { return e.Fintra_only; }},
      {"vn", "", [](F e) { return e.Fvideo_disable; }},
      {"vdt", "8", [](F e) { return e.Fvideo_discard == 8; }},
      {"qscale", "255", [](F e) { return e.Fvideo_qscale == 255; }},
      {"rc_override", "0,10,2", [](F e) { return e.Fvideo_rc_override_string == "0,10,2"; }},
      {"vcodec", "mpeg4", [](F e) { return e.Fvideo_codec_name == "mpeg4"; }},
      {"me_threshold", "5", [](F e) { return e.Fme_threshold == 5; }},
      {"sameq", "1", [](F e) { return e.Fsame_quality; }},
      {"pass", "2", [](F e) { return e.Fdo_pass == 2; }},
      {"passlogfile", "/tmp/p", [](F e) { return e.Fpass_logfilename_prefix == "/tmp/p"; }},
      {"deinterlace", "1", [](F e) { return e.Fdo_deinterlace; }},
      {"psnr", "1", [](F e) { return e.Fdo_psnr; }},
      {"vstats_file", "/tmp/v.log", [](F e) { return e.Fvstats_filename == "/tmp/v.log"; }},
      {"vfilters", "pad=640:480", [](F e) { return e.Fvfilters == "pad=640:480"; }},
      {"vf", "", [](F e) { return e.Fvfilters == "pad=640:480"; }},
      {"intra_matrix", kMatrix64, [](F e) { return e.Fintra_matrix && (*e.Fintra_matrix)[63] == 8; }},
      {"top", "1", [](F e) { return e.Ftop_field_first == 1; }},
      {"dc", "10", [](F e) { return e.Fintra_dc_precision == 10; }},
      {"vtag", "DX50", [](F e) { return e.Fvideo_codec_tag == 0x30355844u; }},
      {"vlang", "eng", [](F e) { return e.Fvideo_language == "eng"; }},
      {"qphist", "1", [](F e) { return e.Fqp_hist; }},
      {"force_fps", "1", [](F e) { return e.Fforce_fps; }},
      {"streamid", "1:301", [](F e) { return e.Fstreamid_map[1] == 301; }},
      {"ab", "128000", [](F e) { return true; }},
      {"aq", "4", [](F e) { return e.Faudio_qscale == 4; }},
      {"ar", "22050", [](F e) { return e.Faudio_sample_rate == 22050; }},
      {"ac", "1", [](F e) { return e.Faudio_channels == 1; }},
      {"an", "1", [](F e) { return e.Faudio_disable; }},
      {"acodec", "copy", [](F e) { return e.Faudio_stream_copy == 1 && e.Faudio_codec_name.empty(); }},
      {"atag", "mp4a", [](F e) { return e.Faudio_codec_tag == 0x6134706Du; }},
      {"vol", "-5", [](F e) { return e.Faudio_volume == -5; }},
      {"alang", "fre", [](F e) { return e.Faudio_language == "fre"; }},
      {"sample_fmt", "fltp", [](F e) { return e.Faudio_sample_fmt == AV_SAMPLE_FMT_FLTP; }},
      {"sn", "0", [](F e) { return !e.Fsubtitle_disable; }},
      {"scodec", "mov_text", [](F e) { return e.Fsubtitle_codec_name == "mov_text"; }},
      {"slang", "ger", [](F e) { return e.Fsubtitle_language == "ger"; }},
      {"stag", "tx3g", [](F e) { return e.Fsubtitle_codec_tag != 0; }},
      {"absf", "aac_adtstoasc", [](F e) { return e.PendingBitstreamFilters(AVMEDIA_TYPE_AUDIO).size() == 1; }},
      {"vbsf", "h264_mp4toannexb", [](F e) { return e.PendingBitstreamFilters(AVMEDIA_TYPE_VIDEO).size() == 1; }},
      {"sbsf", "null", [](F e) { return e.PendingBitstreamFilters(AVMEDIA_TYPE_SUBTITLE).size() == 1; }},
      {"loglevel", "info", [](F) { return GetFFLogger()->LogLevel() == llInfo; }},
      {"timelimit", "10", [](F) { return true; }},
  };
  for (const char* n : {"L", "h", "version", "formats", "codecs", "bsfs", "protocols", "filters", "i", "y", "benchmark"})
    EXPECT_NO_THROW(E->DispatchOption(n, "x")) << n;
  for (const TOptionCase& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + "=" + c.Value);
    EXPECT_NO_THROW(E->DispatchOption(c.Name, c.Value));
    EXPECT_TRUE(c.Check(*E));
  }
  EXPECT_TRUE(Logged("Do nothing: option - y"));
  EXPECT_TRUE(Logged("Warning: -timelimit not implemented on Windows"));

  // The names that need other state or raise, which the table above leaves out.
  const std::set<std::string> elsewhere = {"threads", "padtop", "padbottom", "padleft", "padright", "padcolor",
                                           "target", "newvideo", "newaudio", "newsubtitle", "inter_matrix", "vstats",
                                           "vhook", "apre", "vpre", "spre", "fpre"};
  EXPECT_EQ(cases.size() + 11 + elsewhere.size(), 114u) << "every handled name is covered";
}

TEST_F(EngineOptions, RefusedNamesAndOptionsThatNeedAnOutput) {
  EXPECT_EQ(Raised("threads", "4"), "TODO: option - threads");
  for (const char* n : {"padtop", "padbottom", "padleft", "padright", "padcolor"})
    EXPECT_EQ(Raised(n, "8"), "Please use vfilters=pad") << n;
  for (const char* n : {"newvideo", "newaudio", "newsubtitle"})
    EXPECT_EQ(Raised(n, ""), "At least one output file must be specified") << n;
}

TEST_F(EngineOptions, FlagsSwitchesAndConversionErrors) {
  E->DispatchOption("vn", "0");
  EXPECT_FALSE(E->Fvideo_disable);
  E->DispatchOption("vn", "");
  EXPECT_TRUE(E->Fvideo_disable);
  EXPECT_THROW(E->DispatchOption("vframes", "ten"), EConvertError);
  EXPECT_THROW(E->DispatchOption("fs", "1e3"), EConvertError);
  EXPECT_THROW(E->DispatchOption("muxdelay", "0,5"), EConvertError);
  // "ar" 0 and "ac" -1 keep their values.
  E->DispatchOption("ar", "0");
  E->DispatchOption("ac", "-1");
  EXPECT_EQ(E->Faudio_sample_rate, 44100);
  EXPECT_EQ(E->Faudio_channels, 2);
  // Upper-case names are not the handled ones; unknown names change nothing and raise nothing.
  EXPECT_NO_THROW(E->DispatchOption("VCODEC", "mpeg4"));
  EXPECT_TRUE(E->Fvideo_codec_name.empty());
  EXPECT_NO_THROW(E->DispatchOption("no_such_option_anywhere", "1"));
}

TEST_F(EngineOptions, DirectSettersDifferFromTheOptions) {
  E->SetAudioVolume(-5);
  EXPECT_EQ(E->Faudio_volume, 256);
  E->SetMuxMaxDelay(0);
  E->SetMuxPreload(-1);
  EXPECT_FLOAT_EQ(E->Fmux_max_delay, 0.7f);
  EXPECT_FLOAT_EQ(E->Fmux_preload, 0.5f);
  E->SetStartTime(INT64_MIN);
  EXPECT_EQ(E->Fstart_time, 0);
  E->SetStartTime(5);
  EXPECT_EQ(E->Fstart_time, 5);
  E->SetProgramID(-1);
  EXPECT_EQ(E->Fopt_programid, 0);
  E->SetRecordingTime(INT64_MIN);
  EXPECT_EQ(E->Frecording_time, INT64_MAX);
  EXPECT_EQ(E->TotalOutputDuration(), -1);
}

TEST_F(EngineOptions, HandlerMessagesForBadValues) {
  struct TBad {
    const char* Name;
    const char* Value;
    const char* Message;
  };
  E->DispatchOption("s", "720x576");
  const std::vector<TBad> bad = {
      {"r", "fast", "Incorrect frame rate"},
      {"s", "big", "Incorrect frame size"},
      {"aspect", "4:0", "Incorrect aspect ratio specification."},
      {"aspect", "wide", "Incorrect aspect ratio specification."},
      {"aspect", "-4:3", "Incorrect aspect ratio specification."},
      {"pix_fmt", "yuv999", "Unknown pixel format requested: yuv999"},
      {"croptop", "576",
       "Vertical crop dimensions are outside the range of the original image.\nRemember to crop first and scale second."},
      {"cropleft", "720",
       "Horizontal crop dimensions are outside the range of the original image.\nRemember to crop first and scale "
       "second."},
      {"qscale", "0", "qscale must be > 0.0 and <= 255"},
      {"qscale", "256", "qscale must be > 0.0 and <= 255"},
      {"vtag", "DX500", "video tag parameter must be 4 chars"},
      {"atag", "mp4", "audio tag parameter must be 4 chars"},
      {"stag", "a", "subtitle tag parameter must be 4 chars"},
      {"itsscale", "20:2.0", "stream index over MAX_STREAMS(20)"},
      {"itsscale", "-1:2.0", "stream index over MAX_STREAMS(20)"},
      {"t", "soon", "Invalid duration specification for t: soon"},
      {"timestamp", "someday", "Invalid date specification for timestamp: someday"},
      {"metadata", "title", "Missing ="},
      {"streamid", "1", "Invalid value \"1\" for option \"streamid\", required syntax is \"index:value\""},
      {"streamid", ":5", "Invalid value \":5\" for option \"streamid\", required syntax is \"index:value\""},
      {"streamid", "20:5", "stream index over MAX_STREAMS(20)"},
      {"streamid", "-1:5", "stream index over MAX_STREAMS(20)"},
      {"pass", "3", "pass number can be only 1 or 2"},
      {"vbsf", "no_such_bsf", "Unknown bitstream filter no_such_bsf"},
  };
  for (const TBad& b : bad) EXPECT_EQ(Raised(b.Name, b.Value), b.Message) << b.Name << "=" << b.Value;
  EXPECT_EQ(E->Fframe_width, 720);
  EXPECT_EQ(E->Fframe_height, 576) << "a refused crop leaves the size";
  EXPECT_FLOAT_EQ(E->Fframe_aspect_ratio, 0);
  E->DispatchOption("aspect", "1.85");
  EXPECT_FLOAT_EQ(E->Fframe_aspect_ratio, 1.85f);
}

// A codec tag that is not four characters is an option error like any other, not an assertion.
TEST_F(EngineOptions, BadCodecTagIsAnOptionError) {
  for (const char* n : {"vtag", "atag", "stag"}) {
    EXPECT_THROW(E->DispatchOption(n, "abc"), FFmpegException) << n;
    EXPECT_EQ(E->Fvideo_codec_tag + E->Faudio_codec_tag + E->Fsubtitle_codec_tag, 0u) << n;
  }
}

TEST_F(EngineOptions, StructuredValues) {
  E->DispatchOption("map", "0.1");
  E->DispatchOption("map", "0.1:1.0");
  E->DispatchOption("map", "0x1:2");
  ASSERT_EQ(E->StreamMaps().size(), 3u);
  const TAVStreamMap& a = E->StreamMaps()[0];
  EXPECT_EQ((std::array{a.file_index, a.stream_index, a.sync_file_index, a.sync_stream_index}), (std::array{0, 1, 0, 1}));
  const TAVStreamMap& b = E->StreamMaps()[1];
  EXPECT_EQ((std::array{b.file_index, b.stream_index, b.sync_file_index, b.sync_stream_index}), (std::array{0, 1, 1, 0}));
  EXPECT_EQ(E->StreamMaps()[2].file_index, 1) << "a base prefix is read";

  // The tables hold at most MaxFiles x 20 stream maps and MaxFiles metadata maps.
  for (size_t i = E->StreamMaps().size(); i < 4 * 20; ++i) E->DispatchOption("map", "0:0");
  EXPECT_EQ(Raised("map", "0:0"), "Too many stream maps (at most 80)");
  for (int i = 0; i < 4; ++i) E->DispatchOption("map_meta_data", "0:0");
  EXPECT_EQ(Raised("map_meta_data", "0:0"), "Too many metadata maps (at most 4)");

  // Matrices: exactly 64 numbers; 63 fail at coefficient 62 and keep what was read.
  std::string m;
  for (int i = 1; i <= 64; ++i) m += (i > 1 ? "," : "") + std::to_string(i);
  E->DispatchOption("inter_matrix", m);
  ASSERT_TRUE(E->Finter_matrix);
  EXPECT_EQ((*E->Finter_matrix)[0], 1);
  EXPECT_EQ((*E->Finter_matrix)[63], 64);
  const std::string m63 = m.substr(0, m.rfind(','));
  EXPECT_EQ(Raised("intra_matrix", m63), "Syntax error in matrix \"" + m63 + "\" at coeff 62");
  EXPECT_EQ((*E->Fintra_matrix)[62], 63);
  EXPECT_EQ((*E->Fintra_matrix)[63], 0);

  // Codec names: "copy" then a name keeps the copy.
  E->DispatchOption("vcodec", "copy");
  E->DispatchOption("vcodec", "mpeg4");
  EXPECT_EQ(E->Fvideo_stream_copy, 1);
  EXPECT_EQ(E->Fvideo_codec_name, "mpeg4");

  E->DispatchOption("f", "pgmyuv");
  EXPECT_EQ(E->Flast_asked_format, "image2");
  EXPECT_EQ(E->Fpgmyuv_compatibility_hack, 1);
  EXPECT_TRUE(Logged("pgmyuv format is deprecated, use image2"));
}

TEST_F(EngineOptions, FormatListsAndBitrateWarning) {
  log_.clear();
  const int pix = E->Fframe_pix_fmt;
  E->DispatchOption("pix_fmt", "list");
  EXPECT_EQ(E->Fframe_pix_fmt, pix);
  int formats = 0;
  while (AVUtilStubs.av_pix_fmt_desc_get(static_cast<AVPixelFormat>(formats))) ++formats;
  EXPECT_EQ(log_.size(), static_cast<size_t>(formats + 1)) << "a heading and one line per format";
  log_.clear();
  E->DispatchOption("sample_fmt", "list");
  EXPECT_EQ(log_.size(), 13u);
  E->DispatchOption("sample_fmt", "nonsense");
  EXPECT_EQ(E->Faudio_sample_fmt, -1) << "stored as the library answers, without error";

  log_.clear();
  E->DispatchOption("ab", "128");
  EXPECT_TRUE(Logged("WARNING: The bitrate parameter is set too low"));
  log_.clear();
  E->DispatchOption("b", "800000");
  EXPECT_FALSE(Logged("WARNING"));
}

// A bitrate the libraries refuse is the option's error, as a bad value of the other options is:
// neither kept as a private option (which nothing would take) nor dropped, and the rate in
// force stays.
TEST_F(EngineOptions, RefusedBitrateIsTheOptionsError) {
  const std::string huge(size_t{1} << 20, 'x');
  struct TCase {
    const char* Name;
    std::string Value;
    std::string Message;  // empty: accepted
    int Type;             // the codec defaults that carry the rate: 0 video, 1 audio
    int64_t Rate;         // the rate in force afterwards
  };
  const std::vector<TCase> cases = {
      {"b", "800000", "", 0, 800000},
      {"b", "fast", "Invalid value \"fast\" for option \"b\"", 0, 800000},
      {"b", "99999999999999999999", "Invalid value \"99999999999999999999\" for option \"b\"", 0, 800000},
      {"b", huge, "Invalid value \"" + huge.substr(0, 40) + "...\" for option \"b\"", 0, 800000},
      {"vb", "fast", "Invalid value \"fast\" for option \"vb\"", 0, 800000},
      {"vb", "900000", "", 0, 900000},
      {"ab", "64000", "", 1, 64000},
      {"ab", "99999999999999999999", "Invalid value \"99999999999999999999\" for option \"ab\"", 1, 64000},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + "=" + c.Value.substr(0, 24));
    EXPECT_EQ(Raised(c.Name, c.Value), c.Message.empty() ? "(nothing raised)" : c.Message);
    int64_t rate = 0;
    ASSERT_GE(AVUtilStubs.av_opt_get_int(E->Options().avcodec_opts[c.Type], "b", 0, &rate), 0);
    EXPECT_EQ(rate, c.Rate);
    EXPECT_EQ(AVUtilStubs.av_dict_get(E->PendingCodecPrivateOptions(), "", nullptr, AV_DICT_IGNORE_SUFFIX), nullptr);
  }
  // A refused value of a name the option store knows is not kept as anyone's private option.
  EXPECT_FALSE(E->SetAVOption("g", "often"));
  EXPECT_EQ(AVUtilStubs.av_dict_get(E->PendingCodecPrivateOptions(), "", nullptr, AV_DICT_IGNORE_SUFFIX), nullptr);
}

TEST_F(EngineOptions, GenericSetterTranslatesOldNamesAndKeepsPrivateOptions) {
  // A generic codec option goes to the option store.
  EXPECT_TRUE(E->SetAVOption("g", "12"));
  EXPECT_EQ(E->Options().avcodec_opts[0]->gop_size, 12);
  // Names that are private options of an encoder (libx264) or a muxer (mpeg) now.
  EXPECT_TRUE(E->SetAVOption("crf", "23"));
  EXPECT_TRUE(E->SetAVOption("flags2", "-dct8x8+wpred"));
  EXPECT_TRUE(E->SetAVOption("directpred", "1"));
  EXPECT_TRUE(E->SetAVOption("partitions", "+parti8x8+parti4x4-partp8x8"));
  EXPECT_TRUE(E->SetAVOption("muxrate", "10080000"));
  auto codecOpt = [&](const char* k) {
    const AVDictionaryEntry* e = AVUtilStubs.av_dict_get(E->PendingCodecPrivateOptions(), k, nullptr, 0);
    return e ? std::string(e->value) : std::string("(none)");
  };
  EXPECT_EQ(codecOpt("crf"), "23");
  EXPECT_EQ(codecOpt("8x8dct"), "0");
  EXPECT_EQ(codecOpt("weightb"), "1");
  EXPECT_EQ(codecOpt("direct-pred"), "1");
  EXPECT_EQ(codecOpt("partitions"), "i8x8,i4x4");
  const AVDictionaryEntry* mux = AVUtilStubs.av_dict_get(E->PendingFormatPrivateOptions(), "muxrate", nullptr, 0);
  ASSERT_NE(mux, nullptr);
  EXPECT_STREQ(mux->value, "10080000");
  EXPECT_TRUE(E->SetAVOptionInt("bf", 2));
  EXPECT_EQ(E->Options().avcodec_opts[0]->max_b_frames, 2);
  // Unknown everywhere.
  EXPECT_FALSE(E->SetAVOption("no_such_option_anywhere", "1"));
}

}  // namespace
