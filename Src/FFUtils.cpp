#include "Src/FFUtils.h"

#include <cerrno>
#include <climits>
#include <cstdio>

#include <sys/stat.h>

#include "Src/FFmpegLogger.h"
#include "Src/FFmpegStubs.h"
#include "base/Format.h"
#include "base/Text.h"

std::string FormatMicroseconds(int64_t AValue) {
  if (AValue == INT64_MIN) return "N/A";
  const bool negative = AValue < 0;
  const uint64_t t = negative ? 0 - static_cast<uint64_t>(AValue) : static_cast<uint64_t>(AValue);
  const uint64_t secs = t / 1000000;
  return Format("%s%.2d:%.2d:%.2d.%.3d", negative ? "-" : "", secs / 3600, secs / 60 % 60, secs % 60,
                t % 1000000 * 1000 / 1000000);
}

int64_t FrameDuration(AVRational ARate) {
  if (ARate.num == 0 || ARate.den == 0) return 40000;
  return int64_t{1000000} * ARate.den / ARate.num;
}

std::string AVErrorText(const std::string& APrefix, int32_t ACode) {
  struct Row {
    int32_t code;
    const char* text;
  };
  // The codes of the older libraries first, then the current libraries' codes with the same texts.
  static const Row kRows[] = {
      {-1163346256, "Not yet implemented in FFmpeg"},
      {-10043, "Unsupported network protocol"},
      {-42, "Unknown format"},
      {-33, "Number syntax expected in filename"},
      {-32, "End of file"},
      {-22, "Invalid data found when processing input"},
      {-12, "Not enough memory"},
      {-5, "I/O error"},
      {-2, "No such file or directory"},
      {AVERROR_PATCHWELCOME, "Not yet implemented in FFmpeg"},
      {AVERROR_PROTOCOL_NOT_FOUND, "Unsupported network protocol"},
      {AVERROR(EILSEQ), "Unknown format"},
      {AVERROR_DEMUXER_NOT_FOUND, "Unknown format"},
      {AVERROR(EDOM), "Number syntax expected in filename"},
      {AVERROR_EOF, "End of file"},
      {AVERROR_INVALIDDATA, "Invalid data found when processing input"},
      {AVERROR(ENOMEM), "Not enough memory"},
      {AVERROR(EIO), "I/O error"},
      {AVERROR(ENOENT), "No such file or directory"},
  };
  for (const Row& r : kRows)
    if (r.code == ACode) return APrefix + ": " + r.text;
  return APrefix + ": " + Format("Error number %d occurred", ACode);
}

std::string MediaTypeName(int32_t AType) {
  static const char* const kNames[] = {"Video", "Audio", "Data", "Subtitle", "Attachment"};
  return AType >= 0 && AType < 5 ? kNames[AType] : "Unknown";
}

std::string GetMetadataValue(const AVDictionary* AMetadata, const std::string& AKey, const std::string& ADefault) {
  if (!AMetadata || !AVUtilStubs.av_dict_get) return ADefault;
  const AVDictionaryEntry* e = AVUtilStubs.av_dict_get(AMetadata, AKey.c_str(), nullptr, 0);
  return e && e->value ? std::string(e->value) : ADefault;
}

std::string CodecDescription(AVCodecID ACodecID, uint32_t ACodecTag, bool AEncoder) {
  const AVCodec* c = AEncoder ? AVCodecStubs.avcodec_find_encoder(ACodecID) : AVCodecStubs.avcodec_find_decoder(ACodecID);
  if (c) {
    const std::string longName = c->long_name ? Trim(c->long_name) : std::string();
    return longName.empty() ? std::string(c->name) : Format("%s(%s)", c->name, c->long_name);
  }
  if (ACodecID == AV_CODEC_ID_MPEG2TS) return "mpeg2ts";
  const char t[4] = {static_cast<char>(ACodecTag & 0xff), static_cast<char>((ACodecTag >> 8) & 0xff),
                     static_cast<char>((ACodecTag >> 16) & 0xff), static_cast<char>(ACodecTag >> 24)};
  bool printable = true;
  for (char ch : t) printable = printable && ch >= 32 && ch <= 126;
  if (printable)
    return Format("%s%s%s%s / 0x%04X", std::string(1, t[0]), std::string(1, t[1]), std::string(1, t[2]),
                  std::string(1, t[3]), ACodecTag);
  return Format("0x%04x", ACodecTag);
}

std::string CodecDescription(const AVCodecContext* ACodecCtx, bool AEncoder) {
  return CodecDescription(ACodecCtx->codec_id, ACodecCtx->codec_tag, AEncoder);
}

int32_t ReadFileToBuffer(const std::string& AFileName, uint8_t*& ABuffer, int32_t& ASize) {
  ABuffer = nullptr;
  ASize = 0;
  FILE* f = std::fopen(AFileName.c_str(), "rb");
  if (!f) return -1;
  struct stat st;
  if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {  // a folder has no size to read
    std::fclose(f);
    return -1;
  }
  // 64-bit size, checked: an unknown size never becomes a huge read into a small buffer.
  int64_t size = -1;
  if (fseeko(f, 0, SEEK_END) == 0) size = ftello(f);
  if (size < 0 || fseeko(f, 0, SEEK_SET) != 0) {
    std::fclose(f);
    return -1;
  }
  if (size >= INT32_MAX) {
    std::fclose(f);
    return AVERROR(EFBIG);
  }
  auto* buf = static_cast<uint8_t*>(AVUtilStubs.av_malloc(static_cast<size_t>(size) + 1));
  if (!buf) {
    std::fclose(f);
    return AVERROR(ENOMEM);
  }
  const size_t n = std::fread(buf, 1, static_cast<size_t>(size), f);
  buf[n] = 0;
  std::fclose(f);
  ABuffer = buf;
  ASize = static_cast<int32_t>(n) + 1;
  return 0;
}

void InitFFOptions(TFFOptions& AOptions) { AOptions = TFFOptions{}; }

void AllocFFOptions(TFFOptions& AOptions, int32_t ASwsFlags) {
  for (AVCodecContext*& c : AOptions.avcodec_opts) c = AVCodecStubs.avcodec_alloc_context3(nullptr);
  AOptions.avformat_opts = AVFormatStubs.avformat_alloc_context();
  AOptions.sws_opts = SwScaleStubs.sws_getContext(16, 16, AV_PIX_FMT_YUV420P, 16, 16, AV_PIX_FMT_YUV420P, ASwsFlags,
                                                  nullptr, nullptr, nullptr);
}

void FreeFFOptions(TFFOptions& AOptions) {
  for (AVCodecContext*& c : AOptions.avcodec_opts)
    if (c) AVCodecStubs.avcodec_free_context(&c);
  if (AOptions.avformat_opts) AVFormatStubs.avformat_free_context(AOptions.avformat_opts);
  AOptions.avformat_opts = nullptr;
  if (AOptions.sws_opts) SwScaleStubs.sws_freeContext(AOptions.sws_opts);
  AOptions.sws_opts = nullptr;
  for (int i = 0; i < AOptions.opt_name_count; ++i) AVUtilStubs.av_free(const_cast<char*>(AOptions.opt_names[i]));
  AVUtilStubs.av_freep(&AOptions.opt_names);
  AOptions.opt_name_count = 0;
  AVUtilStubs.av_dict_free(&AOptions.private_opts);
}

namespace {

// "b" is the video bitrate, as the option set has always had it; the installed libraries also
// mark it as an audio option (the audio bitrate is "ab", the same field), which would hand the
// video bitrate to every audio encoder.
bool VideoOnlyOption(const std::string& AName) { return AName == "b"; }

// Tries one context; answers whether it knows the name, with the set's result in ARet.
bool TrySet(void* ACtx, const char* AName, const char* AValue, int AFlags, int& ARet) {
  if (!ACtx || !AVUtilStubs.av_opt_find(ACtx, AName, nullptr, AFlags, 0)) return false;
  ARet = AVUtilStubs.av_opt_set(ACtx, AName, AValue, 0);
  return true;
}

}  // namespace

bool SetFFOption(TFFOptions& AOptions, const std::string& AName, const std::string& AValue, const AVCodec* AEncoder,
                 bool* ARefused) {
  if (ARefused) *ARefused = false;
  const std::string name = Trim(AName), value = Trim(AValue);
  if (name.empty() || value.empty()) return false;
  static const int kTypeFlags[5] = {AV_OPT_FLAG_VIDEO_PARAM, AV_OPT_FLAG_AUDIO_PARAM, 0, AV_OPT_FLAG_SUBTITLE_PARAM, 0};
  bool found = false, isPrivate = false;
  int ret = 0;
  // The name the option has in the contexts, which the copy into real contexts looks up.
  std::string optionName = name;
  for (int i = 0; i < 5 && ret >= 0; ++i) {
    if (i != 0 && VideoOnlyOption(name)) continue;
    if (!AOptions.avcodec_opts[0] ||
        !AVUtilStubs.av_opt_find(AOptions.avcodec_opts[0], name.c_str(), nullptr, kTypeFlags[i], 0))
      continue;
    found = true;
    if (AOptions.avcodec_opts[i]) ret = AVUtilStubs.av_opt_set(AOptions.avcodec_opts[i], name.c_str(), value.c_str(), 0);
  }
  if (!found) found = TrySet(AOptions.avformat_opts, name.c_str(), value.c_str(), 0, ret);
  if (!found) found = TrySet(AOptions.sws_opts, name.c_str(), value.c_str(), 0, ret);
  if (!found && name.size() > 1) {
    const int type = name[0] == 'a' ? 1 : name[0] == 'v' ? 0 : name[0] == 's' ? 3 : -1;
    if (type >= 0) found = TrySet(AOptions.avcodec_opts[type], name.c_str() + 1, value.c_str(), 0, ret);
    if (found) optionName = name.substr(1);  // "vb" is "b" of the video context
  }
  if (!found && AEncoder && AEncoder->priv_class) {
    // Names that moved into the encoder's own options: checked on a scratch context of that
    // encoder, kept for its open.
    AVCodecContext* scratch = AVCodecStubs.avcodec_alloc_context3(AEncoder);
    if (scratch && scratch->priv_data) {
      found = TrySet(scratch->priv_data, name.c_str(), value.c_str(), 0, ret);
      if (found && ret >= 0) {
        isPrivate = true;
        ret = AVUtilStubs.av_dict_set(&AOptions.private_opts, name.c_str(), value.c_str(), 0);
      }
    }
    AVCodecStubs.avcodec_free_context(&scratch);
  }
  if (found && ret < 0) {
    AVUtilStubs.av_log(nullptr, AV_LOG_ERROR, "Invalid value \"%s\" for option \"%s\"\n", value.c_str(), name.c_str());
    if (ARefused) *ARefused = true;
    return false;
  }
  if (!found) return false;
  if (!isPrivate) {
    auto** names = static_cast<const char**>(
        AVUtilStubs.av_realloc(AOptions.opt_names, sizeof(char*) * static_cast<size_t>(AOptions.opt_name_count + 1)));
    if (!names) return false;
    AOptions.opt_names = names;
    AOptions.opt_names[AOptions.opt_name_count++] = AVUtilStubs.av_strdup(optionName.c_str());
  }
  int64_t debug = 0;
  if ((AOptions.avcodec_opts[0] && AVUtilStubs.av_opt_get_int(AOptions.avcodec_opts[0], "debug", 0, &debug) >= 0 && debug) ||
      (AOptions.avformat_opts && AVUtilStubs.av_opt_get_int(AOptions.avformat_opts, "fdebug", 0, &debug) >= 0 && debug))
    GetFFLogger()->SetLogLevel(llDebug);
  return true;
}

void ApplyFFOptions(TFFOptions& AOptions, void* ACtx, void* AOptsCtx, int32_t AFlags) {
  if (!ACtx || !AOptsCtx) return;
  for (int i = 0; i < AOptions.opt_name_count; ++i) {
    const char* name = AOptions.opt_names[i];
    const AVOption* o = AVUtilStubs.av_opt_find(AOptsCtx, name, nullptr, 0, 0);
    if (!o || (o->flags & AFlags) != AFlags) continue;
    if (VideoOnlyOption(name) && (AFlags & (AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_SUBTITLE_PARAM))) continue;
    uint8_t* val = nullptr;
    if (AVUtilStubs.av_opt_get(AOptsCtx, name, 0, &val) >= 0 && val)
      AVUtilStubs.av_opt_set(ACtx, name, reinterpret_cast<const char*>(val), 0);
    AVUtilStubs.av_free(val);
  }
}
