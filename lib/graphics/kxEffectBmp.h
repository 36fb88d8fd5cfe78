#pragma once
// The effects bitmap: a plain 24-bit top-down picture in a DIB section on which transitions
// (morphs), filters, rotations and mask effects are computed, then drawn to a device context.
#include <cstdint>
#include <functional>
#include <memory>

#include "classlib/Graphics.h"
#include "lib/skin/kxSkinValues.h"

class TkxEffectBmp {
public:
  // A cx x cy section (nothing when either is 0 or less: the picture is then empty).
  TkxEffectBmp(int32_t cx, int32_t cy);
  ~TkxEffectBmp();
  TkxEffectBmp(const TkxEffectBmp&) = delete;
  TkxEffectBmp& operator=(const TkxEffectBmp&) = delete;

  // A section of the bitmap's size holding its pixels.
  static std::unique_ptr<TkxEffectBmp> CreateFromhWnd(win::HBITMAP hBmp);
  static std::unique_ptr<TkxEffectBmp> CreateCopy(const TkxEffectBmp& hBmp);

  win::HBITMAP Handle = nullptr;
  int32_t Width = 0, Height = 0;
  int32_t Size = 0;  // (Width * 3 + Width mod 4) * Height
  uint8_t* Bits = nullptr;
  win::BITMAPINFOHEADER BmpHeader{};
  win::BITMAPINFO BmpInfo{};

  int32_t RowSize() const { return Width * 3 + Width % 4; }
  void GetScanLine(int32_t y, void* Line) const;
  void SetScanLine(int32_t y, const void* Line);
  uint8_t* ScanLineAddress(int32_t y) const { return Bits + ptrdiff_t(y) * RowSize(); }
  // Blue in the low byte, then green, then red.
  int32_t ReadPixel(int32_t x, int32_t y) const;
  void WritePixel(int32_t x, int32_t y, int32_t Value);

  void Draw(win::HDC hDC, int32_t x, int32_t y);
  void Stretch(win::HDC hDC, int32_t x, int32_t y, int32_t cx, int32_t cy);
  // The part (x, y, cx, cy) of the picture at (hx, hy), unmirrored.
  void DrawRect(win::HDC hDC, int32_t hx, int32_t hy, int32_t x, int32_t y, int32_t cx, int32_t cy);
  void Resize(TkxEffectBmp* Dst);

  // Transitions towards BMP, Kf from 0 (this picture) to 1 (BMP).
  void Morph(TkxEffectBmp* BMP, double Kf);
  void MorphRect(TkxEffectBmp* BMP, double Kf, const TRect& Rct, int32_t StartX, int32_t StartY);
  // Both ends of Rct included.
  void CopyRect(TkxEffectBmp* BMP, const TRect& Rct, int32_t StartX, int32_t StartY);
  void MorphLeftGrad(TkxEffectBmp* BMP, double Kf);
  void MorphRightGrad(TkxEffectBmp* BMP, double Kf);
  void MorphLeftSlide(TkxEffectBmp* BMP, double Kf);
  void MorphRightSlide(TkxEffectBmp* BMP, double Kf);
  void MorphPush(TkxEffectBmp* BMP, double Kf);
  void MorphHGrad(TkxEffectBmp* BMP, double Kf);
  void MorphVGrad(TkxEffectBmp* BMP, double Kf);
  void MorphGrad(TkxEffectBmp* BMP, double Kf);
  // The transition a skin record names (mkDefault: the plain blend).
  void MorphBy(TkxMorphKind Kind, TkxEffectBmp* BMP, double Kf);

  void ChangeBrightness(double Kf);
  void ChangeDarkness(double Kf);
  void Invert();
  void GrayScale();
  void AddMonoNoise(int32_t Amount);
  void AddColorNoise(int32_t Amount);
  void SplitBlur(int32_t Amount);
  void Mosaic(int32_t ASize);

  void Rotate90_1(TkxEffectBmp* Dst);
  void Rotate90_2(TkxEffectBmp* Dst);
  void FlipVert(TkxEffectBmp* Dst);
  void Wave(int32_t XDIV, int32_t YDIV, int32_t RatioVal);

  void MaskBlur(TkxEffectBmp* Msk, int32_t Amount);
  void MaskAntialiasing(TkxEffectBmp* Msk, int32_t Amount);
  void MaskFillColor(TkxEffectBmp* Msk, TColor C, double kf);

  // The noise source: a uniform integer in 0 .. n - 1 (replaceable for tests).
  static std::function<int32_t(int32_t)> Random;

private:
  bool SameSize(const TkxEffectBmp* B) const { return B && B->Width == Width && B->Height == Height && Width > 0; }
  bool MaskFits(const TkxEffectBmp* M) const;
  uint8_t* Px(int32_t x, int32_t y) const { return ScanLineAddress(y) + 3 * x; }
  void SampleRows(int32_t y, int32_t A, int32_t& yu, int32_t& yd) const;
  void SampleCols(int32_t x, int32_t A, int32_t& xl, int32_t& xr) const;
  // Column or row blend with t from 0 (BMP) rising by Step, applied at positions visited in order.
  void BlendColumn(TkxEffectBmp* BMP, int32_t x, double t);
  void BlendRow(TkxEffectBmp* BMP, int32_t y, double t);
};
