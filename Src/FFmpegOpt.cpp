// The option dispatcher of the conversion engine and its handlers.
#include <cmath>
#include <unordered_map>

#include "Src/CodecMap.h"
#include "Src/FFmpeg.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/FFmpegStubs.h"
#include "base/Format.h"
#include "base/Text.h"

namespace {

bool FlagValue(const std::string& AValue) { return AValue != "0"; }

// strtol with a base prefix, as the option texts of the command line were read.
long ReadLong(const char*& AText) {
  char* end = nullptr;
  const long v = std::strtol(AText, &end, 0);
  AText = end;
  return v;
}

void SkipOne(const char*& AText) {
  if (*AText) ++AText;
}

// A value as a message shows it: a long one is cut (at a character boundary) and marked so.
std::string ShownValue(const std::string& AValue) {
  constexpr size_t kShown = 40;
  if (AValue.size() <= kShown) return AValue;
  size_t cut = kShown;
  while (cut > 0 && (static_cast<unsigned char>(AValue[cut]) & 0xC0) == 0x80) --cut;
  return AValue.substr(0, cut) + "...";
}

}  // namespace

// ---- direct setters ---------------------------------------------------------------------

void TCustomFFmpeg::SetAudioVolume(int32_t AValue) {
  if (AValue >= 0) Faudio_volume = AValue;
}

void TCustomFFmpeg::SetMuxMaxDelay(float AValue) {
  if (AValue > 0) Fmux_max_delay = AValue;
}

void TCustomFFmpeg::SetMuxPreload(float AValue) {
  if (AValue > 0) Fmux_preload = AValue;
}

void TCustomFFmpeg::SetStartTime(int64_t AValue) {
  if (AValue != INT64_MIN) Fstart_time = AValue;
}

void TCustomFFmpeg::SetProgramID(int32_t AValue) {
  if (AValue >= 0) Fopt_programid = AValue;
}

void TCustomFFmpeg::SetRecordingTime(int64_t AValue) {
  if (AValue == INT64_MIN) return;
  Frecording_time = AValue;
  FTotalOutputDuration = AValue;
}

bool TCustomFFmpeg::SetAVOption(const std::string& AName, const std::string& AValue, bool* ARefused) {
  if (ARefused) *ARefused = false;
  if (!FFLoader().Loaded(TaskLibraries)) return false;
  bool any = false;
  for (const auto& [name, value] : TranslateCodecOption(AName, AValue)) {
    bool refused = false;
    if (SetFFOption(FOptions, name, value, nullptr, &refused)) {
      any = true;
      continue;
    }
    // A value refused under a name the option store knows is no private option of anyone:
    // kept as one, it would never take effect.
    if (refused) {
      if (ARefused) *ARefused = true;
      continue;
    }
    if (name.empty() || value.empty()) continue;
    // Many option names of the old libraries are private options of one encoder or muxer
    // now. They are kept by name and handed to the encoder or muxer that knows them when
    // the stream or file is made.
    constexpr int kSearch = AV_OPT_SEARCH_CHILDREN | AV_OPT_SEARCH_FAKE_OBJ;
    const AVClass* codecClass = AVCodecStubs.avcodec_get_class();
    if (AVUtilStubs.av_opt_find(&codecClass, name.c_str(), nullptr, AV_OPT_FLAG_ENCODING_PARAM, kSearch)) {
      any = AVUtilStubs.av_dict_set(&FCodecPrivateOpts, name.c_str(), value.c_str(), 0) >= 0 || any;
      continue;
    }
    const AVClass* formatClass = AVFormatStubs.avformat_get_class();
    if (AVUtilStubs.av_opt_find(&formatClass, name.c_str(), nullptr, AV_OPT_FLAG_ENCODING_PARAM, kSearch))
      any = AVUtilStubs.av_dict_set(&FFormatPrivateOpts, name.c_str(), value.c_str(), 0) >= 0 || any;
  }
  return any;
}

bool TCustomFFmpeg::SetAVOptionInt(const std::string& AName, int32_t AValue) {
  return SetAVOption(AName, IntToStr(AValue));
}

// ---- handlers ---------------------------------------------------------------------------

void TCustomFFmpeg::SetFormat(const std::string& AValue) {
  if (AValue.empty()) return;
  std::string fmt = AValue;
  if (fmt == "pgmyuv") {
    Fpgmyuv_compatibility_hack = 1;
    fmt = "image2";
    GetFFLogger()->Log(this, llInfo, "pgmyuv format is deprecated, use image2");
  }
  Flast_asked_format = fmt;
}

void TCustomFFmpeg::OptFrameRate(const std::string& AValue) {
  if (AValue.empty()) return;
  AVRational rate{0, 0};
  if (AVUtilStubs.av_parse_video_rate(&rate, AValue.c_str()) < 0) throw FFmpegException("Incorrect frame rate");
  Fframe_rate = rate;
}

void TCustomFFmpeg::OptFrameSize(const std::string& AValue) {
  if (AValue.empty()) return;
  int w = 0, h = 0;
  if (AVUtilStubs.av_parse_video_size(&w, &h, AValue.c_str()) < 0) throw FFmpegException("Incorrect frame size");
  Fframe_width = w;
  Fframe_height = h;
}

void TCustomFFmpeg::OptAspect(const std::string& AValue) {
  if (AValue.empty()) return;
  double ratio = 0;
  const size_t colon = AValue.find(':');
  if (colon != std::string::npos) {
    const int x = StrToIntDef(Trim(AValue.substr(0, colon)), 0);
    const int y = StrToIntDef(Trim(AValue.substr(colon + 1)), 0);
    if (y > 0) ratio = static_cast<double>(x) / y;
  } else {
    ratio = StrToFloatDef(Trim(AValue), 0);
  }
  // A negative, infinite or undefined ratio is no aspect ratio either.
  if (!(ratio > 0) || !std::isfinite(ratio)) throw FFmpegException("Incorrect aspect ratio specification.");
  Fframe_aspect_ratio = static_cast<float>(ratio);
}

void TCustomFFmpeg::OptCrop(const std::string& AName, const std::string& AValue) {
  const int32_t v = StrToInt(AValue);
  if (v <= 0) return;
  const bool vertical = AName == "croptop" || AName == "cropbottom";
  if (vertical && v >= Fframe_height)
    throw FFmpegException(
        "Vertical crop dimensions are outside the range of the original image.\nRemember to crop first and scale "
        "second.");
  if (!vertical && v >= Fframe_width)
    throw FFmpegException(
        "Horizontal crop dimensions are outside the range of the original image.\nRemember to crop first and scale "
        "second.");
  GetFFLogger()->Log(this, llWarning, "CropXXX is deprecated in favor of the crop avfilter");
  if (AName == "croptop") Fframe_topBand = v;
  if (AName == "cropbottom") Fframe_bottomBand = v;
  if (AName == "cropleft") Fframe_leftBand = v;
  if (AName == "cropright") Fframe_rightBand = v;
  if (vertical)
    Fframe_height -= v;
  else
    Fframe_width -= v;
}

void TCustomFFmpeg::OptCodec(const std::string& AName, const std::string& AValue) {
  if (AValue.empty()) return;
  std::string* name = AName == "vcodec" ? &Fvideo_codec_name : AName == "acodec" ? &Faudio_codec_name : &Fsubtitle_codec_name;
  int32_t* copy = AName == "vcodec" ? &Fvideo_stream_copy : AName == "acodec" ? &Faudio_stream_copy : &Fsubtitle_stream_copy;
  name->clear();
  if (AValue == "copy")
    *copy = 1;
  else
    *name = AValue;
}

void TCustomFFmpeg::OptCodecTag(const std::string& AName, const std::string& AValue) {
  if (AValue.empty()) return;
  if (AValue.size() != 4) {
    const char* kind = AName == "atag" ? "audio" : AName == "vtag" ? "video" : "subtitle";
    // An option error like every other, so that callers catching those see it too.
    throw FFmpegException(Format("%s tag parameter must be 4 chars", kind));
  }
  const auto* b = reinterpret_cast<const unsigned char*>(AValue.data());
  const uint32_t tag = b[0] | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
  if (AName == "atag") Faudio_codec_tag = tag;
  else if (AName == "vtag") Fvideo_codec_tag = tag;
  else Fsubtitle_codec_tag = tag;
}

void TCustomFFmpeg::OptVideoFilters(const std::string& AValue) {
  if (!AValue.empty()) Fvfilters = AValue;
}

void TCustomFFmpeg::OptAudioRate(const std::string& AValue) {
  const int32_t v = StrToInt(AValue);
  if (v > 0) Faudio_sample_rate = v;
}

void TCustomFFmpeg::OptAudioChannels(const std::string& AValue) {
  const int32_t v = StrToInt(AValue);
  if (v > 0) Faudio_channels = v;
}

void TCustomFFmpeg::AddMetadata(const std::string& AKey, const std::string& AValue) {
  Fmetadata.emplace_back(AKey, AValue);
}

int64_t TCustomFFmpeg::ParseTimeOption(const std::string& AName, const std::string& AValue, bool AIsDuration) {
  int64_t us = 0;
  if (AVUtilStubs.av_parse_time(&us, AValue.c_str(), AIsDuration ? 1 : 0) < 0)
    throw FFmpegException(Format("Invalid %s specification for %s: %s", AIsDuration ? "duration" : "date", AName, AValue));
  return us;
}

void TCustomFFmpeg::ParseMatrix(std::unique_ptr<std::array<uint16_t, 64>>& AMatrix, const std::string& AText) {
  if (!AMatrix) AMatrix = std::make_unique<std::array<uint16_t, 64>>();
  AMatrix->fill(0);
  const char* p = AText.c_str();
  for (int i = 0;; ++i) {
    (*AMatrix)[static_cast<size_t>(i)] = static_cast<uint16_t>(std::strtol(p, nullptr, 10));
    if (i == 63) break;
    p = std::strchr(p, ',');
    if (!p) throw FFmpegException(Format("Syntax error in matrix \"%s\" at coeff %d", AText, i));
    ++p;
  }
}

void TCustomFFmpeg::AddBitstreamFilter(const std::string& AName, const std::string& AValue) {
  if (AValue.empty() || AValue[0] == '=') return;
  const size_t eq = AValue.find('=');
  const std::string name = Trim(AValue.substr(0, eq));
  const AVBitStreamFilter* f = AVCodecStubs.av_bsf_get_by_name(name.c_str());
  if (!f) throw FFmpegException(Format("Unknown bitstream filter %s", Trim(AValue)));
  TBitstreamFilterRef ref{f, eq == std::string::npos ? std::string() : AValue.substr(eq + 1)};
  FPendingBsf[AName[0] == 'v' ? 0 : AName[0] == 'a' ? 1 : 2].push_back(std::move(ref));
}

// ---- dispatcher -------------------------------------------------------------------------

void TCustomFFmpeg::DispatchOption(const std::string& AName, const std::string& AValue) {
  using THandler = void (*)(TCustomFFmpeg& E, const std::string& N, const std::string& V);
  static const std::unordered_map<std::string, THandler> kTable = [] {
    std::unordered_map<std::string, THandler> t;
    // Ignored names and refusals.
    for (const char* n : {"L", "h", "version", "formats", "codecs", "bsfs", "protocols", "filters", "i", "y", "benchmark"})
      t[n] = [](TCustomFFmpeg& E, const std::string& N, const std::string&) {
        GetFFLogger()->Log(&E, llInfo, "Do nothing: option - " + N);
      };
    t["timelimit"] = [](TCustomFFmpeg& E, const std::string&, const std::string&) {
      GetFFLogger()->Log(&E, llWarning, "Warning: -timelimit not implemented on Windows");
    };
    t["threads"] = [](TCustomFFmpeg&, const std::string& N, const std::string&) {
      throw FFmpegException("TODO: option - " + N);
    };
    for (const char* n : {"padtop", "padbottom", "padleft", "padright", "padcolor"})
      t[n] = [](TCustomFFmpeg&, const std::string&, const std::string&) {
        throw FFmpegException("Please use vfilters=pad");
      };
    t["loglevel"] = [](TCustomFFmpeg&, const std::string&, const std::string& V) { GetFFLogger()->OptLogLevel(V); };

    // Files, timing, synchronisation and muxing.
    t["f"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.SetFormat(V); };
    t["map"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) {
      if (static_cast<int64_t>(E.Fstream_maps.size()) >= int64_t{E.FMaxFiles} * MAX_STREAMS)
        throw FFmpegException(Format("Too many stream maps (at most %d)", E.FMaxFiles * MAX_STREAMS));
      TAVStreamMap m;
      const char* p = V.c_str();
      m.file_index = static_cast<int32_t>(ReadLong(p));
      SkipOne(p);
      m.stream_index = static_cast<int32_t>(ReadLong(p));
      if (*p) {
        SkipOne(p);
        m.sync_file_index = static_cast<int32_t>(ReadLong(p));
        SkipOne(p);
        m.sync_stream_index = static_cast<int32_t>(ReadLong(p));
      } else {
        m.sync_file_index = m.file_index;
        m.sync_stream_index = m.stream_index;
      }
      E.Fstream_maps.push_back(m);
    };
    t["map_meta_data"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) {
      if (static_cast<int32_t>(E.Fmeta_data_maps.size()) >= E.FMaxFiles)
        throw FFmpegException(Format("Too many metadata maps (at most %d)", E.FMaxFiles));
      TAVMetaDataMap m;
      const char* p = V.c_str();
      m.out_file = static_cast<int32_t>(ReadLong(p));
      SkipOne(p);
      m.in_file = static_cast<int32_t>(ReadLong(p));
      E.Fmeta_data_maps.push_back(m);
    };
    t["t"] = [](TCustomFFmpeg& E, const std::string& N, const std::string& V) {
      E.SetRecordingTime(E.ParseTimeOption(N, V, true));
    };
    t["fs"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Flimit_filesize = StrToInt64(V); };
    t["ss"] = [](TCustomFFmpeg& E, const std::string& N, const std::string& V) {
      E.Fstart_time = E.ParseTimeOption(N, V, true);
    };
    t["itsoffset"] = [](TCustomFFmpeg& E, const std::string& N, const std::string& V) {
      E.Finput_ts_offset = E.ParseTimeOption(N, V, true);
    };
    t["itsscale"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) {
      const char* p = V.c_str();
      const long index = ReadLong(p);
      SkipOne(p);
      const double scale = std::strtod(p, nullptr);
      if (index < 0 || index >= MAX_STREAMS)
        throw FFmpegException(Format("stream index over MAX_STREAMS(%d)", MAX_STREAMS));
      // The scale belongs to the next input, which must fit the input table.
      if (E.Fnb_input_files >= E.FMaxFiles)
        throw FFmpegException(Format("Too many input files (at most %d)", E.FMaxFiles));
      E.Finput_files_ts_scale[static_cast<size_t>(E.Fnb_input_files)][static_cast<size_t>(index)] = scale;
    };
    t["timestamp"] = [](TCustomFFmpeg& E, const std::string& N, const std::string& V) {
      E.Frecording_timestamp = static_cast<int64_t>(std::nearbyint(E.ParseTimeOption(N, V, false) / 1000000.0));
    };
    t["metadata"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) {
      const size_t eq = V.find('=');
      if (eq == std::string::npos) throw FFmpegException("Missing =");
      E.AddMetadata(V.substr(0, eq), V.substr(eq + 1));
    };
    t["vframes"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fmax_frames[0] = StrToInt(V); };
    t["aframes"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fmax_frames[1] = StrToInt(V); };
    t["dframes"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fmax_frames[2] = StrToInt(V); };
    t["dump"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fdo_pkt_dump = FlagValue(V); };
    t["hex"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fdo_hex_dump = FlagValue(V); };
    t["re"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Frate_emu = FlagValue(V); };
    t["loop_input"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Floop_input = FlagValue(V); };
    t["loop_output"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Floop_output = StrToInt(V); };
    t["v"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fverbose = StrToInt(V); };
    t["target"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.OptTarget(V); };
    t["vsync"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fvideo_sync_method = StrToInt(V); };
    t["async"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Faudio_sync_method = StrToInt(V); };
    t["adrift_threshold"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) {
      E.Faudio_drift_threshold = static_cast<float>(StrToFloat(V));
    };
    t["vglobal"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fvideo_global_header = StrToInt(V); };
    t["copyts"] = [](TCustomFFmpeg& E, const std::string&, const std::string&) { E.Fcopy_ts = true; };
    t["shortest"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fopt_shortest = FlagValue(V); };
    t["dts_delta_threshold"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) {
      E.Fdts_delta_threshold = static_cast<float>(StrToFloat(V));
    };
    t["programid"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fopt_programid = StrToInt(V); };
    t["xerror"] = [](TCustomFFmpeg& E, const std::string&, const std::string&) { E.Fexit_on_error = true; };
    t["copyinkf"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) {
      E.Fcopy_initial_nonkeyframes = StrToInt(V);
    };
    t["isync"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Finput_sync = FlagValue(V); };
    t["muxdelay"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) {
      E.Fmux_max_delay = static_cast<float>(StrToFloat(V));
    };
    t["muxpreload"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) {
      E.Fmux_preload = static_cast<float>(StrToFloat(V));
    };
    t["vc"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fvideo_channel = StrToInt(V); };
    t["tvstd"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fvideo_standard = V; };

    // Video.
    auto bitrate = [](TCustomFFmpeg& E, const std::string& N, const std::string& V) {
      if (N.empty() || V.empty()) return;
      bool refused = false;
      if (!E.SetAVOption(N, V, &refused)) {
        // A refused rate is the option's error: dropped, the conversion would run at the
        // default rate as if it had been accepted.
        if (refused) throw FFmpegException(Format("Invalid value \"%s\" for option \"%s\"", ShownValue(V), N));
        return;
      }
      AVCodecContext* ctx = E.FOptions.avcodec_opts[N[0] == 'a' ? 1 : 0];
      int64_t b = 0;
      if (ctx && AVUtilStubs.av_opt_get_int(ctx, "b", 0, &b) >= 0 && b < 1000)
        GetFFLogger()->Log(&E, llWarning,
                           "WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s");
    };
    t["b"] = bitrate;
    t["vb"] = bitrate;
    t["r"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.OptFrameRate(V); };
    t["s"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.OptFrameSize(V); };
    t["aspect"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.OptAspect(V); };
    t["pix_fmt"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) {
      if (V == "list") {
        char buf[128];
        GetFFLogger()->Log(&E, llInfo, Trim(AVUtilStubs.av_get_pix_fmt_string(buf, sizeof buf, AV_PIX_FMT_NONE)));
        for (int i = 0; AVUtilStubs.av_pix_fmt_desc_get(static_cast<AVPixelFormat>(i)); ++i)
          GetFFLogger()->Log(&E, llInfo,
                             Trim(AVUtilStubs.av_get_pix_fmt_string(buf, sizeof buf, static_cast<AVPixelFormat>(i))));
        return;
      }
      const AVPixelFormat f = AVUtilStubs.av_get_pix_fmt(V.c_str());
      if (f == AV_PIX_FMT_NONE) throw FFmpegException(Format("Unknown pixel format requested: %s", V));
      E.Fframe_pix_fmt = f;
    };
    for (const char* n : {"croptop", "cropbottom", "cropleft", "cropright"})
      t[n] = [](TCustomFFmpeg& E, const std::string& N, const std::string& V) { E.OptCrop(N, V); };
    t["intra"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fintra_only = FlagValue(V); };
    t["vn"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fvideo_disable = FlagValue(V); };
    t["vdt"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fvideo_discard = StrToInt(V); };
    t["qscale"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) {
      const double q = StrToFloat(V);
      if (!(q > 0) || q > 255) throw FFmpegException("qscale must be > 0.0 and <= 255");
      E.Fvideo_qscale = static_cast<float>(q);
    };
    t["rc_override"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fvideo_rc_override_string = V; };
    for (const char* n : {"vcodec", "acodec", "scodec"})
      t[n] = [](TCustomFFmpeg& E, const std::string& N, const std::string& V) { E.OptCodec(N, V); };
    t["me_threshold"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fme_threshold = StrToInt(V); };
    t["sameq"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fsame_quality = FlagValue(V); };
    t["pass"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) {
      const int32_t p = StrToInt(V);
      if (p != 1 && p != 2) throw FFmpegException("pass number can be only 1 or 2");
      E.Fdo_pass = p;
    };
    t["passlogfile"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fpass_logfilename_prefix = V; };
    t["deinterlace"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fdo_deinterlace = FlagValue(V); };
    t["psnr"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fdo_psnr = FlagValue(V); };
    t["vstats"] = [](TCustomFFmpeg& E, const std::string&, const std::string&) { E.SetVStats(); };
    t["vstats_file"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fvstats_filename = V; };
    t["vhook"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.AddFrameHook(V); };
    for (const char* n : {"vfilters", "vf"})
      t[n] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.OptVideoFilters(V); };
    t["intra_matrix"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.ParseMatrix(E.Fintra_matrix, V); };
    t["inter_matrix"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.ParseMatrix(E.Finter_matrix, V); };
    t["top"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Ftop_field_first = StrToInt(V); };
    t["dc"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fintra_dc_precision = StrToInt(V); };
    for (const char* n : {"vtag", "atag", "stag"})
      t[n] = [](TCustomFFmpeg& E, const std::string& N, const std::string& V) { E.OptCodecTag(N, V); };
    t["newvideo"] = [](TCustomFFmpeg& E, const std::string&, const std::string&) {
      if (E.Fnb_output_files <= 0) throw FFmpegException("At least one output file must be specified");
      E.new_video_stream(*E.Foutput_files[static_cast<size_t>(E.Fnb_output_files - 1)]);
    };
    t["newaudio"] = [](TCustomFFmpeg& E, const std::string&, const std::string&) {
      if (E.Fnb_output_files <= 0) throw FFmpegException("At least one output file must be specified");
      E.new_audio_stream(*E.Foutput_files[static_cast<size_t>(E.Fnb_output_files - 1)]);
    };
    t["newsubtitle"] = [](TCustomFFmpeg& E, const std::string&, const std::string&) {
      if (E.Fnb_output_files <= 0) throw FFmpegException("At least one output file must be specified");
      E.new_subtitle_stream(*E.Foutput_files[static_cast<size_t>(E.Fnb_output_files - 1)]);
    };
    t["vlang"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fvideo_language = V; };
    t["qphist"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fqp_hist = FlagValue(V); };
    t["force_fps"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fforce_fps = FlagValue(V); };
    t["streamid"] = [](TCustomFFmpeg& E, const std::string& N, const std::string& V) {
      if (V.empty()) return;
      const size_t colon = V.find(':');
      if (colon == std::string::npos || colon == 0 || colon + 1 == V.size())
        throw FFmpegException(
            Format("Invalid value \"%s\" for option \"%s\", required syntax is \"index:value\"", V, N));
      const int32_t index = StrToInt(V.substr(0, colon));
      const int32_t id = StrToInt(V.substr(colon + 1));
      if (index < 0 || index >= MAX_STREAMS)
        throw FFmpegException(Format("stream index over MAX_STREAMS(%d)", MAX_STREAMS));
      E.Fstreamid_map[static_cast<size_t>(index)] = id;
    };

    // Audio and subtitles.
    t["ab"] = bitrate;
    t["aq"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) {
      E.Faudio_qscale = static_cast<float>(StrToFloat(V));
    };
    t["ar"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.OptAudioRate(V); };
    t["ac"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.OptAudioChannels(V); };
    t["an"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Faudio_disable = FlagValue(V); };
    t["vol"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Faudio_volume = StrToInt(V); };
    t["alang"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Faudio_language = V; };
    t["sample_fmt"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) {
      if (V == "list") {
        char buf[128];
        GetFFLogger()->Log(&E, llInfo, Trim(AVUtilStubs.av_get_sample_fmt_string(buf, sizeof buf, AV_SAMPLE_FMT_NONE)));
        for (int i = 0; AVUtilStubs.av_get_sample_fmt_name(static_cast<AVSampleFormat>(i)); ++i)
          GetFFLogger()->Log(&E, llInfo,
                             Trim(AVUtilStubs.av_get_sample_fmt_string(buf, sizeof buf, static_cast<AVSampleFormat>(i))));
        return;
      }
      E.Faudio_sample_fmt = AVUtilStubs.av_get_sample_fmt(V.c_str());
    };
    t["sn"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fsubtitle_disable = FlagValue(V); };
    t["slang"] = [](TCustomFFmpeg& E, const std::string&, const std::string& V) { E.Fsubtitle_language = V; };

    // Bitstream filters and presets.
    for (const char* n : {"absf", "vbsf", "sbsf"})
      t[n] = [](TCustomFFmpeg& E, const std::string& N, const std::string& V) { E.AddBitstreamFilter(N, V); };
    for (const char* n : {"apre", "vpre", "spre", "fpre"})
      t[n] = [](TCustomFFmpeg& E, const std::string& N, const std::string& V) { E.ApplyPreset(N, V); };
    return t;
  }();

  const auto it = kTable.find(AName);
  if (it != kTable.end())
    it->second(*this, AName, AValue);
  else
    SetAVOption(AName, AValue);
}
