// Golden pictures: a rendered picture is compared with its baseline tests/golden/<name>.png.
// It fails when the root-mean-square difference of the colour channels (0 to 255) exceeds the
// tolerance over the whole picture, or eight times the tolerance in any tile of 16 × 16 device
// pixels, and then writes <name>.png (actual) and <name>.diff.png (differing pixels black
// on a faded copy of the baseline) into golden-results/ in the build folder. With
// VELMORA_GOLDEN_UPDATE=1 the actual picture becomes the new baseline (tools/golden.sh).
#pragma once

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

// The tolerance for pictures with text: the antialiased edges of glyphs may differ by a few
// levels between FreeType versions and platforms. The whole picture's RMS catches a change
// spread over it (a wrong colour); a tile's catches a small one in a large picture, where it
// would vanish in the whole: a tick moved by one pixel or one wrong digit gives a tile RMS of 35
// to 120 at ratios 1 and 2, and a whole RMS of only 1 to 3.
constexpr double text_toleranz = 1.0;
constexpr double kachel_faktor = 8.0;

struct Abweichung {
    double ganz = 0;   // RMS over the whole picture
    double kachel = 0; // the largest RMS of a tile
};

// The root-mean-square differences of the colour channels over the whole picture and over its
// tiles of kachel × kachel device pixels, and a picture of the differing pixels: black on a
// faded copy of soll.
inline Abweichung abweichung_messen(const QImage& soll, const QImage& ist, QImage& unterschied) {
    constexpr int kachel = 16;
    unterschied = soll.convertToFormat(QImage::Format_Grayscale8);
    if (soll.size() != ist.size())
        return {qInf(), qInf()};
    Abweichung ergebnis;
    for (int ky = 0; ky < soll.height(); ky += kachel)
        for (int kx = 0; kx < soll.width(); kx += kachel) {
            double summe = 0;
            int pixel = 0;
            for (int y = ky; y < std::min(ky + kachel, soll.height()); ++y)
                for (int x = kx; x < std::min(kx + kachel, soll.width()); ++x, ++pixel) {
                    const QRgb a = soll.pixel(x, y), b = ist.pixel(x, y);
                    summe += std::pow(qRed(a) - qRed(b), 2) + std::pow(qGreen(a) - qGreen(b), 2) +
                             std::pow(qBlue(a) - qBlue(b), 2);
                    unterschied.setPixel(x, y, a == b ? qGray(a) / 2 + 128 : 0);
                }
            ergebnis.kachel = std::max(ergebnis.kachel, std::sqrt(summe / (3.0 * pixel)));
            ergebnis.ganz += summe;
        }
    ergebnis.ganz = std::sqrt(ergebnis.ganz / (3.0 * soll.width() * soll.height()));
    return ergebnis;
}

inline QString golden_abweichung(const QString& name, const QImage& bild, double toleranz) {
    const QImage ist = bild.convertToFormat(QImage::Format_RGB32);
    const QString basis = QStringLiteral(VELMORA_GOLDEN_DIR "/%1.png").arg(name);
    if (qEnvironmentVariableIntValue("VELMORA_GOLDEN_UPDATE") == 1)
        return ist.save(basis) ? QString() : "cannot write " + basis;
    const QImage soll = QImage(basis).convertToFormat(QImage::Format_RGB32);
    QImage unterschied;
    const Abweichung rms = abweichung_messen(soll, ist, unterschied);
    if (rms.ganz <= toleranz && rms.kachel <= kachel_faktor * toleranz)
        return {};
    const QDir ergebnisse(QStringLiteral(VELMORA_GOLDEN_RESULTS));
    ergebnisse.mkpath(".");
    ist.save(ergebnisse.filePath(name + ".png"));
    unterschied.save(ergebnisse.filePath(name + ".diff.png"));
    return QStringLiteral("%1: RMS difference %2, in a tile %3, above %4 and %5; see %6")
        .arg(name, QString::number(rms.ganz), QString::number(rms.kachel),
             QString::number(toleranz), QString::number(kachel_faktor * toleranz),
             ergebnisse.path());
}

// Pictures side by side, top-aligned, device pixel for device pixel, on a ground of one colour.
inline QImage nebeneinander(const std::vector<QImage>& bilder, QColor grund = Qt::white) {
    int breite = 0, hoehe = 0;
    for (const QImage& bild : bilder)
        breite += bild.width(), hoehe = std::max(hoehe, bild.height());
    QImage alle(breite, hoehe, QImage::Format_RGB32);
    alle.fill(grund);
    QPainter maler(&alle);
    for (int x = 0; QImage bild : bilder) {
        bild.setDevicePixelRatio(1);
        maler.drawImage(std::exchange(x, x + bild.width()), 0, bild);
    }
    return alle;
}

#define VERGLEICHE_GOLDEN(name, bild, toleranz)                                                    \
    do {                                                                                           \
        const QString abweichung = golden_abweichung(name, bild, toleranz);                        \
        QVERIFY2(abweichung.isEmpty(), qPrintable(abweichung));                                    \
    } while (false)
