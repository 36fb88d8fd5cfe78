#include "platform/backend/Choose.h"

#include <cstdlib>
#include <memory>

#include "platform/backend/x11/X11.h"

namespace win::backend {

const char* InstallForEnvironment() {
  static std::unique_ptr<Backend> chosen;
  const char* display = std::getenv("DISPLAY");
  if (display && *display && !chosen) chosen = x11::Create(display);
  Install(chosen.get());
  return Current().Name();
}

}  // namespace win::backend
