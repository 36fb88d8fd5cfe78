// The standard list box window class "LISTBOX": items with data, sorted insertion, single,
// multiple and extended selection, one or several columns, owner-drawn fixed-height items,
// keyboard navigation with type-ahead, and scroll info kept in the Win32 manner whether or not
// bars are shown: vertical 0..count-1 with the page of whole visible rows and the top index as
// position (0..0 when everything fits), the columns on the horizontal bar when multi-column.
#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "base/Text.h"
#include "platform/Gdi.h"
#include "platform/StdControls.h"

namespace win {

namespace {

constexpr const char* kListProp = "OmbrelListBox";

struct Item {
  std::string text;
  ULONG_PTR data = 0;
  bool sel = false;
};

// Case-insensitive comparison of UTF-8 text by code points (letters of any script folded
// where the C library knows their lower case).
std::u32string Folded(std::string_view s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    size_t len = 1;
    char32_t c = Utf8DecodeAt(s, i, &len);
    i += std::max<size_t>(len, 1);
    if (c <= 0xFFFF) c = char32_t(std::towlower(wint_t(c)));
    out.push_back(c);
  }
  return out;
}

struct ListBox {
  HWND h = nullptr;
  std::vector<Item> items;
  int caret = -1;   // the focused item (the selection in a single-selection list)
  int anchor = -1;  // where an extended selection started
  int top = 0;
  int itemHeight = 0;
  int columnWidth = 0;
  HFONT font = nullptr;
  bool focused = false, tracking = false;
  std::u32string typed;
  uint32_t lastTyped = 0;

  DWORD Style() const { return DWORD(GetWindowLongPtr(h, GWL_STYLE)); }
  bool Multiple() const { return Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL); }
  bool Extended() const { return Style() & LBS_EXTENDEDSEL; }
  bool MultiColumn() const { return Style() & LBS_MULTICOLUMN; }
  bool OwnerDraw() const { return Style() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE); }
  bool HasStrings() const { return !OwnerDraw() || (Style() & LBS_HASSTRINGS); }
  int Count() const { return int(items.size()); }
  bool Valid(intptr_t i) const { return i >= 0 && i < intptr_t(items.size()); }

  int fontHeight = 0;  // the font's line height, measured once per font
  int ItemHeight() {
    if (itemHeight > 0) return itemHeight;
    if (fontHeight > 0) return fontHeight;
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    DeleteDC(dc);
    fontHeight = std::max<int>(1, tm.tmHeight);
    return fontHeight;
  }
  RECT Client() const {
    RECT r{};
    GetClientRect(h, &r);
    return r;
  }
  // Whole rows that fit (at least one).
  int Rows() {
    RECT r = Client();
    return std::max(1, int(r.bottom - r.top) / ItemHeight());
  }
  int ColumnWidth() {
    if (columnWidth > 0) return columnWidth;
    RECT r = Client();
    return std::max(1, int(r.right - r.left));
  }
  int VisibleColumns() {
    RECT r = Client();
    return std::max(1, int(r.right - r.left) / ColumnWidth());
  }
  int PageItems() { return MultiColumn() ? Rows() * VisibleColumns() : Rows(); }
  int MaxTop() {
    if (MultiColumn()) {
      int rows = Rows(), cols = (Count() + rows - 1) / rows;
      return std::max(0, cols - VisibleColumns()) * rows;
    }
    return std::max(0, Count() - Rows());
  }
  void SetTop(int t) {
    t = std::clamp(t, 0, MaxTop());
    if (MultiColumn()) t -= t % Rows();
    if (t == top) return;
    top = t;
    InvalidateRect(h, nullptr, TRUE);
    UpdateScroll();
  }
  void EnsureVisible(int i) {
    if (!Valid(i)) return;
    if (MultiColumn()) {
      int rows = Rows(), col = i / rows, first = top / rows, vis = VisibleColumns();
      if (col < first) SetTop(col * rows);
      else if (col >= first + vis) SetTop((col - vis + 1) * rows);
      return;
    }
    if (i < top) SetTop(i);
    else if (i >= top + Rows()) SetTop(i - Rows() + 1);
  }
  RECT ItemRect(int i) {
    int ih = ItemHeight();
    RECT r = Client();
    if (MultiColumn()) {
      int rows = Rows(), rel = i - top, cw = ColumnWidth();
      int col = rel >= 0 ? rel / rows : -((-rel + rows - 1) / rows);
      int row = rel - col * rows;
      return RECT{col * cw, row * ih, (col + 1) * cw, (row + 1) * ih};
    }
    return RECT{0, (i - top) * ih, r.right, (i - top + 1) * ih};
  }
  // The item at a client point, and whether the point lies outside every item.
  int ItemAt(POINT p, bool* outside) {
    int ih = ItemHeight();
    int i;
    if (MultiColumn()) {
      int col = p.x < 0 ? -1 : p.x / ColumnWidth();
      int row = std::clamp(p.y < 0 ? 0 : p.y / ih, 0, Rows() - 1);
      i = top + col * Rows() + row;
    } else {
      i = top + (p.y < 0 ? -1 : p.y / ih);
    }
    RECT c = Client();
    bool out = !PtInRect(&c, p) || i < 0 || i >= Count();
    if (outside) *outside = out;
    return std::clamp(i, 0, std::max(0, Count() - 1));
  }
  void UpdateScroll() {
    SCROLLINFO v, hz;
    v.fMask = hz.fMask = SIF_ALL;
    int n = Count();
    if (MultiColumn()) {
      int rows = Rows(), cols = (n + rows - 1) / rows, vis = VisibleColumns();
      if (cols > vis) {
        hz.nMax = cols - 1;
        hz.nPage = UINT(vis);
        hz.nPos = top / rows;
      }
    } else {
      int rows = Rows();
      if (n > rows) {
        v.nMax = n - 1;
        v.nPage = UINT(rows);
        v.nPos = top;
      }
    }
    SetScrollInfo(h, SB_VERT, &v, FALSE);
    SetScrollInfo(h, SB_HORZ, &hz, FALSE);
    detail::RedrawScrollBars(h);
  }
  void Notify(WORD code) {
    if (!(Style() & LBS_NOTIFY)) return;
    HWND parent = GetParent(h);
    if (!parent) return;
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(WORD(GetWindowLongPtr(h, GWLP_ID)), code), reinterpret_cast<LPARAM>(h));
  }
  void InvalidateItem(int i) {
    if (!Valid(i)) return;
    RECT r = ItemRect(i);
    InvalidateRect(h, &r, TRUE);
  }

  // ---- contents ----
  int Insert(intptr_t at, LPARAM lp) {
    Item it;
    if (HasStrings()) it.text = lp ? reinterpret_cast<const char*>(lp) : "";
    else it.data = ULONG_PTR(lp);
    int i;
    if (at < 0) {
      if ((Style() & LBS_SORT) && HasStrings()) {
        std::u32string key = Folded(it.text);
        auto pos = std::upper_bound(items.begin(), items.end(), key,
                                    [](const std::u32string& k, const Item& x) { return k < Folded(x.text); });
        i = int(pos - items.begin());
      } else {
        i = Count();
      }
    } else {
      if (at > Count()) return int(LB_ERR);
      i = int(at);
    }
    items.insert(items.begin() + i, std::move(it));
    if (caret >= i) ++caret;
    if (anchor >= i) ++anchor;
    // Only an item that lands on the page changes what shows.
    if (i <= top + PageItems()) InvalidateRect(h, nullptr, TRUE);
    UpdateScroll();
    return i;
  }
  LRESULT Delete(intptr_t i) {
    if (!Valid(i)) return LB_ERR;
    items.erase(items.begin() + i);
    if (caret == int(i)) caret = Multiple() ? std::min(caret, Count() - 1) : -1;
    else if (caret > int(i)) --caret;
    if (anchor == int(i)) anchor = -1;
    else if (anchor > int(i)) --anchor;
    top = std::clamp(top, 0, MaxTop());
    InvalidateRect(h, nullptr, TRUE);
    UpdateScroll();
    return Count();
  }
  void Reset() {
    items.clear();
    caret = anchor = -1;
    top = 0;
    InvalidateRect(h, nullptr, TRUE);
    UpdateScroll();
  }
  int Find(intptr_t start, std::string_view text, bool exact) {
    int n = Count();
    if (n == 0) return int(LB_ERR);
    std::u32string key = Folded(text);
    int from = (start < 0 || start >= n) ? 0 : int(start) + 1;
    for (int k = 0; k < n; ++k) {
      int i = (from + k) % n;
      std::u32string t = Folded(items[size_t(i)].text);
      if (exact ? t == key : t.compare(0, key.size(), key) == 0) return i;
    }
    return int(LB_ERR);
  }

  // ---- selection ----
  // Makes i the only selected item (single selection, or extended without modifiers).
  bool SelectOnly(int i) {
    bool changed = false;
    for (int k = 0; k < Count(); ++k) {
      bool want = k == i;
      if (items[size_t(k)].sel != want) {
        items[size_t(k)].sel = want;
        InvalidateItem(k);
        changed = true;
      }
    }
    return changed;
  }
  bool SelectRange(int a, int b, bool clearOthers) {
    if (a > b) std::swap(a, b);
    bool changed = false;
    for (int k = 0; k < Count(); ++k) {
      bool in = k >= a && k <= b;
      if (!in && !clearOthers) continue;
      if (items[size_t(k)].sel != in) {
        items[size_t(k)].sel = in;
        InvalidateItem(k);
        changed = true;
      }
    }
    return changed;
  }
  void SetCaret(int i) {
    if (i == caret) return;
    InvalidateItem(caret);
    caret = i;
    InvalidateItem(caret);
  }
  // Moves to i as the keyboard or the mouse does, telling the parent when the selection changed.
  void MoveTo(int i, bool shift, bool ctrl, bool fromMouse) {
    if (!Valid(i)) return;
    bool changed = false;
    if (!Multiple()) {
      changed = SelectOnly(i) || caret != i;
    } else if (Extended()) {
      if (shift) {
        if (anchor < 0) anchor = caret < 0 ? i : caret;
        changed = SelectRange(anchor, i, !ctrl);
      } else if (ctrl && fromMouse) {
        items[size_t(i)].sel = !items[size_t(i)].sel;
        InvalidateItem(i);
        anchor = i;
        changed = true;
      } else if (!ctrl) {
        changed = SelectOnly(i);
        anchor = i;
      }
    } else if (fromMouse) {
      items[size_t(i)].sel = !items[size_t(i)].sel;
      InvalidateItem(i);
      changed = true;
    }
    SetCaret(i);
    EnsureVisible(i);
    if (changed) Notify(LBN_SELCHANGE);
  }

  void KeyDown(WPARAM vk) {
    if (Count() == 0) return;
    bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    int cur = caret < 0 ? -1 : caret, n = Count(), page = std::max(1, PageItems() - (MultiColumn() ? 0 : 1));
    int rows = Rows();
    int to;
    switch (vk) {
      case VK_UP: to = cur < 0 ? 0 : cur - 1; break;
      case VK_DOWN: to = cur + 1; break;
      case VK_LEFT: to = MultiColumn() ? cur - rows : cur - 1; break;
      case VK_RIGHT: to = MultiColumn() ? cur + rows : cur + 1; break;
      case VK_PRIOR: to = cur < 0 ? 0 : (cur == top ? cur - page : top); break;
      case VK_NEXT: {
        int last = std::min(n - 1, top + PageItems() - 1);
        to = cur == last ? cur + page : last;
        break;
      }
      case VK_HOME: to = 0; break;
      case VK_END: to = n - 1; break;
      case VK_SPACE:
        if (Multiple() && caret >= 0 && !(Extended() && !ctrl)) {
          items[size_t(caret)].sel = !items[size_t(caret)].sel;
          InvalidateItem(caret);
          anchor = caret;
          Notify(LBN_SELCHANGE);
        }
        return;
      default: return;
    }
    to = std::clamp(to, 0, n - 1);
    if (!Multiple() || Extended()) MoveTo(to, shift, ctrl, false);
    else {
      SetCaret(to);
      EnsureVisible(to);
    }
  }
  void Char(char32_t c) {
    if (c < 0x20 || !HasStrings()) return;
    uint32_t now = GetTickCount();
    bool fresh = typed.empty() || now - lastTyped > kListBoxTypeAheadMs;
    lastTyped = now;
    if (fresh) typed.clear();
    typed.push_back(c);
    std::string key;
    for (char32_t k : typed) Utf8Append(key, k);
    // A new search starts after the current item, so one letter repeated steps through the
    // items beginning with it; a longer prefix may still match the current one.
    intptr_t start = caret < 0 ? -1 : (typed.size() == 1 ? caret : caret - 1);
    if (start < -1) start = -1;
    int i = Find(start, key, false);
    if (i < 0 && typed.size() > 1 && typed.find_first_not_of(typed[0]) == std::u32string::npos) {
      // The same letter typed again: step to the next item that begins with it.
      std::string one;
      Utf8Append(one, c);
      i = Find(caret, one, false);
    }
    if (i >= 0) MoveTo(i, false, false, false);
  }

  // ---- painting ----
  void Paint(HDC dc, const RECT& area) {
    RECT cr = Client();
    bool enabled = IsWindowEnabled(h);
    int ih = ItemHeight();
    HGDIOBJ oldFont = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    HBRUSH brush = nullptr;
    bool owner = OwnerDraw();
    if (!owner)
      if (HWND parent = GetParent(h))
        brush = reinterpret_cast<HBRUSH>(SendMessage(parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(h)));
    if (!brush) brush = GetSysColorBrush(COLOR_WINDOW);
    COLORREF textColor = enabled ? GetTextColor(dc) : GetSysColor(COLOR_GRAYTEXT);
    int last = std::min(Count(), top + PageItems() + (MultiColumn() ? 0 : 1));
    if (!owner) FillRect(dc, &cr, brush);
    for (int i = top; i < last; ++i) {
      RECT r = ItemRect(i);
      RECT tmp;
      if (!IntersectRect(&tmp, &r, &area)) continue;
      const Item& it = items[size_t(i)];
      UINT state = (it.sel ? ODS_SELECTED : 0) | (focused && i == caret ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
      if (owner) {
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_LISTBOX;
        dis.CtlID = UINT(GetWindowLongPtr(h, GWLP_ID));
        dis.itemID = UINT(i);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hwndItem = h;
        dis.hDC = dc;
        dis.rcItem = r;
        dis.itemData = it.data;
        if (HWND parent = GetParent(h)) {
          int saved = SaveDC(dc);
          SendMessage(parent, 0x002B /* WM_DRAWITEM */, WPARAM(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
          RestoreDC(dc, saved);
        }
        continue;
      }
      if (it.sel) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, it.sel ? GetSysColor(COLOR_HIGHLIGHTTEXT) : textColor);
      RECT tr{r.left + 2, r.top, r.right - 1, r.bottom};
      UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | ((Style() & LBS_USETABSTOPS) ? DT_EXPANDTABS : 0);
      DrawText(dc, it.text, &tr, flags);
      if (state & ODS_FOCUS) DrawFocusRect(dc, &r);
    }
    // An empty list still shows where the focus is.
    if (focused && Count() == 0 && !owner) {
      RECT r{0, 0, cr.right, ih};
      DrawFocusRect(dc, &r);
    }
    SelectObject(dc, oldFont);
  }
};

ListBox* StateOf(HWND h) { return static_cast<ListBox*>(GetProp(h, kListProp)); }

LRESULT ListBoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  ListBox* b = StateOf(h);
  if (!b) {
    if (msg == WM_NCDESTROY) return DefWindowProc(h, msg, wp, lp);
    b = new ListBox;
    b->h = h;
    SetProp(h, kListProp, b);
  }
  auto idx = intptr_t(wp);
  switch (msg) {
    case WM_NCDESTROY:
      RemoveProp(h, kListProp);
      delete b;
      return DefWindowProc(h, msg, wp, lp);
    case WM_CREATE:
      b->UpdateScroll();
      return 0;
    case LB_ADDSTRING: return b->Insert(-1, lp);
    case LB_INSERTSTRING: return b->Insert(idx < 0 ? intptr_t(b->Count()) : idx, lp);
    case LB_DELETESTRING: return b->Delete(idx);
    case LB_RESETCONTENT: b->Reset(); return 0;
    case LB_GETCOUNT: return b->Count();
    case LB_GETTEXT: {
      if (!b->Valid(idx)) return LB_ERR;
      const Item& it = b->items[size_t(idx)];
      if (!b->HasStrings()) {
        if (lp) *reinterpret_cast<ULONG_PTR*>(lp) = it.data;
        return sizeof(ULONG_PTR);
      }
      if (lp) {
        std::copy(it.text.begin(), it.text.end(), reinterpret_cast<char*>(lp));
        reinterpret_cast<char*>(lp)[it.text.size()] = 0;
      }
      return LRESULT(it.text.size());
    }
    case LB_GETTEXTLEN:
      if (!b->Valid(idx)) return LB_ERR;
      return b->HasStrings() ? LRESULT(b->items[size_t(idx)].text.size()) : LRESULT(sizeof(ULONG_PTR));
    case LB_GETITEMDATA:
      if (!b->Valid(idx)) return LB_ERR;
      return LRESULT(b->items[size_t(idx)].data);
    case LB_SETITEMDATA:
      if (!b->Valid(idx)) return LB_ERR;
      b->items[size_t(idx)].data = ULONG_PTR(lp);
      return 0;
    case LB_GETCURSEL:
      if (b->Multiple()) return b->caret;
      return b->Valid(b->caret) && b->items[size_t(b->caret)].sel ? b->caret : LB_ERR;
    case LB_SETCURSEL:
      if (b->Multiple()) return LB_ERR;
      if (!b->Valid(idx)) {
        b->SelectOnly(-1);
        b->SetCaret(-1);
        return idx == -1 ? LB_ERR : LB_ERR;
      }
      b->SelectOnly(int(idx));
      b->SetCaret(int(idx));
      b->EnsureVisible(int(idx));
      return idx;
    case LB_GETSEL:
      if (!b->Valid(idx)) return LB_ERR;
      return b->items[size_t(idx)].sel ? 1 : 0;
    case LB_SETSEL: {
      if (!b->Multiple()) return LB_ERR;
      intptr_t i = intptr_t(lp);
      if (i == -1) {
        for (int k = 0; k < b->Count(); ++k) b->items[size_t(k)].sel = wp != 0;
        InvalidateRect(h, nullptr, TRUE);
        return 0;
      }
      if (!b->Valid(i)) return LB_ERR;
      b->items[size_t(i)].sel = wp != 0;
      b->InvalidateItem(int(i));
      return 0;
    }
    case LB_GETSELCOUNT: {
      if (!b->Multiple()) return LB_ERR;
      return std::count_if(b->items.begin(), b->items.end(), [](const Item& it) { return it.sel; });
    }
    case LB_GETSELITEMS: {
      if (!b->Multiple()) return LB_ERR;
      auto* out = reinterpret_cast<int*>(lp);
      int n = 0;
      for (int k = 0; k < b->Count() && n < int(wp); ++k)
        if (b->items[size_t(k)].sel) {
          if (out) out[n] = k;
          ++n;
        }
      return n;
    }
    case LB_GETTOPINDEX: return b->top;
    case LB_SETTOPINDEX:
      if (!b->Valid(idx) && !(idx == 0 && b->Count() == 0)) return LB_ERR;
      b->SetTop(int(idx));
      return 0;
    case LB_GETCARETINDEX: return b->caret;
    case LB_SETCARETINDEX:
      if (!b->Valid(idx)) return LB_ERR;
      b->SetCaret(int(idx));
      b->EnsureVisible(int(idx));
      return 0;
    case LB_GETANCHORINDEX: return b->anchor;
    case LB_SETANCHORINDEX:
      if (!b->Valid(idx)) return LB_ERR;
      b->anchor = int(idx);
      return 0;
    case LB_GETITEMRECT: {
      if (!b->Valid(idx) || !lp) return LB_ERR;
      *reinterpret_cast<RECT*>(lp) = b->ItemRect(int(idx));
      return 1;
    }
    case LB_ITEMFROMPOINT: {
      bool outside = true;
      int i = b->ItemAt(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, &outside);
      return LRESULT(MAKELONG(WORD(i), WORD(outside ? 1 : 0)));
    }
    case LB_FINDSTRING: case LB_FINDSTRINGEXACT:
      return b->Find(idx, lp ? reinterpret_cast<const char*>(lp) : "", msg == LB_FINDSTRINGEXACT);
    case LB_SELECTSTRING: {
      int i = b->Find(idx, lp ? reinterpret_cast<const char*>(lp) : "", false);
      if (i < 0 || b->Multiple()) return i < 0 ? LB_ERR : i;
      b->SelectOnly(i);
      b->SetCaret(i);
      b->EnsureVisible(i);
      return i;
    }
    case LB_SETITEMHEIGHT:
      if (LOWORD(lp) == 0 || LOWORD(lp) > 255) return LB_ERR;
      b->itemHeight = LOWORD(lp);
      b->top = std::clamp(b->top, 0, b->MaxTop());
      b->UpdateScroll();
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case LB_GETITEMHEIGHT: return b->ItemHeight();
    case LB_SETCOLUMNWIDTH:
      b->columnWidth = int(wp);
      b->UpdateScroll();
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_SETFONT:
      b->font = reinterpret_cast<HFONT>(wp);
      b->fontHeight = 0;
      b->UpdateScroll();
      if (LOWORD(lp)) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(b->font);
    case WM_SIZE: case WM_STYLECHANGED:
      b->top = std::clamp(b->top, 0, b->MaxTop());
      b->UpdateScroll();
      InvalidateRect(h, nullptr, TRUE);
      return DefWindowProc(h, msg, wp, lp);
    case WM_VSCROLL: case WM_HSCROLL: {
      // The multi-column list scrolls by columns on the horizontal bar, the others by rows.
      bool cols = b->MultiColumn();
      if ((msg == WM_HSCROLL) != cols) return 0;
      int unit = cols ? b->Rows() : 1, page = cols ? b->VisibleColumns() : b->Rows();
      int pos = cols ? b->top / unit : b->top;
      switch (LOWORD(wp)) {
        case SB_LINEUP: --pos; break;
        case SB_LINEDOWN: ++pos; break;
        case SB_PAGEUP: pos -= page; break;
        case SB_PAGEDOWN: pos += page; break;
        case SB_TOP: pos = 0; break;
        case SB_BOTTOM: pos = b->Count(); break;
        case SB_THUMBPOSITION: case SB_THUMBTRACK: {
          // The message carries 16 bits; a sender that first set the whole position with
          // SetScrollInfo(SIF_POS) reaches rows past 65535 too.
          pos = HIWORD(wp);
          SCROLLINFO si;
          si.fMask = SIF_POS;
          if (GetScrollInfo(h, cols ? SB_HORZ : SB_VERT, &si) && (si.nPos & 0xFFFF) == pos) pos = si.nPos;
          break;
        }
        default: return 0;
      }
      b->SetTop(pos * unit);
      return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
      b->focused = true;
      b->InvalidateItem(b->caret);
      if (b->Count() == 0) InvalidateRect(h, nullptr, TRUE);
      b->Notify(LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      b->focused = false;
      b->InvalidateItem(b->caret);
      if (b->Count() == 0) InvalidateRect(h, nullptr, TRUE);
      b->Notify(LBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: {
      if (GetFocus() != h) SetFocus(h);
      if (!IsWindow(h) || !StateOf(h)) return 0;
      bool outside = true;
      int i = b->ItemAt(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, &outside);
      if (outside) return 0;
      b->MoveTo(i, (wp & MK_SHIFT) != 0, (wp & MK_CONTROL) != 0, true);
      if (msg == WM_LBUTTONDBLCLK) b->Notify(LBN_DBLCLK);
      b->tracking = true;
      SetCapture(h);
      return 0;
    }
    case WM_NCLBUTTONDOWN:
      if (detail::ScrollBarPress(h, wp, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) return 0;
      return DefWindowProc(h, msg, wp, lp);
    case WM_MOUSEMOVE:
      if (detail::ScrollBarTrack(h, msg, lp)) return 0;
      if (b->tracking && (!b->Multiple() || b->Extended())) {
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        bool outside = true;
        int i = b->ItemAt(p, &outside);
        // Dragging past an edge scrolls one item at a time.
        if (!b->MultiColumn() && p.y < 0) i = std::max(0, b->top - 1);
        else if (!b->MultiColumn() && p.y >= b->Rows() * b->ItemHeight()) i = std::min(b->Count() - 1, b->top + b->Rows());
        if (b->Count() > 0 && i != b->caret) b->MoveTo(i, b->Extended(), false, false);
      }
      return 0;
    case WM_LBUTTONUP:
      if (detail::ScrollBarTrack(h, msg, lp)) return 0;
      if (b->tracking) {
        b->tracking = false;
        if (GetCapture() == h) ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED: b->tracking = false; return 0;
    case WM_KEYDOWN:
      b->KeyDown(wp);
      return DefWindowProc(h, msg, wp, lp);
    case WM_CHAR:
      b->Char(char32_t(wp));
      return 0;
    case WM_NCPAINT: return detail::PaintSunkenFrame(h, wp);
    case WM_ERASEBKGND: return 1;  // painted with the items
    case WM_PAINT: {
      if (wp) {
        RECT r = b->Client();
        b->Paint(reinterpret_cast<HDC>(wp), r);
        return 0;
      }
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (dc) b->Paint(dc, ps.rcPaint);
      EndPaint(h, &ps);
      return 0;
    }
  }
  return DefWindowProc(h, msg, wp, lp);
}

}  // namespace

namespace detail {
void RegisterEditClass();

LRESULT PaintSunkenFrame(HWND h, WPARAM updateRgn) {
  DWORD ex = DWORD(GetWindowLongPtr(h, GWL_EXSTYLE)), style = DWORD(GetWindowLongPtr(h, GWL_STYLE));
  if (!IsWindowVisible(h)) return 0;
  if (!(ex & WS_EX_CLIENTEDGE)) DefWindowProc(h, WM_NCPAINT, updateRgn, 0);
  HDC dc = GetWindowDC(h);
  if (!dc) return 0;
  if (ex & WS_EX_CLIENTEDGE) {
    RECT wr{};
    GetWindowRect(h, &wr);
    RECT r{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
  }
  if (style & (WS_VSCROLL | WS_HSCROLL)) PaintScrollBars(h, dc);
  ReleaseDC(h, dc);
  return 0;
}

void RegisterListBoxClass() {
  WNDCLASS wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ListBoxProc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "LISTBOX";
  RegisterClass(&wc);
}
}  // namespace detail

void InitStandardControls() {
  WNDCLASS probe;
  if (!GetClassInfo(nullptr, "EDIT", &probe)) detail::RegisterEditClass();
  if (!GetClassInfo(nullptr, "LISTBOX", &probe)) detail::RegisterListBoxClass();
}

}  // namespace win
