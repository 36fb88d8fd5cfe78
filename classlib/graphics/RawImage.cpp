#include "classlib/graphics/RawImage.h"

#include <unordered_map>

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

uint32_t ReadPixel(const uint8_t* row, int x, int bpp, bool rgb565, bool alpha, const uint32_t* palette,
                   size_t paletteSize) {
  auto entry = [&](size_t i) { return 0xFF000000u | (i < paletteSize ? palette[i] & 0xFFFFFF : 0); };
  switch (bpp) {
    case 1: return entry((row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4: return entry((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
    case 8: return entry(row[x]);
    case 16: {
      unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
      unsigned r, g, b;
      if (rgb565) {
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
      uint32_t a = alpha ? p[3] : 255;
      return (a << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    }
    default: return 0;
  }
}

uint32_t RawImage::Pixel(int x, int y) const {
  return ReadPixel(Row(y), x, BitsPerPixel, Rgb565, HasAlpha, Palette.data(), Palette.size());
}

void RawImage::SetIndex(int x, int y, int index) {
  uint8_t* row = Row(y);
  switch (BitsPerPixel) {
    case 1: {
      uint8_t bit = uint8_t(0x80 >> (x & 7));
      row[x >> 3] = uint8_t(index & 1 ? row[x >> 3] | bit : row[x >> 3] & ~bit);
      break;
    }
    case 4: {
      int shift = (x & 1) ? 0 : 4;
      row[x >> 1] = uint8_t((row[x >> 1] & ~(15 << shift)) | ((index & 15) << shift));
      break;
    }
    case 8: row[x] = uint8_t(index); break;
    default: break;
  }
}

void RawImage::SetPixel(int x, int y, uint32_t argb) {
  uint8_t* row = Row(y);
  const unsigned r = (argb >> 16) & 255, g = (argb >> 8) & 255, b = argb & 255;
  switch (BitsPerPixel) {
    case 1:
    case 4:
    case 8: SetIndex(x, y, NearestIndex(Palette, argb & 0xFFFFFF)); break;
    case 16: {
      unsigned v = Rgb565 ? ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3) : ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
      row[2 * x] = uint8_t(v);
      row[2 * x + 1] = uint8_t(v >> 8);
      break;
    }
    case 24: row[3 * x] = uint8_t(b); row[3 * x + 1] = uint8_t(g); row[3 * x + 2] = uint8_t(r); break;
    case 32:
      row[4 * x] = uint8_t(b); row[4 * x + 1] = uint8_t(g); row[4 * x + 2] = uint8_t(r); row[4 * x + 3] = uint8_t(argb >> 24);
      break;
    default: break;
  }
}

std::vector<uint32_t> DefaultPalette(int bpp) {
  if (bpp == 1) return {0x000000, 0xFFFFFF};
  if (bpp == 4)
    return {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
            0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  std::vector<uint32_t> pal;
  if (bpp != 8) return pal;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) pal.push_back(uint32_t(r * 51) << 16 | uint32_t(g * 51) << 8 | uint32_t(b * 51));
  for (int i = 0; i < 40; ++i) {
    uint32_t v = uint32_t(6 + i * 6);  // 6..240, between the cube's greys
    pal.push_back(v << 16 | v << 8 | v);
  }
  return pal;
}

int NearestIndex(const std::vector<uint32_t>& palette, uint32_t rgb) {
  int best = 0;
  int64_t bestD = -1;
  for (size_t i = 0; i < palette.size(); ++i) {
    int64_t dr = int64_t((palette[i] >> 16) & 255) - int64_t((rgb >> 16) & 255);
    int64_t dg = int64_t((palette[i] >> 8) & 255) - int64_t((rgb >> 8) & 255);
    int64_t db = int64_t(palette[i] & 255) - int64_t(rgb & 255);
    int64_t d = dr * dr + dg * dg + db * db;
    if (bestD < 0 || d < bestD) {
      bestD = d;
      best = int(i);
      if (d == 0) break;
    }
  }
  return best;
}

RawImage ConvertFormat(const RawImage& src, int bpp, std::vector<uint32_t> palette) {
  RawImage out;
  if (src.Empty()) return out;
  out.Allocate(src.Width, src.Height, bpp);
  if (bpp <= 8) {
    if (palette.empty()) palette = DefaultPalette(bpp);
    palette.resize(out.Palette.size(), 0);
    out.Palette = palette;
  }
  out.HasAlpha = bpp == 32 && src.BitsPerPixel == 32 && src.HasAlpha;
  std::unordered_map<uint32_t, int> nearest;  // pictures repeat colours: look each one up once
  for (int y = 0; y < src.Height; ++y) {
    const uint8_t* srow = src.Row(y);
    for (int x = 0; x < src.Width; ++x) {
      uint32_t c = src.Pixel(x, y);
      if (bpp <= 8) {
        auto it = nearest.find(c & 0xFFFFFF);
        if (it == nearest.end()) it = nearest.emplace(c & 0xFFFFFF, NearestIndex(out.Palette, c & 0xFFFFFF)).first;
        out.SetIndex(x, y, it->second);
      } else {
        uint32_t a = src.BitsPerPixel == 32 ? srow[4 * x + 3] : 0;
        out.SetPixel(x, y, (c & 0xFFFFFF) | (a << 24));
      }
    }
  }
  return out;
}

RawImage ConvertTo(const RawImage& src, int bpp) {
  if (bpp != 24 && bpp != 32) throw EInvalidGraphic("Unsupported conversion");
  if (src.Empty()) return RawImage();
  if (src.BitsPerPixel == bpp) return src;
  return ConvertFormat(src, bpp);
}

}  // namespace img
