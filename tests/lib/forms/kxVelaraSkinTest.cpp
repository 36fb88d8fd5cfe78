// Skin application: the frame objects a skin makes, the three skin-change messages and the walks
// over the form's skinned controls, the switch to the form's own frame.
#include <gtest/gtest.h>

#include "lib/controls/kxSkinButtons.h"
#include "lib/controls/kxSkinSplitBevel.h"
#include "lib/forms/kxFrameObjects.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxSkinData.h"
#include "tests/lib/SkinLint.h"
#include "tests/lib/forms/FrameTestFixture.h"

namespace {

using namespace win;

std::vector<std::string>& Heard() {
  static std::vector<std::string> h;
  return h;
}

template <typename T>
class Heeding : public T {
public:
  using T::T;
  void BeforeChangeSkinData() override {
    Heard().push_back("before:" + this->Name());
    T::BeforeChangeSkinData();
  }
  void ChangeSkinData() override {
    Heard().push_back("change:" + this->Name());
    T::ChangeSkinData();
  }
};

class VelaraSkinTest : public frametest::FrameTest {
protected:
  void SetUp() override {
    FrameTest::SetUp();
    Heard().clear();
  }
};

template <typename R>
void AddRecord(TkxSkinData& SD, const std::string& Name) {
  SD.ObjectList.push_back(std::make_unique<R>(Name));
}

// One object per record of a frame-object kind, in list order; menu and menu-bar records make
// none, the menu-bar button's although its record class is the caption button's.
TEST_F(VelaraSkinTest, TheObjectTableMakesOneObjectPerFrameRecord) {
  TkxSkinData sd(nullptr);
  frametest::MakeFrameSkin(sd);
  AddRecord<TkxDataSkinMainMenuBarButton>(sd, "barclose");
  AddRecord<TkxDataSkinStdButton>(sd, "close");
  AddRecord<TkxDataSkinMenuItem>(sd, "item");
  AddRecord<TkxDataSkinButton>(sd, "button");
  AddRecord<TkxDataSkinCaption>(sd, "caption");
  AddRecord<TkxDataSkinMainMenuItem>(sd, "baritem");
  AddRecord<TkxDataSkinAnimate>(sd, "strip");
  AddRecord<TkxDataUserObject>(sd, "user");
  AddRecord<TkxDataSkinObject>(sd, "plain");
  TkxVelara* v = NewSkinForm();
  v->SetSkinData(&sd);
  std::vector<std::string> made;
  for (TkxActiveSkinObject* o : v->ObjectList) made.push_back(o->IDName);
  EXPECT_EQ(made, (std::vector<std::string>{"close", "button", "caption", "strip", "user"}));
  EXPECT_NE(dynamic_cast<TkxSkinStdButtonObject*>(v->ObjectList[0]), nullptr);
  EXPECT_EQ(dynamic_cast<TkxSkinStdButtonObject*>(v->ObjectList[1]), nullptr);
  EXPECT_NE(dynamic_cast<TkxSkinCaptionObject*>(v->ObjectList[2]), nullptr);
  EXPECT_NE(dynamic_cast<TkxSkinAnimateObject*>(v->ObjectList[3]), nullptr);
  EXPECT_NE(dynamic_cast<TkxUserObject*>(v->ObjectList[4]), nullptr);
  // Without a skin the frame's six default buttons come instead (the default frame makes them
  // when it paints).
  v->SetSkinData(nullptr);
  v->CreateDefaultObjects();
  ASSERT_EQ(v->ObjectList.size(), 6u);
  EXPECT_EQ(v->ObjectList[4]->IDName, "sysmenubutton");
  EXPECT_EQ(dynamic_cast<TkxSkinStdButtonObject*>(v->ObjectList[4])->Command, cmSysMenu);
}

// A skin change as the skin data announces it: before, the form's own and its controls' frame
// stop and forget the old skin; at the change the objects are rebuilt and the controls of that
// skin data re-skinned; after, the event.
TEST_F(VelaraSkinTest, ASkinChangeRebuildsTheObjectsAndReskinsTheControlsInOrder) {
  TkxVelara* v = NewSkinForm(bsSizeable, 50, 50, 500, 300);
  TForm* f = static_cast<TForm*>(v->Form());
  auto* sd = new TkxSkinData(f);
  sd->SetShowLayeredBorders(false);
  TkxSkinData other(nullptr);
  auto* button = new Heeding<TkxSkinButton>(f);
  button->SetName("button");
  button->SetParent(f);
  button->SetSkinData(sd);
  auto* bevel = new Heeding<TkxSkinBevel>(f);
  bevel->SetName("bevel");
  bevel->SetParent(f);
  bevel->SetSkinData(&other);
  v->OnBeforeChangeSkinData = [&](TObject*) { Heard().push_back("form:before"); };
  v->OnChangeSkinData = [&](TObject*) {
    Heard().push_back("form:change objects " + std::to_string(v->ObjectList.size()));
  };
  v->OnAfterChangeSkinData = [&](TObject*) { Heard().push_back("form:after"); };
  v->SetSkinData(sd);
  f->Show();
  Pump();
  Heard().clear();
  headless::Spy(f->Handle());
  skinlint::LoadGeneratedSkin(2, *sd);
  Pump();
  auto log = headless::SpyMessages(f->Handle());
  std::vector<UINT> skinMessages;
  for (UINT m : log)
    if (m >= KXM_BEFORECHANGESKINDATA && m <= KXM_AFTERCHANGESKINDATA) skinMessages.push_back(m);
  EXPECT_EQ(skinMessages, (std::vector<UINT>{KXM_BEFORECHANGESKINDATA, KXM_CHANGESKINDATA, KXM_AFTERCHANGESKINDATA}));
  size_t objects = 0;
  for (auto& r : sd->ObjectList)
    if (!dynamic_cast<TkxDataSkinMainMenuItem*>(r.get()) && !dynamic_cast<TkxDataSkinMenuItem*>(r.get()) &&
        !dynamic_cast<TkxDataSkinMainMenuBarButton*>(r.get()))
      ++objects;
  ASSERT_GT(objects, 0u);
  EXPECT_EQ(Heard(), (std::vector<std::string>{"before:button", "form:before",
                                               "form:change objects " + std::to_string(objects), "change:button",
                                               "form:after"}));
  EXPECT_EQ(v->ObjectList.size(), objects);
  EXPECT_TRUE(v->FSkinSupport);
  EXPECT_GE(button->SkinIndex(), 0);
  // A walk without a skin data reaches every skinned control.
  Heard().clear();
  TkxVelara::ChangeControlsSkinData(nullptr, f);
  EXPECT_EQ(Heard(), (std::vector<std::string>{"change:bevel", "change:button"}));
  // Cleared, the skin leaves the default frame without objects.
  sd->ClearSkin();
  Pump();
  EXPECT_FALSE(v->FSkinSupport);
  for (TkxActiveSkinObject* o : v->ObjectList) {
    auto* b = dynamic_cast<TkxSkinStdButtonObject*>(o);
    ASSERT_NE(b, nullptr) << "only the default frame's buttons";
    EXPECT_FALSE(b->FSkinSupport);
  }
  EXPECT_EQ(button->SkinIndex(), -1);
}

TEST_F(VelaraSkinTest, TheFormsOwnFrameAndBackWhileMaximized) {
  TkxVelara* v = NewSkinForm(bsSizeable, 50, 50, 300, 200);
  TForm* f = static_cast<TForm*>(v->Form());
  f->Show();
  Pump();
  v->BorderIcons();
  v->SetSkinnableForm(false);
  EXPECT_FALSE(v->SkinnableForm());
  // The form's own frame shows its own buttons as the component's say.
  EXPECT_EQ(f->BorderIcons(), (TBorderIcons{biSystemMenu, biMinimize, biMaximize}));
  f->SetWindowState(wsMaximized);
  v->SetSkinnableForm(true);
  EXPECT_TRUE(f->BorderIcons().Empty());
  EXPECT_EQ(v->WindowState(), wsMaximized);
  EXPECT_TRUE(f->Visible());
  v->SetSkinnableForm(false);
  EXPECT_EQ(f->WindowState(), wsMaximized);
  EXPECT_TRUE(f->Visible());
  // Ribbon forms are never skinnable.
  v->SetUseRibbon(true);
  v->SetSkinnableForm(true);
  EXPECT_FALSE(v->SkinnableForm());
}

TEST_F(VelaraSkinTest, FormStyleAndShadow) {
  TkxVelara* v = NewSkinForm();
  TForm* f = static_cast<TForm*>(v->Form());
  v->SetFormStyle(fsMDIForm);
  EXPECT_EQ(f->FormStyle(), fsNormal);
  v->SetFormStyle(fsStayOnTop);
  EXPECT_EQ(f->FormStyle(), fsStayOnTop);
  v->SetFormBorderStyle(bsDialog);
  EXPECT_EQ(f->BorderStyle(), bsDialog);
  HWND h = f->Handle();
  const DWORD before = GetClassLong(h, GCL_STYLE);
  v->EnableShadow(true, false);
  EXPECT_EQ(GetClassLong(h, GCL_STYLE), before | CS_DROPSHADOW);
  SetClassLong(h, GCL_STYLE, LONG(before));
  v->EnableShadow(true, false);  // unchanged: the class is left alone
  EXPECT_EQ(GetClassLong(h, GCL_STYLE), before);
  v->EnableShadow(false, true);
  EXPECT_FALSE(GetClassLong(h, GCL_STYLE) & CS_DROPSHADOW);
}

}  // namespace
