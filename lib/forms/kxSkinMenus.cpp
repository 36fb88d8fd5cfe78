#include "lib/forms/kxSkinMenus.h"

#include <algorithm>
#include <cmath>

#include "base/Clock.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "classlib/streaming/Registrations.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/graphics/kxEffectBmp.h"
#include "lib/graphics/kxPlainLook.h"
#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxUtilsLayer.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinRecords.h"

using namespace win;

namespace {

constexpr UINT_PTR kScrollTimer = 1;  // the scroll markers: one item every 100 ms
constexpr UINT_PTR kFadeTimer = 2;    // the first level's fade-in
constexpr uint32_t kScrollInterval = 100;
constexpr uint64_t kFadeGap = 5;      // a fade step after more than this many milliseconds
constexpr int32_t kMarker = 10;       // the height of a scroll marker

int32_t W(const TRect& R) { return R.right - R.left; }
int32_t H(const TRect& R) { return R.bottom - R.top; }
bool Inside(const TRect& R, int32_t X, int32_t Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }
TRect Offset(TRect R, int32_t DX, int32_t DY) { return TRect{R.left + DX, R.top + DY, R.right + DX, R.bottom + DY}; }

// The skin's numbered picture, or nullptr for an index outside the list.
TBitmap* ActivePictureOf(const TkxSkinData* SD, int32_t Index) {
  if (!SD || Index < 0 || size_t(Index) >= SD->FActivePictures.size()) return nullptr;
  TBitmap* b = SD->FActivePictures[size_t(Index)].get();
  return b && !b->Empty() ? b : nullptr;
}

// Closed levels wait here until the message that closed them has been handled.
std::vector<TkxSkinPopupWindow*>& Retired() {
  static std::vector<TkxSkinPopupWindow*> list;
  return list;
}
bool TakeRetired(TkxSkinPopupWindow* W) {
  auto& r = Retired();
  auto it = std::find(r.begin(), r.end(), W);
  if (it == r.end()) return false;
  r.erase(it);
  return true;
}

// An off-screen canvas onto the window at once, outside painting.
class TWindowCanvas {
public:
  explicit TWindowCanvas(HWND Wnd) : FWnd(Wnd), FDC(GetDC(Wnd)) { FCanvas.SetHandle(FDC); }
  ~TWindowCanvas() {
    FCanvas.SetHandle(nullptr);
    if (FDC) ReleaseDC(FWnd, FDC);
  }
  TCanvas* operator->() { return &FCanvas; }
  TCanvas* get() { return &FCanvas; }

private:
  HWND FWnd;
  HDC FDC;
  TCanvas FCanvas;
};

// The bitmap's canvas with A blended towards B by Kf, by the record's transition.
void DrawMorphed(TBitmap* A, TBitmap* B, double Kf, TkxMorphKind Kind) {
  auto ea = TkxEffectBmp::CreateFromhWnd(A->Handle());
  auto eb = TkxEffectBmp::CreateFromhWnd(B->Handle());
  if (!ea || !eb || ea->Width != eb->Width || ea->Height != eb->Height) {
    if (Kf >= 0.5) A->Canvas()->Draw(0, 0, B);
    return;
  }
  ea->MorphBy(Kind, eb.get(), Kf);
  ea->Draw(A->Canvas()->Handle(), 0, 0);
}

std::string ItemText(TMenuItem* MI) {
  std::string s = MI->Caption();
  if (MI->ShortCut() != 0) s += "  " + ShortCutToText(MI->ShortCut());
  return s;
}

bool HasImage(TMenuItem* MI, TCustomImageList* IL) {
  return MI->HasBitmap() || (IL && MI->ImageIndex() >= 0 && MI->ImageIndex() < IL->Count());
}

// The glyph the system and tray menus of the skinned form name their items for; false for none.
bool DrawNamedGlyph(TCanvas* C, const std::string& Name, int32_t X, int32_t Y, TColor Color) {
  if (Name == "VLR_CLOSE" || Name == "TRAY_VLR_CLOSE") DrawCloseGlyph(C, X, Y, Color);
  else if (Name == "VLR_MINITEM") DrawMinimizeGlyph(C, X, Y, Color);
  else if (Name == "VLR_MAXITEM") DrawMaximizeGlyph(C, X, Y, Color);
  else if (Name == "VLR_RESTORE" || Name == "TRAY_VLR_RESTORE") DrawRestoreGlyph(C, X, Y, Color);
  else if (Name == "VLR_ROLLUP") DrawRollUpGlyph(C, X, Y, Color);
  else if (Name == "VLR_MINTOTRAY") DrawTrayGlyph(C, X, Y, Color);
  else return false;
  return true;
}

void DrawImage(TCanvas* C, TMenuItem* MI, TCustomImageList* IL, int32_t X, int32_t Y) {
  if (MI->HasBitmap()) {
    C->Draw(X, Y, MI->Bitmap());
  } else if (IL) {
    IL->Draw(C, X, Y, MI->ImageIndex(), MI->Enabled());
  }
}

void ImageSize(TMenuItem* MI, TCustomImageList* IL, int32_t& Wd, int32_t& Ht) {
  if (MI->HasBitmap()) {
    Wd = MI->Bitmap()->Width();
    Ht = MI->Bitmap()->Height();
  } else {
    Wd = IL->Width();
    Ht = IL->Height();
  }
}

void FrameImage(TCanvas* C, int32_t X, int32_t Y, int32_t Wd, int32_t Ht, TColor Color) {
  C->Brush()->SetStyle(bsClear);
  C->Pen()->SetColor(Color);
  C->Rectangle(X - 1, Y - 1, X + Wd + 1, Y + Ht + 1);
}

// The caption measured and drawn from Left to Right, vertically centred in T; answers its rect.
TRect DrawCaption(TCanvas* C, const std::string& Caption, int32_t Left, int32_t Right, const TRect& T) {
  TRect r{Left, 0, Right, 0};
  DrawWideText(C, Caption, r, DT_CALCRECT);
  const int32_t dy = T.top + H(T) / 2 - H(r) / 2;
  r = Offset(r, 0, dy);
  r.right += 2;
  DrawWideText(C, Caption, r, DT_CENTER | DT_VCENTER);
  return r;
}

void DrawShortCut(TCanvas* C, TMenuItem* MI, const TRect& Caption, int32_t Right) {
  if (MI->ShortCut() == 0) return;
  const std::string s = ShortCutToText(MI->ShortCut());
  TRect m{0, 0, 0, 0};
  DrawWideText(C, s, m, DT_CALCRECT);
  TRect r{Right - W(m), Caption.top, Right, Caption.bottom};
  DrawWideText(C, s, r, DT_CENTER | DT_VCENTER);
}

}  // namespace

// ---- the plain marks ----------------------------------------------------------------------------

void DrawMenuCheckMark(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  for (int32_t i = 0; i < 3; ++i)
    Canvas->Polyline({TPoint{X, Y + 5 - i}, TPoint{X + 2, Y + 7 - i}, TPoint{X + 7, Y + 2 - i}});
}

void DrawMenuSubArrow(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  for (int32_t i = 0; i < 4; ++i) {
    Canvas->MoveTo(X + i, Y + i);
    Canvas->LineTo(X + i, Y + 7 - i);
  }
}

void DrawMenuRadioMark(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Color);
  Canvas->Ellipse(X, Y, X + 6, Y + 6);
}

// ---- TkxSkinMenuItem ----------------------------------------------------------------------------

TkxSkinMenuItem::TkxSkinMenuItem(TkxSkinPopupWindow* AParent, TMenuItem* AMenuItem, TkxDataSkinMenuItem* AData)
    : Parent(AParent), MI(AData), MenuItem(AMenuItem) {
  if (!MI) return;
  SkinRect = MI->SkinRect;
  ActiveSkinRect = MI->ActiveSkinRect;
  ActivePicture = ActivePictureOf(Parent->SD, MI->ActivePictureIndex);
  // Without a usable picture the item draws nothing and takes no room; the record itself stays
  // as the skin holds it.
  if (!ActivePicture) SkinRect = ActiveSkinRect = TRect{0, 0, 0, 0};
}

TkxSkinMenuItem::~TkxSkinMenuItem() {
  TkxSkinMenu* m = Parent->ParentMenu;
  if (m && m->WItem == this) {
    m->WItem = nullptr;
    m->WaitTimer->SetEnabled(false);
  }
}

void TkxSkinMenuItem::SetMorphKf(double Value) {
  FMorphSteps = int32_t(std::lround(std::clamp(Value, 0.0, 1.0) * 5.0));
}

bool TkxSkinMenuItem::IsSeparator() const { return MenuItem->Caption() == cLineCaption; }

bool TkxSkinMenuItem::IsHeader() const {
  const std::string& c = MenuItem->Caption();
  return c.size() > 1 && c.front() == '-' && c.back() == '-' && !MenuItem->Enabled();
}

int32_t TkxSkinMenuItem::ItemHeight() const {
  if (MI) return IsSeparator() ? H(MI->DividerRect) : H(SkinRect);
  return IsSeparator() ? 4 : Parent->ParentMenu->DefaultMenuItemHeight();
}

bool TkxSkinMenuItem::EnableMorphing() const {
  const TkxSkinData* sd = Parent->SD;
  return MI && MI->Morphing && sd && !sd->Empty && sd->EnableSkinEffects();
}

bool TkxSkinMenuItem::EnableAnimation() const {
  const TkxSkinData* sd = Parent->SD;
  return MI && !IsRectEmpty(&MI->AnimateSkinRect) && MI->FrameCount > 0 && sd && !sd->Empty &&
         sd->EnableSkinEffects();
}

bool TkxSkinMenuItem::CanMorphing() {
  if (!FVisible && FMorphSteps != 0) {
    Active = Down = false;
    FMorphSteps = 0;
  }
  const bool a = Active || Down;
  return FVisible && ((a && FMorphSteps < 5) || (!a && FMorphSteps > 0));
}

void TkxSkinMenuItem::DoMorphing() {
  FMorphSteps = std::clamp(FMorphSteps + ((Active || Down) ? 1 : -1), 0, 5);
  DrawOnWindow();
}

void TkxSkinMenuItem::ReDraw() {
  TTimer* t = Parent->MorphTimer;
  if (MI && EnableAnimation()) {
    if (t->Interval() != uint32_t(std::max(1, MI->AnimateInterval))) t->SetInterval(uint32_t(std::max(1, MI->AnimateInterval)));
    if (!MI->InActiveAnimation && !Active) {
      CurrentFrame = 0;
      DrawOnWindow();
    } else {
      t->SetEnabled(true);
    }
  } else if (MI && EnableMorphing()) {
    if (t->Interval() != 20) t->SetInterval(20);
    t->SetEnabled(true);
  } else {
    DrawOnWindow();
  }
}

void TkxSkinMenuItem::MouseDown(int32_t, int32_t) {
  WaitCommand = false;
  if (Down || !MenuItem->Enabled()) return;
  // A command frees this level: nothing of it may be touched after this call.
  Parent->ParentMenu->ActivateItem(Parent, this, false, true);
}

void TkxSkinMenuItem::MouseEnter(bool Kb) {
  Active = true;
  if (EnableAnimation()) CurrentFrame = 0;
  for (TkxSkinMenuItem* i : Parent->ItemList)
    if (i != this && i->Down) {
      i->Down = false;
      i->ReDraw();
    }
  TkxSkinMenu* m = Parent->ParentMenu;
  if (WaitCommand && !Kb) {
    ReDraw();
  } else if (Down) {
    const int32_t level = m->IndexOfWindow(Parent);
    if (level + 2 < int32_t(m->FPopupList.size())) m->FPopupList[size_t(level + 1)]->CloseSubMenus();
  } else {
    ReDraw();
    m->ActivateItem(Parent, this, Kb, false);
  }
  if (Parent->Hint() != MenuItem->Hint()) Parent->SetHint(MenuItem->Hint());
}

void TkxSkinMenuItem::MouseLeave() {
  Active = false;
  if (EnableAnimation()) CurrentFrame = MI->FrameCount + 1;
  WaitCommand = false;
  if (!Down) ReDraw();
  TkxSkinMenu* m = Parent->ParentMenu;
  if (m->WItem == this) {
    m->WaitTimer->SetEnabled(false);
    m->WItem = nullptr;
  }
}

void TkxSkinMenuItem::DrawOnWindow() {
  if (!Parent->HandleAllocated() || !IsWindowVisible(Parent->Handle())) return;
  TWindowCanvas c(Parent->Handle());
  Draw(c.get());
}

TRect TkxSkinMenuItem::GetAnimateFrameRect() const {
  const TRect& s = MI->AnimateSkinRect;
  const int32_t n = std::max(1, MI->FrameCount);
  const int32_t k = std::clamp(CurrentFrame, 1, n) - 1;
  if (H(s) > H(MI->SkinRect)) {
    const int32_t fh = H(s) / n;
    return TRect{s.left, s.top + k * fh, s.right, s.top + (k + 1) * fh};
  }
  const int32_t fw = W(s) / n;
  return TRect{s.left + k * fw, s.top, s.left + (k + 1) * fw, s.bottom};
}

void TkxSkinMenuItem::SetupFont(TCanvas* C) const {
  TkxSkinMenu* m = Parent->ParentMenu;
  if (MI && m->UseSkinFont()) {
    C->Font()->SetName(MI->FontName);
    C->Font()->SetStyle(MI->FontStyle);
    C->Font()->SetHeight(MI->FontHeight);
  } else {
    C->Font()->Assign(m->DefaultMenuItemFont());
  }
  if (m->SkinData && m->SkinData->ResourceStrData())
    C->Font()->SetCharset(m->SkinData->ResourceStrData()->CharSet());
  else
    C->Font()->SetCharset(m->DefaultMenuItemFont()->Charset());
}

void TkxSkinMenuItem::Draw(TCanvas* Cnvs) {
  if (!FVisible) return;
  if (!MI) {
    DefaultDraw(Cnvs);
    return;
  }
  auto b = NewSkinImage(W(ObjectRect), H(ObjectRect));
  if (IsSeparator()) {
    BuildHorzThreePartImage(MI->DividerLO, MI->DividerRO, b.get(), ActivePicture, MI->DividerRect, W(ObjectRect),
                            H(MI->DividerRect), MI->DividerStretchEffect);
  } else {
    const bool a = Active || Down;
    if (EnableAnimation() && CurrentFrame >= 1 && CurrentFrame <= MI->FrameCount) {
      DrawSkinItem(b.get(), a, true);
    } else if (EnableMorphing()) {
      if ((a && FMorphSteps == 5) || (!a && FMorphSteps == 0)) {
        DrawSkinItem(b.get(), a, false);
      } else {
        DrawSkinItem(b.get(), false, false);
        auto b2 = NewSkinImage(b->Width(), b->Height());
        DrawSkinItem(b2.get(), true, false);
        if (b2->Width() == b->Width() && b2->Height() == b->Height()) DrawMorphed(b.get(), b2.get(), MorphKf(), MI->MorphKind);
      }
    } else {
      DrawSkinItem(b.get(), a, false);
    }
  }
  if (b->Width() > 0 && b->Height() > 0) Cnvs->Draw(ObjectRect.left, ObjectRect.top, b.get());
}

void TkxSkinMenuItem::DrawSkinItem(TBitmap* B, bool Act, bool AnimationFrame) {
  TRect src = Act ? ActiveSkinRect : SkinRect;
  bool stretch = Act ? MI->StretchEffect : MI->InActiveStretchEffect;
  if (!Act && !MI->InActiveStretchEffect && MI->StretchEffect) stretch = AnimationFrame;
  if (AnimationFrame) src = GetAnimateFrameRect();
  const int32_t width = W(ObjectRect);
  if (!Act && MI->InActiveTransparent && Parent->FPaintBuffer) {
    B->SetSize(width, H(ObjectRect));
    B->Canvas()->CopyRect(TRect{0, 0, width, H(ObjectRect)}, Parent->FPaintBuffer->Canvas(), ObjectRect);
  } else {
    BuildHorzThreePartImage(MI->ItemLO, MI->ItemRO, B, ActivePicture, src, width, H(src), stretch);
  }
  if (B->Width() <= 0 || B->Height() <= 0) return;
  TCanvas* c = B->Canvas();
  int32_t g = Parent->ImgL ? Parent->GlyphWidth : 16;
  if (!IsRectEmpty(&MI->ImageRct)) g = 0;
  TRect t = MI->TextRct;
  t.right = B->Width() + MI->TextRct.right - W(MI->SkinRect);
  c->Brush()->SetStyle(bsClear);
  SetupFont(c);
  TColor color = Act ? MI->ActiveFontColor : MenuItem->Enabled() ? MI->FontColor : MI->UnEnabledFontColor;
  c->Font()->SetColor(color);
  if (MenuItem->OnDrawItem) {
    MenuItem->OnDrawItem(this, c, t, Act);
    return;
  }
  if (IsHeader()) {
    DrawSkinHeader(c, TRect{0, 0, B->Width(), B->Height()});
    return;
  }
  const TRect cr = DrawCaption(c, MenuItem->Caption(), t.left + g, t.right - 16, t);
  DrawShortCut(c, MenuItem, cr, t.right - 16);
  if (MenuItem->Count() > 0) {
    if (IsRectEmpty(&MI->ArrowImageRect))
      DrawMenuSubArrow(c, t.right - 7, t.top + H(t) / 2 - 4, color);
    else
      DrawMarkPicture(c, TRect{t.right - W(MI->ArrowImageRect) - 5, t.top, t.right, t.bottom},
                      Act ? MI->ActiveArrowImageRect : MI->ArrowImageRect);
  }
  const bool image = HasImage(MenuItem, Parent->ImgL);
  if (MI->UseImageColor) {
    color = Act ? MI->ActiveImageColor : MI->ImageColor;
    c->Font()->SetColor(color);
  }
  const bool noImageRect = IsRectEmpty(&MI->ImageRct);
  if (image) {
    int32_t w = 0, h = 0;
    ImageSize(MenuItem, Parent->ImgL, w, h);
    int32_t x, y;
    if (noImageRect) {
      x = t.left + 2;
      y = t.top + H(t) / 2 - h / 2;
    } else {
      x = MI->ImageRct.left + W(MI->ImageRct) / 2 - w / 2;
      y = MI->ImageRct.top + H(MI->ImageRct) / 2 - h / 2;
    }
    if (MenuItem->Checked()) FrameImage(c, x, y, w, h, color);
    DrawImage(c, MenuItem, Parent->ImgL, x, y);
    return;
  }
  int32_t x, y;
  if (noImageRect) {
    x = t.left + 2;
    y = t.top + H(t) / 2 - 4;
  } else {
    x = MI->ImageRct.left + W(MI->ImageRct) / 2 - 4;
    y = MI->ImageRct.top + H(MI->ImageRct) / 2 - 4;
  }
  if (DrawNamedGlyph(c, MenuItem->Name(), x, y, color) || !MenuItem->Checked()) return;
  const TRect box = noImageRect ? TRect{MI->TextRct.left + 2, MI->TextRct.top, MI->TextRct.left + 16, MI->TextRct.bottom}
                                : MI->ImageRct;
  if (MenuItem->RadioItem()) {
    if (IsRectEmpty(&MI->RadioImageRect)) DrawMenuRadioMark(c, x, y + 1, color);
    else DrawMarkPicture(c, box, Act ? MI->ActiveRadioImageRect : MI->RadioImageRect);
  } else {
    if (IsRectEmpty(&MI->CheckImageRect)) DrawMenuCheckMark(c, x, y, color);
    else DrawMarkPicture(c, box, Act ? MI->ActiveCheckImageRect : MI->CheckImageRect);
  }
}

void TkxSkinMenuItem::DrawMarkPicture(TCanvas* C, const TRect& Box, const TRect& Src) {
  if (!ActivePicture || !RectInPicture(Src, ActivePicture)) return;
  auto m = NewSkinImage(W(Src), H(Src));
  m->Canvas()->CopyRect(TRect{0, 0, W(Src), H(Src)}, ActivePicture->Canvas(), Src);
  m->SetTransparent(true);
  const int32_t x = std::max(Box.left, Box.left + W(Box) / 2 - W(Src) / 2);
  const int32_t y = std::max(Box.top, Box.top + H(Box) / 2 - H(Src) / 2);
  C->Draw(x, y, m.get());
}

void TkxSkinMenuItem::DrawSkinHeader(TCanvas* C, const TRect& R) {
  TkxSkinData* sd = Parent->SD;
  if (!Parent->PW || !sd) return;
  int32_t i = sd->GetControlIndex("menuheader");
  if (i < 0) i = sd->GetControlIndex("label");
  if (i < 0) return;
  auto* rec = dynamic_cast<TkxDataSkinLabelControl*>(sd->CtrlList[size_t(i)].get());
  if (!rec) return;
  TBitmap* pic = ActivePictureOf(sd, rec->PictureIndex);
  auto h = NewSkinImage(W(R), H(rec->SkinRect));
  BuildHorzThreePartImage(rec->LTPoint.x, W(rec->SkinRect) - rec->RTPoint.x, h.get(), pic, rec->SkinRect, W(R),
                          H(rec->SkinRect), rec->StretchEffect);
  if (h->Width() <= 0 || h->Height() <= 0) return;
  TCanvas* hc = h->Canvas();
  hc->Font()->SetColor(rec->FontColor);
  hc->Font()->SetName(rec->FontName);
  hc->Font()->SetHeight(rec->FontHeight);
  hc->Font()->SetStyle(rec->FontStyle);
  hc->Font()->SetCharset(C->Font()->Charset());
  hc->Brush()->SetStyle(bsClear);
  const std::string& cap = MenuItem->Caption();
  TRect tr{rec->ClRect.left, rec->ClRect.top, h->Width() - (W(rec->SkinRect) - rec->ClRect.right), h->Height()};
  DrawWideText(hc, cap.substr(1, cap.size() - 2), tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  C->Draw(R.left, R.top + H(R) / 2 - h->Height() / 2, h.get());
}

void TkxSkinMenuItem::DefaultDraw(TCanvas* Cnvs) {
  const int32_t width = W(ObjectRect), height = H(ObjectRect);
  if (width <= 0 || height <= 0) return;
  auto b = NewSkinImage(width, height);
  TCanvas* c = b->Canvas();
  const int32_t g = Parent->ImgL ? Parent->GlyphWidth : 19;
  TRect tr{2, 2, width - 2, height - 2};
  TkxSkinMenu* m = Parent->ParentMenu;
  c->Font()->Assign(m->DefaultMenuItemFont());
  if (m->SkinData && m->SkinData->ResourceStrData()) c->Font()->SetCharset(m->SkinData->ResourceStrData()->CharSet());
  TColor color;
  if ((Active || Down) && !IsSeparator()) {
    PlainFill(c, TRect{0, 0, width, height}, kxPlain.HotFace);
    PlainFrameRect(c, TRect{0, 0, width, height}, kxPlain.HotFrame);
    color = clWindowText;
  } else {
    PlainFill(c, TRect{0, 0, g, height}, clBtnFace);
    PlainFill(c, TRect{g, 0, width, height}, clWindow);
    color = MenuItem->Enabled() ? clWindowText : clBtnShadow;
  }
  c->Font()->SetColor(color);
  if (IsSeparator()) {
    PlainFill(c, TRect{g, height / 2, width, height / 2 + 1}, clBtnShadow);
  } else if (IsHeader()) {
    PlainFill(c, TRect{0, 0, width, height}, clBtnShadow);
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(clBtnHighlight);
    const std::string& cap = MenuItem->Caption();
    DrawWideText(c, cap.substr(1, cap.size() - 2), tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  } else {
    c->Brush()->SetStyle(bsClear);
    const TRect cr = DrawCaption(c, MenuItem->Caption(), tr.left + g, tr.right - 19, tr);
    DrawShortCut(c, MenuItem, cr, tr.right - 19);
    if (MenuItem->Count() > 0) DrawMenuSubArrow(c, tr.right - 7, tr.top + H(tr) / 2 - 4, color);
    if (HasImage(MenuItem, Parent->ImgL)) {
      int32_t w = 0, h = 0;
      ImageSize(MenuItem, Parent->ImgL, w, h);
      const int32_t x = tr.left + 2, y = tr.top + H(tr) / 2 - h / 2;
      if (MenuItem->Checked()) FrameImage(c, x, y, w, h, color);
      DrawImage(c, MenuItem, Parent->ImgL, x, y);
    } else if (!DrawNamedGlyph(c, MenuItem->Name(), tr.left + 2, tr.top + H(tr) / 2 - 4, color) &&
               MenuItem->Checked()) {
      if (MenuItem->RadioItem()) DrawMenuRadioMark(c, tr.left + 3, tr.top + H(tr) / 2 - 4, color);
      else DrawMenuCheckMark(c, tr.left + 3, tr.top + H(tr) / 2 - 4, color);
    }
  }
  Cnvs->Draw(ObjectRect.left, ObjectRect.top, b.get());
}

// ---- TkxSkinPopupWindow: construction -----------------------------------------------------------

TkxSkinPopupWindow::TkxSkinPopupWindow(TComponent* AOwner, TkxSkinMenu* AParentMenu, TkxDataSkinPopupWindow* AData)
    : TCustomControl(AOwner), ParentMenu(AParentMenu) {
  FControlStyle.Include(csAcceptsControls);
  FControlStyle.Include(csNoDesignVisible);
  FControlStyle.Include(csReplicatable);
  SetVisible(false);
  MouseTimer = new TTimer(this);
  MouseTimer->SetEnabled(false);
  MouseTimer->SetInterval(50);
  MouseTimer->OnTimer = [this](TObject*) { MouseTimerTick(); };
  MorphTimer = new TTimer(this);
  MorphTimer->SetEnabled(false);
  MorphTimer->SetInterval(20);
  MorphTimer->OnTimer = [this](TObject*) { MorphTimerTick(); };
  if (AData && AData->WindowPictureIndex != -1) {
    PW = AData;
    SD = ParentMenu->SkinData;
    WindowPicture = ActivePictureOf(SD, PW->WindowPictureIndex);
    MaskPicture = ActivePictureOf(SD, PW->MaskPictureIndex);
    // Without the window picture the skinned size rules have nothing to measure: plain look.
    if (!WindowPicture) {
      PW = nullptr;
      SD = nullptr;
      MaskPicture = nullptr;
    }
  }
}

TkxSkinPopupWindow::~TkxSkinPopupWindow() {
  TakeRetired(this);
  Retire();
  for (TkxSkinMenuItem* i : ItemList) delete i;
  ItemList.clear();
  delete FPaintBuffer;
  FPaintBuffer = nullptr;
  if (HandleAllocated()) DestroyHandle();
  if (FRgn) DeleteObject(FRgn);
}

void TkxSkinPopupWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WindowClass.style |= CS_SAVEBITS | CS_DROPSHADOW;
}

void TkxSkinPopupWindow::Retire() {
  StopFade();
  if (MouseTimer) MouseTimer->SetEnabled(false);
  if (MorphTimer) MorphTimer->SetEnabled(false);
  if (FScrollTimer && HandleAllocated()) KillTimer(Handle(), kScrollTimer);
  FScrollTimer = false;
  ScrollCode = 0;
  if (HandleAllocated() && IsWindowVisible(Handle()))
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
}

void TkxSkinPopupWindow::Hide() {
  Retire();
  SetVisible(false);
}

// ---- building the list ------------------------------------------------------------------------

void TkxSkinPopupWindow::CreateItems(TMenuItem* AItem, TMenuItem* AItem2, int32_t StartIndex, bool Two) {
  DSMI = nullptr;
  if (SD)
    for (auto& o : SD->ObjectList)
      if (auto* r = dynamic_cast<TkxDataSkinMenuItem*>(o.get())) {
        DSMI = r;
        break;
      }
  // A popup-window record without an item record has no item rules to size by: plain look.
  if (!DSMI) {
    PW = nullptr;
    SD = nullptr;
    WindowPicture = MaskPicture = nullptr;
  }
  if (PW && DSMI && ParentMenu->UseSkinFont()) {
    Canvas()->Font()->SetHeight(DSMI->FontHeight);
    Canvas()->Font()->SetStyle(DSMI->FontStyle);
    Canvas()->Font()->SetName(DSMI->FontName);
  } else {
    Canvas()->Font()->Assign(ParentMenu->DefaultMenuItemFont());
  }
  if (ParentMenu->SkinData && ParentMenu->SkinData->ResourceStrData())
    Canvas()->Font()->SetCharset(ParentMenu->SkinData->ResourceStrData()->CharSet());
  else
    Canvas()->Font()->SetCharset(ParentMenu->DefaultMenuItemFont()->Charset());

  TMenu* m = AItem->GetParentMenu();
  if (m && m->AutoLineReduction() == maAutomatic) AItem->RethinkLines();
  ImgL = m ? m->Images() : nullptr;
  auto add = [&](TMenuItem* parent, int32_t from) {
    for (int32_t i = std::max(0, from); i < parent->Count(); ++i) {
      TMenuItem* mi = parent->Items(i);
      if (!mi->Visible()) continue;
      mi->InitiateAction();
      // An item freed while it is shown closes the menu (the engine hears of it).
      mi->FreeNotification(ParentMenu);
      ItemList.push_back(new TkxSkinMenuItem(this, mi, DSMI));
    }
  };
  add(AItem, StartIndex);
  if (Two && AItem2) add(AItem2, std::max(0, StartIndex - AItem->Count()));
  CalcSize(Two);
  if (PW) {
    const int32_t pw = WindowPicture->Width(), ph = WindowPicture->Height();
    NewLTPoint = PW->LTPoint;
    NewRTPoint = TPoint{Width() + PW->RTPoint.x - pw, PW->RTPoint.y};
    NewLBPoint = TPoint{PW->LBPoint.x, Height() + PW->LBPoint.y - ph};
    NewRBPoint = TPoint{Width() + PW->RBPoint.x - pw, Height() + PW->RBPoint.y - ph};
    NewItemsRect = TRect{PW->ItemsRect.left, PW->ItemsRect.top, Width() + PW->ItemsRect.right - pw,
                         Height() + PW->ItemsRect.bottom - ph};
  } else {
    NewItemsRect = TRect{2, 2, Width() - 2, Height() - 2};
  }
  PlaceItems();
  if (MaskPicture) SetMaskRegion();
}

void TkxSkinPopupWindow::SetMaskRegion() {
  HRGN rgn = nullptr;
  RegionFromNinePartMask(rgn, PW->LTPoint, PW->RTPoint, PW->LBPoint, PW->RBPoint, PW->ItemsRect, NewLTPoint,
                         NewRTPoint, NewLBPoint, NewRBPoint, NewItemsRect, MaskPicture, Width(), Height());
  // The window owns the region it is given; ours is a copy kept for the window's life.
  HRGN copy = nullptr;
  if (rgn) {
    copy = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(copy, rgn, nullptr, RGN_COPY);
  }
  SetWindowRgn(Handle(), rgn, TRUE);
  if (FRgn) DeleteObject(FRgn);
  FRgn = copy;
}

int32_t TkxSkinPopupWindow::CalcWidth() {
  int32_t w = 0;
  for (TkxSkinMenuItem* i : ItemList) w = std::max(w, TextWidthW(Canvas(), ItemText(i->MenuItem)) + 2);
  GlyphWidth = ImgL ? ImgL->Width() + 5 : 19;
  w += GlyphWidth + 19;
  if (!PW) return w + 10;
  return w + WindowPicture->Width() - W(PW->ItemsRect) + DSMI->TextRct.left + (W(DSMI->SkinRect) - DSMI->TextRct.right);
}

int32_t TkxSkinPopupWindow::CalcHeight(bool Two) {
  const int32_t n = int32_t(ItemList.size());
  int32_t s = 0;
  for (TkxSkinMenuItem* i : ItemList) s += i->ItemHeight();
  const int32_t frame = PW ? WindowPicture->Height() - PW->ItemsRect.bottom + PW->ItemsRect.top : Two ? 6 : 4;
  const int32_t max = ParentMenu->MaxMenuItemsInWindow;
  if (max > 0 && n > max) {
    const int32_t h = PW ? (ItemList.empty() ? H(DSMI->SkinRect) : H(ItemList.front()->SkinRect))
                         : ParentMenu->DefaultMenuItemHeight();
    Scroll = Scroll2 = true;
    return h * max + frame + 2 * kMarker;
  }
  return s + frame;
}

void TkxSkinPopupWindow::CalcSize(bool Two) {
  VisibleStartIndex = 0;
  VisibleCount = int32_t(ItemList.size());
  Scroll = Scroll2 = false;
  const int32_t w = CalcWidth();
  int32_t h = CalcHeight(Two);
  const TRect& wa = ParentMenu->WorkArea;
  if (h > H(wa)) {
    h = H(wa);
    Scroll = true;
  }
  SetBounds(Left(), Top(), w, h);
}

void TkxSkinPopupWindow::PlaceItems() {
  int32_t top = NewItemsRect.top, bottom = NewItemsRect.bottom;
  if (Scroll) {
    top += kMarker;
    bottom -= kMarker;
  }
  VisibleCount = 0;
  for (size_t i = size_t(std::max(0, VisibleStartIndex)); i < ItemList.size(); ++i) {
    TkxSkinMenuItem* it = ItemList[i];
    const int32_t h = it->ItemHeight();
    it->ObjectRect = TRect{NewItemsRect.left, top, NewItemsRect.right, top + h};
    if (top + h > bottom) break;
    it->FVisible = true;
    ++VisibleCount;
    top += h;
  }
  if (Scroll)
    for (int32_t i = 0; i < int32_t(ItemList.size()); ++i)
      if (i < VisibleStartIndex || i >= VisibleStartIndex + VisibleCount) ItemList[size_t(i)]->FVisible = false;
}

// ---- placing and showing ------------------------------------------------------------------------

int32_t TkxSkinPopupWindow::GetShowY(const TRect& R, bool PopupByItem, bool PopupUp, bool& Beside) {
  const TRect& wa = ParentMenu->WorkArea;
  const int32_t mid = wa.top + H(wa) / 2, h = Height(), nt = NewItemsRect.top;
  Beside = false;
  if (Scroll && !Scroll2) return wa.top;
  if (PopupByItem) {
    const int32_t over = R.top - nt + h - wa.bottom;
    if (over <= 0) return R.top - nt;
    if (R.top < mid) return wa.bottom - h;
    return std::max(wa.top, R.bottom - h + nt);
  }
  if (PopupUp) {
    if (R.top - h >= wa.top) return R.top - h;
    if (R.top < mid) {
      const int32_t over = R.bottom + h - wa.bottom;
      if (over <= 0) return R.bottom;
      Beside = true;
      return R.bottom - over;
    }
    Beside = true;
    return wa.top;
  }
  const int32_t over = R.bottom + h - wa.bottom;
  if (over <= 0) return R.bottom;
  if (R.top < mid) {
    Beside = true;
    return R.bottom - over;
  }
  if (R.top - h < wa.top) {
    Beside = true;
    return wa.top;
  }
  return R.top - h;
}

int32_t TkxSkinPopupWindow::GetShowX(const TRect& R, bool PopupByItem, bool Beside) {
  const TRect& wa = ParentMenu->WorkArea;
  const int32_t w = Width();
  if (PopupByItem || (Scroll && !Scroll2) || Beside) return R.right + w + 1 <= wa.right ? R.right + 1 : R.left - w - 1;
  if (R.left + w > wa.right) return wa.right - w;
  if (R.left < wa.left) return wa.left;
  return R.left;
}

void TkxSkinPopupWindow::Show(const TRect& R, TMenuItem* AItem, int32_t StartIndex, bool PopupByItem, bool PopupUp) {
  CreateItems(AItem, nullptr, StartIndex, false);
  ShowLevel(R, PopupByItem, PopupUp);
}

void TkxSkinPopupWindow::Show2(const TRect& R, TMenuItem* AItem, TMenuItem* AItem2, int32_t StartIndex,
                               bool PopupByItem, bool PopupUp) {
  CreateItems(AItem, AItem2, StartIndex, true);
  ShowLevel(R, PopupByItem, PopupUp);
}

void TkxSkinPopupWindow::ShowLevel(const TRect& R, bool PopupByItem, bool PopupUp) {
  bool beside = false;
  ShowY = GetShowY(R, PopupByItem, PopupUp, beside);
  ShowX = GetShowX(R, PopupByItem, beside);
  HWND h = Handle();
  const bool fade = ParentMenu->AlphaBlend && ParentMenu->AlphaBlendAnimation && ParentMenu->First();
  if (ParentMenu->AlphaBlend) {
    SetWindowLongPtr(h, GWL_EXSTYLE, GetWindowLongPtr(h, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAlpha(h, fade ? 0 : ParentMenu->AlphaBlendValue);
  }
  SetBounds(ShowX, ShowY, Width(), Height());
  SetWindowPos(h, HWND_TOPMOST, ShowX, ShowY, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  SetVisible(true);
  if (fade) {
    // The fade runs on a timer, so whatever closes the level meanwhile also ends it.
    FFadeTarget = ParentMenu->AlphaBlendValue;
    FFadeStep = std::max(1, FFadeTarget / 15);
    FFadeAlpha = 0;
    FLastFadeTick = GetTickCount();
    FFading = FFadeTarget > 0;
    if (FFading) SetTimer(h, kFadeTimer, 1, nullptr);
  }
  MouseTimer->SetEnabled(true);
  ActiveItem = -1;
  for (size_t i = 0; i < ItemList.size(); ++i)
    if (Usable(int32_t(i))) {
      ItemList[i]->WaitCommand = true;
      ActiveItem = int32_t(i);
      ItemList[i]->MouseEnter(true);
      break;
    }
}

void TkxSkinPopupWindow::FadeTick() {
  if (!FFading) return;
  const uint64_t now = GetTickCount();
  if (now - FLastFadeTick <= kFadeGap) return;
  FLastFadeTick = now;
  FFadeAlpha = std::min(FFadeAlpha + FFadeStep, FFadeTarget);
  SetLayeredWindowAlpha(Handle(), uint8_t(FFadeAlpha));
  if (FFadeAlpha >= FFadeTarget) StopFade();
}

void TkxSkinPopupWindow::StopFade() {
  if (FFading && HandleAllocated()) KillTimer(Handle(), kFadeTimer);
  FFading = false;
}

bool TkxSkinPopupWindow::Usable(int32_t I) const {
  if (I < 0 || I >= int32_t(ItemList.size())) return false;
  const TkxSkinMenuItem* it = ItemList[size_t(I)];
  return it->MenuItem->Enabled() && !it->IsSeparator();
}

// ---- painting -----------------------------------------------------------------------------------

void TkxSkinPopupWindow::DrawBackground(TBitmap* B, bool Centre) {
  const int32_t w = Width(), h = Height();
  if (PW) {
    const int32_t pw = WindowPicture->Width(), ph = WindowPicture->Height();
    BuildNinePartWindowImage(PW->LTPoint, PW->RTPoint, PW->LBPoint, PW->RBPoint, PW->ItemsRect, NewLTPoint, NewRTPoint,
                             NewLBPoint, NewRBPoint, NewItemsRect, B, WindowPicture, TRect{0, 0, pw, ph}, w, h, Centre,
                             PW->LeftStretch, PW->TopStretch, PW->RightStretch, PW->BottomStretch, PW->StretchEffect,
                             PW->StretchType);
    return;
  }
  B->SetSize(w, h);
  TCanvas* c = B->Canvas();
  const int32_t x = ImgL ? GlyphWidth + 2 : 21;
  PlainFill(c, TRect{0, 0, x, h}, clBtnFace);
  PlainFill(c, TRect{x, 0, w, h}, clWindow);
  PlainFrameRect(c, TRect{0, 0, w, h}, clBtnShadow);
  PlainFrameRect(c, TRect{1, 1, w - 1, h - 1}, clWindow);
}

void TkxSkinPopupWindow::DrawItemBackground(TCanvas* C, const TRect& R) {
  if (!SD || W(R) <= 0 || H(R) <= 0) return;
  int32_t i = SD->GetIndex("menuitem");
  if (i < 0) i = SD->GetIndex("MENUITEM");
  if (i < 0) return;
  auto* rec = dynamic_cast<TkxDataSkinMenuItem*>(SD->ObjectList[size_t(i)].get());
  if (!rec) return;
  auto b = NewSkinImage(W(R), H(R));
  if (rec->InActiveTransparent && FPaintBuffer) {
    b->Canvas()->CopyRect(TRect{0, 0, W(R), H(R)}, FPaintBuffer->Canvas(), R);
  } else {
    TBitmap* pic = ActivePictureOf(SD, rec->ActivePictureIndex);
    if (!pic) return;
    BuildHorzThreePartImage(rec->ItemLO, rec->ItemRO, b.get(), pic, rec->SkinRect, W(R), H(rec->SkinRect),
                            rec->InActiveStretchEffect);
    if (b->Width() <= 0 || b->Height() <= 0) return;
    // Stretched to the rect's height.
    auto s = NewSkinImage(W(R), H(R));
    s->Canvas()->StretchDraw(TRect{0, 0, W(R), H(R)}, b.get());
    b = std::move(s);
  }
  C->Draw(R.left, R.top, b.get());
}

void TkxSkinPopupWindow::DrawUpMarker(TCanvas* C) {
  TRect r;
  TColor color;
  if (PW) {
    r = TRect{NewItemsRect.left, NewItemsRect.top, NewItemsRect.right, NewItemsRect.top + kMarker};
    color = ScrollCode == 1 ? PW->ScrollMarkerActiveColor : PW->ScrollMarkerColor;
    DrawItemBackground(C, r);
  } else {
    r = TRect{3, 3, Width() - 3, 13};
    color = ScrollCode == 1 ? clBtnText : clBtnShadow;
  }
  DrawArrowImage(C, r, color, kxakUp);
}

void TkxSkinPopupWindow::DrawDownMarker(TCanvas* C) {
  TRect r;
  TColor color;
  if (PW) {
    r = TRect{NewItemsRect.left, NewItemsRect.bottom - kMarker, NewItemsRect.right, NewItemsRect.bottom};
    color = ScrollCode == 2 ? PW->ScrollMarkerActiveColor : PW->ScrollMarkerColor;
    DrawItemBackground(C, r);
  } else {
    r = TRect{3, Height() - 10, Width() - 3, Height() - 3};
    color = ScrollCode == 2 ? clBtnText : clBtnShadow;
  }
  DrawArrowImage(C, r, color, kxakDown);
}

void TkxSkinPopupWindow::RedrawMarkers() {
  if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
  TWindowCanvas c(Handle());
  DrawUpMarker(c.get());
  DrawDownMarker(c.get());
}

void TkxSkinPopupWindow::PaintMenu(HDC DC) {
  auto b = NewSkinImage(Width(), Height());
  DrawBackground(b.get(), Scroll);
  if (PW && DSMI && DSMI->InActiveTransparent) {
    delete FPaintBuffer;
    FPaintBuffer = new TBitmap();
    FPaintBuffer->SetPixelFormat(pf24bit);
    DrawBackground(FPaintBuffer, true);
  }
  TCanvas* c = b->Canvas();
  int32_t lastBottom = NewItemsRect.top + (Scroll ? kMarker : 0);
  for (int32_t i = VisibleStartIndex; i < VisibleStartIndex + VisibleCount && i < int32_t(ItemList.size()); ++i) {
    ItemList[size_t(i)]->Draw(c);
    lastBottom = ItemList[size_t(i)]->ObjectRect.bottom;
  }
  if (Scroll) {
    DrawUpMarker(c);
    DrawDownMarker(c);
    const TRect m{NewItemsRect.left, NewItemsRect.bottom - kMarker, NewItemsRect.right, NewItemsRect.bottom};
    if (lastBottom < m.top) DrawItemBackground(c, TRect{m.left, lastBottom, m.right, m.top});
  }
  BitBlt(DC, 0, 0, b->Width(), b->Height(), c->Handle(), 0, 0, SRCCOPY);
}

// ---- mouse --------------------------------------------------------------------------------------

void TkxSkinPopupWindow::MouseTimerTick() {
  if (!HandleAllocated()) return;
  POINT sp{};
  GetCursorPos(&sp);
  POINT p = sp;
  win::ScreenToClient(Handle(), &p);
  if (p.x == OMX && p.y == OMY) return;
  if (WindowFromPoint(sp) == Handle()) {
    TestActive(TPoint{p.x, p.y});
  } else if (Scroll) {
    // Outside the window the scrolling pauses; its timer idles.
    ScrollCode = 0;
    RedrawMarkers();
  }
  OMX = p.x;
  OMY = p.y;
}

void TkxSkinPopupWindow::TestActive(TPoint P) {
  if (Scroll) {
    const TRect u{NewItemsRect.left, NewItemsRect.top, NewItemsRect.right, NewItemsRect.top + kMarker};
    const TRect d{NewItemsRect.left, NewItemsRect.bottom - kMarker, NewItemsRect.right, NewItemsRect.bottom};
    const bool inU = Inside(u, P.x, P.y), inD = Inside(d, P.x, P.y);
    if (inU && ScrollCode == 0 && CanScroll(1)) {
      ScrollCode = 1;
      RedrawMarkers();
      StartScroll();
    } else if (inD && ScrollCode == 0 && CanScroll(2)) {
      ScrollCode = 2;
      RedrawMarkers();
      StartScroll();
    } else if (ScrollCode != 0 && !inU && !inD) {
      StopScroll();
    }
  }
  if (ItemList.empty()) return;
  OldActiveItem = ActiveItem;
  for (size_t i = 0; i < ItemList.size(); ++i)
    if (ItemList[i]->FVisible && Inside(ItemList[i]->ObjectRect, P.x, P.y)) {
      ActiveItem = int32_t(i);
      break;
    }
  if (ActiveItem >= int32_t(ItemList.size())) ActiveItem = OldActiveItem = -1;
  if (ActiveItem == OldActiveItem) {
    if (ActiveItem == -1) return;
    TkxSkinMenuItem* it = ItemList[size_t(ActiveItem)];
    if (it->WaitCommand) {
      it->WaitCommand = false;
      // The item selected at show now starts its sub-menu delay.
      if (it->MenuItem->Count() > 0) it->MouseEnter(false);
    }
    return;
  }
  if (Usable(OldActiveItem)) ItemList[size_t(OldActiveItem)]->MouseLeave();
  if (Usable(ActiveItem)) ItemList[size_t(ActiveItem)]->MouseEnter(false);
}

bool TkxSkinPopupWindow::PointInItems(int32_t X, int32_t Y) const {
  for (const TkxSkinMenuItem* i : ItemList)
    if (i->FVisible && Inside(i->ObjectRect, X, Y)) return true;
  return false;
}

void TkxSkinPopupWindow::MouseUp(TMouseButton Button, TShiftState, int X, int Y) {
  TestActive(TPoint{X, Y});
  if (ActiveItem == -1 || Button != mbLeft || !PointInItems(X, Y)) return;
  TkxSkinMenuItem* it = ItemList[size_t(ActiveItem)];
  if (it->IsSeparator()) return;
  // A command closes and releases this level: nothing of it is touched afterwards.
  it->MouseDown(X, Y);
}

// ---- scrolling ----------------------------------------------------------------------------------

bool TkxSkinPopupWindow::CanScroll(int32_t Code) const {
  if (Code == 1) return VisibleStartIndex > 0;
  return VisibleStartIndex + VisibleCount - 1 < int32_t(ItemList.size()) - 1;
}

void TkxSkinPopupWindow::StartScroll() {
  ParentMenu->CloseLevels(ParentMenu->IndexOfWindow(this) + 1);
  KillTimer(Handle(), kScrollTimer);
  SetTimer(Handle(), kScrollTimer, kScrollInterval, nullptr);
  FScrollTimer = true;
}

void TkxSkinPopupWindow::StopScroll() {
  ScrollCode = 0;
  RedrawMarkers();
  if (HandleAllocated()) KillTimer(Handle(), kScrollTimer);
  FScrollTimer = false;
}

void TkxSkinPopupWindow::ScrollUp(bool Wrap) {
  if (VisibleStartIndex > 0) --VisibleStartIndex;
  else if (Wrap) VisibleStartIndex = LastPageStartIndex();
  else return;
  PlaceItems();
  Repaint();
}

void TkxSkinPopupWindow::ScrollDown(bool Wrap) {
  if (CanScroll(2)) ++VisibleStartIndex;
  else if (Wrap) VisibleStartIndex = 0;
  else return;
  PlaceItems();
  Repaint();
}

int32_t TkxSkinPopupWindow::LastPageStartIndex() const {
  // Counted from the top of the items area, so a skin whose items start lower still shows the
  // last item on the last page.
  int32_t y = NewItemsRect.bottom - kMarker, c = 0;
  const int32_t top = NewItemsRect.top + kMarker;
  for (auto it = ItemList.rbegin(); it != ItemList.rend(); ++it) {
    y -= (*it)->ItemHeight();
    if (y < top) break;
    ++c;
  }
  return int32_t(ItemList.size()) - c;
}

// ---- keys ---------------------------------------------------------------------------------------

bool TkxSkinPopupWindow::ProcessAccel(int32_t CharCode) {
  if (!Enabled()) return false;
  for (size_t i = 0; i < ItemList.size(); ++i) {
    TkxSkinMenuItem* it = ItemList[i];
    if (!IsAccel(uint32_t(CharCode), it->MenuItem->Caption())) continue;
    it->MouseEnter(false);
    OldActiveItem = ActiveItem;
    ActiveItem = int32_t(i);
    if (OldActiveItem >= 0 && OldActiveItem != ActiveItem && OldActiveItem < int32_t(ItemList.size()))
      ItemList[size_t(OldActiveItem)]->MouseLeave();
    it->MouseDown(0, 0);
    return true;
  }
  return false;
}

void TkxSkinPopupWindow::PopupKeyDown(int32_t CharCode) {
  if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
  if (ProcessAccel(CharCode)) return;
  auto& levels = ParentMenu->FPopupList;
  switch (CharCode) {
    case VK_RETURN:
      if (ActiveItem >= 0 && ActiveItem < int32_t(ItemList.size())) ItemList[size_t(ActiveItem)]->MouseDown(0, 0);
      return;
    case VK_ESCAPE:
    case VK_LEFT: {
      const size_t n = levels.size();
      if (CharCode == VK_LEFT && n < 2) return;
      if (n >= 2) {
        TkxSkinPopupWindow* prev = levels[n - 2];
        if (prev->ActiveItem >= 0 && prev->ActiveItem < int32_t(prev->ItemList.size()))
          prev->ItemList[size_t(prev->ActiveItem)]->Down = false;
      }
      ParentMenu->CloseLevels(int32_t(n) - 1);
      return;
    }
    case VK_UP: SelectPrevItem(); return;
    case VK_DOWN: SelectNextItem(); return;
    case VK_RIGHT:
      if (ActiveItem >= 0 && ActiveItem < int32_t(ItemList.size()) &&
          ItemList[size_t(ActiveItem)]->MenuItem->Count() > 0)
        ItemList[size_t(ActiveItem)]->MouseDown(0, 0);
      return;
    default: return;
  }
}

void TkxSkinPopupWindow::SelectNextItem() {
  const int32_t n = int32_t(ItemList.size());
  if (n == 0) return;
  const bool scrolling = Scroll && ScrollCode == 0;
  if (scrolling && ActiveItem == VisibleStartIndex + VisibleCount - 1) ScrollDown(true);
  OldActiveItem = ActiveItem;
  int32_t i = ActiveItem < 0 ? 0 : ActiveItem + 1;
  if (i >= n) i = 0;
  for (; i < n; ++i) {
    if (Usable(i)) {
      ActiveItem = i;
      break;
    }
    if (scrolling && i == VisibleStartIndex + VisibleCount - 1) ScrollDown(true);
  }
  if (ActiveItem == OldActiveItem) return;
  ItemList[size_t(ActiveItem)]->MouseEnter(true);
  if (OldActiveItem >= 0 && OldActiveItem < n) ItemList[size_t(OldActiveItem)]->MouseLeave();
}

void TkxSkinPopupWindow::SelectPrevItem() {
  const int32_t n = int32_t(ItemList.size());
  if (n == 0) return;
  const bool scrolling = Scroll && ScrollCode == 0;
  if (scrolling && ActiveItem == VisibleStartIndex) ScrollUp(true);
  OldActiveItem = ActiveItem;
  int32_t i = ActiveItem < 0 ? n - 1 : ActiveItem - 1;
  if (i < 0) i = n - 1;
  for (; i >= 0; --i) {
    if (Usable(i)) {
      ActiveItem = i;
      break;
    }
    if (scrolling && i == VisibleStartIndex) ScrollUp(true);
  }
  if (ActiveItem == OldActiveItem) return;
  ItemList[size_t(ActiveItem)]->MouseEnter(true);
  if (OldActiveItem >= 0 && OldActiveItem < n) ItemList[size_t(OldActiveItem)]->MouseLeave();
}

// ---- effects and sub-menus ----------------------------------------------------------------------

void TkxSkinPopupWindow::MorphTimerTick() {
  if (!PW) {
    MorphTimer->SetEnabled(false);
    return;
  }
  bool running = false;
  for (TkxSkinMenuItem* it : ItemList) {
    if (it->EnableMorphing() && it->CanMorphing()) {
      it->DoMorphing();
      running = true;
    } else if (it->EnableAnimation()) {
      if (it->Active && it->CurrentFrame <= it->MI->FrameCount) {
        ++it->CurrentFrame;
        it->DrawOnWindow();
        running = true;
      } else if (!it->Active && it->CurrentFrame > 0) {
        --it->CurrentFrame;
        it->DrawOnWindow();
        running = true;
      }
    }
  }
  if (!running) MorphTimer->SetEnabled(false);
}

void TkxSkinPopupWindow::CloseSubMenus() {
  const int32_t level = ParentMenu->IndexOfWindow(this);
  if (level + 1 < int32_t(ParentMenu->FPopupList.size())) ParentMenu->CloseLevels(level + 1);
  for (TkxSkinMenuItem* it : ItemList) {
    if (!it->Down) continue;
    it->Down = false;
    if (it->EnableAnimation() && !it->MI->InActiveAnimation) {
      it->CurrentFrame = 0;
      it->DrawOnWindow();
    } else {
      it->ReDraw();
    }
  }
}

void TkxSkinPopupWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; return;
    case WM_ERASEBKGND:
      if (Message.WParam) PaintMenu(reinterpret_cast<HDC>(Message.WParam));
      Message.Result = 1;
      return;
    case WM_TIMER:
      if (Message.WParam == kFadeTimer) {
        FadeTick();
        return;
      }
      if (Message.WParam == kScrollTimer) {
        if (ScrollCode == 1) {
          if (CanScroll(1)) ScrollUp(false);
          else StopScroll();
        } else if (ScrollCode == 2) {
          if (CanScroll(2)) ScrollDown(false);
          else StopScroll();
        }
        return;
      }
      TCustomControl::Dispatch(Message);
      return;
    default: TCustomControl::Dispatch(Message); return;
  }
}

// ---- TkxSkinMenu --------------------------------------------------------------------------------

TkxSkinMenu::TkxSkinMenu(TComponent* AOwner, TCustomForm* AForm) : TComponent(AOwner), FForm(AForm) {
  FDefaultMenuItemFont = new TFont();
  FDefaultMenuItemFont->SetName("Arial");
  FDefaultMenuItemFont->SetHeight(14);
  WaitTimer = new TTimer(this);
  WaitTimer->SetEnabled(false);
  WaitTimer->SetInterval(500);
  WaitTimer->OnTimer = [this](TObject*) { WaitTimerTick(); };
  if (FForm) FForm->FreeNotification(this);
}

TkxSkinMenu::~TkxSkinMenu() {
  CloseLevels(0);
  // Closed levels still waiting to be freed go now, while the engine they point to is whole.
  std::vector<TkxSkinPopupWindow*> mine;
  for (TkxSkinPopupWindow* w : Retired())
    if (w->ParentMenu == this) mine.push_back(w);
  for (TkxSkinPopupWindow* w : mine) delete w;
  delete FDefaultMenuItemFont;
}

void TkxSkinMenu::SetDefaultMenuItemFont(TFont* Value) {
  if (Value) FDefaultMenuItemFont->Assign(Value);
}

void TkxSkinMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == PopupCtrl) PopupCtrl = nullptr;
  if (AComponent == DCtrl) DCtrl = nullptr;
  if (AComponent == FCommandMenu) FCommandMenu = nullptr;
  if (AComponent == FForm) {
    // Both sides forget the link: the base drops only this one's, and the form (still alive
    // while its owner announces its end) would otherwise keep a pointer to this engine, which
    // may go first, with the skinned-form component that owns it.
    FForm->RemoveFreeNotification(this);
    FForm = nullptr;
  }
  if (AComponent == SkinData) SkinData = nullptr;
  for (TkxSkinPopupWindow* w : FPopupList)
    for (TkxSkinMenuItem* i : w->ItemList)
      if (i->MenuItem == AComponent) {
        Hide();
        return;
      }
}

void TkxSkinMenu::GetWorkArea(TRect& R) {
  if (FForm) GetMonitorWorkArea(FForm->Handle(), true, R);
  else GetScreenWorkArea(true, R);
}

void TkxSkinMenu::Tell(TControl* C, uint32_t Msg) {
  if (!C) return;
  if (auto* w = dynamic_cast<TWinControl*>(C)) SendMessage(w->Handle(), Msg, 0, 0);
  else C->Perform(Msg, 0, 0);
}

void TkxSkinMenu::Popup(TControl* APopupCtrl, TkxSkinData* ASkinData, int32_t StartIndex, const TRect& R,
                        TMenuItem* AItem, bool PopupUp) {
  FFirst = !FVisible;
  // The old menu closes first and tells its own control; only then is the new control kept.
  if (!FPopupList.empty() || FVisible) CloseLevels(0);
  PopupCtrl = APopupCtrl;
  if (PopupCtrl) PopupCtrl->FreeNotification(this);
  GetWorkArea(WorkArea);
  SkinData = ASkinData;
  if (SkinData) SkinData->FreeNotification(this);
  if (AItem && AItem->Count() > 0 && StartIndex < AItem->Count()) {
    FVisible = true;
    PopupLevel(R, AItem, PopupUp, false, StartIndex);
    FFirst = false;
  } else {
    // Nothing opens: no control waits for a close.
    PopupCtrl = nullptr;
  }
}

void TkxSkinMenu::Popup2(TControl* APopupCtrl, TkxSkinData* ASkinData, int32_t StartIndex, const TRect& R,
                         TMenuItem* AItem, TMenuItem* AItem2, bool PopupUp) {
  FFirst = !FVisible;
  if (!FPopupList.empty() || FVisible) CloseLevels(0);
  PopupCtrl = APopupCtrl;
  if (PopupCtrl) PopupCtrl->FreeNotification(this);
  GetWorkArea(WorkArea);
  SkinData = ASkinData;
  if (SkinData) SkinData->FreeNotification(this);
  const int32_t total = (AItem ? AItem->Count() : 0) + (AItem2 ? AItem2->Count() : 0);
  if (AItem && AItem->Count() > 0 && StartIndex < total) {
    FVisible = true;
    PopupLevel2(R, AItem, AItem2, PopupUp, false, StartIndex);
    FFirst = false;
  } else {
    PopupCtrl = nullptr;
  }
}

TkxSkinPopupWindow* TkxSkinMenu::NewLevel() {
  TkxDataSkinPopupWindow* rec = SkinData && !SkinData->Empty ? SkinData->PopupWindow.get() : nullptr;
  auto* w = new TkxSkinPopupWindow(this, this, rec);
  FPopupList.push_back(w);
  return w;
}

void TkxSkinMenu::PopupLevel(const TRect& R, TMenuItem* AItem, bool PopupUp, bool PopupByItem, int32_t StartIndex) {
  NewLevel()->Show(R, AItem, StartIndex, PopupByItem, PopupUp);
}

void TkxSkinMenu::PopupLevel2(const TRect& R, TMenuItem* AItem, TMenuItem* AItem2, bool PopupUp, bool PopupByItem,
                              int32_t StartIndex) {
  NewLevel()->Show2(R, AItem, AItem2, StartIndex, PopupByItem, PopupUp);
}

int32_t TkxSkinMenu::IndexOfWindow(const TkxSkinPopupWindow* W) const {
  auto it = std::find(FPopupList.begin(), FPopupList.end(), W);
  return int32_t(it - FPopupList.begin());
}

void TkxSkinMenu::ActivateItem(TkxSkinPopupWindow* W, TkxSkinMenuItem* Item, bool Kb, bool Click) {
  TMenuItem* mi = Item->MenuItem;
  const bool sub = mi->Count() > 0;
  const int32_t level = IndexOfWindow(W);
  if (!sub && !Click) {
    WaitTimer->SetEnabled(false);
    WItem = nullptr;
    if (level + 1 < int32_t(FPopupList.size())) CloseLevels(level + 1);
  } else if (!sub && Click) {
    WaitTimer->SetEnabled(false);
    WItem = nullptr;
    // The menu is closed before the command runs; the level that was clicked is freed only once
    // its handler has returned.
    FCommandMenu = mi->GetParentMenu();
    const uint32_t command = mi->Command();
    if (FCommandMenu) FCommandMenu->FreeNotification(this);
    Hide();
    if (FCommandMenu) {
      TMenu* m = FCommandMenu;
      FCommandMenu = nullptr;
      m->DispatchCommand(command);
    }
    if (DCtrl) {
      TControl* c = DCtrl;
      DCtrl = nullptr;
      Tell(c, KXM_MENUCOMMAND);
    }
  } else if (!Kb && !Click) {
    WaitTimer->SetEnabled(false);
    if (level + 1 < int32_t(FPopupList.size())) CloseLevels(level + 1);
    WItem = Item;
    WaitTimer->SetEnabled(true);
  } else if (Click) {
    // The item's own click first: the application may fill the sub-menu there.
    if (TMenu* m = mi->GetParentMenu()) m->DispatchCommand(mi->Command());
    WaitTimer->SetEnabled(false);
    WItem = nullptr;
    // The click may have closed the menu meanwhile.
    if (IndexOfWindow(W) >= int32_t(FPopupList.size())) return;
    if (IndexOfWindow(W) + 1 < int32_t(FPopupList.size())) CloseLevels(IndexOfWindow(W) + 1);
    Item->Down = true;
    RECT wr{};
    GetWindowRect(W->Handle(), &wr);
    PopupLevel(Offset(Item->ObjectRect, wr.left, wr.top), mi, false, true, 0);
  }
}

void TkxSkinMenu::WaitTimerTick() {
  WaitTimer->SetEnabled(false);
  TkxSkinMenuItem* it = WItem;
  if (it) ActivateItem(it->Parent, it, false, true);
}

void TkxSkinMenu::ReleaseLevel(TkxSkinPopupWindow* W) {
  if (WItem && WItem->Parent == W) {
    WaitTimer->SetEnabled(false);
    WItem = nullptr;
  }
  W->Retire();
  Retired().push_back(W);
  RunAfterDispatch([W] {
    if (TakeRetired(W)) delete W;
  });
}

void TkxSkinMenu::CloseLevels(int32_t Level) {
  Level = std::max(0, Level);
  while (int32_t(FPopupList.size()) > Level) {
    TkxSkinPopupWindow* w = FPopupList.back();
    FPopupList.pop_back();
    ReleaseLevel(w);
  }
  if (Level != 0) return;
  FVisible = false;
  WaitTimer->SetEnabled(false);
  TControl* c = PopupCtrl;
  PopupCtrl = nullptr;
  DCtrl = c;
  if (DCtrl) DCtrl->FreeNotification(this);
  Tell(c, KXM_MENUCLOSED);
  if (OnMenuClose) {
    TNotifyEvent e = std::move(OnMenuClose);
    OnMenuClose = nullptr;
    e(this);
  }
}

void TkxSkinMenu::Hide() {
  CloseLevels(0);
  WaitTimer->SetEnabled(false);
  WItem = nullptr;
  if (FForm && FForm->HandleAllocated()) SendMessage(FForm->Handle(), KXM_MENUCLOSED, 0, 0);
}

// ---- TkxSkinPopupMenu ---------------------------------------------------------------------------

TkxSkinPopupMenu::TkxSkinPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}

TkxSkinPopupMenu::~TkxSkinPopupMenu() = default;

void TkxSkinPopupMenu::SetSkinData(TkxSkinData* Value) {
  FSD = Value;
  if (FSD) FSD->FreeNotification(this);
}

void TkxSkinPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TPopupMenu::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSD) FSD = nullptr;
  if (AComponent == ComponentForm) ComponentForm = nullptr;
  if (AComponent == SkinComponent) SkinComponent = nullptr;
}

void TkxSkinPopupMenu::DoSkinPopup(TControl* ACtrl, const TRect& R, bool APopupUp, bool NeedSkinData) {
  DoPopup(this);
  TkxVelara* v = nullptr;
  if (SkinComponent) {
    v = dynamic_cast<TkxVelara*>(SkinComponent);
  } else if (ComponentForm) {
    v = FindVelara(ComponentForm);
  } else if (TComponent* o = Owner()) {
    if (dynamic_cast<TCustomForm*>(o)) v = FindVelara(o);
    else if (o->Owner() && dynamic_cast<TCustomForm*>(o->Owner())) v = FindVelara(o->Owner());
  }
  if (v && !FSD) SetSkinData(v->MenusSkinData() ? v->MenusSkinData() : v->SkinData());
  if (!v || (NeedSkinData && !FSD)) return;
  TkxSkinMenu* engine = v->SkinMenu;
  if (!engine) return;
  if (engine->Visible()) v->SkinMenuClose();
  v->SkinMenuOpen();
  FPopupPoint = TPoint{R.left, R.top};
  engine->Popup(ACtrl, FSD, 0, R, Items(), APopupUp);
  if (!engine->Visible()) {
    // Nothing to show: the form leaves the menu state it just entered.
    v->SkinMenuClose();
    return;
  }
  if (OnMenuClose) engine->OnMenuClose = OnMenuClose;
}

void TkxSkinPopupMenu::Popup(int32_t X, int32_t Y) { DoSkinPopup(nullptr, TRect{X, Y, X, Y}, false, false); }

void TkxSkinPopupMenu::PopupFromRect(const TRect& R, bool APopupUp) { DoSkinPopup(nullptr, R, APopupUp, false); }

void TkxSkinPopupMenu::Popup2(TControl* ACtrl, int32_t X, int32_t Y) {
  DoSkinPopup(ACtrl, TRect{X, Y, X, Y}, false, true);
}

void TkxSkinPopupMenu::PopupFromRect2(TControl* ACtrl, const TRect& R, bool APopupUp) {
  DoSkinPopup(ACtrl, R, APopupUp, false);
}

// ---- helpers ------------------------------------------------------------------------------------

bool IsMenuCloseMessage(uint32_t Msg) {
  switch (Msg) {
    case WM_MOVE: case WM_SIZE: case WM_ACTIVATE: case WM_KILLFOCUS: case WM_CANCELMODE: case WM_MOUSEACTIVATE:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN: case WM_LBUTTONDOWN: case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: case WM_PARENTNOTIFY:
      return true;
    default: return false;
  }
}

TkxVelara* FindVelara(TComponent* AComponent) {
  if (!AComponent) return nullptr;
  for (int32_t i = 0; i < AComponent->ComponentCount(); ++i)
    if (auto* v = dynamic_cast<TkxVelara*>(AComponent->Components(i))) return v;
  return nullptr;
}

void RegisterSkinMenuFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterSkinDataFormClasses();
  RegisterMenuFormClasses();
  RegisterFormClass<TkxSkinPopupMenu, TPopupMenu>("TkxSkinPopupMenu")
      .Reference<TkxSkinData>("SkinData", &TkxSkinPopupMenu::SetSkinData)
      .Event<TNotifyEvent>("OnMenuClose", &TkxSkinPopupMenu::OnMenuClose);
}

// ---- the controls' seam -------------------------------------------------------------------------
// The skinned controls sit below this layer: the split button and the edit's context menu reach
// the skinned popup menu and the images menu through the seam the controls declare, filled here
// once this unit is linked.

#include "lib/controls/kxSkinMenuSeam.h"
#include "lib/forms/kxSkinImagesMenu.h"

namespace {

// The skinned form a popup menu shows through, as the menu itself looks it up.
TkxVelara* VelaraOf(TkxSkinPopupMenu* M) {
  if (M->SkinComponent) return dynamic_cast<TkxVelara*>(M->SkinComponent);
  if (M->ComponentForm) return FindVelara(M->ComponentForm);
  TComponent* o = M->Owner();
  if (!o) return nullptr;
  if (dynamic_cast<TCustomForm*>(o)) return FindVelara(o);
  if (o->Owner() && dynamic_cast<TCustomForm*>(o->Owner())) return FindVelara(o->Owner());
  return nullptr;
}

// Whether ACtrl's menu is open now on M's skinned form.
bool OpenFor(TkxSkinPopupMenu* M, TControl* ACtrl) {
  TkxVelara* v = VelaraOf(M);
  TkxSkinMenu* engine = v ? v->SkinMenu : nullptr;
  return engine && engine->Visible() && engine->PopupCtrl == ACtrl;
}

void CollectItems(TMenuItem* Item, std::vector<const TMenuItem*>& Out) {
  if (!Item) return;
  Out.push_back(Item);
  for (int32_t i = 0; i < Item->Count(); ++i) CollectItems(Item->Items(i), Out);
}

const bool kSeamFilled = [] {
  auto& seam = SkinMenuSeam();
  seam.NewPopupMenu = [](TComponent* AOwner, TCustomForm* AForm) -> TPopupMenu* {
    auto* m = new TkxSkinPopupMenu(AOwner);
    m->ComponentForm = AForm;
    if (AForm) AForm->FreeNotification(m);
    return m;
  };
  seam.IsSkinPopupMenu = [](TPopupMenu* M) { return dynamic_cast<TkxSkinPopupMenu*>(M) != nullptr; };
  seam.Popup2 = [](TPopupMenu* M, TControl* ACtrl, TPoint P) {
    auto* m = dynamic_cast<TkxSkinPopupMenu*>(M);
    if (!m) return false;
    m->Popup2(ACtrl, P.x, P.y);
    return OpenFor(m, ACtrl);
  };
  seam.PopupFromRect2 = [](TPopupMenu* M, TControl* ACtrl, const TRect& R, bool APopupUp) {
    auto* m = dynamic_cast<TkxSkinPopupMenu*>(M);
    if (!m) return false;
    m->PopupFromRect2(ACtrl, R, APopupUp);
    return OpenFor(m, ACtrl);
  };
  seam.FormStrings = [](TCustomForm* AForm) -> TkxResourceStrData* {
    TkxVelara* v = FindVelara(AForm);
    return v && v->SkinData() ? v->SkinData()->ResourceStrData() : nullptr;
  };
  seam.ClosedLevelsRead = [](TPopupMenu* M) {
    // Pointers are only compared: a closed level's items may name menus freed meanwhile.
    std::vector<const TMenuItem*> mine;
    CollectItems(M->Items(), mine);
    for (TkxSkinPopupWindow* w : Retired())
      for (TkxSkinMenuItem* i : w->ItemList)
        if (std::find(mine.begin(), mine.end(), i->MenuItem) != mine.end()) return true;
    return false;
  };
  seam.IsImagesMenu = [](TComponent* M) { return dynamic_cast<TkxSkinImagesMenu*>(M) != nullptr; };
  seam.ImagesMenuPopupFromRect = [](TComponent* M, const TRect& R, TNotifyEvent OnClose) {
    auto* m = dynamic_cast<TkxSkinImagesMenu*>(M);
    if (!m) return;
    m->OnInternalMenuClose = std::move(OnClose);
    m->PopupFromRect(R);
  };
  seam.SetImagesMenuChange = [](TComponent* M, TNotifyEvent OnChange) {
    if (auto* m = dynamic_cast<TkxSkinImagesMenu*>(M)) {
      m->OnInternalChange = OnChange;
      if (!OnChange) m->OnInternalMenuClose = nullptr;
    }
  };
  seam.ImagesMenuChosen = [](TComponent* M, TCustomImageList*& Images, int32_t& Index, std::string& Caption) {
    auto* m = dynamic_cast<TkxSkinImagesMenu*>(M);
    TkxImagesMenuItem* item = m ? m->SelectedItem() : nullptr;
    if (!item || !m->Images() || item->ImageIndex() < 0 || item->ImageIndex() >= m->Images()->Count()) return false;
    Images = m->Images();
    Index = item->ImageIndex();
    Caption = item->Caption();
    return true;
  };
  return true;
}();

}  // namespace
