#pragma once
// The program's choice of backend at start-up: X11 when a display is set and can be opened,
// the headless backend otherwise.
namespace win::backend {

// Installs the chosen backend and answers its name ("x11" or "headless").
const char* InstallForEnvironment();

}  // namespace win::backend
