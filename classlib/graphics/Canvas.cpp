// The canvas: drawing through a DC with the canvas's pen, brush and font selected on demand.
#include "classlib/Graphics.h"

using namespace win;

namespace {
constexpr int kPenModes[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN,
                             R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,
                             R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN, R2_NOTXORPEN};
}

TCanvas::TCanvas() : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
  FFont->OnChange = [this](TObject* s) { FontChanged(s); };
  FPen->OnChange = [this](TObject* s) { PenChanged(s); };
  FBrush->OnChange = [this](TObject* s) { BrushChanged(s); };
}

TCanvas::~TCanvas() {
  // A derived canvas has freed its own DC already; an outside DC only loses our objects.
  DeselectHandles();
}

HDC TCanvas::Handle() {
  RequiredState(csHandleValid);
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  if (Value == FHandle) return;
  FreeContext();
  FHandle = Value;
  if (FHandle) FState |= csHandleValid;
}

void TCanvas::FreeContext() {
  DeselectHandles();
  FHandle = nullptr;
  FState = 0;
}

void TCanvas::DeselectHandles() {
  if (FHandle && (FState & (csPenValid | csBrushValid | csFontValid))) {
    if (FState & csPenValid) SelectObject(FHandle, GetStockObject(BLACK_PEN));
    if (FState & csBrushValid) SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
    if (FState & csFontValid) SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  }
  FState &= ~(csPenValid | csBrushValid | csFontValid);
}

void TCanvas::RequiredState(int State) {
  int need = State & ~FState;
  if (!need) return;
  if (need & csHandleValid) {
    CreateHandle();
    if (!FHandle) throw EInvalidGraphicOperation("Canvas does not allow drawing");
    FState |= csHandleValid;
  }
  if (need & csFontValid) {
    SelectObject(FHandle, FFont->Handle());
    SetTextColor(FHandle, ColorToRGB(FFont->Color()));
    FState |= csFontValid;
  }
  if (need & csPenValid) {
    SelectObject(FHandle, FPen->Handle());
    SetROP2(FHandle, kPenModes[FPen->Mode()]);
    FState |= csPenValid;
  }
  if (need & csBrushValid) {
    SelectObject(FHandle, FBrush->Handle());
    SetBkColor(FHandle, ColorToRGB(FBrush->Color()));
    SetBkMode(FHandle, FBrush->Style() == bsSolid ? OPAQUE : TRANSPARENT);
    FState |= csBrushValid;
  }
}

void TCanvas::FontChanged(TObject*) {
  if (FHandle && (FState & csFontValid)) {
    SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
    FState &= ~csFontValid;
  }
}
void TCanvas::PenChanged(TObject*) {
  if (FHandle && (FState & csPenValid)) {
    SelectObject(FHandle, GetStockObject(BLACK_PEN));
    FState &= ~csPenValid;
  }
}
void TCanvas::BrushChanged(TObject*) {
  if (FHandle && (FState & csBrushValid)) {
    SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
    FState &= ~csBrushValid;
  }
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}
void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

void TCanvas::Lock() {
  FLock.Enter();
  ++FLockCount;
}
void TCanvas::Unlock() {
  --FLockCount;
  FLock.Leave();
}
bool TCanvas::TryLock() {
  if (!FLock.TryEnter()) return false;
  ++FLockCount;
  return true;
}

void TCanvas::FillRect(const TRect& R) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  win::FillRect(FHandle, &R, FBrush->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& R) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  win::FrameRect(FHandle, &R, FBrush->Handle());
  Changed();
}

void TCanvas::Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  win::Rectangle(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::RoundRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  win::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}

void TCanvas::Ellipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  win::Ellipse(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
  if (Points.empty()) return;
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  win::Polygon(FHandle, Points.data(), int(Points.size()));
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
  if (Points.empty()) return;
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  win::Polyline(FHandle, Points.data(), int(Points.size()));
  Changed();
}

void TCanvas::MoveTo(int32_t X, int32_t Y) {
  RequiredState(csHandleValid);
  MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int32_t X, int32_t Y) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  win::LineTo(FHandle, X, Y);
  Changed();
}

TPoint TCanvas::PenPos() {
  RequiredState(csHandleValid);
  TPoint p;
  GetCurrentPositionEx(FHandle, &p);
  return p;
}

TColor TCanvas::Pixels(int32_t X, int32_t Y) {
  RequiredState(csHandleValid);
  COLORREF c = GetPixel(FHandle, X, Y);
  return c == CLR_INVALID ? TColor(-1) : TColor(c);
}

void TCanvas::SetPixels(int32_t X, int32_t Y, TColor Value) {
  Changing();
  RequiredState(csHandleValid | csPenValid);
  SetPixel(FHandle, X, Y, ColorToRGB(Value));
  Changed();
}

void TCanvas::TextOut(int32_t X, int32_t Y, const std::string& Text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  ExtTextOut(FHandle, X, Y, 0, nullptr, Text.data(), UINT(Text.size()), nullptr);
  MoveTo(X + TextWidth(Text), Y);
  Changed();
}

void TCanvas::TextRect(const TRect& R, int32_t X, int32_t Y, const std::string& Text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  UINT options = ETO_CLIPPED;
  if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
  ExtTextOut(FHandle, X, Y, options, &R, Text.data(), UINT(Text.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const std::string& Text) {
  RequiredState(csHandleValid | csFontValid);
  TSize s;
  GetTextExtentPoint32(FHandle, Text.data(), int(Text.size()), &s);
  return s;
}

void TCanvas::Draw(int32_t X, int32_t Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState(csHandleValid);
  Graphic->Draw(this, Rect(X, Y, X + Graphic->Width(), Y + Graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState(csHandleValid);
  Graphic->Draw(this, R);
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  if (!Canvas) return;
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  HDC src = Canvas->Handle();
  StretchBlt(FHandle, Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top, src, Source.left,
             Source.top, Source.right - Source.left, Source.bottom - Source.top, CopyMode);
  Changed();
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
  if (!Bitmap || Bitmap->Empty()) return;
  const int w = Source.right - Source.left, h = Source.bottom - Source.top;
  if (w <= 0 || h <= 0) return;
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  // The source part over the brush, with the key colour left out, then stretched into Dest.
  TBitmap tmp;
  tmp.SetPixelFormat(pf32bit);
  tmp.SetSize(w, h);
  TCanvas* tc = tmp.Canvas();
  tc->Brush()->Assign(FBrush.get());
  tc->FillRect(Rect(0, 0, w, h));
  TransparentBlt(tc->Handle(), 0, 0, w, h, Bitmap->Canvas()->Handle(), Source.left, Source.top, w, h,
                 ColorToRGB(Color) & 0xFFFFFF);
  StretchBlt(FHandle, Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top, tc->Handle(), 0, 0, w, h,
             SRCCOPY);
  Changed();
}

TRect TCanvas::ClipRect() {
  RequiredState(csHandleValid);
  TRect r;
  GetClipBox(FHandle, &r);
  return r;
}
