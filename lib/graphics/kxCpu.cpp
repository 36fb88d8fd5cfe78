#include "lib/graphics/kxCpu.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

bool HasCpuid() {
#if defined(__x86_64__)
  return true;  // the ID flag can always be flipped in 64-bit mode
#elif defined(__i386__)
  return __get_cpuid_max(0, nullptr) != 0;
#else
  return false;
#endif
}

namespace {
void Leaf1(uint32_t& eax, uint32_t& edx) {
  eax = edx = 0;
#if defined(__x86_64__) || defined(__i386__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (HasCpuid() && __get_cpuid(1, &a, &b, &c, &d)) {
    eax = a;
    edx = d;
  }
#endif
}
}  // namespace

uint32_t GetCpuSignature() {
  uint32_t a, d;
  Leaf1(a, d);
  return a;
}

uint32_t GetCpuFeatures() {
  uint32_t a, d;
  Leaf1(a, d);
  return d;
}

bool HasMMX(bool Cpuid, uint32_t Signature, uint32_t Features) {
  return Cpuid && ((Signature >> 8) & 0xF) >= 5 && (Features & (1u << 23)) != 0;
}

// The processor does not change while the program runs: each answer is probed once, on first
// use, by whichever thread asks first.
bool HasMMX() {
  static const bool has = HasMMX(HasCpuid(), GetCpuSignature(), GetCpuFeatures());
  return has;
}

bool HasSSE2() {
#if defined(__SSE2__)
  static const bool has = (GetCpuFeatures() & (1u << 26)) != 0;
  return has;
#else
  return false;
#endif
}

bool HasAVX2() {
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
#else
  return false;
#endif
}
