#pragma once
// Preset option lists: for every format, the items and default choice of the six preset
// combo boxes, the disabling of the video presets of audio-only formats, the rules that turn
// a shown preset text into a conversion value, and the preset code a job row keeps.
//
// The main window and the settings form have separate tables of the same shape
// (MainPresets, SettingsPresets); the rules are shared.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/catalogue/ConversionFields.h"
#include "app/catalogue/TsvData.h"

namespace catalogue {

// The six presets, in the order the lists are filled.
enum class TPresetRole { Resolution, VideoBitrate, FrameRate, AudioBitrate, SampleRate, Aspect };
constexpr int kPresetRoleCount = 6;
constexpr int RoleIndex(TPresetRole r) { return static_cast<int>(r); }
constexpr std::array<TPresetRole, kPresetRoleCount> kPresetFillOrder = {
    TPresetRole::Resolution, TPresetRole::VideoBitrate, TPresetRole::FrameRate,
    TPresetRole::AudioBitrate, TPresetRole::SampleRate, TPresetRole::Aspect};
// Resolution, video bitrate, frame rate and aspect mode; disabled for audio-only formats.
constexpr bool IsVideoRole(TPresetRole r) {
  return r != TPresetRole::AudioBitrate && r != TPresetRole::SampleRate;
}

struct TPresetList {
  std::string_view Name;  // "R1", "V3", ... (main window), "ResA", ... (settings form)
  TPresetRole Role;
  std::vector<std::string_view> Items;
};

struct TPresetChoice {
  const TPresetList* List;
  int Default;  // position of the default item, always inside the list
  std::string_view DefaultText() const { return List->Items[Default]; }
};

struct TPresetEntry {
  int Key;
  std::array<TPresetChoice, kPresetRoleCount> Choices;  // indexed by RoleIndex
  bool VideoOff;  // audio-only format: the four video lists are disabled after filling
  const TPresetChoice& operator[](TPresetRole r) const { return Choices[RoleIndex(r)]; }
  std::string_view DefaultText(TPresetRole r) const { return Choices[RoleIndex(r)].DefaultText(); }
};

class TPresetTables {
public:
  TPresetTables(const TsvTable& lists, const TsvTable& entries, std::string_view videoOffColumn);
  // Entries point into the lists, so a table is never copied.
  TPresetTables(const TPresetTables&) = delete;
  TPresetTables& operator=(const TPresetTables&) = delete;
  std::span<const TPresetList> Lists() const { return lists_; }
  std::span<const TPresetEntry> Entries() const { return entries_; }  // key order
  const TPresetList* FindList(std::string_view name) const;
  const TPresetEntry* Find(int key) const;  // nullptr for a key without an entry

private:
  std::vector<TPresetList> lists_;
  std::vector<TPresetEntry> entries_;
};

const TPresetTables& MainPresets();      // 89 lists, 288 entries
const TPresetTables& SettingsPresets();  // 50 lists, 109 entries

// Whether the list of `role` is enabled after filling for `entry`; a key without an entry
// leaves all six lists empty and enabled.
bool PresetEnabled(const TPresetEntry* entry, TPresetRole role);

// ---- Shown text -> conversion value. A bitrate text that does not parse raises EConvertError.
std::string FrameSizeOfPreset(std::string_view text);      // "保持原分辨率", "该格式无视频" -> ""
std::string FrameRateOfPreset(std::string_view text);      // "保持原帧速率", "无视频" -> ""
int32_t VideoBitrateOfPreset(std::string_view text);        // "816 kbps" -> 816000, "无视频" -> -1000
int32_t AudioBitrateOfPreset(std::string_view text);        // "128 kbps" -> 128000, "4.75 kbps" -> 4750
std::string SampleRateOfPreset(std::string_view text);     // unchanged; "自动音频采样率" -> "AUTO"
// "普通视频4:3模式" -> "4:3", ...; "保持原视频模式", "无视频" -> ""; any other text -> nullopt
// (the field keeps its value).
std::optional<std::string> AspectOfPreset(std::string_view text);

// The six shown texts, indexed by RoleIndex.
using TPresetTexts = std::array<std::string, kPresetRoleCount>;
// Writes all six fields from the shown texts, in the order resolution, frame rate, video
// bitrate, sample rate, audio bitrate, aspect; a text that fails leaves the later fields as
// they were. A disabled list counts like any other.
void CommitPresets(const TPresetTexts& texts, TConversionFields& fields);
// Writes one preset's field from its text and answers the text of its job-row cell
// (PresetRowCell): the field's value, bitrates in decimal.
std::string CommitPreset(TPresetRole role, std::string_view text, TConversionFields& fields);
// Job-row sub-item that holds a preset's value: 15 size, 16 video bitrate, 17 frame rate,
// 18 audio bitrate, 19 sample rate, 20 aspect.
int PresetRowCell(TPresetRole role);

// ---- Preset code: twelve digits, two per list in the order resolution, video bitrate,
// audio bitrate, aspect mode, frame rate, sample rate.
constexpr std::array<TPresetRole, kPresetRoleCount> kPresetCodeOrder = {
    TPresetRole::Resolution, TPresetRole::VideoBitrate, TPresetRole::AudioBitrate,
    TPresetRole::Aspect,     TPresetRole::FrameRate,    TPresetRole::SampleRate};
// A position as its piece: "0" before a position of 9 or less ("03", "12"; -1 gives "0-1",
// which makes the code unreadable, as a list without a selection must).
std::string PresetCodePiece(int position);
// The code of six positions given by role (RoleIndex).
std::string PresetCode(const std::array<int, kPresetRoleCount>& positionsByRole);
// The six positions (by role) of a code; nullopt unless the code is exactly twelve digits.
std::optional<std::array<int, kPresetRoleCount>> ReadPresetCode(std::string_view code);
// `code` with the piece of `role` replaced by `position`: the characters before the pair, the
// piece, and those after the pair up to the twelfth character.
std::string ReplacePresetCodePiece(std::string_view code, TPresetRole role, int position);

}  // namespace catalogue
