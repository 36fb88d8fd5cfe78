#pragma once
// option.ini: the settings that outlive a run. Four sections: OutPath (the output folder), Skin
// (the chosen skin), SnapShot (snapshot folder and picture type) and Options (the options
// dialog's values).
//
// Rules every reader and writer here keeps:
// - one access per key: each read or write opens the file by its full path, handles one value
//   and closes it, so what one operation writes the next one sees;
// - a value that is absent, empty or "Error" is missing; a missing value (and, for keys with
//   listed values, an unlisted one) is replaced by the key's default, which is written back;
// - the default folders are created, with their parents, whenever a reader falls back to them,
//   and a stored folder that is gone is created again; a folder that cannot be made is still
//   used;
// - nothing here reports an error or throws: a file that cannot be read reads as empty, and a
//   write that fails leaves the file as it was while the value read or chosen stays in use.
#include <cstdint>
#include <optional>
#include <string>

namespace options {

// Sections and keys.
inline constexpr const char* kOutPathSection = "OutPath";
inline constexpr const char* kOutPathKey = "OutPath";
inline constexpr const char* kSkinSection = "Skin";
inline constexpr const char* kSkinKey = "SetSkin";
inline constexpr const char* kSnapShotSection = "SnapShot";
inline constexpr const char* kSnapShotDirKey = "Dir";
inline constexpr const char* kSnapShotPictureKey = "Picture";
inline constexpr const char* kOptionsSection = "Options";
inline constexpr const char* kThreadCountKey = "Thread_Count";
inline constexpr const char* kAfterDoneKey = "After_Done";
inline constexpr const char* kShowPreviewKey = "Show_Preview";
inline constexpr const char* kThreadPriorityKey = "Thread_Priority";
inline constexpr const char* kOverwriteFileKey = "Overwrite_File";

// Where option.ini lives: in ExeFolder when the process may write there, otherwise in
// $XDG_CONFIG_HOME/ombrel/ ($HOME/.config/ombrel/ when that variable is unset or relative).
std::string ChooseOptionIniPath(const std::string& ExeFolder);
// The program's option.ini: chosen once, beside the running executable, unless a path was set.
std::string OptionIniPath();
// Replaces the program's option.ini (tests); an empty path goes back to the chosen one.
void SetOptionIniPath(const std::string& Path);

// $HOME/Ombrel视频软件/输出 and $HOME/Ombrel视频软件/快照 (no trailing "/").
std::string DefaultOutputFolder();
std::string DefaultSnapshotFolder();

class TOptionIni {
public:
  // The program's file.
  TOptionIni();
  explicit TOptionIni(std::string Path);

  const std::string& Path() const { return FPath; }
  // Whether the file is there (a folder in its place is no file).
  bool Exists() const;
  // The stored value, or "" when it is missing (absent, empty, "Error") or unreadable.
  std::string Read(const std::string& Section, const std::string& Key) const;
  // Writes one value, creating the file and its folder when needed. False when it could not be
  // written; the file then stays as it was.
  bool Write(const std::string& Section, const std::string& Key, const std::string& Value) const;

private:
  std::string FPath;
};

// The output folder: the stored one (made again when gone), or the default one, made and
// written back.
std::string ReadOutPath(const TOptionIni& Ini);
// Stores Folder, only when that folder exists.
void WriteOutPath(const TOptionIni& Ini, const std::string& Folder);

// The stored skin index. A missing value, or one that is no whole number, gives 0, written back.
// Any whole number is answered as it is, whether or not such a skin exists.
int32_t ReadSkinIndex(const TOptionIni& Ini);
void WriteSkinIndex(const TOptionIni& Ini, int32_t Index);

// The snapshot folder, as ReadOutPath does the output folder (never written by itself).
std::string ResolveSnapshotFolder(const TOptionIni& Ini);
// "BMP", "JPG", "GIF" or "PNG"; anything else gives "BMP", written back.
std::string ResolveSnapshotPicture(const TOptionIni& Ini);
void WriteSnapshotFolder(const TOptionIni& Ini, const std::string& Folder);
void WriteSnapshotPicture(const TOptionIni& Ini, const std::string& Picture);

// What to do when all conversions have ended: the values of After_Done.
enum TAfterDone : int32_t { adOpenFolder = 0, adPowerOff = 1, adPlaySound = 2, adNothing = 3 };
// Worker-thread priority: the values of Thread_Priority.
enum TPriorityChoice : int32_t { pcIdle = 0, pcLowest = 1, pcLower = 2, pcNormal = 3 };

// The section Options as the options dialog shows it.
struct TDialogOptions {
  std::string ThreadCount = "1";  // the thread-count item to select: "1" to "19"
  TAfterDone AfterDone = adOpenFolder;
  bool ShowPreview = false;
  TPriorityChoice Priority = pcNormal;
  bool Overwrite = false;  // false: an existing output file makes the output take a new name
};

// Reads the section Options, key by key (Thread_Count, After_Done, Thread_Priority,
// Overwrite_File, Show_Preview), writing back the default of each missing or unlisted value.
// A Thread_Count that is missing is written back as "0" and selects "1"; "0" and "1" select
// "1", "2" to "19" select themselves; any other value stays in the file and selects "1".
TDialogOptions ReadDialogOptions(const TOptionIni& Ini);

// The section Options as the dialog's controls hold it; an empty member is not written (the
// thread count while multi-thread mode is off, a radio group with nothing selected).
struct TDialogOptionsWrite {
  std::optional<std::string> ThreadCount;
  std::optional<TAfterDone> AfterDone;
  bool ShowPreview = false;
  std::optional<TPriorityChoice> Priority;
  std::optional<bool> Overwrite;
};
// Writes, in this order: Thread_Count, After_Done, Show_Preview, Thread_Priority, Overwrite_File.
void WriteDialogOptions(const TOptionIni& Ini, const TDialogOptionsWrite& Values);

}  // namespace options
