#pragma once
// The skinned select-directory dialog: a component whose Execute builds a skinned modal form
// around the shell folder tree (hidden folders listed), starts it at Directory (or at Computer)
// and, on OK, stores the chosen folder in Directory. The client size the user leaves is kept for
// the next run, whatever the result. With ShowToolBar the form has a path edit (Enter selects
// the folder typed) and a new-folder button, which acts only inside a file-system folder.
#include <memory>
#include <string>

#include "base/Component.h"
#include "classlib/Forms.h"
#include "classlib/Graphics.h"

class TkxSkinData;
class TkxVelara;
class TkxSkinPanel;
class TkxSkinScrollBar;
class TkxSkinButton;
class TkxSkinSpeedButton;
class TkxSkinEdit;
class TkxSkinDirTreeView;
class TTreeNode;

class TkxSelDirDlgForm : public TForm {
public:
  // Builds the whole form in code; ACtrlSkinData's string table (when it has one) gives the
  // captions.
  TkxSelDirDlgForm(TComponent* AOwner, TkxSkinData* ACtrlSkinData, bool AShowToolBar, bool AToolButtonsTransparent);
  ~TkxSelDirDlgForm() override;

  // A caption or name from the controls' string table, else the built-in text.
  std::string ResString(const std::string& Key, const std::string& Default) const;

  TkxSkinData* CtrlSD = nullptr;
  bool ShowToolBar = false;
  TkxVelara* VLR = nullptr;
  TkxSkinPanel* DirTreeViewPanel = nullptr;
  TkxSkinPanel* BottomPanel = nullptr;
  TkxSkinDirTreeView* DirTreeView = nullptr;
  TkxSkinScrollBar* VScrollBar = nullptr;
  TkxSkinScrollBar* HScrollBar = nullptr;
  TkxSkinButton* OkButton = nullptr;
  TkxSkinButton* CancelButton = nullptr;
  TkxSkinPanel* ToolPanel = nullptr;
  TkxSkinSpeedButton* NewFolderToolButton = nullptr;
  TkxSkinEdit* DirEdit = nullptr;

  void DirTreeViewChange(TObject* Sender, TTreeNode* Node);
  void DirEditKeyPress(TObject* Sender, uint32_t& Key);
  // Creates the string table's new folder inside the selected file-system folder and shows it
  // under the selected node; does nothing outside the file system or when it exists already.
  void NewFolderClick(TObject* Sender);
};

class TkxSkinSelectDirectoryDialog : public TComponent {
public:
  explicit TkxSkinSelectDirectoryDialog(TComponent* AOwner);
  ~TkxSkinSelectDirectoryDialog() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // True when the user closed the dialog with OK; Directory then holds the chosen folder.
  bool Execute();

  TkxSkinData* SkinData() const { return FSD; }
  void SetSkinData(TkxSkinData* Value);
  TkxSkinData* CtrlSkinData() const { return FCtrlFSD; }
  void SetCtrlSkinData(TkxSkinData* Value);
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  // The form while Execute runs, else nullptr.
  TkxSelDirDlgForm* DlgFrm() const { return FDlgFrm; }

  TNotifyEvent OnShow;
  TNotifyEvent OnClose;
  TNotifyEvent OnChange;  // after a run ended with OK
  bool ToolButtonsTransparent = false;
  int32_t DialogWidth = 0, DialogHeight = 0;  // 0 or less: 280
  int32_t DialogMinWidth = 0, DialogMinHeight = 0;
  std::string Directory;
  bool AlphaBlend = false;
  uint8_t AlphaBlendValue = 200;
  bool AlphaBlendAnimation = false;
  bool ShowToolBar = false;

private:
  TkxSkinData* FSD = nullptr;
  TkxSkinData* FCtrlFSD = nullptr;
  std::unique_ptr<TFont> FDefaultFont;
  std::string FTitle = "Select folder";
  TkxSelDirDlgForm* FDlgFrm = nullptr;
};
