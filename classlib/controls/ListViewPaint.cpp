// The list view's plain look: items with their small or large images, text cut with "...",
// the selection in clHighlight/clHighlightText (clBtnFace when the list has no focus and keeps
// showing it), grid lines in clBtnFace, and the dotted focus rectangle.
#include <algorithm>

#include "classlib/ListViews.h"
#include "platform/Gdi.h"

using namespace win;

namespace {

constexpr UINT kCellText = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;

UINT AlignFlag(TAlignment a) { return a == taRightJustify ? DT_RIGHT : a == taCenter ? DT_CENTER : DT_LEFT; }

int32_t TextWidthOf(HDC dc, const std::string& s) {
  SIZE sz{};
  GetTextExtentPoint32(dc, s.data(), int(s.size()), &sz);
  return sz.cx;
}

}  // namespace

void TCustomListView::PaintWindow(HDC DC) {
  TRect client = Client();
  RECT clip{};
  if (GetClipBox(DC, &clip) == 0 /* NULLREGION */ || IsRectEmpty(&clip)) clip = client;
  int saved = SaveDC(DC);
  FCanvas->SetHandle(DC);
  try {
    HBRUSH bg = CreateSolidBrush(ColorToRGB(FColor));
    FillRect(DC, &clip, bg);
    DeleteObject(bg);
    SelectObject(DC, FFont->Handle());
    SetBkMode(DC, TRANSPARENT);

    int32_t n = ItemCount(), first = 0, last = -1;
    switch (FViewStyle) {
      case vsReport: {
        int32_t rh = RowHeight(), top = HeaderHeight();
        first = FTopIndex + std::max(0, int32_t(clip.top) - top) / rh;
        last = FTopIndex + std::max(0, int32_t(clip.bottom) - top - 1) / rh;
        break;
      }
      case vsList: {
        int32_t rows = RowsPerColumn(), w = ListColumnWidth();
        first = (FScrollX + clip.left / w) * rows;
        last = (FScrollX + (clip.right - 1) / w + 1) * rows - 1;
        break;
      }
      default: {
        int32_t cols = IconColumns(), h = CellHeight();
        first = (FScrollY + clip.top) / h * cols;
        last = ((FScrollY + clip.bottom - 1) / h + 1) * cols - 1;
        break;
      }
    }
    first = std::max(0, first);
    last = std::min(last, n - 1);
    for (int32_t i = first; i <= last; ++i) DrawItem(i, ItemRect(i, drBounds));

    if (FViewStyle == vsReport && FGridLines) {
      HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(clBtnFace));
      HGDIOBJ oldPen = SelectObject(DC, pen);
      int32_t top = HeaderHeight(), rh = RowHeight();
      for (int32_t y = top + rh - 1; y < client.bottom; y += rh) {
        MoveToEx(DC, 0, y, nullptr);
        LineTo(DC, client.right, y);
      }
      int32_t x = -FScrollX;
      for (int32_t c : ColumnOrder()) {
        int32_t w = FColumns->Items(c)->FWidth;
        x += w;
        if (w <= 0) continue;
        MoveToEx(DC, x - 1, top, nullptr);
        LineTo(DC, x - 1, client.bottom);
      }
      SelectObject(DC, oldPen);
      DeleteObject(pen);
    }
    if (Focused() && Valid(FFocusIndex) && !IsEditing()) {
      RECT f = ItemRect(FFocusIndex, drSelectBounds);
      if (FViewStyle != vsReport) f = ItemRect(FFocusIndex, drLabel);
      f.left = std::max<LONG>(f.left, 0);
      f.right = std::min<LONG>(f.right, client.right);
      if (f.right > f.left) DrawFocusRect(DC, &f);
    }
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    RestoreDC(DC, saved);
    throw;
  }
  FCanvas->SetHandle(nullptr);
  RestoreDC(DC, saved);
}

void TCustomListView::DrawItem(int32_t Index, const TRect& Bounds) {
  HDC dc = FCanvas->Handle();
  TListItem* item = GetItem(Index);
  if (!item) return;
  bool focused = Focused();
  bool sel = IsSelectedIndex(Index) && (focused || !FHideSelection);
  COLORREF selBk = ColorToRGB(focused ? clHighlight : clBtnFace);
  COLORREF selFg = ColorToRGB(focused ? clHighlightText : clBtnText);
  COLORREF fg = ColorToRGB(FFont->Color());
  auto fill = [&](RECT r, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
  };
  auto drawImage = [&](TCustomImageList* list, int32_t x, int32_t y, const RECT& within) {
    if (!list || item->ImageIndex() < 0 || item->ImageIndex() >= list->Count()) return;
    int s = SaveDC(dc);
    IntersectClipRect(dc, within.left, within.top, within.right, within.bottom);
    list->Draw(FCanvas.get(), x, y, item->ImageIndex(), Enabled());
    RestoreDC(dc, s);
    FCanvas->Refresh();
    SelectObject(dc, FFont->Handle());
    SetBkMode(dc, TRANSPARENT);
  };

  if (FViewStyle == vsReport) {
    int32_t x = -FScrollX;
    if (sel && FRowSelect) fill(RECT{Bounds.left, Bounds.top, Bounds.right, Bounds.bottom}, selBk);
    for (int32_t c : ColumnOrder()) {
      TListColumn* col = FColumns->Items(c);
      int32_t w = col->FWidth;
      RECT cell{x, Bounds.top, x + w, Bounds.bottom};
      x += w;
      if (w <= 0) continue;
      const std::string* text = nullptr;
      std::string none;
      if (c == 0) text = &item->Caption();
      else if (c - 1 < item->SubItems()->Count()) none = item->SubItems()->Get(c - 1);
      if (!text) text = &none;
      int32_t left = cell.left + (c == 0 ? 2 : 6);
      if (c == 0 && FSmallImages) {
        int32_t ih = FSmallImages->Height();
        drawImage(FSmallImages, left, cell.top + (cell.bottom - cell.top - ih) / 2, cell);
        left += FSmallImages->Width() + 2;
      }
      RECT tr{left, cell.top, cell.right - (c == 0 ? 2 : 6), cell.bottom};
      bool hot = sel && (FRowSelect || c == 0);
      if (sel && !FRowSelect && c == 0) {
        // Without whole-row selection only the caption is marked.
        int32_t tw = TextWidthOf(dc, *text);
        fill(RECT{std::max<LONG>(left - 2, cell.left), cell.top, std::min<LONG>(left + tw + 2, cell.right), cell.bottom}, selBk);
      }
      if (tr.right <= tr.left || text->empty()) continue;
      SetTextColor(dc, hot ? selFg : fg);
      DrawText(dc, *text, &tr, AlignFlag(c == 0 ? taLeftJustify : col->FAlignment) | kCellText);
    }
    return;
  }

  RECT label = ItemRect(Index, drLabel);
  const std::string& text = item->Caption();
  if (FViewStyle == vsIcon) {
    RECT icon = ItemRect(Index, drIcon);
    drawImage(FLargeImages, icon.left, icon.top, RECT{Bounds.left, Bounds.top, Bounds.right, Bounds.bottom});
    int32_t tw = std::min<int32_t>(TextWidthOf(dc, text), label.right - label.left);
    RECT mark{label.left + (label.right - label.left - tw) / 2 - 2, label.top,
              label.left + (label.right - label.left + tw) / 2 + 2, label.bottom};
    if (sel) fill(mark, selBk);
    SetTextColor(dc, sel ? selFg : fg);
    DrawText(dc, text, &label, DT_CENTER | kCellText);
    return;
  }
  RECT icon = ItemRect(Index, drIcon);
  if (FSmallImages)
    drawImage(FSmallImages, icon.left, icon.top + (icon.bottom - icon.top - FSmallImages->Height()) / 2,
              RECT{Bounds.left, Bounds.top, Bounds.right, Bounds.bottom});
  RECT tr{label.left + 2, label.top, label.right - 4, label.bottom};
  if (sel) {
    int32_t tw = TextWidthOf(dc, text);
    fill(RECT{label.left, label.top, std::min<LONG>(label.left + tw + 4, label.right), label.bottom}, selBk);
  }
  SetTextColor(dc, sel ? selFg : fg);
  if (tr.right > tr.left) DrawText(dc, text, &tr, DT_LEFT | kCellText);
}
