// Stack blur and the glow, plate-glow and reflection captions.
#include "lib/graphics/kxTextEffects.h"

#include <algorithm>
#include <vector>

#include "lib/graphics/kxBitmap.h"
#include "lib/graphics/kxUtils.h"

using namespace win;

namespace {

// One pass of the stack blur over n values (stride apart): the triangular window 1, 2, ...,
// r + 1, ..., 2, 1 with the end values repeated, its sum divided by (r + 1)^2 with truncation.
// The triangle is two boxes of r + 1 one after the other, so each pass costs O(n) whatever the
// radius, and the divisor needs no table (a table of 256 (r + 1)^2 entries grows without bound
// with the skin's glow size).
void BlurLine(const int32_t* src, int32_t* dst, int32_t n, ptrdiff_t stride, int32_t r,
              std::vector<int64_t>& ext, std::vector<int64_t>& box) {
  const int64_t div = int64_t(r + 1) * (r + 1);
  const size_t len = size_t(n) + 2 * size_t(r);
  ext.resize(len + 1);
  ext[0] = 0;  // prefix sums of the line extended by r end values on each side
  for (size_t i = 0; i < len; ++i) {
    int64_t k = std::clamp<int64_t>(int64_t(i) - r, 0, n - 1);
    ext[i + 1] = ext[i] + src[k * stride];
  }
  const size_t boxes = size_t(n) + size_t(r);
  box.resize(boxes + 1);
  box[0] = 0;  // prefix sums of the boxes of r + 1
  for (size_t i = 0; i < boxes; ++i) box[i + 1] = box[i] + (ext[i + size_t(r) + 1] - ext[i]);
  for (int32_t x = 0; x < n; ++x) dst[x * stride] = int32_t((box[size_t(x) + size_t(r) + 1] - box[size_t(x)]) / div);
}

// A transparent bitmap whose canvas draws in the target's font in red, without background.
bool MakeTextBitmap(TkxBitmap& Bmp, TCanvas* Canvas, int32_t W, int32_t H) {
  if (W <= 0 || H <= 0) return false;
  Bmp.SetSize(W, H);
  if (Bmp.Empty()) return false;
  TCanvas* c = Bmp.Canvas();
  c->Font()->Assign(Canvas->Font());
  c->Font()->SetColor(TColor(255));
  c->Brush()->SetStyle(bsClear);
  return true;
}

void RedToAlpha(TkxBitmap& Bmp, TColor Color) {
  const uint32_t rgb = (uint32_t(Color) & 0xFF) << 16 | (uint32_t(Color) & 0xFF00) | ((uint32_t(Color) >> 16) & 0xFF);
  TkxColor* p = Bmp.Bits();
  for (int64_t i = 0, n = int64_t(Bmp.Width()) * Bmp.Height(); i < n; ++i) p[i] = ((p[i] >> 16) & 0xFF) << 24 | rgb;
}

int32_t Text(TCanvas* Canvas, const std::string& S, TRect R, uint32_t Flags) {
  return DrawWideText(Canvas, S, R, Flags);
}

int32_t FinalText(TCanvas* Canvas, const TRect& R, const std::string& S, uint32_t Flags) {
  Canvas->Brush()->SetStyle(bsClear);
  return Text(Canvas, S, R, Flags);
}

TRect Moved(const TRect& R, int32_t dx, int32_t dy) { return TRect{R.left + dx, R.top + dy, R.right + dx, R.bottom + dy}; }

int32_t Glow(TCanvas* Canvas, const TRect& R, const std::string& S, uint32_t Flags, int32_t Offset, TColor GlowColor,
             int32_t GlowSize, bool Copies) {
  if (!Canvas) return 0;
  const int32_t g = std::max(0, GlowSize);
  TkxBitmap bmp;
  // A collapsed caption rectangle gives no bitmap to draw in: then only the text is drawn.
  if (MakeTextBitmap(bmp, Canvas, R.right - R.left + 2 * g, R.bottom - R.top + 2 * g)) {
    const TRect t{g, g, bmp.Width() - g, bmp.Height() - g};
    Text(bmp.Canvas(), S, t, Flags);
    if (Copies)
      for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) Text(bmp.Canvas(), S, Moved(t, dx, dy), Flags);
    StackBlur(&bmp, g);
    RedToAlpha(bmp, GlowColor);
    bmp.AlphaBlend = true;
    bmp.Draw(Canvas, R.left - g + Offset, R.top - g + Offset);
  }
  return FinalText(Canvas, R, S, Flags);
}

}  // namespace

void StackBlur(TkxBitmap* Bitmap, int32_t Radius) {
  if (!Bitmap || Radius <= 0 || Bitmap->Empty()) return;
  const int32_t W = Bitmap->Width(), H = Bitmap->Height();
  const size_t n = size_t(W) * size_t(H);
  std::vector<int32_t> in(n), planes[3];
  std::vector<int64_t> ext, box;
  for (auto& p : planes) p.resize(n);
  TkxColor* px = Bitmap->Bits();
  for (int c = 0; c < 3; ++c) {
    const int shift = 16 - 8 * c;  // red, green, blue
    for (size_t i = 0; i < n; ++i) in[i] = int32_t((px[i] >> shift) & 0xFF);
    for (int32_t y = 0; y < H; ++y) BlurLine(&in[size_t(y) * W], &planes[c][size_t(y) * W], W, 1, Radius, ext, box);
    in = planes[c];
    for (int32_t x = 0; x < W; ++x) BlurLine(&in[size_t(x)], &planes[c][size_t(x)], H, W, Radius, ext, box);
  }
  for (size_t i = 0; i < n; ++i)
    px[i] = 0xFF000000u | uint32_t(planes[0][i]) << 16 | uint32_t(planes[1][i]) << 8 | uint32_t(planes[2][i]);
}

void DrawGlowText(TCanvas* Canvas, const TRect& R, const std::string& Text, uint32_t Flags, int32_t Offset,
                  TColor GlowColor, int32_t GlowSize) {
  Glow(Canvas, R, Text, Flags, Offset, GlowColor, GlowSize, true);
}

int32_t DrawBlurGlowText(TCanvas* Canvas, const TRect& R, const std::string& Text, uint32_t Flags, int32_t Offset,
                         TColor GlowColor, int32_t GlowSize) {
  return Glow(Canvas, R, Text, Flags, Offset, GlowColor, GlowSize, false);
}

int32_t DrawPlateGlowText(TCanvas* Canvas, const TRect& R, const std::string& S, uint32_t Flags, TColor GlowColor) {
  if (!Canvas) return 0;
  constexpr int32_t m = 12;
  TkxBitmap bmp;
  if (MakeTextBitmap(bmp, Canvas, R.right - R.left + 2 * m, R.bottom - R.top + 2 * m)) {
    const TRect t{m, m, bmp.Width() - m, bmp.Height() - m};
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(TColor(255));
    c->FillRect(TRect{t.left - 3, t.top + 2, t.right + 3, t.bottom - 2});
    c->Brush()->SetStyle(bsClear);
    for (auto [dx, dy] : {std::pair{-1, -1}, {-2, -2}, {-1, 0}, {-2, 0}, {1, 0}, {2, 0}, {1, 1}, {2, 2}, {0, 0}})
      Text(c, S, Moved(t, dx, dy), Flags);
    StackBlur(&bmp, m / 2);
    StackBlur(&bmp, m / 2);
    RedToAlpha(bmp, GlowColor);
    bmp.AlphaBlend = true;
    bmp.Draw(Canvas, R.left - m, R.top - m);
  }
  return FinalText(Canvas, R, S, Flags);
}

void DrawReflectedText(TCanvas* Canvas, const TRect& R, const std::string& S, uint32_t Flags, int32_t Offset,
                       TColor Color) {
  if (!Canvas) return;
  const int32_t W = R.right - R.left, H = R.bottom - R.top;
  TkxBitmap bmp;
  if (MakeTextBitmap(bmp, Canvas, W, H)) {
    TRect L{0, 0, W, H};
    const int32_t bottom = Text(bmp.Canvas(), S, L, Flags);
    DrawWideText(bmp.Canvas(), S, L, Flags | DT_CALCRECT);
    TRect T = R;
    DrawWideText(Canvas, S, T, Flags | DT_CALCRECT);
    // Measuring keeps the text at the top; a single line centred or set at the bottom was drawn
    // lower, and its reflection must start under where it really is.
    int32_t dy = 0;
    if ((Flags & DT_SINGLELINE) && (Flags & (DT_VCENTER | DT_BOTTOM)) && L.bottom > L.top)
      dy = std::max(0, bottom - (L.bottom - L.top));
    const uint32_t rgb =
        (uint32_t(Color) & 0xFF) << 16 | (uint32_t(Color) & 0xFF00) | ((uint32_t(Color) >> 16) & 0xFF);
    if (L.bottom - L.top > 0) {
      // y counts from the text's top (dy rows down in the bitmap).
      for (int32_t y = 0; y + dy < H; ++y) {
        TkxColor* row = bmp.RowAddress(y + dy);
        if (y < L.top || y > L.bottom) {
          std::fill(row, row + W, 0u);
          continue;
        }
        float k = 0.7f - float(L.bottom + L.top - y) / float(L.bottom - L.top);
        if (k < 0) k = 0;
        for (int32_t x = 0; x < W; ++x) {
          const uint32_t a = uint32_t(double((row[x] >> 16) & 0xFF) * double(k));
          row[x] = a << 24 | rgb;
        }
      }
    }
    // Rows above a lowered line hold no text: clear them too.
    for (int32_t y = 0; y < std::min(dy, H); ++y) std::fill(bmp.RowAddress(y), bmp.RowAddress(y) + W, 0u);
    bmp.FlipVert();
    bmp.AlphaBlend = true;
    bmp.Draw(Canvas, R.left, T.bottom + L.bottom + 2 * dy + Offset - H);
  }
  FinalText(Canvas, R, S, Flags);
}
