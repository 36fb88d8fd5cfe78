#pragma once
// Loading shared libraries at run time (dlopen/dlsym). A failure answers a null handle or
// address and keeps the loader's message for the calling thread: GetLastLoadError().
#include <string>

// A library loaded by LoadLibrary; nullptr for none. (Not the window layer's HMODULE, which
// names modules in the Windows-shaped API.)
using TLibHandle = void*;

// Loads the library now, symbols kept local to it (RTLD_NOW | RTLD_LOCAL). A name without "/"
// is looked up on the system's library path; a path is loaded from exactly there.
TLibHandle LoadLibrary(const std::string& path);
// The address of an exported symbol, or nullptr.
void* GetProcAddress(TLibHandle module, const std::string& name);
// Releases one LoadLibrary of the library; answers false (with a message) on failure.
bool FreeLibrary(TLibHandle module);
// The message of this thread's last failed call above ("" after a success).
std::string GetLastLoadError();

// The typed form: GetProcAddressAs<int (*)(int)>(lib, "abs").
template <typename Fn>
Fn GetProcAddressAs(TLibHandle module, const std::string& name) {
  return reinterpret_cast<Fn>(GetProcAddress(module, name));
}
