// The settings form read from its description on the headless backend, beside a stand-in main
// window that holds the skin data its description names: the start-up chain (counted through
// the handler table), the layout, category and format changes, OK with the preset rules and
// their errors, Cancel, the reset, and pictures of the form in two skins
// (build folder, app/form6-kxSkinN.png).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/forms/Unit6.h"
#include "base/Files.h"
#include "base/Stream.h"
#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinComboBox.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinOfficeCombo.h"
#include "lib/controls/kxSkinPageControl.h"
#include "lib/controls/kxSkinPanels.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinStore.h"
#include "tests/classlib/ControlTestFixture.h"

namespace {

using namespace win;
using catalogue::TConversionFields;

// The settings form with every handler counted: the counting wrappers come first in the
// table, so the description binds them.
class TCountedForm6 : public TForm6 {
public:
  TCountedForm6(TComponent* AOwner, TForm6Link Link) : TForm6(AOwner, std::move(Link), TReadLater{}) {
    ReadDescription();
  }
  std::map<std::string, int> Calls;

  void DeclareBindings(THandlerTable& T) override {
    Count(T, "Button6Click", &TForm6::Button6Click);
    Count(T, "Button2Click", &TForm6::Button2Click);
    Count(T, "FormCreate", &TForm6::FormCreate);
    Count(T, "kxSkinOfficeComboBox2Change", &TForm6::kxSkinOfficeComboBox2Change);
    Count(T, "kxSkinButton2Click", &TForm6::kxSkinButton2Click);
    Count(T, "Button13Click", &TForm6::Button13Click);
    Count(T, "Button18Click", &TForm6::Button18Click);
    Count(T, "kxSkinOfficeComboBox1Click", &TForm6::kxSkinOfficeComboBox1Click);
    Count(T, "kxSkinButton3Click", &TForm6::kxSkinButton3Click);
    Count(T, "Button5Click", &TForm6::Button5Click);
    TForm6::DeclareBindings(T);
  }

private:
  void Count(THandlerTable& T, const std::string& Name, void (TForm6::*Handler)(TObject*)) {
    T.Add<TNotifyEvent>(Name, [this, Name, Handler](TObject* Sender) {
      ++Calls[Name];
      (this->*Handler)(Sender);
    });
  }
};

// Distinct values in every field, so that a write shows.
TConversionFields Marked() {
  TConversionFields f;
  f.Video_OutPutFileName = "out.x";
  f.Video_AddFileName = "/in/clip.avi";
  f.Video_FileExt = ".x";
  f.Video_AudioChannels = "6";
  f.Video_AudioSampleRate = "1";
  f.Video_FrameSize = "1*1";
  f.Video_FrameRate = "1";
  f.Video_NormType = "N";
  f.Video_VideoFilters = "vf";
  f.Video_AudioVolume = "100";
  f.Video_FrameAspectRatio = "1:1";
  f.Video_VideoCodec = "vc";
  f.Video_AudioCodec = "ac";
  f.Video_CopyTimestamp = "ct";
  f.Video_FileFormat = "ff";
  f.Video_TargetType = "tt";
  f.Video_VideoTag = "TAG";
  f.Video_VideoBitrate = 7;
  f.Video_AudioBitrate = 8;
  f.Video_TimeStart = 9;
  f.Video_TimeLength = 10;
  f.Video_DisableVideo = true;
  return f;
}

bool operator==(const TConversionFields& a, const TConversionFields& b) {
  return a.Video_OutPutFileName == b.Video_OutPutFileName && a.Video_AddFileName == b.Video_AddFileName &&
         a.Video_FileExt == b.Video_FileExt && a.Video_AudioChannels == b.Video_AudioChannels &&
         a.Video_AudioSampleRate == b.Video_AudioSampleRate && a.Video_FrameSize == b.Video_FrameSize &&
         a.Video_FrameRate == b.Video_FrameRate && a.Video_NormType == b.Video_NormType &&
         a.Video_VideoFilters == b.Video_VideoFilters && a.Video_AudioVolume == b.Video_AudioVolume &&
         a.Video_FrameAspectRatio == b.Video_FrameAspectRatio && a.Video_VideoCodec == b.Video_VideoCodec &&
         a.Video_AudioCodec == b.Video_AudioCodec && a.Video_CopyTimestamp == b.Video_CopyTimestamp &&
         a.Video_FileFormat == b.Video_FileFormat && a.Video_TargetType == b.Video_TargetType &&
         a.Video_VideoTag == b.Video_VideoTag && a.Video_VideoBitrate == b.Video_VideoBitrate &&
         a.Video_AudioBitrate == b.Video_AudioBitrate && a.Video_TimeStart == b.Video_TimeStart &&
         a.Video_TimeLength == b.Video_TimeLength && a.Video_DisableVideo == b.Video_DisableVideo;
}

std::vector<std::string> ItemsOf(TkxSkinComboBox* C) {
  std::vector<std::string> v;
  for (int i = 0; i < C->Items()->Count(); ++i) v.push_back(C->Items()->Strings(i));
  return v;
}

class Form6Test : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    headless::SetMonitors({backend::MonitorDesc{RECT{0, 0, 1100, 620}, RECT{0, 0, 1100, 620}, true}});
    // The main window as far as the settings form's description needs it.
    RegisterForm6Classes();
    mainWindow = new TForm(owner.get());
    ReadFormDescription(mainWindow, "object Form1: TForm\n  object kxSkinData1: TkxSkinData\n  end\nend\n", "Form1.dfm");
    skinData = dynamic_cast<TkxSkinData*>(mainWindow->FindComponent("kxSkinData1"));
    ASSERT_NE(skinData, nullptr);
    fields = Marked();
    folder = std::filesystem::temp_directory_path() / ("ombrel_form6_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    oldException = Application->OnException;
    Application->OnException = [this](TObject*, const std::exception& e) { errors.push_back(e.what()); };
  }
  void TearDown() override {
    Application->OnException = oldException;
    std::filesystem::remove_all(folder);
    ControlTest::TearDown();
  }

  void UseSkin(int Index) {
    TkxCompressedStoredSkin stored(nullptr);
    stored.LoadFromResource("kxSkin" + std::to_string(Index));
    skinData->LoadCompressedStoredSkin(&stored);
  }

  TCountedForm6* NewForm6() {
    TForm6Link link;
    link.Fields = &fields;
    link.All_Trant_Number = &allTrantNumber;
    link.OutputFolder = [this] {
      ++folderReads;
      return folder.string();
    };
    link.Overwrite = [this] { return overwrite; };
    return new TCountedForm6(owner.get(), link);
  }

  // Selects Text in a preset list, adding it when the list lacks it (as a user's pick would).
  static void Pick(TkxSkinComboBox* C, const std::string& Text) {
    int i = C->Items()->IndexOf(Text);
    if (i < 0) i = C->Items()->Add(Text);
    C->SetItemIndex(i);
  }

  TForm* mainWindow = nullptr;
  TkxSkinData* skinData = nullptr;
  TConversionFields fields;
  int32_t allTrantNumber = -7;
  std::filesystem::path folder;
  int folderReads = 0;
  bool overwrite = false;
  std::vector<std::string> errors;
  TExceptionEvent oldException;
};

TEST_F(Form6Test, CreationRunsTheStartUpChainOnceAndWritesOnlyTheFormatKeyAndTheVideoMark) {
  const TConversionFields before = fields;
  TCountedForm6* f = NewForm6();

  const std::map<std::string, int> once = {{"FormCreate", 1},
                                           {"Button2Click", 1},
                                           {"kxSkinOfficeComboBox1Click", 1},
                                           {"Button18Click", 1}};
  EXPECT_EQ(f->Calls, once);  // no reset, no parameters, no presets applied, no category event
  EXPECT_EQ(allTrantNumber, 100);
  TConversionFields expected = before;
  expected.Video_DisableVideo = false;
  EXPECT_TRUE(fields == expected);
  EXPECT_EQ(folderReads, 0);
  EXPECT_FALSE(f->Visible());
  EXPECT_EQ(f->Caption(), "设置选项");

  // The format list: category 0's 15 formats, the first selected, the placeholder gone.
  EXPECT_EQ(f->kxSkinOfficeComboBox2->ItemIndex(), 0);
  TkxSkinOfficeItems* items = f->kxSkinOfficeComboBox1->Items();
  ASSERT_EQ(items->Count(), 15);
  EXPECT_EQ(items->GetItem(0)->Title(), "AVI - 音频视频交错格式(*.avi)");
  EXPECT_EQ(items->GetItem(14)->Title(), "RM - REAL视频格式(*.rm)");
  EXPECT_EQ(items->GetItem(0)->Caption(), "AVI最常用的视频格式,语音和影像同步组合在一起的文件格式");
  for (int i = 0; i < items->Count(); ++i) {
    EXPECT_NE(items->GetItem(i)->Title(), "dfdfs");
    EXPECT_EQ(items->GetItem(i)->ImageIndex(), i);
  }
  EXPECT_EQ(f->kxSkinOfficeComboBox1->ItemIndex(), 0);
  EXPECT_EQ(f->FormatKey(), 100);

  // The preset lists of key 100, all enabled.
  struct {
    TkxSkinComboBox* List;
    const char* Text;
    int Count;
  } presets[] = {{f->kxSkinComboBox1, "保持原分辨率", 28}, {f->kxSkinComboBox2, "816 kbps", 8},
                 {f->kxSkinComboBox9, "25.00", 12},        {f->kxSkinComboBox3, "128 kbps", 17},
                 {f->kxSkinComboBox10, "44100", 6},        {f->kxSkinComboBox4, "保持原视频模式", 5}};
  for (auto& p : presets) {
    SCOPED_TRACE(p.List->Name());
    EXPECT_EQ(p.List->Text(), p.Text);
    EXPECT_EQ(p.List->Items()->Count(), p.Count);
    EXPECT_TRUE(p.List->Enabled());
  }
}

TEST_F(Form6Test, TheMainWindowsSkinDataIsResolvedAcrossFormsForEverySkinnedPartButTheHiddenButton) {
  UseSkin(1);
  TForm6* f = NewForm6();
  EXPECT_EQ(f->kxVelara1->SkinData(), skinData);
  std::vector<TkxSkinControl*> windowed = {f->kxSkinPanel2,    f->kxSkinOfficeComboBox1, f->kxSkinOfficeComboBox2,
                                           f->kxSkinComboBox1, f->kxSkinComboBox2,       f->kxSkinComboBox3,
                                           f->kxSkinComboBox4, f->kxSkinComboBox9,       f->kxSkinComboBox10,
                                           f->kxSkinButton2,   f->kxSkinButton3};
  for (TkxSkinControl* c : windowed) EXPECT_EQ(c->SkinData(), skinData) << c->Name();
  for (TkxSkinTextLabel* l : {f->kxSkinTextLabel2, f->kxSkinTextLabel3, f->kxSkinTextLabel4, f->kxSkinTextLabel5,
                              f->kxSkinTextLabel6, f->kxSkinTextLabel7, f->kxSkinTextLabel9})
    EXPECT_EQ(l->SkinData(), skinData) << l->Name();
  EXPECT_EQ(f->kxSkinPageControl1->SkinData(), skinData);
  EXPECT_EQ(f->kxSkinButton1->SkinData(), nullptr);
  EXPECT_FALSE(f->kxSkinButton1->Visible());
}

TEST_F(Form6Test, EveryControlSitsWhereTheDesignPutsIt) {
  TForm6* f = NewForm6();
  EXPECT_EQ(f->ClientWidth(), 958);
  EXPECT_EQ(f->ClientHeight(), 474);
  EXPECT_EQ(f->BorderStyle(), bsSingle);
  EXPECT_EQ(f->Position(), poMainFormCenter);
  EXPECT_EQ(f->Font()->Name(), "Tahoma");
  EXPECT_EQ(f->Font()->Height(), -11);

  struct Place {
    TControl* C;
    TWinControl* Parent;
    int L, T, W, H;
    int TabOrder;  // -1: not checked
  };
  TWinControl* sheet = f->kxSkinTabSheet1;
  const Place places[] = {
      {f->kxSkinPanel2, f, 39, 36, 625, 109, 0},
      {f->Panel1, f, 690, 161, 305, 305, 1},
      {f->kxSkinPageControl1, f, 39, 171, 625, 222, 2},
      {f->kxSkinButton3, f, 594, 416, 69, 25, 3},
      {f->kxSkinButton2, f, 480, 416, 69, 25, 4},
      {f->kxSkinOfficeComboBox1, f->kxSkinPanel2, 215, 33, 400, 51, 0},
      {f->kxSkinOfficeComboBox2, f->kxSkinPanel2, 83, 33, 126, 51, 1},
      {f->kxSkinButton1, f->kxSkinPanel2, 621, 139, 55, 51, 2},
      {f->kxSkinComboBox1, sheet, 16, 43, 289, 20, 0},
      {f->kxSkinComboBox2, sheet, 342, 43, 251, 20, 1},
      {f->kxSkinComboBox9, sheet, 14, 88, 291, 20, 2},
      {f->kxSkinComboBox4, sheet, 342, 88, 251, 20, 5},
      {f->kxSkinComboBox3, sheet, 16, 133, 289, 20, 3},
      {f->kxSkinComboBox10, sheet, 342, 133, 251, 20, 4},
      {f->Button6, f->Panel1, 32, 47, 75, 25, -1},
      {f->Button5, f->Panel1, 113, 47, 126, 25, -1},
      {f->Button7, f->Panel1, 230, 47, 75, 25, -1},
      {f->Button2, f->Panel1, 32, 78, 104, 25, -1},
      {f->Button13, f->Panel1, 32, 109, 113, 25, -1},
      {f->Button11, f->Panel1, 151, 78, 95, 25, -1},
      {f->Button18, f->Panel1, 42, 163, 143, 25, -1},
      {f->Image1, f->Panel1, 46, 158, 171, 103, -1},
  };
  for (const Place& p : places) {
    SCOPED_TRACE(p.C->Name());
    EXPECT_EQ(p.C->Parent(), p.Parent);
    EXPECT_EQ(p.C->Left(), p.L);
    EXPECT_EQ(p.C->Top(), p.T);
    EXPECT_EQ(p.C->Width(), p.W);
    EXPECT_EQ(p.C->Height(), p.H);
    if (p.TabOrder >= 0) EXPECT_EQ(static_cast<TWinControl*>(p.C)->TabOrder(), p.TabOrder);
  }
  struct Label {
    TkxSkinTextLabel* L;
    const char* Text;
    int X, Y;
  } labels[] = {{f->kxSkinTextLabel5, "输出格式：", 17, 48},  {f->kxSkinTextLabel3, "视频分辨率：", 19, 24},
                {f->kxSkinTextLabel2, "视频比特率：", 342, 24}, {f->kxSkinTextLabel6, "视频帧率：", 16, 69},
                {f->kxSkinTextLabel9, "视频缩放：", 342, 69},  {f->kxSkinTextLabel4, "音频比特率：", 16, 114},
                {f->kxSkinTextLabel7, "音频采样率：", 342, 114}};
  for (const Label& l : labels) {
    SCOPED_TRACE(l.Text);
    EXPECT_EQ(l.L->Lines()->Text(), std::string(l.Text) + "\r\n");
    EXPECT_EQ(l.L->Left(), l.X);
    EXPECT_EQ(l.L->Top(), l.Y);
    EXPECT_EQ(l.L->SkinDataName(), "stdlabel");
  }
  // Captions of the buttons, which nothing shows but which name the operations.
  EXPECT_EQ(f->Button18->Caption(), "根据combox添加预设选项");
  EXPECT_EQ(f->kxSkinButton2->Caption(), "确定");
  EXPECT_EQ(f->kxSkinButton3->Caption(), "取消");
  EXPECT_EQ(f->Panel1->Caption(), "Panel1");

  // The page control's four sheets, the first active.
  ASSERT_EQ(f->kxSkinPageControl1->PageCount(), 4);
  const char* sheets[] = {"标准参数设置", "剪辑设置", "滤镜设置", "文字水印"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(f->kxSkinPageControl1->Pages(i)->Caption(), sheets[i]);
  EXPECT_EQ(f->kxSkinPageControl1->Pages(2), f->kxSkinTabSheet4);
  EXPECT_EQ(f->kxSkinPageControl1->ActivePage(), f->kxSkinTabSheet1);

  // The category list: 12 items with their pictures; the pictures of the form.
  const char* categories[] = {"常用视频", "常用音频", "HD视频",  "iPod视频", "iPhone视频", "PSP视频",
                              "3GP视频",  "APPLE视频", "XboX视频", "PMP视频",  "MP4视频",    "Flash视频"};
  TkxSkinOfficeItems* cats = f->kxSkinOfficeComboBox2->Items();
  ASSERT_EQ(cats->Count(), 12);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(cats->GetItem(i)->Caption(), categories[i]);
    EXPECT_EQ(cats->GetItem(i)->ImageIndex(), i);
    EXPECT_FALSE(cats->GetItem(i)->Header());
  }
  EXPECT_EQ(f->kxSkinOfficeComboBox2->Images(), f->ImageList1);
  EXPECT_EQ(f->kxSkinOfficeComboBox2->ListBoxWidth(), 119);
  EXPECT_EQ(f->kxSkinOfficeComboBox2->ListBoxItemHeight(), 50);
  EXPECT_EQ(f->kxSkinOfficeComboBox2->ListBoxSkinDataName(), "resizetoolpanel");
  EXPECT_EQ(f->kxSkinOfficeComboBox1->Images(), nullptr);
  EXPECT_EQ(f->kxSkinOfficeComboBox1->ListBoxItemHeight(), 60);
  EXPECT_EQ(f->kxSkinOfficeComboBox1->ListBoxHeaderHeight(), 20);
  EXPECT_EQ(f->kxSkinOfficeComboBox1->ListBoxSkinDataName(), "listbox");
  EXPECT_EQ(f->ImageList1->Count(), 12);
  EXPECT_EQ(f->ImageList1->Width(), 32);
  EXPECT_EQ(f->ImageList1->Height(), 32);
  EXPECT_EQ(f->ImageList2->Count(), 0);
  EXPECT_EQ(f->Image1->Picture()->Width(), 128);
  EXPECT_EQ(f->Image1->Picture()->Height(), 128);
  EXPECT_FALSE(f->Image1->Stretch());
}

TEST_F(Form6Test, ACategoryRefillsFormatsAndPresetsAFormatOnlyThePresets) {
  TCountedForm6* f = NewForm6();
  const TConversionFields before = fields;
  f->Calls.clear();

  struct Case {
    int Category;
    int Formats;  // items in the format list
    int Key;
    bool AudioOnly;
  } cases[] = {{1, 13, 200, true}, {0, 15, 100, false}, {11, 4, 1200, false}, {11, 4, 1200, false},
               // outside the list: no formats, and a key without presets
               {-1, 0, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Category);
    fields.Video_DisableVideo = true;
    f->Calls.clear();
    std::vector<std::string> textsBefore;
    for (TkxSkinComboBox* v : {f->kxSkinComboBox1, f->kxSkinComboBox2, f->kxSkinComboBox3, f->kxSkinComboBox4,
                               f->kxSkinComboBox9, f->kxSkinComboBox10})
      textsBefore.push_back(v->Text());
    f->kxSkinOfficeComboBox2->SetItemIndex(c.Category);
    const std::map<std::string, int> chain = {{"kxSkinOfficeComboBox2Change", 1},
                                              {"Button2Click", 1},
                                              {"kxSkinOfficeComboBox1Click", 1},
                                              {"Button18Click", 1}};
    EXPECT_EQ(f->Calls, chain);
    EXPECT_EQ(f->kxSkinOfficeComboBox1->Items()->Count(), c.Formats);
    EXPECT_EQ(f->kxSkinOfficeComboBox1->ItemIndex(), 0);
    EXPECT_EQ(allTrantNumber, c.Key);
    EXPECT_FALSE(fields.Video_DisableVideo);
    TConversionFields expected = before;
    expected.Video_DisableVideo = false;
    EXPECT_TRUE(fields == expected);
    for (TkxSkinComboBox* v : {f->kxSkinComboBox1, f->kxSkinComboBox2, f->kxSkinComboBox4, f->kxSkinComboBox9})
      EXPECT_EQ(v->Enabled(), !c.AudioOnly) << v->Name();
    EXPECT_TRUE(f->kxSkinComboBox3->Enabled());
    EXPECT_TRUE(f->kxSkinComboBox10->Enabled());
    if (c.AudioOnly) {
      EXPECT_EQ(ItemsOf(f->kxSkinComboBox1), std::vector<std::string>{"该格式无视频"});
      for (TkxSkinComboBox* v : {f->kxSkinComboBox2, f->kxSkinComboBox4, f->kxSkinComboBox9})
        EXPECT_EQ(ItemsOf(v), std::vector<std::string>{"无视频"});
      EXPECT_EQ(f->kxSkinComboBox3->Items()->Count(), 17);
      EXPECT_EQ(f->kxSkinComboBox3->Text(), "128 kbps");
      EXPECT_EQ(f->kxSkinComboBox10->Text(), "44100");
    }
    if (c.Key == 0) {
      // No row: six empty lists whose texts stay what the last selection copied.
      std::vector<std::string> texts;
      for (TkxSkinComboBox* v : {f->kxSkinComboBox1, f->kxSkinComboBox2, f->kxSkinComboBox3, f->kxSkinComboBox4,
                                 f->kxSkinComboBox9, f->kxSkinComboBox10}) {
        EXPECT_EQ(v->Items()->Count(), 0) << v->Name();
        EXPECT_EQ(v->ItemIndex(), -1) << v->Name();
        texts.push_back(v->Text());
      }
      EXPECT_EQ(texts, textsBefore);
      EXPECT_NE(texts[0], "");
    }
  }

  // Choosing a format refills only the preset lists.
  f->kxSkinOfficeComboBox2->SetItemIndex(0);
  f->Calls.clear();
  f->kxSkinOfficeComboBox1->SetItemIndex(9);
  const std::map<std::string, int> formatOnly = {{"kxSkinOfficeComboBox1Click", 1}, {"Button18Click", 1}};
  EXPECT_EQ(f->Calls, formatOnly);
  EXPECT_EQ(allTrantNumber, 109);
  EXPECT_EQ(f->kxSkinComboBox3->Text(), "12 kbps");
  // The same format again gives the same lists, not longer ones.
  const std::vector<std::string> first = ItemsOf(f->kxSkinComboBox1);
  f->kxSkinOfficeComboBox1->SetItemIndex(9);
  EXPECT_EQ(ItemsOf(f->kxSkinComboBox1), first);
}

TEST_F(Form6Test, OkWritesTheFormatsParametersThenThePresetsAndCloses) {
  TCountedForm6* f = NewForm6();
  f->Show();
  Pump();
  fields.Video_AddFileName = "/videos/clip.mkv";
  Pick(f->kxSkinComboBox1, "640*480");
  Pick(f->kxSkinComboBox2, "1200 kbps");
  Pick(f->kxSkinComboBox3, "4.75 kbps");
  Pick(f->kxSkinComboBox4, "宽屏视频16:9模式");
  f->Calls.clear();
  ClickAt(f->kxSkinButton2, 30, 12);

  EXPECT_TRUE(errors.empty()) << errors.front();
  const std::map<std::string, int> ok = {{"kxSkinButton2Click", 1}, {"Button5Click", 1}, {"Button13Click", 1}};
  EXPECT_EQ(f->Calls, ok);
  EXPECT_FALSE(f->Visible());
  EXPECT_EQ(allTrantNumber, 100);
  // From the parameters of key 100 ...
  EXPECT_EQ(fields.Video_OutPutFileName, (folder / "clip.avi").string());
  EXPECT_EQ(fields.Video_FileExt, ".avi");
  EXPECT_EQ(fields.Video_VideoCodec, "mpeg4");
  EXPECT_EQ(fields.Video_VideoTag, "XVID");
  EXPECT_EQ(fields.Video_AudioCodec, "libmp3lame");
  EXPECT_EQ(fields.Video_AudioChannels, "2");
  EXPECT_EQ(fields.Video_AudioVolume, "256");
  EXPECT_EQ(fields.Video_TimeStart, 9);  // nothing of OK touches the times
  EXPECT_FALSE(fields.Video_DisableVideo);
  // ... and the presets over them.
  EXPECT_EQ(fields.Video_FrameSize, "640*480");
  EXPECT_EQ(fields.Video_FrameRate, "25.00");
  EXPECT_EQ(fields.Video_VideoBitrate, 1200000);
  EXPECT_EQ(fields.Video_AudioSampleRate, "44100");
  EXPECT_EQ(fields.Video_AudioBitrate, 4750);
  EXPECT_EQ(fields.Video_FrameAspectRatio, "16:9");
}

TEST_F(Form6Test, PresetTextsBecomeFieldValues) {
  TForm6* f = NewForm6();
  struct Case {
    const char* Resolution;
    const char* VideoBitrate;
    const char* FrameRate;
    const char* AudioBitrate;
    const char* SampleRate;
    const char* Aspect;
    // expected
    const char* FrameSize;
    int32_t VBit;
    const char* Rate;
    int32_t ABit;
    const char* Samples;
    const char* Ratio;  // the field starts as "1:1"
  } cases[] = {
      {"640*480", "816 kbps", "25.00", "128 kbps", "44100", "宽屏视频16:9模式", "640*480", 816000, "25.00", 128000,
       "44100", "16:9"},
      {"保持原分辨率", "无视频", "保持原帧速率", "4.75 kbps", "自动音频采样率", "无视频", "", -1000, "", 4750, "AUTO", ""},
      {"该格式无视频", "8 kbps", "无视频", "7.4 kbps", "8000", "普通视频4:3模式", "", 8000, "", 7400, "8000", "4:3"},
      {"1920*1080", "4000 kbps", "29.97", "自动音频比特率", "48000", "宽屏视频37:20模式", "1920*1080", 4000000, "29.97",
       -1000, "48000", "37:20"},
      {"352*288", "128 kbps", "12", "12.2 kbps", "22050", "宽屏视频47:20模式", "352*288", 128000, "12", 12200, "22050",
       "47:20"},
      {"320*240", "288 kbps", "15.00", "5.15 kbps", "11025", "保持原视频模式", "320*240", 288000, "15.00", 5150, "11025",
       ""},
      // a text that is none of the aspect modes leaves the field alone
      {"320*240", "288 kbps", "15.00", "64 kbps", "11025", "其他模式", "320*240", 288000, "15.00", 64000, "11025",
       "1:1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.AudioBitrate) + " / " + c.Aspect);
    fields.Video_FrameAspectRatio = "1:1";
    Pick(f->kxSkinComboBox1, c.Resolution);
    Pick(f->kxSkinComboBox2, c.VideoBitrate);
    Pick(f->kxSkinComboBox9, c.FrameRate);
    Pick(f->kxSkinComboBox3, c.AudioBitrate);
    Pick(f->kxSkinComboBox10, c.SampleRate);
    Pick(f->kxSkinComboBox4, c.Aspect);
    f->Button13->Click();
    EXPECT_EQ(fields.Video_FrameSize, c.FrameSize);
    EXPECT_EQ(fields.Video_VideoBitrate, c.VBit);
    EXPECT_EQ(fields.Video_FrameRate, c.Rate);
    EXPECT_EQ(fields.Video_AudioBitrate, c.ABit);
    EXPECT_EQ(fields.Video_AudioSampleRate, c.Samples);
    EXPECT_EQ(fields.Video_FrameAspectRatio, c.Ratio);
  }
}

TEST_F(Form6Test, AFailingPresetLeavesTheFormOpenWithTheEarlierFieldsWritten) {
  TCountedForm6* f = NewForm6();
  f->Show();
  Pump();
  struct Case {
    const char* VideoBitrate;
    const char* AudioBitrate;
    const char* Error;
    bool VideoWritten;  // the video bitrate step came before the failure
  } cases[] = {
      // a decimal video bitrate has no decimal branch
      {"1.5 kbps", "128 kbps", "'1.5' is not a valid integer value", false},
      {"abc kbps", "128 kbps", "'abc' is not a valid integer value", false},
      {"816", "128 kbps", "'' is not a valid integer value", false},
      // 7123.4 is no whole number
      {"1200 kbps", "7.1234 kbps", "'7123.4' is not a valid integer value", true},
      {"1200 kbps", "x.5 kbps", "'x.5' is not a valid floating point value", true},
      {"1200 kbps", "128", "'' is not a valid integer value", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.VideoBitrate) + " / " + c.AudioBitrate);
    f->kxSkinOfficeComboBox2->SetItemIndex(0);  // fresh presets of key 100
    Pick(f->kxSkinComboBox1, "640*480");
    Pick(f->kxSkinComboBox9, "30.00");
    Pick(f->kxSkinComboBox2, c.VideoBitrate);
    Pick(f->kxSkinComboBox10, "22050");
    Pick(f->kxSkinComboBox3, c.AudioBitrate);
    Pick(f->kxSkinComboBox4, "宽屏视频16:9模式");
    fields.Video_AddFileName = "/videos/clip.mkv";
    errors.clear();
    f->Calls.clear();
    ClickAt(f->kxSkinButton2, 30, 12);

    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], c.Error);
    EXPECT_TRUE(f->Visible());
    const std::map<std::string, int> ran = {{"kxSkinButton2Click", 1}, {"Button5Click", 1}, {"Button13Click", 1}};
    EXPECT_EQ(f->Calls, ran);
    // The parameters are written (key 100: 816000, "44100", 128000, no aspect), then the
    // preset steps before the failing one: size, rate, and with a good video bitrate also it
    // and the sample rate.
    EXPECT_EQ(fields.Video_VideoCodec, "mpeg4");
    EXPECT_EQ(fields.Video_OutPutFileName, (folder / "clip.avi").string());
    EXPECT_EQ(fields.Video_FrameSize, "640*480");
    EXPECT_EQ(fields.Video_FrameRate, "30.00");
    EXPECT_EQ(fields.Video_VideoBitrate, c.VideoWritten ? 1200000 : 816000);
    EXPECT_EQ(fields.Video_AudioSampleRate, c.VideoWritten ? "22050" : "44100");
    EXPECT_EQ(fields.Video_AudioBitrate, 128000);
    EXPECT_EQ(fields.Video_FrameAspectRatio, "");
  }
}

TEST_F(Form6Test, CancelAndTheButtonsWithoutHandlersWriteNothing) {
  TCountedForm6* f = NewForm6();
  f->Show();
  Pump();
  const TConversionFields before = fields;
  const int32_t key = allTrantNumber;
  f->Calls.clear();
  f->Button7->Click();
  f->Button11->Click();
  f->kxSkinButton1->Click();
  EXPECT_TRUE(f->Calls.empty());
  EXPECT_TRUE(f->Visible());
  ClickAt(f->kxSkinButton3, 30, 12);
  EXPECT_EQ(f->Calls, (std::map<std::string, int>{{"kxSkinButton3Click", 1}}));
  EXPECT_FALSE(f->Visible());
  EXPECT_TRUE(fields == before);
  EXPECT_EQ(allTrantNumber, key);
  EXPECT_TRUE(errors.empty());
}

TEST_F(Form6Test, TheResetClearsTheConversionFieldsButKeepsTheInputAndTheKey) {
  bool mark = true;
  TForm6Link link;
  link.Fields = &fields;
  link.All_Trant_Number = &allTrantNumber;
  link.Video_DisableVideo = &mark;  // a main window that keeps the mark apart from the fields
  auto* f = new TForm6(owner.get(), link);
  EXPECT_FALSE(mark);  // the start-up chain writes the separate mark
  mark = true;
  f->Button6->Click();
  TConversionFields expected;
  expected.Video_AddFileName = "/in/clip.avi";
  expected.Video_DisableVideo = fields.Video_DisableVideo;  // the mark lives apart here
  EXPECT_TRUE(fields == expected);
  EXPECT_EQ(fields.Video_AudioVolume, "256");
  EXPECT_EQ(fields.Video_VideoBitrate, -1);
  EXPECT_EQ(fields.Video_AudioBitrate, -1);
  EXPECT_EQ(fields.Video_TimeStart, -1);
  EXPECT_EQ(fields.Video_TimeLength, -1);
  EXPECT_FALSE(mark);
  EXPECT_EQ(allTrantNumber, 100);
}

TEST_F(Form6Test, AFormWithoutTheMainWindowsFieldsIsRefused) {
  TForm6Link link;  // no fields
  EXPECT_THROW(new TForm6(owner.get(), link), EInvalidOperation);
}

// Pictures of the form in two skins, for a person to look at: the frame, the panels, the
// category and format lists, the tab sheet with its six presets, the command panel cut off at
// the right edge with its picture, OK and Cancel.
TEST_F(Form6Test, DrawsInTwoSkins) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "app";
  fs::create_directories(dir);
  for (int skin : {0, 1}) {
    SCOPED_TRACE(skin);
    UseSkin(skin);
    TForm6* f = NewForm6();
    f->Show();
    Pump();
    RedrawWindow(f->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    int w = 0, h = 0;
    std::vector<uint32_t> px = headless::ReadPixels(f->Handle(), &w, &h);
    EXPECT_GE(w, 958);
    EXPECT_GE(h, 474);
    // The picture on the command panel is drawn: its middle is not the panel's face.
    const TPoint mid = f->Image1->ClientToScreen(TPoint{64, 64});
    const TRect wr = f->BoundsRect();
    const uint32_t at = px[size_t(mid.y - wr.top) * size_t(w) + size_t(mid.x - wr.left)] & 0xFFFFFF;
    EXPECT_NE(at, ctltest::Px(clBtnFace));
    EXPECT_TRUE(headless::SaveScreenPng((dir / ("form6-kxSkin" + std::to_string(skin) + ".png")).string()));
    delete f;
    Pump();
  }
}

}  // namespace
