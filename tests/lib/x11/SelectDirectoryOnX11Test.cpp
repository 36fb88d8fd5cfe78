// The select-directory dialog on a real X server (run under xvfb-run; skipped without a
// display): the server's own input, faked through XTest, clicks a folder's node in the tree and
// then OK, and Execute returns true with that folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/dialogs/kxSelectDirectoryDialog.h"
#include "lib/dialogs/kxSkinShellTree.h"
#include "platform/backend/x11/X11.h"
#include "tests/lib/x11/XServerPixels.h"
#include "tests/platform/ShellTestTree.h"

using namespace win;

namespace {

backend::Backend* Backend() {
  static backend::Backend* b = std::getenv("DISPLAY") ? x11::Create().release() : nullptr;
  return b;
}

TTreeNode* ChildNamed(TTreeNode* N, const std::string& Text) {
  for (TTreeNode* c = N ? N->GetFirstChild() : nullptr; c; c = c->GetNextSibling())
    if (c->Text() == Text) return c;
  return nullptr;
}

TEST(SelectDirectoryOnX11, ClicksOnAFolderAndOkReturnThatFolder) {
  if (!Backend() || !xpixels::Available()) GTEST_SKIP() << "no X display";
  shelltest::Tree tree;
  ASSERT_FALSE(tree.root.empty());
  const std::string videos = tree.home + "/Videos";
  for (const char* d : {"/片段/深", "/甲", "/乙"}) std::filesystem::create_directories(videos + d);
  backend::Install(Backend());
  {
    TkxSkinSelectDirectoryDialog dlg(nullptr);
    dlg.Directory = videos;
    dlg.DialogWidth = 320;
    dlg.DialogHeight = 360;
    // The user's steps, each once the one before has shown on the form; a step that never
    // comes true ends the run with Cancel after a while.
    int step = 0, waited = 0;
    std::vector<std::string> failures;
    TTimer timer(nullptr);
    timer.SetInterval(50);
    timer.OnTimer = [&](TObject*) {
      TkxSelDirDlgForm* f = dlg.DlgFrm();
      if (!f || !f->Visible() || !f->HandleAllocated()) return;
      if (++waited > 200) {
        failures.push_back("stuck at step " + std::to_string(step));
        f->SetModalResult(mrCancel);
        return;
      }
      TkxSkinDirTreeView* t = f->DirTreeView;
      switch (step) {
        case 0: {  // a click on the folder's label selects it
          TTreeNode* n = ChildNamed(t->Selected(), "片段");
          if (!n) return;
          const TRect r = n->DisplayRect(true);
          const TPoint p = t->ClientToScreen(TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
          if (!xpixels::ClickAt(p.x, p.y)) {
            failures.push_back("no XTest");
            f->SetModalResult(mrCancel);
            return;
          }
          ++step;
          break;
        }
        case 1: {  // OK
          if (t->Path() != videos + "/片段") return;
          const TPoint p = f->OkButton->ClientToScreen(TPoint{f->OkButton->Width() / 2, f->OkButton->Height() / 2});
          xpixels::ClickAt(p.x, p.y);
          ++step;
          break;
        }
        default: break;
      }
      waited = 0;
    };
    timer.SetEnabled(true);
    const bool ok = dlg.Execute();
    timer.SetEnabled(false);
    EXPECT_TRUE(failures.empty()) << failures.front();
    EXPECT_EQ(2, step);
    EXPECT_TRUE(ok);
    EXPECT_EQ(videos + "/片段", dlg.Directory);
  }
  backend::Install(nullptr);
}

}  // namespace
