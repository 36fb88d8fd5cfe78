// The portable pixel kernels, the kernel table and the stretch maps.
#include "lib/graphics/kxKernels.h"

#include <cmath>
#include <cstring>
#include <mutex>

#include "lib/graphics/kxCpu.h"

namespace kxportable {

TkxColor BlendPixelPlain(TkxColor F, TkxColor B) {
  uint32_t a = F >> 24;
  if (a == 255) return F;
  if (a == 0) return B;
  // Red and blue in one product: each lane stays below 2^16, so none spills into the other.
  uint32_t rb = ((F & 0x00FF00FFu) * a + (B & 0x00FF00FFu) * (255 - a)) >> 8;
  uint32_t g = ((F & 0x0000FF00u) * a + (B & 0x0000FF00u) * (255 - a)) >> 8;
  return 0xFF000000u | (rb & 0x00FF00FFu) | (g & 0x0000FF00u);
}

TkxColor BlendPixelMMX(TkxColor F, TkxColor B) {
  uint32_t a = F >> 24;
  uint32_t r = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t f = (F >> shift) & 0xFF, b = (B >> shift) & 0xFF;
    uint32_t c = (f * a + b * (256 - a)) >> 8;  // never above 255: no saturation needed
    r |= c << shift;
  }
  return r;
}

namespace {
template <TkxColor (*Blend)(TkxColor, TkxColor)>
void BlendRun(const TkxColor* Source, TkxColor* Target, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) {
    TkxColor s = Source[i];
    uint32_t a = s >> 24;
    if (a == 0) continue;
    Target[i] = a == 255 ? s : Blend(s, Target[i]);
  }
}
}  // namespace

void BlendLinePlain(const TkxColor* Source, TkxColor* Target, int32_t Count) {
  BlendRun<BlendPixelPlain>(Source, Target, Count);
}

void BlendLineMMX(const TkxColor* Source, TkxColor* Target, int32_t Count) {
  BlendRun<BlendPixelMMX>(Source, Target, Count);
}

void KeyCopyLine(const TkxColor* Source, TkxColor* Target, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) {
    TkxColor s = Source[i];
    if (!IsKeyPixel(s)) Target[i] = s | 0xFF000000u;
  }
}

void CopyLine(const TkxColor* Source, TkxColor* Target, int32_t Count) {
  if (Count <= 0 || Source == Target) return;
  std::memmove(Target, Source, size_t(Count) * sizeof(TkxColor));
}

void FillLine(TkxColor* Target, int32_t Count, TkxColor Value) {
  for (int32_t i = 0; i < Count; ++i) Target[i] = Value;
}

void SetAlphaLine(TkxColor* Target, int32_t Count, uint8_t Alpha) {
  uint32_t a = uint32_t(Alpha) << 24;
  for (int32_t i = 0; i < Count; ++i) Target[i] = (Target[i] & 0x00FFFFFFu) | a;
}

void ClearColorAlpha(TkxColor* Target, int32_t Count, TkxColor Color) {
  uint32_t c = Color & 0x00FFFFFFu;
  for (int32_t i = 0; i < Count; ++i)
    if ((Target[i] & 0x00FFFFFFu) == c) Target[i] = c;
}

}  // namespace kxportable

// ---- The table ---------------------------------------------------------------------------------
namespace {
TkxPixelKernels gKernels;
std::once_flag gKernelsOnce;

void Fill(bool MMXFormula, bool UseSSE2, bool UseAVX2) {
  TkxPixelKernels k{};
  k.MMXFormula = MMXFormula;
  k.BlendPixel = MMXFormula ? kxportable::BlendPixelMMX : kxportable::BlendPixelPlain;
  k.BlendLine = MMXFormula ? kxportable::BlendLineMMX : kxportable::BlendLinePlain;
  k.KeyCopyLine = kxportable::KeyCopyLine;
  k.CopyLine = kxportable::CopyLine;
  k.FillLine = kxportable::FillLine;
  k.SetAlphaLine = kxportable::SetAlphaLine;
  k.ClearColorAlpha = kxportable::ClearColorAlpha;
#if KX_HAVE_SSE2
  if (UseSSE2) {
    k.SSE2 = true;
    k.BlendLine = MMXFormula ? kxsse2::BlendLineMMX : kxsse2::BlendLinePlain;
    k.KeyCopyLine = kxsse2::KeyCopyLine;
    k.FillLine = kxsse2::FillLine;
    k.SetAlphaLine = kxsse2::SetAlphaLine;
    k.ClearColorAlpha = kxsse2::ClearColorAlpha;
#if KX_HAVE_AVX2
    if (UseAVX2 && HasAVX2()) {
      k.AVX2 = true;
      k.BlendLine = MMXFormula ? kxavx2::BlendLineMMX : kxavx2::BlendLinePlain;
    }
#endif
  }
#else
  (void)UseSSE2;
#endif
  (void)UseAVX2;
  gKernels = k;
}
}  // namespace

void SelectPixelKernels(bool MMXFormula, bool UseSSE2, bool UseAVX2) { Fill(MMXFormula, UseSSE2, UseAVX2); }

void SelectPixelKernels() { Fill(HasMMX(), HasSSE2(), true); }

const TkxPixelKernels& PixelKernels() {
  std::call_once(gKernelsOnce, [] {
    if (!gKernels.BlendPixel) SelectPixelKernels();
  });
  return gKernels;
}

void FillRectPixels(TkxColor* Bits, int32_t Width, TkxColor Value, int32_t Left, int32_t Top,
                    int32_t Right, int32_t Bottom) {
  if (Right <= Left || Bottom <= Top) return;
  const auto& k = PixelKernels();
  if (Left == 0 && Right == Width && int64_t(Width) * (Bottom - Top) <= INT32_MAX) {  // whole rows: one run
    k.FillLine(Bits + ptrdiff_t(Top) * Width, Width * (Bottom - Top), Value);
    return;
  }
  for (int32_t y = Top; y < Bottom; ++y) k.FillLine(Bits + Left + ptrdiff_t(y) * Width, Right - Left, Value);
}

void SetAlphaRectPixels(TkxColor* Bits, int32_t Width, uint8_t Alpha, int32_t Left, int32_t Top,
                        int32_t Right, int32_t Bottom) {
  if (Right <= Left || Bottom <= Top) return;
  const auto& k = PixelKernels();
  if (Left == 0 && Right == Width && int64_t(Width) * (Bottom - Top) <= INT32_MAX) {
    k.SetAlphaLine(Bits + ptrdiff_t(Top) * Width, Width * (Bottom - Top), Alpha);
    return;
  }
  for (int32_t y = Top; y < Bottom; ++y) k.SetAlphaLine(Bits + Left + ptrdiff_t(y) * Width, Right - Left, Alpha);
}

// ---- Stretch maps ------------------------------------------------------------------------------
int32_t StretchSourceIndex(int32_t I, int32_t SrcStart, int32_t SrcEnd, int32_t DstSize,
                           TkxStretchRounding Rounding) {
  if (DstSize < 2) return int32_t((int64_t(SrcStart) + SrcEnd - 1) / 2);
  // The scale is stored in single precision; the product is taken wider, as the old x87 did.
  float scale = float(double(int64_t(SrcEnd) - SrcStart - 1) / double(DstSize - 1));
  double v = double(I) * double(scale) + double(SrcStart);
  return int32_t(Rounding == TkxStretchRounding::Trunc ? std::trunc(v) : std::nearbyint(v));
}

std::vector<int32_t> StretchMap(int32_t Offset, int32_t Count, int32_t SrcStart, int32_t SrcEnd,
                                int32_t DstSize, TkxStretchRounding Rounding) {
  std::vector<int32_t> map(size_t(Count > 0 ? Count : 0));
  for (int32_t i = 0; i < Count; ++i) map[size_t(i)] = StretchSourceIndex(i + Offset, SrcStart, SrcEnd, DstSize, Rounding);
  return map;
}

// ---- PCX ---------------------------------------------------------------------------------------
size_t DecodePcxRle(const uint8_t* Source, size_t SourceSize, uint8_t* Target, size_t TargetSize) {
  size_t s = 0, t = 0;
  while (t < TargetSize && s < SourceSize) {
    uint8_t b = Source[s++];
    if (b >= 192) {
      size_t count = b & 63;
      if (count > TargetSize - t) count = TargetSize - t;
      // A run whose value byte is missing ends the data.
      if (s >= SourceSize) break;
      uint8_t v = Source[s++];
      std::memset(Target + t, v, count);
      t += count;
    } else {
      Target[t++] = b;
    }
  }
  return t;
}

std::vector<uint8_t> EncodePcxRle(const uint8_t* Source, size_t Size) {
  std::vector<uint8_t> out;
  size_t i = 0;
  while (i < Size) {
    uint8_t v = Source[i];
    size_t n = 1;
    while (i + n < Size && Source[i + n] == v && n < 63) ++n;
    if (n > 1 || v >= 192) {
      out.push_back(uint8_t(192 | n));
      out.push_back(v);
    } else {
      out.push_back(v);
    }
    i += n;
  }
  return out;
}
