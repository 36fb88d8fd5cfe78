// The tab control window class "SysTabControl32": tabs with text, image and data; layout in one
// scrolled row or in several rows (columns for side tabs) with the selected row next to the page
// area; hit testing; selection by mouse and keyboard with TCN_SELCHANGING/TCN_SELCHANGE; the
// page area (TCM_ADJUSTRECT); a plain look of raised tabs on a raised page frame.
//
// Geometry, with t the thickness of a row and n the number of rows: the rows take the band
// 2 .. 2 + n*t from the tab side of the client area (2 pixels stay free for the selected tab,
// which is drawn 2 pixels larger on its three outer sides); the page frame is the rest of the
// client area and the page area lies 4 pixels inside the frame. Along a row the tabs start 2
// pixels in, or at 0 once the row is scrolled, so a tab scrolled out at the start ends at 0 or
// before.
#include <algorithm>
#include <string>
#include <vector>

#include "classlib/Graphics.h"
#include "classlib/TabCtrls.h"
#include "classlib/graphics/ImageList.h"
#include "platform/Gdi.h"

namespace win {

namespace {

constexpr const char* kTabProp = "OmbrelTabControl";
constexpr int kMargin = 2;        // before the first tab and outside the rows
constexpr int kDisplayInset = 4;  // from the frame to the page area
constexpr int kImageGap = 2;      // between a tab's image and its text

enum Side { kTop, kBottom, kLeft, kRight };

struct Tab {
  std::string text;
  int image = -1;
  LPARAM data = 0;
  DWORD state = 0;
};

struct Layout {
  std::vector<RECT> rects;  // per tab, in client coordinates
  int rows = 1;
  int thick = 0;
  bool arrows = false;
  int arrowSize = 0;
  RECT arrowsRect{};  // both arrows, left then right
  int maxFirst = 0;
  int rowLimit = 0;   // along a single row: where the arrows begin (tabs are cut there)
  RECT frame{};
};

RECT FillStrip(HDC dc, int l, int t, int r, int b, int colour) {
  RECT s{l, t, r, b};
  if (r > l && b > t) FillRect(dc, &s, GetSysColorBrush(colour));
  return s;
}

struct TabCtl {
  HWND h = nullptr;
  std::vector<Tab> tabs;
  int cur = -1, hot = -1, first = 0;
  int cx = 0, cy = 0, padX = 6, padY = 3, minWidth = 0;
  TCustomImageList* images = nullptr;
  HFONT font = nullptr;
  bool focused = false;

  DWORD Style() const { return DWORD(GetWindowLongPtr(h, GWL_STYLE)); }
  Side GetSide() const {
    DWORD s = Style();
    if (s & TCS_VERTICAL) return (s & TCS_RIGHT) ? kRight : kLeft;
    return (s & TCS_BOTTOM) ? kBottom : kTop;
  }
  bool Vertical() const { return GetSide() >= kLeft; }
  // Side tabs always wrap.
  bool Multi() const { return (Style() & TCS_MULTILINE) || Vertical(); }
  bool Buttons() const { return Style() & TCS_BUTTONS; }
  int Count() const { return int(tabs.size()); }
  bool Valid(intptr_t i) const { return i >= 0 && i < intptr_t(tabs.size()); }
  HGDIOBJ Font() const { return font ? HGDIOBJ(font) : GetStockObject(DEFAULT_GUI_FONT); }
  RECT Client() const {
    RECT r{};
    GetClientRect(h, &r);
    return r;
  }

  static int ArrowSize(int thick) { return std::clamp(thick, 8, 16); }

  Layout Compute() {
    Layout lay;
    RECT cr = Client();
    int W = cr.right, H = cr.bottom;
    Side side = GetSide();
    bool vert = side >= kLeft;
    int L = vert ? H : W;
    int n = Count();

    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, Font());
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    int imgLen = images ? std::max(0, vert ? images->Height() : images->Width()) : 0;
    int imgCross = images ? std::max(0, vert ? images->Width() : images->Height()) : 0;
    int thick = cy > 0 ? cy : std::max<int>(tm.tmHeight, imgCross) + 2 * padY;
    std::vector<int> len(size_t(n), 0);
    for (int i = 0; i < n; ++i) {
      int base = cx;
      if (base <= 0) {
        RECT tr{0, 0, 0, 0};
        DrawText(dc, tabs[size_t(i)].text, &tr, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        base = (tr.right - tr.left) + 2 * padX;
      }
      len[size_t(i)] = std::max(base, minWidth) + imgLen;
    }
    DeleteDC(dc);

    lay.thick = thick;
    lay.rowLimit = L;
    std::vector<int> row(size_t(n), 0), pos(size_t(n), 0);
    if (Multi()) {
      int avail = L - 2 * kMargin;
      std::vector<std::vector<int>> rows(1);
      int u = 0;
      for (int i = 0; i < n; ++i) {
        if (u > 0 && u + len[size_t(i)] > avail) {
          rows.emplace_back();
          u = 0;
        }
        row[size_t(i)] = int(rows.size()) - 1;
        rows.back().push_back(i);
        u += len[size_t(i)];
      }
      lay.rows = int(rows.size());
      // Several rows are stretched to one block unless the edge may stay ragged.
      if (lay.rows > 1 && !(Style() & TCS_RAGGEDRIGHT))
        for (auto& rw : rows) {
          int sum = 0;
          for (int i : rw) sum += len[size_t(i)];
          int extra = avail - sum, k = int(rw.size());
          if (extra <= 0 || k == 0) continue;
          for (int j = 0; j < k; ++j) len[size_t(rw[size_t(j)])] += extra / k + (j < extra % k ? 1 : 0);
        }
      for (auto& rw : rows) {
        int at = kMargin;
        for (int i : rw) {
          pos[size_t(i)] = at;
          at += len[size_t(i)];
        }
      }
      first = 0;
    } else {
      lay.rows = 1;
      long total = 0;
      for (int v : len) total += v;
      if (kMargin + total <= L - kMargin) {
        first = 0;
      } else {
        lay.arrows = true;
        lay.arrowSize = ArrowSize(thick);
        lay.rowLimit = L - 2 * lay.arrowSize;
        // The least first tab from which the rest of the row fits before the arrows.
        lay.maxFirst = std::max(0, n - 1);
        long suffix = 0;
        for (int f = n - 1; f >= 1; --f) {
          suffix += len[size_t(f)];
          if (suffix <= lay.rowLimit) lay.maxFirst = f;
          else break;
        }
        first = std::clamp(first, 0, lay.maxFirst);
      }
      long at = first > 0 ? 0 : kMargin;
      for (int i = 0; i < first; ++i) at -= len[size_t(i)];
      for (int i = 0; i < n; ++i) {
        pos[size_t(i)] = int(at);
        at += len[size_t(i)];
      }
    }

    int selRow = Valid(cur) ? row[size_t(cur)] : 0;
    int band = lay.rows * thick;
    lay.rects.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
      int p = (row[size_t(i)] - selRow + lay.rows) % lay.rows;  // 0: next to the page
      int u0 = pos[size_t(i)], u1 = u0 + len[size_t(i)];
      int v0 = 0;
      switch (side) {
        case kTop: v0 = kMargin + (lay.rows - 1 - p) * thick; break;
        case kBottom: v0 = H - kMargin - band + p * thick; break;
        case kLeft: v0 = kMargin + (lay.rows - 1 - p) * thick; break;
        case kRight: v0 = W - kMargin - band + p * thick; break;
      }
      lay.rects[size_t(i)] = vert ? RECT{v0, u0, v0 + thick, u1} : RECT{u0, v0, u1, v0 + thick};
    }
    switch (side) {
      case kTop: lay.frame = RECT{0, kMargin + band, W, H}; break;
      case kBottom: lay.frame = RECT{0, 0, W, H - kMargin - band}; break;
      case kLeft: lay.frame = RECT{kMargin + band, 0, W, H}; break;
      case kRight: lay.frame = RECT{0, 0, W - kMargin - band, H}; break;
    }
    if (lay.arrows) {
      int a = lay.arrowSize;
      int rowTop = side == kTop ? kMargin : H - kMargin - thick;
      int y = rowTop + (thick - a) / 2;
      lay.arrowsRect = RECT{W - 2 * a, y, W, y + a};
    }
    return lay;
  }

  // The page area of a window rectangle (toDisplay) or the other way round.
  void Adjust(RECT* r, bool toWindow) {
    Layout lay = Compute();
    int band = kMargin + lay.rows * lay.thick;
    int s = toWindow ? -1 : 1;
    r->left += s * kDisplayInset;
    r->top += s * kDisplayInset;
    r->right -= s * kDisplayInset;
    r->bottom -= s * kDisplayInset;
    switch (GetSide()) {
      case kTop: r->top += s * band; break;
      case kBottom: r->bottom -= s * band; break;
      case kLeft: r->left += s * band; break;
      case kRight: r->right -= s * band; break;
    }
  }

  // The selected tab as drawn: 2 pixels larger on the sides away from the page.
  RECT Enlarged(RECT r) const {
    switch (GetSide()) {
      case kTop: return RECT{r.left - 2, r.top - 2, r.right + 2, r.bottom};
      case kBottom: return RECT{r.left - 2, r.top, r.right + 2, r.bottom + 2};
      case kLeft: return RECT{r.left - 2, r.top - 2, r.right, r.bottom + 2};
      case kRight: return RECT{r.left, r.top - 2, r.right + 2, r.bottom + 2};
    }
    return r;
  }

  bool InArrows(const Layout& lay, POINT p) const { return lay.arrows && PtInRect(&lay.arrowsRect, p); }

  int HitTest(POINT p, UINT* flags) {
    Layout lay = Compute();
    if (flags) *flags = TCHT_NOWHERE;
    if (InArrows(lay, p)) return -1;
    // Past the arrows' start nothing of the row shows.
    if (lay.arrows && p.x >= lay.rowLimit) return -1;
    auto hit = [&](int i, const RECT& r) {
      if (!PtInRect(&r, p)) return false;
      if (flags) {
        const RECT& n = lay.rects[size_t(i)];
        bool vert = Vertical();
        int along = vert ? p.y - n.top : p.x - n.left;
        int imgLen = images ? (vert ? images->Height() : images->Width()) : 0;
        *flags = (imgLen > 0 && along < padX + imgLen) ? TCHT_ONITEMICON : TCHT_ONITEMLABEL;
      }
      return true;
    };
    if (Valid(cur) && !Buttons() && hit(cur, Enlarged(lay.rects[size_t(cur)]))) return cur;
    for (int i = 0; i < Count(); ++i)
      if (hit(i, lay.rects[size_t(i)])) return i;
    return -1;
  }

  void EnsureVisible(int i) {
    if (!Valid(i) || Multi()) return;
    Layout lay = Compute();
    if (!lay.arrows) return;
    if (i < first) {
      first = i;
    } else {
      for (int guard = 0; guard < Count() && first < i && first < lay.maxFirst; ++guard) {
        if (lay.rects[size_t(i)].right <= lay.rowLimit) break;
        ++first;
        lay = Compute();
      }
    }
    InvalidateRect(h, nullptr, TRUE);
  }

  void Scroll(int to) {
    Layout lay = Compute();
    if (Multi() || !lay.arrows) return;
    int f = std::clamp(to, 0, lay.maxFirst);
    if (f == first) return;
    first = f;
    InvalidateRect(h, nullptr, TRUE);
  }

  LRESULT Notify(UINT code) {
    HWND parent = GetParent(h);
    if (!parent) return 0;
    NMTCHEADER nm;
    nm.hwndFrom = h;
    nm.idFrom = UINT_PTR(GetWindowLongPtr(h, GWLP_ID));
    nm.code = code;
    return SendMessage(parent, WM_NOTIFY, WPARAM(nm.idFrom), reinterpret_cast<LPARAM>(&nm));
  }

  // ---- painting ----
  void Edges(HDC dc, RECT r, bool selected) {
    const int hi = COLOR_BTNHIGHLIGHT, sh = COLOR_BTNSHADOW, dk = COLOR_3DDKSHADOW;
    // The open side runs on into the frame's two lines for the selected tab.
    int ext = selected ? 2 : 0;
    switch (GetSide()) {
      case kTop:
        FillStrip(dc, r.left, r.top + 2, r.left + 1, r.bottom + ext, hi);
        FillStrip(dc, r.left + 1, r.top + 1, r.left + 2, r.top + 2, hi);
        FillStrip(dc, r.left + 2, r.top, r.right - 2, r.top + 1, hi);
        FillStrip(dc, r.right - 2, r.top + 1, r.right - 1, r.top + 2, dk);
        FillStrip(dc, r.right - 2, r.top + 2, r.right - 1, r.bottom + ext, sh);
        FillStrip(dc, r.right - 1, r.top + 2, r.right, r.bottom + ext, dk);
        break;
      case kBottom:
        FillStrip(dc, r.left, r.top - ext, r.left + 1, r.bottom - 2, hi);
        FillStrip(dc, r.left + 1, r.bottom - 2, r.left + 2, r.bottom - 1, dk);
        FillStrip(dc, r.left + 2, r.bottom - 2, r.right - 2, r.bottom - 1, sh);
        FillStrip(dc, r.left + 2, r.bottom - 1, r.right - 2, r.bottom, dk);
        FillStrip(dc, r.right - 2, r.top - ext, r.right - 1, r.bottom - 2, sh);
        FillStrip(dc, r.right - 1, r.top - ext, r.right, r.bottom - 2, dk);
        break;
      case kLeft:
        FillStrip(dc, r.left + 2, r.top, r.right + ext, r.top + 1, hi);
        FillStrip(dc, r.left + 1, r.top + 1, r.left + 2, r.top + 2, hi);
        FillStrip(dc, r.left, r.top + 2, r.left + 1, r.bottom - 2, hi);
        FillStrip(dc, r.left + 1, r.bottom - 2, r.left + 2, r.bottom - 1, dk);
        FillStrip(dc, r.left + 2, r.bottom - 2, r.right + ext, r.bottom - 1, sh);
        FillStrip(dc, r.left + 2, r.bottom - 1, r.right + ext, r.bottom, dk);
        break;
      case kRight:
        FillStrip(dc, r.left - ext, r.top, r.right - 2, r.top + 1, hi);
        FillStrip(dc, r.right - 2, r.top + 1, r.right - 1, r.top + 2, dk);
        FillStrip(dc, r.right - 1, r.top + 2, r.right, r.bottom - 2, dk);
        FillStrip(dc, r.right - 2, r.top + 2, r.right - 1, r.bottom - 2, sh);
        FillStrip(dc, r.left - ext, r.bottom - 2, r.right - 2, r.bottom - 1, sh);
        FillStrip(dc, r.left - ext, r.bottom - 1, r.right - 2, r.bottom, dk);
        break;
    }
  }

  // The image and text of tab i, laid out along the x axis in (0, 0, w, ht).
  void Face(HDC dc, int i, int w, int ht, bool selected) {
    const Tab& tab = tabs[size_t(i)];
    SelectObject(dc, Font());
    SetBkMode(dc, TRANSPARENT);
    int colour = COLOR_BTNTEXT;
    if (!IsWindowEnabled(h)) colour = COLOR_GRAYTEXT;
    else if (i == hot && !selected && (Style() & TCS_HOTTRACK)) colour = COLOR_HOTLIGHT;
    SetTextColor(dc, GetSysColor(colour));
    RECT tr{0, 0, 0, 0};
    if (!tab.text.empty()) DrawText(dc, tab.text, &tr, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    int textW = tr.right - tr.left;
    bool img = images && tab.image >= 0 && tab.image < images->Count();
    int imgW = img ? images->Width() : 0;
    int group = (img ? imgW + (textW > 0 ? kImageGap : 0) : 0) + textW;
    int x = std::max(0, (w - group) / 2);
    if (img) {
      int saved = SaveDC(dc);
      TCanvas canvas;
      canvas.SetHandle(dc);
      images->Draw(&canvas, x, (ht - images->Height()) / 2, tab.image, IsWindowEnabled(h) != FALSE);
      canvas.SetHandle(nullptr);
      RestoreDC(dc, saved);
      x += imgW + kImageGap;
    }
    RECT text{x, 0, std::max(x, w - 1), ht};
    DrawText(dc, tab.text, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }

  // The face of a side tab is drawn as a row tab and turned: left tabs read upwards, right tabs
  // downwards.
  void TurnedFace(HDC dc, int i, const RECT& r, bool selected, int fill) {
    int w = r.bottom - r.top, ht = r.right - r.left;
    if (w <= 0 || ht <= 0) return;
    BITMAPINFO bi{};
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -ht;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* srcBits = nullptr;
    void* dstBits = nullptr;
    HBITMAP src = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &srcBits, nullptr, 0);
    bi.bmiHeader.biWidth = ht;
    bi.bmiHeader.biHeight = -w;
    HBITMAP dst = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &dstBits, nullptr, 0);
    if (src && dst && srcBits && dstBits) {
      HDC mem = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(mem, src);
      FillStrip(mem, 0, 0, w, ht, fill);
      Face(mem, i, w, ht, selected);
      auto* s = static_cast<uint32_t*>(srcBits);
      auto* d = static_cast<uint32_t*>(dstBits);
      bool left = GetSide() == kLeft;
      for (int y = 0; y < ht; ++y)
        for (int x = 0; x < w; ++x) {
          // Destination is ht wide and w high.
          int dx = left ? y : ht - 1 - y, dy = left ? w - 1 - x : x;
          d[size_t(dy) * size_t(ht) + size_t(dx)] = s[size_t(y) * size_t(w) + size_t(x)];
        }
      SelectObject(mem, dst);
      BitBlt(dc, r.left, r.top, ht, w, mem, 0, 0, SRCCOPY);
      SelectObject(mem, old);
      DeleteDC(mem);
    }
    if (src) DeleteObject(src);
    if (dst) DeleteObject(dst);
  }

  void PaintTab(HDC dc, const Layout& lay, int i, bool selected) {
    const RECT& r = lay.rects[size_t(i)];
    bool highlighted = tabs[size_t(i)].state & TCIS_HIGHLIGHTED;
    int fill = highlighted ? COLOR_3DLIGHT : COLOR_BTNFACE;
    if (Buttons()) {
      RECT b{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
      FillStrip(dc, b.left, b.top, b.right, b.bottom, selected ? COLOR_3DLIGHT : fill);
      if (selected) DrawEdge(dc, &b, EDGE_SUNKEN, BF_RECT);
      else if (!(Style() & TCS_FLATBUTTONS)) DrawEdge(dc, &b, EDGE_RAISED, BF_RECT);
    } else {
      RECT e = selected ? Enlarged(r) : r;
      RECT f = e;
      if (selected) switch (GetSide()) {
          case kTop: f.bottom += 2; break;
          case kBottom: f.top -= 2; break;
          case kLeft: f.right += 2; break;
          case kRight: f.left -= 2; break;
        }
      FillStrip(dc, f.left, f.top, f.right, f.bottom, fill);
    }
    if (Vertical()) {
      TurnedFace(dc, i, r, selected, Buttons() && selected ? COLOR_3DLIGHT : fill);
    } else {
      int saved = SaveDC(dc);
      int shift = Buttons() && selected ? 1 : 0;
      OffsetViewportOrgEx(dc, r.left + shift, r.top + shift, nullptr);
      IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
      Face(dc, i, r.right - r.left, r.bottom - r.top, selected);
      RestoreDC(dc, saved);
    }
    if (!Buttons()) Edges(dc, selected ? Enlarged(r) : r, selected);
    if (selected && focused && !(Style() & TCS_FOCUSNEVER)) {
      RECT fr = r;
      InflateRect(&fr, -3, -3);
      if (fr.right > fr.left && fr.bottom > fr.top) DrawFocusRect(dc, &fr);
    }
  }

  void PaintArrows(HDC dc, const Layout& lay) {
    int a = lay.arrowSize;
    for (int k = 0; k < 2; ++k) {
      RECT b{lay.arrowsRect.left + k * a, lay.arrowsRect.top, lay.arrowsRect.left + (k + 1) * a, lay.arrowsRect.bottom};
      FillStrip(dc, b.left, b.top, b.right, b.bottom, COLOR_BTNFACE);
      RECT e = b;
      DrawEdge(dc, &e, EDGE_RAISED, BF_RECT);
      bool enabled = k == 0 ? first > 0 : first < lay.maxFirst;
      int colour = enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT;
      int cxm = (b.left + b.right) / 2, cym = (b.top + b.bottom) / 2;
      for (int j = 0; j < 4; ++j) {
        int x = k == 0 ? cxm - 2 + j : cxm + 1 - j;
        FillStrip(dc, x, cym - j, x + 1, cym + j + 1, colour);
      }
    }
  }

  void Paint(HDC dc) {
    Layout lay = Compute();
    RECT cr = Client();
    int saved = SaveDC(dc);
    FillRect(dc, &cr, GetSysColorBrush(COLOR_BTNFACE));
    if (!Buttons()) {
      // Raised as the tabs are: light at the top and left, shadow inside a dark line at the
      // right and bottom.
      const RECT& f = lay.frame;
      FillStrip(dc, f.left, f.top, f.right - 1, f.top + 1, COLOR_BTNHIGHLIGHT);
      FillStrip(dc, f.left, f.top, f.left + 1, f.bottom - 1, COLOR_BTNHIGHLIGHT);
      FillStrip(dc, f.right - 2, f.top + 1, f.right - 1, f.bottom - 1, COLOR_BTNSHADOW);
      FillStrip(dc, f.left + 1, f.bottom - 2, f.right - 1, f.bottom - 1, COLOR_BTNSHADOW);
      FillStrip(dc, f.right - 1, f.top, f.right, f.bottom, COLOR_3DDKSHADOW);
      FillStrip(dc, f.left, f.bottom - 1, f.right, f.bottom, COLOR_3DDKSHADOW);
    }
    int clip = SaveDC(dc);
    if (lay.arrows) IntersectClipRect(dc, 0, 0, lay.rowLimit, cr.bottom);
    for (int i = 0; i < Count(); ++i)
      if (i != cur) PaintTab(dc, lay, i, false);
    if (Valid(cur)) PaintTab(dc, lay, cur, true);
    RestoreDC(dc, clip);
    if (lay.arrows) PaintArrows(dc, lay);
    RestoreDC(dc, saved);
  }

  // ---- selection ----
  // A user's choice of tab i: the parent may refuse it. A handler may destroy the window, so
  // the caller touches nothing of this object afterwards.
  void UserSelect(int i);
};

TabCtl* StateOf(HWND h) { return static_cast<TabCtl*>(GetProp(h, kTabProp)); }

void TabCtl::UserSelect(int i) {
  if (!Valid(i) || i == cur) return;
  HWND self = h;
  if (Notify(TCN_SELCHANGING) != 0) return;
  if (!IsWindow(self) || StateOf(self) != this || !Valid(i)) return;
  cur = i;
  EnsureVisible(i);
  InvalidateRect(h, nullptr, TRUE);
  Notify(TCN_SELCHANGE);
}

void ReadItem(Tab& tab, const TCITEM* it) {
  if (it->mask & TCIF_TEXT) tab.text = it->pszText ? it->pszText : "";
  if (it->mask & TCIF_IMAGE) tab.image = it->iImage;
  if (it->mask & TCIF_PARAM) tab.data = it->lParam;
  if (it->mask & TCIF_STATE) tab.state = (tab.state & ~it->dwStateMask) | (it->dwState & it->dwStateMask);
}

}  // namespace

LRESULT TabControlWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  TabCtl* t = StateOf(h);
  if (!t) {
    if (msg == WM_NCDESTROY) return DefWindowProc(h, msg, wp, lp);
    t = new TabCtl;
    t->h = h;
    SetProp(h, kTabProp, t);
  }
  auto idx = intptr_t(wp);
  switch (msg) {
    case WM_NCDESTROY:
      RemoveProp(h, kTabProp);
      delete t;
      return DefWindowProc(h, msg, wp, lp);
    case TCM_GETITEMCOUNT: return t->Count();
    case TCM_INSERTITEM: {
      auto* it = reinterpret_cast<const TCITEM*>(lp);
      if (!it || idx < 0) return -1;
      int at = int(std::min<intptr_t>(idx, t->Count()));
      Tab tab;
      ReadItem(tab, it);
      t->tabs.insert(t->tabs.begin() + at, std::move(tab));
      // The first tab is selected; a tab before the selected one moves the selection along.
      if (t->cur < 0 && t->Count() == 1) t->cur = 0;
      else if (t->cur >= at) ++t->cur;
      InvalidateRect(h, nullptr, TRUE);
      return at;
    }
    case TCM_DELETEITEM: {
      if (!t->Valid(idx)) return FALSE;
      t->tabs.erase(t->tabs.begin() + idx);
      // The selected tab's place goes to the next tab (the previous one at the end).
      if (t->cur > idx) --t->cur;
      else if (t->cur == idx) t->cur = std::min<int>(int(idx), t->Count() - 1);
      t->hot = -1;
      t->Compute();  // clamps the first tab shown
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case TCM_DELETEALLITEMS:
      t->tabs.clear();
      t->cur = t->hot = -1;
      t->first = 0;
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    case TCM_GETITEM: {
      auto* it = reinterpret_cast<TCITEM*>(lp);
      if (!it || !t->Valid(idx)) return FALSE;
      const Tab& tab = t->tabs[size_t(idx)];
      if ((it->mask & TCIF_TEXT) && it->pszText && it->cchTextMax > 0) {
        size_t n = std::min(tab.text.size(), size_t(it->cchTextMax - 1));
        // Whole characters only.
        while (n > 0 && n < tab.text.size() && (uint8_t(tab.text[n]) & 0xC0) == 0x80) --n;
        std::copy(tab.text.begin(), tab.text.begin() + ptrdiff_t(n), it->pszText);
        it->pszText[n] = 0;
      }
      if (it->mask & TCIF_IMAGE) it->iImage = tab.image;
      if (it->mask & TCIF_PARAM) it->lParam = tab.data;
      if (it->mask & TCIF_STATE) it->dwState = tab.state & it->dwStateMask;
      return TRUE;
    }
    case TCM_SETITEM: {
      auto* it = reinterpret_cast<const TCITEM*>(lp);
      if (!it || !t->Valid(idx)) return FALSE;
      ReadItem(t->tabs[size_t(idx)], it);
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case TCM_HIGHLIGHTITEM: {
      if (!t->Valid(idx)) return FALSE;
      DWORD& s = t->tabs[size_t(idx)].state;
      s = LOWORD(lp) ? (s | TCIS_HIGHLIGHTED) : (s & ~TCIS_HIGHLIGHTED);
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case TCM_GETCURSEL: case TCM_GETCURFOCUS: return t->cur;
    case TCM_SETCURSEL: case TCM_SETCURFOCUS: {
      if (idx < -1 || idx >= t->Count()) return -1;
      int old = t->cur;
      t->cur = int(idx);
      t->EnsureVisible(t->cur);
      InvalidateRect(h, nullptr, TRUE);
      return old;
    }
    case TCM_GETITEMRECT: {
      auto* r = reinterpret_cast<RECT*>(lp);
      if (!r || !t->Valid(idx)) return FALSE;
      *r = t->Compute().rects[size_t(idx)];
      return TRUE;
    }
    case TCM_ADJUSTRECT: {
      auto* r = reinterpret_cast<RECT*>(lp);
      if (r) t->Adjust(r, wp != 0);
      return 0;
    }
    case TCM_SETITEMSIZE: {
      LRESULT old = MAKELPARAM(WORD(t->cx), WORD(t->cy));
      t->cx = std::max(0, int(SHORT(LOWORD(lp))));
      t->cy = std::max(0, int(SHORT(HIWORD(lp))));
      InvalidateRect(h, nullptr, TRUE);
      return old;
    }
    case TCM_SETPADDING:
      t->padX = std::max(0, int(SHORT(LOWORD(lp))));
      t->padY = std::max(0, int(SHORT(HIWORD(lp))));
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case TCM_SETMINTABWIDTH: {
      int old = t->minWidth;
      t->minWidth = std::max(0, int(lp));
      InvalidateRect(h, nullptr, TRUE);
      return old;
    }
    case TCM_GETROWCOUNT: return t->Compute().rows;
    case TCM_GETIMAGELIST: return reinterpret_cast<LRESULT>(t->images);
    case TCM_SETIMAGELIST: {
      TCustomImageList* old = t->images;
      t->images = reinterpret_cast<TCustomImageList*>(lp);
      InvalidateRect(h, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case TCM_REMOVEIMAGE:
      for (Tab& tab : t->tabs)
        if (tab.image == int(idx)) tab.image = -1;
        else if (tab.image > int(idx)) --tab.image;
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case TCM_SETITEMEXTRA: return TRUE;
    case TCM_DESELECTALL: return 0;
    case TCM_HITTEST: {
      auto* info = reinterpret_cast<TCHITTESTINFO*>(lp);
      if (!info) return -1;
      return t->HitTest(info->pt, &info->flags);
    }
    case WM_HSCROLL: {
      if (t->Multi()) return 0;
      switch (LOWORD(wp)) {
        case SB_THUMBPOSITION: case SB_THUMBTRACK: t->Scroll(HIWORD(wp)); break;
        case SB_LINELEFT: t->Scroll(t->first - 1); break;
        case SB_LINERIGHT: t->Scroll(t->first + 1); break;
        case SB_LEFT: t->Scroll(0); break;
        case SB_RIGHT: t->Scroll(t->Count()); break;
      }
      return 0;
    }
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: {
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      Layout lay = t->Compute();
      if (t->InArrows(lay, p)) {
        bool back = p.x < lay.arrowsRect.left + lay.arrowSize;
        t->Scroll(t->first + (back ? -1 : 1));
        return 0;
      }
      int i = t->HitTest(p, nullptr);
      if (i < 0) return 0;
      if (!(t->Style() & TCS_FOCUSNEVER) && GetFocus() != h) {
        SetFocus(h);
        if (!IsWindow(h) || StateOf(h) != t) return 0;
      }
      t->UserSelect(i);
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (!(t->Style() & TCS_HOTTRACK)) return 0;
      int i = t->HitTest(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, nullptr);
      if (i != t->hot) {
        t->hot = i;
        InvalidateRect(h, nullptr, TRUE);
      }
      TRACKMOUSEEVENT tme;
      tme.dwFlags = TME_LEAVE;
      tme.hwndTrack = h;
      TrackMouseEvent(&tme);
      return 0;
    }
    case WM_MOUSELEAVE:
      if (t->hot >= 0) {
        t->hot = -1;
        InvalidateRect(h, nullptr, TRUE);
      }
      return 0;
    case WM_KEYDOWN: {
      int n = t->Count();
      if (n == 0) return 0;
      int to = -1;
      switch (wp) {
        case VK_LEFT: case VK_UP: to = t->cur < 0 ? 0 : t->cur - 1; break;
        case VK_RIGHT: case VK_DOWN: to = t->cur < 0 ? 0 : t->cur + 1; break;
        case VK_HOME: to = 0; break;
        case VK_END: to = n - 1; break;
        default: return DefWindowProc(h, msg, wp, lp);
      }
      if (to >= 0 && to < n) t->UserSelect(to);
      return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS: case WM_KILLFOCUS:
      t->focused = msg == WM_SETFOCUS;
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_SETFONT:
      t->font = reinterpret_cast<HFONT>(wp);
      if (LOWORD(lp)) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(t->font);
    case WM_SIZE: case WM_STYLECHANGED: case WM_ENABLE:
      InvalidateRect(h, nullptr, TRUE);
      return DefWindowProc(h, msg, wp, lp);
    case WM_ERASEBKGND: return 1;  // the paint covers everything
    case WM_PAINT: {
      if (wp) {
        t->Paint(reinterpret_cast<HDC>(wp));
        return 0;
      }
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (dc) t->Paint(dc);
      EndPaint(h, &ps);
      return 0;
    }
  }
  return DefWindowProc(h, msg, wp, lp);
}

void InitTabControlClass() {
  WNDCLASS probe;
  if (GetClassInfo(nullptr, kTabControlClassName, &probe)) return;
  WNDCLASS wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = TabControlWindowProc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kTabControlClassName;
  RegisterClass(&wc);
}

}  // namespace win
