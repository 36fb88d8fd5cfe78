#include "app/catalogue/FormatParams.h"

#include <algorithm>
#include <vector>

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

const std::vector<TFormatParams>& Rows() {
  static const std::vector<TFormatParams> rows = [] {
    const TsvTable& t = tsvdata::FormatParams;
    auto col = [&](const char* name) { return RequireColumn(t, name); };
    int cKey = col("key"), cOut = col("out_ext"), cFileExt = col("file_ext"), cVc = col("video_codec"),
        cTag = col("video_tag"), cSize = col("frame_size"), cRate = col("frame_rate"), cVb = col("video_bitrate"),
        cAsp = col("aspect"), cAc = col("audio_codec"), cCh = col("channels"), cHz = col("sample_rate"),
        cAb = col("audio_bitrate"), cFmt = col("file_format"), cTarget = col("target_type"), cNorm = col("norm_type"),
        cOff = col("disable_video");
    std::vector<TFormatParams> v;
    for (int r = 0; r < t.Rows; ++r)
      v.push_back({ParseIntCell(t, r, cKey), t.Cell(r, cOut), t.Cell(r, cFileExt), t.Cell(r, cVc), t.Cell(r, cTag),
                   t.Cell(r, cSize), t.Cell(r, cRate), ParseIntCell(t, r, cVb), t.Cell(r, cAsp), t.Cell(r, cAc),
                   t.Cell(r, cCh), t.Cell(r, cHz), ParseIntCell(t, r, cAb), t.Cell(r, cFmt), t.Cell(r, cTarget),
                   t.Cell(r, cNorm), ParseFlagCell(t, r, cOff)});
    std::sort(v.begin(), v.end(), [](auto& a, auto& b) { return a.Key < b.Key; });
    return v;
  }();
  return rows;
}

}  // namespace

std::span<const TFormatParams> AllFormatParams() { return Rows(); }

const TFormatParams* FindFormatParams(int key) {
  const auto& rows = Rows();
  auto it = std::lower_bound(rows.begin(), rows.end(), key, [](const TFormatParams& p, int k) { return p.Key < k; });
  return it != rows.end() && it->Key == key ? &*it : nullptr;
}

std::string_view OutputExtension(int key) {
  const TFormatParams* p = FindFormatParams(key);
  return p ? p->OutputExt : std::string_view();
}

bool IsAudioOnlyFormat(int key) {
  const TFormatParams* p = FindFormatParams(key);
  return p && p->DisableVideo;
}

void AssignFormatParams(const TFormatParams& row, TConversionFields& f) {
  f.Video_FileExt = row.FileExt;
  f.Video_VideoCodec = row.VideoCodec;
  f.Video_VideoTag = row.VideoTag;
  f.Video_FrameSize = row.FrameSize;
  f.Video_FrameRate = row.FrameRate;
  f.Video_VideoBitrate = row.VideoBitrate;
  f.Video_FrameAspectRatio = row.Aspect;
  f.Video_AudioCodec = row.AudioCodec;
  f.Video_AudioChannels = row.AudioChannels;
  f.Video_AudioSampleRate = row.SampleRate;
  f.Video_AudioBitrate = row.AudioBitrate;
  f.Video_FileFormat = row.FileFormat;
  f.Video_TargetType = row.TargetType;
  f.Video_NormType = row.NormType;
  f.Video_DisableVideo = row.DisableVideo;
}

bool ApplyFormat(int key, TConversionFields& fields, const TOutputTarget& target) {
  fields.Reset();
  const TFormatParams* row = FindFormatParams(key);
  // Without a format there is no output extension and so no output file to name; an empty
  // name is left rather than the output folder itself.
  if (!row) return false;
  if (ExtractFileName(fields.Video_AddFileName).empty())
    throw Exception("No input file to name the output after: \"" + fields.Video_AddFileName + "\"");
  std::string name = ChangeFileExt(ExtractFileName(fields.Video_AddFileName), std::string(row->OutputExt));
  TOutputNameRules rules{target.Overwrite, fields.Video_AddFileName, target.PlannedOutputs};
  std::string output = UniqueOutputFileName(target.OutputFolder, name, rules);
  AssignFormatParams(*row, fields);
  fields.Video_OutPutFileName = std::move(output);
  return true;
}

}  // namespace catalogue
