// The skinned check and radio box: the check logic (groups by parent, OnClick rules, the grayed
// cycle), input (mouse, Space, accelerators, the focus on a press), the flat and non-flat looks
// plain and from a skin built in code (check image by state, layout of the non-flat look, word
// wrap), the morph on the stepped clock, actions and form streaming.
#include <gtest/gtest.h>

#include "classlib/ActnList.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Streaming.h"
#include "classlib/graphics/ImageList.h"
#include "classlib/streaming/Registrations.h"
#include "lib/controls/kxSkinCheckRadio.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/InkTestUtil.h"

namespace {

using namespace win;
using ctltest::Px;
using ctltest::Rgb;

// The test skin's picture: the normal face (0..60), the active face (60..120), then eight 10 x 10
// check images, each one colour but its bottom-left pixel (the transparent colour).
constexpr TColor kFace = TColor(0x404040), kActiveFace = TColor(0x606060), kKey = TColor(0xFF00FF);
// Unchecked, checked, hot unchecked, hot checked, disabled unchecked, disabled checked, grayed,
// hot grayed.
constexpr TColor kImage[8] = {TColor(0x0000A0), TColor(0x00A000), TColor(0xA00000), TColor(0x00A0A0),
                              TColor(0xA000A0), TColor(0xA0A000), TColor(0x202080), TColor(0x208020)};

TRect Img(int i) { return TRect{120 + 10 * i, 0, 130 + 10 * i, 10}; }

std::unique_ptr<TBitmap> CheckPicture() {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(200, 20);
  b->Canvas()->Brush()->SetColor(kFace);
  b->Canvas()->FillRect(TRect{0, 0, 60, 20});
  b->Canvas()->Brush()->SetColor(kActiveFace);
  b->Canvas()->FillRect(TRect{60, 0, 120, 20});
  for (int i = 0; i < 8; ++i) {
    b->Canvas()->Brush()->SetColor(kImage[i]);
    b->Canvas()->FillRect(Img(i));
    b->Canvas()->SetPixels(Img(i).left, Img(i).bottom - 1, kKey);
  }
  return b;
}

TkxDataSkinCheckRadioControl* AddCheckRecord(TkxSkinData& SD, const std::string& Name) {
  auto r = std::make_unique<TkxDataSkinCheckRadioControl>(Name);
  r->PictureIndex = 0;
  r->SkinRect = TRect{0, 0, 60, 20};
  r->ActiveSkinRect = TRect{60, 0, 120, 20};
  r->LTPoint = TPoint{5, 0}, r->RTPoint = TPoint{55, 0};  // resizable across
  r->ClRect = TRect{5, 0, 55, 20};
  r->CheckImageArea = TRect{0, 0, 20, 20};
  r->TextArea = TRect{20, 0, 60, 20};
  r->UnCheckImageRect = Img(0), r->CheckImageRect = Img(1);
  r->ActiveUnCheckImageRect = Img(2), r->ActiveCheckImageRect = Img(3);
  r->UnEnabledUnCheckImageRect = Img(4), r->UnEnabledCheckImageRect = Img(5);
  r->GrayedCheckImageRect = Img(6), r->ActiveGrayedCheckImageRect = Img(7);
  r->FontName = kTestBoxFontName;
  r->FontHeight = 10;
  r->FontColor = clWhite, r->ActiveFontColor = clYellow, r->FrameFontColor = clBlack;
  r->UnEnabledFontColor = clGray;
  auto* raw = r.get();
  SD.CtrlList.push_back(std::move(r));
  return raw;
}

void FillCheckSkin(TkxSkinData& SD) {
  SD.FActivePictures.push_back(CheckPicture());
  AddCheckRecord(SD, "checkbox");
  AddCheckRecord(SD, "radiobox");
  // The check image right of the text.
  auto* right = AddCheckRecord(SD, "checkright");
  right->CheckImageArea = TRect{40, 0, 60, 20};
  right->TextArea = TRect{0, 0, 40, 20};
  AddCheckRecord(SD, "morph")->Morphing = true;
  SD.Empty = false;
}

using inktest::BoxFont;
using inktest::Ink;

class CheckRadioTest : public ctltest::ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    sd = new TkxSkinData(owner.get());
    FillCheckSkin(*sd);
    form = NewForm(100, 100, 400, 300);
    form->SetColor(clWhite);
    form->Show();
    Pump();
  }
  TkxSkinCheckRadioBox* Box(TWinControl* Parent, const std::string& Name, int x, int y, bool Radio = false,
                            int Group = 0) {
    auto* b = new TkxSkinCheckRadioBox(owner.get());
    b->SetName(Name);
    b->SetRadio(Radio);
    b->SetGroupIndex(Group);
    b->SetCaption(Name);
    BoxFont(b->DefaultFont(), 10);
    b->SetBounds(x, y, 150, 25);
    b->SetParent(Parent);
    b->OnClick = [this, b](TObject* s) {
      EXPECT_EQ(s, b);
      clicks.push_back(b->Name());
    };
    return b;
  }
  TPanel* Panel(int x, int y) {
    auto* p = Make<TPanel>(form, "panel" + std::to_string(x), x, y, 180, 120);
    p->SetCaption("");
    return p;
  }
  TColor At(TControl* C, int x, int y) {
    Pump();
    return TColor(Rgb(headless::PixelAt(static_cast<TWinControl*>(C)->Handle(), x, y)));
  }

  TkxSkinData* sd = nullptr;
  TForm* form = nullptr;
  std::vector<std::string> clicks;
};

// ---- the check logic --------------------------------------------------------------------------

TEST_F(CheckRadioTest, CheckingClearsOnlyTheSameParentsBoxesOfTheSameNonZeroGroup) {
  TPanel* p1 = Panel(0, 0);
  TPanel* p2 = Panel(200, 0);
  auto* a = Box(p1, "a", 0, 0, true, 1);
  auto* b = Box(p1, "b", 0, 30, true, 1);
  auto* c = Box(p1, "c", 0, 60, true, 2);
  auto* d = Box(p2, "d", 0, 0, true, 1);
  auto* z1 = Box(p1, "z1", 0, 90, true, 0);
  auto* z2 = Box(p2, "z2", 0, 30, true, 0);
  a->SetChecked(true);
  c->SetChecked(true);
  d->SetChecked(true);
  z1->SetChecked(true);
  z2->SetChecked(true);
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked()) << "same parent, same group";
  EXPECT_EQ(a->State(), cbUnchecked);
  EXPECT_TRUE(c->Checked()) << "another group";
  EXPECT_TRUE(d->Checked()) << "another parent";
  EXPECT_TRUE(z1->Checked() && z2->Checked()) << "group 0 clears nothing";
  // Group 0 boxes check without clearing anyone either.
  auto* z3 = Box(p1, "z3", 100, 90, true, 0);
  z3->SetChecked(true);
  EXPECT_TRUE(z1->Checked() && b->Checked());
  // The group rule holds for check boxes of a group too, and a cleared box is told (OnClick).
  auto* k1 = Box(p2, "k1", 0, 60, false, 3);
  auto* k2 = Box(p2, "k2", 0, 90, false, 3);
  k1->SetChecked(true);
  clicks.clear();
  k2->SetChecked(true);
  EXPECT_FALSE(k1->Checked());
  EXPECT_EQ(clicks, (std::vector<std::string>{"k1", "k2"}));
}

TEST_F(CheckRadioTest, OnClickRulesOfCheckedAndState) {
  auto* cb = Box(form, "cb", 0, 0);
  auto* rb = Box(form, "rb", 0, 30, true, 1);
  struct Step {
    TkxSkinCheckRadioBox* box;
    std::function<void()> act;
    bool clicked;
    TCheckBoxState state;
    bool checked;
  };
  const std::vector<Step> steps = {
      {cb, [&] { cb->SetChecked(true); }, true, cbChecked, true},
      {cb, [&] { cb->SetChecked(true); }, true, cbChecked, true},   // every assignment
      {cb, [&] { cb->SetState(cbGrayed); }, true, cbGrayed, false},
      {cb, [&] { cb->SetChecked(false); }, true, cbGrayed, false},  // grayed stays grayed
      {cb, [&] { cb->SetState(cbGrayed); }, true, cbGrayed, false},
      {cb, [&] { cb->SetState(cbUnchecked); }, true, cbUnchecked, false},
      {rb, [&] { rb->SetChecked(false); }, false, cbUnchecked, false},  // a radio cleared says nothing
      {rb, [&] { rb->SetChecked(true); }, true, cbChecked, true},
      {rb, [&] { rb->SetChecked(true); }, true, cbChecked, true},  // even when already checked
      {rb, [&] { rb->SetState(cbUnchecked); }, true, cbUnchecked, false},
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    clicks.clear();
    steps[i].act();
    EXPECT_EQ(clicks.size(), steps[i].clicked ? 1u : 0u) << "step " << i;
    EXPECT_EQ(steps[i].box->State(), steps[i].state) << "step " << i;
    EXPECT_EQ(steps[i].box->Checked(), steps[i].checked) << "step " << i;
  }
}

TEST_F(CheckRadioTest, StateSetterSkipsTheGroupRule) {
  auto* a = Box(form, "a", 0, 0, true, 1);
  auto* b = Box(form, "b", 0, 30, true, 1);
  a->SetChecked(true);
  b->SetState(cbChecked);
  EXPECT_TRUE(a->Checked());
  EXPECT_TRUE(b->Checked());
}

// ---- input ------------------------------------------------------------------------------------

TEST_F(CheckRadioTest, ClicksCycleUncheckedGrayedCheckedWithAllowGrayedAndSpaceNeverGrays) {
  auto* cb = Box(form, "cb", 10, 10);
  cb->SetAllowGrayed(true);
  std::vector<TCheckBoxState> seen;
  for (int i = 0; i < 3; ++i) {
    ClickAt(cb, 60, 12);
    clock.Advance(1000);  // no double click
    seen.push_back(cb->State());
  }
  EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
  EXPECT_EQ(clicks.size(), 3u);
  EXPECT_TRUE(cb->Focused()) << "a press gives the box the focus";
  headless::PressKey(VK_SPACE);
  Pump();
  EXPECT_EQ(cb->State(), cbChecked);
  headless::PressKey(VK_SPACE);
  Pump();
  EXPECT_EQ(cb->State(), cbUnchecked);
  // A radio box is checked by a click and stays checked on the next.
  auto* rb = Box(form, "rb", 10, 40, true, 1);
  ClickAt(rb, 60, 12);
  clock.Advance(1000);
  ClickAt(rb, 60, 12);
  EXPECT_TRUE(rb->Checked());
}

TEST_F(CheckRadioTest, AReleaseAfterThePointerLeftChangesNothing) {
  auto* cb = Box(form, "cb", 10, 10);
  MoveTo(cb, 60, 12);
  headless::ButtonDown();
  Pump();
  MoveTo(cb, 60, 100);  // off the box, the button held
  EXPECT_FALSE(cb->MouseIn());
  headless::ButtonUp();
  Pump();
  EXPECT_FALSE(cb->Checked());
  EXPECT_TRUE(clicks.empty());
}

TEST_F(CheckRadioTest, SpaceAndAcceleratorNeedCanFocused) {
  auto* cb = Box(form, "cb", 10, 10);
  cb->SetCaption("完成后&S关机");
  EXPECT_FALSE(cb->TabStop()) << "the constructor's TabStop holds until CanFocused is assigned";
  cb->SetCanFocused(true);
  EXPECT_TRUE(cb->TabStop());
  EXPECT_EQ(cb->Perform(CM_DIALOGCHAR, 's', 0), 1);
  EXPECT_TRUE(cb->Focused());
  EXPECT_TRUE(cb->Checked());
  EXPECT_EQ(cb->Perform(CM_DIALOGCHAR, 'x', 0), 0);
  EXPECT_TRUE(cb->Checked());

  auto* other = Box(form, "other", 10, 40);
  other->SetCaption("&T");
  other->SetCanFocused(false);
  EXPECT_FALSE(other->TabStop());
  EXPECT_EQ(other->Perform(CM_DIALOGCHAR, 't', 0), 0);
  EXPECT_FALSE(other->Checked());
  // Without CanFocused a press does not take the focus, yet still toggles.
  ClickAt(other, 60, 12);
  EXPECT_TRUE(other->Checked());
  EXPECT_TRUE(cb->Focused());
  // Space goes to the focused box only.
  headless::PressKey(VK_SPACE);
  Pump();
  EXPECT_FALSE(cb->Checked());
  EXPECT_TRUE(other->Checked());
}

TEST_F(CheckRadioTest, APressThatCannotTakeTheFocusIsIgnored) {
  auto* cb = Box(form, "cb", 10, 10);
  form->Hide();  // a hidden form gives no focus
  Pump();
  cb->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 12));
  cb->Perform(WM_LBUTTONUP, 0, MAKELPARAM(60, 12));
  EXPECT_FALSE(cb->Checked());
}

TEST_F(CheckRadioTest, AnActionsCheckedReachesTheBox) {
  auto* cb = Box(form, "cb", 10, 10);
  auto* a = new TAction(owner.get());
  a->SetCaption("多线程");
  cb->SetAction(a);
  EXPECT_EQ(cb->Caption(), "多线程");
  a->SetChecked(true);
  EXPECT_TRUE(cb->Checked());
  a->SetChecked(false);
  EXPECT_FALSE(cb->Checked());
}

TEST_F(CheckRadioTest, RemovingTheImageListClearsIt) {
  auto* cb = Box(form, "cb", 10, 10);
  auto* il = new TImageList(owner.get());
  cb->SetImages(il);
  delete il;
  EXPECT_EQ(cb->Images(), nullptr);
  Pump();  // paints without it
}

// ---- looks ------------------------------------------------------------------------------------

TEST_F(CheckRadioTest, FlatDefaultLookSquareFrameAndMarks) {
  auto* cb = Box(form, "cb", 10, 10);
  auto* rb = Box(form, "rb", 10, 40, true, 1);
  // The square (3, 5)-(17, 19), framed in the button shadow; inside shows the form.
  EXPECT_EQ(At(cb, 3, 5), TColor(Px(clBtnShadow)));
  EXPECT_EQ(At(cb, 16, 18), TColor(Px(clBtnShadow)));
  EXPECT_EQ(At(cb, 3, 4), TColor(Px(clWhite)));
  EXPECT_EQ(At(cb, 3, 19), TColor(Px(clWhite)));
  EXPECT_EQ(At(cb, 7, 13), TColor(Px(clWhite)));
  cb->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(At(cb, 3, 5), TColor(0x000080)) << "navy while the mouse is in";
  cb->SetChecked(true);
  EXPECT_EQ(At(cb, 7, 13), TColor(0)) << "the check mark";
  rb->SetChecked(true);
  EXPECT_EQ(At(rb, 9, 11), TColor(0)) << "the radio mark";
  rb->SetEnabled(false);
  EXPECT_EQ(At(rb, 9, 11), TColor(Px(clBtnShadow)));
  cb->SetState(cbGrayed);
  EXPECT_EQ(At(cb, 7, 13), TColor(Px(clGrayText)));
  // The caption at x 22 in the box font, centred: 8 rows of ink from 25 / 2 - 5.
  const TRect ink = Ink(cb->Handle(), TRect{20, 0, 150, 25}, clWhite);
  EXPECT_EQ(ink.left, 22);
  EXPECT_EQ(ink.top, 7);
  EXPECT_EQ(ink.bottom - ink.top, 8);
}

TEST_F(CheckRadioTest, FlatSkinLookCentresTheCheckImageChosenByState) {
  auto* cb = Box(form, "cb", 10, 10);
  cb->SetSkinDataName("checkbox");
  cb->SetSkinData(sd);
  cb->SetAllowGrayed(true);
  EXPECT_EQ(cb->Height(), 25) << "a flat box keeps its size";
  // The 10 x 10 image at (3, 25 / 2 - 5); its bottom-left pixel is transparent.
  auto image = [&] { return At(cb, 8, 10); };
  EXPECT_EQ(At(cb, 3, 16), TColor(Px(clWhite)));
  EXPECT_EQ(At(cb, 4, 16), TColor(Px(kImage[0])));
  EXPECT_EQ(At(cb, 3, 6), TColor(Px(clWhite)));
  struct Case {
    bool enabled, hot;
    TCheckBoxState state;
    TColor want;
  };
  const Case cases[] = {
      {true, false, cbUnchecked, kImage[0]}, {true, false, cbChecked, kImage[1]}, {true, true, cbUnchecked, kImage[2]},
      {true, true, cbChecked, kImage[3]},    {false, false, cbUnchecked, kImage[4]},
      {false, false, cbChecked, kImage[5]},  {true, false, cbGrayed, kImage[6]},  {true, true, cbGrayed, kImage[7]},
      {false, false, cbGrayed, kImage[6]},
  };
  for (const Case& c : cases) {
    cb->SetEnabled(c.enabled);
    cb->Perform(c.hot ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0);
    cb->SetState(c.state);
    EXPECT_EQ(image(), TColor(Px(c.want))) << c.enabled << c.hot << int(c.state);
  }
  // Without grayed pictures the checked picture of the state shows, halfway to white.
  auto* rec = dynamic_cast<TkxDataSkinCheckRadioControl*>(sd->CtrlList[0].get());
  rec->GrayedCheckImageRect = TRect{}, rec->ActiveGrayedCheckImageRect = TRect{};
  cb->SetEnabled(true);
  cb->Perform(CM_MOUSELEAVE, 0, 0);
  cb->SetState(cbGrayed);
  const uint32_t g = uint32_t(image());
  EXPECT_NEAR(int(g & 255), 128, 1) << "green 0xA0 and the others 0 brightened by a half";
  EXPECT_NEAR(int((g >> 8) & 255), 208, 1);
  EXPECT_NEAR(int((g >> 16) & 255), 128, 1);
  // The caption in the record's colour over the background, after the image plus 7.
  cb->SetState(cbUnchecked);
  const TRect ink = Ink(cb->Handle(), TRect{15, 0, 150, 25}, clWhite);
  EXPECT_EQ(ink.left, 17);
  EXPECT_EQ(At(cb, ink.left, ink.top), TColor(Px(clBlack)));
}

TEST_F(CheckRadioTest, WordWrapOnlyInTheFlatLook) {
  auto* cb = Box(form, "cb", 10, 10);
  cb->SetBounds(10, 10, 80, 60);
  cb->SetCaption("aaaa bbbb cccc dddd");
  // One line: clipped to the box; 8 rows of ink.
  TRect one = Ink(cb->Handle(), TRect{20, 0, 80, 60}, clWhite);
  EXPECT_EQ(one.bottom - one.top, 8);
  cb->SetWordWrap(true);
  TRect wrapped = Ink(cb->Handle(), TRect{20, 0, 80, 60}, clWhite);
  EXPECT_GE(wrapped.bottom - wrapped.top, 18) << "two lines or more";
  EXPECT_EQ(wrapped.left, 22);
  EXPECT_GE(wrapped.top, 0);
  // The non-flat default look keeps one line.
  cb->SetFlat(false);
  TRect solid = Ink(cb->Handle(), TRect{20, 0, 80, 60}, clBtnFace);
  EXPECT_EQ(solid.bottom - solid.top, 8);
}

TEST_F(CheckRadioTest, NonFlatLayoutFollowsTheWidth) {
  auto* cb = Box(form, "cb", 10, 10);
  cb->SetFlat(false);
  cb->SetSkinDataName("checkbox");
  cb->SetSkinData(sd);
  EXPECT_EQ(cb->Height(), 20) << "the record's height";
  EXPECT_EQ(cb->TextAreaRect(), (TRect{20, 0, 150 - 60 + 60, 20}));
  EXPECT_EQ(cb->CheckImageAreaRect(), (TRect{5, 5, 15, 15}));
  auto* right = Box(form, "right", 10, 40);
  right->SetFlat(false);
  right->SetSkinDataName("checkright");
  right->SetSkinData(sd);
  EXPECT_EQ(right->TextAreaRect(), (TRect{0, 0, 130, 20}));
  EXPECT_EQ(right->CheckImageAreaRect(), (TRect{135, 5, 145, 15})) << "moved with the right edge";
  // The picture, the check image at its place, the active picture while the mouse is in.
  EXPECT_EQ(At(cb, 2, 2), TColor(Px(kFace)));
  EXPECT_EQ(At(cb, 8, 8), TColor(Px(kImage[0])));
  cb->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(At(cb, 2, 2), TColor(Px(kActiveFace)));
  EXPECT_EQ(At(cb, 8, 8), TColor(Px(kImage[2])));
  // The caption in the active colour there.
  const TRect ink = Ink(cb->Handle(), TRect{20, 0, 150, 20}, kActiveFace);
  EXPECT_EQ(ink.left, 20);
  EXPECT_EQ(At(cb, ink.left, ink.top), TColor(Px(clYellow)));
}

TEST_F(CheckRadioTest, NonFlatDefaultLookFramesTheBoxWhileHot) {
  auto* cb = Box(form, "cb", 10, 10);
  cb->SetFlat(false);
  EXPECT_EQ(At(cb, 0, 0), TColor(Px(clBtnFace)));
  cb->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(At(cb, 0, 0), TColor(Px(clBtnShadow)));
  EXPECT_EQ(At(cb, 3, 5), TColor(0x000080));
  cb->Perform(CM_MOUSELEAVE, 0, 0);
  cb->SetCanFocused(true);
  cb->SetFocus();
  EXPECT_EQ(At(cb, 0, 0), TColor(Px(clBtnShadow))) << "focused";
}

TEST_F(CheckRadioTest, PaintSkinToDrawsTheAskedCheckStateWithoutTheHotLook) {
  auto* cb = Box(form, "cb", 10, 10);
  cb->SetFlat(false);
  cb->SetSkinDataName("checkbox");
  cb->SetSkinData(sd);
  cb->Perform(CM_MOUSEENTER, 0, 0);
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(150, 20);
  cb->PaintSkinTo(b.Canvas(), 0, 0, true);
  EXPECT_EQ(TColor(b.Canvas()->Pixels(2, 2)), kFace);
  EXPECT_EQ(TColor(b.Canvas()->Pixels(8, 8)), kImage[1]);
  EXPECT_FALSE(cb->Checked());
  // Nothing for a non-flat box without a record.
  auto* plain = Box(form, "plain", 10, 40);
  plain->SetFlat(false);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(TRect{0, 0, 150, 20});
  plain->PaintSkinTo(b.Canvas(), 0, 0, true);
  EXPECT_EQ(TColor(b.Canvas()->Pixels(5, 10)), clRed);
}

// ---- the morph ----------------------------------------------------------------------------------

TEST_F(CheckRadioTest, TheMorphStepsByAFifthEvery20msAndSettlesExactly) {
  auto* cb = Box(form, "cb", 10, 10);
  cb->SetFlat(false);
  cb->SetSkinDataName("morph");
  cb->SetSkinData(sd);
  cb->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_TRUE(cb->MorphTimerRunning());
  EXPECT_EQ(cb->MorphKf(), 0.0);
  std::vector<double> up;
  for (int i = 0; i < 6 && cb->MorphTimerRunning(); ++i) {
    clock.Advance(20);
    Pump();
    up.push_back(cb->MorphKf());
    if (i == 1) {
      // Half way the picture lies between the two faces.
      const TColor mid = At(cb, 2, 2);
      EXPECT_NE(mid, TColor(Px(kFace)));
      EXPECT_NE(mid, TColor(Px(kActiveFace)));
    }
  }
  ASSERT_EQ(up.size(), 6u);
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(up[size_t(i)], 0.2 * (i + 1), 1e-9);
  EXPECT_EQ(up[5], 1.0);
  EXPECT_FALSE(cb->MorphTimerRunning());
  EXPECT_EQ(At(cb, 2, 2), TColor(Px(kActiveFace)));
  cb->Perform(CM_MOUSELEAVE, 0, 0);
  for (int i = 0; i < 10 && cb->MorphTimerRunning(); ++i) {
    clock.Advance(20);
    Pump();
  }
  EXPECT_EQ(cb->MorphKf(), 0.0);
  EXPECT_EQ(At(cb, 2, 2), TColor(Px(kFace)));
  // Without skin effects the box changes at once, no timer.
  sd->SetEnableSkinEffects(false);
  cb->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_FALSE(cb->MorphTimerRunning());
  EXPECT_EQ(At(cb, 2, 2), TColor(Px(kActiveFace)));
  // Disabling drops the hot state and the factor.
  sd->SetEnableSkinEffects(true);
  cb->SetEnabled(false);
  EXPECT_FALSE(cb->MouseIn());
  EXPECT_EQ(cb->MorphKf(), 0.0);
}

TEST_F(CheckRadioTest, AFlatBoxNeverMorphs) {
  auto* cb = Box(form, "cb", 10, 10);
  cb->SetSkinDataName("morph");
  cb->SetSkinData(sd);
  cb->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_FALSE(cb->MorphTimerRunning());
  EXPECT_EQ(At(cb, 8, 10), TColor(Px(kImage[2])));
}

// ---- streaming ----------------------------------------------------------------------------------

TEST_F(CheckRadioTest, BoxesReadFromAFormDescription) {
  RegisterControlFormClasses();
  RegisterSkinControlFormClasses();
  const std::string text =
      "object Form1: TForm\n"
      "  object kxSkinData1: TkxSkinData\n"
      "  end\n"
      "  object r1: TkxSkinCheckRadioBox\n"
      "    Width = 120\n"
      "    Caption = '关机'\n"
      "    Radio = True\n"
      "    GroupIndex = 1\n"
      "    SkinData = kxSkinData1\n"
      "    SkinDataName = 'radiobox'\n"
      "    Checked = True\n"
      "  end\n"
      "  object r2: TkxSkinCheckRadioBox\n"
      "    Radio = True\n"
      "    GroupIndex = 1\n"
      "    Checked = True\n"
      "  end\n"
      "  object c: TkxSkinCheckRadioBox\n"
      "    AllowGrayed = True\n"
      "    State = cbGrayed\n"
      "    Flat = False\n"
      "    WordWrap = True\n"
      "    ImageIndex = 2\n"
      "    UseSkinFontColor = False\n"
      "    CanFocused = False\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(owner.get());
  ReadFormDescription(f, text, "options.dfm");
  auto* r1 = dynamic_cast<TkxSkinCheckRadioBox*>(f->FindComponent("r1"));
  auto* r2 = dynamic_cast<TkxSkinCheckRadioBox*>(f->FindComponent("r2"));
  auto* c = dynamic_cast<TkxSkinCheckRadioBox*>(f->FindComponent("c"));
  ASSERT_TRUE(r1 && r2 && c);
  EXPECT_TRUE(r1->Radio());
  EXPECT_EQ(r1->SkinDataName(), "radiobox");
  EXPECT_EQ(r1->SkinData(), f->FindComponent("kxSkinData1"));
  EXPECT_EQ(r1->Caption(), "关机");
  EXPECT_FALSE(r1->Checked()) << "the later box of the group cleared it";
  EXPECT_TRUE(r2->Checked());
  EXPECT_EQ(r2->SkinDataName(), "checkbox") << "Radio picks the record only while designing";
  EXPECT_EQ(c->State(), cbGrayed);
  EXPECT_TRUE(c->AllowGrayed());
  EXPECT_FALSE(c->Flat());
  EXPECT_TRUE(c->WordWrap());
  EXPECT_EQ(c->ImageIndex(), 2);
  EXPECT_FALSE(c->UseSkinFontColor());
  EXPECT_FALSE(c->CanFocused());
  EXPECT_EQ(c->Width(), 150);
  EXPECT_EQ(c->Height(), 25);
}

}  // namespace
