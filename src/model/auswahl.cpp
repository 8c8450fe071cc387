#include "auswahl.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace Proc {

namespace {

// Values are counted into this many bins of equal width between the smallest and the
// largest; a bin that holds a wanted position is looked at again the same way, until it is
// small enough for nth_element.
constexpr std::size_t faecher = 4096;
constexpr std::size_t direkt_ab = 4096;

std::vector<double> durch_teilung(std::span<double> werte, std::span<const std::size_t> raenge) {
    std::vector<double> ergebnis;
    auto anfang = werte.begin();
    for (std::size_t rang : raenge) {
        const auto stelle = werte.begin() + std::ptrdiff_t(rang);
        std::nth_element(anfang, stelle, werte.end());
        ergebnis.push_back(*stelle);
        anfang = stelle;
    }
    return ergebnis;
}

// The values of one bin that holds wanted positions, with those positions counted within
// the bin.
struct Fach {
    std::vector<double> werte;
    std::vector<std::size_t> raenge;
};

} // namespace

std::vector<double> werte_an_raengen(std::span<double> werte, double kleinster, double groesster,
                                     std::span<const std::size_t> raenge) {
    // Bins need a finite width that can be divided into them; otherwise (all values equal,
    // or spread across more than the range of doubles) nth_element serves alone.
    const double breite = groesster - kleinster;
    const double skala = double(faecher) / breite;
    if (werte.size() <= direkt_ab || !(breite > 0) || !std::isfinite(breite) ||
        !std::isfinite(skala))
        return durch_teilung(werte, raenge);

    // The bin of a value: monotonic in the value, so every value of a bin is at least as
    // large as every value of the bins before it.
    const auto fach_von = [kleinster, skala](double v) {
        return std::min(std::size_t((v - kleinster) * skala), faecher - 1);
    };
    std::vector<std::size_t> anzahl(faecher, 0);
    for (double v : werte)
        ++anzahl[fach_von(v)];

    // Which bins hold the wanted positions, and where each bin starts in the sorted order.
    std::vector<Fach> gesucht;
    std::vector<std::int32_t> fach_nummer(faecher, -1);
    std::size_t anfang = 0;
    std::size_t r = 0;
    for (std::size_t b = 0; b < faecher && r < raenge.size(); ++b) {
        const std::size_t ende = anfang + anzahl[b];
        for (; r < raenge.size() && raenge[r] < ende; ++r) {
            if (fach_nummer[b] < 0) {
                fach_nummer[b] = std::int32_t(gesucht.size());
                gesucht.push_back({});
                gesucht.back().werte.reserve(anzahl[b]);
            }
            gesucht[std::size_t(fach_nummer[b])].raenge.push_back(raenge[r] - anfang);
        }
        anfang = ende;
    }
    for (double v : werte) {
        const std::int32_t nummer = fach_nummer[fach_von(v)];
        if (nummer >= 0)
            gesucht[std::size_t(nummer)].werte.push_back(v);
    }

    std::vector<double> ergebnis;
    for (Fach& fach : gesucht) {
        const auto [min, max] = std::minmax_element(fach.werte.begin(), fach.werte.end());
        const bool kleiner_geworden = fach.werte.size() < werte.size();
        const std::vector<double> teil = kleiner_geworden
                                             ? werte_an_raengen(fach.werte, *min, *max, fach.raenge)
                                             : durch_teilung(fach.werte, fach.raenge);
        ergebnis.insert(ergebnis.end(), teil.begin(), teil.end());
    }
    return ergebnis;
}

} // namespace Proc
