// Form descriptions from outside: the parser over any text, and the reader creating the
// described components (controls, fonts, pictures, image lists) under a form. Built with
// SKINNED_CONTROLS (the skinform target), the skinned controls and their skin data too.
#include <memory>

#include "base/Exception.h"
#include "classlib/Forms.h"
#include "classlib/Streaming.h"
#include "fuzz/FuzzCommon.h"
#ifdef SKINNED_CONTROLS
#include "lib/controls/kxSkinRegister.h"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
#ifdef SKINNED_CONTROLS
  static const bool registered = (RegisterSkinControlFormClasses(), true);
  (void)registered;
#endif
  const std::string_view text(reinterpret_cast<const char*>(Data), Size);
  try {
    ParseFormDescription(text, "fuzz.dfm");
  } catch (const Exception&) {
    return 0;
  }
  // The root is a form: descriptions of "TForm" and of the classes it derives from fit it.
  auto owner = std::make_unique<TComponent>(nullptr);
  auto* form = new TForm(owner.get());
  try {
    ReadFormDescription(form, text, "fuzz.dfm");
  } catch (const Exception&) {
  }
  owner.reset();
  return 0;
}
