// The about box read from its description (texts, fonts and the faces they resolve to, its
// place and its links), the open dialogs' file filter, and pictures of the about box in two
// skins (build folder, forms/about-*.png) for a person to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>
#include <set>
#include <string>
#include <vector>

#include "app/forms/OpenFilter.h"
#include "app/forms/Unit1.h"
#include "app/forms/Unit2.h"
#include "base/Files.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Streaming.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinStore.h"
#include "platform/Gdi.h"
#include "platform/backend/headless/ShellRecorder.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/dialogs/DialogInput.h"

namespace {

using namespace win;

// ---- the file filter ---------------------------------------------------------------------------

size_t CodePoints(const std::string& Utf8) {
  return size_t(std::count_if(Utf8.begin(), Utf8.end(), [](char c) { return (uint8_t(c) & 0xC0) != 0x80; }));
}

std::vector<std::string> Split(std::string_view Text, char Sep) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (size_t i = 0; i <= Text.size(); ++i)
    if (i == Text.size() || Text[i] == Sep) {
      parts.emplace_back(Text.substr(from, i - from));
      from = i + 1;
    }
  return parts;
}

TEST(OpenFilter, IsTheFortyTwoEntriesInOneTextOf1833Characters) {
  const std::string text = openfilter::FilterText();
  EXPECT_EQ(CodePoints(text), 1833u);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '|');
  // Description and patterns alternate: 84 fields and the empty one after the last bar.
  std::vector<std::string> fields = Split(text, '|');
  ASSERT_EQ(fields.size(), 85u);
  EXPECT_EQ(fields.back(), "");
  ASSERT_EQ(openfilter::Entries().size(), 42u);
  for (size_t i = 0; i < 42; ++i) {
    EXPECT_EQ(fields[2 * i], openfilter::Entries()[i].Description) << i + 1;
    EXPECT_EQ(fields[2 * i + 1], openfilter::Entries()[i].Patterns) << i + 1;
  }
}

TEST(OpenFilter, EntriesKeepTheirOddSpacing) {
  struct Case {
    size_t Number;
    std::string Description, Patterns;
  };
  const Case cases[] = {
      {1, "所有文件格式 (*.*)", "*.*"},
      {5, "AVI文件 (*.avi)", "*.avi"},
      {24, "MJPEG视频格式(*.mjpg;*.mjpeg)", "*.mjpg;*.mjpeg"},
      {27, "微软数字视频格式( *.dvr-ms)", "*.dvr-ms"},
      // U+3000, the ideographic space, before the parenthesis.
      {38, "Flac无损压缩音频格式\xE3\x80\x80(*.flac)", "*.flac"},
      {40, "MPEG 2音频编码格式(*.mp2)", "*.mp2"},
      {42, "AIFF音频编码格式(*.aif; *.aiff)", "*.aif; *.aiff"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Number);
    const openfilter::TFilterEntry& e = openfilter::Entries()[c.Number - 1];
    EXPECT_EQ(e.Description, c.Description);
    EXPECT_EQ(e.Patterns, c.Patterns);
  }
  // Entry 2 names "*.m4v" twice, as it always did.
  std::vector<std::string> all = Split(openfilter::Entries()[1].Patterns, ';');
  EXPECT_EQ(std::count(all.begin(), all.end(), "*.m4v"), 2);
  EXPECT_EQ(all.front(), "*.AVI");
  EXPECT_EQ(all.back(), "*.qt");
}

TEST(OpenFilter, EverySupportedFileCoversTheVideoAndAudioEntries) {
  auto patterns = [](size_t Number) {
    std::vector<std::string> v = Split(openfilter::Entries()[Number - 1].Patterns, ';');
    return std::set<std::string>(v.begin(), v.end());
  };
  const std::set<std::string> every = patterns(2), video = patterns(3), audio = patterns(4);
  for (const std::set<std::string>* part : {&video, &audio})
    for (const std::string& p : *part) EXPECT_TRUE(every.count(p)) << p;
  EXPECT_GT(every.size(), video.size() + audio.size() - 4);  // "*.WV;*.TTA;*.AC3" and more are in both
  EXPECT_TRUE(every.count("*.FLAC"));
  EXPECT_FALSE(video.count("*.MP3"));
}

// ---- the about box -----------------------------------------------------------------------------

// Stands in for the main window: the about box takes its skin data from "Form1.kxSkinData1".
class AboutBoxTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    headless::ResetShellRecorder();
    main = new TForm(owner.get());
    main->SetName("Form1");
    skin = new TkxSkinData(main);
    skin->SetName("kxSkinData1");
    RegisterFormInstance(main);
  }
  void TearDown() override {
    delete about;
    about = nullptr;
    headless::ResetShellRecorder();
    ControlTest::TearDown();
  }
  TForm2* About() {
    about = new TForm2(nullptr);
    return about;
  }
  void LoadSkin(int Index) {
    TkxCompressedStoredSkin stored(nullptr);
    stored.LoadFromResource("kxSkin" + std::to_string(Index));
    skin->LoadCompressedStoredSkin(&stored);
  }
  // The face the font resolves to on this system.
  static std::string FaceOf(TFont* Font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font->Handle());
    char name[LF_FACESIZE] = {};
    GetTextFace(dc, LF_FACESIZE, name);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return name;
  }

  TForm* main = nullptr;
  TkxSkinData* skin = nullptr;
  TForm2* about = nullptr;
};

TEST_F(AboutBoxTest, ReadsItsTextsFontsAndFrameFromItsDescription) {
  TForm2* f = About();
  EXPECT_EQ(f->Name(), "Form2");
  EXPECT_EQ(f->Caption(), "关于软件");
  EXPECT_EQ(f->BorderStyle(), bsSingle);
  EXPECT_EQ(f->Position(), poDesktopCenter);
  EXPECT_EQ(f->ClientWidth(), 332);
  EXPECT_EQ(f->ClientHeight(), 259);
  // The frame: the main window's skin data (a reference across forms), a roll-up button and
  // nothing else, snapping to screen edges within 10 pixels.
  ASSERT_NE(f->kxVelara1, nullptr);
  EXPECT_EQ(f->kxVelara1->SkinData(), skin);
  EXPECT_EQ(f->kxVelara1->BorderIcons(), TkxBorderIcons{TkxBorderIcon::biRollUp});
  EXPECT_TRUE(f->kxVelara1->Magnetic);
  EXPECT_EQ(f->kxVelara1->MagneticSize, 10);
  EXPECT_TRUE(f->BorderIcons().Empty());

  struct LabelCase {
    TkxSkinStdLabel* Label;
    std::string Caption;
  };
  for (const LabelCase& c : {LabelCase{f->kxSkinStdLabel1, "官方网站："}, LabelCase{f->kxSkinStdLabel2, "支持E-Mail："},
                             LabelCase{f->kxSkinStdLabel3, "OmbrelWMV视频格式转换器"},
                             LabelCase{f->kxSkinStdLabel4, "Ver:11.9.0.0"}}) {
    ASSERT_NE(c.Label, nullptr) << c.Caption;
    EXPECT_EQ(c.Label->Caption(), c.Caption);
    EXPECT_EQ(c.Label->SkinData(), skin) << c.Caption;
  }
  // The title in 黑体 at 20 pixels, which resolves to a face with Chinese glyphs; the version
  // bold at 19 pixels. Both keep their own fonts in every skin.
  TFont* title = f->kxSkinStdLabel3->Font();
  EXPECT_FALSE(f->kxSkinStdLabel3->UseSkinFont());
  EXPECT_EQ(title->Name(), "黑体");
  EXPECT_EQ(title->Height(), -20);
  EXPECT_FALSE(title->Style().Contains(fsBold));
  EXPECT_EQ(FaceOf(title), "WenQuanYi Micro Hei");
  TFont* version = f->kxSkinStdLabel4->Font();
  EXPECT_FALSE(f->kxSkinStdLabel4->UseSkinFont());
  EXPECT_EQ(version->Height(), -19);
  EXPECT_TRUE(version->Style().Contains(fsBold));
  // Auto-sized to the text: the whole title fits in the box.
  EXPECT_GT(f->kxSkinStdLabel3->Width(), 150);
  EXPECT_LE(f->kxSkinStdLabel3->Left() + f->kxSkinStdLabel3->Width(), 332);

  ASSERT_NE(f->Image1, nullptr);
  EXPECT_EQ(f->Image1->Picture()->Width(), 53);
  EXPECT_EQ(f->Image1->Picture()->Height(), 57);
  EXPECT_TRUE(f->Image1->Transparent());
  ASSERT_NE(f->kxSkinLinkLabel1, nullptr);
  ASSERT_NE(f->kxSkinLinkLabel2, nullptr);
  EXPECT_EQ(f->kxSkinLinkLabel1->Caption(), about::HomePage);
  EXPECT_EQ(f->kxSkinLinkLabel1->URL(), about::HomePage);
  EXPECT_EQ(f->kxSkinLinkLabel2->Caption(), about::SupportMail);
  EXPECT_EQ(f->kxSkinLinkLabel2->URL(), about::SupportMailLink);
  ASSERT_NE(f->kxSkinButton1, nullptr);
  EXPECT_EQ(f->kxSkinButton1->Caption(), "确定");
}

TEST_F(AboutBoxTest, ShowsModallyInTheMiddleOfTheDesktopAndOkClosesIt) {
  LoadSkin(1);
  TForm2* f = About();
  dlgtest::DialogInput input;
  TRect placed{};
  TRect client{};
  input.Then([&](TCustomForm& d) {
    EXPECT_EQ(&d, f);
    placed = d.BoundsRect();
    client = d.ClientRect();
    input.ClickCentre(f->kxSkinButton1);
  });
  f->ShowModal();
  EXPECT_EQ(input.Played(), 1);
  EXPECT_FALSE(f->Visible());
  // Centred on the whole screen (1920 x 1080), skinned frame and all.
  EXPECT_NEAR((placed.left + placed.right) / 2, 960, 1);
  EXPECT_NEAR((placed.top + placed.bottom) / 2, 540, 1);
  EXPECT_EQ(client.right - client.left, 332);
  EXPECT_EQ(client.bottom - client.top, 259);
  // Shown again later, it comes back: it is only hidden.
  input.Then([&](TCustomForm&) { input.ClickCentre(f->kxSkinButton1); });
  f->ShowModal();
  EXPECT_EQ(input.Played(), 2);
}

TEST_F(AboutBoxTest, TheLinksOpenTheHomePageAndANewMailThroughTheShell) {
  TForm2* f = About();
  f->Show();
  Pump();
  ClickAt(f->kxSkinLinkLabel1, 3, f->kxSkinLinkLabel1->Height() / 2);
  ClickAt(f->kxSkinLinkLabel2, 3, f->kxSkinLinkLabel2->Height() / 2);
  EXPECT_EQ(headless::Launches(),
            (std::vector<std::vector<std::string>>{{"xdg-open", std::string(about::HomePage)},
                                                   {"xdg-open", std::string(about::SupportMailLink)}}));
}

TEST_F(AboutBoxTest, PicturesInTwoSkins) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "forms";
  fs::create_directories(dir);
  headless::SetMonitors({{{0, 0, 420, 340}, {0, 0, 420, 340}, true}});
  TForm2* f = About();
  for (int n : {0, 1}) {
    SCOPED_TRACE(n);
    LoadSkin(n);
    f->Show();
    for (int i = 0; i < 50; ++i) {
      clock.Advance(10);
      Pump();
    }
    RedrawWindow(f->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    EXPECT_TRUE(headless::SaveScreenPng((dir / ("about-kxSkin" + std::to_string(n) + ".png")).string()));
    f->Hide();
    Pump();
  }
}

// ---- the main window's menus and small commands -------------------------------------------------

// The main window with its command buttons replaced by spies that log their names.
class MainMenusTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    headless::ResetShellRecorder();
    f = new TForm1(owner.get());
    for (TButton* b : {f->Button4, f->Button8, f->Button12, f->Button16, f->Button20, f->Button26, f->btnStart,
                       f->btnStop, f->btnRemove, f->btnClear})
      b->OnClick = [this, b](TObject*) { clicked.push_back(b->Name()); };
  }
  void TearDown() override {
    delete Form2;
    headless::ResetShellRecorder();
    ControlTest::TearDown();
  }
  TForm1* f = nullptr;
  std::vector<std::string> clicked;
};

TEST_F(MainMenusTest, EachMenuItemAndToolButtonReachesItsOperation) {
  namespace fs = std::filesystem;
  const fs::path help = fs::path(ExecutableDir()) / "help.chm";
  const bool madeHelp = !fs::exists(help);
  if (madeHelp) std::ofstream(help) << "help";
  using Launch = std::vector<std::string>;
  struct Case {
    std::string What;
    std::function<void()> Do;
    std::vector<std::string> Clicked;
    std::vector<Launch> Launches;
  };
  auto item = [](TMenuItem* I) {
    return [I] {
      I->SetEnabled(true);
      I->Click();
    };
  };
  const Launch helpLaunch{"xdg-open", help.string()}, home{"xdg-open", std::string(about::HomePage)};
  f->Show();
  Pump();
  const std::vector<Case> cases = {
      {"添加整个目录", item(f->N21), {"Button12"}, {}},
      {"开始转换", item(f->N7), {"btnStart"}, {}},
      {"停止转换", item(f->N8), {"btnStop"}, {}},
      {"删除选择", item(f->N13), {"btnRemove"}, {}},
      {"清空文件", item(f->N14), {"btnClear"}, {}},
      {"转换设置", item(f->N24), {"Button26"}, {}},
      {"帮助系统", item(f->N15), {}, {helpLaunch}},
      {"官方网站", item(f->N19), {}, {home}},
      {"popup 添加多个文件", item(f->N2222), {"Button8"}, {}},
      {"popup 添加整个目录", item(f->N3331), {"Button12"}, {}},
      {"tool 选项", [&] { f->kxSkinButton19->Click(); }, {"Button26"}, {}},
      {"设置 (hidden)", [&] { f->kxSkinButton1Click(f->kxSkinButton1); }, {"Button26"}, {}},
      {"unbound speed button", [&] { f->kxSkinSpeedButton1Click(nullptr); }, {"Button26"}, {}},
      {"打开", [&] { f->kxSkinButton6->ButtonClick(); }, {"Button20"}, {}},
      {"help button", [&] { f->Button1->Click(); }, {}, {helpLaunch}},
      {"empty handlers", [&] { f->Button11->Click(); f->Button19->Click(); f->kxSkinPanel1Click(f->kxSkinPanel1); }, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    clicked.clear();
    headless::ResetShellRecorder();
    c.Do();
    EXPECT_EQ(clicked, c.Clicked);
    EXPECT_EQ(headless::Launches(), c.Launches);
  }
  // 打开 leaves the focus on the job list.
  EXPECT_EQ(f->ActiveControl(), f->lvFiles);
  if (madeHelp) fs::remove(help);
}

TEST_F(MainMenusTest, TheMenuTreeAsTheUserSeesIt) {
  struct Item {
    TMenuItem* I;
    const char* Caption;
    bool Enabled;
    bool Bound;
  };
  const std::vector<Item> items = {
      {f->Item11, "文件", true, false},     {f->Item111, "添加一个文件", true, true}, {f->Item121, "添加多个文件", true, true},
      {f->N21, "添加整个目录", true, true}, {f->N3, "-", true, false},           {f->N4, "退出", true, true},
      {f->N6, "编辑", true, false},         {f->N111, "上移文件", true, true},     {f->N2221, "下移文件", true, true},
      {f->N13, "删除选择", false, true},    {f->N14, "清空文件", false, true},     {f->N26, "重新命名", false, true},
      {f->N1, "动作", true, false},         {f->N7, "开始转换", false, true},      {f->N8, "停止转换", false, true},
      {f->N10, "暂停转换", false, true},    {f->N11, "继续继续", false, true},     {f->N22, "功能", true, false},
      {f->N24, "转换设置", true, true},     {f->N23, "软件皮肤", true, true},      {f->N2, "帮助", true, false},
      {f->N15, "帮助系统", true, true},     {f->N19, "官方网站", true, true},      {f->N5, "关于软件", true, true},
      {f->N11111, "添加一个文件", true, true}, {f->N2222, "添加多个文件", true, true}, {f->N3331, "添加整个目录", true, true},
  };
  for (const Item& i : items) {
    ASSERT_NE(i.I, nullptr) << i.Caption;
    EXPECT_EQ(i.I->Caption(), i.Caption);
    EXPECT_EQ(i.I->Enabled(), i.Enabled) << i.Caption;
    EXPECT_EQ(bool(i.I->OnClick), i.Bound) << i.Caption;
  }
  EXPECT_EQ(f->N15->ShortCut(), TShortCut(VK_F1));
  EXPECT_EQ(f->kxSkinMainMenu1->Items()->Count(), 5);
}

TEST_F(MainMenusTest, TheOpenDialogsGetTheFilterAtStartUp) {
  EXPECT_EQ(f->OpenDialog1->Filter, openfilter::FilterText());
  EXPECT_EQ(f->OpenDialog2->Filter, openfilter::FilterText());
}

// Confirmed or cancelled, the skin index is stored; only a confirmed choice changes the skin.
TEST_F(MainMenusTest, TheSkinDialogThenTheSkinIsStoredInEveryCase) {
  dlgtest::DialogInput input;
  f->kxSkinData1->SetSkinIndex(1);  // not the first start's stored skin, 0
  input.Then([](TCustomForm&) { dlgtest::DialogInput::Key(VK_ESCAPE); });
  f->N23->Click();
  EXPECT_EQ(f->kxSkinData1->SkinIndex(), 1);
  EXPECT_EQ(clicked, std::vector<std::string>{"Button4"});
  clicked.clear();
  input.Then([](TCustomForm&) {
    dlgtest::DialogInput::Key(VK_DOWN);
    dlgtest::DialogInput::Key(VK_DOWN);
    dlgtest::DialogInput::Key(VK_RETURN);
  });
  f->kxSkinButton9->Click();
  EXPECT_EQ(f->kxSkinData1->SkinIndex(), 3);
  EXPECT_EQ(clicked, std::vector<std::string>{"Button4"});
}

TEST_F(MainMenusTest, BrowseTakesTheDialogsFolderOnlyWhenItExists) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("menus-out-" + std::to_string(getpid()));
  fs::create_directories(dir);
  f->Show();
  Pump();
  const std::string before = f->Video_OutPut_Folder_Edit->Text(), path = f->FileOutPutPath;
  struct Case {
    std::string Directory;
    int Key;
    bool Taken;
  };
  const Case cases[] = {
      {"", VK_ESCAPE, false},  // cancelled before any folder was picked
      {(dir / "gone").string(), VK_ESCAPE, false},
      {dir.string(), VK_ESCAPE, true},  // a cancelled dialog keeps its folder, which is taken
  };
  dlgtest::DialogInput input;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Directory);
    clicked.clear();
    f->kxSkinSelectDirectoryDialog2->Directory = c.Directory;
    input.Then([&](TCustomForm&) { dlgtest::DialogInput::Key(c.Key); });
    f->kxSkinButton5->ButtonClick();
    if (c.Taken) {
      EXPECT_EQ(f->Video_OutPut_Folder_Edit->Text(), c.Directory);
      EXPECT_EQ(f->FileOutPutPath, c.Directory);
      EXPECT_EQ(clicked, std::vector<std::string>{"Button16"});
      EXPECT_EQ(f->ActiveControl(), f->lvFiles);
    } else {
      EXPECT_EQ(f->Video_OutPut_Folder_Edit->Text(), before);
      EXPECT_EQ(f->FileOutPutPath, path);
      EXPECT_TRUE(clicked.empty());
    }
  }
  fs::remove_all(dir);
}

TEST_F(MainMenusTest, AboutShowsTheAboutBoxModallyAndExitClosesTheWindow) {
  f->N5->Click();  // no about box yet: nothing happens
  Form2 = new TForm2(nullptr);
  dlgtest::DialogInput input;
  input.Then([&](TCustomForm& d) {
    EXPECT_EQ(&d, Form2);
    input.ClickCentre(Form2->kxSkinButton1);
  });
  f->N5->Click();
  EXPECT_EQ(input.Played(), 1);
  EXPECT_FALSE(Form2->Visible());
  f->Show();
  Pump();
  f->N4->Click();
  Pump();
  EXPECT_FALSE(f->Visible());
}

TEST_F(MainMenusTest, PictureOfTheMainWindowWithAMenuOpen) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "forms";
  fs::create_directories(dir);
  headless::SetMonitors({{{0, 0, 1000, 700}, {0, 0, 1000, 700}, true}});
  f->Show();
  Pump();
  f->kxSkinMainMenuBar1->Item(4)->MouseDown(0, 0, mbLeft);
  for (int i = 0; i < 50; ++i) {
    clock.Advance(10);
    Pump();
  }
  EXPECT_TRUE(headless::SaveScreenPng((dir / "main-help-menu.png").string()));
}

}  // namespace
