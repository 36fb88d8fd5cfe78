#pragma once
// The main window: the job list, the category, format and preset lists, the preview and the
// commands. Its components come from its form description (resources/forms/Form1.dfm); every
// operation another operation reuses is the click handler of a command button on an off-screen
// panel, and operations run one another by clicking those buttons, enabled or not.
//
// The handlers are written in one file per area: Unit1.cpp (start-up, closing, the command
// groups), Unit1Catalogue.cpp (category, format and preset lists), Unit1Jobs.cpp (adding,
// selecting and editing jobs), Unit1Run.cpp (running the conversion), Unit1Options.cpp
// (option.ini and the options dialog), Unit1Preview.cpp (the preview and snapshots) and
// Unit1Menus.cpp (menus and small commands).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Src/FFPlayer.h"
#include "Src/FFmpegLogger.h"
#include "Src/Quillon.h"
#include "Src/TaskOptions.h"
#include "app/catalogue/ConversionFields.h"
#include "app/forms/TaskRows.h"
#include "app/forms/JobList.h"
#include "classlib/ComCtrls.h"
#include "classlib/ComboBox.h"
#include "classlib/EditCtrls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/ListBoxes.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinComboBox.h"
#include "lib/controls/kxSkinEdits.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinListView.h"
#include "lib/controls/kxSkinMenuButton.h"
#include "lib/controls/kxSkinOfficeCombo.h"
#include "lib/controls/kxSkinPanels.h"
#include "lib/controls/kxSkinSlider.h"
#include "lib/controls/kxSkinToolBar.h"
#include "lib/dialogs/kxSelectDirectoryDialog.h"
#include "lib/dialogs/kxSelectSkinDialog.h"
#include "lib/dialogs/kxSkinOpenDialog.h"
#include "lib/dialogs/kxSkinMessage.h"
#include "lib/forms/kxSkinHint.h"
#include "lib/forms/kxSkinMainMenu.h"
#include "lib/forms/kxSkinMenus.h"
#include "lib/forms/kxTrayIcon.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinStore.h"

// The user's commands switch in eight groups: each group's plain button, tool button and menu
// items share one enabled state, and the tool button shows the group's "on" or "off" glyph.
enum class TCommandGroup { Add, Remove, Rename, Clear, Start, Stop, Pause, Resume };

// The conversion fields (Video_FileExt, Video_VideoCodec, ...) are the main window's own
// fields, as the settings form and the catalogue's rules address them.
class TForm1 : public TForm, public catalogue::TConversionFields, public IFormBindings {
public:
  // Reads the form description; OnCreate (FormCreate) has run when this returns.
  explicit TForm1(TComponent* AOwner);
  ~TForm1() override;

  void DeclareBindings(THandlerTable& T) override;
  void Dispatch(TMessage& Message) override;

  // ---- components of the form description ----
  TkxSkinData *kxSkinData1 = nullptr;
  TkxCompressedSkinList *kxCompressedSkinList1 = nullptr;
  TkxResourceStrData *kxResourceStrData1 = nullptr;
  TkxVelara *kxVelara1 = nullptr;
  TkxSkinMainMenuBar *kxSkinMainMenuBar1 = nullptr;
  TkxSkinMainMenu *kxSkinMainMenu1 = nullptr;
  TMenuItem *Item11 = nullptr, *Item111 = nullptr, *Item121 = nullptr, *N21 = nullptr, *N3 = nullptr, *N4 = nullptr,
            *N6 = nullptr, *N111 = nullptr, *N2221 = nullptr, *N12 = nullptr, *N13 = nullptr, *N14 = nullptr,
            *N25 = nullptr, *N26 = nullptr, *N1 = nullptr, *N7 = nullptr, *N8 = nullptr, *N9 = nullptr,
            *N10 = nullptr, *N11 = nullptr, *N22 = nullptr, *N24 = nullptr, *N23 = nullptr, *N2 = nullptr,
            *N15 = nullptr, *N16 = nullptr, *N19 = nullptr, *N5 = nullptr;
  TkxSkinToolBar *kxSkinToolBar2 = nullptr;
  TkxSkinMenuSpeedButton *kxSkinMenuSpeedButton1 = nullptr;
  TkxSkinSpeedButton *kxSkinButton7 = nullptr, *kxSkinButton8 = nullptr, *kxSkinButton2 = nullptr,
                     *kxSkinButton10 = nullptr, *kxSkinButton11 = nullptr, *kxSkinButton12 = nullptr,
                     *kxSkinButton19 = nullptr, *kxSkinButton9 = nullptr;
  TkxSkinPanel *kxSkinPanel1 = nullptr;
  TkxSkinListView *lvFiles = nullptr;
  TkxSkinPanel *kxSkinPanel5 = nullptr;
  TImage *Image1 = nullptr;
  TkxSkinButton *kxSkinButton3 = nullptr, *kxSkinButton4 = nullptr, *kxSkinButton21 = nullptr;
  TkxSkinPanel *kxSkinPanel2 = nullptr;
  TkxSkinStdLabel *kxSkinStdLabel1 = nullptr;
  TkxSkinOfficeComboBox *kxSkinOfficeComboBox2 = nullptr, *kxSkinOfficeComboBox1 = nullptr;
  TkxSkinStdLabel *kxSkinStdLabel2 = nullptr;
  TkxSkinEdit *Video_OutPut_Folder_Edit = nullptr;
  TkxSkinButton *kxSkinButton5 = nullptr, *kxSkinButton6 = nullptr, *kxSkinButton1 = nullptr;
  TkxSkinStdLabel *kxSkinStdLabel3 = nullptr;
  TkxSkinLinkLabel *kxSkinLinkLabel1 = nullptr;
  TkxSkinPanel *kxSkinPanel4 = nullptr;
  TkxSkinStdLabel *kxSkinStdLabel4 = nullptr;
  TkxSkinComboBox *kxSkinComboBox1 = nullptr;
  TkxSkinStdLabel *kxSkinStdLabel5 = nullptr;
  TkxSkinComboBox *kxSkinComboBox2 = nullptr;
  TkxSkinStdLabel *kxSkinStdLabel6 = nullptr;
  TkxSkinComboBox *kxSkinComboBox3 = nullptr;
  TkxSkinStdLabel *kxSkinStdLabel7 = nullptr;
  TkxSkinComboBox *kxSkinComboBox4 = nullptr;
  TkxSkinStdLabel *kxSkinStdLabel8 = nullptr;
  TkxSkinComboBox *kxSkinComboBox9 = nullptr;
  TkxSkinStdLabel *kxSkinStdLabel9 = nullptr;
  TkxSkinComboBox *kxSkinComboBox10 = nullptr;
  TkxSkinPanel *kxSkinPanel3 = nullptr;
  TkxSkinSlider *kxSkinSlider1 = nullptr;
  TkxSkinButton *kxSkinButton13 = nullptr, *kxSkinButton14 = nullptr, *kxSkinButton15 = nullptr,
                *kxSkinButton16 = nullptr, *kxSkinButton20 = nullptr, *kxSkinButton17 = nullptr,
                *kxSkinButton22 = nullptr, *kxSkinButton23 = nullptr;
  TPanel *Panel6 = nullptr, *Panel1 = nullptr;
  TButton *btnAdd = nullptr, *btnStart = nullptr, *btnStop = nullptr, *btnPause = nullptr, *btnResume = nullptr,
          *btnRemove = nullptr, *btnClear = nullptr, *btnWebSite = nullptr, *Button1 = nullptr, *Button2 = nullptr,
          *Button3 = nullptr, *Button4 = nullptr, *Button5 = nullptr, *Button6 = nullptr, *Button7 = nullptr,
          *Button8 = nullptr, *Button11 = nullptr, *Button12 = nullptr, *Button13 = nullptr, *Button14 = nullptr,
          *Button15 = nullptr, *Button16 = nullptr, *Button17 = nullptr, *Button18 = nullptr, *Button20 = nullptr,
          *Button21 = nullptr, *Button22 = nullptr, *Button23 = nullptr, *Button24 = nullptr, *Button25 = nullptr,
          *Button26 = nullptr, *button28 = nullptr, *Button29 = nullptr, *Button31 = nullptr;
  TImage *Image2 = nullptr, *Image3 = nullptr, *Image4 = nullptr, *Image5 = nullptr, *Image6 = nullptr,
         *Image7 = nullptr, *Image8 = nullptr, *Image9 = nullptr, *Image10 = nullptr, *Image11 = nullptr,
         *Image12 = nullptr, *Image13 = nullptr, *Image14 = nullptr, *Image15 = nullptr, *Image16 = nullptr,
         *Image17 = nullptr;
  TCheckBox *chkThreadMode = nullptr;
  TListBox *ListBox1 = nullptr;
  TProgressBar *ProgressBar1 = nullptr;
  TPanel *Panel3 = nullptr;
  TButton *Button34 = nullptr, *Button40 = nullptr, *Button9 = nullptr, *Button10 = nullptr;
  TEdit *Edit3 = nullptr;
  TPanel *Panel4 = nullptr, *Panel5 = nullptr;
  TComboBox *cboVideoDriver = nullptr, *cboAudioDriver = nullptr, *cboScreens = nullptr;
  TCheckBox *chkOpenPaused = nullptr, *chkStayOnTop = nullptr;
  TTrackBar *TrackBar2 = nullptr;
  TLabel *Label2 = nullptr, *Label3 = nullptr;
  TComboBox *cboVideo = nullptr, *cboAudio = nullptr, *cboSubtitle = nullptr;
  TMemo *mmoLog = nullptr;
  TTrackBar *TrackBar1 = nullptr;
  TCheckBox *chkMute = nullptr, *chkHook = nullptr, *chkWaterMark = nullptr, *chkDisableDisplay = nullptr,
            *chkDisableAudio = nullptr, *chkDisableVideo = nullptr;
  TComboBox *cboAspectRatio = nullptr;
  TButton *btnCapture = nullptr;
  TCheckBox *chkPreview = nullptr;
  TButton *Button19 = nullptr, *Button27 = nullptr;
  TEdit *edt = nullptr;
  TkxSkinPopupMenu *kxSkinPopupMenu1 = nullptr;
  TMenuItem *N11111 = nullptr, *N2222 = nullptr, *N3331 = nullptr;
  TkxSkinPopupMenu *kxSkinPopupMenu2 = nullptr;
  TMenuItem *MenuItem1 = nullptr, *MenuItem2 = nullptr, *MenuItem3 = nullptr, *N27 = nullptr, *BMP1 = nullptr,
            *JPG1 = nullptr, *GIF1 = nullptr, *PNG1 = nullptr;
  TkxSkinMessage *kxSkinMessage1 = nullptr;
  TkxSkinSelectDirectoryDialog *kxSkinSelectDirectoryDialog1 = nullptr, *kxSkinSelectDirectoryDialog2 = nullptr;
  TkxSkinOpenDialog *OpenDialog1 = nullptr, *OpenDialog2 = nullptr, *kxSkinOpenDialog1 = nullptr;
  TkxSkinSavePictureDialog *kxSkinSavePictureDialog1 = nullptr, *SavePictureDialog1 = nullptr;
  TkxSelectSkinDialog *kxSelectSkinDialog1 = nullptr;
  TkxTrayIcon *kxTrayIcon1 = nullptr;
  TkxSkinHint *kxSkinHint1 = nullptr;
  TQuillon *Quill = nullptr;
  TFFLogger *FFLogger = nullptr;
  TFFPlayer *FFPlayer = nullptr;
  TImageList *ImageList1 = nullptr, *ImageList2 = nullptr;

  // ---- job model ----
  static constexpr int kJobSlotCount = 501;
  // Output folder without a trailing separator; read by the task builder.
  std::string FileOutPutPath;
  // The last format key computed; nobody reads it.
  int32_t All_Trant_Number = 0;
  // The job slots: input and output halves, claimed in index order by the adds.
  std::vector<TInputOptions> IO1 = std::vector<TInputOptions>(kJobSlotCount);
  std::vector<TOutputOptions> OO1 = std::vector<TOutputOptions>(kJobSlotCount);

  // ---- preview state ----
  std::string T_Movie_PLayer_FileName;  // the previewed input
  TWinControl* FScreenControl = nullptr;  // the control cboScreens names, nil when none
  int64_t FDuration = 0;                  // the open file's duration in microseconds
  std::string kxSkinSlider1_down_UP;      // "UP", or "Down" while the slider is held

  // ---- start-up, closing, the command groups (Unit1.cpp) ----
  void FormCreate(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  // The tool buttons and menu items that forward to command buttons.
  void kxSkinButton2Click(TObject* Sender);   // 开始 -> btnStart
  void kxSkinButton10Click(TObject* Sender);  // 停止 -> btnStop
  void kxSkinButton7Click(TObject* Sender);   // 删除 -> btnRemove
  void kxSkinButton8Click(TObject* Sender);   // 清空 -> btnClear
  // Switches one group: its buttons, its tool button (glyph and redraw) and its menu items.
  void SwitchGroup(TCommandGroup Group, bool On);
  void AddGroup(bool On) { SwitchGroup(TCommandGroup::Add, On); }
  void RemoveGroup(bool On) { SwitchGroup(TCommandGroup::Remove, On); }
  void RenameGroup(bool On) { SwitchGroup(TCommandGroup::Rename, On); }
  void ClearGroup(bool On) { SwitchGroup(TCommandGroup::Clear, On); }
  void StartGroup(bool On) { SwitchGroup(TCommandGroup::Start, On); }
  void StopGroup(bool On) { SwitchGroup(TCommandGroup::Stop, On); }
  void PauseGroup(bool On) { SwitchGroup(TCommandGroup::Pause, On); }
  void ResumeGroup(bool On) { SwitchGroup(TCommandGroup::Resume, On); }
  // Whether a group is on (its command button's state).
  bool GroupOn(TCommandGroup Group) const;
  // The screen list: "Panel6", then the form's direct windowed children by tab order 0, 1, ...
  // up to the first tab order no child has.
  void FillScreenList();

  // ---- category, format and preset lists (Unit1Catalogue.cpp) ----
  void Button2Click(TObject* Sender);   // fills the format list for the category
  void Button5Click(TObject* Sender);   // the format's values, output name, selected row's cells
  void Button6Click(TObject* Sender);   // resets the conversion fields
  void Button7Click(TObject* Sender);   // the conversion fields into a spare output record
  void Button13Click(TObject* Sender);  // the six preset texts into the conversion fields
  void Button18Click(TObject* Sender);  // fills the six preset lists for the format
  void kxSkinOfficeComboBox2Change(TObject* Sender);  // category
  void kxSkinOfficeComboBox1Change(TObject* Sender);  // format
  void kxSkinComboBox1Change(TObject* Sender);        // resolution
  void kxSkinComboBox2Change(TObject* Sender);        // video bitrate
  void kxSkinComboBox3Change(TObject* Sender);        // audio bitrate
  void kxSkinComboBox4Change(TObject* Sender);        // aspect mode
  void kxSkinComboBox9Change(TObject* Sender);        // frame rate
  void kxSkinComboBox10Change(TObject* Sender);       // sample rate
  // The output extension of the format list's selected item (".avi"), from its title; empty
  // without a selected item.
  std::string SelectedFormatExtension() const;
  // A spare output record Button7 fills; nothing reads it.
  TOutputOptions OO;

  // ---- adding, selecting and editing jobs (Unit1Jobs.cpp) ----
  void btnAddClick(TObject* Sender);
  void Button8Click(TObject* Sender);
  void Button12Click(TObject* Sender);
  void lvFilesSelectItem(TObject* Sender, TListItem* Item, bool Selected);
  void lvFilesClick(TObject* Sender);
  void lvFilesDblClick(TObject* Sender);
  void kxSkinButton21Click(TObject* Sender);
  void N26Click(TObject* Sender);
  void edtExit(TObject* Sender);
  void kxSkinButton3Click(TObject* Sender);
  void kxSkinButton4Click(TObject* Sender);
  void btnRemoveClick(TObject* Sender);
  void btnClearClick(TObject* Sender);
  void Button14Click(TObject* Sender);
  void Button15Click(TObject* Sender);
  void Button27Click(TObject* Sender);
  std::string GenerateOutputFileName(const std::string& AFileName, const std::string& AFileExt);

  // ---- running the conversion (Unit1Run.cpp) ----
  void btnStartClick(TObject* Sender);
  void button28Click(TObject* Sender);
  void btnStopClick(TObject* Sender);
  void btnPauseClick(TObject* Sender);
  void btnResumeClick(TObject* Sender);
  void kxSkinButton11Click(TObject* Sender);
  void kxSkinButton12Click(TObject* Sender);
  void Button22Click(TObject* Sender);
  void Button23Click(TObject* Sender);
  void Button24Click(TObject* Sender);
  void QuillProgress(TObject* Sender, PProgressInfo AProgressInfo);
  void QuillTerminate(TObject* Sender, const TTerminateInfo& ATerminateInfo);
  void FFLoggerLog(TObject* Sender, uint32_t AThreadID, TLogLevel ALogLevel, const std::string& ALogMsg);
  void Button20Click(TObject* Sender);
  void Button25Click(TObject* Sender);
  void Button29Click(TObject* Sender);

  // ---- option.ini and the options dialog (Unit1Options.cpp) ----
  void Button3Click(TObject* Sender);
  void Button4Click(TObject* Sender);
  void Button16Click(TObject* Sender);
  void Button17Click(TObject* Sender);
  void Button26Click(TObject* Sender);

  // ---- preview and snapshots (Unit1Preview.cpp) ----
  void Button31Click(TObject* Sender);
  void FFPlayerFileOpen(TObject* Sender, int64_t ADuration, int32_t AFrameWidth, int32_t AFrameHeight,
                        int32_t& AScreenWidth, int32_t& AScreenHeight);
  void FFPlayerPosition(TObject* Sender, int64_t APTS);
  void FFPlayerState(TObject* Sender, TPlayState AState);
  void FFPlayerHook(TObject* Sender, TBitmap* ABitmap, int64_t APTS);
  void kxSkinButton13Click(TObject* Sender);
  void kxSkinButton14Click(TObject* Sender);
  void kxSkinButton15Click(TObject* Sender);
  void kxSkinButton16Click(TObject* Sender);
  void kxSkinButton20Click(TObject* Sender);
  void kxSkinSlider1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void kxSkinSlider1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void kxSkinSlider1Change(TObject* Sender);
  void TrackBar2Change(TObject* Sender);
  void TrackBar1Change(TObject* Sender);
  void chkPreviewClick(TObject* Sender);
  // Run after the form's own handling of WM_WINDOWPOSCHANGED / WM_WINDOWPOSCHANGING.
  void WindowPosChangedHandler(TMessage& Message);
  void WindowPosChangingHandler(TMessage& Message);
  TWinControl* FindControlByName(const std::string& AName);
  void GetDesktopListView();
  void kxSkinButton22Click(TObject* Sender);
  void kxSkinButton23MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void kxSkinButton23Click(TObject* Sender);
  void BMP1Click(TObject* Sender);
  void JPG1Click(TObject* Sender);
  void GIF1Click(TObject* Sender);
  void PNG1Click(TObject* Sender);
  void MenuItem1Click(TObject* Sender);
  void MenuItem2Click(TObject* Sender);
  void btnCaptureClick(TObject* Sender);

  // ---- menus and small commands (Unit1Menus.cpp) ----
  void N21Click(TObject* Sender);
  void N3331Click(TObject* Sender);
  void N2222Click(TObject* Sender);
  void N4Click(TObject* Sender);
  void N5Click(TObject* Sender);
  void N15Click(TObject* Sender);
  void N19Click(TObject* Sender);
  void N23Click(TObject* Sender);
  void N24Click(TObject* Sender);
  void kxSkinButton9Click(TObject* Sender);
  void kxSkinButton19Click(TObject* Sender);
  void kxSkinButton1Click(TObject* Sender);
  void kxSkinSpeedButton1Click(TObject* Sender);
  void kxSkinButton5Click(TObject* Sender);
  void kxSkinButton6Click(TObject* Sender);
  void Video_OutPut_Folder_EditClick(TObject* Sender);
  void Button1Click(TObject* Sender);
  void Button21Click(TObject* Sender);
  void Button11Click(TObject* Sender);
  void Button19Click(TObject* Sender);
  void kxSkinCheckRadioBox1Click(TObject* Sender);
  void kxSkinCheckRadioBox2Click(TObject* Sender);
  void kxSkinPanel1Click(TObject* Sender);

protected:
  // Puts the embedded pictures into the image lists and images before OnCreate runs.
  void DoCreate() override;
  // Lays the preview's screen and the empty-list picture over their neighbours once their
  // windows exist.
  void DoShow() override;

private:
  void LoadPictures();
  // A preset list's change: its piece of the preset code, its field and its cell of the
  // selected row (Role: catalogue::TPresetRole).
  void PresetListChanged(int Role, TkxSkinComboBox* Box);

public:
  // --- run ---
  // The options dialog's choices for a run (priority, thread count, after-done action), read at
  // each start and at the end of the run; unset, the dialog's initial choices.
  std::function<taskrows::TRunChoices()> RunChoices;
  taskrows::TRunChoices CurrentRunChoices() const;
  // Kept for the power-off command; the system's power-off authorises itself, so it answers true.
  bool SetPrivilege(const std::string& PrivilegeName, bool Enable);
  // The row of a task of the current run, found by the task number its job's input record
  // carries (the records move with the rows); -1 when no row has it.
  int32_t RowOfTask(int32_t ATaskIndex) const;
  // The window's part of a terminate report, on the user-interface thread.
  void TerminateReport(const TTerminateInfo& AInfo);
  // Locks (true) or unlocks the lists that would change a job's values.
  void SetRunLocked(bool ALocked);
  // The application's exception box: a skinned message dialog over the main form, once the
  // program block has installed it (tests keep the class library's report on stderr).
  void ShowExceptionBox(TObject* Sender, const std::exception& E);
  static void InstallExceptionBox();

private:
  // Set by stop: the end of that run runs no after-done action.
  bool FStoppedByUser = false;
  // --- jobs ---
public:
  enum class TAddKind { OneFile, Files, Folder };
  // Where an add gets its files instead of the open dialogs (tests): the chosen files, or for a
  // folder the folder as the only entry; false: nothing chosen.
  std::function<bool(TAddKind AKind, std::vector<std::string>& AFiles)> OnChooseFiles;
  // The state of the job slots IO1/OO1; slot i holds the records of row i.
  joblist::TJobSlots FJobSlots{IO1, OO1};
  // The files directly in a folder that match the mask ("*.*": all, hidden ones too), in the
  // order the folder lists them; none for a folder that does not exist. GetFilenamesEx adds
  // the files of the folders one level down, in place.
  std::vector<std::string> GetFilenames(const std::string& AFilePath, const std::string& AExtMask);
  std::vector<std::string> GetFilenamesEx(const std::string& AFilePath, const std::string& AExtMask);

private:
  enum class TAddResult { Added, Unreadable, Full, Stop };
  void RunAdd(TAddKind AKind);
  TAddResult AddOneJob(const std::string& APath, TAddKind AKind);
  bool ChooseFilesToAdd(TAddKind AKind, std::vector<std::string>& AFiles);
  bool EnsureMediaLibraries();
  std::vector<std::string> ListFolderFiles(const std::string& AFolder, const std::string& AMask, bool ASubFolders);
  void StartRename();
  void EndRename(bool AAccept);
  void MoveSelectedRow(int32_t ADelta);
  void ShowEmptyList();
  void JobsLog(const std::string& ALine);
  void JobsLogBetweenBlanks(const std::string& ALine);
  void JobsHint(const std::string& AText);
  void JobsFocus(TWinControl* AControl);
  TListItem* FRenameItem = nullptr;  // the row being renamed
  bool FRenaming = false;

  // --- preview ---
  bool FPreviewBusy = false;     // an open or a stop-and-reopen of the preview is running
  bool FPreviewPending = false;  // a selection arrived meanwhile: open again when done
  bool FPreviewOpen = false;     // the last open succeeded
  // The stored picture type (as snapshots::TSnapshotType), with its menu item checked.
  int ResolveSnapshotType();
  void SetSnapshotType(TMenuItem* AItem, const char* AText);
};

// The application's main window, made by the program block.
extern TForm1* Form1;

// Makes every class the application's form descriptions name readable (the class library's,
// the skinned controls, menus and dialogs, the media components and TForm1). Call it before
// reading a form; later calls do nothing.
void RegisterAppFormClasses();
