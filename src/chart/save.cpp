#include "save.h"

#include "chart/pictures.h"
#include "platform/ausgabe.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
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

// The save dialog; gives an empty name when the user cancels.
QString datei_erfragen() {
    QFileDialog dialog(QApplication::activeWindow(), QStringLiteral("Bild speichern"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The dialog adds the suffix itself, so its question before replacing a file concerns
    // the file that is really written.
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.selectFile(vorgeschlagener_pfad());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

std::optional<QString> bild_schreiben(QString datei) {
    if (QFileInfo(datei).suffix().isEmpty())
        datei += QStringLiteral(".png");
    return SaveAsPicture(datei, bild_ergebnis);
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

} // namespace Proc
