// The layered outer border of a skinned form.
#include "lib/forms/kxFormLayerBorder.h"

#include <algorithm>
#include <cmath>

#include "classlib/ExtCtrls.h"
#include "lib/forms/kxVelara.h"
#include "lib/graphics/kxBitmap.h"
#include "lib/graphics/kxUtilsLayer.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinRecords.h"
#include "platform/WinUser.h"

using namespace win;

namespace {

// A fade step after more than this many milliseconds; the timer ticks just after it.
constexpr uint32_t kFadeInterval = 6;
// The corner bands of the top and bottom windows reach this far into the form's edges.
constexpr int32_t kCornerDepth = 3;

TBitmap* PictureAt(TkxSkinData* SD, int32_t Index) {
  if (!SD || Index < 0 || Index >= int32_t(SD->FActivePictures.size())) return nullptr;
  TBitmap* b = SD->FActivePictures[size_t(Index)].get();
  return b && !b->Empty() ? b : nullptr;
}

// A 32-bit copy of the picture whose alpha comes from the mask's grey; a picture without a mask
// is opaque (the mask is what would make it see-through).
std::unique_ptr<TkxBitmap> MakeSource(TkxSkinData* SD, int32_t PictureIndex, int32_t MaskIndex) {
  TBitmap* pic = PictureAt(SD, PictureIndex);
  if (!pic) return nullptr;
  auto b = std::make_unique<TkxBitmap>();
  b->Assign(pic);
  b->SetAlpha(255);
  if (TBitmap* mask = PictureAt(SD, MaskIndex)) {
    TkxBitmap m;
    m.Assign(mask);
    SetAlphaFromMask(b.get(), &m);
  }
  b->CheckingAlphaBlend();
  return b;
}

// Src of S copied pixel for pixel (alpha included) to (DX, DY) of D, clipped to both.
void CopyBlock(const TkxBitmap& S, TRect Src, TkxBitmap& D, int32_t DX, int32_t DY) {
  if (Src.left < 0) { DX -= Src.left; Src.left = 0; }
  if (Src.top < 0) { DY -= Src.top; Src.top = 0; }
  if (DX < 0) { Src.left -= DX; DX = 0; }
  if (DY < 0) { Src.top -= DY; DY = 0; }
  Src.right = std::min({Src.right, S.Width(), Src.left + D.Width() - DX});
  Src.bottom = std::min({Src.bottom, S.Height(), Src.top + D.Height() - DY});
  for (int32_t y = Src.top; y < Src.bottom; ++y)
    std::copy(S.PixelAddress(Src.left, y), S.PixelAddress(Src.left, y) + std::max(0, Src.right - Src.left),
              D.PixelAddress(DX, DY + y - Src.top));
}

// Src of S stretched to Dst of D, each target pixel from the source column and row
// left + floor(i * width / target width), as the layer's stretching picks them.
void StretchBlock(const TkxBitmap& S, const TRect& Src, TkxBitmap& D, const TRect& Dst) {
  const int32_t sw = RectWidth(Src), sh = RectHeight(Src), dw = RectWidth(Dst), dh = RectHeight(Dst);
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  for (int32_t j = 0; j < dh; ++j) {
    const int32_t y = Dst.top + j, sy = Src.top + int32_t(int64_t(j) * sh / dh);
    if (y < 0 || y >= D.Height() || sy < 0 || sy >= S.Height()) continue;
    for (int32_t i = 0; i < dw; ++i) {
      const int32_t x = Dst.left + i, sx = Src.left + int32_t(int64_t(i) * sw / dw);
      if (x < 0 || x >= D.Width() || sx < 0 || sx >= S.Width()) continue;
      *D.PixelAddress(x, y) = *S.PixelAddress(sx, sy);
    }
  }
}

// A W-wide band of rows Top..Top+Height of S: both corners as they are, the middle between them
// stretched. A form narrower than the corners gets no middle (a negative width would mirror it).
std::unique_ptr<TkxBitmap> MakeBand(const TkxBitmap& S, int32_t W, int32_t Top, int32_t Height, int32_t LeftX,
                                    int32_t RightX) {
  if (W <= 0 || Height <= 0) return nullptr;
  auto b = std::make_unique<TkxBitmap>();
  b->SetSize(W, Height);
  const int32_t sw = S.Width(), rightW = sw - RightX;
  CopyBlock(S, TRect{0, Top, LeftX, Top + Height}, *b, 0, 0);
  CopyBlock(S, TRect{RightX, Top, sw, Top + Height}, *b, W - rightW, 0);
  const int32_t middle = W - rightW - LeftX;
  if (middle > 0 && RightX > LeftX)
    StretchBlock(S, TRect{LeftX, Top, RightX, Top + Height}, *b, TRect{LeftX, 0, LeftX + middle, Height});
  return b;
}

// A side image: the strip Src of S tiled downwards, the last copy cut at the image's bottom.
std::unique_ptr<TkxBitmap> MakeSide(const TkxBitmap& S, int32_t W, int32_t H, const TRect& Src) {
  if (W <= 0 || H <= 0) return nullptr;
  auto b = std::make_unique<TkxBitmap>();
  b->SetSize(W, H);
  const int32_t sh = RectHeight(Src);
  if (sh > 0)
    for (int32_t y = 0; y < H; y += sh) CopyBlock(S, Src, *b, 0, y);
  return b;
}

POINT CursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return p;
}

bool InRect(int32_t L, int32_t T, int32_t R, int32_t B, TPoint P) { return PtInRectRule(TRect{L, T, R, B}, P.x, P.y); }

}  // namespace

// ---- one side -------------------------------------------------------------------------------------

TkxFormLayerWindow::TkxFormLayerWindow(TkxFormLayerBorder* AOwner, TCustomForm* AForm)
    : TForm(AOwner), FForm(AForm), FLayerBorder(AOwner) {
  SetVisible(false);
  SetBorderStyle(bsNone);
  SetFormStyle(AForm && AForm->FormStyle() == fsStayOnTop ? fsStayOnTop : fsNormal);
}

void TkxFormLayerWindow::CreateParams(TCreateParams& Params) {
  TForm::CreateParams(Params);
  // No task-bar entry of its own: it belongs to the form it surrounds.
  Params.ExStyle |= WS_EX_LAYERED | WS_EX_TOOLWINDOW;
  if (FLayerBorder && FLayerBorder->BorderRectEmpty()) Params.ExStyle |= WS_EX_TRANSPARENT;
}

bool TkxFormLayerWindow::MaySize() const {
  TkxVelara* v = FLayerBorder ? FLayerBorder->VLR : nullptr;
  return v && FForm && FLayerBorder->FData && FLayerBorder->FData->HitTestEnable && v->IsSizeable() &&
         !v->RollUpState() && v->WindowState() == wsNormal;
}

TkxFormLayerBorderHit TkxFormLayerWindow::HitTest(TPoint P) const {
  if (!FForm || !FLayerBorder) return kxflhNone;
  const int32_t L = FForm->Left(), T = FForm->Top(), W = FForm->Width(), H = FForm->Height();
  const int32_t ls = FLayerBorder->LeftSize, ts = FLayerBorder->TopSize, rs = FLayerBorder->RightSize,
                bs = FLayerBorder->BottomSize;
  auto sides = [&]() {
    if (L - ls <= P.x && P.x < L) return kxflhLeft;
    if (L + W < P.x && P.x <= L + W + rs) return kxflhRight;
    return kxflhNone;
  };
  switch (BorderType) {
    case kxflLeft:
      return P.x >= L - ls ? kxflhLeft : kxflhNone;
    case kxflRight:
      return P.x <= L + W + rs ? kxflhRight : kxflhNone;
    case kxflTop:
      if (InRect(L - ls, T - ts, L + kCornerDepth, T + kCornerDepth, P)) return kxflhTopLeft;
      if (InRect(L, T - ts, L + W, T, P)) return kxflhTop;
      if (InRect(L + W - kCornerDepth, T - ts, L + W + rs, T + kCornerDepth, P)) return kxflhTopRight;
      return P.y > T ? sides() : kxflhNone;
    case kxflBottom:
      if (InRect(L - ls, T + H - kCornerDepth, L + kCornerDepth, T + H + bs, P)) return kxflhBottomLeft;
      if (InRect(L, T + H, L + W, T + H + bs, P)) return kxflhBottom;
      if (InRect(L + W - kCornerDepth, T + H - kCornerDepth, L + W + rs, T + H + bs, P)) return kxflhBottomRight;
      return P.y < T + H ? sides() : kxflhNone;
  }
  return kxflhNone;
}

void TkxFormLayerWindow::WndProc(TMessage& Message) {
  if (Message.Msg == WM_MOUSEACTIVATE) {
    Message.Result = MA_NOACTIVATE;
    if (FLayerBorder && FLayerBorder->FData && FLayerBorder->FData->HitTestEnable) {
      FHitMode = HitTest(CursorPos());
      if (FHitMode != kxflhNone && FForm && !FForm->Active() && FForm->HandleAllocated())
        SetForegroundWindow(FForm->Handle());
    }
    return;
  }
  TForm::WndProc(Message);
}

void TkxFormLayerWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TForm::MouseDown(Button, Shift, X, Y);
  if (!MaySize()) return;
  FInProcessMessages = false;
  MousePos1 = MousePos2 = CursorPos();
  FDown = HitTest(MousePos1) != kxflhNone;
  // The drag goes on when the pointer leaves the thin window.
  if (FDown) SetCapture(Handle());
}

void TkxFormLayerWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TForm::MouseUp(Button, Shift, X, Y);
  if (FLayerBorder && FLayerBorder->VLR) FLayerBorder->VLR->FBorderLayerChangeSize = false;
  // A drag ends with the button whatever the form's state became meanwhile.
  if (FDown && GetCapture() == Handle()) ReleaseCapture();
  FDown = false;
  FInProcessMessages = false;
}

void TkxFormLayerWindow::MouseMove(TShiftState Shift, int X, int Y) {
  if (FInProcessMessages) {
    FInProcessMessages = false;
    MousePos1 = CursorPos();
    return;
  }
  TForm::MouseMove(Shift, X, Y);
  if (!FLayerBorder || !FLayerBorder->FData || !FLayerBorder->FData->HitTestEnable || !FForm) return;
  if (!MaySize()) {
    SetCursor(crDefault);
    return;
  }
  MousePos2 = CursorPos();
  const int32_t dx = MousePos2.x - MousePos1.x, dy = MousePos2.y - MousePos1.y;
  TkxVelara* v = FLayerBorder->VLR;
  if (!FDown) {
    v->FBorderLayerChangeSize = false;
    FHitMode = HitTest(MousePos2);
    switch (FHitMode) {
      case kxflhNone: SetCursor(crDefault); break;
      case kxflhLeft:
      case kxflhRight: SetCursor(crSizeWE); break;
      case kxflhTop:
      case kxflhBottom: SetCursor(crSizeNS); break;
      case kxflhTopLeft:
      case kxflhBottomRight: SetCursor(crSizeNWSE); break;
      case kxflhTopRight:
      case kxflhBottomLeft: SetCursor(crSizeNESW); break;
    }
  } else {
    v->FBorderLayerChangeSize = true;
    DragTo(dx, dy);
  }
  MousePos1 = MousePos2;
}

void TkxFormLayerWindow::DragTo(int32_t DX, int32_t DY) {
  TkxVelara* v = FLayerBorder->VLR;
  const int32_t L = FForm->Left(), T = FForm->Top(), W = FForm->Width(), H = FForm->Height();
  const bool left = FHitMode == kxflhLeft || FHitMode == kxflhTopLeft || FHitMode == kxflhBottomLeft;
  const bool right = FHitMode == kxflhRight || FHitMode == kxflhTopRight || FHitMode == kxflhBottomRight;
  const bool top = FHitMode == kxflhTop || FHitMode == kxflhTopLeft || FHitMode == kxflhTopRight;
  const bool bottom = FHitMode == kxflhBottom || FHitMode == kxflhBottomLeft || FHitMode == kxflhBottomRight;
  if ((left || right) ? DX == 0 && (!(top || bottom) || DY == 0) : DY == 0) return;
  auto clampW = [&](int32_t w) { return std::min(std::max(w, v->GetMinWidth()), v->GetMaxWidth()); };
  auto clampH = [&](int32_t h) { return std::min(std::max(h, v->GetMinHeight()), v->GetMaxHeight()); };
  int32_t nl = L, nt = T, nw = W, nh = H;
  if (right) nw = clampW(W + DX);
  if (left) {
    // Only while the right edge stays: a width held at its limit does not drag the form along.
    const int32_t w = clampW(W - DX);
    if (L + W == L + DX + w) {
      nw = w;
      nl = L + DX;
    }
  }
  if (bottom) nh = clampH(H + DY);
  if (top) {
    const int32_t h = clampH(H - DY);
    if (T + H == T + DY + h) {
      nh = h;
      nt = T + DY;
    }
  }
  if (nw == W && nh == H) return;
  FForm->SetBounds(nl, nt, nw, nh);
  MousePos1 = MousePos2;
  // The form and its border repaint during the drag; a move that comes in meanwhile only
  // moves the starting point. The flag goes with the pass, so no later move is lost.
  FInProcessMessages = true;
  if (Application) Application->ProcessMessages();
  FInProcessMessages = false;
}

// ---- the border ----------------------------------------------------------------------------------

TkxFormLayerBorder::TkxFormLayerBorder(TComponent* AOwner) : TComponent(AOwner) {
  VLR = dynamic_cast<TkxVelara*>(AOwner);
}

TkxFormLayerBorder::~TkxFormLayerBorder() {
  delete FFadeTimer;
  FFadeTimer = nullptr;
  FreeWindows();
}

bool TkxFormLayerBorder::BorderRectEmpty() const { return !FData || IsEmptyRect(FData->BorderRect); }

void TkxFormLayerBorder::InitFrame(TkxSkinData* ASkinData, TCustomForm* AForm) {
  FForm = AForm;
  FSD = ASkinData;
  FData = nullptr;
  if (ASkinData && !ASkinData->Empty && ASkinData->LayerFrame && ASkinData->LayerFrame->PictureIndex != -1)
    FData = ASkinData->LayerFrame.get();
  if (!FData) return;
  FSourceBitmap.reset();
  FSourceInActiveBitMap.reset();
  FCurrentAlphaBlendValue = FData->AlphaBlendValue;
  FCurrentInActiveAlphaBlendValue = FData->InActiveAlphaBlendValue;
  FSourceBitmap = MakeSource(ASkinData, FData->PictureIndex, FData->MaskPictureIndex);
  if (FData->InActivePictureIndex != -1)
    FSourceInActiveBitMap = MakeSource(ASkinData, FData->InActivePictureIndex, FData->InActiveMaskPictureIndex);
  // A record naming a picture the skin does not have draws nothing.
  if (!FSourceBitmap) {
    FData = nullptr;
    return;
  }
  const TRect& cl = FData->ClRect;
  const TRect& br = FData->BorderRect;
  if (IsEmptyRect(br)) {
    LeftSize = TopSize = RightSize = BottomSize = 0;
  } else {
    LeftSize = cl.left - br.left;
    TopSize = cl.top - br.top;
    RightSize = br.right - cl.right;
    BottomSize = br.bottom - cl.bottom;
  }
}

TRect TkxFormLayerBorder::OuterRect(int32_t L, int32_t T, int32_t W, int32_t H) const {
  if (!FData || !FSourceBitmap) return TRect{L, T, L + W, T + H};
  const TRect& cl = FData->ClRect;
  const int32_t x = L - cl.left, y = T - cl.top;
  return TRect{x, y, x + W + FSourceBitmap->Width() - RectWidth(cl), y + H + FSourceBitmap->Height() - RectHeight(cl)};
}

void TkxFormLayerBorder::BuildImages(int32_t W, int32_t H) {
  LeftImage.reset();
  TopImage.reset();
  RightImage.reset();
  BottomImage.reset();
  const TkxBitmap* s = !FActive && FSourceInActiveBitMap ? FSourceInActiveBitMap.get() : FSourceBitmap.get();
  if (!FData || !s) return;
  const TkxDataSkinLayerFrame& d = *FData;
  const int32_t sw = s->Width(), sh = s->Height();
  const int32_t th = std::max(d.LTPoint.y, d.RTPoint.y);
  const int32_t bh = sh - std::min(d.LBPoint.y, d.RBPoint.y);
  TopImage = MakeBand(*s, W, 0, th, d.LTPoint.x, d.RTPoint.x);
  BottomImage = MakeBand(*s, W, sh - bh, bh, d.LBPoint.x, d.RBPoint.x);
  const int32_t sideH = H - th - bh;
  if (sideH > 0) {
    LeftImage = MakeSide(*s, d.ClRect.left, sideH, TRect{0, th, d.ClRect.left, sh - bh});
    RightImage = MakeSide(*s, sw - d.ClRect.right, sideH, TRect{d.ClRect.right, th, sw, sh - bh});
  }
  for (auto* img : {&TopImage, &BottomImage, &LeftImage, &RightImage})
    if (*img) (*img)->CheckingAlphaBlend();
}

void TkxFormLayerBorder::FreeWindows() {
  for (TkxFormLayerWindow** w : {&LeftBorder, &RightBorder, &TopBorder, &BottomBorder}) {
    delete *w;
    *w = nullptr;
  }
}

uint8_t TkxFormLayerBorder::CurrentAlpha() const {
  return uint8_t(std::clamp(FActive ? FCurrentAlphaBlendValue : FCurrentInActiveAlphaBlendValue, 0, 255));
}

void TkxFormLayerBorder::PushImages() {
  const uint8_t a = CurrentAlpha();
  const std::pair<TkxFormLayerWindow*, TkxBitmap*> sides[] = {
      {LeftBorder, LeftImage.get()}, {RightBorder, RightImage.get()}, {TopBorder, TopImage.get()},
      {BottomBorder, BottomImage.get()}};
  for (auto [w, img] : sides)
    if (w && img) PushLayerImage(img, a, w);
}

void TkxFormLayerBorder::PlaceWindows(int32_t X, int32_t Y, int32_t AWidth, int32_t AHeight, bool AShow) {
  const int32_t th = TopImage ? TopImage->Height() : 0, bh = BottomImage ? BottomImage->Height() : 0;
  const int32_t rw = RightImage ? RightImage->Width() : 0;
  struct Place {
    TkxFormLayerWindow* W;
    TkxBitmap* Img;
    int32_t X, Y;
  } places[] = {{LeftBorder, LeftImage.get(), X, Y + th},
                {RightBorder, RightImage.get(), X + AWidth - rw, Y + th},
                {TopBorder, TopImage.get(), X, Y},
                {BottomBorder, BottomImage.get(), X, Y + AHeight - bh}};
  const uint8_t a = CurrentAlpha();
  for (const Place& p : places) {
    if (!p.W) continue;
    if (!p.Img) {
      // The size left this side without an image: it shows nothing rather than a stale one.
      SetWindowPos(p.W->Handle(), nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
      continue;
    }
    p.W->SetBounds(p.X, p.Y, p.Img->Width(), p.Img->Height());
    PushLayerImage(p.Img, a, p.W);
    SetWindowPos(p.W->Handle(), nullptr, p.X, p.Y, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE | (AShow ? 0 : SWP_NOZORDER));
  }
}

void TkxFormLayerBorder::Show(int32_t X, int32_t Y, int32_t AWidth, int32_t AHeight) {
  if (!FData) return;
  FWidth = AWidth;
  FHeight = AHeight;
  FVisible = true;
  BuildImages(AWidth, AHeight);
  FreeWindows();
  auto make = [&](std::unique_ptr<TkxBitmap>& Img, TkxFormLayerBorderType Type) -> TkxFormLayerWindow* {
    if (!Img) return nullptr;
    auto* w = new TkxFormLayerWindow(this, FForm);
    w->BorderType = Type;
    return w;
  };
  LeftBorder = make(LeftImage, kxflLeft);
  RightBorder = make(RightImage, kxflRight);
  TopBorder = make(TopImage, kxflTop);
  BottomBorder = make(BottomImage, kxflBottom);
  PlaceWindows(X, Y, AWidth, AHeight, true);
}

void TkxFormLayerBorder::Hide() {
  FVisible = false;
  if (FFadeTimer) FFadeTimer->SetEnabled(false);
  LeftImage.reset();
  TopImage.reset();
  RightImage.reset();
  BottomImage.reset();
  FreeWindows();
}

void TkxFormLayerBorder::SetBounds(int32_t X, int32_t Y, int32_t AWidth, int32_t AHeight) {
  if (!FData || !FVisible) return;
  FWidth = AWidth;
  FHeight = AHeight;
  BuildImages(AWidth, AHeight);
  PlaceWindows(X, Y, AWidth, AHeight, false);
}

void TkxFormLayerBorder::Draw(TCanvas* C, int32_t X, int32_t Y, int32_t AWidth, int32_t AHeight) {
  if (!FData || !C) return;
  BuildImages(AWidth, AHeight);
  const int32_t th = TopImage ? TopImage->Height() : 0;
  if (TopImage) TopImage->Draw(C, X, Y);
  if (BottomImage) BottomImage->Draw(C, X, Y + AHeight - BottomImage->Height());
  if (LeftImage) LeftImage->Draw(C, X, Y + th);
  if (RightImage) RightImage->Draw(C, X + AWidth - RightImage->Width(), Y + th);
}

void TkxFormLayerBorder::ShowWithForm() {
  if (!FData || !FForm) return;
  const TRect r = OuterRect(FForm->Left(), FForm->Top(), FForm->Width(), FForm->Height());
  Show(r.left, r.top, RectWidth(r), RectHeight(r));
}

void TkxFormLayerBorder::ShowWithFormAnimation() {
  if (!FData || !FForm) return;
  FFadeTarget = std::clamp(FCurrentAlphaBlendValue, 0, 255);
  FFadeStep = std::max(1, FFadeTarget / 15);
  FCurrentAlphaBlendValue = 0;
  ShowWithForm();
  // The first step at once, the others on the timer.
  FadeTick();
  if (FCurrentAlphaBlendValue >= FFadeTarget) return;
  if (!FFadeTimer) {
    FFadeTimer = new TTimer(this);
    FFadeTimer->SetEnabled(false);
    FFadeTimer->SetInterval(kFadeInterval);
    FFadeTimer->OnTimer = [this](TObject*) { FadeTick(); };
  }
  FFadeTimer->SetEnabled(true);
}

void TkxFormLayerBorder::FadeTick() {
  FCurrentAlphaBlendValue = std::min(FCurrentAlphaBlendValue + FFadeStep, FFadeTarget);
  SetAlphaBlend();
  if (FCurrentAlphaBlendValue >= FFadeTarget && FFadeTimer) FFadeTimer->SetEnabled(false);
}

void TkxFormLayerBorder::SetBoundsWithForm() {
  if (!FData || !FForm) return;
  SetBoundsWithForm3(FForm->Left(), FForm->Top(), FForm->Width(), FForm->Height());
}

void TkxFormLayerBorder::SetBoundsWithForm2(int32_t AW, int32_t AH) {
  if (!FData || !FForm) return;
  SetBoundsWithForm3(FForm->Left(), FForm->Top(), AW, AH);
}

void TkxFormLayerBorder::SetBoundsWithForm3(int32_t ALeft, int32_t ATop, int32_t AW, int32_t AH) {
  if (!FData) return;
  const TRect r = OuterRect(ALeft, ATop, AW, AH);
  SetBounds(r.left, r.top, RectWidth(r), RectHeight(r));
}

void TkxFormLayerBorder::MoveWithForm() {
  if (FForm) MoveWithForm2(FForm->Left(), FForm->Top());
}

void TkxFormLayerBorder::MoveWithForm2(int32_t ALeft, int32_t ATop) {
  if (!FData || !FVisible || !FForm) return;
  const TRect r = OuterRect(ALeft, ATop, FForm->Width(), FForm->Height());
  const int32_t th = TopImage ? TopImage->Height() : 0, bh = BottomImage ? BottomImage->Height() : 0;
  const int32_t rw = RightImage ? RightImage->Width() : 0;
  const int32_t w = FWidth, h = FHeight;
  const std::pair<TkxFormLayerWindow*, TPoint> places[] = {{LeftBorder, TPoint{r.left, r.top + th}},
                                                          {RightBorder, TPoint{r.left + w - rw, r.top + th}},
                                                          {TopBorder, TPoint{r.left, r.top}},
                                                          {BottomBorder, TPoint{r.left, r.top + h - bh}}};
  for (auto [win, p] : places)
    if (win) win->SetBounds(p.x, p.y, win->Width(), win->Height());
}

void TkxFormLayerBorder::SetAlphaBlend() {
  if (!FData || !FVisible) return;
  PushImages();
}

void TkxFormLayerBorder::SetAlphaBlend2() {
  if (!FData || !FVisible) return;
  SetAlphaBlend();
  for (TkxFormLayerWindow* w : {LeftBorder, RightBorder, TopBorder, BottomBorder})
    // Kept in their place in the z-order: raised, a deactivated form's border would cover the
    // form that took the activation.
    if (w)
      SetWindowPos(w->Handle(), nullptr, 0, 0, 0, 0,
                   SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
}

void TkxFormLayerBorder::CheckFormAlpha(int32_t AFormAlpha, bool AUpdate) {
  if (!FData) return;
  FCurrentAlphaBlendValue = int32_t(std::nearbyint(double(FData->AlphaBlendValue) * AFormAlpha / 255.0));
  FCurrentInActiveAlphaBlendValue = int32_t(std::nearbyint(double(FData->InActiveAlphaBlendValue) * AFormAlpha / 255.0));
  if (AUpdate) SetAlphaBlend();
}

void TkxFormLayerBorder::SetActive(bool AValue, bool AUpdate) {
  FActive = AValue;
  if (FData && FVisible && AUpdate) SetAlphaBlend2();
}
