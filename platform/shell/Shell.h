#pragma once
// Our own additions to the shell's entry points: the item identifiers' kinds, the hooks through
// which the user interface confirms a delete and shows an item's properties, and the texts the
// namespace shows.
#include <functional>
#include <string>
#include <vector>

#include "platform/shell/ShellApi.h"

namespace win::shell {

// The kind byte that begins every identifier's payload.
enum class ItemKind : BYTE { Computer = 1, Home = 2, UserFolder = 3, Volume = 4, FsDir = 5, FsFile = 6 };
// The flags byte after it; a volume keeps its DriveKind in the high nibble.
constexpr BYTE kItemHidden = 0x1, kItemLink = 0x2;

// The texts of the namespace, in one place.
struct Texts {
  const char* desktop = "Desktop";
  const char* computer = "Computer";
  const char* home = "Home";
  const char* folderType = "Folder";
  const char* fileType = "File";
  const char* fileTypeSuffix = " File";
  const char* driveTypes[5] = {"Local Disk", "Removable Disk", "CD Drive", "Network Drive", "RAM Disk"};
  const char* columns[6] = {"Name", "Size", "Type", "Date Modified", "Date Changed", "Attributes"};
  const char* volumeColumns[4] = {"Name", "Type", "Total Size", "Free Space"};
  const char* commands[5] = {"&Open", "Open Containing &Folder", "Rena&me", "&Delete", "P&roperties"};
};
const Texts& ShellTexts();
// The parsing names of the two virtual folders.
extern const char* const kDesktopParsingName;
extern const char* const kComputerParsingName;

// What the properties verb shows.
struct ItemInfo {
  std::string name, type, path, size, modified, changed;
};
// The delete verb asks this before moving items to the trash (the user interface installs a
// message box); without a hook the move goes ahead, since the trash keeps everything.
void SetDeleteConfirmation(std::function<bool(const std::vector<std::string>& paths)> hook);
// The properties verb calls this; without a handler the verb fails.
void SetPropertiesHandler(std::function<bool(const ItemInfo& info)> handler);

// The file-system path of an absolute list (false for virtual items and broken lists).
bool PathOfIdList(LPCITEMIDLIST pidl, std::string* path);
// The identifiers of a list, each as its payload bytes (for the command-line tool and tests).
std::vector<std::string> IdPayloads(LPCITEMIDLIST pidl);
// A copy of `size` bytes as a list (tests build lists by hand).
LPITEMIDLIST IdListFromBytes(const void* bytes, size_t size);
size_t IdListSize(LPCITEMIDLIST pidl);  // 0 for nullptr, else with the terminator

}  // namespace win::shell
