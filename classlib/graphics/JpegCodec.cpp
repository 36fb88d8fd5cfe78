// JPEG files through libjpeg-turbo. libjpeg reports errors through a callback that must not
// return; it jumps back with longjmp to the setjmp in these functions, so no C++ object with a
// destructor may be created between the setjmp and the libjpeg calls.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

#include "classlib/graphics/Codecs.h"
#include "classlib/graphics/GraphicsError.h"

namespace img {
namespace {

struct ErrorMgr {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

extern "C" void OnJpegError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorMgr*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// libjpeg goes on after a warning and fills a truncated picture with grey; a picture that was
// not fully read must fail instead. Stray bytes before a marker are harmless and common.
extern "C" void OnJpegMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code != JWRN_EXTRANEOUS_DATA) OnJpegError(cinfo);
}

void InitErrors(ErrorMgr& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = OnJpegError;
  err.pub.emit_message = OnJpegMessage;
  err.message[0] = 0;
}

// Decodes into `out`, already default-constructed by the caller; returns false with the
// library's message in err.message. Kept free of objects with destructors (see above).
bool Decode(const uint8_t* data, size_t size, RawImage& out, ErrorMgr& err) {
  jpeg_decompress_struct cinfo;
  cinfo.err = &err.pub;
  InitErrors(err);
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, (unsigned long)size);
  jpeg_read_header(&cinfo, TRUE);
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  // The size is checked before decompression starts: libjpeg reserves its buffers there (for a
  // progressive file, every coefficient of the whole picture), whatever the file really holds.
  jpeg_calc_output_dimensions(&cinfo);
  if (RowStride(cinfo.output_width, 24) * cinfo.output_height > kMaxImageBytes || cinfo.output_width > INT32_MAX ||
      cinfo.output_height > INT32_MAX) {
    std::snprintf(err.message, sizeof err.message, "%s", "JPEG image is too large");
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  // Its own buffers are bounded too: a coefficient takes two bytes a sample, twice the picture
  // for three components at full resolution; beyond the bound it reports an error.
  cinfo.mem->max_memory_to_use = long(2 * kMaxImageBytes + (64 << 20));
  jpeg_start_decompress(&cinfo);
  // Allocate cannot throw here: the size was checked above.
  out.Allocate(int32_t(cinfo.output_width), int32_t(cinfo.output_height), 24);
  uint8_t* cmykRow = nullptr;
  if (cmyk) cmykRow = static_cast<uint8_t*>((*cinfo.mem->alloc_small)(
                reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, size_t(cinfo.output_width) * 4));
  while (cinfo.output_scanline < cinfo.output_height) {
    uint8_t* row = out.Row(int(cinfo.output_scanline));
    JSAMPROW target = cmyk ? cmykRow : row;
    jpeg_read_scanlines(&cinfo, &target, 1);
    if (cmyk) {
      // Adobe writes CMYK inverted (0 = full ink), which is what almost every such file is.
      const bool inverted = cinfo.saw_Adobe_marker;
      for (JDIMENSION x = 0; x < cinfo.output_width; ++x) {
        unsigned c = cmykRow[4 * x], m = cmykRow[4 * x + 1], y = cmykRow[4 * x + 2], k = cmykRow[4 * x + 3];
        if (!inverted) { c = 255 - c; m = 255 - m; y = 255 - y; k = 255 - k; }
        row[3 * x + 0] = uint8_t(y * k / 255);
        row[3 * x + 1] = uint8_t(m * k / 255);
        row[3 * x + 2] = uint8_t(c * k / 255);
      }
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

// Encodes a 24-bit picture; the output buffer comes from malloc and is the caller's.
bool Encode(const RawImage& im, int quality, bool gray, unsigned char** buf, unsigned long* len, ErrorMgr& err) {
  jpeg_compress_struct cinfo;
  cinfo.err = &err.pub;
  InitErrors(err);
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, buf, len);
  cinfo.image_width = JDIMENSION(im.Width);
  cinfo.image_height = JDIMENSION(im.Height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  if (gray) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(im.Row(int(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

RawImage ReadJpeg(const uint8_t* data, size_t size) {
  if (!data || size < 4) throw EInvalidGraphic("JPEG image is not valid: file too short");
  RawImage out;
  ErrorMgr err;
  if (!Decode(data, size, out, err)) throw EInvalidGraphic(std::string("JPEG image is not valid: ") + err.message);
  return out;
}

Bytes WriteJpeg(const RawImage& src, int quality, bool grayscale) {
  if (src.Empty()) throw EInvalidGraphic("Cannot save an empty image");
  if (src.Width > 65500 || src.Height > 65500) throw EInvalidGraphic("Image is too large for a JPEG file");
  if (quality < 1) quality = 1;
  if (quality > 100) quality = 100;
  RawImage conv = ConvertTo(src, 24);
  unsigned char* buf = nullptr;
  unsigned long len = 0;
  ErrorMgr err;
  bool ok = Encode(conv, quality, grayscale, &buf, &len, err);
  Bytes out;
  if (ok) out.assign(buf, buf + len);
  std::free(buf);
  if (!ok) throw EInvalidGraphic(std::string("Cannot write JPEG image: ") + err.message);
  return out;
}

}  // namespace img
