// Placing the labels of one box plot where they can be read.
#pragma once

#include "platform/picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Proc {

// The order in which labels claim their places.
enum Rang {
    name_rang,
    whisker_rang,
    median_rang,
    quartil_rang,
    mittel_rang,
    ausreisser_rang,
    skala_rang
};

// The room a plot's labels may use: [links, rechts) × [0, unten) of its picture.
struct Raum {
    double links, rechts, unten;
};

// The labels of one plot, collected while it is drawn and placed at its end, lower ranks
// first. A label stands whole inside the plot's room, two pixels clear of every label placed
// before it and clear of every line and mark of the plot, so that no number is cut, printed
// over another or crossed out. Where its place is taken it moves sideways, then tries its
// next place (the other side of its line or mark); where none is free it is left out.
class Beschriftungen {
public:
    // The left end of a label's baseline, or its middle for a centred label.
    struct Stelle {
        double x, y;
    };

    // A label at the first of its places that is free. A label that may move stands up to its
    // own width left or right of a place where that place itself is taken.
    void hinzufuegen(Rang rang, std::string text, int32_t groesse, std::vector<Stelle> stellen,
                     bool zentriert = false, bool verschiebbar = true);

    // Places the labels around everything drawn into the picture so far, and draws them.
    void zeichnen(const PicturePtr& bild, const Raum& raum);

private:
    struct Text {
        Rang rang;
        std::string text;
        int32_t groesse;
        std::vector<Stelle> stellen;
        bool zentriert;
        bool verschiebbar;
    };
    std::vector<Text> texte_;
};

} // namespace Proc
