#pragma once
// Alpha blending of 32-bit pixels (0xAARRGGBB): the per-pixel rule every blend follows, and a
// row kernel for the common unstretched case that gives exactly the same bytes, only faster.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "platform/Gdi.h"

namespace win::gdi {

// a*b/255 rounded to nearest, exact for 8-bit operands, without a division.
inline uint32_t Mul255(uint32_t a, uint32_t b) {
  uint32_t x = a * b + 128;
  return (x + (x >> 8)) >> 8;
}

// One pixel: the constant alpha scales every source channel; with AC_SRC_ALPHA the source is
// premultiplied and dst = src + dst*(255 - src.alpha)/255, each channel saturating at 255.
// A source without alpha (24-bit or palette) counts as opaque. This is the reference: every
// faster path must give the same bytes.
inline uint32_t BlendPixel(uint32_t s, uint32_t d, const BLENDFUNCTION& bf, bool srcHasAlpha) {
  uint32_t ca = bf.SourceConstantAlpha;
  if (ca == 255 && srcHasAlpha && (bf.AlphaFormat & AC_SRC_ALPHA)) {
    uint32_t a = s >> 24;
    if (a == 255) return s;
    if (s == 0) return d;
  }
  uint32_t sa = (bf.AlphaFormat & AC_SRC_ALPHA) ? Mul255(srcHasAlpha ? s >> 24 : 255, ca) : ca;
  uint32_t out = 0;
  for (int sh = 0; sh < 32; sh += 8) {
    uint32_t sc = (sh == 24 && !srcHasAlpha) ? 255 : (s >> sh) & 0xFF;
    uint32_t v = Mul255(sc, ca) + Mul255((d >> sh) & 0xFF, 255 - sa);
    out |= std::min<uint32_t>(v, 255) << sh;
  }
  return out;
}

// Blends n 32-bit source pixels with per-pixel alpha (AC_SRC_ALPHA) and the given constant
// alpha over n destination pixels. The same result as BlendPixel, pixel for pixel; the rows
// must not overlap.
void BlendRowSrcAlpha(uint32_t* dst, const uint32_t* src, size_t n, uint8_t constantAlpha);

}  // namespace win::gdi
