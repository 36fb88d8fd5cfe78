// The desktop's services and the entry points that use the services in use.
#include "platform/shell/Services.h"

#include <canberra.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "platform/backend/headless/ShellRecorder.h"
#include "platform/shell/ShellApi.h"

extern char** environ;

namespace win {
namespace shell {
namespace {

std::atomic<Services*> g_services{nullptr};
std::atomic<TrayHost*> g_tray{nullptr};

// Starts argv[0] from PATH with the argument vector as given: no shell ever reads it.
bool Spawn(const std::vector<std::string>& argv) {
  if (argv.empty()) return false;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
  // Reaped in the background so that no zombie stays behind.
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

class Desktop final : public Services {
 public:
  bool Launch(const std::vector<std::string>& argv) override { return Spawn(argv); }
  bool PlaySoundFile(const std::string& path) override {
    std::lock_guard<std::mutex> lock(m_);
    if (!ctx_) {
      if (ca_context_create(&ctx_) != CA_SUCCESS) {
        ctx_ = nullptr;
        return false;
      }
      ca_context_change_props(ctx_, CA_PROP_APPLICATION_NAME, "Ombrel", nullptr);
    }
    // The context stays: destroying it would cut the sound short.
    return ca_context_play(ctx_, 0, CA_PROP_MEDIA_FILENAME, path.c_str(), CA_PROP_EVENT_DESCRIPTION,
                           "Conversion finished", CA_PROP_CANBERRA_CACHE_CONTROL, "never", nullptr) == CA_SUCCESS;
  }
  bool PowerOff() override { return Spawn({"systemctl", "poweroff"}); }
  bool NotifyIcon(DWORD message, const NOTIFYICONDATA& data) override {
    TrayHost* host = g_tray.load();
    return host && host->NotifyIcon(message, data);
  }

 private:
  std::mutex m_;
  ca_context* ctx_ = nullptr;
};

}  // namespace

Services& CurrentServices() {
  Services* s = g_services.load();
  return s ? *s : headless::ShellRecorder();
}
void InstallServices(Services* services) { g_services.store(services); }
Services& DesktopServices() {
  static Desktop d;
  return d;
}
void SetTrayHost(TrayHost* host) { g_tray.store(host); }

}  // namespace shell

namespace {
constexpr intptr_t SE_ERR_FNF = 2, SE_ERR_NOASSOC = 31;

bool IsUrl(const std::string& s) {
  size_t colon = s.find(':');
  if (colon == std::string::npos || colon == 0) return false;
  for (size_t i = 0; i < colon; ++i)
    if (!isalnum((unsigned char)s[i]) && s[i] != '+' && s[i] != '-' && s[i] != '.') return false;
  return s.compare(colon, 3, "://") == 0 || s.rfind("mailto:", 0) == 0;
}
}  // namespace

intptr_t ShellExecute(HWND, const std::string& verb, const std::string& file, const std::string&,
                      const std::string& directory, int) {
  if (!verb.empty() && verb != "open" && verb != "explore") return SE_ERR_NOASSOC;
  if (file.empty()) return SE_ERR_FNF;
  std::string target = file;
  if (!IsUrl(file)) {
    if (file[0] != '/') {
      std::string base = directory;
      if (base.empty()) {
        char buf[4096];
        base = getcwd(buf, sizeof buf) ? buf : "/";
      }
      target = (base.back() == '/' ? base : base + "/") + file;
    }
    struct stat st {};
    if (stat(target.c_str(), &st) != 0) return SE_ERR_FNF;
  }
  // An absolute path or a URL never reads as an option of xdg-open.
  return shell::CurrentServices().Launch({"xdg-open", target}) ? 42 : SE_ERR_NOASSOC;
}

BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) {
  if (!info) return FALSE;
  std::string file = info->lpFile;
  if ((info->fMask & SEE_MASK_IDLIST) && info->lpIDList && !SHGetPathFromIDList(info->lpIDList, &file)) return FALSE;
  return ShellExecute(info->hwnd, info->lpVerb, file, {}, {}, info->nShow) > 32;
}

BOOL PlaySound(const char* sound, HMODULE, DWORD) {
  if (!sound || !*sound) return FALSE;
  struct stat st {};
  if (stat(sound, &st) != 0 || !S_ISREG(st.st_mode)) return FALSE;
  return shell::CurrentServices().PlaySoundFile(sound) ? TRUE : FALSE;
}

BOOL ExitWindowsEx(UINT flags, DWORD) {
  if (!(flags & EWX_POWEROFF)) return FALSE;
  return shell::CurrentServices().PowerOff() ? TRUE : FALSE;
}

BOOL Shell_NotifyIcon(DWORD message, const NOTIFYICONDATA* data) {
  if (!data || message > NIM_DELETE) return FALSE;
  return shell::CurrentServices().NotifyIcon(message, *data) ? TRUE : FALSE;
}

}  // namespace win
