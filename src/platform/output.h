// Pictures written out: to a file, and as an SVG document for the clipboard.
#pragma once

#include "platform/picture.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Writes a picture to a file, replacing an existing file only by a complete new one. A name
// ending in ".svg" gives an SVG file and ".pdf" a one-page PDF, both drawn as vectors (shapes
// as shapes, text as text in the picture's font); any other name the raster at the picture's
// device pixel ratio, in the format of the name's suffix when Qt can write it, else PNG. Gives
// the reason when the file could not be written, in German and saying what to do (another
// folder, free space), nothing on success.
std::optional<QString> SaveAsPicture(const QString& file, const PicturePtr& picture);

// Whether SaveAsPicture writes the format a file suffix names ("svg", "pdf", "png", "jpg", ...).
bool WritesFormat(const QString& suffix);

// The picture as an SVG document, one unit per logical pixel.
QByteArray SvgDocument(const Picture& picture);
