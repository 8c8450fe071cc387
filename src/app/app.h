// The application object: version components, the menu bar and its handlers.
#pragma once

#include <QApplication>
#include <QHash>
#include <QMenuBar>
#include <QPointer>

#include <functional>

class QMenu;
class QAction;

class App : public QApplication {
    Q_OBJECT
    // Read by name by the windows: the splash window shows the version, the data window
    // carries the menu bar.
    Q_PROPERTY(int MajorVersion MEMBER MajorVersion CONSTANT)
    Q_PROPERTY(int MinorVersion MEMBER MinorVersion CONSTANT)
    Q_PROPERTY(int BugVersion MEMBER BugVersion CONSTANT)
    Q_PROPERTY(int StageCode MEMBER StageCode CONSTANT)
    Q_PROPERTY(int NonReleaseVersion MEMBER NonReleaseVersion CONSTANT)
    Q_PROPERTY(QObject* MenuBar1 READ menuBarObject CONSTANT)

public:
    App(int& argc, char** argv);
    ~App() override;

    const int MajorVersion;
    const int MinorVersion;
    const int BugVersion;
    const int StageCode;
    const int NonReleaseVersion;

    QPointer<QMenuBar> MenuBar1;

    // Registers the handler of the menu item with the given name; it returns true when it
    // has handled the command.
    void AddMenuHandler(const QString& itemName, std::function<bool()> handler);
    // Runs the handler registered for the item; false when there is none.
    bool HandleMenu(const QString& itemName);

    // The menu handlers of the application.
    bool MEInfo();
    bool FileBildspeichern();

private:
    QObject* menuBarObject() const;
    void menueleiste_anlegen();
    QAction* eintrag(QMenu* menue, const char* name, const QString& text,
                     const QKeySequence& kurzbefehl = {});
    void bearbeiten_freigeben();

    QHash<QString, std::function<bool()>> handler_;
    QMenu* EditMenu = nullptr;
};

// The application object, from anywhere.
App* app();
