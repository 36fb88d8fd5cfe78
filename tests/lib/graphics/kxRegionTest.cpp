// Window regions from masks: the region data bytes of a mask, and the region of a resized
// nine-part mask as a canonical rectangle list.
#include <gtest/gtest.h>

#include <cstring>

#include "lib/graphics/kxUtils.h"

using namespace win;

namespace {

constexpr uint32_t B = 0x000000, Wh = 0xFFFFFF;

std::unique_ptr<TBitmap> Mask(int w, int h, uint32_t fill = B) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      auto* p = static_cast<uint8_t*>(b->ScanLine(y)) + 3 * x;
      p[0] = fill & 0xFF, p[1] = (fill >> 8) & 0xFF, p[2] = fill >> 16;
    }
  return b;
}
void Set(TBitmap* b, int x, int y, uint32_t c) {
  auto* p = static_cast<uint8_t*>(b->ScanLine(y)) + 3 * x;
  p[0] = c & 0xFF, p[1] = (c >> 8) & 0xFF, p[2] = c >> 16;
}

std::vector<RECT> Rects(const std::vector<uint8_t>& data, RGNDATAHEADER& h) {
  std::memcpy(&h, data.data(), sizeof(h));
  std::vector<RECT> r(h.nCount);
  if (h.nCount) std::memcpy(r.data(), data.data() + 32, 16 * h.nCount);
  return r;
}

std::vector<RECT> RegionRects(HRGN rgn) {
  DWORD size = GetRegionData(rgn, 0, nullptr);
  std::vector<uint8_t> buf(size);
  GetRegionData(rgn, size, reinterpret_cast<RGNDATA*>(buf.data()));
  RGNDATAHEADER h;
  return Rects(buf, h);
}

TEST(kx_region, MaskRunsBecomeRegionDataBytes) {
  auto m = Mask(4, 1);
  Set(m.get(), 1, 0, Wh);
  std::vector<uint8_t> data;
  ASSERT_EQ(RegionFromMask(m.get(), 0, 0, data), 32 + 2 * 16);
  ASSERT_EQ(data.size(), 64u);
  RGNDATAHEADER h;
  auto r = Rects(data, h);
  EXPECT_EQ(h.dwSize, 32u);
  EXPECT_EQ(h.iType, 1u);
  EXPECT_EQ(h.nRgnSize, 0u);
  EXPECT_TRUE(h.rcBound == (RECT{0, 0, 4, 1}));
  ASSERT_EQ(r.size(), 2u);
  EXPECT_TRUE(r[0] == (RECT{0, 0, 1, 1}));
  EXPECT_TRUE(r[1] == (RECT{2, 0, 4, 1}));  // a run reaching the right edge ends at Width
  // Offsets shift every rectangle and the bound; a grey pixel is not black.
  Set(m.get(), 3, 0, 0x010000);
  ASSERT_EQ(RegionFromMask(m.get(), 5, 10, data), 64);
  r = Rects(data, h);
  EXPECT_TRUE(h.rcBound == (RECT{5, 10, 9, 11}));
  EXPECT_TRUE(r[0] == (RECT{5, 10, 6, 11}));
  EXPECT_TRUE(r[1] == (RECT{7, 10, 8, 11}));
  // No black pixel: a header with no rectangles, and MaskToRegion gives no region.
  auto white = Mask(3, 2, Wh);
  ASSERT_EQ(RegionFromMask(white.get(), 0, 0, data), 32);
  Rects(data, h);
  EXPECT_EQ(h.nCount, 0u);
  HRGN rgn = HRGN(1);
  MaskToRegion(rgn, white.get());
  EXPECT_EQ(rgn, nullptr);
  TBitmap empty;
  EXPECT_EQ(RegionFromMask(&empty, 0, 0, data), 0);
  EXPECT_TRUE(data.empty());
}

TEST(kx_region, RunsAreNotLimitedToAFixedList) {
  // 100 runs per row over 130 rows: 13000 rectangles, every one kept.
  auto m = Mask(200, 130);
  for (int y = 0; y < 130; ++y)
    for (int x = 1; x < 200; x += 2) Set(m.get(), x, y, Wh);
  std::vector<uint8_t> data;
  ASSERT_EQ(RegionFromMask(m.get(), 0, 0, data), 32 + 16 * 13000);
  RGNDATAHEADER h;
  auto r = Rects(data, h);
  EXPECT_TRUE(r.back() == (RECT{198, 129, 199, 130}));
  HRGN rgn = nullptr;
  MaskToRegion(rgn, m.get());
  ASSERT_NE(rgn, nullptr);
  EXPECT_TRUE(PtInRegion(rgn, 198, 129));
  EXPECT_FALSE(PtInRegion(rgn, 199, 129));
  DeleteObject(rgn);
}

// A 20 x 16 frame mask with cut corners and a white centre; the client is (4, 4, 16, 12).
std::unique_ptr<TBitmap> Frame() {
  auto m = Mask(20, 16);
  for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {19, 0}, {18, 0}, {19, 1}, {0, 15}, {19, 15}}) Set(m.get(), x, y, Wh);
  for (int y = 4; y < 12; ++y)
    for (int x = 4; x < 16; ++x) Set(m.get(), x, y, Wh);
  return m;
}

TEST(kx_region, NinePartMaskRegionAtANewSize) {
  auto m = Frame();
  const TPoint LT{4, 4}, RT{16, 4}, LB{4, 12}, RB{16, 12};
  const TRect Cl{4, 4, 16, 12};
  const int W = 50, H = 30, dW = 30, dH = 14;
  HRGN rgn = nullptr;
  RegionFromNinePartMask(rgn, LT, RT, LB, RB, Cl, LT, TPoint{RT.x + dW, RT.y}, TPoint{LB.x, LB.y + dH},
                         TPoint{RB.x + dW, RB.y + dH}, TRect{4, 4, 16 + dW, 12 + dH}, m.get(), W, H);
  ASSERT_NE(rgn, nullptr);
  // The whole window but its cut corners; the white centre of the mask is inside all the same.
  std::vector<RECT> want{{2, 0, 48, 1}, {1, 1, 49, 2}, {0, 2, 50, 29}, {1, 29, 49, 30}};
  auto got = RegionRects(rgn);
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i)
    EXPECT_TRUE(got[i] == want[i]) << i << ": " << got[i].left << "," << got[i].top << "," << got[i].right << ","
                                   << got[i].bottom;
  DeleteObject(rgn);
  // Smaller than the fixed parts: no region.
  rgn = HRGN(1);
  RegionFromNinePartMask(rgn, LT, RT, LB, RB, Cl, LT, TPoint{3, 4}, TPoint{4, 12}, TPoint{3, 12}, TRect{4, 4, 3, 12},
                         m.get(), 7, 16);
  EXPECT_EQ(rgn, nullptr);
}

TEST(kx_region, MaskWithoutTopBorderAndEmptyClient) {
  // No top border: the bottom, left and right strips still count. An empty client adds nothing.
  auto m = Mask(10, 8);
  Set(m.get(), 0, 7, Wh);
  const TPoint LT{3, 0}, RT{7, 0}, LB{3, 5}, RB{7, 5};
  const TRect Cl{3, 0, 7, 5};
  HRGN rgn = nullptr;
  RegionFromNinePartMask(rgn, LT, RT, LB, RB, Cl, LT, TPoint{12, 0}, TPoint{3, 5}, TPoint{12, 5}, TRect{3, 0, 12, 5},
                         m.get(), 15, 8);
  ASSERT_NE(rgn, nullptr);
  std::vector<RECT> want{{0, 0, 15, 7}, {1, 7, 15, 8}};
  auto got = RegionRects(rgn);
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_TRUE(got[i] == want[i]) << i;
  DeleteObject(rgn);
  // A client of no width (a window 6 wide): the union of the border strips alone.
  RegionFromNinePartMask(rgn, LT, RT, LB, RB, Cl, LT, TPoint{3, 0}, TPoint{3, 5}, TPoint{3, 5}, TRect{3, 0, 3, 5},
                         m.get(), 6, 8);
  ASSERT_NE(rgn, nullptr);
  want = {{0, 0, 6, 7}, {1, 7, 6, 8}};
  got = RegionRects(rgn);
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_TRUE(got[i] == want[i]) << i;
  DeleteObject(rgn);
}

}  // namespace
