// Painting: update regions, WM_PAINT and WM_NCPAINT, device contexts over the back buffer of
// each top-level window (children draw into their top-level's buffer, clipped), scrolling,
// scroll info, window regions and layered windows.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/Gdi.h"
#include "platform/backend/Backend.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/window/WindowImpl.h"

namespace win {
namespace detail {

namespace {

// Moves the pixels of the area `dest` (buffer coordinates) from `dest` offset by (-dx, -dy),
// row by row. Rows and spans go in the order that reads every source before it is written.
void MoveRows(Wnd& top, const Region& dest, int dx, int dy) {
  const auto& bands = dest.Bands();
  uint32_t* px = top.pixels.data();
  size_t stride = size_t(top.bufW);
  auto row = [&](const Region::Band& b, int y) {
    const uint32_t* src = px + size_t(y - dy) * stride;
    uint32_t* dst = px + size_t(y) * stride;
    size_t n = b.xs.size() / 2;
    for (size_t k = 0; k < n; ++k) {
      size_t i = dx > 0 ? n - 1 - k : k;
      int l = b.xs[2 * i], r = b.xs[2 * i + 1];
      std::memmove(dst + l, src + (l - dx), size_t(r - l) * sizeof(uint32_t));
    }
  };
  if (dy > 0) {
    for (auto b = bands.rbegin(); b != bands.rend(); ++b)
      for (int y = b->bottom - 1; y >= b->top; --y) row(*b, y);
  } else {
    for (const auto& b : bands)
      for (int y = b.top; y < b.bottom; ++y) row(b, y);
  }
}

struct DCInfo {
  HWND hwnd = nullptr;  // the window the DC was asked for
  HWND top = nullptr;   // whose back buffer it draws into
  Region visible;     // buffer coordinates
};

std::unordered_map<HDC, DCInfo>& DCs() {
  static auto* m = new std::unordered_map<HDC, DCInfo>;
  return *m;
}

RECT ClientBox(const Wnd* w) {
  return RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
}

// Offset of w's window rect inside its top-level's back buffer.
POINT OffsetInTop(const Wnd* w) {
  const Wnd* top = w;
  while (top->parent) top = top->parent;
  POINT a = WindowOrigin(w), b = WindowOrigin(top);
  return POINT{a.x - b.x, a.y - b.y};
}

HRGN ToHrgn(const Region& r) {
  std::vector<RECT> rects = r.Rects();
  std::vector<char> buf(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(buf.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = DWORD(rects.size());
  data->rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
  data->rdh.rcBound = r.Box();
  if (!rects.empty()) std::memcpy(buf.data() + sizeof(RGNDATAHEADER), rects.data(), rects.size() * sizeof(RECT));
  return ExtCreateRegion(nullptr, DWORD(buf.size()), data);
}

Region FromHrgn(HRGN rgn) {
  DWORD size = GetRegionData(rgn, 0, nullptr);
  if (!size) return Region();
  std::vector<char> buf(size);
  auto* data = reinterpret_cast<RGNDATA*>(buf.data());
  if (!GetRegionData(rgn, size, data)) return Region();
  std::vector<RECT> rects(data->rdh.nCount);
  if (!rects.empty()) std::memcpy(rects.data(), buf.data() + data->rdh.dwSize, rects.size() * sizeof(RECT));
  return Region::FromRects(rects.data(), rects.size());
}

// A DC over w's top-level back buffer. `client`: origin at the client area, else at the window.
// `visible` is in w's window coordinates.
HDC MakeDC(Wnd* w, bool client, const Region& visibleInWindow) {
  Wnd* top = TopLevelOf(w);
  if (top->pixels.empty()) return nullptr;
  POINT off = OffsetInTop(w);
  Region vis = visibleInWindow;
  vis.Offset(off.x, off.y);
  vis &= RECT{0, 0, top->bufW, top->bufH};
  SurfaceDesc sd;
  sd.pixels = top->pixels.data();
  sd.width = top->bufW;
  sd.height = top->bufH;
  sd.stride = top->bufW * 4;
  POINT origin{off.x + (client ? w->client.left : 0), off.y + (client ? w->client.top : 0)};
  HRGN rgn = ToHrgn(vis);
  HDC dc = CreateSurfaceDC(sd, origin, rgn);
  DeleteObject(rgn);
  if (!dc) return nullptr;
  DCs()[dc] = DCInfo{w->handle, top->handle, vis};
  return dc;
}

void SendNcPaint(Wnd* w) {
  w->ncPaintNeeded = false;
  if (w->rect.right - w->rect.left == w->client.right - w->client.left &&
      w->rect.bottom - w->rect.top == w->client.bottom - w->client.top)
    return;  // no non-client area to paint
  Send(w, WM_NCPAINT, 1, 0);
}

bool NeedsPaint(const Wnd* w) { return !w->update.Empty() || w->internalPaint; }

bool FindIn(Wnd* w, ThreadQueue& q, HWND filter, bool inFilter, HWND* out) {
  if (!(w->style & WS_VISIBLE) || w->destroying) return false;
  inFilter = inFilter || !filter || w->handle == filter;
  if (w->threadId == q.threadId && inFilter) {
    if (w->ncPaintNeeded && !NeedsPaint(w)) {
      WndRef ref(w);
      SendNcPaint(w);
      if (!ref.alive()) return false;
    }
    if (NeedsPaint(w)) {
      *out = w->handle;
      return true;
    }
  }
  std::vector<Wnd*> kids = w->children;
  for (Wnd* c : kids)
    if (FindIn(c, q, filter, inFilter, out)) return true;
  return false;
}

}  // namespace

Region VisibleRegion(Wnd* w, bool clientOnly, bool clipChildren) {
  Region out;
  if (!IsVisibleChain(w)) return out;
  int ww = w->rect.right - w->rect.left, wh = w->rect.bottom - w->rect.top;
  out |= (clientOnly ? w->client : RECT{0, 0, ww, wh});
  if (w->hasRegion) out &= w->region;
  if (clipChildren) {
    // A child shows only inside the client area: the frame around it stays the window's own.
    Region clientArea;
    clientArea |= w->client;
    for (Wnd* c : w->children) {
      if (!(c->style & WS_VISIBLE)) continue;
      RECT r = c->rect;
      OffsetRect(&r, w->client.left, w->client.top);
      Region cr;
      if (c->hasRegion) {
        cr = c->region;
        cr.Offset(r.left, r.top);
      } else {
        cr |= r;
      }
      cr &= clientArea;
      out -= cr;
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
        Region sr = sib->region;
        sr.Offset(r.left, r.top);
        out -= sr;
      } else {
        out -= r;
      }
    }
    RECT pc{0, 0, p->client.right - p->client.left, p->client.bottom - p->client.top};
    OffsetRect(&pc, -dx, -dy);
    out &= pc;
    dx += p->client.left;
    dy += p->client.top;
    if (p->hasRegion) {
      Region pr = p->region;
      pr.Offset(-dx, -dy);
      out &= pr;
    }
  }
  return out;
}

void ResizeBackBuffer(Wnd* top, bool force) {
  int w = std::max<int>(0, top->rect.right - top->rect.left), h = std::max<int>(0, top->rect.bottom - top->rect.top);
  if (!force && w == top->bufW && h == top->bufH && !top->pixels.empty()) return;
  // The old pixels are kept aside first: the backend may reuse their memory for the new buffer.
  std::vector<uint32_t> old(top->pixels.data(), top->pixels.data() + top->pixels.size());
  const int oldW = top->bufW, oldH = top->pixels.empty() ? 0 : top->bufH;
  const int nw = std::max(w, 1), nh = std::max(h, 1);
  const size_t n = size_t(nw) * size_t(nh);
  // Layered windows push their content another way and keep memory of their own, and so do
  // tiny ones (hidden helper windows), which need no shared segment of the display server.
  const bool tiny = n < 256;
  uint32_t* mem = (top->exStyle & WS_EX_LAYERED) || tiny
                      ? nullptr
                      : backend::Current().BackBufferMemory(top->handle, nw, nh);
  if (mem) {
    top->pixels.UseExternal(mem, n);
    std::memset(mem, 0, n * 4);
  } else {
    top->pixels.UseOwn(n);
  }
  for (int y = 0; y < std::min(h, oldH); ++y)
    std::memcpy(&top->pixels[size_t(y) * size_t(nw)], &old[size_t(y) * size_t(oldW)], size_t(std::min(w, oldW)) * 4);
  top->bufW = nw;
  top->bufH = nh;
  // Live DCs keep drawing into the new buffer.
  for (auto& [dc, info] : DCs()) {
    if (info.top != top->handle) continue;
    SurfaceDesc sd{top->pixels.data(), top->bufW, top->bufH, top->bufW * 4};
    SetSurfaceDCBuffer(dc, sd);
  }
  top->dirty.Clear();
  top->dirty |= RECT{0, 0, top->bufW, top->bufH};
}

void InvalidateWindow(Wnd* w, const Region& area, bool erase, bool children, bool frame) {
  if (!IsVisibleChain(w)) return;
  Region a = area;
  a &= ClientBox(w);
  if (!a.Empty()) {
    w->update |= a;
    if (erase) w->eraseNeeded = true;
  }
  if (frame) w->ncPaintNeeded = true;
  if (!children) return;
  for (Wnd* c : w->children) {
    if (!(c->style & WS_VISIBLE)) continue;
    Region ca = area;
    ca &= c->rect;
    if (ca.Empty()) continue;
    bool hasFrame = !(c->client == RECT{0, 0, c->rect.right - c->rect.left, c->rect.bottom - c->rect.top});
    ca.Offset(-(c->rect.left + c->client.left), -(c->rect.top + c->client.top));
    InvalidateWindow(c, ca, erase, true, hasFrame);
  }
}

void InvalidateAll(Wnd* w, bool erase) {
  InvalidateWindow(w, Region(ClientBox(w)), erase, true, true);
}

void ExposeInParent(Wnd* w, const RECT& oldRect) {
  if (!w->parent) return;
  Region area(oldRect);  // the parent's client coordinates
  InvalidateWindow(w->parent, area, true, true, false);
}

bool FindPaintWindow(ThreadQueue& q, HWND filter, HWND* out) {
  std::vector<Wnd*> tops = TopLevels();
  for (Wnd* t : tops)
    if (FindIn(t, q, filter, false, out)) return true;
  return false;
}

namespace {
constexpr size_t kMaxPresentRects = 32;
}  // namespace

void PresentAll() {
  for (Wnd* t : TopLevels()) {
    if (t->dirty.Empty() || t->pixels.empty()) continue;
    // The dirty area is already merged into y-x bands; when that still leaves many small
    // pieces, one box costs the backend less than they do.
    std::vector<RECT> rects = t->dirty.RectCount() > kMaxPresentRects ? std::vector<RECT>{t->dirty.Box()}
                                                                       : t->dirty.Rects();
    t->dirty.Clear();
    backend::Current().Present(t->handle, t->pixels.data(), t->bufW, t->bufH, rects);
  }
  PlaceNativeChildren();
}

void ForgetPaintState(Wnd* w) {
  w->update.Clear();
  w->ncPaintNeeded = false;
  w->internalPaint = false;
  if (w->regionHandle) {
    DeleteObject(w->regionHandle);
    w->regionHandle = nullptr;
  }
  for (auto it = DCs().begin(); it != DCs().end();) {
    if (it->second.hwnd == w->handle || it->second.top == w->handle) {
      ReleaseSurfaceDC(it->first);
      it = DCs().erase(it);
    } else {
      ++it;
    }
  }
}

BOOL FillBackground(HDC dc, const RECT* r, HBRUSH brush) { return FillRect(dc, r, brush) ? TRUE : FALSE; }

}  // namespace detail

using namespace detail;

BOOL InvalidateRect(HWND h, const RECT* r, BOOL erase) {
  if (!h) return FALSE;
  Wnd* w = Find(h);
  if (!w) return FALSE;
  Region area(r ? *r : ClientBox(w));
  InvalidateWindow(w, area, erase, !(w->style & WS_CLIPCHILDREN), false);
  return TRUE;
}

BOOL InvalidateRgn(HWND h, HRGN rgn, BOOL erase) {
  Wnd* w = Find(h);
  if (!w) return FALSE;
  Region area = rgn ? FromHrgn(rgn) : Region(ClientBox(w));
  InvalidateWindow(w, area, erase, !(w->style & WS_CLIPCHILDREN), false);
  return TRUE;
}

BOOL ValidateRect(HWND h, const RECT* r) {
  Wnd* w = Find(h);
  if (!w) return FALSE;
  if (r) w->update -= *r;
  else w->update.Clear();
  if (w->update.Empty()) w->eraseNeeded = false;
  return TRUE;
}

BOOL ValidateRgn(HWND h, HRGN rgn) {
  Wnd* w = Find(h);
  if (!w) return FALSE;
  if (rgn) w->update -= FromHrgn(rgn);
  else w->update.Clear();
  if (w->update.Empty()) w->eraseNeeded = false;
  return TRUE;
}

BOOL GetUpdateRect(HWND h, RECT* r, BOOL erase) {
  Wnd* w = Find(h);
  if (!w) return FALSE;
  if (r) *r = w->update.Box();
  return w->update.Empty() ? FALSE : TRUE;
}

int GetUpdateRgn(HWND h, HRGN rgn, BOOL erase) {
  Wnd* w = Find(h);
  if (!w || !rgn) return ERROR;
  HRGN tmp = ToHrgn(w->update);
  int r = CombineRgn(rgn, tmp, nullptr, RGN_COPY);
  DeleteObject(tmp);
  return r;
}

BOOL UpdateWindow(HWND h) {
  Wnd* w = Find(h);
  if (!w) return FALSE;
  WndRef ref(w);
  if (w->ncPaintNeeded && !NeedsPaint(w) && IsVisibleChain(w)) SendNcPaint(w);
  if (ref.alive() && NeedsPaint(w) && IsVisibleChain(w)) {
    w->internalPaint = false;
    Send(w, WM_PAINT, 0, 0);
  }
  if (CurrentQueue()->dispatchDepth == 0) PresentAll();
  return TRUE;
}

BOOL RedrawWindow(HWND h, const RECT* r, HRGN rgn, UINT flags) {
  Wnd* w = Find(h);
  if (!w) return FALSE;
  Region area = rgn ? FromHrgn(rgn) : Region(r ? *r : ClientBox(w));
  bool children = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
  if (flags & RDW_INVALIDATE) InvalidateWindow(w, area, flags & RDW_ERASE, children, flags & RDW_FRAME);
  if (flags & RDW_INTERNALPAINT) w->internalPaint = true;
  if (flags & RDW_VALIDATE) {
    w->update -= area;
    if (flags & RDW_NOFRAME) w->ncPaintNeeded = false;
    if (flags & RDW_NOERASE) w->eraseNeeded = false;
    if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
  }
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
    std::vector<HWND> order;
    std::function<void(Wnd*)> walk = [&](Wnd* x) {
      order.push_back(x->handle);
      if (children)
        for (Wnd* c : x->children) walk(c);
    };
    walk(w);
    for (HWND x : order) {
      Wnd* xw = Find(x);
      if (!xw || !IsVisibleChain(xw)) continue;
      if (flags & RDW_UPDATENOW) UpdateWindow(x);
      else if (xw->ncPaintNeeded) SendNcPaint(xw);
    }
  }
  return TRUE;
}

HDC BeginPaint(HWND h, PAINTSTRUCT* ps) {
  Wnd* w = Find(h);
  if (!w || !ps) return nullptr;
  *ps = PAINTSTRUCT{};
  WndRef ref(w);
  if (w->ncPaintNeeded) {
    SendNcPaint(w);
    if (!ref.alive()) return nullptr;
  }
  Region upd = w->update;
  bool erase = w->eraseNeeded;
  w->update.Clear();
  w->eraseNeeded = false;
  w->internalPaint = false;
  Region vis = VisibleRegion(w, true, w->style & WS_CLIPCHILDREN);
  Region inWindow = upd;
  inWindow.Offset(w->client.left, w->client.top);
  vis &= inWindow;
  HDC dc = MakeDC(w, true, vis);
  ps->hdc = dc;
  ps->rcPaint = upd.Box();
  if (erase) {
    LRESULT done = Send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    if (!ref.alive()) return dc;
    ps->fErase = done ? FALSE : TRUE;
  }
  return dc;
}

BOOL EndPaint(HWND h, const PAINTSTRUCT* ps) {
  if (!ps) return FALSE;
  if (ps->hdc) ReleaseDC(h, ps->hdc);
  return TRUE;
}

HDC GetDCEx(HWND h, HRGN clip, DWORD flags) {
  if (!h) return CreateScreenDC();
  Wnd* w = Find(h);
  if (!w) return nullptr;
  bool window = flags & DCX_WINDOW;
  bool clipChildren = (flags & DCX_CLIPCHILDREN) || (w->style & WS_CLIPCHILDREN);
  Region vis = VisibleRegion(w, !window, clipChildren);
  if (clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
    Region c = FromHrgn(clip);  // screen coordinates
    POINT o = WindowOrigin(w);
    c.Offset(-o.x, -o.y);
    if (flags & DCX_INTERSECTRGN) vis &= c;
    else vis -= c;
  }
  return MakeDC(w, !window, vis);
}

HDC GetDC(HWND h) { return GetDCEx(h, nullptr, 0); }
HDC GetWindowDC(HWND h) { return GetDCEx(h, nullptr, DCX_WINDOW); }

int ReleaseDC(HWND h, HDC dc) {
  auto it = DCs().find(dc);
  if (it == DCs().end()) {
    if (!h && dc) {
      DeleteDC(dc);
      return 1;
    }
    return 0;
  }
  if (Wnd* top = Find(it->second.top)) top->dirty |= it->second.visible;
  ReleaseSurfaceDC(dc);
  DCs().erase(it);
  if (CurrentQueue()->dispatchDepth == 0) PresentAll();
  return 1;
}

HWND WindowFromDC(HDC dc) {
  auto it = DCs().find(dc);
  return it == DCs().end() ? nullptr : it->second.hwnd;
}

BOOL LockWindowUpdate(HWND) { return TRUE; }

int ScrollWindowEx(HWND h, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN updateRgn,
                   RECT* updateRect, UINT flags) {
  Wnd* w = Find(h);
  if (!w) return ERROR;
  RECT area = scroll ? *scroll : ClientBox(w);
  RECT cb = ClientBox(w);
  IntersectRect(&area, &area, &cb);
  if (clip) IntersectRect(&area, &area, clip);
  // Move the pixels that stay visible, inside the client's visible part of the back buffer.
  Region vis = VisibleRegion(w, true, w->style & WS_CLIPCHILDREN);
  vis.Offset(-w->client.left, -w->client.top);  // client coordinates
  vis &= area;
  Region dest = vis;
  dest.Offset(dx, dy);
  dest &= vis;  // destination pixels whose source is visible too
  Wnd* top = TopLevelOf(w);
  POINT off = OffsetInTop(w);
  off.x += w->client.left;
  off.y += w->client.top;
  if (!top->pixels.empty() && !dest.Empty()) {
    Region d = dest;
    d.Offset(off.x, off.y);  // buffer coordinates
    RECT buffer{0, 0, top->bufW, top->bufH};
    d &= buffer;
    OffsetRect(&buffer, dx, dy);
    d &= buffer;  // and the sources inside the buffer too
    MoveRows(*top, d, dx, dy);
    top->dirty |= d;
  }
  // The update region moves with the content; what was uncovered becomes invalid.
  Region moved = w->update;
  moved &= area;
  w->update -= area;
  moved.Offset(dx, dy);
  moved &= area;
  w->update |= moved;
  Region exposed(area);
  exposed -= dest;
  if (flags & SW_SCROLLCHILDREN) {
    for (Wnd* c : w->children) {
      if (scroll) {
        RECT inter;
        if (!IntersectRect(&inter, &c->rect, scroll)) continue;
      }
      SetWindowPos(c->handle, nullptr, c->rect.left + dx, c->rect.top + dy, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
      if (IsVisibleChain(c)) InvalidateAll(c, true);
    }
  }
  if (flags & SW_INVALIDATE) InvalidateWindow(w, exposed, flags & SW_ERASE, true, false);
  if (updateRect) *updateRect = exposed.Box();
  if (updateRgn) {
    HRGN tmp = ToHrgn(exposed);
    CombineRgn(updateRgn, tmp, nullptr, RGN_COPY);
    DeleteObject(tmp);
  }
  return exposed.Kind();
}

BOOL ScrollWindow(HWND h, int dx, int dy, const RECT* scroll, const RECT* clip) {
  return ScrollWindowEx(h, dx, dy, scroll, clip, nullptr, nullptr,
                        SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN)) != ERROR;
}

int SetWindowRgn(HWND h, HRGN rgn, BOOL redraw) {
  Wnd* w = Find(h);
  if (!w) return 0;
  bool wasVisible = IsVisibleChain(w);
  RECT old = w->rect;
  if (w->regionHandle && w->regionHandle != rgn) DeleteObject(w->regionHandle);
  w->regionHandle = rgn;
  w->hasRegion = rgn != nullptr;
  w->region = rgn ? FromHrgn(rgn) : Region();
  if (!w->parent) {
    std::vector<RECT> rects = w->region.Rects();
    backend::Current().SetShape(h, rgn ? &rects : nullptr);
  }
  if (redraw && wasVisible) {
    if (w->parent) ExposeInParent(w, old);
    InvalidateAll(w, true);
  }
  return 1;
}

int GetWindowRgn(HWND h, HRGN rgn) {
  Wnd* w = Find(h);
  if (!w || !rgn || !w->regionHandle) return ERROR;
  return CombineRgn(rgn, w->regionHandle, nullptr, RGN_COPY);
}

// ---- scroll info ------------------------------------------------------------------------------

namespace {
ScrollData* Bar(HWND h, int bar, Wnd** out = nullptr) {
  Wnd* w = Find(h);
  if (!w || (bar != SB_HORZ && bar != SB_VERT)) return nullptr;
  if (out) *out = w;
  return &w->scroll[bar];
}
int ClampPos(const ScrollData& s, int pos) {
  int maxPos = s.nMax - std::max<int>(int(s.nPage) - 1, 0);
  return std::max(s.nMin, std::min(pos, std::max(maxPos, s.nMin)));
}
}  // namespace

int SetScrollInfo(HWND h, int bar, const SCROLLINFO* si, BOOL redraw) {
  ScrollData* s = Bar(h, bar);
  if (!s || !si) return 0;
  if (si->fMask & SIF_RANGE) {
    s->nMin = si->nMin;
    s->nMax = std::max(si->nMin, si->nMax);
  }
  if (si->fMask & SIF_PAGE) s->nPage = std::min<UINT>(si->nPage, UINT(s->nMax - s->nMin + 1));
  if (si->fMask & SIF_POS) s->nPos = si->nPos;
  s->nPos = ClampPos(*s, s->nPos);
  return s->nPos;
}

BOOL GetScrollInfo(HWND h, int bar, SCROLLINFO* si) {
  ScrollData* s = Bar(h, bar);
  if (!s || !si) return FALSE;
  if (si->fMask & SIF_RANGE) { si->nMin = s->nMin; si->nMax = s->nMax; }
  if (si->fMask & SIF_PAGE) si->nPage = s->nPage;
  if (si->fMask & SIF_POS) si->nPos = s->nPos;
  if (si->fMask & SIF_TRACKPOS) si->nTrackPos = s->nTrackPos;
  return TRUE;
}

int SetScrollPos(HWND h, int bar, int pos, BOOL redraw) {
  ScrollData* s = Bar(h, bar);
  if (!s) return 0;
  int old = s->nPos;
  s->nPos = ClampPos(*s, pos);
  return old;
}

int GetScrollPos(HWND h, int bar) {
  ScrollData* s = Bar(h, bar);
  return s ? s->nPos : 0;
}

BOOL SetScrollRange(HWND h, int bar, int minPos, int maxPos, BOOL redraw) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = minPos;
  si.nMax = maxPos;
  if (!Bar(h, bar)) return FALSE;
  SetScrollInfo(h, bar, &si, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND h, int bar, int* minPos, int* maxPos) {
  ScrollData* s = Bar(h, bar);
  if (!s) return FALSE;
  if (minPos) *minPos = s->nMin;
  if (maxPos) *maxPos = s->nMax;
  return TRUE;
}

BOOL ShowScrollBar(HWND h, int bar, BOOL show) {
  Wnd* w = Find(h);
  if (!w || bar < SB_HORZ || bar > SB_BOTH || bar == SB_CTL) return FALSE;
  DWORD before = w->style;
  bool changed = false;
  for (int b : {SB_HORZ, SB_VERT}) {
    if (bar != SB_BOTH && bar != b) continue;
    DWORD flag = b == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    if (bool(w->scroll[b].shown) != bool(show)) changed = true;
    w->scroll[b].shown = show;
    if (show) w->style |= flag;
    else w->style &= ~flag;
  }
  if (changed || before != w->style)
    SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return TRUE;
}

// ---- layered windows --------------------------------------------------------------------------

BOOL SetLayeredWindowAttributes(HWND h, COLORREF key, BYTE alpha, DWORD flags) {
  Wnd* w = Find(h);
  if (!w || w->parent || !(w->exStyle & WS_EX_LAYERED)) return FALSE;
  w->layeredKey = key;
  w->layeredFlags = flags;
  w->layeredAlpha = (flags & LWA_ALPHA) ? alpha : 255;
  w->layeredPerPixel = false;
  w->layeredHasContent = true;
  backend::Current().SetAlpha(h, w->layeredAlpha);
  SurfaceColorKey(w);
  UpdateSurfaceShown(w);
  return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND h, COLORREF* key, BYTE* alpha, DWORD* flags) {
  Wnd* w = Find(h);
  if (!w || !(w->exStyle & WS_EX_LAYERED) || !w->layeredHasContent || w->layeredPerPixel) return FALSE;
  if (key) *key = w->layeredKey;
  if (alpha) *alpha = w->layeredAlpha;
  if (flags) *flags = w->layeredFlags;
  return TRUE;
}

BOOL UpdateLayeredWindow(HWND h, HDC, const POINT* dstPt, const SIZE* size, HDC srcDC, const POINT* srcPt,
                         COLORREF key, const BLENDFUNCTION* blend, DWORD flags) {
  Wnd* w = Find(h);
  if (!w || w->parent || !(w->exStyle & WS_EX_LAYERED)) return FALSE;
  if (w->layeredHasContent && !w->layeredPerPixel) return FALSE;  // SetLayeredWindowAttributes won
  RECT r = w->rect;
  int cw = size ? size->cx : r.right - r.left, ch = size ? size->cy : r.bottom - r.top;
  if (cw <= 0 || ch <= 0) return FALSE;
  std::vector<uint32_t> px(size_t(cw) * size_t(ch), 0);
  if (srcDC) {
    HGDIOBJ bmp = GetCurrentObject(srcDC, OBJ_BITMAP);
    DIBSECTION ds{};
    if (!bmp || GetObject(bmp, sizeof ds, &ds) != int(sizeof ds) || ds.dsBm.bmBitsPixel != 32 || !ds.dsBm.bmBits)
      return FALSE;
    int sx = srcPt ? srcPt->x : 0, sy = srcPt ? srcPt->y : 0;
    bool bottomUp = ds.dsBmih.biHeight > 0;
    int bw = ds.dsBm.bmWidth, bh = ds.dsBm.bmHeight;
    for (int y = 0; y < ch; ++y) {
      int yy = sy + y;
      if (yy < 0 || yy >= bh) continue;
      int row = bottomUp ? bh - 1 - yy : yy;
      auto* src = reinterpret_cast<const uint32_t*>(static_cast<const char*>(ds.dsBm.bmBits) +
                                                    size_t(row) * size_t(ds.dsBm.bmWidthBytes));
      for (int x = 0; x < cw; ++x) {
        int xx = sx + x;
        if (xx >= 0 && xx < bw) px[size_t(y) * cw + x] = src[xx];
      }
    }
  }
  if (!(flags & ULW_ALPHA))
    for (uint32_t& p : px) p |= 0xFF000000u;
  BYTE alpha = blend ? blend->SourceConstantAlpha : 255;
  w->layeredPerPixel = true;
  w->layeredHasContent = true;
  w->layeredAlpha = alpha;
  if (dstPt || size) {
    SetWindowPos(h, nullptr, dstPt ? dstPt->x : r.left, dstPt ? dstPt->y : r.top, cw, ch,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | (dstPt ? 0 : SWP_NOMOVE));
  }
  backend::Current().UpdateLayered(h, px.data(), cw, ch, alpha);
  UpdateSurfaceShown(w);
  return TRUE;
}

}  // namespace win
