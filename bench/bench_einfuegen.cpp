// A value list coming from outside into the real data window: pasted with Ctrl+V from another
// program that owns the X11 clipboard (xclip), or dropped as a text file. Each run is timed
// until the data window and the chart are painted with the new count, with this process's CPU
// time; the peak memory is this process's, so that each row runs in a fresh process:
//   bench_einfuegen einfuegen|ablegen|uebertragung <lines> <runs>
// "uebertragung" times Qt's clipboard transfer alone (the text Qt hands over), for comparison.
#include "datenfenster.h"
#include "messung.h"

#include "model/proc.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <ctime>

namespace {

double cpu_ms() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Median, fastest and slowest of the runs' times and CPU times.
void ausgeben(const std::string& name, std::vector<double> ms, std::vector<double> cpu) {
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-58s median %9.3f ms   min %9.3f ms   max %9.3f ms   runs %zu\n", name.c_str(),
                ms[ms.size() / 2], ms.front(), ms.back(), ms.size());
    std::printf("%-58s median %9.3f ms   min %9.3f ms   max %9.3f ms\n", (name + ", CPU").c_str(),
                cpu[cpu.size() / 2], cpu.front(), cpu.back());
    std::fflush(stdout);
}

// A column as another program or a file holds it: values with six decimals and a decimal comma,
// lines ended by line feeds, some 10 bytes a line (10^7 lines are 100 MB). Written in pieces,
// so that this process never holds it whole; its length in bytes.
std::size_t spalte_schreiben(const QString& datei, std::size_t zeilen) {
    QFile aus(datei);
    aus.open(QIODevice::WriteOnly);
    std::mt19937_64 zufall(1);
    std::normal_distribution<double> normal(50.0, 10.0);
    std::size_t laenge = 0;
    std::string text;
    char zahl[32];
    for (std::size_t i = 0; i < zeilen; ++i) {
        const int n = std::snprintf(zahl, sizeof zahl, "%.6f\n", normal(zufall));
        text.append(zahl, std::size_t(n));
        if (text.size() > (1 << 20) || i + 1 == zeilen) {
            std::replace(text.begin(), text.end(), '.', ',');
            aus.write(text.data(), qint64(text.size()));
            laenge += text.size();
            text.clear();
        }
    }
    return laenge;
}

// Another program owning the clipboard with the text of a file, until it ends.
struct Fremdprogramm {
    QProcess xclip;
    explicit Fremdprogramm(const QString& datei) {
        xclip.start(QStringLiteral("xclip"),
                    {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                     QStringLiteral("clipboard"), QStringLiteral("-i"), datei});
        xclip.waitForStarted();
        QElapsedTimer warten;
        warten.start();
        while (!QApplication::clipboard()->mimeData()->hasText() && warten.elapsed() < 10'000)
            QTest::qWait(50);
    }
    ~Fremdprogramm() {
        xclip.kill();
        xclip.waitForFinished();
    }
};

bool stimmt(std::size_t laenge) {
    const bool gleich = Proc::daten_werteliste(1).size() == laenge;
    if (!gleich)
        std::printf("  the list is not the text that came in (%zu bytes, not %zu)\n",
                    Proc::daten_werteliste(1).size(), laenge);
    return gleich;
}

// The dropped text is selected, and so X11's primary selection, which another program reads
// whole (made into text only now).
void primaere_auswahl_pruefen(std::size_t laenge) {
    QProcess xclip;
    xclip.start(QStringLiteral("sh"),
                {QStringLiteral("-c"), QStringLiteral("xclip -o -selection primary | wc -c")});
    QElapsedTimer uhr;
    uhr.start();
    while (xclip.state() != QProcess::NotRunning && uhr.elapsed() < 60'000)
        QTest::qWait(20);
    const auto gelesen = xclip.readAllStandardOutput().trimmed().toULongLong();
    std::printf("%-58s %9.3f ms%s\n", "  the dropped text read as the primary selection",
                double(uhr.nsecsElapsed()) / 1e6, gelesen == laenge ? "" : ", NOT the text");
}

double erster_lauf_mib = 0; // the peak memory after the first run, as of a fresh start

template <typename Arbeit>
void laeufe(const std::string& name, int anzahl, std::size_t laenge, Arbeit arbeit) {
    std::vector<double> ms, cpu;
    for (int i = 0; i < anzahl; ++i) {
        leere_reihe();
        const double cpu_anfang = cpu_ms();
        QElapsedTimer uhr;
        uhr.start();
        arbeit();
        zeigen();
        ms.push_back(double(uhr.nsecsElapsed()) / 1e6);
        cpu.push_back(cpu_ms() - cpu_anfang);
        if (!stimmt(laenge))
            break;
        if (i == 0)
            erster_lauf_mib = hoechster_speicher_mib();
    }
    if (!ms.empty())
        ausgeben(name, ms, cpu);
}

std::string zahl(std::size_t n) {
    return n >= 1'000'000 ? std::to_string(n / 1'000'000) + ",000,000"
                          : std::to_string(n / 1000) + ",000";
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication anwendung(argc, argv);
    const std::string art = argc > 1 ? argv[1] : "einfuegen";
    const std::size_t zeilen = argc > 2 ? std::stoul(argv[2]) : 1'000'000;
    const int anzahl = argc > 3 ? std::stoi(argv[3]) : 5;
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    if (art != "ablegen" &&
        (!x11 || QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty())) {
        std::printf("%-58s skipped: no X server or no xclip\n",
                    ("paste " + zahl(zeilen) + " lines from another program").c_str());
        return 0;
    }
    Proc::ladewerte_setzen();
    Proc::Pref_SplashAtStart = 0;
    WinDaten::fenster();
    QTest::qWait(100); // the windows shown, so that they paint
    QTemporaryDir ordner;
    const QString datei = ordner.filePath(QStringLiteral("werte.txt"));
    const std::size_t laenge = spalte_schreiben(datei, zeilen);
    const std::string wo = x11 ? ", Xvfb" : ", offscreen";
    if (art == "ablegen") {
        laeufe("drop a file of " + zahl(zeilen) + " lines" + wo, anzahl, laenge, [&] {
            QMimeData daten;
            daten.setUrls({QUrl::fromLocalFile(datei)});
            QWidget* ziel = fenster().EFDaten->viewport();
            const QPoint mitte = ziel->rect().center();
            QDragEnterEvent betreten(mitte, Qt::CopyAction, &daten, Qt::LeftButton, {});
            QDropEvent ablegen(mitte, Qt::CopyAction, &daten, Qt::LeftButton, {});
            for (QEvent* e : std::initializer_list<QEvent*>{&betreten, &ablegen})
                QApplication::sendEvent(ziel, e);
        });
        if (x11 && !QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty())
            primaere_auswahl_pruefen(laenge);
    } else {
        Fremdprogramm xclip(datei);
        if (art == "uebertragung") {
            std::vector<double> ms, cpu;
            for (int i = 0; i < anzahl; ++i) {
                const double cpu_anfang = cpu_ms();
                QElapsedTimer uhr;
                uhr.start();
                const qsizetype uebergeben = QApplication::clipboard()->mimeData()->text().size();
                ms.push_back(double(uhr.nsecsElapsed()) / 1e6);
                cpu.push_back(cpu_ms() - cpu_anfang);
                if (std::size_t(uebergeben) != laenge)
                    std::printf("  Qt handed over %lld characters\n",
                                static_cast<long long>(uebergeben));
            }
            ausgeben("Qt's clipboard transfer of " + zahl(zeilen) + " lines" + wo, ms, cpu);
        } else {
            laeufe("paste " + zahl(zeilen) + " lines from another program" + wo, anzahl, laenge,
                   [] { QTest::keyClick(fenster().EFDaten, Qt::Key_V, Qt::ControlModifier); });
        }
    }
    if (erster_lauf_mib > 0)
        std::printf("%-58s %9.1f MiB\n", "  peak memory after the first run", erster_lauf_mib);
    std::printf("%-58s %9.1f MiB\n", "  peak memory after all runs", hoechster_speicher_mib());
    delete WinDaten::offen();
    delete WinBoxplot::offen();
}
