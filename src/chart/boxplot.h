// Drawing one set as a box plot.
#pragma once

#include "platform/picture.h"

#include <cstdint>
#include <limits>
#include <string_view>

namespace Proc {

// How the chart shows a plot: the device pixel ratio it is made at, which decides how close
// ticks may stand and how small a ring stays hollow, and the part of its width that lies
// inside the chart (the last plot's right margin lies beyond it), to which its labels keep.
struct Ansicht {
    double geraeteverhaeltnis = 1.0;
    int32_t sichtbar_ab = 0;
    int32_t sichtbar_bis = std::numeric_limits<int32_t>::max();
};

// Replaces bild_transfer by a new white breite × hoehe picture holding set satz as one box
// plot; with mit_skala the picture is a full strip that carries the value scale at its left.
// bild_transfer is left empty when the picture cannot be created.
void einen_boxplot_zeichnen(int32_t breite, int32_t hoehe, int32_t satz, bool mit_skala,
                            Ansicht ansicht = {});

// Whether the plot of a set marks its outliers, with its whiskers ending at the last values
// inside the fences; otherwise the whiskers reach the minimum and the maximum.
bool ausreisser_markiert(int32_t satz);

// The value step between the ticks of the scale in a plot of that size with the scale: the
// mark, or a multiple of it where ticks at every mark would run together.
double strichabstand(int32_t breite, int32_t hoehe, double geraeteverhaeltnis);

// Where the box's outline ends on the right, in pixels from the left of a plot of that size.
double boxrahmen_ende(int32_t breite, int32_t hoehe, bool mit_skala);

// Where a plot of that size draws the value v, in pixels of its picture: the height of its line
// or mark, the box's left edge and width, the ends of a whisker's cap, the box's centre line
// and the diameter of the round marks on it.
struct Wertlage {
    double y, box_links, box_breite, kappe_links, kappe_rechts, mitte, marke;
};
Wertlage wertlage(int32_t breite, int32_t hoehe, bool mit_skala, double v);

// Draws a text with its baseline at y, centred in the span that starts at x (centred on x
// when spanne is 0).
void graphics_string_center(const PicturePtr& bild, std::string_view text, double x, double y,
                            double spanne);

} // namespace Proc
