// Running the conversion: start, stop, pause, resume, progress and the end of the tasks, and
// the after-done actions.
//
// Threads: every handler here runs on the user-interface thread except QuillTerminate, which the
// task component calls on a short-lived thread of its own per report. It hands each report over
// and waits, so the reports reach the window one at a time and in order: a task's report always
// before the final one (the component raises the final report only after every task's handler
// has returned).
//
// A task finds its row by identity, not by position: its input record (which moves with the
// row) carries the task's number for the run, so moving rows during a run is safe.
#include <algorithm>
#include <exception>

#include <fcntl.h>
#include <unistd.h>

#include "app/forms/JobList.h"
#include "app/forms/TaskRows.h"
#include "app/forms/Unit1.h"
#include "app/forms/Unit5.h"
#include "base/Files.h"
#include "base/MainThread.h"
#include "lib/controls/kxSkinCheckRadio.h"
#include "lib/controls/kxSkinComboBox.h"
#include "platform/shell/ShellApi.h"
#include "platform/shell/Services.h"

namespace {

constexpr const char* kHintTitle = "提示";

// Whether files can be made in a folder: tried with a file of our own, as permissions alone do
// not tell (read-only mounts, and a super-user passes every permission test).
bool DirectoryIsWritable(const std::string& ADir) {
  const std::string probe = IncludeTrailingPathDelimiter(ADir) + ".ombrel-write-" + std::to_string(::getpid());
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

}  // namespace

taskrows::TRunChoices TForm1::CurrentRunChoices() const {
  if (RunChoices) return RunChoices();
  taskrows::TRunChoices c;
  const TForm5* f = Form5;
  if (!f) return c;  // before the options dialog exists: its initial choices
  auto on = [](const TkxSkinCheckRadioBox* b) { return b && b->Checked(); };
  c.PriorityIdle = on(f->kxSkinCheckRadioBox9);
  c.PriorityLowest = on(f->kxSkinCheckRadioBox10);
  c.PriorityLower = on(f->kxSkinCheckRadioBox11);
  c.PriorityNormal = on(f->kxSkinCheckRadioBox12);
  c.MultiThread = on(f->kxSkinCheckRadioBox7);
  if (f->kxSkinComboBox2) c.ThreadCountText = f->kxSkinComboBox2->Text();
  c.OpenFolder = on(f->kxSkinCheckRadioBox1);
  c.PowerOff = on(f->kxSkinCheckRadioBox2);
  c.PlaySound = on(f->kxSkinCheckRadioBox4);
  return c;
}

int32_t TForm1::RowOfTask(int32_t ATaskIndex) const {
  if (ATaskIndex < 0) return -1;
  const int32_t rows = std::min<int32_t>(lvFiles->Items()->Count(), static_cast<int32_t>(IO1.size()));
  for (int32_t r = 0; r < rows; ++r)
    if (IO1[static_cast<size_t>(r)].Tag == ATaskIndex + 1) return r;
  return -1;
}

void TForm1::btnStartClick(TObject* Sender) {
  // An output folder that cannot take files stops the start before anything changes.
  if (!ForceDirectories(FileOutPutPath) || !DirectoryIsWritable(FileOutPutPath)) {
    kxSkinMessage1->MessageDlg2("输出文件夹不能写入，请重新选择：\n" + FileOutPutPath, kHintTitle, mtInformation,
                                {mbOK}, 0);
    return;
  }
  const taskrows::TRunChoices choices = CurrentRunChoices();
  Quill->SetThreadPriority(taskrows::PriorityOfChoices(choices, Quill->ThreadPriority()));
  button28->Click();
  // No row gave a task: the rows were named to the user, and nothing starts.
  if (Quill->TasksCount() == 0) return;
  AddGroup(false);
  Button22->Click();
  RemoveGroup(false);
  RenameGroup(false);
  ClearGroup(false);
  StartGroup(false);
  StopGroup(chkThreadMode->Checked());
  PauseGroup(chkThreadMode->Checked());
  ResumeGroup(false);
  FStoppedByUser = false;
  Quill->Start(taskrows::ThreadCountOfChoices(choices));
}

void TForm1::button28Click(TObject* Sender) {
  Quill->ClearTasks();
  std::vector<taskrows::TSkippedRow> skipped;
  const int32_t rows = lvFiles->Items()->Count();
  for (int32_t i = 0; i < rows; ++i) {
    const joblist::TJobRow row = joblist::ReadJobRow(lvFiles->Items()->Item(i));
    if (static_cast<size_t>(i) >= IO1.size()) {
      skipped.push_back({row.Caption, "没有任务空间"});
      continue;
    }
    TInputOptions& in = IO1[static_cast<size_t>(i)];
    TOutputOptions& out = OO1[static_cast<size_t>(i)];
    in.Tag = 0;
    taskrows::TRowFault fault;
    if (!taskrows::ApplyRowToRecords(row, in, out, &fault)) {
      skipped.push_back({row.Caption, "第" + std::to_string(fault.Cell + 1) + "列不是数字：" + fault.Text});
      continue;
    }
    // The task appended next gets this index; the record carries it to find the row again.
    in.Tag = Quill->TasksCount() + 1;
    const int32_t task = Quill->AddTask(in.FileName, &in);
    if (task < 0) {
      in.Tag = 0;
      mmoLog->Lines()->Add("");
      mmoLog->Lines()->Add("***File open error: " + Quill->LastErrMsg());
      mmoLog->Lines()->Add("");
      skipped.push_back({row.Caption, Quill->LastErrMsg()});
      continue;
    }
    if (!Quill->SetOutputFile(task, taskrows::RowOutputFile(FileOutPutPath, row), &out)) {
      const std::string error = Quill->LastErrMsg();
      Quill->RemoveTask(task);
      in.Tag = 0;
      mmoLog->Lines()->Add("");
      mmoLog->Lines()->Add("***Cannot do convert, error: " + error);
      mmoLog->Lines()->Add("");
      skipped.push_back({row.Caption, error});
      continue;
    }
  }
  if (!skipped.empty())
    kxSkinMessage1->MessageDlg2(taskrows::SkippedRowsText(skipped), kHintTitle, mtInformation, {mbOK}, 0);
}

void TForm1::btnStopClick(TObject* Sender) {
  // The final report of a stopped run runs no after-done action.
  FStoppedByUser = true;
  StopGroup(false);
  kxSkinButton2->SetEnabled(true);
  if (auto* look = dynamic_cast<TkxButtonLook*>(kxSkinButton2)) look->SetGlyph(Image5->Picture()->Bitmap());
  kxSkinButton2->Repaint();
  Button23->Click();
  Button24->Click();
  Quill->Stop(true);
}

void TForm1::btnPauseClick(TObject* Sender) {
  PauseGroup(false);
  ResumeGroup(true);
  Quill->Pause();
}

void TForm1::btnResumeClick(TObject* Sender) {
  PauseGroup(true);
  ResumeGroup(false);
  Quill->Resume();
}

void TForm1::kxSkinButton11Click(TObject* Sender) {
  btnPause->Click();
  kxSkinButton11->SetVisible(false);
  kxSkinButton12->SetVisible(true);
}

void TForm1::kxSkinButton12Click(TObject* Sender) {
  btnResume->Click();
  kxSkinButton11->SetVisible(true);
  kxSkinButton12->SetVisible(false);
}

void TForm1::Button22Click(TObject* Sender) { SetRunLocked(true); }

void TForm1::Button23Click(TObject* Sender) { SetRunLocked(false); }

void TForm1::Button24Click(TObject* Sender) {}

void TForm1::SetRunLocked(bool ALocked) {
  for (TkxSkinComboBox* c :
       {kxSkinComboBox1, kxSkinComboBox2, kxSkinComboBox3, kxSkinComboBox4, kxSkinComboBox9, kxSkinComboBox10})
    c->SetEnabled(!ALocked);
  kxSkinOfficeComboBox2->SetEnabled(!ALocked);
  kxSkinOfficeComboBox2->Refresh();
  kxSkinOfficeComboBox1->SetEnabled(!ALocked);
  kxSkinButton5->SetEnabled(!ALocked);
}

void TForm1::QuillProgress(TObject* Sender, PProgressInfo P) {
  if (!P) return;
  const int32_t r = RowOfTask(P->TaskIndex);
  if (r < 0) return;
  TListItem* item = lvFiles->Items()->Item(r);
  joblist::SetJobCell(item, joblist::jcProgress, taskrows::ProgressPercentText(P->CurrentDuration, P->TotalDuration));
  const std::string fps = taskrows::ProgressFpsText(P->FPS);
  if (!fps.empty()) joblist::SetJobCell(item, joblist::jcFps, fps);
  const int64_t seconds = std::clamp<int64_t>(taskrows::ProgressSeconds(P->CurrentDuration), 0, INT32_MAX);
  joblist::SetJobCell(item, joblist::jcTime, joblist::SecToDate(static_cast<int32_t>(seconds)));
  joblist::SetJobCell(item, joblist::jcDoneSize, joblist::SizeMBText(P->CurrentSize));
}

void TForm1::QuillTerminate(TObject* Sender, const TTerminateInfo& ATerminateInfo) {
  const TTerminateInfo info = ATerminateInfo;
  // Window work belongs to the user-interface thread; waiting here keeps the reports in order.
  Synchronize([this, info] {
    try {
      TerminateReport(info);
    } catch (const std::exception& e) {
      if (Application) Application->HandleException(this, e);
    }
  });
}

void TForm1::TerminateReport(const TTerminateInfo& AInfo) {
  // Closing detaches the handler first: a report already on its way then changes nothing.
  if (!Quill->OnTerminate) return;
  if (AInfo.TaskIndex < 0) {
    RemoveGroup(false);
    RenameGroup(false);
    ClearGroup(true);
    StopGroup(false);
    PauseGroup(false);
    ResumeGroup(false);
    Button23->Click();
    Button24->Click();
    if (!FStoppedByUser) {
      const taskrows::TRunChoices choices = CurrentRunChoices();
      if (choices.OpenFolder) Button20->Click();
      if (choices.PowerOff) Button25->Click();
      if (choices.PlaySound) Button29->Click();
    }
  } else if (AInfo.Finished) {
    const int32_t r = RowOfTask(AInfo.TaskIndex);
    if (r >= 0) joblist::SetJobCell(lvFiles->Items()->Item(r), joblist::jcProgress, "100%");
  }
  if (AInfo.Exception) kxSkinMessage1->MessageDlg2(AInfo.ExceptionMsg, Application->Title(), mtWarning, {mbOK}, 0);
}

void TForm1::FFLoggerLog(TObject* Sender, uint32_t AThreadID, TLogLevel ALogLevel, const std::string& ALogMsg) {
  mmoLog->Lines()->Add(taskrows::LogLineText(AThreadID, ALogLevel, ALogMsg));
}

void TForm1::Button20Click(TObject* Sender) {
  win::ShellExecute(Handle(), "", Video_OutPut_Folder_Edit->Text(), "", "", win::SW_SHOWNORMAL);
}

bool TForm1::SetPrivilege(const std::string& PrivilegeName, bool Enable) {
  // The system's power-off asks for its own authorisation: the process has nothing to switch.
  return true;
}

void TForm1::Button25Click(TObject* Sender) {
  SetPrivilege("SeShutdownPrivilege", true);
  // Not forced: the other programs may still ask their users about unsaved work.
  if (!win::ExitWindowsEx(win::EWX_SHUTDOWN | win::EWX_POWEROFF, 0)) SetPrivilege("SeShutdownPrivilege", false);
}

void TForm1::Button29Click(TObject* Sender) {
  const std::string path = ExecutableDir() + "sounds/ring001.wav";
  if (FileExists(path)) win::PlaySound(path.c_str(), nullptr, win::SND_ASYNC | win::SND_FILENAME);
}

void TForm1::ShowExceptionBox(TObject* Sender, const std::exception& E) {
  if (!kxSkinMessage1) {
    Application->ShowException(E);
    return;
  }
  kxSkinMessage1->MessageDlg2(E.what(), Application->Title(), mtError, {mbOK}, 0);
}

void TForm1::InstallExceptionBox() {
  Application->OnException = [](TObject* Sender, const std::exception& E) {
    if (auto* form = dynamic_cast<TForm1*>(Application->MainForm()))
      form->ShowExceptionBox(Sender, E);
    else
      Application->ShowException(E);
  };
}
