// The standard edit window class "EDIT": text storage in code points, caret and its blinking,
// selection by mouse and keyboard, the clipboard, a single-level undo, one line scrolled
// horizontally or (with ES_MULTILINE and ES_AUTOVSCROLL) many lines, word-wrapped unless
// ES_AUTOHSCROLL or WS_HSCROLL asks for horizontal scrolling.
//
// ES_MULTILINE alone keeps one visible line: the skins set it on single-line edits only so that
// Enter and Escape arrive as WM_CHAR. Such an edit never takes a line break, typed, pasted or set.
#include <algorithm>
#include <cctype>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "base/Text.h"
#include "platform/Gdi.h"
#include "platform/StdControls.h"

namespace win {

namespace {

constexpr const char* kEditProp = "OmbrelEdit";
constexpr size_t kNoLimit = 0x7FFFFFFE;

std::u32string Decode(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    size_t len = 1;
    out.push_back(Utf8DecodeAt(s, i, &len));
    i += std::max<size_t>(len, 1);
  }
  return out;
}

std::string Encode(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t c : s) Utf8Append(out, c);
  return out;
}

bool IsSpace(char32_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0x3000; }
// Characters after which a line may break on its own (CJK ideographs, kana, full-width forms).
bool IsBreakAnywhere(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}
bool IsWordChar(char32_t c) { return !IsSpace(c) && !(c < 0x80 && std::ispunct(int(c))); }

struct VisualLine {
  size_t start = 0, end = 0;  // end excludes the line break
  int width = 0;              // in pixels, measured when lines do not wrap
};

struct Undo {
  size_t pos = 0;
  std::u32string removed;
  size_t inserted = 0;
  size_t anchor = 0, caret = 0;  // the selection before the change
};

struct Edit {
  HWND h = nullptr;
  std::u32string text;
  size_t anchor = 0, caret = 0;
  size_t limit = kNoLimit;
  HFONT font = nullptr;
  int marginL = 1, marginR = 1;
  bool fmtSet = false;
  RECT fmt{};
  int scrollX = 0;
  int topLine = 0;
  bool canUndo = false;
  bool undoTyping = false;  // the undo record holds characters typed one after another
  Undo undo;
  bool modified = false, focused = false, caretOn = false, tracking = false;
  char32_t passwordChar = 0;
  HDC measure = nullptr;
  std::vector<VisualLine> lines;
  bool layoutDirty = true;
  size_t dirtyFrom = std::u32string::npos;
  int layoutWidth = -1;
  DWORD layoutStyle = 0;
  int preferredX = -1;  // kept while moving up and down

  ~Edit() {
    if (measure) DeleteDC(measure);
  }

  DWORD Style() const { return DWORD(GetWindowLongPtr(h, GWL_STYLE)); }
  bool Multi() const {
    DWORD s = Style();
    return (s & ES_MULTILINE) && (s & ES_AUTOVSCROLL);
  }
  bool Wrap() const { return Multi() && !(Style() & (ES_AUTOHSCROLL | WS_HSCROLL)); }
  bool ReadOnly() const { return Style() & ES_READONLY; }

  HDC Measure() {
    if (!measure) measure = CreateCompatibleDC(nullptr);
    SelectObject(measure, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    return measure;
  }
  // What is drawn for the characters [a, b): the password character in a password edit.
  std::string Shown(size_t a, size_t b) const {
    if (b <= a) return std::string();
    if (passwordChar) return Encode(std::u32string(b - a, passwordChar));
    return Encode(std::u32string_view(text).substr(a, b - a));
  }
  int Width(size_t a, size_t b) {
    if (b <= a) return 0;
    std::string s = Shown(a, b);
    SIZE sz{};
    GetTextExtentPoint32(Measure(), s.data(), int(s.size()), &sz);
    return sz.cx;
  }
  int LineHeight() {
    TEXTMETRIC tm{};
    GetTextMetrics(Measure(), &tm);
    return std::max<int>(1, tm.tmHeight);
  }
  RECT Format() {
    if (fmtSet) return fmt;
    RECT r{};
    GetClientRect(h, &r);
    r.left += marginL;
    r.right -= marginR;
    if (r.right < r.left) r.right = r.left;
    return r;
  }

  // ---- layout ----
  // Lines are laid out again from the logical line holding the first change, so appending to
  // a long text costs only its last line.
  void MarkDirty(size_t pos) { dirtyFrom = std::min(dirtyFrom, pos); }
  void Layout() {
    RECT f = Format();
    int w = std::max<int>(1, f.right - f.left);
    DWORD st = Style() & (ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_HSCROLL);
    if (st != layoutStyle || (Wrap() && w != layoutWidth)) layoutDirty = true;
    if (!layoutDirty && dirtyFrom == std::u32string::npos) return;
    size_t from = layoutDirty ? 0 : dirtyFrom;
    layoutDirty = false;
    dirtyFrom = std::u32string::npos;
    layoutWidth = w;
    layoutStyle = st;
    if (!Multi()) {
      lines.assign(1, VisualLine{0, text.size()});
      return;
    }
    size_t keep = 0;
    if (from > 0 && !lines.empty()) {
      size_t li = size_t(std::upper_bound(lines.begin(), lines.end(), from,
                                          [](size_t p, const VisualLine& l) { return p < l.start; }) - lines.begin());
      li = li > 0 ? li - 1 : 0;
      while (li > 0 && !(lines[li].start <= text.size() && text[lines[li].start - 1] == '\n')) --li;
      keep = li;
    }
    size_t s = keep < lines.size() ? lines[keep].start : 0;
    if (keep == 0) s = 0;
    lines.resize(keep);
    LayoutFrom(s, w);
  }
  void LayoutFrom(size_t s, int w) {
    bool wrap = Wrap();
    size_t n = text.size();
    while (true) {
      size_t e = s;
      while (e < n && text[e] != '\n' && !(text[e] == '\r' && e + 1 < n && text[e + 1] == '\n')) ++e;
      size_t brk = e;  // logical line [s, brk)
      int whole = Width(s, brk);
      if (!wrap || whole <= w) {
        lines.push_back({s, brk, whole});
      } else {
        size_t a = s;
        while (a < brk) {
          // The longest part that fits, at least one character.
          size_t lo = a + 1, hi = brk;
          while (lo < hi) {
            size_t mid = (lo + hi + 1) / 2;
            if (Width(a, mid) <= w) lo = mid;
            else hi = mid - 1;
          }
          size_t cut = lo;
          if (cut < brk) {
            // Trailing blanks stay on the line; otherwise break after the last blank or
            // between characters that may break anywhere.
            size_t sp = cut;
            while (sp < brk && text[sp] == ' ') ++sp;
            if (sp > cut) cut = sp;
            else {
              size_t b = cut;
              while (b > a && !IsSpace(text[b - 1]) && !IsBreakAnywhere(text[b - 1]) && !IsBreakAnywhere(text[b])) --b;
              if (b > a) cut = b;
            }
          }
          lines.push_back({a, cut, 0});
          a = cut;
        }
      }
      if (e >= n) break;
      s = e + (text[e] == '\r' ? 2 : 1);
      if (s >= n) {
        lines.push_back({n, n, 0});
        break;
      }
    }
  }
  int LineOf(size_t pos) {
    Layout();
    int lo = 0, hi = int(lines.size()) - 1;
    while (lo < hi) {
      int mid = (lo + hi + 1) / 2;
      if (lines[size_t(mid)].start <= pos) lo = mid;
      else hi = mid - 1;
    }
    // A position at a wrap point belongs to the next line, except at the end of a logical line.
    return lo;
  }
  // The top of the first line: a single line sits in the middle of the client area unless a
  // formatting rectangle places it.
  int TextTop() {
    RECT f = Format();
    if (Multi() || fmtSet) return f.top;
    return f.top + std::max(0, (int(f.bottom - f.top) - LineHeight()) / 2);
  }
  int VisibleLines() {
    RECT f = Format();
    return std::max(1, int(f.bottom - f.top) / LineHeight());
  }
  // Offset of a line's text from the formatting rectangle's left, by alignment.
  int AlignOffset(const VisualLine& l) {
    DWORD s = Style() & (ES_CENTER | ES_RIGHT);
    if (s == ES_LEFT) return 0;
    RECT f = Format();
    int free = int(f.right - f.left) - Width(l.start, l.end);
    if (free <= 0) return 0;
    return s == ES_RIGHT ? free - 1 : free / 2;
  }
  POINT PosOf(size_t pos) {
    Layout();
    RECT f = Format();
    int li = LineOf(pos);
    const VisualLine& l = lines[size_t(li)];
    size_t p = std::min(pos, l.end);
    int x = f.left + AlignOffset(l) + Width(l.start, p) - scrollX;
    int y = TextTop() + (li - (Multi() ? topLine : 0)) * LineHeight();
    return POINT{x, y};
  }
  size_t HitInLine(int li, int x) {
    const VisualLine& l = lines[size_t(li)];
    RECT f = Format();
    int target = x - f.left - AlignOffset(l) + scrollX;
    size_t lo = l.start, hi = l.end;
    while (lo < hi) {
      size_t mid = (lo + hi) / 2;
      int a = Width(l.start, mid), b = Width(l.start, mid + 1);
      if (target < (a + b + 1) / 2) hi = mid;
      else lo = mid + 1;
    }
    return lo;
  }
  size_t Hit(int x, int y) {
    Layout();
    int li = 0;
    if (Multi()) {
      int dy = y - TextTop();
      li = topLine + (dy < 0 ? -1 : dy / LineHeight());
      li = std::clamp(li, 0, int(lines.size()) - 1);
    }
    return HitInLine(li, x);
  }

  // ---- visibility of the caret and the scroll state ----
  void UpdateScrollInfo() {
    if (!Multi()) return;
    Layout();
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    si.nMin = 0;
    si.nMax = std::max(0, int(lines.size()) - 1);
    si.nPage = UINT(VisibleLines());
    si.nPos = topLine;
    SCROLLINFO before;
    before.fMask = SIF_ALL;
    GetScrollInfo(h, SB_VERT, &before);
    bool changed = before.nMax != si.nMax || before.nPage != si.nPage || before.nPos != si.nPos;
    SetScrollInfo(h, SB_VERT, &si, FALSE);
    if (!Wrap()) {
      // Horizontal: the widest line in pixels against the formatting rectangle's width.
      int widest = 0;
      for (const VisualLine& l : lines) widest = std::max(widest, l.width);
      RECT f = Format();
      SCROLLINFO hz;
      hz.fMask = SIF_ALL;
      hz.nMax = std::max(0, widest);
      hz.nPage = UINT(std::max<LONG>(1, f.right - f.left));
      hz.nPos = scrollX;
      GetScrollInfo(h, SB_HORZ, &before);
      changed = changed || before.nMax != hz.nMax || before.nPage != hz.nPage || before.nPos != hz.nPos;
      SetScrollInfo(h, SB_HORZ, &hz, FALSE);
    }
    if (changed) detail::RedrawScrollBars(h);
  }
  void EnsureCaretVisible() {
    Layout();
    RECT f = Format();
    int fw = std::max<int>(1, f.right - f.left);
    int li = LineOf(caret);
    if (Multi()) {
      int vis = VisibleLines();
      if (li < topLine) topLine = li;
      else if (li >= topLine + vis) topLine = li - vis + 1;
      topLine = std::clamp(topLine, 0, std::max(0, int(lines.size()) - 1));
    }
    if (Wrap()) {
      scrollX = 0;
    } else {
      const VisualLine& l = lines[size_t(li)];
      int x = AlignOffset(l) + Width(l.start, std::min(caret, l.end));
      if (x - scrollX >= fw) scrollX = x - fw + 1 + fw / 4;
      else if (x < scrollX) scrollX = std::max(0, x - fw / 4);
      int widest = Multi() ? x : Width(l.start, l.end) + 1;
      if (!Multi()) scrollX = std::min(scrollX, std::max(0, widest - fw));
      scrollX = std::max(0, scrollX);
    }
    UpdateScrollInfo();
    POINT p = PosOf(caret);
    SetCaretPos(p.x, p.y);
  }
  void Redraw() {
    caretOn = focused;
    if (focused) SetTimer(h, kEditCaretTimer, kCaretBlinkMs, nullptr);  // restarts the blink
    InvalidateRect(h, nullptr, TRUE);
  }
  void Notify(WORD code) {
    HWND parent = GetParent(h);
    if (!parent) return;
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(WORD(GetWindowLongPtr(h, GWLP_ID)), code), reinterpret_cast<LPARAM>(h));
  }

  // ---- positions ----
  // Never inside a CR LF pair.
  size_t Clamp(size_t p) const {
    p = std::min(p, text.size());
    if (p > 0 && p < text.size() && text[p - 1] == '\r' && text[p] == '\n') --p;
    return p;
  }
  size_t Next(size_t p) const {
    if (p >= text.size()) return text.size();
    if (text[p] == '\r' && p + 1 < text.size() && text[p + 1] == '\n') return p + 2;
    return p + 1;
  }
  size_t Prev(size_t p) const {
    if (p == 0) return 0;
    if (p >= 2 && text[p - 1] == '\n' && text[p - 2] == '\r') return p - 2;
    return p - 1;
  }
  size_t WordLeft(size_t p) const {
    while (p > 0 && !IsWordChar(text[p - 1])) --p;
    while (p > 0 && IsWordChar(text[p - 1])) --p;
    return p;
  }
  size_t WordRight(size_t p) const {
    size_t n = text.size();
    while (p < n && IsWordChar(text[p])) ++p;
    while (p < n && !IsWordChar(text[p]) && text[p] != '\r' && text[p] != '\n') ++p;
    return p;
  }
  size_t SelMin() const { return std::min(anchor, caret); }
  size_t SelMax() const { return std::max(anchor, caret); }

  // ---- changes ----
  std::u32string Prepare(std::u32string s) {
    std::u32string out;
    out.reserve(s.size());
    bool multi = Multi();
    for (size_t i = 0; i < s.size(); ++i) {
      char32_t c = s[i];
      if (c == '\r' || c == '\n') {
        if (!multi) continue;  // a one-line edit never holds a line break
        if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
        out += U"\r\n";
        continue;
      }
      if (c == 0) continue;
      DWORD st = Style();
      if ((st & ES_UPPERCASE) && c <= 0xFFFF) c = char32_t(std::towupper(wint_t(c)));
      else if ((st & ES_LOWERCASE) && c <= 0xFFFF) c = char32_t(std::towlower(wint_t(c)));
      out.push_back(c);
    }
    return out;
  }
  // Replaces the selection; false when nothing changed.
  // `typing`: one typed character; characters typed one after another undo together.
  bool ReplaceSel(std::u32string ins, bool recordUndo, bool limited = true, bool typing = false) {
    ins = Prepare(std::move(ins));
    size_t s = SelMin(), t = SelMax();
    if (limited) {
      size_t keep = text.size() - (t - s);
      size_t room = keep >= limit ? 0 : limit - keep;
      if (ins.size() > room) {
        ins.resize(room);
        if (!ins.empty() && ins.back() == '\r') ins.pop_back();  // never half a line break
        Notify(EN_MAXTEXT);
      }
    }
    if (ins.empty() && s == t) return false;
    if (recordUndo && typing && undoTyping && canUndo && s == t && s == undo.pos + undo.inserted) {
      undo.inserted += ins.size();
    } else if (recordUndo) {
      undo.pos = s;
      undo.removed = text.substr(s, t - s);
      undo.inserted = ins.size();
      undo.anchor = anchor;
      undo.caret = caret;
      canUndo = true;
    }
    if (recordUndo) undoTyping = typing;
    text.replace(s, t - s, ins);
    anchor = caret = s + ins.size();
    MarkDirty(s);
    Changed();
    return true;
  }
  void Changed() {
    modified = true;
    preferredX = -1;
    EnsureCaretVisible();
    Redraw();
    Notify(EN_UPDATE);
    Notify(EN_CHANGE);
  }
  void DoUndo() {
    if (!canUndo) return;
    size_t pos = std::min(undo.pos, text.size());
    size_t ins = std::min(undo.inserted, text.size() - pos);
    std::u32string back = text.substr(pos, ins);
    text.replace(pos, ins, undo.removed);
    MarkDirty(pos);
    Undo redo{pos, back, undo.removed.size(), anchor, caret};
    undoTyping = false;
    anchor = Clamp(undo.anchor);
    caret = Clamp(undo.caret);
    undo = std::move(redo);
    Changed();
  }
  void Copy() {
    if (passwordChar || anchor == caret) return;
    SetClipboardText(Encode(std::u32string_view(text).substr(SelMin(), SelMax() - SelMin())));
  }
  void Paste() {
    if (ReadOnly()) return;
    std::string clip = GetClipboardText();
    if (!clip.empty()) ReplaceSel(Decode(clip), true);
  }
  void Clear() {
    if (ReadOnly() || anchor == caret) return;
    ReplaceSel(std::u32string(), true);
  }
  void SetText(std::string_view utf8) {
    text = Prepare(Decode(utf8));
    anchor = caret = 0;
    scrollX = 0;
    topLine = 0;
    canUndo = false;
    layoutDirty = true;
    EnsureCaretVisible();
    Redraw();
    Notify(EN_UPDATE);
    Notify(EN_CHANGE);
    modified = false;
  }
  void MoveCaret(size_t p, bool extend) {
    caret = Clamp(p);
    if (!extend) anchor = caret;
    EnsureCaretVisible();
    Redraw();
  }

  // ---- input ----
  void KeyDown(WPARAM vk) {
    bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    auto vertical = [&](int lines_) {
      Layout();
      int li = LineOf(caret);
      if (preferredX < 0) preferredX = PosOf(caret).x;
      int target = std::clamp(li + lines_, 0, int(lines.size()) - 1);
      int keepX = preferredX;
      size_t p = HitInLine(target, preferredX);
      MoveCaret(p, shift);
      preferredX = keepX;
    };
    switch (vk) {
      case VK_LEFT:
        if (!shift && anchor != caret) MoveCaret(SelMin(), false);
        else MoveCaret(ctrl ? WordLeft(caret) : Prev(caret), shift);
        preferredX = -1;
        break;
      case VK_RIGHT:
        if (!shift && anchor != caret) MoveCaret(SelMax(), false);
        else MoveCaret(ctrl ? WordRight(caret) : Next(caret), shift);
        preferredX = -1;
        break;
      case VK_HOME:
        if (ctrl || !Multi()) MoveCaret(0, shift);
        else MoveCaret(lines[size_t(LineOf(caret))].start, shift);
        preferredX = -1;
        break;
      case VK_END:
        if (ctrl || !Multi()) MoveCaret(text.size(), shift);
        else MoveCaret(lines[size_t(LineOf(caret))].end, shift);
        preferredX = -1;
        break;
      case VK_UP: if (Multi()) vertical(-1); break;
      case VK_DOWN: if (Multi()) vertical(1); break;
      case VK_PRIOR: if (Multi()) vertical(-VisibleLines()); break;
      case VK_NEXT: if (Multi()) vertical(VisibleLines()); break;
      case VK_DELETE:
        if (shift) {
          Copy();
          Clear();
        } else if (!ReadOnly()) {
          if (anchor == caret) caret = ctrl ? WordRight(caret) : Next(caret);
          ReplaceSel(std::u32string(), true);
        }
        break;
      case VK_INSERT:
        if (ctrl) Copy();
        else if (shift) Paste();
        break;
    }
  }
  void Char(char32_t c) {
    switch (c) {
      case 0x01:  // Ctrl+A
        anchor = 0;
        MoveCaret(text.size(), true);
        return;
      case 0x03: Copy(); return;    // Ctrl+C
      case 0x16: Paste(); return;   // Ctrl+V
      case 0x18:                    // Ctrl+X
        if (passwordChar) return;
        Copy();
        Clear();
        return;
      case 0x1A: if (!ReadOnly()) DoUndo(); return;  // Ctrl+Z
      case 0x08:
        if (ReadOnly()) return;
        if (anchor == caret) {
          if (caret == 0) return;
          anchor = caret;
          caret = Prev(caret);
        }
        ReplaceSel(std::u32string(), true);
        return;
      case '\r': case '\n':
        if (Multi() && !ReadOnly()) ReplaceSel(U"\r\n", true);
        return;
      case '\t':
        if (Multi() && !ReadOnly()) ReplaceSel(U"\t", true);
        return;
    }
    if (c < 0x20 || c == 0x7F) return;
    if (ReadOnly()) {
      MessageBeep(0);
      return;
    }
    if ((Style() & ES_NUMBER) && !(c >= '0' && c <= '9')) {
      MessageBeep(0);
      return;
    }
    ReplaceSel(std::u32string(1, c), true, true, true);
  }

  // ---- painting ----
  void Paint(HDC dc) {
    RECT cr{};
    GetClientRect(h, &cr);
    bool enabled = IsWindowEnabled(h);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetBkMode(dc, OPAQUE);
    HBRUSH brush = nullptr;
    if (HWND parent = GetParent(h))
      brush = reinterpret_cast<HBRUSH>(SendMessage(parent, (ReadOnly() || !enabled) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                                                   reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)));
    // The parent may answer "transparent" (TRANSPARENT background and the null brush): text only.
    bool transparent = brush == GetStockObject(NULL_BRUSH) || GetBkMode(dc) == TRANSPARENT;
    if (!brush) brush = GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE);
    if (!transparent) FillRect(dc, &cr, brush);
    COLORREF textColor = enabled ? GetTextColor(dc) : GetSysColor(COLOR_GRAYTEXT);

    int saved = SaveDC(dc);
    RECT f = Format();
    IntersectClipRect(dc, f.left, f.top, f.right, f.bottom);
    HGDIOBJ oldFont = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    Layout();
    int lh = LineHeight();
    bool showSel = anchor != caret && (focused || (Style() & ES_NOHIDESEL));
    size_t s0 = SelMin(), s1 = SelMax();
    int first = Multi() ? topLine : 0;
    int last = Multi() ? std::min(int(lines.size()), first + VisibleLines() + 1) : 1;
    for (int li = first; li < last; ++li) {
      const VisualLine& l = lines[size_t(li)];
      int x0 = f.left + AlignOffset(l) - scrollX;
      int y = TextTop() + (li - first) * lh;
      auto draw = [&](size_t a, size_t b, COLORREF color) {
        if (b <= a) return;
        std::string s = Shown(a, b);
        SetTextColor(dc, color);
        TextOut(dc, x0 + Width(l.start, a), y, s.data(), int(s.size()));
      };
      size_t a = std::clamp(s0, l.start, l.end), b = std::clamp(s1, l.start, l.end);
      if (showSel && s0 <= l.end && s1 >= l.start && (a < b || (s1 > l.end && l.end < text.size()))) {
        RECT sr{x0 + Width(l.start, a), y, x0 + Width(l.start, b), y + lh};
        if (s1 > l.end && Multi()) sr.right += 3;  // the selected line break shows
        FillRect(dc, &sr, GetSysColorBrush(COLOR_HIGHLIGHT));
        draw(l.start, a, textColor);
        draw(a, b, GetSysColor(COLOR_HIGHLIGHTTEXT));
        draw(b, l.end, textColor);
      } else {
        draw(l.start, l.end, textColor);
      }
    }
    if (focused && caretOn) {
      POINT p = PosOf(caret);
      HBRUSH cb = CreateSolidBrush(textColor);
      RECT r{p.x, p.y, p.x + 1, p.y + lh};
      FillRect(dc, &r, cb);
      DeleteObject(cb);
    }
    SelectObject(dc, oldFont);
    RestoreDC(dc, saved);
  }
};

Edit* StateOf(HWND h) { return static_cast<Edit*>(GetProp(h, kEditProp)); }

// A thumb position: 16 bits in the message, completed from the scroll info when a sender set
// the whole value there first.
int ThumbPos(HWND h, int bar, WPARAM wp) {
  int pos = HIWORD(wp);
  SCROLLINFO si;
  si.fMask = SIF_POS;
  if (GetScrollInfo(h, bar, &si) && (si.nPos & 0xFFFF) == pos) pos = si.nPos;
  return pos;
}

LRESULT EditProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Edit* e = StateOf(h);
  if (!e) {
    if (msg == WM_NCDESTROY) return DefWindowProc(h, msg, wp, lp);
    e = new Edit;
    e->h = h;
    SetProp(h, kEditProp, e);
    if (GetWindowLongPtr(h, GWL_STYLE) & ES_PASSWORD) e->passwordChar = '*';
    if (msg == WM_NCCREATE && lp) {
      auto* cs = reinterpret_cast<const CREATESTRUCT*>(lp);
      if (cs->lpszName) e->text = e->Prepare(Decode(cs->lpszName));
    }
  }
  switch (msg) {
    case WM_NCDESTROY:
      RemoveProp(h, kEditProp);
      if (e->focused) DestroyCaret();
      delete e;
      return DefWindowProc(h, msg, wp, lp);
    case WM_SETTEXT:
      e->SetText(lp ? reinterpret_cast<const char*>(lp) : "");
      return TRUE;
    case WM_GETTEXT: {
      if (!lp || wp == 0) return 0;
      std::string s = Encode(e->text);
      std::string cut = Utf8TruncateBytes(s, size_t(wp) - 1);
      std::copy(cut.begin(), cut.end(), reinterpret_cast<char*>(lp));
      reinterpret_cast<char*>(lp)[cut.size()] = 0;
      return LRESULT(cut.size());
    }
    case WM_GETTEXTLENGTH: {
      LRESULT n = 0;
      for (char32_t c : e->text) n += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
      return n;
    }
    case WM_SETFONT:
      e->font = reinterpret_cast<HFONT>(wp);
      e->layoutDirty = true;
      e->EnsureCaretVisible();
      if (LOWORD(lp)) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(e->font);
    case WM_SIZE: case WM_STYLECHANGED:
      e->layoutDirty = true;
      e->EnsureCaretVisible();
      InvalidateRect(h, nullptr, TRUE);
      return DefWindowProc(h, msg, wp, lp);
    case WM_ENABLE:
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
      if (e->Style() & ES_MULTILINE) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT) {
        SetCursor(LoadCursor(nullptr, IDC_IBEAM));
        return TRUE;
      }
      return DefWindowProc(h, msg, wp, lp);

    // ---- selection ----
    case EM_GETSEL: {
      auto s = DWORD(e->SelMin()), t = DWORD(e->SelMax());
      if (wp) *reinterpret_cast<DWORD*>(wp) = s;
      if (lp) *reinterpret_cast<DWORD*>(lp) = t;
      return LRESULT(MAKELONG(WORD(std::min<DWORD>(s, 0xFFFF)), WORD(std::min<DWORD>(t, 0xFFFF))));
    }
    case EM_SETSEL: {
      auto s = intptr_t(wp), t = intptr_t(lp);
      if (s == -1) {
        e->anchor = e->caret;  // only removes the selection
      } else {
        size_t n = e->text.size();
        e->anchor = e->Clamp(size_t(std::min<intptr_t>(std::max<intptr_t>(s, 0), intptr_t(n))));
        e->caret = e->Clamp(t < 0 ? n : size_t(std::min<intptr_t>(t, intptr_t(n))));
      }
      e->preferredX = -1;
      e->EnsureCaretVisible();
      e->Redraw();
      return 0;
    }
    case EM_REPLACESEL: {
      std::string s = lp ? reinterpret_cast<const char*>(lp) : "";
      if (!e->ReplaceSel(Decode(s), wp != 0)) e->EnsureCaretVisible();
      return 0;
    }
    case EM_LIMITTEXT:
      e->limit = wp == 0 ? kNoLimit : std::min<size_t>(size_t(wp), kNoLimit);
      return 0;
    case EM_GETLIMITTEXT: return LRESULT(e->limit);
    case EM_CANUNDO: return e->canUndo ? TRUE : FALSE;
    case EM_EMPTYUNDOBUFFER:
      e->canUndo = false;
      return 0;
    case EM_UNDO: case WM_UNDO:
      if (!e->canUndo) return FALSE;
      e->DoUndo();
      return TRUE;
    case EM_GETMODIFY: return e->modified ? TRUE : FALSE;
    case EM_SETMODIFY:
      e->modified = wp != 0;
      return 0;
    case EM_SETREADONLY: {
      LONG_PTR s = GetWindowLongPtr(h, GWL_STYLE);
      SetWindowLongPtr(h, GWL_STYLE, wp ? (s | ES_READONLY) : (s & ~LONG_PTR(ES_READONLY)));
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case EM_SETPASSWORDCHAR:
      e->passwordChar = char32_t(wp);
      e->layoutDirty = true;
      e->EnsureCaretVisible();
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case EM_GETPASSWORDCHAR: return LRESULT(e->passwordChar);
    case EM_SETMARGINS: {
      int l = LOWORD(lp), r = HIWORD(lp);
      if (wp == EC_USEFONTINFO) {
        l = r = 2;
        wp = EC_LEFTMARGIN | EC_RIGHTMARGIN;
      }
      if (wp & EC_LEFTMARGIN) e->marginL = l;
      if (wp & EC_RIGHTMARGIN) e->marginR = r;
      e->layoutDirty = true;
      e->EnsureCaretVisible();
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    }
    case EM_GETMARGINS: return LRESULT(MAKELONG(WORD(e->marginL), WORD(e->marginR)));
    case EM_SETRECT: case EM_SETRECTNP:
      if (lp) {
        e->fmt = *reinterpret_cast<const RECT*>(lp);
        e->fmtSet = true;
      } else {
        e->fmtSet = false;
      }
      e->layoutDirty = true;
      e->EnsureCaretVisible();
      if (msg == EM_SETRECT) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case EM_GETRECT:
      if (lp) *reinterpret_cast<RECT*>(lp) = e->Format();
      return 0;
    case EM_GETLINECOUNT: e->Layout(); return LRESULT(e->lines.size());
    case EM_GETFIRSTVISIBLELINE: return e->Multi() ? e->topLine : 0;
    case EM_LINEFROMCHAR:
      return e->LineOf(intptr_t(wp) < 0 ? e->SelMin() : std::min(size_t(wp), e->text.size()));
    case EM_LINEINDEX: {
      e->Layout();
      intptr_t li = intptr_t(wp) < 0 ? e->LineOf(e->caret) : intptr_t(wp);
      if (li >= intptr_t(e->lines.size())) return -1;
      return LRESULT(e->lines[size_t(li)].start);
    }
    case EM_LINELENGTH: {
      if (intptr_t(wp) < 0 || size_t(wp) > e->text.size()) return 0;
      const VisualLine& l = e->lines[size_t(e->LineOf(size_t(wp)))];
      return LRESULT(l.end - l.start);
    }
    case EM_GETLINE: {
      e->Layout();
      if (wp >= e->lines.size() || !lp) return 0;
      const VisualLine& l = e->lines[wp];
      auto* buf = reinterpret_cast<char*>(lp);
      size_t max = *reinterpret_cast<const WORD*>(buf);
      std::string s = Utf8TruncateBytes(Encode(std::u32string_view(e->text).substr(l.start, l.end - l.start)), max);
      std::copy(s.begin(), s.end(), buf);
      return LRESULT(s.size());
    }
    case EM_POSFROMCHAR: {
      if (wp > e->text.size()) return -1;
      POINT p = e->PosOf(size_t(wp));
      return LRESULT(MAKELONG(WORD(SHORT(p.x)), WORD(SHORT(p.y))));
    }
    case EM_CHARFROMPOS: {
      size_t p = e->Hit(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return LRESULT(MAKELONG(WORD(std::min<size_t>(p, 0xFFFF)), WORD(e->LineOf(p))));
    }
    case EM_LINESCROLL:
      if (e->Multi()) {
        e->Layout();
        e->topLine = std::clamp(e->topLine + int(intptr_t(lp)), 0, std::max(0, int(e->lines.size()) - 1));
        e->UpdateScrollInfo();
        InvalidateRect(h, nullptr, TRUE);
      }
      return TRUE;
    case EM_SCROLLCARET:
      e->EnsureCaretVisible();
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    case WM_VSCROLL: {
      if (!e->Multi()) return 0;
      e->Layout();
      int vis = e->VisibleLines(), top = e->topLine;
      switch (LOWORD(wp)) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= vis; break;
        case SB_PAGEDOWN: top += vis; break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = int(e->lines.size()); break;
        case SB_THUMBPOSITION: case SB_THUMBTRACK: top = ThumbPos(h, SB_VERT, wp); break;
      }
      e->topLine = std::clamp(top, 0, std::max(0, int(e->lines.size()) - vis));
      e->UpdateScrollInfo();
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    }
    case WM_HSCROLL: {
      if (!e->Multi() || e->Wrap()) return 0;
      e->Layout();
      RECT f = e->Format();
      int page = std::max<int>(1, f.right - f.left), x = e->scrollX, step = std::max(1, e->Width(0, 0) + 8);
      int widest = 0;
      for (const VisualLine& l : e->lines) widest = std::max(widest, l.width);
      switch (LOWORD(wp)) {
        case SB_LINELEFT: x -= step; break;
        case SB_LINERIGHT: x += step; break;
        case SB_PAGELEFT: x -= page; break;
        case SB_PAGERIGHT: x += page; break;
        case SB_LEFT: x = 0; break;
        case SB_RIGHT: x = widest; break;
        case SB_THUMBPOSITION: case SB_THUMBTRACK: x = ThumbPos(h, SB_HORZ, wp); break;
      }
      e->scrollX = std::clamp(x, 0, std::max(0, widest - page + 1));
      e->UpdateScrollInfo();
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    }
    case WM_MOUSEWHEEL:
      if (e->Multi()) {
        int notches = GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;
        SendMessage(h, WM_VSCROLL, notches > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
        for (int i = 1; i < std::abs(notches) * 3; ++i) SendMessage(h, WM_VSCROLL, notches > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
        return 0;
      }
      return DefWindowProc(h, msg, wp, lp);

    // ---- clipboard ----
    case WM_COPY: e->Copy(); return 0;
    case WM_CUT:
      if (!e->passwordChar) {
        e->Copy();
        e->Clear();
      }
      return 0;
    case WM_PASTE: e->Paste(); return 0;
    case WM_CLEAR: e->Clear(); return 0;

    // ---- focus and caret ----
    case WM_SETFOCUS: {
      e->focused = true;
      CreateCaret(h, nullptr, 1, e->LineHeight());
      e->EnsureCaretVisible();
      ShowCaret(h);
      e->Redraw();
      e->Notify(EN_SETFOCUS);
      return 0;
    }
    case WM_KILLFOCUS:
      e->focused = false;
      e->caretOn = false;
      KillTimer(h, kEditCaretTimer);
      DestroyCaret();
      InvalidateRect(h, nullptr, TRUE);
      e->Notify(EN_KILLFOCUS);
      return 0;
    case WM_TIMER:
      if (wp == kEditCaretTimer) {
        if (!e->focused) {
          KillTimer(h, kEditCaretTimer);
          return 0;
        }
        e->caretOn = !e->caretOn;
        POINT p = e->PosOf(e->caret);
        RECT r{p.x - 1, p.y, p.x + 2, p.y + e->LineHeight()};
        InvalidateRect(h, &r, TRUE);
        return 0;
      }
      return DefWindowProc(h, msg, wp, lp);

    // ---- mouse ----
    case WM_LBUTTONDOWN: {
      if (GetFocus() != h) SetFocus(h);
      if (!IsWindow(h) || !StateOf(h)) return 0;
      size_t p = e->Hit(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      e->MoveCaret(p, (wp & MK_SHIFT) != 0);
      e->preferredX = -1;
      e->tracking = true;
      SetCapture(h);
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      size_t p = e->Hit(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      size_t a = p, b = p;
      while (a > 0 && IsWordChar(e->text[a - 1])) --a;
      while (b < e->text.size() && IsWordChar(e->text[b])) ++b;
      e->anchor = a;
      e->MoveCaret(b, true);
      return 0;
    }
    case WM_NCLBUTTONDOWN:
      if (detail::ScrollBarPress(h, wp, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) return 0;
      return DefWindowProc(h, msg, wp, lp);
    case WM_MOUSEMOVE:
      if (detail::ScrollBarTrack(h, msg, lp)) return 0;
      if (e->tracking && (wp & MK_LBUTTON)) {
        size_t p = e->Hit(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        if (p != e->caret) e->MoveCaret(p, true);
      }
      return 0;
    case WM_LBUTTONUP:
      if (detail::ScrollBarTrack(h, msg, lp)) return 0;
      if (e->tracking) {
        e->tracking = false;
        if (GetCapture() == h) ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      e->tracking = false;
      return 0;

    // ---- keyboard ----
    case WM_KEYDOWN:
      e->KeyDown(wp);
      return DefWindowProc(h, msg, wp, lp);
    case WM_CHAR:
      e->Char(char32_t(wp));
      return 0;

    // ---- painting ----
    case WM_NCPAINT: return detail::PaintSunkenFrame(h, wp);
    case WM_ERASEBKGND: return 1;  // the background goes with the text in WM_PAINT
    case WM_PAINT: {
      if (wp) {
        e->Paint(reinterpret_cast<HDC>(wp));
        return 0;
      }
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (dc) e->Paint(dc);
      EndPaint(h, &ps);
      return 0;
    }
  }
  return DefWindowProc(h, msg, wp, lp);
}

}  // namespace

namespace detail {
void RegisterEditClass() {
  WNDCLASS wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = EditProc;
  wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  wc.lpszClassName = "EDIT";
  RegisterClass(&wc);
}
}  // namespace detail

}  // namespace win
