#pragma once
// The settings form's own, older tables: 12 categories (the list position is the category
// code), 109 formats, their parameters and (in Presets.h, SettingsPresets) their preset
// lists. They are kept apart from the main window's tables, whose entries differ in places.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/catalogue/ConversionFields.h"
#include "app/catalogue/FormatParams.h"

namespace catalogue {

constexpr int kSettingsCategoryCount = 12;

struct TSettingsCategory {
  int Code;  // also its list position, 0..11
  std::string_view Caption;
  int ImageIndex;
};

struct TSettingsFormatItem {
  int Key;
  int Code;
  int Position;
  std::string_view Title;
  std::string_view Caption;
  int ImageIndex;
};

std::span<const TSettingsCategory> SettingsCategories();
// The formats of category `code` in position order; empty outside 0..11.
std::span<const TSettingsFormatItem> SettingsFormatsOfCategory(int code);
std::span<const TSettingsFormatItem> AllSettingsFormats();
const TSettingsFormatItem* FindSettingsFormat(int key);

// One parameter entry. A field the entry does not write is nullopt: the settings form resets
// nothing first, so such a field keeps what its last writer left.
struct TSettingsParams {
  int Key;
  std::string_view OutputExt;
  std::optional<std::string_view> FileExt, VideoCodec, VideoTag, FrameSize, FrameRate;
  std::optional<int> VideoBitrate;
  std::optional<std::string_view> Aspect, VideoFilters, AudioCodec, AudioChannels, SampleRate, AudioVolume;
  std::optional<int> AudioBitrate;
  std::optional<std::string_view> NormType, CopyTimestamp, FileFormat, TargetType;
  bool DisableVideo;
};

std::span<const TSettingsParams> AllSettingsParams();
const TSettingsParams* FindSettingsParams(int key);

// The settings form's parameter operation for `key`: All_Trant_Number aside, it sets
// Video_DisableVideo false, and for a key with an entry sets the output path (input name with
// the entry's extension) and writes the entry's fields; then, for every key, the output path
// is moved into the output folder and made unique. Nothing is reset first.
// Throws Exception when there is no output file name to work on.
void ApplySettingsFormat(int key, TConversionFields& fields, const TOutputTarget& target);

}  // namespace catalogue
