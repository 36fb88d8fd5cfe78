// Published properties and events of the edit, the memo and the list box.
#include "base/Text.h"
#include "classlib/EditCtrls.h"
#include "classlib/ListBoxes.h"
#include "classlib/streaming/Registrations.h"

namespace {
constexpr std::initializer_list<std::pair<const char*, TBorderStyle>> kBorders = {{"bsNone", bsNone},
                                                                                 {"bsSingle", bsSingle}};
}  // namespace

void RegisterEditFormClasses() {
  RegisterFormClass<TCustomEdit, TWinControl>("TCustomEdit")
      .Enum<TAlignment>("Alignment", &TCustomEdit::SetAlignment,
                        {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}})
      .Boolean("AutoSelect", &TCustomEdit::SetAutoSelect)
      .Enum<TBorderStyle>("BorderStyle", &TCustomEdit::SetBorderStyle, kBorders)
      .Enum<TEditCharCase>("CharCase", &TCustomEdit::SetCharCase,
                           {{"ecNormal", ecNormal}, {"ecUpperCase", ecUpperCase}, {"ecLowerCase", ecLowerCase}})
      .Boolean("HideSelection", &TCustomEdit::SetHideSelection)
      .IntegerAtLeast("MaxLength", &TCustomEdit::SetMaxLength, 0)
      .Boolean("ReadOnly", &TCustomEdit::SetReadOnly)
      // One character; an empty text shows the text itself.
      .String("PasswordChar",
              [](TCustomEdit* e, const std::string& v) { e->SetPasswordChar(v.empty() ? 0 : Utf8DecodeAt(v, 0)); })
      .Event<TNotifyEvent>("OnChange", &TCustomEdit::OnChange);
  RegisterFormClass<TEdit, TCustomEdit>("TEdit");
  RegisterFormClass<TCustomMaskEdit, TCustomEdit>("TCustomMaskEdit")
      .String("EditMask", &TCustomMaskEdit::SetEditMask);
  RegisterFormClass<TMaskEdit, TCustomMaskEdit>("TMaskEdit");

  RegisterFormClass<TCustomMemo, TCustomEdit>("TCustomMemo")
      .Strings("Lines", &TCustomMemo::Lines)
      .Enum<TScrollStyle>("ScrollBars", &TCustomMemo::SetScrollBars,
                          {{"ssNone", ssNone}, {"ssHorizontal", ssHorizontal}, {"ssVertical", ssVertical}, {"ssBoth", ssBoth}})
      .Boolean("WordWrap", &TCustomMemo::SetWordWrap)
      .Boolean("WantReturns", &TCustomMemo::SetWantReturns)
      .Boolean("WantTabs", &TCustomMemo::SetWantTabs);
  RegisterFormClass<TMemo, TCustomMemo>("TMemo");

  RegisterFormClass<TCustomListBox, TWinControl>("TCustomListBox")
      .Enum<TBorderStyle>("BorderStyle", &TCustomListBox::SetBorderStyle, kBorders)
      .IntegerAtLeast("Columns", &TCustomListBox::SetColumns, 0)
      .Boolean("ExtendedSelect", &TCustomListBox::SetExtendedSelect)
      .Boolean("IntegralHeight", &TCustomListBox::SetIntegralHeight)
      .IntegerAtLeast("ItemHeight", &TCustomListBox::SetItemHeight, 1)
      .Strings("Items", &TCustomListBox::Items)
      .Boolean("MultiSelect", &TCustomListBox::SetMultiSelect)
      .Boolean("Sorted", &TCustomListBox::SetSorted)
      .Enum<TListBoxStyle>("Style", &TCustomListBox::SetStyle,
                           {{"lbStandard", lbStandard}, {"lbOwnerDrawFixed", lbOwnerDrawFixed},
                            {"lbOwnerDrawVariable", lbOwnerDrawVariable}})
      .Event<TDrawItemEvent>("OnDrawItem", &TCustomListBox::OnDrawItem);
  RegisterFormClass<TListBox, TCustomListBox>("TListBox");
}
