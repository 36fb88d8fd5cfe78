#include "lib/forms/kxSkinImagesMenu.h"

#include <algorithm>

#include "base/Clock.h"
#include "classlib/Forms.h"
#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/forms/kxSkinHint.h"
#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxUtilsLayer.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"

using namespace win;

namespace {

constexpr UINT_PTR kFadeTimer = 1;
constexpr uint64_t kFadeGap = 5;  // a fade step after more than this many milliseconds
constexpr int32_t kFadeStep = 10;
constexpr TColor kPlainPressed = TColor(0xB59385), kPlainHot = TColor(0xD2BDB6);

bool SkinLoaded(TkxSkinData* SD) { return SD && !SD->Empty; }

template <typename R>
R* ControlRecord(TkxSkinData* SD, const char* Name) {
  if (!SkinLoaded(SD)) return nullptr;
  const int32_t i = SD->GetControlIndex(Name);
  if (i < 0 || i >= int32_t(SD->CtrlList.size())) return nullptr;
  return dynamic_cast<R*>(SD->CtrlList[size_t(i)].get());
}

TkxDataSkinMenuItem* MenuItemRecord(TkxSkinData* SD) {
  if (!SkinLoaded(SD)) return nullptr;
  for (const char* name : {"menuitem", "MENUITEM"}) {
    const int32_t i = SD->GetIndex(name);
    if (i >= 0 && i < int32_t(SD->ObjectList.size()))
      if (auto* r = dynamic_cast<TkxDataSkinMenuItem*>(SD->ObjectList[size_t(i)].get())) return r;
  }
  return nullptr;
}

TBitmap* PictureAt(TkxSkinData* SD, int32_t Index) {
  if (!SD || Index < 0 || Index >= int32_t(SD->FActivePictures.size())) return nullptr;
  TBitmap* b = SD->FActivePictures[size_t(Index)].get();
  return b && b->Width() > 0 && b->Height() > 0 ? b : nullptr;
}

}  // namespace

// ---- items ---------------------------------------------------------------------------------------

TkxImagesMenuItem::TkxImagesMenuItem(const TItemSlot& Collection) : TCollectionItem(Collection) {}

void TkxImagesMenuItem::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TkxImagesMenuItem*>(Source)) {
    FImageIndex = s->FImageIndex;
    FCaption = s->FCaption;
    FButton = s->FButton;
    FHint = s->FHint;
    return;
  }
  TCollectionItem::Assign(Source);
}

TkxImagesMenuItems::TkxImagesMenuItems(TkxSkinImagesMenu* AImagesMenu)
    : TCollection(CollectionItemClassOf<TkxImagesMenuItem>(), AImagesMenu), ImagesMenu(AImagesMenu) {}

// ---- the grid window -----------------------------------------------------------------------------

TkxSkinImagesMenuPopupWindow::TkxSkinImagesMenuPopupWindow(TkxSkinImagesMenu* AImagesMenu)
    : TCustomControl(AImagesMenu), ImagesMenu(AImagesMenu) {
  // The grid takes and keeps the capture itself while open.
  FControlStyle.Exclude(csCaptureMouse);
  SetVisible(false);
}

TkxSkinImagesMenuPopupWindow::~TkxSkinImagesMenuPopupWindow() {
  StopFade();
  // Freed while open (its menu went): give back what Show took, telling no one.
  if (FHooked && Application) Application->OnMessage = OldAppMessage;
  FHooked = false;
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  FRgn = nullptr;  // the window frees its region with its handle
}

void TkxSkinImagesMenuPopupWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WndParent = nullptr;
  Params.WindowClass.style |= CS_SAVEBITS | CS_DROPSHADOW;
}

void TkxSkinImagesMenuPopupWindow::CheckSkinSupport() {
  TkxSkinData* sd = ImagesMenu->SkinData();
  FSkinSupport = SkinLoaded(sd) && sd->PopupWindow && PictureAt(sd, sd->PopupWindow->WindowPictureIndex);
}

void TkxSkinImagesMenuPopupWindow::LayoutItems() {
  TkxImagesMenuItems* items = ImagesMenu->ImagesItems();
  TCustomImageList* il = ImagesMenu->Images();
  const int32_t cw = il->Width() + 10, ch = il->Height() + 10;
  const int32_t rw = ImagesMenu->ColumnsCount() * cw;
  FRowWidth = rw;
  TkxSkinData* sd = ImagesMenu->SkinData();
  int32_t left = 5, top = 5;
  if (FSkinSupport) {
    left = sd->PopupWindow->ItemsRect.left;
    top = sd->PopupWindow->ItemsRect.top;
  }
  auto* label = ControlRecord<TkxDataSkinControl>(sd, "label");
  const int32_t headerHeight = label ? RectHeight(label->SkinRect) : ch;
  int32_t x = left;
  for (int i = 0; i < items->Count(); ++i) {
    TkxImagesMenuItem* it = items->Items(i);
    if (it->Header() || it->Button()) {
      if (x != left) top += ch + 1;  // a row of cells is open: close it
      const int32_t h = it->Header() ? headerHeight : ch;
      it->ItemRect = TRect{left, top, left + rw, top + h};
      top += h + 1;
      x = left;
      continue;
    }
    it->ItemRect = TRect{x, top, x + cw, top + ch};
    x += cw;
    if (x + cw > left + rw) {
      x = left;
      top += ch + 1;
    }
  }
}

void TkxSkinImagesMenuPopupWindow::CalcSize() {
  CheckSkinSupport();
  LayoutItems();
  TkxImagesMenuItems* items = ImagesMenu->ImagesItems();
  const int32_t d = items->Items(items->Count() - 1)->ItemRect.bottom - items->Items(0)->ItemRect.top;
  const int32_t rw = FRowWidth;
  int32_t W = rw + 10, H = d + 10;
  WindowPicture = MaskPicture = nullptr;
  if (FSkinSupport) {
    TkxSkinData* sd = ImagesMenu->SkinData();
    const TkxDataSkinPopupWindow& r = *sd->PopupWindow;
    WindowPicture = PictureAt(sd, r.WindowPictureIndex);
    MaskPicture = PictureAt(sd, r.MaskPictureIndex);
    const int32_t pw = WindowPicture->Width(), ph = WindowPicture->Height();
    W = pw + rw - RectWidth(r.ItemsRect);
    H = ph + d - RectHeight(r.ItemsRect);
    NewLTPoint = r.LTPoint;
    NewRTPoint = TPoint{W + r.RTPoint.x - pw, r.RTPoint.y};
    NewLBPoint = TPoint{r.LBPoint.x, H + r.LBPoint.y - ph};
    NewRBPoint = TPoint{W + r.RBPoint.x - pw, H + r.RBPoint.y - ph};
    NewItemsRect = TRect{r.ItemsRect.left, r.ItemsRect.top, W + r.ItemsRect.right - pw, H + r.ItemsRect.bottom - ph};
  } else {
    NewItemsRect = TRect{2, 2, W - 2, H - 2};
  }
  SetBounds(Left(), Top(), W, H);
  if (MaskPicture) {
    const TkxDataSkinPopupWindow& r = *ImagesMenu->SkinData()->PopupWindow;
    HRGN rgn = nullptr;
    RegionFromNinePartMask(rgn, r.LTPoint, r.RTPoint, r.LBPoint, r.RBPoint, r.ItemsRect, NewLTPoint, NewRTPoint,
                           NewLBPoint, NewRBPoint, NewItemsRect, MaskPicture, W, H);
    // The window takes the region and frees the one it held.
    if (SetWindowRgn(Handle(), rgn, TRUE)) FRgn = rgn;
    else if (rgn) DeleteObject(rgn);
  }
}

void TkxSkinImagesMenuPopupWindow::Show(TRect PopupRect) {
  HWND h = Handle();
  CalcSize();
  const int32_t W = Width(), H = Height();
  TRect WA{};
  if (Screen && Screen->ActiveCustomForm()) {
    GetMonitorWorkArea(Screen->ActiveCustomForm()->Handle(), true, WA);
  } else if (Application && Application->MainForm() && Application->MainForm()->Visible()) {
    GetMonitorWorkArea(Application->MainForm()->Handle(), true, WA);
  } else if (auto* owner = dynamic_cast<TWinControl*>(ImagesMenu->Owner()); owner && owner->HandleAllocated()) {
    GetMonitorWorkArea(owner->Handle(), true, WA);
  } else {
    GetScreenWorkArea(true, WA);
  }
  int32_t x = PopupRect.left, y = PopupRect.bottom;
  if (y + H > WA.bottom) y = PopupRect.top - H;
  if (x + W > WA.right) x = WA.right - W;
  x = std::max(x, int32_t(WA.left));
  y = std::max(y, int32_t(WA.top));

  const bool blend = ImagesMenu->AlphaBlend(), anim = blend && ImagesMenu->AlphaBlendAnimation();
  if (blend) {
    SetWindowLongPtr(h, GWL_EXSTYLE, GetWindowLongPtr(h, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAlpha(h, anim ? 0 : ImagesMenu->AlphaBlendValue());
  }
  SetBounds(x, y, W, H);
  SetWindowPos(h, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  SetVisible(true);
  FShown = true;
  if (anim) {
    // The fade runs on a timer, so a grid closed meanwhile simply ends it.
    FFadeTarget = ImagesMenu->AlphaBlendValue();
    FFadeAlpha = 0;
    FLastFadeTick = GetTickCount64();
    FFading = FFadeTarget > 0;
    if (FFading) SetTimer(h, kFadeTimer, 1, nullptr);
  }
  if (Application) {
    OldAppMessage = Application->OnMessage;
    Application->OnMessage = [this](MSG& Msg, bool& Handled) { AppMessageProc(Msg, Handled); };
    FHooked = true;
  }
  SetCapture(h);
}

void TkxSkinImagesMenuPopupWindow::StopFade() {
  if (FFading && HandleAllocated()) KillTimer(Handle(), kFadeTimer);
  FFading = false;
}

void TkxSkinImagesMenuPopupWindow::FadeTick() {
  if (!FFading) return;
  const uint64_t now = GetTickCount64();
  if (now - FLastFadeTick <= kFadeGap) return;
  FLastFadeTick = now;
  FFadeAlpha = std::min(FFadeAlpha + kFadeStep, FFadeTarget);
  SetLayeredWindowAlpha(Handle(), uint8_t(FFadeAlpha));
  if (FFadeAlpha >= FFadeTarget) StopFade();
}

void TkxSkinImagesMenuPopupWindow::HideSkinHint() {
  if (ImagesMenu->ShowHints() && ImagesMenu->SkinHint()) ImagesMenu->SkinHint()->HideHint();
}

void TkxSkinImagesMenuPopupWindow::Hide(bool AProcessEvents) {
  // Closing is reached from several handlers of one message (a key, then the loss of the
  // capture): only the first one counts.
  if (!FShown) return;
  FShown = false;
  StopFade();
  HideSkinHint();
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
  SetVisible(false);
  if (FHooked && Application) Application->OnMessage = OldAppMessage;
  FHooked = false;
  OldAppMessage = nullptr;
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  ImagesMenu->PopupClosed(AProcessEvents);
}

int32_t TkxSkinImagesMenuPopupWindow::ItemAtPos(TPoint P) {
  TkxImagesMenuItems* items = ImagesMenu->ImagesItems();
  for (int i = 0; i < items->Count(); ++i) {
    TkxImagesMenuItem* it = items->Items(i);
    if (!it->Header() && IsPointInsideRect(it->ItemRect, P)) return i;
  }
  return -1;
}

void TkxSkinImagesMenuPopupWindow::HotTrack(int X, int Y) {
  MouseInItem = ItemAtPos(TPoint{X, Y});
  TkxSkinHint* hint = ImagesMenu->SkinHint();
  if (hint && MouseInItem == -1) hint->HideHint();
  if (MouseInItem == OldMouseInItem) return;
  OldMouseInItem = MouseInItem;
  Repaint();
  if (ImagesMenu->ShowHints() && hint && MouseInItem != -1) {
    hint->HideHint();
    const std::string& text = ImagesMenu->ImagesItems()->Items(MouseInItem)->Hint();
    if (!text.empty()) hint->ActivateHint2(text);
  }
}

void TkxSkinImagesMenuPopupWindow::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (FShown) HotTrack(X, Y);
}

void TkxSkinImagesMenuPopupWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (!FShown) return;
  HideSkinHint();
  FDown = true;
  FItemDown = ItemAtPos(TPoint{X, Y}) != -1;
  Repaint();
}

void TkxSkinImagesMenuPopupWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (!FShown) return;
  const int32_t i = ItemAtPos(TPoint{X, Y});
  if (FDown && i != -1) {
    ImagesMenu->SetItemIndex(i);
    Hide(true);
    return;
  }
  if (GetCapture() == Handle()) ReleaseCapture();
  SetCapture(Handle());
}

void TkxSkinImagesMenuPopupWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case CM_MOUSEENTER: return;
    case CM_MOUSELEAVE:
      HideSkinHint();
      MouseInItem = OldMouseInItem = -1;
      if (FShown) Repaint();
      return;
    case CM_RELEASE: delete this; return;
    case WM_TIMER:
      if (Message.WParam == kFadeTimer) {
        FadeTick();
        return;
      }
      break;
    default: break;
  }
  TCustomControl::Dispatch(Message);
  if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && FShown) {
    // With the capture every press comes here: one outside the grid closes it.
    POINT p{};
    GetCursorPos(&p);
    if (WindowFromPoint(p) != Handle()) Hide(false);
  }
}

void TkxSkinImagesMenuPopupWindow::AppMessageProc(MSG& Msg, bool&) {
  switch (Msg.message) {
    case WM_MOVE: case WM_SIZE: case WM_ACTIVATE: case WM_KILLFOCUS: case WM_CANCELMODE:
    case WM_MOUSEACTIVATE: case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN:
    case WM_SYSKEYDOWN: case WM_SYSCHAR: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_PARENTNOTIFY:
      Hide(false);
      return;
    case WM_KEYDOWN:
      ProcessKey(int32_t(Msg.wParam));
      // Blanked: the focused control never sees a key meant for the grid.
      Msg.message = 0;
      return;
    default: return;
  }
}

int32_t TkxSkinImagesMenuPopupWindow::FirstSelectable() const {
  TkxImagesMenuItems* items = ImagesMenu->ImagesItems();
  if (items->Count() == 0) return -1;
  if (items->Items(0)->Header()) return items->Count() > 1 ? 1 : -1;
  return 0;
}

void TkxSkinImagesMenuPopupWindow::ProcessKey(int32_t Key) {
  switch (Key) {
    case VK_RETURN: case VK_SPACE:
      if (MouseInItem != -1) ImagesMenu->SetItemIndex(MouseInItem);
      Hide(true);
      return;
    case VK_ESCAPE: Hide(false); return;
    case VK_RIGHT: SelectRight(); break;
    case VK_LEFT: SelectLeft(); break;
    case VK_DOWN: SelectDown(); break;
    case VK_UP: SelectUp(); break;
    default: return;
  }
  OldMouseInItem = MouseInItem;
  Repaint();
}

void TkxSkinImagesMenuPopupWindow::SelectRight() {
  TkxImagesMenuItems* items = ImagesMenu->ImagesItems();
  const int32_t n = items->Count();
  if (MouseInItem == -1 || MouseInItem == n - 1) {
    MouseInItem = FirstSelectable();
    return;
  }
  for (int32_t i = MouseInItem + 1; i < n; ++i)
    if (!items->Items(i)->Header()) {
      MouseInItem = i;
      return;
    }
}

void TkxSkinImagesMenuPopupWindow::SelectLeft() {
  TkxImagesMenuItems* items = ImagesMenu->ImagesItems();
  const int32_t n = items->Count();
  if (n == 0) return;
  if (MouseInItem == -1 || MouseInItem == 0 || (MouseInItem == 1 && items->Items(0)->Header() && n > 1)) {
    MouseInItem = n - 1;
    return;
  }
  for (int32_t i = MouseInItem - 1; i >= 0; --i)
    if (!items->Items(i)->Header()) {
      MouseInItem = i;
      return;
    }
}

void TkxSkinImagesMenuPopupWindow::SelectDown() {
  TkxImagesMenuItems* items = ImagesMenu->ImagesItems();
  if (MouseInItem == -1) {
    MouseInItem = FirstSelectable();
    return;
  }
  const TRect hot = items->Items(MouseInItem)->ItemRect;
  for (int32_t i = MouseInItem + 1; i < items->Count(); ++i) {
    TkxImagesMenuItem* it = items->Items(i);
    if (!it->Header() && it->ItemRect.top > hot.top && (it->Button() || it->ItemRect.left == hot.left)) {
      MouseInItem = i;
      return;
    }
  }
}

void TkxSkinImagesMenuPopupWindow::SelectUp() {
  TkxImagesMenuItems* items = ImagesMenu->ImagesItems();
  if (MouseInItem == -1) {
    MouseInItem = items->Count() - 1;
    return;
  }
  const TRect hot = items->Items(MouseInItem)->ItemRect;
  for (int32_t i = MouseInItem - 1; i >= 0; --i) {
    TkxImagesMenuItem* it = items->Items(i);
    if (!it->Header() && it->ItemRect.top < hot.top && (it->Button() || it->ItemRect.left == hot.left)) {
      MouseInItem = i;
      return;
    }
  }
}

// ---- painting ------------------------------------------------------------------------------------

void TkxSkinImagesMenuPopupWindow::Paint() {
  CheckSkinSupport();
  auto buffer = NewSkinImage(Width(), Height());
  TBitmap* B = buffer.get();
  TkxSkinData* sd = ImagesMenu->SkinData();
  TBitmap* pic = FSkinSupport ? PictureAt(sd, sd->PopupWindow->WindowPictureIndex) : nullptr;
  if (pic) {
    const TkxDataSkinPopupWindow& r = *sd->PopupWindow;
    BuildNinePartWindowImage(r.LTPoint, r.RTPoint, r.LBPoint, r.RBPoint, r.ItemsRect, NewLTPoint, NewRTPoint,
                             NewLBPoint, NewRBPoint, NewItemsRect, B, pic, TRect{0, 0, pic->Width(), pic->Height()},
                             Width(), Height(), true, r.LeftStretch, r.TopStretch, r.RightStretch, r.BottomStretch,
                             r.StretchEffect, r.StretchType);
  } else {
    TCanvas* c = B->Canvas();
    c->Pen()->SetColor(clBtnShadow);
    c->Brush()->SetColor(clWindow);
    c->Rectangle(0, 0, B->Width(), B->Height());
  }
  DrawItems(B->Canvas());
  Canvas()->Draw(0, 0, B);
}

void TkxSkinImagesMenuPopupWindow::DrawItems(TCanvas* C) {
  TkxImagesMenuItems* items = ImagesMenu->ImagesItems();
  TCustomImageList* il = ImagesMenu->Images();
  const int32_t s = ImagesMenu->ShowSelectedItem() ? ImagesMenu->ItemIndex() : -1;
  const int32_t h = MouseInItem;
  for (int32_t i = 0; i < items->Count(); ++i) {
    TkxImagesMenuItem* it = items->Items(i);
    const TRect& R = it->ItemRect;
    if (it->Header()) {
      DrawHeader(C, R, it->Caption());
      continue;
    }
    if (i == s && !FItemDown) DrawItemFrame(C, R, true);
    else if (i == h) DrawItemFrame(C, R, FItemDown);
    int32_t textLeft = R.left;
    if (il && it->ImageIndex() >= 0 && it->ImageIndex() < il->Count()) {
      il->Draw(C, R.left + 5, R.top + 5, it->ImageIndex(), true);
      textLeft = R.left + 5 + il->Width() + 5;
    }
    if (it->Button() && !it->Caption().empty()) {
      const bool pressed = (i == s && !FItemDown) || (i == h && FItemDown);
      const bool hot = i == h && !FItemDown;
      DrawButtonText(C, it->Caption(), TRect{textLeft, R.top, R.right, R.bottom}, pressed, hot);
    }
  }
}

void TkxSkinImagesMenuPopupWindow::DrawItemFrame(TCanvas* C, const TRect& R, bool Pressed) {
  TkxSkinData* sd = ImagesMenu->SkinData();
  TkxDataSkinButtonControl* rec = nullptr;
  if (FSkinSupport) {
    rec = ControlRecord<TkxDataSkinButtonControl>(sd, "menuitembutton");
    if (!rec) rec = ControlRecord<TkxDataSkinButtonControl>(sd, "resizebutton");
  }
  TBitmap* pic = rec ? PictureAt(sd, rec->PictureIndex) : nullptr;
  if (rec && pic) {
    TRect src = Pressed && !IsEmptyRect(rec->DownSkinRect) ? rec->DownSkinRect : rec->ActiveSkinRect;
    if (IsEmptyRect(src)) src = rec->SkinRect;
    if (RectInPicture(src, pic)) {
      const int32_t w = RectWidth(R), hh = RectHeight(R);
      const int32_t dx = w - RectWidth(src), dy = hh - RectHeight(src);
      auto b = NewSkinImage(w, hh);
      BuildNinePartImage(rec->LTPoint, rec->RTPoint, rec->LBPoint, rec->RBPoint, rec->ClRect, rec->LTPoint,
                         TPoint{rec->RTPoint.x + dx, rec->RTPoint.y}, TPoint{rec->LBPoint.x, rec->LBPoint.y + dy},
                         TPoint{rec->RBPoint.x + dx, rec->RBPoint.y + dy},
                         TRect{rec->ClRect.left, rec->ClRect.top, rec->ClRect.right + dx, rec->ClRect.bottom + dy},
                         b.get(), pic, src, w, hh, true, rec->LeftStretch, rec->TopStretch, rec->RightStretch,
                         rec->BottomStretch, rec->StretchEffect, rec->StretchType);
      C->Draw(R.left, R.top, b.get());
      return;
    }
  }
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Pressed ? kPlainPressed : kPlainHot);
  C->FillRect(R);
  C->Brush()->SetColor(clNavy);
  C->FrameRect(R);
}

void TkxSkinImagesMenuPopupWindow::DrawButtonText(TCanvas* C, const std::string& Caption, TRect R, bool Pressed,
                                                  bool Hot) {
  TkxSkinData* sd = ImagesMenu->SkinData();
  TkxDataSkinMenuItem* mi = FSkinSupport ? MenuItemRecord(sd) : nullptr;
  TkxDataSkinButtonControl* rec = nullptr;
  if (mi) {
    rec = ControlRecord<TkxDataSkinButtonControl>(sd, "menuitembutton");
    if (!rec) rec = ControlRecord<TkxDataSkinButtonControl>(sd, "resizebutton");
  }
  TFont* f = C->Font();
  if (mi && rec) {
    if (ImagesMenu->UseSkinFont()) {
      f->SetName(rec->FontName);
      f->SetHeight(rec->FontHeight);
      f->SetStyle(rec->FontStyle);
    } else {
      f->Assign(ImagesMenu->DefaultFont());
    }
    if (sd->ResourceStrData()) f->SetCharset(sd->ResourceStrData()->CharSet());
    else f->SetCharset(ImagesMenu->DefaultFont()->Charset());
    f->SetColor(Pressed ? rec->DownFontColor : Hot ? rec->ActiveFontColor : mi->FontColor);
  } else {
    f->Assign(ImagesMenu->DefaultFont());
    f->SetColor(clWindowText);
  }
  C->Brush()->SetStyle(bsClear);
  UINT fmt = DT_SINGLELINE | DT_VCENTER;
  if (TextWidthW(C, Caption) <= RectWidth(R)) fmt |= DT_CENTER;
  DrawWideText(C, Caption, R, fmt);
}

void TkxSkinImagesMenuPopupWindow::DrawHeader(TCanvas* C, const TRect& R, const std::string& Caption) {
  TkxSkinData* sd = ImagesMenu->SkinData();
  auto* rec = ControlRecord<TkxDataSkinLabelControl>(sd, "label");
  TBitmap* pic = rec ? PictureAt(sd, rec->PictureIndex) : nullptr;
  if (rec) {
    const int32_t w = RectWidth(R), hh = RectHeight(rec->SkinRect);
    auto b = NewSkinImage(w, hh);
    if (pic)
      BuildHorzThreePartImage(rec->LTPoint.x, RectWidth(rec->SkinRect) - rec->RTPoint.x, b.get(), pic, rec->SkinRect, w,
                              hh, rec->StretchEffect);
    TCanvas* bc = b->Canvas();
    bc->Font()->SetColor(rec->FontColor);
    bc->Font()->SetName(rec->FontName);
    bc->Font()->SetHeight(rec->FontHeight);
    bc->Font()->SetStyle(rec->FontStyle);
    bc->Font()->SetCharset(C->Font()->Charset());
    bc->Brush()->SetStyle(bsClear);
    TRect tr{rec->ClRect.left, rec->ClRect.top, w - (RectWidth(rec->SkinRect) - rec->ClRect.right), hh};
    DrawWideText(bc, Caption, tr, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    C->Draw(R.left, R.top, b.get());
    return;
  }
  TRect r = R;
  C->Brush()->SetStyle(bsClear);
  DrawWideText(C, Caption, r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

// ---- the menu ------------------------------------------------------------------------------------

TkxSkinImagesMenu::TkxSkinImagesMenu(TComponent* AOwner)
    : TComponent(AOwner), FImagesItems(std::make_unique<TkxImagesMenuItems>(this)),
      FDefaultFont(std::make_unique<TFont>()) {
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetStyle(TFontStyles{});
  FDefaultFont->SetHeight(14);
}

TkxSkinImagesMenu::~TkxSkinImagesMenu() {
  // An open grid goes without events: nobody is told of a menu being freed.
  delete FPopupWindow;
  FPopupWindow = nullptr;
}

void TkxSkinImagesMenu::SetSkinHint(TkxSkinHint* Value) { FSkinHint.Set(Value); }

void TkxSkinImagesMenu::SetImagesItems(TkxImagesMenuItems* Value) { FImagesItems->Assign(Value); }

void TkxSkinImagesMenu::SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }

void TkxSkinImagesMenu::SetColumnsCount(int32_t Value) {
  if (Value >= 1 && Value <= 50) FColumnsCount = Value;
}

void TkxSkinImagesMenu::SetAlphaBlendValue(int32_t Value) { FAlphaBlendValue = uint8_t(std::clamp(Value, 0, 255)); }

TkxImagesMenuItem* TkxSkinImagesMenu::SelectedItem() const {
  if (FItemIndex < 0 || FItemIndex >= FImagesItems->Count()) return nullptr;
  return FImagesItems->Items(FItemIndex);
}

void TkxSkinImagesMenu::Popup(int32_t X, int32_t Y) { PopupFromRect(TRect{X, Y, X, Y}); }

void TkxSkinImagesMenu::PopupFromRect(TRect R) {
  if (FPopupWindow) Hide();
  if (OnMenuPopup) OnMenuPopup(this);
  TCustomImageList* il = Images();
  // Nothing to show: no pictures, or no items to lay out.
  if (!il || il->Count() == 0 || FImagesItems->Count() == 0) return;
  FOldItemIndex = FItemIndex;
  FPopupWindow = new TkxSkinImagesMenuPopupWindow(this);
  FPopupWindow->Show(R);
}

void TkxSkinImagesMenu::Hide() {
  if (FPopupWindow) FPopupWindow->Hide(false);
}

void TkxSkinImagesMenu::PopupClosed(bool AProcessEvents) {
  TkxSkinImagesMenuPopupWindow* w = FPopupWindow;
  if (!w) return;
  FPopupWindow = nullptr;
  // Freed once the message being handled is done: its handlers may still be on the stack.
  if (w->HandleAllocated()) PostMessage(w->Handle(), CM_RELEASE, 0, 0);
  else delete w;
  if (OnInternalMenuClose) OnInternalMenuClose(this);
  if (OnMenuClose) OnMenuClose(this);
  if (!AProcessEvents) return;
  TkxImagesMenuItem* item = SelectedItem();
  if (!item) return;
  if (item->OnClick) item->OnClick(this);
  if (OnItemClick) OnItemClick(this);
  if (FItemIndex != FOldItemIndex) {
    if (OnInternalChange) OnInternalChange(this);
    if (OnChange) OnChange(this);
  }
}

// ---- streaming -----------------------------------------------------------------------------------

void RegisterSkinImagesMenuFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxImagesMenuItem, TCollectionItem>("TkxImagesMenuItem")
      .Integer("ImageIndex", &TkxImagesMenuItem::SetImageIndex)
      .String("Caption", &TkxImagesMenuItem::SetCaption)
      .Boolean("Button", &TkxImagesMenuItem::SetButton)
      .Boolean("Header", &TkxImagesMenuItem::SetHeader)
      .String("Hint", &TkxImagesMenuItem::SetHint)
      .Event<TNotifyEvent>("OnClick", &TkxImagesMenuItem::OnClick);
  RegisterFormClass<TkxSkinImagesMenu, TComponent>("TkxSkinImagesMenu")
      .Reference<TCustomImageList>("Images", &TkxSkinImagesMenu::SetImages)
      .Reference<TkxSkinHint>("SkinHint", &TkxSkinImagesMenu::SetSkinHint)
      .Boolean("ShowHints", &TkxSkinImagesMenu::SetShowHints)
      .Collection("ImagesItems", &TkxSkinImagesMenu::ImagesItems)
      .Integer("ItemIndex", &TkxSkinImagesMenu::SetItemIndex)
      .Boolean("UseSkinFont", &TkxSkinImagesMenu::SetUseSkinFont)
      .Object("DefaultFont", &TkxSkinImagesMenu::DefaultFont)
      .Integer("ColumnsCount", &TkxSkinImagesMenu::SetColumnsCount)
      .Reference<TkxSkinData>("SkinData", &TkxSkinImagesMenu::SetSkinData)
      .Boolean("ShowSelectedItem", &TkxSkinImagesMenu::SetShowSelectedItem)
      .Boolean("AlphaBlend", &TkxSkinImagesMenu::SetAlphaBlend)
      .Boolean("AlphaBlendAnimation", &TkxSkinImagesMenu::SetAlphaBlendAnimation)
      .Integer("AlphaBlendValue", [](TkxSkinImagesMenu* m, int32_t v) {
        if (v < 0 || v > 255) throw EFormValueError("AlphaBlendValue is 0..255");
        m->SetAlphaBlendValue(v);
      })
      .Event<TNotifyEvent>("OnItemClick", &TkxSkinImagesMenu::OnItemClick)
      .Event<TNotifyEvent>("OnChange", &TkxSkinImagesMenu::OnChange)
      .Event<TNotifyEvent>("OnMenuPopup", &TkxSkinImagesMenu::OnMenuPopup)
      .Event<TNotifyEvent>("OnMenuClose", &TkxSkinImagesMenu::OnMenuClose);
}
