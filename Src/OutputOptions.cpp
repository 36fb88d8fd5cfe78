#include "Src/OutputOptions.h"

#include <cmath>
#include <ctime>

#include "Src/FFmpeg.h"
#include "Src/FFmpegLogger.h"
#include "Src/FFmpegPresets.h"
#include "Src/MyUtils.h"
#include "base/Format.h"
#include "base/StringList.h"
#include "base/Text.h"

namespace {

// The stream options of the defaults list; "vfilters" is entered as "vf".
constexpr const char* kStreamOptions[] = {"acodec", "vcodec", "scodec", "apre", "vpre", "spre", "s", "vf"};

bool IsStreamOption(const std::string& AName) {
  for (const char* n : kStreamOptions)
    if (AName == n) return true;
  return false;
}

bool IsOneOf(const std::string& AName, std::initializer_list<const char*> ANames) {
  for (const char* n : ANames)
    if (AName == n) return true;
  return false;
}

void DispatchNotEmpty(TCustomFFmpeg& AEngine, const std::string& AName, const std::string& AValue) {
  if (!AValue.empty()) AEngine.DispatchOption(AName, AValue);
}

}  // namespace

std::vector<std::string> NormaliseOptionText(const std::string& AText) {
  std::string text = Trim(AText);
  text = StringReplace(text, "\r\n", "\n", rfReplaceAll);
  text = StringReplace(text, "\r", "\n", rfReplaceAll);
  text = StringReplace(text, "<CRLF>", "\n", rfReplaceAll);
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos <= text.size()) {
    const size_t end = text.find('\n', pos);
    std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    if (!line.empty()) lines.push_back(std::move(line));
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  return lines;
}

std::vector<TOptionLine> SplitOptionText(const std::string& AText) {
  std::vector<TOptionLine> result;
  for (const std::string& line : NormaliseOptionText(AText)) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos)
      result.push_back({LowerCase(line), std::string()});
    else
      result.push_back({LowerCase(line.substr(0, eq)), line.substr(eq + 1)});
  }
  return result;
}

void ApplyExtOptions(TCustomFFmpeg& AEngine, const std::string& AText, bool AWithCodecs) {
  for (const TOptionLine& line : SplitOptionText(AText)) {
    if (IsOneOf(line.Name, {"newvideo", "newaudio", "newsubtitle", "apre", "vpre", "spre", "vfilters", "vf"})) continue;
    if (!AWithCodecs && IsOneOf(line.Name, {"acodec", "vcodec", "scodec", "s"})) continue;
    AEngine.DispatchOption(line.Name, line.Value);
  }
}

void CollectStreamDefaults(TStrings& AList, const TOutputOptions& AOptions) {
  AList.SetValues("def_acodec", AOptions.AudioCodec);
  AList.SetValues("def_vcodec", AOptions.VideoCodec);
  AList.SetValues("def_scodec", AOptions.SubtitleCodec);
  AList.SetValues("def_apre", AOptions.AudioPreset);
  AList.SetValues("def_vpre", AOptions.VideoPreset);
  AList.SetValues("def_spre", AOptions.SubtitlePreset);
  AList.SetValues("def_s", AOptions.FrameSize);
  AList.SetValues("def_vf", AOptions.VideoFilters);
  for (const TOptionLine& line : SplitOptionText(AOptions.ExtOptions)) {
    const std::string name = line.Name == "vfilters" ? std::string("vf") : line.Name;
    if (!IsStreamOption(name) || line.Value.empty()) continue;
    if (AList.Values("def_" + name).empty()) AList.SetValues("def_" + name, line.Value);
    AList.Add(name + "=" + line.Value);
  }
}

void MapTargetOptions(TCustomFFmpeg& AEngine, const TOutputOptions& AOptions) {
  const char* target = nullptr;
  switch (AOptions.TargetType) {
    case ttVCD: target = "vcd"; break;
    case ttSVCD: target = "svcd"; break;
    case ttDVD: target = "dvd"; break;
    default: return;
  }
  // An automatic norm is found from the frame rates; NormDefault decides when they tell nothing.
  const char* norm = AOptions.NormType == ntPAL ? "pal" : AOptions.NormType == ntNTSC ? "ntsc" : "auto";
  SetTarget(AEngine, target, norm, AOptions.NormDefault == ntNTSC ? "ntsc" : "pal");
}

namespace {

// A disc target is a fixed standard that players rely on: its size, rates and channels win
// over the record's (the presets').
bool KeepsTargetRates(TCustomFFmpeg& AEngine, const TOutputOptions& O) {
  if (O.TargetType == ttIgnore) return false;
  if (O.AudioChannels > 0 || O.AudioSampleRate > 0 || O.AudioBitrate > 0 || !O.FrameRate.empty() ||
      O.VideoBitrate > 0 || !O.FrameSize.empty())
    GetFFLogger()->Log(&AEngine, llInfo,
                       "The output is a disc target: its standard frame size, rates and channels are kept and the "
                       "preset's do not apply");
  return true;
}

}  // namespace

void MapOutputOptions(TCustomFFmpeg& AEngine, const TOutputOptions& O) {
  // Dates end with the year 9999; a later one (or no number at all) is refused before anything
  // reaches the engine.
  constexpr double kEndOfDates = 2958466.0;
  if (std::isnan(O.Info.TimeStamp) || O.Info.TimeStamp >= kEndOfDates)
    throw FFmpegException(Format("Invalid %s specification for %s: %s", "date", "timestamp", FloatToStr(O.Info.TimeStamp)));
  const bool target = O.TargetType != ttIgnore;
  DispatchNotEmpty(AEngine, "f", O.FileFormat);
  if (O.PacketSize > 0) AEngine.SetAVOptionInt("packetsize", O.PacketSize);
  if (O.MuxRate > 0) AEngine.SetAVOptionInt("muxrate", O.MuxRate);
  AEngine.SetMuxMaxDelay(O.MuxDelay);
  AEngine.SetMuxPreload(O.MuxPreload);

  if (O.DisableAudio) AEngine.Faudio_disable = true;
  AEngine.SetAudioVolume(O.AudioVolume);
  if (O.AudioChannels > 0 && !target) AEngine.DispatchOption("ac", IntToStr(O.AudioChannels));
  if (O.AudioSampleRate > 0 && !target) AEngine.DispatchOption("ar", IntToStr(O.AudioSampleRate));
  // Straight to the option store: the record's bitrates are meant, so no low-bitrate warning.
  if (O.AudioBitrate > 0 && !target) AEngine.SetAVOptionInt("ab", O.AudioBitrate);
  if (O.AudioBitRateTolerance > 0) AEngine.SetAVOptionInt("abt", O.AudioBitRateTolerance);
  AEngine.Faudio_language = O.AudioLanguage;
  AEngine.SetAudioSyncMethod(O.AudioSyncMethod);
  DispatchNotEmpty(AEngine, "atag", O.AudioTag);

  if (O.DisableVideo) AEngine.Fvideo_disable = true;
  if (!target) DispatchNotEmpty(AEngine, "r", O.FrameRate);
  DispatchNotEmpty(AEngine, "aspect", O.FrameAspectRatio);
  if (O.CropTop > 0) AEngine.DispatchOption("croptop", IntToStr(O.CropTop));
  if (O.CropBottom > 0) AEngine.DispatchOption("cropbottom", IntToStr(O.CropBottom));
  if (O.CropLeft > 0) AEngine.DispatchOption("cropleft", IntToStr(O.CropLeft));
  if (O.CropRight > 0) AEngine.DispatchOption("cropright", IntToStr(O.CropRight));
  if (O.GroupPictureSize > 0) AEngine.SetAVOptionInt("g", O.GroupPictureSize);
  if (O.VideoBitrate > 0 && !target) AEngine.SetAVOptionInt("vb", O.VideoBitrate);
  if (O.VideoMaxRate > 0) AEngine.SetAVOptionInt("maxrate", O.VideoMaxRate);
  if (O.VideoMinRate > 0) AEngine.SetAVOptionInt("minrate", O.VideoMinRate);
  if (O.VideoBitRateTolerance > 0) AEngine.SetAVOptionInt("bt", O.VideoBitRateTolerance);
  if (O.VideoBufSize > 0) AEngine.SetAVOptionInt("bufsize", O.VideoBufSize);
  AEngine.SetVideoSyncMethod(O.VideoSyncMethod);
  DispatchNotEmpty(AEngine, "vtag", O.VideoTag);
  AEngine.Fvideo_language = O.VideoLanguage;

  if (O.DisableSubtitle) AEngine.Fsubtitle_disable = true;
  AEngine.Fsubtitle_language = O.SubtitleLanguage;

  AEngine.Finput_sync = O.InputSync;
  if (O.CopyTimestamp) AEngine.Fcopy_ts = true;
  AEngine.SetStartTime(O.TimeStart);
  AEngine.SetRecordingTime(O.TimeLength);

  if (O.Info.TimeStamp == 0)
    AEngine.Frecording_timestamp = static_cast<int64_t>(std::time(nullptr));
  else if (O.Info.TimeStamp > 0)
    AEngine.Frecording_timestamp = LocalDateTimeToUnix(O.Info.TimeStamp);
  if (O.Info.Year > 0) AEngine.AddMetadata("year", IntToStr(O.Info.Year));
  if (O.Info.Track > 0) AEngine.AddMetadata("track", IntToStr(O.Info.Track));
  const std::pair<const char*, const std::string*> texts[] = {
      {"title", &O.Info.Title},     {"author", &O.Info.Author}, {"copyright", &O.Info.Copyright},
      {"comment", &O.Info.Comment}, {"album", &O.Info.Album},   {"genre", &O.Info.Genre}};
  for (const auto& [key, value] : texts)
    if (!value->empty()) AEngine.AddMetadata(key, *value);
}

void ApplyOutputRecord(TCustomFFmpeg& AEngine, const TOutputOptions& AOptions, TStrings& AList) {
  CollectStreamDefaults(AList, AOptions);
  // The target first, so that everything after it can override what it set.
  MapTargetOptions(AEngine, AOptions);
  DispatchNotEmpty(AEngine, "acodec", AList.Values("def_acodec"));
  DispatchNotEmpty(AEngine, "vcodec", AList.Values("def_vcodec"));
  DispatchNotEmpty(AEngine, "scodec", AList.Values("def_scodec"));
  for (const char* pre : {"apre", "vpre", "spre"}) {
    const std::string value = AList.Values(std::string("def_") + pre);
    if (!value.empty()) AEngine.ApplyPreset(pre, value);
  }
  ApplyExtOptions(AEngine, AOptions.ExtOptions, false);
  // After the general pass, so the record decides languages and sync methods in every case.
  MapOutputOptions(AEngine, AOptions);
  if (!KeepsTargetRates(AEngine, AOptions)) DispatchNotEmpty(AEngine, "s", AList.Values("def_s"));
  DispatchNotEmpty(AEngine, "vf", AList.Values("def_vf"));
}

void ApplyStreamOption(TCustomFFmpeg& AEngine, TStrings& AList, const std::string& AName) {
  for (int32_t i = 0; i < AList.Count(); ++i) {
    if (AList.Names(i) != AName) continue;
    const std::string value = AList.ValueFromIndex(i);
    AList.Delete(i);
    AEngine.DispatchOption(AName, value);
    return;
  }
  DispatchNotEmpty(AEngine, AName, AList.Values("def_" + AName));
}

void ApplyNewStreamOptions(TCustomFFmpeg& AEngine, const std::string& AExtOptions, TStrings& AList) {
  for (const TOptionLine& line : SplitOptionText(AExtOptions)) {
    if (line.Name == "newaudio") {
      for (const char* n : {"acodec", "apre"}) ApplyStreamOption(AEngine, AList, n);
    } else if (line.Name == "newvideo") {
      for (const char* n : {"vcodec", "vpre", "s", "vf"}) ApplyStreamOption(AEngine, AList, n);
    } else if (line.Name == "newsubtitle") {
      for (const char* n : {"scodec", "spre"}) ApplyStreamOption(AEngine, AList, n);
    } else {
      continue;
    }
    AEngine.DispatchOption(line.Name, line.Value);
  }
}
