// Actions: the controls and menu items linked to one action follow its properties, a click
// executes it, its list sees it first, and a freed action or client leaves nothing dangling.
#include <gtest/gtest.h>

#include "classlib/ActnList.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "classlib/Streaming.h"
#include "tests/classlib/ControlTestFixture.h"

namespace {

using namespace ctltest;

class ActionTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(100, 100, 300, 200);
    list = new TActionList(form);
    action = new TAction(form);
    action->SetActionList(list);
    action->SetCaption("播放");
    action->OnExecute = [this](TObject* s) {
      EXPECT_EQ(s, action);
      executedBy.push_back(action->ActionComponent());
    };
    button = Make<TButton>(form, "button", 10, 10, 80, 24);
    check = Make<TCheckBox>(form, "check", 10, 40, 120, 20);
    menu = new TPopupMenu(form);
    item = new TMenuItem(form);
    menu->Items()->Add(item);
    for (TControl* c : {static_cast<TControl*>(button), static_cast<TControl*>(check)}) c->SetAction(action);
    item->SetAction(action);
  }

  TForm* form = nullptr;
  TActionList* list = nullptr;
  TAction* action = nullptr;
  TButton* button = nullptr;
  TCheckBox* check = nullptr;
  TPopupMenu* menu = nullptr;
  TMenuItem* item = nullptr;
  std::vector<TComponent*> executedBy;
};

TEST_F(ActionTest, LinkedClientsFollowTheActionsProperties) {
  EXPECT_EQ(button->Caption(), "播放");
  EXPECT_EQ(check->Caption(), "播放");
  EXPECT_EQ(item->Caption(), "播放");
  action->SetEnabled(false);
  EXPECT_FALSE(button->Enabled());
  EXPECT_FALSE(check->Enabled());
  EXPECT_FALSE(item->Enabled());
  action->SetEnabled(true);
  EXPECT_TRUE(button->Enabled() && check->Enabled() && item->Enabled());
  action->SetChecked(true);
  EXPECT_TRUE(check->Checked());
  EXPECT_TRUE(item->Checked());
  EXPECT_TRUE(executedBy.empty());  // a check state pushed by the action is no click
  action->SetCaption("暂停");
  action->SetHint("暂停播放");
  action->SetShortCut(TextToShortCut("Ctrl+P"));
  action->SetImageIndex(3);
  EXPECT_EQ(button->Caption(), "暂停");
  EXPECT_EQ(item->Caption(), "暂停");
  EXPECT_EQ(button->Hint(), "暂停播放");
  EXPECT_EQ(item->ShortCut(), TextToShortCut("Ctrl+P"));
  EXPECT_EQ(item->ImageIndex(), 3);
  action->SetVisible(false);
  EXPECT_FALSE(button->Visible());
  EXPECT_FALSE(item->Visible());
  EXPECT_EQ(button->Action(), action);
  EXPECT_EQ(action->Clients().size(), 3u);
}

TEST_F(ActionTest, ClicksExecuteTheActionUnlessTheClientHasItsOwnHandler) {
  button->Click();
  item->Click();
  EXPECT_EQ(executedBy, (std::vector<TComponent*>{button, item}));
  EXPECT_EQ(action->ActionComponent(), nullptr);
  // The control's own OnClick takes the place of the action.
  int own = 0;
  button->OnClick = [&](TObject*) { ++own; };
  button->Click();
  EXPECT_EQ(own, 1);
  EXPECT_EQ(executedBy.size(), 2u);
  // OnUpdate runs before each execution, and a disabled action does not run.
  int updates = 0;
  action->OnUpdate = [&](TObject*) {
    ++updates;
    action->SetEnabled(false);
  };
  item->SetEnabled(true);  // the item itself would run, the action refuses
  EXPECT_FALSE(action->Execute());
  EXPECT_EQ(updates, 1);
  EXPECT_EQ(executedBy.size(), 2u);
  EXPECT_FALSE(item->Enabled());
}

TEST_F(ActionTest, TheListSeesTheActionFirstAndAutoCheckTogglesItsClients) {
  bool handled = true;
  std::vector<TBasicAction*> seen;
  list->OnExecute = [&](TBasicAction* a, bool& h) {
    seen.push_back(a);
    h = handled;
  };
  button->Click();
  EXPECT_EQ(seen, (std::vector<TBasicAction*>{action}));
  EXPECT_TRUE(executedBy.empty());
  handled = false;
  action->SetAutoCheck(true);
  check->SetChecked(true);  // a click on the check box executes the action, which checks
  EXPECT_TRUE(action->Checked());
  EXPECT_TRUE(item->Checked());
  EXPECT_EQ(executedBy, (std::vector<TComponent*>{check}));
  item->Click();  // and unchecks again, everywhere
  EXPECT_FALSE(action->Checked());
  EXPECT_FALSE(check->Checked());
  EXPECT_FALSE(item->Checked());
}

TEST_F(ActionTest, ActionsOfAGroupUncheckEachOtherAndShortCutsExecuteThem) {
  auto* other = new TAction(form);
  other->SetActionList(list);
  for (TAction* a : {action, other}) a->SetGroupIndex(5);
  action->SetChecked(true);
  other->SetChecked(true);
  EXPECT_FALSE(action->Checked());
  EXPECT_FALSE(check->Checked());
  EXPECT_EQ(list->ActionCount(), 2);
  EXPECT_EQ(other->Index(), 1);
  EXPECT_THROW(list->Actions(2), EListError);
  EXPECT_THROW(list->Actions(-1), EListError);
  action->SetShortCut(TextToShortCut("Ctrl+P"));
  item->SetShortCut(0);  // only the action list knows the key now
  form->Show();
  Pump();
  headless::KeyDown(VK_CONTROL);
  headless::PressKey('P');
  headless::KeyUp(VK_CONTROL);
  Pump();
  EXPECT_EQ(executedBy.size(), 1u);
}

TEST_F(ActionTest, FreeingTheActionOrAClientLeavesNothingDangling) {
  delete item;
  EXPECT_EQ(action->Clients().size(), 2u);
  delete action;
  action = nullptr;
  EXPECT_EQ(button->Action(), nullptr);
  EXPECT_EQ(check->Action(), nullptr);
  EXPECT_EQ(list->ActionCount(), 0);
  button->Click();  // no action: nothing to run, no crash
  EXPECT_TRUE(executedBy.empty());
}

class TActionForm1 : public TForm, public IFormBindings {
public:
  using TForm::TForm;
  void DeclareBindings(THandlerTable& T) override {
    T.Add("Action1Execute", this, &TActionForm1::Action1Execute);
    T.Field("Action1", Action1);
    T.Field("Button1", Button1);
    T.Field("N1", N1);
  }
  void Action1Execute(TObject*) { ++Runs; }
  TAction* Action1 = nullptr;
  TButton* Button1 = nullptr;
  TMenuItem* N1 = nullptr;
  int Runs = 0;
};

TEST(ActionStreaming, ActionsNestInTheirListAndClientsReferToThem) {
  const char* text =
      "object ActionForm1: TActionForm1\n"
      "  BorderStyle = bsNone\n"
      "  object ActionList1: TActionList\n"
      "    object Action1: TAction\n"
      "      Caption = '开始'\n"
      "      Checked = True\n"
      "      ShortCut = 'Ctrl+S'\n"
      "      OnExecute = Action1Execute\n"
      "    end\n"
      "  end\n"
      "  object Button1: TButton\n"
      "    Action = Action1\n"
      "  end\n"
      "  object PopupMenu1: TPopupMenu\n"
      "    object N1: TMenuItem\n"
      "      Action = Action1\n"
      "    end\n"
      "  end\n"
      "end\n";
  std::unique_ptr<TActionForm1> f(new TActionForm1(nullptr));
  ReadFormDescription(f.get(), text, "ActionForm1.dfm");
  ASSERT_TRUE(f->Action1 && f->Button1 && f->N1);
  EXPECT_NE(f->Action1->ActionList(), nullptr);
  EXPECT_EQ(f->Button1->Action(), f->Action1);
  EXPECT_EQ(f->Button1->Caption(), "开始");
  EXPECT_EQ(f->N1->Caption(), "开始");
  EXPECT_TRUE(f->N1->Checked());
  EXPECT_EQ(f->N1->ShortCut(), TShortCut('S') | scCtrl);
  f->Button1->Click();
  f->N1->Click();
  EXPECT_EQ(f->Runs, 2);
}

}  // namespace
