#pragma once
// The pixel kernels of the 32-bit bitmap engine: runs of pixels copied, filled, key-copied and
// alpha-blended, and the coordinate maps of the nearest-neighbour stretches. Plain memory only
// (pointer, count, row length): nothing here knows a device context or a class-library object.
//
// The kernels themselves are the graphics layer's (platform/gdi/PixelKernels.h: a portable
// version of each, SSE2 and AVX2 versions that give identical pixels); this table picks the
// bitmap engine's blend formula and path from them, once, on first use.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/PixelKernels.h"

// 0xAARRGGBB: blue in the lowest byte, then green, red and alpha; not premultiplied.
using TkxColor = uint32_t;
using PkxColor = TkxColor*;

// Pixels whose low 24 bits are this colour are not drawn by the keyed paths.
constexpr TkxColor kxKeyColor = 0x7F007F;
// What the transparency test stores into a near-key pixel.
constexpr TkxColor kxKeyPixel = 0x007F007F;

inline uint8_t PixelAlpha(TkxColor P) { return uint8_t(P >> 24); }
inline uint8_t PixelRed(TkxColor P) { return uint8_t(P >> 16); }
inline uint8_t PixelGreen(TkxColor P) { return uint8_t(P >> 8); }
inline uint8_t PixelBlue(TkxColor P) { return uint8_t(P); }
inline bool IsKeyPixel(TkxColor P) { return (P & 0xFFFFFF) == kxKeyColor; }

// A class-library colour (red in the lowest byte) as an opaque pixel.
inline TkxColor ColorToPixel(int32_t Color) {
  uint32_t c = uint32_t(Color);
  return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// ---- The kernel table --------------------------------------------------------------------------
// The formulas (win::gdi::portable states them): BlendPixelPlain / BlendLinePlain, and the old
// vector unit's BlendPixelMMX / BlendLineMMX; the run kernels as the layer has them.
using TkxBlendPixelProc = win::gdi::BlendPixelProc;
using TkxLineProc = win::gdi::LineProc;
using TkxFillLineProc = win::gdi::FillLineProc;
using TkxAlphaLineProc = win::gdi::AlphaLineProc;
using TkxClearColorProc = win::gdi::ClearColorProc;

struct TkxPixelKernels {
  TkxBlendPixelProc BlendPixel;
  TkxLineProc BlendLine;
  TkxLineProc KeyCopyLine;
  TkxLineProc CopyLine;
  TkxFillLineProc FillLine;
  TkxAlphaLineProc SetAlphaLine;
  TkxClearColorProc ClearColorAlpha;
  win::gdi::GatherLineProc GatherLine;  // a stretched row through a win::gdi::ColumnMap
  bool MMXFormula;  // which blend formula the table holds
  bool SSE2;        // whether the fast versions fill it
  bool AVX2;        // whether the alpha draw takes the eight-pixel version
};

// The process-wide table, filled by SelectPixelKernels on first use.
const TkxPixelKernels& PixelKernels();
// Fills the table: the formula of the old vector unit when the processor has it (HasMMX),
// else the plain one; the SSE2 versions when the processor has SSE2, and the AVX2 alpha draw
// when it also has AVX2. Called once at start-up.
void SelectPixelKernels();
// Fills the table with a chosen formula and path (tests and benchmarks compare them); the
// fast path takes AVX2 where the processor has it and UseAVX2 allows.
void SelectPixelKernels(bool MMXFormula, bool UseSSE2, bool UseAVX2 = true);

// The kernels through the table.
inline TkxColor BlendPixel(TkxColor F, TkxColor B) { return PixelKernels().BlendPixel(F, B); }
inline void BlendLine(const TkxColor* S, TkxColor* T, int32_t N) { PixelKernels().BlendLine(S, T, N); }
inline void KeyCopyLine(const TkxColor* S, TkxColor* T, int32_t N) { PixelKernels().KeyCopyLine(S, T, N); }
inline void CopyLine(const TkxColor* S, TkxColor* T, int32_t N) { PixelKernels().CopyLine(S, T, N); }
inline void FillLine(TkxColor* T, int32_t N, TkxColor V) { PixelKernels().FillLine(T, N, V); }
inline void SetAlphaLine(TkxColor* T, int32_t N, uint8_t A) { PixelKernels().SetAlphaLine(T, N, A); }
inline void ClearColorAlpha(TkxColor* T, int32_t N, TkxColor C) { PixelKernels().ClearColorAlpha(T, N, C); }

// [Left, Right) x [Top, Bottom) of a top-down pixel array of row length Width; the caller keeps
// the rectangle inside the array. Nothing for an empty rectangle.
void FillRectPixels(TkxColor* Bits, int32_t Width, TkxColor Value, int32_t Left, int32_t Top,
                    int32_t Right, int32_t Bottom);
void SetAlphaRectPixels(TkxColor* Bits, int32_t Width, uint8_t Alpha, int32_t Left, int32_t Top,
                        int32_t Right, int32_t Bottom);

// ---- Stretch maps ------------------------------------------------------------------------------
// Source coordinates for Count destination positions starting at Offset (the clip's distance
// from the destination's start), for a source run [SrcStart, SrcEnd) stretched over DstSize.
// DstSize < 2 gives the middle source position. The bitmap kernels truncate, the DIB kernels
// round to the nearest (ties to even); both keep the scale in single precision, as stored, and
// multiply in double precision.
enum class TkxStretchRounding { Trunc, Round };
int32_t StretchSourceIndex(int32_t I, int32_t SrcStart, int32_t SrcEnd, int32_t DstSize,
                           TkxStretchRounding Rounding);
std::vector<int32_t> StretchMap(int32_t Offset, int32_t Count, int32_t SrcStart, int32_t SrcEnd,
                                int32_t DstSize, TkxStretchRounding Rounding);

// ---- PCX run-length data -----------------------------------------------------------------------
// Decodes into Target until either side runs out: a byte of 192 or more is a run of (byte & 63)
// copies of the next byte, cut at the end of the target; any other byte is one literal.
// Answers the target bytes written.
size_t DecodePcxRle(const uint8_t* Source, size_t SourceSize, uint8_t* Target, size_t TargetSize);
// The encoding the decoder reads: runs of up to 63, and literals of 192 or more as runs of one.
std::vector<uint8_t> EncodePcxRle(const uint8_t* Source, size_t Size);
