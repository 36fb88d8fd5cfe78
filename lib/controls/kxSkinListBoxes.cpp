#include "lib/controls/kxSkinListBoxes.h"

#include <algorithm>
#include <climits>

#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinScrollBar.h"
#include "lib/graphics/kxPlainLook.h"

using namespace win;

namespace {

constexpr UINT_PTR kButtonTimer = 1;
constexpr uint32_t kFirstDelay = 500, kRepeatDelay = 100, kBackOnButtonDelay = 50;

TRect Moved(TRect R, int32_t DX, int32_t DY) { return TRect{R.left + DX, R.top + DY, R.right + DX, R.bottom + DY}; }

// Text with tab characters, each tab moving to the next of the stops (absolute x positions);
// one stop repeats, no stops means every 8 average characters.
void TabbedText(TCanvas* C, int32_t X, int32_t Y, const std::string& Text, const std::vector<int32_t>& Stops) {
  int32_t x = X;
  size_t from = 0;
  const int32_t every = Stops.size() == 1 && Stops[0] > 0 ? Stops[0] : 8 * std::max(1, C->TextWidth("0"));
  size_t stop = 0;
  while (true) {
    const size_t tab = Text.find('\t', from);
    const std::string part = Text.substr(from, tab == std::string::npos ? std::string::npos : tab - from);
    if (!part.empty()) C->TextOut(x, Y, part);
    x += C->TextWidth(part);
    if (tab == std::string::npos) break;
    from = tab + 1;
    int32_t next = -1;
    if (Stops.size() > 1) {
      while (stop < Stops.size() && Stops[stop] <= x) ++stop;
      if (stop < Stops.size()) next = Stops[stop];
    }
    if (next < 0) next = (x / every + 1) * every;
    x = next;
  }
}

}  // namespace

int32_t kxTabStopOf(const std::string& Line) {
  if (Line.empty()) return 0;
  int64_t v = 0;
  for (char ch : Line) {
    if (ch < '0' || ch > '9') return 0;
    v = std::min<int64_t>(v * 10 + (ch - '0'), INT32_MAX);
  }
  return int32_t(v);
}

void kxDrawListItemText(TCanvas* C, const TRect& TxtRect, const std::string& Text, int32_t Index,
                        TCustomImageList* Images, int32_t ImageIndex, TStrings* TabWidths, int32_t Columns,
                        int32_t Offset) {
  int32_t indent = 0;
  if (Images) {
    const int32_t i = ImageIndex >= 0 ? ImageIndex : Index;
    if (i < Images->Count())
      Images->Draw(C, TxtRect.left - Offset, TxtRect.top + RectHeight(TxtRect) / 2 - Images->Height() / 2, i, true);
    indent = Images->Width() + 2;
  }
  if (TabWidths && TabWidths->Count() > 0 && Columns == 0) {
    std::vector<int32_t> stops;
    for (int32_t i = 0; i < TabWidths->Count() && i < 10; ++i) stops.push_back(kxTabStopOf(TabWidths->Get(i)));
    const int32_t y = TxtRect.top + RectHeight(TxtRect) / 2 - C->TextHeight(Text.empty() ? "0" : Text) / 2;
    const int saved = SaveDC(C->Handle());
    IntersectClipRect(C->Handle(), TxtRect.left, TxtRect.top, TxtRect.right, TxtRect.bottom);
    C->Brush()->SetStyle(bsClear);
    TabbedText(C, TxtRect.left + indent + 2, y, Text, stops);
    RestoreDC(C->Handle(), saved);
  } else {
    C->Brush()->SetStyle(bsClear);
    TextRectVCenteredIndent(C, Text, TxtRect, indent - Offset);
  }
}

// ---- TkxListBox ---------------------------------------------------------------------------------

TkxListBox::TkxListBox(TComponent* AOwner) : TListBox(AOwner) {
  FBorderStyle = bsNone;
  FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks};
}

void TkxListBox::CreateParams(TCreateParams& Params) {
  TListBox::CreateParams(Params);
  Params.Style &= ~DWORD(WS_BORDER);
  Params.ExStyle &= ~DWORD(WS_EX_CLIENTEDGE);
  Params.WindowClass.style = CS_DBLCLKS;
  Params.Style |= WS_TABSTOP;
}

void TkxListBox::CreateWnd() {
  TListBox::CreateWnd();
  if (SkinListBox) SkinListBox->ListBoxCreateWnd();
}

void TkxListBox::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  const int32_t old = Width();
  TListBox::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (AWidth != old && FHorizontalExtentValue >= 1) {
    FHorizontalExtentValue = std::max(0, FHorizontalExtentValue + old - AWidth);
    Invalidate();
  }
}

void TkxListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (SkinListBox) SkinListBox->ListBoxMouseDown(Button, Shift, X, Y);
  TListBox::MouseDown(Button, Shift, X, Y);
}

void TkxListBox::MouseMove(TShiftState Shift, int X, int Y) {
  if (SkinListBox) SkinListBox->ListBoxMouseMove(Shift, X, Y);
  TListBox::MouseMove(Shift, X, Y);
}

void TkxListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (SkinListBox) SkinListBox->ListBoxMouseUp(Button, Shift, X, Y);
  TListBox::MouseUp(Button, Shift, X, Y);
}

void TkxListBox::KeyPress(uint32_t& Key) {
  if (SkinListBox) SkinListBox->ListBoxKeyPress(Key);
  TListBox::KeyPress(Key);
}

void TkxListBox::KeyUp(WORD& Key, TShiftState Shift) {
  if (SkinListBox) SkinListBox->ListBoxKeyUp(Key, Shift);
  TListBox::KeyUp(Key, Shift);
}

void TkxListBox::Click() {
  if (SkinListBox) SkinListBox->ListBoxClick();
  TListBox::Click();
}

void TkxListBox::KeyDown(WORD& Key, TShiftState Shift) {
  if (SkinListBox) {
    SkinListBox->ListBoxKeyDown(Key, Shift);
    if (TkxSkinScrollBar* h = SkinListBox->HScrollBar; h && (Key == VK_LEFT || Key == VK_RIGHT)) {
      h->SetPosition(h->Position() + (Key == VK_LEFT ? -h->SmallChange() : h->SmallChange()));
      Key = 0;
    }
  }
  TListBox::KeyDown(Key, Shift);
}

void TkxListBox::WndProc(TMessage& Message) {
  if (SkinListBox) {
    bool handled = true;
    SkinListBox->ListBoxWndProc(Message, handled);
    if (!handled) return;
  }
  TListBox::WndProc(Message);
  if (!SkinListBox) return;
  switch (Message.Msg) {
    case WM_ERASEBKGND: case LB_ADDSTRING: case LB_INSERTSTRING: case LB_DELETESTRING:
    case LB_RESETCONTENT: case LB_SETTOPINDEX: case WM_VSCROLL: case WM_HSCROLL: case WM_KEYDOWN:
      SkinListBox->UpDateScrollBar();
      break;
    case WM_LBUTTONDBLCLK: SkinListBox->ListBoxDblClick(); break;
    default: break;
  }
}

void TkxListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCCALCSIZE: return;  // no frame, no bars of its own
    case KXM_PAINTNCTODC: Message.Result = KX_PAINTNCTODC_ANSWER; return;
    case WM_ERASEBKGND:
      if (Width() > 0 && Height() > 0 && Message.WParam)
        PaintBackground(reinterpret_cast<HDC>(Message.WParam), ClientRect());
      Message.Result = 1;
      return;
    case CN_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
      if (!dis) return;
      TCanvas c;
      c.SetHandle(dis->hDC);
      const int32_t i = int32_t(dis->itemID);
      PaintItem(&c, i, dis->rcItem, ItemState(i));
      c.SetHandle(nullptr);
      Message.Result = 1;
      return;
    }
    case CM_ENTER:
      if (SkinListBox) SkinListBox->ListBoxEnter();
      TListBox::Dispatch(Message);
      return;
    case CM_EXIT:
      if (SkinListBox) SkinListBox->ListBoxExit();
      TListBox::Dispatch(Message);
      return;
    case WM_SETFOCUS: case WM_KILLFOCUS:
      TListBox::Dispatch(Message);
      Invalidate();
      return;
    case WM_MOUSEWHEEL: {
      TListBox::Dispatch(Message);
      if (!SkinListBox) return;
      const bool away = SHORT(HIWORD(Message.WParam)) > 0;
      if (SkinListBox->ScrollBar) {
        SendMessage(Handle(), WM_VSCROLL, away ? SB_LINEUP : SB_LINEDOWN, 0);
        SkinListBox->UpDateScrollBar();
      } else if (TkxSkinScrollBar* h = SkinListBox->HScrollBar) {
        h->SetPosition(h->Position() + (away ? -h->SmallChange() : h->SmallChange()));
      }
      Message.Result = 1;
      return;
    }
    case KXM_PAINTBGTODC:
      if (Count() == 0 && Message.LParam == kxPaintToDCKey) {
        if (Message.WParam) PaintBackground(reinterpret_cast<HDC>(Message.WParam), ClientRect());
        Message.Result = kxPaintToDCKey;
      }
      return;
    default: TListBox::Dispatch(Message); return;
  }
}

TOwnerDrawState TkxListBox::ItemState(int32_t Index) {
  TOwnerDrawState s;
  if (Index < 0 || Index >= Count()) return s;
  if (Index == ItemIndex()) {
    s.Include(odSelected);
    if (HandleAllocated() && GetFocus() == Handle()) s.Include(odFocused);
  } else if (SelCount() > 0 && Selected(Index)) {
    s.Include(odSelected);
  }
  return s;
}

void TkxListBox::PaintBackground(HDC DC, const TRect& R) {
  if (IsEmptyRect(R)) return;
  TkxSkinCustomListBox* o = SkinListBox;
  if (o) o->GetSkinData();
  TCanvas c;
  c.SetHandle(DC);
  const int32_t w0 = o ? RectWidth(o->ClRect) : 0, h0 = o ? RectHeight(o->ClRect) : 0;
  if (!o || o->SkinIndex() == -1 || !o->Picture || w0 <= 0 || h0 <= 0) {
    PlainFill(&c, R, clWindow);
  } else {
    auto tile = NewSkinImage(w0, h0);
    tile->Canvas()->CopyRect(TRect{0, 0, w0, h0}, o->Picture->Canvas(),
                             Moved(o->ClRect, o->SkinRect.left, o->SkinRect.top));
    auto b = NewSkinImage(RectWidth(R), RectHeight(R));
    for (int32_t x = 0; x < b->Width(); x += w0)
      for (int32_t y = 0; y < b->Height(); y += h0) b->Canvas()->Draw(x, y, tile.get());
    c.Draw(R.left, R.top, b.get());
  }
  c.SetHandle(nullptr);
}

void TkxListBox::PaintWindow(HDC DC) {
  if (Width() <= 0 || Height() <= 0) return;
  const int saved = SaveDC(DC);
  TCanvas c;
  c.SetHandle(DC);
  const int32_t ih = ItemHeight();
  const int32_t n = Count(), top = TopIndex();
  const TRect client = ClientRect();
  // An item height of 0 draws no items; the background covers all.
  int32_t bottom = 0;
  if (ih > 0 && n > 0) {
    const int32_t rows = client.bottom / ih;
    const int32_t last = Columns() > 0 ? std::min(top + rows * Columns(), n - 1) : std::min(top + rows, n - 1);
    for (int32_t i = top; i <= last; ++i) {
      TRect r = ItemRect(i);
      PaintItem(&c, i, r, ItemState(i));
      bottom = std::max(bottom, int32_t(r.bottom));
    }
  }
  c.SetHandle(nullptr);
  if (Columns() <= 0 && bottom < client.bottom) PaintBackground(DC, TRect{0, bottom, client.right, client.bottom});
  RestoreDC(DC, saved);
}

void TkxListBox::PaintItem(TCanvas* C, int32_t Index, const TRect& R, TOwnerDrawState State) {
  if (Index < 0 || Index >= Count() || IsEmptyRect(R)) return;
  if (!SkinListBox || SkinListBox->SkinIndex() == -1)
    DefaultDrawItem(C, Index, R, State);
  else if (SkinListBox->FUseSkinItemHeight)
    SkinDrawItem(C, Index, R, State);
  else
    StretchSkinDrawItem(C, Index, R, State);
}

void TkxListBox::DrawImageAndText(TCanvas* C, int32_t Index, const TRect& TxtRect) {
  TkxSkinCustomListBox* o = SkinListBox;
  kxDrawListItemText(C, TxtRect, Items()->Get(Index), Index, o ? o->Images() : nullptr, o ? o->FImageIndex : -1,
                     o ? o->FTabWidths.get() : nullptr, Columns(), FHorizontalExtentValue);
}

void TkxListBox::DefaultDrawItem(TCanvas* C, int32_t Index, const TRect& R, TOwnerDrawState State) {
  TkxSkinCustomListBox* o = SkinListBox;
  auto b = NewSkinImage(RectWidth(R), RectHeight(R));
  TCanvas* bc = b->Canvas();
  TFont* f = o ? o->Font() : Font();
  bc->Font()->Assign(f);
  bc->Font()->SetCharset(o ? o->SkinCharset(o->DefaultFont()) : TFontCharset(DEFAULT_CHARSET));
  const bool selected = State.Contains(odSelected);
  PlainFill(bc, TRect{0, 0, b->Width(), b->Height()}, selected ? clHighlight : clWindow);
  bc->Font()->SetColor(selected ? clHighlightText : f->Color());
  const TRect txt{2, 0, b->Width() - 2, b->Height()};
  if (o && o->OnDrawItem)
    o->OnDrawItem(bc, Index, b->Width(), b->Height(), txt, State);
  else
    DrawImageAndText(bc, Index, txt);
  if (State.Contains(odFocused)) {
    RECT fr{0, 0, b->Width(), b->Height()};
    bc->Font()->SetColor(clWindowText);
    DrawFocusRect(bc->Handle(), &fr);
  }
  C->Draw(R.left, R.top, b.get());
}

void TkxListBox::ItemFont(TFont* F) {
  TkxSkinCustomListBox* o = SkinListBox;
  if (o->UseSkinFont()) {
    F->SetName(o->FontName);
    F->SetStyle(o->FontStyle);
    F->SetHeight(o->FontHeight);
  } else {
    F->Assign(o->DefaultFont());
  }
  F->SetCharset(o->SkinCharset(o->DefaultFont()));
}

void TkxListBox::StretchSkinDrawItem(TCanvas* C, int32_t Index, const TRect& R, TOwnerDrawState State) {
  TkxSkinCustomListBox* o = SkinListBox;
  if (!o->Picture) return;
  const bool focused = State.Contains(odFocused), selected = State.Contains(odSelected);
  const TRect src = focused ? o->FocusItemRect : selected ? o->ActiveItemRect : o->SItemRect;
  auto b = NewSkinImage(RectWidth(R), RectHeight(R));
  if (!IsEmptyRect(src)) {
    TRect inner = o->ItemTextRect;
    inner.left += 1, inner.top += 1, inner.right -= 1, inner.bottom -= 1;
    StretchNinePartImage(b.get(), o->Picture, src, inner, true);
  }
  TRect txt = o->ItemTextRect;
  txt.right += b->Width() - RectWidth(o->SItemRect);
  txt.bottom += b->Height() - RectHeight(o->SItemRect);
  TCanvas* bc = b->Canvas();
  ItemFont(bc->Font());
  bc->Font()->SetColor(focused ? o->FocusFontColor : selected ? o->ActiveFontColor : o->FontColor);
  bc->Brush()->SetStyle(bsClear);
  if (o->OnDrawItem) {
    o->OnDrawItem(bc, Index, b->Width(), RectHeight(o->SItemRect), txt, State);
  } else {
    if (focused && o->ShowFocus) {
      TkxSkinColors* sc = o->SkinData() ? o->SkinData()->SkinColors() : nullptr;
      bc->Brush()->SetStyle(bsSolid);
      bc->Brush()->SetColor(sc ? sc->cBtnFace() : kxPlain.Face);
      DrawSkinFocusRect(bc, TRect{0, 0, b->Width(), b->Height()});
      bc->Brush()->SetStyle(bsClear);
    }
    DrawImageAndText(bc, Index, txt);
  }
  C->Draw(R.left, R.top, b.get());
}

void TkxListBox::SkinDrawItem(TCanvas* C, int32_t Index, const TRect& R, TOwnerDrawState State) {
  TkxSkinCustomListBox* o = SkinListBox;
  if (!o->Picture) return;
  const bool focused = State.Contains(odFocused), selected = State.Contains(odSelected);
  const int32_t w = RectWidth(R), h = RectHeight(o->SItemRect);
  if (w <= 0 || h <= 0) return;
  auto b = NewSkinImage(w, h);
  const int32_t lo = o->ItemLeftOffset, ro = o->ItemRightOffset;
  if (focused && !selected) {
    BuildHorzThreePartImage(lo, ro, b.get(), o->Picture, o->SItemRect, w, h, o->StretchEffect);
    DrawSkinFocusRect(b->Canvas(), TRect{0, 0, w, h});
  } else if (focused) {
    BuildHorzThreePartImage(lo, ro, b.get(), o->Picture, o->FocusItemRect, w, h, o->StretchEffect);
  } else if (selected) {
    BuildHorzThreePartImage(lo, ro, b.get(), o->Picture, o->ActiveItemRect, w, h, o->StretchEffect);
  } else {
    BuildHorzThreePartImage(lo, ro, b.get(), o->Picture, o->SItemRect, w, h, false);
  }
  TRect txt = o->ItemTextRect;
  txt.right += w - RectWidth(o->SItemRect);
  TCanvas* bc = b->Canvas();
  ItemFont(bc->Font());
  bc->Font()->SetColor(selected && focused ? o->FocusFontColor : selected ? o->ActiveFontColor : o->FontColor);
  bc->Brush()->SetStyle(bsClear);
  if (o->OnDrawItem) {
    o->OnDrawItem(bc, Index, w, h, txt, State);
  } else {
    if (focused && o->ShowFocus) {
      TkxSkinColors* sc = o->SkinData() ? o->SkinData()->SkinColors() : nullptr;
      bc->Brush()->SetStyle(bsSolid);
      bc->Brush()->SetColor(sc ? sc->cBtnFace() : kxPlain.Face);
      DrawSkinFocusRect(bc, TRect{0, 0, w, h});
      bc->Brush()->SetStyle(bsClear);
    }
    DrawImageAndText(bc, Index, txt);
  }
  C->Draw(R.left, R.top, b.get());
}

// ---- TkxSkinCustomListBox -------------------------------------------------------------------------

TkxSkinCustomListBox::TkxSkinCustomListBox(TComponent* AOwner)
    : TkxSkinCustomControl(AOwner), FTabWidths(std::make_unique<TStringList>()),
      FGlyph(std::make_unique<TBitmap>()), FDefaultCaptionFont(std::make_unique<TFont>()) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks,
                                csReplicatable};
  FForceBackground = true;
  FDrawbackground = false;
  FSkinDataName = "listbox";
  FDefaultCaptionFont->SetName("Arial");
  FDefaultCaptionFont->SetHeight(14);
  FDefaultCaptionFont->OnChange = [this](TObject* S) { DefaultCaptionFontChange(S); };
  Font()->Assign(FDefaultFont.get());
  Font()->SetColor(clWindowText);
  FTabWidths->OnChange = [this](TObject*) {
    if (ListBox && FTabWidths->Count() > 0) ListBox->Invalidate();
  };
  ListBox = new TkxListBox(this);
  ListBox->SkinListBox = this;
  ListBox->SetStyle(lbOwnerDrawFixed);
  ListBox->SetItemHeight(FDefaultItemHeight);
  ListBox->SetParent(this);
  ListBox->SetVisible(true);
  SetBounds(Left(), Top(), 120, 120);
}

TkxSkinCustomListBox::~TkxSkinCustomListBox() {
  StopTimer();
  FDefaultCaptionFont->OnChange = nullptr;
  FTabWidths->OnChange = nullptr;
  // The parts go while this is still a list box, so nothing calls back into a half-gone owner.
  if (ListBox) ListBox->SkinListBox = nullptr;
  delete ScrollBar;
  ScrollBar = nullptr;
  delete HScrollBar;
  HScrollBar = nullptr;
  delete ListBox;
  ListBox = nullptr;
}

void TkxSkinCustomListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TkxSkinCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == ScrollBar) ScrollBar = nullptr;
  if (AComponent == HScrollBar) HScrollBar = nullptr;
  if (AComponent == ListBox) ListBox = nullptr;
}

void TkxSkinCustomListBox::CreateParams(TCreateParams& Params) {
  TkxSkinCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

// ---- properties ---------------------------------------------------------------------------------

void TkxSkinCustomListBox::SetShowCaptionButtons(bool Value) {
  if (FShowCaptionButtons == Value) return;
  FShowCaptionButtons = Value;
  Invalidate();
}

void TkxSkinCustomListBox::SetTabWidths(TStrings* Value) { FTabWidths->Assign(Value); }

void TkxSkinCustomListBox::SetHorizontalExtent(bool Value) {
  FHorizontalExtent = Value;
  UpDateScrollBar();
}

void TkxSkinCustomListBox::SetRowCount(int32_t Value) {
  FRowCount = std::max(0, Value);
  if (FRowCount != 0) SetHeight(CalcHeight(FRowCount));
  UpDateScrollBar();
}

void TkxSkinCustomListBox::SetGlyph(TBitmap* Value) {
  if (Value)
    FGlyph->Assign(Value);
  else
    FGlyph = std::make_unique<TBitmap>();
  Invalidate();
}

void TkxSkinCustomListBox::SetNumGlyphs(int32_t Value) {
  FNumGlyphs = std::clamp(Value, 1, 2);
  Invalidate();
}

void TkxSkinCustomListBox::SetSpacing(int32_t Value) {
  FSpacing = Value;
  Invalidate();
}

void TkxSkinCustomListBox::SetImages(TCustomImageList* Value) {
  FImages.Set(Value);
  ListBox->Invalidate();
}

void TkxSkinCustomListBox::SetImageIndex(int32_t Value) {
  FImageIndex = Value;
  ListBox->Invalidate();
}

void TkxSkinCustomListBox::SetDefaultItemHeight(int32_t Value) {
  FDefaultItemHeight = Value;
  if (FIndex == -1 || !FUseSkinItemHeight) ListBox->SetItemHeight(Value);
}

void TkxSkinCustomListBox::SetDefaultCaptionHeight(int32_t Value) {
  FDefaultCaptionHeight = Value;
  if (FIndex == -1 && FCaptionMode) {
    CalcRects();
    Invalidate();
  }
}

void TkxSkinCustomListBox::DefaultCaptionFontChange(TObject*) {
  if (FIndex == -1 && FCaptionMode) Invalidate();
}

void TkxSkinCustomListBox::SetCaptionMode(bool Value) {
  FCaptionMode = Value;
  if (FIndex == -1) {
    CalcRects();
    Invalidate();
  }
}

void TkxSkinCustomListBox::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  if (FCaptionMode) Invalidate();
}

void TkxSkinCustomListBox::SetItems(TStrings* Value) {
  ListBox->Items()->Assign(Value);
  UpDateScrollBar();
}

void TkxSkinCustomListBox::SetSorted(bool Value) {
  if (ScrollBar) RemoveScrollBar();
  ListBox->SetSorted(Value);
}

void TkxSkinCustomListBox::SetColumns(int32_t Value) {
  ListBox->SetColumns(Value);
  UpDateScrollBar();
}

void TkxSkinCustomListBox::Clear() {
  ListBox->Clear();
  UpDateScrollBar();
}

int32_t TkxSkinCustomListBox::CalcHeight(int32_t AItemsCount) {
  int32_t h;
  if (FIndex == -1) {
    h = AItemsCount * ListBox->ItemHeight() + 4;
    if (FCaptionMode) h += FDefaultCaptionHeight;
  } else {
    h = RectHeight(SkinRect) + AItemsCount * ListBox->ItemHeight() + ClRect.top - ClRect.bottom;
  }
  if (HScrollBar) h += HScrollBar->Height();
  return h;
}

// ---- virtual operations -------------------------------------------------------------------------

int32_t TkxSkinCustomListBox::GetItemWidth(int32_t Index, TCanvas* C) { return C->TextWidth(Items()->Get(Index)); }

void TkxSkinCustomListBox::ListBoxMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnListBoxMouseDown) OnListBoxMouseDown(this, Button, Shift, X, Y);
}
void TkxSkinCustomListBox::ListBoxMouseMove(TShiftState Shift, int X, int Y) {
  if (OnListBoxMouseMove) OnListBoxMouseMove(this, Shift, X, Y);
}
void TkxSkinCustomListBox::ListBoxMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnListBoxMouseUp) OnListBoxMouseUp(this, Button, Shift, X, Y);
}
void TkxSkinCustomListBox::ListBoxClick() {
  if (OnListBoxClick) OnListBoxClick(this);
}
void TkxSkinCustomListBox::ListBoxDblClick() {
  if (OnListBoxDblClick) OnListBoxDblClick(this);
}
void TkxSkinCustomListBox::ListBoxKeyDown(WORD& Key, TShiftState Shift) {
  if (OnListBoxKeyDown) OnListBoxKeyDown(this, Key, Shift);
}
void TkxSkinCustomListBox::ListBoxKeyUp(WORD& Key, TShiftState Shift) {
  if (OnListBoxKeyUp) OnListBoxKeyUp(this, Key, Shift);
}
void TkxSkinCustomListBox::ListBoxKeyPress(uint32_t& Key) {
  if (OnListBoxKeyPress) OnListBoxKeyPress(this, Key);
}

// ---- skin ---------------------------------------------------------------------------------------

void TkxSkinCustomListBox::GetSkinData() {
  TkxSkinCustomControl::GetSkinData();
  if (FIndex == -1) return;
  auto* r = SkinRecord<TkxDataSkinListBox>();
  if (!r) return;
  SItemRect = r->SItemRect;
  ActiveItemRect = IsEmptyRect(r->ActiveItemRect) ? r->SItemRect : r->ActiveItemRect;
  FocusItemRect = IsEmptyRect(r->FocusItemRect) ? r->SItemRect : r->FocusItemRect;
  ItemLeftOffset = r->ItemLeftOffset;
  ItemRightOffset = r->ItemRightOffset;
  ItemTextRect = r->ItemTextRect;
  FontName = r->FontName;
  FontStyle = r->FontStyle;
  FontHeight = r->FontHeight;
  FontColor = r->FontColor;
  ActiveFontColor = r->ActiveFontColor;
  FocusFontColor = r->FocusFontColor;
  CaptionRect = r->CaptionRect;
  CaptionFontName = r->CaptionFontName;
  CaptionFontStyle = r->CaptionFontStyle;
  CaptionFontHeight = r->CaptionFontHeight;
  CaptionFontColor = r->CaptionFontColor;
  ReadArrowButtons(*r);
  CheckButtonRect = r->CheckButtonRect;
  ActiveCheckButtonRect = r->ActiveCheckButtonRect;
  DownCheckButtonRect = IsEmptyRect(r->DownCheckButtonRect) ? r->ActiveCheckButtonRect : r->DownCheckButtonRect;
  if (!r->VScrollBarName.empty()) VScrollBarName = r->VScrollBarName;
  if (!r->HScrollBarName.empty()) HScrollBarName = r->HScrollBarName;
  if (!r->BothScrollBarName.empty()) BothScrollBarName = r->BothScrollBarName;
  ShowFocus = r->ShowFocus;
  ButtonsArea = r->ButtonsArea;
  DisabledButtonsRect = r->DisabledButtonsRect;
}

void TkxSkinCustomListBox::DefaultFontChanged() {
  if (FIndex == -1) Font()->Assign(FDefaultFont.get());
}

void TkxSkinCustomListBox::NameBars() {
  if (ScrollBar) {
    ScrollBar->SetSkinDataName(FIndex == -1 ? "" : Columns() < 1 ? VScrollBarName : HScrollBarName);
    ScrollBar->SetSkinData(SkinData());
  }
  if (HScrollBar) {
    if (FIndex == -1) {
      HScrollBar->SetSkinDataName("");
      HScrollBar->SetBothFlag(ScrollBar != nullptr);
      HScrollBar->SetBothMarkerWidth(19);
    } else if (ScrollBar) {
      HScrollBar->SetSkinDataName(BothScrollBarName);
      HScrollBar->SetBothSkinDataName(BothScrollBarName);
      HScrollBar->SetBothFlag(true);
    } else {
      HScrollBar->SetSkinDataName(HScrollBarName);
      HScrollBar->SetBothSkinDataName(HScrollBarName);
      HScrollBar->SetBothFlag(false);
    }
    HScrollBar->SetSkinData(SkinData());
    HScrollBar->Invalidate();
  }
}

void TkxSkinCustomListBox::ChangeSkinData() {
  TkxSkinCustomControl::ChangeSkinData();
  FStopUpDateHScrollBar = true;
  if (FIndex == -1) {
    ListBox->SetItemHeight(FDefaultItemHeight);
    ListBox->SetFont(FDefaultFont.get());
  } else if (FUseSkinItemHeight && RectHeight(SItemRect) > 0) {
    ListBox->SetItemHeight(RectHeight(SItemRect));
  } else if (!FUseSkinItemHeight) {
    ListBox->SetItemHeight(FDefaultItemHeight);
  }
  NameBars();
  if (FRowCount != 0) SetHeight(CalcHeight(FRowCount));
  CalcRects();
  FStopUpDateHScrollBar = false;
  UpDateScrollBar();
  ListBox->Invalidate();
}

void TkxSkinCustomListBox::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  TkxSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FIndex == -1) Invalidate();
}

// ---- layout -------------------------------------------------------------------------------------

void TkxSkinCustomListBox::CalcRects() {
  if (!ListBox) return;
  const int32_t W = Width(), H = Height();
  const bool skin = FIndex != -1;
  const int32_t c = !skin && FCaptionMode ? FDefaultCaptionHeight : 1;
  if (skin) {
    NewClRect = ClRect;
    NewClRect.right += W - RectWidth(SkinRect);
    NewClRect.bottom += H - RectHeight(SkinRect);
  }
  int32_t h = 0;
  if (Columns() == 0 && HScrollBar && HScrollBar->Visible()) {
    if (!skin) {
      HScrollBar->SetBounds(1, H - 20, W - 2, 19);
      h = HScrollBar->Height() - 1;
    } else {
      const int32_t bh = HScrollBar->Height();
      HScrollBar->SetBounds(NewClRect.left, NewClRect.bottom - bh, RectWidth(NewClRect), bh);
      h = HScrollBar->Height();
    }
  }
  if (ScrollBar && ScrollBar->Visible()) {
    const bool vertical = Columns() <= 0;
    if (!skin && vertical) {
      ScrollBar->SetBounds(W - 20, c, 19, H - c - h - 1);
      ListRect = TRect{2, c + 1, ScrollBar->Left(), H - h - 2};
    } else if (!skin) {
      ScrollBar->SetBounds(1, H - 20, W - 2, 19);
      ListRect = TRect{2, c + 1, W - 2, ScrollBar->Top()};
    } else if (vertical) {
      const int32_t bw = ScrollBar->Width();
      ScrollBar->SetBounds(NewClRect.right - bw, NewClRect.top, bw, RectHeight(NewClRect) - h);
      ListRect = TRect{NewClRect.left, NewClRect.top, NewClRect.right - ScrollBar->Width(), NewClRect.bottom - h};
    } else {
      const int32_t bh = ScrollBar->Height();
      ScrollBar->SetBounds(NewClRect.left, NewClRect.bottom - bh, RectWidth(NewClRect), bh);
      ListRect = TRect{NewClRect.left, NewClRect.top, NewClRect.right, NewClRect.bottom - ScrollBar->Height()};
    }
  } else if (!skin) {
    ListRect = TRect{2, c + 1, W - 2, H - 2 - h};
  } else {
    ListRect = TRect{NewClRect.left, NewClRect.top, NewClRect.right, NewClRect.bottom - h};
  }
  ListBox->SetBounds(ListRect.left, ListRect.top, std::max(0, RectWidth(ListRect)), std::max(0, RectHeight(ListRect)));
}

// ---- scroll bars --------------------------------------------------------------------------------

void TkxSkinCustomListBox::MakeScrollBar() {
  auto* b = new TkxSkinScrollBar(this);
  ScrollBar = b;
  b->SetKind(Columns() <= 0 ? sbVertical : sbHorizontal);
  b->SetBounds(0, 0, 20, 100);
  b->SetPageSize(0);
  b->SetMin(0);
  b->SetPosition(0);
  b->OnChange = [this](TObject* S) { ScrollBarChange(S); };
  NameBars();
  b->SetParent(this);
  CalcRects();
  b->SetVisible(true);
  CalcRects();
  Invalidate();
}

void TkxSkinCustomListBox::MakeHScrollBar() {
  auto* b = new TkxSkinScrollBar(this);
  HScrollBar = b;
  b->SetKind(sbHorizontal);
  b->SetBounds(0, 0, 100, 20);
  b->SetPageSize(0);
  b->SetMin(0);
  b->SetPosition(0);
  b->OnChange = [this](TObject* S) { HScrollBarChange(S); };
  NameBars();
  b->SetParent(this);
  b->SetVisible(true);
  CalcRects();
  Invalidate();
}

void TkxSkinCustomListBox::RemoveScrollBar() {
  TkxSkinScrollBar* b = ScrollBar;
  ScrollBar = nullptr;
  b->SetVisible(false);
  delete b;
  NameBars();
  CalcRects();
}

void TkxSkinCustomListBox::RemoveHScrollBar() {
  ListBox->FHorizontalExtentValue = 0;
  TkxSkinScrollBar* b = HScrollBar;
  HScrollBar = nullptr;
  b->SetVisible(false);
  delete b;
  CalcRects();
  ListBox->Invalidate();
}

void TkxSkinCustomListBox::ScrollBarChange(TObject*) {
  if (!ScrollBar || !ListBox->HandleAllocated()) return;
  const int32_t pos = ScrollBar->Position();
  const int bar = Columns() <= 0 ? SB_VERT : SB_HORZ;
  // The message carries 16 bits; the scroll info holds the whole position for longer lists.
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(ListBox->Handle(), bar, &si, FALSE);
  SendMessage(ListBox->Handle(), Columns() <= 0 ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, WORD(pos)), 0);
}

void TkxSkinCustomListBox::HScrollBarChange(TObject*) {
  if (!HScrollBar) return;
  ListBox->FHorizontalExtentValue = HScrollBar->Position();
  ListBox->Invalidate();
}

void TkxSkinCustomListBox::UpDateScrollBar() {
  if (!ListBox || FInUpdate || ComponentState().Contains(csDestroying)) return;
  if (!ListBox->HandleAllocated()) return;
  FInUpdate = true;
  try {
    const int32_t n = ListBox->Count();
    const int32_t ih = std::max(1, ListBox->ItemHeight());
    if (Columns() < 1) {
      // The horizontal bar for items wider than the list.
      if (!FHorizontalExtent || FStopUpDateHScrollBar) {
        if (HScrollBar && !FStopUpDateHScrollBar) RemoveHScrollBar();
      } else {
        TCanvas* c = ListBox->Canvas();
        if (FIndex != -1 && UseSkinFont()) {
          c->Font()->SetName(FontName);
          c->Font()->SetStyle(FontStyle);
          c->Font()->SetHeight(FontHeight);
        } else {
          c->Font()->Assign(ListBox->Font());
        }
        int32_t w = 0;
        for (int32_t i = 0; i < n; ++i) w = std::max(w, GetItemWidth(i, c));
        int32_t page = FIndex == -1 ? ListBox->Width() - 4
                                    : ListBox->Width() + RectWidth(ItemTextRect) - RectWidth(SItemRect);
        if (FImages) page -= FImages->Width() + 4;
        if (page < w) {
          if (!HScrollBar) MakeHScrollBar();
          HScrollBar->SetRange(0, w, HScrollBar->Position(), std::max(page, 0));
          const int32_t step = std::max(1, c->TextWidth("0"));
          HScrollBar->SetSmallChange(step);
          HScrollBar->SetLargeChange(step);
          ListBox->FHorizontalExtentValue = HScrollBar->Position();
        } else if (HScrollBar) {
          RemoveHScrollBar();
        }
      }
      if (FRowCount < 1 || FRowCount != n) {
        int mn = 0, mx = 0;
        GetScrollRange(ListBox->Handle(), SB_VERT, &mn, &mx);
        const int pos = GetScrollPos(ListBox->Handle(), SB_VERT);
        const int32_t page = ListBox->Height() / ih;
        if (mn < mx && pos <= mx && page < n) {
          if (!ScrollBar) MakeScrollBar();
          ScrollBar->SetRange(mn, mx, pos, page);
          ScrollBar->SetLargeChange(std::max(1, page));
          FInUpdate = false;
          return;
        }
      }
    } else {
      int mn = 0, mx = 0;
      GetScrollRange(ListBox->Handle(), SB_HORZ, &mn, &mx);
      const int pos = GetScrollPos(ListBox->Handle(), SB_HORZ);
      if (mn < mx && pos <= mx && Columns() <= mx && (ListBox->Height() / ih) * Columns() < n) {
        if (!ScrollBar) MakeScrollBar();
        ScrollBar->SetRange(mn, mx, pos, Columns());
        FInUpdate = false;
        return;
      }
    }
    if (ScrollBar) RemoveScrollBar();
  } catch (...) {
    FInUpdate = false;
    throw;
  }
  FInUpdate = false;
}

// ---- painting -----------------------------------------------------------------------------------

void TkxSkinCustomListBox::DrawCaption(TCanvas* C, const TRect& R, bool Skin) {
  const std::string text = Caption();
  const bool glyph = !FGlyph->Empty();
  const int32_t ng = std::max(1, FNumGlyphs);
  int32_t w = C->TextWidth(text);
  if (glyph) w += FGlyph->Width() / ng + FSpacing;
  const int32_t pad = Skin ? 2 : 0;
  int32_t x = R.left + pad;
  if (FAlignment == taRightJustify)
    x = R.right - w - pad;
  else if (FAlignment == taCenter)
    x = R.left + pad + RectWidth(R) / 2 - w / 2;
  const int32_t th = C->TextHeight(text.empty() ? "0" : text);
  const int32_t y = Skin ? R.top + RectHeight(R) / 2 - th / 2 : (FDefaultCaptionHeight - 2) / 2 - th / 2;
  if (glyph) {
    const int32_t gy = R.top + RectHeight(R) / 2 - FGlyph->Height() / 2 - (Skin ? 0 : 1);
    DrawGlyphFromStrip(C, x, gy, FGlyph.get(), ng, !Enabled() && ng == 2 ? 2 : 1);
    x += FGlyph->Width() / ng + FSpacing;
  }
  C->Brush()->SetStyle(bsClear);
  C->TextRect(R, x, y, text);
}

void TkxSkinCustomListBox::CreateControlDefaultImage(TBitmap* B) {
  TkxSkinCustomControl::CreateControlDefaultImage(B);
  TCanvas* c = B->Canvas();
  const int32_t W = Width();
  if (FCaptionMode && FShowCaptionButtons) {
    const int32_t a = std::min(17, FDefaultCaptionHeight - 3);
    Buttons[0].R = TRect{W - a - 2, 2, W - 2, a + 1};
    Buttons[1].R = TRect{Buttons[0].R.left - a, 2, Buttons[0].R.left, a + 1};
    Buttons[2].R = TRect{Buttons[1].R.left - a, 2, Buttons[1].R.left, a + 1};
  } else {
    for (auto& b : Buttons) b.R = TRect{};
  }
  TRect fr{0, 0, W, Height()};
  DrawPlainEdge(c, fr, TkxPlainEdge::Flat);
  if (!FCaptionMode) return;
  const int32_t a = std::min(17, FDefaultCaptionHeight - 3);
  const TRect tr = FShowCaptionButtons ? TRect{3, 2, W - 3 * a - 3, FDefaultCaptionHeight - 2}
                                       : TRect{3, 2, W - 2, FDefaultCaptionHeight - 2};
  c->Font()->Assign(FDefaultCaptionFont.get());
  c->Font()->SetCharset(SkinCharset(FDefaultCaptionFont.get()));
  DrawCaption(c, tr, false);
  c->Pen()->SetColor(kxPlain.Shadow);
  c->MoveTo(1, FDefaultCaptionHeight - 1);
  c->LineTo(W - 1, FDefaultCaptionHeight - 1);
  if (FShowCaptionButtons)
    for (int32_t i = 0; i < 3; ++i) DrawButton(c, i);
}

void TkxSkinCustomListBox::CreateControlSkinImage(TBitmap* B) {
  TkxSkinCustomControl::CreateControlSkinImage(B);
  TCanvas* c = B->Canvas();
  const int32_t DX = Width() - RectWidth(SkinRect), DY = Height() - RectHeight(SkinRect);
  if (!FShowCaptionButtons && !IsEmptyRect(UpButtonRect)) {
    if (IsEmptyRect(DisabledButtonsRect)) {
      const TRect band{NewLTPoint.x, 0, NewRTPoint.x, NewClRect.top - 1};
      const TRect over{NewLTPoint.x, 0, UpButtonRect.right + DX, NewClRect.top - 1};
      if (!IsEmptyRect(band) && !IsEmptyRect(over)) {
        auto copy = NewSkinImage(RectWidth(band), RectHeight(band));
        copy->Canvas()->CopyRect(TRect{0, 0, copy->Width(), copy->Height()}, c, band);
        c->StretchDraw(over, copy.get());
      }
    } else {
      c->CopyRect(Moved(ButtonsArea, DX, 0), Picture->Canvas(), DisabledButtonsRect);
    }
  }
  NewClRect = ClRect;
  NewClRect.right += DX;
  NewClRect.bottom += DY;
  // A caption is drawn only in caption mode.
  if (!FCaptionMode) {
    for (auto& b : Buttons) b.R = TRect{};
    return;
  }
  NewCaptionRect = CaptionRect;
  if (FShowCaptionButtons) {
    if (CaptionRect.right >= RTPt.x) NewCaptionRect.right += DX;
    const TRect* src[3] = {&UpButtonRect, &DownButtonRect, &CheckButtonRect};
    for (int32_t i = 0; i < 3; ++i) {
      TRect r = *src[i];
      int32_t edge = RTPt.x;
      if (r.top > LTPt.y) {
        r = Moved(r, 0, DY);
        edge = RBPt.x;
      }
      if (edge < r.left) r = Moved(r, DX, 0);
      Buttons[i].R = r;
    }
  } else {
    NewCaptionRect.right = Width() - CaptionRect.left;
    for (auto& b : Buttons) b.R = TRect{};
  }
  if (!IsEmptyRect(CaptionRect)) {
    c->Font()->SetName(CaptionFontName);
    c->Font()->SetHeight(CaptionFontHeight);
    c->Font()->SetColor(CaptionFontColor);
    c->Font()->SetStyle(CaptionFontStyle);
    c->Font()->SetCharset(SkinCharset(FDefaultCaptionFont.get()));
    DrawCaption(c, NewCaptionRect, true);
  }
  if (FShowCaptionButtons)
    for (int32_t i = 0; i < 3; ++i) DrawButton(c, i);
}

void TkxSkinCustomListBox::DrawButton(TCanvas* C, int32_t I) {
  const TkxCBButtonX& b = Buttons[I];
  if (IsEmptyRect(b.R)) return;
  if (FIndex == -1) {
    // Framed only under the mouse.
    DrawPlainButtonFace(C, b.R, PlainStateOf(b.MouseIn && b.Down, b.MouseIn), b.MouseIn);
    if (I == 0)
      DrawArrowImage(C, b.R, kxPlain.Mark, kxakUp);
    else if (I == 1)
      DrawArrowImage(C, b.R, kxPlain.Mark, kxakDown);
    else
      DrawCheckMark(C, b.R.left + 4, b.R.top + 4, kxPlain.Mark);
    return;
  }
  if (!Picture) return;
  const TRect* normal[3] = {&UpButtonRect, &DownButtonRect, &CheckButtonRect};
  const TRect* hot[3] = {&ActiveUpButtonRect, &ActiveDownButtonRect, &ActiveCheckButtonRect};
  const TRect* down[3] = {&DownUpButtonRect, &DownDownButtonRect, &DownCheckButtonRect};
  TRect src = b.MouseIn && b.Down ? *down[I] : b.MouseIn ? *hot[I] : TRect{};
  if (IsEmptyRect(src)) src = Moved(*normal[I], SkinRect.left, SkinRect.top);
  C->CopyRect(b.R, Picture->Canvas(), src);
}

void TkxSkinCustomListBox::RedrawButtons() { Invalidate(); }

// ---- caption buttons ----------------------------------------------------------------------------

bool TkxSkinCustomListBox::CaptionButtonsWork() const {
  if (!FCaptionMode || !FShowCaptionButtons) return false;
  if (FIndex != -1 && IsEmptyRect(UpButtonRect) && IsEmptyRect(DownButtonRect)) return false;
  return true;
}

void TkxSkinCustomListBox::StartTimer(uint32_t Ms) {
  SetTimer(Handle(), kButtonTimer, Ms, nullptr);
  FTimerOn = true;
}

void TkxSkinCustomListBox::StopTimer() {
  if (FTimerOn && HandleAllocated()) KillTimer(Handle(), kButtonTimer);
  FTimerOn = false;
}

void TkxSkinCustomListBox::TestActive(int X, int Y) {
  if (!CaptionButtonsWork()) return;
  int32_t hit = -1;
  for (int32_t i = 0; i < 3; ++i) {
    const TRect& r = Buttons[i].R;
    if (!IsEmptyRect(r) && X >= r.left && X < r.right && Y >= r.top && Y < r.bottom) {
      hit = i;
      break;
    }
  }
  if (CaptureButton != -1 && hit != CaptureButton) hit = -1;
  OldActiveButton = ActiveButton;
  ActiveButton = hit;
  if (OldActiveButton == ActiveButton) return;
  if (OldActiveButton >= 0) {
    Buttons[OldActiveButton].MouseIn = false;
    if (FTimerOn && Buttons[OldActiveButton].Down) StopTimer();
  }
  if (ActiveButton >= 0) {
    Buttons[ActiveButton].MouseIn = true;
    if (TimerMode != 0 && Buttons[ActiveButton].Down) StartTimer(kBackOnButtonDelay);
  }
  RedrawButtons();
}

void TkxSkinCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (CaptionButtonsWork() && Button == mbLeft) {
    TestActive(X, Y);
    if (ActiveButton != -1) {
      CaptureButton = ActiveButton;
      Buttons[CaptureButton].MouseIn = true;
      Buttons[CaptureButton].Down = true;
      RedrawButtons();
      const TNotifyEvent* ev[3] = {&OnUpButtonClick, &OnDownButtonClick, &OnCheckButtonClick};
      if (!*ev[CaptureButton] && CaptureButton != 2) {
        TimerMode = CaptureButton == 0 ? 1 : 2;
        WaitMode = true;
        StartTimer(kFirstDelay);
      }
    }
  }
  TkxSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TkxSkinCustomListBox::MouseMove(TShiftState Shift, int X, int Y) {
  TkxSkinCustomControl::MouseMove(Shift, X, Y);
  TestActive(X, Y);
}

void TkxSkinCustomListBox::ButtonDefaultStep(int32_t I) {
  const int32_t i = ItemIndex(), n = ListBox->Count();
  if (I == 0 && i > 0)
    SetItemIndex(i - 1);
  else if (I == 1 && i < n - 1)
    SetItemIndex(i + 1);
  else if (I == 2)
    ListBox->Click();
}

void TkxSkinCustomListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (CaptureButton != -1) {
    const int32_t b = CaptureButton;
    Buttons[b].Down = false;
    if (ActiveButton != b) Buttons[b].MouseIn = false;
    RedrawButtons();
    const TNotifyEvent* ev[3] = {&OnUpButtonClick, &OnDownButtonClick, &OnCheckButtonClick};
    StopTimer();
    TimerMode = 0;
    CaptureButton = -1;
    if (Buttons[b].MouseIn && *ev[b]) {
      (*ev[b])(this);
    } else {
      ButtonDefaultStep(b);
    }
  }
  TkxSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TkxSkinCustomListBox::TimerTick() {
  if (WaitMode) {
    WaitMode = false;
    StartTimer(kRepeatDelay);
    return;
  }
  const int32_t i = ItemIndex(), n = ListBox->Count();
  if (TimerMode == 1 && i >= 1)
    SetItemIndex(i - 1);
  else if (TimerMode == 2 && i < n - 1)
    SetItemIndex(i + 1);
}

void TkxSkinCustomListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE:
      TkxSkinCustomControl::Dispatch(Message);
      CalcRects();
      UpDateScrollBar();
      if (ScrollBar) ScrollBar->Invalidate();
      return;
    case WM_TIMER:
      TkxSkinCustomControl::Dispatch(Message);
      if (Message.WParam == kButtonTimer) TimerTick();
      return;
    case CM_TEXTCHANGED:
      TkxSkinCustomControl::Dispatch(Message);
      if (FCaptionMode) Invalidate();
      return;
    case CM_MOUSEENTER:
      TkxSkinCustomControl::Dispatch(Message);
      TestActive(-1, -1);
      return;
    case CM_MOUSELEAVE: {
      TkxSkinCustomControl::Dispatch(Message);
      bool any = false;
      for (auto& b : Buttons)
        if (b.MouseIn) b.MouseIn = false, any = true;
      if (CaptureButton == -1) ActiveButton = -1;
      if (any) Invalidate();
      return;
    }
    default: TkxSkinCustomControl::Dispatch(Message); return;
  }
}

// ---- streaming ----------------------------------------------------------------------------------

void RegisterSkinListBoxFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxSkinCustomListBox, TkxSkinCustomControl>("TkxSkinCustomListBox");
  RegisterFormClass<TkxSkinListBox, TkxSkinCustomListBox>("TkxSkinListBox")
      .Boolean("ShowCaptionButtons", &TkxSkinListBox::SetShowCaptionButtons)
      .Boolean("CaptionMode", &TkxSkinListBox::SetCaptionMode)
      .Enum<TAlignment>("Alignment", &TkxSkinListBox::SetAlignment,
                        {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}})
      .Integer("DefaultCaptionHeight", &TkxSkinListBox::SetDefaultCaptionHeight)
      .Object("DefaultCaptionFont", &TkxSkinListBox::DefaultCaptionFont)
      .Object("Glyph", &TkxSkinListBox::Glyph)
      .Integer("NumGlyphs", &TkxSkinListBox::SetNumGlyphs)
      .Integer("Spacing", &TkxSkinListBox::SetSpacing)
      .Boolean("UseSkinItemHeight", &TkxSkinListBox::SetUseSkinItemHeight)
      .Integer("DefaultItemHeight", &TkxSkinListBox::SetDefaultItemHeight)
      .Integer("RowCount", &TkxSkinListBox::SetRowCount)
      .Boolean("HorizontalExtent", &TkxSkinListBox::SetHorizontalExtent)
      .Integer("Columns", &TkxSkinListBox::SetColumns)
      .Strings("TabWidths", &TkxSkinListBox::TabWidths)
      .Reference<TCustomImageList>("Images", &TkxSkinListBox::SetImages)
      .Integer("ImageIndex", &TkxSkinListBox::SetImageIndex)
      .Strings("Items", &TkxSkinListBox::Items)
      .Integer("ItemIndex", &TkxSkinListBox::SetItemIndex)
      .Boolean("Sorted", &TkxSkinListBox::SetSorted)
      .Boolean("MultiSelect", &TkxSkinListBox::SetMultiSelect)
      .Boolean("ExtandedSelect", &TkxSkinListBox::SetExtandedSelect)
      .Boolean("AutoComplete", &TkxSkinListBox::SetAutoComplete)
      .Object("ListBoxFont", &TkxSkinListBox::ListBoxFont)
      .Integer("ListBoxTabOrder", &TkxSkinListBox::SetListBoxTabOrder)
      .Boolean("ListBoxTabStop", &TkxSkinListBox::SetListBoxTabStop)
      .Event<TNotifyEvent>("OnUpButtonClick", &TkxSkinListBox::OnUpButtonClick)
      .Event<TNotifyEvent>("OnDownButtonClick", &TkxSkinListBox::OnDownButtonClick)
      .Event<TNotifyEvent>("OnCheckButtonClick", &TkxSkinListBox::OnCheckButtonClick)
      .Event<TNotifyEvent>("OnListBoxClick", &TkxSkinListBox::OnListBoxClick)
      .Event<TNotifyEvent>("OnListBoxDblClick", &TkxSkinListBox::OnListBoxDblClick);
}
