#include "tools/skins/Paint.h"

#include <algorithm>
#include <cmath>

namespace skingen {

RGB Hex(uint32_t v) { return {((v >> 16) & 255) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0}; }
RGB Mix(RGB a, RGB b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

static double Lin(double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }
static uint8_t Byte(double v) { return uint8_t(std::clamp(int(std::lround(v * 255)), 0, 255)); }
static RGB Quantised(RGB c) { return {Byte(c.r) / 255.0, Byte(c.g) / 255.0, Byte(c.b) / 255.0}; }

double Luminance(RGB c) {
  c = Quantised(c);
  return 0.2126 * Lin(c.r) + 0.7152 * Lin(c.g) + 0.0722 * Lin(c.b);
}
double Contrast(RGB a, RGB b) {
  double la = Luminance(a), lb = Luminance(b);
  if (la < lb) std::swap(la, lb);
  return (la + 0.05) / (lb + 0.05);
}
RGB WithContrast(RGB text, RGB bg, double ratio) {
  // A small margin, so that the anti-aliased and quantised faces still pass.
  ratio += 0.15;
  RGB target = Contrast(Hex(0), bg) > Contrast(Hex(0xFFFFFF), bg) ? Hex(0) : Hex(0xFFFFFF);
  RGB c = text;
  for (int i = 0; i <= 40 && Contrast(c, bg) < ratio; ++i) c = Mix(text, target, i / 40.0);
  return Quantised(c);
}
int32_t ToTColor(RGB c) { return int32_t(Byte(c.r)) | (int32_t(Byte(c.g)) << 8) | (int32_t(Byte(c.b)) << 16); }
uint32_t ToPixel(RGB c, double a) {
  return (uint32_t(Byte(a)) << 24) | (uint32_t(Byte(c.r)) << 16) | (uint32_t(Byte(c.g)) << 8) | Byte(c.b);
}

void Painter::Blend(int x, int y, RGB c, double a) {
  if (x < 0 || y < 0 || x >= W() || y >= H() || a <= 0) return;
  a = std::min(a, 1.0);
  TkxColor& p = *B.PixelAddress(x, y);
  double da = PixelAlpha(p) / 255.0;
  RGB d{PixelRed(p) / 255.0, PixelGreen(p) / 255.0, PixelBlue(p) / 255.0};
  double oa = a + da * (1 - a);
  if (oa <= 0) return;
  RGB o{(c.r * a + d.r * da * (1 - a)) / oa, (c.g * a + d.g * da * (1 - a)) / oa, (c.b * a + d.b * da * (1 - a)) / oa};
  p = ToPixel(o, oa);
}

RGB Painter::Get(int x, int y) const {
  TkxColor p = *B.PixelAddress(x, y);
  return {PixelRed(p) / 255.0, PixelGreen(p) / 255.0, PixelBlue(p) / 255.0};
}

void Painter::Fill(int x0, int y0, int x1, int y1, RGB c) {
  for (int y = std::max(y0, 0); y < std::min(y1, H()); ++y)
    for (int x = std::max(x0, 0); x < std::min(x1, W()); ++x) *B.PixelAddress(x, y) = ToPixel(c);
}

void Painter::FillV(int x0, int y0, int x1, int y1, RGB top, RGB bottom) {
  for (int y = y0; y < y1; ++y) {
    RGB c = Mix(top, bottom, y1 - y0 > 1 ? double(y - y0) / (y1 - y0 - 1) : 0);
    Fill(x0, y, x1, y + 1, c);
  }
}

static double RoundRectDistance(double px, double py, double x0, double y0, double x1, double y1, double r) {
  double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, hx = (x1 - x0) / 2, hy = (y1 - y0) / 2;
  r = std::min({r, hx, hy});
  double qx = std::abs(px - cx) - (hx - r), qy = std::abs(py - cy) - (hy - r);
  double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - r;
}

void Painter::RoundRect(double x0, double y0, double x1, double y1, double r, const std::function<RGB(double)>& fill) {
  if (x1 <= x0 || y1 <= y0) return;
  for (int y = int(std::floor(y0)); y < int(std::ceil(y1)); ++y) {
    RGB c = fill(std::clamp((y + 0.5 - y0) / (y1 - y0), 0.0, 1.0));
    for (int x = int(std::floor(x0)); x < int(std::ceil(x1)); ++x) {
      double d = RoundRectDistance(x + 0.5, y + 0.5, x0, y0, x1, y1, r);
      Blend(x, y, c, std::clamp(0.5 - d, 0.0, 1.0));
    }
  }
}

void Painter::RoundFrame(double x0, double y0, double x1, double y1, double r, double w, RGB c) {
  for (int y = int(std::floor(y0)); y < int(std::ceil(y1)); ++y)
    for (int x = int(std::floor(x0)); x < int(std::ceil(x1)); ++x) {
      double d = RoundRectDistance(x + 0.5, y + 0.5, x0, y0, x1, y1, r);
      double outer = std::clamp(0.5 - d, 0.0, 1.0), inner = std::clamp(0.5 - (d + w), 0.0, 1.0);
      Blend(x, y, c, outer - inner);
    }
}

void Painter::Line(double x0, double y0, double x1, double y1, double w, RGB c) {
  double minx = std::min(x0, x1) - w, maxx = std::max(x0, x1) + w, miny = std::min(y0, y1) - w,
         maxy = std::max(y0, y1) + w;
  double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
  for (int y = int(std::floor(miny)); y < int(std::ceil(maxy)); ++y)
    for (int x = int(std::floor(minx)); x < int(std::ceil(maxx)); ++x) {
      double px = x + 0.5 - x0, py = y + 0.5 - y0;
      double t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0, 1.0) : 0;
      double ex = px - t * dx, ey = py - t * dy;
      double d = std::sqrt(ex * ex + ey * ey) - w / 2;
      Blend(x, y, c, std::clamp(0.5 - d, 0.0, 1.0));
    }
}

void Painter::Circle(double cx, double cy, double r, RGB c) {
  for (int y = int(std::floor(cy - r - 1)); y <= int(std::ceil(cy + r + 1)); ++y)
    for (int x = int(std::floor(cx - r - 1)); x <= int(std::ceil(cx + r + 1)); ++x) {
      double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) - r;
      Blend(x, y, c, std::clamp(0.5 - d, 0.0, 1.0));
    }
}

void Painter::Ring(double cx, double cy, double r, double w, RGB c) {
  for (int y = int(std::floor(cy - r - 1)); y <= int(std::ceil(cy + r + 1)); ++y)
    for (int x = int(std::floor(cx - r - 1)); x <= int(std::ceil(cx + r + 1)); ++x) {
      double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) - r;
      double outer = std::clamp(0.5 - d, 0.0, 1.0), inner = std::clamp(0.5 - (d + w), 0.0, 1.0);
      Blend(x, y, c, outer - inner);
    }
}

void Painter::Polygon(const std::vector<Pt>& pts, RGB c) {
  if (pts.size() < 3) return;
  double minx = pts[0].x, maxx = minx, miny = pts[0].y, maxy = miny;
  for (auto& p : pts) {
    minx = std::min(minx, p.x), maxx = std::max(maxx, p.x), miny = std::min(miny, p.y), maxy = std::max(maxy, p.y);
  }
  // 4 x 4 samples per pixel, even-odd rule.
  for (int y = int(std::floor(miny)); y < int(std::ceil(maxy)); ++y)
    for (int x = int(std::floor(minx)); x < int(std::ceil(maxx)); ++x) {
      int in = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
          double px = x + (sx + 0.5) / 4, py = y + (sy + 0.5) / 4;
          bool inside = false;
          for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++)
            if ((pts[i].y > py) != (pts[j].y > py) &&
                px < (pts[j].x - pts[i].x) * (py - pts[i].y) / (pts[j].y - pts[i].y) + pts[i].x)
              inside = !inside;
          in += inside;
        }
      Blend(x, y, c, in / 16.0);
    }
}

}  // namespace skingen
