// The chart from arbitrary module state, made at an arbitrary device pixel ratio and written
// as SVG: nothing overflows or crashes, every picture has the size asked for, and every label
// stands whole, clear of every line, mark and other label of its plot. Stepping through its
// values by arbitrary keys always stays on one of them, each at a place a painter takes.
#include "pruefen.h"

#include "chart/bilder.h"
#include "chart/erkundung.h"
#include "chart/zusammensetzung.h"
#include "model/proc.h"
#include "model/text.h"
#include "platform/output.h"
#include "support/lesbar.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QGuiApplication>

using namespace Proc;

namespace {

double wert(FuzzedDataProvider& eingabe) {
    constexpr double besondere[] = {
        0.0,   1.0,    -1.0,  100.0, 1e-300,
        1e308, -1e308, 33.33, 1e15,  std::numeric_limits<double>::max()};
    return eingabe.ConsumeBool() ? eingabe.PickValueInArray(besondere)
                                 : eingabe.ConsumeFloatingPoint<double>();
}

// Start-up layout or, now and then, arbitrary fractions; arbitrary scale, sets and options; a
// chart of at most half a million logical pixels.
void zustand_setzen(FuzzedDataProvider& eingabe) {
    ladewerte_setzen();
    startwerte_setzen();
    // Now and then arbitrary layout fractions instead of the start-up ones.
    if (eingabe.ConsumeProbability<double>() < 0.1)
        for (double* anteil :
             {&pos_abst_pfeil_box, &pos_rand_l, &pos_rand_r, &pos_text_breite, &pos_pfeil_breite,
              &pos_box_breite, &whisker_breite, &pos_pfeil_hoehe, &pos_rand_o, &pos_rand_u})
            *anteil = eingabe.ConsumeFloatingPointInRange(-2.0, 2.0);
    schrift_hoehe = eingabe.ConsumeBool() ? -1.0 : eingabe.ConsumeFloatingPointInRange(0.0, 300.0);
    std::tie(startwert, endwert, skala_mark) =
        std::tuple(wert(eingabe), wert(eingabe), wert(eingabe));
    for (int32_t satz = 1; satz <= hoechste_satzanzahl; ++satz) {
        daten_satzart(satz) = eingabe.ConsumeIntegralInRange(0, 2);
        for (int32_t spalte = 1; spalte <= 8; ++spalte)
            daten_basiswert(satz, spalte) = wert(eingabe);
        for (int32_t spalte = 1; spalte <= 3; ++spalte)
            for (int i = eingabe.ConsumeIntegralInRange(spalte < 3 ? 1 : 0, spalte < 3 ? 1 : 60);
                 i > 0; --i)
                daten_ausreisser(satz, spalte) += Str(wert(eingabe)) + (i > 1 ? ";" : "");
    }
    if (eingabe.ConsumeBool())
        daten_reihenname = eingabe.ConsumeRandomLengthString(40);
    for (bool* schalter : {&daten_alle_saetze_zeichnen, &boxplot_erweitert, &mittelwert_anzeigen,
                           &box_werte_anzeigen})
        *schalter = eingabe.ConsumeBool();
    daten_max_satz_anzahl = eingabe.ConsumeIntegralInRange(1, hoechste_satzanzahl);
    daten_akt_satz = eingabe.ConsumeIntegralInRange(1, daten_max_satz_anzahl);
    breite_bild = eingabe.ConsumeIntegralInRange(1, 8000);
    hoehe_bild = std::min(eingabe.ConsumeIntegralInRange(1, 8000), 500'000 / breite_bild);
}

void erkunden(FuzzedDataProvider& eingabe) {
    Erkundung erkundung;
    erkundung.aktualisieren();
    for (const Chartwert& w : erkundung.werte())
        pruefen(w.breite >= 0 && w.hoehe >= 0 && w.links >= -100 && w.oben >= -100 &&
                    w.links + w.breite <= breite_bild + 100 && w.oben + w.hoehe <= hoehe_bild + 100,
                "every value lies at a place a painter takes, close to the chart");
    for (int schritt = eingabe.ConsumeIntegralInRange(0, 20); schritt > 0; --schritt) {
        erkundung.gehen(Schritt(eingabe.ConsumeIntegralInRange(0, 5)));
        pruefen(erkundung.werte().empty() || erkundung.stelle(), "a step stays on a value");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication anwendung(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
    FuzzedDataProvider eingabe(daten, groesse);
    zustand_setzen(eingabe);
    const double verhaeltnis = eingabe.PickValueInArray({1.0, 1.25, 1.5, 2.0});
    pruefen(bild_zusammensetzen(verhaeltnis), "the chart picture is created");
    pruefen(bild_ergebnis->image().size() == QSize(int(std::lround(breite_bild * verhaeltnis)),
                                                   int(std::lround(hoehe_bild * verhaeltnis))),
            "the chart is breite_bild x hoehe_bild at the ratio");
    const std::string unlesbar = unlesbare_beschriftung(*bild_ergebnis);
    pruefen(unlesbar.empty(), unlesbar.c_str());
    if (int64_t(breite_bild) * hoehe_bild < 100'000)
        pruefen(SvgDocument(*bild_ergebnis).endsWith("</svg>\n"), "the SVG is complete");
    erkunden(eingabe);
    return 0;
}
