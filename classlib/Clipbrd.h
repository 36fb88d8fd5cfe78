#pragma once
// The clipboard as the class library sees it: text only, over the window layer's clipboard.
#include <string>

#include "base/Object.h"
#include "platform/StdControls.h"

class TClipboard : public TObject {
public:
  // Open and Close bracket several calls; every call also works alone.
  void Open();
  void Close();
  void Clear();
  // Whether the clipboard holds data of the format (CF_TEXT: text).
  bool HasFormat(win::UINT Format) const;
  std::string AsText() const;
  void SetAsText(const std::string& Value);

private:
  int FOpenRefCount = 0;
};

// The one clipboard object of the program.
TClipboard* Clipboard();
