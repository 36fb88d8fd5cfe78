// Menus, tool buttons and small commands.
#include "app/forms/Unit1.h"

void TForm1::N21Click(TObject* Sender) {}
void TForm1::N3331Click(TObject* Sender) {}
void TForm1::N2222Click(TObject* Sender) {}
void TForm1::N4Click(TObject* Sender) {}
void TForm1::N5Click(TObject* Sender) {}
void TForm1::N15Click(TObject* Sender) {}
void TForm1::N19Click(TObject* Sender) {}
void TForm1::N23Click(TObject* Sender) {}
void TForm1::N24Click(TObject* Sender) {}
void TForm1::kxSkinButton9Click(TObject* Sender) {}
void TForm1::kxSkinButton19Click(TObject* Sender) {}
void TForm1::kxSkinButton1Click(TObject* Sender) {}
void TForm1::kxSkinSpeedButton1Click(TObject* Sender) {}
void TForm1::kxSkinButton5Click(TObject* Sender) {}
void TForm1::kxSkinButton6Click(TObject* Sender) {}
void TForm1::Video_OutPut_Folder_EditClick(TObject* Sender) {}
void TForm1::Button1Click(TObject* Sender) {}
void TForm1::Button21Click(TObject* Sender) {}
void TForm1::Button11Click(TObject* Sender) {}
void TForm1::Button19Click(TObject* Sender) {}
void TForm1::kxSkinCheckRadioBox1Click(TObject* Sender) {}
void TForm1::kxSkinCheckRadioBox2Click(TObject* Sender) {}
void TForm1::kxSkinPanel1Click(TObject* Sender) {}
