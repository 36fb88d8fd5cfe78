#include "lib/graphics/kxBitmap.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <mutex>

#include "base/Exception.h"
#include "base/Stream.h"
#include "base/Text.h"
#include "lib/graphics/kxCpu.h"
#include "lib/skin/kxStreamStrings.h"

namespace {

// ---- Stream records ------------------------------------------------------------------------------
int64_t BytesLeft(TStream& S) { return S.Size() - S.Position(); }

int32_t ReadInt32(TStream& S) {
  int32_t v = 0;
  S.ReadBuffer(&v, 4);
  return v;
}

void WriteInt32(TStream& S, int32_t v) { S.WriteBuffer(&v, 4); }

// A name: a stream string; a damaged one is a damaged record.
std::string ReadName(TStream& S) {
  std::string name;
  ReadStreamString(S, name);
  return name;
}

// ---- Surfaces the stretch kernels write --------------------------------------------------------------
struct Surface {
  TkxColor* Bits;
  int32_t Width, Height;
  bool BottomUp;
  TkxColor* Row(int32_t Y) const {
    return BottomUp ? Bits + ptrdiff_t(Width) * (Height - Y - 1) : Bits + ptrdiff_t(Y) * Width;
  }
};

enum class Kind { Opaque, Keyed, Blended };

TkxLineProc RunKernel(Kind K) {
  const auto& k = PixelKernels();
  return K == Kind::Opaque ? k.CopyLine : K == Kind::Keyed ? k.KeyCopyLine : k.BlendLine;
}

bool SourceInside(const TRect& Src, const TkxBitmap* Source) {
  return !Source->Empty() && Src.left >= 0 && Src.top >= 0 && Src.right <= Source->Width() &&
         Src.bottom <= Source->Height();
}

// The same-size copy of the clip from Source at (SX, SY): the caller has checked that the
// clipped source lies inside Source.
void CopyRows(Kind K, const Surface& T, const TRect& Clip, const TkxBitmap* Source, int32_t SX, int32_t SY) {
  TkxLineProc run = RunKernel(K);
  int32_t cw = RectWidth(Clip);
  // Whole rows of both pictures follow each other in memory: one run does them all.
  if (!T.BottomUp && cw == T.Width && cw == Source->Width() && SX == 0 &&
      int64_t(cw) * RectHeight(Clip) <= INT32_MAX) {
    run(Source->RowAddress(SY), T.Row(Clip.top), cw * RectHeight(Clip));
    return;
  }
  for (int32_t r = 0; r < RectHeight(Clip); ++r)
    run(Source->PixelAddress(SX, SY + r), T.Row(Clip.top + r) + Clip.left, cw);
}

void Stretch(Kind K, const Surface& T, const TRect& DstRect, const TRect& ClipRect, const TRect& SrcRect,
             const TkxBitmap* Source, TkxStretchRounding Rounding) {
  if (SrcRect.right <= SrcRect.left || SrcRect.bottom <= SrcRect.top) return;
  if (!T.Bits || T.Width <= 0 || T.Height <= 0) return;
  TRect clip = IntersectRects(IntersectRects(ClipRect, TRect{0, 0, T.Width, T.Height}), DstRect);
  if (IsEmptyRect(clip)) return;
  if (!SourceInside(SrcRect, Source)) return;
  int32_t sw = RectWidth(SrcRect), sh = RectHeight(SrcRect);
  int32_t dw = RectWidth(DstRect), dh = RectHeight(DstRect);
  if (sw == dw && sh == dh) {
    CopyRows(K, T, clip, Source, SrcRect.left + clip.left - DstRect.left, SrcRect.top + clip.top - DstRect.top);
    return;
  }
  int32_t cw = RectWidth(clip), ch = RectHeight(clip);
  // Single-precision scales can land a hair past the last source pixel: keep inside.
  auto inside = [](int32_t v, int32_t lo, int32_t hi) { return std::clamp(v, lo, hi - 1); };
  std::vector<int32_t> map = StretchMap(clip.left - DstRect.left, cw, SrcRect.left, SrcRect.right, dw, Rounding);
  for (int32_t& x : map) x = inside(x, SrcRect.left, SrcRect.right);
  win::gdi::ColumnMap columns;
  columns.Assign(map.data(), cw, Source->Width());
  const win::gdi::ColumnMapView view = columns.View();
  const auto& k = PixelKernels();
  std::vector<TkxColor> buffer(K == Kind::Opaque ? 0 : size_t(cw));
  int32_t prev = INT32_MIN;
  for (int32_t r = 0; r < ch; ++r) {
    EndMMX();
    int32_t sy = inside(StretchSourceIndex(r + clip.top - DstRect.top, SrcRect.top, SrcRect.bottom, dh, Rounding),
                        SrcRect.top, SrcRect.bottom);
    TkxColor* dst = T.Row(clip.top + r) + clip.left;
    const TkxColor* src = Source->RowAddress(sy);
    if (K == Kind::Opaque) {
      if (sy == prev)
        k.CopyLine(T.Row(clip.top + r - 1) + clip.left, dst, cw);
      else
        k.GatherLine(src, view, dst);
    } else {
      if (sy != prev) k.GatherLine(src, view, buffer.data());
      (K == Kind::Keyed ? k.KeyCopyLine : k.BlendLine)(buffer.data(), dst, cw);
    }
    prev = sy;
  }
  EndMMX();
}

Surface BitmapSurface(TkxBitmap* B) { return Surface{B->Bits(), B->Width(), B->Height(), false}; }
Surface DibSurface(void* Bits, int32_t W, int32_t H) {
  return Surface{static_cast<TkxColor*>(Bits), W, H, true};
}

void BitmapDraw(const TkxBitmap* Self, TkxBitmap* Target, const TRect& DstRect, const TRect& Clip,
                const TRect& SrcRect) {
  auto* src = const_cast<TkxBitmap*>(Self);
  if (Self->AlphaBlend)
    StretchBlended(Target, DstRect, Clip, SrcRect, src);
  else if (Self->Transparent)
    StretchKeyed(Target, DstRect, Clip, SrcRect, src);
  else
    StretchOpaque(Target, DstRect, Clip, SrcRect, src);
}

// The device offset of a DC's logical origin and its clip box in device coordinates.
struct DeviceMapping {
  int32_t DX = 0, DY = 0;
  TRect Clip{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2};
};

DeviceMapping MappingOf(win::HDC DC) {
  DeviceMapping m;
  win::POINT p{0, 0};
  win::LPtoDP(DC, &p, 1);
  m.DX = p.x;
  m.DY = p.y;
  TRect box;
  if (win::GetClipBox(DC, &box) != win::ERROR) {
    win::OffsetRect(&box, m.DX, m.DY);
    m.Clip = box;
  }
  return m;
}

TRect Moved(const TRect& R, const DeviceMapping& M) {
  return TRect{R.left + M.DX, R.top + M.DY, R.right + M.DX, R.bottom + M.DY};
}

// ---- Registry --------------------------------------------------------------------------------------
std::unique_ptr<std::vector<TkxBitmap*>> gRegistry;

// ---- Draw paths ------------------------------------------------------------------------------------
TkxDrawPaths gPaths{};
std::once_flag gPathsOnce;

}  // namespace

// ==== Registry ========================================================================================
void RegisterBitmap(TkxBitmap* Bitmap) {
  if (!gRegistry) gRegistry = std::make_unique<std::vector<TkxBitmap*>>();
  if (std::find(gRegistry->begin(), gRegistry->end(), Bitmap) == gRegistry->end()) gRegistry->push_back(Bitmap);
}

void UnregisterBitmap(TkxBitmap* Bitmap) {
  if (!gRegistry) return;
  gRegistry->erase(std::remove(gRegistry->begin(), gRegistry->end(), Bitmap), gRegistry->end());
}

TkxBitmap* FindBitmapByDC(win::HDC DC) {
  if (!gRegistry || !DC) return nullptr;
  for (TkxBitmap* b : *gRegistry)
    if (b->DC() == DC) return b;
  return nullptr;
}

void FreeBitmapRegistry() { gRegistry.reset(); }

// ==== TkxBitmap: life cycle ===========================================================================
TkxBitmap::TkxBitmap() {
  FBitmapInfo.bmiHeader.biSize = 40;
  FBitmapInfo.bmiHeader.biPlanes = 1;
  FBitmapInfo.bmiHeader.biBitCount = 32;
  FBitmapInfo.bmiHeader.biCompression = win::BI_RGB;
}

TkxBitmap::~TkxBitmap() {
  UnregisterBitmap(this);
  if (FCanvas) FCanvas->SetHandle(nullptr);
  FCanvas.reset();
  FreeImage();
}

void TkxBitmap::FreeImage() {
  if (FCanvas) FCanvas->SetHandle(nullptr);
  if (FDC) {
    if (FOldBitmap) win::SelectObject(FDC, FOldBitmap);
    win::DeleteDC(FDC);
  }
  if (FHandle) win::DeleteObject(FHandle);
  FDC = nullptr;
  FHandle = nullptr;
  FOldBitmap = nullptr;
  FBits = nullptr;
}

TCanvas* TkxBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TCanvas>();
    FCanvas->SetHandle(FDC);
  }
  return FCanvas.get();
}

void TkxBitmap::SetSize(int32_t AWidth, int32_t AHeight) {
  int64_t w = std::llabs(int64_t(AWidth)), h = std::llabs(int64_t(AHeight));
  if (w == 0 || h == 0 || (w == FWidth && h == FHeight)) return;
  auto fail = [this](const char* Message) {
    FreeImage();
    FWidth = FHeight = 0;
    // An empty bitmap is not in the registry, so no lookup of a null DC can find it.
    UnregisterBitmap(this);
    throw Exception(Message);
  };
  if (w * h > kxMaxBitmapPixels) fail("Can't allocate the DIB handle");
  FreeImage();
  FBitmapInfo.bmiHeader.biWidth = int32_t(w);
  FBitmapInfo.bmiHeader.biHeight = -int32_t(h);
  void* bits = nullptr;
  FHandle = win::CreateDIBSection(nullptr, &FBitmapInfo, win::DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!FHandle || !bits) fail("Can't allocate the DIB handle");
  FDC = win::CreateCompatibleDC(nullptr);
  if (!FDC) fail("Can't create compatible DC");
  FOldBitmap = win::SelectObject(FDC, FHandle);
  if (!FOldBitmap) fail("Can't kxlect an object into DC");
  FBits = static_cast<TkxColor*>(bits);
  RegisterBitmap(this);
  if (FCanvas) FCanvas->SetHandle(FDC);
  FWidth = int32_t(w);
  FHeight = int32_t(h);
}

void TkxBitmap::Clear(TkxColor Color) {
  if (!Empty()) FillLine(FBits, FWidth * FHeight, Color);
}

// ==== TkxBitmap: conversions ===========================================================================
void TkxBitmap::Assign(TPersistent* Source) {
  if (auto* k = dynamic_cast<TkxBitmap*>(Source)) {
    if (k == this) return;
    SetSize(k->Width(), k->Height());
    if (!Empty() && !k->Empty() && k->Width() == FWidth && k->Height() == FHeight)
      CopyLine(k->Bits(), FBits, FWidth * FHeight);
    Name = k->Name;
    Transparent = k->Transparent;
    AlphaBlend = k->AlphaBlend;
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    if (b->PixelFormat() == pf32bit && b->HandleType() == bmDIB) {
      SetSize(b->Width(), b->Height());
      if (!Empty() && !b->Empty() && b->Width() == FWidth && b->Height() == FHeight) {
        for (int32_t y = 0; y < FHeight; ++y)
          std::memcpy(RowAddress(y), b->ScanLine(y), size_t(FWidth) * sizeof(TkxColor));
        CheckingAlphaBlend();
      }
      return;
    }
    AssignFromBitmap(b);
    return;
  }
  if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    AssignFromGraphic(g);
    return;
  }
  if (auto* p = dynamic_cast<TPicture*>(Source)) {
    TGraphic* g = p->Graphic();
    if (auto* b = dynamic_cast<TBitmap*>(g))
      AssignFromBitmap(b);
    else if (g)
      AssignFromGraphic(g);
    return;
  }
  TPersistent::Assign(Source);
}

void TkxBitmap::AssignFromBitmap(TBitmap* Bitmap) {
  SetSize(Bitmap->Width(), Bitmap->Height());
  if (Empty() || Bitmap->Empty()) return;
  win::BitBlt(FDC, 0, 0, FWidth, FHeight, Bitmap->Canvas()->Handle(), 0, 0, win::SRCCOPY);
  SetAlpha(255);
}

void TkxBitmap::AssignFromGraphic(TGraphic* Graphic) {
  SetSize(Graphic->Width(), Graphic->Height());
  if (Empty() || Graphic->Empty()) return;
  DrawGraphic(Graphic, TRect{0, 0, FWidth, FHeight});
  SetAlpha(255);
}

void TkxBitmap::AssignTo(TPersistent* Dest) {
  if (auto* p = dynamic_cast<TPicture*>(Dest)) {
    AssignToBitmap(p->Bitmap());
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
    AssignToBitmap(b);
    return;
  }
  TPersistent::AssignTo(Dest);
}

void TkxBitmap::AssignToBitmap(TBitmap* Bitmap) {
  Bitmap->SetPixelFormat(pf32bit);
  Bitmap->SetSize(FWidth, FHeight);
  if (Empty()) return;
  Draw(Bitmap->Canvas(), 0, 0);
}

void TkxBitmap::LoadFromResource(const std::string& /*ResFileName*/, const std::string& ResName) {
  TBitmap tmp;
  try {
    tmp.LoadFromResourceName(0, ResName);
  } catch (const EResNotFound&) {
    return;
  }
  Assign(&tmp);
}

// ==== TkxBitmap: stream record ==========================================================================
void TkxBitmap::LoadFromStream(TStream& Stream) {
  int64_t start = Stream.Position();
  auto refuse = [&](const char* Message) {
    Stream.SetPosition(start);
    throw EReadError(Message);
  };
  std::string name;
  int32_t w = 0, h = 0;
  try {
    name = ReadName(Stream);
    w = ReadInt32(Stream);
    h = ReadInt32(Stream);
  } catch (const EStreamError&) {
    refuse("Damaged bitmap record");
  }
  if (w == 0 && h == 0) {  // the record of an empty bitmap: a name only
    Name = name;
    return;
  }
  int64_t rows = std::llabs(int64_t(h));
  if (w <= 0 || h == 0 || int64_t(w) * rows > kxMaxBitmapPixels ||
      int64_t(w) * rows * 4 > BytesLeft(Stream))
    refuse("Bitmap record has an invalid size");
  Name = name;
  SetSize(w, int32_t(rows));
  Stream.ReadBuffer(FBits, int64_t(w) * rows * 4);
  if (h < 0) FlipVert();
}

void TkxBitmap::SaveToStream(TStream& Stream) {
  WriteStreamString(Stream, Name);
  WriteInt32(Stream, FWidth);
  WriteInt32(Stream, FHeight);
  if (!Empty()) Stream.WriteBuffer(FBits, int64_t(FWidth) * FHeight * 4);
}

// ==== TkxBitmap: PCX ====================================================================================
namespace {
// The 16 colours of the system palette.
constexpr uint8_t kSystemPalette16[16][3] = {
    {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

win::HPALETTE CreatePaletteFromRGB(const uint8_t* RGB, int Count) {
  std::vector<uint8_t> mem(sizeof(win::LOGPALETTE) + sizeof(win::PALETTEENTRY) * size_t(Count));
  auto* lp = reinterpret_cast<win::LOGPALETTE*>(mem.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = win::WORD(Count);
  for (int i = 0; i < Count; ++i) {
    win::PALETTEENTRY& e = lp->palPalEntry[i];
    e.peRed = RGB[i * 3];
    e.peGreen = RGB[i * 3 + 1];
    e.peBlue = RGB[i * 3 + 2];
    e.peFlags = 0;
  }
  return win::CreatePalette(lp);
}

uint16_t Word(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

// The largest decoded PCX image the reader accepts (256 MiB).
constexpr int64_t kMaxPcxBytes = int64_t(1) << 28;
}  // namespace

void TkxBitmap::LoadFromPcxStream(TStream& Stream) {
  int64_t start = Stream.Position();
  uint8_t hdr[128];
  if (Stream.Read(hdr, 128) != 128) {
    Stream.SetPosition(start);
    throw EReadError("PCX header is incomplete");
  }
  if (hdr[0] != 10 && hdr[0] != 205) return;
  int64_t afterHeader = Stream.Position();
  auto refuse = [&](const char* Message) {
    Stream.SetPosition(start);
    throw EReadError(Message);
  };
  uint8_t version = hdr[1], encoding = hdr[2], planes = hdr[65];
  int64_t width = int64_t(Word(hdr + 8)) - Word(hdr + 4) + 1;
  int64_t height = int64_t(Word(hdr + 10)) - Word(hdr + 6) + 1;
  int64_t lineSize = int64_t(planes) * Word(hdr + 66);
  if (width <= 0 || height <= 0 || lineSize <= 0 || height * lineSize > kMaxPcxBytes ||
      width * height > kxMaxBitmapPixels)
    refuse("PCX header has an invalid size");

  win::HPALETTE palette;
  int64_t size = Stream.Size();
  if (version == 3) {
    palette = CreatePaletteFromRGB(&kSystemPalette16[0][0], 16);
  } else {
    if (size - afterHeader < 769) refuse("PCX data has no room for its palette");
    uint8_t pal[769];
    Stream.SetPosition(size - 769);
    Stream.ReadBuffer(pal, 769);
    Stream.SetPosition(afterHeader);
    palette = CreatePaletteFromRGB(pal + 1, 256);
  }
  int64_t dataSize = size - afterHeader;
  std::vector<uint8_t> data(size_t(std::min(dataSize, kMaxPcxBytes * 2)));
  int64_t got = data.empty() ? 0 : Stream.Read(data.data(), int64_t(data.size()));
  data.resize(size_t(std::max<int64_t>(got, 0)));
  std::vector<uint8_t> buffer(size_t(height * lineSize), 0);
  if (encoding == 1)
    DecodePcxRle(data.data(), data.size(), buffer.data(), buffer.size());
  else  // raw data; a short file leaves zeros
    std::memcpy(buffer.data(), data.data(), std::min(data.size(), buffer.size()));

  TBitmap tmp;
  try {
    tmp.SetPixelFormat(pf8bit);
    tmp.SetSize(int32_t(width), int32_t(height));
    tmp.SetPalette(palette);  // a bitmap takes a palette only once it has pixels
    size_t copy = size_t(std::min(width, lineSize));
    for (int64_t y = 0; y < height; ++y) {
      auto* row = static_cast<uint8_t*>(tmp.ScanLine(int32_t(y)));
      std::memcpy(row, buffer.data() + y * lineSize, copy);
      if (size_t(width) > copy) std::memset(row + copy, 0, size_t(width) - copy);
    }
  } catch (...) {
    win::DeleteObject(palette);
    throw;
  }
  win::DeleteObject(palette);
  Assign(&tmp);
}

// ==== Pixel state ======================================================================================
void TkxBitmap::CheckingAlphaBlend() {
  AlphaBlend = false;
  if (Empty()) return;
  int64_t n = int64_t(FWidth) * FHeight;
  for (int64_t i = 0; i < n; ++i) {
    uint8_t a = PixelAlpha(FBits[i]);
    if (a != 0 && a != 255) {
      AlphaBlend = true;
      return;
    }
  }
}

void TkxBitmap::CheckingAlphaBlend(const TRect&) { CheckingAlphaBlend(); }

void TkxBitmap::CheckingTransparent(TkxColor Color) {
  Transparent = false;
  if (Empty()) return;
  int r = PixelRed(Color), g = PixelGreen(Color), b = PixelBlue(Color);
  int64_t n = int64_t(FWidth) * FHeight;
  for (int64_t i = 0; i < n; ++i) {
    TkxColor p = FBits[i];
    if (std::abs(PixelRed(p) - r) < 6 && std::abs(PixelGreen(p) - g) < 6 && std::abs(PixelBlue(p) - b) < 6) {
      FBits[i] = kxKeyPixel;
      Transparent = true;
    }
  }
}

void TkxBitmap::CheckingTransparent(const TRect&, TkxColor Color) { CheckingTransparent(Color); }

void TkxBitmap::SetAlpha(uint8_t Alpha) {
  if (!Empty()) SetAlpha(Alpha, TRect{0, 0, FWidth, FHeight});
}

void TkxBitmap::SetAlpha(uint8_t Alpha, TRect Rect) {
  if (Empty() || RectWidth(Rect) == 0 || RectHeight(Rect) == 0) return;
  Rect.left = std::max<int32_t>(Rect.left, 0);
  Rect.top = std::max<int32_t>(Rect.top, 0);
  Rect.right = std::min<int32_t>(Rect.right, FWidth);
  Rect.bottom = std::min<int32_t>(Rect.bottom, FHeight);
  SetAlphaRectPixels(FBits, FWidth, Alpha, Rect.left, Rect.top, Rect.right, Rect.bottom);
}

namespace {
template <typename F>
void ForVisible(TkxBitmap& B, F&& Change) {
  if (B.Empty()) return;
  int64_t n = int64_t(B.Width()) * B.Height();
  TkxColor* p = B.Bits();
  for (int64_t i = 0; i < n; ++i) {
    TkxColor a = p[i] & 0xFF000000u;
    if (a) p[i] = (Change(p[i]) & 0x00FFFFFFu) | a;
  }
}
}  // namespace

void TkxBitmap::ChangeBitmapBrightness(int32_t DeltaBrightness) {
  if (DeltaBrightness == 0) return;
  ForVisible(*this, [&](TkxColor p) { return ChangePixelBrightness(p, DeltaBrightness); });
}

void TkxBitmap::SetBitmapHue(int32_t Hue) {
  ForVisible(*this, [&](TkxColor p) { return SetPixelHue(p, Hue); });
}

void TkxBitmap::ChangeBitmapHue(int32_t DeltaHue) {
  if (DeltaHue == 0) return;
  ForVisible(*this, [&](TkxColor p) { return ChangePixelHue(p, DeltaHue); });
}

void TkxBitmap::ChangeBitmapSat(int32_t DeltaSat) {
  if (DeltaSat == 0) return;
  ForVisible(*this, [&](TkxColor p) { return ChangePixelSat(p, DeltaSat); });
}

std::unique_ptr<TkxBitmapLink> TkxBitmap::GetBitmapLink(const TRect& Rect) {
  auto link = std::make_unique<TkxBitmapLink>();
  link->Image = this;
  link->Rect = Rect;
  link->Name = Name;
  return link;
}

std::unique_ptr<TkxBitmapLink> TkxBitmap::GetBitmapLink(const std::string& Rect) {
  TRect r;
  TokenStrToRect(Rect, r);
  return GetBitmapLink(r);
}

void TkxBitmap::PutPixel(int32_t X, int32_t Y, TkxColor Value) {
  if (!Empty() && X >= 0 && X < FWidth && Y >= 0 && Y < FHeight) *PixelAddress(X, Y) = Value;
}

// ==== Colour functions ===================================================================================
TkxColor MakePixel(int16_t R, int16_t G, int16_t B, uint8_t A) {
  auto c = [](int16_t v) { return uint32_t(std::clamp<int16_t>(v, 0, 255)); };
  return (uint32_t(A) << 24) | (c(R) << 16) | (c(G) << 8) | c(B);
}

void PixelToHSL(TkxColor Pixel, float& H, float& S, float& L) {
  float r = float(PixelRed(Pixel)) / 255.0f, g = float(PixelGreen(Pixel)) / 255.0f,
        b = float(PixelBlue(Pixel)) / 255.0f;
  float mx = std::max({r, g, b}), mn = std::min({r, g, b});
  L = float((double(mx) + mn) / 2);
  if (mx == mn) {
    H = 0;
    S = 0;
    return;
  }
  float d = float(double(mx) - mn);
  S = L < 0.5f ? float(double(d) / (double(mx) + mn)) : float(double(d) / (2.0 - mx - mn));
  if (r == mx)
    H = float((double(g) - b) / d);
  else if (g == mx)
    H = float((double(b) - r) / d + 2);
  else
    H = float((double(r) - g) / d + 4);
  H = float(double(H) / 6);
  if (H < 0) H = float(double(H) + 1);
}

uint8_t HueToChannel(float H, float M1, float M2) {
  double h = float(double(H) - std::floor(double(H)));  // stored back into the single parameter
  double m1 = M1, m2 = M2, v;
  if (6 * h < 1)
    v = m1 + (m2 - m1) * 6 * h;
  else if (2 * h < 1)
    v = m2;
  else if (3 * h < 2)
    v = m1 + (m2 - m1) * (2.0 / 3.0 - h) * 6;
  else
    v = m1;
  return uint8_t(int64_t(std::nearbyint(255 * v)) & 0xFF);
}

TkxColor HSLToPixel(float H, float S, float L) {
  int16_t r, g, b;
  if (S == 0) {
    r = g = b = int16_t(std::nearbyint(255 * double(L)));
  } else {
    float m2 = L <= 0.5f ? float(double(L) * (1 + double(S))) : float(double(L) + S - double(L) * S);
    float m1 = float(2 * double(L) - m2);
    r = HueToChannel(float(double(H) + 1.0 / 3.0), m1, m2);
    g = HueToChannel(H, m1, m2);
    b = HueToChannel(float(double(H) - 1.0 / 3.0), m1, m2);
  }
  return MakePixel(r, g, b, 255);
}

TkxColor SetPixelHue(TkxColor Pixel, int32_t Hue) {
  Hue = std::clamp(Hue, 0, 255);
  float h, s, l;
  PixelToHSL(Pixel, h, s, l);
  return HSLToPixel(float(Hue / 255.0), s, l);
}

namespace {
// The one-step wrap of a shifted hue or saturation. Beyond one step the old code let the value
// run out of range and wrap channels into garbage; there the value is held to 0..255.
int32_t WrapOnce(int32_t v, int32_t Delta, bool Clamp) {
  if (v > 255) v -= 255;
  if (v < 0) v += 255;
  if (Clamp && (Delta > 255 || Delta < -255)) v = std::clamp(v, 0, 255);
  return v;
}
}  // namespace

TkxColor ChangePixelSat(TkxColor Pixel, int32_t Delta) {
  float h, s, l;
  PixelToHSL(Pixel, h, s, l);
  int32_t v = WrapOnce(int32_t(std::nearbyint(double(s) * 255)) + Delta, Delta, true);
  return HSLToPixel(h, float(v / 255.0), l);
}

TkxColor ChangePixelHue(TkxColor Pixel, int32_t Delta) {
  float h, s, l;
  PixelToHSL(Pixel, h, s, l);
  int32_t v = WrapOnce(int32_t(std::nearbyint(double(h) * 255)) + Delta, Delta, false);
  return HSLToPixel(float(v / 255.0), s, l);
}

TkxColor ChangePixelBrightness(TkxColor Pixel, int32_t Delta) {
  // Sums wider than 16 bits would wrap in the old code (a bright pixel turning black): they are
  // held at the ends instead; every sum that fits is unchanged.
  auto c = [Delta](uint8_t v) { return int16_t(std::clamp<int64_t>(int64_t(v) + Delta, -1, 256)); };
  return MakePixel(c(PixelRed(Pixel)), c(PixelGreen(Pixel)), c(PixelBlue(Pixel)), 255);
}

void ClampChannels(int32_t& R, int32_t& G, int32_t& B) {
  R = std::clamp(R, 0, 255);
  G = std::clamp(G, 0, 255);
  B = std::clamp(B, 0, 255);
}

// ==== Links ============================================================================================
void TkxBitmapLink::Assign(TPersistent* Source) {
  if (auto* l = dynamic_cast<TkxBitmapLink*>(Source)) {
    Image = l->Image;
    Rect = l->Rect;
    Name = l->Name;
    Masked = l->Masked;
    MaskedBorder = l->MaskedBorder;
    MaskedAngles = l->MaskedAngles;
    return;
  }
  TPersistent::Assign(Source);
}

void TkxBitmapLink::LoadFromStream(TStream& Stream) {
  int64_t start = Stream.Position();
  try {
    std::string name = ReadName(Stream);
    int32_t v[4];
    Stream.ReadBuffer(v, 16);
    Name = name;
    Rect = TRect{v[0], v[1], v[2], v[3]};
  } catch (const EStreamError&) {
    Stream.SetPosition(start);
    throw EReadError("Damaged bitmap link record");
  }
}

void TkxBitmapLink::SaveToStream(TStream& Stream) {
  WriteStreamString(Stream, Name);
  int32_t v[4] = {Rect.left, Rect.top, Rect.right, Rect.bottom};
  Stream.WriteBuffer(v, 16);
}

void TkxBitmapLink::CheckingMasked() { CheckingMasked(TRect{0, 0, 0, 0}); }

void TkxBitmapLink::CheckingMasked(const TRect& Margin) {
  Masked = MaskedBorder = MaskedAngles = false;
  // Positions outside the image read as 0, which is not opaque. They are not visited one by one
  // (a link's rectangle may be huge): a region of the rectangle that reaches outside the image
  // holds such a position. The pixels inside the image are examined one by one.
  const int64_t L = Rect.left, T = Rect.top, R = Rect.right, B = Rect.bottom;
  if (R <= L || B <= T) return;
  const int64_t iw = Image && !Image->Empty() ? Image->Width() : 0, ih = Image && !Image->Empty() ? Image->Height() : 0;
  struct Box {
    int64_t l, t, r, b;
  };
  // Whether the part of the rectangle covered by region G (in link coordinates) has a position
  // outside the image.
  auto reachesOut = [&](const Box& G) {
    Box a{std::max(L, L + G.l), std::max(T, T + G.t), std::min(R, L + G.r), std::min(B, T + G.b)};
    if (a.r <= a.l || a.b <= a.t) return false;
    return a.l < 0 || a.t < 0 || a.r > iw || a.b > ih;
  };
  auto opaqueAt = [this](int64_t x, int64_t y) {
    TkxColor p = *Image->PixelAddress(int32_t(x), int32_t(y));
    return p == 0x33333333u || PixelAlpha(p) == 255;
  };
  const int64_t x0 = std::max<int64_t>(L, 0), x1 = std::min(R, iw), y0 = std::max<int64_t>(T, 0), y1 = std::min(B, ih);
  if (Margin.left == 0 && Margin.top == 0 && Margin.right == 0 && Margin.bottom == 0) {
    if (reachesOut(Box{0, 0, R - L, B - T})) {
      Masked = true;
      return;
    }
    for (int64_t x = x0; x < x1 && !Masked; ++x)
      for (int64_t y = y0; y < y1; ++y)
        if (!opaqueAt(x, y)) {
          Masked = true;
          break;
        }
    return;
  }
  const int64_t W = R - L, H = B - T, ml = Margin.left, mt = Margin.top, mr = Margin.right, mb = Margin.bottom;
  const Box corners[4] = {{0, 0, ml, mt}, {W - mr, 0, W, mt}, {W - mr, H - mb, W, H}, {0, H - mb, ml, H}};
  const Box edges[4] = {{ml, 0, W - mr, mt}, {ml, H - mb, W - mr, H}, {0, mt, ml, H - mb}, {W - mr, mt, W, H - mb}};
  const Box centre{ml, mt, W - mr, H - mb};
  for (const Box& g : corners) MaskedAngles = MaskedAngles || reachesOut(g);
  for (const Box& g : edges) MaskedBorder = MaskedBorder || reachesOut(g);
  Masked = reachesOut(centre);
  auto in = [](const Box& g, int64_t px, int64_t py) { return px >= g.l && px < g.r && py >= g.t && py < g.b; };
  for (int64_t y = y0; y < y1; ++y)
    for (int64_t x = x0; x < x1; ++x) {
      if (opaqueAt(x, y)) continue;
      int64_t px = x - L, py = y - T;
      for (const Box& g : corners)
        if (in(g, px, py)) MaskedAngles = true;
      for (const Box& g : edges)
        if (in(g, px, py)) MaskedBorder = true;
      if (in(centre, px, py)) Masked = true;
    }
}

void TkxBitmapLink::Draw(TCanvas* Canvas, int32_t X, int32_t Y) {
  if (!Image || Image->Empty() || RectWidth(Rect) <= 0 || RectHeight(Rect) <= 0) return;
  Image->Draw(Canvas, X, Y, Rect);
}

void TkxBitmapLink::Draw(TkxBitmap* Bitmap, int32_t X, int32_t Y) {
  if (!Image || Image->Empty() || RectWidth(Rect) <= 0 || RectHeight(Rect) <= 0) return;
  Image->Draw(Bitmap, X, Y, Rect);
}

bool TkxBitmapLink::Assigned() const {
  return Image && int64_t(RectWidth(Rect)) * RectHeight(Rect) > 0;
}

// ==== Drawing ==========================================================================================
void TkxBitmap::Draw(win::HDC DC, int32_t X, int32_t Y) { Draw(DC, X, Y, TRect{0, 0, FWidth, FHeight}); }

void TkxBitmap::Draw(win::HDC DC, int32_t X, int32_t Y, const TRect& SrcRect) {
  Draw(DC, TRect{X, Y, X + RectWidth(SrcRect), Y + RectHeight(SrcRect)}, SrcRect);
}

void TkxBitmap::Draw(win::HDC DC, const TRect& DstRect) { Draw(DC, DstRect, TRect{0, 0, FWidth, FHeight}); }

void TkxBitmap::Draw(win::HDC DC, const TRect& DstRect, const TRect& SrcRect) {
  if (TkxBitmap* t = FindBitmapByDC(DC)) {
    DeviceMapping m = MappingOf(DC);
    TRect dst = Moved(DstRect, m);
    BitmapDraw(this, t, dst, IntersectRects(dst, m.Clip), SrcRect);
    return;
  }
  const TkxDrawPaths& p = DrawPaths();
  TkxDevicePath path = AlphaBlend ? p.Blended : Transparent ? p.Keyed : p.Opaque;
  path(DC, DstRect.left, DstRect.top, RectWidth(DstRect), RectHeight(DstRect), this, SrcRect.left, SrcRect.top,
       RectWidth(SrcRect), RectHeight(SrcRect));
}

void TkxBitmap::Draw(TCanvas* Canvas, int32_t X, int32_t Y) { Draw(Canvas->Handle(), X, Y); }

void TkxBitmap::Draw(TCanvas* Canvas, int32_t X, int32_t Y, const TRect& SrcRect) {
  Draw(Canvas, TRect{X, Y, X + RectWidth(SrcRect), Y + RectHeight(SrcRect)}, SrcRect);
}

void TkxBitmap::Draw(TCanvas* Canvas, const TRect& DstRect) { Draw(Canvas, DstRect, TRect{0, 0, FWidth, FHeight}); }

void TkxBitmap::Draw(TCanvas* Canvas, const TRect& DstRect, const TRect& SrcRect) {
  Draw(Canvas->Handle(), DstRect, SrcRect);
}

void TkxBitmap::Draw(TkxBitmap* Bitmap, int32_t X, int32_t Y) {
  Draw(Bitmap, TRect{X, Y, X + FWidth, Y + FHeight}, TRect{0, 0, FWidth, FHeight});
}

void TkxBitmap::Draw(TkxBitmap* Bitmap, int32_t X, int32_t Y, const TRect& SrcRect) {
  Draw(Bitmap, TRect{X, Y, X + RectWidth(SrcRect), Y + RectHeight(SrcRect)}, SrcRect);
}

void TkxBitmap::Draw(TkxBitmap* Bitmap, const TRect& DstRect) { Draw(Bitmap, DstRect, TRect{0, 0, FWidth, FHeight}); }

void TkxBitmap::Draw(TkxBitmap* Bitmap, const TRect& DstRect, const TRect& SrcRect) {
  BitmapDraw(this, Bitmap, DstRect, DstRect, SrcRect);
}

// ---- Tiles -----------------------------------------------------------------------------------------
template <typename DrawPiece>
void TkxBitmap::TileWith(const TRect& DstRect, const TRect* DstClip, const TRect& SrcRect, const TRect* Visible,
                         DrawPiece&& DrawOne) {
  int32_t tw = RectWidth(SrcRect), th = RectHeight(SrcRect);
  if (tw <= 0 || th <= 0) return;
  int64_t dw = int64_t(DstRect.right) - DstRect.left, dh = int64_t(DstRect.bottom) - DstRect.top;
  if (dw <= 0 || dh <= 0) return;
  int64_t n = dw / tw + (dw % tw ? 1 : 0), m = dh / th + (dh % th ? 1 : 0);
  bool clip = DstClip && !IsEmptyRect(*DstClip);
  // Tiles wholly outside what the target can show draw nothing: only the columns and rows that
  // meet it are visited, however large the destination.
  int64_t i0 = 0, i1 = n, j0 = 0, j1 = m;
  if (Visible) {
    if (IsEmptyRect(*Visible)) return;
    i0 = std::max<int64_t>(0, (int64_t(Visible->left) - DstRect.left) / tw);
    i1 = std::min<int64_t>(n, (int64_t(Visible->right) - DstRect.left + tw - 1) / tw);
    j0 = std::max<int64_t>(0, (int64_t(Visible->top) - DstRect.top) / th);
    j1 = std::min<int64_t>(m, (int64_t(Visible->bottom) - DstRect.top + th - 1) / th);
  }
  for (int64_t i = i0; i <= i1; ++i)
    for (int64_t j = j0; j <= j1; ++j) {
      int64_t l = DstRect.left + i * tw, t = DstRect.top + j * th;
      TRect piece{int32_t(std::clamp<int64_t>(l, INT32_MIN, INT32_MAX)),
                  int32_t(std::clamp<int64_t>(t, INT32_MIN, INT32_MAX)),
                  int32_t(std::clamp<int64_t>(l + tw, INT32_MIN, INT32_MAX)),
                  int32_t(std::clamp<int64_t>(t + th, INT32_MIN, INT32_MAX))};
      piece = IntersectRects(piece, DstRect);
      if (IsEmptyRect(piece)) break;
      if (clip && IsEmptyRect(IntersectRects(piece, *DstClip))) continue;
      TRect src = SrcRect;
      if (RectWidth(piece) < tw || RectHeight(piece) < th)
        src = TRect{SrcRect.left, SrcRect.top, SrcRect.left + RectWidth(piece), SrcRect.top + RectHeight(piece)};
      DrawOne(piece, src);
    }
}

void TkxBitmap::DrawTilePiece(win::HDC DC, const TRect& Piece, const TRect& Src, const DibInfo& Dib) {
  if (FindBitmapByDC(DC)) {
    Draw(DC, Piece, Src);
    return;
  }
  if (Dib.Bits && Dib.BitsPerPixel == 32 && Dib.Height > 0) {
    DeviceMapping m = MappingOf(DC);
    TRect dst = Moved(Piece, m);
    TRect clip = IntersectRects(dst, m.Clip);
    if (AlphaBlend)
      DibStretchBlended(Dib.Bits, dst, clip, Src, this, Dib.Height, Dib.Width);
    else if (Transparent)
      DibStretchKeyed(Dib.Bits, dst, clip, Src, this, Dib.Height, Dib.Width);
    else
      DibStretchOpaque(Dib.Bits, dst, clip, Src, this, Dib.Height, Dib.Width);
    return;
  }
  const TkxDrawPaths& p = DrawPaths();
  TkxDevicePath path = AlphaBlend ? p.Blended : Transparent ? p.Keyed : p.Opaque;
  path(DC, Piece.left, Piece.top, RectWidth(Piece), RectHeight(Piece), this, Src.left, Src.top, RectWidth(Src),
       RectHeight(Src));
}

namespace {
// The clip box of a DC in its logical coordinates; false when the DC cannot tell.
bool VisibleBox(win::HDC DC, TRect& Box) { return win::GetClipBox(DC, &Box) != win::ERROR; }
}  // namespace

void TkxBitmap::Tile(win::HDC DC, const TRect& DstRect, const TRect& SrcRect) {
  DibInfo dib;
  dib.Bits = static_cast<TkxColor*>(DeviceBitmapInfo(DC, dib.Width, dib.Height, dib.BitsPerPixel));
  TRect box;
  bool known = VisibleBox(DC, box);
  TileWith(DstRect, nullptr, SrcRect, known ? &box : nullptr,
           [&](const TRect& piece, const TRect& src) { DrawTilePiece(DC, piece, src, dib); });
}

void TkxBitmap::Tile(TCanvas* Canvas, const TRect& DstRect, const TRect& SrcRect) {
  Tile(Canvas->Handle(), DstRect, SrcRect);
}

void TkxBitmap::Tile(TkxBitmap* Bitmap, const TRect& DstRect, const TRect& SrcRect) {
  TRect all{0, 0, Bitmap->Width(), Bitmap->Height()};
  TileWith(DstRect, nullptr, SrcRect, &all, [&](const TRect& piece, const TRect& src) { Draw(Bitmap, piece, src); });
}

void TkxBitmap::TileClip(win::HDC DC, const TRect& DstRect, const TRect& DstClip, const TRect& SrcRect) {
  TRect box;
  bool known = VisibleBox(DC, box);
  TileWith(DstRect, &DstClip, SrcRect, known ? &box : nullptr,
           [&](const TRect& piece, const TRect& src) { Draw(DC, piece, src); });
}

void TkxBitmap::TileClip(TCanvas* Canvas, const TRect& DstRect, const TRect& DstClip, const TRect& SrcRect) {
  TileClip(Canvas->Handle(), DstRect, DstClip, SrcRect);
}

void TkxBitmap::TileClip(TkxBitmap* Bitmap, const TRect& DstRect, const TRect& DstClip, const TRect& SrcRect) {
  TRect all{0, 0, Bitmap->Width(), Bitmap->Height()};
  TileWith(DstRect, &DstClip, SrcRect, &all, [&](const TRect& piece, const TRect& src) { Draw(Bitmap, piece, src); });
}

// ---- Merge, import, fill, flip ------------------------------------------------------------------------
void TkxBitmap::MergeDraw(TkxBitmap* Bitmap, int32_t X, int32_t Y, TRect SrcRect) {
  if (Empty() || !Bitmap || Bitmap->Empty()) return;
  int64_t x0 = X, y0 = Y;  // a far negative source start may move them past 32 bits
  if (SrcRect.left < 0) {
    x0 -= SrcRect.left;
    SrcRect.left = 0;
  }
  if (SrcRect.top < 0) {
    y0 -= SrcRect.top;
    SrcRect.top = 0;
  }
  SrcRect.right = std::min<int32_t>(SrcRect.right, Bitmap->Width());
  SrcRect.bottom = std::min<int32_t>(SrcRect.bottom, Bitmap->Height());
  TkxBlendPixelProc blend = PixelKernels().BlendPixel;
  for (int32_t y = SrcRect.top; y < SrcRect.bottom; ++y) {
    int64_t dy = y0 + y - SrcRect.top;
    if (dy < 0 || dy >= FHeight) continue;
    for (int32_t x = SrcRect.left; x < SrcRect.right; ++x) {
      int64_t dx = x0 + x - SrcRect.left;
      if (dx < 0 || dx >= FWidth) continue;
      TkxColor& d = *PixelAddress(int32_t(dx), int32_t(dy));
      TkxColor s = *Bitmap->PixelAddress(x, y);
      uint8_t a = PixelAlpha(d);
      if (a == 0)
        d = s;
      else if (a != 255)
        d = blend(d, s);
    }
  }
  EndMMX();
}

void TkxBitmap::DrawGraphic(TGraphic* Graphic, const TRect& DstRect) {
  if (Empty() || !Graphic) return;
  TBitmap tmp;
  tmp.SetPixelFormat(pf32bit);
  tmp.SetSize(FWidth, FHeight);
  TCanvas* c = tmp.Canvas();
  c->Brush()->SetColor(TColor(0xFF00FF));
  c->Rectangle(-1, -1, FWidth + 1, FHeight + 1);
  c->StretchDraw(DstRect, Graphic);
  for (int32_t y = 0; y < FHeight; ++y) {
    const auto* row = static_cast<const TkxColor*>(tmp.ScanLine(y));
    for (int32_t x = 0; x < FWidth; ++x)
      if ((row[x] & 0x00FFFFFFu) != 0x00FF00FFu) PutPixel(x, y, row[x]);
  }
}

void TkxBitmap::FillRect(TRect R, TkxColor Color) {
  if (Empty()) return;
  R.left = std::max<int32_t>(R.left, 0);
  R.top = std::max<int32_t>(R.top, 0);
  R.right = std::min<int32_t>(R.right, FWidth);
  R.bottom = std::min<int32_t>(R.bottom, FHeight);
  if (RectWidth(R) <= 0 || RectHeight(R) <= 0) return;
  if (AlphaBlend) {
    std::vector<TkxColor> row(size_t(RectWidth(R)), Color);
    const auto& k = PixelKernels();
    for (int32_t y = R.top; y < R.bottom; ++y) k.BlendLine(row.data(), PixelAddress(R.left, y), RectWidth(R));
    EndMMX();
  } else {
    FillRectPixels(FBits, FWidth, Color, R.left, R.top, R.right, R.bottom);
  }
}

void TkxBitmap::FlipVert() {
  if (Empty()) return;
  std::vector<TkxColor> tmp(static_cast<size_t>(FWidth));
  const auto& k = PixelKernels();
  for (int32_t y = 0; y < FHeight / 2; ++y) {
    TkxColor* a = RowAddress(y);
    TkxColor* b = RowAddress(FHeight - 1 - y);
    k.CopyLine(a, tmp.data(), FWidth);
    k.CopyLine(b, a, FWidth);
    k.CopyLine(tmp.data(), b, FWidth);
  }
}

void TkxBitmap::ReflectionBy(int32_t Divisor) {
  if (Empty()) return;
  FlipVert();
  double step = (1.0 / FHeight) * 2, k = 1.0;
  for (int32_t y = 0; y < FHeight; ++y) {
    TkxColor* row = RowAddress(y);
    for (int32_t x = 0; x < FWidth; ++x) {
      uint32_t a = PixelAlpha(row[x]);
      if (a == 0) continue;
      int64_t v = int64_t(std::nearbyint(double(a) * k)) / Divisor;
      row[x] = (row[x] & 0x00FFFFFFu) | (uint32_t(std::max<int64_t>(v, 0)) << 24);
    }
    k -= step;
  }
}

void TkxBitmap::Reflection() { ReflectionBy(3); }
void TkxBitmap::Reflection2() { ReflectionBy(4); }
void TkxBitmap::Reflection3() { ReflectionBy(2); }

// ==== Draw paths ===========================================================================================
void DeviceDrawOpaque(win::HDC DC, int32_t DX, int32_t DY, int32_t DW, int32_t DH, TkxBitmap* Bitmap, int32_t SX,
                      int32_t SY, int32_t SW, int32_t SH) {
  if (!Bitmap || Bitmap->Empty()) return;
  win::SetStretchBltMode(DC, win::COLORONCOLOR);
  win::StretchBlt(DC, DX, DY, DW, DH, Bitmap->DC(), SX, SY, SW, SH, win::SRCCOPY);
}

namespace {
// Reads the destination back, draws the bitmap into the copy by its own flags, writes it back.
void DeviceDrawThroughCopy(win::HDC DC, int32_t DX, int32_t DY, int32_t DW, int32_t DH, TkxBitmap* Bitmap,
                           int32_t SX, int32_t SY, int32_t SW, int32_t SH) {
  // Negative extents would size the copy by their absolute values and blit mirrored areas.
  if (!Bitmap || Bitmap->Empty() || DW <= 0 || DH <= 0 || SW <= 0 || SH <= 0) return;
  // Only the part the DC can show is read back and written: the copy stays small whatever the
  // destination's size, and the stretch takes the source pixels of that part.
  TRect dst{DX, DY, DX + DW, DY + DH}, visible = dst, box;
  int kind = win::GetClipBox(DC, &box);
  if (kind == win::NULLREGION) return;
  if (kind != win::ERROR) visible = IntersectRects(dst, box);
  if (IsEmptyRect(visible)) return;
  int32_t vw = RectWidth(visible), vh = RectHeight(visible);
  TkxBitmap tmp;
  tmp.SetSize(vw, vh);
  win::BitBlt(tmp.DC(), 0, 0, vw, vh, DC, visible.left, visible.top, win::SRCCOPY);
  Bitmap->Draw(&tmp, TRect{DX - visible.left, DY - visible.top, DX - visible.left + DW, DY - visible.top + DH},
               TRect{SX, SY, SX + SW, SY + SH});
  win::BitBlt(DC, visible.left, visible.top, vw, vh, tmp.DC(), 0, 0, win::SRCCOPY);
}
}  // namespace

void DeviceDrawBlended(win::HDC DC, int32_t DX, int32_t DY, int32_t DW, int32_t DH, TkxBitmap* Bitmap, int32_t SX,
                       int32_t SY, int32_t SW, int32_t SH) {
  DeviceDrawThroughCopy(DC, DX, DY, DW, DH, Bitmap, SX, SY, SW, SH);
}

void DeviceDrawKeyed(win::HDC DC, int32_t DX, int32_t DY, int32_t DW, int32_t DH, TkxBitmap* Bitmap, int32_t SX,
                     int32_t SY, int32_t SW, int32_t SH) {
  DeviceDrawThroughCopy(DC, DX, DY, DW, DH, Bitmap, SX, SY, SW, SH);
}

void DeviceDrawKeyedBlt(win::HDC DC, int32_t DX, int32_t DY, int32_t DW, int32_t DH, TkxBitmap* Bitmap, int32_t SX,
                        int32_t SY, int32_t SW, int32_t SH) {
  const TTransparentBltProc blt = PlatformFacts().TransparentBltEntry;
  if (!Bitmap || Bitmap->Empty() || !blt) return;
  blt(DC, DX, DY, DW, DH, Bitmap->DC(), SX, SY, SW, SH, kxKeyColor);
}

void* DeviceBitmapInfo(win::HDC DC, int32_t& Width, int32_t& Height, int32_t& BitsPerPixel) {
  Width = Height = BitsPerPixel = 0;
  win::HGDIOBJ bm = win::GetCurrentObject(DC, win::OBJ_BITMAP);
  if (!bm) return nullptr;
  win::DIBSECTION ds;
  if (win::GetObjectW(bm, int(sizeof ds), &ds) != int(sizeof ds)) return nullptr;
  Width = ds.dsBmih.biWidth;
  Height = ds.dsBmih.biHeight;
  BitsPerPixel = ds.dsBmih.biBitCount;
  return ds.dsBm.bmBits;
}

void DibStretchOpaque(void* Bits, const TRect& DstRect, const TRect& ClipRect, const TRect& SrcRect,
                      TkxBitmap* Source, int32_t DibHeight, int32_t DibWidth) {
  Stretch(Kind::Opaque, DibSurface(Bits, DibWidth, DibHeight), DstRect, ClipRect, SrcRect, Source,
          TkxStretchRounding::Round);
}

void DibStretchKeyed(void* Bits, const TRect& DstRect, const TRect& ClipRect, const TRect& SrcRect,
                     TkxBitmap* Source, int32_t DibHeight, int32_t DibWidth) {
  Stretch(Kind::Keyed, DibSurface(Bits, DibWidth, DibHeight), DstRect, ClipRect, SrcRect, Source,
          TkxStretchRounding::Round);
}

void DibStretchBlended(void* Bits, const TRect& DstRect, const TRect& ClipRect, const TRect& SrcRect,
                       TkxBitmap* Source, int32_t DibHeight, int32_t DibWidth) {
  Stretch(Kind::Blended, DibSurface(Bits, DibWidth, DibHeight), DstRect, ClipRect, SrcRect, Source,
          TkxStretchRounding::Round);
}

void StretchOpaque(TkxBitmap* Target, const TRect& DstRect, const TRect& ClipRect, const TRect& SrcRect,
                   TkxBitmap* Source) {
  Stretch(Kind::Opaque, BitmapSurface(Target), DstRect, ClipRect, SrcRect, Source, TkxStretchRounding::Trunc);
}

void StretchKeyed(TkxBitmap* Target, const TRect& DstRect, const TRect& ClipRect, const TRect& SrcRect,
                  TkxBitmap* Source) {
  Stretch(Kind::Keyed, BitmapSurface(Target), DstRect, ClipRect, SrcRect, Source, TkxStretchRounding::Trunc);
}

void StretchBlended(TkxBitmap* Target, const TRect& DstRect, const TRect& ClipRect, const TRect& SrcRect,
                    TkxBitmap* Source) {
  Stretch(Kind::Blended, BitmapSurface(Target), DstRect, ClipRect, SrcRect, Source, TkxStretchRounding::Trunc);
}

namespace {
// The same-size copies check what the old code asserted: the clip lies in the target and the
// source pixels it reads exist.
void SameSize(Kind K, TkxBitmap* Target, const TRect& ClipRect, TkxBitmap* Source, int32_t SX, int32_t SY) {
  if (!Target || Target->Empty() || !Source || Source->Empty()) return;
  TRect clip = IntersectRects(ClipRect, TRect{0, 0, Target->Width(), Target->Height()});
  if (IsEmptyRect(clip)) return;
  // Cut the clip to the part whose source exists (offsets may pass 32 bits).
  int64_t ox = int64_t(SX) - ClipRect.left, oy = int64_t(SY) - ClipRect.top;
  int64_t l = std::max<int64_t>(clip.left, -ox), t = std::max<int64_t>(clip.top, -oy);
  int64_t r = std::min<int64_t>(clip.right, Source->Width() - ox), b = std::min<int64_t>(clip.bottom, Source->Height() - oy);
  if (r <= l || b <= t) return;
  clip = TRect{int32_t(l), int32_t(t), int32_t(r), int32_t(b)};
  CopyRows(K, BitmapSurface(Target), clip, Source, int32_t(l + ox), int32_t(t + oy));
}
}  // namespace

void SameSizeCopy(TkxBitmap* Target, const TRect& ClipRect, TkxBitmap* Source, int32_t SX, int32_t SY) {
  SameSize(Kind::Opaque, Target, ClipRect, Source, SX, SY);
}
void SameSizeKeyCopy(TkxBitmap* Target, const TRect& ClipRect, TkxBitmap* Source, int32_t SX, int32_t SY) {
  SameSize(Kind::Keyed, Target, ClipRect, Source, SX, SY);
}
void SameSizeBlend(TkxBitmap* Target, const TRect& ClipRect, TkxBitmap* Source, int32_t SX, int32_t SY) {
  SameSize(Kind::Blended, Target, ClipRect, Source, SX, SY);
}

int32_t ScreenBitsPerPixel() {
  win::HDC dc = win::GetDC(nullptr);
  int32_t bits = win::GetDeviceCaps(dc, win::BITSPIXEL) * win::GetDeviceCaps(dc, win::PLANES);
  win::ReleaseDC(nullptr, dc);
  return bits;
}

bool IsTrueColorScreen() { return ScreenBitsPerPixel() > 23; }

namespace {
void ChooseDrawPaths(bool KeyedBlt) {
  TkxDrawPaths p;
  p.Opaque = DeviceDrawOpaque;
  p.Blended = DeviceDrawBlended;
  p.Keyed = KeyedBlt ? DeviceDrawKeyedBlt : DeviceDrawKeyed;
  gPaths = p;
}
}  // namespace

void SelectDrawPaths() { ChooseDrawPaths(HasTransparentBlt() && IsTrueColorScreen()); }

const TkxDrawPaths& DrawPaths() {
  std::call_once(gPathsOnce, [] {
    // The first choice is the start-up's, made before the utilities unit binds the keyed blit,
    // so it never takes the blit (now that the blit is known on first use, it says so itself).
    if (!gPaths.Opaque) ChooseDrawPaths(false);
  });
  return gPaths;
}

void InitializeEffectsUnit() {
  PixelKernels();
  DrawPaths();
}

void FinalizeEffectsUnit() { FreeBitmapRegistry(); }
