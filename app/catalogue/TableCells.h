#pragma once
// Typed reading of generated table cells. A cell that does not parse means the data file is
// broken; that is reported with the table, row and column instead of a silent zero.
#include <string_view>

#include "app/catalogue/TsvData.h"

namespace catalogue::detail {

// Column index by name; throws when the table lacks it.
int RequireColumn(const TsvTable& table, std::string_view name);
// Whole decimal number with an optional minus sign.
int ParseIntCell(const TsvTable& table, int row, int col);
// "0" or "1".
bool ParseFlagCell(const TsvTable& table, int row, int col);

}  // namespace catalogue::detail
