// Saving the chart picture to a file the user chooses.
#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace Proc {

// Asks for a file name (offering "bild") and writes the chart picture bild_ergebnis there as
// it was last composed. Cancelling writes nothing; a failed write is reported in a message
// box and leaves an existing file untouched.
void bild_speichern();

// Writes bild_ergebnis to the file bildname(datei): as SVG or PDF for those suffixes, else as a
// picture at the chart's device pixel ratio in the format of the suffix. Gives the reason of a
// failure, in German and saying what to do.
std::optional<QString> bild_schreiben(const QString& datei);

// The name a picture is written under: a name whose suffix is not a picture format written
// (none, or the end of a date as in "Messung 07.12.2026") gets ".png".
QString bildname(QString datei);

// Puts the chart on the clipboard, as a picture at its device pixel ratio and as SVG.
void bild_kopieren();

} // namespace Proc
