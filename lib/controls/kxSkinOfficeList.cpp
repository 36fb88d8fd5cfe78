#include "lib/controls/kxSkinOfficeList.h"

#include <algorithm>

#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/controls/kxSkinOfficeCombo.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinScrollBar.h"
#include "lib/graphics/kxUtilsLayer.h"
#include "lib/graphics/kxPlainLook.h"

using namespace win;

namespace {

constexpr UINT_PTR kFadeTimer = 2;
// One fade step per more than 5 ms.
constexpr uint32_t kFadeInterval = 6;

bool PtIn(const TRect& R, int32_t X, int32_t Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }

}  // namespace

// ---- items --------------------------------------------------------------------------------------

TkxSkinOfficeItem::TkxSkinOfficeItem(TCollection* Collection) : TCollectionItem(nullptr) {
  // Joins once whole: joining tells the list, which lays out and paints every item.
  SetCollection(Collection);
  if (auto* items = dynamic_cast<TkxSkinOfficeItems*>(Collection); items && items->OfficeListBox)
    Active = Index() == items->OfficeListBox->ItemIndex();
}

void TkxSkinOfficeItem::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TkxSkinOfficeItem*>(Source)) {
    FImageIndex = s->FImageIndex;
    FCaption = s->FCaption;
    FTitle = s->FTitle;
    FEnabled = s->FEnabled;
    FHeader = s->FHeader;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(Source);
}

void TkxSkinOfficeItem::SetImageIndex(int32_t Value) {
  FImageIndex = Value;
  Changed(false);
}

void TkxSkinOfficeItem::SetTitle(const std::string& Value) {
  FTitle = Value;
  Changed(false);
}

void TkxSkinOfficeItem::SetCaption(const std::string& Value) {
  FCaption = Value;
  Changed(false);
}

void TkxSkinOfficeItem::SetEnabled(bool Value) {
  FEnabled = Value;
  Changed(false);
}

void TkxSkinOfficeItem::SetHeader(bool Value) {
  FHeader = Value;
  Changed(false);
}

TkxSkinOfficeItems::TkxSkinOfficeItems(TkxSkinOfficeListBox* AListBox)
    : TCollection(CollectionItemClassOf<TkxSkinOfficeItem>(), AListBox), OfficeListBox(AListBox) {}

void TkxSkinOfficeItems::Update(TCollectionItem* Item) {
  TCollection::Update(Item);
  if (!OfficeListBox) return;
  OfficeListBox->Repaint();
  OfficeListBox->UpdateScrollInfo();
}

TkxSkinOfficeItem* TkxSkinOfficeItems::Add() {
  auto* item = static_cast<TkxSkinOfficeItem*>(TCollection::Add());
  if (OfficeListBox) OfficeListBox->Repaint();
  return item;
}

TkxSkinOfficeItem* TkxSkinOfficeItems::Insert(int Index) {
  auto* item = static_cast<TkxSkinOfficeItem*>(TCollection::Insert(Index));
  if (OfficeListBox) OfficeListBox->Repaint();
  return item;
}

void TkxSkinOfficeItems::Delete(int Index) {
  TCollection::Delete(Index);
  if (OfficeListBox) OfficeListBox->Repaint();
}

void TkxSkinOfficeItems::Clear() {
  TCollection::Clear();
  if (OfficeListBox) OfficeListBox->Repaint();
}

// ---- the list -----------------------------------------------------------------------------------

TkxSkinOfficeListBox::TkxSkinOfficeListBox(TComponent* AOwner) : TkxSkinCustomControl(AOwner) {
  FControlStyle.Include(csAcceptsControls);
  FControlStyle.Include(csReplicatable);
  FSkinDataName = "listbox";
  FItems = std::make_unique<TkxSkinOfficeItems>(this);
  SetBounds(Left(), Top(), 150, 150);
}

TkxSkinOfficeListBox::~TkxSkinOfficeListBox() {
  // The items go first, so that their change notices find no half-destroyed list.
  FItems->OfficeListBox = nullptr;
  FItems.reset();
}

void TkxSkinOfficeListBox::Loaded() { TkxSkinCustomControl::Loaded(); }

void TkxSkinOfficeListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TkxSkinCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == ScrollBar) ScrollBar = nullptr;
}

void TkxSkinOfficeListBox::SetItems(TkxSkinOfficeItems* Value) {
  if (Value && Value != FItems.get()) FItems->Assign(Value);
  Repaint();
  UpdateScrollInfo();
}

void TkxSkinOfficeListBox::SetImages(TCustomImageList* Value) {
  FImages.Set(Value);
}

void TkxSkinOfficeListBox::SetShowItemTitles(bool Value) {
  if (FShowItemTitles == Value) return;
  FShowItemTitles = Value;
  Repaint();
}

void TkxSkinOfficeListBox::SetItemHeight(int32_t Value) {
  if (FItemHeight == Value) return;
  FItemHeight = Value;
  Repaint();
}

void TkxSkinOfficeListBox::SetHeaderHeight(int32_t Value) {
  if (FHeaderHeight == Value) return;
  FHeaderHeight = Value;
  Repaint();
}

void TkxSkinOfficeListBox::SetShowLines(bool Value) {
  if (FShowLines == Value) return;
  FShowLines = Value;
  Repaint();
}

void TkxSkinOfficeListBox::MarkActive(int32_t Index) {
  for (int i = 0; i < FItems->Count(); ++i) FItems->GetItem(i)->Active = i == Index;
}

void TkxSkinOfficeListBox::SetItemIndex(int32_t Value) {
  FItemIndex = Value;
  if (Value < 0) {
    // No selection draws selected while the index reads negative.
    MarkActive(-1);
    Repaint();
    return;
  }
  MarkActive(Value);
  Repaint();
  if (Value >= FItems->Count()) return;
  ScrollToItem(Value);
  if (ComponentState().Contains(csDesigning)) return;
  // The item may go away inside its own handler: read the next handler only while it is there.
  if (TNotifyEvent click = FItems->GetItem(Value)->OnClick) click(this);
  if (OnItemClick) OnItemClick(this);
}

void TkxSkinOfficeListBox::SetItemActive(int32_t Index) {
  FItemIndex = Index;
  MarkActive(Index);
  Repaint();
  ScrollToItem(Index);
}

bool TkxSkinOfficeListBox::Selectable(int32_t Index) const {
  if (Index < 0 || Index >= FItems->Count()) return false;
  const TkxSkinOfficeItem* item = FItems->GetItem(Index);
  return !item->Header() && item->Enabled();
}

// ---- layout and scrolling -----------------------------------------------------------------------

void TkxSkinOfficeListBox::CalcItemRects() {
  FRealMax = 0;
  if (FIndex != -1) {
    int32_t w = Width(), h = Height();
    CalcSkinSize(w, h);
  }
  FItemsRect = FIndex == -1 ? TRect{2, 2, Width() - 2, Height() - 2} : NewClRect;
  if (ScrollBar) FItemsRect.right -= ScrollBar->Width();
  int32_t y = FItemsRect.top;
  for (int i = 0; i < FItems->Count(); ++i) {
    TkxSkinOfficeItem* item = FItems->GetItem(i);
    const int32_t h = item->Header() ? FHeaderHeight : FItemHeight;
    item->ItemRect = TRect{FItemsRect.left, y - FScrollOffset, FItemsRect.left + RectWidth(FItemsRect),
                           y + h - FScrollOffset};
    y += h;
    const TRect& r = item->ItemRect;
    item->IsVisible = PtIn(FItemsRect, FItemsRect.left + 1, r.top) || PtIn(FItemsRect, FItemsRect.right - 1, r.bottom) ||
                      (r.top <= FItemsRect.top && r.bottom >= FItemsRect.bottom);
    if (item->IsVisible) FRealMax = r.bottom;
  }
  FMax = y;
}

int32_t TkxSkinOfficeListBox::CalcHeight(int32_t AItemCount) {
  const int32_t n = std::max(0, std::min(AItemCount, FItems->Count()));
  GetSkinData();
  if (FIndex == -1) return n * FItemHeight + 5;
  int32_t w = Width(), h = Height();
  CalcSkinSize(w, h);
  return n * FItemHeight + Height() - RectHeight(NewClRect) + 1;
}

int32_t TkxSkinOfficeListBox::ItemAtPos(int32_t X, int32_t Y) {
  for (int i = 0; i < FItems->Count(); ++i) {
    TkxSkinOfficeItem* item = FItems->GetItem(i);
    if (PtIn(item->ItemRect, X, Y) && item->Enabled()) return i;
  }
  return -1;
}

void TkxSkinOfficeListBox::Scroll(int32_t AScrollOffset) {
  FScrollOffset = AScrollOffset;
  Repaint();
  UpdateScrollInfo();
}

void TkxSkinOfficeListBox::ScrollToItem(int32_t Index) {
  if (Index < 0 || Index >= FItems->Count()) return;
  CalcItemRects();
  const TRect S = FItems->GetItem(Index)->ItemRect;
  TRect R = S;
  R.top += FScrollOffset;
  R.bottom += FScrollOffset;
  if (S.top <= FItemsRect.top) {
    // The header above the first item stays in view.
    FScrollOffset = Index == 1 && FItems->GetItem(0)->Header() ? 0 : R.top - FItemsRect.top;
    CalcItemRects();
    Invalidate();
  } else if (S.bottom >= FItemsRect.bottom) {
    FScrollOffset = R.bottom + FItemsRect.top - Height() + 1;
    CalcItemRects();
    Invalidate();
  }
  UpdateScrollInfo();
}

void TkxSkinOfficeListBox::GetScrollInfo(int32_t& AMin, int32_t& AMax, int32_t& APage, int32_t& APosition) {
  CalcItemRects();
  AMin = 0;
  AMax = FMax - FItemsRect.top;
  APage = RectHeight(FItemsRect);
  if (AMax <= APage) AMax = APage = 0;
  APosition = FScrollOffset;
}

void TkxSkinOfficeListBox::UpdateScrollInfo() {
  if (ComponentState().Contains(csDestroying)) return;
  int32_t mn = 0, mx = 0, page = 0, pos = 0;
  GetScrollInfo(mn, mx, page, pos);
  if (mx != 0) {
    if (!ScrollBar) ShowScrollbar();
    ScrollBar->SetRange(mn, mx, pos, page);
    ScrollBar->SetLargeChange(page);
  } else if (ScrollBar) {
    HideScrollBar();
  }
}

void TkxSkinOfficeListBox::ShowScrollbar() {
  if (ScrollBar) return;
  auto* bar = new TkxSkinScrollBar(this);
  bar->SetVisible(false);
  bar->SetDefaultHeight(0);
  bar->SetDefaultWidth(19);
  bar->SetSmallChange(std::max(1, FItemHeight));
  bar->SetLargeChange(std::max(1, FItemHeight));
  bar->SetSkinDataName("vscrollbar");
  bar->SetKind(sbVertical);
  bar->SetBounds(0, 0, 19, std::max(1, Height() - 4));
  bar->SetParent(this);
  ScrollBar = bar;
  bar->SetSkinData(SkinData());
  bar->OnChange = [this](TObject* Sender) { SBChange(Sender); };
  AdjustScrollBar();
  bar->SetVisible(true);
  Repaint();
}

void TkxSkinOfficeListBox::HideScrollBar() {
  if (!ScrollBar) return;
  TkxSkinScrollBar* bar = ScrollBar;
  bar->SetVisible(false);
  ScrollBar = nullptr;
  delete bar;
  Repaint();
}

void TkxSkinOfficeListBox::AdjustScrollBar() {
  if (!ScrollBar) return;
  TRect R{2, 2, Width() - 2, Height() - 2};
  if (FIndex != -1) {
    int32_t w = Width(), h = Height();
    CalcSkinSize(w, h);
    R = NewClRect;
  }
  ScrollBar->SetBounds(R.right - ScrollBar->Width(), R.top, ScrollBar->Width(), std::max(0, RectHeight(R)));
}

void TkxSkinOfficeListBox::SBChange(TObject*) {
  if (ScrollBar) Scroll(ScrollBar->Position());
}

void TkxSkinOfficeListBox::WMSize() {
  if (FOldHeight != -1 && FOldHeight != Height()) {
    CalcItemRects();
    // No empty room stays below the last item once the list grows.
    if (FItemsRect.bottom >= FRealMax && FScrollOffset > 0) {
      FScrollOffset = std::max(0, FScrollOffset - (FItemsRect.bottom - FRealMax));
      CalcItemRects();
      Invalidate();
    }
  }
  AdjustScrollBar();
  UpdateScrollInfo();
  FOldHeight = Height();
}

void TkxSkinOfficeListBox::ChangeSkinData() {
  TkxSkinCustomControl::ChangeSkinData();
  if (SkinData()) {
    if (auto* e = SkinRecordNamed<TkxDataSkinEditControl>("edit"))
      FDisabledFontColor = e->DisabledFontColor;
    else if (SkinData()->SkinColors())
      FDisabledFontColor = SkinData()->SkinColors()->cBtnShadow();
  }
  if (ScrollBar) {
    ScrollBar->SetSkinData(SkinData());
    AdjustScrollBar();
  }
  CalcItemRects();
  Repaint();
}

// ---- keys ---------------------------------------------------------------------------------------

void TkxSkinOfficeListBox::FindUp() {
  if (FItemIndex < 1) return;
  for (int32_t i = std::min(FItemIndex, FItems->Count()) - 1; i >= 0; --i)
    if (Selectable(i)) {
      SetItemIndex(i);
      return;
    }
}

void TkxSkinOfficeListBox::FindDown() {
  for (int32_t i = FItemIndex < 0 ? 0 : FItemIndex + 1; i < FItems->Count(); ++i)
    if (Selectable(i)) {
      SetItemIndex(i);
      return;
    }
}

namespace {
// Rows in a page; at least one, also for a zero or negative row height.
int32_t PageRows(const TRect& Area, int32_t ItemHeight) {
  if (ItemHeight <= 0) return 1;
  return std::max(1, RectHeight(Area) / ItemHeight);
}
}  // namespace

void TkxSkinOfficeListBox::FindPageDown() {
  CalcItemRects();
  const int32_t P = PageRows(FItemsRect, FItemHeight);
  const int32_t s = FItemIndex < 0 ? 0 : FItemIndex + 1;
  if (s >= FItems->Count()) return;
  const int32_t e = int32_t(std::min<int64_t>(int64_t(s) + P, FItems->Count() - 1));
  bool headerPassed = false;
  int32_t found = -1;
  for (int32_t i = s; i <= e; ++i) {
    if (headerPassed && Selectable(i)) {
      SetItemIndex(i);
      return;
    }
    if (FItems->GetItem(i)->Header())
      headerPassed = true;
    else if (Selectable(i))
      found = i;
  }
  if (found != -1) SetItemIndex(found);
}

void TkxSkinOfficeListBox::FindPageUp() {
  if (FItemIndex < 1) return;
  CalcItemRects();
  const int32_t P = PageRows(FItemsRect, FItemHeight);
  const int32_t s = std::min(FItemIndex, FItems->Count()) - 1;
  const int32_t e = std::max(s - P, 0);
  bool headerPassed = false;
  int32_t found = -1;
  for (int32_t i = s; i >= e; --i) {
    if (headerPassed && Selectable(i)) {
      SetItemIndex(i);
      return;
    }
    if (i < FItems->Count() && FItems->GetItem(i)->Header())
      headerPassed = true;
    else if (Selectable(i))
      found = i;
  }
  if (found != -1) SetItemIndex(found);
}

void TkxSkinOfficeListBox::KeyDown(WORD& Key, TShiftState Shift) {
  TkxSkinCustomControl::KeyDown(Key, Shift);
  switch (Key) {
    case VK_NEXT: FindPageDown(); break;
    case VK_PRIOR: FindPageUp(); break;
    case VK_UP: case VK_LEFT: FindUp(); break;
    case VK_DOWN: case VK_RIGHT: FindDown(); break;
    default: break;
  }
}

// ---- mouse --------------------------------------------------------------------------------------

void TkxSkinOfficeListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TkxSkinCustomControl::MouseDown(Button, Shift, X, Y);
  const int32_t i = ItemAtPos(X, Y);
  if (i != -1 && !FItems->GetItem(i)->Header() && Button == mbLeft) {
    SetItemActive(i);
    FMouseDown = true;
    FMouseActive = i;
  }
}

void TkxSkinOfficeListBox::MouseMove(TShiftState Shift, int X, int Y) {
  TkxSkinCustomControl::MouseMove(Shift, X, Y);
  const int32_t i = ItemAtPos(X, Y);
  if (i != -1 && !FItems->GetItem(i)->Header() && (FMouseDown || FMouseMoveChangeIndex) && i != FMouseActive) {
    SetItemActive(i);
    FMouseActive = i;
  }
}

void TkxSkinOfficeListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TkxSkinCustomControl::MouseUp(Button, Shift, X, Y);
  FMouseDown = false;
  const int32_t i = ItemAtPos(X, Y);
  if (i != -1 && !FItems->GetItem(i)->Header() && Button == mbLeft) SetItemIndex(i);
}

bool TkxSkinOfficeListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  TkxSkinCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
  if (!ScrollBar) return false;
  // Towards the user scrolls down; the bar's OnChange moves the content.
  if (WheelDelta < 0)
    ScrollBar->SetPosition(ScrollBar->Position() + ScrollBar->SmallChange());
  else
    ScrollBar->SetPosition(ScrollBar->Position() - ScrollBar->SmallChange());
  return true;
}

void TkxSkinOfficeListBox::WndProc(TMessage& Message) {
  if (FFocusOnClick && !FocusOnPress(Message)) return;
  TkxSkinCustomControl::WndProc(Message);
}

void TkxSkinOfficeListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE:
      TkxSkinCustomControl::Dispatch(Message);
      WMSize();
      return;
    case CM_FOCUSCHANGED:
      TkxSkinCustomControl::Dispatch(Message);
      Repaint();
      return;
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
    case WM_ERASEBKGND:
      if (!FromWMPaint && Message.WParam) PaintInto(reinterpret_cast<HDC>(Message.WParam));
      Message.Result = 1;
      return;
    default: TkxSkinCustomControl::Dispatch(Message); return;
  }
}

void TkxSkinOfficeListBox::PaintInto(HDC DC) {
  if (Width() < 1 || Height() < 1) return;
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(Width(), Height());
  GetSkinData();
  int32_t w = Width(), h = Height();
  CalcSkinSize(w, h);
  if (FIndex == -1)
    CreateControlDefaultImage(&b);
  else
    CreateControlSkinImage(&b);
  BitBlt(DC, 0, 0, Width(), Height(), b.Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---- painting -----------------------------------------------------------------------------------

void TkxSkinOfficeListBox::DrawItems(TBitmap* B) {
  CalcItemRects();
  TCanvas* C = B->Canvas();
  const int saved = SaveDC(C->Handle());
  IntersectClipRect(C->Handle(), FItemsRect.left, FItemsRect.top, FItemsRect.right, FItemsRect.bottom);
  for (int i = 0; i < FItems->Count(); ++i)
    if (FItems->GetItem(i)->IsVisible) DrawItem(i, C);
  RestoreDC(C->Handle(), saved);
  C->Refresh();
}

void TkxSkinOfficeListBox::CreateControlDefaultImage(TBitmap* B) {
  TCanvas* C = B->Canvas();
  TRect r{0, 0, B->Width(), B->Height()};
  DrawPlainEdge(C, r, TkxPlainEdge::Flat);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clWindow);
  C->FillRect(TRect{2, 2, B->Width() - 2, B->Height() - 2});
  DrawItems(B);
}

void TkxSkinOfficeListBox::CreateControlSkinImage(TBitmap* B) {
  TkxSkinCustomControl::CreateControlSkinImage(B);
  DrawItems(B);
}

void TkxSkinOfficeListBox::DrawItem(int32_t Index, TCanvas* Cnvs) {
  if (Index < 0 || Index >= FItems->Count()) return;
  if (FIndex == -1)
    DefaultDrawItem(Index, Cnvs);
  else
    SkinDrawItem(Index, Cnvs);
}

// Title, image and caption of a non-header item inside R (owner drawing replaces all three).
void TkxSkinOfficeListBox::DrawContent(int32_t Index, TCanvas* C, TRect R, bool Skinned) {
  TkxSkinOfficeItem* item = FItems->GetItem(Index);
  C->Brush()->SetStyle(bsClear);
  if (OnDrawItem) {
    OnDrawItem(C, Index, Skinned ? R : item->ItemRect);
    return;
  }
  if (!item->Title().empty() && FShowItemTitles) {
    TFontStyles st = C->Font()->Style();
    C->Font()->SetStyle(st + fsBold);
    TRect T = R;
    T.bottom = T.top + TextHeightW(C, item->Title());
    DrawWideText(C, item->Title(), T, 0);
    C->Font()->SetStyle(st);
    R.top = T.bottom;
  }
  if (FImages && item->ImageIndex() >= 0 && item->ImageIndex() < FImages->Count()) {
    DrawImageAndTextLeft(C, R, 0, 2, blGlyphLeft, item->Caption(), item->ImageIndex(), FImages, false,
                         item->Enabled(), false, clNone);
    return;
  }
  if (FShowItemTitles) R.left += 10;
  TRect c{0, 0, RectWidth(R), 0};
  DrawWideText(C, item->Caption(), c, DT_CALCRECT | DT_WORDBREAK);
  int32_t y = R.top + RectHeight(R) / 2 - RectHeight(c) / 2;
  if (y < R.top) y = R.top;
  TRect t{R.left, y, R.left + RectWidth(c), y + RectHeight(c)};
  DrawWideText(C, item->Caption(), t, Skinned ? DT_WORDBREAK | DT_EXPANDTABS : DT_WORDBREAK);
}

void TkxSkinOfficeListBox::DefaultDrawItem(int32_t Index, TCanvas* Cnvs) {
  TkxSkinOfficeItem* item = FItems->GetItem(Index);
  TColor fill, text;
  if (item->Header())
    fill = kxPlain.Shadow, text = kxPlain.Highlight;
  else if (item->Active && item->Enabled())
    fill = clHighlight, text = clHighlightText;
  else
    fill = clWindow, text = item->Enabled() ? clWindowText : TColor(0x808080);
  TRect R = item->ItemRect;
  const int saved = SaveDC(Cnvs->Handle());
  IntersectClipRect(Cnvs->Handle(), R.left, R.top, R.right, R.bottom);
  Cnvs->Font()->Assign(FDefaultFont.get());
  Cnvs->Font()->SetColor(text);
  Cnvs->Brush()->SetStyle(bsSolid);
  Cnvs->Brush()->SetColor(fill);
  Cnvs->FillRect(R);
  Cnvs->Brush()->SetStyle(bsClear);
  R = TRect{R.left + 2, R.top + 2, R.right - 2, R.bottom - 2};
  if (item->Header()) {
    DrawWideText(Cnvs, item->Caption(), R, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  } else {
    DrawContent(Index, Cnvs, R, false);
    if (FShowLines) {
      const TColor old = Cnvs->Pen()->Color();
      Cnvs->Pen()->SetColor(kxPlain.Face);
      Cnvs->MoveTo(item->ItemRect.left, item->ItemRect.bottom - 1);
      Cnvs->LineTo(item->ItemRect.right, item->ItemRect.bottom - 1);
      Cnvs->Pen()->SetColor(old);
    }
  }
  if (item->Active && item->Enabled() && !item->Header() && Focused()) {
    RECT fr = item->ItemRect;
    DrawFocusRect(Cnvs->Handle(), &fr);
  }
  RestoreDC(Cnvs->Handle(), saved);
  Cnvs->Refresh();
}

void TkxSkinOfficeListBox::SkinDrawItem(int32_t Index, TCanvas* Cnvs) {
  TkxSkinOfficeItem* item = FItems->GetItem(Index);
  if (item->Header()) {
    SkinDrawHeaderItem(Index, Cnvs);
    return;
  }
  auto* L = SkinRecordNamed<TkxDataSkinListBox>("listbox");
  if (!L) return;
  TRect R = item->ItemRect;
  R = TRect{R.left + 2, R.top + 2, R.right - 2, R.bottom - 2};
  if (L->FontColor == FDisabledFontColor && FDisabledFontColor == 0) FDisabledFontColor = TColor(0x808080);
  auto setFont = [&](TFont* F, TColor Color) {
    if (FUseSkinFont) {
      F->SetName(L->FontName);
      F->SetHeight(L->FontHeight);
      F->SetStyle(L->FontStyle);
    } else {
      F->Assign(FDefaultFont.get());
    }
    F->SetCharset(SkinCharset(FDefaultFont.get()));
    F->SetColor(Color);
  };
  TColor color = FDisabledFontColor;
  if (item->Enabled())
    color = FSkinDataName == "listbox" || FSkinDataName == "memo" || !SkinData()->SkinColors() ? L->FontColor
                                                                                        : SkinData()->SkinColors()->cBtnText();
  const TRect src = Focused() ? L->FocusItemRect : L->ActiveItemRect;
  if (item->Active && item->Enabled()) {
    const int32_t w = RectWidth(item->ItemRect), h = RectHeight(item->ItemRect);
    if (w < 1 || h < 1) return;
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(w, h);
    // The strip behind the selected item: the skin's item image, or the list's own pixels.
    b.Canvas()->CopyRect(TRect{0, 0, w, h}, Cnvs, item->ItemRect);
    if (RectInPicture(src, Picture)) StretchNinePartImage(&b, Picture, src, L->ItemTextRect, true);
    setFont(b.Canvas()->Font(), Focused() ? L->FocusFontColor : L->ActiveFontColor);
    DrawContent(Index, b.Canvas(), TRect{2, 2, w - 2, h - 2}, true);
    Cnvs->Draw(item->ItemRect.left, item->ItemRect.top, &b);
    return;
  }
  const int saved = SaveDC(Cnvs->Handle());
  IntersectClipRect(Cnvs->Handle(), item->ItemRect.left, item->ItemRect.top, item->ItemRect.right,
                    item->ItemRect.bottom);
  setFont(Cnvs->Font(), color);
  DrawContent(Index, Cnvs, R, true);
  if (FShowLines) {
    const TColor old = Cnvs->Pen()->Color();
    Cnvs->Pen()->SetColor(SkinData()->SkinColors() ? SkinData()->SkinColors()->cBtnShadow() : kxPlain.Shadow);
    Cnvs->MoveTo(item->ItemRect.left, item->ItemRect.bottom - 1);
    Cnvs->LineTo(item->ItemRect.right, item->ItemRect.bottom - 1);
    Cnvs->Pen()->SetColor(old);
  }
  RestoreDC(Cnvs->Handle(), saved);
  Cnvs->Refresh();
}

void TkxSkinOfficeListBox::SkinDrawHeaderItem(int32_t Index, TCanvas* Cnvs) {
  auto* H = SkinRecordNamed<TkxDataSkinLabelControl>("menuheader");
  if (!H) H = SkinRecordNamed<TkxDataSkinLabelControl>("label");
  if (!H) return;
  TkxSkinOfficeItem* item = FItems->GetItem(Index);
  const int32_t w = RectWidth(item->ItemRect), h = RectHeight(item->ItemRect);
  if (w < 1 || h < 1) return;
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(w, h);
  b.Canvas()->CopyRect(TRect{0, 0, w, h}, Cnvs, item->ItemRect);
  // A picture index outside the skin's pictures draws no band, only the text.
  TBitmap* pic = SkinPicture(H->PictureIndex);
  if (RectInPicture(H->SkinRect, pic)) StretchNinePartImage(&b, pic, H->SkinRect, H->ClRect, true);
  TCanvas* C = b.Canvas();
  C->Font()->SetName(H->FontName);
  C->Font()->SetColor(H->FontColor);
  C->Font()->SetHeight(H->FontHeight);
  C->Font()->SetStyle(H->FontStyle);
  C->Font()->SetCharset(SkinCharset(FDefaultFont.get()));
  C->Brush()->SetStyle(bsClear);
  TRect t{1, 1, w - 1, h - 1};
  DrawWideText(C, item->Caption(), t, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  Cnvs->Draw(item->ItemRect.left, item->ItemRect.top, &b);
}

// ---- the popup ----------------------------------------------------------------------------------

TkxPopupOfficeListBox::TkxPopupOfficeListBox(TComponent* AOwner) : TkxSkinOfficeListBox(AOwner) {
  FControlStyle.Include(csNoDesignVisible);
  FFocusOnClick = false;
  SetVisible(false);
}

TkxPopupOfficeListBox::~TkxPopupOfficeListBox() { StopFade(); }

void TkxPopupOfficeListBox::CreateParams(TCreateParams& Params) {
  TkxSkinOfficeListBox::CreateParams(Params);
  Params.Style = WS_POPUP | WS_CLIPCHILDREN;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WindowClass.style |= CS_SAVEBITS | CS_DROPSHADOW;
}

TkxSkinCustomOfficeComboBox* TkxPopupOfficeListBox::OwnerCombo() const {
  return dynamic_cast<TkxSkinCustomOfficeComboBox*>(Owner());
}

void TkxPopupOfficeListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; return;
    case WM_TIMER:
      if (Message.WParam == kFadeTimer) {
        FadeStep();
        return;
      }
      TkxSkinOfficeListBox::Dispatch(Message);
      return;
    default: TkxSkinOfficeListBox::Dispatch(Message); return;
  }
}

void TkxPopupOfficeListBox::Hide() {
  StopFade();
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  SetVisible(false);
}

void TkxPopupOfficeListBox::Show(TPoint Origin) {
  StopFade();
  TkxSkinCustomOfficeComboBox* combo = OwnerCombo();
  const HWND h = Handle();
  if (combo) {
    if (combo->AlphaBlend() != FOldAlphaBlend) {
      LONG_PTR ex = GetWindowLongPtr(h, GWL_EXSTYLE);
      SetWindowLongPtr(h, GWL_EXSTYLE, combo->AlphaBlend() ? ex | WS_EX_LAYERED : ex & ~LONG_PTR(WS_EX_LAYERED));
    }
    FOldAlphaBlend = combo->AlphaBlend();
    if (combo->AlphaBlend() && combo->AlphaBlendValue() != FOldAlphaBlendValue) {
      FOldAlphaBlendValue = combo->AlphaBlendAnimation() ? 0 : combo->AlphaBlendValue();
      SetLayeredWindowAlpha(h, FOldAlphaBlendValue);
    } else if (combo->AlphaBlend() && combo->AlphaBlendAnimation()) {
      // Each showing fades in from nothing.
      FOldAlphaBlendValue = 0;
      SetLayeredWindowAlpha(h, 0);
    }
  }
  SetWindowPos(h, HWND_TOP, Origin.x, Origin.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  SetVisible(true);
  if (combo && combo->AlphaBlend() && combo->AlphaBlendAnimation()) {
    // The fade runs on a timer of this window: a close, a hide or the list's end stops it, and
    // the thread keeps serving messages meanwhile.
    combo->ClearListButtonDown();
    FFadeTarget = combo->AlphaBlendValue();
    FFadeStep = uint8_t(std::max(1, FFadeTarget / 15));
    FFadeAlpha = 0;
    FFadeOn = true;
    FadeStep();
    if (FFadeOn) SetTimer(h, kFadeTimer, kFadeInterval, nullptr);
  }
}

void TkxPopupOfficeListBox::FadeStep() {
  if (!FFadeOn || !HandleAllocated()) return;
  FFadeAlpha = uint8_t(std::min<int>(FFadeAlpha + FFadeStep, FFadeTarget));
  FOldAlphaBlendValue = FFadeAlpha;
  SetLayeredWindowAlpha(Handle(), FFadeAlpha);
  if (FFadeAlpha >= FFadeTarget) StopFade();
}

void TkxPopupOfficeListBox::StopFade() {
  if (FFadeOn && HandleAllocated()) KillTimer(Handle(), kFadeTimer);
  FFadeOn = false;
}

// ---- streaming ----------------------------------------------------------------------------------

void RegisterSkinOfficeListFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxSkinOfficeItem, TCollectionItem>("TkxSkinOfficeItem")
      .Boolean("Header", &TkxSkinOfficeItem::SetHeader)
      .Boolean("Enabled", &TkxSkinOfficeItem::SetEnabled)
      .String("Title", &TkxSkinOfficeItem::SetTitle)
      .String("Caption", &TkxSkinOfficeItem::SetCaption)
      .Integer("ImageIndex", &TkxSkinOfficeItem::SetImageIndex)
      .Event<TNotifyEvent>("OnClick", &TkxSkinOfficeItem::OnClick);
  RegisterFormClass<TkxSkinOfficeListBox, TkxSkinCustomControl>("TkxSkinOfficeListBox")
      .Collection("Items", &TkxSkinOfficeListBox::Items)
      .Reference<TCustomImageList>("Images", &TkxSkinOfficeListBox::SetImages)
      .Boolean("ShowItemTitles", &TkxSkinOfficeListBox::SetShowItemTitles)
      .Integer("ItemHeight", &TkxSkinOfficeListBox::SetItemHeight)
      .Integer("HeaderHeight", &TkxSkinOfficeListBox::SetHeaderHeight)
      .Integer("ItemIndex", &TkxSkinOfficeListBox::SetItemIndex)
      .Boolean("ShowLines", &TkxSkinOfficeListBox::SetShowLines)
      .Boolean("MouseMoveChangeIndex", &TkxSkinOfficeListBox::SetMouseMoveChangeIndex)
      .Event<TNotifyEvent>("OnItemClick", &TkxSkinOfficeListBox::OnItemClick);
}
