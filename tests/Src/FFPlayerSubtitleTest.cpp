// The player's bitmap subtitles without a file: the palette from RGBA to YUVA, and a subtitle
// rectangle blended into a 4:2:0 picture (2x2 chroma blocks, clipping).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Src/FFPlayerState.h"

using ffplayer::BlendSubtitleRect;
using ffplayer::RGBAToYUVA;

TEST(PlayerSubtitlePalette, RGBABecomesStudioRangeYUVAKeepingTheAlpha) {
  struct TCase {
    uint32_t Argb, Ayuv;
  };
  const TCase cases[] = {
      {0xFF000000, 0xFF108080},  // black: Y 16, neutral chroma
      {0xFFFFFFFF, 0xFFEB8080},  // white: Y 235
      {0xFFFF0000, 0xFF515AF0},  // red: V at its top, 240
      {0xFF00FF00, 0xFF913622},  // green: U 54, V 34
      {0xFF0000FF, 0xFF29F06E},  // blue: U at its top, 240
      {0x80FF0000, 0x80515AF0},  // the alpha passes through
      {0x00000000, 0x00108080},  // transparent black
      {0xFF808080, 0xFF7E8080},  // mid grey
  };
  for (const TCase& c : cases) EXPECT_EQ(RGBAToYUVA(c.Argb), c.Ayuv) << std::hex << c.Argb;
}

namespace {

// A 6x6 picture: luma 100, chroma 128, and a rectangle of one colour (a YUVA palette entry).
struct TPicture {
  static constexpr int W = 6, H = 6;
  std::vector<uint8_t> Y = std::vector<uint8_t>(W * H, 100);
  std::vector<uint8_t> U = std::vector<uint8_t>(9, 128), V = std::vector<uint8_t>(9, 128);
  void Blend(int x, int y, int w, int h, uint32_t AColour) {
    std::vector<uint8_t> index(size_t(w * h), 0);
    uint32_t palette[1] = {AColour};
    AVSubtitleRect r{};
    r.x = x;
    r.y = y;
    r.w = w;
    r.h = h;
    r.nb_colors = 1;
    r.data[0] = index.data();
    r.data[1] = reinterpret_cast<uint8_t*>(palette);
    r.linesize[0] = w;
    uint8_t* planes[3] = {Y.data(), U.data(), V.data()};
    const int linesizes[3] = {W, 3, 3};
    BlendSubtitleRect(planes, linesizes, &r, W, H);
  }
};

}  // namespace

TEST(PlayerSubtitleBlend, RectanglesBlendByTheirAlphaOverTheChromaGridAndStayInsideThePicture) {
  constexpr uint32_t Red = 0xFF515AF0, HalfRed = 0x80515AF0;
  struct TCase {
    const char* Name;
    int X, Y, W, H;
    uint32_t Colour;
    int LumaInside, LumaCount;  // the luma inside the area and how many samples changed
    int ChromaX, ChromaY, Cb, Cr, ChromaCount;
  };
  const TCase cases[] = {
      // A whole 2x2 block: luma and chroma take the colour.
      {"opaque block", 2, 2, 2, 2, Red, 81, 4, 1, 1, 90, 240, 1},
      // Half alpha: (100 x 127 + 81 x 128) / 255 for luma; chroma from the block's sums.
      {"half alpha", 2, 2, 2, 2, HalfRed, 90, 4, 1, 1, 108, 184, 1},
      // An odd column covers half of its block: the chroma takes a quarter of the alpha twice.
      {"odd column", 1, 0, 1, 2, Red, 81, 2, 0, 0, 109, 183, 1},
      // Larger than the picture: cut to it, everything covered.
      {"too large", -3, 4, 10, 10, Red, 81, 36, 2, 2, 90, 240, 9},
      // Partly outside: moved inside, into the last block.
      {"moved inside", 5, 5, 2, 2, Red, 81, 4, 2, 2, 90, 240, 1},
  };
  for (const TCase& c : cases) {
    TPicture p;
    p.Blend(c.X, c.Y, c.W, c.H, c.Colour);
    int luma = 0, chroma = 0;
    for (uint8_t v : p.Y)
      if (v != 100) {
        ++luma;
        EXPECT_EQ(v, c.LumaInside) << c.Name;
      }
    for (size_t i = 0; i < p.U.size(); ++i) chroma += p.U[i] != 128 || p.V[i] != 128;
    EXPECT_EQ(luma, c.LumaCount) << c.Name;
    EXPECT_EQ(chroma, c.ChromaCount) << c.Name;
    EXPECT_EQ(p.U[size_t(c.ChromaY * 3 + c.ChromaX)], c.Cb) << c.Name;
    EXPECT_EQ(p.V[size_t(c.ChromaY * 3 + c.ChromaX)], c.Cr) << c.Name;
  }
}
