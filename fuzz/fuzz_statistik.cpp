// The statistics on arbitrary bytes as the value text, exactly as the textbook computes them.
#include "pruefen.h"

#include "model/proc.h"
#include "model/statistik.h"
#include "support/lehrbuch.h"

using namespace Proc;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
    daten_werteliste(1).assign(reinterpret_cast<const char*>(daten), groesse);
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
    return 0;
}
