// Bitmap subtitles: the palette of a decoded subtitle turned from RGBA into YUVA, and a
// subtitle rectangle blended into a YUV 4:2:0 picture.
#include <algorithm>
#include <cstdint>

#include "Src/FFPlayerState.h"

namespace ffplayer {

uint32_t RGBAToYUVA(uint32_t AColor) {
  // ITU-R BT.601 studio range in 10-bit fixed point; the shifts of the signed sums are
  // arithmetic, which keeps u and v within 16..240.
  const int a = int(AColor >> 24), r = int(AColor >> 16 & 255), g = int(AColor >> 8 & 255), b = int(AColor & 255);
  const int y = (263 * r + 517 * g + 101 * b + 16896) >> 10;
  const int u = ((-152 * r - 298 * g + 450 * b + 511) >> 10) + 128;
  const int v = ((450 * r - 377 * g - 74 * b + 511) >> 10) + 128;
  return uint32_t(a) << 24 | uint32_t(y) << 16 | uint32_t(u) << 8 | uint32_t(v);
}

void BlendSubtitleRect(uint8_t* const APlanes[3], const int ALinesizes[3], const AVSubtitleRect* ARect, int AWidth,
                       int AHeight) {
  if (!ARect || !ARect->data[0] || !ARect->data[1] || AWidth <= 0 || AHeight <= 0) return;
  // A rectangle larger than the picture is cut to it; one partly outside is moved inside.
  const int w = std::clamp(ARect->w, 0, AWidth), h = std::clamp(ARect->h, 0, AHeight);
  const int x0 = std::clamp(ARect->x, 0, AWidth - w), y0 = std::clamp(ARect->y, 0, AHeight - h);
  if (w == 0 || h == 0) return;
  const auto* pal = reinterpret_cast<const uint32_t*>(ARect->data[1]);
  const int colours = std::max(ARect->nb_colors, 0);
  auto colourAt = [&](int lx, int ly) -> uint32_t {
    const int idx = ARect->data[0][(ly - y0) * ARect->linesize[0] + (lx - x0)];
    return idx < colours ? pal[idx] : 0;  // an index past the palette: transparent
  };
  // 2x2 blocks on the chroma grid; a block at an odd edge covers fewer luma samples.
  for (int cy = y0 / 2; cy <= (y0 + h - 1) / 2; ++cy) {
    for (int cx = x0 / 2; cx <= (x0 + w - 1) / 2; ++cx) {
      int n = 0, A = 0, U = 0, V = 0;
      for (int ly = 2 * cy; ly < 2 * cy + 2; ++ly) {
        if (ly < y0 || ly >= y0 + h) continue;
        for (int lx = 2 * cx; lx < 2 * cx + 2; ++lx) {
          if (lx < x0 || lx >= x0 + w) continue;
          const uint32_t c = colourAt(lx, ly);
          const int a = int(c >> 24);
          uint8_t& Y = APlanes[0][ly * ALinesizes[0] + lx];
          Y = uint8_t((Y * (255 - a) + int(c >> 16 & 255) * a) / 255);
          A += a;
          U += int(c >> 8 & 255);
          V += int(c & 255);
          ++n;
        }
      }
      if (n == 0) continue;
      const int s = n == 1 ? 0 : n == 2 ? 1 : 2;
      const int a4 = A >> 2;
      uint8_t& Cb = APlanes[1][cy * ALinesizes[1] + cx];
      uint8_t& Cr = APlanes[2][cy * ALinesizes[2] + cx];
      Cb = uint8_t((Cb * (1 << s) * (255 - a4) + U * a4) / (255 << s));
      Cr = uint8_t((Cr * (1 << s) * (255 - a4) + V * a4) / (255 << s));
    }
  }
}

}  // namespace ffplayer
