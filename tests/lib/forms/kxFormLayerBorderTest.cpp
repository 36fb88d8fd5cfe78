// The layered outer border of a skinned form: where its four windows sit, the alphas they take
// from the form, their sizing bands and the sizing of the form by dragging them, the form's
// fade-in, and what happens without layered windows on the display.
#include <gtest/gtest.h>

#include "lib/forms/kxFormLayerBorder.h"
#include "lib/forms/kxVelara.h"
#include "lib/graphics/kxBitmap.h"
#include "platform/backend/headless/Headless.h"
#include "tests/lib/forms/LayerTestSkin.h"

namespace {

using namespace win;
using layertest::LayerSpec;

constexpr int kL = 100, kT = 100, kW = 200, kH = 150;

class LayerBorderTest : public frametest::FrameTest {
protected:
  // A sizeable skinned form at (kL, kT, kW, kH) with the layer skin, shown, its fade-in timer run.
  TkxVelara* Shown(const LayerSpec& S = LayerSpec{}) {
    skins.push_back(layertest::MakeLayerSkin(S));
    TkxVelara* v = NewSkinForm(bsSizeable, kL, kT, kW, kH);
    v->SetSkinData(skins.back().get());
    DropObjects(v);
    v->Form()->Show();
    Settle();
    return v;
  }
  void Settle() {
    Pump();
    clock.Advance(2);
    Pump();
  }
  static RECT RectOf(TWinControl* W) {
    RECT r{};
    GetWindowRect(W->Handle(), &r);
    return r;
  }
  std::vector<std::unique_ptr<TkxSkinData>> skins;
};

void ExpectRect(const RECT& A, const RECT& B) {
  EXPECT_EQ(A.left, B.left);
  EXPECT_EQ(A.top, B.top);
  EXPECT_EQ(A.right, B.right);
  EXPECT_EQ(A.bottom, B.bottom);
}

// The picture's client rectangle lies over the form: the border reaches beyond each form edge by
// what the picture has outside its client rectangle on that side.
TEST_F(LayerBorderTest, TheBorderGrowsTheFormByThePictureOutsideItsClientRect) {
  headless::SetLayeredAvailable(true);
  struct Case {
    const char* Name;
    TRect ClRect;
    int L, T, R, B;  // how far the border reaches beyond each edge
  } cases[] = {
      {"10 on every side", {10, 10, 90, 90}, 10, 10, 10, 10},
      {"uneven", {5, 20, 95, 70}, 5, 20, 5, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    LayerSpec s;
    s.ClRect = c.ClRect;
    TkxVelara* v = Shown(s);
    TkxFormLayerBorder* b = v->FBorderLayer;
    ASSERT_TRUE(b && b->Visible());
    ASSERT_TRUE(b->TopBorder && b->BottomBorder && b->LeftBorder && b->RightBorder);
    const int ol = kL - c.L, ot = kT - c.T, orr = kL + kW + c.R, ob = kT + kH + c.B;
    ExpectRect(RectOf(b->TopBorder), RECT{ol, ot, orr, kT});
    ExpectRect(RectOf(b->BottomBorder), RECT{ol, kT + kH, orr, ob});
    ExpectRect(RectOf(b->LeftBorder), RECT{ol, kT, kL, kT + kH});
    ExpectRect(RectOf(b->RightBorder), RECT{kL + kW, kT, orr, kT + kH});
    for (TWinControl* w : {b->TopBorder, b->BottomBorder, b->LeftBorder, b->RightBorder}) {
      EXPECT_TRUE(headless::IsDisplayed(w->Handle()));
      EXPECT_EQ(GetWindowLongPtr(w->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT, LONG_PTR(WS_EX_TRANSPARENT));
    }
    EXPECT_TRUE(headless::IsDisplayed(v->Form()->Handle()));
    // The border follows the form.
    v->Form()->SetBounds(kL + 30, kT + 20, kW + 40, kH);
    Pump();
    ExpectRect(RectOf(b->TopBorder), RECT{kL + 30 - c.L, kT + 20 - c.T, kL + 30 + kW + 40 + c.R, kT + 20});
    ExpectRect(RectOf(b->RightBorder), RECT{kL + 30 + kW + 40, kT + 20, kL + 30 + kW + 40 + c.R, kT + 20 + kH});
  }
}

// The images: corners as they are, the middle stretched; alpha from the mask, or opaque without
// one; a form narrower than the corner pieces gets no mirrored middle.
TEST_F(LayerBorderTest, TheImagesKeepTheCornersAndTheMasksAlpha) {
  struct Case {
    const char* Name;
    int MaskGrey;
    int Width;
    uint32_t Alpha;
  } cases[] = {
      {"masked", 128, 300, 128},
      {"without a mask: opaque", -1, 300, 255},
      {"narrower than the corners", 128, 30, 128},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    LayerSpec s;
    s.MaskGrey = c.MaskGrey;
    auto sd = layertest::MakeLayerSkin(s);
    TkxVelara* v = NewSkinForm(bsSizeable, kL, kT, kW, kH);
    v->SetSkinData(sd.get());
    TkxFormLayerBorder* b = v->BorderLayer();
    b->Show(0, 0, c.Width, 200);
    ASSERT_TRUE(b->TopImage);
    const TkxBitmap& top = *b->TopImage;
    ASSERT_EQ(top.Width(), c.Width);
    ASSERT_EQ(top.Height(), 10);
    auto rgb = [](TkxColor p) { return p & 0xFFFFFF; };
    const uint32_t red = 0xFF0000, blue = 0x0000FF, green = 0x00FF00;  // as B,G,R pixels
    EXPECT_EQ(rgb(*top.PixelAddress(0, 0)), red);
    EXPECT_EQ(rgb(*top.PixelAddress(c.Width - 1, 0)), blue);
    if (c.Width > 40) {
      EXPECT_EQ(rgb(*top.PixelAddress(19, 5)), red);
      EXPECT_EQ(rgb(*top.PixelAddress(20, 5)), green);
      EXPECT_EQ(rgb(*top.PixelAddress(c.Width - 21, 5)), green);
      EXPECT_EQ(rgb(*top.PixelAddress(c.Width - 20, 5)), blue);
    } else {
      // The right corner covers the left one from the right end; nothing in between.
      EXPECT_EQ(rgb(*top.PixelAddress(c.Width - 20, 5)), blue);
      EXPECT_EQ(rgb(*top.PixelAddress(c.Width - 21, 5)), red);
    }
    EXPECT_EQ(*top.PixelAddress(c.Width / 2, 3) >> 24, c.Alpha);
    // The sides are the strips between the top and bottom pieces, tiled.
    ASSERT_TRUE(b->LeftImage && b->RightImage);
    EXPECT_EQ(b->LeftImage->Height(), 180);
    EXPECT_EQ(rgb(*b->LeftImage->PixelAddress(5, 179)), red);
    EXPECT_EQ(rgb(*b->RightImage->PixelAddress(5, 179)), blue);
    b->Hide();
  }
}

// The border's alphas are the skin's scaled by the form's alpha, to the nearest integer; with the
// border shown they reach its windows at once.
TEST_F(LayerBorderTest, CheckFormAlphaScalesTheSkinsAlphas) {
  headless::SetLayeredAvailable(true);
  struct Case {
    int Record, InActiveRecord, Form;
    int Active, InActive;
  } cases[] = {
      {255, 255, 128, 128, 128},
      {200, 100, 128, 100, 50},
      {255, 200, 200, 200, 157},
      {200, 255, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Record << " at " << c.Form);
    LayerSpec s;
    s.AlphaBlendValue = c.Record;
    s.InActiveAlphaBlendValue = c.InActiveRecord;
    TkxFormLayerBorder* b = Shown(s)->FBorderLayer;
    ASSERT_TRUE(b);
    b->CheckFormAlpha(c.Form, true);
    EXPECT_EQ(b->FCurrentAlphaBlendValue, c.Active);
    EXPECT_EQ(b->FCurrentInActiveAlphaBlendValue, c.InActive);
    const headless::LayeredRecord* r = headless::LayeredContent(b->TopBorder->Handle());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->alpha, b->Active() ? c.Active : c.InActive);
    // Deactivation switches to the inactive alpha at once.
    b->SetActive(false, true);
    EXPECT_EQ(headless::LayeredContent(b->TopBorder->Handle())->alpha, c.InActive);
  }
}

// The sizing bands of each window, in screen coordinates around the form (kL, kT, kW, kH) with a
// band 10 deep on every side.
TEST_F(LayerBorderTest, EachWindowAnswersItsSizingBands) {
  LayerSpec s;
  s.BorderRect = TRect{0, 0, 100, 100};
  s.HitTestEnable = true;
  TkxVelara* v = Shown(s);
  TkxFormLayerBorder* b = v->FBorderLayer;
  ASSERT_TRUE(b && b->TopBorder);
  EXPECT_EQ(b->LeftSize, 10);
  EXPECT_EQ(b->BottomSize, 10);
  const int R = kL + kW, B = kT + kH;
  struct Case {
    TkxFormLayerWindow* W;
    int X, Y;
    TkxFormLayerBorderHit Hit;
  } cases[] = {
      {b->LeftBorder, kL - 10, 150, kxflhLeft},
      {b->LeftBorder, kL - 11, 150, kxflhNone},
      {b->RightBorder, R + 10, 150, kxflhRight},
      {b->RightBorder, R + 11, 150, kxflhNone},
      {b->TopBorder, kL - 5, kT - 5, kxflhTopLeft},
      {b->TopBorder, kL + 2, kT - 10, kxflhTopLeft},
      {b->TopBorder, kL + 3, kT - 10, kxflhTop},
      {b->TopBorder, R - 3, kT - 1, kxflhTop},
      {b->TopBorder, R - 1, kT + 1, kxflhTopRight},
      {b->TopBorder, R + 9, kT + 2, kxflhTopRight},
      {b->TopBorder, R + 10, kT - 1, kxflhNone},
      {b->TopBorder, kL - 5, kT + 5, kxflhLeft},
      {b->TopBorder, R + 5, kT + 5, kxflhRight},
      {b->TopBorder, 150, kT - 11, kxflhNone},
      {b->BottomBorder, kL - 5, B + 5, kxflhBottomLeft},
      {b->BottomBorder, 150, B, kxflhBottom},
      {b->BottomBorder, 150, B + 10, kxflhNone},
      {b->BottomBorder, R + 1, B - 3, kxflhBottomRight},
      {b->BottomBorder, kL - 1, B - 4, kxflhLeft},
      {b->BottomBorder, R, B - 4, kxflhNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "(" << c.X << ", " << c.Y << ") on side " << int(c.W->BorderType));
    EXPECT_EQ(c.W->HitTest(TPoint{c.X, c.Y}), c.Hit);
  }
}

// Dragging a band sizes the form within its limits; a left edge held at the minimum width does
// not drag the form along.
TEST_F(LayerBorderTest, DraggingTheBorderSizesTheForm) {
  headless::SetLayeredAvailable(true);
  struct Case {
    const char* Name;
    POINT From, To;
    int MinWidth;
    RECT After;
  } cases[] = {
      {"left edge out", {kL - 5, 150}, {kL - 15, 150}, 0, {kL - 10, kT, kL + kW, kT + kH}},
      {"right edge in", {kL + kW + 5, 150}, {kL + kW - 15, 150}, 0, {kL, kT, kL + kW - 20, kT + kH}},
      {"top edge out", {150, kT - 5}, {150, kT - 25}, 0, {kL, kT - 20, kL + kW, kT + kH}},
      {"bottom-right corner", {kL + kW + 5, kT + kH + 5}, {kL + kW + 15, kT + kH + 25}, 0,
       {kL, kT, kL + kW + 10, kT + kH + 20}},
      {"left edge at the minimum width", {kL - 5, 150}, {kL + 25, 150}, kW, {kL, kT, kL + kW, kT + kH}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    LayerSpec s;
    s.BorderRect = TRect{0, 0, 100, 100};
    s.HitTestEnable = true;
    TkxVelara* v = Shown(s);
    v->MinWidth = c.MinWidth;
    headless::MoveMouse(c.From.x, c.From.y);
    Pump();
    headless::ButtonDown();
    Pump();
    headless::MoveMouse((c.From.x + c.To.x) / 2, (c.From.y + c.To.y) / 2);
    Pump();
    headless::MoveMouse(c.To.x, c.To.y);
    Pump();
    headless::ButtonUp();
    Pump();
    ExpectRect(v->Form()->BoundsRect(), c.After);
    EXPECT_FALSE(v->FBorderLayerChangeSize);
    // The border went with the form.
    ExpectRect(RectOf(v->FBorderLayer->LeftBorder),
               RECT{c.After.left - 10, c.After.top, c.After.left, c.After.bottom});
    v->Form()->Hide();
    Pump();
  }
}

// A maximized or rolled-up form cannot be sized through its border, and the cursor over the
// band stays the default one; a normal form shows the sizing cursor.
TEST_F(LayerBorderTest, AMaximizedOrRolledUpFormIsNotSizedByItsBorder) {
  headless::SetLayeredAvailable(true);
  // Room around the work area, so the border of a maximized form is on the screen.
  headless::SetMonitors({backend::MonitorDesc{RECT{0, 0, 1024, 768}, RECT{kL, kT, 900, 700}, true}});
  struct Case {
    const char* Name;
    void (*Set)(TkxVelara*);
    TCursor Cursor;
    bool Sized;
  } cases[] = {
      {"normal", [](TkxVelara*) {}, crSizeWE, true},
      {"maximized", [](TkxVelara* v) { v->SetWindowState(wsMaximized); }, crDefault, false},
      {"rolled up", [](TkxVelara* v) { v->SetRollUpState(true); }, crDefault, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    LayerSpec s;
    s.BorderRect = TRect{0, 0, 100, 100};
    s.HitTestEnable = true;
    TkxVelara* v = Shown(s);
    c.Set(v);
    Pump();
    const RECT before = v->Form()->BoundsRect();
    ASSERT_EQ(before.left, kL);
    TkxFormLayerWindow* left = v->FBorderLayer->LeftBorder;
    ASSERT_TRUE(left);
    const int y = before.top + 5;
    headless::MoveMouse(kL - 5, y);
    Pump();
    EXPECT_EQ(left->Cursor(), c.Cursor);
    headless::ButtonDown();
    Pump();
    headless::MoveMouse(kL - 8, y);
    Pump();
    headless::ButtonUp();
    Pump();
    const RECT after = v->Form()->BoundsRect();
    EXPECT_EQ(after.left != before.left, c.Sized);
    EXPECT_EQ(after.right, before.right);
    v->Form()->Hide();
    Pump();
  }
}

// A fade-in to 200 rises in steps of 200 div 15 = 13, one step each time more than 5 ms have
// passed, and ends at 200 after 16 steps; the border's alpha rises with it. A fade to 255 ends
// with the form out of the layer.
TEST_F(LayerBorderTest, AFadeInRisesInSixteenStepsToItsTarget) {
  headless::SetLayeredAvailable(true);
  for (int target : {200, 255}) {
    SCOPED_TRACE(target);
    skins.push_back(layertest::MakeLayerSkin());
    TkxVelara* v = NewSkinForm(bsSizeable, kL, kT, kW, kH);
    v->SetSkinData(skins.back().get());
    DropObjects(v);
    v->AlphaBlendAnimation = true;
    v->SetAlphaBlendValue(uint8_t(target));
    v->SetAlphaBlend(target != 255);
    v->Form()->Show();
    Pump();
    HWND h = v->Form()->Handle();
    std::vector<int> seen;
    std::vector<int> border;
    for (int ms = 0; ms < 200; ++ms) {
      BYTE a = 0;
      if (!(GetWindowLongPtr(h, GWL_EXSTYLE) & WS_EX_LAYERED)) {
        seen.push_back(-1);
        break;
      }
      GetLayeredWindowAttributes(h, nullptr, &a, nullptr);
      if (seen.empty() || seen.back() != a) {
        seen.push_back(a);
        border.push_back(v->FBorderLayer->FCurrentAlphaBlendValue);
      }
      clock.Advance(1);
      Pump();
    }
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[0], 0);
    EXPECT_EQ(seen[1], target / 15);
    if (target == 200) {
      EXPECT_EQ(seen.size(), 17u);  // 0, then 16 steps
      EXPECT_EQ(seen.back(), 200);
      EXPECT_EQ(border.back(), 200);
    } else {
      // 0, 14 steps of 17; the 15th reaches 255 and leaves the layer in the same tick.
      EXPECT_EQ(seen.size(), 16u);
      EXPECT_EQ(seen[seen.size() - 2], 255 - 17);
      EXPECT_EQ(seen.back(), -1);
    }
    EXPECT_EQ(border[1], target / 15);
    v->Form()->Hide();
    Pump();
  }
}

// Without layered windows on the display the border's windows are never shown and the form
// shows as soon as its first timer tick has turned its layer off.
TEST_F(LayerBorderTest, WithoutLayeredWindowsNoBorderShowsAndTheFormShowsAtOnce) {
  headless::SetLayeredAvailable(false);
  TkxVelara* v = Shown();
  HWND h = v->Form()->Handle();
  EXPECT_TRUE(headless::IsDisplayed(h));
  EXPECT_FALSE(GetWindowLongPtr(h, GWL_EXSTYLE) & WS_EX_LAYERED);
  TkxFormLayerBorder* b = v->FBorderLayer;
  ASSERT_TRUE(b);
  for (TkxFormLayerWindow* w : {b->TopBorder, b->BottomBorder, b->LeftBorder, b->RightBorder})
    if (w) {
      EXPECT_FALSE(headless::IsDisplayed(w->Handle()));
    }
  int sw = 0, sh = 0;
  const std::vector<uint32_t> screen = headless::ComposeScreen(&sw, &sh);
  // Just above the form, where the top border would be: the empty screen.
  EXPECT_EQ(screen[size_t(kT - 5) * sw + 150] & 0xFFFFFF, screen[size_t(5) * sw + 5] & 0xFFFFFF);
}

// The skin's switch and an outside show effect decide whether the border is active; hiding the
// form hides it, a skin without the record has none.
TEST_F(LayerBorderTest, TheBorderShowsOnlyWhileTheSkinAndTheFormWantIt) {
  headless::SetLayeredAvailable(true);
  TkxVelara* v = Shown();
  TkxFormLayerBorder* b = v->FBorderLayer;
  ASSERT_TRUE(b && b->Visible());
  skins.back()->SetShowLayeredBorders(false);
  v->Form()->Perform(KXM_LAYEREDBORDERSCHANGED, 0, 0);
  EXPECT_FALSE(b->Visible());
  skins.back()->SetShowLayeredBorders(true);
  v->Form()->Perform(KXM_LAYEREDBORDERSCHANGED, 0, 0);
  EXPECT_TRUE(b->Visible());
  // An outside show effect: the border waits for its end, then fades in.
  b->Hide();
  v->Form()->Perform(KXM_SMARTEFFECTSBEGIN, 0, 0);
  EXPECT_FALSE(v->LayeredFrameActive());
  v->Form()->Perform(KXM_SMARTEFFECTSEND, 0, 0);
  EXPECT_TRUE(b->Visible());
  for (int i = 0; i < 200; ++i) {
    clock.Advance(1);
    Pump();
  }
  EXPECT_EQ(b->FCurrentAlphaBlendValue, 255);
  v->Form()->Hide();
  Pump();
  EXPECT_FALSE(b->Visible());
  // A skin without the record.
  auto bare = std::make_unique<TkxSkinData>(nullptr);
  frametest::MakeFrameSkin(*bare);
  v->SetSkinData(bare.get());
  v->Form()->Show();
  Settle();
  EXPECT_FALSE(v->LayeredFrameActive());
  EXPECT_FALSE(b->Visible());
  // Hidden with its border, the form went into the layer; shown without one, it leaves it.
  EXPECT_TRUE(headless::IsDisplayed(v->Form()->Handle()));
  EXPECT_FALSE(GetWindowLongPtr(v->Form()->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  v->SetSkinData(nullptr);
}

}  // namespace
