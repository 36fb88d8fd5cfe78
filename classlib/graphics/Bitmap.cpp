// TBitmap over a top-down DIB section, and its canvas.
#include <cstring>

#include "base/Stream.h"
#include "base/Resources.h"
#include "classlib/Graphics.h"
#include "classlib/graphics/Codecs.h"

using namespace win;

namespace {

int BitsOf(TPixelFormat pf) {
  switch (pf) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf24bit: return 24;
    default: return 32;  // pfDevice and pf32bit: the screen's depth
  }
}

TPixelFormat FormatOf(int bpp) {
  switch (bpp) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 32: return pf32bit;
    default: return pf24bit;  // 16-bit pictures are widened to 24 bits
  }
}

void CheckFormat(TPixelFormat pf) {
  if (pf == pf15bit || pf == pf16bit || pf == pfCustom)
    throw EInvalidGraphicOperation("Unsupported pixel format");
}

}  // namespace

// ---- TBitmapCanvas ---------------------------------------------------------------------------
TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::CreateHandle() {
  if (FHandle) return;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) throw EOutOfResources("Out of system resources");
  FOwnDC = dc;
  if (FBitmap->FHandle) FOldBitmap = SelectObject(dc, FBitmap->FHandle);
  FHandle = dc;
}

void TBitmapCanvas::FreeContext() {
  HDC own = FOwnDC;
  bool ours = own && FHandle == own;
  TCanvas::FreeContext();
  if (own) {
    if (FOldBitmap) SelectObject(own, FOldBitmap);
    DeleteDC(own);
  }
  (void)ours;
  FOwnDC = nullptr;
  FOldBitmap = nullptr;
}

// ---- TBitmap ---------------------------------------------------------------------------------
TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  FCanvas.reset();
  FreeDib();
}

void TBitmap::DetachCanvas() {
  if (FCanvas) FCanvas->FreeContext();
}

void TBitmap::FreeDib() {
  DetachCanvas();
  if (FPalette) DeleteObject(FPalette);
  FPalette = nullptr;
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
  FBits = nullptr;
  FColors.clear();
  FWidth = FHeight = 0;
}

void TBitmap::NewImage(int32_t W, int32_t H, TPixelFormat PF, const img::RawImage* Init) {
  if (W <= 0 || H <= 0) {
    FreeDib();
    FPixelFormat = PF;
    return;
  }
  const int bpp = BitsOf(PF);
  std::vector<uint32_t> colors;
  if (bpp <= 8) {
    colors = Init && Init->BitsPerPixel == bpp ? Init->Palette : img::DefaultPalette(bpp);
    colors.resize(size_t(1) << bpp, 0);
  }
  if (img::RowStride(W, bpp) * uint64_t(H) > img::kMaxImageBytes) throw EOutOfResources("Out of system resources");
  std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + colors.size() * sizeof(RGBQUAD) + sizeof(RGBQUAD));
  auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
  bmi->bmiHeader = BITMAPINFOHEADER();
  bmi->bmiHeader.biWidth = W;
  bmi->bmiHeader.biHeight = -H;  // top-down
  bmi->bmiHeader.biPlanes = 1;
  bmi->bmiHeader.biBitCount = WORD(bpp);
  bmi->bmiHeader.biCompression = BI_RGB;
  bmi->bmiHeader.biClrUsed = DWORD(colors.size());
  auto* table = reinterpret_cast<RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
  for (size_t i = 0; i < colors.size(); ++i)
    table[i] = RGBQUAD{BYTE(colors[i]), BYTE(colors[i] >> 8), BYTE(colors[i] >> 16), 0};
  void* bits = nullptr;
  HBITMAP h = CreateDIBSection(nullptr, bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!h || !bits) {
    if (h) DeleteObject(h);
    throw EOutOfResources("Out of system resources");
  }
  const size_t stride = size_t(img::RowStride(W, bpp));
  if (Init && Init->Width == W && Init->Height == H && Init->BitsPerPixel == bpp && Init->Pixels.size() >= stride * size_t(H))
    std::memcpy(bits, Init->Pixels.data(), stride * size_t(H));
  // Only now, with the new picture made, let go of the old one.
  FreeDib();
  FHandle = h;
  FBits = static_cast<uint8_t*>(bits);
  FColors = std::move(colors);
  FWidth = W;
  FHeight = H;
  FPixelFormat = PF;
}

size_t TBitmap::Stride() const { return Empty() ? 0 : size_t(img::RowStride(FWidth, BitsOf(FPixelFormat))); }

img::RawImage TBitmap::ToRawImage() const {
  img::RawImage out;
  if (Empty()) return out;
  const int bpp = BitsOf(FPixelFormat);
  out.Allocate(FWidth, FHeight, bpp);
  if (bpp <= 8) out.Palette = FColors;
  out.HasAlpha = bpp == 32;
  std::memcpy(out.Pixels.data(), FBits, out.Pixels.size());
  return out;
}

void TBitmap::LoadRawImage(const img::RawImage& Image) {
  if (Image.Empty()) {
    FreeDib();
    Changed();
    return;
  }
  if (Image.BitsPerPixel == 16) {
    img::RawImage wide = img::ConvertFormat(Image, 24);
    NewImage(wide.Width, wide.Height, pf24bit, &wide);
  } else {
    NewImage(Image.Width, Image.Height, FormatOf(Image.BitsPerPixel), &Image);
  }
  Changed();
}

void TBitmap::SetSize(int32_t AWidth, int32_t AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  if (AWidth == FWidth && AHeight == FHeight) return;
  if (AWidth == 0 || AHeight == 0) {
    // Both sizes are kept, so that setting the other one later makes the picture.
    FreeDib();
    FWidth = AWidth;
    FHeight = AHeight;
    Changed();
    return;
  }
  // The new picture: the brush colour everywhere, then the old pixels where they overlap.
  const int bpp = BitsOf(FPixelFormat);
  img::RawImage next;
  next.Allocate(AWidth, AHeight, bpp);
  if (bpp <= 8) next.Palette = FColors.empty() ? img::DefaultPalette(bpp) : FColors;
  const TColor brush = FCanvas ? FCanvas->Brush()->Color() : clWhite;
  const COLORREF c = ColorToRGB(brush);
  const uint32_t fill = (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);  // alpha 0
  for (int y = 0; y < AHeight; ++y)
    for (int x = 0; x < AWidth; ++x) next.SetPixel(x, y, fill);
  if (!Empty()) {
    const int w = std::min(AWidth, FWidth), h = std::min(AHeight, FHeight);
    const size_t oldStride = Stride();
    for (int y = 0; y < h; ++y) {
      const uint8_t* src = FBits + size_t(y) * oldStride;
      if (bpp >= 8) {
        std::memcpy(next.Row(y), src, size_t(w) * size_t(bpp / 8));
      } else {
        for (int x = 0; x < w; ++x) {
          int i = bpp == 1 ? (src[x >> 3] >> (7 - (x & 7))) & 1 : (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
          next.SetIndex(x, y, i);
        }
      }
    }
  }
  NewImage(AWidth, AHeight, FPixelFormat, &next);
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  CheckFormat(Value);
  if (Value == FPixelFormat) return;
  if (Empty() || BitsOf(Value) == BitsOf(FPixelFormat)) {
    FPixelFormat = Value;
    return;
  }
  img::RawImage conv = img::ConvertFormat(ToRawImage(), BitsOf(Value));
  NewImage(FWidth, FHeight, Value, &conv);
  Changed();
}

void TBitmap::SetHandleType(TBitmapHandleType Value) { FHandleType = Value; }

void TBitmap::SetMonochrome(bool Value) {
  if (Value == Monochrome()) return;
  SetPixelFormat(Value ? pf1bit : pfDevice);
}

void* TBitmap::ScanLine(int32_t Row) {
  if (Row < 0 || Row >= FHeight || !FBits) throw EInvalidGraphicOperation("Scan line index out of range");
  FHandleType = bmDIB;
  return FBits + size_t(Row) * Stride();
}

void TBitmap::SetHandle(HBITMAP Value) {
  if (!Value) {
    FreeDib();
    Changed();
    return;
  }
  if (Value == FHandle) return;
  BITMAP bm;
  if (GetObject(Value, sizeof bm, &bm) < int(sizeof bm) || bm.bmWidth <= 0 || bm.bmHeight == 0)
    throw EInvalidGraphicOperation("Invalid bitmap handle");
  const int32_t w = bm.bmWidth, h = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  const int bpp = bm.bmBitsPixel == 24 ? 24 : 32;
  img::RawImage raw;
  raw.Allocate(w, h, bpp);
  std::vector<uint8_t> info(sizeof(BITMAPINFO) + 256 * sizeof(RGBQUAD));
  auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
  bmi->bmiHeader = BITMAPINFOHEADER();
  bmi->bmiHeader.biWidth = w;
  bmi->bmiHeader.biHeight = -h;
  bmi->bmiHeader.biPlanes = 1;
  bmi->bmiHeader.biBitCount = WORD(bpp);
  HDC screen = CreateCompatibleDC(nullptr);
  int lines = GetDIBits(screen, Value, 0, UINT(h), raw.Pixels.data(), bmi, DIB_RGB_COLORS);
  DeleteDC(screen);
  if (lines != h) throw EInvalidGraphicOperation("Invalid bitmap handle");
  NewImage(w, h, bpp == 24 ? pf24bit : pf32bit, &raw);
  DeleteObject(Value);  // the bitmap took the handle over
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  DetachCanvas();
  HBITMAP h = FHandle;
  FHandle = nullptr;
  FBits = nullptr;
  FreeDib();
  Changed();
  return h;
}

HPALETTE TBitmap::Palette() {
  if (FColors.empty()) return nullptr;
  if (!FPalette) {
    std::vector<uint8_t> buf(sizeof(LOGPALETTE) + FColors.size() * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = WORD(FColors.size());
    for (size_t i = 0; i < FColors.size(); ++i)
      lp->palPalEntry[i] = PALETTEENTRY{BYTE(FColors[i] >> 16), BYTE(FColors[i] >> 8), BYTE(FColors[i]), 0};
    FPalette = CreatePalette(lp);
  }
  return FPalette;
}

void TBitmap::SetPalette(HPALETTE Value) {
  if (!Value || Empty() || FColors.empty()) return;  // 24 and 32-bit pictures have no colour table
  std::vector<PALETTEENTRY> entries(FColors.size());
  UINT n = GetPaletteEntries(Value, 0, UINT(entries.size()), entries.data());
  if (n == 0) throw EInvalidGraphicOperation("Invalid palette handle");
  img::RawImage raw = ToRawImage();
  for (UINT i = 0; i < n && i < raw.Palette.size(); ++i)
    raw.Palette[i] = (uint32_t(entries[i].peRed) << 16) | (uint32_t(entries[i].peGreen) << 8) | entries[i].peBlue;
  NewImage(FWidth, FHeight, FPixelFormat, &raw);
  Changed();
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TBitmapCanvas>(this);
  return FCanvas.get();
}

void TBitmap::Dormant() { DetachCanvas(); }

void TBitmap::SetTransparent(bool Value) { TGraphic::SetTransparent(Value); }

TColor TBitmap::TransparentColor() {
  if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
  if (Empty()) return clDefault;
  const uint8_t* row = FBits + size_t(FHeight - 1) * Stride();
  uint32_t p = img::ReadPixel(row, 0, BitsOf(FPixelFormat), false, false, FColors.data(), FColors.size());
  return TColor(RGB(BYTE(p >> 16), BYTE(p >> 8), BYTE(p)));
}

void TBitmap::SetTransparentColor(TColor Value) {
  if (Value == FTransparentColor && FTransparentMode == (Value == clDefault ? tmAuto : tmFixed)) return;
  FTransparentColor = Value;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  if (Value == tmAuto)
    SetTransparentColor(clDefault);
  else
    SetTransparentColor(TransparentColor());
}

void TBitmap::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (!Source) {
    FreeDib();
    Changed();
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    img::RawImage raw = b->ToRawImage();
    if (raw.Empty()) {
      FreeDib();
    } else {
      NewImage(raw.Width, raw.Height, b->FPixelFormat, &raw);
    }
    FPixelFormat = b->FPixelFormat;
    FHandleType = b->FHandleType;
    FTransparent = b->FTransparent;
    FTransparentColor = b->FTransparentColor;
    FTransparentMode = b->FTransparentMode;
    Changed();
    return;
  }
  if (auto* p = dynamic_cast<TPicture*>(Source)) {
    Assign(p->Graphic());
    return;
  }
  if (dynamic_cast<TCodecImage*>(Source)) {
    TGraphic::Assign(Source);  // the image copies itself in (AssignTo)
    return;
  }
  if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    // Any other graphic is drawn onto a bitmap of its size.
    SetSize(0, 0);
    SetSize(g->Width(), g->Height());
    if (!Empty()) Canvas()->Draw(0, 0, g);
    return;
  }
  TGraphic::Assign(Source);
}

void TBitmap::LoadFromStream(TStream& Stream) {
  const int64_t start = Stream.Position();
  const int64_t left = Stream.Size() - start;
  if (left <= 0) throw EInvalidGraphic("Bitmap image is not valid");
  std::vector<uint8_t> data(static_cast<size_t>(left));
  Stream.ReadBuffer(data.data(), left);
  size_t used = 0;
  img::RawImage raw;
  try {
    raw = img::ReadBmp(data.data(), data.size(), &used);
  } catch (...) {
    Stream.SetPosition(start);
    throw;
  }
  LoadRawImage(raw);
  Stream.SetPosition(start + int64_t(used));
}

void TBitmap::SaveToStream(TStream& Stream) {
  if (Empty()) throw EInvalidGraphic("Cannot save an empty bitmap");
  img::Bytes file = img::WriteBmp(ToRawImage());
  Stream.WriteBuffer(file.data(), int64_t(file.size()));
}

void TBitmap::LoadFromResourceName(uintptr_t, const std::string& ResName) {
  TResourceStream stream(ResName, TResourceKind::Bitmap);
  LoadFromStream(stream);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& R) {
  if (Empty() || !ACanvas) return;
  HDC dst = ACanvas->Handle();
  HDC src = Canvas()->Handle();
  const int dw = R.right - R.left, dh = R.bottom - R.top;
  if (FTransparent) {
    TransparentBlt(dst, R.left, R.top, dw, dh, src, 0, 0, FWidth, FHeight, ColorToRGB(TransparentColor()) & 0xFFFFFF);
  } else if (dw == FWidth && dh == FHeight) {
    BitBlt(dst, R.left, R.top, dw, dh, src, 0, 0, ACanvas->CopyMode);
  } else {
    StretchBlt(dst, R.left, R.top, dw, dh, src, 0, 0, FWidth, FHeight, ACanvas->CopyMode);
  }
}
