// The caption object: the window text over the caption part of the frame, with its plate, light
// and shadow copies and text effects, an animated or morphing background that follows the form's
// activation, and the form's quick buttons at its left end.
#include <algorithm>

#include "classlib/graphics/ImageList.h"
#include "lib/forms/kxFrameObjects.h"
#include "lib/forms/kxVelara.h"
#include "lib/graphics/kxEffectBmp.h"
#include "lib/graphics/kxTextEffects.h"
#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"

using namespace win;

namespace {

bool HasPicture(TBitmap* B) { return B && !B->Empty(); }

// The look of an inactive frame, the same one the form gives its frame.
void ApplyInActiveEffect(TkxEffectBmp& E, TkxInActiveEffect Effect) {
  switch (Effect) {
    case ieBrightness: E.ChangeBrightness(0.5); break;
    case ieDarkness: E.ChangeDarkness(0.3); break;
    case ieGrayScale: E.GrayScale(); break;
    case ieNoise: E.AddMonoNoise(50); break;
    case ieSplitBlur: E.SplitBlur(1); break;
    case ieInvert: E.Invert(); break;
  }
}

// Right-to-left reading would be added here for forms that read right to left; none do yet.
constexpr uint32_t kCaptionTextFlags = DT_VCENTER;

}  // namespace

TkxSkinCaptionObject::TkxSkinCaptionObject(TkxVelara* AParent, TkxDataSkinObject* AData)
    : TkxActiveSkinObject(AParent, AData) {
  auto* R = dynamic_cast<TkxDataSkinCaption*>(AData);
  if (!R) return;
  FontName = R->FontName;
  FontStyle = R->FontStyle;
  FontHeight = R->FontHeight;
  FontColor = R->FontColor;
  ActiveFontColor = R->ActiveFontColor;
  ShadowColor = R->ShadowColor;
  ActiveShadowColor = R->ActiveShadowColor;
  Shadow = R->Shadow;
  LightColor = R->LightColor;
  ActiveLightColor = R->ActiveLightColor;
  Light = R->Light;
  Alignment = R->Alignment;
  TextRct = R->TextRct;
  FrameRect = R->FrameRect;
  ActiveFrameRect = R->ActiveFrameRect;
  FrameLeftOffset = R->FrameLeftOffset;
  FrameRightOffset = R->FrameRightOffset;
  FrameTextRect = R->FrameTextRect;
  StretchEffect = R->StretchEffect;
  FullFrame = R->FullFrame;
  AnimateSkinRect = R->AnimateSkinRect;
  FrameCount = R->FrameCount;
  AnimateInterval = R->AnimateInterval;
  InActiveAnimation = R->InActiveAnimation;
  VistaGlowEffect = R->VistaGlowEffect;
  VistaGlowInActiveEffect = R->VistaGlowInActiveEffect;
  GlowEffect = R->GlowEffect;
  GlowInActiveEffect = R->GlowInActiveEffect;
  GlowSize = R->GlowSize;
  GlowColor = R->GlowColor;
  GlowActiveColor = R->GlowActiveColor;
  GlowOffset = R->GlowOffset;
  ReflectionEffect = R->ReflectionEffect;
  ReflectionColor = R->ReflectionColor;
  ReflectionActiveColor = R->ReflectionActiveColor;
  ReflectionOffset = R->ReflectionOffset;
}

bool TkxSkinCaptionObject::EnableAnimation() {
  TkxSkinData* S = Parent->SkinData();
  return S && S->EnableSkinEffects() && !S->Empty && !IsEmptyRect(AnimateSkinRect) && FrameCount > 0;
}

bool TkxSkinCaptionObject::HasQuickButtons() {
  return Parent->QuickButtons() && Parent->QuickButtons()->Count() > 0 && Parent->QuickImageList();
}

std::string TkxSkinCaptionObject::CaptionText() {
  // An MDI main form adds its maximized child's text once MDI support comes.
  return Parent->Form() ? Parent->Form()->Text() : std::string();
}

TRect TkxSkinCaptionObject::TextRect() {
  TRect TR = TextRct;
  if (!IsEmptyRect(TextRct)) {
    // Room for every quick button, shown or not, so the text does not jump when one hides.
    if (HasQuickButtons()) TR.left += Parent->QuickButtons()->Count() * (Parent->QuickImageList()->Width() + 8);
    // The skin's right margin stays when the caption is wider or narrower than the skin.
    TR.right = RectWidth(ObjectRect) - (RectWidth(SkinRect) - TextRct.right);
  }
  if (!IsEmptyRect(FrameRect)) {
    TR.top += FrameTextRect.top;
    TR.left += FrameTextRect.left;
    TR.right -= RectWidth(FrameRect) - FrameTextRect.right;
  }
  return TR;
}

void TkxSkinCaptionObject::SetCaptionFont(TCanvas* C, TColor Color) {
  TFont* F = C->Font();
  F->SetName(FontName);
  F->SetStyle(FontStyle);
  F->SetHeight(FontHeight);
  F->SetColor(Color);
  TkxSkinData* S = Parent->SkinData();
  if (S && S->ResourceStrData())
    F->SetCharset(S->ResourceStrData()->CharSet());
  else if (Parent->DefCaptionFont())
    F->SetCharset(Parent->DefCaptionFont()->Charset());
}

void TkxSkinCaptionObject::DrawCaptionText(TCanvas* C, const TRect& TR, int32_t DX, int32_t DY, bool AActive) {
  // The application paints the caption itself, over the finished caption (see Draw).
  if (Parent->OnCaptionPaint) return;
  std::string S = CaptionText();
  if (S.empty() || IsEmptyRect(TextRct)) return;
  FitTextToWidthW(C, S, RectWidth(TR));
  const int32_t TW = TextWidthW(C, S), TH = TextHeightW(C, S);
  int32_t TY = TR.top + RectHeight(TR) / 2 - TH / 2;
  const int32_t Centred = TR.left + RectWidth(TR) / 2 - TW / 2;
  int32_t TX = Centred;
  if (!HasQuickButtons()) {
    if (Alignment == taLeftJustify)
      TX = TR.left;
    else if (Alignment == taRightJustify)
      TX = TR.right - TW;
  }
  TX += DX;
  TY += DY;
  C->Brush()->SetStyle(bsClear);

  if (!IsEmptyRect(FrameRect) && HasPicture(ActivePicture)) {
    const TRect F = AActive && !IsEmptyRect(ActiveFrameRect) ? ActiveFrameRect : FrameRect;
    TkxSkinData* SkinD = Parent->SkinData();
    const int32_t Offset = SkinD ? SkinD->ButtonsOffset : 0;
    const int32_t W = FullFrame ? RectWidth(ObjectRect) - 2 * Offset : RectWidth(FrameRect) + TW - RectWidth(FrameTextRect);
    if (W > 0) {
      TBitmap Plate;
      BuildHorzThreePartImage(FrameLeftOffset, FrameRightOffset, &Plate, ActivePicture, F, W, RectHeight(F), false);
      if (FullFrame)
        C->Draw(DX + Offset, TY - FrameTextRect.top, &Plate);
      else
        C->Draw(TX - FrameTextRect.left, TY - FrameTextRect.top, &Plate);
      C->Brush()->SetStyle(bsClear);
    }
  }

  auto Out = [&](int32_t X, int32_t Y) {
    TRect R{X, Y, X + TW, Y + TH};
    DrawWideText(C, S, R, kCaptionTextFlags);
  };
  const TColor Own = C->Font()->Color();
  if (Light) {
    C->Font()->SetColor(AActive ? ActiveLightColor : LightColor);
    Out(TX - 1, TY - 1);
    C->Font()->SetColor(Own);
  }
  if (Shadow) {
    C->Font()->SetColor(AActive ? ActiveShadowColor : ShadowColor);
    Out(TX + 1, TY + 1);
    C->Font()->SetColor(Own);
  }
  TRect R{TX, TY, TX + TW, TY + TH};
  if (ReflectionEffect)
    DrawReflectedText(C, R, S, kCaptionTextFlags, ReflectionOffset, AActive ? ReflectionActiveColor : ReflectionColor);
  else if (VistaGlowEffect && (AActive || VistaGlowInActiveEffect))
    DrawPlateGlowText(C, R, S, kCaptionTextFlags, AActive ? GlowActiveColor : GlowColor);
  else if (GlowEffect && (AActive || GlowInActiveEffect))
    DrawBlurGlowText(C, R, S, kCaptionTextFlags, GlowOffset, AActive ? GlowActiveColor : GlowColor, GlowSize);
  else
    DrawWideText(C, S, R, kCaptionTextFlags);
}

std::unique_ptr<TBitmap> TkxSkinCaptionObject::Background(TBitmap* P, const TRect& S) {
  const int32_t W = RectWidth(ObjectRect), H = RectHeight(ObjectRect);
  auto B = NewSkinImage(W, H);
  if (!HasPicture(P) || IsEmptyRect(S) || W <= 0 || H <= 0) return B;
  TkxSkinData* SkinD = Parent->SkinData();
  const int32_t L = SkinD ? std::max(0, SkinD->LTPoint.x - SkinRect.left) : 0;
  const int32_t R = SkinD ? std::max(0, SkinRect.right - SkinD->RTPoint.x) : 0;
  if (L != 0 || R != 0)
    BuildHorzThreePartImage(L, R, B.get(), P, S, W, H, StretchEffect);
  else
    B->Canvas()->CopyRect(TRect{0, 0, W, H}, P->Canvas(), S);
  return B;
}

TRect TkxSkinCaptionObject::AnimationFrameRect(int32_t N) {
  const TRect& A = AnimateSkinRect;
  if (RectHeight(A) > RectHeight(SkinRect)) {
    const int32_t FH = RectHeight(A) / FrameCount;
    return TRect{A.left, A.top + FH * (N - 1), A.right, A.top + FH * N};
  }
  const int32_t FW = RectWidth(A) / FrameCount;
  return TRect{A.left + FW * (N - 1), A.top, A.left + FW * N, A.bottom};
}

void TkxSkinCaptionObject::Draw(TCanvas* Cnvs, bool) {
  TkxSkinData* S = UsableSkin();
  if (!S || !Cnvs) return;
  const TRect TR = TextRect();
  SetCaptionFont(Cnvs, Active ? ActiveFontColor : FontColor);
  const bool Inactive = S->AutoRenderingInActiveImage && !Parent->GetFormActive();
  // The state the application's caption paint is told about.
  bool PaintActive = Active;

  auto Put = [&](TBitmap* B, bool Effect) {
    if (Effect) {
      if (auto E = TkxEffectBmp::CreateFromhWnd(B->Handle())) {
        ApplyInActiveEffect(*E, S->InActiveEffect);
        E->Draw(Cnvs->Handle(), ObjectRect.left, ObjectRect.top);
        return;
      }
    }
    Cnvs->Draw(ObjectRect.left, ObjectRect.top, B);
  };

  if (EnableAnimation() && CurrentFrame >= 1 && CurrentFrame <= FrameCount) {
    // An animation frame keeps the text colours of the state the form is leaving.
    auto B = Background(ActivePicture, AnimationFrameRect(CurrentFrame));
    SetCaptionFont(B->Canvas(), Active ? FontColor : ActiveFontColor);
    DrawCaptionText(B->Canvas(), TR, 0, 0, !Active);
    Put(B.get(), false);
    PaintActive = !Active;
  } else if (((FMorphSteps > 0 && !Active) || (FMorphSteps < 5 && Active)) && EnableMorphing()) {
    auto B1 = Background(Picture, SkinRect);
    SetCaptionFont(B1->Canvas(), FontColor);
    DrawCaptionText(B1->Canvas(), TR, 0, 0, false);
    auto B2 = Background(ActivePicture, ActiveSkinRect);
    SetCaptionFont(B2->Canvas(), ActiveFontColor);
    DrawCaptionText(B2->Canvas(), TR, 0, 0, true);
    auto E1 = TkxEffectBmp::CreateFromhWnd(B1->Handle());
    auto E2 = TkxEffectBmp::CreateFromhWnd(B2->Handle());
    if (E1 && E2) {
      E1->MorphBy(MorphKind, E2.get(), MorphKf());
      if (!Active && Inactive) ApplyInActiveEffect(*E1, S->InActiveEffect);
      E1->Draw(Cnvs->Handle(), ObjectRect.left, ObjectRect.top);
    }
  } else if (IsEmptyRect(ActiveSkinRect) || (!Active && !EnableMorphing() && !StretchEffect && !EnableAnimation())) {
    // The frame picture already holds the caption's background.
    DrawCaptionText(Cnvs, TR, ObjectRect.left, ObjectRect.top, Active);
  } else if (!Active) {
    auto B = Background(Picture, SkinRect);
    SetCaptionFont(B->Canvas(), FontColor);
    DrawCaptionText(B->Canvas(), TR, 0, 0, false);
    Put(B.get(), Inactive);
  } else {
    auto B = Background(ActivePicture, ActiveSkinRect);
    SetCaptionFont(B->Canvas(), ActiveFontColor);
    DrawCaptionText(B->Canvas(), TR, 0, 0, true);
    Put(B.get(), false);
  }
  // Over the caption's background, never under it: a bitmap drawn afterwards would hide the
  // quick buttons (still clickable) and the application's own caption paint.
  DrawQuickButtons(Cnvs);
  if (Parent->OnCaptionPaint) Parent->OnCaptionPaint(Cnvs, ObjectRect, PaintActive);
}

// ---- quick buttons ------------------------------------------------------------------------------

void TkxSkinCaptionObject::DrawQuickButtons(TCanvas* Cnvs) {
  if (!HasQuickButtons()) return;
  TkxQuickButtonItems* Q = Parent->QuickButtons();
  TCustomImageList* IL = Parent->QuickImageList();
  TkxSkinData* S = Parent->SkinData();
  TkxDataSkinButtonControl* Look = nullptr;
  if (S) {
    int32_t I = S->GetControlIndex("officequickbutton");
    if (I == -1) I = S->GetControlIndex("resizetoolbutton");
    if (I != -1) Look = dynamic_cast<TkxDataSkinButtonControl*>(S->CtrlList[size_t(I)].get());
  }
  const int32_t IW = IL->Width(), IH = IL->Height();
  int32_t X = ObjectRect.left;
  const int32_t Y = ObjectRect.top + RectHeight(ObjectRect) / 2 - IH / 2 - 2;
  for (int32_t i = 0; i < Q->Count(); ++i) {
    TkxQuickButtonItem* Item = Q->Items(i);
    if (!Item->Visible()) continue;
    Item->ItemRect = TRect{X, Y, X + IW + 4, Y + IH + 4};
    const int32_t W = RectWidth(Item->ItemRect), H = RectHeight(Item->ItemRect);
    if (Item->Active && Look) {
      TBitmap* Pic = Look->PictureIndex >= 0 && Look->PictureIndex < int32_t(S->FActivePictures.size())
                         ? S->FActivePictures[size_t(Look->PictureIndex)].get()
                         : nullptr;
      const TRect Src = Item->Down ? Look->DownSkinRect : Look->ActiveSkinRect;
      if (HasPicture(Pic) && !IsEmptyRect(Src)) {
        auto B = NewSkinImage(W, H);
        StretchNinePartImage(B.get(), Pic, Src, Look->ClRect, true);
        Cnvs->Draw(X, Y, B.get());
      }
    }
    IL->Draw(Cnvs, X + W / 2 - IW / 2, Y + H / 2 - IH / 2, Item->ImageIndex(), Item->Enabled());
    X += IW + 8;
  }
}

void TkxSkinCaptionObject::RepaintFrame() {
  TCustomForm* F = Parent->Form();
  if (F && F->HandleAllocated()) SendMessage(F->Handle(), WM_NCPAINT, 1, 0);
}

void TkxSkinCaptionObject::TrackQuickButtons(int32_t X, int32_t Y) {
  if (!HasQuickButtons()) return;
  TkxQuickButtonItems* Q = Parent->QuickButtons();
  OldActiveQuickButton = ActiveQuickButton;
  ActiveQuickButton = -1;
  for (int32_t i = 0; i < Q->Count(); ++i) {
    TkxQuickButtonItem* Item = Q->Items(i);
    if (Item->Enabled() && Item->Visible() && PtInRectRule(Item->ItemRect, X, Y)) {
      ActiveQuickButton = i;
      break;
    }
  }
  bool Changed = false;
  for (int32_t i = 0; i < Q->Count(); ++i) {
    TkxQuickButtonItem* Item = Q->Items(i);
    if (Item->Active != (i == ActiveQuickButton)) {
      Item->Active = i == ActiveQuickButton;
      Changed = true;
    }
  }
  // The quick buttons' hints show through the skinned hint once it exists.
  if (Changed || ActiveQuickButton != OldActiveQuickButton) RepaintFrame();
}

void TkxSkinCaptionObject::MouseMove(int32_t X, int32_t Y) {
  TkxActiveSkinObject::MouseMove(X, Y);
  TrackQuickButtons(X, Y);
}

void TkxSkinCaptionObject::MouseDown(int32_t X, int32_t Y, TMouseButton Button) {
  TkxActiveSkinObject::MouseDown(X, Y, Button);
  if (!HasQuickButtons()) return;
  TrackQuickButtons(X, Y);
  if (ActiveQuickButton == -1) return;
  TkxQuickButtonItems* Q = Parent->QuickButtons();
  for (int32_t i = 0; i < Q->Count(); ++i) {
    TkxQuickButtonItem* Item = Q->Items(i);
    Item->Down = i == ActiveQuickButton;
    if (i != ActiveQuickButton) Item->Active = false;
  }
  RepaintFrame();
}

void TkxSkinCaptionObject::MouseUp(int32_t X, int32_t Y, TMouseButton Button) {
  // Unlike the other objects, the caption always reports the release.
  Parent->DoObjectMouseUp(IDName, X, Y, ObjectRect, Button);
  if (!HasQuickButtons()) return;
  TrackQuickButtons(X, Y);
  if (ActiveQuickButton == -1) return;
  TkxQuickButtonItems* Q = Parent->QuickButtons();
  for (int32_t i = 0; i < Q->Count(); ++i) Q->Items(i)->Down = false;
  RepaintFrame();
  TkxQuickButtonItem* Hot = Q->Items(ActiveQuickButton);
  if (Hot->OnClick) Hot->OnClick(this);
}

void TkxSkinCaptionObject::MouseEnter() {
  FMouseIn = true;
  Parent->DoObjectMouseEnter(IDName);
}

void TkxSkinCaptionObject::MouseLeave() {
  FMouseIn = false;
  Parent->DoObjectMouseLeave(IDName);
  if (!HasQuickButtons()) return;
  ActiveQuickButton = -1;
  OldActiveQuickButton = -1;
  TrackQuickButtons(-1, -1);
}
