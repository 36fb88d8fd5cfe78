#pragma once
// The backend interface: what the window layer needs of a display. One native surface per
// top-level window; the layer owns the window tree, the back buffers, hit testing and the
// messages, and only tells the backend what to show. The backend reports input and changes of
// its surfaces through one event sink (the layer's) and never reaches into the window core;
// the main thread sleeps in WaitEvents, which other threads end with Wake. The headless backend
// is the default.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/WinUser.h"

namespace win::backend {

struct MonitorDesc {
  RECT monitor{};
  RECT work{};
  bool primary = false;
};

// What a backend reports about its surfaces and the user's input. Points are in screen
// coordinates; `hwnd` is the surface the event came through (nullptr when none of ours).
struct Event {
  enum Kind {
    PointerMove, ButtonDown, ButtonUp, Wheel,  // button: 0 left, 1 right, 2 middle
    KeyDown, KeyUp,                            // vk: a virtual-key code; repeat for auto-repeat;
                                               // a KeyDown's text is what the key typed
    Text,                                      // ch: one code point typed with no key (an input method)
    Enter, Leave,                              // the pointer entered or left the surface
    Exposed,                                   // rect (window coordinates) must be presented again
    Configured,                                // rect: the surface's new place (screen), moved by others
    FocusGained, FocusLost,                    // the keyboard focus came to or left the surface
    CloseRequested,                            // the user asked to close the surface
    Minimized, Restored,                       // iconified or brought back by the window manager
    DisplayChanged,                            // monitors changed
  } kind = PointerMove;
  HWND hwnd = nullptr;
  POINT pt{};
  int button = 0;
  int wheelDelta = 0;  // WHEEL_DELTA per notch, positive away from the user
  int vk = 0;
  bool repeat = false;
  uint32_t ch = 0;
  std::u32string text;
  bool hasText = false;  // a KeyDown's text was decoded by the backend (else the layer's US key map)
  RECT rect{};
  DWORD time = 0;
};

// Where a backend delivers its events; called on the thread that waits for events.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void OnBackendEvent(const Event& e) = 0;
};

// How a top-level surface is made: its place, styles, owner, and whether it is listed in the
// task bar.
struct SurfaceDesc {
  RECT rect{};
  DWORD style = 0, exStyle = 0;
  UINT classStyle = 0;
  HWND owner = nullptr;
  bool inTaskbar = false;
};

// One picture of a window icon: straight (not premultiplied) 0xAARRGGBB, top-down.
struct IconPicture {
  int width = 0, height = 0;
  std::vector<uint32_t> argb;
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual const char* Name() const = 0;

  // Native surfaces of top-level windows (screen coordinates).
  virtual void CreateSurface(HWND h, const RECT& rect, DWORD style, DWORD exStyle) = 0;
  virtual void DestroySurface(HWND h) = 0;
  virtual void MoveSurface(HWND h, const RECT& rect) = 0;
  // Whether the surface is on screen (the layer has already applied the layered-window rules).
  virtual void ShowSurface(HWND h, bool shown) = 0;
  // The stacking of every top-level surface, topmost first.
  virtual void RestackSurfaces(const std::vector<HWND>& topFirst) = 0;
  // The back buffer (B,G,R,A, top-down, width*height) changed inside `dirty` (window coordinates).
  virtual void Present(HWND h, const uint32_t* pixels, int width, int height,
                       const std::vector<RECT>& dirty) = 0;
  // The surface's shape in window coordinates; nullptr removes it.
  virtual void SetShape(HWND h, const std::vector<RECT>* rects) = 0;
  // Constant opacity of a layered surface (255 when not layered).
  virtual void SetAlpha(HWND h, BYTE alpha) = 0;
  // Per-pixel content of a layered surface: premultiplied B,G,R,A, the surface's size.
  virtual void UpdateLayered(HWND h, const uint32_t* pixels, int width, int height, BYTE alpha) = 0;
  // Whether translucent windows can be shown (X11: a compositing manager runs).
  virtual bool LayeredAvailable() = 0;

  virtual void SetCursor(HCURSOR cursor) = 0;
  virtual void GrabPointer(HWND h) = 0;  // nullptr releases
  virtual POINT CursorPos() = 0;
  virtual void SetCursorPos(POINT p) = 0;
  virtual std::vector<MonitorDesc> Monitors() = 0;
  virtual void Beep(UINT type) = 0;

  // Delivers the events waiting now to the sink, without waiting.
  virtual void PumpEvents() {}
  // Clipboard text (UTF-8).
  virtual void SetClipboardText(const std::string& text) = 0;
  virtual std::string ClipboardText() = 0;

  // ---- events -----------------------------------------------------------------------------
  virtual void SetEventSink(EventSink* sink) { (void)sink; }
  // Delivers the events waiting now to the sink, waiting up to timeoutMs (< 0: without limit)
  // for the first; answers false when the time ran out with nothing delivered and no Wake().
  virtual bool WaitEvents(int timeoutMs) { (void)timeoutMs; PumpEvents(); return false; }
  // Ends a WaitEvents of another thread at once (any thread may call).
  virtual void Wake() {}

  // ---- top-level surfaces -----------------------------------------------------------------
  virtual void CreateSurfaceEx(HWND h, const SurfaceDesc& d) { CreateSurface(h, d.rect, d.style, d.exStyle); }
  virtual void SetTitle(HWND h, const std::string& utf8) { (void)h; (void)utf8; }
  virtual void SetOwner(HWND h, HWND owner) { (void)h; (void)owner; }
  virtual void SetIcon(HWND h, const std::vector<IconPicture>& pictures) { (void)h; (void)pictures; }
  // Smallest and largest window sizes (0 for no limit).
  virtual void SetSizeHints(HWND h, SIZE minSize, SIZE maxSize) { (void)h; (void)minSize; (void)maxSize; }
  // The styles changed; a surface that became layered is made anew with an alpha channel.
  virtual void SetStyle(HWND h, DWORD style, DWORD exStyle) { (void)h; (void)style; (void)exStyle; }
  // Gives the surface the keyboard focus (the window manager's way when one runs).
  virtual void Activate(HWND h) { (void)h; }
  virtual void Minimize(HWND h) { (void)h; }
  // Pixels of this colour are not shown (a layered window's colour key); enabled false removes it.
  virtual void SetColorKey(HWND h, bool enabled, COLORREF key) { (void)h; (void)enabled; (void)key; }
  // Memory for a back buffer of this size that Present then shows without a copy; nullptr
  // when the backend has none (the layer keeps its own). Valid until the next call for h or
  // DestroySurface.
  virtual uint32_t* BackBufferMemory(HWND h, int width, int height) { (void)h; (void)width; (void)height; return nullptr; }
  // Whether a window manager runs (else the layer gives the focus itself).
  virtual bool HasWindowManager() { return false; }

  // ---- native child surfaces (a real subwindow that other libraries draw into) --------------
  // rect: in the top-level's window coordinates. Answers the native id (an X window), 0 if none.
  virtual uintptr_t CreateChildSurface(HWND child, HWND top, const RECT& rect) { (void)child; (void)top; (void)rect; return 0; }
  virtual void PlaceChildSurface(HWND child, const RECT& rect, bool shown) { (void)child; (void)rect; (void)shown; }
  virtual void DestroyChildSurface(HWND child) { (void)child; }
};

// The backend in use; the headless one until another is installed.
Backend& Current();
// Installs a backend (the caller keeps it alive); nullptr puts the headless one back.
void Install(Backend* b);

}  // namespace win::backend
