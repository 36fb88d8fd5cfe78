// The helper that plays input into modal dialogs: a script ends its dialog, nested dialogs take
// the next script, and a dialog left open (or shown with no script) fails instead of hanging.
#include "tests/lib/dialogs/DialogInput.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "classlib/StdCtrls.h"
#include "tests/classlib/ControlTestFixture.h"

namespace {

using namespace win;
using dlgtest::DialogInput;

class DialogInputTest : public ctltest::ControlTest {
protected:
  TForm* Dialog(const std::string& name) {
    TForm* f = NewForm(300, 200, 200, 100);
    f->SetName(name);
    auto* ok = Make<TButton>(f, "OK", 10, 60, 60, 24);
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
    auto* cancel = Make<TButton>(f, "Cancel", 80, 60, 60, 24);
    cancel->SetModalResult(mrCancel);
    cancel->SetCancel(true);
    return f;
  }
};

TEST_F(DialogInputTest, ScriptsEndTheirDialogsInOrderNestedOnesIncluded) {
  TForm* outer = Dialog("outer");
  TForm* inner = Dialog("inner");
  DialogInput input;
  TModalResult innerResult = mrNone;
  input
      .Then([&](TCustomForm& d) {
        EXPECT_EQ(&d, outer);
        innerResult = inner->ShowModal();  // a nested dialog, played by the next script
        input.ClickCentre(dlgtest::Find<TButton>(*owner, "OK"));
      })
      .Then([&](TCustomForm& d) {
        EXPECT_EQ(&d, inner);
        input.Key(VK_ESCAPE);
      });
  EXPECT_EQ(outer->ShowModal(), mrOk);
  EXPECT_EQ(innerResult, mrCancel);
  EXPECT_EQ(input.Played(), 2);
  EXPECT_EQ(input.Pending(), 0);
  // Enter presses the default button of the next dialog.
  input.Then([&](TCustomForm&) { input.Key(VK_RETURN); });
  EXPECT_EQ(inner->ShowModal(), mrOk);
}

TEST_F(DialogInputTest, ADialogLeftOpenOrWithoutScriptFailsAndEnds) {
  TForm* d = Dialog("d");
  TModalResult r = mrNone;
  EXPECT_NONFATAL_FAILURE(
      {
        DialogInput input;
        input.Then([](TCustomForm&) {});
        r = d->ShowModal();
      },
      "still open after its script");
  EXPECT_EQ(r, DialogInput::mrLeftOpen);
  EXPECT_NONFATAL_FAILURE(
      {
        DialogInput input;
        r = d->ShowModal();
      },
      "with no script");
  EXPECT_EQ(r, DialogInput::mrLeftOpen);
  EXPECT_NONFATAL_FAILURE(
      {
        DialogInput input;
        input.Then([](TCustomForm&) {});
      },
      "never played");
}

}  // namespace
