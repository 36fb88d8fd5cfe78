// The job list: its columns, the texts of a row's cells, the codes a row keeps, the 501 job
// slots, output names and rename names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/forms/JobList.h"
#include "base/Exception.h"

using namespace joblist;
namespace fs = std::filesystem;

namespace {

class ScratchFolder {
public:
  ScratchFolder() {
    Path = fs::temp_directory_path() /
           ("ombrel_jobs_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Path);
    fs::create_directories(Path);
  }
  ~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(Path, ec);
  }
  std::string File(const std::string& AName, const std::string& AText = "x") const {
    const fs::path p = Path / AName;
    std::ofstream(p) << AText;
    return p.string();
  }
  std::string Str() const { return Path.string(); }
  fs::path Path;
};

}  // namespace

TEST(JobColumns, CaptionsWidthsAndHiddenColumns) {
  ASSERT_EQ(JobColumns().size(), 25u);
  struct Case {
    int column;
    const char* caption;
    int width;
  } visible[] = {{0, "输入文件", 80}, {1, "视频时间", 70}, {2, "文件大小", 70}, {3, "输出文件", 80},
                 {4, "转换进度", 70}, {6, "当前时间", 80}, {7, "转换大小", 80}};
  for (const Case& c : visible) {
    SCOPED_TRACE(c.column);
    EXPECT_EQ(JobColumns()[c.column].Caption, c.caption);
    EXPECT_EQ(JobColumns()[c.column].Width, c.width);
    EXPECT_EQ(JobColumns()[c.column].MaxWidth, 0);
  }
  // Column 5 and 8..24 can never be seen or widened.
  for (int col : {5, 8, 9, 10, 15, 20, 24}) {
    SCOPED_TRACE(col);
    EXPECT_EQ(JobColumns()[col].Width, 0);
    EXPECT_EQ(JobColumns()[col].MaxWidth, 1);
  }
  EXPECT_EQ(JobColumns()[5].Caption, "");
  EXPECT_EQ(JobColumns()[8].Caption, "视频序号");
  EXPECT_EQ(JobColumns()[14].Caption, "VideoTag");
  EXPECT_EQ(JobColumns()[22].Caption, "视频能否");
  EXPECT_EQ(JobColumns()[24].Caption, "NormType");
}

TEST(JobCellTexts, SecToDateWrapsHoursAt24) {
  struct Case {
    int32_t sec;
    const char* text;
  } cases[] = {{0, "00:00:00"},      {59, "00:00:59"},     {60, "00:01:00"},     {3725, "01:02:05"},
               {86399, "23:59:59"},  {86400, "00:00:00"},  {90000, "01:00:00"},  {360000 + 7, "04:00:07"}};
  for (const Case& c : cases) EXPECT_EQ(SecToDate(c.sec), c.text) << c.sec;
}

TEST(JobCellTexts, DurationTruncatesToWholeSecondsOrSaysNA) {
  struct Case {
    int64_t us;
    const char* text;
  } cases[] = {{0, "N/A"},
               {-1, "N/A"},
               {INT64_MIN, "N/A"},  // the libraries' "no value"
               {999999, "00:00:00"},
               {2000000, "00:00:02"},
               {2999999, "00:00:02"},
               {3725LL * 1000000 + 500000, "01:02:05"}};
  for (const Case& c : cases) EXPECT_EQ(DurationText(c.us), c.text) << c.us;
}

TEST(JobCellTexts, SizeInMegabytesRoundsHalfToEven) {
  struct Case {
    int64_t bytes;
    const char* text;
  } cases[] = {
      {1572864, "1.5MB"},        // 1.5 MB exactly
      {3 * 1048576, "3MB"},      // no decimals when there are none
      {12939428, "12.34MB"},     // 12.3400002... MB
      {131072, "0.12MB"},        // 0.125 MB: the tie goes to the even hundredth
      {393216, "0.38MB"},        // 0.375 MB: ... and here up
      {5243, "0.01MB"},          // 0.005000... MB rounds up (just above the tie)
      {0, "0MB"},
      {-1, "0MB"},               // a probe without a size
      {1099511627776, "1048576MB"},
  };
  for (const Case& c : cases) EXPECT_EQ(SizeMBText(c.bytes), c.text) << c.bytes;
}

TEST(JobCellTexts, FormatCodeCellsReadBack) {
  EXPECT_EQ(FormatCodeText(3, 12), "412");
  EXPECT_EQ(FormatCodeText(0, 0), "100");
  struct Case {
    const char* cell;
    bool readable;
    int category, format;
  } cases[] = {{"412", true, 3, 12}, {"100", true, 0, 0},  {"1315", true, 12, 15},
               {"", false, 0, 0},    {"4x2", false, 0, 0}, {"412 ", false, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cell);
    auto p = ReadFormatCodeCell(c.cell);
    ASSERT_EQ(p.has_value(), c.readable);
    if (!p) continue;
    EXPECT_EQ(p->Category, c.category);
    EXPECT_EQ(p->Format, c.format);
  }
}

TEST(JobRows, NewRowFromProbeAndOutputRecord) {
  TOutputOptions o;
  o.FileName = "/out/folder/clip.wmv";
  o.VideoCodec = "wmv2";
  o.AudioCodec = "wmav2";
  o.AudioChannels = 2;
  o.VideoBitrate = 816000;
  o.FrameRate = "25.00";
  o.AudioBitrate = 128000;
  o.AudioSampleRate = 44100;
  o.AudioLanguage = "";  // a slot's bookkeeping never shows here
  TNewJob job;
  job.InputPath = "/in/clip.avi";
  job.Probe = {2040000, 1572864};
  job.TaskIndex = 4;
  job.FormatCode = "100";
  job.PresetCode = "000310000904";
  job.Output = &o;
  const TJobRow row = NewJobRow(job);
  EXPECT_EQ(row.Caption, "/in/clip.avi");
  const std::array<std::string, kJobCellCount> expected = {
      "00:00:02", "1.5MB", "clip.wmv", "", "", "", "", "5", "100", "000310000904",
      "wmv2", "wmav2", "2", "", "", "", "816000", "25.00", "128000", "44100", "", "", "", ""};
  for (int i = 0; i < kJobCellCount; ++i) EXPECT_EQ(row.Cells[i], expected[i]) << "cell " << i;

  // Values the record leaves unset show as the record holds them.
  TOutputOptions unset;
  unset.FileName = "/o/a.mp3";
  job.Output = &unset;
  job.Probe = {};
  const TJobRow r2 = NewJobRow(job);
  EXPECT_EQ(r2.Cells[jcDuration], "N/A");
  EXPECT_EQ(r2.Cells[jcAudioChannels], "-1");
  EXPECT_EQ(r2.Cells[jcVideoBitrate], "-1");
  EXPECT_EQ(r2.Cells[jcSampleRate], "-1");

  job.Output = nullptr;
  EXPECT_THROW(NewJobRow(job), Exception);
}

namespace {

// The main window's two record tables with the slot states over them.
struct SlotTables {
  std::vector<TInputOptions> IO1 = std::vector<TInputOptions>(kJobSlotCount);
  std::vector<TOutputOptions> OO1 = std::vector<TOutputOptions>(kJobSlotCount);
  TJobSlots Slots{IO1, OO1};
  int Rows = 0;  // rows of the list the slots follow
  // Adds the job `name` as the next row.
  int Add(const std::string& name) {
    TInputOptions in;
    in.FileName = name;
    TOutputOptions out;
    out.FileName = name + ".out";
    const int s = Slots.Claim(Rows, in, out);
    if (s >= 0) ++Rows;
    return s;
  }
  void Remove(int row) {
    Slots.Remove(row);
    --Rows;
  }
  // The jobs of the rows, by their slots.
  std::vector<std::string> RowJobs() const {
    std::vector<std::string> v;
    for (int i = 0; i < Rows; ++i) v.push_back(IO1[i].FileName + "|" + OO1[i].FileName);
    return v;
  }
};

}  // namespace

TEST(JobSlots, ClaimInOrderUntilFullThenRefuse) {
  SlotTables t;
  EXPECT_EQ(t.Slots.CountOf(TJobSlotState::Free), kJobSlotCount);
  for (int i = 0; i < kJobSlotCount; ++i) ASSERT_EQ(t.Add("in" + std::to_string(i)), i);
  EXPECT_EQ(t.Slots.FirstFree(), -1);
  EXPECT_EQ(t.Add("one too many"), -1);  // the 502nd add
  EXPECT_EQ(t.IO1[500].FileName, "in500");

  // A removed job keeps its slot claimed until everything is cleared.
  t.Remove(7);
  EXPECT_EQ(t.Slots.FirstFree(), -1);
  EXPECT_EQ(t.Add("after a removal"), -1);
  EXPECT_EQ(t.Slots.State(500), TJobSlotState::Deleted);
  EXPECT_EQ(t.IO1[500].FileName, "in7");

  t.Slots.FreeAll();
  t.Rows = 0;
  EXPECT_EQ(t.Slots.CountOf(TJobSlotState::Free), kJobSlotCount);
  EXPECT_EQ(t.IO1[3].FileName, "in3");  // records stay
  EXPECT_EQ(t.Add("again"), 0);
}

// Slot i belongs to row i through removals, adds after removals and moves, so the task builder,
// rename and the start read each row's own records.
TEST(JobSlots, SlotsFollowTheirRowsThroughRemovalsAddsAndMoves) {
  SlotTables t;
  for (const char* n : {"a", "b", "c", "d"}) t.Add(n);
  t.Remove(1);  // b
  EXPECT_EQ(t.RowJobs(), (std::vector<std::string>{"a|a.out", "c|c.out", "d|d.out"}));
  EXPECT_EQ(t.Slots.State(3), TJobSlotState::Deleted);
  EXPECT_EQ(t.Slots.State(4), TJobSlotState::Free);

  EXPECT_EQ(t.Add("e"), 3);  // the new row's slot goes before the removed one's
  EXPECT_EQ(t.RowJobs(), (std::vector<std::string>{"a|a.out", "c|c.out", "d|d.out", "e|e.out"}));
  EXPECT_EQ(t.Slots.State(4), TJobSlotState::Deleted);
  EXPECT_EQ(t.IO1[4].FileName, "b");

  t.Slots.Exchange(0, 1);  // row 1 moved up
  t.Remove(3);             // e, the last row
  t.Remove(0);             // c, the first row
  EXPECT_EQ(t.RowJobs(), (std::vector<std::string>{"a|a.out", "d|d.out"}));
  EXPECT_EQ(t.Slots.CountOf(TJobSlotState::Full), 2);
  EXPECT_EQ(t.Slots.CountOf(TJobSlotState::Deleted), 3);
  EXPECT_EQ(t.Slots.FirstFree(), 5);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(t.Slots.State(i), TJobSlotState::Full) << i;
}

TEST(JobSlots, StateIsNotWrittenIntoTheRecords) {
  SlotTables t;
  t.Add("x");
  t.Add("y");
  t.Remove(0);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(t.OO1[i].AudioLanguage, "") << i;
  t.Slots.FreeAll();
  EXPECT_EQ(t.OO1[0].AudioLanguage, "");
}

TEST(JobSlots, BadIndexesAndTablesAreRefused) {
  SlotTables t;
  for (int bad : {-1, kJobSlotCount, 100000}) {
    EXPECT_THROW(t.Slots.State(bad), EListError) << bad;
    EXPECT_THROW(t.Slots.Input(bad), EListError) << bad;
    EXPECT_THROW(t.Slots.Output(bad), EListError) << bad;
    EXPECT_THROW(t.Slots.Remove(bad), EListError) << bad;
    EXPECT_THROW(t.Slots.Exchange(0, bad), EListError) << bad;
  }
  EXPECT_THROW(t.Slots.Remove(0), EListError);  // no job there
  TInputOptions in;
  TOutputOptions out;
  EXPECT_THROW(t.Slots.Claim(1, in, out), EListError);  // row 0 does not exist yet
  EXPECT_EQ(t.Slots.CountOf(TJobSlotState::Free), kJobSlotCount);

  std::vector<TInputOptions> shortInputs(10);
  std::vector<TOutputOptions> outputs(kJobSlotCount);
  EXPECT_THROW(TJobSlots(shortInputs, outputs), Exception);
}

TEST(JobOutputNames, UniqueAgainstDiskOtherRowsAndTheInput) {
  ScratchFolder dir;
  dir.File("taken.mp4");
  const std::string input = dir.File("self.mp4");
  const std::set<std::string> others = {dir.Str() + "/planned.mp4", dir.Str() + "/planned_1.mp4"};
  struct Case {
    const char* name;
    const char* ext;
    bool overwrite;
    const char* expected;
  } cases[] = {
      {"clip.avi", ".mp4", false, "clip.mp4"},         // extension from the table, not the name
      {"/in/dir/clip.avi", ".wmv", false, "clip.wmv"}, // a path: its name only
      {"taken.avi", ".mp4", false, "taken_1.mp4"},     // a file on disk
      {"taken.avi", ".mp4", true, "taken.mp4"},        // ... unless overwriting
      {"planned.wmv", ".mp4", false, "planned_2.mp4"}, // other rows' outputs, even overwriting
      {"planned.wmv", ".mp4", true, "planned_2.mp4"},
      {"self.avi", ".mp4", true, "self_1.mp4"},        // never the input itself
      {"noext", ".mp3", false, "noext.mp3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TJobOutputRules rules{dir.Str(), c.overwrite, input, &others};
    EXPECT_EQ(JobOutputFileName(c.name, c.ext, rules), dir.Str() + "/" + c.expected);
  }
}

TEST(JobRename, NamesThatCannotStandBeforeTheExtension) {
  struct Case {
    const char* name;
    bool valid;
  } cases[] = {{"clip", true},   {"新名字", true},     {"a b", true},      {"-x", true},
               {"v1.2", true},   {"", false},          {".", false},       {"..", false},
               {"/", false},     {"a/b", false},       {"../up", false},   {"/abs", false}};
  for (const Case& c : cases) EXPECT_EQ(IsValidJobName(c.name), c.valid) << c.name;

  EXPECT_EQ(JobNameOfOutput("clip.wmv"), "clip");
  EXPECT_EQ(JobNameOfOutput("v1.2.mp4"), "v1.2");
  EXPECT_EQ(JobNameOfOutput("noext"), "noext");
}
