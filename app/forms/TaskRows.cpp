#include "app/forms/TaskRows.h"

#include "base/Files.h"
#include "base/Text.h"

namespace taskrows {

using namespace joblist;

namespace {

// A number cell: false when it holds no whole number.
bool CellNumber(const TJobRow& ARow, int ACell, int32_t& AValue, TRowFault* AFault) {
  if (TryStrToInt(Trim(ARow.Cells[ACell]), AValue)) return true;
  if (AFault) *AFault = TRowFault{ACell, ARow.Cells[ACell]};
  return false;
}

}  // namespace

bool ApplyRowToRecords(const TJobRow& R, TInputOptions& AInput, TOutputOptions& AOutput, TRowFault* AFault) {
  // Every number first, so that a bad row changes nothing.
  int32_t channels = AOutput.AudioChannels;
  int32_t videoBitrate = AOutput.VideoBitrate;
  int32_t audioBitrate = AOutput.AudioBitrate;
  int32_t sampleRate = AOutput.AudioSampleRate;
  if (!R.Cells[jcAudioChannels].empty() && !CellNumber(R, jcAudioChannels, channels, AFault)) return false;
  if (!R.Cells[jcVideoBitrate].empty() && !CellNumber(R, jcVideoBitrate, videoBitrate, AFault)) return false;
  const std::string& ab = R.Cells[jcAudioBitrate];
  if (ab != "-1000" && ab != "-2000" && !CellNumber(R, jcAudioBitrate, audioBitrate, AFault)) return false;
  const std::string& sr = R.Cells[jcSampleRate];
  if (!sr.empty() && sr != "AUTO" && !CellNumber(R, jcSampleRate, sampleRate, AFault)) return false;

  AInput.FileName = R.Caption;
  TOutputOptions& o = AOutput;
  const std::string& vc = R.Cells[jcVideoCodec];
  const bool x264 = vc == "libx264";
  if (x264) {
    o.VideoCodec = "libx264";
    o.VideoPreset = "libx264-default";
  } else if (!vc.empty()) {
    o.VideoCodec = vc;
    o.VideoPreset.clear();
  }
  const std::string& ac = R.Cells[jcAudioCodec];
  if (!ac.empty() && ac != "AUTO") o.AudioCodec = ac;
  o.AudioChannels = channels;
  const std::string& tag = R.Cells[jcVideoTag];
  o.VideoTag = !tag.empty() && !x264 ? tag : std::string();
  if (!R.Cells[jcFileExt].empty()) o.FileExt = R.Cells[jcFileExt];
  if (!R.Cells[jcFrameSize].empty()) o.FrameSize = R.Cells[jcFrameSize];
  o.VideoBitrate = videoBitrate;
  if (!R.Cells[jcFrameRate].empty()) o.FrameRate = R.Cells[jcFrameRate];
  o.AudioBitrate = audioBitrate;
  o.AudioSampleRate = sampleRate;
  if (!R.Cells[jcAspect].empty()) o.FrameAspectRatio = R.Cells[jcAspect];
  o.DisableVideo = R.Cells[jcAudioOnly] == "True";
  const std::string& target = R.Cells[jcTargetType];
  if (!target.empty())
    o.TargetType = target == "vcd" ? ttVCD : target == "svcd" ? ttSVCD : target == "dvd" ? ttDVD : ttIgnore;
  const std::string& norm = R.Cells[jcNormType];
  o.NormType = norm == "PAL" ? ntPAL : norm == "NTSC" ? ntNTSC : ntAuto;
  return true;
}

std::string RowOutputFile(const std::string& AOutputFolder, const TJobRow& ARow) {
  return IncludeTrailingPathDelimiter(AOutputFolder) + ARow.Cells[jcOutput];
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
