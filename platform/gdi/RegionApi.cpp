// The region functions over handles.
#include <cstring>

#include "platform/gdi/Objects.h"
#include "platform/gdi/Shapes.h"

namespace win {
using namespace gdi;

namespace {
HRGN NewRgn(Region r) {
  auto o = std::make_shared<RegionObj>();
  o->rgn = std::move(r);
  return static_cast<HRGN>(Register(o));
}
std::shared_ptr<RegionObj> GetRgn(HRGN h) { return Get<RegionObj>(h, Kind::Region); }
RECT Ordered(int l, int t, int r, int b) {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  return RECT{l, t, r, b};
}
}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return NewRgn(Region(Ordered(left, top, right, bottom)));
}
HRGN CreateRectRgnIndirect(const RECT* r) {
  return r ? CreateRectRgn(r->left, r->top, r->right, r->bottom) : nullptr;
}
HRGN CreateRoundRectRgn(int l, int t, int r, int b, int ew, int eh) {
  return NewRgn(RoundRectShape(l, t, r, b, ew, eh));
}
HRGN CreateEllipticRgn(int l, int t, int r, int b) { return NewRgn(EllipseShape(l, t, r, b)); }
HRGN CreatePolygonRgn(const POINT* pts, int count, int fillMode) {
  if (!pts || count < 2 || (fillMode != ALTERNATE && fillMode != WINDING)) return nullptr;
  return NewRgn(PolygonShape(pts, count, fillMode));
}

HRGN ExtCreateRegion(const void* xform, DWORD size, const RGNDATA* data) {
  if (xform || !data || size < sizeof(RGNDATAHEADER)) return nullptr;
  const RGNDATAHEADER& h = data->rdh;
  if (h.dwSize < sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES) return nullptr;
  if (uint64_t(h.dwSize) + uint64_t(h.nCount) * sizeof(RECT) > size) return nullptr;
  std::vector<RECT> rects(h.nCount);
  if (h.nCount) std::memcpy(rects.data(), reinterpret_cast<const char*>(data) + h.dwSize, h.nCount * sizeof(RECT));
  return NewRgn(Region::FromRects(rects.data(), rects.size()));
}

int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode) {
  auto d = GetRgn(dst), ra = GetRgn(a);
  if (!d || !ra || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (mode == RGN_COPY) {
    d->rgn = ra->rgn;
    return d->rgn.Kind();
  }
  auto rb = GetRgn(b);
  if (!rb) return ERROR;
  static const Region::Op ops[] = {Region::And, Region::Or, Region::Xor, Region::Diff};
  d->rgn = Region::Combine(ra->rgn, rb->rgn, ops[mode - 1]);
  return d->rgn.Kind();
}

BOOL SetRectRgn(HRGN rgn, int l, int t, int r, int b) {
  auto o = GetRgn(rgn);
  if (!o) return FALSE;
  o->rgn = Region(Ordered(l, t, r, b));
  return TRUE;
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  auto o = GetRgn(rgn);
  if (!o) return ERROR;
  o->rgn.Offset(dx, dy);
  return o->rgn.Kind();
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
  auto o = GetRgn(rgn);
  return o && o->rgn.Contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN rgn, const RECT* r) {
  auto o = GetRgn(rgn);
  if (!o || !r) return FALSE;
  return o->rgn.Intersects(Ordered(r->left, r->top, r->right, r->bottom)) ? TRUE : FALSE;
}

int GetRgnBox(HRGN rgn, RECT* r) {
  auto o = GetRgn(rgn);
  if (!o || !r) return ERROR;
  *r = o->rgn.Box();
  return o->rgn.Kind();
}

BOOL EqualRgn(HRGN a, HRGN b) {
  auto ra = GetRgn(a), rb = GetRgn(b);
  if (!ra || !rb) return ERROR;
  return ra->rgn == rb->rgn ? TRUE : FALSE;
}

DWORD GetRegionData(HRGN rgn, DWORD size, RGNDATA* data) {
  auto o = GetRgn(rgn);
  if (!o) return 0;
  std::vector<RECT> rects = o->rgn.Rects();
  uint64_t need = sizeof(RGNDATAHEADER) + uint64_t(rects.size()) * sizeof(RECT);
  if (need > UINT32_MAX) return 0;
  if (!data) return DWORD(need);
  if (size < need) return 0;
  RGNDATAHEADER h;
  h.nCount = DWORD(rects.size());
  h.nRgnSize = DWORD(rects.size() * sizeof(RECT));
  h.rcBound = o->rgn.Box();
  std::memcpy(static_cast<void*>(data), &h, sizeof h);
  if (!rects.empty()) std::memcpy(reinterpret_cast<char*>(data) + sizeof h, rects.data(), rects.size() * sizeof(RECT));
  return size;
}

}  // namespace win
