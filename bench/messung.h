// Timing of repeated runs, printed as one line per measured case.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

// Runs arbeit a number of times and prints the median, the fastest and the slowest run.
template <typename Arbeit> double messen(const char* name, int laeufe, Arbeit arbeit) {
    std::vector<double> ms;
    for (int i = 0; i < laeufe; ++i) {
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

// The most memory this process has held so far, in MiB.
inline double hoechster_speicher_mib() {
    std::ifstream status("/proc/self/status");
    std::string zeile;
    while (std::getline(status, zeile))
        if (zeile.rfind("VmHWM:", 0) == 0)
            return std::stod(zeile.substr(6)) / 1024.0;
    return 0.0;
}
