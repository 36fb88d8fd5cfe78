// Option dispatch: any sequence of option names and values from outside reaching a conversion
// engine, as the option text of a preset or the settings form hands them over.
#include <memory>

#include "Src/FFmpeg.h"
#include "base/Exception.h"
#include "base/Text.h"
#include "fuzz/FuzzCommon.h"

// The media libraries are loaded by TaskEngineInit.cpp.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  fuzz::TReader r(Data, Size);
  auto engine = std::make_unique<TCustomFFmpeg>(4);
  engine->Reset();
  // Pairs of NUL-terminated name and value, up to a handful per input.
  for (int i = 0; i < 16 && !r.Empty(); ++i) {
    const std::string name = r.Text();
    const std::string value = r.Text();
    // "vhook" loads the library it names: no run of the fuzzer should load what it guesses.
    if (LowerCase(Trim(name)) == "vhook") continue;
    try {
      engine->DispatchOption(name, value);
    } catch (const Exception&) {
    }
  }
  return 0;
}
