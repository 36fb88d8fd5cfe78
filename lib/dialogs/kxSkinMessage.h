#pragma once
// The skinned message box. TkxSkinMessage is a non-visual component; each of its dialog methods
// builds a skinned modal form in code (the message label, a picture, a centred row of skinned
// buttons in a fixed order, optionally the "do not display this message again" box), shows it
// modally, frees it and answers the modal result of the button that closed it.
//
// Texts come from the control skin's string table when it has one (a missing key gives an empty
// caption; only the check box falls back to its English text), else from the English defaults.
// A message wider than the work area wraps (between Chinese characters too), and the button row
// never starts left of the client area.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/Set.h"
#include "classlib/Forms.h"
#include "lib/controls/kxSkinBinding.h"

class TkxVelara;
class TkxSkinCheckRadioBox;
class TkxSkinStdLabel;
class TkxSkinData;
class TCustomImageList;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
// In the order the buttons stand from left to right.
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
constexpr TModalResult mrClose = 11;

// Lets the caller move a dialog of a positioned method before it shows.
using TkxMessageSetShowPosEvent = std::function<void(int32_t& AX, int32_t& AY, int32_t AWidth, int32_t AHeight)>;

// The dialog form, built in code for one call.
class TkxMessageForm : public TForm {
public:
  // X below -10000 centres the form on the screen when it shows; otherwise it stands at (X, Y).
  TkxMessageForm(TComponent* AOwner, int32_t X, int32_t Y);

  TkxVelara* VLR = nullptr;
  TkxSkinCheckRadioBox* DisplayCheckBox = nullptr;  // nullptr when the dialog has none
  TkxSkinStdLabel* Message = nullptr;
  int32_t HelpContext = 0;
  std::string HelpFile;

  // The Help button: opens the help file (the form's, else the application's) with the desktop's
  // handler; the dialog stays open.
  void HelpButtonClick(TObject* Sender);
};

class TkxSkinMessage : public TComponent {
public:
  explicit TkxSkinMessage(TComponent* AOwner);
  ~TkxSkinMessage() override;

  // The non-wide dialogs add the show-again box.
  bool ShowAgainFlag = false;
  // In: the box starts checked when false. Out: after every dialog that had the box, the
  // negation of its final state, whichever way the dialog ended.
  bool ShowAgainFlagValue = false;
  bool AlphaBlend = false, AlphaBlendAnimation = false;
  uint8_t AlphaBlendValue = 200;
  std::string ButtonSkinDataName = "button";
  std::string MessageLabelSkinDataName = "stdlabel";
  bool UseSkinFont = true;
  TkxMessageSetShowPosEvent OnSetShowPos;

  // Skin of the dialog's frame.
  TkxSkinData* SkinData() const { return FSD; }
  void SetSkinData(TkxSkinData* Value) { FSD.Set(Value); }
  // Skin of the controls inside, source of the button height and of the string table.
  TkxSkinData* CtrlSkinData() const { return FCtrlSD; }
  void SetCtrlSkinData(TkxSkinData* Value) { FCtrlSD.Set(Value); }
  // Font of the label and the check box; the setter copies.
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  // Font of the buttons; the setter copies.
  TFont* DefaultButtonFont() const { return FDefaultButtonFont.get(); }
  void SetDefaultButtonFont(TFont* Value);

  // ---- the dialogs: each answers the modal result of the button that closed it ----
  int32_t MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int32_t HelpCtx);
  int32_t MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int32_t HelpCtx,
                        int32_t X, int32_t Y);
  int32_t MessageDlgHelp(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int32_t HelpCtx,
                         const std::string& HelpFileName);
  int32_t MessageDlg2(const std::string& Msg, const std::string& ACaption, TMsgDlgType DlgType,
                      TMsgDlgButtons Buttons, int32_t HelpCtx);
  int32_t MessageDlgHelp2(const std::string& Msg, const std::string& ACaption, TMsgDlgType DlgType,
                          TMsgDlgButtons Buttons, int32_t HelpCtx, const std::string& HelpFileName);
  // The picture is icon AImageIndex of AImages; none when the list is missing or the index
  // lies outside it.
  int32_t CustomMessageDlg(const std::string& Msg, const std::string& ACaption, TCustomImageList* AImages,
                           int32_t AImageIndex, TMsgDlgButtons Buttons, int32_t HelpCtx);
  int32_t CustomMessageDlgPos(const std::string& Msg, const std::string& ACaption, TCustomImageList* AImages,
                              int32_t AImageIndex, TMsgDlgButtons Buttons, int32_t HelpCtx, int32_t X, int32_t Y);
  int32_t CustomMessageDlgHelp(const std::string& Msg, const std::string& ACaption, TCustomImageList* AImages,
                               int32_t AImageIndex, TMsgDlgButtons Buttons, int32_t HelpCtx,
                               const std::string& HelpFileName);
  // Without the show-again box, whatever ShowAgainFlag says; ShowAgainFlagValue stays.
  int32_t WideMessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int32_t HelpCtx);
  int32_t WideMessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int32_t HelpCtx,
                            int32_t X, int32_t Y);

  // The caption of a button kind and the title of a message type (mtCustom: empty).
  std::string MessageButtonCaption(TMsgDlgBtn Kind) const;
  std::string MessageTypeCaption(TMsgDlgType DlgType) const;

private:
  struct TRequest;
  std::unique_ptr<TkxMessageForm> BuildMessageForm(const TRequest& R);
  int32_t Run(const TRequest& R);

  TkxComponentLink<TkxSkinData> FSD, FCtrlSD;
  std::unique_ptr<TFont> FDefaultFont, FDefaultButtonFont;
};
