#pragma once
// The job list of the main window: its 25 columns, the cells of a job row and their texts, the
// format and preset codes a row keeps, and the 501 job slots that hold the input and output
// records each add built.
//
// Slot i always holds the records of the job at row i (a move or a removal moves the slots with
// the rows), so no job is ever built from another job's records, and a slot's state is kept
// beside its records: the output record a task gets carries no bookkeeping text.
#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Src/TaskOptions.h"
#include "app/catalogue/FormatCatalogue.h"

class TListItem;
class TListItems;
class TCustomAVProbe;

namespace joblist {

// ---- columns and cells -------------------------------------------------------------------------
struct TJobColumn {
  std::string_view Caption;
  int32_t Width;
  int32_t MaxWidth;  // 0: no bound; 1 for the hidden columns, which the user cannot widen
};
constexpr int kJobColumnCount = 25;
// Column 0 shows the caption (the input path), column k the cell k - 1.
std::span<const TJobColumn> JobColumns();

// Cells (sub-items) of a row.
enum TJobCell : int {
  jcDuration = 0,    // SecToDate of the input's length, or "N/A"
  jcSize = 1,        // the input's size in MB
  jcOutput = 2,      // output file name without folder
  jcProgress = 3,    // "NN%", "N/A", "100%"
  jcFps = 4,
  jcTime = 5,        // converted media time
  jcDoneSize = 6,    // output size so far
  jcTaskNumber = 7,  // index of the row's task + 1
  jcFormatCode = 8,
  jcPresetCode = 9,
  jcVideoCodec = 10,
  jcAudioCodec = 11,
  jcAudioChannels = 12,
  jcVideoTag = 13,
  jcFileExt = 14,
  jcFrameSize = 15,
  jcVideoBitrate = 16,
  jcFrameRate = 17,
  jcAudioBitrate = 18,
  jcSampleRate = 19,
  jcAspect = 20,
  jcAudioOnly = 21,  // "True" / "False"; empty right after adding
  jcTargetType = 22,
  jcNormType = 23,
};
constexpr int kJobCellCount = 24;

struct TJobRow {
  std::string Caption;
  std::array<std::string, kJobCellCount> Cells;
};

// The row as the list holds it; missing cells read as empty.
TJobRow ReadJobRow(TListItem* AItem);
// Caption and all 24 cells.
void WriteJobRow(TListItem* AItem, const TJobRow& ARow);
// One cell; "" when the row has fewer cells.
std::string JobCell(TListItem* AItem, int ACell);
// Sets one cell, adding empty cells before it when the row is short.
void SetJobCell(TListItem* AItem, int ACell, const std::string& AText);

// ---- cell texts --------------------------------------------------------------------------------
// "%.2d:%.2d:%.2d" of hours, minutes and seconds; the hours wrap at 24 (90000 gives 01:00:00).
std::string SecToDate(int32_t Sec);
// The length cell: SecToDate of the whole seconds, or "N/A" for a length of 0 or less.
std::string DurationText(int64_t ADurationUs);
// Bytes in MB with at most two decimals, rounded half to even, shortest form, then "MB":
// "1.5MB", "12.34MB", "3MB".
std::string SizeMBText(int64_t ABytes);

// The format code as its cell shows it, and the list positions a cell stands for (nullopt when
// the cell is not a whole number).
std::string FormatCodeText(int ACategoryPosition, int AFormatPosition);
std::optional<catalogue::TListPositions> ReadFormatCodeCell(std::string_view ACell);

// ---- a new row ---------------------------------------------------------------------------------
// What a new row takes from the probe of its input.
struct TProbeFacts {
  int64_t DurationUs = 0;  // <= 0: unknown
  int64_t FileSize = -1;   // bytes
};
TProbeFacts ProbeFactsOf(TCustomAVProbe& AProbe);

struct TNewJob {
  std::string InputPath;  // the row's caption
  TProbeFacts Probe;
  int32_t TaskIndex = -1;
  std::string FormatCode;
  std::string PresetCode;
  const TOutputOptions* Output = nullptr;  // after SetOutputFile: FileName is the output path
};
// The row of a job just added: length and size from the probe, the output's file name, the
// task number, the two codes and the output record's conversion values.
TJobRow NewJobRow(const TNewJob& AJob);

// ---- job slots ---------------------------------------------------------------------------------
// Every successful add claims a slot and only clearing frees them, so the list holds at most
// 501 jobs between two clears.
constexpr int kJobSlotCount = 501;

enum class TJobSlotState { Free, Full, Deleted };

// The slot states over the main window's two record tables (IO1, OO1). The slots stay aligned
// with the rows: slot i holds the records of the job at row i, for every row. Claimed slots of
// removed jobs lie behind those of the rows, free slots behind them, so a removal, a move or an
// add never leaves a row reading another job's records.
class TJobSlots {
public:
  // Both tables must hold kJobSlotCount records; they outlive this object.
  TJobSlots(std::vector<TInputOptions>& AInputs, std::vector<TOutputOptions>& AOutputs);

  // Every slot free again; the records stay as they were.
  void FreeAll();
  // The first free slot, or -1 when every slot has been claimed since the last FreeAll.
  int32_t FirstFree() const;
  // Copies the records of a job appended as row ARow (the rows before it hold slots 0..ARow-1)
  // into slot ARow, and marks it full: ARow, or -1 when no slot is free.
  int32_t Claim(int32_t ARow, const TInputOptions& AInput, const TOutputOptions& AOutput);
  // The job of row ARow is gone: its slot is marked removed and moves behind the rows' slots, so
  // the slots of the later rows move up with them.
  void Remove(int32_t ARow);
  // Two rows changed places: so do their slots.
  void Exchange(int32_t AIndex1, int32_t AIndex2);

  // An index outside 0..500 raises EListError.
  TJobSlotState State(int32_t AIndex) const;
  TInputOptions& Input(int32_t AIndex);
  TOutputOptions& Output(int32_t AIndex);
  int32_t CountOf(TJobSlotState AState) const;

private:
  void Rotate(int32_t AFrom, int32_t ATo);  // the slot at AFrom moves to ATo, those between shift by one
  std::vector<TInputOptions>& FInputs;
  std::vector<TOutputOptions>& FOutputs;
  std::array<TJobSlotState, kJobSlotCount> FStates{};
};

// ---- output names ------------------------------------------------------------------------------
// The planned output paths of every row but AExceptRow: the folder joined with cell 2.
std::set<std::string> OtherRowsOutputs(TListItems* AItems, int32_t AExceptRow, const std::string& AFolder);

struct TJobOutputRules {
  std::string Folder;
  bool Overwrite = false;
  std::string InputPath;                            // never chosen as the output
  const std::set<std::string>* TakenOutputs = nullptr;  // the other rows' outputs
};
// Full path of a job's output: the name part of AName (a name or a path) with the extension
// AExt, in the folder, made free by the catalogue's rule (existing files unless overwriting,
// the other rows' outputs and the input always).
std::string JobOutputFileName(const std::string& AName, std::string_view AExt, const TJobOutputRules& ARules);

// ---- rename ------------------------------------------------------------------------------------
// Whether a typed name can stand before the output extension: not empty, no "/" (the name must
// stay in the output folder), not "." or "..".
bool IsValidJobName(std::string_view AName);
// Cell 2 without its extension: what the rename edit starts with.
std::string JobNameOfOutput(const std::string& AOutputCell);

}  // namespace joblist
