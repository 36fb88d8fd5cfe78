#pragma once
// The skinned file-system controls and the path routines they share: a volume combo box
// (TkxSkinDriveComboBox), a folder list (TkxSkinDirectoryListBox), a file list
// (TkxSkinFileListBox) and a file-type combo box (TkxSkinFilterComboBox). They link to each
// other: volume combo -> folder list -> file list (and a label), filter combo -> file list,
// file list -> edit.
//
// Paths are POSIX: "/" separates folders and ":" is an ordinary character. A volume (a mount
// point of the shell's Volumes()) takes the place of a drive letter: a `Drive` is the volume's
// mount path ("" for none), and each volume remembers the last folder entered on it. Listing
// the volumes reads only the mount table, so no remote volume is touched. A name beginning with
// "." is hidden (never "." and ".."); FIFOs, sockets and device nodes are never listed. Masks
// ("*.avi;*.mp4") ignore letter case, and "*" and "*.*" match every name; file names do not
// ignore case on case-sensitive volumes. Lists are in the name order of base/NameOrder.h.
//
// User-interface thread only: the controls move the process's current directory onto the
// folder they show, and a folder that cannot be entered raises EInOutError with the current
// directory and the control's Directory left as they were.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/Set.h"
#include "base/StringList.h"
#include "lib/controls/kxSkinComboBox.h"
#include "lib/controls/kxSkinListBoxes.h"

class TBitmap;
class TCanvas;
class TCustomEdit;
class TkxSkinStdLabel;
class TkxSkinDirectoryListBox;
class TkxSkinFileListBox;
class TkxSkinFilterComboBox;

enum TTextCase { tcLowerCase, tcUpperCase };

// ---- path routines ----------------------------------------------------------------------------
bool FolderExists(const std::string& Path);
// Path + "/" + Part, without doubling a trailing "/".
std::string AppendPathPart(const std::string& Path, const std::string& Part);
// Drops the first folder of a folder part, putting ".../" in its place ("/a/b/" -> "/.../b/").
void DropFirstFolder(std::string& S);
// FileName shortened folder by folder ("/.../b/name") until its text fits MaxLen on Canvas.
std::string ShortenPath(const std::string& FileName, TCanvas* Canvas, int32_t MaxLen);
// "[label]" of a volume, the label in the letter case asked; "[]" for no volume.
std::string DriveVolumeLabel(const std::string& Drive, TTextCase Case = tcLowerCase);
// The mount source of a remote volume ("server:/export"), else DriveVolumeLabel.
std::string DriveDisplayName(const std::string& Drive, TTextCase Case = tcLowerCase);
// Splits an edit's text into the volume, the folder and the name of a file or pattern,
// entering the folders on the way to check them; the current directory is back where it was
// afterwards. "[name]" (a folder item of the file list) names a folder of the current
// directory. A last component that is neither a file, a folder nor a pattern, and a folder
// that cannot be entered, raise EInOutError.
void SplitEditPath(const std::string& EditText, std::string& Drive, std::string& DirPart, std::string& FilePart);
// The number of "/" in S (the name is the class library's, from its backslash days).
int32_t CountBackslashes(const std::string& S);
// The folder each volume was last left in (its mount path until one is entered there).
std::string VolumeFolder(const std::string& Drive);
// The volume holding an absolute path ("" for a relative one).
std::string VolumeOfPath(const std::string& Path);
// Does a file name match a mask pattern? Letter case is ignored; "*" and "*.*" match all.
bool FileMaskMatches(const std::string& Pattern, const std::string& Name);

// ---- drive combo box --------------------------------------------------------------------------
class TkxSkinDriveComboBox : public TkxSkinComboBox {
public:
  explicit TkxSkinDriveComboBox(TComponent* AOwner);
  ~TkxSkinDriveComboBox() override;

  TkxSkinDirectoryListBox* DirList() const { return FDirList; }
  void SetDirList(TkxSkinDirectoryListBox* Value);
  TTextCase TextCase() const { return FTextCase; }
  void SetTextCase(TTextCase Value);
  // The selected volume's mount path; "" for none.
  const std::string& Drive() const { return FDrive; }
  void SetDrive(const std::string& NewDrive);
  // The mount path of each item, parallel to Items.
  const std::vector<std::string>& ItemVolumes() const { return FVolumes; }
  virtual void BuildDriveList();

  std::unique_ptr<TBitmap> FloppyBMP, FixedBMP, NetworkBMP, CDROMBMP, RAMBMP;

protected:
  void CreateWnd() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TkxSkinDirectoryListBox;
  void DriveComboChange(TObject* Sender);
  void DrawDriveItem(TCanvas* Cnvs, int32_t Index, int32_t ItemWidth, int32_t ItemHeight, TRect TxtRect,
                     TOwnerDrawState State);

  TkxSkinDirectoryListBox* FDirList = nullptr;
  std::string FDrive;
  TTextCase FTextCase = tcLowerCase;
  std::vector<std::string> FVolumes;
};

// ---- directory list box -----------------------------------------------------------------------
class TkxSkinDirectoryListBox : public TkxSkinListBox {
public:
  explicit TkxSkinDirectoryListBox(TComponent* AOwner);
  ~TkxSkinDirectoryListBox() override;

  TkxSkinFileListBox* FileList() const { return FFileList; }
  void SetFileList(TkxSkinFileListBox* Value);
  TkxSkinStdLabel* DirLabel() const { return FDirLabel; }
  void SetDirLabel(TkxSkinStdLabel* Value);
  TkxSkinDriveComboBox* DriveCombo() const { return FDriveCombo; }
  const std::string& Directory() const { return FDirectory; }
  void SetDirectory(const std::string& Value) { GoToDirectory(Value); }
  std::string Drive() const;
  void SetDrive(const std::string& Value);
  bool PreserveCase() const { return FPreserveCase; }
  bool CaseSensitive() const { return FCaseSensitive; }
  TNotifyEvent OnChange;

  void OpenCurrent();
  void Update();
  std::string DisplayCase(const std::string& S) const;
  int FileCompareText(const std::string& A, const std::string& B) const;
  std::string GetItemPath(int32_t Index);
  // Told by the linked volume combo when its volume changes.
  void DriveChanged(const std::string& NewDrive);

  virtual void GoToDirectory(const std::string& NewDirectory);
  virtual void DirectoryChanged();
  virtual void LoadFolderGlyphs();
  virtual void RebuildItems();

  int32_t GetItemWidth(int32_t Index, TCanvas* C) override;
  void ListBoxDblClick() override;
  void ListBoxKeyPress(uint32_t& Key) override;
  void ListBoxCreateWnd() override;

  std::unique_ptr<TBitmap> ClosedBMP, OpenedBMP, CurrentBMP;

protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TkxSkinDriveComboBox;
  friend class TkxSkinFileListBox;
  void EnterDirectory(const std::string& Path);
  void UpdateDirLabel();
  void DrawDirItem(TCanvas* Cnvs, int32_t Index, int32_t ItemWidth, int32_t ItemHeight, TRect TxtRect,
                   TOwnerDrawState State);
  int32_t ItemIndent(int32_t Index);

  TkxSkinFileListBox* FFileList = nullptr;
  TkxSkinDriveComboBox* FDriveCombo = nullptr;
  TkxSkinStdLabel* FDirLabel = nullptr;
  bool FInSetDir = false;
  bool FPreserveCase = true, FCaseSensitive = true;
  std::string FDirectory;
  int32_t FSelIndex = -1;  // the current folder's item, from the last rebuild
};

// ---- file list box ----------------------------------------------------------------------------
enum TkxFileAttr { kxftReadOnly, kxftHidden, kxftSystem, kxftVolumeID, kxftDirectory, kxftArchive, kxftNormal };
using TkxFileType = TSet<TkxFileAttr>;

class TkxSkinFileListBox : public TkxSkinListBox {
public:
  explicit TkxSkinFileListBox(TComponent* AOwner);
  ~TkxSkinFileListBox() override;

  TCustomEdit* FileEdit() const { return FFileEdit; }
  void SetFileEdit(TCustomEdit* Value);
  TkxFileType FileType() const { return FFileType; }
  void SetFileType(TkxFileType Value);
  const std::string& Mask() const { return FMask; }
  void SetMask(const std::string& Value);
  const std::string& Directory() const { return FDirectory; }
  void SetDirectory(const std::string& Value) { ApplyFilePath(Value); }
  std::string FileName() { return CurrentFileName(); }
  void SetFileName(const std::string& Value) { ApplyFilePath(Value); }
  std::string Drive() const;
  void SetDrive(const std::string& Value);
  TkxSkinDirectoryListBox* DirList() const { return FDirList; }
  TkxSkinFilterComboBox* FilterCombo() const { return FFilterCombo; }
  TNotifyEvent OnChange;

  void Update();
  // Used by the linked folder list: lists NewDir.
  void ChangeDirectory(const std::string& NewDir);
  // The selected item's text, "" when nothing is selected.
  std::string SelectedName();

  virtual void SelectionChanged();
  virtual void RebuildFileItems();
  virtual std::string CurrentFileName();
  virtual void ApplyFilePath(const std::string& EditText);

  void ListBoxClick() override;
  void ListBoxCreateWnd() override;

protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TkxSkinDirectoryListBox;
  friend class TkxSkinFilterComboBox;
  void SelectName(const std::string& Name);

  std::string FDirectory;
  std::string FMask = "*.*";
  TkxFileType FFileType{kxftNormal};
  TCustomEdit* FFileEdit = nullptr;
  TkxSkinDirectoryListBox* FDirList = nullptr;
  TkxSkinFilterComboBox* FFilterCombo = nullptr;
  int32_t FLastSel = -1;
};

// ---- filter combo box -------------------------------------------------------------------------
class TkxSkinFilterComboBox : public TkxSkinComboBox {
public:
  explicit TkxSkinFilterComboBox(TComponent* AOwner);
  ~TkxSkinFilterComboBox() override;

  const std::string& Filter() const { return FFilter; }
  void SetFilter(const std::string& Value);
  TkxSkinFileListBox* FileList() const { return FFileList; }
  void SetFileList(TkxSkinFileListBox* Value);
  // The chosen type's mask; with nothing chosen the last type's, "*.*" without types. Reading
  // it changes nothing.
  std::string Mask();
  TStringList* MaskList() { return FMaskList.get(); }

  void Click() override;

protected:
  void CreateWnd() override;
  void Change() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TkxSkinFileListBox;
  void BuildFilterLists();

  std::string FFilter = "All files (*.*)|*.*";
  TkxSkinFileListBox* FFileList = nullptr;
  std::unique_ptr<TStringList> FMaskList;
};

// Registers the four controls with the form reader (and the skinned controls they build on).
void RegisterSkinFileCtrlFormClasses();
