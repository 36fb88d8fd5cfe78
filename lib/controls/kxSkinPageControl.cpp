#include "lib/controls/kxSkinPageControl.h"

#include <algorithm>

#include "classlib/Forms.h"
#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/graphics/kxEffectBmp.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/controls/kxSkinCtrls.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinUpDown.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/graphics/kxPlainLook.h"

using namespace win;

namespace {

TRect Moved(const TRect& R, int32_t DX, int32_t DY) {
  return TRect{R.left + DX, R.top + DY, R.right + DX, R.bottom + DY};
}

bool Inside(const TRect& Outer, const TRect& R) {
  return R.left >= Outer.left && R.top >= Outer.top && R.right <= Outer.right && R.bottom <= Outer.bottom;
}

enum class Turn { CounterClockwise, Clockwise, Flip };

// The picture of B turned by a quarter (side tabs) or upside down (bottom tabs).
std::unique_ptr<TBitmap> Turned(TBitmap* B, Turn How) {
  auto src = TkxEffectBmp::CreateFromhWnd(B->Handle());
  const bool quarter = How != Turn::Flip;
  const int32_t w = quarter ? src->Height : src->Width, h = quarter ? src->Width : src->Height;
  TkxEffectBmp dst(w, h);
  switch (How) {
    case Turn::CounterClockwise: src->Rotate90_1(&dst); break;
    case Turn::Clockwise: src->Rotate90_2(&dst); break;
    case Turn::Flip: src->FlipVert(&dst); break;
  }
  auto out = NewSkinImage(w, h);
  if (w > 0 && h > 0) dst.Draw(out->Canvas()->Handle(), 0, 0);
  return out;
}

// The default look's tab colours.

}  // namespace

// ---- TkxSkinCustomTabSheet --------------------------------------------------------------------

TkxSkinCustomTabSheet::TkxSkinCustomTabSheet(TComponent* AOwner)
    : TTabSheet(AOwner), FWallPaper(std::make_unique<TBitmap>()) {}

TkxSkinCustomTabSheet::~TkxSkinCustomTabSheet() {
  // Off the page control first: it must not paint a half-gone sheet.
  SetPageControl(nullptr);
}

void TkxSkinCustomTabSheet::SetWallPaper(TBitmap* Value) {
  FWallPaper->Assign(Value);
  Invalidate();
}

TkxSkinPageControl* TkxSkinCustomTabSheet::SkinPageControl() const {
  return dynamic_cast<TkxSkinPageControl*>(PageControl());
}

void TkxSkinCustomTabSheet::PaintBG(HDC DC) {
  if (Width() < 1 || Height() < 1 || !Parent() || !DC) return;
  TkxSkinPageControl* pc = SkinPageControl();
  if (pc) pc->GetSkinData();
  TCanvas c;
  c.SetHandle(DC);
  const int32_t w = Width(), h = Height();
  if (!FWallPaper->Empty()) {
    for (int32_t y = 0; y < h; y += FWallPaper->Height())
      for (int32_t x = 0; x < w; x += FWallPaper->Width()) c.Draw(x, y, FWallPaper.get());
  } else if (pc && pc->SkinIndex() >= 0 && pc->SkinPicture(pc->BGPictureIndex)) {
    pc->FillBackground(&c, pc->SkinPicture(pc->BGPictureIndex), w, h, w, h);
  } else if (pc && pc->SkinIndex() >= 0 && pc->Picture) {
    // The client part of the control's skin image, stretched for the control's size.
    TRect src = Moved(pc->ClRect, pc->SkinRect.left, pc->SkinRect.top);
    if (IsEmptyRect(src) || !Inside(TRect{0, 0, pc->Picture->Width(), pc->Picture->Height()}, src)) {
      PlainFill(&c, TRect{0, 0, w, h}, kxPlain.Face);
    } else {
      auto piece = NewSkinImage(RectWidth(src), RectHeight(src));
      piece->Canvas()->CopyRect(TRect{0, 0, piece->Width(), piece->Height()}, pc->Picture->Canvas(), src);
      pc->FillBackground(&c, piece.get(), w, h, pc->Width(), pc->Height());
    }
  } else {
    PlainFill(&c, TRect{0, 0, w, h}, kxPlain.Face);
  }
  c.SetHandle(nullptr);
}

void TkxSkinCustomTabSheet::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      PaintBG(reinterpret_cast<HDC>(Message.WParam));
      Message.Result = 1;
      return;
    case KXM_PAINTNCTODC: Message.Result = KX_PAINTNCTODC_ANSWER; return;
    case WM_SIZE: {
      TTabSheet::Dispatch(Message);
      Repaint();
      // A stretched background moves under every child that shows it.
      TkxSkinPageControl* pc = SkinPageControl();
      if (pc && pc->SkinData() && !pc->SkinData()->Empty && pc->StretchEffect)
        for (int32_t i = 0; i < ControlCount(); ++i)
          if (auto* w = dynamic_cast<TWinControl*>(Controls(i)); w && w->HandleAllocated())
            SendMessage(w->Handle(), KXM_PARENTBGCHANGED, 0, 0);
      return;
    }
  }
  TTabSheet::Dispatch(Message);
}

// ---- TkxSkinPageControl: properties -------------------------------------------------------------

TkxSkinPageControl::TkxSkinPageControl(TComponent* AOwner)
    : TPageControl(AOwner), TkxSkinBinding(this, "tab"), FTempImages(std::make_unique<TImageList>(nullptr)) {
  FDefaultFont = std::make_unique<TFont>();
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetHeight(14);
  FDefaultFont->SetColor(clBtnText);
  Font()->SetName("Arial");
  Font()->SetHeight(14);
  Font()->SetColor(clBtnText);
  FTempImages->SetSize(1, 1);
  // The tab window reserves the stand-in list's room in every tab; the real images and the
  // close buttons go there.
  TCustomTabControl::SetImages(FTempImages.get());
}

TkxSkinPageControl::~TkxSkinPageControl() {
  FDestroying = true;
  FreeScroller();
  TCustomTabControl::SetImages(nullptr);
}

TCustomImageList* TkxSkinPageControl::TempImages() const { return FTempImages.get(); }

void TkxSkinPageControl::SetTabExtededDraw(bool Value) {
  FTabExtendedDraw = Value;
  Invalidate();
}

void TkxSkinPageControl::SetTabsOffset(int32_t Value) {
  FTabsOffset = Value;
  if (Value > 0) {
    SetTabPosition(tpTop);
    SetMultiLine(false);
    FTabsBGTransparent = true;
  }
  Invalidate();
}

void TkxSkinPageControl::SetTabMargin(int32_t Value) {
  if (Value < -1 || Value == FTabMargin) return;
  FTabMargin = Value;
  Repaint();
}

void TkxSkinPageControl::SetTabSpacing(int32_t Value) {
  if (Value == FTabSpacing) return;
  FTabSpacing = Value;
  Repaint();
}

void TkxSkinPageControl::SetTabLayout(TkxButtonLayout Value) {
  if (Value == FTabLayout) return;
  FTabLayout = Value;
  Repaint();
}

void TkxSkinPageControl::SetTextInHorizontal(bool Value) {
  FTextInHorizontal = Value;
  Invalidate();
}

void TkxSkinPageControl::SetTabsInCenter(bool Value) {
  // Centring needs a known tab length.
  if (Value && TabWidth() == 0) return;
  FTabsInCenter = Value;
  if (Value) {
    SetTabPosition(tpTop);
    SetMultiLine(false);
    FTabsBGTransparent = true;
  }
  Invalidate();
}

void TkxSkinPageControl::SetShowCloseButtons(bool Value) {
  if (Value != FShowCloseButtons) {
    FShowCloseButtons = Value;
    UpdateRoom();
  }
  Invalidate();
}

void TkxSkinPageControl::SetImages(TCustomImageList* Value) {
  FTabImages.Set(Value);
  UpdateRoom();
  Invalidate();
}

void TkxSkinPageControl::SetTabsBGTransparent(bool Value) {
  if (Value == FTabsBGTransparent) return;
  FTabsBGTransparent = Value;
  Invalidate();
}

void TkxSkinPageControl::SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }

void TkxSkinPageControl::SetDefaultItemHeight(int32_t Value) {
  FDefaultItemHeight = Value;
  GetSkinData();
  if (FIndex < 0) {
    SetTabSize(TabWidth(), CurrentTabHeight());
    UpdateScrollerPosition();
    Realign();
  }
}

void TkxSkinPageControl::SetSkinData(TkxSkinData* Value) {
  if (!BindSkinData(Value)) return;
  if (Value && !Value->Empty && !HostDesigning()) ChangeSkinData();
}

void TkxSkinPageControl::SetTabPosition(TTabPosition Value) {
  if (Value == TabPosition()) return;
  TCustomTabControl::SetTabPosition(Value);
  // The room for images and close buttons runs along the tabs, whichever way they now go.
  UpdateRoom();
  Realign();
  Invalidate();
}

void TkxSkinPageControl::SetTabWidth(int32_t Value) {
  TCustomTabControl::SetTabWidth(Value);
  if (TabWidth() == 0) FTabsInCenter = false;
  SetTabSize(TabWidth(), CurrentTabHeight());
  Realign();
}

void TkxSkinPageControl::SetTabHeight(int32_t Value) {
  TCustomTabControl::SetTabHeight(Value);
  SetTabSize(TabWidth(), CurrentTabHeight());
  Realign();
}

void TkxSkinPageControl::SetMultiLine(bool Value) {
  if (Value == MultiLine()) return;
  TCustomTabControl::SetMultiLine(Value);
  if (Value) FreeScroller();
  else CheckScroll();
  Invalidate();
}

void TkxSkinPageControl::Notification(TComponent* AComponent, TOperation Operation) {
  TPageControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSkinUpDown) FSkinUpDown = nullptr;
}

void TkxSkinPageControl::Loaded() {
  TPageControl::Loaded();
  GetSkinData();
  if (FIndex < 0) {
    SetTabSize(TabWidth(), CurrentTabHeight());
    UpdateScrollerPosition();
    Invalidate();
    Realign();
  }
}

// ---- geometry -------------------------------------------------------------------------------------

int32_t TkxSkinPageControl::CurrentTabHeight() const {
  if (TabHeight() > 0) return TabHeight();
  if (FIndex < 0 || IsEmptyRect(TabRect)) return FDefaultItemHeight;
  return RectHeight(TabRect);
}

void TkxSkinPageControl::SetTabSize(int32_t W, int32_t H) {
  if (HandleAllocated()) Perform(TCM_SETITEMSIZE, 0, MAKELPARAM(WORD(std::clamp(W, 0, 0x7FFF)), WORD(std::clamp(H, 0, 0x7FFF))));
}

void TkxSkinPageControl::UpdateRoom() {
  int32_t room = 0;
  if (FTabImages) room += std::max(0, Vertical() ? FTabImages->Height() : FTabImages->Width());
  if (FShowCloseButtons) room += FCloseSize;
  if (Vertical())
    FTempImages->SetSize(1, 1 + room);
  else
    FTempImages->SetSize(1 + room, 1);
  // The tab window reads the list's size at every layout; the page area follows the row.
  Realign();
  Invalidate();
}

void TkxSkinPageControl::CreateWnd() {
  TPageControl::CreateWnd();
  GetSkinData();
  SetTabSize(TabWidth(), CurrentTabHeight());
  if (!MultiLine()) CheckScroll();
}

int32_t TkxSkinPageControl::VisibleTabCount() const { return FTabs->Count(); }

TTabSheet* TkxSkinPageControl::PageOfTab(int32_t Index) const {
  for (int32_t i = 0; i < PageCount(); ++i)
    if (Pages(i)->TabIndex() == Index) return Pages(i);
  return nullptr;
}

TkxSkinCustomTabSheet* TkxSkinPageControl::SkinPage(int32_t PageIndex) const {
  if (PageIndex < 0 || PageIndex >= PageCount()) return nullptr;
  return dynamic_cast<TkxSkinCustomTabSheet*>(Pages(PageIndex));
}

int32_t TkxSkinPageControl::GetFirstTabOffset() {
  if (FTabsOffset > 0) return FTabsOffset;
  if (TabWidth() == 0) return 0;
  return std::max(0, Width() / 2 - (TabWidth() * VisibleTabCount()) / 2);
}

TRect TkxSkinPageControl::GetTabRect(int32_t Index) {
  TRect r{};
  if (!HandleAllocated() || Index < 0 || Index >= VisibleTabCount()) return r;
  RECT rc{};
  if (!Perform(TCM_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&rc))) return r;
  r = rc;
  // Side tabs always wrap in columns, like several rows: the first one keeps its full thickness.
  if (Index == 0 && !MultiLine() && !Vertical()) r.left += 1;
  return r;
}

void TkxSkinPageControl::AdjustPageRect(TRect& R) {
  const int32_t CW = ClientWidth(), CH = ClientHeight();
  if (FHideBorder) {
    R = TRect{0, -2, Width(), Height()};
    return;
  }
  const bool skinned = FIndex >= 0;
  const int32_t L = ClRect.left, T = ClRect.top;
  const int32_t RM = RectWidth(SkinRect) - ClRect.right, BM = RectHeight(SkinRect) - ClRect.bottom;
  // The tab window leaves 2 pixels beyond the rows and 4 inside its frame on every side; the
  // skin moves the tabs onto the control's edge and the frame onto the tabs, the same way on
  // every side.
  switch (TabPosition()) {
    case tpTop:
      if (skinned) R = TRect{L, R.top + T - 6, CW - RM, CH - BM};
      else R = TRect{1, R.top - 5, CW - 1, CH - 1};
      if (FHideTabs) R.top -= 1;
      break;
    case tpBottom:
      if (skinned) R = TRect{L, R.top + T - 4, CW - RM, R.bottom + 6 - BM};
      else R = TRect{1, 1, CW - 1, R.bottom + 5};
      if (FHideTabs) R.bottom += 1;
      break;
    case tpLeft:
      if (skinned) R = TRect{R.left + L - 6, R.top + T - 4, CW - RM, CH - BM};
      else R = TRect{R.left - 5, 1, CW - 1, CH - 1};
      if (FHideTabs) R.left -= 1;
      break;
    case tpRight:
      if (skinned) R = TRect{L, R.top + T - 4, R.right - RM + 6, CH - BM};
      else R = TRect{1, 1, R.right + 5, CH - 1};
      if (FHideTabs) R.right += 1;
      break;
  }
}

TRect TkxSkinPageControl::FrameRect() {
  TRect page = DisplayRect();
  const int32_t RM = RectWidth(SkinRect) - ClRect.right, BM = RectHeight(SkinRect) - ClRect.bottom;
  return TRect{page.left - ClRect.left, page.top - ClRect.top, page.right + RM, page.bottom + BM};
}

TRect TkxSkinPageControl::ActiveTabExtension() {
  const int32_t ti = TabIndex();
  if (ti < 0 || ti >= VisibleTabCount() || !ActivePage()) return TRect{};
  TRect r = GetTabRect(ti);
  const int32_t grow = RectHeight(ActiveTabRect) - RectHeight(TabRect);
  switch (TabPosition()) {
    case tpTop: r.bottom += grow; break;
    case tpBottom: r.top -= grow; break;
    case tpLeft: r.right += grow; break;
    case tpRight: r.left -= grow; break;
  }
  return r;
}

int32_t TkxSkinPageControl::TabsScrolledOut() {
  int32_t n = 0;
  for (int32_t i = 0; i < VisibleTabCount(); ++i)
    if (GetTabRect(i).right <= 0) ++n;
  return n;
}

// ---- skin --------------------------------------------------------------------------------------

void TkxSkinPageControl::GetSkinData() {
  BGPictureIndex = -1;
  LookupSkinIndex();
  auto* r = SkinRecord<TkxDataSkinTabControl>();
  if (!r) {
    // A record of another kind carries nothing a page control can draw.
    FIndex = -1;
    Picture = nullptr;
    return;
  }
  Picture = SkinPicture(r->PictureIndex);
  CloseButtonRect = r->CloseButtonRect;
  ClosebuttonActiveRect = r->CloseButtonActiveRect;
  CloseButtonDownRect = r->CloseButtonDownRect;
  ButtonTransparent = r->ButtonTransparent;
  ButtonTransparentColor = r->ButtonTransparentColor;
  SkinRect = r->SkinRect;
  ClRect = r->ClRect;
  TabRect = r->TabRect;
  ActiveTabRect = r->ActiveTabRect;
  FocusTabRect = r->FocusTabRect;
  MouseInTabRect = r->MouseInTabRect;
  TabsBGRect = r->TabsBGRect;
  LTPoint = r->LTPoint, RTPoint = r->RTPoint, LBPoint = r->LBPoint, RBPoint = r->RBPoint;
  TabLeftOffset = r->TabLeftOffset, TabRightOffset = r->TabRightOffset;
  FontName = r->FontName;
  FontStyle = r->FontStyle;
  FontHeight = r->FontHeight;
  FontColor = r->FontColor, ActiveFontColor = r->ActiveFontColor;
  FocusFontColor = r->FocusFontColor, MouseInFontColor = r->MouseInFontColor;
  UpDown = r->UpDown;
  BGPictureIndex = r->BGPictureIndex;
  TabStretchEffect = r->TabStretchEffect;
  ShowFocus = r->ShowFocus;
  FocusOffsetX = r->FocusOffsetX, FocusOffsetY = r->FocusOffsetY;
  StretchEffect = r->StretchEffect;
  LeftStretch = r->LeftStretch, TopStretch = r->TopStretch;
  RightStretch = r->RightStretch, BottomStretch = r->BottomStretch;
  StretchType = r->StretchType;
  if (IsEmptyRect(ActiveTabRect)) ActiveTabRect = TabRect;
  if (IsEmptyRect(FocusTabRect)) FocusTabRect = r->ActiveTabRect;
  if (IsEmptyRect(FocusTabRect)) FocusTabRect = ActiveTabRect;
  if (IsEmptyRect(ClosebuttonActiveRect)) ClosebuttonActiveRect = CloseButtonRect;
  if (IsEmptyRect(CloseButtonDownRect)) CloseButtonDownRect = ClosebuttonActiveRect;
  // Rectangles the picture does not hold cannot be drawn: the plain look then.
  const TRect all = Picture ? TRect{0, 0, Picture->Width(), Picture->Height()} : TRect{};
  if (!Picture || IsEmptyRect(SkinRect) || IsEmptyRect(TabRect) || !Inside(all, SkinRect) || !Inside(all, TabRect) ||
      !Inside(all, ActiveTabRect) || !Inside(all, FocusTabRect) ||
      (!IsEmptyRect(MouseInTabRect) && !Inside(all, MouseInTabRect))) {
    FIndex = -1;
    Picture = nullptr;
    BGPictureIndex = -1;
    return;
  }
  if (!IsEmptyRect(CloseButtonRect) &&
      (!Inside(all, CloseButtonRect) || !Inside(all, ClosebuttonActiveRect) || !Inside(all, CloseButtonDownRect)))
    CloseButtonRect = ClosebuttonActiveRect = CloseButtonDownRect = TRect{};
}

void TkxSkinPageControl::ApplyFonts() {
  TFont* f = Font();
  if (FIndex < 0) {
    f->Assign(FDefaultFont.get());
  } else {
    f->Assign(FDefaultFont.get());
    if (FUseSkinFont) {
      f->SetName(FontName);
      f->SetHeight(FontHeight);
      f->SetStyle(FontStyle);
    }
    f->SetColor(FontColor);
  }
  f->SetCharset(SkinCharset(FDefaultFont.get()));
}

void TkxSkinPageControl::ChangeSkinData() {
  GetSkinData();
  // The room of the close buttons follows the skin's button; it is reserved only while they show.
  FCloseSize = (FIndex < 0 || IsEmptyRect(CloseButtonRect)) ? 14 : RectWidth(CloseButtonRect);
  UpdateRoom();
  ApplyFonts();
  SetTabSize(TabWidth(), CurrentTabHeight());
  UpdateScrollerPosition();
  Invalidate();
  Realign();
  FreeScroller();
  CheckScroll();
  if (ActivePage()) ActivePage()->Invalidate();
}

void TkxSkinPageControl::UpDateTabs() {
  SetTabSize(TabWidth(), CurrentTabHeight());
  if (MultiLine()) FreeScroller();
  Realign();
}

// ---- hidden tabs and border ----------------------------------------------------------------------

void TkxSkinPageControl::HideTabs() {
  if (FOldTabHeight != -1 || VisibleTabCount() == 0) return;
  FHideTabs = true;
  FOldTabPosition = TabPosition();
  FOldMultiLine = MultiLine();
  if (Vertical()) SetTabPosition(tpTop);
  SetMultiLine(false);
  FOldTabHeight = TabHeight();
  TCustomTabControl::SetTabHeight(1);
  SetTabSize(TabWidth(), 1);
  FreeScroller();
  Realign();
  Invalidate();
}

void TkxSkinPageControl::ShowTabs() {
  if (FOldTabHeight == -1) return;
  SetTabPosition(FOldTabPosition);
  SetMultiLine(FOldMultiLine);
  FHideTabs = false;
  const int32_t h = FOldTabHeight;
  FOldTabHeight = -1;
  SetTabHeight(h);
  if (!MultiLine()) CheckScroll();
  Realign();
  Invalidate();
}

void TkxSkinPageControl::HideBorderAndTabs() {
  SetTabPosition(tpTop);
  FHideTabs = true;
  FHideBorder = true;
  FreeScroller();
  Realign();
  Invalidate();
}

void TkxSkinPageControl::ShowBorderAndTabs() {
  FHideTabs = false;
  FHideBorder = false;
  ShowTabs();
  Realign();
  Invalidate();
}

// ---- scroller ------------------------------------------------------------------------------------

int32_t TkxSkinPageControl::TabsOutOfView() {
  int32_t n = 0;
  for (int32_t i = 0; i < VisibleTabCount(); ++i) {
    TRect r = GetTabRect(i);
    // A tab the window does not hold yet (while it is being made) is not out of view.
    if (IsEmptyRect(r)) continue;
    if (r.right > Width() - 3 || r.right <= 0) ++n;
  }
  return n;
}

// A single row with tabs out of view gets the skinned up/down at its end; it goes again once
// the row fits or wraps.
void TkxSkinPageControl::CheckScroll() {
  if (FInCheckScroll || FDestroying || !HandleAllocated() || ComponentState().Contains(csDestroying)) return;
  FInCheckScroll = true;
  const int32_t n = TabsOutOfView();
  if (n == 0 || MultiLine() || Vertical()) {
    FreeScroller();
  } else if (!FSkinUpDown && !FHideTabs) {
    auto* ud = new TkxSkinUpDown(this);
    FSkinUpDown = ud;
    ud->SetBounds(Width() - 2 * FDefaultItemHeight, 0, 2 * FDefaultItemHeight, FDefaultItemHeight);
    ud->SetMin(0);
    ud->SetMax(n);
    ud->SetIncrement(1);
    FInScrollerChange = true;
    ud->SetPosition(TabsScrolledOut());
    FInScrollerChange = false;
    ud->SetSkinDataName(FIndex >= 0 ? UpDown : std::string());
    ud->SetSkinData(SkinData());
    ud->OnChange = [this](TObject* Sender) { ScrollerChange(Sender); };
    ud->SetParent(this);
  }
  if (FSkinUpDown) {
    FSkinUpDown->SetMax(n);
    const int32_t top = TabPosition() == tpTop ? 0 : Height() - FSkinUpDown->Height();
    FSkinUpDown->SetBounds(Width() - FSkinUpDown->Width(), top, FSkinUpDown->Width(), FSkinUpDown->Height());
  }
  FInCheckScroll = false;
}

void TkxSkinPageControl::FreeScroller() {
  TkxSkinUpDown* ud = FSkinUpDown;
  FSkinUpDown = nullptr;
  delete ud;
}

void TkxSkinPageControl::ScrollerChange(TObject*) {
  if (FInScrollerChange || !FSkinUpDown) return;
  FInScrollerChange = true;
  FSkinUpDown->SetMax(TabsOutOfView());
  // The tab window shows the row from the given tab on.
  Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, WORD(FSkinUpDown->Position())), 0);
  FInScrollerChange = false;
}

void TkxSkinPageControl::UpdateScrollerPosition() {
  if (!FSkinUpDown || FInScrollerChange) return;
  FInScrollerChange = true;
  FSkinUpDown->SetPosition(TabsScrolledOut());
  FInScrollerChange = false;
}

void TkxSkinPageControl::AlignControls(TControl* AControl, TRect& Rect) {
  TPageControl::AlignControls(AControl, Rect);
  // Tabs come and go through the pages without a resize; the scroller follows them here.
  if (!MultiLine() && !ComponentState().Contains(csDesigning)) CheckScroll();
}

// ---- hover, press, close ---------------------------------------------------------------------------

TRect TkxSkinPageControl::HoverButtonRect(bool LessOffset) {
  TkxSkinCustomTabSheet* page = SkinPage(FActiveTab);
  if (FActiveTabIndex < 0 || !page) return TRect{};
  TRect tab = GetTabRect(FActiveTabIndex);
  int32_t dx = tab.left;
  if (LessOffset && (FTabsInCenter || FTabsOffset > 0)) dx -= GetFirstTabOffset();
  return Moved(page->ButtonRect, dx, tab.top);
}

void TkxSkinPageControl::TestActive(int32_t X, int32_t Y, bool HasPoint) {
  if (FHideTabs || ComponentState().Contains(csDesigning)) return;
  FOldActiveTab = FActiveTab;
  FOldActiveTabIndex = FActiveTabIndex;
  FActiveTabIndex = -1;
  if (HasPoint)
    for (int32_t i = 0; i < VisibleTabCount(); ++i) {
      TRect r = GetTabRect(i);
      if (PtInRect(&r, POINT{X, Y})) {
        FActiveTabIndex = i;
        if (TTabSheet* p = PageOfTab(i)) FActiveTab = p->PageIndex();
        break;
      }
    }
  const int32_t sel = TabIndex();
  if (FActiveTabIndex != FOldActiveTabIndex) {
    TkxSkinCustomTabSheet* old = FOldActiveTabIndex >= 0 ? SkinPage(FOldActiveTab) : nullptr;
    if (FOldActiveTabIndex >= 0 && FOldActiveTabIndex != sel) {
      if (old) {
        old->ButtonMouseIn = false;
        old->ButtonMouseDown = false;
      }
      RepaintTabs();
    } else if (old && (old->ButtonMouseIn || old->ButtonMouseDown)) {
      // The selected tab's close button loses its hot look too when the mouse leaves it.
      old->ButtonMouseIn = false;
      old->ButtonMouseDown = false;
      RepaintTabs();
    }
    if (FActiveTabIndex >= 0 && FActiveTabIndex != sel) RepaintTabs();
  }
  if (FShowCloseButtons && FActiveTabIndex >= 0) {
    TkxSkinCustomTabSheet* page = SkinPage(FActiveTab);
    if (!page) return;
    TRect br = HoverButtonRect(false);
    const bool in = HasPoint && PtInRect(&br, POINT{X, Y});
    if (in && !page->ButtonMouseIn) {
      page->ButtonMouseIn = true;
      RepaintTabs();
    } else if (!in && page->ButtonMouseIn) {
      page->ButtonMouseIn = false;
      page->ButtonMouseDown = false;
      RepaintTabs();
    }
  }
}

void TkxSkinPageControl::MouseMove(TShiftState Shift, int X, int Y) {
  TPageControl::MouseMove(Shift, X, Y);
  TestActive(X, Y, true);
}

void TkxSkinPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TPageControl::MouseDown(Button, Shift, X, Y);
  if (FHideTabs) return;
  const bool shifted = FTabsInCenter || FTabsOffset > 0;
  if (Button == mbLeft && !ComponentState().Contains(csDesigning) && !shifted) TestActive(X, Y, true);
  if (FActiveTabIndex < 0 || !FShowCloseButtons || Button != mbLeft) return;
  TkxSkinCustomTabSheet* page = SkinPage(FActiveTab);
  if (!page) return;
  TRect br = HoverButtonRect(true);
  if (PtInRect(&br, POINT{X, Y})) {
    page->ButtonMouseIn = true;
    page->ButtonMouseDown = true;
    RepaintTabs();
  } else {
    page->ButtonMouseIn = false;
    page->ButtonMouseDown = false;
  }
}

void TkxSkinPageControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TPageControl::MouseUp(Button, Shift, X, Y);
  if (FHideTabs) return;
  const bool shifted = FTabsInCenter || FTabsOffset > 0;
  if (Button == mbLeft && !ComponentState().Contains(csDesigning) && !shifted) TestActive(X, Y, true);
  if (FActiveTabIndex < 0 || !FShowCloseButtons || Button != mbLeft) return;
  TkxSkinCustomTabSheet* page = SkinPage(FActiveTab);
  if (!page) return;
  TRect br = HoverButtonRect(true);
  if (PtInRect(&br, POINT{X, Y})) {
    page->ButtonMouseIn = true;
    page->ButtonMouseDown = false;
    RepaintTabs();
    CloseActivePage();
  } else {
    page->ButtonMouseIn = false;
    page->ButtonMouseDown = false;
  }
}

void TkxSkinPageControl::CloseActivePage() {
  TTabSheet* page = ActivePage();
  if (!page) return;
  bool canClose = true;
  if (OnClose) OnClose(page, canClose);
  // The handler may have closed or freed pages itself.
  if (ActivePage() != page) return;
  if (canClose) {
    page->SetTabVisible(false);
    if (FFreeOnClose) delete page;
    FActiveTab = FOldActiveTab = -1;
    FActiveTabIndex = FOldActiveTabIndex = -1;
    CheckScroll();
    Invalidate();
    if (OnAfterClose) OnAfterClose(this);
    return;
  }
  POINT p;
  GetCursorPos(&p);
  if (!HandleAllocated() || WindowFromPoint(p) != Handle()) {
    if (auto* s = dynamic_cast<TkxSkinCustomTabSheet*>(page)) {
      s->ButtonMouseIn = false;
      s->ButtonMouseDown = false;
    }
    RepaintTabs();
  }
}

void TkxSkinPageControl::Change() {
  UpdateScrollerPosition();
  TPageControl::Change();
  Invalidate();
  if (ActivePage()) ActivePage()->Invalidate();
}

// ---- messages ------------------------------------------------------------------------------------

void TkxSkinPageControl::WndProc(TMessage& Message) {
  // The tab window hit-tests the row where it laid it out; a centred or shifted row is drawn
  // further right, so the press is moved back before the tab window sees it.
  if ((FTabsInCenter || FTabsOffset > 0) &&
      (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONUP || Message.Msg == WM_LBUTTONDBLCLK)) {
    const int32_t off = GetFirstTabOffset();
    Message.LParam = LPARAM(MAKELONG(WORD(GET_X_LPARAM(Message.LParam) - off), WORD(GET_Y_LPARAM(Message.LParam))));
  }
  TPageControl::WndProc(Message);
}

void TkxSkinPageControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case TCM_GETITEMRECT: {
      TPageControl::Dispatch(Message);
      auto* r = reinterpret_cast<RECT*>(Message.LParam);
      if (!Message.Result || !r || (Style() != tsTabs)) return;
      switch (TabPosition()) {
        case tpTop:
          if (!MultiLine()) OffsetRect(r, -2, 0);
          OffsetRect(r, 0, -2);
          if (FTabsInCenter || FTabsOffset > 0) OffsetRect(r, GetFirstTabOffset(), 0);
          break;
        case tpBottom:
          if (!MultiLine()) OffsetRect(r, -2, 0);
          OffsetRect(r, 0, 2);
          break;
        case tpLeft: OffsetRect(r, -2, 0); break;
        case tpRight: OffsetRect(r, 2, 0); break;
      }
      return;
    }
    case TCM_ADJUSTRECT: {
      TPageControl::Dispatch(Message);
      auto* r = reinterpret_cast<RECT*>(Message.LParam);
      if (!r || Message.WParam) return;
      TRect t = *r;
      AdjustPageRect(t);
      *r = t;
      return;
    }
    case TCM_SETCURSEL:
      TPageControl::Dispatch(Message);
      if (!ComponentState().Contains(csLoading)) Invalidate();
      return;
    case WM_MOUSEWHEEL: {
      TPageControl::Dispatch(Message);
      if (!FMouseWheelSupport) return;
      const bool forward = GET_WHEEL_DELTA_WPARAM(Message.WParam) < 0;
      TTabSheet* cur = ActivePage();
      const int32_t at = cur ? cur->PageIndex() : (forward ? -1 : PageCount());
      for (int32_t i = at + (forward ? 1 : -1); i >= 0 && i < PageCount(); i += forward ? 1 : -1)
        if (Pages(i)->TabVisible()) {
          SetActivePage(Pages(i));
          Invalidate();
          break;
        }
      return;
    }
    case KXM_PAINTNCTODC: Message.Result = KX_PAINTNCTODC_ANSWER; return;
    case KXM_PARENTBGCHANGED:
      if (FTabsBGTransparent) Repaint();
      return;
    case CM_MOUSELEAVE:
      TPageControl::Dispatch(Message);
      if (FHideTabs) return;
      TestActive(0, 0, false);
      if ((FOldActiveTabIndex >= 0 && FOldActiveTabIndex != TabIndex()) ||
          (FActiveTabIndex >= 0 && FActiveTabIndex != TabIndex())) {
        FOldActiveTabIndex = FActiveTabIndex = -1;
        RepaintTabs();
      }
      return;
    case WM_HSCROLL:
      TPageControl::Dispatch(Message);
      Repaint();
      return;
    case WM_SIZE:
      GetSkinData();
      TPageControl::Dispatch(Message);
      if (!MultiLine() && !ComponentState().Contains(csDesigning)) CheckScroll();
      return;
    case WM_SETFOCUS: case WM_KILLFOCUS:
      TPageControl::Dispatch(Message);
      Invalidate();
      return;
    case WM_ERASEBKGND: {
      if (VisibleTabCount() > 0 && PageCount() > 0) {
        Message.Result = 1;
        return;
      }
      GetSkinData();
      if (FIndex < 0) {
        TPageControl::Dispatch(Message);
        return;
      }
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      if (!dc) return;
      TCanvas c;
      c.SetHandle(dc);
      TBitmap* bg = SkinPicture(BGPictureIndex);
      if (bg) {
        FillBackground(&c, bg, Width(), Height(), Width(), Height());
      } else {
        TRect src = Moved(ClRect, SkinRect.left, SkinRect.top);
        if (!IsEmptyRect(src) && Inside(TRect{0, 0, Picture->Width(), Picture->Height()}, src)) {
          auto piece = NewSkinImage(RectWidth(src), RectHeight(src));
          piece->Canvas()->CopyRect(TRect{0, 0, piece->Width(), piece->Height()}, Picture->Canvas(), src);
          FillBackground(&c, piece.get(), Width(), Height(), Width(), Height());
        } else {
          PlainFill(&c, TRect{0, 0, Width(), Height()}, kxPlain.Face);
        }
      }
      c.SetHandle(nullptr);
      Message.Result = 1;
      return;
    }
  }
  TPageControl::Dispatch(Message);
}

// ---- painting ------------------------------------------------------------------------------------

void TkxSkinPageControl::FillBackground(TCanvas* Canvas, TBitmap* P, int32_t W, int32_t H, int32_t StretchW,
                                        int32_t StretchH) {
  if (!P || P->Empty() || W <= 0 || H <= 0) return;
  const int32_t pw = P->Width(), ph = P->Height();
  if (!StretchEffect) {
    for (int32_t y = 0; y < H; y += ph)
      for (int32_t x = 0; x < W; x += pw) Canvas->Draw(x, y, P);
    return;
  }
  switch (StretchType) {
    case kxstFull: Canvas->StretchDraw(TRect{0, 0, StretchW, StretchH}, P); break;
    case kxstHorz:
      for (int32_t x = 0; x < W; x += pw) Canvas->StretchDraw(TRect{x, 0, x + pw, StretchH}, P);
      break;
    case kxstVert:
      for (int32_t y = 0; y < H; y += ph) Canvas->StretchDraw(TRect{0, y, StretchW, y + ph}, P);
      break;
  }
}

void TkxSkinPageControl::PaintWindow(HDC DC) {
  if (Width() <= 0 || Height() <= 0) return;
  GetSkinData();
  const int32_t saved = SaveDC(DC);
  TCanvas c;
  c.SetHandle(DC);
  TRect page = DisplayRect();
  if (FIndex < 0) {
    PlainFill(&c, ClientRect(), kxPlain.Face);
    if (!FHideBorder) {
      TRect r{page.left - 1, page.top - 1, page.right + 1, page.bottom + 1};
      DrawPlainEdge(&c, r, TkxPlainEdge::Flat);
    }
  } else if (!FHideBorder) {
    TRect F = FrameRect();
    const int32_t fw = RectWidth(F), fh = RectHeight(F);
    const int32_t sw = RectWidth(SkinRect), sh = RectHeight(SkinRect);
    if (fw > 0 && fh > 0) {
      const int32_t dw = fw - sw, dh = fh - sh;
      TBitmap left, top, right, bottom;
      for (TBitmap* b : {&left, &top, &right, &bottom}) b->SetPixelFormat(pf24bit);
      SplitNinePartImage(LTPoint, RTPoint, LBPoint, RBPoint, ClRect, LTPoint, TPoint{RTPoint.x + dw, RTPoint.y},
                         TPoint{LBPoint.x, LBPoint.y + dh}, TPoint{RBPoint.x + dw, RBPoint.y + dh},
                         TRect{ClRect.left, ClRect.top, ClRect.right + dw, ClRect.bottom + dh}, &left, &top, &right,
                         &bottom, Picture, SkinRect, fw, fh, LeftStretch, TopStretch, RightStretch, BottomStretch);
      const int32_t clip = SaveDC(DC);
      TRect ext = ActiveTabExtension();
      if (!IsEmptyRect(ext) && !FHideTabs) ExcludeClipRect(DC, ext.left, ext.top, ext.right, ext.bottom);
      if (!top.Empty()) c.Draw(F.left, F.top, &top);
      if (!left.Empty()) c.Draw(F.left, F.top + top.Height(), &left);
      if (!right.Empty()) c.Draw(F.right - right.Width(), F.top + top.Height(), &right);
      if (!bottom.Empty()) c.Draw(F.left, F.bottom - bottom.Height(), &bottom);
      RestoreDC(DC, clip);
    }
  }
  PaintTabs(&c);
  c.SetHandle(nullptr);
  RestoreDC(DC, saved);
}

void TkxSkinPageControl::PaintTabs(TCanvas* C) {
  if (FHideTabs || PageCount() == 0) return;
  const int32_t n = VisibleTabCount(), sel = TabIndex();
  if (FIndex < 0) {
    for (int32_t i = 0; i < n; ++i)
      if (TTabSheet* p = PageOfTab(i)) PaintTab(p->PageIndex(), GetTabRect(i), i == sel, i == FActiveTabIndex, C);
    return;
  }
  TRect F = FrameRect();
  TRect row;
  switch (TabPosition()) {
    case tpTop: row = TRect{0, 0, Width(), F.top}; break;
    case tpBottom: row = TRect{0, F.bottom, Width(), Height()}; break;
    case tpLeft: row = TRect{0, 0, F.left, Height()}; break;
    case tpRight: row = TRect{F.right, 0, Width(), Height()}; break;
  }
  if (IsEmptyRect(row)) return;
  auto B = NewSkinImage(RectWidth(row), RectHeight(row));
  TRect bgRect = IsEmptyRect(TabsBGRect) ? Moved(ClRect, SkinRect.left, SkinRect.top) : TabsBGRect;
  if (FTabsBGTransparent) {
    PaintParentBackgroundRect(this, row, B->Canvas());
  } else if (!IsEmptyRect(bgRect) && Inside(TRect{0, 0, Picture->Width(), Picture->Height()}, bgRect)) {
    // The row picture is drawn for tabs on top, its lower edge meeting the frame; the other rows
    // get it turned as their tabs are, so that edge still meets the frame.
    const bool vert = Vertical();
    auto tile = NewSkinImage(vert ? B->Height() : B->Width(), vert ? B->Width() : B->Height());
    const int32_t bw = RectWidth(bgRect), bh = RectHeight(bgRect);
    const int32_t y0 = tile->Height() - ((tile->Height() + bh - 1) / bh) * bh;
    for (int32_t y = y0; y < tile->Height(); y += bh)
      for (int32_t x = 0; x < tile->Width(); x += bw)
        tile->Canvas()->CopyRect(TRect{x, y, x + bw, y + bh}, Picture->Canvas(), bgRect);
    switch (TabPosition()) {
      case tpTop: B = std::move(tile); break;
      case tpBottom: B = Turned(tile.get(), Turn::Flip); break;
      case tpLeft: B = Turned(tile.get(), Turn::CounterClockwise); break;
      case tpRight: B = Turned(tile.get(), Turn::Clockwise); break;
    }
  } else {
    PlainFill(B->Canvas(), TRect{0, 0, B->Width(), B->Height()}, kxPlain.Face);
  }
  for (int32_t i = 0; i < n; ++i) {
    if (i == sel) continue;
    TTabSheet* p = PageOfTab(i);
    if (!p) continue;
    PaintTab(p->PageIndex(), Moved(GetTabRect(i), -row.left, -row.top), false, i == FActiveTabIndex, B->Canvas());
  }
  HDC dc = C->Handle();
  const int32_t clip = SaveDC(dc);
  TRect ext = ActiveTabExtension();
  if (!IsEmptyRect(ext)) ExcludeClipRect(dc, ext.left, ext.top, ext.right, ext.bottom);
  C->Draw(row.left, row.top, B.get());
  RestoreDC(dc, clip);
  if (sel >= 0 && sel < n)
    if (TTabSheet* p = PageOfTab(sel)) {
      TRect r = GetTabRect(sel);
      const int32_t d = RectHeight(TabRect) - RectHeight(ActiveTabRect);
      if (d != 0) {
        if (TabPosition() == tpBottom) r = Moved(r, 0, d);
        if (TabPosition() == tpRight) r = Moved(r, d, 0);
      }
      PaintTab(p->PageIndex(), r, true, sel == FActiveTabIndex, C);
    }
}

void TkxSkinPageControl::PaintTab(int32_t PageIndex, const TRect& R, bool Active, bool MouseIn, TCanvas* C) {
  if (FHideTabs || PageIndex < 0 || PageIndex >= PageCount()) return;
  TTabSheet* page = Pages(PageIndex);
  auto* spage = dynamic_cast<TkxSkinCustomTabSheet*>(page);
  const bool vert = Vertical();
  const int32_t w = vert ? RectHeight(R) : RectWidth(R);
  int32_t h = vert ? RectWidth(R) : RectHeight(R);
  if (w <= 0 || h <= 0) return;
  const bool hasImage = FTabImages && page->ImageIndex() >= 0 && page->ImageIndex() < FTabImages->Count();
  const std::string text = page->Caption();
  const bool focused = Focused();
  const bool hot = MouseIn && !Active;
  const bool skinned = FIndex >= 0 && Picture;

  std::unique_ptr<TBitmap> bmp;
  if (!skinned) {
    bmp = NewSkinImage(w, h);
    TCanvas* bc = bmp->Canvas();
    // A hot or a resting tab has no frame; the active one is framed, in the pressed face while
    // the control has the focus.
    const TRect br{0, 0, w, h};
    if (hot)
      DrawPlainButtonFace(bc, br, TkxPlainState::Hot, false);
    else if (!Active)
      DrawPlainButtonFace(bc, br, TkxPlainState::Normal, false);
    else
      DrawPlainButtonFace(bc, br, focused ? TkxPlainState::Down : TkxPlainState::Hot);
    bc->Font()->Assign(Font());
    bc->Font()->SetCharset(SkinCharset(Font()));
  } else {
    TRect S = TabRect;
    if (hot && !IsEmptyRect(MouseInTabRect)) S = MouseInTabRect;
    else if (Active && focused) S = FocusTabRect;
    else if (Active) S = ActiveTabRect;
    if (TabHeight() > 0) {
      if (Active) {
        const int32_t ga = RectHeight(ActiveTabRect) - RectHeight(TabRect);
        const int32_t gf = RectHeight(FocusTabRect) - RectHeight(TabRect);
        if (ga > 0) h += ga;
        else if (focused && gf > 0) h += gf;
      }
      bmp = NewSkinImage(w, h);
      const int32_t q = RectHeight(TabRect) / 4;
      StretchNinePartImage(bmp.get(), Picture, S,
                           TRect{TabLeftOffset, q, RectWidth(S) - TabRightOffset, RectHeight(S) - q}, true);
    } else {
      bmp = NewSkinImage(w, RectHeight(S));
      BuildHorzThreePartImage(TabLeftOffset, TabRightOffset, bmp.get(), Picture, S, w, RectHeight(S),
                              TabStretchEffect);
      if (bmp->Width() != w || bmp->Height() <= 0) bmp->SetSize(w, std::max(1, RectHeight(S)));
    }
    if (TabPosition() == tpBottom) bmp = Turned(bmp.get(), Turn::Flip);
    TCanvas* bc = bmp->Canvas();
    bc->Font()->Assign(Font());
    if (FUseSkinFont) {
      bc->Font()->SetName(FontName);
      bc->Font()->SetStyle(FontStyle);
      bc->Font()->SetHeight(FontHeight);
    }
    bc->Font()->SetCharset(SkinCharset(Font()));
    bc->Font()->SetColor(hot ? MouseInFontColor : Active ? (focused ? FocusFontColor : ActiveFontColor) : FontColor);
  }
  TRect BR{0, 0, bmp->Width(), bmp->Height()};
  bool turnedNow = false;
  if (FTextInHorizontal && vert) {
    bmp = Turned(bmp.get(), TabPosition() == tpLeft ? Turn::CounterClockwise : Turn::Clockwise);
    BR = TRect{0, 0, bmp->Width(), bmp->Height()};
    turnedNow = true;
    if (skinned) {
      bmp->Canvas()->Font()->Assign(Font());
      if (FUseSkinFont) {
        bmp->Canvas()->Font()->SetName(FontName);
        bmp->Canvas()->Font()->SetStyle(FontStyle);
        bmp->Canvas()->Font()->SetHeight(FontHeight);
      }
      bmp->Canvas()->Font()->SetColor(hot ? MouseInFontColor
                                          : Active ? (focused ? FocusFontColor : ActiveFontColor) : FontColor);
    } else {
      bmp->Canvas()->Font()->Assign(Font());
    }
    bmp->Canvas()->Font()->SetCharset(SkinCharset(Font()));
  }
  TCanvas* bc = bmp->Canvas();
  bc->Brush()->SetStyle(bsClear);
  if (skinned && ShowFocus && focused && Active) {
    TRect fr{BR.left + FocusOffsetX, BR.top + FocusOffsetY, BR.right - FocusOffsetX, BR.bottom - FocusOffsetY};
    bc->Brush()->SetStyle(bsSolid);
    bc->Brush()->SetColor(SkinData() && SkinData()->SkinColors() ? SkinData()->SkinColors()->cBtnFace() : kxPlain.Face);
    DrawSkinFocusRect(bc, fr);
    bc->Brush()->SetStyle(bsClear);
  }
  int32_t d = 0;
  if (skinned && RectHeight(TabRect) != RectHeight(ActiveTabRect) && !Active) {
    switch (TabPosition()) {
      case tpTop: case tpLeft: d = 2; break;
      case tpBottom: case tpRight: d = -2; break;
    }
    BR.top += d;
  }
  const int32_t c = FShowCloseButtons ? FCloseSize + 2 : 0;
  const int32_t bw = bmp->Width(), bh = bmp->Height();
  if (OnDrawSkinTab) {
    OnDrawSkinTab(PageIndex, TRect{0, 0, bw, bh}, Active, MouseIn, bc);
  } else if (hasImage || FTabExtendedDraw) {
    if (FTabExtendedDraw) {
      DrawImageAndText(bc, TRect{BR.left, BR.top, BR.right - c, BR.bottom}, FTabMargin, FTabSpacing, FTabLayout, text,
                       hasImage ? page->ImageIndex() : -1, FTabImages, false, page->Enabled(), false, clNone);
    } else {
      TRect tr{0, 0, 0, 0};
      int32_t t = 0, th = 0;
      if (!text.empty()) {
        DrawWideText(bc, text, tr, DT_CALCRECT | DT_SINGLELINE);
        t = RectWidth(tr) + 2;
        th = RectHeight(tr);
      }
      const int32_t iw = hasImage ? FTabImages->Width() : 0;
      const int32_t x0 = (bw - c) / 2 - (t + iw + 2) / 2;
      if (hasImage) FTabImages->Draw(bc, x0, bh / 2 + d - FTabImages->Height() / 2, page->ImageIndex(), page->Enabled());
      if (t > 0) {
        TRect txt{x0 + iw + 2, bh / 2 + d - th / 2, x0 + iw + 2 + t, bh / 2 + d - th / 2 + th};
        DrawWideText(bc, text, txt, DT_CENTER | DT_SINGLELINE);
      }
    }
    if (c != 0) BR.right -= skinned ? c + 3 : c;
  } else {
    if (c != 0) BR.right -= skinned ? c + 3 : c;
    TRect txt = BR;
    DrawWideText(bc, text, txt, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  }
  if (FShowCloseButtons && spage) {
    if (!MouseIn) spage->ButtonMouseIn = false;
    DrawCloseButton(bc, TRect{BR.right, BR.top + d, bw, BR.bottom}, spage);
    if (turnedNow) {
      // Already upright in a turned bitmap: the button is where it was drawn.
    } else if (vert) {
      const TRect b = spage->ButtonRect;
      if (TabPosition() == tpLeft)
        spage->ButtonRect = TRect{b.top, w - b.right, b.bottom, w - b.left};
      else
        spage->ButtonRect = TRect{bh - b.bottom, b.left, bh - b.top, b.right};
    }
  }
  if (vert && !FTextInHorizontal)
    bmp = Turned(bmp.get(), TabPosition() == tpLeft ? Turn::CounterClockwise : Turn::Clockwise);
  C->Draw(R.left, R.top, bmp.get());
}

void TkxSkinPageControl::DrawCloseButton(TCanvas* C, const TRect& CR, TkxSkinCustomTabSheet* Page) {
  const int32_t cy = CR.top + RectHeight(CR) / 2;
  const bool in = Page->ButtonMouseIn, down = in && Page->ButtonMouseDown;
  TRect dest{};
  if (FIndex < 0 || !Picture) {
    dest = TRect{CR.left, cy - 7, CR.left + 14, cy + 7};
    DrawCloseGlyph(C, dest.left + 2, dest.top + 2, in ? clWhite : kxPlain.Mark);
  } else if (IsEmptyRect(CloseButtonRect)) {
    auto* rec = SkinRecordNamed<TkxDataSkinButtonControl>("resizetoolbutton");
    TBitmap* pic = rec ? SkinPicture(rec->PictureIndex) : nullptr;
    if (!rec || !pic) {
      Page->ButtonRect = TRect{CR.left, cy - FCloseSize / 2, CR.left + FCloseSize, cy - FCloseSize / 2 + FCloseSize};
      return;
    }
    TRect src = rec->SkinRect;
    TColor col = rec->FontColor;
    if (down) {
      src = !IsEmptyRect(rec->DownSkinRect) ? rec->DownSkinRect
            : !IsEmptyRect(rec->ActiveSkinRect) ? rec->ActiveSkinRect : rec->SkinRect;
      col = rec->DownFontColor;
    } else if (in) {
      src = !IsEmptyRect(rec->ActiveSkinRect) ? rec->ActiveSkinRect : rec->SkinRect;
      col = rec->ActiveFontColor;
    }
    const int32_t s = FCloseSize;
    auto b = NewSkinImage(s, s);
    const int32_t dw = s - RectWidth(rec->SkinRect), dh = s - RectHeight(rec->SkinRect);
    BuildNinePartImage(rec->LTPoint, rec->RTPoint, rec->LBPoint, rec->RBPoint, rec->ClRect, rec->LTPoint,
                       TPoint{rec->RTPoint.x + dw, rec->RTPoint.y}, TPoint{rec->LBPoint.x, rec->LBPoint.y + dh},
                       TPoint{rec->RBPoint.x + dw, rec->RBPoint.y + dh},
                       TRect{rec->ClRect.left, rec->ClRect.top, rec->ClRect.right + dw, rec->ClRect.bottom + dh},
                       b.get(), pic, src, s, s, true, rec->LeftStretch, rec->TopStretch, rec->RightStretch,
                       rec->BottomStretch, rec->StretchEffect, rec->StretchType);
    DrawCloseGlyph(b->Canvas(), b->Width() / 2 - 5, b->Height() / 2 - 5, col);
    dest = TRect{CR.left, cy - b->Height() / 2, CR.left + b->Width(), cy - b->Height() / 2 + b->Height()};
    C->Draw(dest.left, dest.top, b.get());
  } else {
    const TRect src = down ? CloseButtonDownRect : in ? ClosebuttonActiveRect : CloseButtonRect;
    const int32_t sw = RectWidth(src), sh = RectHeight(src);
    dest = TRect{CR.left, cy - sh / 2, CR.left + sw, cy - sh / 2 + sh};
    auto b = NewSkinImage(sw, sh);
    b->Canvas()->CopyRect(TRect{0, 0, sw, sh}, Picture->Canvas(), src);
    if (ButtonTransparent) {
      b->SetTransparentMode(tmFixed);
      b->SetTransparentColor(ButtonTransparentColor);
      b->SetTransparent(true);
    }
    C->Draw(dest.left, dest.top, b.get());
  }
  Page->ButtonRect = dest;
}

// ---- form streaming ------------------------------------------------------------------------------

void RegisterSkinPageControlFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxSkinPageControl, TPageControl>("TkxSkinPageControl")
      .Boolean("MouseWheelSupport", &TkxSkinPageControl::SetMouseWheelSupport)
      .Boolean("TabExtededDraw", &TkxSkinPageControl::SetTabExtededDraw)
      .Integer("TabsOffset", &TkxSkinPageControl::SetTabsOffset)
      .Integer("TabMargin", &TkxSkinPageControl::SetTabMargin)
      .Integer("TabSpacing", &TkxSkinPageControl::SetTabSpacing)
      .Enum<TkxButtonLayout>("TabLayout", &TkxSkinPageControl::SetTabLayout,
                             {{"blGlyphLeft", blGlyphLeft}, {"blGlyphRight", blGlyphRight},
                              {"blGlyphTop", blGlyphTop}, {"blGlyphBottom", blGlyphBottom}})
      .Boolean("TextInHorizontal", &TkxSkinPageControl::SetTextInHorizontal)
      .Boolean("TabsInCenter", &TkxSkinPageControl::SetTabsInCenter)
      .Boolean("FreeOnClose", &TkxSkinPageControl::SetFreeOnClose)
      .Boolean("ShowCloseButtons", &TkxSkinPageControl::SetShowCloseButtons)
      .Reference<TCustomImageList>("Images", &TkxSkinPageControl::SetImages)
      .Boolean("TabsBGTransparent", &TkxSkinPageControl::SetTabsBGTransparent)
      .Object("DefaultFont", &TkxSkinPageControl::DefaultFont)
      .Boolean("UseSkinFont", &TkxSkinPageControl::SetUseSkinFont)
      .Integer("DefaultItemHeight", &TkxSkinPageControl::SetDefaultItemHeight)
      .Reference<TkxSkinData>("SkinData", &TkxSkinPageControl::SetSkinData)
      .String("SkinDataName", &TkxSkinPageControl::SetSkinDataName)
      .IntegerAtLeast("TabHeight", &TkxSkinPageControl::SetTabHeight, 0)
      .IntegerAtLeast("TabWidth", &TkxSkinPageControl::SetTabWidth, 0)
      .Boolean("MultiLine", &TkxSkinPageControl::SetMultiLine)
      .Enum<TTabPosition>("TabPosition", &TkxSkinPageControl::SetTabPosition,
                          {{"tpTop", tpTop}, {"tpBottom", tpBottom}, {"tpLeft", tpLeft}, {"tpRight", tpRight}})
      .Event<TNotifyEvent>("OnAfterClose", &TkxSkinPageControl::OnAfterClose);
  RegisterFormClass<TkxSkinCustomTabSheet, TTabSheet>("TkxSkinCustomTabSheet")
      .Object("WallPaper", &TkxSkinCustomTabSheet::WallPaper);
  RegisterFormClass<TkxSkinTabSheet, TkxSkinCustomTabSheet>("TkxSkinTabSheet");
}
