#pragma once
// Small helpers for the graphics tests: a 32-bit top-down DIB section in a memory DC.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Gdi.h"

namespace gditest {

struct Canvas {
  win::HDC dc = nullptr;
  win::HBITMAP bm = nullptr;
  win::HGDIOBJ old = nullptr;
  uint8_t* bits = nullptr;
  int w = 0, h = 0, bpp = 32, stride = 0;

  Canvas(int width, int height, int bitCount = 32, bool topDown = true,
         const std::vector<win::RGBQUAD>& colors = {}) : w(width), h(height), bpp(bitCount) {
    std::vector<uint8_t> info(sizeof(win::BITMAPINFOHEADER) + 256 * sizeof(win::RGBQUAD));
    auto* bi = reinterpret_cast<win::BITMAPINFO*>(info.data());
    bi->bmiHeader = win::BITMAPINFOHEADER{};
    bi->bmiHeader.biWidth = width;
    bi->bmiHeader.biHeight = topDown ? -height : height;
    bi->bmiHeader.biBitCount = win::WORD(bitCount);
    bi->bmiHeader.biClrUsed = win::DWORD(colors.size());
    for (size_t i = 0; i < colors.size(); ++i) bi->bmiColors[i] = colors[i];
    void* p = nullptr;
    bm = win::CreateDIBSection(nullptr, bi, win::DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint8_t*>(p);
    stride = ((width * bitCount + 31) / 32) * 4;
    dc = win::CreateCompatibleDC(nullptr);
    old = win::SelectObject(dc, bm);
  }
  ~Canvas() {
    win::SelectObject(dc, old);
    win::DeleteDC(dc);
    win::DeleteObject(bm);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  uint32_t& At(int x, int y) { return reinterpret_cast<uint32_t*>(bits + size_t(y) * stride)[x]; }
  void Fill(uint32_t v) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) At(x, y) = v;
  }
  // Rows of characters: '#' where the pixel equals `on`, '.' elsewhere.
  std::vector<std::string> Mask(uint32_t on) {
    std::vector<std::string> rows;
    for (int y = 0; y < h; ++y) {
      std::string r;
      for (int x = 0; x < w; ++x) r += At(x, y) == on ? '#' : '.';
      rows.push_back(r);
    }
    return rows;
  }
};

}  // namespace gditest
