// The parser of text form descriptions: tokens first (so the grammar can look ahead), then
// a recursive descent over objects, properties and values.
#include <cctype>
#include <limits>

#include "base/Text.h"
#include "classlib/Streaming.h"

namespace {

// Nested objects, lists and collections deeper than this are refused rather than risking
// the stack on a hostile or broken file.
constexpr int kMaxDepth = 256;

enum class Tok { Ident, Integer, Float, String, Binary, Symbol, End };

struct Token {
  Tok Kind = Tok::End;
  int Line = 0;
  std::string Text;       // Ident, String (UTF-8), Binary (bytes)
  char Sym = 0;           // Symbol
  int64_t Int = 0;        // Integer
  bool Hex = false;
  double Float = 0;
};

class Lexer {
public:
  Lexer(std::string_view text, const std::string& file) : s_(text), file_(file) {}

  std::vector<Token> Run() {
    std::vector<Token> out;
    for (;;) {
      SkipSpace();
      Token t;
      t.Line = line_;
      if (pos_ >= s_.size()) {
        out.push_back(t);
        return out;
      }
      char c = s_[pos_];
      if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
        size_t b = pos_;
        while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_')) ++pos_;
        t.Kind = Tok::Ident;
        t.Text = std::string(s_.substr(b, pos_ - b));
      } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '$') {
        Number(t);
      } else if (c == '\'' || c == '#') {
        StringRun(t);
      } else if (c == '{') {
        BinaryData(t);
      } else if (std::string_view("=:[](),<>+-.").find(c) != std::string_view::npos) {
        t.Kind = Tok::Symbol;
        t.Sym = c;
        ++pos_;
      } else {
        Fail(line_, std::string("unexpected character '") + Printable(c) + "'");
      }
      out.push_back(std::move(t));
    }
  }

private:
  [[noreturn]] void Fail(int line, const std::string& problem) { throw EFormError(file_, line, "", problem); }

  static std::string Printable(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7f) return std::string(1, c);
    return "\\x" + IntToHex(u, 2);
  }

  // Column of a byte offset on the current line, counted in characters from 1.
  int Column(size_t at) const {
    int col = 1;
    for (size_t k = lineStart_; k < at; ++k)
      if ((static_cast<unsigned char>(s_[k]) & 0xC0) != 0x80) ++col;
    return col;
  }

  void SkipSpace() {
    while (pos_ < s_.size()) {
      char c = s_[pos_];
      if (c == '\n') {
        ++line_;
        lineStart_ = pos_ + 1;
      } else if (c != ' ' && c != '\t' && c != '\r') {
        return;
      }
      ++pos_;
    }
  }

  void Number(Token& t) {
    const size_t start = pos_;
    if (s_[pos_] == '$') {
      ++pos_;
      size_t b = pos_;
      uint64_t v = 0;
      while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) {
        if (pos_ - b >= 16) Fail(line_, "hexadecimal number too long");
        char c = s_[pos_++];
        v = v * 16 + static_cast<uint64_t>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::tolower(c) - 'a' + 10));
      }
      if (pos_ == b) Fail(line_, "hexadecimal digits expected after '$'");
      // Literals are signed 64-bit values, so that a sign before any of them can be applied.
      if (v > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        Fail(line_, "number out of range at column " + std::to_string(Column(start)) + ": " +
                        std::string(s_.substr(start, pos_ - start)));
      t.Kind = Tok::Integer;
      t.Int = static_cast<int64_t>(v);
      t.Hex = true;
      CheckEndOfNumber();
      return;
    }
    size_t b = pos_;
    while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    bool isFloat = false;
    if (pos_ + 1 < s_.size() && s_[pos_] == '.' && std::isdigit(static_cast<unsigned char>(s_[pos_ + 1]))) {
      isFloat = true;
      ++pos_;
      while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    }
    if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
      size_t e = pos_ + 1;
      if (e < s_.size() && (s_[e] == '+' || s_[e] == '-')) ++e;
      if (e < s_.size() && std::isdigit(static_cast<unsigned char>(s_[e]))) {
        isFloat = true;
        pos_ = e;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
      }
    }
    std::string_view digits = s_.substr(b, pos_ - b);
    if (isFloat) {
      t.Kind = Tok::Float;
      if (!TryStrToFloat(digits, t.Float)) Fail(line_, "bad number " + std::string(digits));
    } else {
      t.Kind = Tok::Integer;
      uint64_t v = 0;
      for (char c : digits) {
        uint64_t d = static_cast<uint64_t>(c - '0');
        if (v > (static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) - d) / 10)
          Fail(line_, "number too large at column " + std::to_string(Column(start)) + ": " + std::string(digits));
        v = v * 10 + d;
      }
      t.Int = static_cast<int64_t>(v);
    }
    CheckEndOfNumber();
  }

  void CheckEndOfNumber() {
    if (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_'))
      Fail(line_, "bad number");
  }

  // One run of quoted pieces and #nnn character codes with nothing between them. Quoted text
  // is UTF-8; character codes are UTF-16 code units, so a surrogate pair may be split over two.
  void StringRun(Token& t) {
    std::u16string units;
    while (pos_ < s_.size() && (s_[pos_] == '\'' || s_[pos_] == '#')) {
      if (s_[pos_] == '\'') {
        ++pos_;
        std::string piece;
        for (;;) {
          if (pos_ >= s_.size() || s_[pos_] == '\n' || s_[pos_] == '\r') Fail(line_, "unterminated string");
          char c = s_[pos_++];
          if (c == '\'') {
            if (pos_ < s_.size() && s_[pos_] == '\'') {
              piece += '\'';
              ++pos_;
              continue;
            }
            break;
          }
          piece += c;
        }
        units += Utf8ToUtf16(piece);
      } else {
        ++pos_;
        uint64_t v = 0;
        size_t b = pos_;
        bool hex = pos_ < s_.size() && s_[pos_] == '$';
        if (hex) b = ++pos_;
        while (pos_ < s_.size() && (hex ? std::isxdigit(static_cast<unsigned char>(s_[pos_]))
                                        : std::isdigit(static_cast<unsigned char>(s_[pos_])))) {
          char c = s_[pos_++];
          v = v * (hex ? 16 : 10) +
              static_cast<uint64_t>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10);
          if (v > 0xFFFF) Fail(line_, "character code out of range (above 65535)");
        }
        if (pos_ == b) Fail(line_, "character code expected after '#'");
        units += static_cast<char16_t>(v);
      }
    }
    t.Kind = Tok::String;
    // Kept as UTF-16 until the whole concatenation is known; see Parser::StringValue.
    t.Text.assign(reinterpret_cast<const char*>(units.data()), units.size() * sizeof(char16_t));
  }

  void BinaryData(Token& t) {
    int startLine = line_;
    ++pos_;
    std::string bytes;
    int half = -1;
    for (;;) {
      if (pos_ >= s_.size()) Fail(startLine, "binary data not closed with '}'");
      char c = s_[pos_++];
      if (c == '}') break;
      if (c == '\n') {
        ++line_;
        continue;
      }
      if (c == ' ' || c == '\t' || c == '\r') continue;
      if (!std::isxdigit(static_cast<unsigned char>(c))) Fail(line_, "bad character in binary data");
      int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
      if (half < 0) {
        half = d;
      } else {
        bytes += static_cast<char>(half * 16 + d);
        half = -1;
      }
    }
    if (half >= 0) Fail(line_, "binary data has an odd number of hexadecimal digits");
    t.Kind = Tok::Binary;
    t.Line = startLine;
    t.Text = std::move(bytes);
  }

  std::string_view s_;
  const std::string& file_;
  size_t pos_ = 0;
  int line_ = 1;
  size_t lineStart_ = 0;
};

class Parser {
public:
  Parser(std::vector<Token> toks, const std::string& file) : t_(std::move(toks)), file_(file) {}

  TFormObject Root() {
    if (!IsObjectStart()) Fail(Cur().Line, "a form description starts with \"object\", \"inherited\" or \"inline\"");
    TFormObject root = Object(0);
    if (Cur().Kind != Tok::End) Fail(Cur().Line, "text after the end of the form");
    return root;
  }

private:
  [[noreturn]] void Fail(int line, const std::string& problem) { throw EFormError(file_, line, "", problem); }
  [[noreturn]] void FailProp(int line, const std::string& prop, const std::string& problem) {
    throw EFormError(file_, line, prop, problem);
  }

  const Token& Cur() const { return t_[i_]; }
  const Token& Peek(size_t n) const { return t_[std::min(i_ + n, t_.size() - 1)]; }
  bool IsSym(char c, size_t n = 0) const { return Peek(n).Kind == Tok::Symbol && Peek(n).Sym == c; }
  bool IsWord(const char* w, size_t n = 0) const { return Peek(n).Kind == Tok::Ident && SameText(Peek(n).Text, w); }
  static std::string Describe(const Token& t) {
    switch (t.Kind) {
      case Tok::Ident: return "\"" + t.Text + "\"";
      case Tok::Integer:
      case Tok::Float: return "a number";
      case Tok::String: return "a string";
      case Tok::Binary: return "binary data";
      case Tok::Symbol: return std::string("'") + t.Sym + "'";
      case Tok::End: return "the end of the text";
    }
    return "?";
  }
  void Expect(char c) {
    if (!IsSym(c)) Fail(Cur().Line, std::string("'") + c + "' expected but " + Describe(Cur()) + " found");
    ++i_;
  }
  std::string Ident(const char* what) {
    if (Cur().Kind != Tok::Ident) Fail(Cur().Line, std::string(what) + " expected but " + Describe(Cur()) + " found");
    return t_[i_++].Text;
  }
  // A property line starts with a name followed by '=' or '.'; anything else starting with one
  // of the three words opens an object.
  bool IsObjectStart() const {
    return (IsWord("object") || IsWord("inherited") || IsWord("inline")) && !IsSym('=', 1) && !IsSym('.', 1);
  }

  TFormObject Object(int depth) {
    if (depth > kMaxDepth) Fail(Cur().Line, "objects nested too deeply");
    TFormObject o;
    o.Line = Cur().Line;
    o.Kind = IsWord("object") ? TFormObjectKind::Object
             : IsWord("inherited") ? TFormObjectKind::Inherited
                                   : TFormObjectKind::Inline;
    ++i_;
    std::string first = Ident("a component name or class name");
    if (IsSym(':')) {
      ++i_;
      o.Name = first;
      o.ClassName = Ident("a class name");
    } else {
      o.ClassName = first;
    }
    if (IsSym('[')) {  // the position an inherited component had in its ancestor: not needed here
      ++i_;
      if (Cur().Kind != Tok::Integer) Fail(Cur().Line, "a number expected in '[ ]'");
      ++i_;
      Expect(']');
    }
    for (;;) {
      if (IsWord("end") && !IsSym('=', 1) && !IsSym('.', 1)) {
        ++i_;
        return o;
      }
      if (Cur().Kind == Tok::End) Fail(o.Line, "\"end\" missing for " + (o.Name.empty() ? o.ClassName : o.Name));
      if (IsObjectStart()) {
        o.Children.push_back(Object(depth + 1));
      } else {
        o.Properties.push_back(Property(depth));
      }
    }
  }

  TFormProperty Property(int depth) {
    TFormProperty p;
    p.Line = Cur().Line;
    p.Name = Ident("a property name");
    while (IsSym('.')) {
      ++i_;
      p.Name += '.';
      p.Name += Ident("a property name after '.'");
    }
    if (!IsSym('=')) FailProp(Cur().Line, p.Name, "'=' expected but " + Describe(Cur()) + " found");
    ++i_;
    p.Value = Value(p.Name, depth);
    return p;
  }

  TFormValue Value(const std::string& prop, int depth) {
    if (depth > kMaxDepth) FailProp(Cur().Line, prop, "values nested too deeply");
    TFormValue v;
    v.Line = Cur().Line;
    const Token& t = Cur();
    if (IsSym('-') || IsSym('+')) {
      bool neg = IsSym('-');
      ++i_;
      const Token& n = Cur();
      if (n.Kind == Tok::Integer) {
        v.Kind = TFormValueKind::Integer;
        v.Int = neg ? -n.Int : n.Int;
        v.Hex = n.Hex;
      } else if (n.Kind == Tok::Float) {
        v.Kind = TFormValueKind::Float;
        v.Float = neg ? -n.Float : n.Float;
      } else {
        FailProp(n.Line, prop, "a number expected after the sign");
      }
      ++i_;
      return v;
    }
    switch (t.Kind) {
      case Tok::Integer:
        v.Kind = TFormValueKind::Integer;
        v.Int = t.Int;
        v.Hex = t.Hex;
        ++i_;
        return v;
      case Tok::Float:
        v.Kind = TFormValueKind::Float;
        v.Float = t.Float;
        ++i_;
        return v;
      case Tok::String:
        return StringValue(prop);
      case Tok::Binary:
        v.Kind = TFormValueKind::Binary;
        v.Text = t.Text;
        ++i_;
        return v;
      case Tok::Ident:
        v.Kind = TFormValueKind::Ident;
        v.Text = t.Text;
        ++i_;
        while (IsSym('.')) {
          ++i_;
          v.Text += '.';
          v.Text += Ident("a name after '.'");
        }
        return v;
      case Tok::Symbol:
        if (t.Sym == '[') return SetValue(prop);
        if (t.Sym == '(') return ListValue(prop, depth);
        if (t.Sym == '<') return CollectionValue(prop, depth);
        break;
      case Tok::End:
        break;
    }
    FailProp(t.Line, prop, "a value expected but " + Describe(t) + " found");
  }

  TFormValue StringValue(const std::string& prop) {
    TFormValue v;
    v.Kind = TFormValueKind::String;
    v.Line = Cur().Line;
    std::u16string units;
    for (;;) {
      const std::string& raw = Cur().Text;
      units.append(reinterpret_cast<const char16_t*>(raw.data()), raw.size() / sizeof(char16_t));
      ++i_;
      if (!IsSym('+')) break;
      ++i_;
      if (Cur().Kind != Tok::String) FailProp(Cur().Line, prop, "a string expected after '+'");
    }
    for (size_t k = 0; k < units.size(); ++k) {
      char16_t u = units[k];
      if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units.size() && units[k + 1] >= 0xDC00 && units[k + 1] <= 0xDFFF) {
        ++k;
      } else if (u >= 0xD800 && u <= 0xDFFF) {
        FailProp(v.Line, prop, "unpaired surrogate in a character code");
      }
    }
    v.Text = Utf16ToUtf8(units);
    return v;
  }

  TFormValue SetValue(const std::string& prop) {
    TFormValue v;
    v.Kind = TFormValueKind::Set;
    v.Line = Cur().Line;
    ++i_;
    if (IsSym(']')) {
      ++i_;
      return v;
    }
    for (;;) {
      if (Cur().Kind != Tok::Ident) FailProp(Cur().Line, prop, "a set member expected but " + Describe(Cur()) + " found");
      v.Names.push_back(t_[i_++].Text);
      if (IsSym(']')) {
        ++i_;
        return v;
      }
      if (!IsSym(',')) FailProp(Cur().Line, prop, "',' or ']' expected but " + Describe(Cur()) + " found");
      ++i_;
    }
  }

  TFormValue ListValue(const std::string& prop, int depth) {
    TFormValue v;
    v.Kind = TFormValueKind::List;
    v.Line = Cur().Line;
    ++i_;
    while (!IsSym(')')) {
      if (Cur().Kind == Tok::End) FailProp(v.Line, prop, "list not closed with ')'");
      v.List.push_back(Value(prop, depth + 1));
    }
    ++i_;
    return v;
  }

  TFormValue CollectionValue(const std::string& prop, int depth) {
    TFormValue v;
    v.Kind = TFormValueKind::Collection;
    v.Line = Cur().Line;
    ++i_;
    while (!IsSym('>')) {
      if (!IsWord("item")) FailProp(Cur().Line, prop, "\"item\" or '>' expected but " + Describe(Cur()) + " found");
      TFormItem item;
      item.Line = Cur().Line;
      ++i_;
      if (IsSym('[')) {  // an explicit position; items are read in order anyway
        ++i_;
        if (Cur().Kind != Tok::Integer) FailProp(Cur().Line, prop, "a number expected in '[ ]'");
        ++i_;
        Expect(']');
      }
      for (;;) {
        if (IsWord("end") && !IsSym('=', 1) && !IsSym('.', 1)) {
          ++i_;
          break;
        }
        if (Cur().Kind == Tok::End) FailProp(item.Line, prop, "\"end\" missing for a collection item");
        item.Properties.push_back(Property(depth + 1));
      }
      v.Items.push_back(std::move(item));
    }
    ++i_;
    return v;
  }

  std::vector<Token> t_;
  const std::string& file_;
  size_t i_ = 0;
};

// The line of the first byte that is not valid UTF-8, or 0.
int FirstInvalidUtf8Line(std::string_view s) {
  int line = 1;
  for (size_t i = 0; i < s.size();) {
    if (s[i] == '\n') ++line;
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
      continue;
    }
    int n = Utf8SequenceLength(s, i);
    if (n == 0) return line;
    i += static_cast<size_t>(n);
  }
  return 0;
}

}  // namespace

EFormError::EFormError(std::string fileName, int line, std::string property, std::string problem)
    : EReadError(fileName + ":" + std::to_string(line) + ": " + (property.empty() ? "" : property + ": ") + problem),
      FileName(std::move(fileName)),
      Line(line),
      Property(std::move(property)),
      Problem(std::move(problem)) {}

TFormObject ParseFormDescription(std::string_view Text, const std::string& FileName) {
  std::string text = DecodeTextBytes(Text);
  if (int bad = FirstInvalidUtf8Line(text)) throw EFormError(FileName, bad, "", "the text is not valid UTF-8");
  Lexer lex(text, FileName);
  Parser p(lex.Run(), FileName);
  return p.Root();
}
