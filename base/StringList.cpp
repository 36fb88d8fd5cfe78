#include "base/StringList.h"

#include <algorithm>

#include "base/Exception.h"
#include "base/Format.h"
#include "base/Stream.h"
#include "base/Text.h"
#include "base/UpdateGuard.h"

namespace {
constexpr char kNameValueSeparator = '=';
const char kSortedListError[] = "Operation not allowed on sorted list";
const char kDuplicateString[] = "String list does not allow duplicates";
}  // namespace

// ---- TStrings -------------------------------------------------------------------------

void TStrings::IndexError(int32_t Index) { throw EListError(Format("List index out of bounds (%d)", Index)); }

int TStrings::CompareStrings(std::string_view S1, std::string_view S2) const { return CompareText(S1, S2); }

void TStrings::Put(int32_t Index, const std::string& S) {
  TObject* obj = GetObject(Index);
  TUpdateGuard update(*this);
  Delete(Index);
  InsertObject(Index, S, obj);
}

TObject* TStrings::GetObject(int32_t Index) const {
  (void)Index;
  return nullptr;
}

void TStrings::PutObject(int32_t Index, TObject* AObject) {
  (void)Index;
  (void)AObject;
}

int32_t TStrings::Add(const std::string& S) {
  const int32_t index = Count();
  Insert(index, S);
  return index;
}

int32_t TStrings::AddObject(const std::string& S, TObject* AObject) {
  const int32_t index = Add(S);
  PutObject(index, AObject);
  return index;
}

void TStrings::InsertObject(int32_t Index, const std::string& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::AddStrings(const TStrings& Strings) {
  // Take a copy first: the source may be this very list.
  std::vector<std::pair<std::string, TObject*>> items;
  items.reserve(static_cast<size_t>(Strings.Count()));
  for (int32_t i = 0; i < Strings.Count(); ++i) items.emplace_back(Strings.Get(i), Strings.GetObject(i));
  TUpdateGuard update(*this);
  for (const auto& [s, obj] : items) AddObject(s, obj);
}

void TStrings::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TStrings*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this) return;
  TUpdateGuard update(*this);
  Clear();
  FDelimiter = src->FDelimiter;
  FQuoteChar = src->FQuoteChar;
  FLineBreak = src->FLineBreak;
  AddStrings(*src);
}

void TStrings::Exchange(int32_t Index1, int32_t Index2) {
  TUpdateGuard update(*this);
  const std::string s = Get(Index1);
  TObject* obj = GetObject(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, s);
  PutObject(Index2, obj);
}

void TStrings::Move(int32_t CurIndex, int32_t NewIndex) {
  if (CurIndex == NewIndex) return;
  TUpdateGuard update(*this);
  const std::string s = Get(CurIndex);
  TObject* obj = GetObject(CurIndex);
  Delete(CurIndex);
  InsertObject(NewIndex, s, obj);
}

int32_t TStrings::IndexOf(const std::string& S) const {
  for (int32_t i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

int32_t TStrings::IndexOfName(const std::string& Name) const {
  for (int32_t i = 0; i < Count(); ++i) {
    const std::string s = Get(i);
    const size_t p = s.find(kNameValueSeparator);
    if (p != std::string::npos && CompareStrings(std::string_view(s).substr(0, p), Name) == 0) return i;
  }
  return -1;
}

int32_t TStrings::IndexOfObject(const TObject* AObject) const {
  for (int32_t i = 0; i < Count(); ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

std::string TStrings::Names(int32_t Index) const {
  const std::string s = Get(Index);
  const size_t p = s.find(kNameValueSeparator);
  return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::Values(const std::string& Name) const {
  const int32_t i = IndexOfName(Name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(const std::string& Name, const std::string& Value) {
  const int32_t i = IndexOfName(Name);
  if (Value.empty()) {
    if (i >= 0) Delete(i);
  } else if (i < 0) {
    Add(Name + kNameValueSeparator + Value);
  } else {
    Put(i, Name + kNameValueSeparator + Value);
  }
}

std::string TStrings::ValueFromIndex(int32_t Index) const {
  const std::string s = Get(Index);
  const size_t p = s.find(kNameValueSeparator);
  return p == std::string::npos ? std::string() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int32_t Index, const std::string& Value) {
  if (Value.empty()) {
    if (Index >= 0) Delete(Index);
  } else if (Index < 0) {
    Add(kNameValueSeparator + Value);
  } else {
    Put(Index, Names(Index) + kNameValueSeparator + Value);
  }
}

std::string TStrings::Text() const {
  std::string out;
  for (int32_t i = 0; i < Count(); ++i) {
    out += Get(i);
    out += FLineBreak;
  }
  return out;
}

void TStrings::SetText(std::string_view Value) {
  TUpdateGuard update(*this);
  Clear();
  size_t i = 0;
  while (i < Value.size()) {
    const size_t start = i;
    while (i < Value.size() && Value[i] != '\r' && Value[i] != '\n') ++i;
    Add(std::string(Value.substr(start, i - start)));
    if (i < Value.size() && Value[i] == '\r') ++i;
    if (i < Value.size() && Value[i] == '\n') ++i;
  }
}

std::string TStrings::DelimitedText() const { return JoinDelimited(FDelimiter, FQuoteChar); }

std::string TStrings::JoinDelimited(char delimiter, char quote) const {
  const int32_t n = Count();
  if (n == 1 && Get(0).empty()) return std::string(2, quote);
  std::string out;
  for (int32_t i = 0; i < n; ++i) {
    const std::string s = Get(i);
    const bool needsQuotes = std::any_of(s.begin(), s.end(), [&](char c) {
      return static_cast<unsigned char>(c) <= ' ' || c == quote || c == delimiter;
    });
    if (i > 0) out += delimiter;
    out += needsQuotes ? AnsiQuotedStr(s, quote) : s;
  }
  return out;
}

namespace {
inline bool IsSpace(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

void TStrings::SetDelimitedText(std::string_view Value) { SplitDelimited(Value, FDelimiter, FQuoteChar); }

void TStrings::SplitDelimited(std::string_view Value, char delimiter, char quote) {
  TUpdateGuard update(*this);
  Clear();
  size_t p = 0;
  const size_t n = Value.size();
  while (p < n && IsSpace(Value[p])) ++p;
  while (p < n) {
    std::string s;
    if (Value[p] == quote) {
      // Quoted: up to the next single quote character; a doubled one stands for itself.
      ++p;
      while (p < n) {
        if (Value[p] == quote) {
          if (p + 1 < n && Value[p + 1] == quote) {
            s += quote;
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        s += Value[p++];
      }
    } else {
      const size_t start = p;
      while (p < n && static_cast<unsigned char>(Value[p]) > ' ' && Value[p] != delimiter) ++p;
      s.assign(Value.substr(start, p - start));
    }
    Add(s);
    while (p < n && IsSpace(Value[p])) ++p;
    if (p < n && Value[p] == delimiter) {
      if (p + 1 == n) Add(std::string());  // a delimiter at the very end ends with an empty string
      do {
        ++p;
      } while (p < n && IsSpace(Value[p]));
    }
  }
}

std::string TStrings::CommaText() const { return JoinDelimited(',', '"'); }

void TStrings::SetCommaText(std::string_view Value) { SplitDelimited(Value, ',', '"'); }

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::LoadFromFile(const std::string& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

void TStrings::LoadFromStream(TStream& Stream) {
  std::string bytes;
  char buf[65536];
  for (;;) {
    const int64_t n = Stream.Read(buf, sizeof buf);
    if (n <= 0) break;
    bytes.append(buf, static_cast<size_t>(n));
  }
  SetText(DecodeTextBytes(bytes));
}

void TStrings::SaveToFile(const std::string& FileName) const {
  TFileStream f(FileName, fmCreate);
  SaveToStream(f);
}

void TStrings::SaveToStream(TStream& Stream) const {
  std::string text = Text();
  if (WriteBOM) text.insert(0, "\xEF\xBB\xBF");
  Stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

// ---- TStringList ----------------------------------------------------------------------

TStringList::~TStringList() {
  // No change events while the list goes away.
  OnChange = nullptr;
  OnChanging = nullptr;
  if (FOwnsObjects)
    for (auto& item : FList) delete item.Obj;
}

void TStringList::CheckIndex(int32_t Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

int TStringList::CompareStrings(std::string_view S1, std::string_view S2) const {
  return FCaseSensitive ? CompareStr(S1, S2) : CompareText(S1, S2);
}

std::string TStringList::Get(int32_t Index) const {
  CheckIndex(Index);
  return FList[static_cast<size_t>(Index)].S;
}

void TStringList::Put(int32_t Index, const std::string& S) {
  if (FSorted) throw EListError(kSortedListError);
  CheckIndex(Index);
  Changing();
  FList[static_cast<size_t>(Index)].S = S;
  Changed();
}

TObject* TStringList::GetObject(int32_t Index) const {
  CheckIndex(Index);
  return FList[static_cast<size_t>(Index)].Obj;
}

void TStringList::PutObject(int32_t Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  TObject*& slot = FList[static_cast<size_t>(Index)].Obj;
  TObject* old = slot;
  slot = AObject;
  if (FOwnsObjects && old != AObject) delete old;
  Changed();
}

void TStringList::InsertItem(int32_t Index, const std::string& S, TObject* AObject) {
  Changing();
  FList.insert(FList.begin() + Index, Item{S, AObject});
  Changed();
}

void TStringList::Insert(int32_t Index, const std::string& S) {
  if (FSorted) throw EListError(kSortedListError);
  if (Index < 0 || Index > Count()) IndexError(Index);
  InsertItem(Index, S, nullptr);
}

int32_t TStringList::AddObject(const std::string& S, TObject* AObject) {
  int32_t index = Count();
  if (FSorted && Find(S, index)) {
    switch (FDuplicates) {
      case dupIgnore: return index;
      case dupError: throw EListError(kDuplicateString);
      case dupAccept:
        // After the equal strings already there.
        while (index < Count() && CompareStrings(FList[static_cast<size_t>(index)].S, S) == 0) ++index;
        break;
    }
  }
  InsertItem(index, S, AObject);
  return index;
}

void TStringList::Delete(int32_t Index) {
  CheckIndex(Index);
  Changing();
  TObject* obj = FList[static_cast<size_t>(Index)].Obj;
  FList.erase(FList.begin() + Index);
  if (FOwnsObjects) delete obj;
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  std::vector<Item> items;
  items.swap(FList);
  if (FOwnsObjects)
    for (auto& item : items) delete item.Obj;
  Changed();
}

void TStringList::Exchange(int32_t Index1, int32_t Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
  Changed();
}

void TStringList::Move(int32_t CurIndex, int32_t NewIndex) {
  CheckIndex(CurIndex);
  if (CurIndex == NewIndex) return;
  if (FSorted) throw EListError(kSortedListError);
  CheckIndex(NewIndex);
  Changing();
  Item item = std::move(FList[static_cast<size_t>(CurIndex)]);
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, std::move(item));
  Changed();
}

bool TStringList::Find(const std::string& S, int32_t& Index) const {
  if (!FSorted) {
    for (int32_t i = 0; i < Count(); ++i)
      if (CompareStrings(FList[static_cast<size_t>(i)].S, S) == 0) {
        Index = i;
        return true;
      }
    Index = Count();
    return false;
  }
  auto it = std::lower_bound(FList.begin(), FList.end(), S,
                             [&](const Item& item, const std::string& s) { return CompareStrings(item.S, s) < 0; });
  Index = static_cast<int32_t>(it - FList.begin());
  return it != FList.end() && CompareStrings(it->S, S) == 0;
}

int32_t TStringList::IndexOf(const std::string& S) const {
  int32_t index;
  return Find(S, index) ? index : -1;
}

void TStringList::SortItems() {
  std::stable_sort(FList.begin(), FList.end(),
                   [&](const Item& a, const Item& b) { return CompareStrings(a.S, b.S) < 0; });
}

void TStringList::Sort() {
  if (FSorted || FList.size() < 2) return;
  Changing();
  SortItems();
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (Value == FSorted) return;
  if (Value) {
    Changing();
    SortItems();
    FSorted = true;
    Changed();
  } else {
    FSorted = false;
  }
}

void TStringList::SetCaseSensitive(bool Value) {
  if (Value == FCaseSensitive) return;
  FCaseSensitive = Value;
  if (FSorted) {
    Changing();
    SortItems();
    Changed();
  }
}
