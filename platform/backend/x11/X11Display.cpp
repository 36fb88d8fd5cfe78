// The X11 backend's connection: visuals, extensions, the wait for events with its wake-up,
// monitors and work area, cursors, pointer grab and the clipboard.
#include "platform/backend/x11/X11.h"
#include "platform/backend/x11/X11Backend.h"

#include <X11/Xatom.h>
#include <X11/cursorfont.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/shape.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstring>


namespace win::x11 {

namespace {

std::once_flag g_threadsInit;

}  // namespace

X11Backend::X11Backend(Display* dpy, bool useShm) : dpy_(dpy), useShm_(useShm) {
  screen_ = DefaultScreen(dpy_);
  root_ = RootWindow(dpy_, screen_);
  visual24_ = DefaultVisual(dpy_, screen_);
  depth24_ = DefaultDepth(dpy_, screen_);
  XVisualInfo vi;
  if (XMatchVisualInfo(dpy_, screen_, 32, TrueColor, &vi)) visual32_ = vi.visual;
  int major = 0, minor = 0;
  Bool pixmaps = False;
  shmOk_ = useShm_ && XShmQueryVersion(dpy_, &major, &minor, &pixmaps);
  shmEvent_ = shmOk_ ? XShmGetEventBase(dpy_) : 0;
  int evBase = 0, errBase = 0;
  shapeOk_ = XShapeQueryExtension(dpy_, &evBase, &errBase);
  if (XRRQueryExtension(dpy_, &randrEvent_, &errBase)) {
    randrOk_ = XRRQueryVersion(dpy_, &major, &minor) && (major > 1 || minor >= 5);
    if (randrOk_) XRRSelectInput(dpy_, root_, RRScreenChangeNotifyMask);
  }
  // Work-area changes come as property changes on the root; a new tray manager announces itself
  // to structure listeners of the root.
  XSelectInput(dpy_, root_, PropertyChangeMask | StructureNotifyMask);
  wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);

  // Text input: an input method when one can be opened, else plain key symbols.
  XSetLocaleModifiers("");
  xim_ = XOpenIM(dpy_, nullptr, nullptr, nullptr);
  XSetWindowAttributes attrs{};
  attrs.event_mask = PropertyChangeMask;
  helper_ = XCreateWindow(dpy_, root_, -10, -10, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent, CWEventMask,
                          &attrs);
  tray_ = std::make_unique<Tray>(*this);
}

X11Backend::~X11Backend() {
  tray_.reset();  // uninstalls itself while the connection is still open
  std::lock_guard<std::recursive_mutex> l(mutex_);
  for (auto& [h, s] : surfaces_) DropWindow(s);
  surfaces_.clear();
  for (auto& [id, c] : cursors_) XFreeCursor(dpy_, c);
  if (xim_) XCloseIM(xim_);
  if (helper_) XDestroyWindow(dpy_, helper_);
  XCloseDisplay(dpy_);
  if (wakeFd_ >= 0) close(wakeFd_);
}

Atom X11Backend::atom(const char* name) {
  auto it = atoms_.find(name);
  if (it != atoms_.end()) return it->second;
  Atom a = XInternAtom(dpy_, name, False);
  atoms_[name] = a;
  return a;
}

Surface* X11Backend::Find(HWND h) {
  auto it = surfaces_.find(h);
  return it == surfaces_.end() ? nullptr : &it->second;
}

HWND X11Backend::HwndOf(Window w) {
  auto it = byWindow_.find(w);
  return it == byWindow_.end() ? nullptr : it->second;
}

bool X11Backend::LayeredAvailable() {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  if (!visual32_) return false;
  std::string name = "_NET_WM_CM_S" + std::to_string(screen_);
  return XGetSelectionOwner(dpy_, atom(name.c_str())) != None;
}

bool X11Backend::HasWindowManager() {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  if (wmState_ >= 0) return wmState_ == 1;
  Atom type;
  int format;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  bool found = false;
  if (XGetWindowProperty(dpy_, root_, atom("_NET_SUPPORTING_WM_CHECK"), 0, 1, False, XA_WINDOW, &type, &format, &n,
                         &after, &data) == Success &&
      data && n == 1 && format == 32) {
    Window check = Window(reinterpret_cast<unsigned long*>(data)[0]);
    XWindowAttributes wa;
    // The check window must exist: a crashed manager leaves the property behind.
    auto old = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    found = XGetWindowAttributes(dpy_, check, &wa) != 0;
    XSync(dpy_, False);
    XSetErrorHandler(old);
  }
  if (data) XFree(data);
  wmState_ = found ? 1 : 0;
  return found;
}

// ---- waiting and waking -------------------------------------------------------------------------

void X11Backend::Wake() {
  uint64_t one = 1;
  if (wakeFd_ >= 0) (void)!write(wakeFd_, &one, sizeof one);
}

void X11Backend::DrainWake() {
  uint64_t v;
  while (wakeFd_ >= 0 && read(wakeFd_, &v, sizeof v) == ssize_t(sizeof v)) {
  }
}

bool X11Backend::DrainX() {
  bool any = false;
  std::vector<backend::Event> out;
  {
    std::lock_guard<std::recursive_mutex> l(mutex_);
    while (XPending(dpy_) > 0) {
      XEvent ev;
      XNextEvent(dpy_, &ev);
      if (XFilterEvent(&ev, None)) continue;  // the input method took it
      HandleEvent(ev);
      any = true;
    }
    out.swap(pending_);
  }
  // Delivered without the lock: the sink may call back into the backend.
  for (const backend::Event& e : out) {
    if (sink_) sink_->OnBackendEvent(e);
  }
  if (tray_) tray_->PostPending();
  return any || !out.empty();
}

void X11Backend::PumpEvents() { DrainX(); }

bool X11Backend::WaitEvents(int timeoutMs) {
  if (DrainX()) return true;
  pollfd fds[2] = {{ConnectionNumber(dpy_), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
  {
    std::lock_guard<std::recursive_mutex> l(mutex_);
    XFlush(dpy_);
  }
  int r = poll(fds, 2, timeoutMs < 0 ? -1 : timeoutMs);
  bool woken = r > 0 && (fds[1].revents & POLLIN);
  if (woken) DrainWake();
  bool any = DrainX();
  return any || woken;
}

void X11Backend::Deliver(const backend::Event& e) { pending_.push_back(e); }

// ---- monitors -----------------------------------------------------------------------------------

void X11Backend::ReadMonitors() {
  monitors_.clear();
  if (randrOk_) {
    int n = 0;
    XRRMonitorInfo* mons = XRRGetMonitors(dpy_, root_, True, &n);
    for (int i = 0; i < n; ++i) {
      backend::MonitorDesc d;
      d.monitor = RECT{mons[i].x, mons[i].y, mons[i].x + mons[i].width, mons[i].y + mons[i].height};
      d.primary = mons[i].primary;
      monitors_.push_back(d);
    }
    if (mons) XRRFreeMonitors(mons);
  }
  if (monitors_.empty()) {
    backend::MonitorDesc d;
    d.monitor = RECT{0, 0, DisplayWidth(dpy_, screen_), DisplayHeight(dpy_, screen_)};
    monitors_.push_back(d);
  }
  if (std::none_of(monitors_.begin(), monitors_.end(), [](const auto& m) { return m.primary; }))
    monitors_.front().primary = true;
  // The work area: the window manager's _NET_WORKAREA (of the current desktop) within each
  // monitor; the monitor itself without a window manager.
  RECT work{};
  bool haveWork = false;
  if (HasWindowManager()) {
    Atom type;
    int format;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy_, root_, atom("_NET_WORKAREA"), 0, 4, False, XA_CARDINAL, &type, &format, &n, &after,
                           &data) == Success &&
        data && n >= 4 && format == 32) {
      auto* v = reinterpret_cast<unsigned long*>(data);
      work = RECT{LONG(v[0]), LONG(v[1]), LONG(v[0] + v[2]), LONG(v[1] + v[3])};
      haveWork = v[2] > 0 && v[3] > 0;
    }
    if (data) XFree(data);
  }
  for (auto& m : monitors_) {
    m.work = m.monitor;
    if (haveWork) {
      RECT r{std::max(m.monitor.left, work.left), std::max(m.monitor.top, work.top),
             std::min(m.monitor.right, work.right), std::min(m.monitor.bottom, work.bottom)};
      if (r.left < r.right && r.top < r.bottom) m.work = r;
    }
  }
  monitorsRead_ = true;
}

std::vector<backend::MonitorDesc> X11Backend::Monitors() {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  if (!monitorsRead_) ReadMonitors();
  return monitors_;
}

// ---- pointer and cursors ------------------------------------------------------------------------

POINT X11Backend::CursorPos() {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Window r, c;
  int rx = 0, ry = 0, wx, wy;
  unsigned mask;
  XQueryPointer(dpy_, root_, &r, &c, &rx, &ry, &wx, &wy, &mask);
  return POINT{rx, ry};
}

void X11Backend::SetCursorPos(POINT p) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  XWarpPointer(dpy_, None, root_, 0, 0, 0, 0, p.x, p.y);
  XFlush(dpy_);
}

void X11Backend::SetCursor(HCURSOR c) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  if (c == cursor_) return;
  cursor_ = c;
  uintptr_t id = reinterpret_cast<uintptr_t>(c);
  unsigned shape = XC_left_ptr;
  switch (id) {
    case 32513: shape = XC_xterm; break;
    case 32514: shape = XC_watch; break;
    case 32515: shape = XC_crosshair; break;
    case 32516: shape = XC_sb_up_arrow; break;
    case 32642: shape = XC_bottom_right_corner; break;
    case 32643: shape = XC_bottom_left_corner; break;
    case 32644: shape = XC_sb_h_double_arrow; break;
    case 32645: shape = XC_sb_v_double_arrow; break;
    case 32646: shape = XC_fleur; break;
    case 32648: shape = XC_X_cursor; break;
    case 32649: shape = XC_hand2; break;
    case 32650: shape = XC_watch; break;
    case 32651: shape = XC_question_arrow; break;
    default: break;
  }
  Cursor& cur = cursors_[shape];
  if (!cur) cur = XCreateFontCursor(dpy_, shape);
  for (auto& [h, s] : surfaces_)
    if (s.win) XDefineCursor(dpy_, s.win, cur);
  XFlush(dpy_);
}

void X11Backend::GrabPointer(HWND h) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  grab_ = h;
  Surface* s = h ? Find(h) : nullptr;
  if (s && s->win && s->mapped) {
    // Every pointer event comes to the capturing surface, wherever the pointer is.
    XGrabPointer(dpy_, s->win, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                 GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
  } else {
    XUngrabPointer(dpy_, CurrentTime);
  }
  XFlush(dpy_);
}

void X11Backend::Beep(UINT) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  XBell(dpy_, 0);
  XFlush(dpy_);
}

// ---- clipboard ----------------------------------------------------------------------------------

void X11Backend::SetClipboardText(const std::string& text) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  clipboardText_ = text;
  XSetSelectionOwner(dpy_, atom("CLIPBOARD"), helper_, lastTime_);
  ownsClipboard_ = XGetSelectionOwner(dpy_, atom("CLIPBOARD")) == helper_;
  XFlush(dpy_);
}

void X11Backend::HandleSelectionRequest(XSelectionRequestEvent& req) {
  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.display = dpy_;
  reply.requestor = req.requestor;
  reply.selection = req.selection;
  reply.target = req.target;
  reply.time = req.time;
  reply.property = None;
  Atom prop = req.property != None ? req.property : req.target;  // obsolete clients give none
  if (req.selection == atom("CLIPBOARD") && ownsClipboard_) {
    const Atom utf8 = atom("UTF8_STRING");
    if (req.target == atom("TARGETS")) {
      Atom targets[] = {atom("TARGETS"), utf8, XA_STRING, atom("TEXT")};
      XChangeProperty(dpy_, req.requestor, prop, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(targets), 4);
      reply.property = prop;
    } else if (req.target == utf8 || req.target == XA_STRING || req.target == atom("TEXT")) {
      XChangeProperty(dpy_, req.requestor, prop, req.target == XA_STRING ? XA_STRING : utf8, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(clipboardText_.data()), int(clipboardText_.size()));
      reply.property = prop;
    }
  }
  XSendEvent(dpy_, req.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
  XFlush(dpy_);
}

std::string X11Backend::ClipboardText() {
  std::unique_lock<std::recursive_mutex> l(mutex_);
  const Atom clip = atom("CLIPBOARD");
  Window owner = XGetSelectionOwner(dpy_, clip);
  if (owner == None) return std::string();
  if (owner == helper_ && ownsClipboard_) return clipboardText_;
  const Atom prop = atom("OMBREL_CLIPBOARD");
  XDeleteProperty(dpy_, helper_, prop);
  XConvertSelection(dpy_, clip, atom("UTF8_STRING"), prop, helper_, lastTime_);
  XFlush(dpy_);
  // The owner answers with SelectionNotify; other events meanwhile are decoded and kept for the
  // sink. A silent owner costs at most a second.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  for (;;) {
    XEvent ev;
    if (XCheckTypedWindowEvent(dpy_, helper_, SelectionNotify, &ev)) {
      if (ev.xselection.property == None) return std::string();
      Atom type;
      int format;
      unsigned long n = 0, after = 0;
      unsigned char* data = nullptr;
      std::string text;
      if (XGetWindowProperty(dpy_, helper_, prop, 0, 1 << 24, True, AnyPropertyType, &type, &format, &n, &after,
                             &data) == Success &&
          data && format == 8 && type != atom("INCR"))
        text.assign(reinterpret_cast<char*>(data), n);
      if (data) XFree(data);
      return text;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::string();
    // Serve requests to us in the meantime (another of our connections may own the clipboard).
    while (XPending(dpy_) > 0) {
      XEvent other;
      XPeekEvent(dpy_, &other);
      if (other.type == SelectionNotify && other.xselection.requestor == helper_) break;
      XNextEvent(dpy_, &other);
      if (!XFilterEvent(&other, None)) HandleEvent(other);
    }
    pollfd fd{ConnectionNumber(dpy_), POLLIN, 0};
    l.unlock();
    poll(&fd, 1, int(std::min<int64_t>(left.count(), 50)));
    l.lock();
  }
}

// ---- test helpers (X11.h) -----------------------------------------------------------------------

namespace {
X11Backend* As(backend::Backend& b) { return dynamic_cast<X11Backend*>(&b); }
}  // namespace

std::unique_ptr<backend::Backend> Create(const char* display, bool useSharedMemory) {
  std::call_once(g_threadsInit, [] {
    XInitThreads();
    // The input method needs a UTF-8 character type; numbers keep the "C" locale.
    const char* ctype = std::setlocale(LC_CTYPE, "");
    if (!ctype || std::strcmp(ctype, "C") == 0 || std::strcmp(ctype, "POSIX") == 0)
      std::setlocale(LC_CTYPE, "C.UTF-8");
  });
  Display* dpy = XOpenDisplay(display);
  if (!dpy) return nullptr;
  return std::make_unique<X11Backend>(dpy, useSharedMemory);
}

bool UsesSharedMemory(backend::Backend& b) {
  auto* x = As(b);
  return x && x->shmUsable();
}

std::vector<uint32_t> ReadScreen(backend::Backend& b, const RECT& r) {
  auto* x = As(b);
  std::vector<uint32_t> out;
  if (!x || r.right <= r.left || r.bottom <= r.top) return out;
  std::lock_guard<std::recursive_mutex> l(x->lock());
  XSync(x->dpy(), False);
  int w = r.right - r.left, h = r.bottom - r.top;
  XImage* img = XGetImage(x->dpy(), DefaultRootWindow(x->dpy()), r.left, r.top, unsigned(w), unsigned(h), AllPlanes,
                          ZPixmap);
  if (!img) return out;
  out.resize(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y)
    for (int xx = 0; xx < w; ++xx) out[size_t(y) * w + xx] = uint32_t(XGetPixel(img, xx, y)) | 0xFF000000u;
  XDestroyImage(img);
  return out;
}

uintptr_t NativeWindow(backend::Backend& b, HWND h) {
  auto* x = As(b);
  if (!x) return 0;
  std::lock_guard<std::recursive_mutex> l(x->lock());
  Surface* s = x->Find(h);
  return s ? s->win : 0;
}

namespace {
std::vector<RECT> Shape(backend::Backend& b, HWND h, int kind) {
  auto* x = As(b);
  std::vector<RECT> out;
  if (!x) return out;
  std::lock_guard<std::recursive_mutex> l(x->lock());
  Surface* s = x->Find(h);
  if (!s || !s->win) return out;
  XSync(x->dpy(), False);
  int n = 0, order = 0;
  XRectangle* rs = XShapeGetRectangles(x->dpy(), s->win, kind, &n, &order);
  for (int i = 0; i < n; ++i) out.push_back(RECT{rs[i].x, rs[i].y, rs[i].x + rs[i].width, rs[i].y + rs[i].height});
  if (rs) XFree(rs);
  return out;
}
}  // namespace

std::vector<RECT> BoundingShape(backend::Backend& b, HWND h) { return Shape(b, h, ShapeBounding); }
std::vector<RECT> InputShape(backend::Backend& b, HWND h) { return Shape(b, h, ShapeInput); }

HWND FocusedSurface(backend::Backend& b) {
  auto* x = As(b);
  if (!x) return nullptr;
  std::lock_guard<std::recursive_mutex> l(x->lock());
  Window f = 0;
  int revert = 0;
  XGetInputFocus(x->dpy(), &f, &revert);
  return x->HwndOf(f);
}

bool IsOverrideRedirect(backend::Backend& b, HWND h) {
  auto* x = As(b);
  if (!x) return false;
  std::lock_guard<std::recursive_mutex> l(x->lock());
  Surface* s = x->Find(h);
  if (!s || !s->win) return false;
  XWindowAttributes wa;
  return XGetWindowAttributes(x->dpy(), s->win, &wa) && wa.override_redirect;
}

std::string TextProperty(backend::Backend& b, HWND h, const char* name) {
  auto* x = As(b);
  if (!x) return {};
  std::lock_guard<std::recursive_mutex> l(x->lock());
  Surface* s = x->Find(h);
  if (!s || !s->win) return {};
  XSync(x->dpy(), False);
  Atom type;
  int format;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  std::string out;
  if (XGetWindowProperty(x->dpy(), s->win, x->atom(name), 0, 1 << 20, False, AnyPropertyType, &type, &format, &n,
                         &after, &data) == Success &&
      data && format == 8)
    out.assign(reinterpret_cast<char*>(data), n);
  if (data) XFree(data);
  return out;
}

std::vector<unsigned long> CardinalProperty(backend::Backend& b, HWND h, const char* name) {
  auto* x = As(b);
  if (!x) return {};
  std::lock_guard<std::recursive_mutex> l(x->lock());
  Surface* s = x->Find(h);
  if (!s || !s->win) return {};
  XSync(x->dpy(), False);
  Atom type;
  int format;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<unsigned long> out;
  if (XGetWindowProperty(x->dpy(), s->win, x->atom(name), 0, 1 << 20, False, AnyPropertyType, &type, &format, &n,
                         &after, &data) == Success &&
      data && format == 32)
    for (unsigned long i = 0; i < n; ++i) out.push_back(reinterpret_cast<unsigned long*>(data)[i] & 0xFFFFFFFFul);
  if (data) XFree(data);
  return out;
}

void Sync(backend::Backend& b) {
  auto* x = As(b);
  if (!x) return;
  std::lock_guard<std::recursive_mutex> l(x->lock());
  XSync(x->dpy(), False);
}

}  // namespace win::x11
