#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/IniFile.h"
#include "base/StringList.h"

namespace {

using V = std::vector<std::string>;

V Lines(const TStrings& l) {
  V v;
  for (int32_t i = 0; i < l.Count(); ++i) v.push_back(l[i]);
  return v;
}

class IniFiles : public ::testing::Test {
protected:
  void SetUp() override {
    char tmpl[] = "/tmp/ombrel-ini-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir = std::string(tmpl) + "/";
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  void WriteRaw(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::string ReadRaw(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  // Names of everything in the folder, to find temporary files left behind.
  V Entries() {
    V v;
    for (const auto& e : std::filesystem::directory_iterator(dir)) v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
  }
  std::string dir;
};

// A file as a person might edit it: odd case, blanks, comments, hex numbers, a BOM-less
// UTF-8 value, quotes, a key without value, a duplicate, no final line end.
const char kHandEdited[] =
    "; settings\n"
    "\n"
    "  [Options]  \r\n"
    "Thread_Count = 4\r\n"
    "\r\n"
    "after_done=0x1F\n"
    "; a comment = not a key\n"
    "Show_Preview=$10\n"
    "THREAD_COUNT=9\n"
    "Quoted = \"a b\" \n"
    "Empty=\n"
    "Negative=-0x10\n"
    "junk line\n"
    "[outpath]\n"
    "OutPath=/home/u/Ombrel视频软件/输出\n"
    "[Blank]\n"
    "[OPTIONS]\n"
    "Later=1\n"
    "[Skin]\n"
    "SetSkin=5";

}  // namespace

TEST_F(IniFiles, HandEditedFileReadsRight) {
  const std::string path = dir + "option.ini";
  WriteRaw(path, kHandEdited);
  for (int kind = 0; kind < 2; ++kind) {
    std::unique_ptr<TCustomIniFile> ini;
    if (kind == 0) ini = std::make_unique<TIniFile>(path);
    else ini = std::make_unique<TMemIniFile>(path);
    SCOPED_TRACE(ini->ClassName());
    EXPECT_EQ(ini->ReadInteger("options", "thread_count", -1), 4);  // first of a duplicate
    EXPECT_EQ(ini->ReadInteger("OPTIONS", "After_Done", -1), 31);
    EXPECT_EQ(ini->ReadInteger("Options", "Show_Preview", -1), 16);
    EXPECT_EQ(ini->ReadInteger("Options", "Negative", -1), -16);
    EXPECT_EQ(ini->ReadString("Options", "Quoted", ""), "\"a b\"");  // quotes stay
    EXPECT_EQ(ini->ReadString("Options", "Empty", "Error"), "");
    EXPECT_EQ(ini->ReadInteger("Options", "Empty", 7), 7);
    EXPECT_EQ(ini->ReadString("Options", "; a comment", "none"), "none");
    EXPECT_EQ(ini->ReadString("Options", "Later", "dup section"), "dup section");  // first section wins
    EXPECT_EQ(ini->ReadString("OutPath", "outpath", ""), "/home/u/Ombrel视频软件/输出");
    EXPECT_EQ(ini->ReadInteger("Skin", "SetSkin", 0), 5);  // last line without a line end
    EXPECT_TRUE(ini->SectionExists("SKIN"));
    EXPECT_FALSE(ini->SectionExists("Blank"));  // a header without keys is no section
    EXPECT_FALSE(ini->SectionExists("Missing"));
    EXPECT_TRUE(ini->ValueExists("options", "EMPTY"));
    EXPECT_FALSE(ini->ValueExists("options", "junk line"));
    TStringList l;
    ini->ReadSections(l);
    EXPECT_EQ(Lines(l), (V{"Options", "outpath", "Skin"}));
    ini->ReadSection("options", l);
    EXPECT_EQ(Lines(l), (V{"Thread_Count", "after_done", "Show_Preview", "Quoted", "Empty", "Negative"}));
    ini->ReadSectionValues("skin", l);
    EXPECT_EQ(Lines(l), (V{"SetSkin=5"}));
  }
}

TEST_F(IniFiles, IntegerAndBoolRules) {
  TStringList text;
  text.SetText(
      "[N]\nhex3=0x1\nhex2=0x\nbig=0xFFFFFFFF\nover=2147483648\nword=true\nfrac=1.5\nsign=+7\nzero=0\n"
      "two=2\nminus=-1\nspace=1 2\n");
  TMemIniFile ini(text);
  struct Case { const char* key; int32_t value; bool flag; };
  const Case cases[] = {
      {"hex3", 1, true},  {"hex2", 99, true}, {"big", -1, true},  {"over", 99, true},
      {"word", 99, true}, {"frac", 99, true}, {"sign", 7, true},  {"zero", 0, false},
      {"two", 2, true},   {"minus", -1, true}, {"space", 99, true}, {"absent", 99, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ini.ReadInteger("N", c.key, 99), c.value) << c.key;
    EXPECT_EQ(ini.ReadBool("N", c.key, true), c.flag) << c.key;
  }
  EXPECT_FALSE(ini.ReadBool("N", "word", false));
  ini.WriteBool("N", "b", true);
  ini.WriteInteger("N", "i", -42);
  EXPECT_EQ(ini.ReadString("N", "b", ""), "1");
  EXPECT_EQ(ini.ReadString("N", "i", ""), "-42");
}

TEST_F(IniFiles, WrittenByUsReadsBackAndKeepsCommentsAndCase) {
  const std::string path = dir + "option.ini";
  WriteRaw(path, "; keep me\n[Options]\n; and me\nAfter_Done=7\n");
  {
    TIniFile ini(path);
    ini.WriteString("options", "AFTER_DONE", "0");  // existing key keeps its spelling
    ini.WriteString("OutPath", "OutPath", "/tmp/输出");
    ini.WriteInteger("Skin", "SetSkin", 3);
    ini.WriteBool("Options", "Show_Preview", false);
  }
  EXPECT_EQ(ReadRaw(path),
            "; keep me\r\n\r\n"
            "[Options]\r\n; and me\r\nAfter_Done=0\r\nShow_Preview=0\r\n\r\n"
            "[OutPath]\r\nOutPath=/tmp/输出\r\n\r\n"
            "[Skin]\r\nSetSkin=3\r\n\r\n");
  TMemIniFile back(path);
  EXPECT_EQ(back.ReadString("OUTPATH", "outpath", ""), "/tmp/输出");
  EXPECT_EQ(back.ReadInteger("skin", "setskin", -1), 3);
  // Reading and writing again changes nothing.
  const std::string once = ReadRaw(path);
  back.UpdateFile();
  EXPECT_EQ(ReadRaw(path), once);
  EXPECT_EQ(Entries(), (V{"option.ini"}));  // no temporary file left behind
}

TEST_F(IniFiles, IniFileSeesOtherWritersAtOnce) {
  const std::string path = dir + "option.ini";
  TIniFile reader(path);
  EXPECT_EQ(reader.ReadString("Skin", "SetSkin", "Error"), "Error");
  EXPECT_FALSE(std::filesystem::exists(path));  // reading never creates the file
  TIniFile writer(path);
  writer.WriteString("Skin", "SetSkin", "1");
  EXPECT_EQ(reader.ReadString("Skin", "SetSkin", "Error"), "1");
  writer.WriteString("Skin", "SetSkin", "2");
  EXPECT_EQ(reader.ReadInteger("Skin", "SetSkin", 0), 2);
  reader.WriteString("Skin", "Other", "x");  // builds on the writer's value
  EXPECT_EQ(TMemIniFile(path).ReadString("Skin", "SetSkin", ""), "2");
  std::filesystem::remove(path);
  EXPECT_FALSE(reader.SectionExists("Skin"));
}

TEST_F(IniFiles, EraseSectionAndDeleteKey) {
  TMemIniFile ini(dir + "x.ini");
  ini.WriteString("A", "k", "1");
  ini.WriteString("B", "k", "2");
  ini.WriteString("B", "j", "3");
  ini.EraseSection("a");
  EXPECT_FALSE(ini.SectionExists("A"));
  ini.WriteString("A", "k", "4");  // erased and written again: now last
  ini.DeleteKey("b", "K");
  ini.DeleteKey("b", "missing");
  ini.DeleteKey("missing", "k");
  TStringList l;
  ini.GetStrings(l);
  EXPECT_EQ(Lines(l), (V{"[B]", "j=3", "", "[A]", "k=4", ""}));
  ini.DeleteKey("B", "j");
  EXPECT_FALSE(ini.SectionExists("B"));
  ini.ReadSections(l);
  EXPECT_EQ(Lines(l), (V{"A"}));
  // SetStrings takes lines in any form, line breaks inside a string included.
  TStringList in;
  in.Add("[S]\r\na = 1");
  in.Add("b=2");
  ini.SetStrings(in);
  EXPECT_EQ(ini.ReadString("s", "A", ""), "1");
  EXPECT_EQ(ini.ReadString("s", "B", ""), "2");
  EXPECT_FALSE(ini.SectionExists("A"));
}

TEST_F(IniFiles, MissingOrUnreadableFileReadsEmpty) {
  const std::string cases[] = {
      dir + "missing.ini",
      dir + "nofolder/option.ini",
      dir,  // a folder
      "",
  };
  for (const auto& path : cases) {
    TIniFile a(path);
    TMemIniFile b(path);
    EXPECT_EQ(a.ReadString("S", "k", "Error"), "Error") << path;
    EXPECT_EQ(b.ReadInteger("S", "k", 3), 3) << path;
    EXPECT_FALSE(a.SectionExists("S")) << path;
    TStringList l;
    l.Add("x");
    b.ReadSections(l);
    EXPECT_EQ(l.Count(), 0) << path;
  }
  // UTF-16 with a byte-order mark is read too.
  static const char kWide[] = "\xFF\xFE[\0S\0]\0\n\0k\0=\0v\0";
  WriteRaw(dir + "wide.ini", std::string(kWide, sizeof kWide - 1));
  EXPECT_EQ(TIniFile(dir + "wide.ini").ReadString("S", "k", ""), "v");
}

TEST_F(IniFiles, FailedWriteRaisesNamingThePathAndKeepsTheOldFile) {
  // Tests run as root, so make the write impossible by the shape of the path instead.
  WriteRaw(dir + "file", "not a folder");
  const std::string underFile = dir + "file/option.ini";
  std::filesystem::create_directory(dir + "folder.ini");
  const std::string aFolder = dir + "folder.ini";
  for (const auto& path : {underFile, aFolder}) {
    TIniFile ini(path);
    try {
      ini.WriteString("S", "k", "v");
      ADD_FAILURE() << "no exception for " << path;
    } catch (const EIniFileException& e) {
      EXPECT_NE(e.Message.find("\"" + path + "\""), std::string::npos) << e.Message;
    }
    // What failed to reach the file is not pretended to be there.
    EXPECT_EQ(ini.ReadString("S", "k", "Error"), "Error");
    TMemIniFile mem(path);
    mem.WriteString("S", "k", "v");
    EXPECT_THROW(mem.UpdateFile(), EIniFileException);
    EXPECT_EQ(mem.ReadString("S", "k", ""), "v");  // still in memory for another try
  }
  EXPECT_EQ(ReadRaw(dir + "file"), "not a folder");
  EXPECT_TRUE(std::filesystem::is_directory(aFolder));
  EXPECT_TRUE(std::filesystem::is_empty(aFolder));
  EXPECT_EQ(Entries(), (V{"file", "folder.ini"}));
  TMemIniFile noName{TStringList()};
  EXPECT_THROW(noName.UpdateFile(), EIniFileException);
}

TEST_F(IniFiles, ReplacingKeepsPermissionsAndWritesThroughLinks) {
  const std::string path = dir + "option.ini";
  WriteRaw(path, "[S]\nk=1\n");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  std::filesystem::create_symlink(path, dir + "link.ini");
  TIniFile(dir + "link.ini").WriteString("S", "k", "2");
  EXPECT_TRUE(std::filesystem::is_symlink(dir + "link.ini"));
  EXPECT_EQ(TIniFile(path).ReadString("S", "k", ""), "2");
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(IniFile, NamesAndValuesTheFileCannotHoldAreRefused) {
  TMemIniFile ini{TStringList()};
  struct Case { const char* section; const char* key; const char* value; };
  const Case bad[] = {
      {"", "k", "v"},     {"a]b", "k", "v"},  {"S\nT", "k", "v"},   {"S", "", "v"},   {"S", "a=b", "v"},
      {"S", "[k", "v"},   {"S", ";k", "v"},   {"S", "k\rj", "v"},   {"S", "k", "v\nx=1"},
  };
  for (const auto& c : bad) EXPECT_THROW(ini.WriteString(c.section, c.key, c.value), EIniFileException) << c.key;
  TStringList l;
  ini.GetStrings(l);
  EXPECT_EQ(l.Count(), 0);
  // Blanks around names are not part of them; around values they are dropped on reading.
  ini.WriteString(" S ", " k ", " v ");
  EXPECT_EQ(ini.ReadString("S", "k", ""), "v");
  ini.GetStrings(l);
  EXPECT_EQ(Lines(l), (V{"[S]", "k= v ", ""}));
}
