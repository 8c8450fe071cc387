// Box-plot statistics of a data series.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Proc {

// Turns the value text of a set (one value per line, lines ended by carriage returns,
// decimal commas allowed) into its eight base values, its two whisker ends and its outlier
// list, and counts the lines that are no number. Reads only daten_werteliste(satz) and writes
// only that set's base values, whisker and outlier texts and daten_ohne_zahl.
void Werte_aus_daten_berechnen(int32_t satz);

// Replaces the bytes von..bis of the set's value text with neu and computes its statistics
// again, as Werte_aus_daten_berechnen does, reading only the lines the change touched (where
// the text was last read or changed here; else all of it). The results are the same, bit for
// bit.
void werteliste_aendern(int32_t satz, std::size_t von, std::size_t bis, std::string_view neu);

} // namespace Proc
