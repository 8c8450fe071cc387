// Composing the chart: which sets are drawn, strip widths and positions, picture size.
#include "chart/boxplot.h"
#include "chart/composition.h"
#include "chart/pictures.h"
#include "model/proc.h"
#include "support/pixel.h"
#include "support/startwerte.h"

#include <QTest>

using namespace Proc;

class TstComposition : public QObject {
    Q_OBJECT
private slots:
    void init();
    void boxen_der_streifen_data();
    void boxen_der_streifen();
    void einzelner_satz_data();
    void einzelner_satz();
    void ohne_bild_bleibt_das_alte();
};

void TstComposition::init() {
    startwerte_setzen();
    for (int32_t satz = 2; satz <= 5; ++satz)
        boxwerte_setzen(satz, {10, 30, 50, 60, 85, 40, 0, 0});
}

// Left edges of the boxes and of the axis, found on the row of the value 45, inside every
// box. The strips are laid out across W - 3 pixels, so that the outline of the last box (3
// pixels wider than the box) ends inside the picture: W 240 with 3 sets gives D = 2, strips
// 118.5 and 74.06 wide at 0, 118.5 and 177.75 instead of 0, 120 and 180.
void TstComposition::boxen_der_streifen_data() {
    QTest::addColumn<int>("breite");
    QTest::addColumn<int>("saetze");
    QTest::addColumn<int>("achse");
    QTest::addColumn<QList<int>>("boxen");
    QTest::newRow("W 240, 3 sets") << 240 << 3 << 37 << QList<int>{60, 134, 193};
    QTest::newRow("W 240, 5 sets") << 240 << 5 << 25 << QList<int>{40, 89, 129, 168, 208};
    QTest::newRow("W 300, 2 sets") << 300 << 2 << 62 << QList<int>{99, 223};
}

void TstComposition::boxen_der_streifen() {
    QFETCH(int, breite);
    QFETCH(int, saetze);
    QFETCH(int, achse);
    QFETCH(QList<int>, boxen);
    breite_bild = breite;
    daten_max_satz_anzahl = saetze;
    QVERIFY(bild_zusammensetzen());
    const QImage& bild = bild_ergebnis->image();
    QCOMPARE(bild.size(), QSize(breite, 400));
    const int zeile = whole(18.75 + 362.5 * 0.55);
    QList<int> links, rechts;
    for (int x = 0; x < bild.width(); ++x) {
        if (schwarz(bild, x, zeile) && !schwarz(bild, x - 1, zeile))
            links << x;
        if (schwarz(bild, x, zeile) && !schwarz(bild, x + 1, zeile))
            rechts << x;
    }
    // Every box keeps its right edge: the next strip does not wipe it out, and the last box's
    // outline fits into the picture. So there are two edges per box, and the axis.
    QCOMPARE(links.size(), 1 + 2 * saetze);
    QCOMPARE(rechts.size(), 1 + 2 * saetze);
    QCOMPARE(links.first(), achse);
    for (int box : boxen)
        QVERIFY2(links.contains(box), qPrintable(QString::number(box)));
}

void TstComposition::einzelner_satz_data() {
    QTest::addColumn<bool>("alle");
    QTest::addColumn<int>("saetze");
    QTest::addColumn<int>("aktuell");
    QTest::newRow("all sets, but only one in use") << true << 1 << 1;
    QTest::newRow("only the current set, 3 in use") << false << 3 << 2;
}

void TstComposition::einzelner_satz() {
    QFETCH(bool, alle);
    QFETCH(int, saetze);
    QFETCH(int, aktuell);
    daten_alle_saetze_zeichnen = alle;
    daten_max_satz_anzahl = saetze;
    daten_akt_satz = aktuell;
    daten_basiswert(aktuell, maximum) = 95; // tells the current set from the others
    QVERIFY(bild_zusammensetzen());
    einen_boxplot_zeichnen(150, 400, aktuell, true);
    QCOMPARE(bild_ergebnis->image(), bild_transfer->image());
    QCOMPARE(bild_ergebnis->image().depth(), 16);
}

void TstComposition::ohne_bild_bleibt_das_alte() {
    QVERIFY(bild_zusammensetzen());
    const PicturePtr vorher = bild_ergebnis;
    breite_bild = 0;
    QVERIFY(!bild_zusammensetzen());
    QCOMPARE(bild_ergebnis, vorher);
    breite_bild = 100000;
    hoehe_bild = 100000;
    QVERIFY(!bild_zusammensetzen());
    QCOMPARE(bild_ergebnis, vorher);
}

QTEST_MAIN(TstComposition)
#include "tst_composition.moc"
