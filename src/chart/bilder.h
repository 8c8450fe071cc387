// The pictures of the module state, all held by one owner that releases them together.
#pragma once

#include "platform/picture.h"

namespace Proc {

struct Bilder {
    // The composed chart, breite_bild × hoehe_bild pixels; absent until the first composition.
    PicturePtr bild_ergebnis;
    // The picture of one set's box plot, replaced by every call of einen_boxplot_zeichnen.
    PicturePtr bild_transfer;
    // The logo, loaded from the resources on first use and kept for the rest of the run.
    PicturePtr LogoVelmora;
};

inline Bilder bilder;
inline PicturePtr& bild_ergebnis = bilder.bild_ergebnis;
inline PicturePtr& bild_transfer = bilder.bild_transfer;
inline PicturePtr& LogoVelmora = bilder.LogoVelmora;

// Releases every picture; at exit, while the application object their pixels need still exists.
inline void bilder_freigeben() {
    bilder = {};
}

} // namespace Proc
