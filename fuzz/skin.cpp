// Skin files and containers from outside, one target per entry (SKIN_ENTRY names it): a
// compressed stored skin record, a decompressed skin image, and the INI text of a skin file.
#include "fuzz/FuzzCommon.h"
#include "lib/skin/kxSkinFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  SKIN_ENTRY(Data, Size);
  return 0;
}
