#pragma once
// The program's pictures that are not part of a skin: the main window's image lists, the
// tool-button glyphs and the application icon. All are drawn with alpha on transparency.
#include <memory>
#include <string>
#include <vector>

#include "lib/graphics/kxBitmap.h"

namespace skingen {

// ImageList1 (44 pictures) and ImageList2 (7 pictures), 32 x 32 each, as strips.
std::unique_ptr<TkxBitmap> ImageListStrip(int List);
constexpr int kImageList1Count = 44, kImageList2Count = 7;

struct Glyph {
  const char* Name;  // file name without extension
  int Kind;
};
// The main tool bar's glyphs: add, remove, clear, start, stop, pause, resume, options, skin.
const std::vector<Glyph>& ToolGlyphs();
std::unique_ptr<TkxBitmap> ToolGlyph(int Kind, int Size);

// The application icon at Size x Size.
std::unique_ptr<TkxBitmap> AppIcon(int Size);

}  // namespace skingen
