// Werte_aus_daten_berechnen alone, on value lists of 100,000 and 1,000,000 values.
#include "messung.h"

#include "model/proc.h"
#include "model/statistics.h"

int main() {
    using namespace Proc;
    for (auto [anzahl, anteil, name] :
         {std::tuple{100'000, 0.0, "statistics, 100,000 values"},
          {1'000'000, 0.0, "statistics, 1,000,000 values"},
          {1'000'000, 0.05, "statistics, 1,000,000 values, 5 % outliers"}}) {
        daten_werteliste(1) = werteliste(std::size_t(anzahl), anteil);
        messen(name, 21, [] { Werte_aus_daten_berechnen(1); });
    }
}
