// The skinned slider: where the thumb of a value lies (half to even) and back, snapping by
// Increment relative to MinValue, the range rules, key jumps, dragging, the track's repeat on the
// stepped clock (at once, then every 400 ms), the ticks, a travel length of nothing, the skin's
// and the own pictures, and reading one from a form description.
#include <gtest/gtest.h>

#include <climits>

#include "base/Stream.h"
#include "classlib/Streaming.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/controls/kxSkinSlider.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace win;
using ctltest::Px;
using ctltest::Rgb;

// The plain horizontal slider of 150 x 40: a ruler 138 long from (6, 10), a thumb 9 x 17 at
// y 6, so the thumb travels 129 pixels from x 6; ticks from y 24.
constexpr int kStart = 6, kTravel = 129, kThumbW = 9, kTicksTop = 24;

class SkinSlider : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(100, 100, 300, 200);
    form->SetColor(clWhite);
    s = Make<TkxSkinSlider>(form, "S", 10, 10, 150, 40);
    s->OnChange = [this](TObject*) { ++changes; };
    s->OnChanged = [this](TObject*) { ++changed; };
    form->Show();
    Pump();
  }
  uint32_t At(int x, int y) {
    TPoint p = form->ScreenToClient(s->ClientToScreen(TPoint{x, y}));
    return Rgb(headless::PixelAt(form->Handle(), p.x, p.y));
  }
  void Wait(int Ms) {
    clock.Advance(uint64_t(Ms));
    Pump();
  }
  void Key(int Vk) {
    headless::PressKey(Vk);
    Pump();
  }

  TForm* form = nullptr;
  TkxSkinSlider* s = nullptr;
  int changes = 0, changed = 0;
};

TEST_F(SkinSlider, TheBuiltInPicturesGiveTheLayout) {
  EXPECT_EQ(s->ImageHThumb()->Width(), 18);
  EXPECT_EQ(s->ImageHThumb()->Height(), 17);
  EXPECT_EQ(s->ImageHRuler()->Width(), 10);
  EXPECT_EQ(s->ImageHRuler()->Height(), 8);
  EXPECT_EQ(s->ImageVThumb()->Width(), 38);
  EXPECT_EQ(s->ImageVThumb()->Height(), 9);
  EXPECT_EQ(s->ImageVRuler()->Width(), 8);
  EXPECT_EQ(s->ImageVRuler()->Height(), 10);
  EXPECT_EQ(s->Ruler()->Width(), 138);
  EXPECT_EQ(s->Ruler()->Height(), 8);
  EXPECT_EQ(s->RulerOrigin(), (TPoint{6, 10}));
  EXPECT_EQ(s->ThumbRect(), (TRect{6, 6, 15, 23}));
  EXPECT_EQ(s->PointsRect(), (TRect{6, kTicksTop, 144, 39}));
  // The ruler ends in the picture's far edge (its last column white), not cut in its middle.
  EXPECT_EQ(s->Ruler()->Canvas()->Pixels(137, 3), s->ImageHRuler()->Canvas()->Pixels(9, 3));
  EXPECT_EQ(s->Ruler()->Canvas()->Pixels(0, 3), s->ImageHRuler()->Canvas()->Pixels(0, 3));
}

TEST_F(SkinSlider, AValuesThumbLiesAtTheNearestPixelHalfToEven) {
  struct Case {
    int32_t value, left;
  } cases[] = {
      {0, kStart},
      {30, kStart + 39},   // 38.7
      {50, kStart + 64},   // 64.5 goes to the even 64
      {70, kStart + 90},   // 90.3
      {90, kStart + 116},  // 116.1
      {100, kStart + kTravel},
  };
  for (const Case& c : cases) {
    s->SetValue(c.value);
    EXPECT_EQ(s->ThumbRect().left, c.left) << c.value;
    EXPECT_EQ(s->PositionOfValue(c.value), c.left);
    EXPECT_EQ(s->ThumbRect().right - s->ThumbRect().left, kThumbW);
  }
  // 193.5 rounds to the even 194 with a range of 300.
  s->SetMaxValue(300);
  s->SetValue(450 / 1);  // clamped
  EXPECT_EQ(s->Value(), 300);
  EXPECT_EQ(s->ValueOfPosition(kStart + 64), 149);  // 64 * 300 / 129 = 148.8
}

TEST_F(SkinSlider, RangeRules) {
  s->SetValue(1000);
  EXPECT_EQ(s->Value(), 100);
  EXPECT_EQ(changes, 1);
  s->SetMinValue(100);  // not below the maximum: refused
  EXPECT_EQ(s->MinValue(), 0);
  s->SetMaxValue(-5);
  EXPECT_EQ(s->MaxValue(), 100);
  s->SetRange(10, 10);
  EXPECT_EQ(s->MinValue(), 0);
  s->SetMaxValue(5);
  EXPECT_EQ(s->MaxValue(), 5);
  EXPECT_EQ(s->Increment(), 5) << "an increment wider than the range shrinks to it";
  EXPECT_EQ(s->Value(), 5);
  EXPECT_EQ(changes, 2);
  s->SetIncrement(0);
  s->SetIncrement(-3);
  EXPECT_EQ(s->Increment(), 5);
  s->SetRange(-20, 20);
  s->SetValue(-7);
  EXPECT_EQ(s->Value(), -7);
  s->SetMinValue(0);
  EXPECT_EQ(s->Value(), 0) << "a narrower range takes the value along";
}

TEST_F(SkinSlider, KeysJumpByIncrementFromTheNearestMultiple) {
  struct Case {
    TkxSliderOrientation orientation;
    int32_t from;
    int key;
    int32_t want;
    bool applies;
  } cases[] = {
      {soHorizontal, 15, VK_RIGHT, 30, true},  // nearest(1.5) = 2
      {soHorizontal, 25, VK_RIGHT, 30, true},  // nearest(2.5) = 2
      {soHorizontal, 15, VK_LEFT, 10, true},
      {soHorizontal, 96, VK_RIGHT, 100, true},
      {soHorizontal, 3, VK_LEFT, 0, true},
      {soHorizontal, 40, VK_HOME, 0, true},
      {soHorizontal, 40, VK_END, 100, true},
      {soHorizontal, 40, VK_UP, 40, false},
      {soVertical, 40, VK_UP, 50, true},
      {soVertical, 40, VK_DOWN, 30, true},
      {soVertical, 40, VK_RIGHT, 40, false},
  };
  s->SetFocus();
  Pump();
  ASSERT_TRUE(s->Focused());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    s->SetOrientation(c.orientation);
    s->SetValue(c.from);
    changed = 0;
    Key(c.key);
    EXPECT_EQ(s->Value(), c.want) << c.from;
    EXPECT_EQ(changed, c.applies ? 1 : 0);
  }
  s->SetOrientation(soHorizontal);
  s->SetValue(40);
  headless::KeyDown(VK_SHIFT);
  Key(VK_RIGHT);
  headless::KeyUp(VK_SHIFT);
  EXPECT_EQ(s->Value(), 40) << "with a shift key down nothing jumps";
}

TEST_F(SkinSlider, DraggingSnapsRelativeToMinValueWithoutSmooth) {
  s->SetOptions(TkxSliderOptions{soShowPoints});
  s->SetMinValue(5);
  s->SetValue(5);
  changes = changed = 0;
  const TRect t = s->ThumbRect();
  MoveTo(s, t.left + 4, t.top + 8);
  headless::ButtonDown(0);
  Pump();
  std::vector<int32_t> seen;
  for (int x = t.left + 4; x <= 150; x += 3) {
    MoveTo(s, x, t.top + 8);
    seen.push_back(s->Value());
  }
  for (int32_t v : seen) EXPECT_TRUE((v - 5) % 10 == 0 || v == 100) << v;
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(seen.back(), 100);
  EXPECT_GE(changes, 9);
  EXPECT_EQ(changed, 0);
  headless::ButtonUp(0);
  Pump();
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(s->ThumbRect().left, kStart + kTravel);
}

TEST_F(SkinSlider, SmoothDraggingFollowsThePointer) {
  s->SetValue(0);
  const TRect t = s->ThumbRect();
  MoveTo(s, t.left + 2, t.top + 2);
  headless::ButtonDown(0);
  Pump();
  MoveTo(s, t.left + 2 + 64, t.top + 2);
  EXPECT_EQ(s->ThumbRect().left, kStart + 64);
  EXPECT_EQ(s->Value(), 50);  // 64 * 100 / 129 = 49.6
  MoveTo(s, 400, 300);        // far past the end
  EXPECT_EQ(s->Value(), 100);
  MoveTo(s, -300, 300);
  EXPECT_EQ(s->Value(), 0);
  headless::ButtonUp(0);
  Pump();
  EXPECT_EQ(changed, 1);
}

TEST_F(SkinSlider, HoldingTheTrackJumpsAtOnceThenEvery400MsUntilTheThumbPassesThePointer) {
  s->SetValue(80);
  changes = changed = 0;
  MoveTo(s, 40, 14);  // on the ruler, left of the thumb
  headless::ButtonDown(0);
  Pump();
  EXPECT_EQ(s->Value(), 70);
  Wait(399);
  EXPECT_EQ(s->Value(), 70);
  Wait(1);
  EXPECT_EQ(s->Value(), 60);
  for (int32_t want : {50, 40, 30, 20, 20, 20}) {
    Wait(400);
    EXPECT_EQ(s->Value(), want);
  }
  const TRect thumb = s->ThumbRect();
  EXPECT_TRUE(PtInRect(&thumb, POINT{40, 14})) << "stopped under the pointer";
  EXPECT_EQ(changed, 0);
  headless::ButtonUp(0);
  Pump();
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(changes, 6);
  Wait(2000);
  EXPECT_EQ(s->Value(), 20);
}

TEST_F(SkinSlider, APressBesideTheTrackDoesNothing) {
  s->SetValue(50);
  ClickAt(s, 40, 30);  // below the ruler's widened band
  EXPECT_EQ(s->Value(), 50);
  ClickAt(s, 40, 20);  // within 3 pixels of the ruler
  EXPECT_EQ(s->Value(), 40);
}

TEST_F(SkinSlider, TicksEveryIncrementWithLongEnds) {
  const uint32_t ink = Px(clWindowText);
  auto tickLength = [&](int x) {
    int n = 0;
    while (n < 8 && At(x, kTicksTop + n) == ink) ++n;
    return n;
  };
  const int half = kThumbW / 2;
  EXPECT_EQ(tickLength(kStart + half), 5);                 // 0
  EXPECT_EQ(tickLength(kStart + 13 + half), 3);            // 10 at 12.9
  EXPECT_EQ(tickLength(kStart + 64 + half), 3);            // 50 at 64.5
  EXPECT_EQ(tickLength(kStart + kTravel + half), 5);       // 100
  EXPECT_EQ(tickLength(kStart + 7 + half), 0);             // between ticks
  // With Increment 1 the ticks would be closer than 4 pixels: every fourth value is drawn.
  s->SetIncrement(1);
  Pump();
  EXPECT_EQ(tickLength(kStart + 5 + half), 3);  // 4 at 5.16
  EXPECT_EQ(tickLength(kStart + 3 + half), 0);  // 2 at 2.58
  EXPECT_EQ(tickLength(kStart + 4 + half), 0);  // 3 at 3.87
  // A huge range draws its ends without taking long.
  s->SetMaxValue(2000000000);
  Pump();
  EXPECT_EQ(tickLength(kStart + half), 5);
  EXPECT_EQ(tickLength(kStart + kTravel + half), 5);
  s->SetOptions(TkxSliderOptions{soSmooth});
  Pump();
  EXPECT_EQ(tickLength(kStart + half), 0);
}

TEST_F(SkinSlider, OwnTickDrawingReplacesTheDefault) {
  int calls = 0;
  s->OnDrawPoints = [&](TObject*) {
    ++calls;
    ASSERT_NE(s->PaintCanvas(), nullptr);
    s->DefaultDrawPoints(50, 2, 7);
  };
  s->Invalidate();
  Pump();
  EXPECT_GE(calls, 1);
  EXPECT_EQ(At(kStart + 64 + kThumbW / 2, kTicksTop + 1), Px(clWindowText));
  EXPECT_NE(At(kStart + 64 + kThumbW / 2, kTicksTop + 2), Px(clWindowText));
  EXPECT_EQ(At(kStart + kThumbW / 2, kTicksTop + 6), Px(clWindowText));
  EXPECT_EQ(s->PaintCanvas(), nullptr);
}

TEST_F(SkinSlider, WithoutTravelTheValueStaysAndTheThumbSitsAtTheStart) {
  for (int w : {21, 15, 3, 0}) {  // ruler as long as the thumb, shorter, none
    SCOPED_TRACE(w);
    s->SetValue(40);
    s->SetWidth(w);
    Pump();
    s->SetValue(60);
    EXPECT_EQ(s->Value(), 60);
    EXPECT_EQ(s->ThumbRect().left, kStart);
    EXPECT_EQ(s->ValueOfPosition(50), 60);
    ClickAt(s, 10, 14);
    s->SetWidth(150);
  }
}

TEST_F(SkinSlider, AVerticalSliderHasItsMaximumAtTheTop) {
  s->SetOrientation(soVertical);
  s->SetBounds(10, 10, 40, 150);
  Pump();
  EXPECT_EQ(s->Ruler()->Width(), 8);
  EXPECT_EQ(s->Ruler()->Height(), 138);
  s->SetValue(100);
  EXPECT_EQ(s->ThumbRect().top, 6);
  EXPECT_EQ(s->ThumbRect().bottom - s->ThumbRect().top, 9);
  EXPECT_EQ(s->ThumbRect().right - s->ThumbRect().left, 19);
  s->SetValue(0);
  EXPECT_EQ(s->ThumbRect().top, 150 - 6 - 9);
  s->SetValue(50);
  EXPECT_EQ(s->ThumbRect().top, 150 - 70 - 9);
  // The track above the thumb jumps up.
  ClickAt(s, 15, 30);
  EXPECT_EQ(s->Value(), 60);
}

TEST_F(SkinSlider, OwnPicturesAndTheirRules) {
  TBitmap thumb;
  thumb.SetPixelFormat(pf24bit);
  thumb.SetSize(24, 12);
  s->SetOptions(s->Options() + TkxSliderOptions{soThumbOpaque});
  s->SetImageHThumb(&thumb);
  EXPECT_TRUE(s->UserImages().Contains(siHThumb));
  EXPECT_EQ(s->ThumbRect().right - s->ThumbRect().left, 12);
  s->SetNumThumbStates(1);
  EXPECT_EQ(s->ThumbRect().right - s->ThumbRect().left, 24);
  s->SetNumThumbStates(3);  // not a state count
  EXPECT_EQ(s->NumThumbStates(), 1);
  s->SetImageHThumb(nullptr);
  EXPECT_FALSE(s->UserImages().Contains(siHThumb));
  EXPECT_EQ(s->ImageHThumb()->Width(), 18);
  EXPECT_FALSE(s->Options().Contains(soThumbOpaque));
  s->SetEdgeSize(5);  // twice it is not less than the ruler picture's 10
  EXPECT_EQ(s->EdgeSize(), 2);
  s->SetEdgeSize(-1);
  EXPECT_EQ(s->EdgeSize(), 2);
  s->SetEdgeSize(4);
  EXPECT_EQ(s->EdgeSize(), 4);
  EXPECT_EQ(s->Ruler()->Width(), 138);
  EXPECT_EQ(s->Ruler()->Canvas()->Pixels(137, 3), s->ImageHRuler()->Canvas()->Pixels(9, 3));
}

TEST_F(SkinSlider, ATransparentSliderShowsItsParentAndAnOpaqueOneItsColour) {
  s->SetColor(clYellow);
  s->Invalidate();
  Pump();
  EXPECT_EQ(At(2, 38), Px(clYellow));
  s->SetTransparent(true);
  Pump();
  EXPECT_EQ(At(2, 38), Px(clWhite)) << "the form behind it";
  form->SetColor(clAqua);
  s->Perform(KXM_PARENTBGCHANGED, 0, 0);
  Pump();
  EXPECT_EQ(At(2, 38), Px(clAqua));
  // The ruler's fuchsia background is never drawn.
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 150; ++x) ASSERT_NE(At(x, y), Px(clFuchsia)) << x << "," << y;
}

class SkinSliderSkinned : public SkinSlider {
protected:
  void SetUp() override {
    SkinSlider::SetUp();
    skinlint::LoadGeneratedSkin(0, sd);
    ASSERT_FALSE(sd.Empty);
    rec = dynamic_cast<TkxDataSkinSlider*>(sd.CtrlList[size_t(sd.GetControlIndex("slider"))].get());
    ASSERT_NE(rec, nullptr);
  }
  void TearDown() override {
    delete s;  // before its skin data
    s = nullptr;
    SkinSlider::TearDown();
  }
  TkxSkinData sd{nullptr};
  TkxDataSkinSlider* rec = nullptr;
};

TEST_F(SkinSliderSkinned, TakesRulerThumbAndColoursFromTheRecord) {
  s->SetSkinData(&sd);
  Pump();
  EXPECT_EQ(s->SkinIndex(), sd.GetControlIndex("slider"));
  EXPECT_EQ(s->Ruler()->Height(), RectHeight(rec->HRulerRect));
  EXPECT_EQ(s->Ruler()->Width(), 138);
  EXPECT_EQ(s->ThumbRect().right - s->ThumbRect().left, RectWidth(rec->HThumbRect) / 2);
  EXPECT_EQ(s->ThumbRect().bottom - s->ThumbRect().top, RectHeight(rec->HThumbRect));
  EXPECT_EQ(At(2, 38), Px(rec->BGColor));
  s->SetUseSkinThumb(false);
  s->ChangeSkinData();
  EXPECT_EQ(s->ThumbRect().right - s->ThumbRect().left, 9) << "the own thumb on the skin's ruler";
  EXPECT_EQ(s->Ruler()->Height(), RectHeight(rec->HRulerRect));
}

TEST_F(SkinSliderSkinned, ARecordWithoutItsPictureFallsBackToTheOwnPictures) {
  rec->PictureIndex = 999;
  s->SetSkinData(&sd);
  Pump();
  EXPECT_EQ(s->SkinIndex(), -1);
  EXPECT_EQ(s->Ruler()->Height(), 8);
  EXPECT_EQ(s->ThumbRect().right - s->ThumbRect().left, 9);
}

std::string Hex(const std::string& Bytes) {
  static const char* d = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : Bytes) {
    out += d[c >> 4];
    out += d[c & 15];
  }
  return out;
}

TEST_F(SkinSlider, IsReadFromAFormDescription) {
  RegisterSkinDataFormClasses();
  TBitmap thumb;
  thumb.SetPixelFormat(pf24bit);
  thumb.SetSize(30, 11);
  TMemoryStream bmp;
  thumb.SaveToStream(bmp);
  std::string bytes(size_t(bmp.Size()), '\0');
  bmp.SetPosition(0);
  bmp.ReadBuffer(bytes.data(), bmp.Size());
  const uint32_t n = uint32_t(bytes.size());
  const std::string data = Hex(std::string(reinterpret_cast<const char*>(&n), 4) + bytes);
  auto* f = new TForm(owner.get());
  THandlerTable h;
  int heard = 0;
  h.Add<TNotifyEvent>("SChanged", [&](TObject*) { ++heard; });
  ReadFormDescription(f,
                      "object F: TForm\n  BorderStyle = bsNone\n"
                      "  object S: TkxSkinSlider\n    Left = 5\n    Top = 6\n    Width = 200\n    Height = 31\n"
                      "    MinValue = 200\n    MaxValue = 300\n    Increment = 20\n    Value = 260\n"
                      "    Options = [soShowFocus, soSmooth]\n    Transparent = True\n    UseSkinThumb = True\n"
                      "    UserImages = { 01 }\n    ImageHThumb.Data = {" +
                          data +
                          "}\n"
                          "    OnChanged = SChanged\n  end\nend\n",
                      "slider.dfm", &h);
  auto* sl = dynamic_cast<TkxSkinSlider*>(f->FindComponent("S"));
  ASSERT_NE(sl, nullptr);
  EXPECT_EQ(sl->MinValue(), 200);
  EXPECT_EQ(sl->MaxValue(), 300);
  EXPECT_EQ(sl->Increment(), 20);
  EXPECT_EQ(sl->Value(), 260);
  EXPECT_EQ(sl->Options(), (TkxSliderOptions{soShowFocus, soSmooth}));
  EXPECT_TRUE(sl->Transparent());
  EXPECT_EQ(sl->UserImages(), TkxSliderImages{siHThumb});
  EXPECT_EQ(sl->ImageHThumb()->Width(), 30);
  EXPECT_EQ(sl->ThumbRect().right - sl->ThumbRect().left, 15);
  EXPECT_EQ(heard, 0);
  // Two bytes are not the set.
  auto* g = new TForm(owner.get());
  EXPECT_THROW(ReadFormDescription(g,
                                   "object G: TForm\n  object S: TkxSkinSlider\n    UserImages = { 0100 }\n"
                                   "  end\nend\n",
                                   "bad.dfm"),
               EFormError);
}

}  // namespace
