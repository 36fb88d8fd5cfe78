// Menus, tool buttons and small commands: the skin, help, the maker's home page, the output
// folder, the open dialogs' filter, the about box, the options dialog and exit.
#include <string>

#include "app/forms/OpenFilter.h"
#include "app/forms/Unit1.h"
#include "app/forms/Unit2.h"
#include "base/Files.h"
#include "platform/shell/ShellApi.h"

namespace {

// The shell opens files, folders and addresses with the desktop's handler. What it cannot open
// is not reported: the commands that use it say nothing either.
void ShellOpen(TForm1* Form, const std::string& Target) {
  win::ShellExecute(Form->HandleAllocated() ? Form->Handle() : nullptr, "", Target, "", "", win::SW_SHOWNORMAL);
}

void FocusJobList(TForm1* Form) {
  if (Form->lvFiles) Form->lvFiles->SetFocus();
}

}  // namespace

// ---- forwarding to the command buttons ----------------------------------------------------------

void TForm1::N21Click(TObject*) { Button12->Click(); }
void TForm1::N3331Click(TObject*) { Button12->Click(); }
void TForm1::N2222Click(TObject*) { Button8->Click(); }

// ---- exit, about box, options dialog ------------------------------------------------------------

void TForm1::N4Click(TObject*) { Close(); }

void TForm1::N5Click(TObject*) {
  if (Form2) Form2->ShowModal();
}

// Every opener of the options dialog goes through the one command that shows it.
void TForm1::N24Click(TObject*) { Button26->Click(); }
void TForm1::kxSkinButton19Click(TObject*) { Button26->Click(); }
void TForm1::kxSkinButton1Click(TObject*) { Button26->Click(); }
void TForm1::kxSkinSpeedButton1Click(TObject*) { Button26->Click(); }

// ---- skin ---------------------------------------------------------------------------------------

// The chosen skin is loaded into every skinned window by the skin data; the skin index is
// stored whether or not the user chose one.
void TForm1::N23Click(TObject*) {
  if (kxSelectSkinDialog1->Execute(kxSkinData1->SkinIndex()))
    kxSkinData1->SetSkinIndex(kxSelectSkinDialog1->SelectedSkinIndex());
  Button4->Click();
}

void TForm1::kxSkinButton9Click(TObject* Sender) { N23Click(Sender); }

// ---- help and home page -------------------------------------------------------------------------

void TForm1::N15Click(TObject*) { ShellOpen(this, ExecutableDir() + "help.chm"); }
void TForm1::Button1Click(TObject* Sender) { N15Click(Sender); }
void TForm1::N19Click(TObject*) { ShellOpen(this, std::string(about::HomePage)); }

// ---- the output folder --------------------------------------------------------------------------

// The dialog's folder is taken even when it was cancelled: a cancelled dialog keeps the folder
// it had, which is then the current one again (or none, before any was picked).
void TForm1::kxSkinButton5Click(TObject*) {
  kxSkinSelectDirectoryDialog2->Execute();
  const std::string dir = kxSkinSelectDirectoryDialog2->Directory;
  if (dir.empty() || !DirectoryExists(dir)) return;
  Video_OutPut_Folder_Edit->SetText(dir);
  FileOutPutPath = dir == "/" ? dir : ExcludeTrailingPathDelimiter(dir);
  Button16->Click();
  FocusJobList(this);
}

void TForm1::kxSkinButton6Click(TObject*) {
  Button20->Click();
  FocusJobList(this);
}

void TForm1::Video_OutPut_Folder_EditClick(TObject*) { FocusJobList(this); }

// ---- the open dialogs' filter -------------------------------------------------------------------

void TForm1::Button21Click(TObject*) {
  const std::string filter = openfilter::FilterText();
  if (OpenDialog1) OpenDialog1->Filter = filter;
  if (OpenDialog2) OpenDialog2->Filter = filter;
}

// ---- handlers that only move the focus, or do nothing -------------------------------------------

void TForm1::Button11Click(TObject*) {}
void TForm1::Button19Click(TObject*) {}
void TForm1::kxSkinCheckRadioBox1Click(TObject*) { FocusJobList(this); }
void TForm1::kxSkinCheckRadioBox2Click(TObject*) { FocusJobList(this); }
void TForm1::kxSkinPanel1Click(TObject*) { (void)lvFiles->Selected(); }
