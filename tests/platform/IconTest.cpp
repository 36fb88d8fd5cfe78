// Icons: creation and copies out, drawing with masks and with alpha, resizing, the built-in
// application icon, bad handles, and use from several threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/Gdi.h"
#include "platform/WinUser.h"
#include "platform/gdi/Blend.h"
#include "tests/platform/GdiTestUtil.h"

using namespace win;
using gditest::Canvas;

namespace {

const std::vector<RGBQUAD> kMono = {{0, 0, 0, 0}, {255, 255, 255, 0}};

// A 1-bit mask from rows of '#' (opaque, 0) and '.' (transparent, 1).
struct Mask : Canvas {
  explicit Mask(const std::vector<std::string>& rows) : Canvas(int(rows[0].size()), int(rows.size()), 1, true, kMono) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) SetPixel(dc, x, y, rows[size_t(y)][size_t(x)] == '.' ? RGB(255, 255, 255) : 0);
  }
};

// The pixels of any bitmap as 32-bit top-down values.
std::vector<uint32_t> Read(HBITMAP bm, int* w = nullptr, int* h = nullptr) {
  BITMAP info;
  if (GetObject(bm, sizeof info, &info) < int(sizeof info)) return {};
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = info.bmWidth;
  bi.bmiHeader.biHeight = -info.bmHeight;
  bi.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> px(size_t(info.bmWidth) * size_t(info.bmHeight));
  HDC dc = CreateCompatibleDC(nullptr);
  GetDIBits(dc, bm, 0, UINT(info.bmHeight), px.data(), &bi, DIB_RGB_COLORS);
  DeleteDC(dc);
  if (w) *w = info.bmWidth;
  if (h) *h = info.bmHeight;
  return px;
}

HICON MakeIcon(Canvas* color, Canvas& mask, BOOL fIcon = TRUE, DWORD hx = 0, DWORD hy = 0) {
  ICONINFO ii;
  ii.fIcon = fIcon;
  ii.xHotspot = hx;
  ii.yHotspot = hy;
  ii.hbmMask = mask.bm;
  ii.hbmColor = color ? color->bm : nullptr;
  return CreateIconIndirect(&ii);
}

uint32_t Premultiply(uint32_t p) {
  uint32_t a = p >> 24;
  return (a << 24) | (gdi::Mul255((p >> 16) & 0xFF, a) << 16) | (gdi::Mul255((p >> 8) & 0xFF, a) << 8) |
         gdi::Mul255(p & 0xFF, a);
}

TEST(Icon, InfoGivesIndependentCopiesOfTheBitmaps) {
  Canvas color(3, 2);
  const uint32_t px[6] = {0xFF010203u, 0x80102030u, 0x00000000u, 0xFFA0B0C0u, 0x40404040u, 0xFFFFFFFFu};
  for (int i = 0; i < 6; ++i) color.At(i % 3, i / 3) = px[i];
  Mask mask({"#.#", "..#"});
  HICON icon = MakeIcon(&color, mask, TRUE, 7, 7);
  ASSERT_NE(icon, nullptr);
  // The icon has its own copies: the bitmaps it was made from may change or go.
  color.Fill(0x12345678u);
  std::memset(mask.bits, 0, size_t(mask.stride) * size_t(mask.h));

  ICONINFO a, b;
  ASSERT_TRUE(GetIconInfo(icon, &a));
  ASSERT_TRUE(GetIconInfo(icon, &b));
  EXPECT_TRUE(a.fIcon);
  EXPECT_EQ(a.xHotspot, 1u) << "an icon's hot spot is its centre";
  EXPECT_EQ(a.yHotspot, 1u);
  EXPECT_NE(a.hbmColor, b.hbmColor);
  EXPECT_NE(a.hbmMask, b.hbmMask);
  BITMAP bm;
  ASSERT_EQ(GetObject(a.hbmMask, sizeof bm, &bm), int(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 1);
  int w = 0, h = 0;
  EXPECT_EQ(Read(a.hbmColor, &w, &h), std::vector<uint32_t>(px, px + 6));
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 2);
  const uint32_t W = 0x00FFFFFFu;
  EXPECT_EQ(Read(a.hbmMask), (std::vector<uint32_t>{0, W, 0, W, W, 0}));

  // Freeing or drawing on one copy touches neither the other copy nor the icon.
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, a.hbmColor);
  RECT r{0, 0, 3, 2};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_TRUE(DeleteObject(a.hbmColor));
  EXPECT_TRUE(DeleteObject(a.hbmMask));
  EXPECT_EQ(Read(b.hbmColor), std::vector<uint32_t>(px, px + 6));
  ICONINFO c;
  ASSERT_TRUE(GetIconInfo(icon, &c));
  EXPECT_EQ(Read(c.hbmColor), std::vector<uint32_t>(px, px + 6));

  // The copies outlive the icon.
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
  EXPECT_FALSE(GetIconInfo(icon, &a));
  EXPECT_EQ(Read(b.hbmColor), std::vector<uint32_t>(px, px + 6));
  for (HBITMAP x : {b.hbmColor, b.hbmMask, c.hbmColor, c.hbmMask}) EXPECT_TRUE(DeleteObject(x));
}

TEST(Icon, CursorsKeepTheirHotSpotAndMonochromeIconsHaveNoColour) {
  Canvas color(4, 4);
  Mask mask({"####", "####", "####", "####"});
  HICON cursor = MakeIcon(&color, mask, FALSE, 3, 1);
  ICONINFO ii;
  ASSERT_TRUE(GetIconInfo(cursor, &ii));
  EXPECT_FALSE(ii.fIcon);
  EXPECT_EQ(ii.xHotspot, 3u);
  EXPECT_EQ(ii.yHotspot, 1u);
  DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  DestroyIcon(cursor);

  Mask mono({"#.", "..", ".#", "#."});  // AND rows above, XOR rows below
  HICON icon = MakeIcon(nullptr, mono);
  ASSERT_TRUE(GetIconInfo(icon, &ii));
  EXPECT_EQ(ii.hbmColor, nullptr);
  int w = 0, h = 0;
  Read(ii.hbmMask, &w, &h);
  EXPECT_EQ(w, 2);
  EXPECT_EQ(h, 4);
  DeleteObject(ii.hbmMask);
  Canvas dst(2, 2);
  dst.Fill(0xFF336699u);
  ASSERT_TRUE(DrawIconEx(dst.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(dst.At(0, 0), 0x00FFFFFFu);               // AND 0, XOR 1: white
  EXPECT_EQ(dst.At(1, 0), 0x00336699u);               // AND 1, XOR 0: the screen (alpha 0)
  EXPECT_EQ(dst.At(0, 1), 0x00336699u);
  EXPECT_EQ(dst.At(1, 1), 0x00336699u ^ 0x00FFFFFFu);  // AND 1, XOR 1: inverted
  DestroyIcon(icon);
}

TEST(Icon, DrawWithMaskAndsThenXorsPixelExact) {
  Canvas color(3, 1, 24);  // no alpha: drawn through the mask
  const uint8_t bgr[9] = {0x30, 0x20, 0x10, 0x00, 0x00, 0x00, 0x0F, 0x0F, 0x0F};
  std::memcpy(color.bits, bgr, 9);
  Mask mask({"#.."});
  HICON icon = MakeIcon(&color, mask);
  const uint32_t D = 0xFF808080u;
  struct Case { UINT flags; uint32_t want[3]; };
  const Case cases[] = {
      {DI_NORMAL, {0x00102030u, 0x00808080u, 0x00808080u ^ 0x000F0F0Fu}},
      {DI_MASK, {0x00000000u, 0x00FFFFFFu, 0x00FFFFFFu}},
      {DI_IMAGE, {0x00102030u, 0x00000000u, 0x000F0F0Fu}},
  };
  for (const Case& k : cases) {
    Canvas dst(5, 1);
    dst.Fill(D);
    ASSERT_TRUE(DrawIconEx(dst.dc, 1, 0, icon, 0, 0, 0, nullptr, k.flags));
    EXPECT_EQ(dst.At(0, 0), D);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(dst.At(x + 1, 0), k.want[x]) << "flags " << k.flags << " x " << x;
    EXPECT_EQ(dst.At(4, 0), D);
  }
  // A flicker-free brush fills the rectangle before the icon is drawn.
  Canvas dst(3, 1);
  dst.Fill(D);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  ASSERT_TRUE(DrawIconEx(dst.dc, 0, 0, icon, 0, 0, 0, red, DI_NORMAL));
  EXPECT_EQ(dst.At(1, 0), 0x00FF0000u);
  DeleteObject(red);
  DestroyIcon(icon);
}

TEST(Icon, DrawWithAlphaBlendsTheStraightColourAndIgnoresTheMask) {
  Canvas color(4, 1);
  const uint32_t src[4] = {0xFF102030u, 0x80FF0000u, 0x00123456u, 0x40FFFFFFu};
  for (int x = 0; x < 4; ++x) color.At(x, 0) = src[x];
  Mask mask({"...."});  // all transparent by the mask: alpha decides
  HICON icon = MakeIcon(&color, mask);
  Canvas dst(4, 1);
  const uint32_t d[4] = {0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu, 0x00000000u};
  for (int x = 0; x < 4; ++x) dst.At(x, 0) = d[x];
  ASSERT_TRUE(DrawIconEx(dst.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(dst.At(0, 0), 0xFF102030u);
  EXPECT_EQ(dst.At(1, 0), 0xFF80007Fu);  // red 255 at alpha 128 over blue
  EXPECT_EQ(dst.At(2, 0), 0xFF0000FFu);  // alpha 0: nothing, whatever the colour bytes say
  EXPECT_EQ(dst.At(3, 0), 0x40404040u);
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.At(x, 0), gdi::BlendPixel(Premultiply(src[x]), d[x], bf, true));
  // DI_MASK alone draws the mask even for an icon with alpha.
  ASSERT_TRUE(DrawIconEx(dst.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_MASK));
  EXPECT_EQ(dst.At(0, 0), 0x00FFFFFFu);
  DestroyIcon(icon);

  // A 32-bit colour bitmap whose alpha is 0 everywhere is drawn by its mask.
  Canvas flat(2, 1);
  flat.At(0, 0) = 0x00FF0000u;
  Mask m2({"#."});
  icon = MakeIcon(&flat, m2);
  dst.Fill(0xFF00FF00u);
  ASSERT_TRUE(DrawIconEx(dst.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(dst.At(0, 0), 0x00FF0000u);
  EXPECT_EQ(dst.At(1, 0), 0x0000FF00u);
  DestroyIcon(icon);
}

TEST(Icon, DrawAndCopyScaleByTheNearestPixel) {
  Canvas color(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) color.At(x, y) = 0xFF000000u | uint32_t(x << 8) | uint32_t(y);
  Mask mask({"###", "###"});
  HICON icon = MakeIcon(&color, mask);
  struct Case { int cx, cy; };
  for (Case k : {Case{6, 4}, Case{2, 1}, Case{5, 3}, Case{0, 4}}) {
    int w = k.cx ? k.cx : 3, h = k.cy ? k.cy : 2;
    Canvas dst(6, 4);
    dst.Fill(0);
    ASSERT_TRUE(DrawIconEx(dst.dc, 0, 0, icon, k.cx, k.cy, 0, nullptr, DI_NORMAL));
    HICON copy = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, k.cx, k.cy, 0));
    ASSERT_NE(copy, nullptr);
    ICONINFO ii;
    ASSERT_TRUE(GetIconInfo(copy, &ii));
    int cw = 0, ch = 0;
    std::vector<uint32_t> px = Read(ii.hbmColor, &cw, &ch);
    ASSERT_EQ(cw, w);
    ASSERT_EQ(ch, h);
    EXPECT_EQ(ii.xHotspot, DWORD(w / 2));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint32_t want = 0xFF000000u | uint32_t((x * 3 / w) << 8) | uint32_t(y * 2 / h);
        EXPECT_EQ(dst.At(x, y), want) << k.cx << "x" << k.cy << " at " << x << "," << y;
        EXPECT_EQ(px[size_t(y) * w + x], want);
      }
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    DestroyIcon(copy);
  }
  EXPECT_EQ(CopyImage(icon, IMAGE_ICON, 3, 2, LR_COPYRETURNORG), icon);
  EXPECT_EQ(CopyImage(icon, IMAGE_BITMAP, 0, 0, 0), nullptr);
  EXPECT_EQ(CopyImage(icon, IMAGE_ICON, -1, 2, 0), nullptr);
  HICON moved = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, 6, 4, LR_COPYDELETEORG));
  ASSERT_NE(moved, nullptr);
  EXPECT_FALSE(DestroyIcon(icon)) << "LR_COPYDELETEORG destroyed the original";
  EXPECT_TRUE(DestroyIcon(moved));
}

TEST(Icon, ApplicationIconIsSharedAndDrawsAPicture) {
  HICON a = LoadIcon(nullptr, IDI_APPLICATION);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(LoadIcon(nullptr, IDI_APPLICATION), a);
  EXPECT_EQ(LoadIcon(nullptr, reinterpret_cast<const char*>(uintptr_t(32517))), nullptr);
  EXPECT_EQ(LoadIcon(reinterpret_cast<HINSTANCE>(uintptr_t(1)), IDI_APPLICATION), nullptr);
  ICONINFO ii;
  ASSERT_TRUE(GetIconInfo(a, &ii));
  int w = 0, h = 0;
  Read(ii.hbmColor, &w, &h);
  EXPECT_EQ(w, GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(h, GetSystemMetrics(SM_CYICON));
  DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  EXPECT_TRUE(DestroyIcon(a));  // shared: it stays
  Canvas dst(32, 32);
  dst.Fill(0xFF00FF00u);
  ASSERT_TRUE(DrawIconEx(dst.dc, 0, 0, a, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(dst.At(0, 0), 0xFF00FF00u) << "the corners are transparent";
  int changed = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) changed += dst.At(x, y) != 0xFF00FF00u;
  EXPECT_GT(changed, 32 * 20);
}

// The four standard icons of the message boxes: shared, 32 x 32, with transparent corners, each
// its own picture with the colour that tells its kind (yellow warning, red error, blue others).
TEST(Icon, StandardIconsAreSharedPicturesOfTheirKind) {
  struct Case {
    const char* name;
    const char* id;
    const char* alias;
    int x, y;               // a point on the face, clear of the sign
    bool (*hue)(uint32_t);  // the colour there
  };
  auto red = [](uint32_t p) { return ((p >> 16) & 255) > 180 && ((p >> 8) & 255) < 90 && (p & 255) < 90; };
  auto blue = [](uint32_t p) { return (p & 255) > 170 && ((p >> 16) & 255) < 90; };
  auto yellow = [](uint32_t p) { return ((p >> 16) & 255) > 200 && ((p >> 8) & 255) > 160 && (p & 255) < 90; };
  const Case cases[] = {{"warning", IDI_WARNING, IDI_EXCLAMATION, 9, 23, +yellow},
                        {"error", IDI_ERROR, IDI_HAND, 6, 16, +red},
                        {"information", IDI_INFORMATION, IDI_ASTERISK, 6, 16, +blue},
                        {"question", IDI_QUESTION, IDI_QUESTION, 6, 16, +blue}};
  std::vector<std::vector<uint32_t>> seen;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HICON icon = LoadIcon(nullptr, c.id);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIcon(nullptr, c.alias), icon);
    EXPECT_NE(icon, LoadIcon(nullptr, IDI_APPLICATION));
    EXPECT_TRUE(DestroyIcon(icon));  // shared: it stays
    Canvas dst(32, 32);
    dst.Fill(0xFF00FF00u);
    ASSERT_TRUE(DrawIconEx(dst.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(dst.At(0, 0), 0xFF00FF00u) << "the corners are transparent";
    EXPECT_EQ(dst.At(31, 0), 0xFF00FF00u);
    EXPECT_TRUE(c.hue(dst.At(c.x, c.y))) << std::hex << dst.At(c.x, c.y);
    std::vector<uint32_t> px;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) px.push_back(dst.At(x, y));
    for (const auto& other : seen) EXPECT_NE(px, other) << "two kinds share a picture";
    seen.push_back(px);
  }
}

TEST(Icon, BadHandlesAndArgumentsAreRefused) {
  Canvas color(2, 2), dst(2, 2);
  Mask mask({"##", "##"});
  Mask thin({"##"});
  ICONINFO ii;
  EXPECT_EQ(CreateIconIndirect(nullptr), nullptr);
  ii.hbmMask = nullptr;
  ii.hbmColor = color.bm;
  EXPECT_EQ(CreateIconIndirect(&ii), nullptr);
  ii.hbmMask = mask.bm;
  ii.hbmColor = reinterpret_cast<HBITMAP>(uintptr_t(0x7777770));
  EXPECT_EQ(CreateIconIndirect(&ii), nullptr);
  ii.hbmColor = nullptr;
  ii.hbmMask = thin.bm;
  EXPECT_EQ(CreateIconIndirect(&ii), nullptr) << "a monochrome mask needs two halves";

  // The standard cursors have no pictures.
  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  EXPECT_FALSE(GetIconInfo(arrow, &ii));
  EXPECT_FALSE(DrawIconEx(dst.dc, 0, 0, arrow, 0, 0, 0, nullptr, DI_NORMAL));

  HICON icon = MakeIcon(&color, mask);
  EXPECT_FALSE(GetIconInfo(icon, nullptr));
  EXPECT_FALSE(DrawIconEx(nullptr, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_FALSE(DrawIconEx(dst.dc, 0, 0, icon, -2, 2, 0, nullptr, DI_NORMAL));
  EXPECT_FALSE(DrawIconEx(dst.dc, 0, 0, icon, 2, 2, 0, nullptr, 0));
  // An icon is not a GDI object, nor a bitmap one.
  EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(icon)));
  EXPECT_EQ(SelectObject(dst.dc, reinterpret_cast<HGDIOBJ>(icon)), nullptr);
  EXPECT_FALSE(DestroyIcon(reinterpret_cast<HICON>(color.bm)));
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DrawIconEx(dst.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
}

TEST(Icon, HandlesStayUniqueAcrossThreads) {
  constexpr int kThreads = 4, kRounds = 40;
  std::vector<std::vector<HICON>> seen(kThreads);
  std::vector<int> failures(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      Canvas color(4, 4), dst(4, 4);
      color.Fill(0xFF000000u | uint32_t(t));
      Mask mask({"####", "####", "####", "####"});
      for (int i = 0; i < kRounds; ++i) {
        HICON icon = MakeIcon(&color, mask);
        ICONINFO ii;
        if (!icon || !DrawIconEx(dst.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL) || !GetIconInfo(icon, &ii)) {
          ++failures[size_t(t)];
          continue;
        }
        DeleteObject(ii.hbmColor);
        DeleteObject(ii.hbmMask);
        if (dst.At(3, 3) != (0xFF000000u | uint32_t(t))) ++failures[size_t(t)];
        seen[size_t(t)].push_back(icon);
        DestroyIcon(icon);
      }
    });
  for (auto& th : threads) th.join();
  std::vector<HICON> all;
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(failures[size_t(t)], 0) << "thread " << t;
    all.insert(all.end(), seen[size_t(t)].begin(), seen[size_t(t)].end());
  }
  std::sort(all.begin(), all.end());
  EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end()) << "a handle was given twice";
}

}  // namespace
