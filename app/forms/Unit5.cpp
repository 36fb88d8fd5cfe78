#include "app/forms/Unit5.h"

#include <string_view>

#include "Src/MediaStreaming.h"
#include "Src/Quillon.h"
#include "base/Resources.h"
#include "classlib/Streaming.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinCheckRadio.h"
#include "lib/controls/kxSkinComboBox.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinPanels.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/forms/kxVelara.h"

TForm5* Form5 = nullptr;

namespace {

constexpr const char* kDescription = "forms/Form5.dfm";

void RegisterForm5Class() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterSkinDataFormClasses();
  RegisterVelaraFormClasses();
  RegisterFormClass<TForm5, TForm>("TForm5");
}

}  // namespace

TForm5::TForm5(TComponent* AOwner) : TForm(AOwner) {
  RegisterForm5Class();
  const TResource* res = FindResourceFile(kDescription);
  if (!res) throw EFormError(kDescription, 0, "", "the form description is not built in");

  THandlerTable t;
  t.Field("kxVelara1", kxVelara1);
  t.Field("kxSkinPanel3", kxSkinPanel3);
  t.Field("kxSkinCheckRadioBox1", kxSkinCheckRadioBox1);
  t.Field("kxSkinCheckRadioBox2", kxSkinCheckRadioBox2);
  t.Field("kxSkinCheckRadioBox4", kxSkinCheckRadioBox4);
  t.Field("kxSkinCheckRadioBox5", kxSkinCheckRadioBox5);
  t.Field("kxSkinPanel1", kxSkinPanel1);
  t.Field("kxSkinCheckRadioBox3", kxSkinCheckRadioBox3);
  t.Field("kxSkinCheckRadioBox6", kxSkinCheckRadioBox6);
  t.Field("kxSkinPanel2", kxSkinPanel2);
  t.Field("kxSkinStdLabel1", kxSkinStdLabel1);
  t.Field("kxSkinComboBox2", kxSkinComboBox2);
  t.Field("kxSkinCheckRadioBox7", kxSkinCheckRadioBox7);
  t.Field("kxSkinCheckRadioBox8", kxSkinCheckRadioBox8);
  t.Field("kxSkinPanel4", kxSkinPanel4);
  t.Field("kxSkinCheckRadioBox9", kxSkinCheckRadioBox9);
  t.Field("kxSkinCheckRadioBox10", kxSkinCheckRadioBox10);
  t.Field("kxSkinCheckRadioBox11", kxSkinCheckRadioBox11);
  t.Field("kxSkinCheckRadioBox12", kxSkinCheckRadioBox12);
  t.Field("kxSkinButton6", kxSkinButton6);
  t.Field("kxSkinButton1", kxSkinButton1);
  t.Field("Panel1", Panel1);
  t.Field("Button1", Button1);
  t.Field("Button2", Button2);
  t.Add("FormCreate", this, &TForm5::FormCreate);
  t.Add("Button1Click", this, &TForm5::Button1Click);
  t.Add("Button2Click", this, &TForm5::Button2Click);
  t.Add("kxSkinButton6Click", this, &TForm5::kxSkinButton6Click);
  t.Add("kxSkinButton1Click", this, &TForm5::kxSkinButton1Click);
  t.Add("kxSkinCheckRadioBox7Click", this, &TForm5::kxSkinCheckRadioBox7Click);
  t.Add("kxSkinCheckRadioBox8Click", this, &TForm5::kxSkinCheckRadioBox8Click);
  ReadFormDescription(this, std::string_view(reinterpret_cast<const char*>(res->Data), res->Size), kDescription, &t);
  // The skinned frame is known only once the window exists, after the description has set the
  // client size for the plain frame: the client area is set again around the skin's frame.
  if (kxVelara1->ClientWidth > 0 && kxVelara1->ClientHeight > 0)
    SetClientSize(TPoint{kxVelara1->ClientWidth, kxVelara1->ClientHeight});
}

TForm5::~TForm5() {
  if (Form5 == this) Form5 = nullptr;
}

void TForm5::FormCreate(TObject* Sender) { Button1->Click(); }

void TForm5::Button1Click(TObject* Sender) {
  const options::TDialogOptions o = options::ReadDialogOptions(options::TOptionIni());
  const int32_t count = kxSkinComboBox2->Items()->IndexOf(o.ThreadCount);
  kxSkinComboBox2->SetItemIndex(count >= 0 ? count : 0);
  TkxSkinCheckRadioBox* const afterDone[] = {kxSkinCheckRadioBox1, kxSkinCheckRadioBox2, kxSkinCheckRadioBox4,
                                             kxSkinCheckRadioBox5};
  afterDone[o.AfterDone]->SetChecked(true);
  TkxSkinCheckRadioBox* const priority[] = {kxSkinCheckRadioBox9, kxSkinCheckRadioBox10, kxSkinCheckRadioBox11,
                                            kxSkinCheckRadioBox12};
  priority[o.Priority]->SetChecked(true);
  (o.Overwrite ? kxSkinCheckRadioBox3 : kxSkinCheckRadioBox6)->SetChecked(true);
  // Raises the box's click, so the task component's live preview follows the stored value.
  kxSkinCheckRadioBox8->SetChecked(o.ShowPreview);
}

options::TDialogOptionsWrite TForm5::ControlValues() const {
  options::TDialogOptionsWrite v;
  if (kxSkinCheckRadioBox7->Checked()) v.ThreadCount = kxSkinComboBox2->Text();
  if (kxSkinCheckRadioBox1->Checked()) v.AfterDone = options::adOpenFolder;
  else if (kxSkinCheckRadioBox2->Checked()) v.AfterDone = options::adPowerOff;
  else if (kxSkinCheckRadioBox4->Checked()) v.AfterDone = options::adPlaySound;
  else if (kxSkinCheckRadioBox5->Checked()) v.AfterDone = options::adNothing;
  v.ShowPreview = kxSkinCheckRadioBox8->Checked();
  if (kxSkinCheckRadioBox9->Checked()) v.Priority = options::pcIdle;
  else if (kxSkinCheckRadioBox10->Checked()) v.Priority = options::pcLowest;
  else if (kxSkinCheckRadioBox11->Checked()) v.Priority = options::pcLower;
  else if (kxSkinCheckRadioBox12->Checked()) v.Priority = options::pcNormal;
  if (kxSkinCheckRadioBox3->Checked()) v.Overwrite = true;
  else if (kxSkinCheckRadioBox6->Checked()) v.Overwrite = false;
  return v;
}

void TForm5::Button2Click(TObject* Sender) { options::WriteDialogOptions(options::TOptionIni(), ControlValues()); }

void TForm5::kxSkinButton6Click(TObject* Sender) {
  Button2->Click();
  Close();
}

void TForm5::kxSkinButton1Click(TObject* Sender) { Close(); }

void TForm5::kxSkinCheckRadioBox7Click(TObject* Sender) {
  kxSkinComboBox2->SetEnabled(kxSkinCheckRadioBox7->Checked());
}

void TForm5::kxSkinCheckRadioBox8Click(TObject* Sender) {
  if (TCustomQuillon* quill = TaskComponent()) quill->SetPreview(kxSkinCheckRadioBox8->Checked());
}

TCustomQuillon* TForm5::TaskComponent() {
  TComponent* main = FindFormInstance("Form1");
  return main ? dynamic_cast<TCustomQuillon*>(main->FindComponent("Quill")) : nullptr;
}

bool OverwriteOutputFiles() { return Form5 && Form5->kxSkinCheckRadioBox3->Checked(); }
