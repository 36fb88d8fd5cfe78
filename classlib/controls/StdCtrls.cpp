// Label, push button, check box, radio button and group box with their plain default looks.
#include "classlib/StdCtrls.h"

#include <algorithm>

#include "classlib/ActnList.h"
#include "classlib/Forms.h"

using namespace win;

namespace {

// Measures (DT_CALCRECT) text in a font without needing any window.
TRect MeasureText(TFont* Font, const std::string& Text, UINT Flags, TRect R) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return R;
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  DrawText(dc, Text, &R, Flags | DT_CALCRECT);
  SelectObject(dc, old);
  DeleteDC(dc);
  return R;
}

int32_t LineHeight(TFont* Font) {
  return MeasureText(Font, "0", DT_SINGLELINE, TRect{0, 0, 1000, 0}).bottom;
}

}  // namespace

// ---- TCustomLabel -----------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csReplicatable, csDoubleClicks};
  FWidth = 65;
  FHeight = 17;
  FAutoSize = true;
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}
void TCustomLabel::SetLayout(TTextLayout Value) {
  if (Value == FLayout) return;
  FLayout = Value;
  Invalidate();
}
void TCustomLabel::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  AdjustSize();
  Invalidate();
}
void TCustomLabel::SetShowAccelChar(bool Value) {
  if (Value == FShowAccelChar) return;
  FShowAccelChar = Value;
  AdjustSize();
  Invalidate();
}
void TCustomLabel::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  if (Value) FControlStyle.Exclude(csOpaque);
  else FControlStyle.Include(csOpaque);
  Invalidate();
}
void TCustomLabel::SetFocusControl(TWinControl* Value) {
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}
void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
  std::string text = Caption();
  // An empty caption still measures one line, so an auto-sized label never collapses.
  if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += " ";
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  if (Flags & DT_CALCRECT) {
    Rect = MeasureText(FFont.get(), text, Flags, Rect);
    return;
  }
  TCanvas* cv = Canvas();
  cv->Brush()->SetStyle(bsClear);
  HDC dc = cv->Handle();
  cv->Font()->SetColor(FEnabled ? FFont->Color() : clGrayText);
  cv->TextExtent(" ");  // selects the font and its colour
  SetBkMode(dc, TRANSPARENT);
  DrawText(dc, text, &Rect, Flags);
}

void TCustomLabel::Paint() {
  TRect r = ClientRect();
  if (!FTransparent) {
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(FColor);
    Canvas()->FillRect(r);
  }
  UINT flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0);
  flags |= FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
  if (FLayout != tlTop) {
    TRect calc = r;
    DoDrawText(calc, flags | DT_CALCRECT);
    int32_t h = calc.bottom - calc.top;
    int32_t dy = FLayout == tlBottom ? (r.bottom - r.top) - h : ((r.bottom - r.top) - h) / 2;
    r.top += dy;
  }
  DoDrawText(r, flags);
}

bool TCustomLabel::CanAutoSize(int32_t& NewWidth, int32_t& NewHeight) {
  TRect r{0, 0, FWordWrap ? FWidth : 0x3FFF, 0};
  DoDrawText(r, DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | DT_CALCRECT);
  if (!FWordWrap) NewWidth = std::max(0, int32_t(r.right - r.left));
  NewHeight = std::max(0, int32_t(r.bottom - r.top));
  return true;
}

void TCustomLabel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGCHAR:
      if (FFocusControl && FEnabled && FShowAccelChar && IsAccel(uint32_t(Message.WParam), Caption()) &&
          FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
      }
      return;
    case CM_TEXTCHANGED: case CM_FONTCHANGED:
      TGraphicControl::Dispatch(Message);
      AdjustSize();
      Invalidate();
      return;
    default: TGraphicControl::Dispatch(Message); return;
  }
}

// ---- TButtonControl ---------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csSetCaption, csCaptureMouse, csClickEvents, csDoubleClicks};
  FTabStop = true;
  FParentColor = false;
  FColor = clBtnFace;
  FBrush->SetColor(FColor);
}

namespace {
// The link of a button control also shows the action's check state; the state set from the
// action fires no click (which would run the action again).
class TButtonActionLink : public TControlActionLink {
public:
  explicit TButtonActionLink(TButtonControl* AClient) : TControlActionLink(AClient), FButton(AClient) {}
  bool IsCheckedLinked() override {
    TCustomAction* a = CustomAction();
    return a && FButton->Checked() == a->Checked();
  }
  void SetChecked(bool Value) override {
    if (!IsCheckedLinked()) return;
    bool old = FButton->ClicksDisabled();
    FButton->SetClicksDisabled(true);
    try {
      FButton->SetChecked(Value);
    } catch (...) {
      FButton->SetClicksDisabled(old);
      throw;
    }
    FButton->SetClicksDisabled(old);
  }

private:
  TButtonControl* FButton;
};
}  // namespace

std::unique_ptr<TControlActionLink> TButtonControl::CreateActionLink() {
  return std::make_unique<TButtonActionLink>(this);
}

void TButtonControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  TCustomControl::ActionChange(Sender, CheckDefaults);
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a || (CheckDefaults && Checked())) return;
  bool old = FClicksDisabled;
  FClicksDisabled = true;
  try {
    SetChecked(a->Checked());
  } catch (...) {
    FClicksDisabled = old;
    throw;
  }
  FClicksDisabled = old;
}

void TButtonControl::Click() {
  if (FClicksDisabled) return;
  TCustomControl::Click();
}

void TButtonControl::DrawCaption(TCanvas* Canvas, TRect R, UINT Flags) {
  HDC dc = Canvas->Handle();
  Canvas->Font()->SetColor(FEnabled ? FFont->Color() : clGrayText);
  Canvas->TextExtent(" ");  // selects the font and its colour
  SetBkMode(dc, TRANSPARENT);
  DrawText(dc, Caption(), &R, Flags);
}

void TButtonControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
      if (CanFocus() && !Focused()) SetFocus();
      FPressed = true;
      Invalidate();
      break;
    case WM_LBUTTONUP:
      FPressed = false;
      Invalidate();
      break;
    case WM_KEYDOWN:
      if (Message.WParam == VK_SPACE && !FPressed) {
        FPressed = true;
        Invalidate();
      }
      break;
    case WM_KEYUP:
      if (Message.WParam == VK_SPACE && FPressed) {
        FPressed = false;
        Invalidate();
        TCustomControl::Dispatch(Message);
        Click();
        return;
      }
      break;
    case WM_KILLFOCUS: case CM_CANCELMODE:
      if (FPressed && !MouseCapture()) {
        FPressed = false;
        Invalidate();
      }
      break;
    case WM_SETFOCUS: case CM_ENABLEDCHANGED: case CM_TEXTCHANGED:
      Invalidate();
      break;
  }
  TCustomControl::Dispatch(Message);
  if (Message.Msg == WM_KILLFOCUS) Invalidate();
}

// ---- TButton ----------------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  FWidth = 75;
  FHeight = 25;
}

void TButton::SetDefault(bool Value) {
  FDefault = Value;
  TCustomForm* form = GetParentForm(this);
  if (form && form->FocusedControl()) {
    // Each button decides again whether Enter is its own.
    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->FocusedControl()));
  } else {
    FActive = Value;
    Invalidate();
  }
}

void TButton::Click() {
  TCustomForm* form = GetParentForm(this);
  if (form && FModalResult != mrNone) form->SetModalResult(FModalResult);
  TButtonControl::Click();
}

void TButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGKEY: {
      TShiftState shift = KeyboardShiftState();
      bool plain = !shift.Contains(ssShift) && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt);
      if (((Message.WParam == VK_RETURN && FActive) || (Message.WParam == VK_ESCAPE && FCancel)) && plain &&
          CanFocus()) {
        Click();
        Message.Result = 1;
        return;
      }
      break;
    }
    case CM_DIALOGCHAR:
      if (IsAccel(uint32_t(Message.WParam), Caption()) && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
      }
      break;
    case CM_FOCUSCHANGED: {
      auto* sender = reinterpret_cast<TControl*>(Message.LParam);
      bool active = dynamic_cast<TButton*>(sender) ? sender == this : FDefault;
      if (active != FActive) {
        FActive = active;
        Invalidate();
      }
      break;
    }
    case WM_GETDLGCODE:
      Message.Result = FActive ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
      return;
  }
  TButtonControl::Dispatch(Message);
}

void TButton::Paint() {
  TCanvas* cv = Canvas();
  TRect r = ClientRect();
  cv->Brush()->SetColor(FColor);
  cv->FillRect(r);
  if (FActive || Focused()) {
    cv->Brush()->SetColor(clWindowFrame);
    cv->FrameRect(r);
    InflateRect(&r, -1, -1);
  }
  if (FPressed) {
    cv->Brush()->SetColor(clBtnShadow);
    cv->FrameRect(r);
  } else {
    TRect e = r;
    DrawEdge(cv->Handle(), &e, EDGE_RAISED, BF_RECT);
  }
  TRect t = r;
  if (FPressed) OffsetRect(&t, 1, 1);
  DrawCaption(cv, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (Focused()) {
    TRect f = r;
    InflateRect(&f, -3, -3);
    DrawFocusRect(cv->Handle(), &f);
  }
}

// ---- TCustomCheckBox --------------------------------------------------------------------------

namespace {
constexpr int kBoxSize = 13;

TRect BoxRect(TRect client, TAlignment alignment) {
  int top = (client.bottom - kBoxSize) / 2;
  int left = alignment == taLeftJustify ? client.right - kBoxSize : 0;
  return TRect{left, top, left + kBoxSize, top + kBoxSize};
}

TRect TextRect(TRect client, TAlignment alignment) {
  TRect t = client;
  if (alignment == taLeftJustify) t.right -= kBoxSize + 4;
  else t.left += kBoxSize + 4;
  return t;
}
}  // namespace

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  FWidth = 97;
  FHeight = 17;
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (Value == FState) return;
  FState = Value;
  Invalidate();
  if (!ComponentState().Contains(csLoading)) Click();
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
  FAlignment = Value == taCenter ? taRightJustify : Value;
  Invalidate();
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(FAllowGrayed ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
  }
}

void TCustomCheckBox::Click() { TButtonControl::Click(); }

void TCustomCheckBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONUP: {
      // A release over the box toggles; Toggle fires the click itself.
      bool clicked = ControlState().Contains(csClicked);
      TRect r = ClientRect();
      POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
      FControlState.Exclude(csClicked);
      TButtonControl::Dispatch(Message);
      if (clicked && PtInRect(&r, p)) Toggle();
      return;
    }
    case WM_KEYUP:
      if (Message.WParam == VK_SPACE && FPressed) {
        FPressed = false;
        Invalidate();
        Toggle();
        return;
      }
      break;
    case CM_DIALOGCHAR:
      if (IsAccel(uint32_t(Message.WParam), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        Message.Result = 1;
        return;
      }
      break;
  }
  TButtonControl::Dispatch(Message);
}

void TCustomCheckBox::Paint() {
  TCanvas* cv = Canvas();
  TRect r = ClientRect();
  cv->Brush()->SetColor(FColor);
  cv->FillRect(r);
  TRect box = BoxRect(r, FAlignment);
  cv->Brush()->SetColor(FState == cbGrayed || !FEnabled ? clBtnFace : clWindow);
  cv->FillRect(box);
  TRect e = box;
  DrawEdge(cv->Handle(), &e, EDGE_SUNKEN, BF_RECT);
  if (FState != cbUnchecked) {
    cv->Pen()->SetColor(FEnabled && FState == cbChecked ? clWindowText : clGrayText);
    for (int i = 0; i < 3; ++i)
      cv->Polyline({TPoint{box.left + 3, box.top + 5 + i}, TPoint{box.left + 5, box.top + 7 + i},
                    TPoint{box.left + 10, box.top + 2 + i}});
  }
  TRect t = TextRect(r, FAlignment);
  DrawCaption(cv, t, DT_VCENTER | DT_SINGLELINE | (FAlignment == taLeftJustify ? DT_RIGHT : DT_LEFT));
  if (Focused()) {
    TRect f = MeasureText(FFont.get(), Caption().empty() ? " " : Caption(), DT_SINGLELINE, TRect{0, 0, 0x3FFF, 0});
    OffsetRect(&f, t.left, (r.bottom - f.bottom) / 2);
    InflateRect(&f, 1, 1);
    DrawFocusRect(cv->Handle(), &f);
  }
}

// ---- TRadioButton -----------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  FWidth = 113;
  FHeight = 17;
  FTabStop = false;
}

void TRadioButton::SetAlignment(TAlignment Value) {
  FAlignment = Value == taCenter ? taRightJustify : Value;
  Invalidate();
}

void TRadioButton::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  SetTabStop(Value);
  Invalidate();
  if (Value) {
    if (FParent)
      for (int i = 0; i < FParent->ControlCount(); ++i)
        if (auto* r = dynamic_cast<TRadioButton*>(FParent->Controls(i)); r && r != this) r->SetChecked(false);
    if (!ComponentState().Contains(csLoading)) TButtonControl::Click();
  }
}

void TRadioButton::Click() { SetChecked(true); }

void TRadioButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGCHAR:
      if (IsAccel(uint32_t(Message.WParam), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) SetChecked(true);
        Message.Result = 1;
        return;
      }
      break;
    case WM_SETFOCUS:
      // Arrow keys move the focus within the group and check what they reach.
      TButtonControl::Dispatch(Message);
      if (!FChecked && GetKeyState(VK_LBUTTON) >= 0 && GetKeyState(VK_SPACE) >= 0) SetChecked(true);
      return;
  }
  TButtonControl::Dispatch(Message);
}

void TRadioButton::Paint() {
  TCanvas* cv = Canvas();
  TRect r = ClientRect();
  cv->Brush()->SetColor(FColor);
  cv->FillRect(r);
  TRect box = BoxRect(r, FAlignment);
  cv->Pen()->SetColor(clBtnShadow);
  cv->Brush()->SetColor(FEnabled ? clWindow : clBtnFace);
  cv->Ellipse(box);
  if (FChecked) {
    cv->Brush()->SetColor(FEnabled ? clWindowText : clGrayText);
    cv->Pen()->SetColor(FEnabled ? clWindowText : clGrayText);
    cv->Ellipse(box.left + 4, box.top + 4, box.right - 4, box.bottom - 4);
  }
  TRect t = TextRect(r, FAlignment);
  DrawCaption(cv, t, DT_VCENTER | DT_SINGLELINE | (FAlignment == taLeftJustify ? DT_RIGHT : DT_LEFT));
}

// ---- TCustomGroupBox --------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FWidth = 185;
  FHeight = 105;
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  Rect.top += LineHeight(FFont.get());
  InflateRect(&Rect, -2, -2);
}

void TCustomGroupBox::Paint() {
  TCanvas* cv = Canvas();
  TRect r = ClientRect();
  cv->Brush()->SetColor(FColor);
  cv->FillRect(r);
  int32_t h = LineHeight(FFont.get());
  TRect frame{r.left, r.top + h / 2, r.right, r.bottom};
  DrawEdge(cv->Handle(), &frame, EDGE_ETCHED, BF_RECT);
  std::string text = Caption();
  if (!text.empty()) {
    TRect t = MeasureText(FFont.get(), text, DT_SINGLELINE, TRect{0, 0, 0x3FFF, 0});
    OffsetRect(&t, 8, 0);
    t.right += 2;
    cv->FillRect(t);
    cv->Font()->SetColor(FEnabled ? FFont->Color() : clGrayText);
    cv->TextExtent(" ");
    SetBkMode(cv->Handle(), TRANSPARENT);
    OffsetRect(&t, 1, 0);
    DrawText(cv->Handle(), text, &t, DT_SINGLELINE);
  }
}

void TCustomGroupBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGCHAR:
      if (IsAccel(uint32_t(Message.WParam), Caption()) && CanFocus()) {
        SelectFirst();
        Message.Result = 1;
        return;
      }
      break;
    case CM_TEXTCHANGED: case CM_FONTCHANGED:
      TCustomControl::Dispatch(Message);
      Realign();
      Invalidate();
      return;
  }
  TCustomControl::Dispatch(Message);
}
