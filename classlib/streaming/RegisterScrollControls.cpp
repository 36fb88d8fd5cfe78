// Published properties and events of the scroll bar, the up/down and the hint window.
#include "classlib/Hints.h"
#include "classlib/ScrollCtrls.h"
#include "classlib/streaming/Registrations.h"

void RegisterScrollFormClasses() {
  RegisterFormClass<TScrollBar, TCustomControl>("TScrollBar")
      .Enum<TScrollBarKind>("Kind", &TScrollBar::SetKind, {{"sbHorizontal", sbHorizontal}, {"sbVertical", sbVertical}})
      .Integer("Max", &TScrollBar::SetMax)
      .Integer("Min", &TScrollBar::SetMin)
      .IntegerAtLeast("PageSize", &TScrollBar::SetPageSize, 0)
      .Integer("Position", &TScrollBar::SetPosition)
      .IntegerAtLeast("SmallChange", &TScrollBar::SetSmallChange, 1)
      .IntegerAtLeast("LargeChange", &TScrollBar::SetLargeChange, 1)
      .Event<TNotifyEvent>("OnChange", &TScrollBar::OnChange)
      .Event<TScrollEvent>("OnScroll", &TScrollBar::OnScroll);

  RegisterFormClass<TUpDown, TCustomControl>("TUpDown")
      .Reference<TWinControl>("Associate", &TUpDown::SetAssociate)
      .Enum<TUDAlignButton>("AlignButton", &TUpDown::SetAlignButton, {{"udLeft", udLeft}, {"udRight", udRight}})
      .Boolean("ArrowKeys", &TUpDown::SetArrowKeys)
      .Integer("Increment", &TUpDown::SetIncrement)
      .Integer("Max", &TUpDown::SetMax)
      .Integer("Min", &TUpDown::SetMin)
      .Enum<TUDOrientation>("Orientation", &TUpDown::SetOrientation,
                            {{"udHorizontal", udHorizontal}, {"udVertical", udVertical}})
      .Integer("Position", &TUpDown::SetPosition)
      .Boolean("Thousands", &TUpDown::SetThousands)
      .Boolean("Wrap", &TUpDown::SetWrap)
      .Event<TUDClickEvent>("OnClick", &TUpDown::OnClick)
      .Event<TUDChangingEvent>("OnChanging", &TUpDown::OnChanging);

  RegisterFormClass<THintWindow, TCustomControl>("THintWindow");
}
