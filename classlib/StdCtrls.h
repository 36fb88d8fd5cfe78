#pragma once
// The standard controls the forms place directly and the dialog-key paths need: push button,
// label, check box, radio button and group box, each with a plain default look.
#include "classlib/Controls.h"

// A label: text drawn on the parent, no window. With AutoSize it takes the size of its text.
class TCustomLabel : public TGraphicControl {
public:
  explicit TCustomLabel(TComponent* AOwner);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;
  bool CanAutoSize(int32_t& NewWidth, int32_t& NewHeight) override;
  // Draws (or with DT_CALCRECT measures) the caption in Rect.
  virtual void DoDrawText(TRect& Rect, win::UINT Flags);

private:
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false, FShowAccelChar = true, FTransparent = false;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// The common base of buttons, check boxes and radio buttons.
class TButtonControl : public TCustomControl {
public:
  explicit TButtonControl(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;
  // The check state a linked action shows (check boxes and radio buttons have one).
  virtual bool Checked() const { return false; }
  virtual void SetChecked(bool) {}
  // While set, a change of the check state fires no click (it comes from the action).
  bool ClicksDisabled() const { return FClicksDisabled; }
  void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }

protected:
  void Paint() override {}
  void DrawCaption(TCanvas* Canvas, TRect R, win::UINT Flags);
  void Click() override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  std::unique_ptr<TControlActionLink> CreateActionLink() override;
  bool FPressed = false;  // the mouse or Space holds it down
  bool FClicksDisabled = false;
};

class TButton : public TButtonControl {
public:
  explicit TButton(TComponent* AOwner);
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  // Sets the form's ModalResult (when not mrNone), then OnClick.
  void Click() override;
  void Dispatch(TMessage& Message) override;
  // Whether Enter presses it now: it has the focus, or it is the default and no other button has.
  bool Active() const { return FActive; }

protected:
  void Paint() override;

private:
  bool FDefault = false, FCancel = false, FActive = false;
  TModalResult FModalResult = mrNone;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCustomCheckBox : public TButtonControl {
public:
  explicit TCustomCheckBox(TComponent* AOwner);
  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState Value);
  bool Checked() const override { return FState == cbChecked; }
  void SetChecked(bool Value) override { SetState(Value ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  void Dispatch(TMessage& Message) override;

protected:
  // Unchecked -> checked -> (grayed when allowed) -> unchecked, then Click.
  virtual void Toggle();
  void Paint() override;
  void Click() override;

private:
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  TAlignment FAlignment = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
public:
  explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

class TRadioButton : public TButtonControl {
public:
  explicit TRadioButton(TComponent* AOwner);
  bool Checked() const override { return FChecked; }
  // Checking one clears the other radio buttons of the same parent.
  void SetChecked(bool Value) override;
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;
  void Click() override;

private:
  bool FChecked = false;
  TAlignment FAlignment = taRightJustify;
};

class TCustomGroupBox : public TCustomControl {
public:
  explicit TCustomGroupBox(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;

protected:
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;
};

class TGroupBox : public TCustomGroupBox {
public:
  explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};
