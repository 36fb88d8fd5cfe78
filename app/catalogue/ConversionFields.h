#pragma once
// The main window's conversion fields: the settings of the next conversion, filled from the
// chosen format's parameters and the six presets, and copied into the job row.
#include <array>
#include <cstdint>
#include <string>

namespace catalogue {

struct TConversionFields {
  std::string Video_OutPutFileName;   // full output path of the input in Video_AddFileName
  std::string Video_AddFileName;      // last input added; Reset leaves it alone
  std::string Video_FileExt;          // ".wmv"; may differ from the output file's extension
  std::string Video_AudioChannels;    // "1", "2" or empty
  std::string Video_AudioSampleRate;  // Hz as text, "AUTO" or empty
  std::string Video_FrameSize;        // "640*480" or empty (keep)
  std::string Video_FrameRate;        // "25", "29.97" or empty (keep)
  std::string Video_NormType;         // "PAL", "NTSC" or empty
  std::string Video_VideoFilters;
  std::string Video_AudioVolume = "256";  // "256" leaves the volume unchanged
  std::string Video_FrameAspectRatio;     // "4:3", "16:9", "37:20", "47:20" or empty
  std::string Video_VideoCodec;
  std::string Video_AudioCodec;
  std::string Video_CopyTimestamp;
  std::string Video_FileFormat;       // container to force ("asf") or empty
  std::string Video_TargetType;       // "vcd", "svcd", "dvd" or empty
  std::string Video_VideoTag;         // "XVID", "DX50" or empty
  int32_t Video_VideoBitrate = -1;    // bit/s; -1 unset, -1000 none
  int32_t Video_AudioBitrate = -1;    // bit/s; -1 unset, -1000 / -2000 none
  int32_t Video_TimeStart = -1;
  int32_t Video_TimeLength = -1;
  bool Video_DisableVideo = false;    // the format writes audio only

  // Every field back to its reset value, except Video_AddFileName.
  void Reset();
};

// Texts of job-row sub-items 10..23 (codecs, channels, tag, extension, size, bitrates, rates,
// aspect, "True"/"False" for audio only, target and norm), in that order.
constexpr int kFirstConversionCell = 10;
std::array<std::string, 14> JobRowConversionCells(const TConversionFields& f);

}  // namespace catalogue
