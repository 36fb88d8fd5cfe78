// The open, save and picture dialogs over a temporary tree with a fake home and mount table,
// driven by input played into their modal loops up to what Execute returns: the first run and
// what the next run keeps, the OK logic in open and save mode, Back and Up, new folders, the
// order of Files, typed names and patterns, hidden and non-UTF-8 names, a start folder that is
// gone, the picture preview, form descriptions naming the dialogs, the shell's skinned questions,
// and pictures of the open dialog and the picture dialog (dialogs/opendlg-*.png and
// dialogs/picturedlg-*.png in the build folder) for a person to look at.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/Files.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Menus.h"
#include "classlib/Streaming.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinEdits.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinMenuButton.h"
#include "lib/controls/kxSkinPanels.h"
#include "lib/controls/kxSkinScrollBox.h"
#include "lib/dialogs/kxSkinLookInBox.h"
#include "lib/dialogs/kxSkinMessage.h"
#include "lib/dialogs/kxSkinOpenDialog.h"
#include "lib/dialogs/kxSkinShellList.h"
#include "lib/dialogs/kxSkinShellTree.h"
#include "lib/dialogs/kxfilectrl.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"
#include "platform/backend/headless/Headless.h"
#include "platform/shell/Shell.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"
#include "tests/lib/dialogs/DialogInput.h"
#include "tests/platform/ShellTestTree.h"

namespace {

using namespace win;
namespace fs = std::filesystem;
using dlgtest::DialogInput;
using shelltest::WriteText;

TkxFileDlgForm& Form(TCustomForm& D) {
  auto* f = dynamic_cast<TkxFileDlgForm*>(&D);
  if (!f) throw Exception("not a file dialog form");
  return *f;
}

TkxOpenPictureDlgForm& PictureForm(TCustomForm& D) {
  auto* f = dynamic_cast<TkxOpenPictureDlgForm*>(&D);
  if (!f) throw Exception("not the picture dialog form");
  return *f;
}

// The row of the list showing Name, -1 when none does.
int32_t Row(TkxFileDlgForm& F, const std::string& Name) {
  for (int32_t i = 0; i < F.FileListView->FolderCount(); ++i)
    if (F.FileListView->ItemName(i) == Name) return i;
  return -1;
}

std::vector<std::string> Names(TkxFileDlgForm& F) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < F.FileListView->FolderCount(); ++i) out.push_back(F.FileListView->ItemName(i));
  return out;
}

// Clicks (or double-clicks) the row showing Name.
void ClickRow(TkxFileDlgForm& F, const std::string& Name, bool Double = false) {
  const int32_t i = Row(F, Name);
  if (i < 0) {
    ADD_FAILURE() << "no row " << Name;
    return;
  }
  F.FileListView->MakeVisible(i, false);
  DialogInput::Pump();
  const TRect r = F.FileListView->ItemRect(i, drLabel);
  const int x = r.left + 4, y = (r.top + r.bottom) / 2;
  if (Double) DialogInput::DoubleClick(F.FileListView, x, y);
  else DialogInput::Click(F.FileListView, x, y);
}

// Replaces the name box's text by typing.
void TypeName(TkxFileDlgForm& F, const std::string& Text) {
  F.FileNameEdit->SetFocus();
  F.FileNameEdit->SetText("");
  DialogInput::Type(Text);
}

std::vector<std::string> Lines(TStrings* S) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < S->Count(); ++i) out.push_back(S->Get(i));
  return out;
}

bool MakeSparse(const std::string& path, off_t size) {
  const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
  if (fd < 0) return false;
  const bool ok = ftruncate(fd, size) == 0;
  close(fd);
  return ok;
}

// A small PNG picture of W x H.
void WritePng(const std::string& Path, int W, int H) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(W, H);
  b.Canvas()->Brush()->SetColor(TColor(0x3080F0));
  b.Canvas()->FillRect(TRect{0, 0, W, H});
  b.Canvas()->Brush()->SetColor(TColor(0x20A040));
  b.Canvas()->FillRect(TRect{W / 4, H / 4, W * 3 / 4, H * 3 / 4});
  TPngImage png;
  png.Assign(&b);
  png.SaveToFile(Path);
}

class OpenDialogTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    headless::SetMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 768}, true}});
    ASSERT_FALSE(shell.root.empty());
    dir = shell.home + "/Videos/clips";
    for (const char* d : {"A/B/C", "中文", "folder.avi", ".cache"}) fs::create_directories(dir + "/" + d);
    for (const char* f : {"clip.avi", "movie.mp4", "notes.txt", "北京.avi", "中国.mp4", "2.mp4", "10.mp4",
                          ".hidden.avi", "A/a.avi", "A/B/b.avi"})
      WriteText(dir + "/" + f, "x");
    ASSERT_EQ(0, mkfifo((dir + "/pipe.avi").c_str(), 0644));
  }
  void TearDown() override {
    // Every run installs the shell's skinned questions; other tests expect none.
    RemoveSkinShellHooks();
    ControlTest::TearDown();
  }
  shelltest::Tree shell;
  std::string dir;
};

// ---- first run, next run, Cancel --------------------------------------------------------------

TEST_F(OpenDialogTest, AFirstRunOpensInTheProgramFolderAndTheNextInTheChosenFilesFolder) {
  TkxSkinOpenDialog dlg(nullptr);
  dlg.InitialDir = dir + "/gone";
  int shown = 0, closed = 0, changed = 0;
  dlg.OnShow = [&](TObject*) {
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
    TkxFileDlgForm& f = Form(d);
    EXPECT_EQ("Open file", f.Caption());
    EXPECT_EQ(450, f.ClientWidth());
    EXPECT_EQ(290, f.ClientHeight());
    EXPECT_EQ(ExtractFileDir(ExecutableDir()), f.FileListView->Path());
    EXPECT_EQ(vsList, f.FileListView->ViewStyle());
    EXPECT_TRUE(f.ListMenuItem->Checked());
    EXPECT_EQ(0, f.FilterComboBox->ItemIndex());
    EXPECT_EQ("&Open", f.OpenButton->Caption());
    EXPECT_EQ(f.FileNameEdit, f.ActiveControl());
    // The tool bar reads: look-in box, Back, Up, New folder, a spacer, the view button.
    EXPECT_LT(f.ShellBox->Left(), f.BackToolButton->Left());
    EXPECT_LT(f.BackToolButton->Left(), f.UpToolButton->Left());
    EXPECT_LT(f.UpToolButton->Left(), f.NewFolderToolButton->Left());
    EXPECT_LT(f.NewFolderToolButton->Left() + 27, f.StyleToolButton->Left());
    f.FileListView->SetPath(dir);
    f.SetListViewStyle(vsReport);
    f.SetClientWidth(520);
    f.SetClientHeight(330);
    ClickRow(f, "movie.mp4", true);
  });
  ASSERT_TRUE(dlg.Execute());
  EXPECT_EQ(dir + "/movie.mp4", dlg.FileName());
  EXPECT_EQ((std::vector<std::string>{dir + "/movie.mp4"}), Lines(dlg.Files()));
  EXPECT_EQ(1, shown);
  EXPECT_EQ(1, closed);
  EXPECT_EQ(1, changed);

  input.Then([&](TCustomForm& d) {
    TkxFileDlgForm& f = Form(d);
    EXPECT_EQ(dir, f.FileListView->Path());
    EXPECT_EQ("movie.mp4", f.FileNameEdit->Text());
    EXPECT_EQ(520, f.ClientWidth());
    EXPECT_EQ(330, f.ClientHeight());
    EXPECT_EQ(vsReport, f.FileListView->ViewStyle());
    EXPECT_TRUE(f.ReportMenuItem->Checked());
    EXPECT_FALSE(f.ListMenuItem->Checked());
    // The first row carries the focus mark.
    EXPECT_EQ(0, f.FileListView->GetNextIndex(-1, LVNI_FOCUSED));
    DialogInput::Key(VK_ESCAPE);
  });
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(dir + "/movie.mp4", dlg.FileName());
  EXPECT_EQ(1, changed);
}

TEST_F(OpenDialogTest, CancelKeepsTheChoiceButStoresTypeSizeAndView) {
  TkxSkinOpenDialog dlg(nullptr);
  dlg.Filter = "Videos|*.avi;*.mp4|MP4|*.mp4|All|*.*";
  dlg.FilterIndex = 2;
  dlg.SetFileName(dir + "/clip.avi");
  dlg.Files()->Add(dir + "/clip.avi");
  DialogInput input;
  input.Then([&](TCustomForm& d) {
    TkxFileDlgForm& f = Form(d);
    // Entry FilterIndex - 1 is chosen, and the list follows its mask.
    EXPECT_EQ(1, f.FilterComboBox->ItemIndex());
    EXPECT_EQ((std::vector<std::string>{"A", "folder.avi", "中文", "2.mp4", "10.mp4", "movie.mp4", "中国.mp4"}),
              Names(f));
    f.FilterComboBox->SetItemIndex(2);
    f.SetListViewStyle(vsSmallIcon);
    f.SetClientWidth(600);
    f.SetClientHeight(400);
    ClickRow(f, "movie.mp4");
    DialogInput::ClickCentre(f.CancelButton);
  });
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(dir + "/clip.avi", dlg.FileName());
  EXPECT_EQ((std::vector<std::string>{dir + "/clip.avi"}), Lines(dlg.Files()));
  EXPECT_EQ(3, dlg.FilterIndex);
  EXPECT_EQ(600, dlg.DialogWidth);
  EXPECT_EQ(400, dlg.DialogHeight);
  EXPECT_EQ(vsSmallIcon, dlg.ListViewStyle);
}

// A start folder that is gone falls back to InitialDir, then to the program's folder, instead
// of failing every later run.
TEST_F(OpenDialogTest, AVanishedStartFolderFallsBack) {
  struct Case {
    const char* what;
    std::string fileName, initialDir, expected;
  } cases[] = {
      {"folder gone, InitialDir there", dir + "/gone/x.avi", dir + "/A", dir + "/A"},
      {"folder gone, no InitialDir", dir + "/gone/x.avi", "", ExtractFileDir(ExecutableDir())},
      {"a name without a folder", "x.avi", dir + "/A/B", dir + "/A/B"},
      {"a file at the root", "/x.avi", "", "/"},
  };
  for (const Case& c : cases) {
    TkxSkinOpenDialog dlg(nullptr);
    dlg.SetFileName(c.fileName);
    dlg.InitialDir = c.initialDir;
    std::string shown, name;
    DialogInput input;
    input.Then([&](TCustomForm& d) {
      shown = Form(d).FileListView->Path();
      name = Form(d).FileNameEdit->Text();
      DialogInput::Key(VK_ESCAPE);
    });
    EXPECT_FALSE(dlg.Execute()) << c.what;
    EXPECT_EQ(c.expected, shown) << c.what;
    EXPECT_EQ("x.avi", name) << c.what;
  }
}

// ---- the OK logic -----------------------------------------------------------------------------

TEST_F(OpenDialogTest, OpenModeOkLogic) {
  ASSERT_TRUE(MakeSparse(dir + "/big.avi", off_t(5) << 30));
  using Input = std::function<void(TkxFileDlgForm&)>;
  struct Case {
    const char* what;
    bool checkFileExists;
    Input input;
    bool ok;
    std::string fileName;  // relative to dir
  } cases[] = {
      {"a typed name gets the first pattern's extension", true,
       [](TkxFileDlgForm& f) {
         TypeName(f, "clip");
         DialogInput::ClickCentre(f.OpenButton);
       },
       true, "clip.avi"},
      {"a typed name that does not exist does nothing", true,
       [](TkxFileDlgForm& f) {
         TypeName(f, "nothing");
         DialogInput::ClickCentre(f.OpenButton);
       },
       false, ""},
      {"without CheckFileExists a missing name is taken, completed", false,
       [](TkxFileDlgForm& f) {
         TypeName(f, "nothing");
         DialogInput::ClickCentre(f.OpenButton);
       },
       true, "nothing.avi"},
      {"the selected file wins over the typed name", true,
       [](TkxFileDlgForm& f) {
         ClickRow(f, "北京.avi");
         TypeName(f, "clip.avi");
         DialogInput::ClickCentre(f.OpenButton);
       },
       true, "北京.avi"},
      {"an emptied name box does nothing", true,
       [](TkxFileDlgForm& f) {
         ClickRow(f, "北京.avi");
         TypeName(f, "");
         DialogInput::ClickCentre(f.OpenButton);
       },
       false, ""},
      {"Enter in the name box", true,
       [](TkxFileDlgForm& f) {
         TypeName(f, "movie.mp4");
         DialogInput::Key(VK_RETURN);
       },
       true, "movie.mp4"},
      {"Enter on a selected file in the list", true,
       [](TkxFileDlgForm& f) {
         ClickRow(f, "2.mp4");
         DialogInput::Key(VK_RETURN);
       },
       true, "2.mp4"},
      {"a 5 GiB sparse file", true,
       [](TkxFileDlgForm& f) {
         ClickRow(f, "big.avi");
         DialogInput::ClickCentre(f.OpenButton);
       },
       true, "big.avi"},
      {"a FIFO typed by name is no file", false,
       [](TkxFileDlgForm& f) {
         TypeName(f, "pipe.avi");
         DialogInput::ClickCentre(f.OpenButton);
       },
       false, ""},
      {"a folder typed by name is no file", false,
       [](TkxFileDlgForm& f) {
         TypeName(f, "folder.avi");
         DialogInput::ClickCentre(f.OpenButton);
       },
       false, ""},
      {"a typed absolute path", true,
       [this](TkxFileDlgForm& f) {
         TypeName(f, dir + "/A/B/b");
         DialogInput::ClickCentre(f.OpenButton);
       },
       true, "A/B/b.avi"},
  };
  for (Case& c : cases) {
    TkxSkinOpenDialog dlg(nullptr);
    dlg.Filter = "Videos|*.avi;*.mp4";
    dlg.InitialDir = dir;
    dlg.CheckFileExists = c.checkFileExists;
    bool open = false;
    DialogInput input;
    input.Then([&](TCustomForm& d) {
      c.input(Form(d));
      open = d.ModalResult() == mrNone;
      if (open) d.SetModalResult(mrCancel);
    });
    EXPECT_EQ(c.ok, dlg.Execute()) << c.what;
    EXPECT_EQ(!c.ok, open) << c.what;
    EXPECT_EQ(c.ok ? dir + "/" + c.fileName : std::string(), dlg.FileName()) << c.what;
  }
  // The pipe was never opened: a reader would still be blocked.
  EXPECT_TRUE(fs::is_fifo(dir + "/pipe.avi"));
}

// A double click on a file chooses it, whatever CheckFileExists says; one on a folder opens it.
TEST_F(OpenDialogTest, ADoubleClickChoosesAFileEvenWhenItIsGone) {
  TkxSkinOpenDialog dlg(nullptr);
  dlg.InitialDir = dir;
  std::string shown;
  DialogInput input;
  input.Then([&](TCustomForm& d) {
    TkxFileDlgForm& f = Form(d);
    ClickRow(f, "A", true);
    shown = f.FileListView->Path();
    ClickRow(f, "a.avi");
    fs::remove(dir + "/A/a.avi");
    ClickRow(f, "a.avi", true);
  });
  EXPECT_TRUE(dlg.Execute());
  EXPECT_EQ(dir + "/A", shown);
  EXPECT_EQ(dir + "/A/a.avi", dlg.FileName());
}

// In save mode the name asked about is the name returned: the file type's extension first, then
// DefaultExt.
TEST_F(OpenDialogTest, SaveModeAsksAboutTheFileItReturns) {
  WriteText(dir + "/shot.jpg", "x");
  WriteText(dir + "/shot.bmp", "x");
  struct Case {
    const char* what;
    std::string typed;
    bool overwritePrompt;
    std::vector<TModalResult> answers;  // one per question expected
    bool ok;
    std::string fileName;
  } cases[] = {
      {"a new name gets the type's extension", "new", true, {}, true, "new.jpg"},
      {"an existing name, OK to the question", "shot", true, {mrOk}, true, "shot.jpg"},
      {"an existing name, Cancel to the question", "shot", true, {mrCancel}, false, ""},
      {"no question without the prompt", "shot", false, {}, true, "shot.jpg"},
      {"a name with its own extension keeps it", "shot.bmp", true, {mrOk}, true, "shot.bmp"},
      {"a pattern is no name", "s*", true, {}, false, ""},
      {"a folder is no file", "folder.avi", true, {}, false, ""},
  };
  for (const Case& c : cases) {
    TkxSkinSavePictureDialog dlg(nullptr);
    dlg.Filter = "JPEG|*.jpg;*.jpeg|Bitmaps|*.bmp";
    dlg.DefaultExt = "bmp";
    dlg.InitialDir = dir;
    dlg.OverwritePromt = c.overwritePrompt;
    std::vector<std::string> questions;
    bool open = false;
    DialogInput input;
    input.Then([&](TCustomForm& d) {
      TkxFileDlgForm& f = Form(d);
      EXPECT_EQ("&Save", f.OpenButton->Caption());
      TypeName(f, c.typed);
      DialogInput::ClickCentre(f.OpenButton);
      open = d.ModalResult() == mrNone;
      if (open) d.SetModalResult(mrCancel);
    });
    for (TModalResult answer : c.answers)
      input.Then([&, answer](TCustomForm& q) {
        auto* label = dynamic_cast<TkxMessageForm*>(&q);
        questions.push_back(label && label->Message ? label->Message->Caption() : std::string());
        q.SetModalResult(answer);
      });
    EXPECT_EQ(c.ok, dlg.Execute()) << c.what;
    EXPECT_EQ(c.answers.size(), questions.size()) << c.what;
    for (const std::string& q : questions) EXPECT_EQ("Do you want to overwrite old file?", q) << c.what;
    EXPECT_EQ(c.ok ? dir + "/" + c.fileName : std::string(), dlg.FileName()) << c.what;
  }
}

TEST_F(OpenDialogTest, SaveModeFileTypeChangeSwapsTheExtension) {
  TkxSkinSavePictureDialog dlg(nullptr);
  dlg.InitialDir = dir;
  dlg.FilterIndex = 2;
  std::vector<std::string> seen;
  DialogInput input;
  input.Then([&](TCustomForm& d) {
    TkxFileDlgForm& f = Form(d);
    TypeName(f, "my.bmp.shot.bmp");
    f.FilterComboBox->SetItemIndex(2);  // Icons
    seen.push_back(f.FileNameEdit->Text());
    f.FilterComboBox->SetItemIndex(0);  // All
    seen.push_back(f.FileNameEdit->Text());
    TypeName(f, "plain");
    f.FilterComboBox->SetItemIndex(1);
    seen.push_back(f.FileNameEdit->Text());
    DialogInput::ClickCentre(f.OpenButton);
  });
  ASSERT_TRUE(dlg.Execute());
  // "All" lists several patterns; the first one's extension is the type's.
  EXPECT_EQ((std::vector<std::string>{"my.bmp.shot.ico", "my.bmp.shot.bmp", "plain.bmp"}), seen);
  EXPECT_EQ(dir + "/plain.bmp", dlg.FileName());
  EXPECT_EQ(2, dlg.FilterIndex);
}

// ---- several files ----------------------------------------------------------------------------

TEST_F(OpenDialogTest, SeveralFilesComeInListOrderAndATypedNameIsTheOnlyFile) {
  struct Case {
    const char* what;
    std::function<void(TkxFileDlgForm&)> input;
    std::string fileName;
    std::vector<std::string> files;
  } cases[] = {
      {"three files with Ctrl",
       [](TkxFileDlgForm& f) {
         ClickRow(f, "movie.mp4");
         headless::KeyDown(VK_CONTROL);
         ClickRow(f, "2.mp4");
         ClickRow(f, "北京.avi");
         headless::KeyUp(VK_CONTROL);
         DialogInput::ClickCentre(f.OpenButton);
       },
       "2.mp4", {"2.mp4", "movie.mp4", "北京.avi"}},
      {"a typed name with nothing selected",
       [](TkxFileDlgForm& f) {
         TypeName(f, "clip");
         DialogInput::ClickCentre(f.OpenButton);
       },
       "clip.avi", {"clip.avi"}},
  };
  for (Case& c : cases) {
    TkxSkinOpenDialog dlg(nullptr);
    dlg.MultiSelection = true;
    dlg.Filter = "Videos|*.avi;*.mp4";
    dlg.InitialDir = dir;
    DialogInput input;
    input.Then([&](TCustomForm& d) { c.input(Form(d)); });
    ASSERT_TRUE(dlg.Execute()) << c.what;
    EXPECT_EQ(dir + "/" + c.fileName, dlg.FileName()) << c.what;
    std::vector<std::string> want;
    for (const std::string& n : c.files) want.push_back(dir + "/" + n);
    EXPECT_EQ(want, Lines(dlg.Files())) << c.what;
  }
}

// ---- moving around ----------------------------------------------------------------------------

TEST_F(OpenDialogTest, BackWalksTheHistoryAndUpIsRecorded) {
  TkxSkinOpenDialog dlg(nullptr);
  dlg.InitialDir = dir + "/A";
  std::vector<std::string> seen;
  int folderChanges = 0;
  dlg.OnFolderChange = [&](TObject* S) {
    EXPECT_NE(S, &dlg);
    ++folderChanges;
  };
  DialogInput input;
  input.Then([&](TCustomForm& d) {
    TkxFileDlgForm& f = Form(d);
    auto at = [&] { seen.push_back(f.FileListView->Path().substr(dir.size())); };
    ClickRow(f, "B", true);
    ClickRow(f, "C", true);
    // A refresh of the shown folder adds no step.
    f.FileListView->SetFocus();
    DialogInput::Key(VK_F5);
    at();
    for (int i = 0; i < 3; ++i) {
      DialogInput::ClickCentre(f.BackToolButton);
      at();
    }
    f.FileListView->SetPath(dir + "/A/B/C");
    DialogInput::ClickCentre(f.UpToolButton);
    at();
    DialogInput::ClickCentre(f.BackToolButton);
    at();
    DialogInput::Key(VK_ESCAPE);
  });
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ((std::vector<std::string>{"/A/B/C", "/A/B", "/A", "/A", "/A/B", "/A/B/C"}), seen);
  EXPECT_GT(folderChanges, 0);
}

// Back to a folder another program removed shows it empty, never another folder's entries, and
// a double click there chooses nothing.
TEST_F(OpenDialogTest, BackToAFolderThatIsGoneShowsNothing) {
  TkxSkinOpenDialog dlg(nullptr);
  dlg.InitialDir = dir + "/A/B";
  std::vector<std::string> names;
  std::string shown;
  DialogInput input;
  input.Then([&](TCustomForm& d) {
    TkxFileDlgForm& f = Form(d);
    DialogInput::ClickCentre(f.UpToolButton);
    fs::remove_all(dir + "/A/B");
    DialogInput::ClickCentre(f.BackToolButton);
    shown = f.FileListView->Path();
    names = Names(f);
    DialogInput::DoubleClick(f.FileListView, 20, 10);
    if (d.ModalResult() == mrNone) DialogInput::Key(VK_ESCAPE);
  });
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(dir + "/A/B", shown);
  EXPECT_TRUE(names.empty()) << names.size() << " entries";
}

TEST_F(OpenDialogTest, TypedPatternsAndFoldersMoveTheList) {
  TkxSkinOpenDialog dlg(nullptr);
  dlg.InitialDir = dir;
  std::vector<std::string> afterPattern;
  std::string afterFolder, afterRelative, afterMissing;
  int filterIndex = -1;
  DialogInput input;
  input.Then([&](TCustomForm& d) {
    TkxFileDlgForm& f = Form(d);
    TypeName(f, "*.mp4");
    DialogInput::Key(VK_RETURN);
    afterPattern = Names(f);
    filterIndex = f.FilterComboBox->ItemIndex();
    TypeName(f, "A/B/");
    DialogInput::Key(VK_RETURN);
    afterRelative = f.FileListView->Path();
    TypeName(f, dir + "/中文");
    DialogInput::Key(VK_RETURN);
    afterFolder = f.FileListView->Path();
    TypeName(f, dir + "/clip.avi/");
    DialogInput::Key(VK_RETURN);
    afterMissing = f.FileListView->Path();
    DialogInput::Key(VK_ESCAPE);
  });
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ((std::vector<std::string>{"A", "folder.avi", "中文", "2.mp4", "10.mp4", "movie.mp4", "中国.mp4"}),
            afterPattern);
  EXPECT_EQ(0, filterIndex);
  EXPECT_EQ(dir + "/A/B", afterRelative);
  EXPECT_EQ(dir + "/中文", afterFolder);
  EXPECT_EQ(dir + "/中文", afterMissing);
}

TEST_F(OpenDialogTest, NewFolderThenNewFolderTwoEachRenamed) {
  struct Case {
    const char* what;
    bool existing;
    std::vector<std::string> made;
  } cases[] = {
      {"a folder without them", false, {"New Folder", "New Folder(2)"}},
      {"\"New Folder\" there already", true, {"New Folder(2)"}},
  };
  for (const Case& c : cases) {
    fs::remove_all(dir + "/A/B/C");
    fs::create_directories(dir + "/A/B/C");
    if (c.existing) fs::create_directory(dir + "/A/B/C/New Folder");
    TkxSkinOpenDialog dlg(nullptr);
    dlg.InitialDir = dir + "/A/B/C";
    std::vector<std::string> editing;
    DialogInput input;
    input.Then([&](TCustomForm& d) {
      TkxFileDlgForm& f = Form(d);
      for (int i = 0; i < 2; ++i) {
        DialogInput::ClickCentre(f.NewFolderToolButton);
        if (f.FileListView->IsEditing()) {
          editing.push_back(f.FileListView->ItemName(f.FileListView->ItemIndex()));
          f.FileListView->EndEditing(false);
        }
      }
      DialogInput::Key(VK_ESCAPE);
    });
    EXPECT_FALSE(dlg.Execute());
    EXPECT_EQ(c.made, editing) << c.what;
    EXPECT_TRUE(fs::is_directory(dir + "/A/B/C/New Folder(2)")) << c.what;
    EXPECT_FALSE(fs::exists(dir + "/A/B/C/New Folder(3)")) << c.what;
  }
}

// A new-folder name from a skin's string table stays a plain name inside the folder.
TEST_F(OpenDialogTest, NewFolderRefusesANameThatLeavesTheFolder) {
  TkxSkinData sd(nullptr);
  auto* strs = new TkxResourceStrData(&sd);
  sd.SetResourceStrData(strs);
  strs->ResStrings()->Insert(0, "MSG_NEWFOLDER=../escaped");
  TkxSkinOpenDialog dlg(nullptr);
  dlg.SetCtrlSkinData(&sd);
  dlg.InitialDir = dir + "/A";
  DialogInput input;
  input.Then([&](TCustomForm& d) {
    DialogInput::ClickCentre(Form(d).NewFolderToolButton);
    DialogInput::ClickCentre(Form(d).NewFolderToolButton);
    DialogInput::Key(VK_ESCAPE);
  });
  EXPECT_FALSE(dlg.Execute());
  EXPECT_FALSE(fs::exists(dir + "/escaped"));
  EXPECT_FALSE(fs::exists(dir + "/escaped(2)"));
}

// ---- what a Linux user expects ----------------------------------------------------------------

TEST_F(OpenDialogTest, HiddenNamesShowOnlyWhenAskedAndOddBytesComeBackAsTheyAre) {
  const std::string odd = std::string("bad\xff\xfe") + ".avi";
  WriteText(dir + "/" + odd, "x");
  for (bool hidden : {false, true}) {
    TkxSkinOpenDialog dlg(nullptr);
    dlg.InitialDir = dir;
    dlg.ShowHiddenFiles = hidden;
    bool listed = false;
    DialogInput input;
    input.Then([&](TCustomForm& d) {
      TkxFileDlgForm& f = Form(d);
      listed = Row(f, ".hidden.avi") >= 0 && Row(f, ".cache") >= 0;
      ClickRow(f, odd, true);
    });
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(hidden, listed);
    EXPECT_EQ(dir + "/" + odd, dlg.FileName());
  }
}

TEST_F(OpenDialogTest, TheLookInBoxAndTheListFollowEachOther) {
  TkxSkinOpenDialog dlg(nullptr);
  dlg.InitialDir = dir + "/A/B";
  std::string boxAtStart, boxAfterUp, listAfterBox;
  DialogInput input;
  input.Then([&](TCustomForm& d) {
    TkxFileDlgForm& f = Form(d);
    boxAtStart = f.ShellBox->Path();
    DialogInput::ClickCentre(f.UpToolButton);
    boxAfterUp = f.ShellBox->Path();
    // Choosing the chain's top file-system folder in the box moves the list there.
    const int32_t i = f.ShellBox->IndexOfID(f.FileListView->RootFolder()->AbsoluteID());
    ASSERT_GT(i, 0);
    f.ShellBox->SetItemIndex(i - 1);
    listAfterBox = f.FileListView->Path();
    DialogInput::Key(VK_ESCAPE);
  });
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(dir + "/A/B", boxAtStart);
  EXPECT_EQ(dir + "/A", boxAfterUp);
  EXPECT_EQ(dir, listAfterBox);
}

// A folder tree linked to a file list and a look-in box: whichever moves, the others show its
// folder.
TEST_F(OpenDialogTest, TheTreeTheListAndTheLookInBoxFollowEachOther) {
  TForm* form = NewForm(0, 0, 640, 400);
  auto* tree = Make<TkxSkinDirTreeView>(form, "tree", 0, 0, 200, 400);
  auto* list = Make<TkxSkinFileListView>(form, "list", 200, 30, 440, 370);
  auto* box = Make<TkxSkinShellComboBox>(form, "box", 200, 0, 440, 24);
  list->SetShellComboBox(box);
  box->SetShellListView(list);
  tree->SetShellListView(list);
  tree->SetShellComboBox(box);
  EXPECT_EQ(list, tree->ShellListView());
  EXPECT_EQ(tree, list->ShellTreeView());
  EXPECT_EQ(tree, box->ShellTreeView());
  form->Show();
  Pump();
  auto paths = [&] { return std::vector<std::string>{tree->Path(), list->Path(), box->Path()}; };
  tree->SetPath(dir + "/A/B");
  Pump();
  EXPECT_EQ(std::vector<std::string>(3, dir + "/A/B"), paths()) << "the tree moved";
  list->SetPath(dir + "/中文");
  Pump();
  EXPECT_EQ(std::vector<std::string>(3, dir + "/中文"), paths()) << "the list moved";
  list->Back();
  Pump();
  EXPECT_EQ(std::vector<std::string>(3, dir), paths()) << "the list went up";
  const int32_t i = box->IndexOfID(list->RootFolder()->AbsoluteID());
  ASSERT_GT(i, 0);
  box->SetItemIndex(i - 1);
  Pump();
  EXPECT_EQ(std::vector<std::string>(3, shell.home + "/Videos"), paths()) << "the box chose";
  // A linked control that goes leaves no link behind.
  delete list;
  EXPECT_EQ(nullptr, tree->ShellListView());
  EXPECT_EQ(nullptr, box->ShellListView());
  delete box;
  EXPECT_EQ(nullptr, tree->ShellComboBox());
}

// ---- the picture dialogs ----------------------------------------------------------------------

TEST_F(OpenDialogTest, ThePictureDialogPreviewsWhatItCanAndNothingElse) {
  WritePng(dir + "/pic.png", 40, 30);
  WriteText(dir + "/broken.png", "not a picture");
  WriteText(dir + "/vector.emf", "x");
  ASSERT_EQ(0, mkfifo((dir + "/pipe.png").c_str(), 0644));
  TkxSkinOpenPictureDialog dlg(nullptr);
  dlg.Filter = "All|*.*";
  dlg.InitialDir = dir;
  struct Seen {
    std::string name;
    int w, h;
  };
  std::vector<Seen> seen;
  DialogInput input;
  input.Then([&](TCustomForm& d) {
    TkxOpenPictureDlgForm& f = PictureForm(d);
    EXPECT_EQ("Open picture", f.Caption());
    EXPECT_EQ(550, f.ClientWidth());
    EXPECT_EQ(190, f.ImagePanel->Width());
    // The stretch button stands right of the view button.
    EXPECT_LT(f.StyleToolButton->Left(), f.StretchButton->Left());
    for (const char* n : {"pic.png", "broken.png", "vector.emf", "notes.txt", "pic.png", "A"}) {
      ClickRow(f, n);
      seen.push_back({f.FileNameEdit->Text(), f.Image->Width(), f.Image->Height()});
    }
    // The pipe is not listed as a file, so it cannot be selected; loading it by hand shows
    // nothing and returns.
    f.LoadPreview(dir + "/pipe.png");
    seen.push_back({"pipe", f.Image->Width(), f.Image->Height()});
    DialogInput::Key(VK_ESCAPE);
  });
  EXPECT_FALSE(dlg.Execute());
  ASSERT_EQ(7u, seen.size());
  const Seen want[] = {{"pic.png", 40, 30}, {"broken.png", 0, 0}, {"vector.emf", 0, 0}, {"notes.txt", 0, 0},
                       {"pic.png", 40, 30}, {"", 0, 0},           {"pipe", 0, 0}};
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(want[i].name, seen[i].name) << i;
    EXPECT_EQ(want[i].w, seen[i].w) << seen[i].name;
    EXPECT_EQ(want[i].h, seen[i].h) << seen[i].name;
  }
}

TEST_F(OpenDialogTest, ThePictureDialogKeepsPaneWidthStretchAndStartsWithItsFile) {
  WritePng(shell.home + "/文档/photo.png", 64, 48);
  TkxSkinOpenPictureDialog dlg(nullptr);
  dlg.SetFileName(shell.home + "/文档/photo.png");
  bool startedDown = true;
  int startW = 0;
  std::string startFolder;
  DialogInput input;
  input
      .Then([&](TCustomForm& d) {
        TkxOpenPictureDlgForm& f = PictureForm(d);
        startedDown = f.StretchButton->Down();
        startW = f.Image->Width();
        startFolder = f.FileListView->Path();
        EXPECT_EQ("photo.png", f.FileNameEdit->Text());
        DialogInput::ClickCentre(f.StretchButton);
        EXPECT_TRUE(f.StretchButton->Down());
        EXPECT_EQ(f.ScrollBox->ClientWidth(), f.Image->Width());
        f.ImagePanel->SetWidth(230);
        DialogInput::Key(VK_ESCAPE);
      })
      .Then([&](TCustomForm& d) {
        TkxOpenPictureDlgForm& f = PictureForm(d);
        EXPECT_TRUE(f.StretchButton->Down());
        EXPECT_EQ(230, f.ImagePanel->Width());
        DialogInput::ClickCentre(f.StretchButton);
        EXPECT_EQ(64, f.Image->Width());
        DialogInput::Key(VK_ESCAPE);
      });
  EXPECT_FALSE(dlg.Execute());
  EXPECT_FALSE(startedDown);
  EXPECT_EQ(64, startW);
  EXPECT_EQ(shell.home + "/文档", startFolder);
  EXPECT_TRUE(dlg.DialogStretch);
  EXPECT_EQ(230, dlg.ImagePanelWidth);
  EXPECT_FALSE(dlg.Execute());
  EXPECT_FALSE(dlg.DialogStretch);
}

// A damaged start picture leaves the pane blank; the run goes on.
TEST_F(OpenDialogTest, ADamagedStartPictureDoesNotEndTheRun) {
  WriteText(dir + "/broken.bmp", "BM not really");
  TkxSkinOpenPictureDialog dlg(nullptr);
  dlg.SetFileName(dir + "/broken.bmp");
  DialogInput input;
  input.Then([&](TCustomForm& d) {
    EXPECT_EQ(0, PictureForm(d).Image->Width());
    DialogInput::ClickCentre(Form(d).OpenButton);
  });
  EXPECT_TRUE(dlg.Execute());
  EXPECT_EQ(dir + "/broken.bmp", dlg.FileName());
}

// ---- form descriptions ------------------------------------------------------------------------

TEST_F(OpenDialogTest, TheMainWindowsDialogsAreReadFromItsDescription) {
  RegisterSkinOpenDialogFormClasses();
  const std::string text =
      "object Form1: TForm\n"
      "  object kxSkinData1: TkxSkinData\n"
      "  end\n"
      "  object OpenDialog1: TkxSkinOpenDialog\n"
      "    Left = 100\n"
      "    Top = 8\n"
      "    SkinData = kxSkinData1\n"
      "    CtrlSkinData = kxSkinData1\n"
      "    ToolButtonsTransparent = True\n"
      "    Title = '打开文件'\n"
      "  end\n"
      "  object OpenDialog2: TkxSkinOpenDialog\n"
      "    SkinData = kxSkinData1\n"
      "    CtrlSkinData = kxSkinData1\n"
      "    ToolButtonsTransparent = True\n"
      "    MultiSelection = True\n"
      "    Title = '打开文件'\n"
      "    DefaultFont.Name = 'Arial'\n"
      "  end\n"
      "  object kxSkinOpenDialog1: TkxSkinOpenDialog\n"
      "    SkinData = kxSkinData1\n"
      "    Title = 'Open file'\n"
      "  end\n"
      "  object kxSkinSavePictureDialog1: TkxSkinSavePictureDialog\n"
      "    SkinData = kxSkinData1\n"
      "    CtrlSkinData = kxSkinData1\n"
      "    Filter = 'BMP文件 (*.bmp)|*.bmp|JPEG文件 (*jpg)|*.jpg'\n"
      "    FilterIndex = 1\n"
      "    Title = 'Save file'\n"
      "  end\n"
      "  object SavePictureDialog1: TkxSkinSavePictureDialog\n"
      "    DefaultExt = 'bmp'\n"
      "    Filter = 'Bitmaps (*.bmp)|*.bmp|JPEG Image File |*.jpg;*.jpeg'\n"
      "    Options = [ofOverwritePrompt, ofHideReadOnly, ofExtensionDifferent, ofPathMustExist, ofEnableSizing]\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(owner.get());
  ReadFormDescription(f, text, "main.dfm");
  auto* sd = dynamic_cast<TkxSkinData*>(f->FindComponent("kxSkinData1"));
  auto* o1 = dynamic_cast<TkxSkinOpenDialog*>(f->FindComponent("OpenDialog1"));
  auto* o2 = dynamic_cast<TkxSkinOpenDialog*>(f->FindComponent("OpenDialog2"));
  auto* o3 = dynamic_cast<TkxSkinOpenDialog*>(f->FindComponent("kxSkinOpenDialog1"));
  auto* s1 = dynamic_cast<TkxSkinSavePictureDialog*>(f->FindComponent("kxSkinSavePictureDialog1"));
  auto* s2 = dynamic_cast<TkxSkinSavePictureDialog*>(f->FindComponent("SavePictureDialog1"));
  ASSERT_TRUE(sd && o1 && o2 && o3 && s1 && s2);
  EXPECT_EQ("打开文件", o1->Title());
  EXPECT_EQ(sd, o1->SkinData());
  EXPECT_EQ(sd, o1->CtrlSkinData());
  EXPECT_TRUE(o1->ToolButtonsTransparent);
  EXPECT_FALSE(o1->MultiSelection);
  EXPECT_TRUE(o2->MultiSelection);
  EXPECT_EQ(nullptr, o3->CtrlSkinData());
  EXPECT_EQ("Open file", o3->Title());
  EXPECT_TRUE(s1->SaveMode());
  EXPECT_EQ("Save file", s1->Title());
  EXPECT_EQ("BMP文件 (*.bmp)|*.bmp|JPEG文件 (*jpg)|*.jpg", s1->Filter);
  EXPECT_EQ("bmp", s2->DefaultExt);
  EXPECT_TRUE(s2->OverwritePromt);
  EXPECT_TRUE(s2->Options().Contains(ofEnableSizing));
  // The skin data going clears the links.
  delete sd;
  EXPECT_EQ(nullptr, o1->SkinData());
  EXPECT_EQ(nullptr, o1->CtrlSkinData());
}

// ---- the shell's questions --------------------------------------------------------------------

TEST_F(OpenDialogTest, TheShellsDeleteQuestionAndPropertiesAreSkinnedMessages) {
  InstallSkinShellHooks(nullptr, nullptr);
  WriteText(dir + "/doomed.avi", "x");
  std::vector<std::string> texts;
  auto answer = [&](TModalResult Result) {
    return [&texts, Result](TCustomForm& q) {
      auto* m = dynamic_cast<TkxMessageForm*>(&q);
      texts.push_back(m && m->Message ? m->Message->Caption() : std::string("(not a message)"));
      q.SetModalResult(Result);
    };
  };
  bool keptAfterNo = false, goneAfterYes = false;
  TkxSkinOpenDialog dlg(nullptr);
  dlg.InitialDir = dir;
  DialogInput input;
  input
      .Then([&](TCustomForm& d) {
        TkxFileDlgForm& f = Form(d);
        ClickRow(f, "doomed.avi");
        InvokeContextMenuVerb(f.FileListView->SelectedFolder(), "delete");
        keptAfterNo = fs::exists(dir + "/doomed.avi");
        InvokeContextMenuVerb(f.FileListView->SelectedFolder(), "delete");
        goneAfterYes = !fs::exists(dir + "/doomed.avi");
        ClickRow(f, "movie.mp4");
        InvokeContextMenuVerb(f.FileListView->SelectedFolder(), "properties");
        DialogInput::Key(VK_ESCAPE);
      })
      .Then(answer(mrNo))
      .Then(answer(mrYes))
      .Then(answer(mrOk));
  EXPECT_FALSE(dlg.Execute());
  RemoveSkinShellHooks();
  EXPECT_TRUE(keptAfterNo);
  EXPECT_TRUE(goneAfterYes);
  ASSERT_EQ(3u, texts.size());
  EXPECT_EQ("Move \"doomed.avi\" to the trash?", texts[0]);
  EXPECT_NE(std::string::npos, texts[2].find("movie.mp4")) << texts[2];
}

// ---- pictures ---------------------------------------------------------------------------------

TEST_F(OpenDialogTest, PicturesOfTheOpenDialogInDetailsAndThePictureDialog) {
  const fs::path out = fs::path(OMBREL_TEST_BUILD_DIR) / "dialogs";
  fs::create_directories(out);
  WritePng(dir + "/pic.png", 150, 110);
  for (int n : {-1, 0, 1}) {
    std::unique_ptr<TkxSkinData> sd;
    if (n >= 0) {
      sd = std::make_unique<TkxSkinData>(nullptr);
      skinlint::LoadGeneratedSkin(n, *sd);
      ASSERT_FALSE(sd->Empty);
    }
    const std::string look = n < 0 ? std::string("plain") : "kxSkin" + std::to_string(n);
    for (bool picture : {false, true}) {
      std::unique_ptr<TkxCustomSkinOpenDialog> dlg;
      if (picture) dlg = std::make_unique<TkxSkinOpenPictureDialog>(nullptr);
      else dlg = std::make_unique<TkxSkinOpenDialog>(nullptr);
      dlg->SetSkinData(sd.get());
      dlg->SetCtrlSkinData(sd.get());
      dlg->ToolButtonsTransparent = true;
      dlg->SetTitle(picture ? "打开图片" : "打开文件");
      dlg->Filter = picture ? "图片 (*.png;*.bmp)|*.png;*.bmp|All|*.*" : "视频文件|*.avi;*.mp4|All|*.*";
      dlg->ListViewStyle = picture ? vsList : vsReport;
      dlg->DialogWidth = picture ? 620 : 560;
      dlg->DialogHeight = 340;
      dlg->SetFileName(dir + (picture ? "/pic.png" : "/movie.mp4"));
      const std::string name = (picture ? "picturedlg-" : "opendlg-") + look + ".png";
      bool saved = false;
      DialogInput input;
      input.Then([&](TCustomForm& d) {
        TkxFileDlgForm& f = Form(d);
        ClickRow(f, picture ? "pic.png" : "movie.mp4");
        RedrawWindow(d.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        DialogInput::Pump();
        saved = headless::SaveScreenPng((out / name).string());
        DialogInput::Key(VK_ESCAPE);
      });
      dlg->Execute();
      EXPECT_TRUE(saved) << name;
    }
  }
}

}  // namespace
