// Adding, selecting and editing jobs.
#include "app/forms/Unit1.h"

void TForm1::btnAddClick(TObject* Sender) {}
void TForm1::Button8Click(TObject* Sender) {}
void TForm1::Button12Click(TObject* Sender) {}
void TForm1::lvFilesSelectItem(TObject* Sender, TListItem* Item, bool Selected) {}
void TForm1::lvFilesClick(TObject* Sender) {}
void TForm1::lvFilesDblClick(TObject* Sender) {}
void TForm1::kxSkinButton21Click(TObject* Sender) {}
void TForm1::N26Click(TObject* Sender) {}
void TForm1::edtExit(TObject* Sender) {}
void TForm1::kxSkinButton3Click(TObject* Sender) {}
void TForm1::kxSkinButton4Click(TObject* Sender) {}
void TForm1::btnRemoveClick(TObject* Sender) {}
void TForm1::btnClearClick(TObject* Sender) {}
void TForm1::Button14Click(TObject* Sender) {}
void TForm1::Button15Click(TObject* Sender) {}
void TForm1::Button27Click(TObject* Sender) {}
std::string TForm1::GenerateOutputFileName(const std::string& AFileName, const std::string& AFileExt) { return {}; }
