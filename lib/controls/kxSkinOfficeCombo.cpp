#include "lib/controls/kxSkinOfficeCombo.h"

#include <algorithm>

#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinScrollBar.h"
#include "lib/graphics/kxPlainLook.h"

using namespace win;

namespace {

constexpr UINT_PTR kAutoScrollTimer = 1;
constexpr uint32_t kAutoScrollInterval = 25;

// The nine-part image of Src of the record's picture at the size of B, the geometry moved by
// the size difference as the skinned controls resize their own images.
void BuildRecordImage(TBitmap* B, TkxDataSkinCustomControl* Rec, TBitmap* Pic, const TRect& Src) {
  const int32_t dw = B->Width() - RectWidth(Rec->SkinRect), dh = B->Height() - RectHeight(Rec->SkinRect);
  const TPoint nrt{Rec->RTPoint.x + dw, Rec->RTPoint.y}, nlb{Rec->LBPoint.x, Rec->LBPoint.y + dh},
      nrb{Rec->RBPoint.x + dw, Rec->RBPoint.y + dh};
  const TRect ncl{Rec->ClRect.left, Rec->ClRect.top, Rec->ClRect.right + dw, Rec->ClRect.bottom + dh};
  BuildNinePartImage(Rec->LTPoint, Rec->RTPoint, Rec->LBPoint, Rec->RBPoint, Rec->ClRect, Rec->LTPoint, nrt, nlb, nrb,
                     ncl, B, Pic, Src, B->Width(), B->Height(), true, Rec->LeftStretch, Rec->TopStretch,
                     Rec->RightStretch, Rec->BottomStretch, Rec->StretchEffect, Rec->StretchType);
}

}  // namespace

TkxSkinCustomOfficeComboBox::TkxSkinCustomOfficeComboBox(TComponent* AOwner) : TkxSkinCustomControl(AOwner) {
  TControlStyle style;
  style.Include(csAcceptsControls);
  style.Include(csCaptureMouse);
  style.Include(csOpaque);
  style.Include(csDoubleClicks);
  style.Include(csReplicatable);
  SetControlStyle(style);
  FSkinDataName = "combobox";
  SetTabStop(true);
  Font()->SetName("Arial");
  Font()->SetColor(clWindowText);
  Font()->SetHeight(14);
  FListBox = new TkxPopupOfficeListBox(this);
  FListBox->SetSkinDataName(FListBoxSkinDataName);
  SetBounds(Left(), Top(), 120, 41);
  FListBoxWindowProc = FListBox->WindowProc;
  FListBox->WindowProc = [this](TMessage& m) { ListBoxWndProc(m); };
  FListBox->SetVisible(false);
  FListBox->SetMouseMoveChangeIndex(true);
  if (!ComponentState().Contains(csDesigning)) FListBox->SetParent(this);
  CalcRects();
}

TkxSkinCustomOfficeComboBox::~TkxSkinCustomOfficeComboBox() {
  StopAutoScroll();
  if (FListBox) {
    FListBox->WindowProc = FListBoxWindowProc;
    delete FListBox;
    FListBox = nullptr;
  }
}

void TkxSkinCustomOfficeComboBox::Notification(TComponent* AComponent, TOperation Operation) {
  TkxSkinCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FListBox) FListBox = nullptr;
}

// ---- properties ---------------------------------------------------------------------------------

void TkxSkinCustomOfficeComboBox::SetToolButtonStyle(bool Value) {
  if (FToolButtonStyle == Value) return;
  FToolButtonStyle = Value;
  if (Value) FUseSkinSize = false;
  Repaint();
}

void TkxSkinCustomOfficeComboBox::SetImages(TCustomImageList* Value) { FListBox->SetImages(Value); }

void TkxSkinCustomOfficeComboBox::SetShowItemTitle(bool Value) {
  if (FShowItemTitle == Value) return;
  FShowItemTitle = Value;
  Repaint();
}

void TkxSkinCustomOfficeComboBox::SetShowItemImage(bool Value) {
  if (FShowItemImage == Value) return;
  FShowItemImage = Value;
  Repaint();
}

void TkxSkinCustomOfficeComboBox::SetShowItemText(bool Value) {
  if (FShowItemText == Value) return;
  FShowItemText = Value;
  Repaint();
}

void TkxSkinCustomOfficeComboBox::SetListBoxSkinDataName(const std::string& Value) {
  FListBoxSkinDataName = Value;
  FListBox->SetSkinDataName(Value);
}

void TkxSkinCustomOfficeComboBox::SetDefaultColor(TColor Value) {
  FDefaultColor = Value;
  if (FIndex == -1) Invalidate();
}

void TkxSkinCustomOfficeComboBox::DefaultFontChanged() { Font()->Assign(FDefaultFont.get()); }

void TkxSkinCustomOfficeComboBox::Invalidate() { TkxSkinCustomControl::Invalidate(); }

void TkxSkinCustomOfficeComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TkxSkinCustomOfficeComboBox::SetItemIndex(int32_t Value) {
  FListBox->SetItemIndex(Value);
  FOldItemIndex = FListBox->ItemIndex();
  Repaint();
  if (ComponentState().Contains(csDesigning) || ComponentState().Contains(csLoading)) return;
  if (OnClick) OnClick(this);
  Change();
}

// ---- skin ---------------------------------------------------------------------------------------

void TkxSkinCustomOfficeComboBox::GetSkinData() {
  TkxSkinCustomControl::GetSkinData();
  if (FIndex == -1) return;
  auto* r = SkinRecord<TkxDataSkinComboBox>();
  if (!r) return;
  TakeComboRecord(*r);
}

void TkxSkinCustomOfficeComboBox::CalcSkinSize(int32_t& AWidth, int32_t& AHeight) {
  if (FUseSkinSize) {
    TkxSkinCustomControl::CalcSkinSize(AWidth, AHeight);
    return;
  }
  // The requested size stands; only the horizontal geometry follows it.
  TkxSkinCustomControl::CalcSkinSize(AWidth, AHeight);
  AWidth = Width();
  AHeight = Height();
  const int32_t dw = AWidth - RectWidth(SkinRect);
  NewLTPoint = LTPt;
  NewRTPoint = TPoint{RTPt.x + dw, RTPt.y};
  NewClRect = ClRect;
  NewClRect.right += dw;
}

void TkxSkinCustomOfficeComboBox::SetControlRegion() {
  if (FUseSkinSize) TkxSkinCustomControl::SetControlRegion();
}

void TkxSkinCustomOfficeComboBox::ChangeSkinData() {
  TkxSkinCustomControl::ChangeSkinData();
  CalcRects();
  Repaint();
  // The drop-down's record: none while unskinned, the designed one again once skinned.
  FListBox->SetSkinDataName(FIndex == -1 ? std::string() : FListBoxSkinDataName);
  FListBox->SetSkinData(SkinData());
  CalcRects();
}

void TkxSkinCustomOfficeComboBox::CalcRects() {
  const int32_t W = Width(), H = Height();
  if (FIndex == -1 || FToolButtonStyle) {
    Button.R = TRect{W - 19, 2, W - 2, H - 2};
    CBItem.R = TRect{2, 2, Button.R.left - 1, H - 2};
    return;
  }
  const int32_t dw = W - RectWidth(SkinRect);
  Button.R = ButtonRect;
  if (ButtonRect.left >= RectWidth(SkinRect) - RTPt.x) {
    Button.R.left += dw;
    Button.R.right += dw;
  }
  CBItem.R = ClRect;
  CBItem.R.right += dw;
  if (!FUseSkinSize) {
    Button.R.bottom += H - RectHeight(SkinRect);
    CBItem.R.bottom += H - RectHeight(SkinRect);
  }
}

// ---- drop-down ----------------------------------------------------------------------------------

void TkxSkinCustomOfficeComboBox::DropDown() {
  if (FListBox->Items()->Count() == 0) return;
  WasInLB = false;
  StopAutoScroll();
  if (OnDropDown) OnDropDown(this);
  const int32_t lw = FListBoxWidth != 0 ? FListBoxWidth : Width();
  FListBox->OnDrawItem = OnDrawItem;
  int32_t lh = FListBox->Height();
  if (FListBoxHeight > 0)
    lh = FListBoxHeight;
  else if (FDropDownCount > 0)
    lh = FListBox->CalcHeight(FDropDownCount);
  FListBox->SetBounds(FListBox->Left(), FListBox->Top(), lw, lh);
  lh = FListBox->Height();
  // Right edges in line; above the control when the work area has no room below.
  TPoint P = ClientToScreen(TPoint{Width() - FListBox->Width(), Height()});
  TRect work{};
  GetMonitorWorkArea(Handle(), true, work);
  if (work.bottom < P.y + lh) P.y = P.y - Height() - lh;
  FOldItemIndex = FListBox->ItemIndex();
  if (FOldItemIndex == 0 && FListBox->Items()->Count() >= 2) {
    // Back to the top of the list.
    FListBox->SetItemIndex(1);
    FListBox->SetItemIndex(0);
  }
  FDropDown = true;
  if (FToolButtonStyle) Repaint();
  FListBox->SetSkinData(SkinData());
  FListBox->Show(P);
}

void TkxSkinCustomOfficeComboBox::CloseUp(bool Value) {
  StopAutoScroll();
  if (!FListBox->Visible()) return;
  FListBox->Hide();
  const int32_t i = FListBox->ItemIndex();
  if (Value && i >= 0 && i < FListBox->Items()->Count()) {
    FOldItemIndex = i;
    Repaint();
    if (OnClick) OnClick(this);
    Change();
  } else {
    FListBox->SetItemIndex(FOldItemIndex);
  }
  FDropDown = false;
  Repaint();
  if (Value && OnCloseUp) OnCloseUp(this);
}

bool TkxSkinCustomOfficeComboBox::CanCancelDropDown() {
  if (!FListBox->Visible()) return false;
  POINT p;
  GetCursorPos(&p);
  const TPoint c = ScreenToClient(TPoint{p.x, p.y});
  return !(c.x >= 0 && c.y >= 0 && c.x < Width() && c.y < Height());
}

void TkxSkinCustomOfficeComboBox::StopAutoScroll() {
  if (FTimerOn && HandleAllocated()) KillTimer(Handle(), kAutoScrollTimer);
  FTimerOn = false;
  FTimerMode = 0;
}

void TkxSkinCustomOfficeComboBox::ListBoxWndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
      FLBDown = true;
      WasInLB = true;
      SetCapture(Handle());
      return;
    case WM_LBUTTONUP: case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_MBUTTONDOWN: case WM_MBUTTONUP: return;
    case WM_MOUSEACTIVATE:
      Message.Result = MA_NOACTIVATE;
      FListBoxWindowProc(Message);
      Message.Result = MA_NOACTIVATE;
      return;
    default: FListBoxWindowProc(Message); return;
  }
}

void TkxSkinCustomOfficeComboBox::TrackList() {
  POINT sp;
  GetCursorPos(&sp);
  const TPoint p = FListBox->ScreenToClient(TPoint{sp.x, sp.y});
  const int32_t lh = FListBox->Height();
  auto startScroll = [this](int32_t Mode) {
    if (FTimerMode != Mode) {
      if (FTimerOn) KillTimer(Handle(), kAutoScrollTimer);
      SetTimer(Handle(), kAutoScrollTimer, kAutoScrollInterval, nullptr);
      FTimerOn = true;
    }
    FTimerMode = Mode;
  };
  if (p.y < 0 && FListBox->ScrollBar && WasInLB) {
    startScroll(1);
  } else if (p.y > lh && FListBox->ScrollBar && WasInLB) {
    startScroll(2);
  } else if (p.y >= 0 && p.y <= lh) {
    StopAutoScroll();
    FListBox->MouseMove(TShiftState(), p.x, p.y);
    WasInLB = true;
    if (!FLBDown) {
      FLBDown = true;
      WasInLB = false;
    }
  }
}

// ---- mouse --------------------------------------------------------------------------------------

void TkxSkinCustomOfficeComboBox::MouseDown(TMouseButton Btn, TShiftState Shift, int X, int Y) {
  TkxSkinCustomControl::MouseDown(Btn, Shift, X, Y);
  if (!Focused() && CanFocus()) SetFocus();
  if (Btn != mbLeft) return;
  const bool inItem = X >= CBItem.R.left && X < CBItem.R.right && Y >= CBItem.R.top && Y < CBItem.R.bottom;
  if (Button.MouseIn || inItem || FToolButtonStyle) {
    Button.Down = true;
    Repaint();
    if (FListBox->Visible()) {
      CloseUp(false);
    } else {
      WasInLB = false;
      FLBDown = true;
      DropDown();
    }
  } else if (FListBox->Visible()) {
    CloseUp(false);
  }
}

void TkxSkinCustomOfficeComboBox::MouseMove(TShiftState Shift, int X, int Y) {
  TkxSkinCustomControl::MouseMove(Shift, X, Y);
  if (FListBox->Visible()) TrackList();
  const bool in = X >= Button.R.left && X < Button.R.right && Y >= Button.R.top && Y < Button.R.bottom;
  if (in != Button.MouseIn) {
    Button.MouseIn = in;
    Repaint();
  }
}

void TkxSkinCustomOfficeComboBox::MouseUp(TMouseButton Btn, TShiftState Shift, int X, int Y) {
  if (FLBDown && WasInLB) {
    ReleaseCapture();
    FLBDown = false;
    POINT sp;
    GetCursorPos(&sp);
    CloseUp(FListBox->HandleAllocated() && WindowFromPoint(sp) == FListBox->Handle());
  } else {
    FLBDown = false;
  }
  TkxSkinCustomControl::MouseUp(Btn, Shift, X, Y);
  if (Button.Down) {
    Button.Down = false;
    Repaint();
  }
}

bool TkxSkinCustomOfficeComboBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  TkxSkinCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
  if (WheelDelta > 0)
    FListBox->FindUp();
  else
    FListBox->FindDown();
  // With the list open only the list's selection moves; the face waits for the choice.
  if (!FListBox->Visible()) SetItemIndex(FListBox->ItemIndex());
  return true;
}

// ---- keys ---------------------------------------------------------------------------------------

void TkxSkinCustomOfficeComboBox::KeyDown(WORD& Key, TShiftState Shift) {
  TkxSkinCustomControl::KeyDown(Key, Shift);
  const bool alt = Shift.Contains(ssAlt);
  switch (Key) {
    case VK_RETURN:
      if (FListBox->Visible()) CloseUp(true);
      break;
    case VK_ESCAPE:
      if (FListBox->Visible()) CloseUp(false);
      break;
    case VK_PRIOR:
      FListBox->FindPageUp();
      SetItemIndex(FListBox->ItemIndex());
      break;
    case VK_NEXT:
      FListBox->FindPageDown();
      SetItemIndex(FListBox->ItemIndex());
      break;
    case VK_UP: case VK_LEFT:
      if (alt) {
        if (FListBox->Visible()) CloseUp(false);
      } else {
        FListBox->FindUp();
        SetItemIndex(FListBox->ItemIndex());
      }
      break;
    case VK_DOWN: case VK_RIGHT:
      if (alt) {
        if (!FListBox->Visible()) DropDown();
      } else {
        FListBox->FindDown();
        SetItemIndex(FListBox->ItemIndex());
      }
      break;
    default: break;
  }
}

void TkxSkinCustomOfficeComboBox::KeyPress(uint32_t& Key) { TkxSkinCustomControl::KeyPress(Key); }

// ---- messages -----------------------------------------------------------------------------------

void TkxSkinCustomOfficeComboBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      if (!FromWMPaint && Message.WParam) {
        TBitmap b;
        b.SetPixelFormat(pf24bit);
        b.SetSize(std::max(1, Width()), std::max(1, Height()));
        GetSkinData();
        if (FIndex == -1)
          CreateControlDefaultImage(&b);
        else
          CreateControlSkinImage(&b);
        BitBlt(reinterpret_cast<HDC>(Message.WParam), 0, 0, Width(), Height(), b.Canvas()->Handle(), 0, 0, SRCCOPY);
      }
      Message.Result = 1;
      return;
    case CM_ENABLEDCHANGED:
      TkxSkinCustomControl::Dispatch(Message);
      Repaint();
      return;
    case CM_CANCELMODE: {
      TkxSkinCustomControl::Dispatch(Message);
      auto* sender = reinterpret_cast<TControl*>(Message.LParam);
      if (sender != this && sender != FListBox && (!FListBox || sender != FListBox->ScrollBar)) CloseUp(false);
      return;
    }
    case CM_WANTSPECIALKEY:
      TkxSkinCustomControl::Dispatch(Message);
      if (Message.WParam >= VK_LEFT && Message.WParam <= VK_DOWN) Message.Result = 1;
      return;
    case WM_SETFOCUS:
      TkxSkinCustomControl::Dispatch(Message);
      Repaint();
      return;
    case WM_KILLFOCUS:
      TkxSkinCustomControl::Dispatch(Message);
      if (FListBox && FListBox->Visible()) CloseUp(false);
      Repaint();
      return;
    case WM_TIMER:
      TkxSkinCustomControl::Dispatch(Message);
      if (Message.WParam == kAutoScrollTimer) {
        if (FTimerMode == 1)
          FListBox->FindUp();
        else if (FTimerMode == 2)
          FListBox->FindDown();
      }
      return;
    case CM_MOUSEENTER:
      TkxSkinCustomControl::Dispatch(Message);
      FMouseIn = true;
      if ((FIndex != -1 && !IsEmptyRect(ActiveSkinRect)) || FToolButtonStyle) Invalidate();
      return;
    case CM_MOUSELEAVE:
      TkxSkinCustomControl::Dispatch(Message);
      FMouseIn = false;
      if (Button.MouseIn) {
        Button.MouseIn = false;
        Repaint();
      }
      if ((FIndex != -1 && !IsEmptyRect(ActiveSkinRect)) || FToolButtonStyle) Invalidate();
      return;
    case WM_SIZE:
      TkxSkinCustomControl::Dispatch(Message);
      CalcRects();
      return;
    default: TkxSkinCustomControl::Dispatch(Message); return;
  }
}

// ---- faces --------------------------------------------------------------------------------------

int32_t TkxSkinCustomOfficeComboBox::ShownIndex() const {
  return FListBox->Visible() ? FOldItemIndex : FListBox->ItemIndex();
}

bool TkxSkinCustomOfficeComboBox::HotOrFocused() { return FMouseIn || Focused(); }

void TkxSkinCustomOfficeComboBox::SetSkinFont(TFont* F, TColor Color) {
  if (FUseSkinFont && FIndex != -1) {
    F->SetName(FontName);
    F->SetStyle(FontStyle);
    F->SetHeight(FontHeight);
  } else {
    F->Assign(FDefaultFont.get());
  }
  F->SetCharset(SkinCharset(FDefaultFont.get()));
  F->SetColor(Color);
}

// The shown item inside R: owner drawing, or title, then caption with or without the image.
// AText, when given, stands for the item's caption (painting elsewhere).
void TkxSkinCustomOfficeComboBox::DrawContent(TCanvas* C, TRect R, int32_t Index, const std::string* AText,
                                              bool AllowOwnerDraw) {
  TkxSkinOfficeItems* items = FListBox->Items();
  if (!AText && (Index < 0 || Index >= items->Count())) return;
  C->Brush()->SetStyle(bsClear);
  if (!AText && AllowOwnerDraw && OnDrawItem) {
    OnDrawItem(C, Index, R);
    return;
  }
  TkxSkinOfficeItem* item = AText ? nullptr : items->GetItem(Index);
  const std::string caption = AText ? *AText : item->Caption();
  if (item && FShowItemText && FShowItemTitle && !item->Title().empty()) {
    const TFontStyles st = C->Font()->Style();
    C->Font()->SetStyle(st + fsBold);
    TRect T = R;
    T.bottom = T.top + TextHeightW(C, item->Title());
    DrawWideText(C, item->Title(), T, 0);
    C->Font()->SetStyle(st);
    R.top = T.bottom - 2;
  }
  if (FShowItemText && !FShowItemImage) {
    TextRectVCentered(C, caption, R);
  } else if (FShowItemImage) {
    DrawImageAndTextLeft(C, R, 0, 2, blGlyphLeft, FShowItemText ? caption : std::string(),
                         item ? item->ImageIndex() : -1, FListBox->Images(), false, Enabled(), false, clNone);
  }
}

void TkxSkinCustomOfficeComboBox::DrawMarker(TCanvas* C, const TRect& M, const TkxDataSkinButtonControl* Rec,
                                             bool Open, bool Hot, int32_t DownShift) {
  TRect src = Rec->MenuMarkerRect;
  if (Open && !IsEmptyRect(Rec->MenuMarkerDownRect))
    src = Rec->MenuMarkerDownRect;
  else if ((Open || Hot) && !IsEmptyRect(Rec->MenuMarkerActiveRect))
    src = Rec->MenuMarkerActiveRect;
  // The marker lies in the button record's own picture.
  TBitmap* pic = SkinPicture(Rec->PictureIndex);
  if (!RectInPicture(src, pic)) return;
  TBitmap m;
  m.SetPixelFormat(pf24bit);
  m.SetSize(RectWidth(src), RectHeight(src));
  m.Canvas()->CopyRect(TRect{0, 0, m.Width(), m.Height()}, pic->Canvas(), src);
  m.SetTransparentColor(Rec->MenuMarkerTransparentColor);
  m.SetTransparent(true);
  C->Draw(M.left + RectWidth(M) / 2 - m.Width() / 2, M.top + RectHeight(M) / 2 - m.Height() / 2 + DownShift, &m);
}

void TkxSkinCustomOfficeComboBox::PaintToolButton(TBitmap* B, const std::string* AText) {
  TCanvas* C = B->Canvas();
  const int32_t W = B->Width(), H = B->Height();
  const bool open = FDropDown;
  const bool hot = HotOrFocused();
  const int32_t shift = open ? 2 : 0;
  TRect R{2 + shift, 2 + shift, W - 17, H - 2};
  const TRect M{W - 15 + shift, shift, W, H};
  auto* rec = FIndex == -1 ? nullptr : SkinRecordNamed<TkxDataSkinButtonControl>("resizetoolbutton");
  if (FIndex != -1 && !rec) rec = SkinRecordNamed<TkxDataSkinButtonControl>("resizebutton");
  TBitmap* pic = rec ? SkinPicture(rec->PictureIndex) : nullptr;
  if (FIndex == -1 || !rec || !RectInPicture(rec->SkinRect, pic)) {
    // The plain tool button (also for a skin without a usable button record).
    DrawPlainButtonFace(C, TRect{0, 0, W, H}, PlainStateOf(open, hot));
    C->Font()->Assign(FDefaultFont.get());
    DrawContent(C, R, ShownIndex(), AText, false);
    DrawSmallDownArrow(C, M, C->Font()->Color());
    return;
  }
  TRect src = open ? rec->DownSkinRect : hot ? rec->ActiveSkinRect : rec->SkinRect;
  if (!RectInPicture(src, pic)) src = rec->SkinRect;
  BuildRecordImage(B, rec, pic, src);
  TColor color = open ? rec->DownFontColor : hot ? rec->ActiveFontColor : Enabled() ? rec->FontColor
                                                                                   : rec->DisabledFontColor;
  if (FUseSkinFont) {
    C->Font()->SetName(rec->FontName);
    C->Font()->SetStyle(rec->FontStyle);
    C->Font()->SetHeight(rec->FontHeight);
  } else {
    C->Font()->Assign(FDefaultFont.get());
  }
  C->Font()->SetCharset(SkinCharset(FDefaultFont.get()));
  C->Font()->SetColor(color);
  DrawContent(C, R, ShownIndex(), AText, false);
  if (!IsEmptyRect(rec->MenuMarkerRect))
    DrawMarker(C, M, rec, open, hot, 0);
  else
    DrawSmallDownArrow(C, M, open ? rec->DownFontColor : color);
}

void TkxSkinCustomOfficeComboBox::PaintDefaultField(TBitmap* B, const std::string* AText, bool ForPaintTo) {
  TCanvas* C = B->Canvas();
  const int32_t W = B->Width(), H = B->Height();
  PlainFill(C, TRect{0, 0, W, H}, kxPlain.Face);
  TRect r{0, 0, W, H};
  DrawPlainEdge(C, r, TkxPlainEdge::Flat);
  PlainFill(C, TRect{1, 1, W - 1, H - 1}, FDefaultColor);
  // The button.
  DrawPlainButtonFace(C, Button.R, PlainStateOf(Button.Down && Button.MouseIn, Button.MouseIn));
  DrawArrowImage(C, Button.R, Enabled() ? kxPlain.Mark : kxPlain.DisabledMark, kxakDown);
  if (ForPaintTo) {
    C->Font()->Assign(FDefaultFont.get());
    C->Brush()->SetStyle(bsClear);
    TextRectVCentered(C, AText ? *AText : std::string(), CBItem.R);
    return;
  }
  // The item, through a bitmap of its own.
  const int32_t iw = RectWidth(CBItem.R), ih = RectHeight(CBItem.R);
  if (iw < 1 || ih < 1) return;
  TBitmap ib;
  ib.SetPixelFormat(pf24bit);
  ib.SetSize(iw, ih);
  TCanvas* IC = ib.Canvas();
  const bool focused = Focused();
  IC->Font()->Assign(Font());
  IC->Font()->SetCharset(SkinCharset(FDefaultFont.get()));
  IC->Brush()->SetStyle(bsSolid);
  IC->Brush()->SetColor(focused ? clHighlight : FDefaultColor);
  IC->FillRect(TRect{0, 0, iw, ih});
  IC->Font()->SetColor(focused ? clHighlightText : FDefaultFont->Color());
  CBItem.State = TOwnerDrawState();
  if (focused) CBItem.State.Include(odFocused);
  DrawContent(IC, TRect{2, 0, iw - 2, ih}, ShownIndex(), nullptr, true);
  if (focused) {
    RECT fr{0, 0, iw, ih};
    DrawFocusRect(IC->Handle(), &fr);
  }
  C->Draw(CBItem.R.left, CBItem.R.top, &ib);
}

void TkxSkinCustomOfficeComboBox::PaintSkinField(TBitmap* B, const std::string* AText, bool ForPaintTo) {
  TCanvas* C = B->Canvas();
  const int32_t W = B->Width(), H = B->Height();
  const bool hot = HotOrFocused();
  // Background.
  if (!FUseSkinSize) {
    const TRect src = !ForPaintTo && hot && RectInPicture(ActiveSkinRect, Picture) ? ActiveSkinRect : SkinRect;
    StretchNinePartImage(B, Picture, src, ClRect, true);
  } else if (!IsEmptyRect(ActiveSkinRect) && hot && !ForPaintTo) {
    BuildHorzThreePartImage(LTPt.x, RectWidth(ActiveSkinRect) - RTPt.x, B, Picture, ActiveSkinRect, W, H,
                            StretchEffect);
  } else {
    TkxSkinCustomControl::CreateControlSkinImage(B);
  }
  // Button.
  const bool pressed = Button.Down && Button.MouseIn;
  if (FUseSkinSize) {
    TRect src{};
    if (!Enabled() && !IsEmptyRect(UnEnabledButtonRect))
      src = UnEnabledButtonRect;
    else if (pressed)
      src = DownButtonRect;
    else if (Button.MouseIn)
      src = ActiveButtonRect;
    if (RectInPicture(src, Picture)) C->CopyRect(Button.R, Picture->Canvas(), src);
  } else if (RectWidth(Button.R) > 0 && RectHeight(Button.R) > 0) {
    auto* rec = SkinRecordNamed<TkxDataSkinButtonControl>("combobutton");
    if (!rec) rec = SkinRecordNamed<TkxDataSkinButtonControl>("editbutton");
    if (!rec) rec = SkinRecordNamed<TkxDataSkinButtonControl>("resizebutton");
    TBitmap* pic = rec ? SkinPicture(rec->PictureIndex) : nullptr;
    if (rec && RectInPicture(rec->SkinRect, pic)) {
      TBitmap bb;
      bb.SetPixelFormat(pf24bit);
      bb.SetSize(RectWidth(Button.R), RectHeight(Button.R));
      TRect hotSrc = RectInPicture(rec->ActiveSkinRect, pic) ? rec->ActiveSkinRect : rec->SkinRect;
      TRect src = pressed ? (RectInPicture(rec->DownSkinRect, pic) ? rec->DownSkinRect : hotSrc)
                          : Button.MouseIn ? hotSrc : rec->SkinRect;
      BuildRecordImage(&bb, rec, pic, src);
      const TColor ac = pressed ? rec->DownFontColor : Button.MouseIn ? rec->ActiveFontColor : rec->FontColor;
      if (IsEmptyRect(rec->MenuMarkerRect)) {
        if (Enabled()) DrawArrowImage(bb.Canvas(), TRect{0, pressed ? 2 : 0, bb.Width(), bb.Height()}, ac, kxakDown);
      } else {
        DrawMarker(bb.Canvas(), TRect{0, 0, bb.Width(), bb.Height()}, rec, pressed, Button.MouseIn, pressed ? 1 : 0);
      }
      C->Draw(Button.R.left, Button.R.top, &bb);
    }
  }
  if (ForPaintTo) {
    C->Font()->SetName(FontName);
    C->Font()->SetStyle(FontStyle);
    C->Font()->SetHeight(FontHeight);
    C->Font()->SetColor(FontColor);
    C->Brush()->SetStyle(bsClear);
    TextRectVCentered(C, AText ? *AText : std::string(), CBItem.R);
    return;
  }
  // Item.
  const int32_t iw = RectWidth(CBItem.R);
  if (iw < 1 || RectHeight(CBItem.R) < 1) return;
  const bool focused = Focused();
  const bool hotItem = FMouseIn && !IsEmptyRect(ActiveItemRect) && !IsEmptyRect(ActiveSkinRect);
  const int32_t baseW = IsEmptyRect(SItemRect) ? RectWidth(ClRect) : RectWidth(SItemRect);
  int32_t ih = RectHeight(CBItem.R);
  if (FUseSkinSize)
    ih = !IsEmptyRect(SItemRect) ? RectHeight(SItemRect)
         : !IsEmptyRect(FocusItemRect) ? RectHeight(FocusItemRect) : ih;
  TBitmap ib;
  ib.SetPixelFormat(pf24bit);
  ib.SetSize(iw, std::max(1, ih));
  // The control's own pixels under the item, for strips the skin leaves out.
  ib.Canvas()->CopyRect(TRect{0, 0, iw, ib.Height()}, C,
                        TRect{CBItem.R.left, CBItem.R.top, CBItem.R.right, CBItem.R.top + ib.Height()});
  const TRect src = focused ? FocusItemRect : hotItem ? ActiveItemRect : SItemRect;
  if (RectInPicture(src, Picture)) {
    if (FUseSkinSize) {
      BuildHorzThreePartImage(ItemLeftOffset, ItemRightOffset, &ib, Picture, src, iw, ib.Height(),
                              focused ? FocusItemStretchEffect : ItemStretchEffect);
    } else {
      TRect inner = ItemTextRect;
      inner.right -= RectWidth(SItemRect) - RectWidth(src);
      inner.top -= RectHeight(src) - RectHeight(SItemRect);
      if (focused) inner = TRect{inner.left + 1, inner.top + 1, inner.right - 1, inner.bottom - 1};
      StretchNinePartImage(&ib, Picture, src, inner, true);
    }
  }
  TRect R = ItemTextRect;
  R.right += iw - baseW;
  if (!FUseSkinSize) {
    R.bottom += H - RectHeight(SkinRect);
    R.left += 1;
    R.right += 1;
  }
  TColor color = focused ? FocusFontColor : hotItem ? ActiveFontColor : FontColor;
  if (!Enabled() && FUseSkinSize) {
    auto* e = SkinRecordNamed<TkxDataSkinEditControl>("edit");
    color = e ? e->DisabledFontColor : clGrayText;
  }
  SetSkinFont(ib.Canvas()->Font(), color);
  if (focused && ShowFocus && !FUseSkinSize) {
    ib.Canvas()->Brush()->SetColor(SkinData()->SkinColors() ? SkinData()->SkinColors()->cBtnFace() : kxPlain.Face);
    DrawSkinFocusRect(ib.Canvas(), TRect{0, 0, iw, ib.Height()});
  }
  DrawContent(ib.Canvas(), R, ShownIndex(), nullptr, true);
  C->Draw(CBItem.R.left, CBItem.R.top, &ib);
}

void TkxSkinCustomOfficeComboBox::CreateControlDefaultImage(TBitmap* B) {
  CalcRects();
  if (FToolButtonStyle)
    PaintToolButton(B, nullptr);
  else
    PaintDefaultField(B, nullptr, false);
}

void TkxSkinCustomOfficeComboBox::CreateControlSkinImage(TBitmap* B) {
  CalcRects();
  if (FToolButtonStyle)
    PaintToolButton(B, nullptr);
  else
    PaintSkinField(B, nullptr, false);
}

void TkxSkinCustomOfficeComboBox::PaintSkinTo(TCanvas* C, int32_t X, int32_t Y, const std::string& AText) {
  if (!C || Width() < 1 || Height() < 1) return;
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(Width(), Height());
  GetSkinData();
  int32_t w = Width(), h = Height();
  if (FIndex != -1) CalcSkinSize(w, h);
  CalcRects();
  // The text stands in for the shown item's caption; the control's Text is left alone, so no
  // change is announced by painting.
  if (FToolButtonStyle)
    PaintToolButton(&b, &AText);
  else if (FIndex == -1)
    PaintDefaultField(&b, &AText, true);
  else
    PaintSkinField(&b, &AText, true);
  C->Draw(X, Y, &b);
}

// ---- streaming ----------------------------------------------------------------------------------

void RegisterSkinOfficeComboFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterSkinOfficeListFormClasses();
  using C = TkxSkinCustomOfficeComboBox;
  RegisterFormClass<TkxSkinCustomOfficeComboBox, TkxSkinCustomControl>("TkxSkinCustomOfficeComboBox")
      .Boolean("UseSkinSize", &C::SetUseSkinSize);
  RegisterFormClass<TkxSkinOfficeComboBox, TkxSkinCustomOfficeComboBox>("TkxSkinOfficeComboBox")
      .Boolean("ToolButtonStyle", &C::SetToolButtonStyle)
      .Boolean("HideSelection", &C::SetHideSelection)
      .Boolean("AlphaBlend", &C::SetAlphaBlend)
      .Boolean("AlphaBlendAnimation", &C::SetAlphaBlendAnimation)
      .Integer("AlphaBlendValue", [](C* c, int32_t v) { c->SetAlphaBlendValue(uint8_t(std::clamp(v, 0, 255))); })
      .Reference<TCustomImageList>("Images", &C::SetImages)
      .Boolean("ShowItemTitle", &C::SetShowItemTitle)
      .Boolean("ShowItemImage", &C::SetShowItemImage)
      .Boolean("ShowItemText", &C::SetShowItemText)
      .Integer("ListBoxWidth", &C::SetListBoxWidth)
      .Integer("ListBoxHeight", &C::SetListBoxHeight)
      .Object("ListBoxDefaultFont", &C::ListBoxDefaultFont)
      .Boolean("ListBoxUseSkinFont", &C::SetListBoxUseSkinFont)
      .Boolean("ListBoxShowItemTitles", &C::SetListBoxShowItemTitles)
      .Boolean("ListBoxShowLines", &C::SetListBoxShowLines)
      .Integer("ListBoxItemHeight", &C::SetListBoxItemHeight)
      .Integer("ListBoxHeaderHeight", &C::SetListBoxHeaderHeight)
      .String("ListBoxSkinDataName", &C::SetListBoxSkinDataName)
      .Integer("DefaultColor", [](C* c, int32_t v) { c->SetDefaultColor(TColor(v)); })
      .Collection("Items", &C::Items)
      .Integer("ItemIndex", &C::SetItemIndex)
      .Integer("DropDownCount", &C::SetDropDownCount)
      .Event<TNotifyEvent>("OnChange", &C::OnChange)
      .Event<TNotifyEvent>("OnClick", &C::OnClick)
      .Event<TNotifyEvent>("OnCloseUp", &C::OnCloseUp)
      .Event<TNotifyEvent>("OnDropDown", &C::OnDropDown);
}
