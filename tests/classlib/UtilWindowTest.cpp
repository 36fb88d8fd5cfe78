// AllocateHWnd: a hidden window whose messages reach a method, released from outside or from
// inside that method.
#include <gtest/gtest.h>

#include "classlib/UtilWindow.h"
#include "tests/platform/WindowTestFixture.h"

namespace {

using namespace win;

class UtilWindow : public wintest::WindowTest {};

TEST_F(UtilWindow, SentAndPostedMessagesReachTheMethodWhichGivesTheAnswer) {
  std::vector<UINT> seen;
  HWND h = AllocateHWnd([&](TMessage& M) {
    seen.push_back(M.Msg);
    if (M.Msg == WM_USER + 1) M.Result = LRESULT(M.WParam + M.LParam);
    else M.Result = DefWindowProc(nullptr, M.Msg, M.WParam, M.LParam);
  });
  ASSERT_TRUE(IsWindow(h));
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_EQ(GetParent(h), nullptr);
  EXPECT_EQ(GetWindowLongPtr(h, GWLP_HWNDPARENT), 0);
  EXPECT_EQ(SendMessage(h, WM_USER + 1, 2, 40), 42);
  PostMessage(h, WM_USER + 2, 0, 0);
  Pump();
  EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
  DeallocateHWnd(h);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(seen.size(), 2u) << "nothing after the release, not even the destruction";
  DeallocateHWnd(h);  // gone already
  DeallocateHWnd(nullptr);
}

TEST_F(UtilWindow, ReleasedFromInsideItsOwnMethod) {
  HWND h = nullptr;
  int calls = 0;
  std::string kept = "state captured by the method";
  h = AllocateHWnd([&, kept](TMessage& M) {
    if (M.Msg != WM_USER) return;
    ++calls;
    DeallocateHWnd(h);
    // The method object must still be alive here.
    M.Result = LRESULT(kept.size());
  });
  EXPECT_EQ(SendMessage(h, WM_USER, 0, 0), LRESULT(kept.size()));
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(calls, 1);
}

}  // namespace
