#include "ausgabe.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace {

const QString titel = QStringLiteral("Boxplot");
const QString urheber = QStringLiteral("Velmora");

// Plays the picture onto a vector device; gives the reason when painting cannot start.
std::optional<QString> vektoren_malen(const Picture& bild, QPaintDevice& geraet, const char* art) {
    QPainter maler;
    if (!maler.begin(&geraet))
        return QStringLiteral("%1 kann nicht geschrieben werden.").arg(QLatin1String(art));
    bild.abspielen(maler);
    return std::nullopt;
}

std::optional<QString> svg_schreiben(const Picture& bild, QIODevice& ziel) {
    QSvgGenerator svg;
    svg.setOutputDevice(&ziel);
    svg.setSize(QSize(bild.width(), bild.height()));
    svg.setViewBox(QRect(0, 0, bild.width(), bild.height()));
    svg.setResolution(96); // one unit is one CSS pixel
    svg.setTitle(titel);
    svg.setDescription(urheber);
    return vektoren_malen(bild, svg, "SVG");
}

// One page exactly the picture's size, one point per logical pixel.
std::optional<QString> pdf_schreiben(const Picture& bild, QIODevice& ziel) {
    QPdfWriter pdf(&ziel);
    pdf.setCreator(urheber);
    pdf.setTitle(titel);
    pdf.setResolution(72);
    pdf.setPageSize(QPageSize(QSizeF(bild.width(), bild.height()), QPageSize::Point, QString(),
                              QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    return vektoren_malen(bild, pdf, "PDF");
}

std::optional<QString> raster_schreiben(const Picture& bild, QIODevice& ziel, QByteArray format) {
    QImageWriter schreiber(&ziel, format);
    if (!schreiber.write(bild.image()))
        return schreiber.errorString();
    return std::nullopt;
}

} // namespace

std::optional<QString> SaveAsPicture(const QString& file, const PicturePtr& picture) {
    if (!picture)
        return QStringLiteral("Es gibt noch kein Bild.");
    if (picture->image().isNull())
        return QStringLiteral("Für das Bild ist nicht genug Speicher frei.");
    const QByteArray endung = QFileInfo(file).suffix().toLower().toLatin1();
    QSaveFile ausgabe(file);
    if (!ausgabe.open(QIODevice::WriteOnly))
        return ausgabe.errorString();
    std::optional<QString> fehler;
    if (endung == "svg")
        fehler = svg_schreiben(*picture, ausgabe);
    else if (endung == "pdf")
        fehler = pdf_schreiben(*picture, ausgabe);
    else
        fehler = raster_schreiben(*picture, ausgabe,
                                  QImageWriter::supportedImageFormats().contains(endung) ? endung
                                                                                         : "png");
    // QSaveFile commits even when flushing its buffer failed (a full disk), so the buffer is
    // flushed and checked here, before the old file is replaced.
    if (!fehler && (!ausgabe.flush() || ausgabe.error() != QFileDevice::NoError))
        fehler = ausgabe.errorString();
    if (fehler) {
        ausgabe.cancelWriting();
        return fehler;
    }
    if (!ausgabe.commit())
        return ausgabe.errorString();
    return std::nullopt;
}

QByteArray SvgDocument(const Picture& picture) {
    QBuffer puffer;
    puffer.open(QIODevice::WriteOnly);
    svg_schreiben(picture, puffer);
    return puffer.data();
}
