// The alpha-draw kernel on eight pixels per step, for processors with AVX2 (chosen at start-up
// when the processor has it). The same lane arithmetic as the SSE2 version, twice as wide;
// the tail goes to the SSE2 version.
#include "lib/graphics/kxKernels.h"

#if KX_HAVE_AVX2
#include <immintrin.h>

#define KX_AVX2 __attribute__((target("avx2")))

namespace kxavx2 {
namespace {

template <bool MMX>
KX_AVX2 inline __m256i Blend8(__m256i s, __m256i t) {
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
KX_AVX2 void BlendRun(const TkxColor* Source, TkxColor* Target, int32_t Count) {
  const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
  int32_t i = 0;
  for (; i + 8 <= Count; i += 8) {
    __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Source + i));
    __m256i a = _mm256_and_si256(s, alphaMask);
    if (_mm256_testz_si256(a, a)) continue;  // all clear: the target stays
    auto* t = reinterpret_cast<__m256i*>(Target + i);
    if (_mm256_testc_si256(a, alphaMask)) {  // all opaque: a copy
      _mm256_storeu_si256(t, s);
      continue;
    }
    _mm256_storeu_si256(t, Blend8<MMX>(s, _mm256_loadu_si256(t)));
  }
  if (MMX)
    kxsse2::BlendLineMMX(Source + i, Target + i, Count - i);
  else
    kxsse2::BlendLinePlain(Source + i, Target + i, Count - i);
}

}  // namespace

void BlendLinePlain(const TkxColor* Source, TkxColor* Target, int32_t Count) {
  BlendRun<false>(Source, Target, Count);
}

void BlendLineMMX(const TkxColor* Source, TkxColor* Target, int32_t Count) {
  BlendRun<true>(Source, Target, Count);
}

}  // namespace kxavx2
#endif
