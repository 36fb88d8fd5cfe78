// The change notifier in a temporary folder: one call per change on the user-interface thread,
// the filters and the subtree switch, destruction while the worker waits in a hand-over, and a
// folder that cannot be watched.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "base/MainThread.h"
#include "lib/dialogs/kxSkinShellCtrls.h"
#include "tests/platform/ShellTestTree.h"

using shelltest::WriteText;

namespace {

class Notifier : public TkxShellChangeNotifier {
 public:
  using TkxShellChangeNotifier::TkxShellChangeNotifier;
  using TkxCustomShellChangeNotifier::ChangeThread;
};

class ShellChangeNotifier : public ::testing::Test {
 protected:
  void SetUp() override {
    InitMainThread();
    dir = tree.home + "/Videos";
    mkdir((dir + "/sub").c_str(), 0755);
    WriteText(dir + "/existing", "a");
  }

  // Serves hand-overs until `n` changes have run (or a generous limit has passed).
  bool WaitForCalls(int n) {
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (calls < n && std::chrono::steady_clock::now() < limit) CheckSynchronize(100);
    return calls == n;
  }
  std::unique_ptr<Notifier> Make() {
    auto n = std::make_unique<Notifier>(nullptr);
    n->SetRoot(dir);
    n->SetWatchSubTree(false);
    n->SetOnChange([this] {
      ++calls;
      onMainThread = onMainThread && IsMainThread();
    });
    return n;
  }

  shelltest::Tree tree;
  std::string dir;
  int calls = 0;
  bool onMainThread = true;
};

TEST_F(ShellChangeNotifier, OneChangeEachForCreateDeleteAndRenameOnTheUserInterfaceThread) {
  auto n = Make();
  ASSERT_TRUE(n->Watching());
  WriteText(dir + "/new.avi", "");
  ASSERT_TRUE(WaitForCalls(1));
  unlink((dir + "/new.avi").c_str());
  ASSERT_TRUE(WaitForCalls(2));
  rename((dir + "/existing").c_str(), (dir + "/renamed").c_str());
  ASSERT_TRUE(WaitForCalls(3));
  mkdir((dir + "/folder").c_str(), 0755);
  ASSERT_TRUE(WaitForCalls(4));
  EXPECT_TRUE(onMainThread);
  // Replacing the method hands it to the running thread.
  int other = 0;
  n->SetOnChange([&] { ++other; });
  WriteText(dir + "/more.avi", "");
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (other == 0 && std::chrono::steady_clock::now() < limit) CheckSynchronize(100);
  EXPECT_EQ(1, other);
  EXPECT_EQ(4, calls);
}

TEST_F(ShellChangeNotifier, AWriteAndAChangeInASubfolderAreNotReported) {
  auto n = Make();
  WriteText(dir + "/existing", "more text");
  WriteText(dir + "/sub/inner.avi", "");
  // The marker comes after both in the queue: had either been reported, a call would come first.
  WriteText(dir + "/marker1", "");
  ASSERT_TRUE(WaitForCalls(1));
  WriteText(dir + "/marker2", "");
  ASSERT_TRUE(WaitForCalls(2));
  CheckSynchronize(0);
  EXPECT_EQ(2, calls);
  n.reset();
  // With the subtree watched, the subfolder counts.
  auto w = std::make_unique<Notifier>(nullptr);
  w->SetRoot(dir);
  w->SetOnChange([this] { ++calls; });
  ASSERT_TRUE(w->WatchSubTree());
  WriteText(dir + "/sub/inner2.avi", "");
  ASSERT_TRUE(WaitForCalls(3));
}

TEST_F(ShellChangeNotifier, DestroyingItReleasesAThreadWaitingInAHandOver) {
  auto n = Make();
  WriteText(dir + "/new.avi", "");
  // The worker now waits for this thread to run the change; it is not served.
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!n->ChangeThread()->InHandOver() && std::chrono::steady_clock::now() < limit) std::this_thread::yield();
  ASSERT_TRUE(n->ChangeThread()->InHandOver());
  n.reset();  // waits for the worker, serving the hand-over as nothing
  EXPECT_EQ(0, calls);
  CheckSynchronize(0);
  EXPECT_EQ(0, calls);
}

TEST_F(ShellChangeNotifier, ItsOwnChangeMethodMayDestroyIt) {
  // As a control does when a refresh switches its automatic refresh off.
  auto* n = new Notifier(nullptr);
  n->SetRoot(dir);
  n->SetOnChange([&] {
    ++calls;
    delete n;
  });
  WriteText(dir + "/new.avi", "");
  ASSERT_TRUE(WaitForCalls(1));
  // The next notifier frees the thread that ended meanwhile; nothing else runs.
  auto next = Make();
  WriteText(dir + "/second.avi", "");
  ASSERT_TRUE(WaitForCalls(2));
}

TEST_F(ShellChangeNotifier, AFolderThatCannotBeWatchedGivesNoThreadAndNoError) {
  auto n = std::make_unique<Notifier>(nullptr);
  EXPECT_FALSE(n->Watching());  // no method yet
  n->SetRoot(dir + "/missing");
  n->SetOnChange([this] { ++calls; });
  EXPECT_FALSE(n->Watching());
  EXPECT_EQ(nullptr, n->ChangeThread());
  n->SetRoot("");
  EXPECT_FALSE(n->Watching());
  // The folder appears: giving the root again starts watching it.
  mkdir((dir + "/missing").c_str(), 0755);
  n->SetRoot(dir + "/missing");
  ASSERT_TRUE(n->Watching());
  WriteText(dir + "/missing/a", "");
  EXPECT_TRUE(WaitForCalls(1));
  n.reset();
  // A notifier without a method never had a thread.
  Notifier plain(nullptr);
  plain.SetRoot(dir);
  EXPECT_FALSE(plain.Watching());
  EXPECT_EQ((TNotifyFilters{nfFileNameChange, nfDirNameChange}), plain.NotifyFilters());
  EXPECT_TRUE(plain.WatchSubTree());
  EXPECT_EQ(0x1u | 0x2u | 0x10u | 0x100u,
            NotifyOptionFlags({nfFileNameChange, nfDirNameChange, nfWriteChange, nfSecurityChange}));
}

TEST_F(ShellChangeNotifier, TheRootMovesToAnotherFolder) {
  mkdir((dir + "/other").c_str(), 0755);
  auto n = Make();
  n->SetRoot(dir + "/other");
  // The thread re-arms on its own; a change in the new folder is seen, one in the old one is not.
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (int i = 0; calls == 0 && std::chrono::steady_clock::now() < limit; ++i) {
    WriteText(dir + "/other/probe" + std::to_string(i), "");
    CheckSynchronize(100);
  }
  ASSERT_GT(calls, 0);
  int before = calls;
  WriteText(dir + "/old-root-file", "");
  WriteText(dir + "/other/marker", "");
  ASSERT_TRUE(WaitForCalls(before + 1));
}

}  // namespace
