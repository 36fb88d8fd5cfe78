#include <cstdio>

#include "platform/backend/Choose.h"

int main() {
  // Real windows on an X display when $DISPLAY is set; otherwise windows live in memory only.
  const char* backend = win::backend::InstallForEnvironment();
  std::fprintf(stderr, "OmbrelWMV视频格式转换器 (%s): the main window is not built yet; nothing to show.\n", backend);
  return 1;
}
