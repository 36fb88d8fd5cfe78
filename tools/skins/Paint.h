#pragma once
// Anti-aliased shapes for the skin and icon generator, drawn straight into the pixels of a
// TkxBitmap: rounded rectangles (by their signed distance, so edges are smooth at any radius),
// lines, circles and polygons, with colours in linear 0..1 floats.
#include <cstdint>
#include <functional>
#include <vector>

#include "lib/graphics/kxBitmap.h"

namespace skingen {

struct RGB {
  double r = 0, g = 0, b = 0;
};
RGB Hex(uint32_t v);
RGB Mix(RGB a, RGB b, double t);
// The sRGB relative luminance and the contrast ratio of the usual accessibility rule.
double Luminance(RGB c);
double Contrast(RGB a, RGB b);
// Moves the text colour towards black or white (whichever the background allows) until it
// reaches the ratio.
RGB WithContrast(RGB text, RGB bg, double ratio);
// 0x00BBGGRR, as skin records hold colours.
int32_t ToTColor(RGB c);
uint32_t ToPixel(RGB c, double a = 1);

struct Pt {
  double x, y;
};

class Painter {
public:
  explicit Painter(TkxBitmap& b) : B(b) {}
  int W() const { return B.Width(); }
  int H() const { return B.Height(); }
  // Source-over of colour c with coverage a at pixel (x, y); transparent pixels take the colour.
  void Blend(int x, int y, RGB c, double a);
  RGB Get(int x, int y) const;
  void Fill(int x0, int y0, int x1, int y1, RGB c);
  void FillV(int x0, int y0, int x1, int y1, RGB top, RGB bottom);
  // Rounded rectangle (x0, y0)-(x1, y1) in pixel edges; fill by the fraction down the shape.
  void RoundRect(double x0, double y0, double x1, double y1, double r, const std::function<RGB(double)>& fill);
  void RoundRect(double x0, double y0, double x1, double y1, double r, RGB c) {
    RoundRect(x0, y0, x1, y1, r, [c](double) { return c; });
  }
  // A border of width w inside the rectangle's edge.
  void RoundFrame(double x0, double y0, double x1, double y1, double r, double w, RGB c);
  void Line(double x0, double y0, double x1, double y1, double w, RGB c);
  void Circle(double cx, double cy, double r, RGB c);
  void Ring(double cx, double cy, double r, double w, RGB c);
  void Polygon(const std::vector<Pt>& pts, RGB c);

private:
  TkxBitmap& B;
};

}  // namespace skingen
