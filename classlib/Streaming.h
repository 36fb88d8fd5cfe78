#pragma once
// Form streaming: text form descriptions read into components.
//
//   object Form1: TForm1
//     Caption = 'Main'#13#10'window'
//     Font.Name = 'Arial'
//     OnCreate = FormCreate
//     object Button1: TButton
//       Left = 10
//       OnClick = Button1Click
//       Images = ImageList1
//     end
//   end
//
// A class makes itself readable by registering its name, its parent class and its published
// properties and events (RegisterFormClass below). A form reads its description with
// ReadFormDescription, handing over a THandlerTable that maps handler names to functions (or
// implementing IFormBindings so the reader can ask it for one). The reader creates every
// nested component owned by the root, sets the properties, binds the events, resolves the
// references once the whole form is read, then calls Loaded on every component in creation
// order. Last, a root whose class registered an AfterRead step runs it: forms run OnCreate
// there, so the caller must not run it again. A description that cannot be read raises
// EFormError and leaves no component it created behind.
#include <any>
#include <array>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <utility>
#include <vector>

#include "base/Component.h"
#include "base/Exception.h"
#include "base/Set.h"
#include "base/Stream.h"
#include "base/StringList.h"

// A form description that cannot be read. Message: "<file>:<line>: <property>: <problem>"
// (without the property part when the fault is not in one).
class EFormError : public EReadError {
public:
  EFormError(std::string fileName, int line, std::string property, std::string problem);
  std::string FileName;
  int Line;
  std::string Property;
  std::string Problem;
};

// Raised by value conversions and setters; the reader adds the file, line and property.
OMBREL_EXCEPTION(EFormValueError, Exception)

// ---- The parsed description --------------------------------------------------------------------
enum class TFormValueKind { Integer, Float, String, Ident, Set, List, Collection, Binary };

struct TFormItem;

struct TFormValue {
  TFormValueKind Kind = TFormValueKind::Integer;
  int Line = 0;
  int64_t Int = 0;
  bool Hex = false;  // an integer written as $xx
  double Float = 0;
  std::string Text;                // String (UTF-8), Ident (possibly dotted), Binary (the bytes)
  std::vector<std::string> Names;  // Set
  std::vector<TFormValue> List;    // List
  std::vector<TFormItem> Items;    // Collection
};

struct TFormProperty {
  std::string Name;  // possibly dotted: "Font.Name"
  int Line = 0;
  TFormValue Value;
};

struct TFormItem {
  int Line = 0;
  std::vector<TFormProperty> Properties;
};

enum class TFormObjectKind { Object, Inherited, Inline };

struct TFormObject {
  TFormObjectKind Kind = TFormObjectKind::Object;
  std::string Name;  // may be empty
  std::string ClassName;
  int Line = 0;
  std::vector<TFormProperty> Properties;
  std::vector<TFormObject> Children;
};

// Parses a whole description (UTF-8, an optional byte-order mark). Raises EFormError with the
// line of the fault.
TFormObject ParseFormDescription(std::string_view Text, const std::string& FileName);

// ---- Handler table -----------------------------------------------------------------------------
// The handlers a form offers to its description, by name (compared case-insensitively), and the
// form's fields that should point at the components of those names once they are created.
class THandlerTable {
public:
  // Handler is a std::function of the event's type: Add<TNotifyEvent>("Button1Click", lambda).
  template <typename TEvent>
  void Add(const std::string& Name, TEvent Handler) {
    FHandlers.push_back({Name, std::any(std::move(Handler))});
  }
  // A method of the form: Add("Button1Click", this, &TForm1::Button1Click).
  template <typename C, typename R, typename... A>
  void Add(const std::string& Name, C* Object, R (C::*Method)(A...)) {
    Add<std::function<R(A...)>>(Name, [Object, Method](A... args) -> R { return (Object->*Method)(args...); });
  }
  // Slot is set to the component named Name when the reader creates it (and back to nullptr if
  // the read fails); a component of another class is an error.
  template <typename T>
  void Field(const std::string& Name, T*& Slot) {
    T** p = &Slot;
    FFields.push_back({Name, [p](TComponent* c) {
                         if (!c) {
                           *p = nullptr;
                           return true;
                         }
                         T* t = dynamic_cast<T*>(c);
                         if (!t) return false;
                         *p = t;
                         return true;
                       }});
  }

  // Looks a handler up; answers an empty string, or the reason it is unusable.
  template <typename TEvent>
  std::string Find(const std::string& Name, TEvent& Out) const {
    const std::any* a = FindAny(Name);
    if (!a) return "no handler named \"" + Name + "\"";
    if (const TEvent* h = std::any_cast<TEvent>(a)) {
      Out = *h;
      return {};
    }
    return "handler \"" + Name + "\" does not fit the event";
  }
  const std::any* FindAny(const std::string& Name) const;
  // Binds the field named Name (if any) to C; false when the field's class does not fit.
  bool BindField(const std::string& Name, TComponent* C) const;
  void ClearFields() const;

private:
  struct Handler {
    std::string Name;
    std::any Fn;
  };
  struct FieldSlot {
    std::string Name;
    std::function<bool(TComponent*)> Set;
  };
  std::vector<Handler> FHandlers;
  std::vector<FieldSlot> FFields;
};

// A root component that supplies its own handler table.
class IFormBindings {
public:
  virtual ~IFormBindings() = default;
  virtual void DeclareBindings(THandlerTable& Table) = 0;
};

// ---- Reading context (used by property readers) ------------------------------------------------
class TFormReadContext {
public:
  virtual ~TFormReadContext() = default;
  // The form's handler table, or nullptr when the form gave none.
  virtual const THandlerTable* Handlers() const = 0;
  // Defers a reference until the whole form is read. Assign answers false when the component
  // found is of the wrong class. Holder is the object whose property it is.
  virtual void AddReference(TPersistent* Holder, const std::string& Target,
                            std::function<bool(TComponent*)> Assign) = 0;
  // Sets Properties on Instance (a collection item, a sub-object).
  virtual void ReadProperties(TPersistent* Instance, const std::vector<TFormProperty>& Properties) = 0;
  // Drops the deferred references of an object about to be freed (a collection item replaced
  // by a later value of the same property).
  virtual void ForgetReferences(TPersistent* Holder) = 0;
};

// ---- Class registry ----------------------------------------------------------------------------
using TIdentMap = std::vector<std::pair<std::string, int64_t>>;

// A published property. Registrations are data: each property holds plain function pointers
// (one small reader per kind of property and per setter type, shared by every property of that
// kind and type) and the setter or getter itself as bytes, so registering a property costs one
// call and no code of its own.
struct TPropertyInfo {
  using TReadFn = void (*)(const TPropertyInfo& Info, TPersistent* Instance, const TFormValue& Value,
                           TFormReadContext& Ctx);
  using TGetObjectFn = TPersistent* (*)(const TPropertyInfo& Info, TPersistent* Instance);
  static constexpr size_t AccessorSize = 16;  // a pointer to a member function, the largest accessor

  std::string Name;
  // Sets the property from a value; nullptr for a property that only leads to a sub-object.
  TReadFn Read = nullptr;
  // The sub-object that dotted names continue in (Font in Font.Name); may be nullptr.
  TGetObjectFn GetObject = nullptr;
  // The names an integer, enumeration or set property takes.
  TIdentMap Idents;
  // The least value an integer property takes (the setters would quietly clamp anything less,
  // which hides a broken description).
  int32_t Minimum = INT32_MIN;
  // The setter, getter, field or reader function the Read and GetObject functions call:
  // a trivially copyable value of the type they were made for.
  alignas(void*) unsigned char Accessor[AccessorSize] = {};
};

class TClassInfo {
public:
  std::string Name;
  std::type_index Type = typeid(void);
  std::optional<std::type_index> ParentType;
  TComponent* (*Create)(TComponent* Owner) = nullptr;  // nullptr: not creatable from a form
  bool (*IsInstance)(TPersistent*) = nullptr;
  // Places a created component inside the component its block is nested in (controls).
  std::function<void(TComponent* Child, TComponent* Container)> PlaceInside;
  // Run on the root once the form is completely read and loaded (a form's OnCreate).
  std::function<void(TComponent* Root)> AfterRead;
  std::vector<TPropertyInfo> Properties;

  const TClassInfo* Parent() const;
  // This class's property or its nearest ancestor's (case-insensitive), or nullptr.
  const TPropertyInfo* FindProperty(std::string_view PropName) const;
  // The nearest PlaceInside along the ancestry.
  const std::function<void(TComponent*, TComponent*)>* FindPlaceInside() const;
  // The nearest AfterRead along the ancestry.
  const std::function<void(TComponent*)>* FindAfterRead() const;
};

// Registers a class (replacing an earlier registration of the same name) and answers it.
TClassInfo* AddFormClass(std::unique_ptr<TClassInfo> Info);
// The class registered under Name (case-insensitive), or nullptr.
const TClassInfo* FindFormClass(const std::string& Name);
// The registered class nearest to Instance's own class, or nullptr.
const TClassInfo* FindFormClassOf(TPersistent* Instance);

// Value conversions shared by the property kinds; they raise EFormValueError.
int32_t FormValueToInt32(const TFormValue& V, const TIdentMap* Idents = nullptr);
double FormValueToFloat(const TFormValue& V);
bool FormValueToBool(const TFormValue& V);
std::string FormValueToString(const TFormValue& V);
int64_t FormValueToEnum(const TFormValue& V, const TIdentMap& Idents);
uint64_t FormValueToSetBits(const TFormValue& V, const TIdentMap& Idents);
// The value as a name (Ident), "nil" for none.
std::string FormValueToName(const TFormValue& V);
// Replaces the lines of S with a list of strings.
void ReadFormStrings(TStrings* S, const TFormValue& V);
// Replaces the items of C with the items of a collection value.
void ReadFormCollection(TCollection* C, const TFormValue& V, TFormReadContext& Ctx);

namespace streaming_detail {
// The out-of-line halves of the property readers: everything that does not depend on the
// class or the setter's type.
TPropertyInfo& AddProperty(TClassInfo* Info, std::string_view Name, TPropertyInfo::TReadFn Read,
                           TPropertyInfo::TGetObjectFn GetObject, const void* Accessor, size_t AccessorSize);
void SetIdents(TPropertyInfo& Info, const TIdentMap& Idents);
void SetIdents(TPropertyInfo& Info, std::initializer_list<std::pair<const char*, int64_t>> Idents);
// One per enumeration type, kept out of the registering functions.
template <typename E>
[[gnu::noinline]] void SetIdents(TPropertyInfo& Info, std::initializer_list<std::pair<const char*, E>> Idents) {
  Info.Idents.reserve(Idents.size());
  for (auto& [n, e] : Idents) Info.Idents.emplace_back(n, static_cast<int64_t>(e));
}
int32_t PropertyInt32(const TPropertyInfo& Info, const TFormValue& V);
// The handler table to look Handler up in, or nullptr for "nil"; raises for a name that cannot
// be a handler or a form without handlers.
const THandlerTable* EventHandlerTable(const TFormValue& V, TFormReadContext& Ctx, std::string& Handler);
using TAssignReferenceFn = bool (*)(const TPropertyInfo& Info, TPersistent* Instance, TComponent* Target);
void ReadReference(const TPropertyInfo& Info, TPersistent* Instance, const TFormValue& V, TFormReadContext& Ctx,
                   TAssignReferenceFn Assign);
using TReadStreamFn = void (*)(const TPropertyInfo& Info, TPersistent* Instance, TStream& Data);
void ReadBinary(const TPropertyInfo& Info, TPersistent* Instance, const TFormValue& V, TReadStreamFn Reader);

template <typename F>
F Accessor(const TPropertyInfo& Info) {
  std::array<unsigned char, sizeof(F)> bytes;
  std::memcpy(bytes.data(), Info.Accessor, sizeof(F));
  return std::bit_cast<F>(bytes);
}
template <typename T, typename F, typename V>
void Assign(const TPropertyInfo& Info, TPersistent* Instance, V&& Value) {
  F f = Accessor<F>(Info);
  if constexpr (std::is_member_object_pointer_v<F>)
    static_cast<T*>(Instance)->*f = std::forward<V>(Value);
  else
    std::invoke(f, static_cast<T*>(Instance), std::forward<V>(Value));
}
template <typename T, typename F>
decltype(auto) Get(const TPropertyInfo& Info, TPersistent* Instance) {
  return std::invoke(Accessor<F>(Info), static_cast<T*>(Instance));
}

template <typename T, typename F>
void ReadInteger(const TPropertyInfo& I, TPersistent* O, const TFormValue& V, TFormReadContext&) {
  Assign<T, F>(I, O, PropertyInt32(I, V));
}
template <typename T, typename F>
void ReadFloat(const TPropertyInfo& I, TPersistent* O, const TFormValue& V, TFormReadContext&) {
  Assign<T, F>(I, O, FormValueToFloat(V));
}
template <typename T, typename F>
void ReadBoolean(const TPropertyInfo& I, TPersistent* O, const TFormValue& V, TFormReadContext&) {
  Assign<T, F>(I, O, FormValueToBool(V));
}
template <typename T, typename F>
void ReadString(const TPropertyInfo& I, TPersistent* O, const TFormValue& V, TFormReadContext&) {
  Assign<T, F>(I, O, FormValueToString(V));
}
template <typename T, typename F, typename E>
void ReadEnum(const TPropertyInfo& I, TPersistent* O, const TFormValue& V, TFormReadContext&) {
  Assign<T, F>(I, O, static_cast<E>(FormValueToEnum(V, I.Idents)));
}
template <typename T, typename F, typename E>
void ReadSet(const TPropertyInfo& I, TPersistent* O, const TFormValue& V, TFormReadContext&) {
  Assign<T, F>(I, O, TSet<E>::FromBits(FormValueToSetBits(V, I.Idents)));
}
template <typename T, typename G>
void ReadStrings(const TPropertyInfo& I, TPersistent* O, const TFormValue& V, TFormReadContext&) {
  ReadFormStrings(Get<T, G>(I, O), V);
}
template <typename T, typename G>
void ReadCollection(const TPropertyInfo& I, TPersistent* O, const TFormValue& V, TFormReadContext& Ctx) {
  ReadFormCollection(Get<T, G>(I, O), V, Ctx);
}
template <typename T, typename G>
TPersistent* GetObject(const TPropertyInfo& I, TPersistent* O) {
  return Get<T, G>(I, O);
}
template <typename T, typename R, typename F>
bool AssignReference(const TPropertyInfo& I, TPersistent* O, TComponent* Target) {
  R* r = nullptr;
  if (Target && !(r = dynamic_cast<R*>(Target))) return false;
  Assign<T, F>(I, O, r);
  return true;
}
template <typename T, typename R, typename F>
void ReadReferenceOf(const TPropertyInfo& I, TPersistent* O, const TFormValue& V, TFormReadContext& Ctx) {
  ReadReference(I, O, V, Ctx, &AssignReference<T, R, F>);
}
template <typename T, typename TEvent, typename F>
void ReadEvent(const TPropertyInfo& I, TPersistent* O, const TFormValue& V, TFormReadContext& Ctx) {
  std::string handler;
  TEvent fn;
  if (const THandlerTable* table = EventHandlerTable(V, Ctx, handler)) {
    std::string problem = table->Find(handler, fn);
    if (!problem.empty()) throw EFormValueError(problem);
  }
  Assign<T, F>(I, O, std::move(fn));
}
template <typename T, typename F>
void ReadStream(const TPropertyInfo& I, TPersistent* O, TStream& Data) {
  std::invoke(Accessor<F>(I), static_cast<T*>(O), Data);
}
template <typename T, typename F>
void ReadBinaryOf(const TPropertyInfo& I, TPersistent* O, const TFormValue& V, TFormReadContext&) {
  ReadBinary(I, O, V, &ReadStream<T, F>);
}
template <typename T, typename F>
void ReadCustom(const TPropertyInfo& I, TPersistent* O, const TFormValue& V, TFormReadContext& Ctx) {
  std::invoke(Accessor<F>(I), static_cast<T*>(O), V, Ctx);
}
}  // namespace streaming_detail

// The builder RegisterFormClass answers: one call per published property. Setters and getters
// are member functions, pointers to public fields, plain functions or lambdas without captures.
template <typename T>
class TFormClassBuilder {
public:
  explicit TFormClassBuilder(TClassInfo* Info) : FInfo(Info) {}

  // Setter: a member function, a lambda (T*, value), or a pointer to a public field. Idents:
  // names the value may be given by; Minimum: the least value taken.
  template <typename F>
  TFormClassBuilder& Integer(std::string_view Name, F Setter) {
    Add(Name, &streaming_detail::ReadInteger<T, F>, nullptr, Setter);
    return *this;
  }
  template <typename F>
  TFormClassBuilder& Integer(std::string_view Name, F Setter, const TIdentMap& Idents) {
    streaming_detail::SetIdents(Add(Name, &streaming_detail::ReadInteger<T, F>, nullptr, Setter), Idents);
    return *this;
  }
  template <typename F>
  TFormClassBuilder& Integer(std::string_view Name, F Setter,
                             std::initializer_list<std::pair<const char*, int64_t>> Idents) {
    streaming_detail::SetIdents(Add(Name, &streaming_detail::ReadInteger<T, F>, nullptr, Setter), Idents);
    return *this;
  }
  template <typename F>
  TFormClassBuilder& IntegerAtLeast(std::string_view Name, F Setter, int32_t Minimum) {
    Add(Name, &streaming_detail::ReadInteger<T, F>, nullptr, Setter).Minimum = Minimum;
    return *this;
  }
  template <typename F>
  TFormClassBuilder& Float(std::string_view Name, F Setter) {
    Add(Name, &streaming_detail::ReadFloat<T, F>, nullptr, Setter);
    return *this;
  }
  template <typename F>
  TFormClassBuilder& Boolean(std::string_view Name, F Setter) {
    Add(Name, &streaming_detail::ReadBoolean<T, F>, nullptr, Setter);
    return *this;
  }
  template <typename F>
  TFormClassBuilder& String(std::string_view Name, F Setter) {
    Add(Name, &streaming_detail::ReadString<T, F>, nullptr, Setter);
    return *this;
  }
  template <typename E, typename F>
  TFormClassBuilder& Enum(std::string_view Name, F Setter, std::initializer_list<std::pair<const char*, E>> Values) {
    streaming_detail::SetIdents(Add(Name, &streaming_detail::ReadEnum<T, F, E>, nullptr, Setter), Values);
    return *this;
  }
  template <typename E, typename F>
  TFormClassBuilder& Set(std::string_view Name, F Setter, std::initializer_list<std::pair<const char*, E>> Values) {
    streaming_detail::SetIdents(Add(Name, &streaming_detail::ReadSet<T, F, E>, nullptr, Setter), Values);
    return *this;
  }
  // A TStrings property: "Items = ( 'a' 'b' )" or "Items.Strings = ( ... )".
  template <typename G>
  TFormClassBuilder& Strings(std::string_view Name, G Getter) {
    Add(Name, &streaming_detail::ReadStrings<T, G>, &streaming_detail::GetObject<T, G>, Getter);
    return *this;
  }
  // A sub-object reached by dotted names: "Font.Name = 'Arial'".
  template <typename G>
  TFormClassBuilder& Object(std::string_view Name, G Getter) {
    Add(Name, nullptr, &streaming_detail::GetObject<T, G>, Getter);
    return *this;
  }
  // A collection: "Columns = < item ... end item ... end >" replaces the items.
  template <typename G>
  TFormClassBuilder& Collection(std::string_view Name, G Getter) {
    Add(Name, &streaming_detail::ReadCollection<T, G>, nullptr, Getter);
    return *this;
  }
  // A reference to another component, fixed up after the whole form is read ("nil" clears it).
  template <typename R, typename F>
  TFormClassBuilder& Reference(std::string_view Name, F Setter) {
    Add(Name, &streaming_detail::ReadReferenceOf<T, R, F>, nullptr, Setter);
    return *this;
  }
  // An event bound to a handler of the form's handler table by name.
  template <typename TEvent, typename F>
  TFormClassBuilder& Event(std::string_view Name, F Setter) {
    Add(Name, &streaming_detail::ReadEvent<T, TEvent, F>, nullptr, Setter);
    return *this;
  }
  // Binary data, as DefineBinaryProperty streams it: "Data = { 0A1B... }". Reader(T*, TStream&)
  // gets the bytes in a stream positioned at 0.
  template <typename F>
  TFormClassBuilder& Binary(std::string_view Name, F Reader) {
    Add(Name, &streaming_detail::ReadBinaryOf<T, F>, nullptr, Reader);
    return *this;
  }
  // Any other defined property: Reader(T*, const TFormValue&, TFormReadContext&).
  template <typename F>
  TFormClassBuilder& Custom(std::string_view Name, F Reader) {
    Add(Name, &streaming_detail::ReadCustom<T, F>, nullptr, Reader);
    return *this;
  }
  // What the reader does last with a root of this class, after every Loaded (OnCreate).
  template <typename F>
  TFormClassBuilder& AfterRead(F Fn) {
    FInfo->AfterRead = [Fn](TComponent* root) mutable { std::invoke(Fn, static_cast<T*>(root)); };
    return *this;
  }
  // How a created instance is placed in the component its block is nested in.
  template <typename F>
  TFormClassBuilder& PlaceInside(F Fn) {
    FInfo->PlaceInside = [Fn](TComponent* child, TComponent* container) mutable {
      std::invoke(Fn, static_cast<T*>(child), container);
    };
    return *this;
  }

private:
  template <typename F>
  TPropertyInfo& Add(std::string_view Name, TPropertyInfo::TReadFn Read, TPropertyInfo::TGetObjectFn GetObject,
                     const F& Accessor) {
    static_assert(std::is_trivially_copyable_v<F> && sizeof(F) <= TPropertyInfo::AccessorSize,
                  "a setter or getter is a member pointer, a function or a lambda without captures");
    return streaming_detail::AddProperty(FInfo, Name, Read, GetObject, &Accessor, sizeof(F));
  }
  TClassInfo* FInfo;
};

namespace streaming_detail {
TClassInfo* AddClass(std::string_view Name, std::type_index Type, std::optional<std::type_index> ParentType,
                     TComponent* (*Create)(TComponent*), bool (*IsInstance)(TPersistent*));
template <typename T>
TComponent* CreateInstance(TComponent* Owner) {
  return new T(Owner);
}
template <typename T>
bool IsInstanceOf(TPersistent* P) {
  return dynamic_cast<T*>(P) != nullptr;
}
}  // namespace streaming_detail

// Registers class T under Name, with TParent (void for none) as the class whose properties it
// inherits. A component class that can be made with T(TComponent* Owner) can be created by
// the reader. Every static_cast the property readers do relies on T being the registered type.
template <typename T, typename TParent = void>
TFormClassBuilder<T> RegisterFormClass(std::string_view Name) {
  static_assert(std::is_base_of_v<TPersistent, T>, "registered classes are persistent");
  std::optional<std::type_index> parent;
  if constexpr (!std::is_void_v<TParent>) {
    static_assert(std::is_base_of_v<TParent, T>, "the parent must be a base class");
    parent = std::type_index(typeid(TParent));
  }
  TComponent* (*create)(TComponent*) = nullptr;
  if constexpr (std::is_base_of_v<TComponent, T> && std::is_constructible_v<T, TComponent*>)
    create = &streaming_detail::CreateInstance<T>;
  return TFormClassBuilder<T>(
      streaming_detail::AddClass(Name, typeid(T), parent, create, &streaming_detail::IsInstanceOf<T>));
}

// ---- Reading forms -----------------------------------------------------------------------------
// Reads a description into Root, an existing component of the described class (or of a class
// it derives from). Root takes the description's name when it has none. The nested components
// are created owned by Root. Handlers: the form's handler table; nullptr asks Root through
// IFormBindings. On success Root is known by name for references from other forms, and then
// its class's AfterRead step runs (a form's OnCreate); an exception from that step reaches the
// caller with the form complete.
void ReadFormDescription(TComponent* Root, std::string_view Text, const std::string& FileName,
                         const THandlerTable* Handlers = nullptr);
// The same from a file.
void ReadFormFile(TComponent* Root, const std::string& Path, const THandlerTable* Handlers = nullptr);

// Forms known by name: references of the form "Form2.ImageList1" to a form that does not exist
// yet are kept and fixed up when a form of that name is registered. A form leaves the list
// when it is freed.
void RegisterFormInstance(TComponent* Form);
TComponent* FindFormInstance(const std::string& Name);
// References still waiting for their form (for tests and diagnostics).
int PendingFormReferenceCount();
