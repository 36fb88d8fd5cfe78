#pragma once
// The task component: the application's way to convert files. It keeps an ordered list of
// tasks (one conversion engine each, with its inputs and outputs), starts them one after
// another on the calling thread or several at once on conversion threads, and reports
// progress, preview pictures, the custom frame hook and the end of every task and of the
// whole run as events.
//
// Threads: every operation is called on the user-interface thread. Progress and preview
// events are handed over to that thread (TriggerEventInMainThread), the hook runs on the
// conversion thread, and in thread mode the terminate events run on short-lived threads of
// their own. Each event kind is serialised by its own critical section; the user-interface
// thread takes those sections only in a way that keeps serving hand-overs, so a worker
// holding one while it waits for the user-interface thread can always finish.
//
// The final event of a run (TaskIndex -1) comes after every task's terminate handler has
// returned. Destruction waits for the terminate threads still running.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Src/FFBaseComponent.h"
#include "Src/PostHooks.h"
#include "Src/TaskOptions.h"
#include "base/Sync.h"
#include "base/Thread.h"

// The engine stays a declaration here: its header carries the media headers, which the
// component's users never see.
class TAVProbe;
class TBitmap;
class TCustomFFmpeg;
class TStream;
class TCustomQuillon;

// Enters a critical section that a worker may hold while it waits for the user-interface
// thread. On that thread the wait keeps serving hand-overs, so the worker can finish and
// leave the section; elsewhere it is a plain Enter.
void EnterServing(TCriticalSection& ASection);

class TServingLock {
public:
  explicit TServingLock(TCriticalSection& ASection) : FSection(ASection) { EnterServing(FSection); }
  ~TServingLock() { FSection.Leave(); }
  TServingLock(const TServingLock&) = delete;
  TServingLock& operator=(const TServingLock&) = delete;

private:
  TCriticalSection& FSection;
};

// One task: its engine and what the component keeps beside it, one entry per file slot.
class TQuillonTask {
public:
  TQuillonTask(std::unique_ptr<TCustomFFmpeg> AEngine);
  ~TQuillonTask();
  TQuillonTask(const TQuillonTask&) = delete;
  TQuillonTask& operator=(const TQuillonTask&) = delete;

  TCustomFFmpeg& Engine() const { return *FEngine; }
  // The probe of input AIndex, created on first use.
  TAVProbe* Probe(int32_t AIndex);
  TAVProbe* ExistingProbe(int32_t AIndex) const;

  std::vector<std::unique_ptr<TInputOptions>> InputOptions;    // by input slot
  std::vector<std::unique_ptr<TOutputOptions>> OutputOptions;  // by output slot

private:
  std::vector<std::unique_ptr<TAVProbe>> FAVProbes;  // before the engine: freed first
  std::unique_ptr<TCustomFFmpeg> FEngine;
};

// The ordered, owning list of tasks.
class TFFmpegList {
public:
  int32_t Add(std::unique_ptr<TQuillonTask> ATask);
  void Clear();
  // An index outside the list raises EListError.
  void Delete(int32_t AIndex);
  void Exchange(int32_t AIndex1, int32_t AIndex2);
  TQuillonTask& Item(int32_t AIndex) const;
  int32_t IndexOf(const TObject* AEngine) const;
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }

  void Pause();
  void Resume();
  void Stop(bool AWaitFor);
  void SetPostHook(TPostHook AHook, bool AValue);

private:
  void CheckIndex(int32_t AIndex) const;
  std::vector<std::unique_ptr<TQuillonTask>> FItems;
};

class TCustomQuillon : public TFFBaseComponent {
public:
  explicit TCustomQuillon(TComponent* AOwner);
  // Stops a run that is still going, waits for its terminate handlers, then frees the tasks.
  ~TCustomQuillon() override;
  // Ends a run that is still going and waits for its terminate handlers. A derived class calls
  // it first in its own destructor, so that no engine thread calls into it while its part of
  // the object is being taken down.
  void StopForDestroy();

  bool LoadAVLib(const std::string& APath = "");
  bool AVLibLoaded() const;
  void UnloadAVLib();

  // A new task with one opened input: its index, or -1 with LastErrMsg.
  int32_t AddTask(const std::string& AFileName, PInputOptions AOptions = nullptr);
  int32_t AddTask(const std::string& AFileName, const std::string& AExtOptions);
  int32_t AddTask(TStream* AStream, const std::string& APrivateData, PInputOptions AOptions = nullptr);
  bool AddInputFile(int32_t ATaskIndex, const std::string& AFileName, PInputOptions AOptions = nullptr);
  bool AddInputFile(int32_t ATaskIndex, const std::string& AFileName, const std::string& AExtOptions);
  bool SetOutputFile(int32_t ATaskIndex, const std::string& AFileName, POutputOptions AOptions = nullptr);
  bool SetOutputFile(int32_t ATaskIndex, const std::string& AFileName, const std::string& AExtOptions);
  bool SetOutputStream(int32_t ATaskIndex, TStream* AStream, const std::string& APrivateData,
                       POutputOptions AOptions = nullptr);

  void ClearTasks();
  void Exchange(int32_t ATaskIndex1, int32_t ATaskIndex2);
  void RemoveTask(int32_t ATaskIndex);

  // AThreadCount <= 0: every task runs on the calling thread before Start returns.
  void Start(int32_t AThreadCount);
  void Pause();
  void Resume();
  // Every task ends with its terminate event; AWaitFor waits for them (serving hand-overs).
  void Stop(bool AWaitFor);

  // The probe of input AFileIndex of task ATaskIndex (nullptr when that slot has no file).
  TAVProbe* GetTaskAVProbe(int32_t ATaskIndex, int32_t AFileIndex);
  // The engine of a task, for the owner's own settings before Start.
  TCustomFFmpeg& TaskEngine(int32_t ATaskIndex) const { return FFFmpegList.Item(ATaskIndex).Engine(); }

  // ---- properties -----------------------------------------------------------------------
  const std::string& About() const { return FAbout; }
  void SetAbout(const std::string& AValue) { FAbout = AValue; }
  std::string Version() const { return "3.3"; }
  const std::string& LastErrMsg() const { return FLastErrMsg; }
  void* UserData() const { return FData; }
  void SetUserData(void* AValue) { FData = AValue; }
  int32_t CustomMaxFiles() const { return FCustomMaxFiles; }
  void SetCustomMaxFiles(int32_t AValue) { FCustomMaxFiles = AValue; }
  bool Preview() const { return FPreview; }
  void SetPreview(bool AValue);
  bool PreviewBitmap() const { return FPreviewBitmap; }
  void SetPreviewBitmap(bool AValue);
  int32_t ProgressInterval() const { return FProgressInterval; }
  void SetProgressInterval(int32_t AValue) { FProgressInterval = AValue <= 100 ? 100 : AValue; }
  TThreadPriority ThreadPriority() const { return FThreadPriority; }
  void SetThreadPriority(TThreadPriority AValue) { FThreadPriority = AValue; }
  bool TriggerEventInMainThread() const { return FTriggerEventInMainThread; }
  void SetTriggerEventInMainThread(bool AValue) { FTriggerEventInMainThread = AValue; }
  int32_t Verbose() const { return FVerbose; }
  void SetVerbose(int32_t AValue) { FVerbose = AValue; }
  int32_t TasksCount() const { return FFFmpegList.Count(); }
  bool Terminated() const { return FTerminated.load(); }
  bool Working() const { return FWorking.load(); }
  TAVProbe* AVProbe() const { return FAVProbe.get(); }

  TCustomHookEvent OnCustomHook;
  TPreviewBitmapEvent OnPreviewBitmap;
  TProgressEvent OnProgress;
  TTerminateEvent OnTerminate;

  // ---- relays of the engines' events (run on the engines' threads) ---------------------
  virtual void RelayCustomHook(TObject* Sender, TBitmap* ABitmap, int32_t AFrameNumber, int64_t APTS, bool& AUpdate,
                               bool& AStopHook);
  virtual void RelayPreviewBitmap(TObject* Sender, TBitmap* ABitmap, int32_t AFrameNumber, int64_t APTS);
  virtual void RelayProgress(TObject* Sender, int32_t AFileIndex, int32_t AFrameNumber, int32_t AFPS, float AQuality,
                             float ABitRate, int64_t ACurrentSize, int64_t ACurrentDuration, int64_t ATotalDuration);
  virtual void RelayTerminate(TObject* Sender);

protected:
  // The engine of a new task; tests give engines of their own.
  virtual std::unique_ptr<TCustomFFmpeg> CreateEngine(int32_t AMaxFiles);

private:
  friend class TQuillonTerminateThread;

  void CheckWorking(const char* AWhat) const;
  void ApplyInputOptions(TQuillonTask& ATask, PInputOptions AOptions);
  void AttachProbe(TQuillonTask& ATask);
  void BindEngineEvents(TCustomFFmpeg& AEngine);
  void BindCustomHook(TCustomFFmpeg& AEngine);
  // Under FTerminateLock: the next pending task (counted as started), or nullptr.
  TQuillonTask* TakeNextTask();
  void RunTask(TQuillonTask& ATask);
  void StartNextTask();
  void CallTerminateHandler(const TTerminateInfo& AInfo);
  void LaunchTerminateThreadLocked(const TTerminateInfo& AInfo, bool AFinal);
  void RaiseAllDone();
  // A terminate handler on a thread of its own, counted.
  void LaunchTerminateThread(const TTerminateInfo& AInfo, bool AFinal);
  void TerminateThreadDone(bool AFinal);
  void WaitForTerminateThreads();

  std::string FAbout;
  std::string FLastErrMsg;
  void* FData = nullptr;
  int32_t FCustomMaxFiles = 20;
  bool FPreview = false;
  bool FPreviewBitmap = false;
  std::atomic<int32_t> FProgressInterval{500};
  std::atomic<TThreadPriority> FThreadPriority{tpNormal};
  std::atomic<bool> FTriggerEventInMainThread{true};
  std::atomic<int32_t> FVerbose{1};
  THookInfo FHookInfo;
  TProgressInfo FProgressInfo;
  TTerminateInfo FTerminateInfo;
  TPreviewInfo FPreviewInfo;
  TCriticalSection FHookLock, FPreviewLock, FProgressLock, FTerminateLock;
  std::unique_ptr<TAVProbe> FAVProbe;
  TFFmpegList FFFmpegList;
  // Run counters, changed only under FTerminateLock.
  int32_t FCompleteTasks = 0;
  int32_t FCurrentTask = -1;
  int32_t FPendingTasks = 0;
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FThreadMode{false};
  std::atomic<bool> FWorking{false};
  bool FLibLoaded = false;

  // Terminate threads still running: all of them, and those of tasks (the final event waits
  // for the latter).
  std::recursive_mutex FThreadCountLock;
  std::condition_variable_any FThreadCountCond;
  int32_t FLiveThreads = 0;
  int32_t FTaskHandlerThreads = 0;
  bool FFinalPending = false;
  TTerminateInfo FFinalInfo;
};

// The published task component.
class TQuillon : public TCustomQuillon {
public:
  using TCustomQuillon::TCustomQuillon;
  ~TQuillon() override { StopForDestroy(); }
};
