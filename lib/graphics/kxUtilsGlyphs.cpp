// The shared canvas routines of the skinned controls: image and caption laid out like a button,
// the parent's background behind a transparent control, text measuring and cutting, caption-button
// glyphs and the dotted focus rectangle. Arrows and marks are the plain look's (kxPlainLook.cpp).
#include <stdexcept>

#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/graphics/ImageList.h"
#include "lib/graphics/kxUtils.h"

using namespace win;

namespace {

// The canvas's font, colour and background mode selected into its DC for DrawTextW.
HDC TextDC(TCanvas* Canvas) {
  Canvas->TextExtent(" ");
  HDC dc = Canvas->Handle();
  SetBkMode(dc, Canvas->Brush()->Style() == bsClear ? TRANSPARENT : OPAQUE);
  SetBkColor(dc, ColorToRGB(Canvas->Brush()->Color()));
  return dc;
}

void Line(TCanvas* Canvas, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

struct Image {
  int32_t W = 0, H = 0;
};

// The common body of the image-and-caption routines; DrawImage draws the image at (x, y), and
// the marker lines under it span MarkerWidth.
template <class DrawImageFn>
void DrawWithImage(TCanvas* Canvas, const TRect& R, int32_t Margin, int32_t Spacing, TkxButtonLayout Layout,
                   const std::string& Caption, Image Img, bool ADown, bool ADrawColorMarker, TColor Marker,
                   uint32_t TextFlags, bool ClearOnlyWithCaption, int32_t MarkerWidth, const TRect& Swatch,
                   DrawImageFn DrawImage) {
  if (!Canvas) return;
  int32_t TW = 0, TH = 0;
  if (!Caption.empty()) {
    TRect T{0, 0, R.right - R.left, R.bottom - R.top};
    if (Layout == blGlyphLeft || Layout == blGlyphRight)
      T.right -= Img.W;
    else
      T.bottom -= Img.H;
    DrawWideText(Canvas, Caption, T, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    TW = T.right - T.left;
    TH = T.bottom - T.top;
  }
  if (!ClearOnlyWithCaption || !Caption.empty()) Canvas->Brush()->SetStyle(bsClear);
  int32_t TextX, TextY, GlyphX, GlyphY;
  CalcButtonLayout(Layout, R, Img.W, Img.H, TW, TH, Spacing, Margin, TextX, TextY, GlyphX, GlyphY);
  if (ADown) ++TextX, ++TextY, ++GlyphX, ++GlyphY;
  TRect T{TextX, TextY, TextX + TW + 2, TextY + TH};
  if (!Caption.empty()) DrawWideText(Canvas, Caption, T, TextFlags);
  if (Img.W > 0 || Img.H > 0) {
    DrawImage(GlyphX, GlyphY);
    if (ADrawColorMarker) {
      Canvas->Pen()->SetColor(Marker);
      for (int32_t d = -2; d <= 0; ++d) Line(Canvas, GlyphX, GlyphY + Img.H + d, GlyphX + MarkerWidth, GlyphY + Img.H + d);
    }
  } else if (ADrawColorMarker) {
    if (!Caption.empty()) {
      Canvas->Pen()->SetColor(Marker);
      for (int32_t d = -1; d <= 1; ++d) Line(Canvas, T.left, T.bottom + d, T.right, T.bottom + d);
    } else {
      Canvas->Brush()->SetStyle(bsSolid);
      Canvas->Brush()->SetColor(Marker);
      Canvas->FillRect(Swatch);
    }
  }
}

void ImageListText(TCanvas* Canvas, const TRect& R, int32_t Margin, int32_t Spacing, TkxButtonLayout Layout,
                   const std::string& Caption, int32_t ImageIndex, TCustomImageList* IL, bool ADown, bool AEnabled,
                   bool ADrawColorMarker, TColor AColorMarkerValue, uint32_t Flags) {
  Image img;
  const bool has = IL && ImageIndex >= 0 && ImageIndex < IL->Count();
  if (has) img = Image{IL->Width(), IL->Height()};
  DrawWithImage(Canvas, R, Margin, Spacing, Layout, Caption, img, ADown, ADrawColorMarker, AColorMarkerValue, Flags,
                false, img.W, TRect{R.left + 4, R.top + 4, R.right - 2, R.bottom - 4},
                [&](int32_t x, int32_t y) { IL->Draw(Canvas, x, y, ImageIndex, AEnabled); });
}

}  // namespace

void CalcButtonLayout(TkxButtonLayout Layout, const TRect& R, int32_t GlyphWidth, int32_t GlyphHeight,
                      int32_t TextWidth, int32_t TextHeight, int32_t Spacing, int32_t Margin, int32_t& TextX,
                      int32_t& TextY, int32_t& GlyphX, int32_t& GlyphY) {
  const int32_t GW = GlyphWidth, GH = GlyphHeight, TW = TextWidth, TH = TextHeight;
  const int32_t S = GW == 0 ? 0 : Spacing, M = Margin;
  const int32_t cx = R.left + (R.right - R.left) / 2, cy = R.top + (R.bottom - R.top) / 2;
  const int32_t hw = (GW + TW + S) / 2, hh = (GH + TH + S) / 2;
  if (Layout == blGlyphLeft || Layout == blGlyphRight) {
    GlyphY = cy - GH / 2;
    TextY = cy - TH / 2;
  } else {
    GlyphX = cx - GW / 2;
    TextX = cx - TW / 2;
  }
  switch (Layout) {
    case blGlyphLeft:
      if (M == -1) GlyphX = cx - hw, TextX = cx + hw - TW;
      else GlyphX = R.left + M, TextX = GlyphX + GW + S;
      break;
    case blGlyphRight:
      if (M == -1) TextX = cx - hw, GlyphX = cx + hw - GW;
      else GlyphX = R.right - GW - M, TextX = GlyphX - S - TW;
      break;
    case blGlyphTop:
      if (M == -1) GlyphY = cy - hh, TextY = cy + hh - TH;
      else GlyphY = R.top + M, TextY = GlyphY + GH + S;
      break;
    case blGlyphBottom:
      if (M == -1) TextY = cy - hh, GlyphY = cy + hh - GH;
      else GlyphY = R.bottom - GH - M, TextY = GlyphY - S - TH;
      break;
  }
}

void DrawImageAndText(TCanvas* Canvas, const TRect& R, int32_t Margin, int32_t Spacing, TkxButtonLayout Layout,
                      const std::string& Caption, int32_t ImageIndex, TCustomImageList* IL, bool ADown,
                      bool AEnabled, bool ADrawColorMarker, TColor AColorMarkerValue) {
  ImageListText(Canvas, R, Margin, Spacing, Layout, Caption, ImageIndex, IL, ADown, AEnabled, ADrawColorMarker,
                AColorMarkerValue, DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
}

void DrawImageAndTextLeft(TCanvas* Canvas, const TRect& R, int32_t Margin, int32_t Spacing, TkxButtonLayout Layout,
                          const std::string& Caption, int32_t ImageIndex, TCustomImageList* IL, bool ADown,
                          bool AEnabled, bool ADrawColorMarker, TColor AColorMarkerValue) {
  ImageListText(Canvas, R, Margin, Spacing, Layout, Caption, ImageIndex, IL, ADown, AEnabled, ADrawColorMarker,
                AColorMarkerValue, DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER);
}

void DrawGlyphAndText(TCanvas* Canvas, const TRect& R, int32_t Margin, int32_t Spacing, TkxButtonLayout Layout,
                      const std::string& Caption, TBitmap* Glyph, int32_t NumGlyphs, int32_t GlyphNum, bool ADown,
                      bool ADrawColorMarker, TColor AColorMarkerValue) {
  Image img;
  // A strip without glyphs counts as no image (its width would be divided by zero).
  if (Glyph && !Glyph->Empty() && NumGlyphs > 0) img = Image{Glyph->Width() / NumGlyphs, Glyph->Height()};
  const TRect swatch = ADown ? TRect{R.left + 4, R.top + 5, R.right - 2, R.bottom - 3}
                             : TRect{R.left + 4, R.top + 4, R.right - 2, R.bottom - 4};
  DrawWithImage(Canvas, R, Margin, Spacing, Layout, Caption, img, ADown, ADrawColorMarker, AColorMarkerValue,
                DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER, true, Glyph ? Glyph->Width() : 0, swatch,
                [&](int32_t x, int32_t y) { DrawGlyphFromStrip(Canvas, x, y, Glyph, NumGlyphs, GlyphNum); });
}

// ---- Parent background ----------------------------------------------------------------------
namespace {
struct PaintAccess : TWinControl {
  static constexpr auto Paint = &PaintAccess::PaintWindow;
};

void PaintBackground(TControl* Control, const TRect& R, TCanvas* Canvas) {
  if (!Control || !Control->Parent() || !Canvas) return;
  TWinControl* parent = Control->Parent();
  HDC dc = Canvas->Handle();
  parent->SetControlState(parent->ControlState() + TControlState{csPaintCopy});
  struct Unmark {
    TControl* c;
    ~Unmark() { c->SetControlState(c->ControlState() - TControlState{csPaintCopy}); }
  } unmark{parent};
  const TRect bounds = Control->BoundsRect();
  {
    const int saved = SaveDC(dc);
    SetViewportOrgEx(dc, -bounds.left - R.left, -bounds.top - R.top, nullptr);
    IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
    struct Restore {
      HDC dc;
      int saved;
      ~Restore() { RestoreDC(dc, saved); }
    } restore{dc, saved};
    parent->Perform(WM_ERASEBKGND, WPARAM(dc), 0);
    if (!dynamic_cast<TCustomForm*>(parent)) (parent->*PaintAccess::Paint)(dc);
  }
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    if (child == Control) break;
    auto* g = dynamic_cast<TGraphicControl*>(child);
    if (!g || !g->Visible()) continue;
    const TRect cb = g->BoundsRect();
    if (cb.right <= bounds.left || cb.left >= bounds.right || cb.bottom <= bounds.top || cb.top >= bounds.bottom)
      continue;
    g->SetControlState(g->ControlState() + TControlState{csPaintCopy});
    Unmark unmarkChild{g};
    const int saved = SaveDC(dc);
    SetViewportOrgEx(dc, cb.left - bounds.left - R.left, cb.top - bounds.top - R.top, nullptr);
    IntersectClipRect(dc, 0, 0, cb.right - cb.left, cb.bottom - cb.top);
    struct Restore {
      HDC dc;
      int saved;
      ~Restore() { RestoreDC(dc, saved); }
    } restore{dc, saved};
    g->Perform(WM_PAINT, WPARAM(dc), 0);
  }
}
}  // namespace

void PaintParentBackground(TControl* Control, TCanvas* Canvas) { PaintBackground(Control, TRect{0, 0, 0, 0}, Canvas); }

void PaintParentBackgroundRect(TControl* Control, const TRect& R, TCanvas* Canvas) {
  PaintBackground(Control, R, Canvas);
}

// ---- Text -------------------------------------------------------------------------------------
int32_t DrawWideText(TCanvas* Canvas, const std::string& Text, TRect& R, uint32_t Flags) {
  if (!Canvas) return 0;
  return DrawTextW(TextDC(Canvas), Text.data(), int(Text.size()), &R, Flags);
}

int32_t TextWidthW(TCanvas* Canvas, const std::string& Text) {
  TRect R{0, 0, 0, 0};
  DrawWideText(Canvas, Text, R, DT_CALCRECT);
  return R.right - R.left;
}

int32_t TextHeightW(TCanvas* Canvas, const std::string& Text) {
  TRect R{0, 0, 0, 0};
  DrawWideText(Canvas, Text, R, DT_CALCRECT);
  return R.bottom - R.top;
}

namespace {
// Drops the last character, never a part of one.
void DropLast(std::string& S) {
  size_t n = S.size();
  while (n > 0 && (uint8_t(S[n - 1]) & 0xC0) == 0x80) --n;
  S.resize(n > 0 ? n - 1 : 0);
}

template <class WidthFn>
void Fit(std::string& S, int32_t MaxWidth, WidthFn Width) {
  if (Width(S) <= MaxWidth) return;
  DropLast(S);
  while (!S.empty() && Width(S + "...") > MaxWidth) DropLast(S);
  S += "...";
}
}  // namespace

void FitTextToWidthW(TCanvas* Canvas, std::string& S, int32_t MaxWidth) {
  if (!Canvas) return;
  Fit(S, MaxWidth, [&](const std::string& t) { return TextWidthW(Canvas, t); });
}

void FitTextToWidth(TCanvas* Canvas, std::string& S, int32_t MaxWidth) {
  if (!Canvas) return;
  Fit(S, MaxWidth, [&](const std::string& t) { return Canvas->TextWidth(t); });
}

void DrawVCenteredText(TCanvas* Canvas, const std::string& S, const TRect& R) {
  if (!Canvas || S.empty()) return;
  TRect r = R;
  DrawWideText(Canvas, S, r, DT_SINGLELINE | DT_VCENTER);
}

void TextRectVCentered(TCanvas* Canvas, const std::string& S, const TRect& R) {
  TextRectVCenteredIndent(Canvas, S, R, 0);
}

void TextRectVCenteredIndent(TCanvas* Canvas, const std::string& S, const TRect& R, int32_t Indent) {
  if (!Canvas || S.empty()) return;
  Canvas->TextRect(R, R.left + Indent + 2, R.top + (R.bottom - R.top) / 2 - Canvas->TextHeight(S) / 2, S);
}

// ---- Focus rectangle --------------------------------------------------------------------------
void DrawSkinFocusRect(TCanvas* Canvas, const TRect& R) {
  if (!Canvas) return;
  const int32_t l = R.left, t = R.top, r = R.right - 1, b = R.bottom - 1;
  const int32_t w = r - l, h = b - t;
  if (w < 0 || h < 0) return;
  const TColor color = Canvas->Font()->Color();
  // The flag alternates per pixel and keeps its value over each corner, visited twice.
  bool draw = !(w % 2 == 0 && h % 2 == 0);
  auto visit = [&](int32_t x, int32_t y, bool first) {
    if (!first) draw = !draw;
    if (draw) Canvas->SetPixels(x, y, color);
  };
  for (int32_t x = l; x <= r; ++x) visit(x, t, x == l);
  for (int32_t y = t; y <= b; ++y) visit(r, y, y == t);
  for (int32_t x = r; x >= l; --x) visit(x, b, x == r);
  for (int32_t y = b; y >= t; --y) visit(l, y, y == b);
}

// ---- Caption-button glyphs ---------------------------------------------------------------------
void DrawCloseGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Line(Canvas, X + 1, Y + 1, X + 9, Y + 9);
  Line(Canvas, X + 9, Y + 1, X + 1, Y + 9);
  Line(Canvas, X + 2, Y + 1, X + 10, Y + 9);
  Line(Canvas, X + 8, Y + 1, X, Y + 9);
}

void DrawMaximizeGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Rectangle(X, Y, X + 11, Y + 10);
  Canvas->Rectangle(X, Y, X + 11, Y + 2);
}

void DrawMinimizeGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Line(Canvas, X + 1, Y + 8, X + 9, Y + 8);
  Line(Canvas, X + 1, Y + 9, X + 9, Y + 9);
}

void DrawRestoreGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Rectangle(X + 2, Y, X + 10, Y + 6);
  Canvas->Rectangle(X + 2, Y, X + 10, Y + 2);
  Canvas->Rectangle(X, Y + 4, X + 7, Y + 10);
  Canvas->Rectangle(X, Y + 4, X + 7, Y + 6);
}

void DrawSysMenuGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Rectangle(X + 1, Y + 3, X + 9, Y + 6);
}

void DrawRollUpGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Line(Canvas, X + 1, Y + 6, X + 9, Y + 6);
  Line(Canvas, X + 2, Y + 5, X + 8, Y + 5);
  Line(Canvas, X + 3, Y + 4, X + 7, Y + 4);
  Line(Canvas, X + 4, Y + 3, X + 6, Y + 3);
  Line(Canvas, X + 5, Y + 2, X + 5, Y + 2);  // a zero-length line: the tip stays open
}

void DrawRollDownGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Line(Canvas, X + 5, Y + 6, X + 5, Y + 6);
  Line(Canvas, X + 4, Y + 5, X + 6, Y + 5);
  Line(Canvas, X + 3, Y + 4, X + 7, Y + 4);
  Line(Canvas, X + 2, Y + 3, X + 8, Y + 3);
  Line(Canvas, X + 1, Y + 2, X + 9, Y + 2);
}

void DrawTrayGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Canvas->Brush()->SetColor(Color);
  Canvas->Rectangle(X + 2, Y + 2, X + 7, Y + 7);
}
