// The procedures that drive the data window from the module state.
#pragma once

#include <cstdint>

namespace Proc {

// Start-up: the start values of the module state, the data window filled in, the chart
// window placed and shown with the first chart, and the splash window.
void init_all();

// Shows the current set's eight values and the scale in the data window; never redraws.
void werte_anzeigen();

// The range of the current set's typed box values, maximum minus minimum, stored and shown;
// never redraws.
void spannweite_zeigen();

// Puts the data window into the mode of eingabe_aktiv (box values typed, or a data series)
// and fixes the current set's kind to match.
void eingabe_aktivieren_deaktivieren();

// Makes set n the current set.
void satz_aendern(int32_t n);

// Changes the number of sets in use by schritt (+1 or -1; 0 only shows it) and shows it.
void satz_anzahl_aendern_zeigen(int32_t schritt);

} // namespace Proc
