#include "lib/controls/kxSkinTreeView.h"

#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "classlib/streaming/Registrations.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/controls/kxSkinListView.h"
#include "lib/skin/kxSkinRecords.h"

using namespace win;

TkxSkinCustomTreeView::TkxSkinCustomTreeView(TComponent* AOwner)
    : TCustomTreeView(AOwner), TkxSkinBinding(this, "treeview"), FDefaultFont(std::make_unique<TFont>()) {
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetHeight(14);
  Font()->Assign(FDefaultFont.get());
  FDefaultFont->OnChange = [this](TObject*) {
    if (FIndex == -1) Font()->Assign(FDefaultFont.get());
  };
  SetColor(FDefaultColor);
}

TkxSkinCustomTreeView::~TkxSkinCustomTreeView() {
  FDefaultFont->OnChange = nullptr;
  // The bars may outlive the tree: they must not call back into it.
  Detach(FVScrollBar);
  Detach(FHScrollBar);
  FVScrollBar = FHScrollBar = nullptr;
}

// ---- properties ---------------------------------------------------------------------------------

void TkxSkinCustomTreeView::SetDefaultColor(TColor Value) {
  FDefaultColor = Value;
  if (FIndex == -1) SetColor(Value);
}

void TkxSkinCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomTreeView::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FVScrollBar) FVScrollBar = nullptr;
  if (AComponent == FHScrollBar) FHScrollBar = nullptr;
}

void TkxSkinCustomTreeView::Loaded() {
  TCustomTreeView::Loaded();
  ChangeSkinData();
}

void TkxSkinCustomTreeView::CreateParams(TCreateParams& Params) {
  TCustomTreeView::CreateParams(Params);
  Params.Style &= ~(WS_HSCROLL | WS_VSCROLL);
}

void TkxSkinCustomTreeView::Change(TTreeNode* Node) {
  TCustomTreeView::Change(Node);
  UpDateScrollBars();
}

// ---- skin ---------------------------------------------------------------------------------------

void TkxSkinCustomTreeView::ChangeSkinData() {
  if (ComponentState().Contains(csLoading)) return;
  if (LookupSkinIndex() == -1) {
    SetColor(FDefaultColor);
    Font()->Assign(FDefaultFont.get());
  } else if (auto* r = SkinRecord<TkxDataSkinTreeView>()) {
    if (FUseSkinFont) {
      if (!r->FontName.empty()) Font()->SetName(r->FontName);
      Font()->SetStyle(r->FontStyle);
      if (r->FontHeight != 0) Font()->SetHeight(r->FontHeight);
    } else {
      Font()->Assign(FDefaultFont.get());
    }
    Font()->SetColor(r->FontColor);
    SetColor(r->BGColor);
  }
  Font()->SetCharset(SkinData() && SkinData()->ResourceStrData() ? SkinData()->ResourceStrData()->CharSet() : FDefaultFont->Charset());
  if (Images()) Images()->SetBkColor(Color());
  if (StateImages()) StateImages()->SetBkColor(Color());
  UpDateScrollBars();
  for (TkxSkinScrollBar* b : {FVScrollBar, FHScrollBar})
    if (b && b->Align() != alNone && b->Parent()) b->Parent()->Realign();
}

// ---- external bars ------------------------------------------------------------------------------

void TkxSkinCustomTreeView::Detach(TkxSkinScrollBar* Bar) {
  if (!Bar) return;
  Bar->OnChange = nullptr;
  Bar->RemoveFreeNotification(this);
}

void TkxSkinCustomTreeView::Attach(TkxSkinScrollBar*& Field, TkxSkinScrollBar* Value, bool Vertical) {
  if (Field == Value) return;
  TkxSkinScrollBar* old = Field;
  Field = Value;
  if (old && old != FVScrollBar && old != FHScrollBar) Detach(old);
  if (Value) {
    Value->FreeNotification(this);
    Value->SetEnabled(true);
    Value->SetVisible(false);
    Value->OnChange = [this, Vertical](TObject*) { BarChanged(Vertical); };
  }
  UpDateScrollBars();
}

void TkxSkinCustomTreeView::SetVScrollBar(TkxSkinScrollBar* Value) { Attach(FVScrollBar, Value, true); }

void TkxSkinCustomTreeView::SetHScrollBar(TkxSkinScrollBar* Value) { Attach(FHScrollBar, Value, false); }

void TkxSkinCustomTreeView::UpDateScrollBars() {
  if (ComponentState().Contains(csLoading) || FInCheckScrollBars || !HandleAllocated()) return;
  HWND h = Handle();
  bool changed = false;
  auto show = [&](TkxSkinScrollBar* Bar, bool Show) {
    if (Bar->Visible() == Show) return;
    FInCheckScrollBars = true;
    Bar->SetVisible(Show);
    FInCheckScrollBars = false;
    changed = true;
  };
  if (FVScrollBar) {
    int mn = 0, mx = 0;
    GetScrollRange(h, SB_VERT, &mn, &mx);
    const int pos = GetScrollPos(h, SB_VERT);
    const int32_t visCount = int32_t(SendMessage(h, TVM_GETVISIBLECOUNT, 0, 0));
    show(FVScrollBar, mx > 0 && visCount <= mx && mx < Items()->Count() && Visible());
    if (FVScrollBar->Visible()) FVScrollBar->SetRange(mn, mx, pos, visCount);
  }
  if (FHScrollBar) {
    int mn = 0, mx = 0;
    GetScrollRange(h, SB_HORZ, &mn, &mx);
    const int pos = GetScrollPos(h, SB_HORZ);
    show(FHScrollBar, mx > Width() && Visible());
    if (FHScrollBar->Visible()) FHScrollBar->SetRange(mn, mx, pos, Width());
  }
  // The horizontal bar leaves the corner to the vertical one while that one shows.
  if (FHScrollBar && FVScrollBar && FHScrollBar->Both() != FVScrollBar->Visible())
    FHScrollBar->SetBoth(FVScrollBar->Visible());
  if (changed && Align() != alNone && Parent()) {
    FInCheckScrollBars = true;
    Parent()->Realign();
    FInCheckScrollBars = false;
  }
}

void TkxSkinCustomTreeView::BarChanged(bool Vertical) {
  TkxSkinScrollBar* bar = Vertical ? FVScrollBar : FHScrollBar;
  if (!bar || !HandleAllocated()) return;
  HWND h = Handle();
  const int kind = Vertical ? SB_VERT : SB_HORZ;
  const int32_t pos = bar->Position();
  // The scroll message carries 16 bits of the position; the whole position goes first into
  // the scroll info, where the tree finds it.
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(h, kind, &si);
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(h, kind, &si, TRUE);
  SendMessage(h, Vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(WORD(SB_THUMBPOSITION), WORD(pos & 0xFFFF)), 0);
}

// ---- messages -----------------------------------------------------------------------------------

void TkxSkinCustomTreeView::WndProc(TMessage& Message) {
  TCustomTreeView::WndProc(Message);
  switch (Message.Msg) {
    case WM_SIZE:
    case WM_PAINT:
      if (!FInCheckScrollBars) UpDateScrollBars();
      break;
    case WM_KEYDOWN:
    case WM_LBUTTONUP: UpDateScrollBars(); break;
    default: break;
  }
}

void TkxSkinCustomTreeView::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    // No non-client area: no border and never a bar of the tree's own.
    case WM_NCCALCSIZE:
    case WM_NCPAINT: Message.Result = 0; return;
    case KXM_PAINTNCTODC: Message.Result = KX_PAINTNCTODC_ANSWER; return;
    case CM_VISIBLECHANGED:
      TCustomTreeView::Dispatch(Message);
      if (FVScrollBar) FVScrollBar->SetVisible(Visible());
      if (FHScrollBar) FHScrollBar->SetVisible(Visible());
      return;
    default: break;
  }
  TCustomTreeView::Dispatch(Message);
}

// ---- streaming ----------------------------------------------------------------------------------

void RegisterSkinTreeViewFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxSkinCustomTreeView, TCustomTreeView>("TkxSkinCustomTreeView")
      .Reference<TkxSkinData>("SkinData", &TkxSkinCustomTreeView::SetSkinData)
      .String("SkinDataName", &TkxSkinCustomTreeView::SetSkinDataName)
      .Object("DefaultFont", &TkxSkinCustomTreeView::DefaultFont)
      .Integer("DefaultColor", &TkxSkinCustomTreeView::SetDefaultColor, ColorIdents())
      .Boolean("UseSkinFont", &TkxSkinCustomTreeView::SetUseSkinFont)
      .Reference<TkxSkinScrollBar>("VScrollBar", &TkxSkinCustomTreeView::SetVScrollBar)
      .Reference<TkxSkinScrollBar>("HScrollBar", &TkxSkinCustomTreeView::SetHScrollBar);
  RegisterFormClass<TkxSkinTreeView, TkxSkinCustomTreeView>("TkxSkinTreeView");
}
