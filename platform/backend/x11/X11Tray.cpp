// The tray icons over XEmbed: each icon is a small window the tray manager docks (system tray
// protocol, SYSTEM_TRAY_REQUEST_DOCK), drawn from the icon scaled to the window's size. Pointer
// events on it become the owner window's callback message, posted from the backend's event loop.
#include "base/Text.h"
#include "platform/Gdi.h"
#include "platform/WinUser.h"
#include "platform/backend/x11/X11Backend.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>


namespace win::x11 {

namespace {

constexpr long SYSTEM_TRAY_REQUEST_DOCK = 0;
constexpr unsigned long XEMBED_VERSION = 0, XEMBED_MAPPED = 1;
constexpr int kDefaultSize = 22;  // until the manager gives the icon its size

// The host in use: the tray of the backend created last (tests open several connections).
std::mutex g_installMutex;
Tray* g_installed = nullptr;

// Requests about windows of other clients (the manager may be gone at any moment) must not end
// the program: their errors are dropped while this lives.
class IgnoreErrors {
 public:
  explicit IgnoreErrors(Display* d) : d_(d) { old_ = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; }); }
  ~IgnoreErrors() {
    XSync(d_, False);
    XSetErrorHandler(old_);
  }

 private:
  Display* d_;
  int (*old_)(Display*, XErrorEvent*);
};

// The icon as premultiplied 0xAARRGGBB pixels of w x h, top row first.
std::vector<uint32_t> IconPixels(HICON icon, int w, int h) {
  std::vector<uint32_t> out(size_t(w) * size_t(h), 0);
  if (!icon || w <= 0 || h <= 0) return out;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = w;
  bmi.bmiHeader.biHeight = -h;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  HDC dc = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dc || !dib || !bits) {
    if (dib) DeleteObject(dib);
    if (dc) DeleteDC(dc);
    return out;
  }
  HGDIOBJ old = SelectObject(dc, dib);
  auto* px = static_cast<uint32_t*>(bits);
  const size_t n = out.size();
  // An icon with alpha blends onto the cleared bitmap, leaving premultiplied pixels; one without
  // leaves alpha 0 everywhere and takes its transparency from the mask.
  std::memset(px, 0, n * 4);
  DrawIconEx(dc, 0, 0, icon, w, h, 0, nullptr, DI_IMAGE);
  bool alpha = false;
  for (size_t i = 0; i < n && !alpha; ++i) alpha = (px[i] >> 24) != 0;
  if (alpha) {
    out.assign(px, px + n);
  } else {
    std::vector<uint32_t> color(px, px + n);
    DrawIconEx(dc, 0, 0, icon, w, h, 0, nullptr, DI_MASK);
    for (size_t i = 0; i < n; ++i) out[i] = (px[i] & 0xFFFFFF) ? 0 : (color[i] | 0xFF000000u);
  }
  SelectObject(dc, old);
  DeleteObject(dib);
  DeleteDC(dc);
  return out;
}

// The hint's picture, drawn by our own text drawing: the bold title over the text on the
// tips' pale colour in a grey frame. Sets w and h; pixels are 0x00RRGGBB.
std::vector<uint32_t> RenderHint(const std::string& title, const std::string& text, int& w, int& h) {
  constexpr int kPad = 4, kMaxText = 320;
  w = h = 0;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return {};
  LOGFONT lf{};
  GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  HFONT normal = CreateFontIndirect(&lf);
  lf.lfWeight = FW_BOLD;
  HFONT bold = CreateFontIndirect(&lf);
  HGDIOBJ oldFont = SelectObject(dc, bold);
  RECT tr{0, 0, kMaxText, 0}, xr{0, 0, kMaxText, 0};
  if (!title.empty()) DrawText(dc, title, &tr, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
  SelectObject(dc, normal);
  if (!text.empty()) DrawText(dc, text, &xr, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
  const int titleH = title.empty() ? 0 : tr.bottom + (text.empty() ? 0 : 2);
  w = std::max<int>(std::min<int>(std::max(tr.right, xr.right), kMaxText), 1) + 2 * kPad;
  h = titleH + (text.empty() ? 0 : xr.bottom) + 2 * kPad;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = w;
  bmi.bmiHeader.biHeight = -h;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<uint32_t> out;
  if (dib && bits) {
    HGDIOBJ oldBitmap = SelectObject(dc, dib);
    RECT all{0, 0, w, h};
    HBRUSH face = CreateSolidBrush(RGB(255, 255, 225)), frame = CreateSolidBrush(RGB(118, 118, 118));
    FillRect(dc, &all, face);
    FrameRect(dc, &all, frame);
    DeleteObject(face);
    DeleteObject(frame);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT r{kPad, kPad, w - kPad, kPad + titleH};
    if (!title.empty()) {
      SelectObject(dc, bold);
      DrawText(dc, title, &r, DT_NOPREFIX | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
    r = RECT{kPad, kPad + titleH, w - kPad, h - kPad};
    SelectObject(dc, normal);
    if (!text.empty()) DrawText(dc, text, &r, DT_NOPREFIX | DT_WORDBREAK);
    const auto* px = static_cast<const uint32_t*>(bits);
    out.assign(px, px + size_t(w) * size_t(h));
    for (uint32_t& p : out) p &= 0xFFFFFF;
    SelectObject(dc, oldBitmap);
  }
  SelectObject(dc, oldFont);
  if (dib) DeleteObject(dib);
  DeleteObject(normal);
  DeleteObject(bold);
  DeleteDC(dc);
  if (out.empty()) w = h = 0;
  return out;
}

}  // namespace

Tray::Tray(X11Backend& b) : b_(b), dpy_(b.dpy()) {
  selection_ = b_.atom(("_NET_SYSTEM_TRAY_S" + std::to_string(b_.screen())).c_str());
  std::lock_guard<std::mutex> l(g_installMutex);
  g_installed = this;
  shell::SetTrayHost(this);
}

Tray::~Tray() {
  {
    std::lock_guard<std::mutex> l(g_installMutex);
    if (g_installed == this) {
      g_installed = nullptr;
      shell::SetTrayHost(nullptr);
    }
  }
  std::lock_guard<std::recursive_mutex> l(b_.lock());
  HideHint(tip_);
  HideHint(balloon_);
  for (auto& [key, icon] : icons_) {
    DropWindow(icon);
    if (icon.icon) DestroyIcon(icon.icon);
  }
  icons_.clear();
}

Window Tray::Owner() { return XGetSelectionOwner(dpy_, selection_); }

bool Tray::Dock(Icon& icon, Window owner, unsigned long since) {
  IgnoreErrors guard(dpy_);
  // The manager's preferred visual: ARGB when it offers a 32-bit one.
  Visual* visual = DefaultVisual(dpy_, b_.screen());
  int depth = DefaultDepth(dpy_, b_.screen());
  bool argb = false;
  Atom type;
  int format;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(dpy_, owner, b_.atom("_NET_SYSTEM_TRAY_VISUAL"), 0, 1, False, XA_VISUALID, &type, &format,
                         &n, &after, &data) == Success &&
      data && n == 1 && format == 32) {
    XVisualInfo want{};
    want.visualid = VisualID(reinterpret_cast<unsigned long*>(data)[0]);
    want.screen = b_.screen();
    int count = 0;
    XVisualInfo* found = XGetVisualInfo(dpy_, VisualIDMask | VisualScreenMask, &want, &count);
    if (found && count > 0 && found[0].depth == 32) {
      visual = found[0].visual;
      depth = 32;
      argb = true;
    }
    if (found) XFree(found);
  }
  if (data) XFree(data);

  XSetWindowAttributes attrs{};
  unsigned long mask = CWEventMask;
  attrs.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                     EnterWindowMask | LeaveWindowMask;
  Colormap colormap = 0;
  if (argb) {
    colormap = XCreateColormap(dpy_, b_.root(), visual, AllocNone);
    attrs.colormap = colormap;
    attrs.background_pixel = 0;
    attrs.border_pixel = 0;
    mask |= CWColormap | CWBackPixel | CWBorderPixel;
  } else {
    // The tray's own background shows through the transparent pixels.
    attrs.background_pixmap = ParentRelative;
    mask |= CWBackPixmap;
  }
  Window win = XCreateWindow(dpy_, b_.root(), 0, 0, kDefaultSize, kDefaultSize, 0, depth, InputOutput, visual, mask,
                             &attrs);
  if (!win) {
    if (colormap) XFreeColormap(dpy_, colormap);
    return false;
  }
  icon.win = win;
  icon.visual = visual;
  icon.depth = depth;
  icon.colormap = colormap;
  icon.argb = argb;
  icon.w = icon.h = kDefaultSize;
  byWindow_[win] = Key{icon.hwnd, icon.id};
  XStoreName(dpy_, win, "ombrel-tray");
  unsigned long info[2] = {XEMBED_VERSION, XEMBED_MAPPED};
  XChangeProperty(dpy_, win, b_.atom("_XEMBED_INFO"), b_.atom("_XEMBED_INFO"), 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(info), 2);

  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = owner;
  ev.xclient.message_type = b_.atom("_NET_SYSTEM_TRAY_OPCODE");
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = long(CurrentTime);
  ev.xclient.data.l[1] = SYSTEM_TRAY_REQUEST_DOCK;
  ev.xclient.data.l[2] = long(win);
  XSendEvent(dpy_, owner, False, NoEventMask, &ev);
  icon.since = since;
  return true;
}

void Tray::DropWindow(Icon& icon) {
  if (!icon.win) return;
  const Key key{icon.hwnd, icon.id};
  if (tip_.owner == key) HideHint(tip_);
  if (balloon_.owner == key) HideHint(balloon_);
  IgnoreErrors guard(dpy_);  // the manager's end may have taken the window with it
  byWindow_.erase(icon.win);
  XDestroyWindow(dpy_, icon.win);
  if (icon.colormap) XFreeColormap(dpy_, icon.colormap);
  icon.win = 0;
  icon.colormap = 0;
}

bool Tray::NotifyIcon(DWORD message, const NOTIFYICONDATA& data) {
  std::lock_guard<std::recursive_mutex> l(b_.lock());
  const Key key{data.hWnd, data.uID};
  auto it = icons_.find(key);
  if (message == NIM_DELETE) {
    if (it == icons_.end()) return false;
    DropWindow(it->second);
    if (it->second.icon) DestroyIcon(it->second.icon);
    icons_.erase(it);
    XFlush(dpy_);
    return true;
  }
  if (message != NIM_ADD && message != NIM_MODIFY) return false;
  if ((message == NIM_ADD) != (it == icons_.end())) return false;  // added twice, or changing none

  Icon fresh;
  Icon& icon = it == icons_.end() ? fresh : it->second;
  if (message == NIM_ADD) {
    icon.hwnd = data.hWnd;
    icon.id = data.uID;
  }
  if (data.uFlags & NIF_MESSAGE) icon.callback = data.uCallbackMessage;
  // The shell's fields count characters: cut at code points, never inside one.
  if (data.uFlags & NIF_TIP) icon.tip = Utf8Left(data.szTip, 127);
  const bool info = data.uFlags & NIF_INFO;
  if (info) {
    icon.info = Utf8Left(data.szInfo, 255);
    icon.infoTitle = Utf8Left(data.szInfoTitle, 63);
    icon.infoFlags = data.dwInfoFlags;
  }
  if ((data.uFlags & NIF_TIP) && tip_.owner == key && tip_.win) ShowHint(tip_, icon, "", icon.tip);
  if (data.uFlags & NIF_ICON) {
    // A copy of our own: the caller may destroy its icon right after the call.
    HICON copy = data.hIcon ? CopyIcon(data.hIcon) : nullptr;
    if (icon.icon) DestroyIcon(icon.icon);
    icon.icon = copy;
  }
  if (message == NIM_ADD) {
    const unsigned long since = NextRequest(dpy_);
    Window owner = Owner();
    if (!owner) {
      if (icon.icon) DestroyIcon(icon.icon);
      return false;
    }
    auto [pos, inserted] = icons_.emplace(key, std::move(fresh));
    if (!Dock(pos->second, owner, since)) {
      if (pos->second.icon) DestroyIcon(pos->second.icon);
      icons_.erase(pos);
      return false;
    }
  } else if (data.uFlags & NIF_ICON) {
    Draw(icon);
  }
  // A balloon with text shows beside its icon until clicked; an empty one takes it away.
  if (info) {
    Icon& placed = icons_.at(key);
    if (!placed.info.empty())
      ShowHint(balloon_, placed, placed.infoTitle, placed.info);
    else if (balloon_.owner == key)
      HideHint(balloon_);
  }
  XFlush(dpy_);
  return true;
}

void Tray::ShowHint(Hint& hint, const Icon& icon, const std::string& title, const std::string& text) {
  HideHint(hint);
  if (!icon.win || (title.empty() && text.empty())) return;
  IgnoreErrors guard(dpy_);
  int x = 0, y = 0;
  Window child = 0;
  if (!XTranslateCoordinates(dpy_, icon.win, b_.root(), 0, 0, &x, &y, &child)) return;
  std::vector<uint32_t> px = RenderHint(title, text, hint.w, hint.h);
  if (px.empty()) return;
  // Below the icon, or above it where the screen ends; never off the screen's sides.
  const int sw = DisplayWidth(dpy_, b_.screen()), sh = DisplayHeight(dpy_, b_.screen());
  const int hx = std::clamp(x + icon.w / 2 - hint.w / 2, 0, std::max(0, sw - hint.w));
  int hy = y + icon.h + 2;
  if (hy + hint.h > sh) hy = std::max(0, y - hint.h - 2);
  XSetWindowAttributes attrs{};
  attrs.override_redirect = True;
  attrs.event_mask = ExposureMask | ButtonPressMask;
  Window win = XCreateWindow(dpy_, b_.root(), hx, hy, unsigned(hint.w), unsigned(hint.h), 0, CopyFromParent,
                             InputOutput, CopyFromParent, CWOverrideRedirect | CWEventMask, &attrs);
  if (!win) return;
  hint.win = win;
  hint.owner = Key{icon.hwnd, icon.id};
  hint.px = std::move(px);
  XStoreName(dpy_, win, "ombrel-tray-hint");
  XMapRaised(dpy_, win);
}

void Tray::HideHint(Hint& hint) {
  if (!hint.win) return;
  IgnoreErrors guard(dpy_);
  XDestroyWindow(dpy_, hint.win);
  hint = Hint{};
}

void Tray::DrawHint(const Hint& hint) {
  if (!hint.win || hint.px.empty()) return;
  IgnoreErrors guard(dpy_);
  Visual* visual = DefaultVisual(dpy_, b_.screen());
  XImage* img = XCreateImage(dpy_, visual, unsigned(DefaultDepth(dpy_, b_.screen())), ZPixmap, 0, nullptr,
                             unsigned(hint.w), unsigned(hint.h), 32, 0);
  if (!img) return;
  img->data = static_cast<char*>(std::calloc(size_t(img->bytes_per_line) * size_t(hint.h), 1));
  if (!img->data) {
    XDestroyImage(img);
    return;
  }
  for (int y = 0; y < hint.h; ++y)
    for (int x = 0; x < hint.w; ++x) XPutPixel(img, x, y, hint.px[size_t(y) * size_t(hint.w) + size_t(x)]);
  GC gc = XCreateGC(dpy_, hint.win, 0, nullptr);
  XPutImage(dpy_, hint.win, gc, img, 0, 0, 0, 0, unsigned(hint.w), unsigned(hint.h));
  XFreeGC(dpy_, gc);
  XDestroyImage(img);
}

void Tray::Draw(Icon& icon) {
  if (!icon.win || icon.w <= 0 || icon.h <= 0) return;
  IgnoreErrors guard(dpy_);
  std::vector<uint32_t> px = IconPixels(icon.icon, icon.w, icon.h);
  XImage* img = XCreateImage(dpy_, icon.visual, unsigned(icon.depth), ZPixmap, 0, nullptr, unsigned(icon.w),
                             unsigned(icon.h), 32, 0);
  if (!img) return;
  img->data = static_cast<char*>(std::calloc(size_t(img->bytes_per_line) * size_t(icon.h), 1));
  if (!img->data) {
    XDestroyImage(img);
    return;
  }
  GC gc = XCreateGC(dpy_, icon.win, 0, nullptr);
  if (icon.argb) {
    for (int y = 0; y < icon.h; ++y)
      for (int x = 0; x < icon.w; ++x) XPutPixel(img, x, y, px[size_t(y) * icon.w + x]);
  } else {
    // Without alpha on the window, the half-transparent and opaque pixels are drawn in full
    // colour through a clip mask; the tray's background stays under the rest.
    Pixmap clip = XCreatePixmap(dpy_, icon.win, unsigned(icon.w), unsigned(icon.h), 1);
    GC clipGc = XCreateGC(dpy_, clip, 0, nullptr);
    XSetForeground(dpy_, clipGc, 0);
    XFillRectangle(dpy_, clip, clipGc, 0, 0, unsigned(icon.w), unsigned(icon.h));
    XSetForeground(dpy_, clipGc, 1);
    for (int y = 0; y < icon.h; ++y)
      for (int x = 0; x < icon.w; ++x) {
        uint32_t p = px[size_t(y) * icon.w + x];
        uint32_t a = p >> 24;
        if (a < 128) continue;
        // Back from premultiplied to plain colour.
        uint32_t r = ((p >> 16) & 0xFF) * 255 / a, g = ((p >> 8) & 0xFF) * 255 / a, bl = (p & 0xFF) * 255 / a;
        XPutPixel(img, x, y, (std::min(r, 255u) << 16) | (std::min(g, 255u) << 8) | std::min(bl, 255u));
        XDrawPoint(dpy_, clip, clipGc, x, y);
      }
    XFreeGC(dpy_, clipGc);
    XClearWindow(dpy_, icon.win);
    XSetClipMask(dpy_, gc, clip);
    XFreePixmap(dpy_, clip);
  }
  XPutImage(dpy_, icon.win, gc, img, 0, 0, 0, 0, unsigned(icon.w), unsigned(icon.h));
  XFreeGC(dpy_, gc);
  XDestroyImage(img);  // frees the data as well
}

void Tray::Callback(const Icon& icon, UINT mouseMsg) {
  if (icon.callback && icon.hwnd) posts_.push_back(Post{icon.hwnd, icon.callback, WPARAM(icon.id), LPARAM(mouseMsg)});
}

bool Tray::HandleEvent(XEvent& ev) {
  if (ev.type == ClientMessage && ev.xclient.window == b_.root()) {
    if (ev.xclient.message_type != b_.atom("MANAGER") || Atom(ev.xclient.data.l[1]) != selection_) return false;
    // A new tray manager: every icon is docked there afresh, in a new window since the old one
    // may have gone with the previous manager.
    Window owner = Window(ev.xclient.data.l[2]);
    if (!owner) owner = Owner();
    if (!owner) return true;
    // Programs hear of it as of a restarted taskbar.
    announce_ = true;
    const unsigned long since = NextRequest(dpy_);
    for (auto& [key, icon] : icons_) {
      // An announcement older than the dock request is of the manager the icon went to (a
      // manager's window id says nothing: a successor may get the same one).
      if (icon.win && ev.xany.serial < icon.since) continue;
      DropWindow(icon);
      Dock(icon, owner, since);
    }
    XFlush(dpy_);
    return true;
  }
  for (Hint* hint : {&tip_, &balloon_}) {
    if (!hint->win || ev.xany.window != hint->win) continue;
    if (ev.type == Expose && ev.xexpose.count == 0) DrawHint(*hint);
    if (ev.type == ButtonPress && hint == &balloon_) {
      const Key owner = balloon_.owner;
      HideHint(balloon_);
      if (auto ic = icons_.find(owner); ic != icons_.end()) Callback(ic->second, NIN_BALLOONUSERCLICK);
    }
    return true;
  }
  auto it = byWindow_.find(ev.xany.window);
  if (it == byWindow_.end()) return false;
  auto ic = icons_.find(it->second);
  if (ic == icons_.end()) return true;
  Icon& icon = ic->second;
  switch (ev.type) {
    case Expose:
      if (ev.xexpose.count == 0) Draw(icon);
      break;
    case ConfigureNotify:
      if (ev.xconfigure.width != icon.w || ev.xconfigure.height != icon.h) {
        icon.w = ev.xconfigure.width;
        icon.h = ev.xconfigure.height;
        Draw(icon);
      }
      break;
    case ReparentNotify:
      // Back on the root (its manager ended): no stray icon on the desktop.
      if (ev.xreparent.parent == b_.root()) XUnmapWindow(dpy_, icon.win);
      break;
    case DestroyNotify:
      if (ev.xdestroywindow.window == icon.win) {
        byWindow_.erase(icon.win);
        icon.win = 0;
      }
      break;
    case EnterNotify:
      if (!(balloon_.win && balloon_.owner == it->second)) ShowHint(tip_, icon, "", icon.tip);
      break;
    case LeaveNotify:
      if (tip_.owner == it->second) HideHint(tip_);
      break;
    case MotionNotify: {
      XEvent next;
      while (XCheckTypedWindowEvent(dpy_, icon.win, MotionNotify, &next)) {
      }
      Callback(icon, WM_MOUSEMOVE);
      break;
    }
    case ButtonPress:
    case ButtonRelease: {
      const unsigned button = ev.xbutton.button;
      if (button != Button1 && button != Button3) break;
      const int i = button == Button1 ? 0 : 1;
      const Time t = ev.xbutton.time;
      if (tip_.owner == it->second) HideHint(tip_);
      if (ev.type == ButtonPress) {
        // A second press within the double-click time is the double click; the next press
        // starts over.
        bool dbl = icon.lastDown[i] != 0 && t >= icon.lastDown[i] && t - icon.lastDown[i] <= Time(GetDoubleClickTime());
        icon.lastDown[i] = dbl ? 0 : (t ? t : 1);
        Callback(icon, dbl ? (i == 0 ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK) : (i == 0 ? WM_LBUTTONDOWN : WM_RBUTTONDOWN));
      } else {
        Callback(icon, i == 0 ? WM_LBUTTONUP : WM_RBUTTONUP);
      }
      break;
    }
    default:
      break;
  }
  return true;
}

void Tray::PostPending() {
  std::vector<Post> out;
  bool announce = false;
  {
    std::lock_guard<std::recursive_mutex> l(b_.lock());
    out.swap(posts_);
    std::swap(announce, announce_);
  }
  for (const Post& p : out) PostMessage(p.hwnd, p.msg, p.w, p.l);
  if (announce) PostMessage(HWND_BROADCAST, RegisterWindowMessage("TaskbarCreated"), 0, 0);
}

}  // namespace win::x11
