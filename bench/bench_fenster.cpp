// The real data window (offscreen): a value list pasted through the clipboard with Ctrl+V, and
// keystrokes at the start, in the middle and at the end of a long list, each timed until the chart
// is painted and the displays show the new values; the peak memory along the way.
#include "datenfenster.h"
#include "messung.h"

#include "chart/bilder.h"
#include "model/proc.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <ctime>
#include <string_view>

namespace {

std::string mit_verhaeltnis(const std::string& name) {
    return name + ", ratio " +
           QString::number(WinBoxplot::fenster()->CAbox->devicePixelRatioF()).toStdString();
}

// A column copied from a spreadsheet (lines ended by line feeds) pasted into the empty list.
void einfuegen(const char* name, std::size_t anzahl, int laeufe) {
    std::string spalte = werteliste(anzahl);
    std::replace(spalte.begin(), spalte.end(), '\r', '\n');
    QApplication::clipboard()->setText(QString::fromStdString(spalte));
    messen(
        mit_verhaeltnis(name).c_str(), laeufe,
        [] {
            QTest::keyClick(fenster().EFDaten, Qt::Key_V, Qt::ControlModifier);
            zeigen();
        },
        leere_reihe);
    if (Proc::daten_werteliste(1).size() != spalte.size())
        std::printf("  the pasted list is not the copied one\n");
}

enum class Stelle { anfang, mitte, ende };

// A digit typed at the start of the list, at the start of its middle line or at its end, and
// taken back again: two keystrokes per run, each timed by itself.
void tastendruecke(const std::string& name, const std::string& liste,
                   Stelle stelle = Stelle::ende) {
    leere_reihe();
    WinDaten& w = fenster();
    w.EFDaten->SetText(liste);
    const std::size_t mitte = liste.find('\r', liste.size() / 2) + 1;
    const auto an = stelle == Stelle::anfang ? 0 : stelle == Stelle::mitte ? mitte : liste.size();
    w.EFDaten->setSelection(TextEditor::Position(an), TextEditor::Position(an));
    bool tippen = true;
    constexpr int laeufe = 21;
    const std::clock_t rechenzeit = std::clock();
    messen(mit_verhaeltnis(name).c_str(), laeufe, [&] {
        QTest::keyClick(w.EFDaten, tippen ? Qt::Key_7 : Qt::Key_Backspace);
        zeigen();
        tippen = !tippen;
    });
    const double ms = 1000.0 * double(std::clock() - rechenzeit) / CLOCKS_PER_SEC / laeufe;
    std::printf("  %-56s %9.3f ms\n", "Velmora's CPU time per keystroke, mean", ms);
}

void speicher(const char* wann) {
    std::printf("%-58s %9.1f MiB\n", wann, hoechster_speicher_mib());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication anwendung(argc, argv);
    Proc::ladewerte_setzen();
    Proc::Pref_SplashAtStart = 0;
    WinDaten::fenster();
    QCoreApplication::processEvents(); // the windows shown, so that they paint
    // "keystroke" as the argument: the keystrokes alone.
    if (argc < 2 || std::string_view(argv[1]) != "keystroke") {
        speicher("peak memory after start-up");
        einfuegen("paste 100,000 lines", 100'000, 11);
        einfuegen("paste 1,000,000 lines", 1'000'000, 5);
        QApplication::clipboard()->clear();
        speicher("peak memory with 1,000,000 values in one set");
    }
    tastendruecke("keystroke, 100,000 values", werteliste(100'000));
    const std::string million = werteliste(1'000'000);
    tastendruecke("keystroke, 1,000,000 values, at the start", million, Stelle::anfang);
    tastendruecke("keystroke, 1,000,000 values, in the middle", million, Stelle::mitte);
    tastendruecke("keystroke, 1,000,000 values, at the end", million);
    tastendruecke("keystroke, 1,000,000 values, 5 % outliers, labels", werteliste(1'000'000, 0.05));
    // The same numbers pasted with blanks between them: one line of 7.5 million characters.
    std::string eine_zeile = werteliste(1'000'000);
    std::replace(eine_zeile.begin(), eine_zeile.end(), '\r', ' ');
    tastendruecke("keystroke, 1,000,000 numbers on one line", eine_zeile);
    speicher("peak memory so far");
    delete WinDaten::offen();
    delete WinBoxplot::offen();
}
