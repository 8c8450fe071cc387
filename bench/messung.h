// Timing of repeated runs, printed as one line per measured case.
#pragma once

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

// Runs arbeit a number of times, each after an untimed vorbereitung, and prints the median,
// the fastest and the slowest run.
template <typename Arbeit, typename Vorbereitung = void (*)()>
double messen(
    const char* name, int laeufe, Arbeit arbeit, Vorbereitung vorbereitung = [] {}) {
    std::vector<double> ms;
    for (int i = 0; i < laeufe; ++i) {
        vorbereitung();
        const auto anfang = std::chrono::steady_clock::now();
        arbeit();
        const auto ende = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(ende - anfang).count());
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    std::printf("%-58s median %9.3f ms   min %9.3f ms   max %9.3f ms   runs %d\n", name, median,
                ms.front(), ms.back(), laeufe);
    std::fflush(stdout);
    return median;
}

// A value list as a user pastes it: values with two decimals written with a decimal comma,
// one per line, lines ended by carriage returns. A share of the values lies far outside.
inline std::string werteliste(std::size_t anzahl, double ausreisser_anteil = 0.0,
                              unsigned saat = 1) {
    std::mt19937_64 zufall(saat);
    std::normal_distribution<double> normal(50.0, 10.0);
    std::uniform_real_distribution<double> anteil(0.0, 1.0);
    std::string text;
    text.reserve(anzahl * 8);
    char zahl[32];
    for (std::size_t i = 0; i < anzahl; ++i) {
        double v = normal(zufall);
        if (anteil(zufall) < ausreisser_anteil)
            v += (v < 50 ? -1 : 1) * 200.0;
        const int laenge = std::snprintf(zahl, sizeof zahl, "%.2f\r", v);
        for (int k = 0; k < laenge; ++k)
            text += zahl[k] == '.' ? ',' : zahl[k];
    }
    return text;
}

// How the values of a generated list are spread. All but the first are hard for a selection
// that bins by value: magnitudes across many binades, few distinct values far apart, the
// whole range of doubles, many outliers at every magnitude.
enum class Spreizung { gewoehnlich, binaden, binaden_positiv, zehnerpotenzen, ganz, ausreisser };

inline double spreizwert(Spreizung art, std::mt19937_64& zufall) {
    std::normal_distribution<double> normal(50.0, 10.0);
    std::uniform_real_distribution<double> mantisse(1.0, 2.0);
    const auto vorzeichen = [&] { return zufall() % 2 ? -1.0 : 1.0; };
    switch (art) {
    case Spreizung::gewoehnlich:
        return normal(zufall);
    case Spreizung::binaden:
        return vorzeichen() * std::ldexp(mantisse(zufall), int(zufall() % 2000) - 1000);
    case Spreizung::binaden_positiv:
        return std::ldexp(mantisse(zufall), int(zufall() % 2000) - 1000);
    case Spreizung::zehnerpotenzen:
        return std::pow(10.0, double(zufall() % 16));
    case Spreizung::ganz: { // any bit pattern but those of infinity and NaN
        const std::uint64_t bits = zufall();
        const bool unendlich = (bits >> 52 & 0x7ff) == 0x7ff;
        return std::bit_cast<double>(unendlich ? bits ^ std::uint64_t(1) << 52 : bits);
    }
    case Spreizung::ausreisser: // one in ten at 1e3 to 1e300
        return zufall() % 10 ? normal(zufall)
                             : vorzeichen() * std::pow(10.0, 3.0 + double(zufall() % 298));
    }
    return 0.0;
}

inline std::vector<double> spreizwerte(std::size_t anzahl, Spreizung art, unsigned saat = 1) {
    std::mt19937_64 zufall(saat);
    std::vector<double> werte(anzahl);
    for (double& v : werte)
        v = spreizwert(art, zufall);
    return werte;
}

// A cluster with two values at the edges of a bin around it at each level of the selection's
// bins (2^16 at a million values), so that at each level nearly all values fall into one
// bin: the slowest case for the selection.
inline std::vector<double> verschachtelt(std::size_t anzahl, unsigned saat = 1) {
    const auto wert = [](std::uint64_t schluessel) { // the double of an order-preserving key
        constexpr std::uint64_t vorzeichen = std::uint64_t(1) << 63;
        return std::bit_cast<double>(schluessel & vorzeichen ? schluessel ^ vorzeichen
                                                             : ~schluessel);
    };
    constexpr std::uint64_t eins = 1;
    std::uint64_t unten = eins << 60;
    std::vector<double> werte{wert(unten), wert(~unten)};
    for (int schieben = 48; schieben >= 16; schieben -= 16) {
        unten += (eins << (schieben + 15)) + (eins << (schieben - 3)); // into the middle bin
        if (schieben > 16) {
            werte.push_back(wert(unten));
            werte.push_back(wert(unten + (3 * eins << (schieben - 2)) - 1));
        }
    }
    std::mt19937_64 zufall(saat);
    while (werte.size() < anzahl)
        werte.push_back(wert(unten + zufall() % (eins << 14)));
    std::shuffle(werte.begin(), werte.end(), zufall);
    return werte;
}

// The values as a value list with 15 (or the given count of) significant digits and decimal
// commas.
inline std::string als_werteliste(const std::vector<double>& werte, int stellen = 15) {
    std::string text;
    text.reserve(werte.size() * 26);
    char zahl[32];
    for (double v : werte) {
        const int laenge = std::snprintf(zahl, sizeof zahl, "%.*g\r", stellen, v);
        for (int k = 0; k < laenge; ++k)
            text += zahl[k] == '.' ? ',' : zahl[k];
    }
    return text;
}

// The most memory this process has held so far, in MiB.
inline double hoechster_speicher_mib() {
    std::ifstream status("/proc/self/status");
    std::string zeile;
    while (std::getline(status, zeile))
        if (zeile.rfind("VmHWM:", 0) == 0)
            return std::stod(zeile.substr(6)) / 1024.0;
    return 0.0;
}
