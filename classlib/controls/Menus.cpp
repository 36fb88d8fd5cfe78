// The menu model: items, main and popup menus, short cuts and their texts, and the link of a
// menu item to an action.
#include "classlib/Menus.h"

#include <algorithm>

#include "base/Format.h"
#include "base/Text.h"
#include "classlib/controls/MenuWindow.h"
#include "classlib/graphics/ImageList.h"

using namespace win;

namespace {

[[noreturn]] void IndexError(int32_t Index) { throw EListError(Format("List index out of bounds (%d)", Index)); }

// Command numbers are never reused, so a stale number finds nothing.
uint32_t NextCommand() {
  static uint32_t next = 0;
  if (++next == 0) ++next;
  return next;
}

struct KeyName {
  WORD Key;
  const char* Name;
};
constexpr KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},      {VK_TAB, "Tab"},        {VK_RETURN, "Enter"},     {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"},    {VK_PRIOR, "PgUp"},     {VK_NEXT, "PgDn"},        {VK_END, "End"},
    {VK_HOME, "Home"},      {VK_LEFT, "Left"},      {VK_UP, "Up"},            {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},      {VK_INSERT, "Ins"},     {VK_DELETE, "Del"},       {VK_MULTIPLY, "Num *"},
    {VK_ADD, "Num +"},      {VK_SUBTRACT, "Num -"}, {VK_DECIMAL, "Num ."},    {VK_DIVIDE, "Num /"},
};

std::string KeyToText(WORD Key) {
  if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z')) return std::string(1, char(Key));
  if (Key >= VK_F1 && Key <= VK_F1 + 23) return "F" + std::to_string(Key - VK_F1 + 1);
  if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD0 + 9) return "Num " + std::to_string(Key - VK_NUMPAD0);
  for (const KeyName& k : kKeyNames)
    if (k.Key == Key) return k.Name;
  return {};
}

bool StartsWithText(const std::string& s, size_t pos, const char* prefix) {
  size_t n = std::char_traits<char>::length(prefix);
  return s.size() - pos >= n && SameText(s.substr(pos, n), prefix);
}

}  // namespace

// ---- short cuts -------------------------------------------------------------------------------

TShortCut ShortCut(WORD Key, TShiftState Shift) {
  if (Key & 0xFF00) return 0;
  TShortCut s = Key;
  if (Shift.Contains(ssShift)) s |= scShift;
  if (Shift.Contains(ssCtrl)) s |= scCtrl;
  if (Shift.Contains(ssAlt)) s |= scAlt;
  return s;
}

void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift) {
  Key = WORD(ShortCut & 0xFF);
  Shift = TShiftState();
  if (ShortCut & scShift) Shift.Include(ssShift);
  if (ShortCut & scCtrl) Shift.Include(ssCtrl);
  if (ShortCut & scAlt) Shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut ShortCut) {
  std::string key = KeyToText(WORD(ShortCut & 0xFF));
  if (key.empty()) return {};
  std::string s;
  if (ShortCut & scShift) s += "Shift+";
  if (ShortCut & scCtrl) s += "Ctrl+";
  if (ShortCut & scAlt) s += "Alt+";
  return s + key;
}

TShortCut TextToShortCut(const std::string& Text) {
  TShortCut shift = 0;
  size_t pos = 0;
  for (;;) {
    if (StartsWithText(Text, pos, "Shift+") && !(shift & scShift)) {
      shift |= scShift;
      pos += 6;
    } else if (StartsWithText(Text, pos, "Ctrl+") && !(shift & scCtrl)) {
      shift |= scCtrl;
      pos += 5;
    } else if (StartsWithText(Text, pos, "Alt+") && !(shift & scAlt)) {
      shift |= scAlt;
      pos += 4;
    } else {
      break;
    }
  }
  std::string key = Text.substr(pos);
  if (key.empty()) return 0;
  // Every key that has a name (256 at most) is tried, so the two directions always agree.
  for (int k = 1; k < 256; ++k) {
    std::string name = KeyToText(WORD(k));
    if (!name.empty() && SameText(name, key)) return TShortCut(k) | shift;
  }
  return 0;
}

TShortCut ShortCutFromKeyMessage(const TMessage& Message) {
  TShiftState shift = KeyboardShiftState();
  // Bit 29 of a key message: Alt was down.
  if (Message.LParam & (LPARAM(1) << 29)) shift.Include(ssAlt);
  return ShortCut(WORD(Message.WParam), shift);
}

std::string StripHotkey(const std::string& Text) {
  std::string s;
  s.reserve(Text.size());
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '&') {
      if (i + 1 < Text.size() && Text[i + 1] == '&') {
        s += '&';
        ++i;
      }
      continue;
    }
    s += Text[i];
  }
  return s;
}

// ---- TMenuActionLink --------------------------------------------------------------------------

TMenuActionLink::TMenuActionLink(TMenuItem* AClient) : TActionLink(AClient), FClient(AClient) {}

bool TMenuActionLink::IsCaptionLinked() {
  TCustomAction* a = CustomAction();
  return a && FClient->Caption() == a->Caption();
}
bool TMenuActionLink::IsCheckedLinked() {
  TCustomAction* a = CustomAction();
  return a && FClient->Checked() == a->Checked();
}
bool TMenuActionLink::IsEnabledLinked() {
  TCustomAction* a = CustomAction();
  return a && FClient->Enabled() == a->Enabled();
}
bool TMenuActionLink::IsHintLinked() {
  TCustomAction* a = CustomAction();
  return a && FClient->Hint() == a->Hint();
}
bool TMenuActionLink::IsImageIndexLinked() {
  TCustomAction* a = CustomAction();
  return a && FClient->ImageIndex() == a->ImageIndex();
}
bool TMenuActionLink::IsVisibleLinked() {
  TCustomAction* a = CustomAction();
  return a && FClient->Visible() == a->Visible();
}
bool TMenuActionLink::IsShortCutLinked() {
  TCustomAction* a = CustomAction();
  return a && FClient->ShortCut() == a->ShortCut();
}
bool TMenuActionLink::IsGroupIndexLinked() {
  TCustomAction* a = CustomAction();
  return a && FClient->RadioItem() && FClient->GroupIndex() == a->GroupIndex();
}
bool TMenuActionLink::IsAutoCheckLinked() {
  TCustomAction* a = CustomAction();
  return a && FClient->AutoCheck() == a->AutoCheck();
}
void TMenuActionLink::SetCaption(const std::string& Value) {
  if (IsCaptionLinked()) FClient->SetCaption(Value);
}
void TMenuActionLink::SetChecked(bool Value) {
  if (IsCheckedLinked()) FClient->SetChecked(Value);
}
void TMenuActionLink::SetEnabled(bool Value) {
  if (IsEnabledLinked()) FClient->SetEnabled(Value);
}
void TMenuActionLink::SetHint(const std::string& Value) {
  if (IsHintLinked()) FClient->SetHint(Value);
}
void TMenuActionLink::SetImageIndex(int32_t Value) {
  if (IsImageIndexLinked()) FClient->SetImageIndex(Value);
}
void TMenuActionLink::SetVisible(bool Value) {
  if (IsVisibleLinked()) FClient->SetVisible(Value);
}
void TMenuActionLink::SetShortCut(TShortCut Value) {
  if (IsShortCutLinked()) FClient->SetShortCut(Value);
}
void TMenuActionLink::SetGroupIndex(int32_t Value) {
  if (IsGroupIndexLinked()) FClient->SetGroupIndex(Value);
}
void TMenuActionLink::SetAutoCheck(bool Value) {
  if (IsAutoCheckLinked()) FClient->SetAutoCheck(Value);
}

// ---- TMenuItem --------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(NextCommand()) {}

TMenuItem::~TMenuItem() {
  FActionLink.reset();
  if (FParent) FParent->Remove(this);
  Clear();
}

TMenuItem* TMenuItem::Items(int32_t Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FItems[size_t(Index)];
}

void TMenuItem::CheckInsert(TMenuItem* Item) const {
  if (!Item) throw EMenuError("Cannot insert a missing menu item");
  if (Item->FParent) throw EMenuError("Menu item is already inserted in a menu");
  for (const TMenuItem* p = this; p; p = p->FParent)
    if (p == Item) throw EMenuError("Cannot insert a menu item into itself or into one of its sub-items");
  if (Item->FMenu) throw EMenuError("Cannot insert the items of a menu into another menu");
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int32_t Index, TMenuItem* Item) {
  if (Index < 0 || Index > Count()) IndexError(Index);
  CheckInsert(Item);
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  // A radio item joining a group that already has a checked item gives way to it.
  if (Item->FRadioItem && Item->FChecked)
    for (TMenuItem* i : FItems)
      if (i != Item && i->FRadioItem && i->FChecked && i->FGroupIndex == Item->FGroupIndex) {
        Item->FChecked = false;
        break;
      }
}

void TMenuItem::Delete(int32_t Index) {
  TMenuItem* item = Items(Index);
  Remove(item);
  delete item;
}

void TMenuItem::Remove(TMenuItem* Item) {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  Item->FParent = nullptr;
}

int32_t TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : int32_t(it - FItems.begin());
}

void TMenuItem::Clear() {
  while (!FItems.empty()) delete FItems.back();  // each one leaves this item itself
}

int32_t TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int32_t Value) {
  if (!FParent) return;
  if (Value < 0 || Value >= FParent->Count()) IndexError(Value);
  auto& v = FParent->FItems;
  v.erase(std::find(v.begin(), v.end(), this));
  v.insert(v.begin() + Value, this);
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->FParent) i = i->FParent;
  return i->FMenu;
}

TMenuItem* TMenuItem::Find(uint32_t Value, TFindItemKind Kind) {
  for (TMenuItem* i : FItems) {
    if ((Kind == fkCommand && i->FCommand == Value) || (Kind == fkShortCut && Value != 0 && i->FShortCut == Value))
      return i;
    if (TMenuItem* found = i->Find(Value, Kind)) return found;
  }
  return nullptr;
}

void TMenuItem::SetCaption(const std::string& Value) { FCaption = Value; }

void TMenuItem::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  if (Value && FRadioItem) TurnSiblingsOff();
}

void TMenuItem::TurnSiblingsOff() {
  if (!FParent) return;
  for (TMenuItem* i : FParent->FItems)
    if (i != this && i->FRadioItem && i->FGroupIndex == FGroupIndex) i->FChecked = false;
}

void TMenuItem::SetEnabled(bool Value) { FEnabled = Value; }
void TMenuItem::SetVisible(bool Value) { FVisible = Value; }

void TMenuItem::SetRadioItem(bool Value) {
  if (Value == FRadioItem) return;
  FRadioItem = Value;
  if (FChecked && Value) TurnSiblingsOff();
}

void TMenuItem::SetGroupIndex(int32_t Value) {
  if (Value == FGroupIndex) return;
  FGroupIndex = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
}

void TMenuItem::SetDefault(bool Value) {
  if (Value == FDefault) return;
  if (Value && FParent)
    for (TMenuItem* i : FParent->FItems) i->FDefault = false;
  FDefault = Value;
}

TBitmap* TMenuItem::Bitmap() {
  if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
  return FBitmap.get();
}

void TMenuItem::SetBitmap(TBitmap* Value) { Bitmap()->Assign(Value); }

bool TMenuItem::HasBitmap() const { return FBitmap && !FBitmap->Empty(); }

bool TMenuItem::IsLineReduced() const {
  for (const TMenuItem* i = this; i; i = i->FParent)
    if (i->FAutoLineReduction != maParent) return i->FAutoLineReduction == maAutomatic;
  TMenu* m = GetParentMenu();
  return !m || m->AutoLineReduction() == maAutomatic;
}

TBasicAction* TMenuItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* Value) {
  if (Value == Action()) return;
  if (!Value) {
    FActionLink.reset();
    return;
  }
  if (!FActionLink) FActionLink = std::make_unique<TMenuActionLink>(this);
  FActionLink->SetAction(Value);
  FActionLink->OnChange = [this](TObject* Sender) { DoActionChange(Sender); };
  ActionChange(Value, Value->ComponentState().Contains(csLoading));
  Value->FreeNotification(this);
}

void TMenuItem::DoActionChange(TObject* Sender) {
  if (FActionLink && Sender == FActionLink->Action()) ActionChange(Sender, false);
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a) return;
  if (!CheckDefaults || !FAutoCheck) SetAutoCheck(a->AutoCheck());
  if (!CheckDefaults || FCaption.empty()) SetCaption(a->Caption());
  if (!CheckDefaults || !FChecked) SetChecked(a->Checked());
  if (!CheckDefaults || FEnabled) SetEnabled(a->Enabled());
  if (!CheckDefaults || FHint.empty()) SetHint(a->Hint());
  if (FRadioItem && (!CheckDefaults || FGroupIndex == 0)) SetGroupIndex(a->GroupIndex());
  if (!CheckDefaults || FImageIndex == -1) SetImageIndex(a->ImageIndex());
  if (!CheckDefaults || FShortCut == 0) SetShortCut(a->ShortCut());
  if (!CheckDefaults || FVisible) SetVisible(a->Visible());
}

void TMenuItem::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && FActionLink && FActionLink->Action() == AComponent) FActionLink.reset();
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  // A linked action that checks itself checks this item through the link.
  if (FAutoCheck && !(FActionLink && FActionLink->IsAutoCheckLinked()))
    SetChecked(FRadioItem ? true : !FChecked);
  if (OnClick) OnClick(this);
  else if (FActionLink && !ComponentState().Contains(csDesigning)) FActionLink->Execute(this);
}

bool TMenuItem::RethinkLines() {
  // Decided first and applied after, so a separator's own visibility never decides its fate.
  std::vector<bool> want(FItems.size(), true);
  int pending = -1;  // the last separator so far with no shown item after it
  bool atStart = true;
  for (size_t k = 0; k < FItems.size(); ++k) {
    TMenuItem* i = FItems[k];
    if (i->IsLine()) {
      if (atStart || pending >= 0) want[k] = false;
      else pending = int(k);
    } else if (i->FVisible) {
      atStart = false;
      pending = -1;
    }
  }
  if (pending >= 0) want[size_t(pending)] = false;
  bool changed = false;
  for (size_t k = 0; k < FItems.size(); ++k)
    if (FItems[k]->IsLine() && FItems[k]->FVisible != want[k]) {
      FItems[k]->FVisible = want[k];
      changed = true;
    }
  return changed;
}

// ---- TMenu ------------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(this)) { FItems->FMenu = this; }

TMenu::~TMenu() {
  // The root item (owned here) frees the items below it, whoever owns them.
  DestroyComponents();
  FItems = nullptr;
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

TMenuItem* TMenu::FindItem(uint32_t Value, TFindItemKind Kind) {
  return FItems ? FItems->Find(Value, Kind) : nullptr;
}

bool TMenu::DispatchCommand(uint32_t ACommand) {
  TMenuItem* item = ACommand ? FindItem(ACommand, fkCommand) : nullptr;
  if (!item) return false;
  item->Click();
  return true;
}

bool TMenu::IsShortCut(TMessage& Message) {
  TShortCut key = ShortCutFromKeyMessage(Message);
  if ((key & 0xFF) == 0) return false;
  TMenuItem* item = FindItem(key, fkShortCut);
  if (!item) return false;
  // Every item on the way must be enabled; each parent gets its click first, as when the
  // sub-menu is opened, so a program that fills sub-menus on demand can do so.
  std::vector<TMenuItem*> path;
  for (TMenuItem* i = item; i && i != FItems; i = i->Parent()) path.insert(path.begin(), i);
  for (TMenuItem* i : path) {
    i->InitiateAction();
    if (!i->Enabled()) return false;
  }
  for (TMenuItem* i : path) i->Click();
  return true;
}

// ---- TPopupMenu -------------------------------------------------------------------------------

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (Value == FPopupComponent) return;
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = Value;
  if (Value) Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

void TPopupMenu::Popup(int32_t X, int32_t Y) {
  FPopupPoint = TPoint{X, Y};
  DoPopup(this);
  bool gone = false;
  uint32_t command = menus_internal::TrackPopupMenu(this, X, Y, gone);
  // The menu has closed; the chosen item runs now.
  if (!gone && command) DispatchCommand(command);
}
