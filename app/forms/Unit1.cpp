// The main window: reading its description, start-up, closing, and the eight command groups.
#include "app/forms/Unit1.h"

#include <array>

#include "Src/MediaStreaming.h"
#include "base/Resources.h"
#include "lib/controls/kxSkinRegister.h"

TForm1* Form1 = nullptr;

namespace {

// The description is embedded with every file below resources/.
std::string FormText(const std::string& Name) {
  const TResource* r = FindResourceFile("forms/" + Name);
  if (!r) throw EFormError(Name, 0, "", "the form description is not built into the program");
  return std::string(reinterpret_cast<const char*>(r->Data), r->Size);
}

// Loads a picture the build drew (Form1Image2, ImageList1, ...) into Bitmap.
void LoadDrawnBitmap(TBitmap* Bitmap, const std::string& Name) {
  Bitmap->LoadFromResourceName(0, Name);
}

}  // namespace

void RegisterAppFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterSkinControlFormClasses();
  RegisterSkinMainMenuFormClasses();
  RegisterSkinMenuFormClasses();
  RegisterSkinHintFormClasses();
  RegisterVelaraFormClasses();
  RegisterMediaFormClasses();
  RegisterSkinOpenDialogFormClasses();
  // The dialogs and the message component, with the properties the forms set.
  RegisterFormClass<TkxSkinSelectDirectoryDialog, TComponent>("TkxSkinSelectDirectoryDialog")
      .Reference<TkxSkinData>("SkinData", &TkxSkinSelectDirectoryDialog::SetSkinData)
      .Reference<TkxSkinData>("CtrlSkinData", &TkxSkinSelectDirectoryDialog::SetCtrlSkinData)
      .String("Title", &TkxSkinSelectDirectoryDialog::SetTitle)
      .String("Directory", &TkxSkinSelectDirectoryDialog::Directory)
      .Integer("DialogWidth", &TkxSkinSelectDirectoryDialog::DialogWidth)
      .Integer("DialogHeight", &TkxSkinSelectDirectoryDialog::DialogHeight)
      .Boolean("ShowToolBar", &TkxSkinSelectDirectoryDialog::ShowToolBar);
  RegisterFormClass<TkxSelectSkinDialog, TComponent>("TkxSelectSkinDialog")
      .Reference<TkxSkinData>("SkinData", &TkxSelectSkinDialog::SetSkinData)
      .Reference<TkxSkinData>("CtrlSkinData", &TkxSelectSkinDialog::SetCtrlSkinData)
      .Reference<TkxCompressedSkinList>("SkinList", &TkxSelectSkinDialog::SetSkinList)
      .String("Title", &TkxSelectSkinDialog::Title);
  RegisterFormClass<TkxSkinMessage, TComponent>("TkxSkinMessage")
      .Reference<TkxSkinData>("SkinData", &TkxSkinMessage::SetSkinData)
      .Reference<TkxSkinData>("CtrlSkinData", &TkxSkinMessage::SetCtrlSkinData)
      .Boolean("UseSkinFont", &TkxSkinMessage::UseSkinFont);
  RegisterFormClass<TForm1, TForm>("TForm1");
}

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {
  RegisterAppFormClasses();
  ReadFormDescription(this, FormText("Form1.dfm"), "Form1.dfm");
}

TForm1::~TForm1() {
  // The components go after this body: none of their events may reach the half-gone window
  // (a form freed without closing, as the application frees it at exit).
  if (FFPlayer) {
    FFPlayer->OnHook = nullptr;
    FFPlayer->OnPosition = nullptr;
    FFPlayer->OnState = nullptr;
    FFPlayer->OnFileOpen = nullptr;
  }
  if (Quill) {
    Quill->OnCustomHook = nullptr;
    Quill->OnProgress = nullptr;
    Quill->OnTerminate = nullptr;
    try {
      Quill->Stop(true);
    } catch (...) {  // nothing can be told any more
    }
  }
  if (FFLogger) FFLogger->OnLog = nullptr;
}

void TForm1::LoadPictures() {
  LoadDrawnBitmap(Image1->Picture()->Bitmap(), "Form1Image1");
  // The description made the image transparent before it had a picture.
  Image1->SetTransparent(Image1->Transparent());
  TImage* glyphs[] = {Image2,  Image3,  Image4,  Image5,  Image6,  Image7,  Image8,  Image9,
                      Image10, Image11, Image12, Image13, Image14, Image15, Image16, Image17};
  for (int i = 0; i < 16; ++i) LoadDrawnBitmap(glyphs[i]->Picture()->Bitmap(), "Form1Image" + std::to_string(i + 2));
  TBitmap strip;
  LoadDrawnBitmap(&strip, "ImageList1");
  ImageList1->Add(&strip, nullptr);
  LoadDrawnBitmap(&strip, "ImageList2");
  ImageList2->Add(&strip, nullptr);
  // The tool buttons of the options and the skin commands belong to no group.
  LoadDrawnBitmap(kxSkinButton19->Glyph(), "options");
  LoadDrawnBitmap(kxSkinButton9->Glyph(), "skin");
  // Every group shows its start-up state's glyph.
  for (TCommandGroup g : {TCommandGroup::Add, TCommandGroup::Remove, TCommandGroup::Rename, TCommandGroup::Clear,
                          TCommandGroup::Start, TCommandGroup::Stop, TCommandGroup::Pause, TCommandGroup::Resume})
    SwitchGroup(g, GroupOn(g));
}

void TForm1::DoCreate() {
  // The skinned frame replaced the plain one while the form was read; the client area keeps the
  // size the description gives it.
  if (kxVelara1->ClientWidth > 0) SetClientWidth(kxVelara1->ClientWidth);
  if (kxVelara1->ClientHeight > 0) SetClientHeight(kxVelara1->ClientHeight);
  LoadPictures();
  TForm::DoCreate();
}

void TForm1::DoShow() {
  for (TWinControl* c : {static_cast<TWinControl*>(kxSkinPanel5), static_cast<TWinControl*>(Panel6)}) {
    c->HandleNeeded();
    c->BringToFront();
  }
  TForm::DoShow();
}

void TForm1::Dispatch(TMessage& Message) {
  TForm::Dispatch(Message);
  if (Message.Msg == win::WM_WINDOWPOSCHANGED) WindowPosChangedHandler(Message);
  else if (Message.Msg == win::WM_WINDOWPOSCHANGING) WindowPosChangingHandler(Message);
}

// ---- start-up and closing ----------------------------------------------------------------------

void TForm1::FormCreate(TObject* Sender) {
  Button15->Click();  // every job slot free
  Button17->Click();  // the output folder from option.ini
  Button21->Click();  // the open dialogs' filter
  Button3->Click();   // the stored skin
  Button2->Click();   // the format list for the category, which fills the preset lists
  FillScreenList();
  SavePictureDialog1->SetOptions({ofOverwritePrompt, ofHideReadOnly, ofExtensionDifferent, ofPathMustExist, ofEnableSizing});
  SavePictureDialog1->Filter = "Bitmaps (*.bmp)|*.bmp|JPEG Image File |*.jpg;*.jpeg";
  SavePictureDialog1->DefaultExt = "bmp";
  kxSkinSlider1_down_UP = "UP";
}

void TForm1::FormCloseQuery(TObject* Sender, bool& CanClose) {
  // Nothing of the player, the tasks or the logger may reach the window once it goes.
  FFPlayer->OnHook = nullptr;
  FFPlayer->OnPosition = nullptr;
  FFPlayer->OnState = nullptr;
  Quill->OnCustomHook = nullptr;
  Quill->OnProgress = nullptr;
  Quill->OnTerminate = nullptr;
  Quill->Stop(true);
  FFLogger->OnLog = nullptr;
}

void TForm1::FillScreenList() {
  cboScreens->Items()->Clear();
  cboScreens->Items()->Add("Panel6");
  for (int k = 0;; ++k) {
    TWinControl* found = nullptr;
    for (int i = 0; i < ControlCount() && !found; ++i) {
      auto* w = dynamic_cast<TWinControl*>(Controls(i));
      if (w && w->TabOrder() == k) found = w;
    }
    if (!found) break;
    cboScreens->Items()->Add(found->Name());
  }
  cboScreens->SetItemIndex(0);
}

// ---- forwarding tool buttons and menu items ----------------------------------------------------

void TForm1::kxSkinButton2Click(TObject* Sender) { btnStart->Click(); }
void TForm1::kxSkinButton10Click(TObject* Sender) { btnStop->Click(); }
void TForm1::kxSkinButton7Click(TObject* Sender) { btnRemove->Click(); }
void TForm1::kxSkinButton8Click(TObject* Sender) { btnClear->Click(); }

// ---- command groups ----------------------------------------------------------------------------

namespace {

struct TGroupMembers {
  TButton* Button;
  TControl* Tool;  // a skinned button showing the group's glyph
  std::vector<TMenuItem*> Items;
  TImage* On;
  TImage* Off;
};

}  // namespace

bool TForm1::GroupOn(TCommandGroup Group) const {
  switch (Group) {
    case TCommandGroup::Add: return btnAdd->Enabled();
    case TCommandGroup::Remove: return btnRemove->Enabled();
    case TCommandGroup::Rename: return kxSkinButton21->Enabled();
    case TCommandGroup::Clear: return btnClear->Enabled();
    case TCommandGroup::Start: return btnStart->Enabled();
    case TCommandGroup::Stop: return btnStop->Enabled();
    case TCommandGroup::Pause: return btnPause->Enabled();
    case TCommandGroup::Resume: return btnResume->Enabled();
  }
  return false;
}

void TForm1::SwitchGroup(TCommandGroup Group, bool On) {
  TGroupMembers m{};
  switch (Group) {
    case TCommandGroup::Add:
      m = {btnAdd, kxSkinMenuSpeedButton1, {Item111, Item121, N21, N11111, N2222, N3331}, Image3, Image2};
      break;
    case TCommandGroup::Remove: m = {btnRemove, kxSkinButton7, {N13}, Image15, Image14}; break;
    case TCommandGroup::Rename: m = {nullptr, kxSkinButton21, {N26}, Image16, Image17}; break;
    case TCommandGroup::Clear: m = {btnClear, kxSkinButton8, {N14}, Image13, Image12}; break;
    case TCommandGroup::Start: m = {btnStart, kxSkinButton2, {N7}, Image5, Image4}; break;
    case TCommandGroup::Stop: m = {btnStop, kxSkinButton10, {N8}, Image11, Image10}; break;
    case TCommandGroup::Pause: m = {btnPause, kxSkinButton11, {N10}, Image7, Image6}; break;
    case TCommandGroup::Resume: m = {btnResume, kxSkinButton12, {N11}, Image9, Image8}; break;
  }
  if (m.Button) m.Button->SetEnabled(On);
  m.Tool->SetEnabled(On);
  if (auto* look = dynamic_cast<TkxButtonLook*>(m.Tool)) look->SetGlyph((On ? m.On : m.Off)->Picture()->Bitmap());
  m.Tool->Repaint();
  for (TMenuItem* i : m.Items) i->SetEnabled(On);
}

// ---- bindings ----------------------------------------------------------------------------------

void TForm1::DeclareBindings(THandlerTable& T) {
  // Handlers by name.
  T.Add("FormCreate", this, &TForm1::FormCreate);
  T.Add("FormCloseQuery", this, &TForm1::FormCloseQuery);
  T.Add("kxSkinButton2Click", this, &TForm1::kxSkinButton2Click);
  T.Add("kxSkinButton10Click", this, &TForm1::kxSkinButton10Click);
  T.Add("kxSkinButton7Click", this, &TForm1::kxSkinButton7Click);
  T.Add("kxSkinButton8Click", this, &TForm1::kxSkinButton8Click);
  T.Add("Button2Click", this, &TForm1::Button2Click);
  T.Add("Button5Click", this, &TForm1::Button5Click);
  T.Add("Button6Click", this, &TForm1::Button6Click);
  T.Add("Button7Click", this, &TForm1::Button7Click);
  T.Add("Button13Click", this, &TForm1::Button13Click);
  T.Add("Button18Click", this, &TForm1::Button18Click);
  T.Add("kxSkinOfficeComboBox2Change", this, &TForm1::kxSkinOfficeComboBox2Change);
  T.Add("kxSkinOfficeComboBox1Change", this, &TForm1::kxSkinOfficeComboBox1Change);
  T.Add("kxSkinComboBox1Change", this, &TForm1::kxSkinComboBox1Change);
  T.Add("kxSkinComboBox2Change", this, &TForm1::kxSkinComboBox2Change);
  T.Add("kxSkinComboBox3Change", this, &TForm1::kxSkinComboBox3Change);
  T.Add("kxSkinComboBox4Change", this, &TForm1::kxSkinComboBox4Change);
  T.Add("kxSkinComboBox9Change", this, &TForm1::kxSkinComboBox9Change);
  T.Add("kxSkinComboBox10Change", this, &TForm1::kxSkinComboBox10Change);
  T.Add("btnAddClick", this, &TForm1::btnAddClick);
  T.Add("Button8Click", this, &TForm1::Button8Click);
  T.Add("Button12Click", this, &TForm1::Button12Click);
  T.Add("lvFilesSelectItem", this, &TForm1::lvFilesSelectItem);
  T.Add("lvFilesClick", this, &TForm1::lvFilesClick);
  T.Add("lvFilesDblClick", this, &TForm1::lvFilesDblClick);
  T.Add("kxSkinButton21Click", this, &TForm1::kxSkinButton21Click);
  T.Add("N26Click", this, &TForm1::N26Click);
  T.Add("edtExit", this, &TForm1::edtExit);
  T.Add("kxSkinButton3Click", this, &TForm1::kxSkinButton3Click);
  T.Add("kxSkinButton4Click", this, &TForm1::kxSkinButton4Click);
  T.Add("btnRemoveClick", this, &TForm1::btnRemoveClick);
  T.Add("btnClearClick", this, &TForm1::btnClearClick);
  T.Add("Button14Click", this, &TForm1::Button14Click);
  T.Add("Button15Click", this, &TForm1::Button15Click);
  T.Add("Button27Click", this, &TForm1::Button27Click);
  T.Add("btnStartClick", this, &TForm1::btnStartClick);
  T.Add("button28Click", this, &TForm1::button28Click);
  T.Add("btnStopClick", this, &TForm1::btnStopClick);
  T.Add("btnPauseClick", this, &TForm1::btnPauseClick);
  T.Add("btnResumeClick", this, &TForm1::btnResumeClick);
  T.Add("kxSkinButton11Click", this, &TForm1::kxSkinButton11Click);
  T.Add("kxSkinButton12Click", this, &TForm1::kxSkinButton12Click);
  T.Add("Button22Click", this, &TForm1::Button22Click);
  T.Add("Button23Click", this, &TForm1::Button23Click);
  T.Add("Button24Click", this, &TForm1::Button24Click);
  T.Add("QuillProgress", this, &TForm1::QuillProgress);
  T.Add("QuillTerminate", this, &TForm1::QuillTerminate);
  T.Add("FFLoggerLog", this, &TForm1::FFLoggerLog);
  T.Add("Button20Click", this, &TForm1::Button20Click);
  T.Add("Button25Click", this, &TForm1::Button25Click);
  T.Add("Button29Click", this, &TForm1::Button29Click);
  T.Add("Button3Click", this, &TForm1::Button3Click);
  T.Add("Button4Click", this, &TForm1::Button4Click);
  T.Add("Button16Click", this, &TForm1::Button16Click);
  T.Add("Button17Click", this, &TForm1::Button17Click);
  T.Add("Button26Click", this, &TForm1::Button26Click);
  T.Add("Button31Click", this, &TForm1::Button31Click);
  T.Add("FFPlayerFileOpen", this, &TForm1::FFPlayerFileOpen);
  T.Add("FFPlayerPosition", this, &TForm1::FFPlayerPosition);
  T.Add("FFPlayerState", this, &TForm1::FFPlayerState);
  T.Add("FFPlayerHook", this, &TForm1::FFPlayerHook);
  T.Add("kxSkinButton13Click", this, &TForm1::kxSkinButton13Click);
  T.Add("kxSkinButton14Click", this, &TForm1::kxSkinButton14Click);
  T.Add("kxSkinButton15Click", this, &TForm1::kxSkinButton15Click);
  T.Add("kxSkinButton16Click", this, &TForm1::kxSkinButton16Click);
  T.Add("kxSkinButton20Click", this, &TForm1::kxSkinButton20Click);
  T.Add("kxSkinSlider1MouseDown", this, &TForm1::kxSkinSlider1MouseDown);
  T.Add("kxSkinSlider1MouseUp", this, &TForm1::kxSkinSlider1MouseUp);
  T.Add("kxSkinSlider1Change", this, &TForm1::kxSkinSlider1Change);
  T.Add("TrackBar2Change", this, &TForm1::TrackBar2Change);
  T.Add("TrackBar1Change", this, &TForm1::TrackBar1Change);
  T.Add("chkPreviewClick", this, &TForm1::chkPreviewClick);
  T.Add("kxSkinButton22Click", this, &TForm1::kxSkinButton22Click);
  T.Add("kxSkinButton23MouseDown", this, &TForm1::kxSkinButton23MouseDown);
  T.Add("kxSkinButton23Click", this, &TForm1::kxSkinButton23Click);
  T.Add("BMP1Click", this, &TForm1::BMP1Click);
  T.Add("JPG1Click", this, &TForm1::JPG1Click);
  T.Add("GIF1Click", this, &TForm1::GIF1Click);
  T.Add("PNG1Click", this, &TForm1::PNG1Click);
  T.Add("MenuItem1Click", this, &TForm1::MenuItem1Click);
  T.Add("MenuItem2Click", this, &TForm1::MenuItem2Click);
  T.Add("btnCaptureClick", this, &TForm1::btnCaptureClick);
  T.Add("N21Click", this, &TForm1::N21Click);
  T.Add("N3331Click", this, &TForm1::N3331Click);
  T.Add("N2222Click", this, &TForm1::N2222Click);
  T.Add("N4Click", this, &TForm1::N4Click);
  T.Add("N5Click", this, &TForm1::N5Click);
  T.Add("N15Click", this, &TForm1::N15Click);
  T.Add("N19Click", this, &TForm1::N19Click);
  T.Add("N23Click", this, &TForm1::N23Click);
  T.Add("N24Click", this, &TForm1::N24Click);
  T.Add("kxSkinButton9Click", this, &TForm1::kxSkinButton9Click);
  T.Add("kxSkinButton19Click", this, &TForm1::kxSkinButton19Click);
  T.Add("kxSkinButton1Click", this, &TForm1::kxSkinButton1Click);
  T.Add("kxSkinSpeedButton1Click", this, &TForm1::kxSkinSpeedButton1Click);
  T.Add("kxSkinButton5Click", this, &TForm1::kxSkinButton5Click);
  T.Add("kxSkinButton6Click", this, &TForm1::kxSkinButton6Click);
  T.Add("Video_OutPut_Folder_EditClick", this, &TForm1::Video_OutPut_Folder_EditClick);
  T.Add("Button1Click", this, &TForm1::Button1Click);
  T.Add("Button21Click", this, &TForm1::Button21Click);
  T.Add("Button11Click", this, &TForm1::Button11Click);
  T.Add("Button19Click", this, &TForm1::Button19Click);
  T.Add("kxSkinCheckRadioBox1Click", this, &TForm1::kxSkinCheckRadioBox1Click);
  T.Add("kxSkinCheckRadioBox2Click", this, &TForm1::kxSkinCheckRadioBox2Click);
  T.Add("kxSkinPanel1Click", this, &TForm1::kxSkinPanel1Click);
  // The components of the description.
  T.Field("kxSkinData1", kxSkinData1);
  T.Field("kxCompressedSkinList1", kxCompressedSkinList1);
  T.Field("kxResourceStrData1", kxResourceStrData1);
  T.Field("kxVelara1", kxVelara1);
  T.Field("kxSkinMainMenuBar1", kxSkinMainMenuBar1);
  T.Field("kxSkinMainMenu1", kxSkinMainMenu1);
  T.Field("Item11", Item11);
  T.Field("Item111", Item111);
  T.Field("Item121", Item121);
  T.Field("N21", N21);
  T.Field("N3", N3);
  T.Field("N4", N4);
  T.Field("N6", N6);
  T.Field("N111", N111);
  T.Field("N2221", N2221);
  T.Field("N12", N12);
  T.Field("N13", N13);
  T.Field("N14", N14);
  T.Field("N25", N25);
  T.Field("N26", N26);
  T.Field("N1", N1);
  T.Field("N7", N7);
  T.Field("N8", N8);
  T.Field("N9", N9);
  T.Field("N10", N10);
  T.Field("N11", N11);
  T.Field("N22", N22);
  T.Field("N24", N24);
  T.Field("N23", N23);
  T.Field("N2", N2);
  T.Field("N15", N15);
  T.Field("N16", N16);
  T.Field("N19", N19);
  T.Field("N5", N5);
  T.Field("kxSkinToolBar2", kxSkinToolBar2);
  T.Field("kxSkinMenuSpeedButton1", kxSkinMenuSpeedButton1);
  T.Field("kxSkinButton7", kxSkinButton7);
  T.Field("kxSkinButton8", kxSkinButton8);
  T.Field("kxSkinButton2", kxSkinButton2);
  T.Field("kxSkinButton10", kxSkinButton10);
  T.Field("kxSkinButton11", kxSkinButton11);
  T.Field("kxSkinButton12", kxSkinButton12);
  T.Field("kxSkinButton19", kxSkinButton19);
  T.Field("kxSkinButton9", kxSkinButton9);
  T.Field("kxSkinPanel1", kxSkinPanel1);
  T.Field("lvFiles", lvFiles);
  T.Field("kxSkinPanel5", kxSkinPanel5);
  T.Field("Image1", Image1);
  T.Field("kxSkinButton3", kxSkinButton3);
  T.Field("kxSkinButton4", kxSkinButton4);
  T.Field("kxSkinButton21", kxSkinButton21);
  T.Field("kxSkinPanel2", kxSkinPanel2);
  T.Field("kxSkinStdLabel1", kxSkinStdLabel1);
  T.Field("kxSkinOfficeComboBox2", kxSkinOfficeComboBox2);
  T.Field("kxSkinOfficeComboBox1", kxSkinOfficeComboBox1);
  T.Field("kxSkinStdLabel2", kxSkinStdLabel2);
  T.Field("Video_OutPut_Folder_Edit", Video_OutPut_Folder_Edit);
  T.Field("kxSkinButton5", kxSkinButton5);
  T.Field("kxSkinButton6", kxSkinButton6);
  T.Field("kxSkinButton1", kxSkinButton1);
  T.Field("kxSkinStdLabel3", kxSkinStdLabel3);
  T.Field("kxSkinLinkLabel1", kxSkinLinkLabel1);
  T.Field("kxSkinPanel4", kxSkinPanel4);
  T.Field("kxSkinStdLabel4", kxSkinStdLabel4);
  T.Field("kxSkinComboBox1", kxSkinComboBox1);
  T.Field("kxSkinStdLabel5", kxSkinStdLabel5);
  T.Field("kxSkinComboBox2", kxSkinComboBox2);
  T.Field("kxSkinStdLabel6", kxSkinStdLabel6);
  T.Field("kxSkinComboBox3", kxSkinComboBox3);
  T.Field("kxSkinStdLabel7", kxSkinStdLabel7);
  T.Field("kxSkinComboBox4", kxSkinComboBox4);
  T.Field("kxSkinStdLabel8", kxSkinStdLabel8);
  T.Field("kxSkinComboBox9", kxSkinComboBox9);
  T.Field("kxSkinStdLabel9", kxSkinStdLabel9);
  T.Field("kxSkinComboBox10", kxSkinComboBox10);
  T.Field("kxSkinPanel3", kxSkinPanel3);
  T.Field("kxSkinSlider1", kxSkinSlider1);
  T.Field("kxSkinButton13", kxSkinButton13);
  T.Field("kxSkinButton14", kxSkinButton14);
  T.Field("kxSkinButton15", kxSkinButton15);
  T.Field("kxSkinButton16", kxSkinButton16);
  T.Field("kxSkinButton20", kxSkinButton20);
  T.Field("kxSkinButton17", kxSkinButton17);
  T.Field("kxSkinButton22", kxSkinButton22);
  T.Field("kxSkinButton23", kxSkinButton23);
  T.Field("Panel6", Panel6);
  T.Field("Panel1", Panel1);
  T.Field("btnAdd", btnAdd);
  T.Field("btnStart", btnStart);
  T.Field("btnStop", btnStop);
  T.Field("btnPause", btnPause);
  T.Field("btnResume", btnResume);
  T.Field("btnRemove", btnRemove);
  T.Field("btnClear", btnClear);
  T.Field("btnWebSite", btnWebSite);
  T.Field("Button1", Button1);
  T.Field("Button2", Button2);
  T.Field("Button3", Button3);
  T.Field("Button4", Button4);
  T.Field("Button5", Button5);
  T.Field("Button6", Button6);
  T.Field("Button7", Button7);
  T.Field("Button8", Button8);
  T.Field("Button11", Button11);
  T.Field("Button12", Button12);
  T.Field("Button13", Button13);
  T.Field("Button14", Button14);
  T.Field("Button15", Button15);
  T.Field("Button16", Button16);
  T.Field("Button17", Button17);
  T.Field("Button18", Button18);
  T.Field("Button20", Button20);
  T.Field("Button21", Button21);
  T.Field("Button22", Button22);
  T.Field("Button23", Button23);
  T.Field("Button24", Button24);
  T.Field("Button25", Button25);
  T.Field("Button26", Button26);
  T.Field("button28", button28);
  T.Field("Button29", Button29);
  T.Field("Button31", Button31);
  T.Field("Image2", Image2);
  T.Field("Image3", Image3);
  T.Field("Image4", Image4);
  T.Field("Image5", Image5);
  T.Field("Image6", Image6);
  T.Field("Image7", Image7);
  T.Field("Image8", Image8);
  T.Field("Image9", Image9);
  T.Field("Image10", Image10);
  T.Field("Image11", Image11);
  T.Field("Image12", Image12);
  T.Field("Image13", Image13);
  T.Field("Image14", Image14);
  T.Field("Image15", Image15);
  T.Field("Image16", Image16);
  T.Field("Image17", Image17);
  T.Field("chkThreadMode", chkThreadMode);
  T.Field("ListBox1", ListBox1);
  T.Field("ProgressBar1", ProgressBar1);
  T.Field("Panel3", Panel3);
  T.Field("Button34", Button34);
  T.Field("Button40", Button40);
  T.Field("Button9", Button9);
  T.Field("Button10", Button10);
  T.Field("Edit3", Edit3);
  T.Field("Panel4", Panel4);
  T.Field("Panel5", Panel5);
  T.Field("cboVideoDriver", cboVideoDriver);
  T.Field("cboAudioDriver", cboAudioDriver);
  T.Field("cboScreens", cboScreens);
  T.Field("chkOpenPaused", chkOpenPaused);
  T.Field("chkStayOnTop", chkStayOnTop);
  T.Field("TrackBar2", TrackBar2);
  T.Field("Label2", Label2);
  T.Field("Label3", Label3);
  T.Field("cboVideo", cboVideo);
  T.Field("cboAudio", cboAudio);
  T.Field("cboSubtitle", cboSubtitle);
  T.Field("mmoLog", mmoLog);
  T.Field("TrackBar1", TrackBar1);
  T.Field("chkMute", chkMute);
  T.Field("chkHook", chkHook);
  T.Field("chkWaterMark", chkWaterMark);
  T.Field("chkDisableDisplay", chkDisableDisplay);
  T.Field("chkDisableAudio", chkDisableAudio);
  T.Field("chkDisableVideo", chkDisableVideo);
  T.Field("cboAspectRatio", cboAspectRatio);
  T.Field("btnCapture", btnCapture);
  T.Field("chkPreview", chkPreview);
  T.Field("Button19", Button19);
  T.Field("Button27", Button27);
  T.Field("edt", edt);
  T.Field("kxSkinPopupMenu1", kxSkinPopupMenu1);
  T.Field("N11111", N11111);
  T.Field("N2222", N2222);
  T.Field("N3331", N3331);
  T.Field("kxSkinPopupMenu2", kxSkinPopupMenu2);
  T.Field("MenuItem1", MenuItem1);
  T.Field("MenuItem2", MenuItem2);
  T.Field("MenuItem3", MenuItem3);
  T.Field("N27", N27);
  T.Field("BMP1", BMP1);
  T.Field("JPG1", JPG1);
  T.Field("GIF1", GIF1);
  T.Field("PNG1", PNG1);
  T.Field("kxSkinMessage1", kxSkinMessage1);
  T.Field("kxSkinSelectDirectoryDialog1", kxSkinSelectDirectoryDialog1);
  T.Field("kxSkinSelectDirectoryDialog2", kxSkinSelectDirectoryDialog2);
  T.Field("OpenDialog1", OpenDialog1);
  T.Field("OpenDialog2", OpenDialog2);
  T.Field("kxSkinOpenDialog1", kxSkinOpenDialog1);
  T.Field("kxSkinSavePictureDialog1", kxSkinSavePictureDialog1);
  T.Field("SavePictureDialog1", SavePictureDialog1);
  T.Field("kxSelectSkinDialog1", kxSelectSkinDialog1);
  T.Field("kxTrayIcon1", kxTrayIcon1);
  T.Field("kxSkinHint1", kxSkinHint1);
  T.Field("Quill", Quill);
  T.Field("FFLogger", FFLogger);
  T.Field("FFPlayer", FFPlayer);
  T.Field("ImageList1", ImageList1);
  T.Field("ImageList2", ImageList2);
}
