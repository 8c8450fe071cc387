// The textbook computation of a set's statistics, independent of the one under test: the
// values of the lines, a full sort, quartiles as the medians of the halves, fences at 1.5
// times the quartile distance; the sum and the range saturate. Used by the statistics test and
// its fuzzer.
#pragma once

#include "model/text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

struct Lehrbuch {
    std::array<double, 8> basis;
    std::string texte; // whisker ends and outliers as "lower|upper|outliers"
};

// One value per carriage-return line, decimal commas; the empty field after a carriage return
// that ends the text is no line.
inline std::vector<double> werte_der_zeilen(std::string_view text) {
    std::vector<double> x;
    for (std::string_view zeile : Proc::Fields(text, "\r"))
        x.push_back(Proc::ValKomma(zeile));
    if (text.empty() || text.back() == '\r')
        x.pop_back();
    return x;
}

inline double median_sortiert(const std::vector<double>& x, std::size_t von, std::size_t bis) {
    const std::size_t n = bis - von;
    return n % 2 ? x[von + n / 2] : std::midpoint(x[von + n / 2 - 1], x[von + n / 2]);
}

inline Lehrbuch nachgerechnet(std::vector<double> x) {
    using Proc::Str;
    const double n = double(x.size()), groesste = std::numeric_limits<double>::max();
    if (x.size() <= 1) {
        const double v = x.empty() ? 0.0 : x[0];
        return {{v, v, v, v, v, v, v, n}, Str(v) + "|" + Str(v) + "|"};
    }
    double summe = 0;
    for (double v : x)
        summe = std::clamp(summe + v, -groesste, groesste);
    std::sort(x.begin(), x.end());
    const std::size_t halb = x.size() / 2;
    const double q1 = median_sortiert(x, 0, halb),
                 q3 = median_sortiert(x, x.size() - halb, x.size());
    const double mittel = summe / n;
    const double d = (q3 - q1) * 1.5;
    double unten = x.back(), oben = x.front();
    std::string ausreisser;
    for (double v : x) {
        if (v < q1 - d || v > q3 + d) {
            ausreisser.append(ausreisser.empty() ? "" : ";").append(Str(v));
        } else {
            unten = std::min(unten, v);
            oben = std::max(oben, v);
        }
    }
    return {{x.front(), q1, median_sortiert(x, 0, x.size()), q3, x.back(),
             std::isfinite(mittel * 100) ? std::round(mittel * 100) / 100 + 0.0 : mittel,
             std::clamp(x.back() - x.front(), -groesste, groesste), n},
            Str(unten) + "|" + Str(oben) + "|" + ausreisser};
}
