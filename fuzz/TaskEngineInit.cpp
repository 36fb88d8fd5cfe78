// Start-up of the targets that drive a conversion engine: the media libraries, loaded once and
// quiet, before the first input.
#include "Src/FFmpegLoader.h"
#include "Src/FFmpegLogger.h"
#include "fuzz/FuzzCommon.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  GetFFLogger()->SetLogLevel(llQuiet);
  if (!FFLoader().Load(TaskLibraries)) fuzz::Fail("media libraries: " + FFLoader().LastErrMsg());
  return 0;
}
