// The chart from arbitrary module state, made at an arbitrary device pixel ratio and written
// as SVG: nothing overflows or crashes, and every picture has the size asked for.
#include "pruefen.h"

#include "chart/boxplot.h"
#include "chart/composition.h"
#include "chart/pictures.h"
#include "model/proc.h"
#include "model/text.h"
#include "platform/ausgabe.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QGuiApplication>

#include <limits>

using namespace Proc;

namespace {

// Pictures are kept small enough that every input is drawn in a moment.
constexpr int64_t hoechstens_bildpunkte = 2'000'000;

double wert(FuzzedDataProvider& eingabe) {
    constexpr double besondere[] = {0.0,
                                    1.0,
                                    -1.0,
                                    100.0,
                                    1e-300,
                                    1e308,
                                    -1e308,
                                    1e15,
                                    33.33,
                                    5e307,
                                    -5e307,
                                    std::numeric_limits<double>::max(),
                                    std::numeric_limits<double>::denorm_min()};
    return eingabe.ConsumeBool() ? eingabe.PickValueInArray(besondere)
                                 : eingabe.ConsumeFloatingPoint<double>();
}

std::string ausreisserliste(FuzzedDataProvider& eingabe) {
    if (eingabe.ConsumeBool())
        return eingabe.ConsumeRandomLengthString(200);
    std::string liste;
    for (int i = eingabe.ConsumeIntegralInRange(0, 60); i > 0; --i)
        liste += (liste.empty() ? "" : ";") + Str(wert(eingabe));
    return liste;
}

// Start-up layout, now and then arbitrary fractions; arbitrary scale, sets and options.
void zustand_setzen(FuzzedDataProvider& eingabe) {
    ladewerte_setzen();
    const bool beliebig = eingabe.ConsumeProbability<double>() < 0.1;
    for (auto [anteil, standard] : {std::pair{&pos_abst_pfeil_box, 0.125},
                                    {&pos_rand_l, 0.125},
                                    {&pos_rand_r, 0.125},
                                    {&pos_text_breite, 0.125},
                                    {&pos_pfeil_breite, 0.125},
                                    {&pos_box_breite, 0.375},
                                    {&whisker_breite, 0.25},
                                    {&pos_pfeil_hoehe, 0.04},
                                    {&pos_rand_o, 0.046875},
                                    {&pos_rand_u, 0.046875}})
        *anteil = beliebig ? eingabe.ConsumeFloatingPointInRange(-2.0, 2.0) : standard;
    schrift_hoehe = eingabe.ConsumeBool() ? -1.0 : eingabe.ConsumeFloatingPointInRange(0.0, 300.0);
    std::tie(startwert, endwert, skala_mark) =
        std::tuple(wert(eingabe), wert(eingabe), wert(eingabe));
    for (int32_t satz = 1; satz <= 5; ++satz) {
        daten_satzart(satz) = eingabe.ConsumeIntegralInRange(0, 2);
        for (int32_t spalte = 1; spalte <= 8; ++spalte)
            daten_basiswert(satz, spalte) = wert(eingabe);
        daten_ausreisser(satz, whisker_unten) = Str(wert(eingabe));
        daten_ausreisser(satz, whisker_oben) = Str(wert(eingabe));
        daten_ausreisser(satz, ausreisser_liste) = ausreisserliste(eingabe);
    }
    if (eingabe.ConsumeBool())
        daten_reihenname = eingabe.ConsumeRandomLengthString(40);
    for (bool* schalter : {&daten_alle_saetze_zeichnen, &boxplot_erweitert, &mittelwert_anzeigen,
                           &box_werte_anzeigen})
        *schalter = eingabe.ConsumeBool();
    daten_max_satz_anzahl = eingabe.ConsumeIntegralInRange(1, 5);
    daten_akt_satz = eingabe.ConsumeIntegralInRange(1, daten_max_satz_anzahl);
    breite_bild = eingabe.ConsumeIntegralInRange(1, 8000);
    hoehe_bild = int32_t(std::min<int64_t>(eingabe.ConsumeIntegralInRange(1, 8000),
                                           hoechstens_bildpunkte / breite_bild));
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
    const int64_t bildpunkte = int64_t(breite_bild) * hoehe_bild;
    if (bildpunkte * verhaeltnis * verhaeltnis <= double(hoechstens_bildpunkte)) {
        pruefen(bild_zusammensetzen(verhaeltnis), "the chart picture is created");
        const QSize geraet(int(std::lround(breite_bild * verhaeltnis)),
                           int(std::lround(hoehe_bild * verhaeltnis)));
        pruefen(bild_ergebnis->image().size() == geraet, "the chart is breite_bild x hoehe_bild");
        if (bildpunkte < 100'000)
            pruefen(SvgDocument(*bild_ergebnis).endsWith("</svg>\n"), "the SVG is complete");
    }
    const int32_t breite = eingabe.ConsumeIntegralInRange(1, 8000);
    const int32_t hoehe = int32_t(
        std::min<int64_t>(eingabe.ConsumeIntegralInRange(1, 8000), hoechstens_bildpunkte / breite));
    einen_boxplot_zeichnen(breite, hoehe, eingabe.ConsumeIntegralInRange(1, 5),
                           eingabe.ConsumeBool());
    pruefen(bild_transfer->image().size() == QSize(breite, hoehe), "one plot has its size");
    return 0;
}
