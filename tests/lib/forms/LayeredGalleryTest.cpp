// The layered parts of a skinned form on the headless screen, for a person to look at: a form in
// a generated skin with a soft layered shadow around it, over a striped backdrop, and two inactive
// forms whose client areas are covered, one dimmed by its background and one blurred. Written as
// forms/forms-layered.png into the build folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "lib/forms/kxClientInActivePanel.h"
#include "lib/forms/kxFormLayerBorder.h"
#include "lib/skin/kxSkinData.h"
#include "lib/skin/kxSkinRecords.h"
#include "tests/lib/SkinLint.h"
#include "tests/lib/forms/FrameTestFixture.h"

namespace {

using namespace win;

constexpr int kScreenW = 760, kScreenH = 420, kShadow = 16;

// A shadow 16 pixels deep around a 1-pixel client rect: dark, its alpha falling off with the
// distance from the form.
void AddShadow(TkxSkinData& SD) {
  const int n = 2 * kShadow + 1;
  auto pic = std::make_unique<TBitmap>();
  pic->SetPixelFormat(pf24bit);
  pic->SetSize(n, n);
  pic->Canvas()->Brush()->SetColor(TColor(0x201008));
  pic->Canvas()->FillRect(TRect{0, 0, n, n});
  auto mask = std::make_unique<TBitmap>();
  mask->SetPixelFormat(pf24bit);
  mask->SetSize(n, n);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const double d = std::max(std::abs(x - kShadow), std::abs(y - kShadow));
      const double f = std::clamp(1.0 - d / kShadow, 0.0, 1.0);
      const int g = int(std::lround(190 * f * f));
      mask->Canvas()->SetPixels(x, y, TColor(g * 0x010101));
    }
  const int picIndex = int(SD.FActivePictures.size());
  SD.FActivePictures.push_back(std::move(pic));
  SD.FActivePictures.push_back(std::move(mask));
  auto rec = std::make_unique<TkxDataSkinLayerFrame>();
  rec->PictureIndex = picIndex;
  rec->MaskPictureIndex = picIndex + 1;
  rec->ClRect = TRect{kShadow, kShadow, kShadow + 1, kShadow + 1};
  rec->LTPoint = TPoint{kShadow, kShadow};
  rec->RTPoint = TPoint{kShadow + 1, kShadow};
  rec->LBPoint = TPoint{kShadow, kShadow + 1};
  rec->RBPoint = TPoint{kShadow + 1, kShadow + 1};
  SD.LayerFrame = std::move(rec);
}

class LayeredGallery : public frametest::FrameTest {};

TEST_F(LayeredGallery, ALayeredShadowOverABackdropAndTheInactiveCovers) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "forms";
  fs::create_directories(dir);
  headless::SetMonitors({backend::MonitorDesc{RECT{0, 0, kScreenW, kScreenH}, RECT{0, 0, kScreenW, kScreenH}, true}});
  headless::SetLayeredAvailable(true);

  // The backdrop: coloured stripes under everything.
  TForm* back = NewForm(0, 0, kScreenW, kScreenH);
  const TColor stripes[] = {TColor(0x3050D0), TColor(0x40B060), TColor(0xD0A030), TColor(0xE0E0E0)};
  for (int i = 0; i < 12; ++i) {
    auto* s = Make<ctltest::WinProbe>(back, "stripe" + std::to_string(i), i * 64, 0, 64, kScreenH);
    s->Fill = stripes[i % 4];
  }
  back->Show();
  Pump();

  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(0, sd);
  ASSERT_FALSE(sd.Empty);
  AddShadow(sd);

  auto form = [&](int x, int y, const char* caption, bool cover, TkxClientInActiveEffect effect) {
    TkxVelara* v = NewSkinForm(bsSizeable, x, y, 210, 180);
    v->Form()->SetCaption(caption);
    v->ClientInActiveEffect = cover;
    v->ClientInActiveEffectType = effect;
    v->SetSkinData(&sd);
    const TColor fills[] = {TColor(0x2020C0), TColor(0x20A020), TColor(0xC02020)};
    for (int i = 0; i < 3; ++i) {
      auto* p = Make<ctltest::WinProbe>(v->Form(), std::string("box") + std::to_string(x) + char('a' + i), 12 + i * 62, 20, 50, 60);
      p->Fill = fills[i];
    }
    v->Form()->Show();
    Pump();
    clock.Advance(2);
    Pump();
    return v;
  };
  TkxVelara* shadowed = form(24, 60, "阴影 layered shadow", false, kxieSemiTransparent);
  TkxVelara* dimmed = form(272, 60, "变暗 dimmed cover", true, kxieSemiTransparent);
  TkxVelara* blurred = form(520, 60, "模糊 blurred cover", true, kxieBlur);
  for (TkxVelara* v : {dimmed, blurred}) {
    SetActiveWindow(v->Form()->Handle());
    Pump();
  }
  SetActiveWindow(shadowed->Form()->Handle());
  Pump();
  ASSERT_TRUE(shadowed->FBorderLayer && shadowed->FBorderLayer->Visible());
  EXPECT_TRUE(dimmed->FInActivePanel && dimmed->FInActivePanel->Visible());
  EXPECT_TRUE(blurred->FInActivePanel && blurred->FInActivePanel->Visible());
  EXPECT_TRUE(headless::SaveScreenPng((dir / "forms-layered.png").string()));
  for (TkxVelara* v : {shadowed, dimmed, blurred}) v->SetSkinData(nullptr);
}

}  // namespace
