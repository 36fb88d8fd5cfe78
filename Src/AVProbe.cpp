#include "Src/AVProbe.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "Src/FFUtils.h"
#include "Src/FFmpegStubs.h"
#include "Src/MyUtils.h"
#include "Src/UnicodeProtocol.h"
#include "base/Exception.h"
#include "base/Files.h"
#include "base/Format.h"
#include "base/Text.h"

namespace {

constexpr AVRational kMicroseconds{1, 1000000};

std::string MetadataValue(const AVDictionary* m, const char* key, const std::string& def = "") {
  return GetMetadataValue(m, key, def);
}

std::string StreamDescription(const AVCodecContext* c) { return c ? CodecDescription(c, false) : std::string(); }

// Leading decimal digits of a text ("2010-05-01" gives 2010, "3/12" gives 3); 0 when none.
int32_t LeadingNumber(const std::string& s) {
  int64_t v = 0;
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  const size_t start = i;
  for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && v < 100000000; ++i) v = v * 10 + (s[i] - '0');
  return i == start ? 0 : static_cast<int32_t>(v);
}

// "%d.%.6d" with a sign and absolute parts, so -1.5 s prints as -1.500000.
std::string SecondsText(int64_t us) {
  const char* sign = us < 0 ? "-" : "";
  const uint64_t a = us < 0 ? 0 - static_cast<uint64_t>(us) : static_cast<uint64_t>(us);
  return Format("%s%d.%.6d", sign, a / 1000000, a % 1000000);
}

std::string RateText(double v, const char* name) {
  const int64_t r = std::llround(v * 100);
  if (r % 100 != 0) return Format(", %3.2f %s", v, name);
  if (r % 100000 != 0) return Format(", %1.0f %s", v, name);
  return Format(", %1.0fk %s", v / 1000, name);
}

}  // namespace

std::string ShownMetadataKey(const std::string& AKey) {
  static const char* const kTable[][2] = {
      {"TALB", "album"},    {"TAL", "album"},   {"TCOM", "composer"},  {"TCON", "genre"},
      {"TCO", "genre"},     {"TCOP", "copyright"}, {"TDRL", "date"},   {"TENC", "encoder"},
      {"TEN", "encoder"},   {"TSOA", "albumsort"}, {"TSOP", "authorsort"}, {"TIT2", "title"},
      {"TT2", "title"},     {"TLAN", "language"}, {"TPE1", "artist"},  {"TP1", "artist"},
      {"TPOS", "disc"},     {"TPUB", "publisher"}, {"TRCK", "track"},  {"TRK", "track"},
      {"TSOT", "titlesort"}, {"TYER", "year"},
  };
  for (const auto& row : kTable)
    if (AKey == row[0]) return row[1];
  return AKey;
}

// ---------------------------------------------------------------------------------------------
// TCustomAVProbe

TCustomAVProbe::TCustomAVProbe(TComponent* AOwner) : TFFBaseComponent(AOwner) {}

TCustomAVProbe::~TCustomAVProbe() {
  if (FFileHandle) TCustomAVProbe::CloseFile();
  UnloadAVLib();
}

bool TCustomAVProbe::LoadAVLib(const std::string& APath) {
  if (FLibLoaded) return true;
  if (!APath.empty()) FFLoader().SetLibraryPath(APath);
  FLibLoaded = FFLoader().Load(ProbeLibraries);
  if (!FLibLoaded) FLastErrMsg = FFLoader().LastErrMsg();
  return FLibLoaded;
}

bool TCustomAVProbe::AVLibLoaded() const { return FFLoader().Loaded(ProbeLibraries); }

void TCustomAVProbe::UnloadAVLib() {
  if (!FLibLoaded) return;
  FLibLoaded = false;
  FFLoader().Unload(ProbeLibraries);
}

void TCustomAVProbe::CheckLibraries() const {
  if (!FFLoader().Loaded(avCodec)) throw Exception("LibAVCodec not loaded.");
  if (!FFLoader().Loaded(avFormat)) throw Exception("LibAVFormat not loaded.");
  if (!FFLoader().Loaded(avUtil)) throw Exception("LibAVUtil not loaded.");
  if (!FFLoader().Loaded(swScale)) throw Exception("LibSwScale not loaded.");
}

void TCustomAVProbe::Report(int ALevel, const std::string& AText) {
  FLastErrMsg = AText;
  GetFFLogger()->Log(this, LogLevelOf(ALevel), AText);
}

bool TCustomAVProbe::CheckFile() {
  if (FFileHandle) return true;
  Report(plWarning, "file not loaded.");
  return false;
}

bool TCustomAVProbe::CheckStreamIndex(int32_t AStreamIndex) {
  if (AStreamIndex >= 0 && AStreamIndex < FStreamCount) return true;
  Report(plError, Format("stream index #%d is invalid.", AStreamIndex));
  return false;
}

bool TCustomAVProbe::LoadFile(const std::string& AFileName, const std::string& AFormatName) {
  CheckLibraries();
  CloseFile();
  const AVInputFormat* fmt = nullptr;
  if (!AFormatName.empty()) {
    fmt = AVFormatStubs.av_find_input_format(AFormatName.c_str());
    if (!fmt) {
      FLastErrMsg = Format("Unknown input format: %s", AFormatName);
      return false;
    }
  }
  AVFormatContext* ctx = AVFormatStubs.avformat_alloc_context();
  if (!ctx) {
    Report(plError, AVErrorText(AFileName, AVERROR(ENOMEM)));
    return false;
  }
  // No non-blocking flag: a file read that answers "try again" would pass for the end.
  const int r = OpenInputURL(&ctx, UnicodeFileURL(AFileName), fmt, nullptr);
  if (r < 0) {
    Report(plError, AVErrorText(AFileName, r));
    CloseFile();
    return false;
  }
  FFileHandle = ctx;
  FOwnHandle = true;
  if (AVFormatStubs.avformat_find_stream_info(ctx, nullptr) < 0) {
    CloseFile();
    FLastErrMsg = Format("%s: could not find codec parameters", AFileName);
    return false;
  }
  UpdateStreamCounts();
  FForceFormat = AFormatName;
  return true;
}

void TCustomAVProbe::SetFileHandle(AVFormatContext* AValue) {
  CheckLibraries();
  CloseFile();
  FOwnHandle = false;
  FFileHandle = AValue;
  UpdateStreamCounts();
}

void TCustomAVProbe::CloseFile() {
  FForceFormat.clear();
  FreeStreamContexts();
  if (FFileHandle) {
    if (FOwnHandle) CloseInputURL(&FFileHandle);
    FFileHandle = nullptr;
    FOwnHandle = false;
  }
  UpdateStreamCounts();
}

void TCustomAVProbe::FreeStreamContexts() {
  if (FStreamContexts.empty()) return;
  std::lock_guard g(CodecLock());
  for (AVCodecContext*& c : FStreamContexts) AVCodecStubs.avcodec_free_context(&c);
  FStreamContexts.clear();
}

AVCodecContext* TCustomAVProbe::StreamContext(int32_t i) const {
  return i >= 0 && static_cast<size_t>(i) < FStreamContexts.size() ? FStreamContexts[i] : nullptr;
}

void TCustomAVProbe::RenewStreamContext(int32_t i) {
  if (!FFileHandle || i < 0 || static_cast<size_t>(i) >= FStreamContexts.size()) return;
  AVCodecContext* c = AVCodecStubs.avcodec_alloc_context3(nullptr);
  if (c) {
    AVStream* st = FFileHandle->streams[i];
    AVCodecStubs.avcodec_parameters_to_context(c, st->codecpar);
    c->pkt_timebase = st->time_base;
    // Decoders opened here run on the user-interface thread: no worker threads of their own.
    c->thread_count = 1;
  }
  std::lock_guard g(CodecLock());
  AVCodecStubs.avcodec_free_context(&FStreamContexts[i]);
  FStreamContexts[i] = c;
}

void TCustomAVProbe::UpdateStreamCounts() {
  FFileSize = -1;
  FStreamCount = FProgramCount = -1;
  FAudioStreamCount = FVideoStreamCount = FSubtitleStreamCount = -1;
  FFirstAudioStreamIndex = FFirstVideoStreamIndex = FFirstSubtitleStreamIndex = -1;
  FreeStreamContexts();
  if (!FFileHandle) return;
  AVFormatContext* ctx = FFileHandle;
  const int64_t ioSize = ctx->pb ? AVFormatStubs.avio_size(ctx->pb) : -1;
  if (ioSize > 0) {
    FFileSize = ioSize;
  } else {
    const std::string name = DecodeFileURL(ctx->url ? ctx->url : "");
    FFileSize = FileExists(name) ? FileSizeOf(name) : ioSize;
  }
  FStreamCount = static_cast<int32_t>(ctx->nb_streams);
  FProgramCount = static_cast<int32_t>(ctx->nb_programs);
  FAudioStreamCount = FVideoStreamCount = FSubtitleStreamCount = 0;
  FStreamContexts.assign(ctx->nb_streams, nullptr);
  for (int32_t i = 0; i < FStreamCount; ++i) {
    RenewStreamContext(i);
    switch (ctx->streams[i]->codecpar->codec_type) {
      case AVMEDIA_TYPE_VIDEO:
        if (FVideoStreamCount++ == 0) FFirstVideoStreamIndex = i;
        break;
      case AVMEDIA_TYPE_AUDIO:
        if (FAudioStreamCount++ == 0) FFirstAudioStreamIndex = i;
        break;
      case AVMEDIA_TYPE_SUBTITLE:
        if (FSubtitleStreamCount++ == 0) FFirstSubtitleStreamIndex = i;
        break;
      default: break;
    }
  }
}

bool TCustomAVProbe::IsStreamOfType(int32_t AStreamIndex, int AType) {
  if (!CheckFile() || !CheckStreamIndex(AStreamIndex)) return false;
  return FFileHandle->streams[AStreamIndex]->codecpar->codec_type == AType;
}

bool TCustomAVProbe::IsAudioStream(int32_t i) { return IsStreamOfType(i, AVMEDIA_TYPE_AUDIO); }
bool TCustomAVProbe::IsVideoStream(int32_t i) { return IsStreamOfType(i, AVMEDIA_TYPE_VIDEO); }
bool TCustomAVProbe::IsSubtitleStream(int32_t i) { return IsStreamOfType(i, AVMEDIA_TYPE_SUBTITLE); }

std::string TCustomAVProbe::FileName() {
  if (!CheckFile()) return "";
  return DecodeFileURL(FFileHandle->url ? FFileHandle->url : "");
}

std::string TCustomAVProbe::FormatName() {
  if (!CheckFile()) return "";
  return FFileHandle->iformat && FFileHandle->iformat->name ? FFileHandle->iformat->name : "";
}

std::string TCustomAVProbe::FormatLongName() {
  if (!CheckFile()) return "";
  return FFileHandle->iformat && FFileHandle->iformat->long_name ? FFileHandle->iformat->long_name : "";
}

TFileStreamInfo TCustomAVProbe::FileStreamInfo() {
  TFileStreamInfo r;
  if (!CheckFile()) return r;
  AVFormatContext* ctx = FFileHandle;
  r.StartTime = ctx->start_time == AV_NOPTS_VALUE ? -1 : ctx->start_time;
  r.Duration = ctx->duration == AV_NOPTS_VALUE ? -1 : ctx->duration;
  r.BitRate = static_cast<int32_t>(std::min<int64_t>(ctx->bit_rate, INT32_MAX));
  // The libraries keep time stamp, year and track as tags now.
  r.TimeStamp = 0;
  const std::string created = MetadataValue(ctx->metadata, "creation_time");
  int64_t us = 0;
  if (!created.empty() && AVUtilStubs.av_parse_time(&us, created.c_str(), 0) == 0) r.TimeStamp = us / 1000000;
  std::string year = MetadataValue(ctx->metadata, "date");
  if (year.empty()) year = MetadataValue(ctx->metadata, "year");
  r.Year = LeadingNumber(year);
  r.Track = LeadingNumber(MetadataValue(ctx->metadata, "track"));
  r.Title = MetadataValue(ctx->metadata, "title");
  // Demuxers name the author "artist" now.
  r.Author = MetadataValue(ctx->metadata, "author", MetadataValue(ctx->metadata, "artist"));
  r.Copyright = MetadataValue(ctx->metadata, "copyright");
  r.Comment = MetadataValue(ctx->metadata, "comment");
  r.Album = MetadataValue(ctx->metadata, "album");
  r.Genre = MetadataValue(ctx->metadata, "genre");
  return r;
}

namespace {

// Start and duration of a stream in its time base and in microseconds.
void StreamTimes(AVStream* st, int64_t& AStart, int64_t& AStartUs, int64_t& ADur, int64_t& ADurUs) {
  if (st->time_base.den == 0) {
    st->time_base.den = st->time_base.num != 0 ? st->time_base.num : 1;
  }
  AStart = st->start_time;
  AStartUs = st->start_time == AV_NOPTS_VALUE ? -1 : AVUtilStubs.av_rescale_q(st->start_time, st->time_base, kMicroseconds);
  ADur = st->duration;
  ADurUs = st->duration == AV_NOPTS_VALUE ? -1 : AVUtilStubs.av_rescale_q(st->duration, st->time_base, kMicroseconds);
}

}  // namespace

TAudioStreamInfo TCustomAVProbe::FirstAudioStreamInfo() {
  TAudioStreamInfo r;
  if (!CheckFile()) return r;
  if (FFirstAudioStreamIndex < 0) {
    Report(plError, "no audio stream.");
    return r;
  }
  AVStream* st = FFileHandle->streams[FFirstAudioStreamIndex];
  const AVCodecParameters* p = st->codecpar;
  r.Language = MetadataValue(st->metadata, "language");
  r.CodecName = StreamDescription(StreamContext(FFirstAudioStreamIndex));
  StreamTimes(st, r.StartTime, r.StartTimeScaled, r.Duration, r.DurationScaled);
  r.BitRate = static_cast<int32_t>(std::min<int64_t>(p->bit_rate, INT32_MAX));
  r.Channels = p->ch_layout.nb_channels;
  r.SampleRate = p->sample_rate;
  r.SampleFormat = p->format;
  return r;
}

TVideoStreamInfo TCustomAVProbe::FirstVideoStreamInfo() {
  TVideoStreamInfo r;
  if (!CheckFile()) return r;
  if (FFirstVideoStreamIndex < 0) {
    Report(plError, "no video stream.");
    return r;
  }
  AVStream* st = FFileHandle->streams[FFirstVideoStreamIndex];
  const AVCodecParameters* p = st->codecpar;
  r.Language = MetadataValue(st->metadata, "language");
  r.CodecName = StreamDescription(StreamContext(FFirstVideoStreamIndex));
  StreamTimes(st, r.StartTime, r.StartTimeScaled, r.Duration, r.DurationScaled);
  r.BitRate = static_cast<int32_t>(std::min<int64_t>(p->bit_rate, INT32_MAX));
  r.Width = p->width;
  r.Height = p->height;
  r.PixFmt = p->format;
  // No height means no ratio (rather than a division by zero).
  if (p->height <= 0) r.AspectRatio = -1.0f;
  else if (p->sample_aspect_ratio.num == 0 || p->sample_aspect_ratio.den == 0) r.AspectRatio = 0.0f;
  else
    r.AspectRatio = static_cast<float>(static_cast<double>(p->width) * p->sample_aspect_ratio.num /
                                       p->sample_aspect_ratio.den / p->height);
  r.FrameRate = TAVRational{st->r_frame_rate.num, st->r_frame_rate.den};
  return r;
}

TSubtitleStreamInfo TCustomAVProbe::FirstSubtitleStreamInfo() {
  TSubtitleStreamInfo r;
  if (!CheckFile()) return r;
  if (FFirstSubtitleStreamIndex < 0) {
    Report(plError, "no subtitle stream.");
    return r;
  }
  AVStream* st = FFileHandle->streams[FFirstSubtitleStreamIndex];
  r.Language = MetadataValue(st->metadata, "language");
  r.CodecName = StreamDescription(StreamContext(FFirstSubtitleStreamIndex));
  return r;
}

namespace {

void MetadataBlock(std::vector<std::string>& ALines, AVDictionary* m, const std::string& AIndent) {
  std::vector<const AVDictionaryEntry*> tags;
  const AVDictionaryEntry* e = nullptr;
  while ((e = AVUtilStubs.av_dict_get(m, "", e, AV_DICT_IGNORE_SUFFIX))) tags.push_back(e);
  if (tags.empty() || (tags.size() == 1 && std::strcmp(tags[0]->key, "language") == 0)) return;
  ALines.push_back(AIndent + "Metadata:");
  for (const AVDictionaryEntry* t : tags) {
    if (std::strcmp(t->key, "language") == 0) continue;
    ALines.push_back(Format("%s  %-16s: %s", AIndent, ShownMetadataKey(t->key), t->value ? t->value : ""));
  }
}

}  // namespace

std::string TCustomAVProbe::StreamLine(int32_t i) {
  AVFormatContext* ctx = FFileHandle;
  AVStream* st = ctx->streams[i];
  const AVCodecParameters* p = st->codecpar;
  std::string line = Format("Stream #%d", i);
  if (ctx->iformat && (ctx->iformat->flags & AVFMT_SHOW_IDS)) line += CFormat("[0x%x]", st->id);
  const std::string lang = MetadataValue(st->metadata, "language");
  if (!lang.empty()) line += Format("(%s)", lang);
  int g = AVUtilStubs.av_gcd(st->time_base.num, st->time_base.den);
  if (g == 0) g = 1;
  line += Format(", %d/%d", st->time_base.num / g, st->time_base.den / g);
  char buf[256] = {};
  if (AVCodecContext* c = StreamContext(i)) AVCodecStubs.avcodec_string(buf, sizeof buf, c, 0);
  line += ": ";
  line += buf;
  const AVRational sar = st->sample_aspect_ratio;
  if (sar.num != 0 && av_cmp_q(sar, p->sample_aspect_ratio) != 0) {
    int dn = 0, dd = 0;
    AVUtilStubs.av_reduce(&dn, &dd, static_cast<int64_t>(p->width) * sar.num, static_cast<int64_t>(p->height) * sar.den,
                          1024 * 1024);
    line = Format("%s, PAR %d:%d DAR %d:%d", line, sar.num, sar.den, dn, dd);
  }
  if (p->codec_type == AVMEDIA_TYPE_VIDEO) {
    if (st->avg_frame_rate.num && st->avg_frame_rate.den) line += RateText(av_q2d(st->avg_frame_rate), "fps");
    if (st->r_frame_rate.num && st->r_frame_rate.den) line += RateText(av_q2d(st->r_frame_rate), "tbr");
    if (st->time_base.num && st->time_base.den) line += RateText(1 / av_q2d(st->time_base), "tbn");
    const AVCodecContext* c = StreamContext(i);
    if (c && c->time_base.num && c->time_base.den) line += RateText(1 / av_q2d(c->time_base), "tbc");
  }
  if (st->start_time != AV_NOPTS_VALUE)
    line += ", StartTime: " + SecondsText(AVUtilStubs.av_rescale_q(st->start_time, st->time_base, kMicroseconds));
  if (st->duration != AV_NOPTS_VALUE)
    line += ", Duration: " + FormatMicroseconds(AVUtilStubs.av_rescale_q(st->duration, st->time_base, kMicroseconds));
  else
    line += ", Duration: N/A";
  return line;
}

std::string TCustomAVProbe::FileInfoText() {
  if (!CheckFile()) return "";
  AVFormatContext* ctx = FFileHandle;
  const TFileStreamInfo info = FileStreamInfo();
  std::vector<std::string> lines;
  lines.push_back(Format("File Name: %s", FileName()));
  lines.push_back(Format("Format Name: %s", FormatName()));
  lines.push_back(Format("Format Long Name: %s", FormatLongName()));
  lines.push_back(Format("File Size: %s", FormatByteSize(FFileSize)));
  lines.push_back(info.Duration >= 0 ? Format("Duration: %s", FormatMicroseconds(info.Duration))
                                     : std::string("Duration: N/A"));
  if (info.StartTime >= 0) lines.push_back("StartTime: " + SecondsText(info.StartTime));
  lines.push_back(info.BitRate > 0 ? Format("Bit Rate: %d kb/s", info.BitRate / 1000) : std::string("Bit Rate: N/A"));
  if (info.TimeStamp > 0) {
    // Local date and time of the stamp.
    const time_t t = static_cast<time_t>(info.TimeStamp);
    struct tm tmv {};
    localtime_r(&t, &tmv);
    lines.push_back(Format("Time Stamp: %.4d-%.2d-%.2d %.2d:%.2d:%.2d", tmv.tm_year + 1900, tmv.tm_mon + 1,
                           tmv.tm_mday, tmv.tm_hour, tmv.tm_min, tmv.tm_sec));
  }
  MetadataBlock(lines, ctx->metadata, "");
  std::vector<bool> shown(ctx->nb_streams, false);
  auto addStream = [&](int32_t i) {
    lines.push_back(StreamLine(i));
    MetadataBlock(lines, ctx->streams[i]->metadata, "  ");
    shown[i] = true;
  };
  for (unsigned p = 0; p < ctx->nb_programs; ++p) {
    const AVProgram* prog = ctx->programs[p];
    // The provider and service names carry the service_ prefix in this library version.
    const std::string provider =
        MetadataValue(prog->metadata, "provider_name", MetadataValue(prog->metadata, "service_provider", "N/A"));
    const std::string name = MetadataValue(prog->metadata, "name", MetadataValue(prog->metadata, "service_name", "N/A"));
    lines.push_back(Format("Program %d %s@%s", prog->id, provider, name));
    MetadataBlock(lines, prog->metadata, "  ");
    for (unsigned k = 0; k < prog->nb_stream_indexes; ++k) {
      const unsigned i = prog->stream_index[k];
      if (i < ctx->nb_streams) addStream(static_cast<int32_t>(i));
    }
  }
  for (unsigned i = 0; i < ctx->nb_streams; ++i)
    if (!shown[i]) addStream(static_cast<int32_t>(i));
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}
