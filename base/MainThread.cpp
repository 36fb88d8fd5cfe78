#include "base/MainThread.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>

#include "base/Exception.h"
#include "base/Format.h"

namespace {

struct TSyncRecord {
  std::function<void()> method;
  bool wait = false;
  bool done = false;  // run, or dropped because the main thread ended
  std::exception_ptr error;
};

struct THandOver {
  std::mutex m;
  std::condition_variable workAvailable;  // the main thread waits here in CheckSynchronize
  std::condition_variable workDone;       // workers wait here in Synchronize
  std::deque<std::shared_ptr<TSyncRecord>> queue;
  uint64_t wakeCount = 0;
  // The wakes a wait has already ended on: a wake made while the main thread was not waiting
  // ends its next wait, as a signalled event would, instead of being lost.
  uint64_t wakeSeen = 0;
  bool ended = false;
  std::function<void()> wakeHook;
  std::function<void()> processMessagesHook;
  std::function<bool(uint32_t)> server;
};

THandOver& HandOver() {
  static THandOver* h = new THandOver;  // never destroyed: workers may still call at exit
  return *h;
}

std::atomic<uint32_t> gMainThreadID{0};

// Records the thread that runs static initialisation, which is the one that runs main().
const bool gMainRecorded = [] {
  gMainThreadID.store(static_cast<uint32_t>(syscall(SYS_gettid)));
  return true;
}();

void CallWakeHook() {
  std::function<void()> hook;
  {
    std::lock_guard<std::mutex> lock(HandOver().m);
    hook = HandOver().wakeHook;
  }
  if (hook) hook();
}

}  // namespace

uint32_t GetCurrentThreadId() {
  static thread_local uint32_t tid = static_cast<uint32_t>(syscall(SYS_gettid));
  return tid;
}

void InitMainThread() {
  gMainThreadID.store(GetCurrentThreadId());
  std::lock_guard<std::mutex> lock(HandOver().m);
  HandOver().ended = false;
}

uint32_t MainThreadID() {
  (void)gMainRecorded;
  return gMainThreadID.load();
}

bool IsMainThread() { return GetCurrentThreadId() == MainThreadID(); }

void Synchronize(std::function<void()> method) {
  if (!method) return;
  THandOver& h = HandOver();
  if (IsMainThread()) {
    {
      std::lock_guard<std::mutex> lock(h.m);
      if (h.ended) return;
    }
    method();
    return;
  }
  auto rec = std::make_shared<TSyncRecord>();
  rec->method = std::move(method);
  rec->wait = true;
  {
    std::lock_guard<std::mutex> lock(h.m);
    if (h.ended) return;
    h.queue.push_back(rec);
  }
  h.workAvailable.notify_all();
  CallWakeHook();
  std::unique_lock<std::mutex> lock(h.m);
  h.workDone.wait(lock, [&] { return rec->done; });
  std::exception_ptr error = rec->error;
  lock.unlock();
  if (error) std::rethrow_exception(error);
}

void Queue(std::function<void()> method) {
  if (!method) return;
  THandOver& h = HandOver();
  if (IsMainThread()) {
    {
      std::lock_guard<std::mutex> lock(h.m);
      if (h.ended) return;
    }
    method();
    return;
  }
  auto rec = std::make_shared<TSyncRecord>();
  rec->method = std::move(method);
  {
    std::lock_guard<std::mutex> lock(h.m);
    if (h.ended) return;
    h.queue.push_back(std::move(rec));
  }
  h.workAvailable.notify_all();
  CallWakeHook();
}

bool CheckSynchronize(uint32_t timeoutMs) {
  if (!IsMainThread())
    throw EThread(Format("CheckSynchronize called from thread %u, which is not the main thread", GetCurrentThreadId()));
  THandOver& h = HandOver();
  std::deque<std::shared_ptr<TSyncRecord>> batch;
  {
    std::unique_lock<std::mutex> lock(h.m);
    if (h.queue.empty() && timeoutMs > 0 && !h.ended)
      h.workAvailable.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [&] { return !h.queue.empty() || h.wakeCount != h.wakeSeen || h.ended; });
    h.wakeSeen = h.wakeCount;
    if (h.ended) return false;
    batch.swap(h.queue);
  }
  bool ran = false;
  while (!batch.empty()) {
    std::shared_ptr<TSyncRecord> rec = std::move(batch.front());
    batch.pop_front();
    ran = true;
    std::exception_ptr error;
    try {
      rec->method();
    } catch (...) {
      error = std::current_exception();
    }
    if (rec->wait) {
      {
        std::lock_guard<std::mutex> lock(h.m);
        rec->error = error;
        rec->done = true;
      }
      h.workDone.notify_all();
    } else if (error) {
      // The rest stays queued, in order, for the next call.
      std::lock_guard<std::mutex> lock(h.m);
      h.queue.insert(h.queue.begin(), batch.begin(), batch.end());
      batch.clear();
      std::rethrow_exception(error);
    }
  }
  return ran;
}

bool ServeMainThread(uint32_t timeoutMs) {
  if (!IsMainThread()) return false;
  THandOver& h = HandOver();
  std::function<bool(uint32_t)> server;
  {
    std::unique_lock<std::mutex> lock(h.m);
    server = h.server;
    if (!server && h.ended) {
      // Nothing to serve any more: just wait for the wake-up or the time.
      if (timeoutMs > 0)
        h.workAvailable.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return h.wakeCount != h.wakeSeen; });
      h.wakeSeen = h.wakeCount;
      return false;
    }
  }
  if (server) return server(timeoutMs);
  return CheckSynchronize(timeoutMs);
}

void SetMainThreadServer(std::function<bool(uint32_t timeoutMs)> server) {
  std::lock_guard<std::mutex> lock(HandOver().m);
  HandOver().server = std::move(server);
}

void WakeMainThread() {
  {
    std::lock_guard<std::mutex> lock(HandOver().m);
    ++HandOver().wakeCount;
  }
  HandOver().workAvailable.notify_all();
  CallWakeHook();
}

void SetWakeMainThread(std::function<void()> hook) {
  std::lock_guard<std::mutex> lock(HandOver().m);
  HandOver().wakeHook = std::move(hook);
}

void SetProcessMessagesHook(std::function<void()> hook) {
  std::lock_guard<std::mutex> lock(HandOver().m);
  HandOver().processMessagesHook = std::move(hook);
}

void ProcessMessages() {
  std::function<void()> hook;
  {
    std::lock_guard<std::mutex> lock(HandOver().m);
    hook = HandOver().processMessagesHook;
  }
  if (hook)
    hook();
  else if (IsMainThread())
    CheckSynchronize(0);
}

void MainThreadEnded() {
  THandOver& h = HandOver();
  std::deque<std::shared_ptr<TSyncRecord>> dropped;
  {
    std::lock_guard<std::mutex> lock(h.m);
    h.ended = true;
    dropped.swap(h.queue);
    for (auto& rec : dropped) rec->done = true;
  }
  h.workDone.notify_all();
  h.workAvailable.notify_all();
  // The dropped methods are destroyed here, outside the lock: their captures may do anything.
}

bool MainThreadHasEnded() {
  std::lock_guard<std::mutex> lock(HandOver().m);
  return HandOver().ended;
}
