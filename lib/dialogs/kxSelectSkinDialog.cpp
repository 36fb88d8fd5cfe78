#include "lib/dialogs/kxSelectSkinDialog.h"

#include <algorithm>

#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinListBoxes.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinStore.h"

namespace {

constexpr int32_t kClientWidth = 420, kClientHeight = 240;

void InitFont(TFont& F) {
  F.SetName("Arial");
  F.SetHeight(14);
  F.SetStyle({});
}

}  // namespace

// ---- the form -----------------------------------------------------------------------------------

TkxSelectSkinDlgForm::TkxSelectSkinDlgForm(TComponent* AOwner, TkxCompressedSkinList* ASkinList,
                                           int32_t ASkinIndex, TkxSkinData* ACtrlSkinData)
    : TForm(AOwner), FCSkinList(ASkinList), FCSkinIndex(ASkinIndex) {
  Build(ACtrlSkinData);
  for (int i = 0; ASkinList && i < ASkinList->Skins()->Count(); ++i) {
    TkxSkinListItem* item = ASkinList->Skins()->GetItem(i);
    SkinsListBox->Items()->Add(!item->Description().empty() ? item->Description() : item->Name());
  }
  // A start outside the list highlights nothing and loads nothing (the list box refuses such an
  // index, so it is not handed on).
  const bool inside = ASkinIndex >= 0 && ASkinIndex < SkinsListBox->Items()->Count();
  SkinsListBox->SetItemIndex(inside ? ASkinIndex : -1);
  PreviewSkinData->SetSkinIndex(ASkinIndex);
  PreviewSkinData->SetSkinList(ASkinList);
  PreviewForm->SetLeft(190);
  PreviewForm->SetTop(10);
  PreviewForm->Show();
  FocusListOnShow();
}

TkxSelectSkinDlgForm::TkxSelectSkinDlgForm(TComponent* AOwner, TComponent* AForm,
                                           TkxCompressedStoredSkin* ADefaultSkin, TkxSkinData* ACtrlSkinData)
    : TForm(AOwner) {
  Build(ACtrlSkinData);
  int32_t start = 0;
  for (int i = 0; AForm && i < AForm->ComponentCount(); ++i)
    if (auto* stored = dynamic_cast<TkxCompressedStoredSkin*>(AForm->Components(i))) {
      if (stored == ADefaultSkin) start = int32_t(SkinList.size());
      SkinList.push_back(stored);
      SkinsListBox->Items()->Add(!stored->Description().empty() ? stored->Description() : stored->Name());
    }
  if (!SkinList.empty()) {
    SkinsListBox->SetItemIndex(start);
    PreviewSkinData->SetCompressedStoredSkin(SkinList[size_t(start)]);
  }
  PreviewForm->SetLeft(190);
  PreviewForm->SetTop(10);
  PreviewForm->Show();
  FocusListOnShow();
}

// The keyboard works in the list at once; the list takes the focus once the form shows.
void TkxSelectSkinDlgForm::FocusListOnShow() {
  OnShow = [this](TObject*) {
    if (SkinsListBox->ListBox->CanFocus()) SetActiveControl(SkinsListBox->ListBox);
  };
}

std::string TkxSelectSkinDlgForm::Text(const char* Key, const char* Default) const {
  if (FStrings && FStrings->ResourceStrData()) return FStrings->ResourceStrData()->GetResStr(Key);
  return Default;
}

void TkxSelectSkinDlgForm::Build(TkxSkinData* ACtrlSkinData) {
  SetPosition(poScreenCenter);
  SetBorderStyle(bsSingle);
  FStrings = ACtrlSkinData && ACtrlSkinData->ResourceStrData() ? ACtrlSkinData : nullptr;
  VLR = new TkxVelara(this);

  PreviewForm = new TForm(this);
  PreviewForm->SetParent(this);
  PreviewForm->SetCaption(Text("MSG_PREVIEWSKIN", "Preview"));
  PreviewForm->SetEnabled(false);
  PreviewForm->SetBounds(190, 10, 220, 170);
  PreviewForm->SetVisible(false);

  PreviewSkinData = new TkxSkinData(this);
  if (FStrings) PreviewSkinData->SetResourceStrData(FStrings->ResourceStrData());

  PreviewButton = new TkxSkinButton(PreviewForm);
  PreviewButton->SetParent(PreviewForm);
  PreviewButton->SetBounds(20, 20, 100, PreviewButton->Height());
  PreviewButton->SetCaption(Text("MSG_PREVIEWBUTTON", "Button"));
  PreviewButton->SetSkinData(PreviewSkinData);

  PreviewVLR = new TkxVelara(PreviewForm);
  PreviewVLR->PreviewMode = true;
  PreviewVLR->SetSkinData(PreviewSkinData);

  OpenButton = new TkxSkinButton(this);
  OpenButton->SetName("OpenButton");
  OpenButton->SetDefault(true);
  OpenButton->SetCaption(Text("MSG_BTN_OK", "OK"));
  OpenButton->SetCanFocused(true);
  OpenButton->SetDefaultHeight(25);
  OpenButton->SetBounds(260, 200, 70, 25);
  OpenButton->SetParent(this);
  OpenButton->SetModalResult(mrOk);

  CancelButton = new TkxSkinButton(this);
  CancelButton->SetName("CancelButton");
  CancelButton->SetCaption(Text("MSG_BTN_CANCEL", "Cancel"));
  CancelButton->SetCanFocused(true);
  CancelButton->SetDefaultHeight(25);
  CancelButton->SetBounds(340, 200, 70, 25);
  CancelButton->SetParent(this);
  CancelButton->SetModalResult(mrCancel);
  CancelButton->SetCancel(true);

  SkinsListBox = new TkxSkinListBox(this);
  SkinsListBox->SetName("SkinsListBox");
  SkinsListBox->SetParent(this);
  SkinsListBox->SetBounds(10, 10, 170, 170);
  SkinsListBox->OnListBoxClick = [this](TObject* Sender) { SLBOnChange(Sender); };
  SkinsListBox->OnListBoxDblClick = [this](TObject* Sender) { SLBOnDblClick(Sender); };
}

TkxCompressedStoredSkin* TkxSelectSkinDlgForm::SelectedSkin() const {
  return PreviewSkinData ? PreviewSkinData->CompressedStoredSkin() : nullptr;
}

int32_t TkxSelectSkinDlgForm::SkinCount() const { return SkinsListBox->Items()->Count(); }

void TkxSelectSkinDlgForm::SLBOnChange(TObject*) {
  const int32_t i = SkinsListBox->ItemIndex();
  if (FCSkinList) {
    PreviewSkinData->SetSkinIndex(i);
  } else if (i >= 0 && i < int32_t(SkinList.size())) {
    PreviewSkinData->SetCompressedStoredSkin(SkinList[size_t(i)]);
  }
}

void TkxSelectSkinDlgForm::SLBOnDblClick(TObject*) { SetModalResult(mrOk); }

// ---- the component ------------------------------------------------------------------------------

TkxSelectSkinDialog::TkxSelectSkinDialog(TComponent* AOwner)
    : TComponent(AOwner), FDefaultFont(std::make_unique<TFont>()) {
  InitFont(*FDefaultFont);
}

TkxSelectSkinDialog::~TkxSelectSkinDialog() = default;

void TkxSelectSkinDialog::SetDefaultFont(TFont* Value) {
  if (Value) FDefaultFont->Assign(Value);
}

bool TkxSelectSkinDialog::Execute(int32_t SkinIndex) {
  if (!FSkinList || FSkinList->Skins()->Count() == 0) return false;
  return Run(std::make_unique<TkxSelectSkinDlgForm>(Application, FSkinList, SkinIndex, FCtrlFSD), true);
}

bool TkxSelectSkinDialog::Execute(TkxCompressedStoredSkin* DefaultCompressedSkin) {
  auto form = std::make_unique<TkxSelectSkinDlgForm>(Application, Owner(), DefaultCompressedSkin, FCtrlFSD);
  // Nothing to choose from: nothing to show.
  if (form->SkinCount() == 0) return false;
  return Run(std::move(form), false);
}

bool TkxSelectSkinDialog::Run(std::unique_ptr<TkxSelectSkinDlgForm> Form, bool IndexBased) {
  struct Clear {
    TkxSelectSkinDlgForm*& Ref;
    ~Clear() { Ref = nullptr; }
  } clear{FDlgFrm};
  FDlgFrm = Form.get();
  Form->SetCaption(Title);
  Form->VLR->SetBorderIcons({});
  Form->VLR->SetSkinData(FSD);
  Form->VLR->SetMenusSkinData(FCtrlFSD);
  Form->VLR->SetAlphaBlend(AlphaBlend);
  Form->VLR->AlphaBlendAnimation = AlphaBlendAnimation;
  Form->VLR->SetAlphaBlendValue(AlphaBlendValue);
  for (TkxSkinCustomControl* c : {static_cast<TkxSkinCustomControl*>(Form->OpenButton),
                                  static_cast<TkxSkinCustomControl*>(Form->CancelButton),
                                  static_cast<TkxSkinCustomControl*>(Form->SkinsListBox)}) {
    c->SetDefaultFont(FDefaultFont.get());
    c->SetSkinData(FCtrlFSD);
  }
  if (!FSD || FSD->Empty) {
    Form->SetClientWidth(kClientWidth);
    Form->SetClientHeight(kClientHeight);
  } else {
    Form->SetClientWidth(std::max(kClientWidth, Form->VLR->GetMinWidth()));
    Form->SetClientHeight(std::max(kClientHeight, Form->VLR->GetMinHeight()));
  }
  // A preview skin's minimum form width can exceed its slot: the dialog grows rather than cut it.
  Form->SetClientWidth(std::max(Form->ClientWidth(), Form->PreviewForm->Left() + Form->PreviewForm->Width() + 10));
  FSelectedSkin.Set(nullptr);
  if (IndexBased) FSelectedSkinIndex = -1;
  if (Form->ShowModal() != mrOk) return false;
  if (IndexBased) FSelectedSkinIndex = Form->PreviewSkinData->SkinIndex();
  else FSelectedSkin.Set(Form->SelectedSkin());
  return true;
}
