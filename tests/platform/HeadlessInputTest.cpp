// Input injected through the headless backend: hit testing into client and non-client messages,
// capture, double clicks, activation and focus, the keyboard defaults and the move/size loop.
#include <thread>

#include "WindowTestFixture.h"

namespace wintest {
namespace {

// A popup whose top 20 rows are its caption; x >= 150 in the caption answers a custom code.
LRESULT CaptionHitTest(HWND h, LPARAM l, LRESULT custom) {
  POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  ScreenToClient(h, &p);
  if (p.y < 20) return p.x >= 150 ? custom : HTCAPTION;
  return HTCLIENT;
}

const std::initializer_list<UINT> kPaintNoise = {WM_NCPAINT, WM_PAINT, WM_ERASEBKGND, WM_WINDOWPOSCHANGING,
                                                 WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE};

TEST_F(WindowTest, ClickOnCaptionActivatesAndLeavesTheButtonUpForTheWindow) {
  HWND other = Top(300, 0, 100, 100);
  HWND h = Top(0, 0, 200, 100);
  SetActiveWindow(other);
  Handlers()[h] = [](HWND w, UINT m, WPARAM, LPARAM l, bool& handled) -> LRESULT {
    if (m != WM_NCHITTEST) return 0;
    handled = true;
    return CaptionHitTest(w, l, HTOBJECT);
  };
  headless::MoveMouse(10, 5);
  Pump();
  Recording() = true;
  headless::ButtonDown();
  headless::ButtonUp();
  Pump();
  EXPECT_EQ(Without(RecordedFor(h), kPaintNoise),
            (std::vector<UINT>{WM_NCHITTEST, WM_MOUSEACTIVATE, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS,
                               WM_SETCURSOR, WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_CAPTURECHANGED, WM_NCHITTEST,
                               WM_NCLBUTTONUP}));
  EXPECT_EQ(GetActiveWindow(), h);
  EXPECT_EQ(GetFocus(), h);
  // A plain click starts no move.
  auto all = RecordedFor(h);
  EXPECT_EQ(std::count(all.begin(), all.end(), WM_ENTERSIZEMOVE), 0);
}

TEST_F(WindowTest, CustomHitCodesArriveAsNonClientButtonMessages) {
  for (LRESULT code : {LRESULT(104), LRESULT(119), HTOBJECT}) {
    HWND h = Top(0, 0, 200, 100);
    SetActiveWindow(h);
    Handlers()[h] = [code](HWND w, UINT m, WPARAM, LPARAM l, bool& handled) -> LRESULT {
      if (m != WM_NCHITTEST) return 0;
      handled = true;
      return CaptionHitTest(w, l, code);
    };
    Recorded().clear();
    Recording() = true;
    headless::Click(160, 5);
    Pump();
    std::vector<Rec> nc;
    for (const Rec& r : Recorded())
      if (r.hwnd == h && (r.msg == WM_NCLBUTTONDOWN || r.msg == WM_NCLBUTTONUP || r.msg == WM_SYSCOMMAND))
        nc.push_back(r);
    ASSERT_EQ(nc.size(), 2u) << code;
    EXPECT_EQ(nc[0].msg, WM_NCLBUTTONDOWN);
    EXPECT_EQ(LRESULT(nc[0].w), code);
    EXPECT_EQ(GET_X_LPARAM(nc[0].l), 160);  // screen coordinates
    EXPECT_EQ(nc[1].msg, WM_NCLBUTTONUP);
    EXPECT_EQ(LRESULT(nc[1].w), code);
    DestroyWindow(h);
  }
}

TEST_F(WindowTest, ClientClickGivesClientMessagesInClientCoordinates) {
  HWND h = Top(100, 100, 200, 100);
  HWND k = Child(h, 10, 10, 50, 50);
  SetActiveWindow(h);
  Pump();
  Recording() = true;
  headless::Click(100 + 10 + 7, 100 + 10 + 9);
  Pump();
  std::vector<Rec> got;
  for (const Rec& r : Recorded())
    if (r.hwnd == k) got.push_back(r);
  std::vector<UINT> msgs;
  for (const Rec& r : got) msgs.push_back(r.msg);
  EXPECT_EQ(msgs, (std::vector<UINT>{WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEMOVE, WM_NCHITTEST, WM_SETCURSOR,
                                     WM_LBUTTONDOWN, WM_NCHITTEST, WM_SETCURSOR, WM_LBUTTONUP}));
  EXPECT_EQ(GET_X_LPARAM(got[5].l), 7);
  EXPECT_EQ(GET_Y_LPARAM(got[5].l), 9);
  EXPECT_EQ(got[5].w & MK_LBUTTON, MK_LBUTTON);
}

TEST_F(WindowTest, CaptureSendsEverythingToTheCapturingWindow) {
  HWND a = Top(0, 0, 100, 100);
  HWND b = Top(200, 0, 100, 100);
  SetActiveWindow(a);
  Handlers()[a] = [](HWND w, UINT m, WPARAM, LPARAM, bool&) -> LRESULT {
    if (m == WM_LBUTTONDOWN) SetCapture(w);
    if (m == WM_LBUTTONUP) ReleaseCapture();
    return 0;
  };
  Pump();
  Recording() = true;
  headless::MoveMouse(50, 50);
  headless::ButtonDown();
  headless::MoveMouse(250, 20);
  headless::ButtonUp();
  headless::MoveMouse(260, 20);
  Pump();
  std::vector<Rec> toA;
  for (const Rec& r : Recorded())
    if (r.hwnd == a && (r.msg == WM_MOUSEMOVE || r.msg == WM_LBUTTONUP)) toA.push_back(r);
  ASSERT_EQ(toA.size(), 3u);
  EXPECT_EQ(toA[1].msg, WM_MOUSEMOVE);
  EXPECT_EQ(GET_X_LPARAM(toA[1].l), 250);  // client coordinates of a, outside it
  EXPECT_EQ(toA[2].msg, WM_LBUTTONUP);
  EXPECT_EQ(GetCapture(), nullptr);
  // After the release, b gets the pointer again.
  EXPECT_EQ(RecordedFor(b).back(), WM_MOUSEMOVE);
}

TEST_F(WindowTest, DoubleClicksOnlyForClassesThatAskAndAlwaysInTheFrame) {
  struct Case {
    const char* cls;
    LRESULT hit;
    std::vector<UINT> want;
  };
  std::vector<Case> cases{
      {"TestWndDbl", HTCLIENT, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
      {"TestWnd", HTCLIENT, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}},
      {"TestWnd", HTBORDER, {WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_NCLBUTTONDBLCLK, WM_NCLBUTTONUP}},
  };
  for (const Case& c : cases) {
    HWND h = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE, c.cls);
    SetActiveWindow(h);
    LRESULT hit = c.hit;
    Handlers()[h] = [hit](HWND, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
      if (m != WM_NCHITTEST) return 0;
      handled = true;
      return hit;
    };
    Recorded().clear();
    Recording() = true;
    headless::Click(10, 10);
    clock.Advance(100);
    headless::Click(11, 10);
    Pump();
    std::vector<UINT> buttons;
    for (UINT m : RecordedFor(h))
      if ((m >= WM_LBUTTONDOWN && m <= WM_LBUTTONDBLCLK) || (m >= WM_NCLBUTTONDOWN && m <= WM_NCLBUTTONDBLCLK))
        buttons.push_back(m);
    EXPECT_EQ(buttons, c.want) << c.cls << " " << c.hit;
    // Too slow: two single clicks.
    Recorded().clear();
    clock.Advance(1000);
    headless::Click(10, 10);
    clock.Advance(GetDoubleClickTime() + 1);
    headless::Click(10, 10);
    Pump();
    int doubles = 0;
    for (UINT m : RecordedFor(h)) doubles += (m == WM_LBUTTONDBLCLK || m == WM_NCLBUTTONDBLCLK);
    EXPECT_EQ(doubles, 0);
    DestroyWindow(h);
  }
}

TEST_F(WindowTest, ActivationAndFocusOrderBetweenTwoTopLevels) {
  HWND a = Top(0, 0, 100, 100);
  HWND b = Top(200, 0, 100, 100);
  HWND edit = Child(b, 10, 10, 50, 20);
  SetActiveWindow(a);
  // b's form gives the focus to its control when activated, as forms do.
  Handlers()[b] = [edit](HWND w, UINT m, WPARAM wp, LPARAM, bool& handled) -> LRESULT {
    if (m == WM_ACTIVATE && LOWORD(wp) != WA_INACTIVE) {
      SetFocus(edit);
      handled = true;
    }
    return 0;
  };
  Recording() = true;
  headless::Click(250, 50);
  Pump();
  std::vector<std::pair<HWND, UINT>> seq;
  for (const Rec& r : Recorded())
    if (r.msg == WM_MOUSEACTIVATE || r.msg == WM_NCACTIVATE || r.msg == WM_ACTIVATE || r.msg == WM_SETFOCUS ||
        r.msg == WM_KILLFOCUS || r.msg == WM_LBUTTONDOWN)
      seq.push_back({r.hwnd, r.msg});
  std::vector<std::pair<HWND, UINT>> want{{b, WM_MOUSEACTIVATE}, {a, WM_NCACTIVATE}, {a, WM_ACTIVATE},
                                          {b, WM_NCACTIVATE},    {b, WM_ACTIVATE},   {a, WM_KILLFOCUS},
                                          {edit, WM_SETFOCUS},   {b, WM_LBUTTONDOWN}};
  EXPECT_EQ(seq, want);
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(GetWindow(a, GW_HWNDFIRST), b);  // activation raised b
}

TEST_F(WindowTest, NoActivateAnswerKeepsTheActiveWindow) {
  HWND a = Top(0, 0, 100, 100);
  HWND menu = Top(200, 0, 100, 100);
  SetActiveWindow(a);
  Handlers()[menu] = [](HWND, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
    if (m != WM_MOUSEACTIVATE) return 0;
    handled = true;
    return MA_NOACTIVATE;
  };
  Recording() = true;
  headless::Click(250, 50);
  Pump();
  EXPECT_EQ(GetActiveWindow(), a);
  auto msgs = RecordedFor(menu);
  EXPECT_NE(std::find(msgs.begin(), msgs.end(), WM_LBUTTONDOWN), msgs.end());
}

TEST_F(WindowTest, KeysGoToTheFocusWithCharactersAndKeyState) {
  HWND h = Top(0, 0, 100, 100);
  HWND k = Child(h, 0, 0, 10, 10);
  SetFocus(k);
  Pump();
  Recording() = true;
  headless::KeyDown(VK_SHIFT);
  headless::PressKey('A');
  headless::KeyUp(VK_SHIFT);
  headless::TypeChar(0x89C6);  // 视
  bool shiftSeen = false;
  Handlers()[k] = [&](HWND, UINT m, WPARAM w, LPARAM, bool&) -> LRESULT {
    if (m == WM_KEYDOWN && w == 'A') shiftSeen = GetKeyState(VK_SHIFT) < 0;
    return 0;
  };
  Pump();
  std::vector<Rec> got;
  for (const Rec& r : Recorded())
    if (r.hwnd == k) got.push_back(r);
  std::vector<std::pair<UINT, WPARAM>> seq;
  for (const Rec& r : got) seq.push_back({r.msg, r.w});
  std::vector<std::pair<UINT, WPARAM>> want{{WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, 'A'}, {WM_CHAR, 'A'},
                                            {WM_KEYUP, 'A'},        {WM_KEYUP, VK_SHIFT}, {WM_CHAR, 0x89C6}};
  EXPECT_EQ(seq, want);
  EXPECT_TRUE(shiftSeen);
  EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
}

TEST_F(WindowTest, AltTapGivesKeyMenuAndAltF4Closes) {
  HWND h = Top(0, 0, 100, 100);
  SetActiveWindow(h);
  std::vector<WPARAM> commands;
  Handlers()[h] = [&](HWND, UINT m, WPARAM w, LPARAM, bool&) -> LRESULT {
    if (m == WM_SYSCOMMAND) commands.push_back(w & 0xFFF0);
    return 0;
  };
  headless::PressKey(VK_MENU);
  Pump();
  EXPECT_EQ(commands, (std::vector<WPARAM>{SC_KEYMENU}));
  commands.clear();
  headless::KeyDown(VK_MENU);
  headless::PressKey(VK_F4);
  headless::KeyUp(VK_MENU);
  Pump();
  EXPECT_EQ(commands, (std::vector<WPARAM>{SC_CLOSE}));  // no key menu: another key came between
  EXPECT_FALSE(IsWindow(h));
}

TEST_F(WindowTest, WheelGoesToTheFocusWithTheSignedDeltaAndBubblesUp) {
  HWND h = Top(0, 0, 100, 100);
  HWND k = Child(h, 0, 0, 10, 10);
  SetFocus(k);
  WPARAM atParent = 0;
  Handlers()[h] = [&](HWND, UINT m, WPARAM w, LPARAM, bool&) -> LRESULT {
    if (m == WM_MOUSEWHEEL) atParent = w;
    return 0;
  };
  headless::Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(atParent), -120);
}

TEST_F(WindowTest, TrackMouseEventPostsLeaveOnce) {
  HWND a = Top(0, 0, 100, 100);
  Top(200, 0, 100, 100);
  headless::MoveMouse(50, 50);
  Pump();
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = a;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  Recording() = true;
  headless::MoveMouse(60, 50);
  headless::MoveMouse(250, 50);
  headless::MoveMouse(40, 50);
  headless::MoveMouse(260, 50);
  Pump();
  auto msgs = RecordedFor(a);
  EXPECT_EQ(std::count(msgs.begin(), msgs.end(), WM_MOUSELEAVE), 1);
}

TEST_F(WindowTest, LeavingForTheBareScreenPostsTheLeaveOnce) {
  // The pointer starts in the client area or in the sizing frame, then goes where no window
  // is: by a move, or by a press there.
  struct Case {
    DWORD flags;
    int startX;
    UINT expected;
    bool press;
  } cases[] = {{TME_LEAVE, 50, WM_MOUSELEAVE, false},
               {TME_LEAVE, 50, WM_MOUSELEAVE, true},
               {TME_LEAVE | TME_NONCLIENT, 1, WM_NCMOUSELEAVE, false}};
  for (const Case& c : cases) {
    HWND a = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE | WS_THICKFRAME);
    headless::MoveMouse(c.startX, 50);
    Pump();
    TRACKMOUSEEVENT tme;
    tme.dwFlags = c.flags;
    tme.hwndTrack = a;
    ASSERT_TRUE(TrackMouseEvent(&tme));
    Recorded().clear();
    Recording() = true;
    if (c.press) {
      headless::Click(400, 300);
    } else {
      headless::MoveMouse(400, 300);
      headless::MoveMouse(410, 310);
    }
    Pump();
    Recording() = false;
    auto msgs = RecordedFor(a);
    EXPECT_EQ(std::count(msgs.begin(), msgs.end(), c.expected), 1) << c.flags << " " << c.press;
    // The tracking ended with it.
    TRACKMOUSEEVENT q;
    q.dwFlags = TME_QUERY;
    ASSERT_TRUE(TrackMouseEvent(&q));
    EXPECT_EQ(q.hwndTrack, nullptr);
    DestroyWindow(a);
    Pump();
  }
}

TEST_F(WindowTest, SetCursorPicksTheClassCursorAndSizingCursors) {
  HWND h = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE | WS_THICKFRAME);
  SetActiveWindow(h);
  headless::MoveMouse(1, 50);
  Pump();
  EXPECT_EQ(headless::CurrentCursor(), LoadCursor(nullptr, IDC_SIZEWE));
  headless::MoveMouse(99, 99);
  Pump();
  EXPECT_EQ(headless::CurrentCursor(), LoadCursor(nullptr, IDC_SIZENWSE));
}

// ---- the move and size loop ---------------------------------------------------------------------

TEST_F(WindowTest, MoveLoopLetsWmMovingSnapTheWindow) {
  HWND h = Top(100, 100, 200, 100);
  SetActiveWindow(h);
  Handlers()[h] = [](HWND w, UINT m, WPARAM, LPARAM l, bool& handled) -> LRESULT {
    if (m == WM_NCHITTEST) {
      handled = true;
      return CaptionHitTest(w, l, HTCAPTION);
    }
    if (m == WM_MOVING) {
      auto* r = reinterpret_cast<RECT*>(l);
      // Snap to the screen's left edge within 10 pixels.
      if (r->left < 10) OffsetRect(r, -r->left, 0);
    }
    return 0;
  };
  Recording() = true;
  headless::MoveMouse(110, 105);
  headless::ButtonDown();
  headless::MoveMouse(150, 130);
  headless::MoveMouse(18, 130);  // left would be 8: snapped to 0
  headless::ButtonUp();
  Pump();
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (RECT{0, 125, 200, 225}));
  auto msgs = Without(RecordedFor(h), {WM_NCHITTEST, WM_SETCURSOR, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED,
                                       WM_MOVE, WM_NCPAINT, WM_PAINT, WM_ERASEBKGND, WM_MOUSEMOVE,
                                       WM_NCMOUSEMOVE, WM_CAPTURECHANGED, WM_GETMINMAXINFO});
  EXPECT_EQ(msgs, (std::vector<UINT>{WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_ENTERSIZEMOVE, WM_MOVING, WM_MOVING,
                                     WM_EXITSIZEMOVE}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WindowTest, MinMaxInfoLimitsTheSizeLoopBeforeWmSizing) {
  HWND h = Top(100, 100, 200, 100, WS_POPUP | WS_VISIBLE | WS_THICKFRAME);
  SetActiveWindow(h);
  std::vector<RECT> sizing;
  Handlers()[h] = [&](HWND, UINT m, WPARAM, LPARAM l, bool&) -> LRESULT {
    if (m == WM_GETMINMAXINFO) {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(l);
      mmi->ptMinTrackSize = POINT{150, 80};
      mmi->ptMaxTrackSize = POINT{260, 300};
    }
    if (m == WM_SIZING) sizing.push_back(*reinterpret_cast<RECT*>(l));
    return 0;
  };
  headless::MoveMouse(299, 199);  // the bottom-right corner
  headless::ButtonDown();
  headless::MoveMouse(400, 210);
  headless::MoveMouse(200, 150);
  headless::ButtonUp();
  Pump();
  ASSERT_EQ(sizing.size(), 2u);
  EXPECT_EQ(sizing[0], (RECT{100, 100, 360, 211}));  // width held at 260
  EXPECT_EQ(sizing[1], (RECT{100, 100, 250, 180}));  // min 150 x 80
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, sizing[1]);
}

TEST_F(WindowTest, EscapeCancelsTheMoveLoop) {
  HWND h = Top(100, 100, 200, 100);
  SetActiveWindow(h);
  Handlers()[h] = [](HWND w, UINT m, WPARAM, LPARAM l, bool& handled) -> LRESULT {
    if (m != WM_NCHITTEST) return 0;
    handled = true;
    return CaptionHitTest(w, l, HTCAPTION);
  };
  headless::MoveMouse(110, 105);
  headless::ButtonDown();
  headless::MoveMouse(300, 300);
  headless::PressKey(VK_ESCAPE);
  headless::ButtonUp();
  Pump();
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (RECT{100, 100, 300, 200}));
}

TEST_F(WindowTest, WorkerSendIsAnsweredWhileTheMoveLoopRuns) {
  HWND h = Top(100, 100, 200, 100);
  SetActiveWindow(h);
  std::atomic<bool> inLoop{false};
  Handlers()[h] = [&](HWND w, UINT m, WPARAM, LPARAM l, bool& handled) -> LRESULT {
    if (m == WM_NCHITTEST) {
      handled = true;
      return CaptionHitTest(w, l, HTCAPTION);
    }
    if (m == WM_ENTERSIZEMOVE) inLoop = true;
    if (m == WM_USER + 5) {
      handled = true;
      ReleaseCapture();  // ends the loop
      return 99;
    }
    return 0;
  };
  LRESULT answer = 0;
  std::thread worker([&] {
    while (!inLoop) std::this_thread::yield();
    answer = SendMessage(h, WM_USER + 5, 0, 0);
  });
  headless::MoveMouse(110, 105);
  headless::ButtonDown();
  headless::MoveMouse(150, 150);
  Pump();  // returns once the worker's message has ended the loop
  worker.join();
  EXPECT_EQ(answer, 99);
  EXPECT_FALSE(GetCapture());
  headless::ButtonUp();
  Pump();
}

}  // namespace
}  // namespace wintest
