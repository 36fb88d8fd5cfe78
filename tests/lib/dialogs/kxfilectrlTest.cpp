// The file-system controls over a temporary tree with a fake home and mount table: the path
// routines, the volume combo's items, the folder list's chain, the file list's entry kinds and
// masks, the filter combo, and the four linked controls driven by clicks and keys.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>

#include "classlib/EditCtrls.h"
#include "classlib/Streaming.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/dialogs/kxfilectrl.h"
#include "platform/backend/headless/Headless.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"
#include "tests/platform/ShellTestTree.h"
#include "classlib/Graphics.h"
#include "lib/skin/kxSkinData.h"

namespace {

using namespace win;
namespace fs = std::filesystem;
using shelltest::WriteText;

std::string Cwd() { return fs::current_path().string(); }

std::vector<std::string> ItemsOf(TStrings* S) {
  std::vector<std::string> v;
  for (int32_t i = 0; i < S->Count(); ++i) v.push_back(S->Get(i));
  return v;
}

class FileCtrlTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    saved = Cwd();
    ASSERT_FALSE(tree.root.empty());
    videos = tree.home + "/Videos";
    for (const char* f : {"Clip.AVI", "clip.avi", "movie.mp4", "notes.txt", "README", "视频.mp4", "文档.avi",
                          "2.mp4", "10.mp4", ".hidden.avi", "a:b.avi"})
      WriteText(videos + "/" + f, "x");
    for (const char* d : {"sub", "中文", "Beta", ".cache", "sub/deep/deeper"}) fs::create_directories(videos + "/" + d);
    ASSERT_EQ(0, mkfifo((videos + "/pipe.avi").c_str(), 0644));
    ASSERT_EQ(0, symlink("/dev/null", (videos + "/null.avi").c_str()));
    // A socket, which the list must never show.
    sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string sp = videos + "/sock.avi";
    if (sp.size() < sizeof addr.sun_path) {
      memcpy(addr.sun_path, sp.c_str(), sp.size() + 1);
      bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    }
    usb = tree.root + "/media/usb";
    fs::create_directories(usb + "/photos");
    WriteText(usb + "/photos/p.jpg", "x");
    fs::current_path(videos);
  }
  void TearDown() override {
    ControlTest::TearDown();
    if (sock >= 0) close(sock);
    fs::current_path(saved);
  }

  // The four linked controls on a plain form, shown.
  void MakeLinked() {
    form = NewForm(50, 50, 520, 300);
    drives = Make<TkxSkinDriveComboBox>(form, "drives", 10, 10, 230, 22);
    dirs = Make<TkxSkinDirectoryListBox>(form, "dirs", 10, 60, 230, 220);
    label = Make<TkxSkinStdLabel>(form, "label", 10, 40, 230, 16);
    files = Make<TkxSkinFileListBox>(form, "files", 260, 40, 240, 210);
    filter = Make<TkxSkinFilterComboBox>(form, "filter", 260, 260, 240, 22);
    edit = Make<TEdit>(form, "edit", 260, 10, 240, 22);
    label->SetAutoSize(false);
    label->SetBounds(10, 40, 230, 16);
    drives->SetDirList(dirs);
    dirs->SetFileList(files);
    dirs->SetDirLabel(label);
    files->SetFileEdit(edit);
    filter->SetFileList(files);
    filter->SetFilter("Videos (*.avi;*.mp4)|*.avi;*.mp4|All files|*");
    form->Show();
    Pump();
  }
  // Clicks item I of a list box (its inner list's client coordinates).
  void ClickItem(TkxSkinCustomListBox* L, int32_t I) {
    const TRect r = L->ItemRect(I);
    ClickAt(L->ListBox, r.left + 30, (r.top + r.bottom) / 2);
  }
  void DoubleClickItem(TkxSkinCustomListBox* L, int32_t I) {
    ClickItem(L, I);
    ClickItem(L, I);
  }
  // Drops the combo down and clicks item I of its list.
  void PickFromCombo(TkxSkinCustomComboBox* C, int32_t I) {
    ClickAt(C, C->Width() - 8, C->Height() / 2);
    ASSERT_TRUE(C->IsPopupVisible());
    ClickItem(C->ListBox(), I);
    ASSERT_FALSE(C->IsPopupVisible());
  }

  shelltest::Tree tree;
  std::string saved, videos, usb;
  int sock = -1;
  TForm* form = nullptr;
  TkxSkinDriveComboBox* drives = nullptr;
  TkxSkinDirectoryListBox* dirs = nullptr;
  TkxSkinStdLabel* label = nullptr;
  TkxSkinFileListBox* files = nullptr;
  TkxSkinFilterComboBox* filter = nullptr;
  TEdit* edit = nullptr;
};

TEST(FileCtrlPaths, AppendDropCountAndMasks) {
  struct Append { const char *path, *part, *want; };
  for (const Append& c : {Append{"/", "x", "/x"}, Append{"/a", "x", "/a/x"}, Append{"/a/", "x", "/a/x"},
                          Append{"/a:b", "c:d", "/a:b/c:d"}})
    EXPECT_EQ(c.want, AppendPathPart(c.path, c.part)) << c.path;

  struct Drop { const char *in, *want; };
  for (const Drop& c : {Drop{"/", ""}, Drop{"/a/b/", "/.../b/"}, Drop{"/.../b/c/", "/.../c/"}, Drop{"/.../c/", "/.../"},
                        Drop{".../", ""}, Drop{"a/", ".../"},
                        // A folder that begins with "." keeps its name: only the marker goes.
                        Drop{"/.config/x/", "/.../x/"}, Drop{"/.../.svn/x/", "/.../x/"}, Drop{"/home/.config/", "/.../.config/"}}) {
    std::string s = c.in;
    DropFirstFolder(s);
    EXPECT_EQ(c.want, s) << c.in;
  }
  EXPECT_EQ(0, CountBackslashes("name"));
  EXPECT_EQ(3, CountBackslashes("/a/b/c"));

  struct Mask { const char *pattern, *name; bool match; };
  for (const Mask& c : {Mask{"*", "README", true}, Mask{"*.*", "README", true}, Mask{"*.*", ".hidden", true},
                        Mask{"*.avi", "CLIP.AVI", true}, Mask{"*.AVI", "clip.avi", true}, Mask{"*.avi", "clip.avi.txt", false},
                        Mask{"clip?.mp4", "clip1.mp4", true}, Mask{"clip?.mp4", "clip.mp4", false},
                        Mask{"?.mp4", "视.mp4", true}, Mask{"*视频*", "我的视频.mp4", true}, Mask{"a:*", "a:b.avi", true},
                        Mask{"*.mp4", "movie.mp4x", false}, Mask{"*a*b*c", "aXbYc", true}, Mask{"", "x", false}})
    EXPECT_EQ(c.match, FileMaskMatches(c.pattern, c.name)) << c.pattern << " ~ " << c.name;
}

TEST(FileCtrlPaths, ShortenPathDropsOneFolderPerStep) {
  TBitmap b;
  b.SetSize(10, 10);
  TCanvas* c = b.Canvas();
  const std::string path = "/home/user/.config/ombrel/option.ini";
  EXPECT_EQ(path, ShortenPath(path, c, c->TextWidth(path)));
  const std::vector<std::string> steps = {"/.../user/.config/ombrel/option.ini", "/.../.config/ombrel/option.ini",
                                          "/.../ombrel/option.ini", "/.../option.ini", ".../option.ini", "option.ini"};
  for (const std::string& s : steps) EXPECT_EQ(s, ShortenPath(path, c, c->TextWidth(s))) << s;
  EXPECT_EQ("option.ini", ShortenPath(path, c, 1));
}

TEST_F(FileCtrlTest, SplitEditPathCases) {
  struct Case { std::string text, drive, dir, file; };
  const std::vector<Case> cases = {
      {"[sub]", "/", videos + "/sub", ""},                           // a folder item of the file list
      {"[中文]", "/", videos + "/中文", ""},
      {"sub", "/", videos + "/sub", ""},                             // an existing folder as the last part
      {"clip.avi", "/", videos, "clip.avi"},
      {"*.avi", "/", videos, "*.avi"},                               // a pattern keeps the folder
      {"a:b.avi", "/", videos, "a:b.avi"},                           // ":" is an ordinary character
      {tree.home + "/文档/", "/", tree.home + "/文档", ""},
      {usb + "/photos/p.jpg", usb, usb + "/photos", "p.jpg"},        // another volume
      {usb + "/photos", usb, usb + "/photos", ""},
      {"/", "/", "/", ""},
      {"sub/deep", "/", "sub/deep", ""},                             // relative, found from here
  };
  for (const Case& c : cases) {
    std::string drive, dir, file;
    SplitEditPath(c.text, drive, dir, file);
    EXPECT_EQ(c.drive, drive) << c.text;
    EXPECT_EQ(c.dir, dir) << c.text;
    EXPECT_EQ(c.file, file) << c.text;
    EXPECT_EQ(videos, Cwd()) << c.text;
  }
  // Neither a file, a folder nor a pattern; a folder that is not there; a FIFO is no file.
  for (const std::string& bad : {std::string("missing.txt"), tree.root + "/none/x.avi", std::string("pipe.avi/x")}) {
    std::string drive, dir, file;
    EXPECT_THROW(SplitEditPath(bad, drive, dir, file), EInOutError) << bad;
    EXPECT_EQ(videos, Cwd()) << bad;
  }
}

TEST_F(FileCtrlTest, DriveItemsForEachKindWithoutTouchingTheRemoteVolume) {
  // The share's server is gone: its mount point cannot even be looked at. The list must not try.
  fs::remove_all(tree.root + "/net/share");
  form = NewForm(50, 50, 400, 100);
  drives = Make<TkxSkinDriveComboBox>(form, "drives", 10, 10, 300, 22);
  form->Show();
  Pump();
  const std::vector<std::string> want = {"/ [/]", usb, tree.root + "/media/cd [cd]",
                                         tree.root + "/net/share server:/export", tree.root + "/ram [ram]"};
  EXPECT_EQ(want, ItemsOf(drives->Items()));
  const std::vector<TBitmap*> glyphs = {drives->FixedBMP.get(), drives->FloppyBMP.get(), drives->CDROMBMP.get(),
                                        drives->NetworkBMP.get(), drives->RAMBMP.get()};
  for (size_t i = 0; i < glyphs.size(); ++i) EXPECT_EQ(glyphs[i], drives->Items()->GetObject(int32_t(i))) << i;
  for (TBitmap* g : glyphs) EXPECT_EQ(16, g->Width());
  EXPECT_EQ(11, drives->RAMBMP->Height());
  EXPECT_EQ(16, drives->FixedBMP->Height());
  // The current directory's volume is selected.
  EXPECT_EQ("/", drives->Drive());
  EXPECT_EQ(0, drives->ItemIndex());
  // Upper case reaches the labels, never the paths.
  drives->SetTextCase(tcUpperCase);
  EXPECT_EQ(tree.root + "/media/cd [CD]", drives->Items()->Get(2));
  EXPECT_EQ(tree.root + "/net/share SERVER:/EXPORT", drives->Items()->Get(3));
  EXPECT_EQ(0, drives->ItemIndex());
  EXPECT_EQ("[MY STICK]", DriveVolumeLabel(usb, tcUpperCase));
  EXPECT_EQ("[]", DriveVolumeLabel("/nowhere"));
}

TEST_F(FileCtrlTest, FolderListShowsTheChainOfADeepPathAndSelectsTheCurrentFolder) {
  form = NewForm(50, 50, 300, 400);
  dirs = Make<TkxSkinDirectoryListBox>(form, "dirs", 10, 10, 260, 380);
  form->Show();
  Pump();
  std::vector<std::string> want = {"/"};
  for (const fs::path& p : fs::path(videos).relative_path()) want.push_back(p.string());
  const size_t current = want.size() - 1;
  // The subfolders in the name order, without the hidden one.
  for (const char* s : {"Beta", "sub", "中文"}) want.push_back(s);
  EXPECT_EQ(want, ItemsOf(dirs->Items()));
  EXPECT_EQ(int32_t(current), dirs->ItemIndex());
  EXPECT_EQ(dirs->CurrentBMP.get(), dirs->Items()->GetObject(int32_t(current)));
  EXPECT_EQ(dirs->OpenedBMP.get(), dirs->Items()->GetObject(1));
  EXPECT_EQ(dirs->ClosedBMP.get(), dirs->Items()->GetObject(int32_t(current + 1)));
  // Each item's path.
  EXPECT_EQ("/", dirs->GetItemPath(0));
  EXPECT_EQ("/tmp", dirs->GetItemPath(1));
  EXPECT_EQ(tree.root, dirs->GetItemPath(2));
  EXPECT_EQ(videos, dirs->GetItemPath(int32_t(current)));
  EXPECT_EQ(videos + "/sub", dirs->GetItemPath(int32_t(current + 2)));
  EXPECT_EQ("", dirs->GetItemPath(int32_t(want.size())));
  EXPECT_EQ("", dirs->GetItemPath(-1));

  // A double click opens a subfolder; Enter on an ancestor goes up.
  DoubleClickItem(dirs, int32_t(current + 2));
  EXPECT_EQ(videos + "/sub", dirs->Directory());
  EXPECT_EQ(videos + "/sub", Cwd());
  EXPECT_EQ("deep", dirs->Items()->Get(int32_t(current + 2)));
  ClickItem(dirs, int32_t(current - 1));
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(tree.home, dirs->Directory());
  EXPECT_EQ(int32_t(current - 1), dirs->ItemIndex());

  // At the root the root itself is the current item, selected.
  dirs->SetDirectory("/");
  EXPECT_EQ("/", dirs->Items()->Get(0));
  EXPECT_EQ(dirs->CurrentBMP.get(), dirs->Items()->GetObject(0));
  EXPECT_EQ(0, dirs->ItemIndex());
  EXPECT_EQ("/tmp", dirs->GetItemPath(dirs->Items()->IndexOf("tmp")));
}

TEST_F(FileCtrlTest, AFolderThatCannotBeEnteredLeavesDirectoryAndCurrentDirectory) {
  MakeLinked();
  const std::string before = files->Directory();
  const std::vector<std::string> items = ItemsOf(files->Items());
  for (const std::string& bad : {tree.root + "/none", std::string("none"), videos + "/clip.avi/x"}) {
    EXPECT_THROW(dirs->SetDirectory(bad), EInOutError) << bad;
    EXPECT_EQ(before, dirs->Directory());
    EXPECT_THROW(files->SetDirectory(bad + "/"), EInOutError) << bad;
    EXPECT_EQ(before, files->Directory());
    EXPECT_EQ(videos, Cwd()) << bad;
  }
  // The folder shown is removed behind the list's back: a rebuild fails and keeps the items.
  fs::current_path(tree.home);
  const std::string gone = videos + "/sub/deep/deeper";
  files->SetDirectory(gone + "/");
  EXPECT_EQ(gone, files->Directory());
  fs::current_path(tree.home);
  fs::remove(gone);
  EXPECT_THROW(files->Update(), EInOutError);
  EXPECT_EQ(gone, files->Directory());
  EXPECT_EQ(tree.home, Cwd());
  (void)items;
}

TEST_F(FileCtrlTest, FileTypeSets) {
  form = NewForm(50, 50, 300, 400);
  files = Make<TkxSkinFileListBox>(form, "files", 10, 10, 260, 380);
  form->Show();
  Pump();
  struct Case { TkxFileType type; std::vector<std::string> want; };
  const std::vector<std::string> normal = {"2.mp4", "10.mp4", "a:b.avi", "Clip.AVI", "clip.avi", "movie.mp4",
                                           "notes.txt", "README", "视频.mp4", "文档.avi"};
  std::vector<std::string> normalHidden = normal;
  normalHidden.insert(normalHidden.begin(), ".hidden.avi");
  const std::vector<Case> cases = {
      // Neither FIFOs, sockets nor devices (a link to /dev/null) ever show.
      {TkxFileType{kxftNormal}, normal},
      {TkxFileType{kxftNormal, kxftHidden}, normalHidden},
      // "[.]" and "[..]" are folders like the others, and not hidden.
      {TkxFileType{kxftDirectory}, {"[..]", "[.]", "[Beta]", "[sub]", "[中文]"}},
      // Hidden entries share the asked hidden bit, so the hidden file comes too.
      {TkxFileType{kxftDirectory, kxftHidden}, {".hidden.avi", "[..]", "[.]", "[.cache]", "[Beta]", "[sub]", "[中文]"}},
      {TkxFileType{kxftNormal, kxftDirectory},
       {"[..]", "[.]", "[Beta]", "[sub]", "[中文]", "2.mp4", "10.mp4", "a:b.avi", "Clip.AVI", "clip.avi", "movie.mp4",
        "notes.txt", "README", "视频.mp4", "文档.avi"}},
      // Every regular file counts as archived; nothing is a system file or a volume label.
      {TkxFileType{kxftArchive}, normal},
      {TkxFileType{kxftSystem}, {}},
      {TkxFileType{kxftVolumeID}, {}},
  };
  for (const Case& c : cases) {
    files->SetFileType(c.type);
    EXPECT_EQ(c.want, ItemsOf(files->Items())) << c.type.Bits();
  }
  if (geteuid() != 0) {  // the superuser may write anything, so nothing is read-only to it
    chmod((videos + "/notes.txt").c_str(), 0444);
    files->SetFileType(TkxFileType{kxftReadOnly});
    EXPECT_EQ((std::vector<std::string>{"notes.txt"}), ItemsOf(files->Items()));
  }
}

TEST_F(FileCtrlTest, MasksIgnoreCaseNamesDoNot) {
  form = NewForm(50, 50, 300, 400);
  files = Make<TkxSkinFileListBox>(form, "files", 10, 10, 260, 380);
  edit = Make<TEdit>(form, "edit", 10, 10, 100, 20);
  form->Show();
  Pump();
  struct Case { const char* mask; std::vector<std::string> want; };
  for (const Case& c : {Case{"*.AVI", {"a:b.avi", "Clip.AVI", "clip.avi", "文档.avi"}},
                        // Two patterns give one list, in the name order, each entry once.
                        Case{"*.mp4;clip*", {"2.mp4", "10.mp4", "Clip.AVI", "clip.avi", "movie.mp4", "视频.mp4"}},
                        Case{"READ*", {"README"}}, Case{"nothing*", {}},
                        Case{"*", {"2.mp4", "10.mp4", "a:b.avi", "Clip.AVI", "clip.avi", "movie.mp4", "notes.txt",
                                   "README", "视频.mp4", "文档.avi"}}}) {
    files->SetMask(c.mask);
    EXPECT_EQ(c.want, ItemsOf(files->Items())) << c.mask;
  }
  // An edit linked while nothing is selected shows the mask; a name picks the file of exactly
  // that name.
  files->SetFileEdit(edit);
  EXPECT_EQ("*", edit->Text());
  EXPECT_EQ("", files->FileName());
  files->SetFileName("Clip.AVI");
  EXPECT_EQ(videos + "/Clip.AVI", files->FileName());
  files->SetFileName("clip.avi");
  EXPECT_EQ(videos + "/clip.avi", files->FileName());
  EXPECT_EQ("clip.avi", edit->Text());
}

TEST_F(FileCtrlTest, ApplyFilePathCases) {
  form = NewForm(50, 50, 300, 400);
  files = Make<TkxSkinFileListBox>(form, "files", 10, 10, 260, 300);
  edit = Make<TEdit>(form, "edit", 10, 320, 100, 20);
  form->Show();
  Pump();
  files->SetFileEdit(edit);
  files->SetMask("*.avi");
  struct Case { std::string text, dir, mask, file, edit; };
  const std::vector<Case> cases = {
      {"*.mp4", videos, "*.mp4", "", "*.mp4"},                        // a pattern: the mask, same folder
      {"movie.mp4", videos, "*.mp4", videos + "/movie.mp4", "movie.mp4"},  // a listed file is selected
      {"notes.txt", videos, "notes.txt", videos + "/notes.txt", "notes.txt"},  // hidden by the mask: becomes it
      {"sub", videos + "/sub", "notes.txt", "", "notes.txt"},        // a folder: entered
      {videos + "/a:b.avi", videos, "a:b.avi", videos + "/a:b.avi", "a:b.avi"},
      {usb + "/photos/*.JPG", usb + "/photos", "*.JPG", "", "*.JPG"},  // another volume, with a pattern
      {usb + "/photos/p.jpg", usb + "/photos", "*.JPG", usb + "/photos/p.jpg", "p.jpg"},
  };
  for (const Case& c : cases) {
    files->ApplyFilePath(c.text);
    EXPECT_EQ(c.dir, files->Directory()) << c.text;
    EXPECT_EQ(c.dir, Cwd()) << c.text;
    EXPECT_EQ(c.mask, files->Mask()) << c.text;
    EXPECT_EQ(c.file, files->FileName()) << c.text;
    EXPECT_EQ(c.edit, edit->Text()) << c.text;
  }
}

TEST_F(FileCtrlTest, FilterComboTypesAndAPureMask) {
  form = NewForm(50, 50, 300, 400);
  files = Make<TkxSkinFileListBox>(form, "files", 10, 40, 260, 300);
  filter = Make<TkxSkinFilterComboBox>(form, "filter", 10, 10, 260, 22);
  filter->SetFileList(files);
  form->Show();
  Pump();
  // The default: one type, everything.
  EXPECT_EQ((std::vector<std::string>{"All files (*.*)"}), ItemsOf(filter->Items()));
  EXPECT_EQ("*.*", filter->Mask());
  EXPECT_EQ(0, filter->ItemIndex());
  // A final description without a mask is dropped.
  filter->SetFilter("Videos|*.avi;*.mp4|Text|*.txt|Dangling");
  EXPECT_EQ((std::vector<std::string>{"Videos", "Text"}), ItemsOf(filter->Items()));
  EXPECT_EQ("*.avi;*.mp4", files->Mask());
  // Choosing the second type by the keyboard re-lists the file list.
  filter->SetFocus();
  Pump();
  headless::PressKey(VK_DOWN);
  Pump();
  EXPECT_EQ(1, filter->ItemIndex());
  EXPECT_EQ("*.txt", files->Mask());
  EXPECT_EQ((std::vector<std::string>{"notes.txt"}), ItemsOf(files->Items()));
  // A filter that differs only in letter case is not taken.
  filter->SetFilter("VIDEOS|*.AVI;*.MP4|TEXT|*.TXT|DANGLING");
  EXPECT_EQ("Videos", filter->Items()->Get(0));
  // With nothing chosen, reading the mask answers the last type's and changes nothing.
  int changes = 0;
  filter->OnChange = [&](TObject*) { ++changes; };
  filter->SetItemIndex(-1);
  changes = 0;
  EXPECT_EQ("*.txt", filter->Mask());
  EXPECT_EQ(-1, filter->ItemIndex());
  EXPECT_EQ(0, changes);
  // No types at all: everything.
  filter->SetFilter("no bars here");
  EXPECT_EQ(0, filter->Items()->Count());
  EXPECT_EQ("*.*", filter->Mask());
}

TEST_F(FileCtrlTest, LinkedControlsDrivenByClicksAndKeysToAFileName) {
  MakeLinked();
  EXPECT_EQ(videos, dirs->Directory());
  EXPECT_EQ(videos, files->Directory());
  EXPECT_EQ((std::vector<std::string>{"2.mp4", "10.mp4", "a:b.avi", "Clip.AVI", "clip.avi", "movie.mp4", "视频.mp4",
                                      "文档.avi"}),
            ItemsOf(files->Items()));
  // The label shows the folder, shortened to its width.
  EXPECT_NE(videos, label->Caption());
  TBitmap measure;
  measure.SetSize(1, 1);
  measure.Canvas()->Font()->Assign(label->DefaultFont());
  EXPECT_LE(measure.Canvas()->TextWidth(label->Caption()), 230);
  EXPECT_EQ("Videos", label->Caption().substr(label->Caption().size() - 6));

  // Into "sub", then back up, by double clicks.
  const int32_t sub = dirs->Items()->IndexOf("sub");
  DoubleClickItem(dirs, sub);
  EXPECT_EQ(videos + "/sub", files->Directory());
  DoubleClickItem(dirs, dirs->ItemIndex() - 1);
  EXPECT_EQ(videos, files->Directory());

  // Over to the stick: its root first, then a folder there, then back to "/" and to the stick
  // again, which returns to the folder last left there.
  PickFromCombo(drives, 1);
  EXPECT_EQ(usb, drives->Drive());
  EXPECT_EQ(usb, dirs->Directory());
  EXPECT_EQ(usb, files->Directory());
  DoubleClickItem(dirs, dirs->Items()->IndexOf("photos"));
  EXPECT_EQ(usb + "/photos", files->Directory());
  PickFromCombo(drives, 0);
  EXPECT_EQ("/", drives->Drive());
  EXPECT_EQ(videos, dirs->Directory());
  PickFromCombo(drives, 1);
  EXPECT_EQ(usb + "/photos", dirs->Directory());
  // The file list's filter hides the photo; "All files" shows it, and a click picks it.
  EXPECT_EQ(0, files->Items()->Count());
  PickFromCombo(filter, 1);
  ASSERT_EQ((std::vector<std::string>{"p.jpg"}), ItemsOf(files->Items()));
  ClickItem(files, 0);
  EXPECT_EQ(usb + "/photos/p.jpg", files->FileName());
  EXPECT_EQ("p.jpg", edit->Text());
  EXPECT_EQ(usb + "/photos", Cwd());

  // A typed path moves every control.
  files->SetFileName(videos + "/movie.mp4");
  EXPECT_EQ("/", drives->Drive());
  EXPECT_EQ(videos, dirs->Directory());
  EXPECT_EQ(videos + "/movie.mp4", files->FileName());
}

TEST_F(FileCtrlTest, ReadFromAFormDescriptionLinked) {
  RegisterSkinFileCtrlFormClasses();
  const std::string text =
      "object Form1: TForm\n"
      "  object drives: TkxSkinDriveComboBox\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 200\n"
      "    DirList = dirs\n"
      "    TextCase = tcUpperCase\n"
      "  end\n"
      "  object dirs: TkxSkinDirectoryListBox\n"
      "    Left = 8\n"
      "    Top = 40\n"
      "    Height = 150\n"
      "    FileList = files\n"
      "  end\n"
      "  object files: TkxSkinFileListBox\n"
      "    Left = 220\n"
      "    Top = 40\n"
      "    Height = 150\n"
      "    FileType = [kxftNormal, kxftDirectory]\n"
      "    Mask = '*.mp4'\n"
      "  end\n"
      "  object filter: TkxSkinFilterComboBox\n"
      "    Left = 220\n"
      "    Top = 200\n"
      "    FileList = files\n"
      "    Filter = 'MP4|*.mp4|AVI|*.avi'\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(owner.get());
  f->SetBorderStyle(bsNone);
  ReadFormDescription(f, text, "files.dfm");
  auto* d = dynamic_cast<TkxSkinDriveComboBox*>(f->FindComponent("drives"));
  auto* l = dynamic_cast<TkxSkinDirectoryListBox*>(f->FindComponent("dirs"));
  auto* fl = dynamic_cast<TkxSkinFileListBox*>(f->FindComponent("files"));
  auto* fc = dynamic_cast<TkxSkinFilterComboBox*>(f->FindComponent("filter"));
  ASSERT_TRUE(d && l && fl && fc);
  EXPECT_EQ(l, d->DirList());
  EXPECT_EQ(d, l->DriveCombo());
  EXPECT_EQ(fl, l->FileList());
  EXPECT_EQ(fl, fc->FileList());
  EXPECT_EQ(145, l->Width());
  EXPECT_EQ((TkxFileType{kxftNormal, kxftDirectory}), fl->FileType());
  EXPECT_EQ(tcUpperCase, d->TextCase());
  f->Show();
  Pump();
  EXPECT_EQ("*.mp4", fl->Mask());
  EXPECT_EQ("2.mp4", fl->Items()->Get(0));  // the mask applies to folders too
  EXPECT_EQ(fl->Items()->Count() - 1, fl->Items()->IndexOf("视频.mp4"));
  // Freeing a linked control clears the links to it.
  delete l;
  EXPECT_EQ(nullptr, d->DirList());
  EXPECT_EQ(nullptr, fl->DirList());
}

// Paths far longer than the old 260-character buffers are neither cut nor emptied.
TEST_F(FileCtrlTest, LongPathsAreKeptWhole) {
  std::string deep = videos;
  for (int i = 0; i < 30; ++i) deep += "/folder-with-a-long-name-" + std::to_string(i);
  fs::create_directories(deep);
  WriteText(deep + "/视频.mp4", "x");
  ASSERT_GT(deep.size(), 800u);
  MakeLinked();
  files->SetFileName(deep + "/视频.mp4");
  EXPECT_EQ(deep, dirs->Directory());
  EXPECT_EQ(deep, Cwd());
  EXPECT_EQ(deep + "/视频.mp4", files->FileName());
  EXPECT_EQ("视频.mp4", edit->Text());
  // The chain holds every folder, the current one selected, and each ancestor's path is whole.
  const int32_t current = dirs->ItemIndex();
  EXPECT_EQ("folder-with-a-long-name-29", dirs->Items()->Get(current));
  EXPECT_EQ(deep.substr(0, deep.rfind('/')), dirs->GetItemPath(current - 1));
  // The label shows the end of it, shortened to fit.
  EXPECT_EQ("/.../folder-with-a-long-name-29", label->Caption());
}

// The four linked controls on a plain form in the light and dark skins and the plain look,
// written to dialogs/filectrls-*.png in the build folder for a person to look at.
TEST_F(FileCtrlTest, PicturesOfTheLinkedControls) {
  headless::SetMonitors({{{0, 0, 1400, 1000}, {0, 0, 1400, 1000}, true}});
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "dialogs";
  fs::create_directories(dir);
  for (int n : {-1, 0, 1}) {
    std::unique_ptr<TkxSkinData> sd;
    if (n >= 0) {
      sd = std::make_unique<TkxSkinData>(nullptr);
      skinlint::LoadGeneratedSkin(n, *sd);
      ASSERT_FALSE(sd->Empty);
    }
    fs::current_path(videos);
    MakeLinked();
    form->SetBounds(0, 0, 520, 300);
    if (sd) {
      form->SetColor(sd->SkinColors()->cBtnFace());
      for (TkxSkinControl* c : std::initializer_list<TkxSkinControl*>{drives, dirs, files, filter}) c->SetSkinData(sd.get());
      label->SetSkinData(sd.get());
    }
    drives->ListBox()->SetSkinData(sd.get());
    filter->ListBox()->SetSkinData(sd.get());
    files->SetFileName("movie.mp4");
    Pump();
    int sw = 0, sh = 0;
    const std::vector<uint32_t> screen = headless::ComposeScreen(&sw, &sh);
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(form->Width(), form->Height());
    for (int y = 0; y < form->Height(); ++y) {
      auto* row = static_cast<uint8_t*>(b.ScanLine(y));
      for (int x = 0; x < form->Width(); ++x) {
        const uint32_t p = screen[size_t(y) * size_t(sw) + size_t(x)];
        row[3 * x] = p & 255, row[3 * x + 1] = (p >> 8) & 255, row[3 * x + 2] = (p >> 16) & 255;
      }
    }
    TPngImage png;
    png.Assign(&b);
    const fs::path file = dir / (n < 0 ? std::string("filectrls-plain.png") : "filectrls-kxSkin" + std::to_string(n) + ".png");
    png.SaveToFile(file.string());
    EXPECT_TRUE(fs::exists(file));
    // The controls go before their skin data.
    owner = std::make_unique<TComponent>(nullptr);
    Pump();
  }
}

}  // namespace
