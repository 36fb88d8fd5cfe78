#pragma once
// The string table of the skin library's user interface: lines "NAME=text" from which the
// skinned forms, menus and dialogs take their captions, hints and labels.
#include <memory>
#include <string>

#include "base/Component.h"
#include "base/StringList.h"
#include "classlib/Graphics.h"

class TkxResourceStrData : public TComponent {
public:
  // Filled with the 131 default lines.
  explicit TkxResourceStrData(TComponent* AOwner);
  ~TkxResourceStrData() override;

  TStrings* ResStrings() const { return FResStrs.get(); }
  // Copies the lines (after emptying the table).
  void SetResStrings(TStrings* Value) { FResStrs->Assign(Value); }
  TFontCharset CharSet() const { return FCharSet; }
  void SetCharSet(TFontCharset Value) { FCharSet = Value; }

  // The text after the first "=" of the first line named ResName (without regard to letter
  // case); "" when there is none.
  std::string GetResStr(const std::string& ResName) const;
  void LoadDefaultStrings();

private:
  std::unique_ptr<TStringList> FResStrs;
  TFontCharset FCharSet = 1;  // DEFAULT_CHARSET
};
