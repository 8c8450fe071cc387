// The chart as pictures: golden pictures of typical, narrow, wide, extreme and high-resolution
// charts, and the rules that a single picture does not show.
#include "chart/beschreibung.h"
#include "chart/boxplot.h"
#include "platform/output.h"
#include "support/golden.h"
#include "support/lesbar.h"
#include "support/startwerte.h"
#include "support/wahrheit.h"

#include <QPainter>
#include <QSvgRenderer>

#include <functional>

namespace {

// Outliers on both sides, equal values, an empty series (unless given), a long tail with a
// far outlier.
void fuenf_reihen(const char* vierte = "") {
    reihen_setzen({"1\r2\r3\r4\r5\r6\r7\r8\r9\r30", "-20\r1\r2\r3\r4\r5\r6\r7\r8\r9\r30",
                   "5\r5\r5\r5", vierte, "10\r20\r30\r95\r96\r97\r2\r98765,4321"});
}

// Three times 45 to 55, then 0 to 20 in steps of 2, and three outliers within a pixel or two.
const char* const dichte_ringe =
    "45\r46\r47\r48\r49\r50\r51\r52\r53\r54\r55\r45\r46\r47\r48\r49\r50\r"
    "51\r52\r53\r54\r55\r45\r46\r47\r48\r49\r50\r51\r52\r53\r54\r55\r0\r"
    "2\r4\r6\r8\r10\r12\r14\r16\r18\r20\r99,5\r99,75\r99,9";

// Every chart of these tests, with all its labels readable, legible and true.
QImage chart(int32_t breite, int32_t hoehe, double verhaeltnis = 1.0) {
    std::tie(breite_bild, hoehe_bild) = std::tuple(breite, hoehe);
    bild_zusammensetzen(verhaeltnis);
    for (const std::string& fehler :
         {unlesbare_beschriftung(*bild_ergebnis), unwahre_beschriftung(*bild_ergebnis),
          schrift_hoehe > 0 ? std::string() : zu_kleine_beschriftung(*bild_ergebnis, 5)})
        if (!fehler.empty())
            QTest::qFail(fehler.c_str(), __FILE__, __LINE__);
    return bild_ergebnis->image();
}

// One chart for each of the scale's extremes, side by side: start above end, no range, a
// range beyond a double, marks too small to add up, dense marks, more than 1,000 ticks (drawn
// at a multiple of the mark over the whole axis), a mark lost in the start value, no mark;
// with values at the limits of a double.
QImage grenzfaelle() {
    const double skalen[][3] = {{100, 0, 10},      {50, 50, 10},        {-1.7e308, 1.7e308, 1e307},
                                {0, 100, 1e-300},  {0, 100, 1},         {0, 10000, 1},
                                {1e300, 2e300, 1}, {-1e-300, 1e-300, 0}};
    std::vector<QImage> alle;
    for (const auto& [start, ende, mark] : skalen) {
        wie_nach_dem_start();
        std::tie(startwert, endwert, skala_mark) = std::tuple(start, ende, mark);
        boxwerte_setzen(1, {-1e308, 0, 1e-300, 0, 1e308, 0});
        alle.push_back(chart(150, 300));
    }
    return nebeneinander(alle);
}

QImage svg_gerendert() {
    QImage ziel(bild_ergebnis->width(), bild_ergebnis->height(), QImage::Format_RGB32);
    ziel.fill(Qt::white);
    QPainter maler(&ziel);
    QSvgRenderer(svgDocument(*bild_ergebnis)).render(&maler);
    return ziel;
}

const std::map<QString, std::function<QImage()>> diagramme = {
    {"start", [] { return chart(150, 400); }},
    {"fuenf_saetze", [] { return fuenf_reihen(), chart(600, 500); }},
    {"schmal", [] { return fuenf_reihen(), chart(110, 166); }},
    // The mean and a quartile share their places with the whisker's label, and move.
    {"satz_d",
     [] {
         fuenf_reihen("-5\r10\r15\r20\r25\r105");
         return nebeneinander({chart(150, 400), chart(190, 434)});
     }},
    {"breit", [] { return fuenf_reihen(), daten_max_satz_anzahl = 2, chart(1500, 300); }},
    {"einzeln_schrift_20",
     [] {
         return fuenf_reihen(), daten_alle_saetze_zeichnen = false, daten_akt_satz = 2,
                                schrift_hoehe = 20, chart(400, 400);
     }},
    {"grenzfaelle", grenzfaelle},
    {"start_verhaeltnis_2", [] { return chart(150, 400, 2.0); }},
    {"fuenf_saetze_verhaeltnis_1_5", [] { return fuenf_reihen(), chart(600, 500, 1.5); }},
    {"fuenf_saetze_svg", [] { return fuenf_reihen(), chart(600, 500), svg_gerendert(); }},
    // Rings that stay hollow beside a mean shrunk to a small dot, at every device pixel ratio.
    {"schmal_verhaeltnisse",
     [] {
         std::vector<QImage> bilder;
         for (double verhaeltnis : {1.25, 1.5, 1.75, 2.0, 3.0}) {
             fuenf_reihen(), bilder.push_back(chart(110, 166, verhaeltnis));
         }
         return nebeneinander(bilder);
     }},
    // Scales without a series' labels: ticks one of 1, 2, 5, 10, 20, ... marks apart, never
    // running together at the device's resolution (10000 by 1 at ratio 2), labels at one such
    // step along the whole axis with the decimals their ticks need (0.004, 0.005, 1e-7), at
    // full size on a coarser step where they can (100 by 0.7 in 100 pixels); the step in words.
    {"skalen",
     [] {
         std::vector<QImage> bilder;
         for (const auto& [ende, mark, breite, verhaeltnis] : {std::tuple{1.0, 0.004, 150, 1.5},
                                                               {0.02, 0.005, 150, 1.0},
                                                               {1e-6, 1e-7, 150, 1.0},
                                                               {100.0, 0.7, 100, 1.0},
                                                               {10000.0, 1.0, 150, 2.0}}) {
             std::tie(endwert, skala_mark, box_werte_anzeigen, daten_reihenname) =
                 std::tuple(ende, mark, false, "");
             bilder.push_back(chart(breite, 400, verhaeltnis));
         }
         if (!bild_ergebnis->description().endsWith(", Markierung alle 100."))
             QTest::qFail("the step of the ticks in words", __FILE__, __LINE__);
         return nebeneinander(bilder);
     }},
    // Rings 1 pixel apart, and rings closer than their labels are high.
    {"dichte_ausreisser", [] { return fuenf_reihen(dichte_ringe), chart(800, 500); }},
    // Checked by chart() alone, without a picture: a narrow plot whose long scale labels must
    // not shrink below a legible size.
    {"-100 to -50",
     [] { return fuenf_reihen(), startwert = -100, endwert = -50, chart(150, 400), QImage(); }},
};

} // namespace

class TstChart : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testumgebung_einrichten(); }
    void init() { wie_nach_dem_start(); }

    void goldene_bilder_data() {
        QTest::addColumn<QString>("name");
        for (const auto& [name, bild] : diagramme)
            QTest::newRow(qPrintable(name)) << name;
    }
    void goldene_bilder() {
        QFETCH(QString, name);
        if (const QImage bild = diagramme.at(name)(); !bild.isNull())
            VERGLEICHE_GOLDEN(name, bild, text_toleranz);
    }

    // 5,000 outliers between 1500 and 1501 fall on at most two pixel rows, and get a mark each.
    void eine_ausreissermarke_je_zeile() {
        std::string liste = "1500";
        for (int i = 0; i < 25000; ++i)
            liste += i < 20000 ? "\r" + std::to_string(40 + i % 21) : "\r1500," + std::to_string(i);
        reihen_setzen({liste.c_str()});
        endwert = 2000;
        einen_boxplot_zeichnen(150, 400, 1, true);
        const auto marken =
            std::ranges::count(bild_transfer->drawings(), Drawing::Kind::DrawOval, &Drawing::kind);
        QVERIFY2(marken >= 1 && marken <= 2, qPrintable(QString::number(marken)));
    }
};

QTEST_MAIN(TstChart)
#include "tst_chart.moc"
