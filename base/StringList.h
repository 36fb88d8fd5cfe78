#pragma once
// TStrings, the abstract list of strings with attached objects, and TStringList, its
// ordinary implementation.
//
// Lines: Text joins the lines, each followed by LineBreak (CRLF unless changed, as the INI,
// skin and form files expect); setting Text, or loading, splits at CRLF, LF or a lone CR.
// Files: LoadFromFile/LoadFromStream take a UTF-8 or UTF-16 (LE or BE) byte-order mark into
// account and otherwise read UTF-8; SaveToFile/SaveToStream write UTF-8 without a mark
// unless WriteBOM is set.
// Names and values: the name of "key=value" is the text before the first "=", and lines
// without "=" have an empty name. Names compare as the list compares strings (without
// regard to ASCII letter case unless CaseSensitive is set).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Component.h"
#include "base/Events.h"

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
public:
  ~TStrings() override = default;

  // ---- storage (implemented by each list) ----
  virtual int32_t Count() const = 0;
  virtual std::string Get(int32_t Index) const = 0;
  virtual void Put(int32_t Index, const std::string& S);
  virtual TObject* GetObject(int32_t Index) const;
  virtual void PutObject(int32_t Index, TObject* AObject);
  virtual void Insert(int32_t Index, const std::string& S) = 0;
  virtual void Delete(int32_t Index) = 0;
  virtual void Clear() = 0;

  std::string operator[](int32_t Index) const { return Get(Index); }
  std::string Strings(int32_t Index) const { return Get(Index); }
  TObject* Objects(int32_t Index) const { return GetObject(Index); }

  // Answers the index the string got.
  virtual int32_t Add(const std::string& S);
  virtual int32_t AddObject(const std::string& S, TObject* AObject);
  void Append(const std::string& S) { Add(S); }
  void InsertObject(int32_t Index, const std::string& S, TObject* AObject);
  void AddStrings(const TStrings& Strings);
  // Copies another TStrings (strings and objects, after emptying this list); other classes
  // go to TPersistent.
  void Assign(TPersistent* Source) override;
  void Assign(const TStrings& Source) { Assign(const_cast<TStrings*>(&Source)); }
  virtual void Exchange(int32_t Index1, int32_t Index2);
  virtual void Move(int32_t CurIndex, int32_t NewIndex);

  virtual int32_t IndexOf(const std::string& S) const;
  int32_t IndexOfName(const std::string& Name) const;
  int32_t IndexOfObject(const TObject* AObject) const;

  std::string Names(int32_t Index) const;
  // The value of the first line named Name, or "" when there is none.
  std::string Values(const std::string& Name) const;
  // Sets the value of the first line named Name, adding a line when there is none; an
  // empty Value deletes that line.
  void SetValues(const std::string& Name, const std::string& Value);
  std::string ValueFromIndex(int32_t Index) const;
  void SetValueFromIndex(int32_t Index, const std::string& Value);

  std::string Text() const;
  void SetText(std::string_view Value);
  const std::string& LineBreak() const { return FLineBreak; }
  void SetLineBreak(const std::string& Value) { FLineBreak = Value; }

  // Strings joined by Delimiter; a string holding a blank, a control character, QuoteChar or
  // Delimiter is quoted (QuoteChar doubled inside). One empty string gives two QuoteChars.
  // Reading splits at Delimiter and, outside quotes, at blanks.
  std::string DelimitedText() const;
  void SetDelimitedText(std::string_view Value);
  char Delimiter() const { return FDelimiter; }
  void SetDelimiter(char Value) { FDelimiter = Value; }
  char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char Value) { FQuoteChar = Value; }
  // DelimitedText with "," and '"', whatever Delimiter and QuoteChar are.
  std::string CommaText() const;
  void SetCommaText(std::string_view Value);

  // Change notifications wait until the outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate();

  // Reads from the stream's position to its end; a missing file raises EFOpenError.
  void LoadFromFile(const std::string& FileName);
  void LoadFromStream(TStream& Stream);
  void SaveToFile(const std::string& FileName) const;
  void SaveToStream(TStream& Stream) const;
  bool WriteBOM = false;

protected:
  // Called when the first BeginUpdate starts (true) and the last EndUpdate ends (false).
  virtual void SetUpdateState(bool Updating) { (void)Updating; }
  int32_t UpdateCount() const { return FUpdateCount; }
  // How this list compares strings and names.
  virtual int CompareStrings(std::string_view S1, std::string_view S2) const;
  // Raises EListError "List index out of bounds (<index>)".
  [[noreturn]] static void IndexError(int32_t Index);

private:
  std::string JoinDelimited(char Delimiter, char QuoteChar) const;
  void SplitDelimited(std::string_view Value, char Delimiter, char QuoteChar);

  int32_t FUpdateCount = 0;
  std::string FLineBreak = "\r\n";
  char FDelimiter = ',';
  char FQuoteChar = '"';
};

class TStringList : public TStrings {
public:
  explicit TStringList(bool AOwnsObjects = false) : FOwnsObjects(AOwnsObjects) {}
  ~TStringList() override;

  int32_t Count() const override { return static_cast<int32_t>(FList.size()); }
  std::string Get(int32_t Index) const override;
  // Raises EListError "Operation not allowed on sorted list" on a sorted list.
  void Put(int32_t Index, const std::string& S) override;
  TObject* GetObject(int32_t Index) const override;
  // An owned object that is replaced is freed.
  void PutObject(int32_t Index, TObject* AObject) override;
  // On a sorted list: raises EListError "Operation not allowed on sorted list".
  void Insert(int32_t Index, const std::string& S) override;
  void Delete(int32_t Index) override;
  void Clear() override;
  // On a sorted list the string goes to its place; a duplicate follows Duplicates
  // (dupIgnore answers the existing index, dupError raises EListError
  // "String list does not allow duplicates").
  int32_t AddObject(const std::string& S, TObject* AObject) override;
  int32_t Add(const std::string& S) override { return AddObject(S, nullptr); }
  void Exchange(int32_t Index1, int32_t Index2) override;
  // Moves the string and its object; the object is never freed on the way.
  void Move(int32_t CurIndex, int32_t NewIndex) override;
  int32_t IndexOf(const std::string& S) const override;

  // On a sorted list: binary search; Index gets the first match, or where S would go.
  // On an unsorted list: a plain search; Index gets the first match, or Count.
  bool Find(const std::string& S, int32_t& Index) const;
  // Sorts once (stable); does nothing on a list that is kept sorted.
  virtual void Sort();

  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  void SetUpdateState(bool Updating) override;
  int CompareStrings(std::string_view S1, std::string_view S2) const override;
  virtual void Changed();
  virtual void Changing();

private:
  struct Item {
    std::string S;
    TObject* Obj;
  };
  void CheckIndex(int32_t Index) const;
  void InsertItem(int32_t Index, const std::string& S, TObject* AObject);
  void SortItems();

  std::vector<Item> FList;
  bool FSorted = false;
  bool FCaseSensitive = false;
  bool FOwnsObjects;
  TDuplicates FDuplicates = dupIgnore;
};
