// The application's pictures, found by name among the embedded resources: sizes and formats,
// the command groups' off glyphs as the disabled look of their on glyphs, the files the build
// puts beside the executable, and a contact sheet of everything (build folder,
// app-pictures.png) for looking at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/Files.h"
#include "base/Resources.h"
#include "base/Stream.h"
#include "classlib/Graphics.h"
#include "classlib/graphics/Codecs.h"

namespace {

img::RawImage Png(const std::string& Name) {
  const TResource* r = FindResource(Name + ".png", TResourceKind::Data);
  if (!r) {
    ADD_FAILURE() << "no resource " << Name << ".png";
    return {};
  }
  return img::ReadPng(r->Data, r->Size);
}

img::RawImage Bmp(const std::string& Name) {
  const TResource* r = FindResource(Name, TResourceKind::Bitmap);
  if (!r) {
    ADD_FAILURE() << "no resource " << Name << ".bmp";
    return {};
  }
  return img::ReadBmp(r->Data, r->Size);
}

uint8_t AlphaAt(const img::RawImage& Im, int X, int Y) { return Im.Row(Y)[4 * X + 3]; }

// Pixels with any alpha, and how many of them are fully opaque.
struct Coverage {
  int Any = 0, Opaque = 0;
};
Coverage CoverageOf(const img::RawImage& Im) {
  Coverage c;
  for (int y = 0; y < Im.Height; ++y)
    for (int x = 0; x < Im.Width; ++x) {
      uint8_t a = AlphaAt(Im, x, y);
      c.Any += a > 0;
      c.Opaque += a == 255;
    }
  return c;
}

TEST(AppPictures, EachPictureHasItsSizeAndAlpha) {
  struct Case {
    std::string Name;
    int W, H;
    bool AlsoBmp;
    bool Faded = false;  // a disabled look: nothing fully opaque
  };
  std::vector<Case> cases = {
      {"Form1Image1", 568, 236, true},   {"Form2Image1", 53, 57, true},     {"Form6Image1", 128, 128, false},
      {"Form6ImageList1", 12 * 32, 32, true}, {"ImageList1", 44 * 32, 32, true}, {"ImageList2", 7 * 32, 32, true},
  };
  // Off glyphs: the even images up to 14, and 17.
  for (int i = 2; i <= 17; ++i)
    cases.push_back({"Form1Image" + std::to_string(i), 32, 32, true, i == 17 || (i <= 14 && i % 2 == 0)});
  for (const char* g : {"add", "remove", "clear", "start", "stop", "pause", "resume", "options", "skin"})
    cases.push_back({g, 32, 32, true});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    img::RawImage png = Png(c.Name);
    EXPECT_EQ(png.Width, c.W);
    EXPECT_EQ(png.Height, c.H);
    ASSERT_EQ(png.BitsPerPixel, 32);
    EXPECT_TRUE(png.HasAlpha);
    // Drawn on transparency: something is there, and the corners are clear.
    Coverage cov = CoverageOf(png);
    EXPECT_GT(cov.Any, 0);
    if (!c.Faded) {
      EXPECT_GT(cov.Opaque, 0);
    }
    EXPECT_LT(cov.Any, png.Width * png.Height);
    EXPECT_EQ(AlphaAt(png, 0, 0), 0);
    EXPECT_EQ(AlphaAt(png, png.Width - 1, png.Height - 1), 0);
    if (!c.AlsoBmp) continue;
    img::RawImage bmp = Bmp(c.Name);
    ASSERT_EQ(bmp.Width, png.Width);
    ASSERT_EQ(bmp.Height, png.Height);
    ASSERT_EQ(bmp.BitsPerPixel, 32);
    for (int y = 0; y < png.Height; ++y)
      ASSERT_EQ(std::memcmp(png.Row(y), bmp.Row(y), size_t(png.Width) * 4), 0) << "row " << y;
  }
  // The settings form's picture is a PNG only.
  EXPECT_EQ(FindResource("Form6Image1", TResourceKind::Bitmap), nullptr);
}

TEST(AppPictures, EachGroupsOffGlyphIsTheDisabledLookOfItsOnGlyph) {
  // Group: on picture, off picture, the tool-button glyph the on picture shows.
  struct Pair {
    int On, Off;
    const char* Glyph;
  } pairs[] = {{3, 2, "add"},     {15, 14, "remove"}, {16, 17, nullptr}, {13, 12, "clear"},
               {5, 4, "start"},   {11, 10, "stop"},   {7, 6, "pause"},   {9, 8, "resume"}};
  for (const Pair& p : pairs) {
    SCOPED_TRACE(p.On);
    img::RawImage on = Png("Form1Image" + std::to_string(p.On)), off = Png("Form1Image" + std::to_string(p.Off));
    ASSERT_EQ(on.Width, off.Width);
    ASSERT_EQ(on.Height, off.Height);
    int coloured = 0;
    for (int y = 0; y < on.Height; ++y)
      for (int x = 0; x < on.Width; ++x) {
        const uint8_t* a = on.Row(y) + 4 * x;
        const uint8_t* b = off.Row(y) + 4 * x;
        // The same shape, fainter, in grey.
        ASSERT_EQ(a[3] == 0, b[3] == 0) << x << "," << y;
        ASSERT_LE(b[3], a[3]);
        if (b[3]) {
          ASSERT_TRUE(b[0] == b[1] && b[1] == b[2]) << x << "," << y;
        }
        if (a[3] == 255 && (a[0] != a[1] || a[1] != a[2])) ++coloured;
      }
    EXPECT_GT(coloured, 50);  // the on picture has colour
    if (p.Glyph) {
      img::RawImage tool = Png(p.Glyph);
      ASSERT_EQ(tool.Height, on.Height);
      for (int y = 0; y < on.Height; ++y) ASSERT_EQ(std::memcmp(tool.Row(y), on.Row(y), size_t(on.Width) * 4), 0);
    }
  }
  // Every group has a glyph of its own.
  std::vector<img::RawImage> ons;
  for (const Pair& p : pairs) ons.push_back(Png("Form1Image" + std::to_string(p.On)));
  for (size_t i = 0; i < ons.size(); ++i)
    for (size_t j = i + 1; j < ons.size(); ++j) EXPECT_NE(ons[i].Pixels, ons[j].Pixels) << i << " " << j;
}

TEST(AppPictures, TheFinishSoundAndTheHelpFileLieBesideTheExecutable) {
  namespace fs = std::filesystem;
  const fs::path dir = OMBREL_TEST_BUILD_DIR;
  ASSERT_TRUE(fs::exists(dir / "help.chm"));
  EXPECT_GT(fs::file_size(dir / "help.chm"), 0u);
  TFileStream f((dir / "sounds" / "ring001.wav").string(), fmOpenRead);
  std::vector<uint8_t> w(size_t(f.Size()));
  f.ReadBuffer(w.data(), int64_t(w.size()));
  ASSERT_GT(w.size(), 44u);
  auto u32 = [&](size_t at) { return uint32_t(w[at]) | uint32_t(w[at + 1]) << 8 | uint32_t(w[at + 2]) << 16 | uint32_t(w[at + 3]) << 24; };
  auto u16 = [&](size_t at) { return uint16_t(w[at] | w[at + 1] << 8); };
  EXPECT_EQ(std::string(w.begin(), w.begin() + 4), "RIFF");
  EXPECT_EQ(u32(4), w.size() - 8);
  EXPECT_EQ(std::string(w.begin() + 8, w.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(u16(20), 1);  // PCM
  const uint16_t channels = u16(22), bits = u16(34);
  const uint32_t rate = u32(24), data = u32(40);
  EXPECT_EQ(bits, 16);
  EXPECT_EQ(std::string(w.begin() + 36, w.begin() + 40), "data");
  EXPECT_EQ(data + 44, w.size());
  const double seconds = double(data) / (rate * channels * 2);
  EXPECT_GT(seconds, 0.2);
  EXPECT_LT(seconds, 2.0);  // a short bell
  // Loud at the strike, silent at the end, never clipped.
  int16_t peak = 0, last = 0;
  for (size_t i = 44; i + 1 < w.size(); i += 2) {
    int16_t s = int16_t(u16(i));
    peak = std::max<int16_t>(peak, int16_t(std::abs(s)));
    last = s;
  }
  EXPECT_GT(peak, 8000);
  EXPECT_LT(peak, 32767);
  EXPECT_LT(std::abs(last), 200);
}

// Everything on a light and a dark ground, at its own size, labelled.
TEST(AppPictures, ContactSheet) {
  const int W = 1500, H = 2 * 470;
  TBitmap sheet;
  sheet.SetPixelFormat(pf24bit);
  sheet.SetSize(W, H);
  TCanvas* c = sheet.Canvas();
  c->Brush()->SetColor(TColor(0xF4F1EE));
  c->FillRect({0, 0, W, H / 2});
  c->Brush()->SetColor(TColor(0x312D2B));
  c->FillRect({0, H / 2, W, H});
  c->Brush()->SetStyle(bsClear);
  c->Font()->SetName("Arial");
  c->Font()->SetHeight(12);
  auto blend = [&](const img::RawImage& im, int X, int Y) {
    for (int y = 0; y < im.Height && Y + y < H; ++y) {
      auto* row = static_cast<uint8_t*>(sheet.ScanLine(Y + y));
      for (int x = 0; x < im.Width && X + x < W; ++x) {
        const uint8_t* s = im.Row(y) + 4 * x;
        double a = s[3] / 255.0;
        uint8_t* d = row + 3 * (X + x);
        for (int k = 0; k < 3; ++k) d[k] = uint8_t(std::lround(d[k] * (1 - a) + s[k] * a));
      }
    }
  };
  for (int dark = 0; dark < 2; ++dark) {
    const int oy = dark * H / 2;
    c->Font()->SetColor(dark ? TColor(0xEEEEEE) : TColor(0x202020));
    auto label = [&](int X, int Y, const std::string& S) { c->TextOut(X, Y, S); };
    label(10, oy + 6, "Form1Image1 (empty list)");
    blend(Png("Form1Image1"), 10, oy + 24);
    int x = 600;
    label(x, oy + 6, "Form1Image2..17: off / on per group");
    for (int i = 2; i <= 17; ++i) {
      int k = i - 2, gx = x + (k / 2) * 80, gy = oy + 28 + (k % 2) * 48;
      blend(Png("Form1Image" + std::to_string(i)), gx, gy);
      label(gx + 36, gy + 10, std::to_string(i));
    }
    label(600, oy + 136, "Form2Image1 (53x57)");
    blend(Png("Form2Image1"), 600, oy + 156);
    label(760, oy + 136, "Form6Image1 (128x128)");
    blend(Png("Form6Image1"), 760, oy + 156);
    label(10, oy + 280, "Form6ImageList1 (12)");
    blend(Png("Form6ImageList1"), 10, oy + 300);
    label(10, oy + 346, "ImageList1 (44)");
    blend(Png("ImageList1"), 10, oy + 366);
    label(10, oy + 410, "ImageList2 (7), tool-button glyphs");
    blend(Png("ImageList2"), 10, oy + 428);
    int gx = 260;
    for (const char* g : {"add", "remove", "clear", "start", "stop", "pause", "resume", "options", "skin"}) {
      blend(Png(g), gx, oy + 428);
      gx += 44;
    }
  }
  const std::string path = std::string(OMBREL_TEST_BUILD_DIR) + "/app-pictures.png";
  TPngImage png;
  png.Assign(&sheet);
  png.SaveToFile(path);
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
