// Colours, fonts, pens and brushes.
#include <cstdlib>

#include "classlib/Graphics.h"

using namespace win;

COLORREF ColorToRGB(TColor Color) {
  if (Color < 0) return GetSysColor(int(uint32_t(Color) & 0xFF));
  return COLORREF(Color);
}

namespace {

// a * b / c rounded half away from zero, in 64 bits.
int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t p = int64_t(a) * b;
  int64_t half = std::llabs(c) / 2;
  int64_t r = ((p < 0) != (c < 0)) ? (p - half) / c : (p + half) / c;
  return int32_t(r);
}

}  // namespace

void TGraphicsObject::Changed() {
  // The handle is let go before the listeners run, so that one asking for it (a control handing
  // its font to its window) gets an object of the new values; the old object is deleted after
  // them, once a canvas has deselected it.
  win::HGDIOBJ old = TakeHandle();
  if (OnChange) OnChange(this);
  if (old) win::DeleteObject(old);
}

// ---- TFont ----------------------------------------------------------------------------------
TFont::TFont() = default;
TFont::~TFont() { FreeHandle(); }

void TFont::FreeHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}

win::HGDIOBJ TFont::TakeHandle() {
  win::HGDIOBJ h = FHandle;
  FHandle = nullptr;
  return h;
}

void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    if (f == this) return;
    FName = f->FName;
    FHeight = f->FHeight;
    FStyle = f->FStyle;
    FColor = f->FColor;
    FCharset = f->FCharset;
    FPitch = f->FPitch;
    if (PixelsPerInch != f->PixelsPerInch) FHeight = MulDiv(f->FHeight, PixelsPerInch, f->PixelsPerInch);
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

HFONT TFont::Handle() {
  if (!FHandle) {
    LOGFONT lf;
    lf.lfHeight = FHeight;
    lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = FStyle.Contains(fsItalic);
    lf.lfUnderline = FStyle.Contains(fsUnderline);
    lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
    lf.lfCharSet = FCharset;
    lf.lfPitchAndFamily = FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    SetLogFontFaceName(&lf, FName);
    FHandle = CreateFontIndirect(&lf);
    if (!FHandle) throw EOutOfResources("Out of system resources");
  }
  return FHandle;
}

void TFont::SetHandle(HFONT Value) {
  LOGFONT lf;
  if (!Value || GetObject(Value, sizeof lf, &lf) != int(sizeof lf)) throw EInvalidGraphicOperation("Invalid font handle");
  FName = lf.lfFaceName;
  FHeight = lf.lfHeight;
  FStyle = TFontStyles();
  if (lf.lfWeight >= FW_SEMIBOLD) FStyle.Include(fsBold);
  if (lf.lfItalic) FStyle.Include(fsItalic);
  if (lf.lfUnderline) FStyle.Include(fsUnderline);
  if (lf.lfStrikeOut) FStyle.Include(fsStrikeOut);
  FCharset = lf.lfCharSet;
  const int pitch = lf.lfPitchAndFamily & 3;
  FPitch = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
  Changed();
}

void TFont::SetName(const std::string& Value) {
  if (Value.empty() || Value == FName) return;  // an empty name keeps the face, as the library does
  FName = Value;
  Changed();
}
void TFont::SetHeight(int32_t Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  Changed();
}
int32_t TFont::Size() const { return -MulDiv(FHeight, 72, PixelsPerInch); }
void TFont::SetSize(int32_t Value) { SetHeight(-MulDiv(Value, PixelsPerInch, 72)); }
void TFont::SetStyle(TFontStyles Value) {
  if (Value.Bits() == FStyle.Bits()) return;
  FStyle = Value;
  Changed();
}
void TFont::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  // The colour is a DC setting, not part of the font object; still announce it.
  if (OnChange) OnChange(this);
}
void TFont::SetCharset(TFontCharset Value) {
  if (Value == FCharset) return;
  FCharset = Value;
  Changed();
}
void TFont::SetPitch(TFontPitch Value) {
  if (Value == FPitch) return;
  FPitch = Value;
  Changed();
}

// ---- TPen -----------------------------------------------------------------------------------
TPen::~TPen() { FreeHandle(); }

void TPen::FreeHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}

win::HGDIOBJ TPen::TakeHandle() {
  win::HGDIOBJ h = FHandle;
  FHandle = nullptr;
  return h;
}

void TPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPen*>(Source)) {
    if (p == this) return;
    FColor = p->FColor;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    FMode = p->FMode;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

HPEN TPen::Handle() {
  if (!FHandle) {
    static const int kStyles[] = {int(PS_SOLID), int(PS_DASH), int(PS_DOT), int(PS_DASHDOT),
                                  int(PS_DASHDOTDOT), int(PS_NULL), int(PS_INSIDEFRAME)};
    FHandle = CreatePen(kStyles[FStyle], FWidth, ColorToRGB(FColor));
    if (!FHandle) throw EOutOfResources("Out of system resources");
  }
  return FHandle;
}

void TPen::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}
void TPen::SetWidth(int32_t Value) {
  if (Value < 0) Value = 0;
  if (Value == FWidth) return;
  FWidth = Value;
  Changed();
}
void TPen::SetStyle(TPenStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}
void TPen::SetMode(TPenMode Value) {
  if (Value == FMode) return;
  FMode = Value;
  Changed();
}

// ---- TBrush ---------------------------------------------------------------------------------
TBrush::~TBrush() { FreeHandle(); }

void TBrush::FreeHandle() {
  if (FHandle && FOwnsHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}

win::HGDIOBJ TBrush::TakeHandle() {
  win::HGDIOBJ h = FOwnsHandle ? win::HGDIOBJ(FHandle) : nullptr;
  FHandle = nullptr;
  return h;
}

void TBrush::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBrush*>(Source)) {
    if (b == this) return;
    FColor = b->FColor;
    FStyle = b->FStyle;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

HBRUSH TBrush::Handle() {
  if (!FHandle) {
    FOwnsHandle = FStyle != bsClear;  // the clear brush is the stock null brush
    if (FStyle == bsClear)
      FHandle = GetStockObject(NULL_BRUSH);
    else if (FStyle == bsSolid)
      FHandle = CreateSolidBrush(ColorToRGB(FColor));
    else
      FHandle = CreateHatchBrush(int(FStyle) - int(bsHorizontal) + HS_HORIZONTAL, ColorToRGB(FColor));
    if (!FHandle) throw EOutOfResources("Out of system resources");
  }
  return FHandle;
}

void TBrush::SetColor(TColor Value) {
  if (Value == FColor && FStyle != bsClear) return;
  FColor = Value;
  if (FStyle == bsClear) FStyle = bsSolid;
  Changed();
}
void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}
