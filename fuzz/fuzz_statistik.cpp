// The statistics on arbitrary bytes as the value text, exactly as the textbook computes them;
// then the text edited in a few places taken from the same bytes, each edit read line by line,
// giving exactly what the edited text gives when read whole.
#include "pruefen.h"

#include "model/proc.h"
#include "model/statistik.h"
#include "support/lehrbuch.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

using namespace Proc;

namespace {

// A set's outputs, every bit of them.
std::string ergebnisse(int32_t satz) {
    std::string alle;
    for (int32_t spalte = 1; spalte <= 8; ++spalte)
        alle += std::to_string(std::bit_cast<std::uint64_t>(daten_basiswert(satz, spalte))) + "|";
    for (int32_t spalte = 1; spalte <= 3; ++spalte)
        alle += daten_ausreisser(satz, spalte) + "|";
    return alle + std::to_string(daten_ohne_zahl(satz));
}

void bearbeitet_wie_ganz(std::string_view bytes) {
    const auto stelle = [&](std::size_t i) {
        return bytes.empty() ? 0 : std::size_t(bytes[i % bytes.size()] & 0xFF) * bytes.size() / 255;
    };
    for (std::size_t schritt = 0; schritt < 4; ++schritt) {
        const std::string& text = daten_werteliste(1);
        const std::size_t von = std::min(stelle(4 * schritt), text.size());
        const std::size_t bis = std::min(von + stelle(4 * schritt + 1) % 9, text.size());
        const std::string_view neu = bytes.substr(std::min(stelle(4 * schritt + 2), bytes.size()),
                                                  stelle(4 * schritt + 3) % 17);
        daten_werteliste(2) = text;
        daten_werteliste(2).replace(von, bis - von, neu);
        werteliste_aendern(1, von, bis, neu);
        Werte_aus_daten_berechnen(2);
        pruefen(daten_werteliste(1) == daten_werteliste(2), "the edit made in the text");
        pruefen(ergebnisse(1) == ergebnisse(2), "an edit read line by line as the whole text");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
    const std::string_view bytes(reinterpret_cast<const char*>(daten), groesse);
    daten_werteliste(1) = bytes;
    Werte_aus_daten_berechnen(1);
    const Lehrbuch soll = nachgerechnet(werte_der_zeilen(daten_werteliste(1)));
    for (int32_t spalte = 1; spalte <= 8; ++spalte)
        pruefen(daten_basiswert(1, spalte) == soll.basis[std::size_t(spalte - 1)],
                "the base values as the textbook computes them");
    pruefen(daten_ausreisser(1, whisker_unten) + "|" + daten_ausreisser(1, whisker_oben) + "|" +
                    daten_ausreisser(1, ausreisser_liste) ==
                soll.texte,
            "whisker ends and outliers as the textbook computes them");
    pruefen(daten_ohne_zahl(1) == zeilen_ohne_zahl(daten_werteliste(1)),
            "the lines without a number counted");
    bearbeitet_wie_ganz(bytes);
    return 0;
}
