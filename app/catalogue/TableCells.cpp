#include "app/catalogue/TableCells.h"

#include <charconv>
#include <string>

#include "base/Exception.h"

namespace catalogue::detail {

namespace {
[[noreturn]] void BadCell(const TsvTable& t, int row, int col, const char* what) {
  throw Exception(std::string("table ") + t.Name + ", row " + std::to_string(row + 1) + ", column " +
                  std::string(t.Header(col)) + ": " + what + " \"" + std::string(t.Cell(row, col)) + "\"");
}
}  // namespace

int RequireColumn(const TsvTable& table, std::string_view name) {
  int c = table.ColumnIndex(name);
  if (c < 0) throw Exception(std::string("table ") + table.Name + " has no column " + std::string(name));
  return c;
}

int ParseIntCell(const TsvTable& table, int row, int col) {
  std::string_view s = table.Cell(row, col);
  int value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) BadCell(table, row, col, "not a number:");
  return value;
}

bool ParseFlagCell(const TsvTable& table, int row, int col) {
  std::string_view s = table.Cell(row, col);
  if (s == "0") return false;
  if (s == "1") return true;
  BadCell(table, row, col, "not 0 or 1:");
}

}  // namespace catalogue::detail
