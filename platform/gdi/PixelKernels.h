#pragma once
// The pixel kernels of the whole graphics layer, on runs of 32-bit pixels 0xAARRGGBB (blue in
// the lowest byte): the three blend rules (AlphaBlend's premultiplied one and the skin engine's
// plain and vector-unit formulas), key copies, copies, fills, alpha stores, and the gather of a
// stretched row through a column map. Plain memory only (pointer, count); nothing here knows a
// device context.
//
// Every kernel has a portable version, which is the rule. The SSE2 and AVX2 versions live in
// files of their own, compiled for those instruction sets, and give exactly the same bytes (the
// tests compare every path with the portable one). The path is chosen once, on first use, from
// what the processor has; callers go through PixelKernels().
#include <cstddef>
#include <cstdint>
#include <vector>

namespace win::gdi {

// ---- The processor -----------------------------------------------------------------------------
// True when the processor answers CPUID (always on x86-64; never on other processors).
bool HasCpuid();
// EAX and EDX of CPUID leaf 1; 0 without CPUID.
uint32_t GetCpuSignature();
uint32_t GetCpuFeatures();
// The old vector unit from its inputs: CPUID present, family (bits 8..11) at least 5 and feature
// bit 23 set.
bool HasMMX(bool Cpuid, uint32_t Signature, uint32_t Features);
// The answers for this processor, each probed once, safe from any thread: the vector unit, SSE2
// (feature bit 26) and AVX2 (with the system's support for its registers).
bool HasMMX();
bool HasSSE2();
bool HasAVX2();

// ---- Column maps -------------------------------------------------------------------------------
// The source column of every destination pixel of a stretched run, prepared for the gather: per
// group of eight destination pixels, the lowest source column and the offsets from it, when all
// eight lie within eight columns that the source row holds (one load and one shuffle then give
// the group); Base is -1 for a group that is gathered one by one, and for the last, partial one.
struct ColumnMapView {
  const int32_t* Columns;
  const int32_t* Base;     // one per group of eight
  const int32_t* Offsets;  // eight per group
  int32_t Count;
};

class ColumnMap {
 public:
  // Columns must lie in [0, SourceWidth).
  void Assign(const int32_t* Columns, int32_t Count, int32_t SourceWidth);
  ColumnMapView View() const {
    return ColumnMapView{columns_.data(), base_.data(), offsets_.data(), int32_t(columns_.size())};
  }

 private:
  std::vector<int32_t> columns_, base_, offsets_;
};

// ---- The kernels -------------------------------------------------------------------------------
// The rules, as the portable versions state them:
//  BlendPixelPlain: F over B by F's alpha: F when opaque, B when clear, else each colour channel
//    (F*a + B*(255-a)) >> 8 and alpha 255.
//  BlendPixelMMX: every channel, alpha included, (F*a + B*(256-a)) >> 8, with no special case for
//    a clear or opaque F.
//  BlendLinePlain/MMX: a source alpha of 0 leaves the target, 255 copies the source, anything
//    else blends by the formula.
//  BlendLinePremultiplied: AlphaBlend's rule (BlendPixel in Blend.h) for a premultiplied 32-bit
//    source with the given constant alpha; the rows must not overlap.
//  KeyCopyLine: pixels whose low 24 bits are the key colour 0x7F007F leave the target; the others
//    are stored with alpha 255.
//  CopyLine: nothing when both addresses are equal; the runs may overlap.
//  SetAlphaLine: the alpha byte of every pixel becomes Alpha.
//  ClearColorAlpha: pixels whose low 24 bits equal Color's get alpha 0.
//  GatherLine: Target[i] = Source[Columns[i]] for the map's Count pixels.
namespace portable {
uint32_t BlendPixelPlain(uint32_t F, uint32_t B);
uint32_t BlendPixelMMX(uint32_t F, uint32_t B);
void BlendLinePlain(const uint32_t* Source, uint32_t* Target, int32_t Count);
void BlendLineMMX(const uint32_t* Source, uint32_t* Target, int32_t Count);
void BlendLinePremultiplied(const uint32_t* Source, uint32_t* Target, int32_t Count, uint8_t ConstantAlpha);
void KeyCopyLine(const uint32_t* Source, uint32_t* Target, int32_t Count);
void CopyLine(const uint32_t* Source, uint32_t* Target, int32_t Count);
void FillLine(uint32_t* Target, int32_t Count, uint32_t Value);
void SetAlphaLine(uint32_t* Target, int32_t Count, uint8_t Alpha);
void ClearColorAlpha(uint32_t* Target, int32_t Count, uint32_t Color);
void GatherLine(const uint32_t* Source, const ColumnMapView& Map, uint32_t* Target);
}  // namespace portable

#if defined(__x86_64__) && defined(__GNUC__)
#define WIN_GDI_HAVE_SSE2 1
#define WIN_GDI_HAVE_AVX2 1
// Four pixels per step (the AVX2 versions eight); the tails go to the path below.
namespace sse2 {
void BlendLinePlain(const uint32_t* Source, uint32_t* Target, int32_t Count);
void BlendLineMMX(const uint32_t* Source, uint32_t* Target, int32_t Count);
void BlendLinePremultiplied(const uint32_t* Source, uint32_t* Target, int32_t Count, uint8_t ConstantAlpha);
void KeyCopyLine(const uint32_t* Source, uint32_t* Target, int32_t Count);
void FillLine(uint32_t* Target, int32_t Count, uint32_t Value);
void SetAlphaLine(uint32_t* Target, int32_t Count, uint8_t Alpha);
void ClearColorAlpha(uint32_t* Target, int32_t Count, uint32_t Color);
}  // namespace sse2
// Only for processors with AVX2 (HasAVX2).
namespace avx2 {
void BlendLinePlain(const uint32_t* Source, uint32_t* Target, int32_t Count);
void BlendLineMMX(const uint32_t* Source, uint32_t* Target, int32_t Count);
void BlendLinePremultiplied(const uint32_t* Source, uint32_t* Target, int32_t Count, uint8_t ConstantAlpha);
void GatherLine(const uint32_t* Source, const ColumnMapView& Map, uint32_t* Target);
}  // namespace avx2
#endif

// ---- The table ---------------------------------------------------------------------------------
enum class KernelPath { Portable, SSE2, AVX2 };

using BlendPixelProc = uint32_t (*)(uint32_t F, uint32_t B);
using LineProc = void (*)(const uint32_t* Source, uint32_t* Target, int32_t Count);
using PremultipliedLineProc = void (*)(const uint32_t* Source, uint32_t* Target, int32_t Count,
                                       uint8_t ConstantAlpha);
using FillLineProc = void (*)(uint32_t* Target, int32_t Count, uint32_t Value);
using AlphaLineProc = void (*)(uint32_t* Target, int32_t Count, uint8_t Alpha);
using ClearColorProc = void (*)(uint32_t* Target, int32_t Count, uint32_t Color);
using GatherLineProc = void (*)(const uint32_t* Source, const ColumnMapView& Map, uint32_t* Target);

struct PixelKernelTable {
  KernelPath Path;
  BlendPixelProc BlendPixelPlain, BlendPixelMMX;
  LineProc BlendLinePlain, BlendLineMMX;
  PremultipliedLineProc BlendLinePremultiplied;
  LineProc KeyCopyLine, CopyLine;
  FillLineProc FillLine;
  AlphaLineProc SetAlphaLine;
  ClearColorProc ClearColorAlpha;
  GatherLineProc GatherLine;
};

// The best path this processor runs (probed once).
KernelPath BestKernelPath();
// The kernels of one path; a path the processor cannot run gives the best one it can.
const PixelKernelTable& KernelsFor(KernelPath Path);
// The kernels of the best path: what the layer draws with.
inline const PixelKernelTable& PixelKernels() { return KernelsFor(BestKernelPath()); }

}  // namespace win::gdi
