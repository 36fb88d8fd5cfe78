// The tray icon on a real X server (run under xvfb-run; skipped without a display), against a tray
// manager the test plays on its own connection: the icon docks there, and a click on its window
// reaches OnClick; a later manager announcing itself docks the icon once more, not twice.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

#include "lib/forms/kxTrayIcon.h"
#include "platform/backend/x11/X11.h"

// Last: the X headers define macros (None, Bool, ...) that clash with names above.
#include <X11/Xlib.h>

using namespace win;

namespace {

// Owns _NET_SYSTEM_TRAY_S0 and reads the dock requests sent to it.
class Manager {
public:
  Manager() {
    dpy = XOpenDisplay(nullptr);
    if (!dpy) return;
    Window root = DefaultRootWindow(dpy);
    win = XCreateSimpleWindow(dpy, root, 0, 0, 1, 1, 0, 0, 0);
    Atom sel = XInternAtom(dpy, "_NET_SYSTEM_TRAY_S0", False);
    XSetSelectionOwner(dpy, sel, win, CurrentTime);
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = root;
    ev.xclient.message_type = XInternAtom(dpy, "MANAGER", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = CurrentTime;
    ev.xclient.data.l[1] = long(sel);
    ev.xclient.data.l[2] = long(win);
    XSendEvent(dpy, root, False, StructureNotifyMask, &ev);
    XSync(dpy, False);
  }
  ~Manager() {
    if (dpy) XCloseDisplay(dpy);
  }
  // The windows of the dock requests that came within ms, serving the program meanwhile.
  std::vector<Window> Docks(const std::function<void()>& pump, int ms) {
    std::vector<Window> out;
    const Atom opcode = XInternAtom(dpy, "_NET_SYSTEM_TRAY_OPCODE", False);
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
      pump();
      XEvent ev;
      while (XCheckTypedWindowEvent(dpy, win, ClientMessage, &ev))
        if (ev.xclient.message_type == opcode && ev.xclient.data.l[1] == 0) out.push_back(Window(ev.xclient.data.l[2]));
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return out;
  }
  void Button(Window w, bool down, Time t) {
    XEvent ev{};
    ev.xbutton.type = down ? ButtonPress : ButtonRelease;
    ev.xbutton.window = w;
    ev.xbutton.root = DefaultRootWindow(dpy);
    ev.xbutton.button = Button1;
    ev.xbutton.time = t;
    ev.xbutton.x = ev.xbutton.y = 5;
    ev.xbutton.same_screen = True;
    XSendEvent(dpy, w, False, down ? ButtonPressMask : ButtonReleaseMask, &ev);
    XSync(dpy, False);
  }

  Display* dpy = nullptr;
  Window win = 0;
};

class TrayIconOnX11 : public ::testing::Test {
protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    b = x11::Create();  // the backend made last hosts the tray
    if (!b) GTEST_SKIP() << "the X display cannot be opened";
    backend::Install(b.get());
    shell::InstallServices(&shell::DesktopServices());  // the real tray, not the recorder
  }
  void TearDown() override {
    if (!b) return;
    owner.reset();
    Pump();
    shell::InstallServices(nullptr);
    backend::Install(nullptr);
  }
  static void Pump() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
  }
  std::unique_ptr<backend::Backend> b;
  std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(nullptr);
};

TEST_F(TrayIconOnX11, TheIconDocksWithTheTrayAndAClickReachesOnClick) {
  Manager m;
  ASSERT_TRUE(m.dpy);
  Pump();
  auto* icon = new TkxTrayIcon(owner.get());
  icon->SetHint("转换中");
  icon->SetIconVisible(true);  // made in code, not read from a form: no Loaded adds it
  int clicks = 0, dbl = 0;
  icon->OnClick = [&](TObject*) { ++clicks; };
  icon->OnDblClick = [&](TObject*) { ++dbl; };
  std::vector<Window> docks = m.Docks(Pump, 500);
  ASSERT_EQ(docks.size(), 1u) << "the icon docks once";

  m.Button(docks[0], true, 1000);
  m.Button(docks[0], false, 1010);
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (clicks == 0 && std::chrono::steady_clock::now() < end) {
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(clicks, 1) << "after the double-click time";
  EXPECT_EQ(dbl, 0);

  // A tray that starts afresh: the host docks the icon there, and the icon's own add on
  // "TaskbarCreated" makes no second one.
  Manager again;
  ASSERT_TRUE(again.dpy);
  EXPECT_EQ(again.Docks(Pump, 500).size(), 1u);
}

}  // namespace
