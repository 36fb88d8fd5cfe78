#pragma once
// Internal state of the window layer: window objects, window classes and the per-thread message
// queue. Only platform/window/ and platform/backend/ include this header.
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/WinUser.h"
#include "platform/gdi/Region.h"

namespace win::backend {
class Backend;
}

namespace win::detail {

// The one area type of the window core: update, visible, dirty and window regions.
using gdi::Region;

struct ThreadQueue;

// A top-level's back buffer: memory of its own, or memory the backend provides (shared with
// the display server, so presenting copies nothing).
class BackBuffer {
 public:
  uint32_t* data() { return ext_ ? ext_ : own_.data(); }
  const uint32_t* data() const { return ext_ ? ext_ : own_.data(); }
  bool empty() const { return size_ == 0; }
  size_t size() const { return size_; }
  uint32_t& operator[](size_t i) { return data()[i]; }
  const uint32_t& operator[](size_t i) const { return data()[i]; }
  bool external() const { return ext_ != nullptr; }
  void clear() {
    own_.clear();
    ext_ = nullptr;
    size_ = 0;
  }
  void UseOwn(size_t n) {
    own_.assign(n, 0);
    ext_ = nullptr;
    size_ = n;
  }
  // Copies memory the backend provided into memory of its own (before the backend frees it).
  void Detach() {
    if (!ext_) return;
    own_.assign(ext_, ext_ + size_);
    ext_ = nullptr;
  }
  void UseExternal(uint32_t* mem, size_t n) {
    own_.clear();
    own_.shrink_to_fit();
    ext_ = mem;
    size_ = n;
  }

 private:
  std::vector<uint32_t> own_;
  uint32_t* ext_ = nullptr;
  size_t size_ = 0;
};

struct WndClass {
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int cbClsExtra = 0, cbWndExtra = 0;
  HINSTANCE inst = nullptr;
  HICON icon = nullptr, iconSm = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  ATOM atom = 0;
  int windows = 0;  // live windows of this class; a class in use cannot be unregistered
};

struct ScrollData {
  int nMin = 0, nMax = 100;
  UINT nPage = 0;
  int nPos = 0, nTrackPos = 0;
  bool shown = false;
};

struct Wnd {
  HWND handle = nullptr;
  std::shared_ptr<WndClass> cls;
  WNDPROC proc = nullptr;
  DWORD style = 0, exStyle = 0;
  RECT rect{};    // window rect: in the parent's client coordinates, or in screen coordinates
  RECT client{};  // client rect relative to the window rect's top-left
  Wnd* parent = nullptr;  // nullptr: a top-level window
  Wnd* owner = nullptr;
  std::vector<Wnd*> children;  // z-order, topmost first
  std::string text;
  std::map<std::string, HANDLE> props;
  LONG_PTR userData = 0, id = 0;
  HINSTANCE inst = nullptr;
  std::vector<BYTE> extra;  // cbWndExtra bytes
  std::shared_ptr<ThreadQueue> queue;
  DWORD threadId = 0;

  // life cycle
  int inUse = 0;  // calls into the window's procedure and guards on the stack
  bool destroying = false, destroyed = false;

  // painting
  Region update;  // client coordinates
  bool eraseNeeded = false, ncPaintNeeded = false, internalPaint = false;
  bool hasRegion = false;
  Region region;  // window coordinates
  HRGN regionHandle = nullptr;

  // top-level back buffer (B,G,R,A pixels, top-down, the window rect's size)
  BackBuffer pixels;
  int bufW = 0, bufH = 0;
  Region dirty;  // window coordinates, not yet presented

  // layered windows
  bool layeredHasContent = false;
  BYTE layeredAlpha = 255;
  DWORD layeredFlags = 0;
  COLORREF layeredKey = 0;
  bool layeredPerPixel = false;

  RECT restoreRect{};  // the rect before a minimize or maximize
  ScrollData scroll[2];
};

// A posted, sent or input message waiting in a queue.
struct SentItem {
  HWND hwnd = nullptr;
  UINT msg = 0;
  WPARAM w = 0;
  LPARAM l = 0;
  LRESULT result = 0;
  bool done = false;
  std::exception_ptr error;
  std::shared_ptr<ThreadQueue> sender;
};

struct InputEvent {
  // Surface: a change the backend reports about a surface (surfaceEvent, a backend::Event kind).
  enum Kind { PointerMove, ButtonDown, ButtonUp, Wheel, KeyDown, KeyUp, Char, Surface } kind = PointerMove;
  int button = 0;  // 0 left, 1 right, 2 middle
  POINT pt{};
  int vk = 0;
  int wheelDelta = 0;
  uint32_t ch = 0;
  DWORD time = 0;
  // Keys from a backend that decodes text: what the key typed (else a US key map is used).
  std::u32string text;
  bool textGiven = false;
  HWND hwnd = nullptr;  // the surface the event came through
  int surfaceEvent = 0;
  RECT rect{};
};

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT elapse = 0;
  TIMERPROC fn = nullptr;
  uint64_t due = 0;
  uint64_t seq = 0;
};

struct ThreadQueue {
  std::mutex m;
  std::condition_variable cv;
  std::deque<MSG> posted;
  std::deque<SentItem*> sent;
  std::deque<InputEvent> input;
  bool quit = false;
  int quitCode = 0;
  bool woken = false;
  bool dead = false;  // the thread has ended: sends and posts fail at once
  DWORD threadId = 0;

  // Owned by the queue's thread only (no lock):
  std::vector<HWND> topLevels;  // this thread's top-level windows, destroyed when it ends
  std::vector<Timer> timers;
  uint64_t timerSeq = 0;
  UINT_PTR nextTimerId = 0x7FFF;
  HWND active = nullptr, focus = nullptr, capture = nullptr;
  BYTE keyState[256]{};  // bit 0x80 down, bit 0x01 toggled
  MSG lastMsg{};
  int sendDepth = 0;       // nesting of messages sent to this thread's windows from another thread
  int dispatchDepth = 0;   // nesting of DispatchMessage/SendMessage into procedures
  std::vector<HWND> destroyLater;
  std::vector<std::function<void()>> runLater;
  bool altTapArmed = false;
  // double clicks
  HWND lastClickWnd = nullptr;
  int lastClickButton = -1;
  LRESULT lastClickHit = 0;
  DWORD lastClickTime = 0;
  POINT lastClickPt{};
  bool lastClickWasDouble = false;
  // the text of the last key-down handed out, for TranslateMessage
  std::u32string keyText;
  bool keyTextGiven = false;
  DWORD keyTextTime = 0;
  int keyTextVk = 0;
  // mouse tracking
  HWND trackWnd = nullptr;
  DWORD trackFlags = 0;
  // TME_HOVER: WM_MOUSEHOVER is due at hoverDue unless the pointer leaves the hover rectangle
  // around hoverPt (screen coordinates), which starts the time again.
  DWORD hoverTime = 0;
  uint64_t hoverDue = 0;
  POINT hoverPt{};
};

// ---- registry (WindowTree.cpp) ----------------------------------------------------------------
std::mutex& TableMutex();
Wnd* Find(HWND h);  // nullptr for an unknown or fully destroyed handle (any thread may call)
std::shared_ptr<ThreadQueue> QueueOf(HWND h, DWORD* threadId = nullptr);  // any thread
std::vector<Wnd*>& TopLevels();  // z-order, topmost first

// Holds a window object alive while a call into its procedure may destroy it.
void AddRef(Wnd* w);
void Release(Wnd* w);
struct WndRef {
  explicit WndRef(Wnd* w) : w(w) { if (w) AddRef(w); }
  ~WndRef() { if (w) Release(w); }
  WndRef(const WndRef&) = delete;
  WndRef& operator=(const WndRef&) = delete;
  bool alive() const { return w && !w->destroyed; }
  Wnd* w;
};

// Calls the window's current procedure (what the message spy sees).
LRESULT CallProc(Wnd* w, UINT msg, WPARAM wp, LPARAM lp);
// Sends on the current thread (no queue); 0 when the window is gone.
LRESULT Send(Wnd* w, UINT msg, WPARAM wp, LPARAM lp);

// ---- geometry (WindowPos.cpp; VisibleRegion in Paint.cpp) ---------------------------------------
POINT WindowOrigin(const Wnd* w);  // the window rect's top-left, in screen coordinates
POINT ClientOrigin(const Wnd* w);  // the client area's top-left, in screen coordinates
RECT ScreenRect(const Wnd* w);
Wnd* TopLevelOf(Wnd* w);
bool IsVisibleChain(const Wnd* w);
bool IsEnabledChain(const Wnd* w);
// The area of the window (window coordinates) that shows on its top-level: clipped by its
// ancestors' client areas, siblings above it, regions, and optionally its own children.
Region VisibleRegion(Wnd* w, bool clientOnly, bool clipChildren);

// ---- queue helpers (MessageQueue.cpp) ----------------------------------------------------------
std::shared_ptr<ThreadQueue> CurrentQueue();  // created on first use
DWORD CurrentThreadId();
void WakeQueue(ThreadQueue& q);
bool ServeSent(ThreadQueue& q);
void RunDestroyLater(ThreadQueue& q);
void KillTimersOf(ThreadQueue& q, HWND h);
uint64_t NowMs();

bool ServeWaiting(ThreadQueue& q);
bool ServeAndWait(ThreadQueue& q, uint32_t timeoutMs);
void WaitForWork(ThreadQueue& q);
void EnsureQueueGuard();
bool Retrieve(MSG* out, HWND filter, UINT lo, UINT hi, bool remove, bool wait);

// ---- the tree and its z-order (WindowTree.cpp) --------------------------------------------------
void Unlink(Wnd* w);
// Inserts w into its sibling list at the place insertAfter names (HWND_TOP, a sibling, ...).
void LinkAt(Wnd* w, HWND insertAfter);
// Tells the backend the top-levels' z-order.
void Restack();

// ---- placement (WindowPos.cpp) ------------------------------------------------------------------
// Flags the layer adds to WM_WINDOWPOSCHANGED: the client area kept its size / its place, so
// DefWindowProc sends no WM_SIZE / WM_MOVE.
constexpr UINT SWP_NOCLIENTSIZE_INTERNAL = 0x0800, SWP_NOCLIENTMOVE_INTERNAL = 0x1000;
void UpdateSurfaceShown(Wnd* w);
void RecalcClient(Wnd* w, WINDOWPOS* pos);
RECT DefaultClientRect(const Wnd* w, const RECT& windowRect);
int FrameWidth(const Wnd* w);  // the default frame's width on each side
void FillMinMax(Wnd* w, MINMAXINFO* mmi);
// Keeps a window's position and size where their sums fit an int and, for a top-level window,
// its size where its surface stays a sensible size (twice the screens, at least 4096): a size
// from bad input must not ask for gigabytes of back buffer.
void ClampGeometry(bool topLevel, int& x, int& y, int& cx, int& cy);
// The deepest visible, enabled window under p among the top-levels below `below` (nullptr: all).
Wnd* WindowAt(POINT p, Wnd* below);
// Copies text into a caller's buffer of `max` bytes without splitting a UTF-8 sequence
// (WindowTree.cpp).
int CopyText(const std::string& text, char* buf, size_t max);

// ---- input (Input.cpp) ------------------------------------------------------------------------
// Turns a raw input event into the window messages it produces, sending the synchronous ones
// (hit test, activation, cursor) and answering the one to return; false when it produced none.
bool TranslateInput(ThreadQueue& q, const InputEvent& ev, MSG* out);
// The WM_MOUSEHOVER (or WM_NCMOUSEHOVER) that is due now, if any; it is made once per
// TrackMouseEvent.
bool TakeDueHover(ThreadQueue& q, uint64_t now, MSG* out);
// When the pending hover falls due (UINT64_MAX: none).
uint64_t HoverDue(const ThreadQueue& q);
void OnWindowDestroyed(ThreadQueue& q, Wnd* w);
void ActivateTopLevel(Wnd* top, WORD how);
LRESULT DefaultHitTest(Wnd* w, POINT screen);
HCURSOR StandardCursor(uintptr_t id);

// ---- painting (Paint.cpp) ---------------------------------------------------------------------
void InvalidateWindow(Wnd* w, const Region& clientArea, bool erase, bool children, bool frame);
void InvalidateAll(Wnd* w, bool erase);
// The area a hidden or moved child leaves behind in its parent.
void ExposeInParent(Wnd* w, const RECT& oldRectInParent);
bool FindPaintWindow(ThreadQueue& q, HWND filter, HWND* out);
// force: take new memory even at the same size (the backend's surface was made anew).
void ResizeBackBuffer(Wnd* top, bool force = false);
void PresentAll();
void ForgetPaintState(Wnd* w);
BOOL FillBackground(HDC dc, const RECT* r, HBRUSH brush);
void UpdateAsyncKey(int vk, bool down);

// ---- move and size loop (DefWindowProc.cpp) ---------------------------------------------------
void RunSizeMoveLoop(Wnd* w, WPARAM sysCommand, POINT startScreen);

// ---- screen (Screen.cpp) ----------------------------------------------------------------------
RECT PrimaryWorkArea();

// ---- the backend's side (Surfaces.cpp) ------------------------------------------------------
void NoteMainQueue(const std::shared_ptr<ThreadQueue>& q);
// Makes the layer the receiver of the backend's events.
void AttachBackend(backend::Backend& b);
// Whether the queue's thread waits for work in the backend (the main thread, with a real display).
bool WaitsOnBackend(const ThreadQueue& q);
void WakeBackendFor(const ThreadQueue& q);
void WaitOnBackend(int timeoutMs);
void CreateNativeSurface(Wnd* w);
void DestroyNativeSurface(Wnd* w);
void SurfaceTitleChanged(Wnd* w);
void SurfaceStyleChanged(Wnd* w);
void SurfaceShowing(Wnd* w);
void SurfaceShown(Wnd* w);
void SurfaceActivated(Wnd* top);
void SurfaceColorKey(Wnd* w);
void HandleSurfaceEvent(ThreadQueue& q, const InputEvent& ev);
void PlaceNativeChildren();

// ---- spy and hooks ----------------------------------------------------------------------------
using SpyHook = void (*)(HWND, UINT, WPARAM, LPARAM);
extern SpyHook g_spy;

}  // namespace win::detail
