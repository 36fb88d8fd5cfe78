// Form descriptions holding skinned controls: the reader creating them, with their skin data
// and the bars and lists they refer to, under a form that is then freed.
#include <memory>

#include "base/Exception.h"
#include "classlib/Forms.h"
#include "classlib/Streaming.h"
#include "fuzz/FuzzCommon.h"
#include "lib/kxSkinRegister.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static const bool registered = (RegisterSkinControlFormClasses(), true);
  (void)registered;
  const std::string_view text(reinterpret_cast<const char*>(Data), Size);
  try {
    ParseFormDescription(text, "fuzz.dfm");
  } catch (const Exception&) {
    return 0;
  }
  auto owner = std::make_unique<TComponent>(nullptr);
  auto* form = new TForm(owner.get());
  try {
    ReadFormDescription(form, text, "fuzz.dfm");
  } catch (const Exception&) {
  }
  owner.reset();
  return 0;
}
