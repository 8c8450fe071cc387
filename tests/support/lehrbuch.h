// The textbook computation of a set's statistics, independent of the one under test: the
// values of the lines (read by strtod), a full sort, quartiles as the medians of the halves, fences
// at 1.5 times the quartile distance; the sum and the range saturate. Used by the statistics test
// and its fuzzer.
#pragma once

#include "model/text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

struct Lehrbuch {
    std::array<double, 8> basis;
    std::string texte; // whisker ends and outliers as "lower|upper|outliers"
};

// The text with each typographic minus (U+2212) written as '-'.
inline std::string mit_minus(std::string_view text) {
    std::string t(text);
    for (std::size_t i; (i = t.find("\xE2\x88\x92")) != std::string::npos;)
        t.replace(i, 3, "-");
    return t;
}

// The number at the start of a text as Val (or with decimal commas ValKomma) reads it: blanks,
// a sign, digits, a separator with digits after it, an exponent with a digit, the longest such
// start read by strtod (in the C locale the tests run in), held within the doubles, never -0.
// Nothing where the text does not begin with a number.
inline std::optional<double> lehrbuch_lesen(std::string_view zeile, bool komma) {
    const std::string kopie = mit_minus(zeile);
    const std::string_view text = kopie;
    const auto ziffern_bis = [&](std::size_t i) {
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        return i;
    };
    const auto ist = [&](std::size_t i, std::string_view zeichen) {
        return i < text.size() && zeichen.find(text[i]) != std::string_view::npos;
    };
    const std::size_t anfang = std::min(text.find_first_not_of(" \t"), text.size());
    const std::size_t ziffern = anfang + ist(anfang, "+-");
    std::size_t ende = ziffern_bis(ziffern);
    if (ist(ende, komma ? ".," : ".") && ziffern_bis(ende + 1) > ende + 1)
        ende = ziffern_bis(ende + 1);
    if (ende == ziffern)
        return std::nullopt;
    const std::size_t e = ende + 1 + ist(ende + 1, "+-");
    if (ist(ende, "eE") && ziffern_bis(e) > e)
        ende = ziffern_bis(e);
    std::string zahl(text.substr(anfang, ende - anfang));
    std::replace(zahl.begin(), zahl.end(), ',', '.');
    const double groesste = std::numeric_limits<double>::max();
    return std::clamp(std::strtod(zahl.c_str(), nullptr), -groesste, groesste) + 0.0;
}

inline double lehrbuch_zahl(std::string_view text, bool komma) {
    return lehrbuch_lesen(text, komma).value_or(0.0);
}

// Whether a line of a value list is wholly one number: digits, signs, separators and
// exponents alone, which strtod reads all of but blanks at the ends, as the value the line is
// read as. A separator right before an exponent ends a number, unlike in strtod ("0.e5").
inline bool ganz_eine_zahl(std::string_view zeile) {
    std::string text = mit_minus(zeile);
    std::replace(text.begin(), text.end(), ',', '.');
    text.erase(text.find_last_not_of(" \t") + 1);
    const std::size_t anfang = text.find_first_not_of(" \t");
    const std::optional<double> gelesen = lehrbuch_lesen(zeile, true);
    if (anfang == std::string::npos || !gelesen ||
        text.find_first_not_of("0123456789+-.eE \t") != std::string::npos ||
        text.find(".e") != std::string::npos || text.find(".E") != std::string::npos)
        return false;
    char* ende = nullptr;
    const double groesste = std::numeric_limits<double>::max();
    const double wert = std::clamp(std::strtod(text.c_str() + anfang, &ende), -groesste, groesste);
    return ende == text.c_str() + text.size() && wert == *gelesen;
}

// The lines of a value list: the empty field after a carriage return that ends the text is
// no line.
inline std::vector<std::string_view> zeilen(std::string_view text) {
    std::vector<std::string_view> z = Proc::alle_felder(text, "\r");
    if (text.empty() || text.back() == '\r')
        z.pop_back();
    return z;
}

// One value per line, decimal commas.
inline std::vector<double> werte_der_zeilen(std::string_view text) {
    std::vector<double> x;
    for (std::string_view zeile : zeilen(text))
        x.push_back(lehrbuch_zahl(zeile, true));
    return x;
}

// The lines that do not begin with a number.
inline std::size_t zeilen_ohne_zahl(std::string_view text) {
    return std::size_t(std::ranges::count_if(
        zeilen(text), [](std::string_view zeile) { return !lehrbuch_lesen(zeile, true); }));
}

inline double median_sortiert(const std::vector<double>& x, std::size_t von, std::size_t bis) {
    const std::size_t n = bis - von;
    return n % 2 ? x[von + n / 2] : std::midpoint(x[von + n / 2 - 1], x[von + n / 2]);
}

// The mean with two decimals, two significant digits below a tenth, and one more decimal at a
// time (up to 15 significant digits) while it lies outside the data, then held to the data.
inline double mittel_gerundet(double mittel, double kleinster, double groesster) {
    const auto runde = [mittel](int stellen) {
        const double faktor = std::pow(10.0, stellen);
        return std::isfinite(mittel * faktor) ? std::round(mittel * faktor) / faktor : mittel;
    };
    const int groessenordnung = mittel == 0 ? 0 : int(std::floor(std::log10(std::abs(mittel))));
    int stellen = mittel != 0 && std::abs(mittel) < 0.1 ? 1 - groessenordnung : 2;
    double gerundet = runde(stellen);
    while (!(gerundet >= kleinster && gerundet <= groesster) && stellen + groessenordnung < 14 &&
           stellen < 308)
        gerundet = runde(++stellen);
    return std::clamp(gerundet, kleinster, groesster) + 0.0;
}

inline Lehrbuch nachgerechnet(std::vector<double> x) {
    using Proc::Str;
    const double n = double(x.size()), groesste = std::numeric_limits<double>::max();
    if (x.size() <= 1) {
        const double v = x.empty() ? 0.0 : x[0];
        return {{v, v, v, v, v, v, 0, n}, Str(v) + "|" + Str(v) + "|"};
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
             mittel_gerundet(mittel, x.front(), x.back()),
             std::clamp(x.back() - x.front(), -groesste, groesste), n},
            Str(unten) + "|" + Str(oben) + "|" + ausreisser};
}
