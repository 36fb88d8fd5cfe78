#pragma once
// Actions: one command (its caption, check state, enabled state, hint, image and short cut, and
// what it does) shared by the controls and menu items linked to it. A client links to an
// action through an action link; the action pushes every change of its properties to its links,
// and a click on a client executes the action.
//
//   TBasicAction       executes (OnExecute) and updates (OnUpdate); keeps its links.
//   TCustomAction      the properties clients show; sits in a TActionList.
//   TBasicActionLink   a client's link: Execute, Update, and OnChange when the action changed.
//   TActionLink        pushes single properties to the client (SetCaption, SetChecked, ...).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/Events.h"
#include "classlib/Controls.h"

class TBasicAction;
class TCustomActionList;
class TCustomImageList;

using TShortCut = uint16_t;
// Handled answers whether the list (or the application) did the action's work itself.
using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

class TBasicActionLink : public TObject {
public:
  explicit TBasicActionLink(TObject* AClient) {}
  ~TBasicActionLink() override;
  TBasicAction* Action() const { return FAction; }
  void SetAction(TBasicAction* Value);
  // Runs the action for AComponent (the action's ActionComponent meanwhile); true when it ran.
  virtual bool Execute(TComponent* AComponent = nullptr);
  virtual bool Update();
  // Fired with the action as Sender after any of the action's properties changed.
  TNotifyEvent OnChange;

protected:
  friend class TBasicAction;
  virtual void Change();
  TBasicAction* FAction = nullptr;
};

class TBasicAction : public TComponent {
public:
  explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
  ~TBasicAction() override;
  // OnExecute; true when something did the work.
  virtual bool Execute();
  // OnUpdate (the moment to set Enabled, Checked, ... from the program's state); true when
  // something handled it.
  virtual bool Update();
  // The control or menu item executing the action, while it runs.
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* Value);
  // The links of the clients (read only).
  const std::vector<TBasicActionLink*>& Clients() const { return FClients; }
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnExecute, OnUpdate;
  // Fired after a property changed.
  TNotifyEvent OnChange;

protected:
  friend class TBasicActionLink;
  // Tells OnChange and every link that a property changed.
  virtual void Change();
  void RegisterChanges(TBasicActionLink* Value);
  void UnRegisterChanges(TBasicActionLink* Value);
  std::vector<TBasicActionLink*> FClients;
  TComponent* FActionComponent = nullptr;
};

// An action kept in an action list.
class TContainedAction : public TBasicAction {
public:
  explicit TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}
  ~TContainedAction() override;
  TCustomActionList* ActionList() const { return FActionList; }
  void SetActionList(TCustomActionList* Value);
  // The position in the list, -1 without one.
  int32_t Index() const;
  const std::string& Category() const { return FCategory; }
  void SetCategory(const std::string& Value);
  // The list's OnExecute first, then the action's own.
  bool Execute() override;
  bool Update() override;

private:
  friend class TCustomActionList;
  TCustomActionList* FActionList = nullptr;
  std::string FCategory;
};

class TCustomAction : public TContainedAction {
public:
  explicit TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  bool Checked() const { return FChecked; }
  // Checking an action of a group (GroupIndex > 0) unchecks the other actions of its list with
  // the same group.
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  int32_t GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int32_t Value);
  // Executing toggles Checked (in a group it checks).
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value);

  // Update first, then nothing when disabled; otherwise the auto check and the execution.
  bool Execute() override;

private:
  template <typename F>
  void ForEachLink(F Fn);
  std::string FCaption, FHint;
  bool FChecked = false, FEnabled = true, FVisible = true, FAutoCheck = false;
  int32_t FImageIndex = -1, FGroupIndex = 0;
  TShortCut FShortCut = 0;
};

class TAction : public TCustomAction {
public:
  explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

// A client's link that pushes single properties. The default pushes nothing; a client's link
// overrides the setters for the properties it shows, and the Is...Linked tests say whether the
// client still follows the action (it does as long as it shows the action's present value).
class TActionLink : public TBasicActionLink {
public:
  explicit TActionLink(TObject* AClient) : TBasicActionLink(AClient) {}
  virtual bool IsCaptionLinked();
  virtual bool IsCheckedLinked();
  virtual bool IsEnabledLinked();
  virtual bool IsHintLinked();
  virtual bool IsImageIndexLinked();
  virtual bool IsVisibleLinked();
  virtual bool IsShortCutLinked();
  virtual bool IsGroupIndexLinked();
  virtual bool IsAutoCheckLinked();
  virtual bool IsOnExecuteLinked() { return true; }
  virtual void SetCaption(const std::string&) {}
  virtual void SetChecked(bool) {}
  virtual void SetEnabled(bool) {}
  virtual void SetHint(const std::string&) {}
  virtual void SetImageIndex(int32_t) {}
  virtual void SetVisible(bool) {}
  virtual void SetShortCut(TShortCut) {}
  virtual void SetGroupIndex(int32_t) {}
  virtual void SetAutoCheck(bool) {}

protected:
  TCustomAction* CustomAction() const;
};

class TCustomActionList : public TComponent {
public:
  explicit TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}
  ~TCustomActionList() override;
  int32_t ActionCount() const { return int32_t(FActions.size()); }
  // Raises EListError for an index outside 0..ActionCount-1.
  TContainedAction* Actions(int32_t Index) const;
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  // OnExecute / OnUpdate of the list; true when they handled the action.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);
  // Executes the enabled action whose short cut Key is; true when one was found.
  bool IsShortCut(TShortCut Key);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TActionEvent OnExecute, OnUpdate;
  TNotifyEvent OnChange;

private:
  friend class TContainedAction;
  void AddAction(TContainedAction* Action);
  void RemoveAction(TContainedAction* Action);
  std::vector<TContainedAction*> FActions;
  TCustomImageList* FImages = nullptr;
};

class TActionList : public TCustomActionList {
public:
  explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
};

// ---- the link of a control --------------------------------------------------------------------

// Pushes Caption, Enabled, Hint and Visible to a control (a control whose link shows more, such
// as the check state of a check box, makes its own link in CreateActionLink).
class TControlActionLink : public TActionLink {
public:
  explicit TControlActionLink(TControl* AClient) : TActionLink(AClient), FClient(AClient) {}
  TControl* Client() const { return FClient; }
  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsVisibleLinked() override;
  void SetCaption(const std::string& Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const std::string& Value) override;
  void SetVisible(bool Value) override;

protected:
  TControl* FClient;
};
