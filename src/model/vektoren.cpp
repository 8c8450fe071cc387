#include "vektoren.h"

#include <cstdlib>
#include <string_view>

namespace Proc {

namespace {

// The way VELMORA_LESEN asks for: "skalar" or "sse2", empty for the fastest there is.
std::string_view verlangter_weg() {
    const char* lesen = std::getenv("VELMORA_LESEN");
    return lesen != nullptr ? lesen : "";
}

} // namespace

bool ohne_vektoren() {
    static const bool ja = verlangter_weg() == "skalar";
    return ja;
}

bool mit_avx2() {
#ifdef VELMORA_AVX2
    static const bool ja =
        __builtin_cpu_supports("avx2") && !ohne_vektoren() && verlangter_weg() != "sse2";
    return ja;
#else
    return false;
#endif
}

} // namespace Proc
