// Running the conversion from the main window: job rows into tasks, the run choices, the
// reports back into texts, and the window itself driving real conversions of fixture clips.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "Src/AVProbe.h"
#include "Src/FFmpeg.h"
#include "Src/FFmpegLoader.h"
#include "app/catalogue/FormatParams.h"
#include "app/catalogue/OutputRecord.h"
#include "app/forms/JobList.h"
#include "app/forms/TaskRows.h"
#include "app/forms/Unit1.h"
#include "base/Exception.h"
#include "base/Files.h"
#include "base/MainThread.h"
#include "lib/controls/kxSkinLabels.h"
#include "platform/backend/headless/ShellRecorder.h"
#include "tests/Src/fixtures/MediaFixtures.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/dialogs/DialogInput.h"

using namespace taskrows;

namespace {

// A row as the add writes it for key 1800 (WMV, wmv2 + wmav2), cells 0 to 23.
joblist::TJobRow WmvRow() {
  joblist::TJobRow r;
  r.Caption = "/media/in/clip.avi";
  r.Cells = {"00:00:02", "0.12MB", "clip.wmv", "", "", "", "", "1", "100", "000310000904",
             "wmv2", "wmav2", "2", "", ".wmv", "", "816000", "25", "128000", "44100", "", "False", "", ""};
  return r;
}

// The records of a job slot as the add left them: values that the cells may keep.
void SlotRecords(TInputOptions& I, TOutputOptions& O) {
  InitInputOptions(I);
  InitOutputOptions(O);
  I.FileName = "/media/old/name.avi";
  O.VideoCodec = "slotvc";
  O.VideoPreset = "slotpreset";
  O.AudioCodec = "slotac";
  O.AudioChannels = 6;
  O.VideoTag = "SLOT";
  O.FileExt = ".slot";
  O.FrameSize = "11*22";
  O.VideoBitrate = 333;
  O.FrameRate = "7";
  O.AudioBitrate = 96000;
  O.AudioSampleRate = 22050;
  O.FrameAspectRatio = "5:4";
  O.DisableVideo = true;
  O.TargetType = ttDVD;
  O.NormType = ntNTSC;
  O.FileFormat = "asf";
  O.AudioVolume = 256;
  O.VideoFilters = "hflip";
}

}  // namespace

// Each case changes a few cells of the WMV row and checks what the output record gets.
TEST(TaskRowRecords, CellsIntoTheSlotRecords) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, std::string>> cells;
    std::function<void(const TOutputOptions&)> check;
  };
  const std::vector<Case> cases = {
      {"wmv row as added", {},
       [](const TOutputOptions& o) {
         EXPECT_EQ(o.VideoCodec, "wmv2");
         EXPECT_EQ(o.VideoPreset, "");
         EXPECT_EQ(o.AudioCodec, "wmav2");
         EXPECT_EQ(o.AudioChannels, 2);
         EXPECT_EQ(o.VideoTag, "");
         EXPECT_EQ(o.FileExt, ".wmv");
         EXPECT_EQ(o.FrameSize, "11*22");  // empty cell: the slot's
         EXPECT_EQ(o.VideoBitrate, 816000);
         EXPECT_EQ(o.FrameRate, "25");
         EXPECT_EQ(o.AudioBitrate, 128000);
         EXPECT_EQ(o.AudioSampleRate, 44100);
         EXPECT_EQ(o.FrameAspectRatio, "5:4");
         EXPECT_FALSE(o.DisableVideo);
         EXPECT_EQ(o.TargetType, ttDVD);  // empty cell: the slot's
         EXPECT_EQ(o.NormType, ntAuto);   // empty cell: auto, not the slot's
         // Never from the cells: the slot's.
         EXPECT_EQ(o.FileFormat, "asf");
         EXPECT_EQ(o.AudioVolume, 256);
         EXPECT_EQ(o.VideoFilters, "hflip");
       }},
      {"libx264 takes its default preset and drops the tag", {{10, "libx264"}, {13, "XVID"}},
       [](const TOutputOptions& o) {
         EXPECT_EQ(o.VideoCodec, "libx264");
         EXPECT_EQ(o.VideoPreset, "libx264-default");
         EXPECT_EQ(o.VideoTag, "");
       }},
      {"another codec keeps its tag", {{10, "mpeg4"}, {13, "XVID"}},
       [](const TOutputOptions& o) {
         EXPECT_EQ(o.VideoCodec, "mpeg4");
         EXPECT_EQ(o.VideoPreset, "");
         EXPECT_EQ(o.VideoTag, "XVID");
       }},
      {"empty codecs keep the slot's; AUTO audio too", {{10, ""}, {11, "AUTO"}},
       [](const TOutputOptions& o) {
         EXPECT_EQ(o.VideoCodec, "slotvc");
         EXPECT_EQ(o.VideoPreset, "slotpreset");
         EXPECT_EQ(o.AudioCodec, "slotac");
       }},
      {"-2000 keeps the slot's audio bitrate", {{18, "-2000"}},
       [](const TOutputOptions& o) { EXPECT_EQ(o.AudioBitrate, 96000); }},
      {"-1000 keeps the slot's audio bitrate", {{18, "-1000"}},
       [](const TOutputOptions& o) { EXPECT_EQ(o.AudioBitrate, 96000); }},
      {"-1 reaches the task as it is", {{18, "-1"}, {16, "-1000"}},
       [](const TOutputOptions& o) {
         EXPECT_EQ(o.AudioBitrate, -1);
         EXPECT_EQ(o.VideoBitrate, -1000);
       }},
      {"empty number cells keep the slot's", {{12, ""}, {16, ""}, {19, ""}},
       [](const TOutputOptions& o) {
         EXPECT_EQ(o.AudioChannels, 6);
         EXPECT_EQ(o.VideoBitrate, 333);
         EXPECT_EQ(o.AudioSampleRate, 22050);
       }},
      {"AUTO sample rate keeps the slot's", {{19, "AUTO"}},
       [](const TOutputOptions& o) { EXPECT_EQ(o.AudioSampleRate, 22050); }},
      {"only True disables video", {{21, "True"}}, [](const TOutputOptions& o) { EXPECT_TRUE(o.DisableVideo); }},
      {"true in lower case does not", {{21, "true"}}, [](const TOutputOptions& o) { EXPECT_FALSE(o.DisableVideo); }},
      {"empty disables nothing", {{21, ""}}, [](const TOutputOptions& o) { EXPECT_FALSE(o.DisableVideo); }},
      {"vcd with PAL", {{22, "vcd"}, {23, "PAL"}, {15, "352*288"}, {20, "4:3"}},
       [](const TOutputOptions& o) {
         EXPECT_EQ(o.TargetType, ttVCD);
         EXPECT_EQ(o.NormType, ntPAL);
         EXPECT_EQ(o.FrameSize, "352*288");
         EXPECT_EQ(o.FrameAspectRatio, "4:3");
       }},
      {"svcd with NTSC", {{22, "svcd"}, {23, "NTSC"}},
       [](const TOutputOptions& o) {
         EXPECT_EQ(o.TargetType, ttSVCD);
         EXPECT_EQ(o.NormType, ntNTSC);
       }},
      {"dvd, unknown norm", {{22, "dvd"}, {23, "SECAM"}},
       [](const TOutputOptions& o) {
         EXPECT_EQ(o.TargetType, ttDVD);
         EXPECT_EQ(o.NormType, ntAuto);
       }},
      {"an unknown target is ignored", {{22, "bluray"}}, [](const TOutputOptions& o) { EXPECT_EQ(o.TargetType, ttIgnore); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    joblist::TJobRow row = WmvRow();
    for (const auto& [cell, text] : c.cells) row.Cells[static_cast<size_t>(cell)] = text;
    TInputOptions in;
    TOutputOptions out;
    SlotRecords(in, out);
    TRowFault fault;
    ASSERT_TRUE(ApplyRowToRecords(row, in, out, &fault));
    EXPECT_EQ(in.FileName, "/media/in/clip.avi");
    c.check(out);
  }
}

// A number cell without a number gives no task and changes neither record; a row with empty
// cells fails only on the audio bitrate, which has no "keep".
TEST(TaskRowRecords, NumberCellsWithoutANumber) {
  struct Case {
    int cell;
    std::string text;
  } cases[] = {{12, "two"}, {16, "816 kbps"}, {18, ""}, {18, "128k"}, {19, "44.1"}, {12, "2 "}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.cell) + " '" + c.text + "'");
    joblist::TJobRow row = WmvRow();
    row.Cells[static_cast<size_t>(c.cell)] = c.text;
    TInputOptions in;
    TOutputOptions out;
    SlotRecords(in, out);
    TRowFault fault;
    if (c.text == "2 ") {
      // Blanks around a number are not its fault.
      EXPECT_TRUE(ApplyRowToRecords(row, in, out, &fault));
      continue;
    }
    EXPECT_FALSE(ApplyRowToRecords(row, in, out, &fault));
    EXPECT_EQ(fault.Cell, c.cell);
    EXPECT_EQ(fault.Text, c.text);
    EXPECT_EQ(in.FileName, "/media/old/name.avi");
    EXPECT_EQ(out.VideoCodec, "slotvc");
    EXPECT_EQ(out.AudioChannels, 6);
  }
  joblist::TJobRow shortRow;
  shortRow.Caption = "/x.avi";
  shortRow.Cells[0] = "00:00:01";
  TInputOptions in;
  TOutputOptions out;
  SlotRecords(in, out);
  TRowFault fault;
  EXPECT_FALSE(ApplyRowToRecords(shortRow, in, out, &fault));
  EXPECT_EQ(fault.Cell, joblist::jcAudioBitrate);
  EXPECT_EQ(RowOutputFile("/out", shortRow), "/out/");
}

TEST(TaskRowRecords, OutputFileInTheFolder) {
  const joblist::TJobRow row = WmvRow();
  EXPECT_EQ(RowOutputFile("/home/u/Ombrel视频软件/输出", row), "/home/u/Ombrel视频软件/输出/clip.wmv");
  EXPECT_EQ(RowOutputFile("/out/", row), "/out/clip.wmv");
}

TEST(RunChoices, PriorityLastCheckedWins) {
  struct Case {
    bool idle, lowest, lower, normal;
    TThreadPriority current, expected;
  } cases[] = {
      {false, false, false, true, tpIdle, tpNormal},    {true, false, false, false, tpNormal, tpIdle},
      {false, true, false, false, tpNormal, tpLowest},  {false, false, true, false, tpNormal, tpLower},
      {true, false, true, false, tpNormal, tpLower},    {true, true, true, true, tpIdle, tpNormal},
      {false, false, false, false, tpLower, tpLower},   {false, false, false, false, tpHighest, tpHighest},
  };
  for (const Case& c : cases) {
    TRunChoices ch;
    ch.PriorityIdle = c.idle;
    ch.PriorityLowest = c.lowest;
    ch.PriorityLower = c.lower;
    ch.PriorityNormal = c.normal;
    EXPECT_EQ(PriorityOfChoices(ch, c.current), c.expected) << c.idle << c.lowest << c.lower << c.normal;
  }
}

TEST(RunChoices, ConversionCountFromTheListText) {
  struct Case {
    const char* text;
    bool multi;
    int expected;
  } cases[] = {
      {"1", true, 1},   {"3", true, 3},  {"19", true, 19}, {"", true, 1},     {"abc", true, 1},
      {"3.5", true, 1}, {"0", true, 1},  {"-4", true, 1},  {"Error", true, 1}, {"3", false, 1},
  };
  for (const Case& c : cases) {
    TRunChoices ch;
    ch.MultiThread = c.multi;
    ch.ThreadCountText = c.text;
    EXPECT_EQ(ThreadCountOfChoices(ch), c.expected) << "'" << c.text << "' " << c.multi;
  }
}

TEST(RunReports, ProgressTexts) {
  struct Case {
    int64_t current, total;
    const char* percent;
  } cases[] = {
      {0, 2000000, "0%"},
      {1000000, 2000000, "50%"},
      {1999999, 2000000, "99%"},          // integer division, never rounded up
      {2000000, 2000000, "100%"},
      {5000000, 0, "N/A"},                // no total
      {5000000, -1, "N/A"},
      {400000000000000000LL, 800000000000000000LL, "50%"},  // the product would not fit 64 bits
  };
  for (const Case& c : cases) EXPECT_EQ(ProgressPercentText(c.current, c.total), c.percent) << c.current;
  EXPECT_EQ(ProgressFpsText(25), "25");
  EXPECT_EQ(ProgressFpsText(0), "");
  EXPECT_EQ(ProgressFpsText(-3), "");
  EXPECT_EQ(ProgressSeconds(5400000000LL), 5400);
  EXPECT_EQ(ProgressSeconds(999999), 0);
}

TEST(RunReports, LogLines) {
  EXPECT_EQ(LogLineText(2345, llInfo, "Stream mapping:"), "#2345.5: Stream mapping:");
  EXPECT_EQ(LogLineText(4294967295u, llQuiet, ""), "#4294967295.0: ");
  EXPECT_EQ(LogLineText(7, llDebug, "文件"), "#7.7: 文件");
}

TEST(RunReports, SkippedRowsNamed) {
  EXPECT_EQ(SkippedRowsText({{"/a/b.avi", "No such file"}, {"/c.mp4", ""}}),
            "下列文件不能转换，已跳过：\n/a/b.avi（No such file）\n/c.mp4");
}

// ---- the main window, headless, with the real task component and fixture clips -------------

namespace {

namespace fs = std::filesystem;
using dlgtest::DialogInput;
using mediafix::TFixture;

class RunForm : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    InitMainThread();
    win::headless::ResetShellRecorder();
    ASSERT_TRUE(FFLoader().Load(TaskLibraries)) << FFLoader().LastErrMsg();
    dir_ = fs::temp_directory_path() / ("ombrel-run-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "out");
    savedTitle_ = Application->Title();
    Application->SetTitle("OmbrelWMV视频格式转换器");
    f = new TForm1(owner.get());
    f->FileOutPutPath = (dir_ / "out").string();
    f->Video_OutPut_Folder_Edit->SetText(f->FileOutPutPath);
    f->Quill->SetProgressInterval(100);
    f->RunChoices = [this] { return choices; };
  }
  void TearDown() override {
    if (f) {
      bool canClose = true;
      f->FormCloseQuery(f, canClose);
    }
    owner.reset();
    Application->SetTitle(savedTitle_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
    FFLoader().Unload(TaskLibraries);
    ControlTest::TearDown();
  }

  // A job row for format 1800 (WMV), as the add leaves it: the row, and its slot's records.
  TListItem* AddRow(const std::string& AInput, const std::string& AOutputName) {
    catalogue::TConversionFields fields;
    fields.Reset();
    fields.Video_AddFileName = AInput;
    EXPECT_TRUE(catalogue::ApplyFormat(1800, fields, catalogue::TOutputTarget{f->FileOutPutPath}));
    const int32_t r = f->lvFiles->Items()->Count();
    TInputOptions& in = f->IO1[static_cast<size_t>(r)];
    InitInputOptions(in);
    f->OO1[static_cast<size_t>(r)] = catalogue::OutputRecordOfFields(fields);
    joblist::TJobRow row;
    row.Caption = AInput;
    row.Cells[joblist::jcOutput] = AOutputName;
    row.Cells[joblist::jcTaskNumber] = std::to_string(r + 1);
    const auto cells = catalogue::JobRowConversionCells(fields);
    std::copy(cells.begin(), cells.end(), row.Cells.begin() + catalogue::kFirstConversionCell);
    TListItem* item = f->lvFiles->Items()->Add();
    joblist::WriteJobRow(item, row);
    return item;
  }
  std::string Cell(int ARow, int ACell) { return joblist::JobCell(f->lvFiles->Items()->Item(ARow), ACell); }

  // Serves the window and the hand-overs until ADone, at most ASeconds.
  bool ServeUntil(const std::function<bool()>& ADone, int ASeconds = 120) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(ASeconds);
    while (!ADone()) {
      if (std::chrono::steady_clock::now() > end) return false;
      ServeMainThread(5);
      win::headless::ProcessPending();
    }
    return true;
  }
  // Starts through the tool button 开始 and waits for the end of the run (the Clear group on).
  bool RunToEnd() {
    f->kxSkinButton2->Click();
    return ServeUntil([&] { return f->GroupOn(TCommandGroup::Clear); });
  }
  std::string Out(const std::string& AName) { return (dir_ / "out" / AName).string(); }
  bool LogHas(const std::string& AText) {
    for (int i = 0; i < f->mmoLog->Lines()->Count(); ++i)
      if (f->mmoLog->Lines()->Strings(i).find(AText) != std::string::npos) return true;
    return false;
  }
  bool ListsLocked() {
    for (TControl* c : std::initializer_list<TControl*>{f->kxSkinComboBox1, f->kxSkinComboBox2, f->kxSkinComboBox3,
                                                        f->kxSkinComboBox4, f->kxSkinComboBox9, f->kxSkinComboBox10,
                                                        f->kxSkinOfficeComboBox1, f->kxSkinOfficeComboBox2,
                                                        f->kxSkinButton5})
      if (c->Enabled()) return false;
    return true;
  }
  bool ListsUnlocked() {
    for (TControl* c : std::initializer_list<TControl*>{f->kxSkinComboBox1, f->kxSkinComboBox2, f->kxSkinComboBox3,
                                                        f->kxSkinComboBox4, f->kxSkinComboBox9, f->kxSkinComboBox10,
                                                        f->kxSkinOfficeComboBox1, f->kxSkinOfficeComboBox2,
                                                        f->kxSkinButton5})
      if (!c->Enabled()) return false;
    return true;
  }
  // Turns the groups on as an add leaves them.
  void GroupsAsAfterAdd() {
    for (TCommandGroup g : {TCommandGroup::Remove, TCommandGroup::Rename, TCommandGroup::Clear, TCommandGroup::Start})
      f->SwitchGroup(g, true);
  }
  using G = TCommandGroup;
  std::map<G, bool> Groups() {
    std::map<G, bool> m;
    for (G g : {G::Add, G::Remove, G::Rename, G::Clear, G::Start, G::Stop, G::Pause, G::Resume}) m[g] = f->GroupOn(g);
    return m;
  }

  fs::path dir_;
  std::string savedTitle_;
  TForm1* f = nullptr;
  taskrows::TRunChoices choices;
  DialogInput input;
};

}  // namespace

// Two clips converted on two conversion threads: locked lists and the run's groups while it
// runs; then "100%", the progress cells, the end's groups, the lists unlocked, the output folder
// opened once, and two outputs that decode with the input's length.
TEST_F(RunForm, ConvertsEveryRowToTheEnd) {
  const std::string clip = mediafix::FixturePath(TFixture::ShortStereo);
  AddRow(clip, "a.wmv");
  AddRow(clip, "b.wmv");
  GroupsAsAfterAdd();
  choices.ThreadCountText = "2";
  f->kxSkinButton2->Click();
  EXPECT_TRUE(ListsLocked());
  EXPECT_EQ(Groups(), (std::map<G, bool>{{G::Add, false}, {G::Remove, false}, {G::Rename, false}, {G::Clear, false},
                                        {G::Start, false}, {G::Stop, true}, {G::Pause, true}, {G::Resume, false}}));
  ASSERT_TRUE(ServeUntil([&] { return f->GroupOn(G::Clear); }));
  EXPECT_EQ(Groups(), (std::map<G, bool>{{G::Add, false}, {G::Remove, false}, {G::Rename, false}, {G::Clear, true},
                                        {G::Start, false}, {G::Stop, false}, {G::Pause, false}, {G::Resume, false}}));
  EXPECT_TRUE(ListsUnlocked());
  for (int r = 0; r < 2; ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(Cell(r, joblist::jcProgress), "100%");
    EXPECT_EQ(Cell(r, joblist::jcTime).substr(0, 7), "00:00:0");
    EXPECT_NE(Cell(r, joblist::jcDoneSize).find("MB"), std::string::npos);
    EXPECT_EQ(Cell(r, joblist::jcTaskNumber), std::to_string(r + 1));
  }
  EXPECT_EQ(win::headless::Launches().size(), 1u);
  if (!win::headless::Launches().empty()) {
    EXPECT_EQ(win::headless::Launches()[0].back(), f->FileOutPutPath);
  }
  EXPECT_EQ(win::headless::PowerOffRequests(), 0);
  for (const char* name : {"a.wmv", "b.wmv"}) {
    TAVProbe p(nullptr);
    ASSERT_TRUE(p.LoadFile(Out(name))) << name << ": " << p.LastErrMsg();
    // The container's length may end with its last audio packet: a little over the input's.
    EXPECT_NEAR(double(p.FileStreamInfo().Duration), double(mediafix::FixtureInfo(TFixture::ShortStereo).DurationUs),
                150000.0)
        << name;
  }
  EXPECT_EQ(f->Quill->ThreadPriority(), tpNormal);
  // The libraries' and the engine's messages, as "#thread.level: text".
  bool logged = false;
  for (int i = 0; i < f->mmoLog->Lines()->Count() && !logged; ++i) {
    const std::string line = f->mmoLog->Lines()->Strings(i);
    const size_t dot = line.find('.'), colon = line.find(": ");
    logged = line.size() > 1 && line[0] == '#' && dot != std::string::npos && colon == dot + 2 &&
             line.find_first_not_of("0123456789", 1) == dot && line[dot + 1] >= '0' && line[dot + 1] <= '7';
  }
  EXPECT_TRUE(logged);
}

// The after-done action the options dialog chose, on the shell's recorder; the finish sound only
// when its file lies beside the executable.
TEST_F(RunForm, AfterDoneActions) {
  const std::string clip = mediafix::FixturePath(TFixture::ShortStereo);
  const fs::path sound = fs::path(ExecutableDir()) / "sounds" / "ring001.wav";
  const bool soundWasThere = fs::exists(sound);
  struct Case {
    const char* name;
    bool open, power, play, soundFile;
    size_t launches;
    int powerOffs;
    size_t sounds;
  } cases[] = {
      {"open the folder", true, false, false, false, 1, 0, 0},
      {"power off", false, true, false, false, 0, 1, 0},
      {"sound, file there", false, false, true, true, 0, 0, 1},
      {"sound, file missing", false, false, true, false, 0, 0, 0},
      {"nothing", false, false, false, false, 0, 0, 0},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!soundWasThere) {
      if (c.soundFile) {
        fs::create_directories(sound.parent_path());
        std::ofstream(sound) << "RIFF";
      } else {
        fs::remove(sound);
      }
    } else if (!c.soundFile) {
      continue;  // a build that ships the file: its missing case cannot be shown here
    }
    win::headless::ResetShellRecorder();
    f->lvFiles->Items()->Clear();
    AddRow(clip, "after" + std::to_string(n++) + ".wmv");
    GroupsAsAfterAdd();
    choices.OpenFolder = c.open;
    choices.PowerOff = c.power;
    choices.PlaySound = c.play;
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(win::headless::Launches().size(), c.launches);
    EXPECT_EQ(win::headless::PowerOffRequests(), c.powerOffs);
    ASSERT_EQ(win::headless::SoundsPlayed().size(), c.sounds);
    if (c.sounds) EXPECT_EQ(win::headless::SoundsPlayed()[0], sound.string());
    EXPECT_EQ(Cell(0, joblist::jcProgress), "100%");
  }
  if (!soundWasThere) fs::remove_all(sound.parent_path());
}

// Stop in the middle: the tasks end, only the tool button 开始 comes back, the lists unlock and
// no after-done action runs, whatever was chosen.
TEST_F(RunForm, StopMidRunRunsNoAfterDoneAction) {
  const std::string clip = mediafix::FixturePath(TFixture::VgaH264Aac);
  AddRow(clip, "long1.wmv");
  AddRow(clip, "long2.wmv");
  GroupsAsAfterAdd();
  choices.PowerOff = true;
  choices.OpenFolder = false;
  f->kxSkinButton2->Click();
  ASSERT_TRUE(ServeUntil([&] { return !Cell(0, joblist::jcProgress).empty(); }));
  f->kxSkinButton10->Click();  // 停止: returns once every task has ended
  EXPECT_FALSE(f->Quill->Working() && !f->Quill->Terminated());
  ServeUntil([] { return false; }, 1);
  EXPECT_EQ(win::headless::PowerOffRequests(), 0);
  EXPECT_TRUE(win::headless::Launches().empty());
  EXPECT_TRUE(f->kxSkinButton2->Enabled());
  EXPECT_FALSE(f->btnStart->Enabled());
  EXPECT_FALSE(f->N7->Enabled());
  EXPECT_TRUE(ListsUnlocked());
  EXPECT_TRUE(f->GroupOn(G::Clear));
  EXPECT_FALSE(f->GroupOn(G::Stop));
  EXPECT_NE(Cell(0, joblist::jcProgress), "100%");
  // The tool button starts again: the tasks are rebuilt and run to the end, now with the action.
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(Cell(0, joblist::jcProgress), "100%");
  EXPECT_EQ(Cell(1, joblist::jcProgress), "100%");
  EXPECT_EQ(win::headless::PowerOffRequests(), 1);
}

// Pause and resume swap the tool buttons 暂停 and 继续 and their groups.
TEST_F(RunForm, PauseAndResumeSwapTheToolButtons) {
  AddRow(mediafix::FixturePath(TFixture::LongTiny), "paused.wmv");
  GroupsAsAfterAdd();
  f->kxSkinButton2->Click();
  f->kxSkinButton11->Click();
  EXPECT_FALSE(f->kxSkinButton11->Visible());
  EXPECT_TRUE(f->kxSkinButton12->Visible());
  EXPECT_FALSE(f->GroupOn(G::Pause));
  EXPECT_TRUE(f->GroupOn(G::Resume));
  f->kxSkinButton12->Click();
  EXPECT_TRUE(f->kxSkinButton11->Visible());
  EXPECT_FALSE(f->kxSkinButton12->Visible());
  EXPECT_TRUE(f->GroupOn(G::Pause));
  EXPECT_FALSE(f->GroupOn(G::Resume));
  ASSERT_TRUE(ServeUntil([&] { return f->GroupOn(G::Clear); }));
  EXPECT_EQ(Cell(0, joblist::jcProgress), "100%");
}

// Rows that cannot give a task (input gone, a number cell without a number) are named in one
// hint and left out; the others run. Each gone input leaves its log line.
TEST_F(RunForm, RowsThatCannotRunAreNamedAndSkipped) {
  const std::string clip = mediafix::FixturePath(TFixture::ShortStereo);
  const std::string gone = (dir_ / "gone.avi").string();
  fs::copy_file(clip, gone);
  AddRow(gone, "gone.wmv");
  AddRow(clip, "good.wmv");
  TListItem* bad = AddRow(clip, "bad.wmv");
  joblist::SetJobCell(bad, joblist::jcVideoBitrate, "abc");
  fs::remove(gone);
  GroupsAsAfterAdd();
  std::string hint, caption;
  input.Then([&](TCustomForm& d) {
    caption = d.Caption();
    if (auto* m = dynamic_cast<TkxMessageForm*>(&d)) hint = m->Message->Caption();
    DialogInput::Key(win::VK_RETURN);
  });
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(caption, "提示");
  EXPECT_NE(hint.find(gone), std::string::npos) << hint;
  EXPECT_NE(hint.find("abc"), std::string::npos) << hint;
  EXPECT_EQ(hint.find("good"), std::string::npos) << hint;
  EXPECT_TRUE(LogHas("***File open error: ")) << "log";
  EXPECT_EQ(Cell(1, joblist::jcProgress), "100%");
  EXPECT_EQ(Cell(0, joblist::jcProgress), "");
  EXPECT_EQ(Cell(2, joblist::jcProgress), "");
  EXPECT_TRUE(fs::exists(Out("good.wmv")));
}

// Nothing can run: the hint, and the start changes nothing else.
TEST_F(RunForm, NoRowCanRunNothingStarts) {
  TListItem* bad = AddRow(mediafix::FixturePath(TFixture::ShortStereo), "bad.wmv");
  joblist::SetJobCell(bad, joblist::jcAudioChannels, "two");
  GroupsAsAfterAdd();
  const auto before = Groups();
  input.Then([&](TCustomForm&) { DialogInput::Key(win::VK_RETURN); });
  f->kxSkinButton2->Click();
  EXPECT_EQ(input.Pending(), 0);
  EXPECT_EQ(Groups(), before);
  EXPECT_TRUE(ListsUnlocked());
  EXPECT_EQ(f->Quill->TasksCount(), 0);
  EXPECT_FALSE(f->Quill->Working());
}

// An output folder that cannot be made stops the start before anything runs, with a hint that
// names it.
TEST_F(RunForm, OutputFolderThatCannotBeMadeStopsTheStart) {
  AddRow(mediafix::FixturePath(TFixture::ShortStereo), "x.wmv");
  GroupsAsAfterAdd();
  std::ofstream(dir_ / "file") << "not a folder";
  f->FileOutPutPath = (dir_ / "file" / "out").string();
  const auto before = Groups();
  std::string hint;
  input.Then([&](TCustomForm& d) {
    if (auto* m = dynamic_cast<TkxMessageForm*>(&d)) hint = m->Message->Caption();
    DialogInput::Key(win::VK_RETURN);
  });
  f->kxSkinButton2->Click();
  EXPECT_NE(hint.find(f->FileOutPutPath), std::string::npos) << hint;
  EXPECT_EQ(Groups(), before);
  EXPECT_EQ(f->Quill->TasksCount(), 0);
  EXPECT_FALSE(f->Quill->Working());
}

// A task that fails shows its message in a warning box titled with the application's title;
// its row keeps its last progress, the other row finishes. (The task fails as a task does when
// something refuses it mid-run: here its progress handler.)
TEST_F(RunForm, FailedTaskShowsAWarningBox) {
  const std::string clip = mediafix::FixturePath(TFixture::LongTiny);
  AddRow(clip, "fails.wmv");
  AddRow(clip, "fine.wmv");
  GroupsAsAfterAdd();
  auto progress = f->Quill->OnProgress;
  f->Quill->OnProgress = [progress](TObject* S, PProgressInfo P) {
    progress(S, P);
    if (P->TaskIndex == 0) throw Exception("the disk is full");
  };
  std::string caption, text;
  int boxes = 0;
  input.Then([&](TCustomForm& d) {
    ++boxes;
    caption = d.Caption();
    if (auto* m = dynamic_cast<TkxMessageForm*>(&d)) text = m->Message->Caption();
    DialogInput::Key(win::VK_RETURN);
  });
  ASSERT_TRUE(RunToEnd());
  f->Quill->OnProgress = progress;
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(caption, "OmbrelWMV视频格式转换器");
  EXPECT_EQ(text, "the disk is full");
  EXPECT_NE(Cell(0, joblist::jcProgress), "100%");
  EXPECT_FALSE(Cell(0, joblist::jcProgress).empty());
  EXPECT_EQ(Cell(1, joblist::jcProgress), "100%");
  EXPECT_EQ(win::headless::Launches().size(), 1u);  // the run still ends with its action
}

// Rows moved while the tasks run: the reports follow the jobs, not the positions.
TEST_F(RunForm, ReportsFollowMovedRows) {
  AddRow(mediafix::FixturePath(TFixture::VgaH264Aac), "long.wmv");
  AddRow(mediafix::FixturePath(TFixture::ShortStereo), "short.wmv");
  GroupsAsAfterAdd();
  choices.ThreadCountText = "1";
  f->kxSkinButton2->Click();
  ASSERT_TRUE(ServeUntil([&] { return !Cell(0, joblist::jcProgress).empty(); }));
  // A move as the job list does it: the rows' texts and their slots change places.
  TListItem* a = f->lvFiles->Items()->Item(0);
  TListItem* b = f->lvFiles->Items()->Item(1);
  const joblist::TJobRow ra = joblist::ReadJobRow(a), rb = joblist::ReadJobRow(b);
  joblist::WriteJobRow(a, rb);
  joblist::WriteJobRow(b, ra);
  std::swap(f->IO1[0], f->IO1[1]);
  std::swap(f->OO1[0], f->OO1[1]);
  ASSERT_TRUE(ServeUntil([&] { return f->GroupOn(G::Clear); }));
  EXPECT_EQ(Cell(0, joblist::jcOutput), "short.wmv");
  EXPECT_EQ(Cell(0, joblist::jcProgress), "100%");
  EXPECT_EQ(Cell(1, joblist::jcOutput), "long.wmv");
  EXPECT_EQ(Cell(1, joblist::jcProgress), "100%");
  // The long clip's times went to its row, the short one's to its own.
  EXPECT_GT(Cell(1, joblist::jcTime), "00:00:02");
  EXPECT_LE(Cell(0, joblist::jcTime), "00:00:01");
}

// Closing while tasks run: no after-done action, and nothing reaches the rows afterwards.
TEST_F(RunForm, CloseMidRunEndsQuietly) {
  AddRow(mediafix::FixturePath(TFixture::VgaH264Aac), "close.wmv");
  GroupsAsAfterAdd();
  f->kxSkinButton2->Click();
  ASSERT_TRUE(ServeUntil([&] { return !Cell(0, joblist::jcProgress).empty(); }));
  bool canClose = false;
  f->FormCloseQuery(f, canClose);
  const std::string progress = Cell(0, joblist::jcProgress);
  const auto groups = Groups();
  ServeUntil([] { return false; }, 1);
  EXPECT_TRUE(win::headless::Launches().empty());
  EXPECT_EQ(Cell(0, joblist::jcProgress), progress);
  EXPECT_EQ(Groups(), groups);
  EXPECT_TRUE(f->GroupOn(G::Stop));
}

// With three at once, five jobs start as three conversions and two wait; a count that is no
// number starts one.
TEST_F(RunForm, ConversionsAtOnceFollowTheCount) {
  for (const char* count : {"3", "x"}) {
    SCOPED_TRACE(count);
    f->lvFiles->Items()->Clear();
    for (int i = 0; i < 5; ++i)
      AddRow(mediafix::FixturePath(TFixture::LongTiny), std::string("n") + count + std::to_string(i) + ".wmv");
    GroupsAsAfterAdd();
    choices.ThreadCountText = count;
    f->kxSkinButton2->Click();
    // Start has handed the first tasks to their threads; none can have ended yet.
    int converting = 0;
    for (int t = 0; t < f->Quill->TasksCount(); ++t) converting += f->Quill->TaskEngine(t).Converting() ? 1 : 0;
    EXPECT_EQ(converting, std::string(count) == "3" ? 3 : 1);
    ASSERT_TRUE(ServeUntil([&] { return f->GroupOn(G::Clear); }));
    for (int r = 0; r < 5; ++r) EXPECT_EQ(Cell(r, joblist::jcProgress), "100%") << r;
  }
}

// Once installed, an exception from a handler shows in a skinned box over the main window,
// titled with the application's title.
TEST_F(RunForm, ExceptionBoxIsASkinnedDialog) {
  const TExceptionEvent saved = Application->OnException;
  TCustomForm* savedMain = Application->MainForm();
  Application->SetMainForm(f);
  TForm1::InstallExceptionBox();
  std::string caption, text;
  input.Then([&](TCustomForm& d) {
    caption = d.Caption();
    if (auto* m = dynamic_cast<TkxMessageForm*>(&d)) text = m->Message->Caption();
    DialogInput::Key(win::VK_RETURN);
  });
  Application->HandleException(f, Exception("List index out of bounds (7)"));
  Application->OnException = saved;
  Application->SetMainForm(savedMain);
  EXPECT_EQ(caption, "OmbrelWMV视频格式转换器");
  EXPECT_EQ(text, "List index out of bounds (7)");
}
