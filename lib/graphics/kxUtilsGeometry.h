#pragma once
// The piece primitives shared by the picture builders and the mask strips (internal to lib/).
#include <memory>

#include "classlib/Graphics.h"

namespace kxgeom {
// The rectangle (l, t, r, b) relative to SkinRect's top-left pixel, in picture pixels.
TRect Piece(const TRect& SkinRect, int32_t l, int32_t t, int32_t r, int32_t b);
bool HasArea(const TRect& R);
// An empty-sized temporary of Like's depth (24 bits stays 24, anything else becomes 32).
std::unique_ptr<TBitmap> NewTemp(TBitmap* Like, int32_t W, int32_t H);
void CopyPiece(TBitmap* Dest, const TRect& D, TBitmap* Src, const TRect& S);
void StretchPiece(TBitmap* Dest, const TRect& D, TBitmap* Src, const TRect& S);
void TilePiece(TBitmap* Dest, TBitmap* Src, const TRect& S, int32_t A, int32_t B, bool Horz, int32_t Other);
void TileBoth(TBitmap* Dest, TBitmap* Src, const TRect& S, const TRect& D);
}  // namespace kxgeom
