// Layered windows in the headless backend: the fade sequence of pushes on the stepped clock,
// hiding, showing again, the premultiplied push, and the rule without a compositor.
#include <gtest/gtest.h>

#include "lib/graphics/kxBitmap.h"
#include "lib/graphics/kxUtilsLayer.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "tests/classlib/ControlTestFixture.h"

namespace {

using namespace win;

class LayerTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    InitializeUtilsUnit();
    headless::SetLayeredAvailable(true);
    image.SetPixelFormat(pf24bit);
    image.SetSize(6, 4);
    image.Canvas()->Brush()->SetColor(TColor(0x5A3C1E));  // R 0x1E, G 0x3C, B 0x5A
    image.Canvas()->FillRect(TRect{0, 0, 6, 4});
    mask.SetPixelFormat(pf24bit);
    mask.SetSize(6, 4);
    mask.Canvas()->Brush()->SetColor(clWhite);
    mask.Canvas()->FillRect(TRect{0, 0, 6, 4});
    mask.Canvas()->SetPixels(1, 0, TColor(0x5A3C1E));  // grey level (30 + 60 + 90) / 3 = 60
  }
  // The constant alphas pushed on each 25 ms tick until nothing more comes.
  std::vector<int> Fade(HWND h) {
    std::vector<int> seq;
    int updates = headless::LayeredContent(h)->updates;
    for (int i = 0; i < 40; ++i) {
      clock.Advance(25);
      Pump();
      const auto* r = headless::LayeredContent(h);
      if (r->updates != updates) seq.push_back(r->alpha), updates = r->updates;
    }
    return seq;
  }
  TBitmap image, mask;
};

TEST(kx_layer, AlphaFromTheMaskLeavesTheColours) {
  TkxBitmap img, m;
  img.SetSize(3, 1);
  m.SetSize(2, 1);
  img.Clear(0xFF102030);
  *m.PixelAddress(0, 0) = 0x001E3C5A;  // (30, 60, 90)
  *m.PixelAddress(1, 0) = 0x00FFFFFF;
  SetAlphaFromMask(&img, &m);
  EXPECT_EQ(*img.PixelAddress(0, 0), 0x3C102030u);
  EXPECT_EQ(*img.PixelAddress(1, 0), 0xFF102030u);
  EXPECT_EQ(*img.PixelAddress(2, 0), 0xFF102030u);  // outside the mask: as the image had it
}

TEST_F(LayerTest, ShowFadesInByTenthsAndStops) {
  TkxLayerManager m(nullptr);
  m.Show(300, 200, &image, &mask, 255);
  ASSERT_TRUE(m.LayerWindow);
  HWND h = m.LayerWindow->Handle();
  EXPECT_TRUE(m.IsVisible);
  EXPECT_TRUE(GetWindowLong(h, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(GetWindowLong(h, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  const auto* r = headless::LayeredContent(h);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->alpha, 0);  // first the picture, fully transparent
  EXPECT_EQ(r->updates, 1);
  RECT wr;
  GetWindowRect(h, &wr);
  EXPECT_EQ(wr.left, 300);
  EXPECT_EQ(wr.right - wr.left, 6);
  // Premultiplied: the pixel of mask grey 60 carries its colour scaled by 60/255.
  EXPECT_EQ(r->pixels[1], (60u << 24) | (((0x1Eu * 60 + 127) / 255) << 16) | (((0x3Cu * 60 + 127) / 255) << 8) |
                              ((0x5Au * 60 + 127) / 255));
  EXPECT_EQ(r->pixels[0], 0xFF1E3C5Au);
  EXPECT_TRUE(headless::IsDisplayed(h));
  EXPECT_EQ(Fade(h), (std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 250, 255}));
  EXPECT_FALSE(m.Timer->Enabled());
  EXPECT_NE(GetActiveWindow(), h);
  EXPECT_EQ(SendMessage(h, WM_MOUSEACTIVATE, 0, 0), LRESULT(MA_NOACTIVATE));
}

TEST_F(LayerTest, SmallTargets) {
  struct Case {
    int target;
    std::vector<int> seq;
  } cases[] = {{100, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100}},
               {5, {1, 2, 3, 4, 5}},
               {0, {0}},
               {300, {25, 50, 75, 100, 125, 150, 175, 200, 225, 250, 255}}};
  for (const auto& c : cases) {
    TkxLayerManager m(nullptr);
    m.Show(10, 10, &image, &mask, c.target);
    EXPECT_EQ(Fade(m.LayerWindow->Handle()), c.seq) << c.target;
  }
}

TEST_F(LayerTest, HideFreesAndShowAgainReplacesTheWindow) {
  TkxLayerManager m(nullptr);
  m.Show(10, 10, &image, &mask, 200);
  HWND first = m.LayerWindow->Handle();
  clock.Advance(25);
  Pump();
  m.Show(40, 40, &image, nullptr, 200);  // hides and frees the old window first
  ASSERT_TRUE(m.LayerWindow);
  HWND second = m.LayerWindow->Handle();
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(headless::LayeredContent(second)->pixels[1], 0xFF1E3C5Au);  // no mask: opaque
  m.Hide();
  EXPECT_FALSE(m.IsVisible);
  EXPECT_EQ(m.LayerWindow, nullptr);
  EXPECT_EQ(m.Bmp, nullptr);
  EXPECT_FALSE(IsWindow(second));
  EXPECT_FALSE(m.Timer->Enabled());
  clock.Advance(100);
  Pump();  // no tick reaches a freed window
  m.Hide();
}

TEST_F(LayerTest, WithoutTheLayeredEntryTheWindowStillShowsAndFades) {
  auto saved = PlatformFacts().UpdateLayeredWindowEntry;
  PlatformFacts().UpdateLayeredWindowEntry = nullptr;
  TkxLayerManager m(nullptr);
  m.Show(10, 10, &image, &mask, 50);
  HWND h = m.LayerWindow->Handle();
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_EQ(headless::LayeredContent(h), nullptr);  // nothing pushed
  for (int i = 0; i < 10; ++i) {
    clock.Advance(25);
    Pump();
  }
  EXPECT_EQ(m.BeginAlphaBlendValue, 50);
  EXPECT_FALSE(m.Timer->Enabled());
  EXPECT_EQ(headless::LayeredContent(h), nullptr);
  PlatformFacts().UpdateLayeredWindowEntry = saved;
}

TEST_F(LayerTest, WithoutACompositorThePictureIsNotDisplayed) {
  headless::SetLayeredAvailable(false);
  TkxLayerManager m(nullptr);
  m.Show(10, 10, &image, &mask, 255);
  HWND h = m.LayerWindow->Handle();
  EXPECT_EQ(Fade(h).size(), 11u);  // the fade runs all the same
  EXPECT_FALSE(headless::IsDisplayed(h));
  // A window faded as a whole shows opaque for any alpha above 0 and hides at 0.
  TForm* f = NewForm();
  f->Show();
  HWND fh = f->Handle();
  SetWindowLong(fh, GWL_EXSTYLE, GetWindowLong(fh, GWL_EXSTYLE) | LONG(WS_EX_LAYERED));
  SetLayeredWindowAlpha(fh, 100);
  Pump();
  EXPECT_TRUE(headless::IsDisplayed(fh));
  SetLayeredWindowAlpha(fh, 0);
  Pump();
  EXPECT_FALSE(headless::IsDisplayed(fh));
}

}  // namespace
