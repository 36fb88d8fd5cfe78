// Published properties and events of the tab control, the page control and the tab sheet. A
// tab sheet nested in a page control's block becomes one of its pages.
#include "classlib/TabCtrls.h"
#include "classlib/graphics/ImageList.h"
#include "classlib/streaming/Registrations.h"

void RegisterTabControlFormClasses() {
  RegisterFormClass<TCustomTabControl, TWinControl>("TCustomTabControl")
      .Boolean("HotTrack", &TCustomTabControl::SetHotTrack)
      .Reference<TCustomImageList>("Images", &TCustomTabControl::SetImages)
      .Boolean("MultiLine", &TCustomTabControl::SetMultiLine)
      .Boolean("RaggedRight", &TCustomTabControl::SetRaggedRight)
      .Boolean("ScrollOpposite", &TCustomTabControl::SetScrollOpposite)
      .Enum<TTabStyle>("Style", &TCustomTabControl::SetStyle,
                       {{"tsTabs", tsTabs}, {"tsButtons", tsButtons}, {"tsFlatButtons", tsFlatButtons}})
      .IntegerAtLeast("TabHeight", &TCustomTabControl::SetTabHeight, 0)
      .Enum<TTabPosition>("TabPosition", &TCustomTabControl::SetTabPosition,
                          {{"tpTop", tpTop}, {"tpBottom", tpBottom}, {"tpLeft", tpLeft}, {"tpRight", tpRight}})
      .IntegerAtLeast("TabWidth", &TCustomTabControl::SetTabWidth, 0)
      .Event<TNotifyEvent>("OnChange", &TCustomTabControl::OnChange)
      .Event<TTabChangingEvent>("OnChanging", &TCustomTabControl::OnChanging)
      .Event<TTabGetImageEvent>("OnGetImageIndex", &TCustomTabControl::OnGetImageIndex);
  RegisterFormClass<TTabControl, TCustomTabControl>("TTabControl")
      .Strings("Tabs", &TTabControl::Tabs)
      .IntegerAtLeast("TabIndex", &TTabControl::SetTabIndex, -1);

  RegisterFormClass<TPageControl, TCustomTabControl>("TPageControl")
      .Reference<TTabSheet>("ActivePage", &TPageControl::SetActivePage);
  RegisterFormClass<TTabSheet, TWinControl>("TTabSheet")
      .Boolean("Highlighted", &TTabSheet::SetHighlighted)
      .Integer("ImageIndex", &TTabSheet::SetImageIndex)
      .IntegerAtLeast("PageIndex", &TTabSheet::SetPageIndex, 0)
      .Boolean("TabVisible", &TTabSheet::SetTabVisible)
      .PlaceInside([](TTabSheet* sheet, TComponent* container) {
        // SetParent makes a page control's child one of its pages.
        if (auto* w = dynamic_cast<TWinControl*>(container)) sheet->SetParent(w);
      });
}
