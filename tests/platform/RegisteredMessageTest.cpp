// Registered messages and broadcasts: a name gives one number for everybody, and a broadcast
// post reaches every top-level window (hidden ones too), never a child; the headless tray
// announces a fresh start that way.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/backend/headless/ShellRecorder.h"
#include "tests/platform/WindowTestFixture.h"

namespace {

using namespace win;
using wintest::WindowTest;

class RegisteredMessage : public WindowTest {};

TEST_F(RegisteredMessage, OneNumberPerNameWhateverTheCaseFromC000Up) {
  const UINT a = RegisterWindowMessage("TaskbarCreated");
  EXPECT_GE(a, 0xC000u);
  EXPECT_LE(a, 0xFFFFu);
  EXPECT_EQ(RegisterWindowMessage("TaskbarCreated"), a);
  EXPECT_EQ(RegisterWindowMessage("TASKBARCREATED"), a);
  const UINT b = RegisterWindowMessage("OmbrelRegisteredMessageTest");
  EXPECT_GE(b, 0xC000u);
  EXPECT_NE(b, a);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
  EXPECT_EQ(RegisterWindowMessage(nullptr), 0u);
}

TEST_F(RegisteredMessage, TheTrayStartingAfreshPostsTaskbarCreatedToEveryTopLevelWindow) {
  HWND shown = Top(10, 10, 50, 50);
  HWND hidden = Top(10, 10, 50, 50, WS_POPUP);
  HWND child = Child(shown, 0, 0, 10, 10);
  wintest::Recording() = true;
  headless::BroadcastTaskbarCreated();
  const UINT taskbarCreated = RegisterWindowMessage("TaskbarCreated");
  EXPECT_TRUE(wintest::RecordedFor(shown).empty()) << "posted, not sent";
  Pump();
  for (HWND h : {shown, hidden}) {
    const auto got = wintest::RecordedFor(h);
    EXPECT_EQ(std::count(got.begin(), got.end(), taskbarCreated), 1) << h;
  }
  const auto got = wintest::RecordedFor(child);
  EXPECT_EQ(std::count(got.begin(), got.end(), taskbarCreated), 0);
}

}  // namespace
