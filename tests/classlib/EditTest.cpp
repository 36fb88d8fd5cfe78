// The edit and the memo on the headless backend with injected input: typing, selecting with the
// keyboard and the mouse, the clipboard and undo, limits and case, the colour question, the
// one-line edit with ES_MULTILINE, the caret's blinking, and the memo's lines.
#include "base/Exception.h"
#include "classlib/Clipbrd.h"
#include "classlib/EditCtrls.h"
#include "classlib/ListBoxes.h"
#include "tests/classlib/ControlTestFixture.h"

using namespace ctltest;

namespace {

// Box font: Latin characters 5 pixels wide, Chinese ones 10, lines 10 high.
void UseBoxFont(TControl* c) {
  c->Font()->SetName(kTestBoxFontName);
  c->Font()->SetHeight(-10);
}

void Chord(int mod, int vk) {
  headless::KeyDown(mod);
  headless::PressKey(vk);
  headless::KeyUp(mod);
}

void TypeText(const std::u32string& s) {
  for (char32_t c : s) headless::TypeChar(c);
}

// An edit as the skins make it: ES_MULTILINE on a one-line edit so that Enter and Escape come
// as characters.
struct OneLineMultiEdit : TEdit {
  using TEdit::TEdit;
  void CreateParams(TCreateParams& p) override {
    TEdit::CreateParams(p);
    p.Style |= ES_MULTILINE;
  }
};

// An edit whose answer to the colour question is "transparent": text only.
struct TransparentEdit : TEdit {
  using TEdit::TEdit;
  void Dispatch(TMessage& m) override {
    if (m.Msg == CN_CTLCOLOREDIT) {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(255, 0, 0));
      m.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      return;
    }
    TEdit::Dispatch(m);
  }
};

class EditTest : public ControlTest {
protected:
  TEdit* NewEdit(TForm* f, const std::string& name = "e", int y = 10) {
    auto* e = Make<TEdit>(f, name, 10, y, 104, 24);
    UseBoxFont(e);
    return e;
  }
  // Client x of the boundary before character `n` of a Latin text (margin 1).
  static int LatinX(int n) { return 1 + 5 * n; }
};

TEST_F(EditTest, TypingSelectingClipboardAndUndoCountCodePoints) {
  TForm* f = NewForm(100, 100, 300, 100);
  TEdit* e = NewEdit(f);
  int changes = 0;
  e->OnChange = [&](TObject*) { ++changes; };
  f->Show();
  e->SetFocus();
  Pump();
  ASSERT_TRUE(e->Focused());

  TypeText(U"ab中文c");
  Pump();
  EXPECT_EQ(e->Text(), "ab中文c");
  EXPECT_EQ(e->SelStart(), 5);
  EXPECT_EQ(changes, 5);

  // Shift+Left twice selects the last two characters, a Chinese one among them.
  headless::KeyDown(VK_SHIFT);
  headless::PressKey(VK_LEFT);
  headless::PressKey(VK_LEFT);
  headless::KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(e->SelStart(), 3);
  EXPECT_EQ(e->SelLength(), 2);
  EXPECT_EQ(e->SelText(), "文c");

  Chord(VK_CONTROL, 'X');
  Pump();
  EXPECT_EQ(e->Text(), "ab中");
  EXPECT_EQ(Clipboard()->AsText(), "文c");
  EXPECT_TRUE(e->CanUndo());

  headless::PressKey(VK_HOME);
  Chord(VK_CONTROL, 'V');
  Pump();
  EXPECT_EQ(e->Text(), "文cab中");
  EXPECT_EQ(e->SelStart(), 2);

  Chord(VK_CONTROL, 'Z');
  Pump();
  EXPECT_EQ(e->Text(), "ab中");
  Chord(VK_CONTROL, 'Z');  // undoing the undo brings the paste back
  Pump();
  EXPECT_EQ(e->Text(), "文cab中");

  // Characters typed one after another undo together, replacing a selection included.
  Chord(VK_CONTROL, 'A');
  TypeText(U"新的");
  Chord(VK_CONTROL, 'Z');
  Pump();
  EXPECT_EQ(e->Text(), "文cab中");
  headless::PressKey(VK_END);
  TypeText(U"xy");
  headless::PressKey(VK_HOME);
  TypeText(U"z");
  Chord(VK_CONTROL, 'Z');  // typing elsewhere started a new step
  Pump();
  EXPECT_EQ(e->Text(), "文cab中xy");
  e->SetText("文cab中");

  // Backspace removes one whole code point.
  headless::PressKey(VK_END);
  headless::PressKey(VK_BACK);
  Pump();
  EXPECT_EQ(e->Text(), "文cab");

  // Ctrl+A, Ctrl+C copies everything; Delete clears the selection.
  Chord(VK_CONTROL, 'A');
  Chord(VK_CONTROL, 'C');
  headless::PressKey(VK_DELETE);
  Pump();
  EXPECT_EQ(Clipboard()->AsText(), "文cab");
  EXPECT_EQ(e->Text(), "");
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  Clipboard()->Clear();
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
}

TEST_F(EditTest, MouseSelectsByDraggingAndShiftClickExtends) {
  TForm* f = NewForm(100, 100, 300, 100);
  TEdit* e = NewEdit(f);
  e->SetText("abcdef");
  f->Show();
  Pump();
  MoveTo(e, LatinX(1), 5);
  headless::ButtonDown();
  MoveTo(e, LatinX(4), 5);
  headless::ButtonUp();
  Pump();
  EXPECT_TRUE(e->Focused());
  EXPECT_EQ(e->SelStart(), 1);
  EXPECT_EQ(e->SelText(), "bcd");

  ClickAt(e, LatinX(5), 5);
  EXPECT_EQ(e->SelStart(), 5);
  EXPECT_EQ(e->SelLength(), 0);
  headless::KeyDown(VK_SHIFT);
  ClickAt(e, LatinX(2) + 1, 5);
  headless::KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(e->SelText(), "cde");

  // A click past the end of a Chinese text lands after its last character, not inside it.
  e->SetText("中文字");
  clock.Advance(1000);  // no double click
  ClickAt(e, 1 + 10 + 4, 5);  // just left of the middle of the second character
  EXPECT_EQ(e->SelStart(), 1);
  clock.Advance(1000);
  ClickAt(e, 1 + 10 + 6, 5);
  EXPECT_EQ(e->SelStart(), 2);
}

TEST_F(EditTest, MaxLengthAndCharCaseShapeWhatIsTypedAndPasted) {
  TForm* f = NewForm(100, 100, 300, 100);
  TEdit* e = NewEdit(f);
  f->Show();
  e->SetFocus();
  e->SetMaxLength(4);
  TypeText(U"abcdef");
  Pump();
  EXPECT_EQ(e->Text(), "abcd");

  e->SetText("ab");
  e->SetSelStart(2);
  Clipboard()->SetAsText("中文xyz");
  e->PasteFromClipboard();
  EXPECT_EQ(e->Text(), "ab中文");  // four code points, whatever their bytes

  e->SetMaxLength(0);
  e->SetText("");
  e->SetCharCase(ecUpperCase);
  TypeText(U"aB中");
  Pump();
  EXPECT_EQ(e->Text(), "AB中");
  e->SetCharCase(ecLowerCase);  // the text already there follows
  EXPECT_EQ(e->Text(), "ab中");
  Clipboard()->SetAsText("XyZ");
  e->SetSelStart(3);  // setting the text put the caret at the start
  e->PasteFromClipboard();
  EXPECT_EQ(e->Text(), "ab中xyz");

  // Read-only: typing and pasting change nothing, copying still works.
  e->SetCharCase(ecNormal);
  e->SetReadOnly(true);
  TypeText(U"q");
  e->SelectAll();
  e->PasteFromClipboard();
  e->CopyToClipboard();
  Pump();
  EXPECT_EQ(e->Text(), "ab中xyz");
  EXPECT_EQ(Clipboard()->AsText(), "ab中xyz");

  // A password edit never gives its text away.
  e->SetReadOnly(false);
  e->SetPasswordChar('*');
  e->SelectAll();
  e->CopyToClipboard();
  e->CutToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), "ab中xyz");
  EXPECT_EQ(e->Text(), "ab中xyz");
}

TEST_F(EditTest, TransparentColourAnswerDrawsTextOnly) {
  TForm* f = NewForm(100, 100, 300, 100);
  auto* plain = NewEdit(f);
  auto* clear = Make<TransparentEdit>(f, "t", 10, 40, 104, 24);
  UseBoxFont(clear);
  plain->SetText("W");
  clear->SetText("W");
  f->Show();
  Pump();
  plain->SetSelStart(0);  // the focused edit selected its text on entry
  // Paint each into a blue memory DC through WM_PAINT with a DC.
  auto paint = [](TWinControl* c) {
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 100;
    bi.bmiHeader.biHeight = -20;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT r{0, 0, 100, 20};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &r, blue);
    DeleteObject(blue);
    SendMessage(c->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    // A 20-pixel client: the line of 10 sits 5 pixels down, its first box from x 1 to 4.
    COLORREF empty = GetPixel(dc, 60, 8), ink = GetPixel(dc, 3, 8);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return std::pair<COLORREF, COLORREF>(empty, ink);
  };
  auto [plainEmpty, plainInk] = paint(plain);
  EXPECT_EQ(plainEmpty, ColorToRGB(clWindow));
  EXPECT_EQ(plainInk, ColorToRGB(clWindowText));
  auto [clearEmpty, clearInk] = paint(clear);
  EXPECT_EQ(clearEmpty, RGB(0, 0, 255));  // the background stays
  EXPECT_EQ(clearInk, RGB(255, 0, 0));    // the text is drawn in the colour answered
}

TEST_F(EditTest, OneLineEditWithMultilineStyleScrollsAndTurnsEnterAndEscapeIntoChars) {
  TForm* f = NewForm(100, 100, 300, 100);
  auto* e = Make<OneLineMultiEdit>(f, "m", 10, 10, 54, 24);  // 50 client pixels: 9 characters
  UseBoxFont(e);
  std::vector<uint32_t> chars;
  e->OnKeyPress = [&](TObject*, uint32_t& k) { chars.push_back(k); };
  f->Show();
  e->SetFocus();
  Pump();
  TypeText(U"0123456789abcdefghij");
  Pump();
  HWND h = e->Handle();
  EXPECT_EQ(SendMessage(h, EM_GETLINECOUNT, 0, 0), 1);
  // Scrolled: the first character is off to the left and the caret is inside the box.
  LRESULT first = SendMessage(h, EM_POSFROMCHAR, 0, 0);
  LRESULT caret = SendMessage(h, EM_POSFROMCHAR, 20, 0);
  EXPECT_LT(GET_X_LPARAM(first), 0);
  EXPECT_GE(GET_X_LPARAM(caret), 0);
  EXPECT_LT(GET_X_LPARAM(caret), 50);
  EXPECT_EQ(GET_Y_LPARAM(first), GET_Y_LPARAM(caret));
  headless::PressKey(VK_HOME);
  Pump();
  EXPECT_EQ(GET_X_LPARAM(SendMessage(h, EM_POSFROMCHAR, 0, 0)), 1);

  // Margins and a formatting rectangle move where the text starts.
  SendMessage(h, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(6, 0));
  EXPECT_EQ(GET_X_LPARAM(SendMessage(h, EM_POSFROMCHAR, 0, 0)), 6);
  RECT fmt{20, 0, 45, 20};
  SendMessage(h, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&fmt));
  EXPECT_EQ(SendMessage(h, EM_POSFROMCHAR, 0, 0), MAKELONG(20, 0));
  EXPECT_EQ(LOWORD(SendMessage(h, EM_CHARFROMPOS, 0, MAKELPARAM(20 + 5 * 3 + 1, 5))), 3);
  SendMessage(h, EM_SETRECTNP, 0, 0);
  SendMessage(h, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(1, 0));

  chars.clear();
  headless::PressKey(VK_RETURN);
  headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(chars, (std::vector<uint32_t>{'\r', 27}));
  EXPECT_EQ(e->Text(), "0123456789abcdefghij");
  // Pasted or set line breaks never make a second line.
  e->SetText("");
  Clipboard()->SetAsText("a\r\nb\nc");
  e->PasteFromClipboard();
  EXPECT_EQ(e->Text(), "abc");
  e->SetText("x\r\ny");
  EXPECT_EQ(e->Text(), "xy");
}

TEST_F(EditTest, CaretBlinksOnTheLayersTimerAndAutoSelectOnEntry) {
  TForm* f = NewForm(100, 100, 300, 100);
  TEdit* e = NewEdit(f);
  auto* other = NewEdit(f, "other", 50);
  e->SetText("hello");
  f->Show();
  other->SetFocus();
  Pump();
  // Entering by the keyboard selects everything.
  headless::KeyDown(VK_SHIFT);
  headless::PressKey(VK_TAB);
  headless::KeyUp(VK_SHIFT);
  Pump();
  ASSERT_TRUE(e->Focused());
  EXPECT_EQ(e->SelLength(), 5);
  headless::PressKey(VK_END);
  Pump();
  // The caret: a one-pixel line in the text colour after the five characters (the sunken
  // frame is 2 pixels, the margin 1), shown, then hidden after one blink, then shown again.
  HWND h = e->Handle();
  auto caretInk = [&] { return Rgb(headless::PixelAt(h, 2 + 1 + 25, 2 + 5)) == Px(clWindowText); };
  EXPECT_TRUE(caretInk());
  clock.Advance(kCaretBlinkMs);
  Pump();
  EXPECT_FALSE(caretInk());
  clock.Advance(kCaretBlinkMs);
  Pump();
  EXPECT_TRUE(caretInk());
  // Without the focus the caret is gone and the timer stops.
  other->SetFocus();
  Pump();
  EXPECT_FALSE(caretInk());
}

TEST_F(EditTest, HideSelectionHidesTheSelectionOnlyWithoutTheFocus) {
  TForm* f = NewForm(100, 100, 300, 100);
  TEdit* hide = NewEdit(f, "hide", 10);
  TEdit* keep = NewEdit(f, "keep", 40);
  keep->SetHideSelection(false);
  for (TEdit* e : {hide, keep}) {
    e->SetAutoSelect(false);
    e->SetText("abcdef");
  }
  f->Show();
  Pump();
  auto highlighted = [&](TEdit* e) {
    LRESULT at = SendMessage(e->Handle(), EM_POSFROMCHAR, 1, 0);
    // The gap after the first selected box (boxes 4 of every 5 pixels).
    return Rgb(headless::PixelAt(e->Handle(), 2 + GET_X_LPARAM(at) + 4, 2 + GET_Y_LPARAM(at) + 1)) == Px(clHighlight);
  };
  for (TEdit* e : {hide, keep}) {
    e->SetFocus();
    e->SetSelStart(1);
    e->SetSelLength(3);
    Pump();
    EXPECT_TRUE(highlighted(e)) << e->Name();
  }
  // The focus is in `keep` now.
  EXPECT_FALSE(highlighted(hide));
  EXPECT_TRUE(highlighted(keep));
  EXPECT_EQ(hide->SelText(), "bcd");  // hidden, not lost
}

TEST_F(EditTest, MemoLinesWrapAndBadIndexesChangeNothing) {
  TForm* f = NewForm(100, 100, 300, 200);
  auto* m = Make<TMemo>(f, "memo", 10, 10, 104, 64);  // 100 x 60 client: 19 characters, 6 lines
  UseBoxFont(m);
  f->Show();
  Pump();
  TStrings* lines = m->Lines();
  lines->Add("first");
  lines->Add("第二行");
  lines->Add("third");
  EXPECT_EQ(lines->Count(), 3);
  EXPECT_EQ(m->Text(), "first\r\n第二行\r\nthird\r\n");
  EXPECT_EQ(lines->Get(1), "第二行");
  lines->Insert(1, "inserted");
  lines->Delete(0);
  lines->Put(2, "THIRD");
  EXPECT_EQ(m->Text(), "inserted\r\n第二行\r\nTHIRD\r\n");

  std::string before = m->Text();
  EXPECT_THROW(lines->Get(3), EListError);
  EXPECT_THROW(lines->Delete(-1), EListError);
  EXPECT_THROW(lines->Insert(5, "x"), EListError);
  EXPECT_THROW(lines->Put(7, "x"), EListError);
  EXPECT_EQ(m->Text(), before);

  // A long line wraps at a blank into lines that fit.
  lines->Clear();
  lines->Add("aaaa bbbb cccc dddd eeee ffff");
  EXPECT_EQ(lines->Count(), 2);
  EXPECT_EQ(lines->Get(0), "aaaa bbbb cccc dddd ");  // the blank stays on the line it ends
  EXPECT_EQ(lines->Get(1), "eeee ffff");
  // Chinese text breaks between any two characters.
  lines->Clear();
  lines->Add("一二三四五六七八九十一二");
  EXPECT_EQ(lines->Count(), 2);
  EXPECT_EQ(lines->Get(0), "一二三四五六七八九");

  // Enter makes a new line; many lines scroll so the caret stays in view.
  m->SetFocus();
  m->SetText("");
  for (int i = 0; i < 10; ++i) {
    TypeText(U"x");
    headless::PressKey(VK_RETURN);
  }
  Pump();
  HWND h = m->Handle();
  EXPECT_EQ(SendMessage(h, EM_GETLINECOUNT, 0, 0), 11);
  EXPECT_EQ(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0), 5);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(h, SB_VERT, &si);
  EXPECT_EQ(si.nMax, 10);
  EXPECT_EQ(si.nPage, 6u);
  EXPECT_EQ(si.nPos, 5);
}

TEST_F(EditTest, MemoScrollBarArrowsTrackAndThumb) {
  TForm* f = NewForm(100, 100, 300, 200);
  auto* m = Make<TMemo>(f, "memo", 10, 10, 121, 64);  // client 100 x 60 beside a 17-pixel bar
  UseBoxFont(m);
  m->SetScrollBars(ssVertical);
  f->Show();
  Pump();
  for (int i = 0; i < 20; ++i) m->Lines()->Add("line " + std::to_string(i));
  Pump();
  HWND h = m->Handle();
  auto top = [&] { return int(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0)); };
  EXPECT_EQ(top(), 15);  // 21 lines with the empty one after the last break, 6 in view
  EXPECT_EQ(m->ClientWidth(), 100);
  // A point of the bar in window coordinates (the frame is 2 pixels).
  auto at = [&](int wx, int wy) { return m->ClientToScreen(TPoint{wx - 2, wy - 2}); };
  auto click = [&](int wx, int wy) {
    clock.Advance(1000);
    TPoint p = at(wx, wy);
    headless::Click(p.x, p.y);
    Pump();
  };
  click(110, 5);  // the up arrow
  EXPECT_EQ(top(), 14);
  click(110, 20);  // the track above the thumb: a page up
  EXPECT_EQ(top(), 8);
  click(110, 57);  // the down arrow
  EXPECT_EQ(top(), 9);
  // Dragging the thumb to the top of the track, then to the bottom.
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(h, SB_VERT, &si);
  EXPECT_EQ(si.nPos, 9);
  int track = 60 - 2 * 17, len = std::max(8, track * 6 / 21);
  int thumbTop = 2 + 17 + (track - len) * 9 / 15;
  TPoint grab = at(110, thumbTop + 2);
  headless::MoveMouse(grab.x, grab.y);
  headless::ButtonDown();
  TPoint up = at(110, 0);
  headless::MoveMouse(up.x, up.y);
  Pump();
  EXPECT_EQ(top(), 0);
  TPoint down = at(110, 100);
  headless::MoveMouse(down.x, down.y);
  headless::ButtonUp();
  Pump();
  EXPECT_EQ(top(), 15);
  EXPECT_EQ(GetCapture(), nullptr);
}

// The plain looks together: an edit with a selection, a memo and a list box, composed by the
// headless backend into plain-looks.png in the build folder for a person to look at.
TEST_F(EditTest, PlainLooksPicture) {
  TForm* f = NewForm(0, 0, 360, 150);
  f->SetColor(clBtnFace);
  auto* e = Make<TEdit>(f, "edit", 10, 10, 160, 22);
  e->SetText("输出文件 output.avi");
  auto* m = Make<TMemo>(f, "memo", 10, 42, 160, 98);
  m->SetScrollBars(ssVertical);
  m->Lines()->Add("#1.32: Stream #0:0: Video: mpeg4");
  m->Lines()->Add("转换完成 — a long line that wraps onto the next one");
  for (int i = 3; i <= 8; ++i) m->Lines()->Add("line " + std::to_string(i));
  SendMessage(m->Handle(), EM_LINESCROLL, 0, -100);
  auto* lb = Make<TListBox>(f, "list", 180, 10, 170, 130);
  for (const char* s : {"AVI 视频", "MP4 视频", "WMV 视频", "MP3 音频", "FLV", "3GP"}) lb->Items()->Add(s);
  f->Show();
  e->SetFocus();
  Pump();
  e->SetSelStart(5);
  e->SetSelLength(6);
  lb->SetItemIndex(2);
  Pump();
  std::string path = std::string(OMBREL_TEST_BUILD_DIR) + "/plain-looks.png";
  ASSERT_TRUE(headless::SaveScreenPng(path));
  // The sunken frame's outer shadow, the window colour inside, the selections' highlight.
  HWND eh = e->Handle();
  EXPECT_EQ(Rgb(headless::PixelAt(eh, 0, 10)), Px(clBtnShadow));
  EXPECT_EQ(Rgb(headless::PixelAt(eh, 150, 10)), Px(clWindow));
  LRESULT at = SendMessage(eh, EM_POSFROMCHAR, 5, 0);  // client coordinates; the frame is 2
  EXPECT_EQ(Rgb(headless::PixelAt(eh, 2 + GET_X_LPARAM(at) + 1, 2 + GET_Y_LPARAM(at) + 1)), Px(clHighlight));
  TRect item = lb->ItemRect(2);
  EXPECT_EQ(Rgb(headless::PixelAt(lb->Handle(), 2 + item.right - 3, 2 + item.top + 1)), Px(clHighlight));
}

}  // namespace
