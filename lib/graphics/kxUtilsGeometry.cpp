// Skin picture geometry: three- and nine-part pictures rebuilt at any size from one skin
// rectangle, the four border strips of a nine-part picture, and one glyph out of a strip.
#include <algorithm>
#include <memory>

#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxUtilsGeometry.h"
#include "lib/graphics/kxUtilsPlatform.h"

using namespace win;

std::unique_ptr<TBitmap> NewSkinImage(int32_t W, int32_t H) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(std::max(W, 0), std::max(H, 0));
  return b;
}

bool RectInPicture(const TRect& R, const TBitmap* Picture) {
  return Picture && !IsEmptyRect(R) && R.left >= 0 && R.top >= 0 && R.right <= Picture->Width() &&
         R.bottom <= Picture->Height();
}

namespace kxgeom {

TRect Piece(const TRect& SkinRect, int32_t l, int32_t t, int32_t r, int32_t b) {
  return TRect{SkinRect.left + l, SkinRect.top + t, SkinRect.left + r, SkinRect.top + b};
}

bool HasArea(const TRect& R) { return R.right > R.left && R.bottom > R.top; }

std::unique_ptr<TBitmap> NewTemp(TBitmap* Like, int32_t W, int32_t H) {
  auto t = std::make_unique<TBitmap>();
  TPixelFormat pf = Like ? Like->PixelFormat() : pf32bit;
  t->SetPixelFormat(pf == pf24bit ? pf24bit : pf32bit);
  t->SetSize(W, H);
  return t;
}

// Pieces of negative extent (a new size below the fixed parts) are skipped: the corner pieces
// drawn afterwards cover those areas in every case that occurs.
void CopyPiece(TBitmap* Dest, const TRect& D, TBitmap* Src, const TRect& S) {
  if (!HasArea(D) || !HasArea(S)) return;
  Dest->Canvas()->CopyRect(D, Src->Canvas(), S);
}

// The piece is first made a picture of its own size, then drawn stretched.
void StretchPiece(TBitmap* Dest, const TRect& D, TBitmap* Src, const TRect& S) {
  if (!HasArea(D) || !HasArea(S)) return;
  auto t = NewTemp(Src, S.right - S.left, S.bottom - S.top);
  t->Canvas()->CopyRect(TRect{0, 0, t->Width(), t->Height()}, Src->Canvas(), S);
  Dest->Canvas()->StretchDraw(D, t.get());
}

// The tile rule: tiles of the piece's extent d from A on, the last one cut at B; when B - A is a
// multiple of d the last tile is empty. Horizontal tiles are placed at row Other, vertical ones
// at column Other, each with the piece's full extent across.
void TilePiece(TBitmap* Dest, TBitmap* Src, const TRect& S, int32_t A, int32_t B, bool Horz, int32_t Other) {
  int32_t d = Horz ? S.right - S.left : S.bottom - S.top;
  if (d <= 0 || !HasArea(S)) return;
  int32_t n = (B - A) / d;
  if (n < 0) return;
  for (int32_t k = 0; k <= n; ++k) {
    int32_t s = A + k * d;
    int32_t len = d - std::max(0, s + d - B);
    if (len <= 0) continue;
    if (Horz)
      CopyPiece(Dest, TRect{s, Other, s + len, Other + (S.bottom - S.top)}, Src,
                TRect{S.left, S.top, S.left + len, S.bottom});
    else
      CopyPiece(Dest, TRect{Other, s, Other + (S.right - S.left), s + len}, Src,
                TRect{S.left, S.top, S.right, S.top + len});
  }
}

// The piece tiled over the rectangle D in both directions, cut at its right and bottom.
void TileBoth(TBitmap* Dest, TBitmap* Src, const TRect& S, const TRect& D) {
  int32_t cw = S.right - S.left, ch = S.bottom - S.top;
  if (cw <= 0 || ch <= 0 || !HasArea(D)) return;
  for (int32_t j = 0; j <= (D.bottom - D.top) / ch; ++j) {
    int32_t y = D.top + j * ch, hh = std::min(ch, D.bottom - y);
    if (hh <= 0) continue;
    for (int32_t k = 0; k <= (D.right - D.left) / cw; ++k) {
      int32_t x = D.left + k * cw, ww = std::min(cw, D.right - x);
      if (ww <= 0) continue;
      CopyPiece(Dest, TRect{x, y, x + ww, y + hh}, Src, TRect{S.left, S.top, S.left + ww, S.top + hh});
    }
  }
}

}  // namespace kxgeom

using namespace kxgeom;

namespace {

enum class ThreePart { Full, LeftOnly, MiddleOnly };

void BuildHorz(ThreePart Kind, int32_t LeftOffset, int32_t RightOffset, TBitmap* Dest, TBitmap* Picture,
               const TRect& SkinRect, int32_t NewWidth, bool Stretch) {
  if (!Dest) return;
  const int32_t W0 = SkinRect.right - SkinRect.left, H0 = SkinRect.bottom - SkinRect.top;
  Dest->SetSize(NewWidth, H0);
  if (!Picture || Picture->Empty() || Dest->Empty()) return;
  if (Kind != ThreePart::MiddleOnly && LeftOffset > 0)
    CopyPiece(Dest, TRect{0, 0, LeftOffset, H0}, Picture, Piece(SkinRect, 0, 0, LeftOffset, H0));
  if (Kind == ThreePart::Full && RightOffset > 0)
    CopyPiece(Dest, TRect{NewWidth - RightOffset, 0, NewWidth, H0}, Picture,
              Piece(SkinRect, W0 - RightOffset, 0, W0, H0));
  TRect mid = Piece(SkinRect, LeftOffset, 0, W0 - RightOffset, H0);
  if (mid.right <= mid.left) return;
  int32_t a = Kind == ThreePart::MiddleOnly ? 0 : LeftOffset;
  int32_t b = Kind == ThreePart::Full ? NewWidth - RightOffset : NewWidth;
  if (Stretch)
    StretchPiece(Dest, TRect{a, 0, b, H0}, Picture, mid);
  else
    TilePiece(Dest, Picture, mid, a, b, true, 0);
}

struct NineGeometry {
  TPoint LT, RT, LB, RB;
  TRect Cl;
  TPoint NLT, NRT, NLB, NRB;
  TRect NCl;
  int32_t W0, H0, W, H;
};

void DrawCentre(const NineGeometry& g, TBitmap* Dest, TBitmap* Picture, const TRect& SkinRect, const TRect& Target,
                bool StretchEffect, TkxStretchType StretchType) {
  const TRect src = Piece(SkinRect, g.Cl.left, g.Cl.top, g.Cl.right, g.Cl.bottom);
  if (!HasArea(src)) return;
  if (!StretchEffect) {
    TileBoth(Dest, Picture, src, Target);
    return;
  }
  if (!HasArea(Target)) return;
  const int32_t cw = src.right - src.left, ch = src.bottom - src.top;
  const int32_t tw = Target.right - Target.left, th = Target.bottom - Target.top;
  if (StretchType == kxstFull) {
    StretchPiece(Dest, Target, Picture, src);
    return;
  }
  auto centre = NewTemp(Picture, cw, ch);
  centre->Canvas()->CopyRect(TRect{0, 0, cw, ch}, Picture->Canvas(), src);
  // One column (or row) of the centre stretched across, then repeated inside the clip.
  bool horz = StretchType == kxstHorz;
  auto strip = NewTemp(Picture, horz ? cw : tw, horz ? th : ch);
  strip->Canvas()->StretchDraw(TRect{0, 0, strip->Width(), strip->Height()}, centre.get());
  TCanvas* c = Dest->Canvas();
  HDC dc = c->Handle();
  SaveDC(dc);
  IntersectClipRect(dc, Target.left, Target.top, Target.right, Target.bottom);
  if (horz)
    for (int32_t i = 0; i <= tw / cw; ++i) c->Draw(Target.left + i * cw, Target.top, strip.get());
  else
    for (int32_t i = 0; i <= th / ch; ++i) c->Draw(Target.left, Target.top + i * ch, strip.get());
  RestoreDC(dc, -1);
}

void EdgeAcross(TBitmap* Dest, TBitmap* Picture, const TRect& Src, const TRect& Dst, bool Stretch) {
  if (Stretch)
    StretchPiece(Dest, Dst, Picture, Src);
  else
    TilePiece(Dest, Picture, Src, Dst.left, Dst.right, true, Dst.top);
}

void EdgeDown(TBitmap* Dest, TBitmap* Picture, const TRect& Src, const TRect& Dst, bool Stretch) {
  if (Stretch)
    StretchPiece(Dest, Dst, Picture, Src);
  else
    TilePiece(Dest, Picture, Src, Dst.top, Dst.bottom, false, Dst.left);
}

void BuildNine(bool Header, const NineGeometry& g, TBitmap* Dest, TBitmap* Picture, const TRect& SkinRect,
               bool DrawClient, bool LeftStretch, bool TopStretch, bool RightStretch, bool BottomStretch,
               bool StretchEffect, TkxStretchType StretchType) {
  if (!Dest) return;
  Dest->SetSize(g.W, g.H);
  if (g.RB.x == g.LT.x || g.RB.y == g.LT.y || !Picture || Picture->Empty() || Dest->Empty()) return;
  auto P = [&](int32_t l, int32_t t, int32_t r, int32_t b) { return Piece(SkinRect, l, t, r, b); };
  const int32_t right = Header ? g.W : g.NRT.x, bottomRight = Header ? g.W : g.NRB.x;
  // Edges: top, bottom, left, right.
  EdgeAcross(Dest, Picture, P(g.LT.x, 0, g.RT.x, g.Cl.top), TRect{g.NLT.x, 0, right, g.NCl.top}, TopStretch);
  EdgeAcross(Dest, Picture, P(g.LB.x, g.Cl.bottom, g.RB.x, g.H0), TRect{g.NLB.x, g.NCl.bottom, bottomRight, g.H},
             BottomStretch);
  EdgeDown(Dest, Picture, P(0, g.LT.y, g.Cl.left, g.LB.y), TRect{0, g.NLT.y, g.NCl.left, g.NLB.y}, LeftStretch);
  if (!Header)
    EdgeDown(Dest, Picture, P(g.Cl.right, g.RT.y, g.W0, g.RB.y), TRect{g.NCl.right, g.NRT.y, g.W, g.NRB.y},
             RightStretch);
  // Corners, the later winning where they overlap.
  CopyPiece(Dest, TRect{0, 0, g.NLT.x, g.NCl.top}, Picture, P(0, 0, g.LT.x, g.Cl.top));
  CopyPiece(Dest, TRect{0, g.NCl.top, g.NCl.left, g.NLT.y}, Picture, P(0, g.Cl.top, g.Cl.left, g.LT.y));
  if (!Header) {
    CopyPiece(Dest, TRect{g.NRT.x, 0, g.W, g.NCl.top}, Picture, P(g.RT.x, 0, g.W0, g.Cl.top));
    CopyPiece(Dest, TRect{g.NCl.right, g.NCl.top, g.W, g.NRT.y}, Picture, P(g.Cl.right, g.Cl.top, g.W0, g.RT.y));
  }
  CopyPiece(Dest, TRect{0, g.NLB.y, g.NCl.left, g.H}, Picture, P(0, g.LB.y, g.Cl.left, g.H0));
  CopyPiece(Dest, TRect{g.NCl.left, g.NCl.bottom, g.NLB.x, g.H}, Picture, P(g.Cl.left, g.Cl.bottom, g.LB.x, g.H0));
  if (!Header) {
    CopyPiece(Dest, TRect{g.NRB.x, g.NCl.bottom, g.W, g.H}, Picture, P(g.RB.x, g.Cl.bottom, g.W0, g.H0));
    CopyPiece(Dest, TRect{g.NCl.right, g.NRB.y, g.W, g.NCl.bottom}, Picture,
              P(g.Cl.right, g.RB.y, g.W0, g.Cl.bottom));
  }
  if (DrawClient) {
    TRect target = g.NCl;
    if (Header) target.right = g.W;
    DrawCentre(g, Dest, Picture, SkinRect, target, StretchEffect, StretchType);
  }
}

NineGeometry MakeGeometry(TPoint LT, TPoint RT, TPoint LB, TPoint RB, const TRect& Cl, TPoint NLT, TPoint NRT,
                          TPoint NLB, TPoint NRB, const TRect& NCl, const TRect& SkinRect, int32_t W, int32_t H) {
  return NineGeometry{LT,  RT,  LB, RB, Cl, NLT, NRT, NLB, NRB, NCl, SkinRect.right - SkinRect.left,
                      SkinRect.bottom - SkinRect.top, W, H};
}

}  // namespace

void BuildHorzThreePartImage(int32_t LeftOffset, int32_t RightOffset, TBitmap* Dest, TBitmap* Picture,
                             const TRect& SkinRect, int32_t NewWidth, int32_t, bool Stretch) {
  BuildHorz(ThreePart::Full, LeftOffset, RightOffset, Dest, Picture, SkinRect, NewWidth, Stretch);
}

void BuildHorzLeftPartImage(int32_t LeftOffset, int32_t RightOffset, TBitmap* Dest, TBitmap* Picture,
                            const TRect& SkinRect, int32_t NewWidth, int32_t, bool Stretch) {
  BuildHorz(ThreePart::LeftOnly, LeftOffset, RightOffset, Dest, Picture, SkinRect, NewWidth, Stretch);
}

void FillHorzMiddlePart(int32_t LeftOffset, int32_t RightOffset, TBitmap* Dest, TBitmap* Picture,
                        const TRect& SkinRect, int32_t NewWidth, int32_t, bool Stretch) {
  BuildHorz(ThreePart::MiddleOnly, LeftOffset, RightOffset, Dest, Picture, SkinRect, NewWidth, Stretch);
}

void BuildVertThreePartImage(int32_t TopOffset, int32_t BottomOffset, TBitmap* Dest, TBitmap* Picture,
                             const TRect& SkinRect, int32_t, int32_t NewHeight, bool Stretch) {
  if (!Dest) return;
  const int32_t W0 = SkinRect.right - SkinRect.left, H0 = SkinRect.bottom - SkinRect.top;
  Dest->SetSize(W0, NewHeight);
  if (!Picture || Picture->Empty() || Dest->Empty()) return;
  if (TopOffset > 0) CopyPiece(Dest, TRect{0, 0, W0, TopOffset}, Picture, Piece(SkinRect, 0, 0, W0, TopOffset));
  if (BottomOffset > 0)
    CopyPiece(Dest, TRect{0, NewHeight - BottomOffset, W0, NewHeight}, Picture,
              Piece(SkinRect, 0, H0 - BottomOffset, W0, H0));
  TRect mid = Piece(SkinRect, 0, TopOffset, W0, H0 - BottomOffset);
  if (mid.bottom <= mid.top) return;
  if (Stretch)
    StretchPiece(Dest, TRect{0, TopOffset, W0, NewHeight - BottomOffset}, Picture, mid);
  else
    TilePiece(Dest, Picture, mid, TopOffset, NewHeight - BottomOffset, false, 0);
}

void BuildNinePartImage(TPoint LTPoint, TPoint RTPoint, TPoint LBPoint, TPoint RBPoint, const TRect& ClRect,
                        TPoint NewLTPoint, TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint,
                        const TRect& NewClRect, TBitmap* Dest, TBitmap* Picture, const TRect& SkinRect,
                        int32_t NewWidth, int32_t NewHeight, bool DrawClient, bool LeftStretch, bool TopStretch,
                        bool RightStretch, bool BottomStretch, bool StretchEffect, TkxStretchType StretchType) {
  BuildNine(false,
            MakeGeometry(LTPoint, RTPoint, LBPoint, RBPoint, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint,
                         NewClRect, SkinRect, NewWidth, NewHeight),
            Dest, Picture, SkinRect, DrawClient, LeftStretch, TopStretch, RightStretch, BottomStretch, StretchEffect,
            StretchType);
}

void BuildNinePartWindowImage(TPoint LTPoint, TPoint RTPoint, TPoint LBPoint, TPoint RBPoint, const TRect& ClRect,
                              TPoint NewLTPoint, TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint,
                              const TRect& NewClRect, TBitmap* Dest, TBitmap* Picture, const TRect& SkinRect,
                              int32_t NewWidth, int32_t NewHeight, bool DrawClient, bool LeftStretch,
                              bool TopStretch, bool RightStretch, bool BottomStretch, bool StretchEffect,
                              TkxStretchType StretchType) {
  BuildNinePartImage(LTPoint, RTPoint, LBPoint, RBPoint, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint,
                     NewClRect, Dest, Picture, SkinRect, NewWidth, NewHeight, DrawClient, LeftStretch, TopStretch,
                     RightStretch, BottomStretch, StretchEffect, StretchType);
}

void BuildNinePartHeaderImage(TPoint LTPoint, TPoint RTPoint, TPoint LBPoint, TPoint RBPoint, const TRect& ClRect,
                              TPoint NewLTPoint, TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint,
                              const TRect& NewClRect, TBitmap* Dest, TBitmap* Picture, const TRect& SkinRect,
                              int32_t NewWidth, int32_t NewHeight, bool DrawClient, bool LeftStretch,
                              bool TopStretch, bool, bool BottomStretch, bool StretchEffect,
                              TkxStretchType StretchType) {
  BuildNine(true,
            MakeGeometry(LTPoint, RTPoint, LBPoint, RBPoint, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint,
                         NewClRect, SkinRect, NewWidth, NewHeight),
            Dest, Picture, SkinRect, DrawClient, LeftStretch, TopStretch, false, BottomStretch, StretchEffect,
            StretchType);
}

void StretchNinePartImage(TBitmap* Dest, TBitmap* Picture, const TRect& SkinRect, const TRect& InnerRect,
                          bool DrawCentre) {
  if (!Dest) return;
  const int32_t W = Dest->Width(), H = Dest->Height();
  const int32_t dW = W - (SkinRect.right - SkinRect.left), dH = H - (SkinRect.bottom - SkinRect.top);
  const TRect& I = InnerRect;
  TRect NCl{I.left, I.top, I.right + dW, I.bottom + dH};
  BuildNinePartImage(TPoint{I.left, I.top}, TPoint{I.right, I.top}, TPoint{I.left, I.bottom},
                     TPoint{I.right, I.bottom}, I, TPoint{NCl.left, NCl.top}, TPoint{NCl.right, NCl.top},
                     TPoint{NCl.left, NCl.bottom}, TPoint{NCl.right, NCl.bottom}, NCl, Dest, Picture, SkinRect, W, H,
                     DrawCentre, true, true, true, true, true, kxstFull);
}

void SplitNinePartImage(TPoint LTPoint, TPoint RTPoint, TPoint LBPoint, TPoint RBPoint, const TRect& ClRect,
                        TPoint NewLTPoint, TPoint NewRTPoint, TPoint NewLBPoint, TPoint NewRBPoint,
                        const TRect& NewClRect, TBitmap* LeftImage, TBitmap* TopImage, TBitmap* RightImage,
                        TBitmap* BottomImage, TBitmap* Picture, const TRect& SkinRect, int32_t NewWidth,
                        int32_t NewHeight, bool LeftStretch, bool TopStretch, bool RightStretch, bool BottomStretch) {
  if (!Picture || Picture->Empty()) return;
  const int32_t W0 = SkinRect.right - SkinRect.left, H0 = SkinRect.bottom - SkinRect.top;
  const TPoint &LT = LTPoint, &RT = RTPoint, &LB = LBPoint, &RB = RBPoint;
  const TRect &Cl = ClRect, &NCl = NewClRect;
  auto P = [&](int32_t l, int32_t t, int32_t r, int32_t b) { return Piece(SkinRect, l, t, r, b); };
  auto copyAt = [&](TBitmap* D, int32_t x, int32_t y, const TRect& S) {
    CopyPiece(D, TRect{x, y, x + (S.right - S.left), y + (S.bottom - S.top)}, Picture, S);
  };
  const int32_t topH = NCl.top, bottomH = NewHeight - NCl.bottom;
  if (TopImage && NewWidth > 0 && topH > 0 && RT.x > LT.x) {
    TopImage->SetSize(NewWidth, topH);
    TRect mid = P(LT.x, 0, RT.x, topH);
    if (TopStretch)
      StretchPiece(TopImage, TRect{NewLTPoint.x, 0, NewRTPoint.x, topH}, Picture, mid);
    else
      TilePiece(TopImage, Picture, mid, 0, NewWidth, true, 0);
    copyAt(TopImage, 0, 0, P(0, 0, LT.x, topH));
    copyAt(TopImage, NewRTPoint.x, 0, P(RT.x, 0, W0, topH));
  }
  if (BottomImage && NewWidth > 0 && bottomH > 0 && RB.x > LB.x) {
    BottomImage->SetSize(NewWidth, bottomH);
    TRect mid = P(LB.x, H0 - bottomH, RB.x, H0);
    if (BottomStretch)
      StretchPiece(BottomImage, TRect{NewLBPoint.x, 0, NewRBPoint.x, bottomH}, Picture, mid);
    else
      TilePiece(BottomImage, Picture, mid, 0, NewWidth, true, 0);
    copyAt(BottomImage, 0, 0, P(0, H0 - bottomH, LB.x, H0));
    copyAt(BottomImage, NewRBPoint.x, 0, P(RB.x, H0 - bottomH, W0, H0));
  }
  const int32_t v = NewHeight - bottomH - topH;
  // The side strips: the middle rows, then the pieces between the client's top (bottom) and the
  // corner point at the strip's ends.
  auto side = [&](TBitmap* D, int32_t x0, int32_t x1, int32_t topY, int32_t bottomY, bool Stretch) {
    const int32_t w = x1 - x0;
    if (!D || w <= 0 || v <= 0 || bottomY <= topY) return;
    D->SetSize(w, v);
    TRect mid = P(x0, topY, x1, bottomY);
    if (Stretch)
      StretchPiece(D, TRect{0, topY - Cl.top, w, v - (Cl.bottom - bottomY)}, Picture, mid);
    else
      TilePiece(D, Picture, mid, 0, v, false, 0);
    if (topY > Cl.top) copyAt(D, 0, 0, P(x0, Cl.top, x1, topY));
    if (Cl.bottom > bottomY) copyAt(D, 0, v - (Cl.bottom - bottomY), P(x0, bottomY, x1, Cl.bottom));
  };
  side(LeftImage, 0, NCl.left, LT.y, LB.y, LeftStretch);
  side(RightImage, Cl.right, Cl.right + (NewWidth - NCl.right), RT.y, RB.y, RightStretch);
}

void DrawGlyphFromStrip(TCanvas* Canvas, int32_t X, int32_t Y, TBitmap* Strip, int32_t NumGlyphs,
                        int32_t GlyphIndex) {
  // A count of 0 would divide by zero and an index outside the strip would copy past it.
  if (!Canvas || !Strip || Strip->Empty() || NumGlyphs <= 0 || GlyphIndex < 1 || GlyphIndex > NumGlyphs) return;
  const int32_t w = Strip->Width() / NumGlyphs, h = Strip->Height();
  if (w <= 0) return;
  auto t = NewTemp(Strip, w, h);
  t->Canvas()->CopyRect(TRect{0, 0, w, h}, Strip->Canvas(), TRect{w * (GlyphIndex - 1), 0, w * GlyphIndex, h});
  t->SetTransparent(true);
  Canvas->Draw(X, Y, t.get());
}
