// Drawing one set as a box plot.
#pragma once

#include "platform/picture.h"

#include <cstdint>
#include <string_view>

namespace Proc {

// Replaces bild_transfer by a new white breite × hoehe picture holding set satz as one box
// plot; with mit_skala the picture is a full strip that carries the value scale at its left.
// bild_transfer is left empty when the picture cannot be created.
void einen_boxplot_zeichnen(int32_t breite, int32_t hoehe, int32_t satz, bool mit_skala);

// Whether the plot of a set marks its outliers, with its whiskers ending at the last values
// inside the fences; otherwise the whiskers reach the minimum and the maximum.
bool ausreisser_markiert(int32_t satz);

// Where the box's outline ends on the right, in pixels from the left of a plot of that size.
double boxrahmen_ende(int32_t breite, int32_t hoehe, bool mit_skala);

// Draws a text with its baseline at y, centred in the span that starts at x (centred on x
// when spanne is 0).
void graphics_string_center(const PicturePtr& bild, std::string_view text, double x, double y,
                            double spanne);

} // namespace Proc
