#include "lib/controls/kxSkinSplitBevel.h"

#include "classlib/Streaming.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/graphics/kxUtils.h"
#include "lib/graphics/kxUtilsPlatform.h"

// ---- TkxSkinSplitter ---------------------------------------------------------------------------

TkxSkinSplitter::TkxSkinSplitter(TComponent* AOwner) : TSplitter(AOwner), TkxSkinBinding(this, "vsplitter") {
  FControlStyle.Include(csOpaque);
}

TkxSkinSplitter::~TkxSkinSplitter() = default;

void TkxSkinSplitter::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  if (Value)
    FControlStyle.Exclude(csOpaque);
  else
    FControlStyle.Include(csOpaque);
  Invalidate();
}

void TkxSkinSplitter::SetSkinData(TkxSkinData* Value) {
  if (BindSkinData(Value)) ChangeSkinData();
}

void TkxSkinSplitter::GetSkinData() {
  LookupSkinIndex();
  FSkinPicture = nullptr;
  auto* rec = SkinRecord<TkxDataSkinSplitterControl>();
  if (!rec) return;
  LTPt = rec->LTPoint;
  RTPt = rec->RTPoint;
  LBPt = rec->LBPoint;
  SkinRect = rec->SkinRect;
  StretchEffect = rec->StretchEffect;
  const int32_t pi = rec->PictureIndex;
  FSkinPicture = SkinPicture(pi);
  GripperRect = rec->GripperRect;
  GripperTransparent = rec->GripperTransparent;
  GripperTransparentColor = rec->GripperTransparentColor;
}

void TkxSkinSplitter::ChangeSkinData() {
  GetSkinData();
  const bool plain = FIndex < 0 || FTransparent;
  if (Horizontal())
    SetHeight(plain ? FDefaultSize : RectHeight(SkinRect));
  else
    SetWidth(plain ? FDefaultSize : RectWidth(SkinRect));
  Invalidate();
}

void TkxSkinSplitter::RequestAlign() {
  TSplitter::RequestAlign();
  if (ComponentState().Contains(csDesigning)) FSkinDataName = Horizontal() ? "hsplitter" : "vsplitter";
}

void TkxSkinSplitter::Paint() {
  if (FTransparent || FWidth < 1 || FHeight < 1) return;
  GetSkinData();
  // A record without a usable picture has nothing to copy from: the plain bar is drawn then.
  const bool usable = FIndex >= 0 && FSkinPicture && !FSkinPicture->Empty() && !IsEmptyRect(SkinRect);
  if (!usable || FAlign == alNone || FAlign == alClient || FAlign == alCustom) {
    TSplitter::Paint();
    return;
  }
  TBitmap bar;
  bar.SetPixelFormat(pf24bit);
  if (Horizontal())
    BuildHorzThreePartImage(LTPt.x, RectWidth(SkinRect) - RTPt.x, &bar, FSkinPicture, SkinRect, FWidth, FHeight,
                            StretchEffect);
  else
    BuildVertThreePartImage(LTPt.y, RectHeight(SkinRect) - LBPt.y, &bar, FSkinPicture, SkinRect, FWidth, FHeight,
                            StretchEffect);
  if (!IsEmptyRect(GripperRect)) {
    const int32_t gw = RectWidth(GripperRect), gh = RectHeight(GripperRect);
    TBitmap grip;
    grip.SetPixelFormat(pf24bit);
    grip.SetSize(gw, gh);
    grip.Canvas()->CopyRect(TRect{0, 0, gw, gh}, FSkinPicture->Canvas(), GripperRect);
    if (GripperTransparent) {
      grip.SetTransparentColor(GripperTransparentColor);
      grip.SetTransparent(true);
    }
    bar.Canvas()->Draw(bar.Width() / 2 - gw / 2, bar.Height() / 2 - gh / 2, &grip);
  }
  Canvas()->Draw(0, 0, &bar);
}

// ---- TkxSkinBevel ------------------------------------------------------------------------------

TkxSkinBevel::TkxSkinBevel(TComponent* AOwner) : TBevel(AOwner), TkxSkinBinding(this, "bevel") {}

TkxSkinBevel::~TkxSkinBevel() = default;

void TkxSkinBevel::SetSkinData(TkxSkinData* Value) {
  if (BindSkinData(Value)) ChangeSkinData();
}

void TkxSkinBevel::SetDividerMode(bool Value) {
  FDividerMode = Value;
  Invalidate();
}

void TkxSkinBevel::ChangeSkinData() {
  if (LookupSkinIndex() < 0) {
    LightColor = kxPlain.Highlight;
    DarkColor = kxPlain.Shadow;
  } else if (auto* rec = SkinRecord<TkxDataSkinBevel>()) {
    LightColor = rec->LightColor;
    DarkColor = rec->DarkColor;
  }
  Invalidate();
}

void TkxSkinBevel::Paint() {
  TCanvas* cv = Canvas();
  const TColor c1 = Style() == bsLowered ? DarkColor : LightColor;
  const TColor c2 = Style() == bsLowered ? LightColor : DarkColor;
  const int32_t w = FWidth, h = FHeight;
  cv->Pen()->SetWidth(1);
  cv->Pen()->SetStyle(psSolid);
  auto line = [&](TColor c, int x1, int y1, int x2, int y2) {
    cv->Pen()->SetColor(c);
    cv->MoveTo(x1, y1);
    cv->LineTo(x2, y2);
  };
  // The two-colour frame: the first colour up the left and along the top, the second down the
  // right and back along the bottom.
  auto frame = [&](int l, int t, int r, int b, TColor a, TColor z) {
    cv->Pen()->SetColor(a);
    cv->MoveTo(l, b);
    cv->LineTo(l, t);
    cv->LineTo(r, t);
    cv->Pen()->SetColor(z);
    cv->LineTo(r, b);
    cv->LineTo(l, b);
  };
  const TBevelShape shape = Shape();
  if (shape == bsSpacer) return;
  if (FDividerMode) {
    if (shape == bsTopLine || shape == bsBottomLine)
      frame(2, h / 2 - 1, w - 2, h / 2, c1, c2);
    else
      frame(w / 2 - 1, 2, w / 2, h - 2, c1, c2);
    return;
  }
  switch (shape) {
    case bsBox: frame(0, 0, w - 1, h - 1, c1, c2); break;
    case bsFrame:
      frame(1, 1, w - 1, h - 1, c2, c2);
      frame(0, 0, w - 2, h - 2, c1, c1);
      break;
    case bsTopLine: line(c1, 0, 0, w, 0); line(c2, 0, 1, w, 1); break;
    case bsBottomLine: line(c1, 0, h - 2, w, h - 2); line(c2, 0, h - 1, w, h - 1); break;
    case bsLeftLine: line(c1, 0, 0, 0, h); line(c2, 1, 0, 1, h); break;
    case bsRightLine: line(c1, w - 2, 0, w - 2, h); line(c2, w - 1, 0, w - 1, h); break;
    case bsSpacer: break;
  }
}

// ---- form streaming ----------------------------------------------------------------------------

void RegisterSkinSplitBevelFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFormClass<TkxSkinSplitter, TSplitter>("TkxSkinSplitter")
      .Boolean("Transparent", &TkxSkinSplitter::SetTransparent)
      .Integer("DefaultSize", &TkxSkinSplitter::SetDefaultSize)
      .String("SkinDataName", &TkxSkinSplitter::SetSkinDataName)
      .Reference<TkxSkinData>("SkinData", &TkxSkinSplitter::SetSkinData);
  RegisterFormClass<TkxSkinBevel, TBevel>("TkxSkinBevel")
      .Reference<TkxSkinData>("SkinData", &TkxSkinBevel::SetSkinData)
      .String("SkinDataName", &TkxSkinBevel::SetSkinDataName)
      .Boolean("DividerMode", &TkxSkinBevel::SetDividerMode);
}
