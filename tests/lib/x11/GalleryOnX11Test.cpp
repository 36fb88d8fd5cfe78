// The gallery form on a real X server through the X11 backend (run under xvfb-run; skipped
// without a display): in the plain look and in each generated skin, what the server shows in the
// form's window equals the layer's back buffer of the form, pixel for pixel. A form taller than
// the screen is moved up band by band, so every row of it is seen on the screen once.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "lib/skin/kxSkinData.h"
#include "platform/backend/headless/Headless.h"
#include "platform/backend/x11/X11.h"
#include "tests/lib/SkinLint.h"
#include "tests/lib/gallery/Gallery.h"
#include "tests/lib/x11/XServerPixels.h"

using namespace win;

namespace {

backend::Backend* Backend() {
  static backend::Backend* b = std::getenv("DISPLAY") ? x11::Create().release() : nullptr;
  return b;
}

class GalleryOnX11 : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    if (!Backend() || !xpixels::Available()) GTEST_SKIP() << "no X display";
    if (xpixels::ScreenDepth() < 24) GTEST_SKIP() << "a screen of fewer colours than the back buffer";
    backend::Install(Backend());
    Drain();
  }
  void TearDown() override {
    if (!Backend()) return;
    owner.reset();
    Drain();
    backend::Install(nullptr);
  }
  static void Drain() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
  }
  // Runs the message loop (the server's events included) until done() holds or 5 s pass.
  static bool PumpUntil(const std::function<bool()>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
      Drain();
      if (done()) return true;
      if (std::chrono::steady_clock::now() > end) return false;
      Backend()->WaitEvents(20);
    }
  }
  // Whether the server shows rows [top, top + h) of the form as its back buffer holds them; a
  // difference is described in Why.
  bool BandMatches(TForm* F, int top, int h, std::string* Why) {
    int w = 0, ht = 0;
    std::vector<uint32_t> back = headless::ReadPixels(F->Handle(), &w, &ht);
    if (back.empty() || top + h > ht) return *Why = "no back buffer", false;
    const auto shown = xpixels::WindowRows(x11::NativeWindow(*Backend(), F->Handle()), w, top, h);
    if (shown.empty()) return *Why = "the server gave no image", false;
    int differ = 0, fx = -1, fy = -1;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t b = back[size_t(top + y) * size_t(w) + size_t(x)] | 0xFF000000u;
        if (b != shown[size_t(y) * size_t(w) + size_t(x)] && differ++ == 0) fx = x, fy = top + y;
      }
    if (differ == 0) return true;
    *Why = std::to_string(differ) + " pixels differ, the first at (" + std::to_string(fx) + ", " +
           std::to_string(fy) + ")";
    return false;
  }

  std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(nullptr);
};

TEST_P(GalleryOnX11, TheServerShowsTheFormsBackBuffer) {
  const int n = GetParam();
  std::unique_ptr<TkxSkinData> sd;
  if (n >= 0) {
    sd = std::make_unique<TkxSkinData>(nullptr);
    skinlint::LoadGeneratedSkin(n, *sd);
    ASSERT_FALSE(sd->Empty);
  }
  TForm* f = gallery::BuildForm(owner.get(), sd.get());
  const int sw = xpixels::ScreenWidth(), sh = xpixels::ScreenHeight();
  ASSERT_LE(f->Width(), sw) << "the gallery is wider than the screen";
  // Band by band: the form's top goes up by a screen's height each time.
  for (int top = 0; top < f->Height(); top += sh) {
    const int h = std::min(sh, f->Height() - top);
    f->SetBounds(0, -top, f->Width(), f->Height());
    std::string why;
    EXPECT_TRUE(PumpUntil([&] { return BandMatches(f, top, h, &why); }))
        << "rows " << top << ".." << top + h << ": " << why;
  }
  owner.reset();  // the controls go before their skin data
  Drain();
}

// The plain look (-1) and every generated skin.
INSTANTIATE_TEST_SUITE_P(Looks, GalleryOnX11, ::testing::Range(-1, 11), [](const auto& info) {
  return info.param < 0 ? std::string("plain") : "kxSkin" + std::to_string(info.param);
});

}  // namespace
