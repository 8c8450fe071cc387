// Saving the chart: what is written for each kind of name, vector files that are real vector
// drawings of the chart, the dialog, and failures that must neither pass silently nor harm an
// existing file.
#include "chart/save.h"
#include "support/startwerte.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QImageReader>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

QByteArray inhalt(const QString& datei) {
    QFile f(datei);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool datei_anlegen(const QString& datei, const QByteArray& daten) {
    QFile f(datei);
    return f.open(QIODevice::WriteOnly) && f.write(daten) == daten.size();
}

QString ausgabe(const QString& programm, const QStringList& argumente) {
    QProcess p;
    p.start(programm, argumente);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The share of the dark pixels of a that have a dark pixel of b at most one pixel away.
double gedeckt(const QImage& a, const QImage& b) {
    const auto dunkel = [](const QImage& i, int x, int y) {
        return i.rect().contains(x, y) && qGray(i.pixel(x, y)) < 128;
    };
    int dunkle = 0, getroffen = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (dunkel(a, x, y))
                getroffen +=
                    ++dunkle && (dunkel(b, x, y) || dunkel(b, x - 1, y) || dunkel(b, x + 1, y) ||
                                 dunkel(b, x, y - 1) || dunkel(b, x, y + 1));
    return double(getroffen) / dunkle;
}

// A vector file drawn at the chart's size, by Qt or by poppler, with the text it holds.
std::pair<QImage, QString> gelesen(const QString& datei, QSize groesse) {
    if (datei.endsWith(".pdf")) {
        ausgabe("pdftoppm", {"-r", "72", "-png", "-singlefile", datei, datei});
        return {QImage(datei + ".png"), ausgabe("pdftotext", {datei, "-"})};
    }
    QImage bild(groesse, QImage::Format_RGB32);
    bild.fill(Qt::white);
    QPainter maler(&bild);
    QSvgRenderer(datei).render(&maler);
    return {bild, inhalt(datei)};
}

} // namespace

class TstSave : public QObject {
    Q_OBJECT
    QTemporaryDir ordner_;
    QString pfad(const QString& name) const { return ordner_.filePath(name); }
    QStringList eintraege() const {
        return QDir(ordner_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }

private slots:
    void init() {
        wie_nach_dem_start();
        QVERIFY(bild_zusammensetzen(2.0));
        QDir(ordner_.path()).removeRecursively();
        QDir().mkpath(ordner_.path());
    }

    // A name without a point gets ".png"; the suffix chooses the format, PNG where Qt has none.
    // The picture has the chart's device ratio, and a resolution that places it at its
    // logical size.
    void endungen() {
        const std::tuple<QString, QString, QByteArray> faelle[] = {
            {"bild", "bild.png", "png"},       {"chart.bmp", "chart.bmp", "bmp"},
            {"chart.xyz", "chart.xyz", "png"}, {"x.", "x.", "png"},
            {"chart.svg", "chart.svg", "svg"}, {"chart.pdf", "chart.pdf", "pdf"}};
        for (const auto& [name, geschrieben, format] : faelle) {
            QCOMPARE(bild_schreiben(pfad(name)), std::nullopt);
            QCOMPARE(eintraege(), QStringList{geschrieben});
            const QByteArray anfang = inhalt(pfad(geschrieben)).left(100);
            QCOMPARE(anfang.startsWith("%PDF") ? "pdf"
                     : anfang.contains("<svg") ? "svg"
                                               : QImageReader(pfad(geschrieben)).format(),
                     format);
            QFile::remove(pfad(geschrieben));
        }
        bild_schreiben(pfad("bild"));
        const QImage bild(pfad("bild.png"));
        QCOMPARE(bild.size(), QSize(300, 800));
        QCOMPARE(bild.dotsPerMeterX(), 2 * QImage(1, 1, QImage::Format_RGB16).dotsPerMeterX());
    }

    // SVG and PDF of the start-up chart and of five sets are vector drawings of the chart: they
    // parse, hold no raster picture, carry the labels as text, and drawn at the chart's size
    // they put ink where the chart has it.
    void vektorbilder() {
        if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
            QSKIP("poppler-utils (pdftoppm, pdftotext) are not installed");
        for (int i = 0; i < 4; ++i) {
            if (i == 2) {
                reihen_setzen(
                    {"1\r2\r3\r30", "-20\r1\r2\r3\r30", "5\r5", "", "10\r20\r30\r95\r96\r97"});
                std::tie(breite_bild, hoehe_bild) = std::tuple(600, 500);
            }
            const QString endung = i % 2 ? "pdf" : "svg";
            QVERIFY(bild_zusammensetzen());
            const QString datei = pfad(QString::number(i) + "." + endung);
            QCOMPARE(bild_schreiben(datei), std::nullopt); // one page, drawn at 72 dpi below
            const QByteArray daten = inhalt(datei);
            QVERIFY(endung == "pdf" || QSvgRenderer(daten).isValid()); // a PDF by its size below
            QVERIFY(!daten.contains("<image") && !daten.contains("/Subtype /Image"));
            const QImage raster = bild_ergebnis->image().convertToFormat(QImage::Format_RGB32);
            const auto [vektor, text] = gelesen(datei, raster.size());
            for (const char* t : {"A", "90", "30"})
                QVERIFY2(text.contains(QRegularExpression(QString("\\b%1\\b").arg(t))), t);
            // The chart in words as the file's title and description.
            const QString titel = bild_ergebnis->title(),
                          beschreibung = bild_ergebnis->description();
            QVERIFY(titel.startsWith("Boxplot") && beschreibung.contains("Skala von"));
            QVERIFY(endung == "pdf" ? ausgabe("pdfinfo", {datei})
                                          .contains("Title:           " + titel +
                                                    "\nSubject:         " + beschreibung)
                                    : daten.contains(("<title>" + titel + "</title>\n<desc>" +
                                                      beschreibung + "</desc>")
                                                         .toUtf8()));
            QCOMPARE(vektor.size(), raster.size());
            QVERIFY2(gedeckt(raster, vektor) > 0.97 && gedeckt(vektor, raster) > 0.97,
                     qPrintable(datei));
        }
    }

    // A real full file system: a tiny tmpfs, mounted in a mount namespace of its own so that
    // it vanishes with the process that saves into it.
    void volles_dateisystem() {
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
    // file that is written, also for a name ending in a point; a failure to write SVG or PDF into
    // a missing folder shows a message and leaves nothing behind.
    void dialog() {
        QStringList angeboten, fragen;
        for (const char* name : {"mein_chart", "x.", "x.", "fehlt/bild.svg", "fehlt/bild.pdf"}) {
            im_modalen_fenster(0, [&](QWidget* fenster) {
                auto* dialog = qobject_cast<QFileDialog*>(fenster);
                angeboten << dialog->findChild<QLineEdit*>()->text();
                dialog->selectFile(pfad(name));
                im_modalen_fenster(0, [&](QWidget* frage) {
                    if (auto* box = qobject_cast<QMessageBox*>(frage)) {
                        fragen << box->text();
                        QAbstractButton* nein = box->button(QMessageBox::No); // do not replace
                        (nein ? nein : box->button(QMessageBox::Ok))->click();
                    }
                });
                QMetaObject::invokeMethod(dialog, "accept");
                if (dialog->isVisible())
                    dialog->reject();
            });
            bild_speichern();
            if (angeboten.size() == 2)
                QVERIFY(datei_anlegen(pfad("x."), "saved before"));
        }
        QCOMPARE(angeboten, QStringList(5, "bild"));
        QVERIFY2(fragen.size() == 3 && fragen[0].contains("x.") &&
                     fragen[1].contains("fehlt/bild.svg") &&
                     fragen[2].contains("konnte nicht gespeichert werden"),
                 qPrintable(fragen.join('\n')));
        QCOMPARE(inhalt(pfad("x.")), QByteArray("saved before"));
        QCOMPARE(eintraege(), (QStringList{"mein_chart.png", "x."}));
    }
};

// Runs inside the tmpfs of volles_dateisystem: for each kind of file, an existing one, the
// file system then filled up, and a save that must fail and leave everything as it was.
int im_vollen_dateisystem(const QString& ordner) {
    wie_nach_dem_start();
    bild_zusammensetzen(2.0);
    for (const char* name : {"bild.png", "bild.svg", "bild.pdf"})
        datei_anlegen(ordner + "/" + name, "saved before");
    QFile fuellung(ordner + "/fuellung");
    fuellung.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    while (fuellung.write(QByteArray(1024, 'x')) == 1024) {
    }
    for (const char* name : {"bild.png", "bild.svg", "bild.pdf"}) {
        const bool gemeldet = bild_schreiben(ordner + "/" + name).has_value();
        const bool heil = inhalt(ordner + "/" + name) == "saved before";
        const bool aufgeraeumt = QDir(ordner).entryList(QDir::Files | QDir::Hidden).size() == 4;
        if (!gemeldet || !heil || !aufgeraeumt) {
            std::fprintf(stderr, "%s: reported %d, old file intact %d, nothing left behind %d\n",
                         name, gemeldet, heil, aufgeraeumt);
            return 1;
        }
    }
    return 0;
}

int main(int argc, char* argv[]) {
    QApplication anwendung(argc, argv);
    testumgebung_einrichten();
    if (argc == 3 && QByteArray(argv[1]) == "--volles-dateisystem")
        return im_vollen_dateisystem(QString::fromLocal8Bit(argv[2]));
    TstSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_save.moc"
