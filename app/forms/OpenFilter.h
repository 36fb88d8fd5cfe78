#pragma once
// The file-type filter of the main window's open dialogs: 42 entries, from every supported
// file down to single formats, as the dialogs' Filter text ("description|patterns|" each).
// The texts are kept exactly as users have always seen them, odd spacing included: entry 38's
// description has an ideographic space before its parenthesis, entry 42's patterns a blank
// after the semicolon, and entry 2 names "*.m4v" twice.
#include <span>
#include <string>
#include <string_view>

namespace openfilter {

struct TFilterEntry {
  std::string_view Description;
  std::string_view Patterns;  // ";"-separated
};

std::span<const TFilterEntry> Entries();
// Every entry as "description|patterns|", one after the other (1833 characters).
std::string FilterText();

}  // namespace openfilter
