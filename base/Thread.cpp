#include "base/Thread.h"

#include <sys/resource.h>

#include <system_error>

#include "base/Exception.h"

int NiceValueOf(TThreadPriority Priority) {
  switch (Priority) {
    case tpIdle: return 19;
    case tpLowest: return 10;
    case tpLower: return 5;
    case tpNormal: return 0;
    case tpHigher: return -5;
    case tpHighest: return -10;
    case tpTimeCritical: return -20;
  }
  return 0;
}

namespace {

// Lets Start return only once the new thread has recorded its id. The new thread signals while
// holding the lock, so Start's frame (which holds this) outlives every use of it.
struct TStartLatch {
  std::mutex m;
  std::condition_variable cv;
  bool ready = false;
};

}  // namespace

TThread::TThread(bool /*CreateSuspended*/) {}

TThread::~TThread() {
  if (!thread_.joinable()) return;
  if (GetCurrentThreadId() == threadID_.load()) {
    // FreeOnTerminate: the thread frees its own object and ends right after.
    thread_.detach();
    return;
  }
  Terminate();
  // On the main thread keep serving: the thread may be waiting in Synchronize, in OnTerminate
  // or in a SendMessage to one of our windows. Its end wakes us (Run calls WakeMainThread).
  // An exception of a queued method cannot leave a destructor; the wait goes on without it.
  while (IsMainThread() && !finished_.load()) {
    try {
      ServeMainThread(10);
    } catch (...) {
    }
  }
  thread_.join();
}

void TThread::Start() {
  TStartLatch latch;
  {
    std::lock_guard<std::mutex> lock(m_);
    if (started_.load()) throw EThread("Cannot call Start on a running or finished thread");
    started_.store(true);
    auto body = [this, &latch] {
      {
        std::lock_guard<std::mutex> wait(m_);  // Start has stored thread_ and handle_
      }
      threadID_.store(GetCurrentThreadId());
      {
        std::lock_guard<std::mutex> l(latch.m);
        latch.ready = true;
        latch.cv.notify_one();
      }
      Run();
    };
    try {
      thread_ = std::thread(body);
    } catch (const std::system_error& e) {
      started_.store(false);
      throw EThread(std::string("Cannot create a thread: ") + e.what());
    }
    handle_ = thread_.native_handle();
  }
  std::unique_lock<std::mutex> l(latch.m);
  latch.cv.wait(l, [&] { return latch.ready; });
}

void TThread::Resume() {
  if (!started_.load()) Start();
}

void TThread::Suspend() {
  if (started_.load() && !finished_.load())
    throw EThread("A running thread cannot be suspended; pause it cooperatively instead");
}

void TThread::SetSuspended(bool Value) {
  if (Value)
    Suspend();
  else
    Resume();
}

void TThread::SetPriority(TThreadPriority Value) {
  priority_.store(Value);
  ApplyPriority();
}

void TThread::ApplyPriority() {
  uint32_t tid = threadID_.load();
  if (tid == 0 || finished_.load()) return;
  // Raising the priority needs a privilege; without it the thread keeps the one it has.
  setpriority(PRIO_PROCESS, static_cast<id_t>(tid), NiceValueOf(priority_.load()));
}

void TThread::Run() {
  ApplyPriority();
  if (!Terminated()) {
    try {
      Execute();
    } catch (...) {
      std::lock_guard<std::mutex> lock(m_);
      fatal_ = std::current_exception();
    }
  }
  try {
    DoTerminate();
  } catch (...) {
    std::lock_guard<std::mutex> lock(m_);
    if (!fatal_) fatal_ = std::current_exception();
  }
  if (freeOnTerminate_.load()) {
    delete this;
    return;
  }
  {
    std::lock_guard<std::mutex> lock(m_);
    finished_.store(true);
    cv_.notify_all();
  }
  WakeMainThread();
}

void TThread::DoTerminate() {
  if (OnTerminate) ::Synchronize([this] { OnTerminate(this); });
}

int TThread::WaitFor() {
  if (!started_.load()) throw EThread("Cannot wait for a thread that has not been started");
  if (freeOnTerminate_.load()) throw EThread("Cannot wait for a thread that frees itself");
  if (GetCurrentThreadId() == threadID_.load()) throw EThread("A thread cannot wait for itself");
  if (IsMainThread()) {
    // Keep serving hand-overs and sent messages; the thread's end wakes us.
    while (!finished_.load()) ServeMainThread(10);
    return ReturnValue();
  }
  std::unique_lock<std::mutex> lock(m_);
  cv_.wait(lock, [this] { return finished_.load(); });
  return ReturnValue();
}

std::exception_ptr TThread::FatalException() const {
  std::lock_guard<std::mutex> lock(m_);
  return fatal_;
}

std::string TThread::FatalExceptionMessage() const {
  std::exception_ptr e = FatalException();
  if (!e) return std::string();
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& ex) {
    return ex.what();
  } catch (...) {
    return "Unknown exception";
  }
}
