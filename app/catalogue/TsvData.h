#pragma once
// The format, parameter and preset tables as the build generates them from app/data/*.tsv.
// Each table is a grid of UTF-8 cells; row 0 holds the column names.
#include <string_view>

struct TsvTable {
  const char* Name;
  int Columns;
  int Rows;                   // data rows, the header not counted
  const char* const* Cells;   // (Rows + 1) * Columns cells, header first

  std::string_view Header(int col) const { return Cells[col]; }
  // Data row `row` (0-based), column `col`.
  std::string_view Cell(int row, int col) const { return Cells[(row + 1) * Columns + col]; }
  // Position of a column by name, or -1.
  int ColumnIndex(std::string_view name) const {
    for (int c = 0; c < Columns; ++c)
      if (Header(c) == name) return c;
    return -1;
  }
};

namespace tsvdata {
// Main window: 13 listed categories, 288 formats, their parameters, 89 preset lists, 288 preset rows.
extern const TsvTable CategoryList;
extern const TsvTable FormatCatalogue;
extern const TsvTable FormatParams;
extern const TsvTable PresetLists;
extern const TsvTable PresetTable;
// Settings form: its own older copies (12 categories, 109 formats, 50 preset lists).
extern const TsvTable SettingsCategories;
extern const TsvTable SettingsCatalogue;
extern const TsvTable SettingsParams;
extern const TsvTable SettingsPresetLists;
extern const TsvTable SettingsPresetTable;
}  // namespace tsvdata
