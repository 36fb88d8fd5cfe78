#include <gtest/gtest.h>

#include "platform/Gdi.h"
#include "tests/platform/GdiTestUtil.h"

using namespace win;
using gditest::Canvas;

namespace {

constexpr uint32_t kBg = 0xFFFFFFFFu;
constexpr uint32_t kRed = 0x00FF0000u;  // what a red primitive writes: alpha 0

using Rows = std::vector<std::string>;

struct PenBrush {
  HDC dc;
  HGDIOBJ oldPen, oldBrush;
  PenBrush(HDC d, HPEN pen, HBRUSH brush) : dc(d) {
    oldPen = SelectObject(dc, pen);
    oldBrush = SelectObject(dc, brush);
  }
  ~PenBrush() {
    DeleteObject(SelectObject(dc, oldPen));
    DeleteObject(SelectObject(dc, oldBrush));
  }
};

TEST(GdiDraw, LinesLeaveOutTheirEndPixel) {
  struct Case { int x0, y0, x1, y1; Rows want; };
  const Case cases[] = {
      {0, 0, 4, 0, {"####.", ".....", ".....", ".....", "....."}},
      {4, 4, 0, 4, {".....", ".....", ".....", ".....", ".####"}},
      {1, 0, 1, 3, {".#...", ".#...", ".#...", ".....", "....."}},
      {0, 0, 4, 4, {"#....", ".#...", "..#..", "...#.", "....."}},
      {4, 0, 0, 4, {"....#", "...#.", "..#..", ".#...", "....."}},
      {2, 2, 2, 2, {".....", ".....", ".....", ".....", "....."}},  // zero length: nothing
  };
  for (const Case& k : cases) {
    Canvas c(5, 5);
    c.Fill(kBg);
    PenBrush pb(c.dc, CreatePen(PS_SOLID, 1, RGB(255, 0, 0)), CreateSolidBrush(0));
    MoveToEx(c.dc, k.x0, k.y0, nullptr);
    LineTo(c.dc, k.x1, k.y1);
    EXPECT_EQ(c.Mask(kRed), k.want) << "case " << (&k - cases);
    POINT cur;
    GetCurrentPositionEx(c.dc, &cur);
    EXPECT_EQ(cur, (POINT{k.x1, k.y1}));
  }
}

TEST(GdiDraw, RectangleOutlinesInsideAndBrushesTheRest) {
  Canvas c(6, 5);
  c.Fill(kBg);
  {
    PenBrush pb(c.dc, CreatePen(PS_SOLID, 1, RGB(255, 0, 0)), CreateSolidBrush(RGB(0, 0, 255)));
    Rectangle(c.dc, 1, 0, 5, 4);
  }
  EXPECT_EQ(c.Mask(kRed), (Rows{".####.", ".#..#.", ".#..#.", ".####.", "......"}));
  EXPECT_EQ(c.Mask(0x000000FFu), (Rows{"......", "..##..", "..##..", "......", "......"}));
  // A null pen makes the brushed area one pixel smaller; (-1,-1,W+1,H+1) still covers everything.
  c.Fill(kBg);
  {
    PenBrush pb(c.dc, CreatePen(PS_NULL, 1, 0), CreateSolidBrush(RGB(255, 0, 0)));
    Rectangle(c.dc, 0, 0, 3, 3);
    EXPECT_EQ(c.Mask(kRed)[0], "##....");
    EXPECT_EQ(c.Mask(kRed)[2], "......");
    Rectangle(c.dc, -1, -1, 7, 6);
    EXPECT_EQ(c.Mask(kRed), Rows(5, "######"));
  }
  // A null brush gives the outline only.
  c.Fill(kBg);
  {
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HGDIOBJ op = SelectObject(c.dc, pen), ob = SelectObject(c.dc, GetStockObject(NULL_BRUSH));
    Rectangle(c.dc, 0, 0, 3, 3);
    SelectObject(c.dc, ob);
    DeleteObject(SelectObject(c.dc, op));
  }
  EXPECT_EQ(c.Mask(kBg)[1], ".#.###");
}

TEST(GdiDraw, FillFrameInvertAndFocusRects) {
  Canvas c(5, 4);
  c.Fill(kBg);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT r{1, 1, 4, 3};
  FillRect(c.dc, &r, red);
  EXPECT_EQ(c.Mask(kRed), (Rows{".....", ".###.", ".###.", "....."}));
  RECT inverted{3, 3, 1, 1};
  EXPECT_EQ(FillRect(c.dc, &inverted, red), 1) << "an inverted rectangle fills nothing";
  c.Fill(kBg);
  RECT f{0, 0, 5, 4};
  FrameRect(c.dc, &f, red);
  EXPECT_EQ(c.Mask(kRed), (Rows{"#####", "#...#", "#...#", "#####"}));
  c.Fill(0xFF102030u);
  RECT one{0, 0, 1, 1};
  InvertRect(c.dc, &one);
  EXPECT_EQ(c.At(0, 0), 0x00EFDFCFu);
  c.Fill(0);
  DrawFocusRect(c.dc, &f);
  EXPECT_EQ(c.Mask(0x00FFFFFFu), (Rows{"#.#.#", ".....", "#...#", ".#.#."}));
  DrawFocusRect(c.dc, &f);
  EXPECT_EQ(c.Mask(0), Rows(4, "#####")) << "drawing it twice restores the pixels";
  DeleteObject(red);
}

TEST(GdiDraw, EllipseAndPolygonStayInsideTheirBox) {
  Canvas c(9, 9);
  c.Fill(kBg);
  PenBrush pb(c.dc, CreatePen(PS_SOLID, 1, RGB(255, 0, 0)), CreateSolidBrush(RGB(0, 0, 255)));
  Ellipse(c.dc, 1, 1, 8, 8);
  auto m = c.Mask(kBg);
  EXPECT_EQ(m[0], "#########");
  EXPECT_EQ(m[8], "#########");
  EXPECT_EQ(c.At(4, 4), 0x000000FFu);
  EXPECT_EQ(c.At(4, 1), kRed);
  EXPECT_EQ(c.At(1, 1), kBg);
  c.Fill(kBg);
  POINT tri[] = {{0, 0}, {6, 0}, {0, 6}};
  Polygon(c.dc, tri, 3);
  EXPECT_EQ(c.At(0, 0), kRed);
  EXPECT_EQ(c.At(1, 1), 0x000000FFu);
  EXPECT_EQ(c.At(7, 0), kBg);
}

TEST(GdiDraw, ClipOriginsAndSaveRestore) {
  Canvas c(6, 6);
  c.Fill(kBg);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT all{0, 0, 6, 6};
  int saved = SaveDC(c.dc);
  SetViewportOrgEx(c.dc, 2, 1, nullptr);
  SetWindowOrgEx(c.dc, 1, 0, nullptr);  // device = logical - window + viewport = logical + (1, 1)
  EXPECT_EQ(IntersectClipRect(c.dc, 0, 0, 3, 2), SIMPLEREGION);
  RECT box;
  GetClipBox(c.dc, &box);
  EXPECT_EQ(box, (RECT{0, 0, 3, 2})) << "the clip box is in logical coordinates";
  EXPECT_EQ(ExcludeClipRect(c.dc, 1, 0, 2, 1), COMPLEXREGION);
  FillRect(c.dc, &all, red);
  EXPECT_EQ(c.Mask(kRed), (Rows{"......", ".#.#..", ".###..", "......", "......", "......"}));
  EXPECT_TRUE(RestoreDC(c.dc, saved));
  POINT org;
  GetViewportOrgEx(c.dc, &org);
  EXPECT_EQ(org, (POINT{0, 0}));
  HRGN none = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c.dc, none), 0) << "the clip region went with the restored state";
  EXPECT_FALSE(RestoreDC(c.dc, saved)) << "that state is gone";
  EXPECT_FALSE(RestoreDC(c.dc, -1));
  // Relative restore and SelectClipRgn with NULL.
  SaveDC(c.dc);
  SaveDC(c.dc);
  SetTextColor(c.dc, RGB(1, 1, 1));
  EXPECT_TRUE(RestoreDC(c.dc, -2));
  EXPECT_EQ(GetTextColor(c.dc), 0u);
  HRGN clip = CreateRectRgn(0, 0, 1, 1);
  SelectClipRgn(c.dc, clip);
  EXPECT_EQ(SelectClipRgn(c.dc, nullptr), SIMPLEREGION);
  GetClipBox(c.dc, &box);
  EXPECT_EQ(box, (RECT{0, 0, 6, 6}));
  DeleteObject(clip);
  DeleteObject(none);
  DeleteObject(red);
}

TEST(GdiDraw, DrawingIntoOneAndEightBitSections) {
  std::vector<RGBQUAD> mono = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  Canvas m(10, 2, 1, true, mono);
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  RECT r{1, 0, 9, 1};
  FillRect(m.dc, &r, white);
  EXPECT_EQ(m.bits[0], 0x7F);
  EXPECT_EQ(m.bits[1], 0x80);
  EXPECT_EQ(m.bits[m.stride], 0x00);
  std::vector<RGBQUAD> pal(256);
  pal[7] = RGBQUAD{0, 0, 255, 0};
  Canvas e(4, 4, 8, false, pal);
  HBRUSH red = CreateSolidBrush(RGB(250, 0, 0));
  RECT top{0, 0, 4, 1};
  FillRect(e.dc, &top, red);
  EXPECT_EQ(e.bits[3 * e.stride], 7) << "bottom-up: the top row is the last in memory";
  EXPECT_EQ(e.bits[0], 0);
  DeleteObject(white);
  DeleteObject(red);
}

TEST(GdiDraw, DrawEdgeRaisedAdjustsTheRectangle) {
  Canvas c(4, 4);
  c.Fill(kBg);
  RECT r{0, 0, 4, 4};
  DrawEdge(c.dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
  EXPECT_EQ(r, (RECT{2, 2, 2, 2}));
  EXPECT_EQ(c.At(0, 0), 0x00D4D0C8u);  // 3D light
  EXPECT_EQ(c.At(3, 3), 0x00404040u);  // dark shadow
  EXPECT_EQ(c.At(1, 1), 0x00FFFFFFu);  // highlight, alpha 0
  EXPECT_EQ(c.At(2, 2), 0x00808080u);  // shadow
}

}  // namespace
