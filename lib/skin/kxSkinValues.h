#pragma once
// How each value of a skin's INI text is spelled: integers and colours, strings, flags, rects,
// points, font styles, string lists and the four keyword kinds. Every reader and writer of skin
// records goes through these routines, so a value is never formatted in any other way.
//
// A missing key never fails. A rect or point whose text leaves a part empty, or whose part is
// no 32-bit number, raises EConvertError naming the section, the key and the text, and leaves
// the target as it was.
#include <cstdint>
#include <string>

#include "base/IniFile.h"
#include "base/StringList.h"
#include "classlib/Controls.h"
#include "classlib/Graphics.h"

constexpr int32_t kMaxSkinListCount = 100000;

enum TkxStretchType : uint8_t { kxstFull, kxstHorz, kxstVert };
enum TkxMorphKind : uint8_t { mkDefault, mkGradient, mkLeftGradient, mkRightGradient, mkLeftSlide, mkRightSlide, mkPush };
enum TkxInActiveEffect : uint8_t { ieBrightness, ieDarkness, ieGrayScale, ieNoise, ieSplitBlur, ieInvert };

// Digits-only parsers: every character but digits and "," is skipped, so "-3" reads as 3.
// They raise EConvertError naming the offending part and change the target only on success.
void StrToRect(const std::string& S, TRect& Rect);
void StrToPoint(const std::string& S, TPoint& Point);
std::string RectToStr(const TRect& Rect);    // "l,t,r,b"
std::string PointToStr(const TPoint& Point);  // "x,y"

void ReadRect(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TRect& Rect);
void ReadPoint(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TPoint& Point);
// True exactly when the integer read is 1.
bool ReadBoolean(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident);
TFontStyles ReadFontStyles(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident);
// Appends Ident+"count" items (a count above kMaxSkinListCount raises EConvertError) read from the keys "0", "1", ...; never empties Strings first.
void ReadStrings(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TStrings& Strings);
TAlignment ReadAlignment(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident);
TkxStretchType ReadStretchType(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident);
TkxMorphKind ReadMorphKind(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident);
TkxInActiveEffect ReadInActiveEffect(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident);

void WriteRect(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, const TRect& Rect);
void WritePoint(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, const TPoint& Point);
void WriteBoolean(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, bool Value);
void WriteFontStyles(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TFontStyles Value);
void WriteStrings(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, const TStrings& Strings);
void WriteAlignment(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TAlignment Value);
void WriteStretchType(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TkxStretchType Value);
void WriteMorphKind(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident, TkxMorphKind Value);
void WriteInActiveEffect(TCustomIniFile& IniFile, const std::string& Section, const std::string& Ident,
                         TkxInActiveEffect Value);

// The words of the keyword kinds, and the readers' tables (with their fallbacks).
std::string AlignmentToStr(TAlignment Value);
std::string StretchTypeToStr(TkxStretchType Value);
std::string MorphKindToStr(TkxMorphKind Value);
std::string InActiveEffectToStr(TkxInActiveEffect Value);
TAlignment StrToAlignment(const std::string& S);
TkxStretchType StrToStretchType(const std::string& S);
TkxMorphKind StrToMorphKind(const std::string& S);
TkxInActiveEffect StrToInActiveEffect(const std::string& S);

// True when "VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS" and "SKINCONTROLS" each hold a key.
bool IsSkinIniFile(TCustomIniFile& IniFile);
