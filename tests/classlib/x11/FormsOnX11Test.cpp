// Forms and windows of the layer on a real X server through the X11 backend (run under
// xvfb-run; skipped without a display): pixels, real input sent with XTest, capture, popups and
// the focus, shapes, a worker's SendMessage reaching an idle main thread, and SDL 1.2 drawing into
// a native child window.
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "base/MainThread.h"
#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "platform/backend/x11/X11.h"
#include "tests/classlib/ControlTestFixture.h"

using namespace win;
using wintest::Handlers;

namespace {

backend::Backend* Display() {
  static backend::Backend* b = std::getenv("DISPLAY") ? x11::Create().release() : nullptr;
  return b;
}

class FormsOnX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Display()) GTEST_SKIP() << "no X display";
    wintest::RegisterTestClasses();
    backend::Install(Display());
    Drain();
  }
  void TearDown() override {
    if (!Display()) return;
    owner.reset();
    std::vector<HWND> all;
    EnumWindows([](HWND h, LPARAM lp) { reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h); return TRUE; },
                reinterpret_cast<LPARAM>(&all));
    for (HWND h : all) DestroyWindow(h);
    Handlers().clear();
    ReleaseCapture();
    Drain();
    headless::ClearSpy();
    backend::Install(nullptr);
  }
  static void Drain() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
  }
  // Runs the message loop (events from the X server included) until done() holds or 3 s pass.
  static bool PumpUntil(const std::function<bool()>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (;;) {
      Drain();
      if (done()) return true;
      if (std::chrono::steady_clock::now() > end) return false;
      Display()->WaitEvents(20);
    }
  }
  static bool SpySaw(HWND h, UINT msg, WPARAM w = WPARAM(-1)) {
    for (const auto& e : headless::SpyLog(h))
      if (e.msg == msg && (w == WPARAM(-1) || e.wParam == w)) return true;
    return false;
  }
  TForm* NewForm(int x, int y, int w, int h) {
    auto* f = new TForm(owner.get());
    f->SetBorderStyle(bsNone);
    f->SetBounds(x, y, w, h);
    return f;
  }
  template <typename T>
  T* Make(TWinControl* parent, int x, int y, int w, int h) {
    auto* c = new T(owner.get());
    c->SetBounds(x, y, w, h);
    c->SetParent(parent);
    return c;
  }
  // What the X server shows of a window equals the layer's back buffer, made opaque.
  static bool ScreenMatches(HWND h) {
    int w = 0, ht = 0;
    auto px = headless::ReadPixels(h, &w, &ht);
    for (uint32_t& p : px) p |= 0xFF000000u;
    RECT r;
    GetWindowRect(h, &r);
    return !px.empty() && x11::ReadScreen(*Display(), r) == px;
  }

  std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(nullptr);
};

TEST_F(FormsOnX11, AFormWithControlsShowsTheBackBufferOnScreen) {
  TForm* f = NewForm(60, 80, 320, 200);
  f->SetColor(clBtnFace);
  auto* b = Make<TButton>(f, 10, 10, 90, 28);
  b->SetCaption("开始");
  auto* cb = Make<TCheckBox>(f, 10, 50, 120, 20);
  cb->SetCaption("完成后关机");
  auto* l = new TLabel(owner.get());
  l->SetBounds(10, 80, 200, 20);
  l->SetCaption("OmbrelWMV视频格式转换器");
  l->SetParent(f);
  auto* p = Make<TPanel>(f, 150, 10, 150, 100);
  p->SetCaption("预览");
  f->Show();
  EXPECT_TRUE(PumpUntil([&] { return ScreenMatches(f->Handle()); }));
  EXPECT_EQ(x11::TextProperty(*Display(), f->Handle(), "_NET_WM_NAME"), f->Caption());
  // The application's icon comes along, its 16, 32, 48 and 256 pixel pictures.
  auto icon = x11::CardinalProperty(*Display(), f->Handle(), "_NET_WM_ICON");
  ASSERT_GE(icon.size(), 2u);
  EXPECT_EQ(icon[0], 16u);
  EXPECT_EQ(icon.size(), size_t(4 * 2 + 16 * 16 + 32 * 32 + 48 * 48 + 256 * 256));
  // A change is presented too.
  cb->SetChecked(true);
  EXPECT_TRUE(PumpUntil([&] { return ScreenMatches(f->Handle()); }));
}

TEST_F(FormsOnX11, ClicksAndKeysFromXTestReachTheRightControl) {
  TForm* f = NewForm(400, 80, 300, 150);
  int clicks = 0;
  auto* b = Make<TButton>(f, 20, 20, 100, 30);
  b->SetCaption("确定");
  b->OnClick = [&](TObject*) { ++clicks; };
  auto* probe = Make<ctltest::WinProbe>(f, 150, 20, 100, 60);
  probe->SetTabStop(true);
  f->Show();
  ASSERT_TRUE(PumpUntil([&] { return x11::FocusedSurface(*Display()) == f->Handle(); }));
  headless::Spy(b->Handle());
  headless::Spy(probe->Handle());
  TPoint c = b->ClientToScreen(TPoint{50, 15});
  x11::FakeMotion(*Display(), c.x, c.y);
  x11::FakeButton(*Display(), 0, true);
  x11::FakeButton(*Display(), 0, false);
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
  EXPECT_TRUE(SpySaw(b->Handle(), WM_LBUTTONDOWN));
  EXPECT_TRUE(SpySaw(b->Handle(), WM_LBUTTONUP));
  EXPECT_FALSE(SpySaw(probe->Handle(), WM_LBUTTONDOWN));

  probe->SetFocus();
  x11::FakeKey(*Display(), 'A', true);
  x11::FakeKey(*Display(), 'A', false);
  x11::FakeKey(*Display(), VK_SHIFT, true);
  x11::FakeKey(*Display(), 'B', true);
  x11::FakeKey(*Display(), 'B', false);
  x11::FakeKey(*Display(), VK_SHIFT, false);
  x11::FakeKey(*Display(), VK_RETURN, true);
  x11::FakeKey(*Display(), VK_RETURN, false);
  ASSERT_TRUE(PumpUntil([&] { return SpySaw(probe->Handle(), WM_KEYUP, VK_RETURN); }));
  std::vector<std::pair<UINT, WPARAM>> keys;
  for (const auto& e : headless::SpyLog(probe->Handle()))
    if (e.msg == WM_KEYDOWN || e.msg == WM_KEYUP || e.msg == WM_CHAR) keys.emplace_back(e.msg, e.wParam);
  std::vector<std::pair<UINT, WPARAM>> want{
      {WM_KEYDOWN, 'A'},        {WM_CHAR, 'a'},         {WM_KEYUP, 'A'},         {WM_KEYDOWN, VK_SHIFT},
      {WM_KEYDOWN, 'B'},        {WM_CHAR, 'B'},         {WM_KEYUP, 'B'},         {WM_KEYUP, VK_SHIFT},
      {WM_KEYDOWN, VK_RETURN},  {WM_CHAR, '\r'},        {WM_KEYUP, VK_RETURN}};
  EXPECT_EQ(keys, want);
  EXPECT_FALSE(SpySaw(b->Handle(), WM_KEYDOWN));
}

TEST_F(FormsOnX11, CaptureHoldsAcrossWindowsWhileTheButtonIsDown) {
  HWND a = CreateWindowEx(0, "TestWnd", "a", WS_POPUP | WS_VISIBLE, 100, 500, 150, 100, nullptr, nullptr, nullptr,
                          nullptr);
  HWND bw = CreateWindowEx(0, "TestWnd", "b", WS_POPUP | WS_VISIBLE, 300, 500, 150, 100, nullptr, nullptr, nullptr,
                           nullptr);
  Handlers()[a] = [](HWND h, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
    if (m == WM_LBUTTONDOWN) SetCapture(h);
    if (m == WM_LBUTTONUP) ReleaseCapture();
    handled = false;
    return 0;
  };
  headless::Spy(a);
  headless::Spy(bw);
  ASSERT_TRUE(PumpUntil([&] { return ScreenMatches(a) && ScreenMatches(bw); }));
  x11::FakeMotion(*Display(), 120, 520);
  x11::FakeButton(*Display(), 0, true);
  ASSERT_TRUE(PumpUntil([&] { return GetCapture() == a; }));
  headless::ClearSpy();
  x11::FakeMotion(*Display(), 350, 530);  // over b, button held
  x11::FakeButton(*Display(), 0, false);
  ASSERT_TRUE(PumpUntil([&] { return SpySaw(a, WM_LBUTTONUP); }));
  bool movedOutside = false;
  for (const auto& e : headless::SpyLog(a))
    if ((e.msg == WM_MOUSEMOVE || e.msg == WM_LBUTTONUP) && GET_X_LPARAM(e.lParam) == 250 &&
        GET_Y_LPARAM(e.lParam) == 30)
      movedOutside = true;
  EXPECT_TRUE(movedOutside) << "a's client coordinates of the point over b";
  EXPECT_FALSE(SpySaw(bw, WM_MOUSEMOVE));
  EXPECT_FALSE(SpySaw(bw, WM_LBUTTONUP));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(FormsOnX11, APopupDoesNotTakeTheFocusFromItsForm) {
  TForm* f = NewForm(100, 300, 300, 150);
  f->Show();
  ASSERT_TRUE(PumpUntil([&] { return x11::FocusedSurface(*Display()) == f->Handle(); }));
  HWND popup = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "TestWnd", "", WS_POPUP, 120, 320, 100, 80,
                              f->Handle(), nullptr, nullptr, nullptr);
  Handlers()[popup] = [](HWND, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
    handled = m == WM_MOUSEACTIVATE;
    return MA_NOACTIVATE;
  };
  ShowWindow(popup, SW_SHOWNOACTIVATE);
  ASSERT_TRUE(PumpUntil([&] { return ScreenMatches(popup); }));
  EXPECT_TRUE(x11::IsOverrideRedirect(*Display(), popup));
  // A click on the popup neither activates it nor moves the X focus.
  headless::Spy(popup);
  x11::FakeMotion(*Display(), 150, 350);
  x11::FakeButton(*Display(), 0, true);
  x11::FakeButton(*Display(), 0, false);
  ASSERT_TRUE(PumpUntil([&] { return SpySaw(popup, WM_LBUTTONUP); }));
  EXPECT_EQ(GetActiveWindow(), f->Handle());
  EXPECT_EQ(x11::FocusedSurface(*Display()), f->Handle());
  // Keys still go to the form.
  headless::Spy(f->Handle());
  x11::FakeKey(*Display(), VK_DOWN, true);
  x11::FakeKey(*Display(), VK_DOWN, false);
  EXPECT_TRUE(PumpUntil([&] { return SpySaw(f->Handle(), WM_KEYUP, VK_DOWN); }));
  EXPECT_FALSE(SpySaw(popup, WM_KEYDOWN));
}

TEST_F(FormsOnX11, ARegionShapesTheWindow) {
  HWND h = CreateWindowEx(0, "TestWnd", "", WS_POPUP | WS_VISIBLE, 500, 300, 120, 90, nullptr, nullptr, nullptr,
                          nullptr);
  HRGN rgn = CreateRectRgn(0, 0, 120, 30);
  HRGN leg = CreateRectRgn(40, 30, 80, 90);
  CombineRgn(rgn, rgn, leg, RGN_OR);
  DeleteObject(leg);
  SetWindowRgn(h, rgn, TRUE);
  Drain();
  EXPECT_EQ(x11::BoundingShape(*Display(), h), (std::vector<RECT>{RECT{0, 0, 120, 30}, RECT{40, 30, 80, 90}}));
  EXPECT_EQ(x11::InputShape(*Display(), h), (std::vector<RECT>{RECT{0, 0, 120, 30}, RECT{40, 30, 80, 90}}));
  SetWindowRgn(h, nullptr, TRUE);
  Drain();
  EXPECT_EQ(x11::BoundingShape(*Display(), h), (std::vector<RECT>{RECT{0, 0, 120, 90}}));
}

TEST_F(FormsOnX11, AWorkersSendMessageAndHandOverReachTheIdleMainThread) {
  HWND h = CreateWindowEx(0, "TestWnd", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  Handlers()[h] = [](HWND, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
    handled = true;
    if (m == WM_USER + 1) return 42;
    if (m == WM_USER + 2 || m == WM_TIMER) PostQuitMessage(m == WM_TIMER ? 1 : 0);
    handled = false;
    return 0;
  };
  SetTimer(h, 1, 20000, nullptr);  // a way out should the wake-up fail
  std::atomic<LRESULT> answer{0};
  std::atomic<bool> handedOver{false};
  std::thread worker([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the main thread is asleep by now
    answer = SendMessage(h, WM_USER + 1, 0, 0);
    Synchronize([&] { handedOver = true; });
    PostMessage(h, WM_USER + 2, 0, 0);
  });
  MSG m;
  while (GetMessage(&m, nullptr, 0, 0) > 0) DispatchMessage(&m);
  worker.join();
  KillTimer(h, 1);
  EXPECT_EQ(m.wParam, 0u) << "the main thread was never woken";
  EXPECT_EQ(answer.load(), 42);
  EXPECT_TRUE(handedOver.load());
}

namespace {
struct Sdl {
  void* lib = nullptr;
  int (*Init)(uint32_t) = nullptr;
  void* (*SetVideoMode)(int, int, int, uint32_t) = nullptr;
  int (*FillRect)(void*, void*, uint32_t) = nullptr;
  uint32_t (*MapRGB)(const void*, uint8_t, uint8_t, uint8_t) = nullptr;
  void (*UpdateRect)(void*, int32_t, int32_t, uint32_t, uint32_t) = nullptr;
  void (*Quit)() = nullptr;
  bool Load() {
    lib = dlopen("libSDL-1.2.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!lib) return false;
    Init = reinterpret_cast<decltype(Init)>(dlsym(lib, "SDL_Init"));
    SetVideoMode = reinterpret_cast<decltype(SetVideoMode)>(dlsym(lib, "SDL_SetVideoMode"));
    FillRect = reinterpret_cast<decltype(FillRect)>(dlsym(lib, "SDL_FillRect"));
    MapRGB = reinterpret_cast<decltype(MapRGB)>(dlsym(lib, "SDL_MapRGB"));
    UpdateRect = reinterpret_cast<decltype(UpdateRect)>(dlsym(lib, "SDL_UpdateRect"));
    Quit = reinterpret_cast<decltype(Quit)>(dlsym(lib, "SDL_Quit"));
    return Init && SetVideoMode && FillRect && MapRGB && UpdateRect && Quit;
  }
};
struct SdlSurfaceHead {  // SDL 1.2's SDL_Surface begins with its flags and pixel format
  uint32_t flags;
  const void* format;
};
}  // namespace

TEST_F(FormsOnX11, SdlDrawsIntoThePanelsNativeWindowInPlace) {
  Sdl sdl;
  if (!sdl.Load()) GTEST_SKIP() << "no libSDL-1.2.so.0";
  TForm* f = NewForm(700, 400, 320, 240);
  f->SetColor(clBlack);
  auto* host = Make<TPanel>(f, 40, 30, 160, 120);
  f->Show();
  ASSERT_TRUE(PumpUntil([&] { return ScreenMatches(f->Handle()); }));
  EXPECT_EQ(GetNativeWindowHandle(f->Handle()), 0u);  // only child windows
  uintptr_t id = GetNativeWindowHandle(host->Handle());
  ASSERT_NE(id, 0u);
  EXPECT_EQ(GetNativeWindowHandle(host->Handle()), id);
  // SDL runs in a child process (its own X connection, its own leaks); what it draws stays.
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("SDL_WINDOWID", std::to_string(id).c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (sdl.Init(0x20 /* SDL_INIT_VIDEO */) != 0) _exit(2);
    void* screen = sdl.SetVideoMode(160, 120, 0, 0);
    if (!screen) _exit(3);
    sdl.FillRect(screen, nullptr, sdl.MapRGB(static_cast<SdlSurfaceHead*>(screen)->format, 0x20, 0xC0, 0x40));
    sdl.UpdateRect(screen, 0, 0, 0, 0);
    sdl.Quit();
    _exit(0);
  }
  int status = -1;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  auto shown = x11::ReadScreen(*Display(), RECT{700, 400, 1020, 640});
  EXPECT_EQ(shown[size_t(30 + 60) * 320 + 40 + 80], 0xFF20C040u);  // inside the panel
  EXPECT_EQ(shown[size_t(30 + 1) * 320 + 40 + 1], 0xFF20C040u);
  EXPECT_EQ(shown[size_t(200) * 320 + 300], 0xFF000000u);           // the form around it
  EXPECT_EQ(shown[size_t(29) * 320 + 40], 0xFF000000u);
  // Moved with its window: the native window follows the panel.
  host->SetLeft(100);
  Drain();
  auto moved = x11::ReadScreen(*Display(), RECT{700, 400, 1020, 640});
  EXPECT_EQ(moved[size_t(30 + 60) * 320 + 100 + 150], 0xFF20C040u);
}

}  // namespace

namespace {

TEST_F(FormsOnX11, DraggingTheCaptionWithThePointerMovesTheWindowAndItsXWindow) {
  HWND h = CreateWindowEx(0, "TestWnd", "", WS_POPUP | WS_VISIBLE, 200, 200, 160, 100, nullptr, nullptr, nullptr,
                          nullptr);
  Handlers()[h] = [](HWND, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
    handled = m == WM_NCHITTEST;
    return HTCAPTION;
  };
  ASSERT_TRUE(PumpUntil([&] { return ScreenMatches(h); }));
  x11::FakeMotion(*Display(), 220, 210);
  x11::FakeButton(*Display(), 0, true);
  // The move loop runs inside the dispatch of the button press; the motion and the release are
  // sent from another connection while it waits for them.
  std::thread mover([] {
    auto other = x11::Create();
    if (!other) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    x11::FakeMotion(*other, 260, 250);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    x11::FakeMotion(*other, 320, 290);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    x11::FakeButton(*other, 0, false);
  });
  bool moved = PumpUntil([&] {
    RECT r;
    GetWindowRect(h, &r);
    return r.left == 300 && r.top == 280 && !(GetKeyState(VK_LBUTTON) & 0x8000);
  });
  mover.join();
  EXPECT_TRUE(moved);
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.top, 280);
  // The X server agrees: what it shows at the new place is the window's back buffer.
  EXPECT_TRUE(PumpUntil([&] { return ScreenMatches(h); }));
}

}  // namespace

namespace {

TEST_F(FormsOnX11, AWindowBecomingLayeredGetsANewSurfaceAndKeepsItsPixels) {
  TForm* f = NewForm(500, 600, 200, 120);
  f->SetColor(clTeal);
  auto* b = Make<TButton>(f, 20, 20, 100, 30);
  b->SetCaption("层");
  f->Show();
  ASSERT_TRUE(PumpUntil([&] { return ScreenMatches(f->Handle()); }));
  const uintptr_t before = x11::NativeWindow(*Display(), f->Handle());
  HWND h = f->Handle();
  SetWindowLongPtr(h, GWL_EXSTYLE, GetWindowLongPtr(h, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetLayeredWindowAttributes(h, 0, 0x80, LWA_ALPHA);
  b->SetCaption("层窗口");  // drawn after the change, into the new memory
  Drain();
  EXPECT_NE(x11::NativeWindow(*Display(), h), before);  // a 32-bit surface where the server has one
  EXPECT_EQ(x11::CardinalProperty(*Display(), h, "_NET_WM_WINDOW_OPACITY"), (std::vector<unsigned long>{0x80808080u}));
  SetWindowLongPtr(h, GWL_EXSTYLE, GetWindowLongPtr(h, GWL_EXSTYLE) & ~WS_EX_LAYERED);
  b->SetCaption("普通");
  EXPECT_TRUE(PumpUntil([&] { return ScreenMatches(h); }));
  EXPECT_TRUE(x11::CardinalProperty(*Display(), h, "_NET_WM_WINDOW_OPACITY").empty());
}

}  // namespace
