// Published properties and events of the tree view. Its nodes are not read from descriptions:
// a program fills them.
#include "classlib/TreeViews.h"
#include "classlib/graphics/ImageList.h"
#include "classlib/streaming/Registrations.h"

void RegisterTreeViewFormClasses() {
  RegisterFormClass<TCustomTreeView, TWinControl>("TCustomTreeView")
      .Boolean("AutoExpand", &TCustomTreeView::SetAutoExpand)
      .Enum<TBorderStyle>("BorderStyle", &TCustomTreeView::SetBorderStyle, {{"bsNone", bsNone}, {"bsSingle", bsSingle}})
      .Boolean("HideSelection", &TCustomTreeView::SetHideSelection)
      .Reference<TCustomImageList>("Images", &TCustomTreeView::SetImages)
      .IntegerAtLeast("Indent", &TCustomTreeView::SetIndent, 0)
      .Boolean("ReadOnly", &TCustomTreeView::SetReadOnly)
      .Boolean("RightClickSelect", &TCustomTreeView::SetRightClickSelect)
      .Boolean("ShowButtons", &TCustomTreeView::SetShowButtons)
      .Boolean("ShowLines", &TCustomTreeView::SetShowLines)
      .Boolean("ShowRoot", &TCustomTreeView::SetShowRoot)
      .Reference<TCustomImageList>("StateImages", &TCustomTreeView::SetStateImages)
      .Event<TTVChangedEvent>("OnChange", &TCustomTreeView::OnChange)
      .Event<TTVChangingEvent>("OnChanging", &TCustomTreeView::OnChanging)
      .Event<TTVExpandingEvent>("OnExpanding", &TCustomTreeView::OnExpanding)
      .Event<TTVExpandedEvent>("OnExpanded", &TCustomTreeView::OnExpanded)
      .Event<TTVCollapsingEvent>("OnCollapsing", &TCustomTreeView::OnCollapsing)
      .Event<TTVExpandedEvent>("OnCollapsed", &TCustomTreeView::OnCollapsed)
      .Event<TTVEditingEvent>("OnEditing", &TCustomTreeView::OnEditing)
      .Event<TTVEditedEvent>("OnEdited", &TCustomTreeView::OnEdited)
      .Event<TTVExpandedEvent>("OnGetImageIndex", &TCustomTreeView::OnGetImageIndex)
      .Event<TTVExpandedEvent>("OnGetSelectedIndex", &TCustomTreeView::OnGetSelectedIndex)
      .Event<TTVExpandedEvent>("OnDeletion", &TCustomTreeView::OnDeletion);
  RegisterFormClass<TTreeView, TCustomTreeView>("TTreeView");
}
