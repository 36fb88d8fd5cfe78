#pragma once
// The skin selection dialog: a list of skin names, a small skinned sample form that previews the
// highlighted skin, OK and Cancel. It never changes the application's skin: it reports the choice
// (SelectedSkinIndex or SelectedSkin) and the caller applies it.
//
// Two sources: a compressed skin list (skins known by their index; the main window's) and the
// stored-skin components owned by the dialog component's owner. Only the user's changes of the
// highlighted name preview; a double click on a name means OK. A run with nothing to list (no
// skin list, an empty one, no stored skins) shows nothing and answers false.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "lib/controls/kxSkinBinding.h"

class TkxVelara;
class TkxSkinButton;
class TkxSkinListBox;
class TkxSkinData;
class TkxCompressedSkinList;
class TkxCompressedStoredSkin;

// The dialog form, built in code for one run.
class TkxSelectSkinDlgForm : public TForm {
public:
  // An index-based run over ASkinList, starting at ASkinIndex.
  TkxSelectSkinDlgForm(TComponent* AOwner, TkxCompressedSkinList* ASkinList, int32_t ASkinIndex,
                       TkxSkinData* ACtrlSkinData);
  // A stored-skin run over the stored skins owned by AForm, starting at ADefaultSkin (the first
  // when it is not among them).
  TkxSelectSkinDlgForm(TComponent* AOwner, TComponent* AForm, TkxCompressedStoredSkin* ADefaultSkin,
                       TkxSkinData* ACtrlSkinData);

  // The stored skin last loaded into the preview.
  TkxCompressedStoredSkin* SelectedSkin() const;
  // How many names the list shows.
  int32_t SkinCount() const;

  TkxCompressedSkinList* FCSkinList = nullptr;
  int32_t FCSkinIndex = -1;
  TkxVelara* VLR = nullptr;
  TkxSkinButton* OpenButton = nullptr;
  TkxSkinButton* CancelButton = nullptr;
  TForm* PreviewForm = nullptr;
  TkxVelara* PreviewVLR = nullptr;
  TkxSkinData* PreviewSkinData = nullptr;
  TkxSkinButton* PreviewButton = nullptr;
  TkxSkinListBox* SkinsListBox = nullptr;
  std::vector<TkxCompressedStoredSkin*> SkinList;  // the stored-skin run's skins, in list order

  // The user changed the highlighted name: preview that skin.
  void SLBOnChange(TObject* Sender);
  // A double click on a name: OK.
  void SLBOnDblClick(TObject* Sender);

private:
  void Build(TkxSkinData* ACtrlSkinData);
  void FocusListOnShow();
  std::string Text(const char* Key, const char* Default) const;
  TkxSkinData* FStrings = nullptr;  // whose string table the captions come from, if any
};

class TkxSelectSkinDialog : public TComponent {
public:
  explicit TkxSelectSkinDialog(TComponent* AOwner);
  ~TkxSelectSkinDialog() override;

  // Index-based run over SkinList. True on OK, with SelectedSkinIndex the previewed skin's
  // index; false on Cancel or closing, with SelectedSkinIndex -1 and SelectedSkin nil. Without
  // a skin list, or with an empty one, it shows nothing, answers false and changes nothing.
  bool Execute(int32_t SkinIndex);
  // Stored-skin run over the stored skins owned by this component's owner. True on OK, with
  // SelectedSkin the previewed one; false otherwise with SelectedSkin nil. With no stored skins
  // it shows nothing, answers false and changes nothing.
  bool Execute(TkxCompressedStoredSkin* DefaultCompressedSkin);

  TkxSkinData* SkinData() const { return FSD; }
  void SetSkinData(TkxSkinData* Value) { FSD.Set(Value); }
  TkxSkinData* CtrlSkinData() const { return FCtrlFSD; }
  void SetCtrlSkinData(TkxSkinData* Value) { FCtrlFSD.Set(Value); }
  TkxCompressedSkinList* SkinList() const { return FSkinList; }
  void SetSkinList(TkxCompressedSkinList* Value) { FSkinList.Set(Value); }
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  std::string Title = "Select skin";
  bool AlphaBlend = false, AlphaBlendAnimation = false;
  uint8_t AlphaBlendValue = 200;

  TkxCompressedStoredSkin* SelectedSkin() const { return FSelectedSkin; }
  int32_t SelectedSkinIndex() const { return FSelectedSkinIndex; }
  // The form while a run is in progress, else nullptr.
  TkxSelectSkinDlgForm* DialogForm() const { return FDlgFrm; }

private:
  bool Run(std::unique_ptr<TkxSelectSkinDlgForm> Form, bool IndexBased);

  TkxComponentLink<TkxSkinData> FSD, FCtrlFSD;
  TkxComponentLink<TkxCompressedSkinList> FSkinList;
  std::unique_ptr<TFont> FDefaultFont;
  TkxSelectSkinDlgForm* FDlgFrm = nullptr;
  TkxComponentLink<TkxCompressedStoredSkin> FSelectedSkin;
  int32_t FSelectedSkinIndex = -1;
};
