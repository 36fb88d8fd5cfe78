// The select-directory dialog over a temporary tree with a fake home and mount table, driven by
// input played into its modal loop: the first run's look, the folder chosen, Cancel keeping the
// size, the path edit and the new-folder button; and pictures of the dialog with its tool bar in
// the light and dark skins and the plain look, written to dialogs/seldir-*.png in the build
// folder for a person to look at.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinEdits.h"
#include "lib/dialogs/kxSelectDirectoryDialog.h"
#include "lib/dialogs/kxSkinShellTree.h"
#include "lib/skin/kxSkinData.h"
#include "platform/backend/headless/Headless.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"
#include "tests/platform/ShellTestTree.h"

namespace {

using namespace win;
namespace fs = std::filesystem;

// Plays steps into the dialog's modal loop, one per timer tick once the form shows; a step
// answers true when done. A run that does not get through ends with Cancel.
class Steps {
public:
  using Step = std::function<bool(TkxSelDirDlgForm* F)>;
  Steps(TkxSkinSelectDirectoryDialog& D, std::vector<Step> S) : FDialog(D), FSteps(std::move(S)) {
    FTimer.SetInterval(10);
    FTimer.OnTimer = [this](TObject*) { Tick(); };
  }
  bool Done() const { return FAt == FSteps.size(); }
  size_t At() const { return FAt; }

private:
  void Tick() {
    TkxSelDirDlgForm* f = FDialog.DlgFrm();
    if (!f || !f->Visible() || Done()) return;
    if (++FTicks > 300) {
      f->SetModalResult(mrCancel);
      return;
    }
    if (FSteps[FAt](f)) ++FAt;
  }

  TkxSkinSelectDirectoryDialog& FDialog;
  std::vector<Step> FSteps;
  size_t FAt = 0;
  int FTicks = 0;
  TTimer FTimer{nullptr};
};

Steps::Step Key(int Vk) {
  return [Vk](TkxSelDirDlgForm*) {
    headless::PressKey(Vk);
    return true;
  };
}

Steps::Step Click(TControl* (*Which)(TkxSelDirDlgForm*)) {
  return [Which](TkxSelDirDlgForm* F) {
    TControl* c = Which(F);
    const TPoint p = c->ClientToScreen(TPoint{c->Width() / 2, c->Height() / 2});
    headless::Click(p.x, p.y);
    return true;
  };
}

class SelectDirectoryTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    headless::SetMonitors({{{0, 0, 800, 600}, {0, 0, 800, 600}, true}});
    ASSERT_FALSE(shell.root.empty());
    videos = shell.home + "/Videos";
    for (const char* d : {"片段/中文目录", "片段/b", "甲", ".cache"}) fs::create_directories(videos + "/" + d);
  }
  shelltest::Tree shell;
  std::string videos;
};

TEST_F(SelectDirectoryTest, AFreshDialogOpensAtComputerAndCancelLeavesDirectory) {
  TkxSkinSelectDirectoryDialog dlg(nullptr);
  int shown = 0, closed = 0, changed = 0;
  dlg.OnShow = [&](TObject* S) {
    EXPECT_EQ(S, &dlg);
    EXPECT_EQ(nullptr, dlg.DlgFrm());
    ++shown;
  };
  dlg.OnClose = [&](TObject*) {
    EXPECT_NE(nullptr, dlg.DlgFrm());
    ++closed;
  };
  dlg.OnChange = [&](TObject*) { ++changed; };
  Steps steps(dlg, {[&](TkxSelDirDlgForm* f) {
                      EXPECT_EQ("Select folder", f->Caption());
                      EXPECT_EQ(280, f->ClientWidth());
                      EXPECT_EQ(280, f->ClientHeight());
                      EXPECT_EQ("OK", f->OkButton->Caption());
                      EXPECT_EQ("Cancel", f->CancelButton->Caption());
                      EXPECT_EQ(nullptr, f->ToolPanel);
                      TTreeNode* sel = f->DirTreeView->Selected();
                      EXPECT_TRUE(sel && sel->Expanded() && sel->Level() == 1);
                      EXPECT_TRUE(f->DirTreeView->ObjectTypes().Contains(otHidden));
                      return true;
                    },
                    Key(VK_ESCAPE)});
  EXPECT_FALSE(dlg.Execute());
  EXPECT_TRUE(steps.Done());
  EXPECT_EQ("", dlg.Directory);
  EXPECT_EQ(1, shown);
  EXPECT_EQ(1, closed);
  EXPECT_EQ(0, changed);
  EXPECT_EQ(nullptr, dlg.DlgFrm());
}

// The folder the user moves to with the keyboard or picks with the mouse is what Execute returns;
// hidden folders are listed.
TEST_F(SelectDirectoryTest, TheFolderChosenIsReturned) {
  struct Case {
    const char* what;
    std::string start;
    std::vector<Steps::Step> steps;
    bool ok;
    std::string directory;
  } cases[] = {
      {"OK without moving", videos + "/片段/中文目录", {Key(VK_RETURN)}, true, videos + "/片段/中文目录"},
      {"up one with the keyboard", videos + "/片段/b", {Key(VK_UP), Key(VK_RETURN)}, true, videos + "/片段"},
      {"a hidden folder", videos + "/片段", {Key(VK_UP), Key(VK_DOWN), Key(VK_RETURN)}, true, videos + "/.cache"},
      {"OK clicked",
       videos + "/甲",
       {Key(VK_UP), Click([](TkxSelDirDlgForm* f) -> TControl* { return f->OkButton; })},
       true,
       videos + "/片段/中文目录"},
      {"Cancel clicked",
       videos + "/甲",
       {Key(VK_UP), Click([](TkxSelDirDlgForm* f) -> TControl* { return f->CancelButton; })},
       false,
       videos + "/甲"},
      {"a start folder that is gone", videos + "/nowhere", {Key(VK_RETURN)}, true, "Computer"},
  };
  for (Case& c : cases) {
    TkxSkinSelectDirectoryDialog dlg(nullptr);
    dlg.Directory = c.start;
    Steps steps(dlg, c.steps);
    EXPECT_EQ(c.ok, dlg.Execute()) << c.what;
    EXPECT_TRUE(steps.Done()) << c.what << " stuck at " << steps.At();
    EXPECT_EQ(c.directory, dlg.Directory) << c.what;
  }
}

TEST_F(SelectDirectoryTest, TheSizeTheUserLeftIsKeptAfterCancel) {
  TkxSkinSelectDirectoryDialog dlg(nullptr);
  {
    Steps steps(dlg, {[](TkxSelDirDlgForm* f) {
                        f->SetClientWidth(400);
                        f->SetClientHeight(330);
                        return true;
                      },
                      Key(VK_ESCAPE)});
    EXPECT_FALSE(dlg.Execute());
  }
  EXPECT_EQ(400, dlg.DialogWidth);
  EXPECT_EQ(330, dlg.DialogHeight);
  int w = 0, h = 0;
  Steps again(dlg, {[&](TkxSelDirDlgForm* f) {
                      w = f->ClientWidth();
                      h = f->ClientHeight();
                      return true;
                    },
                    Key(VK_ESCAPE)});
  dlg.Execute();
  EXPECT_EQ(400, w);
  EXPECT_EQ(330, h);
}

// The new-folder button creates "New Folder" in the selected file-system folder and shows it
// under its node; a second click, the desktop and Computer change nothing.
TEST_F(SelectDirectoryTest, NewFolderActsOnlyInAFileSystemFolder) {
  auto clickNew = Click([](TkxSelDirDlgForm* f) -> TControl* { return f->NewFolderToolButton; });
  struct Case {
    const char* what;
    std::vector<Steps::Step> before;
    bool created;
  } cases[] = {
      {"a folder", {}, true},
      {"the desktop", {Key(VK_HOME)}, false},
      {"Computer", {Key(VK_HOME), Key(VK_DOWN)}, false},
  };
  for (Case& c : cases) {
    fs::remove_all(videos + "/片段/New Folder");
    TkxSkinSelectDirectoryDialog dlg(nullptr);
    dlg.ShowToolBar = true;
    dlg.Directory = videos + "/片段";
    std::vector<std::string> children;
    std::vector<Steps::Step> s = c.before;
    s.push_back(clickNew);
    s.push_back(clickNew);
    s.push_back([&](TkxSelDirDlgForm* f) {
      for (TTreeNode* n = f->DirTreeView->Selected()->GetFirstChild(); n; n = n->GetNextSibling())
        children.push_back(n->Text());
      return true;
    });
    s.push_back(Key(VK_ESCAPE));
    Steps steps(dlg, s);
    EXPECT_FALSE(dlg.Execute());
    EXPECT_TRUE(steps.Done()) << c.what;
    EXPECT_EQ(c.created, fs::is_directory(videos + "/片段/New Folder")) << c.what;
    if (c.created) {
      EXPECT_EQ((std::vector<std::string>{"b", "New Folder", "中文目录"}), children);
    }
  }
}

TEST_F(SelectDirectoryTest, ThePathEditSelectsAnExistingFolderOnEnter) {
  TkxSkinSelectDirectoryDialog dlg(nullptr);
  dlg.ShowToolBar = true;
  dlg.Directory = videos + "/甲";
  auto type = [](std::string Text) {
    return [Text](TkxSelDirDlgForm* f) {
      f->DirEdit->SetFocus();
      f->DirEdit->SetText(Text);
      f->DirEdit->SelectAll();
      headless::PressKey(VK_END);
      headless::TypeChar(13);
      return true;
    };
  };
  std::string afterMissing, afterGood, edit;
  Steps steps(dlg, {[&](TkxSelDirDlgForm* f) {
                      edit = f->DirEdit->Text();
                      return true;
                    },
                    type(videos + "/missing"),
                    [&](TkxSelDirDlgForm* f) {
                      afterMissing = f->DirTreeView->Path();
                      return true;
                    },
                    type(videos + "/片段/中文目录/"),
                    [&](TkxSelDirDlgForm* f) {
                      afterGood = f->DirTreeView->Path();
                      edit = f->DirEdit->Text() + "|" + edit;
                      return true;
                    },
                    Key(VK_ESCAPE)});
  dlg.Execute();
  EXPECT_TRUE(steps.Done());
  EXPECT_EQ(videos + "/甲", afterMissing);
  EXPECT_EQ(videos + "/片段/中文目录", afterGood);
  // The edit follows the tree: the parsing name replaces what was typed.
  EXPECT_EQ(videos + "/片段/中文目录|" + videos + "/甲", edit);
}

TEST_F(SelectDirectoryTest, PicturesWithTheToolBarOpenDownToAChineseFolder) {
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "dialogs";
  fs::create_directories(dir);
  for (int n : {-1, 0, 1}) {
    std::unique_ptr<TkxSkinData> sd;
    if (n >= 0) {
      sd = std::make_unique<TkxSkinData>(nullptr);
      skinlint::LoadGeneratedSkin(n, *sd);
      ASSERT_FALSE(sd->Empty);
    }
    const std::string name = n < 0 ? std::string("seldir-plain.png") : "seldir-kxSkin" + std::to_string(n) + ".png";
    TkxSkinSelectDirectoryDialog dlg(nullptr);
    dlg.SetSkinData(sd.get());
    dlg.SetCtrlSkinData(sd.get());
    dlg.ShowToolBar = true;
    dlg.ToolButtonsTransparent = true;
    dlg.DialogWidth = 360;
    dlg.DialogHeight = 400;
    dlg.SetTitle("选择目录");
    dlg.Directory = videos + "/片段/中文目录";
    bool saved = false;
    Steps steps(dlg, {[&](TkxSelDirDlgForm* f) {
                        RedrawWindow(f->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                        Pump();
                        saved = headless::SaveScreenPng((dir / name).string());
                        return true;
                      },
                      Key(VK_ESCAPE)});
    dlg.Execute();
    EXPECT_TRUE(saved) << name;
  }
}

}  // namespace
