// The row kernel of AlphaBlend for 32-bit sources with per-pixel alpha. With SSE2 four pixels go
// at once in 16-bit lanes; every lane computes the same integer expressions as BlendPixel
// (products below 65536, sums below 511 saturated by the pack), so the bytes are identical.
#include "platform/gdi/Blend.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace win::gdi {

#if defined(__SSE2__)
namespace {

inline __m128i Mul255x8(__m128i a, __m128i b) {
  __m128i x = _mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

// Two pixels widened to eight 16-bit lanes.
template <bool Opaque>
inline __m128i BlendTwo(__m128i s, __m128i d, __m128i ca) {
  __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);  // each pixel's alpha in its four lanes
  __m128i sTerm = s, sa = a;
  if constexpr (!Opaque) {
    sTerm = Mul255x8(s, ca);
    sa = Mul255x8(a, ca);
  }
  return _mm_add_epi16(sTerm, Mul255x8(d, _mm_sub_epi16(_mm_set1_epi16(255), sa)));
}

// Opaque: the constant alpha is 255, so a source of alpha 255 is copied and a source of 0 (all
// four bytes) leaves the destination alone, exactly what the formula gives for them.
template <bool Opaque>
void Rows(uint32_t* dst, const uint32_t* src, size_t n, uint8_t constantAlpha) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i ones = _mm_set1_epi8(char(0xFF));
  const __m128i ca = _mm_set1_epi16(constantAlpha);
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    if constexpr (Opaque) {
      if ((_mm_movemask_epi8(_mm_cmpeq_epi8(s, ones)) & 0x8888) == 0x8888) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
        continue;
      }
      if (_mm_movemask_epi8(_mm_cmpeq_epi8(s, zero)) == 0xFFFF) continue;
    }
    __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    __m128i lo = BlendTwo<Opaque>(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), ca);
    __m128i hi = BlendTwo<Opaque>(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), ca);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
  }
  BLENDFUNCTION bf{AC_SRC_OVER, 0, constantAlpha, AC_SRC_ALPHA};
  for (; i < n; ++i) dst[i] = BlendPixel(src[i], dst[i], bf, true);
}

}  // namespace

void BlendRowSrcAlpha(uint32_t* dst, const uint32_t* src, size_t n, uint8_t constantAlpha) {
  if (constantAlpha == 255)
    Rows<true>(dst, src, n, constantAlpha);
  else
    Rows<false>(dst, src, n, constantAlpha);
}

#else

void BlendRowSrcAlpha(uint32_t* dst, const uint32_t* src, size_t n, uint8_t constantAlpha) {
  BLENDFUNCTION bf{AC_SRC_OVER, 0, constantAlpha, AC_SRC_ALPHA};
  for (size_t i = 0; i < n; ++i) dst[i] = BlendPixel(src[i], dst[i], bf, true);
}

#endif

}  // namespace win::gdi
