#include "platform/WinTypes.h"

#include <algorithm>

namespace win {

BOOL SetRect(RECT* r, int left, int top, int right, int bottom) {
  if (!r) return FALSE;
  *r = RECT{left, top, right, bottom};
  return TRUE;
}

BOOL SetRectEmpty(RECT* r) { return SetRect(r, 0, 0, 0, 0); }

BOOL IsRectEmpty(const RECT* r) { return !r || r->right <= r->left || r->bottom <= r->top; }

BOOL CopyRect(RECT* dst, const RECT* src) {
  if (!dst || !src) return FALSE;
  *dst = *src;
  return TRUE;
}

BOOL EqualRect(const RECT* a, const RECT* b) { return a && b && *a == *b; }

BOOL OffsetRect(RECT* r, int dx, int dy) {
  if (!r) return FALSE;
  r->left += dx; r->right += dx; r->top += dy; r->bottom += dy;
  return TRUE;
}

BOOL InflateRect(RECT* r, int dx, int dy) {
  if (!r) return FALSE;
  r->left -= dx; r->right += dx; r->top -= dy; r->bottom += dy;
  return TRUE;
}

BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right), std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&r)) { SetRectEmpty(dst); return FALSE; }
  *dst = r;
  return TRUE;
}

BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  if (IsRectEmpty(a)) { if (IsRectEmpty(b)) { SetRectEmpty(dst); return FALSE; } *dst = *b; return TRUE; }
  if (IsRectEmpty(b)) { *dst = *a; return TRUE; }
  *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
  return TRUE;
}

BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  RECT r = *a;
  RECT inter;
  if (IntersectRect(&inter, a, b)) {
    // Only a full-width or full-height bite shrinks the rectangle; any other leaves it whole.
    if (inter.left == r.left && inter.right == r.right) {
      if (inter.top == r.top) r.top = inter.bottom;
      else if (inter.bottom == r.bottom) r.bottom = inter.top;
    } else if (inter.top == r.top && inter.bottom == r.bottom) {
      if (inter.left == r.left) r.left = inter.right;
      else if (inter.right == r.right) r.right = inter.left;
    }
  }
  if (IsRectEmpty(&r)) { SetRectEmpty(dst); return FALSE; }
  *dst = r;
  return TRUE;
}

BOOL PtInRect(const RECT* r, POINT p) {
  return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}

}  // namespace win
