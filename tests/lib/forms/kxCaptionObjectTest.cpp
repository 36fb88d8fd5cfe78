// The caption object: the text cut with "..." inside its rectangle (Chinese included), the
// skin's right margin kept on a wider caption, the colours of an animation frame, and the quick
// buttons and the application's caption paint drawn over the caption's bitmap, not under it.
#include <gtest/gtest.h>

#include "tests/lib/forms/FrameObjectsFixture.h"

namespace {

using namespace formtest;
using namespace win;

class CaptionObjectTest : public FrameObjectTest {
protected:
  void SetUp() override {
    FrameObjectTest::SetUp();
    caption = As<TkxSkinCaptionObject>("caption");
  }
  std::unique_ptr<TBitmap> Drawn() {
    auto B = NewPicture(kFrameW, kFrameH, clBlack);
    caption->Draw(B->Canvas(), true);
    return B;
  }
  // The runs of pixels of colour C along row Y of B: their widths, and where the last one ends.
  static std::vector<int> Runs(TBitmap& B, int Y, TColor C, int* LastEnd = nullptr) {
    std::vector<int> runs;
    int start = -1;
    for (int x = 0; x <= B.Width(); ++x) {
      const bool in = x < B.Width() && ColorToRGB(B.Canvas()->Pixels(x, Y)) == ColorToRGB(C);
      if (in && start < 0) start = x;
      if (!in && start >= 0) {
        runs.push_back(x - start);
        if (LastEnd) *LastEnd = x;
        start = -1;
      }
    }
    return runs;
  }
  // The text row: the box font's boxes run from the text's top (rect centred in the text rect).
  static constexpr int kTextRow = kCaptionAt.top + 2 + 9 - 5 + 3;

  TkxSkinCaptionObject* caption = nullptr;
};

TEST_F(CaptionObjectTest, ACaptionTooLongForItsRectEndsInDotsAndStaysInside) {
  // The text rect is 68 pixels wide; a Latin box is 4 of its 5 pixels, an ideograph 9 of 10.
  caption->Active = false;  // drawn straight onto the frame, in the inactive colour
  struct Case {
    const char* Text;
    std::vector<int> Boxes;
  } cases[] = {
      {"Caption", std::vector<int>(7, 4)},
      {"ABCDEFGHIJKLM", std::vector<int>(13, 4)},               // 65 pixels: fits
      {"ABCDEFGHIJKLMN", std::vector<int>(13, 4)},              // 10 letters and "..."
      {"视频格式转换", std::vector<int>(6, 9)},                 // 60 pixels: fits
      {"视频格式转换器", {9, 9, 9, 9, 9, 4, 4, 4}},             // five and "..."
      {"Ombrel视频格式转换器", {4, 4, 4, 4, 4, 4, 9, 9, 4, 4, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    form->SetCaption(c.Text);
    auto B = Drawn();
    int end = 0;
    EXPECT_EQ(Runs(*B, kTextRow, clWhite, &end), c.Boxes);
    EXPECT_LE(end, kCaptionAt.left + 72);
  }
}

TEST_F(CaptionObjectTest, AWiderCaptionKeepsTheSkinsRightTextMargin) {
  caption->Active = false;
  caption->Alignment = taRightJustify;
  caption->ObjectRect.right += 40;
  form->SetCaption("Caption");
  auto B = Drawn();
  int end = 0;
  Runs(*B, kTextRow, clWhite, &end);
  // The skin's text rect ends 4 pixels before the caption's right edge; the last box stops one
  // pixel short of its advance.
  EXPECT_EQ(end, caption->ObjectRect.right - 4 - 1);
}

TEST_F(CaptionObjectTest, AnAnimationFrameKeepsTheColoursOfTheStateBeingLeft) {
  caption->AnimateSkinRect = kCaptionStrip;
  caption->FrameCount = 3;
  caption->Active = true;
  form->SetCaption("Caption");
  for (int f = 1; f <= 3; ++f) {
    caption->CurrentFrame = f;
    auto B = Drawn();
    EXPECT_EQ(ColorToRGB(B->Canvas()->Pixels(kCaptionAt.right - 2, kCaptionAt.bottom - 2)),
              ColorToRGB(kCaptionFrameColor[f - 1]))
        << f;
    // Activating: the text keeps the inactive colour until the strip has run.
    EXPECT_EQ(Runs(*B, kTextRow, clWhite).size(), 7u) << f;
    EXPECT_TRUE(Runs(*B, kTextRow, clYellow).empty()) << f;
  }
  caption->CurrentFrame = 4;  // done: the normal active caption
  auto B = Drawn();
  EXPECT_EQ(ColorToRGB(B->Canvas()->Pixels(kCaptionAt.right - 2, kCaptionAt.bottom - 2)),
            ColorToRGB(kActiveFrameColor));
  EXPECT_EQ(Runs(*B, kTextRow, clYellow).size(), 7u);
}

TEST_F(CaptionObjectTest, TheApplicationsCaptionPaintLandsOverTheCaptionsBitmap) {
  caption->Active = true;  // the active caption is a bitmap of the active frame
  form->SetCaption("Caption");
  int calls = 0;
  vlr->OnCaptionPaint = [&](TCanvas* C, const TRect& R, bool AActive) {
    ++calls;
    EXPECT_EQ(R, kCaptionAt);
    EXPECT_TRUE(AActive);
    C->Brush()->SetColor(clLime);
    C->FillRect(TRect{R.left, R.top, R.left + 10, R.bottom});
  };
  auto B = Drawn();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(ColorToRGB(B->Canvas()->Pixels(kCaptionAt.left + 5, kCaptionAt.top + 5)), ColorToRGB(clLime));
  // The caption draws no text of its own then.
  EXPECT_TRUE(Runs(*B, kTextRow, clYellow).empty());
}

TEST_F(CaptionObjectTest, QuickButtonsAreDrawnOverTheCaptionAndClicked) {
  if (!vlr->QuickButtons()) GTEST_SKIP() << "the component has no quick-button collection yet";
  vlr->SetQuickImageList(MakeQuickImages(owner.get(), 2));
  std::vector<TObject*> clicks;
  for (int i = 0; i < 2; ++i) {
    TkxQuickButtonItem* Q = vlr->QuickButtons()->Add();
    Q->SetImageIndex(i);
    Q->OnClick = [&clicks](TObject* Sender) { clicks.push_back(Sender); };
  }
  vlr->QuickButtons()->Items(1)->OnClick = [&clicks](TObject*) { clicks.push_back(nullptr); };
  caption->Active = true;
  form->SetCaption("Caption");
  auto B = Drawn();
  // Laid out from the caption's left end: 16 x 16 items 20 pixels apart.
  const int y = kCaptionAt.top + RectHeight(kCaptionAt) / 2 - 6 - 2;
  const TRect first{kCaptionAt.left, y, kCaptionAt.left + 16, y + 16};
  EXPECT_EQ(vlr->QuickButtons()->Items(0)->ItemRect, first);
  EXPECT_EQ(ColorToRGB(B->Canvas()->Pixels(first.left + 8, first.top + 8)), ColorToRGB(kQuickColor[0]));
  EXPECT_EQ(ColorToRGB(B->Canvas()->Pixels(first.left + 28, first.top + 8)), ColorToRGB(kQuickColor[1]));
  // The two buttons take 40 pixels of the text rect: 28 are left, room for "Ca...".
  EXPECT_EQ(Runs(*B, kTextRow, clYellow).size(), 5u);

  // Hot: the skin's hot look behind the picture; pressed: its pressed look.
  caption->MouseMove(first.left + 8, first.top + 8);
  EXPECT_TRUE(vlr->QuickButtons()->Items(0)->Active);
  B = Drawn();
  EXPECT_EQ(ColorToRGB(B->Canvas()->Pixels(first.left, first.top)), ColorToRGB(kCellColor[cHot]));
  caption->MouseDown(first.left + 8, first.top + 8, mbLeft);
  B = Drawn();
  EXPECT_EQ(ColorToRGB(B->Canvas()->Pixels(first.left, first.top)), ColorToRGB(kCellColor[cDown]));
  caption->MouseUp(first.left + 8, first.top + 8, mbLeft);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0], caption);
  EXPECT_FALSE(vlr->QuickButtons()->Items(0)->Down);

  // A release off every item clicks nothing; leaving the caption clears the hot item.
  caption->MouseUp(kCaptionAt.right - 2, first.top + 8, mbLeft);
  EXPECT_EQ(clicks.size(), 1u);
  caption->MouseMove(first.left + 8, first.top + 8);
  caption->MouseLeave();
  EXPECT_FALSE(vlr->QuickButtons()->Items(0)->Active);
  EXPECT_EQ(caption->ActiveQuickButton, -1);
}

}  // namespace
