// Published properties and events of the list view, its columns and its items. Columns and
// Items are collections in a description:
//   Columns = <
//     item
//       Caption = 'Name'
//       Width = 80
//     end>
//   Items = <
//     item
//       Caption = 'a.avi'
//       SubItems.Strings = ('00:01:00' '12MB')
//     end>
#include "classlib/ListViews.h"
#include "classlib/streaming/Registrations.h"

namespace {
constexpr std::initializer_list<std::pair<const char*, TAlignment>> kAlignments = {
    {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};

void ReadItems(TCustomListView* lv, const TFormValue& v, TFormReadContext& ctx) {
  if (v.Kind != TFormValueKind::Collection) throw EFormValueError("a collection < ... > is expected");
  TListItems* items = lv->Items();
  items->BeginUpdate();
  try {
    items->Clear();
    for (const TFormItem& it : v.Items) ctx.ReadProperties(items->Add(), it.Properties);
  } catch (...) {
    items->EndUpdate();
    throw;
  }
  items->EndUpdate();
}
}  // namespace

void RegisterListViewFormClasses() {
  RegisterFormClass<TListColumn>("TListColumn")
      .String("Caption", &TListColumn::SetCaption)
      .Integer("Width", &TListColumn::SetWidth)
      .IntegerAtLeast("MinWidth", &TListColumn::SetMinWidth, 0)
      .IntegerAtLeast("MaxWidth", &TListColumn::SetMaxWidth, 0)
      .Enum<TAlignment>("Alignment", &TListColumn::SetAlignment, kAlignments)
      .Boolean("AutoSize", &TListColumn::SetAutoSize)
      .Integer("ImageIndex", &TListColumn::SetImageIndex)
      .Integer("Tag", [](TListColumn* c, int32_t v) { c->Tag = v; });
  RegisterFormClass<TListItem>("TListItem")
      .String("Caption", &TListItem::SetCaption)
      .Integer("ImageIndex", &TListItem::SetImageIndex)
      .Strings("SubItems", &TListItem::SubItems);

  RegisterFormClass<TCustomListView, TWinControl>("TCustomListView")
      .Collection("Columns", &TCustomListView::Columns)
      .Custom("Items", ReadItems)
      .Enum<TViewStyle>("ViewStyle", &TCustomListView::SetViewStyle,
                        {{"vsIcon", vsIcon}, {"vsSmallIcon", vsSmallIcon}, {"vsList", vsList}, {"vsReport", vsReport}})
      .Boolean("RowSelect", &TCustomListView::SetRowSelect)
      .Boolean("GridLines", &TCustomListView::SetGridLines)
      .Boolean("ReadOnly", &TCustomListView::SetReadOnly)
      .Boolean("MultiSelect", &TCustomListView::SetMultiSelect)
      .Boolean("OwnerData", &TCustomListView::SetOwnerData)
      .Boolean("HideSelection", &TCustomListView::SetHideSelection)
      .Boolean("ShowColumnHeaders", &TCustomListView::SetShowColumnHeaders)
      .Boolean("ColumnClick", &TCustomListView::SetColumnClick)
      .Boolean("FullDrag", &TCustomListView::SetFullDrag)
      .Boolean("HotTrack", &TCustomListView::SetHotTrack)
      .Enum<TBorderStyle>("BorderStyle", &TCustomListView::SetBorderStyle, {{"bsNone", bsNone}, {"bsSingle", bsSingle}})
      .Enum<TSortType>("SortType", &TCustomListView::SetSortType,
                       {{"stNone", stNone}, {"stData", stData}, {"stText", stText}, {"stBoth", stBoth}})
      .Reference<TCustomImageList>("SmallImages", &TCustomListView::SetSmallImages)
      .Reference<TCustomImageList>("LargeImages", &TCustomListView::SetLargeImages)
      .Event<TLVSelectItemEvent>("OnSelectItem", &TCustomListView::OnSelectItem)
      .Event<TLVChangeEvent>("OnChange", &TCustomListView::OnChange)
      .Event<TLVChangingEvent>("OnChanging", &TCustomListView::OnChanging)
      .Event<TLVOwnerDataEvent>("OnData", &TCustomListView::OnData)
      .Event<TLVOwnerDataFindEvent>("OnDataFind", &TCustomListView::OnDataFind)
      .Event<TLVEditingEvent>("OnEditing", &TCustomListView::OnEditing)
      .Event<TLVEditedEvent>("OnEdited", &TCustomListView::OnEdited)
      .Event<TLVColumnClickEvent>("OnColumnClick", &TCustomListView::OnColumnClick)
      .Event<TLVCompareEvent>("OnCompare", &TCustomListView::OnCompare)
      .Event<TLVDeletedEvent>("OnDeletion", &TCustomListView::OnDeletion)
      .Event<TLVDeletedEvent>("OnInsert", &TCustomListView::OnInsert);
  RegisterFormClass<TListView, TCustomListView>("TListView");
}
