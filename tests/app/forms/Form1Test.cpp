// The main window read from its description, headless: its components and bindings, the
// start-up states of the command groups, the screen list, a disabled command button clicked by
// another operation, and closing.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/forms/Unit1.h"
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
    if (g.Button) EXPECT_EQ(g.Button->Enabled(), on);
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
            (std::vector<std::string>{"Panel6", "kxSkinPanel1", "kxSkinPanel2", "kxSkinPanel4", "kxSkinPanel3", "Panel6",
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

}  // namespace
