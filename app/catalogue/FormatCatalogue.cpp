#include "app/catalogue/FormatCatalogue.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/catalogue/TableCells.h"
#include "app/catalogue/TsvData.h"
#include "base/Exception.h"

namespace catalogue {

using detail::ParseIntCell;
using detail::RequireColumn;

namespace {

struct Catalogue {
  std::vector<TCategoryListItem> list;
  std::vector<TFormatItem> formats;                 // key order
  std::vector<std::span<const TFormatItem>> byCode;  // kCategoryCodeCount entries

  Catalogue() {
    const TsvTable& cl = tsvdata::CategoryList;
    int cPos = RequireColumn(cl, "position"), cCap = RequireColumn(cl, "caption"),
        cPic = RequireColumn(cl, "picture"), cCode = RequireColumn(cl, "code");
    for (int r = 0; r < cl.Rows; ++r)
      list.push_back({ParseIntCell(cl, r, cPos), cl.Cell(r, cCap), ParseIntCell(cl, r, cPic), ParseIntCell(cl, r, cCode)});

    const TsvTable& fc = tsvdata::FormatCatalogue;
    int fKey = RequireColumn(fc, "key"), fCode = RequireColumn(fc, "code"), fPos = RequireColumn(fc, "position"),
        fTitle = RequireColumn(fc, "title"), fCap = RequireColumn(fc, "caption");
    for (int r = 0; r < fc.Rows; ++r)
      formats.push_back({ParseIntCell(fc, r, fKey), ParseIntCell(fc, r, fCode), ParseIntCell(fc, r, fPos),
                         fc.Cell(r, fTitle), fc.Cell(r, fCap)});
    std::sort(formats.begin(), formats.end(), [](auto& a, auto& b) { return a.Key < b.Key; });

    // Each category's formats are one contiguous run of the key-ordered table, positions 0..n-1.
    byCode.resize(kCategoryCodeCount);
    for (size_t i = 0; i < formats.size();) {
      const TFormatItem& f = formats[i];
      if (f.Code < 0 || f.Code >= kCategoryCodeCount || f.Position != 0 || f.Key != FormatKey(f.Code, 0))
        throw Exception("format catalogue: category " + std::to_string(f.Code) + " does not start at position 0");
      size_t j = i;
      while (j < formats.size() && formats[j].Code == f.Code) {
        if (formats[j].Position != int(j - i) || formats[j].Key != FormatKey(f.Code, int(j - i)))
          throw Exception("format catalogue: key " + std::to_string(formats[j].Key) + " out of place");
        ++j;
      }
      byCode[f.Code] = std::span<const TFormatItem>(formats.data() + i, j - i);
      i = j;
    }
  }
};

const Catalogue& Data() {
  static const Catalogue data;
  return data;
}

}  // namespace

std::span<const TCategoryListItem> CategoryList() { return Data().list; }

int CategoryCodeOfPosition(int listPosition) {
  for (const auto& c : Data().list)
    if (c.Position == listPosition) return c.Code;
  return -1;
}

int CategoryPositionOfCode(int code) {
  for (const auto& c : Data().list)
    if (c.Code == code) return c.Position;
  return -1;
}

std::span<const TFormatItem> FormatsOfCategory(int code) {
  if (code < 0 || code >= kCategoryCodeCount) return {};
  return Data().byCode[code];
}

std::span<const TFormatItem> AllFormats() { return Data().formats; }

const TFormatItem* FindFormat(int key) {
  auto formats = FormatsOfCategory(key / 100 - 1);
  int position = key % 100;
  if (key < 100 || position >= int(formats.size())) return nullptr;
  return &formats[position];
}

int FormatKeyOfListPositions(int categoryPosition, int formatPosition) {
  int code = CategoryCodeOfPosition(categoryPosition);
  if (code < 0 || formatPosition < 0 || formatPosition >= int(FormatsOfCategory(code).size())) return -1;
  return FormatKey(code, formatPosition);
}

int FormatCodeOfKey(int key) {
  const TFormatItem* f = FindFormat(key);
  if (!f) return -1;
  int categoryPosition = CategoryPositionOfCode(f->Code);
  if (categoryPosition < 0) return -1;
  return FormatCode(categoryPosition, f->Position);
}

int FormatKeyOfCode(int formatCode) {
  if (formatCode < 100) return -1;
  TListPositions p = DecodeFormatCode(formatCode);
  return FormatKeyOfListPositions(p.Category, p.Format);
}

}  // namespace catalogue
