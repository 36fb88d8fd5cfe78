// The skin-change walk over a form reaches every skinned control, whatever class library
// control it builds on, and only those bound to the skin data that changed.
#include <gtest/gtest.h>

#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinCheckRadio.h"
#include "lib/controls/kxSkinEdits.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinPageControl.h"
#include "lib/controls/kxSkinPanels.h"
#include "lib/controls/kxSkinScrollBar.h"
#include "lib/controls/kxSkinSlider.h"
#include "lib/controls/kxSkinSplitBevel.h"
#include "lib/controls/kxSkinUpDown.h"
#include "lib/forms/kxVelara.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

// Counts the changes a control hears, by its class's name.
std::map<std::string, int>& Heard() {
  static std::map<std::string, int> h;
  return h;
}

template <typename T>
class Counted : public T {
public:
  using T::T;
  void ChangeSkinData() override {
    ++Heard()[this->Name()];
    T::ChangeSkinData();
  }
};

class SkinChangeWalkTest : public ctltest::ControlTest {};

TEST_F(SkinChangeWalkTest, EverySkinnedControlBoundToTheChangedSkinHearsIt) {
  Heard().clear();
  TForm* form = NewForm(0, 0, 400, 300);
  auto* stored = new TkxSkinData(form);
  stored->SetShowLayeredBorders(false);
  TkxSkinData other(nullptr);
  // The form's skinned-form component walks the controls on the skin data's messages.
  new TkxVelara(form);
  int y = 0;
  auto put = [&](auto* c, const std::string& name, TkxSkinData* sd) {
    c->SetName(name);
    c->SetBounds(0, y, 100, 20);
    c->SetParent(form);
    c->SetSkinData(sd);
    y += 22;
  };
  put(new Counted<TkxSkinButton>(form), "button", stored);
  put(new Counted<TkxSkinSpeedButton>(form), "speed", stored);
  put(new Counted<TkxSkinCheckRadioBox>(form), "check", stored);
  put(new Counted<TkxSkinEdit>(form), "edit", stored);
  put(new Counted<TkxSkinStdLabel>(form), "label", stored);
  put(new Counted<TkxSkinTextLabel>(form), "text", stored);
  put(new Counted<TkxSkinLinkLabel>(form), "link", stored);
  put(new Counted<TkxSkinPageControl>(form), "pages", stored);
  put(new Counted<TkxSkinPanel>(form), "panel", stored);
  put(new Counted<TkxSkinScrollBar>(form), "bar", stored);
  put(new Counted<TkxSkinSlider>(form), "slider", stored);
  put(new Counted<TkxSkinUpDown>(form), "updown", stored);
  put(new Counted<TkxSkinBevel>(form), "bevel", stored);
  put(new Counted<TkxSkinBevel>(form), "elsewhere", &other);
  form->Show();
  Pump();
  Heard().clear();

  skinlint::LoadGeneratedSkin(3, *stored);
  Pump();
  for (const char* n : {"button", "speed", "check", "edit", "label", "text", "link", "pages", "panel", "bar",
                        "slider", "updown", "bevel"})
    EXPECT_GE(Heard()[n], 1) << n;
  EXPECT_EQ(Heard()["elsewhere"], 0);
  delete form;
}

}  // namespace
