#include "auswahl.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <numeric>

namespace Proc {

namespace {

// Below this many values nth_element alone is quicker than counting into bins.
constexpr std::size_t direkt_bis = 4096;

// A key that orders like the value: the bits of a double order like it among non-negative
// values, and reversed among negative ones. -0 gets the key of 0, as it is equal to it.
std::uint64_t schluessel(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v + 0.0);
    constexpr std::uint64_t vorzeichen = std::uint64_t(1) << 63;
    return bits & vorzeichen ? ~bits : bits | vorzeichen;
}

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

// Moves the values for which dazu holds to the front and gives their count. No branch per
// value, as values that belong and values that do not may alternate at random.
template <typename Bedingung> std::size_t nach_vorn(std::span<double> werte, Bedingung dazu) {
    std::size_t vorn = 0;
    for (double& stelle : werte) {
        const double v = stelle;
        const bool gehoert_dazu = dazu(v);
        stelle = werte[vorn];
        werte[vorn] = v;
        vorn += gehoert_dazu;
    }
    return vorn;
}

// Bins of equal key width that just cover the keys from unten to oben: about 16 values a
// bin, at least 2^8 and at most 2^16 bins.
struct Einteilung {
    std::uint64_t unten = 0;
    int schieben = 0;
    std::size_t faecher = 0;

    std::size_t fach_von(double v) const {
        return std::size_t((schluessel(v) - unten) >> schieben);
    }
};

Einteilung einteilung(std::size_t anzahl, std::uint64_t unten, std::uint64_t oben) {
    const int fach_bits = std::clamp(int(std::bit_width(anzahl)) - 4, 8, 16);
    const int schieben = std::max(0, int(std::bit_width(oben - unten)) - fach_bits);
    return {unten, schieben, std::size_t(1) << fach_bits};
}

// A bin that holds wanted positions: its number in ziel (from 1 on), how many values it
// holds, and the wanted positions counted within the bin.
struct Fach {
    std::uint32_t nummer = 0;
    std::size_t anzahl = 0;
    std::vector<std::size_t> raenge;
};

// The bins that hold the wanted positions, in order, given how many values each bin holds.
// ziel gets the number of each of them and 0 for the other bins.
std::vector<Fach> gesuchte_faecher(const std::vector<std::size_t>& anzahl,
                                   std::span<const std::size_t> raenge,
                                   std::vector<std::uint32_t>& ziel) {
    std::vector<Fach> gesucht;
    ziel.assign(anzahl.size(), 0);
    std::size_t anfang = 0; // where the bin starts in the sorted order
    std::size_t r = 0;
    for (std::size_t b = 0; b < anzahl.size() && r < raenge.size(); ++b) {
        const std::size_t ende = anfang + anzahl[b];
        for (; r < raenge.size() && raenge[r] < ende; ++r) {
            if (ziel[b] == 0) {
                ziel[b] = std::uint32_t(gesucht.size() + 1);
                gesucht.push_back({ziel[b], anzahl[b], {}});
            }
            gesucht.back().raenge.push_back(raenge[r] - anfang);
        }
        anfang = ende;
    }
    return gesucht;
}

std::vector<double> nach_schluesseln(std::span<const double> werte, double* platz,
                                     std::uint64_t unten, std::uint64_t oben,
                                     std::span<const std::size_t> raenge);

// The keys of a bin span less than its width, at least 2^8 times less than the keys it was
// cut from; so after at most eight levels all values of a bin are equal. The values of a bin
// are gathered ones, which may be written over.
std::vector<double> im_fach(std::span<double> werte, std::span<const std::size_t> raenge) {
    if (werte.size() <= direkt_bis)
        return durch_teilung(werte, raenge);
    std::uint64_t unten = UINT64_MAX;
    std::uint64_t oben = 0;
    for (double v : werte) {
        unten = std::min(unten, schluessel(v));
        oben = std::max(oben, schluessel(v));
    }
    return nach_schluesseln(werte, werte.data(), unten, oben, raenge);
}

// The values are counted into bins by their keys; the values of the bins that hold wanted
// positions are gathered at platz, and each such bin is looked at again. platz is the values'
// own memory where they may be written over (each is then written where one was read before),
// else nullptr for room of its own: the values of the list itself are kept.
std::vector<double> nach_schluesseln(std::span<const double> werte, double* platz,
                                     std::uint64_t unten, std::uint64_t oben,
                                     std::span<const std::size_t> raenge) {
    if (unten == oben)
        return std::vector<double>(raenge.size(), werte.front());
    std::vector<double> eigene;
    if (werte.size() <= direkt_bis) {
        if (platz == nullptr) {
            eigene.assign(werte.begin(), werte.end());
            platz = eigene.data();
        }
        return durch_teilung(std::span(platz, werte.size()), raenge);
    }

    const Einteilung e = einteilung(werte.size(), unten, oben);
    std::vector<std::size_t> anzahl(e.faecher, 0);
    for (double v : werte)
        ++anzahl[e.fach_von(v)];
    std::vector<std::uint32_t> ziel;
    const std::vector<Fach> gesucht = gesuchte_faecher(anzahl, raenge, ziel);

    // Every value is written to the next place, and the place moves on after a wanted one
    // only: no branch, no place written before it has been read, and unlike swapping the
    // values to the front, no round waits on what the round before stored.
    if (platz == nullptr) {
        std::size_t gewollt = 0;
        for (const Fach& fach : gesucht)
            gewollt += fach.anzahl;
        eigene.resize(gewollt + 1); // one more, for the values after the last wanted one
        platz = eigene.data();
    }
    std::size_t gesammelt = 0;
    for (double v : werte) {
        platz[gesammelt] = v;
        gesammelt += ziel[e.fach_von(v)] != 0;
    }

    std::span<double> rest(platz, gesammelt);
    std::vector<double> ergebnis;
    for (const Fach& fach : gesucht) {
        const auto in_fach = [&](double v) { return ziel[e.fach_von(v)] == fach.nummer; };
        if (&fach != &gesucht.back())
            nach_vorn(rest, in_fach);
        const std::vector<double> teil = im_fach(rest.first(fach.anzahl), fach.raenge);
        ergebnis.insert(ergebnis.end(), teil.begin(), teil.end());
        rest = rest.subspan(fach.anzahl);
    }
    return ergebnis;
}

// The value whose key k is.
double wert_zum_schluessel(std::uint64_t k) {
    constexpr std::uint64_t vorzeichen = std::uint64_t(1) << 63;
    return std::bit_cast<double>(k & vorzeichen ? k & ~vorzeichen : ~k);
}

// While they are sorted, the doubles hold the bits of their keys: formed once, the keys are
// compared and cut into bins as whole numbers, and only moved as doubles, never computed with.
std::uint64_t als_schluessel(double bits) {
    return std::bit_cast<std::uint64_t>(bits);
}

// A bin of at most this many keys is not cut further.
constexpr std::size_t klein_bis = 16;

// The smallest and the largest key.
struct Spanne {
    std::uint64_t unten = UINT64_MAX;
    std::uint64_t oben = 0;

    void dazu(std::uint64_t k) {
        unten = std::min(unten, k);
        oben = std::max(oben, k);
    }
};

Spanne spanne(std::span<const double> schluessel) {
    Spanne s;
    for (double k : schluessel)
        s.dazu(als_schluessel(k));
    return s;
}

// Moves the keys into bins and each bin of more than klein_bis keys in turn into smaller ones,
// until a bin holds at most klein_bis keys or only equal ones. At most 2^11 bins at a time,
// so that counting and moving stay within the cache, counted on the stack (16 KiB a level);
// a bin's keys span less than 2^-4 of the keys it was cut from, so at most sixteen levels.
// The bins are formed in platz, and each bin is cut from there into the same places of
// schluessel, and so on by turns, so that no level copies its keys back; hier_enden tells
// whether the keys are to end in schluessel or in platz.
void in_faecher_teilen(std::span<double> schluessel, std::span<double> platz, bool hier_enden,
                       Spanne s) {
    const std::uint64_t unten = s.unten, oben = s.oben;
    if (unten == oben) {
        if (!hier_enden)
            std::copy(schluessel.begin(), schluessel.end(), platz.begin());
        return;
    }
    constexpr int hoechstens_bits = 11;
    const int fach_bits = std::min(int(std::bit_width(schluessel.size())), hoechstens_bits);
    const int schieben = std::max(0, int(std::bit_width(oben - unten)) - fach_bits);
    const std::size_t faecher = std::size_t(1) << fach_bits;
    const auto fach_von = [&](double k) {
        return std::size_t((als_schluessel(k) - unten) >> schieben);
    };
    std::array<std::uint32_t, (1 << hoechstens_bits) + 1> anfang;
    std::fill_n(anfang.begin(), faecher + 1, 0);
    for (double k : schluessel)
        ++anfang[fach_von(k) + 1];
    std::partial_sum(anfang.begin(), anfang.begin() + std::ptrdiff_t(faecher) + 1, anfang.begin());
    std::array<std::uint32_t, 1 << hoechstens_bits> stelle;
    std::copy_n(anfang.begin(), faecher, stelle.begin());
    for (double k : schluessel)
        platz[stelle[fach_von(k)]++] = k;
    for (std::size_t b = 0; b < faecher; ++b) {
        const std::span<double> fach = platz.subspan(anfang[b], anfang[b + 1] - anfang[b]);
        const std::span<double> dort = schluessel.subspan(anfang[b], fach.size());
        if (fach.size() > klein_bis)
            in_faecher_teilen(fach, dort, !hier_enden, spanne(fach));
        else if (hier_enden)
            std::copy(fach.begin(), fach.end(), dort.begin());
    }
}

} // namespace

std::vector<double> werte_an_raengen(std::span<const double> werte, double kleinster,
                                     double groesster, std::span<const std::size_t> raenge) {
    return nach_schluesseln(werte, nullptr, schluessel(kleinster), schluessel(groesster), raenge);
}

void aufsteigend_sortieren(std::span<double> werte, std::span<double> platz) {
    std::vector<double> eigener_platz;
    if (platz.size() < werte.size()) {
        eigener_platz.resize(werte.size());
        platz = eigener_platz;
    }
    if (werte.size() > UINT32_MAX) { // beyond what the bins count
        std::sort(werte.begin(), werte.end());
        return;
    }
    Spanne s;
    for (double& v : werte) {
        const std::uint64_t k = schluessel(v);
        s.dazu(k);
        v = std::bit_cast<double>(k);
    }
    if (werte.size() > klein_bis)
        in_faecher_teilen(werte, platz.first(werte.size()), true, s);
    // Every key is now in the bin it belongs to, among at most klein_bis keys or among equal
    // ones: one insertion sort moves each within its bin, with few branches that guess wrong.
    // No key moves farther back than klein_bis - 1 places, so the one klein_bis places back
    // stays where it is, and is turned back into its value there.
    for (std::size_t i = 1; i < werte.size(); ++i) {
        const std::uint64_t k = als_schluessel(werte[i]);
        std::size_t j = i;
        for (; j > 0 && k < als_schluessel(werte[j - 1]); --j)
            werte[j] = werte[j - 1];
        werte[j] = std::bit_cast<double>(k);
        if (i >= klein_bis)
            werte[i - klein_bis] = wert_zum_schluessel(als_schluessel(werte[i - klein_bis]));
    }
    for (std::size_t i = werte.size() - std::min(werte.size(), klein_bis); i < werte.size(); ++i)
        werte[i] = wert_zum_schluessel(als_schluessel(werte[i]));
}

} // namespace Proc
