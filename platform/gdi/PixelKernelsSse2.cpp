// The SSE2 kernels: four pixels per step, the tail by the portable code. Each gives exactly the
// pixels of its portable twin (the tests compare them on random runs).
#include "platform/gdi/PixelKernels.h"

#if WIN_GDI_HAVE_SSE2
#include <emmintrin.h>

namespace win::gdi::sse2 {
namespace {

inline __m128i Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// ---- The skin engine's two formulas ------------------------------------------------------------
// Blends four pixels by one of the two formulas, then keeps the target where the source alpha
// is 0 and the source where it is 255.
//
// The channels are split into two groups of 16-bit lanes without unpacking: blue and red of
// each pixel (s & 0x00FF00FF), and green and alpha (s >> 8 per lane). Each lane then computes
// F*a + B*(256-a) as (F-B)*a + (B << 8) in wrapping 16-bit arithmetic: the true value lies in
// 0..65280, so the wrapped result is exact. The plain formula takes B*(255-a), one B less.
template <bool MMX>
inline __m128i Blend4(__m128i s, __m128i t) {
  const __m128i low = _mm_set1_epi32(0x00FF00FF);
  const __m128i alpha = _mm_srli_epi32(s, 24);
  const __m128i a = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 16));  // the pixel's alpha in both of its lanes
  __m128i frb = _mm_and_si128(s, low), brb = _mm_and_si128(t, low);
  __m128i fag = _mm_srli_epi16(s, 8), bag = _mm_srli_epi16(t, 8);
  __m128i rb = _mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(frb, brb), a), _mm_slli_epi16(brb, 8));
  __m128i ag = _mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(fag, bag), a), _mm_slli_epi16(bag, 8));
  if (!MMX) {
    rb = _mm_sub_epi16(rb, brb);
    ag = _mm_sub_epi16(ag, bag);
  }
  __m128i r = _mm_or_si128(_mm_srli_epi16(rb, 8), _mm_andnot_si128(low, ag));
  const __m128i zero = _mm_setzero_si128();
  __m128i opaque = _mm_cmpeq_epi32(alpha, _mm_set1_epi32(255));
  r = _mm_or_si128(_mm_and_si128(opaque, s), _mm_andnot_si128(opaque, r));
  if (MMX) return r;  // a clear source gives (B*256) >> 8 = B already
  r = _mm_or_si128(r, _mm_set1_epi32(int(0xFF000000u)));
  __m128i clear = _mm_cmpeq_epi32(alpha, zero);
  return _mm_or_si128(_mm_and_si128(clear, t), _mm_andnot_si128(clear, r));
}

template <bool MMX>
void BlendRun(const uint32_t* Source, uint32_t* Target, int32_t Count) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
  int32_t i = 0;
  for (; i + 4 <= Count; i += 4) {
    __m128i s = Load(Source + i);
    __m128i a = _mm_and_si128(s, alphaMask);
    // Runs of clear pixels are common in skins: leave the target untouched.
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(a, zero)) == 0xFFFF) continue;
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(a, alphaMask)) == 0xFFFF) {
      Store(Target + i, s);
      continue;
    }
    Store(Target + i, Blend4<MMX>(s, Load(Target + i)));
  }
  if (MMX)
    portable::BlendLineMMX(Source + i, Target + i, Count - i);
  else
    portable::BlendLinePlain(Source + i, Target + i, Count - i);
}

// ---- AlphaBlend's premultiplied rule -----------------------------------------------------------
// a*b/255 rounded to nearest in each 16-bit lane: with x = a*b + 128, (x + (x >> 8)) >> 8 is
// (x * 257) >> 16, one high multiply.
inline __m128i Mul255x8(__m128i a, __m128i b) {
  __m128i x = _mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(128));
  return _mm_mulhi_epu16(x, _mm_set1_epi16(257));
}

// Two pixels widened to eight 16-bit lanes: src*ca/255 + dst*(255 - sa)/255, where sa, the
// source alpha scaled by ca, is the alpha lane of the first term. Sums stay below 511; the
// pack saturates them at 255 as the rule does.
template <bool Opaque>
inline __m128i PremultipliedTwo(__m128i s, __m128i d, __m128i ca) {
  __m128i sTerm = Opaque ? s : Mul255x8(s, ca);
  __m128i sa = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sTerm, 0xFF), 0xFF);  // each pixel's alpha in its four lanes
  return _mm_add_epi16(sTerm, Mul255x8(d, _mm_sub_epi16(_mm_set1_epi16(255), sa)));
}

// Opaque: the constant alpha is 255, so a source of alpha 255 is copied and a source of 0 (all
// four bytes) leaves the destination alone, exactly what the formula gives for them.
template <bool Opaque>
void PremultipliedRun(const uint32_t* Source, uint32_t* Target, int32_t Count, uint8_t ConstantAlpha) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i ones = _mm_set1_epi8(char(0xFF));
  const __m128i ca = _mm_set1_epi16(ConstantAlpha);
  int32_t i = 0;
  for (; i + 4 <= Count; i += 4) {
    __m128i s = Load(Source + i);
    if constexpr (Opaque) {
      if ((_mm_movemask_epi8(_mm_cmpeq_epi8(s, ones)) & 0x8888) == 0x8888) {
        Store(Target + i, s);
        continue;
      }
      if (_mm_movemask_epi8(_mm_cmpeq_epi8(s, zero)) == 0xFFFF) continue;
    }
    __m128i d = Load(Target + i);
    __m128i lo = PremultipliedTwo<Opaque>(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), ca);
    __m128i hi = PremultipliedTwo<Opaque>(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), ca);
    Store(Target + i, _mm_packus_epi16(lo, hi));
  }
  portable::BlendLinePremultiplied(Source + i, Target + i, Count - i, ConstantAlpha);
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

void KeyCopyLine(const uint32_t* Source, uint32_t* Target, int32_t Count) {
  const __m128i rgb = _mm_set1_epi32(0x00FFFFFF), key = _mm_set1_epi32(0x7F007F);
  const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
  int32_t i = 0;
  for (; i + 4 <= Count; i += 4) {
    __m128i s = Load(Source + i);
    __m128i isKey = _mm_cmpeq_epi32(_mm_and_si128(s, rgb), key);
    __m128i v = _mm_or_si128(s, alpha);
    Store(Target + i, _mm_or_si128(_mm_and_si128(isKey, Load(Target + i)), _mm_andnot_si128(isKey, v)));
  }
  portable::KeyCopyLine(Source + i, Target + i, Count - i);
}

void FillLine(uint32_t* Target, int32_t Count, uint32_t Value) {
  const __m128i v = _mm_set1_epi32(int(Value));
  int32_t i = 0;
  for (; i + 4 <= Count; i += 4) Store(Target + i, v);
  portable::FillLine(Target + i, Count - i, Value);
}

void SetAlphaLine(uint32_t* Target, int32_t Count, uint8_t Alpha) {
  const __m128i rgb = _mm_set1_epi32(0x00FFFFFF), a = _mm_set1_epi32(int(uint32_t(Alpha) << 24));
  int32_t i = 0;
  for (; i + 4 <= Count; i += 4) Store(Target + i, _mm_or_si128(_mm_and_si128(Load(Target + i), rgb), a));
  portable::SetAlphaLine(Target + i, Count - i, Alpha);
}

void ClearColorAlpha(uint32_t* Target, int32_t Count, uint32_t Color) {
  const __m128i rgb = _mm_set1_epi32(0x00FFFFFF), c = _mm_set1_epi32(int(Color & 0x00FFFFFFu));
  int32_t i = 0;
  for (; i + 4 <= Count; i += 4) {
    __m128i t = Load(Target + i);
    __m128i hit = _mm_cmpeq_epi32(_mm_and_si128(t, rgb), c);
    Store(Target + i, _mm_or_si128(_mm_and_si128(hit, c), _mm_andnot_si128(hit, t)));
  }
  portable::ClearColorAlpha(Target + i, Count - i, Color);
}

}  // namespace win::gdi::sse2
#endif
