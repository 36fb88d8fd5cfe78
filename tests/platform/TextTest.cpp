#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/Gdi.h"
#include "tests/platform/GdiTestUtil.h"

using namespace win;
using gditest::Canvas;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kInk = 0x00FF0000u;  // red text, alpha 0

// A box-font DC: em 10, cell 10, ascent 8, advance 5 (wide characters 10).
struct BoxText {
  Canvas c;
  HFONT font;
  HGDIOBJ old;
  BoxText(int w, int h) : c(w, h) {
    c.Fill(kWhite);
    font = CreateFont(-10, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, kTestBoxFontName);
    old = SelectObject(c.dc, font);
    SetTextColor(c.dc, RGB(255, 0, 0));
    SetBkMode(c.dc, TRANSPARENT);
  }
  ~BoxText() {
    SelectObject(c.dc, old);
    DeleteObject(font);
  }
  // Columns of the top row of boxes ('#' where row `y` has ink).
  std::string Row(int y) { return c.Mask(kInk)[size_t(y)]; }
};

TEST(TextBoxFont, MetricsAndExtents) {
  BoxText t(1, 1);
  TEXTMETRIC tm;
  ASSERT_TRUE(GetTextMetrics(t.c.dc, &tm));
  EXPECT_EQ(tm.tmHeight, 10);
  EXPECT_EQ(tm.tmAscent, 8);
  EXPECT_EQ(tm.tmDescent, 2);
  EXPECT_EQ(tm.tmAveCharWidth, 5);
  SIZE sz;
  std::string s = "ab中";
  ASSERT_TRUE(GetTextExtentPoint32(t.c.dc, s.c_str(), int(s.size()), &sz));
  EXPECT_EQ(sz, (SIZE{20, 10}));
  INT w[3];
  ASSERT_TRUE(GetCharWidth32(t.c.dc, 0x4E2C, 0x4E2E, w));
  EXPECT_EQ(w[0], 10);
  EXPECT_FALSE(GetCharWidth32(t.c.dc, 5, 4, w));
  EXPECT_FALSE(GetTextExtentPoint32(t.c.dc, "x", -1, &sz));
}

TEST(TextDrawText, CalcRectSizes) {
  struct Case { const char* text; int width; UINT fmt; int right, bottom; };
  const Case cases[] = {
      {"abc", 100, DT_SINGLELINE, 15, 10},
      {"ab cd ef", 25, DT_WORDBREAK, 25, 20},       // "ab cd" / "ef"
      {"ab cd ef", 24, DT_WORDBREAK, 10, 30},       // one word a line
      {"中文字符", 25, DT_WORDBREAK, 20, 20},        // breaks between ideographs
      {"abcdefgh", 10, DT_WORDBREAK, 40, 10},       // a long word is not broken, the rectangle widens
      {"a&bc", 100, 0, 15, 10},
      {"a&bc", 100, DT_NOPREFIX, 20, 10},
      {"a&&b", 100, 0, 15, 10},
      {"a\tb", 100, DT_EXPANDTABS, 45, 10},         // tab stops every 8 average widths
      {"a\nbb\r\nc", 100, 0, 10, 30},
      {"a\nbb\r\nc", 100, DT_SINGLELINE, 20, 10},
      {"ab\n", 100, 0, 10, 10},                     // a final break adds no line
      {"", 100, 0, 0, 0},
  };
  for (const Case& k : cases) {
    BoxText t(1, 1);
    RECT r{0, 0, k.width, 5};
    int h = DrawText(t.c.dc, k.text, -1, &r, k.fmt | DT_CALCRECT);
    EXPECT_EQ(r, (RECT{0, 0, k.right, k.bottom})) << "'" << k.text << "' fmt " << std::hex << k.fmt;
    EXPECT_EQ(h, k.bottom) << k.text;
    EXPECT_EQ(t.c.At(0, 0), kWhite) << "DT_CALCRECT draws nothing";
  }
}

TEST(TextDrawText, AlignmentAndVerticalCentringOnlyWithSingleLine) {
  struct Case { UINT fmt; int x0, y0, ret; };
  const Case cases[] = {
      {DT_LEFT, 0, 0, 10},
      {DT_CENTER, 15, 0, 10},
      {DT_RIGHT, 30, 0, 10},
      {DT_VCENTER, 0, 0, 10},                    // ignored without DT_SINGLELINE
      {DT_VCENTER | DT_SINGLELINE, 0, 10, 20},   // returns the offset to the text's bottom
      {DT_BOTTOM | DT_SINGLELINE | DT_RIGHT, 30, 20, 30},
  };
  for (const Case& k : cases) {
    BoxText t(40, 30);
    RECT r{0, 0, 40, 30};
    EXPECT_EQ(DrawText(t.c.dc, "ab", -1, &r, k.fmt), k.ret) << std::hex << k.fmt;
    // The first box: 4 columns by 8 rows from (x0, y0).
    EXPECT_EQ(t.c.At(k.x0, k.y0), kInk) << std::hex << k.fmt;
    EXPECT_EQ(t.c.At(k.x0 + 3, k.y0 + 7), kInk);
    EXPECT_EQ(t.c.At(k.x0 + 4, k.y0), kWhite) << "the last column of a cell stays empty";
    if (k.x0 > 0) {
      EXPECT_EQ(t.c.At(k.x0 - 1, k.y0), kWhite);
    }
    EXPECT_EQ(t.c.At(k.x0, k.y0 + 8), kWhite);
  }
}

TEST(TextDrawText, PrefixUnderlinesOneCharacterUnlessHidden) {
  for (UINT extra : {0u, UINT(DT_HIDEPREFIX), UINT(DT_NOPREFIX)}) {
    BoxText t(30, 10);
    RECT r{0, 0, 30, 10};
    DrawText(t.c.dc, "a&bc", -1, &r, DT_SINGLELINE | extra);
    std::string row9 = t.Row(9);  // underline row: ascent + 1
    if (extra == 0) EXPECT_EQ(row9, ".....#####....................");
    else EXPECT_EQ(row9, std::string(30, '.'));
    EXPECT_EQ(t.Row(0), extra == DT_NOPREFIX ? "####.####.####.####..........." : "####.####.####................");
  }
}

TEST(TextDrawText, EllipsesKeepWholeCharactersAndThePathTail) {
  struct Case { const char* text; UINT fmt; const char* row; };
  const Case cases[] = {
      // 8 characters in 30 pixels: "abc..." fits exactly.
      {"abcdefgh", DT_END_ELLIPSIS, "####.####.####.####.####.####.........."},
      {"abcdefgh", 0, "####.####.####.####.####.####.####.####."},
      // "a b.../j k": the tail after the last separator survives, with its space.
      {"a bcdefghi/j k", DT_PATH_ELLIPSIS, "####......####.####.####.####.####.####......####."},
      {"a bcdefghi/j k", DT_END_ELLIPSIS, "####......####.####.####.####.####.####.####.####."},
  };
  for (const Case& k : cases) {
    BoxText t(50, 10);
    int limit = std::strlen(k.text) > 8 ? 50 : 30;
    RECT r{0, 0, limit, 10};
    DrawText(t.c.dc, k.text, -1, &r, DT_SINGLELINE | DT_NOCLIP | k.fmt);
    std::string want = k.row;
    want.resize(50, '.');
    EXPECT_EQ(t.Row(0), want) << k.text << " " << std::hex << k.fmt;
  }
}

TEST(TextDrawText, ClipsToTheRectangleUnlessNoClip) {
  BoxText t(20, 10);
  RECT r{0, 0, 7, 10};
  DrawText(t.c.dc, "abc", -1, &r, DT_SINGLELINE);
  EXPECT_EQ(t.Row(0), "####.##.............");
  t.c.Fill(kWhite);
  DrawText(t.c.dc, "abc", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_EQ(t.Row(0), "####.####.####......");
  EXPECT_EQ(DrawText(t.c.dc, nullptr, 3, &r, 0), 0);
  EXPECT_EQ(DrawText(t.c.dc, "a", 1, nullptr, 0), 0);
}

TEST(TextOutput, ExtTextOutOpaqueClippedAndBackgroundMode) {
  BoxText t(20, 12);
  SetBkColor(t.c.dc, RGB(0, 0, 255));
  RECT r{1, 1, 8, 12};
  ExtTextOut(t.c.dc, 0, 0, ETO_OPAQUE | ETO_CLIPPED, &r, "ab", 2, nullptr);
  EXPECT_EQ(t.c.At(0, 0), kWhite);
  EXPECT_EQ(t.c.At(1, 1), kInk);
  EXPECT_EQ(t.c.At(4, 1), 0x000000FFu) << "opaque rectangle under the gap";
  EXPECT_EQ(t.c.At(8, 1), kWhite) << "clipped";
  t.c.Fill(kWhite);
  SetBkMode(t.c.dc, OPAQUE);
  TextOut(t.c.dc, 0, 0, "a", 1);
  EXPECT_EQ(t.c.At(4, 0), 0x000000FFu) << "OPAQUE fills the character cell";
  EXPECT_EQ(t.c.At(0, 9), 0x000000FFu);
  EXPECT_EQ(t.c.At(5, 0), kWhite);
  INT dx[] = {7, 7};
  t.c.Fill(kWhite);
  SetBkMode(t.c.dc, TRANSPARENT);
  ExtTextOut(t.c.dc, 0, 0, 0, nullptr, "ab", 2, dx);
  EXPECT_EQ(t.c.At(7, 0), kInk) << "explicit advances";
  EXPECT_EQ(t.c.At(5, 0), kWhite);
  EXPECT_FALSE(ExtTextOut(t.c.dc, 0, 0, 0, nullptr, nullptr, 2, nullptr));
  // Invalid UTF-8 is drawn as replacement characters, never read past its end.
  const char bad[] = {'\xE4', '\xB8'};
  SIZE sz;
  EXPECT_TRUE(GetTextExtentPoint32(t.c.dc, bad, 2, &sz));
  EXPECT_EQ(sz.cx, 10);
}

TEST(TextRealFonts, ArialHeightsFollowTheLogfontRules) {
  Canvas c(1, 1);
  for (int h : {-12, -20, 20, 14}) {
    HFONT f = CreateFont(h, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(c.dc, f);
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(c.dc, &tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    if (h > 0) EXPECT_EQ(tm.tmHeight, h) << "a positive height is the cell height";
    else EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, -h) << "a negative height is the em size";
    EXPECT_GT(tm.tmAveCharWidth, 0);
    SelectObject(c.dc, old);
    DeleteObject(f);
  }
}

TEST(TextRealFonts, ChineseCaptionLandsInsideItsRectangleWithEveryGlyph) {
  Canvas c(200, 40);
  c.Fill(kWhite);
  HFONT f = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "宋体");
  HGDIOBJ old = SelectObject(c.dc, f);
  SetBkMode(c.dc, TRANSPARENT);
  SetTextColor(c.dc, RGB(0, 0, 0));
  std::string caption = "视频转换 Video 完成";
  RECT r{10, 5, 190, 35};
  DrawText(c.dc, caption.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  int inkOutside = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x)
      if (c.At(x, y) != kWhite && (x < 10 || x >= 190 || y < 5 || y >= 35)) ++inkOutside;
  EXPECT_EQ(inkOutside, 0);
  // Every non-space character leaves ink in its own cell.
  RECT calc = r;
  DrawText(c.dc, caption.c_str(), -1, &calc, DT_SINGLELINE | DT_CALCRECT);
  int left = r.left + (r.right - r.left - (calc.right - calc.left)) / 2;
  std::u32string cps = U"视频转换 Video 完成";
  size_t byte = 0;
  for (char32_t cp : cps) {
    size_t len = cp < 0x80 ? 1 : 3;
    SIZE before, with;
    GetTextExtentPoint32(c.dc, caption.c_str(), int(byte), &before);
    GetTextExtentPoint32(c.dc, caption.c_str(), int(byte + len), &with);
    byte += len;
    if (cp == U' ') continue;
    int ink = 0;
    for (int y = 5; y < 35; ++y)
      for (int x = left + before.cx; x < left + with.cx; ++x)
        if (c.At(x, y) != kWhite) ++ink;
    EXPECT_GT(ink, 3) << "glyph U+" << std::hex << uint32_t(cp);
    EXPECT_GT(with.cx, before.cx);
  }
  SelectObject(c.dc, old);
  DeleteObject(f);
}

TEST(TextRealFonts, UnknownFaceStillGivesAFont) {
  Canvas c(50, 20);
  HFONT f = CreateFont(-12, 0, 0, 0, FW_BOLD, 1, 1, 1, ANSI_CHARSET, 0, 0, 0, 0, "No Such Face 123");
  ASSERT_NE(f, nullptr);
  HGDIOBJ old = SelectObject(c.dc, f);
  TEXTMETRIC tm;
  ASSERT_TRUE(GetTextMetrics(c.dc, &tm));
  EXPECT_GT(tm.tmHeight, 0);
  EXPECT_TRUE(TextOut(c.dc, -5, -5, "Hello", 5));
  SelectObject(c.dc, old);
  DeleteObject(f);
}

}  // namespace
