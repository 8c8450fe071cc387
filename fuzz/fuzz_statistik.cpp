// The statistics on arbitrary bytes as the value text.
#include "pruefen.h"

#include "model/proc.h"
#include "model/statistics.h"
#include "model/text.h"

#include <algorithm>
#include <cstdint>
#include <string>

using namespace Proc;

namespace {

// One value per carriage-return line; a single empty field at the end is not one.
double erwartete_anzahl(const std::string& text) {
    if (text.empty())
        return 0;
    const auto crs = std::count(text.begin(), text.end(), '\r');
    return double(crs + 1 - (text.back() == '\r'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
    daten_werteliste(1).assign(reinterpret_cast<const char*>(daten), groesse);
    Werte_aus_daten_berechnen(1);

    for (int32_t spalte = 1; spalte <= 8; ++spalte)
        pruefen(std::isfinite(daten_basiswert(1, spalte)), "every value finite");
    pruefen(daten_basiswert(1, anzahl) == erwartete_anzahl(daten_werteliste(1)),
            "count follows the lines");

    const double min = daten_basiswert(1, minimum);
    const double q1 = daten_basiswert(1, unteres_quartil);
    const double med = daten_basiswert(1, median);
    const double q3 = daten_basiswert(1, oberes_quartil);
    const double max = daten_basiswert(1, maximum);
    pruefen(min <= q1 && q1 <= med && med <= q3 && q3 <= max, "min <= q1 <= median <= q3 <= max");

    const double abstand = (q3 - q1) * 1.5;
    const double zaun_unten = q1 - abstand;
    const double zaun_oben = q3 + abstand;
    for (int32_t spalte : {whisker_unten, whisker_oben}) {
        const double ende = Val(daten_ausreisser(1, spalte));
        pruefen(hoechstens(min, ende) && hoechstens(ende, max), "whisker end within min..max");
        pruefen(hoechstens(zaun_unten, ende) && hoechstens(ende, zaun_oben),
                "whisker end within the fences");
    }
    const std::string& liste = daten_ausreisser(1, ausreisser_liste);
    double vorher = -std::numeric_limits<double>::max();
    if (!liste.empty()) {
        for (std::string_view feld : Fields(liste, ";")) {
            const double v = Val(feld);
            pruefen(!(zaun_unten < v && v < zaun_oben) || gleich_auf_15_stellen(v, zaun_unten) ||
                        gleich_auf_15_stellen(v, zaun_oben),
                    "every outlier outside the fences");
            pruefen(hoechstens(vorher, v), "outliers ascending");
            vorher = v;
        }
    }
    return 0;
}
