// The open dialog on a real X server (run under xvfb-run; skipped without a display): the
// server's own input, faked through XTest, double-clicks a folder in the file list, then a file
// in it, and Execute returns true with that file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "lib/dialogs/kxSkinOpenDialog.h"
#include "lib/dialogs/kxSkinShellList.h"
#include "tests/lib/x11/OnX11.h"
#include "tests/lib/x11/XServerPixels.h"
#include "tests/platform/ShellTestTree.h"

using namespace win;

namespace {

int32_t RowOf(TkxSkinFileListView* L, const std::string& Name) {
  for (int32_t i = 0; i < L->FolderCount(); ++i)
    if (L->ItemName(i) == Name) return i;
  return -1;
}

TEST(OpenDialogOnX11, DoubleClicksIntoAFolderAndOnAFileReturnThatFile) {
  if (!onx11::Display() || !xpixels::Available()) GTEST_SKIP() << "no X display";
  shelltest::Tree tree;
  ASSERT_FALSE(tree.root.empty());
  const std::string videos = tree.home + "/Videos";
  std::filesystem::create_directories(videos + "/片段");
  for (const char* f : {"/a.avi", "/片段/剪辑.mp4", "/片段/other.mp4"}) std::ofstream(videos + f) << "x";
  backend::Install(onx11::Display());
  {
    TkxSkinOpenDialog dlg(nullptr);
    dlg.InitialDir = videos;
    dlg.DialogWidth = 480;
    dlg.DialogHeight = 320;
    // The user's steps, each once the one before has shown on the form; a step that never comes
    // true ends the run with Cancel after a while.
    int step = 0, waited = 0;
    std::vector<std::string> failures;
    auto doubleClickRow = [&](TkxOpenDlgForm* f, const std::string& Name) {
      TkxSkinFileListView* l = f->FileListView;
      const int32_t i = RowOf(l, Name);
      if (i < 0) return false;
      const TRect r = l->ItemRect(i, drLabel);
      const TPoint p = l->ClientToScreen(TPoint{r.left + 6, (r.top + r.bottom) / 2});
      if (!xpixels::ClickAt(p.x, p.y, 2)) {
        failures.push_back("no XTest");
        f->SetModalResult(mrCancel);
      }
      return true;
    };
    TTimer timer(nullptr);
    timer.SetInterval(50);
    timer.OnTimer = [&](TObject*) {
      TkxOpenDlgForm* f = dlg.DlgFrm();
      if (!f || !f->Visible() || !f->HandleAllocated()) return;
      if (++waited > 200) {
        failures.push_back("stuck at step " + std::to_string(step));
        f->SetModalResult(mrCancel);
        return;
      }
      switch (step) {
        case 0:
          if (f->FileListView->Path() != videos || !doubleClickRow(f, "片段")) return;
          ++step;
          break;
        case 1:
          if (f->FileListView->Path() != videos + "/片段" || !doubleClickRow(f, "剪辑.mp4")) return;
          ++step;
          break;
        default: return;
      }
      waited = 0;
    };
    timer.SetEnabled(true);
    const bool ok = dlg.Execute();
    timer.SetEnabled(false);
    EXPECT_TRUE(failures.empty()) << (failures.empty() ? "" : failures.front());
    EXPECT_EQ(2, step);
    EXPECT_TRUE(ok);
    EXPECT_EQ(videos + "/片段/剪辑.mp4", dlg.FileName());
  }
  backend::Install(nullptr);
}

}  // namespace
