#include "lib/controls/kxSkinPanels.h"

#include <algorithm>

#include "classlib/Forms.h"
#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxPlainLook.h"

using namespace win;

namespace {

// Part R of the picture drawn at (X, Y) with the bitmap's own transparent colour.
void DrawTransparentPart(TCanvas* C, int32_t X, int32_t Y, TBitmap* Picture, const TRect& R) {
  if (!RectInPicture(R, Picture)) return;
  auto part = NewSkinImage(RectWidth(R), RectHeight(R));
  part->Canvas()->CopyRect(TRect{0, 0, RectWidth(R), RectHeight(R)}, Picture->Canvas(), R);
  part->SetTransparent(true);
  C->Draw(X, Y, part.get());
}

void Line(TCanvas* C, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  C->MoveTo(X1, Y1);
  C->LineTo(X2, Y2);
}

// The plain check box of a caption, with its mark a pixel up and left of the check box's.
void DrawPlainCheck(TCanvas* C, int32_t X, int32_t Top, bool Checked, TColor Frame, TColor Mark) {
  DrawPlainCheckBox(C, X, Top, Frame, Checked ? TkxPlainMark::Check : TkxPlainMark::None, Mark,
                    kxPlainCaptionCheckAt);
}

}  // namespace

// ---- TkxSkinPanel -------------------------------------------------------------------------------

TkxSkinPanel::TkxSkinPanel(TComponent* AOwner) : TkxSkinCustomControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  FSkinDataName = "panel";
  FWidth = 150;
  FHeight = 150;
  FForceBackground = true;
  NewClRect = TRect{0, 0, 0, 0};
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                csDoubleClicks, csReplicatable});
}

TkxSkinPanel::~TkxSkinPanel() = default;

void TkxSkinPanel::CreateParams(TCreateParams& Params) {
  TkxSkinCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TkxSkinPanel::SetRibbonStyle(bool Value) {
  FRibbonStyle = Value;
  Repaint();
}

void TkxSkinPanel::SetImagePosition(TkxImagePosition Value) {
  FImagePosition = Value;
  Repaint();
}

void TkxSkinPanel::SetTransparentMode(bool Value) {
  FTransparentMode = Value;
  Repaint();
  if (!Designing() && !ComponentState().Contains(csLoading)) BroadcastParentBGChanged();
}

void TkxSkinPanel::SetCaptionImageList(TCustomImageList* Value) {
  FCaptionImageList.Set(Value);
}

void TkxSkinPanel::SetCaptionImageIndex(int32_t Value) {
  FCaptionImageIndex = Value;
  Repaint();
}

void TkxSkinPanel::SetCheckedMode(bool Value) {
  FCheckedMode = Value;
  Repaint();
}

void TkxSkinPanel::SetChecked(bool Value) {
  FChecked = Value;
  if (FCheckedMode) Repaint();
  if (FAutoEnabledControls && FCheckedMode)
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetEnabled(Value);
  if (OnChecked) OnChecked(this);
}

void TkxSkinPanel::SetDefaultAlignment(TAlignment Value) {
  FDefaultAlignment = Value;
  if (FIndex == -1 && FCaptionMode) Repaint();
}

void TkxSkinPanel::SetDefaultCaptionHeight(int32_t Value) {
  FDefaultCaptionHeight = Value;
  if (FIndex == -1 && FCaptionMode) {
    Repaint();
    Realign();
  }
}

void TkxSkinPanel::SetBorderStyle(TkxSkinBorderStyle Value) {
  FBorderStyle = Value;
  if (FIndex == -1) {
    Repaint();
    Realign();
  }
}

void TkxSkinPanel::SetCaptionMode(bool Value) {
  FCaptionMode = Value;
  Repaint();
  Realign();
}

void TkxSkinPanel::SetRollUpMode(bool Value) {
  FRollUpMode = Value;
  if (FIndex == -1 && FCaptionMode) Repaint();
}

void TkxSkinPanel::SetGlyph(TBitmap* Value) {
  if (Value)
    FGlyph->Assign(Value);
  else
    FGlyph = std::make_unique<TBitmap>();
  Repaint();
}

void TkxSkinPanel::SetNumGlyphs(int32_t Value) {
  FNumGlyphs = std::clamp(Value, 1, 2);
  Repaint();
}

void TkxSkinPanel::SetSpacing(int32_t Value) {
  FSpacing = Value;
  Repaint();
}

void TkxSkinPanel::SetRollUpState(bool Value) {
  if (Value == FRollUpState) return;
  TSizeConstraints* c = Constraints();
  if (!FRollUpMode) {
    c->SetMaxWidth(FCMaxWidth);
    c->SetMinWidth(FCMinWidth);
    c->SetMaxHeight(FCMaxHeight);
    c->SetMinHeight(FCMinHeight);
    FRollUpState = false;
    return;
  }
  if (Value) {
    // The constraints would hold the panel at its size; they come back when it rolls down.
    FCMaxWidth = c->MaxWidth();
    FCMinWidth = c->MinWidth();
    FCMaxHeight = c->MaxHeight();
    FCMinHeight = c->MinHeight();
    c->SetMaxWidth(0);
    c->SetMinWidth(0);
    c->SetMaxHeight(0);
    c->SetMinHeight(0);
  }
  FRollUpState = Value;
  DoRollUp(Value);
  if (!Value) {
    c->SetMaxWidth(FCMaxWidth);
    c->SetMinWidth(FCMinWidth);
    c->SetMaxHeight(FCMaxHeight);
    c->SetMinHeight(FCMinHeight);
  }
  if (OnChangeRollUpState) OnChangeRollUpState(this);
}

void TkxSkinPanel::HideChildControls() {
  if (!FAlignHeldByRollUp) {
    DisableAlign();
    FAlignHeldByRollUp = true;
  }
  for (int i = ControlCount() - 1; i >= 0; --i) Controls(i)->SetVisible(false);
}

void TkxSkinPanel::ShowChildControls() {
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetVisible(true);
  if (FAlignHeldByRollUp) {
    FAlignHeldByRollUp = false;
    EnableAlign();
  }
}

void TkxSkinPanel::DoRollUp(bool ARollUp) {
  FInChangingRollUp = true;
  try {
    if (ARollUp) {
      if (FRealHeight == -1) {
        FRealHeight = Height();
        HideChildControls();
        GetSkinData();
        if (FIndex == -1) {
          SetHeight(FDefaultCaptionHeight + 1);
        } else {
          int32_t w = Width(), h = Height();
          CalcSkinSize(w, h);
          SetHeight(Height() - RectHeight(NewClRect));
        }
      }
    } else if (FRealHeight != -1) {
      SetHeight(FRealHeight);
      FRealHeight = -1;
      ShowChildControls();
    }
  } catch (...) {
    FInChangingRollUp = false;
    throw;
  }
  FInChangingRollUp = false;
}

bool TkxSkinPanel::CanAutoSize(int32_t& NewWidth, int32_t& NewHeight) {
  if (FRollUpMode && FInChangingRollUp && AutoSize()) return false;
  return TkxSkinCustomControl::CanAutoSize(NewWidth, NewHeight);
}

void TkxSkinPanel::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  TkxSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FIndex == -1) Repaint();
}

void TkxSkinPanel::GetSkinData() {
  TkxSkinCustomControl::GetSkinData();
  BGPictureIndex = -1;
  if (FIndex == -1) return;
  auto* r = SkinRecord<TkxDataSkinPanelControl>();
  if (!r) return;
  CaptionRect = r->CaptionRect;
  Alignment = r->Alignment;
  FontName = r->FontName;
  FontStyle = r->FontStyle;
  FontHeight = r->FontHeight;
  FontColor = r->FontColor;
  BGPictureIndex = r->BGPictureIndex;
  CheckImageRect = r->CheckImageRect;
  UnCheckImageRect = r->UnCheckImageRect;
  MarkFrameRect = r->MarkFrameRect;
  FrameRect = r->FrameRect;
  FrameLeftOffset = r->FrameLeftOffset;
  FrameRightOffset = r->FrameRightOffset;
  FrameTextRect = r->FrameTextRect;
}

void TkxSkinPanel::ChangeSkinData() {
  TkxSkinCustomControl::ChangeSkinData();
  if (FRealHeight == -1) {
    Realign();
    return;
  }
  // Rolled up: roll up again, so that the height follows the new skin's caption.
  const int32_t real = FRealHeight;
  FRealHeight = -1;
  DoRollUp(true);
  FRealHeight = real;
}

TRect TkxSkinPanel::GetSkinClientRect() {
  TRect r{0, 0, Width(), Height()};
  AdjustClientRect(r);
  return r;
}

void TkxSkinPanel::AdjustClientRect(TRect& Rect) {
  TkxSkinCustomControl::AdjustClientRect(Rect);
  GetSkinData();
  if (FIndex == -1 || Designing()) {
    if (FBorderStyle != TkxSkinBorderStyle::bvNone) {
      Rect.left += 1, Rect.top += 1, Rect.right -= 1, Rect.bottom -= 1;
    }
    if (FCaptionMode) {
      if (FRibbonStyle)
        Rect.bottom -= FDefaultCaptionHeight;
      else
        Rect.top += FDefaultCaptionHeight;
    }
    return;
  }
  if (BGPictureIndex != -1) return;
  if (FBorderStyle == TkxSkinBorderStyle::bvNone && !FCaptionMode && ResizeMode == 1) return;
  int32_t w = Width(), h = Height();
  CalcSkinSize(w, h);
  Rect = NewClRect;
}

void TkxSkinPanel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOVE:
      TkxSkinCustomControl::Dispatch(Message);
      if (FTransparentMode) {
        Repaint();
        BroadcastParentBGChanged();
      }
      return;
    case KXM_PARENTBGCHANGED:
      if (FTransparentMode) {
        Repaint();
        BroadcastParentBGChanged();
      }
      return;
    case CM_ENABLEDCHANGED:
      TkxSkinCustomControl::Dispatch(Message);
      Repaint();
      return;
    case CM_TEXTCHANGED:
      TkxSkinCustomControl::Dispatch(Message);
      if (FCaptionMode) Repaint();
      return;
    default: TkxSkinCustomControl::Dispatch(Message); return;
  }
}

void TkxSkinPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FCaptionMode && (FCheckedMode || FRollUpMode)) {
    TRect r;
    if (FIndex != -1)
      r = NewCaptionRect;
    else if (FRibbonStyle)
      r = TRect{1, Height() - FDefaultCaptionHeight - 1, Width() - 1, Height() - 1};
    else
      r = TRect{1, 1, Width() - 1, FDefaultCaptionHeight};
    if (IsPointInsideRect(r, TPoint{X, Y})) {
      if (FCheckedMode) SetChecked(!FChecked);
      if (FRollUpMode) SetRollUpState(!FRollUpState);
    }
  }
  TkxSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TkxSkinPanel::PaintskinTo(TCanvas* C, int32_t X, int32_t Y) {
  if (!C || Width() < 1 || Height() < 1) return;
  auto b = NewSkinImage(Width(), Height());
  GetSkinData();
  if (FIndex == -1) {
    CreateControlDefaultImage(b.get());
  } else {
    int32_t w = Width(), h = Height();
    CalcSkinSize(w, h);
    // The whole image here, whatever the screen painting splits off.
    const bool force = FForceBackground;
    FForceBackground = false;
    CreateControlSkinImage(b.get());
    FForceBackground = force;
  }
  C->Draw(X, Y, b.get());
}

void TkxSkinPanel::Paint() {
  if (Width() < 1 || Height() < 1) return;
  GetSkinData();
  if (FIndex != -1) {
    int32_t w = Width(), h = Height();
    CalcSkinSize(w, h);
  }
  if (FTransparentMode && FIndex != -1) {
    if (FCaptionMode)
      PaintGroupFrame();
    else
      PaintTransparentFrame(Canvas());
    return;
  }
  if (FIndex == -1 || (!FForceBackground && StretchEffect)) {
    TkxSkinCustomControl::Paint();
    return;
  }
  if (FBorderStyle == TkxSkinBorderStyle::bvNone && ResizeMode == 1 && !FCaptionMode && FForceBackground) {
    PaintTiledClient();
    return;
  }
  if (BGPictureIndex == -1 || !SkinPicture(BGPictureIndex)) {
    TkxSkinCustomControl::Paint();
    return;
  }
  PaintBGPicture();
}

void TkxSkinPanel::PaintTransparentFrame(TCanvas* C) {
  auto b = NewSkinImage(Width(), Height());
  PaintParentBackground(this, b->Canvas());
  if (FBorderStyle != TkxSkinBorderStyle::bvNone) {
    TCanvas* bc = b->Canvas();
    bc->Pen()->SetColor(SkinData()->SkinColors()->cBtnShadow());
    bc->Pen()->SetWidth(1);
    bc->Brush()->SetStyle(bsClear);
    bc->Rectangle(0, 0, Width(), Height());
  }
  DoPanelPaint(b->Canvas());
  C->Draw(0, 0, b.get());
}

void TkxSkinPanel::PaintTiledClient() {
  const int32_t tw = RectWidth(ClRect), th = RectHeight(ClRect);
  if (tw <= 0 || th <= 0 || !Picture) {
    TkxSkinCustomControl::Paint();
    return;
  }
  auto tile = NewSkinImage(tw, th);
  tile->Canvas()->CopyRect(TRect{0, 0, tw, th}, Picture->Canvas(),
                           TRect{SkinRect.left + ClRect.left, SkinRect.top + ClRect.top, SkinRect.left + ClRect.right,
                                 SkinRect.top + ClRect.bottom});
  TCanvas* cv = Canvas();
  const int32_t W = Width(), H = Height();
  if (!StretchEffect) {
    for (int32_t i = 0; i <= W / tw; ++i)
      for (int32_t j = 0; j <= H / th; ++j) cv->Draw(i * tw, j * th, tile.get());
    return;
  }
  switch (StretchType) {
    case kxstFull: cv->StretchDraw(TRect{0, 0, W, H}, tile.get()); break;
    case kxstHorz: {
      auto strip = NewSkinImage(tw, H);
      strip->Canvas()->StretchDraw(TRect{0, 0, tw, H}, tile.get());
      for (int32_t i = 0; i <= W / tw; ++i) cv->Draw(i * tw, 0, strip.get());
      break;
    }
    case kxstVert: {
      auto strip = NewSkinImage(W, th);
      strip->Canvas()->StretchDraw(TRect{0, 0, W, th}, tile.get());
      for (int32_t j = 0; j <= H / th; ++j) cv->Draw(0, j * th, strip.get());
      break;
    }
  }
}

void TkxSkinPanel::PaintBGPicture() {
  TBitmap* pic = SkinPicture(BGPictureIndex);
  const int32_t pw = pic->Width(), ph = pic->Height();
  TCanvas* cv = Canvas();
  const int32_t W = Width(), H = Height();
  if (!StretchEffect) {
    for (int32_t i = 0; i <= W / pw; ++i)
      for (int32_t j = 0; j <= H / ph; ++j) cv->Draw(i * pw, j * ph, pic);
    return;
  }
  switch (StretchType) {
    case kxstFull: cv->StretchDraw(NewClRect, pic); break;
    case kxstHorz: {
      auto strip = NewSkinImage(pw, H);
      strip->Canvas()->StretchDraw(TRect{0, 0, pw, H}, pic);
      for (int32_t i = 0; i <= W / pw; ++i) cv->Draw(i * pw, 0, strip.get());
      break;
    }
    case kxstVert: {
      auto strip = NewSkinImage(W, ph);
      strip->Canvas()->StretchDraw(TRect{0, 0, W, ph}, pic);
      for (int32_t j = 0; j <= H / ph; ++j) cv->Draw(0, j * ph, strip.get());
      break;
    }
  }
}

bool TkxSkinPanel::HasListImage() const {
  return FGlyph->Empty() && FCaptionImageList && FCaptionImageIndex >= 0 &&
         FCaptionImageIndex < FCaptionImageList->Count();
}

int32_t TkxSkinPanel::CaptionImageWidth() const {
  if (HasListImage()) return FCaptionImageList->Width();
  if (!FGlyph->Empty()) return FGlyph->Width() / FNumGlyphs;
  return 0;
}

int32_t TkxSkinPanel::CaptionImageHeight() const {
  if (HasListImage()) return FCaptionImageList->Height();
  if (!FGlyph->Empty()) return FGlyph->Height();
  return 0;
}

void TkxSkinPanel::DrawCaptionImage(TCanvas* C, int32_t X, int32_t Y) {
  if (HasListImage()) {
    FCaptionImageList->Draw(C, X, Y, FCaptionImageIndex, Enabled());
  } else if (!FGlyph->Empty()) {
    const int32_t n = !Enabled() && FNumGlyphs == 2 ? 2 : 1;
    DrawGlyphFromStrip(C, X, Y, FGlyph.get(), FNumGlyphs, n);
  }
}

int32_t TkxSkinPanel::CaptionContentWidth(TCanvas* C) {
  int32_t w = C->TextWidth(Caption());
  if (!FGlyph->Empty()) w += FGlyph->Width() / FNumGlyphs + FSpacing;
  return w;
}

void TkxSkinPanel::SetCaptionFont(TCanvas* C, bool FromRecord) {
  TFont* f = C->Font();
  f->Assign(FDefaultFont.get());
  if (FromRecord && FUseSkinFont && !FontName.empty()) {
    f->SetName(FontName);
    f->SetHeight(FontHeight);
    f->SetStyle(FontStyle);
  }
  f->SetCharset(SkinCharset(FDefaultFont.get()));
}

int32_t TkxSkinPanel::DrawCheckImage(TCanvas* C, int32_t X, int32_t CentreY, TColor MarkColor) {
  const TRect& img = FChecked ? CheckImageRect : UnCheckImageRect;
  if (RectInPicture(img, Picture)) {
    DrawTransparentPart(C, X, CentreY - RectHeight(img) / 2, Picture, img);
    return RectWidth(img);
  }
  // A skin without check images still shows the state.
  DrawPlainCheck(C, X, CentreY - 7, FChecked, SkinData() ? SkinData()->SkinColors()->cBtnShadow() : kxPlain.Shadow, MarkColor);
  return 14;
}

void TkxSkinPanel::CreateControlDefaultImage(TBitmap* B) {
  TkxSkinCustomControl::CreateControlDefaultImage(B);
  TCanvas* C = B->Canvas();
  const int32_t W = Width(), H = Height();
  TRect R{0, 0, W, H};
  switch (FBorderStyle) {
    case TkxSkinBorderStyle::bvFrame: DrawPlainEdge(C, R, TkxPlainEdge::Flat); break;
    case TkxSkinBorderStyle::bvRaised: DrawPlainEdge(C, R, TkxPlainEdge::Raised); break;
    case TkxSkinBorderStyle::bvLowered: DrawPlainEdge(C, R, TkxPlainEdge::Sunken); break;
    case TkxSkinBorderStyle::bvNone: break;
  }
  if (!FCaptionMode) return;
  const int32_t dch = FDefaultCaptionHeight;
  if (FBorderStyle == TkxSkinBorderStyle::bvFrame) {
    R = FRibbonStyle ? TRect{0, H - dch, W, H} : TRect{0, 0, W, dch};
    DrawPlainEdge(C, R, TkxPlainEdge::Flat);
    DrawPlainEdge(C, R, TkxPlainEdge::RaisedLight);
  } else {
    R = FRibbonStyle ? TRect{1, H - dch - 1, W - 1, H - 1} : TRect{1, 1, W - 1, dch};
    DrawPlainEdge(C, R, TkxPlainEdge::Sunken);
    DrawPlainEdge(C, R, TkxPlainEdge::Raised);
  }
  if (FCheckedMode) R.left += 20;
  if (FRollUpMode) R.right -= 10;
  SetCaptionFont(C, false);
  // A disabled panel greys its own caption; a skin gives its colour itself.
  if (!Enabled()) C->Font()->SetColor(kxPlain.DisabledText);
  const std::string caption = Caption();
  const int32_t centre = R.top + RectHeight(R) / 2;
  const int32_t y = centre - C->TextHeight(caption) / 2;
  const int32_t w = CaptionContentWidth(C);
  int32_t x = R.left + 2;
  if (FDefaultAlignment == taRightJustify)
    x = R.right - w;
  else if (FDefaultAlignment == taCenter)
    x = R.left + 2 + RectWidth(R) / 2 - w / 2;
  if (FCheckedMode) DrawPlainCheck(C, 5, centre - 7, FChecked, kxPlain.Shadow, kxPlain.Text);
  const int32_t ix = x, iy = centre - CaptionImageHeight() / 2;
  const int32_t iw = CaptionImageWidth();
  if (iw > 0) x += iw + FSpacing;
  C->Brush()->SetStyle(bsClear);
  C->TextRect(R, x, y, caption);
  DrawCaptionImage(C, ix, iy);
  if (FRollUpMode)
    DrawArrowImage(C, TRect{R.right, R.top, R.right + 10, R.bottom}, kxPlain.Text, FRollUpState ? kxakDown : kxakUp);
}

void TkxSkinPanel::CreateControlSkinImage(TBitmap* B) {
  if (FBorderStyle == TkxSkinBorderStyle::bvNone && ResizeMode == 1 && !FCaptionMode && !StretchEffect) {
    const int32_t tw = RectWidth(ClRect), th = RectHeight(ClRect);
    if (tw > 0 && th > 0 && Picture) {
      const TRect src{SkinRect.left + ClRect.left, SkinRect.top + ClRect.top, SkinRect.left + ClRect.right,
                      SkinRect.top + ClRect.bottom};
      for (int32_t x = 0; x < B->Width(); x += tw)
        for (int32_t y = 0; y < B->Height(); y += th) B->Canvas()->CopyRect(TRect{x, y, x + tw, y + th}, Picture->Canvas(), src);
      return;
    }
  }
  TkxSkinCustomControl::CreateControlSkinImage(B);
  if (ResizeMode < 1)
    NewCaptionRect = CaptionRect;
  else if (!FTransparentMode)
    SkinRectToControlRect(CaptionRect, NewCaptionRect);
  if (!Caption().empty() && !IsEmptyRect(CaptionRect)) DrawSkinCaption(B->Canvas());
}

void TkxSkinPanel::DrawSkinCaption(TCanvas* C) {
  TRect R = NewCaptionRect;
  if (FRollUpMode) R.right -= 12;
  const int32_t centre = R.top + RectHeight(R) / 2;
  if (FCheckedMode) R.left += DrawCheckImage(C, R.left, centre, FontColor) + 2;
  SetCaptionFont(C, true);
  C->Font()->SetColor(FontColor);
  const std::string caption = Caption();
  const int32_t y = centre - C->TextHeight(caption) / 2;
  const int32_t w = CaptionContentWidth(C), tw = C->TextWidth(caption);
  int32_t x = R.left;
  if (Alignment == taRightJustify)
    x = R.right - w;
  else if (Alignment == taCenter)
    x = R.left + RectWidth(R) / 2 - w / 2;
  const int32_t iw = CaptionImageWidth();
  int32_t ix = x;
  if (iw > 0) {
    if (FImagePosition == kxipLeft) {
      ix = R.left + 2;
      x = R.left + 2 + iw + FSpacing;
      if (Alignment == taRightJustify)
        x = R.right - tw;
      else if (Alignment == taCenter)
        x = R.left + RectWidth(R) / 2 - tw / 2;
      x = std::max(x, ix + iw + FSpacing);
    } else {
      ix = x;
      x += iw + FSpacing;
    }
  }
  const int32_t iy = centre - CaptionImageHeight() / 2;
  if (FRollUpMode) {
    const TRect M{R.right, R.top, R.right + 10, R.bottom};
    if (RectInPicture(MarkFrameRect, Picture))
      C->CopyRect(TRect{M.left, M.top, M.left + RectWidth(MarkFrameRect), CaptionRect.top + RectHeight(MarkFrameRect)},
                  Picture->Canvas(), MarkFrameRect);
    DrawArrowImage(C, M, FontColor, FRollUpState ? kxakDown : kxakUp);
  }
  if (RectInPicture(FrameRect, Picture)) {
    const int32_t e = RectWidth(FrameRect) - RectWidth(FrameTextRect);
    auto frame = NewSkinImage(0, 0);
    BuildHorzThreePartImage(FrameLeftOffset, FrameRightOffset, frame.get(), Picture, FrameRect, e + tw,
                            RectHeight(FrameRect), false);
    int32_t fx = x;
    switch (Alignment) {
      case taLeftJustify: fx = x, x = fx + FrameTextRect.left; break;
      case taRightJustify: fx = x - e, x = fx + FrameTextRect.left, ix -= e; break;
      case taCenter: fx = x - FrameTextRect.left - 2, ix -= FrameTextRect.left, x -= 2; break;
    }
    C->Draw(fx, CaptionRect.top, frame.get());
  }
  C->Brush()->SetStyle(bsClear);
  C->TextRect(R, x, y, caption);
  DrawCaptionImage(C, ix, iy);
}

void TkxSkinPanel::PaintGroupFrame() {
  auto b = NewSkinImage(Width(), Height());
  TCanvas* C = b->Canvas();
  PaintParentBackground(this, C);
  const int32_t W = Width(), H = Height();
  C->Pen()->SetColor(SkinData()->SkinColors()->cBtnShadow());
  C->Pen()->SetWidth(1);
  C->Brush()->SetStyle(bsClear);
  SetCaptionFont(C, true);
  // The text colour of the skin's "stdlabel" record, or the skin's text colour without one.
  TColor textColor = clBtnText;
  if (SkinData() && !SkinData()->Empty) {
    auto* r = SkinRecordNamed<TkxDataSkinStdLabelControl>("stdlabel");
    textColor = r ? r->FontColor : SkinData()->SkinColors()->cBtnText();
  }
  C->Font()->SetColor(textColor);
  const std::string caption = Caption();
  const int32_t h = C->TextHeight(caption) + 5;
  NewCaptionRect = TRect{5, 0, W, h};
  int32_t a = 5;
  if (FCheckedMode) a = DrawCheckImage(C, 5, h / 2, textColor) + 10;
  const int32_t iw = CaptionImageWidth();
  const int32_t ix = a, iy = h / 2 - CaptionImageHeight() / 2;
  if (iw > 0) a += iw + 2;
  TRect calc{a, 0, W, h};
  DrawWideText(C, caption, calc, DT_CALCRECT | DT_SINGLELINE);
  const int32_t tw = caption.empty() ? 0 : RectWidth(calc);
  C->Brush()->SetStyle(bsClear);
  DrawVCenteredText(C, caption, TRect{a, 0, W, h});
  DrawCaptionImage(C, ix, iy);
  int32_t topFrom = a + tw + 3;
  if (FRollUpMode) {
    DrawArrowImage(C, TRect{a + tw + 3, 0, a + tw + 10, h}, C->Font()->Color(), FRollUpState ? kxakDown : kxakUp);
    topFrom = a + tw + 12;
  }
  Line(C, topFrom, h / 2, W, h / 2);
  Line(C, 0, h / 2, 4, h / 2);
  C->MoveTo(W - 1, h / 2);
  C->LineTo(W - 1, H - 1);
  C->LineTo(0, H - 1);
  C->LineTo(0, h / 2);
  DoPanelPaint(C);
  Canvas()->Draw(0, 0, b.get());
}

// ---- TkxSkinPaintPanel --------------------------------------------------------------------------

TkxSkinPaintPanel::TkxSkinPaintPanel(TComponent* AOwner) : TkxSkinPanel(AOwner) { FForceBackground = false; }

void TkxSkinPaintPanel::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND) {
    // An erase outside painting asks for the panel's look in its DC.
    if (!FromWMPaint && Message.WParam) PaintWindow(reinterpret_cast<HDC>(Message.WParam));
    Message.Result = 1;
    return;
  }
  TkxSkinPanel::Dispatch(Message);
}

void TkxSkinPaintPanel::DoPanelPaint(TCanvas* Canvas) {
  if (!OnPanelPaint) return;
  TRect r = GetSkinClientRect();
  OnPanelPaint(Canvas, r);
}

void TkxSkinPaintPanel::CreateControlDefaultImage(TBitmap* B) {
  TkxSkinPanel::CreateControlDefaultImage(B);
  DoPanelPaint(B->Canvas());
}

void TkxSkinPaintPanel::CreateControlSkinImage(TBitmap* B) {
  TkxSkinPanel::CreateControlSkinImage(B);
  DoPanelPaint(B->Canvas());
}

// ---- TkxSkinGroupBox ----------------------------------------------------------------------------

TkxSkinGroupBox::TkxSkinGroupBox(TComponent* AOwner) : TkxSkinPanel(AOwner) {
  FSkinDataName = "groupbox";
  SetCaptionMode(true);
}

void TkxSkinGroupBox::GetSkinData() {
  TkxSkinPanel::GetSkinData();
  // A caption under the client part would be covered by the forced background.
  if (FIndex != -1 && !IsEmptyRect(CaptionRect) && CaptionRect.top >= ClRect.bottom) FForceBackground = false;
}

// ---- TkxSkinStatusBar ---------------------------------------------------------------------------

TkxSkinStatusBar::TkxSkinStatusBar(TComponent* AOwner) : TkxSkinPanel(AOwner) {
  FSkinDataName = "statusbar";
  SetAlign(alBottom);
  SetHeight(21);
  SetBorderStyle(TkxSkinBorderStyle::bvNone);
  FForceBackground = false;
}

void TkxSkinStatusBar::SetSizeGrip(bool Value) {
  FSizeGrip = Value;
  Repaint();
  Realign();
}

void TkxSkinStatusBar::SetShowGrip(bool Value) {
  FShowGrip = Value;
  Repaint();
  Realign();
}

void TkxSkinStatusBar::GetSkinData() {
  TkxSkinPanel::GetSkinData();
  if (auto* r = SkinRecord<TkxDataSkinPanelControl>()) {
    GripperRect = r->GripperRect;
    GripperTransparent = r->GripperTransparent;
    GripperTransparentColor = r->GripperTransparentColor;
  }
}

void TkxSkinStatusBar::SetSkinData(TkxSkinData* Value) {
  TkxSkinPanel::SetSkinData(Value);
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* s = dynamic_cast<TkxSkinControl*>(Controls(i))) s->SetSkinData(Value);
}

void TkxSkinStatusBar::AdjustClientRect(TRect& Rect) {
  TkxSkinPanel::AdjustClientRect(Rect);
  if (!GripShown()) return;
  if (FIndex == -1 || IsEmptyRect(GripperRect))
    Rect.right -= RectHeight(Rect);
  else
    Rect.right -= RectWidth(GripperRect);
}

TRect TkxSkinStatusBar::GetGripRect() {
  const TRect c = GetSkinClientRect();
  if (FIndex != -1 && !IsEmptyRect(GripperRect)) {
    const int32_t gw = RectWidth(GripperRect), gh = RectHeight(GripperRect);
    return TRect{c.right, c.bottom - gh, c.right + gw, c.bottom};
  }
  return TRect{c.right + 2, c.top, c.right + RectHeight(c), c.bottom - 2};
}

void TkxSkinStatusBar::CreateControlDefaultImage(TBitmap* B) {
  TkxSkinPanel::CreateControlDefaultImage(B);
  if (GripShown()) DrawPlainSizeGrip(B->Canvas(), GetGripRect(), kxPlain.Shadow, kxPlain.Highlight);
}

void TkxSkinStatusBar::CreateControlSkinImage(TBitmap* B) {
  TkxSkinPanel::CreateControlSkinImage(B);
  if (!GripShown()) return;
  const TRect g = GetGripRect();
  if (IsEmptyRect(GripperRect) || !RectInPicture(GripperRect, Picture)) {
    DrawPlainSizeGrip(B->Canvas(), g, SkinData()->SkinColors()->cBtnShadow(), SkinData()->SkinColors()->cBtnHighLight());
    return;
  }
  auto grip = NewSkinImage(RectWidth(GripperRect), RectHeight(GripperRect));
  grip->Canvas()->CopyRect(TRect{0, 0, grip->Width(), grip->Height()}, Picture->Canvas(), GripperRect);
  if (GripperTransparent) {
    grip->SetTransparentColor(GripperTransparentColor);
    grip->SetTransparent(true);
  }
  B->Canvas()->Draw(g.left, g.top, grip.get());
}

void TkxSkinStatusBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCHITTEST: {
      if (Designing() || !GripShown()) break;
      const TPoint p = ScreenToClient(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
      GetSkinData();
      Message.Result = IsPointInsideRect(GetGripRect(), p) ? HTBOTTOMRIGHT : HTCLIENT;
      return;
    }
    case WM_NCLBUTTONDOWN:
      // The grip is the form's corner: the form runs the sizing, not the bar.
      if (Message.WParam == HTBOTTOMRIGHT && GripShown()) {
        if (TCustomForm* f = GetParentForm(this); f && f->HandleAllocated() && !IsZoomed(f->Handle())) {
          SendMessage(f->Handle(), WM_SYSCOMMAND, SC_SIZE + WMSZ_BOTTOMRIGHT, Message.LParam);
          return;
        }
      }
      break;
    default: break;
  }
  TkxSkinPanel::Dispatch(Message);
}

// ---- form streaming ----------------------------------------------------------------------------

namespace {

constexpr std::initializer_list<std::pair<const char*, TAlignment>> kAlignments = {
    {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};
constexpr std::initializer_list<std::pair<const char*, TkxSkinBorderStyle>> kBorderStyles = {
    {"bvFrame", TkxSkinBorderStyle::bvFrame},
    {"bvRaised", TkxSkinBorderStyle::bvRaised},
    {"bvLowered", TkxSkinBorderStyle::bvLowered},
    {"bvNone", TkxSkinBorderStyle::bvNone}};

}  // namespace

void RegisterSkinPanelFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  // The panels' published properties include the bases'.
  RegisterSkinControlFormClasses();
  RegisterFormClass<TkxSkinPanel, TkxSkinCustomControl>("TkxSkinPanel")
      .Boolean("RibbonStyle", &TkxSkinPanel::SetRibbonStyle)
      .Enum<TkxImagePosition>("ImagePosition", &TkxSkinPanel::SetImagePosition,
                              {{"kxipDefault", kxipDefault}, {"kxipLeft", kxipLeft}})
      .Boolean("TransparentMode", &TkxSkinPanel::SetTransparentMode)
      .Reference<TCustomImageList>("CaptionImageList", &TkxSkinPanel::SetCaptionImageList)
      .Integer("CaptionImageIndex", &TkxSkinPanel::SetCaptionImageIndex)
      .Integer("RealHeight", &TkxSkinPanel::SetRealHeight)
      .Boolean("AutoEnabledControls", &TkxSkinPanel::SetAutoEnabledControls)
      .Boolean("CheckedMode", &TkxSkinPanel::SetCheckedMode)
      .Boolean("Checked", &TkxSkinPanel::SetChecked)
      .Enum<TAlignment>("DefaultAlignment", &TkxSkinPanel::SetDefaultAlignment, kAlignments)
      .Integer("DefaultCaptionHeight", &TkxSkinPanel::SetDefaultCaptionHeight)
      .Enum<TkxSkinBorderStyle>("BorderStyle", &TkxSkinPanel::SetBorderStyle, kBorderStyles)
      .Boolean("CaptionMode", &TkxSkinPanel::SetCaptionMode)
      .Boolean("RollUpMode", &TkxSkinPanel::SetRollUpMode)
      .Boolean("RollUpState", &TkxSkinPanel::SetRollUpState)
      .Object("Glyph", &TkxSkinPanel::Glyph)
      .Integer("NumGlyphs", [](TkxSkinPanel* p, int32_t v) {
        if (v < 1 || v > 2) throw EFormValueError("NumGlyphs is 1 or 2");
        p->SetNumGlyphs(v);
      })
      .Integer("Spacing", &TkxSkinPanel::SetSpacing)
      .Event<TNotifyEvent>("OnChecked", &TkxSkinPanel::OnChecked)
      .Event<TNotifyEvent>("OnChangeRollUpState", &TkxSkinPanel::OnChangeRollUpState);
  RegisterFormClass<TkxSkinPaintPanel, TkxSkinPanel>("TkxSkinPaintPanel")
      .Event<TkxPaintPanelEvent>("OnPanelPaint", &TkxSkinPaintPanel::OnPanelPaint);
  RegisterFormClass<TkxSkinGroupBox, TkxSkinPanel>("TkxSkinGroupBox");
  RegisterFormClass<TkxSkinStatusBar, TkxSkinPanel>("TkxSkinStatusBar")
      .Boolean("SizeGrip", &TkxSkinStatusBar::SetSizeGrip);
}
