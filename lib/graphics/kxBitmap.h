#pragma once
// The skin engine's 32-bit bitmap: pixels in a top-down DIB section with their own memory DC,
// per-pixel alpha (not premultiplied) and the colour key 0x7F007F; its stream record and the
// PCX reader; the process-wide registry that recognises a bitmap's DC; pixel state, colour
// changes and links (named sub-rectangles); drawing onto DCs, canvases and other bitmaps, with
// the draw paths and stretch kernels under it.
//
// Decisions where the old engine relied on its platform:
//  - A draw onto the DC of a registered bitmap applies the DC's whole logical-to-device mapping
//    (window and viewport origins) and its clip box, as the GDI path does; with no viewport
//    origin and no clip this is the window-origin shift of the old engine.
//  - Any rectangle is cut to the bitmaps it touches: no kernel reads or writes outside a bitmap.
//  - Sizes whose pixel memory would pass kxMaxBitmapPixels are refused like a failed allocation.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "classlib/Graphics.h"
#include "lib/graphics/kxKernels.h"
#include "lib/graphics/kxUtilsPlatform.h"

class TStream;
class TkxBitmapLink;

// The largest bitmap the engine makes: 2^28 pixels (1 GiB of pixel memory).
constexpr int64_t kxMaxBitmapPixels = int64_t(1) << 28;

class TkxBitmap : public TPersistent {
public:
  TkxBitmap();
  ~TkxBitmap() override;

  TkxColor* Bits() const { return FBits; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  win::HBITMAP Handle() const { return FHandle; }
  win::HDC DC() const { return FDC; }
  // Made on first use, bound to DC.
  TCanvas* Canvas();
  bool AlphaBlend = false;
  bool Transparent = false;
  std::string Name;

  // Takes |AWidth| x |AHeight|; a zero side or the current size changes nothing. New pixels
  // are 0. Raises Exception when the section, DC or selection fails (the bitmap is then empty).
  void SetSize(int32_t AWidth, int32_t AHeight);
  bool Empty() const { return FHandle == nullptr; }
  void Clear(TkxColor Color);

  void Assign(TPersistent* Source) override;

  // The embedded resource ResName (a name of the executable's resources; ResFileName names the
  // module the old engine read, which the executable's own resources stand in for). A missing
  // resource changes nothing.
  void LoadFromResource(const std::string& ResFileName, const std::string& ResName);
  // The stream record: name, width, height, pixels. A record whose sizes are impossible or
  // whose pixels the stream cannot hold raises EReadError and leaves the bitmap unchanged.
  void LoadFromStream(TStream& Stream);
  void SaveToStream(TStream& Stream);
  // An 8-bit palette PCX picture. A wrong manufacturer byte changes nothing; a header whose
  // sizes are impossible, or a stream without room for its palette, raises EReadError and
  // changes nothing.
  void LoadFromPcxStream(TStream& Stream);

  // ---- Pixel state ------------------------------------------------------------------------------
  void CheckingAlphaBlend();
  void CheckingAlphaBlend(const TRect& ARect);
  void CheckingTransparent(TkxColor Color = kxKeyColor);
  void CheckingTransparent(const TRect& ARect, TkxColor Color = kxKeyColor);
  void SetAlpha(uint8_t Alpha);
  void SetAlpha(uint8_t Alpha, TRect Rect);
  void ChangeBitmapBrightness(int32_t DeltaBrightness);
  void SetBitmapHue(int32_t Hue);
  void ChangeBitmapHue(int32_t DeltaHue);
  void ChangeBitmapSat(int32_t DeltaSat);
  // New links on this bitmap, owned by the caller.
  std::unique_ptr<TkxBitmapLink> GetBitmapLink(const TRect& Rect);
  std::unique_ptr<TkxBitmapLink> GetBitmapLink(const std::string& Rect);
  // No bounds test: callers keep X and Y inside the bitmap.
  TkxColor* RowAddress(int32_t Y) const { return FBits + ptrdiff_t(Y) * FWidth; }
  TkxColor* PixelAddress(int32_t X, int32_t Y) const { return FBits + X + ptrdiff_t(Y) * FWidth; }
  void PutPixel(int32_t X, int32_t Y, TkxColor Value);

  // ---- Drawing ----------------------------------------------------------------------------------
  void Draw(win::HDC DC, int32_t X, int32_t Y);
  void Draw(win::HDC DC, int32_t X, int32_t Y, const TRect& SrcRect);
  void Draw(win::HDC DC, const TRect& DstRect);
  void Draw(win::HDC DC, const TRect& DstRect, const TRect& SrcRect);
  void Draw(TCanvas* Canvas, int32_t X, int32_t Y);
  void Draw(TCanvas* Canvas, int32_t X, int32_t Y, const TRect& SrcRect);
  void Draw(TCanvas* Canvas, const TRect& DstRect);
  void Draw(TCanvas* Canvas, const TRect& DstRect, const TRect& SrcRect);
  void Draw(TkxBitmap* Bitmap, int32_t X, int32_t Y);
  void Draw(TkxBitmap* Bitmap, int32_t X, int32_t Y, const TRect& SrcRect);
  void Draw(TkxBitmap* Bitmap, const TRect& DstRect);
  void Draw(TkxBitmap* Bitmap, const TRect& DstRect, const TRect& SrcRect);

  void Tile(win::HDC DC, const TRect& DstRect, const TRect& SrcRect);
  void Tile(TCanvas* Canvas, const TRect& DstRect, const TRect& SrcRect);
  void Tile(TkxBitmap* Bitmap, const TRect& DstRect, const TRect& SrcRect);
  void TileClip(win::HDC DC, const TRect& DstRect, const TRect& DstClip, const TRect& SrcRect);
  void TileClip(TCanvas* Canvas, const TRect& DstRect, const TRect& DstClip, const TRect& SrcRect);
  void TileClip(TkxBitmap* Bitmap, const TRect& DstRect, const TRect& DstClip, const TRect& SrcRect);
  // SrcRect of Bitmap drawn underneath this bitmap's pixels at (X, Y).
  void MergeDraw(TkxBitmap* Bitmap, int32_t X, int32_t Y, TRect SrcRect);
  void DrawGraphic(TGraphic* Graphic, const TRect& DstRect);
  void FillRect(TRect R, TkxColor Color);
  void FlipVert();
  void Reflection();
  void Reflection2();
  void Reflection3();

  // Kept for the interface; they draw nothing (drawing goes through Canvas or FillRect).
  void DrawBevel(const TRect&, TkxColor, int32_t, bool) {}
  void DrawEdge(const TRect&, TkxColor, TkxColor) {}
  void DrawEllipse(const TRect&, TkxColor) {}
  void DrawFocusRect(const TRect&, TkxColor) {}
  void DrawLine(const TRect&, TkxColor) {}
  void DrawPolygon(const std::vector<TPoint>&, TkxColor) {}
  void DrawRect(const TRect&, TkxColor) {}
  void DrawRoundRect(const TRect&, int32_t, TkxColor) {}
  void FillEllipse(const TRect&, TkxColor) {}
  void FillGradientRect(const TRect&, TkxColor, TkxColor, bool) {}
  void FillHalftonePolygon(const std::vector<TPoint>&, TkxColor, TkxColor) {}
  void FillHalftoneRect(const TRect&, TkxColor, TkxColor) {}
  void FillPolygon(const std::vector<TPoint>&, TkxColor) {}
  void FillRadialGradientRect(const TRect&, TkxColor, TkxColor, TPoint) {}
  void FillRoundRect(const TRect&, int32_t, TkxColor) {}
  void MoveTo(int32_t, int32_t) {}
  void LineTo(int32_t, int32_t, TkxColor) {}
  int32_t DrawText(const std::string&, TRect&, uint32_t) { return 0; }
  int32_t DrawText(const std::string&, int32_t, int32_t) { return 0; }
  int32_t DrawVerticalText(const std::string&, const TRect&, uint32_t, bool) { return 0; }
  int32_t TextWidth(const std::string&, int32_t) { return 0; }
  int32_t TextHeight(const std::string&) { return 0; }

protected:
  void AssignTo(TPersistent* Dest) override;

private:
  void AssignFromBitmap(TBitmap* Bitmap);
  void AssignFromGraphic(TGraphic* Graphic);
  void AssignToBitmap(TBitmap* Bitmap);
  void FreeImage();
  void ReflectionBy(int32_t Divisor);
  // Draws the piece of a tile; Dib is the DIB section of the DC when it can be written directly.
  struct DibInfo {
    TkxColor* Bits = nullptr;
    int32_t Width = 0, Height = 0, BitsPerPixel = 0;
  };
  void DrawTilePiece(win::HDC DC, const TRect& Piece, const TRect& Src, const DibInfo& Dib);
  // Visible: what the target can show, in the destination's coordinates (nullptr: unknown).
  template <typename DrawPiece>
  void TileWith(const TRect& DstRect, const TRect* DstClip, const TRect& SrcRect, const TRect* Visible,
                DrawPiece&& Draw);

  TkxColor* FBits = nullptr;
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  win::BITMAPINFO FBitmapInfo{};
  win::HBITMAP FHandle = nullptr;
  win::HDC FDC = nullptr;
  win::HGDIOBJ FOldBitmap = nullptr;
  std::unique_ptr<TCanvas> FCanvas;
};

// ---- Registry ------------------------------------------------------------------------------------
void RegisterBitmap(TkxBitmap* Bitmap);
void UnregisterBitmap(TkxBitmap* Bitmap);
// The registered bitmap whose DC is DC; nullptr for none (and always for a null DC).
TkxBitmap* FindBitmapByDC(win::HDC DC);
void FreeBitmapRegistry();

// ---- Colour functions ----------------------------------------------------------------------------
TkxColor MakePixel(int16_t R, int16_t G, int16_t B, uint8_t A);
void PixelToHSL(TkxColor Pixel, float& H, float& S, float& L);
uint8_t HueToChannel(float H, float M1, float M2);
TkxColor HSLToPixel(float H, float S, float L);
TkxColor SetPixelHue(TkxColor Pixel, int32_t Hue);
TkxColor ChangePixelSat(TkxColor Pixel, int32_t Delta);
TkxColor ChangePixelHue(TkxColor Pixel, int32_t Delta);
TkxColor ChangePixelBrightness(TkxColor Pixel, int32_t Delta);
void ClampChannels(int32_t& R, int32_t& G, int32_t& B);

// ---- Links ---------------------------------------------------------------------------------------
// A named sub-rectangle of a bitmap (not owned; the link does not notice the bitmap's end).
class TkxBitmapLink : public TPersistent {
public:
  TkxBitmapLink() = default;
  void Assign(TPersistent* Source) override;
  // The record: name, then left, top, right, bottom. A damaged name raises EReadError.
  void LoadFromStream(TStream& Stream);
  void SaveToStream(TStream& Stream);
  void CheckingMasked();
  void CheckingMasked(const TRect& Margin);
  void Draw(TCanvas* Canvas, int32_t X, int32_t Y);
  void Draw(TkxBitmap* Bitmap, int32_t X, int32_t Y);
  bool Assigned() const;

  int32_t Left() const { return Rect.left; }
  int32_t Top() const { return Rect.top; }
  int32_t Right() const { return Rect.right; }
  int32_t Bottom() const { return Rect.bottom; }
  void SetLeft(int32_t V) { Rect.left = V; }
  void SetTop(int32_t V) { Rect.top = V; }
  void SetRight(int32_t V) { Rect.right = V; }
  void SetBottom(int32_t V) { Rect.bottom = V; }

  TkxBitmap* Image = nullptr;
  TRect Rect{};
  std::string Name;
  bool MaskedBorder = false;
  bool MaskedAngles = false;
  bool Masked = false;
};

// ---- Draw paths and stretch kernels ----------------------------------------------------------------
// Source (SX, SY, SW, SH) of Bitmap into (DX, DY, DW, DH) of a device context.
void DeviceDrawOpaque(win::HDC DC, int32_t DX, int32_t DY, int32_t DW, int32_t DH, TkxBitmap* Bitmap,
                      int32_t SX, int32_t SY, int32_t SW, int32_t SH);
void DeviceDrawBlended(win::HDC DC, int32_t DX, int32_t DY, int32_t DW, int32_t DH, TkxBitmap* Bitmap,
                       int32_t SX, int32_t SY, int32_t SW, int32_t SH);
void DeviceDrawKeyed(win::HDC DC, int32_t DX, int32_t DY, int32_t DW, int32_t DH, TkxBitmap* Bitmap,
                     int32_t SX, int32_t SY, int32_t SW, int32_t SH);
void DeviceDrawKeyedBlt(win::HDC DC, int32_t DX, int32_t DY, int32_t DW, int32_t DH, TkxBitmap* Bitmap,
                        int32_t SX, int32_t SY, int32_t SW, int32_t SH);
// The pixel memory of the DIB section selected into DC, or nullptr (then the outputs are 0).
// Height keeps the section's sign: positive means rows stored bottom-up.
void* DeviceBitmapInfo(win::HDC DC, int32_t& Width, int32_t& Height, int32_t& BitsPerPixel);

// Into a bottom-up 32-bit pixel array of DibWidth x DibHeight, only inside ClipRect; the map
// rounds to the nearest.
void DibStretchOpaque(void* Bits, const TRect& DstRect, const TRect& ClipRect, const TRect& SrcRect,
                      TkxBitmap* Source, int32_t DibHeight, int32_t DibWidth);
void DibStretchKeyed(void* Bits, const TRect& DstRect, const TRect& ClipRect, const TRect& SrcRect,
                     TkxBitmap* Source, int32_t DibHeight, int32_t DibWidth);
void DibStretchBlended(void* Bits, const TRect& DstRect, const TRect& ClipRect, const TRect& SrcRect,
                       TkxBitmap* Source, int32_t DibHeight, int32_t DibWidth);
// Between bitmaps; the map truncates.
void StretchOpaque(TkxBitmap* Target, const TRect& DstRect, const TRect& ClipRect, const TRect& SrcRect,
                   TkxBitmap* Source);
void StretchKeyed(TkxBitmap* Target, const TRect& DstRect, const TRect& ClipRect, const TRect& SrcRect,
                  TkxBitmap* Source);
void StretchBlended(TkxBitmap* Target, const TRect& DstRect, const TRect& ClipRect, const TRect& SrcRect,
                    TkxBitmap* Source);
// The clip of Target filled from Source at (SX, SY) onwards, pixel for pixel.
void SameSizeCopy(TkxBitmap* Target, const TRect& ClipRect, TkxBitmap* Source, int32_t SX, int32_t SY);
void SameSizeKeyCopy(TkxBitmap* Target, const TRect& ClipRect, TkxBitmap* Source, int32_t SX, int32_t SY);
void SameSizeBlend(TkxBitmap* Target, const TRect& ClipRect, TkxBitmap* Source, int32_t SX, int32_t SY);

// The draw paths chosen at start-up.
using TkxDevicePath = void (*)(win::HDC, int32_t, int32_t, int32_t, int32_t, TkxBitmap*, int32_t, int32_t,
                               int32_t, int32_t);
struct TkxDrawPaths {
  TkxDevicePath Opaque;
  TkxDevicePath Blended;
  TkxDevicePath Keyed;
};
// Chosen on first use as at start-up, before the keyed blit is bound: the keyed path is then
// the plain one. SelectDrawPaths chooses again with what is known now.
const TkxDrawPaths& DrawPaths();
void SelectDrawPaths();
int32_t ScreenBitsPerPixel();
bool IsTrueColorScreen();

// The effects unit's start-up and end: the kernels and draw paths are chosen here (before the
// utilities unit binds the keyed blit), and the registry is freed at the end.
void InitializeEffectsUnit();
void FinalizeEffectsUnit();
