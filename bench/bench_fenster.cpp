// One keystroke in the value list of the real data window, until the new chart is painted.
#include "messung.h"

#include "chart/pictures.h"
#include "model/proc.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"

#include <QApplication>
#include <QTest>

namespace {

// A digit typed at the end of the list and taken back again: two keystrokes per run, each
// timed by itself.
void tastendruecke(const char* name, std::size_t anzahl, double anteil) {
    using namespace Proc;
    WinDaten& w = *WinDaten::instance();
    QTest::mouseClick(&w.RBsatz(1), Qt::LeftButton);
    QTest::mouseClick(&w.BBsatzart(2), Qt::LeftButton);
    w.EFDaten->SetText(werteliste(anzahl, anteil));
    w.EFDaten->moveCursor(QTextCursor::End);
    bool tippen = true;
    Canvas* leinwand = WinBoxplot::instance()->CAbox;
    const std::string zeile = std::string(name) + ", ratio " +
                              QString::number(leinwand->devicePixelRatioF()).toStdString();
    messen(zeile.c_str(), 21, [&] {
        QTest::keyClick(w.EFDaten, tippen ? Qt::Key_7 : Qt::Key_Backspace);
        leinwand->repaint(); // the chart on the screen, not only composed
        tippen = !tippen;
    });
    std::printf("%-58s %9.1f MiB\n", "  peak memory so far", hoechster_speicher_mib());
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication anwendung(argc, argv);
    Proc::ladewerte_setzen();
    Proc::Pref_SplashAtStart = 0;
    WinDaten::instance();
    QCoreApplication::processEvents(); // the chart window shown, so that its canvas paints
    std::printf("%-58s %9.1f MiB\n", "peak memory after start-up", hoechster_speicher_mib());
    tastendruecke("keystroke, 100,000 values", 100'000, 0.0);
    tastendruecke("keystroke, 1,000,000 values", 1'000'000, 0.0);
    tastendruecke("keystroke, 1,000,000 values, 5 % outliers, labels", 1'000'000, 0.05);
    delete WinDaten::offen();
    delete WinBoxplot::offen();
}
