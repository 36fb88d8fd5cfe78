#pragma once
// The GDI objects behind the handles, the handle table and the device context state.
// Internal to platform/: other layers use platform/Gdi.h.
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/Gdi.h"
#include "platform/gdi/Pixels.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/SurfaceDC.h"

namespace win::text {
class RealFont;
std::shared_ptr<RealFont> Realize(const LOGFONT& lf);
}  // namespace win::text

namespace win::gdi {

enum class Kind { Bitmap, Pen, Brush, Font, Region, Palette, Dc, Icon };

struct Object {
  explicit Object(Kind k) : kind(k) {}
  virtual ~Object() = default;
  Kind kind;
  bool stock = false;
  void* handle = nullptr;
};

struct Bitmap : Object {
  Bitmap() : Object(Kind::Bitmap) {}
  ~Bitmap() override;
  int w = 0, h = 0, bpp = 32, stride = 0;
  bool topDown = true;
  bool isDib = false;
  uint8_t* bits = nullptr;  // owned (calloc)
  std::vector<RGBQUAD> colors;
  BITMAPINFOHEADER header;  // as created, for DIB sections
  Surf View() const {
    Surf s;
    s.bits = bits; s.w = w; s.h = h; s.stride = stride; s.bpp = bpp; s.topDown = topDown;
    s.colors = colors.empty() ? nullptr : colors.data();
    s.ncolors = int(colors.size());
    return s;
  }
};

struct Pen : Object {
  Pen() : Object(Kind::Pen) {}
  LOGPEN lp;
  bool dcPen = false;  // the DC_PEN stock object: the colour comes from the DC
};

struct Brush : Object {
  Brush() : Object(Kind::Brush) {}
  LOGBRUSH lb;
  bool dcBrush = false;
  std::shared_ptr<Bitmap> pattern;  // BS_PATTERN: a private copy
};

struct Font : Object {
  Font() : Object(Kind::Font) {}
  LOGFONT lf;
  std::shared_ptr<text::RealFont> Real();

 private:
  std::mutex mu_;
  std::shared_ptr<text::RealFont> real_;
};

struct RegionObj : Object {
  RegionObj() : Object(Kind::Region) {}
  Region rgn;
};

struct Palette : Object {
  Palette() : Object(Kind::Palette) {}
  std::vector<PALETTEENTRY> entries;
};

// An icon or cursor; immutable once registered, so draws on many threads share it freely.
struct Icon : Object {
  Icon() : Object(Kind::Icon) {}
  bool fIcon = true;
  DWORD xHotspot = 0, yHotspot = 0;
  int w = 0, h = 0;
  std::shared_ptr<Bitmap> mask;     // 1 bit, w x h; w x 2h for a monochrome icon
  std::shared_ptr<Bitmap> color;    // 32 bits, w x h, alpha as given; null for a monochrome icon
  std::shared_ptr<Bitmap> premul;   // icons with alpha: the colour premultiplied, for blending
  bool shared = false;              // LoadIcon's: DestroyIcon leaves it alone
};

struct DcState {
  POINT windowOrg, viewportOrg, brushOrg, cur;
  std::optional<Region> clip;  // device coordinates of the DC
  std::shared_ptr<Bitmap> bitmap;
  std::shared_ptr<Pen> pen;
  std::shared_ptr<Brush> brush;
  std::shared_ptr<Font> font;
  std::shared_ptr<Palette> palette;
  COLORREF textColor = 0, bkColor = 0xFFFFFF, dcBrushColor = 0xFFFFFF, dcPenColor = 0;
  int bkMode = OPAQUE, rop2 = R2_COPYPEN, stretchMode = BLACKONWHITE, polyFillMode = ALTERNATE;
  UINT textAlign = 0;
};

struct Dc : Object {
  enum class Type { Memory, Surface, Info };
  explicit Dc(Type t) : Object(Kind::Dc), type(t) {}
  Type type;
  DcState st;
  std::vector<DcState> saved;
  SurfaceDesc ext;           // Surface
  POINT devOrigin;           // Surface: buffer position of device (0,0)
  std::optional<Region> vis; // Surface: buffer coordinates

  Surf GetSurf() const;
  // Logical to buffer coordinates.
  int X(int x) const { return x - st.windowOrg.x + st.viewportOrg.x + devOrigin.x; }
  int Y(int y) const { return y - st.windowOrg.y + st.viewportOrg.y + devOrigin.y; }
  // The effective clip in buffer coordinates: DC clip, visible region and buffer bounds.
  const Region& Clip();
  void ClipChanged() { clipValid_ = false; }

 private:
  bool clipValid_ = false;
  Region clip_;
};

// The handle table. Handles are never reused: a 64-bit counter makes them.
void* Register(std::shared_ptr<Object> obj);
std::shared_ptr<Object> Lookup(const void* h);
bool Unregister(const void* h);
template <class T>
std::shared_ptr<T> Get(const void* h, Kind k) {
  auto o = Lookup(h);
  if (!o || o->kind != k) return nullptr;
  return std::static_pointer_cast<T>(o);
}
inline std::shared_ptr<Dc> GetDc(HDC h) { return Get<Dc>(h, Kind::Dc); }

std::shared_ptr<Pen> StockPen(int index);
std::shared_ptr<Brush> StockBrush(int index);
std::shared_ptr<Font> StockFont(int index);
std::shared_ptr<Bitmap> DefaultBitmap();  // the 1x1 monochrome bitmap of a new memory DC
std::shared_ptr<Palette> DefaultPalette();
// A brush from a handle, accepting (HBRUSH)(COLOR_xxx + 1).
std::shared_ptr<Brush> BrushFromHandle(HBRUSH h);

std::shared_ptr<Bitmap> NewBitmap(int w, int h, int bpp, bool topDown, bool isDib);

}  // namespace win::gdi
