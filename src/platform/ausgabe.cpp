#include "ausgabe.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgGenerator>

namespace {

const QString urheber = QStringLiteral("Velmora");

// A picture's title, or the application's name where it has none.
QString titel(const Picture& bild) {
    return bild.title().isEmpty() ? urheber : bild.title();
}

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
    svg.setTitle(titel(bild));
    svg.setDescription(bild.description());
    return vektoren_malen(bild, svg, "SVG");
}

// A PDF text string: UTF-16 with its byte order mark, written in hex.
QByteArray pdf_text(const QString& text) {
    QByteArray utf16("\xFE\xFF", 2);
    for (const QChar zeichen : text) {
        utf16 += char(zeichen.unicode() >> 8);
        utf16 += char(zeichen.unicode() & 0xFF);
    }
    return '<' + utf16.toHex() + '>';
}

// QPdfWriter writes no subject. A finished PDF gets one by an incremental update, the format's
// own way to change a written file: the document information dictionary defined anew with
// the subject added, a cross-reference section for it and a trailer pointing back to the
// first. A PDF whose end does not read as expected is left as it is.
void thema_anfuegen(QByteArray& pdf, const QString& thema) {
    const qsizetype trailer = pdf.lastIndexOf("trailer");
    const QRegularExpressionMatch ende =
        QRegularExpression(
            R"(/Size (\d+).*/Info (\d+ \d+) R.*/Root (\d+ \d+) R.*startxref\s+(\d+))",
            QRegularExpression::DotMatchesEverythingOption)
            .match(QString::fromLatin1(pdf.mid(trailer)));
    if (trailer < 0 || !ende.hasMatch())
        return;
    const QByteArray info = ende.captured(2).toLatin1();
    const qsizetype anfang = pdf.indexOf("\n" + info + " obj\n<<");
    const qsizetype schluss = pdf.indexOf(">>\nendobj", anfang);
    if (anfang < 0 || schluss < 0)
        return;
    const QByteArray eintraege = pdf.mid(anfang, schluss - anfang);
    const qsizetype neu = pdf.size();
    pdf += eintraege.mid(1) + "/Subject " + pdf_text(thema) + "\n>>\nendobj\n";
    const qsizetype querverweise = pdf.size();
    pdf += "xref\n" + info.split(' ').first() + " 1\n" +
           QByteArray::number(neu).rightJustified(10, '0') + ' ' +
           info.split(' ').last().rightJustified(5, '0') + " n \ntrailer\n<<\n/Size " +
           ende.captured(1).toLatin1() + "\n/Info " + info + " R\n/Root " +
           ende.captured(3).toLatin1() + " R\n/Prev " + ende.captured(4).toLatin1() +
           "\n>>\nstartxref\n" + QByteArray::number(querverweise) + "\n%%EOF\n";
}

// One page exactly the picture's size, one point per logical pixel, with the picture's title
// and description as the document's title and subject.
std::optional<QString> pdf_schreiben(const Picture& bild, QIODevice& ziel) {
    QBuffer puffer;
    puffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&puffer);
        pdf.setCreator(urheber);
        pdf.setTitle(titel(bild));
        pdf.setResolution(72);
        pdf.setPageSize(QPageSize(QSizeF(bild.width(), bild.height()), QPageSize::Point, QString(),
                                  QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        if (auto fehler = vektoren_malen(bild, pdf, "PDF"))
            return fehler;
    }
    QByteArray daten = puffer.data();
    if (!bild.description().isEmpty())
        thema_anfuegen(daten, bild.description());
    if (ziel.write(daten) != daten.size())
        return ziel.errorString();
    return std::nullopt;
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
