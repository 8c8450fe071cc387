// Composing the chart of all shown sets into one picture.
#pragma once

#include <cstdint>
#include <vector>

namespace Proc {

// The sets the chart shows, from left to right: the current set alone, or every set in use.
std::vector<int32_t> gezeigte_saetze();

// Where the chart places the plot of a shown set: a strip of that width from x on, across the
// chart's whole height; the first strip carries the value scale.
struct Streifen {
    int32_t satz;
    int32_t x;
    int32_t breite;
    bool mit_skala;
};

// The strips of the shown sets, from left to right, in a chart of breite_bild × hoehe_bild.
std::vector<Streifen> streifen_anordnen();

// Replaces bild_ergebnis by a new white breite_bild × hoehe_bild picture holding the current
// set alone, or all sets in use side by side, each as a box plot, made at the given device
// pixel ratio, with the chart in words as its title and description. When the chart picture
// cannot be created the previous chart is kept and false is returned.
bool bild_zusammensetzen(double geraeteverhaeltnis = 1.0);

} // namespace Proc
