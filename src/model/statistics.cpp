#include "statistics.h"

#include "proc.h"
#include "text.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

namespace Proc {

namespace {

constexpr char zeilenende = '\r';
constexpr double zaunfaktor = 1.5;

double begrenzt(double x) {
    constexpr double groesste = std::numeric_limits<double>::max();
    return std::clamp(x, -groesste, groesste);
}

// Number of values: one per line, where only a single empty line at the very end is not
// counted (it is what the carriage return after the last value leaves).
std::size_t anzahl_werte(std::string_view text) {
    if (text.empty())
        return 0;
    const auto felder =
        static_cast<std::size_t>(std::count(text.begin(), text.end(), zeilenende)) + 1;
    return text.back() == zeilenende ? felder - 1 : felder;
}

std::vector<double> werte_lesen(std::string_view text, std::size_t n) {
    std::vector<double> werte;
    werte.reserve(n);
    std::size_t anfang = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t ende = std::min(text.find(zeilenende, anfang), text.size());
        werte.push_back(ValKomma(text.substr(anfang, ende - anfang)));
        anfang = ende + 1;
    }
    return werte;
}

// The sum in the order of the lines, saturated so that it never becomes infinite.
double summe(const std::vector<double>& werte) {
    double s = 0.0;
    for (double w : werte)
        s = begrenzt(s + w);
    return s;
}

// The mean rounded to two decimals; beyond the range where the rounding can be formed the
// mean is already far coarser than two decimals and is kept as it is.
double mittelwert_zwei_stellen(double summe, std::size_t n) {
    const double mittel = summe / static_cast<double>(n);
    const double hundertfach = mittel * 100.0;
    if (!std::isfinite(hundertfach))
        return mittel;
    return std::round(hundertfach) / 100.0;
}

void einzelwert_speichern(int32_t satz, double v) {
    for (int32_t spalte = minimum; spalte <= spannweite; ++spalte)
        daten_basiswert(satz, spalte) = v;
    daten_ausreisser(satz, whisker_unten) = Str(v);
    daten_ausreisser(satz, whisker_oben) = Str(v);
    daten_ausreisser(satz, ausreisser_liste).clear();
}

// Median of the sorted values x[erster] .. x[erster + anzahl - 1].
double median_von(const std::vector<double>& x, std::size_t erster, std::size_t anzahl) {
    const std::size_t mitte = erster + anzahl / 2;
    if (anzahl % 2 == 1)
        return x[mitte];
    return std::midpoint(x[mitte - 1], x[mitte]);
}

void ausreisser_bestimmen(int32_t satz, const std::vector<double>& x) {
    const double q1 = daten_basiswert(satz, unteres_quartil);
    const double q3 = daten_basiswert(satz, oberes_quartil);
    const double abstand = (q3 - q1) * zaunfaktor;
    const double zaun_unten = q1 - abstand;
    const double zaun_oben = q3 + abstand;

    double whisker_min = x.back();
    double whisker_max = x.front();
    std::string liste;
    for (double v : x) {
        if (v < zaun_unten || v > zaun_oben) {
            liste += Str(v);
            liste += ';';
        } else {
            whisker_min = std::min(whisker_min, v);
            whisker_max = std::max(whisker_max, v);
        }
    }
    if (!liste.empty())
        liste.pop_back();
    daten_ausreisser(satz, ausreisser_liste) = std::move(liste);
    daten_ausreisser(satz, whisker_unten) = Str(whisker_min);
    daten_ausreisser(satz, whisker_oben) = Str(whisker_max);
}

} // namespace

void Werte_aus_daten_berechnen(int32_t satz) {
    const std::string_view text = daten_werteliste(satz);
    const std::size_t n = anzahl_werte(text);

    if (n <= 1) {
        einzelwert_speichern(satz, n == 1 ? ValKomma(text) : 0.0);
    } else {
        std::vector<double> x = werte_lesen(text, n);
        const double s = summe(x);
        std::sort(x.begin(), x.end());

        // Each half holds m values; for an odd count the middle value is in neither.
        const std::size_t m = n / 2;
        daten_basiswert(satz, minimum) = x.front();
        daten_basiswert(satz, unteres_quartil) = median_von(x, 0, m);
        daten_basiswert(satz, median) = median_von(x, 0, n);
        daten_basiswert(satz, oberes_quartil) = median_von(x, n - m, m);
        daten_basiswert(satz, maximum) = x.back();
        daten_basiswert(satz, mittelwert) = mittelwert_zwei_stellen(s, n);
        daten_basiswert(satz, spannweite) = begrenzt(x.back() - x.front());
        ausreisser_bestimmen(satz, x);
    }
    daten_basiswert(satz, anzahl) = static_cast<double>(n);
}

} // namespace Proc
