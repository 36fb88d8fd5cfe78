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

// The main window's glyph pictures Image2 .. Image17: the on and off pictures of its eight
// command groups, 32 x 32. The off picture is the on one's disabled look.
struct GroupGlyph {
  int Image;  // 2 .. 17
  int Kind;   // a ToolGlyph kind
  bool On;
};
const std::vector<GroupGlyph>& GroupGlyphs();
constexpr int kRenameGlyph = 9;  // the ToolGlyph kind of the rename button (a pencil)
// A grey, faded copy: how a disabled button shows its glyph.
std::unique_ptr<TkxBitmap> DisabledLook(TkxBitmap& On);

// The main window's empty-job-list picture (Image1), at the size of the list's area.
constexpr int kEmptyListWidth = 568, kEmptyListHeight = 236;
std::unique_ptr<TkxBitmap> EmptyListPicture();
// The about box's picture, 53 x 57.
std::unique_ptr<TkxBitmap> AboutPicture();
// The settings form's picture, 128 x 128: a folder with a clapperboard and a disc.
std::unique_ptr<TkxBitmap> SettingsPicture();
// The settings form's 12 category pictures, 32 x 32 each, in a strip.
constexpr int kSettingsImageCount = 12;
std::unique_ptr<TkxBitmap> SettingsImageStrip();

// The finish sound: a short bell, 16-bit mono PCM WAV file bytes.
std::vector<uint8_t> BellWav();

}  // namespace skingen
