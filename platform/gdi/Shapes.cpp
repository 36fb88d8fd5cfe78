#include "platform/gdi/Shapes.h"

#include <algorithm>
#include <cmath>

#include "platform/Gdi.h"

namespace win::gdi {

namespace {
// Shapes taller than this are refused rather than scanned row by row.
constexpr long kMaxRows = 1L << 18;

int RoundHalfUp(double v) { return int(std::floor(v + 0.5)); }
}  // namespace

Region EllipseShape(int l, int t, int r, int b) {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (r - l <= 0 || b - t <= 0 || long(b) - long(t) > kMaxRows) return Region();
  double cx = (l + r) / 2.0, cy = (t + b) / 2.0, a = (r - l) / 2.0, bb = (b - t) / 2.0;
  std::vector<std::vector<int>> rows(size_t(b - t));
  for (int y = t; y < b; ++y) {
    double dy = (y + 0.5 - cy) / bb;
    double q = 1.0 - dy * dy;
    if (q <= 0) continue;
    double half = a * std::sqrt(q);
    int x0 = RoundHalfUp(cx - half), x1 = RoundHalfUp(cx + half);
    if (x0 < x1) rows[size_t(y - t)] = {x0, x1};
  }
  return Region::FromRows(t, rows);
}

Region RoundRectShape(int l, int t, int r, int b, int ew, int eh) {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (r - l <= 0 || b - t <= 0 || long(b) - long(t) > kMaxRows) return Region();
  double rx = std::min(std::abs(ew), r - l) / 2.0, ry = std::min(std::abs(eh), b - t) / 2.0;
  if (rx < 0.5 || ry < 0.5) return Region(RECT{l, t, r, b});
  std::vector<std::vector<int>> rows(size_t(b - t));
  for (int y = t; y < b; ++y) {
    double yc = y + 0.5, d = 0;
    if (yc < t + ry) d = t + ry - yc;
    else if (yc > b - ry) d = yc - (b - ry);
    double q = 1.0 - (d / ry) * (d / ry);
    int inset = RoundHalfUp(rx - rx * std::sqrt(std::max(0.0, q)));
    if (l + inset < r - inset) rows[size_t(y - t)] = {l + inset, r - inset};
  }
  return Region::FromRows(t, rows);
}

Region PolygonShape(const POINT* pts, int count, int fillMode) {
  if (!pts || count < 3) return Region();
  int minY = pts[0].y, maxY = pts[0].y;
  for (int i = 1; i < count; ++i) { minY = std::min(minY, int(pts[i].y)); maxY = std::max(maxY, int(pts[i].y)); }
  if (long(maxY) - long(minY) > kMaxRows) return Region();
  std::vector<std::vector<int>> rows(size_t(maxY - minY));
  std::vector<std::pair<double, int>> xs;
  for (int y = minY; y < maxY; ++y) {
    double yc = y + 0.5;
    xs.clear();
    for (int i = 0; i < count; ++i) {
      const POINT& p = pts[i];
      const POINT& q = pts[(i + 1) % count];
      if (p.y == q.y) continue;
      double y0 = p.y, y1 = q.y;
      int dir = y1 > y0 ? 1 : -1;
      if (yc < std::min(y0, y1) || yc >= std::max(y0, y1)) continue;
      xs.emplace_back(p.x + (yc - y0) * double(q.x - p.x) / (y1 - y0), dir);
    }
    std::sort(xs.begin(), xs.end());
    std::vector<int>& row = rows[size_t(y - minY)];
    if (fillMode == WINDING) {
      int wind = 0, start = 0;
      for (auto& [x, dir] : xs) {
        int before = wind;
        wind += dir;
        if (before == 0 && wind != 0) start = int(std::ceil(x - 0.5));
        else if (before != 0 && wind == 0) {
          int end = int(std::ceil(x - 0.5));
          if (start < end) { row.push_back(start); row.push_back(end); }
        }
      }
    } else {
      for (size_t k = 0; k + 1 < xs.size(); k += 2) {
        int x0 = int(std::ceil(xs[k].first - 0.5)), x1 = int(std::ceil(xs[k + 1].first - 0.5));
        if (x0 < x1) { row.push_back(x0); row.push_back(x1); }
      }
    }
  }
  return Region::FromRows(minY, rows);
}

Region Erode(const Region& r) {
  Region out = r;
  const int d[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  for (auto& o : d) {
    Region s = r;
    s.Offset(o[0], o[1]);
    out = Region::Combine(out, s, Region::And);
  }
  return out;
}

}  // namespace win::gdi
