// GIF files through giflib. Only the first frame is read; it is placed on a picture the size of
// the logical screen. Written files hold one frame with a palette.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

#include "classlib/graphics/Codecs.h"
#include "classlib/graphics/GraphicsError.h"

namespace img {
namespace {

struct MemReader {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

extern "C" int ReadMem(GifFileType* gif, GifByteType* buf, int len) {
  auto* r = static_cast<MemReader*>(gif->UserData);
  size_t n = std::min(size_t(len < 0 ? 0 : len), r->size - r->pos);
  std::memcpy(buf, r->data + r->pos, n);
  r->pos += n;
  return int(n);
}

extern "C" int WriteMem(GifFileType* gif, const GifByteType* buf, int len) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), buf, buf + len);
  return len;
}

// Closes a decoder on every way out of ReadGif.
struct Decoder {
  GifFileType* gif = nullptr;
  ~Decoder() {
    int err;
    if (gif) DGifCloseFile(gif, &err);
  }
};

[[noreturn]] void Bad(int code) {
  const char* msg = GifErrorString(code);
  throw EInvalidGraphic(std::string("GIF image is not valid: ") + (msg ? msg : "unknown error"));
}

}  // namespace

RawImage ReadGif(const uint8_t* data, size_t size) {
  if (!data || size < 13) throw EInvalidGraphic("GIF image is not valid: file too short");
  MemReader reader{data, size, 0};
  int err = 0;
  Decoder dec;
  dec.gif = DGifOpen(&reader, ReadMem, &err);
  if (!dec.gif) Bad(err);
  GifFileType* gif = dec.gif;
  int transparent = -1;
  for (;;) {
    GifRecordType type;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) Bad(gif->Error);
    if (type == TERMINATE_RECORD_TYPE) throw EInvalidGraphic("GIF image is not valid: it holds no picture");
    if (type == EXTENSION_RECORD_TYPE) {
      int code;
      GifByteType* ext = nullptr;
      if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR) Bad(gif->Error);
      bool first = true;
      while (ext) {
        if (first && code == GRAPHICS_EXT_FUNC_CODE) {
          GraphicsControlBlock gcb;
          if (DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
        }
        first = false;
        if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR) Bad(gif->Error);
      }
      continue;
    }
    if (type != IMAGE_DESC_RECORD_TYPE) continue;
    if (DGifGetImageDesc(gif) == GIF_ERROR) Bad(gif->Error);
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!map || map->ColorCount <= 0 || map->ColorCount > 256 || !map->Colors)
      throw EInvalidGraphic("GIF image is not valid: it has no colour table");
    int sw = gif->SWidth, sh = gif->SHeight;
    if (sw <= 0 || sh <= 0) {  // some writers leave the screen size 0; the frame then defines it
      sw = desc.Left + desc.Width;
      sh = desc.Top + desc.Height;
    }
    if (desc.Width <= 0 || desc.Height <= 0 || sw <= 0 || sh <= 0)
      throw EInvalidGraphic("GIF image is not valid: empty picture");
    if (uint64_t(desc.Width) * uint64_t(desc.Height) > kMaxImageBytes || RowStride(sw, 8) * uint64_t(sh) > kMaxImageBytes)
      throw EInvalidGraphic("GIF image is too large");
    RawImage out;
    out.Allocate(sw, sh, 8);
    for (int i = 0; i < map->ColorCount; ++i) {
      const GifColorType& c = map->Colors[i];
      out.Palette[size_t(i)] = (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
    }
    if (transparent >= map->ColorCount) transparent = -1;
    out.TransparentIndex = transparent;
    // Outside the frame lies nothing: the transparent colour when there is one, else the background.
    const int fill = transparent >= 0 ? transparent : (gif->SBackGroundColor < map->ColorCount ? gif->SBackGroundColor : 0);
    for (int y = 0; y < sh; ++y) std::fill_n(out.Row(y), sw, uint8_t(fill));
    std::vector<GifPixelType> line(size_t(desc.Width));
    // Interlaced frames store rows in four passes.
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    const int passes = desc.Interlace ? 4 : 1;
    for (int p = 0; p < passes; ++p) {
      const int y0 = desc.Interlace ? kStart[p] : 0, dy = desc.Interlace ? kStep[p] : 1;
      for (int y = y0; y < desc.Height; y += dy) {
        if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) Bad(gif->Error);
        const int ty = desc.Top + y;
        if (ty < 0 || ty >= sh) continue;  // parts of the frame off the screen are dropped
        uint8_t* row = out.Row(ty);
        for (int x = 0; x < desc.Width; ++x) {
          const int tx = desc.Left + x;
          if (tx >= 0 && tx < sw) row[tx] = line[size_t(x)] < map->ColorCount ? line[size_t(x)] : uint8_t(fill);
        }
      }
    }
    return out;
  }
}

namespace {

uint32_t Dist(uint32_t a, uint32_t b) {
  int dr = int((a >> 16) & 255) - int((b >> 16) & 255);
  int dg = int((a >> 8) & 255) - int((b >> 8) & 255);
  int db = int(a & 255) - int(b & 255);
  return uint32_t(dr * dr * 3 + dg * dg * 4 + db * db * 2);
}

uint8_t NearestFixed(uint32_t c) {
  auto q = [](uint32_t v) { return (v + 25) / 51; };
  uint32_t r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
  uint32_t cube = q(r) * 36 + q(g) * 6 + q(b);
  uint32_t cubeColour = (q(r) * 51) << 16 | (q(g) * 51) << 8 | (q(b) * 51);
  uint32_t grey = (r * 3 + g * 4 + b * 2) / 9;
  int gi = std::clamp(int((grey + 0) / 6) - 1, 0, 39);
  uint32_t gv = uint32_t(6 + gi * 6);
  uint32_t greyColour = gv << 16 | gv << 8 | gv;
  return Dist(c, greyColour) < Dist(c, cubeColour) ? uint8_t(216 + gi) : uint8_t(cube);
}

}  // namespace

Bytes WriteGif(const RawImage& src) {
  if (src.Empty()) throw EInvalidGraphic("Cannot save an empty image");
  if (src.Width > 65535 || src.Height > 65535) throw EInvalidGraphic("Image is too large for a GIF file");
  // Choose the palette and the index of every pixel.
  std::vector<uint32_t> palette;
  std::vector<uint8_t> indexes(size_t(src.Width) * size_t(src.Height));
  if (src.BitsPerPixel <= 8) {
    palette = src.Palette;
    for (int y = 0; y < src.Height; ++y)
      for (int x = 0; x < src.Width; ++x) indexes[size_t(y) * size_t(src.Width) + size_t(x)] = uint8_t(src.Index(x, y));
  } else {
    std::unordered_map<uint32_t, uint8_t> exact;
    bool fits = true;
    for (int y = 0; y < src.Height && fits; ++y)
      for (int x = 0; x < src.Width; ++x) {
        uint32_t c = src.Pixel(x, y) & 0xFFFFFF;
        auto it = exact.find(c);
        if (it == exact.end()) {
          if (exact.size() == 256) { fits = false; break; }
          it = exact.emplace(c, uint8_t(exact.size())).first;
          palette.push_back(c);
        }
        indexes[size_t(y) * size_t(src.Width) + size_t(x)] = it->second;
      }
    if (!fits) {
      palette = DefaultPalette(8);
      for (int y = 0; y < src.Height; ++y)
        for (int x = 0; x < src.Width; ++x)
          indexes[size_t(y) * size_t(src.Width) + size_t(x)] = NearestFixed(src.Pixel(x, y) & 0xFFFFFF);
    }
  }
  // giflib wants a power of two entries, at least 2.
  int bits = 1;
  while ((size_t(1) << bits) < palette.size()) ++bits;
  std::vector<GifColorType> colours(size_t(1) << bits, GifColorType{0, 0, 0});
  for (size_t i = 0; i < palette.size() && i < colours.size(); ++i)
    colours[i] = GifColorType{GifByteType(palette[i] >> 16), GifByteType(palette[i] >> 8), GifByteType(palette[i])};

  Bytes out;
  int err = 0;
  GifFileType* gif = EGifOpen(&out, WriteMem, &err);
  if (!gif) Bad(err);
  ColorMapObject* map = GifMakeMapObject(int(colours.size()), colours.data());
  bool ok = map != nullptr;
  const bool transparent = src.TransparentIndex >= 0 && size_t(src.TransparentIndex) < colours.size();
  if (ok) {
    EGifSetGifVersion(gif, transparent);
    ok = EGifPutScreenDesc(gif, src.Width, src.Height, bits, 0, map) != GIF_ERROR;
  }
  if (ok && transparent) {
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, src.TransparentIndex};
    GifByteType ext[4];
    size_t len = EGifGCBToExtension(&gcb, ext);
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(len), ext) != GIF_ERROR;
  }
  if (ok) ok = EGifPutImageDesc(gif, 0, 0, src.Width, src.Height, false, nullptr) != GIF_ERROR;
  for (int y = 0; ok && y < src.Height; ++y)
    ok = EGifPutLine(gif, indexes.data() + size_t(y) * size_t(src.Width), src.Width) != GIF_ERROR;
  int code = ok ? 0 : gif->Error;
  GifFreeMapObject(map);
  if (EGifCloseFile(gif, &err) == GIF_ERROR && ok) {
    ok = false;
    code = err;
  }
  if (!ok) throw EInvalidGraphic(std::string("Cannot write GIF image: ") + (GifErrorString(code) ? GifErrorString(code) : "error"));
  return out;
}

}  // namespace img
