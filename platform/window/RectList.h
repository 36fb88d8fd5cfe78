#pragma once
// A small area type for update regions, visible regions and window regions: a list of disjoint
// rectangles. The window layer keeps its own so that it never depends on GDI handles internally.
#include <vector>

#include "platform/WinTypes.h"

namespace win::detail {

class RectList {
 public:
  RectList() = default;
  explicit RectList(const RECT& r) { Add(r); }

  bool Empty() const { return rects_.empty(); }
  const std::vector<RECT>& Rects() const { return rects_; }
  RECT Box() const;
  bool Contains(POINT p) const;
  bool Intersects(const RECT& r) const;
  long Area() const;

  void Clear() { rects_.clear(); }
  void Add(const RECT& r);
  void Add(const RectList& o);
  void Subtract(const RECT& r);
  void Subtract(const RectList& o);
  void Intersect(const RECT& r);
  void Intersect(const RectList& o);
  void Offset(int dx, int dy);

 private:
  std::vector<RECT> rects_;
};

}  // namespace win::detail
