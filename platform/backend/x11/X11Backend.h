#pragma once
// Internal to the X11 backend: the connection, its surfaces and the event decoding.
// The layer's headers come first: the X headers define macros (Expose, FocusIn, ...) that
// would clash with names there.
#include "platform/backend/Backend.h"
#include "platform/shell/Services.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace win::x11 {

// One native top-level surface.
struct Surface {
  HWND hwnd = nullptr;
  Window win = 0;
  Visual* visual = nullptr;
  int depth = 24;
  Colormap colormap = 0;  // own colormap of an ARGB surface
  bool argb = false;
  bool popup = false;  // override-redirect: never managed, never focused
  bool mapped = false;
  bool wantShown = false;
  bool iconic = false;  // iconified: the window manager unmapped it
  RECT rect{};  // screen coordinates, as the layer placed it
  DWORD style = 0, exStyle = 0;
  UINT classStyle = 0;
  HWND owner = nullptr;
  bool inTaskbar = false;
  std::string title;
  XIC xic = nullptr;
  // The image presented from: shared memory or plain memory, the window's size.
  XImage* image = nullptr;
  XShmSegmentInfo shm{};
  bool shmAttached = false;
  int imgW = 0, imgH = 0;
  GC gc = nullptr;
  bool hasShape = false;
  std::vector<RECT> shape;
  bool colorKey = false;
  COLORREF key = 0;
  BYTE alpha = 255;
  std::vector<unsigned long> icon;  // _NET_WM_ICON data
  SIZE minSize{}, maxSize{};
};

struct ChildSurface {
  Window win = 0;
  HWND top = nullptr;
};

class X11Backend;

// The tray icons over XEmbed: one small window per icon, docked into the tray manager (the owner
// of _NET_SYSTEM_TRAY_S<screen>). Its events come through the backend's own event loop.
class Tray final : public shell::TrayHost {
 public:
  explicit Tray(X11Backend& b);
  ~Tray() override;
  bool NotifyIcon(DWORD message, const NOTIFYICONDATA& data) override;
  // Under the backend's lock: true when the event was the tray's (an icon window's, or a new
  // tray manager announcing itself).
  bool HandleEvent(XEvent& ev);
  // Posts the callback messages decoded so far; called without the backend's lock.
  void PostPending();

 private:
  struct Icon {
    HWND hwnd = nullptr;
    UINT id = 0;
    UINT callback = 0;  // 0: no callback messages
    HICON icon = nullptr;  // our own copy
    std::string tip, info, infoTitle;
    DWORD infoFlags = 0;
    Window win = 0;
    unsigned long since = 0;  // the request serial from which on its manager was looked up
    Visual* visual = nullptr;
    int depth = 24;
    Colormap colormap = 0;
    bool argb = false;
    int w = 0, h = 0;
    Time lastDown[2] = {0, 0};  // left and right, for double clicks
  };
  struct Post {
    HWND hwnd;
    UINT msg;
    WPARAM w;
    LPARAM l;
  };
  using Key = std::pair<HWND, UINT>;
  // A hint window of the host's own: the tip while the pointer is on an icon, the balloon until
  // it is clicked, emptied or its icon goes.
  struct Hint {
    Window win = 0;
    Key owner{};
    int w = 0, h = 0;
    std::vector<uint32_t> px;  // 0x00RRGGBB, top row first
  };
  void ShowHint(Hint& hint, const Icon& icon, const std::string& title, const std::string& text);
  void HideHint(Hint& hint);
  void DrawHint(const Hint& hint);
  Window Owner();
  bool Dock(Icon& icon, Window owner, unsigned long since);
  void DropWindow(Icon& icon);
  void Draw(Icon& icon);
  void Callback(const Icon& icon, UINT mouseMsg);

  X11Backend& b_;
  Display* dpy_;
  Atom selection_ = 0;
  std::map<Key, Icon> icons_;
  std::map<Window, Key> byWindow_;
  std::vector<Post> posts_;
  bool announce_ = false;  // a new tray manager: "TaskbarCreated" goes out with the posts
  Hint tip_, balloon_;
};

class X11Backend final : public backend::Backend {
 public:
  X11Backend(Display* dpy, bool useShm);
  ~X11Backend() override;

  const char* Name() const override { return "x11"; }
  void CreateSurface(HWND h, const RECT& rect, DWORD style, DWORD exStyle) override;
  void CreateSurfaceEx(HWND h, const backend::SurfaceDesc& d) override;
  void DestroySurface(HWND h) override;
  void MoveSurface(HWND h, const RECT& rect) override;
  void ShowSurface(HWND h, bool shown) override;
  void RestackSurfaces(const std::vector<HWND>& topFirst) override;
  void Present(HWND h, const uint32_t* pixels, int width, int height, const std::vector<RECT>& dirty) override;
  void SetShape(HWND h, const std::vector<RECT>* rects) override;
  void SetAlpha(HWND h, BYTE alpha) override;
  void UpdateLayered(HWND h, const uint32_t* pixels, int width, int height, BYTE alpha) override;
  bool LayeredAvailable() override;
  void SetCursor(HCURSOR cursor) override;
  void GrabPointer(HWND h) override;
  POINT CursorPos() override;
  void SetCursorPos(POINT p) override;
  std::vector<backend::MonitorDesc> Monitors() override;
  void Beep(UINT type) override;
  void PumpEvents() override;
  void SetClipboardText(const std::string& text) override;
  std::string ClipboardText() override;

  void SetEventSink(backend::EventSink* sink) override { sink_ = sink; }
  bool WaitEvents(int timeoutMs) override;
  void Wake() override;
  void SetTitle(HWND h, const std::string& utf8) override;
  void SetOwner(HWND h, HWND owner) override;
  void SetIcon(HWND h, const std::vector<backend::IconPicture>& pictures) override;
  void SetSizeHints(HWND h, SIZE minSize, SIZE maxSize) override;
  void SetStyle(HWND h, DWORD style, DWORD exStyle) override;
  void Activate(HWND h) override;
  void Minimize(HWND h) override;
  void SetColorKey(HWND h, bool enabled, COLORREF key) override;
  uint32_t* BackBufferMemory(HWND h, int width, int height) override;
  bool HasWindowManager() override;
  uintptr_t CreateChildSurface(HWND child, HWND top, const RECT& rect) override;
  void PlaceChildSurface(HWND child, const RECT& rect, bool shown) override;
  void DestroyChildSurface(HWND child) override;

  // ---- used by the test helpers of X11.h ---------------------------------------------------
  Display* dpy() const { return dpy_; }
  std::recursive_mutex& lock() { return mutex_; }
  Surface* Find(HWND h);
  HWND HwndOf(Window w);
  bool shmUsable() const { return shmOk_; }
  Atom atom(const char* name);
  unsigned KeycodeOfVk(int vk);
  Window clipboardWindow() const { return helper_; }
  Window root() const { return root_; }
  int screen() const { return screen_; }

 private:
  friend struct EventDecoder;
  // Surfaces
  void MakeWindow(Surface& s);
  void EnsureWindow(Surface& s);
  void ApplyIcon(Surface& s);
  void ApplySizeHints(Surface& s);
  void DropWindow(Surface& s);
  void ApplyProperties(Surface& s);
  void ApplyShape(Surface& s);
  void ApplyOpacity(Surface& s);
  void ApplyTitle(Surface& s);
  void ApplyOwner(Surface& s);
  void EnsureImage(Surface& s, int w, int h);
  void FreeImage(Surface& s);
  void PutRect(Surface& s, int x, int y, int w, int h);
  void ApplyColorKeyShape(Surface& s, const uint32_t* pixels, int w, int h);
  // Events
  void HandleEvent(XEvent& ev);
  void HandleKey(XKeyEvent& ev, Surface* s);
  void HandleSelectionRequest(XSelectionRequestEvent& ev);
  void Deliver(const backend::Event& e);
  void DrainWake();
  bool DrainX();  // reads every event queued now; true when any was handled
  void ReadMonitors();

  Display* dpy_ = nullptr;
  int screen_ = 0;
  Window root_ = 0;
  Visual* visual24_ = nullptr;
  int depth24_ = 24;
  Visual* visual32_ = nullptr;
  bool useShm_ = true;
  bool shmOk_ = false;
  int shmEvent_ = 0;
  bool shapeOk_ = false;
  bool randrOk_ = false;
  int randrEvent_ = 0;
  int wakeFd_ = -1;
  XIM xim_ = nullptr;
  Window helper_ = 0;  // an unmapped window owning the clipboard and receiving its answers
  backend::EventSink* sink_ = nullptr;
  std::recursive_mutex mutex_;
  std::map<HWND, Surface> surfaces_;
  std::map<Window, HWND> byWindow_;
  std::map<HWND, ChildSurface> children_;
  std::map<std::string, Atom> atoms_;
  std::map<uintptr_t, Cursor> cursors_;
  HCURSOR cursor_ = nullptr;
  HWND grab_ = nullptr;
  std::string clipboardText_;
  bool ownsClipboard_ = false;
  std::vector<backend::MonitorDesc> monitors_;
  bool monitorsRead_ = false;
  int wmState_ = -1;  // whether a window manager runs: -1 not known yet
  Time lastTime_ = CurrentTime;
  std::vector<backend::Event> pending_;  // decoded but not yet delivered (no sink, or nested)
  std::unique_ptr<Tray> tray_;
};

}  // namespace win::x11
