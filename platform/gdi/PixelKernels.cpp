// The processor tests, the column maps, the portable kernels (the rules) and the tables.
#include "platform/gdi/PixelKernels.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/Blend.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace win::gdi {

// ---- The processor -----------------------------------------------------------------------------
bool HasCpuid() {
#if defined(__x86_64__)
  return true;  // the ID flag can always be flipped in 64-bit mode
#elif defined(__i386__)
  return __get_cpuid_max(0, nullptr) != 0;
#else
  return false;
#endif
}

namespace {
void Leaf1(uint32_t& eax, uint32_t& edx) {
  eax = edx = 0;
#if defined(__x86_64__) || defined(__i386__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (HasCpuid() && __get_cpuid(1, &a, &b, &c, &d)) {
    eax = a;
    edx = d;
  }
#endif
}
}  // namespace

uint32_t GetCpuSignature() {
  uint32_t a, d;
  Leaf1(a, d);
  return a;
}

uint32_t GetCpuFeatures() {
  uint32_t a, d;
  Leaf1(a, d);
  return d;
}

bool HasMMX(bool Cpuid, uint32_t Signature, uint32_t Features) {
  return Cpuid && ((Signature >> 8) & 0xF) >= 5 && (Features & (1u << 23)) != 0;
}

// The processor does not change while the program runs: each answer is probed once, on first
// use, by whichever thread asks first.
bool HasMMX() {
  static const bool has = HasMMX(HasCpuid(), GetCpuSignature(), GetCpuFeatures());
  return has;
}

bool HasSSE2() {
#if WIN_GDI_HAVE_SSE2
  static const bool has = (GetCpuFeatures() & (1u << 26)) != 0;
  return has;
#else
  return false;
#endif
}

bool HasAVX2() {
#if WIN_GDI_HAVE_AVX2
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
#else
  return false;
#endif
}

// ---- Column maps -------------------------------------------------------------------------------
void ColumnMap::Assign(const int32_t* Columns, int32_t Count, int32_t SourceWidth) {
  size_t n = size_t(std::max(Count, 0)), groups = (n + 7) / 8;
  columns_.assign(Columns, Columns + n);
  base_.assign(groups, -1);
  offsets_.assign(groups * 8, 0);
  for (size_t g = 0; g < n / 8; ++g) {
    const int32_t* c = Columns + g * 8;
    auto [lo, hi] = std::minmax_element(c, c + 8);
    // The group's eight-pixel load must stay inside the source row.
    if (*hi - *lo > 7 || *lo < 0 || int64_t(*lo) + 8 > SourceWidth) continue;
    base_[g] = *lo;
    for (int k = 0; k < 8; ++k) offsets_[g * 8 + size_t(k)] = c[k] - *lo;
  }
}

// ---- Portable kernels --------------------------------------------------------------------------
namespace portable {

uint32_t BlendPixelPlain(uint32_t F, uint32_t B) {
  uint32_t a = F >> 24;
  if (a == 255) return F;
  if (a == 0) return B;
  // Red and blue in one product: each lane stays below 2^16, so none spills into the other.
  uint32_t rb = ((F & 0x00FF00FFu) * a + (B & 0x00FF00FFu) * (255 - a)) >> 8;
  uint32_t g = ((F & 0x0000FF00u) * a + (B & 0x0000FF00u) * (255 - a)) >> 8;
  return 0xFF000000u | (rb & 0x00FF00FFu) | (g & 0x0000FF00u);
}

uint32_t BlendPixelMMX(uint32_t F, uint32_t B) {
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
template <uint32_t (*Blend)(uint32_t, uint32_t)>
void BlendRun(const uint32_t* Source, uint32_t* Target, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) {
    uint32_t s = Source[i];
    uint32_t a = s >> 24;
    if (a == 0) continue;
    Target[i] = a == 255 ? s : Blend(s, Target[i]);
  }
}
}  // namespace

void BlendLinePlain(const uint32_t* Source, uint32_t* Target, int32_t Count) {
  BlendRun<BlendPixelPlain>(Source, Target, Count);
}

void BlendLineMMX(const uint32_t* Source, uint32_t* Target, int32_t Count) {
  BlendRun<BlendPixelMMX>(Source, Target, Count);
}

void BlendLinePremultiplied(const uint32_t* Source, uint32_t* Target, int32_t Count, uint8_t ConstantAlpha) {
  const BLENDFUNCTION bf{AC_SRC_OVER, 0, ConstantAlpha, AC_SRC_ALPHA};
  for (int32_t i = 0; i < Count; ++i) Target[i] = BlendPixel(Source[i], Target[i], bf, true);
}

void KeyCopyLine(const uint32_t* Source, uint32_t* Target, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) {
    uint32_t s = Source[i];
    if ((s & 0x00FFFFFFu) != 0x7F007Fu) Target[i] = s | 0xFF000000u;
  }
}

void CopyLine(const uint32_t* Source, uint32_t* Target, int32_t Count) {
  if (Count <= 0 || Source == Target) return;
  std::memmove(Target, Source, size_t(Count) * sizeof(uint32_t));
}

void FillLine(uint32_t* Target, int32_t Count, uint32_t Value) {
  for (int32_t i = 0; i < Count; ++i) Target[i] = Value;
}

void SetAlphaLine(uint32_t* Target, int32_t Count, uint8_t Alpha) {
  uint32_t a = uint32_t(Alpha) << 24;
  for (int32_t i = 0; i < Count; ++i) Target[i] = (Target[i] & 0x00FFFFFFu) | a;
}

void ClearColorAlpha(uint32_t* Target, int32_t Count, uint32_t Color) {
  uint32_t c = Color & 0x00FFFFFFu;
  for (int32_t i = 0; i < Count; ++i)
    if ((Target[i] & 0x00FFFFFFu) == c) Target[i] = c;
}

void GatherLine(const uint32_t* Source, const ColumnMapView& Map, uint32_t* Target) {
  for (int32_t i = 0; i < Map.Count; ++i) Target[i] = Source[Map.Columns[i]];
}

}  // namespace portable

// ---- The tables --------------------------------------------------------------------------------
namespace {

constexpr PixelKernelTable kPortable{
    KernelPath::Portable,       portable::BlendPixelPlain, portable::BlendPixelMMX,
    portable::BlendLinePlain,   portable::BlendLineMMX,    portable::BlendLinePremultiplied,
    portable::KeyCopyLine,      portable::CopyLine,        portable::FillLine,
    portable::SetAlphaLine,     portable::ClearColorAlpha, portable::GatherLine,
};

#if WIN_GDI_HAVE_SSE2
constexpr PixelKernelTable kSse2{
    KernelPath::SSE2,           portable::BlendPixelPlain, portable::BlendPixelMMX,
    sse2::BlendLinePlain,       sse2::BlendLineMMX,        sse2::BlendLinePremultiplied,
    sse2::KeyCopyLine,          portable::CopyLine,        sse2::FillLine,
    sse2::SetAlphaLine,         sse2::ClearColorAlpha,     portable::GatherLine,
};

// AVX2 pays where the arithmetic is the cost (the blends) and where a shuffle replaces scalar
// loads (the gather); the plain stores stay with SSE2, which already runs at memory speed.
constexpr PixelKernelTable kAvx2{
    KernelPath::AVX2,           portable::BlendPixelPlain, portable::BlendPixelMMX,
    avx2::BlendLinePlain,       avx2::BlendLineMMX,        avx2::BlendLinePremultiplied,
    sse2::KeyCopyLine,          portable::CopyLine,        sse2::FillLine,
    sse2::SetAlphaLine,         sse2::ClearColorAlpha,     avx2::GatherLine,
};
#endif

}  // namespace

KernelPath BestKernelPath() {
  static const KernelPath best = HasAVX2() && HasSSE2() ? KernelPath::AVX2
                                 : HasSSE2()            ? KernelPath::SSE2
                                                        : KernelPath::Portable;
  return best;
}

const PixelKernelTable& KernelsFor(KernelPath Path) {
#if WIN_GDI_HAVE_SSE2
  KernelPath best = BestKernelPath();
  if (Path > best) Path = best;
  if (Path == KernelPath::AVX2) return kAvx2;
  if (Path == KernelPath::SSE2) return kSse2;
#else
  (void)Path;
#endif
  return kPortable;
}

}  // namespace win::gdi
