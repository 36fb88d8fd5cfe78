// Skinned forms on a real X server through the X11 backend (run under xvfb-run; skipped without a
// display): an undecorated window drawing its own frame, in the plain look and in an embedded
// skin, shows on the server as its back buffer holds it; a drag of the caption with XTest moves
// the X window by the drag distance, as the form's bounds say; a click on the close button
// closes the form.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "classlib/Forms.h"
#include "lib/forms/kxFrameObjects.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinStore.h"
#include "platform/backend/headless/Headless.h"
#include "platform/backend/x11/X11.h"
#include "tests/lib/x11/OnX11.h"
#include "tests/lib/x11/XServerPixels.h"

using namespace win;

namespace {

// A colour as the back buffer stores it: red in bits 16-23, blue in the low byte.
uint32_t BackBufferColour(TColor c) {
  const COLORREF r = ColorToRGB(c);
  return uint32_t(GetRValue(r)) << 16 | uint32_t(GetGValue(r)) << 8 | GetBValue(r);
}

using onx11::Display;

class SkinFormOnX11 : public ::testing::TestWithParam<int> {
protected:
  void SetUp() override {
    if (!Display() || !xpixels::Available()) GTEST_SKIP() << "no X display";
    if (xpixels::ScreenDepth() < 24) GTEST_SKIP() << "a screen of fewer colours than the back buffer";
    backend::Install(Display());
    Drain();
  }
  void TearDown() override {
    if (!Display()) return;
    owner.reset();
    ReleaseCapture();
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
  static bool PumpUntil(const std::function<bool()>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
      Drain();
      if (done()) return true;
      if (std::chrono::steady_clock::now() > end) return false;
      Display()->WaitEvents(20);
    }
  }
  // The form with its component, in the skin (-1: the plain look).
  TkxVelara* NewSkinForm(int Skin, int x, int y, int w, int h) {
    if (Skin >= 0) {
      sd = new TkxSkinData(owner.get());
      TkxCompressedStoredSkin stored(nullptr);
      stored.LoadFromResource("kxSkin" + std::to_string(Skin));
      sd->LoadCompressedStoredSkin(&stored);
    }
    auto* f = new TForm(owner.get());
    f->SetBounds(x, y, w, h);
    f->SetCaption("视频格式转换器");
    auto* v = new TkxVelara(f);
    if (sd) v->SetSkinData(sd);
    return v;
  }
  static bool ScreenMatches(HWND h) { return onx11::ScreenMatches(h); }
  // A point of the window (window coordinates) the form answers HTCAPTION for.
  static bool FindCaptionPoint(HWND h, POINT& P) {
    RECT r;
    GetWindowRect(h, &r);
    for (int y = 2; y < 40; y += 2)
      for (int x = (r.right - r.left) / 2; x > 10; x -= 7)
        if (SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y)) == HTCAPTION) {
          P = POINT{x, y};
          return true;
        }
    return false;
  }
  // Presses at From (screen), then moves by (dx, dy) in three steps and releases, the steps sent
  // from another connection while the move loop waits for them.
  static void Drag(POINT From, int dx, int dy) {
    x11::FakeMotion(*Display(), From.x, From.y);
    x11::FakeButton(*Display(), 0, true);
    std::thread mover([=] {
      auto other = x11::Create();
      if (!other) return;
      for (int i = 1; i <= 3; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        x11::FakeMotion(*other, From.x + dx * i / 3, From.y + dy * i / 3);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(60));
      x11::FakeButton(*other, 0, false);
      x11::Sync(*other);
    });
    PumpUntil([] { return !(GetKeyState(VK_LBUTTON) & 0x8000); });
    mover.join();
    Drain();
  }

  std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(nullptr);
  TkxSkinData* sd = nullptr;
};

TEST_P(SkinFormOnX11, TheFrameShowsAsTheBackBufferHoldsItAndACaptionDragMovesTheXWindow) {
  TkxVelara* v = NewSkinForm(GetParam(), 150, 120, 420, 260);
  TCustomForm* f = v->Form();
  f->Show();
  HWND h = f->Handle();
  ASSERT_TRUE(PumpUntil([&] { return ScreenMatches(h); })) << "the frame on the server";
  if (GetParam() < 0) {
    // The plain frame is the component's: three lines of border, the outer one light.
    EXPECT_EQ(headless::PixelAt(h, 0, 100) & 0xFFFFFF, BackBufferColour(cl3DLight));
  }

  POINT cap{};
  ASSERT_TRUE(FindCaptionPoint(h, cap));
  const uintptr_t xw = x11::NativeWindow(*Display(), h);
  int x0 = 0, y0 = 0;
  ASSERT_TRUE(xpixels::WindowOrigin(xw, &x0, &y0));
  EXPECT_EQ(x0, 150);
  EXPECT_EQ(y0, 120);
  Drag(POINT{150 + cap.x, 120 + cap.y}, 90, 60);
  EXPECT_EQ(f->BoundsRect(), (TRect{240, 180, 660, 440}));
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.left, 240);
  EXPECT_EQ(r.top, 180);
  EXPECT_TRUE(PumpUntil([&] {
    int x = 0, y = 0;
    return xpixels::WindowOrigin(xw, &x, &y) && x == 240 && y == 180;
  })) << "the X window moved by the drag";
  EXPECT_TRUE(PumpUntil([&] { return ScreenMatches(h); })) << "the frame at the new place";
}

TEST_P(SkinFormOnX11, AClickOnTheCloseButtonClosesTheForm) {
  TkxVelara* v = NewSkinForm(GetParam(), 150, 120, 420, 260);
  TCustomForm* f = v->Form();
  int closes = 0;
  f->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
  f->Show();
  HWND h = f->Handle();
  ASSERT_TRUE(PumpUntil([&] { return ScreenMatches(h); }));
  TkxActiveSkinObject* close = nullptr;
  for (TkxActiveSkinObject* o : v->ObjectList)
    if (auto* b = dynamic_cast<TkxSkinStdButtonObject*>(o); b && b->Visible && b->Command == cmClose) close = b;
  ASSERT_NE(close, nullptr) << "a close button";
  const TRect& R = close->ObjectRect;
  const int cx = 150 + (R.left + R.right) / 2, cy = 120 + (R.top + R.bottom) / 2;
  x11::FakeMotion(*Display(), cx, cy);
  // The button turns hot on the pointer's arrival, before the press.
  const auto settle = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
  PumpUntil([&] { return std::chrono::steady_clock::now() > settle; });
  x11::FakeButton(*Display(), 0, true);
  x11::FakeButton(*Display(), 0, false);
  EXPECT_TRUE(PumpUntil([&] { return closes == 1 && !f->Visible(); }));
}

INSTANTIATE_TEST_SUITE_P(PlainAndSkinned, SkinFormOnX11, ::testing::Values(-1, 0, 5),
                         [](const ::testing::TestParamInfo<int>& i) {
                           return i.param < 0 ? std::string("plain") : "kxSkin" + std::to_string(i.param);
                         });

}  // namespace
