// Running the conversion from the main window: job rows into tasks, the run choices, and the
// reports back into texts.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/forms/TaskRows.h"

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
