// Frame geometry and non-client painting of the skinned form: the skin's frame picture fitted to
// the form's size (corner points moved, objects placed, four strips painted, the window region
// cut from the mask), the plain default frame without a skin, the client backgrounds and the
// form's small icon.
#include <memory>

#include "classlib/Forms.h"
#include "lib/controls/kxSkinCtrls.h"
#include "lib/forms/kxFrameObjects.h"
#include "lib/forms/kxVelara.h"
#include "lib/graphics/kxEffectBmp.h"
#include "lib/graphics/kxUtils.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"

using namespace win;

namespace {

bool SkinLoaded(const TkxSkinData* SD) { return SD && !SD->Empty; }

bool IsToolWindowStyle(TFormBorderStyle BS) { return BS == bsToolWindow || BS == bsSizeToolWin; }

bool PtIn(const TRect& R, TPoint P) { return P.x >= R.left && P.y >= R.top && P.x < R.right && P.y < R.bottom; }

// R lies wholly inside Outer (both ends of each side included).
bool Inside(const TRect& R, const TRect& Outer) {
  return R.left >= Outer.left && R.top >= Outer.top && R.right <= Outer.right && R.bottom <= Outer.bottom;
}

TRect Moved(TRect R, int32_t dx, int32_t dy) {
  OffsetRect(&R, dx, dy);
  return R;
}

// The object a caption button of the given command is: a standard button or an animate object.
bool HasCommand(TkxActiveSkinObject* O, TkxStdCommand Command, bool AnimateToo) {
  if (auto* b = dynamic_cast<TkxSkinStdButtonObject*>(O)) return b->Command == Command;
  if (!AnimateToo) return false;
  if (auto* a = dynamic_cast<TkxSkinAnimateObject*>(O)) return a->Command == Command;
  return false;
}

bool IsSysMenuButton(TkxActiveSkinObject* O) {
  auto* b = dynamic_cast<TkxSkinStdButtonObject*>(O);
  return b && b->Command == cmSysMenu;
}

TkxSkinCaptionObject* FirstCaption(const std::vector<TkxActiveSkinObject*>& List) {
  for (auto* o : List)
    if (auto* c = dynamic_cast<TkxSkinCaptionObject*>(o)) return c;
  return nullptr;
}

std::unique_ptr<TBitmap> NewStrip() {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  return b;
}

void ApplyInActiveEffect(TkxEffectBmp& E, TkxInActiveEffect Effect) {
  switch (Effect) {
    case ieBrightness: E.ChangeBrightness(0.5); break;
    case ieDarkness: E.ChangeDarkness(0.3); break;
    case ieGrayScale: E.GrayScale(); break;
    case ieNoise: E.AddMonoNoise(50); break;
    case ieSplitBlur: E.SplitBlur(1); break;
    case ieInvert: E.Invert(); break;
  }
}

// A region from the black pixels of a strip at an offset; nullptr for an empty strip.
HRGN StripRegion(TBitmap* Strip, int32_t X, int32_t Y) {
  if (!Strip || Strip->Empty()) return nullptr;
  std::vector<uint8_t> data;
  const int32_t size = RegionFromMask(Strip, X, Y, data);
  if (size == 0) return nullptr;
  return ExtCreateRegion(nullptr, DWORD(size), reinterpret_cast<const RGNDATA*>(data.data()));
}

void UniteInto(HRGN Dest, HRGN Src) {
  if (!Src) return;
  CombineRgn(Dest, Dest, Src, RGN_OR);
  DeleteObject(Src);
}

// A canvas over a DC it does not own.
class TDCCanvas {
public:
  explicit TDCCanvas(HDC DC) { FCanvas.SetHandle(DC); }
  ~TDCCanvas() { FCanvas.SetHandle(nullptr); }
  TCanvas* operator->() { return &FCanvas; }
  TCanvas* Get() { return &FCanvas; }

private:
  TCanvas FCanvas;
};

}  // namespace

// ---- geometry ------------------------------------------------------------------------------------

int32_t TkxVelara::DefaultCaptionHeight() const {
  return FForm && IsToolWindowStyle(FForm->BorderStyle()) ? 15 : 19;
}

int32_t TkxVelara::DefaultButtonSize() const {
  return FForm && IsToolWindowStyle(FForm->BorderStyle()) ? 13 : 17;
}

void TkxVelara::TakeFormSize() {
  if (!FForm) return;
  if (FFormWidth == 0) FFormWidth = FForm->Width();
  if (FFormHeight == 0) FFormHeight = FForm->Height();
}

void TkxVelara::CalcSkinRects() {
  if (!SkinLoaded(FSD)) return;
  TakeFormSize();
  const int32_t dx = FFormWidth - FSD->FPicture->Width();
  const int32_t dy = FFormHeight - FSD->FPicture->Height();
  NewLTPoint = FSD->LTPoint;
  NewRTPoint = TPoint{FSD->RTPoint.x + dx, FSD->RTPoint.y};
  NewLBPoint = TPoint{FSD->LBPoint.x, FSD->LBPoint.y + dy};
  NewRBPoint = TPoint{FSD->RBPoint.x + dx, FSD->RBPoint.y + dy};
  NewClRect = TRect{FSD->ClRect.left, FSD->ClRect.top, FSD->ClRect.right + dx, FSD->ClRect.bottom + dy};
  NewCaptionRect = FSD->CaptionRect;
  if (!IsRectEmpty(&NewCaptionRect)) NewCaptionRect.right += dx;
  NewButtonsRect = FSD->ButtonsRect;
  NewButtonsInLeft = FSD->CapButtonsInLeft;
  // Buttons drawn in the picture's right half stay with the right edge.
  if (!IsRectEmpty(&NewButtonsRect) && FSD->FPicture->Width() / 2 < NewButtonsRect.left)
    OffsetRect(&NewButtonsRect, dx, 0);
  NewButtonsOffset = FSD->ButtonsOffset;
  NewHitTestLTPoint = FSD->HitTestLTPoint;
  NewHitTestRTPoint = TPoint{FSD->HitTestRTPoint.x + dx, FSD->HitTestRTPoint.y};
  NewHitTestLBPoint = TPoint{FSD->HitTestLBPoint.x, FSD->HitTestLBPoint.y + dy};
  NewHitTestRBPoint = TPoint{FSD->HitTestRBPoint.x + dx, FSD->HitTestRBPoint.y + dy};
  NewMaskRectArea = TRect{FSD->MaskRectArea.left, FSD->MaskRectArea.top, FSD->MaskRectArea.right + dx,
                          FSD->MaskRectArea.bottom + dy};
}

TRect TkxVelara::MapSkinRect(const TRect& R) const {
  if (!SkinLoaded(FSD)) return R;
  const int32_t pw = FSD->FPicture->Width(), ph = FSD->FPicture->Height();
  const TPoint &LT = FSD->LTPoint, &RT = FSD->RTPoint, &LB = FSD->LBPoint, &RB = FSD->RBPoint;
  const TRect lt{0, 0, LT.x, LT.y}, rt{RT.x, 0, pw, RT.y}, lb{0, LB.y, LB.x, ph}, rb{RB.x, RB.y, pw, ph};
  const int32_t dx = NewRBPoint.x - RB.x, dy = NewRBPoint.y - RB.y;
  const TPoint tl{R.left, R.top}, br{R.right, R.bottom};
  TRect m = R;
  if (Inside(R, lt)) return m;
  if (Inside(R, rt)) return Moved(m, dx, 0);
  if (Inside(R, lb)) return Moved(m, 0, dy);
  if (Inside(R, rb)) return Moved(m, dx, dy);
  if (PtIn(lt, tl) && PtIn(rb, br)) {
    m.right += dx;
    m.bottom += dy;
  } else if (PtIn(lt, tl) && PtIn(rt, br)) {
    m.right += dx;
  } else if (PtIn(lb, tl) && PtIn(rb, br)) {
    m.right += dx;
    OffsetRect(&m, 0, dy);
  } else if (PtIn(lt, tl) && PtIn(lb, br)) {
    m.bottom += dy;
  } else if (PtIn(rt, tl) && PtIn(rb, br)) {
    OffsetRect(&m, dx, 0);
    m.bottom += dy;
  }
  return m;
}

void TkxVelara::CalcObjectRects() {
  for (auto* o : ObjectList)
    if (!o->SkinRectInAPicture) o->ObjectRect = MapSkinRect(o->SkinRect);

  TRect area;
  if (!IsRectEmpty(&NewButtonsRect))
    area = NewButtonsRect;
  else if (!IsRectEmpty(&NewCaptionRect))
    area = NewCaptionRect;
  else
    return;
  const int32_t top = area.top;

  auto find = [&](TkxStdCommand Command) -> TkxActiveSkinObject* {
    for (auto* o : ObjectList)
      if (o->Visible && o->SkinRectInAPicture && HasCommand(o, Command, true)) return o;
    return nullptr;
  };
  auto sizeOf = [&](TkxActiveSkinObject* o, int32_t& w, int32_t& h) {
    if (IsSysMenuButton(o) && FShowIcon) {
      GetSmallIconSize(w, h);
      return;
    }
    w = o->SkinRect.right - o->SkinRect.left;
    h = o->SkinRect.bottom - o->SkinRect.top;
  };
  static constexpr TkxStdCommand kOrder[] = {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray};
  // The buttons in their order, then every default-command object in list order.
  std::vector<TkxActiveSkinObject*> row;
  for (TkxStdCommand c : kOrder)
    if (auto* o = find(c)) row.push_back(o);
  for (auto* o : ObjectList)
    if (o->Visible && o->SkinRectInAPicture && HasCommand(o, cmDefault, true)) row.push_back(o);
  TkxSkinCaptionObject* caption = FirstCaption(ObjectList);
  const bool noButtonsRect = IsRectEmpty(&NewButtonsRect);

  int32_t w = 0, h = 0;
  if (!NewButtonsInLeft) {
    int32_t x = area.right;
    for (auto* o : row) {
      sizeOf(o, w, h);
      o->ObjectRect = TRect{x - w, top, x, top + h};
      x -= NewButtonsOffset + w;
    }
    if (noButtonsRect && caption) caption->ObjectRect.right = x + NewButtonsOffset;
    x = NewCaptionRect.left;
    if (auto* o = find(cmSysMenu)) {
      sizeOf(o, w, h);
      const int32_t t = NewCaptionRect.top + (NewCaptionRect.bottom - NewCaptionRect.top) / 2 - h / 2;
      o->ObjectRect = TRect{x, t, x + w, t + h};
      x += NewButtonsOffset + w;
      if (caption) caption->ObjectRect.left = x - NewButtonsOffset;
    }
  } else {
    int32_t x = area.left;
    for (auto* o : row) {
      sizeOf(o, w, h);
      o->ObjectRect = TRect{x, top, x + w, top + h};
      x += NewButtonsOffset + w;
    }
    if (noButtonsRect) {
      if (auto* o = find(cmSysMenu)) {
        sizeOf(o, w, h);
        o->ObjectRect = TRect{x, top, x + w, top + h};
        x += NewButtonsOffset + w;
      }
      if (caption) caption->ObjectRect.left = x + NewButtonsOffset;
    }
  }
}

void TkxVelara::CalcDefRects() {
  TakeFormSize();
  const int32_t s = DefaultButtonSize();
  // The caption's bottom is the caption height, not 3 + height: rows 19 to 21 of the bar belong
  // to no part and answer as frame objects.
  NewDefCaptionRect = TRect{3, 3, FFormWidth - 3, DefaultCaptionHeight()};
  auto find = [&](TkxStdCommand Command) -> TkxActiveSkinObject* {
    for (auto* o : ObjectList)
      if (o->Visible && o->SkinRectInAPicture && HasCommand(o, Command, false)) return o;
    return nullptr;
  };
  int32_t x = FFormWidth - 3;
  for (TkxStdCommand c : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray}) {
    if (auto* o = find(c)) {
      o->ObjectRect = TRect{x - s, 4, x, 4 + s};
      x -= s;
    }
  }
  NewDefCaptionRect.right = x;
  x = NewDefCaptionRect.left;
  if (auto* o = find(cmSysMenu)) {
    int32_t w = s, h = s;
    if (FShowIcon) GetSmallIconSize(w, h);
    o->ObjectRect = TRect{x, 4, x + w, 4 + h};
    NewDefCaptionRect.left = x + w;
  }
}

// ---- non-client painting -------------------------------------------------------------------------

void TkxVelara::PaintNCSkin(HDC ADC, bool AUseExternalDC) {
  if (!FForm || !SkinLoaded(FSD) || FSD->FPicture->Empty()) return;
  TakeFormSize();
  if (FFormWidth < GetMinWidth() || FFormHeight < GetMinHeight()) return;
  CalcSkinRects();
  CalcObjectRects();

  const bool active = GetFormActive();
  TBitmap* picture = FSD->FPicture.get();
  if (!active && FSD->FInActivePicture && !FSD->FInActivePicture->Empty()) picture = FSD->FInActivePicture.get();
  auto left = NewStrip(), top = NewStrip(), right = NewStrip(), bottom = NewStrip();
  SplitNinePartImage(FSD->LTPoint, FSD->RTPoint, FSD->LBPoint, FSD->RBPoint, FSD->ClRect, NewLTPoint, NewRTPoint,
                     NewLBPoint, NewRBPoint, NewClRect, left.get(), top.get(), right.get(), bottom.get(), picture,
                     TRect{0, 0, picture->Width(), picture->Height()}, FFormWidth, FFormHeight, FSD->LeftStretch,
                     FSD->TopStretch, FSD->RightStretch, FSD->BottomStretch);

  for (auto* o : ObjectList) {
    if (!o->Visible) continue;
    if (o->ObjectRect.bottom <= NewClRect.top) {
      if (!top->Empty()) o->Draw(top->Canvas(), false);
    } else if (!bottom->Empty()) {
      const TRect keep = o->ObjectRect;
      OffsetRect(&o->ObjectRect, 0, -NewClRect.bottom);
      o->Draw(bottom->Canvas(), false);
      o->ObjectRect = keep;
    }
  }

  HWND wnd = FForm->Handle();
  HDC dc = AUseExternalDC ? ADC : GetWindowDC(wnd);
  if (!dc) return;
  const int saved = SaveDC(dc);
  if (NewClRect.bottom > NewClRect.top)
    ExcludeClipRect(dc, NewClRect.left, NewClRect.top, NewClRect.right, NewClRect.bottom);

  const int32_t topH = top->Empty() ? 0 : top->Height();
  struct Piece {
    TBitmap* B;
    int32_t X, Y;
  };
  const Piece pieces[4] = {{top.get(), 0, 0},
                           {left.get(), 0, topH},
                           {right.get(), FFormWidth - right->Width(), topH},
                           {bottom.get(), 0, FFormHeight - bottom->Height()}};
  const bool effect = !active && FSD->AutoRenderingInActiveImage;
  for (const Piece& p : pieces) {
    if (p.B->Empty()) continue;
    if (effect) {
      auto e = TkxEffectBmp::CreateFromhWnd(p.B->Handle());
      ApplyInActiveEffect(*e, FSD->InActiveEffect);
      e->Draw(dc, p.X, p.Y);
    } else {
      BitBlt(dc, p.X, p.Y, p.B->Width(), p.B->Height(), p.B->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
  }
  RestoreDC(dc, saved);
  if (!AUseExternalDC) ReleaseDC(wnd, dc);
}

void TkxVelara::PaintNCDefault(HDC ADC, bool AUseExternalDC) {
  if (!FForm) return;
  if (FSD && FSD->ChangeSkinDataProcess) return;
  TakeFormSize();
  CalcDefRects();
  const int32_t capH = DefaultCaptionHeight();
  if (FFormWidth <= 6 || FFormHeight <= 0) return;

  TBitmap cap;
  cap.SetPixelFormat(pf24bit);
  cap.SetSize(FFormWidth - 6, capH);
  TCanvas* c = cap.Canvas();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(TRect{0, 0, cap.Width(), capH});
  bool highlight = true;
  for (int32_t y = 2; y <= capH - 4; ++y) {
    c->Pen()->SetColor(highlight ? clBtnHighlight : clBtnShadow);
    c->MoveTo(NewDefCaptionRect.left - 1, y);
    c->LineTo(NewDefCaptionRect.right - 6, y);
    highlight = !highlight;
  }

  const bool active = GetFormActive();
  if (TFont* f = active ? FDefCaptionFont : FDefInActiveCaptionFont) c->SetFont(f);
  if (FSD && FSD->ResourceStrData()) c->Font()->SetCharset(FSD->ResourceStrData()->CharSet());

  std::string text = FForm->Caption();
  if (FMDIChildMaximized) {
    if (TkxVelara* child = FindMaximizedChildSkinForm())
      if (child->Form()) text += " - [" + child->Form()->Caption() + "]";
  }
  const int32_t L = NewDefCaptionRect.left - 3, R = NewDefCaptionRect.right - 3;
  if (OnCaptionPaint) {
    OnCaptionPaint(c, TRect{L, 0, R, capH}, active);
  } else if (!text.empty()) {
    FitTextToWidthW(c, text, R - L);
    const int32_t x = L + (R - L) / 2 - (TextWidthW(c, text) + 5) / 2;
    const int32_t y = capH / 2 - TextHeightW(c, text) / 2;
    TRect tr{x, y, x, y};
    DrawWideText(c, text, tr, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    TRect back = tr;
    InflateRect(&back, 2, 2);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(back);
    c->Brush()->SetStyle(bsClear);
    DrawWideText(c, text, tr, DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    c->Brush()->SetStyle(bsSolid);
  }

  if (ObjectList.empty() && !FSkinSupport) CreateDefaultObjects();
  if (!ObjectList.empty()) {
    CalcDefRects();
    for (auto* o : ObjectList) {
      if (!o->Visible) continue;
      const TRect keep = o->ObjectRect;
      OffsetRect(&o->ObjectRect, -3, -3);
      o->Draw(c, true);
      o->ObjectRect = keep;
    }
  }

  HWND wnd = FForm->Handle();
  HDC dc = AUseExternalDC ? ADC : GetWindowDC(wnd);
  if (!dc) return;
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, 3, capH + 3, FFormWidth - 3, FFormHeight - 3);
  BitBlt(dc, 3, 3, cap.Width(), cap.Height(), c->Handle(), 0, 0, SRCCOPY);
  {
    TDCCanvas dcc(dc);
    TRect r{0, 0, FFormWidth, FFormHeight};
    Frame3D(dcc.Get(), r, cl3DLight, cl3DDkShadow, 1);
    Frame3D(dcc.Get(), r, clBtnHighlight, clBtnShadow, 1);
    Frame3D(dcc.Get(), r, clBtnFace, clBtnFace, 1);
  }
  RestoreDC(dc, saved);
  if (!AUseExternalDC) ReleaseDC(wnd, dc);
}

void TkxVelara::DrawSkinObject(TkxActiveSkinObject* AObject) {
  if (!AObject || !FForm || !FForm->HandleAllocated()) return;
  if (FForm->FormStyle() == fsMDIChild && FWindowState == wsMaximized) return;
  if (FForm->BorderStyle() == bsNone) return;
  HWND wnd = FForm->Handle();
  HDC dc = GetWindowDC(wnd);
  if (!dc) return;
  {
    TDCCanvas c(dc);
    AObject->Draw(c.Get(), true);
  }
  ReleaseDC(wnd, dc);
}

// ---- client backgrounds --------------------------------------------------------------------------

void TkxVelara::PaintLogo(TCanvas* C) {
  if (!FLogoBitMap || FLogoBitMap->Empty() || !FForm) return;
  if (FLogoBitMap->Transparent() != LogoBitMapTransparent) FLogoBitMap->SetTransparent(LogoBitMapTransparent);
  int32_t x = FForm->ClientWidth() / 2 - FLogoBitMap->Width() / 2;
  int32_t y = FForm->ClientHeight() / 2 - FLogoBitMap->Height() / 2;
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  C->Draw(x, y, FLogoBitMap);
}

void TkxVelara::PaintBGPicture(HDC DC, TBitmap* B, bool Stretch, TkxStretchType Type) {
  TDCCanvas c(DC);
  TakeFormSize();
  const int32_t cw = FForm->ClientWidth(), ch = FForm->ClientHeight();
  const int32_t w = B->Width(), h = B->Height();
  if (cw > 0 && ch > 0 && w > 0 && h > 0) {
    if (Stretch) {
      switch (Type) {
        case kxstFull: c->StretchDraw(TRect{0, 0, FFormWidth, FFormHeight}, B); break;
        case kxstHorz:
          for (int32_t i = 0; i <= FFormWidth / w; ++i) c->StretchDraw(TRect{i * w, 0, i * w + w, FFormHeight}, B);
          break;
        case kxstVert:
          for (int32_t i = 0; i <= FFormHeight / h; ++i) c->StretchDraw(TRect{0, i * h, FFormWidth, i * h + h}, B);
          break;
      }
    } else {
      for (int32_t i = 0; i <= cw / w; ++i)
        for (int32_t j = 0; j <= ch / h; ++j) c->Draw(i * w, j * h, B);
    }
  }
  PaintLogo(c.Get());
}

void TkxVelara::PaintBG(HDC DC) {
  if (!DC || !FForm || !SkinLoaded(FSD)) return;
  const TRect& cl = FSD->ClRect;
  if (IsRectEmpty(&cl)) {
    TDCCanvas c(DC);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect{0, 0, FForm->ClientWidth(), FForm->ClientHeight()});
    return;
  }
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(cl.right - cl.left, cl.bottom - cl.top);
  b.Canvas()->CopyRect(TRect{0, 0, b.Width(), b.Height()}, FSD->FPicture->Canvas(), cl);
  PaintBGPicture(DC, &b, FSD->StretchEffect, FSD->StretchType);
}

void TkxVelara::PaintBG2(HDC DC) {
  if (!DC || !FForm || !SkinLoaded(FSD)) return;
  const int32_t i = FSD->BGPictureIndex;
  if (i < 0 || size_t(i) >= FSD->FActivePictures.size()) return;
  PaintBGPicture(DC, FSD->FActivePictures[size_t(i)].get(), FSD->StretchEffect, FSD->StretchType);
}

void TkxVelara::PaintBG3(HDC DC) {
  if (!DC || !FForm || !SkinLoaded(FSD)) return;
  const int32_t i = FSD->MDIBGPictureIndex;
  if (i < 0 || size_t(i) >= FSD->FActivePictures.size()) return;
  PaintBGPicture(DC, FSD->FActivePictures[size_t(i)].get(), FSD->MDIBGStretchEffect, FSD->MDIBGStretchType);
}

void TkxVelara::PaintBGDefault(HDC DC) {
  if (!DC || !FForm) return;
  TDCCanvas c(DC);
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(TRect{0, 0, FForm->ClientWidth(), FForm->ClientHeight()});
  PaintLogo(c.Get());
}

void TkxVelara::PaintMDIBGDefault(HDC DC) {
  if (!DC || !FForm) return;
  TDCCanvas c(DC);
  c->Brush()->SetColor(clAppWorkSpace);
  c->FillRect(TRect{0, 0, FForm->ClientWidth(), FForm->ClientHeight()});
  PaintLogo(c.Get());
}

// ---- frame updates and the window region ---------------------------------------------------------

void TkxVelara::UpdateFrame(bool AUpdate) {
  if (ComponentState().Contains(csDesigning) || !FForm || !SkinLoaded(FSD)) return;
  if (FSkinnableForm) {
    CalcSkinRects();
    if (AUpdate) CalcObjectRects();
  }
  UpdateWindowRegion(AUpdate);
  if (!FForm->HandleAllocated()) return;
  if (!FRgn && FSkinnableForm && FForm->BorderStyle() != bsNone) SendMessage(FForm->Handle(), WM_NCPAINT, 1, 0);
  if (FSkinSupport && FSD->StretchEffect) {
    FForm->Invalidate();
    for (int i = 0; i < FForm->ControlCount(); ++i)
      if (auto* w = dynamic_cast<TWinControl*>(FForm->Controls(i)); w && w->HandleAllocated())
        SendMessage(w->Handle(), KXM_PARENTBGCHANGED, 0, 0);
  }
}

void TkxVelara::SetFormRegion(HRGN Rgn) {
  // The window owns the region it is given and frees the one it held.
  if (FForm && FForm->HandleAllocated()) {
    SetWindowRgn(FForm->Handle(), Rgn, TRUE);
    FRgn = Rgn;
  } else {
    if (Rgn) DeleteObject(Rgn);
    FRgn = nullptr;
  }
}

void TkxVelara::UpdateWindowRegion(bool AUpdate) {
  if (!FForm) return;
  TakeFormSize();
  if (!FSkinnableForm || FForm->BorderStyle() == bsNone) {
    if (FRgn) SetFormRegion(nullptr);
    return;
  }
  const bool skin = SkinLoaded(FSD);
  const bool maxChild = FForm->FormStyle() == fsMDIChild && FWindowState == wsMaximized;
  if (!skin || FSD->FMask->Empty() || maxChild) {
    SetFormRegion(CreateRectRgn(0, 0, FFormWidth, FFormHeight));
    if (!skin)
      for (TBitmap* b : {RMTop, RMBottom, RMLeft, RMRight})
        if (b) b->SetSize(0, 0);
    return;
  }
  TBitmap* mask = FSD->FMask.get();
  if (!AUpdate) {
    HRGN rgn = StripRegion(mask, 0, 0);
    SetFormRegion(rgn);
    return;
  }
  for (TBitmap** b : {&RMTop, &RMBottom, &RMLeft, &RMRight}) {
    if (!*b) *b = new TBitmap;
    (*b)->SetPixelFormat(pf24bit);
    (*b)->SetSize(0, 0);
  }
  CalcSkinRects();
  SplitNinePartMask(FSD->LTPoint, FSD->RTPoint, FSD->LBPoint, FSD->RBPoint, FSD->MaskRectArea, NewLTPoint,
                    NewRTPoint, NewLBPoint, NewRBPoint, NewMaskRectArea, mask, RMTop, RMLeft, RMRight, RMBottom,
                    FFormWidth, FFormHeight);
  const TRect& a = NewMaskRectArea;
  HRGN rgn = CreateRectRgn(a.left, a.top, a.right, a.bottom);
  UniteInto(rgn, StripRegion(RMTop, 0, 0));
  UniteInto(rgn, StripRegion(RMBottom, 0, a.bottom));
  UniteInto(rgn, StripRegion(RMLeft, 0, a.top));
  UniteInto(rgn, StripRegion(RMRight, a.right, a.top));
  SetFormRegion(rgn);
}

bool TkxVelara::PointInFormMask(TPoint P) {
  const TRect& a = NewMaskRectArea;
  if (PtIn(a, P)) return true;
  auto black = [&](TBitmap* B, int32_t x, int32_t y) {
    if (!B || B->Empty() || x < 0 || y < 0 || x >= B->Width() || y >= B->Height()) return false;
    return (ColorToRGB(B->Canvas()->Pixels(x, y)) & 0xFFFFFF) == (ColorToRGB(BlackColor) & 0xFFFFFF);
  };
  if (P.y <= a.top) return black(RMTop, P.x, P.y);
  if (P.y >= a.bottom) return black(RMBottom, P.x, P.y - a.bottom);
  if (P.x <= a.left) return black(RMLeft, P.x, P.y - a.top);
  return black(RMRight, P.x - a.right, P.y - a.top);
}

// ---- the small icon -------------------------------------------------------------------------------

void TkxVelara::GetSmallIconSize(int32_t& W, int32_t& H) {
  W = GetSystemMetrics(SM_CXSMICON);
  H = GetSystemMetrics(SM_CYSMICON);
  if (W == 0) W = GetSystemMetrics(SM_CXSIZE);
  if (H == 0) H = GetSystemMetrics(SM_CYSIZE);
}

void TkxVelara::DrawFormIcon(TCanvas* Canvas, int32_t X, int32_t Y) {
  if (!Canvas) return;
  if (!FIcon) {
    int32_t w = 0, h = 0;
    GetSmallIconSize(w, h);
    HICON src = nullptr;
    if (FForm && FForm->Icon() && !FForm->Icon()->Empty())
      src = FForm->Icon()->Handle();
    else if (Application && Application->Icon() && !Application->Icon()->Empty())
      src = Application->Icon()->Handle();
    else
      src = LoadIcon(nullptr, IDI_APPLICATION);
    FIcon = new TIcon;
    if (src) FIcon->SetHandle(static_cast<HICON>(CopyImage(src, IMAGE_ICON, w, h, 0)));
  }
  if (FIcon->Empty()) return;
  DrawIconEx(Canvas->Handle(), X, Y, FIcon->Handle(), 0, 0, 0, nullptr, DI_NORMAL);
}
