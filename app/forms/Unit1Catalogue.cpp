// The category and format lists, the conversion fields and the six preset lists: the format
// list is filled for the category, a format's values go into the conversion fields and the
// selected job row, and each preset list writes its value into the fields and the row.
#include <array>
#include <set>
#include <string>

#include "app/catalogue/FormatCatalogue.h"
#include "app/catalogue/FormatParams.h"
#include "app/catalogue/OutputNaming.h"
#include "app/catalogue/OutputRecord.h"
#include "app/catalogue/Presets.h"
#include "app/forms/Unit1.h"
#include "base/Files.h"
#include "lib/controls/kxSkinCheckRadio.h"

using namespace catalogue;

namespace {

// Job-row cells (sub-items) this file reads and writes.
constexpr int kCellOutputName = 2;
constexpr int kCellFormatCode = 8;
constexpr int kCellPresetCode = 9;
constexpr int kRowCells = 24;

std::string Cell(TListItem* Row, int Index) {
  TStrings* s = Row->SubItems();
  return Index < s->Count() ? s->Strings(Index) : std::string();
}

void SetCell(TListItem* Row, int Index, const std::string& Text) {
  TStrings* s = Row->SubItems();
  while (s->Count() < kRowCells) s->Add("");
  s->Put(Index, Text);
}

// Whether the options dialog says existing outputs are overwritten ("直接覆盖输出文件"). The
// dialog is made after the main window; until then nothing is overwritten.
bool OverwriteChosen() {
  TComponent* form5 = FindFormInstance("Form5");
  if (!form5) return false;
  auto* box = dynamic_cast<TkxSkinCheckRadioBox*>(form5->FindComponent("kxSkinCheckRadioBox3"));
  return box && box->Checked();
}

// The file name after the last "/".
std::string NamePart(const std::string& Path) {
  size_t slash = Path.rfind('/');
  return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

// The name without its extension (from the last dot of the name part).
std::string WithoutExtension(const std::string& Name) {
  size_t dot = Name.rfind('.');
  return dot == std::string::npos ? Name : Name.substr(0, dot);
}

}  // namespace

// ---- the format list ---------------------------------------------------------------------------

void TForm1::Button2Click(TObject* Sender) {
  TkxSkinOfficeItems* items = kxSkinOfficeComboBox1->Items();
  items->BeginUpdate();
  items->Clear();
  for (const TFormatItem& f : FormatsOfCategory(CategoryCodeOfPosition(kxSkinOfficeComboBox2->ItemIndex()))) {
    TkxSkinOfficeItem* item = items->Add();
    item->SetTitle(std::string(f.Title));
    item->SetCaption(std::string(f.Caption));
    item->SetImageIndex(f.ImageIndex());
  }
  items->EndUpdate();
  kxSkinOfficeComboBox1->SetItemIndex(0);
}

std::string TForm1::SelectedFormatExtension() const {
  int i = kxSkinOfficeComboBox1->ItemIndex();
  if (i < 0 || i >= kxSkinOfficeComboBox1->Items()->Count()) return {};
  const std::string& title = kxSkinOfficeComboBox1->Items()->GetItem(i)->Title();
  // The four characters before the title's last one: "(*.avi)" gives ".avi".
  std::string ext = title.size() >= 5 ? title.substr(title.size() - 5, 4) : title;
  if (ext == "lac)") ext = ".alac";
  if (ext == "flac") ext = ".flac";
  if (ext == "aiff") ext = ".aiff";
  if (ext == "mpeg") ext = ".mpeg";
  if (ext == "*.rm") ext = ".rm";
  if (ext == "*.ra") ext = ".ra";
  return ext;
}

void TForm1::kxSkinOfficeComboBox2Change(TObject* Sender) { Button2->Click(); }

void TForm1::kxSkinOfficeComboBox1Change(TObject* Sender) {
  Button18->Click();
  TListItem* row = lvFiles->Selected();
  if (!row) return;
  Button5->Click();
  Button13->Click();
  const int category = kxSkinOfficeComboBox2->ItemIndex();
  const int format = kxSkinOfficeComboBox1->ItemIndex();
  // The output name keeps its name part and takes the format's own extension (the one its
  // conversion writes), made free as an add makes it: an existing file is kept unless
  // overwriting is chosen, and no two jobs share an output.
  const std::string folder = Video_OutPut_Folder_Edit->Text();
  const std::string ext(OutputExtension(FormatKeyOfListPositions(category, format)));
  std::set<std::string> planned;
  for (int i = 0; i < lvFiles->Items()->Count(); ++i) {
    TListItem* other = lvFiles->Items()->Item(i);
    if (other != row) planned.insert(folder + "/" + Cell(other, kCellOutputName));
  }
  TOutputNameRules rules;
  rules.Overwrite = OverwriteChosen();
  rules.InputFileName = row->Caption();
  rules.PlannedOutputs = &planned;
  const std::string name = WithoutExtension(Cell(row, kCellOutputName)) + ext;
  if (!WithoutExtension(name).empty())
    SetCell(row, kCellOutputName, NamePart(UniqueOutputFileName(folder, folder + "/" + name, rules)));
  SetCell(row, kCellFormatCode, std::to_string(FormatCode(category, format)));
  if (lvFiles->CanFocus()) lvFiles->SetFocus();
}

// ---- conversion fields -------------------------------------------------------------------------

void TForm1::Button6Click(TObject* Sender) { Reset(); }

void TForm1::Button5Click(TObject* Sender) {
  Button6->Click();
  const int key =
      FormatKeyOfListPositions(kxSkinOfficeComboBox2->ItemIndex(), kxSkinOfficeComboBox1->ItemIndex());
  All_Trant_Number = key;
  if (Video_AddFileName.empty()) {
    // Nothing was added yet: the format's values without an output name.
    if (const TFormatParams* params = FindFormatParams(key)) AssignFormatParams(*params, *this);
  } else {
    // Every job's output counts as taken, so an added file never shares one.
    const std::string folder = Video_OutPut_Folder_Edit->Text();
    std::set<std::string> planned;
    for (int i = 0; i < lvFiles->Items()->Count(); ++i)
      planned.insert(folder + "/" + Cell(lvFiles->Items()->Item(i), kCellOutputName));
    TOutputTarget target;
    target.OutputFolder = folder;
    target.Overwrite = OverwriteChosen();
    target.PlannedOutputs = &planned;
    ApplyFormat(key, *this, target);
  }
  if (TListItem* row = lvFiles->Selected()) {
    const std::array<std::string, 14> cells = JobRowConversionCells(*this);
    for (size_t i = 0; i < cells.size(); ++i) SetCell(row, kFirstConversionCell + int(i), cells[i]);
  }
}

void TForm1::Button7Click(TObject* Sender) { OO = OutputRecordOfFields(*this); }

// ---- preset lists ------------------------------------------------------------------------------

namespace {

struct TPresetBox {
  TPresetRole Role;
  TkxSkinComboBox* Box;
};

}  // namespace

void TForm1::Button18Click(TObject* Sender) {
  // In the order the lists are cleared and enabled.
  TkxSkinComboBox* boxes[] = {kxSkinComboBox1, kxSkinComboBox2, kxSkinComboBox3,
                              kxSkinComboBox4, kxSkinComboBox9, kxSkinComboBox10};
  for (TkxSkinComboBox* b : boxes) b->Items()->Clear();
  for (TkxSkinComboBox* b : boxes) b->SetEnabled(true);
  const int key =
      FormatKeyOfListPositions(kxSkinOfficeComboBox2->ItemIndex(), kxSkinOfficeComboBox1->ItemIndex());
  All_Trant_Number = key;
  Video_DisableVideo = false;
  const TPresetEntry* entry = key < 0 ? nullptr : MainPresets().Find(key);
  if (!entry) return;
  const TPresetBox byRole[] = {{TPresetRole::Resolution, kxSkinComboBox1}, {TPresetRole::VideoBitrate, kxSkinComboBox2},
                               {TPresetRole::FrameRate, kxSkinComboBox9},  {TPresetRole::AudioBitrate, kxSkinComboBox3},
                               {TPresetRole::SampleRate, kxSkinComboBox10}, {TPresetRole::Aspect, kxSkinComboBox4}};
  // Each list is complete with its default chosen before the next is filled: its change
  // handler runs in between when the shown text changes.
  for (const TPresetBox& p : byRole) {
    const TPresetChoice& choice = (*entry)[p.Role];
    for (std::string_view item : choice.List->Items) p.Box->Items()->Add(std::string(item));
    p.Box->SetItemIndex(choice.Default);
  }
  if (entry->VideoOff)
    for (TkxSkinComboBox* b : {kxSkinComboBox1, kxSkinComboBox2, kxSkinComboBox4, kxSkinComboBox9})
      b->SetEnabled(false);
}

void TForm1::Button13Click(TObject* Sender) {
  TPresetTexts texts;
  texts[RoleIndex(TPresetRole::Resolution)] = kxSkinComboBox1->Text();
  texts[RoleIndex(TPresetRole::VideoBitrate)] = kxSkinComboBox2->Text();
  texts[RoleIndex(TPresetRole::AudioBitrate)] = kxSkinComboBox3->Text();
  texts[RoleIndex(TPresetRole::Aspect)] = kxSkinComboBox4->Text();
  texts[RoleIndex(TPresetRole::FrameRate)] = kxSkinComboBox9->Text();
  texts[RoleIndex(TPresetRole::SampleRate)] = kxSkinComboBox10->Text();
  CommitPresets(texts, *this);
}

void TForm1::PresetListChanged(int Role, TkxSkinComboBox* Box) {
  TListItem* row = lvFiles->Selected();
  if (!row) return;
  const auto role = static_cast<TPresetRole>(Role);
  SetCell(row, kCellPresetCode, ReplacePresetCodePiece(Cell(row, kCellPresetCode), role, Box->ItemIndex()));
  SetCell(row, PresetRowCell(role), CommitPreset(role, Box->Text(), *this));
  if (lvFiles->CanFocus()) lvFiles->SetFocus();
}

void TForm1::kxSkinComboBox1Change(TObject* Sender) {
  PresetListChanged(RoleIndex(TPresetRole::Resolution), kxSkinComboBox1);
}
void TForm1::kxSkinComboBox2Change(TObject* Sender) {
  PresetListChanged(RoleIndex(TPresetRole::VideoBitrate), kxSkinComboBox2);
}
void TForm1::kxSkinComboBox3Change(TObject* Sender) {
  PresetListChanged(RoleIndex(TPresetRole::AudioBitrate), kxSkinComboBox3);
}
void TForm1::kxSkinComboBox4Change(TObject* Sender) {
  PresetListChanged(RoleIndex(TPresetRole::Aspect), kxSkinComboBox4);
}
void TForm1::kxSkinComboBox9Change(TObject* Sender) {
  PresetListChanged(RoleIndex(TPresetRole::FrameRate), kxSkinComboBox9);
}
void TForm1::kxSkinComboBox10Change(TObject* Sender) {
  PresetListChanged(RoleIndex(TPresetRole::SampleRate), kxSkinComboBox10);
}
