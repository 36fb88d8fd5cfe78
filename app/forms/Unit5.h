#pragma once
// The options dialog "选项": the section Options of option.ini as controls. It is made once at
// start-up, reads the file at once and lives for the whole run; its controls are the live
// option values that the rest of the program reads (thread count and priority when a
// conversion starts, the after-done action when all have ended, the overwrite choice when an
// output name is made). OK writes the controls to the file and closes; Cancel only closes:
// what was changed stays in effect for the run, and the file keeps the old values.
//
// The dialog's frame and controls take the main window's skin data (Form1.kxSkinData1), and
// the live-preview box switches the preview of the main window's task component (Form1.Quill).
#include <string>

#include "app/forms/OptionIni.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"

class TkxVelara;
class TkxSkinGroupBox;
class TkxSkinCheckRadioBox;
class TkxSkinStdLabel;
class TkxSkinComboBox;
class TkxSkinButton;
class TCustomQuillon;

class TForm5 : public TForm {
public:
  // Reads the form's description (forms/Form5.dfm), which runs FormCreate.
  explicit TForm5(TComponent* AOwner);
  ~TForm5() override;

  TkxVelara* kxVelara1 = nullptr;
  TkxSkinGroupBox* kxSkinPanel3 = nullptr;           // "转换工作完成后"
  TkxSkinCheckRadioBox* kxSkinCheckRadioBox1 = nullptr;  // open the output folder
  TkxSkinCheckRadioBox* kxSkinCheckRadioBox2 = nullptr;  // power off
  TkxSkinCheckRadioBox* kxSkinCheckRadioBox4 = nullptr;  // play the finish sound
  TkxSkinCheckRadioBox* kxSkinCheckRadioBox5 = nullptr;  // nothing
  TkxSkinGroupBox* kxSkinPanel1 = nullptr;           // "如果输出文件存在时"
  TkxSkinCheckRadioBox* kxSkinCheckRadioBox3 = nullptr;  // overwrite
  TkxSkinCheckRadioBox* kxSkinCheckRadioBox6 = nullptr;  // give the output a new name
  TkxSkinGroupBox* kxSkinPanel2 = nullptr;           // "转换参数"
  TkxSkinStdLabel* kxSkinStdLabel1 = nullptr;
  TkxSkinComboBox* kxSkinComboBox2 = nullptr;        // thread count "1".."19"
  TkxSkinCheckRadioBox* kxSkinCheckRadioBox7 = nullptr;  // multi-thread mode (never visible)
  TkxSkinCheckRadioBox* kxSkinCheckRadioBox8 = nullptr;  // live preview
  TkxSkinGroupBox* kxSkinPanel4 = nullptr;           // "转换时CPU利用方式"
  TkxSkinCheckRadioBox* kxSkinCheckRadioBox9 = nullptr;   // idle
  TkxSkinCheckRadioBox* kxSkinCheckRadioBox10 = nullptr;  // lowest
  TkxSkinCheckRadioBox* kxSkinCheckRadioBox11 = nullptr;  // lower
  TkxSkinCheckRadioBox* kxSkinCheckRadioBox12 = nullptr;  // normal
  TkxSkinButton* kxSkinButton6 = nullptr;            // "确定"
  TkxSkinButton* kxSkinButton1 = nullptr;            // "取消"
  TPanel* Panel1 = nullptr;                          // never visible
  TButton* Button1 = nullptr;                        // "读取ini"
  TButton* Button2 = nullptr;                        // "写ini"

  void FormCreate(TObject* Sender);
  // Reads the section Options into the controls.
  void Button1Click(TObject* Sender);
  // Writes the controls into the section Options.
  void Button2Click(TObject* Sender);
  // OK: writes, then closes.
  void kxSkinButton6Click(TObject* Sender);
  // Cancel: closes; nothing is written and nothing undone.
  void kxSkinButton1Click(TObject* Sender);
  void kxSkinCheckRadioBox7Click(TObject* Sender);
  void kxSkinCheckRadioBox8Click(TObject* Sender);

  // The controls' values as the section Options stores them.
  options::TDialogOptionsWrite ControlValues() const;

  // The task component whose live preview the dialog switches: Form1's Quill, or nullptr.
  static TCustomQuillon* TaskComponent();
};

// The options dialog, made by the program block after the main window.
extern TForm5* Form5;

// Whether an existing output file is overwritten rather than the output given a new name: the
// options dialog's "直接覆盖输出文件". False while there is no dialog.
bool OverwriteOutputFiles();
