#pragma once
// The processor's SIMD extensions beyond the x86-64 baseline, read once at start-up. The pixel
// loops compile their SSSE3 and AVX2 variants with target attributes and pick one from these
// flags; VISTRELA_X86 marks the builds where those variants exist at all.

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#define VISTRELA_X86 1
#include <immintrin.h>
#endif

namespace vistrela::cpu {

#if defined(VISTRELA_X86)
inline const bool hasSsse3 = __builtin_cpu_supports("ssse3");
inline const bool hasAvx2 = __builtin_cpu_supports("avx2");
#else
inline constexpr bool hasSsse3 = false;
inline constexpr bool hasAvx2 = false;
#endif

}  // namespace vistrela::cpu
