// The preview and the snapshots.
#include "app/forms/Unit1.h"

void TForm1::Button31Click(TObject* Sender) {}
void TForm1::FFPlayerFileOpen(TObject* Sender, int64_t ADuration, int32_t AFrameWidth, int32_t AFrameHeight,
                              int32_t& AScreenWidth, int32_t& AScreenHeight) {}
void TForm1::FFPlayerPosition(TObject* Sender, int64_t APTS) {}
void TForm1::FFPlayerState(TObject* Sender, TPlayState AState) {}
void TForm1::FFPlayerHook(TObject* Sender, TBitmap* ABitmap, int64_t APTS) {}
void TForm1::kxSkinButton13Click(TObject* Sender) {}
void TForm1::kxSkinButton14Click(TObject* Sender) {}
void TForm1::kxSkinButton15Click(TObject* Sender) {}
void TForm1::kxSkinButton16Click(TObject* Sender) {}
void TForm1::kxSkinButton20Click(TObject* Sender) {}
void TForm1::kxSkinSlider1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {}
void TForm1::kxSkinSlider1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {}
void TForm1::kxSkinSlider1Change(TObject* Sender) {}
void TForm1::TrackBar2Change(TObject* Sender) {}
void TForm1::TrackBar1Change(TObject* Sender) {}
void TForm1::chkPreviewClick(TObject* Sender) {}
void TForm1::WindowPosChangedHandler(TMessage& Message) {}
void TForm1::WindowPosChangingHandler(TMessage& Message) {}
TWinControl* TForm1::FindControlByName(const std::string& AName) { return nullptr; }
void TForm1::GetDesktopListView() {}
void TForm1::kxSkinButton22Click(TObject* Sender) {}
void TForm1::kxSkinButton23MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {}
void TForm1::kxSkinButton23Click(TObject* Sender) {}
void TForm1::BMP1Click(TObject* Sender) {}
void TForm1::JPG1Click(TObject* Sender) {}
void TForm1::GIF1Click(TObject* Sender) {}
void TForm1::PNG1Click(TObject* Sender) {}
void TForm1::MenuItem1Click(TObject* Sender) {}
void TForm1::MenuItem2Click(TObject* Sender) {}
void TForm1::btnCaptureClick(TObject* Sender) {}
