// DrawText: prefixes, line breaks, word wrapping (also between Chinese characters), tabs,
// ellipses, alignment, DT_CALCRECT.
#include <algorithm>
#include <cstring>

#include "platform/text/TextPaint.h"

namespace win {
using namespace gdi;
using namespace text;

namespace {

struct Ch {
  char32_t c;
  bool underline;
};
using Line = std::vector<Ch>;

bool IsBreakSpace(char32_t c) { return c == U' ' || c == U'\t' || c == 0x3000; }

class Layout {
 public:
  Layout(RealFont& f, UINT fmt) : f_(f), expand_(fmt & DT_EXPANDTABS) {
    tab_ = std::max<int64_t>(1, int64_t(8) * f.tm.tmAveCharWidth);
  }
  int Advance(char32_t c, int64_t x) const {
    if (c == U'\t' && expand_) return int(((x / tab_) + 1) * tab_ - x);
    return f_.Advance(c);
  }
  int64_t Width(const Line& l, size_t from = 0, size_t to = SIZE_MAX, int64_t x0 = 0) const {
    int64_t x = x0;
    for (size_t i = from; i < std::min(to, l.size()); ++i) x += Advance(l[i].c, x);
    return x - x0;
  }
  std::vector<int> Advances(const Line& l) const {
    std::vector<int> a;
    int64_t x = 0;
    for (const Ch& c : l) {
      a.push_back(Advance(c.c, x));
      x += a.back();
    }
    return a;
  }

  // Greedy filling: a line breaks after spaces and before or after a wide character; a word
  // longer than the limit keeps its own line; spaces at a break are dropped.
  void Wrap(const Line& par, int64_t limit, std::vector<Line>* out) const {
    Line line;
    int64_t lineX = 0;
    size_t i = 0, n = par.size();
    while (i < n) {
      size_t start = i;
      if (IsWide(par[i].c) && !IsBreakSpace(par[i].c)) {
        ++i;
      } else {
        while (i < n && !IsBreakSpace(par[i].c) && !IsWide(par[i].c)) ++i;
      }
      size_t wordEnd = i;
      while (i < n && IsBreakSpace(par[i].c)) ++i;
      Line tok(par.begin() + long(start), par.begin() + long(i));
      int64_t wordW = Width(tok, 0, wordEnd - start, lineX);
      if (!line.empty() && lineX + wordW > limit) {
        while (!line.empty() && IsBreakSpace(line.back().c)) line.pop_back();
        out->push_back(std::move(line));
        line.clear();
        lineX = 0;
      }
      lineX += Width(tok, 0, SIZE_MAX, lineX);
      line.insert(line.end(), tok.begin(), tok.end());
    }
    out->push_back(std::move(line));
  }

  void EndEllipsis(Line& l, int64_t limit) const {
    Line dots(3, Ch{U'.', false});
    int64_t dw = Width(dots);
    while (!l.empty() && Width(l) + dw > limit) l.pop_back();
    l.insert(l.end(), dots.begin(), dots.end());
  }

  // Keeps the part after the last path separator and shortens the part before it.
  void PathEllipsis(Line& l, int64_t limit) const {
    size_t sep = SIZE_MAX;
    for (size_t i = l.size(); i-- > 0;)
      if (l[i].c == U'\\' || l[i].c == U'/') { sep = i; break; }
    if (sep == SIZE_MAX) return EndEllipsis(l, limit);
    Line head(l.begin(), l.begin() + long(sep)), tail(l.begin() + long(sep), l.end());
    Line dots(3, Ch{U'.', false});
    auto joined = [&] {
      Line j = head;
      j.insert(j.end(), dots.begin(), dots.end());
      j.insert(j.end(), tail.begin(), tail.end());
      return j;
    };
    while (!head.empty() && Width(joined()) > limit) head.pop_back();
    l = joined();
    if (Width(l) > limit) EndEllipsis(l, limit);
  }

 private:
  RealFont& f_;
  bool expand_;
  int64_t tab_;
};

}  // namespace

int DrawText(HDC hdc, const char* text, int bytes, RECT* rect, UINT fmt) {
  auto dc = GetDc(hdc);
  if (!dc || !rect || (!text && bytes != 0)) return 0;
  size_t n = bytes < 0 ? std::strlen(text) : size_t(bytes);
  std::u32string s = n ? DecodeUtf8(std::string_view(text, n)) : std::u32string();
  auto font = FontOf(*dc);
  RealFont& f = *font;
  Layout lay(f, fmt);

  // "&x" marks x, "&&" is "&"; a lone "&" at the end shows nothing.
  Line chars;
  chars.reserve(s.size());
  bool prefix = !(fmt & DT_NOPREFIX);
  for (size_t i = 0; i < s.size(); ++i) {
    if (prefix && s[i] == U'&') {
      if (i + 1 >= s.size()) break;
      ++i;
      chars.push_back(Ch{s[i], s[i] != U'&' && !(fmt & DT_HIDEPREFIX)});
      continue;
    }
    chars.push_back(Ch{s[i], false});
  }

  bool single = fmt & DT_SINGLELINE;
  std::vector<Line> pars;
  if (!chars.empty()) {
    pars.emplace_back();
    for (size_t i = 0; i < chars.size(); ++i) {
      char32_t c = chars[i].c;
      if (c == U'\r' || c == U'\n') {
        if (single) continue;
        if (c == U'\r' && i + 1 < chars.size() && chars[i + 1].c == U'\n') ++i;
        if (i + 1 < chars.size()) pars.emplace_back();  // a final break adds no empty line
        continue;
      }
      pars.back().push_back(chars[i]);
    }
  }
  int64_t limit = int64_t(rect->right) - rect->left;
  bool wrap = (fmt & DT_WORDBREAK) && !single;
  std::vector<Line> lines;
  for (const Line& p : pars) {
    if (wrap) lay.Wrap(p, limit, &lines);
    else lines.push_back(p);
  }
  bool calc = fmt & DT_CALCRECT;
  if (!calc && (fmt & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS))) {
    for (Line& l : lines) {
      if (lay.Width(l) <= limit) continue;
      if (fmt & DT_PATH_ELLIPSIS) lay.PathEllipsis(l, limit);
      else lay.EndEllipsis(l, limit);
    }
  }

  int lh = f.tm.tmHeight + ((fmt & DT_EXTERNALLEADING) ? f.tm.tmExternalLeading : 0);
  int64_t total64 = int64_t(lines.size()) * lh;
  int total = int(std::min<int64_t>(total64, INT32_MAX / 2));
  if (calc) {
    int64_t maxW = 0;
    for (const Line& l : lines) maxW = std::max(maxW, lay.Width(l));
    rect->right = LONG(std::min<int64_t>(int64_t(rect->left) + maxW, INT32_MAX));
    rect->bottom = LONG(std::min<int64_t>(int64_t(rect->top) + total, INT32_MAX));
    return total;
  }

  int y0 = rect->top;
  if (single && (fmt & DT_VCENTER)) y0 = rect->top + (rect->bottom - rect->top - lh) / 2;
  else if (single && (fmt & DT_BOTTOM)) y0 = rect->bottom - lh;

  RECT clipBuf{dc->X(rect->left), dc->Y(rect->top), dc->X(rect->right), dc->Y(rect->bottom)};
  const RECT* clip = (fmt & DT_NOCLIP) ? nullptr : &clipBuf;
  uint32_t fg = ColorRefToPixel(dc->st.textColor), bk = ColorRefToPixel(dc->st.bkColor);
  for (size_t k = 0; k < lines.size(); ++k) {
    const Line& l = lines[k];
    std::vector<int> adv = lay.Advances(l);
    int64_t lw = 0;
    for (int a : adv) lw += a;
    int64_t lx = rect->left;
    if (fmt & DT_CENTER) lx = rect->left + (limit - lw) / 2;
    else if (fmt & DT_RIGHT) lx = rect->right - lw;
    int64_t top = int64_t(y0) + int64_t(k) * lh;
    if (top > INT32_MAX / 2 || lx < INT32_MIN / 2 || lx > INT32_MAX / 2) break;
    int bx = dc->X(int(lx)), by = dc->Y(int(top));
    if (dc->st.bkMode == OPAQUE && lw > 0)
      PaintRect(*dc, RECT{bx, by, int(bx + std::min<int64_t>(lw, INT32_MAX / 2)), by + f.tm.tmHeight}, clip, bk);
    std::u32string run;
    for (const Ch& c : l) run.push_back(c.c);
    PaintRun(*dc, f, run, adv, bx, by, clip, fg);
    int64_t x = bx;
    int base = by + f.tm.tmAscent;
    // An underlined or struck-out font marks the whole line, as TextOut does.
    const int lw32 = int(std::min<int64_t>(lw, INT32_MAX / 2));
    if (f.tm.tmUnderlined && lw32 > 0)
      PaintRect(*dc, RECT{bx, base + f.underlinePos, bx + lw32, base + f.underlinePos + f.underlineThick}, clip, fg);
    if (f.tm.tmStruckOut && lw32 > 0)
      PaintRect(*dc, RECT{bx, base - f.strikePos, bx + lw32, base - f.strikePos + f.underlineThick}, clip, fg);
    for (size_t i = 0; i < l.size(); ++i) {
      if (l[i].underline && adv[i] > 0)
        PaintRect(*dc, RECT{int(x), base + f.underlinePos, int(x + adv[i]), base + f.underlinePos + f.underlineThick},
                  clip, fg);
      x += adv[i];
    }
  }
  if (single && (fmt & (DT_VCENTER | DT_BOTTOM))) return y0 - rect->top + total;
  return total;
}

}  // namespace win
