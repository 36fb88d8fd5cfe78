// The layered outer border of a skinned form on a real X server with a compositing manager (run
// under xvfb-run; skipped without a display or without xcompmgr): the test starts xcompmgr, and
// the border's windows then show around the form, blended over what lies below them.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "classlib/Forms.h"
#include "lib/forms/kxFormLayerBorder.h"
#include "lib/forms/kxVelara.h"
#include "platform/backend/x11/X11.h"
#include "tests/lib/forms/LayerTestSkin.h"
#include "tests/lib/x11/XServerPixels.h"

extern char** environ;

using namespace win;

namespace {

backend::Backend* Display() {
  static backend::Backend* b = std::getenv("DISPLAY") ? x11::Create().release() : nullptr;
  return b;
}

class LayerBorderOnX11 : public ::testing::Test {
protected:
  void SetUp() override {
    if (!Display() || !xpixels::Available()) GTEST_SKIP() << "no X display";
    if (xpixels::ScreenDepth() < 24) GTEST_SKIP() << "a screen of fewer colours than the back buffer";
    backend::Install(Display());
    Drain();
    if (!Display()->LayeredAvailable()) {
      char name[] = "xcompmgr";
      char* argv[] = {name, nullptr};
      if (posix_spawnp(&compositor, "xcompmgr", nullptr, nullptr, argv, environ) != 0) {
        compositor = 0;
        GTEST_SKIP() << "no xcompmgr";
      }
      if (!PumpUntil([] { return Display()->LayeredAvailable(); })) GTEST_SKIP() << "the compositor did not start";
    }
  }
  void TearDown() override {
    if (!Display()) return;
    owner.reset();
    skin.reset();
    Drain();
    backend::Install(nullptr);
    if (compositor > 0) {
      kill(compositor, SIGTERM);
      waitpid(compositor, nullptr, 0);
    }
  }
  static void Drain() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
  }
  static bool PumpUntil(const std::function<bool()>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
      Drain();
      if (done()) return true;
      if (std::chrono::steady_clock::now() > end) return false;
      Display()->WaitEvents(20);
    }
  }
  static uint32_t ScreenPixel(int x, int y) {
    const std::vector<uint32_t> px = x11::ReadScreen(*Display(), RECT{x, y, x + 1, y + 1});
    return px.empty() ? 0 : px[0];
  }

  pid_t compositor = 0;
  std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(nullptr);
  std::unique_ptr<TkxSkinData> skin;
};

TEST_F(LayerBorderOnX11, TheBorderShowsAroundTheForm) {
  const int L = 150, T = 120, W = 300, H = 200;
  // Where the top border will lie, before anything is there.
  const int px = L + W / 2, py = T - 5;
  const uint32_t before = ScreenPixel(px, py);
  skin = layertest::MakeLayerSkin();
  auto* f = new TForm(owner.get());
  f->SetBounds(L, T, W, H);
  auto* v = new TkxVelara(f);
  v->SetSkinData(skin.get());
  f->Show();
  ASSERT_TRUE(PumpUntil([&] { return v->FBorderLayer && v->FBorderLayer->Visible() && v->FBorderLayer->TopBorder; }));
  TkxFormLayerWindow* top = v->FBorderLayer->TopBorder;
  const uintptr_t xw = x11::NativeWindow(*Display(), top->Handle());
  ASSERT_NE(xw, 0u);
  int x0 = 0, y0 = 0;
  ASSERT_TRUE(PumpUntil([&] { return xpixels::WindowOrigin(xw, &x0, &y0) && x0 == L - 10 && y0 == T - 10; }))
      << "the top border at (" << x0 << ", " << y0 << ")";
  // The middle of the top border is green at half alpha over what was there.
  uint32_t now = 0;
  const bool shown = PumpUntil([&] {
    now = ScreenPixel(px, py);
    const int r = (now >> 16) & 0xFF, g = (now >> 8) & 0xFF, b = now & 0xFF;
    return now != before && g > r && g > b;
  });
  EXPECT_TRUE(shown) << std::hex << "before " << before << ", now " << now;
  const int g = (now >> 8) & 0xFF, g0 = (before >> 8) & 0xFF;
  EXPECT_NEAR(g, 128 + g0 / 2, 3) << std::hex << now;
  // Click-through: the border takes no input.
  EXPECT_TRUE(x11::InputShape(*Display(), top->Handle()).empty());
}

}  // namespace
