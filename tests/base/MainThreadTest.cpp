#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "base/Exception.h"
#include "base/MainThread.h"

namespace {

// The test's own thread plays the user-interface thread; every test starts with an open hand-over.
class MainThreadTest : public ::testing::Test {
protected:
  void SetUp() override { InitMainThread(); }
  void TearDown() override {
    SetWakeMainThread(nullptr);
    SetProcessMessagesHook(nullptr);
    InitMainThread();
  }
  // Serves hand-overs until `done` (with a generous limit so a fault fails instead of hanging).
  static void ServeUntil(const std::atomic<bool>& done) {
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done && std::chrono::steady_clock::now() < limit) CheckSynchronize(10);
    ASSERT_TRUE(done.load());
  }
};

}  // namespace

TEST_F(MainThreadTest, IdentifiesTheMainThread) {
  EXPECT_TRUE(IsMainThread());
  EXPECT_EQ(MainThreadID(), GetCurrentThreadId());
  std::atomic<bool> workerIsMain{true};
  uint32_t workerId = 0;
  std::thread([&] {
    workerIsMain = IsMainThread();
    workerId = GetCurrentThreadId();
  }).join();
  EXPECT_FALSE(workerIsMain);
  EXPECT_NE(workerId, MainThreadID());
  std::thread([] { EXPECT_THROW(CheckSynchronize(0), EThread); }).join();
}

TEST_F(MainThreadTest, SynchronizeRunsOnTheMainThreadAndRethrowsOnTheWorker) {
  std::atomic<int> wakes{0};
  SetWakeMainThread([&] { ++wakes; });
  std::atomic<bool> done{false};
  uint32_t ranOn = 0;
  std::string caught;
  std::thread worker([&] {
    Synchronize([&] { ranOn = GetCurrentThreadId(); });
    try {
      Synchronize([] { throw EConvertError("progress handler failed"); });
    } catch (const EConvertError& e) {
      caught = e.Message;  // the same class and text, on the worker
    }
    done = true;
  });
  ServeUntil(done);
  worker.join();
  EXPECT_EQ(ranOn, MainThreadID());
  EXPECT_EQ(caught, "progress handler failed");
  EXPECT_GE(wakes.load(), 2);

  // On the main thread itself it runs at once, exceptions and all.
  bool ran = false;
  Synchronize([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_THROW(Synchronize([] { throw Exception("direct"); }), Exception);
}

TEST_F(MainThreadTest, QueueDoesNotWaitAndRunsInOrder) {
  std::vector<int> order;
  std::thread([&] {
    for (int i = 0; i < 5; ++i) Queue([&order, i] { order.push_back(i); });
  }).join();  // returned without anyone serving
  EXPECT_TRUE(order.empty());
  EXPECT_TRUE(CheckSynchronize(0));
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_FALSE(CheckSynchronize(0));

  // A queued method's exception comes out of CheckSynchronize; the rest waits for the next call.
  order.clear();
  std::thread([&] {
    Queue([&] { order.push_back(1); });
    Queue([] { throw Exception("queued failure"); });
    Queue([&] { order.push_back(3); });
  }).join();
  EXPECT_THROW(CheckSynchronize(0), Exception);
  EXPECT_EQ(order, (std::vector<int>{1}));
  EXPECT_TRUE(CheckSynchronize(0));
  EXPECT_EQ(order, (std::vector<int>{1, 3}));
}

TEST_F(MainThreadTest, WakeEndsAWaitingCheckSynchronize) {
  std::thread waker([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    WakeMainThread();
  });
  // Without the wake this would wait ten seconds.
  auto start = std::chrono::steady_clock::now();
  CheckSynchronize(10000);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  waker.join();
}

TEST_F(MainThreadTest, HandOversAfterTheMainThreadEndedReturnWithoutRunning) {
  // A worker already waiting is released, not deadlocked.
  std::atomic<bool> queued{false};
  SetWakeMainThread([&] { queued = true; });
  std::atomic<bool> ran{false}, returned{false};
  std::thread waiting([&] {
    Synchronize([&] { ran = true; });
    returned = true;
  });
  while (!queued) std::this_thread::yield();
  MainThreadEnded();
  waiting.join();
  EXPECT_TRUE(returned);
  EXPECT_FALSE(ran);
  EXPECT_TRUE(MainThreadHasEnded());

  // Later hand-overs, from any thread, return at once without running.
  std::thread([&] {
    Synchronize([&] { ran = true; });
    Queue([&] { ran = true; });
  }).join();
  Synchronize([&] { ran = true; });
  Queue([&] { ran = true; });
  EXPECT_FALSE(CheckSynchronize(0));
  EXPECT_FALSE(ran);

  InitMainThread();
  EXPECT_FALSE(MainThreadHasEnded());
}

TEST_F(MainThreadTest, ProcessMessagesUsesTheHookOrServesHandOvers) {
  bool served = false;
  std::thread([&] { Queue([&] { served = true; }); }).join();
  ProcessMessages();
  EXPECT_TRUE(served);
  int calls = 0;
  SetProcessMessagesHook([&] { ++calls; });
  ProcessMessages();
  EXPECT_EQ(calls, 1);
}
