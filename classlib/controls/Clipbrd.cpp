// TClipboard over the window layer's clipboard.
#include "classlib/Clipbrd.h"

using namespace win;

void TClipboard::Open() {
  if (FOpenRefCount++ == 0) OpenClipboard(nullptr);
}

void TClipboard::Close() {
  if (FOpenRefCount == 0) return;
  if (--FOpenRefCount == 0) CloseClipboard();
}

void TClipboard::Clear() {
  Open();
  EmptyClipboard();
  Close();
}

bool TClipboard::HasFormat(UINT Format) const { return IsClipboardFormatAvailable(Format) != FALSE; }

std::string TClipboard::AsText() const { return GetClipboardText(); }

void TClipboard::SetAsText(const std::string& Value) {
  Open();
  SetClipboardText(Value);
  Close();
}

TClipboard* Clipboard() {
  static TClipboard clipboard;
  return &clipboard;
}
