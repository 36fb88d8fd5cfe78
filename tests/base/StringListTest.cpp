#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/Stream.h"
#include "base/StringList.h"
#include "base/Text.h"

namespace {

std::vector<std::string> Lines(const TStrings& l) {
  std::vector<std::string> v;
  for (int32_t i = 0; i < l.Count(); ++i) v.push_back(l[i]);
  return v;
}

using V = std::vector<std::string>;

class Probe : public TObject {
public:
  explicit Probe(int& freed) : FFreed(freed) {}
  ~Probe() override { ++FFreed; }

private:
  int& FFreed;
};

}  // namespace

TEST(TStringList, EditingAndBadIndexes) {
  TStringList l;
  l.Add("b");
  l.Insert(0, "a");
  l.Append("c");
  l.Insert(3, "d");
  EXPECT_EQ(Lines(l), (V{"a", "b", "c", "d"}));
  l.Move(0, 3);
  EXPECT_EQ(Lines(l), (V{"b", "c", "d", "a"}));
  l.Exchange(0, 3);
  l.Put(1, "C");
  l.Delete(2);
  EXPECT_EQ(Lines(l), (V{"a", "C", "b"}));
  EXPECT_EQ(l.IndexOf("c"), 1);  // case-insensitive by default
  l.SetCaseSensitive(true);
  EXPECT_EQ(l.IndexOf("c"), -1);
  for (int32_t bad : {-1, 3}) {
    EXPECT_THROW(l.Get(bad), EListError);
    EXPECT_THROW(l.Put(bad, "x"), EListError);
    EXPECT_THROW(l.Delete(bad), EListError);
    EXPECT_THROW(l.Exchange(0, bad), EListError);
    EXPECT_THROW(l.Move(bad, 0), EListError);
    EXPECT_THROW(l.GetObject(bad), EListError);
  }
  EXPECT_THROW(l.Insert(4, "x"), EListError);
  try {
    l.Get(7);
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message, "List index out of bounds (7)");
  }
  EXPECT_EQ(Lines(l), (V{"a", "C", "b"}));
}

TEST(TStringList, NamesAndValues) {
  TStringList l;
  l.SetText("Key=1\r\nnoequals\r\nother=a=b\r\nKEY=2\r\n=empty name\r\n");
  EXPECT_EQ(l.Names(0), "Key");
  EXPECT_EQ(l.Names(1), "");
  EXPECT_EQ(l.IndexOfName("key"), 0);  // first match, without regard to case
  EXPECT_EQ(l.Values("KEY"), "1");
  EXPECT_EQ(l.Values("other"), "a=b");  // split at the first "="
  EXPECT_EQ(l.Values("noequals"), "");
  EXPECT_EQ(l.IndexOfName("noequals"), -1);
  EXPECT_EQ(l.ValueFromIndex(2), "a=b");
  EXPECT_EQ(l.ValueFromIndex(1), "");
  l.SetValues("other", "c");
  l.SetValues("new", "n");
  l.SetValues("key", "");  // empty deletes the first line so named
  l.SetValueFromIndex(2, "3");
  EXPECT_EQ(Lines(l), (V{"noequals", "other=c", "KEY=3", "=empty name", "new=n"}));
}

TEST(TStringList, SortedWithDuplicatePolicies) {
  TStringList l;
  l.SetText("pear\r\nApple\r\nfig\r\n");
  l.SetSorted(true);
  EXPECT_EQ(Lines(l), (V{"Apple", "fig", "pear"}));
  int32_t index = -1;
  EXPECT_TRUE(l.Find("APPLE", index));
  EXPECT_EQ(index, 0);
  EXPECT_FALSE(l.Find("grape", index));
  EXPECT_EQ(index, 2);  // where it would go
  EXPECT_EQ(l.Add("kiwi"), 2);
  EXPECT_EQ(l.Add("FIG"), 1);  // dupIgnore answers the existing one
  EXPECT_EQ(l.Count(), 4);
  l.SetDuplicates(dupError);
  try {
    l.Add("Fig");
    ADD_FAILURE() << "no exception";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message, "String list does not allow duplicates");
  }
  l.SetDuplicates(dupAccept);
  EXPECT_EQ(l.Add("FIG"), 2);
  EXPECT_EQ(Lines(l), (V{"Apple", "fig", "FIG", "kiwi", "pear"}));
  for (auto op : {+[](TStringList& s) { s.Insert(0, "x"); }, +[](TStringList& s) { s.Put(0, "x"); },
                  +[](TStringList& s) { s.Move(0, 1); }}) {
    try {
      op(l);
      ADD_FAILURE() << "no exception";
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message, "Operation not allowed on sorted list");
    }
  }
  // Changing a value on a sorted list fails before it touches the list.
  TStringList kv;
  kv.SetSorted(true);
  kv.Add("b=1");
  EXPECT_THROW(kv.SetValues("b", "2"), EListError);
  kv.SetValues("a", "0");
  EXPECT_EQ(Lines(kv), (V{"a=0", "b=1"}));
  // Case-sensitive sorting is by byte value.
  l.SetCaseSensitive(true);
  EXPECT_EQ(Lines(l), (V{"Apple", "FIG", "fig", "kiwi", "pear"}));
}

TEST(TStringList, TextSplitsAnyLineBreakAndJoinsWithLineBreak) {
  struct Case { const char* in; V lines; };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\nb\r\nc\rd", {"a", "b", "c", "d"}},
      {"a\r\n\r\n", {"a", ""}},
      {"\n\n", {"", ""}},
      {"a\n\rb", {"a", "", "b"}},
  };
  TStringList l;
  for (const auto& c : cases) {
    l.SetText(c.in);
    EXPECT_EQ(Lines(l), c.lines) << c.in;
  }
  l.SetText("x\ny");
  EXPECT_EQ(l.Text(), "x\r\ny\r\n");
  l.SetLineBreak("\n");
  EXPECT_EQ(l.Text(), "x\ny\n");
}

TEST(TStringList, DelimitedAndCommaText) {
  TStringList l;
  struct Case { const char* in; V lines; };
  const Case reads[] = {
      {"a,b,c", {"a", "b", "c"}},
      {"  a , b ", {"a", "b"}},
      {"a b", {"a", "b"}},  // blanks separate outside quotes
      {"\"a b\",\"say \"\"hi\"\"\"", {"a b", "say \"hi\""}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {",a", {"", "a"}},
      {"\"\"", {""}},
      {"\"unterminated", {"unterminated"}},
      {"", {}},
  };
  for (const auto& c : reads) {
    l.SetCommaText(c.in);
    EXPECT_EQ(Lines(l), c.lines) << c.in;
  }
  l.SetCommaText(std::string_view("a\0b", 3));
  EXPECT_EQ(Lines(l), (V{"a", "b"}));
  l.SetText("plain\nwith space\nq\"uote\n\ncomma,\n视频");
  EXPECT_EQ(l.CommaText(), "plain,\"with space\",\"q\"\"uote\",,\"comma,\",视频");
  TStringList back;
  back.SetCommaText(l.CommaText());
  EXPECT_EQ(Lines(back), Lines(l));
  l.SetText("\n");
  EXPECT_EQ(l.CommaText(), "\"\"");
  // Delimiter and QuoteChar only change DelimitedText.
  l.SetDelimiter(';');
  l.SetQuoteChar('\'');
  l.SetText("a,b\nc d\n");
  EXPECT_EQ(l.DelimitedText(), "a,b;'c d'");
  EXPECT_EQ(l.CommaText(), "\"a,b\",\"c d\"");
  l.SetDelimitedText("x;'y;z'");
  EXPECT_EQ(Lines(l), (V{"x", "y;z"}));
}

TEST(TStringList, ChangeEventsWaitForEndUpdate) {
  TStringList l;
  std::vector<std::string> events;
  l.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &l);
    events.push_back("changing");
  };
  l.OnChange = [&](TObject*) { events.push_back("change:" + std::to_string(l.Count())); };
  l.Add("a");
  EXPECT_EQ(events, (V{"changing", "change:1"}));
  events.clear();
  l.BeginUpdate();
  l.BeginUpdate();
  l.Add("b");
  l.Delete(0);
  l.EndUpdate();
  EXPECT_EQ(events, (V{"changing"}));
  l.EndUpdate();
  EXPECT_EQ(events, (V{"changing", "change:1"}));
  l.EndUpdate();  // unbalanced: ignored
  events.clear();
  l.SetText("x\ny\nz");  // one notification for the whole text
  EXPECT_EQ(events, (V{"changing", "change:3"}));
}

TEST(TStringList, ObjectsAreOwnedOnlyWhenAsked) {
  int freed = 0;
  {
    TStringList owning(true);
    owning.AddObject("a", new Probe(freed));
    owning.AddObject("b", new Probe(freed));
    owning.AddObject("c", new Probe(freed));
    owning.AddObject("d", new Probe(freed));
    TObject* moved = owning.Objects(0);
    owning.Move(0, 2);  // moving never frees
    EXPECT_EQ(freed, 0);
    EXPECT_EQ(owning.Objects(2), moved);
    EXPECT_EQ(owning.IndexOfObject(moved), 2);
    owning.Delete(0);
    EXPECT_EQ(freed, 1);
    owning.PutObject(0, new Probe(freed));  // the replaced one is freed
    EXPECT_EQ(freed, 2);
    owning.Clear();
    EXPECT_EQ(freed, 5);
    owning.AddObject("e", new Probe(freed));
  }
  EXPECT_EQ(freed, 6);
  Probe kept(freed);
  {
    TStringList plain;
    plain.AddObject("x", &kept);
    plain.Delete(0);
    plain.AddObject("y", &kept);
  }
  EXPECT_EQ(freed, 6);
}

TEST(TStringList, AssignAndAddStrings) {
  TStringList a, b;
  a.SetText("1\n2");
  a.SetDelimiter(';');
  b.Add("old");
  b.Assign(a);
  EXPECT_EQ(Lines(b), (V{"1", "2"}));
  EXPECT_EQ(b.Delimiter(), ';');
  b.AddStrings(b);  // adding a list to itself doubles it
  EXPECT_EQ(Lines(b), (V{"1", "2", "1", "2"}));
  b.Assign(&b);
  EXPECT_EQ(b.Count(), 4);
  TPersistent other;
  EXPECT_THROW(b.Assign(&other), EConvertError);
  EXPECT_EQ(b.Count(), 4);
}

namespace {

class StringListFiles : public ::testing::Test {
protected:
  void SetUp() override {
    char tmpl[] = "/tmp/ombrel-strings-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir = std::string(tmpl) + "/";
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  void WriteRaw(const std::string& name, const std::string& bytes) {
    std::ofstream(dir + name, std::ios::binary) << bytes;
  }
  std::string ReadRaw(const std::string& name) {
    std::ifstream f(dir + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  std::string dir;
};

}  // namespace

TEST_F(StringListFiles, RoundTripWithAndWithoutByteOrderMark) {
  const std::string text = "[VERSION]\r\nver=1\r\nname=视频\r\n";
  const V lines{"[VERSION]", "ver=1", "name=视频"};
  struct Case { const char* what; std::string bytes; };
  const Case cases[] = {
      {"plain UTF-8", text},
      {"UTF-8 mark", "\xEF\xBB\xBF" + text},
      {"UTF-16LE mark", "\xFF\xFE" + Utf8ToUtf16Bytes(text)},
      {"UTF-16BE mark", "\xFE\xFF" + Utf8ToUtf16Bytes(text, true)},
      {"LF only, no final break", "[VERSION]\nver=1\nname=视频"},
  };
  for (const auto& c : cases) {
    WriteRaw("in.txt", c.bytes);
    TStringList l;
    l.LoadFromFile(dir + "in.txt");
    EXPECT_EQ(Lines(l), lines) << c.what;
    l.SaveToFile(dir + "out.txt");
    EXPECT_EQ(ReadRaw("out.txt"), text) << c.what;  // UTF-8, CRLF, no mark
    l.WriteBOM = true;
    l.SaveToFile(dir + "bom.txt");
    EXPECT_EQ(ReadRaw("bom.txt"), "\xEF\xBB\xBF" + text) << c.what;
    TStringList again;
    again.LoadFromFile(dir + "bom.txt");
    EXPECT_EQ(Lines(again), lines) << c.what;
  }
}

TEST_F(StringListFiles, LoadFromStreamReadsFromThePositionAndMissingFileRaises) {
  TStringStream s("skip|a\r\nb");
  s.SetPosition(5);
  TStringList l;
  l.LoadFromStream(s);
  EXPECT_EQ(Lines(l), (V{"a", "b"}));
  TMemoryStream out;
  l.SaveToStream(out);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out.Memory()), out.Size()), "a\r\nb\r\n");
  l.Add("kept");
  EXPECT_THROW(l.LoadFromFile(dir + "missing.txt"), EFOpenError);
  EXPECT_EQ(Lines(l), (V{"a", "b", "kept"}));
}
