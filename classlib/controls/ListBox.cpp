// TCustomListBox and its items over the standard list box window.
#include "classlib/ListBoxes.h"

#include <algorithm>

#include "base/Exception.h"
#include "base/Format.h"

using namespace win;

namespace {

WNDPROC ListBoxClassProc() {
  InitStandardControls();
  WNDCLASS wc;
  GetClassInfo(nullptr, "LISTBOX", &wc);
  return wc.lpfnWndProc;
}

[[noreturn]] void ListIndexError(int32_t Index) {
  throw EListError(Format("List index out of bounds (%d)", Index));
}

}  // namespace

// ---- TListBoxStrings --------------------------------------------------------------------------

HWND TListBoxStrings::Window() const { return FListBox->Handle(); }

int32_t TListBoxStrings::Count() const { return int32_t(SendMessage(Window(), LB_GETCOUNT, 0, 0)); }

std::string TListBoxStrings::Get(int32_t Index) const {
  LRESULT len = SendMessage(Window(), LB_GETTEXTLEN, WPARAM(Index), 0);
  if (len == LB_ERR) IndexError(Index);
  std::string buf(size_t(len) + 1, '\0');
  LRESULT n = SendMessage(Window(), LB_GETTEXT, WPARAM(Index), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(size_t(std::clamp<LRESULT>(n, 0, len)));
  return buf;
}

void TListBoxStrings::Put(int32_t Index, const std::string& S) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  int32_t sel = FListBox->ItemIndex();
  bool selected = FListBox->Selected(Index);
  TObject* obj = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, obj);
  if (FListBox->MultiSelect()) FListBox->SetSelected(Index, selected);
  else if (sel == Index) FListBox->SetItemIndex(Index);
}

TObject* TListBoxStrings::GetObject(int32_t Index) const {
  LRESULT r = SendMessage(Window(), LB_GETITEMDATA, WPARAM(Index), 0);
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return reinterpret_cast<TObject*>(r);
}

void TListBoxStrings::PutObject(int32_t Index, TObject* AObject) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  SendMessage(Window(), LB_SETITEMDATA, WPARAM(Index), reinterpret_cast<LPARAM>(AObject));
}

int32_t TListBoxStrings::AddObject(const std::string& S, TObject* AObject) {
  auto i = int32_t(SendMessage(Window(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S.c_str())));
  if (i >= 0 && AObject) SendMessage(Window(), LB_SETITEMDATA, WPARAM(i), reinterpret_cast<LPARAM>(AObject));
  return i;
}

void TListBoxStrings::Insert(int32_t Index, const std::string& S) {
  if (Index < 0 || Index > Count()) IndexError(Index);
  if (FListBox->Sorted()) throw EListError("Operation not allowed on sorted list");
  SendMessage(Window(), LB_INSERTSTRING, WPARAM(Index), reinterpret_cast<LPARAM>(S.c_str()));
}

void TListBoxStrings::Delete(int32_t Index) {
  if (SendMessage(Window(), LB_DELETESTRING, WPARAM(Index), 0) == LB_ERR) IndexError(Index);
}

void TListBoxStrings::Clear() { SendMessage(Window(), LB_RESETCONTENT, 0, 0); }

// ---- TCustomListBox ---------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TListBoxStrings>(this)),
      FCanvas(std::make_unique<TControlCanvas>(this)) {
  FControlStyle = TControlStyle{csSetCaption, csDoubleClicks, csOpaque};
  FWidth = 121;
  FHeight = 97;
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FBrush->SetColor(FColor);
}

TCustomListBox::~TCustomListBox() {
  // The window goes while this is still a list box, so the list's own state goes with it.
  DestroyWindowHandle();
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  // No bars of its own: the scroll info is kept all the same, for whoever shows it.
  Params.Style |= LBS_HASSTRINGS | LBS_NOTIFY;
  if (FSorted) Params.Style |= LBS_SORT;
  if (FMultiSelect) Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (FColumns > 0) Params.Style |= LBS_MULTICOLUMN;
  if (FStyle == lbOwnerDrawFixed) Params.Style |= LBS_OWNERDRAWFIXED;
  else if (FStyle == lbOwnerDrawVariable) Params.Style |= LBS_OWNERDRAWVARIABLE;
  if (!FIntegralHeight) Params.Style |= LBS_NOINTEGRALHEIGHT;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWindowHandle(const TCreateParams& Params) {
  FDefWndProc = ListBoxClassProc();
  TWinControl::CreateWindowHandle(Params);
}

void TCustomListBox::CreateWnd() {
  TWinControl::CreateWnd();
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
  if (FStyle != lbStandard) Perform(LB_SETITEMHEIGHT, 0, LPARAM(FItemHeight));
  ApplyColumns();
  if (FSaveItems) {
    std::unique_ptr<TStringList> saved = std::move(FSaveItems);
    for (int32_t i = 0; i < saved->Count(); ++i) FItems->AddObject(saved->Get(i), saved->GetObject(i));
    if (FMultiSelect)
      for (size_t i = 0; i < FSaveSelected.size() && int32_t(i) < Count(); ++i)
        if (FSaveSelected[i]) Perform(LB_SETSEL, 1, LPARAM(i));
    if (!FMultiSelect && FSaveItemIndex >= 0 && FSaveItemIndex < Count()) Perform(LB_SETCURSEL, WPARAM(FSaveItemIndex), 0);
    Perform(LB_SETTOPINDEX, WPARAM(std::clamp(FSaveTopIndex, 0, std::max(0, Count() - 1))), 0);
    FSaveSelected.clear();
  }
}

void TCustomListBox::DestroyWnd() {
  if (FHandle) {
    int32_t n = int32_t(Perform(LB_GETCOUNT, 0, 0));
    if (n > 0) {
      FSaveItems = std::make_unique<TStringList>();
      FSaveSelected.assign(size_t(n), false);
      for (int32_t i = 0; i < n; ++i) {
        FSaveItems->AddObject(FItems->Get(i), FItems->GetObject(i));
        FSaveSelected[size_t(i)] = Perform(LB_GETSEL, WPARAM(i), 0) > 0;
      }
      FSaveItemIndex = int32_t(Perform(LB_GETCURSEL, 0, 0));
      FSaveTopIndex = int32_t(Perform(LB_GETTOPINDEX, 0, 0));
    }
  }
  TWinControl::DestroyWnd();
}

void TCustomListBox::PaintWindow(HDC DC) {
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(m);
}

void TCustomListBox::CheckIndex(int32_t Index) {
  if (Index < 0 || Index >= Count()) ListIndexError(Index);
}

int32_t TCustomListBox::ItemIndex() {
  if (FMultiSelect) return int32_t(Perform(LB_GETCARETINDEX, 0, 0));
  return int32_t(SendMessage(Handle(), LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int32_t Value) {
  if (Value < -1 || Value >= Count()) ListIndexError(Value);
  if (FMultiSelect) {
    if (Value >= 0) Perform(LB_SETCARETINDEX, WPARAM(Value), 0);
    return;
  }
  SendMessage(Handle(), LB_SETCURSEL, WPARAM(Value), 0);
}

int32_t TCustomListBox::SelCount() {
  LRESULT n = SendMessage(Handle(), LB_GETSELCOUNT, 0, 0);
  if (n == LB_ERR) return ItemIndex() >= 0 ? 1 : 0;
  return int32_t(n);
}

bool TCustomListBox::Selected(int32_t Index) {
  CheckIndex(Index);
  return SendMessage(Handle(), LB_GETSEL, WPARAM(Index), 0) > 0;
}

void TCustomListBox::SetSelected(int32_t Index, bool Value) {
  CheckIndex(Index);
  if (FMultiSelect) SendMessage(Handle(), LB_SETSEL, Value ? 1 : 0, LPARAM(Index));
  else if (Value) SetItemIndex(Index);
  else if (ItemIndex() == Index) SetItemIndex(-1);
}

int32_t TCustomListBox::TopIndex() { return int32_t(SendMessage(Handle(), LB_GETTOPINDEX, 0, 0)); }

void TCustomListBox::SetTopIndex(int32_t Value) {
  if (Count() == 0 && Value == 0) return;
  CheckIndex(Value);
  SendMessage(Handle(), LB_SETTOPINDEX, WPARAM(Value), 0);
}

TRect TCustomListBox::ItemRect(int32_t Index) {
  RECT r{};
  int32_t n = Count();
  if (Index == 0 && n == 0) {
    // Where a first item would go.
    r.right = ClientWidth();
    r.bottom = ItemHeight();
    return r;
  }
  if (Index < 0 || Index > n) ListIndexError(Index);
  if (Index == n) {
    // Just past the last item: where the next one would go.
    SendMessage(Handle(), LB_GETITEMRECT, WPARAM(Index - 1), reinterpret_cast<LPARAM>(&r));
    int32_t h = r.bottom - r.top;
    r.top += h;
    r.bottom += h;
    return r;
  }
  SendMessage(Handle(), LB_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r));
  return r;
}

int32_t TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) {
  LRESULT r = SendMessage(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(WORD(SHORT(Pos.x)), WORD(SHORT(Pos.y))));
  int32_t i = LOWORD(r);
  bool outside = HIWORD(r) != 0;
  if (Count() == 0) return Existing ? -1 : 0;
  if (outside && Existing) return -1;
  if (outside && !Existing) {
    // Below the last item: the place after it.
    TRect last = ItemRect(Count() - 1);
    if (Pos.y >= last.bottom) return Count();
  }
  return i;
}

void TCustomListBox::SetSorted(bool Value) {
  if (Value == FSorted) return;
  FSorted = Value;
  if (!FHandle) return;
  RecreateWnd();
  if (Value) {
    // Put the items already there in order.
    TStringList tmp;
    for (int32_t i = 0; i < Count(); ++i) tmp.AddObject(FItems->Get(i), FItems->GetObject(i));
    FItems->Clear();
    for (int32_t i = 0; i < tmp.Count(); ++i) FItems->AddObject(tmp.Get(i), tmp.GetObject(i));
  }
}

void TCustomListBox::SetMultiSelect(bool Value) {
  if (Value == FMultiSelect) return;
  FMultiSelect = Value;
  RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
  if (Value == FExtendedSelect) return;
  FExtendedSelect = Value;
  RecreateWnd();
}

void TCustomListBox::ApplyColumns() {
  if (!FHandle || FColumns <= 0) return;
  Perform(LB_SETCOLUMNWIDTH, WPARAM(std::max(1, ClientWidth() / FColumns)), 0);
}

void TCustomListBox::SetColumns(int32_t Value) {
  Value = std::max(0, Value);
  if (Value == FColumns) return;
  bool multi = (Value > 0) != (FColumns > 0);
  FColumns = Value;
  if (multi) RecreateWnd();
  ApplyColumns();
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  RecreateWnd();
  if (FHandle && FStyle != lbStandard) Perform(LB_SETITEMHEIGHT, 0, LPARAM(FItemHeight));
}

int32_t TCustomListBox::ItemHeight() {
  if (FStyle == lbStandard && FHandle) return int32_t(Perform(LB_GETITEMHEIGHT, 0, 0));
  return FItemHeight;
}

void TCustomListBox::SetItemHeight(int32_t Value) {
  if (Value <= 0 || Value == FItemHeight) return;
  FItemHeight = Value;
  if (FHandle && FStyle != lbStandard) Perform(LB_SETITEMHEIGHT, 0, LPARAM(Value));
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomListBox::ClearSelection() {
  if (FMultiSelect) SendMessage(Handle(), LB_SETSEL, 0, -1);
  else SetItemIndex(-1);
}

void TCustomListBox::SelectAll() {
  if (FMultiSelect) SendMessage(Handle(), LB_SETSEL, 1, -1);
}

void TCustomListBox::DeleteSelected() {
  if (FMultiSelect) {
    for (int32_t i = Count() - 1; i >= 0; --i)
      if (Selected(i)) FItems->Delete(i);
  } else if (ItemIndex() >= 0) {
    FItems->Delete(ItemIndex());
  }
}

void TCustomListBox::DrawItem(int32_t Index, TRect Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  FCanvas->FillRect(Rect);
  if (Index >= 0 && Index < Count()) FCanvas->TextOut(Rect.left + 2, Rect.top, FItems->Get(Index));
}

void TCustomListBox::CNDrawItem(TMessage& Message) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  if (!dis) return;
  TOwnerDrawState state;
  if (dis->itemState & ODS_SELECTED) state.Include(odSelected);
  if (dis->itemState & ODS_GRAYED) state.Include(odGrayed);
  if (dis->itemState & ODS_DISABLED) state.Include(odDisabled);
  if (dis->itemState & ODS_CHECKED) state.Include(odChecked);
  if (dis->itemState & ODS_FOCUS) state.Include(odFocused);
  int saved = SaveDC(dis->hDC);
  FCanvas->SetHandle(dis->hDC);
  FCanvas->Font()->Assign(FFont.get());
  FCanvas->Brush()->Assign(FBrush.get());
  if (int32_t(dis->itemID) >= 0 && state.Contains(odSelected)) {
    FCanvas->Brush()->SetColor(clHighlight);
    FCanvas->Font()->SetColor(clHighlightText);
  }
  TRect r = dis->rcItem;
  try {
    if (int32_t(dis->itemID) >= 0) DrawItem(int32_t(dis->itemID), r, state);
    else FCanvas->FillRect(r);
    if (state.Contains(odFocused)) DrawFocusRect(dis->hDC, &dis->rcItem);
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    RestoreDC(dis->hDC, saved);
    throw;
  }
  FCanvas->SetHandle(nullptr);
  RestoreDC(dis->hDC, saved);
  Message.Result = 1;
}

void TCustomListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT: PaintHandler(Message); return;
    case WM_ERASEBKGND: DefaultHandler(Message); return;
    case CN_DRAWITEM: CNDrawItem(Message); return;
    case CN_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      SetTextColor(dc, ColorToRGB(FFont->Color()));
      SetBkColor(dc, ColorToRGB(FBrush->Color()));
      Message.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
      return;
    }
    case CN_COMMAND:
      // A double click reaches DblClick through the control's own mouse handling.
      if (HIWORD(Message.WParam) == LBN_SELCHANGE) Click();
      return;
    case CM_FONTCHANGED:
      TWinControl::Dispatch(Message);
      if (FHandle) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 1);
      return;
    case WM_SIZE:
      TWinControl::Dispatch(Message);
      ApplyColumns();
      return;
  }
  TWinControl::Dispatch(Message);
}
