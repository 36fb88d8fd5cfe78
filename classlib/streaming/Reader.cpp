// The form reader: creates the components of a parsed description, sets their properties,
// fixes up the references, then calls Loaded; and the process-wide list of forms by name with
// the references still waiting for a form that does not exist yet.
#include <algorithm>
#include <fstream>
#include <iterator>

#include "base/Text.h"
#include "classlib/Streaming.h"

namespace {

std::vector<std::string> SplitDots(const std::string& s) {
  std::vector<std::string> parts;
  size_t b = 0;
  for (;;) {
    size_t d = s.find('.', b);
    parts.push_back(s.substr(b, d == std::string::npos ? std::string::npos : d - b));
    if (d == std::string::npos) return parts;
    b = d + 1;
  }
}

// ---- Forms by name and references waiting for them ---------------------------------------------

struct PendingRef {
  TComponent* Holder;
  std::string Target;  // "Form2.ImageList1"
  std::function<bool(TComponent*)> Assign;
};

// Hears when a registered form or the holder of a waiting reference is freed.
class FormListGuard : public TComponent {
public:
  FormListGuard() : TComponent(nullptr) {}
  std::vector<TComponent*> Forms;
  std::vector<PendingRef> Pending;

  void Watch(TComponent* c) { c->FreeNotification(this); }

  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    std::erase(Forms, AComponent);
    std::erase_if(Pending, [AComponent](const PendingRef& r) { return r.Holder == AComponent; });
  }
};

FormListGuard& Guard() {
  static FormListGuard* g = new FormListGuard;  // lives as long as the program
  return *g;
}

// Follows "A.B.C" from the component named A; nullptr when a step is missing.
TComponent* Walk(TComponent* start, const std::vector<std::string>& parts, size_t from) {
  TComponent* c = start;
  for (size_t i = from; c && i < parts.size(); ++i) c = c->FindComponent(parts[i]);
  return c;
}

// ---- The reader --------------------------------------------------------------------------------

class Reader : public TFormReadContext {
public:
  Reader(TComponent* root, std::string file, const THandlerTable* handlers)
      : root_(root), file_(std::move(file)), handlers_(handlers) {
    if (!handlers_) {
      if (auto* b = dynamic_cast<IFormBindings*>(root)) {
        b->DeclareBindings(own_);
        handlers_ = &own_;
      }
    }
  }

  void Run(const TFormObject& node) {
    try {
      ReadRoot(node);
      ResolveReferences();
      for (TComponent* c : loaded_) c->SetReading(false);
      for (TComponent* c : loaded_) {
        c->Loaded();
        c->TComponent::Loaded();  // csLoading goes even if an override forgot the inherited call
      }
    } catch (...) {
      Abandon();
      throw;
    }
    if (!root_->Name().empty()) RegisterFormInstance(root_);
    // Only a form that was read completely leaves references waiting for other forms.
    for (PendingRef& r : pending_) {
      Guard().Watch(r.Holder);
      Guard().Pending.push_back(std::move(r));
    }
    if (const TClassInfo* info = FindFormClassOf(root_))
      if (auto* after = info->FindAfterRead()) (*after)(root_);
  }

  const THandlerTable* Handlers() const override { return handlers_; }

  void AddReference(TPersistent* Holder, const std::string& Target, std::function<bool(TComponent*)> Assign) override {
    refs_.push_back({Holder, component_, Target, std::move(Assign), line_, prop_});
  }

  void ReadProperties(TPersistent* Instance, const std::vector<TFormProperty>& Properties) override {
    for (const TFormProperty& p : Properties) ReadProperty(Instance, p);
  }

  void ForgetReferences(TPersistent* Holder) override {
    std::erase_if(refs_, [Holder](const Ref& r) { return r.Holder == Holder; });
  }

private:
  struct Ref {
    TPersistent* Holder;
    TComponent* Component;  // the component being read when the reference was met
    std::string Target;
    std::function<bool(TComponent*)> Assign;
    int Line;
    std::string Prop;
  };

  [[noreturn]] void Fail(int line, const std::string& prop, const std::string& problem) {
    throw EFormError(file_, line, prop, problem);
  }

  static std::string Label(const TFormObject& o) { return o.Name.empty() ? o.ClassName : o.Name; }

  void ReadRoot(const TFormObject& node) {
    if (!SameText(root_->ClassName(), node.ClassName) && !root_->InheritsFromName(node.ClassName))
      Fail(node.Line, "", "the description is of class " + node.ClassName + " but the form is a " + root_->ClassName());
    if (root_->Name().empty() && !node.Name.empty()) {
      try {
        root_->SetName(node.Name);
      } catch (const Exception& e) {
        Fail(node.Line, "", e.Message);
      }
    }
    Begin(root_);
    ReadBody(node, root_, root_);
  }

  void Begin(TComponent* c) {
    c->Loading();
    c->SetReading(true);
    loaded_.push_back(c);
  }

  void ReadBody(const TFormObject& node, TComponent* comp, TComponent* childOwner) {
    TComponent* saved = component_;
    component_ = comp;
    ReadProperties(comp, node.Properties);
    component_ = saved;
    for (const TFormObject& child : node.Children) ReadObject(child, childOwner, comp);
  }

  void ReadObject(const TFormObject& node, TComponent* owner, TComponent* container) {
    TComponent* comp = nullptr;
    if (node.Kind == TFormObjectKind::Inherited) {
      comp = node.Name.empty() ? nullptr : owner->FindComponent(node.Name);
      if (!comp) Fail(node.Line, "", "inherited component " + Label(node) + " does not exist");
      if (!comp->InheritsFromName(node.ClassName))
        Fail(node.Line, "", "inherited component " + node.Name + " is a " + comp->ClassName() + ", not a " + node.ClassName);
      Begin(comp);
    } else {
      const TClassInfo* info = FindFormClass(node.ClassName);
      if (!info) Fail(node.Line, "", "unknown class " + node.ClassName + " (object " + Label(node) + ")");
      if (!info->Create) Fail(node.Line, "", "class " + node.ClassName + " cannot be created from a form");
      try {
        comp = info->Create(owner);
      } catch (const Exception& e) {
        Fail(node.Line, "", "creating " + Label(node) + ": " + e.Message);
      }
      created_.push_back(comp);
      Begin(comp);
      try {
        if (!node.Name.empty()) comp->SetName(node.Name);
      } catch (const Exception& e) {
        Fail(node.Line, "", e.Message);
      }
      if (handlers_ && !node.Name.empty() && !handlers_->BindField(node.Name, comp))
        Fail(node.Line, "", "the form's field " + node.Name + " cannot hold a " + node.ClassName);
      if (auto* place = info->FindPlaceInside(); place && container) {
        try {
          (*place)(comp, container);
        } catch (const Exception& e) {
          Fail(node.Line, "", "placing " + Label(node) + " inside " + container->Name() + ": " + e.Message);
        }
      }
    }
    ReadBody(node, comp, node.Kind == TFormObjectKind::Inline ? comp : owner);
  }

  void ReadProperty(TPersistent* instance, const TFormProperty& p) {
    std::vector<std::string> path = SplitDots(p.Name);
    TPersistent* obj = instance;
    const TClassInfo* info = FindFormClassOf(obj);
    for (size_t i = 0;; ++i) {
      if (!info) Fail(p.Line, p.Name, "no properties are registered for class " + obj->ClassName());
      const TPropertyInfo* pi = info->FindProperty(path[i]);
      if (!pi) Fail(p.Line, p.Name, "unknown property " + path[i] + " of class " + info->Name);
      if (i + 1 == path.size()) {
        if (!pi->Read) Fail(p.Line, p.Name, path[i] + " is set through its sub-properties (" + path[i] + ".Xxx = ...)");
        int savedLine = line_;
        std::string savedProp = prop_;
        line_ = p.Line;
        prop_ = p.Name;
        try {
          pi->Read(*pi, obj, p.Value, *this);
        } catch (const EFormError&) {
          throw;
        } catch (const Exception& e) {
          Fail(p.Value.Line ? p.Value.Line : p.Line, p.Name, e.Message);
        }
        line_ = savedLine;
        prop_ = savedProp;
        return;
      }
      if (!pi->GetObject) Fail(p.Line, p.Name, path[i] + " has no sub-properties");
      TPersistent* sub = nullptr;
      try {
        sub = pi->GetObject(*pi, obj);
      } catch (const Exception& e) {
        Fail(p.Line, p.Name, e.Message);
      }
      if (!sub) Fail(p.Line, p.Name, path[i] + " is not set");
      obj = sub;
      info = FindFormClassOf(obj);
    }
  }

  void ResolveReferences() {
    for (Ref& r : refs_) {
      std::vector<std::string> parts = SplitDots(r.Target);
      TComponent* target = nullptr;
      if (SameText(parts[0], root_->Name())) {
        target = Walk(root_, parts, 1);
        if (!target) Fail(r.Line, r.Prop, "no component named " + r.Target);
      } else if (TComponent* first = root_->FindComponent(parts[0])) {
        target = Walk(first, parts, 1);
        if (!target) Fail(r.Line, r.Prop, "no component named " + r.Target);
      } else if (TComponent* form = FindFormInstance(parts[0])) {
        target = Walk(form, parts, 1);
        if (!target) Fail(r.Line, r.Prop, "form " + parts[0] + " has no component named " + r.Target);
      } else if (parts.size() > 1) {
        // A component of a form that does not exist yet: fixed up when that form appears.
        if (r.Holder != r.Component)
          Fail(r.Line, r.Prop, "form " + parts[0] + " does not exist; only a component's own properties may wait for it");
        pending_.push_back({r.Component, r.Target, std::move(r.Assign)});
        continue;
      } else {
        Fail(r.Line, r.Prop, "no component named " + r.Target);
      }
      bool ok = false;
      try {
        ok = r.Assign(target);
      } catch (const Exception& e) {
        Fail(r.Line, r.Prop, e.Message);
      }
      if (!ok) Fail(r.Line, r.Prop, r.Target + " is a " + target->ClassName() + ", which this property cannot hold");
    }
  }

  // Frees what this read created, newest first, and takes the loading state off the rest.
  void Abandon() {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
      std::erase(loaded_, *it);
      delete *it;
    }
    created_.clear();
    for (TComponent* c : loaded_) {
      c->SetReading(false);
      c->TComponent::Loaded();
    }
    if (handlers_) handlers_->ClearFields();
  }

  TComponent* root_;
  std::string file_;
  const THandlerTable* handlers_;
  THandlerTable own_;
  std::vector<TComponent*> created_;
  std::vector<TComponent*> loaded_;
  std::vector<Ref> refs_;
  std::vector<PendingRef> pending_;
  TComponent* component_ = nullptr;
  int line_ = 0;
  std::string prop_;
};

}  // namespace

void ReadFormDescription(TComponent* Root, std::string_view Text, const std::string& FileName,
                         const THandlerTable* Handlers) {
  if (!Root) throw EFormError(FileName, 0, "", "no form to read into");
  TFormObject node = ParseFormDescription(Text, FileName);
  Reader r(Root, FileName, Handlers);
  r.Run(node);
}

void ReadFormFile(TComponent* Root, const std::string& Path, const THandlerTable* Handlers) {
  std::ifstream in(Path, std::ios::binary);
  if (!in) throw EFormError(Path, 0, "", "cannot open the form description");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EFormError(Path, 0, "", "cannot read the form description");
  ReadFormDescription(Root, text, Path, Handlers);
}

void RegisterFormInstance(TComponent* Form) {
  if (!Form) return;
  FormListGuard& g = Guard();
  if (std::find(g.Forms.begin(), g.Forms.end(), Form) == g.Forms.end()) {
    g.Forms.push_back(Form);
    g.Watch(Form);
  }
  if (Form->Name().empty()) return;
  // Take the waiting references for this form out first: an assignment may register forms too.
  std::vector<PendingRef> mine, others;
  for (PendingRef& r : g.Pending)
    (SameText(SplitDots(r.Target)[0], Form->Name()) ? mine : others).push_back(std::move(r));
  g.Pending = std::move(others);
  for (PendingRef& r : mine) {
    // The holder was read long ago, so a fault found now cannot be reported to its reader:
    // a missing component or one of the wrong class leaves the property unset.
    if (TComponent* target = Walk(Form, SplitDots(r.Target), 1)) {
      try {
        r.Assign(target);
      } catch (const Exception&) {
      }
    }
  }
}

TComponent* FindFormInstance(const std::string& Name) {
  if (Name.empty()) return nullptr;
  for (TComponent* f : Guard().Forms)
    if (SameText(f->Name(), Name)) return f;
  return nullptr;
}

int PendingFormReferenceCount() { return static_cast<int>(Guard().Pending.size()); }
