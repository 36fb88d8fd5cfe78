// The main window read from its description, headless: its components and bindings, the
// start-up states of the command groups, the screen list, a disabled command button clicked by
// another operation, closing, and the category, format and preset lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "app/catalogue/FormatCatalogue.h"
#include "app/catalogue/FormatParams.h"
#include "app/catalogue/Presets.h"
#include "app/forms/Unit1.h"
#include "platform/backend/headless/Headless.h"
#include "tests/classlib/ControlTestFixture.h"

namespace {

class Form1Test : public ctltest::ControlTest {
protected:
  TForm1* MakeForm() { return new TForm1(owner.get()); }
};

// The glyph a skinned tool button shows, compared by its pixels.
bool SameBitmap(TBitmap* A, TBitmap* B) {
  if (A->Width() != B->Width() || A->Height() != B->Height() || A->Width() == 0) return false;
  for (int y = 0; y < A->Height(); ++y)
    for (int x = 0; x < A->Width(); ++x)
      if (A->Canvas()->Pixels(x, y) != B->Canvas()->Pixels(x, y)) return false;
  return true;
}

TBitmap* GlyphOf(TControl* Tool) { return dynamic_cast<TkxButtonLook*>(Tool)->Glyph(); }

TEST_F(Form1Test, ReadsEveryComponentWithItsStateAndBinding) {
  TForm1* f = MakeForm();
  EXPECT_EQ(f->Name(), "Form1");
  EXPECT_EQ(f->Caption(), "OmbrelWMV视频格式转换器");
  EXPECT_EQ(f->BorderStyle(), bsSingle);
  EXPECT_TRUE(f->BorderIcons().Empty());

  // The command buttons with their exact captions and handlers.
  struct Cmd {
    TButton* Button;
    const char* Caption;
    bool Handler;
  };
  const std::vector<Cmd> cmds = {
      {f->btnAdd, "Open添加一个文件", true},  {f->btnStart, "Start", true},    {f->btnStop, "Stop", true},
      {f->btnPause, "Pause", true},           {f->btnResume, "Resume", true},  {f->btnRemove, "Remove", true},
      {f->btnClear, "Clear", true},           {f->btnWebSite, "Web Site", false}, {f->Button1, "help", true},
      {f->Button2, "添加combox", true},       {f->Button3, "读入皮肤ini", true}, {f->Button4, "写入皮肤ini", true},
      {f->Button5, "根据combox添加数据", true}, {f->Button6, "初始化数据", true}, {f->Button7, "确认oo数据", true},
      {f->Button8, "打开多个文件", true},     {f->Button11, "onchange用", true}, {f->Button12, "添加整个目录", true},
      {f->Button13, "确认预置选项数据", true}, {f->Button14, "添加", true},     {f->Button15, "初始化数值", true},
      {f->Button16, "写ini文件", true},       {f->Button17, "读ini文件", true}, {f->Button18, "根据combox添加预设选项", true},
      {f->Button19, "Button19", true},        {f->Button20, "转换后打开文件夹", true}, {f->Button21, "OpenDialog1", true},
      {f->Button22, "工作中设置为不能", true}, {f->Button23, "工作完成设置为能", true}, {f->Button24, "刷新皮肤", true},
      {f->Button25, "关机", true},            {f->Button26, "Button26", true}, {f->Button27, "Button27", true},
      {f->button28, "新添加", true},          {f->Button29, " 播放提示音", true}, {f->Button31, "打开播放视频", true},
      {f->btnCapture, "Capture", true},       {f->Button34, "Button34", false}, {f->Button40, "Button40", false},
      {f->Button9, "Button9", false},         {f->Button10, "Button10", false}};
  for (const Cmd& c : cmds) {
    ASSERT_NE(c.Button, nullptr) << c.Caption;
    EXPECT_EQ(c.Button->Caption(), c.Caption);
    EXPECT_EQ(bool(c.Button->OnClick), c.Handler) << c.Caption;
    // Off screen: right of the client area.
    EXPECT_GE(c.Button->ClientToScreen(TPoint{0, 0}).x - f->ClientToScreen(TPoint{0, 0}).x, 804) << c.Caption;
  }
  EXPECT_FALSE(f->Button19->Visible());
  EXPECT_FALSE(f->edt->Visible());
  EXPECT_TRUE(bool(f->edt->OnExit));
  EXPECT_TRUE(f->chkThreadMode->Checked());
  EXPECT_TRUE(f->chkOpenPaused->Checked());
  EXPECT_FALSE(f->chkStayOnTop->Checked());
  EXPECT_EQ(f->TrackBar2->Max(), 128);
  EXPECT_EQ(f->TrackBar2->Position(), 128);
  EXPECT_EQ(f->Label2->Caption(), "N/A");
  EXPECT_FALSE(f->cboVideo->Enabled());
  EXPECT_EQ(f->cboAspectRatio->Items()->Count(), 6);

  // The visible areas.
  EXPECT_EQ(f->Panel6->Parent(), f);
  EXPECT_EQ(f->Panel6->Width(), 200);
  EXPECT_EQ(f->Panel6->Height(), 124);
  EXPECT_EQ(f->Panel6->Color(), clBlack);
  EXPECT_EQ(f->kxSkinPanel3->Width(), 219);
  EXPECT_EQ(f->kxSkinPanel3->Height(), 226);
  EXPECT_EQ(f->lvFiles->Columns()->Count(), 25);
  EXPECT_EQ(f->lvFiles->Columns()->Items(0)->Caption(), "输入文件");
  for (int c : {5, 8, 24}) EXPECT_EQ(f->lvFiles->Columns()->Items(c)->Width(), 0) << c;
  EXPECT_EQ(f->kxSkinOfficeComboBox2->Items()->Count(), 13);
  EXPECT_EQ(f->kxSkinOfficeComboBox2->Items()->GetItem(12)->Caption(), "MPG视频");
  EXPECT_FALSE(f->kxSkinButton12->Visible());
  EXPECT_EQ(f->kxSkinButton12->Left(), f->kxSkinButton11->Left());
  EXPECT_FALSE(f->kxSkinButton20->Visible());
  EXPECT_FALSE(f->kxSkinButton17->Visible());
  EXPECT_FALSE(f->kxSkinButton1->Visible());
  EXPECT_EQ(f->kxSkinMenuSpeedButton1->SkinPopupMenu(), f->kxSkinPopupMenu1);
  EXPECT_TRUE(f->BMP1->Checked());
  EXPECT_EQ(f->N15->ShortCut(), TShortCut(win::VK_F1));

  // Non-visual components.
  EXPECT_EQ(f->kxSkinData1->SkinIndex(), 1);
  EXPECT_EQ(f->kxCompressedSkinList1->Skins()->Count(), 11);
  EXPECT_FALSE(f->kxSkinData1->Empty);
  EXPECT_EQ(f->kxSkinSelectDirectoryDialog2->Title(), "选择输出目录");
  EXPECT_FALSE(f->kxTrayIcon1->Enabled);
  EXPECT_TRUE(bool(f->Quill->OnProgress) && bool(f->Quill->OnTerminate));
  EXPECT_TRUE(bool(f->FFLogger->OnLog));
  EXPECT_TRUE(f->FFPlayer->OnFileOpen && f->FFPlayer->OnPosition && f->FFPlayer->OnState && f->FFPlayer->OnHook);
  EXPECT_EQ(f->ImageList1->Count(), 44);
  EXPECT_EQ(f->ImageList2->Count(), 7);
  EXPECT_EQ(f->kxSkinSlider1_down_UP, "UP");

  // The file dialogs; the picture dialog is prepared at start-up.
  EXPECT_EQ(f->OpenDialog1->Title(), "打开文件");
  EXPECT_TRUE(f->OpenDialog2->MultiSelection);
  EXPECT_EQ(f->kxSkinSavePictureDialog1->Title(), "Save file");
  EXPECT_EQ(f->SavePictureDialog1->Filter, "Bitmaps (*.bmp)|*.bmp|JPEG Image File |*.jpg;*.jpeg");
  EXPECT_EQ(f->SavePictureDialog1->DefaultExt, "bmp");
  EXPECT_EQ(f->SavePictureDialog1->Options(),
            TOpenOptions({ofOverwritePrompt, ofHideReadOnly, ofExtensionDifferent, ofPathMustExist, ofEnableSizing}));
}

// Each group's members share one state; the tool button shows the group's on or off glyph.
TEST_F(Form1Test, CommandGroupsStartAsTheFormGivesThemAndSwitchTogether) {
  TForm1* f = MakeForm();
  struct Group {
    TCommandGroup Id;
    TButton* Button;
    TControl* Tool;
    std::vector<TMenuItem*> Items;
    TImage *On, *Off;
    bool AtStart;
  };
  const std::vector<Group> groups = {
      {TCommandGroup::Add, f->btnAdd, f->kxSkinMenuSpeedButton1,
       {f->Item111, f->Item121, f->N21, f->N11111, f->N2222, f->N3331}, f->Image3, f->Image2, true},
      {TCommandGroup::Remove, f->btnRemove, f->kxSkinButton7, {f->N13}, f->Image15, f->Image14, false},
      {TCommandGroup::Rename, nullptr, f->kxSkinButton21, {f->N26}, f->Image16, f->Image17, false},
      {TCommandGroup::Clear, f->btnClear, f->kxSkinButton8, {f->N14}, f->Image13, f->Image12, false},
      {TCommandGroup::Start, f->btnStart, f->kxSkinButton2, {f->N7}, f->Image5, f->Image4, false},
      {TCommandGroup::Stop, f->btnStop, f->kxSkinButton10, {f->N8}, f->Image11, f->Image10, false},
      {TCommandGroup::Pause, f->btnPause, f->kxSkinButton11, {f->N10}, f->Image7, f->Image6, false},
      {TCommandGroup::Resume, f->btnResume, f->kxSkinButton12, {f->N11}, f->Image9, f->Image8, false}};
  auto expectState = [&](const Group& g, bool on) {
    if (g.Button) {
      EXPECT_EQ(g.Button->Enabled(), on);
    }
    EXPECT_EQ(g.Tool->Enabled(), on);
    for (TMenuItem* i : g.Items) EXPECT_EQ(i->Enabled(), on) << i->Name();
    EXPECT_TRUE(SameBitmap(GlyphOf(g.Tool), (on ? g.On : g.Off)->Picture()->Bitmap()));
    EXPECT_EQ(f->GroupOn(g.Id), on);
  };
  for (const Group& g : groups) {
    SCOPED_TRACE(g.Tool->Name());
    expectState(g, g.AtStart);
    f->SwitchGroup(g.Id, !g.AtStart);
    expectState(g, !g.AtStart);
    f->SwitchGroup(g.Id, g.AtStart);
    expectState(g, g.AtStart);
  }
  // Moving, the options and the skin are in no group and start enabled.
  EXPECT_TRUE(f->kxSkinButton3->Enabled() && f->kxSkinButton4->Enabled() && f->N111->Enabled());
  EXPECT_TRUE(f->kxSkinButton19->Enabled() && f->kxSkinButton9->Enabled());
}

// "Panel6", then the form's direct windowed children in tab order up to the first gap.
TEST_F(Form1Test, ScreenListNamesPanel6AndTheDirectChildrenByTabOrder) {
  TForm1* f = MakeForm();
  std::vector<std::string> expected = {"Panel6"};
  for (int k = 0;; ++k) {
    std::string name;
    for (int i = 0; i < f->ControlCount(); ++i)
      if (auto* w = dynamic_cast<TWinControl*>(f->Controls(i)); w && w->TabOrder() == k) name = w->Name();
    if (name.empty()) break;
    expected.push_back(name);
  }
  std::vector<std::string> shown;
  for (int i = 0; i < f->cboScreens->Items()->Count(); ++i) shown.push_back(f->cboScreens->Items()->Strings(i));
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(f->cboScreens->ItemIndex(), 0);
  // The areas come in the order of the description's tab orders.
  ASSERT_GE(shown.size(), 8u);
  EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + 8),
            (std::vector<std::string>{"Panel6", "kxSkinPanel1", "kxSkinPanel2", "kxSkinPanel4", "Panel6", "kxSkinPanel3",
                                      "kxSkinMainMenuBar1", "kxSkinToolBar2"}));
  // A child moved to the end of the tab order comes last.
  f->Panel1->SetTabOrder(100);
  f->FillScreenList();
  EXPECT_EQ(f->cboScreens->Items()->Strings(f->cboScreens->Items()->Count() - 1), "Panel1");
}

// A tool button forwards to its command button even while both are disabled.
TEST_F(Form1Test, ADisabledCommandButtonRunsItsHandlerWhenAnotherOperationClicksIt) {
  TForm1* f = MakeForm();
  struct Forward {
    TControl* Tool;
    TMenuItem* Item;
    TButton* Command;
  };
  const std::vector<Forward> forwards = {{f->kxSkinButton2, f->N7, f->btnStart},
                                         {f->kxSkinButton10, f->N8, f->btnStop},
                                         {f->kxSkinButton7, f->N13, f->btnRemove},
                                         {f->kxSkinButton8, f->N14, f->btnClear}};
  for (const Forward& fw : forwards) {
    SCOPED_TRACE(fw.Command->Name());
    ASSERT_FALSE(fw.Command->Enabled());
    int runs = 0;
    fw.Command->OnClick = [&](TObject* Sender) {
      EXPECT_EQ(Sender, fw.Command);
      ++runs;
    };
    fw.Tool->OnClick(fw.Tool);
    EXPECT_EQ(runs, 1);
    fw.Item->OnClick(fw.Item);  // the menu item shares the tool button's handler
    EXPECT_EQ(runs, 2);
  }
}

TEST_F(Form1Test, ClosingDetachesTheEventsOfThePlayerTheTasksAndTheLogger) {
  TForm1* f = MakeForm();
  f->Quill->OnCustomHook = [](TObject*, PHookInfo) {};
  EXPECT_TRUE(f->CloseQuery());
  EXPECT_FALSE(f->FFPlayer->OnHook || f->FFPlayer->OnPosition || f->FFPlayer->OnState);
  EXPECT_TRUE(bool(f->FFPlayer->OnFileOpen));
  EXPECT_FALSE(f->Quill->OnCustomHook || f->Quill->OnProgress || f->Quill->OnTerminate);
  EXPECT_FALSE(bool(f->FFLogger->OnLog));
}

// ---- category, format and preset lists ---------------------------------------------------------

// A job row as the add operations leave it: caption, 24 cells, output name, format and preset code.
TListItem* AddRow(TForm1* f, const std::string& Input, const std::string& Output, const std::string& FormatCode,
                  const std::string& PresetCode) {
  TListItem* r = f->lvFiles->Items()->Add();
  r->SetCaption(Input);
  for (int i = 0; i < 24; ++i) r->SubItems()->Add("");
  r->SubItems()->Put(2, Output);
  r->SubItems()->Put(8, FormatCode);
  r->SubItems()->Put(9, PresetCode);
  return r;
}

std::vector<std::string> PresetTexts(TForm1* f) {
  return {f->kxSkinComboBox1->Text(), f->kxSkinComboBox2->Text(), f->kxSkinComboBox3->Text(),
          f->kxSkinComboBox4->Text(), f->kxSkinComboBox9->Text(), f->kxSkinComboBox10->Text()};
}

struct Fields {
  std::string FrameSize, FrameRate;
  int32_t VideoBitrate;
  std::string SampleRate;
  int32_t AudioBitrate;
  std::string Aspect;
  bool operator==(const Fields&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Fields& v) {
  return o << "{" << v.FrameSize << ", " << v.FrameRate << ", " << v.VideoBitrate << ", " << v.SampleRate << ", "
           << v.AudioBitrate << ", " << v.Aspect << "}";
}
Fields PresetFields(TForm1* f) {
  return {f->Video_FrameSize,      f->Video_FrameRate,      f->Video_VideoBitrate,
          f->Video_AudioSampleRate, f->Video_AudioBitrate, f->Video_FrameAspectRatio};
}

class Form1CatalogueTest : public Form1Test {
protected:
  void SetUp() override {
    Form1Test::SetUp();
    folder = std::filesystem::temp_directory_path() / ("ombrel_form1_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override {
    std::filesystem::remove_all(folder);
    Form1Test::TearDown();
  }
  void Touch(const std::string& Name) { std::ofstream(folder / Name) << "x"; }
  std::filesystem::path folder;
};

// With no option.ini and no job, start-up shows the WMV category, its formats with the first
// one chosen, and the presets of key 1800.
TEST_F(Form1CatalogueTest, StartUpShowsTheWmvFormatsAndThePresetsOfTheirFirstFormat) {
  TForm1* f = MakeForm();
  EXPECT_EQ(f->kxSkinOfficeComboBox2->ItemIndex(), 0);
  auto formats = catalogue::FormatsOfCategory(17);
  ASSERT_EQ(f->kxSkinOfficeComboBox1->Items()->Count(), int(formats.size()));
  for (size_t i = 0; i < formats.size(); ++i) {
    EXPECT_EQ(f->kxSkinOfficeComboBox1->Items()->GetItem(int(i))->Title(), formats[i].Title);
    EXPECT_EQ(f->kxSkinOfficeComboBox1->Items()->GetItem(int(i))->Caption(), formats[i].Caption);
  }
  EXPECT_EQ(f->kxSkinOfficeComboBox1->ItemIndex(), 0);
  EXPECT_EQ(f->All_Trant_Number, 1800);
  EXPECT_EQ(PresetTexts(f),
            (std::vector<std::string>{"保持原分辨率", "816 kbps", "128 kbps", "保持原视频模式", "25.00", "44100"}));
  for (TkxSkinComboBox* b : {f->kxSkinComboBox1, f->kxSkinComboBox2, f->kxSkinComboBox3, f->kxSkinComboBox4,
                             f->kxSkinComboBox9, f->kxSkinComboBox10})
    EXPECT_TRUE(b->Enabled()) << b->Name();
  f->Button5->Click();
  f->Button13->Click();
  EXPECT_EQ(PresetFields(f), (Fields{"", "25.00", 816000, "44100", 128000, ""}));
  EXPECT_EQ(f->Video_FileExt, ".wmv");
  EXPECT_EQ(f->Video_OutPutFileName, "") << "nothing was added";
}

// Picking a category refills the formats; an audio-only format disables the video presets.
TEST_F(Form1CatalogueTest, AnAudioCategoryGivesAudioOnlyPresets) {
  TForm1* f = MakeForm();
  f->kxSkinOfficeComboBox2->SetItemIndex(3);  // 常用音频
  EXPECT_EQ(f->kxSkinOfficeComboBox1->Items()->Count(), int(catalogue::FormatsOfCategory(1).size()));
  EXPECT_EQ(f->All_Trant_Number, 200);
  EXPECT_EQ(PresetTexts(f), (std::vector<std::string>{"该格式无视频", "无视频", "128 kbps", "无视频", "无视频", "44100"}));
  EXPECT_FALSE(f->kxSkinComboBox1->Enabled() || f->kxSkinComboBox2->Enabled() || f->kxSkinComboBox4->Enabled() ||
               f->kxSkinComboBox9->Enabled());
  EXPECT_TRUE(f->kxSkinComboBox3->Enabled() && f->kxSkinComboBox10->Enabled());
  f->Button5->Click();
  f->Button13->Click();
  EXPECT_TRUE(f->Video_DisableVideo);
  EXPECT_EQ(PresetFields(f), (Fields{"", "", -1000, "44100", 128000, ""}));
}

TEST_F(Form1CatalogueTest, TheOutputExtensionComesFromTheFormatTitle) {
  TForm1* f = MakeForm();
  f->kxSkinOfficeComboBox1->OnChange = nullptr;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"AVI - 音频视频交错格式(*.avi)", ".avi"}, {"RM - REAL视频格式(*.rm)", ".rm"},
      {"RA - REAL音频格式(*.ra)", ".ra"},       {"AIFF - 音频交换文件格式(*.aiff)", ".aiff"},
      {"FLAC-音频格式(*.flac)", ".flac"},       {"ALAC音频(*.alac) ", ".alac"},
      {"MPEG-1视频(*.mpeg)", ".mpeg"}};
  for (const auto& [title, ext] : cases) {
    f->kxSkinOfficeComboBox1->Items()->Clear();
    f->kxSkinOfficeComboBox1->Items()->Add()->SetTitle(title);
    f->kxSkinOfficeComboBox1->SetItemIndex(0);
    EXPECT_EQ(f->SelectedFormatExtension(), ext) << title;
  }
  f->kxSkinOfficeComboBox1->Items()->Clear();
  EXPECT_EQ(f->SelectedFormatExtension(), "");
}

// 1800 -> 1801 with a row selected: the four lists whose text changes write the row in fill
// order, then the format's values replace cells 10 to 23, cell 2 takes the format's extension
// and cell 8 the new format code.
TEST_F(Form1CatalogueTest, AFormatChangeRewritesTheSelectedRow) {
  TForm1* f = MakeForm();
  f->Video_OutPut_Folder_Edit->SetText(folder.string());
  TListItem* row = AddRow(f, "/media/in/clip.avi", "clip.wmv", "100", "999999999999");
  row->SetSelected(true);
  std::vector<std::string> order;
  for (TkxSkinComboBox* b : {f->kxSkinComboBox1, f->kxSkinComboBox2, f->kxSkinComboBox3, f->kxSkinComboBox4,
                             f->kxSkinComboBox9, f->kxSkinComboBox10}) {
    TNotifyEvent inner = b->OnChange;
    b->OnChange = [&order, inner, b](TObject* s) {
      order.push_back(b->Name());
      inner(s);
    };
  }
  f->Video_AddFileName = "/media/in/clip.avi";
  f->kxSkinOfficeComboBox1->SetItemIndex(1);
  EXPECT_EQ(order, (std::vector<std::string>{"kxSkinComboBox1", "kxSkinComboBox2", "kxSkinComboBox9", "kxSkinComboBox10"}));
  const catalogue::TPresetEntry* e = catalogue::MainPresets().Find(1801);
  ASSERT_NE(e, nullptr);
  using catalogue::TPresetRole;
  std::string code = "999999999999";
  for (TPresetRole r : {TPresetRole::Resolution, TPresetRole::VideoBitrate, TPresetRole::FrameRate, TPresetRole::SampleRate})
    code = catalogue::ReplacePresetCodePiece(code, r, (*e)[r].Default);
  EXPECT_EQ(row->SubItems()->Strings(9), code) << "audio bitrate and aspect keep their pieces";
  catalogue::TConversionFields params;
  params.Reset();
  catalogue::AssignFormatParams(*catalogue::FindFormatParams(1801), params);
  const auto cells = catalogue::JobRowConversionCells(params);
  for (int i = 0; i < 14; ++i) EXPECT_EQ(row->SubItems()->Strings(10 + i), cells[size_t(i)]) << 10 + i;
  EXPECT_EQ(row->SubItems()->Strings(2), "clip" + std::string(catalogue::OutputExtension(1801)));
  EXPECT_EQ(row->SubItems()->Strings(8), "101");
  // The conversion fields hold the shown presets.
  EXPECT_EQ(f->Video_FrameRate, "29.97");
}

// The output name of a format change is free: no other job's output, no existing file.
TEST_F(Form1CatalogueTest, AFormatChangeKeepsTheOutputNameFree) {
  TForm1* f = MakeForm();
  f->Video_OutPut_Folder_Edit->SetText(folder.string());
  const std::string ext(catalogue::OutputExtension(1801));
  AddRow(f, "/media/a/clip.avi", "clip" + ext, "101", "000000000000");
  Touch("clip_1" + ext);
  TListItem* row = AddRow(f, "/media/b/clip.avi", "clip.wmv", "100", "000000000000");
  row->SetSelected(true);
  f->kxSkinOfficeComboBox1->SetItemIndex(1);
  EXPECT_EQ(row->SubItems()->Strings(2), "clip_2" + ext);
  // Picking the same format again finds the name it has as its own.
  f->kxSkinOfficeComboBox1->SetItemIndex(1);
  EXPECT_EQ(row->SubItems()->Strings(2), "clip_2" + ext);
}

// Button5 names the output of the file being added, free of files and of every job's output.
TEST_F(Form1CatalogueTest, TheAddedFilesOutputNameIsFree) {
  TForm1* f = MakeForm();
  f->Video_OutPut_Folder_Edit->SetText(folder.string());
  Touch("clip.wmv");
  AddRow(f, "/media/a/clip.mov", "clip_1.wmv", "100", "000000000000");
  f->Video_AddFileName = "/media/b/clip.avi";
  f->Button5->Click();
  EXPECT_EQ(f->Video_OutPutFileName, (folder / "clip_2.wmv").string());
  EXPECT_EQ(f->lvFiles->Items()->Item(0)->SubItems()->Strings(10), "") << "no row selected, none written";
}

TEST_F(Form1CatalogueTest, APresetPickWritesTheSelectedRowOnly) {
  TForm1* f = MakeForm();
  const int wide = f->kxSkinComboBox4->Items()->IndexOf("宽屏视频16:9模式");
  ASSERT_GE(wide, 0);
  // Without a selected row nothing changes.
  TListItem* row = AddRow(f, "/media/in/clip.avi", "clip.wmv", "100", "000000000000");
  f->kxSkinComboBox4->SetItemIndex(wide);
  EXPECT_EQ(f->Video_FrameAspectRatio, "");
  EXPECT_EQ(row->SubItems()->Strings(9), "000000000000");
  f->kxSkinComboBox4->SetItemIndex(0);
  // With the row selected the field, cell 20 and characters 7-8 of the code follow the pick.
  row->SetSelected(true);
  f->kxSkinComboBox4->SetItemIndex(wide);
  EXPECT_EQ(f->Video_FrameAspectRatio, "16:9");
  EXPECT_EQ(row->SubItems()->Strings(20), "16:9");
  EXPECT_EQ(row->SubItems()->Strings(9).substr(6, 2), catalogue::PresetCodePiece(wide));
  const int kbps = f->kxSkinComboBox2->Items()->IndexOf("1200 kbps");
  ASSERT_GE(kbps, 0);
  f->kxSkinComboBox2->SetItemIndex(kbps);
  EXPECT_EQ(f->Video_VideoBitrate, 1200000);
  EXPECT_EQ(row->SubItems()->Strings(16), "1200000");
  EXPECT_EQ(row->SubItems()->Strings(9).substr(2, 2), catalogue::PresetCodePiece(kbps));
}

// ---- pictures ----------------------------------------------------------------------------------

// The main window with a few jobs in a light, a dark and the high-contrast skin, and empty at
// start-up, for looking at: <build>/forms/form1-kxSkinN.png, form1-start.png.
TEST_F(Form1Test, PicturesOfTheMainWindowInThreeSkins) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "forms";
  fs::create_directories(dir);
  win::headless::SetMonitors({win::backend::MonitorDesc{win::RECT{0, 0, 900, 640}, win::RECT{0, 0, 900, 640}, true}});
  for (int skin : {0, 1, 10}) {
    TForm1* f = MakeForm();
    f->kxSkinData1->SetSkinIndex(skin);
    const char* rows[][5] = {{"/home/user/视频/旅行 2026.avi", "00:12:05", "120.5MB", "旅行 2026.wmv", "35%"},
                             {"/home/user/视频/clip.mp4", "00:00:42", "3.2MB", "clip.wmv", ""},
                             {"/home/user/音乐/会议录音.mp3", "01:02:05", "57MB", "会议录音.wmv", "100%"}};
    for (auto& r : rows) {
      TListItem* row = AddRow(f, r[0], r[3], "100", "000000000000");
      row->SubItems()->Put(0, r[1]);
      row->SubItems()->Put(1, r[2]);
      row->SubItems()->Put(3, r[4]);
    }
    f->kxSkinPanel5->SetVisible(false);
    f->Video_OutPut_Folder_Edit->SetText("/home/user/Ombrel视频软件/输出");
    for (TCommandGroup g : {TCommandGroup::Remove, TCommandGroup::Rename, TCommandGroup::Clear, TCommandGroup::Start})
      f->SwitchGroup(g, true);
    f->lvFiles->Items()->Item(1)->SetSelected(true);
    f->SetBounds(20, 20, f->Width(), f->Height());
    f->Show();
    Pump();
    win::RedrawWindow(f->Handle(), nullptr, nullptr, win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_UPDATENOW | win::RDW_ALLCHILDREN);
    Pump();
    EXPECT_EQ(win::headless::PixelAt(f->Panel6->Handle(), 100, 62) & 0xFFFFFF, 0u) << "the black screen lies on top";
    EXPECT_EQ(f->ClientWidth(), 804);
    EXPECT_EQ(f->ClientHeight(), 542);
    EXPECT_TRUE(win::headless::SaveScreenPng((dir / ("form1-kxSkin" + std::to_string(skin) + ".png")).string()));
    delete f;
    Pump();
  }
  // At start-up: no job, the empty-list picture over the list.
  TForm1* f = MakeForm();
  f->kxSkinData1->SetSkinIndex(0);
  f->SetBounds(20, 20, f->Width(), f->Height());
  f->Show();
  Pump();
  // The empty-list picture and the preview's screen lie on top of their siblings.
  auto onTop = [](TWinControl* c) {
    for (win::HWND h = win::GetWindow(c->Handle(), win::GW_HWNDPREV); h; h = win::GetWindow(h, win::GW_HWNDPREV))
      if (win::IsWindowVisible(h)) return false;
    return true;
  };
  EXPECT_TRUE(onTop(f->kxSkinPanel5));
  EXPECT_TRUE(onTop(f->Panel6));
  EXPECT_TRUE(win::headless::SaveScreenPng((dir / "form1-start.png").string()));
}

}  // namespace
