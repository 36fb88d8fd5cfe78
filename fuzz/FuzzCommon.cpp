#include "fuzz/FuzzCommon.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz {

void Fail(const std::string& AWhat) {
  std::fprintf(stderr, "fuzz check failed: %s\n", AWhat.c_str());
  std::abort();
}

}  // namespace fuzz
