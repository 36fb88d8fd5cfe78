#include "base/Object.h"

#include <cxxabi.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <typeinfo>

namespace {

std::string Demangle(const char* mangled) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> name(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
  std::string s = (status == 0 && name) ? std::string(name.get()) : std::string(mangled);
  auto pos = s.rfind("::");
  return pos == std::string::npos ? s : s.substr(pos + 2);
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

// Walks the single-inheritance chain that the Itanium ABI records in type_info.
bool Inherits(const std::type_info* ti, const std::string& name) {
  while (ti) {
    if (SameText(Demangle(ti->name()), name)) return true;
    if (auto si = dynamic_cast<const abi::__si_class_type_info*>(ti)) {
      ti = si->__base_type;
    } else if (auto vmi = dynamic_cast<const abi::__vmi_class_type_info*>(ti)) {
      for (unsigned i = 0; i < vmi->__base_count; ++i)
        if (Inherits(vmi->__base_info[i].__base_type, name)) return true;
      return false;
    } else {
      return false;
    }
  }
  return false;
}

}  // namespace

std::string TObject::ClassName() const { return Demangle(typeid(*this).name()); }

bool TObject::InheritsFromName(const std::string& className) const { return Inherits(&typeid(*this), className); }
