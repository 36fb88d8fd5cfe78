#pragma once
// Text measured in pixels for the skinned-control tests: the box test font, and the bounding box
// of what a window drew over its background.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "classlib/Graphics.h"
#include "tests/classlib/ControlTestFixture.h"

namespace inktest {

// Box font cells: em e, advance e/2, the box over columns 0..advance-2 and rows 0..e*4/5-1.
inline void BoxFont(TFont* F, int Em, TColor Color = clBlack) {
  F->SetName(win::kTestBoxFontName);
  F->SetHeight(Em);
  F->SetStyle({});
  F->SetColor(Color);
}

// The bounding box of the pixels in R of a window that differ from Back; empty when none.
inline TRect Ink(win::HWND H, const TRect& R, TColor Back) {
  int w = 0, h = 0;
  const std::vector<uint32_t> px = win::headless::ReadPixels(H, &w, &h);
  TRect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int y = std::max<int>(R.top, 0); y < std::min<int>(R.bottom, h); ++y)
    for (int x = std::max<int>(R.left, 0); x < std::min<int>(R.right, w); ++x)
      if (ctltest::Rgb(px[size_t(y) * size_t(w) + size_t(x)]) != ctltest::Px(Back)) {
        box.left = std::min<win::LONG>(box.left, x), box.top = std::min<win::LONG>(box.top, y);
        box.right = std::max<win::LONG>(box.right, x + 1), box.bottom = std::max<win::LONG>(box.bottom, y + 1);
      }
  return box.left == INT32_MAX ? TRect{} : box;
}

}  // namespace inktest
