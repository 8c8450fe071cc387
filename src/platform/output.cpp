#include "output.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStorageInfo>
#include <QSvgGenerator>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace {

const QString creator = QStringLiteral("Velmora");

SaveError formatError(const char* format) {
    return {SaveError::Kind::Format, QString::fromLatin1(format).toUpper()};
}

// A picture's title, or the application's name where it has none.
QString titleOf(const Picture& picture) {
    return picture.title().isEmpty() ? creator : picture.title();
}

// Plays the picture onto a vector device; gives the reason when painting cannot start.
std::optional<SaveError> paintVectors(const Picture& picture, QPaintDevice& device,
                                      const char* kind) {
    QPainter painter;
    if (!painter.begin(&device))
        return formatError(kind);
    picture.play(painter);
    return std::nullopt;
}

std::optional<SaveError> writeSvg(const Picture& picture, QIODevice& target) {
    QSvgGenerator svg;
    svg.setOutputDevice(&target);
    svg.setSize(QSize(picture.width(), picture.height()));
    svg.setViewBox(QRect(0, 0, picture.width(), picture.height()));
    svg.setResolution(96); // one unit is one CSS pixel
    svg.setTitle(titleOf(picture));
    svg.setDescription(picture.description());
    return paintVectors(picture, svg, "SVG");
}

// A PDF text string: UTF-16 with its byte order mark, written in hex.
QByteArray pdfText(const QString& text) {
    QByteArray utf16("\xFE\xFF", 2);
    for (const QChar character : text) {
        utf16 += char(character.unicode() >> 8);
        utf16 += char(character.unicode() & 0xFF);
    }
    return '<' + utf16.toHex() + '>';
}

// QPdfWriter writes no subject. A finished PDF gets one by an incremental update, the format's
// own way to change a written file: the document information dictionary defined anew with
// the subject added, a cross-reference section for it and a trailer pointing back to the
// first. A PDF whose end does not read as expected is left as it is.
void addSubject(QByteArray& pdf, const QString& subject) {
    const qsizetype trailer = pdf.lastIndexOf("trailer");
    const QRegularExpressionMatch end =
        QRegularExpression(
            R"(/Size (\d+).*/Info (\d+ \d+) R.*/Root (\d+ \d+) R.*startxref\s+(\d+))",
            QRegularExpression::DotMatchesEverythingOption)
            .match(QString::fromLatin1(pdf.mid(trailer)));
    if (trailer < 0 || !end.hasMatch())
        return;
    const QByteArray info = end.captured(2).toLatin1();
    const qsizetype start = pdf.indexOf("\n" + info + " obj\n<<");
    const qsizetype objectEnd = pdf.indexOf(">>\nendobj", start);
    if (start < 0 || objectEnd < 0)
        return;
    const QByteArray entries = pdf.mid(start, objectEnd - start);
    const qsizetype added = pdf.size();
    pdf += entries.mid(1) + "/Subject " + pdfText(subject) + "\n>>\nendobj\n";
    const qsizetype xrefStart = pdf.size();
    pdf += "xref\n" + info.split(' ').first() + " 1\n" +
           QByteArray::number(added).rightJustified(10, '0') + ' ' +
           info.split(' ').last().rightJustified(5, '0') + " n \ntrailer\n<<\n/Size " +
           end.captured(1).toLatin1() + "\n/Info " + info + " R\n/Root " +
           end.captured(3).toLatin1() + " R\n/Prev " + end.captured(4).toLatin1() +
           "\n>>\nstartxref\n" + QByteArray::number(xrefStart) + "\n%%EOF\n";
}

// One page exactly the picture's size, one point per logical pixel, with the picture's title
// and description as the document's title and subject.
std::optional<SaveError> writePdf(const Picture& picture, QIODevice& target) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(creator);
        pdf.setTitle(titleOf(picture));
        pdf.setResolution(72);
        pdf.setPageSize(QPageSize(QSizeF(picture.width(), picture.height()), QPageSize::Point,
                                  QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        if (auto error = paintVectors(picture, pdf, "PDF"))
            return error;
    }
    QByteArray data = buffer.data();
    if (!picture.description().isEmpty())
        addSubject(data, picture.description());
    if (target.write(data) != data.size())
        return formatError("pdf");
    return std::nullopt;
}

std::optional<SaveError> writeRaster(const Picture& picture, QIODevice& target, QByteArray format) {
    QImageWriter writer(&target, format);
    if (!writer.write(picture.image()))
        return formatError(format.constData());
    return std::nullopt;
}

// The file's content in the format its suffix names, PNG where no format is written for it.
std::optional<SaveError> encode(const Picture& picture, QIODevice& device, const QString& file) {
    const QByteArray suffix = QFileInfo(file).suffix().toLower().toLatin1();
    if (suffix == "svg")
        return writeSvg(picture, device);
    if (suffix == "pdf")
        return writePdf(picture, device);
    return writeRaster(picture, device, writesFormat(suffix) ? suffix : "png");
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

// What kept a file of the given size from being written.
SaveError writeError(const QString& file, qint64 size, QFileDevice::FileError error) {
    using Kind = SaveError::Kind;
    const QFileInfo info(file);
    const QFileInfo folder(info.absolutePath());
    const QStorageInfo storage(folder.absoluteFilePath());
    if (!folder.isDir())
        return {Kind::NoFolder};
    if (info.isDir())
        return {Kind::IsFolder};
    if (storage.isReadOnly())
        return {Kind::ReadOnlyVolume};
    if (!folder.isWritable())
        return {Kind::FolderNotWritable};
    if (error == QFileDevice::ResourceError || storage.bytesAvailable() < size)
        return {Kind::DiskFull, {}, size, std::max<qint64>(0, storage.bytesAvailable())};
    return {Kind::WriteFailed};
}

} // namespace

bool writesFormat(const QString& suffix) {
    const QByteArray format = suffix.toLower().toLatin1();
    return format == "svg" || format == "pdf" ||
           QImageWriter::supportedImageFormats().contains(format);
}

// The whole file is made in memory and then written with one checked call, so that a write
// error an encoder would lose (the SVG generator's text stream loses them) cannot leave a
// broken file behind.
std::optional<SaveError> SaveAsPicture(const QString& file, const PicturePtr& picture) {
    if (!picture)
        return SaveError{SaveError::Kind::NoPicture};
    if (picture->image().isNull())
        return SaveError{SaveError::Kind::NoMemory};
    QBuffer data;
    data.open(QIODevice::WriteOnly);
    if (const auto error = encode(*picture, data, file))
        return error;
    if (const auto error = replaceFile(file, data.data()))
        return writeError(file, data.size(), *error);
    return std::nullopt;
}

QByteArray svgDocument(const Picture& picture) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeSvg(picture, buffer);
    return buffer.data();
}
