#include "platform/backend/headless/ShellRecorder.h"

#include <mutex>

#include "platform/WinUser.h"

namespace win::headless {
namespace {

class Recorder final : public shell::Services {
 public:
  bool Launch(const std::vector<std::string>& argv) override {
    std::lock_guard<std::mutex> lock(m);
    launches.push_back(argv);
    return launchSucceeds;
  }
  bool PlaySoundFile(const std::string& path) override {
    std::lock_guard<std::mutex> lock(m);
    sounds.push_back(path);
    return true;
  }
  bool PowerOff() override {
    std::lock_guard<std::mutex> lock(m);
    ++powerOffs;
    return true;
  }
  bool NotifyIcon(DWORD message, const NOTIFYICONDATA& data) override {
    std::lock_guard<std::mutex> lock(m);
    tray.push_back({message, data});
    return trayAvailable;
  }

  std::mutex m;
  std::vector<std::vector<std::string>> launches;
  std::vector<std::string> sounds;
  int powerOffs = 0;
  std::vector<TrayRecord> tray;
  bool trayAvailable = true;
  bool launchSucceeds = true;
};

Recorder& TheRecorder() {
  static Recorder r;
  return r;
}

}  // namespace

shell::Services& ShellRecorder() { return TheRecorder(); }

std::vector<std::vector<std::string>> Launches() {
  std::lock_guard<std::mutex> lock(TheRecorder().m);
  return TheRecorder().launches;
}
std::vector<std::string> SoundsPlayed() {
  std::lock_guard<std::mutex> lock(TheRecorder().m);
  return TheRecorder().sounds;
}
int PowerOffRequests() {
  std::lock_guard<std::mutex> lock(TheRecorder().m);
  return TheRecorder().powerOffs;
}
std::vector<TrayRecord> TrayCalls() {
  std::lock_guard<std::mutex> lock(TheRecorder().m);
  return TheRecorder().tray;
}
void SetTrayAvailable(bool available) {
  std::lock_guard<std::mutex> lock(TheRecorder().m);
  TheRecorder().trayAvailable = available;
}
void SetLaunchSucceeds(bool succeeds) {
  std::lock_guard<std::mutex> lock(TheRecorder().m);
  TheRecorder().launchSucceeds = succeeds;
}
void BroadcastTaskbarCreated() { PostMessage(HWND_BROADCAST, RegisterWindowMessage("TaskbarCreated"), 0, 0); }
void ResetShellRecorder() {
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> lock(r.m);
  r.launches.clear();
  r.sounds.clear();
  r.powerOffs = 0;
  r.tray.clear();
  r.trayAvailable = true;
  r.launchSucceeds = true;
}

}  // namespace win::headless
