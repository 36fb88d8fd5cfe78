// The task component: task list, files and their options, starting, pausing and stopping.
// Its event relays are in QuillonEvents.cpp.
#include "Src/Quillon.h"

#include <charconv>

#include "Src/AVProbe.h"
#include "Src/FFmpeg.h"
#include "Src/FFmpegLoader.h"
#include "Src/OutputOptions.h"
#include "base/Exception.h"
#include "base/Format.h"
#include "base/MainThread.h"
#include "base/StringList.h"
#include "base/Text.h"

namespace {

// A signed 64-bit decimal, or the no-value marker when the text is not one.
int64_t Int64OrNoValue(const std::string& AText) {
  const std::string t = Trim(AText);
  int64_t v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return NoTimeValue;
  return v;
}

// The lines of an option text cut at their first "=", names kept as written.
std::vector<std::pair<std::string, std::string>> RawOptionLines(const std::string& AText) {
  std::vector<std::pair<std::string, std::string>> result;
  for (const std::string& line : NormaliseOptionText(AText)) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos)
      result.emplace_back(line, std::string());
    else
      result.emplace_back(line.substr(0, eq), line.substr(eq + 1));
  }
  return result;
}

TInputOptions InputOptionsFromText(const std::string& AExtOptions) {
  TInputOptions o;
  InitInputOptions(o);
  for (const auto& [name, value] : RawOptionLines(AExtOptions)) {
    if (SameText(name, "TimeStart"))
      o.TimeStart = Int64OrNoValue(value);
    else
      o.ExtOptions += name + "=" + value + "\n";
  }
  return o;
}

// The name of a stream for a URL protocol "stream", which this system does not register.
std::string StreamURL(const TStream* AStream, const std::string& APrivateData) {
  return "stream:" + std::to_string(reinterpret_cast<uintptr_t>(AStream)) + ":" + APrivateData;
}

}  // namespace

// ---- task and task list -----------------------------------------------------------------

TQuillonTask::TQuillonTask(std::unique_ptr<TCustomFFmpeg> AEngine) : FEngine(std::move(AEngine)) {
  const auto n = static_cast<size_t>(FEngine->MaxFiles());
  FAVProbes.resize(n);
  InputOptions.resize(n);
  OutputOptions.resize(n);
}

TQuillonTask::~TQuillonTask() {
  // The probes look at the engine's input contexts: they go first.
  FAVProbes.clear();
  FEngine.reset();
}

TAVProbe* TQuillonTask::Probe(int32_t AIndex) {
  auto& p = FAVProbes.at(static_cast<size_t>(AIndex));
  if (!p) p = std::make_unique<TAVProbe>(nullptr);
  return p.get();
}

TAVProbe* TQuillonTask::ExistingProbe(int32_t AIndex) const { return FAVProbes.at(static_cast<size_t>(AIndex)).get(); }

void TFFmpegList::CheckIndex(int32_t AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) throw EListError(Format("List index out of bounds (%d)", AIndex));
}

int32_t TFFmpegList::Add(std::unique_ptr<TQuillonTask> ATask) {
  FItems.push_back(std::move(ATask));
  return Count() - 1;
}

void TFFmpegList::Clear() { FItems.clear(); }

void TFFmpegList::Delete(int32_t AIndex) {
  CheckIndex(AIndex);
  FItems.erase(FItems.begin() + AIndex);
}

void TFFmpegList::Exchange(int32_t AIndex1, int32_t AIndex2) {
  CheckIndex(AIndex1);
  CheckIndex(AIndex2);
  std::swap(FItems[static_cast<size_t>(AIndex1)], FItems[static_cast<size_t>(AIndex2)]);
}

TQuillonTask& TFFmpegList::Item(int32_t AIndex) const {
  CheckIndex(AIndex);
  return *FItems[static_cast<size_t>(AIndex)];
}

int32_t TFFmpegList::IndexOf(const TObject* AEngine) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (&FItems[i]->Engine() == AEngine) return static_cast<int32_t>(i);
  return -1;
}

void TFFmpegList::Pause() {
  for (auto& t : FItems) t->Engine().Pause();
}

void TFFmpegList::Resume() {
  for (auto& t : FItems) t->Engine().Resume();
}

void TFFmpegList::Stop(bool AWaitFor) {
  for (auto& t : FItems) t->Engine().Cancel(AWaitFor);
}

namespace {

// A running engine holds the post-hook lock while its preview handler is handed over to the
// user-interface thread: taken there, the wait keeps serving hand-overs.
void SetPostHookServing(TCustomFFmpeg& AEngine, TPostHook AHook, bool AValue) {
  std::recursive_mutex& lock = PostHookLock();
  if (IsMainThread() && !MainThreadHasEnded())
    while (!lock.try_lock()) ServeMainThread(1);
  else
    lock.lock();
  TPostHooks hooks = AEngine.PostHooks();
  hooks[AHook] = AValue;
  try {
    AEngine.SetPostHooks(hooks);
  } catch (...) {
    lock.unlock();
    throw;
  }
  lock.unlock();
}

}  // namespace

void TFFmpegList::SetPostHook(TPostHook AHook, bool AValue) {
  for (auto& t : FItems) SetPostHookServing(t->Engine(), AHook, AValue);
}

// ---- component --------------------------------------------------------------------------

TCustomQuillon::TCustomQuillon(TComponent* AOwner)
    : TFFBaseComponent(AOwner), FAVProbe(std::make_unique<TAVProbe>(nullptr)) {}

void TCustomQuillon::StopForDestroy() {
  // Handlers of a run still going would otherwise run against a freed component.
  if (FWorking && !FTerminated) Stop(true);
  WaitForTerminateThreads();
}

TCustomQuillon::~TCustomQuillon() {
  StopForDestroy();
  // A relay still inside one of the sections finishes before they go.
  for (TCriticalSection* cs : {&FHookLock, &FPreviewLock, &FProgressLock, &FTerminateLock}) {
    EnterServing(*cs);
    cs->Leave();
  }
  FFFmpegList.Clear();
  FAVProbe.reset();
  UnloadAVLib();
}

std::unique_ptr<TCustomFFmpeg> TCustomQuillon::CreateEngine(int32_t AMaxFiles) {
  return std::make_unique<TFFmpeg>(AMaxFiles);
}

bool TCustomQuillon::LoadAVLib(const std::string& APath) {
  if (FLibLoaded) return true;
  if (!APath.empty()) FFLoader().SetLibraryPath(APath);
  FLibLoaded = FFLoader().Load(TaskLibraries);
  if (!FLibLoaded) FLastErrMsg = FFLoader().LastErrMsg();
  return FLibLoaded;
}

bool TCustomQuillon::AVLibLoaded() const { return FFLoader().Loaded(TaskLibraries); }

void TCustomQuillon::UnloadAVLib() {
  if (!FLibLoaded) return;
  FLibLoaded = false;
  FFLoader().Unload(TaskLibraries);
}

void TCustomQuillon::CheckWorking(const char* AWhat) const {
  if (FWorking) throw Exception(Format("Cannot %s while working.", AWhat));
}

void TCustomQuillon::ApplyInputOptions(TQuillonTask& ATask, PInputOptions AOptions) {
  TCustomFFmpeg& e = ATask.Engine();
  ATask.InputOptions[static_cast<size_t>(e.nb_input_files())] = std::make_unique<TInputOptions>(*AOptions);
  ApplyExtOptions(e, AOptions->ExtOptions, true);
  e.SetFormat(AOptions->FileFormat);
  e.SetStartTime(AOptions->TimeStart);
  e.SetProgramID(AOptions->ProgramID);
}

void TCustomQuillon::AttachProbe(TQuillonTask& ATask) {
  const int32_t i = ATask.Engine().nb_input_files() - 1;
  ATask.Probe(i)->SetFileHandle(ATask.Engine().InputFile(i));
}

int32_t TCustomQuillon::AddTask(const std::string& AFileName, PInputOptions AOptions) {
  CheckWorking("AddTask");
  // A capacity outside 1..512 is the caller's error and reaches the caller.
  auto task = std::make_unique<TQuillonTask>(CreateEngine(FCustomMaxFiles));
  TCustomFFmpeg& e = task->Engine();
  try {
    e.Reset();
    e.Fverbose = FVerbose;
    SetPostHookServing(e, phPreview, FPreview);
    SetPostHookServing(e, phBitmap, FPreviewBitmap);
    BindEngineEvents(e);
    if (AOptions) {
      if (AOptions->FileName.empty()) AOptions->FileName = AFileName;
      ApplyInputOptions(*task, AOptions);
    }
    if (!e.OpenInputFile(AFileName)) {
      FLastErrMsg = e.LastErrMsg();
      return -1;
    }
    AttachProbe(*task);
    // A task waiting in the list holds no descriptor: a long job list must not run out.
    e.ReleaseInputDescriptors();
  } catch (const std::exception& ex) {
    FLastErrMsg = ex.what();
    return -1;
  }
  return FFFmpegList.Add(std::move(task));
}

int32_t TCustomQuillon::AddTask(const std::string& AFileName, const std::string& AExtOptions) {
  CheckWorking("AddTask");
  TInputOptions o = InputOptionsFromText(AExtOptions);
  return AddTask(AFileName, &o);
}

int32_t TCustomQuillon::AddTask(TStream* AStream, const std::string& APrivateData, PInputOptions AOptions) {
  CheckWorking("AddTask");
  return AddTask(StreamURL(AStream, APrivateData), AOptions);
}

bool TCustomQuillon::AddInputFile(int32_t ATaskIndex, const std::string& AFileName, PInputOptions AOptions) {
  CheckWorking("AddInputFile");
  TQuillonTask& task = FFFmpegList.Item(ATaskIndex);
  TCustomFFmpeg& e = task.Engine();
  if (e.nb_input_files() >= e.MaxFiles()) {
    FLastErrMsg = Format("max input files %d reached", e.MaxFiles());
    return false;
  }
  const auto slot = static_cast<size_t>(e.nb_input_files());
  auto resetSlot = [&] {
    if (task.InputOptions[slot]) InitInputOptions(*task.InputOptions[slot]);
  };
  try {
    if (AOptions) {
      if (AOptions->FileName.empty()) AOptions->FileName = AFileName;
      ApplyInputOptions(task, AOptions);
    } else {
      resetSlot();
    }
    if (e.OpenInputFile(AFileName)) {
      AttachProbe(task);
      e.ReleaseInputDescriptors();
      return true;
    }
    FLastErrMsg = e.LastErrMsg();
  } catch (const std::exception& ex) {
    FLastErrMsg = ex.what();
  }
  resetSlot();
  return false;
}

bool TCustomQuillon::AddInputFile(int32_t ATaskIndex, const std::string& AFileName, const std::string& AExtOptions) {
  CheckWorking("AddInputFile");
  TInputOptions o = InputOptionsFromText(AExtOptions);
  return AddInputFile(ATaskIndex, AFileName, &o);
}

bool TCustomQuillon::SetOutputFile(int32_t ATaskIndex, const std::string& AFileName, POutputOptions AOptions) {
  CheckWorking("SetOutputFile");
  TQuillonTask& task = FFFmpegList.Item(ATaskIndex);
  TCustomFFmpeg& e = task.Engine();
  if (e.nb_output_files() >= e.MaxFiles()) {
    FLastErrMsg = Format("max output files %d reached", e.MaxFiles());
    return false;
  }
  const auto slot = static_cast<size_t>(e.nb_output_files());
  auto resetSlot = [&] {
    if (task.OutputOptions[slot]) InitOutputOptions(*task.OutputOptions[slot]);
  };
  TStringList streamDefaults;
  bool opened = false;
  try {
    bool join = false;
    if (AOptions) {
      if (AOptions->FileName.empty()) AOptions->FileName = AFileName;
      task.OutputOptions[slot] = std::make_unique<TOutputOptions>(*AOptions);
      ApplyOutputRecord(e, *AOptions, streamDefaults);
      if (AOptions->CustomHook) BindCustomHook(e);
      join = AOptions->Join;
    } else {
      resetSlot();
    }
    if (e.OpenOutputFile(AFileName, join) < 0) {
      FLastErrMsg = e.LastErrMsg();
      resetSlot();
      e.SetRefusal(FLastErrMsg);
      return false;
    }
    opened = true;
    if (AOptions) ApplyNewStreamOptions(e, AOptions->ExtOptions, streamDefaults);
    return true;
  } catch (const std::exception& ex) {
    FLastErrMsg = ex.what();
  }
  // A failure after the opening (an extra stream refused) takes the output back, so that the
  // task is as it was before the call.
  if (opened) e.RemoveLastOutputFile();
  resetSlot();
  e.SetRefusal(FLastErrMsg);
  return false;
}

bool TCustomQuillon::SetOutputFile(int32_t ATaskIndex, const std::string& AFileName, const std::string& AExtOptions) {
  CheckWorking("SetOutputFile");
  TOutputOptions o;
  InitOutputOptions(o);
  for (const auto& [name, value] : RawOptionLines(AExtOptions)) {
    if (SameText(name, "Hook") || SameText(name, "CustomHook"))
      o.CustomHook = true;
    else if (SameText(name, "Join"))
      o.Join = true;
    else if (SameText(name, "TimeStart"))
      o.TimeStart = Int64OrNoValue(value);
    else if (SameText(name, "TimeLength"))
      o.TimeLength = Int64OrNoValue(value);
    else
      o.ExtOptions += name + "=" + value + "\n";
  }
  return SetOutputFile(ATaskIndex, AFileName, &o);
}

bool TCustomQuillon::SetOutputStream(int32_t ATaskIndex, TStream* AStream, const std::string& APrivateData,
                                     POutputOptions AOptions) {
  CheckWorking("SetOutputFile");
  return SetOutputFile(ATaskIndex, StreamURL(AStream, APrivateData), AOptions);
}

void TCustomQuillon::ClearTasks() {
  if (FWorking && !FTerminated) throw Exception("Cannot ClearTasks while working.");
  FFFmpegList.Clear();
  FLastErrMsg.clear();
  TServingLock lock(FTerminateLock);
  FCompleteTasks = 0;
  FCurrentTask = -1;
  FPendingTasks = 0;
  FTerminated = false;
  FThreadMode = false;
  FWorking = false;
}

void TCustomQuillon::Exchange(int32_t ATaskIndex1, int32_t ATaskIndex2) {
  CheckWorking("Exchange");
  FFFmpegList.Exchange(ATaskIndex1, ATaskIndex2);
}

void TCustomQuillon::RemoveTask(int32_t ATaskIndex) {
  CheckWorking("RemoveTask");
  FFFmpegList.Delete(ATaskIndex);
}

TAVProbe* TCustomQuillon::GetTaskAVProbe(int32_t ATaskIndex, int32_t AFileIndex) {
  TQuillonTask& task = FFFmpegList.Item(ATaskIndex);
  if (AFileIndex < 0 || AFileIndex >= task.Engine().MaxFiles())
    throw EListError(Format("List index out of bounds (%d)", AFileIndex));
  return task.ExistingProbe(AFileIndex);
}

void TCustomQuillon::SetPreview(bool AValue) {
  FFFmpegList.SetPostHook(phPreview, AValue);
  FPreview = AValue;
}

void TCustomQuillon::SetPreviewBitmap(bool AValue) {
  FFFmpegList.SetPostHook(phBitmap, AValue);
  FPreviewBitmap = AValue;
}

// ---- run --------------------------------------------------------------------------------

TQuillonTask* TCustomQuillon::TakeNextTask() {
  if (FPendingTasks <= 0) return nullptr;
  --FPendingTasks;
  return &FFFmpegList.Item(FCurrentTask++);
}

void TCustomQuillon::RunTask(TQuillonTask& ATask) {
  TCustomFFmpeg& e = ATask.Engine();
  e.Fverbose = FVerbose;
  e.ReportInterval = static_cast<int64_t>(FProgressInterval) * 1000;
  if (FThreadMode) {
    // A refused task raises its terminate event in here, which starts the next one.
    if (TThread* thread = e.StartConvert(true, FThreadPriority)) thread->Resume();
  } else {
    e.StartConvert(false, FThreadPriority);
  }
}

void TCustomQuillon::StartNextTask() {
  if (TQuillonTask* task = TakeNextTask()) RunTask(*task);
}

void TCustomQuillon::Start(int32_t AThreadCount) {
  CheckWorking("StartTask");
  // The run closes the engines' input contexts, and the conversion thread reads them while
  // it runs: the probes let go of them first.
  for (int32_t i = 0; i < FFFmpegList.Count(); ++i) {
    TQuillonTask& task = FFFmpegList.Item(i);
    for (int32_t f = 0; f < task.Engine().MaxFiles(); ++f)
      if (TAVProbe* p = task.ExistingProbe(f)) p->CloseFile();
  }
  {
    TServingLock lock(FTerminateLock);
    FCompleteTasks = 0;
    FCurrentTask = 0;
    FPendingTasks = FFFmpegList.Count();
    FTerminated = false;
    FThreadMode = AThreadCount > 0;
    FWorking = true;
    if (FFFmpegList.Count() == 0) {
      // Nothing to run: the run is over at once, so the owner is not left waiting.
      RaiseAllDone();
      return;
    }
    if (FThreadMode) {
      // Held throughout, so that a task ending at once waits until the first ones started.
      for (int32_t started = 0; started < AThreadCount && FPendingTasks > 0; ++started) StartNextTask();
      return;
    }
  }
  // Direct mode: each task runs to its end here; the lock is not held across a run, since
  // terminate relays of tasks cancelled meanwhile take it on other threads.
  for (;;) {
    TQuillonTask* task;
    {
      TServingLock lock(FTerminateLock);
      task = TakeNextTask();
    }
    if (!task) break;
    RunTask(*task);
  }
}

void TCustomQuillon::Pause() { FFFmpegList.Pause(); }

void TCustomQuillon::Resume() { FFFmpegList.Resume(); }

void TCustomQuillon::Stop(bool AWaitFor) {
  if (!FWorking || FTerminated) return;
  {
    TServingLock lock(FTerminateLock);
    FPendingTasks = 0;
  }
  // Without any lock: a task ending meanwhile needs FTerminateLock in its relay.
  FFFmpegList.Stop(AWaitFor);
  if (AWaitFor) WaitForTerminateThreads();
}
