#include "lib/controls/kxSkinCtrls.h"
#include "lib/graphics/kxPlainLook.h"

#include "classlib/graphics/ImageList.h"

using namespace win;

namespace {

TRect Moved(TRect R, int32_t DX, int32_t DY) { return TRect{R.left + DX, R.top + DY, R.right + DX, R.bottom + DY}; }

void FillFace(TBitmap* B) { PlainFill(B->Canvas(), TRect{0, 0, B->Width(), B->Height()}, kxPlain.Face); }

std::unique_ptr<TFont> NewDefaultFont() {
  auto f = std::make_unique<TFont>();
  f->SetName("Arial");
  f->SetHeight(14);
  return f;
}

}  // namespace

// ---- TkxSkinControlCommon -----------------------------------------------------------------------

TkxSkinControlCommon::~TkxSkinControlCommon() = default;

void TkxSkinControlCommon::SetHintImageList(TCustomImageList* Value) { FHintImageList.Set(Value); }

void TkxSkinControlCommon::PaintComposed(TCanvas* C, int32_t W, int32_t H, bool Skinned) {
  auto b = NewSkinImage(W, H);
  if (Skinned)
    CreateControlSkinImage(b.get());
  else
    CreateControlDefaultImage(b.get());
  C->Draw(0, 0, b.get());
}

void TkxSkinControlCommon::MouseEnterLeave(TControl* Control, uint32_t Msg) {
  if (Control->ComponentState().Contains(csDesigning)) return;
  const TNotifyEvent& event = Msg == CM_MOUSEENTER ? OnMouseEnter : OnMouseLeave;
  if (event) event(Control);
}

// ---- TkxSkinGeometry ----------------------------------------------------------------------------

int32_t TkxSkinGeometry::GetResizeMode() const {
  if (IsEmptyRect(SkinRect)) return -1;
  if (RBPt.x != 0 && RBPt.y != 0) return 1;
  if (RTPt.x != 0 || RTPt.y != 0) return 2;
  if (LBPt.x != 0 || LBPt.y != 0) return 3;
  return 0;
}

bool TkxSkinGeometry::ReadRecord(TkxSkinData* SD, int32_t Index) {
  if (!SD || Index < 0 || size_t(Index) >= SD->CtrlList.size()) return false;
  auto* r = dynamic_cast<TkxDataSkinCustomControl*>(SD->CtrlList[size_t(Index)].get());
  if (!r) {
    ResizeMode = 0;
    Picture = MaskPicture = nullptr;
    return false;
  }
  LTPt = r->LTPoint, RTPt = r->RTPoint, LBPt = r->LBPoint, RBPt = r->RBPoint;
  SkinRect = r->SkinRect;
  ClRect = r->ClRect;
  StretchEffect = r->StretchEffect;
  StretchType = r->StretchType;
  LeftStretch = r->LeftStretch, TopStretch = r->TopStretch;
  RightStretch = r->RightStretch, BottomStretch = r->BottomStretch;
  Picture = SkinActivePicture(SD, r->PictureIndex);
  MaskPicture = SkinActivePicture(SD, r->MaskPictureIndex);
  ResizeMode = GetResizeMode();
  // A record that names no picture, or a rectangle its picture does not hold, cannot be drawn.
  if (!Picture || ResizeMode == -1) return false;
  if (SkinRect.left < 0 || SkinRect.top < 0 || SkinRect.right > Picture->Width() ||
      SkinRect.bottom > Picture->Height())
    return false;
  // A mask smaller than the image would shape the window from pixels it does not have.
  if (MaskPicture && (MaskPicture->Width() < SkinRect.right || MaskPicture->Height() < SkinRect.bottom))
    MaskPicture = nullptr;
  return true;
}

void TkxSkinGeometry::CalcSkinSize(bool Skinned, int32_t& AWidth, int32_t& AHeight) {
  if (!Skinned || ResizeMode == -1) return;
  const int32_t dw = AWidth - RectWidth(SkinRect), dh = AHeight - RectHeight(SkinRect);
  switch (ResizeMode) {
    case 0:
      AWidth = RectWidth(SkinRect);
      AHeight = RectHeight(SkinRect);
      NewClRect = ClRect;
      break;
    case 1:
      NewLTPoint = LTPt;
      NewRTPoint = TPoint{RTPt.x + dw, RTPt.y};
      NewLBPoint = TPoint{LBPt.x, LBPt.y + dh};
      NewRBPoint = TPoint{RBPt.x + dw, RBPt.y + dh};
      NewClRect = TRect{ClRect.left, ClRect.top, ClRect.right + dw, ClRect.bottom + dh};
      break;
    case 2:
      AHeight = RectHeight(SkinRect);
      NewLTPoint = LTPt;
      NewRTPoint = TPoint{RTPt.x + dw, RTPt.y};
      NewClRect = TRect{ClRect.left, ClRect.top, ClRect.right + dw, ClRect.bottom};
      break;
    case 3:
      AWidth = RectWidth(SkinRect);
      NewLTPoint = LTPt;
      NewLBPoint = TPoint{LBPt.x, LBPt.y + dh};
      NewClRect = TRect{ClRect.left, ClRect.top, ClRect.right, ClRect.bottom + dh};
      break;
    default: break;
  }
}

void TkxSkinGeometry::SkinRectToControlRect(int32_t Width, int32_t Height, const TRect& ARect,
                                            TRect& AResult) const {
  const int32_t dw = Width - RectWidth(SkinRect), dh = Height - RectHeight(SkinRect);
  AResult = ARect;
  switch (ResizeMode) {
    case 1: {
      const int32_t sw = RectWidth(SkinRect), sh = RectHeight(SkinRect);
      const TRect lt{0, 0, LTPt.x, LTPt.y}, lb{0, LBPt.y, LBPt.x, sh};
      const TRect rt{RTPt.x, 0, sw, RTPt.y}, rb{RBPt.x, RBPt.y, sw, sh};
      if (RectInRect(ARect, lt)) return;
      if (RectInRect(ARect, rt)) { AResult = Moved(ARect, dw, 0); return; }
      if (RectInRect(ARect, lb)) { AResult = Moved(ARect, 0, dh); return; }
      if (RectInRect(ARect, rb)) { AResult = Moved(ARect, dw, dh); return; }
      const TPoint p1{ARect.left, ARect.top}, p2{ARect.right, ARect.bottom};
      if (IsPointInsideRect(lt, p1) && IsPointInsideRect(rb, p2)) {
        AResult.right += dw;
        AResult.bottom += dh;
      } else if (IsPointInsideRect(lt, p1) && IsPointInsideRect(rt, p2)) {
        AResult.right += dw;
      } else if (IsPointInsideRect(lb, p1) && IsPointInsideRect(rb, p2)) {
        AResult.right += dw;
        AResult = Moved(AResult, 0, dh);
      } else if (IsPointInsideRect(lt, p1) && IsPointInsideRect(lb, p2)) {
        AResult.bottom += dh;
      } else if (IsPointInsideRect(rt, p1) && IsPointInsideRect(rb, p2)) {
        AResult = Moved(AResult, dw, 0);
        AResult.bottom += dh;
      }
      break;
    }
    case 2:
      if (ARect.left <= LTPt.x && ARect.right >= RTPt.x)
        AResult.right += dw;
      else if (ARect.left >= RTPt.x && ARect.right > RTPt.x)
        AResult = Moved(ARect, dw, 0);
      break;
    case 3:
      if (ARect.top <= LTPt.y && ARect.bottom >= LBPt.y)
        AResult.bottom += dh;
      else if (ARect.top >= LBPt.y && ARect.bottom > LBPt.y)
        AResult = Moved(ARect, 0, dh);
      break;
    default: break;
  }
}

void TkxSkinGeometry::BuildImage(TBitmap* B, TBitmap* APicture, const TRect& ARect, int32_t Width,
                                 int32_t Height, bool DrawCentre) const {
  if (!APicture || APicture->Empty()) return;
  switch (ResizeMode) {
    case 0:
      B->SetSize(RectWidth(ARect), RectHeight(ARect));
      B->Canvas()->CopyRect(TRect{0, 0, RectWidth(ARect), RectHeight(ARect)}, APicture->Canvas(), ARect);
      break;
    case 1:
      BuildNinePartImage(LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect, B,
                         APicture, ARect, Width, Height, DrawCentre, LeftStretch, TopStretch, RightStretch,
                         BottomStretch, StretchEffect, StretchType);
      break;
    case 2:
      BuildHorzThreePartImage(LTPt.x, RectWidth(SkinRect) - RTPt.x, B, APicture, ARect, Width, Height, StretchEffect);
      break;
    case 3:
      BuildVertThreePartImage(LTPt.y, RectHeight(SkinRect) - LBPt.y, B, APicture, ARect, Width, Height,
                              StretchEffect);
      break;
    default: break;
  }
}

// ---- TkxSkinCustomParts -------------------------------------------------------------------------

TkxSkinCustomParts::TkxSkinCustomParts(TControl* Control, const TkxSkinBinding* Binding)
    : FDefaultFont(NewDefaultFont()), FControl(Control), FBinding(Binding) {
  FDefaultFont->OnChange = [this](TObject* Sender) { DefaultFontChange(Sender); };
}

TkxSkinCustomParts::~TkxSkinCustomParts() { FDefaultFont->OnChange = nullptr; }

void TkxSkinCustomParts::CalcSkinSize(int32_t& AWidth, int32_t& AHeight) {
  TkxSkinGeometry::CalcSkinSize(Skinned(), AWidth, AHeight);
}

void TkxSkinCustomParts::SetDefaultWidth(int32_t Value) {
  FDefaultWidth = Value;
  if (!Skinned() && Value > 0) FControl->SetWidth(Value);
}

void TkxSkinCustomParts::SetDefaultHeight(int32_t Value) {
  FDefaultHeight = Value;
  if (!Skinned() && Value > 0) FControl->SetHeight(Value);
}

void TkxSkinCustomParts::SetDefaultFont(TFont* Value) {
  FDefaultFont->Assign(Value);
  DefaultFontChanged();
}

void TkxSkinCustomParts::DefaultFontChange(TObject*) {
  DefaultFontChanged();
  if (!Skinned()) FControl->Repaint();
}

bool TkxSkinCustomParts::FitBoundsToSkin(int32_t& ATop, int32_t& AWidth, int32_t& AHeight) {
  const bool changed = Skinned() && (AWidth != FControl->Width() || AHeight != FControl->Height());
  if (changed) {
    CalcSkinSize(AWidth, AHeight);
    if (ResizeMode == 0) NewClRect = ClRect;
  }
  if (auto* host = dynamic_cast<TkxSkinControlHost*>(FControl->Parent()); host && host->AdjustControls()) {
    const TRect r = host->GetSkinClientRect();
    ATop = r.top + RectHeight(r) / 2 - AHeight / 2;
  }
  return changed;
}

void TkxSkinCustomParts::SkinChangeSize(int32_t& AWidth, int32_t& AHeight) {
  if (Skinned()) {
    CalcSkinSize(AWidth, AHeight);
    return;
  }
  if (FDefaultWidth > 0) AWidth = FDefaultWidth;
  if (FDefaultHeight > 0) AHeight = FDefaultHeight;
}

// ---- TkxSkinControl -----------------------------------------------------------------------------

TkxSkinControl::TkxSkinControl(TComponent* AOwner) : TCustomControl(AOwner), TkxSkinBinding(this, "") {}

TkxSkinControl::~TkxSkinControl() = default;

bool TkxSkinControl::FocusOnPress(const TMessage& Message) {
  if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) &&
      !ComponentState().Contains(csDesigning) && !Focused()) {
    FClicksDisabled = true;
    if (CanFocus()) SetFocus();
    FClicksDisabled = false;
    return Focused();
  }
  return !(Message.Msg == CN_COMMAND && FClicksDisabled);
}

void TkxSkinControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      FromWMPaint = true;
      try {
        TCustomControl::Dispatch(Message);
      } catch (...) {
        FromWMPaint = false;
        throw;
      }
      FromWMPaint = false;
      return;
    case WM_ERASEBKGND:
      // The off-screen image covers the whole control.
      Message.Result = 1;
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      TCustomControl::Dispatch(Message);
      MouseEnterLeave(this, Message.Msg);
      return;
    case KXM_PARENTBGCHANGED: CheckParentBackground(); return;
    default: TCustomControl::Dispatch(Message); return;
  }
}

void TkxSkinControl::GetSkinData() { LookupSkinIndex(); }

void TkxSkinControl::ChangeSkinData() {
  GetSkinData();
  Repaint();
}

void TkxSkinControl::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  GetSkinData();
  PaintComposed(Canvas(), Width(), Height(), FIndex != -1);
}

void TkxSkinControl::BroadcastParentBGChanged() {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (auto* w = dynamic_cast<TWinControl*>(c))
      SendMessage(w->Handle(), KXM_PARENTBGCHANGED, 0, 0);
    else if (dynamic_cast<TGraphicControl*>(c))
      c->Perform(KXM_PARENTBGCHANGED, 0, 0);
  }
}

// ---- TkxSkinCustomControl -----------------------------------------------------------------------

TkxSkinCustomControl::TkxSkinCustomControl(TComponent* AOwner)
    : TkxSkinControl(AOwner), TkxSkinCustomParts(this, this) {}

TkxSkinCustomControl::~TkxSkinCustomControl() {
  // The window owns the region it was given and frees it with itself.
  FRgn = nullptr;
}

void TkxSkinCustomControl::GetSkinData() {
  TkxSkinControl::GetSkinData();
  if (FIndex == -1) return;
  // A record that cannot be drawn leaves the control in its own look.
  if (!ReadRecord(SkinData(), FIndex)) FIndex = -1;
}

void TkxSkinCustomControl::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  GetSkinData();
  const bool changed = FitBoundsToSkin(ATop, AWidth, AHeight);
  TkxSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (changed) {
    SetControlRegion();
    Repaint();
  }
  if (FIndex != -1 && StretchEffect) BroadcastParentBGChanged();
}

void TkxSkinCustomControl::ChangeSkinData() {
  GetSkinData();
  int32_t w = Width(), h = Height();
  SkinChangeSize(w, h);
  const bool changed = FIndex != -1 && (w != Width() || h != Height());
  if (w != Width() || h != Height()) SetBounds(Left(), Top(), w, h);
  if (!changed) {
    SetControlRegion();
    Repaint();
  }
}

void TkxSkinCustomControl::SetControlRegion() {
  if (!Parent()) return;
  if (!MaskPicture || FIndex == -1) {
    if (FRgn) {
      // The window frees the region it held.
      SetWindowRgn(Handle(), nullptr, TRUE);
      FRgn = nullptr;
    }
    return;
  }
  CreateControlRegion();
}

void TkxSkinCustomControl::CreateControlRegion() {
  int32_t w = Width(), h = Height();
  CalcSkinSize(w, h);
  HRGN rgn = nullptr;
  switch (ResizeMode) {
    case 0: MaskToRegion(rgn, MaskPicture); break;
    case 1:
      RegionFromNinePartMask(rgn, LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint,
                             NewClRect, MaskPicture, Width(), Height());
      break;
    case 2: {
      const TPoint r{RTPt.x + Width() - RectWidth(SkinRect), RTPt.y};
      RegionFromNinePartMask(rgn, LTPt, RTPt, LTPt, RTPt, ClRect, LTPt, r, LTPt, r, NewClRect, MaskPicture, Width(),
                             Height());
      break;
    }
    case 3: {
      const TPoint b{LBPt.x, LBPt.y + Height() - RectHeight(SkinRect)};
      RegionFromNinePartMask(rgn, LTPt, LTPt, LBPt, LBPt, ClRect, LTPt, LTPt, b, b, NewClRect, MaskPicture, Width(),
                             Height());
      break;
    }
    default: break;  // no image, no shape
  }
  if (!rgn && !FRgn) return;
  if (SetWindowRgn(Handle(), rgn, TRUE))
    FRgn = rgn;
  else if (rgn)
    DeleteObject(rgn);
}

void TkxSkinCustomControl::CreateSkinImage(TBitmap* B, TBitmap* APicture, const TRect& ARect) {
  if (ResizeMode == 1 && FForceBackground) return;
  BuildImage(B, APicture, ARect, Width(), Height(), true);
}

void TkxSkinCustomControl::CreateControlSkinImage(TBitmap* B) { CreateSkinImage(B, Picture, SkinRect); }

void TkxSkinCustomControl::CreateControlDefaultImage(TBitmap* B) { FillFace(B); }

void TkxSkinCustomControl::Paint() {
  if (Width() < 1 || Height() < 1) return;
  GetSkinData();
  int32_t w = Width(), h = Height();
  CalcSkinSize(w, h);
  if (FIndex == -1 || !FForceBackground || ResizeMode != 1) {
    TkxSkinControl::Paint();
    return;
  }
  PaintForcedBackground();
}

void TkxSkinCustomControl::PaintForcedBackground() {
  TCanvas* cv = Canvas();
  const int32_t W = Width(), H = Height();
  auto top = NewSkinImage(0, 0), left = NewSkinImage(0, 0), right = NewSkinImage(0, 0), bottom = NewSkinImage(0, 0);
  SplitNinePartImage(LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect,
                     left.get(), top.get(), right.get(), bottom.get(), Picture, SkinRect, W, H, LeftStretch,
                     TopStretch, RightStretch, BottomStretch);
  CreateControlSkinImage(top.get());
  const int32_t w0 = RectWidth(ClRect), h0 = RectHeight(ClRect);
  // An empty client part has nothing to tile the centre with.
  if (FDrawbackground && w0 > 0 && h0 > 0 && !IsEmptyRect(NewClRect)) {
    auto tile = NewSkinImage(w0, h0);
    tile->Canvas()->CopyRect(TRect{0, 0, w0, h0}, Picture->Canvas(),
                             TRect{SkinRect.left + ClRect.left, SkinRect.top + ClRect.top,
                                   SkinRect.left + ClRect.right, SkinRect.top + ClRect.bottom});
    const int saved = SaveDC(cv->Handle());
    IntersectClipRect(cv->Handle(), NewClRect.left, NewClRect.top, NewClRect.right, NewClRect.bottom);
    const int32_t nw = RectWidth(NewClRect), nh = RectHeight(NewClRect);
    if (StretchEffect) {
      switch (StretchType) {
        case kxstFull: cv->StretchDraw(NewClRect, tile.get()); break;
        case kxstHorz: {
          auto strip = NewSkinImage(w0, nh);
          strip->Canvas()->StretchDraw(TRect{0, 0, w0, nh}, tile.get());
          for (int32_t i = 0; i <= nw / w0; ++i) cv->Draw(NewClRect.left + i * w0, NewClRect.top, strip.get());
          break;
        }
        case kxstVert: {
          auto strip = NewSkinImage(nw, h0);
          strip->Canvas()->StretchDraw(TRect{0, 0, nw, h0}, tile.get());
          for (int32_t j = 0; j <= nh / h0; ++j) cv->Draw(NewClRect.left, NewClRect.top + j * h0, strip.get());
          break;
        }
      }
    } else {
      for (int32_t i = 0; i <= nw / w0; ++i)
        for (int32_t j = 0; j <= nh / h0; ++j) cv->Draw(NewClRect.left + i * w0, NewClRect.top + j * h0, tile.get());
    }
    RestoreDC(cv->Handle(), saved);
  }
  if (!top->Empty()) cv->Draw(0, 0, top.get());
  if (!left->Empty()) cv->Draw(0, top->Height(), left.get());
  if (!right->Empty()) cv->Draw(W - right->Width(), top->Height(), right.get());
  if (!bottom->Empty()) cv->Draw(0, H - bottom->Height(), bottom.get());
}

// ---- TkxGraphicSkinControl ----------------------------------------------------------------------

TkxGraphicSkinControl::TkxGraphicSkinControl(TComponent* AOwner)
    : TGraphicControl(AOwner), TkxSkinBinding(this, "") {
  auto style = ControlStyle();
  style.Include(csOpaque);
  SetControlStyle(style);
}

TkxGraphicSkinControl::~TkxGraphicSkinControl() = default;

void TkxGraphicSkinControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      TGraphicControl::Dispatch(Message);
      MouseEnterLeave(this, Message.Msg);
      return;
    default: TGraphicControl::Dispatch(Message); return;
  }
}

void TkxGraphicSkinControl::GetSkinData() { LookupSkinIndex(); }

void TkxGraphicSkinControl::ChangeSkinData() {
  GetSkinData();
  Repaint();
}

void TkxGraphicSkinControl::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  GetSkinData();
  PaintComposed(Canvas(), Width(), Height(), FIndex != -1);
}

// ---- TkxGraphicSkinCustomControl ----------------------------------------------------------------

TkxGraphicSkinCustomControl::TkxGraphicSkinCustomControl(TComponent* AOwner)
    : TkxGraphicSkinControl(AOwner), TkxSkinCustomParts(this, this) {}

TkxGraphicSkinCustomControl::~TkxGraphicSkinCustomControl() = default;

void TkxGraphicSkinCustomControl::GetSkinData() {
  TkxGraphicSkinControl::GetSkinData();
  if (FIndex == -1) return;
  if (!ReadRecord(SkinData(), FIndex)) FIndex = -1;
  MaskPicture = nullptr;  // a windowless control has no shape
}

void TkxGraphicSkinCustomControl::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  GetSkinData();
  const bool changed = FitBoundsToSkin(ATop, AWidth, AHeight);
  TkxGraphicSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (changed) Repaint();
}

void TkxGraphicSkinCustomControl::ChangeSkinData() {
  GetSkinData();
  int32_t w = Width(), h = Height();
  SkinChangeSize(w, h);
  const bool changed = FIndex != -1 && (w != Width() || h != Height());
  if (w != Width() || h != Height()) SetBounds(Left(), Top(), w, h);
  if (!changed) Repaint();
}

void TkxGraphicSkinCustomControl::CreateSkinImage(TBitmap* B, TBitmap* APicture, const TRect& ARect) {
  BuildImage(B, APicture, ARect, Width(), Height(), true);
}

void TkxGraphicSkinCustomControl::CreateControlSkinImage(TBitmap* B) { CreateSkinImage(B, Picture, SkinRect); }

void TkxGraphicSkinCustomControl::CreateControlDefaultImage(TBitmap* B) { FillFace(B); }
