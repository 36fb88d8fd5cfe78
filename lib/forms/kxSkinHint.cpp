#include "lib/forms/kxSkinHint.h"

#include <algorithm>

#include "base/Clock.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinCtrls.h"
#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxUtilsLayer.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"

using namespace win;

namespace {

constexpr UINT_PTR kFadeTimer = 1;
constexpr uint64_t kFadeGap = 3;  // a fade step after more than this many milliseconds

// The component whose handler sits in Application.OnShowHint, so that it can take it back out
// when it goes (the application would otherwise call into a freed component).
TkxSkinHint* gShowHintOwner = nullptr;

int32_t TextWidthOf(TCanvas* C, const std::string& S, int32_t& H) {
  TRect r{0, 0, 0, 0};
  DrawWideText(C, S, r, DT_CALCRECT);
  H = RectHeight(r);
  return RectWidth(r);
}

}  // namespace

// ---- TkxSkinHintWindow ---------------------------------------------------------------------------

TkxSkinHintWindow::TkxSkinHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}

TkxSkinHintWindow::~TkxSkinHintWindow() {
  StopFade();
  // The window frees its region with its handle.
  FRgn = nullptr;
}

void TkxSkinHintWindow::CreateParams(TCreateParams& Params) {
  THintWindow::CreateParams(Params);
  // The frame is the skin's picture (or painted by Paint): no system border.
  Params.Style &= ~DWORD(WS_BORDER);
  Params.WindowClass.style |= CS_DROPSHADOW;
}

void TkxSkinHintWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCPAINT: return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_TIMER:
      if (Message.WParam == kFadeTimer) {
        FadeTick();
        return;
      }
      break;
    case WM_DESTROY:
      // A new handle starts without region and layered state.
      StopFade();
      FRgn = nullptr;
      FOldAlphaBlend = false;
      FOldAlphaBlendValue = 0;
      break;
    default: break;
  }
  THintWindow::Dispatch(Message);
}

TBitmap* TkxSkinHintWindow::HintPicture() const {
  TkxSkinData* sd = FSD;
  if (!sd || !sd->HintWindow) return nullptr;
  const int32_t i = sd->HintWindow->WindowPictureIndex;
  if (i < 0 || i >= int32_t(sd->FActivePictures.size())) return nullptr;
  TBitmap* b = sd->FActivePictures[size_t(i)].get();
  return b && b->Width() > 0 && b->Height() > 0 ? b : nullptr;
}

void TkxSkinHintWindow::ChooseSkin() {
  TkxSkinData* sd = FspHint ? FspHint->SkinData() : nullptr;
  FSD.Set(sd && !sd->Empty && sd->HintWindow && sd->HintWindow->WindowPictureIndex != -1 ? sd : nullptr);
  // A picture index past the skin's pictures means no picture: the plain look.
  if (FSD && !HintPicture()) FSD.Set(nullptr);
}

bool TkxSkinHintWindow::ValidImage() const {
  TCustomImageList* il = FImageList.Get();
  return il && FImageIndex >= 0 && FImageIndex < il->Count();
}

void TkxSkinHintWindow::PrepareFont(TCanvas* C) {
  TkxSkinHint* h = FspHint;
  if (!h) return;
  TFont* f = C->Font();
  if (FSD && h->UseSkinFont()) {
    const TkxDataSkinHintWindow& r = *FSD->HintWindow;
    f->SetHeight(r.FontHeight);
    f->SetName(r.FontName);
    f->SetStyle(r.FontStyle);
  } else {
    f->Assign(h->DefaultFont());
  }
  TkxSkinData* sd = h->SkinData();
  if (sd && sd->ResourceStrData()) f->SetCharset(sd->ResourceStrData()->CharSet());
  else f->SetCharset(h->DefaultFont()->Charset());
  f->SetColor(FSD ? FSD->HintWindow->FontColor : clInfoText);
}

void TkxSkinHintWindow::FitSkinFrame(int32_t& W, int32_t& H, int32_t Extra) {
  TBitmap* pic = HintPicture();
  const TkxDataSkinHintWindow& r = *FSD->HintWindow;
  const int32_t pw = pic->Width(), ph = pic->Height();
  W = W + r.ClRect.left + (pw - r.ClRect.right) + Extra;
  H = H + r.ClRect.top + (ph - r.ClRect.bottom);
  int32_t dx = W - pw, dy = H - ph;
  // The stretched edges may not cross the fixed corners.
  if (r.RTPoint.x + dx < r.LTPoint.x) {
    W += r.LTPoint.x - (r.RTPoint.x + dx);
    dx = W - pw;
  }
  if (r.RBPoint.x + dx < r.LBPoint.x) {
    W += r.LBPoint.x - (r.RBPoint.x + dx);
    dx = W - pw;
  }
  if (r.LBPoint.y + dy < r.LTPoint.y) {
    H += r.LTPoint.y - (r.LBPoint.y + dy);
    dy = H - ph;
  }
  if (r.RBPoint.y + dy < r.RTPoint.y) {
    H += r.RTPoint.y - (r.RBPoint.y + dy);
    dy = H - ph;
  }
  NewClRect = TRect{r.ClRect.left, r.ClRect.top, r.ClRect.right + dx, r.ClRect.bottom + dy};
  NewLTPoint = r.LTPoint;
  NewRTPoint = TPoint{r.RTPoint.x + dx, r.RTPoint.y};
  NewLBPoint = TPoint{r.LBPoint.x, r.LBPoint.y + dy};
  NewRBPoint = TPoint{r.RBPoint.x + dx, r.RBPoint.y + dy};
}

void TkxSkinHintWindow::CalcHintSize(const std::string& Text, int32_t& W, int32_t& H) {
  W = TextWidthOf(Canvas(), Text, H);
  if (!FSD) {
    W += 4;
    H += 4;
    return;
  }
  FitSkinFrame(W, H, 5);
}

void TkxSkinHintWindow::CalcExtendedSize(const std::string& Text, int32_t& W, int32_t& H) {
  W = TextWidthOf(Canvas(), Text, H);
  FTitleHeight = 0;
  if (!FTitle.empty()) {
    int32_t th = 0;
    const int32_t tw = TextWidthOf(Canvas(), FTitle, th);
    H += th + 10;
    W = std::max(W, tw);
    FTitleHeight = th;
  }
  if (ValidImage()) {
    W += FImageList->Width() + 10;
    H = std::max(H, FImageList->Height() + FTitleHeight + 5);
  }
  if (!FSD) {
    W += 4;
    H += 4;
    return;
  }
  W += 10;
  FitSkinFrame(W, H, 0);
}

void TkxSkinHintWindow::SetHintRegion() {
  HWND h = Handle();
  TkxSkinData* sd = FSD;
  const int32_t mi = sd ? sd->HintWindow->MaskPictureIndex : -1;
  TBitmap* pic = HintPicture();
  TBitmap* mask = mi >= 0 && mi < int32_t(sd->FActivePictures.size()) ? sd->FActivePictures[size_t(mi)].get() : nullptr;
  if (pic && mask && mask->Width() > 0) {
    const TkxDataSkinHintWindow& r = *sd->HintWindow;
    HRGN rgn = nullptr;
    RegionFromNinePartMask(rgn, r.LTPoint, r.RTPoint, r.LBPoint, r.RBPoint, r.ClRect, NewLTPoint, NewRTPoint,
                           NewLBPoint, NewRBPoint, NewClRect, mask, Width(), Height());
    if (rgn || FRgn) {
      // The window takes the region and frees the one it held.
      if (SetWindowRgn(h, rgn, FALSE)) FRgn = rgn;
      else if (rgn) DeleteObject(rgn);
    }
  } else if (FRgn) {
    SetWindowRgn(h, nullptr, FALSE);
    FRgn = nullptr;
  }
}

TRect TkxSkinHintWindow::CalcHintRect(int32_t, const std::string& AHint, void*) {
  TkxSkinHint* h = FindSkinHint();
  if (!h || !h->Active()) return TRect{0, 0, 0, 0};
  FspHint.Set(h);
  ChooseSkin();
  PrepareFont(Canvas());
  const std::string text = h->ReplaceLineSeparators(AHint);
  int32_t w = 0, hh = 0;
  if (!h->FHintTitle.empty() || h->FHintImageList.Get()) {
    FTitle = h->FHintTitle;
    FImageIndex = h->FHintImageIndex;
    FImageList.Set(h->FHintImageList.Get());
    CalcExtendedSize(text, w, hh);
  } else {
    CalcHintSize(text, w, hh);
  }
  return TRect{0, 0, w, hh};
}

void TkxSkinHintWindow::ActivateHint(TRect Rect, const std::string& AHint) {
  AExtendedStyle = false;
  FspHint.Set(FindSkinHint());
  TkxSkinHint* h = FspHint;
  if (!h) return;
  if (!h->FHintTitle.empty() || h->FHintImageList.Get()) {
    ActivateHintEx(Rect, h->FHintTitle, AHint, h->FHintImageIndex, h->FHintImageList.Get());
    return;
  }
  if (!h->Active()) return;
  Show(TPoint{Rect.left, Rect.top}, nullptr, false, AHint);
}

void TkxSkinHintWindow::ActivateHintEx(TRect Rect, const std::string& AHintTitle, const std::string& AHint,
                                       int32_t AImageIndex, TCustomImageList* AImageList) {
  AExtendedStyle = true;
  FspHint.Set(FindSkinHint());
  TkxSkinHint* h = FspHint;
  if (!h || !h->Active()) return;
  FTitle = AHintTitle;
  FImageIndex = AImageIndex;
  FImageList.Set(AImageList);
  Show(TPoint{Rect.left, Rect.top}, nullptr, false, AHint);
}

void TkxSkinHintWindow::ActivateHintFromRect(TRect ARect, const std::string& AHint, bool ATop) {
  AExtendedStyle = false;
  FspHint.Set(FindSkinHint());
  TkxSkinHint* h = FspHint;
  if (!h || !h->Active()) return;
  Show(TPoint{ARect.left, ARect.top}, &ARect, ATop, AHint);
}

void TkxSkinHintWindow::Show(TPoint TopLeft, const TRect* FromRect, bool ATop, const std::string& AHint) {
  TkxSkinHint* h = FspHint;
  HWND hw = Handle();
  StopFade();
  ChooseSkin();
  PrepareFont(Canvas());
  const std::string text = h->ReplaceLineSeparators(AHint);
  SetCaption(text);
  int32_t W = 0, H = 0;
  if (AExtendedStyle) CalcExtendedSize(text, W, H);
  else CalcHintSize(text, W, H);

  TRect R{TopLeft.x, TopLeft.y, TopLeft.x + W, TopLeft.y + H};
  if (FromRect) {
    R.left = FromRect->left + RectWidth(*FromRect) / 2 - W / 2;
    R.top = ATop ? FromRect->top - H : FromRect->bottom;
    R.right = R.left + W;
    R.bottom = R.top + H;
  }
  TRect WA{0, 0, Screen ? Screen->Width() : 1024, Screen ? Screen->Height() : 768};
  if (Screen && Screen->ActiveCustomForm()) {
    GetMonitorWorkArea(Screen->ActiveCustomForm()->Handle(), true, WA);
  } else if (Application && Application->MainForm() && Application->MainForm()->Visible()) {
    GetMonitorWorkArea(Application->MainForm()->Handle(), true, WA);
  }
  if (R.right > WA.right) OffsetRect(&R, -(W + 2), 0);
  if (R.bottom > WA.bottom) OffsetRect(&R, 0, -(H + 2));
  // Moved away from the right or bottom edge, a hint may now cross the left or top one: keep it
  // on the work area.
  if (R.left < WA.left) OffsetRect(&R, WA.left - R.left, 0);
  if (R.top < WA.top) OffsetRect(&R, 0, WA.top - R.top);
  SetBounds(R.left, R.top, W, H);

  const bool blend = h->AlphaBlend(), anim = h->AlphaBlendAnimation();
  const uint8_t value = h->AlphaBlendValue();
  const LONG_PTR ex = GetWindowLongPtr(hw, GWL_EXSTYLE);
  bool layeredAdded = false;
  if (blend && !FOldAlphaBlend) {
    SetWindowLongPtr(hw, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    layeredAdded = true;
  } else if (!blend && FOldAlphaBlend) {
    SetWindowLongPtr(hw, GWL_EXSTYLE, ex & ~LONG_PTR(WS_EX_LAYERED));
  }
  FOldAlphaBlend = blend;
  if (blend && anim) SetLayeredWindowAlpha(hw, 0);
  // A window made layered again has no alpha until it is given one, whatever was given before.
  if (blend && (value != FOldAlphaBlendValue || layeredAdded)) {
    if (!anim) SetLayeredWindowAlpha(hw, value);
    FOldAlphaBlendValue = value;
  }

  SetHintRegion();
  SetWindowPos(hw, HWND_TOPMOST, R.left, R.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  SetVisible(true);
  Repaint();

  if (blend && anim) {
    // The fade runs on a timer, so a hint hidden or freed meanwhile simply ends it.
    FFadeTarget = value;
    FFadeStep = std::max(1, FFadeTarget / 15);
    FFadeAlpha = 0;
    FLastFadeTick = GetTickCount64();
    FFading = FFadeTarget > 0;
    if (FFading) SetTimer(hw, kFadeTimer, 1, nullptr);
  }
}

void TkxSkinHintWindow::StopFade() {
  if (FFading && HandleAllocated()) KillTimer(Handle(), kFadeTimer);
  FFading = false;
}

void TkxSkinHintWindow::FadeTick() {
  if (!FFading) return;
  const uint64_t now = GetTickCount64();
  if (now - FLastFadeTick <= kFadeGap) return;
  FLastFadeTick = now;
  FFadeAlpha = std::min(FFadeAlpha + FFadeStep, FFadeTarget);
  Repaint();
  SetLayeredWindowAlpha(Handle(), uint8_t(FFadeAlpha));
  if (FFadeAlpha >= FFadeTarget) StopFade();
}

void TkxSkinHintWindow::PaintBackground(TBitmap* B) {
  TBitmap* pic = HintPicture();
  if (FSD && pic) {
    const TkxDataSkinHintWindow& r = *FSD->HintWindow;
    BuildNinePartWindowImage(r.LTPoint, r.RTPoint, r.LBPoint, r.RBPoint, r.ClRect, NewLTPoint, NewRTPoint,
                             NewLBPoint, NewRBPoint, NewClRect, B, pic, TRect{0, 0, pic->Width(), pic->Height()},
                             Width(), Height(), true, r.LeftStretch, r.TopStretch, r.RightStretch, r.BottomStretch,
                             r.StretchEffect, r.StretchType);
    return;
  }
  TCanvas* c = B->Canvas();
  c->Brush()->SetColor(clInfoBk);
  c->FillRect(TRect{0, 0, B->Width(), B->Height()});
  c->Brush()->SetColor(clBtnShadow);
  c->FrameRect(TRect{0, 0, B->Width(), B->Height()});
}

void TkxSkinHintWindow::Paint() {
  if (!FspHint) return;
  if (FSD && !HintPicture()) FSD.Set(nullptr);  // the skin changed under a shown hint
  auto buffer = NewSkinImage(Width(), Height());
  TBitmap* B = buffer.get();
  PaintBackground(B);
  TCanvas* c = B->Canvas();
  PrepareFont(c);
  c->Brush()->SetStyle(bsClear);
  if (AExtendedStyle) {
    PaintExtended(B);
  } else {
    const std::string text = Caption();
    if (FSD) {
      int32_t th = 0;
      const int32_t tw = TextWidthOf(c, text, th);
      TRect r;
      r.left = NewClRect.left + RectWidth(NewClRect) / 2 - tw / 2;
      r.top = NewClRect.top + RectHeight(NewClRect) / 2 - th / 2;
      r.right = r.left + tw;
      r.bottom = r.top + th;
      DrawWideText(c, text, r, 0);
    } else {
      TRect r{2, 2, Width() - 2, Height() - 2};
      DrawWideText(c, text, r, 0);
    }
  }
  Canvas()->Draw(0, 0, B);
}

void TkxSkinHintWindow::PaintExtended(TBitmap* B) {
  TCanvas* c = B->Canvas();
  const std::string text = Caption();
  const bool image = ValidImage();
  TCustomImageList* il = FImageList.Get();
  int32_t th = 0;
  const int32_t tw = TextWidthOf(c, text, th);
  if (FSD) {
    int32_t a = 0;
    if (!FTitle.empty()) {
      c->Font()->SetStyle(TFontStyles{fsBold});
      int32_t h = 0;
      const int32_t w = TextWidthOf(c, FTitle, h);
      TRect r{NewClRect.left + 5, NewClRect.top, NewClRect.left + 5 + w, NewClRect.top + h};
      DrawWideText(c, FTitle, r, 0);
      c->Font()->SetStyle(TFontStyles{});
      a = FTitleHeight + 5;
    }
    int32_t x = NewClRect.left + 5;
    if (image) {
      const int32_t y = a > 0 ? NewClRect.top + a : NewClRect.top + RectHeight(NewClRect) / 2 - il->Height() / 2;
      il->Draw(c, x, y, FImageIndex, true);
      x += il->Width() + 5;
    }
    const int32_t y = a > 0 ? NewClRect.top + a : NewClRect.top + RectHeight(NewClRect) / 2 - th / 2;
    TRect r{x, y, x + tw, y + th};
    DrawWideText(c, text, r, 0);
    return;
  }
  TRect T{2, 2, Width() - 2, Height() - 2};
  int32_t a = 0;
  if (!FTitle.empty()) {
    c->Font()->SetStyle(TFontStyles{fsBold});
    TRect r = T;
    DrawWideText(c, FTitle, r, 0);
    c->Font()->SetStyle(TFontStyles{});
    a = FTitleHeight + 5;
  }
  if (image) {
    const int32_t y = a > 0 ? a : T.top + RectHeight(T) / 2 - il->Height() / 2;
    il->Draw(c, T.left, y, FImageIndex, true);
  }
  T.top += a;
  // The plain look's text starts one frame margin further right than the skinned look's; the
  // look is kept as it always was.
  if (image) T.left = T.left + (T.left + il->Width() + 5);
  DrawWideText(c, text, T, 0);
}

// ---- TkxSkinHint -----------------------------------------------------------------------------------

TkxSkinHint* FindSkinHint() {
  if (!Application) return nullptr;
  TCustomForm* f = Application->MainForm();
  if (!f) return nullptr;
  for (int32_t i = 0; i < f->ComponentCount(); ++i)
    if (auto* h = dynamic_cast<TkxSkinHint*>(f->Components(i)); h && h->Active()) return h;
  return nullptr;
}

TkxSkinHint::TkxSkinHint(TComponent* AOwner) : TComponent(AOwner), FDefaultFont(std::make_unique<TFont>()) {
  HW = new TkxSkinHintWindow(this);
  HW->SetVisible(false);
  HintTimer = new TTimer(this);
  HintTimer->SetEnabled(false);
  HintTimer->OnTimer = [this](TObject*) { TimerExpired(); };
  if (!ComponentState().Contains(csDesigning) && Application) {
    HintWindowClass() = HintWindowClassOf<TkxSkinHintWindow>();
    // The application builds its hint window anew, now of the skinned class.
    Application->SetShowHint(!Application->ShowHint());
    Application->SetShowHint(!Application->ShowHint());
    InstallShowHintHandler();
    Application->HintShortPause = 100;
  }
  FUseSkinFont = true;
}

TkxSkinHint::~TkxSkinHint() {
  if (gShowHintOwner == this) {
    gShowHintOwner = nullptr;
    if (Application) Application->OnShowHint = nullptr;
  }
  FPending = TPendingKind::None;
  delete HintTimer;
  HintTimer = nullptr;
  delete HW;
  HW = nullptr;
}

void TkxSkinHint::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == HW) HW = nullptr;
  if (AComponent == HintTimer) HintTimer = nullptr;
}

void TkxSkinHint::InstallShowHintHandler() {
  if (!Application) return;
  Application->OnShowHint = [this](std::string& S, bool& CanShow, THintInfo& Info) {
    ApplicationShowHint(S, CanShow, Info);
  };
  gShowHintOwner = this;
}

void TkxSkinHint::SetActive(bool Value) {
  FActive = Value;
  if (!Value) return;
  if (Application && Application->MainForm()) {
    TCustomForm* f = Application->MainForm();
    for (int32_t i = 0; i < f->ComponentCount(); ++i)
      if (auto* h = dynamic_cast<TkxSkinHint*>(f->Components(i)); h && h != this && h->Active()) h->SetActive(false);
  }
  if (!ComponentState().Contains(csDesigning)) InstallShowHintHandler();
}

void TkxSkinHint::SetAlphaBlendValue(int32_t Value) { FAlphaBlendValue = uint8_t(std::clamp(Value, 0, 255)); }

void TkxSkinHint::SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }

void TkxSkinHint::ApplicationShowHint(std::string& HintStr, bool& CanShow, THintInfo& HintInfo) {
  FHintTitle.clear();
  FHintImageIndex = 0;
  FHintImageList.Set(nullptr);
  if (auto* c = dynamic_cast<TkxSkinControlCommon*>(HintInfo.HintControl)) {
    FHintTitle = c->HintTitle();
    FHintImageIndex = c->HintImageIndex();
    FHintImageList.Set(c->HintImageList());
  }
  if (OnShowHint) OnShowHint(HintStr, CanShow, HintInfo);
}

std::string TkxSkinHint::ReplaceLineSeparators(const std::string& AHint) const {
  // One pass from left to right: a separator holding a line break never meets its own output.
  // A single line feed is one break for the layer's text drawing (a line feed followed by a
  // carriage return would be two).
  if (FLineSeparator.empty()) return AHint;
  std::string out;
  out.reserve(AHint.size());
  size_t i = 0;
  while (i < AHint.size()) {
    if (AHint.compare(i, FLineSeparator.size(), FLineSeparator) == 0) {
      out += '\n';
      i += FLineSeparator.size();
    } else {
      out += AHint[i++];
    }
  }
  return out;
}

int32_t TkxSkinHint::GetCursorHeightMargin() { return ::GetCursorHeightMargin(); }

bool TkxSkinHint::IsVisible() { return HW && HW->Visible(); }

bool TkxSkinHint::Pending() const { return FPending != TPendingKind::None; }

void TkxSkinHint::HideHint() {
  FPending = TPendingKind::None;
  if (HintTimer) HintTimer->SetEnabled(false);
  if (HW && HW->Visible()) {
    HW->SetVisible(false);
    if (HW->HandleAllocated())
      SetWindowPos(HW->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    FHintTitle.clear();
    FHintImageList.Set(nullptr);
    FHintImageIndex = 0;
  }
}

void TkxSkinHint::ActivateHint(TPoint P, const std::string& AHint) {
  FPending = TPendingKind::None;
  if (HintTimer) HintTimer->SetEnabled(false);
  FHintTitle.clear();
  FHintImageList.Set(nullptr);
  FHintImageIndex = 0;
  if (HW) HW->ActivateHint(TRect{P.x, P.y, P.x, P.y}, AHint);
}

void TkxSkinHint::ActivateHintEx(TPoint P, const std::string& AHintTitle, const std::string& AHint,
                                 int32_t AImageIndex, TCustomImageList* AImageList) {
  FPending = TPendingKind::None;
  if (HintTimer) HintTimer->SetEnabled(false);
  if (HW) HW->ActivateHintEx(TRect{P.x, P.y, P.x, P.y}, AHintTitle, AHint, AImageIndex, AImageList);
}

void TkxSkinHint::StartTimer(TPendingKind Kind, int32_t Interval) {
  if (!HintTimer) return;
  HintTimer->SetEnabled(false);
  FPending = Kind;
  HintTimer->SetInterval(uint32_t(std::max(1, Interval)));
  HintTimer->SetEnabled(true);
}

void TkxSkinHint::ActivateHint2(const std::string& AHint) {
  HintText = AHint;
  FHintTitle.clear();
  FHintImageList.Set(nullptr);
  FHintImageIndex = 0;
  StartTimer(TPendingKind::Show, Application ? Application->HintPause : 500);
}

void TkxSkinHint::ActivateHintEx2(const std::string& AHintTitle, const std::string& AHint, int32_t AImageIndex,
                                  TCustomImageList* AImageList) {
  FHintTitle = AHintTitle;
  FHintImageIndex = AImageIndex;
  FHintImageList.Set(AImageList);
  HintText = AHint;
  StartTimer(TPendingKind::ShowEx, Application ? Application->HintPause : 500);
}

void TkxSkinHint::ActivateHint3(TRect AFromRect, const std::string& AHint, bool ATop) {
  FromRect = AFromRect;
  Top = ATop;
  HintText = AHint;
  FHintTitle.clear();
  FHintImageList.Set(nullptr);
  FHintImageIndex = 0;
  StartTimer(TPendingKind::ShowFromRect, Application ? Application->HintPause : 500);
}

TPoint TkxSkinHint::HintPointAtCursor() {
  POINT p{};
  GetCursorPos(&p);
  return TPoint{p.x, p.y + GetCursorHeightMargin()};
}

void TkxSkinHint::TimerExpired() {
  const TPendingKind k = FPending;
  FPending = TPendingKind::None;
  if (HintTimer) HintTimer->SetEnabled(false);
  if (!HW) return;
  const int32_t hidePause = Application ? Application->HintHidePause : 2500;
  switch (k) {
    case TPendingKind::Show: {
      const TPoint p = HintPointAtCursor();
      HW->ActivateHint(TRect{p.x, p.y, p.x, p.y}, HintText);
      break;
    }
    case TPendingKind::ShowEx: {
      const TPoint p = HintPointAtCursor();
      HW->ActivateHintEx(TRect{p.x, p.y, p.x, p.y}, FHintTitle, HintText, FHintImageIndex, FHintImageList.Get());
      break;
    }
    case TPendingKind::ShowFromRect: HW->ActivateHintFromRect(FromRect, HintText, Top); break;
    case TPendingKind::Hide: HideHint(); return;
    case TPendingKind::None: return;
  }
  StartTimer(TPendingKind::Hide, hidePause);
}

// ---- streaming -----------------------------------------------------------------------------------

void RegisterSkinHintFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxSkinHint, TComponent>("TkxSkinHint")
      .String("LineSeparator", &TkxSkinHint::SetLineSeparator)
      .Reference<TkxSkinData>("SkinData", &TkxSkinHint::SetSkinData)
      .Boolean("Active", &TkxSkinHint::SetActive)
      .Boolean("AlphaBlend", &TkxSkinHint::SetAlphaBlend)
      .Integer("AlphaBlendValue", [](TkxSkinHint* h, int32_t v) {
        if (v < 0 || v > 255) throw EFormValueError("AlphaBlendValue is 0..255");
        h->SetAlphaBlendValue(v);
      })
      .Boolean("AlphaBlendAnimation", &TkxSkinHint::SetAlphaBlendAnimation)
      .Object("DefaultFont", &TkxSkinHint::DefaultFont)
      .Boolean("UseSkinFont", &TkxSkinHint::SetUseSkinFont)
      .Event<TShowHintEvent>("OnShowHint", &TkxSkinHint::OnShowHint);
}
