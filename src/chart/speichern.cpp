#include "speichern.h"

#include "chart/bilder.h"
#include "platform/output.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>

namespace Proc {

namespace {

const QString standardname = QStringLiteral("bild");

QString vorgeschlagener_pfad() {
    QString ordner = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (ordner.isEmpty() || !QDir(ordner).exists())
        ordner = QDir::homePath();
    return QDir(ordner).filePath(standardname);
}

// Whether the user agrees to replace an existing file.
bool ersetzen(const QString& datei) {
    QMessageBox frage(QMessageBox::Question, QStringLiteral("Bild speichern"),
                      QStringLiteral("„%1“ gibt es schon.\nSoll die Datei ersetzt werden?")
                          .arg(QDir::toNativeSeparators(datei)),
                      QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    frage.button(QMessageBox::Yes)->setText(QStringLiteral("Ersetzen"));
    frage.button(QMessageBox::No)->setText(QStringLiteral("Nicht ersetzen"));
    frage.setDefaultButton(QMessageBox::No);
    return frage.exec() == QMessageBox::Yes;
}

// The save dialog; gives the name that is to be written, or an empty name when the user cancels.
// The question before replacing a file is asked here, about the name really written, and a
// "no" brings the dialog back.
QString datei_erfragen() {
    QString vorschlag = vorgeschlagener_pfad();
    for (;;) {
        QFileDialog dialog(QApplication::activeWindow(), QStringLiteral("Bild speichern"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.selectFile(vorschlag);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        const QString datei = bildname(dialog.selectedFiles().constFirst());
        if (!QFileInfo::exists(datei) || ersetzen(datei))
            return datei;
        vorschlag = datei;
    }
}

// What went wrong in the user's words, and what to do about it: another folder, a name or a
// suffix, free space, or a smaller chart window where the picture's memory ran out.
QString meldung(const SaveError& fehler) {
    const QString anderswo = QStringLiteral(" Bitte einen anderen Ordner wählen.");
    const auto groesse = [](int64_t bytes) {
        return QLocale(QLocale::German)
            .formattedDataSize(bytes, 0, QLocale::DataSizeTraditionalFormat);
    };
    switch (fehler.kind) {
    case SaveError::Kind::NoPicture:
        return QStringLiteral("Es gibt noch kein Bild.");
    case SaveError::Kind::NoMemory:
        return QStringLiteral("Für das Bild ist nicht genug Speicher frei. Bitte das "
                              "Diagrammfenster verkleinern.");
    case SaveError::Kind::Format:
        return QStringLiteral("Als %1 lässt sich das Bild nicht schreiben. Bitte eine andere "
                              "Endung wählen, etwa „.png“.")
            .arg(fehler.format);
    case SaveError::Kind::NoFolder:
        return QStringLiteral("Diesen Ordner gibt es nicht.") + anderswo;
    case SaveError::Kind::IsFolder:
        return QStringLiteral("Unter diesem Namen gibt es schon einen Ordner. Bitte einen "
                              "anderen Namen wählen.");
    case SaveError::Kind::ReadOnlyVolume:
        return QStringLiteral("Der Ordner liegt auf einem schreibgeschützten Datenträger.") +
               anderswo;
    case SaveError::Kind::FolderNotWritable:
        return QStringLiteral("In diesen Ordner darf nicht geschrieben werden.") + anderswo;
    case SaveError::Kind::DiskFull:
        return QStringLiteral("Auf dem Datenträger ist nicht genug Platz frei: das Bild braucht "
                              "%1, frei sind %2. Bitte Platz schaffen oder einen anderen Ordner "
                              "wählen.")
            .arg(groesse(fehler.needed), groesse(fehler.available));
    case SaveError::Kind::WriteFailed:
        break;
    }
    return QStringLiteral("Der Datenträger hat beim Schreiben einen Fehler gemeldet.") + anderswo;
}

} // namespace

QString bildname(QString datei) {
    if (!writesFormat(QFileInfo(datei).suffix()))
        datei += datei.endsWith(QLatin1Char('.')) ? QStringLiteral("png") : QStringLiteral(".png");
    return datei;
}

std::optional<QString> bild_schreiben(const QString& datei) {
    if (const auto fehler = SaveAsPicture(bildname(datei), bild_ergebnis))
        return meldung(*fehler);
    return std::nullopt;
}

void bild_speichern() {
    const QString datei = datei_erfragen();
    if (datei.isEmpty())
        return;
    if (const auto fehler = bild_schreiben(datei)) {
        QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Bild speichern"),
                             QStringLiteral("Das Bild konnte nicht gespeichert werden.\n\n%1\n\n%2")
                                 .arg(QDir::toNativeSeparators(datei), *fehler));
    }
}

void bild_kopieren() {
    if (!bild_ergebnis)
        return;
    auto* daten = new QMimeData;
    daten->setImageData(bild_ergebnis->image());
    daten->setData(QStringLiteral("image/svg+xml"), svgDocument(*bild_ergebnis));
    QApplication::clipboard()->setMimeData(daten);
}

} // namespace Proc
