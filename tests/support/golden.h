// Golden pictures: a rendered picture is compared with its baseline tests/golden/<name>.png.
// It fails when the root-mean-square difference of the colour channels (0 to 255) exceeds the
// tolerance, and then writes <name>.png (actual) and <name>.diff.png (differing pixels black
// on a faded copy of the baseline) into golden-results/ in the build folder. With
// VELMORA_GOLDEN_UPDATE=1 the actual picture becomes the new baseline (tools/golden.sh).
#pragma once

#include <QDir>
#include <QImage>
#include <QTest>

#include <cmath>

// The tolerance for pictures with text: the antialiased edges of glyphs may differ by a few
// levels between FreeType versions and platforms; a label moved by one pixel or a wrong digit
// lies far above it (RMS 4 to 20 in the pictures of the tests).
constexpr double text_toleranz = 1.0;

inline QString golden_abweichung(const QString& name, const QImage& bild, double toleranz) {
    const QImage ist = bild.convertToFormat(QImage::Format_RGB32);
    const QString basis = QStringLiteral(VELMORA_GOLDEN_DIR "/%1.png").arg(name);
    if (qEnvironmentVariableIntValue("VELMORA_GOLDEN_UPDATE") == 1)
        return ist.save(basis) ? QString() : "cannot write " + basis;
    const QImage soll = QImage(basis).convertToFormat(QImage::Format_RGB32);
    QImage unterschied = soll.convertToFormat(QImage::Format_Grayscale8);
    double summe = soll.size() == ist.size() ? 0 : qInf();
    for (int y = 0; std::isfinite(summe) && y < soll.height(); ++y)
        for (int x = 0; x < soll.width(); ++x) {
            const QRgb a = soll.pixel(x, y), b = ist.pixel(x, y);
            summe += std::pow(qRed(a) - qRed(b), 2) + std::pow(qGreen(a) - qGreen(b), 2) +
                     std::pow(qBlue(a) - qBlue(b), 2);
            unterschied.setPixel(x, y, a == b ? qGray(a) / 2 + 128 : 0);
        }
    const double rms = std::sqrt(summe / (3.0 * ist.width() * ist.height()));
    if (rms <= toleranz)
        return {};
    const QDir ergebnisse(QStringLiteral(VELMORA_GOLDEN_RESULTS));
    ergebnisse.mkpath(".");
    ist.save(ergebnisse.filePath(name + ".png"));
    unterschied.save(ergebnisse.filePath(name + ".diff.png"));
    return QStringLiteral("%1: RMS difference %2 above %3; see %4")
        .arg(name, QString::number(rms), QString::number(toleranz), ergebnisse.path());
}

#define VERGLEICHE_GOLDEN(name, bild, toleranz)                                                    \
    do {                                                                                           \
        const QString abweichung = golden_abweichung(name, bild, toleranz);                        \
        QVERIFY2(abweichung.isEmpty(), qPrintable(abweichung));                                    \
    } while (false)
