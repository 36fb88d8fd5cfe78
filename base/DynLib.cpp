#include "base/DynLib.h"

#include <dlfcn.h>

namespace {

thread_local std::string tLastError;

// dlerror's text is consumed when read and may be replaced by any later dl* call, so it is
// copied right at the failing call.
void KeepError(const std::string& fallback) {
  const char* err = dlerror();
  tLastError = err ? std::string(err) : fallback;
}

}  // namespace

TLibHandle LoadLibrary(const std::string& path) {
  if (path.empty()) {
    tLastError = "No library name given";
    return nullptr;
  }
  dlerror();
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h)
    KeepError(path + ": cannot load library");
  else
    tLastError.clear();
  return h;
}

void* GetProcAddress(TLibHandle module, const std::string& name) {
  if (!module) {
    tLastError = name + ": no library loaded";
    return nullptr;
  }
  dlerror();
  void* p = dlsym(module, name.c_str());
  // A symbol may legitimately be null; only dlerror tells a missing one apart.
  const char* err = dlerror();
  if (err) {
    tLastError = err;
    return nullptr;
  }
  if (!p) {
    tLastError = name + ": symbol has a null address";
    return nullptr;
  }
  tLastError.clear();
  return p;
}

bool FreeLibrary(TLibHandle module) {
  if (!module) {
    tLastError = "No library loaded";
    return false;
  }
  dlerror();
  if (dlclose(module) != 0) {
    KeepError("cannot unload library");
    return false;
  }
  tLastError.clear();
  return true;
}

std::string GetLastLoadError() { return tLastError; }
