#pragma once
// The main window's per-format parameter table (288 rows, one per format key) and the
// operation that writes a format's values into the conversion fields.
#include <set>
#include <span>
#include <string>
#include <string_view>

#include "app/catalogue/ConversionFields.h"

namespace catalogue {

struct TFormatParams {
  int Key;
  std::string_view OutputExt;   // extension of the output file (".wmv")
  std::string_view FileExt;     // Video_FileExt; empty for disc targets, ".rm" for ".ra" files...
  std::string_view VideoCodec;
  std::string_view VideoTag;
  std::string_view FrameSize;
  std::string_view FrameRate;
  int VideoBitrate;             // -1 unset, -1000 none (the disc target decides)
  std::string_view Aspect;
  std::string_view AudioCodec;
  std::string_view AudioChannels;
  std::string_view SampleRate;
  int AudioBitrate;
  std::string_view FileFormat;  // "asf" for the ASF formats
  std::string_view TargetType;  // "dvd", "svcd", "vcd" for disc targets
  std::string_view NormType;    // "PAL" for disc targets
  bool DisableVideo;            // audio-only format
};

// All rows in key order.
std::span<const TFormatParams> AllFormatParams();
// The row of a format key, or nullptr.
const TFormatParams* FindFormatParams(int key);
// The extension an output of this format gets, or "" for a key without a row.
std::string_view OutputExtension(int key);
// Whether the format writes audio only (its video presets are disabled).
bool IsAudioOnlyFormat(int key);

// Assigns a row's values to reset fields (the output name is not touched).
void AssignFormatParams(const TFormatParams& row, TConversionFields& fields);

struct TOutputTarget {
  std::string OutputFolder;
  bool Overwrite = false;
  const std::set<std::string>* PlannedOutputs = nullptr;  // outputs of the other jobs
};

// Applies format `key` to `fields`: reset, the row's values, and the output path built from
// Video_AddFileName with the row's extension, placed in the output folder and made unique.
// A key without a row leaves every field reset, the output name empty, and returns false.
// Throws Exception (fields left reset) when Video_AddFileName has no file name.
bool ApplyFormat(int key, TConversionFields& fields, const TOutputTarget& target);

}  // namespace catalogue
