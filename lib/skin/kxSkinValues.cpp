#include "lib/skin/kxSkinValues.h"

#include <array>
#include <string_view>

#include "base/Exception.h"
#include "base/Text.h"

namespace {

// Splits the digits of S into Slots parts at commas (other characters are skipped) and
// converts them, last part first, so that a failure names the last bad part.
template <size_t Slots>
std::array<int32_t, Slots> ParseNumberList(const std::string& S) {
  std::array<std::string, Slots> parts;
  size_t slot = 0;
  for (char c : S) {
    if (c == ',') {
      if (++slot >= Slots) break;  // a comma after the last slot ends the list
    } else if (c >= '0' && c <= '9') {
      parts[slot] += c;
    }
  }
  std::array<int32_t, Slots> values{};
  for (size_t i = Slots; i-- > 0;) values[i] = StrToInt(parts[i]);
  return values;
}

// A failed rect or point names where it is, so a skin author can find it.
template <typename F>
void WithPlace(const std::string& Section, const std::string& Ident, const std::string& Text, F Parse) {
  try {
    Parse();
  } catch (const EConvertError& e) {
    throw EConvertError("Skin value [" + Section + "] " + Ident + "=" + Text + " is not valid: " + e.Message);
  }
}

struct Word {
  const char* Text;
  int Value;
};

std::string WordOf(const Word* Words, size_t Count, int Value) {
  for (size_t i = 0; i < Count; ++i)
    if (Words[i].Value == Value) return Words[i].Text;
  return {};
}

constexpr Word kAlignmentWords[] = {{"taleftjustify", taLeftJustify}, {"tarightjustify", taRightJustify}, {"tacenter", taCenter}};
constexpr Word kStretchWords[] = {{"stfull", kxstFull}, {"sthorz", kxstHorz}, {"stvert", kxstVert}};
constexpr Word kMorphWords[] = {{"mkdefault", mkDefault},         {"mkgradient", mkGradient},
                                {"mkleftgradient", mkLeftGradient}, {"mkrightgradient", mkRightGradient},
                                {"mkleftslide", mkLeftSlide},       {"mkrightslide", mkRightSlide},
                                {"mkpush", mkPush}};
constexpr Word kEffectWords[] = {{"iebrightness", ieBrightness}, {"iedarkness", ieDarkness}, {"iegrayscale", ieGrayScale},
                                 {"ienoise", ieNoise},           {"iesplitblur", ieSplitBlur}, {"ieinvert", ieInvert}};

constexpr std::string_view kStyleWords[] = {"fsbold", "fsitalic", "fsunderline", "fsstrikeout"};
constexpr TFontStyle kStyles[] = {fsBold, fsItalic, fsUnderline, fsStrikeOut};

}  // namespace

void StrToRect(const std::string& S, TRect& Rect) {
  auto v = ParseNumberList<4>(S);
  Rect = TRect{v[0], v[1], v[2], v[3]};
}

void StrToPoint(const std::string& S, TPoint& Point) {
  auto v = ParseNumberList<2>(S);
  Point = TPoint{v[0], v[1]};
}

std::string RectToStr(const TRect& R) {
  return IntToStr(R.left) + "," + IntToStr(R.top) + "," + IntToStr(R.right) + "," + IntToStr(R.bottom);
}

std::string PointToStr(const TPoint& P) { return IntToStr(P.x) + "," + IntToStr(P.y); }

void ReadRect(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TRect& Rect) {
  const std::string text = IniFile.ReadString(Section, Ident, "0,0,0,0");
  WithPlace(Section, Ident, text, [&] { StrToRect(text, Rect); });
}

void ReadPoint(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TPoint& Point) {
  const std::string text = IniFile.ReadString(Section, Ident, "0,0");
  WithPlace(Section, Ident, text, [&] { StrToPoint(text, Point); });
}

bool ReadBoolean(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident) {
  return IniFile.ReadInteger(Section, Ident, 0) == 1;
}

TFontStyles ReadFontStyles(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident) {
  const std::string text = IniFile.ReadString(Section, Ident, "");
  TFontStyles styles;
  for (size_t i = 0; i < 4; ++i)
    if (text.find(kStyleWords[i]) != std::string::npos) styles.Include(kStyles[i]);
  return styles;
}

void ReadStrings(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TStrings& Strings) {
  const int32_t count = IniFile.ReadInteger(Section, Ident + "count", 0);
  // A missing item key still gives an (empty) item, so a damaged count could ask for billions
  // of them: refuse what no skin could need instead of exhausting memory.
  if (count > kMaxSkinListCount)
    throw EConvertError("Skin value [" + Section + "] " + Ident + "count=" + IntToStr(count) + " is too large");
  for (int32_t i = 0; i < count; ++i) Strings.Add(IniFile.ReadString(Section, IntToStr(i), ""));
}

TAlignment ReadAlignment(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident) {
  return StrToAlignment(IniFile.ReadString(Section, Ident, "tacenter"));
}
TkxStretchType ReadStretchType(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident) {
  return StrToStretchType(IniFile.ReadString(Section, Ident, "stfull"));
}
TkxMorphKind ReadMorphKind(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident) {
  return StrToMorphKind(IniFile.ReadString(Section, Ident, "mkdefault"));
}
TkxInActiveEffect ReadInActiveEffect(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident) {
  return StrToInActiveEffect(IniFile.ReadString(Section, Ident, "iebrightness"));
}

void WriteRect(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, const TRect& Rect) {
  IniFile.WriteString(Section, Ident, RectToStr(Rect));
}
void WritePoint(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, const TPoint& Point) {
  IniFile.WriteString(Section, Ident, PointToStr(Point));
}
void WriteBoolean(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, bool Value) {
  IniFile.WriteInteger(Section, Ident, Value ? 1 : 0);
}
void WriteFontStyles(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TFontStyles Value) {
  std::string text;
  for (size_t i = 0; i < 4; ++i) {
    if (!Value.Contains(kStyles[i])) continue;
    if (!text.empty()) text += ',';
    text += kStyleWords[i];
  }
  IniFile.WriteString(Section, Ident, text);
}
void WriteStrings(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, const TStrings& Strings) {
  IniFile.WriteInteger(Section, Ident + "count", Strings.Count());
  for (int32_t i = 0; i < Strings.Count(); ++i) IniFile.WriteString(Section, IntToStr(i), Strings.Get(i));
}
void WriteAlignment(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TAlignment Value) {
  IniFile.WriteString(Section, Ident, AlignmentToStr(Value));
}
void WriteStretchType(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TkxStretchType Value) {
  IniFile.WriteString(Section, Ident, StretchTypeToStr(Value));
}
void WriteMorphKind(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TkxMorphKind Value) {
  IniFile.WriteString(Section, Ident, MorphKindToStr(Value));
}
void WriteInActiveEffect(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                         TkxInActiveEffect Value) {
  IniFile.WriteString(Section, Ident, InActiveEffectToStr(Value));
}

std::string AlignmentToStr(TAlignment Value) { return WordOf(kAlignmentWords, 3, Value); }
std::string StretchTypeToStr(TkxStretchType Value) { return WordOf(kStretchWords, 3, Value); }
std::string MorphKindToStr(TkxMorphKind Value) { return WordOf(kMorphWords, 7, Value); }
std::string InActiveEffectToStr(TkxInActiveEffect Value) { return WordOf(kEffectWords, 6, Value); }

// The readers' tables are not the writers' inverses: a foreign word falls back to a member
// that differs from the missing-key default, and stored skins may rely on that.
TAlignment StrToAlignment(const std::string& S) {
  if (S == "tacenter") return taCenter;
  if (S == "taleftjustify") return taLeftJustify;
  return taRightJustify;
}
TkxStretchType StrToStretchType(const std::string& S) {
  if (S == "stfull") return kxstFull;
  if (S == "stvert") return kxstVert;
  return kxstHorz;
}
TkxMorphKind StrToMorphKind(const std::string& S) {
  for (const Word& w : kMorphWords)
    if (S == w.Text) return TkxMorphKind(w.Value);
  return mkDefault;
}
TkxInActiveEffect StrToInActiveEffect(const std::string& S) {
  for (const Word& w : kEffectWords)
    if (S == w.Text) return TkxInActiveEffect(w.Value);
  return ieGrayScale;
}

bool IsSkinIniFile(TCustomIniFile& IniFile) {
  for (const char* s : {"VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS", "SKINCONTROLS"})
    if (!IniFile.SectionExists(s)) return false;
  return true;
}
