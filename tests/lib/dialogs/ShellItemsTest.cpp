// Shell items over a temporary tree: item-ID list operations, roots, levels, names, attributes,
// details (also from the file system's own data), rename, and the context menu with a control
// that handles verbs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "classlib/Forms.h"
#include "lib/dialogs/kxSkinShellCtrls.h"
#include "platform/backend/headless/ShellRecorder.h"
#include "platform/shell/Shell.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/platform/ShellTestTree.h"

using namespace win;
using shelltest::ReadText;
using shelltest::WriteText;

namespace {

// A list from identifiers given as payload texts.
PItemIDList Ids(std::initializer_list<std::string> payloads) {
  std::string bytes;
  for (const std::string& p : payloads) {
    size_t cb = p.size() + 2;
    bytes += char(cb & 0xFF);
    bytes += char(cb >> 8);
    bytes += p;
  }
  bytes += std::string(2, '\0');
  return shell::IdListFromBytes(bytes.data(), bytes.size());
}
std::string Bytes(PCItemIDList p, int size = -1) {
  return std::string(reinterpret_cast<const char*>(p), size_t(size < 0 ? ItemIDListSize(p) : size));
}

struct Owned {
  PItemIDList p;
  explicit Owned(PItemIDList q) : p(q) {}
  ~Owned() { ShellFree(p); }
  Owned(const Owned&) = delete;
  operator PItemIDList() const { return p; }
};

TEST(ShellItemIDLists, OperationsOnTheBytes) {
  Owned abc(Ids({"aa", "bbb", "c"})), empty(Ids({}));
  EXPECT_EQ(2, ItemIDListSize(empty));
  EXPECT_EQ(0, ItemIDListSize(nullptr));
  EXPECT_EQ(0, ItemIDCount(empty));
  EXPECT_EQ(3, ItemIDCount(abc));
  EXPECT_EQ(2 + 4 + 5 + 3, ItemIDListSize(abc));
  EXPECT_EQ(Bytes(abc).substr(4), Bytes(NextItemID(abc), ItemIDListSize(abc) - 4));

  Owned copy(ConcatItemIDLists(nullptr, abc)), same(ConcatItemIDLists(empty, abc));
  EXPECT_EQ(Bytes(abc), Bytes(copy));
  EXPECT_NE(abc.p, copy.p);
  EXPECT_EQ(Bytes(abc), Bytes(same));
  Owned joined(ConcatItemIDLists(abc, abc));
  EXPECT_EQ(6, ItemIDCount(joined));

  std::vector<PItemIDList> anc = AncestorIDLists(abc);
  ASSERT_EQ(3u, anc.size());
  EXPECT_EQ(Bytes(empty), Bytes(anc[0]));
  Owned a(Ids({"aa"})), ab(Ids({"aa", "bbb"})), c(Ids({"c"}));
  EXPECT_EQ(Bytes(a), Bytes(anc[1]));
  EXPECT_EQ(Bytes(ab), Bytes(anc[2]));
  FreeIDLists(anc);
  EXPECT_TRUE(anc.empty());
  anc = AncestorIDLists(a);
  ASSERT_EQ(1u, anc.size());
  EXPECT_EQ(0, ItemIDCount(anc[0]));
  FreeIDLists(anc);
  EXPECT_TRUE(AncestorIDLists(empty).empty());

  StripLastItemID(empty);
  EXPECT_EQ(2, ItemIDListSize(empty));
  Owned strip(CopyItemIDList(ab));
  StripLastItemID(strip);
  EXPECT_EQ(Bytes(a), Bytes(strip));
  EXPECT_EQ(0, memcmp(reinterpret_cast<BYTE*>(strip.p) + 6, "bbb", 3));  // left behind the terminator
  StripLastItemID(nullptr);

  Owned last(CopyLastItemID(abc)), lastOfEmpty(CopyLastItemID(empty));
  EXPECT_EQ(Bytes(c), Bytes(last));
  EXPECT_EQ(Bytes(empty), Bytes(lastOfEmpty));
}

TEST(ShellStrRet, AllThreeKindsAndTheQuestionMarkRule) {
  Owned id(Ids({std::string("xxname\0tail", 11)}));
  STRRET s;
  s.uType = STRRET_OFFSET;
  s.uOffset = 4;
  EXPECT_EQ("name", StrRetToText(id, s));
  s.uType = STRRET_CSTR;
  strcpy(s.cStr, "视频");
  EXPECT_EQ("视频", StrRetToText(id, s));
  s.uType = 7;
  EXPECT_EQ("", StrRetToText(id, s));
  s.uType = STRRET_WSTR;
  for (auto [in, out] : std::vector<std::pair<std::string, std::string>>{
           {"?1?2", "12"}, {"?a", "?a"}, {"?", "?"}, {"a?1", "a?1"}, {"", ""}}) {
    s.pOleStr = in;
    EXPECT_EQ(out, StrRetToText(id, s)) << in;
  }
  EXPECT_EQ("parentfolder = nil", ItemDisplayName(nullptr, id, 0));
}

class ShellItems : public ctltest::ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    headless::ResetShellRecorder();
  }
  void TearDown() override {
    headless::ResetShellRecorder();
    ControlTest::TearDown();
  }
  std::unique_ptr<TkxShellFolder> Root(const std::string& text) {
    std::unique_ptr<TkxShellFolder> none;
    std::string t = text;
    return CreateRootFolder(none, "", t);
  }
  // The child of `parent` with this display name, made as the controls make them.
  std::unique_ptr<TkxShellFolder> Child(TkxShellFolder* parent, const std::string& name, uint32_t flags = 0x60) {
    std::unique_ptr<IEnumIDList> e;
    EXPECT_EQ(S_OK, parent->ShellFolder()->EnumObjects(nullptr, flags, &e));
    LPITEMIDLIST p = nullptr;
    ULONG n = 0;
    while (e->Next(1, &p, &n) == S_OK) {
      if (ItemDisplayName(parent->ShellFolder(), p, SHGDN_INFOLDER) == name) {
        auto sf = BindShellFolder(parent->ShellFolder(), p, nullptr);
        auto item = std::make_unique<TkxShellFolder>(parent, p, std::move(sf));
        ShellFree(p);
        return item;
      }
      ShellFree(p);
    }
    ADD_FAILURE() << "no child " << name;
    return nullptr;
  }

  shelltest::Tree tree;
};

TEST_F(ShellItems, RootsByNameAndByPath) {
  EXPECT_EQ(rfMyComputer, RootFolderIndex("rfmycomputer"));
  EXPECT_EQ(rfTemplates, RootFolderIndex("RFTEMPLATES"));
  EXPECT_EQ(-1, RootFolderIndex("/rfDesktop"));
  auto computer = Root("RFMYCOMPUTER");
  EXPECT_EQ("Computer", computer->DisplayName());
  EXPECT_EQ("Computer", computer->PathName());  // its parsing name is a "::{" name
  EXPECT_EQ("", computer->FullObjectName());
  EXPECT_EQ(0, computer->Level());
  EXPECT_EQ(DesktopFolder(), computer->Parent());

  // A failure keeps the old root and puts the caller's text back.
  std::string text;
  try {
    CreateRootFolder(computer, "rfMyComputer", text);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ("Error setting path: \"\"", e.Message);
  }
  EXPECT_EQ("rfMyComputer", text);
  ASSERT_NE(nullptr, computer);
  text = tree.home + "/none";
  EXPECT_THROW(CreateRootFolder(computer, "rfMyComputer", text), Exception);
  text = "rfPrinters";  // no equivalent here
  EXPECT_THROW(CreateRootFolder(computer, "rfMyComputer", text), Exception);
  text = tree.home + "/Videos/";
  auto videos = CreateRootFolder(computer, "rfMyComputer", text);
  EXPECT_EQ(nullptr, computer);
  EXPECT_EQ(tree.home + "/Videos", videos->PathName());
  EXPECT_EQ(tree.home + "/Videos", videos->FullObjectName());
  EXPECT_EQ("Videos", videos->DisplayName());
}

TEST_F(ShellItems, LevelsParentsAndIdentityAcrossRoutes) {
  auto desktopChild = std::make_unique<TkxShellFolder>(DesktopFolder(), Owned(Ids({})), nullptr);
  auto orphan = std::make_unique<TkxShellFolder>(nullptr, Owned(Ids({})), nullptr);
  EXPECT_EQ(0, desktopChild->Level());
  EXPECT_EQ(0, orphan->Level());
  EXPECT_EQ(DesktopFolder(), orphan->Parent());
  EXPECT_EQ(nullptr, DesktopFolder()->Parent());

  auto desktop = Root("rfDesktop");
  auto home = Child(desktop.get(), "Home");
  auto docs = Child(home.get(), "文档");
  EXPECT_EQ(0, desktop->Level());  // a root node: made under the desktop item
  EXPECT_EQ(1, home->Level());
  EXPECT_EQ(2, docs->Level());
  EXPECT_EQ(ItemIDCount(home->AbsoluteID()) + 1, ItemIDCount(docs->AbsoluteID()));
  auto parsed = Root(tree.home + "/文档");
  EXPECT_NE(ItemIDListSize(parsed->AbsoluteID()), ItemIDListSize(docs->AbsoluteID()));
  EXPECT_TRUE(SameItemIDLists(parsed->AbsoluteID(), docs->AbsoluteID()));
  EXPECT_FALSE(SameItemIDLists(home->AbsoluteID(), docs->AbsoluteID()));
  // The desktop's children in shell order, by the order the controls use.
  auto computer = Child(desktop.get(), "Computer");
  EXPECT_LT(CompareChildren(desktop->ShellFolder(), computer->RelativeID(), home->RelativeID()), 0);
  EXPECT_GT(CompareChildren(desktop->ShellFolder(), docs->AbsoluteID(), home->RelativeID()), 0);
}

TEST_F(ShellItems, AFolderThatCannotBeBoundListsNothing) {
  mkdir((tree.home + "/Videos/gone").c_str(), 0755);
  auto gone = Root(tree.home + "/Videos/gone");
  ASSERT_NE(nullptr, gone->ShellFolder());
  PItemIDList abs = CopyItemIDList(gone->AbsoluteID());
  rmdir((tree.home + "/Videos/gone").c_str());
  auto again = CreateFolderFromAbsoluteID(abs);
  ShellFree(abs);
  // Not the desktop's folder: nothing is listed under the removed folder's name.
  EXPECT_EQ(nullptr, again->ShellFolder());
  EXPECT_FALSE(FolderHasSubItems(again->ShellFolder(), 0x60));
  // The empty list is the desktop, with its children.
  Owned empty(Ids({}));
  auto desk = CreateFolderFromAbsoluteID(empty);
  ASSERT_NE(nullptr, desk->ShellFolder());
  EXPECT_TRUE(FolderHasSubItems(desk->ShellFolder(), SHCONTF_FOLDERS));
  EXPECT_FALSE(FolderHasSubItems(desk->ShellFolder(), SHCONTF_NONFOLDERS));
}

TEST_F(ShellItems, AttributesIconsAndTheZipRule) {
  const std::string dir = tree.home + "/文档";
  for (const char* d : {"/a.zip", "/b.ZIP.d", "/plain"}) mkdir((dir + d).c_str(), 0755);
  WriteText(dir + "/film.avi", "x");
  WriteText(dir + "/.secret", "x");
  auto root = Root(dir);
  auto zip = Child(root.get(), "a.zip");
  auto notZip = Child(root.get(), "b.ZIP.d");
  auto film = Child(root.get(), "film.avi");
  auto secret = Child(root.get(), ".secret", 0xE0);
  EXPECT_FALSE(zip->IsFolder());
  EXPECT_TRUE(notZip->IsFolder());
  EXPECT_FALSE(film->IsFolder());
  EXPECT_EQ(nullptr, film->ShellFolder());
  EXPECT_TRUE(film->Capabilities().ContainsAll({fcCanCopy, fcCanDelete, fcCanRename, fcCanMove, fcHasPropSheet}));
  TkxShellFolderProperties p = film->Properties();
  EXPECT_TRUE(p.Contains(fpFileSystem));  // from the query with mask 0
  EXPECT_FALSE(p.Contains(fpCut));
  EXPECT_TRUE(secret->Properties().Contains(fpCut));
  EXPECT_FALSE(root->SubFolders() && false);
  EXPECT_TRUE(Root(tree.home)->SubFolders());
  EXPECT_EQ(siVideo, film->ImageIndex(false));
  EXPECT_EQ(siFolder, notZip->ImageIndex(true));
  EXPECT_EQ(siFolderOpen, SystemImageIndex(notZip->AbsoluteID(), false, true));
  EXPECT_EQ(SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, ObjectTypesToEnumFlags({otFolders, otHidden}));
  EXPECT_EQ(SHCONTF_NONFOLDERS, ObjectTypesToEnumFlags(otNonFolders));
}

TEST_F(ShellItems, ColumnDetailsFromTheProviderAndFromTheFileSystem) {
  const std::string dir = tree.home + "/Videos";
  WriteText(dir + "/small.avi", "12345");
  {
    std::filesystem::resize_file(dir + "/small.avi", 5ull << 30);  // sparse: 5 GiB on no disk
  }
  mkdir((dir + "/folder").c_str(), 0755);
  auto root = Root(dir);
  auto big = Child(root.get(), "small.avi");
  try {
    big->Details(1);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ("small.avi: Missing call to LoadColumnDetails", e.Message);
  }
  big->LoadColumnDetails(root.get(), nullptr, 4);
  EXPECT_EQ("5,242,880 KB", big->Details(1));
  EXPECT_EQ("AVI File", big->Details(2));
  EXPECT_NE(std::string::npos, big->Details(4).find(':'));  // the header sort's date
  EXPECT_EQ("", big->Details(5));                              // not loaded
  EXPECT_EQ(nullptr, root->ShellFolder2());
  EXPECT_NE(nullptr, root->ShellDetails());
  // Asking again for as many columns does nothing; more reloads all.
  std::filesystem::remove(dir + "/small.avi");
  big->LoadColumnDetails(root.get(), nullptr, 4);
  EXPECT_EQ("5,242,880 KB", big->Details(1));
  big->LoadColumnDetails(root.get(), nullptr, 5);
  EXPECT_EQ("", big->Details(1));  // the file is gone: an empty column, no error

  // Without detail interfaces the file system's own data is used.
  WriteText(dir + "/big.avi", "");
  std::filesystem::resize_file(dir + "/big.avi", 5ull << 30);
  auto file = Child(root.get(), "big.avi");
  auto folder = Child(root.get(), "folder");
  auto noDetails = Child(root.get(), "big.avi");  // a file: no folder, so no detail interface
  file->LoadColumnDetails(noDetails.get(), nullptr, 4);
  EXPECT_EQ("5368709120", file->Details(1));
  EXPECT_EQ(".avi", file->Details(2));
  EXPECT_NE(std::string::npos, file->Details(3).find(':'));
  EXPECT_EQ("128", file->Details(4));
  folder->LoadColumnDetails(noDetails.get(), nullptr, 4);
  EXPECT_EQ("-1", folder->Details(1));
  EXPECT_EQ("1899-12-29 00:00:00", folder->Details(3));
  EXPECT_EQ("16", folder->Details(4));
  std::filesystem::remove(dir + "/big.avi");
  auto vanished = Child(root.get(), "folder");
  rmdir((dir + "/folder").c_str());
  try {
    vanished->LoadColumnDetails(noDetails.get(), nullptr, 2);
    ADD_FAILURE() << "no exception";
  } catch (const EInvalidPath& e) {
    EXPECT_EQ("Unable to retrieve folder details for \"folder\". Error code $2", e.Message);
  }
}

TEST_F(ShellItems, RenameKeepsTheListsInStep) {
  const std::string dir = tree.home + "/Videos";
  mkdir((dir + "/inner").c_str(), 0755);
  WriteText(dir + "/inner/old.avi", "data");
  WriteText(dir + "/inner/taken.avi", "other");
  auto desktop = Root("rfDesktop");
  auto home = Child(desktop.get(), "Home");
  auto videos = Child(home.get(), "Videos");
  auto inner = Child(videos.get(), "inner");
  auto file = Child(inner.get(), "old.avi");
  try {
    file->Rename("taken.avi");
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ("Rename to taken.avi failed", e.Message);
  }
  EXPECT_THROW(file->Rename("../escape.avi"), Exception);
  EXPECT_EQ("other", ReadText(dir + "/inner/taken.avi"));
  ASSERT_TRUE(file->Rename("新.avi"));
  EXPECT_EQ("data", ReadText(dir + "/inner/新.avi"));
  EXPECT_EQ("新.avi", file->DisplayName());
  Owned expected(ConcatItemIDLists(inner->AbsoluteID(), file->RelativeID()));
  EXPECT_EQ(Bytes(expected), Bytes(file->AbsoluteID()));
  EXPECT_EQ(dir + "/inner/新.avi", file->FullObjectName());
  // An item that cannot be renamed is refused before the shell is asked.
  auto computer = Child(desktop.get(), "Computer");
  EXPECT_FALSE(computer->Rename("x"));
  EXPECT_FALSE(home->Rename("x"));
}

class VerbForm : public TForm, public IShellVerbHandler {
 public:
  using TForm::TForm;
  void ExecuteCommand(const std::string& Verb, bool& Handled) override {
    log.push_back("execute " + Verb);
    Handled = handle;
  }
  void CommandCompleted(const std::string& Verb, bool Succeeded) override {
    log.push_back("completed " + Verb + (Succeeded ? " ok" : " failed"));
  }
  bool handle = false;
  std::vector<std::string> log;
};

TEST_F(ShellItems, ContextMenuCommandsGoThroughTheControlsVerbHandler) {
  const std::string dir = tree.home + "/Videos";
  WriteText(dir + "/clip.avi", "x");
  auto root = Root(dir);
  auto clip = Child(root.get(), "clip.avi");
  auto* form = new VerbForm(owner.get());
  form->SetBounds(100, 100, 200, 100);
  std::string chosenVerb = "delete";
  std::vector<std::string> captions;
  TPoint where{};
  SetShellMenuTracker([&](TWinControl*, const ShellMenu& menu, TPoint p) -> uint32_t {
    EXPECT_NE(nullptr, ActiveContextMenu);
    where = p;
    captions.clear();
    for (const ShellMenuCommand& c : menu.items) captions.push_back(c.caption);
    for (const ShellMenuCommand& c : menu.items)
      if (c.verb == chosenVerb) return c.id;
    return 0;
  });
  form->handle = true;
  ShowShellContextMenu(form, clip.get(), TPoint{5, 6});
  EXPECT_EQ(nullptr, ActiveContextMenu);
  EXPECT_EQ(form->ClientToScreen(TPoint{5, 6}).x, where.x);
  EXPECT_EQ((std::vector<std::string>{"&Open", "Open Containing &Folder", "Rena&me", "&Delete", "P&roperties"}),
            captions);
  EXPECT_EQ((std::vector<std::string>{"execute delete", "completed delete ok"}), form->log);
  EXPECT_TRUE(std::filesystem::exists(dir + "/clip.avi"));  // handled: the shell did not run it

  form->log.clear();
  form->handle = false;
  chosenVerb = "open";
  ShowShellContextMenu(form, clip.get(), TPoint{0, 0});
  EXPECT_EQ((std::vector<std::string>{"execute open", "completed open ok"}), form->log);
  ASSERT_EQ(1u, headless::Launches().size());
  EXPECT_EQ((std::vector<std::string>{"xdg-open", dir + "/clip.avi"}), headless::Launches()[0]);

  // A failed command is reported as such; no choice runs nothing.
  form->log.clear();
  chosenVerb = "properties";  // no properties box installed
  ShowShellContextMenu(form, clip.get(), TPoint{0, 0});
  EXPECT_EQ((std::vector<std::string>{"execute properties", "completed properties failed"}), form->log);
  form->log.clear();
  chosenVerb = "none";
  ShowShellContextMenu(form, clip.get(), TPoint{0, 0});
  EXPECT_TRUE(form->log.empty());
  ShowShellContextMenu(form, nullptr, TPoint{0, 0});
  SetShellMenuTracker(nullptr);

  // The one-verb path and the default verb.
  shell::ItemInfo shown;
  shell::SetPropertiesHandler([&](const shell::ItemInfo& info) {
    shown = info;
    return true;
  });
  InvokeContextMenuVerb(clip.get(), "properties");
  shell::SetPropertiesHandler(nullptr);
  EXPECT_EQ("clip.avi", shown.name);
  EXPECT_EQ(dir + "/clip.avi", shown.path);
  EXPECT_EQ("1 KB", shown.size);
  EXPECT_EQ(1, clip->ExecuteDefault());
  EXPECT_EQ(2u, headless::Launches().size());
}

}  // namespace
