#include "lib/dialogs/kxSkinOpenDialog.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "base/Files.h"
#include "base/Format.h"
#include "base/Text.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Menus.h"
#include "classlib/Streaming.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinEdits.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinMenuButton.h"
#include "lib/controls/kxSkinPanels.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/controls/kxSkinScrollBar.h"
#include "lib/controls/kxSkinScrollBox.h"
#include "lib/controls/kxSkinSplitBevel.h"
#include "lib/controls/kxSkinToolBar.h"
#include "lib/dialogs/kxSkinLookInBox.h"
#include "lib/dialogs/kxSkinMessage.h"
#include "lib/dialogs/kxSkinShellList.h"
#include "lib/dialogs/kxfilectrl.h"
#include "lib/forms/kxSkinMenus.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"
#include "platform/shell/Shell.h"

using namespace win;

bool IsRegularFile(const std::string& Path) {
  struct stat st;
  return !Path.empty() && stat(Path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {

bool Exists(const std::string& Path) {
  struct stat st;
  return !Path.empty() && lstat(Path.c_str(), &st) == 0;
}

// The extension of the last name in Path, or "" (a leading dot alone is no extension).
std::string ExtensionOf(const std::string& Path) {
  const std::string name = ExtractFileName(Path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
}

// A name from the string table must stay one plain name inside the folder.
bool IsPlainName(const std::string& Name) {
  return !Name.empty() && Name != "." && Name != ".." && Name.find('/') == std::string::npos &&
         Name.find('\0') == std::string::npos;
}

TViewStyle StyleOfItem(int Index) {
  static const TViewStyle styles[4] = {vsIcon, vsSmallIcon, vsList, vsReport};
  return styles[std::clamp(Index, 0, 3)];
}

}  // namespace

// ---- the shared form --------------------------------------------------------------------------

TkxFileDlgForm::TkxFileDlgForm(TComponent* AOwner, bool ASaveMode, TkxSkinData* ACtrlSkinData) : TForm(AOwner) {
  SaveMode = ASaveMode;
  SetKeyPreview(true);
  SetPosition(poScreenCenter);
  VLR = new TkxVelara(this);
  CtrlSD = ACtrlSkinData;
}

TkxFileDlgForm::~TkxFileDlgForm() {
  // The list and the box report changes while they go; nothing of the form may hear them then.
  if (FileListView) {
    FileListView->OnChange = nullptr;
    FileListView->OnPathChanged = nullptr;
    FileListView->OnDblClick = nullptr;
    FileListView->OnKeyPress = nullptr;
  }
  if (FilterComboBox) FilterComboBox->OnChange = nullptr;
  for (PItemIDList id : FolderHistory) ShellFree(id);
  FolderHistory.clear();
}

std::string TkxFileDlgForm::ResString(const std::string& Key, const std::string& Default) const {
  if (CtrlSD && CtrlSD->ResourceStrData()) return CtrlSD->ResourceStrData()->GetResStr(Key);
  return Default;
}

TkxSkinSpeedButton* TkxFileDlgForm::AddToolButton(const char* Glyph, const std::string& Hint, int32_t Width,
                                                   bool AToolButtonsTransparent) {
  auto* b = Glyph && std::string(Glyph) == "KX_LVSTYLE" ? new TkxSkinMenuSpeedButton(this)
                                                         : new TkxSkinSpeedButton(this);
  b->SetParent(ToolPanel);
  // Right-aligned controls stand in the order of their left edges: each new one goes rightmost.
  b->SetLeft(FNextToolLeft += 100);
  b->SetAlign(alRight);
  b->SetDefaultHeight(25);
  b->SetDefaultWidth(Width);
  b->SetWidth(Width);
  TBitmap glyph;
  glyph.LoadFromResourceName(0, Glyph);
  b->SetGlyph(&glyph);
  b->SetNumGlyphs(1);
  b->SetHint(Hint);
  b->SetShowHint(true);
  b->SetFlat(AToolButtonsTransparent);
  return b;
}

void TkxFileDlgForm::BuildControls(bool AToolButtonsTransparent, bool Anchored) {
  ToolPanel = new TkxSkinToolBar(this);
  ToolPanel->SetParent(this);
  ToolPanel->SetAlign(alTop);
  ToolPanel->SetBorderStyle(TkxSkinBorderStyle::bvNone);
  ToolPanel->SetDefaultHeight(25);
  ToolPanel->SetHeight(25);
  ToolPanel->SetSkinDataName("toolpanel");

  auto* leftSpacer = new TkxSkinBevel(this);
  leftSpacer->SetParent(ToolPanel);
  leftSpacer->SetLeft(0);
  leftSpacer->SetAlign(alLeft);
  leftSpacer->SetWidth(10);
  leftSpacer->SetShape(bsSpacer);

  Drivelabel = new TkxSkinStdLabel(this);
  Drivelabel->SetParent(ToolPanel);
  Drivelabel->SetLeft(20);
  Drivelabel->SetAlign(alLeft);
  Drivelabel->SetAutoSize(true);
  Drivelabel->SetLayout(tlCenter);
  Drivelabel->SetCaption(ResString("FLV_LOOKIN", "Look in: "));

  BackToolButton = AddToolButton("KX_BACK", ResString("MSG_BTN_BACK_HINT", "Go To Last Folder Visited"), 27,
                                 AToolButtonsTransparent);
  BackToolButton->SetName("BackToolButton");
  BackToolButton->SetSkinDataName("toolbutton");
  BackToolButton->OnClick = [this](TObject* S) { BackToolButtonClick(S); };
  UpToolButton = AddToolButton("KX_UP", ResString("MSG_BTN_UP_HINT", "Up One Level"), 27, AToolButtonsTransparent);
  UpToolButton->SetName("UpToolButton");
  UpToolButton->SetSkinDataName("toolbutton");
  UpToolButton->OnClick = [this](TObject* S) { UpToolButtonClick(S); };
  NewFolderToolButton = AddToolButton("KX_NEWFOLDER", ResString("MSG_BTN_NEWFOLDER_HINT", "Create New Folder"), 27,
                                      AToolButtonsTransparent);
  NewFolderToolButton->SetName("NewFolderToolButton");
  NewFolderToolButton->SetSkinDataName("toolbutton");
  NewFolderToolButton->OnClick = [this](TObject* S) { NewFolderToolButtonClick(S); };

  auto* rightSpacer = new TkxSkinBevel(this);
  rightSpacer->SetParent(ToolPanel);
  rightSpacer->SetLeft(FNextToolLeft += 100);
  rightSpacer->SetAlign(alRight);
  rightSpacer->SetWidth(10);
  rightSpacer->SetShape(bsSpacer);

  StylePopupMenu = new TkxSkinPopupMenu(this);
  StylePopupMenu->SetName("StylePopupMenu");
  struct ItemDef {
    TMenuItem** slot;
    const char* name;
    const char* key;
    const char* text;
    TViewStyle style;
  } items[4] = {{&IconMenuItem, "IconMenuItem", "MSG_LV_ICON", "Large icons", vsIcon},
                {&SmallIconMenuItem, "SmallIconMenuItem", "MSG_LV_SMALLICON", "Small icons", vsSmallIcon},
                {&ListMenuItem, "ListMenuItem", "MSG_LV_LIST", "List", vsList},
                {&ReportMenuItem, "ReportMenuItem", "MSG_LV_DETAILS", "Details", vsReport}};
  for (const ItemDef& d : items) {
    auto* item = new TMenuItem(this);
    item->SetName(d.name);
    item->SetCaption(ResString(d.key, d.text));
    item->SetRadioItem(true);
    item->SetGroupIndex(1);
    const TViewStyle style = d.style;
    item->OnClick = [this, style](TObject*) { SetListViewStyle(style); };
    StylePopupMenu->Items()->Add(item);
    *d.slot = item;
  }

  StyleToolButton = static_cast<TkxSkinMenuSpeedButton*>(
      AddToolButton("KX_LVSTYLE", ResString("MSG_BTN_VIEWMENU_HINT", "View Menu"), 37, AToolButtonsTransparent));
  StyleToolButton->SetName("StyleToolButton");
  StyleToolButton->SetSkinDataName("toolmenubutton");
  StyleToolButton->SetSkinPopupMenu(StylePopupMenu);

  ShellBox = new TkxSkinShellComboBox(this);
  ShellBox->SetName("ShellBox");
  ShellBox->SetParent(ToolPanel);
  ShellBox->SetAlign(alClient);
  ShellBox->SetDropDownCount(10);

  BottomPanel = new TkxSkinPanel(this);
  BottomPanel->SetName("BottomPanel");
  BottomPanel->SetParent(this);
  BottomPanel->SetAlign(alBottom);
  BottomPanel->SetBorderStyle(TkxSkinBorderStyle::bvNone);
  BottomPanel->SetHeight(80);
  BottomPanel->SetCaption("");

  FileListViewPanel = new TkxSkinPanel(this);
  FileListViewPanel->SetName("FileListViewPanel");
  FileListViewPanel->SetParent(this);
  FileListViewPanel->SetAlign(alClient);
  FileListViewPanel->SetBorderStyle(TkxSkinBorderStyle::bvFrame);
  FileListViewPanel->SetCaption("");

  FLVHScrollBar = new TkxSkinScrollBar(this);
  FLVHScrollBar->SetParent(FileListViewPanel);
  FLVHScrollBar->SetAlign(alBottom);
  FLVHScrollBar->SetDefaultHeight(19);
  FLVHScrollBar->SetBothMarkerWidth(19);
  FLVHScrollBar->SetEnabled(false);
  FLVHScrollBar->SetSkinDataName("hscrollbar");
  FLVVScrollBar = new TkxSkinScrollBar(this);
  FLVVScrollBar->SetKind(sbVertical);
  FLVVScrollBar->SetParent(FileListViewPanel);
  FLVVScrollBar->SetAlign(alRight);
  FLVVScrollBar->SetDefaultWidth(19);
  FLVVScrollBar->SetEnabled(false);
  FLVVScrollBar->SetSkinDataName("vscrollbar");

  FileListView = new TkxSkinFileListView(this);
  FileListView->SetName("FileListView");
  FileListView->SetParent(FileListViewPanel);
  FileListView->SetAlign(alClient);
  FileListView->SetViewStyle(vsList);
  FileListView->SetShowColumnHeaders(true);
  FileListView->SetHScrollBar(FLVHScrollBar);
  FileListView->SetVScrollBar(FLVVScrollBar);
  FileListView->SetHideSelection(false);
  FileListView->OnChange = [this](TObject* S, TListItem* I, TItemChange C) { FLVChange(S, I, C); };
  FileListView->OnPathChanged = [this](TObject* S) { FLVPathChange(S); };
  FileListView->OnDblClick = [this](TObject* S) { FLVDBLClick(S); };
  FileListView->OnKeyPress = [this](TObject* S, uint32_t& K) { FLVKeyPress(S, K); };
  FileListView->SetShellComboBox(ShellBox);
  ShellBox->SetShellListView(FileListView);

  const int32_t w = BottomPanel->Width();
  const TAnchors stretch{akLeft, akTop, akRight}, right{akTop, akRight};
  FileNameEdit = new TkxSkinEdit(this);
  FileNameEdit->SetName("FileNameEdit");
  FileNameEdit->SetParent(BottomPanel);
  FileNameEdit->SetDefaultHeight(21);
  FileNameEdit->SetBounds(70, 10, Anchored ? w - 90 - 70 : 280, 21);
  if (Anchored) FileNameEdit->SetAnchors(stretch);
  FileNameEdit->SetText("");
  FileNameEdit->OnKeyPress = [this](TObject* S, uint32_t& K) { EditKeyPress(S, K); };

  FilterComboBox = new TkxSkinFilterComboBox(this);
  FilterComboBox->SetName("FilterComboBox");
  FilterComboBox->SetParent(BottomPanel);
  FilterComboBox->SetDefaultHeight(21);
  FilterComboBox->SetBounds(70, 45, Anchored ? w - 90 - 70 : 280, 21);
  if (Anchored) FilterComboBox->SetAnchors(stretch);
  FilterComboBox->OnChange = [this](TObject* S) { FCBChange(S); };

  OpenButton = new TkxSkinButton(this);
  OpenButton->SetName("OpenButton");
  OpenButton->SetParent(BottomPanel);
  OpenButton->SetDefaultHeight(25);
  OpenButton->SetBounds(Anchored ? w - 10 - 70 : 370, 10, 70, 25);
  if (Anchored) OpenButton->SetAnchors(right);
  OpenButton->SetCaption(SaveMode ? ResString("MSG_BTN_SAVE", "&Save") : ResString("MSG_BTN_OPEN", "&Open"));
  OpenButton->SetCanFocused(true);
  OpenButton->OnClick = [this](TObject* S) { OpenButtonClick(S); };

  CancelButton = new TkxSkinButton(this);
  CancelButton->SetName("CancelButton");
  CancelButton->SetParent(BottomPanel);
  CancelButton->SetDefaultHeight(25);
  CancelButton->SetBounds(Anchored ? w - 10 - 70 : 370, 45, 70, 25);
  if (Anchored) CancelButton->SetAnchors(right);
  CancelButton->SetCaption(ResString("MSG_BTN_CANCEL", "Cancel"));
  CancelButton->SetCanFocused(true);
  CancelButton->SetModalResult(mrCancel);
  CancelButton->SetCancel(true);

  OpenFileLabel = new TkxSkinStdLabel(this);
  OpenFileLabel->SetParent(BottomPanel);
  OpenFileLabel->SetAutoSize(true);
  OpenFileLabel->SetLeft(10);
  OpenFileLabel->SetTop(10);
  OpenFileLabel->SetCaption(ResString("MSG_FILENAME", "File name:"));
  FileTypeLabel = new TkxSkinStdLabel(this);
  FileTypeLabel->SetParent(BottomPanel);
  FileTypeLabel->SetAutoSize(true);
  FileTypeLabel->SetLeft(10);
  FileTypeLabel->SetTop(45);
  FileTypeLabel->SetCaption(ResString("MSG_FILETYPE", "File type:"));

  // The name box is the active control; it can take the focus only once the form shows.
  OnShow = [this](TObject*) {
    if (FileNameEdit->CanFocus()) SetActiveControl(FileNameEdit);
  };
}

// ---- names ------------------------------------------------------------------------------------

std::string TkxFileDlgForm::FilterMaskExtension() {
  const std::string mask = FilterComboBox->Mask();
  if (mask.find(".*") != std::string::npos) return {};
  const size_t semi = mask.find(';');
  return ExtensionOf(semi == std::string::npos ? mask : mask.substr(0, semi));
}

std::string TkxFileDlgForm::CompleteName(const std::string& Name) {
  if (Name.empty() || !ExtensionOf(Name).empty()) return Name;
  const std::string defaultExt = DefaultExt.empty() ? std::string() : "." + DefaultExt;
  std::string ext = SaveMode ? FilterMaskExtension() : defaultExt;
  if (ext.empty()) ext = SaveMode ? defaultExt : FilterMaskExtension();
  return Name + ext;
}

std::string TkxFileDlgForm::FolderWithSlash() const {
  std::string dir = FileListView->Path();
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

namespace {

// A typed name as a path: an absolute one as it stands, else inside the shown folder.
std::string TypedPath(const std::string& Dir, const std::string& Typed) {
  return !Typed.empty() && Typed[0] == '/' ? Typed : Dir + Typed;
}

}  // namespace

// ---- OK ---------------------------------------------------------------------------------------

bool TkxFileDlgForm::AskOverwrite() {
  TkxSkinMessage msg(this);
  msg.SetSkinData(VLR->SkinData());
  msg.SetCtrlSkinData(CtrlSD);
  const std::string text = ResString("MSG_OVERWRITE", "Do you want to overwrite old file?");
  return msg.MessageDlg(text, mtWarning, TMsgDlgButtons{mbOK, mbCancel}, 0) == mrOk;
}

void TkxFileDlgForm::OpenButtonClick(TObject*) {
  const std::string sel = FileListView->GetSelectedFile();
  const std::string typed = FileNameEdit->Text();
  const std::string dir = FolderWithSlash();
  if (!SaveMode) {
    const std::string full = typed.empty() ? std::string() : CompleteName(TypedPath(dir, typed));
    if (sel.empty() && CheckFileExists && !typed.empty() && !IsRegularFile(full)) return;
    if (typed.empty()) return;
    const std::string chosen = !sel.empty() ? sel : full;
    // Whatever the options, a FIFO, a device or a folder is never handed out as a file.
    if (Exists(chosen) && !IsRegularFile(chosen)) return;
    if (CheckFileExists && !IsRegularFile(chosen)) {
      FileName.clear();
      return;
    }
    FileName = chosen;
    SetModalResult(mrOk);
    return;
  }
  if (typed.empty()) return;
  if ((FileListView->Path() + "/" + typed).find('*') != std::string::npos) return;
  // A name typed in a virtual folder (the desktop, Computer) has no place in the file system.
  if (typed[0] != '/' && (dir.empty() || dir[0] != '/')) return;
  const std::string target = CompleteName(TypedPath(dir, typed));
  if (Exists(target) && !IsRegularFile(target)) return;
  if (OverwritePromt && Exists(target) && !AskOverwrite()) return;
  FileName = target;
  SetModalResult(mrOk);
}

void TkxFileDlgForm::FLVDBLClick(TObject*) {
  const std::string sel = FileListView->GetSelectedFile();
  if (sel.empty()) return;
  if (Exists(sel) && !IsRegularFile(sel)) return;
  if (SaveMode && OverwritePromt && !AskOverwrite()) return;
  FileName = sel;
  SetModalResult(mrOk);
}

void TkxFileDlgForm::ChosenFiles(TStrings* Files) {
  FileListView->GetSelectedFiles(Files);
  if (Files->IndexOf(FileName) < 0) {
    Files->Clear();
    Files->Add(FileName);
  }
}

// ---- keys -------------------------------------------------------------------------------------

void TkxFileDlgForm::FLVKeyPress(TObject*, uint32_t& Key) {
  if (Key == 13 && !FileListView->GetSelectedFile().empty()) {
    Key = 0;
    OpenButtonClick(this);
  }
}

void TkxFileDlgForm::EditKeyPress(TObject*, uint32_t& Key) {
  if (Key != 13) return;
  Key = 0;
  const std::string typed = FileNameEdit->Text();
  if (typed.find('*') != std::string::npos) {
    FileListView->SetMask(typed);
  } else if (typed.find('/') != std::string::npos) {
    // A relative folder is taken from the shown one, not from the process's current folder.
    const std::string path = TypedPath(FolderWithSlash(), typed);
    if (FolderExists(path)) FileListView->SetPath(path);
  } else {
    OpenButtonClick(this);
  }
}

// ---- the list and the file type ---------------------------------------------------------------

void TkxFileDlgForm::FLVChange(TObject*, TListItem*, TItemChange) {
  const std::string name = ExtractFileName(FileListView->GetSelectedFile());
  if (!name.empty()) FileNameEdit->SetText(name);
  if (OnFolderChange) OnFolderChange(this);
}

void TkxFileDlgForm::AppendHistory(PCItemIDList ID) {
  if (!ID) return;
  // A refresh of the shown folder is no step back.
  if (!FolderHistory.empty() && SameItemIDLists(FolderHistory.back(), ID)) return;
  FolderHistory.push_back(CopyItemIDList(ID));
}

void TkxFileDlgForm::FLVPathChange(TObject*) {
  if (!StopAddToHistory && FileListView->RootFolder()) AppendHistory(FileListView->RootFolder()->AbsoluteID());
  if (FileListView->Items()->Count() > 0) FileListView->SetItemFocused(FileListView->Items()->Item(0));
  if (OnFolderChange) OnFolderChange(this);
}

void TkxFileDlgForm::InitHistory() {
  if (FileListView->RootFolder()) AppendHistory(FileListView->RootFolder()->AbsoluteID());
}

void TkxFileDlgForm::FCBChange(TObject*) {
  FileListView->SetMask(FilterComboBox->Mask());
  if (!SaveMode) return;
  const std::string ext = FilterMaskExtension();
  std::string typed = FileNameEdit->Text();
  if (ext.empty() || typed.empty()) return;
  // The old extension is the one at the end of the name.
  const std::string old = ExtensionOf(typed);
  if (!old.empty()) typed.erase(typed.size() - old.size());
  FileNameEdit->SetText(typed + ext);
}

// ---- tool buttons -----------------------------------------------------------------------------

void TkxFileDlgForm::BackToolButtonClick(TObject*) {
  if (FolderHistory.size() < 2) return;
  const size_t k = FolderHistory.size() - 2;
  StopAddToHistory = true;
  try {
    FileListView->NavigateToID(FolderHistory[k]);
  } catch (...) {
    StopAddToHistory = false;
    throw;
  }
  ShellFree(FolderHistory[k]);
  FolderHistory.erase(FolderHistory.begin() + std::ptrdiff_t(k));
  StopAddToHistory = false;
}

void TkxFileDlgForm::UpToolButtonClick(TObject*) { FileListView->Back(); }

void TkxFileDlgForm::NewFolderToolButtonClick(TObject*) {
  const std::string dir = FileListView->Path();
  // Only a file-system folder takes a new folder: the desktop and Computer have no path.
  if (dir.empty() || dir[0] != '/') return;
  ++NewFolderCount;
  std::string name = ResString("MSG_NEWFOLDER", "New Folder");
  if (NewFolderCount > 1) name += "(" + IntToStr(NewFolderCount) + ")";
  if (!IsPlainName(name)) return;
  const std::string path = AppendPathPart(dir, name);
  // Anything of that name, a file too, is left alone; the next click tries the next number.
  if (Exists(path)) return;
  if (mkdir(path.c_str(), 0777) != 0) {
    const int e = errno;
    throw EInOutError("Cannot create the folder \"" + path + "\": " + std::generic_category().message(e));
  }
  FileListView->RebuildList();
  Application->ProcessMessages();
  for (int32_t i = 0; i < FileListView->FolderCount(); ++i) {
    if (FileListView->ItemName(i) != name) continue;
    FileListView->SetItemIndex(i);
    FileListView->MakeVisible(i, false);
    FileListView->EditSelectedName();
    break;
  }
}

void TkxFileDlgForm::SetListViewStyle(TViewStyle Style) {
  FileListView->SetViewStyle(Style);
  TMenuItem* items[4] = {IconMenuItem, SmallIconMenuItem, ListMenuItem, ReportMenuItem};
  for (int i = 0; i < 4; ++i) items[i]->SetChecked(StyleOfItem(i) == Style);
}

// ---- the two forms ----------------------------------------------------------------------------

TkxOpenDlgForm::TkxOpenDlgForm(TComponent* AOwner, bool ASaveMode, TkxSkinData* ACtrlSkinData,
                               bool AToolButtonsTransparent)
    : TkxFileDlgForm(AOwner, ASaveMode, ACtrlSkinData) {
  SetClientWidth(450);
  SetClientHeight(290);
  BuildControls(AToolButtonsTransparent, true);
}

TkxOpenPictureDlgForm::TkxOpenPictureDlgForm(TComponent* AOwner, bool ASaveMode, TkxSkinData* ACtrlSkinData,
                                             bool AToolButtonsTransparent)
    : TkxFileDlgForm(AOwner, ASaveMode, ACtrlSkinData) {
  SetClientWidth(550);
  SetClientHeight(290);
  ImagePanel = new TkxSkinPanel(this);
  ImagePanel->SetName("ImagePanel");
  ImagePanel->SetParent(this);
  ImagePanel->SetAlign(alRight);
  ImagePanel->SetWidth(200);
  ImagePanel->SetBorderStyle(TkxSkinBorderStyle::bvFrame);
  ImagePanel->SetCaption("");
  Splitter = new TkxSkinSplitter(this);
  Splitter->SetParent(this);
  Splitter->SetLeft(0);
  Splitter->SetAlign(alRight);
  Splitter->SetWidth(10);
  Splitter->SetDefaultSize(10);
  Splitter->SetBeveled(false);

  SBVScrollBar = new TkxSkinScrollBar(this);
  SBVScrollBar->SetKind(sbVertical);
  SBVScrollBar->SetParent(ImagePanel);
  SBVScrollBar->SetAlign(alRight);
  SBVScrollBar->SetDefaultWidth(19);
  SBVScrollBar->SetEnabled(false);
  SBVScrollBar->SetSkinDataName("vscrollbar");
  SBHScrollBar = new TkxSkinScrollBar(this);
  SBHScrollBar->SetParent(ImagePanel);
  SBHScrollBar->SetAlign(alBottom);
  SBHScrollBar->SetDefaultHeight(19);
  SBHScrollBar->SetEnabled(false);
  SBHScrollBar->SetBothMarkerWidth(19);
  SBHScrollBar->SetSkinDataName("hscrollbar");
  ScrollBox = new TkxSkinScrollBox(this);
  ScrollBox->SetParent(ImagePanel);
  ScrollBox->SetAlign(alClient);
  ScrollBox->SetBorderStyle(TkxSkinBorderStyle::bvNone);
  ScrollBox->SetVScrollBar(SBVScrollBar);
  ScrollBox->SetHScrollBar(SBHScrollBar);
  Image = new TImage(this);
  Image->SetName("Image");
  Image->SetParent(ScrollBox);
  Image->SetBounds(0, 0, 0, 0);

  BuildControls(AToolButtonsTransparent, false);

  StretchButton = AddToolButton("KX_STRETCH", ResString("MSG_BTN_STRETCH_HINT", "Stretch Picture"), 27,
                                AToolButtonsTransparent);
  StretchButton->SetName("StretchButton");
  StretchButton->SetSkinDataName("toolbutton");
  StretchButton->SetGroupIndex(2);
  StretchButton->SetAllowAllUp(true);
  StretchButton->OnClick = [this](TObject* S) { StretchButtonClick(S); };
}

void TkxOpenPictureDlgForm::SizeImage() {
  if (!Image->Stretch()) {
    Image->SetAlign(alNone);
    Image->SetBounds(0, 0, Image->Picture()->Width(), Image->Picture()->Height());
  }
  ScrollBox->UpDateScrollRange();
}

void TkxOpenPictureDlgForm::LoadPreview(const std::string& Path) {
  // Only regular files of the formats we decode: a FIFO would block, and an unknown or damaged
  // file is simply not shown.
  bool shown = false;
  if (IsRegularFile(Path) && CreateGraphicForExtension(ExtractFileExt(Path))) {
    try {
      Image->Picture()->LoadFromFile(Path);
      shown = true;
    } catch (const Exception&) {
    }
  }
  if (!shown) Image->Picture()->SetGraphic(nullptr);
  SizeImage();
}

void TkxOpenPictureDlgForm::FLVChange(TObject*, TListItem*, TItemChange) {
  const std::string sel = FileListView->GetSelectedFile();
  FileNameEdit->SetText(ExtractFileName(sel));
  if (!sel.empty()) {
    LoadPreview(sel);
  } else {
    Image->SetAlign(alNone);
    Image->SetBounds(0, 0, 0, 0);
  }
  if (OnFolderChange) OnFolderChange(this);
}

void TkxOpenPictureDlgForm::StretchButtonClick(TObject*) {
  Image->SetVisible(false);
  if (StretchButton->Down()) {
    Image->SetStretch(true);
    Image->SetAlign(alClient);
  } else {
    Image->SetAlign(alNone);
    Image->SetStretch(false);
    Image->SetBounds(0, 0, Image->Picture()->Width(), Image->Picture()->Height());
  }
  ScrollBox->UpDateScrollRange();
  Image->SetVisible(true);
}

// ---- the components ---------------------------------------------------------------------------

TkxCustomSkinOpenDialog::TkxCustomSkinOpenDialog(TComponent* AOwner, const std::string& ATitle,
                                                 const std::string& AFilter)
    : TComponent(AOwner), Filter(AFilter), FDefaultFont(std::make_unique<TFont>()), FTitle(ATitle),
      FFiles(std::make_unique<TStringList>()) {
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetStyle(TFontStyles{});
  FDefaultFont->SetHeight(14);
}

TkxCustomSkinOpenDialog::~TkxCustomSkinOpenDialog() = default;

void TkxCustomSkinOpenDialog::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSD) FSD = nullptr;
  if (AComponent == FCtrlFSD) FCtrlFSD = nullptr;
}

void TkxCustomSkinOpenDialog::SetSkinData(TkxSkinData* Value) {
  if (FSD && FSD != FCtrlFSD) FSD->RemoveFreeNotification(this);
  FSD = Value;
  if (FSD) FSD->FreeNotification(this);
}

void TkxCustomSkinOpenDialog::SetCtrlSkinData(TkxSkinData* Value) {
  if (FCtrlFSD && FCtrlFSD != FSD) FCtrlFSD->RemoveFreeNotification(this);
  FCtrlFSD = Value;
  if (FCtrlFSD) FCtrlFSD->FreeNotification(this);
}

void TkxCustomSkinOpenDialog::SetFileName(const std::string& Value) {
  FFileName = Value;
  if (FDlgFrm) FDlgFrm->FileNameEdit->SetText(Value);
}

std::string TkxCustomSkinOpenDialog::GetSelectedFile() {
  return FDlgFrm ? FDlgFrm->FileListView->GetSelectedFile() : std::string();
}

void TkxCustomSkinOpenDialog::SetOptions(TOpenOptions Value) {
  FOptions = Value;
  OverwritePromt = Value.Contains(ofOverwritePrompt);
  CheckFileExists = Value.Contains(ofFileMustExist);
  MultiSelection = Value.Contains(ofAllowMultiSelect);
  ShowHiddenFiles = Value.Contains(ofForceShowHidden);
}

std::string TkxCustomSkinOpenDialog::StartFolder() const {
  std::string dir = ExtractFileDir(FFileName);
  if (dir.empty() && !FFileName.empty() && FFileName[0] == '/') dir = "/";
  // The folder of the last file may be gone (a removed stick): that is no reason to fail.
  if (!dir.empty() && FolderExists(dir)) return dir;
  if (!InitialDir.empty() && FolderExists(InitialDir)) return InitialDir;
  return ExtractFileDir(ExecutableDir());
}

bool TkxCustomSkinOpenDialog::Execute() {
  if (OnShow) OnShow(this);
  FDlgFrm = CreateForm();
  bool result = false;
  try {
    Run(FDlgFrm, result);
  } catch (...) {
    if (OnClose) OnClose(this);
    delete FDlgFrm;
    FDlgFrm = nullptr;
    throw;
  }
  if (OnClose) OnClose(this);
  delete FDlgFrm;
  FDlgFrm = nullptr;
  return result;
}

void TkxCustomSkinOpenDialog::Run(TkxFileDlgForm* F, bool& Result) {
  // A delete or the properties from the list's context menu ask in the dialog's skin.
  InstallSkinShellHooks(FSD, FCtrlFSD);
  F->OverwritePromt = OverwritePromt;
  F->CheckFileExists = CheckFileExists;
  F->DefaultExt = DefaultExt;
  F->SetCaption(FTitle);
  F->VLR->SetBorderIcons(TkxBorderIcons{});
  F->VLR->SetSkinData(FSD);
  F->VLR->SetMenusSkinData(FCtrlFSD);
  F->VLR->MinWidth = DialogMinWidth;
  F->VLR->MinHeight = DialogMinHeight;
  F->VLR->SetAlphaBlend(AlphaBlend);
  F->VLR->AlphaBlendAnimation = AlphaBlendAnimation;
  F->VLR->SetAlphaBlendValue(AlphaBlendValue);
  F->VLR->MenusAlphaBlend = CtrlAlphaBlend;
  F->VLR->MenusAlphaBlendValue = CtrlAlphaBlendValue;
  F->VLR->MenusAlphaBlendAnimation = CtrlAlphaBlendAnimation;
  for (TkxSkinCustomComboBox* box : {static_cast<TkxSkinCustomComboBox*>(F->ShellBox),
                                     static_cast<TkxSkinCustomComboBox*>(F->FilterComboBox)}) {
    box->SetAlphaBlend(CtrlAlphaBlend);
    box->SetAlphaBlendValue(CtrlAlphaBlendValue);
    box->SetAlphaBlendAnimation(CtrlAlphaBlendAnimation);
  }
  F->OpenButton->SetDefaultFont(FDefaultFont.get());
  F->CancelButton->SetDefaultFont(FDefaultFont.get());
  F->ShellBox->SetDefaultFont(FDefaultFont.get());
  F->FileListView->SetDefaultFont(FDefaultFont.get());
  PrepareForm(F);

  TkxSkinFileListView* list = F->FileListView;
  list->SetHeaderSkinDataName(LVHeaderSkinDataName);
  list->SetSkinData(FCtrlFSD);
  list->SetMultiSelect(MultiSelection);
  if (ShowHiddenFiles) {
    TShellObjectTypes types = list->ObjectTypes();
    types.Include(otHidden);
    list->SetObjectTypes(types);
  }
  F->SetListViewStyle(ListViewStyle);
  // The list's window first, so that the folder is read once, with the chosen file type's mask.
  list->HandleNeeded();
  F->FilterComboBox->SetFilter(Filter);
  F->FilterComboBox->HandleNeeded();
  const int32_t types = F->FilterComboBox->Items()->Count();
  if (types > 0) F->FilterComboBox->SetItemIndex(FilterIndex >= 1 && FilterIndex <= types ? FilterIndex - 1 : 0);
  else F->FCBChange(F);
  const std::string start = StartFolder();
  try {
    list->SetRoot(start);
  } catch (const Exception&) {
    // A folder that exists but cannot be shown: the program's folder instead.
    list->SetRoot(ExtractFileDir(ExecutableDir()));
  }
  // A new root is no folder change the list reports: the look-in box is shown it here.
  if (list->RootFolder()) F->ShellBox->FolderIDChanged(list->RootFolder()->AbsoluteID());

  for (TkxSkinBinding* c : std::initializer_list<TkxSkinBinding*>{
           F->ToolPanel, F->BottomPanel, F->FileListViewPanel, F->Drivelabel, F->OpenFileLabel, F->FileTypeLabel,
           F->BackToolButton, F->UpToolButton, F->NewFolderToolButton, F->StyleToolButton, F->FLVHScrollBar,
           F->FLVVScrollBar, F->FileNameEdit, F->ShellBox, F->FilterComboBox, F->OpenButton, F->CancelButton})
    c->SetSkinData(FCtrlFSD);
  F->ShellBox->SetSkinDataName("combobox");

  int32_t w = DialogWidth > 0 ? DialogWidth : DefaultDialogWidth();
  int32_t h = DialogHeight > 0 ? DialogHeight : 290;
  if (FSD && !FSD->Empty) {
    w = std::max(w, F->VLR->GetMinWidth());
    h = std::max(h, F->VLR->GetMinHeight());
  }
  F->SetClientWidth(w);
  F->SetClientHeight(h);
  FormSized(F);
  if (list->Items()->Count() > 0) list->SetItemFocused(list->Items()->Item(0));
  F->FileNameEdit->SetText(ExtractFileName(FFileName));
  F->InitHistory();

  Result = F->ShowModal() == mrOk;
  FilterIndex = F->FilterComboBox->ItemIndex() + 1;
  DialogWidth = F->ClientWidth();
  DialogHeight = F->ClientHeight();
  ListViewStyle = list->ViewStyle();
  FormClosed(F);
  if (!Result) return;
  FFileName = F->FileName;
  F->ChosenFiles(FFiles.get());
  if (OnChange) OnChange(this);
}

// ---- the open dialog --------------------------------------------------------------------------

TkxSkinOpenDialog::TkxSkinOpenDialog(TComponent* AOwner)
    : TkxCustomSkinOpenDialog(AOwner, "Open file", "All files|*.*") {}

TkxFileDlgForm* TkxSkinOpenDialog::CreateForm() {
  return new TkxOpenDlgForm(Application, FSaveMode, CtrlSkinData(), ToolButtonsTransparent);
}

void TkxSkinOpenDialog::PrepareForm(TkxFileDlgForm* F) { F->OnFolderChange = OnFolderChange; }

// ---- the picture dialogs ----------------------------------------------------------------------

TkxSkinOpenPictureDialog::TkxSkinOpenPictureDialog(TComponent* AOwner)
    : TkxCustomSkinOpenDialog(AOwner, "Open picture",
                              "All (*.bmp;*.ico;*.emf;*.wmf)|*.bmp;*.ico;*.emf;*.wmf|Bitmaps (*.bmp)|*.bmp|"
                              "Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf") {
  AlphaBlendValue = 200;
}

TkxFileDlgForm* TkxSkinOpenPictureDialog::CreateForm() {
  return new TkxOpenPictureDlgForm(Application, FSaveMode, CtrlSkinData(), ToolButtonsTransparent);
}

void TkxSkinOpenPictureDialog::PrepareForm(TkxFileDlgForm* Form) {
  auto* f = static_cast<TkxOpenPictureDlgForm*>(Form);
  f->ImagePanel->SetWidth(ImagePanelWidth);
  for (TkxSkinBinding* c : std::initializer_list<TkxSkinBinding*>{f->ImagePanel, f->ScrollBox, f->SBVScrollBar,
                                                                   f->SBHScrollBar, f->StretchButton, f->Splitter})
    c->SetSkinData(CtrlSkinData());
}

void TkxSkinOpenPictureDialog::FormSized(TkxFileDlgForm* Form) {
  auto* f = static_cast<TkxOpenPictureDlgForm*>(Form);
  if (StretchPicture || DialogStretch) {
    f->StretchButton->SetDown(true);
    f->StretchButtonClick(f);
  }
  // A start file that cannot be shown leaves the pane blank; the run goes on.
  if (IsRegularFile(FileName())) f->LoadPreview(FileName());
}

void TkxSkinOpenPictureDialog::FormClosed(TkxFileDlgForm* Form) {
  auto* f = static_cast<TkxOpenPictureDlgForm*>(Form);
  DialogStretch = f->StretchButton->Down();
  ImagePanelWidth = f->ImagePanel->Width();
}

TkxSkinSavePictureDialog::TkxSkinSavePictureDialog(TComponent* AOwner) : TkxSkinOpenPictureDialog(AOwner) {
  SetTitle("Save file");
  FSaveMode = true;
}

// ---- the shell's questions --------------------------------------------------------------------

namespace {

struct ShellHookSkins {
  TkxComponentLink<TkxSkinData> SD, CtrlSD;
};

ShellHookSkins& HookSkins() {
  static ShellHookSkins* s = new ShellHookSkins;  // lives as long as the hooks may run
  return *s;
}

std::string HookText(const char* Key, const char* Default) {
  TkxSkinData* sd = HookSkins().CtrlSD.Get();
  if (sd && sd->ResourceStrData()) {
    const std::string s = sd->ResourceStrData()->GetResStr(Key);
    if (!s.empty()) return s;
  }
  return Default;
}

void PrepareMessage(TkxSkinMessage& M) {
  M.SetSkinData(HookSkins().SD.Get());
  M.SetCtrlSkinData(HookSkins().CtrlSD.Get());
}

}  // namespace

void InstallSkinShellHooks(TkxSkinData* SkinData, TkxSkinData* CtrlSkinData) {
  HookSkins().SD.Set(SkinData);
  HookSkins().CtrlSD.Set(CtrlSkinData);
  shell::SetDeleteConfirmation([](const std::vector<std::string>& Paths) {
    if (Paths.empty()) return true;
    TkxSkinMessage msg(nullptr);
    PrepareMessage(msg);
    const std::string text = Paths.size() == 1
                                 ? "Move \"" + ExtractFileName(Paths[0]) + "\" to the trash?"
                                 : "Move these " + IntToStr(int64_t(Paths.size())) + " items to the trash?";
    return msg.MessageDlg(text, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) == mrYes;
  });
  shell::SetPropertiesHandler([](const shell::ItemInfo& Info) {
    TkxSkinMessage msg(nullptr);
    PrepareMessage(msg);
    std::string text = HookText("FLV_NAME", "Name") + ": " + Info.name + "\n" + HookText("FLV_TYPE", "Type") +
                       ": " + Info.type + "\nLocation: " + Info.path;
    if (!Info.size.empty()) text += "\n" + HookText("FLV_SIZE", "Size") + ": " + Info.size;
    if (!Info.modified.empty()) text += "\n" + HookText("FLV_MODIFIED", "Modified") + ": " + Info.modified;
    if (!Info.changed.empty()) text += "\nChanged: " + Info.changed;
    msg.MessageDlg2(text, Info.name, mtInformation, TMsgDlgButtons{mbOK}, 0);
    return true;
  });
}

void RemoveSkinShellHooks() {
  shell::SetDeleteConfirmation(nullptr);
  shell::SetPropertiesHandler(nullptr);
  HookSkins().SD.Set(nullptr);
  HookSkins().CtrlSD.Set(nullptr);
}

// ---- streaming --------------------------------------------------------------------------------

namespace {

uint8_t ByteValue(int32_t V, const char* What) {
  if (V < 0 || V > 255) throw EFormValueError(std::string(What) + " is 0..255");
  return uint8_t(V);
}

}  // namespace

void RegisterSkinOpenDialogFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterSkinControlFormClasses();
  using D = TkxCustomSkinOpenDialog;
  RegisterFormClass<D, TComponent>("TkxCustomSkinOpenDialog")
      .Event<TNotifyEvent>("OnShow", &D::OnShow)
      .Event<TNotifyEvent>("OnClose", &D::OnClose)
      .Boolean("ShowHiddenFiles", &D::ShowHiddenFiles)
      .Boolean("ToolButtonsTransparent", &D::ToolButtonsTransparent)
      .Boolean("OverwritePromt", &D::OverwritePromt)
      .String("DefaultExt", &D::DefaultExt)
      .Integer("DialogWidth", &D::DialogWidth)
      .Integer("DialogHeight", &D::DialogHeight)
      .Integer("DialogMinWidth", &D::DialogMinWidth)
      .Integer("DialogMinHeight", &D::DialogMinHeight)
      .Boolean("CheckFileExists", &D::CheckFileExists)
      .Boolean("MultiSelection", &D::MultiSelection)
      .Reference<TkxSkinData>("SkinData", &D::SetSkinData)
      .Reference<TkxSkinData>("CtrlSkinData", &D::SetCtrlSkinData)
      .String("LVHeaderSkinDataName", &D::LVHeaderSkinDataName)
      .Object("DefaultFont", &D::DefaultFont)
      .String("Title", &D::SetTitle)
      .String("InitialDir", &D::InitialDir)
      .String("Filter", &D::Filter)
      .String("FileName", &D::SetFileName)
      .Integer("FilterIndex", &D::FilterIndex)
      .Boolean("AlphaBlend", &D::AlphaBlend)
      .Integer("AlphaBlendValue", [](D* d, int32_t v) { d->AlphaBlendValue = ByteValue(v, "AlphaBlendValue"); })
      .Boolean("AlphaBlendAnimation", &D::AlphaBlendAnimation)
      .Boolean("CtrlAlphaBlend", &D::CtrlAlphaBlend)
      .Integer("CtrlAlphaBlendValue",
               [](D* d, int32_t v) { d->CtrlAlphaBlendValue = ByteValue(v, "CtrlAlphaBlendValue"); })
      .Boolean("CtrlAlphaBlendAnimation", &D::CtrlAlphaBlendAnimation)
      .Set<TOpenOption>("Options", &D::SetOptions,
                        {{"ofReadOnly", ofReadOnly},
                         {"ofOverwritePrompt", ofOverwritePrompt},
                         {"ofHideReadOnly", ofHideReadOnly},
                         {"ofNoChangeDir", ofNoChangeDir},
                         {"ofShowHelp", ofShowHelp},
                         {"ofNoValidate", ofNoValidate},
                         {"ofAllowMultiSelect", ofAllowMultiSelect},
                         {"ofExtensionDifferent", ofExtensionDifferent},
                         {"ofPathMustExist", ofPathMustExist},
                         {"ofFileMustExist", ofFileMustExist},
                         {"ofCreatePrompt", ofCreatePrompt},
                         {"ofShareAware", ofShareAware},
                         {"ofNoReadOnlyReturn", ofNoReadOnlyReturn},
                         {"ofNoTestFileCreate", ofNoTestFileCreate},
                         {"ofNoNetworkButton", ofNoNetworkButton},
                         {"ofNoLongNames", ofNoLongNames},
                         {"ofOldStyleDialog", ofOldStyleDialog},
                         {"ofNoDereferenceLinks", ofNoDereferenceLinks},
                         {"ofEnableIncludeNotify", ofEnableIncludeNotify},
                         {"ofEnableSizing", ofEnableSizing},
                         {"ofDontAddToRecent", ofDontAddToRecent},
                         {"ofForceShowHidden", ofForceShowHidden}});
  RegisterFormClass<TkxSkinOpenDialog, D>("TkxSkinOpenDialog")
      .Event<TNotifyEvent>("OnFolderChange", &TkxSkinOpenDialog::OnFolderChange);
  using P = TkxSkinOpenPictureDialog;
  RegisterFormClass<P, D>("TkxSkinOpenPictureDialog").Boolean("StretchPicture", &P::StretchPicture);
  RegisterFormClass<TkxSkinSavePictureDialog, P>("TkxSkinSavePictureDialog");
}
