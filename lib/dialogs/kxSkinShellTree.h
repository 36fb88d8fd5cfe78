#pragma once
// The skinned shell folder tree: one root node (the desktop by default, a special folder or a
// path) whose children come from the shell the first time a node expands, with the shell's names
// and icons, its context menu on a right click, renaming by label editing and an optional
// change notifier on the selected folder.
//
// Every node owns one TkxShellFolder in its Data. Siblings are in the shell's order (virtual
// items first, then the name order of base/NameOrder.h). Names beginning with "." are listed
// only when ObjectTypes holds otHidden.
//
// User-interface thread only; the notifier's worker reaches the tree through RefreshSelected,
// handed over to this thread.
#include <functional>
#include <memory>
#include <string>

#include "lib/controls/kxSkinTreeView.h"
#include "lib/dialogs/kxSkinShellCtrls.h"

class TCustomImageList;
class TkxCustomShellListView;
class TkxCustomShellComboBox;

using TAddFolderEvent = std::function<void(TObject* Sender, TkxShellFolder* AFolder, bool& CanAdd)>;

class TkxCustomShellTreeView : public TkxSkinCustomTreeView, public IShellVerbHandler {
public:
  explicit TkxCustomShellTreeView(TComponent* AOwner);
  ~TkxCustomShellTreeView() override;

  void Loaded() override;
  void WndProc(TMessage& Message) override;
  void ChangeSkinData() override;

  // Rebuilds Node's subtree from the shell, keeping the expanded nodes, the selection and the
  // top row where the shell still lists them.
  void Refresh(TTreeNode* Node);
  // Refresh of the selected node (the notifier's change method).
  void RefreshSelected();
  // Selects and expands Computer.
  void ExpandMyComputer();
  TkxShellFolder* SelectedFolder() const;
  // The selected folder's parsing name ("" with nothing selected).
  std::string Path() const;
  // Selects the node of a path (expanding its ancestors); EInvalidPath for a path the shell
  // cannot parse, with the tree unchanged. The last path that worked is shown again whenever
  // the window is made anew.
  void SetPath(const std::string& Value);
  // The path the window shows again when it is made anew ("" for the root).
  const std::string& StoredPath() const { return FPath; }
  // A root name ("rfDesktop", any letter case) or a path. A bad one puts the previous root back
  // and raises "Error setting path: "%s"".
  const TRoot& Root() const { return FRoot; }
  void SetRoot(const TRoot& Value);
  TShellObjectTypes ObjectTypes() const { return FObjectTypes; }
  virtual void SetObjectTypes(TShellObjectTypes Value);
  bool AutoContextMenus() const { return FAutoContext; }
  void SetAutoContextMenus(bool Value) { FAutoContext = Value; }
  bool UseShellImages() const { return FUseShellImages; }
  void SetUseShellImages(bool Value);
  // Keeps a change notifier on the selected folder; a change rebuilds the selected node.
  bool AutoRefresh() const { return FAutoRefresh; }
  void SetAutoRefresh(bool Value);
  // Whether a notifier watches now.
  bool Watching() const;
  // Selects the node of an absolute list, expanding the ancestors found on the way; clears the
  // selection when the list cannot be reached.
  void SelectByAbsoluteID(PCItemIDList ID);
  // The linked file list and look-in box: each shows the folder the others move to. Linking
  // gives the other control this tree's Root.
  TkxCustomShellListView* ShellListView() const { return FListView; }
  void SetShellListView(TkxCustomShellListView* Value);
  TkxCustomShellComboBox* ShellComboBox() const { return FComboBox; }
  void SetShellComboBox(TkxCustomShellComboBox* Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  void ExecuteCommand(const std::string& Verb, bool& Handled) override;
  void CommandCompleted(const std::string& Verb, bool Succeeded) override;

  TAddFolderEvent OnAddFolder;

protected:
  friend class TkxCustomShellListView;
  friend class TkxCustomShellComboBox;
  void CreateWnd() override;
  void DestroyWnd() override;
  void GetImageIndex(TTreeNode* Node) override;
  void GetSelectedIndex(TTreeNode* Node) override;
  bool CanChange(TTreeNode* Node) override;
  bool CanExpand(TTreeNode* Node) override;
  void Edit(TTreeNode* Node, bool Cancelled, const std::string& Text) override;
  void Delete(TTreeNode* Node) override;
  virtual void ClearNodes();

  static TkxShellFolder* ItemOf(const TTreeNode* Node) {
    return Node ? static_cast<TkxShellFolder*>(Node->Data()) : nullptr;
  }

private:
  void CreateRoot();
  void RootChanged();
  void PopulateNode(TTreeNode* Node);
  void AddFolderNode(TTreeNode* Node, PCItemIDList RelativeID, TTreeNode* ParentNode);
  TTreeNode* FindNodeByID(PCItemIDList ID, TTreeNode* StartNode);
  // Whether the nodes show an image list given from outside (then its queries fire).
  bool OwnImages() const;
  // The shell's small icons as the tree's pictures, over the tree's colour.
  void ApplyShellImages();
  bool ShowsShellImages() const { return FUseShellImages && !OwnImages(); }

  std::string FPath;
  TRoot FRoot;
  TRoot FOldRoot;
  std::unique_ptr<TkxShellFolder> FRootFolder;
  TShellObjectTypes FObjectTypes{otFolders};
  bool FLoadingRoot = false;
  bool FAutoContext = true;
  bool FUpdating = false;
  bool FAutoRefresh = false;
  bool FUseShellImages = true;
  TkxShellChangeNotifier* FNotifier = nullptr;  // owned as a component
  std::string FSavePath;
  bool FSavedPath = false;
  TTreeNode* FNodeToMonitor = nullptr;
  TCustomImageList* FShellImages = nullptr;  // owned as a component
  TkxCustomShellListView* FListView = nullptr;
  TkxCustomShellComboBox* FComboBox = nullptr;
};

class TkxSkinDirTreeView : public TkxCustomShellTreeView {
public:
  explicit TkxSkinDirTreeView(TComponent* AOwner) : TkxCustomShellTreeView(AOwner) {}
};
