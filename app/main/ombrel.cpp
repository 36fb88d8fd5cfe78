// The program block: the application, its forms in their order, and the message loop.
#include <cstdio>
#include <cstring>
#include <exception>

#include "app/forms/Unit1.h"
#include "classlib/Forms.h"
#include "platform/backend/Choose.h"

int main() {
  // The converter is a window on an X display; the memory-only backend is for the tests.
  const char* backend = win::backend::InstallForEnvironment();
  if (std::strcmp(backend, "x11") != 0) {
    std::fprintf(stderr,
                 "OmbrelWMV视频格式转换器 needs an X display: set DISPLAY to a display that can be opened.\n");
    return 1;
  }
  try {
    Application->Initialize();
    Application->SetTitle("OmbrelWMV视频格式转换器");
    Application->SetHelpFile("help.chm");
    Application->CreateForm(Form1);
    // The about box (Form2), the options dialog (Form5) and the settings form (Form6) are
    // created here, in this order, after Form1: the settings form writes Form1's fields.
    Application->Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "OmbrelWMV视频格式转换器: %s\n", e.what());
    return 1;
  }
  return 0;
}
