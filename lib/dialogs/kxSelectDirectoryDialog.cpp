#include "lib/dialogs/kxSelectDirectoryDialog.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "classlib/ExtCtrls.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinEdits.h"
#include "lib/controls/kxSkinPanels.h"
#include "lib/controls/kxSkinScrollBar.h"
#include "lib/controls/kxSkinSplitBevel.h"
#include "lib/dialogs/kxSkinShellTree.h"
#include "lib/dialogs/kxfilectrl.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"

using namespace win;

namespace {

// The new-folder button's one glyph: a yellow folder with a green plus. The bottom-left pixel's
// colour (magenta) is the glyph's transparent colour.
void DrawNewFolderGlyph(TBitmap& B) {
  B.SetPixelFormat(pf24bit);
  B.SetSize(16, 16);
  TCanvas* c = B.Canvas();
  c->Brush()->SetColor(TColor(0xFF00FF));
  c->FillRect(TRect{0, 0, 16, 16});
  const TColor edge = TColor(0x0070A0), body = TColor(0x40C8F0), tab = TColor(0x60D8F8);
  c->Brush()->SetColor(tab);
  c->FillRect(TRect{1, 4, 7, 6});
  c->Brush()->SetColor(body);
  c->FillRect(TRect{1, 6, 13, 14});
  c->Pen()->SetColor(edge);
  c->MoveTo(1, 4), c->LineTo(6, 4), c->LineTo(7, 5), c->LineTo(12, 5), c->LineTo(12, 13);
  c->LineTo(1, 13), c->LineTo(1, 4);
  const TColor plus = TColor(0x20A020);
  c->Brush()->SetColor(plus);
  c->FillRect(TRect{11, 0, 13, 7});
  c->FillRect(TRect{9, 2, 16, 4});
  c->SetPixels(0, 15, TColor(0xFF00FF));
}

}  // namespace

// ---- the form ---------------------------------------------------------------------------------

TkxSelDirDlgForm::TkxSelDirDlgForm(TComponent* AOwner, TkxSkinData* ACtrlSkinData, bool AShowToolBar,
                                   bool AToolButtonsTransparent)
    : TForm(AOwner) {
  SetKeyPreview(true);
  SetPosition(poScreenCenter);
  VLR = new TkxVelara(this);
  CtrlSD = ACtrlSkinData;
  ShowToolBar = AShowToolBar;

  if (AShowToolBar) {
    ToolPanel = new TkxSkinPanel(this);
    ToolPanel->SetParent(this);
    ToolPanel->SetAlign(alTop);
    ToolPanel->SetBorderStyle(TkxSkinBorderStyle::bvNone);
    ToolPanel->SetDefaultHeight(25);
    ToolPanel->SetSkinDataName("toolpanel");

    NewFolderToolButton = new TkxSkinSpeedButton(this);
    NewFolderToolButton->SetParent(ToolPanel);
    NewFolderToolButton->SetLeft(Width());
    NewFolderToolButton->SetAlign(alRight);
    NewFolderToolButton->SetDefaultHeight(25);
    NewFolderToolButton->SetDefaultWidth(27);
    NewFolderToolButton->SetSkinDataName("toolbutton");
    TBitmap glyph;
    DrawNewFolderGlyph(glyph);
    NewFolderToolButton->SetGlyph(&glyph);
    NewFolderToolButton->SetNumGlyphs(1);
    NewFolderToolButton->SetHint(ResString("MSG_BTN_NEWFOLDER_HINT", "Create New Folder"));
    NewFolderToolButton->SetShowHint(true);
    NewFolderToolButton->SetFlat(AToolButtonsTransparent);
    NewFolderToolButton->OnClick = [this](TObject* S) { NewFolderClick(S); };

    auto* spacer = new TkxSkinBevel(this);
    spacer->SetParent(ToolPanel);
    spacer->SetLeft(0);
    spacer->SetAlign(alRight);
    spacer->SetWidth(5);
    spacer->SetShape(bsSpacer);

    DirEdit = new TkxSkinEdit(this);
    DirEdit->SetParent(ToolPanel);
    DirEdit->SetAlign(alClient);
    DirEdit->SetDefaultHeight(25);
    DirEdit->SetSkinDataName("edit");
    DirEdit->OnKeyPress = [this](TObject* S, uint32_t& K) { DirEditKeyPress(S, K); };
  }

  DirTreeViewPanel = new TkxSkinPanel(this);
  DirTreeViewPanel->SetParent(this);
  DirTreeViewPanel->SetAlign(alClient);
  DirTreeViewPanel->SetBorderStyle(TkxSkinBorderStyle::bvFrame);
  DirTreeViewPanel->SetHeight(200);

  VScrollBar = new TkxSkinScrollBar(this);
  VScrollBar->SetKind(sbVertical);
  VScrollBar->SetParent(DirTreeViewPanel);
  VScrollBar->SetAlign(alRight);
  VScrollBar->SetDefaultWidth(19);
  VScrollBar->SetEnabled(false);
  VScrollBar->SetSkinDataName("vscrollbar");
  HScrollBar = new TkxSkinScrollBar(this);
  HScrollBar->SetParent(DirTreeViewPanel);
  HScrollBar->SetAlign(alBottom);
  HScrollBar->SetDefaultHeight(19);
  HScrollBar->SetEnabled(false);
  HScrollBar->SetBothMarkerWidth(19);
  HScrollBar->SetSkinDataName("hscrollbar");

  DirTreeView = new TkxSkinDirTreeView(this);
  DirTreeView->SetParent(DirTreeViewPanel);
  DirTreeView->SetAlign(alClient);
  DirTreeView->SetHScrollBar(HScrollBar);
  DirTreeView->SetVScrollBar(VScrollBar);
  TShellObjectTypes types = DirTreeView->ObjectTypes();
  types.Include(otHidden);
  DirTreeView->SetObjectTypes(types);
  DirTreeView->SetHideSelection(false);
  DirTreeView->OnChange = [this](TObject* S, TTreeNode* N) { DirTreeViewChange(S, N); };

  BottomPanel = new TkxSkinPanel(this);
  BottomPanel->SetParent(this);
  BottomPanel->SetAlign(alBottom);
  BottomPanel->SetBorderStyle(TkxSkinBorderStyle::bvNone);
  BottomPanel->SetHeight(50);

  OkButton = new TkxSkinButton(this);
  OkButton->SetParent(BottomPanel);
  OkButton->SetDefault(true);
  OkButton->SetCaption(ResString("MSG_BTN_OK", "OK"));
  OkButton->SetCanFocused(true);
  OkButton->SetBounds(20, 15, 70, OkButton->Height());
  OkButton->SetDefaultHeight(25);
  OkButton->SetModalResult(mrOk);
  CancelButton = new TkxSkinButton(this);
  CancelButton->SetParent(BottomPanel);
  CancelButton->SetCaption(ResString("MSG_BTN_CANCEL", "Cancel"));
  CancelButton->SetCanFocused(true);
  CancelButton->SetBounds(100, 15, 70, CancelButton->Height());
  CancelButton->SetDefaultHeight(25);
  CancelButton->SetModalResult(mrCancel);
  CancelButton->SetCancel(true);
}

TkxSelDirDlgForm::~TkxSelDirDlgForm() {
  // The tree clears its nodes as it goes, after this part of the form has gone.
  if (DirTreeView) DirTreeView->OnChange = nullptr;
}

std::string TkxSelDirDlgForm::ResString(const std::string& Key, const std::string& Default) const {
  if (CtrlSD && CtrlSD->ResourceStrData()) return CtrlSD->ResourceStrData()->GetResStr(Key);
  return Default;
}

void TkxSelDirDlgForm::DirTreeViewChange(TObject*, TTreeNode*) {
  if (ShowToolBar && DirEdit) DirEdit->SetText(DirTreeView->Path());
}

void TkxSelDirDlgForm::DirEditKeyPress(TObject*, uint32_t& Key) {
  if (Key != 13) return;
  const std::string text = DirEdit->Text();
  if (!text.empty() && FolderExists(text)) DirTreeView->SetPath(text);
}

void TkxSelDirDlgForm::NewFolderClick(TObject*) {
  const std::string dir = DirTreeView->Path();
  // Only a file-system folder takes a new folder: the desktop and Computer have no path.
  if (!DirTreeView->Selected() || dir.empty() || dir[0] != '/') return;
  const std::string name = ResString("MSG_NEWFOLDER", "New Folder");
  // A name from a skin's string table must stay one plain name inside the folder.
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) return;
  const std::string path = AppendPathPart(dir, name);
  struct stat st;
  if (lstat(path.c_str(), &st) == 0) return;
  if (mkdir(path.c_str(), 0777) != 0) {
    const int e = errno;
    throw EInOutError("Cannot create the folder \"" + path + "\": " + std::generic_category().message(e));
  }
  DirTreeView->Refresh(DirTreeView->Selected());
}

// ---- the component ----------------------------------------------------------------------------

TkxSkinSelectDirectoryDialog::TkxSkinSelectDirectoryDialog(TComponent* AOwner)
    : TComponent(AOwner), FDefaultFont(std::make_unique<TFont>()) {
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetStyle(TFontStyles{});
  FDefaultFont->SetHeight(14);
}

TkxSkinSelectDirectoryDialog::~TkxSkinSelectDirectoryDialog() = default;

void TkxSkinSelectDirectoryDialog::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSD) FSD = nullptr;
  if (AComponent == FCtrlFSD) FCtrlFSD = nullptr;
}

void TkxSkinSelectDirectoryDialog::SetSkinData(TkxSkinData* Value) {
  if (FSD && FSD != FCtrlFSD) FSD->RemoveFreeNotification(this);
  FSD = Value;
  if (FSD) FSD->FreeNotification(this);
}

void TkxSkinSelectDirectoryDialog::SetCtrlSkinData(TkxSkinData* Value) {
  if (FCtrlFSD && FCtrlFSD != FSD) FCtrlFSD->RemoveFreeNotification(this);
  FCtrlFSD = Value;
  if (FCtrlFSD) FCtrlFSD->FreeNotification(this);
}

bool TkxSkinSelectDirectoryDialog::Execute() {
  if (OnShow) OnShow(this);
  FDlgFrm = new TkxSelDirDlgForm(Application, FCtrlFSD, ShowToolBar, ToolButtonsTransparent);
  bool result = false;
  try {
    TkxSelDirDlgForm* f = FDlgFrm;
    f->SetCaption(FTitle);
    f->VLR->SetBorderIcons(TkxBorderIcons{});
    f->VLR->SetSkinData(FSD);
    f->VLR->SetMenusSkinData(FCtrlFSD);
    f->VLR->MinWidth = DialogMinWidth;
    f->VLR->MinHeight = DialogMinHeight;
    f->VLR->SetAlphaBlend(AlphaBlend);
    f->VLR->AlphaBlendAnimation = AlphaBlendAnimation;
    f->VLR->SetAlphaBlendValue(AlphaBlendValue);
    f->DirTreeViewPanel->SetSkinData(FCtrlFSD);
    f->DirTreeView->SetDefaultFont(FDefaultFont.get());
    f->DirTreeView->SetSkinData(FCtrlFSD);
    // The tree's nodes live with its window: made now, so that the start folder is selected
    // before the form shows.
    f->DirTreeView->HandleNeeded();
    if (!Directory.empty() && FolderExists(Directory)) f->DirTreeView->SetPath(Directory);
    else f->DirTreeView->ExpandMyComputer();
    f->VScrollBar->SetSkinData(FCtrlFSD);
    f->HScrollBar->SetSkinData(FCtrlFSD);
    f->OkButton->SetSkinData(FCtrlFSD);
    f->CancelButton->SetSkinData(FCtrlFSD);
    f->BottomPanel->SetSkinData(FCtrlFSD);
    f->OkButton->SetDefaultFont(FDefaultFont.get());
    f->CancelButton->SetDefaultFont(FDefaultFont.get());
    if (ShowToolBar) {
      f->ToolPanel->SetSkinData(FCtrlFSD);
      f->NewFolderToolButton->SetSkinData(FCtrlFSD);
      f->DirEdit->SetSkinData(FCtrlFSD);
      f->DirEdit->SetText(f->DirTreeView->Path());
    }
    int32_t w = DialogWidth > 0 ? DialogWidth : 280;
    int32_t h = DialogHeight > 0 ? DialogHeight : 280;
    if (FSD && !FSD->Empty) {
      w = std::max(w, f->VLR->GetMinWidth());
      h = std::max(h, f->VLR->GetMinHeight());
    }
    f->SetClientWidth(w);
    f->SetClientHeight(h);
    // The tree can take the focus only once the form shows.
    f->OnShow = [f](TObject*) {
      if (f->DirTreeView->CanFocus()) f->SetActiveControl(f->DirTreeView);
    };
    result = f->ShowModal() == mrOk;
    DialogWidth = f->ClientWidth();
    DialogHeight = f->ClientHeight();
    if (result) {
      Directory = f->DirTreeView->Path();
      if (OnChange) OnChange(this);
    }
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
