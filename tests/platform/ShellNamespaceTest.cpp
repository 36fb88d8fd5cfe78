// The shell namespace over a temporary tree: volumes from the mount table, XDG user folders,
// parsing, enumeration, order and identity, attributes, names, rename, details, the trash, names
// that are not UTF-8, icons.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "platform/shell/Environment.h"
#include "platform/shell/Shell.h"
#include "platform/shell/ShellApi.h"
#include "tests/platform/ShellTestTree.h"

using namespace win;
using namespace win::shell;
using shelltest::ReadText;
using shelltest::WriteText;

namespace {

struct Pidl {
  LPITEMIDLIST p = nullptr;
  Pidl() = default;
  explicit Pidl(LPITEMIDLIST q) : p(q) {}
  ~Pidl() { CoTaskMemFree(p); }
  Pidl(Pidl&& o) noexcept : p(o.p) { o.p = nullptr; }
  Pidl(const Pidl&) = delete;
  Pidl& operator=(const Pidl&) = delete;
  operator LPCITEMIDLIST() const { return p; }
};

class ShellNamespace : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(S_OK, SHGetDesktopFolder(&desktop)); }

  Pidl Parse(const std::string& path) {
    Pidl out;
    EXPECT_EQ(S_OK, desktop->ParseDisplayName(nullptr, path, nullptr, &out.p, nullptr)) << path;
    return out;
  }
  std::unique_ptr<IShellFolder> Bind(const std::string& path) {
    Pidl p = Parse(path);
    std::unique_ptr<IShellFolder> f;
    EXPECT_EQ(S_OK, desktop->BindToObject(p, &f)) << path;
    return f;
  }
  static std::string Name(IShellFolder* f, LPCITEMIDLIST p, DWORD flags = SHGDN_INFOLDER) {
    STRRET s;
    EXPECT_EQ(S_OK, f->GetDisplayNameOf(p, flags, &s));
    return s.pOleStr;
  }
  // The children in the folder's own order (as the controls sort them).
  static std::vector<std::string> Children(IShellFolder* f, DWORD flags) {
    std::unique_ptr<IEnumIDList> e;
    EXPECT_EQ(S_OK, f->EnumObjects(nullptr, flags, &e));
    std::vector<LPITEMIDLIST> items;
    LPITEMIDLIST one = nullptr;
    ULONG n = 0;
    while (e && e->Next(1, &one, &n) == S_OK) items.push_back(one);
    std::sort(items.begin(), items.end(), [&](LPITEMIDLIST a, LPITEMIDLIST b) {
      return int16_t(f->CompareIDs(0, a, b) & 0xFFFF) < 0;
    });
    std::vector<std::string> names;
    for (LPITEMIDLIST p : items) {
      names.push_back(Name(f, p));
      CoTaskMemFree(p);
    }
    return names;
  }

  shelltest::Tree tree;
  std::unique_ptr<IShellFolder> desktop;
};

TEST_F(ShellNamespace, VolumesComeFromTheMountTableWithTheirKindsAndLabels) {
  const std::vector<Volume>& v = Volumes();
  ASSERT_EQ(5u, v.size());
  EXPECT_EQ("/", v[0].mountPoint);
  EXPECT_EQ(DriveKind::Fixed, v[0].kind);
  EXPECT_EQ("/", v[0].label);
  EXPECT_EQ(tree.root + "/media/usb", v[1].mountPoint);
  EXPECT_EQ(DriveKind::Removable, v[1].kind);
  EXPECT_EQ("MY STICK", v[1].label);
  EXPECT_EQ(DriveKind::Cdrom, v[2].kind);
  EXPECT_EQ("cd", v[2].label);
  EXPECT_EQ(DriveKind::Remote, v[3].kind);
  EXPECT_EQ("server:/export", v[3].source);
  EXPECT_EQ(DriveKind::Ram, v[4].kind);
  // The longest mount point holds a path.
  EXPECT_EQ(v[1].mountPoint, VolumeOf(tree.root + "/media/usb/a/b")->mountPoint);
  EXPECT_EQ("/", VolumeOf(tree.root + "/media/usbx")->mountPoint);
}

TEST_F(ShellNamespace, DesktopHoldsComputerHomeAndTheExistingUserFolders) {
  EXPECT_EQ((std::vector<std::string>{"Computer", "Home", "桌面", "文档", "Videos"}),
            Children(desktop.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS));
  // Computer lists the volumes by label.
  Pidl computer;
  ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer.p));
  std::unique_ptr<IShellFolder> c;
  ASSERT_EQ(S_OK, desktop->BindToObject(computer, &c));
  EXPECT_EQ((std::vector<std::string>{"/", "MY STICK", "cd", "share", "ram"}), Children(c.get(), SHCONTF_FOLDERS));
  // Its details: the kind of each volume and its sizes, never asked of a network share.
  std::unique_ptr<IShellDetails> details;
  ASSERT_EQ(S_OK, desktop->BindToDetails(computer, &details));
  SHELLDETAILS sd;
  ASSERT_EQ(S_OK, details->GetDetailsOf(nullptr, 3, &sd));
  EXPECT_EQ("Free Space", sd.str.pOleStr);
  std::unique_ptr<IEnumIDList> vols;
  ASSERT_EQ(S_OK, c->EnumObjects(nullptr, SHCONTF_FOLDERS, &vols));
  std::vector<std::vector<std::string>> rows;
  for (Pidl v; vols->Next(1, &v.p, nullptr) == S_OK; CoTaskMemFree(v.p), v.p = nullptr) {
    rows.emplace_back();
    for (UINT col = 1; col <= 3; ++col) {
      ASSERT_EQ(S_OK, details->GetDetailsOf(v, col, &sd));
      rows.back().push_back(sd.str.pOleStr);
    }
  }
  ASSERT_EQ(5u, rows.size());
  EXPECT_EQ("Local Disk", rows[0][0]);
  EXPECT_FALSE(rows[0][1].empty());
  EXPECT_EQ("Removable Disk", rows[1][0]);
  EXPECT_EQ("CD Drive", rows[2][0]);
  EXPECT_EQ((std::vector<std::string>{"Network Drive", "", ""}), rows[3]);
  EXPECT_EQ("RAM Disk", rows[4][0]);
  // The virtual folders' parsing names are "::{" names; their display names are plain.
  EXPECT_EQ(0u, Name(desktop.get(), computer, SHGDN_FORPARSING).rfind("::{", 0));
  EXPECT_EQ("Computer", Name(desktop.get(), computer, SHGDN_NORMAL));
  std::string path;
  EXPECT_FALSE(SHGetPathFromIDList(computer, &path));
}

TEST_F(ShellNamespace, SpecialFoldersFollowTheUserDirsFile) {
  struct Case {
    int csidl;
    std::string path;  // "" = no equivalent
  } cases[] = {{CSIDL_PERSONAL, tree.home + "/文档"},
               {CSIDL_DESKTOPDIRECTORY, tree.home + "/桌面"},
               {CSIDL_APPDATA, tree.home + "/.config"},
               {CSIDL_TEMPLATES, ""},  // not in the file
               {CSIDL_PRINTERS, ""},
               {CSIDL_CONTROLS, ""}};
  for (const Case& c : cases) {
    Pidl p;
    HRESULT hr = SHGetSpecialFolderLocation(nullptr, c.csidl, &p.p);
    if (c.path.empty()) {
      EXPECT_TRUE(FAILED(hr)) << c.csidl;
      continue;
    }
    ASSERT_EQ(S_OK, hr) << c.csidl;
    std::string path;
    EXPECT_TRUE(SHGetPathFromIDList(p, &path));
    EXPECT_EQ(c.path, path);
  }
}

TEST_F(ShellNamespace, ParsingNormalisesAndRefusesWhatIsNotThere) {
  std::string path;
  Pidl a = Parse(tree.home + "/./Videos/../文档/");
  ASSERT_TRUE(SHGetPathFromIDList(a, &path));
  EXPECT_EQ(tree.home + "/文档", path);
  for (const std::string& bad : {std::string(), std::string("relative/path"), tree.home + "/nothing"}) {
    Pidl p;
    EXPECT_TRUE(FAILED(desktop->ParseDisplayName(nullptr, bad, nullptr, &p.p, nullptr))) << bad;
    EXPECT_EQ(nullptr, p.p);
  }
  // Below a volume's mount point the route goes through that volume.
  Pidl usb = Parse(tree.root + "/media/usb");
  std::vector<std::string> ids = IdPayloads(usb);
  ASSERT_EQ(2u, ids.size());
  EXPECT_EQ(BYTE(ItemKind::Volume), BYTE(ids[1][0]));
}

TEST_F(ShellNamespace, TwoRoutesToOneFolderCompareEqual) {
  // Home as the Desktop shows it, and the same folder parsed through its volume.
  std::unique_ptr<IEnumIDList> e;
  ASSERT_EQ(S_OK, desktop->EnumObjects(nullptr, SHCONTF_FOLDERS, &e));
  Pidl computer, home, docs;
  ULONG n = 0;
  ASSERT_EQ(S_OK, e->Next(1, &computer.p, &n));
  ASSERT_EQ(S_OK, e->Next(1, &home.p, &n));
  Pidl skip;
  ASSERT_EQ(S_OK, e->Next(1, &skip.p, &n));
  ASSERT_EQ(S_OK, e->Next(1, &docs.p, &n));
  Pidl homeParsed = Parse(tree.home);
  EXPECT_NE(IdListSize(home), IdListSize(homeParsed));
  EXPECT_EQ(0, desktop->CompareIDs(0, home, homeParsed));
  Pidl docsParsed = Parse(tree.home + "/文档");
  EXPECT_EQ(0, desktop->CompareIDs(0, docs, docsParsed));
  // Different items never compare equal, in either direction; virtual items come first.
  EXPECT_NE(0, desktop->CompareIDs(0, computer, homeParsed));
  EXPECT_LT(int16_t(desktop->CompareIDs(0, computer, home) & 0xFFFF), 0);
  EXPECT_GT(int16_t(desktop->CompareIDs(0, home, computer) & 0xFFFF), 0);
  EXPECT_TRUE(SUCCEEDED(desktop->CompareIDs(0, home, computer)));
}

TEST_F(ShellNamespace, EnumerationOrderHiddenFilesAndSpecialFiles) {
  const std::string dir = tree.home + "/Videos";
  for (const char* f : {"b.avi", "a10.avi", "A2.avi", ".hidden.avi"}) WriteText(dir + "/" + f, "x");
  for (const char* d : {"sub10", "Sub9", ".cache"}) mkdir((dir + "/" + d).c_str(), 0755);
  ASSERT_EQ(0, mkfifo((dir + "/pipe.avi").c_str(), 0644));
  ASSERT_EQ(0, symlink("b.avi", (dir + "/link.avi").c_str()));
  ASSERT_EQ(0, symlink("missing", (dir + "/broken.avi").c_str()));
  auto f = Bind(dir);
  ASSERT_TRUE(f);
  EXPECT_EQ((std::vector<std::string>{"Sub9", "sub10", "A2.avi", "a10.avi", "b.avi", "link.avi"}),
            Children(f.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS));
  EXPECT_EQ((std::vector<std::string>{".cache", "Sub9", "sub10"}),
            Children(f.get(), SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN));
  EXPECT_EQ((std::vector<std::string>{".hidden.avi", "A2.avi", "a10.avi", "b.avi", "link.avi"}),
            Children(f.get(), SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN));
  // A folder that is gone cannot be enumerated, and cannot be bound either.
  Pidl sub = Parse(dir + "/Sub9");
  std::unique_ptr<IShellFolder> subFolder;
  ASSERT_EQ(S_OK, desktop->BindToObject(sub, &subFolder));
  rmdir((dir + "/Sub9").c_str());
  std::unique_ptr<IEnumIDList> e;
  EXPECT_TRUE(FAILED(subFolder->EnumObjects(nullptr, SHCONTF_FOLDERS, &e)));
  EXPECT_EQ(nullptr, e);
  std::unique_ptr<IShellFolder> again;
  EXPECT_TRUE(FAILED(desktop->BindToObject(sub, &again)));
  // A file is no folder.
  Pidl file = Parse(dir + "/b.avi");
  EXPECT_TRUE(FAILED(desktop->BindToObject(file, &again)));
}

TEST_F(ShellNamespace, AttributesAskedWithMaskZeroAreTheFullSet) {
  const std::string dir = tree.home + "/文档";
  WriteText(dir + "/clip.avi", "x");
  WriteText(dir + "/.hidden", "x");
  WriteText(dir + "/ro.txt", "x");
  chmod((dir + "/ro.txt").c_str(), 0444);
  mkdir((dir + "/inner").c_str(), 0755);
  mkdir((dir + "/inner/deeper").c_str(), 0755);
  ASSERT_EQ(0, symlink("clip.avi", (dir + "/link.avi").c_str()));
  auto attrs = [&](const std::string& path) {
    Pidl p = Parse(path);
    ULONG a = 0;
    LPCITEMIDLIST one = p;
    EXPECT_EQ(S_OK, desktop->GetAttributesOf(1, &one, &a));
    return a;
  };
  ULONG file = attrs(dir + "/clip.avi");
  EXPECT_EQ(ULONG(SFGAO_FILESYSTEM | SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANRENAME |
                  SFGAO_CANDELETE | SFGAO_HASPROPSHEET),
            file);
  ULONG folder = attrs(dir + "/inner");
  EXPECT_TRUE(folder & SFGAO_FOLDER);
  EXPECT_TRUE(folder & SFGAO_HASSUBFOLDER);
  EXPECT_TRUE(folder & SFGAO_FILESYSANCESTOR);
  EXPECT_TRUE(folder & SFGAO_DROPTARGET);
  EXPECT_FALSE(attrs(dir + "/inner/deeper") & SFGAO_HASSUBFOLDER);
  EXPECT_TRUE(attrs(dir + "/.hidden") & SFGAO_GHOSTED);
  EXPECT_TRUE(attrs(dir + "/link.avi") & SFGAO_LINK);
  if (geteuid() != 0) {
    EXPECT_TRUE(attrs(dir + "/ro.txt") & SFGAO_READONLY);
  }
  // Volumes are removable as the table says, and are never renamed or deleted.
  ULONG usb = attrs(tree.root + "/media/usb");
  EXPECT_TRUE(usb & SFGAO_REMOVABLE);
  EXPECT_FALSE(usb & (SFGAO_CANRENAME | SFGAO_CANDELETE));
  Pidl computer;
  ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer.p));
  ULONG c = 0;
  LPCITEMIDLIST one = computer;
  desktop->GetAttributesOf(1, &one, &c);
  EXPECT_EQ(ULONG(SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSANCESTOR), c);
}

TEST_F(ShellNamespace, RenameRefusesUnsafeNamesAndExistingTargets) {
  const std::string dir = tree.home + "/文档";
  WriteText(dir + "/a.txt", "A");
  WriteText(dir + "/b.txt", "B");
  auto f = Bind(dir);
  Pidl rel;
  ASSERT_EQ(S_OK, f->ParseDisplayName(nullptr, "a.txt", nullptr, &rel.p, nullptr));
  for (const std::string& bad : {std::string(), std::string("."), std::string(".."), std::string("x/../../y"),
                                 std::string("b.txt"), std::string("nul\0l", 5)}) {
    Pidl out;
    EXPECT_TRUE(FAILED(f->SetNameOf(nullptr, rel, bad, 0, &out.p))) << bad;
    EXPECT_EQ(nullptr, out.p);
  }
  EXPECT_EQ("A", ReadText(dir + "/a.txt"));
  EXPECT_EQ("B", ReadText(dir + "/b.txt"));
  Pidl renamed;
  ASSERT_EQ(S_OK, f->SetNameOf(nullptr, rel, "视频.txt", 0, &renamed.p));
  EXPECT_EQ("视频.txt", Name(f.get(), renamed));
  EXPECT_EQ("A", ReadText(dir + "/视频.txt"));
  // The old list now names nothing; the folder object still works.
  std::unique_ptr<IShellFolder> none;
  ULONG a = 0;
  LPCITEMIDLIST old = rel;
  EXPECT_EQ(S_OK, f->GetAttributesOf(1, &old, &a));
  EXPECT_FALSE(a & SFGAO_CANCOPY);
}

TEST_F(ShellNamespace, ANameThatIsNotUtf8SurvivesFromListingToOpening) {
  const std::string dir = tree.home + "/Videos";
  const std::string raw = "clip\xff\xfe-\xe4\xb8.avi";  // bytes of no UTF-8 text
  WriteText(dir + "/" + raw, "payload");
  auto f = Bind(dir);
  std::unique_ptr<IEnumIDList> e;
  ASSERT_EQ(S_OK, f->EnumObjects(nullptr, SHCONTF_NONFOLDERS, &e));
  Pidl item;
  ULONG n = 0;
  ASSERT_EQ(S_OK, e->Next(1, &item.p, &n));
  EXPECT_EQ(raw, Name(f.get(), item));
  STRRET s;
  ASSERT_EQ(S_OK, f->GetDisplayNameOf(item, SHGDN_FORPARSING, &s));
  EXPECT_EQ(dir + "/" + raw, s.pOleStr);
  // Parsing that name again gives the same item, whose path opens the file.
  Pidl parsed = Parse(s.pOleStr);
  std::string path;
  ASSERT_TRUE(SHGetPathFromIDList(parsed, &path));
  EXPECT_EQ("payload", ReadText(path));
  // And it can be renamed to a proper name and back.
  Pidl renamed, back;
  ASSERT_EQ(S_OK, f->SetNameOf(nullptr, item, "fixed.avi", 0, &renamed.p));
  ASSERT_EQ(S_OK, f->SetNameOf(nullptr, renamed, raw, 0, &back.p));
  EXPECT_EQ("payload", ReadText(dir + "/" + raw));
}

TEST_F(ShellNamespace, DetailColumnsWithADateTimeInColumnFour) {
  const std::string dir = tree.home + "/Videos";
  WriteText(dir + "/clip.mp4", std::string(3000, 'x'));
  auto f = Bind(dir);
  std::unique_ptr<IShellDetails> details;
  ASSERT_EQ(S_OK, desktop->BindToDetails(Parse(dir), &details));
  SHELLDETAILS sd;
  std::vector<std::string> headers;
  for (UINT c = 0; SUCCEEDED(details->GetDetailsOf(nullptr, c, &sd)); ++c) headers.push_back(sd.str.pOleStr);
  EXPECT_EQ((std::vector<std::string>{"Name", "Size", "Type", "Date Modified"}), headers);
  Pidl item;
  ASSERT_EQ(S_OK, f->ParseDisplayName(nullptr, "clip.mp4", nullptr, &item.p, nullptr));
  std::vector<std::string> cols;
  for (UINT c = 0; c <= 5; ++c) {
    ASSERT_EQ(S_OK, details->GetDetailsOf(item, c, &sd)) << c;
    cols.push_back(sd.str.pOleStr);
  }
  EXPECT_EQ("clip.mp4", cols[0]);
  EXPECT_EQ("3 KB", cols[1]);
  EXPECT_EQ("MP4 File", cols[2]);
  EXPECT_NE(std::string::npos, cols[3].find(':'));
  EXPECT_NE(std::string::npos, cols[4].find(':'));  // the date the sorting needs
  EXPECT_TRUE(FAILED(details->GetDetailsOf(item, 6, &sd)));
  // The same through the other binding, with columns 0-3 on by default.
  std::unique_ptr<IShellFolder2> f2;
  ASSERT_EQ(S_OK, desktop->BindToFolder2(Parse(dir), &f2));
  DWORD state = 0;
  ASSERT_EQ(S_OK, f2->GetDefaultColumnState(3, &state));
  EXPECT_EQ(SHCOLSTATE_ONBYDEFAULT, state);
  ASSERT_EQ(S_OK, f2->GetDefaultColumnState(4, &state));
  EXPECT_EQ(0u, state);
  ASSERT_EQ(S_OK, f2->GetDetailsOf(item, 4, &sd));
  EXPECT_EQ(cols[4], sd.str.pOleStr);
}

TEST_F(ShellNamespace, DeleteMovesToTheTrashAfterTheConfirmation) {
  const std::string dir = tree.home + "/文档";
  const std::string name = "my clip%.avi";
  WriteText(dir + "/" + name, "keep me");
  WriteText(tree.home + "/Videos/" + name, "second");
  auto f = Bind(dir);
  Pidl item;
  ASSERT_EQ(S_OK, f->ParseDisplayName(nullptr, name, nullptr, &item.p, nullptr));
  LPCITEMIDLIST one = item;
  std::unique_ptr<IContextMenu> menu;
  ASSERT_EQ(S_OK, f->GetUIObjectOf(nullptr, 1, &one, &menu));
  ShellMenu m;
  ASSERT_TRUE(SUCCEEDED(menu->QueryContextMenu(&m, 0, 1, 0x7FFF, CMF_EXPLORE | CMF_CANRENAME)));
  std::vector<std::string> verbs;
  for (const ShellMenuCommand& c : m.items) {
    std::string verb;
    ASSERT_EQ(S_OK, menu->GetCommandString(c.id - 1, GCS_VERBA, &verb));
    EXPECT_EQ(c.verb, verb);
    verbs.push_back(verb);
  }
  EXPECT_EQ((std::vector<std::string>{"open", "openfolder", "rename", "delete", "properties"}), verbs);

  std::vector<std::string> asked;
  bool answer = false;
  SetDeleteConfirmation([&](const std::vector<std::string>& paths) {
    asked = paths;
    return answer;
  });
  CMINVOKECOMMANDINFO info;
  info.verb = "delete";
  EXPECT_TRUE(FAILED(menu->InvokeCommand(info)));  // declined: nothing moves
  EXPECT_EQ(std::vector<std::string>{dir + "/" + name}, asked);
  EXPECT_EQ("keep me", ReadText(dir + "/" + name));
  answer = true;
  EXPECT_EQ(S_OK, menu->InvokeCommand(info));
  SetDeleteConfirmation(nullptr);
  EXPECT_FALSE(std::filesystem::exists(dir + "/" + name));
  const std::string trash = tree.home + "/.local/share/Trash";
  EXPECT_EQ("keep me", ReadText(trash + "/files/" + name));
  std::string infoText = ReadText(trash + "/info/" + name + ".trashinfo");
  EXPECT_EQ(0u, infoText.find("[Trash Info]\nPath=" + std::string("/") ));
  EXPECT_NE(std::string::npos, infoText.find("/%E6%96%87%E6%A1%A3/my%20clip%25.avi\n"));
  EXPECT_NE(std::string::npos, infoText.find("\nDeletionDate="));
  // A second item of the same name gets a name of its own in the trash.
  EXPECT_EQ(0, MoveToTrash(tree.home + "/Videos/" + name));
  EXPECT_EQ("second", ReadText(trash + "/files/" + name + ".2"));
  EXPECT_TRUE(std::filesystem::exists(trash + "/info/" + name + ".2.trashinfo"));
  EXPECT_EQ(ENOENT, MoveToTrash(tree.home + "/nothing"));
  // An item on a volume of its own goes to that volume's trash, its path kept relative to it.
  const std::string usb = tree.root + "/media/usb";
  mkdir((usb + "/clips").c_str(), 0755);
  WriteText(usb + "/clips/a.avi", "on the stick");
  EXPECT_EQ(0, MoveToTrash(usb + "/clips/a.avi"));
  const std::string own = usb + "/.Trash-" + std::to_string(getuid());
  EXPECT_EQ("on the stick", ReadText(own + "/files/a.avi"));
  EXPECT_NE(std::string::npos, ReadText(own + "/info/a.avi.trashinfo").find("\nPath=clips/a.avi\n"));
}

TEST_F(ShellNamespace, IconsComeFromTheItemsWithoutLookingAtThem) {
  const std::string dir = tree.home + "/Videos";
  WriteText(dir + "/a.MKV", "");
  WriteText(dir + "/b.mp3", "");
  WriteText(dir + "/c.unknown", "");
  mkdir((dir + "/d").c_str(), 0755);
  auto icon = [&](LPCITEMIDLIST p, UINT extra = 0) {
    SHFILEINFO info;
    uintptr_t list = SHGetFileInfo(PidlArg(p), 0, &info, SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | extra);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(SystemImageList(true)), list);
    return info.iIcon;
  };
  Pidl desk(nullptr);
  ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desk.p));
  EXPECT_EQ(siDesktop, icon(desk));
  EXPECT_EQ(siVideo, icon(Parse(dir + "/a.MKV")));
  EXPECT_EQ(siAudio, icon(Parse(dir + "/b.mp3")));
  EXPECT_EQ(siFile, icon(Parse(dir + "/c.unknown")));
  EXPECT_EQ(siFolder, icon(Parse(dir + "/d")));
  EXPECT_EQ(siFolderOpen, icon(Parse(dir + "/d"), SHGFI_OPENICON));
  EXPECT_EQ(siDriveRemovable, icon(Parse(tree.root + "/media/usb")));
  EXPECT_EQ(siDriveCdrom, icon(Parse(tree.root + "/media/cd")));
  // The lists themselves, from any path.
  SHFILEINFO info;
  EXPECT_EQ(reinterpret_cast<uintptr_t>(SystemImageList(false)), SHGetFileInfo("/", 0, &info, SHGFI_SYSICONINDEX));
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(SystemImageList(false), &cx, &cy));
  EXPECT_EQ(32, cx);
  EXPECT_EQ(int(siCount), ImageList_GetImageCount(SystemImageList(true)));
  // Every picture has something opaque in it and a transparent corner.
  for (int i = 0; i < siCount; ++i) {
    const uint32_t* px = ImageList_Pixels(SystemImageList(true), i);
    ASSERT_NE(nullptr, px);
    EXPECT_TRUE(std::any_of(px, px + 256, [](uint32_t p) { return (p >> 24) == 255; })) << i;
  }
  EXPECT_EQ(nullptr, ImageList_Pixels(SystemImageList(true), siCount));
}

}  // namespace

TEST_F(ShellNamespace, ChineseNamesFollowPinyinAfterNumbersAndLetters) {
  const std::string dir = tree.home + "/Videos";
  for (const char* f : {"中国.mp4", "视频.mp4", "啊.mp4", "Zoo.mp4", "测试.mp4", "2.mp4", "北京.mp4", "文档.mp4",
                        "10.mp4", "apple.mp4"})
    WriteText(dir + "/" + f, "x");
  mkdir((dir + "/文件夹").c_str(), 0755);
  mkdir((dir + "/Box").c_str(), 0755);
  auto f = Bind(dir);
  ASSERT_TRUE(f);
  EXPECT_EQ((std::vector<std::string>{"Box", "文件夹", "2.mp4", "10.mp4", "apple.mp4", "Zoo.mp4", "啊.mp4", "北京.mp4",
                                      "测试.mp4", "视频.mp4", "文档.mp4", "中国.mp4"}),
            Children(f.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS));
}
