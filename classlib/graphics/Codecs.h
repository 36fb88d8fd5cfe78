#pragma once
// The picture file formats: BMP by our own code, PNG through libpng, JPEG through libjpeg-turbo,
// GIF through giflib. Every reader checks the file against its own size fields and raises
// EInvalidGraphic for a corrupt or truncated file; it never returns a half-read picture.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "classlib/graphics/RawImage.h"

namespace img {



enum class FileKind { Unknown, Bmp, Png, Jpeg, Gif };
// Recognises a picture file by its first bytes.
FileKind DetectKind(const uint8_t* data, size_t size);

// Reads a BMP file (file header, then a core, info, V4 or V5 header; uncompressed or bit fields).
// `consumed`, when given, receives the bytes the file occupies (its pixels end there).
RawImage ReadBmp(const uint8_t* data, size_t size, size_t* consumed = nullptr);
// Writes an uncompressed BMP file with an info header; rows bottom-up unless `topDown`.
Bytes WriteBmp(const RawImage& image, bool topDown = false);

// Reads a PNG file into 24 bits, or 32 bits with HasAlpha when the file has alpha or a
// transparent colour.
RawImage ReadPng(const uint8_t* data, size_t size);
// Writes RGBA when the picture has alpha, RGB otherwise.
Bytes WritePng(const RawImage& image);

// Reads a JPEG file into 24 bits (greyscale and CMYK files are converted).
RawImage ReadJpeg(const uint8_t* data, size_t size);
// Writes a baseline JPEG at `quality` 1..100; `grayscale` writes one channel.
Bytes WriteJpeg(const RawImage& image, int quality, bool grayscale = false);

// Reads the first frame of a GIF file into an 8-bit picture the size of the logical screen;
// TransparentIndex is the frame's transparent colour, or -1.
RawImage ReadGif(const uint8_t* data, size_t size);
// Writes a one-frame GIF. A picture with a palette keeps it; one with at most 256 colours gets
// exactly those; any other gets a fixed palette of a 6x6x6 colour cube and 40 greys.
Bytes WriteGif(const RawImage& image);

// One picture of an icon file: its colour (24 bits, or 32 with HasAlpha when the alpha is not 0
// everywhere; alpha is not premultiplied) and its AND mask, one byte per pixel, 1 = transparent.
struct IconImage {
  RawImage Color;
  std::vector<uint8_t> Mask;
  int BitCount = 0;  // as the file stores the picture (PNG pictures count as 32)
};
// Reads every picture of an .ico file: DIB entries of 1, 4, 8, 24 or 32 bits, each with its AND
// mask, and PNG entries (their mask is where alpha is 0). `consumed`, when given, receives the
// bytes the file occupies (the end of its last picture).
std::vector<IconImage> ReadIco(const uint8_t* data, size_t size, size_t* consumed = nullptr);
// Writes an .ico file of DIB entries: 32 bits for a picture with alpha, 24 otherwise.
Bytes WriteIco(const std::vector<IconImage>& images);

}  // namespace img
