#include "classlib/graphics/RawImage.h"

#include "classlib/graphics/GraphicsError.h"

namespace img {

bool ValidBitsPerPixel(int bpp) {
  return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

void RawImage::Allocate(int32_t width, int32_t height, int bpp) {
  if (width <= 0 || height <= 0 || !ValidBitsPerPixel(bpp))
    throw EInvalidGraphic("Invalid image size or format");
  uint64_t bytes = RowStride(width, bpp) * uint64_t(height);
  if (bytes > kMaxImageBytes) throw EInvalidGraphic("Image is too large");
  Width = width;
  Height = height;
  BitsPerPixel = bpp;
  Rgb565 = false;
  HasAlpha = false;
  TransparentIndex = -1;
  Pixels.assign(size_t(bytes), 0);
  Palette.assign(bpp <= 8 ? size_t(1) << bpp : 0, 0);
}

int RawImage::Index(int x, int y) const {
  const uint8_t* row = Row(y);
  switch (BitsPerPixel) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    case 8: return row[x];
    default: return 0;
  }
}

uint32_t RawImage::Pixel(int x, int y) const {
  const uint8_t* row = Row(y);
  switch (BitsPerPixel) {
    case 1:
    case 4:
    case 8: {
      size_t i = size_t(Index(x, y));
      return 0xFF000000u | (i < Palette.size() ? Palette[i] & 0xFFFFFF : 0);
    }
    case 16: {
      unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
      unsigned r, g, b;
      if (Rgb565) {
        r = Expand5((v >> 11) & 31);
        g = Expand6((v >> 5) & 63);
      } else {
        r = Expand5((v >> 10) & 31);
        g = Expand5((v >> 5) & 31);
      }
      b = Expand5(v & 31);
      return 0xFF000000u | (r << 16) | (g << 8) | b;
    }
    case 24: {
      const uint8_t* p = row + 3 * x;
      return 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    }
    case 32: {
      const uint8_t* p = row + 4 * x;
      uint32_t a = HasAlpha ? p[3] : 255;
      return (a << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    }
    default: return 0;
  }
}

RawImage ConvertTo(const RawImage& src, int bpp) {
  if (bpp != 24 && bpp != 32) throw EInvalidGraphic("Unsupported conversion");
  RawImage out;
  if (src.Empty()) return out;
  if (src.BitsPerPixel == bpp) return src;
  out.Allocate(src.Width, src.Height, bpp);
  out.HasAlpha = bpp == 32 && src.HasAlpha;
  const int n = bpp / 8;
  for (int y = 0; y < src.Height; ++y) {
    uint8_t* d = out.Row(y);
    for (int x = 0; x < src.Width; ++x, d += n) {
      uint32_t c = src.Pixel(x, y);
      d[0] = uint8_t(c);
      d[1] = uint8_t(c >> 8);
      d[2] = uint8_t(c >> 16);
      if (n == 4) d[3] = src.BitsPerPixel == 32 ? src.Row(y)[4 * x + 3] : 0;
    }
  }
  return out;
}

}  // namespace img
