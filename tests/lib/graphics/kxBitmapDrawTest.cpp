// Drawing a 32-bit bitmap: the stretch kernels of both families against a picture whose pixels
// hold their own coordinates, clipping, the device paths, tiles, merging, importing a graphic,
// fills, flips and reflections.
#include <gtest/gtest.h>

#include <random>

#include "lib/graphics/kxBitmap.h"

namespace {

constexpr TkxColor ARGB(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

// Pixel (x, y) is opaque with x in green and y in blue.
TkxColor Code(int x, int y) { return 0xFF000000u | (uint32_t(x) << 8) | uint32_t(y); }
int CodeX(TkxColor p) { return int((p >> 8) & 0xFF); }

std::unique_ptr<TkxBitmap> Coded(int w, int h) {
  auto b = std::make_unique<TkxBitmap>();
  b->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) *b->PixelAddress(x, y) = Code(x, y);
  return b;
}

std::unique_ptr<TkxBitmap> Plain(int w, int h, TkxColor c) {
  auto b = std::make_unique<TkxBitmap>();
  b->SetSize(w, h);
  b->Clear(c);
  return b;
}

constexpr TkxColor kBack = 0x12345678;

TEST(kx_draw, BitmapStretchSamplesTheTruncatedMap) {
  auto src = Coded(8, 5);
  auto dst = Plain(13, 9, kBack);
  src->Draw(dst.get(), Rect(1, 1, 12, 8));  // 8 x 5 over 11 x 7
  const int cols[11] = {0, 0, 1, 2, 2, 3, 4, 4, 5, 6, 6};
  const int rows[7] = {0, 0, 1, 2, 2, 3, 4};
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 13; ++x) {
      TkxColor p = *dst->PixelAddress(x, y);
      if (x < 1 || x >= 12 || y < 1 || y >= 8)
        EXPECT_EQ(p, kBack) << x << "," << y;
      else
        EXPECT_EQ(p, Code(cols[x - 1], rows[y - 1])) << x << "," << y;
    }
  // 3 wide over 5, and the middle column when one pixel wide.
  auto line = Plain(5, 1, 0);
  Coded(3, 1)->Draw(line.get(), Rect(0, 0, 5, 1));
  const int want[5] = {0, 0, 1, 1, 2};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(CodeX(line->Bits()[x]), want[x]);
  auto one = Plain(1, 1, 0);
  Coded(11, 3)->Draw(one.get(), Rect(0, 0, 1, 1), Rect(0, 0, 10, 3));
  EXPECT_EQ(one->Bits()[0], Code(4, 1));
}

TEST(kx_draw, DibStretchSamplesTheRoundedMapIntoBottomUpRows) {
  auto src = Coded(8, 5);
  const int W = 13, H = 9;
  std::vector<TkxColor> dib(size_t(W * H), kBack);
  auto at = [&](int x, int y) { return dib[size_t(W * (H - y - 1) + x)]; };
  DibStretchOpaque(dib.data(), Rect(1, 1, 12, 8), Rect(0, 0, 100, 100), Rect(0, 0, 8, 5), src.get(), H, W);
  const int cols[11] = {0, 1, 1, 2, 3, 3, 4, 5, 6, 6, 7};
  const int rows[7] = {0, 1, 1, 2, 3, 3, 4};
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      if (x < 1 || x >= 12 || y < 1 || y >= 8)
        EXPECT_EQ(at(x, y), kBack) << x << "," << y;
      else
        EXPECT_EQ(at(x, y), Code(cols[x - 1], rows[y - 1])) << x << "," << y;
    }
  std::vector<TkxColor> line(5, 0);
  DibStretchOpaque(line.data(), Rect(0, 0, 5, 1), Rect(0, 0, 5, 1), Rect(0, 0, 3, 1), Coded(3, 1).get(), 1, 5);
  const int want[5] = {0, 0, 1, 2, 2};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(CodeX(line[size_t(x)]), want[x]);
  // The keyed and blended DIB kernels share the map.
  auto keyed = Coded(3, 2);
  keyed->Bits()[1] = 0x807F007F;
  std::vector<TkxColor> k(10, kBack);
  DibStretchKeyed(k.data(), Rect(0, 0, 5, 2), Rect(0, 0, 5, 2), Rect(0, 0, 3, 2), keyed.get(), 2, 5);
  // Image row 0 is the last in memory: columns 0, 0, 1 (key: left), 2, 2.
  EXPECT_EQ(k[5], Code(0, 0));
  EXPECT_EQ(k[7], kBack);
  EXPECT_EQ(k[8], Code(2, 0));
  EXPECT_EQ(k[2], Code(1, 1));
}

TEST(kx_draw, ClippedDestinationTakesItsOwnSourcePixels) {
  for (bool stretch : {false, true}) {
    auto src = Coded(6, 6);
    auto dst = Plain(5, 5, kBack);
    TRect d = stretch ? Rect(-3, -2, 9, 10) : Rect(-3, -2, 3, 4);
    src->Draw(dst.get(), d);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x) {
        TkxColor p = *dst->PixelAddress(x, y);
        if (x >= d.right || y >= d.bottom) {
          EXPECT_EQ(p, kBack);
          continue;
        }
        int i = x - d.left, j = y - d.top;
        int sx = stretch ? int(i * double(float(5.0 / 11.0))) : i;
        int sy = stretch ? int(j * double(float(5.0 / 11.0))) : j;
        EXPECT_EQ(p, Code(sx, sy)) << stretch << " " << x << "," << y;
      }
  }
  // A source reaching one pixel past the right edge draws nothing.
  auto dst = Plain(5, 5, kBack);
  Coded(4, 4)->Draw(dst.get(), 0, 0, Rect(0, 0, 5, 4));
  Coded(4, 4)->Draw(dst.get(), Rect(0, 0, 5, 5), Rect(-1, 0, 4, 4));
  for (int i = 0; i < 25; ++i) EXPECT_EQ(dst->Bits()[i], kBack);
}

TEST(kx_draw, KeyedAndBlendedBitmapDraws) {
  auto src = Plain(3, 1, 0);
  src->Bits()[0] = 0x207F007F;            // key: skipped
  src->Bits()[1] = ARGB(9, 1, 2, 3);      // copied opaque
  src->Bits()[2] = ARGB(128, 255, 255, 255);
  src->Transparent = true;
  auto dst = Plain(3, 1, 0xFFFFFFFF);
  src->Draw(dst.get(), 0, 0);
  EXPECT_EQ(dst->Bits()[0], 0xFFFFFFFFu);
  EXPECT_EQ(dst->Bits()[1], ARGB(255, 1, 2, 3));
  EXPECT_EQ(dst->Bits()[2], ARGB(255, 255, 255, 255));
  // Both flags: the blend path, with the formula of the chosen table.
  src->AlphaBlend = true;
  dst->Clear(0xFF000000);
  auto wide = Plain(6, 1, 0xFF000000);
  src->Draw(wide.get(), Rect(0, 0, 6, 1));  // stretched 3 -> 6: columns 0, 0, 0, 1, 1, 2
  const TkxColor from[6] = {0x207F007F, 0x207F007F, 0x207F007F, ARGB(9, 1, 2, 3), ARGB(9, 1, 2, 3),
                            ARGB(128, 255, 255, 255)};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(wide->Bits()[x], BlendPixel(from[x], 0xFF000000)) << x;
}

// Random rectangles, many outside or huge: only pixels inside the clipped destination change,
// and nothing is read or written outside a bitmap (the sanitizers watch).
TEST(kx_draw, AnyRectangleStaysInsideTheBitmaps) {
  std::mt19937 rng(22);
  std::uniform_int_distribution<int> coord(-12, 20), pick(0, 9);
  auto rnd = [&]() {
    if (pick(rng) == 0) return pick(rng) < 5 ? INT32_MIN / 2 : INT32_MAX / 2;
    return coord(rng);
  };
  auto src = Coded(7, 5);
  src->Bits()[3] = 0x457F007F;
  src->Bits()[8] = 0x80112233;
  for (int round = 0; round < 3000; ++round) {
    TRect d{rnd(), rnd(), rnd(), rnd()}, s{rnd(), rnd(), rnd(), rnd()}, c{rnd(), rnd(), rnd(), rnd()};
    src->AlphaBlend = round % 3 == 1;
    src->Transparent = round % 3 == 2;
    auto dst = Plain(9, 7, kBack);
    std::vector<TkxColor> dib(9 * 7, kBack);
    switch (round % 4) {
      case 0: src->Draw(dst.get(), d, s); break;
      case 1: StretchOpaque(dst.get(), d, c, s, src.get()); break;
      case 2: src->MergeDraw(dst.get(), d.left, d.top, s); break;
      case 3: dst->FillRect(d, 0x80FFFFFF); break;
    }
    (round % 2 ? DibStretchBlended : DibStretchKeyed)(dib.data(), d, c, s, src.get(), 7, 9);
    SameSizeCopy(dst.get(), c, src.get(), s.left, s.top);
    if (round % 4 == 2) continue;  // MergeDraw: the source goes underneath
    TRect hit = IntersectRects(d, Rect(0, 0, 9, 7));
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 9; ++x)
        if (!PtInRectRule(hit, x, y) && !PtInRectRule(c, x, y)) {
          ASSERT_EQ(*dst->PixelAddress(x, y), kBack) << round << " at " << x << "," << y;
        }
  }
  // Device paths with negative extents draw nothing (and make no temporary bitmap).
  auto target = Plain(6, 6, kBack);
  src->AlphaBlend = true;
  DeviceDrawBlended(target->Canvas()->Handle(), 5, 5, -3, -3, src.get(), 0, 0, 3, 3);
  src->AlphaBlend = false;
  src->Transparent = true;
  DeviceDrawKeyed(target->Canvas()->Handle(), 0, 0, 3, 3, src.get(), 3, 3, -3, -3);
  for (int i = 0; i < 36; ++i) EXPECT_EQ(target->Bits()[i], kBack);
}

// ---- Device draws ------------------------------------------------------------------------------------
std::unique_ptr<TBitmap> ClassBitmap(int w, int h, TColor fill) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(fill);
  b->Canvas()->FillRect(Rect(0, 0, w, h));
  return b;
}

uint32_t At(TBitmap& b, int x, int y) { return static_cast<uint32_t*>(b.ScanLine(y))[x]; }

TEST(kx_draw, DeviceDrawThroughTheThreePaths) {
  auto src = Coded(4, 3);
  src->Bits()[0] = ARGB(128, 255, 255, 255);
  src->Bits()[1] = 0xFF7F007F;
  for (int mode = 0; mode < 3; ++mode) {
    src->AlphaBlend = mode == 1;
    src->Transparent = mode == 2;
    auto b = ClassBitmap(8, 6, clBlack);
    src->Draw(b->Canvas(), 2, 1);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) {
        uint32_t p = At(*b, x, y);
        bool inside = x >= 2 && x < 6 && y >= 1 && y < 4;
        if (!inside) {
          EXPECT_EQ(p, 0u) << mode << " " << x << "," << y;
          continue;
        }
        TkxColor s = *src->PixelAddress(x - 2, y - 1);
        TkxColor want = mode == 0 ? s : mode == 1 ? (s >> 24 == 255 ? s : BlendPixel(s, 0)) : (IsKeyPixel(s) ? 0 : s | 0xFF000000);
        if (mode == 1 && (s >> 24) == 0) want = 0;
        EXPECT_EQ(p, want) << mode << " " << x << "," << y;
      }
  }
  // Stretched through the device: the opaque path is the layer's StretchBlt.
  src->AlphaBlend = src->Transparent = false;
  auto b = ClassBitmap(8, 6, clBlack);
  src->Draw(b->Canvas()->Handle(), Rect(0, 0, 8, 6));
  EXPECT_EQ(At(*b, 7, 5), Code(3, 2));
}

TEST(kx_draw, DrawOntoAnotherBitmapsDCUsesItsOrigin) {
  auto src = Coded(3, 3);
  auto dst = Plain(10, 10, kBack);
  win::SetWindowOrgEx(dst->Canvas()->Handle(), 5, 5, nullptr);
  src->Draw(dst->Canvas(), 6, 7);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(*dst->PixelAddress(1 + x, 2 + y), Code(x, y));
  EXPECT_EQ(*dst->PixelAddress(6, 7), kBack);
  // The DC's clip is kept too, as the GDI path would.
  win::SetWindowOrgEx(dst->DC(), 0, 0, nullptr);
  dst->Clear(kBack);
  win::IntersectClipRect(dst->DC(), 0, 0, 2, 10);
  src->Draw(dst->DC(), 0, 0);
  EXPECT_EQ(*dst->PixelAddress(1, 1), Code(1, 1));
  EXPECT_EQ(*dst->PixelAddress(2, 1), kBack);
  win::SelectClipRgn(dst->DC(), nullptr);
}

// ---- Tiles --------------------------------------------------------------------------------------------
void ExpectTiled(const TkxBitmap& dst, const TRect& r, int tile, const char* what) {
  for (int y = 0; y < dst.Height(); ++y)
    for (int x = 0; x < dst.Width(); ++x) {
      TkxColor p = *dst.PixelAddress(x, y);
      if (PtInRectRule(r, x, y))
        ASSERT_EQ(p, Code((x - r.left) % tile, (y - r.top) % tile)) << what << " " << x << "," << y;
      else
        ASSERT_EQ(p, kBack) << what << " " << x << "," << y;
    }
}

TEST(kx_draw, TilePiecesStartTopLeftAndAreCut) {
  auto src = Coded(12, 12);
  TRect tile = Rect(0, 0, 10, 10), r = Rect(1, 2, 26, 14);  // 25 x 12
  auto dst = Plain(30, 16, kBack);
  src->Tile(dst.get(), r, tile);
  ExpectTiled(*dst, r, 10, "bitmap");

  // The same pixels through a bitmap's DC, a bottom-up DIB section written directly, and a
  // class-library bitmap's canvas drawn through the device paths.
  auto viaDC = Plain(30, 16, kBack);
  src->Tile(viaDC->DC(), r, tile);
  ExpectTiled(*viaDC, r, 10, "registered DC");

  win::BITMAPINFO bi{};
  bi.bmiHeader.biWidth = 30;
  bi.bmiHeader.biHeight = 16;  // bottom-up
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  win::HBITMAP dib = win::CreateDIBSection(nullptr, &bi, win::DIB_RGB_COLORS, &bits, nullptr, 0);
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::HGDIOBJ old = win::SelectObject(dc, dib);
  int32_t w, h, bpp;
  ASSERT_EQ(DeviceBitmapInfo(dc, w, h, bpp), bits);
  EXPECT_EQ(w, 30);
  EXPECT_EQ(h, 16);
  EXPECT_EQ(bpp, 32);
  std::fill_n(static_cast<TkxColor*>(bits), 30 * 16, kBack);
  src->Tile(dc, r, tile);
  auto copy = Plain(30, 16, 0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 30; ++x) *copy->PixelAddress(x, y) = static_cast<TkxColor*>(bits)[(15 - y) * 30 + x];
  ExpectTiled(*copy, r, 10, "bottom-up DIB");
  win::SelectObject(dc, old);
  win::DeleteObject(dib);
  win::DeleteDC(dc);

  auto cls = ClassBitmap(30, 16, clBlack);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 30; ++x) static_cast<uint32_t*>(cls->ScanLine(y))[x] = kBack;
  src->Tile(cls->Canvas(), r, tile);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 30; ++x) *copy->PixelAddress(x, y) = At(*cls, x, y);
  ExpectTiled(*copy, r, 10, "class bitmap");

  // An empty source rectangle draws nothing.
  auto none = Plain(30, 16, kBack);
  src->Tile(none.get(), r, Rect(3, 3, 3, 9));
  src->Tile(none->DC(), r, Rect(3, 3, 9, 3));
  ExpectTiled(*none, Rect(0, 0, 0, 0), 10, "empty source");
}

TEST(kx_draw, DeviceBitmapInfoOnlyForDibSections) {
  win::HDC screen = win::GetDC(nullptr);
  win::HBITMAP ddb = win::CreateCompatibleBitmap(screen, 4, 4);
  win::ReleaseDC(nullptr, screen);
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::HGDIOBJ old = win::SelectObject(dc, ddb);
  int32_t w = 7, h = 7, bpp = 7;
  EXPECT_EQ(DeviceBitmapInfo(dc, w, h, bpp), nullptr);
  EXPECT_EQ(w + h + bpp, 0);
  win::SelectObject(dc, old);
  win::DeleteObject(ddb);
  win::DeleteDC(dc);
  TkxBitmap k;
  k.SetSize(3, 2);
  EXPECT_EQ(DeviceBitmapInfo(k.DC(), w, h, bpp), k.Bits());
  EXPECT_EQ(h, -2);  // top-down: Tile does not write it directly
}

TEST(kx_draw, TileClipDrawsWholeTilesTouchingTheClip) {
  auto src = Coded(10, 10);
  TRect r = Rect(0, 0, 25, 12);
  auto dst = Plain(25, 12, kBack);
  src->TileClip(dst.get(), r, Rect(12, 1, 13, 2), Rect(0, 0, 10, 10));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 25; ++x) {
      bool second = x >= 10 && x < 20 && y < 10;
      EXPECT_EQ(*dst->PixelAddress(x, y), second ? Code(x - 10, y) : kBack) << x << "," << y;
    }
  auto all = Plain(25, 12, kBack);
  src->TileClip(all->DC(), r, Rect(0, 0, 0, 0), Rect(0, 0, 10, 10));
  ExpectTiled(*all, r, 10, "empty clip");
}

// ---- Merge, fill, flip, reflections, import ---------------------------------------------------------------
TEST(kx_draw, MergeDrawGoesUnderneath) {
  auto dst = Plain(4, 1, 0);
  dst->Bits()[0] = ARGB(255, 1, 1, 1);
  dst->Bits()[1] = ARGB(0, 9, 9, 9);
  dst->Bits()[2] = ARGB(128, 255, 255, 255);
  auto src = Plain(4, 1, ARGB(77, 0, 0, 0));
  dst->MergeDraw(src.get(), 0, 0, Rect(0, 0, 4, 1));
  EXPECT_EQ(dst->Bits()[0], ARGB(255, 1, 1, 1));
  EXPECT_EQ(dst->Bits()[1], ARGB(77, 0, 0, 0));
  EXPECT_EQ(dst->Bits()[2], BlendPixel(ARGB(128, 255, 255, 255), ARGB(77, 0, 0, 0)));
  // A negative source start moves the destination; positions outside are skipped.
  auto coded = Coded(5, 5);
  auto under = Plain(3, 3, 0);
  under->MergeDraw(coded.get(), 0, 0, Rect(-1, -2, 9, 9));
  EXPECT_EQ(*under->PixelAddress(0, 0), 0u);
  EXPECT_EQ(*under->PixelAddress(1, 2), Code(0, 0));
  EXPECT_EQ(*under->PixelAddress(2, 2), Code(1, 0));
}

TEST(kx_draw, FillRectBlendsOrStores) {
  auto b = Plain(4, 4, 0xFF102030);
  b->AlphaBlend = true;
  b->FillRect(Rect(0, 0, 4, 4), 0x00FFFFFF);
  EXPECT_EQ(b->Bits()[5], 0xFF102030u);
  b->FillRect(Rect(-9, 2, 2, 99), ARGB(128, 255, 255, 255));
  EXPECT_EQ(b->Bits()[8], BlendPixel(ARGB(128, 255, 255, 255), 0xFF102030));
  EXPECT_EQ(b->Bits()[2], 0xFF102030u);
  b->AlphaBlend = false;
  b->FillRect(Rect(3, 3, 10, 10), 0x00FFFFFF);
  EXPECT_EQ(b->Bits()[15], 0x00FFFFFFu);
  EXPECT_EQ(b->Bits()[14], 0xFF102030u);
}

TEST(kx_draw, FlipAndReflections) {
  auto b = Coded(2, 3);
  b->FlipVert();
  EXPECT_EQ(*b->PixelAddress(1, 0), Code(1, 2));
  EXPECT_EQ(*b->PixelAddress(1, 1), Code(1, 1));
  EXPECT_EQ(*b->PixelAddress(1, 2), Code(1, 0));

  struct Case {
    void (TkxBitmap::*op)();
    uint32_t alphas[4];
  };
  // Alpha 255 over 4 rows: k = 1, 0.5, 0, -0.5; Round(127.5) = 128.
  const Case cases[] = {{&TkxBitmap::Reflection, {85, 42, 0, 0}},
                        {&TkxBitmap::Reflection2, {63, 32, 0, 0}},
                        {&TkxBitmap::Reflection3, {127, 64, 0, 0}}};
  for (const auto& c : cases) {
    auto r = Coded(1, 4);
    r->Bits()[3] = 0x00ABCDEF;  // clear pixels stay clear, colours are kept
    ((*r).*c.op)();
    EXPECT_EQ(r->Bits()[0], 0x00ABCDEFu);
    for (int y = 1; y < 4; ++y) EXPECT_EQ(r->Bits()[y], (c.alphas[y] << 24) | (Code(0, 3 - y) & 0xFFFFFF)) << y;
  }
}

// A graphic that fills what it is given, with one magenta pixel one in from the corner.
class FillGraphic : public TGraphic {
public:
  FillGraphic(int w, int h, TColor c) : W(w), H(h), C(c) {}
  bool Empty() const override { return false; }
  int32_t Width() const override { return W; }
  int32_t Height() const override { return H; }
  void SetWidth(int32_t) override {}
  void SetHeight(int32_t) override {}
  void LoadFromStream(TStream&) override {}
  void SaveToStream(TStream&) override {}
  void Draw(TCanvas* ACanvas, const TRect& R) override {
    ACanvas->Brush()->SetColor(C);
    ACanvas->FillRect(R);
    ACanvas->SetPixels(R.left + 1, R.top + 1, TColor(0xFF00FF));
  }
  std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<FillGraphic>(W, H, C); }
  int W, H;
  TColor C;
};

TEST(kx_draw, DrawGraphicKeepsWhatTheGraphicLeaves) {
  FillGraphic g(2, 2, TColor(0x00332211));
  auto b = Plain(4, 2, kBack);
  b->DrawGraphic(&g, Rect(0, 0, 2, 2));  // the left half
  EXPECT_EQ(*b->PixelAddress(0, 0), 0x00112233u);  // GDI drawing leaves alpha 0
  EXPECT_EQ(*b->PixelAddress(1, 0), 0x00112233u);
  EXPECT_EQ(*b->PixelAddress(1, 1), kBack);  // magenta is not copied
  EXPECT_EQ(*b->PixelAddress(2, 0), kBack);
  EXPECT_EQ(*b->PixelAddress(3, 1), kBack);

  // Assign from a graphic draws it the same way, then makes every pixel opaque.
  TkxBitmap a;
  a.Assign(&g);
  ASSERT_EQ(a.Width(), 2);
  EXPECT_EQ(a.Bits()[0], 0xFF112233u);
  EXPECT_EQ(a.Bits()[3], 0xFF000000u);  // the magenta pixel left the new bitmap's 0, made opaque
}

TEST(kx_draw, LinkDrawsItsPart) {
  auto img = Coded(8, 8);
  auto link = img->GetBitmapLink(Rect(2, 3, 5, 7));
  auto dst = Plain(6, 6, kBack);
  link->Draw(dst.get(), 1, 1);
  EXPECT_EQ(*dst->PixelAddress(1, 1), Code(2, 3));
  EXPECT_EQ(*dst->PixelAddress(3, 4), Code(4, 6));
  EXPECT_EQ(*dst->PixelAddress(4, 4), kBack);
  link->Rect = Rect(2, 3, 2, 7);
  dst->Clear(kBack);
  link->Draw(dst.get(), 0, 0);
  link->Draw(dst->Canvas(), 0, 0);
  for (int i = 0; i < 36; ++i) EXPECT_EQ(dst->Bits()[i], kBack);
}

TEST(kx_draw, InertPrimitivesDrawNothing) {
  auto b = Plain(3, 3, kBack);
  TRect bounds = Rect(0, 0, 3, 3);
  EXPECT_EQ(b->DrawText("文字", bounds, 0), 0);
  EXPECT_TRUE(IsEqualRects(bounds, Rect(0, 0, 3, 3)));
  b->FillRoundRect(bounds, 2, 0);
  b->LineTo(2, 2, 0);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(b->Bits()[i], kBack);
}

}  // namespace

namespace {

// Whole drawing operations on random pictures of odd sizes give the same pixels through the
// fast kernels (SSE2 alone, and with the AVX2 alpha draw where the processor has it) as through
// the portable ones, for both blend formulas.
TEST(kx_draw, FastKernelsDrawLikePortableOnesOnRandomPictures) {
  std::mt19937 rng(1922);
  auto random = [&](int w, int h) {
    auto b = std::make_unique<TkxBitmap>();
    b->SetSize(w, h);
    for (int i = 0; i < w * h; ++i) {
      uint32_t v = uint32_t(rng());
      switch (v % 5) {
        case 0: v &= 0x00FFFFFF; break;
        case 1: v |= 0xFF000000; break;
        case 2: v = (v & 0xFF000000) | kxKeyColor; break;
        default: break;
      }
      b->Bits()[i] = v;
    }
    return b;
  };
  const std::pair<int, int> sizes[] = {{1, 1}, {3, 5}, {7, 3}, {13, 11}, {31, 17}, {65, 9}};
  for (auto [w, h] : sizes)
    for (bool mmx : {false, true}) {
      auto src = random(w, h), back = random(w + 6, h + 4);
      std::vector<TkxColor> results[3];
      for (int fast = 0; fast < 3; ++fast) {
        SelectPixelKernels(mmx, fast >= 1, fast == 2);
        auto dst = std::make_unique<TkxBitmap>();
        dst->Assign(back.get());
        for (int mode = 0; mode < 3; ++mode) {
          src->AlphaBlend = mode == 1;
          src->Transparent = mode == 2;
          src->Draw(dst.get(), 1, 2);
          src->Draw(dst.get(), Rect(-2, 1, w * 2 + 1, h + 3));
          src->Tile(dst.get(), Rect(0, 0, w + 5, h + 3), Rect(0, 0, (w + 1) / 2, (h + 1) / 2));
        }
        dst->AlphaBlend = true;
        dst->FillRect(Rect(1, 1, w, h), src->Bits()[0]);
        dst->AlphaBlend = false;
        dst->MergeDraw(src.get(), 2, 1, Rect(0, 0, w, h));
        dst->SetAlpha(0x7E, Rect(0, 0, w / 2 + 1, h));
        dst->FillRect(Rect(w / 2, 0, w + 6, 1), 0xABCDEF12);
        results[fast].assign(dst->Bits(), dst->Bits() + (w + 6) * (h + 4));
      }
      EXPECT_EQ(results[0], results[1]) << w << "x" << h << (mmx ? " vector-unit formula" : " plain formula");
      EXPECT_EQ(results[0], results[2]) << w << "x" << h << (mmx ? " vector-unit formula" : " plain formula");
    }
  SelectPixelKernels();
}

}  // namespace

namespace {

// Destinations and links far larger than any picture cost only what the target can show.
TEST(kx_draw, HugeRectanglesCostOnlyWhatIsVisible) {
  const int32_t big = 1 << 30;
  auto src = Coded(10, 10);
  auto dst = Plain(12, 7, kBack);
  src->Tile(dst.get(), Rect(-big, -big, big, big), Rect(0, 0, 10, 10));
  // 2^30 mod 10 = 4: the tile phase of the far corner.
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(*dst->PixelAddress(x, y), Code((x + 4) % 10, (y + 4) % 10)) << x << "," << y;
  dst->Clear(kBack);
  src->TileClip(dst->DC(), Rect(-big, -big, big, big), Rect(0, 0, 0, 0), Rect(0, 0, 10, 10));
  EXPECT_EQ(*dst->PixelAddress(11, 6), Code(5, 0));

  // The blended device path reads back only the visible part of a huge stretched destination.
  auto over = Plain(2, 2, ARGB(128, 255, 255, 255));
  over->AlphaBlend = true;
  auto b = ClassBitmap(8, 6, clBlack);
  over->Draw(b->Canvas(), Rect(-100000, -100000, 100000, 100000));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(At(*b, x, y), BlendPixel(ARGB(128, 255, 255, 255), 0)) << x << "," << y;
  // Partly outside on the left and top: the visible pixels take their own source pixels.
  auto coded = Coded(4, 4);
  coded->Transparent = true;
  auto c = ClassBitmap(8, 6, clBlack);
  coded->Draw(c->Canvas(), -2, -1);
  EXPECT_EQ(At(*c, 0, 0), Code(2, 1));
  EXPECT_EQ(At(*c, 1, 2), Code(3, 3));
  EXPECT_EQ(At(*c, 2, 0), 0u);

  auto link = src->GetBitmapLink(Rect(-big, -big, big, big));
  link->CheckingMasked();
  EXPECT_TRUE(link->Masked);
  link->CheckingMasked(Rect(4, 4, 4, 4));
  EXPECT_TRUE(link->Masked && link->MaskedBorder && link->MaskedAngles);
  // Inside the image and opaque: only a reaching-out region sets its flag.
  link->Rect = Rect(0, 0, 10, 12);
  link->CheckingMasked(Rect(2, 2, 2, 2));
  EXPECT_FALSE(link->Masked);
  EXPECT_TRUE(link->MaskedBorder);  // the bottom edge covers rows 10 and 11
  EXPECT_TRUE(link->MaskedAngles);
}

}  // namespace
