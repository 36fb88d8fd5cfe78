// The task component's event relays: from an engine's events to the component's, on the
// thread each kind of event calls for, and the terminate relay that drives the run.
#include <exception>

#include "Src/FFmpeg.h"
#include "Src/FFmpegLogger.h"
#include "Src/MyUtils.h"
#include "Src/Quillon.h"
#include "base/MainThread.h"
#include "classlib/Graphics.h"

namespace {

// Set on the component's terminate threads: a handler there that stops the run must not wait
// for the thread it runs on.
thread_local bool tInTerminateThread = false;

}  // namespace

void EnterServing(TCriticalSection& ASection) {
  if (!IsMainThread() || MainThreadHasEnded()) {
    ASection.Enter();
    return;
  }
  while (!ASection.TryEnter()) ServeMainThread(1);
}

// A terminate handler of one task, or the final event, on a short-lived thread of its own.
// The component counts it until its very last touch of the component.
class TQuillonTerminateThread : public TThread {
public:
  TQuillonTerminateThread(TCustomQuillon* AOwner, const TTerminateInfo& AInfo, bool AFinal)
      : TThread(true), FOwner(AOwner), FInfo(AInfo), FFinal(AFinal), FOnTerminate(AOwner->OnTerminate) {
    SetFreeOnTerminate(true);
  }

protected:
  void Execute() override {
    tInTerminateThread = true;
    try {
      if (FOnTerminate) FOnTerminate(FOwner, FInfo);
    } catch (...) {
      // A handler's exception ends this thread only.
    }
    FOwner->TerminateThreadDone(FFinal);
  }

private:
  TCustomQuillon* FOwner;
  TTerminateInfo FInfo;
  bool FFinal;
  TTerminateEvent FOnTerminate;
};

void TCustomQuillon::BindEngineEvents(TCustomFFmpeg& AEngine) {
  AEngine.OnProgress = [this](TObject* Sender, int32_t AFileIndex, int32_t AFrameNumber, int32_t AFPS, float AQuality,
                              float ABitRate, int64_t ACurrentSize, int64_t ACurrentDuration, int64_t ATotalDuration) {
    RelayProgress(Sender, AFileIndex, AFrameNumber, AFPS, AQuality, ABitRate, ACurrentSize, ACurrentDuration,
                  ATotalDuration);
  };
  AEngine.OnTerminate = [this](TObject* Sender) { RelayTerminate(Sender); };
  AEngine.OnPreviewBitmap = [this](TObject* Sender, TBitmap* ABitmap, int32_t AFrameNumber, int64_t APTS) {
    RelayPreviewBitmap(Sender, ABitmap, AFrameNumber, APTS);
  };
}

void TCustomQuillon::BindCustomHook(TCustomFFmpeg& AEngine) {
  AEngine.OnCustomHook = [this](TObject* Sender, TBitmap* ABitmap, int32_t AFrameNumber, int64_t APTS, bool& AUpdate,
                                bool& AStopHook) {
    RelayCustomHook(Sender, ABitmap, AFrameNumber, APTS, AUpdate, AStopHook);
  };
}

void TCustomQuillon::RelayProgress(TObject* Sender, int32_t AFileIndex, int32_t AFrameNumber, int32_t AFPS,
                                   float AQuality, float ABitRate, int64_t ACurrentSize, int64_t ACurrentDuration,
                                   int64_t ATotalDuration) {
  if (!OnProgress) return;
  TServingLock lock(FProgressLock);
  FProgressInfo.TaskIndex = FFFmpegList.IndexOf(Sender);
  FProgressInfo.FileIndex = AFileIndex;
  FProgressInfo.FrameNumber = AFrameNumber;
  FProgressInfo.FPS = AFPS;
  FProgressInfo.Quality = AQuality;
  FProgressInfo.BitRate = ABitRate;
  FProgressInfo.CurrentSize = ACurrentSize;
  FProgressInfo.CurrentDuration = ACurrentDuration;
  FProgressInfo.TotalDuration = ATotalDuration;
  // The handler's exception comes back here and ends the task with its message.
  if (FTriggerEventInMainThread)
    CallInMainThread([this] { OnProgress(this, &FProgressInfo); });
  else
    OnProgress(this, &FProgressInfo);
}

void TCustomQuillon::RelayPreviewBitmap(TObject* Sender, TBitmap* ABitmap, int32_t AFrameNumber, int64_t APTS) {
  if (!OnPreviewBitmap) return;
  TServingLock lock(FPreviewLock);
  FPreviewInfo.TaskIndex = FFFmpegList.IndexOf(Sender);
  FPreviewInfo.Bitmap = ABitmap;
  FPreviewInfo.FrameNumber = AFrameNumber;
  FPreviewInfo.PTS = APTS;
  if (FTriggerEventInMainThread)
    CallInMainThread([this] { OnPreviewBitmap(this, FPreviewInfo); });
  else
    OnPreviewBitmap(this, FPreviewInfo);
}

void TCustomQuillon::RelayCustomHook(TObject* Sender, TBitmap* ABitmap, int32_t AFrameNumber, int64_t APTS,
                                     bool& AUpdate, bool& AStopHook) {
  if (!OnCustomHook) return;
  TServingLock lock(FHookLock);
  FHookInfo.TaskIndex = FFFmpegList.IndexOf(Sender);
  FHookInfo.Bitmap = ABitmap;
  FHookInfo.FrameNumber = AFrameNumber;
  FHookInfo.PTS = APTS;
  FHookInfo.Update = AUpdate;
  FHookInfo.StopHook = AStopHook;
  TCanvas* canvas = ABitmap ? ABitmap->Canvas() : nullptr;
  if (canvas) canvas->Lock();
  try {
    OnCustomHook(this, &FHookInfo);
  } catch (...) {
    if (canvas) canvas->Unlock();
    throw;
  }
  if (canvas) canvas->Unlock();
  AUpdate = FHookInfo.Update;
  AStopHook = FHookInfo.StopHook;
}

void TCustomQuillon::RelayTerminate(TObject* Sender) {
  TServingLock lock(FTerminateLock);
  if (OnTerminate) {
    const auto* engine = dynamic_cast<const TCustomFFmpeg*>(Sender);
    FTerminateInfo.TaskIndex = FFFmpegList.IndexOf(Sender);
    FTerminateInfo.Finished = engine && engine->Finished();
    FTerminateInfo.Exception = engine && engine->FatalException();
    FTerminateInfo.ExceptionMsg = engine ? engine->FatalMessage() : std::string();
    if (FThreadMode) {
      std::lock_guard g(FThreadCountLock);
      LaunchTerminateThreadLocked(FTerminateInfo, false);
    } else {
      CallTerminateHandler(FTerminateInfo);
    }
  }
  ++FCompleteTasks;
  if (FPendingTasks < 1) {
    if (FCompleteTasks >= FFFmpegList.Count() && !FTerminated) RaiseAllDone();
  } else if (FThreadMode) {
    StartNextTask();
  }
}

void TCustomQuillon::RaiseAllDone() {
  // Before any handler runs, so that the final handler may clear the tasks.
  FTerminated = true;
  if (!OnTerminate) return;
  FTerminateInfo = TTerminateInfo{-1, true, false, std::string()};
  if (!FThreadMode) {
    CallTerminateHandler(FTerminateInfo);
    return;
  }
  // The owner acts on the final event (after-done action, clearing, a new run): it comes only
  // after every task's handler has returned.
  std::lock_guard g(FThreadCountLock);
  if (FTaskHandlerThreads == 0) {
    LaunchTerminateThreadLocked(FTerminateInfo, true);
  } else {
    FFinalPending = true;
    FFinalInfo = FTerminateInfo;
  }
}

void TCustomQuillon::CallTerminateHandler(const TTerminateInfo& AInfo) {
  // The run goes on whatever the handler does: its exception is logged, not passed into the
  // engine that happens to be ending.
  try {
    if (OnTerminate) OnTerminate(this, AInfo);
  } catch (const std::exception& e) {
    GetFFLogger()->Log(this, llError, std::string("Error occurs OnTerminate: ") + e.what());
  } catch (...) {
    GetFFLogger()->Log(this, llError, "Error occurs OnTerminate");
  }
}

void TCustomQuillon::LaunchTerminateThreadLocked(const TTerminateInfo& AInfo, bool AFinal) {
  ++FLiveThreads;
  if (!AFinal) ++FTaskHandlerThreads;
  try {
    (new TQuillonTerminateThread(this, AInfo, AFinal))->Start();
  } catch (...) {
    // No thread to be had: the handler runs here rather than not at all.
    --FLiveThreads;
    if (!AFinal) --FTaskHandlerThreads;
    CallTerminateHandler(AInfo);
  }
}

void TCustomQuillon::TerminateThreadDone(bool AFinal) {
  std::lock_guard g(FThreadCountLock);
  --FLiveThreads;
  if (!AFinal) --FTaskHandlerThreads;
  if (FTaskHandlerThreads == 0 && FFinalPending) {
    FFinalPending = false;
    LaunchTerminateThreadLocked(FFinalInfo, true);
  }
  FThreadCountCond.notify_all();
}

void TCustomQuillon::WaitForTerminateThreads() {
  if (tInTerminateThread) return;  // it would wait for itself
  for (;;) {
    std::unique_lock l(FThreadCountLock);
    if (FLiveThreads == 0) return;
    if (!IsMainThread() || MainThreadHasEnded()) {
      FThreadCountCond.wait(l, [this] { return FLiveThreads == 0; });
      return;
    }
    l.unlock();
    // Handlers may hand work over to this thread while it waits for them.
    ServeMainThread(5);
  }
}
