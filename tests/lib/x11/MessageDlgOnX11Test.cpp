// The skinned message box on a real X server (run under xvfb-run; skipped without a display): it
// runs modally, and Enter pressed through the server's own input (XTest) answers OK.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "lib/dialogs/kxSkinMessage.h"
#include "platform/backend/x11/X11.h"
#include "tests/lib/x11/XServerPixels.h"

using namespace win;

namespace {

backend::Backend* Backend() {
  static backend::Backend* b = std::getenv("DISPLAY") ? x11::Create().release() : nullptr;
  return b;
}

TEST(MessageDlgOnX11, RunsModallyAndEnterAnswersOK) {
  if (!Backend() || !xpixels::Available()) GTEST_SKIP() << "no X display";
  backend::Install(Backend());
  {
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* msg = new TkxSkinMessage(owner.get());
    msg->ShowAgainFlag = true;
    // Once the dialog is up and active, Enter through XTest; a dialog that never becomes active
    // ends with a result no button gives.
    bool modalSeen = false, pressed = false;
    int waited = 0;
    std::string failure;
    auto* timer = new TTimer(owner.get());
    timer->SetInterval(50);
    timer->OnTimer = [&](TObject*) {
      TCustomForm* f = Screen->ActiveCustomForm();
      const bool up = f && f->FormState().Contains(fsModal) && f->Visible() && f->Active();
      if (up) modalSeen = true;
      if (++waited > 200) {
        failure = "the dialog never became active";
        for (int i = 0; i < Screen->FormCount(); ++i)
          if (Screen->Forms(i)->FormState().Contains(fsModal)) Screen->Forms(i)->SetModalResult(99);
        return;
      }
      if (!up || pressed) return;
      if (!xpixels::PressKey("Return")) {
        failure = "no XTest";
        f->SetModalResult(99);
        return;
      }
      pressed = true;
    };
    timer->SetEnabled(true);
    const int32_t r = msg->MessageDlg2("文件已经存在，是否覆盖？", "提示", mtWarning, {mbOK, mbCancel}, 0);
    timer->SetEnabled(false);
    EXPECT_TRUE(failure.empty()) << failure;
    EXPECT_TRUE(modalSeen);
    EXPECT_TRUE(pressed);
    EXPECT_EQ(r, 1);
    EXPECT_FALSE(msg->ShowAgainFlagValue);  // the box started checked and stayed so
    owner.reset();
  }
  backend::Install(nullptr);
}

}  // namespace
