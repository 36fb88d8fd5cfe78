#include "lib/controls/kxSkinScrollBox.h"

#include <algorithm>

#include "classlib/Streaming.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxPlainLook.h"

using namespace win;

namespace {

// Frame painting asked for by other programs: into wParam's device context (answer 12851), or,
// with the key 16802 in lParam, the same with the key as the answer.

}  // namespace

TkxSkinScrollBox::TkxSkinScrollBox(TComponent* AOwner) : TkxSkinCustomControl(AOwner) {
  FControlStyle.Include(csAcceptsControls);
  FSkinDataName = "scrollbox";
  SetBounds(Left(), Top(), 150, 150);
}

TkxSkinScrollBox::~TkxSkinScrollBox() {
  // The bars may outlive the box: they must not call back into it.
  Detach(FVScrollBar);
  Detach(FHScrollBar);
}

// ---- bars ---------------------------------------------------------------------------------------

void TkxSkinScrollBox::Detach(TkxSkinScrollBar* Bar) {
  if (!Bar) return;
  Bar->OnChange = nullptr;
  Bar->OnLastChange = nullptr;
  Bar->RemoveFreeNotification(this);
}

void TkxSkinScrollBox::Attach(TkxSkinScrollBar*& Field, TkxSkinScrollBar* Value, bool Vertical) {
  if (Field == Value) return;
  TkxSkinScrollBar* old = Field;
  Field = Value;
  // The old bar no longer serves the box, unless it still serves the other direction.
  if (old && old != FVScrollBar && old != FHScrollBar) Detach(old);
  // The content goes back to its origin: a new bar's old position says nothing about where
  // the children stand.
  int32_t& standing = Vertical ? FOldVScrollBarPos : FOldHScrollBarPos;
  if (standing != 0) {
    if (Vertical)
      ScrollBy(0, standing);
    else
      ScrollBy(standing, 0);
    standing = 0;
  }
  if (!Value) return;
  Value->SetRange(0, 0, 0, 0);
  Value->FreeNotification(this);
  Value->SetCanFocused(false);
  Value->SetEnabled(true);
  Value->SetVisible(false);
  Value->OnChange = [this, Vertical](TObject*) { BarChanged(Vertical); };
  Value->OnLastChange = [this](TObject*) { Invalidate(); };
  UpdateRange(Vertical);
}

void TkxSkinScrollBox::SetVScrollBar(TkxSkinScrollBar* Value) { Attach(FVScrollBar, Value, true); }

void TkxSkinScrollBox::SetHScrollBar(TkxSkinScrollBar* Value) { Attach(FHScrollBar, Value, false); }

void TkxSkinScrollBox::Notification(TComponent* AComponent, TOperation Operation) {
  TkxSkinCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FVScrollBar) FVScrollBar = nullptr;
  if (AComponent == FHScrollBar) FHScrollBar = nullptr;
}

void TkxSkinScrollBox::BarChanged(bool Vertical) {
  TkxSkinScrollBar* bar = Vertical ? FVScrollBar : FHScrollBar;
  if (!bar) return;
  int32_t& old = Vertical ? FOldVScrollBarPos : FOldHScrollBarPos;
  const int32_t d = old - bar->Position();
  old = bar->Position();
  if (d != 0) {
    if (Vertical)
      ScrollBy(0, d);
    else
      ScrollBy(d, 0);
  }
  if (FIndex != -1 && StretchEffect) Invalidate();
}

void TkxSkinScrollBox::HScroll(int32_t APosition) {
  if (!FHScrollBar || FHScrollBar->PageSize() == 0) return;
  FHScrollBar->SetPosition(APosition);
}

void TkxSkinScrollBox::VScroll(int32_t APosition) {
  if (!FVScrollBar || FVScrollBar->PageSize() == 0) return;
  FVScrollBar->SetPosition(std::min<int64_t>(APosition, int64_t(FVScrollBar->Max()) - FVScrollBar->PageSize()));
}

void TkxSkinScrollBox::UpDateScrollRange() {
  UpdateRange(false);
  UpdateRange(true);
}

void TkxSkinScrollBox::UpdateRange(bool Vertical) {
  TkxSkinScrollBar* bar = Vertical ? FVScrollBar : FHScrollBar;
  if (!bar || FInCheckScrollBars || !Parent()) return;
  int32_t& sizeOffset = Vertical ? FVSizeOffset : FHSizeOffset;
  int32_t& old = Vertical ? FOldVScrollBarPos : FOldHScrollBarPos;
  auto moveDown = [&](int32_t D) {
    if (D == 0) return;
    if (Vertical)
      ScrollBy(0, D);
    else
      ScrollBy(D, 0);
    if (FIndex != -1 && StretchEffect) Invalidate();
  };
  int32_t b = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible()) continue;
    b = std::max(b, Vertical ? c->Top() + c->Height() : c->Left() + c->Width());
  }
  const int32_t ch = Vertical ? ClientHeight() : ClientWidth();
  const int32_t p = bar->Position();
  bool show;
  if (int64_t(p) + b > ch) {
    show = true;
    if (p > 0 && b < ch && sizeOffset > 0) {
      // The box grew while scrolled: the content comes back by what it grew.
      sizeOffset = std::min(sizeOffset, p);
      bar->SetRange(0, p + b - 1, p - sizeOffset, ch);
      moveDown(sizeOffset);
    } else if (sizeOffset == 0 && p + b - 1 < bar->Max() && p > 0 && b < ch) {
      // The content got shorter while scrolled: its far edge lines up with the client's.
      const int32_t d = std::min(ch - b, p);
      moveDown(d);
      bar->SetRange(0, p + b - 1, p - d, ch);
    } else {
      bar->SetRange(0, p + b - 1, p, ch);
    }
    sizeOffset = 0;
    old = bar->Position();
  } else {
    if (p > 0) moveDown(p);
    sizeOffset = 0;
    old = 0;
    bar->SetRange(0, 0, 0, 0);
    show = false;
  }
  if (bar->Visible() != show) {
    FInCheckScrollBars = true;
    bar->SetVisible(show);
    FInCheckScrollBars = false;
    if (Align() != alNone) {
      FInCheckScrollBars = true;
      Parent()->Realign();
      Realign();
      FInCheckScrollBars = false;
      // The bar took or gave back room: both directions are measured again against the new
      // client area (a bar appears or goes at most once more each way).
      if (FRecheckDepth < 2) {
        ++FRecheckDepth;
        UpdateRange(false);
        UpdateRange(true);
        --FRecheckDepth;
      }
    }
  }
  // The horizontal bar leaves the corner to the vertical one while that one shows.
  if (FHScrollBar && FVScrollBar && FHScrollBar->Both() != FVScrollBar->Visible())
    FHScrollBar->SetBoth(FVScrollBar->Visible());
}

void TkxSkinScrollBox::AdjustClientRect(TRect& Rect) {
  if (FVScrollBar && FVScrollBar->Visible()) {
    Rect.top = -FVScrollBar->Position();
    Rect.bottom = Rect.top + std::max(FVScrollBar->Max(), ClientHeight());
  } else {
    Rect.top = 0;
    Rect.bottom = ClientHeight();
  }
  if (FHScrollBar && FHScrollBar->Visible()) {
    Rect.left = -FHScrollBar->Position();
    Rect.right = Rect.left + std::max(FHScrollBar->Max(), ClientWidth());
  } else {
    Rect.left = 0;
    Rect.right = ClientWidth();
  }
  TkxSkinCustomControl::AdjustClientRect(Rect);
}

void TkxSkinScrollBox::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  const int32_t oldW = Width(), oldH = Height();
  FInSetBounds = true;
  try {
    TkxSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  } catch (...) {
    FInSetBounds = false;
    throw;
  }
  FInSetBounds = false;
  // The ranges follow the new client size, whatever the alignment.
  FHSizeOffset = oldW != 0 && Width() > oldW ? Width() - oldW : 0;
  UpdateRange(false);
  FVSizeOffset = oldH != 0 && Height() > oldH ? Height() - oldH : 0;
  UpdateRange(true);
}

// ---- skin ---------------------------------------------------------------------------------------

void TkxSkinScrollBox::GetSkinData() {
  TkxSkinCustomControl::GetSkinData();
  FBGPictureIndex = -1;
  if (FIndex == -1) return;
  auto* r = SkinRecord<TkxDataSkinScrollBoxControl>();
  if (!r) return;
  const int32_t i = r->BGPictureIndex;
  // An index past the pictures, or an empty picture, is no background.
  if (SkinPicture(i)) FBGPictureIndex = i;
}

void TkxSkinScrollBox::ChangeSkinData() {
  TkxSkinCustomControl::ChangeSkinData();
  FrameChanged();
  if (Parent()) Parent()->Realign();
  UpDateScrollRange();
}

void TkxSkinScrollBox::SetBorderStyle(TkxSkinBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  FrameChanged();
}

void TkxSkinScrollBox::FrameChanged() {
  // The frame's width may change: the window asks for its client area again, in place.
  if (!HandleAllocated()) return;
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Invalidate();
  RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TkxSkinScrollBox::CreateParams(TCreateParams& Params) {
  TkxSkinCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

// ---- messages -----------------------------------------------------------------------------------

void TkxSkinScrollBox::WndProc(TMessage& Message) {
  if (FCanFocused && !FocusOnPress(Message)) return;
  TkxSkinCustomControl::WndProc(Message);
}

void TkxSkinScrollBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCCALCSIZE: {
      RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                               : reinterpret_cast<RECT*>(Message.LParam);
      GetSkinData();
      if (r && HasFrame()) {
        if (FIndex != -1) {
          r->left += ClRect.left;
          r->top += ClRect.top;
          r->right -= RectWidth(SkinRect) - ClRect.right;
          r->bottom -= RectHeight(SkinRect) - ClRect.bottom;
        } else {
          InflateRect(r, -1, -1);
        }
        if (r->right < r->left) r->right = r->left;
        if (r->bottom < r->top) r->bottom = r->top;
      }
      Message.Result = 0;
      return;
    }
    case WM_NCPAINT: {
      if (!HasFrame()) return;
      HDC dc = GetWindowDC(Handle());
      if (!dc) return;
      PaintFrame(dc);
      ReleaseDC(Handle(), dc);
      Message.Result = 0;
      return;
    }
    case KXM_PAINTNCTODC:
      GetSkinData();
      if (Message.WParam && FBGPictureIndex == -1 && FBorderStyle != TkxSkinBorderStyle::bvNone) {
        PaintFrame(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = KX_PAINTNCTODC_ANSWER;
      } else {
        Message.Result = 0;
      }
      return;
    case KXM_PAINTTODC:
      if (Message.LParam != kxPaintToDCKey) break;
      GetSkinData();
      if (Message.WParam && FBGPictureIndex == -1 && FBorderStyle != TkxSkinBorderStyle::bvNone)
        PaintFrame(reinterpret_cast<HDC>(Message.WParam));
      Message.Result = kxPaintToDCKey;
      return;
    case WM_SIZE:
      TkxSkinCustomControl::Dispatch(Message);
      if (HandleAllocated()) SendMessage(Handle(), WM_NCPAINT, 1, 0);
      // The client area changed without SetBounds (the window was made, or its frame
      // changed): the pages follow it.
      if (!FInSetBounds) UpDateScrollRange();
      return;
    case CM_VISIBLECHANGED:
      TkxSkinCustomControl::Dispatch(Message);
      // A hidden box hides its bars; a shown one shows those its content needs.
      if (!Visible()) {
        if (FVScrollBar) FVScrollBar->SetVisible(false);
        if (FHScrollBar) FHScrollBar->SetVisible(false);
      } else {
        UpDateScrollRange();
      }
      return;
    default: break;
  }
  TkxSkinCustomControl::Dispatch(Message);
}

// ---- painting -----------------------------------------------------------------------------------

bool TkxSkinScrollBox::HasFrame() {
  if (FBorderStyle == TkxSkinBorderStyle::bvNone) return false;
  return FIndex == -1 || FBGPictureIndex == -1;
}

void TkxSkinScrollBox::PaintFrame(HDC DC) {
  GetSkinData();
  const int32_t W = Width(), H = Height();
  if (W <= 0 || H <= 0 || !HasFrame()) return;
  if (FIndex == -1) {
    // The scroll box has always drawn bvRaised with the shadow up and left and bvLowered with the
    // highlight there, the other way round from the panel; it keeps its look.
    TkxPlainEdge edge = TkxPlainEdge::Flat;
    if (FBorderStyle == TkxSkinBorderStyle::bvRaised)
      edge = TkxPlainEdge::Sunken;
    else if (FBorderStyle == TkxSkinBorderStyle::bvLowered)
      edge = TkxPlainEdge::Raised;
    DrawPlainEdge(DC, TRect{0, 0, W, H}, edge);
    return;
  }
  int32_t w = W, h = H;
  TkxSkinGeometry::CalcSkinSize(true, w, h);
  auto top = NewSkinImage(0, 0), left = NewSkinImage(0, 0), right = NewSkinImage(0, 0), bottom = NewSkinImage(0, 0);
  SplitNinePartImage(LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect,
                     left.get(), top.get(), right.get(), bottom.get(), Picture, SkinRect, W, H, LeftStretch,
                     TopStretch, RightStretch, BottomStretch);
  auto put = [DC](TBitmap* B, int32_t X, int32_t Y) {
    if (!B->Empty()) BitBlt(DC, X, Y, B->Width(), B->Height(), B->Canvas()->Handle(), 0, 0, SRCCOPY);
  };
  put(top.get(), 0, 0);
  put(left.get(), 0, top->Height());
  put(right.get(), W - right->Width(), top->Height());
  put(bottom.get(), 0, H - bottom->Height());
}

void TkxSkinScrollBox::CreateControlDefaultImage(TBitmap* B) {
  B->Canvas()->Brush()->SetStyle(bsSolid);
  B->Canvas()->Brush()->SetColor(Color());
  B->Canvas()->FillRect(TRect{0, 0, B->Width(), B->Height()});
}

void TkxSkinScrollBox::Paint() {
  const int32_t cw = ClientWidth(), ch = ClientHeight();
  if (cw < 1 || ch < 1) return;
  GetSkinData();
  auto img = NewSkinImage(cw, ch);
  TCanvas* c = img->Canvas();
  if (FIndex == -1) {
    CreateControlDefaultImage(img.get());
    Canvas()->Draw(0, 0, img.get());
    return;
  }
  std::unique_ptr<TBitmap> tile;
  if (FBGPictureIndex != -1) {
    TBitmap* bg = SkinPicture(FBGPictureIndex);
    tile = NewSkinImage(bg->Width(), bg->Height());
    tile->Canvas()->Draw(0, 0, bg);
  } else {
    const int32_t w0 = RectWidth(ClRect), h0 = RectHeight(ClRect);
    if (w0 > 0 && h0 > 0) {
      tile = NewSkinImage(w0, h0);
      tile->Canvas()->CopyRect(TRect{0, 0, w0, h0}, Picture->Canvas(),
                               TRect{SkinRect.left + ClRect.left, SkinRect.top + ClRect.top,
                                     SkinRect.left + ClRect.right, SkinRect.top + ClRect.bottom});
    }
  }
  if (!tile || tile->Width() < 1 || tile->Height() < 1) {
    // Nothing to tile with: the plain fill.
    CreateControlDefaultImage(img.get());
  } else {
    const int32_t tw = tile->Width(), th = tile->Height();
    if (!StretchEffect) {
      for (int32_t i = 0; i <= cw / tw; ++i)
        for (int32_t j = 0; j <= ch / th; ++j) c->Draw(i * tw, j * th, tile.get());
    } else {
      switch (StretchType) {
        case kxstFull: c->StretchDraw(TRect{0, 0, cw, ch}, tile.get()); break;
        case kxstHorz: {
          auto strip = NewSkinImage(tw, ch);
          strip->Canvas()->StretchDraw(TRect{0, 0, tw, ch}, tile.get());
          for (int32_t i = 0; i <= cw / tw; ++i) c->Draw(i * tw, 0, strip.get());
          break;
        }
        case kxstVert: {
          auto strip = NewSkinImage(cw, th);
          strip->Canvas()->StretchDraw(TRect{0, 0, cw, th}, tile.get());
          for (int32_t j = 0; j <= ch / th; ++j) c->Draw(0, j * th, strip.get());
          break;
        }
      }
    }
  }
  Canvas()->Draw(0, 0, img.get());
}

// ---- streaming ----------------------------------------------------------------------------------

void RegisterSkinScrollBoxFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxSkinScrollBox, TkxSkinCustomControl>("TkxSkinScrollBox")
      .Reference<TkxSkinScrollBar>("VScrollBar", &TkxSkinScrollBox::SetVScrollBar)
      .Reference<TkxSkinScrollBar>("HScrollBar", &TkxSkinScrollBox::SetHScrollBar)
      .Enum<TkxSkinBorderStyle>("BorderStyle", &TkxSkinScrollBox::SetBorderStyle,
                                {{"bvFrame", TkxSkinBorderStyle::bvFrame},
                                 {"bvRaised", TkxSkinBorderStyle::bvRaised},
                                 {"bvLowered", TkxSkinBorderStyle::bvLowered},
                                 {"bvNone", TkxSkinBorderStyle::bvNone}})
      .Boolean("CanFocused", &TkxSkinScrollBox::SetCanFocused);
}
