// The AVX2 kernels: eight pixels per step, with the lane arithmetic of the SSE2 versions twice
// as wide; the tails go to the SSE2 versions. Chosen at start-up only for processors with AVX2.
//
// This file alone is compiled with -mavx2. It uses nothing inline from other headers but the
// intrinsics (no standard-library templates, no helpers of Blend.h), so no AVX2 copy of a
// shared inline function can be emitted here and picked by the linker for the other files.
#include "platform/gdi/PixelKernels.h"

#if WIN_GDI_HAVE_AVX2
#if !defined(__AVX2__)
#error "PixelKernelsAvx2.cpp must be compiled with -mavx2 (platform/CMakeLists.txt)"
#endif
#include <immintrin.h>

namespace win::gdi::avx2 {
namespace {

inline __m256i Load(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
inline void Store(uint32_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

// ---- The skin engine's two formulas (see the SSE2 file for the lane arithmetic) -----------------
template <bool MMX>
inline __m256i Blend8(__m256i s, __m256i t) {
  const __m256i low = _mm256_set1_epi32(0x00FF00FF);
  const __m256i alpha = _mm256_srli_epi32(s, 24);
  const __m256i a = _mm256_or_si256(alpha, _mm256_slli_epi32(alpha, 16));
  __m256i frb = _mm256_and_si256(s, low), brb = _mm256_and_si256(t, low);
  __m256i fag = _mm256_srli_epi16(s, 8), bag = _mm256_srli_epi16(t, 8);
  __m256i rb = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_sub_epi16(frb, brb), a), _mm256_slli_epi16(brb, 8));
  __m256i ag = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_sub_epi16(fag, bag), a), _mm256_slli_epi16(bag, 8));
  if (!MMX) {
    rb = _mm256_sub_epi16(rb, brb);
    ag = _mm256_sub_epi16(ag, bag);
  }
  __m256i r = _mm256_or_si256(_mm256_srli_epi16(rb, 8), _mm256_andnot_si256(low, ag));
  __m256i opaque = _mm256_cmpeq_epi32(alpha, _mm256_set1_epi32(255));
  r = _mm256_blendv_epi8(r, s, opaque);
  if (MMX) return r;
  r = _mm256_or_si256(r, _mm256_set1_epi32(int(0xFF000000u)));
  return _mm256_blendv_epi8(r, t, _mm256_cmpeq_epi32(alpha, _mm256_setzero_si256()));
}

template <bool MMX>
void BlendRun(const uint32_t* Source, uint32_t* Target, int32_t Count) {
  const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
  int32_t i = 0;
  for (; i + 8 <= Count; i += 8) {
    __m256i s = Load(Source + i);
    __m256i a = _mm256_and_si256(s, alphaMask);
    if (_mm256_testz_si256(a, a)) continue;  // all clear: the target stays
    if (_mm256_testc_si256(a, alphaMask)) {  // all opaque: a copy
      Store(Target + i, s);
      continue;
    }
    Store(Target + i, Blend8<MMX>(s, Load(Target + i)));
  }
  if (MMX)
    sse2::BlendLineMMX(Source + i, Target + i, Count - i);
  else
    sse2::BlendLinePlain(Source + i, Target + i, Count - i);
}

// ---- AlphaBlend's premultiplied rule (see the SSE2 file) ----------------------------------------
inline __m256i Mul255x16(__m256i a, __m256i b) {
  __m256i x = _mm256_add_epi16(_mm256_mullo_epi16(a, b), _mm256_set1_epi16(128));
  return _mm256_mulhi_epu16(x, _mm256_set1_epi16(257));
}

// Four pixels widened to sixteen 16-bit lanes (two per 128-bit half).
template <bool Opaque>
inline __m256i PremultipliedFour(__m256i s, __m256i d, __m256i ca) {
  __m256i sTerm = Opaque ? s : Mul255x16(s, ca);
  __m256i sa = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(sTerm, 0xFF), 0xFF);
  return _mm256_add_epi16(sTerm, Mul255x16(d, _mm256_sub_epi16(_mm256_set1_epi16(255), sa)));
}

template <bool Opaque>
void PremultipliedRun(const uint32_t* Source, uint32_t* Target, int32_t Count, uint8_t ConstantAlpha) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
  const __m256i ca = _mm256_set1_epi16(ConstantAlpha);
  int32_t i = 0;
  for (; i + 8 <= Count; i += 8) {
    __m256i s = Load(Source + i);
    if constexpr (Opaque) {
      if (_mm256_testc_si256(s, alphaMask)) {  // all opaque: a copy
        Store(Target + i, s);
        continue;
      }
      if (_mm256_testz_si256(s, s)) continue;  // all zero: the target stays
    }
    __m256i d = Load(Target + i);
    // The unpacks and the pack work within each 128-bit half, so the pixels keep their order.
    __m256i lo = PremultipliedFour<Opaque>(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero), ca);
    __m256i hi = PremultipliedFour<Opaque>(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero), ca);
    Store(Target + i, _mm256_packus_epi16(lo, hi));
  }
  sse2::BlendLinePremultiplied(Source + i, Target + i, Count - i, ConstantAlpha);
}

}  // namespace

void BlendLinePlain(const uint32_t* Source, uint32_t* Target, int32_t Count) {
  BlendRun<false>(Source, Target, Count);
}

void BlendLineMMX(const uint32_t* Source, uint32_t* Target, int32_t Count) {
  BlendRun<true>(Source, Target, Count);
}

void BlendLinePremultiplied(const uint32_t* Source, uint32_t* Target, int32_t Count, uint8_t ConstantAlpha) {
  if (ConstantAlpha == 255)
    PremultipliedRun<true>(Source, Target, Count, ConstantAlpha);
  else
    PremultipliedRun<false>(Source, Target, Count, ConstantAlpha);
}

// A group whose eight columns lie within eight of the source row is one load and one shuffle;
// the others, and the last partial group, are gathered one pixel at a time.
void GatherLine(const uint32_t* Source, const ColumnMapView& Map, uint32_t* Target) {
  const int32_t groups = Map.Count / 8;
  for (int32_t g = 0; g < groups; ++g) {
    const int32_t base = Map.Base[g];
    uint32_t* t = Target + ptrdiff_t(g) * 8;
    if (base >= 0) {
      __m256i idx = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Map.Offsets + ptrdiff_t(g) * 8));
      Store(t, _mm256_permutevar8x32_epi32(Load(Source + base), idx));
    } else {
      const int32_t* c = Map.Columns + ptrdiff_t(g) * 8;
      for (int k = 0; k < 8; ++k) t[k] = Source[c[k]];
    }
  }
  for (int32_t i = groups * 8; i < Map.Count; ++i) Target[i] = Source[Map.Columns[i]];
}

}  // namespace win::gdi::avx2
#endif
