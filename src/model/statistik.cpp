#include "statistik.h"

#include "auswahl.h"
#include "proc.h"
#include "text.h"
#include "vektoren.h"
#include "werte_lesen.h"
#include "zeilenwerte.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Proc {

namespace {

constexpr double zaunfaktor = 1.5;

double begrenzt(double x) {
    constexpr double groesste = std::numeric_limits<double>::max();
    return std::min(std::max(x, -groesste), groesste); // no branch; x is never NaN
}

// The mean rounded to two decimals, as suits what a class measures; a mean below a tenth in
// size keeps two significant digits (0.013, 0.0023) instead of rounding to 0.01 or 0. Where
// the rounding would take it outside the data, it keeps one more decimal at a time, up to 15
// significant digits, and is then held to the smallest and largest value. Beyond the range
// where the rounding can be formed the mean is already far coarser and is kept as it is.
double mittelwert_gerundet(double summe, std::size_t n, double kleinster, double groesster) {
    const double mittel = summe / static_cast<double>(n);
    int stellen = 2;
    if (mittel != 0.0 && std::abs(mittel) < 0.1)
        stellen = 1 - static_cast<int>(std::floor(std::log10(std::abs(mittel))));
    const int hoechstens = std::max(
        stellen, 14 - static_cast<int>(std::floor(std::log10(std::max(std::abs(mittel), 1e-300)))));
    double gerundet = mittel;
    for (; stellen <= std::min(hoechstens, 308); ++stellen) {
        const double faktor = std::pow(10.0, stellen);
        gerundet = std::round(mittel * faktor) / faktor;
        if (!std::isfinite(gerundet))
            gerundet = mittel;
        if (gerundet >= kleinster && gerundet <= groesster)
            break;
    }
    return std::clamp(gerundet, kleinster, groesster) + 0.0; // no -0 for a mean that rounds to 0
}

// One value (or none, read as 0) is every one of the five and the mean; its range is 0.
void einzelwert_speichern(int32_t satz, double v) {
    for (int32_t spalte = minimum; spalte <= mittelwert; ++spalte)
        daten_basiswert(satz, spalte) = v;
    daten_basiswert(satz, spannweite) = 0.0;
    daten_ausreisser(satz, whisker_unten) = Str(v);
    daten_ausreisser(satz, whisker_oben) = Str(v);
    daten_ausreisser(satz, ausreisser_liste).clear();
}

// The median of the sorted values at the positions von .. bis-1, given the values at the
// positions asked for by mittlere_raenge.
double median_aus(const std::vector<double>& sortiert_an, std::size_t von, std::size_t bis,
                  const std::vector<std::size_t>& raenge) {
    const auto wert = [&](std::size_t rang) {
        return sortiert_an[std::size_t(std::lower_bound(raenge.begin(), raenge.end(), rang) -
                                       raenge.begin())];
    };
    const std::size_t mitte = von + (bis - von) / 2;
    return (bis - von) % 2 == 1 ? wert(mitte) : std::midpoint(wert(mitte - 1), wert(mitte));
}

// The positions of the sorted list that median and quartiles are formed from: the middle
// one or two of the whole list and of each half (for an odd count the middle value is in
// neither half).
std::vector<std::size_t> mittlere_raenge(std::size_t n) {
    const std::size_t m = n / 2;
    std::vector<std::size_t> raenge;
    for (auto [von, bis] : {std::pair{std::size_t(0), m}, {std::size_t(0), n}, {n - m, n}}) {
        const std::size_t mitte = von + (bis - von) / 2;
        if ((bis - von) % 2 == 0)
            raenge.push_back(mitte - 1);
        raenge.push_back(mitte);
    }
    std::sort(raenge.begin(), raenge.end());
    raenge.erase(std::unique(raenge.begin(), raenge.end()), raenge.end());
    return raenge;
}

struct Lage {
    double minimum, unteres_quartil, median, oberes_quartil, maximum;
};

// Minimum, quartiles, median and maximum, exactly as from the sorted list but without
// sorting it.
Lage lagewerte(std::vector<double>& x, const Ueberblick& u) {
    const std::size_t n = x.size();
    const std::size_t m = n / 2;
    const std::vector<std::size_t> raenge = mittlere_raenge(n);
    const std::vector<double> werte = werte_an_raengen(x, u.kleinster, u.groesster, raenge);
    return {u.kleinster, median_aus(werte, 0, m, raenge), median_aus(werte, 0, n, raenge),
            median_aus(werte, n - m, n, raenge), u.groesster};
}

struct Trennung {
    std::size_t ausreisser = 0;
    double whisker_min = std::numeric_limits<double>::max();
    double whisker_max = -std::numeric_limits<double>::max();
};

// Gathers the values beyond the fences at the front of x, in their order, from position i
// on, going on from t: the count gathered before i and the whisker ends so far. No branch
// per value, as outliers may come at random: every value is written to the front, and the
// place moves on after an outlier only. Upper outliers lie above every value within the
// fences, lower ones below, so each whisker end is found by one fence. The even and the odd
// positions keep their own whisker ends, so that each comparison waits only on every second.
Trennung einzeln_nach_vorn(std::vector<double>& x, std::size_t i, double zaun_unten,
                           double zaun_oben, Trennung t) {
    Trennung& gerade = t;
    Trennung ungerade;
    std::size_t& anzahl = gerade.ausreisser;
    const auto einordnen = [&](double v, Trennung& t) {
        x[anzahl] = v;
        anzahl += std::size_t(v < zaun_unten) | std::size_t(v > zaun_oben);
        t.whisker_min = std::min(t.whisker_min, v >= zaun_unten ? v : t.whisker_min);
        t.whisker_max = std::max(t.whisker_max, v <= zaun_oben ? v : t.whisker_max);
    };
    for (; i + 2 <= x.size(); i += 2) {
        const double v = x[i], w = x[i + 1];
        einordnen(v, gerade);
        einordnen(w, ungerade);
    }
    if (i < x.size())
        einordnen(x[i], gerade);
    return {anzahl, std::min(gerade.whisker_min, ungerade.whisker_min),
            std::max(gerade.whisker_max, ungerade.whisker_max)};
}

#ifdef __SSE2__
// The same for the first multiple of eight values, two at a time with SSE2. A round of eight
// writes its values to the front only where it holds an outlier: rarely in most lists, and
// nearly always in the others, so the branch guesses right either way. Four pairs of whisker
// ends, so that no comparison waits on the one before. Gives where it stopped.
std::size_t achtweise_nach_vorn(std::vector<double>& x, double zaun_unten, double zaun_oben,
                                Trennung& t) {
    constexpr double groesste = std::numeric_limits<double>::max();
    const __m128d unten = _mm_set1_pd(zaun_unten), oben = _mm_set1_pd(zaun_oben);
    const auto wo = [](__m128d maske, __m128d ja, __m128d sonst) {
        return _mm_or_pd(_mm_and_pd(maske, ja), _mm_andnot_pd(maske, sonst));
    };
    __m128d kleinster[4], groesster[4]; // an array of vectors: std::array drops their alignment
    for (std::size_t k = 0; k < 4; ++k) {
        kleinster[k] = _mm_set1_pd(groesste);
        groesster[k] = _mm_set1_pd(-groesste);
    }
    double* const w = x.data();
    std::size_t i = 0;
    for (; i + 8 <= x.size(); i += 8) {
        unsigned aussen = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const __m128d v = _mm_loadu_pd(w + i + 2 * k);
            const __m128d ab_unten = _mm_cmpge_pd(v, unten);
            const __m128d bis_oben = _mm_cmple_pd(v, oben);
            kleinster[k] = _mm_min_pd(kleinster[k], wo(ab_unten, v, kleinster[k]));
            groesster[k] = _mm_max_pd(groesster[k], wo(bis_oben, v, groesster[k]));
            aussen |= unsigned(~_mm_movemask_pd(_mm_and_pd(ab_unten, bis_oben)) & 3) << (2 * k);
        }
        if (aussen != 0)
            for (std::size_t k = 0; k < 8; ++k) {
                w[t.ausreisser] = w[i + k];
                t.ausreisser += (aussen >> k) & 1;
            }
    }
    for (std::size_t k = 0; k < 4; ++k) {
        std::array<double, 2> paar;
        _mm_storeu_pd(paar.data(), kleinster[k]);
        t.whisker_min = std::min({t.whisker_min, paar[0], paar[1]});
        _mm_storeu_pd(paar.data(), groesster[k]);
        t.whisker_max = std::max({t.whisker_max, paar[0], paar[1]});
    }
    return i;
}
#endif

Trennung ausreisser_nach_vorn(std::vector<double>& x, double zaun_unten, double zaun_oben) {
    Trennung t;
    std::size_t i = 0;
#ifdef __SSE2__
    if (!ohne_vektoren())
        i = achtweise_nach_vorn(x, zaun_unten, zaun_oben, t);
#endif
    return einzeln_nach_vorn(x, i, zaun_unten, zaun_oben, t);
}

// Values beyond 1.5 times the quartile distance from the box are outliers; the whisker ends
// are the smallest and the largest value within those fences, a value on a fence included.
// The outliers are gathered at the front of x in ascending order, the values after them no
// longer needed, so their room serves the sort.
Trennung ausreisser_bestimmen(std::vector<double>& x, const Lage& l) {
    const double abstand = (l.oberes_quartil - l.unteres_quartil) * zaunfaktor;
    const Trennung t =
        ausreisser_nach_vorn(x, l.unteres_quartil - abstand, l.oberes_quartil + abstand);
    aufsteigend_sortieren(std::span(x.data(), t.ausreisser), std::span(x).subspan(t.ausreisser));
    return t;
}

// The statistics of a list of more than one value, stored into the set in one place.
void speichern(int32_t satz, const Lage& l, double mittel, const std::vector<double>& x,
               const Trennung& t) {
    daten_basiswert(satz, minimum) = l.minimum;
    daten_basiswert(satz, unteres_quartil) = l.unteres_quartil;
    daten_basiswert(satz, median) = l.median;
    daten_basiswert(satz, oberes_quartil) = l.oberes_quartil;
    daten_basiswert(satz, maximum) = l.maximum;
    daten_basiswert(satz, mittelwert) = mittel;
    daten_basiswert(satz, spannweite) = begrenzt(l.maximum - l.minimum);
    StrListe(daten_ausreisser(satz, ausreisser_liste), std::span(x.data(), t.ausreisser), ';');
    daten_ausreisser(satz, whisker_unten) = Str(t.whisker_min);
    daten_ausreisser(satz, whisker_oben) = Str(t.whisker_max);
}

// The statistics of a set from the values of its lines.
void berechnen(int32_t satz, const Zeilenwerte& zeilen) {
    // One array to work in, kept from call to call: a keystroke in a long list should not
    // have to allocate it anew.
    static std::vector<double> x;
    x.assign(zeilen.werte().begin(), zeilen.werte().end());
    const Ueberblick& u = zeilen.ueberblick();
    const std::size_t n = x.size();

    if (n <= 1) {
        einzelwert_speichern(satz, n == 1 ? x.front() : 0.0);
    } else {
        const Lage l = lagewerte(x, u);
        const double mittel = mittelwert_gerundet(u.summe, n, l.minimum, l.maximum);
        const Trennung t = ausreisser_bestimmen(x, l);
        speichern(satz, l, mittel, x, t);
    }
    daten_basiswert(satz, anzahl) = static_cast<double>(n);
    daten_ohne_zahl(satz) = u.ohne_zahl;
}

// The values of a set's lines as last read; a set number out of range has a place of its own
// (0, never a set), as the state's stores have.
Zeilenwerte& zeilenwerte(int32_t satz) {
    static std::array<Zeilenwerte, max_satz + 1> je_satz;
    return je_satz[satz >= 1 && satz <= max_satz ? std::size_t(satz) : 0];
}

} // namespace

void Werte_aus_daten_berechnen(int32_t satz) {
    zeilenwerte(satz).lesen(daten_werteliste(satz));
    berechnen(satz, zeilenwerte(satz));
}

void werteliste_aendern(int32_t satz, std::size_t von, std::size_t bis, std::string_view neu) {
    std::string& text = daten_werteliste(satz);
    Zeilenwerte& zeilen = zeilenwerte(satz);
    if (!zeilen.passt_zu(text))
        zeilen.lesen(text);
    zeilen.ersetzen(text, von, bis, neu);
    berechnen(satz, zeilen);
}

} // namespace Proc
