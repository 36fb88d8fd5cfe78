// The row kernel of AlphaBlend: the pixel kernels' premultiplied blend on the path chosen at
// start-up (platform/gdi/PixelKernels.h), which gives exactly BlendPixel's bytes.
#include "platform/gdi/Blend.h"

#include "platform/gdi/PixelKernels.h"

namespace win::gdi {

void BlendRowSrcAlpha(uint32_t* dst, const uint32_t* src, size_t n, uint8_t constantAlpha) {
  // Rows longer than one run are done in pieces (a surface row never is).
  const auto blend = PixelKernels().BlendLinePremultiplied;
  while (n > 0) {
    int32_t k = int32_t(n > size_t(INT32_MAX) ? size_t(INT32_MAX) : n);
    blend(src, dst, k, constantAlpha);
    src += k;
    dst += k;
    n -= size_t(k);
  }
}

}  // namespace win::gdi
