#pragma once
// Decoded pictures copied into bitmaps: the state a component keeps for it, and the copy.
// A context belongs to one owner and is never shared between threads; it may live on any thread.
#include <cstdint>

extern "C" {
#include <libavutil/pixfmt.h>
}

#include "classlib/Graphics.h"

struct SwsContext;

struct TRGBConvertContext {
  AVPixelFormat RGBPixFmt = AV_PIX_FMT_BGR24;
  TPixelFormat BMPPixFmt = pf24bit;
  TBitmap* Bitmap = nullptr;           // owned
  uint8_t* RGBBuf = nullptr;           // owned, library allocation
  int32_t RGBBufSize = 0;              // bytes allocated, padding included
  uint8_t* RGBPictureData[4] = {};     // the picture laid over RGBBuf, rows padded for the scaler
  int RGBPictureLinesize[4] = {};
  const uint8_t* const* RGBPictureRefData = nullptr;  // the picture whose rows were last copied
  const int* RGBPictureRefLinesize = nullptr;
  SwsContext* toRGB_convert_ctx = nullptr;    // owned
  SwsContext* fromRGB_convert_ctx = nullptr;  // owned
};
using PRGBConvertContext = TRGBConvertContext*;

// Frees the bitmap, the buffer and both scaler contexts and restores the defaults.
void ResetRGBConvertContext(TRGBConvertContext& ACtx);
// A bitmap of that size and format whose canvas brush style is clear; the caller owns it.
TBitmap* NewBitmap(int32_t AWidth, int32_t AHeight, TPixelFormat APixelFormat);
// Copies the picture (planes and line sizes as the libraries lay them out) into ACtx.Bitmap,
// converting to BGR24 when the format, an odd size or the row layout asks for it. False when no
// scaler can be made or the picture is unusable; needs the scaler library loaded.
bool AVPictureToBitmap(TRGBConvertContext& ACtx, const uint8_t* const APictureData[4], const int APictureLinesize[4],
                       AVPixelFormat APixFmt, int32_t AHeight, int32_t AWidth);
