#pragma once
// Text effects: a stack blur of a 32-bit bitmap and caption text with a glow, a glowing plate
// or a fading reflection. The text is drawn in red onto a transparent bitmap, the red channel
// (blurred or shaded) becomes the alpha of one colour, the bitmap is blended onto the canvas,
// and the text itself is drawn on top in the canvas's own font and colour.
#include <cstdint>
#include <string>

#include "classlib/Graphics.h"

class TkxBitmap;

// Radius 0 or less leaves the bitmap untouched; otherwise every pixel's alpha becomes 255.
void StackBlur(TkxBitmap* Bitmap, int32_t Radius);
void DrawGlowText(TCanvas* Canvas, const TRect& R, const std::string& Text, uint32_t Flags, int32_t Offset,
                  TColor GlowColor, int32_t GlowSize);
int32_t DrawBlurGlowText(TCanvas* Canvas, const TRect& R, const std::string& Text, uint32_t Flags, int32_t Offset,
                         TColor GlowColor, int32_t GlowSize);
int32_t DrawPlateGlowText(TCanvas* Canvas, const TRect& R, const std::string& Text, uint32_t Flags,
                          TColor GlowColor);
void DrawReflectedText(TCanvas* Canvas, const TRect& R, const std::string& Text, uint32_t Flags, int32_t Offset,
                       TColor Color);
