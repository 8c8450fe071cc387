// Composing the chart at 1920 × 1080 with five sets of 1,000 values and every option on, at
// the device pixel ratio of the screen (QT_SCALE_FACTOR=2 gives 2): the chart picture made,
// and made and painted on the canvas. Then the chart in words alone, for a set of a million
// values of which half are outliers.
#include "messung.h"

#include "chart/beschreibung.h"
#include "chart/bilder.h"
#include "model/proc.h"
#include "model/statistik.h"
#include "windows/daten_ablauf.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    using namespace Proc;
    QApplication anwendung(argc, argv);
    ladewerte_setzen();
    Pref_SplashAtStart = 0;
    WinDaten::fenster();
    for (int32_t satz = 1; satz <= 5; ++satz) {
        daten_werteliste(satz) = werteliste(1000, 0.02, unsigned(satz));
        daten_satzart(satz) = satzart_datenreihe;
        Werte_aus_daten_berechnen(satz);
    }
    daten_max_satz_anzahl = 5;
    daten_alle_saetze_zeichnen = boxplot_erweitert = mittelwert_anzeigen = box_werte_anzeigen =
        true;
    WinBoxplot* fenster = WinBoxplot::fenster();
    fenster->resize(1960, 1114);       // a canvas of 1920 × 1080
    QCoreApplication::processEvents(); // shown, so that the canvas paints
    const std::string verhaeltnis =
        ", ratio " + QString::number(fenster->devicePixelRatioF()).toStdString();
    messen(("boxplot_zeichnen, 1920 x 1080, 5 sets of 1,000" + verhaeltnis).c_str(), 51, [] {
        boxplot_zeichnen();
        bild_ergebnis->image();
    });
    messen(("  and painted on the canvas" + verhaeltnis).c_str(), 51, [fenster] {
        boxplot_zeichnen();
        fenster->CAbox->repaint();
    });
    // Half the values are 0, and so are the quartiles and the fences: the others are outliers.
    std::string liste;
    for (int i = 1; i < 250'000; ++i) {
        const std::string zahl = std::to_string(i);
        liste.append("-").append(zahl).append("\r").append(zahl).append("\r");
    }
    for (int i = 0; i < 500'002; ++i)
        liste += "0\r";
    daten_werteliste(1) = liste;
    Werte_aus_daten_berechnen(1);
    messen("chart in words, 1,000,000 values, 499,998 outliers", 21,
           [] { diagramm_beschreiben(skala_mark); });
    delete WinDaten::offen();
    delete WinBoxplot::offen();
}
