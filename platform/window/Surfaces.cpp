// The window layer's side of the backend: native surfaces made and kept up to date from the
// window objects (title, owner, styles, icon, activation, native children), the backend's
// events turned into the layer's input and window changes, and the main thread's wait for
// events, woken by other threads.
#include <algorithm>
#include <climits>
#include <map>
#include <mutex>

#include "base/MainThread.h"
#include "base/Resources.h"
#include "platform/backend/Backend.h"
#include "platform/backend/headless/Headless.h"
#include "platform/window/WindowImpl.h"

namespace win {
namespace detail {

namespace {

// The application's icon for every surface: the 32-bit pictures of the MAINICON resource.
const std::vector<backend::IconPicture>& AppIcon() {
  static const std::vector<backend::IconPicture> pictures = [] {
    std::vector<backend::IconPicture> out;
    const TResource* r = FindResource("MAINICON", TResourceKind::Icon);
    if (!r || r->Size < 6) return out;
    auto u16 = [&](size_t at) { return uint32_t(r->Data[at] | (r->Data[at + 1] << 8)); };
    auto u32 = [&](size_t at) { return u16(at) | (u16(at + 2) << 16); };
    const size_t count = u16(4);
    for (size_t i = 0; i < count && 6 + 16 * (i + 1) <= r->Size; ++i) {
      const size_t e = 6 + 16 * i;
      const size_t size = u32(e + 8), at = u32(e + 12);
      if (at > r->Size || size > r->Size - at || size < 40) continue;
      const int32_t w = int32_t(u32(at + 4)), h2 = int32_t(u32(at + 8));
      if (u32(at) != 40 || u16(at + 14) != 32 || w <= 0 || w > 256 || h2 != 2 * w) continue;
      const size_t pixelsAt = at + 40, bytes = size_t(w) * size_t(w) * 4;
      if (bytes > size - 40) continue;
      backend::IconPicture p;
      p.width = p.height = w;
      p.argb.resize(size_t(w) * size_t(w));
      for (int y = 0; y < w; ++y)  // rows bottom-up
        for (int x = 0; x < w; ++x) p.argb[size_t(w - 1 - y) * w + x] = u32(pixelsAt + (size_t(y) * w + x) * 4);
      out.push_back(std::move(p));
    }
    return out;
  }();
  return pictures;
}

// Only what Windows would list in the task bar: application windows, and unowned windows
// that are not tool windows (an owner that is never shown, like the application's hidden
// window, counts as none).
bool InTaskbar(const Wnd* w) {
  if (w->exStyle & WS_EX_APPWINDOW) return true;
  if (w->exStyle & WS_EX_TOOLWINDOW) return false;
  return !w->owner || !(w->owner->style & WS_VISIBLE);
}

HWND ShownOwner(const Wnd* w) { return w->owner && (w->owner->style & WS_VISIBLE) ? w->owner->handle : nullptr; }

struct NativeChild {
  HWND top = nullptr;
  uintptr_t id = 0;
  RECT rect{};
  bool shown = false;
};
std::mutex g_nativeMutex;
std::map<HWND, NativeChild> g_native;

bool IsInput(backend::Event::Kind k) {
  switch (k) {
    case backend::Event::PointerMove:
    case backend::Event::ButtonDown:
    case backend::Event::ButtonUp:
    case backend::Event::Wheel:
    case backend::Event::KeyDown:
    case backend::Event::KeyUp:
    case backend::Event::Text:
    case backend::Event::Enter:
    case backend::Event::Leave: return true;
    default: return false;
  }
}

// Turns the backend's events into input for the queue of the surface's thread (the main
// thread's when the event names no window of ours).
class CoreSink final : public backend::EventSink {
 public:
  void OnBackendEvent(const backend::Event& e) override {
    if (e.kind == backend::Event::Exposed) return;  // the backend shows its last present again
    // Events of a surface go to its window's thread; the others to the thread that reads them.
    std::shared_ptr<ThreadQueue> q = e.hwnd ? QueueOf(e.hwnd) : nullptr;
    if (!q) {
      EnsureQueueGuard();
      q = CurrentQueue();
    }
    InputEvent ev;
    ev.pt = e.pt;
    ev.time = e.time ? e.time : DWORD(NowMs());
    ev.hwnd = e.hwnd;
    static const int vkOf[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
    switch (e.kind) {
      case backend::Event::PointerMove:
      case backend::Event::Enter:
      case backend::Event::Leave: ev.kind = InputEvent::PointerMove; break;
      case backend::Event::ButtonDown:
      case backend::Event::ButtonUp:
        ev.kind = e.kind == backend::Event::ButtonDown ? InputEvent::ButtonDown : InputEvent::ButtonUp;
        ev.button = std::clamp(e.button, 0, 2);
        UpdateAsyncKey(vkOf[ev.button], e.kind == backend::Event::ButtonDown);
        break;
      case backend::Event::Wheel:
        ev.kind = InputEvent::Wheel;
        ev.wheelDelta = e.wheelDelta;
        break;
      case backend::Event::KeyDown:
      case backend::Event::KeyUp:
        ev.kind = e.kind == backend::Event::KeyDown ? InputEvent::KeyDown : InputEvent::KeyUp;
        ev.vk = e.vk;
        ev.text = e.text;
        ev.textGiven = e.hasText;
        UpdateAsyncKey(e.vk, e.kind == backend::Event::KeyDown);
        break;
      case backend::Event::Text:
        ev.kind = InputEvent::Char;
        ev.ch = e.ch;
        break;
      default:
        ev.kind = InputEvent::Surface;
        ev.surfaceEvent = int(e.kind);
        ev.rect = e.rect;
        break;
    }
    (void)IsInput;
    {
      std::lock_guard<std::mutex> lock(q->m);
      q->input.push_back(ev);
    }
    WakeQueue(*q);
  }

  static std::shared_ptr<ThreadQueue> MainQueue() {
    std::lock_guard<std::mutex> lock(mainMutex);
    return mainQueue.lock();
  }
  static inline std::mutex mainMutex;
  static inline std::weak_ptr<ThreadQueue> mainQueue;
};

CoreSink g_sink;

}  // namespace

void AttachBackend(backend::Backend& b) { b.SetEventSink(&g_sink); }

void NoteMainQueue(const std::shared_ptr<ThreadQueue>& q) {
  std::lock_guard<std::mutex> lock(CoreSink::mainMutex);
  CoreSink::mainQueue = q;
}

bool WaitsOnBackend(const ThreadQueue& q) {
  if (std::string_view(backend::Current().Name()) == "headless") return false;
  return CoreSink::MainQueue().get() == &q;
}

void WakeBackendFor(const ThreadQueue& q) {
  if (WaitsOnBackend(q)) backend::Current().Wake();
}

void WaitOnBackend(int timeoutMs) { backend::Current().WaitEvents(timeoutMs); }

void CreateNativeSurface(Wnd* w) {
  backend::SurfaceDesc d;
  d.rect = w->rect;
  d.style = w->style;
  d.exStyle = w->exStyle;
  d.classStyle = w->cls ? w->cls->style : 0;
  d.owner = ShownOwner(w);
  d.inTaskbar = InTaskbar(w);
  auto& b = backend::Current();
  b.CreateSurfaceEx(w->handle, d);
  if (!w->text.empty()) b.SetTitle(w->handle, w->text);
  b.SetIcon(w->handle, AppIcon());
  // The back buffer moves into memory the backend offers (shared with the display server).
  ResizeBackBuffer(w, true);
}

void DestroyNativeSurface(Wnd* w) {
  w->pixels.Detach();  // DCs may still draw into it until the window object goes
  backend::Current().DestroySurface(w->handle);
}

void SurfaceTitleChanged(Wnd* w) {
  if (!w->parent) backend::Current().SetTitle(w->handle, w->text);
}

void SurfaceStyleChanged(Wnd* w) {
  if (w->parent) return;
  w->pixels.Detach();
  backend::Current().SetStyle(w->handle, w->style, w->exStyle);
  backend::Current().SetOwner(w->handle, ShownOwner(w));
  // A surface made anew shows nothing until presented again, and memory the backend gave the
  // old one is gone: the back buffer takes new memory, keeping its pixels.
  ResizeBackBuffer(w, true);
  w->dirty = Region(RECT{0, 0, w->bufW, w->bufH});
}

void SurfaceShowing(Wnd* w) {
  if (w->parent) return;
  // The window manager learns the owner and the size limits just before the window appears.
  backend::Current().SetOwner(w->handle, ShownOwner(w));
  MINMAXINFO mmi{};
  FillMinMax(w, &mmi);
  WndRef ref(w);
  Send(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  if (!ref.alive()) return;
  backend::Current().SetSizeHints(w->handle, SIZE{mmi.ptMinTrackSize.x, mmi.ptMinTrackSize.y},
                                  SIZE{mmi.ptMaxTrackSize.x, mmi.ptMaxTrackSize.y});
}

// The active window gets the keyboard focus once it is on screen (activation may come first).
void SurfaceShown(Wnd* w) {
  auto q = QueueOf(w->handle);
  if (q && q->threadId == CurrentThreadId() && q->active == w->handle) SurfaceActivated(w);
}

void SurfaceActivated(Wnd* top) {
  if (top && !top->parent && !(top->exStyle & WS_EX_NOACTIVATE)) backend::Current().Activate(top->handle);
}

void SurfaceColorKey(Wnd* w) {
  if (w->parent) return;
  backend::Current().SetColorKey(w->handle, (w->layeredFlags & LWA_COLORKEY) != 0, w->layeredKey);
}

// Changes the backend reports about a surface, handled on the window's own thread.
void HandleSurfaceEvent(ThreadQueue& q, const InputEvent& ev) {
  Wnd* w = Find(ev.hwnd);
  switch (backend::Event::Kind(ev.surfaceEvent)) {
    case backend::Event::Configured:
      // Moved or sized by the window manager: the layer follows, with the usual messages.
      if (w && !w->parent && !EqualRect(&w->rect, &ev.rect))
        SetWindowPos(w->handle, nullptr, ev.rect.left, ev.rect.top, ev.rect.right - ev.rect.left,
                     ev.rect.bottom - ev.rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    case backend::Event::FocusGained:
      // Only a window manager gives the focus on its own; without one the layer gave it.
      if (w && backend::Current().HasWindowManager() && !w->parent && q.active != w->handle && (w->style & WS_VISIBLE) && IsEnabledChain(w))
        ActivateTopLevel(w, WA_ACTIVE);
      break;
    case backend::Event::FocusLost:
      // The focus went to another application: the active window is deactivated (an open menu
      // closes on this).
      if (w && q.active == w->handle) ActivateTopLevel(nullptr, WA_INACTIVE);
      break;
    case backend::Event::CloseRequested:
      if (w) PostMessage(w->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case backend::Event::Minimized:
      // Iconified by the window manager (its task bar, a shortcut): the window follows.
      if (w && !w->parent && !(w->style & WS_MINIMIZE)) ShowWindow(w->handle, SW_SHOWMINNOACTIVE);
      break;
    case backend::Event::Restored:
      if (w && (w->style & WS_MINIMIZE)) PostMessage(w->handle, WM_SYSCOMMAND, SC_RESTORE, 0);
      break;
    case backend::Event::DisplayChanged: {
      std::vector<HWND> tops;
      for (Wnd* t : TopLevels())
        if (t->threadId == q.threadId) tops.push_back(t->handle);
      for (HWND h : tops) SendMessage(h, WM_DISPLAYCHANGE, 32, 0);
      break;
    }
    default: break;
  }
}

// Native children follow their window: placed in the top-level, shown while it is visible,
// destroyed with it.
void PlaceNativeChildren() {
  std::vector<std::pair<HWND, NativeChild>> list;
  {
    std::lock_guard<std::mutex> lock(g_nativeMutex);
    if (g_native.empty()) return;
    list.assign(g_native.begin(), g_native.end());
  }
  for (auto& [h, nc] : list) {
    Wnd* w = Find(h);
    if (!w || w->destroying || TopLevelOf(w)->handle != nc.top) {
      backend::Current().DestroyChildSurface(h);
      std::lock_guard<std::mutex> lock(g_nativeMutex);
      g_native.erase(h);
      continue;
    }
    RECT s = ScreenRect(w);
    POINT o = WindowOrigin(TopLevelOf(w));
    RECT r{s.left - o.x, s.top - o.y, s.right - o.x, s.bottom - o.y};
    bool shown = IsVisibleChain(w);
    if (EqualRect(&r, &nc.rect) && shown == nc.shown) continue;
    backend::Current().PlaceChildSurface(h, r, shown);
    std::lock_guard<std::mutex> lock(g_nativeMutex);
    g_native[h].rect = r;
    g_native[h].shown = shown;
  }
}

}  // namespace detail

namespace backend {

namespace {
Backend* g_installed = nullptr;
}

Backend& Current() {
  // The headless backend serves until another is installed; its events reach the layer too.
  static const bool attached = (detail::AttachBackend(headless::DefaultBackend()), true);
  (void)attached;
  return g_installed ? *g_installed : headless::DefaultBackend();
}

void Install(Backend* b) {
  if (g_installed) g_installed->SetEventSink(nullptr);
  g_installed = b;
  detail::AttachBackend(b ? *b : headless::DefaultBackend());
}

}  // namespace backend

uintptr_t GetNativeWindowHandle(HWND h) {
  using namespace detail;
  Wnd* w = Find(h);
  if (!w || !w->parent || w->destroying) return 0;
  {
    std::lock_guard<std::mutex> lock(g_nativeMutex);
    auto it = g_native.find(h);
    if (it != g_native.end()) return it->second.id;
  }
  Wnd* top = TopLevelOf(w);
  RECT s = ScreenRect(w);
  POINT o = WindowOrigin(top);
  RECT r{s.left - o.x, s.top - o.y, s.right - o.x, s.bottom - o.y};
  uintptr_t id = backend::Current().CreateChildSurface(h, top->handle, r);
  if (!id) return 0;
  bool shown = IsVisibleChain(w);
  backend::Current().PlaceChildSurface(h, r, shown);
  std::lock_guard<std::mutex> lock(g_nativeMutex);
  g_native[h] = NativeChild{top->handle, id, r, shown};
  return id;
}

}  // namespace win
