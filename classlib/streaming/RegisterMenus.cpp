// Published properties and events of the menus and the actions. Menu items are written nested
// in their menu (or parent item), actions nested in their action list.
#include "classlib/ActnList.h"
#include "classlib/Menus.h"
#include "classlib/graphics/ImageList.h"
#include "classlib/streaming/Registrations.h"

namespace {

// A short cut is stored as its number (16463 for Ctrl+O); its text ('Ctrl+O') is taken too.
TShortCut ReadShortCut(const TFormValue& V) {
  if (V.Kind == TFormValueKind::String) {
    std::string text = FormValueToString(V);
    TShortCut s = TextToShortCut(text);
    if (s == 0 && !text.empty()) throw EFormValueError("\"" + text + "\" is no short cut");
    return s;
  }
  int32_t n = FormValueToInt32(V);
  if (n < 0 || n > 0xFFFF) throw EFormValueError("a short cut lies between 0 and 65535");
  return TShortCut(n);
}

constexpr std::initializer_list<std::pair<const char*, TMenuItemAutoFlag>> kAutoFlags = {
    {"maAutomatic", maAutomatic}, {"maManual", maManual}, {"maParent", maParent}};

}  // namespace

void RegisterMenuFormClasses() {
  RegisterFormClass<TMenuItem, TComponent>("TMenuItem")
      .String("Caption", &TMenuItem::SetCaption)
      .Boolean("Checked", &TMenuItem::SetChecked)
      .Boolean("Enabled", &TMenuItem::SetEnabled)
      .Boolean("Visible", &TMenuItem::SetVisible)
      .Boolean("RadioItem", &TMenuItem::SetRadioItem)
      .IntegerAtLeast("GroupIndex", &TMenuItem::SetGroupIndex, 0)
      .Boolean("AutoCheck", &TMenuItem::SetAutoCheck)
      .Boolean("Default", &TMenuItem::SetDefault)
      .Custom("ShortCut", [](TMenuItem* i, const TFormValue& v, TFormReadContext&) { i->SetShortCut(ReadShortCut(v)); })
      .String("Hint", &TMenuItem::SetHint)
      .IntegerAtLeast("ImageIndex", &TMenuItem::SetImageIndex, -1)
      .Object("Bitmap", &TMenuItem::Bitmap)
      .Enum<TMenuItemAutoFlag>("AutoLineReduction", &TMenuItem::SetAutoLineReduction, kAutoFlags)
      .Reference<TBasicAction>("Action", &TMenuItem::SetAction)
      .Event<TNotifyEvent>("OnClick", &TMenuItem::OnClick)
      .Event<TMenuDrawItemEvent>("OnDrawItem", &TMenuItem::OnDrawItem)
      .PlaceInside([](TMenuItem* item, TComponent* container) {
        if (auto* menu = dynamic_cast<TMenu*>(container)) menu->Items()->Add(item);
        else if (auto* parent = dynamic_cast<TMenuItem*>(container)) parent->Add(item);
        else throw EMenuError("a menu item belongs inside a menu or another menu item");
      });

  RegisterFormClass<TMenu, TComponent>("TMenu")
      .Reference<TCustomImageList>("Images", &TMenu::SetImages)
      .Enum<TMenuItemAutoFlag>("AutoLineReduction", &TMenu::SetAutoLineReduction,
                               {{"maAutomatic", maAutomatic}, {"maManual", maManual}});
  RegisterFormClass<TMainMenu, TMenu>("TMainMenu").Boolean("AutoMerge", &TMainMenu::SetAutoMerge);
  RegisterFormClass<TPopupMenu, TMenu>("TPopupMenu")
      .Enum<TPopupAlignment>("Alignment", &TPopupMenu::SetAlignment,
                             {{"paLeft", paLeft}, {"paRight", paRight}, {"paCenter", paCenter}})
      .Boolean("AutoPopup", &TPopupMenu::SetAutoPopup)
      .Enum<TTrackButton>("TrackButton", &TPopupMenu::SetTrackButton,
                          {{"tbRightButton", tbRightButton}, {"tbLeftButton", tbLeftButton}})
      .Event<TNotifyEvent>("OnPopup", &TPopupMenu::OnPopup);

  RegisterFormClass<TBasicAction, TComponent>("TBasicAction")
      .Event<TNotifyEvent>("OnExecute", &TBasicAction::OnExecute)
      .Event<TNotifyEvent>("OnUpdate", &TBasicAction::OnUpdate);
  RegisterFormClass<TContainedAction, TBasicAction>("TContainedAction")
      .String("Category", &TContainedAction::SetCategory)
      .PlaceInside([](TContainedAction* action, TComponent* container) {
        if (auto* list = dynamic_cast<TCustomActionList*>(container)) action->SetActionList(list);
      });
  RegisterFormClass<TCustomAction, TContainedAction>("TCustomAction")
      .String("Caption", &TCustomAction::SetCaption)
      .Boolean("Checked", &TCustomAction::SetChecked)
      .Boolean("Enabled", &TCustomAction::SetEnabled)
      .Boolean("Visible", &TCustomAction::SetVisible)
      .String("Hint", &TCustomAction::SetHint)
      .IntegerAtLeast("ImageIndex", &TCustomAction::SetImageIndex, -1)
      .IntegerAtLeast("GroupIndex", &TCustomAction::SetGroupIndex, 0)
      .Boolean("AutoCheck", &TCustomAction::SetAutoCheck)
      .Custom("ShortCut",
              [](TCustomAction* a, const TFormValue& v, TFormReadContext&) { a->SetShortCut(ReadShortCut(v)); });
  RegisterFormClass<TAction, TCustomAction>("TAction");
  RegisterFormClass<TCustomActionList, TComponent>("TCustomActionList")
      .Reference<TCustomImageList>("Images", &TCustomActionList::SetImages)
      .Event<TActionEvent>("OnExecute", &TCustomActionList::OnExecute)
      .Event<TActionEvent>("OnUpdate", &TCustomActionList::OnUpdate)
      .Event<TNotifyEvent>("OnChange", &TCustomActionList::OnChange);
  RegisterFormClass<TActionList, TCustomActionList>("TActionList");
}
