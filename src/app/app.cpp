#include "app.h"

#include "chart/pictures.h"
#include "chart/save.h"
#include "velmora_version.h"
#include "windows/win_boxplot.h"
#include "windows/win_daten.h"
#include "windows/win_splash.h"

#include <QClipboard>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTranslator>

namespace {

// Qt's own dialogs and messages speak German like the rest of Velmora, where Qt's German
// translations are installed.
void qt_auf_deutsch(QApplication& anwendung) {
    auto* uebersetzung = new QTranslator(&anwendung);
    if (uebersetzung->load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(uebersetzung);
}

QWidget* bearbeitbares_feld() {
    QWidget* feld = QApplication::focusWidget();
    return qobject_cast<QLineEdit*>(feld) || qobject_cast<QPlainTextEdit*>(feld) ? feld : nullptr;
}

// The standard editing of the focused edit field.
void bearbeiten(const char* befehl) {
    QWidget* feld = bearbeitbares_feld();
    if (!feld)
        return;
    if (qstrcmp(befehl, "del") == 0) {
        if (auto* zeile = qobject_cast<QLineEdit*>(feld))
            zeile->del();
        else
            qobject_cast<QPlainTextEdit*>(feld)->textCursor().removeSelectedText();
        return;
    }
    QMetaObject::invokeMethod(feld, befehl);
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
    Proc::LogoVelmora.reset();
    Proc::bild_ergebnis.reset();
    Proc::bild_transfer.reset();
    delete MenuBar1.data(); // unless the data window took it along
}

QObject* App::menuBarObject() const {
    return MenuBar1;
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
                [this, aktion] { HandleMenu(aktion->objectName()); });
    for (QAction* aktion : {info, speichern, ende})
        aktion->setShortcutContext(Qt::ApplicationShortcut);

    EditMenu = MenuBar1->addMenu(QStringLiteral("&Edit"));
    EditMenu->setObjectName(QStringLiteral("EditMenu"));
    const struct {
        const char* name;
        const char* text;
        QKeySequence kurzbefehl;
        const char* befehl;
    } bearbeitungen[] = {
        {"EditUndo", "&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z), "undo"},
        {"UntitledMenu1", "-", {}, nullptr},
        {"EditCut", "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X), "cut"},
        {"EditCopy", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C), "copy"},
        {"EditPaste", "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V), "paste"},
        {"EditClear", "&Delete", {}, "del"},
        {"UntitledMenu0", "-", {}, nullptr},
        {"EditSelectAll", "Select &All", QKeySequence(Qt::CTRL | Qt::Key_A), "selectAll"},
    };
    for (const auto& b : bearbeitungen) {
        if (!b.befehl) {
            EditMenu->addSeparator()->setObjectName(QLatin1String(b.name));
            continue;
        }
        QAction* aktion = eintrag(EditMenu, b.name, QString::fromUtf8(b.text), b.kurzbefehl);
        const char* befehl = b.befehl;
        connect(aktion, &QAction::triggered, this, [befehl] { bearbeiten(befehl); });
    }
    connect(EditMenu, &QMenu::aboutToShow, this, &App::bearbeiten_freigeben);
}

// The edit commands are available as the focused field allows them.
void App::bearbeiten_freigeben() {
    QWidget* feld = bearbeitbares_feld();
    auto* zeile = qobject_cast<QLineEdit*>(feld);
    auto* mehrzeilig = qobject_cast<QPlainTextEdit*>(feld);
    const bool schreibbar =
        (zeile && !zeile->isReadOnly()) || (mehrzeilig && !mehrzeilig->isReadOnly());
    const bool auswahl = (zeile && zeile->hasSelectedText()) ||
                         (mehrzeilig && mehrzeilig->textCursor().hasSelection());
    const bool rueckgaengig = (zeile && zeile->isUndoAvailable()) ||
                              (mehrzeilig && mehrzeilig->document()->isUndoAvailable());
    const bool text =
        (zeile && !zeile->text().isEmpty()) || (mehrzeilig && !mehrzeilig->document()->isEmpty());
    const bool einfuegbar = schreibbar && !QApplication::clipboard()->text().isEmpty();
    const QHash<QString, bool> frei = {
        {"EditUndo", schreibbar && rueckgaengig},
        {"EditCut", schreibbar && auswahl},
        {"EditCopy", auswahl},
        {"EditPaste", einfuegbar},
        {"EditClear", schreibbar && auswahl},
        {"EditSelectAll", text},
    };
    for (QAction* aktion : EditMenu->actions())
        if (frei.contains(aktion->objectName()))
            aktion->setEnabled(frei.value(aktion->objectName()));
}

void App::AddMenuHandler(const QString& itemName, std::function<bool()> handler) {
    handler_.insert(itemName, std::move(handler));
}

bool App::HandleMenu(const QString& itemName) {
    const auto handler = handler_.constFind(itemName);
    return handler != handler_.constEnd() && (*handler)();
}

bool App::MEInfo() {
    WIsplash::instance()->Update(false);
    return true;
}

bool App::FileBildspeichern() {
    Proc::bild_speichern();
    return true;
}
