#pragma once
// Skin picture geometry (three- and nine-part cuts drawn at any size), window regions from mask
// pictures, and the shared drawing of glyphs, captions and markers. All routines work on the
// class library's bitmaps and canvases, keep no state, report nothing and draw nothing for an
// empty picture.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Graphics.h"
#include "lib/skin/kxSkinValues.h"

class TControl;
class TCustomImageList;

// ---- Picture geometry ---------------------------------------------------------------------------
// A 24-bit bitmap of W x H (a negative size taken as 0), the off-screen image a control composes.
std::unique_ptr<TBitmap> NewSkinImage(int32_t W, int32_t H);
// Whether R has an area and Picture (not null) holds all of it.
bool RectInPicture(const TRect& R, const TBitmap* Picture);
// Three-part builders: a fixed start piece, a resizable middle and a fixed end piece. Dest is
// sized NewWidth x height of SkinRect (horizontal) or width of SkinRect x NewHeight (vertical).
void BuildHorzThreePartImage(int32_t LeftOffset, int32_t RightOffset, TBitmap* Dest, TBitmap* Picture,
                             const TRect& SkinRect, int32_t NewWidth, int32_t NewHeight, bool Stretch);
void BuildHorzLeftPartImage(int32_t LeftOffset, int32_t RightOffset, TBitmap* Dest, TBitmap* Picture,
                            const TRect& SkinRect, int32_t NewWidth, int32_t NewHeight, bool Stretch);
void FillHorzMiddlePart(int32_t LeftOffset, int32_t RightOffset, TBitmap* Dest, TBitmap* Picture,
                        const TRect& SkinRect, int32_t NewWidth, int32_t NewHeight, bool Stretch);
void BuildVertThreePartImage(int32_t TopOffset, int32_t BottomOffset, TBitmap* Dest, TBitmap* Picture,
                             const TRect& SkinRect, int32_t NewWidth, int32_t NewHeight, bool Stretch);

// Nine-part builders: the points and ClRect are relative to SkinRect's top-left pixel, the New*
// values are the caller's target geometry in Dest.
void BuildNinePartImage(TPoint LTPoint, TPoint RTPoint, TPoint LBPoint, TPoint RBPoint, const TRect& ClRect,
                        TPoint NewLTPoint, TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint,
                        const TRect& NewClRect, TBitmap* Dest, TBitmap* Picture, const TRect& SkinRect,
                        int32_t NewWidth, int32_t NewHeight, bool DrawClient, bool LeftStretch, bool TopStretch,
                        bool RightStretch, bool BottomStretch, bool StretchEffect, TkxStretchType StretchType);
void BuildNinePartWindowImage(TPoint LTPoint, TPoint RTPoint, TPoint LBPoint, TPoint RBPoint, const TRect& ClRect,
                              TPoint NewLTPoint, TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint,
                              const TRect& NewClRect, TBitmap* Dest, TBitmap* Picture, const TRect& SkinRect,
                              int32_t NewWidth, int32_t NewHeight, bool DrawClient, bool LeftStretch,
                              bool TopStretch, bool RightStretch, bool BottomStretch, bool StretchEffect,
                              TkxStretchType StretchType);
// Left-anchored: no right edge and no right corners; the top and bottom edges and the centre run
// to NewWidth, open for the next header item.
void BuildNinePartHeaderImage(TPoint LTPoint, TPoint RTPoint, TPoint LBPoint, TPoint RBPoint, const TRect& ClRect,
                              TPoint NewLTPoint, TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint,
                              const TRect& NewClRect, TBitmap* Dest, TBitmap* Picture, const TRect& SkinRect,
                              int32_t NewWidth, int32_t NewHeight, bool DrawClient, bool LeftStretch,
                              bool TopStretch, bool RightStretch, bool BottomStretch, bool StretchEffect,
                              TkxStretchType StretchType);
// SkinRect rebuilt at Dest's current size with the corners at InnerRect's corners, all stretched.
void StretchNinePartImage(TBitmap* Dest, TBitmap* Picture, const TRect& SkinRect, const TRect& InnerRect,
                          bool DrawCentre);
// The four border strips of the nine-part picture at the new size; the caller paints the centre.
void SplitNinePartImage(TPoint LTPoint, TPoint RTPoint, TPoint LBPoint, TPoint RBPoint, const TRect& ClRect,
                        TPoint NewLTPoint, TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint,
                        const TRect& NewClRect, TBitmap* LeftImage, TBitmap* TopImage, TBitmap* RightImage,
                        TBitmap* BottomImage, TBitmap* Picture, const TRect& SkinRect, int32_t NewWidth,
                        int32_t NewHeight, bool LeftStretch, bool TopStretch, bool RightStretch, bool BottomStretch);
// Glyph GlyphIndex (from 1) of a strip of NumGlyphs glyphs side by side, drawn transparent (the
// glyph's bottom-left colour). Nothing for a bad count or index.
void DrawGlyphFromStrip(TCanvas* Canvas, int32_t X, int32_t Y, TBitmap* Strip, int32_t NumGlyphs,
                        int32_t GlyphIndex);

// ---- Window regions from masks -----------------------------------------------------------------
// A 24-bit top-down copy of a bitmap with a table of its rows.
struct TFBColor {
  uint8_t b, g, r;
};
static_assert(sizeof(TFBColor) == 3);

class TkxFBitmap {
public:
  explicit TkxFBitmap(win::HBITMAP HBmp);
  ~TkxFBitmap();
  TkxFBitmap(const TkxFBitmap&) = delete;
  TkxFBitmap& operator=(const TkxFBitmap&) = delete;

  uint8_t* Bits = nullptr;
  std::vector<TFBColor*> Pixels;  // row pointers, row 0 first
  int32_t Gap = 0;
  int32_t RowInc = 0;
  int32_t Size = 0;
  int32_t Width = 0, Height = 0;
  win::HBITMAP Handle = nullptr;
  win::HDC hDC = nullptr;
  win::BITMAPINFO bmInfo{};
  win::BITMAPINFOHEADER bmHeader{};

private:
  win::HGDIOBJ FOldBitmap = nullptr;
};

// Region data (a 32-byte header and one 16-byte rectangle per run of black pixels in a row) for
// the black pixels of Mask shifted by the offsets, in Data; returns its size in bytes, 0 and
// no data for an empty mask. The list of runs grows as needed.
int32_t RegionFromMask(TBitmap* Mask, int32_t XOffset, int32_t YOffset, std::vector<uint8_t>& Data);
// The region of Mask's black pixels; nullptr for an empty mask.
void MaskToRegion(win::HRGN& Rgn, TBitmap* Mask);
void SplitNinePartMask(TPoint LTPoint, TPoint RTPoint, TPoint LBPoint, TPoint RBPoint, const TRect& ClRect,
                       TPoint NewLTPoint, TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint,
                       const TRect& NewClRect, TBitmap* Mask, TBitmap* TopMask, TBitmap* LeftMask,
                       TBitmap* RightMask, TBitmap* BottomMask, int32_t NewWidth, int32_t NewHeight);
// The region of a NewWidth x NewHeight window whose frame follows the mask; nullptr (no region)
// when the window is smaller than the frame's fixed parts or nothing is left. The caller owns it.
void RegionFromNinePartMask(win::HRGN& Rgn, TPoint LTPoint, TPoint RTPoint, TPoint LBPoint, TPoint RBPoint,
                            const TRect& ClRect, TPoint NewLTPoint, TPoint NewRTPoint, TPoint NewLBPoint,
                            TPoint NewRBPoint, const TRect& NewClRect, TBitmap* Mask, int32_t NewWidth,
                            int32_t NewHeight);

// ---- Glyph, caption and marker drawing --------------------------------------------------------
enum TkxButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

void CalcButtonLayout(TkxButtonLayout Layout, const TRect& R, int32_t GlyphWidth, int32_t GlyphHeight,
                      int32_t TextWidth, int32_t TextHeight, int32_t Spacing, int32_t Margin, int32_t& TextX,
                      int32_t& TextY, int32_t& GlyphX, int32_t& GlyphY);
void DrawImageAndText(TCanvas* Canvas, const TRect& R, int32_t Margin, int32_t Spacing, TkxButtonLayout Layout,
                      const std::string& Caption, int32_t ImageIndex, TCustomImageList* IL, bool ADown,
                      bool AEnabled, bool ADrawColorMarker, TColor AColorMarkerValue);
void DrawImageAndTextLeft(TCanvas* Canvas, const TRect& R, int32_t Margin, int32_t Spacing, TkxButtonLayout Layout,
                          const std::string& Caption, int32_t ImageIndex, TCustomImageList* IL, bool ADown,
                          bool AEnabled, bool ADrawColorMarker, TColor AColorMarkerValue);
void DrawGlyphAndText(TCanvas* Canvas, const TRect& R, int32_t Margin, int32_t Spacing, TkxButtonLayout Layout,
                      const std::string& Caption, TBitmap* Glyph, int32_t NumGlyphs, int32_t GlyphNum, bool ADown,
                      bool ADrawColorMarker, TColor AColorMarkerValue);

void PaintParentBackground(TControl* Control, TCanvas* Canvas);
void PaintParentBackgroundRect(TControl* Control, const TRect& R, TCanvas* Canvas);

int32_t DrawWideText(TCanvas* Canvas, const std::string& Text, TRect& R, uint32_t Flags);
int32_t TextWidthW(TCanvas* Canvas, const std::string& Text);
int32_t TextHeightW(TCanvas* Canvas, const std::string& Text);
// Cuts S to fit MaxWidth with "..." appended, removing whole characters.
void FitTextToWidthW(TCanvas* Canvas, std::string& S, int32_t MaxWidth);
void FitTextToWidth(TCanvas* Canvas, std::string& S, int32_t MaxWidth);
void DrawVCenteredText(TCanvas* Canvas, const std::string& S, const TRect& R);
void TextRectVCentered(TCanvas* Canvas, const std::string& S, const TRect& R);
void TextRectVCenteredIndent(TCanvas* Canvas, const std::string& S, const TRect& R, int32_t Indent);
inline int32_t IntMax(int32_t A, int32_t B) { return A > B ? A : B; }
inline int32_t IntMin(int32_t A, int32_t B) { return A < B ? A : B; }

void DrawSkinFocusRect(TCanvas* Canvas, const TRect& R);

void DrawCloseGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color);
void DrawMaximizeGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color);
void DrawMinimizeGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color);
void DrawRestoreGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color);
void DrawSysMenuGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color);
void DrawRollUpGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color);
void DrawRollDownGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color);
void DrawTrayGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color);
