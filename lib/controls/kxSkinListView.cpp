#include "lib/controls/kxSkinListView.h"

#include <algorithm>
#include <cstring>

#include "classlib/Streaming.h"
#include "classlib/streaming/Registrations.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxPlainLook.h"

using namespace win;

namespace {

// The window property on the header that leads its replaced procedure back to the list view.
constexpr const char* kHeaderOwnerProp = "kxSkinListView.Header";
// How much wider than asked the header is made, so that the part right of the last section
// covers the view's whole width even while the header is moved left by a horizontal scroll.
constexpr int kHeaderExtraWidth = 25;

bool IsEmpty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

bool IsZero(const TPoint& P) { return P.x == 0 && P.y == 0; }

}  // namespace

TkxSkinCustomListView::TkxSkinCustomListView(TComponent* AOwner)
    : TCustomListView(AOwner), TkxSkinViewBinding(this, "listview") {
  ShowDefaultLook();
}

TkxSkinCustomListView::~TkxSkinCustomListView() {
  ReleaseHeader();
}

// ---- properties ---------------------------------------------------------------------------------

void TkxSkinCustomListView::Loaded() {
  FInCheckScrollBars = true;
  TCustomListView::Loaded();
  FInCheckScrollBars = false;
  ChangeSkinData();
}

void TkxSkinCustomListView::CreateParams(TCreateParams& Params) {
  TCustomListView::CreateParams(Params);
  Params.Style &= ~(WS_HSCROLL | WS_VSCROLL);
}

void TkxSkinCustomListView::Change(TListItem* Item, TItemChange AChange) {
  TCustomListView::Change(Item, AChange);
  if (!FInCheckScrollBars) UpDateScrollBars();
}

// ---- skin ---------------------------------------------------------------------------------------

void TkxSkinCustomListView::ChangeSkinData() {
  LookupSkinIndex();
  ReadViewSkin<TkxDataSkinListView>();
  UpDateScrollBars();
  RealignBars();
  if (ViewStyle() == vsReport && FHeaderHandle) InvalidateRect(FHeaderHandle, nullptr, TRUE);
}

// ---- external bars ------------------------------------------------------------------------------

bool TkxSkinCustomListView::ShowBar(TkxSkinScrollBar* Bar, bool Show) {
  if (!Bar || Bar->Visible() == Show) return false;
  FInCheckScrollBars = true;
  Bar->SetVisible(Show);
  FInCheckScrollBars = false;
  return true;
}

int32_t TkxSkinCustomListView::ItemHeight0() {
  if (Items()->Count() == 0) return 0;
  TRect r = ItemRect(0, drBounds);
  return r.bottom - r.top;
}

void TkxSkinCustomListView::UpDateScrollBars() {
  if (!HandleAllocated() || FromSB || Width() <= 5 || Height() <= 5 || FInCheckScrollBars) return;
  HWND h = Handle();
  bool changed = false;
  int mn = 0, mx = 0, pos = 0;
  auto read = [&](int Bar) {
    mn = mx = 0;
    GetScrollRange(h, Bar, &mn, &mx);
    pos = GetScrollPos(h, Bar);
  };
  const int32_t perPage = int32_t(SendMessage(h, LVM_GETCOUNTPERPAGE, 0, 0));
  switch (ViewStyle()) {
    case vsIcon:
    case vsSmallIcon: {
      const int32_t step = std::max(1, ItemHeight0() / 2);
      if (FVScrollBar) {
        read(SB_VERT);
        changed |= ShowBar(FVScrollBar, mx > Height() && Visible());
        FVScrollBar->SetSmallChange(step);
        FVScrollBar->SetLargeChange(step);
        FVScrollBar->SetRange(mn, mx, pos, Height());
        FOldVScrollBarPos = FVScrollBar->Position();
      }
      if (FHScrollBar) {
        read(SB_HORZ);
        changed |= ShowBar(FHScrollBar, mx > Width() && Visible());
        FHScrollBar->SetSmallChange(step);
        FHScrollBar->SetLargeChange(step);
        FHScrollBar->SetRange(mn, mx, pos, Width());
        FOldHScrollBarPos = FHScrollBar->Position();
      }
      break;
    }
    case vsList: {
      // A list scrolls across only; a shown vertical bar goes.
      if (FVScrollBar && FVScrollBar->Visible()) changed |= ShowBar(FVScrollBar, false);
      if (FHScrollBar) {
        read(SB_HORZ);
        int32_t colWidth = 1;
        if (Items()->Count() > 0) {
          TRect r = ItemRect(0, drBounds);
          colWidth = std::max<int32_t>(1, r.right - r.left);
        }
        const int32_t count = int32_t(SendMessage(h, LVM_GETITEMCOUNT, 0, 0));
        changed |= ShowBar(FHScrollBar, perPage < count && Visible());
        FHScrollBar->SetSmallChange(1);
        FHScrollBar->SetLargeChange(1);
        FHScrollBar->SetRange(mn, mx, pos, Width() / colWidth);
        FOldHScrollBarPos = FHScrollBar->Position();
      }
      break;
    }
    case vsReport: {
      if (FVScrollBar) {
        read(SB_VERT);
        changed |= ShowBar(FVScrollBar, perPage < mx + 1 && Visible());
        FVScrollBar->SetSmallChange(1);
        FVScrollBar->SetLargeChange(std::max(1, perPage));
        FVScrollBar->SetRange(mn, mx, pos, perPage);
        FOldVScrollBarPos = FVScrollBar->Position();
      }
      if (FHScrollBar) {
        read(SB_HORZ);
        changed |= ShowBar(FHScrollBar, mx > Width() && Visible());
        FHScrollBar->SetRange(mn, mx, pos, Width());
        FOldHScrollBarPos = FHScrollBar->Position();
      }
      break;
    }
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

void TkxSkinCustomListView::VScrollChanged() {
  if (!FVScrollBar) return;
  FromSB = true;
  const int32_t pos = FVScrollBar->Position();
  const int32_t d = pos - FOldVScrollBarPos;
  if (d != 0) {
    if (ViewStyle() == vsIcon || ViewStyle() == vsSmallIcon)
      Scroll(0, d);
    else
      Scroll(0, int32_t(std::clamp<int64_t>(int64_t(d) * std::max(1, ItemHeight0()), INT32_MIN, INT32_MAX)));
  }
  FOldVScrollBarPos = pos;
  FromSB = false;
}

void TkxSkinCustomListView::HScrollChanged() {
  if (!FHScrollBar) return;
  const int32_t pos = FHScrollBar->Position();
  const int32_t old = FOldHScrollBarPos;
  if (ViewStyle() == vsList) {
    if (pos < old)
      for (int32_t i = 0; i < old - pos; ++i) SendMessage(Handle(), WM_HSCROLL, SB_LINELEFT, 0);
    else
      for (int32_t i = 0; i < pos - old; ++i) SendMessage(Handle(), WM_HSCROLL, SB_LINERIGHT, 0);
  } else if (pos != old) {
    Scroll(pos - old, 0);
  }
  FOldHScrollBarPos = pos;
}

// ---- messages -----------------------------------------------------------------------------------

void TkxSkinCustomListView::WndProc(TMessage& Message) {
  if (Message.Msg == WM_PARENTNOTIFY && LOWORD(Message.WParam) == WM_CREATE && ShowColumnHeaders()) {
    HWND child = reinterpret_cast<HWND>(Message.LParam);
    char cls[81] = {};
    if (child && GetClassName(child, cls, 80) > 0 && std::strcmp(cls, "SysHeader32") == 0) {
      ReleaseHeader();
      SubclassHeader(child);
    }
  }
  TCustomListView::WndProc(Message);
  switch (Message.Msg) {
    case WM_SIZE:
      if (!FInCheckScrollBars && Items()->Count() > 0) {
        UpDateScrollBars();
        if (ViewStyle() == vsReport && FHeaderHandle) InvalidateRect(FHeaderHandle, nullptr, FALSE);
      }
      break;
    case WM_PAINT:
      if (!FInCheckScrollBars) UpDateScrollBars();
      break;
    case WM_KEYDOWN:
    case WM_LBUTTONUP: UpDateScrollBars(); break;
    default: break;
  }
}

void TkxSkinCustomListView::Dispatch(TMessage& Message) {
  if (AnswerFrameMessage(Message)) return;
  if (Message.Msg == KXM_PAINTHEADERTODC) {
    if (FHeaderHandle && Message.WParam) PaintHeader(reinterpret_cast<HDC>(Message.WParam));
    Message.Result = 0;
    return;
  }
  TCustomListView::Dispatch(Message);
  if (Message.Msg == CM_VISIBLECHANGED) BarsFollowVisible(Visible());
}

// ---- the header ---------------------------------------------------------------------------------

void TkxSkinCustomListView::SubclassHeader(HWND H) {
  FHeaderHandle = H;
  SetProp(H, kHeaderOwnerProp, reinterpret_cast<HANDLE>(this));
  FDefHeaderProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtr(H, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TkxSkinCustomListView::HeaderThunk)));
}

void TkxSkinCustomListView::ReleaseHeader() {
  if (!FHeaderHandle) return;
  HWND h = FHeaderHandle;
  FHeaderHandle = nullptr;
  if (IsWindow(h)) {
    if (FDefHeaderProc) SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefHeaderProc));
    RemoveProp(h, kHeaderOwnerProp);
  }
  FDefHeaderProc = nullptr;
  FActiveSection = -1;
  FHeaderDown = FDevDown = false;
}

LRESULT TkxSkinCustomListView::HeaderThunk(HWND h, UINT Msg, WPARAM W, LPARAM L) {
  auto* self = reinterpret_cast<TkxSkinCustomListView*>(GetProp(h, kHeaderOwnerProp));
  if (!self || self->FHeaderHandle != h) return DefWindowProc(h, Msg, W, L);
  return self->HeaderWndProc(Msg, W, L);
}

void TkxSkinCustomListView::RedrawHeader() {
  if (FHeaderHandle) RedrawWindow(FHeaderHandle, nullptr, nullptr, RDW_INVALIDATE);
}

LRESULT TkxSkinCustomListView::HeaderWndProc(UINT Msg, WPARAM W, LPARAM L) {
  HWND h = FHeaderHandle;
  WNDPROC def = FDefHeaderProc;
  switch (Msg) {
    case WM_WINDOWPOSCHANGING: {
      auto* wp = reinterpret_cast<WINDOWPOS*>(L);
      if (wp && !(wp->flags & SWP_NOSIZE)) wp->cx += kHeaderExtraWidth;
      return 0;
    }
    case WM_PAINT: PaintHeader(reinterpret_cast<HDC>(W)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_NCDESTROY: {
      // The header goes: its own procedure finishes, and the view forgets it.
      RemoveProp(h, kHeaderOwnerProp);
      FHeaderHandle = nullptr;
      FDefHeaderProc = nullptr;
      FActiveSection = -1;
      FHeaderDown = FDevDown = false;
      return def ? CallWindowProc(def, h, Msg, W, L) : DefWindowProc(h, Msg, W, L);
    }
    default: break;
  }
  const LRESULT result = def ? CallWindowProc(def, h, Msg, W, L) : DefWindowProc(h, Msg, W, L);
  if (FHeaderHandle != h) return result;  // released meanwhile
  switch (Msg) {
    case WM_LBUTTONDOWN: {
      const POINT p{GET_X_LPARAM(L), GET_Y_LPARAM(L)};
      FActiveSection = -1;
      std::vector<TRect> rects = SectionRects();
      for (size_t i = 0; i < rects.size(); ++i) {
        const TRect& r = rects[i];
        if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) {
          FActiveSection = int32_t(i);
          break;
        }
      }
      HDHITTESTINFO hi;
      hi.pt = p;
      SendMessage(h, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hi));
      FDevDown = hi.flags == HHT_ONDIVIDER;
      FHeaderDown = !FDevDown;
      RedrawHeader();
      break;
    }
    case WM_MOUSEMOVE:
      if (FDevDown) RedrawHeader();
      break;
    case WM_LBUTTONUP:
      FHeaderDown = false;
      FDevDown = false;
      FActiveSection = -1;
      RedrawHeader();
      break;
    default: break;
  }
  return result;
}

std::vector<TRect> TkxSkinCustomListView::SectionRects() {
  std::vector<TRect> rects;
  HWND h = FHeaderHandle;
  if (!h) return rects;
  const int32_t n = int32_t(SendMessage(h, HDM_GETITEMCOUNT, 0, 0));
  if (n <= 0) return rects;
  std::vector<int32_t> order(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) order[size_t(i)] = i;
  if (FullDrag()) SendMessage(h, HDM_GETORDERARRAY, WPARAM(n), reinterpret_cast<LPARAM>(order.data()));
  rects.resize(size_t(n));
  for (int32_t i = 0; i < n; ++i) {
    RECT r{};
    SendMessage(h, HDM_GETITEMRECT, WPARAM(order[size_t(i)]), reinterpret_cast<LPARAM>(&r));
    rects[size_t(i)] = r;
  }
  return rects;
}

void TkxSkinCustomListView::ReadHeaderRecord() {
  FHIndex = !SkinData() || SkinData()->Empty ? -1 : SkinData()->GetControlIndex(FHeaderSkinDataName);
  HPicture = nullptr;
  if (FHIndex == -1) return;
  auto* r = SkinRecordAt<TkxDataSkinButtonControl>(FHIndex);
  // A record of another kind leaves the header in its own look.
  if (!r) return;
  HLTPt = r->LTPoint;
  HRTPt = r->RTPoint;
  HLBPt = r->LBPoint;
  HRBPt = r->RBPoint;
  HSkinRect = r->SkinRect;
  HClRect = r->ClRect;
  HStretchEffect = r->StretchEffect;
  HLeftStretch = r->LeftStretch;
  HTopStretch = r->TopStretch;
  HRightStretch = r->RightStretch;
  HBottomStretch = r->BottomStretch;
  HStretchType = r->StretchType;
  HFontColor = r->FontColor;
  HDownFontColor = r->DownFontColor;
  HActiveSkinRect = IsEmpty(r->ActiveSkinRect) ? HSkinRect : r->ActiveSkinRect;
  HDownSkinRect = IsEmpty(r->DownSkinRect) ? HActiveSkinRect : r->DownSkinRect;
  const int32_t pi = r->PictureIndex;
  TBitmap* pic = SkinPicture(pi);
  // Nothing is drawn from a missing picture or from outside it.
  if (!pic || pic->Empty() || !RectInPicture(HSkinRect, pic)) return;
  if (!RectInPicture(HActiveSkinRect, pic)) HActiveSkinRect = HSkinRect;
  if (!RectInPicture(HDownSkinRect, pic)) HDownSkinRect = HActiveSkinRect;
  HPicture = pic;
}

void TkxSkinCustomListView::PaintHeader(HDC DC) {
  HWND h = FHeaderHandle;
  if (!h) return;
  PAINTSTRUCT ps;
  HDC dc = DC;
  if (!dc) dc = BeginPaint(h, &ps);
  if (!dc) return;
  ++FHeaderPaints;
  ReadHeaderRecord();
  {
    TCanvas cv;
    cv.SetHandle(dc);
    std::vector<TRect> rects = SectionRects();
    std::vector<int32_t> order(rects.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = int32_t(i);
    if (FullDrag() && !order.empty())
      SendMessage(h, HDM_GETORDERARRAY, WPARAM(order.size()), reinterpret_cast<LPARAM>(order.data()));
    int32_t right = 0;
    for (size_t i = 0; i < rects.size(); ++i) {
      const int32_t col = order[i];
      if (col >= 0 && col < Columns()->Count())
        DrawHeaderSection(&cv, Columns()->Items(col), rects[i], int32_t(i) == FActiveSection && FHeaderDown);
      right = std::max<int32_t>(right, rects[i].right);
    }
    RECT cr{};
    GetClientRect(h, &cr);
    const TRect rest{right, 0, cr.right + 1, cr.bottom};
    if (!IsEmpty(rest)) DrawHeaderRest(&cv, rest);
    cv.SetHandle(nullptr);
  }
  if (!DC) EndPaint(h, &ps);
}

void TkxSkinCustomListView::DrawHeaderRest(TCanvas* Cnvs, const TRect& R) {
  const int32_t w = R.right - R.left, h = R.bottom - R.top;
  if (FHIndex == -1 || !HPicture) {
    DrawPlainButtonFace(Cnvs, R, TkxPlainState::Normal);
    return;
  }
  auto img = NewSkinImage(w, h);
  if (!IsZero(HLBPt)) {
    const int32_t dx = w - (HSkinRect.right - HSkinRect.left), dy = h - (HSkinRect.bottom - HSkinRect.top);
    BuildNinePartHeaderImage(HLTPt, HRTPt, HLBPt, HRBPt, HClRect, HLTPt, TPoint{HRTPt.x + dx, HRTPt.y},
                             TPoint{HLBPt.x, HLBPt.y + dy}, TPoint{HRBPt.x + dx, HRBPt.y + dy},
                             TRect{HClRect.left, HClRect.top, HClRect.right + dx, HClRect.bottom + dy}, img.get(),
                             HPicture, HSkinRect, w, h, true, HLeftStretch, HTopStretch, HRightStretch,
                             HBottomStretch, HStretchEffect, HStretchType);
  } else {
    auto strip = NewSkinImage(0, 0);
    BuildHorzLeftPartImage(HLTPt.x, (HSkinRect.right - HSkinRect.left) - HRTPt.x, strip.get(), HPicture, HSkinRect,
                           w, HSkinRect.bottom - HSkinRect.top, HStretchEffect);
    if (!strip->Empty()) img->Canvas()->StretchDraw(TRect{0, 0, w, h}, strip.get());
  }
  Cnvs->Draw(R.left, R.top, img.get());
}

void TkxSkinCustomListView::DrawHeaderSection(TCanvas* Cnvs, TListColumn* Column, const TRect& R, bool Pressed) {
  const int32_t w = R.right - R.left, h = R.bottom - R.top;
  if (w <= 0 || h <= 0) return;
  auto img = NewSkinImage(w, h);
  TCanvas* c = img->Canvas();
  std::string caption = Column->Caption();
  c->Font()->Assign(Font());
  if (FHIndex == -1 || !HPicture) {
    DrawPlainButtonFace(c, TRect{0, 0, w, h}, Pressed ? TkxPlainState::Down : TkxPlainState::Normal);
    c->Font()->SetColor(kxPlain.Text);
  } else {
    const TRect src = Pressed ? HDownSkinRect : HSkinRect;
    c->Font()->SetColor(Pressed ? HDownFontColor : HFontColor);
    if (!IsZero(HLBPt)) {
      const int32_t dx = w - (HSkinRect.right - HSkinRect.left), dy = h - (HSkinRect.bottom - HSkinRect.top);
      BuildNinePartImage(HLTPt, HRTPt, HLBPt, HRBPt, HClRect, HLTPt, TPoint{HRTPt.x + dx, HRTPt.y},
                         TPoint{HLBPt.x, HLBPt.y + dy}, TPoint{HRBPt.x + dx, HRBPt.y + dy},
                         TRect{HClRect.left, HClRect.top, HClRect.right + dx, HClRect.bottom + dy}, img.get(), HPicture,
                         src, w, h, true, HLeftStretch, HTopStretch, HRightStretch, HBottomStretch, HStretchEffect,
                         HStretchType);
    } else {
      auto strip = NewSkinImage(0, 0);
      BuildHorzThreePartImage(HLTPt.x, (src.right - src.left) - HRTPt.x, strip.get(), HPicture, src, w,
                              HSkinRect.bottom - HSkinRect.top, HStretchEffect);
      if (!strip->Empty()) c->StretchDraw(TRect{0, 0, w, h}, strip.get());
    }
  }
  if (OnDrawHeaderSection) {
    OnDrawHeaderSection(this, c, Column, Pressed, TRect{0, 0, w, h});
  } else if (!caption.empty() || Column->ImageIndex() >= 0) {
    c->Brush()->SetStyle(bsClear);
    const TRect tr{5, 0, w - 5, h};
    const int32_t tw = tr.right - tr.left, th = tr.bottom - tr.top;
    TCustomImageList* images = SmallImages();
    int32_t x = tr.left;
    if (images && Column->ImageIndex() >= 0 && Column->ImageIndex() < images->Count()) {
      const std::string full = caption;
      FitTextToWidth(c, caption, tw - 10 - images->Width());
      if (caption == full) {
        const int32_t textW = c->TextWidth(caption);
        if (Column->Alignment() == taRightJustify)
          x = tr.right - textW - images->Width() - 10;
        else if (Column->Alignment() == taCenter)
          x = tr.left + tw / 2 - (textW + images->Width() + 10) / 2;
      }
      images->Draw(c, x, tr.top + th / 2 - images->Height() / 2, Column->ImageIndex(), true);
      x += images->Width() + 10;
    } else {
      FitTextToWidth(c, caption, tw);
      const int32_t textW = c->TextWidth(caption);
      if (Column->Alignment() == taRightJustify)
        x = tr.right - textW;
      else if (Column->Alignment() == taCenter)
        x = tr.left + tw / 2 - textW / 2;
    }
    if (!caption.empty()) c->TextRect(tr, x, tr.top + th / 2 - c->TextHeight(caption) / 2, caption);
  }
  Cnvs->Draw(R.left, R.top, img.get());
}

// ---- streaming ----------------------------------------------------------------------------------

void RegisterSkinListViewFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxSkinCustomListView, TCustomListView>("TkxSkinCustomListView")
      .Reference<TkxSkinData>("SkinData", &TkxSkinCustomListView::SetSkinData)
      .String("SkinDataName", &TkxSkinCustomListView::SetSkinDataName)
      .String("HeaderSkinDataName", &TkxSkinCustomListView::SetHeaderSkinDataName)
      .Object("DefaultFont", &TkxSkinCustomListView::DefaultFont)
      .Integer("DefaultColor", &TkxSkinCustomListView::SetDefaultColor, ColorIdents())
      .Boolean("UseSkinFont", &TkxSkinCustomListView::SetUseSkinFont)
      .Reference<TkxSkinScrollBar>("VScrollBar", &TkxSkinCustomListView::SetVScrollBar)
      .Reference<TkxSkinScrollBar>("HScrollBar", &TkxSkinCustomListView::SetHScrollBar);
  RegisterFormClass<TkxSkinListView, TkxSkinCustomListView>("TkxSkinListView");
}
