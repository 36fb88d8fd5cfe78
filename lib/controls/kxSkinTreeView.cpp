#include "lib/controls/kxSkinTreeView.h"

#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "classlib/streaming/Registrations.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/controls/kxSkinListView.h"
#include "lib/skin/kxSkinRecords.h"

using namespace win;

TkxSkinCustomTreeView::TkxSkinCustomTreeView(TComponent* AOwner)
    : TCustomTreeView(AOwner), TkxSkinViewBinding(this, "treeview") {
  ShowDefaultLook();
}

TkxSkinCustomTreeView::~TkxSkinCustomTreeView() {
}

// ---- properties ---------------------------------------------------------------------------------

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
  LookupSkinIndex();
  ReadViewSkin<TkxDataSkinTreeView>();
  if (Images()) Images()->SetBkColor(Color());
  if (StateImages()) StateImages()->SetBkColor(Color());
  UpDateScrollBars();
  RealignBars();
}

// ---- external bars ------------------------------------------------------------------------------

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
  if (AnswerFrameMessage(Message)) return;
  TCustomTreeView::Dispatch(Message);
  if (Message.Msg == CM_VISIBLECHANGED) BarsFollowVisible(Visible());
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
