// The class registry, the value conversions shared by the property kinds, and the handler table.
#include <algorithm>
#include <cstring>
#include <map>

#include "base/Text.h"
#include "classlib/Streaming.h"
#include "classlib/streaming/Registrations.h"

namespace {

struct Registry {
  // Every registration ever made; replaced ones stay, so pointers handed out remain valid.
  std::vector<std::unique_ptr<TClassInfo>> All;
  std::map<std::string, TClassInfo*> ByName;  // upper-cased name
  std::map<std::type_index, TClassInfo*> ByType;
};

Registry& Reg() {
  static Registry* r = new Registry;  // never freed: registrations live as long as the program
  return *r;
}

void RegisterCoreClasses() {
  RegisterFormClass<TPersistent>("TPersistent");
  RegisterFormClass<TComponent, TPersistent>("TComponent")
      .Integer("Tag", [](TComponent* c, int32_t v) { c->SetTag(v); })
      // Where a designer put a non-visual component; nothing at run time uses it.
      .Custom("DesignInfo", [](TComponent*, const TFormValue& v, TFormReadContext&) { FormValueToInt32(v); })
      .Custom("Left", [](TComponent*, const TFormValue& v, TFormReadContext&) { FormValueToInt32(v); })
      .Custom("Top", [](TComponent*, const TFormValue& v, TFormReadContext&) { FormValueToInt32(v); });
  RegisterFormClass<TStrings, TPersistent>("TStrings").Custom(
      "Strings", [](TStrings* s, const TFormValue& v, TFormReadContext&) { ReadFormStrings(s, v); });
  RegisterFormClass<TCollectionItem, TPersistent>("TCollectionItem");
}

// The class library's own classes are registered on first use, before anything is looked up,
// so a program's later registration of the same name replaces them.
void EnsureStandardClasses() {
  static bool started = false;
  if (started) return;
  started = true;
  RegisterCoreClasses();
  RegisterMenuFormClasses();
  RegisterGraphicsFormClasses();
  RegisterControlFormClasses();
  RegisterEditFormClasses();
  RegisterScrollFormClasses();
  RegisterListViewFormClasses();
  RegisterTabControlFormClasses();
  RegisterTreeViewFormClasses();
  RegisterComCtrlFormClasses();
}

int Depth(const TClassInfo* c) {
  int d = 0;
  for (const TClassInfo* p = c->Parent(); p && d < 1000; p = p->Parent()) ++d;
  return d;
}

std::string IdentList(const TIdentMap& m) {
  std::string s;
  for (size_t i = 0; i < m.size() && i < 8; ++i) s += (i ? ", " : "") + m[i].first;
  if (m.size() > 8) s += ", ...";
  return s;
}

const char* KindName(TFormValueKind k) {
  switch (k) {
    case TFormValueKind::Integer: return "an integer";
    case TFormValueKind::Float: return "a number";
    case TFormValueKind::String: return "a string";
    case TFormValueKind::Ident: return "a name";
    case TFormValueKind::Set: return "a set";
    case TFormValueKind::List: return "a list";
    case TFormValueKind::Collection: return "a collection";
    case TFormValueKind::Binary: return "binary data";
  }
  return "?";
}

[[noreturn]] void Wrong(const char* expected, const TFormValue& v) {
  throw EFormValueError(std::string(expected) + " expected but " + KindName(v.Kind) + " found");
}

}  // namespace

TClassInfo* AddFormClass(std::unique_ptr<TClassInfo> Info) {
  EnsureStandardClasses();
  Registry& r = Reg();
  TClassInfo* p = Info.get();
  r.All.push_back(std::move(Info));
  r.ByName[UpperCase(p->Name)] = p;
  r.ByType[p->Type] = p;
  return p;
}

const TClassInfo* FindFormClass(const std::string& Name) {
  EnsureStandardClasses();
  auto& m = Reg().ByName;
  auto it = m.find(UpperCase(Name));
  return it == m.end() ? nullptr : it->second;
}

const TClassInfo* FindFormClassOf(TPersistent* Instance) {
  EnsureStandardClasses();
  if (!Instance) return nullptr;
  Registry& r = Reg();
  auto it = r.ByType.find(std::type_index(typeid(*Instance)));
  if (it != r.ByType.end()) return it->second;
  const TClassInfo* best = nullptr;
  int bestDepth = -1;
  for (auto& [type, info] : r.ByType) {
    if (!info->IsInstance || !info->IsInstance(Instance)) continue;
    int d = Depth(info);
    if (d > bestDepth) {
      best = info;
      bestDepth = d;
    }
  }
  return best;
}

const TClassInfo* TClassInfo::Parent() const {
  if (!ParentType) return nullptr;
  auto& m = Reg().ByType;
  auto it = m.find(*ParentType);
  return it == m.end() ? nullptr : it->second;
}

const TPropertyInfo* TClassInfo::FindProperty(std::string_view PropName) const {
  int guard = 0;
  for (const TClassInfo* c = this; c && guard < 1000; c = c->Parent(), ++guard)
    for (const TPropertyInfo& p : c->Properties)
      if (SameText(p.Name, PropName)) return &p;
  return nullptr;
}

const std::function<void(TComponent*, TComponent*)>* TClassInfo::FindPlaceInside() const {
  int guard = 0;
  for (const TClassInfo* c = this; c && guard < 1000; c = c->Parent(), ++guard)
    if (c->PlaceInside) return &c->PlaceInside;
  return nullptr;
}

const std::function<void(TComponent*)>* TClassInfo::FindAfterRead() const {
  int guard = 0;
  for (const TClassInfo* c = this; c && guard < 1000; c = c->Parent(), ++guard)
    if (c->AfterRead) return &c->AfterRead;
  return nullptr;
}

// ---- Values ------------------------------------------------------------------------------------

int32_t FormValueToInt32(const TFormValue& V, const TIdentMap* Idents) {
  if (V.Kind == TFormValueKind::Integer) {
    // $xxxxxxxx is taken as 32-bit two's complement (colours such as $FF00000F); a decimal
    // number must fit as it is.
    if (V.Hex && V.Int >= 0 && V.Int <= 0xFFFFFFFFLL) return static_cast<int32_t>(static_cast<uint32_t>(V.Int));
    if (V.Int < INT32_MIN || V.Int > INT32_MAX) throw EFormValueError("integer out of range: " + std::to_string(V.Int));
    return static_cast<int32_t>(V.Int);
  }
  if (V.Kind == TFormValueKind::Ident && Idents) {
    for (auto& [name, value] : *Idents)
      if (SameText(name, V.Text)) return static_cast<int32_t>(value);
    throw EFormValueError("unknown value \"" + V.Text + "\"");
  }
  Wrong("an integer", V);
}

double FormValueToFloat(const TFormValue& V) {
  if (V.Kind == TFormValueKind::Float) return V.Float;
  if (V.Kind == TFormValueKind::Integer) return static_cast<double>(V.Int);
  Wrong("a number", V);
}

bool FormValueToBool(const TFormValue& V) {
  if (V.Kind == TFormValueKind::Ident) {
    if (SameText(V.Text, "True")) return true;
    if (SameText(V.Text, "False")) return false;
    throw EFormValueError("True or False expected but \"" + V.Text + "\" found");
  }
  Wrong("True or False", V);
}

std::string FormValueToString(const TFormValue& V) {
  if (V.Kind == TFormValueKind::String) return V.Text;
  Wrong("a string", V);
}

int64_t FormValueToEnum(const TFormValue& V, const TIdentMap& Idents) {
  if (V.Kind != TFormValueKind::Ident) Wrong("a name", V);
  for (auto& [name, value] : Idents)
    if (SameText(name, V.Text)) return value;
  throw EFormValueError("\"" + V.Text + "\" is not one of " + IdentList(Idents));
}

uint64_t FormValueToSetBits(const TFormValue& V, const TIdentMap& Idents) {
  if (V.Kind != TFormValueKind::Set) Wrong("a set [ ... ]", V);
  uint64_t bits = 0;
  for (const std::string& n : V.Names) {
    bool found = false;
    for (auto& [name, value] : Idents) {
      if (!SameText(name, n)) continue;
      if (value < 0 || value > 63) throw EFormValueError("set member \"" + n + "\" out of range");
      bits |= uint64_t{1} << value;
      found = true;
      break;
    }
    if (!found) throw EFormValueError("\"" + n + "\" is not one of " + IdentList(Idents));
  }
  return bits;
}

std::string FormValueToName(const TFormValue& V) {
  if (V.Kind != TFormValueKind::Ident) Wrong("a name", V);
  if (SameText(V.Text, "nil")) return "nil";
  return V.Text;
}

void ReadFormStrings(TStrings* S, const TFormValue& V) {
  if (!S) throw EFormValueError("the string list does not exist");
  if (V.Kind != TFormValueKind::List) Wrong("a list of strings ( ... )", V);
  for (const TFormValue& e : V.List)
    if (e.Kind != TFormValueKind::String) throw EFormValueError(std::string("a list of strings holds ") + KindName(e.Kind));
  S->Clear();
  for (const TFormValue& e : V.List) S->Add(e.Text);
}

void ReadFormCollection(TCollection* C, const TFormValue& V, TFormReadContext& Ctx) {
  if (!C) throw EFormValueError("the collection does not exist");
  if (V.Kind != TFormValueKind::Collection) Wrong("a collection < ... >", V);
  C->BeginUpdate();
  try {
    for (int i = 0; i < C->Count(); ++i) Ctx.ForgetReferences(C->Items(i));
    C->Clear();
    for (const TFormItem& item : V.Items) Ctx.ReadProperties(C->Add(), item.Properties);
  } catch (...) {
    C->EndUpdate();
    throw;
  }
  C->EndUpdate();
}

// ---- Handler table -----------------------------------------------------------------------------

const std::any* THandlerTable::FindAny(const std::string& Name) const {
  for (const Handler& h : FHandlers)
    if (SameText(h.Name, Name)) return &h.Fn;
  return nullptr;
}

bool THandlerTable::BindField(const std::string& Name, TComponent* C) const {
  for (const FieldSlot& f : FFields)
    if (SameText(f.Name, Name)) return f.Set(C);
  return true;
}

void THandlerTable::ClearFields() const {
  for (const FieldSlot& f : FFields) f.Set(nullptr);
}

// ---- The out-of-line halves of the property readers --------------------------------------------
namespace streaming_detail {

TClassInfo* AddClass(std::string_view Name, std::type_index Type, std::optional<std::type_index> ParentType,
                     TComponent* (*Create)(TComponent*), bool (*IsInstance)(TPersistent*)) {
  auto info = std::make_unique<TClassInfo>();
  info->Name = std::string(Name);
  info->Type = Type;
  info->ParentType = ParentType;
  info->Create = Create;
  info->IsInstance = IsInstance;
  return AddFormClass(std::move(info));
}

TPropertyInfo& AddProperty(TClassInfo* Info, std::string_view Name, TPropertyInfo::TReadFn Read,
                           TPropertyInfo::TGetObjectFn GetObject, const void* Accessor, size_t AccessorSize) {
  TPropertyInfo& p = Info->Properties.emplace_back();
  p.Name = std::string(Name);
  p.Read = Read;
  p.GetObject = GetObject;
  std::memcpy(p.Accessor, Accessor, std::min(AccessorSize, sizeof p.Accessor));
  return p;
}

void SetIdents(TPropertyInfo& Info, const TIdentMap& Idents) { Info.Idents = Idents; }

void SetIdents(TPropertyInfo& Info, std::initializer_list<std::pair<const char*, int64_t>> Idents) {
  Info.Idents.reserve(Idents.size());
  for (auto& [n, v] : Idents) Info.Idents.emplace_back(n, v);
}

int32_t PropertyInt32(const TPropertyInfo& Info, const TFormValue& V) {
  int32_t n = FormValueToInt32(V, Info.Idents.empty() ? nullptr : &Info.Idents);
  if (n < Info.Minimum)
    throw EFormValueError("value " + std::to_string(n) + " is below the least allowed, " + std::to_string(Info.Minimum));
  return n;
}

const THandlerTable* EventHandlerTable(const TFormValue& V, TFormReadContext& Ctx, std::string& Handler) {
  Handler = FormValueToName(V);
  if (Handler == "nil") return nullptr;
  if (Handler.find('.') != std::string::npos) throw EFormValueError("a handler name has no dots: " + Handler);
  const THandlerTable* table = Ctx.Handlers();
  if (!table) throw EFormValueError("the form offers no handlers (looking for \"" + Handler + "\")");
  return table;
}

void ReadReference(const TPropertyInfo& Info, TPersistent* Instance, const TFormValue& V, TFormReadContext& Ctx,
                   TAssignReferenceFn Assign) {
  std::string target = FormValueToName(V);
  if (target == "nil") {
    Assign(Info, Instance, nullptr);
    return;
  }
  // Registrations are never freed (see Registry), so the property outlives the reference.
  const TPropertyInfo* info = &Info;
  Ctx.AddReference(Instance, target, [info, Instance, Assign](TComponent* c) {
    return c && Assign(*info, Instance, c);
  });
}

void ReadBinary(const TPropertyInfo& Info, TPersistent* Instance, const TFormValue& V, TReadStreamFn Reader) {
  if (V.Kind != TFormValueKind::Binary) throw EFormValueError("binary data { ... } expected");
  TMemoryStream s;
  if (!V.Text.empty()) s.WriteBuffer(V.Text.data(), static_cast<int64_t>(V.Text.size()));
  s.SetPosition(0);
  Reader(Info, Instance, s);
}

}  // namespace streaming_detail
