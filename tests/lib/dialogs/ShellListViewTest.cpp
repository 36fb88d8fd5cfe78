// The shell file list view and the look-in box over a temporary tree with a fake home and mount
// table, driven by injected keys and clicks: masks and fill order, header sorts (with sparse files
// of 1 and 5 GiB), type-ahead, hidden and non-UTF-8 names, folders that vanish, rows made only
// when shown, the look-in box's items per root, its chain and its choice, and pictures of both.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <filesystem>

#include "classlib/Graphics.h"
#include "lib/dialogs/kxSkinLookInBox.h"
#include "lib/dialogs/kxSkinShellList.h"
#include "lib/skin/kxSkinData.h"
#include "platform/backend/headless/Headless.h"
#include "platform/shell/Shell.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"
#include "tests/platform/ShellTestTree.h"

namespace {

using namespace win;
namespace fs = std::filesystem;
using shelltest::WriteText;

// A file of Size bytes that takes no room on the disk.
bool MakeSparse(const std::string& path, off_t size) {
  const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
  if (fd < 0) return false;
  const bool ok = ftruncate(fd, size) == 0;
  close(fd);
  return ok;
}

void SetMTime(const std::string& path, time_t t) {
  timeval tv[2] = {{t, 0}, {t, 0}};
  utimes(path.c_str(), tv);
}

PItemIDList Parse(const std::string& path) {
  PItemIDList list = nullptr;
  DesktopShellFolder()->ParseDisplayName(nullptr, path, nullptr, &list, nullptr);
  return list;
}

class ShellListTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    ASSERT_FALSE(tree.root.empty());
    dir = tree.home + "/Videos/list";
    for (const char* d : {"sub", "中文", "Beta", ".cache", "sub/deep/deeper"}) fs::create_directories(dir + "/" + d);
    for (const char* f : {"Clip.AVI", "movie.mp4", "notes.txt", "README", "视频.mp4", "北京.avi", "中国.MP4", "2.mp4",
                          "10.mp4", ".hidden.avi", "noext"})
      WriteText(dir + "/" + f, "x");
  }

  std::vector<std::string> Names() {
    std::vector<std::string> v;
    for (int32_t i = 0; i < list->FolderCount(); ++i) v.push_back(list->ItemName(i));
    return v;
  }

  // The list on a shown form, in the folder Path.
  void MakeList(const std::string& path, int w = 400, int h = 300) {
    form = NewForm(0, 0, w + 20, h + 20);
    list = Make<TkxSkinFileListView>(form, "list", 10, 10, w, h);
    list->SetRoot(path);
    form->Show();
    Pump();
  }

  shelltest::Tree tree;
  std::string dir;
  TForm* form = nullptr;
  TkxSkinFileListView* list = nullptr;
};

// ---- masks and the fill ---------------------------------------------------------------------

TEST(ShellMask, TokensNeedADotExceptTheLoneStar) {
  struct Case {
    const char* mask;
    const char* name;
    bool accepted;
  } cases[] = {
      {"*.*|*.*", "a.mp4", true},       {"*.*|*.*", "README", false},   {"*.*", ".hidden", true},
      {"*", "README", true},            {"", "a.mp4", false},           {"readme", "readme", false},
      {"*.avi;*.mp4", "X.MP4", true},   {"*.avi;*.mp4", "x.mkv", false}, {"*.avi|", "a.avi", true},
      {";*.avi", "a.avi", true},        {"?.mp4", "2.mp4", true},       {"?.mp4", "10.mp4", false},
      {"?.mp4", "视.mp4", true},         {"[0-9]*.mp4", "10.mp4", true},  {"[!0-9]*.mp4", "10.mp4", false},
      {"[ab].txt", "B.txt", true},      {"a[.txt", "a[.txt", true},     {"*.mp4", "bad\xff.mp4", true},
      {"*.tar.gz", "x.TAR.GZ", true},   {"*.", "x", false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.accepted, ShellMaskAccepts(c.mask, c.name)) << c.mask << " / " << c.name;
}

TEST_F(ShellListTest, FoldersFirstThenTheFilesTheMaskAccepts) {
  MakeList(dir);
  const std::vector<std::string> folders = {"Beta", "sub", "中文"};
  auto with = [&](std::vector<std::string> files) {
    std::vector<std::string> v = folders;
    v.insert(v.end(), files.begin(), files.end());
    return v;
  };
  struct Case {
    const char* mask;
    std::vector<std::string> names;
  } cases[] = {
      {"*.*|*.*", with({"2.mp4", "10.mp4", "Clip.AVI", "movie.mp4", "notes.txt", "北京.avi", "视频.mp4", "中国.MP4"})},
      {"*.avi;*.mp4", with({"2.mp4", "10.mp4", "Clip.AVI", "movie.mp4", "北京.avi", "视频.mp4", "中国.MP4"})},
      {"", folders},
      {"readme", folders},
      {"*", with({"2.mp4", "10.mp4", "Clip.AVI", "movie.mp4", "noext", "notes.txt", "README", "北京.avi", "视频.mp4",
                  "中国.MP4"})},
      {"?.mp4", with({"2.mp4"})},
  };
  for (const Case& c : cases) {
    list->SetMask(c.mask);
    EXPECT_EQ(c.names, Names()) << "mask " << c.mask;
    EXPECT_EQ(list->FolderCount(), list->Items()->Count());
  }
  // Hidden names show only when asked for.
  list->SetMask("*");
  list->SetObjectTypes({otFolders, otNonFolders, otHidden});
  std::vector<std::string> names = Names();
  EXPECT_EQ(".cache", names[0]);
  EXPECT_NE(names.end(), std::find(names.begin(), names.end(), ".hidden.avi"));
  list->SetObjectTypes({otFolders});
  EXPECT_EQ(folders, Names());
}

TEST_F(ShellListTest, OnAddFolderOverridesTheMask) {
  form = NewForm(0, 0, 300, 300);
  list = Make<TkxSkinFileListView>(form, "list", 10, 10, 280, 280);
  list->OnAddFolder = [](TObject*, TkxShellFolder* f, bool& canAdd) {
    if (f->DisplayName() == "sub") canAdd = false;
    if (f->DisplayName() == "README") canAdd = true;
  };
  list->SetMask("*.txt");
  list->SetRoot(dir);
  EXPECT_EQ((std::vector<std::string>{"Beta", "中文", "notes.txt", "README"}), Names());
}

// A name that is not UTF-8 is shown and returned with its own bytes, and the path names the file.
TEST_F(ShellListTest, NamesThatAreNotUtf8KeepTheirBytes) {
  const std::string bad = "bad\xff\xfe-\xe4\xb8.mp4";
  WriteText(dir + "/" + bad, "x");
  MakeList(dir);
  list->SetFocus();
  const std::vector<std::string> names = Names();
  const auto it = std::find(names.begin(), names.end(), bad);
  ASSERT_NE(names.end(), it);
  list->SetItemIndex(int32_t(it - names.begin()));
  const std::string path = list->GetSelectedFile();
  EXPECT_EQ(dir + "/" + bad, path);
  struct stat st {};
  EXPECT_EQ(0, stat(path.c_str(), &st));
  TStringList files;
  list->GetSelectedFiles(&files);
  ASSERT_EQ(1, files.Count());
  EXPECT_EQ(path, files.Get(0));
}

// Only the rows on screen get their shell items, icons and details.
TEST_F(ShellListTest, ATenThousandFileFolderMakesOnlyTheShownRows) {
  const std::string big = tree.root + "/big";
  fs::create_directories(big);
  for (int i = 0; i < 2000; ++i) WriteText(big + "/clip" + std::to_string(i) + ".mp4", "");
  MakeList(big, 300, 200);
  for (TViewStyle style : {vsList, vsReport}) {
    list->SetViewStyle(style);
    Pump();
    ASSERT_EQ(2000, list->FolderCount());
    EXPECT_GT(list->MadeItemCount(), 0) << style;
    EXPECT_LT(list->MadeItemCount(), 200) << style;
  }
  // The name order counts digits by value.
  EXPECT_EQ("clip0.mp4", list->ItemName(0));
  EXPECT_EQ("clip2.mp4", list->ItemName(2));
  EXPECT_EQ("clip10.mp4", list->ItemName(10));
}

// ---- header sorts ---------------------------------------------------------------------------

class ShellSortTest : public ShellListTest {
protected:
  void SetUp() override {
    ShellListTest::SetUp();
    sorted = tree.root + "/sorted";
    fs::create_directories(sorted + "/folder-b");
    fs::create_directories(sorted + "/folder-a");
    ASSERT_TRUE(MakeSparse(sorted + "/big.mkv", off_t(5) << 30));
    ASSERT_TRUE(MakeSparse(sorted + "/medium.avi", off_t(1) << 30));
    WriteText(sorted + "/small.mp4", "0123456789");
    SetMTime(sorted + "/big.mkv", 1700000000);
    SetMTime(sorted + "/medium.avi", 1600000000);
    SetMTime(sorted + "/small.mp4", 1650000000);
    SetMTime(sorted + "/folder-a", 1690000000);
    SetMTime(sorted + "/folder-b", 1680000000);
    MakeList(sorted, 600, 200);
    list->SetViewStyle(vsReport);
    Pump();
  }
  // Clicks the header of a column where the user would.
  void ClickHeader(int32_t column) {
    int32_t x = 0;
    for (int32_t c = 0; c < column; ++c) x += list->Column(c)->Width();
    clock.Advance(2000);  // two clicks, not a double click
    ClickAt(list, x + 8, list->HeaderHeight() / 2);
  }
  std::string sorted;
};

TEST_F(ShellSortTest, ClicksOnTheHeaderSortAndTurnTheOrder) {
  ASSERT_EQ(4, list->Columns()->Count());
  EXPECT_EQ((std::vector<std::string>{"folder-a", "folder-b", "big.mkv", "medium.avi", "small.mp4"}), Names());
  struct Step {
    int32_t column;
    std::vector<std::string> names;
  } steps[] = {
      {0, {"folder-a", "folder-b", "big.mkv", "medium.avi", "small.mp4"}},
      {0, {"small.mp4", "medium.avi", "big.mkv", "folder-b", "folder-a"}},  // descending: folders last
      {1, {"folder-a", "folder-b", "small.mp4", "medium.avi", "big.mkv"}},  // a new column starts ascending
      {1, {"big.mkv", "medium.avi", "small.mp4", "folder-b", "folder-a"}},
      {3, {"folder-b", "folder-a", "medium.avi", "small.mp4", "big.mkv"}},
      {2, {"folder-a", "folder-b", "medium.avi", "big.mkv", "small.mp4"}},  // by type text
  };
  for (const Step& s : steps) {
    ClickHeader(s.column);
    EXPECT_EQ(s.names, Names()) << "column " << s.column;
  }
  // The next fill is the base order again; the column and direction are kept.
  list->Refresh();
  EXPECT_EQ((std::vector<std::string>{"folder-a", "folder-b", "big.mkv", "medium.avi", "small.mp4"}), Names());
  EXPECT_EQ(2, list->SortColumn());
  // The rows show the details of the sizes.
  list->SetItemIndex(2);
  TListItem* it = list->Items()->Item(2);
  ASSERT_GE(it->SubItems()->Count(), 1);
  EXPECT_FALSE(it->SubItems()->Get(0).empty());
}

// A file removed between the listing and the click sorts as the smallest and oldest, without an
// error; a list of fewer than four columns sorts by name only.
TEST_F(ShellSortTest, AFileGoneBeforeTheSortIsNoError) {
  fs::remove(sorted + "/medium.avi");
  EXPECT_NO_THROW(ClickHeader(1));
  EXPECT_EQ((std::vector<std::string>{"folder-a", "folder-b", "medium.avi", "small.mp4", "big.mkv"}), Names());
  EXPECT_NO_THROW(ClickHeader(3));
  EXPECT_EQ("medium.avi", Names()[2]);
  Pump();  // its row paints without its details

  list->Columns()->Delete(3);
  ASSERT_EQ(3, list->Columns()->Count());
  const std::vector<std::string> before = Names();
  list->ColumnClicked(1);
  list->ColumnClicked(2);
  EXPECT_EQ(before, Names());
  list->ColumnClicked(0);
  EXPECT_EQ((std::vector<std::string>{"folder-a", "folder-b", "big.mkv", "medium.avi", "small.mp4"}), Names());
}

// ---- type-ahead -----------------------------------------------------------------------------

TEST_F(ShellListTest, TypeAheadFoldsAsciiLettersOnly) {
  const std::string ta = tree.root + "/ta";
  fs::create_directories(ta);
  for (const char* f : {"alpha.x", "Beta.x", "beta2.x", "gamma.x", "ÄRGER.x", "äpfel.x", "zeta.x", "zz-ALPINE.x"})
    WriteText(ta + "/" + f, "");
  MakeList(ta);
  ASSERT_EQ(8, list->FolderCount());
  const std::vector<std::string> names = Names();
  auto at = [&](const std::string& name) { return int32_t(std::find(names.begin(), names.end(), name) - names.begin()); };
  struct Case {
    const char* text;
    const char* from;  // the start row's name
    bool wrap;
    const char* found;  // "" for none
  } cases[] = {
      {"be", "alpha.x", true, "Beta.x"}, {"BE", "beta2.x", true, "beta2.x"},  {"be", "gamma.x", true, "Beta.x"},
      {"be", "gamma.x", false, ""},      {"AL", "Beta.x", true, "alpha.x"},   {"zz-a", "alpha.x", true, "zz-ALPINE.x"},
      {"ä", "alpha.x", true, "äpfel.x"}, {"Ä", "alpha.x", true, "ÄRGER.x"},   {"äP", "alpha.x", true, "äpfel.x"},
      {"q", "alpha.x", true, ""},
  };
  for (const Case& c : cases) {
    const int32_t want = *c.found ? at(c.found) : -1;
    EXPECT_EQ(want, list->FindItem(ifPartialString, c.text, at(c.from), c.wrap)) << c.text << " from " << c.from;
  }
  EXPECT_EQ(-1, list->FindItem(ifPartialString, "a", -1, true));
  EXPECT_EQ(-1, list->FindItem(ifPartialString, "a", 99, true));
  EXPECT_EQ(-1, list->FindItem(ifData, "a", 0, true));
  // Typed into the list: the first match after the focused row.
  list->SetFocus();
  headless::TypeChar('G');
  Pump();
  EXPECT_EQ(at("gamma.x"), list->ItemIndex());
}

// ---- navigation -----------------------------------------------------------------------------

TEST_F(ShellListTest, KeysAndDoubleClicksMoveBetweenFolders) {
  MakeList(dir);
  int changed = 0;
  list->OnPathChanged = [&](TObject*) { ++changed; };
  list->SetFocus();
  list->SetItemIndex(1);  // sub
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(dir + "/sub", list->Path());
  EXPECT_EQ(1, changed);
  EXPECT_EQ((std::vector<std::string>{"deep"}), Names());
  // Enter on a file does nothing here.
  WriteText(dir + "/sub/f.txt", "x");
  headless::PressKey(VK_F5);
  Pump();
  EXPECT_EQ(2, changed);
  list->SetItemIndex(1);
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(dir + "/sub", list->Path());
  headless::PressKey(VK_BACK);
  Pump();
  EXPECT_EQ(dir, list->Path());
  // A double click on a folder's row opens it.
  const TRect r = list->ItemRect(0, drLabel);
  TPoint p = list->ClientToScreen(TPoint{r.left + 4, (r.top + r.bottom) / 2});
  headless::Click(p.x, p.y);
  headless::Click(p.x, p.y);
  Pump();
  EXPECT_EQ(dir + "/Beta", list->Path());
  // Opening the folder shown changes nothing.
  const int before = changed;
  PItemIDList same = Parse(dir + "/Beta");
  list->OpenFolderID(same);
  ShellFree(same);
  EXPECT_EQ(before, changed);
  // Backspace at the desktop stays there.
  list->SetRoot("rfDesktop");
  headless::PressKey(VK_BACK);
  Pump();
  EXPECT_EQ(0, ItemIDCount(list->RootFolder()->AbsoluteID()));
  EXPECT_GE(list->FolderCount(), 3);
}

// A folder removed while shown lists nothing on F5, never the desktop's entries; Backspace then
// still goes to its parent.
TEST_F(ShellListTest, AVanishedFolderGivesAnEmptyList) {
  MakeList(dir + "/sub/deep");
  ASSERT_EQ((std::vector<std::string>{"deeper"}), Names());
  fs::remove_all(dir + "/sub");
  list->SetFocus();
  headless::PressKey(VK_F5);
  Pump();
  EXPECT_EQ(0, list->FolderCount());
  EXPECT_EQ(0, list->Items()->Count());
  EXPECT_EQ(dir + "/sub/deep", list->Path());
  headless::PressKey(VK_BACK);
  Pump();
  EXPECT_EQ(0, list->FolderCount());
  headless::PressKey(VK_BACK);
  Pump();
  EXPECT_EQ(dir, list->Path());
  EXPECT_EQ("Beta", list->ItemName(0));
}

TEST_F(ShellListTest, RefreshKeepsThePositionWhileItExists) {
  MakeList(dir);
  const int32_t last = list->FolderCount() - 1;
  list->SetItemIndex(last);
  list->Refresh();
  EXPECT_EQ(last, list->ItemIndex());
  fs::remove(dir + "/notes.txt");
  list->Refresh();
  EXPECT_EQ(-1, list->ItemIndex());
  // Root names in any case are one root; a path in another case is another folder.
  list->SetRoot("rfDesktop");
  int changed = 0;
  list->OnPathChanged = [&](TObject*) { ++changed; };
  list->SetRoot("RFDESKTOP");
  EXPECT_EQ("rfDesktop", list->Root());
  EXPECT_THROW(list->SetPath(dir + "/no-such-folder"), EInvalidPath);
  EXPECT_EQ(0, ItemIDCount(list->RootFolder()->AbsoluteID()));
}

// The "open" verb runs from the object's folder and the process's folder comes back after it,
// whether the verb worked or not.
TEST_F(ShellListTest, TheOpenVerbPutsTheFolderBack) {
  MakeList(dir);
  const std::string saved = fs::current_path().string();
  list->SetItemIndex(list->FolderCount() - 1);
  for (bool ok : {true, false}) {
    bool handled = false;
    list->ExecuteCommand("OPEN", handled);
    EXPECT_FALSE(handled);
    EXPECT_EQ(dir, fs::current_path().string());
    list->CommandCompleted("open", ok);
    EXPECT_EQ(saved, fs::current_path().string()) << ok;
  }
}

// ---- the look-in box ------------------------------------------------------------------------

class LookInTest : public ShellListTest {
protected:
  void MakeBox() {
    form = NewForm(0, 0, 420, 400);
    box = Make<TkxSkinShellComboBox>(form, "box", 10, 10, 300, 22);
    list = Make<TkxSkinFileListView>(form, "list", 10, 40, 400, 300);
    form->Show();
    Pump();
  }
  std::vector<std::string> BoxItems() {
    std::vector<std::string> v;
    for (int32_t i = 0; i < box->ItemsEx()->Count(); ++i) {
      const TkxItemEx* it = box->ItemsEx()->Items(i);
      v.push_back(std::to_string(it->Indent) + " " + it->Caption);
    }
    return v;
  }
  TkxSkinShellComboBox* box = nullptr;
};

TEST_F(LookInTest, ItemsPerRoot) {
  MakeBox();
  const std::vector<std::string> desktop = {"0 Desktop", "1 Computer", "2 /", "2 MY STICK", "2 cd", "2 share",
                                            "2 ram",     "1 Home",     "1 桌面", "1 文档",      "1 Videos"};
  struct Case {
    std::string root;
    std::vector<std::string> items;
  } cases[] = {
      {"rfDesktop", desktop},
      // Another letter case resolves to the desktop too, but Computer stays closed.
      {"RFDESKTOP", {"0 Desktop", "1 Computer", "1 Home", "1 桌面", "1 文档", "1 Videos"}},
      {tree.home + "/Videos", {"0 Videos", "1 list"}},
  };
  for (const Case& c : cases) {
    box->SetRoot(tree.home);  // from elsewhere, so that each root is a change
    box->SetRoot(c.root);
    EXPECT_EQ(c.items, BoxItems()) << c.root;
    EXPECT_EQ(0, box->ItemIndex()) << c.root;
    EXPECT_EQ(box->ItemsEx()->Count(), box->Items()->Count());
  }
  // The same root in another case changes nothing.
  box->SetRoot("rfDesktop");
  const std::vector<std::string> before = BoxItems();
  box->SetRoot("RFDesktop");
  EXPECT_EQ(before, BoxItems());
  EXPECT_EQ("rfDesktop", box->Root());
  // Past the end is the last item; negative is none.
  EXPECT_EQ(box->ItemsEx()->Items(box->ItemsEx()->Count() - 1)->Data.get(), box->FolderAt(9999));
  EXPECT_EQ(nullptr, box->FolderAt(-1));
  EXPECT_THROW(box->SetPath(tree.root + "/nothing"), EInvalidPath);
  EXPECT_EQ(before, BoxItems());
}

// The list tells the box where it is: the chain below the stick's item, three levels deeper; a
// folder outside the root leaves the root selected.
TEST_F(LookInTest, TheChainFollowsTheList) {
  const std::string usb = tree.root + "/media/usb";
  fs::create_directories(usb + "/a/b/c");
  MakeBox();
  list->SetShellComboBox(box);
  list->SetPath(usb + "/a/b/c");
  const int32_t i = box->ItemIndex();
  ASSERT_GE(i, 3);
  std::vector<std::string> items = BoxItems();
  EXPECT_EQ("5 c", items[size_t(i)]);
  EXPECT_EQ("4 b", items[size_t(i - 1)]);
  EXPECT_EQ("3 a", items[size_t(i - 2)]);
  EXPECT_EQ("2 MY STICK", items[size_t(i - 3)]);
  EXPECT_EQ(usb + "/a/b/c", box->Path());
  // Another folder drops the old chain.
  list->SetPath(tree.home + "/Videos");
  items = BoxItems();
  EXPECT_EQ("1 Videos", items[size_t(box->ItemIndex())]);
  EXPECT_EQ(std::find(items.begin(), items.end(), "5 c"), items.end());

  box->SetRoot(tree.home + "/Videos");
  EXPECT_EQ(tree.home + "/Videos", list->Path());
  list->SetPath(usb);
  EXPECT_EQ(0, box->ItemIndex());
  EXPECT_EQ((std::vector<std::string>{"0 Videos", "1 list"}), BoxItems());
}

// Moving through the open drop-down list sends nothing; closing it on a choice moves the list.
TEST_F(LookInTest, NothingIsSentWhileTheListIsOpen) {
  MakeBox();
  list->SetShellComboBox(box);
  list->SetPath(tree.home + "/Videos/list");
  const int32_t at = box->ItemIndex();
  ASSERT_EQ("2 list", BoxItems()[size_t(at)]);
  int changed = 0;
  list->OnPathChanged = [&](TObject*) { ++changed; };
  box->SetFocus();
  ClickAt(box, box->Width() - 8, box->Height() / 2);
  ASSERT_TRUE(box->IsPopupVisible());
  headless::PressKey(VK_UP);
  Pump();
  headless::PressKey(VK_UP);
  Pump();
  EXPECT_EQ(0, changed);
  EXPECT_EQ(tree.home + "/Videos/list", list->Path());
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_FALSE(box->IsPopupVisible());
  EXPECT_EQ(1, changed);
  EXPECT_EQ(box->FolderAt(box->ItemIndex())->PathName(), list->Path());
  // The box keeps its items while it drives the list.
  EXPECT_EQ("2 list", BoxItems()[size_t(at)]);
}

// ---- pictures -------------------------------------------------------------------------------

// The list in details view over Chinese and Latin names, and the look-in box dropped down, in the
// light and dark skins and the plain look, written to dialogs/ in the build folder.
TEST_F(LookInTest, Pictures) {
  headless::SetMonitors({{{0, 0, 1400, 1000}, {0, 0, 1400, 1000}, true}});
  const fs::path out = fs::path(OMBREL_TEST_BUILD_DIR) / "dialogs";
  fs::create_directories(out);
  auto save = [&](const std::string& name, int w, int h) {
    int sw = 0, sh = 0;
    const std::vector<uint32_t> screen = headless::ComposeScreen(&sw, &sh);
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y) {
      auto* row = static_cast<uint8_t*>(b.ScanLine(y));
      for (int x = 0; x < w; ++x) {
        const uint32_t p = screen[size_t(y) * size_t(sw) + size_t(x)];
        row[3 * x] = p & 255, row[3 * x + 1] = (p >> 8) & 255, row[3 * x + 2] = (p >> 16) & 255;
      }
    }
    TPngImage png;
    png.Assign(&b);
    png.SaveToFile((out / name).string());
    EXPECT_TRUE(fs::exists(out / name));
  };
  for (int n : {-1, 0, 1}) {
    std::unique_ptr<TkxSkinData> sd;
    if (n >= 0) {
      sd = std::make_unique<TkxSkinData>(nullptr);
      skinlint::LoadGeneratedSkin(n, *sd);
      ASSERT_FALSE(sd->Empty);
    }
    const std::string look = n < 0 ? "plain" : "kxSkin" + std::to_string(n);
    MakeBox();
    form->SetBounds(0, 0, 620, 360);
    list->SetBounds(10, 40, 600, 300);
    if (sd) {
      form->SetColor(sd->SkinColors()->cBtnFace());
      box->SetSkinData(sd.get());
      list->SetSkinData(sd.get());
    }
    box->ListBox()->SetSkinData(sd.get());
    list->SetShellComboBox(box);
    list->SetViewStyle(vsReport);
    list->SetMask("*");
    list->SetPath(dir);
    list->SetItemIndex(4);
    Pump();
    save("shelllist-" + look + ".png", 620, 360);
    box->SetFocus();
    ClickAt(box, box->Width() - 8, box->Height() / 2);
    ASSERT_TRUE(box->IsPopupVisible());
    save("lookin-" + look + ".png", 620, 360);
    headless::PressKey(VK_ESCAPE);
    Pump();
    owner = std::make_unique<TComponent>(nullptr);
    Pump();
  }
}

}  // namespace
