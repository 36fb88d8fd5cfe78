// Icons: made from bitmaps, copied back out, drawn (masked or blended), resized, and the
// built-in application icon. An icon lives in the GDI handle table but is not a GDI object:
// DeleteObject refuses it and DestroyIcon ends it.
#include <cstring>
#include <mutex>
#include <string>

#include "base/Resources.h"
#include "platform/gdi/Blend.h"
#include "platform/gdi/Objects.h"

namespace win::gdi {
namespace {

std::shared_ptr<Icon> GetIcon(const void* h) { return Get<Icon>(h, Kind::Icon); }

// A private copy of `src` as a new device bitmap of `bpp` (1 or 32) bits and size w x h; pixels
// the source does not cover are 0 (opaque black for a mask).
std::shared_ptr<Bitmap> CopyOf(const Surf& src, int w, int h, int bpp) {
  auto b = NewBitmap(w, h, bpp, true, false);
  if (!b) return nullptr;
  Surf d = b->View();
  int cw = std::min(w, src.w), ch = std::min(h, src.h);
  for (int y = 0; y < ch; ++y)
    for (int x = 0; x < cw; ++x) d.Put(x, y, src.Get(x, y));
  return b;
}

// The same bitmap at w x h, each pixel the nearest source pixel (column floor(x*sw/w)).
std::shared_ptr<Bitmap> Scaled(const Bitmap& src, int w, int h) {
  auto b = NewBitmap(w, h, src.bpp, true, false);
  if (!b) return nullptr;
  Surf s = src.View(), d = b->View();
  for (int y = 0; y < h; ++y) {
    int sy = int(int64_t(y) * src.h / h);
    for (int x = 0; x < w; ++x) d.Put(x, y, s.Get(int(int64_t(x) * src.w / w), sy));
  }
  return b;
}

bool HasAlpha(const Bitmap& b) {
  Surf s = b.View();
  for (int y = 0; y < s.h; ++y)
    for (int x = 0; x < s.w; ++x)
      if (s.Row32(y)[x] >> 24) return true;
  return false;
}

// Blending wants premultiplied colour; icons hold straight colour, so a copy is made once.
std::shared_ptr<Bitmap> Premultiplied(const Bitmap& color) {
  auto b = NewBitmap(color.w, color.h, 32, true, false);
  if (!b) return nullptr;
  Surf s = color.View(), d = b->View();
  for (int y = 0; y < s.h; ++y)
    for (int x = 0; x < s.w; ++x) {
      uint32_t p = s.Row32(y)[x], a = p >> 24;
      d.Row32(y)[x] = (a << 24) | (Mul255((p >> 16) & 0xFF, a) << 16) | (Mul255((p >> 8) & 0xFF, a) << 8) |
                      Mul255(p & 0xFF, a);
    }
  return b;
}

HICON RegisterIcon(std::shared_ptr<Icon> icon) { return static_cast<HICON>(Register(std::move(icon))); }

// A copy of a bitmap under a new handle, for GetIconInfo.
HBITMAP HandOut(const Bitmap& b) {
  auto c = NewBitmap(b.w, b.h, b.bpp, true, false);
  if (!c) return nullptr;
  std::memcpy(c->bits, b.bits, size_t(b.stride) * size_t(b.h));
  return static_cast<HBITMAP>(Register(c));
}

// StretchBlt or AlphaBlend from one of the icon's bitmaps, through a private memory DC.
BOOL DrawFrom(HDC hdc, int x, int y, int cx, int cy, const std::shared_ptr<Bitmap>& b, int sy, int sw, int sh,
              DWORD rop, bool blend) {
  HDC mem = CreateCompatibleDC(nullptr);
  auto m = GetDc(mem);
  if (!m) return FALSE;
  m->st.bitmap = b;
  m->ClipChanged();
  BOOL ok = blend ? AlphaBlend(hdc, x, y, cx, cy, mem, 0, sy, sw, sh, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA})
                  : StretchBlt(hdc, x, y, cx, cy, mem, 0, sy, sw, sh, rop);
  DeleteDC(mem);
  return ok;
}

// The built-in application icon: a small window with a blue title bar and a play mark.
std::shared_ptr<Icon> MakeApplicationIcon() {
  constexpr int kSize = 32;
  auto color = NewBitmap(kSize, kSize, 32, true, false);
  auto mask = NewBitmap(kSize, kSize, 1, true, false);
  Surf c = color->View(), m = mask->View();
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      uint32_t p = 0;  // transparent
      if (x >= 1 && x <= 30 && y >= 3 && y <= 28) {
        p = 0xFFF8F8F8u;                                                 // client
        if (y <= 8) p = 0xFF3070D0u;                                     // title bar
        if (x == 1 || x == 30 || y == 3 || y == 28) p = 0xFF2F3F5Fu;     // frame
        int dy = y - 18, reach = 6 - (dy < 0 ? -dy : dy);                // play mark
        if (y >= 12 && y <= 24 && x >= 13 && x <= 13 + 2 * reach) p = 0xFFE07020u;
      }
      c.Row32(y)[x] = p;
      m.Put(x, y, p ? 0 : 0xFFFFFF);
    }
  auto icon = std::make_shared<Icon>();
  icon->w = icon->h = kSize;
  icon->xHotspot = icon->yHotspot = kSize / 2;
  icon->mask = mask;
  icon->color = color;
  icon->premul = Premultiplied(*color);
  icon->shared = true;
  return icon;
}

// A standard icon from its embedded picture: a 32 x 32 BMP of 32 bits with alpha, rows bottom
// first. nullptr when the resource is missing or not of that exact form.
std::shared_ptr<Icon> MakeStandardIcon(const char* name) {
  constexpr int kSize = 32;
  const TResource* res = FindResource(name, TResourceKind::Bitmap);
  if (!res) return nullptr;
  auto u16 = [&](size_t at) { return uint32_t(res->Data[at]) | uint32_t(res->Data[at + 1]) << 8; };
  auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
  constexpr size_t kHeaders = 14 + 40;
  if (res->Size < kHeaders || res->Data[0] != 'B' || res->Data[1] != 'M') return nullptr;
  const size_t offset = u32(10);
  if (u32(14) < 40 || u32(18) != kSize || u32(22) != kSize || u16(28) != 32 || u32(30) != 0 ||
      offset > res->Size || res->Size - offset < size_t(kSize) * kSize * 4)
    return nullptr;
  auto color = NewBitmap(kSize, kSize, 32, true, false);
  auto mask = NewBitmap(kSize, kSize, 1, true, false);
  if (!color || !mask) return nullptr;
  Surf c = color->View(), m = mask->View();
  for (int y = 0; y < kSize; ++y) {
    const uint8_t* row = res->Data + offset + size_t(kSize - 1 - y) * kSize * 4;
    for (int x = 0; x < kSize; ++x) {
      uint32_t p;
      std::memcpy(&p, row + 4 * x, 4);  // B, G, R, A as the surfaces hold them
      c.Row32(y)[x] = p;
      m.Put(x, y, (p >> 24) ? 0 : 0xFFFFFF);
    }
  }
  auto icon = std::make_shared<Icon>();
  icon->w = icon->h = kSize;
  icon->xHotspot = icon->yHotspot = kSize / 2;
  icon->mask = mask;
  icon->color = color;
  icon->premul = Premultiplied(*color);
  icon->shared = true;
  return icon;
}

}  // namespace
}  // namespace win::gdi

namespace win {
using namespace gdi;

HICON CreateIconIndirect(const ICONINFO* info) {
  if (!info) return nullptr;
  auto mask = Get<Bitmap>(info->hbmMask, Kind::Bitmap);
  if (!mask) return nullptr;
  std::shared_ptr<Bitmap> color;
  if (info->hbmColor) {
    color = Get<Bitmap>(info->hbmColor, Kind::Bitmap);
    if (!color) return nullptr;
  }
  auto icon = std::make_shared<Icon>();
  icon->fIcon = info->fIcon != FALSE;
  if (color) {
    icon->w = color->w;
    icon->h = color->h;
    icon->color = CopyOf(color->View(), icon->w, icon->h, 32);
    icon->mask = CopyOf(mask->View(), icon->w, icon->h, 1);
    if (!icon->color || !icon->mask) return nullptr;
    // Only a 32-bit source can carry alpha; one whose alpha is 0 everywhere is drawn by its mask.
    if (color->bpp == 32 && HasAlpha(*icon->color)) {
      icon->premul = Premultiplied(*icon->color);
      if (!icon->premul) return nullptr;
    }
  } else {
    if (mask->h < 2) return nullptr;
    icon->w = mask->w;
    icon->h = mask->h / 2;
    icon->mask = CopyOf(mask->View(), icon->w, 2 * icon->h, 1);
    if (!icon->mask) return nullptr;
  }
  if (icon->fIcon) {
    icon->xHotspot = DWORD(icon->w / 2);
    icon->yHotspot = DWORD(icon->h / 2);
  } else {
    icon->xHotspot = info->xHotspot;
    icon->yHotspot = info->yHotspot;
  }
  return RegisterIcon(std::move(icon));
}

BOOL GetIconInfo(HICON hicon, ICONINFO* info) {
  auto icon = GetIcon(hicon);
  if (!icon || !info) return FALSE;
  HBITMAP mask = HandOut(*icon->mask);
  HBITMAP color = icon->color ? HandOut(*icon->color) : nullptr;
  if (!mask || (icon->color && !color)) {
    if (mask) DeleteObject(mask);
    if (color) DeleteObject(color);
    return FALSE;
  }
  info->fIcon = icon->fIcon ? TRUE : FALSE;
  info->xHotspot = icon->xHotspot;
  info->yHotspot = icon->yHotspot;
  info->hbmMask = mask;
  info->hbmColor = color;
  return TRUE;
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON hicon, int cx, int cy, UINT, HBRUSH flickerFreeBrush, UINT flags) {
  auto icon = GetIcon(hicon);
  if (!icon || !GetDc(hdc) || cx < 0 || cy < 0 || !(flags & DI_NORMAL)) return FALSE;
  if (cx == 0) cx = icon->w;
  if (cy == 0) cy = icon->h;
  if (flickerFreeBrush) {
    RECT r{x, y, int(std::min<int64_t>(int64_t(x) + cx, INT32_MAX)), int(std::min<int64_t>(int64_t(y) + cy, INT32_MAX))};
    FillRect(hdc, &r, flickerFreeBrush);
  }
  const bool image = flags & DI_IMAGE, mask = flags & DI_MASK;
  const int w = icon->w, h = icon->h;
  if (image && icon->premul) return DrawFrom(hdc, x, y, cx, cy, icon->premul, 0, w, h, 0, true);
  BOOL ok = TRUE;
  if (mask) ok = DrawFrom(hdc, x, y, cx, cy, icon->mask, 0, w, h, image ? SRCAND : SRCCOPY, false);
  if (image && ok) {
    // A monochrome icon keeps its XOR mask in the lower half of the mask bitmap.
    if (icon->color)
      ok = DrawFrom(hdc, x, y, cx, cy, icon->color, 0, w, h, mask ? SRCINVERT : SRCCOPY, false);
    else
      ok = DrawFrom(hdc, x, y, cx, cy, icon->mask, h, w, h, mask ? SRCINVERT : SRCCOPY, false);
  }
  return ok;
}

BOOL DestroyIcon(HICON hicon) {
  auto icon = GetIcon(hicon);
  if (!icon) return FALSE;
  if (icon->shared) return TRUE;
  return Unregister(hicon) ? TRUE : FALSE;
}

HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags) {
  if (type != IMAGE_ICON || cx < 0 || cy < 0) return nullptr;
  auto icon = GetIcon(image);
  if (!icon) return nullptr;
  const int w = cx ? cx : icon->w, h = cy ? cy : icon->h;
  if ((flags & LR_COPYRETURNORG) && w == icon->w && h == icon->h) return image;
  auto copy = std::make_shared<Icon>();
  copy->fIcon = icon->fIcon;
  copy->w = w;
  copy->h = h;
  // Scaling the whole double-height mask of a monochrome icon scales each half alike.
  copy->mask = Scaled(*icon->mask, w, icon->color ? h : 2 * h);
  if (!copy->mask) return nullptr;
  if (icon->color) {
    copy->color = Scaled(*icon->color, w, h);
    if (!copy->color) return nullptr;
    if (icon->premul) {
      copy->premul = Premultiplied(*copy->color);
      if (!copy->premul) return nullptr;
    }
  }
  copy->xHotspot = icon->fIcon ? DWORD(w / 2) : DWORD(int64_t(icon->xHotspot) * w / icon->w);
  copy->yHotspot = icon->fIcon ? DWORD(h / 2) : DWORD(int64_t(icon->yHotspot) * h / icon->h);
  HICON out = RegisterIcon(std::move(copy));
  if (flags & LR_COPYDELETEORG) DestroyIcon(static_cast<HICON>(image));
  return out;
}

HICON LoadIcon(HINSTANCE instance, const char* name) {
  if (instance) return nullptr;
  const uintptr_t id = reinterpret_cast<uintptr_t>(name);
  if (id == reinterpret_cast<uintptr_t>(IDI_APPLICATION)) {
    static const HICON app = RegisterIcon(MakeApplicationIcon());
    return app;
  }
  // Made once each, on first use, and shared from then on.
  auto standard = [](const char* resource) {
    auto icon = MakeStandardIcon(resource);
    return icon ? RegisterIcon(std::move(icon)) : nullptr;
  };
  if (id == reinterpret_cast<uintptr_t>(IDI_EXCLAMATION)) {
    static const HICON warning = standard("IDI_WARNING");
    return warning;
  }
  if (id == reinterpret_cast<uintptr_t>(IDI_HAND)) {
    static const HICON error = standard("IDI_ERROR");
    return error;
  }
  if (id == reinterpret_cast<uintptr_t>(IDI_ASTERISK)) {
    static const HICON information = standard("IDI_INFORMATION");
    return information;
  }
  if (id == reinterpret_cast<uintptr_t>(IDI_QUESTION)) {
    static const HICON question = standard("IDI_QUESTION");
    return question;
  }
  return nullptr;
}

}  // namespace win
