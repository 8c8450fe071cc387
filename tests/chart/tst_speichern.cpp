// Saving the chart: what is written for each kind of name, vector files that are real vector
// drawings of the chart, the dialog, and failures that must neither pass silently nor harm an
// existing file.
#include "chart/speichern.h"
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

class TstSpeichern : public QObject {
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

    // The suffix chooses the format; a name without the suffix of a format written gets ".png".
    // The picture has the chart's device ratio, and a resolution that places it at its
    // logical size.
    void endungen() {
        const QStringList faelle{"bild",       "bild.png",       "Chart.BMP", "Chart.BMP",
                                 "chart.xyz",  "chart.xyz.png",  "x.",        "x.png",
                                 "Klasse 7.2", "Klasse 7.2.png", "chart.svg", "chart.svg",
                                 "chart.pdf",  "chart.pdf"}; // each name, then the file written
        for (qsizetype i = 0; i < faelle.size(); i += 2) {
            const QString &name = faelle[i], &geschrieben = faelle[i + 1];
            QCOMPARE(bild_schreiben(pfad(name)), std::nullopt);
            QCOMPARE(eintraege(), QStringList{geschrieben});
            const QByteArray anfang = inhalt(pfad(geschrieben)).left(100);
            QCOMPARE(anfang.startsWith("%PDF") ? "pdf"
                     : anfang.contains("<svg") ? "svg"
                                               : QImageReader(pfad(geschrieben)).format(),
                     QFileInfo(geschrieben).suffix().toLower().toLatin1());
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

    // A real full or nearly full file system, and a read-only one: tmpfs file systems mounted in
    // a mount namespace of its own, so that they vanish with the process that saves into them.
    void volles_dateisystem() {
        if (geteuid() != 0 || QStandardPaths::findExecutable("unshare").isEmpty() ||
            QProcess::execute("unshare", {"-m", "--propagation", "private", "true"}) != 0)
            QSKIP("a private tmpfs needs root and a mount namespace of its own");
        QProcess kind;
        kind.start("unshare",
                   {"-m", "--propagation", "private", "sh", "-c",
                    "mount -t tmpfs -o size=2m tmpfs \"$1\" && mkdir \"$1/nur_lesen\" && "
                    "mount -t tmpfs -o ro,size=64k tmpfs \"$1/nur_lesen\" || exit 77; "
                    "exec \"$2\" --volles-dateisystem \"$1\"",
                    "sh", ordner_.path(), QCoreApplication::applicationFilePath()});
        QVERIFY(kind.waitForFinished(60000));
        if (kind.exitCode() == 77)
            QSKIP("mounting a tmpfs is not allowed here");
        QVERIFY2(kind.exitCode() == 0, kind.readAllStandardError().constData());
    }

    // The dialog offers "bild"; its question before replacing a file concerns the file that is
    // written, a "no" brings the dialog back with that name; a failure to write into a missing
    // folder shows a message in German, and leaves nothing behind. Each modal window is answered
    // in turn: a file dialog with a name (cancelled when empty), a question with yes or no.
    void dialog() {
        QStringList antworten = QString("mein_chart|Messung 07.12.2026|Messung 07.12.2026|nein||"
                                        "Messung 07.12.2026|ja|fehlt/bild.svg||fehlt/bild.pdf|")
                                    .split('|');
        QStringList angeboten, fragen;
        QTimer bediener;
        bediener.callOnTimeout([&] {
            QWidget* fenster = QApplication::activeModalWidget();
            if (!fenster)
                return;
            const QString antwort = antworten.isEmpty() ? QString() : antworten.takeFirst();
            if (auto* dialog = qobject_cast<QFileDialog*>(fenster)) {
                // Typed into the field: selectFile leaves a field with focus unchanged.
                auto* name = dialog->findChild<QLineEdit*>();
                angeboten << QFileInfo(name->text()).fileName();
                name->setText(pfad(antwort));
                QMetaObject::invokeMethod(dialog, antwort.isEmpty() ? "reject" : "accept");
            } else if (auto* box = qobject_cast<QMessageBox*>(fenster)) {
                fragen << box->text();
                const auto knopf = antwort == "ja" ? QMessageBox::Yes : QMessageBox::No;
                (box->button(knopf) ? box->button(knopf) : box->button(QMessageBox::Ok))->click();
            }
        });
        bediener.start(20);
        for (int i = 0; i < 6; ++i) {
            bild_speichern();
            if (i == 1)
                QVERIFY(datei_anlegen(pfad("Messung 07.12.2026.png"), "saved before"));
            if (i == 2)
                QCOMPARE(inhalt(pfad("Messung 07.12.2026.png")), QByteArray("saved before"));
        }
        QCOMPARE(angeboten, (QStringList{"bild", "bild", "bild", "Messung 07.12.2026.png", "bild",
                                         "bild", "bild"}));
        QCOMPARE(fragen.filter("„" + pfad("Messung 07.12.2026.png“ gibt es schon")).size(), 2);
        QCOMPARE(fragen.filter("Ordner gibt es nicht. Bitte einen anderen Ordner").size(), 2);
        QCOMPARE(QImageReader(pfad("Messung 07.12.2026.png")).format(), "png");
        QCOMPARE(eintraege(), (QStringList{"mein_chart.png", "Messung 07.12.2026.png"}));
    }
};

// Runs inside the tmpfs of volles_dateisystem: for each kind of file an existing one; the file
// system filled up to no, 8 KiB and 68 KiB free (so each file is larger than every buffer on the
// way); a save that must fail, say what to do and leave everything as it was. Then a read-only
// folder.
int im_vollen_dateisystem(const QString& ordner) {
    wie_nach_dem_start();
    std::string liste; // 300 outliers, many labelled, make every file larger than 68 KiB
    for (int i = 0; i < 1900; ++i)
        liste += i < 1600 ? "5\r" : std::to_string(20 + (i - 1600) * 0.25) + "\r";
    reihen_setzen({liste.c_str(), liste.c_str(), liste.c_str(), liste.c_str(), liste.c_str()});
    std::tie(breite_bild, hoehe_bild, schrift_hoehe) = std::tuple(1000, 1200, 12);
    bild_zusammensetzen(2.0);
    for (const char* name : {"bild.png", "bild.svg", "bild.pdf"})
        datei_anlegen(ordner + "/" + name, "saved before");
    for (const qint64 frei : {0, 8192, 69632}) {
        QFile fuellung(ordner + "/fuellung");
        fuellung.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        while (fuellung.write(QByteArray(4096, 'x')) == 4096) {
        }
        fuellung.resize(fuellung.size() - frei);
        for (const char* name : {"bild.png", "bild.svg", "bild.pdf"}) {
            const auto meldung = bild_schreiben(ordner + "/" + name);
            if (!meldung || !meldung->contains("Platz schaffen") ||
                inhalt(ordner + "/" + name) != "saved before" ||
                QDir(ordner).entryList(QDir::Files | QDir::Hidden).size() != 4)
                return std::fprintf(stderr, "%s, %lld B free: \"%s\"; must report, keep old file\n",
                                    name, frei, qPrintable(meldung.value_or("no message"))),
                       1;
        }
        fuellung.remove();
    }
    const auto meldung = bild_schreiben(ordner + "/nur_lesen/bild.png");
    return meldung && meldung->contains("anderen Ordner")
               ? 0
               : (std::fprintf(stderr, "read-only: %s\n", qPrintable(meldung.value_or(""))), 1);
}

int main(int argc, char* argv[]) {
    QApplication anwendung(argc, argv);
    testumgebung_einrichten();
    if (argc == 3 && QByteArray(argv[1]) == "--volles-dateisystem")
        return im_vollen_dateisystem(QString::fromLocal8Bit(argv[2]));
    TstSpeichern test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_speichern.moc"
