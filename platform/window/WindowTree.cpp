// Window classes, the registry of windows, creation and destruction, the window tree and its
// z-order, window longs, properties and text.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <unordered_map>

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
  ClampGeometry(!parent, x, y, width, height);

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
    w->queue->topLevels.push_back(w->handle);
    ResizeBackBuffer(w);
    CreateNativeSurface(w);
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
  if (!w->parent) DestroyNativeSurface(w);
  std::erase(w->queue->topLevels, w->handle);
  {
    std::lock_guard<std::mutex> lock(TableMutex());
    Table().erase(w->handle);
  }
  {
    std::lock_guard<std::mutex> lock(ClassMutex());
    --w->cls->windows;
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
  Unlink(w);
  if (!w->parent) DestroyNativeSurface(w);
  w->parent = np;
  // Keep the window where it is on screen.
  POINT origin = np ? ClientOrigin(np) : POINT{0, 0};
  w->rect = RECT{scr.left - origin.x, scr.top - origin.y, scr.right - origin.x, scr.bottom - origin.y};
  if (np) {
    std::erase(w->queue->topLevels, w->handle);
    np->children.insert(np->children.begin(), w);
    w->pixels.clear();
    w->bufW = w->bufH = 0;
  } else {
    LinkAt(w, HWND_TOP);
    w->queue->topLevels.push_back(w->handle);
    ResizeBackBuffer(w);
    CreateNativeSurface(w);
    UpdateSurfaceShown(w);
    Restack();
  }
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
      if (!w->parent) {
        SurfaceStyleChanged(w);
        UpdateSurfaceShown(w);
      }
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
