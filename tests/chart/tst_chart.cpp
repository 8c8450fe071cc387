// The chart as pictures: golden pictures of typical, narrow, wide, extreme and high-resolution
// charts, and the rules that a single picture does not show.
#include "chart/boxplot.h"
#include "chart/composition.h"
#include "chart/pictures.h"
#include "model/statistics.h"
#include "model/text.h"
#include "platform/ausgabe.h"
#include "support/golden.h"
#include "support/startwerte.h"

#include <QPainter>
#include <QSvgRenderer>

#include <functional>
#include <map>
#include <random>

using namespace Proc;

namespace {

// Outliers on both sides, equal values, an empty series, a long tail and a tight cluster.
void fuenf_reihen() {
    const char* listen[] = {"1\r2\r3\r4\r5\r6\r7\r8\r9\r30", "-20\r1\r2\r3\r4\r5\r6\r7\r8\r9\r30",
                            "5\r5\r5\r5", "", "10\r20\r30\r95\r96\r97\r2\r98765,4321"};
    daten_max_satz_anzahl = 5;
    for (int32_t satz = 1; satz <= 5; ++satz) {
        daten_werteliste(satz) = listen[satz - 1];
        daten_satzart(satz) = satzart_datenreihe;
        Werte_aus_daten_berechnen(satz);
    }
}

QImage chart(int32_t breite, int32_t hoehe, double verhaeltnis = 1.0) {
    breite_bild = breite;
    hoehe_bild = hoehe;
    bild_zusammensetzen(verhaeltnis);
    return bild_ergebnis->image();
}

// One chart for each of the scale's extremes, side by side.
QImage grenzfaelle() {
    const double skalen[][3] = {{100, 0, 10},    {50, 50, 10},       {-1.7e308, 1.7e308, 1e307},
                                {0, 100, 1e-300}, {0, 100, 1},         {0, 10000, 1},
                                {1e300, 2e300, 1}, {-1e-300, 1e-300, 0}};
    QImage alle(8 * 150, 300, QImage::Format_RGB32);
    QPainter maler(&alle);
    for (int i = 0; i < 8; ++i) {
        startwerte_setzen();
        std::tie(startwert, endwert, skala_mark) = std::tuple(skalen[i][0], skalen[i][1], skalen[i][2]);
        boxwerte_setzen(1, {-1e308, 0, 1e-300, 0, 1e308, 0});
        maler.drawImage(150 * i, 0, chart(150, 300));
    }
    return alle;
}

QImage svg_gerendert(const Picture& bild) {
    QImage ziel(bild.width(), bild.height(), QImage::Format_RGB32);
    ziel.fill(Qt::white);
    QPainter maler(&ziel);
    QSvgRenderer(SvgDocument(bild)).render(&maler);
    return ziel;
}

const std::map<QString, std::function<QImage()>> bilder = {
    {"start", [] { return chart(150, 400); }},
    {"fuenf_saetze", [] { fuenf_reihen(); return chart(600, 500); }},
    {"schmal", [] { fuenf_reihen(); return chart(110, 166); }},
    {"breit", [] { fuenf_reihen(); daten_max_satz_anzahl = 2; return chart(1500, 300); }},
    {"einzeln_schrift_20", [] {
         fuenf_reihen();
         std::tie(daten_alle_saetze_zeichnen, daten_akt_satz, schrift_hoehe) = std::tuple(false, 2, 20.0);
         return chart(400, 400);
     }},
    {"grenzfaelle", grenzfaelle},
    {"start_verhaeltnis_2", [] { return chart(150, 400, 2.0); }},
    {"fuenf_saetze_verhaeltnis_1_5", [] { fuenf_reihen(); return chart(600, 500, 1.5); }},
    {"fuenf_saetze_svg", [] { fuenf_reihen(); chart(600, 500); return svg_gerendert(*bild_ergebnis); }},
};

// The labels a picture draws, each as the box of its ink: left end to width, top of its
// digits to baseline.
std::vector<QRectF> beschriftungen(const Picture& bild) {
    PicturePtr mass = NewPicture(1, 1, 16);
    std::vector<QRectF> kaesten;
    for (const Zeichnung& z : bild.zeichnungen()) {
        if (z.art != Zeichnung::Art::DrawString)
            continue;
        mass->graphics().TextSize = z.textgroesse;
        const double hoehe = mass->graphics().TextHeight();
        kaesten.emplace_back(z.a, z.b - hoehe, mass->graphics().StringWidth(z.text), hoehe);
    }
    return kaesten;
}

} // namespace

class TstChart : public QObject {
    Q_OBJECT
private slots:
    void init() { startwerte_setzen(); }
    void goldene_bilder_data();
    void goldene_bilder();
    void doppelte_aufloesung();
    void letzte_box_immer_geschlossen();
    void striche_data();
    void striche();
    void eine_ausreissermarke_je_zeile();
    void beschriftungen_ganz_und_getrennt();
    void ohne_bild_bleibt_das_alte();
};

void TstChart::goldene_bilder_data() {
    QTest::addColumn<QString>("name");
    for (const auto& [name, bild] : bilder)
        QTest::newRow(qPrintable(name)) << name;
}

void TstChart::goldene_bilder() {
    QFETCH(QString, name);
    VERGLEICHE_GOLDEN(name, bilder.at(name)(), 0.0);
}

// At ratio 2 the picture has twice the device pixels, a line of one logical pixel is two
// device pixels wide, and text is drawn at that resolution rather than doubled.
void TstChart::doppelte_aufloesung() {
    const QImage bild = chart(150, 400, 2.0);
    QCOMPARE(bild.size(), QSize(300, 800));
    QCOMPARE(bild.devicePixelRatio(), 2.0);
    const int zeile = 2 * 190; // between two ticks
    QList<int> achse;
    for (int x = 80; x < 110; ++x)
        if (bild.pixelColor(x, zeile) == Qt::black)
            achse << x;
    QCOMPARE(achse, (QList<int>{94, 95}));
    int feiner = 0;
    for (int y = 0; y + 1 < bild.height(); y += 2)
        for (int x = 0; x + 1 < bild.width(); x += 2)
            feiner += bild.pixel(x, y) != bild.pixel(x + 1, y + 1);
    QVERIFY2(feiner > 50, qPrintable(QString::number(feiner)));
}

// The outline of the last box keeps its 2-pixel right edge at every width and count.
void TstChart::letzte_box_immer_geschlossen() {
    box_werte_anzeigen = mittelwert_anzeigen = false;
    for (int32_t satz = 2; satz <= 5; ++satz)
        boxwerte_setzen(satz, {10, 30, 50, 60, 85, 40});
    const int zeile = whole(0.046875 * 60 + (1 - 2 * 0.046875) * 60 * 0.55); // the value 45
    for (int32_t n = 2; n <= 5; ++n) {
        daten_max_satz_anzahl = n;
        for (int32_t breite = 110; breite <= 2000; ++breite) {
            const QImage bild = chart(breite, 60);
            int x = breite - 1;
            while (x > 0 && bild.pixelColor(x, zeile) != Qt::black)
                --x;
            int kante = 0;
            for (; x >= 0 && bild.pixelColor(x, zeile) == Qt::black; --x)
                ++kante;
            QVERIFY2(kante == 2, qPrintable(QString("%1 sets, width %2").arg(n).arg(breite)));
        }
    }
}

// Tick rows in the column of the ticks' left ends: a tick below endwert at every mark, and at
// most 1,000 of them, spread over the whole axis.
void TstChart::striche_data() {
    QTest::addColumn<double>("ende");
    QTest::addColumn<double>("mark");
    QTest::addColumn<int>("zeilen");
    QTest::addColumn<int>("oberste");
    QTest::newRow("start-up") << 100.0 << 10.0 << 10 << 55;
    QTest::newRow("one tick per value") << 100.0 << 1.0 << 100 << 22;
    QTest::newRow("more than 1,000 ticks") << 10000.0 << 1.0 << 363 << 19;
    QTest::newRow("a mark too small to add") << 100.0 << 1e-300 << 363 << 19;
    QTest::newRow("no mark") << 100.0 << 0.0 << 0 << -1;
}

void TstChart::striche() {
    QFETCH(double, ende);
    QFETCH(double, mark);
    QFETCH(int, zeilen);
    QFETCH(int, oberste);
    endwert = ende;
    skala_mark = mark;
    const QImage bild = chart(150, 400);
    QList<int> gefunden;
    for (int y = 0; y < bild.height(); ++y)
        if (bild.pixelColor(38, y) == Qt::black)
            gefunden << y;
    QCOMPARE(gefunden.size(), zeilen);
    QCOMPARE(gefunden.value(0, -1), oberste);
}

// Outliers that fall on the same pixel row share one mark, however many there are: 5,000
// outliers between 1500 and 1501 take at most two rows.
void TstChart::eine_ausreissermarke_je_zeile() {
    std::string liste = "1500";
    for (int i = 0; i < 25000; ++i)
        liste += i < 20000 ? "\r" + std::to_string(40 + i % 21) : "\r1500," + std::to_string(i);
    daten_werteliste(1) = liste;
    Werte_aus_daten_berechnen(1);
    daten_satzart(1) = satzart_datenreihe;
    endwert = 2000;
    einen_boxplot_zeichnen(150, 400, 1, true);
    const auto& alle = bild_transfer->zeichnungen();
    const auto marken = std::count_if(alle.begin(), alle.end(), [](const Zeichnung& z) {
        return z.art == Zeichnung::Art::DrawOval;
    });
    QVERIFY2(marken >= 1 && marken <= 2, qPrintable(QString::number(marken)));
}

// In random charts every label lies whole inside its plot and clear of every other label.
void TstChart::beschriftungen_ganz_und_getrennt() {
    std::mt19937 zufall(20261207);
    const auto zahl = [&](double von, double bis) {
        return std::uniform_real_distribution<double>(von, bis)(zufall);
    };
    for (int runde = 0; runde < 300; ++runde) {
        startwerte_setzen();
        std::tie(startwert, endwert) = std::tuple(std::round(zahl(-50, 50)), std::round(zahl(60, 300)));
        skala_mark = std::array{1.0, 2.5, 10.0, 33.33, 100.0}[zufall() % 5];
        daten_max_satz_anzahl = int32_t(1 + zufall() % 5);
        for (int32_t satz = 1; satz <= 5; ++satz) {
            std::vector<double> w(6);
            for (double& v : w)
                v = zufall() % 4 ? std::round(zahl(startwert, endwert) * 100) / 100 : w[0];
            std::sort(w.begin(), w.begin() + 5);
            boxwerte_setzen(satz, {w[0], w[1], w[2], w[3], w[4], w[5]});
        }
        chart(int32_t(zahl(110, 1500)), int32_t(zahl(166, 900)));
        for (const Zeichnung& streifen : bild_ergebnis->zeichnungen()) {
            if (streifen.art != Zeichnung::Art::DrawPicture)
                continue;
            const Picture& plot = *streifen.bild;
            const QRectF raum(0, 0, plot.width(), plot.height());
            const std::vector<QRectF> kaesten = beschriftungen(plot);
            for (std::size_t i = 0; i < kaesten.size(); ++i) {
                QVERIFY2(raum.contains(kaesten[i]), qPrintable(QString("round %1").arg(runde)));
                for (std::size_t j = 0; j < i; ++j)
                    QVERIFY2(!kaesten[i].intersects(kaesten[j]),
                             qPrintable(QString("round %1, labels %2 and %3").arg(runde).arg(j).arg(i)));
            }
        }
    }
}

// A chart picture that cannot be made leaves the previous chart in place.
void TstChart::ohne_bild_bleibt_das_alte() {
    QVERIFY(bild_zusammensetzen());
    const PicturePtr vorher = bild_ergebnis;
    for (auto [breite, hoehe] : {std::pair{0, 400}, {100000, 100000}}) {
        std::tie(breite_bild, hoehe_bild) = std::tuple(breite, hoehe);
        QVERIFY(!bild_zusammensetzen());
        QCOMPARE(bild_ergebnis, vorher);
    }
}

QTEST_MAIN(TstChart)
#include "tst_chart.moc"
