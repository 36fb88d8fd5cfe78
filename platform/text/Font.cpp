// Font realisation through fontconfig and FreeType, with a per-character fallback to a Chinese
// face, and the built-in box font for exact layout tests.
#include "platform/text/Font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
// GCC says __SANITIZE_ADDRESS__; clang (the fuzz targets' compiler) says it through __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define OMBREL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OMBREL_ASAN 1
#endif
#endif
#ifndef OMBREL_ASAN
#define OMBREL_ASAN 0
#endif
#if OMBREL_ASAN
#include <sanitizer/lsan_interface.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace win::text {

const Glyph& RealFont::GetGlyph(char32_t c) {
  {
    std::lock_guard<std::mutex> lock(mu_);
    auto it = cache_.find(c);
    if (it != cache_.end()) return *it->second;
  }
  auto g = std::make_unique<Glyph>(Load(c));
  std::lock_guard<std::mutex> lock(mu_);
  auto [it, inserted] = cache_.emplace(c, std::move(g));
  return *it->second;
}

bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

std::u32string DecodeUtf8(std::string_view s) {
  // Bytes that do not form a valid sequence become U+FFFD, one per byte.
  static const char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  std::u32string out;
  out.reserve(s.size());
  size_t i = 0, n = s.size();
  while (i < n) {
    uint8_t b = uint8_t(s[i]);
    if (b < 0x80) { out.push_back(b); ++i; continue; }
    size_t len;
    char32_t c;
    if ((b & 0xE0) == 0xC0) { len = 1; c = b & 0x1F; }
    else if ((b & 0xF0) == 0xE0) { len = 2; c = b & 0x0F; }
    else if ((b & 0xF8) == 0xF0) { len = 3; c = b & 0x07; }
    else { out.push_back(0xFFFD); ++i; continue; }
    bool ok = i + len < n;
    for (size_t k = 1; ok && k <= len; ++k) {
      uint8_t cb = uint8_t(s[i + k]);
      if ((cb & 0xC0) != 0x80) ok = false;
      else c = (c << 6) | (cb & 0x3F);
    }
    if (!ok || c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(c);
    i += len + 1;
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view s) {
  std::string out;
  for (char32_t c : s) {
    if (c < 0x80) out += char(c);
    else if (c < 0x800) { out += char(0xC0 | (c >> 6)); out += char(0x80 | (c & 0x3F)); }
    else if (c < 0x10000) { out += char(0xE0 | (c >> 12)); out += char(0x80 | ((c >> 6) & 0x3F)); out += char(0x80 | (c & 0x3F)); }
    else { out += char(0xF0 | (c >> 18)); out += char(0x80 | ((c >> 12) & 0x3F)); out += char(0x80 | ((c >> 6) & 0x3F)); out += char(0x80 | (c & 0x3F)); }
  }
  return out;
}

namespace {

// ---- The box font ----
class BoxFont : public RealFont {
 public:
  explicit BoxFont(const LOGFONT& lf) {
    em_ = lf.lfHeight == 0 ? 16 : std::min(std::abs(lf.lfHeight), 4096);
    narrow_ = lf.lfWidth > 0 ? std::min(lf.lfWidth, 4096) : std::max(1, em_ / 2);
    wide_ = lf.lfWidth > 0 ? 2 * narrow_ : em_;
    tm.tmHeight = em_;
    tm.tmAscent = em_ * 4 / 5;
    tm.tmDescent = em_ - tm.tmAscent;
    tm.tmAveCharWidth = narrow_;
    tm.tmMaxCharWidth = wide_;
    tm.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    tm.tmItalic = lf.lfItalic;
    tm.tmUnderlined = lf.lfUnderline;
    tm.tmStruckOut = lf.lfStrikeOut;
    tm.tmCharSet = lf.lfCharSet;
    tm.tmPitchAndFamily = 0x06;
    underlinePos = tm.tmDescent >= 2 ? 1 : 0;
    strikePos = tm.tmAscent / 2;
    faceName = kTestBoxFontName;
  }

 protected:
  Glyph Load(char32_t c) override {
    Glyph g;
    if (c < 0x20 || c == 0x7F) return g;
    g.advance = IsWide(c) ? wide_ : narrow_;
    if (c == 0x20 || c == 0x3000 || c == 0xA0) return g;
    g.w = std::max(0, g.advance - 1);
    g.h = tm.tmAscent;
    g.top = tm.tmAscent;
    g.coverage.assign(size_t(g.w) * size_t(g.h), 255);
    return g;
  }

 private:
  int em_ = 16, narrow_ = 8, wide_ = 16;
};

// ---- FreeType ----
std::mutex& FtMutex() {
  static std::mutex m;
  return m;
}

FT_Library Library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return lib;
}

struct FaceKey {
  std::string file;
  int index;
  bool operator<(const FaceKey& o) const { return file != o.file ? file < o.file : index < o.index; }
};

// Faces stay open for the process: there are only as many as font files in use.
FT_Face OpenFace(const std::string& file, int index) {
  static std::map<FaceKey, FT_Face> faces;
  FaceKey k{file, index};
  auto it = faces.find(k);
  if (it != faces.end()) return it->second;
  FT_Face f = nullptr;
  if (!Library() || FT_New_Face(Library(), file.c_str(), index, &f) != 0) f = nullptr;
  faces[k] = f;
  return f;
}

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(uint8_t(c)));
  return s;
}

// Windows face names mapped to Debian's faces: Liberation is metric-compatible with the
// Microsoft core fonts; WenQuanYi Micro Hei stands in for the Chinese system faces.
constexpr const char* kChineseFamily = "WenQuanYi Micro Hei";
std::string MapFamily(const std::string& name, bool* chinese) {
  static const std::pair<const char*, const char*> kMap[] = {
      {"arial", "Liberation Sans"}, {"ms sans serif", "Liberation Sans"}, {"tahoma", "Liberation Sans"},
      {"verdana", "Liberation Sans"}, {"segoe ui", "Liberation Sans"}, {"ms shell dlg", "Liberation Sans"},
      {"ms shell dlg 2", "Liberation Sans"}, {"system", "Liberation Sans"}, {"helvetica", "Liberation Sans"},
      {"times new roman", "Liberation Serif"}, {"courier new", "Liberation Mono"}, {"courier", "Liberation Mono"},
      {"simsun", kChineseFamily}, {"nsimsun", kChineseFamily}, {"simhei", kChineseFamily},
      {"microsoft yahei", kChineseFamily}, {"宋体", kChineseFamily}, {"新宋体", kChineseFamily},
      {"黑体", kChineseFamily}, {"微软雅黑", kChineseFamily}, {"楷体", kChineseFamily}};
  std::string l = Lower(name);
  for (auto& [from, to] : kMap)
    if (l == from) {
      if (std::strcmp(to, kChineseFamily) == 0) *chinese = true;
      return to;
    }
  for (char c : name)
    if (uint8_t(c) >= 0x80) *chinese = true;
  return name.empty() ? "Liberation Sans" : name;
}

struct Match {
  std::string file;
  int index = 0;
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
};

bool FindFace(const std::string& family, bool bold, bool italic, bool chinese, Match* m) {
  static std::once_flag once;
  std::call_once(once, [] {
#if OMBREL_ASAN
    // Fontconfig's parser of its configuration files loses a few bytes once per process; only
    // that one load is left out of leak checking, not the patterns and fonts we make later.
    __lsan::ScopedDisabler notLeakChecked;
#endif
    FcInit();
  });
  FcPattern* p = FcPatternCreate();
  if (!p) return false;
  FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(p, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(p, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(p, FC_SCALABLE, FcTrue);
  if (chinese) FcPatternAddString(p, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
  FcConfigSubstitute(nullptr, p, FcMatchPattern);
  FcDefaultSubstitute(p);
  FcResult r;
  FcPattern* res = FcFontMatch(nullptr, p, &r);
  FcPatternDestroy(p);
  if (!res) return false;
  FcChar8* file = nullptr;
  bool ok = FcPatternGetString(res, FC_FILE, 0, &file) == FcResultMatch && file;
  if (ok) {
    m->file = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(res, FC_INDEX, 0, &m->index);
    FcPatternGetInteger(res, FC_WEIGHT, 0, &m->weight);
    FcPatternGetInteger(res, FC_SLANT, 0, &m->slant);
  }
  FcPatternDestroy(res);
  return ok;
}

class FtFont : public RealFont {
 public:
  bool Init(const LOGFONT& lf) {
    std::lock_guard<std::mutex> lock(FtMutex());
    bool chinese = lf.lfCharSet == GB2312_CHARSET || lf.lfCharSet == CHINESEBIG5_CHARSET;
    std::string family = MapFamily(lf.lfFaceName, &chinese);
    bool bold = lf.lfWeight >= FW_SEMIBOLD;
    Match m;
    if (!FindFace(family, bold, lf.lfItalic, chinese, &m)) return false;
    face_ = OpenFace(m.file, m.index);
    if (!face_ || !FT_IS_SCALABLE(face_)) return false;
    Match fb;
    if (FindFace(kChineseFamily, bold, lf.lfItalic, true, &fb)) fallback_ = OpenFace(fb.file, fb.index);
    emboldenMain_ = bold && m.weight < FC_WEIGHT_DEMIBOLD;
    obliqueMain_ = lf.lfItalic && m.slant == FC_SLANT_ROMAN;
    emboldenFb_ = bold && fb.weight < FC_WEIGHT_DEMIBOLD;
    obliqueFb_ = lf.lfItalic && fb.slant == FC_SLANT_ROMAN;

    double upem = face_->units_per_EM ? face_->units_per_EM : 2048;
    double asc = face_->ascender, desc = -face_->descender;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
      asc = os2->usWinAscent;
      desc = os2->usWinDescent;
    }
    if (asc + desc <= 0) { asc = upem * 0.86; desc = upem * 0.14; }
    int h = lf.lfHeight;
    if (h == INT32_MIN) h = -16;
    h = std::clamp(h, -2048, 2048);
    if (h < 0) ppem_ = -h;
    else if (h > 0) ppem_ = std::max(1, int(std::lround(h * upem / (asc + desc))));
    else ppem_ = 16;
    double scale = ppem_ / upem;
    tm.tmAscent = LONG(std::lround(asc * scale));
    tm.tmDescent = h > 0 ? h - tm.tmAscent : LONG(std::lround(desc * scale));
    if (tm.tmDescent < 0) tm.tmDescent = 0;
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - ppem_);
    tm.tmMaxCharWidth = LONG(std::lround(face_->max_advance_width * scale));
    tm.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    tm.tmItalic = lf.lfItalic;
    tm.tmUnderlined = lf.lfUnderline;
    tm.tmStruckOut = lf.lfStrikeOut;
    tm.tmCharSet = lf.lfCharSet;
    tm.tmPitchAndFamily = BYTE(0x06 | (FT_IS_FIXED_WIDTH(face_) ? 0 : 1));
    underlinePos = std::max(1, int(std::lround(-face_->underline_position * scale)));
    underlineThick = std::max(1, int(std::lround(face_->underline_thickness * scale)));
    strikePos = os2 && os2->yStrikeoutPosition > 0 ? int(std::lround(os2->yStrikeoutPosition * scale))
                                                  : tm.tmAscent / 3;
    faceName = face_->family_name ? face_->family_name : family;
    avgFromOs2_ = os2 && os2->xAvgCharWidth > 0 ? int(std::lround(os2->xAvgCharWidth * scale)) : 0;
    return true;
  }
  void Finish() {
    // After Init, outside the FreeType lock: the average width may need a glyph.
    tm.tmAveCharWidth = avgFromOs2_ > 0 ? avgFromOs2_ : std::max(1, Advance(U'x'));
    if (tm.tmMaxCharWidth <= 0) tm.tmMaxCharWidth = tm.tmAveCharWidth * 2;
  }

 protected:
  Glyph Load(char32_t c) override {
    Glyph g;
    if (c < 0x20 || c == 0x7F) return g;
    std::lock_guard<std::mutex> lock(FtMutex());
    FT_Face f = face_;
    bool embolden = emboldenMain_, oblique = obliqueMain_;
    FT_UInt idx = FT_Get_Char_Index(face_, c);
    if (idx == 0 && fallback_) {
      FT_UInt fi = FT_Get_Char_Index(fallback_, c);
      if (fi != 0) { f = fallback_; idx = fi; embolden = emboldenFb_; oblique = obliqueFb_; }
    }
    if (FT_Set_Pixel_Sizes(f, 0, FT_UInt(ppem_)) != 0) return g;
    if (FT_Load_Glyph(f, idx, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return g;
    FT_GlyphSlot slot = f->glyph;
    if (oblique) FT_GlyphSlot_Oblique(slot);
    if (embolden) FT_GlyphSlot_Embolden(slot);
    g.advance = int((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY) return g;
    g.w = int(bm.width);
    g.h = int(bm.rows);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.coverage.resize(size_t(g.w) * size_t(g.h));
    for (int y = 0; y < g.h; ++y) {
      const uint8_t* row = bm.buffer + ptrdiff_t(y) * bm.pitch;
      std::memcpy(g.coverage.data() + size_t(y) * g.w, row, size_t(g.w));
    }
    return g;
  }

 private:
  FT_Face face_ = nullptr, fallback_ = nullptr;
  bool emboldenMain_ = false, obliqueMain_ = false, emboldenFb_ = false, obliqueFb_ = false;
  int ppem_ = 16, avgFromOs2_ = 0;
};

std::string Key(const LOGFONT& lf) {
  std::string k(reinterpret_cast<const char*>(&lf), offsetof(LOGFONT, lfFaceName));
  k += lf.lfFaceName;
  return k;
}

}  // namespace

std::shared_ptr<RealFont> Realize(const LOGFONT& lfIn) {
  LOGFONT lf = lfIn;
  lf.lfFaceName[sizeof(lf.lfFaceName) - 1] = 0;
  static std::mutex mu;
  static std::map<std::string, std::shared_ptr<RealFont>> cache;
  std::string key = Key(lf);
  {
    std::lock_guard<std::mutex> lock(mu);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
  }
  std::shared_ptr<RealFont> font;
  if (std::strcmp(lf.lfFaceName, kTestBoxFontName) == 0) {
    font = std::make_shared<BoxFont>(lf);
  } else {
    auto ft = std::make_shared<FtFont>();
    if (ft->Init(lf)) {
      ft->Finish();
      font = ft;
    } else {
      // No usable face at all: the box font keeps text measurable rather than failing.
      font = std::make_shared<BoxFont>(lf);
    }
  }
  std::lock_guard<std::mutex> lock(mu);
  return cache.emplace(key, font).first->second;
}

}  // namespace win::text
