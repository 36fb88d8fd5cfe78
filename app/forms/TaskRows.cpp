#include "app/forms/TaskRows.h"

#include "base/Files.h"
#include "base/Text.h"

namespace taskrows {

namespace {

const std::string kEmpty;

// A number cell: false when it holds no whole number.
bool CellNumber(const TRowTexts& ARow, int ACell, int32_t& AValue, TRowFault* AFault) {
  if (TryStrToInt(Trim(ARow.Cell(ACell)), AValue)) return true;
  if (AFault) *AFault = TRowFault{ACell, ARow.Cell(ACell)};
  return false;
}

}  // namespace

const std::string& TRowTexts::Cell(int AIndex) const {
  if (AIndex < 0 || static_cast<size_t>(AIndex) >= Cells.size()) return kEmpty;
  return Cells[static_cast<size_t>(AIndex)];
}

bool ApplyRowToRecords(const TRowTexts& R, TInputOptions& AInput, TOutputOptions& AOutput, TRowFault* AFault) {
  // Every number first, so that a bad row changes nothing.
  int32_t channels = AOutput.AudioChannels;
  int32_t videoBitrate = AOutput.VideoBitrate;
  int32_t audioBitrate = AOutput.AudioBitrate;
  int32_t sampleRate = AOutput.AudioSampleRate;
  if (!R.Cell(kcAudioChannels).empty() && !CellNumber(R, kcAudioChannels, channels, AFault)) return false;
  if (!R.Cell(kcVideoBitrate).empty() && !CellNumber(R, kcVideoBitrate, videoBitrate, AFault)) return false;
  const std::string& ab = R.Cell(kcAudioBitrate);
  if (ab != "-1000" && ab != "-2000" && !CellNumber(R, kcAudioBitrate, audioBitrate, AFault)) return false;
  const std::string& sr = R.Cell(kcAudioSampleRate);
  if (!sr.empty() && sr != "AUTO" && !CellNumber(R, kcAudioSampleRate, sampleRate, AFault)) return false;

  AInput.FileName = R.Caption;
  TOutputOptions& o = AOutput;
  const std::string& vc = R.Cell(kcVideoCodec);
  const bool x264 = vc == "libx264";
  if (x264) {
    o.VideoCodec = "libx264";
    o.VideoPreset = "libx264-default";
  } else if (!vc.empty()) {
    o.VideoCodec = vc;
    o.VideoPreset.clear();
  }
  const std::string& ac = R.Cell(kcAudioCodec);
  if (!ac.empty() && ac != "AUTO") o.AudioCodec = ac;
  o.AudioChannels = channels;
  const std::string& tag = R.Cell(kcVideoTag);
  o.VideoTag = !tag.empty() && !x264 ? tag : std::string();
  if (!R.Cell(kcFileExt).empty()) o.FileExt = R.Cell(kcFileExt);
  if (!R.Cell(kcFrameSize).empty()) o.FrameSize = R.Cell(kcFrameSize);
  o.VideoBitrate = videoBitrate;
  if (!R.Cell(kcFrameRate).empty()) o.FrameRate = R.Cell(kcFrameRate);
  o.AudioBitrate = audioBitrate;
  o.AudioSampleRate = sampleRate;
  if (!R.Cell(kcAspectRatio).empty()) o.FrameAspectRatio = R.Cell(kcAspectRatio);
  o.DisableVideo = R.Cell(kcDisableVideo) == "True";
  const std::string& target = R.Cell(kcTargetType);
  if (!target.empty())
    o.TargetType = target == "vcd" ? ttVCD : target == "svcd" ? ttSVCD : target == "dvd" ? ttDVD : ttIgnore;
  const std::string& norm = R.Cell(kcNormType);
  o.NormType = norm == "PAL" ? ntPAL : norm == "NTSC" ? ntNTSC : ntAuto;
  return true;
}

std::string RowOutputFile(const std::string& AOutputFolder, const TRowTexts& ARow) {
  return IncludeTrailingPathDelimiter(AOutputFolder) + ARow.Cell(kcOutputName);
}

TThreadPriority PriorityOfChoices(const TRunChoices& C, TThreadPriority ACurrent) {
  TThreadPriority p = ACurrent;
  if (C.PriorityIdle) p = tpIdle;
  if (C.PriorityLowest) p = tpLowest;
  if (C.PriorityLower) p = tpLower;
  if (C.PriorityNormal) p = tpNormal;
  return p;
}

int32_t ThreadCountOfText(const std::string& AText) {
  int32_t n = 0;
  if (!TryStrToInt(AText, n) || n < 1) return 1;
  return n;
}

int32_t ThreadCountOfChoices(const TRunChoices& C) { return C.MultiThread ? ThreadCountOfText(C.ThreadCountText) : 1; }

std::string ProgressPercentText(int64_t ACurrentDuration, int64_t ATotalDuration) {
  if (ATotalDuration <= 0) return "N/A";
  // Wide enough that the product never overflows, whatever the lengths.
  const __int128 share = static_cast<__int128>(ACurrentDuration) * 100 / ATotalDuration;
  return std::to_string(static_cast<int64_t>(share)) + "%";
}

std::string ProgressFpsText(int32_t AFps) { return AFps > 0 ? std::to_string(AFps) : std::string(); }

int64_t ProgressSeconds(int64_t ACurrentDuration) { return ACurrentDuration / 1000000; }

std::string LogLineText(uint32_t AThreadID, TLogLevel ALevel, const std::string& AMsg) {
  return "#" + std::to_string(AThreadID) + "." + std::to_string(static_cast<int>(ALevel)) + ": " + AMsg;
}

std::string SkippedRowsText(const std::vector<TSkippedRow>& ARows) {
  std::string text = "下列文件不能转换，已跳过：";
  for (const TSkippedRow& r : ARows) {
    text += "\n" + r.FileName;
    if (!r.Reason.empty()) text += "（" + r.Reason + "）";
  }
  return text;
}

}  // namespace taskrows
