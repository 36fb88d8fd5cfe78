#pragma once
// A decoded picture, independent of any device: what the image codecs read and write.
// The memory layout is that of a DIB section, so a bitmap can copy it row by row:
// rows top-down, each padded to a multiple of 4 bytes; 24 and 32 bits are bytes B,G,R(,A);
// 16 bits are little-endian X1R5G5B5 (or R5G6B5 when Rgb565); 1, 4 and 8 bits index Palette,
// the first pixel in the high bits of a byte.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace img {

using Bytes = std::vector<uint8_t>;

// Pictures above this many pixel bytes are refused rather than allocated. It is the size of the
// largest bitmap the graphics layer makes, so that every picture a reader accepts can be drawn.
constexpr uint64_t kMaxImageBytes = uint64_t(512) << 20;

// Bytes of one row of a picture `width` pixels wide at `bpp` bits, padded to 4 bytes.
constexpr uint64_t RowStride(int64_t width, int bpp) { return ((uint64_t(width) * uint64_t(bpp) + 31) / 32) * 4; }

struct RawImage {
  int32_t Width = 0;
  int32_t Height = 0;
  int BitsPerPixel = 0;            // 1, 4, 8, 16, 24 or 32
  bool Rgb565 = false;             // 16 bits only
  bool HasAlpha = false;           // 32 bits only: the fourth byte holds real alpha
  std::vector<uint32_t> Palette;   // 1, 4 and 8 bits: 0x00RRGGBB, exactly 1 << BitsPerPixel entries
  int TransparentIndex = -1;       // a palette entry that stands for "no pixel" (GIF), or -1
  std::vector<uint8_t> Pixels;

  bool Empty() const { return Width <= 0 || Height <= 0; }
  size_t Stride() const { return size_t(RowStride(Width, BitsPerPixel)); }
  uint8_t* Row(int y) { return Pixels.data() + size_t(y) * Stride(); }
  const uint8_t* Row(int y) const { return Pixels.data() + size_t(y) * Stride(); }

  // Makes a zero-filled picture; raises EInvalidGraphic for an impossible size or format.
  void Allocate(int32_t width, int32_t height, int bpp);
  void Clear() { *this = RawImage(); }

  // The pixel as 0xAARRGGBB; alpha is 255 unless HasAlpha.
  uint32_t Pixel(int x, int y) const;
  // The palette index at (x, y) of a 1, 4 or 8-bit picture.
  int Index(int x, int y) const;
  void SetIndex(int x, int y, int index);
  // Stores 0xAARRGGBB: palette pictures take the nearest entry, 16 bits drop the low bits,
  // 24 bits drop alpha, 32 bits keep the alpha byte as given.
  void SetPixel(int x, int y, uint32_t argb);
};

// Reads one pixel of a row of any format as 0xAARRGGBB (alpha 255 unless `alpha`).
uint32_t ReadPixel(const uint8_t* row, int x, int bpp, bool rgb565, bool alpha, const uint32_t* palette,
                   size_t paletteSize);

// The palette a new picture of 1, 4 or 8 bits gets: black and white; the 16 VGA colours;
// a 6x6x6 colour cube and 40 greys.
std::vector<uint32_t> DefaultPalette(int bpp);
// The index of the entry nearest to `rgb` (0x00RRGGBB).
int NearestIndex(const std::vector<uint32_t>& palette, uint32_t rgb);

// The same picture at another depth (1, 4, 8, 24 or 32 bits); palette formats take `palette`
// (DefaultPalette when empty) and the nearest colours. 32-bit targets keep a 32-bit source's
// alpha byte and get 0 otherwise.
RawImage ConvertFormat(const RawImage& src, int bpp, std::vector<uint32_t> palette = {});

// True when the format is one a RawImage can hold.
bool ValidBitsPerPixel(int bpp);

// The same picture as 24-bit (or 32-bit) BGR(A), converting through the palette or the 16-bit masks.
RawImage ConvertTo(const RawImage& src, int bpp);

// 8-bit to/from 5 or 6 bits, as Windows expands 16-bit pixels (replicating the high bits).
inline uint8_t Expand5(unsigned v) { return uint8_t((v << 3) | (v >> 2)); }
inline uint8_t Expand6(unsigned v) { return uint8_t((v << 2) | (v >> 4)); }

}  // namespace img
