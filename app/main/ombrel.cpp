// The program block: the application, its forms in their order, and the message loop.
#include <cstdio>
#include <cstring>
#include <exception>

#include "app/forms/Unit1.h"
#include "app/forms/Unit2.h"
#include "app/forms/Unit5.h"
#include "app/forms/Unit6.h"
#include "lib/controls/kxSkinEdits.h"
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
    TForm1::InstallExceptionBox();  // errors of the handlers in a skinned box over the main window
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->CreateForm(Form5);
    // Last: the settings form writes Form1's fields as it is read.
    TForm6Link link;
    link.Fields = Form1;
    link.All_Trant_Number = &Form1->All_Trant_Number;
    link.OutputFolder = [] { return Form1 ? Form1->Video_OutPut_Folder_Edit->Text() : std::string(); };
    link.Overwrite = [] { return OverwriteOutputFiles(); };
    new TForm6(Application, std::move(link));  // owned by the application; never shown
    Application->Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "OmbrelWMV视频格式转换器: %s\n", e.what());
    return 1;
  }
  return 0;
}
