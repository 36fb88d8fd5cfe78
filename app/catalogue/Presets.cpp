#include "app/catalogue/Presets.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "app/catalogue/TableCells.h"
#include "base/Exception.h"

namespace catalogue {

using detail::ParseFlagCell;
using detail::ParseIntCell;
using detail::RequireColumn;

namespace {

TPresetRole RoleOfName(const TsvTable& t, int row, int col) {
  static constexpr std::string_view names[] = {"resolution", "video_bitrate", "frame_rate",
                                               "audio_bitrate", "sample_rate", "aspect"};
  for (int i = 0; i < kPresetRoleCount; ++i)
    if (t.Cell(row, col) == names[i]) return static_cast<TPresetRole>(i);
  throw Exception(std::string("table ") + t.Name + ": unknown role \"" + std::string(t.Cell(row, col)) + "\"");
}

constexpr std::string_view kRoleColumns[] = {"resolution", "video_bitrate", "frame_rate",
                                             "audio_bitrate", "sample_rate", "aspect"};

}  // namespace

TPresetTables::TPresetTables(const TsvTable& lists, const TsvTable& entries, std::string_view videoOffColumn) {
  int cList = RequireColumn(lists, "list"), cRole = RequireColumn(lists, "role"),
      cPos = RequireColumn(lists, "position"), cText = RequireColumn(lists, "text");
  for (int r = 0; r < lists.Rows; ++r) {
    std::string_view name = lists.Cell(r, cList);
    if (lists_.empty() || lists_.back().Name != name) {
      if (FindList(name)) throw Exception(std::string("table ") + lists.Name + ": list " + std::string(name) + " split");
      lists_.push_back({name, RoleOfName(lists, r, cRole), {}});
    }
    TPresetList& l = lists_.back();
    if (ParseIntCell(lists, r, cPos) != int(l.Items.size()) || RoleOfName(lists, r, cRole) != l.Role)
      throw Exception(std::string("table ") + lists.Name + ": list " + std::string(name) + " out of order");
    l.Items.push_back(lists.Cell(r, cText));
  }

  int cKey = RequireColumn(entries, "key"), cOff = RequireColumn(entries, videoOffColumn);
  for (int r = 0; r < entries.Rows; ++r) {
    TPresetEntry e{ParseIntCell(entries, r, cKey), {}, ParseFlagCell(entries, r, cOff)};
    for (int i = 0; i < kPresetRoleCount; ++i) {
      int cName = RequireColumn(entries, kRoleColumns[i]);
      int cDef = RequireColumn(entries, std::string(kRoleColumns[i]) + "_default");
      const TPresetList* l = FindList(entries.Cell(r, cName));
      int def = ParseIntCell(entries, r, cDef);
      if (!l || l->Role != static_cast<TPresetRole>(i) || def < 0 || def >= int(l->Items.size()))
        throw Exception(std::string("table ") + entries.Name + ", key " + std::to_string(e.Key) + ": bad " +
                        std::string(kRoleColumns[i]) + " choice");
      e.Choices[i] = {l, def};
    }
    entries_.push_back(e);
  }
  std::sort(entries_.begin(), entries_.end(), [](auto& a, auto& b) { return a.Key < b.Key; });
}

const TPresetList* TPresetTables::FindList(std::string_view name) const {
  for (const auto& l : lists_)
    if (l.Name == name) return &l;
  return nullptr;
}

const TPresetEntry* TPresetTables::Find(int key) const {
  auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                             [](const TPresetEntry& e, int k) { return e.Key < k; });
  return it != entries_.end() && it->Key == key ? &*it : nullptr;
}

const TPresetTables& MainPresets() {
  static const TPresetTables t(tsvdata::PresetLists, tsvdata::PresetTable, "video_off");
  return t;
}

const TPresetTables& SettingsPresets() {
  static const TPresetTables t(tsvdata::SettingsPresetLists, tsvdata::SettingsPresetTable, "audio_only");
  return t;
}

bool PresetEnabled(const TPresetEntry* entry, TPresetRole role) {
  return !(entry && entry->VideoOff && IsVideoRole(role));
}

// ---- text -> value

namespace {

[[noreturn]] void NotInteger(std::string_view s) {
  throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
}

// Blanks and control characters off both ends.
std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// The number in front of the first "kbps", trimmed; the empty text without "kbps".
std::string_view KbpsNumber(std::string_view text) {
  size_t at = text.find("kbps");
  return TrimBlanks(at == std::string_view::npos ? std::string_view() : text.substr(0, at));
}

int32_t ParseInt32(std::string_view s) {
  std::string_view digits = s.size() > 1 && s.front() == '+' ? s.substr(1) : s;
  int32_t v = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) NotInteger(s);
  return v;
}

// kbit/s -> bit/s; a product beyond 32 bits is refused rather than wrapped.
int32_t TimesThousand(int32_t kbps, std::string_view s) {
  int64_t v = int64_t(kbps) * 1000;
  if (v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min()) NotInteger(s);
  return int32_t(v);
}

}  // namespace

std::string FrameSizeOfPreset(std::string_view text) {
  if (text == "保持原分辨率" || text == "该格式无视频") return {};
  return std::string(text);
}

std::string FrameRateOfPreset(std::string_view text) {
  if (text == "保持原帧速率" || text == "无视频") return {};
  return std::string(text);
}

int32_t VideoBitrateOfPreset(std::string_view text) {
  if (text == "无视频") return -1000;
  std::string_view n = KbpsNumber(text);
  return TimesThousand(ParseInt32(n), n);
}

int32_t AudioBitrateOfPreset(std::string_view text) {
  if (text == "自动音频比特率") return -1000;
  std::string_view n = KbpsNumber(text);
  if (n.find('.') == std::string_view::npos) return TimesThousand(ParseInt32(n), n);
  // A decimal kbit/s value: the product written with 15 significant digits must be a whole
  // number ("4.75" -> "4750"; "7.95" * 1000 is 7950.000000000001, which prints as "7950").
  double kbps = 0;
  auto [end, ec] = std::from_chars(n.data(), n.data() + n.size(), kbps);
  if (ec != std::errc() || end != n.data() + n.size() || !std::isfinite(kbps))
    throw EConvertError("'" + std::string(n) + "' is not a valid floating point value");
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, kbps * 1000, std::chars_format::general, 15);
  return ParseInt32(std::string_view(buf, res.ptr - buf));
}

std::string SampleRateOfPreset(std::string_view text) {
  if (text == "自动音频采样率") return "AUTO";
  return std::string(text);
}

std::optional<std::string> AspectOfPreset(std::string_view text) {
  if (text == "保持原视频模式" || text == "无视频") return std::string();
  if (text == "普通视频4:3模式") return std::string("4:3");
  if (text == "宽屏视频16:9模式") return std::string("16:9");
  if (text == "宽屏视频37:20模式") return std::string("37:20");
  if (text == "宽屏视频47:20模式") return std::string("47:20");
  return std::nullopt;
}

std::string CommitPreset(TPresetRole role, std::string_view text, TConversionFields& f) {
  switch (role) {
    case TPresetRole::Resolution:
      return f.Video_FrameSize = FrameSizeOfPreset(text);
    case TPresetRole::FrameRate:
      return f.Video_FrameRate = FrameRateOfPreset(text);
    case TPresetRole::VideoBitrate:
      f.Video_VideoBitrate = VideoBitrateOfPreset(text);
      return std::to_string(f.Video_VideoBitrate);
    case TPresetRole::AudioBitrate:
      f.Video_AudioBitrate = AudioBitrateOfPreset(text);
      return std::to_string(f.Video_AudioBitrate);
    case TPresetRole::SampleRate:
      return f.Video_AudioSampleRate = SampleRateOfPreset(text);
    case TPresetRole::Aspect:
      if (auto a = AspectOfPreset(text)) f.Video_FrameAspectRatio = *a;
      return f.Video_FrameAspectRatio;
  }
  return {};
}

void CommitPresets(const TPresetTexts& texts, TConversionFields& fields) {
  static constexpr TPresetRole order[] = {TPresetRole::Resolution, TPresetRole::FrameRate,
                                          TPresetRole::VideoBitrate, TPresetRole::SampleRate,
                                          TPresetRole::AudioBitrate, TPresetRole::Aspect};
  for (TPresetRole r : order) CommitPreset(r, texts[RoleIndex(r)], fields);
}

int PresetRowCell(TPresetRole role) {
  switch (role) {
    case TPresetRole::Resolution: return 15;
    case TPresetRole::VideoBitrate: return 16;
    case TPresetRole::FrameRate: return 17;
    case TPresetRole::AudioBitrate: return 18;
    case TPresetRole::SampleRate: return 19;
    case TPresetRole::Aspect: return 20;
  }
  return -1;
}

// ---- preset code

namespace {
int CodeSlot(TPresetRole role) {
  for (int i = 0; i < kPresetRoleCount; ++i)
    if (kPresetCodeOrder[i] == role) return i;
  return 0;
}
}  // namespace

std::string PresetCodePiece(int position) {
  return position <= 9 ? "0" + std::to_string(position) : std::to_string(position);
}

std::string PresetCode(const std::array<int, kPresetRoleCount>& positionsByRole) {
  std::string code;
  for (TPresetRole r : kPresetCodeOrder) code += PresetCodePiece(positionsByRole[RoleIndex(r)]);
  return code;
}

std::optional<std::array<int, kPresetRoleCount>> ReadPresetCode(std::string_view code) {
  if (code.size() != 12 || !std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  std::array<int, kPresetRoleCount> positions{};
  for (int i = 0; i < kPresetRoleCount; ++i)
    positions[RoleIndex(kPresetCodeOrder[i])] = (code[2 * i] - '0') * 10 + (code[2 * i + 1] - '0');
  return positions;
}

std::string ReplacePresetCodePiece(std::string_view code, TPresetRole role, int position) {
  size_t at = 2 * size_t(CodeSlot(role));
  std::string result(code.substr(0, std::min(at, code.size())));
  result += PresetCodePiece(position);
  if (code.size() > at + 2) result += code.substr(at + 2, 12 - (at + 2));
  return result;
}

}  // namespace catalogue
