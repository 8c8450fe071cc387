#include "app.h"

#include "chart/bilder.h"
#include "chart/speichern.h"
#include "editor/texteditor.h"
#include "velmora_version.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"
#include "windows/win_splash.h"

#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QTranslator>

#include <optional>
#include <type_traits>

namespace {

// Qt's own dialogs and messages speak German like the rest of Velmora, where Qt's German
// translations are installed.
void qt_auf_deutsch(QApplication& anwendung) {
    auto* uebersetzung = new QTranslator(&anwendung);
    if (uebersetzung->load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(uebersetzung);
}

bool ist_feld(const QWidget* element) {
    return qobject_cast<const QLineEdit*>(element) || qobject_cast<const TextEditor*>(element);
}

// The standard editing of one of Qt's edit fields.
template <typename Feld> void ausfuehren(Feld& feld, Bearbeitung befehl) {
    switch (befehl) {
    case Bearbeitung::rueckgaengig:
        return feld.undo();
    case Bearbeitung::ausschneiden:
        return feld.cut();
    case Bearbeitung::kopieren:
        return feld.copy();
    case Bearbeitung::einfuegen:
        return feld.paste();
    case Bearbeitung::alles_waehlen:
        return feld.selectAll();
    case Bearbeitung::loeschen:
        if constexpr (std::is_same_v<Feld, QLineEdit>)
            feld.del();
        else
            feld.removeSelectedText();
        return;
    }
}

} // namespace

App* app() {
    return qobject_cast<App*>(QCoreApplication::instance());
}

App::App(int& argc, char** argv)
    : QApplication(argc, argv), MajorVersion(Version::MajorVersion),
      MinorVersion(Version::MinorVersion), BugVersion(Version::BugVersion),
      StageCode(Version::StageCode), NonReleaseVersion(Version::NonReleaseVersion) {
    setApplicationName(QStringLiteral("Velmora"));
    setDesktopFileName(QStringLiteral("org.velmora.Velmora")); // the desktop entry, on Wayland
    setApplicationVersion(
        BuildVersion(MajorVersion, MinorVersion, BugVersion, StageCode, NonReleaseVersion));
    setWindowIcon(QIcon(QStringLiteral(":/velmora/LogoVelmora.png")));
    qt_auf_deutsch(*this);
    menueleiste_anlegen();
}

// At exit the windows, the pictures and the menu bar are released, while the application
// object they need still exists.
App::~App() {
    delete WIsplash::offen();
    delete WinBoxplot::offen();
    delete WinDaten::offen();
    Proc::bilder_freigeben();
    delete MenuBar1.data(); // unless the data window took it along
}

QAction* App::eintrag(QMenu* menue, const char* name, const QString& text,
                      const QKeySequence& kurzbefehl) {
    QAction* aktion = menue->addAction(text);
    aktion->setObjectName(QLatin1String(name));
    aktion->setShortcut(kurzbefehl);
    aktion->setMenuRole(QAction::NoRole);
    return aktion;
}

void App::menueleiste_anlegen() {
    // Without a parent the menu bar is the one menu bar of the application where the
    // platform has one (macOS); elsewhere the data window carries it.
    MenuBar1 = new QMenuBar(nullptr);
    MenuBar1->setObjectName(QStringLiteral("MenuBar1"));

    QMenu* FileMenu = MenuBar1->addMenu(QStringLiteral("&File"));
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    QAction* info = eintrag(FileMenu, "MEInfo", QStringLiteral("Über Velmora... "),
                            QKeySequence(Qt::CTRL | Qt::Key_I));
    info->setMenuRole(QAction::AboutRole);
    QAction* speichern = eintrag(FileMenu, "FileBildspeichern", QStringLiteral("Bild speichern..."),
                                 QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction* ende =
        eintrag(FileMenu, "FileQuit", QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    ende->setMenuRole(QAction::QuitRole);
    connect(ende, &QAction::triggered, this, &QCoreApplication::quit, Qt::QueuedConnection);
    // The items handled by the application find their handler by their name. Their
    // shortcuts work in every window, also where the menu bar belongs to the data window.
    for (QAction* aktion : {info, speichern})
        connect(aktion, &QAction::triggered, this,
                [this, aktion] { menuebefehl_ausfuehren(aktion->objectName()); });
    for (QAction* aktion : {info, speichern, ende})
        aktion->setShortcutContext(Qt::ApplicationShortcut);

    // Every edit command is available whenever the menu bar is. Copy also works in the chart
    // window, where no edit field claims its shortcut.
    QMenu* EditMenu = MenuBar1->addMenu(QStringLiteral("&Edit"));
    EditMenu->setObjectName(QStringLiteral("EditMenu"));
    const struct {
        const char* name;
        const char* text;
        QKeySequence kurzbefehl;
        std::optional<Bearbeitung> befehl;
    } bearbeitungen[] = {
        {"EditUndo", "&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z), Bearbeitung::rueckgaengig},
        {"UntitledMenu1", "-", {}, std::nullopt},
        {"EditCut", "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X), Bearbeitung::ausschneiden},
        {"EditCopy", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C), Bearbeitung::kopieren},
        {"EditPaste", "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V), Bearbeitung::einfuegen},
        {"EditClear", "&Delete", {}, Bearbeitung::loeschen},
        {"UntitledMenu0", "-", {}, std::nullopt},
        {"EditSelectAll", "Select &All", QKeySequence(Qt::CTRL | Qt::Key_A),
         Bearbeitung::alles_waehlen},
    };
    for (const auto& b : bearbeitungen) {
        if (!b.befehl) {
            EditMenu->addSeparator()->setObjectName(QLatin1String(b.name));
            continue;
        }
        QAction* aktion = eintrag(EditMenu, b.name, QString::fromUtf8(b.text), b.kurzbefehl);
        connect(aktion, &QAction::triggered, this,
                [this, befehl = *b.befehl] { bearbeiten(befehl); });
        if (*b.befehl == Bearbeitung::kopieren)
            aktion->setShortcutContext(Qt::ApplicationShortcut);
    }
    // A menu takes the focus while it is open; the commands act on the field that had it.
    connect(this, &QApplication::focusChanged, this, [this](QWidget*, QWidget* neu) {
        if (ist_feld(neu))
            letztes_feld_ = neu;
    });
}

void App::bearbeiten(Bearbeitung befehl) {
    if (befehl == Bearbeitung::kopieren && qobject_cast<WinBoxplot*>(activeWindow())) {
        Proc::bild_kopieren();
        return;
    }
    QWidget* feld = ist_feld(focusWidget()) ? focusWidget() : letztes_feld_.data();
    if (!feld || !feld->isVisible() || !feld->isEnabled())
        return;
    if (auto* zeile = qobject_cast<QLineEdit*>(feld))
        ausfuehren(*zeile, befehl);
    else if (auto* mehrzeilig = qobject_cast<TextEditor*>(feld))
        ausfuehren(*mehrzeilig, befehl);
}

Versionsteile App::version() const {
    return {MajorVersion, MinorVersion, BugVersion, StageCode, NonReleaseVersion};
}

void App::menuehandler_anmelden(const QString& eintragsname, std::function<bool()> handler) {
    menuehandler_.insert(eintragsname, std::move(handler));
}

bool App::menuebefehl_ausfuehren(const QString& eintragsname) {
    const auto handler = menuehandler_.constFind(eintragsname);
    return handler != menuehandler_.constEnd() && (*handler)();
}

bool App::MEInfo() {
    WIsplash::fenster()->Update(false);
    return true;
}

bool App::FileBildspeichern() {
    Proc::bild_speichern();
    return true;
}
