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

#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinEdits.h"
#include "lib/dialogs/kxSelectDirectoryDialog.h"
#include "lib/dialogs/kxSkinShellTree.h"
#include "lib/skin/kxSkinData.h"
#include "platform/backend/headless/Headless.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/dialogs/DialogInput.h"
#include "tests/lib/SkinLint.h"
#include "tests/platform/ShellTestTree.h"

namespace {

using namespace win;
namespace fs = std::filesystem;

using dlgtest::DialogInput;

// The dialog's form, as the script gets it.
TkxSelDirDlgForm& Form(TCustomForm& D) {
  auto* f = dynamic_cast<TkxSelDirDlgForm*>(&D);
  if (!f) throw Exception("not the select-directory form");
  return *f;
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
  DialogInput input;
  input.Then([&](TCustomForm& d) {
    TkxSelDirDlgForm& f = Form(d);
    EXPECT_EQ("Select folder", f.Caption());
    EXPECT_EQ(280, f.ClientWidth());
    EXPECT_EQ(280, f.ClientHeight());
    EXPECT_EQ("OK", f.OkButton->Caption());
    EXPECT_EQ("Cancel", f.CancelButton->Caption());
    EXPECT_EQ(nullptr, f.ToolPanel);
    TTreeNode* sel = f.DirTreeView->Selected();
    ASSERT_NE(sel, nullptr);
    EXPECT_EQ("Computer", sel->Text());
    EXPECT_TRUE(sel->Expanded());
    EXPECT_TRUE(f.DirTreeView->ObjectTypes().Contains(otHidden));
    DialogInput::Key(VK_ESCAPE);
  });
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ("", dlg.Directory);
  EXPECT_EQ(1, shown);
  EXPECT_EQ(1, closed);
  EXPECT_EQ(0, changed);
  EXPECT_EQ(nullptr, dlg.DlgFrm());
}

// The folder the user moves to with the keyboard or picks with the mouse is what Execute returns;
// hidden folders are listed.
TEST_F(SelectDirectoryTest, TheFolderChosenIsReturned) {
  using Input = std::function<void(TkxSelDirDlgForm&)>;
  auto keys = [](std::vector<int> Vks) {
    return Input([Vks](TkxSelDirDlgForm&) {
      for (int k : Vks) DialogInput::Key(k);
    });
  };
  struct Case {
    const char* what;
    std::string start;
    Input input;
    bool ok;
    std::string directory;
  } cases[] = {
      {"OK without moving", videos + "/片段/中文目录", keys({VK_RETURN}), true, videos + "/片段/中文目录"},
      {"up one with the keyboard", videos + "/片段/b", keys({VK_UP, VK_RETURN}), true, videos + "/片段"},
      {"up, up and down again", videos + "/片段", keys({VK_UP, VK_UP, VK_DOWN, VK_RETURN}), true, videos + "/甲"},
      {"a hidden folder", videos + "/甲", keys({VK_UP, VK_RETURN}), true, videos + "/.cache"},
      {"OK clicked", videos + "/片段/中文目录",
       [](TkxSelDirDlgForm& f) {
         DialogInput::Key(VK_UP);
         DialogInput::ClickCentre(f.OkButton);
       },
       true, videos + "/片段/b"},
      {"a node clicked, then Cancel", videos + "/甲",
       [](TkxSelDirDlgForm& f) {
         TTreeNode* up = f.DirTreeView->Selected()->GetPrevVisible();
         const TRect r = up->DisplayRect(true);
         DialogInput::Click(f.DirTreeView, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
         EXPECT_EQ(up, f.DirTreeView->Selected());
         DialogInput::ClickCentre(f.CancelButton);
       },
       false, videos + "/甲"},
      {"a start folder that is gone", videos + "/nowhere", keys({VK_RETURN}), true, "Computer"},
  };
  for (Case& c : cases) {
    TkxSkinSelectDirectoryDialog dlg(nullptr);
    dlg.Directory = c.start;
    DialogInput input;
    input.Then([&](TCustomForm& d) { c.input(Form(d)); });
    EXPECT_EQ(c.ok, dlg.Execute()) << c.what;
    EXPECT_EQ(c.directory, dlg.Directory) << c.what;
  }
}

TEST_F(SelectDirectoryTest, TheSizeTheUserLeftIsKeptAfterCancel) {
  TkxSkinSelectDirectoryDialog dlg(nullptr);
  int w = 0, h = 0;
  DialogInput input;
  input
      .Then([](TCustomForm& d) {
        d.SetClientWidth(400);
        d.SetClientHeight(330);
        DialogInput::Key(VK_ESCAPE);
      })
      .Then([&](TCustomForm& d) {
        w = d.ClientWidth();
        h = d.ClientHeight();
        DialogInput::Key(VK_ESCAPE);
      });
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(400, dlg.DialogWidth);
  EXPECT_EQ(330, dlg.DialogHeight);
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(400, w);
  EXPECT_EQ(330, h);
}

// The new-folder button creates "New Folder" in the selected file-system folder and shows it
// under its node; a second click, the desktop and Computer change nothing.
TEST_F(SelectDirectoryTest, NewFolderActsOnlyInAFileSystemFolder) {
  struct Case {
    const char* what;
    std::vector<int> keys;  // before the two clicks
    bool created;
  } cases[] = {
      {"a folder", {}, true},
      {"the desktop", {VK_HOME}, false},
      {"Computer", {VK_HOME, VK_DOWN}, false},
  };
  for (const Case& c : cases) {
    fs::remove_all(videos + "/片段/New Folder");
    TkxSkinSelectDirectoryDialog dlg(nullptr);
    dlg.ShowToolBar = true;
    dlg.Directory = videos + "/片段";
    std::vector<std::string> children;
    std::string selected;
    DialogInput input;
    input.Then([&](TCustomForm& d) {
      TkxSelDirDlgForm& f = Form(d);
      for (int k : c.keys) DialogInput::Key(k);
      DialogInput::ClickCentre(f.NewFolderToolButton);
      DialogInput::ClickCentre(f.NewFolderToolButton);
      selected = f.DirTreeView->Path();
      for (TTreeNode* n = f.DirTreeView->Selected()->GetFirstChild(); n; n = n->GetNextSibling())
        children.push_back(n->Text());
      DialogInput::Key(VK_ESCAPE);
    });
    EXPECT_FALSE(dlg.Execute());
    EXPECT_EQ(c.created, fs::is_directory(videos + "/片段/New Folder")) << c.what;
    if (c.created) {
      // The folder shows under its node, which stays selected.
      EXPECT_EQ(videos + "/片段", selected);
      EXPECT_EQ((std::vector<std::string>{"b", "New Folder", "中文目录"}), children);
    }
  }
}

TEST_F(SelectDirectoryTest, ThePathEditSelectsAnExistingFolderOnEnter) {
  TkxSkinSelectDirectoryDialog dlg(nullptr);
  dlg.ShowToolBar = true;
  dlg.Directory = videos + "/甲";
  std::string first, afterMissing, afterGood, edit;
  DialogInput input;
  input.Then([&](TCustomForm& d) {
    TkxSelDirDlgForm& f = Form(d);
    first = f.DirEdit->Text();
    auto type = [&](const std::string& Text) {
      f.DirEdit->SetFocus();
      f.DirEdit->SetText("");
      DialogInput::Type(Text);
      DialogInput::Key(VK_RETURN);
    };
    type(videos + "/missing");
    afterMissing = f.DirTreeView->Path();
    type(videos + "/片段/中文目录/");
    afterGood = f.DirTreeView->Path();
    edit = f.DirEdit->Text();
    DialogInput::Key(VK_ESCAPE);
  });
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(videos + "/甲", first);
  EXPECT_EQ(videos + "/甲", afterMissing);
  EXPECT_EQ(videos + "/片段/中文目录", afterGood);
  // The edit follows the tree: the parsing name replaces what was typed.
  EXPECT_EQ(videos + "/片段/中文目录", edit);
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
    DialogInput input;
    input.Then([&](TCustomForm& d) {
      RedrawWindow(d.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      DialogInput::Pump();
      EXPECT_EQ(videos + "/片段/中文目录", Form(d).DirTreeView->Path());
      saved = headless::SaveScreenPng((dir / name).string());
      DialogInput::Key(VK_ESCAPE);
    });
    dlg.Execute();
    EXPECT_TRUE(saved) << name;
  }
}

}  // namespace
