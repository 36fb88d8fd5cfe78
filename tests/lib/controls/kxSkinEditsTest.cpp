// The skin library's edits on the headless backend: the numeric filter (typed and pasted), Up,
// Down and the wheel of the numeric edit, the context menu's item states, the read-only lock,
// Enter and Escape reaching the form's default and cancel buttons, line breaks kept out of the
// one-line edit, the edit button's geometry, hit codes and clicks, the image buttons, and the
// text colour following hover and focus in a generated skin.
#include <gtest/gtest.h>

#include "classlib/Clipbrd.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "classlib/Streaming.h"
#include "classlib/controls/MenuWindow.h"
#include "classlib/graphics/ImageList.h"
#include "lib/skin/kxResourceStrData.h"
#include "lib/skin/kxSkinData.h"
#include "lib/controls/kxSkinEdits.h"
#include "lib/controls/kxSkinCtrls.h"
#include "lib/skin/kxSkinRecords.h"
#include "lib/controls/kxSkinRegister.h"
#include "lib/forms/kxVelara.h"
#include "lib/graphics/kxUtilsPlatform.h"
#include "tests/classlib/ControlTestFixture.h"
#include "tests/lib/SkinLint.h"

namespace {

using namespace win;

void BoxFont(TFont* F) {
  F->SetName(kTestBoxFontName);
  F->SetHeight(-10);
}

class SkinEditTest : public ctltest::ControlTest {
protected:
  TForm* form = nullptr;
  void SetUp() override {
    ControlTest::SetUp();
    form = NewForm(100, 100, 320, 160);
    Clipboard()->Clear();
  }
  template <typename T>
  T* NewEdit(int x = 10, int y = 10, int w = 100, int h = 20) {
    auto* e = Make<T>(form, "e", x, y, w, h);
    return e;
  }
  void Show(TWinControl* focus) {
    form->Show();
    Pump();
    if (focus) focus->SetFocus();
    Pump();
  }
  LRESULT HitAt(TWinControl* c, int wx, int wy) {
    RECT wr{};
    GetWindowRect(c->Handle(), &wr);
    return SendMessage(c->Handle(), WM_NCHITTEST, 0, MAKELPARAM(WORD(SHORT(wr.left + wx)), WORD(SHORT(wr.top + wy))));
  }
  TPoint ScreenAt(TWinControl* c, int wx, int wy) {
    RECT wr{};
    GetWindowRect(c->Handle(), &wr);
    return TPoint{wr.left + wx, wr.top + wy};
  }
  void Chord(int mod, int vk) {
    headless::KeyDown(mod);
    headless::PressKey(vk);
    headless::KeyUp(mod);
    Pump();
  }
  void Type(const std::u32string& s) {
    for (char32_t c : s) headless::TypeChar(c);
    Pump();
  }
};

// How many pixels of the edit's window show the colour.
int CountColour(TWinControl* C, TColor Color) {
  int n = 0;
  RECT wr{};
  GetWindowRect(C->Handle(), &wr);
  for (int y = 0; y < wr.bottom - wr.top; ++y)
    for (int x = 0; x < wr.right - wr.left; ++x)
      if (ctltest::Rgb(headless::PixelAt(C->Handle(), x, y)) == ctltest::Px(Color)) ++n;
  return n;
}

// ---- the numeric edit ----

TEST(SkinNumEditFilter, TypedCharactersByModeSignAndSeparator) {
  EXPECT_EQ(kxDecimalSeparator(), U'.');
  struct Case {
    const char* text;
    char32_t c;
    bool flt, editor, expected;
  };
  const Case cases[] = {
      {"", U'5', false, true, true},      {"", U'-', false, true, true},     {"-5", U'-', false, true, false},
      {"5-", U'-', true, true, false},    {"", U'.', false, true, false},    {"", U'a', false, true, false},
      {"", U'.', true, true, true},       {"1.5", U'.', true, true, false},  {"15", U'.', true, true, true},
      {"", 8, false, true, true},         {"", 13, false, true, false},      {"", 3, false, true, true},
      {"", U' ', false, true, false},     {"", U'５', false, true, false},   {"", U'中', true, true, false},
      // A character whose low byte is a digit or the separator is not one.
      {"", char32_t(0x0135), false, true, false}, {"", char32_t(0x012E), true, true, false},
      // Without the editor only control characters other than Backspace pass.
      {"", U'5', false, false, false},    {"", 8, false, false, false},      {"", 3, false, false, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(kxNumEditAccepts(c.text, c.c, c.flt, c.editor), c.expected)
        << "text '" << c.text << "' char " << uint32_t(c.c) << " float " << c.flt << " editor " << c.editor;
}

TEST_F(SkinEditTest, NumericEditRefusesWithABeepAndStepsOnArrowsAndWheel) {
  auto* e = NewEdit<TkxSkinNumEdit>();
  BoxFont(e->Font());
  int ups = 0, downs = 0;
  e->OnUpClick = [&](TObject*) { ++ups; };
  e->OnDownClick = [&](TObject*) { ++downs; };
  Show(e);
  const size_t beeps = headless::Beeps().size();
  Type(U"-5-a.");
  EXPECT_EQ(e->Text(), "-5");
  EXPECT_EQ(headless::Beeps().size() - beeps, 3u);

  e->Float = true;
  Type(U".5.");
  EXPECT_EQ(e->Text(), "-5.5");

  // The arrows step and never move the caret, handled or not.
  e->SetSelStart(2);
  headless::PressKey(VK_UP);
  headless::PressKey(VK_DOWN);
  headless::PressKey(VK_DOWN);
  Pump();
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(downs, 2);
  EXPECT_EQ(e->SelStart(), 2);
  e->OnUpClick = nullptr;
  headless::PressKey(VK_UP);
  Pump();
  EXPECT_EQ(e->SelStart(), 2);

  // Away from the user steps down, towards the user up.
  SendMessage(e->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(SHORT(120))), 0);
  SendMessage(e->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(SHORT(-120))), 0);
  EXPECT_EQ(downs, 3);
}

TEST_F(SkinEditTest, NumericEditPastesOnlyWhatItWouldTake) {
  auto* e = NewEdit<TkxSkinNumEdit>();
  e->Float = true;
  Show(e);
  struct Case {
    const char* before;
    const char* clip;
    const char* after;
  };
  const Case cases[] = {
      {"", "12.5", "12.5"}, {"", "-3", "-3"}, {"", "12a", ""},  {"1.5", ".2", "1.5"},
      {"-1", "-2", "-1"},   {"7", "1\r\n2", "7"}, {"", "", ""},
  };
  for (const Case& c : cases) {
    e->SetText(c.before);
    e->SetSelStart(int32_t(std::string(c.before).size()));
    Clipboard()->SetAsText(c.clip);
    Chord(VK_CONTROL, 'V');
    EXPECT_EQ(e->Text(), c.after) << "pasting '" << c.clip << "' after '" << c.before << "'";
  }
  // Shift+Insert goes the same way.
  e->SetText("");
  Clipboard()->SetAsText("x");
  Chord(VK_SHIFT, VK_INSERT);
  EXPECT_EQ(e->Text(), "");
  Clipboard()->SetAsText("42");
  Chord(VK_SHIFT, VK_INSERT);
  EXPECT_EQ(e->Text(), "42");
}

// ---- the context menu and the lock ----

std::vector<bool> EnabledStates(TPopupMenu* M) {
  std::vector<bool> v;
  for (int i = 0; i < M->Items()->Count(); ++i) v.push_back(M->Items()->Items(i)->Enabled());
  return v;
}

TEST_F(SkinEditTest, ContextMenuItemsFollowSelectionLockClipboardAndUndo) {
  auto* e = NewEdit<TkxSkinEdit>();
  Show(e);
  Type(U"abc");  // something to undo
  TPopupMenu* m = e->BuildSysPopupMenu();
  ASSERT_EQ(m->Items()->Count(), 8);
  std::vector<std::string> captions;
  for (int i = 0; i < 8; ++i) captions.push_back(m->Items()->Items(i)->Caption());
  EXPECT_EQ(captions, (std::vector<std::string>{"Undo", "-", "Cut", "Copy", "Paste", "Delete", "-", "Select All"}));

  struct Case {
    const char* name;
    bool select, all, readOnly, clip, undo;
    // Undo, Cut, Copy, Paste, Delete, Select All
    std::vector<bool> expected;
  };
  const Case cases[] = {
      {"caret only", false, false, false, false, true, {true, false, false, false, false, true}},
      {"part selected", true, false, false, false, true, {true, true, true, false, true, true}},
      {"all selected", true, true, false, true, false, {false, true, true, true, true, false}},
      {"clipboard text", false, false, false, true, false, {false, false, false, true, false, true}},
      {"read-only, selected", true, false, true, true, true, {true, false, true, false, false, true}},
      {"read-only, caret", false, false, true, true, false, {false, false, false, false, false, true}},
  };
  for (const Case& c : cases) {
    e->SetReadOnly(c.readOnly);
    if (c.clip) Clipboard()->SetAsText("x");
    else Clipboard()->Clear();
    if (!c.undo) e->ClearUndo();
    else if (!e->CanUndo()) {
      e->SetReadOnly(false);
      e->SetSelStart(3);
      Type(U"d");
      e->SetReadOnly(c.readOnly);
    }
    if (c.all) e->SelectAll();
    else if (c.select) {
      e->SetSelStart(1);
      e->SetSelLength(1);
    } else {
      e->SetSelStart(1);
    }
    auto v = EnabledStates(e->BuildSysPopupMenu());
    std::vector<bool> got{v[0], v[2], v[3], v[4], v[5], v[7]};
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

TEST_F(SkinEditTest, ReadOnlyRefusesEveryChangeButKeepsCopying) {
  auto* e = NewEdit<TkxSkinEdit>();
  e->SetText("abc");
  e->SetReadOnly(true);
  Show(e);
  // The window itself stays writable: the lock is the edit's own.
  EXPECT_FALSE(GetWindowLongPtr(e->Handle(), GWL_STYLE) & ES_READONLY);
  e->SelectAll();
  Type(U"x");
  headless::PressKey(VK_DELETE);
  headless::TypeChar(8);
  Pump();
  Clipboard()->SetAsText("pasted");
  Chord(VK_CONTROL, 'V');
  headless::TypeChar(0x16);
  Chord(VK_SHIFT, VK_INSERT);
  headless::TypeChar(0x18);
  Pump();
  EXPECT_EQ(e->Text(), "abc");
  headless::TypeChar(0x03);
  Pump();
  EXPECT_EQ(Clipboard()->AsText(), "abc");
  // The menu's commands go through the same lock.
  TPopupMenu* m = e->BuildSysPopupMenu();
  m->Items()->Items(5)->Click();  // Delete, were it enabled
  e->Perform(WM_CUT, 0, 0);
  e->Perform(WM_UNDO, 0, 0);
  EXPECT_EQ(e->Text(), "abc");
  e->SetReadOnly(false);
  Type(U"z");
  EXPECT_EQ(e->Text(), "z");
}

TEST_F(SkinEditTest, ContextMenuTakesTheSkinStrings) {
  TkxSkinData sd(nullptr);
  TkxResourceStrData strings(nullptr);
  strings.ResStrings()->Clear();
  strings.ResStrings()->Add("EDIT_CUT=剪切");
  strings.ResStrings()->Add("EDIT_COPY=");
  sd.SetResourceStrData(&strings);
  auto* e = NewEdit<TkxSkinEdit>(20, 30, 120, 20);
  e->SetSkinData(&sd);
  Show(e);
  TPopupMenu* m = e->BuildSysPopupMenu();
  EXPECT_EQ(m->Items()->Items(2)->Caption(), "剪切");
  EXPECT_EQ(m->Items()->Items(3)->Caption(), "");  // a skin string counts also when empty
  // The menu of a command gone, the next right click makes a new one.
  SendMessage(e->Handle(), KXM_MENUCOMMAND, 0, 0);
  EXPECT_EQ(e->SysPopupMenu(), nullptr);
  e->SetSkinData(nullptr);
}

TEST_F(SkinEditTest, ATransparentInnerEditShowsTheParentBehindItsText) {
  form->SetColor(clTeal);
  auto* plain = Make<TkxCustomEdit>(form, "plain", 10, 10, 100, 20);
  auto* clear = Make<TkxCustomEdit>(form, "clear", 10, 40, 100, 20);
  clear->SetEditTransparent(true);
  auto* other = Make<TButton>(form, "other", 10, 80, 80, 24);
  Show(other);
  EXPECT_EQ(CountColour(plain, clTeal), 0);
  EXPECT_GT(CountColour(clear, clTeal), 1500);
  // The inner edit has no frame of its own.
  EXPECT_EQ(plain->ClientRect(), (TRect{0, 0, 100, 20}));
}

// ---- keys and text ----

TEST_F(SkinEditTest, EnterAndEscapeReachTheDefaultAndCancelButtons) {
  auto* e = NewEdit<TkxSkinEdit>();
  auto* ok = Make<TButton>(form, "ok", 10, 60, 80, 24);
  auto* cancel = Make<TButton>(form, "cancel", 100, 60, 80, 24);
  ok->SetDefault(true);
  cancel->SetCancel(true);
  int oks = 0, cancels = 0;
  std::vector<uint32_t> keys;
  ok->OnClick = [&](TObject*) { ++oks; };
  cancel->OnClick = [&](TObject*) { ++cancels; };
  e->OnKeyPress = [&](TObject*, uint32_t& k) {
    keys.push_back(k);
    k = 0;  // the answer changes nothing
  };
  Show(e);
  Type(U"ab");
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(oks, 1);
  headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(e->Text(), "");  // the key-press handler dropped a and b
  e->OnKeyPress = nullptr;
  Type(U"ab");
  headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(e->Text(), "ab");
  EXPECT_EQ(oks, 2);
  EXPECT_EQ(keys, (std::vector<uint32_t>{'a', 'b', 13, 27}));
  EXPECT_TRUE(e->Focused());
}

TEST_F(SkinEditTest, LineBreaksNeverEnterTheOneLineEdit) {
  auto* e = NewEdit<TkxSkinEdit>();
  Show(e);
  Clipboard()->SetAsText("/home/用户\r\n/tmp\n");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(e->Text(), "/home/用户/tmp");
  e->SetText("a\r\nb\rc\nd");
  EXPECT_EQ(e->Text(), "abcd");
  SendMessage(e->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x\r\ny"));
  EXPECT_EQ(e->Text(), "xy");
}

// ---- the edit button and the image buttons ----

TEST_F(SkinEditTest, UnskinnedEditButtonGeometryHitCodesAndClicks) {
  auto* e = NewEdit<TkxSkinEdit>(10, 10, 100, 20);
  e->SetButtonMode(true);
  auto* other = Make<TButton>(form, "other", 10, 60, 80, 24);
  int clicks = 0;
  e->OnButtonClick = [&](TObject*) { ++clicks; };
  Show(other);
  EXPECT_EQ(e->EditRect(), (TRect{2, 2, 78, 18}));
  EXPECT_EQ(e->ButtonRect(), (TRect{80, 0, 100, 20}));
  EXPECT_EQ(e->ClientRect(), (TRect{0, 0, 76, 16}));
  EXPECT_EQ(HitAt(e, 90, 10), LRESULT(HTHSCROLL));
  EXPECT_EQ(HitAt(e, 0, 10), LRESULT(HTVSCROLL));
  EXPECT_EQ(HitAt(e, 79, 10), LRESULT(HTVSCROLL));
  EXPECT_EQ(HitAt(e, 40, 10), LRESULT(HTCLIENT));

  // Hovering lights the button; a press and release on it clicks once and focuses the edit.
  TPoint b = ScreenAt(e, 90, 10);
  headless::MoveMouse(b.x, b.y);
  Pump();
  EXPECT_TRUE(e->ButtonActive());
  headless::Click(b.x, b.y);
  Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(e->Focused());
  EXPECT_FALSE(e->ButtonDown());

  // Pressed, moved off the edit and released elsewhere: no click, and leaving resets the button.
  headless::MoveMouse(b.x, b.y);
  headless::ButtonDown(0);
  Pump();
  EXPECT_TRUE(e->ButtonDown());
  TPoint away = other->ClientToScreen(TPoint{5, 5});
  headless::MoveMouse(away.x, away.y);
  headless::ButtonUp(0);
  Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(e->ButtonDown());
  EXPECT_FALSE(e->ButtonActive());

  // Pressed on the frame, released on the button: no click either.
  TPoint frame = ScreenAt(e, 0, 10);
  headless::MoveMouse(frame.x, frame.y);
  headless::ButtonDown(0);
  headless::MoveMouse(b.x, b.y);
  headless::ButtonUp(0);
  Pump();
  EXPECT_EQ(clicks, 1);
}

TEST_F(SkinEditTest, SkinnedButtonEditKeepsTheSkinHeightAndMovesItsButtonRight) {
  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(0, sd);
  auto* e = NewEdit<TkxSkinEdit>(10, 10, 200, 40);
  e->SetSkinDataName("buttonedit");
  e->SetButtonMode(true);
  e->SetSkinData(&sd);
  Show(nullptr);
  auto* r = dynamic_cast<TkxDataSkinEditControl*>(sd.CtrlList[size_t(sd.GetControlIndex("buttonedit"))].get());
  ASSERT_NE(r, nullptr);
  const int sw = r->SkinRect.right - r->SkinRect.left, sh = r->SkinRect.bottom - r->SkinRect.top;
  EXPECT_EQ(e->Height(), sh);
  e->SetHeight(60);
  EXPECT_EQ(e->Height(), sh);
  const int dx = 200 - sw;
  EXPECT_EQ(e->EditRect(), (TRect{r->ClRect.left, r->ClRect.top, r->ClRect.right + dx, r->ClRect.bottom}));
  EXPECT_EQ(e->ButtonRect(), (TRect{r->ButtonRect.left + dx, r->ButtonRect.top, r->ButtonRect.right + dx, r->ButtonRect.bottom}));
  EXPECT_EQ(HitAt(e, e->ButtonRect().left + 2, sh / 2), LRESULT(HTHSCROLL));
  EXPECT_EQ(HitAt(e, 1, 1), LRESULT(HTVSCROLL));

  // Without the skin's font the height follows the font.
  e->SetUseSkinFont(false);
  BoxFont(e->Font());
  e->SetHeight(50);
  EXPECT_EQ(e->Height(), 10 + sh - (r->ClRect.bottom - r->ClRect.top));
  e->SetSkinData(nullptr);
}

TEST_F(SkinEditTest, ImageButtonsNarrowTheTextAndClick) {
  TImageList images(nullptr);
  images.SetSize(16, 16);
  TBitmap strip;
  strip.SetSize(48, 16);
  strip.Canvas()->Brush()->SetColor(clRed);
  strip.Canvas()->FillRect(TRect{0, 0, 48, 16});
  images.Add(&strip, nullptr);
  auto* e = NewEdit<TkxSkinEdit>(10, 10, 160, 24);
  e->SetImages(&images);
  e->SetRightImageIndex(1);
  int lefts = 0, rights = 0;
  e->OnLeftButtonClick = [&](TObject*) { ++lefts; };
  e->OnRightButtonClick = [&](TObject*) { ++rights; };
  Show(nullptr);
  const TRect cr = e->ClientRect();
  EXPECT_TRUE(IsEmptyRect(e->LeftButton().R));
  EXPECT_EQ(e->RightButton().R, (TRect{cr.right - 16, 0, cr.right, cr.bottom}));
  RECT fr{};
  SendMessage(e->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
  EXPECT_EQ(fr.left, 0);
  EXPECT_EQ(fr.right, cr.right - 18);

  e->SetLeftImageIndex(0);
  EXPECT_EQ(e->LeftButton().R, (TRect{0, 0, 16, cr.bottom}));
  SendMessage(e->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
  EXPECT_EQ(fr.left, 18);
  EXPECT_EQ(fr.right, cr.right - 18);
  TPoint l = e->ClientToScreen(TPoint{4, 4}), r = e->ClientToScreen(TPoint{cr.right - 4, 4});
  EXPECT_EQ(SendMessage(e->Handle(), WM_NCHITTEST, 0, MAKELPARAM(l.x, l.y)), kxHitLeftImageButton);
  EXPECT_EQ(SendMessage(e->Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.x, r.y)), kxHitRightImageButton);
  EXPECT_TRUE(e->RightButton().MouseIn);
  headless::Click(l.x, l.y);
  headless::Click(r.x, r.y);
  headless::Click(r.x, r.y);
  Pump();
  EXPECT_EQ(lefts, 1);
  EXPECT_EQ(rights, 2);
  EXPECT_TRUE(e->Focused());
  e->SetImages(nullptr);
}

// ---- hover and focus colours ----

TEST_F(SkinEditTest, TextColourFollowsHoverAndFocusInASkin) {
  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(0, sd);
  auto* r = dynamic_cast<TkxDataSkinEditControl*>(sd.CtrlList[size_t(sd.GetControlIndex("edit"))].get());
  ASSERT_NE(r, nullptr);
  r->FontColor = 0x000011;
  r->ActiveFontColor = 0x002200;
  r->DisabledFontColor = 0x330000;
  auto* e = NewEdit<TkxSkinEdit>(10, 10, 120, 20);
  auto* other = Make<TButton>(form, "other", 10, 60, 80, 24);
  int enters = 0, leaves = 0;
  e->OnMouseEnter = [&](TObject*) { ++enters; };
  e->OnMouseLeave = [&](TObject*) { ++leaves; };
  e->SetSkinData(&sd);
  Show(other);
  EXPECT_EQ(e->Font()->Color(), TColor(0x000011));
  MoveTo(e, 20, 5);
  EXPECT_EQ(e->Font()->Color(), TColor(0x002200));
  // From the text area onto the frame the pointer stays on the edit.
  TPoint f = ScreenAt(e, 1, 1);
  headless::MoveMouse(f.x, f.y);
  Pump();
  EXPECT_TRUE(e->MouseIn());
  EXPECT_EQ(enters, 1);
  MoveTo(other, 5, 5);
  EXPECT_EQ(e->Font()->Color(), TColor(0x000011));
  EXPECT_EQ(leaves, 1);

  e->SetFocus();
  Pump();
  EXPECT_EQ(e->Font()->Color(), TColor(0x002200));
  MoveTo(e, 20, 5);
  MoveTo(other, 5, 5);
  EXPECT_EQ(e->Font()->Color(), TColor(0x002200));  // focused stays active
  other->SetFocus();
  Pump();
  EXPECT_EQ(e->Font()->Color(), TColor(0x000011));
  e->SetSkinData(nullptr);
}

// ---- painting ----

TEST_F(SkinEditTest, ADisabledSkinnedEditShowsItsTextInTheDisabledColour) {
  TkxSkinData sd(nullptr);
  skinlint::LoadGeneratedSkin(0, sd);
  auto* r = dynamic_cast<TkxDataSkinEditControl*>(sd.CtrlList[size_t(sd.GetControlIndex("edit"))].get());
  ASSERT_NE(r, nullptr);
  r->FontName = kTestBoxFontName;
  r->FontHeight = -10;
  r->FontColor = r->ActiveFontColor = 0x00FF00;
  r->DisabledFontColor = 0x0000FF;
  auto* e = NewEdit<TkxSkinEdit>(10, 10, 120, 20);
  e->SetText("WWWW");
  e->SetSkinData(&sd);
  auto* other = Make<TButton>(form, "other", 10, 60, 80, 24);
  Show(other);
  EXPECT_GT(CountColour(e, 0x00FF00), 40);
  EXPECT_EQ(CountColour(e, 0x0000FF), 0);
  e->SetEnabled(false);
  Pump();
  EXPECT_EQ(CountColour(e, 0x00FF00), 0);
  EXPECT_GT(CountColour(e, 0x0000FF), 40);
  e->SetSkinData(nullptr);
}

TEST_F(SkinEditTest, OutsideSendersGetTheFramePaintedIntoTheirDC) {
  auto* e = NewEdit<TkxSkinEdit>(10, 10, 100, 20);
  e->SetDefaultColor(clYellow);
  Show(nullptr);
  TBitmap b;
  b.SetSize(100, 20);
  b.Canvas()->Brush()->SetColor(clLime);
  b.Canvas()->FillRect(TRect{0, 0, 100, 20});
  auto dc = reinterpret_cast<WPARAM>(b.Canvas()->Handle());
  EXPECT_EQ(SendMessage(e->Handle(), KXM_PAINTNCTODC, dc, 0), KX_PAINTNCTODC_ANSWER);
  EXPECT_EQ(b.Canvas()->Pixels(0, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(b.Canvas()->Pixels(50, 10), ColorToRGB(clYellow));  // the text area included

  b.Canvas()->FillRect(TRect{0, 0, 100, 20});
  EXPECT_NE(SendMessage(e->Handle(), KXM_PAINTTODC, dc, 0), kxPaintToDCKey);
  EXPECT_EQ(b.Canvas()->Pixels(0, 10), ColorToRGB(clLime));
  EXPECT_EQ(SendMessage(e->Handle(), KXM_PAINTTODC, dc, kxPaintToDCKey), kxPaintToDCKey);
  EXPECT_EQ(b.Canvas()->Pixels(0, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(b.Canvas()->Pixels(50, 10), ColorToRGB(clLime));  // the text area left out
}

// ---- streaming and skin changes ----

TEST_F(SkinEditTest, EditsReadFromAFormDescriptionKeepTheirOwnLock) {
  RegisterSkinDataFormClasses();
  const std::string text =
      "object Form1: TForm\n"
      "  object kxSkinData1: TkxSkinData\n"
      "  end\n"
      "  object edOut: TkxSkinEdit\n"
      "    Left = 10\n"
      "    Top = 10\n"
      "    Width = 350\n"
      "    Height = 18\n"
      "    ReadOnly = True\n"
      "    ButtonMode = True\n"
      "    SkinData = kxSkinData1\n"
      "    SkinDataName = 'buttonedit'\n"
      "    UseSkinFont = True\n"
      "    Text = '/home/user/输出'\n"
      "  end\n"
      "  object num: TkxSkinNumEdit\n"
      "    EditorEnabled = False\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(owner.get());
  ReadFormDescription(f, text, "main.dfm");
  auto* e = dynamic_cast<TkxSkinEdit*>(f->FindComponent("edOut"));
  auto* n = dynamic_cast<TkxSkinNumEdit*>(f->FindComponent("num"));
  ASSERT_TRUE(e && n);
  EXPECT_TRUE(e->ReadOnly());
  EXPECT_TRUE(e->ButtonMode());
  EXPECT_EQ(e->SkinDataName(), "buttonedit");
  EXPECT_EQ(e->SkinData(), f->FindComponent("kxSkinData1"));
  EXPECT_EQ(e->Text(), "/home/user/输出");
  EXPECT_FALSE(n->EditorEnabled());
  f->Show();
  Pump();
  EXPECT_FALSE(GetWindowLongPtr(e->Handle(), GWL_STYLE) & ES_READONLY);
  e->SetFocus();
  Type(U"x");
  EXPECT_EQ(e->Text(), "/home/user/输出");
  // The form goes with its focused edit: the edit's window going hands the focus to the form
  // while its controls go, and the screen forgets the form too.
  delete f;
  EXPECT_EQ(Screen->ActiveControl(), nullptr);
}

TEST_F(SkinEditTest, TheSkinChangeWalkReskinsEdits) {
  TkxSkinData sd(nullptr);
  auto* e = NewEdit<TkxSkinEdit>(10, 10, 150, 30);
  e->SetSkinData(&sd);
  Show(nullptr);
  EXPECT_EQ(e->SkinIndex(), -1);
  EXPECT_EQ(e->Height(), 30);
  skinlint::LoadGeneratedSkin(0, sd);
  TkxVelara::ChangeControlsSkinData(&sd, form);
  auto* r = sd.CtrlList[size_t(sd.GetControlIndex("edit"))].get();
  EXPECT_GE(e->SkinIndex(), 0);
  EXPECT_EQ(e->Height(), r->SkinRect.bottom - r->SkinRect.top);
  EXPECT_EQ(e->ClientRect().bottom, RectHeight(e->EditRect()));
  sd.ClearSkin();
  TkxVelara::ChangeControlsSkinData(&sd, form);
  EXPECT_EQ(e->SkinIndex(), -1);
  EXPECT_EQ(e->EditRect(), (TRect{2, 2, 148, e->Height() - 2}));
  e->SetSkinData(nullptr);
}

}  // namespace
