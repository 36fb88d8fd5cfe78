// TIcon: an icon handle with the .ico file it came from.
#include <cstdlib>
#include <cstring>

#include "base/Stream.h"
#include "classlib/Graphics.h"
#include "classlib/graphics/Codecs.h"
#include "platform/WinUser.h"

using namespace win;

namespace {

// A platform icon of one picture of a file; nullptr when the platform cannot make one.
HICON MakeHandle(const img::IconImage& im) {
  const img::RawImage& c = im.Color;
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = c.Width;
  bi.bmiHeader.biHeight = -c.Height;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP color = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  // Device bitmaps of one bit have rows of whole 16-bit words; a set bit is transparent.
  const size_t maskStride = ((size_t(c.Width) + 15) / 16) * 2;
  std::vector<uint8_t> maskBits(maskStride * size_t(c.Height), 0);
  for (int y = 0; y < c.Height; ++y)
    for (int x = 0; x < c.Width; ++x)
      if (im.Mask[size_t(y) * size_t(c.Width) + size_t(x)]) maskBits[maskStride * size_t(y) + size_t(x >> 3)] |= uint8_t(0x80 >> (x & 7));
  HBITMAP mask = CreateBitmap(c.Width, c.Height, 1, 1, maskBits.data());
  HICON h = nullptr;
  if (color && bits && mask) {
    auto* out = static_cast<uint32_t*>(bits);
    for (int y = 0; y < c.Height; ++y)
      for (int x = 0; x < c.Width; ++x) {
        uint32_t p = c.Pixel(x, y);
        out[size_t(y) * size_t(c.Width) + size_t(x)] = c.HasAlpha ? p : p & 0xFFFFFF;
      }
    ICONINFO ii;
    ii.hbmMask = mask;
    ii.hbmColor = color;
    h = CreateIconIndirect(&ii);
  }
  if (color) DeleteObject(color);
  if (mask) DeleteObject(mask);
  return h;
}

// The pixels of a bitmap as 32-bit top-down values.
bool Pixels(HBITMAP bm, int32_t* w, int32_t* h, std::vector<uint32_t>* out) {
  BITMAP info;
  if (GetObject(bm, sizeof info, &info) < int(sizeof info) || info.bmWidth <= 0 || info.bmHeight <= 0) return false;
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = info.bmWidth;
  bi.bmiHeader.biHeight = -info.bmHeight;
  bi.bmiHeader.biBitCount = 32;
  out->assign(size_t(info.bmWidth) * size_t(info.bmHeight), 0);
  HDC dc = CreateCompatibleDC(nullptr);
  int lines = GetDIBits(dc, bm, 0, UINT(info.bmHeight), out->data(), &bi, DIB_RGB_COLORS);
  DeleteDC(dc);
  *w = info.bmWidth;
  *h = info.bmHeight;
  return lines == info.bmHeight;
}

// The picture of an icon handle, for writing a file; false for a handle that is no icon.
bool ImageOf(HICON icon, img::IconImage* im) {
  ICONINFO ii;
  if (!GetIconInfo(icon, &ii)) return false;
  int32_t mw = 0, mh = 0, cw = 0, ch = 0;
  std::vector<uint32_t> mask, color;
  bool ok = Pixels(ii.hbmMask, &mw, &mh, &mask);
  if (ii.hbmColor) ok = ok && Pixels(ii.hbmColor, &cw, &ch, &color);
  DeleteObject(ii.hbmMask);
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  if (!ok) return false;
  // A monochrome icon: the AND half above, the XOR half (black or white) below.
  const bool mono = !ii.hbmColor;
  const int32_t w = mono ? mw : cw, h = mono ? mh / 2 : ch;
  bool alpha = false;
  for (uint32_t p : color) alpha = alpha || (p >> 24) != 0;
  im->Color.Allocate(w, h, alpha ? 32 : 24);
  im->Color.HasAlpha = alpha;
  im->Mask.assign(size_t(w) * size_t(h), 0);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const size_t i = size_t(y) * size_t(w) + size_t(x);
      im->Mask[i] = (mask[i] & 0xFFFFFF) != 0;
      im->Color.SetPixel(x, y, mono ? mask[size_t(y + h) * size_t(w) + size_t(x)] & 0xFFFFFF : color[i]);
    }
  im->BitCount = alpha ? 32 : 24;
  return true;
}

// The picture a file offers for the system's icon size: nearest in size, then deepest.
size_t Best(const std::vector<img::IconImage>& images) {
  const int64_t tw = GetSystemMetrics(SM_CXICON), th = GetSystemMetrics(SM_CYICON);
  size_t best = 0;
  int64_t bestDist = -1;
  int bestBits = 0;
  for (size_t i = 0; i < images.size(); ++i) {
    const int64_t dist = std::llabs(images[i].Color.Width - tw) + std::llabs(images[i].Color.Height - th);
    if (bestDist < 0 || dist < bestDist || (dist == bestDist && images[i].BitCount > bestBits)) {
      best = i;
      bestDist = dist;
      bestBits = images[i].BitCount;
    }
  }
  return best;
}

}  // namespace

TIcon::TIcon() = default;

TIcon::~TIcon() {
  if (FHandle) DestroyIcon(FHandle);
}

void TIcon::Replace(HICON h, std::vector<uint8_t> data) {
  int32_t w = 0, hgt = 0;
  if (h) {
    ICONINFO ii;
    if (GetIconInfo(h, &ii)) {
      BITMAP bm;
      if (GetObject(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm) == int(sizeof bm)) {
        w = bm.bmWidth;
        hgt = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
      }
      DeleteObject(ii.hbmMask);
      if (ii.hbmColor) DeleteObject(ii.hbmColor);
    }
  }
  if (FHandle && FHandle != h) DestroyIcon(FHandle);
  FHandle = h;
  FWidth = w;
  FHeight = hgt;
  FData = std::move(data);
  Changed();
}

void TIcon::SetWidth(int32_t) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int32_t) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::SetHandle(HICON Value) {
  if (Value == FHandle) return;
  if (Value) {
    ICONINFO ii;
    if (!GetIconInfo(Value, &ii)) throw EInvalidGraphicOperation("Invalid icon handle");
    DeleteObject(ii.hbmMask);
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
  }
  Replace(Value, {});
}

HICON TIcon::ReleaseHandle() {
  HICON h = FHandle;
  FHandle = nullptr;
  Replace(nullptr, {});
  return h;
}

void TIcon::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (!Source) {
    Replace(nullptr, {});
    return;
  }
  if (auto* icon = dynamic_cast<TIcon*>(Source)) {
    if (icon->Empty()) {
      Replace(nullptr, {});
      return;
    }
    HICON copy = CopyIcon(icon->FHandle);
    if (!copy) throw EOutOfResources("Out of system resources");
    Replace(copy, icon->FData);
    return;
  }
  if (auto* p = dynamic_cast<TPicture*>(Source)) {
    Assign(p->Graphic());
    return;
  }
  TGraphic::Assign(Source);
}

void TIcon::LoadFromStream(TStream& Stream) {
  const int64_t start = Stream.Position();
  const int64_t left = Stream.Size() - start;
  if (left <= 0) throw EInvalidGraphic("Icon image is not valid");
  std::vector<uint8_t> data(static_cast<size_t>(left));
  Stream.ReadBuffer(data.data(), left);
  size_t used = 0;
  HICON h = nullptr;
  try {
    std::vector<img::IconImage> images = img::ReadIco(data.data(), data.size(), &used);
    h = MakeHandle(images[Best(images)]);
    if (!h) throw EOutOfResources("Out of system resources");
  } catch (...) {
    Stream.SetPosition(start);
    throw;
  }
  data.resize(used);
  Replace(h, std::move(data));
  Stream.SetPosition(start + int64_t(used));
}

void TIcon::SaveToStream(TStream& Stream) {
  if (Empty()) throw EInvalidGraphic("Cannot save an empty icon");
  if (!FData.empty()) {
    Stream.WriteBuffer(FData.data(), int64_t(FData.size()));
    return;
  }
  img::IconImage im;
  if (!ImageOf(FHandle, &im)) throw EInvalidGraphic("Cannot save the icon");
  img::Bytes file = img::WriteIco({im});
  Stream.WriteBuffer(file.data(), int64_t(file.size()));
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& R) {
  const int dw = R.right - R.left, dh = R.bottom - R.top;
  if (Empty() || !ACanvas || dw <= 0 || dh <= 0) return;
  DrawIconEx(ACanvas->Handle(), R.left, R.top, FHandle, dw, dh, 0, nullptr, DI_NORMAL);
}
