#pragma once
// A view of pixel memory at 1, 4, 8, 24 or 32 bits per pixel, with reading and writing of
// single pixels as 0xAARRGGBB. Pixels read from 24-bit or palette memory have alpha 0.
#include <cstddef>
#include <cstdint>

#include "platform/Gdi.h"

namespace win::gdi {

inline uint32_t ColorRefToPixel(COLORREF c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline COLORREF PixelToColorRef(uint32_t p) {
  return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

struct Surf {
  uint8_t* bits = nullptr;
  int w = 0, h = 0, stride = 0, bpp = 32;
  bool topDown = true;
  const RGBQUAD* colors = nullptr;
  int ncolors = 0;

  bool Valid() const { return bits && w > 0 && h > 0; }
  uint8_t* Row(int y) const {
    return topDown ? bits + ptrdiff_t(y) * stride : bits + ptrdiff_t(h - 1 - y) * stride;
  }
  uint32_t* Row32(int y) const { return reinterpret_cast<uint32_t*>(Row(y)); }
  uint32_t Entry(int i) const {
    if (!colors || i >= ncolors) return 0;
    const RGBQUAD& q = colors[i];
    return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
  }
  int Nearest(uint32_t rgb) const {
    int best = 0;
    long bestD = -1;
    for (int i = 0; i < ncolors; ++i) {
      uint32_t e = Entry(i);
      long dr = long((e >> 16) & 0xFF) - long((rgb >> 16) & 0xFF);
      long dg = long((e >> 8) & 0xFF) - long((rgb >> 8) & 0xFF);
      long db = long(e & 0xFF) - long(rgb & 0xFF);
      long d = dr * dr + dg * dg + db * db;
      if (bestD < 0 || d < bestD) { bestD = d; best = i; if (d == 0) break; }
    }
    return best;
  }
  uint32_t Get(int x, int y) const {
    const uint8_t* r = Row(y);
    switch (bpp) {
      case 32: return reinterpret_cast<const uint32_t*>(r)[x];
      case 24: return uint32_t(r[3 * x]) | (uint32_t(r[3 * x + 1]) << 8) | (uint32_t(r[3 * x + 2]) << 16);
      case 8: return Entry(r[x]);
      case 4: return Entry((r[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
      case 1: return Entry((r[x >> 3] >> (7 - (x & 7))) & 1);
    }
    return 0;
  }
  void Put(int x, int y, uint32_t p) const {
    uint8_t* r = Row(y);
    switch (bpp) {
      case 32: reinterpret_cast<uint32_t*>(r)[x] = p; return;
      case 24: r[3 * x] = uint8_t(p); r[3 * x + 1] = uint8_t(p >> 8); r[3 * x + 2] = uint8_t(p >> 16); return;
      case 8: r[x] = uint8_t(Nearest(p & 0xFFFFFF)); return;
      case 4: {
        int i = Nearest(p & 0xFFFFFF), sh = (x & 1) ? 0 : 4;
        r[x >> 1] = uint8_t((r[x >> 1] & ~(0xF << sh)) | (i << sh));
        return;
      }
      case 1: {
        int i = Nearest(p & 0xFFFFFF), sh = 7 - (x & 7);
        r[x >> 3] = uint8_t((r[x >> 3] & ~(1 << sh)) | (i << sh));
        return;
      }
    }
  }
};

// Applies a ROP3 code (the middle byte of a raster operation) bitwise.
inline uint32_t Rop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (!((code >> i) & 1)) continue;
    r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return r;
}
// Applies a ROP2 code (R2_BLACK .. R2_WHITE) bitwise.
inline uint32_t Rop2(int rop2, uint32_t p, uint32_t d) {
  if (rop2 == R2_COPYPEN) return p;
  unsigned code = unsigned(rop2 - 1) & 0xF;
  uint32_t r = 0;
  for (int i = 0; i < 4; ++i) {
    if (!((code >> i) & 1)) continue;
    r |= ((i & 2) ? p : ~p) & ((i & 1) ? d : ~d);
  }
  return r;
}

}  // namespace win::gdi
