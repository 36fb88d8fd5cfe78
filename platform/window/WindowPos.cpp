// Geometry and placement: window and client origins, the client rect from WM_NCCALCSIZE,
// SetWindowPos, the shown, minimized and maximized states, coordinate mapping, and the window
// at a point.
#include <algorithm>

#include "platform/backend/Backend.h"
#include "platform/window/WindowImpl.h"

namespace win {
namespace detail {

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

namespace {

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
  bool shown = Displayed(w);
  if (shown) SurfaceShowing(w);
  backend::Current().ShowSurface(w->handle, shown);
  if (shown) SurfaceShown(w);
}

// Default non-client frame of a window without its own WM_NCCALCSIZE answer.
int FrameWidth(const Wnd* w) {
  if (w->style & WS_THICKFRAME) return GetSystemMetrics(SM_CXFRAME);
  if ((w->style & WS_DLGFRAME) || (w->exStyle & WS_EX_DLGMODALFRAME)) return GetSystemMetrics(SM_CXDLGFRAME);
  if (w->style & WS_BORDER) return GetSystemMetrics(SM_CXBORDER);
  return 0;
}

RECT DefaultClientRect(const Wnd* w, const RECT& wr) {
  RECT c = wr;
  int b = FrameWidth(w);
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

void FillMinMax(Wnd* w, MINMAXINFO* mmi) {
  RECT work = PrimaryWorkArea();
  // A maximized window covers the work area with its frame outside it. The position is
  // relative to the work area's top-left.
  int b = FrameWidth(w);
  mmi->ptMaxSize = POINT{work.right - work.left + 2 * b, work.bottom - work.top + 2 * b};
  mmi->ptMaxPosition = POINT{-b, -b};
  mmi->ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi->ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
}

void ClampGeometry(bool topLevel, int& x, int& y, int& cx, int& cy) {
  constexpr int kMaxCoord = 1 << 29;
  x = std::clamp(x, -kMaxCoord, kMaxCoord);
  y = std::clamp(y, -kMaxCoord, kMaxCoord);
  int maxW = kMaxCoord, maxH = kMaxCoord;
  if (topLevel) {
    maxW = std::max(4096, 2 * GetSystemMetrics(SM_CXVIRTUALSCREEN));
    maxH = std::max(4096, 2 * GetSystemMetrics(SM_CYVIRTUALSCREEN));
  }
  cx = std::clamp(cx, 0, maxW);
  cy = std::clamp(cy, 0, maxH);
}

}  // namespace detail

using namespace detail;

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
  ClampGeometry(!w->parent, pos.x, pos.y, pos.cx, pos.cy);
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
        // A top-level goes to the task bar through the window manager.
        if (ref.alive() && !w->parent) backend::Current().Minimize(h);
        return wasVisible;
      }
      break;
    case SW_MAXIMIZE:
      if (!(w->style & WS_MAXIMIZE)) {
        if (!(w->style & WS_MINIMIZE)) w->restoreRect = w->rect;
        w->style = (w->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
        // A child fills its parent's client area; a top-level takes the place and size its
        // WM_GETMINMAXINFO answer gives.
        RECT area = w->parent ? RECT{0, 0, w->parent->client.right - w->parent->client.left,
                                      w->parent->client.bottom - w->parent->client.top}
                              : PrimaryWorkArea();
        MINMAXINFO mmi;
        FillMinMax(w, &mmi);
        if (w->parent) {
          mmi.ptMaxPosition = POINT{0, 0};
          mmi.ptMaxSize = POINT{area.right, area.bottom};
        }
        Send(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
        if (!ref.alive()) return wasVisible;
        int cx = std::max<LONG>(mmi.ptMaxSize.x, 0), cy = std::max<LONG>(mmi.ptMaxSize.y, 0);
        SetWindowPos(h, nullptr, area.left + mmi.ptMaxPosition.x, area.top + mmi.ptMaxPosition.y, cx, cy,
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
  if (w->hasRegion && !w->region.Contains(p.x - r.left, p.y - r.top)) return false;
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

}  // namespace win
