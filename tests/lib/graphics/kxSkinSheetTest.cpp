// A contact sheet of the skin drawing, written into the build folder for the eye to judge: a
// Chinese caption with glow, soft glow, plate glow and reflection, a nine-part frame at three
// sizes, every glyph, arrow and mark, and glyph-and-caption buttons.
#include <gtest/gtest.h>

#include <cstdio>

#include "base/Stream.h"
#include "classlib/graphics/Codecs.h"
#include "lib/graphics/kxTextEffects.h"
#include "lib/graphics/kxPlainLook.h"
#include "lib/graphics/kxUtils.h"

namespace {

void Fill(TCanvas* c, const TRect& r, TColor col) {
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(col);
  c->FillRect(r);
}

// A 40 x 30 frame picture: a gradient title band, shaded side edges, a light client, and a
// dot of its own colour in each corner so that corners out of place show.
std::unique_ptr<TBitmap> FramePicture() {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(40, 30);
  TCanvas* c = b->Canvas();
  Fill(c, TRect{0, 0, 40, 30}, TColor(0x7A4A20));
  for (int y = 0; y < 10; ++y) Fill(c, TRect{1, y + 1, 39, y + 2}, TColor(0xE0A050 - y * 0x080804));
  for (int x = 1; x < 4; ++x) {
    Fill(c, TRect{x, 10, x + 1, 29}, TColor(0xC08040 + x * 0x101008));
    Fill(c, TRect{39 - x, 10, 40 - x, 29}, TColor(0xC08040 + x * 0x101008));
  }
  Fill(c, TRect{1, 26, 39, 29}, TColor(0xB07838));
  Fill(c, TRect{4, 10, 36, 26}, TColor(0xFAF4EE));
  for (int x = 4; x < 36; x += 4) c->SetPixels(x, 5, clWhite);  // a tile pattern in the band
  c->SetPixels(1, 1, clYellow);
  c->SetPixels(38, 1, clLime);
  c->SetPixels(1, 28, clAqua);
  c->SetPixels(38, 28, clFuchsia);
  return b;
}

void NineAt(TCanvas* sheet, TBitmap* pic, int x, int y, int W, int H) {
  const TPoint LT{8, 10}, RT{32, 10}, LB{8, 26}, RB{32, 26};
  const TRect Cl{4, 10, 36, 26};
  const int dW = W - 40, dH = H - 30;
  TBitmap d;
  d.SetPixelFormat(pf24bit);
  BuildNinePartImage(LT, RT, LB, RB, Cl, LT, TPoint{RT.x + dW, RT.y}, TPoint{LB.x, LB.y + dH},
                     TPoint{RB.x + dW, RB.y + dH}, TRect{Cl.left, Cl.top, Cl.right + dW, Cl.bottom + dH}, &d, pic,
                     TRect{0, 0, 40, 30}, W, H, true, false, false, false, false, true, kxstFull);
  sheet->Draw(x, y, &d);
}

TEST(kx_sheet, SkinDrawingContactSheet) {
  TBitmap sheet;
  sheet.SetPixelFormat(pf32bit);
  sheet.SetSize(720, 720);
  TCanvas* c = sheet.Canvas();
  Fill(c, TRect{0, 0, 720, 720}, TColor(0xF4EEE8));
  // Captions on a dark band.
  Fill(c, TRect{0, 0, 720, 200}, TColor(0x5A3418));
  c->Font()->SetName("宋体");
  c->Font()->SetHeight(-22);
  c->Font()->SetColor(clWhite);
  const std::string caption = "Ombrel视频转换器";
  const uint32_t flags = win::DT_SINGLELINE | win::DT_VCENTER | win::DT_LEFT;
  DrawGlowText(c, TRect{20, 20, 300, 60}, caption, flags, 0, TColor(0xFFC040), 4);
  DrawBlurGlowText(c, TRect{330, 20, 620, 60}, caption, flags, 1, TColor(0x40C0FF), 5);
  c->Font()->SetColor(clBlack);
  DrawPlateGlowText(c, TRect{30, 90, 300, 120}, caption, flags, clWhite);
  c->Font()->SetColor(clWhite);
  DrawReflectedText(c, TRect{330, 80, 620, 120}, caption, flags, 2, clWhite);
  // The nine-part frame at three sizes.
  auto pic = FramePicture();
  c->Draw(20, 215, pic.get());
  NineAt(c, pic.get(), 80, 215, 60, 40);
  NineAt(c, pic.get(), 160, 215, 150, 80);
  NineAt(c, pic.get(), 330, 215, 290, 120);
  // Glyphs, arrows and marks, each in a 16 x 16 cell.
  int x = 20;
  const int y = 360;
  auto cell = [&](auto draw) {
    Fill(c, TRect{x, y, x + 16, y + 16}, clWhite);
    draw(x, y);
    x += 22;
  };
  for (auto g : {DrawCloseGlyph, DrawMaximizeGlyph, DrawMinimizeGlyph, DrawRestoreGlyph, DrawSysMenuGlyph,
                 DrawRollUpGlyph, DrawRollDownGlyph, DrawTrayGlyph})
    cell([&](int cx, int cy) { g(c, cx + 3, cy + 3, clBlack); });
  for (int kind = 1; kind <= 4; ++kind)
    cell([&](int cx, int cy) { DrawArrowImage(c, TRect{cx, cy, cx + 16, cy + 16}, TColor(0x803000), kind); });
  cell([&](int cx, int cy) { DrawSmallDownArrow(c, TRect{cx, cy, cx + 16, cy + 16}, TColor(0x803000)); });
  cell([&](int cx, int cy) { DrawCheckMark(c, cx + 4, cy + 3, TColor(0x008000)); });
  cell([&](int cx, int cy) { DrawRadioMark(c, cx + 5, cy + 5, TColor(0x008000)); });
  cell([&](int cx, int cy) {
    c->Font()->SetColor(clBlack);
    DrawSkinFocusRect(c, TRect{cx + 1, cy + 1, cx + 15, cy + 15});
  });
  // Glyph-and-caption buttons in every layout, and a colour swatch.
  TBitmap strip;
  strip.SetPixelFormat(pf24bit);
  strip.SetSize(32, 16);
  Fill(strip.Canvas(), TRect{0, 0, 32, 16}, clFuchsia);
  Fill(strip.Canvas(), TRect{3, 3, 13, 13}, TColor(0x2080E0));
  Fill(strip.Canvas(), TRect{19, 3, 29, 13}, TColor(0x808080));
  c->Font()->SetName("宋体");
  c->Font()->SetHeight(-12);
  c->Font()->SetColor(clBlack);
  int bx = 20;
  for (auto layout : {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom}) {
    TRect r{bx, 400, bx + 110, 460};
    Fill(c, r, TColor(0xE8D8C8));
    DrawGlyphAndText(c, r, -1, 4, layout, "开始转换", &strip, 2, 1, false, false, 0);
    bx += 120;
  }
  TRect sw{bx, 400, bx + 40, 430};
  Fill(c, sw, TColor(0xE8D8C8));
  DrawGlyphAndText(c, sw, -1, 4, blGlyphLeft, "", nullptr, 1, 1, false, true, clRed);
  std::string fitted = "输出文件夹 /home/用户/Ombrel视频软件/输出";
  FitTextToWidth(c, fitted, 200);
  c->Brush()->SetStyle(bsClear);
  c->TextOut(20, 480, fitted);

  // Twice the glyph row and three times the smallest frame, for the eye.
  TBitmap zoom;
  zoom.SetPixelFormat(pf32bit);
  zoom.SetSize(x - 20, 16);
  zoom.Canvas()->CopyRect(TRect{0, 0, x - 20, 16}, c, TRect{20, 360, x, 376});
  c->StretchDraw(TRect{20, 510, 20 + 2 * (x - 20), 542}, &zoom);
  TBitmap small;
  small.SetPixelFormat(pf32bit);
  small.SetSize(60, 40);
  small.Canvas()->CopyRect(TRect{0, 0, 60, 40}, c, TRect{80, 215, 140, 255});
  c->StretchDraw(TRect{20, 560, 200, 680}, &small);
  c->StretchDraw(TRect{220, 560, 340, 650}, pic.get());

  TBitmap out;
  out.Assign(&sheet);
  out.SetPixelFormat(pf24bit);
  img::Bytes png = img::WritePng(out.ToRawImage());
  const std::string path = std::string(OMBREL_TEST_BUILD_DIR) + "/skin-drawing-sheet.png";
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f);
  ASSERT_EQ(std::fwrite(png.data(), 1, png.size(), f), png.size());
  std::fclose(f);
}

}  // namespace
