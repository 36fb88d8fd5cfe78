// The cover of an inactive form's client area: a picture of the client area taken at the
// deactivation, dimmed by the form's background or blurred, shown over the client controls, and
// taken afresh at every deactivation.
#include <gtest/gtest.h>

#include <cstdlib>

#include "lib/forms/kxClientInActivePanel.h"
#include "lib/forms/kxVelara.h"
#include "lib/graphics/kxBitmap.h"
#include "tests/lib/forms/FrameTestFixture.h"

namespace {

using namespace win;

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;  // B,G,R pixels

class InActivePanelTest : public frametest::FrameTest {
protected:
  // A skinless skinned form with the cover on and a red probe in the client's top-left corner,
  // shown and active; Other is a plain form to give the activation to.
  TkxVelara* Covered(TkxClientInActiveEffect Effect) {
    TkxVelara* v = NewSkinForm(bsSizeable, 50, 50, 240, 160);
    v->ClientInActiveEffect = true;
    v->ClientInActiveEffectType = Effect;
    probe = Make<ctltest::WinProbe>(v->Form(), "probe", 0, 0, 60, 40);
    probe->Fill = clRed;
    other = NewForm(400, 400, 100, 100);
    other->Show();
    v->Form()->Show();
    Pump();
    SetActiveWindow(v->Form()->Handle());
    Pump();
    return v;
  }
  void Deactivate() {
    SetActiveWindow(other->Handle());
    Pump();
  }
  // The form's background at a client point, as WM_ERASEBKGND paints it.
  static uint32_t Background(TkxVelara* v, int x, int y) {
    const TRect cr = v->Form()->ClientRect();
    TkxBitmap b;
    b.SetSize(cr.right - cr.left, cr.bottom - cr.top);
    SendMessage(v->Form()->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(b.DC()), 0);
    return *b.PixelAddress(x, y) & 0xFFFFFF;
  }
  static uint32_t At(TkxVelara* v, int x, int y) {
    return *v->FInActivePanel->Buffer->PixelAddress(x, y) & 0xFFFFFF;
  }
  static bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16})
      if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
  }
  static uint32_t Mix(uint32_t over, int alpha, uint32_t under) {
    uint32_t r = 0;
    for (int shift : {0, 8, 16}) {
      const int o = (over >> shift) & 0xFF, u = (under >> shift) & 0xFF;
      r |= uint32_t((o * alpha + u * (255 - alpha) + 127) / 255) << shift;
    }
    return r;
  }
  ctltest::WinProbe* probe = nullptr;
  TForm* other = nullptr;
};

// Dimmed: the background at alpha 170 over the picture, so the client shows through at 85/255.
TEST_F(InActivePanelTest, TheDimmedCoverLaysTheBackgroundAtAlpha170OverThePicture) {
  TkxVelara* v = Covered(kxieSemiTransparent);
  EXPECT_FALSE(v->FInActivePanel);
  Deactivate();
  ASSERT_TRUE(v->FInActivePanel);
  ASSERT_TRUE(v->FInActivePanel->Buffer);
  const TRect cr = v->Form()->ClientRect();
  EXPECT_TRUE(v->FInActivePanel->Visible());
  EXPECT_EQ(v->FInActivePanel->Width(), cr.right - cr.left);
  EXPECT_EQ(v->FInActivePanel->Height(), cr.bottom - cr.top);
  const uint32_t bg = Background(v, 10, 10);
  EXPECT_TRUE(Near(At(v, 10, 10), Mix(bg, 170, kRed), 2)) << std::hex << At(v, 10, 10) << " over " << bg;
  EXPECT_TRUE(Near(At(v, 100, 80), bg, 2));
  // The cover is what the client area shows now, over the probe.
  const POINT c = v->Form()->ClientOrigin();
  RECT wr{};
  GetWindowRect(v->Form()->Handle(), &wr);
  EXPECT_TRUE(Near(headless::PixelAt(v->Form()->Handle(), c.x - wr.left + 10, c.y - wr.top + 10) & 0xFFFFFF,
                   At(v, 10, 10), 1));
  // Activated again: no cover.
  SetActiveWindow(v->Form()->Handle());
  Pump();
  EXPECT_FALSE(v->FInActivePanel);
}

// Blurred: the probe's edge is softened, its inside keeps its colour.
TEST_F(InActivePanelTest, TheBlurredCoverSoftensEdges) {
  TkxVelara* v = Covered(kxieBlur);
  Deactivate();
  ASSERT_TRUE(v->FInActivePanel && v->FInActivePanel->Buffer);
  const uint32_t bg = Background(v, 100, 80);
  EXPECT_TRUE(Near(At(v, 20, 15), kRed, 2));
  EXPECT_TRUE(Near(At(v, 120, 100), bg, 2));
  const uint32_t edge = At(v, 60, 15);
  EXPECT_FALSE(Near(edge, kRed, 10));
  EXPECT_FALSE(Near(edge, bg, 10));
}

// Each deactivation takes a new picture of the client area as it is then.
TEST_F(InActivePanelTest, EachDeactivationTakesAFreshPicture) {
  TkxVelara* v = Covered(kxieBlur);
  Deactivate();
  ASSERT_TRUE(v->FInActivePanel && v->FInActivePanel->Buffer);
  EXPECT_TRUE(Near(At(v, 20, 15), kRed, 2));
  SetActiveWindow(v->Form()->Handle());
  Pump();
  probe->Fill = clBlue;
  probe->Invalidate();
  Pump();
  Deactivate();
  ASSERT_TRUE(v->FInActivePanel && v->FInActivePanel->Buffer);
  EXPECT_TRUE(Near(At(v, 20, 15), kBlue, 2));
}

// No form, a hidden one or one without a client area: no picture, the panel stays hidden.
TEST_F(InActivePanelTest, NoPictureWithoutAClientArea) {
  TForm* hidden = NewForm(10, 10, 100, 100);
  TForm* empty = NewForm(10, 10, 0, 0);
  empty->Show();
  Pump();
  struct Case {
    const char* Name;
    TCustomForm* Form;
  } cases[] = {{"no form", nullptr}, {"hidden", hidden}, {"zero-sized", empty}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* p = new TkxClientInActivePanel(owner.get());
    for (TkxClientInActiveEffect e : {kxieSemiTransparent, kxieBlur}) {
      p->ShowPanel(c.Form, e);
      EXPECT_FALSE(p->Visible());
      EXPECT_FALSE(p->Buffer);
    }
    delete p;
  }
}

}  // namespace
