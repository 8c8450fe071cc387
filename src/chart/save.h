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

// Writes bild_ergebnis to the given file: as SVG or PDF for those suffixes, else as a picture
// at the chart's device pixel ratio, PNG unless the suffix asks for another format Qt can
// write. A name without a suffix gets ".png". Gives the reason of a failure.
std::optional<QString> bild_schreiben(QString datei);

// Whether a file name has a suffix: the save dialog's own rule, any point in the name.
bool hat_endung(const QString& datei);

// Puts the chart on the clipboard, as a picture at its device pixel ratio and as SVG.
void bild_kopieren();

} // namespace Proc
