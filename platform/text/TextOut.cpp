// Text metrics and output: GetTextMetrics, extents, character widths, TextOut, ExtTextOut.
#include <algorithm>
#include <cstring>

#include "platform/gdi/Paint.h"
#include "platform/text/TextPaint.h"

namespace win::text {

std::shared_ptr<RealFont> FontOf(gdi::Dc& dc) {
  auto f = dc.st.font ? dc.st.font : gdi::StockFont(SYSTEM_FONT);
  return f->Real();
}

void PaintRect(gdi::Dc& dc, RECT r, const RECT* clip, uint32_t color) {
  if (clip && !IntersectRect(&r, &r, clip)) return;
  gdi::BrushPaint bp;
  bp.null = false;
  bp.solid = true;
  bp.color = color;
  gdi::FillBufferRect(dc, r, bp);
}

void PaintRun(gdi::Dc& dc, RealFont& f, const std::u32string& s, const std::vector<int>& adv, int x, int top,
              const RECT* clip, uint32_t color) {
  gdi::Surf surf = dc.GetSurf();
  if (!surf.Valid()) return;
  const uint32_t fr = (color >> 16) & 0xFF, fg = (color >> 8) & 0xFF, fb = color & 0xFF;
  int64_t pen = x;
  int baseline = top + f.tm.tmAscent;
  for (size_t i = 0; i < s.size(); ++i) {
    const Glyph& g = f.GetGlyph(s[i]);
    if (g.w > 0 && g.h > 0 && pen > -(int64_t(1) << 30) && pen < (int64_t(1) << 30)) {
      int gx = int(pen) + g.left, gy = baseline - g.top;
      RECT box{gx, gy, gx + g.w, gy + g.h};
      if (!clip || IntersectRect(&box, &box, clip)) {
        dc.Clip().ForEachIn(box, [&](const RECT& c) {
          for (int y = c.top; y < c.bottom; ++y) {
            const uint8_t* cov = g.coverage.data() + size_t(y - gy) * g.w;
            for (int xx = c.left; xx < c.right; ++xx) {
              uint32_t a = cov[xx - gx];
              if (a == 0) continue;
              uint32_t d = surf.Get(xx, y);
              auto mix = [a](uint32_t f2, uint32_t d2) { return (f2 * a + d2 * (255 - a) + 127) / 255; };
              uint32_t out = (mix(fr, (d >> 16) & 0xFF) << 16) | (mix(fg, (d >> 8) & 0xFF) << 8) | mix(fb, d & 0xFF);
              surf.Put(xx, y, out);
            }
          }
        });
      }
    }
    pen += i < adv.size() ? adv[i] : g.advance;
  }
}

}  // namespace win::text

namespace win {
using namespace gdi;
using namespace text;

namespace {
std::u32string Decode(const char* t, int64_t bytes) {
  if (!t || bytes <= 0) return {};
  return DecodeUtf8(std::string_view(t, size_t(bytes)));
}
}  // namespace

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm) {
  auto dc = GetDc(hdc);
  if (!dc || !tm) return FALSE;
  *tm = FontOf(*dc)->tm;
  return TRUE;
}

BOOL GetTextExtentPoint32(HDC hdc, const char* text, int bytes, SIZE* size) {
  auto dc = GetDc(hdc);
  if (!dc || !size || bytes < 0 || (!text && bytes > 0)) return FALSE;
  auto f = FontOf(*dc);
  int64_t w = 0;
  for (char32_t c : Decode(text, bytes)) w += f->Advance(c);
  size->cx = LONG(std::min<int64_t>(w, INT32_MAX));
  size->cy = f->tm.tmHeight;
  return TRUE;
}

BOOL GetCharWidth32(HDC hdc, UINT first, UINT last, INT* widths) {
  auto dc = GetDc(hdc);
  if (!dc || !widths || last < first || last > 0x10FFFF) return FALSE;
  auto f = FontOf(*dc);
  for (UINT c = first; c <= last; ++c) widths[c - first] = f->Advance(char32_t(c));
  return TRUE;
}

int GetTextFace(HDC hdc, int size, char* name) {
  auto dc = GetDc(hdc);
  if (!dc) return 0;
  std::string face = FontOf(*dc)->faceName;
  if (!name) return int(face.size()) + 1;
  if (size <= 0) return 0;
  size_t n = std::min(face.size(), size_t(size - 1));
  while (n > 0 && n < face.size() && (uint8_t(face[n]) & 0xC0) == 0x80) --n;
  std::memcpy(name, face.data(), n);
  name[n] = 0;
  return int(n) + 1;
}

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, const char* text, UINT bytes, const INT* dx) {
  auto dc = GetDc(hdc);
  if (!dc || (!text && bytes > 0) || bytes > UINT(INT32_MAX)) return FALSE;
  auto f = FontOf(*dc);
  RECT clipBuf{}, *clip = nullptr;
  if (rect) clipBuf = RECT{dc->X(rect->left), dc->Y(rect->top), dc->X(rect->right), dc->Y(rect->bottom)};
  if (rect && (options & ETO_OPAQUE)) PaintRect(*dc, clipBuf, nullptr, ColorRefToPixel(dc->st.bkColor));
  if (rect && (options & ETO_CLIPPED)) clip = &clipBuf;
  std::u32string s = Decode(text, bytes);
  std::vector<int> adv(s.size());
  int64_t width = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    adv[i] = dx ? dx[i] : f->Advance(s[i]);
    width += adv[i];
  }
  int w = int(std::clamp<int64_t>(width, INT32_MIN / 2, INT32_MAX / 2));
  UINT align = dc->st.textAlign;
  if (align & TA_UPDATECP) { x = dc->st.cur.x; y = dc->st.cur.y; }
  int left = x;
  if ((align & TA_CENTER) == TA_CENTER) left = x - w / 2;
  else if (align & TA_RIGHT) left = x - w;
  int top = y;
  if ((align & TA_BASELINE) == TA_BASELINE) top = y - f->tm.tmAscent;
  else if (align & TA_BOTTOM) top = y - f->tm.tmHeight;
  if (align & TA_UPDATECP) dc->st.cur.x = (align & TA_RIGHT) ? x - w : x + w;
  int bx = dc->X(left), by = dc->Y(top);
  uint32_t fg = ColorRefToPixel(dc->st.textColor);
  if (dc->st.bkMode == OPAQUE && w > 0)
    PaintRect(*dc, RECT{bx, by, bx + w, by + f->tm.tmHeight}, clip, ColorRefToPixel(dc->st.bkColor));
  PaintRun(*dc, *f, s, adv, bx, by, clip, fg);
  int base = by + f->tm.tmAscent;
  if (f->tm.tmUnderlined && w > 0)
    PaintRect(*dc, RECT{bx, base + f->underlinePos, bx + w, base + f->underlinePos + f->underlineThick}, clip, fg);
  if (f->tm.tmStruckOut && w > 0)
    PaintRect(*dc, RECT{bx, base - f->strikePos, bx + w, base - f->strikePos + f->underlineThick}, clip, fg);
  return TRUE;
}

BOOL TextOut(HDC hdc, int x, int y, const char* text, int bytes) {
  if (bytes < 0) return FALSE;
  return ExtTextOut(hdc, x, y, 0, nullptr, text, UINT(bytes), nullptr);
}

}  // namespace win
