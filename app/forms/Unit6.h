#pragma once
// The settings form "设置选项": a category list, a format list, six preset lists and OK and
// Cancel. OK writes the chosen format's parameters, the output file name and the picked
// presets into the main window's conversion fields. The program creates it last and never
// shows it; creating it fills the format list for the first category and the preset lists for
// that category's first format, which records format key 100 in the main window.
//
// The form runs one operation from another by clicking the operation's hidden command button
// on Panel1, as the main window does. No handler catches an error: an error ends the click
// that raised it (OK then leaves the form open with the fields written so far) and reaches the
// application's exception handler.
//
// Its description (resources/forms/Form6.dfm) names the main window's skin data,
// Form1.kxSkinData1, so the main window must exist before this form is created.
#include <cstdint>
#include <functional>
#include <string>

#include "app/catalogue/ConversionFields.h"
#include "classlib/Forms.h"
#include "classlib/Streaming.h"

class TButton;
class TCustomImageList;
class TImage;
class TPanel;
class TQuillon;
class TkxSkinButton;
class TkxSkinComboBox;
class TkxSkinOfficeComboBox;
class TkxSkinPageControl;
class TkxSkinPanel;
class TkxSkinTabSheet;
class TkxSkinTextLabel;
class TkxVelara;

// What the settings form reads and writes outside itself: fields of the main window and the
// options dialog's choice to overwrite existing output files.
struct TForm6Link {
  catalogue::TConversionFields* Fields = nullptr;  // the main window's conversion fields
  int32_t* All_Trant_Number = nullptr;             // receives the format key
  // The main window's audio-only mark; when null, Fields->Video_DisableVideo.
  bool* Video_DisableVideo = nullptr;
  std::function<std::string()> OutputFolder;  // the text of the main window's output folder edit
  std::function<bool()> Overwrite;            // true: existing output files are replaced
};

class TForm6 : public TForm, public IFormBindings {
public:
  // Reads the form's description and runs its start-up chain. Link's Fields and
  // All_Trant_Number must be set; it must outlive the form.
  TForm6(TComponent* AOwner, TForm6Link Link);

  TkxVelara* kxVelara1 = nullptr;
  TkxSkinPanel* kxSkinPanel2 = nullptr;
  TkxSkinTextLabel* kxSkinTextLabel5 = nullptr;
  TkxSkinOfficeComboBox* kxSkinOfficeComboBox1 = nullptr;  // format list
  TkxSkinOfficeComboBox* kxSkinOfficeComboBox2 = nullptr;  // category list
  TkxSkinButton* kxSkinButton1 = nullptr;                  // invisible, no handler
  TPanel* Panel1 = nullptr;
  TButton* Button6 = nullptr;   // reset of the main window's conversion fields
  TButton* Button5 = nullptr;   // format parameters and output file name
  TButton* Button7 = nullptr;   // no handler
  TButton* Button2 = nullptr;   // fills the format list
  TButton* Button13 = nullptr;  // applies the picked presets
  TButton* Button11 = nullptr;  // no handler
  TButton* Button18 = nullptr;  // fills the preset lists
  TQuillon* Quill = nullptr;    // not used by the form
  TCustomImageList* ImageList1 = nullptr;  // the 12 category pictures
  TCustomImageList* ImageList2 = nullptr;  // empty, used by nothing
  TkxSkinPageControl* kxSkinPageControl1 = nullptr;
  TkxSkinTabSheet* kxSkinTabSheet1 = nullptr;  // "标准参数设置": the six preset lists
  TkxSkinTabSheet* kxSkinTabSheet2 = nullptr;  // "剪辑设置"
  // "滤镜设置"; component names are ASCII identifiers here, so it cannot bear its caption as
  // its name.
  TkxSkinTabSheet* kxSkinTabSheet4 = nullptr;
  TkxSkinButton* kxSkinButton3 = nullptr;  // Cancel
  TkxSkinButton* kxSkinButton2 = nullptr;  // OK
  TkxSkinTextLabel* kxSkinTextLabel3 = nullptr;
  TkxSkinComboBox* kxSkinComboBox1 = nullptr;  // resolution
  TkxSkinTextLabel* kxSkinTextLabel2 = nullptr;
  TkxSkinTextLabel* kxSkinTextLabel6 = nullptr;
  TkxSkinComboBox* kxSkinComboBox2 = nullptr;  // video bitrate
  TkxSkinComboBox* kxSkinComboBox9 = nullptr;  // frame rate
  TkxSkinTextLabel* kxSkinTextLabel4 = nullptr;
  TkxSkinTextLabel* kxSkinTextLabel7 = nullptr;
  TkxSkinComboBox* kxSkinComboBox3 = nullptr;   // audio bitrate
  TkxSkinComboBox* kxSkinComboBox10 = nullptr;  // sample rate
  TkxSkinTextLabel* kxSkinTextLabel9 = nullptr;
  TkxSkinComboBox* kxSkinComboBox4 = nullptr;  // aspect mode
  TkxSkinTabSheet* kxSkinTabSheet3 = nullptr;  // "文字水印"
  TImage* Image1 = nullptr;

  // The handlers, each bound to its control by the description; the sender is not used.
  void Button6Click(TObject* Sender);
  void Button2Click(TObject* Sender);
  void FormCreate(TObject* Sender);
  void kxSkinOfficeComboBox2Change(TObject* Sender);
  void kxSkinButton2Click(TObject* Sender);
  void Button13Click(TObject* Sender);
  void Button18Click(TObject* Sender);
  void kxSkinOfficeComboBox1Click(TObject* Sender);
  void kxSkinButton3Click(TObject* Sender);
  void Button5Click(TObject* Sender);

  // The format key of the selected category and format: (category + 1) * 100 + format.
  int FormatKey() const;

  void DeclareBindings(THandlerTable& Table) override;

protected:
  // For a derived form that adds bindings of its own: constructs without reading, and the
  // derived constructor calls ReadDescription once it is complete (the bindings are virtual).
  struct TReadLater {};
  TForm6(TComponent* AOwner, TForm6Link Link, TReadLater);
  void ReadDescription();
  void Loaded() override;

private:
  bool& DisableVideo();
  TForm6Link FLink;
};

// Registers the form's class and the classes its description holds; later calls do nothing.
void RegisterForm6Classes();
