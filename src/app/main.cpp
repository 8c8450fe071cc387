#include "chart/pictures.h"
#include "model/proc.h"
#include "windows/win_boxplot.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    Proc::ladewerte_setzen();
    QApplication app(argc, argv);
    QMainWindow daten;
    daten.setWindowTitle(QStringLiteral("Daten"));
    daten.setFixedSize(406, 463);
    daten.show();

    // Until the data window drives it, the chart shows the start-up data.
    using namespace Proc;
    const double startwerte[] = {10, 30, 50, 60, 85, 40, 0, 0};
    for (int32_t spalte = 1; spalte <= 8; ++spalte)
        daten_basiswert(1, spalte) = startwerte[spalte - 1];
    daten_satzart(1) = satzart_boxwerte;
    daten_akt_satz = daten_max_satz_anzahl = 1;
    endwert = 100;
    skala_mark = 10;
    breite_bild = 150;
    hoehe_bild = 400;
    pos_rand_l = pos_text_breite = pos_pfeil_breite = pos_abst_pfeil_box = pos_rand_r = 0.125;
    pos_box_breite = 0.375;
    whisker_breite = 0.25;
    pos_pfeil_hoehe = 0.04;
    schrift_hoehe = -1;
    pos_rand_o = pos_rand_u = pos_rand_l * breite_bild / hoehe_bild;
    boxplot_zeichnen();
    WinBoxplot::instance()->move(450, WinBoxplot::instance()->y());

    const int ergebnis = app.exec();
    bild_ergebnis.reset();
    bild_transfer.reset();
    return ergebnis;
}
