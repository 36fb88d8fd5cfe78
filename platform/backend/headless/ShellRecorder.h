#pragma once
// The headless shell services: every launch, sound, power-off request and tray call is recorded
// and nothing leaves the process. They are the services in use until others are installed.
#include <string>
#include <vector>

#include "platform/shell/Services.h"

namespace win::headless {

struct TrayRecord {
  DWORD message = 0;
  NOTIFYICONDATA data;
};

shell::Services& ShellRecorder();
// The argument vectors of the launches, in order.
std::vector<std::vector<std::string>> Launches();
std::vector<std::string> SoundsPlayed();
int PowerOffRequests();
std::vector<TrayRecord> TrayCalls();
// Whether a tray is there (NIM_* answer TRUE) and whether launches succeed; both true at start.
void SetTrayAvailable(bool available);
void SetLaunchSucceeds(bool succeeds);
// A tray that starts afresh (Explorer restarted): "TaskbarCreated" is posted to every top-level
// window, as a new tray host does.
void BroadcastTaskbarCreated();
// Empties the records and restores both switches.
void ResetShellRecorder();

}  // namespace win::headless
