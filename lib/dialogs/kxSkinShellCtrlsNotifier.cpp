// The shell change notifier and its worker thread.
#include "lib/dialogs/kxSkinShellCtrls.h"

using namespace win;

// Kept in this file, which needs nothing else of the shell items, so that the threaded tests can
// build the notifier on its own.
TCriticalSection& ShellChangeLock() {
  static TCriticalSection lock;
  return lock;
}

uint32_t NotifyOptionFlags(TNotifyFilters Filters) {
  uint32_t f = 0;
  if (Filters.Contains(nfFileNameChange)) f |= FILE_NOTIFY_CHANGE_FILE_NAME;
  if (Filters.Contains(nfDirNameChange)) f |= FILE_NOTIFY_CHANGE_DIR_NAME;
  if (Filters.Contains(nfAttributeChange)) f |= FILE_NOTIFY_CHANGE_ATTRIBUTES;
  if (Filters.Contains(nfSizeChange)) f |= FILE_NOTIFY_CHANGE_SIZE;
  if (Filters.Contains(nfWriteChange)) f |= FILE_NOTIFY_CHANGE_LAST_WRITE;
  if (Filters.Contains(nfSecurityChange)) f |= FILE_NOTIFY_CHANGE_SECURITY;
  return f;
}

// ---- the thread -------------------------------------------------------------------------------

TkxShellChangeThread::TkxShellChangeThread(TThreadMethod ChangeEvent)
    : TThread(true), FChangeEvent(std::move(ChangeEvent)) {}

TkxShellChangeThread::~TkxShellChangeThread() {
  Stop();
  if (!Suspended()) WaitFor();
}

TThreadMethod TkxShellChangeThread::ChangeEvent() const {
  TCriticalSectionGuard guard(ShellChangeLock());
  return FChangeEvent;
}

void TkxShellChangeThread::SetChangeEvent(TThreadMethod Value) {
  TCriticalSectionGuard guard(ShellChangeLock());
  FChangeEvent = std::move(Value);
}

void TkxShellChangeThread::SetDirectoryOptions(const std::string& Directory, bool WatchSubTree,
                                               uint32_t NotifyOptionFlags) {
  {
    TCriticalSectionGuard guard(ShellChangeLock());
    FDirectory = Directory;
    FWatchSubTree = WatchSubTree;
    FNotifyOptionFlags = NotifyOptionFlags;
    FWaitChanged = true;
  }
  // The worker arms the new options at once; it closes the old handle itself, never under a wait.
  FWake.Signal();
}

void TkxShellChangeThread::Stop() {
  {
    TCriticalSectionGuard guard(ShellChangeLock());
    FVoid = true;
  }
  Terminate();
  FWake.Signal();
}

void TkxShellChangeThread::Arm() {
  TCriticalSectionGuard guard(ShellChangeLock());
  FWaitHandle = std::make_unique<shell::ChangeWatch>(FDirectory, FWatchSubTree, FNotifyOptionFlags);
}

// Runs on the user-interface thread. A change handed over before the notifier went away runs as
// nothing: its control may be gone.
void TkxShellChangeThread::RunChange() {
  TThreadMethod method;
  {
    TCriticalSectionGuard guard(ShellChangeLock());
    if (FVoid) return;
    method = FChangeEvent;
  }
  if (!method) return;
  FInChange = true;
  try {
    method();
  } catch (...) {
    FInChange = false;
    throw;
  }
  FInChange = false;
}

bool TkxShellChangeThread::ArmNow() {
  TCriticalSectionGuard guard(ShellChangeLock());
  Arm();
  FWaitChanged = false;
  FWake.Clear();
  return FWaitHandle->Valid();
}

void TkxShellChangeThread::Execute() {
  if (!FWaitHandle) Arm();
  if (!FWaitHandle->Valid()) return;
  while (!Terminated()) {
    const shell::ChangeWatch::Result r = FWaitHandle->Wait(FWake);
    if (r == shell::ChangeWatch::Failed) break;
    if (r == shell::ChangeWatch::Changed && !Terminated()) {
      FInHandOver.store(true);
      Synchronize([this] { RunChange(); });
      FInHandOver.store(false);
    }
    if (r == shell::ChangeWatch::Woken) FWake.Clear();
    bool rearm = false;
    {
      TCriticalSectionGuard guard(ShellChangeLock());
      rearm = FWaitChanged;
      FWaitChanged = false;
    }
    if (rearm && !Terminated()) {
      // The new handle is armed before the old one goes, and what the old one still holds is
      // reported, so no change is lost across the switch.
      std::unique_ptr<shell::ChangeWatch> old = std::move(FWaitHandle);
      Arm();
      if (old->Pending() && !Terminated()) {
        FInHandOver.store(true);
        Synchronize([this] { RunChange(); });
        FInHandOver.store(false);
      }
      if (!FWaitHandle->Valid()) break;
    }
  }
}

// ---- the notifier -----------------------------------------------------------------------------

namespace {
// Threads whose notifier went away inside their own change method: the worker waits for that
// very method to return, so it cannot be waited for there. They end right after it and are
// freed here later.
std::vector<std::unique_ptr<TkxShellChangeThread>>& Ended() {
  static std::vector<std::unique_ptr<TkxShellChangeThread>> threads;
  return threads;
}
void FreeEnded() {
  auto& v = Ended();
  for (auto it = v.begin(); it != v.end();) {
    if ((*it)->Finished() && !(*it)->InChange())
      it = v.erase(it);
    else
      ++it;
  }
}
}  // namespace

TkxCustomShellChangeNotifier::TkxCustomShellChangeNotifier(TComponent* AOwner) : TComponent(AOwner) { StartThread(); }

TkxCustomShellChangeNotifier::~TkxCustomShellChangeNotifier() { StopThread(); }

void TkxCustomShellChangeNotifier::StopThread() {
  if (!FThread) return;
  std::unique_ptr<TkxShellChangeThread> thread = std::move(FThread);
  thread->Stop();
  FreeEnded();
  if (thread->InChange()) {
    Ended().push_back(std::move(thread));
    return;
  }
  // Serves the hand-overs while it waits, so a worker waiting in one is released (its call runs
  // as nothing).
  thread->WaitFor();
}

bool TkxCustomShellChangeNotifier::Watching() {
  if (FThread && FThread->Finished()) StopThread();
  return FThread != nullptr;
}

void TkxCustomShellChangeNotifier::SetRoot(const TRoot& Value) {
  // Paths are case-sensitive: "/data/A" is another folder than "/data/a".
  if (Value == FRoot) return;
  FRoot = Value;
  UpdateThreadOptions();
}

void TkxCustomShellChangeNotifier::SetNotifyFilters(TNotifyFilters Value) {
  FFilters = Value;
  UpdateThreadOptions();
}

void TkxCustomShellChangeNotifier::SetWatchSubTree(bool Value) {
  FWatchSubTree = Value;
  UpdateThreadOptions();
}

void TkxCustomShellChangeNotifier::SetOnChange(TThreadMethod Value) {
  FOnChange = std::move(Value);
  if (Watching())
    FThread->SetChangeEvent(FOnChange);
  else
    StartThread();
}

void TkxCustomShellChangeNotifier::UpdateThreadOptions() {
  // A thread that ended (its folder went away) is replaced, so the new options are watched.
  if (Watching())
    FThread->SetDirectoryOptions(FRoot, FWatchSubTree, NotifyOptionFlags(FFilters));
  else
    StartThread();
}

void TkxCustomShellChangeNotifier::StartThread() {
  if (!FOnChange || FThread) return;
  FreeEnded();
  auto thread = std::make_unique<TkxShellChangeThread>(FOnChange);
  thread->SetDirectoryOptions(FRoot, FWatchSubTree, NotifyOptionFlags(FFilters));
  // Armed before the thread runs, so every change after this call is seen. A folder that cannot
  // be watched gets no thread at all; setting another root tries again.
  if (!thread->ArmNow()) return;
  FThread = std::move(thread);
  FThread->Start();
}
