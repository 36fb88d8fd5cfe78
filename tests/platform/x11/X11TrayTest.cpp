// The tray icon over XEmbed on a real X server (run under xvfb-run; skipped without a display),
// against a tray manager the test plays on its own connection: the dock request and the icon
// window's XEmbed info, no tray without a manager, clicks reaching the owner window as its
// callback message on the UI thread, removal, a manager that comes later, and the drawn icon.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "platform/Gdi.h"
#include "platform/WinUser.h"
#include "platform/backend/x11/X11.h"
#include "platform/shell/Services.h"

// Last: the X headers define macros (None, Bool, ...) that clash with names above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace win;

namespace {

constexpr UINT kCallback = 2048;

struct Callback {
  UINT id;
  UINT mouse;
  std::thread::id thread;
};
std::vector<Callback>& Callbacks() {
  static std::vector<Callback> v;
  return v;
}

LRESULT OwnerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == kCallback) Callbacks().push_back(Callback{UINT(w), UINT(l), std::this_thread::get_id()});
  return DefWindowProc(h, m, w, l);
}

// A tray manager of the test's own: owns the tray selection with a window of its own and reads
// the dock requests sent to it.
class FakeManager {
 public:
  explicit FakeManager(bool offerArgb = false) {
    dpy = XOpenDisplay(nullptr);
    if (!dpy) return;
    Window root = DefaultRootWindow(dpy);
    win = XCreateSimpleWindow(dpy, root, 0, 0, 1, 1, 0, 0, 0);
    if (offerArgb) {
      XVisualInfo vi;
      if (XMatchVisualInfo(dpy, DefaultScreen(dpy), 32, TrueColor, &vi)) {
        unsigned long id = vi.visualid;
        XChangeProperty(dpy, win, XInternAtom(dpy, "_NET_SYSTEM_TRAY_VISUAL", False), XA_VISUALID, 32,
                        PropModeReplace, reinterpret_cast<unsigned char*>(&id), 1);
      }
    }
    Atom sel = XInternAtom(dpy, "_NET_SYSTEM_TRAY_S0", False);
    XSetSelectionOwner(dpy, sel, win, CurrentTime);
    // Announced the way a tray manager does when it starts.
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
  ~FakeManager() {
    if (dpy) XCloseDisplay(dpy);
  }
  // The window of the next dock request, 0 after 3 s without one; pump serves the UI side.
  Window WaitDock(const std::function<void()>& pump) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    const Atom opcode = XInternAtom(dpy, "_NET_SYSTEM_TRAY_OPCODE", False);
    while (std::chrono::steady_clock::now() < end) {
      pump();
      XEvent ev;
      while (XCheckTypedWindowEvent(dpy, win, ClientMessage, &ev))
        if (ev.xclient.message_type == opcode && ev.xclient.data.l[1] == 0) return Window(ev.xclient.data.l[2]);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
  }
  std::vector<unsigned long> XEmbedInfo(Window w) {
    Atom type;
    int format;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> out;
    Atom info = XInternAtom(dpy, "_XEMBED_INFO", False);
    if (XGetWindowProperty(dpy, w, info, 0, 2, False, info, &type, &format, &n, &after, &data) == Success && data &&
        format == 32)
      for (unsigned long i = 0; i < n; ++i) out.push_back(reinterpret_cast<unsigned long*>(data)[i]);
    if (data) XFree(data);
    return out;
  }
  bool Exists(Window w) {
    auto old = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XWindowAttributes wa;
    bool ok = XGetWindowAttributes(dpy, w, &wa) != 0;
    XSync(dpy, False);
    XSetErrorHandler(old);
    return ok;
  }
  int Depth(Window w) {
    XWindowAttributes wa;
    return XGetWindowAttributes(dpy, w, &wa) ? wa.depth : 0;
  }
  // A button press or release as the server would deliver it to the icon window.
  void Button(Window w, unsigned button, bool down, Time t) {
    XEvent ev{};
    ev.xbutton.type = down ? ButtonPress : ButtonRelease;
    ev.xbutton.window = w;
    ev.xbutton.root = DefaultRootWindow(dpy);
    ev.xbutton.button = button;
    ev.xbutton.time = t;
    ev.xbutton.x = ev.xbutton.y = 5;
    ev.xbutton.same_screen = True;
    XSendEvent(dpy, w, False, down ? ButtonPressMask : ButtonReleaseMask, &ev);
    XSync(dpy, False);
  }

  Display* dpy = nullptr;
  Window win = 0;
};

class X11Tray : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    static auto* keeper = x11::Create().release();  // keeps the virtual server up between tests
    if (!keeper) GTEST_SKIP() << "the X display cannot be opened";
    b = x11::Create();  // the backend created last hosts the tray
    if (!b) GTEST_SKIP() << "the X display cannot be opened";
    backend::Install(b.get());
    WNDCLASS wc;
    wc.lpszClassName = "TrayOwner";
    wc.lpfnWndProc = OwnerProc;
    RegisterClass(&wc);
    owner = CreateWindowEx(0, "TrayOwner", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner);
    Callbacks().clear();
  }
  void TearDown() override {
    if (!b) return;
    if (owner) DestroyWindow(owner);
    Pump();
    backend::Install(nullptr);
  }
  static void Pump() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
  }
  bool PumpUntil(const std::function<bool()>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < end) {
      Pump();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
  NOTIFYICONDATA Data(UINT id) {
    NOTIFYICONDATA d;
    d.hWnd = owner;
    d.uID = id;
    d.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    d.uCallbackMessage = kCallback;
    d.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    d.szTip = "转换中";
    return d;
  }
  static bool Notify(DWORD msg, const NOTIFYICONDATA& d) { return shell::DesktopServices().NotifyIcon(msg, d); }

  std::unique_ptr<backend::Backend> b;
  HWND owner = nullptr;
};

}  // namespace

TEST_F(X11Tray, AddSendsTheDockRequestWithAnXEmbedWindowAndDeleteDestroysIt) {
  FakeManager m;
  ASSERT_TRUE(m.dpy);
  NOTIFYICONDATA d = Data(7);
  ASSERT_TRUE(Notify(NIM_ADD, d));
  Window w = m.WaitDock([] { Pump(); });
  ASSERT_NE(w, 0u);
  EXPECT_EQ(m.XEmbedInfo(w), (std::vector<unsigned long>{0, 1})) << "version 0, mapped";
  EXPECT_FALSE(Notify(NIM_ADD, d)) << "the same (window, id) twice";

  // A second icon of the same window is a window of its own.
  ASSERT_TRUE(Notify(NIM_ADD, Data(8)));
  Window w2 = m.WaitDock([] { Pump(); });
  ASSERT_NE(w2, 0u);
  EXPECT_NE(w2, w);

  NOTIFYICONDATA change;
  change.hWnd = owner;
  change.uID = 7;
  change.uFlags = NIF_ICON;
  change.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  EXPECT_TRUE(Notify(NIM_MODIFY, change));
  change.uID = 99;
  EXPECT_FALSE(Notify(NIM_MODIFY, change)) << "no such icon";

  EXPECT_TRUE(Notify(NIM_DELETE, d));
  EXPECT_FALSE(m.Exists(w));
  EXPECT_TRUE(m.Exists(w2));
  EXPECT_FALSE(Notify(NIM_DELETE, d)) << "already gone";
  EXPECT_TRUE(Notify(NIM_DELETE, Data(8)));
  EXPECT_FALSE(m.Exists(w2));
}

TEST_F(X11Tray, WithoutATrayManagerAddFails) {
  EXPECT_FALSE(Notify(NIM_ADD, Data(1)));
  EXPECT_FALSE(Notify(NIM_DELETE, Data(1))) << "nothing was added";
  EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, nullptr));
}

TEST_F(X11Tray, ClicksOnTheIconReachTheOwnerAsItsCallbackMessageOnTheUiThread) {
  FakeManager m;
  ASSERT_TRUE(m.dpy);
  ASSERT_TRUE(Notify(NIM_ADD, Data(5)));
  Window w = m.WaitDock([] { Pump(); });
  ASSERT_NE(w, 0u);
  const UINT dbl = GetDoubleClickTime();
  struct Step {
    unsigned button;
    bool down;
    Time t;
    UINT want;
  };
  // Two quick left presses make a double click, a third starts over; a slow press is a plain
  // press; the right button likewise.
  const Step steps[] = {
      {Button1, true, 1000, WM_LBUTTONDOWN},       {Button1, false, 1010, WM_LBUTTONUP},
      {Button1, true, 1000 + dbl / 2, WM_LBUTTONDBLCLK}, {Button1, false, 1010 + dbl / 2, WM_LBUTTONUP},
      {Button1, true, 1020 + dbl / 2, WM_LBUTTONDOWN},   {Button1, false, 1030 + dbl / 2, WM_LBUTTONUP},
      {Button1, true, 5000 + 3 * dbl, WM_LBUTTONDOWN},   {Button3, true, 9000 + 6 * dbl, WM_RBUTTONDOWN},
      {Button3, false, 9010 + 6 * dbl, WM_RBUTTONUP},    {Button3, true, 9020 + 6 * dbl, WM_RBUTTONDBLCLK},
  };
  for (const Step& s : steps) m.Button(w, s.button, s.down, s.t);
  const size_t n = std::size(steps);
  ASSERT_TRUE(PumpUntil([&] { return Callbacks().size() >= n; })) << Callbacks().size();
  ASSERT_EQ(Callbacks().size(), n);
  for (size_t i = 0; i < n; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Callbacks()[i].id, 5u);
    EXPECT_EQ(Callbacks()[i].mouse, steps[i].want);
    EXPECT_EQ(Callbacks()[i].thread, std::this_thread::get_id());
  }
  EXPECT_TRUE(Notify(NIM_DELETE, Data(5)));
}

TEST_F(X11Tray, AManagerThatComesLaterDocksTheIconsAgain) {
  auto first = std::make_unique<FakeManager>();
  ASSERT_TRUE(first->dpy);
  ASSERT_TRUE(Notify(NIM_ADD, Data(3)));
  ASSERT_NE(first->WaitDock([] { Pump(); }), 0u);
  first.reset();  // the tray ends
  FakeManager second;
  ASSERT_TRUE(second.dpy);
  Window w = second.WaitDock([] { Pump(); });
  ASSERT_NE(w, 0u);
  EXPECT_EQ(second.XEmbedInfo(w), (std::vector<unsigned long>{0, 1}));
  EXPECT_TRUE(Notify(NIM_DELETE, Data(3)));
  EXPECT_FALSE(second.Exists(w));
}

TEST_F(X11Tray, TheIconIsDrawnScaledToItsWindowAndArgbWhereTheTrayOffersIt) {
  {
    FakeManager argb(true);
    ASSERT_TRUE(argb.dpy);
    ASSERT_TRUE(Notify(NIM_ADD, Data(1)));
    Window w = argb.WaitDock([] { Pump(); });
    ASSERT_NE(w, 0u);
    XVisualInfo vi;
    const bool has32 = XMatchVisualInfo(argb.dpy, DefaultScreen(argb.dpy), 32, TrueColor, &vi);
    EXPECT_EQ(argb.Depth(w), has32 ? 32 : DefaultDepth(argb.dpy, DefaultScreen(argb.dpy)));
    EXPECT_TRUE(Notify(NIM_DELETE, Data(1)));
  }
  // An opaque 4x4 icon: red on the left half, blue on the right.
  std::vector<uint32_t> px(16);
  for (int i = 0; i < 16; ++i) px[i] = (i % 4) < 2 ? 0x00FF0000u : 0x000000FFu;
  std::vector<uint8_t> maskBits(2 * 4, 0);  // rows padded to 16 bits, all opaque
  ICONINFO ii;
  ii.hbmColor = CreateBitmap(4, 4, 1, 32, px.data());
  ii.hbmMask = CreateBitmap(4, 4, 1, 1, maskBits.data());
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  ASSERT_TRUE(icon);

  FakeManager m;
  ASSERT_TRUE(m.dpy);
  NOTIFYICONDATA d = Data(2);
  d.hIcon = icon;
  ASSERT_TRUE(Notify(NIM_ADD, d));
  DestroyIcon(icon);  // the tray keeps a copy of its own
  Window w = m.WaitDock([] { Pump(); });
  ASSERT_NE(w, 0u);
  // The manager places and shows the icon at 32x32; it is drawn on the exposure.
  XMoveResizeWindow(m.dpy, w, 100, 100, 32, 32);
  XMapRaised(m.dpy, w);
  XSync(m.dpy, False);
  auto shown = [&]() -> std::vector<uint32_t> {
    XImage* img = XGetImage(m.dpy, DefaultRootWindow(m.dpy), 100, 100, 32, 32, AllPlanes, ZPixmap);
    std::vector<uint32_t> out;
    if (!img) return out;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) out.push_back(uint32_t(XGetPixel(img, x, y)) & 0xFFFFFFu);
    XDestroyImage(img);
    return out;
  };
  std::vector<uint32_t> want(32 * 32);
  for (int i = 0; i < 32 * 32; ++i) want[i] = (i % 32) < 16 ? 0xFF0000u : 0x0000FFu;
  EXPECT_TRUE(PumpUntil([&] { return shown() == want; }));
  EXPECT_TRUE(Notify(NIM_DELETE, d));
}

namespace {

// The host's hint windows on the screen now: override-redirect top-level windows by that name.
std::vector<Window> HintWindows(Display* d) {
  std::vector<Window> out;
  Window root = DefaultRootWindow(d), parent = 0, *kids = nullptr;
  unsigned n = 0;
  if (!XQueryTree(d, root, &root, &parent, &kids, &n)) return out;
  for (unsigned i = 0; i < n; ++i) {
    char* name = nullptr;
    XWindowAttributes wa;
    if (XFetchName(d, kids[i], &name) && name && std::string(name) == "ombrel-tray-hint" &&
        XGetWindowAttributes(d, kids[i], &wa) && wa.map_state == IsViewable && wa.override_redirect)
      out.push_back(kids[i]);
    if (name) XFree(name);
  }
  if (kids) XFree(kids);
  return out;
}

void Crossing(Display* d, Window w, bool enter) {
  XEvent ev{};
  ev.xcrossing.type = enter ? EnterNotify : LeaveNotify;
  ev.xcrossing.window = w;
  ev.xcrossing.root = DefaultRootWindow(d);
  ev.xcrossing.same_screen = True;
  XSendEvent(d, w, False, enter ? EnterWindowMask : LeaveWindowMask, &ev);
  XSync(d, False);
}

}  // namespace

TEST_F(X11Tray, TheTipShowsWhileThePointerIsOnTheIconAndABalloonUntilItIsClicked) {
  FakeManager m;
  ASSERT_TRUE(m.dpy);
  NOTIFYICONDATA d = Data(3);
  ASSERT_TRUE(Notify(NIM_ADD, d));
  Window w = m.WaitDock([] { Pump(); });
  ASSERT_NE(w, 0u);
  auto hints = [&] {
    Pump();
    XSync(m.dpy, False);
    return HintWindows(m.dpy).size();
  };

  Crossing(m.dpy, w, true);
  ASSERT_TRUE(PumpUntil([&] { return hints() == 1; })) << "the tip shows on entering";
  Crossing(m.dpy, w, false);
  ASSERT_TRUE(PumpUntil([&] { return hints() == 0; })) << "and goes on leaving";

  NOTIFYICONDATA b;
  b.hWnd = owner;
  b.uID = 3;
  b.uFlags = NIF_INFO;
  b.szInfoTitle = "转换完成";
  b.szInfo = "所有文件已转换。";
  ASSERT_TRUE(Notify(NIM_MODIFY, b));
  ASSERT_TRUE(PumpUntil([&] { return hints() == 1; })) << "the balloon shows";
  Crossing(m.dpy, w, true);
  EXPECT_FALSE(PumpUntil([&] { return hints() == 2; })) << "no tip over the icon's own balloon";
  b.szInfo.clear();
  ASSERT_TRUE(Notify(NIM_MODIFY, b));
  ASSERT_TRUE(PumpUntil([&] { return hints() == 0; })) << "an empty balloon takes it away";

  b.szInfo = "点击这里";
  ASSERT_TRUE(Notify(NIM_MODIFY, b));
  ASSERT_TRUE(PumpUntil([&] { return hints() == 1; }));
  const Window balloon = HintWindows(m.dpy).front();
  Callbacks().clear();
  m.Button(balloon, Button1, true, 100);
  ASSERT_TRUE(PumpUntil([&] { return !Callbacks().empty() && hints() == 0; })) << "a click closes it";
  EXPECT_EQ(Callbacks().front().id, 3u);
  EXPECT_EQ(Callbacks().front().mouse, NIN_BALLOONUSERCLICK);

  ASSERT_TRUE(Notify(NIM_MODIFY, b));
  ASSERT_TRUE(PumpUntil([&] { return hints() == 1; }));
  EXPECT_TRUE(Notify(NIM_DELETE, d));
  EXPECT_TRUE(PumpUntil([&] { return hints() == 0; })) << "the icon's balloon goes with it";
}
