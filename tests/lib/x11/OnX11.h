#pragma once
// What the lib tests on a real X server share: the one X11 backend of the test program, and the
// check that the server shows a window as its back buffer holds it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/backend/headless/Headless.h"
#include "platform/backend/x11/X11.h"

namespace onx11 {

// The X11 backend, made once; nullptr without $DISPLAY.
inline win::backend::Backend* Display() {
  static win::backend::Backend* b = std::getenv("DISPLAY") ? win::x11::Create().release() : nullptr;
  return b;
}

// What the server shows inside the window's region equals the back buffer, made opaque.
inline bool ScreenMatches(win::HWND h) {
  using namespace win;
  int w = 0, ht = 0;
  std::vector<uint32_t> back = headless::ReadPixels(h, &w, &ht);
  RECT r;
  GetWindowRect(h, &r);
  if (back.empty() || r.right - r.left != w || r.bottom - r.top != ht) return false;
  const std::vector<uint32_t> shown = x11::ReadScreen(*Display(), r);
  if (shown.size() != back.size()) return false;
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  const bool shaped = GetWindowRgn(h, rgn) != ERROR;
  bool same = true;
  for (int y = 0; y < ht && same; ++y)
    for (int x = 0; x < w && same; ++x) {
      if (shaped && !PtInRegion(rgn, x, y)) continue;
      const size_t i = size_t(y) * size_t(w) + size_t(x);
      same = (back[i] | 0xFF000000u) == shown[i];
    }
  DeleteObject(rgn);
  return same;
}

}  // namespace onx11
