// Box-plot statistics of a data series.
#pragma once

#include <cstdint>

namespace Proc {

// Turns the value text of a set (one value per line, lines ended by carriage returns,
// decimal commas allowed) into its eight base values, its two whisker ends and its outlier
// list, and counts the lines that are no number. Reads only daten_werteliste(satz) and writes
// only that set's base values, whisker and outlier texts and daten_ohne_zahl.
void Werte_aus_daten_berechnen(int32_t satz);

} // namespace Proc
