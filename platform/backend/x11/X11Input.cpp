// The X11 backend's events: pointer, wheel, crossing, keys (virtual-key codes, text through the
// input method), focus, exposure, configuration, closing, iconic state, screen changes; and the
// XTest helpers that tests drive real input with.
#include "platform/backend/x11/X11.h"
#include "platform/backend/x11/X11Backend.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstring>


namespace win::x11 {

namespace {

struct KeyMap {
  KeySym sym;
  int vk;
};

// Keys that are not letters or digits.
constexpr KeyMap kKeys[] = {
    {XK_BackSpace, VK_BACK}, {XK_Tab, VK_TAB}, {XK_ISO_Left_Tab, VK_TAB}, {XK_Return, VK_RETURN},
    {XK_KP_Enter, VK_RETURN}, {XK_Escape, VK_ESCAPE}, {XK_space, VK_SPACE}, {XK_Delete, VK_DELETE},
    {XK_KP_Delete, VK_DELETE}, {XK_Insert, VK_INSERT}, {XK_KP_Insert, VK_INSERT}, {XK_Home, VK_HOME},
    {XK_KP_Home, VK_HOME}, {XK_End, VK_END}, {XK_KP_End, VK_END}, {XK_Prior, VK_PRIOR}, {XK_KP_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT}, {XK_KP_Next, VK_NEXT}, {XK_Left, VK_LEFT}, {XK_KP_Left, VK_LEFT}, {XK_Right, VK_RIGHT},
    {XK_KP_Right, VK_RIGHT}, {XK_Up, VK_UP}, {XK_KP_Up, VK_UP}, {XK_Down, VK_DOWN}, {XK_KP_Down, VK_DOWN},
    {XK_Shift_L, VK_SHIFT}, {XK_Shift_R, VK_SHIFT}, {XK_Control_L, VK_CONTROL}, {XK_Control_R, VK_CONTROL},
    {XK_Alt_L, VK_MENU}, {XK_Alt_R, VK_MENU}, {XK_Meta_L, VK_MENU}, {XK_ISO_Level3_Shift, VK_MENU},
    {XK_Caps_Lock, VK_CAPITAL}, {XK_Num_Lock, VK_NUMLOCK}, {XK_Scroll_Lock, VK_SCROLL}, {XK_Pause, VK_PAUSE},
    {XK_Print, VK_SNAPSHOT}, {XK_Menu, VK_APPS}, {XK_Super_L, VK_LWIN}, {XK_Super_R, VK_RWIN},
    {XK_KP_0, VK_NUMPAD0}, {XK_KP_1, VK_NUMPAD0 + 1}, {XK_KP_2, VK_NUMPAD0 + 2}, {XK_KP_3, VK_NUMPAD0 + 3},
    {XK_KP_4, VK_NUMPAD0 + 4}, {XK_KP_5, VK_NUMPAD0 + 5}, {XK_KP_6, VK_NUMPAD0 + 6}, {XK_KP_7, VK_NUMPAD0 + 7},
    {XK_KP_8, VK_NUMPAD0 + 8}, {XK_KP_9, VK_NUMPAD0 + 9}, {XK_KP_Multiply, VK_MULTIPLY}, {XK_KP_Add, VK_ADD},
    {XK_KP_Subtract, VK_SUBTRACT}, {XK_KP_Decimal, VK_DECIMAL}, {XK_KP_Divide, VK_DIVIDE},
    {XK_semicolon, VK_OEM_1}, {XK_equal, VK_OEM_PLUS}, {XK_comma, VK_OEM_COMMA}, {XK_minus, VK_OEM_MINUS},
    {XK_period, VK_OEM_PERIOD}, {XK_slash, VK_OEM_2}, {XK_grave, VK_OEM_3}, {XK_bracketleft, VK_OEM_4},
    {XK_backslash, VK_OEM_5}, {XK_bracketright, VK_OEM_6}, {XK_apostrophe, VK_OEM_7},
};

int VkOfKeySym(KeySym sym) {
  if (sym >= XK_a && sym <= XK_z) return int('A' + (sym - XK_a));
  if (sym >= XK_A && sym <= XK_Z) return int(sym);
  if (sym >= XK_0 && sym <= XK_9) return int(sym);
  if (sym >= XK_F1 && sym <= XK_F24) return VK_F1 + int(sym - XK_F1);
  for (const KeyMap& k : kKeys)
    if (k.sym == sym) return k.vk;
  return 0;
}

KeySym KeySymOfVk(int vk) {
  if (vk >= 'A' && vk <= 'Z') return XK_a + KeySym(vk - 'A');
  if (vk >= '0' && vk <= '9') return KeySym(vk);
  if (vk >= VK_F1 && vk <= VK_F1 + 23) return XK_F1 + KeySym(vk - VK_F1);
  if (vk == VK_SHIFT || vk == VK_LSHIFT) return XK_Shift_L;
  if (vk == VK_CONTROL || vk == VK_LCONTROL) return XK_Control_L;
  if (vk == VK_MENU || vk == VK_LMENU) return XK_Alt_L;
  for (const KeyMap& k : kKeys)
    if (k.vk == vk) return k.sym;
  return NoSymbol;
}

// The code point a key symbol types when no input method is there.
uint32_t CodePointOfKeySym(KeySym sym) {
  if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF)) return uint32_t(sym);
  if ((sym & 0xFF000000) == 0x01000000) return uint32_t(sym & 0x00FFFFFF);
  return 0;
}

void DecodeUtf8(const char* s, int n, std::vector<uint32_t>& out) {
  for (int i = 0; i < n;) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > n) {
      ++i;
      continue;
    }
    uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out.push_back(cp);
    i += len;
  }
}

}  // namespace

unsigned X11Backend::KeycodeOfVk(int vk) {
  KeySym sym = KeySymOfVk(vk);
  return sym == NoSymbol ? 0 : XKeysymToKeycode(dpy_, sym);
}

void X11Backend::HandleKey(XKeyEvent& ev, Surface* s) {
  backend::Event e;
  e.hwnd = s ? s->hwnd : nullptr;
  e.pt = POINT{ev.x_root, ev.y_root};
  e.time = DWORD(ev.time);
  KeySym base = XLookupKeysym(&ev, 0);
  e.vk = VkOfKeySym(base);
  if (ev.type == KeyRelease) {
    // An auto-repeated key comes as release and press at the same time: Windows sends only
    // repeated key-downs.
    if (XEventsQueued(dpy_, QueuedAfterReading)) {
      XEvent next;
      XPeekEvent(dpy_, &next);
      if (next.type == KeyPress && next.xkey.time == ev.time && next.xkey.keycode == ev.keycode) {
        XNextEvent(dpy_, &next);
        e.kind = backend::Event::KeyDown;
        e.repeat = true;
        if (e.vk) Deliver(e);
        HandleKey(next.xkey, s);  // its text, without a second key-down
        return;
      }
    }
    e.kind = backend::Event::KeyUp;
    if (e.vk) Deliver(e);
    return;
  }
  // The text the key types: through the input method when there is one (Chinese input
  // included), else from the key symbol.
  char buf[64];
  KeySym sym = NoSymbol;
  int n = 0;
  std::vector<uint32_t> text;
  if (s && s->xic) {
    Status status = 0;
    n = Xutf8LookupString(s->xic, &ev, buf, sizeof buf - 1, &sym, &status);
    if (status == XBufferOverflow) n = 0;
    if (status == XLookupChars || status == XLookupBoth) DecodeUtf8(buf, n, text);
  } else {
    n = XLookupString(&ev, buf, sizeof buf - 1, &sym, nullptr);
    if (uint32_t cp = CodePointOfKeySym(sym)) text.push_back(cp);
  }
  // Control characters come from the layer's own translation of the key (Enter, Tab, Back,
  // Escape, Ctrl+letter), not from the text.
  std::u32string typed;
  for (uint32_t cp : text)
    if (cp >= 0x20 && cp != 0x7F && !(ev.state & ControlMask)) typed.push_back(char32_t(cp));
  if (e.vk) {
    e.kind = backend::Event::KeyDown;
    e.text = typed;
    e.hasText = true;
    Deliver(e);
    return;
  }
  // Text with no key of its own: what an input method composed.
  for (char32_t cp : typed) {
    backend::Event t = e;
    t.kind = backend::Event::Text;
    t.ch = uint32_t(cp);
    Deliver(t);
  }
}

void X11Backend::HandleEvent(XEvent& ev) {
  if (ev.type == SelectionRequest) {
    HandleSelectionRequest(ev.xselectionrequest);
    return;
  }
  if (ev.type == SelectionClear) {
    if (ev.xselectionclear.selection == atom("CLIPBOARD")) ownsClipboard_ = false;
    return;
  }
  if (randrOk_ && ev.type == randrEvent_ + RRScreenChangeNotify) {
    XRRUpdateConfiguration(&ev);
    monitorsRead_ = false;
    backend::Event e;
    e.kind = backend::Event::DisplayChanged;
    Deliver(e);
    return;
  }
  if (ev.type == PropertyNotify && ev.xproperty.window == root_) {
    if (ev.xproperty.atom == atom("_NET_WORKAREA")) monitorsRead_ = false;
    if (ev.xproperty.atom == atom("_NET_SUPPORTING_WM_CHECK")) wmState_ = -1;
    return;
  }
  if (tray_ && tray_->HandleEvent(ev)) return;
  HWND h = HwndOf(ev.xany.window);
  Surface* s = h ? Find(h) : nullptr;
  if (!s) return;
  backend::Event e;
  e.hwnd = h;
  switch (ev.type) {
    case MotionNotify: {
      // Only the latest position counts.
      XEvent next;
      while (XCheckTypedWindowEvent(dpy_, ev.xany.window, MotionNotify, &next)) ev = next;
      e.kind = backend::Event::PointerMove;
      e.pt = POINT{ev.xmotion.x_root, ev.xmotion.y_root};
      e.time = DWORD(ev.xmotion.time);
      lastTime_ = ev.xmotion.time;
      Deliver(e);
      break;
    }
    case ButtonPress:
    case ButtonRelease: {
      const auto& b = ev.xbutton;
      e.pt = POINT{b.x_root, b.y_root};
      e.time = DWORD(b.time);
      lastTime_ = b.time;
      if (b.button == Button4 || b.button == Button5) {
        if (ev.type == ButtonPress) {
          e.kind = backend::Event::Wheel;
          e.wheelDelta = b.button == Button4 ? WHEEL_DELTA : -WHEEL_DELTA;
          Deliver(e);
        }
        break;
      }
      if (b.button > Button3) break;
      e.kind = ev.type == ButtonPress ? backend::Event::ButtonDown : backend::Event::ButtonUp;
      e.button = b.button == Button1 ? 0 : b.button == Button3 ? 1 : 2;
      Deliver(e);
      break;
    }
    case EnterNotify:
    case LeaveNotify:
      if (ev.xcrossing.mode != NotifyNormal) break;  // grabs move no pointer
      e.kind = ev.type == EnterNotify ? backend::Event::Enter : backend::Event::Leave;
      e.pt = POINT{ev.xcrossing.x_root, ev.xcrossing.y_root};
      e.time = DWORD(ev.xcrossing.time);
      Deliver(e);
      break;
    case KeyPress:
    case KeyRelease:
      lastTime_ = ev.xkey.time;
      HandleKey(ev.xkey, s);
      break;
    case FocusIn:
    case FocusOut:
      // Focus moves caused by grabs, and those to inner windows, are no activation changes.
      if (ev.xfocus.mode == NotifyGrab || ev.xfocus.mode == NotifyUngrab) break;
      if (ev.xfocus.detail == NotifyInferior || ev.xfocus.detail == NotifyPointer) break;
      if (ev.type == FocusIn) {
        // A focus that has moved on since is no news: acting on it would take the focus back.
        Window now = 0;
        int revert = 0;
        XGetInputFocus(dpy_, &now, &revert);
        if (now != s->win) break;
      }
      if (s->xic) {
        if (ev.type == FocusIn) XSetICFocus(s->xic);
        else XUnsetICFocus(s->xic);
      }
      e.kind = ev.type == FocusIn ? backend::Event::FocusGained : backend::Event::FocusLost;
      Deliver(e);
      break;
    case Expose: {
      // Served from the image of the last present; the layer is told as well.
      const auto& x = ev.xexpose;
      if (s->image) PutRect(*s, x.x, x.y, std::min(x.width, s->imgW - x.x), std::min(x.height, s->imgH - x.y));
      e.kind = backend::Event::Exposed;
      e.rect = RECT{x.x, x.y, x.x + x.width, x.y + x.height};
      Deliver(e);
      break;
    }
    case ConfigureNotify: {
      // Where the window really is on the screen (a manager may have reparented it).
      int rx = 0, ry = 0;
      Window child;
      XTranslateCoordinates(dpy_, s->win, root_, 0, 0, &rx, &ry, &child);
      RECT r{rx, ry, rx + ev.xconfigure.width, ry + ev.xconfigure.height};
      if (r.left == s->rect.left && r.top == s->rect.top && r.right == s->rect.right && r.bottom == s->rect.bottom)
        break;  // the layer's own move coming back
      s->rect = r;
      e.kind = backend::Event::Configured;
      e.rect = r;
      Deliver(e);
      break;
    }
    case MapNotify:
      if (!s->mapped || !s->wantShown) break;
      s->iconic = false;
      e.kind = backend::Event::Restored;
      Deliver(e);
      break;
    case UnmapNotify:
      // Unmapped by the window manager while the layer still shows it: iconified.
      if (s->wantShown) {
        s->iconic = true;
        e.kind = backend::Event::Minimized;
        Deliver(e);
      }
      break;
    case ClientMessage:
      if (ev.xclient.message_type == atom("WM_PROTOCOLS") &&
          Atom(ev.xclient.data.l[0]) == atom("WM_DELETE_WINDOW")) {
        e.kind = backend::Event::CloseRequested;
        Deliver(e);
      }
      break;
    default:
      break;
  }
}

// ---- XTest --------------------------------------------------------------------------------------

namespace {
X11Backend* As(backend::Backend& b) { return dynamic_cast<X11Backend*>(&b); }
bool HaveXTest(Display* d) {
  int ev, err, major, minor;
  return XTestQueryExtension(d, &ev, &err, &major, &minor);
}
}  // namespace

bool FakeMotion(backend::Backend& b, int x, int y) {
  auto* xb = As(b);
  if (!xb) return false;
  std::lock_guard<std::recursive_mutex> l(xb->lock());
  if (!HaveXTest(xb->dpy())) return false;
  XTestFakeMotionEvent(xb->dpy(), -1, x, y, CurrentTime);
  XSync(xb->dpy(), False);
  return true;
}

bool FakeButton(backend::Backend& b, int button, bool down) {
  auto* xb = As(b);
  if (!xb) return false;
  std::lock_guard<std::recursive_mutex> l(xb->lock());
  if (!HaveXTest(xb->dpy())) return false;
  unsigned xbutton = button == 0 ? Button1 : button == 1 ? Button3 : Button2;
  XTestFakeButtonEvent(xb->dpy(), xbutton, down, CurrentTime);
  XSync(xb->dpy(), False);
  return true;
}

bool FakeKey(backend::Backend& b, int vk, bool down) {
  auto* xb = As(b);
  if (!xb) return false;
  std::lock_guard<std::recursive_mutex> l(xb->lock());
  unsigned code = xb->KeycodeOfVk(vk);
  if (!code || !HaveXTest(xb->dpy())) return false;
  XTestFakeKeyEvent(xb->dpy(), code, down, CurrentTime);
  XSync(xb->dpy(), False);
  return true;
}

}  // namespace win::x11
