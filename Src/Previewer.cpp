#include "Src/Previewer.h"

#include "Src/FFmpeg.h"
#include "Src/MyUtils.h"
#include "base/Format.h"
#include "classlib/Graphics.h"
#include "platform/WinUser.h"

TPreviewer::TPreviewer() = default;

TPreviewer::~TPreviewer() {
  if (!FForm && !FAppMessageHook) return;
  CallInMainThread([this] {
    if (FAppMessageHook && Application) Application->RemoveMessageHook(FAppMessageHook);
    FAppMessageHook = 0;
    FForm.reset();
  });
}

std::string TPreviewer::FormatPTS(int64_t APTS) {
  if (APTS == NoPTS) return "N/A";
  int64_t ms = APTS / 1000;
  const int64_t h = ms / 3600000;
  ms %= 3600000;
  return Format("%.2d:%.2d:%.2d.%.3d", int(h), int(ms / 60000), int(ms / 1000 % 60), int(ms % 1000));
}

bool TPreviewer::PaintFrame(TBitmap* ABitmap, int32_t AFrameNumber, int64_t APTS) {
  if (FClosed) return false;
  CallInMainThread([&] {
    FBitmap = ABitmap;
    FFrameNumber = AFrameNumber;
    FPTS = APTS;
    ShowFrame();
    FBitmap = nullptr;  // the engine's picture is only lent for this call
  });
  return !FClosed;
}

void TPreviewer::ShowFrame() {
  if (FClosed || !FBitmap) return;
  if (!FForm) {
    FForm = std::make_unique<TForm>(nullptr);
    FForm->SetFormStyle(fsStayOnTop);
    FForm->SetBorderStyle(bsToolWindow);
    FForm->SetBorderIcons(TBorderIcons{biSystemMenu});
    FForm->SetPosition(poScreenCenter);
    FForm->SetClientSize(TPoint{FBitmap->Width(), FBitmap->Height()});
    FForm->OnCloseQuery = [this](TObject*, bool& CanClose) {
      FClosed = true;
      CanClose = true;
    };
    FForm->OnPaint = [this](TObject*) {
      if (FShown) FForm->Canvas()->Draw(0, 0, FShown.get());
    };
    FFormHandle = FForm->Handle();
    if (Application)
      FAppMessageHook = Application->AddMessageHook([this](win::MSG& Msg, bool& Handled) { AppMessage(Msg, Handled); });
    FForm->Show();
  }
  // The form keeps its own copy: the engine's bitmap is reused for the next picture.
  if (!FShown) FShown = std::make_unique<TBitmap>();
  FShown->Assign(FBitmap);
  FForm->SetCaption(FormatPTS(FPTS));
  FForm->Invalidate();
  FForm->Update();
}

void TPreviewer::AppMessage(win::MSG& Msg, bool& Handled) {
  // A press anywhere on the picture drags the window, as a press on a caption does.
  if (Msg.message == win::WM_LBUTTONDOWN && Msg.hwnd == FFormHandle) {
    const win::DWORD pos = win::GetMessagePos();
    win::SendMessage(FFormHandle, win::WM_NCLBUTTONDOWN, win::HTCAPTION, win::LPARAM(pos));
    Handled = true;
  }
}

// The engine's preview post hook shows its pictures in a previewer of its own, made on demand.
bool TCustomFFmpeg::PaintPreviewFrame(TBitmap* ABitmap, int32_t AFrameNumber, int64_t APTS) {
  if (!FPreviewer) FPreviewer = std::make_unique<TPreviewer>();
  return FPreviewer->PaintFrame(ABitmap, AFrameNumber, APTS);
}

void TCustomFFmpeg::ReleasePreviewer() { FPreviewer.reset(); }
