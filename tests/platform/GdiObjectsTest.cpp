#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "platform/Gdi.h"
#include "platform/gdi/SurfaceDC.h"
#include "tests/platform/GdiTestUtil.h"

using namespace win;
using gditest::Canvas;

namespace {

std::vector<uint8_t> Info(int w, int h, int bpp, DWORD clrUsed = 0) {
  std::vector<uint8_t> v(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  auto* bi = reinterpret_cast<BITMAPINFO*>(v.data());
  bi->bmiHeader = BITMAPINFOHEADER{};
  bi->bmiHeader.biWidth = w;
  bi->bmiHeader.biHeight = h;
  bi->bmiHeader.biBitCount = WORD(bpp);
  bi->bmiHeader.biClrUsed = clrUsed;
  return v;
}

TEST(GdiObjects, DibSectionsOfEveryDepthAreZeroedWithDwordStride) {
  struct Case { int w, h, bpp, stride; };
  for (Case c : {Case{5, 3, 1, 4}, Case{9, 2, 4, 8}, Case{5, -4, 8, 8}, Case{5, 2, 24, 16},
                 Case{3, -2, 32, 12}, Case{33, 1, 1, 8}}) {
    auto info = Info(c.w, c.h, c.bpp);
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bm, nullptr) << c.bpp;
    ASSERT_NE(bits, nullptr);
    DIBSECTION ds;
    ASSERT_EQ(GetObject(bm, sizeof ds, &ds), int(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmWidthBytes, c.stride) << c.bpp << " " << c.w;
    EXPECT_EQ(ds.dsBm.bmHeight, std::abs(c.h));
    EXPECT_EQ(ds.dsBmih.biHeight, c.h) << "the header keeps the sign of the height";
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    const uint8_t* p = static_cast<uint8_t*>(bits);
    for (int i = 0; i < c.stride * std::abs(c.h); ++i) ASSERT_EQ(p[i], 0);
    EXPECT_TRUE(DeleteObject(bm));
  }
}

TEST(GdiObjects, BadDibRequestsFail) {
  struct Case { int w, h, bpp; };
  for (Case c : {Case{0, 5, 32}, Case{-3, 5, 32}, Case{5, 0, 32}, Case{5, 5, 7}, Case{5, 5, 0},
                 Case{100000, 100000, 32}, Case{0x7FFFFFFF, 1, 32}, Case{1, INT32_MIN, 32}}) {
    auto info = Info(c.w, c.h, c.bpp);
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr)
        << c.w << "x" << c.h << "x" << c.bpp;
    EXPECT_EQ(bits, nullptr);
  }
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

TEST(GdiObjects, GetObjectTellsDibSectionFromDeviceBitmap) {
  HDC screen = CreateDC("DISPLAY", nullptr, nullptr, nullptr);
  HBITMAP ddb = CreateCompatibleBitmap(screen, 7, 3);
  DIBSECTION ds;
  EXPECT_EQ(GetObject(ddb, sizeof ds, &ds), int(sizeof(BITMAP)));
  EXPECT_EQ(ds.dsBm.bmBits, nullptr);
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
  EXPECT_EQ(GetObject(ddb, 0, nullptr), int(sizeof(BITMAP)));
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES), 32);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
  DeleteObject(ddb);
  DeleteDC(screen);
  // A fresh memory DC holds a 1x1 monochrome bitmap, so its compatible bitmaps are monochrome.
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP mono = CreateCompatibleBitmap(mem, 4, 4);
  BITMAP bm;
  ASSERT_EQ(GetObject(mono, sizeof bm, &bm), int(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(GetObjectType(mem), OBJ_MEMDC);
  EXPECT_EQ(GetObjectType(mono), OBJ_BITMAP);
  DeleteObject(mono);
  DeleteDC(mem);
}

TEST(GdiObjects, SelectReturnsPreviousAndStockObjectsSurviveDelete) {
  Canvas c(2, 2);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  HGDIOBJ oldPen = SelectObject(c.dc, pen);
  EXPECT_EQ(oldPen, GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(c.dc, oldPen), pen);
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
  LOGBRUSH lb;
  ASSERT_EQ(GetObject(GetStockObject(WHITE_BRUSH), sizeof lb, &lb), int(sizeof lb));
  EXPECT_EQ(lb.lbColor, RGB(255, 255, 255));
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_FALSE(DeleteObject(pen)) << "a deleted handle is dead";
  EXPECT_EQ(GetObjectType(pen), 0u);
  EXPECT_EQ(GetStockObject(-1), nullptr);
  EXPECT_EQ(GetStockObject(99), nullptr);
  EXPECT_EQ(GetCurrentObject(c.dc, OBJ_BITMAP), c.bm);
}

TEST(GdiObjects, SystemColoursComeFromOneTable) {
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
  EXPECT_EQ(GetSysColor(-1), 0u);
  LOGBRUSH lb;
  HBRUSH b = GetSysColorBrush(COLOR_HIGHLIGHT);
  ASSERT_EQ(GetObject(b, sizeof lb, &lb), int(sizeof lb));
  EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(GetSysColorBrush(GetSysColorBrush(0) ? 99 : 0), nullptr);
  // FillRect accepts a system colour index + 1 as its brush.
  Canvas c(2, 1);
  RECT r{0, 0, 2, 1};
  FillRect(c.dc, &r, reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1)));
  EXPECT_EQ(c.At(1, 0), 0x00D4D0C8u);
}

TEST(GdiObjects, HandlesAreUniqueAcrossThreadsAndNotReused) {
  std::set<uintptr_t> seen;
  std::mutex mu;
  auto work = [&] {
    for (int i = 0; i < 200; ++i) {
      Canvas c(4, 4);
      RECT r{0, 0, 4, 4};
      HBRUSH b = CreateSolidBrush(RGB(10, 20, 30));
      FillRect(c.dc, &r, b);
      EXPECT_EQ(c.At(3, 3), 0x000A141Eu);
      std::lock_guard<std::mutex> lock(mu);
      EXPECT_TRUE(seen.insert(reinterpret_cast<uintptr_t>(b)).second);
      EXPECT_TRUE(seen.insert(reinterpret_cast<uintptr_t>(c.dc)).second);
      EXPECT_TRUE(seen.insert(reinterpret_cast<uintptr_t>(c.bm)).second);
      DeleteObject(b);
    }
  };
  std::thread t1(work), t2(work);
  t1.join();
  t2.join();
}

TEST(GdiObjects, PaletteDibKeepsItsColourTable) {
  std::vector<RGBQUAD> colors = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}};
  Canvas c(4, 1, 8, true, colors);
  c.bits[0] = 1; c.bits[1] = 2; c.bits[2] = 3;
  EXPECT_EQ(GetPixel(c.dc, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(c.dc, 1, 0), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(c.dc, 2, 0), RGB(0, 0, 255));
  // Drawing on a palette bitmap picks the nearest entry.
  EXPECT_EQ(SetPixel(c.dc, 3, 0, RGB(250, 10, 5)), RGB(255, 0, 0));
  EXPECT_EQ(c.bits[3], 1);
}

TEST(GdiSurfaceDC, DrawsIntoTheExternalBufferInsideVisibleRegionAtItsOrigin) {
  std::vector<uint32_t> buf(8 * 6, 0xFF000000u);
  SurfaceDesc s{buf.data(), 8, 6, 8 * 4};
  HRGN vis = CreateRectRgn(2, 1, 6, 5);
  HDC dc = CreateSurfaceDC(s, POINT{2, 1}, vis);
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(IsSurfaceDC(dc));
  POINT org;
  GetViewportOrgEx(dc, &org);
  EXPECT_EQ(org, (POINT{0, 0})) << "the device origin is hidden from the DC's user";
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 4, 4}));
  RECT all{-10, -10, 20, 20};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &all, red);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      bool in = x >= 2 && x < 6 && y >= 1 && y < 5;
      EXPECT_EQ(buf[size_t(y) * 8 + x], in ? 0x00FF0000u : 0xFF000000u) << x << "," << y;
    }
  // The DC's own clip region is relative to the device origin and is still cut by the visible one.
  HRGN clip = CreateRectRgn(3, 0, 10, 1);
  EXPECT_EQ(SelectClipRgn(dc, clip), SIMPLEREGION);
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{3, 0, 4, 1}));
  HRGN got = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(dc, got), 1);
  EXPECT_TRUE(EqualRgn(got, clip));
  EXPECT_TRUE(SetSurfaceDCVisibleRgn(dc, nullptr));
  EXPECT_TRUE(SetSurfaceDCOrigin(dc, POINT{0, 0}));
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{3, 0, 8, 1}));
  EXPECT_TRUE(ReleaseSurfaceDC(dc));
  EXPECT_EQ(GetClipBox(dc, &box), ERROR);
  for (HGDIOBJ o : {HGDIOBJ(vis), HGDIOBJ(clip), HGDIOBJ(got), HGDIOBJ(red)}) DeleteObject(o);
}

TEST(GdiSurfaceDC, RejectsUnusableBuffers) {
  uint32_t px[4];
  EXPECT_EQ(CreateSurfaceDC(SurfaceDesc{nullptr, 2, 2, 8}), nullptr);
  EXPECT_EQ(CreateSurfaceDC(SurfaceDesc{px, 0, 2, 8}), nullptr);
  EXPECT_EQ(CreateSurfaceDC(SurfaceDesc{px, 2, -1, 8}), nullptr);
  EXPECT_EQ(CreateSurfaceDC(SurfaceDesc{px, 2, 2, 4}), nullptr);
  Canvas c(1, 1);
  EXPECT_FALSE(ReleaseSurfaceDC(c.dc)) << "a memory DC is not a surface DC";
}

}  // namespace
