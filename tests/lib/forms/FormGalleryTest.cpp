// Skinned forms, each its own top-level window on the headless screen, in the plain look and in
// every generated skin: active, inactive, the close button hot and pressed, maximized, rolled up,
// a tool window and a Chinese caption too long for its bar, cut with "...". Written as
// forms/forms-plain.png and forms/forms-kxSkinN.png into the build folder for a person to look at.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "lib/skin/kxSkinData.h"
#include "tests/lib/SkinLint.h"
#include "tests/lib/forms/FrameTestFixture.h"

namespace {

using namespace win;
using frametest::FrameTest;

constexpr int kW = 300, kH = 130, kGap = 12, kCols = 3, kRows = 3;

TRect Cell(int i) {
  const int x = kGap + (i % kCols) * (kW + kGap), y = kGap + (i / kCols) * (kH + kGap);
  return TRect{x, y, x + kW, y + kH};
}

TkxSkinStdButtonObject* CloseButton(TkxVelara* V) {
  for (TkxActiveSkinObject* o : V->ObjectList)
    if (auto* b = dynamic_cast<TkxSkinStdButtonObject*>(o); b && b->Visible && b->Command == cmClose) return b;
  return nullptr;
}

struct Variant {
  const char* Caption;
  TFormBorderStyle Style;
  int Width;
  std::function<void(TkxVelara*)> Shown;  // once every form is shown
};

class FormGallery : public FrameTest {
protected:
  // The forms keep their objects: these forms show what the skin makes.
  TkxVelara* NewGalleryForm(const Variant& V, int Cell_, TkxSkinData* SD) {
    auto* f = new TForm(owner.get());
    f->SetBorderStyle(V.Style);
    f->SetCaption(V.Caption);
    const TRect c = Cell(Cell_);
    f->SetBounds(c.left, c.top, V.Width, kH);
    auto* v = new TkxVelara(f);
    v->SetSkinData(SD);
    return v;
  }
};

TEST_F(FormGallery, EveryStateOfTheFrameInThePlainLookAndEachSkin) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(OMBREL_TEST_BUILD_DIR) / "forms";
  fs::create_directories(dir);
  const int screenW = kGap + kCols * (kW + kGap), screenH = kGap + kRows * (kH + kGap);
  // The work area is the maximized form's cell, so that it fills that cell only.
  const TRect maxCell = Cell(7);
  headless::SetMonitors({backend::MonitorDesc{RECT{0, 0, screenW, screenH},
                                              RECT{maxCell.left, maxCell.top, maxCell.right, maxCell.bottom}, true}});
  auto hot = [](bool Down) {
    return [Down](TkxVelara* V) {
      TkxSkinStdButtonObject* b = CloseButton(V);
      ASSERT_NE(b, nullptr) << "a close button";
      b->Active = b->FMouseIn = true;
      b->FDown = Down;
    };
  };
  const Variant variants[] = {
      {"活动 active", bsSizeable, kW, nullptr},
      {"非活动 inactive", bsSizeable, kW, nullptr},
      {"关闭 hot close", bsSizeable, kW, hot(false)},
      {"按下 pressed close", bsSizeable, kW, hot(true)},
      {"卷起 rolled up", bsSizeable, kW, [](TkxVelara* V) { V->SetRollUpState(true); }},
      {"工具窗口 tool window", bsSizeToolWin, kW, nullptr},
      {"OmbrelWMV视频格式转换器——把视频和音频转换成二百八十八种格式", bsSizeable, 230, nullptr},
      {"最大化 maximized", bsSizeable, kW - 60, [](TkxVelara* V) { V->SetWindowState(wsMaximized); }},
  };
  for (int n = -1; n < 11; ++n) {
    std::unique_ptr<TkxSkinData> sd;
    if (n >= 0) {
      sd = std::make_unique<TkxSkinData>(nullptr);
      skinlint::LoadGeneratedSkin(n, *sd);
      ASSERT_FALSE(sd->Empty) << n;
    }
    std::vector<TkxVelara*> forms;
    for (const Variant& var : variants) {
      TkxVelara* v = NewGalleryForm(var, int(forms.size()), sd.get());
      // All but the inactive one paint as active, whichever window the screen activates.
      v->PreviewMode = forms.size() != 1;
      v->Form()->Show();
      forms.push_back(v);
    }
    Pump();
    SetActiveWindow(forms[0]->Form()->Handle());
    Pump();
    for (size_t i = 0; i < forms.size(); ++i) {
      if (variants[i].Shown) variants[i].Shown(forms[i]);
      RedrawWindow(forms[i]->Form()->Handle(), nullptr, nullptr,
                   RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    Pump();
    EXPECT_EQ(forms[7]->Form()->BoundsRect(), maxCell);
    const std::string name = n < 0 ? "forms-plain.png" : "forms-kxSkin" + std::to_string(n) + ".png";
    EXPECT_TRUE(headless::SaveScreenPng((dir / name).string()));
    for (TkxVelara* v : forms) delete v->Form();
    Pump();
  }
}

}  // namespace
