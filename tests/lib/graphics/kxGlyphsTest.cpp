// Button layout, the pixel sets of arrows, marks, caption-button glyphs and the focus
// rectangle, cutting text with "..." in the box test font, and the guards of the image and
// caption routines.
#include <gtest/gtest.h>

#include <set>

#include "lib/graphics/kxPlainLook.h"
#include "lib/graphics/kxUtils.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;
constexpr uint32_t kBack = 0xFFFFFF;

std::unique_ptr<TBitmap> Blank(int w = 24, int h = 24) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(clWhite);
  b->Canvas()->FillRect(TRect{0, 0, w, h});
  return b;
}

Pixels Drawn(TBitmap* b, TColor c = clRed) {
  Pixels p;
  for (int y = 0; y < b->Height(); ++y)
    for (int x = 0; x < b->Width(); ++x) {
      TColor v = b->Canvas()->Pixels(x, y);
      if (v == c) p.insert({x, y});
      else EXPECT_EQ(v, TColor(kBack)) << x << "," << y;
    }
  return p;
}

// A horizontal, vertical or diagonal line without its end point.
void Line(Pixels& p, int x1, int y1, int x2, int y2) {
  int dx = (x2 > x1) - (x2 < x1), dy = (y2 > y1) - (y2 < y1);
  for (int x = x1, y = y1; x != x2 || y != y2; x += dx, y += dy) p.insert({x, y});
}
void Outline(Pixels& p, int l, int t, int r, int b) {
  for (int x = l; x < r; ++x) p.insert({x, t}), p.insert({x, b - 1});
  for (int y = t; y < b; ++y) p.insert({l, y}), p.insert({r - 1, y});
}
void Fill(Pixels& p, int l, int t, int r, int b) {
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x) p.insert({x, y});
}

TEST(kx_glyphs, CalcButtonLayout) {
  struct Case {
    TkxButtonLayout layout;
    TRect r;
    int gw, gh, tw, th, s, m;
    int textX, textY, glyphX, glyphY;
  } cases[] = {
      {blGlyphLeft, {0, 0, 100, 20}, 16, 16, 40, 14, 4, -1, 40, 3, 20, 2},
      {blGlyphLeft, {0, 0, 100, 20}, 16, 16, 40, 14, 4, 5, 25, 3, 5, 2},
      {blGlyphLeft, {0, 0, 100, 20}, 0, 0, 40, 14, 4, -1, 30, 3, 30, 10},  // no image: spacing ignored
      {blGlyphRight, {0, 0, 100, 20}, 16, 16, 40, 14, 4, -1, 20, 3, 64, 2},
      {blGlyphRight, {10, 0, 110, 20}, 16, 16, 40, 14, 4, 6, 44, 3, 88, 2},
      {blGlyphTop, {0, 0, 40, 60}, 16, 16, 30, 12, 4, -1, 5, 34, 12, 14},
      {blGlyphBottom, {0, 0, 40, 60}, 16, 16, 30, 12, 4, 3, 5, 25, 12, 41},
  };
  for (const auto& c : cases) {
    int tx = -99, ty = -99, gx = -99, gy = -99;
    CalcButtonLayout(c.layout, c.r, c.gw, c.gh, c.tw, c.th, c.s, c.m, tx, ty, gx, gy);
    EXPECT_EQ(tx, c.textX) << int(c.layout) << " m " << c.m;
    EXPECT_EQ(ty, c.textY) << int(c.layout) << " m " << c.m;
    EXPECT_EQ(gx, c.glyphX) << int(c.layout) << " m " << c.m;
    EXPECT_EQ(gy, c.glyphY) << int(c.layout) << " m " << c.m;
  }
}

TEST(kx_glyphs, ArrowsAndMarks) {
  const TRect r{2, 3, 22, 17};  // centre (12, 10)
  const int cx = 12, cy = 10;
  {
    auto b = Blank();
    DrawSmallDownArrow(b->Canvas(), r, clRed);
    Pixels want;
    Fill(want, cx - 2, cy, cx + 3, cy + 1);
    Fill(want, cx - 1, cy + 1, cx + 2, cy + 2);
    want.insert({cx, cy + 2});
    EXPECT_EQ(Drawn(b.get()), want);
  }
  for (int kind = 0; kind <= 5; ++kind) {
    auto b = Blank();
    DrawArrowImage(b->Canvas(), r, clRed, kind);
    Pixels want;
    for (int i = 0; i <= 3 && kind >= 1 && kind <= 4; ++i)
      for (int j = -i; j <= i; ++j) {
        if (kind == 1) want.insert({cx - 2 + i, cy + j});  // tip 2 pixels left of the centre
        if (kind == 2) want.insert({cx + 2 - i, cy + j});
        if (kind == 3) want.insert({cx + j, cy - 2 + i});
        if (kind == 4) want.insert({cx + j, cy + 2 - i});
      }
    EXPECT_EQ(Drawn(b.get()), want) << kind;
  }
  {
    auto b = Blank();
    DrawCheckMark(b->Canvas(), 4, 5, clRed);
    Pixels want;
    for (int i = 0; i <= 2; ++i) {
      Line(want, 4, 10 - i, 6, 12 - i);
      Line(want, 6, 12 - i, 11, 7 - i);
    }
    EXPECT_EQ(want.size(), 21u);
    EXPECT_EQ(Drawn(b.get()), want);
  }
  {
    auto b = Blank();
    DrawRadioMark(b->Canvas(), 3, 4, clRed);
    Pixels want;
    Fill(want, 3, 4, 9, 10);
    EXPECT_EQ(Drawn(b.get()), want);
  }
}

TEST(kx_glyphs, CaptionButtonGlyphs) {
  const int X = 5, Y = 6;
  struct Case {
    const char* name;
    void (*draw)(TCanvas*, int32_t, int32_t, TColor);
    Pixels want;
  };
  Pixels close, max, min, restore, sys, up, down, tray;
  Line(close, X + 1, Y + 1, X + 9, Y + 9);
  Line(close, X + 9, Y + 1, X + 1, Y + 9);
  Line(close, X + 2, Y + 1, X + 10, Y + 9);
  Line(close, X + 8, Y + 1, X, Y + 9);
  Outline(max, X, Y, X + 11, Y + 10);
  Outline(max, X, Y, X + 11, Y + 2);
  Line(min, X + 1, Y + 8, X + 9, Y + 8);
  Line(min, X + 1, Y + 9, X + 9, Y + 9);
  Outline(restore, X + 2, Y, X + 10, Y + 6);
  Outline(restore, X + 2, Y, X + 10, Y + 2);
  Outline(restore, X, Y + 4, X + 7, Y + 10);
  Outline(restore, X, Y + 4, X + 7, Y + 6);
  Outline(sys, X + 1, Y + 3, X + 9, Y + 6);
  // The one-pixel tips are zero-length lines: they draw nothing.
  for (int k = 0; k < 4; ++k) Line(up, X + 1 + k, Y + 6 - k, X + 9 - k, Y + 6 - k);
  for (int k = 0; k < 4; ++k) Line(down, X + 4 - k, Y + 5 - k, X + 6 + k, Y + 5 - k);
  Fill(tray, X + 2, Y + 2, X + 7, Y + 7);
  Case cases[] = {{"close", DrawCloseGlyph, close},       {"maximize", DrawMaximizeGlyph, max},
                  {"minimize", DrawMinimizeGlyph, min},   {"restore", DrawRestoreGlyph, restore},
                  {"sysmenu", DrawSysMenuGlyph, sys},     {"rollup", DrawRollUpGlyph, up},
                  {"rolldown", DrawRollDownGlyph, down},  {"tray", DrawTrayGlyph, tray}};
  for (auto& c : cases) {
    auto b = Blank();
    c.draw(b->Canvas(), X, Y, clRed);
    EXPECT_EQ(Drawn(b.get()), c.want) << c.name;
  }
}

TEST(kx_glyphs, FocusRectangleAlternatesAroundTheCorners) {
  auto b = Blank(8, 8);
  b->Canvas()->Font()->SetColor(clRed);
  DrawSkinFocusRect(b->Canvas(), TRect{0, 0, 5, 5});  // 4 x 4: both even, the first pixel skipped
  EXPECT_EQ(Drawn(b.get()), (Pixels{{1, 0}, {3, 0}, {4, 1}, {4, 3}, {3, 4}, {1, 4}, {0, 3}, {0, 1}}));
  auto o = Blank(8, 8);
  o->Canvas()->Font()->SetColor(clRed);
  DrawSkinFocusRect(o->Canvas(), TRect{1, 1, 5, 4});  // 3 x 2: the first pixel drawn
  EXPECT_EQ(Drawn(o.get()), (Pixels{{1, 1}, {3, 1}, {4, 2}, {3, 3}, {1, 3}}));
}

TEST(kx_glyphs, FitTextToWidthInTheBoxFont) {
  auto b = Blank();
  TCanvas* c = b->Canvas();
  c->Font()->SetName(win::kTestBoxFontName);
  c->Font()->SetHeight(-10);  // Latin 5 wide, ideographs 10 wide, "..." 15
  struct Case {
    std::string in;
    int max;
    std::string out;
  } cases[] = {{"abcdefgh", 40, "abcdefgh"}, {"abcdefgh", 30, "abc..."},  {"abcdefgh", 32, "abc..."},
               {"视频转换器", 35, "视频..."}, {"视频转换器", 14, "..."},   {"a视频", 24, "a..."},
               {"", 0, ""}};
  for (const auto& k : cases) {
    std::string s = k.in;
    FitTextToWidth(c, s, k.max);
    EXPECT_EQ(s, k.out) << k.in << " " << k.max;
    s = k.in;
    FitTextToWidthW(c, s, k.max);
    EXPECT_EQ(s, k.out) << k.in << " " << k.max;
  }
  EXPECT_EQ(TextWidthW(c, "视频ab"), 30);
  EXPECT_EQ(TextHeightW(c, "视频ab"), 10);
}

TEST(kx_glyphs, ImageAndCaptionGuards) {
  auto b = Blank(60, 30);
  TCanvas* c = b->Canvas();
  // A swatch without image and caption: (L + 4, T + 4, R - 2, B - 4), or one lower when down.
  DrawGlyphAndText(c, TRect{0, 0, 20, 14}, -1, 4, blGlyphLeft, "", nullptr, 1, 1, false, true, clRed);
  Pixels want;
  Fill(want, 4, 4, 18, 10);
  EXPECT_EQ(Drawn(b.get()), want);
  auto d = Blank(60, 30);
  TBitmap strip;
  strip.SetSize(16, 8);
  DrawGlyphAndText(d->Canvas(), TRect{0, 0, 20, 14}, -1, 4, blGlyphLeft, "", &strip, 0, 1, true, true, clRed);
  Pixels down;
  Fill(down, 4, 5, 18, 11);
  EXPECT_EQ(Drawn(d.get()), down);
  // A control without a parent: nothing drawn, the canvas state kept.
  auto e = Blank(10, 10);
  PaintParentBackground(nullptr, e->Canvas());
  EXPECT_TRUE(Drawn(e.get()).empty());
}

}  // namespace
