// The frame objects: which image a button shows in each state (normal, hot, pressed, disabled,
// inactive form, restore state), the default look of a button without a skin, records left
// untouched by the objects made from them, and the glow layer of a hot caption button.
#include <gtest/gtest.h>

#include "lib/graphics/kxUtilsLayer.h"
#include "tests/lib/forms/FrameObjectsFixture.h"

namespace {

using namespace formtest;
using namespace win;

constexpr TColor kBlank = TColor(0x123456);

class FrameObjectsTest : public FrameObjectTest {
protected:
  // Draws one object into a blank picture of the frame's size; answers the colour at its centre.
  uint32_t DrawnAt(TkxActiveSkinObject* O, bool UpDate = true) {
    auto B = NewPicture(kFrameW, kFrameH, kBlank);
    O->Draw(B->Canvas(), UpDate);
    const TPoint P{(O->ObjectRect.left + O->ObjectRect.right) / 2, (O->ObjectRect.top + O->ObjectRect.bottom) / 2};
    return ColorToRGB(B->Canvas()->Pixels(P.x, P.y));
  }
  static uint32_t Rgb(TColor C) { return ColorToRGB(C); }
  static uint32_t CellRgb(int C) { return ColorToRGB(kCellColor[C]); }
};

TEST_F(FrameObjectsTest, AButtonShowsTheImageOfItsState) {
  struct Case {
    const char* Name;
    bool Active, MouseIn, Down, Enabled, Maximized, UpDate;
    int MorphSteps;
    uint32_t Expected;
  } cases[] = {
      {"closebutton", false, false, false, true, false, true, 0, CellRgb(cNormal)},
      {"closebutton", true, true, false, true, false, true, 5, CellRgb(cHot)},
      {"closebutton", true, true, false, true, false, true, 0, CellRgb(cNormal)},  // a fade just begun
      {"closebutton", true, true, true, true, false, true, 5, CellRgb(cDown)},
      {"closebutton", false, false, true, true, false, true, 0, CellRgb(cNormal)},  // pressed, mouse off it
      {"closebutton", false, false, false, false, false, true, 0, CellRgb(cDisabled)},
      {"maxbutton", false, false, false, true, true, true, 0, CellRgb(cRestore)},
      {"maxbutton", true, true, false, true, true, true, 0, CellRgb(cRestoreHot)},
      {"maxbutton", true, true, true, true, true, true, 0, CellRgb(cRestoreDown)},
      {"minbutton", false, false, false, true, true, true, 0, CellRgb(cNormal)},  // maximized: no matter
      // An image in the frame picture is already there when the whole frame paints.
      {"sysmenubutton", false, false, false, true, false, false, 0, Rgb(kBlank)},
      {"sysmenubutton", false, false, false, true, false, true, 0, CellRgb(cNormal)},
      {"roundbutton", true, true, false, true, false, true, 0, CellRgb(cHot)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + " active " + std::to_string(c.Active) + " down " + std::to_string(c.Down) +
                 " enabled " + std::to_string(c.Enabled) + " maximized " + std::to_string(c.Maximized));
    RebuildObjects();
    auto* B = As<TkxSkinButtonObject>(c.Name);
    ASSERT_NE(B, nullptr);
    B->Active = c.Active;
    B->FMouseIn = c.MouseIn;
    B->FDown = c.Down;
    B->Enabled = c.Enabled;
    B->FMorphSteps = c.MorphSteps;
    vlr->FWindowState = c.Maximized ? wsMaximized : wsNormal;
    EXPECT_EQ(DrawnAt(B, c.UpDate), c.Expected);
  }
  vlr->FWindowState = wsNormal;
}

TEST_F(FrameObjectsTest, AnInactiveFormShowsTheInactiveImageOnlyOfEnabledButtons) {
  auto* other = new TForm(owner.get());
  other->SetBounds(600, 600, 100, 100);
  other->Show();
  Pump();
  ASSERT_FALSE(vlr->GetFormActive());
  auto* close = Obj("closebutton");
  EXPECT_EQ(DrawnAt(close), CellRgb(cInactive));
  close->Enabled = false;
  EXPECT_EQ(DrawnAt(close), CellRgb(cDisabled));
  // Inactive, the form finds no hot object.
  vlr->UpdateActiveObject(Centre("maxbutton").x, Centre("maxbutton").y, true);
  EXPECT_EQ(vlr->ActiveObject, -1);
}

TEST_F(FrameObjectsTest, AFrameStripShowsItsFrameOrItsPressedImage) {
  auto* strip = As<TkxSkinAnimateObject>("strip");
  for (int f = 1; f <= 4; ++f) {
    strip->FFrame = f;
    EXPECT_EQ(DrawnAt(strip), CellRgb(cStrip1 + f - 1)) << f;
  }
  strip->DownSkinRect = CellRect(cDown);
  strip->FDown = true;
  strip->FMouseIn = true;
  EXPECT_EQ(DrawnAt(strip), CellRgb(cDown));
  strip->FMouseIn = false;
  EXPECT_EQ(DrawnAt(strip), CellRgb(cStrip4));
}

TEST_F(FrameObjectsTest, TheDefaultLookFramesAHotButtonAndShiftsAPressedGlyph) {
  // A close button without a skin record, as the plain frame makes them.
  TkxSkinStdButtonObject close(vlr, nullptr);
  close.Command = cmClose;
  close.ObjectRect = TRect{10, 10, 26, 24};
  struct Look {
    uint32_t Corner, Fill;
    TRect Glyph;  // bounds of the glyph's pixels
  };
  auto LookOf = [&](bool MouseIn, bool Down, bool Enabled) {
    close.FMouseIn = MouseIn;
    close.FDown = Down;
    close.Enabled = Enabled;
    auto B = NewPicture(40, 40, kBlank);
    close.Draw(B->Canvas(), true);
    Look L{ColorToRGB(B->Canvas()->Pixels(10, 10)), ColorToRGB(B->Canvas()->Pixels(11, 23 - 1)), TRect{99, 99, -1, -1}};
    const uint32_t Ink = ColorToRGB(Enabled ? clBtnText : clBtnShadow);
    for (int y = 11; y < 23; ++y)
      for (int x = 11; x < 25; ++x)
        if (ColorToRGB(B->Canvas()->Pixels(x, y)) == Ink) {
          L.Glyph.left = std::min<int>(L.Glyph.left, x);
          L.Glyph.top = std::min<int>(L.Glyph.top, y);
          L.Glyph.right = std::max<int>(L.Glyph.right, x + 1);
          L.Glyph.bottom = std::max<int>(L.Glyph.bottom, y + 1);
        }
    return L;
  };
  const Look rest = LookOf(false, false, true), hot = LookOf(true, false, true), pressed = LookOf(true, true, true),
             disabled = LookOf(false, false, false);
  EXPECT_EQ(rest.Corner, ColorToRGB(clBtnFace));
  EXPECT_EQ(hot.Corner, ColorToRGB(clNavy));
  EXPECT_EQ(hot.Fill, 0xD2BDB6u);
  EXPECT_EQ(pressed.Corner, ColorToRGB(clNavy));
  EXPECT_EQ(pressed.Fill, 0xB59385u);
  ASSERT_LT(hot.Glyph.left, hot.Glyph.right) << "no glyph drawn";
  TRect shifted = hot.Glyph;
  OffsetRect(&shifted, 1, 1);
  EXPECT_EQ(pressed.Glyph, shifted);
  EXPECT_EQ(rest.Glyph, hot.Glyph);
  EXPECT_EQ(disabled.Glyph, rest.Glyph);  // the same glyph in the disabled colour
}

TEST_F(FrameObjectsTest, ObjectsCopyTheirRecordsAndNeverWriteThem) {
  auto* rec = Record<TkxDataSkinStdButton>(*sd, "closebutton");
  rec->ActivePictureIndex = 99;  // beyond the pictures: no hot image, so no morphing either
  const TRect recordHot = rec->ActiveSkinRect;
  TkxSkinStdButtonObject close(vlr, rec);
  EXPECT_EQ(close.ActivePicture, nullptr);
  EXPECT_TRUE(IsEmptyRect(close.ActiveSkinRect));
  EXPECT_FALSE(close.Morphing);
  EXPECT_EQ(rec->ActiveSkinRect, recordHot);
  EXPECT_TRUE(rec->Morphing);
  EXPECT_EQ(rec->ActivePictureIndex, 99);
  // Hovered, it never copies from the missing picture: it keeps its normal look.
  close.ObjectRect = kCloseAt;
  close.Active = close.FMouseIn = true;
  EXPECT_EQ(DrawnAt(&close), Rgb(kBlank));  // its normal image is in the missing picture too
}

TEST_F(FrameObjectsTest, AHotCaptionButtonGlowsAroundItselfWhileTheSkinAllowsIt) {
  if (!vlr->FLayerManager) vlr->FLayerManager = new TkxLayerManager(vlr);
  TkxLayerManager* glow = vlr->FLayerManager;
  Hover("closebutton");
  ASSERT_TRUE(Obj("closebutton")->Active);
  ASSERT_TRUE(glow->IsVisible);
  ASSERT_NE(glow->LayerWindow, nullptr);
  EXPECT_EQ(glow->LayerWindow->Left(), form->Left() + kCloseAt.left - 4);
  EXPECT_EQ(glow->LayerWindow->Top(), form->Top() + kCloseAt.top - 4);
  vlr->UpdateActiveObject(-1, -1, true);
  EXPECT_FALSE(glow->IsVisible);

  sd->SetShowCaptionButtonGlowFrames(false);
  Hover("closebutton");
  EXPECT_FALSE(glow->IsVisible);
}

TEST_F(FrameObjectsTest, DoubleClickingTheSystemMenuButtonClosesTheForm) {
  bool closed = false;
  form->OnClose = [&](TObject*, TCloseAction&) { closed = true; };
  Hover("sysmenubutton");
  vlr->ObjectsDblClick();
  EXPECT_TRUE(closed);
}

TEST_F(FrameObjectsTest, TheSystemMenuButtonIsAPlainButtonUntilItHasAMenu) {
  // Until the skinned menus come, the press goes to the form's one system-menu operation, and with
  // no menu to hold it down the button comes up on the release.
  Hover("sysmenubutton");
  const TPoint P = Centre("sysmenubutton");
  vlr->ObjectsMouseDown(mbLeft, P.x, P.y);
  EXPECT_TRUE(As<TkxSkinButtonObject>("sysmenubutton")->Down());
  vlr->ObjectsMouseUp(mbLeft, P.x, P.y);
  EXPECT_FALSE(As<TkxSkinButtonObject>("sysmenubutton")->Down());
}

}  // namespace
