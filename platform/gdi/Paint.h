#pragma once
// Filling with brushes and plotting with pens on a DC's surface, in buffer coordinates, inside
// the DC's clip. Every pixel made here gets alpha 0 on 32-bit surfaces.
#include "platform/gdi/Objects.h"

namespace win::gdi {

// A brush made ready for one DC: solid, hatched (over the background colour when OPAQUE) or a
// pattern bitmap, anchored at the DC's brush origin.
struct BrushPaint {
  bool null = true;
  bool solid = false;
  uint32_t color = 0;  // 0x00RRGGBB
  int hatch = -1;
  uint32_t bk = 0;
  bool bkOpaque = false;
  Surf pattern;
  std::shared_ptr<Bitmap> keep;
  uint32_t fore = 0;  // monochrome patterns: text colour for 0 bits, background for 1 bits
  int orgX = 0, orgY = 0;
  // The brush pixel at a buffer position; false where a hatch leaves the pixel alone.
  bool At(int x, int y, uint32_t* out) const;
};
BrushPaint MakeBrushPaint(const Dc& dc, const Brush* brush);

// Fills a rectangle (buffer coordinates) with the brush through the clip; rop2 0 means copy.
void FillBufferRect(Dc& dc, const RECT& r, const BrushPaint& bp, int rop2 = 0);
void FillBufferRegion(Dc& dc, const Region& rgn, const BrushPaint& bp, int rop2 = 0);
// Plots one pixel of colour `c` (0x00RRGGBB) with the DC's ROP2, through the clip.
void PlotPixel(Dc& dc, const Surf& s, int x, int y, uint32_t c, int rop2);

}  // namespace win::gdi
