// Icon (.ico) files, read and written by our own code: a directory of pictures, each a DIB
// (header, colour table, XOR pixels, AND mask, rows bottom-up) or an embedded PNG. Every size
// in the directory and in each header is checked against the bytes really there, in 64 bits,
// before anything is allocated or copied.
#include <algorithm>
#include <cstring>

#include "classlib/graphics/Codecs.h"
#include "classlib/graphics/GraphicsError.h"

namespace img {
namespace {

[[noreturn]] void Bad() { throw EInvalidGraphic("Icon image is not valid"); }

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }
int32_t I32(const uint8_t* p) { return int32_t(U32(p)); }
void Put16(Bytes& b, uint16_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); }
void Put32(Bytes& b, uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i))); }

constexpr size_t kDirBytes = 6, kEntryBytes = 16, kInfoBytes = 40;

IconImage ReadPngEntry(const uint8_t* d, size_t n) {
  IconImage im;
  im.Color = ReadPng(d, n);
  im.BitCount = 32;
  const size_t count = size_t(im.Color.Width) * size_t(im.Color.Height);
  im.Mask.assign(count, 0);
  if (im.Color.BitsPerPixel == 32 && im.Color.HasAlpha)
    for (int y = 0; y < im.Color.Height; ++y)
      for (int x = 0; x < im.Color.Width; ++x)
        im.Mask[size_t(y) * size_t(im.Color.Width) + size_t(x)] = im.Color.Row(y)[4 * x + 3] == 0;
  return im;
}

IconImage ReadDibEntry(const uint8_t* d, size_t n) {
  if (n < kInfoBytes) Bad();
  const uint32_t hsize = U32(d);
  const int32_t width = I32(d + 4), height2 = I32(d + 8);
  const int planes = U16(d + 12), bpp = U16(d + 14);
  const uint32_t compression = U32(d + 16), clrUsed = U32(d + 32);
  if (hsize < kInfoBytes || hsize > n) Bad();
  // The height counts the XOR and the AND rows together.
  if (width <= 0 || height2 < 2 || planes > 1 || compression != 0) Bad();
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) Bad();
  const int32_t height = height2 / 2;
  const uint64_t colours = bpp <= 8 ? (clrUsed == 0 || clrUsed > (1u << bpp) ? (1u << bpp) : clrUsed) : 0;
  const uint64_t xorStride = RowStride(width, bpp), andStride = RowStride(width, 1);
  const uint64_t tableAt = hsize, xorAt = tableAt + 4 * colours;
  const uint64_t andAt = xorAt + xorStride * uint64_t(height);
  if (andAt + andStride * uint64_t(height) > n) Bad();

  std::vector<uint32_t> palette(size_t(1) << (bpp <= 8 ? bpp : 0), 0);
  for (uint64_t i = 0; i < colours; ++i) {
    const uint8_t* e = d + tableAt + 4 * i;
    palette[size_t(i)] = (uint32_t(e[2]) << 16) | (uint32_t(e[1]) << 8) | e[0];
  }
  IconImage im;
  im.BitCount = bpp;
  im.Color.Allocate(width, height, bpp == 32 ? 32 : 24);
  im.Mask.assign(size_t(width) * size_t(height), 0);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* src = d + xorAt + xorStride * uint64_t(height - 1 - y);  // bottom-up
    const uint8_t* andRow = d + andAt + andStride * uint64_t(height - 1 - y);
    uint8_t* dst = im.Color.Row(y);
    if (bpp >= 24) {
      std::memcpy(dst, src, size_t(width) * size_t(bpp / 8));
    } else {
      for (int32_t x = 0; x < width; ++x) {
        uint32_t p = ReadPixel(src, x, bpp, false, false, palette.data(), palette.size());
        dst[3 * x] = uint8_t(p);
        dst[3 * x + 1] = uint8_t(p >> 8);
        dst[3 * x + 2] = uint8_t(p >> 16);
      }
    }
    for (int32_t x = 0; x < width; ++x)
      im.Mask[size_t(y) * size_t(width) + size_t(x)] = (andRow[x >> 3] >> (7 - (x & 7))) & 1;
  }
  if (bpp == 32)
    for (int32_t y = 0; y < height && !im.Color.HasAlpha; ++y)
      for (int32_t x = 0; x < width; ++x)
        if (im.Color.Row(y)[4 * x + 3]) { im.Color.HasAlpha = true; break; }
  return im;
}

}  // namespace

std::vector<IconImage> ReadIco(const uint8_t* d, size_t n, size_t* consumed) {
  if (!d || n < kDirBytes || U16(d) != 0 || U16(d + 2) != 1) Bad();
  const size_t count = U16(d + 4);
  if (count == 0 || kDirBytes + kEntryBytes * count > n) Bad();
  std::vector<IconImage> out;
  uint64_t end = kDirBytes + kEntryBytes * count;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = d + kDirBytes + kEntryBytes * i;
    const uint64_t bytes = U32(e + 8), at = U32(e + 12);
    if (at < kDirBytes + kEntryBytes * count || bytes == 0 || at + bytes > n) Bad();
    const uint8_t* p = d + at;
    if (bytes >= 8 && std::memcmp(p, "\x89PNG\r\n\x1a\n", 8) == 0)
      out.push_back(ReadPngEntry(p, size_t(bytes)));
    else
      out.push_back(ReadDibEntry(p, size_t(bytes)));
    end = std::max(end, at + bytes);
  }
  if (consumed) *consumed = size_t(end);
  return out;
}

Bytes WriteIco(const std::vector<IconImage>& images) {
  if (images.empty() || images.size() > 0xFFFF) throw EInvalidGraphic("Cannot save an empty icon");
  std::vector<Bytes> bodies;
  for (const IconImage& im : images) {
    const RawImage& c = im.Color;
    if (c.Empty() || (c.BitsPerPixel != 24 && c.BitsPerPixel != 32)) throw EInvalidGraphic("Cannot save an empty icon");
    const int bpp = c.BitsPerPixel == 32 && c.HasAlpha ? 32 : 24;
    const uint64_t xorStride = RowStride(c.Width, bpp), andStride = RowStride(c.Width, 1);
    const uint64_t data = (xorStride + andStride) * uint64_t(c.Height);
    if (data > 0x7FFFFFFF || uint64_t(c.Height) * 2 > 0x7FFFFFFF) throw EInvalidGraphic("Icon is too large for an icon file");
    Bytes b;
    b.reserve(size_t(kInfoBytes + data));
    Put32(b, kInfoBytes);
    Put32(b, uint32_t(c.Width));
    Put32(b, uint32_t(c.Height) * 2);
    Put16(b, 1);
    Put16(b, uint16_t(bpp));
    Put32(b, 0);
    Put32(b, uint32_t(data));
    for (int i = 0; i < 4; ++i) Put32(b, 0);
    for (int y = c.Height - 1; y >= 0; --y) {
      const uint8_t* row = c.Row(y);
      for (int x = 0; x < c.Width; ++x)
        for (int k = 0; k < bpp / 8; ++k) b.push_back(row[x * (c.BitsPerPixel / 8) + k]);
      b.resize(b.size() + size_t(xorStride - uint64_t(c.Width) * (bpp / 8)), 0);
    }
    for (int y = c.Height - 1; y >= 0; --y) {
      Bytes row(size_t(andStride), 0);
      for (int x = 0; x < c.Width; ++x) {
        const size_t i = size_t(y) * size_t(c.Width) + size_t(x);
        if (i < im.Mask.size() && im.Mask[i]) row[size_t(x >> 3)] |= uint8_t(0x80 >> (x & 7));
      }
      b.insert(b.end(), row.begin(), row.end());
    }
    bodies.push_back(std::move(b));
  }
  Bytes out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, uint16_t(images.size()));
  uint64_t at = kDirBytes + kEntryBytes * images.size();
  for (size_t i = 0; i < images.size(); ++i) {
    const RawImage& c = images[i].Color;
    if (at + bodies[i].size() > 0xFFFFFFFFu) throw EInvalidGraphic("Icon is too large for an icon file");
    out.push_back(uint8_t(c.Width >= 256 ? 0 : c.Width));  // 0 stands for 256 (or more)
    out.push_back(uint8_t(c.Height >= 256 ? 0 : c.Height));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, uint16_t(c.BitsPerPixel == 32 && c.HasAlpha ? 32 : 24));
    Put32(out, uint32_t(bodies[i].size()));
    Put32(out, uint32_t(at));
    at += bodies[i].size();
  }
  for (const Bytes& b : bodies) out.insert(out.end(), b.begin(), b.end());
  return out;
}

}  // namespace img
