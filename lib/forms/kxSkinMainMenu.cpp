#include "lib/forms/kxSkinMainMenu.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Streaming.h"
#include "classlib/streaming/Registrations.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/forms/kxSkinMenus.h"
#include "lib/forms/kxVelara.h"
#include "lib/graphics/kxEffectBmp.h"
#include "lib/graphics/kxPlainLook.h"
#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinRecords.h"

using namespace win;

namespace {

constexpr int32_t kMarkerWidth = 5;

int32_t W(const TRect& R) { return R.right - R.left; }
int32_t H(const TRect& R) { return R.bottom - R.top; }
bool Inside(const TRect& R, int32_t X, int32_t Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }

TBitmap* ActivePictureOf(const TkxSkinData* SD, int32_t Index) {
  if (!SD || Index < 0 || size_t(Index) >= SD->FActivePictures.size()) return nullptr;
  TBitmap* b = SD->FActivePictures[size_t(Index)].get();
  return b && !b->Empty() ? b : nullptr;
}

bool UsableSkin(const TkxSkinData* SD) { return SD && !SD->Empty; }

// A's canvas blended towards B by Kf, by the record's transition.
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

// A canvas onto the bar's window at once, outside painting.
class TWindowCanvas {
public:
  explicit TWindowCanvas(HWND Wnd) : FWnd(Wnd), FDC(GetDC(Wnd)) {}
  ~TWindowCanvas() {
    if (FDC) ReleaseDC(FWnd, FDC);
  }
  HDC DC() const { return FDC; }

private:
  HWND FWnd;
  HDC FDC;
};

}  // namespace

// ---- the main menu ----------------------------------------------------------------------------------

void TkxSkinMainMenu::SetSkinData(TkxSkinData* Value) {
  FSD = Value;
  if (Value) Value->FreeNotification(this);
}

void TkxSkinMainMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMainMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSD) FSD = nullptr;
}

// ---- objects of the bar -----------------------------------------------------------------------------

TkxMenuBarObject::TkxMenuBarObject(TkxSkinMainMenuBar* AParent, TkxDataSkinObject* AData) : Parent(AParent) {
  if (!AData) return;
  IDName = AData->IDName;
  SkinRect = AData->SkinRect;
  ActiveSkinRect = AData->ActiveSkinRect;
  DownRect = ActiveSkinRect;
  Morphing = AData->Morphing && !IsEmptyRect(ActiveSkinRect);
  MorphKind = AData->MorphKind;
  ObjectRect = SkinRect;
  Picture = ActivePictureOf(AParent->SkinData(), AData->ActivePictureIndex);
}

void TkxMenuBarObject::SetMorphKf(double Value) { FMorphSteps = int32_t(std::lround(std::clamp(Value, 0.0, 1.0) * 5.0)); }

bool TkxMenuBarObject::EnableMorphing() const {
  TkxSkinData* sd = Parent->SkinData();
  return Morphing && UsableSkin(sd) && sd->EnableSkinEffects();
}

void TkxMenuBarObject::DoMorphing() {
  FMorphSteps = std::clamp(FMorphSteps + (Active ? 1 : -1), 0, 5);
  Parent->DrawObject(this);
}

void TkxMenuBarObject::ReDraw() {
  if (EnableMorphing()) Parent->MorphTimer->SetEnabled(true);
  else Parent->DrawObject(this);
}

void TkxMenuBarObject::MouseEnter() {
  FMouseIn = Active = true;
  ReDraw();
}

void TkxMenuBarObject::MouseLeave() {
  FMouseIn = Active = false;
  ReDraw();
}

bool TkxMenuBarObject::CanMorphing() const {
  return (!FDown || IsEmptyRect(DownRect)) && ((Active && FMorphSteps < 5) || (!Active && FMorphSteps > 0));
}

// ---- one item -----------------------------------------------------------------------------------

TkxSkinMainMenuBarItem::TkxSkinMainMenuBarItem(TkxSkinMainMenuBar* AParent, TkxDataSkinObject* AData)
    : TkxMenuBarObject(AParent, AData) {
  auto* d = dynamic_cast<TkxDataSkinMainMenuItem*>(AData);
  FSkinSupport = d != nullptr;
  if (!d) return;
  FontName = d->FontName;
  FontHeight = d->FontHeight;
  FontStyle = d->FontStyle;
  UnEnabledFontColor = d->UnEnabledFontColor;
  FontColor = d->FontColor;
  ActiveFontColor = d->ActiveFontColor;
  DownFontColor = d->DownFontColor;
  TextRct = d->TextRct;
  DownRect = d->DownRect;
  if (IsEmptyRect(DownRect)) DownRect = IsEmptyRect(ActiveSkinRect) ? SkinRect : ActiveSkinRect;
  LO = d->ItemLO;
  RO = d->ItemRO;
  StretchEffect = d->StretchEffect;
  AnimateSkinRect = d->AnimateSkinRect;
  FrameCount = d->FrameCount;
  AnimateInterval = d->AnimateInterval;
  InActiveAnimation = d->InActiveAnimation;
}

bool TkxSkinMainMenuBarItem::EnableAnimation() const {
  TkxSkinData* sd = Parent->SkinData();
  return !IsEmptyRect(AnimateSkinRect) && FrameCount > 0 && UsableSkin(sd) && sd->EnableSkinEffects();
}

void TkxSkinMainMenuBarItem::ReDraw() {
  if (EnableAnimation()) {
    Parent->AnimateTimer->SetInterval(uint32_t(std::max(1, AnimateInterval)));
    Parent->AnimateTimer->SetEnabled(true);
  } else {
    TkxMenuBarObject::ReDraw();
  }
}

bool TkxSkinMainMenuBarItem::Place(TCanvas* Cnvs, TFont* Font) {
  // After the item before it, from the items area's left end.
  int32_t left = Parent->NewItemsRect.left;
  for (int32_t i = 0; i < Parent->ItemCount(); ++i) {
    if (Parent->ObjectList[size_t(i)] == this) break;
    if (Parent->ObjectList[size_t(i)]->ObjectRect.right != 0) left = Parent->ObjectList[size_t(i)]->ObjectRect.right;
  }
  Cnvs->Font()->Assign(Font);
  TRect r{0, 0, 0, 0};
  DrawWideText(Cnvs, MenuItem ? MenuItem->Caption() : "", r, DT_CALCRECT | DT_SINGLELINE);
  const int32_t w = W(r);
  const bool skinned = FSkinSupport && Parent->FSkinSupport;
  if (skinned)
    ObjectRect = TRect{left, Parent->NewItemsRect.top, left + W(SkinRect) - W(TextRct) + w + 2,
                       Parent->NewItemsRect.top + H(SkinRect)};
  else
    ObjectRect = TRect{left, Parent->NewItemsRect.top, left + w + 12, Parent->NewItemsRect.bottom};
  const int32_t limit = Parent->NewItemsRect.right - (Parent->ScrollMenu ? kMarkerWidth : 0);
  if (limit < ObjectRect.right) {
    Parent->Scroll = true;
    if (Visible) {
      OldEnabled = Enabled;
      Enabled = false;
      Visible = false;
    }
    return false;
  }
  if (!Visible) {
    Visible = true;
    Enabled = OldEnabled;
  }
  return true;
}

void TkxSkinMainMenuBarItem::DrawCaption(TCanvas* C, const TRect& R, TColor Color, bool Centre) {
  C->Brush()->SetStyle(bsClear);
  C->Font()->SetColor(Color);
  TRect r = R;
  if (MenuItem && MenuItem->OnDrawItem) {
    MenuItem->OnDrawItem(this, C, r, Active);
    return;
  }
  DrawWideText(C, MenuItem ? MenuItem->Caption() : "", r,
               (Centre ? DT_CENTER : 0) | DT_VCENTER | DT_SINGLELINE);
}

void TkxSkinMainMenuBarItem::DefaultDraw(TCanvas* Cnvs) {
  TFont* font = Parent->DefItemFont();
  if (!Place(Cnvs, font)) return;
  auto b = std::make_unique<TBitmap>();
  b->SetSize(W(ObjectRect), H(ObjectRect));
  TCanvas* c = b->Canvas();
  const TRect all{0, 0, b->Width(), b->Height()};
  if (FDown || Active) {
    c->Brush()->SetColor(FDown ? TColor(0xB59385) : TColor(0xD2BDB6));
    c->FillRect(all);
    c->Brush()->SetColor(clNavy);
    c->FrameRect(all);
  } else {
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(all);
  }
  c->Font()->Assign(font);
  if (TkxSkinData* sd = Parent->SkinData(); sd && sd->ResourceStrData())
    c->Font()->SetCharset(sd->ResourceStrData()->CharSet());
  TRect m{0, 0, 0, 0};
  DrawWideText(c, MenuItem ? MenuItem->Caption() : "", m, DT_CALCRECT | DT_SINGLELINE);
  TRect r{0, (b->Height() - H(m)) / 2, b->Width(), (b->Height() - H(m)) / 2 + H(m)};
  if (FDown) OffsetRect(&r, 1, 1);
  const bool enabled = MenuItem && MenuItem->Enabled();
  DrawCaption(c, r, enabled ? font->Color() : clBtnShadow, true);
  Cnvs->Draw(ObjectRect.left, ObjectRect.top, b.get());
}

void TkxSkinMainMenuBarItem::DrawSource(TCanvas* Cnvs, const TRect& Src, bool Hot) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(W(ObjectRect), H(ObjectRect));
  if (Parent->ItemTransparent && Src == SkinRect) {
    b->Canvas()->CopyRect(TRect{0, 0, b->Width(), b->Height()}, Cnvs, ObjectRect);
  } else if (Picture) {
    BuildHorzThreePartImage(LO, RO, b.get(), Picture, Src, b->Width(), b->Height(), Hot && StretchEffect);
  }
  Cnvs->Draw(ObjectRect.left, ObjectRect.top, b.get());
}

void TkxSkinMainMenuBarItem::Draw(TCanvas* Cnvs) {
  if (!FSkinSupport || !Parent->FSkinSupport) {
    DefaultDraw(Cnvs);
    return;
  }
  if (IsEmptyRect(SkinRect) || IsEmptyRect(TextRct)) return;
  TkxSkinData* sd = Parent->SkinData();
  auto font = std::make_unique<TFont>();
  if (Parent->UseSkinFont) {
    font->SetName(FontName);
    font->SetStyle(FontStyle);
    font->SetHeight(FontHeight);
  } else {
    font->Assign(Parent->DefItemFont());
  }
  font->SetCharset(sd && sd->ResourceStrData() ? sd->ResourceStrData()->CharSet() : Parent->DefItemFont()->Charset());
  if (!Place(Cnvs, font.get())) return;
  if (!Picture) return;
  bool hot = Active;
  if (FDown) {
    DrawSource(Cnvs, DownRect, true);
    hot = true;
  } else if (EnableAnimation() && CurrentFrame >= 1 && CurrentFrame <= FrameCount) {
    TRect f = AnimateSkinRect;
    if (H(AnimateSkinRect) > H(SkinRect)) {
      const int32_t fh = H(AnimateSkinRect) / FrameCount;
      f = TRect{f.left, f.top + (CurrentFrame - 1) * fh, f.right, f.top + CurrentFrame * fh};
    } else {
      const int32_t fw = W(AnimateSkinRect) / FrameCount;
      f = TRect{f.left + (CurrentFrame - 1) * fw, f.top, f.left + CurrentFrame * fw, f.bottom};
    }
    DrawSource(Cnvs, f, true);
    hot = true;
  } else if (!EnableMorphing() || (Active && FMorphSteps == 5) || (!Active && FMorphSteps == 0)) {
    DrawSource(Cnvs, Active && !IsEmptyRect(ActiveSkinRect) ? ActiveSkinRect : SkinRect, Active);
  } else {
    auto a = std::make_unique<TBitmap>();
    auto h = std::make_unique<TBitmap>();
    a->SetSize(W(ObjectRect), H(ObjectRect));
    h->SetSize(W(ObjectRect), H(ObjectRect));
    BuildHorzThreePartImage(LO, RO, a.get(), Picture, SkinRect, a->Width(), a->Height(), false);
    BuildHorzThreePartImage(LO, RO, h.get(), Picture, ActiveSkinRect, h->Width(), h->Height(), StretchEffect);
    DrawMorphed(a.get(), h.get(), MorphKf(), MorphKind);
    Cnvs->Draw(ObjectRect.left, ObjectRect.top, a.get());
    hot = MorphKf() >= 0.5;
  }
  Cnvs->Font()->Assign(font.get());
  TColor color = FDown ? DownFontColor : hot ? ActiveFontColor : (MenuItem && MenuItem->Enabled()) ? FontColor
                                                                                                    : UnEnabledFontColor;
  TRect m{0, 0, 0, 0};
  DrawWideText(Cnvs, MenuItem ? MenuItem->Caption() : "", m, DT_CALCRECT | DT_SINGLELINE);
  // The text's place in the item, widened by its caption's room.
  TRect t{ObjectRect.left + TextRct.left, ObjectRect.top + TextRct.top,
          ObjectRect.left + TextRct.left + W(m) + 2, ObjectRect.top + TextRct.bottom};
  DrawCaption(Cnvs, t, color, true);
}

void TkxSkinMainMenuBarItem::MouseEnter() {
  TkxSkinMainMenuBarItem* down = nullptr;
  for (int32_t i = 0; i < Parent->ItemCount(); ++i)
    if (auto* it = Parent->Item(i); it && it != this && it->FDown) down = it;
  if (down) {
    // Moving along the bar with a sub-menu open moves the open sub-menu.
    down->SetDown(false);
    Active = FMouseIn = true;
    if (EnableMorphing()) SetMorphKf(1);
    SetDown(true);
    return;
  }
  for (int32_t i = 0; i < Parent->ItemCount(); ++i)
    if (auto* it = Parent->Item(i); it && it != this && it->Active) it->MouseLeave();
  FMouseIn = Active = true;
  ReDraw();
  if (Parent->OnItemMouseEnter) Parent->OnItemMouseEnter(MenuItem);
  if (MenuItem && Parent->Hint() != MenuItem->Hint()) Parent->SetHint(MenuItem->Hint());
}

void TkxSkinMainMenuBarItem::MouseLeave() {
  Active = FMouseIn = false;
  if (EnableAnimation() && !InActiveAnimation) {
    CurrentFrame = 0;
    Parent->DrawObject(this);
  }
  if (FDown && EnableMorphing()) SetMorphKf(0);
  ReDraw();
  if (Parent->OnItemMouseLeave) Parent->OnItemMouseLeave(MenuItem);
}

void TkxSkinMainMenuBarItem::SetDown(bool Value) {
  if (Value) {
    FDown = true;
    SetMorphKf(1);
    Parent->DrawObject(this);
    TkxVelara* v = Parent->Velara();
    if (v && !v->InMainMenu && v->OnMainMenuEnter) v->OnMainMenuEnter(Parent);
    TrackMenu();
    return;
  }
  FDown = false;
  Active = false;
  if (EnableAnimation()) {
    if (InActiveAnimation) {
      CurrentFrame = FrameCount + 1;
      ReDraw();
    } else {
      CurrentFrame = 0;
      Parent->DrawObject(this);
    }
  } else if (EnableMorphing()) {
    SetMorphKf(1);
    ReDraw();
  } else {
    Parent->DrawObject(this);
  }
}

void TkxSkinMainMenuBarItem::TrackMenu() {
  TkxVelara* v = Parent->Velara();
  if (!v || !v->SkinMenu || !MenuItem) return;
  const TRect r = Parent->ToScreen(ObjectRect);
  v->SkinMenuOpen();
  v->InMainMenu = true;
  v->SkinMenu->Popup(nullptr, Parent->SkinData(), 0, r, MenuItem, Parent->PopupToUp);
}

void TkxSkinMainMenuBarItem::MouseDown(int32_t, int32_t, TMouseButton Button) {
  TkxVelara* v = Parent->Velara();
  if (!Enabled || !v || Button != mbLeft || !MenuItem) return;
  if (MenuItem->Count() > 0) {
    Parent->MenuActive = true;
    SetDown(true);
    return;
  }
  if (v->InMainMenu) v->EndMainMenu();
  v->InMenu = false;
  if (EnableMorphing()) ReDraw();
  else Parent->DrawObject(this);
  if (TMenu* m = MenuItem->GetParentMenu()) m->DispatchCommand(MenuItem->Command());
}

// ---- the bar --------------------------------------------------------------------------------------

TkxSkinMainMenuBar::TkxSkinMainMenuBar(TComponent* AOwner) : TkxSkinControl(AOwner) {
  SetSkinDataName("mainmenubar");
  FDefItemFont = new TFont();
  FDefItemFont->SetName("Arial");
  FDefItemFont->SetHeight(14);
  FDefItemFont->SetColor(clBtnText);
  SetAlign(alTop);
  SetHeight(22);
  auto timer = [this](uint32_t Interval, std::function<void()> Tick) {
    auto* t = new TTimer(this);
    t->SetEnabled(false);
    t->SetInterval(Interval);
    t->OnTimer = [Tick = std::move(Tick)](TObject*) { Tick(); };
    return t;
  };
  MouseTimer = timer(50, [this] { MouseTimerTick(); });
  MorphTimer = timer(25, [this] { MorphTimerTick(); });
  AnimateTimer = timer(25, [this] { AnimateTimerTick(); });
}

TkxSkinMainMenuBar::~TkxSkinMainMenuBar() {
  ClearObjects();
  delete FDefItemFont;
}

void TkxSkinMainMenuBar::ClearObjects() {
  for (TkxMenuBarObject* o : ObjectList) delete o;
  ObjectList.clear();
  ActiveObject = OldActiveObject = MouseCaptureObject = -1;
}

TkxSkinMainMenuBarItem* TkxSkinMainMenuBar::Item(int32_t I) const {
  if (I < 0 || I >= ItemCount()) return nullptr;
  return dynamic_cast<TkxSkinMainMenuBarItem*>(ObjectList[size_t(I)]);
}

bool TkxSkinMainMenuBar::Usable(int32_t I) const {
  auto* it = Item(I);
  return it && it->Enabled && it->Visible;
}

void TkxSkinMainMenuBar::Notification(TComponent* AComponent, TOperation Operation) {
  TkxSkinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FMainMenu) {
    FMainMenu = nullptr;
    ClearObjects();
  }
  if (AComponent == FVelara) FVelara = nullptr;
}

void TkxSkinMainMenuBar::SetMainMenu(TMainMenu* Value) {
  FMainMenu = Value;
  if (Value) Value->FreeNotification(this);
  CreateMenu();
  Invalidate();
}

void TkxSkinMainMenuBar::SetVelara(TkxVelara* Value) {
  FVelara = Value;
  if (Value) Value->FreeNotification(this);
}

void TkxSkinMainMenuBar::SetDefItemFont(TFont* Value) {
  if (Value) FDefItemFont->Assign(Value);
  if (SkinIndex() == -1) Invalidate();
}

void TkxSkinMainMenuBar::SetDefaultWidth(int32_t Value) {
  FDefaultWidth = Value;
  if (SkinIndex() == -1 && Value > 0) SetWidth(Value);
}

void TkxSkinMainMenuBar::SetDefaultHeight(int32_t Value) {
  FDefaultHeight = Value;
  if (SkinIndex() == -1 && Value > 0) SetHeight(Value);
}

void TkxSkinMainMenuBar::GetSkinData() {
  TkxSkinControl::GetSkinData();
  auto* r = SkinRecord<TkxDataSkinMainMenuBar>();
  if (!r) return;
  BarSkinRect = r->SkinRect;
  ItemsRect = r->ItemsRect;
  MenuBarItem = r->MenuBarItem;
  TrackMarkColor = r->TrackMarkColor;
  TrackMarkActiveColor = r->TrackMarkActiveColor;
  StretchEffect = r->StretchEffect;
  ItemTransparent = r->ItemTransparent;
  Picture = SkinPicture(r->PictureIndex);
}

void TkxSkinMainMenuBar::BeforeChangeSkinData() {
  FSkinSupport = false;
  TkxSkinControl::BeforeChangeSkinData();
  ClearObjects();
}

void TkxSkinMainMenuBar::ChangeSkinData() {
  GetSkinData();
  FSkinSupport = SkinRecord<TkxDataSkinMainMenuBar>() != nullptr && Picture != nullptr;
  CreateMenu();
  if (FSkinSupport) SetHeight(H(BarSkinRect));
  else if (FDefaultHeight > 0) SetHeight(FDefaultHeight);
  Invalidate();
}

void TkxSkinMainMenuBar::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  GetSkinData();
  // A skinned bar is as high as its picture.
  if (SkinRecord<TkxDataSkinMainMenuBar>() && Picture) AHeight = H(BarSkinRect);
  TkxSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  Invalidate();
}

void TkxSkinMainMenuBar::CreateMenu() {
  ClearObjects();
  if (!FMainMenu) return;
  TkxSkinData* sd = SkinData();
  TkxDataSkinObject* rec = nullptr;
  if (UsableSkin(sd) && FSkinSupport) {
    const int32_t i = sd->GetIndex(MenuBarItem);
    if (i >= 0 && size_t(i) < sd->ObjectList.size()) rec = sd->ObjectList[size_t(i)].get();
  }
  TMenuItem* root = FMainMenu->Items();
  for (int32_t i = 0; i < root->Count(); ++i) {
    TMenuItem* mi = root->Items(i);
    if (!mi->Visible()) continue;
    auto* it = new TkxSkinMainMenuBarItem(this, rec);
    it->IDName = mi->Name();
    it->Enabled = it->OldEnabled = mi->Enabled();
    it->MenuItem = mi;
    ObjectList.push_back(it);
  }
}

void TkxSkinMainMenuBar::UpDateItems() {
  CreateMenu();
  Invalidate();
  ActiveObject = OldActiveObject = -1;
  MouseTimer->SetEnabled(true);
}

void TkxSkinMainMenuBar::UpDateEnabledItems() {
  for (int32_t i = 0; i < ItemCount(); ++i)
    if (auto* it = Item(i); it && it->MenuItem) {
      if (it->Visible) it->Enabled = it->MenuItem->Enabled();
      else it->OldEnabled = it->MenuItem->Enabled();
    }
  Invalidate();
}

void TkxSkinMainMenuBar::CalcItemsRect() {
  if (FSkinSupport)
    NewItemsRect = TRect{ItemsRect.left, ItemsRect.top, Width() - (W(BarSkinRect) - ItemsRect.right), ItemsRect.bottom};
  else
    NewItemsRect = TRect{2, 2, Width() - 2, Height() - 2};
}

TRect TkxSkinMainMenuBar::MarkerRect() const {
  return TRect{NewItemsRect.right - kMarkerWidth, NewItemsRect.top, NewItemsRect.right, NewItemsRect.bottom};
}

TRect TkxSkinMainMenuBar::ToScreen(const TRect& R) const {
  auto* self = const_cast<TkxSkinMainMenuBar*>(this);
  const TPoint a = self->ClientToScreen(TPoint{R.left, R.top});
  return TRect{a.x, a.y, a.x + W(R), a.y + H(R)};
}

void TkxSkinMainMenuBar::DrawMarker(TCanvas* C) {
  const TColor color = FSkinSupport ? (MarkerActive ? TrackMarkActiveColor : TrackMarkColor)
                                    : (MarkerActive ? clBtnText : clBtnShadow);
  DrawArrowImage(C, MarkerRect(), color, 2);
}

void TkxSkinMainMenuBar::PaintBar(HDC DC) {
  if (Width() <= 0 || Height() <= 0 || !DC) return;
  GetSkinData();
  auto b = std::make_unique<TBitmap>();
  b->SetSize(Width(), Height());
  TCanvas* c = b->Canvas();
  TkxSkinData* sd = SkinData();
  if (!FSkinSupport) {
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect{0, 0, Width(), Height()});
  } else if (sd && sd->MainMenuBarTransparent) {
    PaintParentBackground(this, c);
  } else {
    BuildHorzThreePartImage(ItemsRect.left, W(BarSkinRect) - ItemsRect.right, b.get(), Picture, BarSkinRect, Width(),
                            Height(), StretchEffect);
  }
  CalcItemsRect();
  Scroll = false;
  for (TkxMenuBarObject* o : ObjectList) {
    // Hidden items are drawn too: drawing places them and shows those that fit again.
    o->ObjectRect = TRect{};
  }
  for (TkxMenuBarObject* o : ObjectList) o->Draw(c);
  if (Scroll && ScrollMenu) DrawMarker(c);
  BitBlt(DC, 0, 0, Width(), Height(), c->Handle(), 0, 0, SRCCOPY);
}

void TkxSkinMainMenuBar::DrawObject(TkxMenuBarObject*) {
  // The bar is small: it is drawn whole, so an item's background always comes from the bar.
  if (!HandleAllocated()) return;
  TWindowCanvas wc(Handle());
  PaintBar(wc.DC());
}

void TkxSkinMainMenuBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = BeginPaint(Handle(), &ps);
      PaintBar(dc);
      EndPaint(Handle(), &ps);
      Message.Result = 0;
      return;
    }
    case KXM_MENUCLOSED: return;
    case KXM_PARENTBGCHANGED:
      if (SkinIndex() != -1 && SkinData() && SkinData()->MainMenuBarTransparent) Invalidate();
      return;
    case WM_SIZE:
      TkxSkinControl::Dispatch(Message);
      CalcItemsRect();
      return;
    case CM_MOUSEENTER:
      TkxSkinControl::Dispatch(Message);
      if (!ComponentState().Contains(csDesigning)) MouseTimer->SetEnabled(true);
      return;
    case CM_MOUSELEAVE:
      TkxSkinControl::Dispatch(Message);
      if (!ComponentState().Contains(csDesigning)) {
        MouseTimer->SetEnabled(false);
        TestActive(-1, -1);
      }
      return;
    default: TkxSkinControl::Dispatch(Message); return;
  }
}

void TkxSkinMainMenuBar::TestActive(int32_t X, int32_t Y) {
  if (ObjectList.empty()) return;
  OldActiveObject = ActiveObject;
  int32_t hit = -1;
  for (int32_t i = 0; i < ItemCount(); ++i) {
    TkxMenuBarObject* o = ObjectList[size_t(i)];
    if (o->Enabled && Inside(o->ObjectRect, X, Y)) {
      hit = i;
      break;
    }
  }
  // In menu mode the last hot item stays hot when the mouse leaves the items.
  if (!(hit == -1 && MenuActive && Item(OldActiveObject))) ActiveObject = hit;
  if (MouseCaptureObject != -1 && MouseCaptureObject != hit) ActiveObject = -1;
  if (ActiveObject >= ItemCount()) ActiveObject = -1;
  if (OldActiveObject >= ItemCount()) OldActiveObject = -1;
  if (ActiveObject != OldActiveObject) {
    if (OldActiveObject != -1 && ObjectList[size_t(OldActiveObject)]->Enabled)
      ObjectList[size_t(OldActiveObject)]->MouseLeave();
    if (ActiveObject != -1 && ObjectList[size_t(ActiveObject)]->Enabled) ObjectList[size_t(ActiveObject)]->MouseEnter();
  }
  if (Scroll && ScrollMenu) {
    const bool on = Inside(MarkerRect(), X, Y);
    if (on != MarkerActive) {
      MarkerActive = on;
      DrawObject(nullptr);
    }
  }
}

void TkxSkinMainMenuBar::MouseTimerTick() {
  POINT p{};
  GetCursorPos(&p);
  const TPoint c = ScreenToClient(TPoint{p.x, p.y});
  if (c.x < 0 || c.y < 0 || c.x > Width() || c.y > Height()) {
    if (!MouseTimer->Enabled()) return;
    MouseTimer->SetEnabled(false);
    TestActive(-1, -1);
    return;
  }
  TestActive(c.x, c.y);
}

void TkxSkinMainMenuBar::MorphTimerTick() {
  bool stepped = false;
  for (TkxMenuBarObject* o : ObjectList)
    if (o->EnableMorphing() && o->CanMorphing()) {
      o->DoMorphing();
      stepped = true;
    }
  if (!stepped) MorphTimer->SetEnabled(false);
}

void TkxSkinMainMenuBar::AnimateTimerTick() {
  bool stepped = false;
  for (int32_t i = 0; i < ItemCount(); ++i) {
    auto* it = Item(i);
    if (!it || !it->EnableAnimation()) continue;
    if (it->Active && it->CurrentFrame <= it->FrameCount) {
      ++it->CurrentFrame;
      stepped = true;
    } else if (!it->Active && it->CurrentFrame > 0) {
      --it->CurrentFrame;
      stepped = true;
    }
  }
  if (stepped) DrawObject(nullptr);
  else AnimateTimer->SetEnabled(false);
}

void TkxSkinMainMenuBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TkxSkinControl::MouseDown(Button, Shift, X, Y);
  TestActive(X, Y);
  if (ActiveObject != -1) {
    MouseCaptureObject = ActiveObject;
    TkxMenuBarObject* o = ObjectList[size_t(ActiveObject)];
    o->MouseDown(X, Y, Button);
    if (Shift.Contains(ssDouble) && MouseCaptureObject != -1 && MouseCaptureObject < ItemCount()) o->DblClick();
  } else if (Button == mbLeft && Scroll && ScrollMenu && Inside(MarkerRect(), X, Y)) {
    PopupHiddenItems();
  }
}

void TkxSkinMainMenuBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (MouseCaptureObject != -1 && MouseCaptureObject < ItemCount())
    ObjectList[size_t(MouseCaptureObject)]->MouseUp(X, Y, Button);
  MouseCaptureObject = -1;
  TkxSkinControl::MouseUp(Button, Shift, X, Y);
}

void TkxSkinMainMenuBar::MouseMove(TShiftState Shift, int X, int Y) {
  MouseTimer->SetEnabled(true);
  TkxSkinControl::MouseMove(Shift, X, Y);
}

void TkxSkinMainMenuBar::PopupHiddenItems() {
  if (!FVelara || !FVelara->SkinMenu || !FMainMenu) return;
  // The popup starts at the first hidden item's own place in the menu: invisible menu items have
  // no place on the bar, so the count of shown items would start too early.
  int32_t start = -1;
  for (int32_t i = 0; i < ItemCount(); ++i)
    if (auto* it = Item(i); it && !it->Visible && it->MenuItem) {
      start = FMainMenu->Items()->IndexOf(it->MenuItem);
      break;
    }
  if (start < 0) return;
  FVelara->SkinMenuOpen();
  FVelara->SkinMenu->Popup(nullptr, SkinData(), start, ToScreen(MarkerRect()), FMainMenu->Items(), false);
  if (!FVelara->SkinMenu->Visible()) FVelara->SkinMenuClose();
}

// ---- menu mode ------------------------------------------------------------------------------------

void TkxSkinMainMenuBar::StartMenuMode() {
  MenuActive = true;
  TkxMenuBarObject* first = nullptr;
  for (TkxMenuBarObject* o : ObjectList)
    if (o->Active) {
      first = o;
      break;
    }
  if (!first && !ObjectList.empty()) first = ObjectList.front();
  if (!first) return;
  first->MouseEnter();
  if (FVelara) {
    FVelara->InstallAppHook();
    FVelara->InMainMenu = true;
    if (FVelara->OnMainMenuEnter) FVelara->OnMainMenuEnter(this);
  }
}

bool TkxSkinMainMenuBar::ProcessAccel(int32_t VK) {
  if (!FVelara || ObjectList.empty() || !FVelara->Form() || !FVelara->Form()->Visible()) return false;
  for (int32_t i = 0; i < ItemCount(); ++i) {
    auto* it = Item(i);
    if (!Usable(i) || !it->MenuItem || !IsAccel(uint32_t(VK), it->MenuItem->Caption())) continue;
    it->MouseEnter();
    const bool subOpen = FVelara->SkinMenu && FVelara->SkinMenu->Visible();
    if (!(subOpen && it->MenuItem->Count() > 0)) it->MouseDown(0, 0, mbLeft);
    return true;
  }
  return false;
}

void TkxSkinMainMenuBar::NextMainMenuItem() {
  int32_t cur = -1;
  for (int32_t i = 0; i < ItemCount(); ++i)
    if (Usable(i) && (Item(i)->Active || Item(i)->FDown)) {
      cur = i;
      break;
    }
  if (cur == -1) {
    for (int32_t i = 0; i < ItemCount(); ++i)
      if (Usable(i)) {
        Item(i)->MouseEnter();
        return;
      }
    return;
  }
  int32_t next = -1;
  for (int32_t i = cur + 1; i < ItemCount() && next == -1; ++i)
    if (Usable(i)) next = i;
  for (int32_t i = 0; i < ItemCount() && next == -1; ++i)
    if (Usable(i)) next = i;
  Item(cur)->MouseLeave();
  Item(next)->MouseEnter();
}

void TkxSkinMainMenuBar::PriorMainMenuItem() {
  int32_t cur = -1;
  for (int32_t i = ItemCount() - 1; i >= 0; --i)
    if (Usable(i) && (Item(i)->Active || Item(i)->FDown)) {
      cur = i;
      break;
    }
  if (cur == -1) {
    for (int32_t i = ItemCount() - 1; i >= 0; --i)
      if (Usable(i)) {
        Item(i)->MouseEnter();
        return;
      }
    return;
  }
  int32_t prev = -1;
  for (int32_t i = cur - 1; i >= 0 && prev == -1; --i)
    if (Usable(i)) prev = i;
  for (int32_t i = ItemCount() - 1; i >= 0 && prev == -1; --i)
    if (Usable(i)) prev = i;
  Item(cur)->MouseLeave();
  Item(prev)->MouseEnter();
}

bool TkxSkinMainMenuBar::OpenActiveItem() {
  if (!FVelara) return false;
  const bool subOpen = FVelara->SkinMenu && FVelara->SkinMenu->Visible();
  for (int32_t i = 0; i < ItemCount(); ++i) {
    auto* it = Item(i);
    if (!it || !it->MenuItem) continue;
    if ((it->FDown && it->MenuItem->Count() == 0) || (it->Active && !subOpen)) {
      it->Active = false;
      it->MouseDown(0, 0, mbLeft);
      return true;
    }
  }
  return false;
}

void TkxSkinMainMenuBar::ReleaseDownItem() {
  for (int32_t i = 0; i < ItemCount(); ++i)
    if (auto* it = Item(i); it && it->FDown) {
      it->FDown = false;
      it->Active = true;
      DrawObject(it);
      return;
    }
}

void TkxSkinMainMenuBar::EndMenuMode() {
  MenuActive = false;
  for (int32_t i = 0; i < ItemCount(); ++i)
    if (auto* it = Item(i); it && (it->FDown || it->Active)) {
      it->Active = it->FMouseIn = it->FDown = false;
      if (it->EnableAnimation() && !it->InActiveAnimation) {
        it->CurrentFrame = 0;
        DrawObject(it);
      } else {
        it->ReDraw();
      }
      break;
    }
  ActiveObject = OldActiveObject = -1;
}

// ---- streaming ------------------------------------------------------------------------------------

void RegisterSkinMainMenuFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterSkinControlFormClasses();
  RegisterMenuFormClasses();
  RegisterVelaraFormClasses();
  RegisterFormClass<TkxSkinMainMenu, TMainMenu>("TkxSkinMainMenu")
      .Reference<TkxSkinData>("SkinData", &TkxSkinMainMenu::SetSkinData);
  using B = TkxSkinMainMenuBar;
  RegisterFormClass<B, TkxSkinControl>("TkxSkinMainMenuBar")
      .Reference<TMainMenu>("MainMenu", &B::SetMainMenu)
      .Reference<TkxVelara>("Velara", &B::SetVelara)
      .Boolean("ScrollMenu", &B::ScrollMenu)
      .Boolean("UseSkinFont", &B::UseSkinFont)
      .Object("DefItemFont", &B::DefItemFont)
      .Integer("DefaultWidth", &B::SetDefaultWidth)
      .Integer("DefaultHeight", &B::SetDefaultHeight)
      .Boolean("PopupToUp", &B::PopupToUp);
}
