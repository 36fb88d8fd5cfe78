#pragma once
// Where the shell's namespace takes its facts from: the home folder, the XDG user folders, the
// data folder holding the trash, and the mount table. Read lazily (never in a static
// initialiser) from the process's environment; tests install their own.
#include <cstdint>
#include <string>
#include <vector>

namespace win::shell {

struct Environment {
  std::string home;        // $HOME
  std::string configHome;  // $XDG_CONFIG_HOME, default $HOME/.config (user-dirs.dirs lives here)
  std::string dataHome;    // $XDG_DATA_HOME, default $HOME/.local/share (Trash lives here)
  std::string mountInfo;   // the mount table in mountinfo format, default /proc/self/mountinfo
  std::string sysRoot;     // where /sys is, default "/sys" (removable flags of block devices)
  std::string byLabel;     // the label links, default /dev/disk/by-label
};

// The process's environment as described above.
Environment ProcessEnvironment();
// The environment in use: the installed one, else the process's (read on first use).
const Environment& CurrentEnvironment();
// Installs an environment (tests); the volumes and user folders are read again on next use.
void SetEnvironment(const Environment& env);
// Back to the process's environment.
void ResetEnvironment();

enum class DriveKind : uint8_t { Fixed, Removable, Cdrom, Remote, Ram };

struct Volume {
  std::string mountPoint;  // absolute, without a trailing "/" (except "/")
  std::string source;      // the mount source: /dev/sda1, //server/share, host:/export
  std::string fsType;
  std::string label;       // the volume label, else the mount point's base name ("/" for the root)
  DriveKind kind = DriveKind::Fixed;
};

// The user-visible volumes: "/" first, then the others in mount order. Read once per environment.
const std::vector<Volume>& Volumes();
// Re-reads the mount table on next use (after a mount or unmount).
void InvalidateVolumes();
// Parses mountinfo text with the rules of Volumes() (exposed for tests).
std::vector<Volume> ParseMountInfo(const std::string& text, const Environment& env);
// The volume holding `path` (longest mount-point prefix); nullptr when none (never for an
// absolute path, since "/" is always there).
const Volume* VolumeOf(const std::string& path);

// An XDG user folder: its key ("DESKTOP", "DOCUMENTS", ...) and absolute path.
struct UserFolder {
  std::string key;
  std::string path;
};
// The user folders of user-dirs.dirs (without running a shell), in one fixed order, those that
// exist as folders and are not the home folder itself.
std::vector<UserFolder> UserFolders();
// One user folder's path by its key, following the XDG rules (defaults for DESKTOP
// "$HOME/Desktop"; a missing DOCUMENTS falls back to $HOME); "" when there is none.
std::string UserFolderPath(const std::string& key);

// Lexical normalisation of an absolute path: "." dropped, "//" collapsed, ".." resolved textually,
// no trailing "/" (except "/"), symbolic links kept. "" for a path that is not absolute.
std::string NormalizePath(const std::string& path);

}  // namespace win::shell
