#pragma once
// The media probe: opens a media file with the libraries and answers questions about it
// (format, size, duration, programs, streams, tags, a text description), and the decoding
// probe, which also seeks, decodes pictures of a video stream, steps between key frames and
// copies the current picture into a bitmap.
//
// Failures are answered with false, -1 or an empty text, and the report's text is kept in
// LastErrMsg (and sent to the logger); only a missing library and decoding through an
// attached context raise.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Src/FFBaseComponent.h"
#include "classlib/Graphics.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVDictionary;
struct AVFrame;
struct AVPacket;
struct SwsContext;
// The picture-to-bitmap state (Src/FFPicture.h), kept out of this header so that its users do
// not see the libraries' headers.
struct TRGBConvertContext;
class TBitmap;

// The libraries' no-value marker for times.
constexpr int64_t AV_NoValue = INT64_MIN;

struct TAVRational {
  int32_t num = 0;
  int32_t den = 0;
};

enum TPictureType { ptUnknown, ptI, ptP, ptB, ptS, ptSI, ptSP, ptBI };

struct TFileStreamInfo {
  int64_t StartTime = -1;  // microseconds
  int64_t Duration = -1;   // microseconds
  int32_t BitRate = -1;
  int64_t TimeStamp = -1;  // seconds since 1970 ("creation_time"), 0 when the file has none
  int32_t Year = -1;       // from "date" or "year", 0 when none
  int32_t Track = -1;      // from "track", 0 when none
  std::string Title, Author, Copyright, Comment, Album, Genre;
};

struct TAudioStreamInfo {
  std::string Language, CodecName;
  int64_t StartTime = -1, StartTimeScaled = -1, Duration = -1, DurationScaled = -1;
  int32_t BitRate = -1, Channels = -1, SampleRate = -1, SampleFormat = -1;
};

struct TVideoStreamInfo {
  std::string Language, CodecName;
  int64_t StartTime = -1, StartTimeScaled = -1, Duration = -1, DurationScaled = -1;
  int32_t BitRate = -1, Height = -1, Width = -1;
  float AspectRatio = -1.0f;  // display aspect ratio; 0 without a sample aspect ratio
  int32_t PixFmt = -1;
  TAVRational FrameRate;  // the stream's base frame rate
};

struct TSubtitleStreamInfo {
  std::string Language, CodecName;
};

// The probe's log levels, as the libraries number them.
enum : int { plError = 16, plWarning = 24, plInfo = 32, plDebug = 48 };

class TCustomAVProbe : public TFFBaseComponent {
public:
  explicit TCustomAVProbe(TComponent* AOwner);
  ~TCustomAVProbe() override;

  bool LoadAVLib(const std::string& APath = "");
  bool AVLibLoaded() const;
  void UnloadAVLib();

  // Opens AFileName (UTF-8), with the named input format when AFormatName is not empty.
  bool LoadFile(const std::string& AFileName, const std::string& AFormatName = "");
  virtual void CloseFile();
  // Attaches a context opened by someone else; the probe never closes it.
  virtual void SetFileHandle(AVFormatContext* AValue);
  AVFormatContext* FileHandle() const { return FFileHandle; }

  bool IsAudioStream(int32_t AStreamIndex);
  bool IsVideoStream(int32_t AStreamIndex);
  bool IsSubtitleStream(int32_t AStreamIndex);

  const std::string& LastErrMsg() const { return FLastErrMsg; }
  const std::string& ForceFormat() const { return FForceFormat; }
  int64_t FileSize() const { return FFileSize; }
  int32_t StreamCount() const { return FStreamCount; }
  int32_t ProgramCount() const { return FProgramCount; }
  int32_t AudioStreamCount() const { return FAudioStreamCount; }
  int32_t VideoStreamCount() const { return FVideoStreamCount; }
  int32_t SubtitleStreamCount() const { return FSubtitleStreamCount; }
  int32_t FirstAudioStreamIndex() const { return FFirstAudioStreamIndex; }
  int32_t FirstVideoStreamIndex() const { return FFirstVideoStreamIndex; }
  int32_t FirstSubtitleStreamIndex() const { return FFirstSubtitleStreamIndex; }

  std::string FileName();
  std::string FormatName();
  std::string FormatLongName();
  TFileStreamInfo FileStreamInfo();
  std::string FileInfoText();
  TAudioStreamInfo FirstAudioStreamInfo();
  TVideoStreamInfo FirstVideoStreamInfo();
  TSubtitleStreamInfo FirstSubtitleStreamInfo();

protected:
  virtual void UpdateStreamCounts();
  // Raises Exception "LibAVCodec not loaded." and kin for the first library not bound.
  void CheckLibraries() const;
  // Logs AText at the library level ALevel and keeps it as LastErrMsg.
  void Report(int ALevel, const std::string& AText);
  bool CheckFile();
  bool CheckStreamIndex(int32_t AStreamIndex);
  // The probe's own decoder context of stream i, made from the stream's parameters.
  AVCodecContext* StreamContext(int32_t i) const;
  // Replaces stream i's context by a fresh one (a closed decoder context cannot be reopened).
  void RenewStreamContext(int32_t i);

  AVFormatContext* FFileHandle = nullptr;
  bool FOwnHandle = false;
  std::string FLastErrMsg;
  std::string FForceFormat;
  int64_t FFileSize = -1;
  int32_t FStreamCount = -1, FProgramCount = -1;
  int32_t FAudioStreamCount = -1, FVideoStreamCount = -1, FSubtitleStreamCount = -1;
  int32_t FFirstAudioStreamIndex = -1, FFirstVideoStreamIndex = -1, FFirstSubtitleStreamIndex = -1;

private:
  bool IsStreamOfType(int32_t AStreamIndex, int AType);
  std::string StreamLine(int32_t i);
  void FreeStreamContexts();

  std::vector<AVCodecContext*> FStreamContexts;
  bool FLibLoaded = false;
};

// The published probe.
class TFFProbe : public TCustomAVProbe {
public:
  using TCustomAVProbe::TCustomAVProbe;
};

struct TFrameInfo {
  int32_t PixFmt = -1;
  int32_t Width = -1, Height = -1;
  bool IsKeyFrame = false;
  TPictureType PictureType = ptUnknown;
  int64_t PTS = AV_NoValue;  // microseconds from the stream's start
  int64_t OriginalDTS = AV_NoValue, OriginalPTS = AV_NoValue;  // the stream's time base
  int32_t StreamIndex = -1;
  int64_t Position = -1;  // byte position of the I/O layer before the packet was read
  bool Ready = false;
  uint8_t* PictureData[4] = {};  // the picture laid over Buffer
  int32_t PictureLineSize[4] = {};
  uint8_t* Buffer = nullptr;  // owned, grown as needed
  int32_t Size = 0;           // bytes allocated: the packed picture and the padding after it
};

class TAVProbe : public TCustomAVProbe {
public:
  explicit TAVProbe(TComponent* AOwner);
  ~TAVProbe() override;

  void CloseFile() override;

  // APTS: microseconds, or a byte position with sfByte.
  bool Seek(int64_t APTS, TSeekFlags ASeekFlags = {});
  // A negative index: the stream being decoded, else the first video stream.
  bool Decode(int32_t AStreamIndex = -1);
  bool DecodeNextKeyFrame(int32_t AStreamIndex = -1);
  bool DecodePreviousKeyFrame(int32_t AStreamIndex = -1);
  bool DecodePreviousFrame(int32_t AStreamIndex = -1);
  // ABitmap becomes a 24-bit copy of the current picture; when the conversion fails it is
  // filled black at the picture's size and the result is false.
  bool CopyToBitmap(TBitmap* ABitmap);

  bool Eof() const { return FEOF; }  // the end of the file was reached
  const TFrameInfo& FrameInfo() const { return FPicture; }
  int64_t Position() const;

protected:
  void UpdateStreamCounts() override;

private:
  bool OwnFileTest();
  int32_t ChooseStream(int32_t AStreamIndex);
  bool OpenDecoder(int32_t i);
  void CloseDecoder();
  void ResetFrameInfo();
  bool IsSinglePicture() const;
  // Takes the next picture the decoder has ready; false when it needs input.
  bool ReceivePicture(int64_t APos);
  void StorePicture(const AVFrame* AFrame, int64_t APos);
  bool ReadAndDecode();

  AVCodecContext* FCodec = nullptr;
  int32_t FCodecIndex = -1;
  int32_t FSeekIndex = -1;
  int64_t FStartTime = -1;
  int32_t FDecodeIndex = -1;
  bool FEOF = false;
  bool FDraining = false;
  TFrameInfo FPicture;
  int64_t FLastPTS = AV_NoValue;
  int64_t FLastPos = -1;
  AVFrame* FFrame = nullptr;
  // The picture as a bitmap: the scaler, its 24-bit output and the bitmap made from it.
  std::unique_ptr<TRGBConvertContext> FRGBContext;  // picture-to-bitmap conversion state
};

// The metadata key shown in the information text for a tag key (ID3 frame names become
// their plain names; other keys are unchanged).
std::string ShownMetadataKey(const std::string& AKey);
