// The job list: its columns, the texts of a row's cells, the codes a row keeps, the 501 job
// slots, output names and rename names; then the main window's job handlers, headless, with
// fixture clips: the three adds, the slot limit, moves, removal, clearing and rename.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "Src/AVProbe.h"
#include "app/catalogue/FormatParams.h"
#include "app/catalogue/Presets.h"
#include "app/forms/JobList.h"
#include "app/forms/Unit1.h"
#include "base/Exception.h"
#include "lib/dialogs/kxSkinShellList.h"
#include "tests/Src/fixtures/MediaFixtures.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/dialogs/DialogInput.h"

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
    fs::create_directories(p.parent_path());
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

// ---- the main window's job list, headless ----------------------------------------------------

namespace {

using dlgtest::DialogInput;
using mediafix::FixturePath;
using mediafix::TFixture;

class JobsFormTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = new TForm1(owner.get());
    form->Show();
    Pump();
    out = std::make_unique<ScratchFolder>();
    fs::create_directories(out->Path / "out");
    outDir = (out->Path / "out").string();
    form->Video_OutPut_Folder_Edit->SetText(outDir);
    form->FileOutPutPath = outDir;
    form->OnChooseFiles = [this](TForm1::TAddKind Kind, std::vector<std::string>& Files) {
      kinds.push_back(Kind);
      Files = choice;
      return chosen;
    };
  }
  void TearDown() override {
    form = nullptr;
    ControlTest::TearDown();
    out.reset();
  }

  // A fixture clip copied under a name of the test's choice.
  std::string Clip(const std::string& AName, TFixture AFixture = TFixture::ShortStereo) {
    const fs::path p = out->Path / AName;
    fs::create_directories(p.parent_path());
    fs::copy_file(FixturePath(AFixture), p, fs::copy_options::overwrite_existing);
    return p.string();
  }
  void Add(TButton* AButton, std::vector<std::string> AFiles) {
    choice = std::move(AFiles);
    chosen = true;
    AButton->Click();
  }
  int Rows() { return form->lvFiles->Items()->Count(); }
  TListItem* Row(int i) { return form->lvFiles->Items()->Item(i); }
  std::string Cell(int row, int cell) { return JobCell(Row(row), cell); }
  std::vector<std::string> LogLines() {
    std::vector<std::string> v;
    TStrings* l = form->mmoLog->Lines();
    for (int i = 0; i < l->Count(); ++i) v.push_back(l->Get(i));
    return v;
  }
  bool LogHas(const std::string& ALine) {
    auto v = LogLines();
    return std::find(v.begin(), v.end(), ALine) != v.end();
  }
  // Arms a script that reads and closes the next message dialog.
  void ExpectHint(DialogInput& AInput, std::string* AText) {
    AInput.Then([AText](TCustomForm& d) {
      EXPECT_EQ(d.Caption(), "提示");
      if (AText) *AText = AllText(d);
      DialogInput::Key(win::VK_RETURN);
    });
  }
  // The texts of a dialog's controls, joined.
  static std::string AllText(TComponent& C) {
    std::string s;
    for (int i = 0; i < C.ComponentCount(); ++i) {
      if (auto* c = dynamic_cast<TControl*>(C.Components(i))) s += c->Caption() + "\n";
      s += AllText(*C.Components(i));
    }
    return s;
  }
  bool Group(TCommandGroup G) { return form->GroupOn(G); }

  TForm1* form = nullptr;
  std::unique_ptr<ScratchFolder> out;
  std::string outDir;
  std::vector<std::string> choice;
  bool chosen = true;
  std::vector<TForm1::TAddKind> kinds;
};

}  // namespace

TEST_F(JobsFormTest, OneFileGivesARowWithItsCellsLogAndGroups) {
  EXPECT_TRUE(form->kxSkinPanel5->Visible());
  const std::string clip = Clip("clip.avi");
  Add(form->btnAdd, {clip});
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Row(0)->Caption(), clip);
  EXPECT_EQ(Cell(0, jcDuration), "00:00:01");
  EXPECT_EQ(Cell(0, jcSize), SizeMBText(static_cast<int64_t>(fs::file_size(clip))));
  EXPECT_EQ(Cell(0, jcOutput), "clip.wmv");
  for (int c : {jcProgress, jcFps, jcTime, jcDoneSize}) EXPECT_EQ(Cell(0, c), "") << c;
  EXPECT_EQ(Cell(0, jcTaskNumber), "1");
  EXPECT_EQ(Cell(0, jcFormatCode), "100");
  EXPECT_EQ(form->lvFiles->ItemIndex(), 0);
  EXPECT_FALSE(form->kxSkinPanel5->Visible());
  EXPECT_EQ(form->T_Movie_PLayer_FileName, clip);
  EXPECT_EQ(form->Quill->TasksCount(), 1);
  EXPECT_EQ(form->FJobSlots.State(0), TJobSlotState::Full);
  EXPECT_EQ(form->IO1[0].FileName, clip);
  EXPECT_EQ(form->OO1[0].FileName, outDir + "/clip.wmv");
  EXPECT_EQ(form->OO1[0].AudioLanguage, "");
  for (TCommandGroup g : {TCommandGroup::Remove, TCommandGroup::Rename, TCommandGroup::Clear, TCommandGroup::Start})
    EXPECT_TRUE(Group(g)) << int(g);
  EXPECT_TRUE(Group(TCommandGroup::Add));
  EXPECT_FALSE(Group(TCommandGroup::Stop));
  // The log: the file's description after an empty line, then the success line between two.
  const auto log = LogLines();
  auto it = std::find(log.begin(), log.end(), "***Can do convert.");
  ASSERT_NE(it, log.end());
  ASSERT_TRUE(it != log.begin() && it + 1 != log.end());
  EXPECT_EQ(*(it - 1), "");
  EXPECT_EQ(*(it + 1), "");
  // The memo wraps long lines: the description names the file across them.
  std::string joined;
  for (const auto& l : log) joined += l;
  EXPECT_NE(joined.find("File Name: " + clip), std::string::npos);
}

TEST_F(JobsFormTest, SeveralFilesAreAddedLastFirstAndOnlyTheLastRowSelected) {
  const std::string a = Clip("a.avi"), b = Clip("b.avi"), c = Clip("c.avi");
  Add(form->btnAdd, {a});
  Add(form->Button8, {a, b, c});
  ASSERT_EQ(Rows(), 4);
  const std::vector<std::string> order = {a, c, b, a};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Row(i)->Caption(), order[i]) << i;
    EXPECT_EQ(Cell(i, jcTaskNumber), std::to_string(i + 1)) << i;
    EXPECT_EQ(form->IO1[i].FileName, order[i]) << i;
  }
  // The second a.avi gets a name of its own.
  EXPECT_EQ(Cell(0, jcOutput), "a.wmv");
  EXPECT_EQ(Cell(3, jcOutput), "a_1.wmv");
  EXPECT_EQ(form->lvFiles->SelCount(), 1);
  EXPECT_EQ(form->lvFiles->ItemIndex(), 3);
  EXPECT_EQ(form->T_Movie_PLayer_FileName, a);
  EXPECT_EQ(kinds, (std::vector<TForm1::TAddKind>{TForm1::TAddKind::OneFile, TForm1::TAddKind::Files}));
}

TEST_F(JobsFormTest, AFolderGivesItsDirectFilesHiddenTooAndNamesTheUnreadableOnes) {
  const std::string v = Clip("dir/v.avi"), h = Clip("dir/.hidden.avi");
  Clip("dir/sub/inner.avi");
  const std::string text = out->File("dir/notes.txt", "not a clip");
  DialogInput input;
  std::string hint;
  ExpectHint(input, &hint);
  Add(form->Button12, {(out->Path / "dir").string()});
  ASSERT_EQ(Rows(), 2);
  std::set<std::string> captions = {Row(0)->Caption(), Row(1)->Caption()};
  EXPECT_EQ(captions, (std::set<std::string>{v, h}));
  EXPECT_NE(hint.find(text), std::string::npos) << hint;
  EXPECT_EQ(form->ListBox1->Items()->Count(), 3);
  bool loadError = false;
  for (const auto& l : LogLines()) loadError |= l.rfind("***File load error: ", 0) == 0;
  EXPECT_TRUE(loadError);
  EXPECT_EQ(form->lvFiles->ItemIndex(), 1);
}

TEST_F(JobsFormTest, AFolderWithoutMediaSaysSo) {
  out->File("empty/readme.txt", "x");
  DialogInput input;
  std::string first, second;
  ExpectHint(input, &first);
  ExpectHint(input, &second);
  Add(form->Button12, {(out->Path / "empty").string()});
  EXPECT_EQ(Rows(), 0);
  EXPECT_NE(second.find("在该目录没有发现可以用的视频或音频文件！"), std::string::npos) << second;
  EXPECT_TRUE(form->kxSkinPanel5->Visible());
  EXPECT_FALSE(Group(TCommandGroup::Start));
}

TEST_F(JobsFormTest, ANonMediaFileIsLoggedAndNamedAndNothingElseChanges) {
  const std::string bad = out->File("bad.avi", "plain text, not a clip");
  DialogInput input;
  std::string hint;
  ExpectHint(input, &hint);
  Add(form->btnAdd, {bad});
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(form->Quill->TasksCount(), 0);
  EXPECT_NE(hint.find(bad), std::string::npos);
  EXPECT_EQ(form->T_Movie_PLayer_FileName, "");
  EXPECT_EQ(form->FJobSlots.CountOf(TJobSlotState::Free), kJobSlotCount);
  EXPECT_FALSE(Group(TCommandGroup::Remove));
}

TEST_F(JobsFormTest, ACancelledDialogAddsNothing) {
  chosen = false;
  form->btnAdd->Click();
  form->Button8->Click();
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(kinds.size(), 2u);
}

TEST_F(JobsFormTest, The502ndAddIsRefusedBeforeTheFileIsProbed) {
  TInputOptions in;
  TOutputOptions o;
  for (int i = 0; i < kJobSlotCount; ++i) ASSERT_EQ(form->FJobSlots.Claim(i, in, o), i);
  const std::string clip = Clip("one.avi");
  DialogInput input;
  std::string hint;
  ExpectHint(input, &hint);
  const auto before = LogLines().size();
  Add(form->btnAdd, {clip});
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(form->Quill->TasksCount(), 0);
  EXPECT_EQ(LogLines().size(), before);  // not even probed
  EXPECT_NE(hint.find("501"), std::string::npos) << hint;
}

TEST_F(JobsFormTest, MovesCarryCellsAndSlotsWithTheirRows) {
  const std::string a = Clip("a.avi"), b = Clip("b.avi"), c = Clip("c.avi");
  Add(form->Button8, {c, b, a});  // rows a, b, c
  auto check = [&](std::vector<std::string> captions) {
    ASSERT_EQ(Rows(), 3);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(Row(i)->Caption(), captions[i]) << i;
      EXPECT_EQ(form->IO1[i].FileName, captions[i]) << i;
      EXPECT_EQ(form->OO1[i].FileName, outDir + "/" + Cell(i, jcOutput)) << i;
    }
  };
  check({a, b, c});
  form->lvFiles->SetItemIndex(2);
  form->kxSkinButton3->ButtonClick();  // up
  check({a, c, b});
  EXPECT_EQ(form->lvFiles->ItemIndex(), 1);
  EXPECT_EQ(Cell(1, jcTaskNumber), "3");  // task numbers travel with their rows
  form->kxSkinButton3->ButtonClick();
  check({c, a, b});
  form->kxSkinButton3->ButtonClick();  // the first row up: nothing
  check({c, a, b});
  EXPECT_EQ(form->lvFiles->ItemIndex(), 0);
  form->lvFiles->SetItemIndex(2);
  form->kxSkinButton4->ButtonClick();  // the last row down: nothing
  check({c, a, b});
  form->Button27->Click();
  check({c, b, a});
  form->kxSkinButton4->ButtonClick();
  check({c, a, b});
}

TEST_F(JobsFormTest, RemoveRenumbersSelectsRowZeroAndEndsWithTheEmptyList) {
  DialogInput input;
  std::string hint;
  ExpectHint(input, &hint);
  form->btnRemove->Click();  // nothing selected
  EXPECT_NE(hint.find("请先选择您需要删除的项目！"), std::string::npos);

  const std::string a = Clip("a.avi"), b = Clip("b.avi"), c = Clip("c.avi");
  Add(form->Button8, {c, b, a});
  form->lvFiles->SetItemIndex(1);
  form->btnRemove->Click();
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Row(0)->Caption(), a);
  EXPECT_EQ(Row(1)->Caption(), c);
  EXPECT_EQ(Cell(0, jcTaskNumber), "1");
  EXPECT_EQ(Cell(1, jcTaskNumber), "2");
  EXPECT_EQ(form->Quill->TasksCount(), 2);
  EXPECT_EQ(form->lvFiles->ItemIndex(), 0);
  EXPECT_EQ(form->IO1[1].FileName, c);  // row 1's own slot
  EXPECT_EQ(form->FJobSlots.State(2), TJobSlotState::Deleted);
  EXPECT_TRUE(Group(TCommandGroup::Remove));

  form->btnRemove->Click();
  form->btnRemove->Click();
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(form->Quill->TasksCount(), 0);
  EXPECT_TRUE(form->kxSkinPanel5->Visible());
  for (TCommandGroup g : {TCommandGroup::Remove, TCommandGroup::Rename, TCommandGroup::Clear, TCommandGroup::Start})
    EXPECT_FALSE(Group(g)) << int(g);
  // Removed jobs keep their slots until a clear.
  EXPECT_EQ(form->FJobSlots.CountOf(TJobSlotState::Deleted), 3);
}

TEST_F(JobsFormTest, ClearEmptiesEverythingAndTheNextAddClaimsSlotZero) {
  const std::string a = Clip("a.avi"), b = Clip("b.avi");
  Add(form->Button8, {a, b});
  form->lvFiles->SetItemIndex(0);
  form->btnRemove->Click();
  form->btnClear->Click();
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(form->Quill->TasksCount(), 0);
  EXPECT_EQ(form->FJobSlots.CountOf(TJobSlotState::Free), kJobSlotCount);
  EXPECT_TRUE(form->kxSkinPanel5->Visible());
  EXPECT_TRUE(Group(TCommandGroup::Add));
  for (TCommandGroup g : {TCommandGroup::Remove, TCommandGroup::Rename, TCommandGroup::Clear, TCommandGroup::Start})
    EXPECT_FALSE(Group(g)) << int(g);
  Add(form->btnAdd, {b});
  EXPECT_EQ(form->FJobSlots.State(0), TJobSlotState::Full);
  EXPECT_EQ(form->IO1[0].FileName, b);
  EXPECT_EQ(Cell(0, jcTaskNumber), "1");
}

TEST_F(JobsFormTest, RenameCommitsWithEnterAndRefusesBadNames) {
  const std::string a = Clip("a.avi"), b = Clip("b.avi");
  Add(form->Button8, {b, a});  // rows a, b
  ASSERT_EQ(Cell(1, jcOutput), "b.wmv");
  struct Case {
    const char* typed;
    int key;  // win::VK_RETURN, win::VK_ESCAPE, or 0: the edit loses the focus
    const char* cell;
    bool hint;
  } cases[] = {
      {"新名字", win::VK_RETURN, "新名字.wmv", false},
      {"kept", win::VK_ESCAPE, "新名字.wmv", false},  // Escape drops the name
      {"", win::VK_RETURN, "新名字.wmv", false},      // empty: nothing changes, the edit goes
      {"..", win::VK_RETURN, "新名字.wmv", true},
      {".", win::VK_RETURN, "新名字.wmv", true},
      {"../up", win::VK_RETURN, "新名字.wmv", true},
      {"b", win::VK_RETURN, "b_1.wmv", false},        // row 1's output is taken
      {"left", 0, "left.wmv", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    form->lvFiles->SetItemIndex(0);
    form->kxSkinButton21->ButtonClick();
    ASSERT_TRUE(form->edt->Visible());
    EXPECT_EQ(form->edt->Parent(), form->lvFiles);
    form->edt->SetText(c.typed);
    DialogInput input;
    std::string hint;
    if (c.hint) ExpectHint(input, &hint);
    if (c.key) {
      DialogInput::Key(c.key);
    } else {
      form->lvFiles->SetFocus();
      Pump();
    }
    EXPECT_FALSE(form->edt->Visible());
    EXPECT_EQ(Cell(0, jcOutput), c.cell);
    EXPECT_EQ(form->OO1[0].FileName, outDir + "/" + c.cell);
    EXPECT_EQ(Cell(1, jcOutput), "b.wmv");
    if (c.hint) EXPECT_NE(hint.find(c.typed), std::string::npos) << hint;
  }
}

TEST_F(JobsFormTest, RenameWithoutASelectionAsks) {
  DialogInput input;
  std::string hint;
  ExpectHint(input, &hint);
  form->kxSkinButton21->ButtonClick();
  EXPECT_NE(hint.find("请先选中您需要重命名的项目！"), std::string::npos);
  form->lvFilesDblClick(form->lvFiles);  // no message for the double click
  EXPECT_FALSE(form->edt->Visible());
}

TEST_F(JobsFormTest, Button14BuildsTasksFromTheClaimedSlots) {
  const std::string a = Clip("a.avi"), b = Clip("b.avi");
  Add(form->Button8, {b, a});
  form->lvFiles->SetItemIndex(0);
  form->btnRemove->Click();
  form->Button14->Click();
  EXPECT_EQ(form->Quill->TasksCount(), 1);
  EXPECT_EQ(form->Quill->GetTaskAVProbe(0, 0)->FileName(), b);
}

TEST_F(JobsFormTest, GenerateOutputFileNameCountsPastExistingFiles) {
  const std::string base = (out->Path / "clip").string();
  EXPECT_EQ(form->GenerateOutputFileName(base + ".avi", ".mp4"), base + "_(new).mp4");
  out->File("clip_(new).mp4");
  out->File("clip_(new_1).mp4");
  EXPECT_EQ(form->GenerateOutputFileName(base + ".avi", ".mp4"), base + "_(new_2).mp4");
}

TEST_F(JobsFormTest, SelectionRestoresCategoryFormatAndPresetsInTheRow) {
  const std::string a = Clip("a.avi"), b = Clip("b.avi");
  Add(form->Button8, {b, a});  // rows a, b; row 1 selected
  EXPECT_EQ(form->lvFiles->ItemIndex(), 1);
  form->lvFiles->SetItemIndex(-1);
  // Row 1 becomes an audio job: format code 412 (category position 3, format 12) with the last
  // item of each of its preset lists.
  const int key = catalogue::FormatKeyOfListPositions(3, 12);
  const catalogue::TPresetEntry* entry = catalogue::MainPresets().Find(key);
  ASSERT_NE(entry, nullptr);
  std::array<int, catalogue::kPresetRoleCount> positions{};
  for (catalogue::TPresetRole r : catalogue::kPresetFillOrder)
    positions[catalogue::RoleIndex(r)] = int((*entry)[r].List->Items.size()) - 1;
  SetJobCell(Row(1), jcFormatCode, "412");
  SetJobCell(Row(1), jcPresetCode, catalogue::PresetCode(positions));

  form->lvFiles->SetItemIndex(1);
  EXPECT_EQ(form->kxSkinOfficeComboBox2->ItemIndex(), 3);
  EXPECT_EQ(form->kxSkinOfficeComboBox1->ItemIndex(), 12);
  using catalogue::RoleIndex;
  using catalogue::TPresetRole;
  const std::pair<TkxSkinComboBox*, TPresetRole> lists[] = {
      {form->kxSkinComboBox1, TPresetRole::Resolution}, {form->kxSkinComboBox2, TPresetRole::VideoBitrate},
      {form->kxSkinComboBox3, TPresetRole::AudioBitrate}, {form->kxSkinComboBox4, TPresetRole::Aspect},
      {form->kxSkinComboBox9, TPresetRole::FrameRate},  {form->kxSkinComboBox10, TPresetRole::SampleRate}};
  for (const auto& [box, role] : lists) EXPECT_EQ(box->ItemIndex(), positions[RoleIndex(role)]) << RoleIndex(role);
  EXPECT_EQ(Cell(1, jcFormatCode), "412");
  EXPECT_EQ(Cell(1, jcOutput), "b" + std::string(catalogue::OutputExtension(key)));
  EXPECT_EQ(form->T_Movie_PLayer_FileName, b);
  // Row 0 was not touched by row 1's restore.
  EXPECT_EQ(Cell(0, jcFormatCode), "100");
  EXPECT_EQ(Cell(0, jcOutput), "a.wmv");

  // A preset code that cannot be read back leaves the lists as they are.
  SetJobCell(Row(0), jcPresetCode, "0-10310000904");
  form->lvFiles->SetItemIndex(0);
  EXPECT_EQ(form->kxSkinOfficeComboBox2->ItemIndex(), 3);
  EXPECT_EQ(form->kxSkinOfficeComboBox1->ItemIndex(), 12);
  EXPECT_EQ(Cell(0, jcOutput), "a.wmv");
  EXPECT_EQ(form->T_Movie_PLayer_FileName, b);
  // So does a deselection.
  form->lvFiles->SetItemIndex(-1);
  EXPECT_EQ(form->kxSkinOfficeComboBox1->ItemIndex(), 12);
}

// Without a chooser of the test's own, the adds ask the form's open dialogs.
TEST_F(JobsFormTest, TheAddsTakeTheOpenDialogsChoice) {
  form->OnChooseFiles = nullptr;
  const std::string a = Clip("pick/a.avi"), b = Clip("pick/b.avi");
  DialogInput input;
  input.Then([&](TCustomForm& d) {
    auto& f = dynamic_cast<TkxFileDlgForm&>(d);
    EXPECT_EQ(f.Caption(), "打开文件");
    f.FileNameEdit->SetText(b);
    f.OpenButton->ButtonClick();
  });
  form->btnAdd->Click();
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Row(0)->Caption(), b);

  input.Then([&](TCustomForm& d) {
    auto& f = dynamic_cast<TkxFileDlgForm&>(d);
    f.FileListView->SetPath((out->Path / "pick").string());
    Pump();
    f.FileListView->SelectAll();
    f.FileNameEdit->SetText("a.avi");
    f.OpenButton->ButtonClick();
  });
  form->Button8->Click();
  ASSERT_EQ(Rows(), 3);
  // The dialog's list order is a, b: added last first.
  EXPECT_EQ(Row(1)->Caption(), b);
  EXPECT_EQ(Row(2)->Caption(), a);
  EXPECT_EQ(form->lvFiles->ItemIndex(), 2);

  input.Then([&](TCustomForm& d) { DialogInput::Key(win::VK_ESCAPE); });
  form->btnAdd->Click();
  EXPECT_EQ(Rows(), 3);
}
