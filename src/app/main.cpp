// Start-up: module state, application object with its menu bar and handlers, the data
// window (whose opening runs the start-up of the windows), the event loop, and release.
#include "app.h"
#include "chart/pictures.h"
#include "model/proc.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"
#include "windows/win_splash.h"

int main(int argc, char* argv[]) {
    Proc::ladewerte_setzen();
    App anwendung(argc, argv);
    anwendung.AddMenuHandler(QStringLiteral("MEInfo"), [&anwendung] { return anwendung.MEInfo(); });
    anwendung.AddMenuHandler(QStringLiteral("FileBildspeichern"),
                             [&anwendung] { return anwendung.FileBildspeichern(); });
    WinDaten::instance();
    const int ergebnis = anwendung.exec();

    delete WIsplash::offen();
    delete WinBoxplot::offen();
    delete WinDaten::offen();
    Proc::LogoVelmora.reset();
    Proc::bild_ergebnis.reset();
    Proc::bild_transfer.reset();
    return ergebnis;
}
