#include "lib/dialogs/kxfilectrl.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <system_error>

#include <fmt/format.h>

#include "base/NameOrder.h"
#include "base/Text.h"
#include "classlib/EditCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Streaming.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/graphics/kxUtils.h"
#include "platform/shell/Environment.h"

namespace {

// ---- the current directory and the folders remembered per volume ------------------------------

std::string CurrentDir() {
  std::string buf(256, '\0');
  for (;;) {
    if (::getcwd(buf.data(), buf.size())) return std::string(buf.c_str());
    if (errno != ERANGE) return {};
    buf.resize(buf.size() * 2);
  }
}

bool ChangeDir(const std::string& Path) { return !Path.empty() && ::chdir(Path.c_str()) == 0; }

[[noreturn]] void RaiseCannotEnter(const std::string& Path, int Err) {
  throw EInOutError(fmt::format("Cannot open the folder \"{}\": {}", Path, std::generic_category().message(Err)));
}

// Back to a saved current directory when the scope ends, when that folder still exists.
struct CwdRestore {
  std::string Saved;
  ~CwdRestore() {
    if (FolderExists(Saved)) ChangeDir(Saved);
  }
};

std::map<std::string, std::string>& VolumeFolders() {
  static std::map<std::string, std::string> folders;  // the user-interface thread's only
  return folders;
}

void RememberFolder(const std::string& Dir) {
  const std::string v = VolumeOfPath(Dir);
  if (!v.empty()) VolumeFolders()[v] = Dir;
}

// Moves the current directory onto a control's folder for the time of one change, and back
// where it was unless the change completes: relative texts resolve against the folder shown.
struct OnFolder {
  explicit OnFolder(const std::string& Folder) : Saved(CurrentDir()) {
    if (FolderExists(Folder)) ChangeDir(Folder);
  }
  ~OnFolder() {
    if (!Done && FolderExists(Saved)) ChangeDir(Saved);
  }
  std::string Saved;
  bool Done = false;
};

// Enters Path (resolved against Base when Base exists) and answers the new current directory;
// on failure the current directory is back where it was and EInOutError is raised.
std::string EnterFolder(const std::string& Base, const std::string& Path) {
  const std::string saved = CurrentDir();
  if (FolderExists(Base)) ChangeDir(Base);
  if (Path.empty() || ::chdir(Path.c_str()) != 0) {
    const int err = Path.empty() ? ENOENT : errno;
    if (FolderExists(saved)) ChangeDir(saved);
    RaiseCannotEnter(Path, err);
  }
  std::string now = CurrentDir();
  RememberFolder(now);
  return now;
}

bool RegularFileExists(const std::string& Name) {
  struct stat st;
  return !Name.empty() && ::stat(Name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool HasWildcards(const std::string& S) { return S.find_first_of("*?") != std::string::npos; }

const win::shell::Volume* FindVolume(const std::string& MountPoint) {
  for (const win::shell::Volume& v : win::shell::Volumes())
    if (v.mountPoint == MountPoint) return &v;
  return nullptr;
}

std::string InCase(const std::string& S, TTextCase Case) { return Case == tcUpperCase ? UpperCase(S) : LowerCase(S); }

std::unique_ptr<TBitmap> LoadGlyph(const char* Name) {
  auto b = std::make_unique<TBitmap>();
  b->LoadFromResourceName(0, Name);
  b->SetTransparent(true);
  return b;
}

// Draws a glyph with its bottom-left pixel's colour transparent.
void DrawGlyph(TCanvas* C, TBitmap* B, int32_t X, int32_t Y) {
  if (B && !B->Empty()) C->Draw(X, Y, B);
}

template <typename T>
void Relink(TComponent* Self, T*& Field, T* Value) {
  if (Field == Value) return;
  if (Field) Field->RemoveFreeNotification(Self);
  Field = Value;
  if (Value) Value->FreeNotification(Self);
}

int32_t CodePointLength(const std::string& S, size_t At) {
  const int n = Utf8SequenceLength(S, At);
  return n > 0 ? n : 1;
}

unsigned char Fold(unsigned char C) { return C >= 'A' && C <= 'Z' ? C + 32 : C; }

}  // namespace

// ---- path routines ----------------------------------------------------------------------------

bool FolderExists(const std::string& Path) {
  struct stat st;
  return !Path.empty() && ::stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string AppendPathPart(const std::string& Path, const std::string& Part) {
  if (!Path.empty() && Path.back() == '/') return Path + Part;
  return Path + "/" + Part;
}

void DropFirstFolder(std::string& S) {
  if (S == "/") {
    S.clear();
    return;
  }
  const bool lead = !S.empty() && S.front() == '/';
  if (lead) S.erase(0, 1);
  // Only the exact marker of an earlier step goes: a folder may well begin with ".".
  if (S.compare(0, 4, ".../") == 0) S.erase(0, 4);
  const size_t slash = S.find('/');
  if (slash != std::string::npos) S = ".../" + S.substr(slash + 1);
  else S.clear();
  if (lead) S.insert(0, "/");
}

std::string ShortenPath(const std::string& FileName, TCanvas* Canvas, int32_t MaxLen) {
  std::string result = FileName;
  const size_t slash = FileName.rfind('/');
  std::string dir = slash == std::string::npos ? std::string() : FileName.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? FileName : FileName.substr(slash + 1);
  while (!dir.empty()) {
    if (Canvas->TextWidth(result) <= MaxLen) break;
    if (dir == "/.../") dir = ".../";
    else DropFirstFolder(dir);
    result = dir + name;
  }
  return result;
}

std::string DriveVolumeLabel(const std::string& Drive, TTextCase Case) {
  const win::shell::Volume* v = FindVolume(Drive);
  return "[" + (v ? InCase(v->label, Case) : std::string()) + "]";
}

std::string DriveDisplayName(const std::string& Drive, TTextCase Case) {
  const win::shell::Volume* v = FindVolume(Drive);
  if (v && v->kind == win::shell::DriveKind::Remote && !v->source.empty()) return InCase(v->source, Case);
  return DriveVolumeLabel(Drive, Case);
}

int32_t CountBackslashes(const std::string& S) { return int32_t(std::count(S.begin(), S.end(), '/')); }

std::string VolumeOfPath(const std::string& Path) {
  if (Path.empty() || Path.front() != '/') return {};
  const win::shell::Volume* v = win::shell::VolumeOf(win::shell::NormalizePath(Path));
  return v ? v->mountPoint : std::string("/");
}

std::string VolumeFolder(const std::string& Drive) {
  auto it = VolumeFolders().find(Drive);
  if (it != VolumeFolders().end() && FolderExists(it->second)) return it->second;
  return Drive;
}

bool FileMaskMatches(const std::string& Pattern, const std::string& Name) {
  if (Pattern == "*" || Pattern == "*.*") return true;
  size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
  while (n < Name.size()) {
    if (p < Pattern.size() && Pattern[p] == '?') {
      n += CodePointLength(Name, n);
      ++p;
    } else if (p < Pattern.size() && Pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < Pattern.size() && Fold(Pattern[p]) == Fold(Name[n])) {
      ++p;
      ++n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      starN += CodePointLength(Name, starN);
      n = starN;
    } else {
      return false;
    }
  }
  while (p < Pattern.size() && Pattern[p] == '*') ++p;
  return p == Pattern.size();
}

void SplitEditPath(const std::string& EditText, std::string& Drive, std::string& DirPart, std::string& FilePart) {
  const std::string saveDir = CurrentDir();
  Drive = VolumeOfPath(saveDir);
  DirPart = EditText;
  FilePart.clear();
  if (DirPart.size() >= 2 && DirPart.front() == '[' && DirPart.back() == ']') DirPart = DirPart.substr(1, DirPart.size() - 2);
  CwdRestore restore{saveDir};
  const size_t slash = DirPart.rfind('/');
  FilePart = slash == std::string::npos ? DirPart : DirPart.substr(slash + 1);
  if (slash == 0) DirPart = "/";
  else if (slash != std::string::npos) DirPart.erase(slash);
  else DirPart = saveDir.empty() ? "/" : saveDir;
  if (!DirPart.empty() && ::chdir(DirPart.c_str()) != 0) RaiseCannotEnter(DirPart, errno);
  if (!FilePart.empty() && !HasWildcards(FilePart) && !RegularFileExists(FilePart)) {
    if (::chdir(FilePart.c_str()) != 0) RaiseCannotEnter(FilePart, errno);
    DirPart = DirPart.size() == 1 ? "/" + FilePart : DirPart + "/" + FilePart;
    FilePart.clear();
  }
  Drive = VolumeOfPath(CurrentDir());
}

// ---- drive combo box --------------------------------------------------------------------------

TkxSkinDriveComboBox::TkxSkinDriveComboBox(TComponent* AOwner) : TkxSkinComboBox(AOwner) {
  OnChange = [this](TObject* Sender) { DriveComboChange(Sender); };
  auto draw = [this](TCanvas* C, int32_t I, int32_t W, int32_t H, TRect R, TOwnerDrawState S) {
    DrawDriveItem(C, I, W, H, R, S);
  };
  OnComboBoxDrawItem = draw;
  SetOnListBoxDrawItem(draw);
  FloppyBMP = LoadGlyph("KX_FLOPPY");
  FixedBMP = LoadGlyph("KX_HARD");
  NetworkBMP = LoadGlyph("KX_NETWORK");
  CDROMBMP = LoadGlyph("KX_CDROM");
  RAMBMP = LoadGlyph("KX_RAM");
  FDrive = VolumeOfPath(CurrentDir());
}

TkxSkinDriveComboBox::~TkxSkinDriveComboBox() {
  SetDirList(nullptr);
  // The drawing hooks capture this control.
  OnComboBoxDrawItem = nullptr;
  SetOnListBoxDrawItem(nullptr);
}

void TkxSkinDriveComboBox::SetDirList(TkxSkinDirectoryListBox* Value) {
  if (FDirList == Value) return;
  if (FDirList) FDirList->FDriveCombo = nullptr;
  Relink<TkxSkinDirectoryListBox>(this, FDirList, Value);
  if (Value) Value->FDriveCombo = this;
}

void TkxSkinDriveComboBox::Notification(TComponent* AComponent, TOperation Operation) {
  TkxSkinComboBox::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDirList) FDirList = nullptr;
}

void TkxSkinDriveComboBox::SetTextCase(TTextCase Value) {
  FTextCase = Value;
  const std::string old = FDrive;
  BuildDriveList();
  SetDrive(old);
}

void TkxSkinDriveComboBox::BuildDriveList() {
  Items()->Clear();
  FVolumes.clear();
  // Only the mount table is read: a dead server behind a remote volume cannot stall the list.
  for (const win::shell::Volume& v : win::shell::Volumes()) {
    std::string text;
    TBitmap* glyph = nullptr;
    switch (v.kind) {
      case win::shell::DriveKind::Removable: text = v.mountPoint, glyph = FloppyBMP.get(); break;
      case win::shell::DriveKind::Fixed:
        text = v.mountPoint + " " + DriveVolumeLabel(v.mountPoint, FTextCase), glyph = FixedBMP.get();
        break;
      case win::shell::DriveKind::Remote:
        text = v.mountPoint + " " + DriveDisplayName(v.mountPoint, FTextCase), glyph = NetworkBMP.get();
        break;
      case win::shell::DriveKind::Cdrom:
        text = v.mountPoint + " " + DriveVolumeLabel(v.mountPoint, FTextCase), glyph = CDROMBMP.get();
        break;
      case win::shell::DriveKind::Ram:
        text = v.mountPoint + " " + DriveVolumeLabel(v.mountPoint, FTextCase), glyph = RAMBMP.get();
        break;
    }
    Items()->AddObject(text, glyph);
    FVolumes.push_back(v.mountPoint);
  }
}

void TkxSkinDriveComboBox::SetDrive(const std::string& NewDrive) {
  // Any path stands for the volume holding it.
  std::string drive = NewDrive.empty() || FindVolume(NewDrive) ? NewDrive : VolumeOfPath(NewDrive);
  if (ItemIndex() >= 0 && drive == FDrive) return;
  FDrive = drive;
  int32_t index = -1;
  if (!drive.empty())
    for (size_t i = 0; i < FVolumes.size(); ++i)
      if (FVolumes[i] == drive) {
        index = int32_t(i);
        break;
      }
  if (index != ItemIndex()) SetItemIndex(index);
  if (FDirList) FDirList->DriveChanged(FDrive);
  Change();
}

void TkxSkinDriveComboBox::DriveComboChange(TObject*) {
  const int32_t i = ItemIndex();
  if (i >= 0 && i < int32_t(FVolumes.size())) SetDrive(FVolumes[size_t(i)]);
}

void TkxSkinDriveComboBox::CreateWnd() {
  TkxSkinComboBox::CreateWnd();
  BuildDriveList();
  SetDrive(FDrive);
}

void TkxSkinDriveComboBox::Loaded() {
  TkxSkinComboBox::Loaded();
  if (ComponentState().Contains(csDesigning)) {
    FDrive = VolumeOfPath(CurrentDir());
    BuildDriveList();
    SetDrive(FDrive);
  }
}

void TkxSkinDriveComboBox::DrawDriveItem(TCanvas* Cnvs, int32_t Index, int32_t, int32_t, TRect TxtRect,
                                         TOwnerDrawState) {
  if (Index < 0 || Index >= Items()->Count()) return;
  auto* glyph = dynamic_cast<TBitmap*>(Items()->GetObject(Index));
  int32_t w = 0;
  if (glyph && !glyph->Empty()) {
    w = glyph->Width();
    DrawGlyph(Cnvs, glyph, TxtRect.left, (TxtRect.top + TxtRect.bottom - glyph->Height()) / 2);
  }
  Cnvs->Brush()->SetStyle(bsClear);
  const int32_t y = TxtRect.top + RectHeight(TxtRect) / 2 - Cnvs->TextHeight("Wg") / 2;
  const int saved = SaveDC(Cnvs->Handle());
  IntersectClipRect(Cnvs->Handle(), TxtRect.left, TxtRect.top, TxtRect.right, TxtRect.bottom);
  Cnvs->TextOut(TxtRect.left + w + 6, y, Items()->Get(Index));
  RestoreDC(Cnvs->Handle(), saved);
}

// ---- directory list box -----------------------------------------------------------------------

TkxSkinDirectoryListBox::TkxSkinDirectoryListBox(TComponent* AOwner) : TkxSkinListBox(AOwner) {
  OnDrawItem = [this](TCanvas* C, int32_t I, int32_t W, int32_t H, TRect R, TOwnerDrawState S) {
    DrawDirItem(C, I, W, H, R, S);
  };
  SetWidth(145);
  SetSorted(false);
  LoadFolderGlyphs();
  FDirectory = CurrentDir();
}

TkxSkinDirectoryListBox::~TkxSkinDirectoryListBox() {
  OnDrawItem = nullptr;
  if (FDriveCombo) FDriveCombo->SetDirList(nullptr);
  SetFileList(nullptr);
  SetDirLabel(nullptr);
}

void TkxSkinDirectoryListBox::LoadFolderGlyphs() {
  ClosedBMP = LoadGlyph("KX_CLOSEDFOLDER");
  OpenedBMP = LoadGlyph("KX_OPENFOLDER");
  CurrentBMP = LoadGlyph("KX_CURRENTFOLDER");
}

void TkxSkinDirectoryListBox::SetFileList(TkxSkinFileListBox* Value) {
  if (FFileList == Value) return;
  if (FFileList) FFileList->FDirList = nullptr;
  Relink<TkxSkinFileListBox>(this, FFileList, Value);
  if (Value) Value->FDirList = this;
}

void TkxSkinDirectoryListBox::SetDirLabel(TkxSkinStdLabel* Value) {
  Relink<TkxSkinStdLabel>(this, FDirLabel, Value);
  UpdateDirLabel();
}

void TkxSkinDirectoryListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TkxSkinListBox::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FFileList) FFileList = nullptr;
  if (AComponent == FDirLabel) FDirLabel = nullptr;
  if (AComponent == FDriveCombo) FDriveCombo = nullptr;
}

std::string TkxSkinDirectoryListBox::Drive() const { return VolumeOfPath(FDirectory); }

void TkxSkinDirectoryListBox::SetDrive(const std::string& Value) {
  if (Value.empty() || Value == Drive()) return;
  GoToDirectory(VolumeFolder(Value));
}

std::string TkxSkinDirectoryListBox::DisplayCase(const std::string& S) const {
  return FPreserveCase || FCaseSensitive ? S : LowerCase(S);
}

int TkxSkinDirectoryListBox::FileCompareText(const std::string& A, const std::string& B) const {
  if (FCaseSensitive) return A.compare(B);
  return CompareText(A, B);
}

void TkxSkinDirectoryListBox::RebuildItems() {
  FStopUpDateHScrollBar = true;
  Items()->BeginUpdate();
  Items()->Clear();
  // The volume's case rules come from its file-system type in the mount table, so a remote
  // volume is not asked.
  const std::string drive = VolumeOfPath(FDirectory);
  FCaseSensitive = true, FPreserveCase = true;
  if (const win::shell::Volume* v = FindVolume(drive)) {
    const std::string& t = v->fsType;
    if (t == "vfat" || t == "msdos" || t == "exfat" || t == "ntfs" || t == "ntfs3" || t == "fuseblk")
      FCaseSensitive = false;
  }
  // The chain: the root, then each folder down to the current one.
  if (FDirectory == "/" || FDirectory.empty()) {
    Items()->AddObject("/", CurrentBMP.get());
  } else {
    std::vector<std::string> parts;
    size_t at = 0;
    while (at <= FDirectory.size()) {
      const size_t slash = FDirectory.find('/', at);
      parts.push_back(FDirectory.substr(at, slash == std::string::npos ? std::string::npos : slash - at));
      if (slash == std::string::npos) break;
      at = slash + 1;
    }
    if (!parts.empty() && parts.back().empty()) parts.pop_back();  // a trailing "/"
    for (size_t i = 0; i + 1 < parts.size(); ++i)
      Items()->AddObject(i == 0 ? parts[0] + "/" : parts[i], OpenedBMP.get());
    Items()->AddObject(parts.size() == 1 ? parts[0] + "/" : parts.back(), CurrentBMP.get());
  }
  FSelIndex = Items()->Count() - 1;
  // The subfolders, without hidden ones.
  std::vector<std::pair<std::string, std::string>> subs;
  if (DIR* d = ::opendir(FDirectory.c_str())) {
    while (dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name.empty() || name[0] == '.') continue;
      bool dir = e->d_type == DT_DIR;
      if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
        struct stat st;
        dir = ::stat(AppendPathPart(FDirectory, name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
      }
      if (dir) subs.emplace_back(NameSortKey(name), name);
    }
    ::closedir(d);
  }
  std::sort(subs.begin(), subs.end());
  for (const auto& s : subs) Items()->AddObject(s.second, ClosedBMP.get());
  Items()->EndUpdate();
  FStopUpDateHScrollBar = false;
  if (ListBox->HandleAllocated()) {
    SetItemIndex(FSelIndex);
    UpDateScrollBar();
  }
}

void TkxSkinDirectoryListBox::GoToDirectory(const std::string& NewDirectory) {
  if (NewDirectory.empty() || FileCompareText(NewDirectory, FDirectory) == 0) return;
  OnFolder on(FDirectory);
  std::string drive, dirPart, filePart;
  SplitEditPath(NewDirectory, drive, dirPart, filePart);
  // A relative folder was found from this list's folder; a change of volume moves that.
  if (!dirPart.empty() && dirPart.front() != '/') dirPart = AppendPathPart(FDirectory, dirPart);
  if (drive != Drive()) {
    FInSetDir = true;
    try {
      if (FDriveCombo) FDriveCombo->SetDrive(drive);
      else DriveChanged(drive);
    } catch (...) {
      FInSetDir = false;
      throw;
    }
    FInSetDir = false;
  }
  EnterDirectory(dirPart);
  on.Done = true;
}

void TkxSkinDirectoryListBox::DriveChanged(const std::string& NewDrive) {
  if (NewDrive.empty() || NewDrive == Drive()) return;
  const std::string saved = CurrentDir();
  if (ChangeDir(VolumeFolder(NewDrive))) {
    FDirectory = CurrentDir();
    RememberFolder(FDirectory);
  } else if (FolderExists(saved)) {
    ChangeDir(saved);
  }
  if (!FInSetDir) {
    RebuildItems();
    DirectoryChanged();
  }
}

void TkxSkinDirectoryListBox::EnterDirectory(const std::string& Path) {
  FDirectory = EnterFolder(FDirectory, Path);
  RebuildItems();
  DirectoryChanged();
}

void TkxSkinDirectoryListBox::DirectoryChanged() {
  if (FFileList) FFileList->ChangeDirectory(FDirectory);
  UpdateDirLabel();
  if (OnChange) OnChange(this);
}

void TkxSkinDirectoryListBox::UpdateDirLabel() {
  if (!FDirLabel) return;
  const int32_t width = FDirLabel->AutoSize() ? Width() : FDirLabel->Width();
  // Measured in the font the label draws with, on a canvas of our own: the label's canvas
  // measures nothing until its form has been shown.
  TBitmap measure;
  measure.SetSize(1, 1);
  TFont* f = measure.Canvas()->Font();
  f->Assign(FDirLabel->UseSkinFont() ? FDirLabel->DefaultFont() : FDirLabel->Font());
  FDirLabel->GetSkinData();
  if (FDirLabel->Index() >= 0 && FDirLabel->UseSkinFont()) {
    f->SetName(FDirLabel->SkinValues().FontName);
    f->SetStyle(FDirLabel->SkinValues().FontStyle);
    f->SetHeight(FDirLabel->SkinValues().FontHeight);
  }
  FDirLabel->SetCaption(ShortenPath(FDirectory, measure.Canvas(), width));
}

std::string TkxSkinDirectoryListBox::GetItemPath(int32_t Index) {
  if (Index < 0 || Index >= Items()->Count()) return {};
  if (Index == 0) return "/";
  TObject* kind = Items()->GetObject(Index);
  if (kind == ClosedBMP.get()) return AppendPathPart(FDirectory, Items()->Get(Index));
  if (kind == CurrentBMP.get()) return FDirectory;
  // An ancestor: the path up to its (Index + 1)-th "/".
  size_t at = 0;
  for (int32_t k = 0; k <= Index; ++k) {
    at = FDirectory.find('/', k == 0 ? 0 : at + 1);
    if (at == std::string::npos) return FDirectory;
  }
  return FDirectory.substr(0, at);
}

void TkxSkinDirectoryListBox::OpenCurrent() { SetDirectory(GetItemPath(ItemIndex())); }

void TkxSkinDirectoryListBox::Update() {
  RebuildItems();
  DirectoryChanged();
}

void TkxSkinDirectoryListBox::ListBoxDblClick() {
  TkxSkinListBox::ListBoxDblClick();
  OpenCurrent();
}

void TkxSkinDirectoryListBox::ListBoxKeyPress(uint32_t& Key) {
  TkxSkinListBox::ListBoxKeyPress(Key);
  if (Key == 13) OpenCurrent();
}

void TkxSkinDirectoryListBox::ListBoxCreateWnd() {
  TkxSkinListBox::ListBoxCreateWnd();
  RebuildItems();
  // The current folder's item, wherever the chain puts it.
  SetItemIndex(FSelIndex);
}

void TkxSkinDirectoryListBox::Loaded() {
  TkxSkinListBox::Loaded();
  if (ComponentState().Contains(csDesigning)) {
    FDirectory = CurrentDir();
    RebuildItems();
  }
}

// Chain items step in by 4 pixels each; the subfolders sit one step below the current folder.
int32_t TkxSkinDirectoryListBox::ItemIndent(int32_t Index) {
  if (Items()->GetObject(Index) == ClosedBMP.get()) return (FSelIndex + 1) * 4 + 2;
  return Index * 4 + 2;
}

int32_t TkxSkinDirectoryListBox::GetItemWidth(int32_t Index, TCanvas* C) {
  if (Index < 0 || Index >= Items()->Count()) return 0;
  const int32_t text = C->TextWidth(Items()->Get(Index));
  auto* glyph = dynamic_cast<TBitmap*>(Items()->GetObject(Index));
  if (glyph && !glyph->Empty()) return text + glyph->Width() + ItemIndent(Index) + 4;
  return text + Index * 4 + 22;
}

void TkxSkinDirectoryListBox::DrawDirItem(TCanvas* Cnvs, int32_t Index, int32_t, int32_t, TRect TxtRect,
                                          TOwnerDrawState) {
  if (Index < 0 || Index >= Items()->Count()) return;
  const int32_t indent = ItemIndent(Index);
  const int32_t scroll = ListBox->FHorizontalExtentValue;
  auto* glyph = dynamic_cast<TBitmap*>(Items()->GetObject(Index));
  int32_t w = 16;
  if (glyph && !glyph->Empty()) {
    w = glyph->Width();
    DrawGlyph(Cnvs, glyph, TxtRect.left + indent - scroll, (TxtRect.top + TxtRect.bottom - glyph->Height()) / 2);
  }
  Cnvs->Brush()->SetStyle(bsClear);
  const int saved = SaveDC(Cnvs->Handle());
  IntersectClipRect(Cnvs->Handle(), TxtRect.left, TxtRect.top, TxtRect.right, TxtRect.bottom);
  TextRectVCenteredIndent(Cnvs, Items()->Get(Index), TxtRect, w + indent - scroll + 4);
  RestoreDC(Cnvs->Handle(), saved);
}

// ---- file list box ----------------------------------------------------------------------------

TkxSkinFileListBox::TkxSkinFileListBox(TComponent* AOwner) : TkxSkinListBox(AOwner) {
  SetWidth(145);
  FDirectory = CurrentDir();
  SetMultiSelect(false);
  // The list is kept in the name order by the rebuild, which sorts before it adds (the list's
  // own sorting knows no pinyin).
  SetSorted(false);
}

TkxSkinFileListBox::~TkxSkinFileListBox() {
  if (FDirList) FDirList->SetFileList(nullptr);
  if (FFilterCombo) FFilterCombo->SetFileList(nullptr);
  SetFileEdit(nullptr);
}

void TkxSkinFileListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TkxSkinListBox::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FFileEdit) FFileEdit = nullptr;
  if (AComponent == FDirList) FDirList = nullptr;
  if (AComponent == FFilterCombo) FFilterCombo = nullptr;
}

std::string TkxSkinFileListBox::Drive() const { return VolumeOfPath(FDirectory); }

void TkxSkinFileListBox::SetDrive(const std::string& Value) {
  if (Value.empty() || Value == Drive()) return;
  ApplyFilePath(VolumeFolder(Value));
}

void TkxSkinFileListBox::SetFileEdit(TCustomEdit* Value) {
  Relink<TCustomEdit>(this, FFileEdit, Value);
  if (FFileEdit) {
    const std::string sel = SelectedName();
    FFileEdit->SetText(sel.empty() ? FMask : sel);
  }
}

void TkxSkinFileListBox::SetFileType(TkxFileType Value) {
  if (Value == FFileType) return;
  FFileType = Value;
  RebuildFileItems();
}

void TkxSkinFileListBox::SetMask(const std::string& Value) {
  if (Value == FMask) return;
  FMask = Value;
  RebuildFileItems();
}

void TkxSkinFileListBox::RebuildFileItems() {
  if (!ListBox->HandleAllocated()) return;
  constexpr uint32_t kReadOnly = 1, kHidden = 2, kSystem = 4, kVolume = 8, kDirectory = 16, kArchive = 32;
  uint32_t attrMask = 0;
  const uint32_t bits[] = {kReadOnly, kHidden, kSystem, kVolume, kDirectory, kArchive, 0};
  for (int a = kxftReadOnly; a <= kxftNormal; ++a)
    if (FFileType.Contains(TkxFileAttr(a))) attrMask |= bits[a];
  // Entering first: a folder that cannot be entered keeps the items.
  if (!ChangeDir(FDirectory)) RaiseCannotEnter(FDirectory, errno);
  TCursor saved = Screen ? Screen->Cursor() : crDefault;
  struct CursorRestore {
    TCursor c;
    ~CursorRestore() {
      if (Screen) Screen->SetCursor(c);
    }
  } restore{saved};

  std::vector<std::string> parts;
  for (size_t at = 0;;) {
    const size_t semi = FMask.find(';', at);
    parts.push_back(FMask.substr(at, semi == std::string::npos ? std::string::npos : semi - at));
    if (semi == std::string::npos) break;
    at = semi + 1;
  }
  // One pass over the folder; an entry matching several patterns is listed once. Only
  // folders and regular files are listed: FIFOs, sockets and devices never.
  std::vector<std::pair<std::string, std::string>> found;
  if (DIR* d = ::opendir(".")) {
    while (dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (std::none_of(parts.begin(), parts.end(), [&](const std::string& p) { return FileMaskMatches(p, name); }))
        continue;
      bool dir = e->d_type == DT_DIR, reg = e->d_type == DT_REG;
      if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
        struct stat st;
        if (::stat(name.c_str(), &st) == 0) dir = S_ISDIR(st.st_mode), reg = S_ISREG(st.st_mode);
      }
      if (!dir && !reg) continue;
      uint32_t attrs = 0;
      if (dir) attrs |= kDirectory;
      else attrs |= kArchive;  // every regular file counts as archived
      if (name[0] == '.' && name != "." && name != "..") attrs |= kHidden;
      if ((attrMask & kReadOnly) && ::access(name.c_str(), W_OK) != 0) attrs |= kReadOnly;
      // The search skips what has a hidden or folder bit the mask does not ask for.
      if (attrs & (kHidden | kSystem | kVolume | kDirectory) & ~attrMask) continue;
      if (!FFileType.Contains(kxftNormal) && !(attrs & attrMask)) continue;
      const std::string text = dir ? "[" + name + "]" : name;
      found.emplace_back(NameSortKey(text), text);
    }
    ::closedir(d);
  }
  std::sort(found.begin(), found.end());
  if (found.size() > 100 && Screen) Screen->SetCursor(crHourGlass);
  Items()->BeginUpdate();
  Items()->Clear();
  for (const auto& f : found) Items()->Add(f.second);
  Items()->EndUpdate();
  SelectionChanged();
}

void TkxSkinFileListBox::ListBoxClick() {
  TkxSkinListBox::ListBoxClick();
  if (ItemIndex() != FLastSel) SelectionChanged();
}

void TkxSkinFileListBox::SelectionChanged() {
  FLastSel = ItemIndex();
  if (FFileEdit) {
    const std::string sel = SelectedName();
    FFileEdit->SetText(sel.empty() ? FMask : sel);
    FFileEdit->SelectAll();
  }
  if (OnChange) OnChange(this);
}

std::string TkxSkinFileListBox::SelectedName() {
  const int32_t i = ItemIndex();
  if (i >= 0 && Items()->Count() > 0 && i < Items()->Count() && Selected(i)) return Items()->Get(i);
  return {};
}

void TkxSkinFileListBox::SelectName(const std::string& Name) {
  const std::string current = SelectedName();
  const bool sensitive = !FDirList || FDirList->CaseSensitive();
  if (sensitive ? Name == current : CompareText(Name, current) == 0) return;
  // The exact name first: on a case-sensitive volume "a.txt" and "A.txt" are two files.
  int32_t found = -1;
  for (int32_t i = 0; i < Items()->Count() && found < 0; ++i)
    if (Items()->Get(i) == Name) found = i;
  for (int32_t i = 0; i < Items()->Count() && found < 0; ++i)
    if (CompareText(Items()->Get(i), Name) == 0) found = i;
  SetItemIndex(found);
  SelectionChanged();
}

std::string TkxSkinFileListBox::CurrentFileName() {
  const std::string sel = SelectedName();
  return sel.empty() ? std::string() : AppendPathPart(FDirectory, sel);
}

void TkxSkinFileListBox::ChangeDirectory(const std::string& NewDir) {
  if (NewDir == FDirectory) return;
  FDirectory = EnterFolder(FDirectory, NewDir);
  RebuildFileItems();
}

void TkxSkinFileListBox::ApplyFilePath(const std::string& EditText) {
  if (EditText.empty() || EditText == CurrentFileName()) return;
  OnFolder on(FDirectory);
  std::string drive, dirPart, filePart;
  SplitEditPath(EditText, drive, dirPart, filePart);
  if (FDirList) FDirList->SetDirectory(EditText);
  else ChangeDirectory(dirPart);
  on.Done = true;
  if (HasWildcards(filePart)) {
    SetMask(filePart);
  } else if (!filePart.empty()) {
    SelectName(filePart);
    if (RegularFileExists(AppendPathPart(FDirectory, filePart)) && ItemIndex() < 0) {
      SetMask(filePart);
      SelectName(filePart);
    }
  }
}

void TkxSkinFileListBox::Update() { RebuildFileItems(); }

void TkxSkinFileListBox::ListBoxCreateWnd() {
  TkxSkinListBox::ListBoxCreateWnd();
  RebuildFileItems();
}

void TkxSkinFileListBox::Loaded() {
  TkxSkinListBox::Loaded();
  if (ComponentState().Contains(csDesigning)) {
    FDirectory = CurrentDir();
    RebuildFileItems();
  }
}

// ---- filter combo box -------------------------------------------------------------------------

TkxSkinFilterComboBox::TkxSkinFilterComboBox(TComponent* AOwner)
    : TkxSkinComboBox(AOwner), FMaskList(std::make_unique<TStringList>()) {}

TkxSkinFilterComboBox::~TkxSkinFilterComboBox() { SetFileList(nullptr); }

void TkxSkinFilterComboBox::SetFileList(TkxSkinFileListBox* Value) {
  if (FFileList == Value) return;
  if (FFileList) FFileList->FFilterCombo = nullptr;
  Relink<TkxSkinFileListBox>(this, FFileList, Value);
  if (Value) Value->FFilterCombo = this;
}

void TkxSkinFilterComboBox::Notification(TComponent* AComponent, TOperation Operation) {
  TkxSkinComboBox::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFileList) FFileList = nullptr;
}

void TkxSkinFilterComboBox::BuildFilterLists() {
  Items()->Clear();
  FMaskList->Clear();
  std::string s = FFilter;
  size_t bar;
  while ((bar = s.find('|')) != std::string::npos) {
    const std::string description = s.substr(0, bar);
    s.erase(0, bar + 1);
    std::string mask;
    const size_t next = s.find('|');
    if (next == std::string::npos) {
      mask = s;
      s.clear();
    } else {
      mask = s.substr(0, next);
      s.erase(0, next + 1);
    }
    Items()->Add(description);
    FMaskList->Add(mask);
  }
  SetItemIndex(Items()->Count() > 0 ? 0 : -1);
}

void TkxSkinFilterComboBox::SetFilter(const std::string& Value) {
  if (CompareText(Value, FFilter) == 0) return;
  FFilter = Value;
  if (HandleAllocated()) BuildFilterLists();
  Change();
}

std::string TkxSkinFilterComboBox::Mask() {
  const int32_t n = FMaskList->Count();
  if (n == 0) return "*.*";
  const int32_t i = ItemIndex();
  return i >= 0 && i < n ? FMaskList->Get(i) : FMaskList->Get(n - 1);
}

void TkxSkinFilterComboBox::Change() {
  if (FFileList) FFileList->SetMask(Mask());
  TkxSkinComboBox::Change();
}

void TkxSkinFilterComboBox::Click() {
  TkxSkinComboBox::Click();
  Change();
}

void TkxSkinFilterComboBox::CreateWnd() {
  TkxSkinComboBox::CreateWnd();
  BuildFilterLists();
}

// ---- streaming --------------------------------------------------------------------------------

void RegisterSkinFileCtrlFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterSkinControlFormClasses();
  RegisterFormClass<TkxSkinDriveComboBox, TkxSkinComboBox>("TkxSkinDriveComboBox")
      .Reference<TkxSkinDirectoryListBox>("DirList", &TkxSkinDriveComboBox::SetDirList)
      .Enum<TTextCase>("TextCase", &TkxSkinDriveComboBox::SetTextCase,
                       {{"tcLowerCase", tcLowerCase}, {"tcUpperCase", tcUpperCase}});
  RegisterFormClass<TkxSkinDirectoryListBox, TkxSkinListBox>("TkxSkinDirectoryListBox")
      .Reference<TkxSkinStdLabel>("DirLabel", &TkxSkinDirectoryListBox::SetDirLabel)
      .Reference<TkxSkinFileListBox>("FileList", &TkxSkinDirectoryListBox::SetFileList)
      .Event<TNotifyEvent>("OnChange", &TkxSkinDirectoryListBox::OnChange);
  RegisterFormClass<TkxSkinFileListBox, TkxSkinListBox>("TkxSkinFileListBox")
      .Reference<TCustomEdit>("FileEdit", &TkxSkinFileListBox::SetFileEdit)
      .Set<TkxFileAttr>("FileType", &TkxSkinFileListBox::SetFileType,
                        {{"kxftReadOnly", kxftReadOnly}, {"kxftHidden", kxftHidden}, {"kxftSystem", kxftSystem},
                         {"kxftVolumeID", kxftVolumeID}, {"kxftDirectory", kxftDirectory},
                         {"kxftArchive", kxftArchive}, {"kxftNormal", kxftNormal}})
      .String("Mask", &TkxSkinFileListBox::SetMask)
      .Event<TNotifyEvent>("OnChange", &TkxSkinFileListBox::OnChange);
  RegisterFormClass<TkxSkinFilterComboBox, TkxSkinComboBox>("TkxSkinFilterComboBox")
      .Reference<TkxSkinFileListBox>("FileList", &TkxSkinFilterComboBox::SetFileList)
      .String("Filter", &TkxSkinFilterComboBox::SetFilter);
}
