#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>

#include "base/Clock.h"
#include "base/Exception.h"
#include "base/Sync.h"
#include "base/Thread.h"

namespace {

// Runs a function as its Execute.
class TFuncThread : public TThread {
public:
  explicit TFuncThread(std::function<void(TFuncThread*)> body, bool createSuspended = true)
      : TThread(createSuspended), body_(std::move(body)) {
    if (!createSuspended) Start();
  }
  ~TFuncThread() override {
    // Execute uses body_: stop before this class's members go.
    if (!Suspended() && !FreeOnTerminate()) {
      Terminate();
      WaitFor();
    }
    if (destroyed) destroyed->SetEvent();
  }
  using TThread::SetReturnValue;
  TEvent* destroyed = nullptr;

protected:
  void Execute() override { body_(this); }

private:
  std::function<void(TFuncThread*)> body_;
};

class ThreadTest : public ::testing::Test {
protected:
  void SetUp() override { InitMainThread(); }
};

int NiceOf(uint32_t tid) {
  errno = 0;
  return getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
}

}  // namespace

TEST_F(ThreadTest, CreatedSuspendedRunsFromStartAndWaitForAnswersReturnValue) {
  std::atomic<bool> ran{false};
  std::atomic<uint32_t> ranOn{0};
  TFuncThread t([&](TFuncThread* self) {
    ranOn = GetCurrentThreadId();
    ran = true;
    self->SetReturnValue(42);
  });
  EXPECT_TRUE(t.Suspended());
  EXPECT_EQ(t.ThreadID(), 0u);
  EXPECT_THROW(t.WaitFor(), EThread);
  t.Suspend();  // nothing to do before the start
  t.Resume();
  EXPECT_FALSE(t.Suspended());
  EXPECT_NE(t.ThreadID(), 0u);
  EXPECT_EQ(t.WaitFor(), 42);
  EXPECT_TRUE(ran);
  EXPECT_TRUE(t.Finished());
  EXPECT_EQ(ranOn.load(), t.ThreadID());
  EXPECT_NE(t.ThreadID(), MainThreadID());
  EXPECT_EQ(t.FatalException(), nullptr);
  EXPECT_THROW(t.Start(), EThread);
  t.Resume();  // harmless on a thread that has run
}

TEST_F(ThreadTest, ExceptionEscapingExecuteIsKeptAndOnTerminateRunsOnTheMainThread) {
  std::atomic<uint32_t> terminateOn{0};
  TObject* sender = nullptr;
  TFuncThread t([](TFuncThread*) { throw EConvertError("bad frame size"); });
  t.OnTerminate = [&](TObject* s) {
    sender = s;
    terminateOn = GetCurrentThreadId();
  };
  t.Start();
  t.WaitFor();  // serves the OnTerminate hand-over
  EXPECT_EQ(sender, &t);
  EXPECT_EQ(terminateOn.load(), MainThreadID());
  ASSERT_NE(t.FatalException(), nullptr);
  EXPECT_EQ(t.FatalExceptionMessage(), "bad frame size");
  EXPECT_THROW(std::rethrow_exception(t.FatalException()), EConvertError);

  // A non-standard exception is kept too.
  TFuncThread odd([](TFuncThread*) { throw 7; });
  odd.Start();
  odd.WaitFor();
  EXPECT_EQ(odd.FatalExceptionMessage(), "Unknown exception");
}

TEST_F(ThreadTest, FreeOnTerminateFreesItselfAfterOnTerminate) {
  TEvent destroyed;
  std::atomic<bool> terminated{false};
  auto* t = new TFuncThread([](TFuncThread*) {}, true);
  t->destroyed = &destroyed;
  t->SetFreeOnTerminate(true);
  t->OnTerminate = [&](TObject*) { terminated = true; };
  t->Start();
  EXPECT_THROW(t->WaitFor(), EThread);  // it may be gone at any time: refuse to wait on it
  // Serve the OnTerminate hand-over until the object is gone (ASan reports a leak otherwise).
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (destroyed.WaitFor(0) != wrSignaled && std::chrono::steady_clock::now() < limit) CheckSynchronize(5);
  EXPECT_EQ(destroyed.WaitFor(0), wrSignaled);
  EXPECT_TRUE(terminated);
}

TEST_F(ThreadTest, DeletingARunningThreadTerminatesAndJoinsIt) {
  std::atomic<int> loops{0};
  {
    TFuncThread t([&](TFuncThread* self) {
      while (!self->Terminated()) {
        ++loops;
        self->Synchronize([] {});  // served by the destructor's wait on the main thread
        Sleep(1);
      }
    });
    t.Start();
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (loops < 2 && std::chrono::steady_clock::now() < limit) CheckSynchronize(5);
    ASSERT_GE(loops.load(), 2);
    EXPECT_THROW(t.Suspend(), EThread);  // no suspension of a running thread on Linux
  }

  // A thread that never started is simply freed.
  TFuncThread never([](TFuncThread*) { FAIL() << "never started"; });
}

TEST_F(ThreadTest, PriorityIsANiceValueOfTheThread) {
  EXPECT_EQ(NiceValueOf(tpIdle), 19);
  EXPECT_EQ(NiceValueOf(tpLowest), 10);
  EXPECT_EQ(NiceValueOf(tpLower), 5);
  EXPECT_EQ(NiceValueOf(tpNormal), 0);

  std::atomic<int> niceInside{-100};
  TFuncThread idle([&](TFuncThread*) { niceInside = NiceOf(GetCurrentThreadId()); });
  idle.SetPriority(tpIdle);  // stored, applied when the thread starts
  idle.Start();
  idle.WaitFor();
  EXPECT_EQ(niceInside.load(), 19);

  TEvent release;
  TFuncThread running([&](TFuncThread*) { release.WaitFor(5000); });
  running.Start();
  int before = NiceOf(running.ThreadID());
  running.SetPriority(before < 10 ? tpLowest : tpIdle);  // lowering is always permitted
  int lowered = NiceOf(running.ThreadID());
  EXPECT_EQ(lowered, before < 10 ? 10 : 19);
  running.SetPriority(tpTimeCritical);  // needs a privilege: applied or silently ignored
  int raised = NiceOf(running.ThreadID());
  EXPECT_TRUE(raised == -20 || raised == lowered) << raised;
  EXPECT_EQ(running.Priority(), tpTimeCritical);
  release.SetEvent();
  running.WaitFor();
}

TEST_F(ThreadTest, OnTerminateIsSkippedOnceTheMainThreadHasEnded) {
  std::atomic<bool> terminated{false};
  TFuncThread t([](TFuncThread*) {});
  t.OnTerminate = [&](TObject*) { terminated = true; };
  MainThreadEnded();
  t.Start();
  t.WaitFor();  // must not wait for a main thread that no longer serves
  EXPECT_FALSE(terminated);
  InitMainThread();
}
