#include "app/forms/OptionIni.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <exception>
#include <vector>

#include "Src/MyUtils.h"
#include "base/Files.h"
#include "base/IniFile.h"
#include "base/Text.h"

namespace options {

namespace {

// What a read passes as the default, and what counts as missing besides an empty value.
constexpr const char* kMissing = "Error";

std::string& PathOverride() {
  static std::string path;
  return path;
}

std::string HomeFolder() {
  std::string home = GetEnvironmentVariable("HOME");
  if (!home.empty()) return ExcludeTrailingPathDelimiter(home);
  // No HOME (a service, say): the account's home folder.
  std::vector<char> buf(16384);
  passwd pw{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir)
    return ExcludeTrailingPathDelimiter(found->pw_dir);
  return "/tmp";
}

// Makes Folder (and its parents) when it is not there; a failure is not reported, the folder
// is used all the same.
void EnsureFolder(const std::string& Folder) {
  if (!Folder.empty() && !DirectoryExists(Folder)) ForceDirectories(Folder);
}

// The stored folder of Section/Key (made again when gone), or Default, made and written back.
std::string ResolveFolder(const TOptionIni& Ini, const char* Section, const char* Key, const std::string& Default) {
  std::string folder = Ini.Read(Section, Key);
  if (!folder.empty()) {
    EnsureFolder(folder);
    return folder;
  }
  EnsureFolder(Default);
  Ini.Write(Section, Key, Default);
  return Default;
}

// The position of Value in Listed, or -1.
template <size_t N>
int IndexOf(const std::array<const char*, N>& Listed, const std::string& Value) {
  for (size_t i = 0; i < N; ++i)
    if (Value == Listed[i]) return static_cast<int>(i);
  return -1;
}

constexpr std::array<const char*, 4> kDigits0to3{"0", "1", "2", "3"};
constexpr std::array<const char*, 2> kDigits0to1{"0", "1"};
constexpr std::array<const char*, 4> kPictures{"BMP", "JPG", "GIF", "PNG"};

}  // namespace

std::string ChooseOptionIniPath(const std::string& ExeFolder) {
  if (!ExeFolder.empty() && DirectoryExists(ExeFolder) && ::access(ExeFolder.c_str(), W_OK) == 0)
    return IncludeTrailingPathDelimiter(ExeFolder) + "option.ini";
  std::string config = GetEnvironmentVariable("XDG_CONFIG_HOME");
  // The base-directory rules ignore a relative value.
  if (config.empty() || config.front() != '/') config = HomeFolder() + "/.config";
  return IncludeTrailingPathDelimiter(config) + "ombrel/option.ini";
}

std::string OptionIniPath() {
  if (!PathOverride().empty()) return PathOverride();
  static const std::string chosen = ChooseOptionIniPath(GetExeFolder());
  return chosen;
}

void SetOptionIniPath(const std::string& Path) { PathOverride() = Path; }

std::string DefaultOutputFolder() { return HomeFolder() + "/Ombrel视频软件/输出"; }
std::string DefaultSnapshotFolder() { return HomeFolder() + "/Ombrel视频软件/快照"; }

TOptionIni::TOptionIni() : FPath(OptionIniPath()) {}
TOptionIni::TOptionIni(std::string Path) : FPath(std::move(Path)) {}

bool TOptionIni::Exists() const { return FileExists(FPath); }

std::string TOptionIni::Read(const std::string& Section, const std::string& Key) const {
  try {
    TIniFile ini(FPath);
    std::string value = ini.ReadString(Section, Key, kMissing);
    return value == kMissing ? std::string() : value;
  } catch (const std::exception&) {
    return {};
  }
}

bool TOptionIni::Write(const std::string& Section, const std::string& Key, const std::string& Value) const {
  try {
    EnsureFolder(ExtractFileDir(FPath));
    TIniFile ini(FPath);
    ini.WriteString(Section, Key, Value);
    return true;
  } catch (const std::exception&) {
    // Not reported: the caller goes on with the value it has.
    return false;
  }
}

std::string ReadOutPath(const TOptionIni& Ini) {
  return ResolveFolder(Ini, kOutPathSection, kOutPathKey, DefaultOutputFolder());
}

void WriteOutPath(const TOptionIni& Ini, const std::string& Folder) {
  if (DirectoryExists(Folder)) Ini.Write(kOutPathSection, kOutPathKey, Folder);
}

int32_t ReadSkinIndex(const TOptionIni& Ini) {
  int32_t index = 0;
  // A value that is no whole number counts as missing, like an absent one.
  if (TryStrToInt(Ini.Read(kSkinSection, kSkinKey), index)) return index;
  Ini.Write(kSkinSection, kSkinKey, "0");
  return 0;
}

void WriteSkinIndex(const TOptionIni& Ini, int32_t Index) { Ini.Write(kSkinSection, kSkinKey, IntToStr(Index)); }

std::string ResolveSnapshotFolder(const TOptionIni& Ini) {
  return ResolveFolder(Ini, kSnapShotSection, kSnapShotDirKey, DefaultSnapshotFolder());
}

std::string ResolveSnapshotPicture(const TOptionIni& Ini) {
  std::string picture = Ini.Read(kSnapShotSection, kSnapShotPictureKey);
  if (IndexOf(kPictures, picture) >= 0) return picture;
  Ini.Write(kSnapShotSection, kSnapShotPictureKey, "BMP");
  return "BMP";
}

void WriteSnapshotFolder(const TOptionIni& Ini, const std::string& Folder) {
  Ini.Write(kSnapShotSection, kSnapShotDirKey, Folder);
}

void WriteSnapshotPicture(const TOptionIni& Ini, const std::string& Picture) {
  Ini.Write(kSnapShotSection, kSnapShotPictureKey, Picture);
}

TDialogOptions ReadDialogOptions(const TOptionIni& Ini) {
  TDialogOptions o;
  if (!Ini.Exists()) {
    Ini.Write(kOptionsSection, kThreadCountKey, "0");
    Ini.Write(kOptionsSection, kAfterDoneKey, "0");
    Ini.Write(kOptionsSection, kShowPreviewKey, "0");
    Ini.Write(kOptionsSection, kThreadPriorityKey, "3");
    Ini.Write(kOptionsSection, kOverwriteFileKey, "1");
    return o;
  }

  const std::string count = Ini.Read(kOptionsSection, kThreadCountKey);
  if (count.empty()) Ini.Write(kOptionsSection, kThreadCountKey, "0");
  // The dialog's own writer stores the item's text: show it back, so the next OK keeps it.
  for (int32_t n = 2; n <= 19; ++n)
    if (count == IntToStr(n)) o.ThreadCount = count;

  const int afterDone = IndexOf(kDigits0to3, Ini.Read(kOptionsSection, kAfterDoneKey));
  if (afterDone < 0) Ini.Write(kOptionsSection, kAfterDoneKey, "0");
  else o.AfterDone = static_cast<TAfterDone>(afterDone);

  const int priority = IndexOf(kDigits0to3, Ini.Read(kOptionsSection, kThreadPriorityKey));
  if (priority < 0) Ini.Write(kOptionsSection, kThreadPriorityKey, "3");
  else o.Priority = static_cast<TPriorityChoice>(priority);

  const int overwrite = IndexOf(kDigits0to1, Ini.Read(kOptionsSection, kOverwriteFileKey));
  if (overwrite < 0) Ini.Write(kOptionsSection, kOverwriteFileKey, "1");
  else o.Overwrite = overwrite == 0;

  const int preview = IndexOf(kDigits0to1, Ini.Read(kOptionsSection, kShowPreviewKey));
  if (preview < 0) Ini.Write(kOptionsSection, kShowPreviewKey, "0");
  else o.ShowPreview = preview == 1;
  return o;
}

void WriteDialogOptions(const TOptionIni& Ini, const TDialogOptionsWrite& Values) {
  if (Values.ThreadCount) Ini.Write(kOptionsSection, kThreadCountKey, *Values.ThreadCount);
  if (Values.AfterDone) Ini.Write(kOptionsSection, kAfterDoneKey, IntToStr(int32_t(*Values.AfterDone)));
  Ini.Write(kOptionsSection, kShowPreviewKey, Values.ShowPreview ? "1" : "0");
  if (Values.Priority) Ini.Write(kOptionsSection, kThreadPriorityKey, IntToStr(int32_t(*Values.Priority)));
  if (Values.Overwrite) Ini.Write(kOptionsSection, kOverwriteFileKey, *Values.Overwrite ? "0" : "1");
}

}  // namespace options
