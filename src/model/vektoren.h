// Which vector instructions the model's passes over many values use: SSE2 where the compiler
// has it, AVX2 where the processor has it (checked at run time). The environment variable
// VELMORA_LESEN asks for the way of older processors, so that the tests check every way on one
// machine: "sse2" for SSE2 without AVX2, "skalar" for none at all. Only for the model's own
// sources.
#pragma once

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define VELMORA_AVX2 1
// Compiled for AVX2 alone; called only where mit_avx2() holds.
#define VELMORA_FUER_AVX2 __attribute__((target("avx2")))
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Proc {

// True where VELMORA_LESEN=skalar turns the vector instructions off.
bool ohne_vektoren();

// True where the processor has AVX2 and the vector instructions are not turned off.
bool mit_avx2();

} // namespace Proc
