// Option text and output records from outside (presets, the settings form): the text syntax,
// and whole records mapped onto a conversion engine with their option text.
#include <cmath>
#include <memory>

#include "Src/FFmpeg.h"
#include "Src/OutputOptions.h"
#include "Src/TaskOptions.h"
#include "base/Exception.h"
#include "base/StringList.h"
#include "base/Text.h"
#include "fuzz/FuzzCommon.h"

// The media libraries are loaded by TaskEngineInit.cpp.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  fuzz::TReader r(Data, Size);
  TOutputOptions o;
  InitOutputOptions(o);
  // Numbers first, so that the same bytes keep meaning the same field.
  o.PacketSize = r.Number<int32_t>();
  o.MuxRate = r.Number<int32_t>();
  o.MuxDelay = r.Number<float>();
  o.MuxPreload = r.Number<float>();
  o.DisableAudio = r.Byte() & 1;
  o.AudioVolume = r.Number<int32_t>();
  o.AudioChannels = r.Number<int32_t>();
  o.AudioSampleRate = r.Number<int32_t>();
  o.AudioBitrate = r.Number<int32_t>();
  o.AudioBitRateTolerance = r.Number<int32_t>();
  o.AudioSyncMethod = r.Number<int32_t>();
  o.DisableVideo = r.Byte() & 1;
  o.CropTop = r.Number<int32_t>();
  o.CropBottom = r.Number<int32_t>();
  o.CropLeft = r.Number<int32_t>();
  o.CropRight = r.Number<int32_t>();
  o.GroupPictureSize = r.Number<int32_t>();
  o.VideoBitrate = r.Number<int32_t>();
  o.VideoMaxRate = r.Number<int32_t>();
  o.VideoMinRate = r.Number<int32_t>();
  o.VideoBitRateTolerance = r.Number<int32_t>();
  o.VideoBufSize = r.Number<int32_t>();
  o.VideoSyncMethod = r.Number<int32_t>();
  o.DisableSubtitle = r.Byte() & 1;
  const uint8_t flags = r.Byte();
  o.InputSync = flags & 1;
  o.CopyTimestamp = flags & 2;
  o.CustomHook = flags & 4;
  o.Join = flags & 8;
  o.TimeStart = r.Number<int64_t>();
  o.TimeLength = r.Number<int64_t>();
  o.Info.TimeStamp = r.Number<double>();
  o.Info.Year = r.Number<int32_t>();
  o.Info.Track = r.Number<int32_t>();
  const uint8_t kinds = r.Byte();
  o.TargetType = static_cast<TOptionTargetType>(kinds % 4);
  o.NormType = static_cast<TOptionNormType>((kinds / 4) % 3);
  o.NormDefault = static_cast<TOptionNormDefault>((kinds / 16) % 3);
  for (std::string* s : {&o.FileFormat, &o.AudioCodec, &o.AudioPreset, &o.AudioLanguage, &o.AudioTag, &o.VideoCodec,
                         &o.VideoPreset, &o.FrameRate, &o.FrameSize, &o.FrameAspectRatio, &o.VideoTag,
                         &o.VideoFilters, &o.VideoLanguage, &o.SubtitleCodec, &o.SubtitlePreset,
                         &o.SubtitleLanguage, &o.Info.Title, &o.Info.Author, &o.Info.Comment})
    *s = r.Text();
  o.ExtOptions = r.Rest();
  // "vhook" loads the library it names: no run of the fuzzer should load what it guesses.
  if (LowerCase(o.ExtOptions).find("vhook") != std::string::npos) return 0;

  // The text syntax alone.
  for (const TExtOption& e : ParseExtOptions(o.ExtOptions))
    if (e.Name.find('\n') != std::string::npos) fuzz::Fail("an option name holds a line break");
  NormaliseOptionText(o.ExtOptions);
  SplitOptionText(o.ExtOptions);

  // The record and its text on an engine, as a task's output is set up.
  auto engine = std::make_unique<TCustomFFmpeg>(4);
  engine->Reset();
  TStringList list;
  try {
    ApplyOutputRecord(*engine, o, list);
  } catch (const Exception&) {
  }
  try {
    ApplyExtOptions(*engine, o.ExtOptions, true);
  } catch (const Exception&) {
  }
  return 0;
}
