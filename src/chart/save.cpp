#include "save.h"

#include "chart/pictures.h"
#include "platform/ausgabe.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
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
    // The dialog adds the suffix itself, by the same rule as bild_schreiben, so its question
    // before replacing a file concerns the file that is really written.
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.selectFile(vorgeschlagener_pfad());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

bool hat_endung(const QString& datei) {
    return QFileInfo(datei).fileName().contains(QLatin1Char('.'));
}

std::optional<QString> bild_schreiben(QString datei) {
    if (!hat_endung(datei))
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

void bild_kopieren() {
    if (!bild_ergebnis)
        return;
    auto* daten = new QMimeData;
    daten->setImageData(bild_ergebnis->image());
    daten->setData(QStringLiteral("image/svg+xml"), SvgDocument(*bild_ergebnis));
    QApplication::clipboard()->setMimeData(daten);
}

} // namespace Proc
