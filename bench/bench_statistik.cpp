// Werte_aus_daten_berechnen alone, on value lists of 100,000 and 1,000,000 values; then
// lists of 1,000,000 values spread in ways hard for the selection of quartiles and median
// (the last one built to be the slowest for it), each with the statistics, the selection
// alone, and a plain sort for comparison.
#include "messung.h"

#include "model/auswahl.h"
#include "model/proc.h"
#include "model/statistics.h"

#include <string>

int main() {
    using namespace Proc;
    for (auto [anzahl, anteil, name] :
         {std::tuple{100'000, 0.0, "statistics, 100,000 values"},
          {1'000'000, 0.0, "statistics, 1,000,000 values"},
          {1'000'000, 0.05, "statistics, 1,000,000 values, 5 % outliers"}}) {
        daten_werteliste(1) = werteliste(std::size_t(anzahl), anteil);
        messen(name, 21, [] { Werte_aus_daten_berechnen(1); });
    }

    // The positions of quartiles and median in an even count of 1,000,000.
    const std::size_t raenge[] = {249'999, 250'000, 499'999, 500'000, 749'999, 750'000};
    const std::pair<std::vector<double>, const char*> listen[] = {
        {spreizwerte(1'000'000, Spreizung::gewoehnlich), "ordinary, 15 digits"},
        {spreizwerte(1'000'000, Spreizung::binaden), "2^-1000..2^999, random signs"},
        {spreizwerte(1'000'000, Spreizung::binaden_positiv), "2^-1000..2^999, positive"},
        {spreizwerte(1'000'000, Spreizung::zehnerpotenzen), "powers of ten 1..1e15"},
        {spreizwerte(1'000'000, Spreizung::ganz), "whole range of doubles"},
        {spreizwerte(1'000'000, Spreizung::ausreisser), "10 % outliers at 1e3..1e300"},
        {verschachtelt(1'000'000), "nested at the bin edges"}};
    for (const auto& liste : listen) {
        const std::vector<double>& werte = liste.first;
        const double kleinster = *std::min_element(werte.begin(), werte.end());
        const double groesster = *std::max_element(werte.begin(), werte.end());
        daten_werteliste(1) = als_werteliste(werte);
        const std::string zeile = std::string(", 1,000,000 values, ") + liste.second;
        messen(("statistics" + zeile).c_str(), 11, [] { Werte_aus_daten_berechnen(1); });
        std::vector<double> kopie;
        messen(("selection" + zeile).c_str(), 11, [&] {
            kopie = werte;
            werte_an_raengen(kopie, kleinster, groesster, raenge);
        });
        messen(("sort" + zeile).c_str(), 11, [&] {
            kopie = werte;
            std::sort(kopie.begin(), kopie.end());
        });
    }
}
