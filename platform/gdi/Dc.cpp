// Device contexts: memory, surface and information DCs, their state, SaveDC/RestoreDC, origins
// and clipping.
#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/gdi/Objects.h"

namespace win::gdi {

namespace {
std::atomic<int> gScreenW{1920}, gScreenH{1080};

void InitState(DcState& s) {
  s.pen = StockPen(BLACK_PEN);
  s.brush = StockBrush(WHITE_BRUSH);
  s.font = StockFont(SYSTEM_FONT);
  s.palette = DefaultPalette();
}

HDC NewDc(std::shared_ptr<Dc> dc) {
  InitState(dc->st);
  return static_cast<HDC>(Register(std::move(dc)));
}
}  // namespace

Surf Dc::GetSurf() const {
  if (type == Type::Memory) return st.bitmap ? st.bitmap->View() : Surf{};
  if (type == Type::Surface) {
    Surf s;
    s.bits = static_cast<uint8_t*>(ext.pixels);
    s.w = ext.width; s.h = ext.height; s.stride = ext.stride; s.bpp = 32; s.topDown = true;
    return s;
  }
  return Surf{};
}

const Region& Dc::Clip() {
  if (clipValid_) return clip_;
  Surf s = GetSurf();
  clip_ = s.Valid() ? Region(RECT{0, 0, s.w, s.h}) : Region();
  if (type == Type::Surface && vis) clip_ = Region::Combine(clip_, *vis, Region::And);
  if (st.clip) {
    Region c = *st.clip;
    c.Offset(devOrigin.x, devOrigin.y);
    clip_ = Region::Combine(clip_, c, Region::And);
  }
  clipValid_ = true;
  return clip_;
}

}  // namespace win::gdi

namespace win {
using namespace gdi;

HDC CreateCompatibleDC(HDC hdc) {
  if (hdc && !GetDc(hdc)) return nullptr;
  auto dc = std::make_shared<Dc>(Dc::Type::Memory);
  dc->st.bitmap = DefaultBitmap();
  return NewDc(dc);
}

HDC CreateScreenDC() { return NewDc(std::make_shared<Dc>(Dc::Type::Info)); }

HDC CreateDC(const char* driver, const char*, const char*, const void*) {
  if (!driver || std::strcmp(driver, "DISPLAY") != 0) return nullptr;
  return CreateScreenDC();
}

void SetScreenSizeForDeviceCaps(int width, int height) {
  if (width > 0 && height > 0) { gScreenW = width; gScreenH = height; }
}

static bool ValidDesc(const SurfaceDesc& s) {
  return s.pixels && s.width > 0 && s.height > 0 && int64_t(s.stride) >= int64_t(s.width) * 4;
}

HDC CreateSurfaceDC(const SurfaceDesc& surface, POINT deviceOrigin, HRGN visible) {
  if (!ValidDesc(surface)) return nullptr;
  auto dc = std::make_shared<Dc>(Dc::Type::Surface);
  dc->ext = surface;
  dc->devOrigin = deviceOrigin;
  if (visible) {
    auto r = Get<RegionObj>(visible, Kind::Region);
    if (!r) return nullptr;
    dc->vis = r->rgn;
  }
  return NewDc(dc);
}

BOOL SetSurfaceDCVisibleRgn(HDC hdc, HRGN visible) {
  auto dc = GetDc(hdc);
  if (!dc || dc->type != Dc::Type::Surface) return FALSE;
  if (visible) {
    auto r = Get<RegionObj>(visible, Kind::Region);
    if (!r) return FALSE;
    dc->vis = r->rgn;
  } else {
    dc->vis.reset();
  }
  dc->ClipChanged();
  return TRUE;
}

BOOL SetSurfaceDCOrigin(HDC hdc, POINT origin) {
  auto dc = GetDc(hdc);
  if (!dc || dc->type != Dc::Type::Surface) return FALSE;
  dc->devOrigin = origin;
  dc->ClipChanged();
  return TRUE;
}

BOOL SetSurfaceDCBuffer(HDC hdc, const SurfaceDesc& surface) {
  auto dc = GetDc(hdc);
  if (!dc || dc->type != Dc::Type::Surface || !ValidDesc(surface)) return FALSE;
  dc->ext = surface;
  dc->ClipChanged();
  return TRUE;
}

bool IsSurfaceDC(HDC hdc) {
  auto dc = GetDc(hdc);
  return dc && dc->type == Dc::Type::Surface;
}

BOOL DeleteDC(HDC hdc) { return GetDc(hdc) && Unregister(hdc) ? TRUE : FALSE; }
BOOL ReleaseSurfaceDC(HDC hdc) { return IsSurfaceDC(hdc) ? DeleteDC(hdc) : FALSE; }

int GetDeviceCaps(HDC hdc, int index) {
  auto dc = GetDc(hdc);
  if (!dc) return 0;
  Surf s = dc->GetSurf();
  bool screen = dc->type != Dc::Type::Memory;
  switch (index) {
    case HORZRES: return screen ? gScreenW.load() : s.w;
    case VERTRES: return screen ? gScreenH.load() : s.h;
    case BITSPIXEL: return screen ? 32 : (s.bpp ? s.bpp : 32);
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case LOGPIXELSX: case LOGPIXELSY: return 96;
    case SIZEPALETTE: return 0;
    case RASTERCAPS: return 0x0001 | 0x0008 | 0x0800;  // bitblt, bitmap64, stretchblt
  }
  return 0;
}

int SaveDC(HDC hdc) {
  auto dc = GetDc(hdc);
  if (!dc) return 0;
  dc->saved.push_back(dc->st);
  return int(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int saved) {
  auto dc = GetDc(hdc);
  if (!dc) return FALSE;
  int n = int(dc->saved.size());
  int level = saved < 0 ? n + 1 + saved : saved;
  if (level < 1 || level > n) return FALSE;
  dc->st = dc->saved[size_t(level - 1)];
  dc->saved.resize(size_t(level - 1));
  dc->ClipChanged();
  return TRUE;
}

namespace {
template <class F>
BOOL WithDc(HDC hdc, F&& f) {
  auto dc = GetDc(hdc);
  if (!dc) return FALSE;
  f(*dc);
  return TRUE;
}
BOOL SetPoint(HDC hdc, POINT DcState::*field, int x, int y, POINT* old, bool offset) {
  return WithDc(hdc, [&](Dc& dc) {
    POINT& p = dc.st.*field;
    if (old) *old = p;
    if (offset) { p.x += x; p.y += y; } else p = POINT{x, y};
  });
}
}  // namespace

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old) { return SetPoint(hdc, &DcState::windowOrg, x, y, old, false); }
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, POINT* old) { return SetPoint(hdc, &DcState::windowOrg, dx, dy, old, true); }
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old) { return SetPoint(hdc, &DcState::viewportOrg, x, y, old, false); }
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* old) { return SetPoint(hdc, &DcState::viewportOrg, dx, dy, old, true); }
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old) { return SetPoint(hdc, &DcState::brushOrg, x, y, old, false); }
BOOL MoveToEx(HDC hdc, int x, int y, POINT* old) { return SetPoint(hdc, &DcState::cur, x, y, old, false); }
BOOL GetWindowOrgEx(HDC hdc, POINT* p) { return WithDc(hdc, [&](Dc& dc) { if (p) *p = dc.st.windowOrg; }); }
BOOL GetViewportOrgEx(HDC hdc, POINT* p) { return WithDc(hdc, [&](Dc& dc) { if (p) *p = dc.st.viewportOrg; }); }
BOOL GetCurrentPositionEx(HDC hdc, POINT* p) { return WithDc(hdc, [&](Dc& dc) { if (p) *p = dc.st.cur; }); }

BOOL LPtoDP(HDC hdc, POINT* pts, int count) {
  return WithDc(hdc, [&](Dc& dc) {
    for (int i = 0; pts && i < count; ++i) {
      pts[i].x += dc.st.viewportOrg.x - dc.st.windowOrg.x;
      pts[i].y += dc.st.viewportOrg.y - dc.st.windowOrg.y;
    }
  });
}
BOOL DPtoLP(HDC hdc, POINT* pts, int count) {
  return WithDc(hdc, [&](Dc& dc) {
    for (int i = 0; pts && i < count; ++i) {
      pts[i].x -= dc.st.viewportOrg.x - dc.st.windowOrg.x;
      pts[i].y -= dc.st.viewportOrg.y - dc.st.windowOrg.y;
    }
  });
}
int GetMapMode(HDC hdc) { return GetDc(hdc) ? MM_TEXT : 0; }
int SetMapMode(HDC hdc, int mode) { return GetDc(hdc) && mode == MM_TEXT ? MM_TEXT : 0; }

#define OMBREL_DC_FIELD(Setter, Getter, Type, field, fail)          \
  Type Setter(HDC hdc, Type v) {                                    \
    auto dc = GetDc(hdc);                                           \
    if (!dc) return fail;                                           \
    Type old = dc->st.field;                                        \
    dc->st.field = v;                                               \
    return old;                                                     \
  }                                                                 \
  Type Getter(HDC hdc) {                                            \
    auto dc = GetDc(hdc);                                           \
    return dc ? dc->st.field : fail;                                \
  }
OMBREL_DC_FIELD(SetTextColor, GetTextColor, COLORREF, textColor, CLR_INVALID)
OMBREL_DC_FIELD(SetBkColor, GetBkColor, COLORREF, bkColor, CLR_INVALID)
OMBREL_DC_FIELD(SetTextAlign, GetTextAlign, UINT, textAlign, UINT(-1))
#undef OMBREL_DC_FIELD

int SetBkMode(HDC hdc, int mode) {
  auto dc = GetDc(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  int old = dc->st.bkMode;
  dc->st.bkMode = mode;
  return old;
}
int GetBkMode(HDC hdc) { auto dc = GetDc(hdc); return dc ? dc->st.bkMode : 0; }
int SetROP2(HDC hdc, int rop2) {
  auto dc = GetDc(hdc);
  if (!dc || rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  int old = dc->st.rop2;
  dc->st.rop2 = rop2;
  return old;
}
int GetROP2(HDC hdc) { auto dc = GetDc(hdc); return dc ? dc->st.rop2 : 0; }
int SetStretchBltMode(HDC hdc, int mode) {
  auto dc = GetDc(hdc);
  if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
  int old = dc->st.stretchMode;
  dc->st.stretchMode = mode;
  return old;
}
int GetStretchBltMode(HDC hdc) { auto dc = GetDc(hdc); return dc ? dc->st.stretchMode : 0; }
int SetPolyFillMode(HDC hdc, int mode) {
  auto dc = GetDc(hdc);
  if (!dc || (mode != ALTERNATE && mode != WINDING)) return 0;
  int old = dc->st.polyFillMode;
  dc->st.polyFillMode = mode;
  return old;
}

// ---- Clipping ----

namespace {
int ClipKind(Dc& dc) { return dc.Clip().Kind(); }
RECT DeviceRect(const Dc& dc, int l, int t, int r, int b) {
  int dx = dc.st.viewportOrg.x - dc.st.windowOrg.x, dy = dc.st.viewportOrg.y - dc.st.windowOrg.y;
  return RECT{l + dx, t + dy, r + dx, b + dy};
}
// The area the DC's user may draw on, in device coordinates: what a missing clip region means.
Region Unclipped(Dc& dc) {
  Surf s = dc.GetSurf();
  if (!s.Valid()) return Region();
  Region all(RECT{0, 0, s.w, s.h});
  if (dc.type == Dc::Type::Surface && dc.vis) all = Region::Combine(all, *dc.vis, Region::And);
  all.Offset(-dc.devOrigin.x, -dc.devOrigin.y);
  return all;
}
}  // namespace

int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode) {
  auto dc = GetDc(hdc);
  if (!dc || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (!rgn) {
    if (mode != RGN_COPY) return ERROR;
    dc->st.clip.reset();
  } else {
    auto r = Get<RegionObj>(rgn, Kind::Region);
    if (!r) return ERROR;
    if (mode == RGN_COPY) {
      dc->st.clip = r->rgn;
    } else {
      Region cur = dc->st.clip ? *dc->st.clip : Unclipped(*dc);
      static const Region::Op ops[] = {Region::And, Region::Or, Region::Xor, Region::Diff};
      dc->st.clip = Region::Combine(cur, r->rgn, ops[mode - 1]);
    }
  }
  dc->ClipChanged();
  return ClipKind(*dc);
}

int SelectClipRgn(HDC hdc, HRGN rgn) { return ExtSelectClipRgn(hdc, rgn, RGN_COPY); }

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = GetDc(hdc);
  if (!dc) return ERROR;
  Region r(DeviceRect(*dc, left, top, right, bottom));
  dc->st.clip = dc->st.clip ? Region::Combine(*dc->st.clip, r, Region::And)
                            : Region::Combine(Unclipped(*dc), r, Region::And);
  dc->ClipChanged();
  return ClipKind(*dc);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = GetDc(hdc);
  if (!dc) return ERROR;
  Region r(DeviceRect(*dc, left, top, right, bottom));
  dc->st.clip = Region::Combine(dc->st.clip ? *dc->st.clip : Unclipped(*dc), r, Region::Diff);
  dc->ClipChanged();
  return ClipKind(*dc);
}

int OffsetClipRgn(HDC hdc, int dx, int dy) {
  auto dc = GetDc(hdc);
  if (!dc) return ERROR;
  if (dc->st.clip) dc->st.clip->Offset(dx, dy);
  dc->ClipChanged();
  return ClipKind(*dc);
}

int GetClipBox(HDC hdc, RECT* r) {
  auto dc = GetDc(hdc);
  if (!dc || !r) return ERROR;
  const Region& c = dc->Clip();
  RECT b = c.Box();
  int dx = dc->devOrigin.x + dc->st.viewportOrg.x - dc->st.windowOrg.x;
  int dy = dc->devOrigin.y + dc->st.viewportOrg.y - dc->st.windowOrg.y;
  if (c.Empty()) *r = RECT{};
  else *r = RECT{b.left - dx, b.top - dy, b.right - dx, b.bottom - dy};
  return c.Kind();
}

int GetClipRgn(HDC hdc, HRGN rgn) {
  auto dc = GetDc(hdc);
  auto r = Get<RegionObj>(rgn, Kind::Region);
  if (!dc || !r) return -1;
  if (!dc->st.clip) return 0;
  r->rgn = *dc->st.clip;
  return 1;
}

BOOL PtVisible(HDC hdc, int x, int y) {
  auto dc = GetDc(hdc);
  return dc && dc->Clip().Contains(dc->X(x), dc->Y(y)) ? TRUE : FALSE;
}

BOOL RectVisible(HDC hdc, const RECT* r) {
  auto dc = GetDc(hdc);
  if (!dc || !r) return FALSE;
  RECT d{dc->X(r->left), dc->Y(r->top), dc->X(r->right), dc->Y(r->bottom)};
  return dc->Clip().Intersects(d) ? TRUE : FALSE;
}

}  // namespace win
