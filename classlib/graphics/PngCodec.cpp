// PNG files through libpng's simplified interface, which keeps libpng's error jumps inside
// libpng and reports failure by return value.
#include <png.h>

#include <cstring>
#include <string>

#include "classlib/graphics/Codecs.h"
#include "classlib/graphics/GraphicsError.h"

namespace img {
namespace {

[[noreturn]] void Fail(png_image& image) {
  std::string msg = image.message[0] ? image.message : "unknown error";
  png_image_free(&image);
  throw EInvalidGraphic("PNG image is not valid: " + msg);
}

}  // namespace

RawImage ReadPng(const uint8_t* data, size_t size) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!data || size < 8 || !png_image_begin_read_from_memory(&image, data, size)) Fail(image);
  const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  RawImage out;
  if (image.width > INT32_MAX || image.height > INT32_MAX ||
      RowStride(image.width, alpha ? 32 : 24) * image.height > kMaxImageBytes) {
    png_image_free(&image);
    throw EInvalidGraphic("PNG image is too large");
  }
  out.Allocate(int32_t(image.width), int32_t(image.height), alpha ? 32 : 24);
  out.HasAlpha = alpha;
  // The row stride counts bytes for 8-bit channels; our rows keep their 4-byte padding.
  if (!png_image_finish_read(&image, nullptr, out.Pixels.data(), png_int_32(out.Stride()), nullptr)) Fail(image);
  return out;
}

Bytes WritePng(const RawImage& src) {
  if (src.Empty()) throw EInvalidGraphic("Cannot save an empty image");
  // A 32-bit picture whose alpha is all zero was drawn by GDI-style code, which never sets
  // alpha: it is saved opaque rather than as an invisible picture.
  bool alpha = false;
  if (src.BitsPerPixel == 32 && src.HasAlpha) {
    for (int y = 0; y < src.Height && !alpha; ++y)
      for (int x = 0; x < src.Width; ++x)
        if (src.Row(y)[4 * x + 3]) { alpha = true; break; }
  }
  RawImage conv = ConvertTo(src, alpha ? 32 : 24);
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(conv.Width);
  image.height = png_uint_32(conv.Height);
  image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  png_alloc_size_t bytes = 0;
  const png_int_32 stride = png_int_32(conv.Stride());
  if (!png_image_write_to_memory(&image, nullptr, &bytes, 0, conv.Pixels.data(), stride, nullptr)) Fail(image);
  Bytes out(bytes);
  if (!png_image_write_to_memory(&image, out.data(), &bytes, 0, conv.Pixels.data(), stride, nullptr)) Fail(image);
  out.resize(bytes);
  return out;
}

}  // namespace img
