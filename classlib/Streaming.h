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
#include <cstdint>
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

struct TPropertyInfo {
  std::string Name;
  // Sets the property from a value; nullptr for a property that only leads to a sub-object.
  std::function<void(TPersistent*, const TFormValue&, TFormReadContext&)> Read;
  // The sub-object that dotted names continue in (Font in Font.Name); may be nullptr.
  std::function<TPersistent*(TPersistent*)> GetObject;
};

class TClassInfo {
public:
  std::string Name;
  std::type_index Type = typeid(void);
  std::optional<std::type_index> ParentType;
  std::function<TComponent*(TComponent* Owner)> Create;  // nullptr: not creatable from a form
  std::function<bool(TPersistent*)> IsInstance;
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
template <typename T, typename F, typename V>
void Assign(F& f, T* obj, V&& v) {
  if constexpr (std::is_member_object_pointer_v<F>)
    obj->*f = std::forward<V>(v);
  else
    std::invoke(f, obj, std::forward<V>(v));
}
template <typename E>
TIdentMap ToIdentMap(std::initializer_list<std::pair<const char*, E>> l) {
  TIdentMap m;
  for (auto& [n, e] : l) m.emplace_back(n, static_cast<int64_t>(e));
  return m;
}
}  // namespace streaming_detail

// The builder RegisterFormClass answers: one call per published property.
template <typename T>
class TFormClassBuilder {
public:
  explicit TFormClassBuilder(TClassInfo* Info) : FInfo(Info) {}

  // Setter: a member function, a lambda (T*, value), or a pointer to a public field.
  template <typename F>
  TFormClassBuilder& Integer(const std::string& Name, F Setter, TIdentMap Idents = {}) {
    return Prop(Name, [Setter, Idents](T* o, const TFormValue& v, TFormReadContext&) mutable {
      streaming_detail::Assign(Setter, o, FormValueToInt32(v, Idents.empty() ? nullptr : &Idents));
    });
  }
  template <typename F>
  TFormClassBuilder& Float(const std::string& Name, F Setter) {
    return Prop(Name, [Setter](T* o, const TFormValue& v, TFormReadContext&) mutable {
      streaming_detail::Assign(Setter, o, FormValueToFloat(v));
    });
  }
  template <typename F>
  TFormClassBuilder& Boolean(const std::string& Name, F Setter) {
    return Prop(Name, [Setter](T* o, const TFormValue& v, TFormReadContext&) mutable {
      streaming_detail::Assign(Setter, o, FormValueToBool(v));
    });
  }
  template <typename F>
  TFormClassBuilder& String(const std::string& Name, F Setter) {
    return Prop(Name, [Setter](T* o, const TFormValue& v, TFormReadContext&) mutable {
      streaming_detail::Assign(Setter, o, FormValueToString(v));
    });
  }
  template <typename E, typename F>
  TFormClassBuilder& Enum(const std::string& Name, F Setter, std::initializer_list<std::pair<const char*, E>> Values) {
    TIdentMap m = streaming_detail::ToIdentMap(Values);
    return Prop(Name, [Setter, m](T* o, const TFormValue& v, TFormReadContext&) mutable {
      streaming_detail::Assign(Setter, o, static_cast<E>(FormValueToEnum(v, m)));
    });
  }
  template <typename E, typename F>
  TFormClassBuilder& Set(const std::string& Name, F Setter, std::initializer_list<std::pair<const char*, E>> Values) {
    TIdentMap m = streaming_detail::ToIdentMap(Values);
    return Prop(Name, [Setter, m](T* o, const TFormValue& v, TFormReadContext&) mutable {
      streaming_detail::Assign(Setter, o, TSet<E>::FromBits(FormValueToSetBits(v, m)));
    });
  }
  // A TStrings property: "Items = ( 'a' 'b' )" or "Items.Strings = ( ... )".
  template <typename G>
  TFormClassBuilder& Strings(const std::string& Name, G Getter) {
    TPropertyInfo p;
    p.Name = Name;
    p.Read = [Getter](TPersistent* o, const TFormValue& v, TFormReadContext&) mutable {
      ReadFormStrings(std::invoke(Getter, static_cast<T*>(o)), v);
    };
    p.GetObject = [Getter](TPersistent* o) mutable -> TPersistent* { return std::invoke(Getter, static_cast<T*>(o)); };
    FInfo->Properties.push_back(std::move(p));
    return *this;
  }
  // A sub-object reached by dotted names: "Font.Name = 'Arial'".
  template <typename G>
  TFormClassBuilder& Object(const std::string& Name, G Getter) {
    TPropertyInfo p;
    p.Name = Name;
    p.GetObject = [Getter](TPersistent* o) mutable -> TPersistent* { return std::invoke(Getter, static_cast<T*>(o)); };
    FInfo->Properties.push_back(std::move(p));
    return *this;
  }
  // A collection: "Columns = < item ... end item ... end >" replaces the items.
  template <typename G>
  TFormClassBuilder& Collection(const std::string& Name, G Getter) {
    return Prop(Name, [Getter](T* o, const TFormValue& v, TFormReadContext& ctx) mutable {
      ReadFormCollection(std::invoke(Getter, o), v, ctx);
    });
  }
  // A reference to another component, fixed up after the whole form is read ("nil" clears it).
  template <typename R, typename F>
  TFormClassBuilder& Reference(const std::string& Name, F Setter) {
    return Prop(Name, [Setter](T* o, const TFormValue& v, TFormReadContext& ctx) {
      std::string target = FormValueToName(v);
      if (target == "nil") {
        F s = Setter;
        streaming_detail::Assign(s, o, static_cast<R*>(nullptr));
        return;
      }
      ctx.AddReference(o, target, [Setter, o](TComponent* c) mutable {
        R* r = dynamic_cast<R*>(c);
        if (!r) return false;
        streaming_detail::Assign(Setter, o, r);
        return true;
      });
    });
  }
  // An event bound to a handler of the form's handler table by name.
  template <typename TEvent, typename F>
  TFormClassBuilder& Event(const std::string& Name, F Setter) {
    return Prop(Name, [Setter](T* o, const TFormValue& v, TFormReadContext& ctx) mutable {
      std::string handler = FormValueToName(v);
      TEvent fn;
      if (handler != "nil") {
        if (handler.find('.') != std::string::npos) throw EFormValueError("a handler name has no dots: " + handler);
        const THandlerTable* table = ctx.Handlers();
        if (!table) throw EFormValueError("the form offers no handlers (looking for \"" + handler + "\")");
        std::string problem = table->Find(handler, fn);
        if (!problem.empty()) throw EFormValueError(problem);
      }
      streaming_detail::Assign(Setter, o, std::move(fn));
    });
  }
  // Binary data, as DefineBinaryProperty streams it: "Data = { 0A1B... }". Reader(T*, TStream&)
  // gets the bytes in a stream positioned at 0.
  template <typename F>
  TFormClassBuilder& Binary(const std::string& Name, F Reader) {
    return Prop(Name, [Reader](T* o, const TFormValue& v, TFormReadContext&) mutable {
      if (v.Kind != TFormValueKind::Binary) throw EFormValueError("binary data { ... } expected");
      TMemoryStream s;
      if (!v.Text.empty()) s.WriteBuffer(v.Text.data(), static_cast<int64_t>(v.Text.size()));
      s.SetPosition(0);
      std::invoke(Reader, o, static_cast<TStream&>(s));
    });
  }
  // Any other defined property: Reader(T*, const TFormValue&, TFormReadContext&).
  template <typename F>
  TFormClassBuilder& Custom(const std::string& Name, F Reader) {
    return Prop(Name, [Reader](T* o, const TFormValue& v, TFormReadContext& ctx) mutable { std::invoke(Reader, o, v, ctx); });
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
  TFormClassBuilder& Prop(const std::string& Name, F Fn) {
    TPropertyInfo p;
    p.Name = Name;
    p.Read = [Fn](TPersistent* o, const TFormValue& v, TFormReadContext& ctx) mutable {
      Fn(static_cast<T*>(o), v, ctx);
    };
    FInfo->Properties.push_back(std::move(p));
    return *this;
  }
  TClassInfo* FInfo;
};

// Registers class T under Name, with TParent (void for none) as the class whose properties it
// inherits. A component class that can be made with T(TComponent* Owner) can be created by
// the reader. Every static_cast the property readers do relies on T being the registered type.
template <typename T, typename TParent = void>
TFormClassBuilder<T> RegisterFormClass(const std::string& Name) {
  static_assert(std::is_base_of_v<TPersistent, T>, "registered classes are persistent");
  auto info = std::make_unique<TClassInfo>();
  info->Name = Name;
  info->Type = typeid(T);
  if constexpr (!std::is_void_v<TParent>) {
    static_assert(std::is_base_of_v<TParent, T>, "the parent must be a base class");
    info->ParentType = std::type_index(typeid(TParent));
  }
  if constexpr (std::is_base_of_v<TComponent, T> && std::is_constructible_v<T, TComponent*>)
    info->Create = [](TComponent* owner) -> TComponent* { return new T(owner); };
  info->IsInstance = [](TPersistent* p) { return dynamic_cast<T*>(p) != nullptr; };
  return TFormClassBuilder<T>(AddFormClass(std::move(info)));
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
