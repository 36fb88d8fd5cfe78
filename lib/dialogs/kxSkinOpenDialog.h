#pragma once
// The skinned open and save dialog and the picture dialogs. Each is a non-visual component whose
// Execute builds a skinned modal form in code (a tool bar with the look-in box, Back, Up, New
// folder and the view-style button; the shell file list; the name box, the file-type box, Open or
// Save and Cancel), shows it, copies the results back and frees it. The picture dialogs add a
// preview pane on the right with a stretch button.
//
// What a run leaves for the next one: FileName (start folder and name), FilterIndex, the client
// size, the view style and, in the picture dialogs, the pane width and the stretch state; all but
// FileName are kept after Cancel too.
//
// A name the user types is completed by one rule, and exactly the completed name is checked and
// returned: in open mode DefaultExt first, else the chosen file type's extension; in save mode
// the file type's extension first, else DefaultExt. A chosen file is a regular file; a FIFO or a
// device is never returned, nor opened for the preview.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/Set.h"
#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "classlib/ListViews.h"
#include "lib/dialogs/kxSkinShellCtrls.h"

class TkxSkinData;
class TkxVelara;
class TkxSkinPanel;
class TkxSkinScrollBar;
class TkxSkinScrollBox;
class TkxSkinButton;
class TkxSkinSpeedButton;
class TkxSkinMenuSpeedButton;
class TkxSkinEdit;
class TkxSkinStdLabel;
class TkxSkinToolBar;
class TkxSkinSplitter;
class TkxSkinPopupMenu;
class TkxSkinFileListView;
class TkxSkinShellComboBox;
class TkxSkinFilterComboBox;
class TMenuItem;
class TImage;

// The options of the class library's file dialogs, as form descriptions name them. The skinned
// dialogs act on ofOverwritePrompt, ofFileMustExist, ofAllowMultiSelect and ofForceShowHidden and
// keep the others.
enum TOpenOption {
  ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
  ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
  ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify,
  ofEnableSizing, ofDontAddToRecent, ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption>;

// Whether Path names a regular file (a link is followed): what the dialogs accept as a file.
bool IsRegularFile(const std::string& Path);

// ---- the forms --------------------------------------------------------------------------------

// What the open form and the picture form share: every control but the preview pane, and the
// handlers.
class TkxFileDlgForm : public TForm {
public:
  ~TkxFileDlgForm() override;

  // A caption or name from the controls' string table, else the built-in text.
  std::string ResString(const std::string& Key, const std::string& Default) const;
  // The chosen file type's extension (".avi"): none when its mask holds ".*"; else that of the
  // mask's first pattern.
  std::string FilterMaskExtension();
  // Name as it will be returned: unchanged when it has an extension, else completed by the
  // mode's rule (see the top of this file).
  std::string CompleteName(const std::string& Name);
  // The shown folder with a "/" at its end.
  std::string FolderWithSlash() const;

  bool SaveMode = false;
  std::vector<PItemIDList> FolderHistory;  // owned
  bool StopAddToHistory = false;
  TkxSkinData* CtrlSD = nullptr;
  int32_t NewFolderCount = 0;
  std::string DefaultExt;
  bool OverwritePromt = false;
  std::string FileName;
  bool CheckFileExists = true;
  TNotifyEvent OnFolderChange;

  TkxVelara* VLR = nullptr;
  TkxSkinPanel* FileListViewPanel = nullptr;
  TkxSkinPanel* BottomPanel = nullptr;
  TkxSkinScrollBar* FLVHScrollBar = nullptr;
  TkxSkinScrollBar* FLVVScrollBar = nullptr;
  TkxSkinFileListView* FileListView = nullptr;
  TkxSkinEdit* FileNameEdit = nullptr;
  TkxSkinFilterComboBox* FilterComboBox = nullptr;
  TkxSkinShellComboBox* ShellBox = nullptr;
  TkxSkinButton* OpenButton = nullptr;
  TkxSkinButton* CancelButton = nullptr;
  TkxSkinStdLabel* Drivelabel = nullptr;
  TkxSkinStdLabel* OpenFileLabel = nullptr;
  TkxSkinStdLabel* FileTypeLabel = nullptr;
  TkxSkinToolBar* ToolPanel = nullptr;
  TkxSkinSpeedButton* BackToolButton = nullptr;
  TkxSkinSpeedButton* UpToolButton = nullptr;
  TkxSkinSpeedButton* NewFolderToolButton = nullptr;
  TkxSkinMenuSpeedButton* StyleToolButton = nullptr;
  TkxSkinPopupMenu* StylePopupMenu = nullptr;
  TMenuItem* IconMenuItem = nullptr;
  TMenuItem* SmallIconMenuItem = nullptr;
  TMenuItem* ListMenuItem = nullptr;
  TMenuItem* ReportMenuItem = nullptr;

  // ---- handlers ----
  void BackToolButtonClick(TObject* Sender);
  void UpToolButtonClick(TObject* Sender);
  void NewFolderToolButtonClick(TObject* Sender);
  void SetListViewStyle(TViewStyle Style);
  virtual void FLVChange(TObject* Sender, TListItem* Item, TItemChange Change);
  void FLVPathChange(TObject* Sender);
  void FLVDBLClick(TObject* Sender);
  void FLVKeyPress(TObject* Sender, uint32_t& Key);
  void EditKeyPress(TObject* Sender, uint32_t& Key);
  void FCBChange(TObject* Sender);
  void OpenButtonClick(TObject* Sender);
  void InitHistory();
  // The selected files; the chosen name alone when it is not one of them (a typed name).
  void ChosenFiles(TStrings* Files);

protected:
  TkxFileDlgForm(TComponent* AOwner, bool ASaveMode, TkxSkinData* ACtrlSkinData);
  // Builds the controls; Anchored: the name box, file-type box and buttons follow the right edge.
  void BuildControls(bool AToolButtonsTransparent, bool Anchored);
  TkxSkinSpeedButton* AddToolButton(const char* Glyph, const std::string& Hint, int32_t Width,
                                    bool AToolButtonsTransparent);
  bool AskOverwrite();
  void AppendHistory(PCItemIDList ID);

private:
  int32_t FNextToolLeft = 10000;
};

class TkxOpenDlgForm : public TkxFileDlgForm {
public:
  TkxOpenDlgForm(TComponent* AOwner, bool ASaveMode, TkxSkinData* ACtrlSkinData, bool AToolButtonsTransparent);
};

class TkxOpenPictureDlgForm : public TkxFileDlgForm {
public:
  TkxOpenPictureDlgForm(TComponent* AOwner, bool ASaveMode, TkxSkinData* ACtrlSkinData,
                        bool AToolButtonsTransparent);

  TkxSkinPanel* ImagePanel = nullptr;
  TImage* Image = nullptr;
  TkxSkinScrollBox* ScrollBox = nullptr;
  TkxSkinScrollBar* SBVScrollBar = nullptr;
  TkxSkinScrollBar* SBHScrollBar = nullptr;
  TkxSkinSpeedButton* StretchButton = nullptr;
  TkxSkinSplitter* Splitter = nullptr;

  void StretchButtonClick(TObject* Sender);
  void FLVChange(TObject* Sender, TListItem* Item, TItemChange Change) override;
  // Shows the picture of a regular file of a format we read; anything else leaves the pane blank.
  void LoadPreview(const std::string& Path);
  // The image at the picture's size (unless stretched) and the scroll range to match.
  void SizeImage();
};

// ---- the components ---------------------------------------------------------------------------

// The settings and results both dialog kinds share.
class TkxCustomSkinOpenDialog : public TComponent {
public:
  ~TkxCustomSkinOpenDialog() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // True when the user closed the dialog with OK (or a double click on a file); FileName and
  // Files then hold the choice.
  bool Execute();

  TkxSkinData* SkinData() const { return FSD; }
  void SetSkinData(TkxSkinData* Value);
  TkxSkinData* CtrlSkinData() const { return FCtrlFSD; }
  void SetCtrlSkinData(TkxSkinData* Value);
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  const std::string& FileName() const { return FFileName; }
  // While Execute runs, the name box takes the name too.
  void SetFileName(const std::string& Value);
  TStringList* Files() const { return FFiles.get(); }
  bool SaveMode() const { return FSaveMode; }
  // While Execute runs, the file list's selected file; else "".
  std::string GetSelectedFile();
  TOpenOptions Options() const { return FOptions; }
  // Sets the options and the properties they stand for.
  void SetOptions(TOpenOptions Value);

  TNotifyEvent OnShow;
  TNotifyEvent OnClose;
  TNotifyEvent OnChange;  // after a run that ended with OK
  bool ShowHiddenFiles = false;
  bool ToolButtonsTransparent = false;
  bool OverwritePromt = false;
  std::string DefaultExt;
  int32_t DialogWidth = 0, DialogHeight = 0;  // 0 or less: the dialog's own default
  int32_t DialogMinWidth = 0, DialogMinHeight = 0;
  bool CheckFileExists = true;
  bool MultiSelection = false;
  std::string LVHeaderSkinDataName = "resizebutton";
  std::string InitialDir;
  std::string Filter;
  int32_t FilterIndex = 1;
  bool AlphaBlend = false;
  uint8_t AlphaBlendValue = 225;
  bool AlphaBlendAnimation = false;
  bool CtrlAlphaBlend = false;
  uint8_t CtrlAlphaBlendValue = 225;
  bool CtrlAlphaBlendAnimation = false;
  TViewStyle ListViewStyle = vsList;

protected:
  TkxCustomSkinOpenDialog(TComponent* AOwner, const std::string& ATitle, const std::string& AFilter);
  virtual TkxFileDlgForm* CreateForm() = 0;
  virtual int32_t DefaultDialogWidth() const = 0;
  // Steps of a run only one kind has: before the size is set, after it, and after the form closed.
  virtual void PrepareForm(TkxFileDlgForm*) {}
  virtual void FormSized(TkxFileDlgForm*) {}
  virtual void FormClosed(TkxFileDlgForm*) {}
  // The folder the run starts in: FileName's when it exists, else InitialDir's, else the
  // program's.
  std::string StartFolder() const;

  bool FSaveMode = false;
  TkxFileDlgForm* FDlgFrm = nullptr;

private:
  void Run(TkxFileDlgForm* F, bool& Result);

  TkxSkinData* FSD = nullptr;
  TkxSkinData* FCtrlFSD = nullptr;
  std::unique_ptr<TFont> FDefaultFont;
  std::string FTitle;
  std::string FFileName;
  std::unique_ptr<TStringList> FFiles;
  TOpenOptions FOptions;
};

class TkxSkinOpenDialog : public TkxCustomSkinOpenDialog {
public:
  explicit TkxSkinOpenDialog(TComponent* AOwner);
  // The form while Execute runs, else nullptr.
  TkxOpenDlgForm* DlgFrm() const { return static_cast<TkxOpenDlgForm*>(FDlgFrm); }

  TNotifyEvent OnFolderChange;  // handed to the form; Sender is the form

protected:
  TkxFileDlgForm* CreateForm() override;
  int32_t DefaultDialogWidth() const override { return 450; }
  void PrepareForm(TkxFileDlgForm* F) override;
};

class TkxSkinOpenPictureDialog : public TkxCustomSkinOpenDialog {
public:
  explicit TkxSkinOpenPictureDialog(TComponent* AOwner);
  TkxOpenPictureDlgForm* DlgFrm() const { return static_cast<TkxOpenPictureDlgForm*>(FDlgFrm); }

  bool StretchPicture = false;   // every run starts stretched
  int32_t ImagePanelWidth = 190;  // kept from run to run
  bool DialogStretch = false;     // the last run's stretch state

protected:
  TkxFileDlgForm* CreateForm() override;
  int32_t DefaultDialogWidth() const override { return 550; }
  void PrepareForm(TkxFileDlgForm* F) override;
  void FormSized(TkxFileDlgForm* F) override;
  void FormClosed(TkxFileDlgForm* F) override;
};

class TkxSkinSavePictureDialog : public TkxSkinOpenPictureDialog {
public:
  explicit TkxSkinSavePictureDialog(TComponent* AOwner);
};

// Installs the shell's delete confirmation and properties box as skinned message dialogs
// with these skins (either may be nullptr: the plain look; a skin freed later counts as
// nullptr). Every run of the dialogs installs them with its own skins.
void InstallSkinShellHooks(TkxSkinData* SkinData, TkxSkinData* CtrlSkinData);
// Removes them again.
void RemoveSkinShellHooks();

// Registers the three dialogs with the form reader.
void RegisterSkinOpenDialogFormClasses();
