// option.ini and the options dialog.
#include "app/forms/Unit1.h"

void TForm1::Button3Click(TObject* Sender) {}
void TForm1::Button4Click(TObject* Sender) {}
void TForm1::Button16Click(TObject* Sender) {}
void TForm1::Button17Click(TObject* Sender) {}
void TForm1::Button26Click(TObject* Sender) {}
