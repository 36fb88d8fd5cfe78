#include "app/forms/Unit6.h"

#include <array>
#include <string_view>

#include "Src/MediaStreaming.h"
#include "Src/Quillon.h"
#include "app/catalogue/FormatParams.h"
#include "app/catalogue/Presets.h"
#include "app/catalogue/SettingsTables.h"
#include "base/Exception.h"
#include "base/Resources.h"
#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "classlib/graphics/ImageList.h"
#include "classlib/graphics/RawImage.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinComboBox.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinOfficeCombo.h"
#include "lib/controls/kxSkinPageControl.h"
#include "lib/controls/kxSkinPanels.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/forms/kxVelara.h"

using catalogue::TPresetRole;

namespace {

const char* const kDescription = "forms/Form6.dfm";

// The category pictures have soft edges; the image list keeps a colour and a mask per pixel, so
// a pixel at least half covered is drawn, blended over the button face it usually lies on.
void LoadImageList(TCustomImageList* List, const std::string& Name) {
  TPngImage png;
  TResourceStream s(Name, TResourceKind::Data);
  png.LoadFromStream(s);
  const img::RawImage& src = png.Image();
  img::RawImage pic, mask;
  pic.Allocate(src.Width, src.Height, 24);
  mask.Allocate(src.Width, src.Height, 24);
  const uint32_t face = ColorToRGB(clBtnFace);
  const uint32_t faceRgb[3] = {win::GetRValue(face), win::GetGValue(face), win::GetBValue(face)};
  for (int y = 0; y < src.Height; ++y)
    for (int x = 0; x < src.Width; ++x) {
      const uint32_t p = src.Pixel(x, y);
      const uint32_t a = p >> 24;
      uint32_t out = 0;
      for (int c = 0; c < 3; ++c) {
        const uint32_t v = (p >> (16 - 8 * c)) & 0xFF;
        out |= ((v * a + faceRgb[c] * (255 - a) + 127) / 255) << (16 - 8 * c);
      }
      pic.SetPixel(x, y, 0xFF000000u | out);
      mask.SetPixel(x, y, a >= 128 ? 0xFF000000u : 0xFFFFFFFFu);
    }
  TBitmap image, maskBitmap;
  image.LoadRawImage(pic);
  maskBitmap.LoadRawImage(mask);
  List->Clear();
  List->Add(&image, &maskBitmap);
}

void LoadPicture(TImage* Image, const std::string& Name) {
  TPngImage png;
  TResourceStream s(Name, TResourceKind::Data);
  png.LoadFromStream(s);
  Image->Picture()->SetGraphic(&png);
}

}  // namespace

void RegisterForm6Classes() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterSkinDataFormClasses();
  RegisterVelaraFormClasses();
  RegisterMediaFormClasses();
  RegisterFormClass<TForm6, TForm>("TForm6");
}

TForm6::TForm6(TComponent* AOwner, TForm6Link Link) : TForm6(AOwner, std::move(Link), TReadLater{}) {
  ReadDescription();
}

TForm6::TForm6(TComponent* AOwner, TForm6Link Link, TReadLater) : TForm(AOwner), FLink(std::move(Link)) {
  if (!FLink.Fields || !FLink.All_Trant_Number)
    throw EInvalidOperation("the settings form needs the main window's conversion fields");
  RegisterForm6Classes();
}

void TForm6::ReadDescription() {
  const TResource* text = FindResourceFile(kDescription);
  if (!text) throw EResNotFound(std::string("Resource ") + kDescription + " not found");
  ReadFormDescription(this, std::string_view(reinterpret_cast<const char*>(text->Data), text->Size), kDescription);
}

void TForm6::DeclareBindings(THandlerTable& T) {
  T.Field("kxVelara1", kxVelara1);
  T.Field("kxSkinPanel2", kxSkinPanel2);
  T.Field("kxSkinTextLabel5", kxSkinTextLabel5);
  T.Field("kxSkinOfficeComboBox1", kxSkinOfficeComboBox1);
  T.Field("kxSkinOfficeComboBox2", kxSkinOfficeComboBox2);
  T.Field("kxSkinButton1", kxSkinButton1);
  T.Field("Panel1", Panel1);
  T.Field("Button6", Button6);
  T.Field("Button5", Button5);
  T.Field("Button7", Button7);
  T.Field("Button2", Button2);
  T.Field("Button13", Button13);
  T.Field("Button11", Button11);
  T.Field("Button18", Button18);
  T.Field("Quill", Quill);
  T.Field("ImageList1", ImageList1);
  T.Field("ImageList2", ImageList2);
  T.Field("kxSkinPageControl1", kxSkinPageControl1);
  T.Field("kxSkinTabSheet1", kxSkinTabSheet1);
  T.Field("kxSkinTabSheet2", kxSkinTabSheet2);
  T.Field("kxSkinTabSheet4", kxSkinTabSheet4);
  T.Field("kxSkinButton3", kxSkinButton3);
  T.Field("kxSkinButton2", kxSkinButton2);
  T.Field("kxSkinTextLabel3", kxSkinTextLabel3);
  T.Field("kxSkinComboBox1", kxSkinComboBox1);
  T.Field("kxSkinTextLabel2", kxSkinTextLabel2);
  T.Field("kxSkinTextLabel6", kxSkinTextLabel6);
  T.Field("kxSkinComboBox2", kxSkinComboBox2);
  T.Field("kxSkinComboBox9", kxSkinComboBox9);
  T.Field("kxSkinTextLabel4", kxSkinTextLabel4);
  T.Field("kxSkinTextLabel7", kxSkinTextLabel7);
  T.Field("kxSkinComboBox3", kxSkinComboBox3);
  T.Field("kxSkinComboBox10", kxSkinComboBox10);
  T.Field("kxSkinTextLabel9", kxSkinTextLabel9);
  T.Field("kxSkinComboBox4", kxSkinComboBox4);
  T.Field("kxSkinTabSheet3", kxSkinTabSheet3);
  T.Field("Image1", Image1);

  T.Add("Button6Click", this, &TForm6::Button6Click);
  T.Add("Button2Click", this, &TForm6::Button2Click);
  T.Add("FormCreate", this, &TForm6::FormCreate);
  T.Add("kxSkinOfficeComboBox2Change", this, &TForm6::kxSkinOfficeComboBox2Change);
  T.Add("kxSkinButton2Click", this, &TForm6::kxSkinButton2Click);
  T.Add("Button13Click", this, &TForm6::Button13Click);
  T.Add("Button18Click", this, &TForm6::Button18Click);
  T.Add("kxSkinOfficeComboBox1Click", this, &TForm6::kxSkinOfficeComboBox1Click);
  T.Add("kxSkinButton3Click", this, &TForm6::kxSkinButton3Click);
  T.Add("Button5Click", this, &TForm6::Button5Click);
}

// The pictures are drawn at build time, so the description cannot carry them: they come in
// here, once every component exists and before OnCreate.
void TForm6::Loaded() {
  TForm::Loaded();
  if (ImageList1) LoadImageList(ImageList1, "Form6ImageList1.png");
  if (Image1) LoadPicture(Image1, "Form6Image1.png");
}

bool& TForm6::DisableVideo() {
  return FLink.Video_DisableVideo ? *FLink.Video_DisableVideo : FLink.Fields->Video_DisableVideo;
}

int TForm6::FormatKey() const {
  const int category = kxSkinOfficeComboBox2->ItemIndex();  // read first
  return (category + 1) * 100 + kxSkinOfficeComboBox1->ItemIndex();
}

// ---- handlers ------------------------------------------------------------------------------------

void TForm6::FormCreate(TObject*) { Button2->Click(); }

void TForm6::kxSkinOfficeComboBox2Change(TObject*) { Button2->Click(); }

void TForm6::kxSkinOfficeComboBox1Click(TObject*) { Button18->Click(); }

// Fills the format list with the formats of the selected category and selects the first,
// which refills the preset lists through the format list's OnClick, even when the position
// was 0 already.
void TForm6::Button2Click(TObject*) {
  TkxSkinOfficeComboBox* formats = kxSkinOfficeComboBox1;
  formats->Items()->Clear();
  formats->Refresh();
  formats->Repaint();
  const int category = kxSkinOfficeComboBox2->ItemIndex();
  if (category >= 0 && category < catalogue::kSettingsCategoryCount) {
    int p = 0;
    for (const catalogue::TSettingsFormatItem& f : catalogue::SettingsFormatsOfCategory(category)) {
      formats->Items()->Add();
      TkxSkinOfficeItem* item = formats->Items()->GetItem(p++);
      item->SetTitle(std::string(f.Title));
      item->SetCaption(std::string(f.Caption));
      item->SetImageIndex(f.ImageIndex);
    }
    formats->Refresh();
    formats->Repaint();
  }
  formats->SetItemIndex(0);
}

// Refills the six preset lists for the selected format and records its key in the main window.
void TForm6::Button18Click(TObject*) {
  for (TkxSkinComboBox* c :
       {kxSkinComboBox1, kxSkinComboBox2, kxSkinComboBox3, kxSkinComboBox4, kxSkinComboBox9, kxSkinComboBox10})
    c->Items()->Clear();
  for (TkxSkinComboBox* c :
       {kxSkinComboBox1, kxSkinComboBox2, kxSkinComboBox3, kxSkinComboBox4, kxSkinComboBox9, kxSkinComboBox10})
    c->SetEnabled(true);
  const int key = FormatKey();
  *FLink.All_Trant_Number = key;
  DisableVideo() = false;
  const catalogue::TPresetEntry* entry = catalogue::SettingsPresets().Find(key);
  if (!entry) return;
  for (TPresetRole role : catalogue::kPresetFillOrder) {
    TkxSkinComboBox* list = nullptr;
    switch (role) {
      case TPresetRole::Resolution: list = kxSkinComboBox1; break;
      case TPresetRole::VideoBitrate: list = kxSkinComboBox2; break;
      case TPresetRole::FrameRate: list = kxSkinComboBox9; break;
      case TPresetRole::AudioBitrate: list = kxSkinComboBox3; break;
      case TPresetRole::SampleRate: list = kxSkinComboBox10; break;
      case TPresetRole::Aspect: list = kxSkinComboBox4; break;
    }
    const catalogue::TPresetChoice& choice = (*entry)[role];
    for (std::string_view text : choice.List->Items) list->Items()->Add(std::string(text));
    list->SetItemIndex(choice.Default);
  }
  if (entry->VideoOff)
    for (TkxSkinComboBox* c : {kxSkinComboBox1, kxSkinComboBox2, kxSkinComboBox4, kxSkinComboBox9})
      c->SetEnabled(false);
}

// Writes the selected format's parameters and its output path into the main window's fields.
void TForm6::Button5Click(TObject*) {
  const int key = FormatKey();
  *FLink.All_Trant_Number = key;
  catalogue::TOutputTarget target;
  if (FLink.OutputFolder) target.OutputFolder = FLink.OutputFolder();
  if (FLink.Overwrite) target.Overwrite = FLink.Overwrite();
  catalogue::TConversionFields& f = *FLink.Fields;
  catalogue::ApplySettingsFormat(key, f, target);
  DisableVideo() = f.Video_DisableVideo;
}

// Turns the six shown preset texts into six conversion fields; a bitrate text that does not
// convert raises EConvertError with the fields of the earlier steps already written.
void TForm6::Button13Click(TObject*) {
  catalogue::TPresetTexts texts;
  texts[catalogue::RoleIndex(TPresetRole::Resolution)] = kxSkinComboBox1->Text();
  texts[catalogue::RoleIndex(TPresetRole::VideoBitrate)] = kxSkinComboBox2->Text();
  texts[catalogue::RoleIndex(TPresetRole::FrameRate)] = kxSkinComboBox9->Text();
  texts[catalogue::RoleIndex(TPresetRole::AudioBitrate)] = kxSkinComboBox3->Text();
  texts[catalogue::RoleIndex(TPresetRole::SampleRate)] = kxSkinComboBox10->Text();
  texts[catalogue::RoleIndex(TPresetRole::Aspect)] = kxSkinComboBox4->Text();
  catalogue::CommitPresets(texts, *FLink.Fields);
}

// OK: the format's parameters, then the presets over them, then close. An error in either
// step leaves the form open.
void TForm6::kxSkinButton2Click(TObject*) {
  Button5->Click();
  Button13->Click();
  Close();
}

void TForm6::kxSkinButton3Click(TObject*) { Close(); }

// Reset of the main window's conversion fields; the input name and the format key stay.
void TForm6::Button6Click(TObject*) {
  FLink.Fields->Reset();
  DisableVideo() = false;
}
