#include "app/forms/JobList.h"

#include <algorithm>
#include <cmath>

#include "Src/AVProbe.h"
#include "app/catalogue/OutputNaming.h"
#include "base/Exception.h"
#include "base/Files.h"
#include "base/Format.h"
#include "base/Text.h"
#include "classlib/ListViews.h"

namespace joblist {

namespace {

constexpr TJobColumn kColumns[kJobColumnCount] = {
    {"输入文件", 80, 0},   {"视频时间", 70, 0},   {"文件大小", 70, 0},   {"输出文件", 80, 0},
    {"转换进度", 70, 0},   {"", 0, 1},            {"当前时间", 80, 0},   {"转换大小", 80, 0},
    {"视频序号", 0, 1},    {"视频类别", 0, 1},    {"视频选项", 0, 1},    {"视频编码", 0, 1},
    {"音频编码", 0, 1},    {"声音频道", 0, 1},    {"VideoTag", 0, 1},    {"FileExt", 0, 1},
    {"视频分辨率", 0, 1},  {"视频比特率", 0, 1},  {"视频帧率", 0, 1},    {"音频比特率", 0, 1},
    {"音频采样率", 0, 1},  {"视频缩放", 0, 1},    {"视频能否", 0, 1},    {"TargetType", 0, 1},
    {"NormType", 0, 1},
};

void CheckSlotIndex(int32_t AIndex) {
  if (AIndex < 0 || AIndex >= kJobSlotCount)
    throw EListError(Format("Job slot index out of bounds (%d)", AIndex));
}

}  // namespace

std::span<const TJobColumn> JobColumns() { return kColumns; }

// ---- rows ---------------------------------------------------------------------------------------

TJobRow ReadJobRow(TListItem* AItem) {
  TJobRow row;
  row.Caption = AItem->Caption();
  TStrings* cells = AItem->SubItems();
  for (int i = 0; i < kJobCellCount && i < cells->Count(); ++i) row.Cells[i] = cells->Get(i);
  return row;
}

void WriteJobRow(TListItem* AItem, const TJobRow& ARow) {
  AItem->SetCaption(ARow.Caption);
  TStrings* cells = AItem->SubItems();
  cells->BeginUpdate();
  cells->Clear();
  for (const std::string& c : ARow.Cells) cells->Add(c);
  cells->EndUpdate();
}

std::string JobCell(TListItem* AItem, int ACell) {
  TStrings* cells = AItem->SubItems();
  return ACell >= 0 && ACell < cells->Count() ? cells->Get(ACell) : std::string();
}

void SetJobCell(TListItem* AItem, int ACell, const std::string& AText) {
  if (ACell < 0) throw EListError(Format("List index out of bounds (%d)", ACell));
  TStrings* cells = AItem->SubItems();
  while (cells->Count() <= ACell) cells->Add("");
  cells->Put(ACell, AText);
}

// ---- cell texts ---------------------------------------------------------------------------------

std::string SecToDate(int32_t Sec) {
  const int32_t seconds = Sec % 60;
  const int32_t minutes = ((Sec - seconds) / 60) % 60;
  const int32_t hours = ((Sec - seconds - minutes * 60) / 3600) % 24;
  return Format("%.2d:%.2d:%.2d", hours, minutes, seconds);
}

std::string DurationText(int64_t ADurationUs) {
  if (ADurationUs <= 0) return "N/A";
  // Lengths beyond the 32-bit seconds the text is made of do not occur in media files; such a
  // value is shown as the largest one rather than wrapped.
  const int64_t sec = ADurationUs / 1000000;
  return SecToDate(static_cast<int32_t>(sec > INT32_MAX ? INT32_MAX : sec));
}

std::string SizeMBText(int64_t ABytes) {
  const double mb = static_cast<double>(ABytes) / 1024.0 / 1024.0;
  // Hundredths, rounded half to even as the default rounding mode does.
  const int64_t hundredths = static_cast<int64_t>(std::nearbyint(mb * 100.0));
  return FloatToStr(static_cast<double>(hundredths) / 100.0) + "MB";
}

std::string FormatCodeText(int ACategoryPosition, int AFormatPosition) {
  return IntToStr(catalogue::FormatCode(ACategoryPosition, AFormatPosition));
}

std::optional<catalogue::TListPositions> ReadFormatCodeCell(std::string_view ACell) {
  int32_t code = 0;
  if (!TryStrToInt(ACell, code)) return std::nullopt;
  return catalogue::DecodeFormatCode(code);
}

// ---- a new row ----------------------------------------------------------------------------------

TProbeFacts ProbeFactsOf(TCustomAVProbe& AProbe) {
  TProbeFacts facts;
  facts.DurationUs = AProbe.FileStreamInfo().Duration;
  facts.FileSize = AProbe.FileSize();
  return facts;
}

TJobRow NewJobRow(const TNewJob& AJob) {
  if (!AJob.Output) throw Exception("A job row needs the job's output record");
  const TOutputOptions& o = *AJob.Output;
  TJobRow row;
  row.Caption = AJob.InputPath;
  auto& c = row.Cells;
  c[jcDuration] = DurationText(AJob.Probe.DurationUs);
  c[jcSize] = SizeMBText(AJob.Probe.FileSize);
  c[jcOutput] = ExtractFileName(o.FileName);
  c[jcTaskNumber] = IntToStr(AJob.TaskIndex + 1);
  c[jcFormatCode] = AJob.FormatCode;
  c[jcPresetCode] = AJob.PresetCode;
  c[jcVideoCodec] = o.VideoCodec;
  c[jcAudioCodec] = o.AudioCodec;
  c[jcAudioChannels] = IntToStr(o.AudioChannels);
  c[jcVideoTag] = o.VideoTag;
  c[jcFileExt] = o.FileExt;
  c[jcFrameSize] = o.FrameSize;
  c[jcVideoBitrate] = IntToStr(o.VideoBitrate);
  c[jcFrameRate] = o.FrameRate;
  c[jcAudioBitrate] = IntToStr(o.AudioBitrate);
  c[jcSampleRate] = IntToStr(o.AudioSampleRate);
  c[jcAspect] = o.FrameAspectRatio;
  return row;
}

// ---- job slots ----------------------------------------------------------------------------------

TJobSlots::TJobSlots(std::vector<TInputOptions>& AInputs, std::vector<TOutputOptions>& AOutputs)
    : FInputs(AInputs), FOutputs(AOutputs) {
  if (FInputs.size() != kJobSlotCount || FOutputs.size() != kJobSlotCount)
    throw Exception(Format("The job slot tables must hold %d records", kJobSlotCount));
  FStates.fill(TJobSlotState::Free);
}

void TJobSlots::FreeAll() { FStates.fill(TJobSlotState::Free); }

int32_t TJobSlots::FirstFree() const {
  for (int32_t i = 0; i < kJobSlotCount; ++i)
    if (FStates[i] == TJobSlotState::Free) return i;
  return -1;
}

void TJobSlots::Rotate(int32_t AFrom, int32_t ATo) {
  CheckSlotIndex(AFrom);
  CheckSlotIndex(ATo);
  auto rotate = [&](auto& v) {
    auto from = v.begin() + AFrom, to = v.begin() + ATo;
    if (AFrom < ATo) std::rotate(from, from + 1, to + 1);
    else if (AFrom > ATo) std::rotate(to, from, from + 1);
  };
  rotate(FInputs);
  rotate(FOutputs);
  rotate(FStates);
}

int32_t TJobSlots::Claim(int32_t ARow, const TInputOptions& AInput, const TOutputOptions& AOutput) {
  const int32_t slot = FirstFree();
  if (slot < 0) return -1;
  // Removed jobs' slots lie between the rows' and the free ones; the new row's goes before them.
  if (ARow < 0 || ARow > slot) throw EListError(Format("No row %d to claim a job slot for", ARow));
  FInputs[slot] = AInput;
  FOutputs[slot] = AOutput;
  FStates[slot] = TJobSlotState::Full;
  Rotate(slot, ARow);
  return ARow;
}

void TJobSlots::Remove(int32_t ARow) {
  CheckSlotIndex(ARow);
  if (FStates[ARow] != TJobSlotState::Full) throw EListError(Format("Job slot %d holds no job", ARow));
  FStates[ARow] = TJobSlotState::Deleted;
  int32_t lastClaimed = FirstFree() < 0 ? kJobSlotCount - 1 : FirstFree() - 1;
  Rotate(ARow, lastClaimed);
}

void TJobSlots::Exchange(int32_t AIndex1, int32_t AIndex2) {
  CheckSlotIndex(AIndex1);
  CheckSlotIndex(AIndex2);
  std::swap(FInputs[AIndex1], FInputs[AIndex2]);
  std::swap(FOutputs[AIndex1], FOutputs[AIndex2]);
  std::swap(FStates[AIndex1], FStates[AIndex2]);
}

TJobSlotState TJobSlots::State(int32_t AIndex) const {
  CheckSlotIndex(AIndex);
  return FStates[AIndex];
}

TInputOptions& TJobSlots::Input(int32_t AIndex) {
  CheckSlotIndex(AIndex);
  return FInputs[AIndex];
}

TOutputOptions& TJobSlots::Output(int32_t AIndex) {
  CheckSlotIndex(AIndex);
  return FOutputs[AIndex];
}

int32_t TJobSlots::CountOf(TJobSlotState AState) const {
  return static_cast<int32_t>(std::count(FStates.begin(), FStates.end(), AState));
}

// ---- output names -------------------------------------------------------------------------------

std::set<std::string> OtherRowsOutputs(TListItems* AItems, int32_t AExceptRow, const std::string& AFolder) {
  std::set<std::string> taken;
  for (int32_t i = 0; i < AItems->Count(); ++i) {
    if (i == AExceptRow) continue;
    const std::string name = JobCell(AItems->Item(i), jcOutput);
    if (!name.empty()) taken.insert(IncludeTrailingPathDelimiter(AFolder) + name);
  }
  return taken;
}

std::string JobOutputFileName(const std::string& AName, std::string_view AExt, const TJobOutputRules& ARules) {
  const std::string name = ExtractFileName(AName);
  const std::string stem = name.substr(0, name.size() - ExtractFileExt(name).size());
  catalogue::TOutputNameRules rules;
  rules.Overwrite = ARules.Overwrite;
  rules.InputFileName = ARules.InputPath;
  rules.PlannedOutputs = ARules.TakenOutputs;
  return catalogue::UniqueOutputFileName(ARules.Folder, stem + std::string(AExt), rules);
}

// ---- rename -------------------------------------------------------------------------------------

bool IsValidJobName(std::string_view AName) {
  if (AName.empty() || AName == "." || AName == "..") return false;
  return AName.find('/') == std::string_view::npos && AName.find('\0') == std::string_view::npos;
}

std::string JobNameOfOutput(const std::string& AOutputCell) {
  const std::string name = ExtractFileName(AOutputCell);
  return name.substr(0, name.size() - ExtractFileExt(name).size());
}

}  // namespace joblist
