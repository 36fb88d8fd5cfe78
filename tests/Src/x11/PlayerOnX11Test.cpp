// The preview player and the previewer on a real X server: SDL draws the clip into the native
// subwindow of its host panel, and the previewer's window shows the engine's picture.
// Each test runs in a child process of its own: SDL's X11 driver keeps memory to the end of
// the process, which the leak check would otherwise report as ours.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "Src/FFPlayer.h"
#include "Src/Previewer.h"
#include "base/MainThread.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "tests/Src/fixtures/MediaFixtures.h"
#include "platform/WinUser.h"
#include "platform/backend/x11/X11.h"

using namespace mediafix;
using namespace win;

namespace {

// Runs ABody in a child process and answers its exit code; the body reports a failed check
// on standard error and exits with a code of its own.
int InChild(const std::function<int()>& ABody) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    InitMainThread();  // the child's one thread is its main thread
    const int rc = ABody();
    std::fflush(nullptr);
    _exit(rc);
  }
  int status = -1;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

bool Pump(backend::Backend& ADisplay, const std::function<bool()>& ADone, double ASeconds = 10) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(ASeconds);
  for (;;) {
    win::MSG m;
    while (win::PeekMessage(&m, nullptr, 0, 0, win::PM_REMOVE)) {
      win::TranslateMessage(&m);
      win::DispatchMessage(&m);
    }
    ServeMainThread(0);
    if (ADone()) return true;
    if (std::chrono::steady_clock::now() > until) return false;
    ADisplay.WaitEvents(10);
  }
}

bool Near(uint32_t APixel, int R, int G, int B, int ATolerance) {
  return std::abs(int(APixel >> 16 & 255) - R) <= ATolerance && std::abs(int(APixel >> 8 & 255) - G) <= ATolerance &&
         std::abs(int(APixel & 255) - B) <= ATolerance;
}

#define CHILD_CHECK(cond, code)                                   \
  do {                                                            \
    if (!(cond)) {                                                \
      std::fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #cond); \
      return code;                                                \
    }                                                             \
  } while (0)

class PlayerOnX11 : public ::testing::Test {
protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    // Made before the child starts, so the children share one cached fixture.
    Clip = FixturePath(TFixture::SingleColour);
  }
  std::string Clip;
};

TEST_F(PlayerOnX11, TheClipShowsInTheHostPanelsNativeWindowInPlace) {
  const int rc = InChild([&]() -> int {
    auto display = win::x11::Create();
    if (!display) return 2;
    backend::Install(display.get());
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("SDL_VIDEODRIVER");  // SDL's own X11 driver, into our window
    int rc = 0;
    {
      TForm form(nullptr);
      form.SetBorderStyle(bsNone);
      form.SetBounds(600, 300, 320, 240);
      form.SetColor(clBlack);
      TPanel panel(&form);
      panel.SetParent(&form);
      panel.SetBounds(40, 30, 200, 124);
      form.Show();
      TFFPlayer player(nullptr);
      CHILD_CHECK(player.LoadAVLib(), 3);
      bool paused = false;
      player.OnState = [&](TObject*, TPlayState S) { paused = paused || S == psPause; };
      CHILD_CHECK(player.Open(Clip, panel.Handle(), true), 4);
      CHILD_CHECK(Pump(*display, [&] { return paused; }), 5);
      // The 4:3 clip fits 164x124 in the middle of the 200x124 panel; black beside it.
      const RECT panelOnScreen{640, 330, 840, 454};
      bool shown = Pump(*display, [&] {
        auto px = win::x11::ReadScreen(*display, panelOnScreen);
        return Near(px[size_t(62) * 200 + 100], SingleColourR, SingleColourG, SingleColourB, 16);
      });
      auto px = win::x11::ReadScreen(*display, panelOnScreen);
      CHILD_CHECK(shown, 6);
      CHILD_CHECK(Near(px[size_t(5) * 200 + 30], SingleColourR, SingleColourG, SingleColourB, 16), 7);
      CHILD_CHECK(Near(px[size_t(62) * 200 + 5], 0, 0, 0, 8), 8);  // left of the picture
      // Nothing of the clip outside the panel.
      auto around = win::x11::ReadScreen(*display, RECT{600, 300, 920, 540});
      CHILD_CHECK(Near(around[size_t(200) * 320 + 300], 0, 0, 0, 8), 9);
      player.Stop(true);
      rc = 0;
    }
    backend::Install(nullptr);
    return rc;
  });
  EXPECT_EQ(rc, 0);
}

TEST_F(PlayerOnX11, ThePreviewerWindowShowsThePicture) {
  const int rc = InChild([&]() -> int {
    auto display = win::x11::Create();
    if (!display) return 2;
    backend::Install(display.get());
    int rc = 0;
    {
      TBitmap pic;
      pic.SetPixelFormat(pf32bit);
      pic.SetSize(64, 48);
      for (int y = 0; y < 48; ++y) {
        auto* p = static_cast<uint8_t*>(pic.ScanLine(y));
        for (int x = 0; x < 64; ++x) {
          p[x * 4] = 30, p[x * 4 + 1] = 140, p[x * 4 + 2] = 230, p[x * 4 + 3] = 255;
        }
      }
      TPreviewer previewer;
      CHILD_CHECK(previewer.PaintFrame(&pic, 1, 40000), 3);
      TForm* form = previewer.Form();
      CHILD_CHECK(form && form->Visible(), 4);
      win::POINT origin{0, 0};
      win::ClientToScreen(form->Handle(), &origin);
      const RECT client{origin.x, origin.y, origin.x + 64, origin.y + 48};
      CHILD_CHECK(Pump(*display, [&] {
                    auto px = win::x11::ReadScreen(*display, client);
                    return Near(px[size_t(24) * 64 + 32], 230, 140, 30, 4) && Near(px[0], 230, 140, 30, 4) &&
                           Near(px.back(), 230, 140, 30, 4);
                  }),
                  5);
    }
    backend::Install(nullptr);
    return rc;
  });
  EXPECT_EQ(rc, 0);
}

}  // namespace
