// Forms: focus and Tab, CM_ENTER/CM_EXIT, CM_FOCUSCHANGED, CM_CANCELMODE, dialog keys reaching
// the default and cancel buttons, accelerators, the modal loop with timers and hand-overs.
#include <atomic>
#include <thread>

#include "base/MainThread.h"
#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "tests/classlib/ControlTestFixture.h"

using namespace ctltest;

namespace {

class FormTest : public ControlTest {
protected:
  // A shown, active form with three focusable probes a, b (in a panel) and c, and a graphic one.
  void Build() {
    form = NewForm(100, 100, 300, 200);
    form->SetName("form");
    a = Make<WinProbe>(form, "a", 10, 10, 50, 20);
    panel = Make<WinProbe>(form, "panel", 10, 40, 200, 60);
    b = Make<WinProbe>(panel, "b", 5, 5, 50, 20);
    c = Make<WinProbe>(form, "c", 10, 120, 50, 20);
    g = Make<GraphicProbe>(form, "g", 100, 10, 20, 20);
    for (WinProbe* p : {a, b, c}) p->SetTabStop(true);
    form->Show();
    Pump();
  }
  TForm* form = nullptr;
  WinProbe *a = nullptr, *panel = nullptr, *b = nullptr, *c = nullptr;
  GraphicProbe* g = nullptr;
};

TEST_F(FormTest, ShowingFocusesTheFirstTabStopAndTabWalksTheOrder) {
  Build();
  EXPECT_EQ(GetActiveWindow(), form->Handle());
  EXPECT_TRUE(a->Focused());
  EXPECT_EQ(form->ActiveControl(), a);
  EXPECT_EQ(Screen->ActiveForm(), form);
  headless::PressKey(VK_TAB);
  Pump();
  EXPECT_TRUE(b->Focused());
  headless::PressKey(VK_TAB);
  Pump();
  EXPECT_TRUE(c->Focused());
  headless::PressKey(VK_TAB);  // wraps
  Pump();
  EXPECT_TRUE(a->Focused());
  headless::KeyDown(VK_SHIFT);
  headless::PressKey(VK_TAB);
  headless::KeyUp(VK_SHIFT);
  Pump();
  EXPECT_TRUE(c->Focused());
  // TabOrder changes the walk; a control without TabStop is passed over.
  c->SetTabOrder(0);
  b->SetTabStop(false);
  a->SetFocus();
  headless::PressKey(VK_TAB);
  Pump();
  EXPECT_TRUE(c->Focused());
}

TEST_F(FormTest, FocusChangesSendExitAndEnterAlongTheTreeAndReachEveryControl) {
  Build();
  Log().clear();
  b->SetFocus();
  EXPECT_EQ(Log(), (std::vector<std::string>{"a:CM_EXIT", "panel:CM_ENTER", "b:CM_ENTER"}));
  Log().clear();
  c->SetFocus();
  EXPECT_EQ(Log(), (std::vector<std::string>{"b:CM_EXIT", "panel:CM_EXIT", "c:CM_ENTER"}));
  for (auto* p : std::vector<TControl*>{a, panel, b, c, g}) {
    auto focusOf = [](TControl* x) {
      if (auto* w = dynamic_cast<WinProbe*>(x)) return std::make_pair(w->FocusChanged, w->LastFocus);
      auto* gp = static_cast<GraphicProbe*>(x);
      return std::make_pair(gp->FocusChanged, gp->LastFocus);
    };
    auto [count, last] = focusOf(p);
    EXPECT_GE(count, 3) << p->Name();  // the first focus, b, then c
    EXPECT_EQ(last, c) << p->Name();
  }
  EXPECT_EQ(Screen->ActiveControl(), c);
}

TEST_F(FormTest, APressAnywhereSendsCancelModeToTheFocusedControl) {
  Build();
  c->SetFocus();
  c->CancelSender = nullptr;
  ClickAt(g, 5, 5);  // a graphic control
  EXPECT_EQ(c->CancelSender, g);
  ClickAt(form, 250, 180);  // the form itself
  EXPECT_EQ(c->CancelSender, form);
  // A press on a focusable control still tells the one that had the focus first.
  ClickAt(a, 5, 5);
  EXPECT_EQ(c->CancelSender, a);
}

TEST_F(FormTest, EnterAndEscapeReachTheDefaultAndCancelButtons) {
  Build();
  auto* ok = Make<TButton>(form, "ok", 200, 150, 40, 20);
  auto* cancel = Make<TButton>(form, "cancel", 250, 150, 40, 20);
  auto* other = Make<TButton>(form, "other", 150, 150, 40, 20);
  ok->SetDefault(true);
  cancel->SetCancel(true);
  std::vector<std::string> clicks;
  for (TButton* bt : {ok, cancel, other}) bt->OnClick = [&, bt](TObject*) { clicks.push_back(bt->Name()); };
  Pump();
  a->SetFocus();
  EXPECT_TRUE(ok->Active());
  headless::PressKey(VK_RETURN);
  headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(clicks, (std::vector<std::string>{"ok", "cancel"}));
  // With another button focused, Enter is that button's.
  clicks.clear();
  other->SetFocus();
  EXPECT_FALSE(ok->Active());
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(clicks, (std::vector<std::string>{"other"}));
  // A control that wants the key keeps it from the dialog.
  clicks.clear();
  a->SetFocus();
  a->Watch.clear();
  TWndMethod old = a->WindowProc;
  a->WindowProc = [&](TMessage& m) {
    if (m.Msg == CM_WANTSPECIALKEY && m.WParam == VK_RETURN) {
      m.Result = 1;
      return;
    }
    old(m);
  };
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_TRUE(clicks.empty());
  a->WindowProc = old;
  // A disabled default button does not click.
  ok->SetEnabled(false);
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_TRUE(clicks.empty());
}

TEST_F(FormTest, AcceleratorsClickButtonsAndFocusThroughLabels) {
  Build();
  auto* bt = Make<TButton>(form, "bt", 200, 150, 40, 20);
  bt->SetCaption("&Save && quit");
  auto* lbl = Make<TLabel>(form, "lbl", 200, 10, 40, 20);
  lbl->SetCaption("&Name");
  lbl->SetFocusControl(c);
  int clicks = 0;
  bt->OnClick = [&](TObject*) { ++clicks; };
  headless::TypeChar('s');
  Pump();
  EXPECT_EQ(clicks, 1);
  headless::TypeChar('q');  // "&&" is a plain "&": q is no accelerator
  Pump();
  EXPECT_EQ(clicks, 1);
  headless::TypeChar('N');
  Pump();
  EXPECT_TRUE(c->Focused());
  EXPECT_TRUE(IsAccel(U'保', "&保存"));
  EXPECT_FALSE(IsAccel('a', "abc&"));
}

TEST_F(FormTest, ModalResultEndsShowModalWhileTimersAndHandOversRun) {
  TForm* dlg = NewForm(200, 200, 100, 80);
  auto* ok = Make<TButton>(dlg, "ok", 10, 10, 40, 20);
  ok->SetModalResult(mrOk);
  TTimer timer(nullptr);
  timer.SetInterval(50);
  int ticks = 0;
  std::atomic<bool> handedOver{false};
  std::thread worker;
  // The timer keeps ticking inside the modal loop; from its second tick a worker hands a call
  // over to this thread, and that call ends the dialog through the button.
  timer.OnTimer = [&](TObject*) {
    ++ticks;
    if (ticks == 2) worker = std::thread([&] {
      Synchronize([&] {
        handedOver = true;
        ok->Click();
      });
    });
  };
  TModalResult r = dlg->ShowModal();
  if (worker.joinable()) worker.join();
  EXPECT_EQ(r, mrOk);
  EXPECT_GE(ticks, 2);
  EXPECT_TRUE(handedOver.load());
  EXPECT_FALSE(dlg->Visible());
  EXPECT_FALSE(dlg->FormState().Contains(fsModal));
  EXPECT_THROW({ dlg->Show(); dlg->ShowModal(); }, EInvalidOperation);
}

TEST_F(FormTest, ShowModalDisablesOtherFormsAndOnCloseQueryCanRefuse) {
  Build();
  TForm* dlg = NewForm(200, 200, 100, 80);
  TTimer timer(nullptr);
  timer.SetInterval(10);
  int asked = 0;
  bool formEnabledDuring = true;
  dlg->OnCloseQuery = [&](TObject*, bool& can) {
    ++asked;
    can = asked > 1;  // the first close is refused
  };
  timer.OnTimer = [&](TObject*) {
    formEnabledDuring = IsWindowEnabled(form->Handle()) != 0;
    dlg->SetModalResult(mrCancel);
  };
  EXPECT_EQ(dlg->ShowModal(), mrCancel);
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(formEnabledDuring);
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));
}

TEST_F(FormTest, CloseRunsCloseQueryAndOnCloseWithItsAction) {
  Build();
  std::vector<std::string> ev;
  form->OnCloseQuery = [&](TObject*, bool& can) { ev.push_back("query"); };
  form->OnClose = [&](TObject*, TCloseAction& act) {
    ev.push_back(act == caHide ? "close hide" : "close other");
  };
  form->OnHide = [&](TObject*) { ev.push_back("hide"); };
  SendMessage(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(ev, (std::vector<std::string>{"query", "close hide", "hide"}));
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(IsWindow(form->Handle()));
}

TEST_F(FormTest, ExceptionsInHandlersGoToOnException) {
  Build();
  std::string seen;
  TExceptionEvent old = Application->OnException;
  Application->OnException = [&](TObject* sender, const std::exception& e) { seen = e.what(); };
  a->OnKeyDown = [](TObject*, WORD&, TShiftState) { throw Exception("bad key"); };
  a->SetFocus();
  headless::PressKey('X');
  Pump();
  EXPECT_EQ(seen, "bad key");
  EXPECT_TRUE(IsWindow(a->Handle()));
  Application->OnException = old;
}

TEST_F(FormTest, OnMessageSeesQueuedMessagesOnly) {
  Build();
  std::vector<UINT> seen;
  Application->OnMessage = [&](MSG& m, bool& handled) {
    if (m.message == WM_USER + 1 || m.message == WM_USER + 2 || m.message == WM_KEYDOWN) seen.push_back(m.message);
    handled = m.message == WM_USER + 2;
  };
  int got2 = 0;
  a->WindowProc = [&, old = a->WindowProc](TMessage& m) {
    if (m.Msg == WM_USER + 2) ++got2;
    old(m);
  };
  SendMessage(a->Handle(), WM_USER + 1, 0, 0);
  PostMessage(a->Handle(), WM_USER + 2, 0, 0);
  headless::PressKey('A');
  Application->ProcessMessages();
  Application->OnMessage = nullptr;
  EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 2, WM_KEYDOWN}));
  EXPECT_EQ(got2, 0);  // handled by OnMessage: never dispatched
}

// Message hooks: many listeners beside the program's own OnMessage.
class MessageHookTest : public FormTest {
protected:
  void TearDown() override {
    for (auto t : tokens) Application->RemoveMessageHook(t);
    Application->OnMessage = nullptr;
    FormTest::TearDown();
  }
  // Posts Msg to control a, runs the loop and answers what the hooks wrote down.
  std::string Round(UINT Msg) {
    log.clear();
    PostMessage(a->Handle(), Msg, 0, 0);
    Application->ProcessMessages();
    return log;
  }
  // A hook that writes its name for the test's messages and handles when Handles says so.
  TApplication::TMessageHookToken Add(const std::string& Name, std::function<void()> Also = {}) {
    auto t = Application->AddMessageHook([this, Name, Also](MSG& m, bool& handled) {
      if (m.message < WM_USER + 10 || m.message > WM_USER + 20) return;
      log += Name + " ";
      if (Also) Also();
      handled = Name == handles;
      log += Name == handles ? "! " : "";  // written after Also, which may have removed this hook
    });
    tokens.push_back(t);
    return t;
  }
  std::vector<TApplication::TMessageHookToken> tokens;
  std::string log, handles;
};

TEST_F(MessageHookTest, HooksRunInTheirOrderThenOnMessageUntilOneHandles) {
  Build();
  int dispatched = 0;
  a->WindowProc = [&, old = a->WindowProc](TMessage& m) {
    if (m.Msg == WM_USER + 10) ++dispatched;
    old(m);
  };
  Add("A");
  Add("B");
  Add("C");
  Application->OnMessage = [&](MSG& m, bool& handled) {
    if (m.message != WM_USER + 10) return;
    log += "app ";
    handled = handles == "app";
  };
  struct Case {
    const char* handles;
    const char* called;
    int dispatched;
  };
  const Case cases[] = {
      {"", "A B C app ", 1}, {"A", "A ! ", 0}, {"B", "A B ! ", 0}, {"C", "A B C ! ", 0}, {"app", "A B C app ", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.handles);
    handles = c.handles;
    dispatched = 0;
    EXPECT_EQ(Round(WM_USER + 10), c.called);
    EXPECT_EQ(dispatched, c.dispatched);
  }
  // Sent messages are not the loop's: no hook sees them.
  log.clear();
  SendMessage(a->Handle(), WM_USER + 10, 0, 0);
  EXPECT_EQ(log, "");
  // Tokens are distinct and never 0; each removes once.
  EXPECT_NE(tokens[0], 0u);
  EXPECT_NE(tokens[0], tokens[1]);
  EXPECT_TRUE(Application->RemoveMessageHook(tokens[1]));
  EXPECT_FALSE(Application->RemoveMessageHook(tokens[1]));
  EXPECT_FALSE(Application->RemoveMessageHook(0));
  handles = "";
  EXPECT_EQ(Round(WM_USER + 10), "A C app ");
}

TEST_F(MessageHookTest, HooksMayRemoveAndAddHooksWhileBeingCalled) {
  Build();
  TApplication::TMessageHookToken self = 0, other = 0, added = 0;
  // Removes itself, then still uses what it holds: the running hook lives to its end.
  self = Add("self", [&] { EXPECT_TRUE(Application->RemoveMessageHook(self)); });
  Add("remover", [&] {
    if (other) Application->RemoveMessageHook(other);
    other = 0;
    if (!added) added = Add("added");
  });
  other = Add("other");
  Add("last");
  EXPECT_EQ(Round(WM_USER + 11), "self remover last ");
  EXPECT_EQ(Round(WM_USER + 11), "remover last added ");

  // A hook that runs the loop itself (as a modal loop does) while a hook of the inner round
  // removes itself: both rounds go on over the same hooks, and the removal holds afterwards.
  TApplication::TMessageHookToken inner = 0;
  bool nested = false;
  Add("modal", [&] {
    if (nested) return;
    nested = true;
    PostMessage(a->Handle(), WM_USER + 12, 0, 0);
    Application->ProcessMessages();
  });
  inner = Add("inner", [&] { Application->RemoveMessageHook(inner); });
  EXPECT_EQ(Round(WM_USER + 11), "remover last added modal remover last added modal inner ");
  EXPECT_EQ(Round(WM_USER + 11), "remover last added modal ");
}

TEST_F(MessageHookTest, AHookThatThrowsGoesToOnExceptionAndTheMessageIsHandled) {
  Build();
  std::string reported;
  auto old = Application->OnException;
  Application->OnException = [&](TObject*, const std::exception& e) { reported = e.what(); };
  Add("thrower", [] { throw Exception("hook failed"); });
  Add("next");
  EXPECT_EQ(Round(WM_USER + 13), "thrower ");
  EXPECT_EQ(reported, "hook failed");
  Application->OnException = old;
}

TEST_F(FormTest, HidingOrFreeingTheFocusedControlMovesTheFocusAway) {
  Build();
  b->SetFocus();
  panel->SetVisible(false);
  EXPECT_FALSE(b->Focused());
  EXPECT_NE(form->FocusedControl(), b);
  c->SetFocus();
  TControl* gone = c;
  delete c;
  c = nullptr;
  // The focus falls back to the form's own window.
  EXPECT_NE(form->FocusedControl(), gone);
  EXPECT_NE(Screen->ActiveControl(), gone);
  EXPECT_EQ(form->ActiveControl(), nullptr);
  headless::PressKey(VK_TAB);  // no stale control is used
  Pump();
  EXPECT_TRUE(a->Focused());
}

// A form that owns its focused control: freeing the control gives the form the focus, and the
// screen must not keep the freed form as its active control.
TEST_F(FormTest, AFormFreeingItsFocusedControlLeavesNoActiveControlBehind) {
  auto* f = NewForm(100, 100, 200, 100);
  auto* b = new WinProbe(f);
  b->SetTabStop(true);
  b->SetParent(f);
  f->Show();
  Pump();
  b->SetFocus();
  ASSERT_EQ(Screen->ActiveControl(), b);
  delete f;
  EXPECT_EQ(Screen->ActiveControl(), nullptr);
  // Another form going afterwards looks at the screen's active control.
  auto* g = NewForm(100, 100, 200, 100);
  g->Show();
  Pump();
  delete g;
}

}  // namespace
