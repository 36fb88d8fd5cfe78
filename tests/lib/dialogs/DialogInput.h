#pragma once
// Plays input into modal dialogs in the headless tests.
//
// ShowModal (and every Execute built on it) runs its own message loop and returns only when the
// dialog closes, so a test cannot click after the call. It arms scripts first:
//
//   dlgtest::DialogInput input;
//   input.Then([&](TCustomForm& dlg) {
//     input.ClickCentre(dlgtest::Find<TkxSkinButton>(dlg, "OK"));
//   });
//   EXPECT_EQ(msg.MessageDlg("Sure?", mtWarning, {mbOK, mbCancel}, 0), mrOk);
//
// Each script runs from inside the modal loop, at the first idle moment at which a dialog that has
// no script yet is modal and visible (the active form first), and gets that dialog. Scripts are
// used in the order they were armed, one per dialog; a dialog opened by a script (nested) takes
// the next one. The input functions inject through the headless backend and then handle what is
// waiting, so when they return the dialog has seen the input.
//
// Nothing hangs: a dialog still open after its script, or a dialog that shows with no script
// left, fails the test and is ended with mrLeftOpen. A script armed but never played fails the
// test when the DialogInput goes (Pending() tells it earlier). An exception thrown by a script
// leaves through the modal loop of its dialog, to the code that showed it.
//
// Needs the headless backend and the application object (ControlTest gives both); the stepped
// clock of the fixture moves on with Wait().
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "classlib/Forms.h"
#include "platform/WinUser.h"
#include "platform/backend/headless/Headless.h"

namespace dlgtest {

using namespace win;

// The component named Name owned by Owner, when it is a T; nullptr otherwise.
template <typename T>
T* Find(TComponent& Owner, const std::string& Name) {
  return dynamic_cast<T*>(Owner.FindComponent(Name));
}

class DialogInput {
public:
  using Script = std::function<void(TCustomForm& Dialog)>;
  // The result a dialog ends with when the helper had to close it.
  static constexpr TModalResult mrLeftOpen = -1;

  DialogInput() {
    saved_ = Application->OnIdle;
    Application->OnIdle = [this](TObject* Sender) {
      if (saved_) saved_(Sender);
      Idle();
    };
  }
  ~DialogInput() {
    Application->OnIdle = saved_;
    if (!scripts_.empty()) ADD_FAILURE() << scripts_.size() << " dialog script(s) never played";
  }
  DialogInput(const DialogInput&) = delete;
  DialogInput& operator=(const DialogInput&) = delete;

  // Arms a script for the next dialog.
  DialogInput& Then(Script S) {
    scripts_.push_back(std::move(S));
    return *this;
  }
  int Played() const { return played_; }
  int Pending() const { return int(scripts_.size()); }

  // ---- input (from scripts, or from the test itself) ----
  // Handles every message waiting now.
  static void Pump() { headless::ProcessPending(); }
  // Clicks a client point of C (left button unless told).
  static void Click(TControl* C, int X, int Y, int Button = 0) {
    if (!C) {
      ADD_FAILURE() << "no control to click";
      return;
    }
    const TPoint p = C->ClientToScreen(TPoint{X, Y});
    headless::Click(p.x, p.y, Button);
    Pump();
  }
  static void ClickCentre(TControl* C) {
    if (C) Click(C, C->Width() / 2, C->Height() / 2);
    else ADD_FAILURE() << "no control to click";
  }
  // Two clicks at one point with no time between them: a double click.
  static void DoubleClick(TControl* C, int X, int Y) {
    Click(C, X, Y);
    Click(C, X, Y);
  }
  static void Key(int Vk) {
    headless::PressKey(Vk);
    Pump();
  }
  // A key pressed while Modifier (VK_CONTROL, VK_SHIFT, VK_MENU) is held.
  static void KeyWith(int Modifier, int Vk) {
    headless::KeyDown(Modifier);
    headless::PressKey(Vk);
    headless::KeyUp(Modifier);
    Pump();
  }
  // Text as typed characters (UTF-8).
  static void Type(const std::string& Utf8) {
    for (size_t i = 0; i < Utf8.size();) {
      const unsigned char c = Utf8[i];
      const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
      uint32_t cp = n == 1 ? c : c & (0x3F >> (n - 1));
      for (int k = 1; k < n && i + k < Utf8.size(); ++k) cp = (cp << 6) | (Utf8[i + k] & 0x3F);
      headless::TypeChar(cp);
      i += n;
    }
    Pump();
  }
  // Moves the stepped clock on by Ms and handles the timers that fell due.
  static void Wait(uint32_t Ms) {
    if (auto* c = dynamic_cast<TSteppedClock*>(&CurrentClock())) c->Advance(Ms);
    Pump();
  }

private:
  // A modal, visible dialog whose script is not running: the active form first.
  TCustomForm* NewDialog() const {
    auto fresh = [&](TCustomForm* F) {
      return F && F->FormState().Contains(fsModal) && F->Visible() &&
             std::find(running_.begin(), running_.end(), F) == running_.end();
    };
    if (fresh(Screen->ActiveCustomForm())) return Screen->ActiveCustomForm();
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (fresh(Screen->Forms(i))) return Screen->Forms(i);
    return nullptr;
  }

  void Idle() {
    TCustomForm* dlg = NewDialog();
    if (!dlg) return;
    if (scripts_.empty()) {
      ADD_FAILURE() << "a dialog (\"" << dlg->Caption() << "\") showed with no script to play";
      dlg->SetModalResult(mrLeftOpen);
      return;
    }
    Script s = std::move(scripts_.front());
    scripts_.pop_front();
    ++played_;
    running_.push_back(dlg);
    // An exception from the script leaves through the dialog's modal loop, as one from the
    // dialog's own code would.
    struct Pop {
      std::vector<TCustomForm*>& v;
      ~Pop() { v.pop_back(); }
    } pop{running_};
    s(*dlg);
    if (dlg->FormState().Contains(fsModal) && dlg->ModalResult() == mrNone) {
      ADD_FAILURE() << "the dialog (\"" << dlg->Caption() << "\") is still open after its script";
      dlg->SetModalResult(mrLeftOpen);
    }
  }

  TNotifyEvent saved_;
  std::deque<Script> scripts_;
  std::vector<TCustomForm*> running_;
  int played_ = 0;
};

}  // namespace dlgtest
