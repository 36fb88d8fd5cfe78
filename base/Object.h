#pragma once
// The root of the class hierarchy: every class the Parts give a ClassName to derives from TObject.
#include <string>

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  // The class's own name without namespaces, e.g. "TkxSkinButton".
  std::string ClassName() const;
  // True when this object is of the class named, or derives from it (compared case-insensitively).
  bool InheritsFromName(const std::string& className) const;
};

// Frees an object held by a raw pointer and clears the pointer.
template <typename T>
void FreeAndNil(T*& obj) {
  T* p = obj;
  obj = nullptr;
  delete p;
}
