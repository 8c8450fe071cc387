#include "speichern.h"

#include "chart/bilder.h"
#include "platform/output.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
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

} // namespace

QString bildname(QString datei) {
    if (!WritesFormat(QFileInfo(datei).suffix()))
        datei += datei.endsWith(QLatin1Char('.')) ? QStringLiteral("png") : QStringLiteral(".png");
    return datei;
}

std::optional<QString> bild_schreiben(const QString& datei) {
    return SaveAsPicture(bildname(datei), bild_ergebnis);
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
