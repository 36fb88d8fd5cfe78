// The X11 backend on a real X server (run under xvfb-run; skipped without a display): surfaces
// and their pixels read back from the server, shapes, popups and the focus, window properties,
// real input through XTest, the clipboard between two connections, the wake-up, and a native
// child window that SDL 1.2 draws into.
#include <dlfcn.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "platform/backend/x11/X11.h"

extern char** environ;

using namespace win;
using backend::Event;

namespace {

// Window handles of the backend are only keys: any distinct values serve.
HWND Handle(uintptr_t n) { return reinterpret_cast<HWND>(0x1000 + n); }

class Recorder : public backend::EventSink {
 public:
  void OnBackendEvent(const Event& e) override {
    std::lock_guard<std::mutex> l(m);
    events.push_back(e);
  }
  std::vector<Event> Take() {
    std::lock_guard<std::mutex> l(m);
    std::vector<Event> out;
    out.swap(events);
    return out;
  }
  std::mutex m;
  std::vector<Event> events;
};

class X11Backend : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    // A virtual X server resets when its last client leaves; one connection stays for the
    // whole run so that the next test finds the server there.
    static auto* keeper = x11::Create().release();
    if (!keeper) GTEST_SKIP() << "the X display cannot be opened";
    b = x11::Create();
    if (!b) GTEST_SKIP() << "the X display cannot be opened";
    b->SetEventSink(&rec);
  }
  void TearDown() override {
    if (b) b->SetEventSink(nullptr);
  }

  // Serves events until the predicate holds for what arrived (kept in seen), or 3 seconds.
  bool PumpUntil(const std::function<bool(const std::vector<Event>&)>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < end) {
      b->WaitEvents(20);
      for (const Event& e : rec.Take()) seen.push_back(e);
      if (done(seen)) return true;
    }
    return false;
  }
  bool PumpFor(Event::Kind k, HWND h = nullptr) {
    return PumpUntil([&](const std::vector<Event>& v) {
      for (const Event& e : v)
        if (e.kind == k && (!h || e.hwnd == h)) return true;
      return false;
    });
  }
  // Creates, shows and waits until the surface is on screen (its first expose).
  HWND Shown(uintptr_t n, RECT r, DWORD style = WS_POPUP, DWORD ex = 0, UINT cls = 0) {
    HWND h = Handle(n);
    backend::SurfaceDesc d;
    d.rect = r;
    d.style = style;
    d.exStyle = ex;
    d.classStyle = cls;
    d.inTaskbar = true;
    b->CreateSurfaceEx(h, d);
    b->ShowSurface(h, true);
    EXPECT_TRUE(PumpFor(Event::Exposed, h));
    return h;
  }
  static std::vector<uint32_t> Pattern(int w, int h, uint32_t seed) {
    std::vector<uint32_t> px(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        px[size_t(y) * w + x] = (uint32_t(x * 7 + seed) & 0xFF) << 16 | (uint32_t(y * 5 + seed) & 0xFF) << 8 |
                                (uint32_t(x ^ y) & 0xFF);  // alpha 0, as drawing leaves it
    return px;
  }

  std::unique_ptr<backend::Backend> b;
  Recorder rec;
  std::vector<Event> seen;
};

std::vector<uint32_t> Opaque(std::vector<uint32_t> px) {
  for (uint32_t& p : px) p |= 0xFF000000u;
  return px;
}

}  // namespace

TEST_F(X11Backend, PresentedPixelsAreWhatTheServerShowsWithAndWithoutSharedMemory) {
  for (bool shm : {true, false}) {
    SCOPED_TRACE(shm ? "shared memory" : "XPutImage");
    auto be = x11::Create(nullptr, shm);
    ASSERT_TRUE(be);
    if (shm && !x11::UsesSharedMemory(*be)) GTEST_SKIP() << "no MIT-SHM here";
    EXPECT_EQ(x11::UsesSharedMemory(*be), shm);
    b->SetEventSink(nullptr);
    b = std::move(be);
    b->SetEventSink(&rec);
    seen.clear();
    const RECT r{40, 50, 40 + 200, 50 + 120};
    HWND h = Shown(1, r);
    auto px = Pattern(200, 120, 3);
    b->Present(h, px.data(), 200, 120, {RECT{0, 0, 200, 120}});
    EXPECT_EQ(x11::ReadScreen(*b, r), Opaque(px));
    // Only the dirty rectangles go out.
    auto next = Pattern(200, 120, 90);
    b->Present(h, next.data(), 200, 120, {RECT{10, 20, 60, 40}});
    auto shown = x11::ReadScreen(*b, r);
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 200; ++x) {
        bool dirty = x >= 10 && x < 60 && y >= 20 && y < 40;
        ASSERT_EQ(shown[size_t(y) * 200 + x], (dirty ? next : px)[size_t(y) * 200 + x] | 0xFF000000u) << x << "," << y;
      }
    b->DestroySurface(h);
  }
}

TEST_F(X11Backend, BackBufferInSharedMemoryIsPresentedWithoutACopy) {
  const RECT r{30, 30, 130, 90};
  HWND h = Shown(2, r);
  uint32_t* mem = b->BackBufferMemory(h, 100, 60);
  if (!mem) GTEST_SKIP() << "no shared memory here";
  auto px = Pattern(100, 60, 11);
  for (uint32_t& p : px) p |= 0xFF000000u;  // ordinary windows: the layer hands opaque pixels
  std::copy(px.begin(), px.end(), mem);
  b->Present(h, mem, 100, 60, {RECT{0, 0, 100, 60}});
  EXPECT_EQ(x11::ReadScreen(*b, r), px);
  b->DestroySurface(h);
}

TEST_F(X11Backend, ExposeIsServedFromTheLastPresent) {
  const RECT r{300, 300, 400, 380};
  HWND h = Shown(3, r);
  auto px = Pattern(100, 80, 5);
  b->Present(h, px.data(), 100, 80, {RECT{0, 0, 100, 80}});
  // Covered by another window and uncovered: the server asks again and the image answers.
  HWND cover = Shown(4, RECT{320, 320, 380, 360});
  b->DestroySurface(cover);
  seen.clear();
  EXPECT_TRUE(PumpFor(Event::Exposed, h));
  EXPECT_EQ(x11::ReadScreen(*b, r), Opaque(px));
}

TEST_F(X11Backend, ARegionShapesTheWindow) {
  const RECT r{100, 100, 180, 160};
  HWND h = Shown(5, r);
  auto px = Pattern(80, 60, 1);
  for (uint32_t& p : px) p = 0x00FF00FFu;
  b->Present(h, px.data(), 80, 60, {RECT{0, 0, 80, 60}});
  // Two bands, y-x sorted as the layer's regions are.
  std::vector<RECT> shape{RECT{0, 0, 80, 20}, RECT{10, 20, 30, 60}, RECT{50, 20, 70, 60}};
  b->SetShape(h, &shape);
  EXPECT_EQ(x11::BoundingShape(*b, h), shape);
  EXPECT_EQ(x11::InputShape(*b, h), shape);
  auto screen = x11::ReadScreen(*b, r);
  EXPECT_EQ(screen[size_t(5) * 80 + 40], 0xFFFF00FFu);   // inside the top band
  EXPECT_NE(screen[size_t(40) * 80 + 40], 0xFFFF00FFu);  // between the legs: not ours
  EXPECT_EQ(screen[size_t(40) * 80 + 20], 0xFFFF00FFu);
  b->SetShape(h, nullptr);
  EXPECT_EQ(x11::BoundingShape(*b, h), (std::vector<RECT>{RECT{0, 0, 80, 60}}));
  // Click-through windows keep their look but take no input.
  b->SetStyle(h, WS_POPUP, WS_EX_TRANSPARENT);
  EXPECT_TRUE(x11::InputShape(*b, h).empty());
  EXPECT_EQ(x11::BoundingShape(*b, h), (std::vector<RECT>{RECT{0, 0, 80, 60}}));
}

TEST_F(X11Backend, APopupNeverTakesTheFocusFromItsForm) {
  HWND form = Shown(6, RECT{50, 400, 250, 500});
  b->Activate(form);
  EXPECT_TRUE(PumpFor(Event::FocusGained, form));
  EXPECT_EQ(x11::FocusedSurface(*b), form);
  EXPECT_FALSE(x11::IsOverrideRedirect(*b, form));
  HWND popup = Shown(7, RECT{60, 420, 160, 480}, WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, CS_DROPSHADOW);
  EXPECT_TRUE(x11::IsOverrideRedirect(*b, popup));
  b->Activate(popup);  // refused: popups never take the focus
  x11::Sync(*b);
  EXPECT_EQ(x11::FocusedSurface(*b), form);
  // Keys typed while the popup shows still go to the form.
  ASSERT_TRUE(x11::FakeKey(*b, VK_DOWN, true));
  ASSERT_TRUE(x11::FakeKey(*b, VK_DOWN, false));
  EXPECT_TRUE(PumpFor(Event::KeyUp));
  for (const Event& e : seen) {
    if (e.kind == Event::KeyDown || e.kind == Event::KeyUp) {
      EXPECT_EQ(e.hwnd, form);
    }
  }
  EXPECT_EQ(x11::CardinalProperty(*b, popup, "_NET_WM_WINDOW_TYPE").size(), 1u);
}

TEST_F(X11Backend, TopLevelsAreUndecoratedWithTitleOwnerIconAndOpacity) {
  HWND owner = Shown(8, RECT{10, 10, 110, 110});
  backend::SurfaceDesc d;
  d.rect = RECT{20, 20, 120, 120};
  d.style = WS_POPUP;
  d.owner = owner;
  d.inTaskbar = false;
  HWND dlg = Handle(9);
  b->CreateSurfaceEx(dlg, d);
  b->SetTitle(dlg, "OmbrelWMV视频格式转换器");
  EXPECT_EQ(x11::NativeWindow(*b, dlg), 0u);  // no X window until it is first shown
  b->ShowSurface(dlg, true);
  EXPECT_EQ(x11::TextProperty(*b, dlg, "_NET_WM_NAME"), "OmbrelWMV视频格式转换器");
  auto motif = x11::CardinalProperty(*b, dlg, "_MOTIF_WM_HINTS");
  ASSERT_EQ(motif.size(), 5u);
  EXPECT_EQ(motif[0], 2u);  // decorations given
  EXPECT_EQ(motif[2], 0u);  // and none of them
  EXPECT_EQ(x11::CardinalProperty(*b, dlg, "WM_TRANSIENT_FOR"),
            (std::vector<unsigned long>{x11::NativeWindow(*b, owner)}));
  auto state = x11::CardinalProperty(*b, dlg, "_NET_WM_STATE");
  EXPECT_EQ(state.size(), 2u);  // skip task bar and pager
  EXPECT_TRUE(x11::CardinalProperty(*b, owner, "_NET_WM_STATE").empty());
  backend::IconPicture icon{2, 1, {0xFF112233u, 0x80445566u}};
  b->SetIcon(dlg, {icon});
  EXPECT_EQ(x11::CardinalProperty(*b, dlg, "_NET_WM_ICON"),
            (std::vector<unsigned long>{2, 1, 0xFF112233u, 0x80445566u}));
  b->SetStyle(dlg, WS_POPUP, WS_EX_LAYERED);
  b->SetAlpha(dlg, 0x80);
  EXPECT_EQ(x11::CardinalProperty(*b, dlg, "_NET_WM_WINDOW_OPACITY"), (std::vector<unsigned long>{0x80808080u}));
  b->SetStyle(dlg, WS_POPUP, 0);
  EXPECT_TRUE(x11::CardinalProperty(*b, dlg, "_NET_WM_WINDOW_OPACITY").empty());
  EXPECT_EQ(x11::TextProperty(*b, dlg, "_NET_WM_NAME"), "OmbrelWMV视频格式转换器");
}

TEST_F(X11Backend, XTestInputArrivesAsEventsInScreenCoordinates) {
  HWND h = Shown(10, RECT{500, 100, 700, 250});
  b->Activate(h);
  ASSERT_TRUE(PumpFor(Event::FocusGained, h));
  ASSERT_TRUE(x11::FakeMotion(*b, 550, 140));
  ASSERT_TRUE(PumpUntil([](const auto& v) {
    for (const Event& e : v)
      if (e.kind == Event::PointerMove && e.pt.x == 550 && e.pt.y == 140) return true;
    return false;
  }));
  x11::FakeButton(*b, 1, true);
  x11::FakeButton(*b, 1, false);
  EXPECT_TRUE(PumpFor(Event::ButtonUp, h));
  seen.clear();
  // Keys: the virtual-key code with the text it types.
  struct KeyCase {
    std::vector<int> press;
    int vk;
    std::vector<uint32_t> text;
  } cases[] = {
      {{'A'}, 'A', {'a'}},
      {{VK_SHIFT, 'A'}, 'A', {'A'}},
      {{'7'}, '7', {'7'}},
      {{VK_RETURN}, VK_RETURN, {}},  // control characters come from the layer's translation
      {{VK_F5}, VK_F5, {}},
      {{VK_OEM_COMMA}, VK_OEM_COMMA, {','}},
  };
  for (const KeyCase& c : cases) {
    seen.clear();
    for (int k : c.press) ASSERT_TRUE(x11::FakeKey(*b, k, true));
    for (auto it = c.press.rbegin(); it != c.press.rend(); ++it) x11::FakeKey(*b, *it, false);
    ASSERT_TRUE(PumpUntil([&](const auto& v) {
      for (const Event& e : v)
        if (e.kind == Event::KeyUp && e.vk == c.press.front()) return true;
      return false;
    })) << c.vk;
    std::vector<int> downs;
    std::vector<uint32_t> text;
    for (const Event& e : seen) {
      if (e.kind == Event::KeyDown) {
        downs.push_back(e.vk);
        text.insert(text.end(), e.text.begin(), e.text.end());
      }
      EXPECT_EQ(e.hwnd, h);
    }
    EXPECT_EQ(downs, c.press) << c.vk;
    EXPECT_EQ(text, c.text) << c.vk;
  }
}

TEST_F(X11Backend, ClipboardRoundTripsChineseTextBetweenConnectionsOnTwoThreads) {
  auto other = x11::Create();
  ASSERT_TRUE(other);
  const std::string text = "剪贴板：中文 text ✓";
  b->SetClipboardText(text);
  EXPECT_EQ(b->ClipboardText(), text);  // the owner answers itself
  // The owner's connection serves requests while the other asks.
  std::atomic<bool> stop{false};
  std::thread owner([&] {
    while (!stop) b->WaitEvents(20);
  });
  EXPECT_EQ(other->ClipboardText(), text);
  stop = true;
  owner.join();
  // And back: the other connection takes the clipboard over.
  other->SetClipboardText("第二段");
  stop = false;
  std::thread owner2([&] {
    while (!stop) other->WaitEvents(20);
  });
  EXPECT_EQ(b->ClipboardText(), "第二段");
  stop = true;
  owner2.join();
}

TEST_F(X11Backend, AnotherThreadWakesAWaitWithNoEventsArriving) {
  b->WaitEvents(0);
  std::thread waker([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    b->Wake();
  });
  // Without the wake-up this wait would run out after a minute and answer false.
  EXPECT_TRUE(b->WaitEvents(60000));
  waker.join();
}

TEST_F(X11Backend, MonitorsAndWorkAreaWithoutAWindowManager) {
  auto mons = b->Monitors();
  ASSERT_FALSE(mons.empty());
  EXPECT_TRUE(mons.front().primary || std::any_of(mons.begin(), mons.end(), [](auto& m) { return m.primary; }));
  for (const auto& m : mons) {
    EXPECT_GT(m.monitor.right - m.monitor.left, 0);
    if (!b->HasWindowManager()) {
      EXPECT_EQ(m.work.left, m.monitor.left);
      EXPECT_EQ(m.work.bottom, m.monitor.bottom);
    }
  }
}

namespace {
// SDL 1.2, bound here by hand: only what draws one rectangle.
struct SdlApi {
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
// The head of SDL 1.2's SDL_Surface: flags, then the pixel format.
struct SdlSurfaceHead {
  uint32_t flags;
  const void* format;
};
}  // namespace

TEST_F(X11Backend, SdlDrawsIntoTheNativeChildWindow) {
  SdlApi sdl;
  if (!sdl.Load()) GTEST_SKIP() << "no libSDL-1.2.so.0";
  const RECT r{200, 500, 520, 740};
  HWND top = Shown(11, r);
  auto px = Pattern(320, 240, 0);
  for (uint32_t& p : px) p = 0x00404040u;
  b->Present(top, px.data(), 320, 240, {RECT{0, 0, 320, 240}});
  HWND child = Handle(12);
  uintptr_t id = b->CreateChildSurface(child, top, RECT{40, 30, 200, 150});
  ASSERT_NE(id, 0u);
  b->PlaceChildSurface(child, RECT{40, 30, 200, 150}, true);
  x11::Sync(*b);
  // SDL runs in a child process of its own, as a player library would in its own world: what it
  // draws stays in the window after it quits, and its own leaks stay out of this process.
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("SDL_WINDOWID", std::to_string(id).c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (sdl.Init(0x20 /* SDL_INIT_VIDEO */) != 0) _exit(2);
    void* screen = sdl.SetVideoMode(160, 120, 0, 0);
    if (!screen) _exit(3);
    const void* fmt = static_cast<SdlSurfaceHead*>(screen)->format;
    sdl.FillRect(screen, nullptr, sdl.MapRGB(fmt, 0xE0, 0x20, 0x30));
    sdl.UpdateRect(screen, 0, 0, 0, 0);
    sdl.Quit();
    _exit(0);
  }
  int status = -1;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  auto shown = x11::ReadScreen(*b, r);
  EXPECT_EQ(shown[size_t(30 + 60) * 320 + 40 + 80], 0xFFE02030u);  // inside the child
  EXPECT_EQ(shown[size_t(10) * 320 + 10], 0xFF404040u);            // the parent around it
  EXPECT_EQ(shown[size_t(200) * 320 + 300], 0xFF404040u);
  b->DestroyChildSurface(child);
}

// Layered windows show translucent only while a compositing manager owns the screen's
// _NET_WM_CM_S selection: the test starts xcompmgr (skipped without it), and a layered surface's
// premultiplied pixels are then blended over the window below; a click-through surface takes no
// input anywhere.
TEST_F(X11Backend, LayeredWindowsBlendOnceACompositorRuns) {
  pid_t compositor = 0;
  if (!b->LayeredAvailable()) {
    char name[] = "xcompmgr";
    char* argv[] = {name, nullptr};
    if (posix_spawnp(&compositor, "xcompmgr", nullptr, nullptr, argv, environ) != 0) GTEST_SKIP() << "no xcompmgr";
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!b->LayeredAvailable() && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_TRUE(b->LayeredAvailable());
  const RECT r{300, 300, 340, 330};
  HWND under = Shown(20, r);
  std::vector<uint32_t> blue(size_t(40) * 30, 0x000000C0u);
  b->Present(under, blue.data(), 40, 30, {RECT{0, 0, 40, 30}});
  backend::SurfaceDesc d;
  d.rect = r;
  d.style = WS_POPUP;
  d.exStyle = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW;
  HWND glass = Handle(21);
  b->CreateSurfaceEx(glass, d);
  // Green at half alpha, premultiplied.
  std::vector<uint32_t> green(size_t(40) * 30, 0x80008000u);
  b->ShowSurface(glass, true);
  b->UpdateLayered(glass, green.data(), 40, 30, 255);
  uint32_t px = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < end) {
    b->WaitEvents(20);
    px = x11::ReadScreen(*b, RECT{320, 315, 321, 316})[0];
    if (((px >> 8) & 0xFF) > 0x70 && (px & 0xFF) > 0x50) break;
  }
  EXPECT_NEAR(int((px >> 8) & 0xFF), 0x80, 3) << std::hex << px;
  EXPECT_NEAR(int(px & 0xFF), 0x60, 3) << std::hex << px;
  EXPECT_EQ((px >> 16) & 0xFF, 0u);
  EXPECT_TRUE(x11::InputShape(*b, glass).empty());
  b->DestroySurface(glass);
  b->DestroySurface(under);
  if (compositor > 0) {
    kill(compositor, SIGTERM);
    waitpid(compositor, nullptr, 0);
    const auto gone = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (b->LayeredAvailable() && std::chrono::steady_clock::now() < gone)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(b->LayeredAvailable());
  }
}
