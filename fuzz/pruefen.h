// Checks inside fuzz targets: a broken property stops the run like a crash, with a message.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

inline void pruefen(bool gilt, const char* eigenschaft) {
    if (!gilt) {
        std::fprintf(stderr, "property broken: %s\n", eigenschaft);
        std::abort();
    }
}

// Whether two doubles agree when both are written with 15 significant digits.
inline bool gleich_auf_15_stellen(double a, double b) {
    if (a == b) // also 0 and -0
        return true;
    char ta[40], tb[40];
    std::snprintf(ta, sizeof ta, "%.14e", a);
    std::snprintf(tb, sizeof tb, "%.14e", b);
    return std::strcmp(ta, tb) == 0;
}
