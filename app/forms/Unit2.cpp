#include "app/forms/Unit2.h"

#include <string>

#include "base/Resources.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Graphics.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/forms/kxVelara.h"

TForm2* Form2 = nullptr;

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner) {
  RegisterSkinControlFormClasses();
  RegisterVelaraFormClasses();
  const TResource* dfm = FindResourceFile("forms/Form2.dfm");
  if (!dfm) throw EFormError("forms/Form2.dfm", 0, "", "the form description is not built in");
  ReadFormDescription(this, std::string_view(reinterpret_cast<const char*>(dfm->Data), dfm->Size), dfm->Path);
  // The picture is drawn by the build, so the description cannot carry its pixels.
  TResourceStream png("Form2Image1.png", TResourceKind::Data);
  TPngImage picture;
  picture.LoadFromStream(png);
  Image1->Picture()->SetGraphic(&picture);
}

TForm2::~TForm2() {
  if (Form2 == this) Form2 = nullptr;
}

void TForm2::kxSkinButton1Click(TObject*) { Close(); }

void TForm2::DeclareBindings(THandlerTable& Table) {
  Table.Field("kxVelara1", kxVelara1);
  Table.Field("Image1", Image1);
  Table.Field("kxSkinStdLabel1", kxSkinStdLabel1);
  Table.Field("kxSkinStdLabel2", kxSkinStdLabel2);
  Table.Field("kxSkinStdLabel3", kxSkinStdLabel3);
  Table.Field("kxSkinStdLabel4", kxSkinStdLabel4);
  Table.Field("kxSkinLinkLabel1", kxSkinLinkLabel1);
  Table.Field("kxSkinLinkLabel2", kxSkinLinkLabel2);
  Table.Field("kxSkinButton1", kxSkinButton1);
  Table.Add("kxSkinButton1Click", this, &TForm2::kxSkinButton1Click);
}
