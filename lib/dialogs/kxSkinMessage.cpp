#include "lib/dialogs/kxSkinMessage.h"

#include <algorithm>

#include "classlib/ExtCtrls.h"
#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinCheckRadio.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinRecords.h"
#include "platform/Gdi.h"
#include "platform/shell/ShellApi.h"

namespace {

struct TButtonKind {
  const char* Name;
  const char* Key;
  const char* Text;
  TModalResult Result;
};
// Indexed by TMsgDlgBtn.
constexpr TButtonKind kButtons[] = {
    {"Yes", "MSG_BTN_YES", "&Yes", mrYes},
    {"No", "MSG_BTN_NO", "&No", mrNo},
    {"OK", "MSG_BTN_OK", "OK", mrOk},
    {"Cancel", "MSG_BTN_CANCEL", "Cancel", mrCancel},
    {"Abort", "MSG_BTN_ABORT", "&Abort", mrAbort},
    {"Retry", "MSG_BTN_RETRY", "&Retry", mrRetry},
    {"Ignore", "MSG_BTN_IGNORE", "&Ignore", mrIgnore},
    {"All", "MSG_BTN_ALL", "&All", mrAll},
    {"NoToAll", "MSG_BTN_NOTOALL", "N&oToAll", mrNoToAll},
    {"YesToAll", "MSG_BTN_YESTOALL", "&YesToAll", mrYesToAll},
    {"Help", "MSG_BTN_HELP", "&Help", mrNone},
    {"Close", "MSG_BTN_CLOSE", "Close", mrClose},
};
constexpr int kButtonKinds = int(std::size(kButtons));

struct TTypeKind {
  const char* Key;
  const char* Text;
  const char* Icon;
};
// Indexed by TMsgDlgType; mtCustom has none of them.
const TTypeKind kTypes[] = {
    {"MSG_CAP_WARNING", "Warning", win::IDI_EXCLAMATION},
    {"MSG_CAP_ERROR", "Error", win::IDI_HAND},
    {"MSG_CAP_INFORMATION", "Information", win::IDI_ASTERISK},
    {"MSG_CAP_CONFIRM", "Confirm", win::IDI_QUESTION},
};

constexpr const char* kShowFlagKey = "MSG_CAP_SHOWFLAG";
constexpr const char* kShowFlagText = "Do not display this message again";
constexpr int32_t kButtonWidth = 70, kButtonSpacing = 10, kDefaultButtonHeight = 25;
// Below this X a dialog is centred on the screen.
constexpr int32_t kCentreBelow = -10000, kCentred = -10001;

TkxResourceStrData* StringsOf(TkxSkinData* SD) { return SD ? SD->ResourceStrData() : nullptr; }

void InitFont(TFont& F) {
  F.SetName("Arial");
  F.SetHeight(14);
  F.SetStyle({});
}

}  // namespace

// ---- the form -----------------------------------------------------------------------------------

TkxMessageForm::TkxMessageForm(TComponent* AOwner, int32_t X, int32_t Y) : TForm(AOwner) {
  SetBorderStyle(bsDialog);
  SetKeyPreview(true);
  if (X < kCentreBelow) {
    SetPosition(poScreenCenter);
  } else {
    SetLeft(X);
    SetTop(Y);
  }
  VLR = new TkxVelara(this);
  VLR->SetBorderIcons({});
}

void TkxMessageForm::HelpButtonClick(TObject*) {
  const std::string file = !HelpFile.empty() ? HelpFile : Application ? Application->HelpFile() : std::string();
  if (!file.empty()) win::ShellExecute(nullptr, "open", file, "", "", win::SW_SHOWNORMAL);
}

// ---- the component ------------------------------------------------------------------------------

struct TkxSkinMessage::TRequest {
  std::string Msg;
  bool HasCaption = false;  // the caption variants
  std::string Caption;
  TMsgDlgType DlgType = mtCustom;
  bool FromImageList = false;  // the custom variants
  TCustomImageList* Images = nullptr;
  int32_t ImageIndex = -1;
  TMsgDlgButtons Buttons;
  int32_t HelpCtx = 0;
  std::string HelpFile;
  int32_t X = kCentred, Y = kCentred;
  bool Positioned = false;  // asks OnSetShowPos
  bool Wide = false;        // no show-again box
};

TkxSkinMessage::TkxSkinMessage(TComponent* AOwner)
    : TComponent(AOwner), FDefaultFont(std::make_unique<TFont>()), FDefaultButtonFont(std::make_unique<TFont>()) {
  InitFont(*FDefaultFont);
  InitFont(*FDefaultButtonFont);
}

TkxSkinMessage::~TkxSkinMessage() = default;

void TkxSkinMessage::SetDefaultFont(TFont* Value) {
  if (Value) FDefaultFont->Assign(Value);
}

void TkxSkinMessage::SetDefaultButtonFont(TFont* Value) {
  if (Value) FDefaultButtonFont->Assign(Value);
}

std::string TkxSkinMessage::MessageButtonCaption(TMsgDlgBtn Kind) const {
  if (int(Kind) < 0 || int(Kind) >= kButtonKinds) return {};
  if (TkxResourceStrData* strs = StringsOf(FCtrlSD)) return strs->GetResStr(kButtons[Kind].Key);
  return kButtons[Kind].Text;
}

std::string TkxSkinMessage::MessageTypeCaption(TMsgDlgType DlgType) const {
  if (int(DlgType) < 0 || DlgType >= mtCustom) return {};
  if (TkxResourceStrData* strs = StringsOf(FCtrlSD)) return strs->GetResStr(kTypes[DlgType].Key);
  return kTypes[DlgType].Text;
}

std::unique_ptr<TkxMessageForm> TkxSkinMessage::BuildMessageForm(const TRequest& R) {
  auto form = std::make_unique<TkxMessageForm>(Application, R.X, R.Y);
  TkxMessageForm* f = form.get();
  f->VLR->SetSkinData(FSD);
  f->VLR->SetMenusSkinData(FCtrlSD);
  f->VLR->SetAlphaBlend(AlphaBlend);
  f->VLR->AlphaBlendAnimation = AlphaBlendAnimation;
  f->VLR->SetAlphaBlendValue(AlphaBlendValue);

  // The button height comes from the button record only when that is a push-button record.
  int32_t buttonHeight = kDefaultButtonHeight;
  if (FCtrlSD && !FCtrlSD->Empty) {
    const int32_t i = FCtrlSD->GetControlIndex(ButtonSkinDataName);
    if (i >= 0)
      if (auto* rec = dynamic_cast<TkxDataSkinButtonControl*>(FCtrlSD->CtrlList[size_t(i)].get()))
        buttonHeight = rec->SkinRect.bottom - rec->SkinRect.top;
  }
  int32_t n = 0;
  for (int k = 0; k < kButtonKinds; ++k)
    if (R.Buttons.Contains(TMsgDlgBtn(k))) ++n;
  const int32_t rowWidth = n == 0 ? 0 : n * kButtonWidth + (n - 1) * kButtonSpacing;

  if (R.HasCaption) f->SetCaption(R.Caption);
  else if (R.DlgType == mtCustom) f->SetCaption(Application ? Application->Title() : std::string());
  else f->SetCaption(MessageTypeCaption(R.DlgType));

  auto* label = new TkxSkinStdLabel(f);
  f->Message = label;
  label->SetFont(FDefaultFont.get());
  label->SetDefaultFont(FDefaultFont.get());
  label->SetUseSkinFont(UseSkinFont);
  label->SetSkinDataName(MessageLabelSkinDataName);
  label->SetSkinData(FCtrlSD);
  label->SetName("Message");
  label->SetParent(f);
  label->SetAutoSize(true);
  label->SetCaption(R.Msg);
  label->SetLeft(50);
  label->SetTop(15);
  // A message wider than the work area allows would be cut by the width limit: it wraps at the
  // widest label the form can hold.
  f->SetClientWidth(100);
  const int32_t frame = f->Width() - f->ClientWidth();
  const int32_t widest = f->VLR->GetMaxWidth() - frame - label->Left() - 40;
  if (widest > 0 && label->Width() > widest) {
    label->SetAutoSize(false);
    label->SetWidth(widest);
    label->SetWordWrap(true);
    label->SetAutoSize(true);  // keeps the width, fits the height to the wrapped lines
  }
  const int32_t labelRight = label->Left() + label->Width();

  if (R.FromImageList) {
    if (R.Images && R.ImageIndex >= 0 && R.ImageIndex < R.Images->Count()) {
      auto* image = new TImage(f);
      image->SetName("Image");
      image->SetParent(f);
      image->SetTransparent(true);
      TIcon icon;
      R.Images->GetIcon(R.ImageIndex, &icon);
      image->Picture()->SetGraphic(&icon);
      image->SetBounds(5, label->Top() + label->Height() / 2 - 16, R.Images->Width(), R.Images->Height());
    }
  } else {
    auto* image = new TImage(f);
    image->SetName("Image");
    image->SetParent(f);
    if (R.DlgType != mtCustom) {
      TIcon icon;
      icon.SetHandle(win::LoadIcon(nullptr, kTypes[R.DlgType].Icon));
      if (!icon.Empty()) image->Picture()->SetGraphic(&icon);
    }
    image->SetBounds(5, std::max(10, label->Top() + label->Height() / 2 - 16), 32, 32);
  }

  f->SetClientHeight(buttonHeight + label->Height() + 50);
  f->SetClientWidth((rowWidth < labelRight ? labelRight : rowWidth) + 40);

  if (!R.Wide && ShowAgainFlag) {
    f->SetClientHeight(f->ClientHeight() + 40);
    auto* box = new TkxSkinCheckRadioBox(f);
    f->DisplayCheckBox = box;
    box->SetName("checkbox");
    box->SetDefaultHeight(30);
    box->SetChecked(!ShowAgainFlagValue);
    box->SetParent(f);
    box->SetDefaultFont(FDefaultFont.get());
    box->SetUseSkinFont(UseSkinFont);
    box->SetSkinData(FCtrlSD);
    box->GetSkinData();
    const int32_t boxTop = f->ClientHeight() - buttonHeight - 50;
    std::string caption;
    if (TkxResourceStrData* strs = StringsOf(FCtrlSD)) caption = strs->GetResStr(kShowFlagKey);
    if (caption.empty()) caption = kShowFlagText;
    box->SetCaption(caption);
    TBitmap scratch;
    scratch.SetSize(1, 1);
    TCanvas* c = scratch.Canvas();
    if (box->SkinIndex() != -1 && UseSkinFont) {
      c->Font()->SetName(box->FontName);
      c->Font()->SetHeight(box->FontHeight);
    } else {
      c->Font()->Assign(FDefaultFont.get());
    }
    const int32_t w = c->TextWidth(caption);
    if (f->ClientWidth() < w + 60) f->SetClientWidth(w + 60);
    box->SetBounds(5, boxTop, w + 55, box->DefaultHeight());
  }

  if (f->VLR->GetMaxWidth() < f->Width()) f->SetWidth(f->VLR->GetMaxWidth());
  else if (f->Width() < f->VLR->GetMinWidth()) f->SetWidth(f->VLR->GetMinWidth());

  const TMsgDlgBtn defaultKind = R.Buttons.Contains(mbOK) ? mbOK : R.Buttons.Contains(mbYes) ? mbYes : mbRetry;
  const TMsgDlgBtn cancelKind = R.Buttons.Contains(mbCancel) ? mbCancel : R.Buttons.Contains(mbNo) ? mbNo : mbOK;
  // A row wider than the client area starts at its left margin rather than outside it.
  int32_t x = std::max(kButtonSpacing, (f->ClientWidth() - rowWidth) / 2);
  for (int k = 0; k < kButtonKinds; ++k) {
    const TMsgDlgBtn kind = TMsgDlgBtn(k);
    if (!R.Buttons.Contains(kind)) continue;
    auto* b = new TkxSkinButton(f);
    b->SetParent(f);
    b->SetName(kButtons[k].Name);
    b->SetCanFocused(true);
    b->SetCaption(MessageButtonCaption(kind));
    b->SetModalResult(kButtons[k].Result);
    b->SetDefault(kind == defaultKind);
    b->SetCancel(kind == cancelKind);
    b->SetDefaultHeight(buttonHeight);
    b->SetBounds(x, f->ClientHeight() - buttonHeight - 10, kButtonWidth, buttonHeight);
    b->SetDefaultFont(FDefaultButtonFont.get());
    b->SetUseSkinFont(UseSkinFont);
    x += kButtonWidth + kButtonSpacing;
    if (kind == mbHelp) b->OnClick = [f](TObject* Sender) { f->HelpButtonClick(Sender); };
    b->SetSkinDataName(ButtonSkinDataName);
    b->SetSkinData(FCtrlSD);
    // Enter presses the default button, not whichever button comes first.
    if (kind == defaultKind)
      f->OnShow = [f, b](TObject*) {
        if (b->CanFocus()) f->SetActiveControl(b);
      };
  }
  return form;
}

int32_t TkxSkinMessage::Run(const TRequest& R) {
  std::unique_ptr<TkxMessageForm> f = BuildMessageForm(R);
  // The box's state goes back to the caller on every way out, exceptions included.
  struct WriteBack {
    TkxSkinMessage* Self;
    TkxMessageForm* Form;
    bool Wide;
    ~WriteBack() {
      if (!Wide && Form->DisplayCheckBox) Self->ShowAgainFlagValue = !Form->DisplayCheckBox->Checked();
    }
  } writeBack{this, f.get(), R.Wide};
  f->HelpContext = R.HelpCtx;
  f->HelpFile = R.HelpFile;
  if (R.Positioned && OnSetShowPos) {
    int32_t ax = f->Left(), ay = f->Top();
    OnSetShowPos(ax, ay, f->Width(), f->Height());
    f->SetLeft(ax);
    f->SetTop(ay);
  }
  return f->ShowModal();
}

int32_t TkxSkinMessage::MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                   int32_t HelpCtx) {
  TRequest r;
  r.Msg = Msg, r.DlgType = DlgType, r.Buttons = Buttons, r.HelpCtx = HelpCtx;
  return Run(r);
}

int32_t TkxSkinMessage::MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                      int32_t HelpCtx, int32_t X, int32_t Y) {
  TRequest r;
  r.Msg = Msg, r.DlgType = DlgType, r.Buttons = Buttons, r.HelpCtx = HelpCtx, r.X = X, r.Y = Y, r.Positioned = true;
  return Run(r);
}

int32_t TkxSkinMessage::MessageDlgHelp(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                       int32_t HelpCtx, const std::string& HelpFileName) {
  TRequest r;
  r.Msg = Msg, r.DlgType = DlgType, r.Buttons = Buttons, r.HelpCtx = HelpCtx, r.HelpFile = HelpFileName;
  return Run(r);
}

int32_t TkxSkinMessage::MessageDlg2(const std::string& Msg, const std::string& ACaption, TMsgDlgType DlgType,
                                    TMsgDlgButtons Buttons, int32_t HelpCtx) {
  TRequest r;
  r.Msg = Msg, r.HasCaption = true, r.Caption = ACaption, r.DlgType = DlgType, r.Buttons = Buttons,
  r.HelpCtx = HelpCtx;
  return Run(r);
}

int32_t TkxSkinMessage::MessageDlgHelp2(const std::string& Msg, const std::string& ACaption, TMsgDlgType DlgType,
                                        TMsgDlgButtons Buttons, int32_t HelpCtx, const std::string& HelpFileName) {
  TRequest r;
  r.Msg = Msg, r.HasCaption = true, r.Caption = ACaption, r.DlgType = DlgType, r.Buttons = Buttons,
  r.HelpCtx = HelpCtx, r.HelpFile = HelpFileName;
  return Run(r);
}

int32_t TkxSkinMessage::CustomMessageDlg(const std::string& Msg, const std::string& ACaption,
                                         TCustomImageList* AImages, int32_t AImageIndex, TMsgDlgButtons Buttons,
                                         int32_t HelpCtx) {
  TRequest r;
  r.Msg = Msg, r.HasCaption = true, r.Caption = ACaption, r.FromImageList = true, r.Images = AImages,
  r.ImageIndex = AImageIndex, r.Buttons = Buttons, r.HelpCtx = HelpCtx;
  return Run(r);
}

int32_t TkxSkinMessage::CustomMessageDlgPos(const std::string& Msg, const std::string& ACaption,
                                            TCustomImageList* AImages, int32_t AImageIndex, TMsgDlgButtons Buttons,
                                            int32_t HelpCtx, int32_t X, int32_t Y) {
  TRequest r;
  r.Msg = Msg, r.HasCaption = true, r.Caption = ACaption, r.FromImageList = true, r.Images = AImages,
  r.ImageIndex = AImageIndex, r.Buttons = Buttons, r.HelpCtx = HelpCtx, r.X = X, r.Y = Y, r.Positioned = true;
  return Run(r);
}

int32_t TkxSkinMessage::CustomMessageDlgHelp(const std::string& Msg, const std::string& ACaption,
                                             TCustomImageList* AImages, int32_t AImageIndex, TMsgDlgButtons Buttons,
                                             int32_t HelpCtx, const std::string& HelpFileName) {
  TRequest r;
  r.Msg = Msg, r.HasCaption = true, r.Caption = ACaption, r.FromImageList = true, r.Images = AImages,
  r.ImageIndex = AImageIndex, r.Buttons = Buttons, r.HelpCtx = HelpCtx, r.HelpFile = HelpFileName;
  return Run(r);
}

int32_t TkxSkinMessage::WideMessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                       int32_t HelpCtx) {
  TRequest r;
  r.Msg = Msg, r.DlgType = DlgType, r.Buttons = Buttons, r.HelpCtx = HelpCtx, r.Wide = true;
  return Run(r);
}

int32_t TkxSkinMessage::WideMessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                          int32_t HelpCtx, int32_t X, int32_t Y) {
  TRequest r;
  r.Msg = Msg, r.DlgType = DlgType, r.Buttons = Buttons, r.HelpCtx = HelpCtx, r.X = X, r.Y = Y, r.Wide = true;
  return Run(r);
}
