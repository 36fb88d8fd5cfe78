#include "platform/window/RectList.h"

#include <algorithm>

namespace win::detail {

namespace {
bool EmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
bool Meets(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
// Appends the parts of a that lie outside b.
void Cut(const RECT& a, const RECT& b, std::vector<RECT>& out) {
  if (!Meets(a, b)) { out.push_back(a); return; }
  if (a.top < b.top) out.push_back(RECT{a.left, a.top, a.right, b.top});
  if (b.bottom < a.bottom) out.push_back(RECT{a.left, b.bottom, a.right, a.bottom});
  LONG t = std::max(a.top, b.top), bt = std::min(a.bottom, b.bottom);
  if (a.left < b.left) out.push_back(RECT{a.left, t, b.left, bt});
  if (b.right < a.right) out.push_back(RECT{b.right, t, a.right, bt});
}
}  // namespace

RECT RectList::Box() const {
  if (rects_.empty()) return RECT{};
  RECT b = rects_[0];
  for (const RECT& r : rects_) {
    b.left = std::min(b.left, r.left); b.top = std::min(b.top, r.top);
    b.right = std::max(b.right, r.right); b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}

bool RectList::Contains(POINT p) const {
  for (const RECT& r : rects_)
    if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return true;
  return false;
}

bool RectList::Intersects(const RECT& r) const {
  for (const RECT& a : rects_)
    if (Meets(a, r)) return true;
  return false;
}

long RectList::Area() const {
  long a = 0;
  for (const RECT& r : rects_) a += long(r.right - r.left) * (r.bottom - r.top);
  return a;
}

void RectList::Add(const RECT& r) {
  if (EmptyRect(r)) return;
  std::vector<RECT> pieces{r};
  for (const RECT& have : rects_) {
    std::vector<RECT> next;
    for (const RECT& p : pieces) Cut(p, have, next);
    pieces.swap(next);
    if (pieces.empty()) return;
  }
  rects_.insert(rects_.end(), pieces.begin(), pieces.end());
}

void RectList::Add(const RectList& o) {
  for (const RECT& r : o.rects_) Add(r);
}

void RectList::Subtract(const RECT& r) {
  if (EmptyRect(r)) return;
  std::vector<RECT> out;
  for (const RECT& a : rects_) Cut(a, r, out);
  rects_.swap(out);
}

void RectList::Subtract(const RectList& o) {
  for (const RECT& r : o.rects_) Subtract(r);
}

void RectList::Intersect(const RECT& r) {
  std::vector<RECT> out;
  for (const RECT& a : rects_) {
    RECT i{std::max(a.left, r.left), std::max(a.top, r.top), std::min(a.right, r.right),
           std::min(a.bottom, r.bottom)};
    if (!EmptyRect(i)) out.push_back(i);
  }
  rects_.swap(out);
}

void RectList::Intersect(const RectList& o) {
  RectList result;
  for (const RECT& r : o.rects_) {
    RectList part = *this;
    part.Intersect(r);
    result.rects_.insert(result.rects_.end(), part.rects_.begin(), part.rects_.end());
  }
  rects_.swap(result.rects_);
}

void RectList::Offset(int dx, int dy) {
  for (RECT& r : rects_) { r.left += dx; r.right += dx; r.top += dy; r.bottom += dy; }
}

}  // namespace win::detail
