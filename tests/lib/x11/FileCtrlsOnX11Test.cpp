// The linked file controls in a modal form on a real X server (run under xvfb-run; skipped
// without a display): the server's own input, faked through XTest, opens a folder with a double
// click, picks a file with a click and presses OK, and the form returns the file's path.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "lib/dialogs/kxfilectrl.h"
#include "platform/backend/x11/X11.h"
#include "tests/lib/x11/XServerPixels.h"
#include "tests/platform/ShellTestTree.h"

using namespace win;

namespace {

backend::Backend* Backend() {
  static backend::Backend* b = std::getenv("DISPLAY") ? x11::Create().release() : nullptr;
  return b;
}

// A plain modal form holding the four linked controls and an OK button; its result is the
// chosen file's path.
class TFileForm : public TForm {
public:
  explicit TFileForm(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsNone);
    SetBounds(40, 40, 520, 330);
    Drives = Put<TkxSkinDriveComboBox>(10, 10, 230, 22);
    Dirs = Put<TkxSkinDirectoryListBox>(10, 40, 230, 240);
    Files = Put<TkxSkinFileListBox>(260, 40, 240, 240);
    Filter = Put<TkxSkinFilterComboBox>(260, 10, 240, 22);
    Ok = Put<TButton>(420, 290, 80, 28);
    Ok->SetCaption("OK");
    Ok->SetModalResult(mrOk);
    Ok->SetDefault(true);
    Drives->SetDirList(Dirs);
    Dirs->SetFileList(Files);
    Filter->SetFileList(Files);
    Filter->SetFilter("Videos|*.mp4;*.avi|All files|*");
  }
  std::string Execute() { return ShowModal() == mrOk ? Files->FileName() : std::string(); }

  TkxSkinDriveComboBox* Drives;
  TkxSkinDirectoryListBox* Dirs;
  TkxSkinFileListBox* Files;
  TkxSkinFilterComboBox* Filter;
  TButton* Ok;

private:
  template <typename T>
  T* Put(int x, int y, int w, int h) {
    auto* c = new T(this);
    c->SetBounds(x, y, w, h);
    c->SetParent(this);
    return c;
  }
};

// The screen point at the middle of a list box's item.
TPoint ItemPoint(TkxSkinCustomListBox* L, int32_t I) {
  const TRect r = L->ItemRect(I);
  return L->ListBox->ClientToScreen(TPoint{r.left + 40, (r.top + r.bottom) / 2});
}

TEST(FileCtrlsOnX11, ModalFormOpensAFolderPicksAFileAndReturnsItsPath) {
  if (!Backend() || !xpixels::Available()) GTEST_SKIP() << "no X display";
  shelltest::Tree tree;
  ASSERT_FALSE(tree.root.empty());
  const std::string videos = tree.home + "/Videos";
  std::filesystem::create_directories(videos + "/片段");
  for (const char* f : {"/片段/b.mp4", "/片段/视频.mp4", "/a.mp4"}) shelltest::WriteText(videos + f, "x");
  const std::string saved = std::filesystem::current_path().string();
  std::filesystem::current_path(videos);
  backend::Install(Backend());
  {
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* form = new TFileForm(owner.get());
    // The user's steps, each once the one before has shown on the form; a step that never
    // comes true ends the run with Cancel after a while.
    int step = 0, waited = 0;
    std::vector<std::string> failures;
    auto* timer = new TTimer(owner.get());
    timer->SetInterval(50);
    timer->OnTimer = [&](TObject*) {
      if (!form->Visible() || !form->HandleAllocated()) return;
      if (++waited > 200) {
        failures.push_back("stuck at step " + std::to_string(step));
        form->SetModalResult(mrCancel);
        return;
      }
      switch (step) {
        case 0: {  // a double click opens the folder
          const int32_t i = form->Dirs->Items()->IndexOf("片段");
          if (i < 0) return;
          const TPoint p = ItemPoint(form->Dirs, i);
          if (!xpixels::ClickAt(p.x, p.y, 2)) {
            failures.push_back("no XTest");
            form->SetModalResult(mrCancel);
            return;
          }
          ++step;
          break;
        }
        case 1: {  // the file list follows; a click picks the second file
          if (form->Files->Directory() != videos + "/片段" || form->Files->Items()->Count() != 2) return;
          const TPoint p = ItemPoint(form->Files, 1);
          xpixels::ClickAt(p.x, p.y);
          ++step;
          break;
        }
        case 2: {  // OK
          if (form->Files->FileName().empty()) return;
          const TPoint p = form->Ok->ClientToScreen(TPoint{40, 14});
          xpixels::ClickAt(p.x, p.y);
          ++step;
          break;
        }
        default: break;
      }
      waited = 0;
    };
    timer->SetEnabled(true);
    const std::string chosen = form->Execute();
    timer->SetEnabled(false);
    EXPECT_TRUE(failures.empty()) << failures.front();
    EXPECT_EQ(3, step);
    EXPECT_EQ(videos + "/片段/视频.mp4", chosen);
    owner.reset();
  }
  backend::Install(nullptr);
  std::filesystem::current_path(saved);
}

}  // namespace
