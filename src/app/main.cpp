// Start-up: module state, application object with its menu bar and handlers, the data
// window (whose opening runs the start-up of the windows) and the event loop. The
// application object releases everything at exit.
#include "app.h"
#include "model/proc.h"
#include "windows/win_daten.h"

int main(int argc, char* argv[]) {
    Proc::ladewerte_setzen();
    App anwendung(argc, argv);
    anwendung.menuehandler_anmelden(QStringLiteral("MEInfo"),
                                    [&anwendung] { return anwendung.MEInfo(); });
    anwendung.menuehandler_anmelden(QStringLiteral("FileBildspeichern"),
                                    [&anwendung] { return anwendung.FileBildspeichern(); });
    WinDaten::fenster();
    return anwendung.exec();
}
