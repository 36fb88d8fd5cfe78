// Published properties and events of the combo box, the track bar and the progress bar.
#include "classlib/ComCtrls.h"
#include "classlib/ComboBox.h"
#include "classlib/streaming/Registrations.h"

void RegisterComCtrlFormClasses() {
  RegisterFormClass<TComboBox, TCustomControl>("TComboBox")
      .Enum<TComboBoxStyle>("Style", [](TComboBox*, TComboBoxStyle) {}, {{"csDropDownList", csDropDownList}})
      .Strings("Items", &TComboBox::Items)
      .Integer("ItemIndex", &TComboBox::SetItemIndex)
      .String("Text", [](TComboBox* c, const std::string& v) { c->SetText(v); })
      .IntegerAtLeast("DropDownCount", &TComboBox::SetDropDownCount, 1)
      .Event<TNotifyEvent>("OnChange", &TComboBox::OnChange)
      .Event<TNotifyEvent>("OnDropDown", &TComboBox::OnDropDown)
      .Event<TNotifyEvent>("OnCloseUp", &TComboBox::OnCloseUp);

  RegisterFormClass<TTrackBar, TCustomControl>("TTrackBar")
      .Enum<TTrackBarOrientation>("Orientation", &TTrackBar::SetOrientation,
                                  {{"trHorizontal", trHorizontal}, {"trVertical", trVertical}})
      .Integer("Max", &TTrackBar::SetMax)
      .Integer("Min", &TTrackBar::SetMin)
      .Integer("Position", &TTrackBar::SetPosition)
      .IntegerAtLeast("LineSize", &TTrackBar::SetLineSize, 1)
      .IntegerAtLeast("PageSize", &TTrackBar::SetPageSize, 1)
      .IntegerAtLeast("Frequency", &TTrackBar::SetFrequency, 0)
      .Event<TNotifyEvent>("OnChange", &TTrackBar::OnChange);

  RegisterFormClass<TProgressBar, TCustomControl>("TProgressBar")
      .Integer("Max", &TProgressBar::SetMax)
      .Integer("Min", &TProgressBar::SetMin)
      .Integer("Position", &TProgressBar::SetPosition)
      .Integer("Step", &TProgressBar::SetStep)
      .Boolean("Smooth", &TProgressBar::SetSmooth);
}
