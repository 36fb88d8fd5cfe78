#include "Src/FFPicture.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Src/FFmpegStubs.h"

namespace {

// The row layout of a converted picture (see AVPictureToBitmap).
constexpr int32_t kRowPixelAlign = 64;
constexpr int kRowByteAlign = 64;

}  // namespace

void ResetRGBConvertContext(TRGBConvertContext& ACtx) {
  delete ACtx.Bitmap;
  ACtx.Bitmap = nullptr;
  if (ACtx.RGBBuf) AVUtilStubs.av_free(ACtx.RGBBuf);
  if (ACtx.toRGB_convert_ctx) SwScaleStubs.sws_freeContext(ACtx.toRGB_convert_ctx);
  if (ACtx.fromRGB_convert_ctx) SwScaleStubs.sws_freeContext(ACtx.fromRGB_convert_ctx);
  ACtx = TRGBConvertContext{};
}

TBitmap* NewBitmap(int32_t AWidth, int32_t AHeight, TPixelFormat APixelFormat) {
  auto* bmp = new TBitmap;
  bmp->SetPixelFormat(APixelFormat);
  bmp->SetSize(AWidth, AHeight);
  bmp->Canvas()->Brush()->SetStyle(bsClear);
  return bmp;
}

bool AVPictureToBitmap(TRGBConvertContext& ACtx, const uint8_t* const APictureData[4], const int APictureLinesize[4],
                       AVPixelFormat APixFmt, int32_t AHeight, int32_t AWidth) {
  if (AWidth <= 0 || AHeight <= 0 || !APictureData || !APictureLinesize || !APictureData[0]) return false;
  if (!ACtx.Bitmap) ACtx.Bitmap = NewBitmap(AWidth, AHeight, ACtx.BMPPixFmt);
  ACtx.Bitmap->SetSize(AWidth, AHeight);
  const int rowSize = static_cast<int>(ACtx.Bitmap->Stride());

  const bool convert = APixFmt != ACtx.RGBPixFmt || (AWidth % 2) != 0 || (AHeight % 2) != 0 ||
                       APictureLinesize[0] != rowSize;
  if (convert) {
    // The scaler aborts the process on a format it cannot read: refuse those first.
    if (SwScaleStubs.sws_isSupportedInput(APixFmt) <= 0) return false;
    // The scaler's vector paths store whole blocks of pixels: a row of a 4:2:0 picture converted to
    // BGR24 gets up to 16 pixels whatever its width, past the row's end and, on the last row, past
    // the end of a picture laid out without padding (or, where the row has no room for a block, its
    // last pixels are never converted). Rows are therefore laid out for a width rounded up to 64
    // pixels, 64-byte aligned, and the buffer ends in the padding the libraries read into.
    if (AWidth > INT32_MAX - (kRowPixelAlign - 1)) return false;
    const int32_t paddedWidth = (AWidth + kRowPixelAlign - 1) / kRowPixelAlign * kRowPixelAlign;
    int size = AVUtilStubs.av_image_get_buffer_size(ACtx.RGBPixFmt, paddedWidth, AHeight, kRowByteAlign);
    if (size <= 0 || size > INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE) return false;
    size += AV_INPUT_BUFFER_PADDING_SIZE;
    if (!ACtx.RGBBuf || ACtx.RGBBufSize < size) {
      if (ACtx.RGBBuf) AVUtilStubs.av_free(ACtx.RGBBuf);
      ACtx.RGBBuf = static_cast<uint8_t*>(AVUtilStubs.av_mallocz(size));
      ACtx.RGBBufSize = ACtx.RGBBuf ? size : 0;
      if (!ACtx.RGBBuf) return false;
    }
    if (AVUtilStubs.av_image_fill_arrays(ACtx.RGBPictureData, ACtx.RGBPictureLinesize, ACtx.RGBBuf, ACtx.RGBPixFmt,
                                         paddedWidth, AHeight, kRowByteAlign) < 0)
      return false;
    ACtx.toRGB_convert_ctx = SwScaleStubs.sws_getCachedContext(ACtx.toRGB_convert_ctx, AWidth, AHeight, APixFmt, AWidth,
                                                               AHeight, ACtx.RGBPixFmt, SWS_BICUBIC, nullptr, nullptr,
                                                               nullptr);
    if (!ACtx.toRGB_convert_ctx) return false;
    SwScaleStubs.sws_scale(ACtx.toRGB_convert_ctx, APictureData, APictureLinesize, 0, AHeight, ACtx.RGBPictureData,
                           ACtx.RGBPictureLinesize);
    ACtx.RGBPictureRefData = ACtx.RGBPictureData;
    ACtx.RGBPictureRefLinesize = ACtx.RGBPictureLinesize;
  } else {
    ACtx.RGBPictureRefData = APictureData;
    ACtx.RGBPictureRefLinesize = APictureLinesize;
  }

  // Never move more than a bitmap row holds, nor the converted rows' padding: only their pixels.
  const int lineSize = ACtx.RGBPictureRefLinesize[0];
  size_t count = static_cast<size_t>(std::min(std::abs(lineSize), rowSize));
  if (convert) {
    const int pixelBytes = AVUtilStubs.av_image_get_buffer_size(ACtx.RGBPixFmt, AWidth, 1, 1);
    if (pixelBytes > 0) count = std::min(count, static_cast<size_t>(pixelBytes));
  }
  const uint8_t* src = ACtx.RGBPictureRefData[0];
  for (int32_t row = 0; row < AHeight; ++row, src += lineSize)
    std::memcpy(ACtx.Bitmap->ScanLine(row), src, count);
  return true;
}
