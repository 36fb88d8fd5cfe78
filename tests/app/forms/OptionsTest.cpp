// option.ini and the options dialog: the file a first start leaves, damaged values and their
// repairs, folders made again, files that cannot be written, the place of the file when the
// executable's folder is read-only; the dialog's read, OK and Cancel, and pictures of it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Src/Quillon.h"
#include "app/forms/OptionIni.h"
#include "app/forms/Unit1.h"
#include "app/forms/Unit5.h"
#include "base/Files.h"
#include "classlib/Graphics.h"
#include "classlib/Streaming.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinCheckRadio.h"
#include "lib/controls/kxSkinComboBox.h"
#include "lib/controls/kxSkinEdits.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinPanels.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinStore.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/dialogs/DialogInput.h"

namespace {

namespace fs = std::filesystem;
using namespace options;
using namespace win;
using dlgtest::DialogInput;

std::string ReadAll(const std::string& Path) {
  std::ifstream f(Path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

void WriteAll(const std::string& Path, const std::string& Text) {
  std::ofstream f(Path, std::ios::binary | std::ios::trunc);
  f << Text;
}

// The lines of INI sections as the file holds them.
std::string IniText(std::initializer_list<std::pair<std::string, std::vector<std::string>>> Sections) {
  std::string t;
  for (const auto& [name, lines] : Sections) {
    t += "[" + name + "]\r\n";
    for (const std::string& l : lines) t += l + "\r\n";
    t += "\r\n";
  }
  return t;
}

// A scratch folder per test (the process id keeps shards apart), HOME inside it and the
// program's option.ini pointed into it; all undone afterwards.
class ScratchEnv {
public:
  ScratchEnv() {
    static int n = 0;
    root_ = (fs::temp_directory_path() / ("ombrel_options_" + std::to_string(::getpid()) + "_" + std::to_string(++n)))
                .string();
    fs::remove_all(root_);
    fs::create_directories(root_ + "/home");
    if (const char* h = std::getenv("HOME")) savedHome_ = h;
    if (const char* x = std::getenv("XDG_CONFIG_HOME")) savedXdg_ = x;
    ::setenv("HOME", Home().c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    savedIni_ = OptionIniPath();
    SetOptionIniPath(IniPath());
  }
  ~ScratchEnv() {
    SetOptionIniPath(savedIni_);
    if (savedHome_) ::setenv("HOME", savedHome_->c_str(), 1);
    else ::unsetenv("HOME");
    if (savedXdg_) ::setenv("XDG_CONFIG_HOME", savedXdg_->c_str(), 1);
    std::error_code ec;
    // Read-only folders a test made must be writable again to be removed.
    for (auto it = fs::recursive_directory_iterator(root_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(root_, ec);
  }
  std::string Root() const { return root_; }
  std::string Home() const { return root_ + "/home"; }
  std::string IniPath() const { return root_ + "/option.ini"; }
  std::string OutputDefault() const { return Home() + "/Ombrel视频软件/输出"; }
  std::string SnapshotDefault() const { return Home() + "/Ombrel视频软件/快照"; }

private:
  std::string root_;
  std::optional<std::string> savedHome_, savedXdg_;
  std::string savedIni_;
};

// Read-only folders are writable for root: tests that need one skip then.
bool RunningAsRoot() { return ::geteuid() == 0; }

class OptionIniTest : public ::testing::Test {
protected:
  ScratchEnv env;
  TOptionIni ini{env.IniPath()};
  std::string Stored(const char* Section, const char* Key) const {
    // The raw value, read around the class under test.
    std::string text = ReadAll(env.IniPath()), section;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty() && line.front() == '[') section = line.substr(1, line.size() - 2);
      else if (section == Section && line.rfind(std::string(Key) + "=", 0) == 0) return line.substr(strlen(Key) + 1);
    }
    return "<absent>";
  }
};

// A first start reads OutPath, SetSkin and the section Options in the start-up order: the file
// then holds exactly these lines, the default output folder exists, and nothing of SnapShot is
// written before a snapshot action.
TEST_F(OptionIniTest, FirstStartLeavesEveryDefaultInTheFile) {
  EXPECT_EQ(ReadOutPath(ini), env.OutputDefault());
  EXPECT_EQ(ReadSkinIndex(ini), 0);
  const TDialogOptions o = ReadDialogOptions(ini);
  EXPECT_EQ(o.ThreadCount, "1");
  EXPECT_EQ(o.AfterDone, adOpenFolder);
  EXPECT_FALSE(o.ShowPreview);
  EXPECT_EQ(o.Priority, pcNormal);
  EXPECT_FALSE(o.Overwrite);
  EXPECT_TRUE(DirectoryExists(env.OutputDefault()));
  EXPECT_FALSE(DirectoryExists(env.SnapshotDefault()));
  EXPECT_EQ(ReadAll(env.IniPath()),
            IniText({{"OutPath", {"OutPath=" + env.OutputDefault()}},
                     {"Skin", {"SetSkin=0"}},
                     {"Options",
                      {"Thread_Count=0", "After_Done=0", "Thread_Priority=3", "Overwrite_File=1", "Show_Preview=0"}}}));
}

// Without any file the dialog's reader writes its five defaults in the writer's order.
TEST_F(OptionIniTest, DialogReadWithoutFileWritesTheDefaultsInWriterOrder) {
  ReadDialogOptions(ini);
  EXPECT_EQ(ReadAll(env.IniPath()),
            IniText({{"Options",
                      {"Thread_Count=0", "After_Done=0", "Show_Preview=0", "Thread_Priority=3", "Overwrite_File=1"}}}));
}

// Each stored value as its reader takes it: what the reader answers and what the file holds
// afterwards. Values that are missing, empty, "Error" or unlisted are replaced by the default
// and written back; SetSkin takes any whole number and repairs anything else; a Thread_Count
// of 2..19 is shown back and any other number stays in the file.
TEST_F(OptionIniTest, StoredValuesAndTheirRepairs) {
  struct Case {
    const char* section;
    const char* key;
    std::optional<std::string> stored;  // nullopt: the key is absent
    std::string answer;
    std::string inFile;
  };
  auto dialog = [this](std::function<std::string(const TDialogOptions&)> f) { return f(ReadDialogOptions(ini)); };
  const auto afterDone = [](const TDialogOptions& o) { return std::to_string(int(o.AfterDone)); };
  const auto priority = [](const TDialogOptions& o) { return std::to_string(int(o.Priority)); };
  const auto overwrite = [](const TDialogOptions& o) { return std::string(o.Overwrite ? "overwrite" : "rename"); };
  const auto preview = [](const TDialogOptions& o) { return std::string(o.ShowPreview ? "on" : "off"); };
  const auto threads = [](const TDialogOptions& o) { return o.ThreadCount; };
  const std::map<std::string, std::function<std::string()>> readers = {
      {"After_Done", [&] { return dialog(afterDone); }},
      {"Thread_Priority", [&] { return dialog(priority); }},
      {"Overwrite_File", [&] { return dialog(overwrite); }},
      {"Show_Preview", [&] { return dialog(preview); }},
      {"Thread_Count", [&] { return dialog(threads); }},
      {"SetSkin", [&] { return std::to_string(ReadSkinIndex(ini)); }},
      {"Picture", [&] { return ResolveSnapshotPicture(ini); }},
  };
  const Case cases[] = {
      {"Options", "After_Done", "7", "0", "0"},
      {"Options", "After_Done", "2", "2", "2"},
      {"Options", "After_Done", "3", "3", "3"},
      {"Options", "After_Done", "Error", "0", "0"},
      {"Options", "After_Done", std::nullopt, "0", "0"},
      {"Options", "Thread_Priority", "", "3", "3"},
      {"Options", "Thread_Priority", "0", "0", "0"},
      {"Options", "Thread_Priority", "-1", "3", "3"},
      {"Options", "Overwrite_File", "Error", "rename", "1"},
      {"Options", "Overwrite_File", "0", "overwrite", "0"},
      {"Options", "Overwrite_File", "2", "rename", "1"},
      {"Options", "Show_Preview", "1", "on", "1"},
      {"Options", "Show_Preview", "yes", "off", "0"},
      {"Options", "Thread_Count", "4", "4", "4"},
      {"Options", "Thread_Count", "19", "19", "19"},
      {"Options", "Thread_Count", "2", "2", "2"},
      {"Options", "Thread_Count", "1", "1", "1"},
      {"Options", "Thread_Count", "0", "1", "0"},
      {"Options", "Thread_Count", "20", "1", "20"},
      {"Options", "Thread_Count", "04", "1", "04"},
      {"Options", "Thread_Count", "abc", "1", "abc"},
      {"Options", "Thread_Count", "", "1", "0"},
      {"Options", "Thread_Count", std::nullopt, "1", "0"},
      {"Skin", "SetSkin", "5", "5", "5"},
      {"Skin", "SetSkin", "99", "99", "99"},
      {"Skin", "SetSkin", "-3", "-3", "-3"},
      {"Skin", "SetSkin", "abc", "0", "0"},
      {"Skin", "SetSkin", "5.5", "0", "0"},
      {"Skin", "SetSkin", "99999999999", "0", "0"},
      {"Skin", "SetSkin", "Error", "0", "0"},
      {"Skin", "SetSkin", std::nullopt, "0", "0"},
      {"SnapShot", "Picture", "PNG", "PNG", "PNG"},
      {"SnapShot", "Picture", "JPG", "JPG", "JPG"},
      {"SnapShot", "Picture", "png", "BMP", "BMP"},
      {"SnapShot", "Picture", "TIFF", "BMP", "BMP"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + c.stored.value_or("<absent>"));
    // Every other key holds a sound value that must survive the read.
    std::map<std::string, std::vector<std::string>> file = {
        {"Options", {"Thread_Count=3", "After_Done=1", "Show_Preview=1", "Thread_Priority=2", "Overwrite_File=0"}},
        {"Skin", {"SetSkin=2"}},
        {"SnapShot", {"Dir=" + env.Root(), "Picture=GIF"}},
    };
    auto& lines = file[c.section];
    std::erase_if(lines, [&](const std::string& l) { return l.rfind(std::string(c.key) + "=", 0) == 0; });
    if (c.stored) lines.push_back(std::string(c.key) + "=" + *c.stored);
    std::string text;
    for (const auto& [name, ls] : file) {
      text += "[" + name + "]\r\n";
      for (const auto& l : ls) text += l + "\r\n";
    }
    WriteAll(env.IniPath(), text);

    EXPECT_EQ(readers.at(c.key)(), c.answer);
    EXPECT_EQ(Stored(c.section, c.key), c.inFile);
    // The sound neighbours are read as stored and left alone.
    EXPECT_EQ(Stored("Skin", "SetSkin"), std::string(c.key) == "SetSkin" ? c.inFile : "2");
    EXPECT_EQ(Stored("SnapShot", "Picture"), std::string(c.key) == "Picture" ? c.inFile : "GIF");
    if (std::string(c.key) != "After_Done") {
      EXPECT_EQ(Stored("Options", "After_Done"), "1");
    }
  }
}

// Files that are no settings at all: binary noise, only foreign sections, a folder in the
// file's place. Each reads as the defaults; where a file can be written, they are written back
// and the foreign lines are kept.
TEST_F(OptionIniTest, GarbageFilesGiveTheDefaults) {
  struct Case {
    const char* name;
    std::function<void()> make;
    bool writable;
  };
  std::string noise;
  for (int i = 0; i < 600; ++i) noise += char((i * 37 + 11) % 256);
  const Case cases[] = {
      {"binary noise", [&] { WriteAll(env.IniPath(), noise); }, true},
      {"foreign sections", [&] { WriteAll(env.IniPath(), "[Other]\r\nAfter_Done=2\r\nSetSkin=4\r\n"); }, true},
      {"a folder in its place", [&] { fs::create_directories(env.IniPath() + "/inner"); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(env.IniPath());
    c.make();
    EXPECT_EQ(ReadSkinIndex(ini), 0);
    const TDialogOptions o = ReadDialogOptions(ini);
    EXPECT_EQ(o.ThreadCount, "1");
    EXPECT_EQ(o.AfterDone, adOpenFolder);
    EXPECT_EQ(o.Priority, pcNormal);
    EXPECT_FALSE(o.Overwrite);
    EXPECT_FALSE(o.ShowPreview);
    EXPECT_EQ(ReadOutPath(ini), env.OutputDefault());
    if (c.writable) {
      EXPECT_EQ(Stored("Skin", "SetSkin"), "0");
      EXPECT_EQ(Stored("Options", "After_Done"), "0");
      EXPECT_EQ(Stored("OutPath", "OutPath"), env.OutputDefault());
      EXPECT_EQ(TOptionIni(env.IniPath()).Read("Other", "SetSkin"), c.name == std::string("foreign sections") ? "4" : "");
    } else {
      EXPECT_TRUE(DirectoryExists(env.IniPath() + "/inner"));
    }
  }
}

// Stored folders that are gone are made again and used, the file unchanged; a folder that
// cannot be made is used all the same. The default folders are made with their parents.
TEST_F(OptionIniTest, StoredFoldersAreMadeAgainAndTheFileKeptAsItIs) {
  const std::string out = env.Root() + "/gone/输出 folder", snap = env.Root() + "/gone/快照";
  const std::string blocked = env.Root() + "/a file/sub";
  WriteAll(env.Root() + "/a file", "x");
  struct Case {
    const char* key;
    std::string stored;
    std::function<std::string()> read;
    bool exists;
  };
  const Case cases[] = {
      {"OutPath", out, [&] { return ReadOutPath(ini); }, true},
      {"Dir", snap, [&] { return ResolveSnapshotFolder(ini); }, true},
      {"OutPath", blocked, [&] { return ReadOutPath(ini); }, false},
      {"Dir", blocked, [&] { return ResolveSnapshotFolder(ini); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " " + c.stored);
    fs::remove_all(env.Root() + "/gone");
    const std::string text = IniText({{"OutPath", {"OutPath=" + (std::string(c.key) == "OutPath" ? c.stored : out)}},
                                      {"SnapShot", {"Dir=" + (std::string(c.key) == "Dir" ? c.stored : snap)}}});
    WriteAll(env.IniPath(), text);
    EXPECT_EQ(c.read(), c.stored);
    EXPECT_EQ(DirectoryExists(c.stored), c.exists);
    EXPECT_EQ(ReadAll(env.IniPath()), text);
  }
  // Missing snapshot folder: the default, made and written back.
  WriteAll(env.IniPath(), IniText({{"SnapShot", {"Dir=Error"}}}));
  EXPECT_EQ(ResolveSnapshotFolder(ini), env.SnapshotDefault());
  EXPECT_TRUE(DirectoryExists(env.SnapshotDefault()));
  EXPECT_EQ(Stored("SnapShot", "Dir"), env.SnapshotDefault());
}

// The writers: OutPath only for a folder that exists; the skin index in decimal; the dialog's
// section in the writer's order, leaving out what the controls do not give.
TEST_F(OptionIniTest, WritersStoreWhatTheyAreGiven) {
  WriteOutPath(ini, env.Root() + "/no such folder");
  EXPECT_FALSE(fs::exists(env.IniPath()));
  WriteOutPath(ini, env.Root());
  EXPECT_EQ(Stored("OutPath", "OutPath"), env.Root());
  WriteSkinIndex(ini, 7);
  EXPECT_EQ(Stored("Skin", "SetSkin"), "7");
  fs::remove(env.IniPath());

  TDialogOptionsWrite all;
  all.ThreadCount = "12";
  all.AfterDone = adPlaySound;
  all.ShowPreview = true;
  all.Priority = pcIdle;
  all.Overwrite = true;
  WriteDialogOptions(ini, all);
  EXPECT_EQ(ReadAll(env.IniPath()),
            IniText({{"Options",
                      {"Thread_Count=12", "After_Done=2", "Show_Preview=1", "Thread_Priority=0", "Overwrite_File=0"}}}));

  fs::remove(env.IniPath());
  TDialogOptionsWrite sparse;  // multi-thread mode off, no radio selected anywhere
  WriteDialogOptions(ini, sparse);
  EXPECT_EQ(ReadAll(env.IniPath()), IniText({{"Options", {"Show_Preview=0"}}}));
}

// A file that cannot be written stops nothing: the readers answer the stored or default
// values, a repair that fails leaves the file as it was, and the values read stay in use.
TEST_F(OptionIniTest, AFailedWriteStopsNothingAndLosesNothing) {
  // The file's folder is a file: nothing can be made there, whoever runs the test.
  WriteAll(env.Root() + "/plain", "x");
  TOptionIni lost(env.Root() + "/plain/option.ini");
  EXPECT_FALSE(lost.Write("Skin", "SetSkin", "3"));
  EXPECT_EQ(ReadSkinIndex(lost), 0);
  EXPECT_EQ(ReadOutPath(lost), env.OutputDefault());
  EXPECT_TRUE(DirectoryExists(env.OutputDefault()));
  EXPECT_EQ(ReadDialogOptions(lost).Priority, pcNormal);
  EXPECT_EQ(ReadAll(env.Root() + "/plain"), "x");

  if (RunningAsRoot()) GTEST_SKIP() << "a read-only folder is writable for root";
  // A read-only folder holding a file with a damaged and a sound value.
  const std::string ro = env.Root() + "/ro";
  fs::create_directories(ro);
  const std::string text = IniText({{"Options", {"After_Done=7", "Thread_Priority=1", "Thread_Count=5"}}});
  WriteAll(ro + "/option.ini", text);
  fs::permissions(ro, fs::perms::owner_read | fs::perms::owner_exec);
  TOptionIni locked(ro + "/option.ini");
  const TDialogOptions o = ReadDialogOptions(locked);
  EXPECT_EQ(o.AfterDone, adOpenFolder);
  EXPECT_EQ(o.Priority, pcLowest);
  EXPECT_EQ(o.ThreadCount, "5");
  TDialogOptionsWrite w;
  w.AfterDone = adNothing;
  WriteDialogOptions(locked, w);
  EXPECT_EQ(ReadAll(ro + "/option.ini"), text);
}

// Where the program keeps option.ini: beside the executable when it may write there, else in
// $XDG_CONFIG_HOME/ombrel/ or, without a usable XDG_CONFIG_HOME, in ~/.config/ombrel/; there the
// first write makes the folder.
TEST_F(OptionIniTest, ReadOnlyExecutableFolderMovesTheFileToTheConfigFolder) {
  const std::string exe = env.Root() + "/bin";
  fs::create_directories(exe);
  EXPECT_EQ(ChooseOptionIniPath(exe + "/"), exe + "/option.ini");
  EXPECT_EQ(ChooseOptionIniPath(exe), exe + "/option.ini");

  if (RunningAsRoot()) GTEST_SKIP() << "a read-only folder is writable for root";
  fs::permissions(exe, fs::perms::owner_read | fs::perms::owner_exec);
  struct Case {
    std::optional<std::string> xdg;
    std::string expected;
  };
  const Case cases[] = {
      {std::nullopt, env.Home() + "/.config/ombrel/option.ini"},
      {env.Root() + "/cfg", env.Root() + "/cfg/ombrel/option.ini"},
      {env.Root() + "/cfg/", env.Root() + "/cfg/ombrel/option.ini"},
      {"relative/cfg", env.Home() + "/.config/ombrel/option.ini"},
      {"", env.Home() + "/.config/ombrel/option.ini"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xdg.value_or("<unset>"));
    if (c.xdg) ::setenv("XDG_CONFIG_HOME", c.xdg->c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(ChooseOptionIniPath(exe + "/"), c.expected);
  }
  ::unsetenv("XDG_CONFIG_HOME");
  TOptionIni moved(ChooseOptionIniPath(exe + "/"));
  EXPECT_EQ(ReadSkinIndex(moved), 0);
  EXPECT_TRUE(FileExists(env.Home() + "/.config/ombrel/option.ini"));
  EXPECT_FALSE(fs::exists(exe + "/option.ini"));
}

// ---- the options dialog -------------------------------------------------------------------------

// A stand-in for the main window as the dialog sees it: a form named Form1 with the skin data
// kxSkinData1 and the task component Quill.
class Form5Test : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    headless::SetMonitors({{{0, 0, 1280, 900}, {0, 0, 1280, 900}, true}});
    list = new TkxCompressedSkinList(owner.get());
    LoadEmbeddedSkinList(*list);
    main = new TForm(owner.get());
    main->SetName("Form1");
    main->SetBorderStyle(bsNone);
    main->SetBounds(100, 60, 804, 600);
    skin = new TkxSkinData(main);
    skin->SetName("kxSkinData1");
    skin->SetSkinIndex(0);
    skin->SetSkinList(list);
    quill = new TQuillon(main);
    quill->SetName("Quill");
    RegisterFormInstance(main);
    savedMain = Application->MainForm();
    Application->SetMainForm(main);
    main->Show();
    Pump();
  }
  void TearDown() override {
    delete dialog;
    Form5 = nullptr;
    Application->SetMainForm(savedMain);
    ControlTest::TearDown();
  }
  TForm5* MakeDialog() {
    delete dialog;
    dialog = new TForm5(nullptr);
    Form5 = dialog;
    return dialog;
  }
  std::string Stored(const char* Key) { return TOptionIni(env.IniPath()).Read("Options", Key); }
  // The after-done, overwrite and priority radios as "x" (selected) or "." in that order.
  std::string Radios() {
    std::string s;
    for (TkxSkinCheckRadioBox* r : std::initializer_list<TkxSkinCheckRadioBox*>{
             dialog->kxSkinCheckRadioBox1, dialog->kxSkinCheckRadioBox2, dialog->kxSkinCheckRadioBox4,
          dialog->kxSkinCheckRadioBox5, nullptr, dialog->kxSkinCheckRadioBox3, dialog->kxSkinCheckRadioBox6, nullptr,
          dialog->kxSkinCheckRadioBox9, dialog->kxSkinCheckRadioBox10, dialog->kxSkinCheckRadioBox11,
          dialog->kxSkinCheckRadioBox12})
      s += r ? (r->Checked() ? "x" : ".") : " ";
    return s;
  }

  ScratchEnv env;
  TkxCompressedSkinList* list = nullptr;
  TForm* main = nullptr;
  TkxSkinData* skin = nullptr;
  TQuillon* quill = nullptr;
  TCustomForm* savedMain = nullptr;
  TForm5* dialog = nullptr;
  DialogInput input;
};

// The dialog as described: caption, size, frame without caption buttons, every control with its
// caption and the main window's skin; on a first start it shows the defaults and leaves them in
// the file.
TEST_F(Form5Test, FirstStartShowsTheDefaults) {
  MakeDialog();
  EXPECT_EQ(dialog->Name(), "Form5");
  EXPECT_EQ(dialog->Caption(), "选项");
  EXPECT_EQ(dialog->ClientWidth(), 561);
  EXPECT_EQ(dialog->ClientHeight(), 537);
  EXPECT_TRUE(dialog->kxVelara1->BorderIcons().Empty());
  EXPECT_EQ(dialog->kxVelara1->SkinData(), skin);
  EXPECT_EQ(dialog->kxSkinCheckRadioBox8->SkinData(), skin);
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(dialog->Panel1->Visible());
  EXPECT_FALSE(dialog->kxSkinCheckRadioBox7->Visible());
  EXPECT_TRUE(dialog->kxSkinCheckRadioBox7->Checked());
  EXPECT_TRUE(dialog->kxSkinComboBox2->Enabled());
  ASSERT_EQ(dialog->kxSkinComboBox2->Items()->Count(), 19);
  EXPECT_EQ(dialog->kxSkinComboBox2->Items()->Strings(18), "19");
  const std::pair<TControl*, const char*> captions[] = {
      {dialog->kxSkinPanel3, "转换工作完成后"},        {dialog->kxSkinCheckRadioBox1, "自动打开输出文件夹"},
      {dialog->kxSkinCheckRadioBox2, "自动关闭计算机"}, {dialog->kxSkinCheckRadioBox4, " 播放提示音乐"},
      {dialog->kxSkinCheckRadioBox5, "不进行任何操作"}, {dialog->kxSkinPanel1, "如果输出文件存在时"},
      {dialog->kxSkinCheckRadioBox3, "直接覆盖输出文件"}, {dialog->kxSkinCheckRadioBox6, "自动重命名输出文件"},
      {dialog->kxSkinPanel2, "转换参数"},
      {dialog->kxSkinStdLabel1, "程序最大运行线程数--（同时进行转换的文件个数）"},
      {dialog->kxSkinCheckRadioBox7, "启用多线程模式   （同时进行转换的视频个数）"},
      {dialog->kxSkinCheckRadioBox8, "转换时进行实时视频预览"}, {dialog->kxSkinPanel4, "转换时CPU利用方式"},
      {dialog->kxSkinCheckRadioBox9, "系统空闲时进行"},   {dialog->kxSkinCheckRadioBox10, "最低优先级进行"},
      {dialog->kxSkinCheckRadioBox11, "较低优先级进行"}, {dialog->kxSkinCheckRadioBox12, "正常优先级进行"},
      {dialog->kxSkinButton6, "确定"},                  {dialog->kxSkinButton1, "取消"},
      {dialog->Button1, "读取ini"},                     {dialog->Button2, "写ini"},
  };
  for (const auto& [c, text] : captions) EXPECT_EQ(c->Caption(), text) << c->Name();

  EXPECT_EQ(dialog->kxSkinComboBox2->Text(), "1");
  EXPECT_EQ(Radios(), "x... .x ...x");
  EXPECT_FALSE(dialog->kxSkinCheckRadioBox8->Checked());
  EXPECT_FALSE(quill->Preview());
  EXPECT_FALSE(OverwriteOutputFiles());
  EXPECT_EQ(Stored("Thread_Count"), "0");
  EXPECT_EQ(Stored("After_Done"), "0");
  EXPECT_EQ(Stored("Show_Preview"), "0");
  EXPECT_EQ(Stored("Thread_Priority"), "3");
  EXPECT_EQ(Stored("Overwrite_File"), "1");
}

// The stored section shown by the controls at creation; the live preview and the overwrite
// choice follow at once.
TEST_F(Form5Test, CreationShowsTheStoredValues) {
  struct Case {
    std::vector<std::string> lines;
    std::string count;
    std::string radios;
    bool preview;
  };
  const Case cases[] = {
      {{"Thread_Count=7", "After_Done=2", "Show_Preview=1", "Thread_Priority=0", "Overwrite_File=0"}, "7",
       "..x. x. x...", true},
      {{"Thread_Count=19", "After_Done=1", "Show_Preview=0", "Thread_Priority=2", "Overwrite_File=1"}, "19",
       ".x.. .x ..x.", false},
      {{"Thread_Count=1", "After_Done=3", "Show_Preview=1", "Thread_Priority=1", "Overwrite_File=0"}, "1",
       "...x x. .x..", true},
      {{"Thread_Count=33", "After_Done=9", "Show_Preview=x", "Thread_Priority=", "Overwrite_File=Error"}, "1",
       "x... .x ...x", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines[0] + " " + c.lines[1]);
    quill->SetPreview(!c.preview);
    WriteAll(env.IniPath(), IniText({{"Options", c.lines}}));
    MakeDialog();
    EXPECT_EQ(dialog->kxSkinComboBox2->Text(), c.count);
    EXPECT_EQ(dialog->kxSkinComboBox2->ItemIndex(), std::stoi(c.count) - 1);
    EXPECT_EQ(Radios(), c.radios);
    EXPECT_EQ(dialog->kxSkinCheckRadioBox8->Checked(), c.preview);
    EXPECT_EQ(quill->Preview(), c.preview);
    EXPECT_EQ(OverwriteOutputFiles(), c.radios[5] == 'x');
  }
}

// OK with "4" picked and the preview switched off stores both and closes; the next dialog
// shows "4" again, so the choice is not lost on the following OK.
TEST_F(Form5Test, OkWritesTheControlsThenCloses) {
  WriteAll(env.IniPath(), IniText({{"Options", {"Thread_Count=9", "After_Done=0", "Show_Preview=1",
                                                 "Thread_Priority=3", "Overwrite_File=1"}}}));
  MakeDialog();
  EXPECT_TRUE(quill->Preview());
  input.Then([&](TCustomForm& d) {
    EXPECT_EQ(&d, dialog);
    // Centred on the main window.
    EXPECT_NEAR(d.Left() + d.Width() / 2, main->Left() + main->Width() / 2, 1);
    EXPECT_NEAR(d.Top() + d.Height() / 2, main->Top() + main->Height() / 2, 1);
    dialog->kxSkinComboBox2->SetItemIndex(3);
    DialogInput::ClickCentre(dialog->kxSkinCheckRadioBox8);
    EXPECT_FALSE(quill->Preview());
    DialogInput::ClickCentre(dialog->kxSkinCheckRadioBox5);
    DialogInput::ClickCentre(dialog->kxSkinCheckRadioBox3);
    DialogInput::ClickCentre(dialog->kxSkinCheckRadioBox10);
    EXPECT_EQ(Radios(), "...x x. .x..");
    DialogInput::ClickCentre(dialog->kxSkinButton6);
  });
  dialog->ShowModal();
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(Stored("Thread_Count"), "4");
  EXPECT_EQ(Stored("Show_Preview"), "0");
  EXPECT_EQ(Stored("After_Done"), "3");
  EXPECT_EQ(Stored("Overwrite_File"), "0");
  EXPECT_EQ(Stored("Thread_Priority"), "1");
  EXPECT_TRUE(OverwriteOutputFiles());

  MakeDialog();
  EXPECT_EQ(dialog->kxSkinComboBox2->Text(), "4");
  EXPECT_EQ(Radios(), "...x x. .x..");
  dialog->Button2->Click();
  EXPECT_EQ(Stored("Thread_Count"), "4");
}

// Cancel writes nothing and undoes nothing: the live preview switched off in the dialog stays
// off for the run, the other changes stay in the controls, and the file keeps its values.
TEST_F(Form5Test, CancelWritesNothingAndUndoesNothing) {
  const std::string text = IniText({{"Options", {"Thread_Count=2", "After_Done=1", "Show_Preview=1",
                                                  "Thread_Priority=3", "Overwrite_File=1"}}});
  WriteAll(env.IniPath(), text);
  MakeDialog();
  ASSERT_TRUE(quill->Preview());
  input.Then([&](TCustomForm&) {
    DialogInput::ClickCentre(dialog->kxSkinCheckRadioBox8);
    DialogInput::ClickCentre(dialog->kxSkinCheckRadioBox3);
    DialogInput::ClickCentre(dialog->kxSkinButton1);
  });
  dialog->ShowModal();
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(quill->Preview());
  EXPECT_FALSE(dialog->kxSkinCheckRadioBox8->Checked());
  EXPECT_TRUE(OverwriteOutputFiles());
  EXPECT_EQ(ReadAll(env.IniPath()), text);
  // Shown again, it still holds what the user left.
  input.Then([&](TCustomForm&) {
    EXPECT_TRUE(dialog->kxSkinCheckRadioBox3->Checked());
    DialogInput::ClickCentre(dialog->kxSkinButton1);
  });
  dialog->ShowModal();
}

// The multi-thread box: cleared, the thread-count combo is disabled and the writer leaves
// Thread_Count alone; ticked again, both come back.
TEST_F(Form5Test, MultiThreadBoxRulesTheThreadCount) {
  WriteAll(env.IniPath(), IniText({{"Options", {"Thread_Count=6"}}}));
  MakeDialog();
  dialog->kxSkinComboBox2->SetItemIndex(10);
  dialog->kxSkinCheckRadioBox7->SetChecked(false);
  EXPECT_FALSE(dialog->kxSkinComboBox2->Enabled());
  dialog->Button2->Click();
  EXPECT_EQ(Stored("Thread_Count"), "6");
  dialog->kxSkinCheckRadioBox7->SetChecked(true);
  EXPECT_TRUE(dialog->kxSkinComboBox2->Enabled());
  dialog->Button2->Click();
  EXPECT_EQ(Stored("Thread_Count"), "11");
}

// Without a main window the dialog still reads and writes; the preview box switches nothing.
TEST_F(Form5Test, WorksWithoutATaskComponent) {
  quill->SetName("NotQuill");
  WriteAll(env.IniPath(), IniText({{"Options", {"Show_Preview=1"}}}));
  MakeDialog();
  EXPECT_TRUE(dialog->kxSkinCheckRadioBox8->Checked());
  EXPECT_FALSE(quill->Preview());
  EXPECT_EQ(TForm5::TaskComponent(), nullptr);
}

// The dialog as a person sees it, in skins 0 and 1, written to forms/form5-*.png in the build
// folder. Every caption must fit its control: a cut-off Chinese caption fails here.
TEST_F(Form5Test, PicturesInTwoSkins) {
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "forms";
  fs::create_directories(dir);
  for (int32_t index : {0, 1}) {
    SCOPED_TRACE(index);
    skin->SetSkinIndex(index);
    MakeDialog();
    input.Then([&](TCustomForm& d) {
      Pump();
      for (TkxSkinCheckRadioBox* box :
           {dialog->kxSkinCheckRadioBox1, dialog->kxSkinCheckRadioBox2, dialog->kxSkinCheckRadioBox4,
            dialog->kxSkinCheckRadioBox5, dialog->kxSkinCheckRadioBox3, dialog->kxSkinCheckRadioBox6,
            dialog->kxSkinCheckRadioBox8, dialog->kxSkinCheckRadioBox9, dialog->kxSkinCheckRadioBox10,
            dialog->kxSkinCheckRadioBox11, dialog->kxSkinCheckRadioBox12}) {
        TBitmap probe;
        probe.SetSize(4, 4);
        probe.Canvas()->Font()->Assign(box->Font());
        // The skin's font, when the box takes it.
        if (box->UseSkinFont() && !box->FontName.empty()) {
          probe.Canvas()->Font()->SetName(box->FontName);
          probe.Canvas()->Font()->SetHeight(box->FontHeight);
        }
        // Check image and gap take at most 24 pixels.
        EXPECT_LE(probe.Canvas()->TextWidth(box->Caption()) + 24, box->Width()) << box->Name();
        const TRect r = box->BoundsRect();
        EXPECT_LE(r.right, box->Parent()->ClientWidth()) << box->Name();
      }
      int sw = 0, sh = 0;
      const std::vector<uint32_t> screen = headless::ComposeScreen(&sw, &sh);
      TBitmap b;
      b.SetPixelFormat(pf24bit);
      b.SetSize(d.Width() + 20, d.Height() + 20);
      for (int y = 0; y < b.Height(); ++y) {
        auto* row = static_cast<uint8_t*>(b.ScanLine(y));
        for (int x = 0; x < b.Width(); ++x) {
          const int sx = d.Left() - 10 + x, sy = d.Top() - 10 + y;
          const uint32_t p =
              sx >= 0 && sy >= 0 && sx < sw && sy < sh ? screen[size_t(sy) * size_t(sw) + size_t(sx)] : 0;
          row[3 * x] = p & 255, row[3 * x + 1] = (p >> 8) & 255, row[3 * x + 2] = (p >> 16) & 255;
        }
      }
      TPngImage png;
      png.Assign(&b);
      const fs::path file = dir / ("form5-kxSkin" + std::to_string(index) + ".png");
      png.SaveToFile(file.string());
      EXPECT_TRUE(fs::exists(file));
      DialogInput::ClickCentre(dialog->kxSkinButton1);
    });
    dialog->ShowModal();
  }
}

}  // namespace

// ---- the main window's settings handlers --------------------------------------------------------

class Form1OptionsTest : public ctltest::ControlTest {
protected:
  void TearDown() override {
    delete Form5;
    Form5 = nullptr;
    ControlTest::TearDown();
  }
  ScratchEnv env;
};

// Start-up reads the output folder and the skin; the writers store the folder (only one that
// exists) and the current skin; SetSkin 5 selects skin 5 and 99 keeps the skin and the file.
TEST_F(Form1OptionsTest, StartUpReadsAndTheButtonsStore) {
  TForm1* f = new TForm1(owner.get());
  EXPECT_EQ(f->FileOutPutPath, env.OutputDefault());
  EXPECT_EQ(f->Video_OutPut_Folder_Edit->Text(), env.OutputDefault());
  EXPECT_TRUE(DirectoryExists(env.OutputDefault()));
  TOptionIni ini(env.IniPath());
  EXPECT_EQ(ini.Read("Skin", "SetSkin"), "0");
  EXPECT_EQ(f->kxSkinData1->SkinIndex(), 0);

  struct Case {
    const char* stored;
    int32_t index;
  };
  for (const Case& c : {Case{"5", 5}, Case{"99", 5}, Case{"abc", 0}}) {
    SCOPED_TRACE(c.stored);
    ini.Write("Skin", "SetSkin", c.stored);
    f->Button3->Click();
    EXPECT_EQ(f->kxSkinData1->SkinIndex(), c.index);
    EXPECT_EQ(ini.Read("Skin", "SetSkin"), std::string(c.stored) == "abc" ? "0" : c.stored);
  }
  f->kxSkinData1->SetSkinIndex(3);
  f->Button4->Click();
  EXPECT_EQ(ini.Read("Skin", "SetSkin"), "3");

  f->FileOutPutPath = env.Root() + "/missing";
  f->Button16->Click();
  EXPECT_EQ(ini.Read("OutPath", "OutPath"), env.OutputDefault());
  f->FileOutPutPath = env.Root();
  f->Button16->Click();
  EXPECT_EQ(ini.Read("OutPath", "OutPath"), env.Root());
  f->Button17->Click();
  EXPECT_EQ(f->Video_OutPut_Folder_Edit->Text(), env.Root());

  // Button26 shows the options dialog modally.
  Form5 = new TForm5(nullptr);
  DialogInput input;
  bool shown = false;
  input.Then([&](TCustomForm& d) {
    shown = &d == Form5;
    DialogInput::ClickCentre(Form5->kxSkinButton1);
  });
  f->Button26->Click();
  EXPECT_TRUE(shown);
}
