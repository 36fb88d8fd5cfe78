// The effects bitmap. Rounding is to the nearest integer with ties to even (the default
// floating-point rounding mode), as everywhere in the skin engine.
#include "lib/graphics/kxEffectBmp.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

using namespace win;

namespace {

int32_t Nearest(double v) {
  if (std::isnan(v)) return 0;
  v = std::clamp(v, -2147483648.0, 2147483647.0);
  return int32_t(std::nearbyint(v));
}
uint8_t Clamp255(double v) { return uint8_t(std::clamp(Nearest(v), 0, 255)); }
double ClampKf(double Kf) { return std::isnan(Kf) ? 0.0 : std::clamp(Kf, 0.0, 1.0); }
// A count nearest(v) limited to lo .. hi (an empty range gives lo - 1, which draws nothing).
int32_t Limited(double v, int32_t lo, int32_t hi) {
  if (hi < lo) return lo - 1;
  return std::clamp(Nearest(v), lo, hi);
}
// nearest(t * a + (1 - t) * b) for the three bytes.
void Mix(uint8_t* d, const uint8_t* a, const uint8_t* b, double t) {
  for (int c = 0; c < 3; ++c) d[c] = Clamp255(t * a[c] + (1 - t) * b[c]);
}

}  // namespace

std::function<int32_t(int32_t)> TkxEffectBmp::Random = [](int32_t n) {
  static std::mt19937 gen{std::random_device{}()};
  return int32_t(std::uniform_int_distribution<int32_t>(0, n - 1)(gen));
};

TkxEffectBmp::TkxEffectBmp(int32_t cx, int32_t cy) {
  BmpHeader.biSize = 40;
  BmpHeader.biPlanes = 1;
  BmpHeader.biBitCount = 24;
  BmpHeader.biCompression = BI_RGB;
  if (cx <= 0 || cy <= 0) {
    BmpInfo.bmiHeader = BmpHeader;
    return;
  }
  BmpHeader.biWidth = cx;
  BmpHeader.biHeight = -cy;
  BmpInfo.bmiHeader = BmpHeader;
  void* bits = nullptr;
  Handle = CreateDIBSection(nullptr, &BmpInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!Handle) return;
  Bits = static_cast<uint8_t*>(bits);
  Width = cx;
  Height = cy;
  Size = RowSize() * Height;
}

TkxEffectBmp::~TkxEffectBmp() {
  if (Handle) DeleteObject(Handle);
}

std::unique_ptr<TkxEffectBmp> TkxEffectBmp::CreateFromhWnd(HBITMAP hBmp) {
  BITMAP bm{};
  if (hBmp) GetObject(hBmp, sizeof(bm), &bm);
  auto e = std::make_unique<TkxEffectBmp>(bm.bmWidth, std::abs(bm.bmHeight));
  if (e->Bits) {
    HDC dc = CreateDCW("DISPLAY", nullptr, nullptr, nullptr);
    GetDIBits(dc, hBmp, 0, UINT(e->Height), e->Bits, &e->BmpInfo, DIB_RGB_COLORS);
    DeleteDC(dc);
  }
  return e;
}

std::unique_ptr<TkxEffectBmp> TkxEffectBmp::CreateCopy(const TkxEffectBmp& hBmp) {
  auto e = std::make_unique<TkxEffectBmp>(hBmp.Width, hBmp.Height);
  if (e->Bits && hBmp.Bits) std::memcpy(e->Bits, hBmp.Bits, size_t(hBmp.Size));
  return e;
}

void TkxEffectBmp::GetScanLine(int32_t y, void* Line) const {
  if (y >= 0 && y < Height) std::memcpy(Line, ScanLineAddress(y), size_t(Width) * 3);
}
void TkxEffectBmp::SetScanLine(int32_t y, const void* Line) {
  if (y >= 0 && y < Height) std::memcpy(ScanLineAddress(y), Line, size_t(Width) * 3);
}
int32_t TkxEffectBmp::ReadPixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return 0;
  const uint8_t* p = Px(x, y);
  return p[0] | (p[1] << 8) | (p[2] << 16);
}
void TkxEffectBmp::WritePixel(int32_t x, int32_t y, int32_t Value) {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return;
  uint8_t* p = Px(x, y);
  p[0] = uint8_t(Value), p[1] = uint8_t(Value >> 8), p[2] = uint8_t(Value >> 16);
}

void TkxEffectBmp::Draw(HDC hDC, int32_t x, int32_t y) {
  if (!Bits) return;
  SetDIBitsToDevice(hDC, x, y, DWORD(Width), DWORD(Height), 0, 0, 0, UINT(Height), Bits, &BmpInfo, DIB_RGB_COLORS);
}
void TkxEffectBmp::Stretch(HDC hDC, int32_t x, int32_t y, int32_t cx, int32_t cy) {
  if (!Bits) return;
  StretchDIBits(hDC, x, y, cx, cy, 0, 0, Width, Height, Bits, &BmpInfo, DIB_RGB_COLORS, SRCCOPY);
}
void TkxEffectBmp::DrawRect(HDC hDC, int32_t hx, int32_t hy, int32_t x, int32_t y, int32_t cx, int32_t cy) {
  // Two mirrors that cancel out: the intent is a plain copy of the part.
  if (!Handle || cx <= 0 || cy <= 0) return;
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, Handle);
  BitBlt(hDC, hx, hy, cx, cy, mem, x, y, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void TkxEffectBmp::Resize(TkxEffectBmp* Dst) {
  if (!Dst || Width <= 0 || Height <= 0 || Dst->Width <= 0 || Dst->Height <= 0) return;
  const double kx = double(Dst->Width - 1) / Width, ky = double(Dst->Height - 1) / Height;
  const int32_t bw = Nearest(kx) + 1, bh = Nearest(ky) + 1;
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) {
      const int32_t v = ReadPixel(x, y), x0 = Nearest(kx * x), y0 = Nearest(ky * y);
      for (int32_t j = y0; j < std::min(y0 + bh, Dst->Height); ++j)
        for (int32_t i = x0; i < std::min(x0 + bw, Dst->Width); ++i) Dst->WritePixel(i, j, v);
    }
}

// ---- Transitions ---------------------------------------------------------------------------
void TkxEffectBmp::Morph(TkxEffectBmp* BMP, double Kf) {
  if (!SameSize(BMP)) return;
  Kf = ClampKf(Kf);
  for (int32_t y = 0; y < Height; ++y) {
    uint8_t *a = ScanLineAddress(y), *b = BMP->ScanLineAddress(y);
    for (int32_t i = 0; i < Width * 3; ++i) a[i] = Clamp255((1 - Kf) * a[i] + Kf * b[i]);
  }
}

void TkxEffectBmp::MorphRect(TkxEffectBmp* BMP, double Kf, const TRect& Rct, int32_t StartX, int32_t StartY) {
  if (!BMP) return;
  Kf = ClampKf(Kf);
  // Rectangles reaching outside either picture are cut to both.
  for (int32_t y = std::max(0, Rct.top); y < std::min(Rct.bottom, Height); ++y) {
    int32_t sy = StartY + y - Rct.top;
    if (sy < 0 || sy >= BMP->Height) continue;
    for (int32_t x = std::max(0, Rct.left); x < std::min(Rct.right, Width); ++x) {
      int32_t sx = StartX + x - Rct.left;
      if (sx < 0 || sx >= BMP->Width) continue;
      uint8_t *a = Px(x, y), *b = BMP->Px(sx, sy);
      for (int c = 0; c < 3; ++c) a[c] = Clamp255((1 - Kf) * a[c] + Kf * b[c]);
    }
  }
}

void TkxEffectBmp::CopyRect(TkxEffectBmp* BMP, const TRect& Rct, int32_t StartX, int32_t StartY) {
  if (!BMP) return;
  for (int32_t y = std::max(0, Rct.top); y <= std::min(Rct.bottom, Height - 1); ++y) {
    int32_t sy = StartY + y - Rct.top;
    if (sy < 0 || sy >= BMP->Height) continue;
    for (int32_t x = std::max(0, Rct.left); x <= std::min(Rct.right, Width - 1); ++x) {
      int32_t sx = StartX + x - Rct.left;
      if (sx < 0 || sx >= BMP->Width) continue;
      std::memcpy(Px(x, y), BMP->Px(sx, sy), 3);
    }
  }
}

void TkxEffectBmp::BlendColumn(TkxEffectBmp* BMP, int32_t x, double t) {
  for (int32_t y = 0; y < Height; ++y) Mix(Px(x, y), Px(x, y), BMP->Px(x, y), t);
}
void TkxEffectBmp::BlendRow(TkxEffectBmp* BMP, int32_t y, double t) {
  for (int32_t x = 0; x < Width; ++x) Mix(Px(x, y), Px(x, y), BMP->Px(x, y), t);
}

void TkxEffectBmp::MorphLeftGrad(TkxEffectBmp* BMP, double Kf) {
  // A picture 1 wide has no column range to limit to (column b would lie past the row).
  if (!SameSize(BMP) || Width < 2) return;
  const int32_t b = Limited(Width * Kf, 1, Width - 1);
  double t = 0;
  for (int32_t x = 0; x <= b; ++x) {
    BlendColumn(BMP, x, t);
    t = std::min(1.0, t + 1.0 / b);
  }
}

void TkxEffectBmp::MorphRightGrad(TkxEffectBmp* BMP, double Kf) {
  if (!SameSize(BMP)) return;
  const int32_t s = std::clamp(Width - std::clamp(Nearest(Width * Kf), -Width, Width), 0, Width - 1);
  double t = 0;
  for (int32_t x = Width - 1; x >= s; --x) {
    BlendColumn(BMP, x, t);
    t = std::min(1.0, t + 1.0 / (Width - s));
  }
}

void TkxEffectBmp::MorphLeftSlide(TkxEffectBmp* BMP, double Kf) {
  if (!SameSize(BMP)) return;
  const int32_t b = Limited(Width * Kf, 1, Width - 1);
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < b; ++x) std::memcpy(Px(x, y), BMP->Px(Width - b + x, y), 3);
}

void TkxEffectBmp::MorphRightSlide(TkxEffectBmp* BMP, double Kf) {
  if (!SameSize(BMP)) return;
  const int32_t b = Limited(Width * Kf, 1, Width - 1);
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < b; ++x) std::memcpy(Px(Width - b + x, y), BMP->Px(x, y), 3);
}

void TkxEffectBmp::MorphPush(TkxEffectBmp* BMP, double Kf) {
  if (!SameSize(BMP)) return;
  const int32_t b = Limited(Width * Kf, 0, Width - 1);
  std::vector<uint8_t> row(size_t(Width) * 3);
  for (int32_t y = 0; y < Height; ++y) {
    GetScanLine(y, row.data());
    uint8_t* d = ScanLineAddress(y);
    std::memcpy(d + 3 * (b + 1), row.data(), size_t(Width - b - 1) * 3);
    std::memcpy(d, BMP->Px(Width - b - 1, y), size_t(b + 1) * 3);
  }
}

void TkxEffectBmp::MorphHGrad(TkxEffectBmp* BMP, double Kf) {
  if (!SameSize(BMP)) return;
  const int32_t W = Width;
  // A factor outside 0..1 would put the band outside the picture.
  const int32_t b = std::clamp(Nearest(W * Kf), 0, W);
  const int32_t g = (W - b) / 2;
  const double step = g == 0 ? 1.0 : 1.0 / g;
  const int32_t lo = std::max(0, W / 2 - b / 2), hi = std::min(W - 1, W / 2 + b / 2);
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = lo; x <= hi; ++x) std::memcpy(Px(x, y), BMP->Px(x, y), 3);
  double t = 0;
  for (int32_t x = lo; x >= 0; --x, t = std::min(1.0, t + step)) BlendColumn(BMP, x, t);
  t = 0;
  for (int32_t x = hi; x < W; ++x, t = std::min(1.0, t + step)) BlendColumn(BMP, x, t);
}

void TkxEffectBmp::MorphVGrad(TkxEffectBmp* BMP, double Kf) {
  if (!SameSize(BMP)) return;
  const int32_t H = Height;
  const int32_t b = std::clamp(Nearest(H * Kf), 0, H);
  const int32_t g = (H - 1 - b) / 2;
  const double step = g == 0 ? 0.0 : 1.0 / g;
  const int32_t lo = std::max(0, H / 2 - b / 2), hi = std::min(H - 1, H / 2 + b / 2);
  for (int32_t y = lo; y <= hi; ++y) std::memcpy(ScanLineAddress(y), BMP->ScanLineAddress(y), size_t(Width) * 3);
  double t = 0;
  for (int32_t y = lo; y >= 0; --y, t = std::min(1.0, t + step)) BlendRow(BMP, y, t);
  t = 0;
  for (int32_t y = hi; y < H; ++y, t = std::min(1.0, t + step)) BlendRow(BMP, y, t);
}

void TkxEffectBmp::MorphGrad(TkxEffectBmp* BMP, double Kf) {
  if (Width < Height)
    MorphVGrad(BMP, Kf);
  else
    MorphHGrad(BMP, Kf);
}

// ---- Filters -------------------------------------------------------------------------------
void TkxEffectBmp::ChangeBrightness(double Kf) {
  Kf = ClampKf(Kf);
  for (int32_t y = 0; y < Height; ++y) {
    uint8_t* p = ScanLineAddress(y);
    for (int32_t i = 0; i < Width * 3; ++i) p[i] = Clamp255((1 - Kf) * p[i] + Kf * 255);
  }
}

void TkxEffectBmp::ChangeDarkness(double Kf) {
  Kf = ClampKf(Kf);
  for (int32_t y = 0; y < Height; ++y) {
    uint8_t* p = ScanLineAddress(y);
    for (int32_t i = 0; i < Width * 3; ++i) p[i] = Clamp255((1 - Kf) * p[i]);
  }
}

void TkxEffectBmp::Invert() {
  for (int32_t y = 0; y < Height; ++y) {
    uint8_t* p = ScanLineAddress(y);
    for (int32_t i = 0; i < Width * 3; ++i) p[i] = uint8_t(255 - p[i]);
  }
}

void TkxEffectBmp::GrayScale() {
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) {
      uint8_t* p = Px(x, y);
      uint8_t g = Clamp255(0.3 * p[2] + 0.59 * p[1] + 0.11 * p[0]);
      p[0] = p[1] = p[2] = g;
    }
}

void TkxEffectBmp::AddMonoNoise(int32_t Amount) {
  if (Amount <= 0) return;  // no range to draw from
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) {
      uint8_t* p = Px(x, y);
      int32_t n = Random(Amount) - Amount / 2;
      for (int c = 0; c < 3; ++c) p[c] = uint8_t(std::clamp(p[c] + n, 0, 255));
    }
}

void TkxEffectBmp::AddColorNoise(int32_t Amount) {
  if (Amount <= 0) return;
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) {
      uint8_t* p = Px(x, y);
      for (int c = 2; c >= 0; --c) p[c] = uint8_t(std::clamp(p[c] + Random(Amount) - Amount / 2, 0, 255));
    }
}

// Samples beyond the picture (an amount as large as the picture) are taken at its last row or
// column: the picture is never read outside.
void TkxEffectBmp::SampleRows(int32_t y, int32_t A, int32_t& yu, int32_t& yd) const {
  yu = y >= A ? y - A : y;
  yd = y + A < Height ? y + A : std::min(Height - y, Height - 1);
}
void TkxEffectBmp::SampleCols(int32_t x, int32_t A, int32_t& xl, int32_t& xr) const {
  xl = x >= A ? x - A : x;
  xr = x + A < Width ? x + A : std::min(Width - x, Width - 1);
}

void TkxEffectBmp::SplitBlur(int32_t Amount) { MaskBlur(nullptr, Amount); }

void TkxEffectBmp::Mosaic(int32_t ASize) {
  if (ASize <= 1 || Width <= 0 || Height <= 0) return;
  for (int32_t by = 0; by < Height; by += ASize)
    for (int32_t bx = 0; bx < Width; bx += ASize) {
      int32_t v = ReadPixel(bx, by);
      for (int32_t y = by; y < std::min(by + ASize, Height); ++y)
        for (int32_t x = bx; x < std::min(bx + ASize, Width); ++x) WritePixel(x, y, v);
    }
}

// ---- Geometry ------------------------------------------------------------------------------
void TkxEffectBmp::Rotate90_1(TkxEffectBmp* Dst) {
  if (!Dst || Dst->Width != Height || Dst->Height != Width) return;
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) std::memcpy(Dst->Px(y, Width - 1 - x), Px(x, y), 3);
}

void TkxEffectBmp::Rotate90_2(TkxEffectBmp* Dst) {
  if (!Dst || Dst->Width != Height || Dst->Height != Width) return;
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) std::memcpy(Dst->Px(Height - 1 - y, x), Px(x, y), 3);
}

void TkxEffectBmp::FlipVert(TkxEffectBmp* Dst) {
  if (!SameSize(Dst)) return;
  for (int32_t y = 0; y < Height; ++y)
    std::memcpy(Dst->ScanLineAddress(Height - 1 - y), ScanLineAddress(y), size_t(Width) * 3);
}

void TkxEffectBmp::Wave(int32_t XDIV, int32_t YDIV, int32_t RatioVal) {
  if (XDIV == 0 || YDIV == 0 || Width <= 0 || Height <= 0) return;
  std::vector<uint8_t> copy(Bits, Bits + Size);
  const int32_t rs = RowSize();
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) {
      int32_t sx = std::clamp(Nearest(std::sin(double(y) / YDIV) * RatioVal + x), 0, Width - 1);
      int32_t sy = std::clamp(Nearest(std::sin(double(x) / XDIV) * RatioVal + y), 0, Height - 1);
      std::memcpy(Px(x, y), copy.data() + ptrdiff_t(sy) * rs + 3 * sx, 3);
    }
}

// ---- Mask effects --------------------------------------------------------------------------
bool TkxEffectBmp::MaskFits(const TkxEffectBmp* M) const {
  return M && Width > 0 && Height > 0 && M->Width == Width && M->Height >= Height;
}

namespace {
bool White(const uint8_t* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; }
}  // namespace

// Without a mask: every pixel (the split blur itself).
void TkxEffectBmp::MaskBlur(TkxEffectBmp* Msk, int32_t Amount) {
  // A negative amount would sample below and right of the pixel, past the picture's ends.
  if (Amount <= 0 || Width <= 0 || Height <= 0 || (Msk && !MaskFits(Msk))) return;
  std::vector<uint8_t> row(size_t(Width) * 3);
  for (int32_t y = 0; y < Height; ++y) {
    GetScanLine(y, row.data());
    int32_t yu, yd;
    SampleRows(y, Amount, yu, yd);
    for (int32_t x = 0; x < Width; ++x) {
      if (Msk && White(Msk->Px(x, y))) continue;
      int32_t xl, xr;
      SampleCols(x, Amount, xl, xr);
      for (int c = 0; c < 3; ++c)
        row[size_t(3 * x + c)] = uint8_t((Px(xl, yu)[c] + Px(xl, yd)[c] + Px(xr, yu)[c] + Px(xr, yd)[c]) / 4);
    }
    SetScanLine(y, row.data());
  }
}

void TkxEffectBmp::MaskAntialiasing(TkxEffectBmp* Msk, int32_t Amount) {
  if (Amount <= 0 || !MaskFits(Msk)) return;
  std::vector<uint8_t> row(size_t(Width) * 3);
  for (int32_t y = 0; y < Height; ++y) {
    GetScanLine(y, row.data());
    int32_t yu, yd;
    SampleRows(y, Amount, yu, yd);
    const int32_t myd = y + Amount < Msk->Height ? y + Amount : yd;
    for (int32_t x = 0; x < Width; ++x) {
      if (White(Msk->Px(x, y))) continue;
      int32_t xl, xr;
      SampleCols(x, Amount, xl, xr);
      if (!(White(Msk->Px(xl, yu)) || White(Msk->Px(xl, myd)) || White(Msk->Px(xr, yu)) || White(Msk->Px(xr, myd))))
        continue;
      for (int c = 0; c < 3; ++c)
        row[size_t(3 * x + c)] = uint8_t((Px(xl, yu)[c] + Px(xl, yd)[c] + Px(xr, yu)[c] + Px(xr, yd)[c]) / 4);
    }
    SetScanLine(y, row.data());
  }
}

void TkxEffectBmp::MaskFillColor(TkxEffectBmp* Msk, TColor C, double kf) {
  if (!MaskFits(Msk)) return;
  const COLORREF rgb = ColorToRGB(C);
  const uint8_t fill[3] = {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)};
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) {
      if (White(Msk->Px(x, y))) continue;
      uint8_t* p = Px(x, y);
      for (int c = 0; c < 3; ++c) p[c] = Clamp255((1 - kf) * p[c] + kf * fill[c]);
    }
}

void TkxEffectBmp::MorphBy(TkxMorphKind Kind, TkxEffectBmp* BMP, double Kf) {
  switch (Kind) {
    case mkGradient: MorphGrad(BMP, Kf); break;
    case mkLeftGradient: MorphLeftGrad(BMP, Kf); break;
    case mkRightGradient: MorphRightGrad(BMP, Kf); break;
    case mkLeftSlide: MorphLeftSlide(BMP, Kf); break;
    case mkRightSlide: MorphRightSlide(BMP, Kf); break;
    case mkPush: MorphPush(BMP, Kf); break;
    default: Morph(BMP, Kf); break;
  }
}
