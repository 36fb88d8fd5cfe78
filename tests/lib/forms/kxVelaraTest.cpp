// The skinned-form component itself: what it does to its form when made and freed, the owner it
// refuses, the references it lets go of, its properties and its form description.
#include <gtest/gtest.h>

#include "base/Exception.h"
#include "classlib/Menus.h"
#include "classlib/Streaming.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxSkinData.h"
#include "tests/classlib/ControlTestFixture.h"

namespace {

using namespace win;

class VelaraTest : public ctltest::ControlTest {
protected:
  TForm* Form() {
    auto* f = new TForm(owner.get());
    f->SetBounds(50, 50, 300, 200);
    return f;
  }
};

// A hook of the test's own over whatever procedure the form has: counts what reaches it.
struct Counter {
  TWndMethod Old;
  int* Seen;
  void operator()(TMessage& M) const {
    if (M.Msg == WM_USER + 7) ++*Seen;
    if (Old) Old(M);
  }
};

TEST_F(VelaraTest, MadeOnAFormItHooksTheProcedureAndClearsTheFormsOwnFrameButtons) {
  TForm* f = Form();
  f->SetAutoSize(true);
  int below = 0;
  f->WindowProc = Counter{f->WindowProc, &below};
  auto* v = new TkxVelara(f);
  EXPECT_EQ(v->Form(), f);
  EXPECT_TRUE(f->BorderIcons().Empty());
  EXPECT_FALSE(f->AutoSize());
  EXPECT_EQ(FindSkinForm(f), v);
  // The hook runs first and chains to the procedure it replaced.
  f->Perform(KXM_SMARTEFFECTSQUERY, 0, 0);
  EXPECT_EQ(f->Perform(KXM_SMARTEFFECTSQUERY, 0, 0), 12853);
  f->Perform(WM_USER + 7, 0, 0);
  EXPECT_EQ(below, 1);
  delete v;
  // Freed, it gives the form back its procedure.
  EXPECT_EQ(f->Perform(KXM_SMARTEFFECTSQUERY, 0, 0), 0);
  f->Perform(WM_USER + 7, 0, 0);
  EXPECT_EQ(below, 2);
  EXPECT_NE(f->WindowProc.target<Counter>(), nullptr);
}

// Hooks come off in either order and the chain keeps working: in reverse order each puts back
// what it replaced; the component freed first under a later hook passes messages on from then on.
TEST_F(VelaraTest, FreedUnderAHookInstalledAfterItTheChainStillWorks) {
  for (bool componentFirst : {false, true}) {
    SCOPED_TRACE(componentFirst);
    TForm* f = Form();
    int base = 0, later = 0;
    f->WindowProc = Counter{f->WindowProc, &base};
    auto* v = new TkxVelara(f);
    const TWndMethod underLater = f->WindowProc;
    f->WindowProc = Counter{underLater, &later};
    if (componentFirst) {
      delete v;
      f->Perform(WM_USER + 7, 0, 0);
      EXPECT_EQ(base, 1);
      EXPECT_EQ(later, 1);
      f->WindowProc = underLater;  // the later hook comes off
    } else {
      f->WindowProc = underLater;
      delete v;
    }
    f->Perform(WM_USER + 7, 0, 0);
    EXPECT_EQ(base, componentFirst ? 2 : 1);
    EXPECT_EQ(f->Perform(KXM_SMARTEFFECTSQUERY, 0, 0), 0) << "no component answers any more";
    delete f;
  }
}

TEST_F(VelaraTest, AnOwnerThatIsNoFormIsRefusedWithTheCastError) {
  TComponent plain(nullptr);
  EXPECT_THROW(new TkxVelara(&plain), EInvalidCast);
  EXPECT_EQ(plain.ComponentCount(), 0);
  EXPECT_THROW(new TkxVelara(nullptr), EInvalidCast);
}

TEST_F(VelaraTest, FreedComponentsItPointsAtAreForgotten) {
  TForm* f = Form();
  auto* v = new TkxVelara(f);
  auto* sd = new TkxSkinData(f);
  auto* menu = new TPopupMenu(f);
  TForm* other = Form();
  auto* elsewhere = new TkxSkinData(other);
  v->SetSkinData(sd);
  v->SetMenusSkinData(elsewhere);
  v->SetSystemMenu(menu);
  delete sd;
  EXPECT_EQ(v->SkinData(), nullptr);
  EXPECT_EQ(v->MenusSkinData(), elsewhere);
  delete elsewhere;  // another form's: it asked to be told
  EXPECT_EQ(v->MenusSkinData(), nullptr);
  delete menu;
  EXPECT_EQ(v->SystemMenu(), nullptr);
}

TEST_F(VelaraTest, PropertyRules) {
  TForm* f = Form();
  auto* v = new TkxVelara(f);
  v->SetMaxMenuItemsInWindow(12);
  v->SetMaxMenuItemsInWindow(-1);
  EXPECT_EQ(v->MaxMenuItemsInWindow(), 12);
  EXPECT_EQ(v->DefCaptionFont()->Name(), "Arial");
  EXPECT_EQ(v->DefCaptionFont()->Height(), 14);
  EXPECT_TRUE(v->DefCaptionFont()->Style().Contains(fsBold));
  EXPECT_EQ(v->DefInActiveCaptionFont()->Color(), clBtnShadow);
  EXPECT_EQ(v->GetProductVersion(), "7.81");
  // Alpha blending puts the form's window in a layer with the value, and takes it out again.
  HWND h = f->Handle();
  v->SetAlphaBlendValue(120);
  v->SetAlphaBlend(true);
  EXPECT_TRUE(GetWindowLongPtr(h, GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE a = 0;
  GetLayeredWindowAttributes(h, nullptr, &a, nullptr);
  EXPECT_EQ(a, 120);
  v->SetAlphaBlendValue(90);
  GetLayeredWindowAttributes(h, nullptr, &a, nullptr);
  EXPECT_EQ(a, 90);
  v->SetAlphaBlend(false);
  EXPECT_FALSE(GetWindowLongPtr(h, GWL_EXSTYLE) & WS_EX_LAYERED);
}

// A quick button's change repaints the frame at run time only.
TEST_F(VelaraTest, AQuickButtonChangeRepaintsTheFrameAtRunTimeOnly) {
  TForm* f = Form();
  auto* v = new TkxVelara(f);
  f->Show();
  Pump();
  auto* item = v->QuickButtons()->Add();
  auto paints = [&] {
    auto log = headless::SpyMessages(f->Handle());
    return std::count(log.begin(), log.end(), WM_NCPAINT);
  };
  headless::Spy(f->Handle());
  item->SetImageIndex(3);
  EXPECT_EQ(paints(), 1);
  v->SetDesigning(true);
  item->SetVisible(false);
  EXPECT_EQ(paints(), 1);
  v->SetDesigning(false);
  headless::StopSpy(f->Handle());
  auto* copy = v->QuickButtons()->Add();
  copy->Assign(item);
  EXPECT_EQ(copy->ImageIndex(), 3);
  EXPECT_FALSE(copy->Visible());
}

TEST_F(VelaraTest, ReadFromAFormDescription) {
  RegisterSkinControlFormClasses();
  RegisterVelaraFormClasses();
  auto* f = new TForm(owner.get());
  int shortCuts = 0;
  THandlerTable handlers;
  handlers.Add<TShortCutEvent>("Keys", [&](TMessage&, bool&) { ++shortCuts; });
  ReadFormDescription(f, R"(object F: TForm
  object sd: TkxSkinData
  end
  object vlr: TkxVelara
    QuickButtons = <
      item
        ImageIndex = 2
        Hint = '打开'
      end>
    ClientInActiveEffectType = kxieBlur
    PositionInMonitor = kxpScreenCenter
    MaxMenuItemsInWindow = 9
    ClientWidth = 640
    AlphaBlendValue = 180
    MenusAlphaBlendValue = 150
    DefCaptionFont.Name = '宋体'
    SkinData = sd
    MinWidth = 320
    Magnetic = True
    MagneticSize = 8
    BorderIcons = [biSystemMenu, biRollUp, biMinimizeToTray]
    OnShortCut = Keys
  end
end)",
                      "velara.dfm", &handlers);
  auto* v = FindSkinForm(f);
  ASSERT_NE(v, nullptr);
  ASSERT_EQ(v->QuickButtons()->Count(), 1);
  EXPECT_EQ(v->QuickButtons()->Items(0)->ImageIndex(), 2);
  EXPECT_EQ(v->QuickButtons()->Items(0)->Hint, "打开");
  EXPECT_EQ(v->ClientInActiveEffectType, kxieBlur);
  EXPECT_EQ(v->PositionInMonitor, kxpScreenCenter);
  EXPECT_EQ(v->MaxMenuItemsInWindow(), 9);
  EXPECT_EQ(v->ClientWidth, 640);
  EXPECT_EQ(v->AlphaBlendValue(), 180);
  EXPECT_EQ(v->MenusAlphaBlendValue, 150);
  EXPECT_EQ(v->DefCaptionFont()->Name(), "宋体");
  EXPECT_EQ(v->SkinData(), f->FindComponent("sd"));
  EXPECT_EQ(v->MinWidth, 320);
  EXPECT_TRUE(v->Magnetic);
  EXPECT_EQ(v->MagneticSize, 8);
  EXPECT_EQ(v->BorderIcons(), (TkxBorderIcons{TkxBorderIcon::biSystemMenu, TkxBorderIcon::biRollUp,
                                              TkxBorderIcon::biMinimizeToTray}));
  ASSERT_TRUE(v->OnShortCut);
  // The form's short cuts reach the application's handler through the component.
  TMessage key{WM_KEYDOWN, 'O', 0, 0};
  bool handled = false;
  ASSERT_TRUE(f->OnShortCut);
  f->OnShortCut(key, handled);
  EXPECT_EQ(shortCuts, 1);
  // A value out of range is refused with the line.
  auto* g = new TForm(owner.get());
  EXPECT_THROW(ReadFormDescription(g, "object G: TForm\n  object v: TkxVelara\n    AlphaBlendValue = 300\n  end\nend",
                                   "bad.dfm"),
               EFormError);
}

}  // namespace
