// The shell folder tree over a temporary tree with a fake home and mount table: the root node,
// paths, the order and the hidden names of the children, the path shown again when the window is
// made anew (and dropped once it no longer parses), Refresh keeping the expansion, the selection
// and the top row, roots, renaming, refusing folders, and the "delete" verb.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/MainThread.h"
#include "lib/dialogs/kxSkinShellTree.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/platform/ShellTestTree.h"

namespace {

using namespace win;
namespace fs = std::filesystem;

std::vector<std::string> ChildTexts(TTreeNode* N) {
  std::vector<std::string> v;
  for (TTreeNode* c = N ? N->GetFirstChild() : nullptr; c; c = c->GetNextSibling()) v.push_back(c->Text());
  return v;
}

TTreeNode* ChildNamed(TTreeNode* N, const std::string& Text) {
  for (TTreeNode* c = N ? N->GetFirstChild() : nullptr; c; c = c->GetNextSibling())
    if (c->Text() == Text) return c;
  return nullptr;
}

// The tree with its end of label editing reachable.
class TestTree : public TkxSkinDirTreeView {
public:
  using TkxSkinDirTreeView::TkxSkinDirTreeView;
  using TkxCustomShellTreeView::Edit;
};

class ShellTreeTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    ASSERT_FALSE(shell.root.empty());
    videos = shell.home + "/Videos";
    for (const char* d : {"10", "2", "b", "A", "中国", "啊", "北京", ".cache", "片段/深/更深", "片段/浅"})
      fs::create_directories(videos + "/" + d);
    shelltest::WriteText(videos + "/movie.mp4", "x");
  }

  TestTree* MakeTree(TShellObjectTypes Types = TShellObjectTypes{otFolders}) {
    form = NewForm(10, 10, 300, 200);
    auto* t = new TestTree(owner.get());
    t->SetBounds(0, 0, 300, 200);
    t->SetObjectTypes(Types);
    t->SetParent(form);
    form->Show();
    Pump();
    return t;
  }

  shelltest::Tree shell;
  std::string videos;
  TForm* form = nullptr;
};

TEST_F(ShellTreeTest, ANewTreeShowsTheDesktopExpandedAndSelected) {
  TkxSkinDirTreeView* t = MakeTree();
  TTreeNode* top = t->Items()->GetFirstNode();
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(nullptr, top->GetNextSibling());
  EXPECT_TRUE(top->Expanded());
  EXPECT_EQ(top, t->Selected());
  // Computer, Home, then the user folders of user-dirs.dirs that exist.
  const std::vector<std::string> kids = ChildTexts(top);
  ASSERT_GE(kids.size(), 2u);
  EXPECT_EQ(kids[1], "Home");
  EXPECT_NE(ChildNamed(top, "Videos"), nullptr);
  EXPECT_NE(ChildNamed(top, "文档"), nullptr);
  // The desktop is no file-system folder: its path is its name.
  EXPECT_EQ(t->Path(), top->Text());
}

TEST_F(ShellTreeTest, PathExpandsTheAncestorsAndSelectsTheFolder) {
  TkxSkinDirTreeView* t = MakeTree();
  const std::string deep = videos + "/片段/深";
  t->SetPath(deep);
  ASSERT_NE(t->Selected(), nullptr);
  EXPECT_EQ("深", t->Selected()->Text());
  EXPECT_EQ(deep, t->Path());
  EXPECT_TRUE(t->Selected()->Expanded());
  for (TTreeNode* p = t->Selected()->Parent(); p; p = p->Parent()) EXPECT_TRUE(p->Expanded()) << p->Text();
  // A trailing "/" names the same folder.
  t->SetPath(videos + "/片段/");
  EXPECT_EQ(videos + "/片段", t->Path());
}

// The children of one folder: numbers by value, Latin letters without case, Chinese by pinyin;
// names beginning with "." only with otHidden; files only with otNonFolders.
TEST_F(ShellTreeTest, ChildrenInTheNameOrderWithHiddenNamesPerObjectTypes) {
  struct Case {
    TShellObjectTypes types;
    std::vector<std::string> children;
  } cases[] = {
      {{otFolders}, {"2", "10", "A", "b", "啊", "北京", "片段", "中国"}},
      {{otFolders, otHidden}, {".cache", "2", "10", "A", "b", "啊", "北京", "片段", "中国"}},
      {{otFolders, otNonFolders}, {"2", "10", "A", "b", "啊", "北京", "片段", "中国", "movie.mp4"}},
  };
  for (const Case& c : cases) {
    TkxSkinDirTreeView* t = MakeTree(c.types);
    t->SetPath(videos);
    EXPECT_EQ(c.children, ChildTexts(t->Selected())) << c.types.Contains(otHidden);
    owner = std::make_unique<TComponent>(nullptr);
  }
}

TEST_F(ShellTreeTest, BadPathRaisesAndLeavesTheTreeAsItWas) {
  TkxSkinDirTreeView* t = MakeTree();
  t->SetPath(videos);
  const size_t before = size_t(t->Items()->Count());
  for (const std::string& bad : {std::string("relative/path"), videos + "/missing", std::string()}) {
    try {
      t->SetPath(bad);
      ADD_FAILURE() << "no error for \"" << bad << "\"";
    } catch (const EInvalidPath& e) {
      EXPECT_EQ("Error setting path: \"" + bad + "\"", e.Message);
    }
    EXPECT_EQ(videos, t->Path());
    EXPECT_EQ(before, size_t(t->Items()->Count()));
  }
}

// The path given last is shown again whenever the window is made anew; a path that failed, or a
// folder gone meanwhile, leaves the root showing and no error out of the window's creation.
TEST_F(ShellTreeTest, PathShownAgainWhenTheWindowIsMadeAnewAndDroppedWhenItFails) {
  const std::string a = videos + "/片段/深", b = videos + "/北京";
  struct Case {
    const char* what;
    std::function<void(TestTree*)> before;
    std::string shown;  // "" for the root selected
  } cases[] = {
      {"the user moved on", [&](TestTree* t) { t->SetPath(a); t->SetPath(b); t->SetSelected(t->Items()->GetFirstNode()); }, b},
      {"a failed path", [&](TestTree* t) {
         t->SetPath(a);
         EXPECT_THROW(t->SetPath(videos + "/nowhere"), EInvalidPath);
       }, ""},
      {"the folder went", [&](TestTree* t) {
         t->SetPath(videos + "/片段/浅");
         fs::remove(videos + "/片段/浅");
       }, ""},
  };
  for (const Case& c : cases) {
    TestTree* t = MakeTree();
    c.before(t);
    // Taken off the form and put back: the window goes and is made anew.
    EXPECT_NO_THROW(t->SetParent(nullptr); EXPECT_FALSE(t->HandleAllocated()); t->SetParent(form);
                    t->HandleNeeded(); Pump();) << c.what;
    ASSERT_NE(t->Selected(), nullptr) << c.what;
    if (c.shown.empty()) {
      EXPECT_EQ(t->Items()->GetFirstNode(), t->Selected()) << c.what;
      EXPECT_EQ("", t->StoredPath()) << c.what;
    } else {
      EXPECT_EQ(c.shown, t->Path()) << c.what;
    }
    owner = std::make_unique<TComponent>(nullptr);
  }
}

TEST_F(ShellTreeTest, RefreshShowsNewFoldersAndKeepsExpansionSelectionAndTopRow) {
  TkxSkinDirTreeView* t = MakeTree();
  t->SetBounds(0, 0, 300, 90);  // a few rows, so the top row can move
  t->SetPath(videos + "/北京");
  t->SetPath(videos + "/片段/深/更深");
  TTreeNode* vids = t->Selected()->Parent()->Parent()->Parent();
  ASSERT_EQ("Videos", vids->Text());
  ASSERT_NE(ChildNamed(vids, "北京"), nullptr);
  ChildNamed(vids, "北京")->Expand(false);
  t->SetTopItem(ChildNamed(vids, "A"));
  Pump();
  ASSERT_EQ("A", t->TopItem()->Text());
  fs::create_directories(videos + "/3");
  fs::remove(videos + "/b");

  t->Refresh(vids);
  vids = nullptr;
  ASSERT_NE(t->Selected(), nullptr);
  EXPECT_EQ(videos + "/片段/深/更深", t->Path());
  TTreeNode* fresh = t->Selected()->Parent()->Parent()->Parent();
  EXPECT_EQ("Videos", fresh->Text());
  EXPECT_TRUE(fresh->Expanded());
  EXPECT_TRUE(ChildNamed(fresh, "片段")->Expanded());
  EXPECT_TRUE(ChildNamed(ChildNamed(fresh, "片段"), "深")->Expanded());
  EXPECT_FALSE(ChildNamed(fresh, "中国")->Expanded());
  EXPECT_EQ((std::vector<std::string>{"2", "3", "10", "A", "啊", "北京", "片段", "中国"}), ChildTexts(fresh));
  EXPECT_EQ("A", t->TopItem()->Text());
  // Only one Videos node in its folder: the old one went.
  int videosNodes = 0;
  for (TTreeNode* n = fresh->Parent()->GetFirstChild(); n; n = n->GetNextSibling()) videosNodes += n->Text() == "Videos";
  EXPECT_EQ(1, videosNodes);
}

TEST_F(ShellTreeTest, AutoRefreshShowsAFolderMadeInTheSelectedOne) {
  TkxSkinDirTreeView* t = MakeTree();
  t->SetAutoRefresh(true);
  t->SetPath(videos + "/片段");
  EXPECT_TRUE(t->Watching());
  fs::create_directories(videos + "/片段/新");
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!ChildNamed(t->Selected(), "新") && std::chrono::steady_clock::now() < limit) {
    CheckSynchronize(50);
    Pump();
  }
  ASSERT_NE(t->Selected(), nullptr);
  EXPECT_EQ(videos + "/片段", t->Path());
  EXPECT_NE(nullptr, ChildNamed(t->Selected(), "新"));
  EXPECT_TRUE(t->Watching());
  t->SetAutoRefresh(false);
  EXPECT_FALSE(t->Watching());
}

TEST_F(ShellTreeTest, RootNamesIgnoreLetterCaseAndABadRootPutsTheOldOneBack) {
  TkxSkinDirTreeView* t = MakeTree();
  TTreeNode* desktop = t->Items()->GetFirstNode();
  t->SetRoot("RFDESKTOP");
  EXPECT_EQ(desktop, t->Items()->GetFirstNode());
  t->SetRoot("rfMyComputer");
  TTreeNode* computer = t->Items()->GetFirstNode();
  ASSERT_NE(computer, nullptr);
  EXPECT_EQ(nullptr, computer->GetNextSibling());
  EXPECT_TRUE(computer->Expanded());
  EXPECT_NE(ChildNamed(computer, "/"), nullptr);
  const std::string computerText = computer->Text();
  try {
    t->SetRoot("rfPrinters");
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ("Error setting path: \"rfPrinters\"", e.Message);
  }
  EXPECT_EQ("rfMyComputer", t->Root());
  ASSERT_NE(t->Items()->GetFirstNode(), nullptr);
  EXPECT_EQ(computerText, t->Items()->GetFirstNode()->Text());
  t->SetRoot(videos);
  EXPECT_EQ((std::vector<std::string>{"2", "10", "A", "b", "啊", "北京", "片段", "中国"}),
            ChildTexts(t->Items()->GetFirstNode()));
}

TEST_F(ShellTreeTest, LabelEditingRenamesAndARefusedNameKeepsTheText) {
  TestTree* t = MakeTree();
  // Names that would leave the folder, and an existing name, which is never overwritten.
  for (const std::string& bad : {std::string("a/b"), std::string(".."), std::string("中国")}) {
    t->SetPath(videos + "/北京");
    TTreeNode* node = t->Selected();
    try {
      t->Edit(node, false, bad);
      ADD_FAILURE() << bad;
    } catch (const Exception& e) {
      EXPECT_EQ("Rename to " + bad + " failed", e.Message);
    }
    EXPECT_EQ("北京", node->Text());
    EXPECT_TRUE(fs::is_directory(videos + "/北京"));
  }
  TTreeNode* vids = t->Selected()->Parent();
  t->Edit(t->Selected(), false, "南京");
  EXPECT_TRUE(fs::is_directory(videos + "/南京"));
  EXPECT_FALSE(fs::exists(videos + "/北京"));
  // The parent was rebuilt: its new node lists the new name, in its place in the order.
  t->SetPath(videos);
  vids = t->Selected();
  EXPECT_EQ((std::vector<std::string>{"2", "10", "A", "b", "啊", "南京", "片段", "中国"}), ChildTexts(vids));
  // Cancelled or emptied: nothing happens.
  t->SetPath(videos + "/南京");
  t->Edit(t->Selected(), true, "x");
  t->Edit(t->Selected(), false, "");
  EXPECT_TRUE(fs::is_directory(videos + "/南京"));
}

TEST_F(ShellTreeTest, AHandlerRefusingEveryFolderLeavesNodesWithoutChildren) {
  form = NewForm(10, 10, 300, 200);
  auto* t = new TkxSkinDirTreeView(owner.get());
  int asked = 0;
  t->OnAddFolder = [&](TObject* Sender, TkxShellFolder* F, bool& CanAdd) {
    EXPECT_EQ(Sender, t);
    EXPECT_NE(F, nullptr);
    ++asked;
    CanAdd = false;
  };
  t->SetBounds(0, 0, 300, 200);
  t->SetParent(form);
  form->Show();
  Pump();
  TTreeNode* top = t->Items()->GetFirstNode();
  ASSERT_NE(top, nullptr);
  EXPECT_GT(asked, 0);
  EXPECT_EQ(0, top->Count());
  EXPECT_FALSE(top->HasChildren());
}

// "delete" removes the node only when its folder has really gone.
TEST_F(ShellTreeTest, DeleteVerbRemovesTheNodeOnlyWhenTheFolderWent) {
  TkxSkinDirTreeView* t = MakeTree();
  struct Case {
    bool removed;
    bool nodeGone;
  } cases[] = {{false, false}, {true, true}};
  for (const Case& c : cases) {
    t->SetPath(videos + "/中国");
    TTreeNode* vids = t->Selected()->Parent();
    if (c.removed) fs::remove(videos + "/中国");
    t->CommandCompleted("DELETE", true);
    EXPECT_EQ(c.nodeGone, ChildNamed(vids, "中国") == nullptr) << c.removed;
  }
}

TEST_F(ShellTreeTest, OpenVerbPutsTheCurrentDirectoryBackEvenWhenItFails) {
  TkxSkinDirTreeView* t = MakeTree();
  const fs::path saved = fs::current_path();
  t->SetPath(videos + "/片段/深");
  for (bool ok : {false, true}) {
    bool handled = false;
    t->ExecuteCommand("open", handled);
    EXPECT_FALSE(handled);
    EXPECT_EQ(fs::path(videos + "/片段"), fs::current_path());
    t->CommandCompleted("open", ok);
    EXPECT_EQ(saved, fs::current_path()) << ok;
  }
}

}  // namespace
