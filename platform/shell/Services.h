#pragma once
// The shell's services that reach outside the process: launching files with the desktop's
// handler, the finish sound, powering off, and the tray icon. Each goes through the services
// in use: the headless recorder until the program installs the desktop's (so tests never launch,
// play or power off anything), see platform/backend/headless/ShellRecorder.h.
#include <memory>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

namespace win {

// ---- the tray ---------------------------------------------------------------------------------
constexpr DWORD NIM_ADD = 0, NIM_MODIFY = 1, NIM_DELETE = 2;
constexpr UINT NIF_MESSAGE = 0x1, NIF_ICON = 0x2, NIF_TIP = 0x4, NIF_INFO = 0x10;
constexpr DWORD NIIF_NONE = 0, NIIF_INFO = 1, NIIF_WARNING = 2, NIIF_ERROR = 3;
constexpr UINT NIN_BALLOONUSERCLICK = 1029;
struct NOTIFYICONDATA {
  DWORD cbSize = sizeof(NOTIFYICONDATA);
  HWND hWnd = nullptr;    // gets uCallbackMessage with uID and the pointer message
  UINT uID = 0;
  UINT uFlags = 0;
  UINT uCallbackMessage = 0;
  HICON hIcon = nullptr;
  std::string szTip;      // at most 127 characters
  std::string szInfo;     // balloon text, at most 255 characters; empty removes a shown balloon
  std::string szInfoTitle;  // at most 63 characters
  DWORD dwInfoFlags = NIIF_NONE;
};
// Adds, changes or removes a tray icon; FALSE when no tray is there.
BOOL Shell_NotifyIcon(DWORD message, const NOTIFYICONDATA* data);
// The message number of a name that programs agree on ("TaskbarCreated", which a tray that
// starts afresh posts to every top-level window): the same name, in any case, gives the same
// number, from 0xC000 up; 0 for an empty name or when the range is used up.
UINT RegisterWindowMessage(const char* name);

// ---- sound, power -----------------------------------------------------------------------------
constexpr DWORD SND_SYNC = 0x0, SND_ASYNC = 0x1, SND_FILENAME = 0x20000;
// Plays a WAV file through the desktop's sound service (it follows the user's sound settings).
// Only files are played, always without waiting; FALSE for a missing file or without a service.
BOOL PlaySound(const char* sound, HMODULE module, DWORD flags);
constexpr UINT EWX_LOGOFF = 0, EWX_SHUTDOWN = 0x1, EWX_REBOOT = 0x2, EWX_FORCE = 0x4, EWX_POWEROFF = 0x8;
// EWX_POWEROFF (with or without the others) asks the system to power off (systemctl poweroff,
// which asks polkit itself: no privilege needs enabling first). Other requests fail.
BOOL ExitWindowsEx(UINT flags, DWORD reason);

namespace shell {

// What a tray host sees: one call per Shell_NotifyIcon.
class TrayHost {
 public:
  virtual ~TrayHost() = default;
  virtual bool NotifyIcon(DWORD message, const NOTIFYICONDATA& data) = 0;
};

class Services {
 public:
  virtual ~Services() = default;
  // Starts a program with this argument vector (argv[0] looked up in PATH), without waiting.
  virtual bool Launch(const std::vector<std::string>& argv) = 0;
  // Starts playing a sound file; true when the sound service took it.
  virtual bool PlaySoundFile(const std::string& path) = 0;
  virtual bool PowerOff() = 0;
  virtual bool NotifyIcon(DWORD message, const NOTIFYICONDATA& data) = 0;
};

// The services in use: the headless recorder unless InstallServices gave others.
Services& CurrentServices();
// Installs services (the caller keeps them alive); nullptr puts the recorder back.
void InstallServices(Services* services);
// The desktop's services: xdg-open, systemctl and the event-sound library; the tray through the
// host the X11 backend installs (without one there is no tray).
Services& DesktopServices();
void SetTrayHost(TrayHost* host);

}  // namespace shell
}  // namespace win
