// Saving the chart picture: what is written, the dialog, and failures that must not pass
// silently or harm an existing file.
#include "chart/composition.h"
#include "chart/pictures.h"
#include "chart/save.h"
#include "support/startwerte.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

using namespace Proc;

namespace {

QByteArray inhalt(const QString& datei) {
    QFile f(datei);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void datei_anlegen(const QString& datei, const QByteArray& daten) {
    QFile f(datei);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(daten);
}

// Runs fn on the first modal window once the next modal event loop has started.
template <typename Fn> void im_dialog(Fn fn) {
    QTimer::singleShot(0, qApp, [fn] { fn(QApplication::activeModalWidget()); });
}

} // namespace

class TstSave : public QObject {
    Q_OBJECT
private slots:
    void init();
    void schreibt_das_bild_wie_gezeigt();
    void endung_wird_ergaenzt_data();
    void endung_wird_ergaenzt();
    void fehlschlag_wird_gemeldet_data();
    void fehlschlag_wird_gemeldet();
    void volles_dateisystem_laesst_alte_datei_heil();
    void dialog_bietet_bild_an();
    void fehler_erscheint_in_einer_meldung();

private:
    QTemporaryDir ordner_;
};

void TstSave::init() {
    startwerte_setzen();
    QVERIFY(bild_zusammensetzen());
    QVERIFY(ordner_.isValid());
    QDir(ordner_.path()).removeRecursively();
    QDir().mkpath(ordner_.path());
}

void TstSave::schreibt_das_bild_wie_gezeigt() {
    breite_bild = 310;
    hoehe_bild = 220;
    QVERIFY(bild_zusammensetzen());
    const QString datei = ordner_.filePath("chart.png");
    QCOMPARE(bild_schreiben(datei), std::nullopt);
    QImage gelesen(datei);
    QCOMPARE(gelesen.size(), QSize(310, 220));
    QCOMPARE(gelesen.convertToFormat(QImage::Format_RGB32),
             bild_ergebnis->image().convertToFormat(QImage::Format_RGB32));
}

void TstSave::endung_wird_ergaenzt_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("geschrieben");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("no extension") << "bild"
                                  << "bild.png" << QByteArray("png");
    QTest::newRow("png") << "chart.png"
                         << "chart.png" << QByteArray("png");
    QTest::newRow("bmp asked for") << "chart.bmp"
                                   << "chart.bmp" << QByteArray("bmp");
    QTest::newRow("unknown extension") << "chart.xyz"
                                       << "chart.xyz" << QByteArray("png");
}

void TstSave::endung_wird_ergaenzt() {
    QFETCH(QString, name);
    QFETCH(QString, geschrieben);
    QFETCH(QByteArray, format);
    QCOMPARE(bild_schreiben(ordner_.filePath(name)), std::nullopt);
    QCOMPARE(QDir(ordner_.path()).entryList(QDir::Files), QStringList{geschrieben});
    QImageReader leser(ordner_.filePath(geschrieben));
    QCOMPARE(leser.format(), format);
}

void TstSave::fehlschlag_wird_gemeldet_data() {
    QTest::addColumn<QString>("ziel");
    QTest::newRow("missing folder") << "fehlt/bild.png";
    QTest::newRow("below a regular file") << "datei.txt/bild.png";
    QTest::newRow("name is a folder") << "ordner.png";
}

void TstSave::fehlschlag_wird_gemeldet() {
    QFETCH(QString, ziel);
    datei_anlegen(ordner_.filePath("datei.txt"), "text");
    QDir(ordner_.path()).mkdir("ordner.png");
    const auto fehler = bild_schreiben(ordner_.filePath(ziel));
    QVERIFY(fehler.has_value());
    QVERIFY(!fehler->isEmpty());
    QCOMPARE(QDir(ordner_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"datei.txt", "ordner.png"}));
    QCOMPARE(inhalt(ordner_.filePath("datei.txt")), QByteArray("text"));
}

// A real full file system: a tiny tmpfs, mounted in a mount namespace of its own so that
// it vanishes with the process that saves into it.
void TstSave::volles_dateisystem_laesst_alte_datei_heil() {
    if (geteuid() != 0 || QStandardPaths::findExecutable("unshare").isEmpty() ||
        QProcess::execute("unshare", {"-m", "--propagation", "private", "true"}) != 0)
        QSKIP("a private tmpfs needs root and a mount namespace of its own");
    QProcess kind;
    kind.start("unshare", {"-m", "--propagation", "private", "sh", "-c",
                           "mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 77; exec \"$2\" "
                           "--volles-dateisystem \"$1\"",
                           "sh", ordner_.path(), QCoreApplication::applicationFilePath()});
    QVERIFY(kind.waitForFinished(60000));
    if (kind.exitCode() == 77)
        QSKIP("mounting a tmpfs is not allowed here");
    QVERIFY2(kind.exitCode() == 0, kind.readAllStandardError().constData());
}

// The dialog offers "bild" every time, not the name chosen before; cancelling writes nothing.
void TstSave::dialog_bietet_bild_an() {
    QString angeboten;
    const QString ziel = ordner_.filePath("mein_chart");
    im_dialog([&](QWidget* fenster) {
        angeboten = fenster->findChild<QLineEdit*>()->text();
        qobject_cast<QFileDialog*>(fenster)->selectFile(ziel);
        QMetaObject::invokeMethod(fenster, "accept");
    });
    bild_speichern();
    QCOMPARE(angeboten, QStringLiteral("bild"));
    QCOMPARE(QImage(ziel + ".png").size(), QSize(150, 400));

    im_dialog([&](QWidget* fenster) {
        angeboten = fenster->findChild<QLineEdit*>()->text();
        qobject_cast<QDialog*>(fenster)->reject();
    });
    bild_speichern();
    QCOMPARE(angeboten, QStringLiteral("bild"));
    QCOMPARE(QDir(ordner_.path()).entryList(QDir::Files), QStringList{"mein_chart.png"});
}

void TstSave::fehler_erscheint_in_einer_meldung() {
    QString meldung;
    im_dialog([&](QWidget* fenster) {
        auto* dialog = qobject_cast<QFileDialog*>(fenster);
        dialog->selectFile(ordner_.filePath("fehlt/bild.png"));
        // The message box about the failure opens once the dialog has closed.
        im_dialog([&](QWidget* box) {
            auto* nachricht = qobject_cast<QMessageBox*>(box);
            QVERIFY(nachricht);
            meldung = nachricht->text();
            nachricht->accept();
        });
        QMetaObject::invokeMethod(dialog, "accept");
    });
    bild_speichern();
    QVERIFY2(meldung.contains("konnte nicht gespeichert werden"), qPrintable(meldung));
    QVERIFY(meldung.contains("fehlt"));
}

// Runs inside the tmpfs of volles_dateisystem_laesst_alte_datei_heil: an existing picture,
// the file system then filled up, and a save that must fail and leave everything as it was.
int im_vollen_dateisystem(const QString& ordner) {
    startwerte_setzen();
    bild_zusammensetzen();
    const QString datei = ordner + "/bild.png";
    datei_anlegen(datei, "the picture saved before");
    QFile fuellung(ordner + "/fuellung");
    fuellung.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    const QByteArray block(1024, 'x');
    while (fuellung.write(block) == block.size()) {
    }
    fuellung.close();
    const bool gemeldet = bild_schreiben(datei).has_value();
    const bool heil = inhalt(datei) == "the picture saved before";
    const bool aufgeraeumt =
        QDir(ordner).entryList(QDir::Files | QDir::Hidden) == QStringList({"bild.png", "fuellung"});
    if (!gemeldet || !heil || !aufgeraeumt) {
        std::fprintf(stderr, "reported %d, old file intact %d, nothing left behind %d\n", gemeldet,
                     heil, aufgeraeumt);
        return 1;
    }
    return 0;
}

int main(int argc, char* argv[]) {
    QApplication anwendung(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--volles-dateisystem")
        return im_vollen_dateisystem(QString::fromLocal8Bit(argv[2]));
    TstSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_save.moc"
