// The text form parser and the value conversions of the property kinds.
#include <gtest/gtest.h>

#include <string>

#include "classlib/Streaming.h"

namespace {

TFormObject Parse(const std::string& body) { return ParseFormDescription(body, "t.txt"); }

// The single property of "object X: TX <prop> end".
TFormValue ValueOf(const std::string& prop) {
  TFormObject o = Parse("object X: TX\n" + prop + "\nend\n");
  EXPECT_EQ(o.Properties.size(), 1u);
  return o.Properties.empty() ? TFormValue{} : o.Properties[0].Value;
}

TEST(StreamingParser, ScalarValues) {
  struct Case {
    const char* text;
    TFormValueKind kind;
    int64_t i;
    double f;
    const char* s;
  };
  const Case cases[] = {
      {"A = 12", TFormValueKind::Integer, 12, 0, ""},
      {"A = -12", TFormValueKind::Integer, -12, 0, ""},
      {"A = $FF00000F", TFormValueKind::Integer, 0xFF00000F, 0, ""},
      {"A = 1.5", TFormValueKind::Float, 0, 1.5, ""},
      {"A = -2.5e3", TFormValueKind::Float, 0, -2500, ""},
      {"A = 'it''s'", TFormValueKind::String, 0, 0, "it's"},
      {"A = ''", TFormValueKind::String, 0, 0, ""},
      {"A = 'a'#13#10'b'", TFormValueKind::String, 0, 0, "a\r\nb"},
      {"A = #20320#22909", TFormValueKind::String, 0, 0, "你好"},
      {"A = '开始'", TFormValueKind::String, 0, 0, "开始"},
      {"A = #55357#56832", TFormValueKind::String, 0, 0, "\xF0\x9F\x98\x80"},
      {"A = #$41'b'", TFormValueKind::String, 0, 0, "Ab"},
      {"A = 'ab' +\n  'cd' +\n  #65", TFormValueKind::String, 0, 0, "abcdA"},
      {"A = True", TFormValueKind::Ident, 0, 0, "True"},
      {"A = Form1.ImageList1", TFormValueKind::Ident, 0, 0, "Form1.ImageList1"},
      {"A = { 0A ff\n  10 }", TFormValueKind::Binary, 0, 0, "\x0a\xff\x10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TFormValue v = ValueOf(c.text);
    ASSERT_EQ(v.Kind, c.kind);
    if (c.kind == TFormValueKind::Integer) {
      EXPECT_EQ(v.Int, c.i);
    }
    if (c.kind == TFormValueKind::Float) {
      EXPECT_DOUBLE_EQ(v.Float, c.f);
    }
    if (c.kind == TFormValueKind::String || c.kind == TFormValueKind::Ident || c.kind == TFormValueKind::Binary) {
      EXPECT_EQ(v.Text, c.s);
    }
  }
}

TEST(StreamingParser, SetsListsAndCollections) {
  TFormValue set = ValueOf("Style = [fsBold, fsItalic]");
  ASSERT_EQ(set.Kind, TFormValueKind::Set);
  EXPECT_EQ(set.Names, (std::vector<std::string>{"fsBold", "fsItalic"}));
  EXPECT_TRUE(ValueOf("Style = []").Names.empty());

  TFormValue list = ValueOf("Items.Strings = (\n  'a'\n  'b' + 'c'\n  7)");
  ASSERT_EQ(list.Kind, TFormValueKind::List);
  ASSERT_EQ(list.List.size(), 3u);
  EXPECT_EQ(list.List[1].Text, "bc");
  EXPECT_EQ(list.List[2].Int, 7);

  TFormObject o = Parse(
      "object X: TX\n"
      "  Skins = <\n"
      "    item\n"
      "      Name = 'one'\n"
      "      Font.Size = 9\n"
      "    end\n"
      "    item [1]\n"
      "    end>\n"
      "  Tag = 3\n"
      "end\n");
  ASSERT_EQ(o.Properties.size(), 2u);
  const TFormValue& coll = o.Properties[0].Value;
  ASSERT_EQ(coll.Kind, TFormValueKind::Collection);
  ASSERT_EQ(coll.Items.size(), 2u);
  EXPECT_EQ(coll.Items[0].Line, 3);
  ASSERT_EQ(coll.Items[0].Properties.size(), 2u);
  EXPECT_EQ(coll.Items[0].Properties[1].Name, "Font.Size");
  EXPECT_EQ(coll.Items[0].Properties[1].Line, 5);
  EXPECT_TRUE(coll.Items[1].Properties.empty());
  EXPECT_EQ(o.Properties[1].Line, 9);
}

TEST(StreamingParser, NestedObjectsKindsAndLines) {
  TFormObject o = Parse(
      "\xEF\xBB\xBF"
      "inherited Form1: TForm1\n"
      "  Font.Name = 'Arial'\n"
      "  object Panel1: TPanel\n"
      "    object TButton\n"
      "      end = 1\n"  // a property may be called like a keyword
      "    end\n"
      "  end\n"
      "  inline Frame1: TFrame1 [0]\n"
      "  end\n"
      "end");
  EXPECT_EQ(o.Kind, TFormObjectKind::Inherited);
  EXPECT_EQ(o.Name, "Form1");
  EXPECT_EQ(o.ClassName, "TForm1");
  ASSERT_EQ(o.Properties.size(), 1u);
  EXPECT_EQ(o.Properties[0].Name, "Font.Name");
  ASSERT_EQ(o.Children.size(), 2u);
  EXPECT_EQ(o.Children[0].Line, 3);
  ASSERT_EQ(o.Children[0].Children.size(), 1u);
  const TFormObject& anon = o.Children[0].Children[0];
  EXPECT_EQ(anon.Name, "");
  EXPECT_EQ(anon.ClassName, "TButton");
  ASSERT_EQ(anon.Properties.size(), 1u);
  EXPECT_EQ(anon.Properties[0].Name, "end");
  EXPECT_EQ(o.Children[1].Kind, TFormObjectKind::Inline);
  EXPECT_EQ(o.Children[1].Line, 8);
}

TEST(StreamingParser, ErrorsNameTheLine) {
  struct Case {
    std::string text;
    int line;
    const char* problem;  // part of the message
  };
  const Case cases[] = {
      {"", 1, "starts with"},
      {"object X: TX\n  A = 'abc\nend", 2, "unterminated string"},
      {"object X: TX\n  A = { 0A 1 }\nend", 2, "odd number"},
      {"object X: TX\n  A = { 0G }\nend", 2, "bad character in binary"},
      {"object X: TX\n\n  A = #70000\nend", 3, "out of range"},
      {"object X: TX\n  A = #55357\nend", 2, "unpaired surrogate"},
      {"object X: TX\n  A = #56832#55357\nend", 2, "unpaired surrogate"},
      {"object X: TX\n  A = 99999999999999999999\nend", 2, "too large"},
      {"object X: TX\n  A = 12abc\nend", 2, "bad number"},
      {"object X: TX\n  A = =\nend", 2, "value expected"},
      {"object X: TX\n  A 5\nend", 2, "'=' expected"},
      {"object X: TX\n  A = 'x' +\nend", 3, "string expected after '+'"},
      {"object X: TX\n  A = [a b]\nend", 2, "',' or ']'"},
      {"object X: TX\n  A = ('a'\nend", 2, "not closed"},
      {"object X: TX\n  A = < B = 1 >\nend", 2, "\"item\""},
      {"object X: TX\n  object Y: TY\n    A = 1\nend", 1, "\"end\" missing for X"},
      {"object X: TX\nend\nobject Z: TZ\nend", 3, "after the end"},
      {"object X: TX\n  A = 1 ? 2\nend", 2, "unexpected character"},
      {"object X: TX\n  A = 'ok'\n  B = '\xff'\nend", 3, "not valid UTF-8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      ParseFormDescription(c.text, "bad.txt");
      ADD_FAILURE() << "no error";
    } catch (const EFormError& e) {
      EXPECT_EQ(e.FileName, "bad.txt");
      EXPECT_EQ(e.Line, c.line);
      EXPECT_NE(e.Message.find(c.problem), std::string::npos) << e.Message;
      EXPECT_EQ(e.Message.rfind("bad.txt:" + std::to_string(c.line) + ": ", 0), 0u) << e.Message;
    }
  }
}

TEST(StreamingParser, PropertyErrorsNameTheProperty) {
  try {
    ParseFormDescription("object X: TX\n  Font.Style = [fsBold,]\nend", "f.txt");
    FAIL() << "no error";
  } catch (const EFormError& e) {
    EXPECT_EQ(e.Property, "Font.Style");
    EXPECT_EQ(e.Line, 2);
  }
}

// Every literal is a signed 64-bit value, so a sign before it is always safe; the smallest
// 64-bit value written in hexadecimal once overflowed on negation.
TEST(StreamingParser, OutOfRangeLiteralsNameLineAndColumn) {
  struct Case {
    std::string text;
    int line;
    const char* problem;
  };
  const Case cases[] = {
      {"inherited F C=-$8000000000000000", 1, "number out of range at column 16: $8000000000000000"},
      {"object X: TX\n  A = $FFFFFFFFFFFFFFFF\nend", 2, "out of range at column 7: $FFFFFFFFFFFFFFFF"},
      {"object X: TX\n  A = '视频' + -9223372036854775808\nend", 2, "too large at column 15"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      ParseFormDescription(c.text, "f.txt");
      ADD_FAILURE() << "no error";
    } catch (const EFormError& e) {
      EXPECT_EQ(e.Line, c.line);
      EXPECT_NE(e.Message.find(c.problem), std::string::npos) << e.Message;
    }
  }
  auto val = [](const std::string& prop) { return ValueOf("A = " + prop); };
  EXPECT_EQ(val("-$7FFFFFFFFFFFFFFF").Int, -INT64_MAX);
  EXPECT_EQ(val("-9223372036854775807").Int, -INT64_MAX);
}

// Deep nesting is refused with an error instead of exhausting the stack.
TEST(StreamingParser, DeepNestingIsRefused) {
  std::string objects, lists = "object X: TX\n  A = ";
  for (int i = 0; i < 5000; ++i) objects += "object A: TA\n";
  for (int i = 0; i < 5000; ++i) lists += "(";
  for (const std::string& text : {objects, lists}) {
    try {
      ParseFormDescription(text, "deep.txt");
      ADD_FAILURE() << "no error";
    } catch (const EFormError& e) {
      EXPECT_NE(e.Message.find("nested too deeply"), std::string::npos) << e.Message;
    }
  }
}

TEST(StreamingValues, Conversions) {
  auto val = [](const std::string& prop) { return ValueOf("A = " + prop); };
  EXPECT_EQ(FormValueToInt32(val("$FFFFFFFF")), -1);
  EXPECT_EQ(FormValueToInt32(val("-2147483648")), INT32_MIN);
  EXPECT_THROW(FormValueToInt32(val("2147483648")), EFormValueError);
  EXPECT_THROW(FormValueToInt32(val("$100000000")), EFormValueError);
  EXPECT_THROW(FormValueToInt32(val("'1'")), EFormValueError);
  TIdentMap colors{{"clRed", 0xFF}, {"clBlack", 0}};
  EXPECT_EQ(FormValueToInt32(val("clred"), &colors), 0xFF);
  EXPECT_THROW(FormValueToInt32(val("clPink"), &colors), EFormValueError);
  EXPECT_THROW(FormValueToInt32(val("clRed")), EFormValueError);

  EXPECT_TRUE(FormValueToBool(val("true")));
  EXPECT_FALSE(FormValueToBool(val("False")));
  EXPECT_THROW(FormValueToBool(val("Yes")), EFormValueError);
  EXPECT_THROW(FormValueToBool(val("1")), EFormValueError);

  EXPECT_DOUBLE_EQ(FormValueToFloat(val("3")), 3.0);
  EXPECT_THROW(FormValueToString(val("abc")), EFormValueError);

  TIdentMap styles{{"fsBold", 0}, {"fsItalic", 1}, {"fsUnderline", 2}};
  EXPECT_EQ(FormValueToSetBits(val("[fsUnderline, fsBold]"), styles), 0b101u);
  EXPECT_THROW(FormValueToSetBits(val("[fsHeavy]"), styles), EFormValueError);
  EXPECT_EQ(FormValueToEnum(val("fsItalic"), styles), 1);
  try {
    FormValueToEnum(val("fsHeavy"), styles);
    FAIL();
  } catch (const EFormValueError& e) {
    EXPECT_NE(e.Message.find("fsBold, fsItalic, fsUnderline"), std::string::npos) << e.Message;
  }
  EXPECT_EQ(FormValueToName(val("NIL")), "nil");
}

}  // namespace
