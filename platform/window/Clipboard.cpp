// The clipboard: text only, handed to the backend, which keeps it (in memory when headless, the
// CLIPBOARD selection on X11). Open and Close only mark who holds it, as callers expect them.
#include "platform/StdControls.h"
#include "platform/backend/Backend.h"

namespace win {

namespace {
thread_local bool t_open = false;
}

BOOL OpenClipboard(HWND) {
  if (t_open) return FALSE;
  t_open = true;
  return TRUE;
}

BOOL CloseClipboard() {
  if (!t_open) return FALSE;
  t_open = false;
  return TRUE;
}

BOOL EmptyClipboard() {
  backend::Current().SetClipboardText(std::string());
  return TRUE;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  if (format != CF_TEXT && format != CF_UNICODETEXT) return FALSE;
  return backend::Current().ClipboardText().empty() ? FALSE : TRUE;
}

BOOL SetClipboardText(const std::string& text) {
  backend::Current().SetClipboardText(text);
  return TRUE;
}

std::string GetClipboardText() { return backend::Current().ClipboardText(); }

}  // namespace win
