#include "app/catalogue/SettingsTables.h"

#include <algorithm>
#include <vector>

#include "app/catalogue/FormatCatalogue.h"
#include "app/catalogue/OutputNaming.h"
#include "app/catalogue/TableCells.h"
#include "app/catalogue/TsvData.h"
#include "base/Exception.h"
#include "base/Files.h"

namespace catalogue {

using detail::ParseFlagCell;
using detail::ParseIntCell;
using detail::RequireColumn;

namespace {

// In the parameter table "~" marks a field the entry does not write.
constexpr std::string_view kNotWritten = "~";

struct SettingsData {
  std::vector<TSettingsCategory> categories;
  std::vector<TSettingsFormatItem> formats;
  std::vector<std::span<const TSettingsFormatItem>> byCode;
  std::vector<TSettingsParams> params;

  SettingsData() {
    const TsvTable& c = tsvdata::SettingsCategories;
    int cCode = RequireColumn(c, "code"), cCap = RequireColumn(c, "caption"), cImg = RequireColumn(c, "image_index");
    for (int r = 0; r < c.Rows; ++r)
      categories.push_back({ParseIntCell(c, r, cCode), c.Cell(r, cCap), ParseIntCell(c, r, cImg)});
    for (size_t i = 0; i < categories.size(); ++i)
      if (categories[i].Code != int(i)) throw Exception("settings categories out of order");

    const TsvTable& f = tsvdata::SettingsCatalogue;
    int fKey = RequireColumn(f, "key"), fCode = RequireColumn(f, "code"), fPos = RequireColumn(f, "position"),
        fTitle = RequireColumn(f, "title"), fCap = RequireColumn(f, "caption"), fImg = RequireColumn(f, "image_index");
    for (int r = 0; r < f.Rows; ++r)
      formats.push_back({ParseIntCell(f, r, fKey), ParseIntCell(f, r, fCode), ParseIntCell(f, r, fPos),
                         f.Cell(r, fTitle), f.Cell(r, fCap), ParseIntCell(f, r, fImg)});
    std::sort(formats.begin(), formats.end(), [](auto& a, auto& b) { return a.Key < b.Key; });
    byCode.resize(kSettingsCategoryCount);
    for (size_t i = 0; i < formats.size();) {
      int code = formats[i].Code;
      size_t j = i;
      while (j < formats.size() && formats[j].Code == code) {
        if (code < 0 || code >= kSettingsCategoryCount || formats[j].Position != int(j - i) ||
            formats[j].Key != FormatKey(code, int(j - i)))
          throw Exception("settings catalogue: key " + std::to_string(formats[j].Key) + " out of place");
        ++j;
      }
      byCode[code] = std::span<const TSettingsFormatItem>(formats.data() + i, j - i);
      i = j;
    }

    const TsvTable& p = tsvdata::SettingsParams;
    auto text = [&](int r, const char* name) -> std::optional<std::string_view> {
      std::string_view v = p.Cell(r, RequireColumn(p, name));
      if (v == kNotWritten) return std::nullopt;
      return v;
    };
    auto number = [&](int r, const char* name) -> std::optional<int> {
      int col = RequireColumn(p, name);
      if (p.Cell(r, col) == kNotWritten) return std::nullopt;
      return ParseIntCell(p, r, col);
    };
    for (int r = 0; r < p.Rows; ++r) {
      TSettingsParams e{};
      e.Key = ParseIntCell(p, r, RequireColumn(p, "key"));
      e.OutputExt = p.Cell(r, RequireColumn(p, "out_ext"));
      e.FileExt = text(r, "file_ext");
      e.VideoCodec = text(r, "video_codec");
      e.VideoTag = text(r, "video_tag");
      e.FrameSize = text(r, "frame_size");
      e.FrameRate = text(r, "frame_rate");
      e.VideoBitrate = number(r, "video_bitrate");
      e.Aspect = text(r, "aspect");
      e.VideoFilters = text(r, "video_filters");
      e.AudioCodec = text(r, "audio_codec");
      e.AudioChannels = text(r, "channels");
      e.SampleRate = text(r, "sample_rate");
      e.AudioVolume = text(r, "audio_volume");
      e.AudioBitrate = number(r, "audio_bitrate");
      e.NormType = text(r, "norm_type");
      e.CopyTimestamp = text(r, "copy_timestamp");
      e.FileFormat = text(r, "file_format");
      e.TargetType = text(r, "target_type");
      e.DisableVideo = ParseFlagCell(p, r, RequireColumn(p, "disable_video"));
      params.push_back(e);
    }
    std::sort(params.begin(), params.end(), [](auto& a, auto& b) { return a.Key < b.Key; });
  }
};

const SettingsData& Data() {
  static const SettingsData data;
  return data;
}

template <typename T>
void Put(std::string& field, const std::optional<T>& v) {
  if (v) field = *v;
}
void Put(int32_t& field, const std::optional<int>& v) {
  if (v) field = *v;
}

}  // namespace

std::span<const TSettingsCategory> SettingsCategories() { return Data().categories; }

std::span<const TSettingsFormatItem> SettingsFormatsOfCategory(int code) {
  if (code < 0 || code >= kSettingsCategoryCount) return {};
  return Data().byCode[code];
}

std::span<const TSettingsFormatItem> AllSettingsFormats() { return Data().formats; }

const TSettingsFormatItem* FindSettingsFormat(int key) {
  auto formats = SettingsFormatsOfCategory(key / 100 - 1);
  int position = key % 100;
  if (key < 100 || position >= int(formats.size())) return nullptr;
  return &formats[position];
}

std::span<const TSettingsParams> AllSettingsParams() { return Data().params; }

const TSettingsParams* FindSettingsParams(int key) {
  const auto& v = Data().params;
  auto it = std::lower_bound(v.begin(), v.end(), key, [](const TSettingsParams& p, int k) { return p.Key < k; });
  return it != v.end() && it->Key == key ? &*it : nullptr;
}

void ApplySettingsFormat(int key, TConversionFields& f, const TOutputTarget& target) {
  f.Video_DisableVideo = false;
  if (const TSettingsParams* e = FindSettingsParams(key)) {
    f.Video_OutPutFileName = ChangeFileExt(ExtractFileName(f.Video_AddFileName), std::string(e->OutputExt));
    Put(f.Video_FileExt, e->FileExt);
    Put(f.Video_VideoCodec, e->VideoCodec);
    Put(f.Video_VideoTag, e->VideoTag);
    Put(f.Video_FrameSize, e->FrameSize);
    Put(f.Video_FrameRate, e->FrameRate);
    Put(f.Video_VideoBitrate, e->VideoBitrate);
    Put(f.Video_FrameAspectRatio, e->Aspect);
    Put(f.Video_VideoFilters, e->VideoFilters);
    Put(f.Video_AudioCodec, e->AudioCodec);
    Put(f.Video_AudioChannels, e->AudioChannels);
    Put(f.Video_AudioSampleRate, e->SampleRate);
    Put(f.Video_AudioVolume, e->AudioVolume);
    Put(f.Video_AudioBitrate, e->AudioBitrate);
    Put(f.Video_NormType, e->NormType);
    Put(f.Video_CopyTimestamp, e->CopyTimestamp);
    Put(f.Video_FileFormat, e->FileFormat);
    Put(f.Video_TargetType, e->TargetType);
    f.Video_DisableVideo = e->DisableVideo;
  }
  TOutputNameRules rules{target.Overwrite, f.Video_AddFileName, target.PlannedOutputs};
  f.Video_OutPutFileName = UniqueOutputFileName(target.OutputFolder, f.Video_OutPutFileName, rules);
}

}  // namespace catalogue
