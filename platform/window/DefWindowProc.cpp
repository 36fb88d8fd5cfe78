// DefWindowProc: the default handling the rest of the program leans on, and the modal move and
// size loop it starts from the caption and the sizing borders.
#include <algorithm>
#include <cstring>

#include "platform/Gdi.h"
#include "platform/backend/Backend.h"
#include "platform/window/WindowImpl.h"

namespace win {
namespace detail {

LRESULT DefaultHitTest(Wnd* w, POINT p) {
  RECT wr = ScreenRect(w);
  if (!PtInRect(&wr, p)) return HTNOWHERE;
  POINT co = ClientOrigin(w);
  RECT cr{co.x, co.y, co.x + (w->client.right - w->client.left), co.y + (w->client.bottom - w->client.top)};
  if (PtInRect(&cr, p)) return HTCLIENT;
  if (w->style & WS_MINIMIZE) return HTCAPTION;
  if (w->style & WS_THICKFRAME) {
    int f = GetSystemMetrics(SM_CXFRAME), corner = GetSystemMetrics(SM_CYCAPTION);
    bool left = p.x < wr.left + f, right = p.x >= wr.right - f, top = p.y < wr.top + f,
         bottom = p.y >= wr.bottom - f;
    bool leftC = p.x < wr.left + corner, rightC = p.x >= wr.right - corner;
    bool topC = p.y < wr.top + corner, bottomC = p.y >= wr.bottom - corner;
    if (top) return leftC ? HTTOPLEFT : rightC ? HTTOPRIGHT : HTTOP;
    if (bottom) return leftC ? HTBOTTOMLEFT : rightC ? HTBOTTOMRIGHT : HTBOTTOM;
    if (left) return topC ? HTTOPLEFT : bottomC ? HTBOTTOMLEFT : HTLEFT;
    if (right) return topC ? HTTOPRIGHT : bottomC ? HTBOTTOMRIGHT : HTRIGHT;
  }
  if ((w->style & WS_CAPTION) == WS_CAPTION && p.y < cr.top) {
    int capTop = cr.top - ((w->exStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION));
    if (p.y >= capTop) return HTCAPTION;
  }
  if ((w->style & WS_VSCROLL) && w->scroll[SB_VERT].shown && p.x >= cr.right && p.y >= cr.top && p.y < cr.bottom)
    return HTVSCROLL;
  if ((w->style & WS_HSCROLL) && w->scroll[SB_HORZ].shown && p.y >= cr.bottom && p.x >= cr.left && p.x < cr.right)
    return HTHSCROLL;
  return HTBORDER;
}

namespace {

HCURSOR CursorForHit(LRESULT hit) {
  switch (hit) {
    case HTLEFT: case HTRIGHT: return StandardCursor(32644);
    case HTTOP: case HTBOTTOM: return StandardCursor(32645);
    case HTTOPLEFT: case HTBOTTOMRIGHT: return StandardCursor(32642);
    case HTTOPRIGHT: case HTBOTTOMLEFT: return StandardCursor(32643);
  }
  return StandardCursor(32512);
}

void Clamp(RECT* r, WPARAM edge, const MINMAXINFO& mmi) {
  int w = r->right - r->left, h = r->bottom - r->top;
  int nw = std::clamp<int>(w, mmi.ptMinTrackSize.x, std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
  int nh = std::clamp<int>(h, mmi.ptMinTrackSize.y, std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
  bool fromLeft = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
  bool fromTop = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
  if (fromLeft) r->left = r->right - nw;
  else r->right = r->left + nw;
  if (fromTop) r->top = r->bottom - nh;
  else r->bottom = r->top + nh;
}

}  // namespace

// Runs until the button is released (or Escape, or the capture is lost). Input injected before
// the call is drained from the same queue, and every wait serves cross-thread calls.
void RunSizeMoveLoop(Wnd* w, WPARAM cmd, POINT start) {
  WndRef ref(w);
  HWND h = w->handle;
  bool moving = (cmd & 0xFFF0) == SC_MOVE;
  WPARAM edge = moving ? 0 : (cmd & 0x000F);
  if (!moving && (edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT)) return;
  RECT orig;
  GetWindowRect(h, &orig);
  // Rects in the parent's client coordinates for a child window, as SetWindowPos takes them.
  POINT parentOrigin = w->parent ? ClientOrigin(w->parent) : POINT{0, 0};
  auto q = CurrentQueue();
  bool started = false;
  bool ownCapture = false;
  MINMAXINFO mmi;
  int dragX = GetSystemMetrics(SM_CXDRAG), dragY = GetSystemMetrics(SM_CYDRAG);
  RECT last = orig;
  POINT lastPt = start;
  auto begin = [&]() {
    started = true;
    Send(w, WM_ENTERSIZEMOVE, 0, 0);
    if (!ref.alive()) return;
    FillMinMax(w, &mmi);
    Send(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  };
  auto step = [&](POINT p) {
    if (started && p == lastPt) return;
    lastPt = p;
    int dx = p.x - start.x, dy = p.y - start.y;
    if (!started) {
      if (std::abs(dx) < dragX && std::abs(dy) < dragY) return;
      begin();
      if (!ref.alive()) return;
    }
    RECT r = orig;
    if (moving) {
      OffsetRect(&r, dx, dy);
      Send(w, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
    } else {
      if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT) r.left += dx;
      if (edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT) r.right += dx;
      if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT) r.top += dy;
      if (edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT) r.bottom += dy;
      Clamp(&r, edge, mmi);
      Send(w, WM_SIZING, edge, reinterpret_cast<LPARAM>(&r));
    }
    if (!ref.alive()) return;
    if (r == last) return;
    last = r;
    SetWindowPos(h, nullptr, r.left - parentOrigin.x, r.top - parentOrigin.y, r.right - r.left,
                 r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE | (moving ? SWP_NOSIZE : 0));
  };
  // The pointer belongs to the loop from the start, even before it has moved far enough.
  if (q->capture != h) {
    SetCapture(h);
    ownCapture = true;
  }
  bool cancelled = false;
  for (;;) {
    if (!ref.alive()) return;
    if (q->capture != h) break;  // someone took the capture away
    MSG m;
    if (!PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));  // left for the main loop
      break;
    }
    bool mouse = (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
                 (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCMBUTTONDBLCLK);
    if ((m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) && !started) {
      // A plain click: the window gets its button-up, as hit testing gives it.
      if (ownCapture && q->capture == h) ReleaseCapture();
      ownCapture = false;
      if (!ref.alive()) return;
      LRESULT hit = Send(w, WM_NCHITTEST, 0, MAKELPARAM(WORD(SHORT(m.pt.x)), WORD(SHORT(m.pt.y))));
      if (!ref.alive()) return;
      MSG up = m;
      if (hit == HTCLIENT) {
        POINT c = m.pt;
        ScreenToClient(h, &c);
        up.message = WM_LBUTTONUP;
        up.lParam = MAKELPARAM(WORD(SHORT(c.x)), WORD(SHORT(c.y)));
      } else {
        up.message = WM_NCLBUTTONUP;
        up.wParam = WPARAM(hit);
        up.lParam = MAKELPARAM(WORD(SHORT(m.pt.x)), WORD(SHORT(m.pt.y)));
      }
      std::lock_guard<std::mutex> lock(q->m);
      q->posted.push_front(up);
      break;
    }
    if (mouse) {
      if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) step(m.pt);
      else if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) {
        step(m.pt);
        break;
      }
      continue;
    }
    if (m.message == WM_KEYDOWN && (m.wParam == VK_ESCAPE || m.wParam == VK_RETURN)) {
      cancelled = m.wParam == VK_ESCAPE;
      break;
    }
    if (m.message == WM_KEYDOWN || m.message == WM_KEYUP || m.message == WM_CHAR) continue;
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  if (!ref.alive()) return;
  if (cancelled && started) {
    SetWindowPos(h, nullptr, orig.left - parentOrigin.x, orig.top - parentOrigin.y, orig.right - orig.left,
                 orig.bottom - orig.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (ownCapture && q->capture == h) ReleaseCapture();
  if (started && ref.alive()) Send(w, WM_EXITSIZEMOVE, 0, 0);
}

namespace {

// The plain frame of a window whose procedure does not paint its own: the 3D face colour,
// a dark outline for a border, and the caption bar with the window's text.
void PaintDefaultFrame(Wnd* w, HRGN update) {
  HWND h = w->handle;
  HDC dc = update && update != HRGN(1) ? GetDCEx(h, update, DCX_WINDOW | DCX_INTERSECTRGN) : GetWindowDC(h);
  if (!dc) return;
  int ww = w->rect.right - w->rect.left, wh = w->rect.bottom - w->rect.top;
  RECT all{0, 0, ww, wh};
  ExcludeClipRect(dc, w->client.left, w->client.top, w->client.right, w->client.bottom);
  FillRect(dc, &all, GetSysColorBrush(COLOR_3DFACE));
  int b = FrameWidth(w);
  if (b > 0) FrameRect(dc, &all, GetSysColorBrush(COLOR_WINDOWFRAME));
  if ((w->style & WS_CAPTION) == WS_CAPTION) {
    int ch = (w->exStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
    RECT cap{b, b, ww - b, std::min(b + ch, wh - b)};
    bool active = CurrentQueue()->active == TopLevelOf(w)->handle;
    FillRect(dc, &cap, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    if (!w->text.empty()) {
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
      HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      RECT text = cap;
      text.left += 4;
      DrawText(dc, w->text.c_str(), int(w->text.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
      SelectObject(dc, oldFont);
    }
  }
  ReleaseDC(h, dc);
}

// Keyboard requests for a context menu: Shift+F10, and the Menu key when it is released.
bool IsContextMenuKey(UINT msg, WPARAM vk) {
  bool shift = GetKeyState(VK_SHIFT) < 0;
  if (vk == WPARAM(VK_F10)) return shift && (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN);
  if (vk == WPARAM(VK_APPS)) return msg == WM_KEYUP || msg == WM_SYSKEYUP;
  return false;
}

// lParam of a WM_CONTEXTMENU that comes from the keyboard: coordinates (-1, -1).
constexpr LPARAM kContextMenuFromKeyboard = LPARAM(-1);

}  // namespace

}  // namespace detail

using namespace detail;

LRESULT DefWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Wnd* w = Find(h);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCT*>(lp);
      if (cs && cs->lpszName) w->text = cs->lpszName;
      if ((w->style & (WS_HSCROLL | WS_VSCROLL))) {
        w->scroll[SB_HORZ].shown = w->style & WS_HSCROLL;
        w->scroll[SB_VERT].shown = w->style & WS_VSCROLL;
      }
      return TRUE;
    }
    case WM_NCCALCSIZE: {
      RECT* r = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<RECT*>(lp);
      if (r) *r = DefaultClientRect(w, *r);
      return 0;
    }
    case WM_NCHITTEST: return DefaultHitTest(w, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    case WM_WINDOWPOSCHANGED: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
      if (!pos) return 0;
      WndRef ref(w);
      if (!(pos->flags & SWP_NOCLIENTSIZE_INTERNAL)) {
        WPARAM kind = (w->style & WS_MINIMIZE) ? SIZE_MINIMIZED : (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
        Send(w, WM_SIZE, kind,
             MAKELPARAM(WORD(w->client.right - w->client.left), WORD(w->client.bottom - w->client.top)));
      }
      if (ref.alive() && !(pos->flags & SWP_NOCLIENTMOVE_INTERNAL))
        Send(w, WM_MOVE, 0, MAKELPARAM(WORD(SHORT(w->rect.left + w->client.left)), WORD(SHORT(w->rect.top + w->client.top))));
      return 0;
    }
    case WM_SETTEXT:
      w->text = lp ? reinterpret_cast<const char*>(lp) : "";
      SurfaceTitleChanged(w);
      if (!w->parent && (w->style & WS_CAPTION) == WS_CAPTION) w->ncPaintNeeded = IsVisibleChain(w);
      return TRUE;
    case WM_GETTEXT: return CopyText(w->text, reinterpret_cast<char*>(lp), size_t(wp));
    case WM_GETTEXTLENGTH: return LRESULT(w->text.size());
    case WM_CLOSE: DestroyWindow(h); return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(h, &ps);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      if (!w->cls->background || !wp) return 0;
      RECT r;
      GetClientRect(h, &r);
      return FillBackground(reinterpret_cast<HDC>(wp), &r, w->cls->background) ? 1 : 0;
    }
    case WM_NCACTIVATE:
      if (IsVisibleChain(w)) w->ncPaintNeeded = true;
      return TRUE;
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE && !HIWORD(wp)) SetFocus(h);
      return 0;
    case WM_MOUSEACTIVATE:
      if (w->parent) {
        LRESULT r = SendMessage(w->parent->handle, msg, wp, lp);
        if (r) return r;
      }
      return MA_ACTIVATE;
    case WM_SETCURSOR: {
      if (w->parent && SendMessage(w->parent->handle, WM_SETCURSOR, wp, lp)) return TRUE;
      LRESULT hit = SHORT(LOWORD(lp));
      if (hit == HTERROR) {
        UINT m = HIWORD(lp);
        if (m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN) MessageBeep(0);
        return FALSE;
      }
      if (hit == HTCLIENT) {
        if (w->cls->cursor) SetCursor(w->cls->cursor);
        return FALSE;
      }
      SetCursor(CursorForHit(hit));
      return FALSE;
    }
    case WM_MOUSEWHEEL:
    case WM_CONTEXTMENU:
      if (w->parent) return SendMessage(w->parent->handle, msg, wp, lp);
      return 0;
    case WM_NCLBUTTONDOWN: {
      LRESULT hit = LRESULT(wp);
      Wnd* top = TopLevelOf(w);
      if (hit == HTCAPTION) {
        if (top->handle != CurrentQueue()->active && !(top->exStyle & WS_EX_NOACTIVATE)) SetActiveWindow(top->handle);
        return SendMessage(h, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lp);
      }
      if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT)
        return SendMessage(h, WM_SYSCOMMAND, SC_SIZE + WPARAM(hit - HTLEFT + 1), lp);
      return 0;
    }
    case WM_NCLBUTTONUP:
      if (LRESULT(wp) == HTCLOSE) return SendMessage(h, WM_SYSCOMMAND, SC_CLOSE, lp);
      return 0;
    case WM_NCLBUTTONDBLCLK:
      if (LRESULT(wp) == HTCAPTION && (w->style & WS_MAXIMIZEBOX))
        return SendMessage(h, WM_SYSCOMMAND, (w->style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE, lp);
      return 0;
    case WM_SYSCOMMAND: {
      WPARAM cmd = wp & 0xFFF0;
      switch (cmd) {
        case SC_MOVE:
        case SC_SIZE:
          RunSizeMoveLoop(w, wp, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
          return 0;
        case SC_CLOSE: return SendMessage(h, WM_CLOSE, 0, 0);
        case SC_MINIMIZE: ShowWindow(h, SW_MINIMIZE); return 0;
        case SC_MAXIMIZE: ShowWindow(h, SW_MAXIMIZE); return 0;
        case SC_RESTORE: ShowWindow(h, SW_RESTORE); return 0;
      }
      return 0;  // SC_KEYMENU: there is no native menu bar to enter
    }
    case WM_NCPAINT:
      if (IsVisibleChain(w)) PaintDefaultFrame(w, reinterpret_cast<HRGN>(wp));
      return 0;
    case WM_RBUTTONUP: {
      // A right click asks for a context menu, at the screen point of the click.
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      ClientToScreen(h, &p);
      return SendMessage(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), MAKELPARAM(WORD(SHORT(p.x)), WORD(SHORT(p.y))));
    }
    case WM_NCRBUTTONUP:
      return SendMessage(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), lp);
    case WM_KEYDOWN:
      if (IsContextMenuKey(msg, wp)) return SendMessage(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), kContextMenuFromKeyboard);
      return 0;
    case WM_SYSKEYDOWN:
      if (IsContextMenuKey(msg, wp)) return SendMessage(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), kContextMenuFromKeyboard);
      if (wp == WPARAM(VK_F4) && (lp & KF_ALTDOWN_LPARAM)) {
        Wnd* top = TopLevelOf(w);
        return SendMessage(top->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_SYSKEYUP:
    case WM_KEYUP:
      if (IsContextMenuKey(msg, wp)) return SendMessage(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), kContextMenuFromKeyboard);
      if (wp == WPARAM(VK_MENU) || wp == WPARAM(VK_F10)) {
        auto q = CurrentQueue();
        // F10 enters the menu; Shift+F10 asked for the context menu instead.
        bool tap = (wp == WPARAM(VK_F10) && GetKeyState(VK_SHIFT) >= 0) || q->altTapArmed;
        q->altTapArmed = false;
        if (tap) return SendMessage(TopLevelOf(w)->handle, WM_SYSCOMMAND, SC_KEYMENU, 0);
      }
      return 0;
    case WM_SYSCHAR:
      if (wp == WPARAM(' ') || (lp & KF_ALTDOWN_LPARAM))
        return SendMessage(TopLevelOf(w)->handle, WM_SYSCOMMAND, SC_KEYMENU, LPARAM(wp));
      return 0;
    case WM_CANCELMODE:
      if (CurrentQueue()->capture == h) ReleaseCapture();
      return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_GETMINMAXINFO:
    case WM_GETDLGCODE:
    case WM_PARENTNOTIFY:
    case WM_SHOWWINDOW:
      return 0;
  }
  return 0;
}

}  // namespace win
