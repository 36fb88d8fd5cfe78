// Opening the engine's input files and creating its output files and their streams.
#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <ctime>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "Src/CodecMap.h"
#include "Src/FFmpeg.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/FFmpegStubs.h"
#include "Src/UnicodeProtocol.h"
#include "base/Format.h"
#include "base/Text.h"

namespace {

// The nearest fraction with numerator and denominator at most AMax.
AVRational D2Q(double AValue, int AMax) {
  if (std::isnan(AValue)) return AVRational{0, 0};
  if (std::fabs(AValue) > INT_MAX + 3LL) return AVRational{AValue < 0 ? -1 : 1, 0};
  const int exponent = AValue == 0 ? 0 : std::max(std::ilogb(AValue) + 1, 0);
  const int64_t den = int64_t{1} << (61 - exponent);
  AVRational r{0, 1};
  AVUtilStubs.av_reduce(&r.num, &r.den, std::llrint(AValue * static_cast<double>(den)), den, AMax);
  return r;
}

bool PrivateClassHas(const AVClass* const* AClass, const char* AName) {
  return AClass && *AClass && AVUtilStubs.av_opt_find(const_cast<const AVClass**>(AClass), AName, nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ);
}

const char* KindWord(bool AEncoder) { return AEncoder ? "encoder" : "decoder"; }

// Whether AFileName could be opened for writing now, without creating or changing anything:
// 0 or the error the opening would give. Names of the libraries' protocols are left to them.
int CheckOutputWritable(const std::string& AFileName) {
  const std::string name = DecodeFileURL(AFileName);
  const size_t colon = name.find(':'), slash = name.find('/');
  if (colon != std::string::npos && colon > 0 && (slash == std::string::npos || colon < slash)) return 0;
  struct stat st;
  if (::stat(name.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return AVERROR(EISDIR);
    return ::access(name.c_str(), W_OK) == 0 ? 0 : AVERROR(errno);
  }
  if (errno != ENOENT) return AVERROR(errno);
  std::string folder = std::filesystem::path(name).parent_path().string();
  if (folder.empty()) folder = ".";
  if (::stat(folder.c_str(), &st) != 0) return AVERROR(errno);
  if (!S_ISDIR(st.st_mode)) return AVERROR(ENOTDIR);
  return ::access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : AVERROR(errno);
}

}  // namespace

// ---- codec lookup -----------------------------------------------------------------------

const AVCodec* TCustomFFmpeg::LookupCodec(const std::string& AName, int32_t AType, int32_t AStrict, bool AEncoder,
                                          bool& AFailed) {
  AFailed = false;
  if (AName.empty()) return nullptr;
  const char* kind = KindWord(AEncoder);
  std::string name = AName;
  if (AEncoder) {
    bool unavailable = false;
    name = MapEncoderName(AName, unavailable);
    if (unavailable) {
      FLastErrMsg = Format("Unknown %s '%s': the installed libraries cannot encode this codec", kind, AName);
      AFailed = true;
      return nullptr;
    }
    if (name != AName) GetFFLogger()->Log(this, llInfo, "Encoder '%s' is replaced by '%s'", AName, name);
  }
  const AVCodec* codec = AEncoder ? AVCodecStubs.avcodec_find_encoder_by_name(name.c_str())
                                  : AVCodecStubs.avcodec_find_decoder_by_name(name.c_str());
  if (!codec) {
    FLastErrMsg = Format("Unknown %s '%s'", kind, AName);
    AFailed = true;
    return nullptr;
  }
  if (codec->type != AType) {
    FLastErrMsg = Format("Invalid %s type '%s'", kind, AName);
    AFailed = true;
    return nullptr;
  }
  if ((codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL) && AStrict > FF_COMPLIANCE_EXPERIMENTAL) {
    FLastErrMsg = Format(
        "%s '%s' is experimental and might produce bad results.\r\nAdd '-strict experimental' if you want to use it.",
        kind, codec->name);
    const AVCodec* other =
        AEncoder ? AVCodecStubs.avcodec_find_encoder(codec->id) : AVCodecStubs.avcodec_find_decoder(codec->id);
    if (other && !(other->capabilities & AV_CODEC_CAP_EXPERIMENTAL))
      FLastErrMsg += Format("\r\nOr use the non experimental %s '%s'.", kind, other->name);
    AFailed = true;
    return nullptr;
  }
  return codec;
}

bool TCustomFFmpeg::FindCodec(const std::string& AName, int32_t AType, AVCodecID& ACodecID, int32_t AStrict,
                              bool AEncoder) {
  bool failed = false;
  const AVCodec* codec = LookupCodec(AName, AType, AStrict, AEncoder, failed);
  ACodecID = codec ? codec->id : AV_CODEC_ID_NONE;
  return !failed;
}

// ---- input ------------------------------------------------------------------------------

void TCustomFFmpeg::ResetPerFileInputOptions() {
  Fvideo_codec_name.clear();
  Faudio_codec_name.clear();
  Fsubtitle_codec_name.clear();
  Fvideo_channel = 0;
}

bool TCustomFFmpeg::OpenInputFile(const std::string& AFileName) {
  if (!LibrariesLoaded()) {
    FLastErrMsg = "The media libraries are not loaded";
    return false;
  }
  const AVInputFormat* fmt = nullptr;
  if (!Flast_asked_format.empty()) {
    fmt = AVFormatStubs.av_find_input_format(Flast_asked_format.c_str());
    if (!fmt) throw FFmpegException(Format("Unknown input format: \"%s\"", Flast_asked_format));
    Flast_asked_format.clear();
  }
  if (Fnb_input_files >= FMaxFiles) {
    FLastErrMsg = Format("Too many input files (at most %d)", FMaxFiles);
    ResetPerFileInputOptions();
    return false;
  }
  AVFormatContext* ic = AVFormatStubs.avformat_alloc_context();
  if (!ic) throw FFmpegException("avformat_alloc_context failed");

  auto fail = [&]() {
    ResetPerFileInputOptions();
    if (ic) {
      if (ic->iformat)
        CloseInputURL(&ic);
      else
        AVFormatStubs.avformat_free_context(ic);
    }
    return false;
  };

  // What the old format parameters carried now goes to the demuxers that know it.
  AVDictionary* opts = nullptr;
  if (Fframe_rate.num > 0 && Fframe_rate.den > 0)
    AVUtilStubs.av_dict_set(&opts, "framerate", Format("%d/%d", Fframe_rate.num, Fframe_rate.den).c_str(), 0);
  if (Fframe_width > 0 && Fframe_height > 0)
    AVUtilStubs.av_dict_set(&opts, "video_size", Format("%dx%d", Fframe_width, Fframe_height).c_str(), 0);
  if (Fframe_pix_fmt >= 0)
    if (const char* n = AVUtilStubs.av_get_pix_fmt_name(static_cast<AVPixelFormat>(Fframe_pix_fmt)))
      AVUtilStubs.av_dict_set(&opts, "pixel_format", n, 0);
  if (Faudio_sample_rate > 0)
    AVUtilStubs.av_dict_set(&opts, "sample_rate", IntToStr(Faudio_sample_rate).c_str(), 0);
  if (Faudio_channels > 0) AVUtilStubs.av_dict_set(&opts, "channels", IntToStr(Faudio_channels).c_str(), 0);
  if (Fvideo_channel != 0) AVUtilStubs.av_dict_set(&opts, "channel", IntToStr(Fvideo_channel).c_str(), 0);
  if (!Fvideo_standard.empty()) AVUtilStubs.av_dict_set(&opts, "standard", Fvideo_standard.c_str(), 0);
  if (Floop_input) AVUtilStubs.av_dict_set(&opts, "loop", "1", 0);
  ApplyFFOptions(FOptions, ic, FOptions.avformat_opts, AV_OPT_FLAG_DECODING_PARAM);

  static const int kTypes[3] = {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO, AVMEDIA_TYPE_SUBTITLE};
  const std::string* names[3] = {&Fvideo_codec_name, &Faudio_codec_name, &Fsubtitle_codec_name};
  AVCodecID ids[3] = {AV_CODEC_ID_NONE, AV_CODEC_ID_NONE, AV_CODEC_ID_NONE};
  for (int i = 0; i < 3; ++i) {
    const AVCodecContext* defaults = FOptions.avcodec_opts[kTypes[i]];
    if (!FindCodec(*names[i], kTypes[i], ids[i], defaults ? defaults->strict_std_compliance : 0, false)) {
      AVUtilStubs.av_dict_free(&opts);
      return fail();
    }
  }
  ic->video_codec_id = ids[0];
  ic->audio_codec_id = ids[1];
  ic->subtitle_codec_id = ids[2];
  ic->flags |= AVFMT_FLAG_NONBLOCK;
  if (Fpgmyuv_compatibility_hack) ic->video_codec_id = AV_CODEC_ID_PGMYUV;

  const std::string url = UnicodeFileURL(AFileName);
  int r = OpenInputURL(&ic, url, fmt, &opts);
  AVUtilStubs.av_dict_free(&opts);
  if (r < 0) {
    FLastErrMsg = AVErrorText(AFileName, r);
    ic = nullptr;  // the failed open freed it
    return fail();
  }

  if (Fopt_programid != 0) {
    bool found = false;
    for (unsigned i = 0; i < ic->nb_streams; ++i) ic->streams[i]->discard = AVDISCARD_ALL;
    for (unsigned p = 0; p < ic->nb_programs; ++p) {
      AVProgram* prog = ic->programs[p];
      if (prog->id != Fopt_programid) {
        prog->discard = AVDISCARD_ALL;
        continue;
      }
      found = true;
      for (unsigned k = 0; k < prog->nb_stream_indexes; ++k)
        if (prog->stream_index[k] < ic->nb_streams) ic->streams[prog->stream_index[k]]->discard = AVDISCARD_DEFAULT;
    }
    if (!found) {
      FLastErrMsg = "Specified program id not found";
      return fail();
    }
    Fopt_programid = 0;
  }

  {
    std::lock_guard lk(CodecLock());
    r = AVFormatStubs.avformat_find_stream_info(ic, nullptr);
  }
  if (r < 0 && Fverbose >= 0) {
    FLastErrMsg = Format("%s: could not find codec parameters", AFileName);
    GetFFLogger()->Log(this, llVerbose, FLastErrMsg);
    return fail();
  }

  int64_t timestamp = Fstart_time;
  if (ic->start_time != AV_NOPTS_VALUE) timestamp += ic->start_time;
  if (Fstart_time != 0) {
    if (AVFormatStubs.av_seek_frame(ic, -1, timestamp, AVSEEK_FLAG_BACKWARD) < 0 && Fverbose > 0)
      GetFFLogger()->Log(this, llVerbose, CFormat("%s: could not seek to position %0.3f", AFileName,
                                                  static_cast<double>(timestamp) / AV_TIME_BASE));
  }
  Fstart_time = 0;

  const size_t codecCapacity = static_cast<size_t>(FMaxFiles) * MAX_STREAMS;
  auto addInputCodec = [&](const AVCodec* ACodec) {
    // Streams beyond the table's capacity get no forced decoder.
    if (Finput_codecs.size() < codecCapacity) {
      Finput_codecs.push_back(ACodec);
      ++Fnb_icodecs;
    }
  };
  auto decoderByName = [](const std::string& AName) -> const AVCodec* {
    return AName.empty() ? nullptr : AVCodecStubs.avcodec_find_decoder_by_name(AName.c_str());
  };
  for (unsigned i = 0; i < ic->nb_streams; ++i) {
    AVStream* st = ic->streams[i];
    AVCodecParameters* par = st->codecpar;
    switch (par->codec_type) {
      case AVMEDIA_TYPE_VIDEO: {
        Fframe_height = par->height;
        Fframe_width = par->width;
        const AVRational sar = st->sample_aspect_ratio.num ? st->sample_aspect_ratio : par->sample_aspect_ratio;
        if (par->width != 0 && par->height != 0) {
          Fframe_aspect_ratio = sar.num && sar.den ? static_cast<float>(av_q2d(sar) * par->width / par->height)
                                                   : static_cast<float>(par->width) / static_cast<float>(par->height);
        } else if (sar.num == 0) {
          Fframe_aspect_ratio = 4.0f / 3.0f;
        }
        if (par->format < 0) par->format = AV_PIX_FMT_YUV420P;
        Fframe_pix_fmt = par->format;
        if (st->r_frame_rate.num > 0 && st->avg_frame_rate.num > 0 && Fverbose >= 0 &&
            av_cmp_q(st->r_frame_rate, st->avg_frame_rate) != 0)
          GetFFLogger()->Log(this, llInfo,
                             CFormat("Seems stream %d codec frame rate differs from container frame rate: %2.2f "
                                     "(%d/%d) -> %2.2f (%d/%d)",
                                     static_cast<int>(i), av_q2d(st->avg_frame_rate), st->avg_frame_rate.num,
                                     st->avg_frame_rate.den, av_q2d(st->r_frame_rate), st->r_frame_rate.num,
                                     st->r_frame_rate.den));
        Fframe_rate = st->r_frame_rate;
        addInputCodec(decoderByName(Fvideo_codec_name));
        if (Fvideo_disable)
          st->discard = AVDISCARD_ALL;
        else if (Fvideo_discard)
          st->discard = static_cast<AVDiscard>(Fvideo_discard);
        break;
      }
      case AVMEDIA_TYPE_AUDIO:
        Fchannel_layout = par->ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? static_cast<int64_t>(par->ch_layout.u.mask) : 0;
        Faudio_channels = par->ch_layout.nb_channels;
        Faudio_sample_rate = par->sample_rate;
        Faudio_sample_fmt = par->format;
        addInputCodec(decoderByName(Faudio_codec_name));
        if (Faudio_disable) st->discard = AVDISCARD_ALL;
        break;
      case AVMEDIA_TYPE_SUBTITLE:
        addInputCodec(decoderByName(Fsubtitle_codec_name));
        if (Fsubtitle_disable) st->discard = AVDISCARD_ALL;
        break;
      case AVMEDIA_TYPE_DATA:
        break;
      case AVMEDIA_TYPE_ATTACHMENT:
      case AVMEDIA_TYPE_UNKNOWN:
        addInputCodec(nullptr);
        break;
      default:
        CloseInputURL(&ic);
        throw FFmpegException("invalid codec_type");
    }
  }

  if (ic->duration != AV_NOPTS_VALUE && ic->duration > FTotalOutputDuration) FTotalOutputDuration = ic->duration;
  const size_t index = static_cast<size_t>(Fnb_input_files);
  Finput_files[index] = ic;
  Finput_files_ts_offset[index] = Fcopy_ts ? Finput_ts_offset : Finput_ts_offset - timestamp;
  if (Fverbose >= 0) AVFormatStubs.av_dump_format(ic, Fnb_input_files, url.c_str(), 0);
  ++Fnb_input_files;
  FInputFileNames.push_back(AFileName);
  CaptureDecoderOptions(index);
  ResetPerFileInputOptions();
  return true;
}

// ---- output -----------------------------------------------------------------------------

bool TCustomFFmpeg::IsTaskInput(const std::string& AFileName) const {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path out = fs::absolute(fs::path(AFileName), ec).lexically_normal();
  for (const std::string& in : FInputFileNames) {
    std::error_code e1;
    if (fs::exists(AFileName, e1) && fs::equivalent(fs::path(AFileName), fs::path(in), e1)) return true;
    std::error_code e2;
    if (fs::absolute(fs::path(in), e2).lexically_normal() == out) return true;
  }
  return false;
}

void TCustomFFmpeg::check_audio_video_sub_inputs(bool& AHasVideo, bool& AHasAudio, bool AJoin, bool& AHasSubtitle) {
  bool video = false, audio = false, subtitle = false;
  const int32_t count = AJoin ? std::min<int32_t>(Fnb_input_files, 1) : Fnb_input_files;
  for (int32_t f = 0; f < count; ++f) {
    AVFormatContext* ic = Finput_files[static_cast<size_t>(f)];
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
      switch (ic->streams[i]->codecpar->codec_type) {
        case AVMEDIA_TYPE_VIDEO: video = true; break;
        case AVMEDIA_TYPE_AUDIO: audio = true; break;
        case AVMEDIA_TYPE_SUBTITLE: subtitle = true; break;
        case AVMEDIA_TYPE_DATA:
        case AVMEDIA_TYPE_ATTACHMENT:
        case AVMEDIA_TYPE_UNKNOWN: break;
        default: throw FFmpegException("invalid codec_type of input file");
      }
    }
  }
  AHasVideo = AHasVideo && video;
  AHasAudio = AHasAudio && audio;
  AHasSubtitle = AHasSubtitle && subtitle;
}

int32_t TCustomFFmpeg::OpenOutputFile(const std::string& AFileName, bool AJoin) {
  if (!LibrariesLoaded()) {
    FLastErrMsg = "The media libraries are not loaded";
    return -1;
  }
  if (FJoinMode) {
    FLastErrMsg = "Cannot join more than one output file.";
    return -1;
  }
  const bool join = AJoin && Fnb_input_files >= 2;
  // A join output repeats its entry once per input, and the run reads it as output 0.
  if (join && Fnb_output_files > 0) {
    FLastErrMsg = "Cannot join into an output file after other output files.";
    return -1;
  }
  if (Fnb_output_files + (join ? Fnb_input_files : 1) > FMaxFiles) {
    FLastErrMsg = Format("Too many output files (at most %d)", FMaxFiles);
    return -1;
  }
  // Output files are replaced without asking; an input of the task must never be.
  if (IsTaskInput(AFileName)) {
    FLastErrMsg = Format("Output file '%s' is an input file of this task", AFileName);
    return -1;
  }
  const int32_t ocodecsBefore = Fnb_ocodecs;
  const size_t outputCodecsBefore = Foutput_codecs.size();
  const int64_t totalBefore = FTotalOutputDuration;
  std::shared_ptr<TOutputFile> file;
  const int32_t r = OpenOutputFileInner(AFileName, join, file);
  if (file) {
    file->OCodecsBefore = ocodecsBefore;
    file->OutputCodecsBefore = outputCodecsBefore;
    file->TotalDurationBefore = totalBefore;
  }
  if (r < 0) {
    // The streams of a failed output must not lend their encoders to the next output.
    Fnb_ocodecs = ocodecsBefore;
    Foutput_codecs.resize(outputCodecsBefore);
    file.reset();
  }
  return r;
}

int32_t TCustomFFmpeg::OpenOutputFileInner(const std::string& AFileName, bool AJoin, std::shared_ptr<TOutputFile>& AFile) {
  FEnableFilter = !Fvfilters.empty();
  AFile = std::make_shared<TOutputFile>();
  AFile->FileName = AFileName;
  AVFormatContext* oc = AVFormatStubs.avformat_alloc_context();
  if (!oc) throw FFmpegException("avformat_alloc_context failed");
  AFile->ctx = oc;

  const AVOutputFormat* fmt = nullptr;
  if (!Flast_asked_format.empty()) {
    fmt = AVFormatStubs.av_guess_format(Flast_asked_format.c_str(), nullptr, nullptr);
    if (!fmt) {
      FLastErrMsg = Format("Requested output format '%s' is not a suitable output format", Flast_asked_format);
      return -1;
    }
    Flast_asked_format.clear();
  } else {
    fmt = AVFormatStubs.av_guess_format(nullptr, AFileName.c_str(), nullptr);
    if (!fmt) {
      FLastErrMsg = Format("Unable to find a suitable output format for '%s'", AFileName);
      return -1;
    }
  }
  oc->oformat = fmt;
  // Muxers that open their own files (image sequences) get the plain name.
  const std::string url = (fmt->flags & AVFMT_NOFILE) ? AFileName : UnicodeFileURL(AFileName);
  oc->url = AVUtilStubs.av_strdup(url.c_str());

  bool useVideo = Fvideo_stream_copy || !Fvideo_codec_name.empty() ||
                  MuxerDefaultCodec(fmt, AFileName, AVMEDIA_TYPE_VIDEO) != AV_CODEC_ID_NONE;
  bool useAudio = Faudio_stream_copy || !Faudio_codec_name.empty() || fmt->audio_codec != AV_CODEC_ID_NONE;
  bool useSubtitle = Fsubtitle_stream_copy || !Fsubtitle_codec_name.empty() || fmt->subtitle_codec != AV_CODEC_ID_NONE;
  if (Fnb_input_files > 0) {
    try {
      check_audio_video_sub_inputs(useVideo, useAudio, AJoin, useSubtitle);
    } catch (const Exception& e) {
      FLastErrMsg = Format("check_audio_video_sub_inputs fail: %s", e.Message);
      return -1;
    }
  }
  if (Faudio_disable) useAudio = false;
  if (Fvideo_disable) useVideo = false;
  if (Fsubtitle_disable) useSubtitle = false;
  if (useSubtitle && !Fsubtitle_stream_copy && Fsubtitle_codec_name.empty()) {
    // No encoder named: one the container takes for the input's kind of subtitle, or none.
    Fsubtitle_codec_name = SubtitleEncoderFor(fmt);
    if (Fsubtitle_codec_name.empty()) {
      useSubtitle = false;
      GetFFLogger()->Log(this, llWarning, "Output format '%s' takes no subtitle of the input's kind: subtitles are left out",
                         fmt->name);
    }
  }

  auto build = [&](bool AUse, void (TCustomFFmpeg::*ABuilder)(TOutputFile&), const char* AWhat) {
    if (!AUse) return true;
    try {
      (this->*ABuilder)(*AFile);
    } catch (const Exception& e) {
      FLastErrMsg = Format("%s fail: %s", AWhat, e.Message);
      return false;
    }
    return true;
  };
  if (!build(useVideo, &TCustomFFmpeg::new_video_stream, "new_video_stream") ||
      !build(useAudio, &TCustomFFmpeg::new_audio_stream, "new_audio_stream") ||
      !build(useSubtitle, &TCustomFFmpeg::new_subtitle_stream, "new_subtitle_stream"))
    return -1;

  if (Frecording_timestamp != 0) {
    const time_t t = static_cast<time_t>(Frecording_timestamp);
    struct tm tmv {};
    char buf[32];
    if (gmtime_r(&t, &tmv) && std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S.000000Z", &tmv))
      AVUtilStubs.av_dict_set(&oc->metadata, "creation_time", buf, 0);
  }
  // Written from the last to the first, each replacing: of two pairs with one key the first stays.
  for (auto it = Fmetadata.rbegin(); it != Fmetadata.rend(); ++it)
    AVUtilStubs.av_dict_set(&oc->metadata, it->first.c_str(), it->second.c_str(), 0);
  Fmetadata.clear();

  if ((fmt->flags & AVFMT_NEEDNUMBER) && !AVFormatStubs.av_filename_number_test(AFileName.c_str())) {
    FLastErrMsg = AVErrorText(AFileName, AVERROR(EDOM));
    return -1;
  }
  if (!(fmt->flags & AVFMT_NOFILE)) {
    // The file is opened when the run starts: a job waiting in the list creates, empties and
    // holds nothing. Whether it could be written is known now.
    const int r = CheckOutputWritable(AFileName);
    if (r < 0) {
      FLastErrMsg = AVErrorText(AFileName, r);
      return -1;
    }
    AFile->URL = url;
  }

  // Settings that were context fields in the old libraries are muxer options now.
  if (PrivateClassHas(&fmt->priv_class, "preload"))
    AVUtilStubs.av_dict_set(&AFile->format_opts, "preload",
                            IntToStr(static_cast<int64_t>(Fmux_preload * 1000000.0)).c_str(), 0);
  if (PrivateClassHas(&fmt->priv_class, "loop"))
    AVUtilStubs.av_dict_set(&AFile->format_opts, "loop", IntToStr(Floop_output).c_str(), 0);
  oc->max_delay = static_cast<int>(Fmux_max_delay * 1000000.0);
  oc->flags |= AVFMT_FLAG_NONBLOCK;
  ApplyFFOptions(FOptions, oc, FOptions.avformat_opts, AV_OPT_FLAG_ENCODING_PARAM);
  const AVDictionaryEntry* e = nullptr;
  while ((e = AVUtilStubs.av_dict_get(FFormatPrivateOpts, "", e, AV_DICT_IGNORE_SUFFIX)))
    if (PrivateClassHas(&fmt->priv_class, e->key)) AVUtilStubs.av_dict_set(&AFile->format_opts, e->key, e->value, 0);
  Fstreamid_map.fill(0);
  // The disable flags are per output, also for a type that got no stream.
  Fvideo_disable = Faudio_disable = Fsubtitle_disable = false;

  Foutput_files.push_back(AFile);
  ++Fnb_output_files;
  if (AJoin) {
    FJoinMode = true;
    SetupJoin();
  }
  return Fnb_output_files;
}

void TCustomFFmpeg::CaptureDecoderOptions(size_t AFile) {
  if (FInputDecoderOptions.size() <= AFile) FInputDecoderOptions.resize(AFile + 1);
  TDecoderOptions& d = FInputDecoderOptions[AFile];
  d = TDecoderOptions();
  static const AVMediaType kTypes[3] = {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO, AVMEDIA_TYPE_SUBTITLE};
  static const int kFlags[3] = {AV_OPT_FLAG_VIDEO_PARAM, AV_OPT_FLAG_AUDIO_PARAM, AV_OPT_FLAG_SUBTITLE_PARAM};
  for (int t = 0; t < 3; ++t) {
    AVCodecContext* defaults = FOptions.avcodec_opts[kTypes[t]];
    if (!defaults) continue;
    for (int i = 0; i < FOptions.opt_name_count; ++i) {
      const char* name = FOptions.opt_names[i];
      const AVOption* o = AVUtilStubs.av_opt_find(defaults, name, nullptr, 0, 0);
      const int flags = AV_OPT_FLAG_DECODING_PARAM | kFlags[t];
      if (!o || (o->flags & flags) != flags) continue;
      uint8_t* val = nullptr;
      if (AVUtilStubs.av_opt_get(defaults, name, 0, &val) >= 0 && val)
        d.Generic[static_cast<size_t>(t)].emplace_back(name, reinterpret_cast<const char*>(val));
      AVUtilStubs.av_free(val);
    }
  }
  const AVDictionaryEntry* e = nullptr;
  while ((e = AVUtilStubs.av_dict_get(FCodecPrivateOpts, "", e, AV_DICT_IGNORE_SUFFIX)))
    d.Private.emplace_back(e->key, e->value);
}

AVDictionary* TCustomFFmpeg::DecoderOptions(int32_t AFile, const AVCodec* ACodec) const {
  if (AFile < 0 || static_cast<size_t>(AFile) >= FInputDecoderOptions.size() || !ACodec) return nullptr;
  const TDecoderOptions& d = FInputDecoderOptions[static_cast<size_t>(AFile)];
  const int t = ACodec->type == AVMEDIA_TYPE_VIDEO ? 0 : ACodec->type == AVMEDIA_TYPE_AUDIO ? 1 : 2;
  AVDictionary* dict = nullptr;
  for (const auto& [n, v] : d.Generic[static_cast<size_t>(t)]) AVUtilStubs.av_dict_set(&dict, n.c_str(), v.c_str(), 0);
  // Private options only where this decoder has them: the others are meant for encoders.
  for (const auto& [n, v] : d.Private)
    if (PrivateClassHas(&ACodec->priv_class, n.c_str())) AVUtilStubs.av_dict_set(&dict, n.c_str(), v.c_str(), 0);
  return dict;
}

void TCustomFFmpeg::ReleaseInputDescriptors() {
  for (int32_t i = 0; i < Fnb_input_files; ++i) {
    AVFormatContext* ic = Finput_files[static_cast<size_t>(i)];
    if (ic && (ic->flags & AVFMT_FLAG_CUSTOM_IO)) SuspendUnicodeIO(ic->pb);
  }
}

void TCustomFFmpeg::OpenOutputDescriptors() {
  for (const std::shared_ptr<TOutputFile>& f : Foutput_files) {
    if (!f || f->FileOpened || f->URL.empty()) continue;
    std::error_code ec;
    f->Created = !std::filesystem::exists(std::filesystem::path(DecodeFileURL(f->URL)), ec);
    const int r = OpenOutputURL(f->ctx, f->URL, nullptr);
    if (r < 0) throw FFmpegException(AVErrorText(f->FileName, r));
    f->FileOpened = true;
  }
}

std::string TCustomFFmpeg::SubtitleEncoderFor(const AVOutputFormat* AFormat) const {
  const AVCodecParameters* source = nullptr;
  for (int32_t i = 0; i < Fnb_input_files && !source; ++i) {
    const AVFormatContext* ic = Finput_files[static_cast<size_t>(i)];
    for (unsigned s = 0; ic && s < ic->nb_streams && !source; ++s)
      if (ic->streams[s]->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE) source = ic->streams[s]->codecpar;
  }
  if (!source) return {};
  const AVCodecDescriptor* d = AVCodecStubs.avcodec_descriptor_get(source->codec_id);
  const bool text = d && (d->props & AV_CODEC_PROP_TEXT_SUB);
  const bool bitmap = d && (d->props & AV_CODEC_PROP_BITMAP_SUB);
  std::vector<std::string> names;
  // The container's own choice first, when it is of the right kind.
  if (const AVCodec* own = AVCodecStubs.avcodec_find_encoder(AFormat->subtitle_codec)) {
    const AVCodecDescriptor* od = AVCodecStubs.avcodec_descriptor_get(own->id);
    if (od && ((text && (od->props & AV_CODEC_PROP_TEXT_SUB)) || (bitmap && (od->props & AV_CODEC_PROP_BITMAP_SUB))))
      names.push_back(own->name);
  }
  if (text)
    for (const char* n : {"ass", "subrip", "mov_text", "webvtt", "text"}) names.push_back(n);
  if (bitmap)
    for (const char* n : {"dvdsub", "dvbsub"}) names.push_back(n);
  for (const std::string& n : names) {
    const AVCodec* c = AVCodecStubs.avcodec_find_encoder_by_name(n.c_str());
    if (c && AVFormatStubs.avformat_query_codec(AFormat, c->id, FF_COMPLIANCE_NORMAL) == 1) return n;
  }
  return {};
}

bool TCustomFFmpeg::RemoveLastOutputFile() {
  if (FConverting || Fnb_output_files <= 0) return false;
  const std::shared_ptr<TOutputFile> last = Foutput_files.back();
  while (!Foutput_files.empty() && Foutput_files.back() == last) Foutput_files.pop_back();
  Fnb_output_files = static_cast<int32_t>(Foutput_files.size());
  // Its streams (the extra ones included) lend their encoders to no later output.
  Fnb_ocodecs = last->OCodecsBefore;
  Foutput_codecs.resize(std::min(Foutput_codecs.size(), last->OutputCodecsBefore));
  if (FJoinMode) {
    FJoinMode = false;
    FTotalOutputDuration = last->TotalDurationBefore;
  }
  return true;
}

void TCustomFFmpeg::SetupJoin() {
  int64_t sum = 0;
  for (int32_t i = 0; i < Fnb_input_files; ++i) {
    const AVFormatContext* ic = Finput_files[static_cast<size_t>(i)];
    if (ic->duration != AV_NOPTS_VALUE && ic->duration > 0) sum += ic->duration;
  }
  FTotalOutputDuration = sum == 0 ? -1 : sum;
  const std::shared_ptr<TOutputFile> last = Foutput_files.back();
  for (int32_t i = 1; i < Fnb_input_files; ++i) {
    Foutput_files.push_back(last);
    ++Fnb_output_files;
  }
}

// ---- new streams ------------------------------------------------------------------------

TOutputStreamSetup& TCustomFFmpeg::NewStream(TOutputFile& AFile, AVMediaType AType) {
  AVFormatContext* oc = AFile.ctx;
  const unsigned index = oc->nb_streams;
  AVStream* st = AVFormatStubs.avformat_new_stream(oc, nullptr);
  if (!st) throw FFmpegException("Could not alloc stream");
  st->id = index < MAX_STREAMS ? Fstreamid_map[index] : 0;
  auto rec = std::make_unique<TOutputStreamSetup>();
  rec->st = st;
  TBitstreamFilterChain& pending = FPendingBsf[AType == AVMEDIA_TYPE_VIDEO ? 0 : AType == AVMEDIA_TYPE_AUDIO ? 1 : 2];
  rec->bitstream_filters = std::move(pending);
  pending.clear();
  if (AFile.streams.size() <= index) AFile.streams.resize(index + 1);
  AFile.streams[index] = std::move(rec);
  return *AFile.streams[index];
}

void TCustomFFmpeg::RecordOutputCodec(const AVCodec* ACodec) {
  // Streams beyond the table's capacity get no forced encoder.
  if (Foutput_codecs.size() < static_cast<size_t>(FMaxFiles) * MAX_STREAMS) Foutput_codecs.push_back(ACodec);
  ++Fnb_ocodecs;
}

void TCustomFFmpeg::TakePrivateOptions(TOutputStreamSetup& AStream) {
  if (!AStream.codec || !AStream.codec->priv_class) return;
  const AVDictionaryEntry* e = nullptr;
  while ((e = AVUtilStubs.av_dict_get(FCodecPrivateOpts, "", e, AV_DICT_IGNORE_SUFFIX)))
    if (PrivateClassHas(&AStream.codec->priv_class, e->key))
      AVUtilStubs.av_dict_set(&AStream.codec_opts, e->key, e->value, 0);
}

void TCustomFFmpeg::ChoosePixelFmt(AVCodecContext* AEnc, const AVCodec* ACodec) {
  if (ACodec && ACodec->pix_fmts) {
    for (const AVPixelFormat* p = ACodec->pix_fmts; *p != AV_PIX_FMT_NONE; ++p)
      if (*p == AEnc->pix_fmt) return;
    AEnc->pix_fmt = ACodec->pix_fmts[0];
  } else if (AEnc->pix_fmt == AV_PIX_FMT_NONE) {
    AEnc->pix_fmt = AV_PIX_FMT_YUV420P;
  }
}

void TCustomFFmpeg::FitVideoSize(TOutputStreamSetup& AStream, AVCodecContext* AEnc, const AVCodec* ACodec) {
  int sw = 0, sh = 0;
  if (!ACodec || AEnc->pix_fmt == AV_PIX_FMT_NONE ||
      AVUtilStubs.av_pix_fmt_get_chroma_sub_sample(AEnc->pix_fmt, &sw, &sh) < 0)
    return;
  int32_t w = AEnc->width, h = AEnc->height, iw = 0, ih = 0;
  if (!FitFrameSize(ACodec->name, sw, sh, w, h, iw, ih)) return;
  if (iw != w || ih != h)
    GetFFLogger()->Log(this, llInfo, "Encoder '%s' takes %dx%d as %dx%d: the picture is fitted in at %dx%d",
                       ACodec->name, AEnc->width, AEnc->height, w, h, iw, ih);
  else
    GetFFLogger()->Log(this, llInfo, "Encoder '%s' takes %dx%d as %dx%d", ACodec->name, AEnc->width, AEnc->height, w,
                       h);
  AEnc->width = w;
  AEnc->height = h;
  AStream.pad_width = iw != w || ih != h ? iw : 0;
  AStream.pad_height = iw != w || ih != h ? ih : 0;
}

void TCustomFFmpeg::ChooseSampleFmt(AVCodecContext* AEnc, const AVCodec* ACodec) {
  if (ACodec && ACodec->sample_fmts) {
    for (const AVSampleFormat* p = ACodec->sample_fmts; *p != AV_SAMPLE_FMT_NONE; ++p)
      if (*p == AEnc->sample_fmt) return;
    AEnc->sample_fmt = ACodec->sample_fmts[0];
  } else if (AEnc->sample_fmt == AV_SAMPLE_FMT_NONE) {
    AEnc->sample_fmt = AV_SAMPLE_FMT_S16;
  }
}

void TCustomFFmpeg::ChooseSampleRate(AVCodecContext* AEnc, const AVCodec* ACodec) {
  if (!ACodec || !ACodec->supported_samplerates) return;
  int best = 0;
  int64_t bestDist = INT64_MAX;
  for (const int* p = ACodec->supported_samplerates; *p; ++p) {
    const int64_t dist = std::llabs(int64_t{AEnc->sample_rate} - *p);
    if (dist < bestDist) {
      bestDist = dist;
      best = *p;
    }
  }
  if (best) AEnc->sample_rate = best;
}

void TCustomFFmpeg::ParseRcOverride(AVCodecContext* AEnc) {
  const char* p = Fvideo_rc_override_string.c_str();
  std::vector<RcOverride> list;
  while (p && *p) {
    RcOverride o{};
    char* end = nullptr;
    o.start_frame = static_cast<int>(std::strtol(p, &end, 10));
    if (*end != ',') throw FFmpegException("error parsing rc_override");
    o.end_frame = static_cast<int>(std::strtol(end + 1, &end, 10));
    if (*end != ',') throw FFmpegException("error parsing rc_override");
    const int q = static_cast<int>(std::strtol(end + 1, &end, 10));
    if (q > 0) {
      o.qscale = q;
      o.quality_factor = 1.0f;
    } else {
      o.qscale = 0;
      o.quality_factor = -q / 100.0f;
    }
    list.push_back(o);
    p = std::strchr(end, '/');
    if (p) ++p;
  }
  if (list.empty()) return;
  auto* arr = static_cast<RcOverride*>(AVUtilStubs.av_mallocz(sizeof(RcOverride) * list.size()));
  if (!arr) throw FFmpegException("error parsing rc_override");
  std::copy(list.begin(), list.end(), arr);
  AEnc->rc_override = arr;
  AEnc->rc_override_count = static_cast<int>(list.size());
}

void TCustomFFmpeg::new_video_stream(TOutputFile& AFile) {
  AVFormatContext* oc = AFile.ctx;
  TOutputStreamSetup* rec = nullptr;
  try {
    rec = &NewStream(AFile, AVMEDIA_TYPE_VIDEO);
  } catch (...) {
    Fvideo_codec_name.clear();
    throw;
  }
  auto reset = [this] {
    Fvideo_disable = false;
    Fvideo_codec_name.clear();
    Fvideo_stream_copy = 0;
    Fframe_pix_fmt = -1;
  };

  AVRational sar{0, 1};
  {
    // Each tested alone: their product can exceed an int for sizes the setup refuses later.
    const double d = Fframe_width != 0 && Fframe_height != 0
                         ? static_cast<double>(Fframe_height) * Fframe_aspect_ratio / Fframe_width
                         : static_cast<double>(Fframe_aspect_ratio) * 3.0 / 4.0;
    sar = D2Q(d, 255);
  }
  const AVCodec* codec = nullptr;
  if (!Fvideo_stream_copy) {
    if (!Fvideo_codec_name.empty()) {
      bool failed = false;
      codec = LookupCodec(Fvideo_codec_name, AVMEDIA_TYPE_VIDEO, FF_COMPLIANCE_NORMAL, true, failed);
      if (failed) {
        reset();
        throw FFmpegException(FLastErrMsg);
      }
    } else {
      const AVCodecID id = MuxerDefaultCodec(oc->oformat, AFile.FileName, AVMEDIA_TYPE_VIDEO);
      codec = AVCodecStubs.avcodec_find_encoder(id);
      if (!codec) {
        reset();
        throw FFmpegException(Format("No encoder for the video codec '%s' of format '%s'",
                                     AVCodecStubs.avcodec_get_name(id), oc->oformat->name));
      }
    }
  }
  AVCodecContext* enc = AVCodecStubs.avcodec_alloc_context3(codec);
  if (!enc) {
    reset();
    throw FFmpegException("Could not alloc stream");
  }
  rec->enc = enc;
  rec->codec = codec;
  enc->codec_type = AVMEDIA_TYPE_VIDEO;
  enc->thread_count = Fthread_count;
  if (Fvideo_codec_tag) enc->codec_tag = Fvideo_codec_tag;
  AVCodecContext* defaults = FOptions.avcodec_opts[AVMEDIA_TYPE_VIDEO];
  if ((Fvideo_global_header & 1) || (Fvideo_global_header == 0 && (oc->oformat->flags & AVFMT_GLOBALHEADER))) {
    enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (defaults) defaults->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  }
  if (Fvideo_global_header & 2) {
    enc->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;
    if (defaults) defaults->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;
  }

  if (!Fvideo_stream_copy) {
    AVRational rate = Fframe_rate.num ? Fframe_rate : AVRational{25, 1};
    enc->codec_id = codec->id;
    ApplyFFOptions(FOptions, enc, defaults, AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
    if (codec->supported_framerates && !Fforce_fps)
      rate = codec->supported_framerates[AVUtilStubs.av_find_nearest_q_idx(rate, codec->supported_framerates)];
    enc->time_base = AVRational{rate.den, rate.num};
    enc->framerate = rate;
    enc->width = Fframe_width;
    enc->height = Fframe_height;
    rec->st->sample_aspect_ratio = enc->sample_aspect_ratio = sar;
    enc->pix_fmt = static_cast<AVPixelFormat>(Fframe_pix_fmt);
    ChoosePixelFmt(enc, codec);
    FitVideoSize(*rec, enc, codec);
    if (!Fvideo_codec_tag && !Fvideo_codec_name.empty() && oc->oformat->codec_tag) {
      if (const char* tag = EncoderDefaultTag(Fvideo_codec_name)) {
        const uint32_t t = MKTAG(tag[0], tag[1], tag[2], tag[3]);
        if (AVFormatStubs.av_codec_get_id(oc->oformat->codec_tag, t) == codec->id) enc->codec_tag = t;
      }
    }

    if (Fintra_only) enc->gop_size = 0;
    if (Fvideo_qscale != 0 || Fsame_quality) {
      enc->flags |= AV_CODEC_FLAG_QSCALE;
      enc->global_quality = static_cast<int>(FF_QP2LAMBDA * Fvideo_qscale);
    }
    // The context frees its matrices: each gets its own copy.
    auto copyMatrix = [](const std::unique_ptr<std::array<uint16_t, 64>>& AFrom, uint16_t*& ATo) {
      if (!AFrom) return;
      ATo = static_cast<uint16_t*>(AVUtilStubs.av_malloc(sizeof(uint16_t) * 64));
      if (ATo) std::copy(AFrom->begin(), AFrom->end(), ATo);
    };
    copyMatrix(Fintra_matrix, enc->intra_matrix);
    copyMatrix(Finter_matrix, enc->inter_matrix);
    try {
      ParseRcOverride(enc);
    } catch (...) {
      reset();
      throw;
    }
    if (!enc->rc_initial_buffer_occupancy) enc->rc_initial_buffer_occupancy = enc->rc_buffer_size * 3 / 4;
    enc->intra_dc_precision = Fintra_dc_precision - 8;
    if (Fdo_psnr) enc->flags |= AV_CODEC_FLAG_PSNR;
    if (Fdo_pass == 1) enc->flags |= AV_CODEC_FLAG_PASS1;
    if (Fdo_pass == 2) enc->flags |= AV_CODEC_FLAG_PASS2;
    TakePrivateOptions(*rec);
    RecordOutputCodec(Fvideo_codec_name.empty() ? nullptr : codec);
  } else {
    rec->stream_copy = true;
    rec->st->sample_aspect_ratio = enc->sample_aspect_ratio = sar;
    RecordOutputCodec(nullptr);
  }
  if (!Fvideo_language.empty()) {
    AVUtilStubs.av_dict_set(&rec->st->metadata, "language", Fvideo_language.c_str(), 0);
    Fvideo_language.clear();
  }
  reset();
}

void TCustomFFmpeg::new_audio_stream(TOutputFile& AFile) {
  AVFormatContext* oc = AFile.ctx;
  TOutputStreamSetup* rec = nullptr;
  try {
    rec = &NewStream(AFile, AVMEDIA_TYPE_AUDIO);
  } catch (...) {
    Faudio_codec_name.clear();
    Faudio_language.clear();
    throw;
  }
  auto reset = [this] {
    Faudio_disable = false;
    Faudio_codec_name.clear();
    Faudio_stream_copy = 0;
  };
  const AVCodec* codec = nullptr;
  bool named = false;
  if (!Faudio_stream_copy) {
    std::string name = Faudio_codec_name;
    if (name.empty()) {
      const AVCodecID id = MuxerDefaultCodec(oc->oformat, AFile.FileName, AVMEDIA_TYPE_AUDIO);
      codec = AVCodecStubs.avcodec_find_encoder(id);
      if (!codec) {
        reset();
        throw FFmpegException(Format("No encoder for the audio codec '%s' of format '%s'",
                                     AVCodecStubs.avcodec_get_name(id), oc->oformat->name));
      }
      name = codec->name;
    }
    const std::string replacement = MuxerAudioReplacement(oc->oformat->name, name);
    if (!replacement.empty()) {
      GetFFLogger()->Log(this, llWarning, "Output format '%s' cannot hold %s audio: '%s' is used instead",
                         oc->oformat->name, name, replacement);
      name = replacement;
      codec = nullptr;
    }
    if (!codec) {
      bool failed = false;
      const AVCodecContext* defaults = FOptions.avcodec_opts[AVMEDIA_TYPE_AUDIO];
      codec = LookupCodec(name, AVMEDIA_TYPE_AUDIO, defaults ? defaults->strict_std_compliance : 0, true, failed);
      if (failed || !codec) {
        reset();
        throw FFmpegException(FLastErrMsg);
      }
      named = true;
    }
  }
  AVCodecContext* enc = AVCodecStubs.avcodec_alloc_context3(codec);
  if (!enc) {
    reset();
    throw FFmpegException("Could not alloc stream");
  }
  rec->enc = enc;
  rec->codec = codec;
  enc->codec_type = AVMEDIA_TYPE_AUDIO;
  enc->thread_count = Fthread_count;
  if (Faudio_codec_tag) enc->codec_tag = Faudio_codec_tag;
  if (oc->oformat->flags & AVFMT_GLOBALHEADER) {
    enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (AVCodecContext* d = FOptions.avcodec_opts[AVMEDIA_TYPE_AUDIO]) d->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  }
  AVUtilStubs.av_channel_layout_uninit(&enc->ch_layout);
  if (Faudio_stream_copy) {
    rec->stream_copy = true;
    AVUtilStubs.av_channel_layout_default(&enc->ch_layout, Faudio_channels);
    enc->sample_rate = Faudio_sample_rate;
    RecordOutputCodec(nullptr);
  } else {
    ApplyFFOptions(FOptions, enc, FOptions.avcodec_opts[AVMEDIA_TYPE_AUDIO],
                   AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
    RecordOutputCodec(named ? codec : nullptr);
    enc->codec_id = codec->id;
    if (Faudio_qscale > -99999) {
      enc->flags |= AV_CODEC_FLAG_QSCALE;
      enc->global_quality = static_cast<int>(FF_QP2LAMBDA * Faudio_qscale);
    }
    const uint64_t mask = static_cast<uint64_t>(Fchannel_layout);
    if (mask && std::popcount(mask) == Faudio_channels) {
      enc->ch_layout.order = AV_CHANNEL_ORDER_NATIVE;
      enc->ch_layout.nb_channels = Faudio_channels;
      enc->ch_layout.u.mask = mask;
    } else {
      AVUtilStubs.av_channel_layout_default(&enc->ch_layout, Faudio_channels);
    }
    enc->sample_fmt = static_cast<AVSampleFormat>(Faudio_sample_fmt);
    enc->sample_rate = Faudio_sample_rate;
    ChooseSampleFmt(enc, codec);
    ChooseSampleRate(enc, codec);
    if (codec->id == AV_CODEC_ID_MP2 && enc->bit_rate > 0) {
      // MP2 takes only the rates of its table; the nearest one stands in.
      const int32_t fitted = FitMp2Bitrate(enc->sample_rate, static_cast<int32_t>(enc->bit_rate));
      if (fitted != enc->bit_rate) {
        GetFFLogger()->Log(this, llInfo, "MP2 audio at %d Hz takes no %d kbit/s: %d kbit/s is used instead",
                           enc->sample_rate, static_cast<int>(enc->bit_rate / 1000), fitted / 1000);
        enc->bit_rate = fitted;
      }
    }
    TakePrivateOptions(*rec);
  }
  // Audio time stamps count samples at the encoder's rate, which the fitting may have changed.
  enc->time_base = AVRational{1, enc->sample_rate > 0 ? enc->sample_rate : 1};
  if (!Faudio_language.empty()) {
    AVUtilStubs.av_dict_set(&rec->st->metadata, "language", Faudio_language.c_str(), 0);
    Faudio_language.clear();
  }
  reset();
}

void TCustomFFmpeg::new_subtitle_stream(TOutputFile& AFile) {
  TOutputStreamSetup* rec = nullptr;
  try {
    rec = &NewStream(AFile, AVMEDIA_TYPE_SUBTITLE);
  } catch (...) {
    Fsubtitle_codec_name.clear();
    Fsubtitle_language.clear();
    throw;
  }
  auto reset = [this] {
    Fsubtitle_disable = false;
    Fsubtitle_codec_name.clear();
    Fsubtitle_stream_copy = 0;
  };
  const AVCodec* codec = nullptr;
  if (!Fsubtitle_stream_copy) {
    bool failed = false;
    codec = LookupCodec(Fsubtitle_codec_name, AVMEDIA_TYPE_SUBTITLE, FF_COMPLIANCE_NORMAL, true, failed);
    if (failed) {
      reset();
      throw FFmpegException(FLastErrMsg);
    }
  }
  AVCodecContext* enc = AVCodecStubs.avcodec_alloc_context3(codec);
  if (!enc) {
    reset();
    throw FFmpegException("Could not alloc stream");
  }
  rec->enc = enc;
  rec->codec = codec;
  enc->codec_type = AVMEDIA_TYPE_SUBTITLE;
  if (Fsubtitle_codec_tag) enc->codec_tag = Fsubtitle_codec_tag;
  if (Fsubtitle_stream_copy) {
    rec->stream_copy = true;
    RecordOutputCodec(nullptr);
  } else {
    ApplyFFOptions(FOptions, enc, FOptions.avcodec_opts[AVMEDIA_TYPE_SUBTITLE],
                   AV_OPT_FLAG_SUBTITLE_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
    if (codec) enc->codec_id = codec->id;
    RecordOutputCodec(codec);
    TakePrivateOptions(*rec);
  }
  if (!Fsubtitle_language.empty()) {
    AVUtilStubs.av_dict_set(&rec->st->metadata, "language", Fsubtitle_language.c_str(), 0);
    Fsubtitle_language.clear();
  }
  reset();
}
