#pragma once
// A window class whose procedure runs per-window handlers, the headless backend reset, and a
// stepped clock: the common ground of the window-layer tests.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "base/Clock.h"
#include "platform/Gdi.h"
#include "platform/WinUser.h"
#include "platform/backend/headless/Headless.h"

namespace wintest {

using namespace win;

// Answers a message itself (handled = true) or leaves it to the default (DefWindowProc).
using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM, bool& handled)>;

inline std::map<HWND, Handler>& Handlers() {
  static std::map<HWND, Handler> h;
  return h;
}

// Every message TestProc sees while recording, in order (handles are known only after creation).
struct Rec {
  HWND hwnd;
  UINT msg;
  WPARAM w;
  LPARAM l;
};
inline std::vector<Rec>& Recorded() {
  static std::vector<Rec> r;
  return r;
}
inline bool& Recording() {
  static bool on = false;
  return on;
}
inline std::vector<UINT> RecordedFor(HWND h) {
  std::vector<UINT> out;
  for (const Rec& r : Recorded())
    if (r.hwnd == h) out.push_back(r.msg);
  return out;
}

inline LRESULT TestProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (Recording()) Recorded().push_back(Rec{h, m, w, l});
  auto it = Handlers().find(h);
  if (it != Handlers().end()) {
    Handler fn = it->second;  // a copy: the handler may replace itself
    bool handled = false;
    LRESULT r = fn(h, m, w, l, handled);
    if (handled) return r;
  }
  return DefWindowProc(h, m, w, l);
}

inline void RegisterTestClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASS wc;
  wc.lpfnWndProc = TestProc;
  wc.lpszClassName = "TestWnd";
  RegisterClass(&wc);
  wc.style = CS_DBLCLKS;
  wc.lpszClassName = "TestWndDbl";
  RegisterClass(&wc);
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestClasses();
    headless::Reset();
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  void TearDown() override {
    std::vector<HWND> all;
    EnumWindows([](HWND h, LPARAM lp) { reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h); return TRUE; },
                reinterpret_cast<LPARAM>(&all));
    for (HWND h : all) DestroyWindow(h);
    Handlers().clear();
    Recorded().clear();
    Recording() = false;
    ReleaseCapture();
    for (int vk : {VK_MENU, VK_SHIFT, VK_CONTROL, VK_LBUTTON, VK_RBUTTON, VK_MBUTTON})
      if (GetKeyState(vk) & 0x8000) headless::KeyUp(vk);
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
    headless::Reset();
  }

  HWND Top(int x, int y, int w, int h, DWORD style = WS_POPUP | WS_VISIBLE, const char* cls = "TestWnd",
           DWORD ex = 0) {
    return CreateWindowEx(ex, cls, "top", style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
  }
  HWND Child(HWND parent, int x, int y, int w, int h, DWORD style = WS_CHILD | WS_VISIBLE,
             const char* cls = "TestWnd") {
    return CreateWindowEx(0, cls, "child", style, x, y, w, h, parent, nullptr, nullptr, nullptr);
  }
  void Pump() { headless::ProcessPending(); }

  TSteppedClock clock{1000};
  TScopedClock scoped{&clock};
};

// The messages of a spy log, leaving out the frequent ones a test does not look at.
inline std::vector<UINT> Without(std::vector<UINT> v, std::initializer_list<UINT> drop) {
  std::vector<UINT> out;
  for (UINT m : v)
    if (std::find(drop.begin(), drop.end(), m) == drop.end()) out.push_back(m);
  return out;
}

}  // namespace wintest
