#pragma once
// The backend interface: what the window layer needs of a display. One native surface per
// top-level window; the layer owns the window tree, the back buffers, hit testing and the
// messages, and only tells the backend what to show. The headless backend is the default.
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

  // Reads native events into the queue of the user-interface thread without waiting.
  virtual void PumpEvents() {}
  // Clipboard text (UTF-8).
  virtual void SetClipboardText(const std::string& text) = 0;
  virtual std::string ClipboardText() = 0;
};

// The backend in use; the headless one until another is installed.
Backend& Current();
// Installs a backend (the caller keeps it alive); nullptr puts the headless one back.
void Install(Backend* b);

}  // namespace win::backend
