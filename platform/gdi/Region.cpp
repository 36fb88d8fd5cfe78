#include "platform/gdi/Region.h"

#include <algorithm>

#include "platform/Gdi.h"

namespace win::gdi {

namespace {

bool Apply(Region::Op op, bool a, bool b) {
  switch (op) {
    case Region::And: return a && b;
    case Region::Or: return a || b;
    case Region::Xor: return a != b;
    case Region::Diff: return a && !b;
  }
  return false;
}

// Both inputs are sorted, disjoint [left, right) pairs.
std::vector<int> CombineSpans(const std::vector<int>* a, const std::vector<int>* b, Region::Op op) {
  static const std::vector<int> kNone;
  const std::vector<int>& A = a ? *a : kNone;
  const std::vector<int>& B = b ? *b : kNone;
  std::vector<int> out;
  size_t i = 0, j = 0;
  bool inA = false, inB = false, cur = false;
  int start = 0;
  while (i < A.size() || j < B.size()) {
    int x;
    if (i < A.size() && j < B.size()) x = std::min(A[i], B[j]);
    else x = i < A.size() ? A[i] : B[j];
    while (i < A.size() && A[i] == x) { inA = !inA; ++i; }
    while (j < B.size() && B[j] == x) { inB = !inB; ++j; }
    bool v = Apply(op, inA, inB);
    if (v != cur) {
      if (v) start = x;
      else { out.push_back(start); out.push_back(x); }
      cur = v;
    }
  }
  return out;
}

}  // namespace

Region::Region(const RECT& r) {
  if (r.left < r.right && r.top < r.bottom) bands_.push_back(Band{r.top, r.bottom, {r.left, r.right}});
}

void Region::AppendBand(int top, int bottom, std::vector<int>&& xs) {
  if (xs.empty() || top >= bottom) return;
  if (!bands_.empty() && bands_.back().bottom == top && bands_.back().xs == xs) {
    bands_.back().bottom = bottom;
    return;
  }
  bands_.push_back(Band{top, bottom, std::move(xs)});
}

Region Region::Combine(const Region& a, const Region& b, Op op) {
  std::vector<int> ys;
  ys.reserve(2 * (a.bands_.size() + b.bands_.size()));
  for (const Band& x : a.bands_) { ys.push_back(x.top); ys.push_back(x.bottom); }
  for (const Band& x : b.bands_) { ys.push_back(x.top); ys.push_back(x.bottom); }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  Region out;
  size_t ia = 0, ib = 0;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    int y0 = ys[k], y1 = ys[k + 1];
    while (ia < a.bands_.size() && a.bands_[ia].bottom <= y0) ++ia;
    while (ib < b.bands_.size() && b.bands_[ib].bottom <= y0) ++ib;
    const std::vector<int>* sa = ia < a.bands_.size() && a.bands_[ia].top <= y0 ? &a.bands_[ia].xs : nullptr;
    const std::vector<int>* sb = ib < b.bands_.size() && b.bands_[ib].top <= y0 ? &b.bands_[ib].xs : nullptr;
    if (!sa && !sb) continue;
    out.AppendBand(y0, y1, CombineSpans(sa, sb, op));
  }
  return out;
}

Region Region::FromRects(const RECT* rects, size_t count) {
  // A sweep from top to bottom over the rectangles that cover each band.
  std::vector<const RECT*> order;
  std::vector<int> ys;
  order.reserve(count);
  for (size_t i = 0; i < count; ++i)
    if (rects[i].left < rects[i].right && rects[i].top < rects[i].bottom) {
      order.push_back(&rects[i]);
      ys.push_back(rects[i].top);
      ys.push_back(rects[i].bottom);
    }
  std::sort(order.begin(), order.end(), [](const RECT* a, const RECT* b) { return a->top < b->top; });
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  Region out;
  std::vector<const RECT*> active;
  std::vector<std::pair<int, int>> spans;
  size_t next = 0;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    int y0 = ys[k], y1 = ys[k + 1];
    while (next < order.size() && order[next]->top <= y0) active.push_back(order[next++]);
    active.erase(std::remove_if(active.begin(), active.end(), [&](const RECT* r) { return r->bottom <= y0; }),
                 active.end());
    spans.clear();
    for (const RECT* r : active) spans.emplace_back(r->left, r->right);
    std::sort(spans.begin(), spans.end());
    std::vector<int> xs;
    for (auto& sp : spans) {
      if (!xs.empty() && sp.first <= xs.back()) xs.back() = std::max(xs.back(), sp.second);
      else { xs.push_back(sp.first); xs.push_back(sp.second); }
    }
    out.AppendBand(y0, y1, std::move(xs));
  }
  return out;
}

Region Region::FromRows(int top, const std::vector<std::vector<int>>& rows) {
  Region out;
  for (size_t i = 0; i < rows.size(); ++i) {
    std::vector<std::pair<int, int>> spans;
    for (size_t k = 0; k + 1 < rows[i].size(); k += 2)
      if (rows[i][k] < rows[i][k + 1]) spans.emplace_back(rows[i][k], rows[i][k + 1]);
    std::sort(spans.begin(), spans.end());
    std::vector<int> xs;
    for (auto& s : spans) {
      if (!xs.empty() && s.first <= xs.back()) xs.back() = std::max(xs.back(), s.second);
      else { xs.push_back(s.first); xs.push_back(s.second); }
    }
    int y = top + int(i);
    out.AppendBand(y, y + 1, std::move(xs));
  }
  return out;
}

int Region::Kind() const {
  if (bands_.empty()) return NULLREGION;
  return bands_.size() == 1 && bands_[0].xs.size() == 2 ? SIMPLEREGION : COMPLEXREGION;
}

RECT Region::Box() const {
  if (bands_.empty()) return RECT{};
  RECT r{bands_[0].xs.front(), bands_.front().top, bands_[0].xs.back(), bands_.back().bottom};
  for (const Band& b : bands_) {
    r.left = std::min(r.left, b.xs.front());
    r.right = std::max(r.right, b.xs.back());
  }
  return r;
}

size_t Region::RectCount() const {
  size_t n = 0;
  for (const Band& b : bands_) n += b.xs.size() / 2;
  return n;
}

std::vector<RECT> Region::Rects() const {
  std::vector<RECT> out;
  out.reserve(RectCount());
  for (const Band& b : bands_)
    for (size_t i = 0; i < b.xs.size(); i += 2) out.push_back(RECT{b.xs[i], b.top, b.xs[i + 1], b.bottom});
  return out;
}

bool Region::Contains(int x, int y) const {
  for (const Band& b : bands_) {
    if (y >= b.bottom) continue;
    if (y < b.top) return false;
    for (size_t i = 0; i < b.xs.size(); i += 2)
      if (x >= b.xs[i] && x < b.xs[i + 1]) return true;
    return false;
  }
  return false;
}

bool Region::Intersects(const RECT& r) const {
  bool hit = false;
  if (r.left >= r.right || r.top >= r.bottom) return false;
  ForEachIn(r, [&](const RECT&) { hit = true; });
  return hit;
}

void Region::Offset(int dx, int dy) {
  for (Band& b : bands_) {
    b.top += dy;
    b.bottom += dy;
    for (int& x : b.xs) x += dx;
  }
}

bool Region::operator==(const Region& o) const {
  if (bands_.size() != o.bands_.size()) return false;
  for (size_t i = 0; i < bands_.size(); ++i)
    if (bands_[i].top != o.bands_[i].top || bands_[i].bottom != o.bands_[i].bottom ||
        bands_[i].xs != o.bands_[i].xs)
      return false;
  return true;
}

}  // namespace win::gdi
