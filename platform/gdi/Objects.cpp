// GDI objects: the handle table, bitmaps, pens, brushes, fonts, palettes, stock objects and the
// system colours.
#include "platform/gdi/Objects.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace win::gdi {

namespace {

// Larger bitmaps are refused: a skin or a video frame never comes near, and a bogus header
// must not exhaust memory.
constexpr uint64_t kMaxBitmapBytes = uint64_t(512) << 20;
constexpr int kMaxSide = 1 << 16;

struct Table {
  std::mutex mu;
  std::unordered_map<uintptr_t, std::shared_ptr<Object>> map;
  uintptr_t next = 0x10000;
};
Table& table() {
  static Table* t = new Table;  // never destroyed: handles may be released from static destructors
  return *t;
}

// Windows' classic look, frozen.
constexpr COLORREF kSysColors[kSysColorCount] = {
    RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128),
    RGB(212, 208, 200), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(180, 180, 180), RGB(0, 0, 128),     RGB(166, 202, 240),
    RGB(192, 192, 192), RGB(49, 106, 197),  RGB(236, 233, 216)};

struct Stock {
  std::shared_ptr<Object> objs[20];
  std::shared_ptr<Brush> sysBrushes[kSysColorCount];
  std::shared_ptr<Bitmap> defaultBitmap;
};

template <class T>
std::shared_ptr<T> MakeStock(std::shared_ptr<T> o) {
  o->stock = true;
  Register(o);
  return o;
}

std::shared_ptr<Brush> MakeBrush(UINT style, COLORREF c) {
  auto b = std::make_shared<Brush>();
  b->lb.lbStyle = style;
  b->lb.lbColor = c;
  return b;
}
std::shared_ptr<Pen> MakePen(UINT style, COLORREF c) {
  auto p = std::make_shared<Pen>();
  p->lp.lopnStyle = style;
  p->lp.lopnWidth.x = 1;
  p->lp.lopnColor = c;
  return p;
}
std::shared_ptr<Font> MakeFont(const char* face, int height, bool fixed) {
  auto f = std::make_shared<Font>();
  f->lf.lfHeight = height;
  f->lf.lfWeight = FW_NORMAL;
  f->lf.lfCharSet = fixed ? ANSI_CHARSET : GB2312_CHARSET;
  f->lf.lfPitchAndFamily = fixed ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS;
  SetLogFontFaceName(&f->lf, face);
  return f;
}

Stock& stock() {
  static Stock* s = [] {
    auto* st = new Stock;
    st->objs[WHITE_BRUSH] = MakeStock(MakeBrush(BS_SOLID, RGB(255, 255, 255)));
    st->objs[LTGRAY_BRUSH] = MakeStock(MakeBrush(BS_SOLID, RGB(192, 192, 192)));
    st->objs[GRAY_BRUSH] = MakeStock(MakeBrush(BS_SOLID, RGB(128, 128, 128)));
    st->objs[DKGRAY_BRUSH] = MakeStock(MakeBrush(BS_SOLID, RGB(64, 64, 64)));
    st->objs[BLACK_BRUSH] = MakeStock(MakeBrush(BS_SOLID, RGB(0, 0, 0)));
    st->objs[NULL_BRUSH] = MakeStock(MakeBrush(BS_NULL, 0));
    st->objs[WHITE_PEN] = MakeStock(MakePen(PS_SOLID, RGB(255, 255, 255)));
    st->objs[BLACK_PEN] = MakeStock(MakePen(PS_SOLID, 0));
    st->objs[NULL_PEN] = MakeStock(MakePen(PS_NULL, 0));
    st->objs[OEM_FIXED_FONT] = MakeStock(MakeFont("Courier New", -13, true));
    st->objs[ANSI_FIXED_FONT] = MakeStock(MakeFont("Courier New", -13, true));
    st->objs[ANSI_VAR_FONT] = MakeStock(MakeFont("宋体", -12, false));
    st->objs[SYSTEM_FONT] = MakeStock(MakeFont("宋体", -12, false));
    st->objs[DEVICE_DEFAULT_FONT] = MakeStock(MakeFont("宋体", -12, false));
    st->objs[SYSTEM_FIXED_FONT] = MakeStock(MakeFont("Courier New", -13, true));
    st->objs[DEFAULT_GUI_FONT] = MakeStock(MakeFont("宋体", -12, false));
    {
      auto pal = std::make_shared<Palette>();
      static const uint8_t kVga[20][3] = {
          {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
          {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
          {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
          {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
      for (auto& c : kVga) pal->entries.push_back(PALETTEENTRY{c[0], c[1], c[2], 0});
      st->objs[DEFAULT_PALETTE] = MakeStock(pal);
    }
    auto dcb = MakeBrush(BS_SOLID, RGB(255, 255, 255));
    dcb->dcBrush = true;
    st->objs[DC_BRUSH] = MakeStock(dcb);
    auto dcp = MakePen(PS_SOLID, 0);
    dcp->dcPen = true;
    st->objs[DC_PEN] = MakeStock(dcp);
    for (int i = 0; i < kSysColorCount; ++i) st->sysBrushes[i] = MakeStock(MakeBrush(BS_SOLID, kSysColors[i]));
    auto bm = NewBitmap(1, 1, 1, true, false);
    st->defaultBitmap = MakeStock(bm);
    return st;
  }();
  return *s;
}

int ColorTableSize(int bpp, DWORD clrUsed) {
  if (bpp > 8) return 0;
  int full = 1 << bpp;
  return clrUsed == 0 ? full : int(std::min<DWORD>(clrUsed, DWORD(full)));
}

}  // namespace

Bitmap::~Bitmap() { std::free(bits); }

void* Register(std::shared_ptr<Object> obj) {
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mu);
  uintptr_t h = t.next;
  t.next += 0x10;
  obj->handle = reinterpret_cast<void*>(h);
  t.map.emplace(h, std::move(obj));
  return reinterpret_cast<void*>(h);
}

std::shared_ptr<Object> Lookup(const void* h) {
  if (!h) return nullptr;
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mu);
  auto it = t.map.find(reinterpret_cast<uintptr_t>(h));
  return it == t.map.end() ? nullptr : it->second;
}

bool Unregister(const void* h) {
  std::shared_ptr<Object> victim;  // released outside the lock
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mu);
  auto it = t.map.find(reinterpret_cast<uintptr_t>(h));
  if (it == t.map.end()) return false;
  victim = std::move(it->second);
  t.map.erase(it);
  return true;
}

std::shared_ptr<Bitmap> NewBitmap(int w, int h, int bpp, bool topDown, bool isDib) {
  if (w <= 0 || h <= 0 || w > kMaxSide * 4 || h > kMaxSide * 4) return nullptr;
  uint64_t stride = ((uint64_t(w) * uint64_t(bpp) + 31) / 32) * 4;
  uint64_t bytes = stride * uint64_t(h);
  if (bytes > kMaxBitmapBytes) return nullptr;
  void* mem = std::calloc(size_t(bytes), 1);
  if (!mem) return nullptr;
  auto b = std::make_shared<Bitmap>();
  b->w = w; b->h = h; b->bpp = bpp; b->stride = int(stride); b->topDown = topDown;
  b->isDib = isDib;
  b->bits = static_cast<uint8_t*>(mem);
  b->header.biWidth = w;
  b->header.biHeight = topDown ? -h : h;
  b->header.biBitCount = WORD(bpp);
  b->header.biSizeImage = DWORD(bytes);
  if (bpp == 1) b->colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
  return b;
}

std::shared_ptr<Pen> StockPen(int i) { return std::static_pointer_cast<Pen>(stock().objs[i]); }
std::shared_ptr<Brush> StockBrush(int i) { return std::static_pointer_cast<Brush>(stock().objs[i]); }
std::shared_ptr<Font> StockFont(int i) { return std::static_pointer_cast<Font>(stock().objs[i]); }
std::shared_ptr<Bitmap> DefaultBitmap() { return stock().defaultBitmap; }
std::shared_ptr<Palette> DefaultPalette() {
  return std::static_pointer_cast<Palette>(stock().objs[DEFAULT_PALETTE]);
}

std::shared_ptr<Brush> BrushFromHandle(HBRUSH h) {
  uintptr_t v = reinterpret_cast<uintptr_t>(h);
  if (v >= 1 && v <= uintptr_t(kSysColorCount)) return stock().sysBrushes[v - 1];
  return Get<Brush>(h, Kind::Brush);
}

std::shared_ptr<text::RealFont> Font::Real() {
  std::lock_guard<std::mutex> lock(mu_);
  if (!real_) real_ = text::Realize(lf);
  return real_;
}

}  // namespace win::gdi

namespace win {
using namespace gdi;

void SetLogFontFaceName(LOGFONT* lf, std::string_view name) {
  if (!lf) return;
  size_t n = std::min(name.size(), sizeof(lf->lfFaceName) - 1);
  while (n > 0 && n < name.size() && (uint8_t(name[n]) & 0xC0) == 0x80) --n;  // keep code points whole
  std::memcpy(lf->lfFaceName, name.data(), n);
  lf->lfFaceName[n] = 0;
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE, DWORD) {
  if (bits) *bits = nullptr;
  if (!bmi) return nullptr;
  const BITMAPINFOHEADER& h = bmi->bmiHeader;
  int bpp = h.biBitCount;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 ||
      h.biHeight == INT32_MIN || h.biPlanes != 1)
    return nullptr;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return nullptr;
  if (!(h.biCompression == BI_RGB || (h.biCompression == BI_BITFIELDS && bpp == 32))) return nullptr;
  bool topDown = h.biHeight < 0;
  auto b = NewBitmap(h.biWidth, topDown ? -h.biHeight : h.biHeight, bpp, topDown, true);
  if (!b) return nullptr;
  b->header = h;
  b->header.biSize = sizeof(BITMAPINFOHEADER);
  b->header.biSizeImage = DWORD(uint64_t(b->stride) * uint64_t(b->h));
  int n = ColorTableSize(bpp, h.biClrUsed);
  if (n > 0) {
    const uint8_t* table = reinterpret_cast<const uint8_t*>(bmi) + h.biSize;
    b->colors.assign(size_t(1) << bpp, RGBQUAD{});
    if (usage == DIB_PAL_COLORS) {
      auto pal = DefaultPalette();
      if (auto dc = GetDc(hdc); dc && dc->st.palette) pal = dc->st.palette;
      const uint16_t* idx = reinterpret_cast<const uint16_t*>(table);
      for (int i = 0; i < n; ++i) {
        uint16_t k = idx[i];
        if (k < pal->entries.size())
          b->colors[i] = RGBQUAD{pal->entries[k].peBlue, pal->entries[k].peGreen, pal->entries[k].peRed, 0};
      }
    } else {
      std::memcpy(b->colors.data(), table, size_t(n) * sizeof(RGBQUAD));
    }
  }
  void* h2 = Register(b);
  if (bits) *bits = b->bits;
  return static_cast<HBITMAP>(h2);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  auto dc = GetDc(hdc);
  if (!dc) return nullptr;
  if (width == 0 || height == 0) return static_cast<HBITMAP>(Register(NewBitmap(1, 1, 1, true, false)));
  if (width < 0 || height < 0) return nullptr;
  // As on Windows, a memory DC holding a monochrome bitmap makes monochrome bitmaps.
  int bpp = dc->type == Dc::Type::Memory && dc->st.bitmap && dc->st.bitmap->bpp == 1 ? 1 : 32;
  auto b = NewBitmap(width, height, bpp, true, false);
  return b ? static_cast<HBITMAP>(Register(b)) : nullptr;
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bpp, const void* bits) {
  if (planes != 1 || width <= 0 || height <= 0) return nullptr;
  int ibpp = bpp == 1 ? 1 : 32;
  if (bpp != 1 && bpp != 32) return nullptr;
  auto b = NewBitmap(width, height, ibpp, true, false);
  if (!b) return nullptr;
  if (bits) {
    size_t src = ((size_t(width) * ibpp + 15) / 16) * 2;  // device bitmap rows are WORD-aligned
    size_t n = std::min(src, size_t(b->stride));
    for (int y = 0; y < height; ++y)
      std::memcpy(b->bits + size_t(y) * b->stride, static_cast<const uint8_t*>(bits) + y * src, n);
  }
  return static_cast<HBITMAP>(Register(b));
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
  if (!lp || (lp->lopnStyle & PS_STYLE_MASK) > PS_INSIDEFRAME) return nullptr;
  auto p = std::make_shared<Pen>();
  p->lp = *lp;
  if (p->lp.lopnWidth.x < 1) p->lp.lopnWidth.x = 1;
  return static_cast<HPEN>(Register(p));
}

HPEN CreatePen(int style, int width, COLORREF color) {
  LOGPEN lp;
  lp.lopnStyle = UINT(style);
  lp.lopnWidth.x = width;
  lp.lopnColor = color;
  return CreatePenIndirect(&lp);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
  if (!lb) return nullptr;
  auto b = std::make_shared<Brush>();
  b->lb = *lb;
  switch (lb->lbStyle) {
    case BS_SOLID: case BS_NULL: break;
    case BS_HATCHED:
      if (lb->lbHatch > ULONG_PTR(HS_DIAGCROSS)) return nullptr;
      break;
    case BS_PATTERN: {
      auto src = Get<Bitmap>(reinterpret_cast<void*>(lb->lbHatch), Kind::Bitmap);
      if (!src) return nullptr;
      auto copy = NewBitmap(src->w, src->h, src->bpp, src->topDown, false);
      if (!copy) return nullptr;
      std::memcpy(copy->bits, src->bits, size_t(src->stride) * src->h);
      copy->colors = src->colors;
      b->pattern = copy;
      break;
    }
    default: return nullptr;
  }
  return static_cast<HBRUSH>(Register(b));
}

HBRUSH CreateSolidBrush(COLORREF color) {
  LOGBRUSH lb{BS_SOLID, color, 0};
  return CreateBrushIndirect(&lb);
}
HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < 0) return nullptr;
  LOGBRUSH lb{BS_HATCHED, color, ULONG_PTR(hatch)};
  return CreateBrushIndirect(&lb);
}
HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  LOGBRUSH lb{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(bitmap)};
  return CreateBrushIndirect(&lb);
}

HFONT CreateFontIndirect(const LOGFONT* lf) {
  if (!lf) return nullptr;
  auto f = std::make_shared<Font>();
  f->lf = *lf;
  f->lf.lfFaceName[sizeof(f->lf.lfFaceName) - 1] = 0;
  return static_cast<HFONT>(Register(f));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                 DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* faceName) {
  LOGFONT lf;
  lf.lfHeight = height; lf.lfWidth = width; lf.lfEscapement = escapement;
  lf.lfOrientation = orientation; lf.lfWeight = weight;
  lf.lfItalic = BYTE(italic != 0); lf.lfUnderline = BYTE(underline != 0);
  lf.lfStrikeOut = BYTE(strikeOut != 0); lf.lfCharSet = BYTE(charSet);
  lf.lfOutPrecision = BYTE(outPrecision); lf.lfClipPrecision = BYTE(clipPrecision);
  lf.lfQuality = BYTE(quality); lf.lfPitchAndFamily = BYTE(pitchAndFamily);
  SetLogFontFaceName(&lf, faceName ? faceName : "");
  return CreateFontIndirect(&lf);
}

HPALETTE CreatePalette(const LOGPALETTE* lp) {
  if (!lp || lp->palNumEntries == 0) return nullptr;
  auto p = std::make_shared<Palette>();
  p->entries.assign(lp->palPalEntry, lp->palPalEntry + lp->palNumEntries);
  return static_cast<HPALETTE>(Register(p));
}

UINT GetPaletteEntries(HPALETTE pal, UINT start, UINT count, PALETTEENTRY* entries) {
  auto p = Get<Palette>(pal, Kind::Palette);
  if (!p) return 0;
  if (!entries) return UINT(p->entries.size());
  if (start >= p->entries.size()) return 0;
  UINT n = std::min<UINT>(count, UINT(p->entries.size()) - start);
  std::copy_n(p->entries.begin() + start, n, entries);
  return n;
}

HPALETTE SelectPalette(HDC hdc, HPALETTE pal, BOOL) {
  auto dc = GetDc(hdc);
  auto p = Get<Palette>(pal, Kind::Palette);
  if (!dc || !p) return nullptr;
  auto old = dc->st.palette ? dc->st.palette : DefaultPalette();
  dc->st.palette = p;
  return static_cast<HPALETTE>(old->handle);
}

UINT RealizePalette(HDC hdc) { return GetDc(hdc) ? 0 : UINT(-1); }  // true colour: nothing to map

HGDIOBJ GetStockObject(int index) {
  if (index < 0 || index > DC_PEN) return nullptr;
  auto& o = stock().objs[index];
  return o ? static_cast<HGDIOBJ>(o->handle) : nullptr;
}

COLORREF GetSysColor(int index) {
  return index >= 0 && index < kSysColorCount ? kSysColors[index] : 0;
}

HBRUSH GetSysColorBrush(int index) {
  if (index < 0 || index >= kSysColorCount) return nullptr;
  return static_cast<HBRUSH>(stock().sysBrushes[index]->handle);
}

int SelectClipRgn(HDC hdc, HRGN rgn);

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
  auto dc = GetDc(hdc);
  auto o = Lookup(obj);
  if (!dc || !o) return nullptr;
  DcState& s = dc->st;
  auto prev = [](const std::shared_ptr<Object>& p) { return p ? static_cast<HGDIOBJ>(p->handle) : nullptr; };
  switch (o->kind) {
    case Kind::Bitmap: {
      if (dc->type != Dc::Type::Memory) return nullptr;
      HGDIOBJ old = prev(s.bitmap);
      s.bitmap = std::static_pointer_cast<Bitmap>(o);
      dc->ClipChanged();
      return old;
    }
    case Kind::Pen: { HGDIOBJ old = prev(s.pen); s.pen = std::static_pointer_cast<Pen>(o); return old; }
    case Kind::Brush: { HGDIOBJ old = prev(s.brush); s.brush = std::static_pointer_cast<Brush>(o); return old; }
    case Kind::Font: { HGDIOBJ old = prev(s.font); s.font = std::static_pointer_cast<Font>(o); return old; }
    case Kind::Region: return reinterpret_cast<HGDIOBJ>(intptr_t(SelectClipRgn(hdc, obj)));
    default: return nullptr;
  }
}

BOOL DeleteObject(HGDIOBJ obj) {
  auto o = Lookup(obj);
  if (!o || o->kind == Kind::Dc || o->kind == Kind::Icon) return FALSE;  // icons end with DestroyIcon
  if (o->stock) return TRUE;
  // A DC that still holds the object keeps it alive; only the handle ends here.
  return Unregister(obj) ? TRUE : FALSE;
}

int GetObject(HGDIOBJ obj, int size, void* buffer) {
  auto o = Lookup(obj);
  if (!o || size < 0) return 0;
  switch (o->kind) {
    case Kind::Bitmap: {
      auto b = std::static_pointer_cast<Bitmap>(o);
      int need = b->isDib ? int(sizeof(DIBSECTION)) : int(sizeof(BITMAP));
      if (!buffer) return need;
      if (size < int(sizeof(BITMAP))) return 0;
      BITMAP bm;
      bm.bmType = 0;
      bm.bmWidth = b->w;
      bm.bmHeight = b->h;
      bm.bmWidthBytes = b->isDib ? b->stride : ((b->w * b->bpp + 15) / 16) * 2;
      bm.bmPlanes = 1;
      bm.bmBitsPixel = WORD(b->bpp);
      bm.bmBits = b->isDib ? b->bits : nullptr;
      if (b->isDib && size >= int(sizeof(DIBSECTION))) {
        DIBSECTION ds;
        ds.dsBm = bm;
        ds.dsBmih = b->header;
        std::memcpy(buffer, &ds, sizeof ds);
        return int(sizeof(DIBSECTION));
      }
      std::memcpy(buffer, &bm, sizeof bm);
      return int(sizeof(BITMAP));
    }
    case Kind::Pen: {
      if (!buffer) return int(sizeof(LOGPEN));
      if (size < int(sizeof(LOGPEN))) return 0;
      std::memcpy(buffer, &std::static_pointer_cast<Pen>(o)->lp, sizeof(LOGPEN));
      return int(sizeof(LOGPEN));
    }
    case Kind::Brush: {
      if (!buffer) return int(sizeof(LOGBRUSH));
      if (size < int(sizeof(LOGBRUSH))) return 0;
      std::memcpy(buffer, &std::static_pointer_cast<Brush>(o)->lb, sizeof(LOGBRUSH));
      return int(sizeof(LOGBRUSH));
    }
    case Kind::Font: {
      if (!buffer) return int(sizeof(LOGFONT));
      int n = std::min(size, int(sizeof(LOGFONT)));
      std::memcpy(buffer, &std::static_pointer_cast<Font>(o)->lf, size_t(n));
      return n;
    }
    case Kind::Palette: {
      if (!buffer) return int(sizeof(WORD));
      if (size < int(sizeof(WORD))) return 0;
      WORD n = WORD(std::static_pointer_cast<Palette>(o)->entries.size());
      std::memcpy(buffer, &n, sizeof n);
      return int(sizeof(WORD));
    }
    default: return 0;
  }
}

DWORD GetObjectType(HGDIOBJ obj) {
  auto o = Lookup(obj);
  if (!o) return 0;
  switch (o->kind) {
    case Kind::Bitmap: return OBJ_BITMAP;
    case Kind::Pen: return OBJ_PEN;
    case Kind::Brush: return OBJ_BRUSH;
    case Kind::Font: return OBJ_FONT;
    case Kind::Region: return OBJ_REGION;
    case Kind::Palette: return OBJ_PAL;
    case Kind::Dc: return static_cast<Dc*>(o.get())->type == Dc::Type::Memory ? OBJ_MEMDC : OBJ_DC;
    case Kind::Icon: return 0;  // not a GDI object
  }
  return 0;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  auto dc = GetDc(hdc);
  if (!dc) return nullptr;
  std::shared_ptr<Object> o;
  switch (type) {
    case OBJ_BITMAP: o = dc->st.bitmap; break;
    case OBJ_PEN: o = dc->st.pen; break;
    case OBJ_BRUSH: o = dc->st.brush; break;
    case OBJ_FONT: o = dc->st.font; break;
    case OBJ_PAL: o = dc->st.palette ? dc->st.palette : DefaultPalette(); break;
    default: return nullptr;
  }
  return o ? static_cast<HGDIOBJ>(o->handle) : nullptr;
}

COLORREF SetDCBrushColor(HDC hdc, COLORREF c) {
  auto dc = GetDc(hdc);
  if (!dc) return CLR_INVALID;
  COLORREF old = dc->st.dcBrushColor;
  dc->st.dcBrushColor = c;
  return old;
}

COLORREF SetDCPenColor(HDC hdc, COLORREF c) {
  auto dc = GetDc(hdc);
  if (!dc) return CLR_INVALID;
  COLORREF old = dc->st.dcPenColor;
  dc->st.dcPenColor = c;
  return old;
}

}  // namespace win
