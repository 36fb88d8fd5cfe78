#pragma once
// The "unicode" URL protocol: a file name handed to the libraries as "unicode:utf8:" followed
// by the name in UTF-8 is opened, read, written and sought by our own code through a custom
// I/O context, so the libraries never interpret the name themselves.
//
// The probe, the engine and the player open their inputs with OpenInputURL/CloseInputURL and
// their outputs with OpenOutputURL/CloseOutputURL; these take any name and use the custom
// I/O only for "unicode:" names.
//
// Open flags are taken by meaning: an open for reading only never creates or truncates the
// file; an open for writing creates it or empties it. Reading past the end gives AVERROR_EOF.
#include <cstdint>
#include <functional>
#include <string>

struct AVFormatContext;
struct AVInputFormat;
struct AVIOContext;
struct AVDictionary;

// "unicode:utf8:"
extern const char* const UnicodeURLPrefix;

bool NeedsUnicodeURL(const std::string& AFileName);
// "unicode:utf8:" + AFileName when NeedsUnicodeURL, else AFileName. No length limit.
std::string UnicodeFileURL(const std::string& AFileName);
// True when the name is longer than the prefix and starts with it.
bool IsUnicodeURL(const std::string& AName);
// The file name inside a "unicode:" name; any other name unchanged.
std::string DecodeFileURL(const std::string& AName);

// Makes the protocol available; repeated calls change nothing. The loader calls it once
// libavformat is bound.
void RegisterUnicodeProtocol();
bool UnicodeProtocolRegistered();

// The text is UTF-8 throughout, so the code page's round trip changes nothing. Tests replace
// it to reach the branch where a character would be lost; nullptr restores the identity.
using TCodePageRoundTrip = std::function<std::string(const std::string&)>;
void SetCodePageRoundTrip(TCodePageRoundTrip AConverter);

// The protocol's operations over one open file (opaque = the handle from UnicodeOpen).
// AFlags are AVIO_FLAG_READ / AVIO_FLAG_WRITE. Failures are AVERROR(errno).
int UnicodeOpen(void** AHandle, const std::string& AURL, int AFlags) noexcept;
int UnicodeRead(void* AHandle, uint8_t* ABuf, int ASize) noexcept;
int UnicodeWrite(void* AHandle, uint8_t* ABuf, int ASize) noexcept;
// AWhence: SEEK_SET/SEEK_CUR/SEEK_END, optionally with AVSEEK_FORCE; AVSEEK_SIZE asks for the size.
int64_t UnicodeSeek(void* AHandle, int64_t APos, int AWhence) noexcept;
int UnicodeClose(void* AHandle) noexcept;

// A custom I/O context over the protocol for a "unicode:" name. Requires libavformat bound.
int OpenUnicodeIO(AVIOContext** APB, const std::string& AURL, int AFlags);
// Flushes, closes the file and frees the context; *APB becomes nullptr.
void CloseUnicodeIO(AVIOContext** APB);
bool IsUnicodeIO(const AVIOContext* APB);
// Closes the descriptor of a reading context of ours until its next read or seek.
void SuspendUnicodeIO(AVIOContext* APB);

// avformat_open_input for any name; *ACtx may be pre-allocated (interrupt callback, flags).
// On failure *ACtx is nullptr and nothing is left open. Returns 0 or an AVERROR code.
int OpenInputURL(AVFormatContext** ACtx, const std::string& AURL, const AVInputFormat* AFormat,
                 AVDictionary** AOptions);
// avformat_close_input, then closes the custom I/O when there was one.
void CloseInputURL(AVFormatContext** ACtx);
// Opens ACtx->pb for writing to AURL (for a muxer that needs a file).
int OpenOutputURL(AVFormatContext* ACtx, const std::string& AURL, AVDictionary** AOptions);
// Closes ACtx->pb, whichever way it was opened.
void CloseOutputURL(AVFormatContext* ACtx);
