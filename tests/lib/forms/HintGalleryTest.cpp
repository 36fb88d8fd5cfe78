// A plain hint, a hint with title and picture, and the images grid (with a header, cells, the
// selected and a hot cell, and a button row) in the plain look and in the first two generated
// skins, written as gallery/hints-plain.png and gallery/hints-kxSkinN.png into the build folder
// for a person to look at.
#include <gtest/gtest.h>

#include <filesystem>

#include "classlib/graphics/ImageList.h"
#include "lib/forms/kxSkinHint.h"
#include "lib/forms/kxSkinImagesMenu.h"
#include "lib/skin/kxSkinData.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace win;

// 16 x 16 pictures: a coloured disc on a light square, so cells and frames show around them.
TCustomImageList* Discs(TComponent* Owner) {
  auto* il = new TImageList(Owner);
  il->SetSize(16, 16);
  const TColor colors[] = {TColor(0x3050D0), TColor(0x30A030), TColor(0xD07020), TColor(0x8030C0),
                           TColor(0x20A0C0), TColor(0xC03070), TColor(0x606060), TColor(0x0090E0)};
  for (TColor c : colors) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(TColor(0xF0F0F0));
    b.Canvas()->FillRect(TRect{0, 0, 16, 16});
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->Pen()->SetColor(c);
    b.Canvas()->Ellipse(2, 2, 14, 14);
    il->Add(&b, nullptr);
  }
  return il;
}

class HintGallery : public ctltest::ControlTest {
protected:
  void TearDown() override {
    Application->CancelHint();
    Application->SetMainForm(nullptr);
    owner.reset();
    Application->OnShowHint = nullptr;
    Application->OnMessage = nullptr;
    Application->HintShortPause = 50;
    HintWindowClass() = HintWindowClassOf<THintWindow>();
    Application->SetShowHint(false);
    Application->SetShowHint(true);
    ControlTest::TearDown();
  }
};

TEST_F(HintGallery, HintsAndTheImagesGridInThePlainLookAndTwoSkins) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "gallery";
  fs::create_directories(dir);
  headless::SetMonitors({{{0, 0, 520, 260}, {0, 0, 520, 260}, true}});
  for (int n = -1; n < 2; ++n) {
    auto keep = std::make_unique<TComponent>(nullptr);
    std::unique_ptr<TkxSkinData> sd;
    if (n >= 0) {
      sd = std::make_unique<TkxSkinData>(nullptr);
      skinlint::LoadGeneratedSkin(n, *sd);
      ASSERT_FALSE(sd->Empty);
    }
    auto* form = new TForm(keep.get());
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 520, 260);
    form->SetColor(sd ? sd->SkinColors()->cBtnFace() : clBtnFace);
    Application->SetMainForm(form);
    form->Show();
    Pump();
    auto* il = Discs(form);

    auto* hint = new TkxSkinHint(form);
    hint->SetSkinData(sd.get());
    hint->ActivateHint(TPoint{16, 16}, "一个提示 a plain hint@第二行 second line");
    auto* extended = new TkxSkinHintWindow(form);
    extended->ActivateHintEx(TRect{16, 90, 16, 90}, "标题 Title", "带图片的提示@with title and picture", 3, il);

    auto* menu = new TkxSkinImagesMenu(form);
    menu->SetSkinData(sd.get());
    menu->SetImages(il);
    menu->SetColumnsCount(4);
    TkxImagesMenuItem* header = menu->ImagesItems()->Add();
    header->SetHeader(true);
    header->SetCaption("颜色 Colours");
    for (int i = 0; i < 7; ++i) menu->ImagesItems()->Add()->SetImageIndex(i);
    TkxImagesMenuItem* more = menu->ImagesItems()->Add();
    more->SetButton(true);
    more->SetImageIndex(7);
    more->SetCaption("更多 More...");
    menu->SetItemIndex(2);
    menu->PopupFromRect(TRect{300, 0, 360, 16});
    Pump();
    ASSERT_NE(menu->FPopupWindow, nullptr);
    menu->FPopupWindow->MouseInItem = 5;  // a hot cell beside the selected one
    menu->FPopupWindow->Repaint();
    Pump();

    const std::string name = n < 0 ? "hints-plain.png" : "hints-kxSkin" + std::to_string(n) + ".png";
    EXPECT_TRUE(headless::SaveScreenPng((dir / name).string()));
    menu->Hide();
    Pump();
    Application->SetMainForm(nullptr);
    keep.reset();  // the hint and menu go before their skin data
    Pump();
  }
}

}  // namespace
