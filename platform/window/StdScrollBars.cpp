// The plain scroll bars of the standard controls, drawn in the non-client area a window with
// WS_VSCROLL or WS_HSCROLL keeps for them, from the window's scroll info: arrow buttons, the
// track and a thumb sized by the page. A press on an arrow or the track sends one line or one
// page; the thumb is dragged with the capture held, sending SB_THUMBTRACK and SB_THUMBPOSITION.
#include <algorithm>

#include "platform/Gdi.h"
#include "platform/StdControls.h"

namespace win::detail {

namespace {

using Parts = ScrollBarParts;

// The client rectangle in window coordinates.
RECT ClientInWindow(HWND h) {
  RECT wr{}, cr{};
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  POINT o{0, 0};
  ClientToScreen(h, &o);
  OffsetRect(&cr, o.x - wr.left, o.y - wr.top);
  return cr;
}

bool Shown(HWND h, int bar) {
  DWORD style = DWORD(GetWindowLongPtr(h, GWL_STYLE));
  return style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL);
}

bool Geometry(HWND h, int bar, Parts* p) {
  if (!Shown(h, bar)) return false;
  RECT c = ClientInWindow(h);
  int size = GetSystemMetrics(bar == SB_VERT ? SM_CXVSCROLL : SM_CYHSCROLL);
  bool vert = bar == SB_VERT;
  RECT r = vert ? RECT{c.right, c.top, c.right + size, c.bottom} : RECT{c.left, c.bottom, c.right, c.bottom + size};
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(h, bar, &si);
  LayoutScrollBar(r, vert, si.nMin, si.nMax, si.nPage, si.nPos, p);
  // A window's own bars show a thumb only for a page that leaves something to scroll.
  if (si.nPage == 0) p->hasThumb = false;
  return true;
}

struct Drag {
  HWND h = nullptr;
  int bar = SB_VERT;
  int grab = 0;  // pointer offset into the thumb
  int pos = 0;
} g_drag;

int PointerAlong(int bar, POINT windowPt) { return bar == SB_VERT ? windowPt.y : windowPt.x; }

POINT ToWindow(HWND h, POINT screen) {
  RECT wr{};
  GetWindowRect(h, &wr);
  return POINT{screen.x - wr.left, screen.y - wr.top};
}

}  // namespace

void LayoutScrollBar(const RECT& bar, bool vertical, int nMin, int nMax, UINT nPage, int nPos, ScrollBarParts* p) {
  *p = ScrollBarParts{};
  p->bar = bar;
  int thickness = vertical ? bar.right - bar.left : bar.bottom - bar.top;
  int length = std::max(0, vertical ? int(bar.bottom - bar.top) : int(bar.right - bar.left));
  int arrow = std::max(0, std::min(thickness, length / 2));
  if (vertical) {
    p->less = RECT{bar.left, bar.top, bar.right, bar.top + arrow};
    p->more = RECT{bar.left, bar.bottom - arrow, bar.right, bar.bottom};
  } else {
    p->less = RECT{bar.left, bar.top, bar.left + arrow, bar.bottom};
    p->more = RECT{bar.right - arrow, bar.top, bar.right, bar.bottom};
  }
  p->trackStart = (vertical ? bar.top : bar.left) + arrow;
  p->trackLength = std::max(0, length - 2 * arrow);
  long range = long(nMax) - nMin + 1;
  // Without a page the thumb is square and the position Max is the last.
  long span = range - (nPage > 0 ? long(nPage) : 1);
  p->span = std::max(0L, span);
  if (range <= 0 || span <= 0 || p->trackLength < 8) return;
  int len = nPage > 0 ? std::max(8, int(long(p->trackLength) * long(nPage) / range)) : std::max(8, thickness);
  len = std::min(len, p->trackLength);
  int at = p->trackStart + int(long(p->trackLength - len) * std::clamp<long>(long(nPos) - nMin, 0, span) / span);
  p->thumb = vertical ? RECT{bar.left, at, bar.right, at + len} : RECT{at, bar.top, at + len, bar.bottom};
  p->thumbLength = len;
  p->hasThumb = true;
}

void DrawScrollArrow(HDC dc, const RECT& r, bool vertical, bool less, bool enabled, bool pressed) {
  RECT b = r;
  if (pressed) {
    FillRect(dc, &b, GetSysColorBrush(COLOR_BTNFACE));
    FrameRect(dc, &b, GetSysColorBrush(COLOR_BTNSHADOW));
  } else {
    DrawEdge(dc, &b, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  }
  int shift = pressed ? 1 : 0;  // a pressed button's glyph moves down and right
  int cx = (r.left + r.right) / 2 + shift, cy = (r.top + r.bottom) / 2 + shift;
  // A triangle of rows 7, 5, 3 and 1 pixels long, its point towards the arrow's way.
  HBRUSH br = GetSysColorBrush(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  for (int i = 0; i < 4; ++i) {
    int row = less ? 3 - i : i;  // row 0 is the widest
    RECT line = vertical ? RECT{cx - 3 + row, cy - 2 + i, cx + 4 - row, cy - 1 + i}
                         : RECT{cx - 2 + i, cy - 3 + row, cx - 1 + i, cy + 4 - row};
    FillRect(dc, &line, br);
  }
}

void DrawScrollBar(HDC dc, const ScrollBarParts& p, bool vertical, bool enabled, int pressedPart) {
  // The classic track is a fine checker of the bar colour and white; its average reads the same
  // and keeps the track apart from a face-coloured background.
  COLORREF bar = GetSysColor(COLOR_SCROLLBAR), hi = GetSysColor(COLOR_BTNHIGHLIGHT);
  HBRUSH track = CreateSolidBrush(RGB((GetRValue(bar) + GetRValue(hi)) / 2, (GetGValue(bar) + GetGValue(hi)) / 2,
                                      (GetBValue(bar) + GetBValue(hi)) / 2));
  FillRect(dc, &p.bar, track);
  DeleteObject(track);
  if (p.hasThumb && (pressedPart == ScrollBarTrackLess || pressedPart == ScrollBarTrackMore)) {
    // The held part of the track darkens, as in the classic look.
    RECT t = p.bar;
    bool lessSide = pressedPart == ScrollBarTrackLess;
    if (vertical) {
      t.top = lessSide ? p.less.bottom : p.thumb.bottom;
      t.bottom = lessSide ? p.thumb.top : p.more.top;
    } else {
      t.left = lessSide ? p.less.right : p.thumb.right;
      t.right = lessSide ? p.thumb.left : p.more.left;
    }
    FillRect(dc, &t, GetSysColorBrush(COLOR_3DDKSHADOW));
  }
  DrawScrollArrow(dc, p.less, vertical, true, enabled && p.hasThumb, pressedPart == ScrollBarLess);
  DrawScrollArrow(dc, p.more, vertical, false, enabled && p.hasThumb, pressedPart == ScrollBarMore);
  if (p.hasThumb) {
    RECT t = p.thumb;
    DrawEdge(dc, &t, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  }
}

void PaintScrollBars(HWND h, HDC windowDC) {
  bool enabled = IsWindowEnabled(h);
  Parts both[2];
  bool shown[2] = {Geometry(h, SB_HORZ, &both[0]), Geometry(h, SB_VERT, &both[1])};
  for (int bar : {SB_HORZ, SB_VERT}) {
    if (!shown[bar]) continue;
    DrawScrollBar(windowDC, both[bar], bar == SB_VERT, enabled, ScrollBarNoPart);
  }
  if (shown[0] && shown[1]) {
    RECT corner{both[1].bar.left, both[0].bar.top, both[1].bar.right, both[0].bar.bottom};
    FillRect(windowDC, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
}

bool ScrollBarPress(HWND h, WPARAM hit, POINT screen) {
  int bar = hit == WPARAM(HTVSCROLL) ? SB_VERT : hit == WPARAM(HTHSCROLL) ? SB_HORZ : -1;
  if (bar < 0 || !IsWindowEnabled(h)) return false;
  Parts p;
  if (!Geometry(h, bar, &p)) return false;
  POINT w = ToWindow(h, screen);
  UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
  if (PtInRect(&p.less, w)) {
    SendMessage(h, msg, SB_LINEUP, 0);
  } else if (PtInRect(&p.more, w)) {
    SendMessage(h, msg, SB_LINEDOWN, 0);
  } else if (p.hasThumb && PtInRect(&p.thumb, w)) {
    SCROLLINFO si;
    si.fMask = SIF_POS;
    GetScrollInfo(h, bar, &si);
    g_drag = Drag{h, bar, PointerAlong(bar, w) - (bar == SB_VERT ? p.thumb.top : p.thumb.left), si.nPos};
    SetCapture(h);
    return true;
  } else if (p.hasThumb) {
    int along = PointerAlong(bar, w);
    int thumbStart = bar == SB_VERT ? p.thumb.top : p.thumb.left;
    SendMessage(h, msg, along < thumbStart ? SB_PAGEUP : SB_PAGEDOWN, 0);
  }
  SendMessage(h, msg, SB_ENDSCROLL, 0);
  return true;
}

void RedrawScrollBars(HWND h) {
  if (!(GetWindowLongPtr(h, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) || !IsWindowVisible(h)) return;
  HDC dc = GetWindowDC(h);
  if (!dc) return;
  PaintScrollBars(h, dc);
  ReleaseDC(h, dc);
}

bool ScrollBarTrack(HWND h, UINT msg, LPARAM clientPt) {
  if (g_drag.h != h) return false;
  if (GetCapture() != h) {
    g_drag = Drag{};
    return false;
  }
  Parts p;
  if (!Geometry(h, g_drag.bar, &p) || !p.hasThumb) {
    g_drag = Drag{};
    ReleaseCapture();
    return true;
  }
  POINT c{GET_X_LPARAM(clientPt), GET_Y_LPARAM(clientPt)};
  ClientToScreen(h, &c);
  POINT w = ToWindow(h, c);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(h, g_drag.bar, &si);
  int free = p.trackLength - p.thumbLength;
  long span = long(si.nMax) - si.nMin + 1 - long(si.nPage);
  int offset = std::clamp(PointerAlong(g_drag.bar, w) - g_drag.grab - p.trackStart, 0, std::max(0, free));
  int pos = si.nMin + (free > 0 ? int(span * offset / free) : 0);
  UINT scroll = g_drag.bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
  // The whole position goes into the scroll info first: the message carries 16 bits only.
  auto send = [&](WORD code, int at) {
    SCROLLINFO whole;
    whole.fMask = SIF_POS;
    whole.nPos = at;
    SetScrollInfo(h, g_drag.bar, &whole, FALSE);
    SendMessage(h, scroll, MAKEWPARAM(code, WORD(at & 0xFFFF)), 0);
  };
  if (msg == WM_MOUSEMOVE) {
    if (pos != g_drag.pos) {
      g_drag.pos = pos;
      send(SB_THUMBTRACK, pos);
    }
  } else if (msg == WM_LBUTTONUP) {
    Drag d = g_drag;
    g_drag.h = nullptr;
    ReleaseCapture();
    g_drag.h = h;
    send(SB_THUMBPOSITION, d.pos);
    g_drag = Drag{};
    SendMessage(h, scroll, SB_ENDSCROLL, 0);
  }
  return true;
}

}  // namespace win::detail
