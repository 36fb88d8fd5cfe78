#pragma once
// The look-in box of the file dialogs: a skinned drop-down list of folders of the shell namespace:
// a root, the root's child folders (with the desktop as root, Computer's volumes below Computer),
// and the chain of folders from the nearest listed one down to the folder shown. Each item has
// its system icon and, in the drop-down list, an indent by its depth. Choosing an item moves the
// linked file list; when the list moves by itself it tells the box, which shows the new chain.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lib/controls/kxSkinComboBox.h"
#include "lib/dialogs/kxSkinShellCtrls.h"

class TkxCustomShellListView;
class TkxCustomShellTreeView;

// One folder of the box.
struct TkxItemEx {
  std::string Caption;
  std::unique_ptr<TkxShellFolder> Data;
  int32_t Indent = 0;
  int32_t ImageIndex = -1;
  int32_t SelectedImageIndex = 0;
};

class TkxItemsEx {
public:
  int32_t Count() const { return int32_t(FItems.size()); }
  // The item at Index; nullptr outside the collection.
  TkxItemEx* Items(int32_t Index) const;
  TkxItemEx* Add();
  // Inserts before Index (clamped to 0..Count).
  TkxItemEx* Insert(int32_t Index);
  TkxItemEx* AddItem(const std::string& ACaption, int32_t AImageIndex, int32_t ASelectedIndex, int32_t AIndent,
                     std::unique_ptr<TkxShellFolder> AFolder);
  void Clear() { FItems.clear(); }
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate() { --FUpdateCount; }
  int32_t UpdateCount() const { return FUpdateCount; }

private:
  std::vector<std::unique_ptr<TkxItemEx>> FItems;
  int32_t FUpdateCount = 0;
};

class TkxCustomShellComboBox : public TkxSkinCustomComboBox {
public:
  explicit TkxCustomShellComboBox(TComponent* AOwner);
  ~TkxCustomShellComboBox() override;

  TkxItemsEx* ItemsEx() const { return FItemsEx.get(); }
  // The selected folder's parsing name ("" when nothing is selected); setting parses a path and
  // shows it (EInvalidPath), without telling the linked list.
  std::string Path();
  void SetPath(const std::string& Value);
  const TRoot& Root() const { return FRoot; }
  void SetRoot(const TRoot& Value);
  TShellObjectTypes ObjectTypes() const { return FObjectTypes; }
  virtual void SetObjectTypes(TShellObjectTypes Value);
  TkxCustomShellListView* ShellListView() const { return FListView; }
  // The linked folder tree (linked from the tree's side).
  TkxCustomShellTreeView* ShellTreeView() const { return FTreeView; }
  void SetShellListView(TkxCustomShellListView* Value);
  TkxShellFolder* RootFolder() const { return FRootFolder.get(); }
  int32_t ImageWidth() const { return FImageWidth; }

  // The linked list moved to the folder of ID.
  void FolderIDChanged(PCItemIDList ID);
  // The folder of the item at Index (past the end: the last item; nullptr without items or for a
  // negative index).
  TkxShellFolder* FolderAt(int32_t Index) const;
  // The highest item showing the folder of ID, -1 when none does.
  int32_t IndexOfID(PCItemIDList ID) const;

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Click() override;

protected:
  friend class TkxCustomShellListView;
  friend class TkxCustomShellTreeView;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Change() override;
  virtual void FillItems();

private:
  void RebuildItems();
  void ShowFolderID(PCItemIDList ID);
  void ResetRoot();
  void ClearItems();
  void SyncCaptions();
  void InsertChildren(int32_t Index, TkxShellFolder* Folder);
  std::unique_ptr<TkxShellFolder> CreateChildFolder(TkxShellFolder* Parent, PCItemIDList ID) const;
  void InsertChainItem(int32_t Index, std::unique_ptr<TkxShellFolder> Folder);
  int32_t ShellImageIndex(TkxShellFolder* Folder) const;
  void SetUseShellImages(bool Value);
  void DrawItem(TCanvas* Cnvs, int32_t Index, const TRect& TxtRect, int32_t Indent);

  std::unique_ptr<TkxItemsEx> FItemsEx;
  win::HIMAGELIST FImages = nullptr;
  int32_t FImageHeight = 16, FImageWidth = 16;
  TRoot FOldRoot;
  TRoot FRoot = "rfDesktop";
  std::unique_ptr<TkxShellFolder> FRootFolder;
  TkxCustomShellListView* FListView = nullptr;
  TkxCustomShellTreeView* FTreeView = nullptr;  // set by the tree's link
  TShellObjectTypes FObjectTypes{otFolders};
  bool FUseShellImages = true;
  bool FUpdating = false;
};

class TkxSkinShellComboBox : public TkxCustomShellComboBox {
public:
  explicit TkxSkinShellComboBox(TComponent* AOwner) : TkxCustomShellComboBox(AOwner) {}
};
