// The header control window class "SysHeader32": sections with text, width, alignment and a
// display order; hit testing with dividers; dragging a divider (the parent told of every step
// and able to bound the width or refuse it), clicking a section, and moving a section to
// another place (HDS_DRAGDROP). A plain raised look; a pressed section is drawn sunken.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/CommCtrl.h"
#include "platform/Gdi.h"

namespace win {

namespace {

constexpr const char* kHeaderProp = "OmbrelHeader";
// Half the width of the zone around a section's right edge in which the divider is hit.
constexpr int kDividerZone = 4;
// How far the pointer moves with a section pressed before the section is being moved.
constexpr int kDragThreshold = 5;

struct Section {
  int cxy = 0;
  std::string text;
  int fmt = HDF_LEFT | HDF_STRING;
  LPARAM lParam = 0;
  int image = -1;
};

struct Header {
  HWND h = nullptr;
  std::vector<Section> items;
  std::vector<int> order;  // order[display position] = item index
  HFONT font = nullptr;
  // Divider dragging.
  int trackItem = -1, trackStartX = 0, trackStartW = 0;
  // A pressed section, and whether it is being moved.
  int pressed = -1, pressX = 0, dragX = 0;
  bool dragging = false;

  DWORD Style() const { return DWORD(GetWindowLongPtr(h, GWL_STYLE)); }
  bool Valid(WPARAM i) const { return intptr_t(i) >= 0 && intptr_t(i) < intptr_t(items.size()); }
  int Count() const { return int(items.size()); }
  int Height() const {
    RECT r{};
    GetClientRect(h, &r);
    return r.bottom - r.top;
  }
  // The left edge of an item in display order.
  RECT ItemRect(int item) const {
    int x = 0;
    for (int idx : order) {
      if (idx == item) return RECT{x, 0, x + items[size_t(idx)].cxy, Height()};
      x += items[size_t(idx)].cxy;
    }
    return RECT{};
  }
  int PositionOf(int item) const {
    auto it = std::find(order.begin(), order.end(), item);
    return it == order.end() ? -1 : int(it - order.begin());
  }

  LRESULT Notify(UINT code, int item, HDITEM* hdi) {
    HWND parent = GetParent(h);
    if (!parent) return 0;
    NMHEADER nm;
    nm.hdr.hwndFrom = h;
    nm.hdr.idFrom = UINT_PTR(GetWindowLongPtr(h, GWLP_ID));
    nm.hdr.code = code;
    nm.iItem = item;
    nm.pitem = hdi;
    return SendMessage(parent, WM_NOTIFY, WPARAM(nm.hdr.idFrom), reinterpret_cast<LPARAM>(&nm));
  }

  // The dividers whose zone holds x, in display order.
  std::vector<int> DividersAt(int x) const {
    std::vector<int> out;
    int right = 0;
    for (int idx : order) {
      right += items[size_t(idx)].cxy;
      if (x >= right - kDividerZone && x < right + kDividerZone) out.push_back(idx);
    }
    return out;
  }
  // Left of an edge: the section the point lies in; at or right of it: the last section ending
  // there, so that a hidden section after a visible one can be found.
  int PreferredDivider(int x, const std::vector<int>& cands) const {
    for (int idx : cands)
      if (ItemRect(idx).right > x) return idx;
    return cands.empty() ? -1 : cands.back();
  }

  void HitTest(HDHITTESTINFO* hi) const {
    hi->flags = 0;
    hi->iItem = -1;
    POINT p = hi->pt;
    if (p.y < 0) hi->flags |= HHT_ABOVE;
    if (p.y >= Height()) hi->flags |= HHT_BELOW;
    if (p.x < 0) hi->flags |= HHT_TOLEFT;
    if (hi->flags) return;
    std::vector<int> cands = DividersAt(p.x);
    if (!cands.empty()) {
      hi->flags = HHT_ONDIVIDER;
      hi->iItem = PreferredDivider(p.x, cands);
      return;
    }
    for (int idx : order) {
      RECT r = ItemRect(idx);
      if (p.x >= r.left && p.x < r.right) {
        hi->flags = HHT_ONHEADER;
        hi->iItem = idx;
        return;
      }
    }
    hi->flags = HHT_NOWHERE;
  }

  // The boundary between sections (0..count) nearest to x, where a moved section would go.
  int DropPosition(int x) const {
    int left = 0, pos = 0;
    for (int idx : order) {
      int w = items[size_t(idx)].cxy;
      if (x < left + w / 2) return pos;
      left += w;
      ++pos;
    }
    return int(order.size());
  }

  void SetWidth(int item, int w) {
    if (items[size_t(item)].cxy == w) return;
    items[size_t(item)].cxy = w;
    InvalidateRect(h, nullptr, TRUE);
  }

  // ---- mouse ----
  void ButtonDown(POINT p, bool dbl) {
    HDHITTESTINFO hi;
    hi.pt = p;
    HitTest(&hi);
    if (hi.flags & HHT_ONDIVIDER) {
      if (dbl) {
        Notify(HDN_DIVIDERDBLCLICK, hi.iItem, nullptr);
        return;
      }
      // The preferred divider first, then the others ending there, right to left; the parent
      // may refuse any of them (a section that must stay hidden).
      std::vector<int> cands = DividersAt(p.x);
      std::vector<int> tryOrder{hi.iItem};
      for (auto it = cands.rbegin(); it != cands.rend(); ++it)
        if (*it != hi.iItem) tryOrder.push_back(*it);
      for (int idx : tryOrder) {
        HDITEM hdi;
        hdi.mask = HDI_WIDTH;
        hdi.cxy = items[size_t(idx)].cxy;
        if (Notify(HDN_BEGINTRACK, idx, &hdi) != 0) continue;
        if (!IsWindow(h)) return;
        trackItem = idx;
        trackStartX = p.x;
        trackStartW = items[size_t(idx)].cxy;
        SetCapture(h);
        return;
      }
      return;
    }
    if ((hi.flags & HHT_ONHEADER) && (Style() & (HDS_BUTTONS | HDS_DRAGDROP))) {
      if (dbl) Notify(HDN_ITEMDBLCLICK, hi.iItem, nullptr);
      pressed = hi.iItem;
      pressX = dragX = p.x;
      dragging = false;
      SetCapture(h);
      InvalidateRect(h, nullptr, TRUE);
    }
  }

  void MouseMove(POINT p) {
    if (trackItem >= 0 && Valid(WPARAM(trackItem))) {
      HDITEM hdi;
      hdi.mask = HDI_WIDTH;
      hdi.cxy = std::max(0, trackStartW + p.x - trackStartX);
      int item = trackItem;
      if (Notify(HDN_ITEMCHANGING, item, &hdi) != 0 || !IsWindow(h) || !Valid(WPARAM(item))) return;
      hdi.cxy = std::max(0, hdi.cxy);
      if (hdi.cxy == items[size_t(item)].cxy) return;
      SetWidth(item, hdi.cxy);
      Notify(HDN_TRACK, item, &hdi);
      if (IsWindow(h)) Notify(HDN_ITEMCHANGED, item, &hdi);
      return;
    }
    if (pressed >= 0) {
      if (!dragging && (Style() & HDS_DRAGDROP) && std::abs(p.x - pressX) > kDragThreshold) dragging = true;
      if (dragging) {
        dragX = p.x;
        InvalidateRect(h, nullptr, TRUE);
      }
    }
  }

  void ButtonUp(POINT p) {
    if (trackItem >= 0) {
      int item = trackItem;
      trackItem = -1;
      if (GetCapture() == h) ReleaseCapture();
      if (Valid(WPARAM(item))) {
        HDITEM hdi;
        hdi.mask = HDI_WIDTH;
        hdi.cxy = items[size_t(item)].cxy;
        Notify(HDN_ENDTRACK, item, &hdi);
      }
      return;
    }
    if (pressed < 0) return;
    int item = pressed;
    bool wasDragging = dragging;
    pressed = -1;
    dragging = false;
    if (GetCapture() == h) ReleaseCapture();
    InvalidateRect(h, nullptr, TRUE);
    if (!Valid(WPARAM(item))) return;
    if (wasDragging) {
      // The boundary the section is dropped on, counted without the section itself.
      int to = DropPosition(p.x), from = PositionOf(item);
      if (to > from) --to;
      if (to == from || from < 0) return;
      HDITEM hdi;
      hdi.mask = HDI_ORDER;
      hdi.iOrder = to;
      if (Notify(HDN_ENDDRAG, item, &hdi) != 0 || !IsWindow(h) || !Valid(WPARAM(item))) return;
      from = PositionOf(item);
      if (from < 0) return;
      order.erase(order.begin() + from);
      order.insert(order.begin() + std::clamp(to, 0, int(order.size())), item);
      InvalidateRect(h, nullptr, TRUE);
      Notify(HDN_ITEMCHANGED, item, &hdi);
      return;
    }
    RECT r = ItemRect(item);
    if (p.x >= r.left && p.x < r.right && p.y >= 0 && p.y < Height() && (Style() & HDS_BUTTONS))
      Notify(HDN_ITEMCLICK, item, nullptr);
  }

  // ---- painting ----
  void Paint(HDC dc) {
    RECT client{};
    GetClientRect(h, &client);
    HGDIOBJ oldFont = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    int x = 0;
    for (int idx : order) {
      const Section& s = items[size_t(idx)];
      RECT r{x, 0, x + s.cxy, client.bottom};
      x += s.cxy;
      if (s.cxy <= 0) continue;
      bool down = idx == pressed && !dragging && (Style() & HDS_BUTTONS);
      FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
      RECT e = r;
      DrawEdge(dc, &e, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | (down ? BF_FLAT : 0));
      RECT t{r.left + 6 + (down ? 1 : 0), r.top + (down ? 1 : 0), r.right - 6, r.bottom};
      if (t.right > t.left) {
        UINT align = (s.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT    ? DT_RIGHT
                     : (s.fmt & HDF_JUSTIFYMASK) == HDF_CENTER ? DT_CENTER
                                                               : DT_LEFT;
        DrawText(dc, s.text, &t, align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
      }
    }
    if (x < client.right) {
      RECT rest{x, 0, client.right, client.bottom};
      FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));
      DrawEdge(dc, &rest, EDGE_RAISED, BF_RECT);
    }
    if (dragging) {
      // Where the moved section would go: a bar at the left edge of that place.
      int pos = DropPosition(dragX), left = 0;
      for (int i = 0; i < pos && i < int(order.size()); ++i) left += items[size_t(order[size_t(i)])].cxy;
      RECT bar{left, 0, left + 2, client.bottom};
      FillRect(dc, &bar, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    SelectObject(dc, oldFont);
  }
};

Header* StateOf(HWND h) { return static_cast<Header*>(GetProp(h, kHeaderProp)); }

void CopyText(const std::string& s, HDITEM* hdi) {
  if (!hdi->pszText || hdi->cchTextMax <= 0) return;
  auto* out = const_cast<char*>(hdi->pszText);
  size_t n = std::min(s.size(), size_t(hdi->cchTextMax - 1));
  s.copy(out, n);
  out[n] = '\0';
}

void ApplyItem(Section& s, const HDITEM* hdi) {
  if (hdi->mask & HDI_WIDTH) s.cxy = std::max(0, hdi->cxy);
  if (hdi->mask & HDI_TEXT) s.text = hdi->pszText ? hdi->pszText : "";
  if (hdi->mask & HDI_FORMAT) s.fmt = hdi->fmt;
  if (hdi->mask & HDI_LPARAM) s.lParam = hdi->lParam;
  if (hdi->mask & HDI_IMAGE) s.image = hdi->iImage;
}

LRESULT HeaderProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* st = new Header;
    st->h = h;
    SetProp(h, kHeaderProp, st);
    return DefWindowProc(h, msg, wp, lp);
  }
  Header* b = StateOf(h);
  if (!b) return DefWindowProc(h, msg, wp, lp);
  switch (msg) {
    case WM_NCDESTROY:
      RemoveProp(h, kHeaderProp);
      delete b;
      return DefWindowProc(h, msg, wp, lp);
    case HDM_GETITEMCOUNT: return b->Count();
    case HDM_INSERTITEM: {
      auto* hdi = reinterpret_cast<const HDITEM*>(lp);
      if (!hdi) return -1;
      int at = std::clamp(int(intptr_t(wp)), 0, b->Count());
      Section s;
      ApplyItem(s, hdi);
      b->items.insert(b->items.begin() + at, s);
      for (int& o : b->order)
        if (o >= at) ++o;
      int pos = (hdi->mask & HDI_ORDER) ? std::clamp(hdi->iOrder, 0, int(b->order.size())) : int(b->order.size());
      b->order.insert(b->order.begin() + pos, at);
      InvalidateRect(h, nullptr, TRUE);
      return at;
    }
    case HDM_DELETEITEM: {
      if (!b->Valid(wp)) return FALSE;
      int i = int(wp);
      b->items.erase(b->items.begin() + i);
      b->order.erase(std::find(b->order.begin(), b->order.end(), i));
      for (int& o : b->order)
        if (o > i) --o;
      if (b->trackItem == i) b->trackItem = -1;
      if (b->pressed == i) b->pressed = -1;
      if (b->trackItem > i) --b->trackItem;
      if (b->pressed > i) --b->pressed;
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case HDM_GETITEM: {
      auto* hdi = reinterpret_cast<HDITEM*>(lp);
      if (!hdi || !b->Valid(wp)) return FALSE;
      const Section& s = b->items[wp];
      if (hdi->mask & HDI_WIDTH) hdi->cxy = s.cxy;
      if (hdi->mask & HDI_TEXT) CopyText(s.text, hdi);
      if (hdi->mask & HDI_FORMAT) hdi->fmt = s.fmt;
      if (hdi->mask & HDI_LPARAM) hdi->lParam = s.lParam;
      if (hdi->mask & HDI_IMAGE) hdi->iImage = s.image;
      if (hdi->mask & HDI_ORDER) hdi->iOrder = b->PositionOf(int(wp));
      return TRUE;
    }
    case HDM_SETITEM: {
      auto* hdi = reinterpret_cast<const HDITEM*>(lp);
      if (!hdi || !b->Valid(wp)) return FALSE;
      ApplyItem(b->items[wp], hdi);
      if (hdi->mask & HDI_ORDER) {
        int i = int(wp), from = b->PositionOf(i);
        b->order.erase(b->order.begin() + from);
        b->order.insert(b->order.begin() + std::clamp(hdi->iOrder, 0, int(b->order.size())), i);
      }
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case HDM_GETITEMRECT: {
      auto* r = reinterpret_cast<RECT*>(lp);
      if (!r || !b->Valid(wp)) return FALSE;
      *r = b->ItemRect(int(wp));
      return TRUE;
    }
    case HDM_HITTEST: {
      auto* hi = reinterpret_cast<HDHITTESTINFO*>(lp);
      if (!hi) return -1;
      b->HitTest(hi);
      return hi->iItem;
    }
    case HDM_ORDERTOINDEX:
      return intptr_t(wp) >= 0 && intptr_t(wp) < intptr_t(b->order.size()) ? b->order[wp] : -1;
    case HDM_GETORDERARRAY: {
      auto* out = reinterpret_cast<int*>(lp);
      if (!out || intptr_t(wp) != intptr_t(b->order.size())) return FALSE;
      std::copy(b->order.begin(), b->order.end(), out);
      return TRUE;
    }
    case HDM_SETORDERARRAY: {
      auto* in = reinterpret_cast<const int*>(lp);
      if (!in || intptr_t(wp) != intptr_t(b->order.size())) return FALSE;
      std::vector<int> next(in, in + wp), sorted = next;
      std::sort(sorted.begin(), sorted.end());
      for (int i = 0; i < int(sorted.size()); ++i)
        if (sorted[size_t(i)] != i) return FALSE;  // not a permutation of the items
      b->order = std::move(next);
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case HDM_LAYOUT: {
      auto* l = reinterpret_cast<HDLAYOUT*>(lp);
      if (!l || !l->prc || !l->pwpos) return FALSE;
      HDC dc = GetDC(h);
      HGDIOBJ old = SelectObject(dc, b->font ? b->font : GetStockObject(DEFAULT_GUI_FONT));
      TEXTMETRIC tm{};
      GetTextMetrics(dc, &tm);
      SelectObject(dc, old);
      ReleaseDC(h, dc);
      int height = (b->Style() & HDS_HIDDEN) ? 0 : int(tm.tmHeight) + 8;
      *l->pwpos = WINDOWPOS{h, nullptr, l->prc->left, l->prc->top, l->prc->right - l->prc->left, height, 0};
      l->prc->top += height;
      return TRUE;
    }
    case WM_SETFONT:
      b->font = reinterpret_cast<HFONT>(wp);
      if (LOWORD(lp)) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(b->font);
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
      b->ButtonDown(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, msg == WM_LBUTTONDBLCLK);
      return 0;
    case WM_MOUSEMOVE: b->MouseMove(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
    case WM_LBUTTONUP: b->ButtonUp(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != h) {
        b->trackItem = -1;
        if (b->pressed >= 0) InvalidateRect(h, nullptr, TRUE);
        b->pressed = -1;
        b->dragging = false;
      }
      return 0;
    case WM_SETCURSOR: {
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(h, &p);
      HDHITTESTINFO hi;
      hi.pt = p;
      b->HitTest(&hi);
      if (b->trackItem >= 0 || (hi.flags & HHT_ONDIVIDER)) {
        SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
        return TRUE;
      }
      return DefWindowProc(h, msg, wp, lp);
    }
    case WM_ERASEBKGND: return 1;  // painted with the sections
    case WM_PAINT: {
      if (wp) {
        b->Paint(reinterpret_cast<HDC>(wp));
        return 0;
      }
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (dc) b->Paint(dc);
      EndPaint(h, &ps);
      return 0;
    }
  }
  return DefWindowProc(h, msg, wp, lp);
}

}  // namespace

void InitCommonControls() {
  WNDCLASS probe;
  if (GetClassInfo(nullptr, WC_HEADER, &probe)) return;
  WNDCLASS wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = HeaderProc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = WC_HEADER;
  RegisterClass(&wc);
}

}  // namespace win
