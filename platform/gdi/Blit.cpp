// Blits: BitBlt, StretchBlt, PatBlt, AlphaBlend, TransparentBlt, the DIB transfers, pixels.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/Blend.h"
#include "platform/gdi/Paint.h"
#include "platform/gdi/PixelKernels.h"

namespace win::gdi {
namespace {

enum class Mode { Rop, Alpha, Key };

struct Params {
  Mode mode = Mode::Rop;
  uint8_t rop = 0xCC;
  BLENDFUNCTION bf;
  uint32_t key = 0;
  const BrushPaint* pat = nullptr;
};

bool RopUsesSource(uint8_t code) { return ((code >> 2) ^ code) & 0x33; }
bool RopUsesPattern(uint8_t code) { return ((code >> 4) ^ code) & 0x0F; }

// Normalises an extent: a negative one moves the origin and flips the direction.
void Normalize(int& pos, int& ext, bool& flip) {
  if (ext < 0) {
    pos += ext;
    ext = -ext;
    flip = !flip;
  }
}

// The core of every blit: destination (x, y, w, h) in buffer coordinates of `dc`, source
// (sx, sy, sw, sh) in top-down row coordinates of `src`; negative extents mirror. Only
// destination pixels whose source pixel exists are touched.
void Transfer(Dc& dc, int x, int y, int w, int h, const Surf& srcIn, int sx, int sy, int sw, int sh,
              const Params& p) {
  bool flipX = false, flipY = false;
  Normalize(x, w, flipX);
  Normalize(y, h, flipY);
  Normalize(sx, sw, flipX);
  Normalize(sy, sh, flipY);
  if (w == 0 || h == 0 || sw == 0 || sh == 0) return;
  Surf d = dc.GetSurf();
  if (!d.Valid()) return;
  bool needSrc = p.mode != Mode::Rop || RopUsesSource(p.rop);
  if (needSrc && !srcIn.Valid()) return;
  int64_t dx0 = x, dy0 = y;

  // Column and row maps; -1 where the source pixel lies outside the source.
  auto srcOf = [](int64_t i, int64_t ext, int64_t sext, int64_t s0, bool flip) -> int64_t {
    int64_t k = i * sext / ext;
    return flip ? s0 + sext - 1 - k : s0 + k;
  };
  RECT dst{x, y, int(std::min<int64_t>(dx0 + w, INT32_MAX)), int(std::min<int64_t>(dy0 + h, INT32_MAX))};
  bool oneToOne = sw == w && sh == h && !flipX && !flipY;
  if (needSrc && oneToOne) {  // shrink to the part that has a source
    dst.left = int(std::max<int64_t>(dst.left, dx0 + (0 - int64_t(sx))));
    dst.top = int(std::max<int64_t>(dst.top, dy0 + (0 - int64_t(sy))));
    dst.right = int(std::min<int64_t>(dst.right, dx0 + (int64_t(srcIn.w) - sx)));
    dst.bottom = int(std::min<int64_t>(dst.bottom, dy0 + (int64_t(srcIn.h) - sy)));
  }
  RECT bounds{0, 0, d.w, d.h};
  RECT area;
  if (!IntersectRect(&area, &dst, &bounds)) return;

  // A source on the same pixels as the destination is read from a snapshot.
  Surf src = srcIn;
  std::vector<uint32_t> snap;
  bool same = needSrc && src.bits == d.bits;
  bool fast = p.mode == Mode::Rop && p.rop == 0xCC && d.bpp == 32 && src.bpp == 32;
  if (same && !(fast && oneToOne)) {
    snap.resize(size_t(src.w) * size_t(src.h));
    for (int r = 0; r < src.h; ++r)
      for (int c = 0; c < src.w; ++c) snap[size_t(r) * src.w + c] = src.Get(c, r);
    src.bits = reinterpret_cast<uint8_t*>(snap.data());
    src.stride = src.w * 4;
    src.bpp = 32;
    src.topDown = true;
    src.colors = nullptr;
    src.ncolors = 0;
  }
  bool srcHasAlpha = src.bpp == 32;

  std::vector<RECT> clips;
  dc.Clip().ForEachIn(area, [&](const RECT& c) { clips.push_back(c); });
  if (fast && same && oneToOne) {
    // Overlapping rows: copy in the direction that never reads a row already written.
    bool up = dy0 > sy || (dy0 == sy && dx0 > sx);
    if (up) std::reverse(clips.begin(), clips.end());
    for (const RECT& c : clips) {
      for (int i = 0; i < c.bottom - c.top; ++i) {
        int yy = up ? c.bottom - 1 - i : c.top + i;
        int srow = int(sy + (yy - dy0)), scol = int(sx + (c.left - dx0));
        std::memmove(d.Row32(yy) + c.left, src.Row32(srow) + scol, size_t(c.right - c.left) * 4);
      }
    }
    return;
  }
  // Unstretched per-pixel alpha between 32-bit surfaces goes row by row through the kernel
  // (a source on the destination's pixels is a snapshot by now, so rows never overlap).
  bool fastAlpha = p.mode == Mode::Alpha && oneToOne && d.bpp == 32 && src.bpp == 32 &&
                   (p.bf.AlphaFormat & AC_SRC_ALPHA);
  std::vector<int> cols;
  ColumnMap map;
  const PixelKernelTable& kernels = PixelKernels();
  for (const RECT& c : clips) {
    cols.resize(size_t(c.right - c.left));
    for (int xx = c.left; xx < c.right; ++xx) {
      int64_t sc = srcOf(xx - dx0, w, sw, sx, flipX);
      cols[size_t(xx - c.left)] = needSrc && (sc < 0 || sc >= src.w) ? -1 : int(sc);
    }
    if (fast && !oneToOne) {
      // A stretched copy: the columns run monotonically, so those with a source pixel are one
      // run of the clip's row. Its map is prepared once; each row is one gather, and a row whose
      // source row is the one above's (an enlargement) is a copy of the row just written.
      auto first = std::find_if(cols.begin(), cols.end(), [](int v) { return v >= 0; });
      auto last = std::find_if(first, cols.end(), [](int v) { return v < 0; });
      if (first == last) continue;
      const int x0 = c.left + int(first - cols.begin()), n = int(last - first);
      map.Assign(&*first, n, src.w);
      const ColumnMapView view = map.View();
      int64_t prev = -1;
      for (int yy = c.top; yy < c.bottom; ++yy) {
        int64_t sr = srcOf(yy - dy0, h, sh, sy, flipY);
        if (sr < 0 || sr >= src.h) {
          prev = -1;
          continue;
        }
        uint32_t* drow = d.Row32(yy) + x0;
        if (sr == prev)
          std::memcpy(drow, d.Row32(yy - 1) + x0, size_t(n) * 4);
        else
          kernels.GatherLine(src.Row32(int(sr)), view, drow);
        prev = sr;
      }
      continue;
    }
    for (int yy = c.top; yy < c.bottom; ++yy) {
      int64_t sr = srcOf(yy - dy0, h, sh, sy, flipY);
      if (needSrc && (sr < 0 || sr >= src.h)) continue;
      if (fast) {  // one to one
        std::memcpy(d.Row32(yy) + c.left, src.Row32(int(sr)) + cols[0], size_t(c.right - c.left) * 4);
        continue;
      }
      if (p.mode == Mode::Alpha && d.bpp == 32 && src.bpp == 32) {
        const uint32_t* srow = src.Row32(int(sr));
        uint32_t* drow = d.Row32(yy);
        if (fastAlpha) {
          BlendRowSrcAlpha(drow + c.left, srow + cols[0], size_t(c.right - c.left), p.bf.SourceConstantAlpha);
          continue;
        }
        for (int xx = c.left; xx < c.right; ++xx)
          if (int sc = cols[size_t(xx - c.left)]; sc >= 0) drow[xx] = BlendPixel(srow[sc], drow[xx], p.bf, true);
        continue;
      }
      for (int xx = c.left; xx < c.right; ++xx) {
        int sc = cols[size_t(xx - c.left)];
        if (needSrc && sc < 0) continue;
        uint32_t s = needSrc ? src.Get(sc, int(sr)) : 0;
        switch (p.mode) {
          case Mode::Rop: {
            if (p.rop == 0xCC) { d.Put(xx, yy, s); break; }
            uint32_t pat = 0;
            if (p.pat && RopUsesPattern(p.rop) && !p.pat->At(xx, yy, &pat)) pat = 0;
            d.Put(xx, yy, Rop3(p.rop, pat, s, d.Get(xx, yy)));
            break;
          }
          case Mode::Alpha: d.Put(xx, yy, BlendPixel(s, d.Get(xx, yy), p.bf, srcHasAlpha)); break;
          case Mode::Key:
            if ((s & 0xFFFFFF) != p.key) d.Put(xx, yy, s & 0xFFFFFF);
            break;
        }
      }
    }
  }
}

// Source surface of a DC and the buffer position of a logical point on it.
bool SourceOf(HDC hsrc, int sx, int sy, Surf* s, int* bx, int* by, std::shared_ptr<Dc>* keep) {
  auto src = GetDc(hsrc);
  if (!src) return false;
  *keep = src;
  *s = src->GetSurf();
  *bx = src->X(sx);
  *by = src->Y(sy);
  return true;
}

// A view of caller-owned DIB memory described by a BITMAPINFO.
bool DibView(const void* bits, const BITMAPINFO* bmi, UINT usage, Surf* s, std::vector<RGBQUAD>* table,
             const Dc& dc) {
  if (!bits || !bmi) return false;
  const BITMAPINFOHEADER& h = bmi->bmiHeader;
  int bpp = h.biBitCount;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN)
    return false;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
  if (!(h.biCompression == BI_RGB || (h.biCompression == BI_BITFIELDS && bpp == 32))) return false;
  uint64_t stride = ((uint64_t(h.biWidth) * bpp + 31) / 32) * 4;
  if (stride > INT32_MAX) return false;
  s->bits = static_cast<uint8_t*>(const_cast<void*>(bits));
  s->w = h.biWidth;
  s->h = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  s->topDown = h.biHeight < 0;
  s->bpp = bpp;
  s->stride = int(stride);
  if (bpp <= 8) {
    int n = h.biClrUsed ? int(std::min<DWORD>(h.biClrUsed, 1u << bpp)) : 1 << bpp;
    table->assign(size_t(1) << bpp, RGBQUAD{});
    const uint8_t* t = reinterpret_cast<const uint8_t*>(bmi) + h.biSize;
    if (usage == DIB_PAL_COLORS) {
      auto pal = dc.st.palette ? dc.st.palette : DefaultPalette();
      const uint16_t* idx = reinterpret_cast<const uint16_t*>(t);
      for (int i = 0; i < n; ++i)
        if (idx[i] < pal->entries.size()) {
          const PALETTEENTRY& e = pal->entries[idx[i]];
          (*table)[size_t(i)] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
        }
    } else {
      std::memcpy(table->data(), t, size_t(n) * sizeof(RGBQUAD));
    }
    s->colors = table->data();
    s->ncolors = int(table->size());
  }
  return true;
}

}  // namespace
}  // namespace win::gdi

namespace win {
using namespace gdi;

BOOL BitBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, DWORD rop) {
  return StretchBlt(hdst, x, y, w, h, hsrc, sx, sy, w, h, rop);
}

BOOL StretchBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, int sw, int sh, DWORD rop) {
  auto dc = GetDc(hdst);
  if (!dc) return FALSE;
  Params p;
  p.rop = uint8_t(rop >> 16);
  Surf src;
  std::shared_ptr<Dc> keep;
  int bx = 0, by = 0;
  if (RopUsesSource(p.rop) && !SourceOf(hsrc, sx, sy, &src, &bx, &by, &keep)) return FALSE;
  BrushPaint bp;
  if (RopUsesPattern(p.rop)) {
    bp = MakeBrushPaint(*dc, dc->st.brush.get());
    p.pat = &bp;
  }
  Transfer(*dc, dc->X(x), dc->Y(y), w, h, src, bx, by, sw, sh, p);
  return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  auto dc = GetDc(hdc);
  uint8_t code = uint8_t(rop >> 16);
  if (!dc || RopUsesSource(code)) return FALSE;
  BrushPaint bp = MakeBrushPaint(*dc, dc->st.brush.get());
  Surf d = dc->GetSurf();
  if (!d.Valid()) return TRUE;
  bool fx = false, fy = false;
  int bx = dc->X(x), by = dc->Y(y);
  Normalize(bx, w, fx);
  Normalize(by, h, fy);
  RECT r{bx, by, int(std::min<int64_t>(int64_t(bx) + w, INT32_MAX)), int(std::min<int64_t>(int64_t(by) + h, INT32_MAX))};
  if (code == 0xF0) {  // PATCOPY
    FillBufferRect(*dc, r, bp);
    return TRUE;
  }
  dc->Clip().ForEachIn(r, [&](const RECT& c) {
    for (int yy = c.top; yy < c.bottom; ++yy)
      for (int xx = c.left; xx < c.right; ++xx) {
        uint32_t pat = 0;
        if (RopUsesPattern(code) && !bp.At(xx, yy, &pat)) continue;
        d.Put(xx, yy, Rop3(code, pat, 0, d.Get(xx, yy)) & 0xFFFFFF);
      }
  });
  return TRUE;
}

BOOL AlphaBlend(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, int sw, int sh,
                BLENDFUNCTION bf) {
  auto dc = GetDc(hdst);
  if (!dc || w < 0 || h < 0 || sw < 0 || sh < 0 || bf.BlendOp != AC_SRC_OVER) return FALSE;
  Surf src;
  std::shared_ptr<Dc> keep;
  int bx = 0, by = 0;
  if (!SourceOf(hsrc, sx, sy, &src, &bx, &by, &keep) || !src.Valid()) return FALSE;
  // The source rectangle must lie inside the source surface.
  if (bx < 0 || by < 0 || int64_t(bx) + sw > src.w || int64_t(by) + sh > src.h) return FALSE;
  Params p;
  p.mode = Mode::Alpha;
  p.bf = bf;
  Transfer(*dc, dc->X(x), dc->Y(y), w, h, src, bx, by, sw, sh, p);
  return TRUE;
}

BOOL TransparentBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, int sw, int sh,
                    UINT key) {
  auto dc = GetDc(hdst);
  if (!dc || w < 0 || h < 0 || sw < 0 || sh < 0) return FALSE;
  Surf src;
  std::shared_ptr<Dc> keep;
  int bx = 0, by = 0;
  if (!SourceOf(hsrc, sx, sy, &src, &bx, &by, &keep) || !src.Valid()) return FALSE;
  Params p;
  p.mode = Mode::Key;
  p.key = ColorRefToPixel(key);
  Transfer(*dc, dc->X(x), dc->Y(y), w, h, src, bx, by, sw, sh, p);
  return TRUE;
}

int StretchDIBits(HDC hdc, int x, int y, int w, int h, int sx, int sy, int sw, int sh, const void* bits,
                  const BITMAPINFO* bmi, UINT usage, DWORD rop) {
  auto dc = GetDc(hdc);
  if (!dc) return 0;
  Surf s;
  std::vector<RGBQUAD> table;
  if (!DibView(bits, bmi, usage, &s, &table, *dc)) return 0;
  // Bottom-up DIBs count source rows from the bottom; a negative extent mirrors either way.
  int top = s.topDown ? sy : s.h - sy - sh;
  Params p;
  p.rop = uint8_t(rop >> 16);
  BrushPaint bp;
  if (RopUsesPattern(p.rop)) {
    bp = MakeBrushPaint(*dc, dc->st.brush.get());
    p.pat = &bp;
  }
  Transfer(*dc, dc->X(x), dc->Y(y), w, h, s, sx, top, sw, sh, p);
  return h < 0 ? -h : h;
}

int SetDIBitsToDevice(HDC hdc, int x, int y, DWORD w, DWORD h, int sx, int sy, UINT startScan, UINT lines,
                      const void* bits, const BITMAPINFO* bmi, UINT usage) {
  auto dc = GetDc(hdc);
  if (!dc || w > DWORD(INT32_MAX) || h > DWORD(INT32_MAX)) return 0;
  Surf s;
  std::vector<RGBQUAD> table;
  if (!DibView(bits, bmi, usage, &s, &table, *dc)) return 0;
  int full = s.h;
  if (startScan >= UINT(full) || lines == 0) return 0;
  lines = std::min<UINT>(lines, UINT(full) - startScan);
  s.h = int(lines);  // the caller's buffer holds only these scan lines
  int top = s.topDown ? sy - int(startScan) : int(startScan) + int(lines) - sy - int(h);
  Params p;
  Transfer(*dc, dc->X(x), dc->Y(y), int(w), int(h), s, sx, top, int(w), int(h), p);
  return int(lines);
}

int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT lines, void* bits, BITMAPINFO* bmi, UINT) {
  auto b = Get<Bitmap>(hbm, Kind::Bitmap);
  if (!GetDc(hdc) || !b || !bmi || bmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  BITMAPINFOHEADER& h = bmi->bmiHeader;
  if (h.biBitCount == 0) {
    h.biWidth = b->w;
    h.biHeight = b->topDown && b->isDib ? -b->h : b->h;
    h.biPlanes = 1;
    h.biBitCount = WORD(b->bpp);
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(uint64_t(b->stride) * b->h);
    return 1;
  }
  int bpp = h.biBitCount;
  if ((bpp != 24 && bpp != 32) || h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return 0;
  uint64_t stride = ((uint64_t(h.biWidth) * bpp + 31) / 32) * 4;
  int outH = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  if (stride * uint64_t(outH) > UINT32_MAX) return 0;
  h.biSizeImage = DWORD(stride * uint64_t(outH));
  if (!bits) return 1;
  bool topDown = h.biHeight < 0;
  int rows = std::min(outH, b->h);
  if (start >= UINT(rows)) return 0;
  UINT n = std::min<UINT>(lines, UINT(rows) - start);
  Surf src = b->View();
  int cols = std::min(h.biWidth, b->w);
  uint8_t* out = static_cast<uint8_t*>(bits);
  for (UINT k = 0; k < n; ++k) {
    UINT scan = start + k;
    // Scan 0 is the bottom row of a bottom-up request and the top row of a top-down one.
    int srow = topDown ? int(scan) : b->h - 1 - int(scan);
    uint8_t* o = out + stride * k;
    for (int c = 0; c < cols; ++c) {
      uint32_t v = src.Get(c, srow);
      if (bpp == 32) {
        std::memcpy(o + 4 * c, &v, 4);
      } else {
        o[3 * c] = uint8_t(v); o[3 * c + 1] = uint8_t(v >> 8); o[3 * c + 2] = uint8_t(v >> 16);
      }
    }
  }
  return int(n);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  auto dc = GetDc(hdc);
  if (!dc) return CLR_INVALID;
  Surf s = dc->GetSurf();
  int bx = dc->X(x), by = dc->Y(y);
  if (!s.Valid() || !dc->Clip().Contains(bx, by)) return CLR_INVALID;
  s.Put(bx, by, ColorRefToPixel(color));
  return PixelToColorRef(s.Get(bx, by));
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) { return SetPixel(hdc, x, y, color) != CLR_INVALID; }

COLORREF GetPixel(HDC hdc, int x, int y) {
  auto dc = GetDc(hdc);
  if (!dc) return CLR_INVALID;
  Surf s = dc->GetSurf();
  int bx = dc->X(x), by = dc->Y(y);
  if (!s.Valid() || !dc->Clip().Contains(bx, by)) return CLR_INVALID;
  return PixelToColorRef(s.Get(bx, by));
}

}  // namespace win
