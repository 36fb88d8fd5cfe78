#pragma once
// Time, error and codec texts of the media libraries, the generic option store and metadata
// lookup. Requires the libraries of the caller's set to be loaded.
#include <cstdint>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/dict.h>
#include <libavutil/rational.h>
}

struct SwsContext;
struct AVFormatContext;

// "N/A" for the no-value marker, else "%.2d:%.2d:%.2d.%.3d" (hours not limited to 24);
// a negative time gets a sign before its absolute value.
std::string FormatMicroseconds(int64_t AValue);
// 1000000 * den / num, truncated; 40000 when either is 0.
int64_t FrameDuration(AVRational ARate);
// APrefix + ": " + the text of the error code (the libraries' codes compared by symbol).
std::string AVErrorText(const std::string& APrefix, int32_t ACode);

// "Video", "Audio", "Data", "Subtitle", "Attachment" for 0..4, else "Unknown".
std::string MediaTypeName(int32_t AType);
// The first tag with exactly that key, or ADefault.
std::string GetMetadataValue(const AVDictionary* AMetadata, const std::string& AKey, const std::string& ADefault);
// "name(long name)" of the encoder or decoder for the codec id; for an unknown codec "mpeg2ts"
// (the transport-stream pseudo codec), the printable tag "abcd / 0x64636261", or "0x%04x".
std::string CodecDescription(AVCodecID ACodecID, uint32_t ACodecTag, bool AEncoder);
std::string CodecDescription(const AVCodecContext* ACodecCtx, bool AEncoder);

// Reads a whole file into a zero-terminated library buffer (free it with av_free).
// ASize := bytes read + 1. Returns 0, -1 when the file cannot be opened or sized, or
// AVERROR(ENOMEM) / AVERROR(EFBIG) when it cannot be held.
int32_t ReadFileToBuffer(const std::string& AFileName, uint8_t*& ABuffer, int32_t& ASize);

// Generic library options collected by name before the real contexts exist.
struct TFFOptions {
  const char** opt_names = nullptr;  // owned copies (av_strdup)
  int32_t opt_name_count = 0;
  AVCodecContext* avcodec_opts[5] = {};  // video, audio, data, subtitle, attachment
  AVFormatContext* avformat_opts = nullptr;
  SwsContext* sws_opts = nullptr;
  // Options of a chosen encoder's own (private) class, for avcodec_open2.
  AVDictionary* private_opts = nullptr;
};

void InitFFOptions(TFFOptions& AOptions);
void AllocFFOptions(TFFOptions& AOptions, int32_t ASwsFlags);
void FreeFFOptions(TFFOptions& AOptions);
// Sets a generic codec, format or scaler option; when none knows the name and AEncoder is
// given, the encoder's private options are tried (kept in private_opts). A refused value is
// logged as "Invalid value \"v\" for option \"n\"" and gives false; an unknown name gives
// false without a message.
// With ARefused, it tells a refused value (true) from a name no context knows (false).
bool SetFFOption(TFFOptions& AOptions, const std::string& AName, const std::string& AValue,
                 const AVCodec* AEncoder = nullptr, bool* ARefused = nullptr);
// Copies every collected option whose flags contain all of AFlags from AOptsCtx into ACtx
// (the video bitrate "b" only into video contexts).
void ApplyFFOptions(TFFOptions& AOptions, void* ACtx, void* AOptsCtx, int32_t AFlags);
