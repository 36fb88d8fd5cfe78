// The form's window procedure under the skinned-form component: which messages the form's own
// procedure still sees, the client area it leaves, and the answers of the private messages.
#include <gtest/gtest.h>

#include "lib/controls/kxSkinCtrls.h"
#include "lib/forms/kxSkinMenus.h"
#include "lib/forms/kxVelara.h"
#include "lib/skin/kxSkinData.h"
#include "tests/lib/forms/FrameTestFixture.h"

namespace {

using namespace win;

class VelaraHookTest : public frametest::FrameTest {
protected:
  // The form's procedure below the component records what reaches it.
  TkxVelara* Watched(TFormBorderStyle BS = bsSizeable) {
    auto* f = new TForm(owner.get());
    f->SetBorderStyle(BS);
    f->SetBounds(50, 50, 200, 100);
    TWndMethod old = f->WindowProc;
    f->WindowProc = [this, old](TMessage& M) {
      reached.push_back(M.Msg);
      old(M);
    };
    auto* v = new TkxVelara(f);
    velaras.push_back(v);
    return v;
  }
  bool Reached(UINT Msg) { return std::find(reached.begin(), reached.end(), Msg) != reached.end(); }
  std::vector<UINT> reached;
};

// On a skinnable form the non-client messages are the component's; with the form's own frame
// they reach the form unchanged.
TEST_F(VelaraHookTest, NonClientMessagesAreKeptBackOnASkinnableFormOnly) {
  struct Row {
    UINT Msg;
    WPARAM W;
    bool KeptWhenSkinnable;
  } rows[] = {{WM_NCHITTEST, 0, true},           {WM_NCPAINT, 0, true},        {WM_NCACTIVATE, 1, true},
              {KXM_PAINTNCTODC, 0, true},        {KXM_SMARTEFFECTSBEGIN, 0, false},
              // These two run the form's procedure first, then add the frame's part.
              {WM_SETTEXT, 0, false},            {WM_ACTIVATE, 1, false},
              {WM_NCMOUSEMOVE, HTCAPTION, false}, {WM_GETMINMAXINFO, 0, false}, {WM_USER + 3, 0, false}};
  TkxVelara* v = Watched();
  MINMAXINFO mm{};
  NCCALCSIZE_PARAMS nc{};
  for (bool skinnable : {true, false}) {
    v->SetSkinnableForm(skinnable);
    EXPECT_EQ(v->SkinnableForm(), skinnable);
    for (const Row& r : rows) {
      SCOPED_TRACE(testing::Message() << "skinnable " << skinnable << " message " << r.Msg);
      reached.clear();
      LPARAM l = r.Msg == WM_GETMINMAXINFO ? reinterpret_cast<LPARAM>(&mm) : 0;
      if (r.Msg == WM_SETTEXT) l = reinterpret_cast<LPARAM>("标题");
      v->Form()->Perform(r.Msg, r.W, l);
      EXPECT_EQ(Reached(r.Msg), !(skinnable && r.KeptWhenSkinnable));
    }
    reached.clear();
    nc.rgrc[0] = RECT{0, 0, 200, 100};
    v->Form()->Perform(WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&nc));
    EXPECT_EQ(Reached(WM_NCCALCSIZE), !skinnable);
  }
}

// The client area a frame leaves: the default frame's border and caption, the tool window's lower
// caption, none for a borderless form, and the skin's client part around any size.
TEST_F(VelaraHookTest, NCCalcSizeGivesTheFramesClientArea) {
  TkxSkinData sd(nullptr);
  frametest::MakeFrameSkin(sd);
  struct Case {
    const char* Name;
    TFormBorderStyle BS;
    bool Skinned;
    RECT Window, Client;
  } cases[] = {
      {"default", bsSizeable, false, {50, 50, 250, 150}, {53, 72, 247, 147}},
      {"tool window", bsToolWindow, false, {50, 50, 250, 150}, {53, 68, 247, 147}},
      {"sizeable tool window", bsSizeToolWin, false, {0, 0, 100, 60}, {3, 18, 97, 57}},
      {"no border", bsNone, false, {50, 50, 250, 150}, {50, 50, 250, 150}},
      {"no border, skinned", bsNone, true, {50, 50, 250, 150}, {50, 50, 250, 150}},
      {"skinned", bsSizeable, true, {50, 50, 250, 150}, {55, 75, 245, 145}},
      {"too small for the frame", bsSizeable, false, {0, 0, 4, 10}, {3, 22, 3, 22}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TkxVelara* v = Watched(c.BS);
    if (c.Skinned) v->SetSkinData(&sd);
    NCCALCSIZE_PARAMS nc{};
    nc.rgrc[0] = c.Window;
    v->Form()->Perform(WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&nc));
    EXPECT_EQ(nc.rgrc[0].left, c.Client.left);
    EXPECT_EQ(nc.rgrc[0].top, c.Client.top);
    EXPECT_EQ(nc.rgrc[0].right, c.Client.right);
    EXPECT_EQ(nc.rgrc[0].bottom, c.Client.bottom);
    v->SetSkinData(nullptr);
  }
}

TEST_F(VelaraHookTest, PrivateMessagesAnswer) {
  TkxVelara* v = Watched();
  TCustomForm* f = v->Form();
  TBitmap b;
  b.SetSize(200, 100);
  const auto dc = reinterpret_cast<WPARAM>(b.Canvas()->Handle());
  struct Row {
    const char* Name;
    UINT Msg;
    WPARAM W;
    LPARAM L;
    bool Skinnable;
    LRESULT Result;
    bool Reaches;
  } rows[] = {
      {"query, skinnable", KXM_SMARTEFFECTSQUERY, 0, 0, true, 12853, false},
      {"query, own frame", KXM_SMARTEFFECTSQUERY, 0, 0, false, 12852, false},
      {"frame into a DC", KXM_PAINTNCTODC, dc, 0, true, 12851, false},
      {"frame into no DC", KXM_PAINTNCTODC, 0, 0, true, 0, false},
      {"frame into a DC, own frame", KXM_PAINTNCTODC, dc, 0, false, 0, true},
      {"paint with the key", KXM_PAINTTODC, dc, KXM_PAINTTODC_FRAME, true, KXM_PAINTTODC_FRAME, false},
      {"paint without the key", KXM_PAINTTODC, dc, 7, true, 0, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Name);
    v->SetSkinnableForm(r.Skinnable);
    reached.clear();
    EXPECT_EQ(f->Perform(r.Msg, r.W, r.L), r.Result);
    EXPECT_EQ(Reached(r.Msg), r.Reaches);
  }
  v->SetSkinnableForm(true);
  v->Form()->Perform(KXM_SMARTEFFECTSBEGIN, 0, 0);
  EXPECT_TRUE(v->FSmartEffectsShow);
  v->Form()->Perform(KXM_SMARTEFFECTSEND, 0, 0);
  EXPECT_FALSE(v->FSmartEffectsShow);
  // The tray icon's mark on a form it showed is taken off.
  f->SetTag(-10000);
  f->Perform(KXM_SHOWMAINFORM, 0, 0);
  EXPECT_EQ(f->Tag(), 0);
}

// A right click on the caption opens the system menu at the pointer, unless it is disabled; the
// next click closes it first.
TEST_F(VelaraHookTest, ACaptionRightClickOpensTheSystemMenu) {
  TkxVelara* v = Watched();
  TkxSkinMenu* engine = v->SkinMenu;
  ASSERT_NE(engine, nullptr);
  SetCursorPos(120, 60);
  v->Form()->Perform(WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(120, 60));
  ASSERT_EQ(engine->FPopupList.size(), 1u);
  RECT r{};
  GetWindowRect(engine->FPopupList[0]->Handle(), &r);
  EXPECT_EQ(r.left, 120);
  EXPECT_EQ(r.top, 60);
  EXPECT_TRUE(v->InMenu);
  v->DisableSystemMenu = true;
  v->Form()->Perform(WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(120, 60));
  EXPECT_TRUE(engine->FPopupList.empty());
  EXPECT_FALSE(v->InMenu);
  v->DisableSystemMenu = false;
  v->Form()->Perform(WM_NCRBUTTONDOWN, HTLEFT, MAKELPARAM(120, 60));
  EXPECT_TRUE(engine->FPopupList.empty());
}

// Shown with alpha blending and its animation, the form fades in on the stepped clock and ends
// opaque, out of the layer.
TEST_F(VelaraHookTest, AFadeInEndsAtItsTarget) {
  headless::SetLayeredAvailable(true);
  for (bool animate : {true, false}) {
    SCOPED_TRACE(animate);
    TkxVelara* v = Watched();
    v->AlphaBlendAnimation = animate;
    v->SetAlphaBlendValue(200);
    v->SetAlphaBlend(!animate);
    v->Form()->Show();
    HWND h = v->Form()->Handle();
    EXPECT_TRUE(GetWindowLongPtr(h, GWL_EXSTYLE) & WS_EX_LAYERED);
    // The fade steps on its timer, one step each time more than 5 ms have passed.
    for (int ms = 0; ms < 200; ++ms) {
      clock.Advance(1);
      Pump();
    }
    if (animate) {
      EXPECT_FALSE(GetWindowLongPtr(h, GWL_EXSTYLE) & WS_EX_LAYERED);
    } else {
      BYTE a = 0;
      GetLayeredWindowAttributes(h, nullptr, &a, nullptr);
      EXPECT_EQ(a, 200);
    }
  }
}

// A caption double click: the first rule that applies of restore a minimized form, maximize,
// restore a maximized one, else roll up or down.
TEST_F(VelaraHookTest, ACaptionDoubleClickTakesTheFirstRuleThatApplies) {
  struct Case {
    const char* Name;
    TFormBorderStyle BS;
    bool Maximize;  // biMaximize among the border icons
    TWindowState Before, After;
    bool RolledUpAfter;
  } cases[] = {
      {"sizeable", bsSizeable, true, wsNormal, wsMaximized, false},
      {"sizeable, maximized", bsSizeable, true, wsMaximized, wsNormal, false},
      {"sizeable without the maximize button", bsSizeable, false, wsNormal, wsNormal, true},
      {"fixed border", bsSingle, true, wsNormal, wsNormal, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TkxVelara* v = Watched(c.BS);
    v->Form()->Show();
    Pump();
    TkxBorderIcons icons = v->BorderIcons();
    if (!c.Maximize) icons.Exclude(TkxBorderIcon::biMaximize);
    v->SetBorderIcons(icons);
    if (c.Before != wsNormal) v->SetWindowState(c.Before);
    v->Form()->Perform(WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(100, 60));
    EXPECT_EQ(v->WindowState(), c.After);
    EXPECT_EQ(v->RollUpState(), c.RolledUpAfter);
  }
}

}  // namespace
