// Input: pointer events hit-tested into client or non-client messages, capture, double clicks,
// the wheel, mouse-leave tracking, cursors, keys, focus and activation.
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>

#include "platform/backend/Backend.h"
#include "platform/window/WindowImpl.h"

namespace win {
namespace detail {

namespace {
std::array<std::atomic<BYTE>, 256>& AsyncKeys() {
  static std::array<std::atomic<BYTE>, 256> keys{};
  return keys;
}
HCURSOR g_cursor = nullptr;
HWND g_foreground = nullptr;

struct CaretState {
  HWND owner = nullptr;
  POINT pos{};
  int w = 0, h = 0;
  int hideCount = 1;
} g_caret;

WPARAM MouseKeys(const ThreadQueue& q) {
  WPARAM k = 0;
  if (q.keyState[VK_LBUTTON] & 0x80) k |= MK_LBUTTON;
  if (q.keyState[VK_RBUTTON] & 0x80) k |= MK_RBUTTON;
  if (q.keyState[VK_MBUTTON] & 0x80) k |= MK_MBUTTON;
  if (q.keyState[VK_SHIFT] & 0x80) k |= MK_SHIFT;
  if (q.keyState[VK_CONTROL] & 0x80) k |= MK_CONTROL;
  return k;
}

LPARAM PackPoint(POINT p) { return MAKELPARAM(WORD(SHORT(p.x)), WORD(SHORT(p.y))); }

void SetKey(BYTE* ks, int vk, bool down) {
  if (vk < 0 || vk > 255) return;
  if (down) {
    if (!(ks[vk] & 0x80)) ks[vk] ^= 0x01;  // toggled on each press
    ks[vk] |= 0x80;
  } else {
    ks[vk] &= ~0x80;
  }
  // The generic modifier follows either of its sides.
  auto both = [&](int generic, int l, int r) {
    if (vk == l || vk == r)
      ks[generic] = BYTE((ks[generic] & 0x01) | ((ks[l] | ks[r]) & 0x80));
  };
  both(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
  both(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
  both(VK_MENU, VK_LMENU, VK_RMENU);
}

// Hit-tests p through WM_NCHITTEST, passing HTTRANSPARENT answers to what lies beneath.
Wnd* HitTest(ThreadQueue& q, POINT p, LRESULT* hit) {
  Wnd* below = nullptr;
  for (int guard = 0; guard < 64; ++guard) {
    Wnd* w = WindowAt(p, below);
    if (!w) return nullptr;
    Wnd* top = TopLevelOf(w);
    if (w->threadId != q.threadId) return nullptr;
    while (w) {
      WndRef ref(w);
      LRESULT h = Send(w, WM_NCHITTEST, 0, PackPoint(p));
      if (!ref.alive()) return nullptr;
      if (h != HTTRANSPARENT) {
        *hit = h;
        return w;
      }
      w = w->parent;
    }
    below = top;
  }
  return nullptr;
}

MSG Make(HWND h, UINT m, WPARAM w, LPARAM l, const InputEvent& ev) {
  MSG msg;
  msg.hwnd = h;
  msg.message = m;
  msg.wParam = w;
  msg.lParam = l;
  msg.time = ev.time;
  msg.pt = ev.pt;
  return msg;
}

void PushFront(ThreadQueue& q, const MSG& m) {
  std::lock_guard<std::mutex> lock(q.m);
  q.posted.push_front(m);
}

// Posts WM_MOUSELEAVE (or WM_NCMOUSELEAVE) when the pointer left the tracked window or area.
// Restarts the hover time when the pointer moved out of the hover rectangle. Leaving the
// tracked window ends tracking (with a leave message only when it was asked for).
bool CheckLeave(ThreadQueue& q, Wnd* over, bool nonClient, const InputEvent& ev, MSG* leave) {
  if (!q.trackWnd) return false;
  bool trackNc = q.trackFlags & TME_NONCLIENT;
  if (over && over->handle == q.trackWnd && nonClient == trackNc) {
    if (q.trackFlags & TME_HOVER) {
      UINT hw = 4, hh = 4;
      SystemParametersInfo(SPI_GETMOUSEHOVERWIDTH, 0, &hw, 0);
      SystemParametersInfo(SPI_GETMOUSEHOVERHEIGHT, 0, &hh, 0);
      if (std::abs(ev.pt.x - q.hoverPt.x) > int(hw / 2) || std::abs(ev.pt.y - q.hoverPt.y) > int(hh / 2)) {
        q.hoverPt = ev.pt;
        q.hoverDue = NowMs() + q.hoverTime;
      }
    }
    return false;
  }
  bool wantsLeave = q.trackFlags & TME_LEAVE;
  HWND was = q.trackWnd;
  q.trackWnd = nullptr;
  q.trackFlags = 0;
  if (!wantsLeave) return false;
  *leave = Make(was, trackNc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0, ev);
  return true;
}

}  // namespace

HCURSOR StandardCursor(uintptr_t id) { return reinterpret_cast<HCURSOR>(id); }

uint64_t HoverDue(const ThreadQueue& q) {
  return q.trackWnd && (q.trackFlags & TME_HOVER) ? q.hoverDue : UINT64_MAX;
}

bool TakeDueHover(ThreadQueue& q, uint64_t now, MSG* out) {
  if (HoverDue(q) > now) return false;
  Wnd* w = Find(q.trackWnd);
  q.trackFlags &= ~TME_HOVER;
  if (!(q.trackFlags & TME_LEAVE)) q.trackWnd = nullptr;
  if (!w || w->destroyed) return false;
  POINT p = backend::Current().CursorPos();
  InputEvent ev;
  ev.pt = p;
  ev.time = DWORD(now);
  if (q.trackFlags & TME_NONCLIENT) {
    LRESULT hit = Send(w, WM_NCHITTEST, 0, PackPoint(p));
    *out = Make(w->handle, WM_NCMOUSEHOVER, WPARAM(hit), PackPoint(p), ev);
  } else {
    POINT c = p;
    ScreenToClient(w->handle, &c);
    *out = Make(w->handle, WM_MOUSEHOVER, MouseKeys(q), PackPoint(c), ev);
  }
  return true;
}

void UpdateAsyncKey(int vk, bool down) {
  if (vk < 0 || vk > 255) return;
  BYTE v = AsyncKeys()[size_t(vk)].load();
  AsyncKeys()[size_t(vk)] = down ? BYTE(v | 0x80) : BYTE(v & ~0x80);
}

bool TranslateInput(ThreadQueue& q, const InputEvent& ev, MSG* out) {
  switch (ev.kind) {
    case InputEvent::PointerMove:
    case InputEvent::ButtonDown:
    case InputEvent::ButtonUp: {
      static const UINT clientBase[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
      static const UINT ncBase[3] = {WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCMBUTTONDOWN};
      static const int vkOf[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
      int b = std::clamp(ev.button, 0, 2);
      bool down = ev.kind == InputEvent::ButtonDown, up = ev.kind == InputEvent::ButtonUp;
      if (down || up) SetKey(q.keyState, vkOf[b], down);
      if (down) q.altTapArmed = false;
      Wnd* cap = Find(q.capture);
      Wnd* w = nullptr;
      LRESULT hit = HTCLIENT;
      UINT clientMsg = down ? clientBase[b] : up ? clientBase[b] + 1 : WM_MOUSEMOVE;
      UINT ncMsg = down ? ncBase[b] : up ? ncBase[b] + 1 : WM_NCMOUSEMOVE;
      if (cap && !cap->destroyed) {
        // The capture overrides hit testing: client messages in the capture window's coordinates.
        w = cap;
        MSG leave;
        if (!down && !up && q.trackWnd && q.trackWnd != cap->handle) {
          LRESULT h2 = 0;
          Wnd* over = HitTest(q, ev.pt, &h2);
          if (CheckLeave(q, over, h2 != HTCLIENT, ev, &leave)) {
            POINT c = ev.pt;
            ScreenToClient(w->handle, &c);
            PushFront(q, Make(w->handle, clientMsg, MouseKeys(q), PackPoint(c), ev));
            *out = leave;
            return true;
          }
        }
      } else {
        w = HitTest(q, ev.pt, &hit);
        if (!w) {
          // The pointer is over no window at all: a tracked window has still been left.
          MSG leave;
          if (CheckLeave(q, nullptr, false, ev, &leave)) {
            *out = leave;
            return true;
          }
          return false;
        }
        WndRef ref(w);
        Wnd* top = TopLevelOf(w);
        if (!IsEnabledChain(w)) {
          // A disabled window (a form under a modal dialog) takes no input.
          if (down) MessageBeep(0);
          return false;
        }
        UINT triggered = down ? (hit == HTCLIENT ? clientMsg : ncMsg) : WM_MOUSEMOVE;
        if (down && q.active != top->handle && !(top->exStyle & WS_EX_NOACTIVATE)) {
          LRESULT ma = Send(w, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->handle),
                            MAKELPARAM(WORD(SHORT(hit)), WORD(triggered)));
          if (!ref.alive()) return false;
          if (ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT || ma == 0) {
            ActivateTopLevel(top, WA_CLICKACTIVE);
            if (!ref.alive()) return false;
          }
          if (ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT) {
            Send(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w->handle), MAKELPARAM(WORD(SHORT(hit)), WORD(triggered)));
            return false;
          }
        }
        Send(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w->handle),
             MAKELPARAM(WORD(SHORT(hit)), WORD(up ? (hit == HTCLIENT ? clientMsg : ncMsg) : triggered)));
        if (!ref.alive()) return false;
        if (!down && !up) {
          MSG leave;
          if (CheckLeave(q, w, hit != HTCLIENT, ev, &leave)) {
            MSG m;
            if (hit == HTCLIENT) {
              POINT c = ev.pt;
              ScreenToClient(w->handle, &c);
              m = Make(w->handle, WM_MOUSEMOVE, MouseKeys(q), PackPoint(c), ev);
            } else {
              m = Make(w->handle, WM_NCMOUSEMOVE, WPARAM(hit), PackPoint(ev.pt), ev);
            }
            PushFront(q, m);
            *out = leave;
            return true;
          }
        }
      }
      bool client = hit == HTCLIENT;
      UINT msg = client ? clientMsg : ncMsg;
      if (down) {
        int dx = GetSystemMetrics(SM_CXDOUBLECLK) / 2, dy = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        bool near = std::abs(ev.pt.x - q.lastClickPt.x) <= dx && std::abs(ev.pt.y - q.lastClickPt.y) <= dy;
        bool same = q.lastClickWnd == w->handle && q.lastClickButton == b && (q.lastClickHit == HTCLIENT) == client;
        bool inTime = DWORD(ev.time - q.lastClickTime) <= GetDoubleClickTime();
        // Non-client double clicks are always made; client ones only for CS_DBLCLKS classes.
        bool wants = !client || (w->cls->style & CS_DBLCLKS);
        if (same && near && inTime && !q.lastClickWasDouble && wants) {
          msg += 2;  // ...DBLCLK
          q.lastClickWasDouble = true;
        } else {
          q.lastClickWasDouble = false;
        }
        q.lastClickWnd = w->handle;
        q.lastClickButton = b;
        q.lastClickHit = hit;
        q.lastClickTime = ev.time;
        q.lastClickPt = ev.pt;
      }
      if (client) {
        POINT c = ev.pt;
        ScreenToClient(w->handle, &c);
        *out = Make(w->handle, msg, MouseKeys(q), PackPoint(c), ev);
      } else {
        *out = Make(w->handle, msg, WPARAM(hit), PackPoint(ev.pt), ev);
      }
      return true;
    }
    case InputEvent::Wheel: {
      Wnd* w = Find(q.focus);
      if (!w) w = Find(q.active);
      if (!w) return false;
      *out = Make(w->handle, WM_MOUSEWHEEL, MAKEWPARAM(WORD(MouseKeys(q)), WORD(SHORT(ev.wheelDelta))),
                  PackPoint(ev.pt), ev);
      return true;
    }
    case InputEvent::KeyDown:
    case InputEvent::KeyUp: {
      bool down = ev.kind == InputEvent::KeyDown;
      bool wasDown = ev.vk >= 0 && ev.vk < 256 && (q.keyState[ev.vk] & 0x80);
      SetKey(q.keyState, ev.vk, down);
      bool alt = q.keyState[VK_MENU] & 0x80, ctrl = q.keyState[VK_CONTROL] & 0x80;
      Wnd* w = Find(q.focus);
      bool sys = (alt && !ctrl) || ev.vk == VK_F10 || ((ev.vk == VK_MENU || ev.vk == VK_LMENU) && !ctrl);
      if (!w) {
        w = Find(q.active);
        sys = true;  // with no focus the active window gets system keys, as documented
      }
      if (down) {
        bool isAlt = ev.vk == VK_MENU || ev.vk == VK_LMENU || ev.vk == VK_RMENU;
        if (isAlt && !wasDown) q.altTapArmed = true;
        else if (!isAlt) q.altTapArmed = false;
      }
      if (!w) return false;
      UINT m = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
      if (down) {
        q.keyText = ev.text;
        q.keyTextGiven = ev.textGiven;
        q.keyTextTime = ev.time;
        q.keyTextVk = ev.vk;
      }
      LPARAM lp = 1;
      if (alt) lp |= KF_ALTDOWN_LPARAM;
      if (wasDown) lp |= LPARAM(1) << 30;
      if (!down) lp |= LPARAM(3) << 30;
      int vk = ev.vk;
      if (vk == VK_LMENU || vk == VK_RMENU) vk = VK_MENU;
      if (vk == VK_LSHIFT || vk == VK_RSHIFT) vk = VK_SHIFT;
      if (vk == VK_LCONTROL || vk == VK_RCONTROL) vk = VK_CONTROL;
      *out = Make(w->handle, m, WPARAM(vk), LPARAM(uint32_t(lp)), ev);
      return true;
    }
    case InputEvent::Surface:
      HandleSurfaceEvent(q, ev);
      return false;
    case InputEvent::Char: {
      Wnd* w = Find(q.focus);
      if (!w) w = Find(q.active);
      if (!w) return false;
      bool alt = q.keyState[VK_MENU] & 0x80;
      *out = Make(w->handle, alt ? WM_SYSCHAR : WM_CHAR, WPARAM(ev.ch), 1, ev);
      return true;
    }
  }
  return false;
}

void ActivateTopLevel(Wnd* top, WORD how) {
  auto q = CurrentQueue();
  Wnd* old = Find(q->active);
  if (old == top) return;
  WndRef oldRef(old), topRef(top);
  HWND oldH = old ? old->handle : nullptr, topH = top ? top->handle : nullptr;
  if (top) SetWindowPos(topH, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  q->active = topH;
  g_foreground = topH;
  SurfaceActivated(top);
  if (oldRef.alive()) {
    Send(old, WM_NCACTIVATE, FALSE, 0);
    if (oldRef.alive())
      Send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, (old->style & WS_MINIMIZE) ? 1 : 0),
           reinterpret_cast<LPARAM>(topH));
  }
  if (q->active != topH) return;  // a handler activated something else meanwhile
  if (topRef.alive()) {
    Send(top, WM_NCACTIVATE, TRUE, 0);
    if (topRef.alive())
      Send(top, WM_ACTIVATE, MAKEWPARAM(how, (top->style & WS_MINIMIZE) ? 1 : 0), reinterpret_cast<LPARAM>(oldH));
  }
  // The focus never stays in a window that is not part of the active one.
  Wnd* f = Find(q->focus);
  if (f && (!topRef.alive() || TopLevelOf(f) != top)) SetFocus(nullptr);
}

void OnWindowDestroyed(ThreadQueue& q, Wnd* w) {
  HWND h = w->handle;
  if (q.capture == h) {
    q.capture = nullptr;
    backend::Current().GrabPointer(nullptr);
  }
  if (q.focus == h) q.focus = nullptr;
  if (q.active == h) {
    q.active = nullptr;
    // Activation passes to the owner or to the next visible top-level.
    Wnd* next = (w->owner && !w->owner->destroying && IsVisibleChain(w->owner)) ? w->owner : nullptr;
    if (!next)
      for (Wnd* t : TopLevels())
        if (t != w && t->threadId == w->threadId && (t->style & WS_VISIBLE) && !t->destroying &&
            !(t->exStyle & WS_EX_NOACTIVATE)) { next = t; break; }
    if (next) ActivateTopLevel(next, WA_ACTIVE);
  }
  if (q.trackWnd == h) q.trackWnd = nullptr;
  if (q.lastClickWnd == h) q.lastClickWnd = nullptr;
  if (g_foreground == h) g_foreground = nullptr;
  if (g_caret.owner == h) g_caret = CaretState{};
  std::lock_guard<std::mutex> lock(q.m);
  for (auto it = q.posted.begin(); it != q.posted.end();)
    it = it->hwnd == h ? q.posted.erase(it) : it + 1;
}

}  // namespace detail

using namespace detail;

HWND SetCapture(HWND h) {
  auto q = CurrentQueue();
  HWND old = q->capture;
  Wnd* w = Find(h);
  if (!w || w->threadId != CurrentThreadId()) return old;
  if (old == h) return old;
  q->capture = h;
  backend::Current().GrabPointer(h);
  if (Wnd* o = Find(old)) Send(o, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(h));
  return old;
}

BOOL ReleaseCapture() {
  auto q = CurrentQueue();
  HWND old = q->capture;
  if (!old) return TRUE;
  q->capture = nullptr;
  backend::Current().GrabPointer(nullptr);
  if (Wnd* o = Find(old)) Send(o, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return CurrentQueue()->capture; }

HWND SetFocus(HWND h) {
  auto q = CurrentQueue();
  HWND old = q->focus;
  if (!h) {
    if (!old) return nullptr;
    q->focus = nullptr;
    if (Wnd* o = Find(old)) Send(o, WM_KILLFOCUS, 0, 0);
    return old;
  }
  Wnd* w = Find(h);
  if (!w || w->threadId != CurrentThreadId() || w->destroying) return nullptr;
  WndRef ref(w);
  Wnd* top = TopLevelOf(w);
  if (q->active != top->handle) {
    ActivateTopLevel(top, WA_ACTIVE);
    if (!ref.alive()) return nullptr;
    old = q->focus;
  }
  if (q->focus == h) return old;
  q->focus = h;
  if (Wnd* o = Find(old)) Send(o, WM_KILLFOCUS, reinterpret_cast<WPARAM>(h), 0);
  if (ref.alive() && q->focus == h) Send(w, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() { return CurrentQueue()->focus; }

HWND SetActiveWindow(HWND h) {
  auto q = CurrentQueue();
  HWND old = q->active;
  Wnd* w = Find(h);
  if (!w || w->threadId != CurrentThreadId()) return nullptr;
  ActivateTopLevel(TopLevelOf(w), WA_ACTIVE);
  return old;
}

HWND GetActiveWindow() { return CurrentQueue()->active; }

BOOL SetForegroundWindow(HWND h) {
  Wnd* w = Find(h);
  if (!w) return FALSE;
  if (w->threadId == CurrentThreadId()) ActivateTopLevel(TopLevelOf(w), WA_ACTIVE);
  g_foreground = TopLevelOf(w)->handle;
  return TRUE;
}

HWND GetForegroundWindow() { return g_foreground; }

SHORT GetKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  BYTE s = CurrentQueue()->keyState[vk];
  return SHORT(((s & 0x80) ? 0x8000 : 0) | (s & 0x01));
}

SHORT GetAsyncKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  return (AsyncKeys()[size_t(vk)].load() & 0x80) ? SHORT(0x8000) : SHORT(0);
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  if (!tme || tme->cbSize < sizeof(TRACKMOUSEEVENT)) return FALSE;
  auto q = CurrentQueue();
  if (tme->dwFlags & TME_QUERY) {
    tme->dwFlags = q->trackWnd ? q->trackFlags : 0;
    tme->hwndTrack = q->trackWnd;
    return TRUE;
  }
  if (tme->dwFlags & TME_CANCEL) {
    if (q->trackWnd == tme->hwndTrack) {
      q->trackWnd = nullptr;
      q->trackFlags = 0;
    }
    return TRUE;
  }
  Wnd* w = Find(tme->hwndTrack);
  if (!w || w->threadId != CurrentThreadId()) return FALSE;
  if (!(tme->dwFlags & (TME_LEAVE | TME_HOVER))) return TRUE;
  // Already outside: the leave message comes at once, and there is nothing to hover over.
  POINT p = backend::Current().CursorPos();
  LRESULT hit = HTNOWHERE;
  Wnd* over = WindowAt(p, nullptr);
  bool inside = false;
  if (over == w) {
    hit = Send(w, WM_NCHITTEST, 0, MAKELPARAM(WORD(SHORT(p.x)), WORD(SHORT(p.y))));
    bool nc = tme->dwFlags & TME_NONCLIENT;
    inside = nc ? hit != HTCLIENT : hit == HTCLIENT;
  }
  if (!inside) {
    if (tme->dwFlags & TME_LEAVE)
      PostMessage(w->handle, (tme->dwFlags & TME_NONCLIENT) ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    return TRUE;
  }
  // A new request for the same window adds to what is tracked; another window replaces it.
  DWORD keep = q->trackWnd == w->handle ? q->trackFlags : 0;
  q->trackWnd = w->handle;
  q->trackFlags = keep | (tme->dwFlags & (TME_LEAVE | TME_NONCLIENT | TME_HOVER));
  if (tme->dwFlags & TME_HOVER) {
    UINT hoverTime = tme->dwHoverTime;
    if (hoverTime == HOVER_DEFAULT) SystemParametersInfo(SPI_GETMOUSEHOVERTIME, 0, &hoverTime, 0);
    q->hoverTime = hoverTime;
    q->hoverPt = p;
    q->hoverDue = NowMs() + hoverTime;
  }
  return TRUE;
}

HCURSOR SetCursor(HCURSOR c) {
  HCURSOR old = g_cursor;
  g_cursor = c;
  backend::Current().SetCursor(c);
  return old;
}

HCURSOR GetCursor() { return g_cursor; }

HCURSOR LoadCursor(HINSTANCE inst, LPCSTR name) {
  uintptr_t id = reinterpret_cast<uintptr_t>(name);
  if (inst || id < 32512 || id > 32651) return nullptr;
  return StandardCursor(id);
}

UINT GetDoubleClickTime() { return 500; }

BOOL CreateCaret(HWND h, HBITMAP, int w, int hgt) {
  if (!IsWindow(h)) return FALSE;
  g_caret = CaretState{};
  g_caret.owner = h;
  g_caret.w = w;
  g_caret.h = hgt;
  return TRUE;
}
BOOL DestroyCaret() {
  if (!g_caret.owner) return FALSE;
  g_caret = CaretState{};
  return TRUE;
}
BOOL SetCaretPos(int x, int y) {
  if (!g_caret.owner) return FALSE;
  g_caret.pos = POINT{x, y};
  return TRUE;
}
BOOL GetCaretPos(POINT* p) {
  if (!p) return FALSE;
  *p = g_caret.pos;
  return TRUE;
}
BOOL ShowCaret(HWND h) {
  if (!g_caret.owner || (h && h != g_caret.owner) || g_caret.hideCount == 0) return FALSE;
  --g_caret.hideCount;
  return TRUE;
}
BOOL HideCaret(HWND h) {
  if (!g_caret.owner || (h && h != g_caret.owner)) return FALSE;
  ++g_caret.hideCount;
  return TRUE;
}

}  // namespace win
