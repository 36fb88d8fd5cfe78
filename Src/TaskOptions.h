#pragma once
// The option records that describe a task's input and output files, and the event records
// the task component hands to its owner. Plain values: copying one copies its strings.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TObject;
class TBitmap;

// The libraries' no-value marker for time values.
constexpr int64_t NoTimeValue = INT64_MIN;

enum TOptionTargetType { ttIgnore, ttVCD, ttSVCD, ttDVD };
enum TOptionNormType { ntAuto, ntPAL, ntNTSC };
// The norms that can stand for "auto" when nothing better is known: ntPAL or ntNTSC.
using TOptionNormDefault = TOptionNormType;

struct TInputOptions {
  std::string FileName;            // filled from the file name argument when empty
  std::string FileFormat;          // forced input format; empty = detect
  int64_t TimeStart = NoTimeValue; // microseconds; 0 starts at the beginning
  int32_t ProgramID = -1;          // negative = none
  std::string ExtOptions;          // name=value lines
  int32_t Tag = 0;
  void* Data = nullptr;
};
using PInputOptions = TInputOptions*;

struct TStreamInfo {
  double TimeStamp = -1.0;  // days since 1899-12-30, local time; -1 none, 0 the time of conversion
  int32_t Year = -1;
  int32_t Track = -1;
  std::string Title, Author, Copyright, Comment, Album, Genre;
};

// Numbers at -1 and empty strings leave the engine's own default in force.
struct TOutputOptions {
  std::string FileName;
  std::string FileExt;
  std::string FileFormat;
  int32_t PacketSize = -1;
  int32_t MuxRate = -1;
  float MuxDelay = -1.0f;
  float MuxPreload = -1.0f;
  std::string AudioCodec;
  std::string AudioPreset;
  bool DisableAudio = false;
  int32_t AudioVolume = -1;  // 256 = unchanged
  int32_t AudioChannels = -1;
  int32_t AudioSampleRate = -1;
  int32_t AudioBitrate = -1;
  int32_t AudioBitRateTolerance = -1;
  std::string AudioLanguage;
  int32_t AudioSyncMethod = 0;  // 0 = none
  std::string AudioTag;
  std::string VideoCodec;
  std::string VideoPreset;
  bool DisableVideo = false;
  std::string FrameRate;
  std::string FrameSize;
  std::string FrameAspectRatio;
  int32_t CropTop = -1;
  int32_t CropBottom = -1;
  int32_t CropLeft = -1;
  int32_t CropRight = -1;
  int32_t GroupPictureSize = -1;
  int32_t VideoBitrate = -1;
  int32_t VideoMaxRate = -1;
  int32_t VideoMinRate = -1;
  int32_t VideoBitRateTolerance = -1;
  int32_t VideoBufSize = -1;
  int32_t VideoSyncMethod = -1;  // -1 = automatic
  std::string VideoTag;
  std::string VideoFilters;
  std::string VideoLanguage;
  std::string SubtitleCodec;
  std::string SubtitlePreset;
  bool DisableSubtitle = false;
  std::string SubtitleLanguage;
  bool InputSync = false;
  bool CopyTimestamp = false;
  int64_t TimeStart = NoTimeValue;
  int64_t TimeLength = NoTimeValue;
  TStreamInfo Info;
  TOptionTargetType TargetType = ttIgnore;
  TOptionNormType NormType = ntAuto;
  TOptionNormDefault NormDefault = ntPAL;
  bool CustomHook = false;
  bool Join = false;
  std::string ExtOptions;
  int32_t Tag = 0;
  void* Data = nullptr;
};
using POutputOptions = TOutputOptions*;

struct TProgressInfo {
  int32_t TaskIndex = 0;
  int32_t FileIndex = 0;
  int32_t FrameNumber = 0;
  int32_t FPS = 0;
  float Quality = 0;        // -1 when the video stream is copied
  float BitRate = 0;        // kbit/s
  int64_t CurrentSize = 0;  // bytes
  int64_t CurrentDuration = 0;
  int64_t TotalDuration = 0;  // -1 when unknown
};
using PProgressInfo = TProgressInfo*;

struct TTerminateInfo {
  int32_t TaskIndex = 0;  // -1 in the final event of a run
  bool Finished = false;
  bool Exception = false;
  std::string ExceptionMsg;
};

struct TPreviewInfo {
  int32_t TaskIndex = 0;
  TBitmap* Bitmap = nullptr;  // owned by the engine, valid during the event only
  int32_t FrameNumber = 0;
  int64_t PTS = 0;
};

struct THookInfo {
  int32_t TaskIndex = 0;
  TBitmap* Bitmap = nullptr;
  int32_t FrameNumber = 0;
  int64_t PTS = 0;
  bool Update = false;    // set by the handler when it changed the bitmap
  bool StopHook = false;  // set by the handler to stop the hook for this task
};
using PHookInfo = THookInfo*;

using TProgressEvent = std::function<void(TObject* Sender, PProgressInfo AProgressInfo)>;
using TTerminateEvent = std::function<void(TObject* Sender, const TTerminateInfo& ATerminateInfo)>;
using TPreviewBitmapEvent = std::function<void(TObject* Sender, const TPreviewInfo& APreviewInfo)>;
using TCustomHookEvent = std::function<void(TObject* Sender, PHookInfo AHookInfo)>;

void InitInputOptions(TInputOptions& AOptions);
void InitOutputOptions(TOutputOptions& AOptions);

// One name=value entry of an ExtOptions text.
struct TExtOption {
  std::string Name;
  std::string Value;
};
// Splits an ExtOptions text into its entries: line breaks of any kind or the text "<CRLF>"
// separate them; blanks around the whole text are ignored; the name is the text before the
// first "=" (trimmed), the value the rest. Empty lines are skipped; a line without "=" is an
// entry with an empty value.
std::vector<TExtOption> ParseExtOptions(const std::string& AText);
