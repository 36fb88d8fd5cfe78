// TCustomEdit, TCustomMemo and the memo's lines over the standard edit window.
#include "classlib/EditCtrls.h"

#include <algorithm>
#include <cwctype>

#include "base/Text.h"
#include "classlib/Clipbrd.h"

using namespace win;

namespace {

std::string WithCase(const std::string& Text, TEditCharCase Case) {
  if (Case == ecNormal) return Text;
  std::string out;
  for (size_t i = 0; i < Text.size();) {
    size_t len = 1;
    char32_t c = Utf8DecodeAt(Text, i, &len);
    i += std::max<size_t>(len, 1);
    if (c <= 0xFFFF) c = char32_t(Case == ecUpperCase ? std::towupper(wint_t(c)) : std::towlower(wint_t(c)));
    Utf8Append(out, c);
  }
  return out;
}

WNDPROC EditClassProc() {
  InitStandardControls();
  WNDCLASS wc;
  GetClassInfo(nullptr, "EDIT", &wc);
  return wc.lpfnWndProc;
}

}  // namespace

// ---- TCustomEdit ------------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = TControlStyle{csClickEvents, csSetCaption, csDoubleClicks};
  FWidth = 121;
  FHeight = 21;
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FBrush->SetColor(FColor);
  FCursor = crIBeam;
}

TCustomEdit::~TCustomEdit() {
  // The window goes while this is still an edit, so the edit's own state goes with it.
  DestroyWindowHandle();
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style |= ES_AUTOHSCROLL;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
  if (FReadOnly) Params.Style |= ES_READONLY;
  if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
  else if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
  Params.Style |= FAlignment == taRightJustify ? ES_RIGHT : FAlignment == taCenter ? ES_CENTER : ES_LEFT;
}

void TCustomEdit::CreateWindowHandle(const TCreateParams& Params) {
  FDefWndProc = EditClassProc();
  TWinControl::CreateWindowHandle(Params);
}

void TCustomEdit::CreateWnd() {
  FCreating = true;
  try {
    TWinControl::CreateWnd();
  } catch (...) {
    FCreating = false;
    throw;
  }
  FCreating = false;
  SendSettings();
  Perform(EM_SETMODIFY, FModified ? 1 : 0, 0);
}

void TCustomEdit::SendSettings() {
  if (!FHandle) return;
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
  Perform(EM_LIMITTEXT, WPARAM(std::max(0, FMaxLength)), 0);
  Perform(EM_SETPASSWORDCHAR, WPARAM(FPasswordChar), 0);
}

void TCustomEdit::DestroyWnd() {
  if (FHandle) {
    FText = GetText();
    FModified = Perform(EM_GETMODIFY, 0, 0) != 0;
  }
  TWinControl::DestroyWnd();
}

void TCustomEdit::PaintWindow(HDC DC) {
  // The edit paints itself; a DC handed in is painted into, as WM_PAINT with a DC does.
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(m);
}

std::string TCustomEdit::GetText() {
  if (!FHandle) return FText;
  LRESULT len = Perform(WM_GETTEXTLENGTH, 0, 0);
  if (len <= 0) return std::string();
  std::string buf(size_t(len) + 1, '\0');
  LRESULT n = Perform(WM_GETTEXT, WPARAM(buf.size()), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(size_t(std::clamp<LRESULT>(n, 0, len)));
  return buf;
}

void TCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXT: case WM_GETTEXTLENGTH:
      if (FHandle) {
        DefaultHandler(Message);
        return;
      }
      break;
    case WM_PAINT:
      // The edit paints itself (into the DC of wParam when one comes); painting through
      // PaintHandler lets a descendant's PaintWindow take over.
      PaintHandler(Message);
      return;
    case WM_ERASEBKGND:
      DefaultHandler(Message);
      return;
    case CN_CTLCOLOREDIT: case CN_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      SetTextColor(dc, ColorToRGB(FFont->Color()));
      SetBkColor(dc, ColorToRGB(FBrush->Color()));
      Message.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
      return;
    }
    case CN_COMMAND:
      if (HIWORD(Message.WParam) == EN_CHANGE && !FCreating) Change();
      return;
    case WM_SETTEXT:
      TWinControl::Dispatch(Message);
      // Without a window the text is kept here, in the case the window would give it.
      if (!FHandle) FText = WithCase(FText, FCharCase);
      return;
    case CM_TEXTCHANGED:
      TWinControl::Dispatch(Message);
      // With a window the edit reports its changes itself (EN_CHANGE).
      if (!FHandle && !ComponentState().Contains(csLoading)) Change();
      return;
    case CM_FONTCHANGED:
      TWinControl::Dispatch(Message);
      if (FHandle) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 1);
      return;
    case CM_ENABLEDCHANGED:
      TWinControl::Dispatch(Message);
      return;
  }
  TWinControl::Dispatch(Message);
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::DoEnter() {
  // Entering by the keyboard selects everything; a click places the caret where it lands.
  if (FAutoSelect && !(GetKeyState(VK_LBUTTON) < 0)) SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  RecreateWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (Value == FCharCase) return;
  FCharCase = Value;
  RecreateWnd();
  // The text already there takes the new case too.
  if (FHandle && Value != ecNormal) {
    std::string t = GetText();
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str()));
  } else if (!FHandle) {
    FText = WithCase(FText, Value);
  }
}

void TCustomEdit::SetHideSelection(bool Value) {
  if (Value == FHideSelection) return;
  FHideSelection = Value;
  RecreateWnd();
}

void TCustomEdit::SetMaxLength(int32_t Value) {
  FMaxLength = std::max(0, Value);
  if (FHandle) Perform(EM_LIMITTEXT, WPARAM(FMaxLength), 0);
}

void TCustomEdit::SetReadOnly(bool Value) {
  if (Value == FReadOnly) return;
  FReadOnly = Value;
  if (FHandle) Perform(EM_SETREADONLY, Value ? 1 : 0, 0);
}

void TCustomEdit::SetPasswordChar(uint32_t Value) {
  if (Value == FPasswordChar) return;
  FPasswordChar = Value;
  if (FHandle) {
    Perform(EM_SETPASSWORDCHAR, WPARAM(Value), 0);
    Invalidate();
  }
}

bool TCustomEdit::Modified() {
  if (FHandle) FModified = Perform(EM_GETMODIFY, 0, 0) != 0;
  return FModified;
}

void TCustomEdit::SetModified(bool Value) {
  FModified = Value;
  if (FHandle) Perform(EM_SETMODIFY, Value ? 1 : 0, 0);
}

int32_t TCustomEdit::SelStart() {
  DWORD s = 0, e = 0;
  Handle();
  Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return int32_t(s);
}

void TCustomEdit::SetSelStart(int32_t Value) {
  Handle();
  Perform(EM_SETSEL, WPARAM(std::max(0, Value)), LPARAM(std::max(0, Value)));
}

int32_t TCustomEdit::SelLength() {
  DWORD s = 0, e = 0;
  Handle();
  Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return int32_t(e - s);
}

void TCustomEdit::SetSelLength(int32_t Value) {
  int32_t s = SelStart();
  Perform(EM_SETSEL, WPARAM(s), LPARAM(std::max(0, s + Value)));
}

std::string TCustomEdit::SelText() {
  DWORD s = 0, e = 0;
  Handle();
  Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return Utf8Copy(GetText(), s, e - s);
}

void TCustomEdit::SetSelText(const std::string& Value) {
  Handle();
  Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

bool TCustomEdit::CanUndo() { return FHandle && Perform(EM_CANUNDO, 0, 0) != 0; }
void TCustomEdit::Undo() {
  if (FHandle) Perform(WM_UNDO, 0, 0);
}
void TCustomEdit::ClearUndo() {
  if (FHandle) Perform(EM_EMPTYUNDOBUFFER, 0, 0);
}
void TCustomEdit::Clear() { SetText(std::string()); }
void TCustomEdit::ClearSelection() {
  Handle();
  Perform(WM_CLEAR, 0, 0);
}
void TCustomEdit::CopyToClipboard() {
  Handle();
  Perform(WM_COPY, 0, 0);
}
void TCustomEdit::CutToClipboard() {
  Handle();
  Perform(WM_CUT, 0, 0);
}
void TCustomEdit::PasteFromClipboard() {
  Handle();
  Perform(WM_PASTE, 0, 0);
}
void TCustomEdit::SelectAll() {
  Handle();
  Perform(EM_SETSEL, 0, -1);
}

// ---- TMemoStrings -----------------------------------------------------------------------------

int32_t TMemoStrings::Count() const {
  HWND h = FMemo->Handle();
  auto n = int32_t(SendMessage(h, EM_GETLINECOUNT, 0, 0));
  // The empty line after a final line break is not a line of its own.
  if (n > 0 && LineLength(LineStart(n - 1)) == 0) --n;
  return n;
}

size_t TMemoStrings::LineStart(int32_t Index) const {
  LRESULT r = SendMessage(FMemo->Handle(), EM_LINEINDEX, WPARAM(Index), 0);
  return r < 0 ? size_t(0) : size_t(r);
}

size_t TMemoStrings::LineLength(size_t Start) const {
  return size_t(SendMessage(FMemo->Handle(), EM_LINELENGTH, WPARAM(Start), 0));
}

std::string TMemoStrings::Get(int32_t Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  size_t start = LineStart(Index), len = LineLength(start);
  if (len == 0) return std::string();
  // EM_GETLINE takes the buffer's size in its first word.
  size_t cap = std::min<size_t>(len * 4 + 1, 0xFFFF);
  std::string buf(std::max<size_t>(cap, sizeof(WORD)), '\0');
  *reinterpret_cast<WORD*>(buf.data()) = WORD(cap);
  LRESULT n = SendMessage(FMemo->Handle(), EM_GETLINE, WPARAM(Index), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(size_t(std::max<LRESULT>(0, n)));
  return buf;
}

void TMemoStrings::Put(int32_t Index, const std::string& S) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  size_t start = LineStart(Index), len = LineLength(start);
  HWND h = FMemo->Handle();
  SendMessage(h, EM_SETSEL, WPARAM(start), LPARAM(start + len));
  SendMessage(h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(S.c_str()));
}

int32_t TMemoStrings::AddObject(const std::string& S, TObject*) {
  HWND h = FMemo->Handle();
  auto lines = int32_t(SendMessage(h, EM_GETLINECOUNT, 0, 0));
  size_t start = LineStart(std::max(0, lines - 1)), len = LineLength(start);
  std::string ins = S + "\r\n";
  // Text that does not end with a line break gets one first.
  if (len > 0) ins = "\r\n" + ins;
  SendMessage(h, EM_SETSEL, WPARAM(start + len), LPARAM(start + len));
  SendMessage(h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(ins.c_str()));
  return len > 0 ? lines : lines - 1;
}

void TMemoStrings::Insert(int32_t Index, const std::string& S) {
  int32_t n = Count();
  if (Index < 0 || Index > n) IndexError(Index);
  if (Index == n) {
    AddObject(S, nullptr);
    return;
  }
  size_t start = LineStart(Index);
  HWND h = FMemo->Handle();
  SendMessage(h, EM_SETSEL, WPARAM(start), LPARAM(start));
  std::string ins = S + "\r\n";
  SendMessage(h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(ins.c_str()));
}

void TMemoStrings::Delete(int32_t Index) {
  int32_t n = Count();
  if (Index < 0 || Index >= n) IndexError(Index);
  HWND h = FMemo->Handle();
  size_t start = LineStart(Index);
  size_t end;
  auto visual = int32_t(SendMessage(h, EM_GETLINECOUNT, 0, 0));
  if (Index + 1 < visual) {
    end = LineStart(Index + 1);
  } else {
    end = start + LineLength(start);
  }
  SendMessage(h, EM_SETSEL, WPARAM(start), LPARAM(end));
  SendMessage(h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
}

void TMemoStrings::Clear() { FMemo->SetText(std::string()); }

// ---- TCustomMemo ------------------------------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
  FWidth = 185;
  FHeight = 89;
  FAutoSelect = false;
}

TCustomMemo::~TCustomMemo() { DestroyWindowHandle(); }

void TCustomMemo::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
  if (FWordWrap) Params.Style &= ~DWORD(ES_AUTOHSCROLL);
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if ((FScrollBars == ssHorizontal || FScrollBars == ssBoth) && !FWordWrap) Params.Style |= WS_HSCROLL;
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (Value == FScrollBars) return;
  FScrollBars = Value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  RecreateWnd();
}

void TCustomMemo::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    TCustomEdit::Dispatch(Message);
    if (FWantTabs) Message.Result |= DLGC_WANTTAB;
    else Message.Result &= ~DLGC_WANTTAB;
    if (!FWantReturns) Message.Result &= ~DLGC_WANTALLKEYS;
    return;
  }
  TCustomEdit::Dispatch(Message);
}

// ---- TLabelEditor ------------------------------------------------------------------------------

void TLabelEditor::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_WANTSPECIALKEY:
      if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) {
        Message.Result = 1;
        return;
      }
      break;
    case WM_GETDLGCODE:
      TEdit::Dispatch(Message);
      Message.Result |= DLGC_WANTALLKEYS;
      return;
    case WM_KILLFOCUS:
      TEdit::Dispatch(Message);
      Finish(true);
      return;
  }
  TEdit::Dispatch(Message);
}

void TLabelEditor::KeyDown(WORD& Key, TShiftState Shift) {
  TEdit::KeyDown(Key, Shift);
  if (Key == VK_RETURN || Key == VK_ESCAPE) {
    const bool accept = Key == VK_RETURN;
    Key = 0;
    Finish(accept);
  }
}

void TLabelEditor::KeyPress(uint32_t& Key) {
  if (Key == '\r' || Key == 27) {  // already handled as keys
    Key = 0;
    return;
  }
  TEdit::KeyPress(Key);
}
