#pragma once
// Key descriptors of the skin records: each record class lists its keys once, with the field,
// the value kind (taken from the field's type), the missing-key default and the key's places in
// reading and in writing order; one generic loader and saver walk those lists.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

#include "base/IniFile.h"
#include "base/Object.h"
#include "lib/skin/kxSkinValues.h"

// The window command of a caption button.
enum TkxStdCommand : uint8_t { cmClose, cmMaximize, cmMinimize, cmSysMenu, cmDefault, cmRollUp, cmMinimizeToTray };
std::string StdCommandToStr(TkxStdCommand Value);
// Compares exactly with the first six words; anything else is cmMinimizeToTray.
TkxStdCommand StrToStdCommand(const std::string& S);

enum class TkxValueKind { Integer, String, Flag, Rect, Point, FontStyles, Alignment, StretchType, MorphKind, InActiveEffect, Command };

struct TkxSkinKey {
  const char* Key;
  TkxValueKind Kind;
  void* (*Field)(void*);      // the field inside a record (given as by KeyBase)
  int32_t IntDefault;         // integers and colours
  const char* StrDefault;     // strings
  double Read;                // place in reading order
  double Write;               // place in writing order

  template <typename T>
  T& Ref(void* Record) const {
    return *static_cast<T*>(Field(Record));
  }
};

// One class's keys in declared order, with their reading and writing orders.
class TkxKeyTable {
public:
  TkxKeyTable(std::initializer_list<TkxSkinKey> Keys);
  const std::vector<TkxSkinKey>& Keys() const { return FKeys; }
  const std::vector<const TkxSkinKey*>& ReadOrder() const { return FRead; }
  const std::vector<const TkxSkinKey*>& WriteOrder() const { return FWrite; }

private:
  std::vector<TkxSkinKey> FKeys;
  std::vector<const TkxSkinKey*> FRead, FWrite;
};

namespace kxkeys {

// How a record is handed to the key functions: records of the TObject family as their TObject,
// plain structs as themselves, so a field is found again by a static_cast.
template <typename T>
void* KeyBase(T& Record) {
  if constexpr (std::is_base_of_v<TObject, T>) return static_cast<TObject*>(&Record);
  else return &Record;
}

void LoadKeys(TCustomIniFile& IniFile, const std::string& Section, const TkxKeyTable& Table, void* Record);
void SaveKeys(TCustomIniFile& IniFile, const std::string& Section, const TkxKeyTable& Table, void* Record);
bool SameKeys(const std::vector<const TkxKeyTable*>& Tables, void* A, void* B);

template <auto M>
struct Member;
template <typename C, typename V, V C::*M>
struct Member<M> {
  using Class = C;
  using Value = V;
};

template <typename V>
constexpr TkxValueKind KindOf() {
  if constexpr (std::is_same_v<V, int32_t>) return TkxValueKind::Integer;
  else if constexpr (std::is_same_v<V, std::string>) return TkxValueKind::String;
  else if constexpr (std::is_same_v<V, bool>) return TkxValueKind::Flag;
  else if constexpr (std::is_same_v<V, TRect>) return TkxValueKind::Rect;
  else if constexpr (std::is_same_v<V, TPoint>) return TkxValueKind::Point;
  else if constexpr (std::is_same_v<V, TFontStyles>) return TkxValueKind::FontStyles;
  else if constexpr (std::is_same_v<V, TAlignment>) return TkxValueKind::Alignment;
  else if constexpr (std::is_same_v<V, TkxStretchType>) return TkxValueKind::StretchType;
  else if constexpr (std::is_same_v<V, TkxMorphKind>) return TkxValueKind::MorphKind;
  else if constexpr (std::is_same_v<V, TkxInActiveEffect>) return TkxValueKind::InActiveEffect;
  else {
    static_assert(std::is_same_v<V, TkxStdCommand>, "no skin value kind for this field type");
    return TkxValueKind::Command;
  }
}

template <auto M>
void* FieldOf(void* Record) {
  using C = typename Member<M>::Class;
  C* c;
  if constexpr (std::is_base_of_v<TObject, C>) c = static_cast<C*>(static_cast<TObject*>(Record));
  else c = static_cast<C*>(Record);
  return &(c->*M);
}

}  // namespace kxkeys

// Reads the keys of Table from Section into Record (of the listing class or below).
template <typename R>
void LoadSkinKeys(TCustomIniFile& IniFile, const std::string& Section, const TkxKeyTable& Table, R& Record) {
  kxkeys::LoadKeys(IniFile, Section, Table, kxkeys::KeyBase(Record));
}
// Writes them in writing order; erases nothing.
template <typename R>
void SaveSkinKeys(TCustomIniFile& IniFile, const std::string& Section, const TkxKeyTable& Table, R& Record) {
  kxkeys::SaveKeys(IniFile, Section, Table, kxkeys::KeyBase(Record));
}
// True when both records hold the same values in every key of the tables.
template <typename R>
bool SameSkinKeys(const std::vector<const TkxKeyTable*>& Tables, R& A, R& B) {
  return kxkeys::SameKeys(Tables, kxkeys::KeyBase(A), kxkeys::KeyBase(B));
}

// A key whose missing value is fixed by its kind (rects, points, flags, styles, keywords).
// Write 0 means "in reading order".
template <auto M>
TkxSkinKey Key(const char* Name, double Read, double Write = 0) {
  using V = typename kxkeys::Member<M>::Value;
  static_assert(!std::is_same_v<V, int32_t> && !std::is_same_v<V, std::string>, "give integers and strings a default");
  return {Name, kxkeys::KindOf<V>(), &kxkeys::FieldOf<M>, 0, "", Read, Write ? Write : Read};
}
// An integer or colour key with its missing-key value.
template <auto M>
TkxSkinKey IntKey(const char* Name, int32_t Default, double Read, double Write = 0) {
  static_assert(std::is_same_v<typename kxkeys::Member<M>::Value, int32_t>);
  return {Name, TkxValueKind::Integer, &kxkeys::FieldOf<M>, Default, "", Read, Write ? Write : Read};
}
// A string key with its missing-key value.
template <auto M>
TkxSkinKey StrKey(const char* Name, const char* Default, double Read, double Write = 0) {
  static_assert(std::is_same_v<typename kxkeys::Member<M>::Value, std::string>);
  return {Name, TkxValueKind::String, &kxkeys::FieldOf<M>, 0, Default, Read, Write ? Write : Read};
}
