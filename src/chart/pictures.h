// The two chart pictures of the module state.
#pragma once

#include "platform/picture.h"

namespace Proc {

// The composed chart, breite_bild × hoehe_bild pixels; absent until the first composition.
inline PicturePtr bild_ergebnis;
// The picture of one set's box plot, replaced by every call of einen_boxplot_zeichnen.
inline PicturePtr bild_transfer;

} // namespace Proc
