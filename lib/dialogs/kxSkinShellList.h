#pragma once
// The shell file list view: the file pane of the open and save dialogs. An owner-data skinned
// list view over one folder of the shell namespace: folders first, then the files that pass a
// wildcard mask, with the system icons, detail columns in the report view, header sorts,
// type-ahead, keyboard navigation, the shell's context menu, label renaming and an optional
// refresh when the folder changes on disk.
//
// A folder of many thousand files stays quick: a fill keeps only each object's identifier, name
// and kind, all read from the enumeration itself; an object's shell item, icon and details are made
// the first time its row is shown. Header sorts read the file system once per object, not once per
// comparison.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lib/controls/kxSkinListView.h"
#include "lib/dialogs/kxSkinShellCtrls.h"

class TkxCustomShellComboBox;
class TkxCustomShellTreeView;

// Asked for every enumerated object; CanAdd false leaves it out.
using TAddFolderEvent = std::function<void(TObject* Sender, TkxShellFolder* AFolder, bool& CanAdd)>;

// Whether a file named Name passes Mask: tokens split at ";" and "|"; a token passes when it
// contains a "." and matches the name (case-insensitive "*", "?" and "[set]"), or when it is
// exactly "*". So "*.*" needs a dot in the name, and an empty mask passes nothing.
bool ShellMaskAccepts(const std::string& Mask, const std::string& Name);

class TkxCustomShellListView : public TkxSkinCustomListView, public IShellVerbHandler {
public:
  explicit TkxCustomShellListView(TComponent* AOwner);
  ~TkxCustomShellListView() override;

  // ---- properties ----
  TkxShellFolder* RootFolder() const { return FRootFolder.get(); }
  // The folder's parsing name ("" without a root folder); setting parses a path (EInvalidPath).
  std::string Path() const;
  void SetPath(const std::string& Value);
  const TRoot& Root() const { return FRoot; }
  void SetRoot(const TRoot& Value);
  const std::string& Mask() const { return FMask; }
  void SetMask(const std::string& Value);
  TShellObjectTypes ObjectTypes() const { return FObjectTypes; }
  void SetObjectTypes(TShellObjectTypes Value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool AutoContextMenus() const { return FAutoContext; }
  void SetAutoContextMenus(bool Value) { FAutoContext = Value; }
  bool AutoNavigate() const { return FAutoNavigate; }
  void SetAutoNavigate(bool Value) { FAutoNavigate = Value; }
  bool AutoRefresh() const { return FAutoRefresh; }
  void SetAutoRefresh(bool Value);
  TkxCustomShellComboBox* ShellComboBox() const { return FComboBox; }
  void SetShellComboBox(TkxCustomShellComboBox* Value);
  // The linked folder tree: each shows the folder the other moves to.
  TkxCustomShellTreeView* ShellTreeView() const { return FTreeView; }
  void SetShellTreeView(TkxCustomShellTreeView* Value);
  void SetViewStyle(TViewStyle Value);

  TAddFolderEvent OnAddFolder;
  TNotifyEvent OnPathChanged;

  // ---- operations ----
  // The parent folder (the desktop stays where it is).
  void Back();
  // Reads the folder again, keeping the selected position when it still exists.
  void Refresh();
  // Reads the shown folder again as it stands, without a folder change.
  void RebuildList();
  TkxShellFolder* SelectedFolder();
  std::string GetSelectedFile();
  // The selected files' paths in display order (folders are left out).
  void GetSelectedFiles(TStrings* AFiles);
  // Shows the folder of an absolute list unless it is shown already (the linked controls' way in).
  void NavigateToID(PCItemIDList ID);
  void OpenFolderID(PCItemIDList ID);
  // Starts renaming the selected item's label.
  void EditSelectedName();
  // The number of shown objects and the object at a position (made on first use; nullptr outside
  // the list).
  int32_t FolderCount() const { return int32_t(FFolders.size()); }
  TkxShellFolder* ItemFolder(int32_t Index);
  // The shown object's name as the list shows it, without making its shell item.
  std::string ItemName(int32_t Index) const;
  bool ItemIsFolder(int32_t Index) const;
  // The sort state of the header clicks.
  int32_t SortColumn() const { return FSortColumn; }
  bool SortDescending() const { return FSortDirection; }
  // Shell items made so far for the shown objects (rows shown, or asked for).
  int32_t MadeItemCount() const;
  TkxShellChangeNotifier* Notifier() const { return FNotifier; }

  void ExecuteCommand(const std::string& Verb, bool& Handled) override;
  void CommandCompleted(const std::string& Verb, bool Succeeded) override;

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& Message) override;
  void DblClick() override;

  // The type-ahead search over the shown names (the list control's find hook).
  int32_t FindItem(TItemFind Find, const std::string& Text, int32_t StartIndex, bool Wrap) const;
  // A header click on Column, as the list control reports it.
  void ColumnClicked(int32_t Column);

protected:
  friend class TkxCustomShellComboBox;
  friend class TkxCustomShellTreeView;
  void CreateWnd() override;
  void DestroyWnd() override;
  bool OwnerDataFetch(TListItem* Item) override;
  void ColClick(TListColumn* Column) override;
  void KeyDown(win::WORD& Key, TShiftState Shift) override;
  void Edit(TListItem* Item, std::string& S) override;
  virtual void FillFolderItems();

private:
  struct Entry {
    PItemIDList ID = nullptr;  // relative to the root folder, owned
    std::string Name;          // the shown name
    std::string Key;           // NameSortKey of Name
    bool Folder = false;       // a folder by IsFolder's rule
    int KindRank = 0;          // the shell's order of kinds
    int32_t BaseRank = 0;      // position in the base order
    std::unique_ptr<TkxShellFolder> Item;  // made on first use
    Entry() = default;
    Entry(Entry&& O) noexcept;
    Entry& operator=(Entry&& O) noexcept;
    ~Entry();
  };

  void MakeRootFolder();
  void ClearFolderItems();
  void SyncLinkedControls();
  void BuildColumns();
  bool AddDetailColumn(int Fmt, int Chars, const std::string& Caption, std::vector<std::string>& Added);
  void AddDefaultColumns(int N);
  int32_t CharWidth();
  void OrderByBase();
  void SortByColumn(int32_t Column, bool Descending);
  std::string EntryPath(const Entry& E) const;
  std::unique_ptr<TkxShellFolder> MakeItem(const Entry& E) const;
  void ShowContextMenu(TPoint P);

  int32_t FOldSortColumn = -1;
  int32_t FSortColumn = -1;
  bool FSortDirection = false;
  TRoot FOldRoot;
  TRoot FRoot = "rfDesktop";
  std::unique_ptr<TkxShellFolder> FRootFolder;
  bool FRootIsFileSystem = false;  // the root is a directory: its children are plain names
  std::string FRootPath;
  bool FAutoContext = true;
  bool FAutoRefresh = false;
  bool FAutoNavigate = true;
  bool FSorted = true;
  bool FUpdating = false;
  TShellObjectTypes FObjectTypes{otFolders, otNonFolders};
  std::unique_ptr<TCustomImageList> FLargeImages, FSmallImages;
  std::vector<Entry> FFolders;
  TkxCustomShellComboBox* FComboBox = nullptr;
  TkxCustomShellTreeView* FTreeView = nullptr;
  TkxShellChangeNotifier* FNotifier = nullptr;  // owned through the component tree
  bool FSettingRoot = false;
  std::string FSavePath;
  bool FSavedPath = false;
  std::string FMask = "*.*|*.*";
};

class TkxSkinFileListView : public TkxCustomShellListView {
public:
  explicit TkxSkinFileListView(TComponent* AOwner) : TkxCustomShellListView(AOwner) {}
};

// The system image list as the class library's image list (small 16 x 16 or large 32 x 32).
std::unique_ptr<TCustomImageList> SystemImages(bool Small);
