// The 32-bit bitmap: sizing and the registry, conversions with the class library's pictures,
// the stream record, the PCX reader, pixel state, colour changes and links.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "base/Exception.h"
#include "base/Stream.h"
#include "lib/graphics/kxBitmap.h"

namespace {

constexpr TkxColor ARGB(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

std::vector<uint8_t> Bytes(TMemoryStream& s) { return std::vector<uint8_t>(s.Memory(), s.Memory() + s.Size()); }

void Put32(std::vector<uint8_t>& v, int32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(uint8_t(uint32_t(x) >> (8 * i)));
}

struct MemStream : TMemoryStream {
  explicit MemStream(const std::vector<uint8_t>& v) {
    if (!v.empty()) WriteBuffer(v.data(), int64_t(v.size()));
    SetPosition(0);
  }
};

TEST(kx_bitmap, SetSizeTakesAbsoluteSizesAndKeepsPixelsOnNoChange) {
  TkxBitmap b;
  EXPECT_TRUE(b.Empty());
  b.SetSize(-10, 5);
  ASSERT_EQ(b.Width(), 10);
  ASSERT_EQ(b.Height(), 5);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(b.Bits()[i], 0u);
  b.Clear(0x12345678);
  b.SetSize(0, 5);
  b.SetSize(10, 5);
  b.SetSize(10, -5);
  EXPECT_EQ(b.Width(), 10);
  EXPECT_EQ(b.Bits()[49], 0x12345678u);
  b.SetSize(3, 4);  // another size: new, zeroed pixels
  EXPECT_EQ(b.Bits()[11], 0u);
}

TEST(kx_bitmap, HugeSizesAreRefusedAndLeaveTheBitmapEmpty) {
  for (auto [w, h] : {std::pair{INT32_MIN, 1}, std::pair{100000, 100000}, std::pair{1 << 20, -(1 << 10)}}) {
    TkxBitmap b;
    b.SetSize(4, 4);
    win::HDC old = b.DC();
    try {
      b.SetSize(w, h);
      FAIL() << w << "x" << h;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message, "Can't allocate the DIB handle");
    }
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(b.Bits(), nullptr);
    EXPECT_EQ(FindBitmapByDC(old), nullptr);
    EXPECT_EQ(FindBitmapByDC(nullptr), nullptr);
    b.SetSize(2, 2);  // usable again
    EXPECT_EQ(FindBitmapByDC(b.DC()), &b);
  }
}

TEST(kx_bitmap, Registry) {
  FreeBitmapRegistry();
  EXPECT_EQ(FindBitmapByDC(nullptr), nullptr);
  win::HDC former;
  {
    TkxBitmap a, b;
    EXPECT_EQ(FindBitmapByDC(a.DC()), nullptr);  // a null DC never matches
    a.SetSize(2, 2);
    a.SetSize(3, 3);
    a.SetSize(4, 4);
    b.SetSize(4, 4);
    EXPECT_EQ(FindBitmapByDC(a.DC()), &a);
    EXPECT_EQ(FindBitmapByDC(b.DC()), &b);
    // Registered once however often resized: unregistering once removes it.
    UnregisterBitmap(&a);
    EXPECT_EQ(FindBitmapByDC(a.DC()), nullptr);
    RegisterBitmap(&a);
    former = a.DC();
  }
  EXPECT_EQ(FindBitmapByDC(former), nullptr);
  UnregisterBitmap(nullptr);
}

TEST(kx_bitmap, CanvasFollowsTheDC) {
  TkxBitmap b;
  b.SetSize(4, 4);
  TCanvas* c = b.Canvas();
  EXPECT_EQ(c, b.Canvas());
  EXPECT_EQ(c->Handle(), b.DC());
  b.SetSize(6, 6);
  EXPECT_EQ(c->Handle(), b.DC());
  c->Brush()->SetColor(clRed);
  c->FillRect(Rect(0, 0, 6, 6));
  // Drawing through the canvas writes the pixels; GDI leaves alpha 0.
  EXPECT_EQ(b.Bits()[35], 0x00FF0000u);
}

// ---- Conversions ------------------------------------------------------------------------------------
TEST(kx_bitmap, AssignFromAnotherBitmap) {
  TkxBitmap src, dst;
  src.Name = "名字";
  src.AlphaBlend = true;
  src.Transparent = true;
  dst.SetSize(20, 20);
  dst.Clear(0xFF010203);
  dst.Assign(&src);  // empty source: size and pixels stay, name and flags are taken
  EXPECT_EQ(dst.Width(), 20);
  EXPECT_EQ(dst.Bits()[399], 0xFF010203u);
  EXPECT_EQ(dst.Name, "名字");
  EXPECT_TRUE(dst.AlphaBlend && dst.Transparent);

  src.SetSize(3, 2);
  for (int i = 0; i < 6; ++i) src.Bits()[i] = TkxColor(i * 0x01010101);
  src.AlphaBlend = false;
  dst.Assign(&src);
  EXPECT_EQ(dst.Width(), 3);
  EXPECT_EQ(dst.Height(), 2);
  EXPECT_EQ(std::memcmp(dst.Bits(), src.Bits(), 24), 0);
  EXPECT_FALSE(dst.AlphaBlend);
}

std::unique_ptr<TBitmap> ClassBitmap(TPixelFormat pf, int w, int h) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf);
  b->SetSize(w, h);
  return b;
}

TEST(kx_bitmap, AssignFromClassLibraryBitmaps) {
  auto b32 = ClassBitmap(pf32bit, 3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) static_cast<uint32_t*>(b32->ScanLine(y))[x] = (x + y) % 2 ? 0xFF102030 : 0x00405060;
  TkxBitmap k;
  k.Assign(b32.get());
  EXPECT_EQ(k.Width(), 3);
  EXPECT_EQ(k.Bits()[0], 0x00405060u);  // alpha kept
  EXPECT_EQ(k.Bits()[1], 0xFF102030u);
  EXPECT_FALSE(k.AlphaBlend);
  static_cast<uint32_t*>(b32->ScanLine(1))[2] = 0x80102030;
  k.Assign(b32.get());
  EXPECT_TRUE(k.AlphaBlend);
  EXPECT_EQ(*k.PixelAddress(2, 1), 0x80102030u);

  auto b24 = ClassBitmap(pf24bit, 2, 2);
  b24->Canvas()->Brush()->SetColor(TColor(0x00332211));
  b24->Canvas()->FillRect(Rect(0, 0, 2, 2));
  k.Assign(b24.get());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(k.Bits()[i], 0xFF112233u);

  TPicture pic;
  pic.SetGraphic(b24.get());
  TkxBitmap p;
  p.Assign(&pic);
  EXPECT_EQ(p.Width(), 2);
  EXPECT_EQ(p.Bits()[3], 0xFF112233u);
  TPicture none;
  p.Assign(&none);  // a picture without a graphic changes nothing
  EXPECT_EQ(p.Width(), 2);

  TFont font;
  EXPECT_THROW(p.Assign(&font), EConvertError);
}

TEST(kx_bitmap, AssignToClassLibraryBitmap) {
  TkxBitmap k;
  k.SetSize(2, 2);
  k.Clear(0xFF00FF00);
  TBitmap b;
  b.Assign(&k);
  ASSERT_EQ(b.Width(), 2);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(static_cast<uint32_t*>(b.ScanLine(1))[1] & 0xFFFFFF, 0x00FF00u);

  // A blended bitmap is blended over what the target holds.
  k.Clear(ARGB(128, 255, 255, 255));
  k.AlphaBlend = true;
  TBitmap black;
  black.SetPixelFormat(pf32bit);
  black.SetSize(2, 2);
  black.Canvas()->Brush()->SetColor(clBlack);
  black.Canvas()->FillRect(Rect(0, 0, 2, 2));
  black.Assign(&k);
  uint32_t px = static_cast<uint32_t*>(black.ScanLine(0))[0];
  EXPECT_EQ(px & 0xFFFFFF, 0x7F7F7Fu);

  TFont font;
  EXPECT_THROW(font.Assign(&k), EConvertError);
}

// ---- Stream record -----------------------------------------------------------------------------------
TEST(kx_bitmap, StreamRecordBytes) {
  TkxBitmap b;
  b.Name = "ab";
  b.SetSize(2, 1);
  b.Bits()[0] = 0x44332211;
  b.Bits()[1] = 0x88776655;
  TMemoryStream s;
  b.SaveToStream(s);
  const std::vector<uint8_t> want = {2, 0, 0, 0, 'a', 0, 'b', 0, 2, 0, 0, 0, 1, 0, 0, 0,
                                     0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
  EXPECT_EQ(Bytes(s), want);
}

TEST(kx_bitmap, StreamRecordRoundTrip) {
  TkxBitmap b;
  b.Name = "皮肤 skin";
  b.SetSize(5, 3);
  for (int i = 0; i < 15; ++i) b.Bits()[i] = TkxColor(0x80000000u + i * 977);
  b.AlphaBlend = b.Transparent = true;
  TMemoryStream s;
  b.SaveToStream(s);
  TkxBitmap empty;
  empty.SaveToStream(s);
  s.SetPosition(0);
  TkxBitmap c, d;
  c.LoadFromStream(s);
  EXPECT_EQ(c.Name, "皮肤 skin");
  ASSERT_EQ(c.Width(), 5);
  ASSERT_EQ(c.Height(), 3);
  EXPECT_EQ(std::memcmp(c.Bits(), b.Bits(), 60), 0);
  EXPECT_FALSE(c.AlphaBlend || c.Transparent);
  d.Name = "x";
  d.LoadFromStream(s);  // the record of an empty bitmap
  EXPECT_EQ(d.Name, "");
  EXPECT_TRUE(d.Empty());
  EXPECT_EQ(s.Position(), s.Size());
}

TEST(kx_bitmap, StreamRecordWithNegativeHeightIsTurnedUpright) {
  std::vector<uint8_t> v;
  Put32(v, 0);
  Put32(v, 1);
  Put32(v, -3);
  for (uint32_t row : {0xA, 0xB, 0xC}) Put32(v, int32_t(row));
  MemStream s(v);
  TkxBitmap b;
  b.LoadFromStream(s);
  ASSERT_EQ(b.Height(), 3);
  EXPECT_EQ(b.Bits()[0], 0xCu);
  EXPECT_EQ(b.Bits()[1], 0xBu);
  EXPECT_EQ(b.Bits()[2], 0xAu);
}

TEST(kx_bitmap, DamagedStreamRecordsAreRefusedAndChangeNothing) {
  struct Case {
    const char* what;
    int32_t nameLen, w, h;
    int pixels;
  };
  const Case cases[] = {
      {"negative width", 0, -2, 2, 16},
      {"zero height", 0, 2, 0, 0},
      {"zero width", 0, 0, 3, 0},
      {"pixels missing", 0, 2, 2, 3},
      {"huge size", 0, 65536, 65536, 4},
      {"size overflowing 32 bits", 0, 0x40000000, 4, 4},
      {"smallest height", 0, 1, INT32_MIN, 4},
      {"negative name length", -1, 1, 1, 1},
      {"name longer than the stream", 1000, 1, 1, 1},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> v;
    Put32(v, c.nameLen);
    Put32(v, c.w);
    Put32(v, c.h);
    for (int i = 0; i < c.pixels; ++i) Put32(v, 0x11111111);
    MemStream s(v);
    TkxBitmap b;
    b.Name = "keep";
    b.SetSize(2, 2);
    b.Clear(0xFF445566);
    EXPECT_THROW(b.LoadFromStream(s), EReadError) << c.what;
    EXPECT_EQ(b.Name, "keep") << c.what;
    EXPECT_EQ(b.Width(), 2) << c.what;
    EXPECT_EQ(b.Bits()[3], 0xFF445566u) << c.what;
    EXPECT_EQ(s.Position(), 0) << c.what;
  }
  for (size_t cut = 0; cut < 12; ++cut) {  // a record cut inside its fields
    std::vector<uint8_t> v;
    Put32(v, 0);
    Put32(v, 1);
    Put32(v, 1);
    v.resize(cut);
    MemStream s(v);
    TkxBitmap b;
    EXPECT_THROW(b.LoadFromStream(s), EReadError) << cut;
  }
}

// ---- PCX ------------------------------------------------------------------------------------------
std::vector<uint8_t> Pcx(uint8_t maker, uint8_t version, uint8_t encoding, int w, int h, int bytesPerLine,
                         const std::vector<uint8_t>& data, bool palette = true, int xmin = 0) {
  std::vector<uint8_t> v(128, 0);
  v[0] = maker;
  v[1] = version;
  v[2] = encoding;
  v[3] = 8;
  auto word = [&](int off, int x) {
    v[size_t(off)] = uint8_t(x);
    v[size_t(off) + 1] = uint8_t(x >> 8);
  };
  word(4, xmin);
  word(6, 0);
  word(8, xmin + w - 1);
  word(10, h - 1);
  v[65] = 1;
  word(66, bytesPerLine);
  v.insert(v.end(), data.begin(), data.end());
  if (palette) {
    v.push_back(12);
    for (int i = 0; i < 256; ++i) {
      v.push_back(uint8_t(i));        // red
      v.push_back(uint8_t(255 - i));  // green
      v.push_back(uint8_t(i / 2));    // blue
    }
  }
  return v;
}

TkxColor PaletteColour(int i) { return ARGB(255, uint32_t(i), uint32_t(255 - i), uint32_t(i / 2)); }

TEST(kx_bitmap, PcxRunLengthPictureWithPalette) {
  // 3 x 2, lines of 4 bytes: row 0 = 7 7 7 (pad 0), row 1 = 200 1 2 (pad 9).
  std::vector<uint8_t> rows = {7, 7, 7, 0, 200, 1, 2, 9};
  auto file = Pcx(10, 5, 1, 3, 2, 4, EncodePcxRle(rows.data(), rows.size()));
  MemStream s(file);
  TkxBitmap b;
  b.LoadFromPcxStream(s);
  ASSERT_EQ(b.Width(), 3);
  ASSERT_EQ(b.Height(), 2);
  const int idx[6] = {7, 7, 7, 200, 1, 2};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(b.Bits()[i], PaletteColour(idx[i])) << i;
}

TEST(kx_bitmap, PcxUnusualHeaders) {
  TkxBitmap b;
  b.SetSize(2, 2);
  b.Clear(0xFF000001);
  {
    MemStream s(Pcx(0, 5, 1, 3, 2, 4, {}));  // wrong manufacturer: unchanged
    b.LoadFromPcxStream(s);
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Bits()[0], 0xFF000001u);
  }
  for (auto file : {Pcx(10, 5, 1, 0, 2, 4, {}, true, 5),  // width 0
                    Pcx(10, 5, 1, 3, 2, 0, {}),        // line size 0
                    Pcx(10, 5, 1, 3, 2, 4, {}, false),  // no room for the palette
                    std::vector<uint8_t>(100, 10)}) {   // header cut short
    MemStream s(file);
    EXPECT_THROW(b.LoadFromPcxStream(s), EReadError);
    EXPECT_EQ(b.Bits()[0], 0xFF000001u);
    EXPECT_EQ(s.Position(), 0);
  }
  {
    // Wider than its lines: only the line's bytes are taken, the rest of the row is index 0.
    std::vector<uint8_t> rows = {5, 6, 7, 8};
    MemStream s(Pcx(10, 5, 1, 4, 2, 2, EncodePcxRle(rows.data(), rows.size())));
    b.LoadFromPcxStream(s);
    ASSERT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Bits()[1], PaletteColour(6));
    EXPECT_EQ(b.Bits()[2], PaletteColour(0));
    EXPECT_EQ(b.Bits()[5], PaletteColour(8));
  }
  {
    // Unencoded and short: the missing rows are index 0. Version 3 uses the 16 system colours.
    MemStream s(Pcx(10, 3, 0, 2, 3, 2, {9, 12}, false));
    b.LoadFromPcxStream(s);
    ASSERT_EQ(b.Height(), 3);
    EXPECT_EQ(b.Bits()[0], 0xFFFF0000u);  // system colours 9 (red) and 12 (blue)
    EXPECT_EQ(b.Bits()[1], 0xFF0000FFu);
    EXPECT_EQ(b.Bits()[5], 0xFF000000u);
  }
}

// ---- Pixel state -----------------------------------------------------------------------------------
TEST(kx_bitmap, CheckingAlphaBlendAndTransparent) {
  TkxBitmap b;
  b.CheckingAlphaBlend();
  EXPECT_FALSE(b.AlphaBlend);
  b.SetSize(3, 1);
  for (auto [mid, want] : {std::pair{0u, false}, std::pair{255u, false}, std::pair{1u, true}, std::pair{254u, true}}) {
    b.Bits()[0] = 0;
    b.Bits()[1] = mid << 24;
    b.Bits()[2] = 0xFF000000;
    b.CheckingAlphaBlend(Rect(0, 0, 1, 1));  // the whole bitmap is examined
    EXPECT_EQ(b.AlphaBlend, want) << mid;
  }
  b.Bits()[0] = ARGB(255, 122, 5, 122);
  b.Bits()[1] = ARGB(255, 121, 0, 127);
  b.Bits()[2] = ARGB(9, 127, 0, 127);
  b.CheckingTransparent(kxKeyColor);
  EXPECT_TRUE(b.Transparent);
  EXPECT_EQ(b.Bits()[0], 0x007F007Fu);
  EXPECT_EQ(b.Bits()[1], ARGB(255, 121, 0, 127));
  EXPECT_EQ(b.Bits()[2], 0x007F007Fu);
  b.Clear(0xFFFFFFFF);
  b.CheckingTransparent(Rect(0, 0, 1, 1), kxKeyColor);
  EXPECT_FALSE(b.Transparent);
}

TEST(kx_bitmap, SetAlphaIsCutToTheBitmap) {
  TkxBitmap b;
  b.SetAlpha(0);  // empty: nothing
  b.SetSize(6, 6);
  b.Clear(0xFF123456);
  b.SetAlpha(0, Rect(-5, -5, 3, 3));
  b.SetAlpha(7, Rect(2, 2, 2, 9));
  b.SetAlpha(9, Rect(5, 5, 100, 100));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      uint32_t a = x < 3 && y < 3 ? 0 : x == 5 && y == 5 ? 9 : 255;
      EXPECT_EQ(*b.PixelAddress(x, y), (a << 24) | 0x123456) << x << "," << y;
    }
  b.PutPixel(-1, 0, 0);
  b.PutPixel(6, 0, 0);
  b.PutPixel(0, 6, 0);
  b.PutPixel(5, 0, 0xAB);
  EXPECT_EQ(*b.RowAddress(0) + 0, 0x00123456u);
  EXPECT_EQ(b.RowAddress(0)[5], 0xABu);
}

TEST(kx_bitmap, ColourChanges) {
  TkxBitmap b;
  b.SetSize(2, 1);
  b.Bits()[0] = ARGB(128, 240, 240, 240);
  b.Bits()[1] = ARGB(0, 240, 240, 240);
  b.ChangeBitmapBrightness(40);
  EXPECT_EQ(b.Bits()[0], ARGB(128, 255, 255, 255));
  EXPECT_EQ(b.Bits()[1], ARGB(0, 240, 240, 240));
  // A delta that passes 16 bits is held at the end instead of wrapping to black.
  EXPECT_EQ(ChangePixelBrightness(ARGB(255, 240, 10, 0), 32767), ARGB(255, 255, 255, 255));
  EXPECT_EQ(ChangePixelBrightness(ARGB(255, 240, 10, 0), -100000), ARGB(255, 0, 0, 0));

  float h, s, l;
  PixelToHSL(ARGB(255, 90, 90, 90), h, s, l);
  EXPECT_EQ(h, 0.0f);
  EXPECT_EQ(s, 0.0f);
  EXPECT_EQ(HSLToPixel(0, 1, 0.5f), ARGB(255, 255, 0, 0));
  EXPECT_EQ(HSLToPixel(0, 0, 0.5f), ARGB(255, 128, 128, 128));  // Round(127.5) = 128
  EXPECT_EQ(MakePixel(300, -4, 17, 9), ARGB(9, 255, 0, 17));
  int32_t r = 300, g = -1, bl = 100;
  ClampChannels(r, g, bl);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 0);
  EXPECT_EQ(bl, 100);

  // Hue 250/255 lifted by 10 gives 260, wrapped once to 5/255.
  TkxColor p = HSLToPixel(250.0f / 255, 1, 0.5f);
  EXPECT_EQ(ChangePixelHue(p, 10), HSLToPixel(5.0f / 255, 1, 0.5f));
  EXPECT_EQ(SetPixelHue(ARGB(255, 0, 255, 0), 0), ARGB(255, 255, 0, 0));
  EXPECT_EQ(SetPixelHue(ARGB(255, 0, 255, 0), -30), ARGB(255, 255, 0, 0));
  // Saturation wraps once (a specified quirk) for small deltas...
  TkxColor vivid = HSLToPixel(0, 250.0f / 255, 0.5f);
  EXPECT_EQ(ChangePixelSat(vivid, 10), HSLToPixel(0, 5.0f / 255, 0.5f));
  // ...and beyond one wrap it is held to the range instead of wrapping channels into garbage.
  PixelToHSL(ARGB(255, 200, 100, 100), h, s, l);
  EXPECT_EQ(ChangePixelSat(ARGB(255, 200, 100, 100), 1000), HSLToPixel(h, 1, l));
  EXPECT_EQ(ChangePixelSat(ARGB(255, 200, 100, 100), -1000), HSLToPixel(h, 0, l));
}

// ---- Links -------------------------------------------------------------------------------------------
TEST(kx_bitmap, LinksFromTextAndRecord) {
  TkxBitmap b;
  b.Name = "frame";
  auto l = b.GetBitmapLink(std::string("0,0,10,20"));
  EXPECT_EQ(l->Image, &b);
  EXPECT_EQ(l->Name, "frame");
  EXPECT_TRUE(IsEqualRects(l->Rect, Rect(0, 0, 10, 20)));
  EXPECT_TRUE(l->Assigned());
  for (const char* text : {"1,2,3", "(1,2,3,4)", "1,2,x,4", ""})
    EXPECT_TRUE(IsEqualRects(b.GetBitmapLink(std::string(text))->Rect, Rect(0, 0, 0, 0))) << text;
  for (const char* text : {"1 2 3 4", "1, 2, 3, 4", "1,2,3,4,5"})
    EXPECT_TRUE(IsEqualRects(b.GetBitmapLink(std::string(text))->Rect, Rect(1, 2, 3, 4))) << text;
  EXPECT_FALSE(b.GetBitmapLink(Rect(0, 0, 0, 5))->Assigned());
  TkxBitmapLink none;
  EXPECT_FALSE(none.Assigned());

  l->Name = "ab";
  l->Rect = Rect(1, -2, 3, 4);
  TMemoryStream s;
  l->SaveToStream(s);
  EXPECT_EQ(Bytes(s), (std::vector<uint8_t>{2, 0, 0, 0, 'a', 0, 'b', 0, 1, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0,
                                            4, 0, 0, 0}));
  s.SetPosition(0);
  TkxBitmapLink back;
  back.LoadFromStream(s);
  EXPECT_EQ(back.Name, "ab");
  EXPECT_TRUE(IsEqualRects(back.Rect, l->Rect));
  EXPECT_EQ(back.Image, nullptr);
  s.SetSize(10);
  s.SetPosition(0);
  EXPECT_THROW(back.LoadFromStream(s), EReadError);

  TkxBitmapLink copy;
  l->Masked = true;
  copy.Assign(l.get());
  EXPECT_EQ(copy.Image, &b);
  EXPECT_TRUE(copy.Masked);
  EXPECT_THROW(copy.Assign(&b), EConvertError);
}

TEST(kx_bitmap, CheckingMaskedRegions) {
  TkxBitmap b;
  b.SetSize(40, 40);
  b.Clear(0xFF000000);
  auto link = b.GetBitmapLink(Rect(10, 10, 30, 30));
  struct Case {
    int x, y;
    bool masked, border, angles;
  };
  // Margins of 4 on every side of the 20 x 20 link at (10, 10).
  const Case cases[] = {
      {28, 28, false, false, true},  // bottom-right corner
      {10, 10, false, false, true},  // top-left corner
      {20, 11, false, true, false},  // top edge
      {11, 20, false, true, false},  // left edge
      {20, 20, true, false, false},  // centre
      {9, 20, false, false, false},  // outside the link
  };
  for (const auto& c : cases) {
    b.Clear(0xFF000000);
    *b.PixelAddress(c.x, c.y) = 0x80000000;
    link->CheckingMasked(Rect(4, 4, 4, 4));
    EXPECT_EQ(link->Masked, c.masked) << c.x << "," << c.y;
    EXPECT_EQ(link->MaskedBorder, c.border) << c.x << "," << c.y;
    EXPECT_EQ(link->MaskedAngles, c.angles) << c.x << "," << c.y;
    link->CheckingMasked();
    EXPECT_EQ(link->Masked, c.x >= 10 && c.y >= 10) << c.x << "," << c.y;
  }
  b.Clear(0x33333333);  // that exact value counts as opaque
  link->CheckingMasked();
  EXPECT_FALSE(link->Masked);
  b.Clear(0xFF000000);
  link->Rect = Rect(35, 35, 45, 45);  // reaching past the image
  link->CheckingMasked();
  EXPECT_TRUE(link->Masked);
  link->CheckingMasked(Rect(1, 1, 1, 1));
  EXPECT_TRUE(link->Masked && link->MaskedBorder && link->MaskedAngles);
}

}  // namespace

namespace {

TEST(kx_bitmap, MissingResourceChangesNothing) {
  TkxBitmap b;
  b.SetSize(2, 2);
  b.Clear(0xFF010203);
  b.LoadFromResource("", "NO_SUCH_BITMAP");
  b.LoadFromResource("/no/such/module.so", "NO_SUCH_BITMAP");
  EXPECT_EQ(b.Width(), 2);
  EXPECT_EQ(b.Bits()[3], 0xFF010203u);
}

}  // namespace
