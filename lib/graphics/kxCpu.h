#pragma once
// The processor tests of the skin engine's start-up: CPUID, the family, the vector-unit bit. The
// graphics layer probes the processor for its pixel kernels (platform/gdi/PixelKernels.h); the
// skin engine asks the same answers.
#include <cstdint>

#include "platform/gdi/PixelKernels.h"

// HasCpuid, GetCpuSignature, GetCpuFeatures, HasMMX (the decision from its inputs, and for this
// processor), HasSSE2 and HasAVX2: probed once, safe from any thread.
using win::gdi::GetCpuFeatures;
using win::gdi::GetCpuSignature;
using win::gdi::HasAVX2;
using win::gdi::HasCpuid;
using win::gdi::HasMMX;
using win::gdi::HasSSE2;
// Leaves the vector unit for floating-point work. The 64-bit kernels never enter the old vector
// unit, so there is nothing to clear; callers keep the call where the old code cleared it.
inline void EndMMX() {}
