// The chart from arbitrary module state, made at an arbitrary device pixel ratio and written
// as SVG: nothing overflows or crashes, every picture has the size asked for, every label
// stands whole, clear of every line, mark and other label of its plot, and names the value of
// what it stands beside. Stepping through its values by arbitrary keys always stays on one of
// them, each at a place a painter takes.
#include "pruefen.h"

#include "chart/bilder.h"
#include "chart/erkundung.h"
#include "chart/zusammensetzung.h"
#include "model/proc.h"
#include "model/statistik.h"
#include "model/text.h"
#include "platform/output.h"
#include "support/lesbar.h"
#include "support/wahrheit.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

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

// A scale as a user sets one: a round range, below or above 0, up to 1e300 wide, or reversed,
// with a mark that divides it or not, down to a thousandth of it.
void skala_setzen(FuzzedDataProvider& eingabe) {
    const double breite = eingabe.PickValueInArray({1.0, 2.0, 2.5, 5.0, 7.0}) *
                          std::pow(10.0, eingabe.ConsumeIntegralInRange(-8, 300));
    startwert = breite * eingabe.ConsumeIntegralInRange(-3, 2) * 0.5;
    endwert = startwert + (eingabe.ConsumeProbability<double>() < 0.05 ? -breite : breite);
    skala_mark = breite / eingabe.PickValueInArray(
                              {1.0, 3.0, 4.0, 7.0, 10.0, 20.0, 40.0, 100.0, 142.857, 1000.0, 1e4});
}

// A data series from a list of values near the scale, many of them outliers.
void reihe_setzen(FuzzedDataProvider& eingabe, int32_t satz) {
    std::string liste;
    for (int i = eingabe.ConsumeIntegralInRange(0, 40); i > 0; --i) {
        const double anteil = eingabe.ConsumeFloatingPointInRange(-0.2, 1.2);
        const double wert = eingabe.ConsumeBool() ? startwert + anteil * (endwert - startwert)
                                                  : eingabe.ConsumeFloatingPoint<double>();
        liste += Str(wert) + "\r";
    }
    daten_werteliste(satz) = liste;
    Werte_aus_daten_berechnen(satz);
}

// Start-up layout or, now and then, arbitrary fractions; a scale as a user sets one or an
// arbitrary one; data series from value lists, other sets with arbitrary values; arbitrary
// options; a chart from 110 pixels (now and then smaller) of at most half a million logical
// pixels. Whether the layout is the start-up one.
bool zustand_setzen(FuzzedDataProvider& eingabe) {
    ladewerte_setzen();
    startwerte_setzen();
    // Now and then arbitrary layout fractions instead of the start-up ones.
    const bool eigenes_layout = eingabe.ConsumeProbability<double>() < 0.1;
    if (eigenes_layout)
        for (double* anteil :
             {&pos_abst_pfeil_box, &pos_rand_l, &pos_rand_r, &pos_text_breite, &pos_pfeil_breite,
              &pos_box_breite, &whisker_breite, &pos_pfeil_hoehe, &pos_rand_o, &pos_rand_u})
            *anteil = eingabe.ConsumeFloatingPointInRange(-2.0, 2.0);
    schrift_hoehe = eingabe.ConsumeBool() ? -1.0 : eingabe.ConsumeFloatingPointInRange(0.0, 300.0);
    if (eingabe.ConsumeBool())
        skala_setzen(eingabe);
    else
        std::tie(startwert, endwert, skala_mark) =
            std::tuple(wert(eingabe), wert(eingabe), wert(eingabe));
    for (int32_t satz = 1; satz <= hoechste_satzanzahl; ++satz) {
        daten_satzart(satz) = eingabe.ConsumeIntegralInRange(0, 2);
        if (daten_satzart(satz) == satzart_datenreihe) {
            reihe_setzen(eingabe, satz);
            continue;
        }
        for (int32_t spalte = 1; spalte <= 8; ++spalte)
            daten_basiswert(satz, spalte) = wert(eingabe);
        // Mostly box values in their order, as a user types them who means a box plot.
        if (eingabe.ConsumeProbability<double>() < 0.8)
            std::sort(&daten_basiswert(satz, minimum), &daten_basiswert(satz, maximum) + 1);
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
    const int32_t kleinste = eingabe.ConsumeProbability<double>() < 0.1 ? 1 : 110;
    breite_bild = eingabe.ConsumeIntegralInRange(kleinste, 8000);
    hoehe_bild = std::min(eingabe.ConsumeIntegralInRange(kleinste, 8000), 500'000 / breite_bild);
    return !eigenes_layout;
}

// Whether every set shown has its minimum, quartiles, median and maximum in their order, as
// every data series has.
bool geordnet() {
    for (int32_t satz : gezeigte_saetze())
        if (!std::is_sorted(&daten_basiswert(satz, minimum), &daten_basiswert(satz, maximum) + 1))
            return false;
    return true;
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
    const bool startlayout = zustand_setzen(eingabe);
    const double verhaeltnis = eingabe.PickValueInArray({1.0, 1.25, 1.5, 2.0});
    pruefen(bild_zusammensetzen(verhaeltnis), "the chart picture is created");
    pruefen(bild_ergebnis->image().size() == QSize(int(std::lround(breite_bild * verhaeltnis)),
                                                   int(std::lround(hoehe_bild * verhaeltnis))),
            "the chart is breite_bild x hoehe_bild at the ratio");
    for (const std::string& fehler :
         {unlesbare_beschriftung(*bild_ergebnis),
          // Labels name their values in the layout a user sees (other layouts may turn the
          // plot upside down or put the box left of the scale), where the box values are in
          // their order (whiskers that cross the box put labels between two caps), and with
          // text at most twice as large as the automatic size (a label then stands a fifth of
          // its size from its line, which in a low chart is as far as the next line).
          startlayout && geordnet() && schrift_hoehe <= hoehe_bild / 16.0
              ? unwahre_beschriftung(*bild_ergebnis)
              : std::string(),
          schrift_hoehe > 0 ? std::string() : zu_kleine_beschriftung(*bild_ergebnis, 5)})
        pruefen(fehler.empty(), fehler.c_str());
    if (int64_t(breite_bild) * hoehe_bild < 100'000)
        pruefen(svgDocument(*bild_ergebnis).endsWith("</svg>\n"), "the SVG is complete");
    erkunden(eingabe);
    return 0;
}
