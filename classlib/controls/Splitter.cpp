// The splitter: a thin aligned bar whose drag resizes the control aligned against it.
#include <algorithm>

#include "classlib/ExtCtrls.h"

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  FWidth = 3;
  FHeight = 100;
  FCursor = crHSplit;
  SetAlign(alLeft);
}

void TSplitter::SetMinSize(int32_t Value) { FMinSize = std::max<int32_t>(Value, 1); }

void TSplitter::SetBeveled(bool Value) {
  if (FBeveled == Value) return;
  FBeveled = Value;
  Invalidate();
}

// The cursor follows the orientation unless the user chose another one.
void TSplitter::RequestAlign() {
  TGraphicControl::RequestAlign();
  if (FCursor != crHSplit && FCursor != crVSplit) return;
  SetCursor(FAlign == alTop || FAlign == alBottom ? crVSplit : crHSplit);
}

void TSplitter::Paint() {
  TCanvas* cv = Canvas();
  TRect r{0, 0, FWidth, FHeight};
  cv->Brush()->SetStyle(bsSolid);
  cv->Brush()->SetColor(FColor);
  cv->FillRect(r);
  if (!FBeveled) return;
  // A raised ridge along the bar: light on the leading edge, shadow on the trailing one.
  const bool vertical = FAlign != alTop && FAlign != alBottom;
  auto line = [&](TColor c, int x1, int y1, int x2, int y2) {
    cv->Pen()->SetColor(c);
    cv->MoveTo(x1, y1);
    cv->LineTo(x2, y2);
  };
  if (vertical) {
    line(clBtnHighlight, 0, 0, 0, FHeight);
    if (FWidth > 1) line(clBtnShadow, FWidth - 1, 0, FWidth - 1, FHeight);
  } else {
    line(clBtnHighlight, 0, 0, FWidth, 0);
    if (FHeight > 1) line(clBtnShadow, 0, FHeight - 1, FWidth, FHeight - 1);
  }
}

// The visible, enabled sibling whose bounds hold the point just outside the splitter's leading
// edge; a control of zero thickness counts as one pixel thick.
TControl* TSplitter::FindControl() {
  if (!FParent) return nullptr;
  TPoint p{FLeft, FTop};
  switch (FAlign) {
    case alLeft: p.x -= 1; break;
    case alRight: p.x += FWidth; break;
    case alTop: p.y -= 1; break;
    case alBottom: p.y += FHeight; break;
    default: return nullptr;
  }
  for (int i = 0; i < FParent->ControlCount(); ++i) {
    TControl* c = FParent->Controls(i);
    if (c == this || !c->Visible() || !c->Enabled()) continue;
    TRect r = c->BoundsRect();
    if (r.right == r.left) (FAlign == alLeft || FAlign == alTop) ? --r.left : ++r.right;
    if (r.bottom == r.top) (FAlign == alLeft || FAlign == alTop) ? --r.top : ++r.bottom;
    if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return c;
  }
  return nullptr;
}

void TSplitter::CalcSplitSize(int X, int Y, int32_t& NewSize) {
  const bool vertical = FAlign == alLeft || FAlign == alRight;
  const int32_t s = vertical ? X - FDownPos.x : Y - FDownPos.y;
  switch (FAlign) {
    case alLeft: NewSize = FControl->Width() + s; break;
    case alRight: NewSize = FControl->Width() - s; break;
    case alTop: NewSize = FControl->Height() + s; break;
    case alBottom: NewSize = FControl->Height() - s; break;
    default: NewSize = 0; break;
  }
  NewSize = std::clamp(NewSize, FMinSize, std::max(FMinSize, FMaxSize));
}

bool TSplitter::DoCanResize(int32_t& NewSize) {
  bool accept = true;
  if (OnCanResize) OnCanResize(this, NewSize, accept);
  return accept;
}

void TSplitter::Moved() {
  if (OnMoved) OnMoved(this);
}

void TSplitter::UpdateControlSize() {
  if (!FControl || FNewSize == FOldSize) return;
  if (FAlign == alLeft || FAlign == alRight)
    FControl->SetWidth(FNewSize);
  else
    FControl->SetHeight(FNewSize);
  FOldSize = FNewSize;
  if (FParent) FParent->Update();
  Moved();
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !FParent) return;
  FControl = FindControl();
  if (!FControl) return;
  FControl->FreeNotification(this);
  FDownPos = TPoint{X, Y};
  // What the neighbour may grow to: the parent's room less the other controls on the same axis
  // and MinSize left for the rest.
  const bool vertical = FAlign == alLeft || FAlign == alRight;
  FMaxSize = (vertical ? FParent->ClientWidth() : FParent->ClientHeight()) - FMinSize;
  for (int i = 0; i < FParent->ControlCount(); ++i) {
    TControl* c = FParent->Controls(i);
    if (!c->Visible()) continue;
    if (vertical && (c->Align() == alLeft || c->Align() == alRight)) FMaxSize -= c->Width();
    if (!vertical && (c->Align() == alTop || c->Align() == alBottom)) FMaxSize -= c->Height();
  }
  FMaxSize += vertical ? FControl->Width() : FControl->Height();
  FOldSize = vertical ? FControl->Width() : FControl->Height();
  FNewSize = FOldSize;
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FControl) return;
  int32_t size = 0;
  CalcSplitSize(X, Y, size);
  if (!DoCanResize(size)) return;
  FNewSize = size;
  // The other styles keep the split point still and apply it at the release; the live
  // update moves the splitter with the neighbour's edge, so the next delta is again small.
  if (FResizeStyle == rsUpdate) UpdateControlSize();
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft) StopSizing();
}

void TSplitter::StopSizing() {
  if (!FControl) return;
  UpdateControlSize();
  FControl = nullptr;
}

void TSplitter::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FControl) FControl = nullptr;
}
