// The skinned form's frame: the skin geometry mapped to the form's size (the seven rules of a
// skin rect, the buttons rect), the caption buttons' layout in the skin and in the default frame,
// the default frame's and the skin's painting, the client background and the window region cut
// from the mask.
#include <gtest/gtest.h>

#include "lib/graphics/kxEffectBmp.h"
#include "tests/lib/forms/FrameTestFixture.h"

namespace {

using namespace win;
using frametest::FrameTest;

// A memory DC of a form's size filled with a marker colour, to see what a paint leaves alone.
class Surface {
public:
  Surface(int w, int h, TColor Marker = TColor(0x123456)) {
    B.SetPixelFormat(pf24bit);
    B.SetSize(w, h);
    B.Canvas()->Brush()->SetColor(Marker);
    B.Canvas()->FillRect(TRect{0, 0, w, h});
  }
  HDC DC() { return B.Canvas()->Handle(); }
  uint32_t At(int x, int y) { return uint32_t(ColorToRGB(B.Canvas()->Pixels(x, y))) & 0xFFFFFF; }
  TBitmap B;
};

uint32_t Of(TColor c) {
  COLORREF r = ColorToRGB(c);
  return r & 0xFFFFFF;
}

// ---- geometry ----------------------------------------------------------------------------------

TEST_F(FrameTest, MapSkinRectFollowsTheCornersTheRectLiesIn) {
  TkxSkinData sd(nullptr);
  frametest::MakeFrameSkin(sd);  // 100 x 60, corners (30, 25) (70, 25) (30, 55) (70, 55)
  TkxVelara* v = NewSkinForm(bsSizeable, 0, 0, 150, 90);  // dx 50, dy 30
  v->SetSkinData(&sd);
  Fit(v);
  v->CalcSkinRects();
  struct Case {
    const char* Rule;
    TRect In, Out;
  };
  const Case cases[] = {
      {"inside LT", {2, 2, 28, 20}, {2, 2, 28, 20}},
      {"LT exactly", {0, 0, 30, 25}, {0, 0, 30, 25}},
      {"inside RT", {75, 2, 95, 20}, {125, 2, 145, 20}},
      {"inside LB", {2, 56, 28, 59}, {2, 86, 28, 89}},
      {"inside RB", {75, 56, 95, 59}, {125, 86, 145, 89}},
      {"LT to RB", {5, 5, 90, 58}, {5, 5, 140, 88}},
      {"LT to RT", {5, 5, 90, 20}, {5, 5, 140, 20}},
      {"LB to RB", {5, 56, 90, 58}, {5, 86, 140, 88}},
      {"LT to LB", {5, 5, 20, 58}, {5, 5, 20, 88}},
      {"RT to RB", {75, 5, 95, 58}, {125, 5, 145, 88}},
      {"otherwise", {35, 30, 60, 40}, {35, 30, 60, 40}},
      {"bottom-right on RT's bottom edge", {5, 5, 90, 25}, {5, 5, 90, 25}},
  };
  for (const Case& c : cases) EXPECT_EQ(v->MapSkinRect(c.In), c.Out) << c.Rule;
  v->SetSkinData(nullptr);
}

TEST_F(FrameTest, TheButtonsRectMovesWithTheRightEdgeOnlyWhenItStartsRightOfThePicturesMiddle) {
  TkxSkinData sd(nullptr);
  frametest::MakeFrameSkin(sd);  // 100 wide: the middle is 50
  TkxVelara* v = NewSkinForm(bsSizeable, 0, 0, 180, 60);
  v->SetSkinData(&sd);
  struct Case {
    TRect Buttons, Expected;
  };
  const Case cases[] = {
      {{50, 4, 96, 20}, {50, 4, 96, 20}},
      {{51, 4, 96, 20}, {131, 4, 176, 20}},
      {{0, 0, 0, 0}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    sd.ButtonsRect = c.Buttons;
    Fit(v);
    v->CalcSkinRects();
    EXPECT_EQ(v->NewButtonsRect, c.Expected) << c.Buttons.left;
  }
  // The caption rect grows with the width unless it is empty; the rest follows its corner.
  sd.CaptionRect = TRect{4, 4, 60, 20};
  sd.MaskRectArea = TRect{2, 2, 98, 58};
  v->CalcSkinRects();
  EXPECT_EQ(v->NewCaptionRect, (TRect{4, 4, 140, 20}));
  EXPECT_EQ(v->NewClRect, (TRect{5, 25, 175, 55}));
  EXPECT_EQ(v->NewRBPoint, (TPoint{150, 55}));
  EXPECT_EQ(v->NewHitTestRTPoint, (TPoint{170, 10}));
  EXPECT_EQ(v->NewMaskRectArea, (TRect{2, 2, 178, 58}));
  sd.CaptionRect = TRect{};
  v->CalcSkinRects();
  EXPECT_TRUE(IsRectEmpty(&v->NewCaptionRect));
  v->SetSkinData(nullptr);
}

TEST_F(FrameTest, SkinButtonsLineUpFromTheButtonsRectAndTheSystemMenuButtonCentresInTheCaption) {
  TkxSkinData sd(nullptr);
  frametest::MakeFrameSkin(sd);
  sd.ButtonsRect = TRect{60, 3, 96, 21};
  sd.CaptionRect = TRect{4, 2, 60, 22};
  sd.ButtonsOffset = 2;
  TkxVelara* v = NewSkinForm(bsSizeable, 0, 0, 200, 100);  // dx 100
  v->SetSkinData(&sd);
  frametest::FrameTest::DropObjects(v);
  // In list order: minimize, close, a default-command button, maximize, the system menu; the
  // close button is laid out first whatever its place in the list.
  auto* min = AddButton(v, cmMinimize, TRect{0, 0, 10, 12});
  auto* close = AddButton(v, cmClose, TRect{0, 0, 14, 12});
  auto* user = AddButton(v, cmDefault, TRect{0, 0, 8, 8});
  auto* max = AddButton(v, cmMaximize, TRect{0, 0, 12, 12});
  auto* sys = AddButton(v, cmSysMenu, TRect{0, 0, 10, 10});
  auto* hidden = AddButton(v, cmRollUp, TRect{0, 0, 9, 9});
  hidden->Visible = false;
  hidden->ObjectRect = TRect{1, 1, 2, 2};
  Fit(v);
  v->CalcSkinRects();
  v->CalcObjectRects();
  // Buttons rect moved by 100: (160, 3, 196, 21).
  EXPECT_EQ(close->ObjectRect, (TRect{182, 3, 196, 15}));
  EXPECT_EQ(max->ObjectRect, (TRect{168, 3, 180, 15}));
  EXPECT_EQ(min->ObjectRect, (TRect{156, 3, 166, 15}));
  EXPECT_EQ(user->ObjectRect, (TRect{146, 3, 154, 11}));
  EXPECT_EQ(hidden->ObjectRect, (TRect{1, 1, 2, 2}));
  // Caption (4, 2, 160, 22): 20 high, so a 10-high button sits at 2 + 10 - 5.
  EXPECT_EQ(sys->ObjectRect, (TRect{4, 7, 14, 17}));

  // Buttons on the left of the buttons rect.
  sd.CapButtonsInLeft = true;
  v->CalcSkinRects();
  v->CalcObjectRects();
  EXPECT_EQ(close->ObjectRect, (TRect{160, 3, 174, 15}));
  EXPECT_EQ(max->ObjectRect, (TRect{176, 3, 188, 15}));
  v->SetSkinData(nullptr);
}

TEST_F(FrameTest, WithoutAButtonsRectTheButtonsEndTheCaptionAndTheCaptionObjectMakesRoom) {
  TkxSkinData sd(nullptr);
  frametest::MakeFrameSkin(sd);
  sd.CaptionRect = TRect{4, 2, 96, 22};
  sd.ButtonsOffset = 1;
  TkxVelara* v = NewSkinForm(bsSizeable, 0, 0, 200, 100);
  v->SetSkinData(&sd);
  frametest::FrameTest::DropObjects(v);
  auto* caption = AddCaption(v, TRect{4, 2, 96, 22});
  auto* close = AddButton(v, cmClose, TRect{0, 0, 16, 16});
  auto* sys = AddButton(v, cmSysMenu, TRect{0, 0, 16, 16});
  Fit(v);
  v->CalcSkinRects();
  v->CalcObjectRects();
  // The caption rect (4, 2, 196, 22) is the area: close at its right end.
  EXPECT_EQ(close->ObjectRect, (TRect{180, 2, 196, 18}));
  EXPECT_EQ(sys->ObjectRect, (TRect{4, 4, 20, 20}));
  EXPECT_EQ(caption->ObjectRect, (TRect{20, 2, 180, 22}));
  v->SetSkinData(nullptr);
}

TEST_F(FrameTest, DefaultFrameButtonsSitAtTheRightEndAndTheSystemMenuButtonAtTheLeft) {
  for (TFormBorderStyle bs : {bsSizeable, bsToolWindow}) {
    TkxVelara* v = NewSkinForm(bs, 0, 0, 200, 100);
    frametest::FrameTest::DropObjects(v);
    const int s = bs == bsToolWindow ? 13 : 17;
    EXPECT_EQ(v->DefaultButtonSize(), s);
    auto* close = AddButton(v, cmClose);
    auto* max = AddButton(v, cmMaximize);
    auto* sys = AddButton(v, cmSysMenu);
    auto* tray = AddButton(v, cmMinimizeToTray);
    Fit(v);
    v->CalcDefRects();
    EXPECT_EQ(close->ObjectRect, (TRect{197 - s, 4, 197, 4 + s}));
    EXPECT_EQ(max->ObjectRect, (TRect{197 - 2 * s, 4, 197 - s, 4 + s}));
    EXPECT_EQ(tray->ObjectRect, (TRect{197 - 3 * s, 4, 197 - 2 * s, 4 + s}));
    EXPECT_EQ(sys->ObjectRect, (TRect{3, 4, 3 + s, 4 + s}));
    EXPECT_EQ(v->NewDefCaptionRect, (TRect{3 + s, 3, 197 - 3 * s, bs == bsToolWindow ? 15 : 19}));
  }
}

// ---- painting ----------------------------------------------------------------------------------

TEST_F(FrameTest, TheDefaultFrameHasAThreeLineBorderAndACaptionOfStripes) {
  for (TFormBorderStyle bs : {bsSizeable, bsSizeToolWin}) {
    TkxVelara* v = NewSkinForm(bs, 0, 0, 200, 100);
    Fit(v);
    Surface s(200, 100);
    v->PaintNCDefault(s.DC(), true);
    const int capH = bs == bsSizeable ? 19 : 15;
    // The stripes from bitmap row 2 to caption height - 4, that is window rows 5 to capH - 1,
    // highlight first; looked at in the middle, where no button and no text lie.
    int stripes = 0;
    for (int y = 3; y < 3 + capH; ++y) {
      const uint32_t p = s.At(100, y);
      const bool stripe = y >= 5 && y <= capH - 1;
      if (stripe) {
        ++stripes;
        EXPECT_EQ(p, Of((y - 5) % 2 == 0 ? clBtnHighlight : clBtnShadow)) << "row " << y;
      } else {
        EXPECT_EQ(p, Of(clBtnFace)) << "row " << y;
      }
    }
    EXPECT_EQ(stripes, bs == bsSizeable ? 14 : 10);
    // The borders, outside in.
    EXPECT_EQ(s.At(0, 50), Of(cl3DLight));
    EXPECT_EQ(s.At(1, 50), Of(clBtnHighlight));
    EXPECT_EQ(s.At(2, 50), Of(clBtnFace));
    EXPECT_EQ(s.At(199, 50), Of(cl3DDkShadow));
    EXPECT_EQ(s.At(198, 50), Of(clBtnShadow));
    EXPECT_EQ(s.At(100, 99), Of(cl3DDkShadow));
    EXPECT_EQ(s.At(100, 0), Of(cl3DLight));
    // The client is left alone.
    EXPECT_EQ(s.At(100, capH + 3), 0x123456u);
    EXPECT_EQ(s.At(196, 96), 0x123456u);
  }
}

TEST_F(FrameTest, TheDefaultCaptionIsCutToFitAndOnCaptionPaintGetsTheCaptionRect) {
  TkxVelara* v = NewSkinForm(bsSizeable, 0, 0, 160, 100);
  frametest::FrameTest::DropObjects(v);
  v->Form()->SetCaption("视频格式转换器视频格式转换器视频格式转换器视频格式转换器");
  Fit(v);
  Surface s(160, 100);
  v->PaintNCDefault(s.DC(), true);
  // Text drawn: some pixel of the caption's middle row is neither face nor stripe.
  int ink = 0;
  for (int x = 3; x < 157; ++x) {
    uint32_t p = s.At(x, 12);
    if (p != Of(clBtnFace) && p != Of(clBtnHighlight) && p != Of(clBtnShadow)) ++ink;
  }
  EXPECT_GT(ink, 0);

  TRect got{};
  bool active = true;
  int calls = 0;
  v->OnCaptionPaint = [&](TCanvas*, const TRect& R, bool AActive) {
    ++calls;
    got = R;
    active = AActive;
  };
  v->PaintNCDefault(s.DC(), true);
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(active);
  // (NewDefCaptionRect.Left - 3, 0, NewDefCaptionRect.Right - 3, caption height) in the bitmap.
  const int r = v->NewDefCaptionRect.right - 3;
  EXPECT_EQ(got, (TRect{v->NewDefCaptionRect.left - 3, 0, r, 19}));
}

TEST_F(FrameTest, NothingIsPaintedWhileTheSkinChanges) {
  TkxSkinData sd(nullptr);
  TkxVelara* v = NewSkinForm(bsSizeable, 0, 0, 200, 100);
  v->SetSkinData(&sd);
  sd.ChangeSkinDataProcess = true;
  Fit(v);
  Surface s(200, 100);
  v->PaintNCDefault(s.DC(), true);
  EXPECT_EQ(s.At(0, 50), 0x123456u);
  sd.ChangeSkinDataProcess = false;
  v->SetSkinData(nullptr);
}

// A frame picture of four coloured bands: the top (rows 0-24), left, right and bottom parts.
void PaintFramePicture(TBitmap& B, TColor Top, TColor Side, TColor Bottom) {
  B.SetPixelFormat(pf24bit);
  B.SetSize(100, 60);
  B.Canvas()->Brush()->SetColor(Side);
  B.Canvas()->FillRect(TRect{0, 0, 100, 60});
  B.Canvas()->Brush()->SetColor(Top);
  B.Canvas()->FillRect(TRect{0, 0, 100, 25});
  B.Canvas()->Brush()->SetColor(Bottom);
  B.Canvas()->FillRect(TRect{0, 55, 100, 60});
}

uint32_t Darkened(TColor c) {
  TkxEffectBmp e(1, 1);
  const COLORREF r = ColorToRGB(c);
  e.WritePixel(0, 0, int32_t((GetRValue(r) << 16) | (GetGValue(r) << 8) | GetBValue(r)));
  e.ChangeDarkness(0.3);
  const uint32_t v = uint32_t(e.ReadPixel(0, 0));  // blue in the low byte
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

TEST_F(FrameTest, TheSkinFrameIsFourStripsAroundTheClientInTheInactivePictureOrDarkened) {
  const TColor top = TColor(0x2060A0), side = TColor(0x40C080), bottom = TColor(0xA03010);
  TkxSkinData sd(nullptr);
  frametest::MakeFrameSkin(sd);
  PaintFramePicture(*sd.FPicture, top, side, bottom);
  TkxVelara* v = NewSkinForm(bsSizeable, 0, 0, 240, 140);
  v->SetSkinData(&sd);
  frametest::FrameTest::DropObjects(v);
  v->FSkinSupport = true;
  struct Probe {
    int X, Y;
    TColor Colour;
  };
  // Top strip rows 0-24, side strips 5 wide, bottom strip 5 high (form 240 x 140).
  const Probe probes[] = {{120, 3, top}, {2, 70, side}, {237, 70, side}, {120, 137, bottom}, {0, 0, top}};
  auto paint = [&](Surface& s) {
    Fit(v);
    v->PaintNCSkin(s.DC(), true);
  };
  // The form is not active here: without an inactive picture or the rendering switch it shows
  // the active picture as it is.
  ASSERT_FALSE(v->GetFormActive());
  {
    Surface s(240, 140);
    paint(s);
    for (const Probe& p : probes) EXPECT_EQ(s.At(p.X, p.Y), Of(p.Colour)) << p.X << "," << p.Y;
    EXPECT_EQ(s.At(120, 70), 0x123456u);  // the client is left alone
    EXPECT_EQ(s.At(5, 25), 0x123456u);
  }
  {
    sd.AutoRenderingInActiveImage = true;
    sd.InActiveEffect = ieDarkness;
    Surface s(240, 140);
    paint(s);
    for (const Probe& p : probes) EXPECT_EQ(s.At(p.X, p.Y), Darkened(p.Colour)) << p.X << "," << p.Y;
    sd.AutoRenderingInActiveImage = false;
  }
  {
    PaintFramePicture(*sd.FInActivePicture, TColor(0x101010), TColor(0x202020), TColor(0x303030));
    Surface s(240, 140);
    paint(s);
    EXPECT_EQ(s.At(120, 3), 0x101010u);
    EXPECT_EQ(s.At(237, 70), 0x202020u);
    EXPECT_EQ(s.At(120, 137), 0x303030u);
  }
  {
    // Smaller than the skin's minimum (the picture's width): nothing.
    v->Form()->SetBounds(0, 0, 90, 140);
    Surface s(90, 140);
    paint(s);
    EXPECT_EQ(s.At(0, 0), 0x123456u);
  }
  v->SetSkinData(nullptr);
}

TEST_F(FrameTest, TheClientBackgroundTilesTheSkinsClientPartOrFillsTheFace) {
  TkxSkinData sd(nullptr);
  frametest::MakeFrameSkin(sd);
  // A client part of two columns: 45 px of one colour, 45 of another.
  sd.FPicture->Canvas()->Brush()->SetColor(TColor(0x0000C0));
  sd.FPicture->Canvas()->FillRect(TRect{5, 25, 50, 55});
  sd.FPicture->Canvas()->Brush()->SetColor(TColor(0x00C000));
  sd.FPicture->Canvas()->FillRect(TRect{50, 25, 95, 55});
  TkxVelara* v = NewSkinForm(bsNone, 0, 0, 200, 100);
  v->SetSkinData(&sd);
  Surface s(200, 100);
  v->PaintBG(s.DC());
  // 90 x 30 tiles from (0, 0).
  EXPECT_EQ(s.At(0, 0), Of(TColor(0x0000C0)));
  EXPECT_EQ(s.At(45, 0), Of(TColor(0x00C000)));
  EXPECT_EQ(s.At(90, 31), Of(TColor(0x0000C0)));
  EXPECT_EQ(s.At(199, 99), Of(TColor(0x0000C0)));

  sd.ClRect = TRect{};
  Surface e(200, 100);
  v->PaintBG(e.DC());
  EXPECT_EQ(e.At(100, 50), Of(clBtnFace));
  Surface d(200, 100);
  v->PaintMDIBGDefault(d.DC());
  EXPECT_EQ(d.At(100, 50), Of(clAppWorkSpace));
  v->PaintBG(nullptr);  // no DC: nothing
  v->SetSkinData(nullptr);
}

// ---- the window region -------------------------------------------------------------------------

// A mask of the frame picture's size, black but for three white pixels in each top corner.
void RoundedMask(TBitmap& M) {
  M.SetPixelFormat(pf24bit);
  M.SetSize(100, 60);
  M.Canvas()->Brush()->SetColor(clBlack);
  M.Canvas()->FillRect(TRect{0, 0, 100, 60});
  for (TPoint p : {TPoint{0, 0}, TPoint{1, 0}, TPoint{0, 1}, TPoint{99, 0}, TPoint{98, 0}, TPoint{99, 1}})
    M.Canvas()->SetPixels(p.x, p.y, clWhite);
}

bool InRegion(HWND h, int x, int y) {
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  const bool has = GetWindowRgn(h, r) != ERROR;
  const bool in = has && PtInRegion(r, x, y);
  DeleteObject(r);
  return in;
}

TEST_F(FrameTest, TheWindowRegionIsTheFrameRectangleOrCutFromTheMaskStrips) {
  TkxSkinData sd(nullptr);
  frametest::MakeFrameSkin(sd);
  TkxVelara* v = NewSkinForm(bsSizeable, 0, 0, 200, 120);
  HWND h = v->Form()->Handle();
  v->SetSkinData(&sd);
  // No mask: the frame's rectangle.
  Fit(v);
  v->UpdateWindowRegion(true);
  EXPECT_TRUE(InRegion(h, 0, 0));
  EXPECT_TRUE(InRegion(h, 199, 119));
  EXPECT_FALSE(InRegion(h, 200, 60));

  RoundedMask(*sd.FMask);
  sd.MaskRectArea = TRect{5, 5, 95, 55};
  Fit(v);
  v->UpdateWindowRegion(true);
  struct Case {
    TPoint P;
    bool In;
  };
  // The right corner moved by 100 to the form's right edge.
  const Case cases[] = {{{0, 0}, false}, {{1, 0}, false}, {{0, 1}, false}, {{1, 1}, true},   {{2, 0}, true},
                        {{199, 0}, false}, {{198, 0}, false}, {{199, 1}, false}, {{197, 0}, true}, {{198, 1}, true},
                        {{100, 60}, true}, {{0, 119}, true}, {{199, 119}, true}, {{100, 0}, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(InRegion(h, c.P.x, c.P.y), c.In) << "region at " << c.P.x << "," << c.P.y;
    EXPECT_EQ(v->PointInFormMask(c.P), c.In) << "mask at " << c.P.x << "," << c.P.y;
  }

  // Not skinnable, or no border: no region.
  v->FSkinnableForm = false;
  v->UpdateWindowRegion(true);
  EXPECT_FALSE(InRegion(h, 100, 60));
  EXPECT_EQ(v->FRgn, nullptr);
  v->FSkinnableForm = true;
  v->SetSkinData(nullptr);
}

TEST_F(FrameTest, AMaskWithManyRunsGivesARegionWithEveryOneOfThem) {
  // A checkerboard: one run per black pixel, 12000 of them, more than any fixed table held.
  TkxSkinData sd(nullptr);
  frametest::MakeFrameSkin(sd);
  TBitmap& m = *sd.FMask;
  m.SetPixelFormat(pf24bit);
  m.SetSize(240, 100);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 240; ++x) m.Canvas()->SetPixels(x, y, (x + y) % 2 == 0 ? clBlack : clWhite);
  TkxVelara* v = NewSkinForm(bsSizeable, 0, 0, 240, 100);
  HWND h = v->Form()->Handle();
  v->SetSkinData(&sd);
  Fit(v);
  v->UpdateWindowRegion(false);  // the whole mask at (0, 0)
  for (TPoint p : {TPoint{0, 0}, TPoint{238, 98}, TPoint{239, 99}, TPoint{120, 50}})
    EXPECT_TRUE(InRegion(h, p.x, p.y)) << p.x << "," << p.y;
  for (TPoint p : {TPoint{1, 0}, TPoint{239, 98}, TPoint{238, 99}})
    EXPECT_FALSE(InRegion(h, p.x, p.y)) << p.x << "," << p.y;
  v->SetSkinData(nullptr);
}

}  // namespace
