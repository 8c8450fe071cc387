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

// Writes bild_ergebnis to the given file, PNG unless the name's suffix asks for another
// format Qt can write; a name without a suffix gets ".png". Gives the reason of a failure.
std::optional<QString> bild_schreiben(QString datei);

} // namespace Proc
