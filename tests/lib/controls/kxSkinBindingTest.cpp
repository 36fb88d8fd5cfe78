// The skin binding every skinned control holds its skin data by: for a table of control classes
// (windowed and graphic skinned controls, and controls built over the class library's own), a
// skin data freed before its controls and one freed after them leave nothing dangling (the tests
// run under AddressSanitizer), and a control moved from skin data A to B is untouched when A is
// freed. Also the bare link the binding is made of.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "lib/controls/kxSkinBinding.h"
#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinCheckRadio.h"
#include "lib/controls/kxSkinEdits.h"
#include "lib/controls/kxSkinLabels.h"
#include "lib/controls/kxSkinListView.h"
#include "lib/controls/kxSkinPageControl.h"
#include "lib/controls/kxSkinPanels.h"
#include "lib/controls/kxSkinScrollBar.h"
#include "lib/controls/kxSkinSplitBevel.h"
#include "lib/controls/kxSkinTreeView.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace ctltest;
using skinlint::LoadGeneratedSkin;

struct Kind {
  const char* name;
  std::function<TControl*(TComponent* Owner)> make;
};

template <typename T>
Kind KindOf(const char* Name) {
  return Kind{Name, [](TComponent* Owner) -> TControl* { return new T(Owner); }};
}

const std::vector<Kind>& Kinds() {
  static const std::vector<Kind> kinds = {
      KindOf<TkxSkinButton>("TkxSkinButton (windowed)"),
      KindOf<TkxSkinPanel>("TkxSkinPanel (windowed)"),
      KindOf<TkxSkinScrollBar>("TkxSkinScrollBar (windowed)"),
      KindOf<TkxSkinCheckRadioBox>("TkxSkinCheckRadioBox (windowed)"),
      KindOf<TkxSkinSpeedButton>("TkxSkinSpeedButton (graphic)"),
      KindOf<TkxSkinSplitter>("TkxSkinSplitter (over TSplitter)"),
      KindOf<TkxSkinBevel>("TkxSkinBevel (over TBevel)"),
      KindOf<TkxSkinStdLabel>("TkxSkinStdLabel (over TCustomLabel)"),
      KindOf<TkxSkinTextLabel>("TkxSkinTextLabel (over TGraphicControl)"),
      KindOf<TkxSkinLinkLabel>("TkxSkinLinkLabel (over TCustomLabel)"),
      KindOf<TkxSkinEdit>("TkxSkinEdit (over TCustomMaskEdit)"),
      KindOf<TkxSkinListView>("TkxSkinListView (over TCustomListView)"),
      KindOf<TkxSkinTreeView>("TkxSkinTreeView (over TCustomTreeView)"),
      KindOf<TkxSkinPageControl>("TkxSkinPageControl (over TPageControl)"),
  };
  return kinds;
}

class SkinBinding : public ControlTest {
protected:
  // A control of kind K on F, at a place of its own.
  TControl* Place(const Kind& K, TForm* F, int Slot) {
    TControl* c = K.make(owner.get());
    c->SetBounds(10 + (Slot % 4) * 90, 10 + (Slot / 4) * 60, 80, 40);
    c->SetParent(F);
    return c;
  }
  static TkxSkinBinding* Binding(TControl* C) { return dynamic_cast<TkxSkinBinding*>(C); }
  // Whether any component still asks SD to tell it of SD's end.
  static bool Watched(TkxSkinData& SD) { return SD.ComponentState().Contains(csFreeNotification); }
  void Paint(TForm* F) {
    F->Repaint();
    Pump();
  }
  // The pixels of C as shown on F, as one number.
  uint64_t Pixels(TForm* F, TControl* C) {
    int w = 0, h = 0;
    const std::vector<uint32_t> all = headless::ReadPixels(F->Handle(), &w, &h);
    uint64_t n = 1469598103934665603ull;
    for (int y = C->Top(); y < std::min(h, C->Top() + C->Height()); ++y)
      for (int x = C->Left(); x < std::min(w, C->Left() + C->Width()); ++x) {
        n ^= all[size_t(y) * size_t(w) + size_t(x)] & 0xFFFFFF;
        n *= 1099511628211ull;
      }
    return n;
  }
};

TEST_F(SkinBinding, EveryClassIsABinding) {
  for (const Kind& k : Kinds()) {
    SCOPED_TRACE(k.name);
    std::unique_ptr<TControl> c(k.make(nullptr));
    ASSERT_NE(Binding(c.get()), nullptr);
    EXPECT_EQ(Binding(c.get())->SkinData(), nullptr);
    EXPECT_EQ(Binding(c.get())->SkinIndex(), -1);
  }
}

TEST_F(SkinBinding, SkinDataFreedBeforeItsControls) {
  TForm* f = NewForm(0, 0, 400, 260);
  f->Show();
  auto sd = std::make_unique<TkxSkinData>(nullptr);
  LoadGeneratedSkin(0, *sd);
  std::vector<TControl*> controls;
  for (const Kind& k : Kinds()) {
    TControl* c = Place(k, f, int(controls.size()));
    Binding(c)->SetSkinData(sd.get());
    controls.push_back(c);
  }
  Paint(f);
  for (size_t i = 0; i < controls.size(); ++i) {
    SCOPED_TRACE(Kinds()[i].name);
    EXPECT_EQ(Binding(controls[i])->SkinData(), sd.get());
    EXPECT_GE(Binding(controls[i])->SkinIndex(), 0);
  }
  sd.reset();
  for (size_t i = 0; i < controls.size(); ++i) {
    SCOPED_TRACE(Kinds()[i].name);
    EXPECT_EQ(Binding(controls[i])->SkinData(), nullptr);
    EXPECT_EQ(Binding(controls[i])->SkinIndex(), -1);
  }
  // Painting and re-skinning now read nothing of the freed skin.
  Paint(f);
  for (TControl* c : controls) Binding(c)->ChangeSkinData();
  Paint(f);
  for (size_t i = 0; i < controls.size(); ++i) {
    SCOPED_TRACE(Kinds()[i].name);
    EXPECT_EQ(Binding(controls[i])->SkinIndex(), -1);
  }
}

TEST_F(SkinBinding, SkinDataFreedAfterItsControls) {
  for (const Kind& k : Kinds()) {
    SCOPED_TRACE(k.name);
    TkxSkinData sd(nullptr);
    LoadGeneratedSkin(0, sd);
    ASSERT_FALSE(Watched(sd));
    {
      auto keep = std::make_unique<TComponent>(nullptr);
      auto* f = new TForm(keep.get());
      f->SetBorderStyle(bsNone);
      f->SetBounds(0, 0, 200, 100);
      f->Show();
      TControl* c = k.make(keep.get());
      c->SetBounds(10, 10, 80, 40);
      c->SetParent(f);
      Binding(c)->SetSkinData(&sd);
      EXPECT_TRUE(Watched(sd));
      Paint(f);
      keep.reset();  // the control goes first
      Pump();
    }
    // Nothing of the control is left on the skin data's list for its end to call.
    EXPECT_FALSE(Watched(sd));
  }
}

TEST_F(SkinBinding, ARepointedControlIsUntouchedWhenItsFormerSkinDataIsFreed) {
  TForm* f = NewForm(0, 0, 400, 260);
  f->Show();
  TkxSkinData b(nullptr);
  LoadGeneratedSkin(1, b);
  auto a = std::make_unique<TkxSkinData>(nullptr);
  LoadGeneratedSkin(0, *a);
  std::vector<TControl*> controls;
  for (const Kind& k : Kinds()) {
    TControl* c = Place(k, f, int(controls.size()));
    Binding(c)->SetSkinData(a.get());
    Binding(c)->SetSkinData(&b);
    controls.push_back(c);
  }
  // The controls let go of A when they moved to B.
  EXPECT_FALSE(Watched(*a));
  Paint(f);
  std::vector<int32_t> index;
  std::vector<uint64_t> pixels;
  for (TControl* c : controls) {
    index.push_back(Binding(c)->SkinIndex());
    pixels.push_back(Pixels(f, c));
  }
  a.reset();
  Paint(f);
  for (size_t i = 0; i < controls.size(); ++i) {
    SCOPED_TRACE(Kinds()[i].name);
    EXPECT_EQ(Binding(controls[i])->SkinData(), &b);
    EXPECT_GE(index[i], 0);
    EXPECT_EQ(Binding(controls[i])->SkinIndex(), index[i]);
    EXPECT_EQ(Pixels(f, controls[i]), pixels[i]);
  }
  owner.reset();  // the controls before B
  EXPECT_FALSE(Watched(b));
}

// ---- the bare link ------------------------------------------------------------------------------

TEST(SkinComponentLink, ClearsItselfAndCallsBackWhenItsComponentIsFreed) {
  int freed = 0;
  TkxComponentLink<TComponent> link([&] { ++freed; });
  auto a = std::make_unique<TComponent>(nullptr);
  auto b = std::make_unique<TComponent>(nullptr);
  EXPECT_TRUE(link.Set(a.get()));
  EXPECT_FALSE(link.Set(a.get()));
  EXPECT_TRUE(a->ComponentState().Contains(csFreeNotification));
  EXPECT_TRUE(link.Set(b.get()));
  EXPECT_FALSE(a->ComponentState().Contains(csFreeNotification));
  a.reset();
  EXPECT_EQ(link.Get(), b.get());
  EXPECT_EQ(freed, 0);
  b.reset();
  EXPECT_EQ(link.Get(), nullptr);
  EXPECT_EQ(freed, 1);
}

TEST(SkinComponentLink, LetsGoOfItsComponentWhenItGoesFirst) {
  auto a = std::make_unique<TComponent>(nullptr);
  {
    TkxComponentLink<TComponent> link;
    link.Set(a.get());
    EXPECT_TRUE(a->ComponentState().Contains(csFreeNotification));
  }
  EXPECT_FALSE(a->ComponentState().Contains(csFreeNotification));
  a.reset();  // nothing left to call
}

}  // namespace
