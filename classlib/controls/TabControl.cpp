// TCustomTabControl, TPageControl and TTabSheet over the "SysTabControl32" window.
#include <algorithm>
#include <cstdlib>

#include "base/Exception.h"
#include "base/Format.h"
#include "classlib/Forms.h"
#include "classlib/TabCtrls.h"
#include "classlib/controls/ControlsInternal.h"
#include "classlib/graphics/ImageList.h"

using namespace win;

namespace {

[[noreturn]] void ListIndexError(int32_t Index) {
  throw EListError(Format("List index out of bounds (%d)", Index));
}

}  // namespace

// ---- TTabStrings ------------------------------------------------------------------------------

std::string TTabStrings::Get(int32_t Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FItems[size_t(Index)].first;
}

void TTabStrings::Put(int32_t Index, const std::string& S) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  FItems[size_t(Index)].first = S;
  if (FControl->HandleAllocated()) {
    TCITEM it;
    it.mask = TCIF_TEXT;
    std::string text = S;
    it.pszText = text.data();
    FControl->Perform(TCM_SETITEM, WPARAM(Index), reinterpret_cast<LPARAM>(&it));
  }
  FControl->TabsChanged();
}

TObject* TTabStrings::GetObject(int32_t Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FItems[size_t(Index)].second;
}

void TTabStrings::PutObject(int32_t Index, TObject* AObject) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  FItems[size_t(Index)].second = AObject;
  if (FControl->HandleAllocated()) {
    TCITEM it;
    it.mask = TCIF_PARAM;
    it.lParam = reinterpret_cast<LPARAM>(AObject);
    FControl->Perform(TCM_SETITEM, WPARAM(Index), reinterpret_cast<LPARAM>(&it));
  }
}

void TTabStrings::Insert(int32_t Index, const std::string& S) {
  if (Index < 0 || Index > Count()) IndexError(Index);
  FItems.insert(FItems.begin() + Index, {S, nullptr});
  if (FControl->HandleAllocated()) {
    TCITEM it;
    it.mask = TCIF_TEXT | TCIF_IMAGE;
    std::string text = S;
    it.pszText = text.data();
    it.iImage = -1;
    FControl->Perform(TCM_INSERTITEM, WPARAM(Index), reinterpret_cast<LPARAM>(&it));
  } else {
    // As the window would: the first tab is selected, later ones keep the selection.
    int32_t& sel = FControl->FTabIndex;
    if (sel < 0 && Count() == 1) sel = 0;
    else if (sel >= Index) ++sel;
  }
  FControl->TabsChanged();
}

void TTabStrings::Delete(int32_t Index) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  FItems.erase(FItems.begin() + Index);
  if (FControl->HandleAllocated()) {
    FControl->Perform(TCM_DELETEITEM, WPARAM(Index), 0);
  } else {
    // The selected tab's place goes to the next tab, or to the previous one at the end.
    int32_t& sel = FControl->FTabIndex;
    if (sel > Index) --sel;
    else if (sel == Index) sel = std::min(Index, Count() - 1);
  }
  FControl->TabsChanged();
}

void TTabStrings::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  if (FControl->HandleAllocated()) FControl->Perform(TCM_DELETEALLITEMS, 0, 0);
  else FControl->FTabIndex = -1;
  FControl->TabsChanged();
}

// ---- TCustomTabControl ------------------------------------------------------------------------

TCustomTabControl::TCustomTabControl(TComponent* AOwner)
    : TWinControl(AOwner), FTabs(std::make_unique<TTabStrings>(this)),
      FCanvas(std::make_unique<TControlCanvas>(this)) {
  FControlStyle = TControlStyle{csAcceptsControls, csDoubleClicks};
  FWidth = 289;
  FHeight = 193;
  FTabStop = true;
  FParentColor = false;
  FColor = clBtnFace;
  FBrush->SetColor(FColor);
}

TCustomTabControl::~TCustomTabControl() {
  FCanvas->FreeHandle();
  DestroyWindowHandle();
}

void TCustomTabControl::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
  if (FMultiLine) Params.Style |= TCS_MULTILINE;
  switch (FTabPosition) {
    case tpTop: break;
    case tpBottom: Params.Style |= TCS_BOTTOM; break;
    case tpLeft: Params.Style |= TCS_VERTICAL; break;
    case tpRight: Params.Style |= TCS_VERTICAL | TCS_RIGHT; break;
  }
  if (FStyle == tsButtons) Params.Style |= TCS_BUTTONS;
  else if (FStyle == tsFlatButtons) Params.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
  if (FHotTrack) Params.Style |= TCS_HOTTRACK;
  if (FRaggedRight) Params.Style |= TCS_RAGGEDRIGHT;
  if (FScrollOpposite) Params.Style |= TCS_SCROLLOPPOSITE;
  if (FTabWidth > 0) Params.Style |= TCS_FIXEDWIDTH;
}

void TCustomTabControl::CreateWindowHandle(const TCreateParams& Params) {
  InitTabControlClass();
  FDefWndProc = TabControlWindowProc;
  TWinControl::CreateWindowHandle(Params);
}

void TCustomTabControl::CreateWnd() {
  TWinControl::CreateWnd();
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
  if (FTabWidth > 0 || FTabHeight > 0)
    Perform(TCM_SETITEMSIZE, 0, MAKELPARAM(WORD(FTabWidth), WORD(FTabHeight)));
  if (FImages) Perform(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages));
  for (int32_t i = 0; i < FTabs->Count(); ++i) {
    TCITEM it;
    it.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
    std::string text = FTabs->FItems[size_t(i)].first;
    it.pszText = text.data();
    it.iImage = -1;
    it.lParam = reinterpret_cast<LPARAM>(FTabs->FItems[size_t(i)].second);
    Perform(TCM_INSERTITEM, WPARAM(i), reinterpret_cast<LPARAM>(&it));
  }
  Perform(TCM_SETCURSEL, WPARAM(FTabIndex), 0);
  UpdateTabImages();
}

void TCustomTabControl::DestroyWnd() {
  if (FHandle) FTabIndex = int32_t(Perform(TCM_GETCURSEL, 0, 0));
  TWinControl::DestroyWnd();
}

void TCustomTabControl::PaintWindow(HDC DC) {
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(m);
}

void TCustomTabControl::AdjustClientRect(TRect& Rect) { Rect = DisplayRect(); }

void TCustomTabControl::TabsChanged() {
  if (!FHandle) return;
  UpdateTabImages();
  Realign();
  Invalidate();
}

void TCustomTabControl::UpdateTabImages() {
  if (!FHandle) return;
  for (int32_t i = 0; i < FTabs->Count(); ++i) {
    TCITEM it;
    it.mask = TCIF_IMAGE;
    it.iImage = GetImageIndex(i);
    Perform(TCM_SETITEM, WPARAM(i), reinterpret_cast<LPARAM>(&it));
  }
}

int32_t TCustomTabControl::TabIndex() {
  if (FHandle) return int32_t(Perform(TCM_GETCURSEL, 0, 0));
  return FTabIndex;
}

void TCustomTabControl::SetTabIndex(int32_t Value) {
  if (ComponentState().Contains(csLoading)) {
    // The tabs may come later in the description.
    FLoadedTabIndex = Value;
    return;
  }
  if (Value < -1 || Value >= FTabs->Count()) ListIndexError(Value);
  SetTabIndexQuiet(Value);
}

void TCustomTabControl::SetTabIndexQuiet(int32_t Value) {
  if (FHandle) Perform(TCM_SETCURSEL, WPARAM(Value), 0);
  else FTabIndex = Value;
}

void TCustomTabControl::Loaded() {
  TWinControl::Loaded();
  if (FLoadedTabIndex != -2) {
    int32_t v = FLoadedTabIndex;
    FLoadedTabIndex = -2;
    // A description naming a tab it does not have keeps the selection it has.
    if (v >= -1 && v < FTabs->Count()) SetTabIndex(v);
  }
}

void TCustomTabControl::SetMultiLine(bool Value) {
  if (Value == FMultiLine) return;
  FMultiLine = Value;
  RecreateWnd();
}

void TCustomTabControl::SetTabPosition(TTabPosition Value) {
  if (Value == FTabPosition) return;
  FTabPosition = Value;
  RecreateWnd();
}

void TCustomTabControl::SetTabWidth(int32_t Value) {
  Value = std::clamp(Value, 0, 0x7FFF);
  if (Value == FTabWidth) return;
  bool fixed = (Value > 0) != (FTabWidth > 0);
  FTabWidth = Value;
  if (FHandle) Perform(TCM_SETITEMSIZE, 0, MAKELPARAM(WORD(FTabWidth), WORD(FTabHeight)));
  if (fixed) RecreateWnd();
  Realign();
  Invalidate();
}

void TCustomTabControl::SetTabHeight(int32_t Value) {
  Value = std::clamp(Value, 0, 0x7FFF);
  if (Value == FTabHeight) return;
  FTabHeight = Value;
  if (FHandle) Perform(TCM_SETITEMSIZE, 0, MAKELPARAM(WORD(FTabWidth), WORD(FTabHeight)));
  Realign();
  Invalidate();
}

void TCustomTabControl::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages) FImages->FreeNotification(this);
  if (FHandle) Perform(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages));
  UpdateTabImages();
  Realign();
  Invalidate();
}

void TCustomTabControl::SetStyle(TTabStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  RecreateWnd();
}

void TCustomTabControl::SetHotTrack(bool Value) {
  if (Value == FHotTrack) return;
  FHotTrack = Value;
  RecreateWnd();
}

void TCustomTabControl::SetRaggedRight(bool Value) {
  if (Value == FRaggedRight) return;
  FRaggedRight = Value;
  RecreateWnd();
}

void TCustomTabControl::SetScrollOpposite(bool Value) {
  if (Value == FScrollOpposite) return;
  FScrollOpposite = Value;
  RecreateWnd();
}

int32_t TCustomTabControl::IndexOfTabAt(int32_t X, int32_t Y) {
  if (!FHandle) return -1;
  TCHITTESTINFO info;
  info.pt = POINT{X, Y};
  return int32_t(Perform(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
}

TTabHitTests TCustomTabControl::GetHitTestInfoAt(int32_t X, int32_t Y) {
  TTabHitTests r;
  TRect cr = ClientRect();
  if (X < cr.left) r.Include(thtToLeft);
  else if (X >= cr.right) r.Include(thtToRight);
  if (Y < cr.top) r.Include(thtAbove);
  else if (Y >= cr.bottom) r.Include(thtBelow);
  if (!r.Empty()) return r;
  TCHITTESTINFO info;
  info.pt = POINT{X, Y};
  int32_t i = FHandle ? int32_t(Perform(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info))) : -1;
  if (i < 0) {
    r.Include(thtNowhere);
    return r;
  }
  r.Include(thtOnItem);
  r.Include((info.flags & TCHT_ONITEMICON) && !(info.flags & TCHT_ONITEMLABEL) ? thtOnIcon : thtOnLabel);
  return r;
}

TRect TCustomTabControl::TabRect(int32_t Index) {
  if (Index < 0 || Index >= FTabs->Count()) ListIndexError(Index);
  HandleNeeded();
  RECT r{};
  Perform(TCM_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r));
  return r;
}

TRect TCustomTabControl::DisplayRect() {
  RECT r = ClientRect();
  if (FHandle) Perform(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

void TCustomTabControl::ScrollTabs(int32_t Delta) {
  if (!FHandle) return;
  // One step per tab; the window stops at either end.
  int32_t steps = std::min(std::abs(Delta), FTabs->Count());
  for (int32_t i = 0; i < steps; ++i) Perform(WM_HSCROLL, Delta < 0 ? SB_LINELEFT : SB_LINERIGHT, 0);
}

int32_t TCustomTabControl::RowCount() { return FHandle ? int32_t(Perform(TCM_GETROWCOUNT, 0, 0)) : 1; }

bool TCustomTabControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TCustomTabControl::Change() {
  if (OnChange) OnChange(this);
}

int32_t TCustomTabControl::GetImageIndex(int32_t ATabIndex) {
  int32_t r = ATabIndex;
  if (OnGetImageIndex) OnGetImageIndex(this, ATabIndex, r);
  return r;
}

bool TCustomTabControl::ChangeTabByUser(int32_t Index) {
  if (Index < 0 || Index >= FTabs->Count() || Index == TabIndex()) return false;
  if (!CanChange()) return false;
  SetTabIndexQuiet(Index);
  Change();
  return true;
}

void TCustomTabControl::SelectNextTab(bool GoForward) {
  int32_t n = FTabs->Count();
  if (n == 0) return;
  int32_t i = TabIndex();
  int32_t next = i < 0 ? (GoForward ? 0 : n - 1) : (i + (GoForward ? 1 : n - 1)) % n;
  ChangeTabByUser(next);
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) {
    FImages = nullptr;
    if (FHandle) Perform(TCM_SETIMAGELIST, 0, 0);
    Realign();
    Invalidate();
  }
}

void TCustomTabControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_NOTIFY: {
      auto* nm = reinterpret_cast<const NMTCHEADER*>(Message.LParam);
      if (nm && nm->code == TCN_SELCHANGING) {
        // A handler that fails refuses the change: the answer would otherwise be lost on the
        // way back through the parent and the tab would change after all.
        bool allow = false;
        try {
          allow = CanChange();
        } catch (...) {
          controls_internal::HandleException(this, std::current_exception());
        }
        Message.Result = allow ? 0 : 1;
        return;
      }
      if (nm && nm->code == TCN_SELCHANGE) {
        Change();
        return;
      }
      break;
    }
    case CM_DIALOGKEY:
      // Ctrl+Tab and Ctrl+Shift+Tab turn the tabs while the focus is on or inside the control.
      if (Message.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 && FHandle &&
          (Focused() || IsChild(FHandle, GetFocus()))) {
        SelectNextTab(GetKeyState(VK_SHIFT) >= 0);
        Message.Result = 1;
        return;
      }
      break;
    case CM_FONTCHANGED:
      TWinControl::Dispatch(Message);
      if (FHandle) {
        Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 1);
        Realign();
      }
      return;
    case WM_SIZE:
      TWinControl::Dispatch(Message);
      Realign();
      return;
  }
  TWinControl::Dispatch(Message);
}

// ---- TTabSheet --------------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csNoDesignVisible};
  FAlign = alClient;
  FVisible = false;
}

TTabSheet::~TTabSheet() {
  if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
  if (Value == FPageControl) return;
  if (FPageControl) FPageControl->RemovePage(this);
  TWinControl::SetParent(Value);
  if (Value) Value->InsertPage(this);
}

void TTabSheet::SetParent(TWinControl* AParent) {
  if (auto* pc = dynamic_cast<TPageControl*>(AParent)) {
    SetPageControl(pc);
    return;
  }
  if (FPageControl) FPageControl->RemovePage(this);
  TWinControl::SetParent(AParent);
}

int32_t TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  const auto& v = FPageControl->FPages;
  return int32_t(std::find(v.begin(), v.end(), this) - v.begin());
}

void TTabSheet::SetPageIndex(int32_t Value) {
  if (!FPageControl || Value < 0 || Value >= FPageControl->PageCount()) ListIndexError(Value);
  FPageControl->MovePage(this, Value);
}

int32_t TTabSheet::TabIndex() const {
  if (!FPageControl || !FTabShowing) return -1;
  int32_t n = 0;
  for (TTabSheet* p : FPageControl->FPages) {
    if (p == this) return n;
    if (p->FTabShowing) ++n;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
  if (Value == FTabVisible) return;
  FTabVisible = Value;
  if (FPageControl) FPageControl->ShowTab(this, Value);
}

void TTabSheet::SetImageIndex(int32_t Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  if (FPageControl) {
    FPageControl->UpdateTabImages();
    FPageControl->Invalidate();
  }
}

void TTabSheet::SetHighlighted(bool Value) {
  if (Value == FHighlighted) return;
  FHighlighted = Value;
  if (FPageControl && FTabShowing && FPageControl->HandleAllocated())
    FPageControl->Perform(TCM_HIGHLIGHTITEM, WPARAM(TabIndex()), MAKELPARAM(WORD(Value ? 1 : 0), 0));
}

void TTabSheet::Dispatch(TMessage& Message) {
  TWinControl::Dispatch(Message);
  if (Message.Msg == CM_TEXTCHANGED && FPageControl && FTabShowing) FPageControl->FTabs->Put(TabIndex(), Caption());
}

// ---- TPageControl -----------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl() {
  // The sheets are freed as children; they must not call back into this half-gone control.
  for (TTabSheet* p : FPages) {
    p->FPageControl = nullptr;
    p->FTabShowing = false;
  }
  FPages.clear();
  FActivePage = nullptr;
}

void TPageControl::CreateWnd() {
  TCustomTabControl::CreateWnd();
  for (TTabSheet* p : FPages)
    if (p->FHighlighted && p->FTabShowing) Perform(TCM_HIGHLIGHTITEM, WPARAM(p->TabIndex()), MAKELPARAM(1, 0));
}

TTabSheet* TPageControl::Pages(int32_t Index) const {
  if (Index < 0 || Index >= PageCount()) ListIndexError(Index);
  return FPages[size_t(Index)];
}

void TPageControl::SetActivePage(TTabSheet* Page) {
  if (Page && Page->FPageControl != this)
    throw EInvalidOperation("The tab sheet " + Page->Name() + " is not a page of " + Name());
  ChangeActivePage(Page);
}

int32_t TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int32_t Value) {
  if (Value == -1) {
    SetActivePage(nullptr);
    return;
  }
  SetActivePage(Pages(Value));
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) {
  int32_t n = PageCount();
  if (n == 0) return nullptr;
  auto it = std::find(FPages.begin(), FPages.end(), CurPage);
  int32_t i = it == FPages.end() ? (GoForward ? n - 1 : 0) : int32_t(it - FPages.begin());
  for (int32_t k = 0; k < n; ++k) {
    i = (i + (GoForward ? 1 : n - 1)) % n;
    TTabSheet* p = FPages[size_t(i)];
    if (!CheckTabVisible || p->TabVisible()) return p;
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
  TTabSheet* page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
  if (!page || page == FActivePage || !CanChange()) return;
  ChangeActivePage(page);
  Change();
}

void TPageControl::SetTabIndex(int32_t Value) {
  TCustomTabControl::SetTabIndex(Value);
  if (!ComponentState().Contains(csLoading)) UpdateActivePage();
}

void TPageControl::Change() {
  UpdateActivePage();
  TCustomTabControl::Change();
}

int32_t TPageControl::GetImageIndex(int32_t ATabIndex) {
  int32_t r = ATabIndex;
  if (ATabIndex >= 0 && ATabIndex < FTabs->Count())
    if (auto* page = dynamic_cast<TTabSheet*>(FTabs->Objects(ATabIndex))) r = page->ImageIndex();
  if (OnGetImageIndex) OnGetImageIndex(this, ATabIndex, r);
  return r;
}

void TPageControl::InsertPage(TTabSheet* Page) {
  FPages.push_back(Page);
  Page->FPageControl = this;
  Page->FTabShowing = false;
  if (Page->FTabVisible) ShowTab(Page, true);
}

void TPageControl::RemovePage(TTabSheet* Page) {
  auto it = std::find(FPages.begin(), FPages.end(), Page);
  if (it == FPages.end()) return;
  TTabSheet* next = FindNextPage(Page, true, true);
  if (next == Page) next = nullptr;
  if (Page->FTabShowing) DeleteTab(Page);
  FPages.erase(std::find(FPages.begin(), FPages.end(), Page));
  Page->FPageControl = nullptr;
  if (FActivePage == Page) {
    FActivePage = nullptr;
    ChangeActivePage(next);
  }
}

void TPageControl::MovePage(TTabSheet* Page, int32_t NewIndex) {
  int32_t old = Page->PageIndex();
  if (old < 0 || old == NewIndex) return;
  int32_t oldTab = Page->TabIndex();
  FPages.erase(FPages.begin() + old);
  FPages.insert(FPages.begin() + NewIndex, Page);
  int32_t newTab = Page->TabIndex();
  if (oldTab >= 0 && newTab != oldTab) {
    std::string caption = FTabs->Get(oldTab);
    FTabs->Delete(oldTab);
    FTabs->InsertObject(newTab, caption, Page);
    SetTabIndexQuiet(FActivePage ? FActivePage->TabIndex() : -1);
    if (Page->FHighlighted && FHandle) Perform(TCM_HIGHLIGHTITEM, WPARAM(newTab), MAKELPARAM(1, 0));
  }
}

void TPageControl::ShowTab(TTabSheet* Page, bool Showing) {
  if (Page->FTabShowing == Showing) return;
  if (Showing) InsertTab(Page);
  else DeleteTab(Page);
}

void TPageControl::InsertTab(TTabSheet* Page) {
  Page->FTabShowing = true;
  int32_t i = Page->TabIndex();
  FTabs->InsertObject(i, Page->Caption(), Page);
  if (Page->FHighlighted && FHandle) Perform(TCM_HIGHLIGHTITEM, WPARAM(i), MAKELPARAM(1, 0));
  UpdateActivePage();
}

void TPageControl::DeleteTab(TTabSheet* Page) {
  int32_t i = Page->TabIndex();
  Page->FTabShowing = false;
  bool wasActive = Page == FActivePage;
  FTabs->Delete(i);
  // The window handed the selection to the neighbouring tab; the page follows it. With no tab
  // left the active page's own tab was the last one, so no page stays active.
  if (wasActive && FTabs->Count() == 0) ChangeActivePage(nullptr);
  else UpdateActivePage();
}

void TPageControl::UpdateActivePage() {
  int32_t i = TabIndex();
  if (i >= 0 && i < FTabs->Count()) ChangeActivePage(static_cast<TTabSheet*>(FTabs->Objects(i)));
  // A page shown without a tab stays; a page whose tab lost the selection goes.
  else if (FActivePage && FActivePage->FTabShowing) ChangeActivePage(nullptr);
}

void TPageControl::ChangeActivePage(TTabSheet* Page) {
  if (Page != FActivePage) {
    TCustomForm* form = GetParentForm(this);
    TWinControl* focus = form ? form->ActiveControl() : nullptr;
    bool focusInside = FActivePage && focus && FActivePage->ContainsControl(focus);
    TTabSheet* old = FActivePage;
    FActivePage = Page;
    if (Page) {
      Page->BringToFront();
      Page->SetVisible(true);
    }
    if (old) old->SetVisible(false);
    // The focus does not stay on a page that went out of sight.
    if (focusInside && CanFocus()) SetFocus();
  }
  int32_t ti = Page ? Page->TabIndex() : -1;
  if (TabIndex() != ti) SetTabIndexQuiet(ti);
}
