// One box plot: where each element lands, its labels and text sizes, and degenerate input.
#include "chart/boxplot.h"
#include "chart/pictures.h"
#include "model/proc.h"
#include "model/statistics.h"
#include "model/text.h"
#include "support/pixel.h"
#include "support/startwerte.h"

#include <QTest>

using namespace Proc;

namespace {

// Vertical position of a value with the start-up margins and scale 0 to 100.
double y_von(double v, int hoehe) {
    const double oben = 0.046875 * hoehe;
    return oben + (1 - 2 * 0.046875) * hoehe * (1 - v / 100);
}

const QImage& zeichnen(int breite = 150, int hoehe = 400, int32_t satz = 1, bool skala = true) {
    einen_boxplot_zeichnen(breite, hoehe, satz, skala);
    return bild_transfer->image();
}

double textbreite(const std::string& text, int groesse) {
    PicturePtr p = NewPicture(1, 1, 16);
    p->graphics().TextSize = groesse;
    return p->graphics().StringWidth(text);
}

} // namespace

class TstBoxplot : public QObject {
    Q_OBJECT
private slots:
    void init() { startwerte_setzen(); }
    void standardbeispiel_data();
    void standardbeispiel();
    void striche_bis_unter_das_ende();
    void beschriftungen_data();
    void beschriftungen();
    void schriftgroessen_data();
    void schriftgroessen();
    void median_beschriftung_data();
    void median_beschriftung();
    void strichbeschriftung_auf_eine_stelle();
    void ausreisser_data();
    void ausreisser();
    void ohne_skala();
    void ohne_spannweite_nur_name_und_achse();
    void entartete_eingaben();
};

// The default example: W 150, H 400 with the scale. Box outline (75, 164, 59, 111) with a
// 2-pixel pen, median at row 200, whiskers at column 103 to rows 73 and 345 with caps from
// column 84 to 123, mean mark around (103, 236), axis at column 47 from row 19 to 381 with an
// arrow head 16 pixels wide.
void TstBoxplot::standardbeispiel_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("gezeichnet");
    struct Punkt {
        const char* was;
        int x, y;
        bool gezeichnet;
    };
    const Punkt punkte[] = {
        {"box top edge", 100, 165, true},
        {"inside the box", 100, 170, false},
        {"box left edge", 76, 220, true},
        {"left of the box", 74, 220, false},
        {"box right edge", 133, 220, true},
        {"right of the box", 134, 220, false},
        {"box bottom edge", 120, 274, true},
        {"below the box", 120, 275, false},
        {"median", 110, 201, true},
        {"below the median", 110, 202, false},
        {"upper whisker", 104, 120, true},
        {"right of the whisker", 105, 120, false},
        {"upper cap left end", 84, 73, true},
        {"after the cap", 124, 73, false},
        {"lower cap", 120, 346, true},
        {"below the lower cap", 120, 347, false},
        {"mean mark", 103, 236, true},
        {"left of the mean", 98, 236, false},
        {"axis", 47, 190, true},
        {"right of the axis", 48, 190, false},
        {"arrow head", 47, 25, true},
        {"beside the arrow tip", 41, 21, false},
        {"tick end at 50", 56, 200, true},
        {"after the tick", 57, 200, false},
    };
    for (const Punkt& p : punkte)
        QTest::newRow(p.was) << p.x << p.y << p.gezeichnet;
}

void TstBoxplot::standardbeispiel() {
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(bool, gezeichnet);
    const QImage& bild = zeichnen();
    QCOMPARE(bild.size(), QSize(150, 400));
    if (gezeichnet)
        QVERIFY(schwarz(bild, x, y));
    else
        QVERIFY(weiss(bild, x, y));
}

// Column 38 holds the ticks' left ends, left of the arrow head.
void TstBoxplot::striche_bis_unter_das_ende() {
    const QImage& bild = zeichnen();
    QList<int> zeilen;
    for (int y = 0; y < bild.height(); ++y)
        if (schwarz(bild, 38, y))
            zeilen << y;
    QList<int> erwartet;
    for (int v = 90; v >= 0; v -= 10)
        erwartet << whole(y_von(v, 400));
    QCOMPARE(zeilen, erwartet);
}

void TstBoxplot::beschriftungen_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("groesse");
    QTest::addColumn<bool>("wert"); // a value label, shown only with "Werte im Boxplot zeigen"
    QTest::newRow("upper quartile above the box") << "60" << 75 << 162 << 7 << true;
    QTest::newRow("lower quartile below the box") << "30" << 75 << 281 << 7 << true;
    QTest::newRow("median below its line") << "50" << 79 << 208 << 7 << true;
    QTest::newRow("maximum above the cap") << "85" << 84 << 72 << 7 << true;
    QTest::newRow("minimum below the cap") << "10" << 84 << 353 << 7 << true;
    QTest::newRow("mean centred below its mark")
        << "40" << whole(103.125 - textbreite("40", 7) / 2) << 247 << 7 << true;
    QTest::newRow("name") << "A" << whole(103.125 - 0.2 * textbreite("A", 12)) << 19 << 12 << false;
    QTest::newRow("tick 0") << "0" << whole(37.5 - textbreite("0", 12) - 2.4) << 385 << 12 << false;
    QTest::newRow("tick 90") << "90" << whole(37.5 - textbreite("90", 12) - 2.4) << 59 << 12
                             << false;
}

void TstBoxplot::beschriftungen() {
    QFETCH(QString, text);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, groesse);
    QFETCH(bool, wert);
    QVERIFY(zeigt_text(zeichnen(), text.toStdString(), x, y, groesse));
    box_werte_anzeigen = false;
    QCOMPARE(zeigt_text(zeichnen(), text.toStdString(), x, y, groesse), !wert);
}

void TstBoxplot::schriftgroessen_data() {
    QTest::addColumn<int>("hoehe");
    QTest::addColumn<double>("schrift");
    QTest::addColumn<int>("namensgroesse");
    QTest::addColumn<int>("wertgroesse");
    QTest::newRow("automatic at 400") << 400 << -1.0 << 12 << 7;
    QTest::newRow("automatic at 200 stays at least 9") << 200 << -1.0 << 8 << 5;
    QTest::newRow("automatic at 500") << 500 << -1.0 << 15 << 9;
    QTest::newRow("fixed 20") << 400 << 20.0 << 20 << 12;
}

void TstBoxplot::schriftgroessen() {
    QFETCH(int, hoehe);
    QFETCH(double, schrift);
    QFETCH(int, namensgroesse);
    QFETCH(int, wertgroesse);
    schrift_hoehe = schrift;
    const QImage& bild = zeichnen(150, hoehe);
    const int oben = whole(0.046875 * hoehe);
    QVERIFY(zeigt_text(bild, "A", whole(103.125 - 0.2 * textbreite("A", namensgroesse)), oben,
                       namensgroesse));
    QVERIFY(zeigt_text(bild, "85", 84, whole(y_von(85, hoehe) - 0.2 * wertgroesse), wertgroesse));
}

void TstBoxplot::median_beschriftung_data() {
    QTest::addColumn<double>("median");
    QTest::addColumn<bool>("darueber");
    QTest::newRow("larger upper half: above") << 40.0 << true;
    QTest::newRow("larger lower half: below") << 55.0 << false;
    QTest::newRow("equal halves: below") << 45.0 << false;
}

void TstBoxplot::median_beschriftung() {
    QFETCH(double, median);
    QFETCH(bool, darueber);
    daten_basiswert(1, Proc::median) = median;
    daten_basiswert(1, mittelwert) = 90; // keeps the mean mark away from the label
    const double y = y_von(median, 400) + (darueber ? -0.2 * 7 : 1.2 * 7);
    QVERIFY(zeigt_text(zeichnen(), Str(median), 79, whole(y), 7));
}

void TstBoxplot::strichbeschriftung_auf_eine_stelle() {
    skala_mark = 33.33;
    const QImage& bild = zeichnen();
    for (const auto& [wert, text] : {std::pair{33.33, "33.3"}, {66.66, "66.7"}, {99.99, "100"}}) {
        const int x = whole(37.5 - textbreite(text, 12) - 2.4);
        QVERIFY2(zeigt_text(bild, text, x, whole(y_von(wert, 400) + 3.6), 12), text);
    }
}

void TstBoxplot::ausreisser_data() {
    QTest::addColumn<int>("satzart");
    QTest::addColumn<bool>("erweitert");
    QTest::addColumn<bool>("marken");
    QTest::newRow("series, outliers marked") << satzart_datenreihe << true << true;
    QTest::newRow("series, not marked") << satzart_datenreihe << false << false;
    QTest::newRow("box values") << satzart_boxwerte << true << false;
}

// Values 1 to 9 and 30 on a scale to 40: 30 is an outlier, a hollow ring 22 pixels wide.
void TstBoxplot::ausreisser() {
    QFETCH(int, satzart);
    QFETCH(bool, erweitert);
    QFETCH(bool, marken);
    daten_werteliste(1) = "1\r2\r3\r4\r5\r6\r7\r8\r9\r30";
    Werte_aus_daten_berechnen(1);
    daten_satzart(1) = satzart;
    boxplot_erweitert = erweitert;
    box_werte_anzeigen = false;
    endwert = 40;
    const QImage& bild = zeichnen(600, 800);
    const double xC = 300 + 0.1875 * 600;
    const double y30 = 37.5 + 725 * (1 - 30.0 / 40);
    // The upper half of the ring: without outliers the cap at 30 runs through its middle.
    const QRect ring_oben(whole(xC - 11.25), whole(y30 - 11.25), 22, 9);
    QCOMPARE(nicht_weisse_punkte(bild, ring_oben) > 0, marken);
    if (marken)
        QVERIFY(weiss(bild, whole(xC), whole(y30))); // the ring is hollow
    // The upper whisker ends at 9 when outliers apply, at the maximum 30 otherwise.
    const double ende = marken ? 9 : 30;
    QVERIFY(schwarz(bild, whole(xC), whole(37.5 + 725 * (1 - ende / 40))));
    QCOMPARE(schwarz(bild, whole(xC), whole(y30 + 40)), !marken);
}

void TstBoxplot::ohne_skala() {
    const QImage& bild = zeichnen(94, 400, 1, false);
    // U = 94 / 0.625 = 150.4: the box starts at 18.8 and is 56.4 wide, like the first plot's.
    QVERIFY(schwarz(bild, 19, 220));
    QVERIFY(weiss(bild, 18, 220));
    QVERIFY(schwarz(bild, whole(18.8 + 56.4 + 3) - 1, 220));
    QCOMPARE(nicht_weisse_punkte(bild, QRect(0, 0, 17, 400)), 0); // no axis, no ticks
}

void TstBoxplot::ohne_spannweite_nur_name_und_achse() {
    endwert = startwert = 50;
    const QImage& bild = zeichnen();
    QCOMPARE(nicht_weisse_punkte(bild, QRect(60, 30, 90, 370)), 0); // no box, whiskers, marks
    QVERIFY(schwarz(bild, 47, 200));                                // axis
    QVERIFY(schwarz(bild, 47, 25));                                 // arrow head
    QVERIFY(zeigt_text(bild, "A", whole(103.125 - 0.2 * textbreite("A", 12)), 19, 12));
    QCOMPARE(nicht_weisse_punkte(bild, QRect(0, 30, 46, 370)), 0); // no ticks, no labels
}

// Degenerate scales, values and sizes: drawn to the end, at the picture's size, under the
// sanitizers without an overflowing conversion.
void TstBoxplot::entartete_eingaben() {
    struct Fall {
        int breite, hoehe;
        double start, ende, strich, wert;
    };
    // clang-format off
    const Fall faelle[] = {
        {150, 400, 100, 0, 10, 50},          // start above end
        {150, 400, 0, 100, 1e-300, 50},      // tiny mark step
        {150, 400, 1e300, 2e300, 1, 50},     // mark step lost in the start value
        {150, 400, 0, 100, 10, 1e308},       // huge values
        {150, 400, 0, 100, 10, -1e308},
        {150, 400, -1.7e308, 1.7e308, 1e307, 1e308}, // range beyond a double
        {150, 400, 0, 1e-300, 0, 1e308},     // tiny range
        {1, 1, 0, 100, 10, 50},              // one pixel
        {1, 4000, 0, 100, 0.5, 50},
    };
    // clang-format on
    for (const Fall& f : faelle) {
        startwert = f.start;
        endwert = f.ende;
        skala_mark = f.strich;
        boxwerte_setzen(1, {-f.wert, f.wert / 2, f.wert, -f.wert, f.wert, f.wert / 3});
        daten_satzart(1) = satzart_datenreihe;
        daten_ausreisser(1, ausreisser_liste) = Str(-f.wert) + ";" + Str(f.wert) + ";1e999";
        for (bool skala : {true, false})
            QCOMPARE(zeichnen(f.breite, f.hoehe, 1, skala).size(), QSize(f.breite, f.hoehe));
    }
}

QTEST_MAIN(TstBoxplot)
#include "tst_boxplot.moc"
