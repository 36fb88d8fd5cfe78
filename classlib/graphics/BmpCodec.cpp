// BMP files, read and written by our own code. Every size field is checked against the bytes
// that are really there before anything is allocated or copied.
#include <cstring>

#include "classlib/graphics/Codecs.h"
#include "classlib/graphics/GraphicsError.h"

namespace img {
namespace {

constexpr uint32_t BI_RGB = 0, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6;

[[noreturn]] void Bad(const char* why = nullptr) {
  (void)why;
  throw EInvalidGraphic("Bitmap image is not valid");
}

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }
int32_t I32(const uint8_t* p) { return int32_t(U32(p)); }

void Put16(Bytes& b, uint16_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); }
void Put32(Bytes& b, uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i))); }

// One channel described by a bit mask, scaled to 8 bits.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  explicit Channel(uint32_t m) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1)) ++shift;
    while (bits < 32 - shift && ((m >> (shift + bits)) & 1)) ++bits;
  }
  uint8_t Get(uint32_t v) const {
    if (!mask) return 0;
    uint32_t x = (v & mask) >> shift;
    if (bits >= 8) return uint8_t(x >> (bits - 8));
    // Replicate the high bits into the low ones so that the largest value gives 255.
    uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
      out = (out << bits) | x;
      filled += bits;
    }
    return uint8_t(out >> (filled - 8));
  }
};

}  // namespace

FileKind DetectKind(const uint8_t* d, size_t n) {
  if (n >= 2 && d[0] == 'B' && d[1] == 'M') return FileKind::Bmp;
  if (n >= 8 && std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0) return FileKind::Png;
  if (n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return FileKind::Jpeg;
  if (n >= 6 && (std::memcmp(d, "GIF87a", 6) == 0 || std::memcmp(d, "GIF89a", 6) == 0)) return FileKind::Gif;
  return FileKind::Unknown;
}

RawImage ReadBmp(const uint8_t* d, size_t n, size_t* consumed) {
  if (!d || n < 14 + 12 || d[0] != 'B' || d[1] != 'M') Bad();
  const uint32_t offBits = U32(d + 10);
  const uint32_t hsize = U32(d + 14);
  const uint8_t* h = d + 14;
  if (hsize != 12 && (hsize < 40 || hsize > 0x10000)) Bad();
  if (uint64_t(14) + hsize > n) Bad();

  int64_t width, height;
  int planes, bpp;
  uint32_t compression = BI_RGB, clrUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};
  size_t pos = 14 + hsize;  // where the masks or the palette follow
  int entrySize = 4;
  if (hsize == 12) {  // BITMAPCOREHEADER
    width = U16(h + 4);
    height = int16_t(U16(h + 6));
    planes = U16(h + 8);
    bpp = U16(h + 10);
    entrySize = 3;
    if (height < 0) Bad();  // core headers have no top-down form
  } else {
    width = I32(h + 4);
    height = I32(h + 8);
    planes = U16(h + 12);
    bpp = U16(h + 14);
    compression = U32(h + 16);
    clrUsed = U32(h + 32);
    if (compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS) {
      size_t count = compression == BI_ALPHABITFIELDS ? 4 : 3;
      if (hsize >= 52) {
        for (size_t i = 0; i < 4 && 40 + 4 * i + 4 <= hsize; ++i) masks[i] = U32(h + 40 + 4 * i);
        if (compression == BI_BITFIELDS && hsize < 56) masks[3] = 0;
      } else {
        if (pos + 4 * count > n) Bad();
        for (size_t i = 0; i < count; ++i) masks[i] = U32(d + pos + 4 * i);
        pos += 4 * count;
      }
    } else if (hsize >= 56) {
      masks[3] = U32(h + 52);  // V3 and later carry an alpha mask even for BI_RGB
    }
  }
  if (planes != 1 || width <= 0 || height == 0 || height == INT32_MIN) Bad();
  if (!ValidBitsPerPixel(bpp)) Bad();
  const bool topDown = height < 0;
  const int64_t rows = topDown ? -height : height;
  const bool bitfields = compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS;
  if (!(compression == BI_RGB || (bitfields && (bpp == 16 || bpp == 32)))) Bad();
  if (bitfields && !(masks[0] | masks[1] | masks[2])) Bad();

  // The colour table.
  std::vector<uint32_t> palette;
  if (bpp <= 8) {
    uint64_t full = uint64_t(1) << bpp;
    uint64_t count = clrUsed == 0 || clrUsed > full ? full : clrUsed;
    // An oversized ClrUsed is clamped as Windows does; the entries must still be present.
    if (pos + count * entrySize > n) Bad();
    palette.assign(size_t(full), 0);
    for (uint64_t i = 0; i < count; ++i) {
      const uint8_t* e = d + pos + i * entrySize;
      palette[size_t(i)] = (uint32_t(e[2]) << 16) | (uint32_t(e[1]) << 8) | e[0];
    }
    pos += size_t(count * entrySize);
  }

  // The pixels: at bfOffBits, or right after the table when that field is unset.
  uint64_t start = offBits ? offBits : pos;
  if (start < 14 + uint64_t(hsize)) Bad();
  const uint64_t stride = RowStride(width, bpp);
  const uint64_t dataBytes = stride * uint64_t(rows);  // at most 2^31 * 32 * 2^31 / 8: no overflow
  if (start > n || dataBytes > n - start) Bad();
  const uint8_t* bits = d + start;

  RawImage out;
  // 16 and 32-bit bit fields other than the standard layouts are expanded to plain BGR(A).
  int outBpp = bpp;
  bool direct = true, std565 = false;
  if (bitfields) {
    const bool std555 = bpp == 16 && masks[0] == 0x7C00 && masks[1] == 0x3E0 && masks[2] == 0x1F && !masks[3];
    std565 = bpp == 16 && masks[0] == 0xF800 && masks[1] == 0x7E0 && masks[2] == 0x1F && !masks[3];
    const bool stdBgra = bpp == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF &&
                         (masks[3] == 0 || masks[3] == 0xFF000000u);
    direct = std555 || std565 || stdBgra;
    if (!direct) outBpp = masks[3] ? 32 : 24;
  }
  out.Allocate(int32_t(width), int32_t(rows), outBpp);
  if (bpp <= 8) out.Palette = palette;
  out.Rgb565 = std565;

  if (direct) {
    const size_t s = size_t(stride);
    for (int64_t y = 0; y < rows; ++y) {
      const uint8_t* src = bits + size_t(topDown ? y : rows - 1 - y) * s;
      std::memcpy(out.Row(int(y)), src, s);
    }
    if (bpp == 32) {
      if (masks[3] == 0xFF000000u) {
        out.HasAlpha = true;
      } else if (compression == BI_RGB && masks[3] == 0) {
        // The fourth byte is "reserved", but many writers (ours too) keep alpha there.
        for (int y = 0; y < out.Height && !out.HasAlpha; ++y)
          for (int x = 0; x < out.Width; ++x)
            if (out.Row(y)[4 * x + 3]) { out.HasAlpha = true; break; }
      }
    }
  } else {
    Channel r(masks[0]), g(masks[1]), b(masks[2]), a(masks[3]);
    out.HasAlpha = masks[3] != 0;
    const int nb = bpp / 8, on = outBpp / 8;
    for (int64_t y = 0; y < rows; ++y) {
      const uint8_t* src = bits + size_t(topDown ? y : rows - 1 - y) * size_t(stride);
      uint8_t* dst = out.Row(int(y));
      for (int64_t x = 0; x < width; ++x, src += nb, dst += on) {
        uint32_t v = nb == 2 ? U16(src) : U32(src);
        dst[0] = b.Get(v);
        dst[1] = g.Get(v);
        dst[2] = r.Get(v);
        if (on == 4) dst[3] = a.Get(v);
      }
    }
  }
  if (consumed) *consumed = size_t(start + dataBytes);
  return out;
}

Bytes WriteBmp(const RawImage& im, bool topDown) {
  if (im.Empty() || !ValidBitsPerPixel(im.BitsPerPixel)) throw EInvalidGraphic("Cannot save an empty bitmap");
  const bool fields = im.BitsPerPixel == 16 && im.Rgb565;
  const uint32_t colours = im.BitsPerPixel <= 8 ? 1u << im.BitsPerPixel : 0;
  const uint32_t headerBytes = 14 + 40 + (fields ? 12 : 0) + colours * 4;
  const uint64_t dataBytes = uint64_t(im.Stride()) * uint64_t(im.Height);
  if (headerBytes + dataBytes > 0xFFFFFFFFu) throw EInvalidGraphic("Bitmap is too large for a BMP file");
  Bytes b;
  b.reserve(size_t(headerBytes + dataBytes));
  b.push_back('B');
  b.push_back('M');
  Put32(b, uint32_t(headerBytes + dataBytes));
  Put32(b, 0);
  Put32(b, headerBytes);
  Put32(b, 40);
  Put32(b, uint32_t(im.Width));
  Put32(b, uint32_t(topDown ? -im.Height : im.Height));
  Put16(b, 1);
  Put16(b, uint16_t(im.BitsPerPixel));
  Put32(b, fields ? BI_BITFIELDS : BI_RGB);
  Put32(b, uint32_t(dataBytes));
  Put32(b, 3780);  // 96 dpi in pixels per metre
  Put32(b, 3780);
  Put32(b, colours);
  Put32(b, 0);
  if (fields) {
    Put32(b, 0xF800);
    Put32(b, 0x7E0);
    Put32(b, 0x1F);
  }
  for (uint32_t i = 0; i < colours; ++i) Put32(b, i < im.Palette.size() ? im.Palette[i] & 0xFFFFFF : 0);
  for (int y = 0; y < im.Height; ++y) {
    const uint8_t* row = im.Row(topDown ? y : im.Height - 1 - y);
    b.insert(b.end(), row, row + im.Stride());
  }
  return b;
}

}  // namespace img
