// The preview and the snapshots.
#include <cctype>
#include <cstdlib>
#include <memory>

#include "Src/MyUtils.h"
#include "app/forms/OptionIni.h"
#include "app/forms/Snapshots.h"
#include "app/forms/Unit1.h"
#include "base/Files.h"
#include "base/Format.h"
#include "base/IniFile.h"
#include "classlib/Graphics.h"
#include "platform/WinUser.h"
#include "platform/shell/ShellApi.h"

namespace {

const char* const kStateNames[] = {"Play", "Pause", "Resume", "Step", "Stop", "End"};

// The snapshot folder from option.ini; a folder that cannot be made is still used: the save
// then says why.
std::string ResolveSnapshotFolder() {
  std::string dir = options::ResolveSnapshotFolder(options::TOptionIni());
  if (!DirectoryExists(dir)) ForceDirectories(dir);
  return dir;
}

// The stream lists, once the player has chosen its streams (they are known only when Open has
// returned). The probe's full stream list is not reachable from here without the media
// headers, so only the streams the player plays are listed.
void FillStreamLists(TForm1* F) {
  TComboBox* lists[] = {F->cboVideo, F->cboAudio, F->cboSubtitle};
  for (TComboBox* c : lists) {
    c->Items()->BeginUpdate();
    c->Items()->Clear();
  }
  if (F->FFPlayer->VideoStreamIndex() >= 0) F->cboVideo->Items()->Add(Format("Video#%d", F->FFPlayer->VideoStreamIndex()));
  if (F->FFPlayer->AudioStreamIndex() >= 0) F->cboAudio->Items()->Add(Format("Audio#%d", F->FFPlayer->AudioStreamIndex()));
  if (F->FFPlayer->SubtitleStreamIndex() >= 0) F->cboSubtitle->Items()->Add(Format("Subtitle#%d", F->FFPlayer->SubtitleStreamIndex()));
  const int32_t video = F->FFPlayer->VideoStreamIndex();
  const int32_t audio = F->FFPlayer->AudioStreamIndex();
  F->cboVideo->SetEnabled(F->cboVideo->Items()->Count() >= 2 && video >= 0);
  F->cboVideo->SetItemIndex(F->cboVideo->Items()->IndexOf(Format("Video#%d", video)));
  F->cboAudio->SetEnabled(F->cboAudio->Items()->Count() >= 2 && audio >= 0);
  F->cboAudio->SetItemIndex(F->cboAudio->Items()->IndexOf(Format("Audio#%d", audio)));
  F->cboSubtitle->SetEnabled(F->cboSubtitle->Items()->Count() >= 1 && video >= 0);
  if (F->cboSubtitle->Enabled()) {
    F->cboSubtitle->Items()->Insert(0, "Subtitle#-1");
    F->cboSubtitle->SetItemIndex(F->cboSubtitle->Items()->IndexOf(Format("Subtitle#%d", F->FFPlayer->SubtitleStreamIndex())));
  }
  for (TComboBox* c : lists) c->Items()->EndUpdate();
}

}  // namespace

// ---- opening the preview ---------------------------------------------------------------------

void TForm1::Button31Click(TObject* Sender) {
  // The player's waits serve the main thread's hand-overs, through which another selection can
  // arrive while a file opens: that one is taken up once this open is done, never inside it.
  if (FPreviewBusy) {
    FPreviewPending = true;
    return;
  }
  FPreviewBusy = true;
  do {
    FPreviewPending = false;
    if (!FFPlayer->AVLibLoaded() && !FFPlayer->LoadAVLib(IncludeTrailingPathDelimiter(GetExeFolder()) + "LibAV")) {
      mmoLog->Lines()->Add(FFPlayer->LastErrMsg());
      break;
    }
    FScreenControl = FindControlByName(cboScreens->ItemIndex() >= 0 ? cboScreens->Items()->Strings(cboScreens->ItemIndex()) : "");
    if (FScreenControl) FScreenControl->HandleNeeded();
    else GetDesktopListView();
    switch (cboVideoDriver->ItemIndex()) {
      case 1: FFPlayer->VideoDriver = vdDirectDraw; break;
      case 2: FFPlayer->VideoDriver = vdGDI; break;
      default: FFPlayer->VideoDriver = vdDefault; break;
    }
    switch (cboAudioDriver->ItemIndex()) {
      case 1: FFPlayer->AudioDriver = adDirectSound; break;
      case 2: FFPlayer->AudioDriver = adWaveOut; break;
      default: FFPlayer->AudioDriver = adDefault; break;
    }
    FPreviewOpen = false;
    if (FFPlayer->Open(T_Movie_PLayer_FileName, Panel6->Handle(), chkOpenPaused->Checked())) {
      FPreviewOpen = true;
      FillStreamLists(this);
    } else {
      mmoLog->Lines()->Add(FFPlayer->LastErrMsg());
    }
  } while (FPreviewPending);
  FPreviewBusy = false;
}

void TForm1::FFPlayerFileOpen(TObject* Sender, int64_t ADuration, int32_t AFrameWidth, int32_t AFrameHeight,
                              int32_t& AScreenWidth, int32_t& AScreenHeight) {
  mmoLog->Lines()->Add(CFormat("duration: %f, frame size: %dx%d", ADuration / 1000000.0, AFrameWidth, AFrameHeight));
  if (FScreenControl) {
    AScreenWidth = FScreenControl->Width();
    AScreenHeight = FScreenControl->Height();
  } else {
    AScreenWidth = Screen->Width();
    AScreenHeight = Screen->Height();
  }
  FDuration = ADuration;
  Label2->SetCaption(Format("%f", ADuration / 1000000.0));
  Label3->SetCaption("0.0");
  kxSkinSlider1->SetIncrement(5);
  kxSkinSlider1->SetMaxValue(kxSkinSlider1->Width());
  kxSkinSlider1->SetValue(0);

}

void TForm1::FFPlayerPosition(TObject* Sender, int64_t APTS) {
  if (kxSkinSlider1_down_UP != "UP") return;
  Label3->SetCaption(Format("%f", APTS / 1000000.0));
  if (APTS >= 0 && FDuration > 0) kxSkinSlider1->SetValue(int32_t(int64_t(kxSkinSlider1->MaxValue()) * APTS / FDuration));
}

void TForm1::FFPlayerState(TObject* Sender, TPlayState AState) {
  if (int(AState) >= 0 && int(AState) < 6) mmoLog->Lines()->Add(kStateNames[int(AState)]);
  switch (AState) {
    case psPlay:
    case psResume:
      if (chkStayOnTop->Checked()) SetFormStyle(fsStayOnTop);
      break;
    case psPause:
    case psStep: SetFormStyle(fsNormal); break;
    case psStop:
      SetFormStyle(fsNormal);
      if (win::HWND h = FFPlayer->ScreenHandle()) {
        win::PostMessage(h, CM_INVALIDATE, 0, 0);
        win::UpdateWindow(h);
      }
      break;
    case psEnd:
      FFPlayer->Seek(int64_t(0), TSeekFlags{sfAny}, false);
      FFPlayer->Pause();
      break;
  }
}

// The player's Hook stays off, so the drawing hook never runs.
void TForm1::FFPlayerHook(TObject* Sender, TBitmap* ABitmap, int64_t APTS) {}

// ---- transport -------------------------------------------------------------------------------

void TForm1::kxSkinButton13Click(TObject* Sender) {
  FFPlayer->Resume();
  if (lvFiles->CanFocus()) lvFiles->SetFocus();
}

void TForm1::kxSkinButton14Click(TObject* Sender) {
  FFPlayer->Pause();
  if (lvFiles->CanFocus()) lvFiles->SetFocus();
}

void TForm1::kxSkinButton15Click(TObject* Sender) {
  if (!lvFiles->Selected() || FPreviewBusy) return;
  FPreviewBusy = true;
  try {
    FFPlayer->Stop(true);
    FPreviewOpen = false;
    if (FFPlayer->Open(T_Movie_PLayer_FileName, Panel6->Handle(), chkOpenPaused->Checked())) FPreviewOpen = true;
    else mmoLog->Lines()->Add(FFPlayer->LastErrMsg());
    if (lvFiles->CanFocus()) lvFiles->SetFocus();
  } catch (...) {
    FFPlayer->Stop(true);
  }
  FPreviewBusy = false;
}

void TForm1::kxSkinButton16Click(TObject* Sender) {
  FFPlayer->SetMute(true);
  kxSkinButton20->SetVisible(true);
  kxSkinButton16->SetVisible(false);
}

void TForm1::kxSkinButton20Click(TObject* Sender) {
  FFPlayer->SetMute(false);
  kxSkinButton20->SetVisible(false);
  kxSkinButton16->SetVisible(true);
}

void TForm1::kxSkinSlider1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
  kxSkinSlider1_down_UP = "Down";
  FFPlayer->Pause();
}

void TForm1::kxSkinSlider1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
  // Without an open file, or with no range to divide by, a release only lets go of the slider.
  const int32_t max = kxSkinSlider1->MaxValue();
  if (FPreviewOpen && max > 0) {
    FFPlayer->Pause();
    FFPlayer->Seek(FDuration * kxSkinSlider1->Value() / max, TSeekFlags{}, false);
    FFPlayer->Resume();
  }
  kxSkinSlider1_down_UP = "UP";
}

void TForm1::kxSkinSlider1Change(TObject* Sender) {}
void TForm1::TrackBar2Change(TObject* Sender) { FFPlayer->SetAudioVolume(TrackBar2->Position()); }
void TForm1::TrackBar1Change(TObject* Sender) {}
void TForm1::chkPreviewClick(TObject* Sender) { Quill->SetPreview(chkPreview->Checked()); }

void TForm1::WindowPosChangedHandler(TMessage& Message) {
  if (FFPlayer) FFPlayer->UpdateScreenPosition();
}
void TForm1::WindowPosChangingHandler(TMessage& Message) {
  if (FFPlayer) FFPlayer->UpdateScreenPosition();
}

TWinControl* TForm1::FindControlByName(const std::string& AName) {
  for (int32_t i = 0; i < ControlCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(Controls(i)); w && w->Name() == AName) return w;
  return nullptr;
}

// The desktop's list view only mattered to a screen on the Windows desktop; there is none here.
void TForm1::GetDesktopListView() {}

// ---- snapshots -------------------------------------------------------------------------------

int TForm1::ResolveSnapshotType() {
  auto type = snapshots::SnapshotTypeFromText(options::ResolveSnapshotPicture(options::TOptionIni()));
  if (!type) type = snapshots::TSnapshotType::Bmp;
  TMenuItem* items[] = {BMP1, JPG1, GIF1, PNG1};
  items[int(*type)]->SetChecked(true);
  return int(*type);
}

void TForm1::kxSkinButton22Click(TObject* Sender) {
  std::unique_ptr<TBitmap> frame = FFPlayer->CurrentFrame();
  const std::string folder = ResolveSnapshotFolder();
  const auto type = snapshots::TSnapshotType(ResolveSnapshotType());
  if (!frame || frame->Width() == 0) return;
  snapshots::TakeSnapshot(*frame, T_Movie_PLayer_FileName, folder, type);
}

void TForm1::kxSkinButton23MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button != mbLeft) return;
  win::POINT p{};
  win::GetCursorPos(&p);
  kxSkinPopupMenu2->Popup(p.x, p.y);
}

void TForm1::kxSkinButton23Click(TObject* Sender) { ResolveSnapshotType(); }

void TForm1::SetSnapshotType(TMenuItem* AItem, const char* AText) {
  options::WriteSnapshotPicture(options::TOptionIni(), AText);
  AItem->SetChecked(true);
}

void TForm1::BMP1Click(TObject* Sender) { SetSnapshotType(BMP1, "BMP"); }
void TForm1::JPG1Click(TObject* Sender) { SetSnapshotType(JPG1, "JPG"); }
void TForm1::GIF1Click(TObject* Sender) { SetSnapshotType(GIF1, "GIF"); }
void TForm1::PNG1Click(TObject* Sender) { SetSnapshotType(PNG1, "PNG"); }

void TForm1::MenuItem1Click(TObject* Sender) {
  win::ShellExecute(Handle(), "", ResolveSnapshotFolder(), "", "", win::SW_SHOWNORMAL);
}

void TForm1::MenuItem2Click(TObject* Sender) {
  // The dialog is shared with the output folder's browse; a cancelled one keeps its folder.
  kxSkinSelectDirectoryDialog2->Execute();
  const std::string dir = kxSkinSelectDirectoryDialog2->Directory;
  if (!dir.empty() && DirectoryExists(dir)) options::WriteSnapshotFolder(options::TOptionIni(), dir);
}

void TForm1::btnCaptureClick(TObject* Sender) {
  std::unique_ptr<TBitmap> frame = FFPlayer->CurrentFrame();
  if (!frame || frame->Width() <= 0 || !SavePictureDialog1 || !SavePictureDialog1->Execute()) return;
  const std::string name = SavePictureDialog1->FileName();
  std::string ext = ExtractFileExt(name);
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  snapshots::SaveSnapshot(*frame, name, ext == ".bmp" ? snapshots::TSnapshotType::Bmp : snapshots::TSnapshotType::Jpg);
}
