// Launching, the finish sound, powering off and the tray go to the headless recorder; the change
// watch sees what its filter asks for.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "platform/backend/headless/ShellRecorder.h"
#include "platform/shell/ChangeNotify.h"
#include "platform/shell/ShellApi.h"
#include "platform/shell/Services.h"
#include "tests/platform/ShellTestTree.h"

using namespace win;
using shelltest::WriteText;

namespace {

class ShellServices : public ::testing::Test {
 protected:
  void SetUp() override { headless::ResetShellRecorder(); }
  void TearDown() override { headless::ResetShellRecorder(); }
  shelltest::Tree tree;
};

TEST_F(ShellServices, LaunchingGivesXdgOpenAnArgumentVector) {
  const std::string file = tree.home + "/Videos/a clip; rm -rf ~.avi";
  WriteText(file, "");
  EXPECT_GT(ShellExecute(nullptr, "open", file, {}, {}, 1), 32);
  // A relative name is made absolute, so that "-x" is never taken for an option.
  WriteText(tree.home + "/-x", "");
  EXPECT_GT(ShellExecute(nullptr, "", "-x", {}, tree.home, 0), 32);
  EXPECT_GT(ShellExecute(nullptr, "open", "https://example.org/a b", {}, {}, 1), 32);
  EXPECT_EQ(2, ShellExecute(nullptr, "open", tree.home + "/missing", {}, {}, 1));
  EXPECT_EQ(31, ShellExecute(nullptr, "print", file, {}, {}, 1));
  const auto launches = headless::Launches();
  ASSERT_EQ(3u, launches.size());
  EXPECT_EQ((std::vector<std::string>{"xdg-open", file}), launches[0]);
  EXPECT_EQ((std::vector<std::string>{"xdg-open", tree.home + "/-x"}), launches[1]);
  EXPECT_EQ((std::vector<std::string>{"xdg-open", "https://example.org/a b"}), launches[2]);
  // A launcher that cannot start (no xdg-utils) is a failure, not a crash.
  headless::SetLaunchSucceeds(false);
  EXPECT_LE(ShellExecute(nullptr, "open", file, {}, {}, 1), 32);
  // Through an item-ID list.
  headless::SetLaunchSucceeds(true);
  std::unique_ptr<IShellFolder> desktop;
  SHGetDesktopFolder(&desktop);
  LPITEMIDLIST pidl = nullptr;
  ASSERT_EQ(S_OK, desktop->ParseDisplayName(nullptr, tree.home + "/Videos", nullptr, &pidl, nullptr));
  SHELLEXECUTEINFO sei;
  sei.fMask = SEE_MASK_INVOKEIDLIST;
  sei.lpIDList = pidl;
  EXPECT_TRUE(ShellExecuteEx(&sei));
  CoTaskMemFree(pidl);
  EXPECT_EQ((std::vector<std::string>{"xdg-open", tree.home + "/Videos"}), headless::Launches().back());
}

TEST_F(ShellServices, SoundPowerOffAndTrayAreRecorded) {
  const std::string wav = tree.root + "/ring001.wav";
  WriteText(wav, "RIFF");
  EXPECT_TRUE(PlaySound(wav.c_str(), nullptr, SND_ASYNC | SND_FILENAME));
  EXPECT_FALSE(PlaySound((tree.root + "/none.wav").c_str(), nullptr, SND_ASYNC));
  EXPECT_EQ(std::vector<std::string>{wav}, headless::SoundsPlayed());

  EXPECT_FALSE(ExitWindowsEx(EWX_LOGOFF, 0));
  EXPECT_EQ(0, headless::PowerOffRequests());
  EXPECT_TRUE(ExitWindowsEx(EWX_SHUTDOWN | EWX_FORCE | EWX_POWEROFF, 0));
  EXPECT_EQ(1, headless::PowerOffRequests());

  NOTIFYICONDATA nid;
  nid.uID = 1;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = 2048;
  nid.szTip = "OmbrelWMV视频格式转换器";
  EXPECT_TRUE(Shell_NotifyIcon(NIM_ADD, &nid));
  headless::SetTrayAvailable(false);
  EXPECT_FALSE(Shell_NotifyIcon(NIM_MODIFY, &nid));
  EXPECT_FALSE(Shell_NotifyIcon(7, &nid));
  const auto calls = headless::TrayCalls();
  ASSERT_EQ(2u, calls.size());
  EXPECT_EQ(NIM_ADD, calls[0].message);
  EXPECT_EQ("OmbrelWMV视频格式转换器", calls[0].data.szTip);
  EXPECT_EQ(2048u, calls[0].data.uCallbackMessage);
  EXPECT_EQ(NIM_MODIFY, calls[1].message);
}

// Waits in a helper thread; the main thread does the change, then wakes the wait if needed.
shell::ChangeWatch::Result WaitAfter(shell::ChangeWatch& w, shell::WakeEvent& wake, const std::function<void()>& act) {
  act();
  wake.Signal();  // a change already pending wins over this
  auto r = w.Wait(wake);
  wake.Clear();
  return r;
}

TEST_F(ShellServices, ChangeWatchReportsWhatItsFilterAsksFor) {
  const std::string dir = tree.home + "/Videos";
  mkdir((dir + "/sub").c_str(), 0755);
  WriteText(dir + "/existing", "a");
  shell::WakeEvent wake;
  shell::ChangeWatch w(dir, false, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
  ASSERT_TRUE(w.Valid());
  using R = shell::ChangeWatch::Result;
  EXPECT_EQ(R::Changed, WaitAfter(w, wake, [&] { WriteText(dir + "/new", ""); }));
  EXPECT_EQ(R::Woken, WaitAfter(w, wake, [&] { WriteText(dir + "/existing", "more"); }));
  EXPECT_EQ(R::Woken, WaitAfter(w, wake, [&] { WriteText(dir + "/sub/inner", ""); }));
  EXPECT_EQ(R::Changed, WaitAfter(w, wake, [&] { rename((dir + "/new").c_str(), (dir + "/renamed").c_str()); }));
  EXPECT_EQ(R::Woken, WaitAfter(w, wake, [] {}));  // the rename counted once
  EXPECT_EQ(R::Changed, WaitAfter(w, wake, [&] { mkdir((dir + "/folder").c_str(), 0755); }));

  // The writes count with the write filter; the subtree with the subtree switch.
  shell::ChangeWatch writes(dir, true, FILE_NOTIFY_CHANGE_LAST_WRITE);
  EXPECT_EQ(R::Changed, WaitAfter(writes, wake, [&] { WriteText(dir + "/existing", "again"); }));
  EXPECT_EQ(R::Changed, WaitAfter(writes, wake, [&] { WriteText(dir + "/sub/inner", "x"); }));
  shell::ChangeWatch tree2(dir, true, FILE_NOTIFY_CHANGE_FILE_NAME);
  mkdir((dir + "/later").c_str(), 0755);
  EXPECT_EQ(R::Woken, WaitAfter(tree2, wake, [] {}));  // a folder is no file name change
  EXPECT_EQ(R::Changed, WaitAfter(tree2, wake, [&] { WriteText(dir + "/later/made", ""); }));

  shell::ChangeWatch missing(dir + "/none", false, FILE_NOTIFY_CHANGE_FILE_NAME);
  EXPECT_FALSE(missing.Valid());
  EXPECT_EQ(R::Failed, missing.Wait(wake));
}

}  // namespace
