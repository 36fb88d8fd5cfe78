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

// ---- AlphaBlend's premultiplied rule ------------------------------------------------------------
// a*b/255 rounded to nearest in each 16-bit lane (see the SSE2 file).
inline __m256i Mul255x16(__m256i a, __m256i b) {
  __m256i x = _mm256_add_epi16(_mm256_mullo_epi16(a, b), _mm256_set1_epi16(128));
  return _mm256_mulhi_epu16(x, _mm256_set1_epi16(257));
}

// Eight pixels as the skin formulas split them, without unpacking: blue and red in one group of
// 16-bit lanes, green and alpha in the other. Each channel is src*ca/255 + dst*(255 - sa)/255,
// at most 255 (the sum reaches 510 for a source that is not premultiplied); sa, the source alpha
// scaled by ca, is the alpha lane of the source term, copied into both lanes of its pixel by
// one byte shuffle. Compared with widening to bytes per lane, this takes one shuffle instead of
// nine per eight pixels, and shuffles are what the widening version waits on.
template <bool Opaque>
inline __m256i Premultiplied8(__m256i s, __m256i d, __m256i ca) {
  const __m256i low = _mm256_set1_epi32(0x00FF00FF);
  const __m256i alphaBoth = _mm256_setr_epi8(2, -1, 2, -1, 6, -1, 6, -1, 10, -1, 10, -1, 14, -1, 14, -1,  //
                                             2, -1, 2, -1, 6, -1, 6, -1, 10, -1, 10, -1, 14, -1, 14, -1);
  const __m256i c255 = _mm256_set1_epi16(255);
  __m256i srb = _mm256_and_si256(s, low), sag = _mm256_srli_epi16(s, 8);
  if (!Opaque) {
    srb = Mul255x16(srb, ca);
    sag = Mul255x16(sag, ca);
  }
  const __m256i inv = _mm256_sub_epi16(c255, _mm256_shuffle_epi8(sag, alphaBoth));
  __m256i rb = _mm256_add_epi16(srb, Mul255x16(_mm256_and_si256(d, low), inv));
  __m256i ag = _mm256_add_epi16(sag, Mul255x16(_mm256_srli_epi16(d, 8), inv));
  rb = _mm256_min_epu16(rb, c255);
  ag = _mm256_min_epu16(ag, c255);
  return _mm256_or_si256(rb, _mm256_slli_epi16(ag, 8));
}

template <bool Opaque>
void PremultipliedRun(const uint32_t* Source, uint32_t* Target, int32_t Count, uint8_t ConstantAlpha) {
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
    Store(Target + i, Premultiplied8<Opaque>(s, Load(Target + i), ca));
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
