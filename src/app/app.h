// The application object: version components, the menu bar and its handlers.
#pragma once

#include "windows/anwendung.h"

#include <QApplication>
#include <QHash>
#include <QMenuBar>
#include <QPointer>

#include <functional>

class QMenu;
class QAction;

// The edit commands of the Edit menu.
enum class Bearbeitung { rueckgaengig, ausschneiden, kopieren, einfuegen, loeschen, alles_waehlen };

class App : public QApplication, public Anwendung {
    Q_OBJECT
public:
    App(int& argc, char** argv);
    ~App() override;

    const int MajorVersion;
    const int MinorVersion;
    const int BugVersion;
    const int StageCode;
    const int NonReleaseVersion;

    QPointer<QMenuBar> MenuBar1;

    Versionsteile version() const override;
    QMenuBar* menueleiste() const override { return MenuBar1; }

    // Registers the handler of the menu item with the given name; it returns true when it
    // has handled the command.
    void menuehandler_anmelden(const QString& eintragsname, std::function<bool()> handler);
    // Runs the handler registered for the item; false when there is none.
    bool menuebefehl_ausfuehren(const QString& eintragsname);

    // The menu handlers of the application.
    bool MEInfo();
    bool FileBildspeichern();

    // An edit command: in the chart window Copy copies the chart; otherwise the command acts
    // on the edit field that has the focus, or had it last (before a menu took it).
    void bearbeiten(Bearbeitung befehl);

private:
    void menueleiste_anlegen();
    QAction* eintrag(QMenu* menue, const char* name, const QString& text,
                     const QKeySequence& kurzbefehl = {});

    QHash<QString, std::function<bool()>> menuehandler_;
    QPointer<QWidget> letztes_feld_;
};

// The application object, from anywhere.
App* app();
