// Skin value encodings, stream strings and rect text.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/Exception.h"
#include "base/IniFile.h"
#include "base/StringList.h"
#include "lib/skin/kxSkinValues.h"
#include "lib/skin/kxStreamStrings.h"

namespace {

std::unique_ptr<TMemIniFile> Ini(const std::string& Text) {
  TStringList l;
  l.SetText(Text);
  return std::make_unique<TMemIniFile>(l);
}

bool Eq(const TRect& a, const TRect& b) { return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom; }

TEST(SkinValues, NumberListsKeepDigitsOnly) {
  struct Case {
    const char* Text;
    TRect Rect;
  } cases[] = {{"1,2,3,4,5", {1, 2, 3, 4}},   {"-1,-2,30,40", {1, 2, 30, 40}}, {"10, 20 ,30,40", {10, 20, 30, 40}},
               {"$1,a2b,3x,4", {1, 2, 3, 4}}, {"0,0,0,0", {0, 0, 0, 0}}};
  for (const Case& c : cases) {
    TRect r{9, 9, 9, 9};
    StrToRect(c.Text, r);
    EXPECT_TRUE(Eq(r, c.Rect)) << c.Text;
  }
  TPoint p{};
  StrToPoint("5,6,7", p);
  EXPECT_EQ(p.x, 5);
  EXPECT_EQ(p.y, 6);
  // A part left empty, or too large for 32 bits, fails and leaves the target alone.
  for (const char* bad : {"", "1,2,3", "a,b,c,d", "1,2,3,99999999999"}) {
    TRect r{7, 7, 7, 7};
    EXPECT_THROW(StrToRect(bad, r), EConvertError) << bad;
    EXPECT_TRUE(Eq(r, TRect{7, 7, 7, 7})) << bad;
  }
  TPoint q{3, 3};
  EXPECT_THROW(StrToPoint("12", q), EConvertError);
  EXPECT_EQ(q.x, 3);
}

TEST(SkinValues, RectKeysAndTheirFailures) {
  auto ini = Ini("[rec]\nempty=\nshort=1,2,3\n");
  TRect r{1, 1, 1, 1};
  ReadRect(*ini, "rec", "absent", r);
  EXPECT_TRUE(Eq(r, TRect{0, 0, 0, 0}));
  try {
    ReadRect(*ini, "rec", "short", r);
    FAIL() << "a rect of three parts was accepted";
  } catch (const EConvertError& e) {
    // The message names the section and the key, so a skin author finds the line.
    EXPECT_NE(e.Message.find("[rec]"), std::string::npos) << e.Message;
    EXPECT_NE(e.Message.find("short"), std::string::npos) << e.Message;
  }
  EXPECT_THROW(ReadRect(*ini, "rec", "empty", r), EConvertError);
  TPoint p{};
  EXPECT_THROW(ReadPoint(*ini, "rec", "empty", p), EConvertError);

  WriteRect(*ini, "rec", "neg", TRect{-5, 0, 10, 10});
  EXPECT_EQ(ini->ReadString("rec", "neg", ""), "-5,0,10,10");
  ReadRect(*ini, "rec", "neg", r);
  EXPECT_TRUE(Eq(r, TRect{5, 0, 10, 10}));
  WritePoint(*ini, "rec", "pt", TPoint{-3, 4});
  EXPECT_EQ(ini->ReadString("rec", "pt", ""), "-3,4");
}

TEST(SkinValues, IntegersFlagsAndHex) {
  auto ini = Ini("[s]\none=1\nhex1=0x1\ntwo=2\nyes=yes\nminus=-1\nhexff=0xFF\ndollar=$10\nbare=0x\n"
                 "big=$FF00000F\nsigned=-0x10\n");
  struct Case {
    const char* Key;
    bool Flag;
    int32_t Int;
  } cases[] = {{"one", true, 1},       {"hex1", true, 1},      {"two", false, 2},      {"yes", false, -7},
               {"minus", false, -1},   {"hexff", false, 255},  {"dollar", false, 16},  {"bare", false, -7},
               {"big", false, int32_t(0xFF00000Fu)}, {"signed", false, -16}, {"absent", false, -7}};
  for (const Case& c : cases) {
    EXPECT_EQ(ReadBoolean(*ini, "s", c.Key), c.Flag) << c.Key;
    EXPECT_EQ(ini->ReadInteger("s", c.Key, -7), c.Int) << c.Key;
  }
  WriteBoolean(*ini, "s", "w", true);
  EXPECT_EQ(ini->ReadString("s", "w", ""), "1");
  WriteBoolean(*ini, "s", "w", false);
  EXPECT_EQ(ini->ReadString("s", "w", ""), "0");
}

TEST(SkinValues, FontStylesBySubstring) {
  auto ini = Ini("[s]\na=fsbold,fsitalic\nb=FSBOLD\nc=fsboldfsitalic\nd=fsunderline fsstrikeout\n");
  const TFontStyles bi = TFontStyles{fsBold} + TFontStyles{fsItalic};
  EXPECT_EQ(ReadFontStyles(*ini, "s", "a").Bits(), bi.Bits());
  EXPECT_EQ(ReadFontStyles(*ini, "s", "b").Bits(), 0u);
  EXPECT_EQ(ReadFontStyles(*ini, "s", "c").Bits(), bi.Bits());
  EXPECT_EQ(ReadFontStyles(*ini, "s", "d").Bits(), (TFontStyles{fsUnderline} + TFontStyles{fsStrikeOut}).Bits());
  EXPECT_EQ(ReadFontStyles(*ini, "s", "absent").Bits(), 0u);
  WriteFontStyles(*ini, "s", "w", TFontStyles{fsStrikeOut} + TFontStyles{fsBold});
  EXPECT_EQ(ini->ReadString("s", "w", "?"), "fsbold,fsstrikeout");
  WriteFontStyles(*ini, "s", "w", TFontStyles{});
  EXPECT_TRUE(ini->ValueExists("s", "w"));
  EXPECT_EQ(ini->ReadString("s", "w", "?"), "");
}

TEST(SkinValues, KeywordsAndTheirFallbacks) {
  auto ini = Ini("[s]\nx=Tacenter\ny=sthorz\nz=nonsense\nw=iegrayscale\nm=mkpush\n");
  EXPECT_EQ(ReadAlignment(*ini, "s", "x"), taRightJustify);
  EXPECT_EQ(ReadAlignment(*ini, "s", "absent"), taCenter);
  EXPECT_EQ(ReadAlignment(*ini, "s", "z"), taRightJustify);
  EXPECT_EQ(ReadStretchType(*ini, "s", "y"), kxstHorz);
  EXPECT_EQ(ReadStretchType(*ini, "s", "z"), kxstHorz);
  EXPECT_EQ(ReadStretchType(*ini, "s", "absent"), kxstFull);
  EXPECT_EQ(ReadInActiveEffect(*ini, "s", "z"), ieGrayScale);
  EXPECT_EQ(ReadInActiveEffect(*ini, "s", "absent"), ieBrightness);
  EXPECT_EQ(ReadMorphKind(*ini, "s", "m"), mkPush);
  EXPECT_EQ(ReadMorphKind(*ini, "s", "z"), mkDefault);
  // Every word written reads back as itself.
  for (int v = 0; v < 3; ++v) {
    WriteAlignment(*ini, "s", "k", TAlignment(v));
    EXPECT_EQ(ReadAlignment(*ini, "s", "k"), TAlignment(v));
    WriteStretchType(*ini, "s", "k", TkxStretchType(v));
    EXPECT_EQ(ReadStretchType(*ini, "s", "k"), TkxStretchType(v));
  }
  for (int v = 0; v <= mkPush; ++v) {
    WriteMorphKind(*ini, "s", "k", TkxMorphKind(v));
    EXPECT_EQ(ReadMorphKind(*ini, "s", "k"), TkxMorphKind(v));
  }
  for (int v = 0; v <= ieInvert; ++v) {
    WriteInActiveEffect(*ini, "s", "k", TkxInActiveEffect(v));
    EXPECT_EQ(ReadInActiveEffect(*ini, "s", "k"), TkxInActiveEffect(v));
  }
}

TEST(SkinValues, StringLists) {
  auto ini = Ini("[l]\n");
  TStringList three;
  three.Add("a.bmp");
  three.Add("图片.bmp");
  three.Add("c.bmp");
  WriteStrings(*ini, "l", "activepictures", three);
  EXPECT_EQ(ini->ReadString("l", "activepicturescount", ""), "3");
  EXPECT_EQ(ini->ReadString("l", "1", ""), "图片.bmp");
  TStringList into;
  into.Add("x");
  into.Add("y");
  ReadStrings(*ini, "l", "activepictures", into);
  ASSERT_EQ(into.Count(), 5);
  EXPECT_EQ(into[3], "图片.bmp");
  ini->DeleteKey("l", "1");
  TStringList gap;
  ReadStrings(*ini, "l", "activepictures", gap);
  ASSERT_EQ(gap.Count(), 3);
  EXPECT_EQ(gap[1], "");
  // A damaged count is refused rather than filling memory with empty items.
  ini->WriteInteger("l", "activepicturescount", 2000000000);
  TStringList huge;
  EXPECT_THROW(ReadStrings(*ini, "l", "activepictures", huge), EConvertError);
}

TEST(SkinValues, SkinTestNeedsFiveSectionsWithKeys) {
  const std::string full = "[VERSION]\nver=1\n[PICTURES]\npicture=\n[FORMINFO]\nborderwidth=1\n"
                           "[SKINOBJECTS]\ncount=0\n[SKINCONTROLS]\ncount=0\n";
  EXPECT_TRUE(IsSkinIniFile(*Ini(full)));
  std::string headerOnly = full;
  headerOnly.replace(headerOnly.find("count=0\n[SKINCONTROLS]"), 8, "");
  EXPECT_FALSE(IsSkinIniFile(*Ini(headerOnly)));
  EXPECT_FALSE(IsSkinIniFile(*Ini("[version]\nver=1\n")));
  // Section names match without regard to case.
  std::string lower = full;
  lower.replace(lower.find("FORMINFO"), 8, "forminfo");
  EXPECT_TRUE(IsSkinIniFile(*Ini(lower)));
}

TEST(StreamStrings, RecordBytesAndChineseText) {
  TMemoryStream s;
  WriteStreamString(s, "ab");
  ASSERT_EQ(s.Size(), 8);
  const uint8_t ab[] = {2, 0, 0, 0, 0x61, 0, 0x62, 0};
  EXPECT_EQ(std::memcmp(s.Memory(), ab, 8), 0);
  WriteStreamString(s, "");
  WriteStreamString(s, "视频转换𠀀");  // a character outside the BMP takes two code units
  EXPECT_EQ(s.Memory()[12], 6);        // 4 + 2 units
  s.SetPosition(0);
  std::string a, b, c;
  ReadStreamString(s, a);
  ReadStreamString(s, b);
  ReadStreamString(s, c);
  EXPECT_EQ(a, "ab");
  EXPECT_EQ(b, "");
  EXPECT_EQ(c, "视频转换𠀀");
  EXPECT_EQ(s.Position(), s.Size());
}

TEST(StreamStrings, DamagedCountsFailCleanly) {
  for (int32_t n : {-1, 5, 0x7FFFFFFF}) {
    TMemoryStream s;
    s.WriteBuffer(&n, 4);
    s.WriteBuffer("a\0b\0", 4);
    s.SetPosition(0);
    std::string out = "kept";
    EXPECT_THROW(ReadStreamString(s, out), EReadError) << n;
    EXPECT_EQ(out, "kept");
  }
  TMemoryStream tiny;
  tiny.WriteBuffer("\x01\x00", 2);
  tiny.SetPosition(0);
  std::string out;
  EXPECT_THROW(ReadStreamString(tiny, out), EReadError);
}

TEST(StreamStrings, CutTokenAndTokenRects) {
  std::string s = "10, 20, 30, 40";
  EXPECT_EQ(CutToken(s), "10");
  EXPECT_EQ(s, "20, 30, 40");
  s = "(1,2,3,4)";
  EXPECT_EQ(CutToken(s), "");
  EXPECT_EQ(s, "1,2,3,4)");
  s = "abc";
  EXPECT_EQ(CutToken(s), "abc");
  EXPECT_EQ(s, "");
  struct Case {
    const char* Text;
    TRect Rect;
  } cases[] = {{"1,2,3,4", {1, 2, 3, 4}},   {"1 2 3 4", {1, 2, 3, 4}},   {"1, 2, 3, 4", {1, 2, 3, 4}},
               {"1,2,3", {0, 0, 0, 0}},     {"(1,2,3,4)", {0, 0, 0, 0}}, {"1,2,3,4,5", {1, 2, 3, 4}},
               {"a=1;2:3 4", {0, 0, 0, 0}}, {"5=6;7:8", {5, 6, 7, 8}}};
  for (const Case& c : cases) {
    TRect r{9, 9, 9, 9};
    TokenStrToRect(c.Text, r);
    EXPECT_TRUE(Eq(r, c.Rect)) << c.Text;
  }
}

}  // namespace
