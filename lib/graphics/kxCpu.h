#pragma once
// The processor tests of the skin engine's start-up: CPUID, the family, the vector-unit bit.
#include <cstdint>

// True when the processor answers CPUID (always on x86-64; never on other processors).
bool HasCpuid();
// EAX and EDX of CPUID leaf 1; 0 without CPUID.
uint32_t GetCpuSignature();
uint32_t GetCpuFeatures();
// The decision of HasMMX from its inputs: CPUID present, family (bits 8..11) at least 5 and
// feature bit 23 set.
bool HasMMX(bool Cpuid, uint32_t Signature, uint32_t Features);
// The decision for this processor (probed once; safe from any thread, like the two below).
bool HasMMX();
// SSE2 for the fast kernels (feature bit 26), and AVX2 (with the system's support for its
// registers) for the eight-pixel alpha draw.
bool HasSSE2();
bool HasAVX2();
// Leaves the vector unit for floating-point work. The 64-bit kernels never enter the old vector
// unit, so there is nothing to clear; callers keep the call where the old code cleared it.
inline void EndMMX() {}
