#include "app/catalogue/OutputRecord.h"

#include "base/Text.h"

namespace catalogue {

namespace {

// The number in a field's text; a text that is no number leaves the record's default.
void SetNumber(const std::string& AText, int32_t& AField) {
  int32_t v = 0;
  if (TryStrToInt(Trim(AText), v)) AField = v;
}

}  // namespace

TOutputOptions OutputRecordOfFields(const TConversionFields& F) {
  TOutputOptions o;
  InitOutputOptions(o);
  if (F.Video_VideoCodec == "libx264") {
    o.VideoCodec = "libx264";
    o.VideoPreset = "libx264-default";
  } else if (!F.Video_VideoCodec.empty()) {
    o.VideoCodec = F.Video_VideoCodec;
  }
  if (!F.Video_AudioCodec.empty() && F.Video_AudioCodec != "AUTO") o.AudioCodec = F.Video_AudioCodec;
  if (!F.Video_FrameRate.empty()) o.FrameRate = F.Video_FrameRate;
  o.DisableVideo = F.Video_DisableVideo;
  if (!F.Video_AudioChannels.empty()) SetNumber(F.Video_AudioChannels, o.AudioChannels);
  if (!F.Video_AudioSampleRate.empty() && F.Video_AudioSampleRate != "AUTO")
    SetNumber(F.Video_AudioSampleRate, o.AudioSampleRate);
  if (!F.Video_FrameSize.empty()) o.FrameSize = F.Video_FrameSize;
  if (!F.Video_TargetType.empty()) {
    if (F.Video_TargetType == "vcd")
      o.TargetType = ttVCD;
    else if (F.Video_TargetType == "svcd")
      o.TargetType = ttSVCD;
    else if (F.Video_TargetType == "dvd")
      o.TargetType = ttDVD;
    else
      o.TargetType = ttIgnore;
  }
  o.NormType = F.Video_NormType == "PAL" ? ntPAL : F.Video_NormType == "NTSC" ? ntNTSC : ntAuto;
  if (F.Video_AudioVolume == "256")
    o.AudioVolume = 256;
  else
    SetNumber(F.Video_AudioVolume, o.AudioVolume);
  if (!F.Video_FrameAspectRatio.empty()) o.FrameAspectRatio = F.Video_FrameAspectRatio;
  if (F.Video_AudioBitrate != -1000 && F.Video_AudioBitrate != -2000) o.AudioBitrate = F.Video_AudioBitrate;
  if (!F.Video_FileFormat.empty()) o.FileFormat = F.Video_FileFormat;
  if (!F.Video_VideoFilters.empty()) o.VideoFilters = F.Video_VideoFilters;
  if (!F.Video_VideoTag.empty()) o.VideoTag = F.Video_VideoTag;
  if (F.Video_VideoBitrate != -1000) o.VideoBitrate = F.Video_VideoBitrate;
  return o;
}

}  // namespace catalogue
