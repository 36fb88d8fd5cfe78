#pragma once
// Pixel coverage of the filled shapes, as regions: ellipses, rounded rectangles and polygons.
// Shared by the region constructors and the drawing primitives so both cover the same pixels.
#include "platform/gdi/Region.h"

namespace win::gdi {

Region EllipseShape(int left, int top, int right, int bottom);
Region RoundRectShape(int left, int top, int right, int bottom, int ew, int eh);
// Pixel centres inside the polygon by the fill mode (ALTERNATE or WINDING).
Region PolygonShape(const POINT* pts, int count, int fillMode);
// The pixels of `r` whose four neighbours all lie in `r`.
Region Erode(const Region& r);

}  // namespace win::gdi
