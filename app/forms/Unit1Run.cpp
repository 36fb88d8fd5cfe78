// Running the conversion: start, stop, pause, resume, progress and the end of the tasks.
#include "app/forms/Unit1.h"

void TForm1::btnStartClick(TObject* Sender) {}
void TForm1::button28Click(TObject* Sender) {}
void TForm1::btnStopClick(TObject* Sender) {}
void TForm1::btnPauseClick(TObject* Sender) {}
void TForm1::btnResumeClick(TObject* Sender) {}
void TForm1::kxSkinButton11Click(TObject* Sender) {}
void TForm1::kxSkinButton12Click(TObject* Sender) {}
void TForm1::Button22Click(TObject* Sender) {}
void TForm1::Button23Click(TObject* Sender) {}
void TForm1::Button24Click(TObject* Sender) {}
void TForm1::QuillProgress(TObject* Sender, PProgressInfo AProgressInfo) {}
void TForm1::QuillTerminate(TObject* Sender, const TTerminateInfo& ATerminateInfo) {}
void TForm1::FFLoggerLog(TObject* Sender, uint32_t AThreadID, TLogLevel ALogLevel, const std::string& ALogMsg) {}
void TForm1::Button20Click(TObject* Sender) {}
void TForm1::Button25Click(TObject* Sender) {}
void TForm1::Button29Click(TObject* Sender) {}
