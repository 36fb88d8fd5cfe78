// Adding, selecting and editing jobs: the three adds, the selection that puts a row's choices
// back into the lists, rename, moves, removal, clearing and the job slots.
#include <fnmatch.h>

#include <array>
#include <exception>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "Src/AVProbe.h"
#include "app/catalogue/FormatCatalogue.h"
#include "app/catalogue/FormatParams.h"
#include "app/catalogue/OutputRecord.h"
#include "app/catalogue/Presets.h"
#include "app/forms/JobList.h"
#include "app/forms/Unit1.h"
#include "base/Exception.h"
#include "base/Files.h"
#include "base/Format.h"
#include "base/MainThread.h"
#include "base/Text.h"
#include "platform/WinUser.h"

using namespace joblist;

namespace {

constexpr const char* kHintTitle = "提示";

// Paints what waits to be painted and serves the hand-overs of other threads, leaving input
// waiting: a long add keeps the window drawn without letting the user start anything else.
void ServePaintAndHandOvers() {
  CheckSynchronize();
  win::MSG m;
  while (win::PeekMessage(&m, nullptr, win::WM_PAINT, win::WM_PAINT, win::PM_REMOVE)) win::DispatchMessage(&m);
}

// The six preset lists' positions, by role.
std::array<int, catalogue::kPresetRoleCount> PresetPositions(TForm1& F) {
  using catalogue::RoleIndex;
  using catalogue::TPresetRole;
  std::array<int, catalogue::kPresetRoleCount> p{};
  p[RoleIndex(TPresetRole::Resolution)] = F.kxSkinComboBox1->ItemIndex();
  p[RoleIndex(TPresetRole::VideoBitrate)] = F.kxSkinComboBox2->ItemIndex();
  p[RoleIndex(TPresetRole::AudioBitrate)] = F.kxSkinComboBox3->ItemIndex();
  p[RoleIndex(TPresetRole::Aspect)] = F.kxSkinComboBox4->ItemIndex();
  p[RoleIndex(TPresetRole::FrameRate)] = F.kxSkinComboBox9->ItemIndex();
  p[RoleIndex(TPresetRole::SampleRate)] = F.kxSkinComboBox10->ItemIndex();
  return p;
}

}  // namespace

// ---- helpers of this area -----------------------------------------------------------------------

void TForm1::JobsLog(const std::string& ALine) { mmoLog->Lines()->Add(ALine); }

void TForm1::JobsLogBetweenBlanks(const std::string& ALine) {
  JobsLog("");
  JobsLog(ALine);
  JobsLog("");
}

void TForm1::JobsHint(const std::string& AText) {
  kxSkinMessage1->MessageDlg2(AText, kHintTitle, mtInformation, {mbOK}, 0);
}

void TForm1::JobsFocus(TWinControl* AControl) {
  if (AControl && AControl->CanFocus()) AControl->SetFocus();
}

bool TForm1::ChooseFilesToAdd(TAddKind AKind, std::vector<std::string>& AFiles) {
  AFiles.clear();
  if (AKind != TAddKind::Folder) {
    if (OnChooseFiles) return OnChooseFiles(AKind, AFiles);
    TkxSkinOpenDialog* dlg = AKind == TAddKind::OneFile ? OpenDialog1 : OpenDialog2;
    dlg->SetTitle("打开文件");
    if (!dlg->Execute() || !FileExists(dlg->FileName())) return false;
    if (AKind == TAddKind::OneFile) {
      AFiles.push_back(dlg->FileName());
    } else {
      TStrings* files = dlg->Files();
      for (int32_t i = 0; i < files->Count(); ++i) AFiles.push_back(files->Get(i));
    }
    return true;
  }
  std::string dir;
  if (OnChooseFiles) {
    std::vector<std::string> chosen;
    OnChooseFiles(AKind, chosen);
    if (!chosen.empty()) dir = chosen.front();
  } else {
    kxSkinSelectDirectoryDialog1->SetTitle("选择目录");
    // The folder counts whatever the dialog answered.
    kxSkinSelectDirectoryDialog1->Execute();
    dir = kxSkinSelectDirectoryDialog1->Directory;
  }
  if (dir.empty() || !DirectoryExists(dir)) return false;
  ListBox1->Items()->Clear();
  for (const std::string& f : GetFilenames(dir, "*.*")) {
    ListBox1->Items()->Add(f);
    AFiles.push_back(f);
  }
  return true;
}

std::vector<std::string> TForm1::GetFilenames(const std::string& AFilePath, const std::string& AExtMask) {
  return ListFolderFiles(AFilePath, AExtMask, false);
}

std::vector<std::string> TForm1::GetFilenamesEx(const std::string& AFilePath, const std::string& AExtMask) {
  return ListFolderFiles(AFilePath, AExtMask, true);
}

bool TForm1::EnsureMediaLibraries() {
  if (Quill->AVLibLoaded()) return true;
  if (Quill->LoadAVLib(ExecutableDir() + "LibAV")) return true;
  JobsLog(Quill->LastErrMsg());
  return false;
}

// One file of an add: probe, task, the format's values and presets, output, row and slot.
TForm1::TAddResult TForm1::AddOneJob(const std::string& P, TAddKind AKind) {
  // Checked before the file is even probed: a job that cannot be kept is never half added.
  if (FJobSlots.FirstFree() < 0) {
    JobsHint(Format("任务列表最多可以容纳%d个文件，请先清空列表再添加！", kJobSlotCount));
    return TAddResult::Full;
  }
  TAVProbe* probe = Quill->AVProbe();
  if (!probe->LoadFile(P)) {
    JobsLogBetweenBlanks("***File load error: " + probe->LastErrMsg());
    return TAddResult::Unreadable;
  }
  const TProbeFacts facts = ProbeFactsOf(*probe);
  probe->CloseFile();
  Video_AddFileName = P;

  TInputOptions input;
  InitInputOptions(input);
  const int32_t task = Quill->AddTask(P, &input);
  if (task < 0) {
    JobsLogBetweenBlanks("***File open error: " + Quill->LastErrMsg());
    return AKind == TAddKind::OneFile ? TAddResult::Unreadable : TAddResult::Stop;
  }
  JobsLog("");
  if (TAVProbe* taskProbe = Quill->GetTaskAVProbe(task, 0)) JobsLog(taskProbe->FileInfoText());

  TOutputOptions output;
  InitOutputOptions(output);
  Button5->Click();
  Button13->Click();
  output = catalogue::OutputRecordOfFields(*this);
  if (!Quill->SetOutputFile(task, Video_OutPutFileName, &output)) {
    Quill->RemoveTask(task);
    JobsLogBetweenBlanks("***Cannot do convert, error: " + Quill->LastErrMsg());
    return AKind == TAddKind::OneFile ? TAddResult::Unreadable : TAddResult::Stop;
  }

  kxSkinPanel5->Hide();
  TNewJob job;
  job.InputPath = input.FileName.empty() ? P : input.FileName;
  job.Probe = facts;
  job.TaskIndex = task;
  job.FormatCode = FormatCodeText(kxSkinOfficeComboBox2->ItemIndex(), kxSkinOfficeComboBox1->ItemIndex());
  job.PresetCode = catalogue::PresetCode(PresetPositions(*this));
  job.Output = &output;
  TListItem* item = lvFiles->Items()->Add();
  WriteJobRow(item, NewJobRow(job));
  if (AKind == TAddKind::OneFile) JobsFocus(lvFiles);

  RemoveGroup(true);
  RenameGroup(true);
  ClearGroup(true);
  StartGroup(true);
  FJobSlots.Claim(item->Index(), input, output);

  JobsLogBetweenBlanks("***Can do convert.");
  StartGroup(true);
  JobsFocus(btnStart);
  // Only now: a file whose add failed is never the one snapshots are named after.
  T_Movie_PLayer_FileName = P;
  return TAddResult::Added;
}

void TForm1::RunAdd(TAddKind AKind) {
  const int32_t rowsBefore = lvFiles->Items()->Count();
  Button6->Click();
  if (!EnsureMediaLibraries()) return;
  std::vector<std::string> files;
  if (!ChooseFilesToAdd(AKind, files)) return;
  if (AKind == TAddKind::OneFile && (files.empty() || !FileExists(files.front()))) return;

  std::vector<std::string> unreadable;
  // The log is off screen: the user learns here which files were not taken.
  auto tellUnreadable = [&] {
    if (unreadable.empty()) return;
    std::string names;
    for (const std::string& f : unreadable) names += "\n" + f;
    JobsHint("以下文件无法打开，没有添加到列表：" + names);
  };
  bool added = false;
  for (auto it = files.rbegin(); it != files.rend(); ++it) {
    const TAddResult r = AddOneJob(*it, AKind);
    if (r == TAddResult::Stop) {
      tellUnreadable();
      return;
    }
    if (r == TAddResult::Full) break;
    if (r == TAddResult::Unreadable) unreadable.push_back(*it);
    added |= r == TAddResult::Added;
    ServePaintAndHandOvers();
  }

  if (lvFiles->Items()->Count() > 0 && (added || AKind != TAddKind::OneFile)) {
    lvFiles->SetItemIndex(lvFiles->Items()->Count() - 1);
    JobsFocus(lvFiles);
  }
  tellUnreadable();
  if (AKind == TAddKind::Folder && lvFiles->Items()->Count() <= rowsBefore)
    JobsHint("在该目录没有发现可以用的视频或音频文件！");
}

// ---- the three adds -----------------------------------------------------------------------------

void TForm1::btnAddClick(TObject* Sender) { RunAdd(TAddKind::OneFile); }
void TForm1::Button8Click(TObject* Sender) { RunAdd(TAddKind::Files); }
void TForm1::Button12Click(TObject* Sender) { RunAdd(TAddKind::Folder); }

std::vector<std::string> TForm1::ListFolderFiles(const std::string& AFolder, const std::string& AMask, bool ASubFolders) {
  std::vector<std::string> files;
  if (!DirectoryExists(AFolder)) return files;
  const std::string folder = IncludeTrailingPathDelimiter(AFolder);
  // "*.*" names every file, as it always has, also one without a dot.
  const std::string mask = AMask == "*.*" ? "*" : AMask;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (::fnmatch(mask.c_str(), name.c_str(), 0) != 0) continue;
    std::error_code dirEc;
    if (std::filesystem::is_directory(it->path(), dirEc)) {
      if (ASubFolders) {
        std::vector<std::string> inner = ListFolderFiles(folder + name, AMask, false);
        files.insert(files.end(), inner.begin(), inner.end());
      }
      continue;
    }
    files.push_back(folder + name);
  }
  return files;
}

// ---- selection ----------------------------------------------------------------------------------

void TForm1::lvFilesSelectItem(TObject* Sender, TListItem* Item, bool Selected) {
  // A row whose codes cannot be read back, or no row at all, leaves the lists as they are.
  try {
    const int32_t r = lvFiles->ItemIndex();
    if (r < 0) return;
    TListItem* row = lvFiles->Items()->Item(r);
    const auto format = ReadFormatCodeCell(JobCell(row, jcFormatCode));
    if (!format) return;
    // All six pieces are read before anything is set.
    const auto presets = catalogue::ReadPresetCode(JobCell(row, jcPresetCode));
    if (!presets) return;
    kxSkinOfficeComboBox2->SetItemIndex(format->Category);
    kxSkinOfficeComboBox1->SetItemIndex(format->Format);
    using catalogue::RoleIndex;
    using catalogue::TPresetRole;
    const auto& p = *presets;
    kxSkinComboBox1->SetItemIndex(p[RoleIndex(TPresetRole::Resolution)]);
    kxSkinComboBox2->SetItemIndex(p[RoleIndex(TPresetRole::VideoBitrate)]);
    kxSkinComboBox3->SetItemIndex(p[RoleIndex(TPresetRole::AudioBitrate)]);
    kxSkinComboBox4->SetItemIndex(p[RoleIndex(TPresetRole::Aspect)]);
    kxSkinComboBox9->SetItemIndex(p[RoleIndex(TPresetRole::FrameRate)]);
    kxSkinComboBox10->SetItemIndex(p[RoleIndex(TPresetRole::SampleRate)]);
    kxSkinSlider1->SetValue(0);
    // The row may have gone while the lists' handlers ran.
    const int32_t now = lvFiles->ItemIndex();
    if (now < 0) return;
    T_Movie_PLayer_FileName = lvFiles->Items()->Item(now)->Caption();
    Button31->Click();
  } catch (const std::exception&) {
  }
}

void TForm1::lvFilesClick(TObject* Sender) {
  if (lvFiles->ItemIndex() < 0) FFPlayer->Stop(true);
}

// ---- rename -------------------------------------------------------------------------------------

void TForm1::kxSkinButton21Click(TObject* Sender) {
  if (lvFiles->ItemIndex() < 0) {
    JobsHint("请先选中您需要重命名的项目！");
    return;
  }
  StartRename();
}

void TForm1::N26Click(TObject* Sender) { kxSkinButton21Click(Sender); }

void TForm1::lvFilesDblClick(TObject* Sender) {
  if (lvFiles->ItemIndex() >= 0) StartRename();
}

void TForm1::StartRename() {
  const int32_t r = lvFiles->ItemIndex();
  if (r < 0) return;
  TListItem* row = lvFiles->Items()->Item(r);
  FRenameItem = row;
  edt->SetParent(lvFiles);
  const int32_t left = lvFiles->Column(0)->Width() + lvFiles->Left() + lvFiles->Column(1)->Width() +
                       lvFiles->Column(2)->Width() + 2;
  const TRect bounds = lvFiles->ItemRect(r, drBounds);
  edt->SetBounds(left, bounds.top, lvFiles->Column(3)->Width(), edt->Height());
  edt->SetText(JobNameOfOutput(JobCell(row, jcOutput)));
  // Enter keeps the name, Escape drops it; leaving the edit keeps it too.
  edt->OnKeyDown = [this](TObject*, win::WORD& Key, TShiftState) {
    if (Key == win::VK_RETURN) {
      Key = 0;
      EndRename(true);
    } else if (Key == win::VK_ESCAPE) {
      Key = 0;
      EndRename(false);
    }
  };
  FRenaming = true;
  edt->Show();
  JobsFocus(edt);
}

void TForm1::edtExit(TObject* Sender) { EndRename(true); }

void TForm1::EndRename(bool AAccept) {
  if (!FRenaming) return;
  // Whatever happens below, this rename is over: hiding the edit moves the focus and runs
  // edtExit again.
  FRenaming = false;
  TListItem* row = FRenameItem;
  FRenameItem = nullptr;
  const std::string text = edt->Text();
  edt->Hide();
  const int32_t r = row ? lvFiles->Items()->IndexOf(row) : -1;
  if (!AAccept || r < 0) {
    JobsFocus(lvFiles);
    return;
  }
  if (!IsValidJobName(text)) {
    JobsFocus(lvFiles);
    // An empty name simply leaves the row as it was.
    if (!text.empty()) JobsHint("“" + text + "”不能用作文件名：文件名不能含有“/”，也不能是“.”或“..”。");
    return;
  }
  // The output's extension is that of the row's format; the name must not be another row's.
  std::string ext;
  if (const auto pos = ReadFormatCodeCell(JobCell(row, jcFormatCode))) {
    const int key = catalogue::FormatKeyOfListPositions(pos->Category, pos->Format);
    ext = std::string(catalogue::OutputExtension(key));
  }
  if (ext.empty()) ext = ExtractFileExt(JobCell(row, jcOutput));
  const std::string folder = ExcludeTrailingPathDelimiter(Video_OutPut_Folder_Edit->Text());
  const std::set<std::string> taken = OtherRowsOutputs(lvFiles->Items(), r, folder);
  TJobOutputRules rules;
  rules.Folder = folder;
  rules.InputPath = row->Caption();
  rules.TakenOutputs = &taken;
  const std::string output = JobOutputFileName(text, ext, rules);
  SetJobCell(row, jcOutput, ExtractFileName(output));
  FJobSlots.Output(r).FileName = output;
  JobsFocus(lvFiles);
}

// ---- moves --------------------------------------------------------------------------------------

void TForm1::MoveSelectedRow(int32_t ADelta) {
  const int32_t r = lvFiles->ItemIndex();
  const int32_t to = r + ADelta;
  if (r < 0 || to < 0 || to >= lvFiles->Items()->Count()) return;
  TListItems* items = lvFiles->Items();
  items->BeginUpdate();
  const TJobRow a = ReadJobRow(items->Item(r));
  const TJobRow b = ReadJobRow(items->Item(to));
  WriteJobRow(items->Item(r), b);
  WriteJobRow(items->Item(to), a);
  items->EndUpdate();
  // The slots move with their rows.
  FJobSlots.Exchange(r, to);
  lvFiles->SetItemIndex(to);
  JobsFocus(lvFiles);
}

void TForm1::kxSkinButton3Click(TObject* Sender) { MoveSelectedRow(-1); }
void TForm1::kxSkinButton4Click(TObject* Sender) { MoveSelectedRow(1); }
void TForm1::Button27Click(TObject* Sender) { MoveSelectedRow(-1); }

// ---- removal and clearing -----------------------------------------------------------------------

void TForm1::ShowEmptyList() {
  kxSkinPanel5->Show();
  FFPlayer->Stop(true);
  kxSkinSlider1->SetValue(0);
}

void TForm1::btnRemoveClick(TObject* Sender) {
  const int32_t r = lvFiles->ItemIndex();
  if (r < 0) {
    JobsHint("请先选择您需要删除的项目！");
    return;
  }
  TListItems* items = lvFiles->Items();
  int32_t n = 0;
  if (TryStrToInt(JobCell(items->Item(r), jcTaskNumber), n) && n >= 1 && n <= Quill->TasksCount())
    Quill->RemoveTask(n - 1);
  else
    n = INT32_MAX;  // no task of its own: the other rows keep their numbers
  items->Delete(r);
  FJobSlots.Remove(r);
  for (int32_t i = 0; i < items->Count(); ++i) {
    int32_t k = 0;
    if (TryStrToInt(JobCell(items->Item(i), jcTaskNumber), k) && k > n)
      SetJobCell(items->Item(i), jcTaskNumber, IntToStr(k - 1));
  }
  const bool rows = items->Count() > 0;
  RemoveGroup(rows);
  RenameGroup(rows);
  ClearGroup(rows);
  StartGroup(rows);
  JobsFocus(lvFiles);
  if (rows) {
    lvFiles->SetItemIndex(0);
    JobsFocus(lvFiles);
  } else {
    ShowEmptyList();
  }
}

void TForm1::btnClearClick(TObject* Sender) {
  Quill->ClearTasks();
  lvFiles->Items()->Clear();
  AddGroup(true);
  RemoveGroup(false);
  RenameGroup(false);
  ClearGroup(false);
  StartGroup(false);
  Button15->Click();
  ShowEmptyList();
}

// ---- job slots ----------------------------------------------------------------------------------

void TForm1::Button15Click(TObject* Sender) { FJobSlots.FreeAll(); }

void TForm1::Button14Click(TObject* Sender) {
  Quill->ClearTasks();
  for (int32_t i = 0; i < kJobSlotCount; ++i) {
    if (FJobSlots.State(i) != TJobSlotState::Full) continue;
    TInputOptions input = FJobSlots.Input(i);
    TOutputOptions output = FJobSlots.Output(i);
    const int32_t task = Quill->AddTask(input.FileName, &input);
    if (task < 0) {
      JobsLogBetweenBlanks("***File open error: " + Quill->LastErrMsg());
      continue;
    }
    const std::string path = IncludeTrailingPathDelimiter(FileOutPutPath) + ExtractFileName(output.FileName);
    output.FileName.clear();
    if (!Quill->SetOutputFile(task, path, &output)) {
      Quill->RemoveTask(task);
      JobsLogBetweenBlanks("***Cannot do convert, error: " + Quill->LastErrMsg());
    }
  }
}

std::string TForm1::GenerateOutputFileName(const std::string& AFileName, const std::string& AFileExt) {
  const std::string stem = AFileName.substr(0, AFileName.size() - ExtractFileExt(AFileName).size());
  std::string candidate = stem + "_(new)" + AFileExt;
  for (int64_t n = 1; FileExists(candidate); ++n) candidate = stem + "_(new_" + IntToStr(n) + ")" + AFileExt;
  return candidate;
}
