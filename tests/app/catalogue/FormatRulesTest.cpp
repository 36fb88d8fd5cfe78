// Format keys and codes, the values a format writes into the conversion fields, and the
// output file name, main window and settings form.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <unistd.h>

#include "app/catalogue/FormatCatalogue.h"
#include "app/catalogue/FormatParams.h"
#include "app/catalogue/OutputNaming.h"
#include "app/catalogue/SettingsTables.h"
#include "base/Exception.h"

using namespace catalogue;
namespace fs = std::filesystem;

TEST(FormatKeys, KeysAndCodesConvertBothWays) {
  struct Case {
    int categoryPosition, formatPosition, key, code;
  } cases[] = {
      {0, 0, 1800, 100},    // start-up: WMV, first format
      {1, 14, 114, 214},    // list position 1 is code 0
      {3, 12, 212, 412},    // audio
      {7, 12, 412, 812},    // key 412 and code 412 are different formats
      {10, 15, 2515, 1115}, // smart phones, last format
      {11, 3, 1203, 1203},  // Flash: position equals code, key equals code
      {12, 10, 1410, 1310},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(FormatKeyOfListPositions(c.categoryPosition, c.formatPosition), c.key);
    EXPECT_EQ(FormatCode(c.categoryPosition, c.formatPosition), c.code);
    EXPECT_EQ(FormatCodeOfKey(c.key), c.code);
    EXPECT_EQ(FormatKeyOfCode(c.code), c.key);
    TListPositions p = DecodeFormatCode(c.code);
    EXPECT_EQ(p.Category, c.categoryPosition);
    EXPECT_EQ(p.Format, c.formatPosition);
  }
  // Nothing names a format here.
  EXPECT_EQ(FormatKeyOfListPositions(0, -1), -1);
  EXPECT_EQ(FormatKeyOfListPositions(0, 7), -1);
  EXPECT_EQ(FormatKeyOfListPositions(13, 0), -1);
  EXPECT_EQ(FormatKeyOfListPositions(-1, 0), -1);
  EXPECT_EQ(FormatCodeOfKey(700), -1);   // category 6 is not in the list
  EXPECT_EQ(FormatCodeOfKey(1799), -1);
  EXPECT_EQ(FormatKeyOfCode(99), -1);
  EXPECT_EQ(FormatKeyOfCode(1400), -1);  // list position 13 does not exist
  EXPECT_EQ(FormatKeyOfCode(107), -1);   // WMV has 7 formats
}

class OutputFolderTest : public ::testing::Test {
protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("ombrel_catalogue_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "out");
    fs::create_directories(root_ / "in");
  }
  void TearDown() override { fs::remove_all(root_); }
  std::string Out() const { return (root_ / "out").string(); }
  std::string In(const std::string& name) const { return (root_ / "in" / name).string(); }
  std::string OutFile(const std::string& name) const { return (root_ / "out" / name).string(); }
  void Touch(const std::string& path) const { std::ofstream(path) << "x"; }
  fs::path root_;
};

TEST_F(OutputFolderTest, VideoFormatWritesItsValuesAndNamesTheOutput) {
  TConversionFields f;
  f.Video_AddFileName = In("clip.avi");
  f.Video_FrameSize = "999*999";  // reset first
  ASSERT_TRUE(ApplyFormat(1800, f, {Out()}));
  EXPECT_EQ(f.Video_OutPutFileName, OutFile("clip.wmv"));
  EXPECT_EQ(f.Video_AddFileName, In("clip.avi"));
  EXPECT_EQ(f.Video_FileExt, ".wmv");
  EXPECT_EQ(f.Video_VideoCodec, "wmv2");
  EXPECT_EQ(f.Video_AudioCodec, "wmav2");
  EXPECT_EQ(f.Video_FrameRate, "25");
  EXPECT_EQ(f.Video_VideoBitrate, 816000);
  EXPECT_EQ(f.Video_AudioChannels, "2");
  EXPECT_EQ(f.Video_AudioSampleRate, "44100");
  EXPECT_EQ(f.Video_AudioBitrate, 128000);
  EXPECT_EQ(f.Video_FrameSize, "");
  EXPECT_EQ(f.Video_FrameAspectRatio, "");
  EXPECT_EQ(f.Video_AudioVolume, "256");
  EXPECT_FALSE(f.Video_DisableVideo);
  auto cells = JobRowConversionCells(f);
  EXPECT_EQ(cells, (std::array<std::string, 14>{"wmv2", "wmav2", "2", "", ".wmv", "", "816000", "25", "128000",
                                                "44100", "", "False", "", ""}));

  TConversionFields g;
  g.Video_AddFileName = In("a.avi");
  ASSERT_TRUE(ApplyFormat(2701, g, {Out()}));
  EXPECT_EQ(g.Video_VideoCodec, "mpeg4");
  EXPECT_EQ(g.Video_FrameSize, "3840*2160");
  EXPECT_EQ(g.Video_FrameRate, "30");
  EXPECT_EQ(g.Video_OutPutFileName, OutFile("a.mp4"));
}

TEST_F(OutputFolderTest, AudioDiscAsfAndRealFormatsWriteTheirOwnFieldSets) {
  TConversionFields f;
  f.Video_AddFileName = In("song.avi");

  ASSERT_TRUE(ApplyFormat(200, f, {Out()}));
  EXPECT_TRUE(f.Video_DisableVideo);
  EXPECT_EQ(f.Video_AudioCodec, "libmp3lame");
  EXPECT_EQ(f.Video_AudioSampleRate, "48000");
  EXPECT_EQ(f.Video_VideoBitrate, -1);
  auto cells = JobRowConversionCells(f);
  EXPECT_EQ(cells[10 - 10], "");
  EXPECT_EQ(cells[13 - 10], "");
  EXPECT_EQ(cells[15 - 10], "");
  EXPECT_EQ(cells[16 - 10], "-1");
  EXPECT_EQ(cells[17 - 10], "");
  EXPECT_EQ(cells[20 - 10], "");
  EXPECT_EQ(cells[21 - 10], "True");

  ASSERT_TRUE(ApplyFormat(111, f, {Out()}));
  EXPECT_FALSE(f.Video_DisableVideo);
  EXPECT_EQ(f.Video_TargetType, "dvd");
  EXPECT_EQ(f.Video_NormType, "PAL");
  EXPECT_EQ(f.Video_VideoBitrate, -1000);
  EXPECT_EQ(f.Video_AudioBitrate, -1000);
  EXPECT_EQ(f.Video_FileExt, "");
  EXPECT_EQ(f.Video_VideoCodec, "");
  EXPECT_EQ(f.Video_AudioCodec, "");
  EXPECT_EQ(f.Video_OutPutFileName, OutFile("song.mpg"));
  cells = JobRowConversionCells(f);
  EXPECT_EQ(cells[22 - 10], "dvd");
  EXPECT_EQ(cells[23 - 10], "PAL");

  ASSERT_TRUE(ApplyFormat(1900, f, {Out()}));
  EXPECT_EQ(f.Video_FileFormat, "asf");
  EXPECT_EQ(f.Video_TargetType, "");
  EXPECT_EQ(f.Video_OutPutFileName, OutFile("song.asf"));

  ASSERT_TRUE(ApplyFormat(114, f, {Out()}));  // only codec and size; the rest stays reset
  EXPECT_EQ(f.Video_VideoCodec, "rv20");
  EXPECT_EQ(f.Video_FrameSize, "320*240");
  EXPECT_EQ(f.Video_FileExt, "");
  EXPECT_EQ(f.Video_FileFormat, "");
  EXPECT_EQ(f.Video_VideoBitrate, -1);
  EXPECT_EQ(f.Video_AudioBitrate, -1);
  EXPECT_EQ(f.Video_OutPutFileName, OutFile("song.rm"));

  // The file's extension and Video_FileExt part ways for 206 and 306; the table's extension,
  // not the title's, names the file (906's title says .wmv).
  struct {
    int key;
    const char* file;
    const char* fileExt;
  } split[] = {{206, "song.ra", ".rm"}, {306, "song.wmv", ".asf"}, {906, "song.avi", ".avi"}, {901, "song.mpeg", ".mpeg"}};
  for (auto& c : split) {
    ASSERT_TRUE(ApplyFormat(c.key, f, {Out()}));
    EXPECT_EQ(f.Video_OutPutFileName, OutFile(c.file)) << c.key;
    EXPECT_EQ(f.Video_FileExt, c.fileExt) << c.key;
  }
}

TEST_F(OutputFolderTest, KeyWithoutRowLeavesResetFieldsAndNoOutputName) {
  TConversionFields f;
  f.Video_AddFileName = In("clip.avi");
  f.Video_VideoCodec = "x";
  EXPECT_FALSE(ApplyFormat(1799, f, {Out()}));
  EXPECT_EQ(f.Video_OutPutFileName, "");  // never the output folder itself
  EXPECT_EQ(f.Video_VideoCodec, "");
  auto cells = JobRowConversionCells(f);
  EXPECT_EQ(cells[16 - 10], "-1");
  EXPECT_EQ(cells[18 - 10], "-1");
  EXPECT_EQ(cells[21 - 10], "False");

  f.Video_AddFileName = "";
  EXPECT_THROW(ApplyFormat(1800, f, {Out()}), Exception);
}

TEST_F(OutputFolderTest, UniqueNamesAvoidExistingFilesUnlessOverwriting) {
  Touch(OutFile("clip.wmv"));
  Touch(OutFile("clip_1.wmv"));
  TOutputNameRules keep;
  EXPECT_EQ(UniqueOutputFileName(Out(), In("clip.wmv"), keep), OutFile("clip_2.wmv"));
  TOutputNameRules overwrite;
  overwrite.Overwrite = true;
  EXPECT_EQ(UniqueOutputFileName(Out(), In("clip.wmv"), overwrite), OutFile("clip.wmv"));

  struct Case {
    std::set<std::string> present;  // files in the output folder
    std::string name, expected;
  } cases[] = {
      {{"clip_1.mp4"}, "clip.mp4", "clip.mp4"},                        // numbers only when the plain name is taken
      {{"clip.mp4", "clip_1.mp4", "clip_3.mp4"}, "clip.mp4", "clip_2.mp4"},  // first free, not next after highest
      {{"clip.mp4", "clip_1.mp4", "clip_2.mp4", "clip_3.mp4", "clip_4.mp4", "clip_5.mp4", "clip_6.mp4",
        "clip_7.mp4", "clip_8.mp4", "clip_9.mp4"},
       "clip.mp4", "clip_10.mp4"},
      {{"clip_1.mp4"}, "clip_1.mp4", "clip_1_1.mp4"},
      {{"clip"}, "clip", "clip_1"},                                    // no extension
      {{"clip.final.wmv"}, "clip.final.wmv", "clip.final_1.wmv"},      // only the last extension
  };
  for (const Case& c : cases) {
    for (auto& e : fs::directory_iterator(Out())) fs::remove(e.path());
    for (auto& p : c.present) Touch(OutFile(p));
    EXPECT_EQ(UniqueOutputFileName(Out(), "/elsewhere/" + c.name, keep), OutFile(c.expected)) << c.name;
  }

  // A folder of that name is not a file.
  for (auto& e : fs::directory_iterator(Out())) fs::remove_all(e.path());
  fs::create_directory(OutFile("clip.mp4"));
  EXPECT_EQ(UniqueOutputFileName(Out(), "clip.mp4", keep), OutFile("clip.mp4"));
  // A trailing separator on the folder is not doubled; a name is required.
  EXPECT_EQ(UniqueOutputFileName(Out() + "/", "x.mp4", keep), OutFile("x.mp4"));
  EXPECT_THROW(UniqueOutputFileName(Out(), "", keep), Exception);
  EXPECT_THROW(UniqueOutputFileName(Out(), "/some/folder/", keep), Exception);
}

TEST_F(OutputFolderTest, PlannedOutputsOfOtherJobsAreTakenEvenWhenOverwriting) {
  // Two inputs of the same name, added before anything is written, get different outputs.
  std::set<std::string> planned;
  TConversionFields f;
  for (bool overwrite : {false, true}) {
    planned.clear();
    TOutputTarget target{Out(), overwrite, &planned};
    f.Video_AddFileName = (root_ / "a" / "clip.avi").string();
    ASSERT_TRUE(ApplyFormat(1800, f, target));
    EXPECT_EQ(f.Video_OutPutFileName, OutFile("clip.wmv"));
    planned.insert(f.Video_OutPutFileName);
    f.Video_AddFileName = (root_ / "b" / "clip.avi").string();
    ASSERT_TRUE(ApplyFormat(1800, f, target));
    EXPECT_EQ(f.Video_OutPutFileName, OutFile("clip_1.wmv")) << overwrite;
    planned.insert(f.Video_OutPutFileName);
    Touch(OutFile("clip_2.wmv"));  // on disk as well: skipped unless overwriting the plain name
    f.Video_AddFileName = (root_ / "c" / "clip.avi").string();
    ASSERT_TRUE(ApplyFormat(1800, f, target));
    EXPECT_EQ(f.Video_OutPutFileName, OutFile("clip_3.wmv")) << overwrite;
    fs::remove(OutFile("clip_2.wmv"));
  }
  // Planned paths are compared as paths, not as texts.
  planned = {Out() + "//./clip.wmv"};
  TOutputNameRules rules{false, "", &planned};
  EXPECT_EQ(UniqueOutputFileName(Out(), "clip.wmv", rules), OutFile("clip_1.wmv"));
}

TEST_F(OutputFolderTest, OutputNeverReplacesTheInput) {
  // Output folder = input folder, same extension, overwriting on: the input would be destroyed.
  std::string input = OutFile("clip.wmv");
  Touch(input);
  TConversionFields f;
  f.Video_AddFileName = input;
  ASSERT_TRUE(ApplyFormat(1800, f, {Out(), true}));
  EXPECT_EQ(f.Video_OutPutFileName, OutFile("clip_1.wmv"));
  // Also when the input is named through a symbolic link to the folder.
  fs::create_directory_symlink(root_ / "out", root_ / "link");
  f.Video_AddFileName = (root_ / "link" / "clip.wmv").string();
  ASSERT_TRUE(ApplyFormat(1800, f, {Out(), true}));
  EXPECT_EQ(f.Video_OutPutFileName, OutFile("clip_1.wmv"));
  EXPECT_TRUE(fs::exists(input));
}

TEST_F(OutputFolderTest, SettingsFormWritesOnlyItsEntrysFields) {
  TConversionFields f;
  f.Video_AddFileName = In("clip.x.mov");
  ApplySettingsFormat(300, f, {Out()});
  EXPECT_EQ(f.Video_VideoCodec, "mpeg4");
  EXPECT_EQ(f.Video_OutPutFileName, OutFile("clip.x.avi"));

  // Nothing is reset first: an audio entry keeps the video fields of the format before.
  ApplySettingsFormat(200, f, {Out()});
  EXPECT_TRUE(f.Video_DisableVideo);
  EXPECT_EQ(f.Video_VideoCodec, "mpeg4");
  EXPECT_EQ(f.Video_FrameSize, "1280*720");
  EXPECT_EQ(f.Video_VideoBitrate, 1600000);
  EXPECT_EQ(f.Video_AudioCodec, "libmp3lame");
  EXPECT_EQ(f.Video_FileExt, ".mp3");

  ApplySettingsFormat(114, f, {Out()});  // RealMedia writes codec, size and the empty texts only
  EXPECT_FALSE(f.Video_DisableVideo);
  EXPECT_EQ(f.Video_VideoCodec, "rv20");
  EXPECT_EQ(f.Video_AudioCodec, "libmp3lame");
  EXPECT_EQ(f.Video_FileExt, ".mp3");
  EXPECT_EQ(f.Video_VideoBitrate, 1600000);
  EXPECT_EQ(f.Video_OutPutFileName, OutFile("clip.x.rm"));

  ApplySettingsFormat(211, f, {Out()});
  EXPECT_EQ(f.Video_OutPutFileName, OutFile("clip.x.m4a"));
  EXPECT_EQ(f.Video_FileExt, ".alac");
  EXPECT_EQ(f.Video_AudioCodec, "alac");

  ApplySettingsFormat(700, f, {Out()});  // the settings form's own 3GP values
  EXPECT_EQ(f.Video_AudioCodec, "libamr_nb");
  EXPECT_EQ(f.Video_AudioBitrate, 12000);
  EXPECT_EQ(f.Video_AudioChannels, "1");

  // A key without an entry keeps every field but moves the earlier output into the folder.
  fs::create_directories(root_ / "out2");
  ApplySettingsFormat(199, f, {(root_ / "out2").string()});
  EXPECT_EQ(f.Video_OutPutFileName, (root_ / "out2" / "clip.x.3gp").string());
  EXPECT_EQ(f.Video_AudioCodec, "libamr_nb");
  EXPECT_FALSE(f.Video_DisableVideo);

  // A disc entry leaves Video_FileExt alone.
  f.Video_FileExt = ".keep";
  ApplySettingsFormat(112, f, {Out()});
  EXPECT_EQ(f.Video_TargetType, "svcd");
  EXPECT_EQ(f.Video_FileExt, ".keep");
  EXPECT_EQ(f.Video_OutPutFileName, OutFile("clip.x.mpg"));
}
