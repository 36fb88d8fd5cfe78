#pragma once
// Glyph painting shared by ExtTextOut and DrawText. Internal to platform/.
#include <string>
#include <vector>

#include "platform/gdi/Objects.h"
#include "platform/text/Font.h"

namespace win::text {

std::shared_ptr<RealFont> FontOf(gdi::Dc& dc);  // the selected font, realised; never null
// Paints a run: the cell's top-left at buffer (x, top), per-character advances `adv`, inside
// the DC clip and `clip` (buffer coordinates, may be null). Coverage c mixes the colour in as
// dst + (fg - dst) * c / 255, rounded to nearest; painted pixels get alpha 0.
void PaintRun(gdi::Dc& dc, RealFont& f, const std::u32string& s, const std::vector<int>& adv, int x, int top,
              const RECT* clip, uint32_t color);
// A solid rectangle (underlines, strike-outs, backgrounds) through the DC clip and `clip`.
void PaintRect(gdi::Dc& dc, RECT r, const RECT* clip, uint32_t color);

}  // namespace win::text
