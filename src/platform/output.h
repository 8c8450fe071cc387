// Pictures written out: to a file, and as an SVG document for the clipboard.
#pragma once

#include "platform/picture.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// Why a picture could not be written.
struct SaveError {
    enum class Kind {
        NoPicture,      // there is no picture to write
        NoMemory,       // the raster of the picture cannot be had
        Format,         // the format cannot be written
        NoFolder,       // the folder does not exist
        IsFolder,       // the name is that of a folder
        ReadOnlyVolume, // the folder lies on a read-only file system
        FolderNotWritable,
        DiskFull,   // see needed and available
        WriteFailed // the device reported another error
    };
    Kind kind;
    QString format = {};   // Format: the format's name, such as "PDF"
    int64_t needed = 0;    // DiskFull: the bytes the file needs
    int64_t available = 0; // DiskFull: the bytes free on its file system
};

// Writes a picture to a file, replacing an existing file only by a complete new one. A name
// ending in ".svg" gives an SVG file and ".pdf" a one-page PDF, both drawn as vectors (shapes
// as shapes, text as text in the picture's font); any other name the raster at the picture's
// device pixel ratio, in the format of the name's suffix when Qt can write it, else PNG. Gives
// what went wrong when the file could not be written, nothing on success.
std::optional<SaveError> SaveAsPicture(const QString& file, const PicturePtr& picture);

// Whether SaveAsPicture writes the format a file suffix names ("svg", "pdf", "png", "jpg", ...).
bool writesFormat(const QString& suffix);

// The picture as an SVG document, one unit per logical pixel.
QByteArray svgDocument(const Picture& picture);
