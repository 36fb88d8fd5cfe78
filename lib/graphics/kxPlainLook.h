#pragma once
// The plain look: what a skinned control draws where it has no usable skin record, and what the
// frame objects and menu items will draw without one. One set of colours (the system's button
// face, shadow and highlight; a navy frame with a blue tint for a hot or pressed button) and the
// pieces made of them: edges, button faces in their states, the check box with its check mark or
// radio dot, arrows in four directions and the size grip.
//
// Every routine draws with the canvas's own pen and brush; each says what it leaves them set to.
// None keeps state, and none draws anything into an empty rectangle.
#include <cstdint>

#include "classlib/Graphics.h"

struct TkxPlainColors {
  TColor Face = clBtnFace;
  TColor Shadow = clBtnShadow;
  TColor Highlight = clBtnHighlight;
  TColor Text = clBtnText;
  TColor DisabledText = clBtnShadow;
  // The frame of a hot or pressed button, and its face in either state.
  TColor HotFrame = clNavy;
  TColor HotFace = TColor(0xD2BDB6);
  TColor DownFace = TColor(0xB59385);
  // Arrows and marks of an enabled and of a disabled control.
  TColor Mark = clBlack;
  TColor DisabledMark = clBtnShadow;
};
inline constexpr TkxPlainColors kxPlain{};

// ---- Fills and edges ----------------------------------------------------------------------------
// R filled in Color (the brush left solid in Color).
void PlainFill(TCanvas* C, const TRect& R, TColor Color);
// A one-pixel frame around R in Color (the brush left solid in Color).
void PlainFrameRect(TCanvas* C, const TRect& R, TColor Color);

// A one-pixel edge drawn with the pen: up the left and along the top in the first colour, down
// the right and back along the bottom in the second.
enum class TkxPlainEdge : uint8_t {
  Flat,         // shadow, shadow
  Raised,       // highlight, shadow
  Sunken,       // shadow, highlight
  RaisedLight,  // highlight, face: the inner line of a framed caption
};
// The edge along R's border, R then taken in by one pixel on each side (the pen left in the
// second colour).
void DrawPlainEdge(TCanvas* C, TRect& R, TkxPlainEdge Edge);
// The same pixels drawn straight into DC with brushes of its own, leaving DC's objects as they
// were (for a frame painted into a window DC a caller keeps using).
void DrawPlainEdge(win::HDC DC, const TRect& R, TkxPlainEdge Edge);

// ---- Buttons ------------------------------------------------------------------------------------
enum class TkxPlainState : uint8_t { Normal, Hot, Down };
// A button face: framed in the shadow colour at rest and navy when hot or down, filled with the
// face of its state. Framed false fills the whole of R with the face. The brush is left solid in
// the colour drawn last.
void DrawPlainButtonFace(TCanvas* C, const TRect& R, TkxPlainState State, bool Framed = true);
// The state of a button that is down while pressed with the mouse over it, hot with the mouse
// over it.
inline TkxPlainState PlainStateOf(bool Down, bool Hot) {
  return Down ? TkxPlainState::Down : Hot ? TkxPlainState::Hot : TkxPlainState::Normal;
}

// ---- Marks --------------------------------------------------------------------------------------
// A small downward arrow of three rows, centred in R.
void DrawSmallDownArrow(TCanvas* Canvas, const TRect& R, TColor Color);
// An arrow of four rows centred in R. Kind 1 left, 2 right, 3 up, 4 down; other kinds draw nothing.
enum TkxArrowKind : int32_t { kxakLeft = 1, kxakRight = 2, kxakUp = 3, kxakDown = 4 };
void DrawArrowImage(TCanvas* Canvas, const TRect& R, TColor Color, int32_t Kind);
// A 6 x 6 dot with its top-left at (X, Y).
void DrawRadioMark(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color);
// A check mark three pixels thick, 8 x 8, with its top-left at (X, Y).
void DrawCheckMark(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color);

enum class TkxPlainMark : uint8_t { None, Check, Radio };
// Where a mark sits in the 14 x 14 check box: the check box's check mark and radio dot, and the
// check mark of a panel's caption box (a pixel further up and left).
inline constexpr TPoint kxPlainCheckAt{4, 3}, kxPlainRadioAt{4, 4}, kxPlainCaptionCheckAt{3, 2};
// The check box: a 14 x 14 square at (X, Y) framed in Frame, with Mark at MarkAt inside it.
void DrawPlainCheckBox(TCanvas* C, int32_t X, int32_t Y, TColor Frame, TkxPlainMark Mark, TColor MarkColor,
                       TPoint MarkAt);

// The size grip in the bottom-right corner of G: diagonal lines three pixels apart, each a shadow
// line with a highlight line beside it (the pen left in Highlight).
void DrawPlainSizeGrip(TCanvas* C, const TRect& G, TColor Shadow, TColor Highlight);
