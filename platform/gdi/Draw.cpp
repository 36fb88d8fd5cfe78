// Primitives: rectangles, lines, polygons, ellipses, edges and region painting.
#include <algorithm>
#include <cstdlib>

#include "platform/gdi/Paint.h"
#include "platform/gdi/Shapes.h"

namespace win::gdi {
namespace {

struct PenPaint {
  bool null = true;
  uint32_t color = 0;
  int width = 1;
  const int* dash = nullptr;  // on/off lengths, 0-terminated
  uint32_t bk = 0;
  bool bkOpaque = false;
};

PenPaint MakePenPaint(const Dc& dc) {
  static const int kDash[] = {18, 6, 0}, kDot[] = {3, 3, 0}, kDashDot[] = {9, 6, 3, 6, 0},
                   kDashDotDot[] = {9, 3, 3, 3, 3, 3, 0};
  PenPaint p;
  const Pen* pen = dc.st.pen.get();
  if (!pen) return p;
  UINT style = pen->lp.lopnStyle & PS_STYLE_MASK;
  if (style == PS_NULL) return p;
  p.null = false;
  p.color = ColorRefToPixel(pen->dcPen ? dc.st.dcPenColor : pen->lp.lopnColor);
  p.width = std::max<int>(1, pen->lp.lopnWidth.x);
  p.bk = ColorRefToPixel(dc.st.bkColor);
  p.bkOpaque = dc.st.bkMode == OPAQUE;
  switch (style) {
    case PS_DASH: p.dash = kDash; break;
    case PS_DOT: p.dash = kDot; break;
    case PS_DASHDOT: p.dash = kDashDot; break;
    case PS_DASHDOTDOT: p.dash = kDashDotDot; break;
    default: break;
  }
  return p;
}

void PenDot(Dc& dc, const Surf& s, int x, int y, uint32_t c, int width) {
  if (width <= 1) {
    PlotPixel(dc, s, x, y, c, dc.st.rop2);
    return;
  }
  int o = (width - 1) / 2;
  for (int yy = y - o; yy < y - o + width; ++yy)
    for (int xx = x - o; xx < x - o + width; ++xx) PlotPixel(dc, s, xx, yy, c, dc.st.rop2);
}

// Bresenham from (x0, y0) to (x1, y1) in buffer coordinates, without the end point.
void Line(Dc& dc, const PenPaint& p, int x0, int y0, int x1, int y1) {
  if (p.null) return;
  Surf s = dc.GetSurf();
  if (!s.Valid()) return;
  int64_t dx = std::llabs(int64_t(x1) - x0), dy = -std::llabs(int64_t(y1) - y0);
  int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int64_t err = dx + dy;
  int64_t steps = std::max(dx, -dy);
  // Far-off lines are cut to the part that can reach the surface.
  const int64_t kLimit = 1 << 24;
  if (steps > kLimit) steps = kLimit;
  int x = x0, y = y0;
  int seg = 0, left = p.dash ? p.dash[0] : 0;
  bool on = true;
  for (int64_t i = 0; i < steps; ++i) {
    if (on) PenDot(dc, s, x, y, p.color, p.width);
    else if (p.bkOpaque) PenDot(dc, s, x, y, p.bk, p.width);
    if (p.dash && --left == 0) {
      seg = p.dash[seg + 1] ? seg + 1 : 0;
      left = p.dash[seg];
      on = (seg % 2) == 0;
    }
    int64_t e2 = 2 * err;
    if (e2 >= dy) { err += dy; x += sx; }
    if (e2 <= dx) { err += dx; y += sy; }
  }
}

Region ToBuffer(const Dc& dc, Region r) {
  r.Offset(dc.X(0), dc.Y(0));
  return r;
}

// The outline of a filled shape: its pixels within `width` of the outside.
Region Outline(const Region& shape, int width) {
  Region inner = shape;
  for (int i = 0; i < width; ++i) inner = Erode(inner);
  return Region::Combine(shape, inner, Region::Diff);
}

// Draws a filled shape: the brush inside, the pen on the outline (or a pixel-smaller shape
// without a pen, as GDI does).
template <class MakeShape>
BOOL DrawShape(HDC hdc, int l, int t, int r, int b, MakeShape&& make) {
  auto dc = GetDc(hdc);
  if (!dc) return FALSE;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  PenPaint pen = MakePenPaint(*dc);
  BrushPaint brush = MakeBrushPaint(*dc, dc->st.brush.get());
  if (pen.null) {
    FillBufferRegion(*dc, ToBuffer(*dc, make(l, t, r - 1, b - 1)), brush, dc->st.rop2);
    return TRUE;
  }
  Region shape = ToBuffer(*dc, make(l, t, r, b));
  Region edge = Outline(shape, pen.width);
  FillBufferRegion(*dc, Region::Combine(shape, edge, Region::Diff), brush, dc->st.rop2);
  BrushPaint pb;
  pb.null = false;
  pb.solid = true;
  pb.color = pen.color;
  FillBufferRegion(*dc, edge, pb, dc->st.rop2);
  return TRUE;
}

BrushPaint Solid(uint32_t c) {
  BrushPaint b;
  b.null = false;
  b.solid = true;
  b.color = c;
  return b;
}

}  // namespace
}  // namespace win::gdi

namespace win {
using namespace gdi;

int FillRect(HDC hdc, const RECT* r, HBRUSH brush) {
  auto dc = GetDc(hdc);
  auto b = BrushFromHandle(brush);
  if (!dc || !r || !b) return 0;
  RECT d{dc->X(r->left), dc->Y(r->top), dc->X(r->right), dc->Y(r->bottom)};
  FillBufferRect(*dc, d, MakeBrushPaint(*dc, b.get()));
  return 1;
}

int FrameRect(HDC hdc, const RECT* r, HBRUSH brush) {
  auto dc = GetDc(hdc);
  auto b = BrushFromHandle(brush);
  if (!dc || !r || !b) return 0;
  if (r->left >= r->right || r->top >= r->bottom) return 1;
  BrushPaint bp = MakeBrushPaint(*dc, b.get());
  int l = dc->X(r->left), t = dc->Y(r->top), rr = dc->X(r->right), bb = dc->Y(r->bottom);
  Region frame = Region::Combine(Region(RECT{l, t, rr, bb}), Region(RECT{l + 1, t + 1, rr - 1, bb - 1}), Region::Diff);
  FillBufferRegion(*dc, frame, bp);
  return 1;
}

BOOL InvertRect(HDC hdc, const RECT* r) {
  auto dc = GetDc(hdc);
  if (!dc || !r) return FALSE;
  FillBufferRect(*dc, RECT{dc->X(r->left), dc->Y(r->top), dc->X(r->right), dc->Y(r->bottom)}, Solid(0), R2_NOT);
  return TRUE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* r) {
  auto dc = GetDc(hdc);
  if (!dc || !r) return FALSE;
  Surf s = dc->GetSurf();
  if (!s.Valid()) return TRUE;
  int l = dc->X(r->left), t = dc->Y(r->top), rr = dc->X(r->right), bb = dc->Y(r->bottom);
  if (l >= rr || t >= bb) return TRUE;
  // Every other pixel of the frame, counted from the top-left corner, is inverted; a second call
  // restores the pixels.
  auto dot = [&](int x, int y) {
    if (((x - l) + (y - t)) % 2 == 0) PlotPixel(*dc, s, x, y, 0xFFFFFF, R2_XORPEN);
  };
  for (int x = l; x < rr; ++x) {
    dot(x, t);
    if (bb - 1 > t) dot(x, bb - 1);
  }
  for (int y = t + 1; y < bb - 1; ++y) {
    dot(l, y);
    if (rr - 1 > l) dot(rr - 1, y);
  }
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  auto dc = GetDc(hdc);
  if (!dc) return FALSE;
  Line(*dc, MakePenPaint(*dc), dc->X(dc->st.cur.x), dc->Y(dc->st.cur.y), dc->X(x), dc->Y(y));
  dc->st.cur = POINT{x, y};
  return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* pts, int count) {
  auto dc = GetDc(hdc);
  if (!dc || !pts || count < 2) return FALSE;
  PenPaint pen = MakePenPaint(*dc);
  for (int i = 0; i + 1 < count; ++i)
    Line(*dc, pen, dc->X(pts[i].x), dc->Y(pts[i].y), dc->X(pts[i + 1].x), dc->Y(pts[i + 1].y));
  return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* pts, int count) {
  auto dc = GetDc(hdc);
  if (!dc || !pts || count < 2) return FALSE;
  BrushPaint brush = MakeBrushPaint(*dc, dc->st.brush.get());
  FillBufferRegion(*dc, ToBuffer(*dc, PolygonShape(pts, count, dc->st.polyFillMode)), brush, dc->st.rop2);
  PenPaint pen = MakePenPaint(*dc);
  for (int i = 0; i < count; ++i) {
    const POINT& a = pts[i];
    const POINT& b = pts[(i + 1) % count];
    Line(*dc, pen, dc->X(a.x), dc->Y(a.y), dc->X(b.x), dc->Y(b.y));
  }
  return TRUE;
}

BOOL Rectangle(HDC hdc, int l, int t, int r, int b) {
  return DrawShape(hdc, l, t, r, b, [](int l2, int t2, int r2, int b2) { return Region(RECT{l2, t2, r2, b2}); });
}

BOOL RoundRect(HDC hdc, int l, int t, int r, int b, int ew, int eh) {
  return DrawShape(hdc, l, t, r, b, [&](int l2, int t2, int r2, int b2) { return RoundRectShape(l2, t2, r2, b2, ew, eh); });
}

BOOL Ellipse(HDC hdc, int l, int t, int r, int b) {
  return DrawShape(hdc, l, t, r, b, [](int l2, int t2, int r2, int b2) { return EllipseShape(l2, t2, r2, b2); });
}

BOOL DrawEdge(HDC hdc, RECT* rc, UINT edge, UINT flags) {
  auto dc = GetDc(hdc);
  if (!dc || !rc) return FALSE;
  RECT r{dc->X(rc->left), dc->Y(rc->top), dc->X(rc->right), dc->Y(rc->bottom)};
  auto col = [](int i) { return ColorRefToPixel(GetSysColor(i)); };
  struct Border { UINT bit; int tl, br; };
  // Outer border first, then inner; top-left colours, then bottom-right ones over the corners.
  Border outer = (edge & BDR_RAISEDOUTER) ? Border{BDR_RAISEDOUTER, COLOR_3DLIGHT, COLOR_3DDKSHADOW}
                                          : Border{BDR_SUNKENOUTER, COLOR_3DSHADOW, COLOR_3DHILIGHT};
  Border inner = (edge & BDR_RAISEDINNER) ? Border{BDR_RAISEDINNER, COLOR_3DHILIGHT, COLOR_3DSHADOW}
                                          : Border{BDR_SUNKENINNER, COLOR_3DDKSHADOW, COLOR_3DLIGHT};
  if (flags & BF_FLAT) { outer.tl = outer.br = COLOR_3DSHADOW; inner.tl = inner.br = COLOR_3DFACE; }
  if (flags & BF_MONO) { outer.tl = outer.br = COLOR_WINDOWFRAME; inner.tl = inner.br = COLOR_WINDOW; }
  bool hasOuter = edge & BDR_OUTER, hasInner = edge & BDR_INNER;
  for (int pass = 0; pass < 2; ++pass) {
    bool on = pass == 0 ? hasOuter : hasInner;
    if (!on) continue;
    const Border& bd = pass == 0 ? outer : inner;
    if (r.left >= r.right || r.top >= r.bottom) break;
    BrushPaint tl = Solid(col(bd.tl)), br = Solid(col(bd.br));
    if (flags & BF_TOP) FillBufferRect(*dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, tl);
    if (flags & BF_LEFT) FillBufferRect(*dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, tl);
    if (flags & BF_BOTTOM) FillBufferRect(*dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, br);
    if (flags & BF_RIGHT) FillBufferRect(*dc, RECT{r.right - 1, r.top, r.right, r.bottom}, br);
    if (flags & BF_TOP) ++r.top;
    if (flags & BF_LEFT) ++r.left;
    if (flags & BF_BOTTOM) --r.bottom;
    if (flags & BF_RIGHT) --r.right;
  }
  if (flags & BF_MIDDLE) FillBufferRect(*dc, r, Solid(col((flags & BF_MONO) ? COLOR_WINDOW : COLOR_3DFACE)));
  if (flags & BF_ADJUST) {
    int dx = rc->left - dc->X(rc->left), dy = rc->top - dc->Y(rc->top);
    *rc = RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
  }
  return TRUE;
}

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush) {
  auto dc = GetDc(hdc);
  auto r = Get<RegionObj>(rgn, Kind::Region);
  auto b = BrushFromHandle(brush);
  if (!dc || !r || !b) return FALSE;
  FillBufferRegion(*dc, ToBuffer(*dc, r->rgn), MakeBrushPaint(*dc, b.get()));
  return TRUE;
}

BOOL PaintRgn(HDC hdc, HRGN rgn) {
  auto dc = GetDc(hdc);
  auto r = Get<RegionObj>(rgn, Kind::Region);
  if (!dc || !r) return FALSE;
  FillBufferRegion(*dc, ToBuffer(*dc, r->rgn), MakeBrushPaint(*dc, dc->st.brush.get()), dc->st.rop2);
  return TRUE;
}

BOOL FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int w, int h) {
  auto dc = GetDc(hdc);
  auto r = Get<RegionObj>(rgn, Kind::Region);
  auto b = BrushFromHandle(brush);
  if (!dc || !r || !b || w < 0 || h < 0) return FALSE;
  w = std::min(w, 4096);
  h = std::min(h, 4096);
  Region inner = r->rgn;
  for (int k = 1; k <= w; ++k)
    for (int sgn : {1, -1}) {
      Region s = r->rgn;
      s.Offset(sgn * k, 0);
      inner = Region::Combine(inner, s, Region::And);
    }
  for (int k = 1; k <= h; ++k)
    for (int sgn : {1, -1}) {
      Region s = r->rgn;
      s.Offset(0, sgn * k);
      inner = Region::Combine(inner, s, Region::And);
    }
  FillBufferRegion(*dc, ToBuffer(*dc, Region::Combine(r->rgn, inner, Region::Diff)), MakeBrushPaint(*dc, b.get()));
  return TRUE;
}

}  // namespace win
