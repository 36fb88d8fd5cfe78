#pragma once
// The about box: the program's name, version and picture, the maker's home page and support
// mail address as links, and "确定". It is made once at start-up, read from its form
// description, and only shown (modally) and hidden from then on. Its skinned parts use the main
// window's skin data (Form1.kxSkinData1), so it follows every skin change of the main window.
#include <string_view>

#include "classlib/Forms.h"
#include "classlib/Streaming.h"

class TImage;
class TkxSkinButton;
class TkxSkinLinkLabel;
class TkxSkinStdLabel;
class TkxVelara;

namespace about {
// The maker's home page, as the link labels show it and the menu item 官方网站 opens it.
inline constexpr std::string_view HomePage = "https://ombrel.example.org/";
// The support mail address, and the link that starts a new mail to it.
inline constexpr std::string_view SupportMail = "support@ombrel.example.org";
inline constexpr std::string_view SupportMailLink = "mailto:support@ombrel.example.org";
}  // namespace about

class TForm2 : public TForm, public IFormBindings {
public:
  // Reads the embedded form description (forms/Form2.dfm) and puts the program's picture into
  // Image1. Raises EFormError when the description cannot be read.
  explicit TForm2(TComponent* AOwner);
  ~TForm2() override;

  TkxVelara* kxVelara1 = nullptr;
  TImage* Image1 = nullptr;
  TkxSkinStdLabel* kxSkinStdLabel1 = nullptr;
  TkxSkinStdLabel* kxSkinStdLabel2 = nullptr;
  TkxSkinStdLabel* kxSkinStdLabel3 = nullptr;
  TkxSkinStdLabel* kxSkinStdLabel4 = nullptr;
  TkxSkinLinkLabel* kxSkinLinkLabel1 = nullptr;
  TkxSkinLinkLabel* kxSkinLinkLabel2 = nullptr;
  TkxSkinButton* kxSkinButton1 = nullptr;

  // "确定": closes the box.
  void kxSkinButton1Click(TObject* Sender);

  void DeclareBindings(THandlerTable& Table) override;
};

// The about box of the running program; the program block makes it after the main window.
extern TForm2* Form2;
