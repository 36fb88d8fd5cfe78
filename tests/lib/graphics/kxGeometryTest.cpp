// Three- and nine-part pictures rebuilt from a picture whose pixels hold their own coordinates:
// the identity at the skin rectangle's own size, the tile phases, the stretched copies of the
// centre, the left-anchored header, the border strips and glyphs out of a strip.
#include <gtest/gtest.h>

#include "lib/graphics/kxUtils.h"

namespace {

// Picture pixel (x, y) holds x in red and y in green; 0xEE in blue marks a coded pixel.
uint32_t Code(int x, int y) { return (uint32_t(x) << 16) | (uint32_t(y) << 8) | 0xEE; }
constexpr uint32_t kBack = 0x00123456;

std::unique_ptr<TBitmap> Coded(int w, int h) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) static_cast<uint32_t*>(b->ScanLine(y))[x] = Code(x, y);
  return b;
}

std::unique_ptr<TBitmap> Filled(int w, int h, uint32_t c = kBack) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) static_cast<uint32_t*>(b->ScanLine(y))[x] = c;
  return b;
}

uint32_t At(TBitmap* b, int x, int y) { return static_cast<uint32_t*>(b->ScanLine(y))[x] & 0xFFFFFF; }

// The skin rectangle lies inside a larger picture so that its offset is exercised.
const TRect kSkin{5, 3, 35, 23};  // 30 x 20
const TPoint LT{6, 5}, RT{24, 5}, LB{6, 15}, RB{24, 15};
const TRect Cl{4, 3, 26, 17};

struct Target {
  TPoint NLT, NRT, NLB, NRB;
  TRect NCl;
};
Target Derive(int W, int H) {
  int dW = W - 30, dH = H - 20;
  return Target{LT, TPoint{RT.x + dW, RT.y}, TPoint{LB.x, LB.y + dH}, TPoint{RB.x + dW, RB.y + dH},
                TRect{Cl.left, Cl.top, Cl.right + dW, Cl.bottom + dH}};
}

void Nine(TBitmap* Dest, TBitmap* Pic, int W, int H, bool Client, bool Stretch, bool Effect, TkxStretchType Type,
          bool Header = false) {
  Target t = Derive(W, H);
  (Header ? BuildNinePartHeaderImage : BuildNinePartImage)(LT, RT, LB, RB, Cl, t.NLT, t.NRT, t.NLB, t.NRB, t.NCl,
                                                            Dest, Pic, kSkin, W, H, Client, Stretch, Stretch, Stretch,
                                                            Stretch, Effect, Type);
}

void ExpectIdentity(TBitmap* Dest, int W0, int H0) {
  ASSERT_EQ(Dest->Width(), W0);
  ASSERT_EQ(Dest->Height(), H0);
  for (int y = 0; y < H0; ++y)
    for (int x = 0; x < W0; ++x) ASSERT_EQ(At(Dest, x, y), Code(kSkin.left + x, kSkin.top + y)) << x << "," << y;
}

TEST(kx_geometry, OwnSizeReproducesTheSkinRectangle) {
  auto pic = Coded(40, 30);
  for (bool stretch : {false, true}) {
    TBitmap d;
    BuildHorzThreePartImage(6, 30 - 24, &d, pic.get(), kSkin, 30, 99, stretch);
    ExpectIdentity(&d, 30, 20);
    TBitmap v;
    BuildVertThreePartImage(5, 20 - 15, &v, pic.get(), kSkin, 99, 20, stretch);
    ExpectIdentity(&v, 30, 20);
    for (TkxStretchType type : {kxstFull, kxstHorz, kxstVert})
      for (bool effect : {false, true}) {
        TBitmap n;
        Nine(&n, pic.get(), 30, 20, true, stretch, effect, type);
        ExpectIdentity(&n, 30, 20);
      }
  }
}

TEST(kx_geometry, ThreePartMiddleTilesFromItsStartAndCutsTheLastTile) {
  auto pic = Coded(40, 30);
  // Start 3, end 2, a middle of 10 columns; spans of 25 and 30 columns.
  const TRect skin{5, 3, 20, 7};
  for (int span : {25, 30}) {
    TBitmap d;
    BuildHorzThreePartImage(3, 2, &d, pic.get(), skin, 3 + span + 2, 0, false);
    ASSERT_EQ(d.Width(), 3 + span + 2);
    ASSERT_EQ(d.Height(), 4);
    for (int x = 0; x < d.Width(); ++x) {
      int sx = x < 3 ? x : x < 3 + span ? 3 + (x - 3) % 10 : 13 + (x - 3 - span);
      for (int y = 0; y < 4; ++y) ASSERT_EQ(At(&d, x, y), Code(5 + sx, 3 + y)) << span << ":" << x;
    }
  }
  // Narrower than the fixed parts: the end piece lies over the start piece, no middle.
  TBitmap n;
  BuildHorzThreePartImage(3, 2, &n, pic.get(), skin, 4, 0, false);
  EXPECT_EQ(At(&n, 0, 0), Code(5, 3));
  EXPECT_EQ(At(&n, 1, 0), Code(5 + 1, 3));
  EXPECT_EQ(At(&n, 2, 0), Code(5 + 13, 3));
  EXPECT_EQ(At(&n, 3, 0), Code(5 + 14, 3));
  // The left-part builder runs its middle to the right edge; the middle filler covers all.
  TBitmap l;
  BuildHorzLeftPartImage(3, 2, &l, pic.get(), skin, 30, 0, false);
  for (int x = 3; x < 30; ++x) ASSERT_EQ(At(&l, x, 1), Code(5 + 3 + (x - 3) % 10, 4));
  TBitmap m;
  FillHorzMiddlePart(3, 2, &m, pic.get(), skin, 23, 0, false);
  for (int x = 0; x < 23; ++x) ASSERT_EQ(At(&m, x, 2), Code(5 + 3 + x % 10, 5));
  // A stretched middle repeats each column twice when doubled.
  TBitmap s;
  BuildHorzThreePartImage(3, 2, &s, pic.get(), skin, 3 + 20 + 2, 0, true);
  for (int x = 0; x < 20; ++x) ASSERT_EQ(At(&s, 3 + x, 0), Code(5 + 3 + x / 2, 3));
}

TEST(kx_geometry, VerticalMiddleTilesDownwards) {
  auto pic = Coded(40, 30);
  const TRect skin{2, 1, 6, 16};  // 4 x 15: top 3, middle 8, bottom 4
  TBitmap d;
  BuildVertThreePartImage(3, 4, &d, pic.get(), skin, 0, 3 + 20 + 4, false);
  ASSERT_EQ(d.Width(), 4);
  for (int y = 0; y < d.Height(); ++y) {
    int sy = y < 3 ? y : y < 23 ? 3 + (y - 3) % 8 : 11 + (y - 23);
    ASSERT_EQ(At(&d, 1, y), Code(3, 1 + sy)) << y;
  }
}

TEST(kx_geometry, NinePartTiledEdgesCornersAndCentre) {
  auto pic = Coded(40, 30);
  const int W = 57, H = 41;
  Target t = Derive(W, H);
  TBitmap d;
  Nine(&d, pic.get(), W, H, true, false, false, kxstFull);
  auto src = [&](int x, int y) { return Code(kSkin.left + x, kSkin.top + y); };
  // Top edge tiles from NewLTPoint.X with the edge piece's width (18).
  for (int x = t.NLT.x; x < t.NRT.x; ++x) ASSERT_EQ(At(&d, x, 1), src(LT.x + (x - t.NLT.x) % 18, 1)) << x;
  // Right edge tiles down from NewRTPoint.Y (piece height 10).
  for (int y = t.NRT.y; y < t.NRB.y; ++y) ASSERT_EQ(At(&d, W - 1, y), src(29, RT.y + (y - t.NRT.y) % 10)) << y;
  // The corners keep their pixels at the new corners.
  EXPECT_EQ(At(&d, W - 1, 0), src(29, 0));
  EXPECT_EQ(At(&d, W - 2, H - 1), src(28, 19));
  EXPECT_EQ(At(&d, 0, H - 1), src(0, 19));
  EXPECT_EQ(At(&d, Cl.left, H - 1), src(Cl.left, 19));  // bottom-left inner piece
  // The centre tiles from NewClRect's corner in both directions (22 x 14 piece).
  for (int y = t.NCl.top; y < t.NCl.bottom; ++y)
    for (int x = t.NCl.left; x < t.NCl.right; ++x)
      ASSERT_EQ(At(&d, x, y), src(Cl.left + (x - t.NCl.left) % 22, Cl.top + (y - t.NCl.top) % 14)) << x << "," << y;
}

TEST(kx_geometry, CentreWithoutClientIsUntouched) {
  auto pic = Coded(40, 30);
  auto d = Filled(50, 35);
  Nine(d.get(), pic.get(), 50, 35, false, true, true, kxstFull);
  Target t = Derive(50, 35);
  for (int y = t.NCl.top; y < t.NCl.bottom; ++y)
    for (int x = t.NCl.left; x < t.NCl.right; ++x) ASSERT_EQ(At(d.get(), x, y), kBack);
  EXPECT_NE(At(d.get(), 0, 0), kBack);
}

TEST(kx_geometry, HorzCentreRepeatsACopyStretchedToTheFullHeight) {
  // A 7-pixel-wide centre over a 20-pixel-wide client: copies at 0, 7 and 14, each 2x as high.
  auto pic = Coded(40, 30);
  const TRect skin{0, 0, 11, 9};
  const TRect cl{2, 2, 9, 6};  // centre 7 x 4
  const TPoint lt{2, 2}, rt{9, 2}, lb{2, 6}, rb{9, 6};
  const int W = 11 + 13, H = 9 + 4;
  const TRect ncl{2, 2, 22, 10};
  TBitmap d;
  BuildNinePartImage(lt, rt, lb, rb, cl, lt, TPoint{22, 2}, TPoint{2, 10}, TPoint{22, 10}, ncl, &d, pic.get(), skin, W,
                     H, true, true, true, true, true, true, kxstHorz);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(At(&d, 2 + x, 2 + y), Code(2 + x % 7, 2 + y / 2)) << x << "," << y;
  // kxstVert: one copy stretched across, repeated downwards every 4 rows.
  const TRect ncl2{2, 2, 16, 12};
  TBitmap v;
  BuildNinePartImage(lt, rt, lb, rb, cl, lt, TPoint{16, 2}, TPoint{2, 12}, TPoint{16, 12}, ncl2, &v, pic.get(), skin,
                     11 + 7, 9 + 6, true, true, true, true, true, true, kxstVert);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 14; ++x) ASSERT_EQ(At(&v, 2 + x, 2 + y), Code(2 + x / 2, 2 + y % 4)) << x << "," << y;
}

TEST(kx_geometry, HeaderLeavesTheRightEndOpen) {
  auto pic = Coded(40, 30);
  const int W = 45, H = 20;
  Target t = Derive(W, H);
  auto d = Filled(W, H);
  Nine(d.get(), pic.get(), W, H, true, false, false, kxstFull, true);
  // Right of the left part only the top and bottom edges and the widened centre are painted.
  for (int y = 0; y < H; ++y)
    for (int x = t.NRT.x; x < W; ++x) {
      uint32_t p = At(d.get(), x, y);
      ASSERT_NE(p, kBack) << x << "," << y;
      if (y < t.NCl.top) ASSERT_EQ(p, Code(kSkin.left + LT.x + (x - t.NLT.x) % 18, kSkin.top + y));
    }
  // The centre tiles to NewWidth.
  EXPECT_EQ(At(d.get(), W - 1, 5), Code(kSkin.left + Cl.left + (W - 1 - Cl.left) % 22, kSkin.top + 5));
}

TEST(kx_geometry, DegenerateGeometryLeavesTheDestinationSizedButUndrawn) {
  auto pic = Coded(40, 30);
  auto d = Filled(30, 20);
  Target t = Derive(30, 20);
  BuildNinePartImage(LT, RT, LB, TPoint{LT.x, RB.y}, Cl, t.NLT, t.NRT, t.NLB, t.NRB, t.NCl, d.get(), pic.get(), kSkin,
                     30, 20, true, false, false, false, false, false, kxstFull);
  EXPECT_EQ(At(d.get(), 3, 3), kBack);
  TBitmap empty, e;
  BuildHorzThreePartImage(1, 1, &e, &empty, kSkin, 12, 0, false);
  EXPECT_EQ(e.Width(), 12);
  EXPECT_EQ(e.Height(), 20);
}

TEST(kx_geometry, BorderStripsTileFromTheirOwnOrigin) {
  auto pic = Coded(40, 30);
  const int W = 47, H = 33;
  Target t = Derive(W, H);
  TBitmap left, top, right, bottom;
  SplitNinePartImage(LT, RT, LB, RB, Cl, t.NLT, t.NRT, t.NLB, t.NRB, t.NCl, &left, &top, &right, &bottom, pic.get(),
                     kSkin, W, H, false, false, false, false);
  ASSERT_EQ(top.Width(), W);
  ASSERT_EQ(top.Height(), Cl.top);
  ASSERT_EQ(bottom.Height(), H - t.NCl.bottom);
  ASSERT_EQ(left.Width(), Cl.left);
  ASSERT_EQ(left.Height(), t.NCl.bottom - t.NCl.top);
  ASSERT_EQ(right.Width(), 30 - Cl.right);
  auto src = [&](int x, int y) { return Code(kSkin.left + x, kSkin.top + y); };
  // Middle tiled from column 0 (not from the corner point), corners over it.
  for (int x = LT.x; x < t.NRT.x; ++x) ASSERT_EQ(At(&top, x, 0), src(LT.x + x % 18, 0)) << x;
  for (int x = 0; x < LT.x; ++x) ASSERT_EQ(At(&top, x, 0), src(x, 0));
  for (int x = t.NRT.x; x < W; ++x) ASSERT_EQ(At(&top, x, 2), src(RT.x + x - t.NRT.x, 2));
  // Left strip: the piece above LT.Y at the top, the middle tiled from row 0, the bottom piece.
  const int v = left.Height();
  for (int y = 0; y < v; ++y) {
    int sy = y < LT.y - Cl.top ? Cl.top + y : y >= v - (Cl.bottom - LB.y) ? LB.y + y - (v - (Cl.bottom - LB.y))
                                                                         : LT.y + y % 10;
    ASSERT_EQ(At(&left, 1, y), src(1, sy)) << y;
  }
  // Stretched, the top middle covers [NewLTPoint.X, NewRTPoint.X) only.
  TBitmap l2, t2, r2, b2;
  SplitNinePartImage(LT, RT, LB, RB, Cl, t.NLT, t.NRT, t.NLB, t.NRB, t.NCl, &l2, &t2, &r2, &b2, pic.get(), kSkin, W,
                     H, true, true, true, true);
  const int span = t.NRT.x - t.NLT.x;
  for (int x = 0; x < span; ++x) ASSERT_EQ(At(&t2, LT.x + x, 1), src(LT.x + x * 18 / span, 1)) << x;
}

TEST(kx_geometry, GlyphFromStrip) {
  auto strip = Coded(64, 4);
  auto canvas = Filled(20, 6);
  DrawGlyphFromStrip(canvas->Canvas(), 2, 1, strip.get(), 4, 2);
  for (int x = 0; x < 16; ++x)
    for (int y = 0; y < 4; ++y)
      // The glyph's bottom-left pixel colour is transparent.
      ASSERT_EQ(At(canvas.get(), 2 + x, 1 + y), (x == 0 && y == 3) ? kBack : Code(16 + x, y)) << x << "," << y;
  EXPECT_EQ(At(canvas.get(), 18, 1), kBack);
  // A count of 0 and an index outside the strip draw nothing.
  auto c2 = Filled(20, 6);
  for (auto [n, i] : {std::pair{0, 1}, {4, 0}, {4, 5}, {-1, 1}}) DrawGlyphFromStrip(c2->Canvas(), 0, 0, strip.get(), n, i);
  for (int x = 0; x < 20; ++x) ASSERT_EQ(At(c2.get(), x, 0), kBack);
}

}  // namespace
