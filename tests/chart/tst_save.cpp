// Saving and copying the chart: what is written for each kind of name, vector files that are
// real vector drawings of the chart, the dialog, and failures that must neither pass silently
// nor harm an existing file.
#include "chart/composition.h"
#include "chart/pictures.h"
#include "chart/save.h"
#include "model/statistics.h"
#include "support/startwerte.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
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

// Runs fn on the active modal window once the next modal event loop has started.
template <typename Fn> void im_dialog(Fn fn) {
    QTimer::singleShot(0, qApp, [fn] { fn(QApplication::activeModalWidget()); });
}

QString programm_ausgabe(const QString& programm, const QStringList& argumente) {
    QProcess p;
    p.start(programm, argumente);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The share of the dark pixels of a that have a dark pixel of b at most one pixel away.
double gedeckt(const QImage& a, const QImage& b) {
    const auto dunkel = [](const QImage& bild, int x, int y) {
        return bild.rect().contains(x, y) && qGray(bild.pixel(x, y)) < 128;
    };
    int dunkle = 0, getroffen = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (!dunkel(a, x, y))
                continue;
            ++dunkle;
            bool nah = false;
            for (int dy = -1; dy <= 1 && !nah; ++dy)
                for (int dx = -1; dx <= 1 && !nah; ++dx)
                    nah = dunkel(b, x + dx, y + dy);
            getroffen += nah;
        }
    return dunkle ? double(getroffen) / dunkle : 0;
}

// Rendered back at the chart's size: the SVG by Qt, the PDF by poppler.
QImage zurueck_gerendert(const QString& datei, const QSize& groesse) {
    if (datei.endsWith(".svg")) {
        QImage bild(groesse, QImage::Format_RGB32);
        bild.fill(Qt::white);
        QPainter maler(&bild);
        QSvgRenderer(datei).render(&maler);
        return bild;
    }
    programm_ausgabe("pdftoppm", {"-r", "72", "-png", "-singlefile", datei, datei});
    return QImage(datei + ".png").convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TstSave : public QObject {
    Q_OBJECT
private slots:
    void init();
    void raster_im_geraeteverhaeltnis();
    void endungen_data();
    void endungen();
    void vektorbilder_data();
    void vektorbilder();
    void fehlschlag_wird_gemeldet_data();
    void fehlschlag_wird_gemeldet();
    void volles_dateisystem_laesst_alte_datei_heil();
    void dialog_bietet_bild_an_und_fragt_vor_dem_ersetzen();
    void fehler_erscheint_in_einer_meldung();

private:
    QTemporaryDir ordner_;
};

void TstSave::init() {
    startwerte_setzen();
    QVERIFY(bild_zusammensetzen());
    QDir(ordner_.path()).removeRecursively();
    QDir().mkpath(ordner_.path());
}

// A picture at the chart's device ratio, whose resolution places it at its logical size.
void TstSave::raster_im_geraeteverhaeltnis() {
    const int dpm = QImage(1, 1, QImage::Format_RGB16).dotsPerMeterX();
    QVERIFY(bild_zusammensetzen(2.0));
    QCOMPARE(bild_schreiben(ordner_.filePath("chart")), std::nullopt);
    const QImage gelesen(ordner_.filePath("chart.png"));
    QCOMPARE(gelesen.size(), QSize(300, 800));
    QVERIFY(std::abs(gelesen.dotsPerMeterX() - 2 * dpm) <= 1);
    QImage gezeigt = bild_ergebnis->image().convertToFormat(QImage::Format_RGB32);
    gezeigt.setDevicePixelRatio(1.0);
    QCOMPARE(gelesen.convertToFormat(QImage::Format_RGB32), gezeigt);
}

// A name without a point gets ".png"; the suffix chooses the format, PNG where Qt has none.
void TstSave::endungen_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("geschrieben");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("no suffix") << "bild" << "bild.png" << QByteArray("png");
    QTest::newRow("bmp asked for") << "chart.bmp" << "chart.bmp" << QByteArray("bmp");
    QTest::newRow("unknown suffix") << "chart.xyz" << "chart.xyz" << QByteArray("png");
    QTest::newRow("name ending in a point") << "x." << "x." << QByteArray("png");
    QTest::newRow("svg") << "chart.svg" << "chart.svg" << QByteArray("svg");
    QTest::newRow("pdf") << "chart.pdf" << "chart.pdf" << QByteArray("pdf");
}

void TstSave::endungen() {
    QFETCH(QString, name);
    QFETCH(QString, geschrieben);
    QFETCH(QByteArray, format);
    QCOMPARE(bild_schreiben(ordner_.filePath(name)), std::nullopt);
    QCOMPARE(QDir(ordner_.path()).entryList(QDir::Files), QStringList{geschrieben});
    const QByteArray anfang = inhalt(ordner_.filePath(geschrieben)).left(100);
    const QByteArray erkannt = anfang.startsWith("%PDF")   ? "pdf"
                               : anfang.contains("<svg") ? "svg"
                                                         : QImageReader(ordner_.filePath(geschrieben)).format();
    QCOMPARE(erkannt, format);
}

// SVG and PDF are vector drawings of the chart: they parse, hold no raster picture, carry the
// labels as text, and drawn at the chart's size they put ink where the chart has it.
void TstSave::vektorbilder_data() {
    QTest::addColumn<bool>("fuenf");
    QTest::addColumn<QString>("endung");
    QTest::addColumn<QStringList>("texte");
    for (const char* endung : {"svg", "pdf"}) {
        QTest::addRow("start-up, %s", endung) << false << endung << QStringList{"A", "90", "85", "40"};
        QTest::addRow("five sets, %s", endung) << true << endung << QStringList{"E", "62.5", "30", "97"};
    }
}

void TstSave::vektorbilder() {
    QFETCH(bool, fuenf);
    QFETCH(QString, endung);
    QFETCH(QStringList, texte);
    if (endung == "pdf" && QStandardPaths::findExecutable("pdftoppm").isEmpty())
        QSKIP("poppler-utils (pdftoppm, pdftotext) are not installed");
    if (fuenf) {
        const char* listen[] = {"1\r2\r3\r30", "-20\r1\r2\r3\r30", "5\r5", "", "10\r20\r30\r95\r96\r97"};
        for (int32_t satz = 1; satz <= 5; ++satz) {
            daten_werteliste(satz) = listen[satz - 1];
            daten_satzart(satz) = satzart_datenreihe;
            Werte_aus_daten_berechnen(satz);
        }
        std::tie(daten_max_satz_anzahl, breite_bild, hoehe_bild) = std::tuple(5, 600, 500);
        QVERIFY(bild_zusammensetzen());
    }
    const QString datei = ordner_.filePath("chart." + endung);
    QCOMPARE(bild_schreiben(datei), std::nullopt);
    const QByteArray daten = inhalt(datei);
    QString text;
    if (endung == "svg") {
        QVERIFY(QSvgRenderer(daten).isValid());
        QVERIFY(!daten.contains("<image"));
        text = QString::fromUtf8(daten);
    } else {
        QVERIFY(programm_ausgabe("pdfinfo", {datei}).contains(
            QString("Page size:       %1 x %2 pts").arg(breite_bild).arg(hoehe_bild)));
        QVERIFY(!daten.contains("/Subtype /Image"));
        text = programm_ausgabe("pdftotext", {datei, "-"});
    }
    for (const QString& t : texte)
        QVERIFY2(text.contains(QRegularExpression("\\b" + QRegularExpression::escape(t) + "\\b")),
                 qPrintable(t));
    const QImage raster = bild_ergebnis->image().convertToFormat(QImage::Format_RGB32);
    const QImage vektor = zurueck_gerendert(datei, raster.size());
    QCOMPARE(vektor.size(), raster.size());
    QVERIFY2(gedeckt(raster, vektor) > 0.97 && gedeckt(vektor, raster) > 0.97,
             qPrintable(QString("%1 %2").arg(gedeckt(raster, vektor)).arg(gedeckt(vektor, raster))));
}

void TstSave::fehlschlag_wird_gemeldet_data() {
    QTest::addColumn<QString>("ziel");
    for (const char* endung : {"png", "svg", "pdf"}) {
        QTest::addRow("missing folder, %s", endung) << QString("fehlt/bild.") + endung;
        QTest::addRow("below a regular file, %s", endung) << QString("datei.txt/bild.") + endung;
        QTest::addRow("name is a folder, %s", endung) << QString("ordner.") + endung;
    }
}

void TstSave::fehlschlag_wird_gemeldet() {
    QFETCH(QString, ziel);
    datei_anlegen(ordner_.filePath("datei.txt"), "text");
    QDir(ordner_.path()).mkdir("ordner." + QFileInfo(ziel).suffix());
    const QStringList vorher = QDir(ordner_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const auto fehler = bild_schreiben(ordner_.filePath(ziel));
    QVERIFY(fehler.has_value() && !fehler->isEmpty());
    QCOMPARE(QDir(ordner_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), vorher);
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

// The dialog offers "bild" every time; its question before replacing a file concerns the
// file that is written, also for a name ending in a point. Cancelling writes nothing.
void TstSave::dialog_bietet_bild_an_und_fragt_vor_dem_ersetzen() {
    QStringList angeboten;
    bool gefragt = false;
    const auto speichern_als = [&](const QString& name, bool abbrechen = false) {
        im_dialog([&, name, abbrechen](QWidget* fenster) {
            auto* dialog = qobject_cast<QFileDialog*>(fenster);
            angeboten << dialog->findChild<QLineEdit*>()->text();
            if (abbrechen)
                return dialog->reject();
            dialog->selectFile(ordner_.filePath(name));
            QTimer::singleShot(0, qApp, [&gefragt] {
                if (auto* frage = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    gefragt = true;
                    frage->button(QMessageBox::No)->click(); // do not replace
                }
            });
            QMetaObject::invokeMethod(dialog, "accept");
            if (dialog->isVisible())
                dialog->reject();
        });
        bild_speichern();
    };
    speichern_als("mein_chart");
    speichern_als("x.");
    QVERIFY(!gefragt);
    datei_anlegen(ordner_.filePath("x."), "the picture saved before");
    speichern_als("x.");
    QVERIFY(gefragt);
    QCOMPARE(inhalt(ordner_.filePath("x.")), QByteArray("the picture saved before"));
    speichern_als("", true);
    QCOMPARE(angeboten, QStringList(4, "bild"));
    QCOMPARE(QDir(ordner_.path()).entryList(QDir::Files), (QStringList{"mein_chart.png", "x."}));
    QCOMPARE(QImage(ordner_.filePath("mein_chart.png")).size(), QSize(150, 400));
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
    QVERIFY2(meldung.contains("konnte nicht gespeichert werden") && meldung.contains("fehlt"),
             qPrintable(meldung));
}

// Runs inside the tmpfs of volles_dateisystem_laesst_alte_datei_heil: for each kind of file,
// an existing one, the file system then filled up, and a save that must fail and leave
// everything as it was.
int im_vollen_dateisystem(const QString& ordner) {
    startwerte_setzen();
    bild_zusammensetzen(2.0);
    QFile fuellung(ordner + "/fuellung");
    fuellung.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    const QStringList dateien{"bild.png", "bild.svg", "bild.pdf"};
    for (const QString& name : dateien)
        datei_anlegen(ordner + "/" + name, "saved before");
    const QByteArray block(1024, 'x');
    while (fuellung.write(block) == block.size()) {
    }
    fuellung.close();
    for (const QString& name : dateien) {
        const bool gemeldet = bild_schreiben(ordner + "/" + name).has_value();
        const bool heil = inhalt(ordner + "/" + name) == "saved before";
        const bool aufgeraeumt = QDir(ordner).entryList(QDir::Files | QDir::Hidden).size() == 4;
        if (!gemeldet || !heil || !aufgeraeumt) {
            std::fprintf(stderr, "%s: reported %d, old file intact %d, nothing left behind %d\n",
                         qPrintable(name), gemeldet, heil, aufgeraeumt);
            return 1;
        }
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
