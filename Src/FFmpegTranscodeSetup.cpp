// The set-up of a run: run tables, stream mapping, codec parameters, encoders and decoders,
// metadata, chapters and the output headers.
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>

#include <unistd.h>

#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/FFmpegTranscode.h"
#include "base/Format.h"
#include "base/Text.h"

namespace {

const char* TypeName(int32_t AType) {
  static thread_local std::string s;
  s = MediaTypeName(AType);
  return s.c_str();
}

// Opens a codec inside the codec lock with a copy of its private options; options nobody
// took are reported, as the command line did.
int OpenCodec(TCustomFFmpeg* AEngine, AVCodecContext* ACtx, const AVCodec* ACodec, const AVDictionary* AOpts) {
  AVDictionary* opts = nullptr;
  if (AOpts) AVUtilStubs.av_dict_copy(&opts, AOpts, 0);
  int r;
  {
    std::lock_guard lk(CodecLock());
    r = AVCodecStubs.avcodec_open2(ACtx, ACodec, &opts);
  }
  const AVDictionaryEntry* e = nullptr;
  while ((e = AVUtilStubs.av_dict_get(opts, "", e, AV_DICT_IGNORE_SUFFIX)))
    GetFFLogger()->Log(AEngine, llWarning, "Option %s not found for codec %s.", e->key, ACodec->name);
  AVUtilStubs.av_dict_free(&opts);
  return r;
}

// A rate given in decimals ("29.97") that means one of the MPEG-1/2 sequence rates becomes
// that rate; the encoders refuse the decimal fraction itself.
void SnapMpegFrameRate(AVCodecContext* AEnc) {
  if (AEnc->codec_id != AV_CODEC_ID_MPEG1VIDEO && AEnc->codec_id != AV_CODEC_ID_MPEG2VIDEO) return;
  static const AVRational kRates[] = {{24000, 1001}, {24, 1}, {25, 1}, {30000, 1001},
                                      {30, 1},       {50, 1}, {60000, 1001}, {60, 1}};
  if (AEnc->time_base.num <= 0 || AEnc->time_base.den <= 0) return;
  const double rate = static_cast<double>(AEnc->time_base.den) / AEnc->time_base.num;
  for (const AVRational& r : kRates) {
    if (std::fabs(rate - av_q2d(r)) / av_q2d(r) < 0.001) {
      AEnc->time_base = AVRational{r.den, r.num};
      AEnc->framerate = r;
      return;
    }
  }
}

// A text subtitle encoder writes the style header the decoder of its source makes: a
// decoder opened for a moment hands it over.
void CopySubtitleHeader(TCustomFFmpeg* AEngine, AVCodecContext* AEnc, const AVCodecParameters* ASource) {
  if (AEnc->subtitle_header) return;
  const AVCodec* dec = AVCodecStubs.avcodec_find_decoder(ASource->codec_id);
  if (!dec) return;
  AVCodecContext* ctx = AVCodecStubs.avcodec_alloc_context3(dec);
  if (!ctx) return;
  if (AVCodecStubs.avcodec_parameters_to_context(ctx, ASource) >= 0 && OpenCodec(AEngine, ctx, dec, nullptr) >= 0 &&
      ctx->subtitle_header && ctx->subtitle_header_size > 0) {
    AEnc->subtitle_header = static_cast<uint8_t*>(AVUtilStubs.av_mallocz(ctx->subtitle_header_size + 1));
    if (AEnc->subtitle_header) {
      std::memcpy(AEnc->subtitle_header, ctx->subtitle_header, ctx->subtitle_header_size);
      AEnc->subtitle_header_size = ctx->subtitle_header_size;
    }
  }
  std::lock_guard lk(CodecLock());
  AVCodecStubs.avcodec_free_context(&ctx);
}

}  // namespace

std::string PassLogPrefixFor(const std::string& AOutputFile) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path folder = fs::temp_directory_path(ec);
  if (ec) folder = "/tmp";
  folder /= "ombrel-2pass-" + std::to_string(::getuid());
  fs::create_directories(folder, ec);
  const fs::path out = fs::absolute(fs::path(AOutputFile), ec);
  const size_t h = std::hash<std::string>{}(ec ? AOutputFile : out.string());
  return (folder / Format("%016llx-%s", static_cast<unsigned long long>(h), fs::path(AOutputFile).stem().string()))
      .string();
}

AVCodecID MuxerDefaultCodec(const AVOutputFormat* AFormat, const std::string& AFileName, AVMediaType AType) {
  if (!AFormat) return AV_CODEC_ID_NONE;
  // The QuickTime family took MPEG-4 video where the current muxers take H.264.
  const std::string name = AFormat->name ? AFormat->name : "";
  if ((name == "mov" || name == "mp4") && AType == AVMEDIA_TYPE_VIDEO) return AV_CODEC_ID_MPEG4;
  if ((name == "mov" || name == "mp4") && AType == AVMEDIA_TYPE_AUDIO) return AV_CODEC_ID_AAC;
  // Audio formats whose muxers now take a cover picture as video were audio only.
  if ((name == "mp3" || name == "flac") && AType == AVMEDIA_TYPE_VIDEO) return AV_CODEC_ID_NONE;
  return AVFormatStubs.av_guess_codec(AFormat, nullptr, AFileName.c_str(), nullptr, AType);
}

TTranscoder::TTranscoder(TCustomFFmpeg& AEngine) : E(AEngine) {}

TTranscoder::~TTranscoder() {
  // The codecs still open are closed before the tables they live in are released.
  try {
    E.CloseEncoderList();
    E.CloseDecoderList();
  } catch (...) {
  }
  ReleaseRunTables();
}

void TTranscoder::BuildInputTables() {
  const int32_t n = E.Fnb_input_files;
  file_ist_index.assign(static_cast<size_t>(n), 0);
  eof_reached.assign(static_cast<size_t>(n), false);
  int32_t sum = 0;
  for (int32_t f = 0; f < n; ++f) {
    file_ist_index[static_cast<size_t>(f)] = sum;
    AVFormatContext* ic = E.Finput_files[static_cast<size_t>(f)];
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
      TInputStream ist;
      ist.file_index = f;
      ist.index = static_cast<int32_t>(i);
      ist.st = ic->streams[i];
      if (E.Frate_emu) ist.start = AVUtilStubs.av_gettime();
      ist_table.push_back(ist);
    }
    sum += static_cast<int32_t>(ic->nb_streams);
  }
}

void TTranscoder::BuildOutputTables() {
  int32_t total = 0;
  for (int32_t k = 0; k < E.Fnb_output_files; ++k) {
    AVFormatContext* oc = E.Foutput_files[static_cast<size_t>(k)]->ctx;
    if (oc->nb_streams == 0) {
      AVFormatStubs.av_dump_format(oc, k, oc->url, 1);
      throw FFmpegException(Format("Output file #%d does not contain any stream", k));
    }
    if (k == 0) first_block = static_cast<int32_t>(oc->nb_streams);
    total += static_cast<int32_t>(oc->nb_streams);
  }
  const auto& maps = E.Fstream_maps;
  if (!maps.empty()) {
    if (static_cast<int32_t>(maps.size()) != total)
      throw FFmpegException("Number of stream maps must match number of output streams");
    auto streams = [this](int32_t f) {
      return static_cast<int32_t>(E.Finput_files[static_cast<size_t>(f)]->nb_streams);
    };
    for (const TAVStreamMap& m : maps) {
      if (m.file_index < 0 || m.file_index >= E.Fnb_input_files || m.stream_index < 0 ||
          m.stream_index >= streams(m.file_index))
        throw FFmpegException(Format("Could not find input stream #%d.%d", m.file_index, m.stream_index));
      if (m.sync_file_index < 0 || m.sync_file_index >= E.Fnb_input_files || m.sync_stream_index < 0 ||
          m.sync_stream_index >= streams(m.sync_file_index))
        throw FFmpegException(Format("Could not find sync stream #%d.%d", m.sync_file_index, m.sync_stream_index));
    }
  }
  ost_table.resize(static_cast<size_t>(total));
  MapOutputStreams();
  SetupCodecParameters();
}

void TTranscoder::MapOutputStreams() {
  const auto& maps = E.Fstream_maps;
  size_t n = 0;
  for (int32_t k = 0; k < E.Fnb_output_files; ++k) {
    TOutputFile* of = E.Foutput_files[static_cast<size_t>(k)].get();
    AVFormatContext* oc = of->ctx;
    for (unsigned i = 0; i < oc->nb_streams; ++i, ++n) {
      TOutputStream& ost = ost_table[n];
      ost.file_index = k;
      ost.index = static_cast<int32_t>(i);
      ost.st = oc->streams[i];
      ost.setup = i < of->streams.size() ? of->streams[i].get() : nullptr;
      if (!ost.setup || !ost.setup->enc) throw FFmpegException("invalid codec_type of output stream");
      ost.enc = ost.setup->enc;
      ost.stream_copy = ost.setup->stream_copy;
      if (!maps.empty()) {
        const TAVStreamMap& m = maps[n];
        ost.source_index = file_ist_index[static_cast<size_t>(m.file_index)] + m.stream_index;
        const TInputStream& src = ist_table[static_cast<size_t>(ost.source_index)];
        if (src.st->codecpar->codec_type != ost.enc->codec_type) {
          AVFormatStubs.av_dump_format(oc, k, oc->url, 1);
          throw FFmpegException(Format("Codec type mismatch for mapping #%d.%d (%s) -> #%d.%d (%s)", m.file_index,
                                       m.stream_index, TypeName(src.st->codecpar->codec_type), k, i,
                                       TypeName(ost.enc->codec_type)));
        }
        ost.sync_ist = file_ist_index[static_cast<size_t>(m.sync_file_index)] + m.sync_stream_index;
      } else {
        ost.source_index = FindSourceStream(ost);
        ost.sync_ist = ost.source_index;
      }
      ist_table[static_cast<size_t>(ost.source_index)].discard = false;
      ost.show_fps = true;
    }
  }
}

int32_t TTranscoder::FindSourceStream(const TOutputStream& AOst) {
  const AVMediaType type = AOst.enc->codec_type;
  // The stream the demuxer itself would pick stands in for the most probed one.
  int32_t found = -1, foundRank = INT_MAX;
  for (size_t j = 0; j < ist_table.size(); ++j) {
    const TInputStream& ist = ist_table[j];
    if (!ist.discard || ist.st->discard == AVDISCARD_ALL || ist.st->codecpar->codec_type != type) continue;
    if (E.FJoinMode && ist.file_index != AOst.file_index) continue;
    if (E.Fopt_programid != 0) {
      bool inProgram = false;
      AVFormatContext* ic = E.Finput_files[static_cast<size_t>(ist.file_index)];
      for (unsigned p = 0; p < ic->nb_programs && !inProgram; ++p) {
        const AVProgram* prog = ic->programs[p];
        if (prog->id != E.Fopt_programid) continue;
        for (unsigned s = 0; s < prog->nb_stream_indexes; ++s)
          if (static_cast<int32_t>(prog->stream_index[s]) == ist.index) inProgram = true;
      }
      if (!inProgram) continue;
    }
    // Streams with a known size or layout rank before streams the probe knew nothing of.
    const AVCodecParameters* par = ist.st->codecpar;
    const bool known = type == AVMEDIA_TYPE_VIDEO   ? par->width > 0
                       : type == AVMEDIA_TYPE_AUDIO ? par->sample_rate > 0
                                                    : true;
    const int32_t rank = known ? 0 : 1;
    if (rank < foundRank) {
      found = static_cast<int32_t>(j);
      foundRank = rank;
    }
  }
  if (found >= 0) return found;
  if (E.Fopt_programid == 0 && !E.FJoinMode) {
    for (size_t j = ist_table.size(); j-- > 0;) {
      const TInputStream& ist = ist_table[j];
      if (ist.st->codecpar->codec_type == type && ist.st->discard != AVDISCARD_ALL) return static_cast<int32_t>(j);
    }
  }
  AVFormatContext* oc = E.Foutput_files[static_cast<size_t>(AOst.file_index)]->ctx;
  AVFormatStubs.av_dump_format(oc, AOst.file_index, oc->url, 1);
  throw FFmpegException(Format("Could not find input stream matching output stream #%d.%d (%s)", AOst.file_index,
                               AOst.index, TypeName(type)));
}

void TTranscoder::SetupCodecParameters() {
  for (size_t n = 0; n < ost_table.size(); ++n) {
    TOutputStream& ost = ost_table[n];
    // In join mode later blocks repeat block 0's streams: block 0 sets them up once.
    if (E.FJoinMode && static_cast<int32_t>(n) >= first_block) {
      const TOutputStream& first = ost_table[n % static_cast<size_t>(first_block)];
      ost.encoding_needed = first.encoding_needed;
      if (ost.encoding_needed) ist_table[static_cast<size_t>(ost.source_index)].decoding_needed = true;
      continue;
    }
    TInputStream& ist = ist_table[static_cast<size_t>(ost.source_index)];
    AVUtilStubs.av_dict_copy(&ost.st->metadata, ist.st->metadata, AV_DICT_DONT_OVERWRITE);
    ost.st->disposition = ist.st->disposition;
    ost.enc->bits_per_raw_sample = ist.st->codecpar->bits_per_raw_sample;
    ost.enc->chroma_sample_location = ist.st->codecpar->chroma_location;
    if (ost.stream_copy)
      SetupStreamCopy(ost, ist);
    else
      SetupEncoding(ost, ist, static_cast<int32_t>(n));
  }
}

void TTranscoder::SetupStreamCopy(TOutputStream& AOst, TInputStream& AIst) {
  const AVCodecParameters* ipar = AIst.st->codecpar;
  AVCodecParameters* opar = AOst.st->codecpar;
  if (static_cast<int64_t>(ipar->extradata_size) + AV_INPUT_BUFFER_PADDING_SIZE > INT_MAX)
    throw FFmpegException("icodec.extradata_size is invalid (too large)");
  switch (ipar->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
      if (E.Faudio_volume != 256) throw FFmpegException("-acodec copy and -vol are incompatible (frames are not decoded)");
      break;
    case AVMEDIA_TYPE_VIDEO:
      if (E.OnCustomHook)
        throw FFmpegException("-vcodec copy and CustomHook are incompatible (frames are not decoded)");
      if (E.Fusing_vhook) throw FFmpegException("-vcodec copy and -vhook are incompatible (frames are not decoded)");
      if (E.FPostHooks[phPreview] || E.FPostHooks[phBitmap] || E.FPostHooks[phHBITMAP])
        throw FFmpegException("-vcodec copy and PostHooks are incompatible (frames are not decoded)");
      break;
    case AVMEDIA_TYPE_SUBTITLE:
      break;
    default:
      throw FFmpegException("invalid codec_type of output stream");
  }
  const uint32_t wantedTag = AOst.enc->codec_tag;
  const AVRational sar = AOst.st->sample_aspect_ratio;
  if (AVCodecStubs.avcodec_parameters_copy(opar, ipar) < 0) throw FFmpegException("av_mallocz fail");
  // The source's tag goes along only where the output format files that tag under that codec.
  opar->codec_tag = wantedTag;
  if (!wantedTag) {
    const AVOutputFormat* of = E.Foutput_files[static_cast<size_t>(AOst.file_index)]->ctx->oformat;
    if (!of->codec_tag || AVFormatStubs.av_codec_get_id(of->codec_tag, ipar->codec_tag) == ipar->codec_id ||
        AVFormatStubs.av_codec_get_tag(of->codec_tag, ipar->codec_id) <= 0)
      opar->codec_tag = ipar->codec_tag;
    else
      opar->codec_tag = 0;
  }
  if (ipar->codec_type == AVMEDIA_TYPE_AUDIO &&
      ((ipar->codec_id == AV_CODEC_ID_MP3 && ipar->block_align == 1) || ipar->codec_id == AV_CODEC_ID_AC3))
    opar->block_align = 0;
  if (ipar->codec_type == AVMEDIA_TYPE_VIDEO) {
    AOst.st->sample_aspect_ratio = AIst.st->sample_aspect_ratio.num ? AIst.st->sample_aspect_ratio : sar;
    opar->sample_aspect_ratio = AOst.st->sample_aspect_ratio;
    AOst.st->avg_frame_rate = AIst.st->avg_frame_rate;
  }
  AOst.st->time_base = AIst.st->time_base;
}

namespace {

// A picture size the libraries accept; a refused one raises the error naming it. The libraries
// forget a refused input size (a stream's size then reads 0x0, and their log names the size),
// so an input without a size is refused in the same words.
void CheckPictureSize(int32_t AWidth, int32_t AHeight, const char* AWhich, int32_t AFile, int32_t AStream) {
  if (AWidth <= 0 || AHeight <= 0) {
    if (std::strcmp(AWhich, "input") == 0)
      throw FFmpegException(Format("Picture too large or damaged: input stream #%d.%d has no size the libraries "
                                   "accept",
                                   AFile, AStream));
    return;  // an output without a size takes the input's later
  }
  if (AVUtilStubs.av_image_check_size(static_cast<unsigned>(AWidth), static_cast<unsigned>(AHeight), 0, nullptr) < 0)
    throw FFmpegException(
        Format("Picture too large: %dx%d (%s stream #%d.%d)", AWidth, AHeight, AWhich, AFile, AStream));
}

}  // namespace

void TTranscoder::SetupEncoding(TOutputStream& AOst, TInputStream& AIst, int32_t AIndex) {
  AVCodecContext* enc = AOst.enc;
  const AVCodecParameters* ipar = AIst.st->codecpar;
  switch (enc->codec_type) {
    case AVMEDIA_TYPE_AUDIO: {
      AOst.fifo = AVUtilStubs.av_audio_fifo_alloc(enc->sample_fmt, enc->ch_layout.nb_channels, 1024);
      if (!AOst.fifo) throw FFmpegException("av_fifo_alloc fail");
      AOst.audio_resample = enc->sample_rate != ipar->sample_rate || E.Faudio_sync_method > 1;
      break;
    }
    case AVMEDIA_TYPE_VIDEO: {
      SnapMpegFrameRate(enc);
      if (enc->pix_fmt == AV_PIX_FMT_NONE)
        throw FFmpegException("Video pixel format is unknown, stream cannot be encoded");
      // Sizes the libraries refuse are named before any scaler is asked for: the scaler's own
      // failure would not say why.
      CheckPictureSize(ipar->width, ipar->height, "input", AIst.file_index, AIst.index);
      CheckPictureSize(enc->width, enc->height, "output", AOst.file_index, AOst.index);
      const int32_t cw = ipar->width - E.Fframe_leftBand - E.Fframe_rightBand;
      const int32_t ch = ipar->height - E.Fframe_topBand - E.Fframe_bottomBand;
      AOst.video_crop = E.Fframe_topBand + E.Fframe_bottomBand + E.Fframe_leftBand + E.Fframe_rightBand != 0;
      AOst.video_resample = enc->width != cw || enc->height != ch || enc->pix_fmt != ipar->format;
      if (cw <= 0 || ch <= 0) throw FFmpegException("Cannot get resampling context");
      if (AOst.video_crop) {
        AOst.topBand = AOst.original_topBand = E.Fframe_topBand;
        AOst.bottomBand = AOst.original_bottomBand = E.Fframe_bottomBand;
        AOst.leftBand = AOst.original_leftBand = E.Fframe_leftBand;
        AOst.rightBand = AOst.original_rightBand = E.Fframe_rightBand;
      }
      AOst.original_width = ipar->width;
      AOst.original_height = ipar->height;
      const bool padded = AOst.setup && AOst.setup->pad_width > 0;
      if (AOst.video_resample && !E.FEnableFilter && !padded) {
        AOst.pict_tmp = AVUtilStubs.av_frame_alloc();
        if (!AOst.pict_tmp) throw FFmpegException("Cannot allocate temp picture, check pix fmt");
        AOst.pict_tmp->format = enc->pix_fmt;
        AOst.pict_tmp->width = enc->width;
        AOst.pict_tmp->height = enc->height;
        if (AVUtilStubs.av_frame_get_buffer(AOst.pict_tmp, 0) < 0)
          throw FFmpegException("Cannot allocate temp picture, check pix fmt");
        if (SwScaleStubs.sws_isSupportedInput(static_cast<AVPixelFormat>(ipar->format)) <= 0)
          throw FFmpegException("Cannot get resampling context");
        AOst.img_resample_ctx = SwScaleStubs.sws_getContext(cw, ch, static_cast<AVPixelFormat>(ipar->format),
                                                            enc->width, enc->height, enc->pix_fmt,
                                                            static_cast<int>(E.Fsws_flags), nullptr, nullptr, nullptr);
        if (!AOst.img_resample_ctx) throw FFmpegException("Cannot get resampling context");
        enc->bits_per_raw_sample = 0;
      }
      AOst.resample_width = cw;
      AOst.resample_height = ch;
      AOst.resample_pix_fmt = ipar->format;
      AOst.enc_frame = AVUtilStubs.av_frame_alloc();
      if (!AOst.enc_frame) throw FFmpegException("av_mallocz fail");
      E.FLastErrMsg.clear();
      if (E.FEnableFilter || padded) {
        AOst.graph = std::make_unique<TVideoFilterGraph>();
        if (padded) {
          AOst.graph->pad_width = AOst.setup->pad_width;
          AOst.graph->pad_height = AOst.setup->pad_height;
        }
        AVCodecContext probe{};
        probe.width = ipar->width;
        probe.height = ipar->height;
        probe.pix_fmt = static_cast<AVPixelFormat>(ipar->format);
        probe.sample_aspect_ratio = ipar->sample_aspect_ratio;
        if (AOst.graph->Configure(&probe, enc, E.Fframe_topBand, E.Fframe_bottomBand, E.Fframe_leftBand,
                                  E.Fframe_rightBand, E.Fsws_flags, E.Fvfilters) < 0)
          throw FFmpegException("Error opening filters!");
      }
      break;
    }
    case AVMEDIA_TYPE_SUBTITLE:
      break;
    default:
      throw FFmpegException("invalid codec_type of output stream");
  }
  AIst.decoding_needed = true;
  AOst.encoding_needed = true;
  if (enc->flags & (AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2)) OpenPassLogFile(AOst, AIndex);
}

void TTranscoder::OpenPassLogFile(TOutputStream& AOst, int32_t AIndex) {
  // Without a prefix the statistics belong to the output: both passes of one output find
  // them, and tasks converting at the same time never share a file.
  const std::string prefix = E.Fpass_logfilename_prefix.empty()
                                 ? PassLogPrefixFor(E.Foutput_files[static_cast<size_t>(AOst.file_index)]->FileName)
                                 : E.Fpass_logfilename_prefix;
  std::string name = Format("%s-%d.log", prefix, AIndex);
  // libx264 keeps statistics of its own, by default in the working folder.
  if (AOst.setup && AOst.setup->codec && std::strcmp(AOst.setup->codec->name, "libx264") == 0 &&
      !AVUtilStubs.av_dict_get(AOst.setup->codec_opts, "stats", nullptr, 0))
    AVUtilStubs.av_dict_set(&AOst.setup->codec_opts, "stats", Format("%s-%d.x264.log", prefix, AIndex).c_str(), 0);
  if (name.size() > 1023) name.resize(1023);
  AVCodecContext* enc = AOst.enc;
  if (enc->flags & AV_CODEC_FLAG_PASS1) {
    AOst.logfile = std::fopen(name.c_str(), "wb");
    if (!AOst.logfile) throw FFmpegException(Format("Cannot write log file %s for pass-1 encoding", name));
  } else {
    uint8_t* buf = nullptr;
    int32_t size = 0;
    const int32_t r = ReadFileToBuffer(name, buf, size);
    if (r == AVERROR(ENOMEM))
      throw FFmpegException(Format("Could not allocate file buffer: Error reading log file \"%s\" for pass-2 encoding", name));
    if (r < 0) throw FFmpegException(Format("Cannot read file: Error reading log file \"%s\" for pass-2 encoding", name));
    enc->stats_in = reinterpret_cast<char*>(buf);  // freed with the encoder by the engine
  }
}

void TTranscoder::OpenEncoders() {
  for (size_t n = 0; n < ost_table.size(); ++n) {
    if (E.FJoinMode && static_cast<int32_t>(n) >= first_block) break;
    TOutputStream& ost = ost_table[n];
    if (ost.stream_copy) continue;
    if (!ost.encoding_needed) continue;
    const AVCodec* codec = E.OutputCodec(static_cast<int32_t>(n));
    if (!codec) codec = ost.setup->codec;
    if (!codec) codec = AVCodecStubs.avcodec_find_encoder(ost.enc->codec_id);
    const std::string type = MediaTypeName(ost.enc->codec_type);
    if (!codec) {
      DumpStreamMapping();
      const std::string text = Format("Encoder (codec id %d) not found for output stream #%d.%d (%s)",
                                      static_cast<int>(ost.enc->codec_id), ost.file_index, ost.index, type);
      GetFFLogger()->Log(&E, llError, text);
      throw FFmpegException(text);
    }
    if (ost.enc->codec_type == AVMEDIA_TYPE_SUBTITLE) {
      ost.enc->time_base = AV_TIME_BASE_Q;
      CopySubtitleHeader(&E, ost.enc, ist_table[static_cast<size_t>(ost.source_index)].st->codecpar);
    }
    // A video encoder whose extra threads pay gets the cores the run leaves free: the
    // machine's shared among the conversions running at once.
    if (ost.enc->codec_type == AVMEDIA_TYPE_VIDEO && E.Fthread_count <= 1 &&
        (codec->capabilities & (AV_CODEC_CAP_FRAME_THREADS | AV_CODEC_CAP_SLICE_THREADS | AV_CODEC_CAP_OTHER_THREADS)))
      ost.enc->thread_count = EncoderThreadCount(codec->name);
    if (OpenCodec(&E, ost.enc, codec, ost.setup->codec_opts) < 0) {
      DumpStreamMapping();
      const std::string text = Format(
          "Error while opening encoder for output stream #%d.%d (%s) - maybe incorrect parameters such as bit_rate, "
          "rate, width or height. Please check error log message to find out more detail information.",
          ost.file_index, ost.index, type);
      GetFFLogger()->Log(&E, llError, text);
      throw FFmpegException(text);
    }
    {
      std::lock_guard lk(CodecLock());
      E.AddCodecItem(E.FEncoderList, &ost.setup->enc);
    }
    E.Fextra_size += ost.enc->extradata_size;
    if (AVCodecStubs.avcodec_parameters_from_context(ost.st->codecpar, ost.enc) < 0)
      throw FFmpegException("av_mallocz fail");
    ost.st->time_base = ost.enc->time_base;
    if (ost.enc->codec_type == AVMEDIA_TYPE_VIDEO) {
      ost.st->sample_aspect_ratio = ost.enc->sample_aspect_ratio;
      ost.st->avg_frame_rate = ost.enc->framerate;
    }
    if (ost.enc->codec_type == AVMEDIA_TYPE_AUDIO && ost.fifo &&
        ost.enc->sample_fmt != AV_SAMPLE_FMT_NONE) {
      // The encoder may have settled on another layout than the one the queue was made for.
      AVUtilStubs.av_audio_fifo_free(ost.fifo);
      ost.fifo = AVUtilStubs.av_audio_fifo_alloc(ost.enc->sample_fmt, ost.enc->ch_layout.nb_channels, 1024);
      if (!ost.fifo) throw FFmpegException("av_fifo_alloc fail");
    }
  }
}

void TTranscoder::OpenDecoders() {
  for (size_t j = 0; j < ist_table.size(); ++j) {
    TInputStream& ist = ist_table[j];
    if (!ist.decoding_needed) continue;
    const AVCodec* codec = E.InputCodec(static_cast<int32_t>(j));
    if (!codec) codec = AVCodecStubs.avcodec_find_decoder(ist.st->codecpar->codec_id);
    const std::string type = MediaTypeName(ist.st->codecpar->codec_type);
    if (!codec) {
      DumpStreamMapping();
      const std::string text = Format("Decoder (codec id %d) not found for input stream #%d.%d (%s)",
                                      static_cast<int>(ist.st->codecpar->codec_id), ist.file_index, ist.index, type);
      GetFFLogger()->Log(&E, llError, text);
      throw FFmpegException(text);
    }
    ist.dec = AVCodecStubs.avcodec_alloc_context3(codec);
    if (!ist.dec || AVCodecStubs.avcodec_parameters_to_context(ist.dec, ist.st->codecpar) < 0)
      throw FFmpegException("av_mallocz fail");
    ist.dec->pkt_timebase = ist.st->time_base;
    ist.dec->framerate = ist.st->avg_frame_rate.num ? ist.st->avg_frame_rate : ist.st->r_frame_rate;
    ist.dec->thread_count = 1;
    AVDictionary* decoderOpts = E.DecoderOptions(ist.file_index, codec);
    const int opened = OpenCodec(&E, ist.dec, codec, decoderOpts);
    AVUtilStubs.av_dict_free(&decoderOpts);
    if (opened < 0) {
      AVCodecStubs.avcodec_free_context(&ist.dec);
      DumpStreamMapping();
      const std::string text =
          Format("Error while opening decoder for input stream #%d.%d (%s)", ist.file_index, ist.index, type);
      GetFFLogger()->Log(&E, llError, text);
      throw FFmpegException(text);
    }
    std::lock_guard lk(CodecLock());
    E.AddCodecItem(E.FDecoderList, &ist.dec);
  }
}

void TTranscoder::InitInputPts() {
  for (TInputStream& ist : ist_table) {
    const AVRational rate = ist.st->avg_frame_rate;
    const int delay = ist.st->codecpar->video_delay;
    ist.pts = rate.num == 0 ? 0 : -static_cast<int64_t>(std::nearbyint(delay * 1000000.0 / av_q2d(rate)));
    ist.next_pts = AV_NOPTS_VALUE;
    ist.is_start = true;
  }
}

void TTranscoder::CopyMetadataMaps() {
  for (const TAVMetaDataMap& m : E.Fmeta_data_maps) {
    if (m.out_file < 0 || m.out_file >= E.Fnb_output_files) {
      DumpStreamMapping();
      const std::string text =
          Format("Invalid output file index %d map_meta_data(%d,%d)", m.out_file, m.out_file, m.in_file);
      GetFFLogger()->Log(&E, llError, text);
      throw FFmpegException(text);
    }
    if (m.in_file < 0 || m.in_file >= E.Fnb_input_files) {
      DumpStreamMapping();
      const std::string text =
          Format("Invalid input file index %d map_meta_data(%d,%d)", m.in_file, m.out_file, m.in_file);
      GetFFLogger()->Log(&E, llError, text);
      throw FFmpegException(text);
    }
    AVFormatContext* oc = E.Foutput_files[static_cast<size_t>(m.out_file)]->ctx;
    AVFormatContext* ic = E.Finput_files[static_cast<size_t>(m.in_file)];
    AVUtilStubs.av_dict_copy(&oc->metadata, ic->metadata, AV_DICT_DONT_OVERWRITE);
  }
}

void TTranscoder::CopyAllChapters() {
  for (int32_t i = 0; i < E.Fnb_input_files; ++i) {
    AVFormatContext* ic = E.Finput_files[static_cast<size_t>(i)];
    if (ic->nb_chapters == 0) continue;
    for (int32_t o = 0; o < E.Fnb_output_files; ++o) {
      if (E.FJoinMode && o > 0) break;
      AVFormatContext* oc = E.Foutput_files[static_cast<size_t>(o)]->ctx;
      for (unsigned c = 0; c < ic->nb_chapters; ++c) {
        const AVChapter* in = ic->chapters[c];
        const int64_t ts_off = AVUtilStubs.av_rescale_q(E.Fstart_time - E.Finput_files_ts_offset[static_cast<size_t>(i)],
                                                        AV_TIME_BASE_Q, in->time_base);
        const int64_t rt = E.Frecording_time == INT64_MAX
                               ? INT64_MAX
                               : AVUtilStubs.av_rescale_q(E.Frecording_time, AV_TIME_BASE_Q, in->time_base);
        if (in->end < ts_off) continue;
        if (rt != INT64_MAX && in->start > rt + ts_off) break;
        auto* out = static_cast<AVChapter*>(AVUtilStubs.av_mallocz(sizeof(AVChapter)));
        if (!out) throw FFmpegException("av_mallocz fail");
        out->id = in->id;
        out->time_base = in->time_base;
        out->start = std::max<int64_t>(0, in->start - ts_off);
        out->end = std::min(rt, in->end - ts_off);
        AVUtilStubs.av_dict_copy(&out->metadata, in->metadata, 0);
        void* grown = AVUtilStubs.av_realloc(oc->chapters, sizeof(AVChapter*) * (oc->nb_chapters + 1));
        if (!grown) {
          AVUtilStubs.av_dict_free(&out->metadata);
          AVUtilStubs.av_free(out);
          throw FFmpegException("av_realloc fail");
        }
        oc->chapters = static_cast<AVChapter**>(grown);
        oc->chapters[oc->nb_chapters++] = out;
      }
    }
  }
}

void TTranscoder::WriteHeaders() {
  for (int32_t k = 0; k < E.Fnb_output_files; ++k) {
    if (E.FJoinMode && k > 0) break;
    TOutputFile* of = E.Foutput_files[static_cast<size_t>(k)].get();
    AVDictionary* opts = nullptr;
    // AVI times audio by its position, so the encoders' negative priming times mean nothing
    // there; the muxer's shift for them would only move every video frame but the first.
    if (std::strcmp(of->ctx->oformat->name, "avi") == 0 && of->ctx->avoid_negative_ts == AVFMT_AVOID_NEG_TS_AUTO)
      of->ctx->avoid_negative_ts = AVFMT_AVOID_NEG_TS_DISABLED;
    if (of->format_opts) AVUtilStubs.av_dict_copy(&opts, of->format_opts, 0);
    const int r = AVFormatStubs.avformat_write_header(of->ctx, &opts);
    AVUtilStubs.av_dict_free(&opts);
    if (r < 0) {
      DumpStreamMapping();
      const std::string text = Format("Could not write header for output file #%d (incorrect codec parameters ?)", k);
      GetFFLogger()->Log(&E, llError, text);
      throw FFmpegException(text);
    }
  }
  // Bitstream filters start from the parameters and time base the header settled on.
  for (TOutputStream& ost : ost_table) {
    if (!ost.bsfs.empty() || !ost.setup) continue;
    for (const TBitstreamFilterRef& ref : ost.setup->bitstream_filters) {
      if (!ref.filter) continue;
      AVBSFContext* ctx = nullptr;
      if (AVCodecStubs.av_bsf_alloc(ref.filter, &ctx) < 0) throw FFmpegException("av_mallocz fail");
      ost.bsfs.push_back(ctx);
      AVCodecStubs.avcodec_parameters_copy(ctx->par_in, ost.st->codecpar);
      ctx->time_base_in = ost.st->time_base;
      if (AVCodecStubs.av_bsf_init(ctx) < 0)
        throw FFmpegException(Format("Error initializing bitstream filter: %s", ref.filter->name));
    }
  }
  bool allRtp = true;
  for (int32_t k = 0; k < E.Fnb_output_files; ++k)
    if (std::strcmp(E.Foutput_files[static_cast<size_t>(k)]->ctx->oformat->name, "rtp") != 0) allRtp = false;
  if (allRtp && E.Fnb_output_files > 0) {
    std::vector<AVFormatContext*> ctxs;
    for (int32_t k = 0; k < E.Fnb_output_files; ++k) ctxs.push_back(E.Foutput_files[static_cast<size_t>(k)]->ctx);
    char sdp[2048] = {};
    AVFormatStubs.av_sdp_create(ctxs.data(), static_cast<int>(ctxs.size()), sdp, sizeof sdp);
    GetFFLogger()->Log(&E, llInfo, std::string("SDP:\r\n") + Trim(sdp));
  }
}

void TTranscoder::DumpStreamMapping() {
  for (int32_t k = 0; k < E.Fnb_output_files; ++k) {
    if (E.FJoinMode && k > 0) break;
    AVFormatContext* oc = E.Foutput_files[static_cast<size_t>(k)]->ctx;
    AVFormatStubs.av_dump_format(oc, k, oc->url, 1);
  }
  if (E.Fverbose < 0) return;
  GetFFLogger()->Log(&E, llVerbose, "Stream mapping:");
  for (const TOutputStream& ost : ost_table) {
    if (!ost.enc) continue;
    const TInputStream& src = ist_table[static_cast<size_t>(ost.source_index)];
    GetFFLogger()->Log(&E, llVerbose, "  Stream #%d.%d -> #%d.%d (%s)", src.file_index, src.index,
                       E.FJoinMode ? 0 : ost.file_index, ost.index, MediaTypeName(ost.enc->codec_type));
    if (ost.sync_ist != ost.source_index) {
      const TInputStream& sync = ist_table[static_cast<size_t>(ost.sync_ist)];
      GetFFLogger()->Log(&E, llVerbose, " [sync #%d.%d (%s)]", sync.file_index, sync.index,
                         MediaTypeName(sync.st->codecpar->codec_type));
    }
  }
}

void TTranscoder::ReleaseRunTables() {
  if (tables_released) return;
  tables_released = true;
  for (TInputStream& ist : ist_table) {
    if (ist.to_s16) SwResampleStubs.swr_free(&ist.to_s16);
    if (ist.dec) {
      std::lock_guard lk(CodecLock());
      AVCodecStubs.avcodec_free_context(&ist.dec);
    }
  }
  for (TOutputStream& ost : ost_table) {
    if (ost.logfile) std::fclose(ost.logfile);
    ost.logfile = nullptr;
    if (ost.fifo) AVUtilStubs.av_audio_fifo_free(ost.fifo);
    ost.fifo = nullptr;
    if (ost.pict_tmp) AVUtilStubs.av_frame_free(&ost.pict_tmp);
    if (ost.enc_frame) AVUtilStubs.av_frame_free(&ost.enc_frame);
    if (ost.audio_frame) AVUtilStubs.av_frame_free(&ost.audio_frame);
    if (ost.img_resample_ctx) SwScaleStubs.sws_freeContext(ost.img_resample_ctx);
    ost.img_resample_ctx = nullptr;
    if (ost.swr) SwResampleStubs.swr_free(&ost.swr);
    if (ost.conv_buf) AVUtilStubs.av_freep(&ost.conv_buf);
    for (AVBSFContext*& b : ost.bsfs) AVCodecStubs.av_bsf_free(&b);
    ost.bsfs.clear();
    ost.graph.reset();
  }
  if (decoded) AVUtilStubs.av_frame_free(&decoded);
  if (filtered) AVUtilStubs.av_frame_free(&filtered);
  if (hook_frame) AVUtilStubs.av_frame_free(&hook_frame);
  if (out_pkt) AVCodecStubs.av_packet_free(&out_pkt);
  if (vstats_file) std::fclose(vstats_file);
  vstats_file = nullptr;
  ResetRGBConvertContext(custom_hook_ctx);
  ResetRGBConvertContext(post_ctx);
}
