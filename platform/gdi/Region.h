#pragma once
// A region as a canonical y-banded list of rectangles: bands sorted top to bottom and not
// overlapping; inside a band, disjoint spans sorted left to right with touching spans merged;
// vertically adjacent bands with equal spans merged. Two equal areas have equal lists.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/WinTypes.h"

namespace win::gdi {

class Region {
 public:
  struct Band {
    int top = 0, bottom = 0;
    std::vector<int> xs;  // pairs of [left, right)
  };
  enum Op { And, Or, Xor, Diff };

  Region() = default;
  explicit Region(const RECT& r);
  static Region FromRects(const RECT* rects, size_t count);
  // Rows of spans, one entry per row from `top`; each row holds [left, right) pairs.
  static Region FromRows(int top, const std::vector<std::vector<int>>& rows);

  bool Empty() const { return bands_.empty(); }
  int Kind() const;  // NULLREGION, SIMPLEREGION or COMPLEXREGION
  RECT Box() const;
  std::vector<RECT> Rects() const;
  size_t RectCount() const;
  const std::vector<Band>& Bands() const { return bands_; }
  bool Contains(int x, int y) const;
  bool Intersects(const RECT& r) const;
  void Offset(int dx, int dy);
  static Region Combine(const Region& a, const Region& b, Op op);
  [[nodiscard]] Region Intersect(const RECT& r) const { return Combine(*this, Region(r), And); }
  // In-place union, difference and intersection, for areas that grow and shrink (update
  // regions, visible regions, the dirty area of a back buffer).
  Region& operator|=(const Region& o) { return *this = Combine(*this, o, Or); }
  Region& operator-=(const Region& o) { return *this = Combine(*this, o, Diff); }
  Region& operator&=(const Region& o) { return *this = Combine(*this, o, And); }
  Region& operator|=(const RECT& r) { return *this |= Region(r); }
  Region& operator-=(const RECT& r) { return *this -= Region(r); }
  Region& operator&=(const RECT& r) { return *this &= Region(r); }
  void Clear() { bands_.clear(); }
  bool operator==(const Region& o) const;

  // Calls f(rect) for every rectangle of the region that meets `r`, clipped to `r`.
  template <class F>
  void ForEachIn(const RECT& r, F&& f) const {
    for (const Band& b : bands_) {
      if (b.bottom <= r.top) continue;
      if (b.top >= r.bottom) break;
      int t = b.top > r.top ? b.top : r.top, bt = b.bottom < r.bottom ? b.bottom : r.bottom;
      for (size_t i = 0; i < b.xs.size(); i += 2) {
        int l = b.xs[i] > r.left ? b.xs[i] : r.left;
        int rt = b.xs[i + 1] < r.right ? b.xs[i + 1] : r.right;
        if (l < rt) f(RECT{l, t, rt, bt});
      }
    }
  }

 private:
  void AppendBand(int top, int bottom, std::vector<int>&& xs);
  std::vector<Band> bands_;
};

}  // namespace win::gdi
