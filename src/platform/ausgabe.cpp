#include "ausgabe.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStorageInfo>
#include <QSvgGenerator>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace {

const QString titel = QStringLiteral("Boxplot");
const QString urheber = QStringLiteral("Velmora");

QString formatError(const char* format) {
    return QStringLiteral("Als %1 lässt sich das Bild nicht schreiben. Bitte eine andere Endung "
                          "wählen, etwa „.png“.")
        .arg(QString::fromLatin1(format).toUpper());
}

// Plays the picture onto a vector device; gives the reason when painting cannot start.
std::optional<QString> vektoren_malen(const Picture& bild, QPaintDevice& geraet, const char* art) {
    QPainter maler;
    if (!maler.begin(&geraet))
        return formatError(art);
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
        return formatError(format.constData());
    return std::nullopt;
}

// The file's content in the format its suffix names, PNG where no format is written for it.
std::optional<QString> encode(const Picture& picture, QIODevice& device, const QString& file) {
    const QByteArray suffix = QFileInfo(file).suffix().toLower().toLatin1();
    if (suffix == "svg")
        return svg_schreiben(picture, device);
    if (suffix == "pdf")
        return pdf_schreiben(picture, device);
    return raster_schreiben(picture, device, WritesFormat(suffix) ? suffix : "png");
}

// Whether the written data reached the disk: some file systems report a full disk only here.
bool reachedDisk(QSaveFile& file) {
#if defined(Q_OS_UNIX)
    return ::fsync(file.handle()) == 0;
#else
    return true;
#endif
}

// Writes the data to a temporary file that replaces the old file once it is complete; gives the
// error when that fails, after the temporary file is gone.
std::optional<QFileDevice::FileError> replaceFile(const QString& file, const QByteArray& data) {
    QSaveFile output(file);
    if (output.open(QIODevice::WriteOnly) && output.write(data) == data.size() && output.flush() &&
        reachedDisk(output) && output.commit())
        return std::nullopt;
    return output.error();
}

// Why a file of the given size could not be written, and what to do, in the user's words.
QString writeError(const QString& file, qint64 size, QFileDevice::FileError error) {
    const QFileInfo info(file);
    const QFileInfo folder(info.absolutePath());
    const QStorageInfo storage(folder.absoluteFilePath());
    const QString elsewhere = QStringLiteral(" Bitte einen anderen Ordner wählen.");
    if (!folder.isDir())
        return QStringLiteral("Diesen Ordner gibt es nicht.") + elsewhere;
    if (info.isDir())
        return QStringLiteral("Unter diesem Namen gibt es schon einen Ordner. Bitte einen anderen "
                              "Namen wählen.");
    if (storage.isReadOnly())
        return QStringLiteral("Der Ordner liegt auf einem schreibgeschützten Datenträger.") +
               elsewhere;
    if (!folder.isWritable())
        return QStringLiteral("In diesen Ordner darf nicht geschrieben werden.") + elsewhere;
    if (error == QFileDevice::ResourceError || storage.bytesAvailable() < size) {
        const auto kb = [](qint64 bytes) {
            return QLocale(QLocale::German)
                .formattedDataSize(bytes, 0, QLocale::DataSizeTraditionalFormat);
        };
        return QStringLiteral("Auf dem Datenträger ist nicht genug Platz frei: das Bild braucht "
                              "%1, frei sind %2. Bitte Platz schaffen oder einen anderen Ordner "
                              "wählen.")
            .arg(kb(size), kb(std::max<qint64>(0, storage.bytesAvailable())));
    }
    return QStringLiteral("Der Datenträger hat beim Schreiben einen Fehler gemeldet.") + elsewhere;
}

} // namespace

bool WritesFormat(const QString& suffix) {
    const QByteArray format = suffix.toLower().toLatin1();
    return format == "svg" || format == "pdf" ||
           QImageWriter::supportedImageFormats().contains(format);
}

// The whole file is made in memory and then written with one checked call, so that a write
// error an encoder would lose (the SVG generator's text stream loses them) cannot leave a
// broken file behind.
std::optional<QString> SaveAsPicture(const QString& file, const PicturePtr& picture) {
    if (!picture)
        return QStringLiteral("Es gibt noch kein Bild.");
    if (picture->image().isNull())
        return QStringLiteral("Für das Bild ist nicht genug Speicher frei. Bitte das "
                              "Diagrammfenster verkleinern.");
    QBuffer data;
    data.open(QIODevice::WriteOnly);
    if (const auto error = encode(*picture, data, file))
        return error;
    if (const auto error = replaceFile(file, data.data()))
        return writeError(file, data.size(), *error);
    return std::nullopt;
}

QByteArray SvgDocument(const Picture& picture) {
    QBuffer puffer;
    puffer.open(QIODevice::WriteOnly);
    svg_schreiben(picture, puffer);
    return puffer.data();
}
