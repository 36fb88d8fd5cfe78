// Option dispatch: any sequence of option names and values from outside reaching a conversion
// engine, as the option text of a preset or the settings form hands them over.
#include <memory>

#include "Src/FFmpeg.h"
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "base/Exception.h"
#include "base/Text.h"
#include "fuzz/FuzzCommon.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  GetFFLogger()->SetLogLevel(llQuiet);
  if (!FFLoader().Load(TaskLibraries)) fuzz::Fail("media libraries: " + FFLoader().LastErrMsg());
  return 0;
}

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
