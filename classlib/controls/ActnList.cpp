// Actions, action lists and action links, and the link of a control.
#include "classlib/ActnList.h"

#include <algorithm>

#include "base/Format.h"
#include "classlib/graphics/ImageList.h"

// ---- TBasicActionLink -------------------------------------------------------------------------

TBasicActionLink::~TBasicActionLink() {
  if (FAction) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
  if (Value == FAction) return;
  if (FAction) FAction->UnRegisterChanges(this);
  FAction = Value;
  if (FAction) FAction->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
  if (!FAction) return false;
  FAction->SetActionComponent(AComponent);
  bool result = false;
  try {
    result = FAction->Execute();
  } catch (...) {
    if (FAction) FAction->SetActionComponent(nullptr);
    throw;
  }
  // The action may have been freed by its own handler; the link then forgot it.
  if (FAction) FAction->SetActionComponent(nullptr);
  return result;
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

void TBasicActionLink::Change() {
  if (OnChange) OnChange(FAction);
}

// ---- TBasicAction -----------------------------------------------------------------------------

TBasicAction::~TBasicAction() {
  // The clients forget the action; their link objects stay theirs.
  while (!FClients.empty()) {
    TBasicActionLink* link = FClients.back();
    FClients.pop_back();
    link->FAction = nullptr;
  }
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value) {
  if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value) {
  FClients.erase(std::remove(FClients.begin(), FClients.end(), Value), FClients.end());
}

void TBasicAction::SetActionComponent(TComponent* Value) {
  if (Value == FActionComponent) return;
  if (FActionComponent) FActionComponent->RemoveFreeNotification(this);
  FActionComponent = Value;
  if (Value) Value->FreeNotification(this);
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActionComponent) FActionComponent = nullptr;
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::Change() {
  if (OnChange) OnChange(this);
  // A copy: a client's handler may unlink it.
  std::vector<TBasicActionLink*> clients = FClients;
  for (TBasicActionLink* link : clients)
    if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
}

// ---- TContainedAction -------------------------------------------------------------------------

TContainedAction::~TContainedAction() {
  if (FActionList) FActionList->RemoveAction(this);
}

void TContainedAction::SetActionList(TCustomActionList* Value) {
  if (Value == FActionList) return;
  if (FActionList) FActionList->RemoveAction(this);
  if (Value) Value->AddAction(this);
}

int32_t TContainedAction::Index() const {
  if (!FActionList) return -1;
  auto& v = FActionList->FActions;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : int32_t(it - v.begin());
}

void TContainedAction::SetCategory(const std::string& Value) {
  if (Value == FCategory) return;
  FCategory = Value;
  Change();
}

bool TContainedAction::Execute() {
  if (FActionList && FActionList->ExecuteAction(this)) return true;
  return TBasicAction::Execute();
}

bool TContainedAction::Update() {
  if (FActionList && FActionList->UpdateAction(this)) return true;
  return TBasicAction::Update();
}

// ---- TCustomAction ----------------------------------------------------------------------------

template <typename F>
void TCustomAction::ForEachLink(F Fn) {
  std::vector<TBasicActionLink*> clients = FClients;
  for (TBasicActionLink* l : clients)
    if (auto* link = dynamic_cast<TActionLink*>(l);
        link && std::find(FClients.begin(), FClients.end(), l) != FClients.end())
      Fn(link);
}

// Each setter first pushes the value to the clients that still show the old one, then keeps
// it and tells everyone of the change.
void TCustomAction::SetCaption(const std::string& Value) {
  if (Value == FCaption) return;
  ForEachLink([&](TActionLink* l) { l->SetCaption(Value); });
  FCaption = Value;
  Change();
}

void TCustomAction::SetChecked(bool Value) {
  if (Value == FChecked) return;
  ForEachLink([&](TActionLink* l) { l->SetChecked(Value); });
  FChecked = Value;
  if (Value && FGroupIndex > 0 && ActionList()) {
    TCustomActionList* list = ActionList();
    for (int32_t i = 0; i < list->ActionCount(); ++i) {
      auto* a = dynamic_cast<TCustomAction*>(list->Actions(i));
      if (a && a != this && a->FGroupIndex == FGroupIndex) a->SetChecked(false);
    }
  }
  Change();
}

void TCustomAction::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  ForEachLink([&](TActionLink* l) { l->SetEnabled(Value); });
  FEnabled = Value;
  Change();
}

void TCustomAction::SetHint(const std::string& Value) {
  if (Value == FHint) return;
  ForEachLink([&](TActionLink* l) { l->SetHint(Value); });
  FHint = Value;
  Change();
}

void TCustomAction::SetImageIndex(int32_t Value) {
  if (Value == FImageIndex) return;
  ForEachLink([&](TActionLink* l) { l->SetImageIndex(Value); });
  FImageIndex = Value;
  Change();
}

void TCustomAction::SetVisible(bool Value) {
  if (Value == FVisible) return;
  ForEachLink([&](TActionLink* l) { l->SetVisible(Value); });
  FVisible = Value;
  Change();
}

void TCustomAction::SetShortCut(TShortCut Value) {
  if (Value == FShortCut) return;
  ForEachLink([&](TActionLink* l) { l->SetShortCut(Value); });
  FShortCut = Value;
  Change();
}

void TCustomAction::SetGroupIndex(int32_t Value) {
  if (Value == FGroupIndex) return;
  ForEachLink([&](TActionLink* l) { l->SetGroupIndex(Value); });
  FGroupIndex = Value;
  Change();
}

void TCustomAction::SetAutoCheck(bool Value) {
  if (Value == FAutoCheck) return;
  ForEachLink([&](TActionLink* l) { l->SetAutoCheck(Value); });
  FAutoCheck = Value;
  Change();
}

bool TCustomAction::Execute() {
  Update();
  if (!FEnabled) return false;
  if (FAutoCheck) SetChecked(FGroupIndex > 0 ? true : !FChecked);
  return TContainedAction::Execute();
}

// ---- TActionLink ------------------------------------------------------------------------------

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(FAction); }
bool TActionLink::IsCaptionLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsCheckedLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHintLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsImageIndexLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsVisibleLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsShortCutLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsGroupIndexLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsAutoCheckLinked() { return CustomAction() != nullptr; }

// ---- TCustomActionList ------------------------------------------------------------------------

TCustomActionList::~TCustomActionList() {
  // The actions live on (their owner frees them) but leave the list.
  while (!FActions.empty()) RemoveAction(FActions.back());
}

TContainedAction* TCustomActionList::Actions(int32_t Index) const {
  if (Index < 0 || Index >= ActionCount()) throw EListError(Format("List index out of bounds (%d)", Index));
  return FActions[size_t(Index)];
}

void TCustomActionList::AddAction(TContainedAction* Action) {
  FActions.push_back(Action);
  Action->FActionList = this;
  Action->FreeNotification(this);
  if (OnChange) OnChange(this);
}

void TCustomActionList::RemoveAction(TContainedAction* Action) {
  auto it = std::find(FActions.begin(), FActions.end(), Action);
  if (it == FActions.end()) return;
  FActions.erase(it);
  Action->FActionList = nullptr;
  if (OnChange && !ComponentState().Contains(csDestroying)) OnChange(this);
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  if (OnChange) OnChange(this);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  auto it = std::find(FActions.begin(), FActions.end(), AComponent);
  if (it != FActions.end()) {
    (*it)->FActionList = nullptr;
    FActions.erase(it);
  }
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
  bool handled = false;
  if (OnExecute) OnExecute(Action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
  bool handled = false;
  if (OnUpdate) OnUpdate(Action, handled);
  return handled;
}

bool TCustomActionList::IsShortCut(TShortCut Key) {
  if (Key == 0) return false;
  std::vector<TContainedAction*> actions = FActions;
  for (TContainedAction* a : actions) {
    auto* ca = dynamic_cast<TCustomAction*>(a);
    if (!ca || ca->ShortCut() != Key) continue;
    ca->Update();
    if (!ca->Enabled()) return false;
    ca->Execute();
    return true;
  }
  return false;
}

// ---- TControlActionLink -----------------------------------------------------------------------

bool TControlActionLink::IsCaptionLinked() {
  TCustomAction* a = CustomAction();
  return a && FClient->Caption() == a->Caption();
}
bool TControlActionLink::IsEnabledLinked() {
  TCustomAction* a = CustomAction();
  return a && FClient->Enabled() == a->Enabled();
}
bool TControlActionLink::IsHintLinked() {
  TCustomAction* a = CustomAction();
  return a && FClient->Hint() == a->Hint();
}
bool TControlActionLink::IsVisibleLinked() {
  TCustomAction* a = CustomAction();
  return a && FClient->Visible() == a->Visible();
}
void TControlActionLink::SetCaption(const std::string& Value) {
  if (IsCaptionLinked()) FClient->SetCaption(Value);
}
void TControlActionLink::SetEnabled(bool Value) {
  if (IsEnabledLinked()) FClient->SetEnabled(Value);
}
void TControlActionLink::SetHint(const std::string& Value) {
  if (IsHintLinked()) FClient->SetHint(Value);
}
void TControlActionLink::SetVisible(bool Value) {
  if (IsVisibleLinked()) FClient->SetVisible(Value);
}
