#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/Gdi.h"

using namespace win;

namespace {

std::vector<RECT> Rects(HRGN r) {
  DWORD n = GetRegionData(r, 0, nullptr);
  std::vector<char> buf(n);
  auto* d = reinterpret_cast<RGNDATA*>(buf.data());
  EXPECT_EQ(GetRegionData(r, n, d), n);
  std::vector<RECT> out(d->rdh.nCount);
  std::memcpy(out.data(), buf.data() + sizeof(RGNDATAHEADER), out.size() * sizeof(RECT));
  return out;
}

struct Rgn {
  HRGN h;
  explicit Rgn(HRGN r) : h(r) {}
  Rgn(int l, int t, int r, int b) : h(CreateRectRgn(l, t, r, b)) {}
  ~Rgn() { DeleteObject(h); }
};

TEST(Region, CombineGivesCanonicalBandsAndTheDocumentedCodes) {
  struct Case { int mode; int kind; std::vector<RECT> rects; };
  // A = (0,0)-(4,4), B = (2,2)-(6,6).
  const Case cases[] = {
      {RGN_AND, SIMPLEREGION, {{2, 2, 4, 4}}},
      {RGN_OR, COMPLEXREGION, {{0, 0, 4, 2}, {0, 2, 6, 4}, {2, 4, 6, 6}}},
      {RGN_XOR, COMPLEXREGION, {{0, 0, 4, 2}, {0, 2, 2, 4}, {4, 2, 6, 4}, {2, 4, 6, 6}}},
      {RGN_DIFF, COMPLEXREGION, {{0, 0, 4, 2}, {0, 2, 2, 4}}},
      {RGN_COPY, SIMPLEREGION, {{0, 0, 4, 4}}},
  };
  for (const Case& k : cases) {
    Rgn a(0, 0, 4, 4), b(2, 2, 6, 6), d(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d.h, a.h, b.h, k.mode), k.kind) << k.mode;
    EXPECT_EQ(Rects(d.h), k.rects) << k.mode;
  }
  Rgn a(0, 0, 2, 2), b(5, 5, 6, 6), d(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(d.h, a.h, b.h, RGN_AND), NULLREGION);
  EXPECT_EQ(CombineRgn(d.h, a.h, b.h, 0), ERROR);
  EXPECT_EQ(CombineRgn(d.h, a.h, nullptr, RGN_OR), ERROR);
  // The destination may be one of the operands.
  EXPECT_EQ(CombineRgn(a.h, a.h, b.h, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(Rects(a.h), (std::vector<RECT>{{0, 0, 2, 2}, {5, 5, 6, 6}}));
}

TEST(Region, EqualAreasHaveEqualListsWhateverTheirHistory) {
  Rgn whole(0, 0, 10, 4);
  Rgn left(0, 0, 5, 4), right(5, 0, 10, 4), top(0, 0, 10, 2), bottom(0, 2, 10, 4), d1(0, 0, 0, 0), d2(0, 0, 0, 0);
  CombineRgn(d1.h, left.h, right.h, RGN_OR);
  CombineRgn(d2.h, top.h, bottom.h, RGN_OR);
  EXPECT_TRUE(EqualRgn(d1.h, whole.h));
  EXPECT_TRUE(EqualRgn(d2.h, whole.h));
  EXPECT_EQ(Rects(d1.h).size(), 1u);
}

TEST(Region, ExtCreateRegionUnitesRectanglesAndDistrustsTheBound) {
  std::vector<RECT> rs = {{0, 0, 2, 1}, {2, 0, 4, 1}, {0, 1, 4, 2}, {1, 1, 3, 2}, {9, 9, 9, 12}};
  std::vector<char> buf(sizeof(RGNDATAHEADER) + rs.size() * sizeof(RECT));
  RGNDATAHEADER h;
  h.nCount = DWORD(rs.size());
  h.rcBound = RECT{0, 0, 1, 1};  // wrong on purpose
  std::memcpy(buf.data(), &h, sizeof h);
  std::memcpy(buf.data() + sizeof h, rs.data(), rs.size() * sizeof(RECT));
  Rgn r(ExtCreateRegion(nullptr, DWORD(buf.size()), reinterpret_cast<RGNDATA*>(buf.data())));
  ASSERT_NE(r.h, nullptr);
  EXPECT_EQ(Rects(r.h), (std::vector<RECT>{{0, 0, 4, 2}}));
  // A count larger than the buffer, a wrong type and a short size are refused.
  h.nCount = 1000;
  std::memcpy(buf.data(), &h, sizeof h);
  EXPECT_EQ(ExtCreateRegion(nullptr, DWORD(buf.size()), reinterpret_cast<RGNDATA*>(buf.data())), nullptr);
  h.nCount = 1;
  h.iType = 2;
  std::memcpy(buf.data(), &h, sizeof h);
  EXPECT_EQ(ExtCreateRegion(nullptr, DWORD(buf.size()), reinterpret_cast<RGNDATA*>(buf.data())), nullptr);
  EXPECT_EQ(ExtCreateRegion(nullptr, 8, reinterpret_cast<RGNDATA*>(buf.data())), nullptr);
}

TEST(Region, ManyRectanglesHaveNoLimit) {
  // One run per row on alternating columns: 20000 rectangles that do not merge.
  const int n = 20000;
  std::vector<char> buf(sizeof(RGNDATAHEADER) + n * sizeof(RECT));
  RGNDATAHEADER h;
  h.nCount = n;
  std::memcpy(buf.data(), &h, sizeof h);
  for (int i = 0; i < n; ++i) {
    RECT r{(i % 2) * 3, i, (i % 2) * 3 + 2, i + 1};
    std::memcpy(buf.data() + sizeof h + i * sizeof(RECT), &r, sizeof r);
  }
  Rgn r(ExtCreateRegion(nullptr, DWORD(buf.size()), reinterpret_cast<RGNDATA*>(buf.data())));
  ASSERT_NE(r.h, nullptr);
  EXPECT_EQ(Rects(r.h).size(), size_t(n));
  RECT box;
  EXPECT_EQ(GetRgnBox(r.h, &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{0, 0, 5, n}));
}

TEST(Region, PointAndRectTestsAndOffset) {
  Rgn r(0, 0, 4, 4), hole(1, 1, 3, 3);
  CombineRgn(r.h, r.h, hole.h, RGN_DIFF);
  EXPECT_TRUE(PtInRegion(r.h, 0, 0));
  EXPECT_FALSE(PtInRegion(r.h, 1, 1));
  EXPECT_FALSE(PtInRegion(r.h, 4, 0)) << "right edge excluded";
  RECT in{1, 1, 3, 3}, edge{2, 2, 5, 5};
  EXPECT_FALSE(RectInRegion(r.h, &in));
  EXPECT_TRUE(RectInRegion(r.h, &edge));
  EXPECT_EQ(OffsetRgn(r.h, 10, -1), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(r.h, 10, -1));
  EXPECT_FALSE(PtInRegion(r.h, 11, 0));
}

TEST(Region, ShapesAreSymmetricAndInsideTheirBox) {
  Rgn e(CreateEllipticRgn(0, 0, 10, 6));
  Rgn rr(CreateRoundRectRgn(0, 0, 10, 10, 4, 4));
  POINT tri[] = {{0, 0}, {8, 0}, {0, 8}};
  Rgn p(CreatePolygonRgn(tri, 3, ALTERNATE));
  for (HRGN h : {e.h, rr.h}) {
    RECT box;
    GetRgnBox(h, &box);
    EXPECT_GE(box.left, 0);
    EXPECT_LE(box.right, 10);
    for (const RECT& r : Rects(h)) EXPECT_EQ(r.left - box.left, box.right - r.right) << "left-right symmetric";
  }
  EXPECT_FALSE(PtInRegion(rr.h, 0, 0)) << "rounded corner";
  EXPECT_TRUE(PtInRegion(rr.h, 5, 0));
  // Pixel centres inside the triangle: row y holds the x with x + 0.5 < 7.5 - y.
  EXPECT_EQ(Rects(p.h).front(), (RECT{0, 0, 7, 1}));
  EXPECT_EQ(Rects(p.h).back(), (RECT{0, 6, 1, 7}));
  EXPECT_EQ(CreatePolygonRgn(tri, 3, 7), nullptr);
}

TEST(Region, BadHandlesGiveTheFailureValue) {
  RECT r;
  EXPECT_EQ(GetRgnBox(nullptr, &r), ERROR);
  EXPECT_EQ(OffsetRgn(nullptr, 1, 1), ERROR);
  EXPECT_FALSE(PtInRegion(nullptr, 0, 0));
  EXPECT_EQ(GetRegionData(nullptr, 0, nullptr), 0u);
  Rgn a(0, 0, 1, 1);
  char small[8];
  EXPECT_EQ(GetRegionData(a.h, sizeof small, reinterpret_cast<RGNDATA*>(small)), 0u);
}

}  // namespace
