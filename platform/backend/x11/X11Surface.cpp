// The X11 backend's surfaces: undecorated managed top-levels and override-redirect popups, their
// properties (title, owner, icon, size hints, task bar, opacity), shapes, and presenting the
// back buffer through shared memory or XPutImage.
#include "platform/backend/x11/X11Backend.h"

#include <X11/Xatom.h>
#include <X11/extensions/shape.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstring>


namespace win::x11 {

namespace {

// Whether a window is a popup that the window manager never sees and that never takes the
// focus: menus, drop-downs, hints and glow layers are tool or no-activate windows without a
// caption of their own.
bool IsPopup(DWORD style, DWORD exStyle) {
  if (exStyle & WS_EX_APPWINDOW) return false;
  if ((style & WS_CAPTION) == WS_CAPTION) return false;
  return (exStyle & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE)) != 0;
}

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask | FocusChangeMask |
                            StructureNotifyMask | PropertyChangeMask;

int g_shmError = 0;
int CatchShmError(Display*, XErrorEvent*) {
  g_shmError = 1;
  return 0;
}

}  // namespace

void X11Backend::MakeWindow(Surface& s) {
  s.popup = IsPopup(s.style, s.exStyle);
  // Layered windows take a 32-bit visual from the start, so per-pixel alpha can reach the
  // compositor; the rest take the screen's default.
  s.argb = (s.exStyle & WS_EX_LAYERED) && visual32_;
  s.visual = s.argb ? visual32_ : visual24_;
  s.depth = s.argb ? 32 : depth24_;
  XSetWindowAttributes a{};
  unsigned long mask = CWEventMask | CWBorderPixel | CWBackPixmap | CWBitGravity;
  a.event_mask = kEventMask;
  a.border_pixel = 0;
  a.background_pixmap = None;  // no flashes of background: everything comes from the back buffer
  a.bit_gravity = NorthWestGravity;
  if (s.argb) {
    s.colormap = XCreateColormap(dpy_, root_, s.visual, AllocNone);
    a.colormap = s.colormap;
    mask |= CWColormap;
  }
  if (s.popup) {
    a.override_redirect = True;
    mask |= CWOverrideRedirect;
    if (s.classStyle & CS_SAVEBITS) {
      a.save_under = True;
      mask |= CWSaveUnder;
    }
  }
  int w = std::max<LONG>(1, s.rect.right - s.rect.left), h = std::max<LONG>(1, s.rect.bottom - s.rect.top);
  s.win = XCreateWindow(dpy_, root_, s.rect.left, s.rect.top, unsigned(w), unsigned(h), 0, s.depth, InputOutput,
                        s.visual, mask, &a);
  byWindow_[s.win] = s.hwnd;
  s.gc = XCreateGC(dpy_, s.win, 0, nullptr);
  if (xim_ && !s.popup)
    s.xic = XCreateIC(xim_, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, s.win, XNFocusWindow,
                      s.win, nullptr);
  if (s.xic) {
    long imMask = 0;
    XGetICValues(s.xic, XNFilterEvents, &imMask, nullptr);
    XSelectInput(dpy_, s.win, kEventMask | imMask);
  }
  ApplyProperties(s);
  if (cursor_) {
    HCURSOR c = cursor_;
    cursor_ = nullptr;
    SetCursor(c);
  }
}

void X11Backend::DropWindow(Surface& s) {
  FreeImage(s);
  if (s.xic) XDestroyIC(s.xic);
  s.xic = nullptr;
  if (s.gc) XFreeGC(dpy_, s.gc);
  s.gc = nullptr;
  if (s.win) {
    byWindow_.erase(s.win);
    XDestroyWindow(dpy_, s.win);
  }
  s.win = 0;
  if (s.colormap) XFreeColormap(dpy_, s.colormap);
  s.colormap = 0;
  s.mapped = false;
  XFlush(dpy_);
}

void X11Backend::ApplyProperties(Surface& s) {
  // Managed windows: undecorated (the layer and the skins draw the frame), closed through
  // WM_DELETE_WINDOW, placed where the layer says.
  Atom protocols[] = {atom("WM_DELETE_WINDOW")};
  XSetWMProtocols(dpy_, s.win, protocols, 1);
  struct {
    unsigned long flags, functions, decorations;
    long inputMode;
    unsigned long status;
  } motif{2, 0, 0, 0, 0};
  XChangeProperty(dpy_, s.win, atom("_MOTIF_WM_HINTS"), atom("_MOTIF_WM_HINTS"), 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&motif), 5);
  ApplySizeHints(s);
  ApplyIcon(s);
  XWMHints hints{};
  hints.flags = InputHint | StateHint;
  // A window that never takes the focus says so.
  hints.input = (s.popup || (s.exStyle & WS_EX_NOACTIVATE)) ? False : True;
  hints.initial_state = NormalState;
  XSetWMHints(dpy_, s.win, &hints);
  XClassHint cls{const_cast<char*>("ombrel"), const_cast<char*>("Ombrel")};
  XSetClassHint(dpy_, s.win, &cls);
  // Window type: popups by what they are, the rest normal windows or dialogs.
  Atom type = atom("_NET_WM_WINDOW_TYPE_NORMAL");
  if (s.popup) {
    if (s.exStyle & WS_EX_LAYERED) type = atom("_NET_WM_WINDOW_TYPE_NOTIFICATION");
    else if (s.classStyle & CS_DROPSHADOW) type = atom("_NET_WM_WINDOW_TYPE_POPUP_MENU");
    else type = atom("_NET_WM_WINDOW_TYPE_TOOLTIP");
  } else if (s.owner) {
    type = atom("_NET_WM_WINDOW_TYPE_DIALOG");
  }
  XChangeProperty(dpy_, s.win, atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&type), 1);
  // Only what the layer lists in the task bar appears there.
  std::vector<Atom> state;
  if (!s.inTaskbar) {
    state.push_back(atom("_NET_WM_STATE_SKIP_TASKBAR"));
    state.push_back(atom("_NET_WM_STATE_SKIP_PAGER"));
  }
  if (s.exStyle & WS_EX_TOPMOST) state.push_back(atom("_NET_WM_STATE_ABOVE"));
  if (state.empty()) XDeleteProperty(dpy_, s.win, atom("_NET_WM_STATE"));
  else
    XChangeProperty(dpy_, s.win, atom("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(state.data()), int(state.size()));
  ApplyOwner(s);
  ApplyTitle(s);
  ApplyOpacity(s);
  ApplyShape(s);
}

void X11Backend::ApplyTitle(Surface& s) {
  XChangeProperty(dpy_, s.win, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(s.title.data()), int(s.title.size()));
  XTextProperty tp{};
  char* list[] = {const_cast<char*>(s.title.c_str())};
  if (Xutf8TextListToTextProperty(dpy_, list, 1, XUTF8StringStyle, &tp) >= Success) {
    XSetWMName(dpy_, s.win, &tp);
    XFree(tp.value);
  }
}

void X11Backend::ApplyOwner(Surface& s) {
  Surface* o = s.owner ? Find(s.owner) : nullptr;
  if (o && o->win) XSetTransientForHint(dpy_, s.win, o->win);
  else XDeleteProperty(dpy_, s.win, XA_WM_TRANSIENT_FOR);
}

void X11Backend::ApplyOpacity(Surface& s) {
  if (s.alpha == 255 || !(s.exStyle & WS_EX_LAYERED)) {
    XDeleteProperty(dpy_, s.win, atom("_NET_WM_WINDOW_OPACITY"));
    return;
  }
  unsigned long v = 0x01010101ul * s.alpha;
  XChangeProperty(dpy_, s.win, atom("_NET_WM_WINDOW_OPACITY"), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&v), 1);
}

void X11Backend::ApplyShape(Surface& s) {
  if (!shapeOk_ || !s.win) return;
  if (s.hasShape) {
    std::vector<XRectangle> rs;
    for (const RECT& r : s.shape)
      rs.push_back(XRectangle{short(r.left), short(r.top), (unsigned short)(r.right - r.left),
                              (unsigned short)(r.bottom - r.top)});
    XShapeCombineRectangles(dpy_, s.win, ShapeBounding, 0, 0, rs.data(), int(rs.size()), ShapeSet, YXBanded);
    XShapeCombineRectangles(dpy_, s.win, ShapeInput, 0, 0, rs.data(), int(rs.size()), ShapeSet, YXBanded);
  } else {
    XShapeCombineMask(dpy_, s.win, ShapeBounding, 0, 0, None, ShapeSet);
    XShapeCombineMask(dpy_, s.win, ShapeInput, 0, 0, None, ShapeSet);
  }
  // Click-through windows take no input anywhere.
  if (s.exStyle & WS_EX_TRANSPARENT)
    XShapeCombineRectangles(dpy_, s.win, ShapeInput, 0, 0, nullptr, 0, ShapeSet, YXBanded);
}

// ---- life cycle ---------------------------------------------------------------------------------

void X11Backend::CreateSurface(HWND h, const RECT& rect, DWORD style, DWORD exStyle) {
  backend::SurfaceDesc d;
  d.rect = rect;
  d.style = style;
  d.exStyle = exStyle;
  d.inTaskbar = !(exStyle & WS_EX_TOOLWINDOW);
  CreateSurfaceEx(h, d);
}

void X11Backend::CreateSurfaceEx(HWND h, const backend::SurfaceDesc& d) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  if (Surface* old = Find(h)) DropWindow(*old);
  Surface& s = surfaces_[h];
  s = Surface{};
  s.hwnd = h;
  s.rect = d.rect;
  s.style = d.style;
  s.exStyle = d.exStyle;
  s.classStyle = d.classStyle;
  s.owner = d.owner;
  s.inTaskbar = d.inTaskbar;
  s.argb = (s.exStyle & WS_EX_LAYERED) && visual32_;
  s.visual = s.argb ? visual32_ : visual24_;
  s.depth = s.argb ? 32 : depth24_;
  // The X window is made when first needed: hidden helper windows (the application's, the
  // timers') never cost one.
}

void X11Backend::EnsureWindow(Surface& s) {
  if (!s.win) MakeWindow(s);
}

void X11Backend::DestroySurface(HWND h) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  for (auto it = children_.begin(); it != children_.end();) {
    if (it->second.top == h) it = children_.erase(it);  // destroyed with their parent window
    else ++it;
  }
  Surface* s = Find(h);
  if (!s) return;
  if (grab_ == h) GrabPointer(nullptr);
  DropWindow(*s);
  surfaces_.erase(h);
}

void X11Backend::MoveSurface(HWND h, const RECT& rect) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* s = Find(h);
  if (!s) return;
  s->rect = rect;
  if (!s->win) return;
  int w = std::max<LONG>(1, rect.right - rect.left), ht = std::max<LONG>(1, rect.bottom - rect.top);
  XMoveResizeWindow(dpy_, s->win, rect.left, rect.top, unsigned(w), unsigned(ht));
  ApplySizeHints(*s);
  XFlush(dpy_);
}

void X11Backend::ShowSurface(HWND h, bool shown) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* s = Find(h);
  if (!s) return;
  s->wantShown = shown;
  if (shown) EnsureWindow(*s);
  if (shown && s->iconic) {
    // Shown again after iconifying: mapping it asks the window manager to restore it.
    s->iconic = false;
    XMapRaised(dpy_, s->win);
    XFlush(dpy_);
    return;
  }
  if (shown == s->mapped) return;
  if (shown) {
    XMapRaised(dpy_, s->win);
    // Managed windows may be placed anywhere by the manager when mapped; ask again.
    if (!s->popup) XMoveWindow(dpy_, s->win, s->rect.left, s->rect.top);
  } else {
    XUnmapWindow(dpy_, s->win);
  }
  s->mapped = shown;
  XFlush(dpy_);
}

void X11Backend::RestackSurfaces(const std::vector<HWND>& topFirst) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  std::vector<Window> order;
  for (HWND h : topFirst)
    if (Surface* s = Find(h); s && s->mapped) order.push_back(s->win);
  if (order.size() > 1) XRestackWindows(dpy_, order.data(), int(order.size()));
  else if (order.size() == 1) XRaiseWindow(dpy_, order.front());
  XFlush(dpy_);
}

void X11Backend::SetTitle(HWND h, const std::string& utf8) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* s = Find(h);
  if (!s) return;
  s->title = utf8;
  if (!s->win) return;
  ApplyTitle(*s);
  XFlush(dpy_);
}

void X11Backend::SetOwner(HWND h, HWND owner) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* s = Find(h);
  if (!s) return;
  s->owner = owner;
  if (!s->win) return;
  ApplyOwner(*s);
  XFlush(dpy_);
}

void X11Backend::SetIcon(HWND h, const std::vector<backend::IconPicture>& pictures) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* s = Find(h);
  if (!s) return;
  // _NET_WM_ICON: width, height, then the ARGB pixels, each in a "long" (format 32).
  s->icon.clear();
  for (const auto& p : pictures) {
    if (p.width <= 0 || p.height <= 0 || p.argb.size() != size_t(p.width) * size_t(p.height)) continue;
    s->icon.push_back(static_cast<unsigned long>(p.width));
    s->icon.push_back(static_cast<unsigned long>(p.height));
    for (uint32_t px : p.argb) s->icon.push_back(px);
  }
  if (!s->win) return;
  ApplyIcon(*s);
  XFlush(dpy_);
}

void X11Backend::ApplyIcon(Surface& s) {
  if (s.icon.empty()) XDeleteProperty(dpy_, s.win, atom("_NET_WM_ICON"));
  else
    XChangeProperty(dpy_, s.win, atom("_NET_WM_ICON"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(s.icon.data()), int(s.icon.size()));
}

void X11Backend::SetSizeHints(HWND h, SIZE minSize, SIZE maxSize) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* s = Find(h);
  if (!s) return;
  s->minSize = minSize;
  s->maxSize = maxSize;
  if (!s->win) return;
  ApplySizeHints(*s);
  XFlush(dpy_);
}

// The layer's place and size are the user's choice (managers honour them), with the limits of
// WM_GETMINMAXINFO.
void X11Backend::ApplySizeHints(Surface& s) {
  XSizeHints size{};
  size.flags = USPosition | USSize | PPosition | PSize;
  size.x = s.rect.left;
  size.y = s.rect.top;
  size.width = s.rect.right - s.rect.left;
  size.height = s.rect.bottom - s.rect.top;
  if (s.minSize.cx > 0 || s.minSize.cy > 0) {
    size.flags |= PMinSize;
    size.min_width = std::max<LONG>(1, s.minSize.cx);
    size.min_height = std::max<LONG>(1, s.minSize.cy);
  }
  if (s.maxSize.cx > 0 && s.maxSize.cy > 0) {
    size.flags |= PMaxSize;
    size.max_width = s.maxSize.cx;
    size.max_height = s.maxSize.cy;
  }
  XSetWMNormalHints(dpy_, s.win, &size);
}

void X11Backend::SetStyle(HWND h, DWORD style, DWORD exStyle) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* s = Find(h);
  if (!s) return;
  bool wasArgb = s->argb, wasPopup = s->popup;
  s->style = style;
  s->exStyle = exStyle;
  bool wantArgb = (exStyle & WS_EX_LAYERED) && visual32_;
  if (!s->win) {
    s->argb = wantArgb;
    s->visual = s->argb ? visual32_ : visual24_;
    s->depth = s->argb ? 32 : depth24_;
    FreeImage(*s);
    return;
  }
  if (wantArgb != wasArgb || IsPopup(style, exStyle) != wasPopup) {
    // A visual and override-redirect are fixed at creation: the surface is made anew.
    bool shown = s->mapped;
    DropWindow(*s);
    MakeWindow(*s);
    if (shown) ShowSurface(h, true);
  } else {
    ApplyProperties(*s);
  }
  XFlush(dpy_);
}

void X11Backend::Activate(HWND h) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* s = Find(h);
  if (!s || !s->mapped || s->popup) return;  // popups never take the focus
  if (HasWindowManager()) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = s->win;
    ev.xclient.message_type = atom("_NET_ACTIVE_WINDOW");
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = 1;  // from an application
    ev.xclient.data.l[1] = long(lastTime_);
    XSendEvent(dpy_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
  } else {
    // Without a window manager nobody else gives the focus. The window may not be viewable
    // yet (just mapped): wait for the server to map it.
    XSync(dpy_, False);
    XWindowAttributes wa;
    if (XGetWindowAttributes(dpy_, s->win, &wa) && wa.map_state == IsViewable)
      XSetInputFocus(dpy_, s->win, RevertToParent, CurrentTime);
  }
  XFlush(dpy_);
}

void X11Backend::Minimize(HWND h) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* s = Find(h);
  if (!s || !s->mapped) return;
  if (!HasWindowManager()) return;  // nobody would keep an icon: the window stays as it is
  s->iconic = true;
  XIconifyWindow(dpy_, s->win, screen_);
  XFlush(dpy_);
}

void X11Backend::SetShape(HWND h, const std::vector<RECT>* rects) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* s = Find(h);
  if (!s) return;
  s->hasShape = rects != nullptr;
  s->shape = rects ? *rects : std::vector<RECT>{};
  ApplyShape(*s);
  XFlush(dpy_);
}

void X11Backend::SetAlpha(HWND h, BYTE alpha) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* s = Find(h);
  if (!s) return;
  s->alpha = alpha;
  if (!s->win) return;
  ApplyOpacity(*s);
  XFlush(dpy_);
}

void X11Backend::SetColorKey(HWND h, bool enabled, COLORREF key) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* s = Find(h);
  if (!s) return;
  s->colorKey = enabled;
  s->key = key;
  if (!enabled) ApplyShape(*s);
}

// The colour key has no X equivalent: the key-coloured pixels are cut out by a shape.
void X11Backend::ApplyColorKeyShape(Surface& s, const uint32_t* px, int w, int h) {
  if (!shapeOk_ || !s.win) return;
  uint32_t key = ((s.key & 0xFF) << 16) | (s.key & 0xFF00) | ((s.key >> 16) & 0xFF);
  std::vector<XRectangle> rs;
  for (int y = 0; y < h; ++y) {
    int x = 0;
    while (x < w) {
      while (x < w && (px[size_t(y) * w + x] & 0xFFFFFF) == key) ++x;
      int start = x;
      while (x < w && (px[size_t(y) * w + x] & 0xFFFFFF) != key) ++x;
      if (x > start) rs.push_back(XRectangle{short(start), short(y), (unsigned short)(x - start), 1});
    }
  }
  XShapeCombineRectangles(dpy_, s.win, ShapeBounding, 0, 0, rs.data(), int(rs.size()), ShapeSet, YSorted);
  XShapeCombineRectangles(dpy_, s.win, ShapeInput, 0, 0, rs.data(), int(rs.size()), ShapeSet, YSorted);
}

// ---- presenting ---------------------------------------------------------------------------------

void X11Backend::FreeImage(Surface& s) {
  if (!s.image) return;
  if (s.shmAttached) {
    XShmDetach(dpy_, &s.shm);
    XSync(dpy_, False);
    shmdt(s.shm.shmaddr);
    s.image->data = nullptr;
  }
  XDestroyImage(s.image);
  s.image = nullptr;
  s.shmAttached = false;
  s.imgW = s.imgH = 0;
}

void X11Backend::EnsureImage(Surface& s, int w, int h) {
  if (s.image && s.imgW == w && s.imgH == h) return;
  FreeImage(s);
  if (w <= 0 || h <= 0) return;
  if (shmOk_) {
    XImage* img = XShmCreateImage(dpy_, s.visual, unsigned(s.depth), ZPixmap, nullptr, &s.shm, unsigned(w),
                                  unsigned(h));
    if (img && img->bits_per_pixel == 32) {
      s.shm.shmid = shmget(IPC_PRIVATE, size_t(img->bytes_per_line) * size_t(h), IPC_CREAT | 0600);
      if (s.shm.shmid >= 0) {
        s.shm.shmaddr = img->data = static_cast<char*>(shmat(s.shm.shmid, nullptr, 0));
        s.shm.readOnly = False;
        if (s.shm.shmaddr != reinterpret_cast<char*>(-1)) {
          // A remote server cannot attach: that shows as an error, and then XPutImage serves.
          g_shmError = 0;
          XSync(dpy_, False);
          auto old = XSetErrorHandler(CatchShmError);
          XShmAttach(dpy_, &s.shm);
          XSync(dpy_, False);
          XSetErrorHandler(old);
          shmctl(s.shm.shmid, IPC_RMID, nullptr);  // freed once both sides detach
          if (!g_shmError) {
            s.image = img;
            s.shmAttached = true;
            s.imgW = w;
            s.imgH = h;
            return;
          }
          shmdt(s.shm.shmaddr);
          shmOk_ = false;
        } else {
          shmctl(s.shm.shmid, IPC_RMID, nullptr);
        }
      }
      img->data = nullptr;
    }
    if (img) XDestroyImage(img);
  }
  char* mem = static_cast<char*>(std::calloc(size_t(w) * size_t(h), 4));
  s.image = XCreateImage(dpy_, s.visual, unsigned(s.depth), ZPixmap, 0, mem, unsigned(w), unsigned(h), 32, w * 4);
  if (!s.image) {
    std::free(mem);
    return;
  }
  s.imgW = w;
  s.imgH = h;
}

void X11Backend::PutRect(Surface& s, int x, int y, int w, int h) {
  if (!s.image || !s.win || w <= 0 || h <= 0) return;
  if (s.shmAttached) XShmPutImage(dpy_, s.win, s.gc, s.image, x, y, x, y, unsigned(w), unsigned(h), False);
  else XPutImage(dpy_, s.win, s.gc, s.image, x, y, x, y, unsigned(w), unsigned(h));
}

uint32_t* X11Backend::BackBufferMemory(HWND h, int width, int height) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* s = Find(h);
  if (!s || s->argb) return nullptr;
  EnsureImage(*s, width, height);
  if (!s->image || s->image->bytes_per_line != width * 4 || s->image->byte_order != LSBFirst) return nullptr;
  return reinterpret_cast<uint32_t*>(s->image->data);
}

void X11Backend::Present(HWND h, const uint32_t* px, int w, int h2, const std::vector<RECT>& dirty) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* s = Find(h);
  if (!s || !px || w <= 0 || h2 <= 0) return;
  EnsureImage(*s, w, h2);
  if (!s->image) return;
  const bool inPlace = reinterpret_cast<const char*>(px) == s->image->data;
  const bool lsb = s->image->byte_order == LSBFirst;
  for (const RECT& d : dirty) {
    int x0 = std::max<LONG>(0, d.left), y0 = std::max<LONG>(0, d.top);
    int x1 = std::min<LONG>(w, d.right), y1 = std::min<LONG>(h2, d.bottom);
    if (x0 >= x1 || y0 >= y1) continue;
    if (!inPlace) {
      for (int y = y0; y < y1; ++y) {
        auto* dst = reinterpret_cast<uint32_t*>(s->image->data + size_t(y) * size_t(s->image->bytes_per_line));
        const uint32_t* src = px + size_t(y) * size_t(w);
        if (lsb) {
          // Ordinary windows show opaque whatever alpha the drawing left.
          for (int x = x0; x < x1; ++x) dst[x] = src[x] | 0xFF000000u;
        } else {
          for (int x = x0; x < x1; ++x) dst[x] = __builtin_bswap32(src[x] | 0xFF000000u);
        }
      }
    }
    PutRect(*s, x0, y0, x1 - x0, y1 - y0);
  }
  if (s->colorKey) ApplyColorKeyShape(*s, px, w, h2);
  // Shared memory may be written again only once the server has read it.
  if (s->shmAttached) XSync(dpy_, False);
  else XFlush(dpy_);
}

void X11Backend::UpdateLayered(HWND h, const uint32_t* px, int w, int h2, BYTE alpha) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* s = Find(h);
  if (!s || !px || w <= 0 || h2 <= 0) return;
  // The window takes the image's size; premultiplied pixels go out as they are on an ARGB
  // surface, opaque on another.
  if (s->rect.right - s->rect.left != w || s->rect.bottom - s->rect.top != h2) {
    s->rect.right = s->rect.left + w;
    s->rect.bottom = s->rect.top + h2;
    if (s->win) XResizeWindow(dpy_, s->win, unsigned(w), unsigned(h2));
  }
  EnsureImage(*s, w, h2);
  if (!s->image) return;
  for (int y = 0; y < h2; ++y) {
    auto* dst = reinterpret_cast<uint32_t*>(s->image->data + size_t(y) * size_t(s->image->bytes_per_line));
    const uint32_t* src = px + size_t(y) * size_t(w);
    if (s->argb) std::memcpy(dst, src, size_t(w) * 4);
    else
      for (int x = 0; x < w; ++x) dst[x] = src[x] | 0xFF000000u;
  }
  s->alpha = alpha;
  if (s->win) ApplyOpacity(*s);
  PutRect(*s, 0, 0, w, h2);
  if (s->shmAttached) XSync(dpy_, False);
  else XFlush(dpy_);
}

// ---- native children ----------------------------------------------------------------------------

uintptr_t X11Backend::CreateChildSurface(HWND child, HWND top, const RECT& r) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  Surface* t = Find(top);
  if (!t) return 0;
  EnsureWindow(*t);
  DestroyChildSurface(child);
  XSetWindowAttributes a{};
  a.background_pixel = 0;
  a.event_mask = ExposureMask;
  int w = std::max<LONG>(1, r.right - r.left), h = std::max<LONG>(1, r.bottom - r.top);
  // Same depth and visual as the top-level, so other libraries can draw as into any window.
  unsigned long mask = CWBackPixel | CWEventMask | CWBorderPixel;
  a.border_pixel = 0;
  if (t->argb) {
    a.colormap = t->colormap;
    mask |= CWColormap;
  }
  Window w0 = XCreateWindow(dpy_, t->win, r.left, r.top, unsigned(w), unsigned(h), 0, t->depth, InputOutput, t->visual,
                            mask, &a);
  children_[child] = ChildSurface{w0, top};
  XSync(dpy_, False);
  return w0;
}

void X11Backend::PlaceChildSurface(HWND child, const RECT& r, bool shown) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  auto it = children_.find(child);
  if (it == children_.end()) return;
  int w = std::max<LONG>(1, r.right - r.left), h = std::max<LONG>(1, r.bottom - r.top);
  XMoveResizeWindow(dpy_, it->second.win, r.left, r.top, unsigned(w), unsigned(h));
  if (shown && r.right > r.left && r.bottom > r.top) XMapRaised(dpy_, it->second.win);
  else XUnmapWindow(dpy_, it->second.win);
  XFlush(dpy_);
}

void X11Backend::DestroyChildSurface(HWND child) {
  std::lock_guard<std::recursive_mutex> l(mutex_);
  auto it = children_.find(child);
  if (it == children_.end()) return;
  XDestroyWindow(dpy_, it->second.win);
  children_.erase(it);
  XFlush(dpy_);
}

}  // namespace win::x11
