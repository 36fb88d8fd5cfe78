#pragma once
// The main window's catalogue of output formats: 28 categories (codes 0..27) holding 288
// formats, of which the category list offers 13 categories. A format is named by its format
// key, (category code + 1) * 100 + position; a job row keeps the format code instead,
// category-list position * 100 + format position + 100.
#include <span>
#include <string_view>

namespace catalogue {

constexpr int kCategoryCodeCount = 28;
constexpr int kCategoryListCount = 13;

// One item of the category list.
struct TCategoryListItem {
  int Position;              // 0..12
  std::string_view Caption;  // "WMV视频", ...
  int Picture;               // picture number in the main window's ImageList1
  int Code;                  // category code
};

// One format of the catalogue, as the format list shows it.
struct TFormatItem {
  int Key;
  int Code;                  // category code
  int Position;              // position within its category
  std::string_view Title;    // ends with "(*.ext)"
  std::string_view Caption;  // one-line description
  // Picture of the format list: 0 for even, 1 for odd positions.
  int ImageIndex() const { return Position % 2; }
};

// The 13 items of the category list, in list order.
std::span<const TCategoryListItem> CategoryList();

// Category code of a category-list position, or -1 outside 0..12.
int CategoryCodeOfPosition(int listPosition);
// Category-list position of a category code, or -1 for a code the list does not offer.
int CategoryPositionOfCode(int code);

// The formats of a category in position order; empty for a code outside 0..27.
std::span<const TFormatItem> FormatsOfCategory(int code);
// All 288 formats in key order.
std::span<const TFormatItem> AllFormats();
// The format with this key, or nullptr.
const TFormatItem* FindFormat(int key);

// (code + 1) * 100 + position. Not checked against the catalogue; see FindFormat.
constexpr int FormatKey(int code, int position) { return (code + 1) * 100 + position; }
// Key of the format at these list positions, or -1 when the positions name no format
// (a category position outside 0..12, a format position outside its category).
int FormatKeyOfListPositions(int categoryPosition, int formatPosition);

// Format code kept in a job row: category-list position * 100 + format position + 100.
constexpr int FormatCode(int categoryPosition, int formatPosition) {
  return categoryPosition * 100 + formatPosition + 100;
}
struct TListPositions {
  int Category;
  int Format;
};
// The two list positions a format code stands for: (code div 100) - 1 and code mod 100.
constexpr TListPositions DecodeFormatCode(int formatCode) {
  return {formatCode / 100 - 1, formatCode - (formatCode / 100) * 100};
}
// Format key <-> format code for formats of listed categories; -1 when there is none
// (a key of an unlisted category, a code naming no format).
int FormatCodeOfKey(int key);
int FormatKeyOfCode(int formatCode);

}  // namespace catalogue
