// Window classes, the window tree, geometry, window longs, properties and text.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <unordered_map>

#include "base/MainThread.h"
#include "platform/backend/Backend.h"
#include "platform/window/WindowImpl.h"

namespace win {
namespace detail {

namespace {
std::unordered_map<HWND, Wnd*>& Table() {
  static auto* t = new std::unordered_map<HWND, Wnd*>;
  return *t;
}
std::map<std::string, std::shared_ptr<WndClass>>& Classes() {
  static auto* c = new std::map<std::string, std::shared_ptr<WndClass>>;
  return *c;
}
std::mutex& ClassMutex() {
  static std::mutex m;
  return m;
}
// Handle values are never reused, so a stale handle never reaches a newer window.
std::atomic<uintptr_t> g_nextHandle{0x10000};
ATOM g_nextAtom = 0xC000;

}  // namespace

SpyHook g_spy = nullptr;

std::mutex& TableMutex() {
  static std::mutex m;
  return m;
}

Wnd* Find(HWND h) {
  if (!h) return nullptr;
  std::lock_guard<std::mutex> lock(TableMutex());
  auto it = Table().find(h);
  return it == Table().end() ? nullptr : it->second;
}

std::shared_ptr<ThreadQueue> QueueOf(HWND h, DWORD* threadId) {
  std::lock_guard<std::mutex> lock(TableMutex());
  auto it = Table().find(h);
  if (it == Table().end() || it->second->destroyed) return nullptr;
  if (threadId) *threadId = it->second->threadId;
  return it->second->queue;
}

std::vector<Wnd*>& TopLevels() {
  static auto* v = new std::vector<Wnd*>;
  return *v;
}

void AddRef(Wnd* w) { ++w->inUse; }

void Release(Wnd* w) {
  if (--w->inUse == 0 && w->destroyed) delete w;
}

LRESULT CallProc(Wnd* w, UINT msg, WPARAM wp, LPARAM lp) {
  if (!w || w->destroyed || !w->proc) return 0;
  WndRef ref(w);
  if (g_spy) g_spy(w->handle, msg, wp, lp);
  auto q = w->queue;
  ++q->dispatchDepth;
  LRESULT r;
  try {
    r = w->proc(w->handle, msg, wp, lp);
  } catch (...) {
    --q->dispatchDepth;
    throw;
  }
  --q->dispatchDepth;
  return r;
}

LRESULT Send(Wnd* w, UINT msg, WPARAM wp, LPARAM lp) { return CallProc(w, msg, wp, lp); }

// ---- geometry ---------------------------------------------------------------------------------

POINT WindowOrigin(const Wnd* w) {
  if (!w->parent) return POINT{w->rect.left, w->rect.top};
  POINT p = ClientOrigin(w->parent);
  return POINT{p.x + w->rect.left, p.y + w->rect.top};
}

POINT ClientOrigin(const Wnd* w) {
  POINT p = WindowOrigin(w);
  return POINT{p.x + w->client.left, p.y + w->client.top};
}

RECT ScreenRect(const Wnd* w) {
  POINT p = WindowOrigin(w);
  return RECT{p.x, p.y, p.x + (w->rect.right - w->rect.left), p.y + (w->rect.bottom - w->rect.top)};
}

Wnd* TopLevelOf(Wnd* w) {
  while (w && w->parent) w = w->parent;
  return w;
}

bool IsVisibleChain(const Wnd* w) {
  for (; w; w = w->parent)
    if (!(w->style & WS_VISIBLE)) return false;
  return true;
}

bool IsEnabledChain(const Wnd* w) {
  for (; w; w = w->parent)
    if (w->style & WS_DISABLED) return false;
  return true;
}

RectList VisibleRegion(Wnd* w, bool clientOnly, bool clipChildren) {
  RectList out;
  if (!IsVisibleChain(w)) return out;
  int ww = w->rect.right - w->rect.left, wh = w->rect.bottom - w->rect.top;
  out.Add(clientOnly ? w->client : RECT{0, 0, ww, wh});
  if (w->hasRegion) out.Intersect(w->region);
  if (clipChildren) {
    for (Wnd* c : w->children) {
      if (!(c->style & WS_VISIBLE)) continue;
      RECT r = c->rect;
      OffsetRect(&r, w->client.left, w->client.top);
      if (c->hasRegion) {
        RectList cr = c->region;
        cr.Offset(r.left, r.top);
        out.Subtract(cr);
      } else {
        out.Subtract(r);
      }
    }
  }
  // Walk up: clip by each ancestor's client area and by the siblings above each level.
  int dx = 0, dy = 0;  // offset from w's window coordinates to the current level's parent client
  for (Wnd* cur = w; cur->parent; cur = cur->parent) {
    Wnd* p = cur->parent;
    dx += cur->rect.left;
    dy += cur->rect.top;
    for (Wnd* sib : p->children) {
      if (sib == cur) break;
      if (!(sib->style & WS_VISIBLE)) continue;
      RECT r = sib->rect;
      OffsetRect(&r, -dx, -dy);
      if (sib->hasRegion) {
        RectList sr = sib->region;
        sr.Offset(r.left, r.top);
        out.Subtract(sr);
      } else {
        out.Subtract(r);
      }
    }
    RECT pc{0, 0, p->client.right - p->client.left, p->client.bottom - p->client.top};
    OffsetRect(&pc, -dx, -dy);
    out.Intersect(pc);
    dx += p->client.left;
    dy += p->client.top;
    if (p->hasRegion) {
      RectList pr = p->region;
      pr.Offset(-dx, -dy);
      out.Intersect(pr);
    }
  }
  return out;
}

namespace {

void Unlink(Wnd* w) {
  auto& list = w->parent ? w->parent->children : TopLevels();
  list.erase(std::remove(list.begin(), list.end(), w), list.end());
}

bool IsTopmost(const Wnd* w) { return !w->parent && (w->exStyle & WS_EX_TOPMOST); }

// Inserts w into its sibling list at the place insertAfter names.
void LinkAt(Wnd* w, HWND insertAfter) {
  auto& list = w->parent ? w->parent->children : TopLevels();
  list.erase(std::remove(list.begin(), list.end(), w), list.end());
  size_t firstPlain = 0;  // top-level lists keep topmost windows first
  if (!w->parent)
    while (firstPlain < list.size() && IsTopmost(list[firstPlain])) ++firstPlain;
  size_t pos;
  if (insertAfter == HWND_BOTTOM) {
    pos = IsTopmost(w) ? firstPlain : list.size();
  } else if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
    pos = IsTopmost(w) ? 0 : firstPlain;
  } else {
    auto it = std::find_if(list.begin(), list.end(), [&](Wnd* s) { return s->handle == insertAfter; });
    pos = it == list.end() ? (IsTopmost(w) ? 0 : firstPlain) : size_t(it - list.begin()) + 1;
    if (!w->parent) pos = IsTopmost(w) ? std::min(pos, firstPlain) : std::max(pos, firstPlain);
  }
  list.insert(list.begin() + pos, w);
}

void Restack() {
  std::vector<HWND> order;
  for (Wnd* w : TopLevels()) order.push_back(w->handle);
  backend::Current().RestackSurfaces(order);
}

// Whether a top-level shows on the backend, applying the layered-window rules.
bool Displayed(const Wnd* w) {
  if (!(w->style & WS_VISIBLE)) return false;
  if (!(w->exStyle & WS_EX_LAYERED)) return true;
  if (!w->layeredHasContent) return false;
  if (backend::Current().LayeredAvailable()) return true;
  // Without translucency: constant alpha shows opaque above 0; per-pixel content is not shown.
  return !w->layeredPerPixel && w->layeredAlpha > 0;
}

}  // namespace

void UpdateSurfaceShown(Wnd* w) {
  if (w->parent) return;
  backend::Current().ShowSurface(w->handle, Displayed(w));
}

// Default non-client frame of a window without its own WM_NCCALCSIZE answer.
RECT DefaultClientRect(const Wnd* w, const RECT& wr) {
  RECT c = wr;
  int b = 0;
  if (w->style & WS_THICKFRAME) b = GetSystemMetrics(SM_CXFRAME);
  else if ((w->style & WS_DLGFRAME) || (w->exStyle & WS_EX_DLGMODALFRAME)) b = GetSystemMetrics(SM_CXDLGFRAME);
  else if (w->style & WS_BORDER) b = GetSystemMetrics(SM_CXBORDER);
  if (w->exStyle & WS_EX_CLIENTEDGE) b += GetSystemMetrics(SM_CXEDGE);
  InflateRect(&c, -b, -b);
  if ((w->style & WS_CAPTION) == WS_CAPTION)
    c.top += (w->exStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
  if ((w->style & WS_VSCROLL) && w->scroll[SB_VERT].shown) c.right -= GetSystemMetrics(SM_CXVSCROLL);
  if ((w->style & WS_HSCROLL) && w->scroll[SB_HORZ].shown) c.bottom -= GetSystemMetrics(SM_CYHSCROLL);
  if (c.right < c.left) c.right = c.left;
  if (c.bottom < c.top) c.bottom = c.top;
  return c;
}

// Asks the window for its client rect (WM_NCCALCSIZE) and stores it.
void RecalcClient(Wnd* w, WINDOWPOS* pos) {
  RECT wr = w->rect;  // in parent coordinates, as the message documents
  RECT result;
  if (pos) {
    NCCALCSIZE_PARAMS p;
    p.rgrc[0] = wr;
    p.rgrc[1] = wr;
    p.rgrc[2] = RECT{wr.left + w->client.left, wr.top + w->client.top, wr.left + w->client.right,
                     wr.top + w->client.bottom};
    p.lppos = pos;
    Send(w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&p));
    result = p.rgrc[0];
  } else {
    result = wr;
    Send(w, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&result));
  }
  if (w->destroyed) return;
  // Keep the client inside the window, whatever the handler answered.
  result.left = std::clamp(result.left, wr.left, wr.right);
  result.right = std::clamp(result.right, result.left, wr.right);
  result.top = std::clamp(result.top, wr.top, wr.bottom);
  result.bottom = std::clamp(result.bottom, result.top, wr.bottom);
  w->client = RECT{result.left - wr.left, result.top - wr.top, result.right - wr.left, result.bottom - wr.top};
}

DWORD CurrentThreadId() { return ::GetCurrentThreadId(); }

std::shared_ptr<ThreadQueue> CurrentQueue() {
  thread_local std::shared_ptr<ThreadQueue> q;
  if (!q) {
    q = std::make_shared<ThreadQueue>();
    q->threadId = CurrentThreadId();
    if (IsMainThread()) {
      // base/'s hand-overs wake the main thread's queue, so a waiting loop serves them at once.
      std::weak_ptr<ThreadQueue> weak = q;
      SetWakeMainThread([weak] {
        if (auto locked = weak.lock()) WakeQueue(*locked);
      });
    }
  }
  return q;
}

void FillMinMax(Wnd* w, MINMAXINFO* mmi) {
  RECT work = PrimaryWorkArea();
  int fx = GetSystemMetrics(SM_CXFRAME);
  mmi->ptMaxSize = POINT{work.right - work.left + 2 * fx, work.bottom - work.top + 2 * fx};
  mmi->ptMaxPosition = POINT{-fx, -fx};
  mmi->ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi->ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
}

void DestroyTree(Wnd* w);

}  // namespace detail

using namespace detail;

// ---- classes ------------------------------------------------------------------------------------

ATOM RegisterClassEx(const WNDCLASSEX* wc) {
  if (!wc || !wc->lpszClassName || !*wc->lpszClassName || !wc->lpfnWndProc) return 0;
  std::lock_guard<std::mutex> lock(ClassMutex());
  auto& classes = Classes();
  if (classes.count(wc->lpszClassName)) return 0;
  auto c = std::make_shared<WndClass>();
  c->name = wc->lpszClassName;
  c->style = wc->style;
  c->proc = wc->lpfnWndProc;
  c->cbClsExtra = std::max(0, wc->cbClsExtra);
  c->cbWndExtra = std::max(0, wc->cbWndExtra);
  c->inst = wc->hInstance;
  c->icon = wc->hIcon;
  c->iconSm = wc->hIconSm;
  c->cursor = wc->hCursor;
  c->background = wc->hbrBackground;
  c->atom = g_nextAtom++;
  classes[c->name] = c;
  return c->atom;
}

ATOM RegisterClass(const WNDCLASS* wc) {
  if (!wc) return 0;
  WNDCLASSEX ex;
  ex.style = wc->style;
  ex.lpfnWndProc = wc->lpfnWndProc;
  ex.cbClsExtra = wc->cbClsExtra;
  ex.cbWndExtra = wc->cbWndExtra;
  ex.hInstance = wc->hInstance;
  ex.hIcon = wc->hIcon;
  ex.hCursor = wc->hCursor;
  ex.hbrBackground = wc->hbrBackground;
  ex.lpszMenuName = wc->lpszMenuName;
  ex.lpszClassName = wc->lpszClassName;
  return RegisterClassEx(&ex);
}

BOOL UnregisterClass(LPCSTR className, HINSTANCE) {
  if (!className) return FALSE;
  std::lock_guard<std::mutex> lock(ClassMutex());
  auto it = Classes().find(className);
  if (it == Classes().end() || it->second->windows > 0) return FALSE;
  Classes().erase(it);
  return TRUE;
}

BOOL GetClassInfo(HINSTANCE, LPCSTR className, WNDCLASS* out) {
  if (!className || !out) return FALSE;
  std::lock_guard<std::mutex> lock(ClassMutex());
  auto it = Classes().find(className);
  if (it == Classes().end()) return FALSE;
  const WndClass& c = *it->second;
  out->style = c.style;
  out->lpfnWndProc = c.proc;
  out->cbClsExtra = c.cbClsExtra;
  out->cbWndExtra = c.cbWndExtra;
  out->hInstance = c.inst;
  out->hIcon = c.icon;
  out->hCursor = c.cursor;
  out->hbrBackground = c.background;
  out->lpszMenuName = nullptr;
  out->lpszClassName = className;
  return TRUE;
}

int GetClassName(HWND h, char* buf, int max) {
  Wnd* w = Find(h);
  if (!w || !buf || max <= 0) return 0;
  size_t n = std::min(w->cls->name.size(), size_t(max - 1));
  std::memcpy(buf, w->cls->name.data(), n);
  buf[n] = 0;
  return int(n);
}

ULONG_PTR GetClassLongPtr(HWND h, int index) {
  Wnd* w = Find(h);
  if (!w) return 0;
  switch (index) {
    case GCL_STYLE: return w->cls->style;
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(w->cls->cursor);
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(w->cls->background);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(w->cls->proc);
  }
  return 0;
}

ULONG_PTR SetClassLongPtr(HWND h, int index, LONG_PTR value) {
  Wnd* w = Find(h);
  if (!w) return 0;
  ULONG_PTR old = GetClassLongPtr(h, index);
  switch (index) {
    case GCL_STYLE: w->cls->style = UINT(value); break;
    case GCLP_HCURSOR: w->cls->cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCLP_HBRBACKGROUND: w->cls->background = reinterpret_cast<HBRUSH>(value); break;
    case GCLP_WNDPROC: w->cls->proc = reinterpret_cast<WNDPROC>(value); break;
    default: return 0;
  }
  return old;
}

DWORD GetClassLong(HWND h, int index) { return DWORD(GetClassLongPtr(h, index)); }
DWORD SetClassLong(HWND h, int index, LONG value) { return DWORD(SetClassLongPtr(h, index, value)); }

// ---- creation and destruction -------------------------------------------------------------------

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parentHandle, HMENU menu, HINSTANCE inst, LPVOID param) {
  if (!className) return nullptr;
  std::shared_ptr<WndClass> cls;
  {
    std::lock_guard<std::mutex> lock(ClassMutex());
    auto it = Classes().find(className);
    if (it == Classes().end()) return nullptr;
    cls = it->second;
  }
  Wnd* parent = nullptr;
  Wnd* owner = nullptr;
  if (parentHandle) {
    Wnd* p = Find(parentHandle);
    if (!p || p->destroying || p->threadId != CurrentThreadId()) return nullptr;
    if (style & WS_CHILD) parent = p;
    else owner = TopLevelOf(p);
  } else if (style & WS_CHILD) {
    return nullptr;  // a child needs a parent
  }
  if (!parent && !(style & WS_POPUP) && (style & WS_CAPTION) == 0) style |= WS_CAPTION;  // overlapped
  if (x == CW_USEDEFAULT) { x = parent ? 0 : 100; y = parent ? 0 : 100; }
  if (width == CW_USEDEFAULT) { width = parent ? 0 : 640; height = parent ? 0 : 480; }
  width = std::max(width, 0);
  height = std::max(height, 0);

  EnsureQueueGuard();
  auto* w = new Wnd;
  w->handle = reinterpret_cast<HWND>(g_nextHandle.fetch_add(4));
  w->cls = cls;
  w->proc = cls->proc;
  w->style = style & ~WS_VISIBLE;
  w->exStyle = exStyle;
  w->parent = parent;
  w->owner = owner;
  w->inst = inst;
  w->id = (style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(menu) : 0;
  w->extra.assign(size_t(cls->cbWndExtra), 0);
  w->queue = CurrentQueue();
  w->threadId = CurrentThreadId();
  w->rect = RECT{x, y, x + width, y + height};
  w->client = RECT{0, 0, width, height};
  {
    std::lock_guard<std::mutex> lock(ClassMutex());
    ++cls->windows;
  }
  {
    std::lock_guard<std::mutex> lock(TableMutex());
    Table()[w->handle] = w;
  }
  // New children go to the bottom (creation order is z-order from the top, as tab order needs);
  // new top-levels go to the top.
  if (parent) parent->children.push_back(w);
  else LinkAt(w, HWND_TOP);
  if (!parent) {
    ResizeBackBuffer(w);
    backend::Current().CreateSurface(w->handle, w->rect, w->style, w->exStyle);
    Restack();
  }

  WndRef ref(w);
  HWND h = w->handle;
  CREATESTRUCT cs;
  cs.lpCreateParams = param;
  cs.hInstance = inst;
  cs.hMenu = menu;
  cs.hwndParent = parentHandle;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = LONG(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;

  if (!parent && ((style & WS_THICKFRAME) || !(style & WS_POPUP))) {
    MINMAXINFO mmi;
    FillMinMax(w, &mmi);
    Send(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    if (!ref.alive()) return nullptr;
    int cw = std::clamp<int>(width, 0, std::max<LONG>(mmi.ptMaxTrackSize.x, 0));
    int ch = std::clamp<int>(height, 0, std::max<LONG>(mmi.ptMaxTrackSize.y, 0));
    w->rect.right = w->rect.left + cw;
    w->rect.bottom = w->rect.top + ch;
  }
  if (!Send(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (ref.alive()) DestroyWindow(h);
    return nullptr;
  }
  if (!ref.alive()) return nullptr;
  RecalcClient(w, nullptr);
  if (!ref.alive()) return nullptr;
  if (Send(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    if (ref.alive()) DestroyWindow(h);
    return nullptr;
  }
  if (!ref.alive()) return nullptr;
  if (parent && !(exStyle & WS_EX_NOPARENTNOTIFY)) {
    Send(parent, WM_PARENTNOTIFY, MAKEWPARAM(WORD(WM_CREATE), WORD(w->id)), reinterpret_cast<LPARAM>(h));
    if (!ref.alive()) return nullptr;
  }
  Send(w, WM_SIZE, SIZE_RESTORED,
       MAKELPARAM(WORD(w->client.right - w->client.left), WORD(w->client.bottom - w->client.top)));
  if (!ref.alive()) return nullptr;
  Send(w, WM_MOVE, 0, MAKELPARAM(WORD(w->rect.left + w->client.left), WORD(w->rect.top + w->client.top)));
  if (!ref.alive()) return nullptr;
  if (style & WS_VISIBLE) ShowWindow(h, SW_SHOW);
  return ref.alive() ? h : nullptr;
}

namespace detail {

void DestroyTree(Wnd* w) {
  WndRef ref(w);
  w->destroying = true;
  Send(w, WM_DESTROY, 0, 0);
  // Children go last-created first.
  std::vector<Wnd*> kids(w->children.rbegin(), w->children.rend());
  for (Wnd* c : kids) {
    if (c->destroying) continue;
    DestroyTree(c);
  }
  Send(w, WM_NCDESTROY, 0, 0);
  OnWindowDestroyed(*w->queue, w);
  KillTimersOf(*w->queue, w->handle);
  ForgetPaintState(w);
  for (Wnd* c : w->children) c->parent = nullptr;  // a child whose destruction was already running
  w->children.clear();
  Unlink(w);
  if (!w->parent) backend::Current().DestroySurface(w->handle);
  {
    std::lock_guard<std::mutex> lock(TableMutex());
    Table().erase(w->handle);
  }
  {
    std::lock_guard<std::mutex> lock(ClassMutex());
    --w->cls->windows;
  }
  if (w->regionHandle) {
    w->regionHandle = nullptr;  // owned by the graphics services; released in Paint.cpp
  }
  w->destroyed = true;
}

}  // namespace detail

BOOL DestroyWindow(HWND h) {
  Wnd* w = Find(h);
  if (!w || w->threadId != CurrentThreadId()) return FALSE;
  if (w->destroying) return TRUE;
  WndRef ref(w);
  // Owned windows go first.
  std::vector<HWND> owned;
  for (Wnd* t : TopLevels())
    if (t->owner == w && !t->destroying) owned.push_back(t->handle);
  for (HWND o : owned) DestroyWindow(o);
  if (!ref.alive() || w->destroying) return TRUE;
  if (w->style & WS_VISIBLE) {
    SetWindowPos(h, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    if (!ref.alive() || w->destroying) return TRUE;
  }
  if (w->parent && !(w->exStyle & WS_EX_NOPARENTNOTIFY)) {
    Send(w->parent, WM_PARENTNOTIFY, MAKEWPARAM(WORD(WM_DESTROY), WORD(w->id)), reinterpret_cast<LPARAM>(h));
    if (!ref.alive() || w->destroying) return TRUE;
  }
  for (Wnd* t : TopLevels())
    if (t->owner == w) t->owner = nullptr;
  DestroyTree(w);
  return TRUE;
}

BOOL IsWindow(HWND h) {
  std::lock_guard<std::mutex> lock(TableMutex());
  auto it = Table().find(h);
  return it != Table().end() && !it->second->destroyed;
}

BOOL IsWindowVisible(HWND h) {
  Wnd* w = Find(h);
  return w && IsVisibleChain(w);
}

BOOL IsWindowEnabled(HWND h) {
  Wnd* w = Find(h);
  return w && !(w->style & WS_DISABLED);
}

BOOL EnableWindow(HWND h, BOOL enable) {
  Wnd* w = Find(h);
  if (!w) return FALSE;
  BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
  if (bool(enable) == !wasDisabled) return wasDisabled;
  WndRef ref(w);
  if (enable) {
    w->style &= ~WS_DISABLED;
  } else {
    w->style |= WS_DISABLED;
    auto& q = *w->queue;
    for (Wnd* f = Find(q.focus); f; f = f->parent)
      if (f == w) { SetFocus(nullptr); break; }
    if (q.capture == h) ReleaseCapture();
  }
  if (ref.alive()) Send(w, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsChild(HWND parent, HWND h) {
  Wnd* w = Find(h);
  for (Wnd* p = w ? w->parent : nullptr; p; p = p->parent)
    if (p->handle == parent) return TRUE;
  return FALSE;
}

BOOL IsIconic(HWND h) {
  Wnd* w = Find(h);
  return w && (w->style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND h) {
  Wnd* w = Find(h);
  return w && (w->style & WS_MAXIMIZE);
}

HWND GetParent(HWND h) {
  Wnd* w = Find(h);
  if (!w) return nullptr;
  if (w->parent) return w->parent->handle;
  return (w->style & WS_POPUP) && w->owner ? w->owner->handle : nullptr;
}

HWND GetAncestor(HWND h, UINT flags) {
  Wnd* w = Find(h);
  if (!w) return nullptr;
  switch (flags) {
    case GA_PARENT: return w->parent ? w->parent->handle : GetDesktopWindow();
    case GA_ROOT: return TopLevelOf(w)->handle;
    case GA_ROOTOWNER: {
      Wnd* t = TopLevelOf(w);
      while (t->owner) t = t->owner;
      return t->handle;
    }
  }
  return nullptr;
}

HWND GetDesktopWindow() {
  // The desktop is not a window object of ours; a fixed, recognisable value stands for it.
  return reinterpret_cast<HWND>(uintptr_t(0x10));
}

HWND SetParent(HWND child, HWND newParent) {
  Wnd* w = Find(child);
  if (!w || w->threadId != CurrentThreadId()) return nullptr;
  Wnd* np = newParent && newParent != GetDesktopWindow() ? Find(newParent) : nullptr;
  if (newParent && newParent != GetDesktopWindow() && !np) return nullptr;
  for (Wnd* p = np; p; p = p->parent)
    if (p == w) return nullptr;  // would make a cycle
  HWND old = w->parent ? w->parent->handle : GetDesktopWindow();
  if (np == w->parent) return old;
  bool wasVisible = IsVisibleChain(w);
  RECT scr = ScreenRect(w);
  if (wasVisible && w->parent) ExposeInParent(w, w->rect);
  Wnd* oldTop = TopLevelOf(w);
  Unlink(w);
  if (!w->parent) backend::Current().DestroySurface(w->handle);
  w->parent = np;
  // Keep the window where it is on screen.
  POINT origin = np ? ClientOrigin(np) : POINT{0, 0};
  w->rect = RECT{scr.left - origin.x, scr.top - origin.y, scr.right - origin.x, scr.bottom - origin.y};
  if (np) {
    np->children.insert(np->children.begin(), w);
    w->pixels.clear();
    w->bufW = w->bufH = 0;
  } else {
    LinkAt(w, HWND_TOP);
    ResizeBackBuffer(w);
    backend::Current().CreateSurface(w->handle, w->rect, w->style, w->exStyle);
    UpdateSurfaceShown(w);
    Restack();
  }
  (void)oldTop;
  if (IsVisibleChain(w)) InvalidateAll(w, true);
  return old;
}

HWND GetWindow(HWND h, UINT cmd) {
  Wnd* w = Find(h);
  if (!w) return nullptr;
  auto& sibs = w->parent ? w->parent->children : TopLevels();
  auto it = std::find(sibs.begin(), sibs.end(), w);
  switch (cmd) {
    case GW_HWNDFIRST: return sibs.empty() ? nullptr : sibs.front()->handle;
    case GW_HWNDLAST: return sibs.empty() ? nullptr : sibs.back()->handle;
    case GW_HWNDNEXT: return (it == sibs.end() || it + 1 == sibs.end()) ? nullptr : (*(it + 1))->handle;
    case GW_HWNDPREV: return (it == sibs.end() || it == sibs.begin()) ? nullptr : (*(it - 1))->handle;
    case GW_OWNER: return w->owner ? w->owner->handle : nullptr;
    case GW_CHILD: return w->children.empty() ? nullptr : w->children.front()->handle;
    case GW_ENABLEDPOPUP:
      for (Wnd* t : TopLevels())
        if (t->owner == w && (t->style & WS_VISIBLE) && !(t->style & WS_DISABLED)) return t->handle;
      return nullptr;
  }
  return nullptr;
}

HWND GetTopWindow(HWND h) {
  if (!h) return TopLevels().empty() ? nullptr : TopLevels().front()->handle;
  return GetWindow(h, GW_CHILD);
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC fn, LPARAM lp) {
  Wnd* w = Find(parent);
  if (!w || !fn) return FALSE;
  // Collect first: the callback may create or destroy windows.
  std::vector<HWND> all;
  std::function<void(Wnd*)> walk = [&](Wnd* p) {
    for (Wnd* c : p->children) {
      all.push_back(c->handle);
      walk(c);
    }
  };
  walk(w);
  for (HWND c : all)
    if (IsWindow(c) && !fn(c, lp)) break;
  return TRUE;
}

BOOL EnumWindows(WNDENUMPROC fn, LPARAM lp) {
  if (!fn) return FALSE;
  std::vector<HWND> all;
  for (Wnd* t : TopLevels()) all.push_back(t->handle);
  for (HWND t : all)
    if (IsWindow(t) && !fn(t, lp)) break;
  return TRUE;
}

HWND FindWindow(LPCSTR className, LPCSTR windowName) {
  for (Wnd* t : TopLevels()) {
    if (t->destroying) continue;
    if (className && t->cls->name != className) continue;
    if (windowName && t->text != windowName) continue;
    return t->handle;
  }
  return nullptr;
}

DWORD GetWindowThreadProcessId(HWND h, DWORD* pid) {
  DWORD tid = 0;
  if (!QueueOf(h, &tid)) return 0;
  if (pid) *pid = 1;
  return tid;
}

// ---- geometry -------------------------------------------------------------------------------

BOOL GetWindowRect(HWND h, RECT* r) {
  Wnd* w = Find(h);
  if (!w || !r) return FALSE;
  *r = ScreenRect(w);
  return TRUE;
}

BOOL GetClientRect(HWND h, RECT* r) {
  Wnd* w = Find(h);
  if (!w || !r) return FALSE;
  *r = RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
  return TRUE;
}

constexpr UINT SWP_NOCLIENTSIZE_INTERNAL = 0x0800, SWP_NOCLIENTMOVE_INTERNAL = 0x1000;

BOOL SetWindowPos(HWND h, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Wnd* w = Find(h);
  if (!w || w->threadId != CurrentThreadId()) return FALSE;
  WndRef ref(w);
  WINDOWPOS pos;
  pos.hwnd = h;
  pos.hwndInsertAfter = insertAfter;
  pos.x = x;
  pos.y = y;
  pos.cx = cx;
  pos.cy = cy;
  pos.flags = flags & ~(SWP_NOCLIENTSIZE_INTERNAL | SWP_NOCLIENTMOVE_INTERNAL);
  if (pos.flags & SWP_NOMOVE) { pos.x = w->rect.left; pos.y = w->rect.top; }
  if (pos.flags & SWP_NOSIZE) { pos.cx = w->rect.right - w->rect.left; pos.cy = w->rect.bottom - w->rect.top; }
  if ((pos.flags & SWP_SHOWWINDOW) && (w->style & WS_VISIBLE)) pos.flags &= ~SWP_SHOWWINDOW;
  if ((pos.flags & SWP_HIDEWINDOW) && !(w->style & WS_VISIBLE)) pos.flags &= ~SWP_HIDEWINDOW;
  if (!(pos.flags & SWP_NOSENDCHANGING)) {
    Send(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!ref.alive()) return FALSE;
  }
  pos.cx = std::max(pos.cx, 0);
  pos.cy = std::max(pos.cy, 0);
  RECT oldRect = w->rect, oldClient = w->client;
  bool wasVisible = IsVisibleChain(w);
  RECT newRect = oldRect;
  if (!(pos.flags & SWP_NOMOVE)) OffsetRect(&newRect, pos.x - oldRect.left, pos.y - oldRect.top);
  if (!(pos.flags & SWP_NOSIZE)) {
    newRect.right = newRect.left + pos.cx;
    newRect.bottom = newRect.top + pos.cy;
  }
  bool moved = newRect.left != oldRect.left || newRect.top != oldRect.top;
  bool sized = (newRect.right - newRect.left) != (oldRect.right - oldRect.left) ||
               (newRect.bottom - newRect.top) != (oldRect.bottom - oldRect.top);
  w->rect = newRect;
  if (!(pos.flags & SWP_NOZORDER)) {
    HWND after = pos.hwndInsertAfter;
    if (!w->parent) {
      if (after == HWND_TOPMOST) w->exStyle |= WS_EX_TOPMOST;
      else if (after == HWND_NOTOPMOST) w->exStyle &= ~WS_EX_TOPMOST;
    }
    if (after != h) LinkAt(w, after);
    if (!w->parent) Restack();
  }
  if (pos.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (pos.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
  if (sized || (pos.flags & SWP_FRAMECHANGED)) {
    RecalcClient(w, &pos);
    if (!ref.alive()) return FALSE;
  }
  if (!w->parent) {
    if (sized) ResizeBackBuffer(w);
    if (moved || sized) backend::Current().MoveSurface(h, w->rect);
    if (pos.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) UpdateSurfaceShown(w);
  }
  bool nowVisible = IsVisibleChain(w);
  bool clientMoved = moved || w->client.left != oldClient.left || w->client.top != oldClient.top;
  bool clientSized = (w->client.right - w->client.left) != (oldClient.right - oldClient.left) ||
                     (w->client.bottom - w->client.top) != (oldClient.bottom - oldClient.top);
  if (!(pos.flags & SWP_NOREDRAW)) {
    if (w->parent && wasVisible && (moved || sized || !nowVisible || !(pos.flags & SWP_NOZORDER)))
      ExposeInParent(w, oldRect);
    if (nowVisible && (!wasVisible || (w->parent && moved) || sized || (pos.flags & SWP_FRAMECHANGED) ||
                       !(pos.flags & SWP_NOZORDER)))
      InvalidateAll(w, true);
  }
  UINT changedFlags = pos.flags;
  if (!clientSized) changedFlags |= SWP_NOCLIENTSIZE_INTERNAL;
  if (!clientMoved) changedFlags |= SWP_NOCLIENTMOVE_INTERNAL;
  if (!moved) changedFlags |= SWP_NOMOVE;
  if (!sized) changedFlags |= SWP_NOSIZE;
  WINDOWPOS done = pos;
  done.x = w->rect.left;
  done.y = w->rect.top;
  done.cx = w->rect.right - w->rect.left;
  done.cy = w->rect.bottom - w->rect.top;
  done.flags = changedFlags;
  Send(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&done));
  if (!ref.alive()) return TRUE;
  // Activation of a shown top-level.
  if (!w->parent && (pos.flags & SWP_SHOWWINDOW) && !(pos.flags & SWP_NOACTIVATE) &&
      !(w->exStyle & WS_EX_NOACTIVATE))
    SetActiveWindow(h);
  if (ref.alive() && !w->parent && (pos.flags & SWP_HIDEWINDOW) && w->queue->active == h) {
    // Pass activation to the owner, or to the next visible top-level of this thread.
    Wnd* next = (w->owner && IsVisibleChain(w->owner)) ? w->owner : nullptr;
    if (!next)
      for (Wnd* t : TopLevels())
        if (t != w && t->threadId == w->threadId && (t->style & WS_VISIBLE) && !t->destroying &&
            !(t->exStyle & WS_EX_NOACTIVATE)) { next = t; break; }
    if (next) ActivateTopLevel(next, WA_ACTIVE);
    else ActivateTopLevel(nullptr, WA_INACTIVE);
  }
  if (ref.alive() && (pos.flags & SWP_HIDEWINDOW)) {
    // A hidden window cannot keep the focus or the capture.
    auto& q = *w->queue;
    for (Wnd* f = Find(q.focus); f; f = f->parent)
      if (f == w) { SetFocus(w->parent ? TopLevelOf(w)->handle : nullptr); break; }
    if (q.capture && IsChild(h, q.capture)) ReleaseCapture();
    if (q.capture == h) ReleaseCapture();
  }
  return TRUE;
}

BOOL MoveWindow(HWND h, int x, int y, int w, int ht, BOOL repaint) {
  return SetWindowPos(h, nullptr, x, y, w, ht, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL ShowWindow(HWND h, int cmd) {
  Wnd* w = Find(h);
  if (!w || w->threadId != CurrentThreadId()) return FALSE;
  WndRef ref(w);
  BOOL wasVisible = (w->style & WS_VISIBLE) ? TRUE : FALSE;
  bool show = cmd != SW_HIDE;
  if (show != bool(wasVisible)) {
    Send(w, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (!ref.alive()) return wasVisible;
  }
  UINT swp = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
  bool activate = cmd == SW_SHOW || cmd == SW_SHOWNORMAL || cmd == SW_SHOWMAXIMIZED ||
                  cmd == SW_SHOWMINIMIZED || cmd == SW_RESTORE || cmd == SW_SHOWDEFAULT;
  if (!activate || w->parent) swp |= SWP_NOACTIVATE;
  if (activate && !w->parent) swp &= ~SWP_NOZORDER;
  switch (cmd) {
    case SW_HIDE:
      SetWindowPos(h, nullptr, 0, 0, 0, 0, swp | SWP_HIDEWINDOW | SWP_NOACTIVATE);
      return wasVisible;
    case SW_MINIMIZE: case SW_SHOWMINIMIZED: case SW_SHOWMINNOACTIVE:
      if (!(w->style & WS_MINIMIZE)) {
        if (!(w->style & WS_MAXIMIZE)) w->restoreRect = w->rect;
        w->style = (w->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
        // Minimized windows keep their place but have no client area to show.
        SetWindowPos(h, nullptr, 0, 0, 0, 0, swp | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        if (ref.alive()) Send(w, WM_SIZE, SIZE_MINIMIZED, 0);
        return wasVisible;
      }
      break;
    case SW_MAXIMIZE:
      if (!(w->style & WS_MAXIMIZE)) {
        if (!(w->style & WS_MINIMIZE)) w->restoreRect = w->rect;
        w->style = (w->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
        RECT wa = w->parent ? RECT{0, 0, w->parent->client.right - w->parent->client.left,
                                    w->parent->client.bottom - w->parent->client.top}
                            : PrimaryWorkArea();
        SetWindowPos(h, nullptr, wa.left, wa.top, wa.right - wa.left, wa.bottom - wa.top,
                     (swp & ~(SWP_NOMOVE | SWP_NOSIZE)) | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
        return wasVisible;
      }
      break;
    case SW_RESTORE: case SW_SHOWNORMAL:
      if (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) {
        w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
        RECT r = w->restoreRect;
        SetWindowPos(h, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     (swp & ~(SWP_NOMOVE | SWP_NOSIZE)) | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
        if (ref.alive()) {
          // The size message must say "restored" even when the rect did not change.
          Send(w, WM_SIZE, SIZE_RESTORED,
               MAKELPARAM(WORD(w->client.right - w->client.left), WORD(w->client.bottom - w->client.top)));
        }
        return wasVisible;
      }
      break;
    default: break;
  }
  SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, swp | SWP_SHOWWINDOW);
  return wasVisible;
}

BOOL BringWindowToTop(HWND h) { return SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL ClientToScreen(HWND h, POINT* p) {
  Wnd* w = Find(h);
  if (!w || !p) return FALSE;
  POINT o = ClientOrigin(w);
  p->x += o.x;
  p->y += o.y;
  return TRUE;
}

BOOL ScreenToClient(HWND h, POINT* p) {
  Wnd* w = Find(h);
  if (!w || !p) return FALSE;
  POINT o = ClientOrigin(w);
  p->x -= o.x;
  p->y -= o.y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* pts, UINT count) {
  POINT a{}, b{};
  if (from && from != GetDesktopWindow()) {
    Wnd* w = Find(from);
    if (!w) return 0;
    a = ClientOrigin(w);
  }
  if (to && to != GetDesktopWindow()) {
    Wnd* w = Find(to);
    if (!w) return 0;
    b = ClientOrigin(w);
  }
  int dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; pts && i < count; ++i) {
    pts[i].x += dx;
    pts[i].y += dy;
  }
  return int(MAKELONG(WORD(SHORT(dx)), WORD(SHORT(dy))));
}

namespace {
bool ContainsScreenPoint(Wnd* w, POINT p) {
  RECT r = ScreenRect(w);
  if (!PtInRect(&r, p)) return false;
  if (w->hasRegion && !w->region.Contains(POINT{p.x - r.left, p.y - r.top})) return false;
  return true;
}

// The deepest visible window under p, starting at w (already known to contain p).
Wnd* DeepestAt(Wnd* w, POINT p, bool skipDisabled, bool skipTransparent) {
  POINT co = ClientOrigin(w);
  RECT cr{co.x, co.y, co.x + (w->client.right - w->client.left), co.y + (w->client.bottom - w->client.top)};
  if (!PtInRect(&cr, p)) return w;
  for (Wnd* c : w->children) {
    if (!(c->style & WS_VISIBLE) || c->destroying) continue;
    if (skipTransparent && (c->exStyle & WS_EX_TRANSPARENT)) continue;
    if (!ContainsScreenPoint(c, p)) continue;
    if (skipDisabled && (c->style & WS_DISABLED)) return w;
    return DeepestAt(c, p, skipDisabled, skipTransparent);
  }
  return w;
}
}  // namespace

namespace detail {
Wnd* WindowAt(POINT p, Wnd* below) {
  bool passed = below == nullptr;
  for (Wnd* t : TopLevels()) {
    if (!passed) {
      if (t == below) passed = true;
      continue;
    }
    if (!(t->style & WS_VISIBLE) || t->destroying || (t->exStyle & WS_EX_TRANSPARENT)) continue;
    if ((t->exStyle & WS_EX_LAYERED) && !t->layeredHasContent) continue;
    if (!ContainsScreenPoint(t, p)) continue;
    return DeepestAt(t, p, true, true);
  }
  return nullptr;
}
}  // namespace detail

HWND WindowFromPoint(POINT p) {
  Wnd* w = WindowAt(p, nullptr);
  return w ? w->handle : nullptr;
}

HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags) {
  Wnd* w = Find(parent);
  if (!w) return nullptr;
  RECT cr{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
  if (!PtInRect(&cr, pt)) return nullptr;
  POINT co = ClientOrigin(w);
  POINT sp{pt.x + co.x, pt.y + co.y};
  for (Wnd* c : w->children) {
    if ((flags & CWP_SKIPINVISIBLE) && !(c->style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (c->style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (c->exStyle & WS_EX_TRANSPARENT)) continue;
    if (ContainsScreenPoint(c, sp)) return c->handle;
  }
  return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT pt) { return ChildWindowFromPointEx(parent, pt, CWP_ALL); }

// ---- window longs -----------------------------------------------------------------------------

LONG_PTR GetWindowLongPtr(HWND h, int index) {
  Wnd* w = Find(h);
  if (!w) return 0;
  switch (index) {
    case GWL_STYLE: return LONG_PTR(w->style);
    case GWL_EXSTYLE: return LONG_PTR(w->exStyle);
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_USERDATA: return w->userData;
    case GWLP_ID: return w->id;
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->inst);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->parent ? w->parent->handle : w->owner ? w->owner->handle : nullptr);
  }
  if (index >= 0 && size_t(index) + sizeof(LONG_PTR) <= w->extra.size()) {
    LONG_PTR v;
    std::memcpy(&v, w->extra.data() + index, sizeof v);
    return v;
  }
  return 0;
}

LONG_PTR SetWindowLongPtr(HWND h, int index, LONG_PTR value) {
  Wnd* w = Find(h);
  if (!w) return 0;
  LONG_PTR old = GetWindowLongPtr(h, index);
  switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE: {
      WndRef ref(w);
      struct { DWORD oldS, newS; } ss{DWORD(old), DWORD(value)};
      WPARAM which = WPARAM(LONG_PTR(index));
      Send(w, WM_STYLECHANGING, which, reinterpret_cast<LPARAM>(&ss));
      if (!ref.alive()) return old;
      bool wasVisible = IsVisibleChain(w);
      if (index == GWL_STYLE) {
        w->style = ss.newS;
      } else {
        DWORD before = w->exStyle;
        w->exStyle = ss.newS;
        if ((before ^ w->exStyle) & WS_EX_LAYERED) {
          w->layeredHasContent = false;
          w->layeredPerPixel = false;
          w->layeredAlpha = 255;
          if (!w->parent) backend::Current().SetAlpha(h, 255);
        }
      }
      if (!w->parent) UpdateSurfaceShown(w);
      if (wasVisible != IsVisibleChain(w) && IsVisibleChain(w)) InvalidateAll(w, true);
      Send(w, WM_STYLECHANGED, which, reinterpret_cast<LPARAM>(&ss));
      return old;
    }
    case GWLP_WNDPROC:
      if (!value) return 0;
      w->proc = reinterpret_cast<WNDPROC>(value);
      return old;
    case GWLP_USERDATA: w->userData = value; return old;
    case GWLP_ID: w->id = value; return old;
    case GWLP_HINSTANCE: w->inst = reinterpret_cast<HINSTANCE>(value); return old;
    case GWLP_HWNDPARENT:
      if (!w->parent) w->owner = Find(reinterpret_cast<HWND>(value));
      return old;
  }
  if (index >= 0 && size_t(index) + sizeof(LONG_PTR) <= w->extra.size()) {
    std::memcpy(w->extra.data() + index, &value, sizeof value);
    return old;
  }
  return 0;
}

LRESULT CallWindowProc(WNDPROC proc, HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (!proc) return 0;
  return proc(h, msg, w, l);
}

// ---- properties and text ------------------------------------------------------------------

BOOL SetProp(HWND h, LPCSTR name, HANDLE data) {
  Wnd* w = Find(h);
  if (!w || !name) return FALSE;
  w->props[name] = data;
  return TRUE;
}

HANDLE GetProp(HWND h, LPCSTR name) {
  Wnd* w = Find(h);
  if (!w || !name) return nullptr;
  auto it = w->props.find(name);
  return it == w->props.end() ? nullptr : it->second;
}

HANDLE RemoveProp(HWND h, LPCSTR name) {
  Wnd* w = Find(h);
  if (!w || !name) return nullptr;
  auto it = w->props.find(name);
  if (it == w->props.end()) return nullptr;
  HANDLE v = it->second;
  w->props.erase(it);
  return v;
}

int GetWindowText(HWND h, char* buf, int max) {
  if (!buf || max <= 0) return 0;
  buf[0] = 0;
  if (!IsWindow(h)) return 0;
  return int(SendMessage(h, WM_GETTEXT, WPARAM(max), reinterpret_cast<LPARAM>(buf)));
}

int GetWindowTextLength(HWND h) {
  if (!IsWindow(h)) return 0;
  return int(SendMessage(h, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetWindowText(HWND h, LPCSTR text) {
  if (!IsWindow(h)) return FALSE;
  return SendMessage(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

namespace detail {
// Copies text into a caller's buffer of `max` bytes without splitting a UTF-8 sequence.
int CopyText(const std::string& text, char* buf, size_t max) {
  if (!buf || max == 0) return 0;
  size_t n = std::min(text.size(), max - 1);
  while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buf, text.data(), n);
  buf[n] = 0;
  return int(n);
}
}  // namespace detail

}  // namespace win
