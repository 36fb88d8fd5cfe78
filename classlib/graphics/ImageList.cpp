#include "classlib/graphics/ImageList.h"

#include <algorithm>
#include <cstring>

using namespace win;

namespace {
uint32_t ToPixelRGB(COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); }
}  // namespace

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList* TCustomImageList::CreateSize(int32_t AWidth, int32_t AHeight) {
  auto* list = new TCustomImageList(nullptr);
  list->SetSize(AWidth, AHeight);
  return list;
}

void TCustomImageList::SetSize(int32_t AWidth, int32_t AHeight) {
  if (AWidth < 1 || AHeight < 1) throw EInvalidGraphicOperation("Invalid image size");
  if (AWidth == FWidth && AHeight == FHeight) return;
  FWidth = AWidth;
  FHeight = AHeight;
  FImages.clear();
  Change();
}

void TCustomImageList::Change() {
  if (OnChange) OnChange(this);
}

void TCustomImageList::SetBkColor(TColor Value) {
  if (Value == FBkColor) return;
  FBkColor = Value;
  Change();
}

template <typename MaskFn>
std::vector<TCustomImageList::Picture> TCustomImageList::Cut(TBitmap* Image, bool all, MaskFn maskOf) const {
  std::vector<Picture> out;
  if (!Image || Image->Empty()) return out;
  const img::RawImage raw = Image->ToRawImage();
  const int n = all ? std::max(1, raw.Width / FWidth) : 1;
  for (int k = 0; k < n; ++k) {
    Picture p;
    p.Pixels.assign(size_t(FWidth) * size_t(FHeight), 0);
    p.Mask.assign(size_t(FWidth) * size_t(FHeight), 1);
    for (int y = 0; y < FHeight && y < raw.Height; ++y)
      for (int x = 0; x < FWidth && k * FWidth + x < raw.Width; ++x) {
        const int sx = k * FWidth + x;
        const uint32_t rgb = raw.Pixel(sx, y) & 0xFFFFFF;
        const size_t i = size_t(y) * size_t(FWidth) + size_t(x);
        const bool masked = maskOf(sx, y, rgb);
        p.Mask[i] = masked;
        p.Pixels[i] = masked ? 0 : rgb;
      }
    out.push_back(std::move(p));
  }
  return out;
}

int32_t TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  img::RawImage mask;
  if (Mask && !Mask->Empty()) mask = Mask->ToRawImage();
  auto pics = Cut(Image, true, [&](int x, int y, uint32_t) {
    if (mask.Empty()) return false;
    if (x >= mask.Width || y >= mask.Height) return true;
    return (mask.Pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
  });
  if (pics.empty()) return -1;
  const int32_t first = Count();
  for (auto& p : pics) FImages.push_back(std::move(p));
  Change();
  return first;
}

int32_t TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image || Image->Empty()) return -1;
  const uint32_t key = ToPixelRGB(ColorToRGB(MaskColor == clDefault ? Image->TransparentColor() : MaskColor));
  auto pics = Cut(Image, true, [&](int, int, uint32_t rgb) { return rgb == key; });
  const int32_t first = Count();
  for (auto& p : pics) FImages.push_back(std::move(p));
  Change();
  return first;
}

void TCustomImageList::Replace(int32_t Index, TBitmap* Image, TBitmap* Mask) {
  if (Index < 0 || Index >= Count()) throw EInvalidGraphicOperation("Unable to Replace Image");
  img::RawImage mask;
  if (Mask && !Mask->Empty()) mask = Mask->ToRawImage();
  auto pics = Cut(Image, false, [&](int x, int y, uint32_t) {
    if (mask.Empty()) return false;
    if (x >= mask.Width || y >= mask.Height) return true;
    return (mask.Pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
  });
  if (pics.empty()) throw EInvalidGraphicOperation("Unable to Replace Image");
  FImages[size_t(Index)] = std::move(pics[0]);
  Change();
}

void TCustomImageList::Delete(int32_t Index) {
  if (Index == -1) {
    Clear();
    return;
  }
  if (Index < 0 || Index >= Count()) throw EInvalidGraphicOperation("Invalid ImageList Index");
  FImages.erase(FImages.begin() + Index);
  Change();
}

void TCustomImageList::Clear() {
  if (FImages.empty()) return;
  FImages.clear();
  Change();
}

void TCustomImageList::Draw(TCanvas* Canvas, int32_t X, int32_t Y, int32_t Index, bool Enabled) {
  if (!Canvas || Index < 0 || Index >= Count()) return;
  const Picture& pic = FImages[size_t(Index)];
  // Read the destination back, put the picture's pixels into it, and write it out again:
  // masked pixels keep what the destination holds, whatever kind of DC it is.
  const int bw = FWidth + (Enabled ? 0 : 1), bh = FHeight + (Enabled ? 0 : 1);
  TBitmap buf;
  buf.SetPixelFormat(pf32bit);
  buf.SetSize(bw, bh);
  HDC dst = Canvas->Handle();
  HDC tmp = buf.Canvas()->Handle();
  BitBlt(tmp, 0, 0, bw, bh, dst, X, Y, SRCCOPY);
  auto put = [&](int x, int y, uint32_t rgb) {
    static_cast<uint32_t*>(buf.ScanLine(y))[x] = rgb & 0xFFFFFF;  // alpha 0, as GDI drawing leaves it
  };
  if (Enabled) {
    const bool bk = FBkColor != clNone;
    const uint32_t bkRGB = bk ? ToPixelRGB(ColorToRGB(FBkColor)) : 0;
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x) {
        const size_t i = size_t(y) * size_t(FWidth) + size_t(x);
        if (!pic.Mask[i])
          put(x, y, pic.Pixels[i]);
        else if (bk)
          put(x, y, bkRGB);
      }
  } else {
    const uint32_t hi = ToPixelRGB(ColorToRGB(clBtnHighlight)), shadow = ToPixelRGB(ColorToRGB(clBtnShadow));
    auto inShape = [&](size_t i) { return !pic.Mask[i] && pic.Pixels[i] != 0xFFFFFF; };
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x)
        if (inShape(size_t(y) * size_t(FWidth) + size_t(x))) put(x + 1, y + 1, hi);
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x)
        if (inShape(size_t(y) * size_t(FWidth) + size_t(x))) put(x, y, shadow);
  }
  BitBlt(dst, X, Y, bw, bh, tmp, 0, 0, SRCCOPY);
}

void TCustomImageList::GetBitmap(int32_t Index, TBitmap* Image) {
  if (!Image || Index < 0 || Index >= Count()) return;
  Image->SetHeight(FHeight);
  Image->SetWidth(FWidth);
  Draw(Image->Canvas(), 0, 0, Index);
}

void TCustomImageList::GetIcon(int32_t Index, TIcon* Image) {
  if (!Image || Index < 0 || Index >= Count()) return;
  const Picture& pic = FImages[size_t(Index)];
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = FWidth;
  bi.bmiHeader.biHeight = -FHeight;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP color = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  // A one-bit device bitmap has rows of whole 16-bit words; a set bit is transparent.
  const size_t stride = ((size_t(FWidth) + 15) / 16) * 2;
  std::vector<uint8_t> maskBits(stride * size_t(FHeight), 0);
  for (int y = 0; y < FHeight; ++y)
    for (int x = 0; x < FWidth; ++x)
      if (pic.Mask[size_t(y) * size_t(FWidth) + size_t(x)]) maskBits[stride * size_t(y) + size_t(x >> 3)] |= uint8_t(0x80 >> (x & 7));
  HBITMAP mask = CreateBitmap(FWidth, FHeight, 1, 1, maskBits.data());
  HICON icon = nullptr;
  if (color && bits && mask) {
    // Masked pixels are black, so the icon's XOR leaves the screen alone there.
    std::memcpy(bits, pic.Pixels.data(), pic.Pixels.size() * sizeof(uint32_t));
    ICONINFO ii;
    ii.hbmMask = mask;
    ii.hbmColor = color;
    icon = CreateIconIndirect(&ii);
  }
  if (color) DeleteObject(color);
  if (mask) DeleteObject(mask);
  if (!icon) throw EOutOfResources("Out of system resources");
  try {
    Image->SetHandle(icon);
  } catch (...) {
    DestroyIcon(icon);
    throw;
  }
}
