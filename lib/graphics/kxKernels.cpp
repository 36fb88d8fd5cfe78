// The bitmap engine's kernel table (over the graphics layer's kernels), the stretch maps and
// PCX run-length data.
#include "lib/graphics/kxKernels.h"

#include <cmath>
#include <cstring>
#include <mutex>

#include "lib/graphics/kxCpu.h"

// ---- The table ---------------------------------------------------------------------------------
namespace {
TkxPixelKernels gKernels;
std::once_flag gKernelsOnce;

void Fill(bool MMXFormula, bool UseSSE2, bool UseAVX2) {
  using win::gdi::KernelPath;
  // KernelsFor keeps to what the processor runs.
  const win::gdi::PixelKernelTable& t =
      win::gdi::KernelsFor(!UseSSE2 ? KernelPath::Portable : UseAVX2 ? KernelPath::AVX2 : KernelPath::SSE2);
  TkxPixelKernels k{};
  k.MMXFormula = MMXFormula;
  k.BlendPixel = MMXFormula ? t.BlendPixelMMX : t.BlendPixelPlain;
  k.BlendLine = MMXFormula ? t.BlendLineMMX : t.BlendLinePlain;
  k.KeyCopyLine = t.KeyCopyLine;
  k.CopyLine = t.CopyLine;
  k.FillLine = t.FillLine;
  k.SetAlphaLine = t.SetAlphaLine;
  k.ClearColorAlpha = t.ClearColorAlpha;
  k.GatherLine = t.GatherLine;
  k.SSE2 = t.Path != KernelPath::Portable;
  k.AVX2 = t.Path == KernelPath::AVX2;
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
