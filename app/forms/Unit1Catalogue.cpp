// The category and format lists, the conversion fields and the six preset lists.
#include "app/forms/Unit1.h"

void TForm1::Button2Click(TObject* Sender) {}
void TForm1::Button5Click(TObject* Sender) {}
void TForm1::Button6Click(TObject* Sender) {}
void TForm1::Button7Click(TObject* Sender) {}
void TForm1::Button13Click(TObject* Sender) {}
void TForm1::Button18Click(TObject* Sender) {}
void TForm1::kxSkinOfficeComboBox2Change(TObject* Sender) {}
void TForm1::kxSkinOfficeComboBox1Change(TObject* Sender) {}
void TForm1::kxSkinComboBox1Change(TObject* Sender) {}
void TForm1::kxSkinComboBox2Change(TObject* Sender) {}
void TForm1::kxSkinComboBox3Change(TObject* Sender) {}
void TForm1::kxSkinComboBox4Change(TObject* Sender) {}
void TForm1::kxSkinComboBox9Change(TObject* Sender) {}
void TForm1::kxSkinComboBox10Change(TObject* Sender) {}
std::string TForm1::SelectedFormatExtension() const { return {}; }
