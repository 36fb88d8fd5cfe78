// option.ini and the options dialog.
#include "app/forms/OptionIni.h"
#include "app/forms/Unit1.h"
#include "app/forms/Unit5.h"
#include "lib/controls/kxSkinEdits.h"
#include "lib/skin/kxSkinData.h"

// The stored skin. An index outside the skin list is ignored by the skin data, which keeps its
// skin; a value that is no whole number counts as missing.
void TForm1::Button3Click(TObject* Sender) {
  kxSkinData1->SetSkinIndex(options::ReadSkinIndex(options::TOptionIni()));
}

void TForm1::Button4Click(TObject* Sender) {
  options::WriteSkinIndex(options::TOptionIni(), kxSkinData1->SkinIndex());
}

// Stores the output folder, only when it exists.
void TForm1::Button16Click(TObject* Sender) { options::WriteOutPath(options::TOptionIni(), FileOutPutPath); }

// The stored output folder (made again when gone), or the default one, made and stored.
void TForm1::Button17Click(TObject* Sender) {
  FileOutPutPath = options::ReadOutPath(options::TOptionIni());
  Video_OutPut_Folder_Edit->SetText(FileOutPutPath);
}

void TForm1::Button26Click(TObject* Sender) {
  if (Form5) Form5->ShowModal();
}
