#include "lib/graphics/kxPlainLook.h"

#include <algorithm>

#include "classlib/Controls.h"

namespace {

void Line(TCanvas* Canvas, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

bool IsEmpty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

struct EdgeColors {
  TColor TopLeft, BottomRight;
};

EdgeColors ColorsOf(TkxPlainEdge Edge) {
  switch (Edge) {
    case TkxPlainEdge::Flat: return {kxPlain.Shadow, kxPlain.Shadow};
    case TkxPlainEdge::Raised: return {kxPlain.Highlight, kxPlain.Shadow};
    case TkxPlainEdge::Sunken: return {kxPlain.Shadow, kxPlain.Highlight};
    case TkxPlainEdge::RaisedLight: return {kxPlain.Highlight, kxPlain.Face};
  }
  return {kxPlain.Shadow, kxPlain.Shadow};
}

}  // namespace

// ---- Fills and edges ----------------------------------------------------------------------------

void PlainFill(TCanvas* C, const TRect& R, TColor Color) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color);
  C->FillRect(R);
}

void PlainFrameRect(TCanvas* C, const TRect& R, TColor Color) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color);
  C->FrameRect(R);
}

void DrawPlainEdge(TCanvas* C, TRect& R, TkxPlainEdge Edge) {
  const EdgeColors e = ColorsOf(Edge);
  Frame3D(C, R, e.TopLeft, e.BottomRight, 1);
}

void DrawPlainEdge(win::HDC DC, const TRect& R, TkxPlainEdge Edge) {
  if (IsEmpty(R)) return;
  const EdgeColors e = ColorsOf(Edge);
  // As Frame3D: the top-right and bottom-left corners take the second colour.
  auto line = [DC](TColor Color, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
    win::HBRUSH br = win::CreateSolidBrush(ColorToRGB(Color));
    const win::RECT r{std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2) + 1, std::max(Y1, Y2) + 1};
    win::FillRect(DC, &r, br);
    win::DeleteObject(br);
  };
  const int32_t l = R.left, t = R.top, r = R.right - 1, b = R.bottom - 1;
  line(e.TopLeft, l, t, r, t);
  line(e.TopLeft, l, t, l, b);
  line(e.BottomRight, r, t, r, b);
  line(e.BottomRight, l, b, r, b);
}

// ---- Buttons ------------------------------------------------------------------------------------

void DrawPlainButtonFace(TCanvas* C, const TRect& R, TkxPlainState State, bool Framed) {
  if (IsEmpty(R)) return;
  const TColor face = State == TkxPlainState::Down  ? kxPlain.DownFace
                      : State == TkxPlainState::Hot ? kxPlain.HotFace
                                                    : kxPlain.Face;
  if (!Framed) {
    PlainFill(C, R, face);
    return;
  }
  PlainFill(C, R, State == TkxPlainState::Normal ? kxPlain.Shadow : kxPlain.HotFrame);
  const TRect in{R.left + 1, R.top + 1, R.right - 1, R.bottom - 1};
  if (!IsEmpty(in)) PlainFill(C, in, face);
}

// ---- Marks --------------------------------------------------------------------------------------

void DrawSmallDownArrow(TCanvas* Canvas, const TRect& R, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  const int32_t cx = R.left + (R.right - R.left) / 2, cy = R.top + (R.bottom - R.top) / 2;
  for (int32_t n = 2; n >= 0; --n) Line(Canvas, cx - n, cy + 2 - n, cx + n + 1, cy + 2 - n);
}

void DrawArrowImage(TCanvas* Canvas, const TRect& R, TColor Color, int32_t Kind) {
  if (Kind < kxakLeft || Kind > kxakDown) return;
  Canvas->Pen()->SetColor(Color);
  const int32_t cx = R.left + (R.right - R.left) / 2, cy = R.top + (R.bottom - R.top) / 2;
  for (int32_t i = 0; i <= 3; ++i) {
    const int32_t n = 3 - i;
    switch (Kind) {
      case kxakLeft: Line(Canvas, cx + i - 2, cy - i, cx + i - 2, cy + i + 1); break;
      case kxakRight: Line(Canvas, cx - n + 2, cy + n, cx - n + 2, cy - n - 1); break;
      case kxakUp: Line(Canvas, cx - i, cy + i - 2, cx + i + 1, cy + i - 2); break;
      case kxakDown: Line(Canvas, cx - n, cy - n + 2, cx + n + 1, cy - n + 2); break;
    }
  }
}

void DrawRadioMark(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Canvas->Brush()->SetColor(Color);
  Canvas->Rectangle(X, Y, X + 6, Y + 6);
}

void DrawCheckMark(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  for (int32_t i = 0; i <= 2; ++i) {
    Canvas->MoveTo(X, Y + 5 - i);
    Canvas->LineTo(X + 2, Y + 7 - i);
    Canvas->LineTo(X + 7, Y + 2 - i);
  }
}

void DrawPlainCheckBox(TCanvas* C, int32_t X, int32_t Y, TColor Frame, TkxPlainMark Mark, TColor MarkColor,
                       TPoint MarkAt) {
  PlainFrameRect(C, TRect{X, Y, X + 14, Y + 14}, Frame);
  if (Mark == TkxPlainMark::Check) DrawCheckMark(C, X + MarkAt.x, Y + MarkAt.y, MarkColor);
  if (Mark == TkxPlainMark::Radio) DrawRadioMark(C, X + MarkAt.x, Y + MarkAt.y, MarkColor);
}

void DrawPlainSizeGrip(TCanvas* C, const TRect& G, TColor Shadow, TColor Highlight) {
  C->Pen()->SetWidth(1);
  C->Pen()->SetStyle(psSolid);
  int32_t b = 3;
  for (int32_t i = 0; i < (G.right - G.left) / 3 + 1; ++i) {
    if (G.left + b + 2 > G.right) continue;
    C->Pen()->SetColor(Shadow);
    Line(C, G.left + b, G.bottom, G.right, G.top + b);
    C->Pen()->SetColor(Highlight);
    Line(C, G.left + b + 1, G.bottom, G.right, G.top + b + 1);
    b += 3;
  }
}
