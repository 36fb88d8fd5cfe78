#include "platform/gdi/Paint.h"

#include <algorithm>

namespace win::gdi {

bool BrushPaint::At(int x, int y, uint32_t* out) const {
  if (null) return false;
  if (solid) { *out = color; return true; }
  int px = (x - orgX) & 7, py = (y - orgY) & 7;
  if (hatch >= 0) {
    bool on = false;
    switch (hatch) {
      case HS_HORIZONTAL: on = py == 0; break;
      case HS_VERTICAL: on = px == 0; break;
      case HS_FDIAGONAL: on = px == py; break;
      case HS_BDIAGONAL: on = px + py == 7; break;
      case HS_CROSS: on = px == 0 || py == 0; break;
      case HS_DIAGCROSS: on = px == py || px + py == 7; break;
    }
    if (on) { *out = color; return true; }
    if (bkOpaque) { *out = bk; return true; }
    return false;
  }
  if (pattern.Valid()) {
    int qx = (x - orgX) % pattern.w, qy = (y - orgY) % pattern.h;
    if (qx < 0) qx += pattern.w;
    if (qy < 0) qy += pattern.h;
    if (pattern.bpp == 1) {
      int bit = (pattern.Row(qy)[qx >> 3] >> (7 - (qx & 7))) & 1;
      *out = bit ? bk : fore;
    } else {
      *out = pattern.Get(qx, qy) & 0xFFFFFF;
    }
    return true;
  }
  return false;
}

BrushPaint MakeBrushPaint(const Dc& dc, const Brush* b) {
  BrushPaint p;
  if (!b) return p;
  p.orgX = dc.st.brushOrg.x + dc.devOrigin.x;
  p.orgY = dc.st.brushOrg.y + dc.devOrigin.y;
  p.bk = ColorRefToPixel(dc.st.bkColor);
  p.bkOpaque = dc.st.bkMode == OPAQUE;
  p.fore = ColorRefToPixel(dc.st.textColor);
  switch (b->lb.lbStyle) {
    case BS_SOLID:
      p.null = false;
      p.solid = true;
      p.color = ColorRefToPixel(b->dcBrush ? dc.st.dcBrushColor : b->lb.lbColor);
      break;
    case BS_HATCHED:
      p.null = false;
      p.hatch = int(b->lb.lbHatch);
      p.color = ColorRefToPixel(b->lb.lbColor);
      break;
    case BS_PATTERN:
      if (b->pattern) {
        p.null = false;
        p.keep = b->pattern;
        p.pattern = b->pattern->View();
      }
      break;
    default: break;
  }
  return p;
}

void PlotPixel(Dc& dc, const Surf& s, int x, int y, uint32_t c, int rop2) {
  if (!dc.Clip().Contains(x, y)) return;
  uint32_t v = rop2 == 0 || rop2 == R2_COPYPEN ? c : Rop2(rop2, c, s.Get(x, y));
  s.Put(x, y, v & 0xFFFFFF);
}

void FillBufferRect(Dc& dc, const RECT& r, const BrushPaint& bp, int rop2) {
  if (bp.null || r.left >= r.right || r.top >= r.bottom) return;
  Surf s = dc.GetSurf();
  if (!s.Valid()) return;
  bool copy = rop2 == 0 || rop2 == R2_COPYPEN;
  dc.Clip().ForEachIn(r, [&](const RECT& c) {
    if (copy && bp.solid && s.bpp == 32) {
      for (int y = c.top; y < c.bottom; ++y) std::fill(s.Row32(y) + c.left, s.Row32(y) + c.right, bp.color);
      return;
    }
    for (int y = c.top; y < c.bottom; ++y)
      for (int x = c.left; x < c.right; ++x) {
        uint32_t p;
        if (!bp.At(x, y, &p)) continue;
        s.Put(x, y, (copy ? p : Rop2(rop2, p, s.Get(x, y))) & 0xFFFFFF);
      }
  });
}

void FillBufferRegion(Dc& dc, const Region& rgn, const BrushPaint& bp, int rop2) {
  for (const RECT& r : rgn.Rects()) FillBufferRect(dc, r, bp, rop2);
}

}  // namespace win::gdi
