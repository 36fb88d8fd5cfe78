#pragma once
// From job rows to the task component's tasks, and back from its reports to the rows.
//
// Start rebuilds every task from its row's texts (cells 10 to 23 hold the conversion values a
// format and the presets wrote there) over the records the row's job kept from the time it was
// added: a cell left empty keeps the record's value. A row whose number cell holds no number
// gives no task; the caller names such rows to the user instead of failing the whole start.
//
// The run choices of the options dialog (priority, thread count, after-done action) arrive as
// one plain record, so this file needs nothing of that dialog.
#include <cstdint>
#include <string>
#include <vector>

#include "Src/FFmpegLogger.h"
#include "Src/TaskOptions.h"
#include "app/forms/JobList.h"
#include "base/Thread.h"

namespace taskrows {

// Why a row gives no task.
struct TRowFault {
  int Cell = -1;     // the number cell that holds no number
  std::string Text;  // its text
};

// Writes a row's values into the records of its job: the caption as the input file, then the
// output options the cells give (an empty cell, "AUTO", and the audio bitrates "-1000" and
// "-2000" keep the record's value). When a number cell (12, 16, 18, 19) holds no number,
// answers false with the cell in AFault and leaves both records as they were.
bool ApplyRowToRecords(const joblist::TJobRow& ARow, TInputOptions& AInput, TOutputOptions& AOutput,
                       TRowFault* AFault = nullptr);

// The output file of a row: the output folder and the row's output name.
std::string RowOutputFile(const std::string& AOutputFolder, const joblist::TJobRow& ARow);

// ---- what the options dialog chooses for a run ------------------------------------------

struct TRunChoices {
  // The four priority radios, idle to normal.
  bool PriorityIdle = false, PriorityLowest = false, PriorityLower = false, PriorityNormal = true;
  bool MultiThread = true;              // the (hidden) multi-thread box
  std::string ThreadCountText = "1";    // the thread-count list's text
  // The after-done radios; "do nothing" is none of them.
  bool OpenFolder = true, PowerOff = false, PlaySound = false;
};

// The priority the radios give: each checked radio overrides the ones before it; none checked
// keeps ACurrent.
TThreadPriority PriorityOfChoices(const TRunChoices& AChoices, TThreadPriority ACurrent);

// Conversion threads for a run: the list's number with the multi-thread box ticked, else 1.
// A text that is no whole number, or a number below 1, gives 1: a start always runs on
// conversion threads, never on the user-interface thread.
int32_t ThreadCountOfChoices(const TRunChoices& AChoices);
int32_t ThreadCountOfText(const std::string& AText);

// ---- reports into texts ------------------------------------------------------------------

// Cell 3: the converted share as "NN%", or "N/A" when the total length is unknown.
std::string ProgressPercentText(int64_t ACurrentDuration, int64_t ATotalDuration);
// Cell 4: the frame rate; empty when there is none to show (the cell keeps its text).
std::string ProgressFpsText(int32_t AFps);
// Whole seconds of a duration in microseconds (for cell 5).
int64_t ProgressSeconds(int64_t ACurrentDuration);

// A log line: "#" thread id "." level ": " message.
std::string LogLineText(uint32_t AThreadID, TLogLevel ALevel, const std::string& AMsg);

// The text of the one message that names every row start had to leave out.
struct TSkippedRow {
  std::string FileName;
  std::string Reason;
};
std::string SkippedRowsText(const std::vector<TSkippedRow>& ARows);

}  // namespace taskrows
